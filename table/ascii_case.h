// Letter case of names (tables, files, fields): only A-Z and a-z have a case.
#pragma once

#include <string>
#include <string_view>

namespace mudalinx::table::detail {

std::string upperAscii(std::string_view text);
bool equalIgnoringCase(std::string_view a, std::string_view b);
// Letters, digits and '_' only: a name that can become a file name inside a folder as it is.
bool isPlainName(std::string_view name);

}  // namespace mudalinx::table::detail
