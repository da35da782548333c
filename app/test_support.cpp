#include "app/test_support.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "exchange/text.h"
#include "table/table.h"

namespace fs = std::filesystem;

namespace mudalinx::testing {

TempFolder::TempFolder() {
  std::string pattern = (fs::temp_directory_path() / "mudalinx-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void writeFile(const fs::path& file, std::string_view contents) {
  std::ofstream out(file, std::ios::binary);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::string readFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::map<std::string, std::string> snapshot(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) files[fs::relative(entry.path(), folder).string()] = readFile(entry.path());
  }
  return files;
}

void writeLevelTable(const fs::path& folder, const std::vector<LevelRow>& rows) {
  table::TableDef def{"NIVELEX",
                      {{"X_OFERTAMATRIG", table::FieldType::Integer, 0},
                       {"NIVEL_ABREV", table::FieldType::Text, 10},
                       {"ESTUDIO", table::FieldType::Text, 80}},
                      {},
                      table::Format::DBase7};
  table::createTable(folder, def);
  table::Table level = table::Table::open(folder, "NIVELEX", table::Access::Exclusive);
  for (const LevelRow& row : rows) {
    level.append();
    level.setInteger("X_OFERTAMATRIG", row.offer);
    level.setText("NIVEL_ABREV", exchange::utf8ToWin1252(row.level));
    level.setText("ESTUDIO", exchange::utf8ToWin1252(row.studies));
    level.post();
  }
  level.close();
}

void writeSmallTable(const fs::path& folder, const std::string& name) {
  table::createTable(folder, {name, {{"TEXTO", table::FieldType::Text, 10}}, {}, table::Format::DBase4});
}

std::string quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

Outcome runShell(const std::string& command, const std::filesystem::path& scratch) {
  const std::filesystem::path out = scratch / "stdout.txt";
  const std::filesystem::path err = scratch / "stderr.txt";
  const int raw = std::system(("( " + command + " ) >" + quoted(out) + " 2>" + quoted(err)).c_str());
  Outcome outcome;
  outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  outcome.out = readFile(out);
  outcome.err = readFile(err);
  return outcome;
}

}  // namespace mudalinx::testing
