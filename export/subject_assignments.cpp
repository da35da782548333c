#include "export/subject_assignments.h"

#include <cmath>
#include <unordered_map>
#include <vector>

#include "exchange/text.h"
#include "export/converters.h"
#include "export/integer_text.h"
#include "export/section_walk.h"
#include "export/table_rows.h"

namespace mudalinx::exporter {

TeachingLoad teachingLoad(int minutes) {
  double hours = std::ceil(minutes / 60.0);
  if (hours < 1) hours = 1;
  int sessions = static_cast<int>(std::ceil(hours));
  std::string pattern;
  if (sessions > 13) {
    pattern = std::to_string(sessions - 13);
    sessions = 13;
  }
  pattern.append(static_cast<std::size_t>(sessions), '1');
  return {hours, pattern};
}

namespace {

using table::FieldType;

table::TableDef assignmentTableDef() {
  return {"ASIGT",
          {{"CASIG", FieldType::Text, 10},
           {"CPROF", FieldType::Text, 10},
           {"CGRUP", FieldType::Text, 10},
           {"CAULA", FieldType::Text, 10},
           {"TURNO", FieldType::Text, 1},
           {"NIVEL", FieldType::Text, 5},
           {"CURSO", FieldType::Text, 3},
           {"GRUPO", FieldType::Text, 2},
           {"HORAS", FieldType::Float, 0},
           {"SESIONES", FieldType::Text, 20},
           {"NCONEX", FieldType::Text, 4},
           {"CLAVE", FieldType::Text, 10},
           {"CLAVECURSO", FieldType::Text, 10},
           {"CTAREA", FieldType::Text, 10}},
          {},
          table::Format::DBase4};
}

// Subject names are compared a-z upper-cased and trimmed.
std::string nameKey(const std::string& name) { return exchange::TrimBoth(exchange::upperAZ(name)); }

// COD of the first ASIGNOMT row with each name.
std::unordered_map<std::string, std::string> indexSubjectCodes(table::Table& subjects) {
  std::unordered_map<std::string, std::string> codeByName;
  for (subjects.first(); !subjects.eof(); subjects.next()) {
    codeByName.emplace(nameKey(subjects.text("NOMBRE")), subjects.text("COD"));
  }
  return codeByName;
}

struct GroupOfCourse {
  std::string code;
  std::string level;
  std::string course;
  std::string group;
};

// The GRUPOST rows by CLAVECURSO, each list in table order.
std::unordered_map<std::string, std::vector<GroupOfCourse>> indexGroups(table::Table& groups) {
  std::unordered_map<std::string, std::vector<GroupOfCourse>> byCourse;
  for (groups.first(); !groups.eof(); groups.next()) {
    byCourse[groups.text("CLAVECURSO")].push_back(
        {groups.text("ABREV"), groups.text("NIVEL"), groups.text("CURSO"), groups.text("GRUPO")});
  }
  return byCourse;
}

}  // namespace

void convertSubjectAssignments(ExportContext& ctx) {
  const table::TableDef def = assignmentTableDef();
  removeOldTables(ctx.workspace, {def.name});
  table::createTable(ctx.workspace, def);
  table::Table assignments = table::Table::open(ctx.workspace, def.name, table::Access::Shared);

  table::Table groups = table::Table::open(ctx.workspace, "GRUPOST", table::Access::Exclusive);
  table::Table subjects = table::Table::open(ctx.workspace, "ASIGNOMT", table::Access::Exclusive);
  const auto codeByName = indexSubjectCodes(subjects);
  const auto groupsByCourse = indexGroups(groups);
  const TeachingLoad load = teachingLoad(toInteger(kTeachingMinutes));

  forEachRecord(ctx.doc, "MATERIAS", ctx.report, RecordGuard::SkipShortRecords, [&](const SourceRecord& record) {
    const std::string courseKey = record.trimmed(0);
    const std::string subjectKey = record.trimmed(1);
    const auto code = codeByName.find(nameKey(exchange::LeftPart(record.trimmed(2), 80)));
    if (code == codeByName.end() || code->second.empty()) return;
    const auto courseGroups = groupsByCourse.find(courseKey);
    if (courseGroups == groupsByCourse.end()) return;
    for (const GroupOfCourse& group : courseGroups->second) {
      assignments.append();
      setTextField(assignments, record, "CASIG", code->second);
      setTextField(assignments, record, "CGRUP", group.code);
      setTextField(assignments, record, "CAULA", "");
      setTextField(assignments, record, "TURNO", "");
      setTextField(assignments, record, "NIVEL", group.level);
      setTextField(assignments, record, "CURSO", group.course);
      setTextField(assignments, record, "GRUPO", group.group);
      assignments.setNumber("HORAS", load.hours);
      setTextField(assignments, record, "SESIONES", load.sessions);
      setTextField(assignments, record, "CLAVE", subjectKey);
      setTextField(assignments, record, "CLAVECURSO", courseKey);
      setTextField(assignments, record, "CTAREA", "1");
      postRow(assignments, ctx.report);
    }
  });
  assignments.close();
}

}  // namespace mudalinx::exporter
