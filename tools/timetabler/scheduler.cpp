#include "tools/timetabler/scheduler.h"

#include <optional>
#include <unordered_map>

#include "exchange/text.h"

namespace mudalinx::timetabler {
namespace {

constexpr const char* kDefaultFrame = "0";

// Ids for texts (groups, slots), handed out in order of first sight.
class IdMap {
 public:
  std::size_t idOf(const std::string& key) { return ids_.emplace(key, ids_.size()).first->second; }

 private:
  std::unordered_map<std::string, std::size_t> ids_;
};

// Which slots an entity (teacher, group or room) already uses: one bit per entity and slot.
class Occupancy {
 public:
  bool isFree(std::size_t entity, std::size_t slot) const {
    return entity >= used_.size() || slot >= used_[entity].size() || !used_[entity][slot];
  }
  void take(std::size_t entity, std::size_t slot) {
    if (entity >= used_.size()) used_.resize(entity + 1);
    if (slot >= used_[entity].size()) used_[entity].resize(slot + 1);
    used_[entity][slot] = true;
  }

 private:
  std::vector<std::vector<bool>> used_;
};

std::vector<std::string> wordsOf(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  auto flush = [&] {
    if (word.size() >= 4) words.push_back(exchange::caseBlindKey(word));  // "de", "y", "la" say nothing
    word.clear();
  };
  for (char c : text) {
    if (c == ' ' || c == ',' || c == '.' || c == '-' || c == '/' || c == '(' || c == ')') {
      flush();
    } else {
      word += c;
    }
  }
  flush();
  return words;
}

struct FrameSlot {
  SlotPlace place;
  std::size_t id = 0;
};

class Scheduler {
 public:
  explicit Scheduler(const TimetableInput& input) : input_(input) {
    for (std::size_t i = 0; i < input.teachers.size(); ++i) {
      for (const std::string& word : wordsOf(input.teachers[i].department)) {
        auto& list = teachersByWord_[word];
        if (list.empty() || list.back() != i) list.push_back(i);
      }
    }
  }

  Solution run() {
    for (const TeachingUnit& unit : input_.units) placeUnit(unit);
    placeActivities();
    return std::move(solution_);
  }

 private:
  // A teacher of the subject's department when there is one (round-robin among them), else the next teacher.
  std::optional<std::size_t> teacherFor(const std::string& subject) {
    if (input_.teachers.empty()) return std::nullopt;
    const auto name = input_.subjectNames.find(subject);
    if (name != input_.subjectNames.end()) {
      for (const std::string& word : wordsOf(name->second)) {
        const auto found = teachersByWord_.find(word);
        if (found == teachersByWord_.end()) continue;
        std::size_t& turn = departmentTurn_[word];
        return found->second[turn++ % found->second.size()];
      }
    }
    return nextTeacher_++ % input_.teachers.size();
  }

  std::string frameOf(const std::string& group) const {
    const auto found = input_.groupFrames.find(group);
    return found != input_.groupFrames.end() && !found->second.empty() ? found->second : kDefaultFrame;
  }

  // The frame's slots with their ids, worked out once per frame.
  const std::vector<FrameSlot>& slotsOf(const std::string& frame) {
    const auto known = frameSlots_.find(frame);
    if (known != frameSlots_.end()) return known->second;
    std::vector<FrameSlot>& slots = frameSlots_[frame];
    const auto found = input_.slotsByFrame.find(frame);
    if (found != input_.slotsByFrame.end()) {
      for (const SlotPlace& place : found->second) {
        slots.push_back({place, slotIds_.idOf(frame + '\n' + std::to_string(place.day) + '\n' +
                                              std::to_string(place.hour))});
      }
    }
    return slots;
  }

  void placeUnit(const TeachingUnit& unit) {
    const std::optional<std::size_t> teacher = teacherFor(unit.subject);
    const std::size_t group = groupIds_.idOf(unit.group);
    std::optional<std::size_t> room;
    if (!input_.rooms.empty()) room = nextRoom_++ % input_.rooms.size();
    const std::string frame = frameOf(unit.group);

    for (int session = 1; session <= unit.sessions; ++session) {
      SolutionRow row;
      row.teacher = teacher ? input_.teachers[*teacher].code : std::string();
      row.frame = frame;
      row.subject = unit.subject;
      row.group = unit.group;
      row.room = room ? input_.rooms[*room] : std::string();
      row.session = session;
      if (teacher) {
        for (const auto& [place, slot] : slotsOf(frame)) {
          if (!teachers_.isFree(*teacher, slot) || !groups_.isFree(group, slot) ||
              (room && !rooms_.isFree(*room, slot))) {
            continue;
          }
          teachers_.take(*teacher, slot);
          groups_.take(group, slot);
          if (room) rooms_.take(*room, slot);
          row.day = place.day;
          row.hour = place.hour;
          break;
        }
      }
      ++(row.day != 0 ? solution_.placed : solution_.unplaced);
      solution_.rows.push_back(std::move(row));
    }
  }

  // Every third teacher gets one guard; every other guard leaves TAREA blank.
  void placeActivities() {
    if (input_.activities.empty()) return;
    std::size_t next = 0;
    for (std::size_t teacher = 0; teacher < input_.teachers.size(); teacher += 3) {
      const ActivityInfo& activity = input_.activities[next % input_.activities.size()];
      for (const auto& [place, slot] : slotsOf(kDefaultFrame)) {
        if (!teachers_.isFree(teacher, slot)) continue;
        teachers_.take(teacher, slot);
        SolutionRow row;
        row.teacher = input_.teachers[teacher].code;
        row.day = place.day;
        row.hour = place.hour;
        row.frame = kDefaultFrame;
        row.subject = activity.code;
        row.task = next % 2 == 1 ? activity.task : std::string();
        row.session = 1;
        solution_.rows.push_back(std::move(row));
        ++solution_.activities;
        break;
      }
      ++next;
    }
  }

  const TimetableInput& input_;
  Solution solution_;
  std::unordered_map<std::string, std::vector<std::size_t>> teachersByWord_;
  std::unordered_map<std::string, std::size_t> departmentTurn_;
  std::size_t nextTeacher_ = 0;
  std::size_t nextRoom_ = 0;
  IdMap groupIds_;
  IdMap slotIds_;
  std::unordered_map<std::string, std::vector<FrameSlot>> frameSlots_;
  Occupancy teachers_, groups_, rooms_;
};

}  // namespace

Solution buildSolution(const TimetableInput& input) { return Scheduler(input).run(); }

}  // namespace mudalinx::timetabler
