#include "tools/timetabler/scheduler.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

namespace mudalinx::timetabler {
namespace {

// Two days of two hours in frame "0", one hour in frame "1".
TimetableInput smallSchool() {
  TimetableInput input;
  input.teachers = {{"ANA", "Matem\xE1ticas"}, {"LUIS", "Lengua castellana"}, {"EVA", ""}};
  input.rooms = {"A1", "A2"};
  input.groupFrames = {{"1A", "0"}, {"1B", "0"}, {"2T", "1"}};
  input.subjectNames = {{"MAT", "MATEM\xC1TICAS"}, {"LEN", "Lengua y literatura"}, {"EF", "Educaci\xF3n F\xEDsica"}};
  input.activities = {{"GUAR", "5001"}};
  input.slotsByFrame = {{"0", {{1, 1}, {1, 2}, {2, 1}, {2, 2}}}, {"1", {{1, 1}}}};
  input.units = {{"MAT", "1A", 3}, {"LEN", "1A", 2}, {"MAT", "1B", 2}, {"EF", "2T", 2}};
  return input;
}

TEST(Scheduler, PlacesEachSessionInTheFirstFreeSlotOfItsFrame) {
  const Solution solution = buildSolution(smallSchool());

  struct Expected {
    std::string teacher, subject, group, frame;
    int day, hour;
  };
  // MAT goes to the mathematics teacher (accents and case do not matter), LEN to the
  // language teacher; EF has no department and takes the next teacher in turn.
  const std::vector<Expected> expected{
      {"ANA", "MAT", "1A", "0", 1, 1},  {"ANA", "MAT", "1A", "0", 1, 2},  {"ANA", "MAT", "1A", "0", 2, 1},
      {"LUIS", "LEN", "1A", "0", 2, 2}, {"LUIS", "LEN", "1A", "0", 0, 0}, {"ANA", "MAT", "1B", "0", 2, 2},
      {"ANA", "MAT", "1B", "0", 0, 0},  {"ANA", "EF", "2T", "1", 1, 1},   {"ANA", "EF", "2T", "1", 0, 0},
  };
  ASSERT_GE(solution.rows.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const SolutionRow& row = solution.rows[i];
    EXPECT_EQ(std::tie(row.teacher, row.subject, row.group, row.frame, row.day, row.hour),
              std::tie(expected[i].teacher, expected[i].subject, expected[i].group, expected[i].frame, expected[i].day,
                       expected[i].hour))
        << "row " << i;
  }
  EXPECT_EQ(solution.placed, 6u);
  EXPECT_EQ(solution.unplaced, 3u);
}

TEST(Scheduler, NeverDoubleBooksATeacherGroupOrRoom) {
  TimetableInput input = smallSchool();
  for (int i = 0; i < 40; ++i) input.units.push_back({i % 2 ? "LEN" : "EF", i % 3 ? "1A" : "1B", 2});
  const Solution solution = buildSolution(input);
  std::set<std::tuple<std::string, std::string, int, int>> teachers, groups, rooms;
  for (const SolutionRow& row : solution.rows) {
    if (row.day == 0) continue;
    EXPECT_TRUE(teachers.insert({row.teacher, row.frame, row.day, row.hour}).second) << row.teacher;
    if (!row.group.empty()) {
      EXPECT_TRUE(groups.insert({row.group, row.frame, row.day, row.hour}).second) << row.group;
    }
    if (!row.room.empty()) {
      EXPECT_TRUE(rooms.insert({row.room, row.frame, row.day, row.hour}).second) << row.room;
    }
  }
  EXPECT_EQ(solution.placed + solution.unplaced + solution.activities, solution.rows.size());
}

TEST(Scheduler, GivesEveryThirdTeacherAGuardWithAndWithoutItsCode) {
  TimetableInput input = smallSchool();
  input.teachers.push_back({"RAUL", ""});
  input.units.clear();
  input.activities.push_back({"GUAR2", "5002"});
  const Solution solution = buildSolution(input);
  ASSERT_EQ(solution.rows.size(), 2u);
  EXPECT_EQ(solution.activities, 2u);
  EXPECT_EQ(solution.rows[0].teacher, "ANA");
  EXPECT_EQ(solution.rows[0].subject, "GUAR");
  EXPECT_EQ(solution.rows[0].task, "");
  EXPECT_EQ(solution.rows[1].teacher, "RAUL");
  EXPECT_EQ(solution.rows[1].subject, "GUAR2");
  EXPECT_EQ(solution.rows[1].task, "5002");
  for (const SolutionRow& row : solution.rows) {
    EXPECT_EQ(std::tie(row.day, row.hour), std::make_tuple(1, 1));
    EXPECT_TRUE(row.group.empty());
  }
}

TEST(Scheduler, WithoutTeachersOrSlotsNothingIsPlaced) {
  TimetableInput noTeachers = smallSchool();
  noTeachers.teachers.clear();
  TimetableInput noSlots = smallSchool();
  noSlots.slotsByFrame.clear();
  for (const TimetableInput& input : {noTeachers, noSlots}) {
    const Solution solution = buildSolution(input);
    EXPECT_EQ(solution.placed, 0u);
    EXPECT_EQ(solution.unplaced, 9u);
    for (const SolutionRow& row : solution.rows) EXPECT_EQ(row.day, 0);
  }
}

}  // namespace
}  // namespace mudalinx::timetabler
