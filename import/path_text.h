// A path as UTF-8 text for messages, the same on every platform.
#pragma once

#include <filesystem>
#include <string>

namespace mudalinx::importer {

inline std::string pathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace mudalinx::importer
