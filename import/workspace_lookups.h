// The joins of the import: for each lesson of the solution, the first row (in record
// order) of ASIGT, ASIGNOMT, DIASHORAST and GRUPOST that matches it. Each table is
// read once into a hash index, so a run costs time linear in the data.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <utility>

#include "table/table.h"

namespace mudalinx::importer {

// Texts are Windows-1252, as the tables hold them.
struct CourseOffer {
  std::string subjectKey;  // ASIGT.CLAVE
  std::string courseKey;   // ASIGT.CLAVECURSO
};

struct Slot {
  std::size_t record = 0;  // DIASHORAST record number, for messages
  std::string day;         // DIA
  std::string code;        // CODDIHO
  std::string from;        // HORADESDE, hh:mm
  std::string to;          // HORAHASTA, hh:mm
};

struct TextPairHash {
  std::size_t operator()(const std::pair<std::string, std::string>& key) const noexcept;
};

class WorkspaceLookups {
 public:
  // Reads the four tables from their first row to their end.
  static WorkspaceLookups build(table::Table& asigt, table::Table& asignomt, table::Table& diashorast,
                                table::Table& grupost);

  // nullptr when no row matches.
  const CourseOffer* offerOf(const std::string& subject, const std::string& group) const;  // CASIG, CGRUP
  const std::string* activityCodeOf(const std::string& subject) const;                     // COD -> CODTAREA
  const Slot* slotOf(const std::string& dayHour, const std::string& frameDigit) const;     // DIHO, MARCO
  const std::string* unitOf(const std::string& group) const;                               // ABREV -> CLAVE

 private:
  using PairKey = std::pair<std::string, std::string>;
  std::unordered_map<PairKey, CourseOffer, TextPairHash> offers_;
  std::unordered_map<std::string, std::string> activityCodes_;
  std::unordered_map<PairKey, Slot, TextPairHash> slots_;
  std::unordered_map<std::string, std::string> units_;
};

}  // namespace mudalinx::importer
