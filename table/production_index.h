// The production index file (NAME.MDX) of a new, empty table: file header, tag table,
// one tag header and one empty root block per tag.
#pragma once

#include <string>
#include <vector>

#include "table/dbf_layout.h"
#include "table/table.h"

namespace mudalinx::table::detail {

// The whole file. INDEXES name fields of LAYOUT (checked by layoutNewTable).
std::vector<char> emptyProductionIndex(const std::string& tableName, const TableLayout& layout,
                                       const std::vector<IndexDef>& indexes);

}  // namespace mudalinx::table::detail
