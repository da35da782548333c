// The level table NIVELEX.DBF that ships beside the program, built from its readable
// source (UTF-8 CSV): one row per course offer with its level and studies names.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "table/table.h"

namespace mudalinx::levels {

// Spanish, UTF-8; names the source line and field.
class LevelSourceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct LevelRow {
  long long courseOffer = 0;  // X_OFERTAMATRIG
  std::string levelShort;     // NIVEL_ABREV, Windows-1252
  std::string level;          // NIVEL
  std::string studies;        // ESTUDIO
};

// dBASE 7 for the long field names.
const table::TableDef& levelTableDef();

// Rows of the CSV text: lines beginning with '#' and blank lines are comments; the first
// other line is the header, which must name the fields in table order. Every value must be
// representable in Windows-1252 and fit its field; the offer must be a whole number.
std::vector<LevelRow> parseLevelSource(std::string_view csv, std::string_view sourceName);

// Writes NIVELEX.DBF into FOLDER, replacing an older one only once the new one is complete.
void writeLevelTable(const std::vector<LevelRow>& rows, const std::filesystem::path& folder);

}  // namespace mudalinx::levels
