#include "export/subjects.h"

#include "exchange/text.h"
#include "export/converters.h"
#include "export/section_walk.h"
#include "export/table_rows.h"

namespace mudalinx::exporter {

using exchange::CapitalLetters;
using exchange::LeftPart;
using exchange::WordInitials;

SubjectCodes deriveSubjectCodes(const std::string& name) {
  std::string base = name.substr(0, 1) + CapitalLetters(std::string_view(name).substr(1));
  if (base.size() == 1) {
    base = name.find(' ') == std::string::npos ? LeftPart(name, 6) : name.substr(0, 1) + WordInitials(name);
  }
  std::string longCode = base.size() > 4 ? base : LeftPart(name, 10);
  if (base.size() > kCodeWidth) base.resize(kCodeWidth);
  return {base, longCode};
}

namespace {

table::TableDef subjectTableDef() {
  using table::FieldType;
  return {"ASIGNOMT",
          {{"COD", FieldType::Text, 10},
           {"CODLARGO", FieldType::Text, 10},
           {"NOMBRE", FieldType::Text, 80},
           {"MATERIA", FieldType::Text, 8},
           {"CODTAREA", FieldType::Text, 12},
           {"ESTAREA", FieldType::Logical, 0}},
          {},
          table::Format::DBase4};
}

}  // namespace

void convertSubjects(ExportContext& ctx, SubjectLists& lists) {
  const table::TableDef def = subjectTableDef();
  removeOldTables(ctx.workspace, {def.name});
  table::createTable(ctx.workspace, def);
  table::Table subjects = table::Table::open(ctx.workspace, def.name, table::Access::Shared);

  forEachRecord(ctx.doc, "MATERIAS", ctx.report, RecordGuard::SkipShortRecords, [&](const SourceRecord& record) {
    const std::string name = record.trimmed(2);
    if (name.empty()) {
      record.warn("omitido", "Materia omitida: su nombre está vacío.");
      return;
    }
    if (!lists.upperNames.insert(exchange::upperAZ(name)).second) {
      record.warn("omitido", "La materia \"" + exchange::win1252ToUtf8(name) +
                                 "\" ya tiene fila en ASIGNOMT; no se añade otra (sus asignaciones usan ese código).");
      return;
    }
    const SubjectCodes codes = deriveSubjectCodes(name);
    const std::string code = claimCode(lists.codes, codes.base, record);

    subjects.append();
    setTextField(subjects, record, "COD", code);
    setTextField(subjects, record, "CODLARGO", codes.longCode);
    setTextField(subjects, record, "NOMBRE", name);
    subjects.setLogical("ESTAREA", false);
    postRow(subjects, ctx.report);
  });
  subjects.close();
}

}  // namespace mudalinx::exporter
