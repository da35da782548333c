// What the sample timetabler reads from the workspace tables.
#pragma once

#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

namespace mudalinx::timetabler {

// Texts are Windows-1252, as the tables hold them.
struct TeacherInfo {
  std::string code;        // PROFT.ABREV
  std::string department;  // PROFT.DEPART
};

struct TeachingUnit {   // one ASIGT row
  std::string subject;  // CASIG
  std::string group;    // CGRUP
  int sessions = 0;     // "1" characters of SESIONES, else HORAS rounded up
};

struct ActivityInfo {  // an ASIGNOMT row with ESTAREA
  std::string code;    // COD
  std::string task;    // CODTAREA
};

struct SlotPlace {
  int day = 0;
  int hour = 0;
};

struct TimetableInput {
  std::vector<TeacherInfo> teachers;
  std::vector<std::string> rooms;                             // AULAT.ABREV
  std::unordered_map<std::string, std::string> groupFrames;   // GRUPOST.ABREV -> MARCO, first row
  std::unordered_map<std::string, std::string> subjectNames;  // ASIGNOMT.COD -> NOMBRE, first row
  std::vector<ActivityInfo> activities;
  // Frame digit -> its slots of days 1 to 5, by day and then hour, without repeats.
  std::unordered_map<std::string, std::vector<SlotPlace>> slotsByFrame;
  std::vector<TeachingUnit> units;
};

TimetableInput readTimetableInput(const std::filesystem::path& workspace);

}  // namespace mudalinx::timetabler
