// A simple, deterministic timetable: every session in the first slot where its teacher,
// group and room are all free. Good enough to stand in for a real timetabler in tests.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tools/timetabler/timetable_input.h"

namespace mudalinx::timetabler {

// One SOLUC row. day 0 marks a session that found no free slot.
struct SolutionRow {
  std::string teacher;
  int day = 0;
  int hour = 0;
  std::string frame;
  std::string subject;
  std::string group;
  std::string task;  // blank lets the import take the activity's own code
  std::string room;
  int session = 0;  // 1-based within its teaching unit or activity
};

struct Solution {
  std::vector<SolutionRow> rows;
  std::size_t placed = 0;    // sessions of teaching units with a slot
  std::size_t unplaced = 0;  // sessions of teaching units without one
  std::size_t activities = 0;
};

// Teaching units in ASIGT order, then one activity (guard) for every third teacher.
Solution buildSolution(const TimetableInput& input);

}  // namespace mudalinx::timetabler
