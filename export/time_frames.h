// Pieces of the time-frame conversion.
#pragma once

#include <string>

namespace mudalinx::exporter {

// "HH:MM" of a minute count: hours rounded down, minutes the remainder with the sign of
// MINUTES, each given a leading "0" when it has one character (485 gives "08:05").
std::string timeText(int minutes);

// The frame codes a selection text names: two when it is exactly 20 characters long,
// otherwise one (second empty). Each trimmed.
struct FrameCodes {
  std::string first;
  std::string second;
};
FrameCodes splitSelection(const std::string& selection);

}  // namespace mudalinx::exporter
