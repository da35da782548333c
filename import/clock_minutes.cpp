#include "import/clock_minutes.h"

#include <string>

#include "exchange/text.h"

namespace mudalinx::importer {
namespace {

// Leading blanks and a sign are accepted, as the platform's integer conversion accepts them.
std::optional<long long> wholeNumber(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
    negative = text[pos] == '-';
    ++pos;
  }
  if (pos == text.size()) return std::nullopt;
  long long value = 0;
  for (; pos < text.size(); ++pos) {
    if (text[pos] < '0' || text[pos] > '9') return std::nullopt;
    value = value * 10 + (text[pos] - '0');
  }
  return negative ? -value : value;
}

}  // namespace

std::optional<long long> clockToMinutes(std::string_view clock) {
  std::string text;
  if (clock.size() < 5) text = "0";
  text.append(clock);
  const auto hours = wholeNumber(exchange::LeftPart(text, 2));
  const auto minutes = wholeNumber(exchange::RightPart(text, 2));
  if (!hours || !minutes) return std::nullopt;
  return *hours * 60 + *minutes;
}

}  // namespace mudalinx::importer
