// Writing converter rows into workspace tables: replacing a table's files, filling
// text fields with the cut reported, posting and counting rows.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string_view>

#include "export/section_walk.h"
#include "table/table.h"

namespace mudalinx::exporter {

// Deletes the old files of each named table, in order (each refused while another
// program holds that table).
void removeOldTables(const std::filesystem::path& workspace, std::initializer_list<std::string_view> names);

// Sets a text field of the row being written. A value longer than the field is stored
// cut to its width, and the cut is reported against ORIGIN.
void setTextField(table::Table& table, const SourceRecord& origin, std::string_view field, std::string_view value);

// Stores the row being written and counts it in the report.
void postRow(table::Table& table, exchange::Report& report);

}  // namespace mudalinx::exporter
