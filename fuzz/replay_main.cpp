// Runs a fuzz target's entry point on every file of the folders given, without
// the fuzzing engine, so inputs that once crashed keep being checked in every build.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  std::size_t replayed = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path folder = argv[i];
    if (!std::filesystem::is_directory(folder)) {
      std::fprintf(stderr, "no such folder: %s\n", argv[i]);
      return 1;
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (!entry.is_regular_file() || entry.path().filename().string().front() == '.') continue;
      std::ifstream in(entry.path(), std::ios::binary);
      const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      std::printf("%s\n", entry.path().string().c_str());
      std::fflush(stdout);
      LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      ++replayed;
    }
  }
  std::printf("%zu entradas\n", replayed);
  return 0;
}
