#include "export/teachers.h"

#include "export/converters.h"
#include "export/section_walk.h"
#include "export/table_rows.h"

namespace mudalinx::exporter {

std::string teacherBaseAbbreviation(std::string_view first, std::string_view second, std::string_view third) {
  std::string base;
  for (std::string_view part : {first, second, third}) base += part.substr(0, 1);
  return base;
}

std::string teacherFullName(const std::string& first, const std::string& second, const std::string& third) {
  return first + " " + second + ", " + third;
}

namespace {

table::TableDef teacherTableDef() {
  using table::FieldType;
  return {"PROFT",
          {{"ABREV", FieldType::Text, 10},
           {"NOMBRE", FieldType::Text, 80},
           {"DEPART", FieldType::Text, 40},
           {"DNI", FieldType::Integer, 0},
           {"X_EMPLEADO", FieldType::Text, 10},
           {"F_TOMAPOS", FieldType::Text, 10}},
          {},
          table::Format::DBase4};
}

}  // namespace

void convertTeachers(ExportContext& ctx) {
  const table::TableDef def = teacherTableDef();
  removeOldTables(ctx.workspace, {def.name});
  CodeList abbreviations(LetterCase::Ignored);
  table::createTable(ctx.workspace, def);
  table::Table teachers = table::Table::open(ctx.workspace, def.name, table::Access::Shared);

  forEachRecord(ctx.doc, "EMPLEADOS", ctx.report, RecordGuard::SkipShortRecords, [&](const SourceRecord& record) {
    const std::string abbreviation =
        claimCode(abbreviations, teacherBaseAbbreviation(record.raw(3), record.raw(4), record.raw(5)), record);
    teachers.append();
    setTextField(teachers, record, "ABREV", abbreviation);
    setTextField(teachers, record, "NOMBRE",
                 teacherFullName(record.trimmed(3), record.trimmed(4), record.trimmed(5)));
    setTextField(teachers, record, "DEPART", record.trimmed(2));
    setTextField(teachers, record, "X_EMPLEADO", record.trimmed(0));
    setTextField(teachers, record, "F_TOMAPOS", record.trimmed(1));
    postRow(teachers, ctx.report);
  });
  teachers.close();
}

}  // namespace mudalinx::exporter
