// What a large Spanish secondary school holds: the courses it offers with their
// subjects and class units, its rooms, departments and non-teaching activities,
// and the given names and surnames of its staff with how often each occurs.
// Texts are UTF-8.
#pragma once

#include <string>
#include <vector>

namespace mudalinx::generator {

struct CourseTemplate {
  std::string name;                   // course name; its first character becomes CURSO
  int levelKey = 0;                   // course-offer identifier of the level table
  std::vector<std::string> units;     // class-unit names
  std::vector<std::string> subjects;  // every school teaches these
  std::vector<std::string> electives; // each school teaches some of these
};

// A text with its relative frequency among the people of a school.
struct WeightedText {
  std::string text;
  int weight = 1;
};

const std::vector<CourseTemplate>& courseTemplates();
// A course that some schools offer and whose key the level table does not hold.
const CourseTemplate& unlistedCourse();
const std::vector<std::string>& roomNames();
// Rooms the school system lists without an identifier (the code is made from the name).
const std::vector<std::string>& roomsWithoutCode();
const std::vector<std::string>& activityNames();
const std::vector<WeightedText>& departments();
const std::vector<WeightedText>& surnames();
const std::vector<WeightedText>& givenNames();

}  // namespace mudalinx::generator
