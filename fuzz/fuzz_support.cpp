#include "fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>

namespace mudalinx::fuzz {

namespace {

void removeScratch() {
  std::error_code ignored;
  std::filesystem::remove_all(scratchFolder(), ignored);
}

}  // namespace

bool isValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

const std::filesystem::path& scratchFolder() {
  static const std::filesystem::path folder = [] {
    auto path = std::filesystem::temp_directory_path() / ("mudalinx-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    std::atexit(removeScratch);
    return path;
  }();
  return folder;
}

void writeInput(const std::filesystem::path& file, const std::uint8_t* data, std::size_t size) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!out) throw std::logic_error("cannot write the fuzz input to " + file.string());
}

void resetFolder(const std::filesystem::path& folder) {
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
}

void requireReadableMessage(std::string_view message) {
  if (message.empty() || !isValidUtf8(message)) {
    std::fprintf(stderr, "failure without a readable message: [%.*s]\n", static_cast<int>(message.size()),
                 message.data());
    std::abort();
  }
}

}  // namespace mudalinx::fuzz
