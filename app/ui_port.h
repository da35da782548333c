// What the export and import runs ask of a user interface. The desktop window,
// the command line and the tests each implement it; no converter shows a window.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "exchange/document.h"
#include "exchange/report.h"
#include "export/frame_choice.h"

namespace mudalinx::app {

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // The open dialog ("Archivo XML", *.xml); nullopt when cancelled.
  virtual std::optional<std::filesystem::path> chooseFile() = 0;
  // A plain message box titled "Mudalinx" with one OK button. TEXT is UTF-8.
  virtual void showMessage(const std::string& text) = 0;
  virtual void setBusy(bool on) = 0;
  // Called right after the export run has loaded its document, before anything in the
  // workspace changes; the command line checks --frames here (throwing to stop the run).
  virtual void documentLoaded(const exchange::Document& doc) { (void)doc; }
  // One showing of the frame-selection dialog over the loaded document.
  virtual exporter::FrameMarking chooseFrames(const exchange::Document& doc) = 0;
  // "Proceso finalizado", with the run's report for whoever can show it.
  virtual void showFinished(const exchange::Report& report) = 0;
  // Both job buttons disabled for the rest of the process.
  virtual void disableJobs() = 0;
  // Embedded mode: the window closes itself.
  virtual void closeWindow() = 0;
};

}  // namespace mudalinx::app
