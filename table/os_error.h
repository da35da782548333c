// Spanish texts for operating-system failures and for table bytes quoted in messages.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace mudalinx::table::detail {

// The reason behind an errno value, in Spanish ("permiso denegado", ...).
std::string systemReason(int error);

// "ACTION (PATH): REASON." as a TableError.
[[noreturn]] void throwSystemError(std::string_view action, const std::filesystem::path& path, int error);

// Windows-1252 bytes made printable inside a UTF-8 message (letters of Latin-1 kept).
std::string quoteForMessage(std::string_view bytes);

}  // namespace mudalinx::table::detail
