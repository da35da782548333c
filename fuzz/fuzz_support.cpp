#include "fuzz/fuzz_support.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>

namespace mudalinx::fuzz {

namespace {

constexpr const char* kScratchPrefix = "mudalinx-fuzz-";

// The folder, removed with everything in it when the process ends normally.
struct ScratchFolder {
  std::filesystem::path path;
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

// A process that crashed or was killed never ran its exit handler: its folder goes now.
void removeFoldersOfDeadProcesses(const std::filesystem::path& parent) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(parent, error)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(kScratchPrefix, 0) != 0) continue;
    const std::string digits = name.substr(std::string(kScratchPrefix).size());
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) continue;
    const auto pid = static_cast<pid_t>(std::stol(digits));
    if (::kill(pid, 0) != 0 && errno == ESRCH) {
      std::error_code ignored;
      std::filesystem::remove_all(entry.path(), ignored);
    }
  }
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
  static const ScratchFolder folder{[] {
    const auto parent = std::filesystem::temp_directory_path();
    removeFoldersOfDeadProcesses(parent);
    auto path = parent / (kScratchPrefix + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    return path;
  }()};
  return folder.path;
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
