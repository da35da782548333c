// Pieces of the course and group rows.
#pragma once

#include <string>

namespace mudalinx::exporter {

// Level written for a course the level table does not hold, or holds with an empty level.
inline constexpr const char* kUnknownLevel = "Niv";

// DESCRIP of a group: its course's studies name, or " LEVEL COURSE GROUP" when that is empty.
std::string groupDescription(const std::string& studies, const std::string& level, const std::string& course,
                             const std::string& group);

}  // namespace mudalinx::exporter
