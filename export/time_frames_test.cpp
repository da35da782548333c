#include "export/time_frames.h"

#include <gtest/gtest.h>


#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "export/converters.h"
#include "export/export_testing.h"
#include "export/integer_text.h"
#include "table/table.h"

namespace mudalinx::exporter {
namespace {

using testing::column;
using testing::ExportBench;
using testing::readRows;
using testing::Values;

TEST(TimeText, HoursAndMinutesWithAtLeastTwoDigits) {
  const struct {
    int minutes;
    const char* text;
  } cases[] = {
      {485, "08:05"}, {1020, "17:00"}, {0, "00:00"}, {535, "08:55"}, {5, "00:05"},
      {1439, "23:59"}, {6000, "100:00"}, {-30, "-1:-30"}, {-65, "-2:-5"}, {-60, "-1:00"},
  };
  for (const auto& c : cases) EXPECT_EQ(timeText(c.minutes), c.text) << c.minutes;
}

TEST(SplitSelection, TwentyCharactersAreTwoCodes) {
  const struct {
    std::string selection;
    std::string first;
    std::string second;
  } cases[] = {
      {"1         23        ", "1", "23"},
      {"M1        ", "M1", ""},
      {"M1", "M1", ""},
      {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJ", "KLMNOPQRST"},
      {"ABCDEFGHIJKL", "ABCDEFGHIJ", ""},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    const FrameCodes codes = splitSelection(c.selection);
    EXPECT_EQ(codes.first, c.first) << c.selection;
    EXPECT_EQ(codes.second, c.second) << c.selection;
  }
}

// A scripted frame dialog: hands back the given closings in turn.
struct ScriptedDialog {
  std::vector<FrameMarking> closings;
  std::size_t shown = 0;
  FrameMarking operator()() { return closings.at(shown++); }
};

Values frame(const std::string& code, const std::string& name) { return {code, name, "01/09/2026", "30/06/2027"}; }

TEST(ConvertTimeFrames, OneFrameNeedsNoDialogAndFillsEveryDay) {
  ExportBench bench({{"JORNADAS_ESCOLARES", {frame(" M1 ", "Mañana")}},
                     {"TRAMOS_HORARIOS",
                      {{"T1", "Primera", "480", "535", "M1"},
                       {"TX", "Otra", "100", "200", "T2"},
                       {"T2", "Segunda", "", "0485", " M1 "},
                       {"T3", "Recreo", "600", "590", "M1"}}}});
  table::createTable(bench.workspace(), {"JORNADAS", {{"X", table::FieldType::Text, 1}}, {}, table::Format::DBase4});
  bench.context().showFrameDialog = []() -> FrameMarking { throw std::logic_error("dialog shown"); };
  convertTimeFrames(bench.context());

  const auto rows = readRows(bench.workspace(), "DIASHORAST");
  ASSERT_EQ(rows.size(), 21u);
  EXPECT_EQ(rows[0], (testing::Row{{"DIHO", "11"}, {"CODDIHO", "T1"}, {"DIA", "1"}, {"TEXTODIA", ""},
                                   {"HORA", "1"}, {"TEXTOHOR", "Primera"}, {"HORADESDE", "08:00"},
                                   {"HORAHASTA", "08:55"}, {"MINUTOS", "55"}, {"MARCO", "0"}, {"MARCOXML", "M1"}}));
  EXPECT_EQ(rows[1].at("HORADESDE"), "00:00");
  EXPECT_EQ(rows[1].at("HORAHASTA"), "08:05");
  EXPECT_EQ(rows[2].at("MINUTOS"), "-10");
  EXPECT_EQ(column(rows, "DIHO"), (std::vector<std::string>{"11", "12", "13", "21", "22", "23", "31", "32", "33",
                                                           "41", "42", "43", "51", "52", "53", "61", "62", "63",
                                                           "71", "72", "73"}));
  for (const auto& row : rows) EXPECT_EQ(row.at("MARCO"), "0");

  EXPECT_EQ(readRows(bench.workspace(), "PERIODOS"),
            (std::vector<testing::Row>{{{"CJORNADA", "M1"}, {"JORNADA", "Mañana"}, {"FECINI", "01/09/2026"},
                                        {"FECFIN", "30/06/2027"}}}));
  const std::vector<std::string> slotLayout{"DIHO C 10",      "CODDIHO C 10",  "DIA C 20",     "TEXTODIA C 20",
                                            "HORA C 8",       "TEXTOHOR C 15", "HORADESDE C 8", "HORAHASTA C 8",
                                            "MINUTOS C 8",    "MARCO C 1",     "MARCOXML C 10"};
  EXPECT_EQ(testing::fieldLayout(bench.workspace(), "DIASHORAST"), slotLayout);
  std::vector<std::string> orderedLayout = slotLayout;
  orderedLayout.push_back("ORDEN N 11");
  EXPECT_EQ(testing::fieldLayout(bench.workspace(), "DIASHORAST2"), orderedLayout);
  EXPECT_TRUE(readRows(bench.workspace(), "DIASHORAST2").empty());
  EXPECT_EQ(testing::fieldLayout(bench.workspace(), "PERIODOS"),
            (std::vector<std::string>{"CJORNADA C 10", "JORNADA C 40", "FECINI C 10", "FECFIN C 10"}));
  EXPECT_TRUE(table::findFile(bench.workspace(), "DIASHORAST2.MDX").has_value());
  EXPECT_FALSE(table::findFile(bench.workspace(), "JORNADAS.DBF").has_value());
  EXPECT_EQ(bench.report().rowsOf("DIASHORAST"), 21u);
  EXPECT_EQ(bench.report().rowsOf("PERIODOS"), 1u);
}

TEST(ConvertTimeFrames, TwoFramesTakeDigitsByTheStartOfTheirFirstSlot) {
  const struct {
    const char* startOfA;
    const char* startOfB;
    const char* digitOfA;
    const char* digitOfB;
  } cases[] = {
      {"480", "900", "0", "1"},
      {"480", "480", "0", "1"},  // ties favour the first code
      {"900", "480", "1", "0"},
  };
  for (const auto& c : cases) {
    ExportBench bench({{"JORNADAS_ESCOLARES", {frame("C", "Otra"), frame("A", "Mañana"), frame("B", "Tarde")}},
                       {"TRAMOS_HORARIOS",
                        {{"A1", "Primera", c.startOfA, "1000", "A"},
                         {"B1", "Primera tarde", c.startOfB, "1000", "B"},
                         {"A2", "Segunda", "1000", "1055", "A"},
                         {"C1", "Otra", "0", "10", "C"}}}});
    ScriptedDialog dialog{{{"", false}, {"A         B         ", true}}};
    bench.context().showFrameDialog = std::ref(dialog);
    convertTimeFrames(bench.context());
    EXPECT_EQ(dialog.shown, 2u);

    const auto rows = readRows(bench.workspace(), "DIASHORAST");
    ASSERT_EQ(rows.size(), 21u);
    EXPECT_EQ(column(rows, "DIHO")[0], "11");
    EXPECT_EQ(column(rows, "DIHO")[1], "11");  // each frame numbers its own slots
    EXPECT_EQ(column(rows, "DIHO")[2], "12");
    for (const auto& row : rows) {
      EXPECT_EQ(row.at("MARCO"), row.at("MARCOXML") == "A" ? c.digitOfA : c.digitOfB) << c.startOfA;
    }
    EXPECT_EQ(column(readRows(bench.workspace(), "PERIODOS"), "CJORNADA"), (std::vector<std::string>{"A", "B"}));
  }
}

TEST(ConvertTimeFrames, LongFrameCodesGetSlotsButNoPeriod) {
  ExportBench bench({{"JORNADAS_ESCOLARES", {frame("JORNADA_LARGA", "Larga")}},
                     {"TRAMOS_HORARIOS", {{"T1", "Primera", "480", "535", "JORNADA_LARGA"}}}});
  convertTimeFrames(bench.context());
  const auto rows = readRows(bench.workspace(), "DIASHORAST");
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[0].at("MARCOXML"), "JORNADA_LA");
  EXPECT_TRUE(readRows(bench.workspace(), "PERIODOS").empty());
  const auto skipped = testing::warningsOf(bench.report(), "omitido");
  ASSERT_EQ(skipped.size(), 1u);
  EXPECT_EQ(skipped[0].section, "JORNADAS_ESCOLARES");
}

TEST(ConvertTimeFrames, NonIntegerMinuteStopsWithRowsSoFarKept) {
  ExportBench bench({{"JORNADAS_ESCOLARES", {frame("M", "Mañana")}},
                     {"TRAMOS_HORARIOS",
                      {{"T1", "Primera", "480", "535", "M"}, {"T2", "Segunda", "8:55", "950", "M"}}}});
  try {
    convertTimeFrames(bench.context());
    FAIL() << "no error";
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'8:55' no es un valor entero válido");
  }
  const auto rows = readRows(bench.workspace(), "DIASHORAST");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].at("MARCO"), "");
  EXPECT_TRUE(readRows(bench.workspace(), "PERIODOS").empty());
}

TEST(ConvertTimeFrames, NoFrameStopsAfterCreatingTheEmptyTables) {
  ExportBench bench({{"TRAMOS_HORARIOS", {{"T1", "Primera", "480", "535", "M"}}}});
  try {
    convertTimeFrames(bench.context());
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "El archivo no tiene ningún Marco Horario (JORNADAS_ESCOLARES).");
  }
  for (const char* name : {"DIASHORAST", "DIASHORAST2", "PERIODOS"}) {
    EXPECT_TRUE(readRows(bench.workspace(), name).empty()) << name;
  }
}

TEST(ConvertTimeFrames, OrderedSlotTableAndItsIndexReadByAnotherReader) {
  ExportBench bench({{"JORNADAS_ESCOLARES", {frame("M", "Mañana")}}, {"TRAMOS_HORARIOS", {}}});
  convertTimeFrames(bench.context());
  const std::filesystem::path script = bench.workspace().parent_path() / "leer_indice.pl";
  std::ofstream(script) << "use XBase;\n"
                           "my $t = XBase->new($ARGV[0]) or die XBase->errstr;\n"
                           "print join(',', $t->field_names), \"\\n\";\n"
                           "my $c = $t->prepare_select_with_index([$ARGV[1], 'ORDEN'], 'ORDEN') or die $t->errstr;\n"
                           "my $n = 0; $n++ while $c->fetch; print \"rows $n\\n\";\n";
  const std::string output = testing::commandOutput("perl '" + script.string() + "' '" +
                                           (bench.workspace() / "DIASHORAST2.DBF").string() + "' '" +
                                           (bench.workspace() / "DIASHORAST2.MDX").string() + "' 2>&1");
  EXPECT_EQ(output,
            "DIHO,CODDIHO,DIA,TEXTODIA,HORA,TEXTOHOR,HORADESDE,HORAHASTA,MINUTOS,MARCO,MARCOXML,ORDEN\nrows 0\n");
}

}  // namespace
}  // namespace mudalinx::exporter
