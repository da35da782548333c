// Runs the whole export of the input, taken as an Exchange file, into a fresh
// workspace, with the first school-day frame marked whenever the dialog is
// asked for; then every table left in the workspace must read back whole.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "exchange/document.h"
#include "exchange/report.h"
#include "export/converters.h"
#include "export/frame_choice.h"
#include "fuzz/fuzz_support.h"
#include "table/table.h"

namespace {

namespace fs = std::filesystem;
using namespace mudalinx;

const fs::path& programFolder() {
  static const fs::path folder = [] {
    const fs::path path = fuzz::scratchFolder() / "programa";
    fs::create_directories(path);
    fs::copy_file(fs::path(MUDALINX_BIN_DIR) / "NIVELEX.DBF", path / "NIVELEX.DBF",
                  fs::copy_options::overwrite_existing);
    return path;
  }();
  return folder;
}

exporter::FrameMarking markFirstFrame(const exchange::Document& doc) {
  std::vector<std::string> entries;
  for (const auto& frame : exporter::listFrames(doc)) entries.push_back(frame.code);
  // The dialog is only shown for a file of several frames.
  if (entries.size() < 2) std::abort();
  std::vector<bool> marked(entries.size(), false);
  marked.front() = true;
  auto verdict = exporter::judgeMarking(entries, marked);
  if (!verdict.marking.SeleccionValida) std::abort();  // one marked frame is always acceptable
  return verdict.marking;
}

// Every table on disk must be a valid dBASE file, whether the run finished or stopped.
void readBackWorkspace(const fs::path& workspace) {
  for (const auto& entry : fs::directory_iterator(workspace)) {
    if (entry.path().extension() != ".DBF") continue;
    auto table = table::Table::openFile(entry.path(), table::Access::Shared);
    for (table.first(); !table.eof(); table.next()) {
      for (const auto& field : table.fields()) (void)table.text(field.name);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path input = fuzz::scratchFolder() / "entrada.xml";
  const fs::path workspace = fuzz::scratchFolder() / "KTEMP";
  fuzz::writeInput(input, data, size);
  fuzz::resetFolder(workspace);
  try {
    const auto doc = exchange::Document::load(input);
    exchange::Report report;
    exporter::ExportContext context{doc, workspace, programFolder(), report, [&] { return markFirstFrame(doc); }};
    try {
      exporter::runConverters(context);
    } catch (const fs::filesystem_error&) {
      throw;  // a failure without a Spanish message is a fault
    } catch (const std::runtime_error& error) {
      fuzz::requireReadableMessage(error.what());
    }
    (void)report.json();
    readBackWorkspace(workspace);
  } catch (const exchange::XmlError& error) {
    fuzz::requireReadableMessage(error.what());
  }
  return 0;
}
