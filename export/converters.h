// The seven converters of the export, each turning one or two sections of the
// Exchange document into workspace tables. They are called in this order by the
// export run; later ones read the tables of earlier ones.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "exchange/document.h"
#include "exchange/report.h"
#include "export/frame_choice.h"
#include "export/unique_codes.h"

namespace mudalinx::exporter {

struct ExportContext {
  const exchange::Document& doc;
  std::filesystem::path workspace;      // the workspace folder (C:\KTEMP)
  std::filesystem::path programFolder;  // holds NIVELEX.DBF
  exchange::Report& report;
  // Shows the frame-selection dialog once and returns its closing; called by the
  // time-frame converter, again and again until SeleccionValida.
  std::function<FrameMarking()> showFrameDialog;
};

// The subjects converter's code list and name list; each export run starts with fresh ones.
struct SubjectLists {
  CodeList codes{LetterCase::Significant};    // every subject code written (exact comparison)
  std::unordered_set<std::string> upperNames;  // the a-z upper-cased name of every subject written
  void clear() {
    codes.clear();
    upperNames.clear();
  }
};

void convertSubjects(ExportContext& ctx, SubjectLists& lists);
void convertActivities(ExportContext& ctx, SubjectLists& lists);
void convertTeachers(ExportContext& ctx);
void convertRooms(ExportContext& ctx);
void convertCoursesAndGroups(ExportContext& ctx);
void convertSubjectAssignments(ExportContext& ctx);
void convertTimeFrames(ExportContext& ctx);

// All seven in their fixed order, with fresh subject lists.
void runConverters(ExportContext& ctx);

// Base names of every file the export replaces in the workspace, in the order
// the converters delete them (ASIGNOMT, PROFT, ..., JORNADAS).
const std::vector<std::string>& exportedTableNames();

}  // namespace mudalinx::exporter
