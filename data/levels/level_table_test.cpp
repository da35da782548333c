#include "data/levels/level_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "exchange/document.h"
#include "exchange/text.h"

namespace mudalinx::levels {
namespace {

const std::filesystem::path kSourceDir = MUDALINX_SOURCE_DIR;
const std::filesystem::path kShippedTable = std::filesystem::path(MUDALINX_BIN_DIR) / "NIVELEX.DBF";

std::string readFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string runCommand(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    std::size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    if (pclose(pipe) != 0) output += "\n[fallo]";
  }
  return output;
}

class ScratchFolder {
 public:
  ScratchFolder()
      : path_(std::filesystem::temp_directory_path() / ("level_table_test_" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() { std::filesystem::remove_all(path_); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

constexpr const char* kHeader = "X_OFERTAMATRIG,NIVEL_ABREV,NIVEL,ESTUDIO\n";

TEST(LevelSource, CommentsQuotesAndSpanishLetters) {
  const std::string csv = std::string("# comentario\r\n\r\n") + kHeader +
                          "40101,ESO,1º ESO,Educación Secundaria Obligatoria\r\n"
                          "# otro\n"
                          "-7,\"FP, B\",\"\"\"Básica\"\"\",\"Dos\nlíneas\"\n"
                          "40212,BACH,,";
  const std::vector<LevelRow> rows = parseLevelSource(csv, "niveles.csv");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].courseOffer, 40101);
  EXPECT_EQ(rows[0].levelShort, "ESO");
  EXPECT_EQ(rows[0].level, "1\xBA ESO");
  EXPECT_EQ(rows[0].studies, "Educaci\xF3n Secundaria Obligatoria");
  EXPECT_EQ(rows[1].courseOffer, -7);
  EXPECT_EQ(rows[1].levelShort, "FP, B");
  EXPECT_EQ(rows[1].level, "\"B\xE1sica\"");
  EXPECT_EQ(rows[1].studies, "Dos\nl\xEDneas");
  EXPECT_EQ(rows[2].level, "");
  EXPECT_EQ(rows[2].studies, "");
}

TEST(LevelSource, BadSourceIsRefusedWithItsLine) {
  struct Case {
    std::string csv;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"", "niveles.csv: falta la línea de cabecera"},
      {"X_OFERTAMATRIG,NIVEL,ESTUDIO\n", "niveles.csv, línea 1: la cabecera"},
      {std::string(kHeader) + "40101,ESO,1º ESO\n", "línea 2: tiene 3 campos en lugar de 4"},
      {std::string("#\n") + kHeader + "40101,ESO,1º,Uno,Dos\n", "línea 3: tiene 5 campos"},
      {std::string(kHeader) + "4010A,ESO,1º ESO,E\n", "línea 2, campo X_OFERTAMATRIG: \"4010A\" no es un número entero"},
      {std::string(kHeader) + ",ESO,1º ESO,E\n", "campo X_OFERTAMATRIG: \"\" no es un número entero"},
      {std::string(kHeader) + "99999999999,ESO,1º ESO,E\n", "no es un número entero"},
      {std::string(kHeader) + "1,ESO,1º ESO,E\n2,ABCDEFGHIJK,x,y\n", "línea 3, campo NIVEL_ABREV: \"ABCDEFGHIJK\" pasa de 10"},
      {std::string(kHeader) + "1,ESO,Ωmega,E\n", "campo NIVEL: \"Ωmega\" tiene caracteres que Windows-1252 no representa"},
      {std::string(kHeader) + "1,ESO,\"sin cerrar,E\n", "línea 2: falta la comilla de cierre"},
  };
  for (const Case& c : cases) {
    try {
      parseLevelSource(c.csv, "niveles.csv");
      ADD_FAILURE() << "accepted: " << c.csv;
    } catch (const LevelSourceError& error) {
      EXPECT_NE(std::string(error.what()).find(c.expected), std::string::npos)
          << "message: " << error.what() << "\nexpected: " << c.expected;
    }
  }
}

TEST(LevelTable, WritesReadableTableAndReplacesAnOlderOne) {
  ScratchFolder folder;
  std::ofstream(folder.path() / "NIVELEX.DBF") << "antigua";
  const std::vector<LevelRow> rows = {{40101, "ESO", "1\xBA ESO", "Educaci\xF3n Secundaria"}, {-3, "", "", ""}};
  writeLevelTable(rows, folder.path());

  table::Table levels = table::Table::open(folder.path(), "NIVELEX", table::Access::Shared);
  ASSERT_EQ(levels.recordCount(), 2u);
  levels.first();
  EXPECT_EQ(levels.integer("X_OFERTAMATRIG"), 40101);
  EXPECT_EQ(levels.text("NIVEL"), "1\xBA ESO");
  EXPECT_EQ(levels.text("ESTUDIO"), "Educaci\xF3n Secundaria");
  levels.next();
  EXPECT_EQ(levels.integer("X_OFERTAMATRIG"), -3);
  EXPECT_EQ(levels.text("NIVEL_ABREV"), "");
  levels.close();
  // Nothing but the table is left behind.
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) left.push_back(entry.path().filename());
  EXPECT_EQ(left, std::vector<std::string>{"NIVELEX.DBF"});
}

// The table the build ships holds every source row and every course of the demo file.
TEST(ShippedLevelTable, HoldsTheSourceAndTheDemoCourses) {
  const std::vector<LevelRow> source = parseLevelSource(readFile(kSourceDir / "data/levels/nivelex.csv"), "nivelex.csv");
  ASSERT_TRUE(std::filesystem::exists(kShippedTable)) << kShippedTable;
  EXPECT_EQ(readFile(kShippedTable).at(0), '\x04');  // dBASE 7

  table::Table levels = table::Table::openFile(kShippedTable, table::Access::Shared);
  ASSERT_EQ(levels.recordCount(), source.size());
  std::map<long long, std::string> studiesByOffer;
  levels.first();
  for (const LevelRow& row : source) {
    ASSERT_FALSE(levels.eof());
    EXPECT_EQ(levels.integer("X_OFERTAMATRIG"), row.courseOffer);
    EXPECT_EQ(levels.text("NIVEL_ABREV"), row.levelShort);
    EXPECT_EQ(levels.text("NIVEL"), row.level);
    EXPECT_EQ(levels.text("ESTUDIO"), row.studies);
    studiesByOffer.emplace(row.courseOffer, row.studies);
    levels.next();
  }

  const exchange::Section courses =
      exchange::Document::load(kSourceDir / "samples/instituto.xml").section("CURSOS_DEL_CENTRO");
  ASSERT_GT(courses.count(), 0u);
  for (std::size_t i = 0; i < courses.count(); ++i) {
    const std::string key = exchange::TrimBoth(courses.record(i).value(0));
    EXPECT_EQ(studiesByOffer.count(std::stoll(key)), 1u) << "course " << key << " missing from the level table";
  }
}

// Free Pascal's TDbf, a dBASE 7 reader we did not write, reads the same rows.
TEST(ShippedLevelTable, OutsideReaderAgrees) {
  if (std::system("command -v fpc >/dev/null 2>&1") != 0) GTEST_SKIP() << "fpc not installed";
  ScratchFolder folder;
  const std::filesystem::path program = folder.path() / "read_levels";
  const std::string build = runCommand("fpc -Cr -FE" + folder.path().string() + " -FU" + folder.path().string() + " " +
                                       (kSourceDir / "data/levels/testdata/read_levels.pas").string() + " 2>&1");
  ASSERT_TRUE(std::filesystem::exists(program)) << build;
  std::filesystem::copy_file(kShippedTable, folder.path() / "NIVELEX.DBF");

  std::string expected = "level 7\n";
  for (const LevelRow& row : parseLevelSource(readFile(kSourceDir / "data/levels/nivelex.csv"), "nivelex.csv")) {
    expected += std::to_string(row.courseOffer) + "|" + row.levelShort + "|" + row.level + "|" + row.studies + "\n";
  }
  EXPECT_EQ(runCommand(program.string() + " " + (folder.path() / "NIVELEX.DBF").string()), expected);
}

}  // namespace
}  // namespace mudalinx::levels
