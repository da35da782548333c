#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "export/converters.h"
#include "export/export_testing.h"
#include "export/integer_text.h"
#include "table/held_by_another_process.h"
#include "table/table.h"

namespace mudalinx::exporter {
namespace {

using testing::column;
using testing::ExportBench;
using testing::readRows;

const std::vector<testing::XmlSection> kSchool{
    {"MATERIAS", {{"1", "M1", "Matemáticas"}, {"1", "M2", "Educación Física"}}},
    {"ACTIVIDADES", {{"x", "1052", "Guardia de recreo"}}},
    {"EMPLEADOS", {{"E1", "T1", "Ciencias", "Ana", "Bravo", "Cruz"}}},
    {"DEPENDENCIAS", {{"A1", "Aula 1"}}},
    {"CURSOS_DEL_CENTRO", {{"1", "1º ESO"}}},
    {"UNIDADES", {{"U1", "1ESO A", "1"}, {"U2", "1ESO B", "1"}}},
    {"JORNADAS_ESCOLARES", {{"M", "Mañana", "01/09/2026", "30/06/2027"}}},
    {"TRAMOS_HORARIOS", {{"T1", "Primera", "480", "535", "M"}}},
};

const std::vector<testing::LevelRow> kLevels{{1, "ESO", "Secundaria"}};

std::string fileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(RunConverters, WritesEveryTableInOrder) {
  ExportBench bench(kSchool, kLevels);
  runConverters(bench.context());
  const std::vector<std::pair<std::string, std::size_t>> expected{
      {"ASIGNOMT", 3}, {"PROFT", 1}, {"AULAT", 1}, {"CURSOST", 1}, {"GRUPOST", 2},
      {"ASIGT", 4},    {"DIASHORAST", 7}, {"PERIODOS", 1}};
  EXPECT_EQ(bench.report().rows(), expected);
  for (const std::string& name : exportedTableNames()) {
    if (name == "JORNADAS") continue;
    EXPECT_TRUE(table::findFile(bench.workspace(), name + ".DBF").has_value()) << name;
  }
  EXPECT_EQ(exportedTableNames().front(), "ASIGNOMT");
  EXPECT_EQ(exportedTableNames().back(), "JORNADAS");
}

TEST(RunConverters, EachRunStartsWithFreshSubjectLists) {
  ExportBench bench(kSchool, kLevels);
  runConverters(bench.context());
  runConverters(bench.context());
  EXPECT_EQ(column(readRows(bench.workspace(), "ASIGNOMT"), "COD"),
            (std::vector<std::string>{"Matemá", "EF", "1052"}));
}

TEST(RunConverters, NonIntegerCourseKeyEndsTheRunThere) {
  std::vector<testing::XmlSection> sections = kSchool;
  sections[4].records = {{"1", "1º ESO"}, {"uno", "2º ESO"}};
  ExportBench bench(sections, kLevels);
  EXPECT_THROW(runConverters(bench.context()), ConversionError);
  EXPECT_EQ(readRows(bench.workspace(), "CURSOST").size(), 1u);
  EXPECT_TRUE(readRows(bench.workspace(), "GRUPOST").empty());
  EXPECT_FALSE(table::findFile(bench.workspace(), "ASIGT.DBF").has_value());
  EXPECT_FALSE(table::findFile(bench.workspace(), "DIASHORAST.DBF").has_value());
  // The next run in the same folders finds the level table closed and usable.
  sections[4].records = {{"1", "1º ESO"}};
  std::ofstream(bench.xmlFile(), std::ios::binary | std::ios::trunc) << testing::exchangeXml(sections);
  const exchange::Document corrected = exchange::Document::load(bench.xmlFile());
  ExportContext again{corrected, bench.workspace(), bench.programFolder(), bench.report(), nullptr};
  runConverters(again);
  EXPECT_EQ(readRows(bench.workspace(), "GRUPOST").size(), 2u);
}

TEST(RunConverters, TableHeldByAnotherProgramStopsTheRunAndStaysUntouched) {
  ExportBench bench(kSchool, kLevels);
  runConverters(bench.context());
  const std::filesystem::path teachers = bench.workspace() / "PROFT.DBF";
  const std::string before = fileBytes(teachers);
  {
    table::testing::HeldByAnotherProcess holder(bench.workspace(), "PROFT");
    try {
      runConverters(bench.context());
      FAIL() << "no error";
    } catch (const table::TableInUseError& e) {
      EXPECT_NE(std::string(e.what()), "");
    }
  }
  EXPECT_EQ(fileBytes(teachers), before);
}

}  // namespace
}  // namespace mudalinx::exporter
