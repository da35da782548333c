// A table as CSV (RFC 4180) in UTF-8, for people and scripts to look into the workspace.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>

namespace mudalinx::cli {

// Header of field names, then one line per live record in record order. Values as the
// table layer reads them as text (text without trailing blanks, numbers without
// padding, logical T/F, unset empty), converted from Windows-1252.
void dumpTable(const std::filesystem::path& file, std::ostream& out);

// One CSV cell: quoted when it holds a comma, a quote or a line break.
std::string csvCell(std::string_view value);

}  // namespace mudalinx::cli
