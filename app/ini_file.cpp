#include "app/ini_file.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "app/replace_file.h"
#include "exchange/text.h"

namespace mudalinx::app {

namespace {

struct Line {
  std::string_view text;    // without its line ending
  std::string_view ending;  // "\r\n", "\n" or "" for a last line without one
};

std::vector<Line> splitLines(std::string_view contents) {
  std::vector<Line> lines;
  std::size_t start = 0;
  while (start < contents.size()) {
    const std::size_t newline = contents.find('\n', start);
    if (newline == std::string_view::npos) {
      lines.push_back({contents.substr(start), {}});
      break;
    }
    std::size_t end = newline;
    if (end > start && contents[end - 1] == '\r') --end;
    lines.push_back({contents.substr(start, end - start), contents.substr(end, newline + 1 - end)});
    start = newline + 1;
  }
  return lines;
}

std::string_view trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

bool sameName(std::string_view a, std::string_view b) {
  return exchange::caseBlindKey(a) == exchange::caseBlindKey(b);
}

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The section name of a "[name]" line (the first line may begin with a UTF-8 byte-order mark).
std::optional<std::string_view> sectionName(std::string_view line) {
  if (line.substr(0, kUtf8Mark.size()) == kUtf8Mark) line.remove_prefix(kUtf8Mark.size());
  line = trimmed(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  const std::size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return trimmed(line.substr(1, close - 1));
}

// The key of a "key=value" line; comments (";") have none.
std::optional<std::string_view> keyName(std::string_view line) {
  const std::string_view content = trimmed(line);
  if (content.empty() || content.front() == ';') return std::nullopt;
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return trimmed(line.substr(0, equals));
}

}  // namespace

std::string withIniValue(std::string_view contents, std::string_view section, std::string_view key,
                         std::string_view value) {
  const std::vector<Line> lines = splitLines(contents);
  const std::string_view newline =
      contents.find('\n') != std::string_view::npos && contents.find("\r\n") == std::string_view::npos ? "\n"
                                                                                                        : "\r\n";
  const std::string keyLine = std::string(key) + "=" + std::string(value);

  // Where the section starts and where its last key line is; the first such section counts.
  std::optional<std::size_t> sectionLine;
  std::optional<std::size_t> lastKeyLine;
  std::optional<std::size_t> matchingKeyLine;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (const auto name = sectionName(lines[i].text)) {
      if (sectionLine) break;
      if (sameName(*name, section)) sectionLine = i;
      continue;
    }
    if (!sectionLine) continue;
    if (const auto name = keyName(lines[i].text)) {
      lastKeyLine = i;
      if (sameName(*name, key)) {
        matchingKeyLine = i;
        break;
      }
    }
  }

  std::string result;
  result.reserve(contents.size() + keyLine.size() + section.size() + 8);
  const auto appendLine = [&](std::string_view text, std::string_view ending) {
    result.append(text);
    result.append(ending);
  };
  const std::size_t insertAfter = lastKeyLine.value_or(sectionLine.value_or(0));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (matchingKeyLine && i == *matchingKeyLine) {
      appendLine(std::string(*keyName(lines[i].text)) + "=" + std::string(value),
                 lines[i].ending.empty() ? newline : lines[i].ending);
      continue;
    }
    appendLine(lines[i].text, lines[i].ending);
    if (sectionLine && !matchingKeyLine && i == insertAfter) {
      if (lines[i].ending.empty()) result.append(newline);
      appendLine(keyLine, newline);
    }
  }
  if (!sectionLine) {
    if (!result.empty() && result.back() != '\n') result.append(newline);
    appendLine("[" + std::string(section) + "]", newline);
    appendLine(keyLine, newline);
  }
  return result;
}

void writeIniValue(const std::filesystem::path& file, std::string_view section, std::string_view key,
                   std::string_view value) {
  std::string contents;
  std::error_code error;
  const bool present = std::filesystem::exists(file, error);
  if (error) throw std::runtime_error("No se puede leer el archivo \"" + file.string() + "\": " +
                                      describeSystemError(error.value()));
  if (present) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("No se puede leer el archivo \"" + file.string() + "\"");
    contents.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) throw std::runtime_error("No se puede leer el archivo \"" + file.string() + "\"");
  }
  // Line-by-line editing would corrupt a UTF-16 file; refuse it instead.
  if (contents.rfind("\xFF\xFE", 0) == 0 || contents.rfind("\xFE\xFF", 0) == 0) {
    throw std::runtime_error("No se puede modificar el archivo \"" + file.string() +
                             "\": está guardado en UTF-16");
  }
  replaceFile(file, withIniValue(contents, section, key, value));
}

}  // namespace mudalinx::app
