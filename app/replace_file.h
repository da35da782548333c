// Writing a whole file so that readers see either the old contents or the new ones,
// never a half-written file: a temporary file beside it, flushed, then renamed over it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace mudalinx::app {

// Throws std::runtime_error with a Spanish message naming FILE when it cannot be written;
// FILE then stays as it was.
void replaceFile(const std::filesystem::path& file, std::string_view contents);

// A short Spanish description of an errno value, for messages about files.
std::string describeSystemError(int error);

}  // namespace mudalinx::app
