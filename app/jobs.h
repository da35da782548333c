// The export run and the import run over the user-interface port, and the
// main-window state they share.
#pragma once

#include <filesystem>

#include "app/ui_port.h"
#include "exchange/report.h"

namespace mudalinx::app {

struct Folders {
  std::filesystem::path workspace;  // C:\KTEMP
  std::filesystem::path program;    // NIVELEX.DBF, SENDARO.chm, Quorvia.ini
};

// Main-window state for the whole process.
struct Session {
  std::filesystem::path chosenFile;  // last file accepted in the open dialog
  int outcome = 0;                   // 0 nothing finished, 1 finished, -1 file missing (embedded)
  bool embedded = false;
};

enum class JobResult { Finished, Stopped };

// Each run follows the main window's steps: file chosen, checks, work, "Proceso finalizado",
// outcome 1, jobs disabled, embedded closing. A check that fails shows its message and
// returns Stopped. An error inside the work is thrown (what() is the Spanish UTF-8 text)
// after the busy cursor was turned off and every table closed; the shells show it.
JobResult runExport(Session& session, UserInterface& ui, const Folders& folders, exchange::Report& report);
JobResult runImport(Session& session, UserInterface& ui, const Folders& folders, exchange::Report& report);

}  // namespace mudalinx::app
