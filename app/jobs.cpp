#include "app/jobs.h"

#include "app/folders.h"

#include <system_error>

#include "app/workspace_backup.h"
#include "exchange/document.h"
#include "export/converters.h"
#include "import/timetable_import.h"
#include "table/table.h"

namespace mudalinx::app {

namespace {

// The hour-glass for the duration of the work, turned off on every way out.
class BusyCursor {
 public:
  explicit BusyCursor(UserInterface& ui) : ui_(ui) { ui_.setBusy(true); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
  ~BusyCursor() { ui_.setBusy(false); }

 private:
  UserInterface& ui_;
};

// The open dialog and the file check that both jobs begin with. False when the run stops.
bool chooseExistingFile(Session& session, UserInterface& ui) {
  if (auto chosen = ui.chooseFile()) session.chosenFile = std::move(*chosen);
  std::error_code error;
  if (session.chosenFile.empty() || !std::filesystem::is_regular_file(session.chosenFile, error)) {
    ui.showMessage("No existe archivo");
    if (session.embedded) {
      session.outcome = -1;
      ui.closeWindow();
    }
    return false;
  }
  return true;
}

JobResult finish(Session& session, UserInterface& ui, const exchange::Report& report) {
  session.outcome = 1;
  ui.showFinished(report);
  ui.disableJobs();
  if (session.embedded) ui.closeWindow();
  return JobResult::Finished;
}

}  // namespace

JobResult runExport(Session& session, UserInterface& ui, const Folders& folders, exchange::Report& report) {
  if (!chooseExistingFile(session, ui)) return JobResult::Stopped;
  if (!table::findFile(folders.program, "NIVELEX.DBF")) {
    ui.showMessage("ATENCIÓN - NIVELEX.DBF No encontrado - Reinstale MUDALINX");
    return JobResult::Stopped;
  }
  // A file that does not load stops the run here, before the workspace is touched.
  const exchange::Document doc = exchange::Document::load(session.chosenFile);
  ui.documentLoaded(doc);
  backUpWorkspace(folders.workspace, exporter::exportedTableNames());
  {
    BusyCursor busy(ui);
    exporter::ExportContext context{doc, folders.workspace, folders.program, report,
                                    [&ui, &doc] { return ui.chooseFrames(doc); }};
    exporter::runConverters(context);
  }
  return finish(session, ui, report);
}

JobResult runImport(Session& session, UserInterface& ui, const Folders& folders, exchange::Report& report) {
  if (!chooseExistingFile(session, ui)) return JobResult::Stopped;
  {
    BusyCursor busy(ui);
    requireWorkspaceFolder(folders.workspace);
    importer::importTimetable(session.chosenFile, folders.workspace, report);
  }
  return finish(session, ui, report);
}

}  // namespace mudalinx::app
