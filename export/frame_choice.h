// The school-day frames of a document and the rule that judges a marking of them,
// shared by the frame-selection dialog and the command line's --frames.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "exchange/document.h"

namespace mudalinx::exporter {

// Width of one frame code in CodigosMarcos.
inline constexpr std::size_t kFrameCodeWidth = 10;

// One JORNADAS_ESCOLARES record as the dialog shows it: texts untrimmed, Windows-1252.
struct FrameEntry {
  std::string code;   // dato 0
  std::string name;   // dato 1
  std::string start;  // dato 2
  std::string end;    // dato 3
};

std::vector<FrameEntry> listFrames(const exchange::Document& doc);
// Names (dato 1) of the TRAMOS_HORARIOS records whose dato 4 equals CODE exactly, untrimmed.
std::vector<std::string> slotNamesOfFrame(const exchange::Document& doc, const std::string& code);

// What one closing of the dialog hands back.
struct FrameMarking {
  std::string CodigosMarcos;  // each marked code padded with blanks or cut to 10, in list order
  bool SeleccionValida = false;
};

struct FrameVerdict {
  FrameMarking marking;
  std::optional<std::string> message;  // UTF-8, shown when the marking is not acceptable
};

// The closing rule: ENTRIES are the list's texts, MARKED says which are marked.
FrameVerdict judgeMarking(const std::vector<std::string>& entries, const std::vector<bool>& marked);

}  // namespace mudalinx::exporter
