#include "tools/generator/school.h"

#include <algorithm>

#include "tools/generator/catalogue.h"
#include "tools/generator/random.h"

namespace mudalinx::generator {

namespace {

// Identifier ranges: school k uses [base + k * stride, base + (k + 1) * stride).
constexpr long long kSubjectKeys = 1000000, kSubjectStride = 1000;
constexpr long long kEmployeeIds = 3000000, kEmployeeStride = 1000;
constexpr long long kUnitKeys = 5000000, kUnitStride = 100;
constexpr long long kRoomCodes = 7000000, kRoomStride = 100;
constexpr long long kActivityKeys = 1000, kActivityStride = 20;
// Course keys of the first school are the level table's; later schools offer the
// same courses under keys of their own, which the level table does not hold.
constexpr long long kCourseKeyStride = 100000;
constexpr int kMaxSchools = 1000;

class WeightedPicker {
 public:
  explicit WeightedPicker(const std::vector<WeightedText>& items) : items_(items) {
    long long total = 0;
    for (const auto& item : items) {
      total += item.weight;
      cumulative_.push_back(total);
    }
  }
  const std::string& pick(Random& random) const {
    const long long ticket = random.between(0, cumulative_.back() - 1);
    const auto at = std::upper_bound(cumulative_.begin(), cumulative_.end(), ticket) - cumulative_.begin();
    return items_[static_cast<std::size_t>(at)].text;
  }

 private:
  const std::vector<WeightedText>& items_;
  std::vector<long long> cumulative_;
};

// Hands out increasing identifiers inside one school's range, with the gaps
// that deleted records leave in a real database.
class KeyRange {
 public:
  KeyRange(long long base, long long stride, int school, int maxGap)
      : next_(base + stride * school), maxGap_(maxGap) {}
  std::string take(Random& random) {
    next_ += random.between(1, maxGap_);
    return std::to_string(next_);
  }

 private:
  long long next_;
  int maxGap_;
};

std::string twoDigits(long long n) {
  std::string text = n < 10 ? "0" : "";  // appended, not prefixed: g++ 12 warns wrongly on "0" + text
  text += std::to_string(n);
  return text;
}

// Values keyed in by hand now and then carry stray blanks.
std::string withStrayBlanks(Random& random, std::string text) {
  if (random.chance(10)) return " " + text;
  if (random.chance(10)) return text + "  ";
  return text;
}

std::vector<std::string> chooseElectives(Random& random, const CourseTemplate& course) {
  std::vector<std::string> pool = course.electives;
  const std::size_t wanted = course.name.find("Secundaria") != std::string::npos ? 5
                             : course.name.find("Bachillerato") != std::string::npos ? 3
                                                                                    : 2;
  std::vector<std::string> chosen;
  while (chosen.size() < wanted && !pool.empty()) {
    const auto at = static_cast<std::size_t>(random.between(0, static_cast<long long>(pool.size()) - 1));
    chosen.push_back(pool[at]);
    pool.erase(pool.begin() + static_cast<std::ptrdiff_t>(at));
  }
  return chosen;
}

void addCourses(Random& random, int index, School& school) {
  KeyRange subjectKeys(kSubjectKeys, kSubjectStride, index, 2);
  KeyRange unitKeys(kUnitKeys, kUnitStride, index, 2);
  std::vector<const CourseTemplate*> offered;
  for (const auto& course : courseTemplates()) offered.push_back(&course);
  if (random.chance(500)) offered.push_back(&unlistedCourse());

  for (const CourseTemplate* course : offered) {
    const std::string key = std::to_string(course->levelKey + kCourseKeyStride * index);
    school.courses.push_back({key, course->name});
    std::vector<std::string> subjects = course->subjects;
    for (auto& elective : chooseElectives(random, *course)) subjects.push_back(std::move(elective));
    if (random.chance(300)) {  // a subject offered twice in one course, under two keys
      subjects.push_back(subjects[static_cast<std::size_t>(random.between(0, static_cast<long long>(subjects.size()) - 1))]);
    }
    for (const auto& name : subjects) {
      std::string written = name;
      if (random.chance(8)) {  // typed in capitals: only a to z change, accents stay
        std::transform(written.begin(), written.end(), written.begin(),
                       [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
      }
      school.subjects.push_back({key, subjectKeys.take(random), withStrayBlanks(random, written)});
    }
    for (const auto& unit : course->units) school.units.push_back({unitKeys.take(random), unit, key});
  }
}

void addEmployees(Random& random, int index, School& school) {
  static const WeightedPicker surname(surnames());
  static const WeightedPicker given(givenNames());
  static const WeightedPicker department(departments());
  KeyRange ids(kEmployeeIds, kEmployeeStride, index, 4);
  const long long count = random.between(110, 130);
  for (long long i = 0; i < count; ++i) {
    const std::string first = surname.pick(random);
    const std::string second = random.chance(25) ? "" : surname.pick(random);  // foreign staff: one surname
    std::string name = given.pick(random);
    if (random.chance(3)) name = " " + name;
    const long long year = random.between(1988, 2025);
    const std::string taken = random.chance(800) ? "01/09/" + std::to_string(year)
                                                 : twoDigits(random.between(1, 28)) + "/" +
                                                       twoDigits(random.between(1, 12)) + "/" + std::to_string(year);
    school.employees.push_back({ids.take(random), taken, department.pick(random), first, second, name});
  }
}

void addRooms(Random& random, int index, School& school) {
  KeyRange codes(kRoomCodes, kRoomStride, index, 1);
  for (const auto& name : roomNames()) school.rooms.push_back({codes.take(random), name});
  for (const auto& name : roomsWithoutCode()) school.rooms.push_back({"", name});
}

void addActivities(Random& random, int index, School& school) {
  KeyRange keys(kActivityKeys, kActivityStride, index, 1);
  for (const auto& name : activityNames()) {
    school.activities.push_back({random.chance(900) ? "N" : "L", keys.take(random), withStrayBlanks(random, name)});
  }
}

std::string hhmm(int minutes) { return twoDigits(minutes / 60) + ":" + twoDigits(minutes % 60); }

}  // namespace

int maxSchools() { return kMaxSchools; }

School makeSchool(std::uint64_t seed, int index) {
  School school;
  Random courses = Random::derived(seed, static_cast<std::uint64_t>(index) * 4 + 0);
  Random staff = Random::derived(seed, static_cast<std::uint64_t>(index) * 4 + 1);
  Random rooms = Random::derived(seed, static_cast<std::uint64_t>(index) * 4 + 2);
  Random activities = Random::derived(seed, static_cast<std::uint64_t>(index) * 4 + 3);
  addCourses(courses, index, school);
  addEmployees(staff, index, school);
  addRooms(rooms, index, school);
  addActivities(activities, index, school);
  return school;
}

std::vector<Record> timeFrames() {
  return {{"101", "Jornada de mañana", "15/09/2025", "23/06/2026"},
          {"102", "Jornada de tarde", "15/09/2025", "23/06/2026"}};
}

std::vector<Record> timeSlots() {
  std::vector<Record> slots;
  int code = 2001;
  for (const auto& [frame, start] : {std::pair<std::string, int>{"101", 8 * 60}, {"102", 15 * 60}}) {
    int minute = start;
    int lesson = 0;
    for (int slot = 0; slot < 8; ++slot) {
      const bool isBreak = slot == 3;
      const int length = isBreak ? 30 : 55;
      const std::string name = isBreak ? "Recreo" : std::to_string(++lesson) + "ª hora";
      slots.push_back({std::to_string(code++), name + " (" + hhmm(minute) + ")", std::to_string(minute),
                       std::to_string(minute + length), frame});
      minute += length;
    }
  }
  return slots;
}

}  // namespace mudalinx::generator
