// What a run did: rows written per table and the warnings a user should see
// (records skipped, codes renamed, values cut, characters replaced, lessons unmatched).
// Each warning is placed by its section (or table) and record position.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mudalinx::exchange {

struct Warning {
  std::string kind;     // "omitido", "renombrado", "recortado", "caracter", "sin_tramo", ...
  std::string section;  // section of the Exchange document, or table
  std::size_t record = 0;  // 1-based record position; 0 when not about one record
  std::string text;     // Spanish, UTF-8
};

class Report {
 public:
  // Adds N rows to TABLE's count (tables keep the order of their first mention).
  void addRows(std::string_view table, std::size_t n = 1);
  void warn(Warning warning);

  const std::vector<std::pair<std::string, std::size_t>>& rows() const { return rows_; }
  const std::vector<Warning>& warnings() const { return warnings_; }
  std::size_t rowsOf(std::string_view table) const;

  std::string text() const;  // Spanish, UTF-8, for people
  // UTF-8: {"filas": {TABLE: n, ...}, "avisos": [{"tipo", "seccion", "registro", "texto"}, ...]}
  std::string json() const;

 private:
  std::vector<std::pair<std::string, std::size_t>> rows_;
  std::vector<Warning> warnings_;
};

}  // namespace mudalinx::exchange
