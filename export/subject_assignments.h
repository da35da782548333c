// The teaching load written with every subject assignment.
#pragma once

#include <string>

namespace mudalinx::exporter {

// Teaching minutes of every assignment.
inline constexpr const char* kTeachingMinutes = "240";

struct TeachingLoad {
  double hours = 0;      // HORAS: whole hours, at least 1
  std::string sessions;  // SESIONES: one "1" per hour, at most 13, the rest as a number in front
};

TeachingLoad teachingLoad(int minutes);

}  // namespace mudalinx::exporter
