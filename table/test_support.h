// Helpers shared by the table layer's tests: a scratch folder, raw file bytes, child commands.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "table/table.h"

namespace mudalinx::table::testing {

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "mudalinx-table-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

inline std::string readBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline unsigned byteAt(const std::string& bytes, std::size_t offset) {
  return static_cast<unsigned char>(bytes.at(offset));
}

inline unsigned le32At(const std::string& bytes, std::size_t offset) {
  return byteAt(bytes, offset) | byteAt(bytes, offset + 1) << 8 | byteAt(bytes, offset + 2) << 16 |
         byteAt(bytes, offset + 3) << 24;
}

struct CommandResult {
  int status = -1;
  std::string output;  // stdout and stderr together
};

inline CommandResult runCommand(const std::string& command) {
  CommandResult result;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  std::size_t got = 0;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, got);
  result.status = pclose(pipe);
  return result;
}

inline std::string shellQuoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

// A table of every logical type, DBase4 unless told otherwise.
inline TableDef sampleDef(const std::string& name = "MUESTRA", Format format = Format::DBase4) {
  TableDef def;
  def.name = name;
  def.format = format;
  def.fields = {{"NOMBRE", FieldType::Text, 12},
                {"CANTIDAD", FieldType::Integer, 0},
                {"PRECIO", FieldType::Float, 0},
                {"ACTIVO", FieldType::Logical, 0}};
  return def;
}

}  // namespace mudalinx::table::testing
