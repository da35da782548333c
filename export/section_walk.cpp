#include "export/section_walk.h"

#include <utility>

#include "exchange/text.h"

namespace mudalinx::exporter {

SourceRecord::SourceRecord(exchange::Record record, std::string section, std::size_t position,
                           exchange::Report& report)
    : record_(std::move(record)),
      section_(std::move(section)),
      position_(position),
      report_(report),
      replacementReported_(record_.valueCount(), false) {}

std::string SourceRecord::raw(std::size_t k) const {
  bool lossy = false;
  std::string value = record_.value(k, &lossy);
  if (lossy && k < replacementReported_.size() && !replacementReported_[k]) {
    replacementReported_[k] = true;
    warn("caracter", "El valor de la posición " + std::to_string(k) +
                         " tiene caracteres que no existen en Windows-1252; se guardan como \"?\": " +
                         quotedValue(value));
  }
  return value;
}

std::string SourceRecord::trimmed(std::size_t k) const { return exchange::TrimBoth(raw(k)); }

std::string quotedValue(std::string_view value) {
  if (value.size() <= kQuotedCharacters) return "\"" + exchange::win1252ToUtf8(value) + "\"";
  return "\"" + exchange::win1252ToUtf8(value.substr(0, kQuotedCharacters)) + "\u2026\" (" +
         std::to_string(value.size()) + " caracteres)";
}

void SourceRecord::warn(std::string kind, std::string text) const {
  report_.warn(exchange::Warning{std::move(kind), section_, position_, std::move(text)});
}

void forEachRecord(const exchange::Document& doc, const std::string& section, exchange::Report& report,
                   RecordGuard guard, const std::function<void(const SourceRecord&)>& visit) {
  const exchange::Section records = doc.section(section);
  for (std::size_t i = 0; i < records.count(); ++i) {
    exchange::Record values = records.record(i);
    const bool tooShort = values.valueCount() < 2;
    SourceRecord record(std::move(values), section, i + 1, report);
    if (guard == RecordGuard::SkipShortRecords && tooShort) {
      record.warn("omitido", "Registro omitido: tiene menos de dos valores (dato).");
      continue;
    }
    visit(record);
  }
}

std::vector<SourceRecord> allRecords(const exchange::Document& doc, const std::string& section,
                                     exchange::Report& report) {
  std::vector<SourceRecord> result;
  forEachRecord(doc, section, report, RecordGuard::ReadEveryRecord,
                [&](const SourceRecord& record) { result.push_back(record); });
  return result;
}

}  // namespace mudalinx::exporter
