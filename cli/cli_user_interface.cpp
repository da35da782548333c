#include "cli/cli_user_interface.h"

#include <ostream>
#include <stdexcept>

#include "cli/frame_codes.h"

namespace mudalinx::cli {

CliUserInterface::CliUserInterface(std::filesystem::path file, std::optional<std::vector<std::string>> frameCodes,
                                   std::ostream& out, std::ostream& err)
    : file_(std::move(file)), frameCodes_(std::move(frameCodes)), out_(out), err_(err) {}

std::optional<std::filesystem::path> CliUserInterface::chooseFile() { return file_; }

void CliUserInterface::showMessage(const std::string& text) { err_ << text << std::endl; }

void CliUserInterface::documentLoaded(const exchange::Document& doc) {
  const std::vector<exporter::FrameEntry> frames = exporter::listFrames(doc);
  if (frames.size() <= 1) return;  // no dialog then, and --frames does not matter
  if (!frameCodes_) {
    throw std::runtime_error("El archivo tiene varios Marcos Horarios: elija 1 o 2 con --frames CODIGO[,CODIGO]\n" +
                             frameList(frames));
  }
  marking_ = markFrames(frames, *frameCodes_);
}

exporter::FrameMarking CliUserInterface::chooseFrames(const exchange::Document&) {
  if (!marking_) throw std::logic_error("frame dialog asked for before the document was checked");
  return *marking_;
}

void CliUserInterface::showFinished(const exchange::Report& report) {
  const std::string text = report.text();
  out_ << "Proceso finalizado\n" << text;
  if (!text.empty() && text.back() != '\n') out_ << '\n';
  out_.flush();
}

}  // namespace mudalinx::cli
