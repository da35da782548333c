#include "export/rooms.h"

#include "exchange/text.h"
#include "export/converters.h"
#include "export/section_walk.h"
#include "export/table_rows.h"

namespace mudalinx::exporter {

std::string roomBaseCode(const std::string& identifier, const std::string& name) {
  return exchange::LeftPart(identifier.empty() ? exchange::LeftPart(name, 6) : identifier, kCodeWidth);
}

namespace {

table::TableDef roomTableDef() {
  using table::FieldType;
  return {"AULAT",
          {{"ABREV", FieldType::Text, 10},
           {"NOMBRE", FieldType::Text, 80},
           {"EDIFICIO", FieldType::Text, 1},
           {"MAXALUM", FieldType::Integer, 0},
           {"DEPCENTRO", FieldType::Text, 10}},
          {},
          table::Format::DBase4};
}

}  // namespace

void convertRooms(ExportContext& ctx) {
  const table::TableDef def = roomTableDef();
  removeOldTables(ctx.workspace, {def.name});
  CodeList codes(LetterCase::Ignored);
  table::createTable(ctx.workspace, def);
  table::Table rooms = table::Table::open(ctx.workspace, def.name, table::Access::Shared);

  forEachRecord(ctx.doc, "DEPENDENCIAS", ctx.report, RecordGuard::SkipShortRecords, [&](const SourceRecord& record) {
    const std::string name = record.trimmed(1);
    const std::string identifier = record.trimmed(0);
    if (identifier.size() > kCodeWidth) {
      record.warn("recortado", "El código de la dependencia " + quotedValue(identifier) +
                                   " tiene más de 10 caracteres y se guarda recortado.");
    }
    const std::string code = claimCode(codes, roomBaseCode(identifier, name), record);
    rooms.append();
    setTextField(rooms, record, "ABREV", code);
    setTextField(rooms, record, "NOMBRE", name);
    setTextField(rooms, record, "DEPCENTRO", "");
    postRow(rooms, ctx.report);
  });
  rooms.close();
}

}  // namespace mudalinx::exporter
