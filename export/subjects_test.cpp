#include "export/subjects.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/text.h"
#include "export/converters.h"
#include "export/export_testing.h"
#include "table/table.h"

namespace mudalinx::exporter {
namespace {

using exchange::utf8ToWin1252;
using exchange::win1252ToUtf8;
using testing::column;
using testing::ExportBench;
using testing::readRows;
using testing::warningsOf;

TEST(DeriveSubjectCodes, WorkedExamples) {
  const struct {
    const char* name;
    const char* base;
    const char* longCode;
  } cases[] = {
      {"Matemáticas", "Matemá", "Matemá"},
      {"Lengua castellana y literatura", "Lcyl", "Lengua cas"},
      {"Educación Física", "EF", "Educación "},
      {"TECNOLOGÍA", "TECNOLOGA", "TECNOLOGA"},
      {"inglés", "inglés", "inglés"},
      {"2º Idioma Extranjero", "2IE", "2º Idioma "},
      {"Ciencias Sociales, Geografía e Historia", "CSGH", "Ciencias S"},
      {"Latín", "Latín", "Latín"},
      {"Arte", "Arte", "Arte"},
      {"Latín clásico y lengua", "Lcyl", "Latín clás"},
      {"FORMACION Y ORIENTACION LABORAL", "FORMACIONY", "FORMACIONYORIENTACIONLABORAL"},
      {"MATEMÁTICAS", "MATEMTICAS", "MATEMTICAS"},
      {"Ética", "Ética", "Ética"},
      {"a  b", "a b", "a  b"},
  };
  for (const auto& c : cases) {
    const SubjectCodes codes = deriveSubjectCodes(utf8ToWin1252(c.name));
    EXPECT_EQ(win1252ToUtf8(codes.base), c.base) << c.name;
    EXPECT_EQ(win1252ToUtf8(codes.longCode), c.longCode) << c.name;
  }
}

// MATERIAS records: course key, subject key, name.
testing::XmlSection subjectSection(const std::vector<std::string>& names) {
  testing::XmlSection section{"MATERIAS", {}};
  int key = 1;
  for (const std::string& name : names) section.records.push_back({"10", "M" + std::to_string(key++), name});
  return section;
}

void convertSubjectsAndActivities(ExportBench& bench) {
  SubjectLists lists;
  convertSubjects(bench.context(), lists);
  convertActivities(bench.context(), lists);
  EXPECT_TRUE(lists.upperNames.empty());
}

TEST(ConvertSubjects, WritesOneRowPerDistinctNameWithUniqueCodes) {
  ExportBench bench({subjectSection({"  Lengua castellana y literatura  ", "Lengua cooficial y literatura",
                                     "Latín clásico y lengua", "FORMACION Y ORIENTACION LABORAL",
                                     "FORMACION Y ORIENTACION PROFESIONAL", "FORMACION Y ORIENTACION TECNICA",
                                     "Matemáticas", "matemáticas", "MATEMÁTICAS", "   ", "Educación Física"})});
  convertSubjectsAndActivities(bench);

  const auto rows = readRows(bench.workspace(), "ASIGNOMT");
  EXPECT_EQ(column(rows, "COD"), (std::vector<std::string>{"Lcyl", "Lcyl1", "Lcyl2", "FORMACIONY", "FORMACIOY1",
                                                          "FORMACIOY2", "Matemá", "MATEMTICAS", "EF"}));
  EXPECT_EQ(column(rows, "CODLARGO"),
            (std::vector<std::string>{"Lengua cas", "Lengua coo", "Latín clás", "FORMACIONY", "FORMACIONY",
                                      "FORMACIONY", "Matemá", "MATEMTICAS", "Educación"}));
  EXPECT_EQ(rows.front().at("NOMBRE"), "Lengua castellana y literatura");
  for (const auto& row : rows) {
    EXPECT_EQ(row.at("ESTAREA"), "F");
    EXPECT_EQ(row.at("MATERIA"), "");
    EXPECT_EQ(row.at("CODTAREA"), "");
  }
  EXPECT_EQ(bench.report().rowsOf("ASIGNOMT"), rows.size());

  // The repeated name and the empty one are reported with their places.
  const auto skipped = warningsOf(bench.report(), "omitido");
  ASSERT_EQ(skipped.size(), 2u);
  EXPECT_EQ(skipped[0].section, "MATERIAS");
  EXPECT_EQ(skipped[0].record, 8u);
  EXPECT_EQ(skipped[1].record, 10u);
  EXPECT_EQ(warningsOf(bench.report(), "renombrado").size(), 4u);
}

TEST(ConvertSubjects, CreatesTheTableWithItsLayoutAndSkipsShortRecords) {
  testing::XmlSection section = subjectSection({"Arte"});
  section.records.insert(section.records.begin(), testing::Values{"solo uno"});
  section.records.push_back({"10", "M9"});  // two datos: the name reads as empty and is skipped
  ExportBench bench({section});
  SubjectLists lists;
  convertSubjects(bench.context(), lists);

  EXPECT_EQ(testing::fieldLayout(bench.workspace(), "ASIGNOMT"),
            (std::vector<std::string>{"COD C 10", "CODLARGO C 10", "NOMBRE C 80", "MATERIA C 8", "CODTAREA C 12",
                                      "ESTAREA L 1"}));
  EXPECT_EQ(readRows(bench.workspace(), "ASIGNOMT").size(), 1u);
  EXPECT_EQ(warningsOf(bench.report(), "omitido").size(), 2u);
}

TEST(ConvertSubjects, LongNamesAreCutToTheFieldButCheckedWhole) {
  const std::string start(80, 'x');
  ExportBench bench({subjectSection({"Q" + start + "uno", "Q" + start + "dos"})});
  SubjectLists lists;
  convertSubjects(bench.context(), lists);
  const auto rows = readRows(bench.workspace(), "ASIGNOMT");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].at("NOMBRE"), "Q" + start.substr(0, 79));
  EXPECT_EQ(column(rows, "COD"), (std::vector<std::string>{"Qxxxxx", "Qxxxxx1"}));
  const auto cuts = warningsOf(bench.report(), "recortado");
  ASSERT_FALSE(cuts.empty());
  EXPECT_NE(cuts[0].text.find("NOMBRE"), std::string::npos);
}

TEST(ConvertSubjects, WarningQuotesAHugeValueShort) {
  const std::string huge = "Q" + std::string(3'000'000, 'y');
  ExportBench bench({subjectSection({huge})});
  SubjectLists lists;
  convertSubjects(bench.context(), lists);
  const auto cuts = warningsOf(bench.report(), "recortado");
  ASSERT_FALSE(cuts.empty());
  for (const auto& cut : cuts) {
    EXPECT_LT(cut.text.size(), 300u);
    EXPECT_NE(cut.text.find("\"Q" + std::string(99, 'y') + "\u2026\" (3000001 caracteres)"), std::string::npos)
        << cut.text;
  }
}

TEST(ConvertSubjects, MissingSectionGivesAnEmptyTable) {
  ExportBench bench({{"materias", {{"10", "M1", "Arte"}}}});
  SubjectLists lists;
  convertSubjects(bench.context(), lists);
  EXPECT_TRUE(readRows(bench.workspace(), "ASIGNOMT").empty());
}

TEST(ConvertSubjects, AnotherReaderSeesTheSameValues) {
  ExportBench bench({subjectSection({"Educación Física", "2º Idioma Extranjero"})});
  SubjectLists lists;
  convertSubjects(bench.context(), lists);
  const std::string output =
      testing::readWithDbfread(bench.workspace() / "ASIGNOMT.DBF", {"COD", "CODLARGO", "NOMBRE", "ESTAREA"});
  EXPECT_EQ(output, "EF|Educación|Educación Física|False\n2IE|2º Idioma|2º Idioma Extranjero|False\n");
}

TEST(ConvertSubjects, ReportsCharactersWindows1252Lacks) {
  ExportBench bench({subjectSection({"Arte", "Física Ωmega"})});
  SubjectLists lists;
  convertSubjects(bench.context(), lists);
  EXPECT_EQ(readRows(bench.workspace(), "ASIGNOMT")[1].at("NOMBRE"), "Física ?mega");
  const auto replaced = warningsOf(bench.report(), "caracter");
  ASSERT_EQ(replaced.size(), 1u);
  EXPECT_EQ(replaced[0].section, "MATERIAS");
  EXPECT_EQ(replaced[0].record, 2u);
  EXPECT_NE(replaced[0].text.find("Física ?mega"), std::string::npos);
}

TEST(ConvertActivities, AppendsOneTaskRowPerRecordAfterTheSubjects) {
  ExportBench bench({subjectSection({"Guardia de recreo"}),
                     {"ACTIVIDADES",
                      {{"x", " 1052 ", "  Guardia de recreo  "},
                       {"x", "1052", "Guardia de recreo"},
                       {"x", "", ""},
                       {"x", "ABCDEFGHIJKL", "Reunión"},
                       {"sólo"}}}});
  convertSubjectsAndActivities(bench);
  const auto rows = readRows(bench.workspace(), "ASIGNOMT");
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0].at("ESTAREA"), "F");
  EXPECT_EQ(rows[1], (testing::Row{{"COD", "1052"}, {"CODLARGO", "Guardia"}, {"NOMBRE", "Guardia de recreo"},
                                   {"MATERIA", ""}, {"CODTAREA", "1052"}, {"ESTAREA", "T"}}));
  EXPECT_EQ(rows[2], rows[1]);
  EXPECT_EQ(rows[3].at("COD"), "");
  EXPECT_EQ(rows[3].at("CODLARGO"), "");
  EXPECT_EQ(rows[4].at("COD"), "ABCDEFGHIJ");
  EXPECT_EQ(rows[4].at("CODTAREA"), "ABCDEFGHIJKL");
  EXPECT_EQ(bench.report().rowsOf("ASIGNOMT"), 5u);
}

}  // namespace
}  // namespace mudalinx::exporter
