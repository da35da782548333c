#include "export/teachers.h"

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
using testing::warningsOf;

TEST(TeacherParts, AbbreviationUsesUntrimmedFirstCharactersAndNameKeepsItsJoints) {
  EXPECT_EQ(teacherBaseAbbreviation("Ana", "Bravo", "Cruz"), "ABC");
  EXPECT_EQ(teacherBaseAbbreviation("Aa", "", "Cc"), "AC");
  EXPECT_EQ(teacherBaseAbbreviation(" Ana", "Bravo", "Cruz"), " BC");
  EXPECT_EQ(teacherBaseAbbreviation("", "", ""), "");
  EXPECT_EQ(teacherFullName("Aa", "", "Cc"), "Aa , Cc");
  EXPECT_EQ(teacherFullName("", "", ""), " , ");
}

TEST(ConvertTeachers, WritesOneRowPerEmployeeWithUniqueCaseBlindAbbreviations) {
  ExportBench bench({{"EMPLEADOS",
                      {{"E1", "T1", " Lengua ", "Ana", "Bravo", "Cruz"},
                       {"E2", "T2", "Inglés", "Alba", "Bueno", "Calvo"},
                       {"solo"},
                       {"E3", "T3", "Música", "andrés", "benítez", "cano"},
                       {"E4", "T4", "Física", "Aa", "", "Cc"},
                       {"E5", "T5", "Arte", " Luis ", "Mora", "Nieto"},
                       {"E6789012345", "T678901234567", "Dibujo", "Ana", "Blanco", "Costa"},
                       {"E7", "T7"}}}});
  convertTeachers(bench.context());

  const auto rows = readRows(bench.workspace(), "PROFT");
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(column(rows, "ABREV"), (std::vector<std::string>{"ABC", "ABC1", "abc2", "AC", " MN", "ABC3", ""}));
  EXPECT_EQ(rows[0], (testing::Row{{"ABREV", "ABC"}, {"NOMBRE", "Ana Bravo, Cruz"}, {"DEPART", "Lengua"},
                                   {"DNI", ""}, {"X_EMPLEADO", "E1"}, {"F_TOMAPOS", "T1"}}));
  EXPECT_EQ(rows[3].at("NOMBRE"), "Aa , Cc");
  EXPECT_EQ(rows[4].at("NOMBRE"), "Luis Mora, Nieto");
  EXPECT_EQ(rows[5].at("X_EMPLEADO"), "E678901234");
  EXPECT_EQ(rows[5].at("F_TOMAPOS"), "T678901234");
  EXPECT_EQ(rows[6].at("NOMBRE"), " ,");  // a record that ends early reads empty parts

  EXPECT_EQ(bench.report().rowsOf("PROFT"), 7u);
  EXPECT_EQ(warningsOf(bench.report(), "omitido").size(), 1u);
  EXPECT_EQ(warningsOf(bench.report(), "recortado").size(), 2u);
  const auto renamed = warningsOf(bench.report(), "renombrado");
  ASSERT_EQ(renamed.size(), 3u);
  EXPECT_EQ(renamed[0].section, "EMPLEADOS");
  EXPECT_EQ(renamed[0].record, 2u);
}

TEST(ConvertTeachers, TableLayoutAndEmptySection) {
  ExportBench bench({});
  convertTeachers(bench.context());
  EXPECT_TRUE(readRows(bench.workspace(), "PROFT").empty());
  EXPECT_EQ(testing::fieldLayout(bench.workspace(), "PROFT"),
            (std::vector<std::string>{"ABREV C 10", "NOMBRE C 80", "DEPART C 40", "DNI N 11", "X_EMPLEADO C 10",
                                      "F_TOMAPOS C 10"}));
}

}  // namespace
}  // namespace mudalinx::exporter
