#include "export/frame_choice.h"

#include <cstddef>

namespace mudalinx::exporter {

namespace {

std::string paddedFrameCode(const std::string& code) {
  return (code + std::string(kFrameCodeWidth, ' ')).substr(0, kFrameCodeWidth);
}

}  // namespace

std::vector<FrameEntry> listFrames(const exchange::Document& doc) {
  const exchange::Section frames = doc.section("JORNADAS_ESCOLARES");
  std::vector<FrameEntry> entries;
  entries.reserve(frames.count());
  for (std::size_t i = 0; i < frames.count(); ++i) {
    const exchange::Record frame = frames.record(i);
    entries.push_back({frame.value(0), frame.value(1), frame.value(2), frame.value(3)});
  }
  return entries;
}

std::vector<std::string> slotNamesOfFrame(const exchange::Document& doc, const std::string& code) {
  const exchange::Section slots = doc.section("TRAMOS_HORARIOS");
  std::vector<std::string> names;
  for (std::size_t i = 0; i < slots.count(); ++i) {
    const exchange::Record slot = slots.record(i);
    if (slot.value(4) == code) names.push_back(slot.value(1));
  }
  return names;
}

FrameVerdict judgeMarking(const std::vector<std::string>& entries, const std::vector<bool>& marked) {
  FrameVerdict verdict;
  verdict.marking.SeleccionValida = true;
  std::size_t markedCount = 0;
  for (std::size_t i = 0; i < entries.size() && i < marked.size(); ++i) {
    if (!marked[i]) continue;
    ++markedCount;
    verdict.marking.CodigosMarcos += paddedFrameCode(entries[i]);
  }
  if (markedCount > 2) {
    verdict.message = "Demasiados Marcos Horarios seleccionados.\r\nComo máximo puede seleccionar 2 Marcos Horarios";
    verdict.marking.SeleccionValida = false;
  } else if (markedCount < 1) {
    verdict.message = "Debe al menos seleccionar 1 Marco Horario.";
    verdict.marking.SeleccionValida = false;
  }
  return verdict;
}

}  // namespace mudalinx::exporter
