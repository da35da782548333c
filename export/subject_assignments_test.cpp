#include "export/subject_assignments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/converters.h"
#include "export/export_testing.h"
#include "table/table.h"

namespace mudalinx::exporter {
namespace {

using testing::column;
using testing::ExportBench;
using testing::readRows;

TEST(TeachingLoad, WholeHoursAndOneSessionPerHour) {
  const struct {
    int minutes;
    double hours;
    const char* sessions;
  } cases[] = {
      {240, 4, "1111"}, {0, 1, "1"}, {-60, 1, "1"}, {61, 2, "11"}, {780, 13, "1111111111111"},
      {900, 15, "21111111111111"},
  };
  for (const auto& c : cases) {
    const TeachingLoad load = teachingLoad(c.minutes);
    EXPECT_EQ(load.hours, c.hours) << c.minutes;
    EXPECT_EQ(load.sessions, c.sessions) << c.minutes;
  }
}

// Runs the converters that ASIGT depends on, then the assignments converter.
std::vector<testing::Row> assignmentsOf(ExportBench& bench) {
  SubjectLists lists;
  convertSubjects(bench.context(), lists);
  convertActivities(bench.context(), lists);
  convertCoursesAndGroups(bench.context());
  convertSubjectAssignments(bench.context());
  return readRows(bench.workspace(), "ASIGT");
}

TEST(ConvertSubjectAssignments, EverySubjectMeetsEveryGroupOfItsCourse) {
  ExportBench bench({{"MATERIAS",
                      {{"1", "M1", "Matemáticas"},
                       {"1", "M2", "Educación Física"},
                       {"1", "M3", "Arte"},
                       {"1", "M4", "inglés"},
                       {"1", "M5", "Latín"},
                       {"2", "M6", "Música"},
                       {"01", "M7", "Historia"}}},
                     {"CURSOS_DEL_CENTRO", {{"1", "1º ESO"}, {"2", "2º ESO"}}},
                     {"UNIDADES",
                      {{"U1", "1ESO A", "1"}, {"U2", "2ESO A", "2"}, {"U3", "1ESO B", "1"}, {"U4", "1ESO C", "1"}}}},
                    {{1, "ESO", "Secundaria"}});
  const auto rows = assignmentsOf(bench);
  ASSERT_EQ(rows.size(), 16u);
  EXPECT_EQ(rows[0], (testing::Row{{"CASIG", "Matemá"}, {"CPROF", ""}, {"CGRUP", "1ESO A"}, {"CAULA", ""},
                                   {"TURNO", ""}, {"NIVEL", "ESO"}, {"CURSO", "1"}, {"GRUPO", "A"},
                                   {"HORAS", rows[0].at("HORAS")}, {"SESIONES", "1111"}, {"NCONEX", ""}, {"CLAVE", "M1"},
                                   {"CLAVECURSO", "1"}, {"CTAREA", "1"}}));
  EXPECT_EQ(column(rows, "CGRUP")[1], "1ESO B");
  EXPECT_EQ(column(rows, "CGRUP")[2], "1ESO C");
  EXPECT_EQ(rows[3].at("CASIG"), "EF");
  EXPECT_EQ(rows[15].at("CASIG"), "Música");
  EXPECT_EQ(rows[15].at("CGRUP"), "2ESO A");
  for (const auto& row : rows) {
    EXPECT_EQ(row.at("SESIONES"), "1111");
    EXPECT_EQ(row.at("CTAREA"), "1");
  }
  EXPECT_EQ(testing::fieldLayout(bench.workspace(), "ASIGT"),
            (std::vector<std::string>{"CASIG C 10", "CPROF C 10", "CGRUP C 10", "CAULA C 10", "TURNO C 1",
                                      "NIVEL C 5", "CURSO C 3", "GRUPO C 2", "HORAS N 20.4", "SESIONES C 20",
                                      "NCONEX C 4", "CLAVE C 10", "CLAVECURSO C 10", "CTAREA C 10"}));
  table::Table assignments = table::Table::open(bench.workspace(), "ASIGT", table::Access::Shared);
  for (assignments.first(); !assignments.eof(); assignments.next()) EXPECT_EQ(assignments.number("HORAS"), 4.0);
  EXPECT_EQ(bench.report().rowsOf("ASIGT"), 16u);
  const std::string foreign =
      testing::readWithDbfread(bench.workspace() / "ASIGT.DBF", {"CASIG", "CGRUP", "HORAS", "SESIONES", "CTAREA"});
  EXPECT_EQ(foreign.substr(0, foreign.find('\n')), "Matemá|1ESO A|4.0|1111|1");
}

TEST(ConvertSubjectAssignments, FindsTheCodeByNameAsTheSubjectTableHoldsIt) {
  const std::string longStart = "Materia " + std::string(72, 'z');  // 80 characters
  ExportBench bench({{"MATERIAS",
                      {{"1", "M1", "Física"},
                       {"1", "M2", "FíSICA"},  // a-z case differs only: same subject row
                       {"1", "M3", "FÍSICA"},  // an accented capital is another name
                       {"1", "M4", longStart + "uno"},
                       {"1", "M5", longStart + "dos"},
                       {"1", "M6", "Tutoría"},
                       {"1", "M7"}}},
                     {"ACTIVIDADES", {{"x", "T1", "Tutoría"}, {"x", "T2", "Guardia"}}},
                     {"CURSOS_DEL_CENTRO", {{"1", "1º"}}},
                     {"UNIDADES", {{"U1", "1A", "1"}}}},
                    {});
  const auto rows = assignmentsOf(bench);
  EXPECT_EQ(column(rows, "CASIG"),
            (std::vector<std::string>{"Física", "Física", "FSICA", "Mz", "Mz", "Tutorí"}));
  EXPECT_EQ(column(rows, "CLAVE"), (std::vector<std::string>{"M1", "M2", "M3", "M4", "M5", "M6"}));
}

TEST(ConvertSubjectAssignments, MissingGroupTableStopsTheRun) {
  ExportBench bench({{"MATERIAS", {{"1", "M1", "Arte"}}}}, {});
  SubjectLists lists;
  convertSubjects(bench.context(), lists);
  convertActivities(bench.context(), lists);
  // GRUPOST was never written: the converter stops with the table layer's error.
  EXPECT_THROW(convertSubjectAssignments(bench.context()), table::TableError);
  EXPECT_TRUE(readRows(bench.workspace(), "ASIGT").empty());
}

}  // namespace
}  // namespace mudalinx::exporter
