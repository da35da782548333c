#include "export/frame_choice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/export_testing.h"

namespace mudalinx::exporter {
namespace {

TEST(JudgeMarking, AcceptsOneOrTwoMarkedFramesPaddedToTenCharacters) {
  const std::vector<std::string> entries{"1", "23", "CODIGOLARGO1", "B"};
  const struct {
    std::vector<bool> marked;
    bool valid;
    std::string codes;
    const char* message;
  } cases[] = {
      {{false, false, false, false}, false, "", "Debe al menos seleccionar 1 Marco Horario."},
      {{}, false, "", "Debe al menos seleccionar 1 Marco Horario."},
      {{true, false, false, false}, true, "1         ", nullptr},
      {{true, true, false, false}, true, "1         23        ", nullptr},
      {{false, false, true, false}, true, "CODIGOLARG", nullptr},
      {{false, true, false, true}, true, "23        B         ", nullptr},
      {{true, true, false, true},
       false,
       "1         23        B         ",
       "Demasiados Marcos Horarios seleccionados.\r\nComo máximo puede seleccionar 2 Marcos Horarios"},
  };
  for (const auto& c : cases) {
    const FrameVerdict verdict = judgeMarking(entries, c.marked);
    EXPECT_EQ(verdict.marking.SeleccionValida, c.valid) << c.codes;
    EXPECT_EQ(verdict.marking.CodigosMarcos, c.codes);
    if (c.message == nullptr) {
      EXPECT_FALSE(verdict.message.has_value()) << c.codes;
    } else {
      EXPECT_EQ(verdict.message, std::optional<std::string>(c.message)) << c.codes;
    }
  }
}

TEST(ListFrames, GivesFramesAndTheirSlotsUntrimmed) {
  testing::ExportBench bench({{"JORNADAS_ESCOLARES",
                               {{"M1", "Mañana", "01/09/2026", "30/06/2027"}, {" T2 ", "Tarde", "x", "y"}}},
                              {"TRAMOS_HORARIOS",
                               {{"1", "Primera", "480", "535", "M1"},
                                {"2", "Segunda", "535", "590", "M1 "},
                                {"3", "Tercera", "900", "955", " T2 "},
                                {"4", "Cuarta", "590", "645", "M1"}}}});
  const auto frames = listFrames(bench.context().doc);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].code, "M1");
  EXPECT_EQ(frames[0].name, "Ma\xF1" "ana");
  EXPECT_EQ(frames[0].start, "01/09/2026");
  EXPECT_EQ(frames[0].end, "30/06/2027");
  EXPECT_EQ(frames[1].code, " T2 ");
  EXPECT_EQ(slotNamesOfFrame(bench.context().doc, "M1"), (std::vector<std::string>{"Primera", "Cuarta"}));
  EXPECT_EQ(slotNamesOfFrame(bench.context().doc, " T2 "), std::vector<std::string>{"Tercera"});
  EXPECT_TRUE(slotNamesOfFrame(bench.context().doc, "T2").empty());
}

}  // namespace
}  // namespace mudalinx::exporter
