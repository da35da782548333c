#include "export/courses_groups.h"

#include <unordered_map>

#include "exchange/text.h"
#include "export/converters.h"
#include "export/integer_text.h"
#include "export/section_walk.h"
#include "export/table_rows.h"

namespace mudalinx::exporter {

std::string groupDescription(const std::string& studies, const std::string& level, const std::string& course,
                             const std::string& group) {
  if (!studies.empty()) return studies;
  return " " + level + " " + course + " " + group;
}

namespace {

using table::FieldType;

table::TableDef courseTableDef() {
  return {"CURSOST",
          {{"ABREV", FieldType::Text, 10},
           {"TURNO", FieldType::Text, 1},
           {"NIVEL", FieldType::Text, 5},
           {"CURSO", FieldType::Text, 3},
           {"CLAVE", FieldType::Text, 10},
           {"ESTUD", FieldType::Text, 80}},
          {},
          table::Format::DBase4};
}

table::TableDef groupTableDef() {
  return {"GRUPOST",
          {{"ABREV", FieldType::Text, 10},
           {"TURNO", FieldType::Text, 1},
           {"NIVEL", FieldType::Text, 5},
           {"CURSO", FieldType::Text, 3},
           {"GRUPO", FieldType::Text, 2},
           {"DESCRIP", FieldType::Text, 80},
           {"MARCO", FieldType::Text, 1},
           {"CLAVE", FieldType::Text, 10},
           {"CLAVECURSO", FieldType::Text, 10}},
          {},
          table::Format::DBase4};
}

struct LevelOfCourse {
  std::string level;
  std::string studies;
};

// The level table by course-offer identifier, first record of each; read once per run and
// closed before the courses are converted.
std::unordered_map<long long, LevelOfCourse> readLevelTable(const std::filesystem::path& programFolder) {
  table::Table levels = table::Table::open(programFolder, "NIVELEX", table::Access::Shared);
  std::unordered_map<long long, LevelOfCourse> byOffer;
  for (levels.first(); !levels.eof(); levels.next()) {
    if (levels.isBlank("X_OFERTAMATRIG")) continue;
    byOffer.emplace(levels.integer("X_OFERTAMATRIG"),
                    LevelOfCourse{levels.text("NIVEL_ABREV"), levels.text("ESTUDIO")});
  }
  return byOffer;
}

struct CourseOfGroup {
  std::string level;
  std::string course;
  std::string studies;
};

// The course rows as stored, by CLAVE, first row of each.
std::unordered_map<std::string, CourseOfGroup> indexCourses(table::Table& courses) {
  std::unordered_map<std::string, CourseOfGroup> byKey;
  for (courses.first(); !courses.eof(); courses.next()) {
    byKey.emplace(courses.text("CLAVE"),
                  CourseOfGroup{courses.text("NIVEL"), courses.text("CURSO"), courses.text("ESTUD")});
  }
  return byKey;
}

void writeCourses(ExportContext& ctx, table::Table& courses) {
  const auto levels = readLevelTable(ctx.programFolder);
  forEachRecord(ctx.doc, "CURSOS_DEL_CENTRO", ctx.report, RecordGuard::SkipShortRecords,
                [&](const SourceRecord& record) {
                  const std::string key = record.trimmed(0);
                  const int offer = toInteger(key);
                  const std::string name = record.trimmed(1);
                  std::string level = kUnknownLevel;
                  std::string studies = name;
                  if (const auto found = levels.find(offer); found != levels.end()) {
                    level = found->second.level;
                    studies = found->second.studies;
                  }
                  if (level.empty()) level = kUnknownLevel;
                  courses.append();
                  setTextField(courses, record, "CLAVE", key);
                  setTextField(courses, record, "NIVEL", level);
                  setTextField(courses, record, "CURSO", exchange::LeftPart(name, 1));
                  setTextField(courses, record, "ESTUD", studies);
                  postRow(courses, ctx.report);
                });
}

void writeGroups(ExportContext& ctx, table::Table& courses, table::Table& groups) {
  const auto courseByKey = indexCourses(courses);
  CodeList codes(LetterCase::Ignored);
  forEachRecord(ctx.doc, "UNIDADES", ctx.report, RecordGuard::SkipShortRecords, [&](const SourceRecord& record) {
    const std::string name = record.trimmed(1);
    const std::string courseKey = record.trimmed(2);
    CourseOfGroup course;
    if (const auto found = courseByKey.find(courseKey); found != courseByKey.end()) course = found->second;
    const std::string group = exchange::RightPart(name, 1);
    const std::string code = claimCode(codes, name, record);
    groups.append();
    setTextField(groups, record, "ABREV", code);
    setTextField(groups, record, "TURNO", "");
    setTextField(groups, record, "NIVEL", course.level);
    setTextField(groups, record, "CURSO", course.course);
    setTextField(groups, record, "GRUPO", group);
    setTextField(groups, record, "DESCRIP", groupDescription(course.studies, course.level, course.course, group));
    setTextField(groups, record, "MARCO", "0");
    setTextField(groups, record, "CLAVE", record.trimmed(0));
    setTextField(groups, record, "CLAVECURSO", courseKey);
    postRow(groups, ctx.report);
  });
}

}  // namespace

void convertCoursesAndGroups(ExportContext& ctx) {
  const table::TableDef courseDef = courseTableDef();
  const table::TableDef groupDef = groupTableDef();
  removeOldTables(ctx.workspace, {groupDef.name, courseDef.name});
  table::createTable(ctx.workspace, courseDef);
  table::createTable(ctx.workspace, groupDef);

  table::Table courses = table::Table::open(ctx.workspace, courseDef.name, table::Access::Shared);
  writeCourses(ctx, courses);
  table::Table groups = table::Table::open(ctx.workspace, groupDef.name, table::Access::Shared);
  writeGroups(ctx, courses, groups);
  groups.close();
  courses.close();
}

}  // namespace mudalinx::exporter
