// Walking the records of one section of the Exchange document the way every
// converter reads them, with warnings that name the section and the record.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/document.h"
#include "exchange/report.h"

namespace mudalinx::exporter {

// One record of a section, with its 1-based position, as a converter reads it.
class SourceRecord {
 public:
  SourceRecord(exchange::Record record, std::string section, std::size_t position,
               exchange::Report& report);

  // The k-th dato (0-based) as the document holds it, Windows-1252; "" past the last one
  // (a record that ends early reads its missing values as empty texts).
  std::string raw(std::size_t k) const;
  // The k-th dato without the blanks around it.
  std::string trimmed(std::size_t k) const;

  const std::string& section() const { return section_; }
  std::size_t position() const { return position_; }
  exchange::Report& report() const { return report_; }
  // A warning about this record; TEXT is Spanish UTF-8.
  void warn(std::string kind, std::string text) const;

 private:
  exchange::Record record_;
  std::string section_;
  std::size_t position_;
  exchange::Report& report_;
  // Positions whose replaced characters were reported already, so that reading a value
  // twice warns once.
  mutable std::vector<bool> replacementReported_;
};

enum class RecordGuard {
  SkipShortRecords,  // records with fewer than two datos are skipped (and reported)
  ReadEveryRecord,   // the time-frame converter never counts datos
};

// VALUE (Windows-1252) as a warning quotes it, in UTF-8 between double quotes: a long value
// shows its first kQuotedCharacters characters and its length, so that a value of
// megabytes never floods the report.
inline constexpr std::size_t kQuotedCharacters = 100;
std::string quotedValue(std::string_view value);

// Calls VISIT for the records of SECTION in document order. A missing section has none.
void forEachRecord(const exchange::Document& doc, const std::string& section, exchange::Report& report,
                   RecordGuard guard, const std::function<void(const SourceRecord&)>& visit);

// Every record of SECTION, for converters that go over a section more than once.
std::vector<SourceRecord> allRecords(const exchange::Document& doc, const std::string& section,
                                     exchange::Report& report);

}  // namespace mudalinx::exporter
