#include "export/converters.h"

namespace mudalinx::exporter {

void runConverters(ExportContext& ctx) {
  SubjectLists lists;
  convertSubjects(ctx, lists);
  convertActivities(ctx, lists);
  convertTeachers(ctx);
  convertRooms(ctx);
  convertCoursesAndGroups(ctx);
  convertSubjectAssignments(ctx);
  convertTimeFrames(ctx);
}

const std::vector<std::string>& exportedTableNames() {
  static const std::vector<std::string> names{"ASIGNOMT", "PROFT",      "AULAT",       "GRUPOST", "CURSOST",
                                              "ASIGT",    "DIASHORAST", "DIASHORAST2", "PERIODOS", "JORNADAS"};
  return names;
}

}  // namespace mudalinx::exporter
