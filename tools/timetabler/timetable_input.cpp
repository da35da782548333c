#include "tools/timetabler/timetable_input.h"

#include <algorithm>
#include <cmath>

#include "table/table.h"

namespace mudalinx::timetabler {
namespace {

using table::Access;
using table::Table;

int sessionsOf(const Table& asigt) {
  const std::string pattern = asigt.text("SESIONES");
  const auto ones = std::count(pattern.begin(), pattern.end(), '1');
  if (ones > 0) return static_cast<int>(ones);
  return static_cast<int>(std::ceil(asigt.number("HORAS")));
}

void readSlots(Table& diashorast, TimetableInput& input) {
  for (diashorast.first(); !diashorast.eof(); diashorast.next()) {
    const long long day = diashorast.integer("DIA");
    if (day < 1 || day > 5) continue;
    input.slotsByFrame[diashorast.text("MARCO")].push_back(
        {static_cast<int>(day), static_cast<int>(diashorast.integer("HORA"))});
  }
  for (auto& [frame, slots] : input.slotsByFrame) {
    auto before = [](const SlotPlace& a, const SlotPlace& b) {
      return a.day != b.day ? a.day < b.day : a.hour < b.hour;
    };
    auto same = [](const SlotPlace& a, const SlotPlace& b) { return a.day == b.day && a.hour == b.hour; };
    std::sort(slots.begin(), slots.end(), before);
    slots.erase(std::unique(slots.begin(), slots.end(), same), slots.end());
  }
}

}  // namespace

TimetableInput readTimetableInput(const std::filesystem::path& workspace) {
  TimetableInput input;
  Table proft = Table::open(workspace, "PROFT", Access::Shared);
  for (proft.first(); !proft.eof(); proft.next()) input.teachers.push_back({proft.text("ABREV"), proft.text("DEPART")});

  Table aulat = Table::open(workspace, "AULAT", Access::Shared);
  for (aulat.first(); !aulat.eof(); aulat.next()) input.rooms.push_back(aulat.text("ABREV"));

  Table grupost = Table::open(workspace, "GRUPOST", Access::Shared);
  for (grupost.first(); !grupost.eof(); grupost.next()) {
    input.groupFrames.emplace(grupost.text("ABREV"), grupost.text("MARCO"));
  }

  Table asignomt = Table::open(workspace, "ASIGNOMT", Access::Shared);
  for (asignomt.first(); !asignomt.eof(); asignomt.next()) {
    input.subjectNames.emplace(asignomt.text("COD"), asignomt.text("NOMBRE"));
    if (asignomt.logical("ESTAREA")) input.activities.push_back({asignomt.text("COD"), asignomt.text("CODTAREA")});
  }

  Table diashorast = Table::open(workspace, "DIASHORAST", Access::Shared);
  readSlots(diashorast, input);

  Table asigt = Table::open(workspace, "ASIGT", Access::Shared);
  input.units.reserve(asigt.recordCount());
  for (asigt.first(); !asigt.eof(); asigt.next()) {
    input.units.push_back({asigt.text("CASIG"), asigt.text("CGRUP"), sessionsOf(asigt)});
  }
  return input;
}

}  // namespace mudalinx::timetabler
