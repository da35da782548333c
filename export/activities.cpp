#include "exchange/text.h"
#include "export/converters.h"
#include "export/section_walk.h"
#include "export/table_rows.h"

namespace mudalinx::exporter {

void convertActivities(ExportContext& ctx, SubjectLists& lists) {
  table::Table subjects = table::Table::open(ctx.workspace, "ASIGNOMT", table::Access::Shared);

  forEachRecord(ctx.doc, "ACTIVIDADES", ctx.report, RecordGuard::SkipShortRecords, [&](const SourceRecord& record) {
    const std::string name = record.trimmed(2);
    const std::string key = record.trimmed(1);
    subjects.append();
    setTextField(subjects, record, "COD", key);
    setTextField(subjects, record, "CODLARGO", exchange::LeftPart(name, 8));
    setTextField(subjects, record, "NOMBRE", name);
    setTextField(subjects, record, "CODTAREA", key);
    subjects.setLogical("ESTAREA", true);
    postRow(subjects, ctx.report);
  });
  subjects.close();
  // The subject lists serve this run's subjects only.
  lists.clear();
}

}  // namespace mudalinx::exporter
