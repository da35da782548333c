#include "data/levels/level_table.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <system_error>
#include <unistd.h>

#include "exchange/text.h"

namespace mudalinx::levels {

namespace {

constexpr const char* kTableName = "NIVELEX";

struct SourceLine {
  std::size_t number = 0;
  std::vector<std::string> fields;
};

// Splits CSV text into records of fields (RFC 4180: quoted fields may hold commas,
// doubled quotes and line breaks). Comment and blank lines outside quotes are skipped.
std::vector<SourceLine> splitCsv(std::string_view csv, std::string_view sourceName) {
  std::vector<SourceLine> lines;
  std::size_t lineNumber = 1;
  std::size_t pos = 0;
  while (pos < csv.size()) {
    const std::size_t lineEnd = csv.find('\n', pos);
    std::string_view rest = csv.substr(pos, lineEnd == std::string_view::npos ? csv.size() - pos : lineEnd - pos);
    if (!rest.empty() && rest.back() == '\r') rest.remove_suffix(1);
    if (rest.empty() || rest.front() == '#') {
      pos = lineEnd == std::string_view::npos ? csv.size() : lineEnd + 1;
      ++lineNumber;
      continue;
    }
    SourceLine line{lineNumber, {{}}};
    bool quoted = false;
    bool ended = false;
    while (!ended) {
      if (pos >= csv.size()) {
        if (quoted) {
          throw LevelSourceError(std::string(sourceName) + ", línea " + std::to_string(line.number) +
                                 ": falta la comilla de cierre.");
        }
        break;
      }
      const char c = csv[pos++];
      if (quoted) {
        if (c == '"' && pos < csv.size() && csv[pos] == '"') {
          line.fields.back() += '"';
          ++pos;
        } else if (c == '"') {
          quoted = false;
        } else {
          if (c == '\n') ++lineNumber;
          line.fields.back() += c;
        }
      } else if (c == '"' && line.fields.back().empty()) {
        quoted = true;
      } else if (c == ',') {
        line.fields.emplace_back();
      } else if (c == '\n') {
        ended = true;
      } else if (c != '\r') {
        line.fields.back() += c;
      }
    }
    ++lineNumber;
    lines.push_back(std::move(line));
  }
  return lines;
}

std::string where(std::string_view sourceName, const SourceLine& line, std::string_view field) {
  return std::string(sourceName) + ", línea " + std::to_string(line.number) + ", campo " + std::string(field);
}

long long parseOffer(const std::string& text, const std::string& place) {
  errno = 0;
  char* end = nullptr;
  const long long value = std::strtoll(text.c_str(), &end, 10);
  const bool whole = !text.empty() && end == text.c_str() + text.size() && text.find(' ') == std::string::npos;
  if (!whole || errno == ERANGE || value < INT_MIN || value > INT_MAX) {
    throw LevelSourceError(place + ": \"" + text + "\" no es un número entero.");
  }
  return value;
}

std::string fittedText(const std::string& utf8, const table::FieldDef& field, const std::string& place) {
  bool lossy = false;
  std::string text = exchange::utf8ToWin1252(utf8, &lossy);
  if (lossy) throw LevelSourceError(place + ": \"" + utf8 + "\" tiene caracteres que Windows-1252 no representa.");
  if (text.size() > static_cast<std::size_t>(field.width)) {
    throw LevelSourceError(place + ": \"" + utf8 + "\" pasa de " + std::to_string(field.width) + " caracteres.");
  }
  return text;
}

}  // namespace

const table::TableDef& levelTableDef() {
  static const table::TableDef def{kTableName,
                                   {{"X_OFERTAMATRIG", table::FieldType::Integer, 0},
                                    {"NIVEL_ABREV", table::FieldType::Text, 10},
                                    {"NIVEL", table::FieldType::Text, 40},
                                    {"ESTUDIO", table::FieldType::Text, 80}},
                                   {},
                                   table::Format::DBase7};
  return def;
}

std::vector<LevelRow> parseLevelSource(std::string_view csv, std::string_view sourceName) {
  const std::vector<SourceLine> lines = splitCsv(csv, sourceName);
  const std::vector<table::FieldDef>& fields = levelTableDef().fields;
  if (lines.empty()) throw LevelSourceError(std::string(sourceName) + ": falta la línea de cabecera.");
  std::vector<std::string> expectedHeader;
  for (const table::FieldDef& field : fields) expectedHeader.push_back(field.name);
  if (lines.front().fields != expectedHeader) {
    throw LevelSourceError(std::string(sourceName) + ", línea " + std::to_string(lines.front().number) +
                           ": la cabecera debe ser X_OFERTAMATRIG,NIVEL_ABREV,NIVEL,ESTUDIO.");
  }
  std::vector<LevelRow> rows;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const SourceLine& line = lines[i];
    if (line.fields.size() != fields.size()) {
      throw LevelSourceError(std::string(sourceName) + ", línea " + std::to_string(line.number) + ": tiene " +
                             std::to_string(line.fields.size()) + " campos en lugar de " +
                             std::to_string(fields.size()) + ".");
    }
    LevelRow row;
    row.courseOffer = parseOffer(line.fields[0], where(sourceName, line, fields[0].name));
    row.levelShort = fittedText(line.fields[1], fields[1], where(sourceName, line, fields[1].name));
    row.level = fittedText(line.fields[2], fields[2], where(sourceName, line, fields[2].name));
    row.studies = fittedText(line.fields[3], fields[3], where(sourceName, line, fields[3].name));
    rows.push_back(std::move(row));
  }
  return rows;
}

void writeLevelTable(const std::vector<LevelRow>& rows, const std::filesystem::path& folder) {
  // Build in a private folder beside the target, then move the finished file into place.
  const std::filesystem::path staging = folder / (".nivelex-" + std::to_string(::getpid()));
  std::filesystem::remove_all(staging);
  std::filesystem::create_directories(staging);
  try {
    table::createTable(staging, levelTableDef());
    {
      table::Table levels = table::Table::open(staging, kTableName, table::Access::Exclusive);
      for (const LevelRow& row : rows) {
        levels.append();
        levels.setInteger("X_OFERTAMATRIG", row.courseOffer);
        levels.setText("NIVEL_ABREV", row.levelShort);
        levels.setText("NIVEL", row.level);
        levels.setText("ESTUDIO", row.studies);
        levels.post();
      }
      levels.close();
    }
    std::filesystem::rename(staging / (std::string(kTableName) + ".DBF"), folder / (std::string(kTableName) + ".DBF"));
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove_all(staging, ignored);
    throw;
  }
  std::filesystem::remove_all(staging);
}

}  // namespace mudalinx::levels
