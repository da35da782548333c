#include "cli/frame_codes.h"

#include <stdexcept>
#include <unordered_map>

#include "exchange/text.h"

namespace mudalinx::cli {

namespace {

constexpr std::size_t kListedCharacters = 80;

// A frame's code or name as the list shows it, trimmed; a hostile file's megabytes are cut.
std::string listed(const std::string& text) {
  const std::string trimmed = exchange::TrimBoth(text);
  if (trimmed.size() <= kListedCharacters) return exchange::win1252ToUtf8(trimmed);
  return exchange::win1252ToUtf8(trimmed.substr(0, kListedCharacters)) + "\u2026";
}

}  // namespace

std::string frameList(const std::vector<exporter::FrameEntry>& frames) {
  std::string list;
  for (const exporter::FrameEntry& frame : frames) list += "  " + listed(frame.code) + "  " + listed(frame.name) + "\n";
  return list;
}

std::vector<std::string> splitCodes(const std::string& text) {
  std::vector<std::string> codes;
  if (text.empty()) return codes;
  std::size_t start = 0;
  for (std::size_t comma = text.find(','); comma != std::string::npos; comma = text.find(',', start)) {
    codes.push_back(text.substr(start, comma - start));
    start = comma + 1;
  }
  codes.push_back(text.substr(start));
  return codes;
}

exporter::FrameMarking markFrames(const std::vector<exporter::FrameEntry>& frames,
                                  const std::vector<std::string>& codes) {
  // The count is judged by the dialog's own rule, on the codes as given.
  const exporter::FrameVerdict count = exporter::judgeMarking(codes, std::vector<bool>(codes.size(), true));
  if (count.message) throw std::runtime_error(*count.message);

  std::unordered_map<std::string, std::size_t> firstFrameOfCode;
  for (std::size_t i = 0; i < frames.size(); ++i) firstFrameOfCode.emplace(exchange::TrimBoth(frames[i].code), i);

  std::vector<std::string> entries;
  entries.reserve(frames.size());
  for (const exporter::FrameEntry& frame : frames) entries.push_back(frame.code);
  std::vector<bool> marked(frames.size(), false);
  for (const std::string& code : codes) {
    const auto frame = firstFrameOfCode.find(exchange::utf8ToWin1252(code));
    if (frame == firstFrameOfCode.end()) {
      throw std::runtime_error("Marco Horario desconocido: " + code + "\nMarcos Horarios del archivo:\n" +
                               frameList(frames));
    }
    marked[frame->second] = true;
  }
  const exporter::FrameVerdict verdict = exporter::judgeMarking(entries, marked);
  if (verdict.message) throw std::runtime_error(*verdict.message);
  return verdict.marking;
}

}  // namespace mudalinx::cli
