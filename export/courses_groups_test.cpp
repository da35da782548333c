#include "export/courses_groups.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "exchange/text.h"
#include "export/converters.h"
#include "export/export_testing.h"
#include "export/integer_text.h"
#include "table/table.h"

namespace mudalinx::exporter {
namespace {

using testing::column;
using testing::ExportBench;
using testing::readRows;

const std::vector<testing::LevelRow> kLevels{
    {7, "ESO", "Educación Secundaria Obligatoria"},
    {8, "", "Bachillerato"},
    {9, "BACH", ""},
    {7, "OTRO", "no se usa: el primero gana"},
    {10, "CICLOFORMATIVO", "Ciclo"},
};

TEST(GroupDescription, StudiesNameOrComposedText) {
  EXPECT_EQ(groupDescription("Bachillerato", "BACH", "1", "A"), "Bachillerato");
  EXPECT_EQ(groupDescription("", "BACH", "1", "A"), " BACH 1 A");
  EXPECT_EQ(groupDescription("", "", "", "B"), "   B");
}

TEST(ConvertCoursesAndGroups, CompletesCoursesFromTheLevelTable) {
  ExportBench bench({{"CURSOS_DEL_CENTRO",
                      {{" 007 ", "2º curso"},
                       {"8", "1º Bachillerato"},
                       {"9", "Segundo"},
                       {"55", "Curso libre"},
                       {"-3", ""},
                       {"10", "FP"},
                       {"x"}}}},
                    kLevels);
  convertCoursesAndGroups(bench.context());
  const auto rows = readRows(bench.workspace(), "CURSOST");
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(rows[0], (testing::Row{{"ABREV", ""}, {"TURNO", ""}, {"NIVEL", "ESO"}, {"CURSO", "2"},
                                   {"CLAVE", "007"}, {"ESTUD", "Educación Secundaria Obligatoria"}}));
  EXPECT_EQ(column(rows, "NIVEL"), (std::vector<std::string>{"ESO", "Niv", "BACH", "Niv", "Niv", "CICLO"}));
  EXPECT_EQ(column(rows, "ESTUD"), (std::vector<std::string>{"Educación Secundaria Obligatoria", "Bachillerato", "",
                                                            "Curso libre", "", "Ciclo"}));
  EXPECT_EQ(column(rows, "CURSO"), (std::vector<std::string>{"2", "1", "S", "C", "", "F"}));
  EXPECT_EQ(bench.report().rowsOf("CURSOST"), 6u);
}

TEST(ConvertCoursesAndGroups, GroupsTakeTheirCourseByExactKey) {
  ExportBench bench({{"CURSOS_DEL_CENTRO", {{"007", "2º curso"}, {"9", "1º"}}},
                     {"UNIDADES",
                      {{"U1", "2º ESO A", "007"},
                       {"U2", "2º ESO B", "7"},
                       {"U3", "1º BACH C", "9"},
                       {"U4", "1ESO A", "007"},
                       {"U5", "1eso a", "007"},
                       {"U6", "1º Bachillerato A", "9"},
                       {"U7", "1º Bachillerato A", "9"},
                       {"U8", "1º Bachillerato Ciencias A", "9"},
                       {"U9", "ABCDEFGHIJ"},
                       {"U10", "ABCDEFGHIJ", ""},
                       {"U11"}}}},
                    kLevels);
  convertCoursesAndGroups(bench.context());
  const auto rows = readRows(bench.workspace(), "GRUPOST");
  ASSERT_EQ(rows.size(), 10u);
  EXPECT_EQ(rows[0], (testing::Row{{"ABREV", "2º ESO A"}, {"TURNO", ""}, {"NIVEL", "ESO"}, {"CURSO", "2"},
                                   {"GRUPO", "A"}, {"DESCRIP", "Educación Secundaria Obligatoria"}, {"MARCO", "0"},
                                   {"CLAVE", "U1"}, {"CLAVECURSO", "007"}}));
  // "7" is not written like "007": no course.
  EXPECT_EQ(rows[1].at("NIVEL"), "");
  EXPECT_EQ(rows[1].at("DESCRIP"), "   B");
  // Course found, but its studies name is empty.
  EXPECT_EQ(rows[2].at("DESCRIP"), " BACH 1 C");
  EXPECT_EQ(column(rows, "ABREV"),
            (std::vector<std::string>{"2º ESO A", "2º ESO B", "1º BACH C", "1ESO A", "1eso a1", "1º Bachi A",
                                      "1º BachiA1", "1º BachiA2", "ABCDEFGHIJ", "ABCDEFGHJ1"}));
  EXPECT_EQ(rows[8].at("CLAVECURSO"), "");
  EXPECT_EQ(bench.report().rowsOf("GRUPOST"), 10u);

  EXPECT_EQ(testing::fieldLayout(bench.workspace(), "GRUPOST"),
            (std::vector<std::string>{"ABREV C 10", "TURNO C 1", "NIVEL C 5", "CURSO C 3", "GRUPO C 2",
                                      "DESCRIP C 80", "MARCO C 1", "CLAVE C 10", "CLAVECURSO C 10"}));
  EXPECT_EQ(testing::fieldLayout(bench.workspace(), "CURSOST"),
            (std::vector<std::string>{"ABREV C 10", "TURNO C 1", "NIVEL C 5", "CURSO C 3", "CLAVE C 10",
                                      "ESTUD C 80"}));
}

TEST(ConvertCoursesAndGroups, ManyGroupsWithOneNameAllGetDistinctCodes) {
  testing::XmlSection units{"UNIDADES", {}};
  for (int i = 0; i < 250; ++i) units.records.push_back({"U" + std::to_string(i), "1º Bachillerato A", "1"});
  ExportBench bench({units}, kLevels);
  convertCoursesAndGroups(bench.context());
  const auto codes = column(readRows(bench.workspace(), "GRUPOST"), "ABREV");
  ASSERT_EQ(codes.size(), 250u);
  std::set<std::string> distinct;
  for (const std::string& code : codes) distinct.insert(exchange::caseBlindKey(exchange::utf8ToWin1252(code)));
  EXPECT_EQ(distinct.size(), 250u);
  EXPECT_EQ(codes[0], "1º Bachi A");
  EXPECT_EQ(codes[1], "1º BachiA1");
  EXPECT_EQ(codes[110], "1º Bach110");
  const auto renamed = testing::warningsOf(bench.report(), "renombrado");
  ASSERT_EQ(renamed.size(), 249u);
  EXPECT_NE(renamed.back().text.find("acortada"), std::string::npos);
}

TEST(ConvertCoursesAndGroups, NonIntegerCourseKeyStopsWithCoursesSoFarKept) {
  ExportBench bench({{"CURSOS_DEL_CENTRO", {{"7", "2º"}, {"  7b ", "3º"}, {"8", "4º"}}},
                     {"UNIDADES", {{"U1", "A", "7"}}}},
                    kLevels);
  try {
    convertCoursesAndGroups(bench.context());
    FAIL() << "no error";
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'7b' no es un valor entero válido");
  }
  EXPECT_EQ(column(readRows(bench.workspace(), "CURSOST"), "CLAVE"), std::vector<std::string>{"7"});
  EXPECT_TRUE(readRows(bench.workspace(), "GRUPOST").empty());
  // The level table was closed on the way out: it can be opened exclusively at once.
  EXPECT_NO_THROW(table::Table::open(bench.programFolder(), "NIVELEX", table::Access::Exclusive));
}

TEST(ConvertCoursesAndGroups, MissingLevelTableIsAnError) {
  ExportBench bench({{"CURSOS_DEL_CENTRO", {{"7", "2º"}}}}, kLevels);
  std::filesystem::remove(bench.programFolder() / "NIVELEX.DBF");
  EXPECT_THROW(convertCoursesAndGroups(bench.context()), table::TableError);
}

}  // namespace
}  // namespace mudalinx::exporter
