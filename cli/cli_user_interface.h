// The jobs' user interface on a terminal: the file comes from the command line, the
// frames from --frames, and messages go to standard error.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "app/ui_port.h"

namespace mudalinx::cli {

class CliUserInterface : public app::UserInterface {
 public:
  // FRAME_CODES: the --frames codes (UTF-8), nullopt when the option was not given.
  CliUserInterface(std::filesystem::path file, std::optional<std::vector<std::string>> frameCodes,
                   std::ostream& out, std::ostream& err);

  std::optional<std::filesystem::path> chooseFile() override;
  void showMessage(const std::string& text) override;
  void setBusy(bool) override {}
  // Several frames: --frames must pick one or two of them, or the run stops here.
  void documentLoaded(const exchange::Document& doc) override;
  exporter::FrameMarking chooseFrames(const exchange::Document& doc) override;
  void showFinished(const exchange::Report& report) override;
  void disableJobs() override {}
  void closeWindow() override {}

 private:
  std::filesystem::path file_;
  std::optional<std::vector<std::string>> frameCodes_;
  std::optional<exporter::FrameMarking> marking_;
  std::ostream& out_;
  std::ostream& err_;
};

}  // namespace mudalinx::cli
