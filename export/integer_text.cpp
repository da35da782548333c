#include "export/integer_text.h"

#include <cstdint>
#include <limits>
#include <string>

#include "exchange/text.h"

namespace mudalinx::exporter {

int toInteger(std::string_view text) {
  const auto fail = [&]() {
    return ConversionError("'" + exchange::win1252ToUtf8(text) + "' no es un valor entero válido");
  };
  std::size_t pos = 0;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  if (pos == text.size()) throw fail();
  // Accumulated as a negative number, which has room for the most negative int.
  const std::int64_t limit = negative ? std::int64_t{std::numeric_limits<int>::min()}
                                      : -std::int64_t{std::numeric_limits<int>::max()};
  std::int64_t value = 0;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c < '0' || c > '9') throw fail();
    value = value * 10 - (c - '0');
    if (value < limit) throw fail();
  }
  return static_cast<int>(negative ? value : -value);
}

}  // namespace mudalinx::exporter
