#include "import/clock_minutes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mudalinx::importer {
namespace {

TEST(ClockToMinutes, ConvertsSlotTimes) {
  struct Case {
    std::string clock;
    long long minutes;
  };
  const std::vector<Case> cases{
      {"08:30", 510},  {"8:30", 510}, {"14:05", 845},
      {"00:00", 0},    {"", 0},       {"7", 427},  // "07": the same two characters are hours and minutes
      {"0930", 30},                                // "00930"
      {"23:59", 1439},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(clockToMinutes(c.clock), c.minutes) << c.clock;
  }
}

TEST(ClockToMinutes, RefusesPairsThatAreNoNumber) {
  for (const char* clock : {"ab:cd", "08:3x", "x8:30", "8:3", "hh:mm"}) {
    EXPECT_EQ(clockToMinutes(clock), std::nullopt) << clock;
  }
}

}  // namespace
}  // namespace mudalinx::importer
