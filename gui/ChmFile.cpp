#include "gui/ChmFile.h"

#include <chm_lib.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace mudalinx::gui {
namespace {

std::string shown(const std::filesystem::path& file) { return file.string(); }

std::uint16_t littleEndian16(const std::string& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                    (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

std::string untilNul(const std::string& bytes, std::size_t at, std::size_t length) {
  std::string text = bytes.substr(at, length);
  const std::size_t nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
  return text;
}

}  // namespace

void ChmFile::Close::operator()(chmFile* handle) const noexcept { chm_close(handle); }

ChmFile::ChmFile(const std::filesystem::path& file) : file_(file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    throw std::runtime_error("No se encuentra el archivo de ayuda " + shown(file));
  }
  handle_.reset(chm_open(file.string().c_str()));
  if (!handle_) {
    throw std::runtime_error("El archivo de ayuda " + shown(file) + " está dañado o no es un archivo de ayuda");
  }
  readSystemData();
}

std::optional<std::string> ChmFile::read(const std::string& name) const {
  const std::string path = name.empty() || name.front() != '/' ? "/" + name : name;
  chmUnitInfo unit{};
  if (chm_resolve_object(handle_.get(), path.c_str(), &unit) != CHM_RESOLVE_SUCCESS) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(unit.length), '\0');
  if (unit.length == 0) return bytes;
  const LONGINT64 got = chm_retrieve_object(handle_.get(), &unit, reinterpret_cast<unsigned char*>(bytes.data()),
                                            0, static_cast<LONGINT64>(unit.length));
  if (got != static_cast<LONGINT64>(unit.length)) return std::nullopt;
  return bytes;
}

// The #SYSTEM file: a 4-byte version, then records of a 2-byte code, a 2-byte length and
// the data; code 0 names the contents file, code 2 the default topic.
void ChmFile::readSystemData() {
  const std::optional<std::string> system = read("/#SYSTEM");
  if (!system) return;
  const std::string& bytes = *system;
  std::size_t at = 4;
  while (at + 4 <= bytes.size()) {
    const std::uint16_t code = littleEndian16(bytes, at);
    const std::uint16_t length = littleEndian16(bytes, at + 2);
    at += 4;
    if (at + length > bytes.size()) break;
    if (code == 0) contentsFile_ = untilNul(bytes, at, length);
    if (code == 2) defaultTopic_ = untilNul(bytes, at, length);
    at += length;
  }
}

std::map<int, std::string> readHelpContexts(const std::filesystem::path& helpFile) {
  std::filesystem::path table = helpFile;
  table.replace_extension(".ctx");
  std::ifstream in(table);
  if (!in) throw std::runtime_error("No se encuentra la tabla de temas de la ayuda " + shown(table));
  std::map<int, std::string> contexts;
  std::string line;
  int lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    std::istringstream fields(line);
    int number = 0;
    std::string page;
    std::string rest;
    if (!(fields >> number >> page) || (fields >> rest)) {
      throw std::runtime_error("La tabla de temas de la ayuda " + shown(table) + " no es válida en la línea " +
                               std::to_string(lineNumber));
    }
    contexts.emplace(number, page);
  }
  return contexts;
}

}  // namespace mudalinx::gui
