// Reading and storing one field's value inside a record buffer, for every storage kind.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "table/dbf_layout.h"

namespace mudalinx::table::detail {

// RECORD points at the record's deletion flag.
std::string readText(const TableLayout& layout, const FieldLayout& field, const char* record);
// Nullopt when the value is not a whole number (a blank numeric field reads as 0).
std::optional<long long> readInteger(const TableLayout& layout, const FieldLayout& field, const char* record);
std::optional<double> readNumber(const TableLayout& layout, const FieldLayout& field, const char* record);
// Nullopt for a field that is not logical.
std::optional<bool> readLogical(const TableLayout& layout, const FieldLayout& field, const char* record);
bool readBlank(const TableLayout& layout, const FieldLayout& field, const char* record);

// A character field's bytes without their trailing blanks: readText without a copy.
std::string_view characterView(const FieldLayout& field, const char* record);

enum class StoreResult { Stored, Cut, Refused };

// Refused: the value does not fit the field's type or width, and the record is unchanged.
StoreResult storeText(const TableLayout& layout, const FieldLayout& field, char* record, std::string_view value);
StoreResult storeInteger(const TableLayout& layout, const FieldLayout& field, char* record, long long value);
StoreResult storeNumber(const TableLayout& layout, const FieldLayout& field, char* record, double value);
StoreResult storeLogical(const TableLayout& layout, const FieldLayout& field, char* record, bool value);

}  // namespace mudalinx::table::detail
