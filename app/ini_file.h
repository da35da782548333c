// Changing one key of a Windows INI file, as the host program's own settings file
// ("Quorvia.ini") is shared with it: everything else in the file stays as it was.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace mudalinx::app {

// CONTENTS with KEY of SECTION set to VALUE. Sections and keys are matched without
// regard to letter case, as Windows does; comments, other lines and their line endings
// are kept. A missing key is added at the end of its section, a missing section at the
// end of the text; new lines take the text's line ending (CRLF when it has none).
std::string withIniValue(std::string_view contents, std::string_view section, std::string_view key,
                         std::string_view value);

// The same on FILE (created when missing), replaced in one step so that a reader never
// sees it half written. Throws std::runtime_error with a Spanish message on failure.
void writeIniValue(const std::filesystem::path& file, std::string_view section, std::string_view key,
                   std::string_view value);

}  // namespace mudalinx::app
