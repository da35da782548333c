#include "table/field_value.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace mudalinx::table::detail {
namespace {

bool isPad(char c) { return c == ' ' || c == '\0'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isPad(text.front())) text.remove_prefix(1);
  while (!text.empty() && isPad(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view bytesOf(const FieldLayout& field, const char* record) {
  return {record + field.offset, static_cast<std::size_t>(field.info.width)};
}

std::uint64_t readBig(const char* p, int size) {
  std::uint64_t value = 0;
  for (int i = 0; i < size; ++i) value = value << 8 | static_cast<unsigned char>(p[i]);
  return value;
}

std::uint64_t readLittle(const char* p, int size) {
  std::uint64_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(p[i]);
  return value;
}

void writeBig(char* p, std::uint64_t value, int size) {
  for (int i = size - 1; i >= 0; --i, value >>= 8) p[i] = static_cast<char>(value & 0xFF);
}

void writeLittle(char* p, std::uint64_t value, int size) {
  for (int i = 0; i < size; ++i, value >>= 8) p[i] = static_cast<char>(value & 0xFF);
}

double doubleFromBits(std::uint64_t bits) {
  double value = 0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::uint64_t bitsOfDouble(double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

constexpr std::uint64_t kSignBit = std::uint64_t{1} << 63;

bool allZero(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == '\0'; });
}

bool isNull(const TableLayout& layout, const FieldLayout& field, const char* record) {
  if (field.nullBit < 0) return false;
  const auto byte = static_cast<unsigned char>(record[layout.nullFlagsOffset + static_cast<std::size_t>(field.nullBit / 8)]);
  return (byte >> (field.nullBit % 8) & 1) != 0;
}

void clearNull(const TableLayout& layout, const FieldLayout& field, char* record) {
  if (field.nullBit < 0) return;
  char& byte = record[layout.nullFlagsOffset + static_cast<std::size_t>(field.nullBit / 8)];
  byte = static_cast<char>(static_cast<unsigned char>(byte) & ~(1U << (field.nullBit % 8)));
}

std::optional<long long> parseInteger(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<double> parseDecimal(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.front() == '+') return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string integerText(long long value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// The shortest decimal text that reads back as VALUE, never in exponent form.
std::string decimalText(double value) {
  if (value == 0) value = 0;  // no "-0"
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  return std::string(buffer, result.ptr);
}

std::string fixedText(double value, int decimals) {
  if (value == 0) value = 0;
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  std::string text(buffer, result.ptr);
  if (text.find_first_not_of("-0.") == std::string::npos && text.front() == '-') text.erase(0, 1);
  return text;
}

std::optional<long long> wholeValue(double value) {
  // 2^63 is exactly representable; anything at or past it does not fit.
  if (!std::isfinite(value) || value != std::floor(value) || value >= 9223372036854775808.0 ||
      value < -9223372036854775808.0) {
    return std::nullopt;
  }
  return static_cast<long long>(value);
}

std::string currencyText(long long scaled) {
  const bool negative = scaled < 0;
  const unsigned long long magnitude =
      negative ? 0ULL - static_cast<unsigned long long>(scaled) : static_cast<unsigned long long>(scaled);
  std::string text = (negative ? "-" : "") + std::to_string(magnitude / 10000);
  std::string fraction = std::to_string(10000 + magnitude % 10000).substr(1);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  if (!fraction.empty()) text += "." + fraction;
  return text;
}

std::string twoDigits(long long value) { return std::string(1, char('0' + value / 10)) + char('0' + value % 10); }

// Julian day number and milliseconds since midnight as "YYYY-MM-DD HH:MM:SS".
std::string dateTimeText(long long julianDay, long long milliseconds) {
  long long a = julianDay + 32044;
  const long long b = (4 * a + 3) / 146097;
  const long long c = a - 146097 * b / 4;
  const long long d = (4 * c + 3) / 1461;
  const long long e = c - 1461 * d / 4;
  const long long m = (5 * e + 2) / 153;
  const long long day = e - (153 * m + 2) / 5 + 1;
  const long long month = m + 3 - 12 * (m / 10);
  const long long year = 100 * b + d - 4800 + m / 10;
  const long long seconds = milliseconds / 1000;
  std::string text = std::to_string(year);
  while (text.size() < 4) text.insert(0, "0");
  return text + "-" + twoDigits(month) + "-" + twoDigits(day) + " " + twoDigits(seconds / 3600) + ":" +
         twoDigits(seconds / 60 % 60) + ":" + twoDigits(seconds % 60);
}

long long signedOf(std::uint64_t bits, int size) {
  const std::uint64_t sign = std::uint64_t{1} << (8 * size - 1);
  return static_cast<long long>((bits ^ sign) - sign);
}

long long bigEndianInteger(const char* p) { return static_cast<long long>(readBig(p, 4)) - 0x80000000LL; }

double orderedDouble(const char* p) {
  std::uint64_t bits = readBig(p, 8);
  bits = (bits & kSignBit) != 0 ? bits ^ kSignBit : ~bits;
  return doubleFromBits(bits);
}

StoreResult putPadded(const FieldLayout& field, char* record, std::string_view text, bool rightJustified) {
  const auto width = static_cast<std::size_t>(field.info.width);
  if (text.size() > width) return StoreResult::Refused;
  char* out = record + field.offset;
  std::fill_n(out, width, ' ');
  std::copy(text.begin(), text.end(), out + (rightJustified ? width - text.size() : 0));
  return StoreResult::Stored;
}

StoreResult putNumeric(const FieldLayout& field, char* record, double value) {
  if (!std::isfinite(value)) return StoreResult::Refused;
  return putPadded(field, record, fixedText(value, field.info.decimals), true);
}

bool fitsInt32(long long value) { return value >= -2147483647LL && value <= 2147483647LL; }

}  // namespace

std::string_view characterView(const FieldLayout& field, const char* record) {
  std::string_view text = bytesOf(field, record);
  while (!text.empty() && isPad(text.back())) text.remove_suffix(1);
  return text;
}

bool readBlank(const TableLayout& layout, const FieldLayout& field, const char* record) {
  if (isNull(layout, field, record)) return true;
  const std::string_view bytes = bytesOf(field, record);
  switch (field.storage) {
    case Storage::Character:
    case Storage::Numeric:
    case Storage::Date:
      return trimmed(bytes).empty();
    case Storage::Logical:
      return trimmed(bytes).empty() || bytes[0] == '?';
    case Storage::BigEndianInteger:
    case Storage::OrderedDouble:
    case Storage::DateTime:
      return allZero(bytes);
    case Storage::LittleEndianInteger:
    case Storage::LittleEndianDouble:
    case Storage::Currency:
      return false;
    case Storage::Skipped:
      return true;
  }
  return true;
}

std::string readText(const TableLayout& layout, const FieldLayout& field, const char* record) {
  if (readBlank(layout, field, record)) return {};
  const char* p = record + field.offset;
  switch (field.storage) {
    case Storage::Character:
      return std::string(characterView(field, record));
    case Storage::Numeric: {
      const std::string_view text = trimmed(bytesOf(field, record));
      if (const auto whole = parseInteger(text)) return integerText(*whole);
      if (const auto value = parseDecimal(text)) return decimalText(*value);
      return std::string(text);  // not a number: shown as stored
    }
    case Storage::Logical:
      return std::string(1, *readLogical(layout, field, record) ? 'T' : 'F');
    case Storage::Date:
      return std::string(trimmed(bytesOf(field, record)));
    case Storage::BigEndianInteger:
      return integerText(bigEndianInteger(p));
    case Storage::LittleEndianInteger:
      return integerText(signedOf(readLittle(p, 4), 4));
    case Storage::OrderedDouble:
      return decimalText(orderedDouble(p));
    case Storage::LittleEndianDouble:
      return decimalText(doubleFromBits(readLittle(p, 8)));
    case Storage::Currency:
      return currencyText(signedOf(readLittle(p, 8), 8));
    case Storage::DateTime:
      return dateTimeText(signedOf(readLittle(p, 4), 4), signedOf(readLittle(p + 4, 4), 4));
    case Storage::Skipped:
      return {};
  }
  return {};
}

std::optional<long long> readInteger(const TableLayout& layout, const FieldLayout& field, const char* record) {
  const char* p = record + field.offset;
  switch (field.storage) {
    case Storage::Character:
      return parseInteger(trimmed(bytesOf(field, record)));
    case Storage::Numeric:
    case Storage::BigEndianInteger:
    case Storage::LittleEndianInteger:
    case Storage::OrderedDouble:
    case Storage::LittleEndianDouble:
    case Storage::Currency:
      break;
    default:
      return std::nullopt;
  }
  if (readBlank(layout, field, record)) return 0;
  switch (field.storage) {
    case Storage::Numeric: {
      const std::string_view text = trimmed(bytesOf(field, record));
      if (const auto whole = parseInteger(text)) return whole;
      const auto value = parseDecimal(text);
      return value ? wholeValue(*value) : std::nullopt;
    }
    case Storage::BigEndianInteger:
      return bigEndianInteger(p);
    case Storage::LittleEndianInteger:
      return signedOf(readLittle(p, 4), 4);
    case Storage::OrderedDouble:
      return wholeValue(orderedDouble(p));
    case Storage::LittleEndianDouble:
      return wholeValue(doubleFromBits(readLittle(p, 8)));
    case Storage::Currency: {
      const long long scaled = signedOf(readLittle(p, 8), 8);
      if (scaled % 10000 != 0) return std::nullopt;
      return scaled / 10000;
    }
    default:
      return std::nullopt;
  }
}

std::optional<double> readNumber(const TableLayout& layout, const FieldLayout& field, const char* record) {
  const char* p = record + field.offset;
  switch (field.storage) {
    case Storage::Character:
      return parseDecimal(trimmed(bytesOf(field, record)));
    case Storage::Numeric:
      if (readBlank(layout, field, record)) return 0.0;
      return parseDecimal(trimmed(bytesOf(field, record)));
    case Storage::OrderedDouble:
      return readBlank(layout, field, record) ? 0.0 : orderedDouble(p);
    case Storage::LittleEndianDouble:
      return readBlank(layout, field, record) ? 0.0 : doubleFromBits(readLittle(p, 8));
    case Storage::Currency:
      return readBlank(layout, field, record) ? 0.0 : static_cast<double>(signedOf(readLittle(p, 8), 8)) / 10000.0;
    case Storage::BigEndianInteger:
    case Storage::LittleEndianInteger:
      return static_cast<double>(*readInteger(layout, field, record));
    default:
      return std::nullopt;
  }
}

std::optional<bool> readLogical(const TableLayout& layout, const FieldLayout& field, const char* record) {
  if (field.storage != Storage::Logical) return std::nullopt;
  if (isNull(layout, field, record)) return false;
  const char c = record[field.offset];
  return c == 'T' || c == 't' || c == 'Y' || c == 'y';
}

StoreResult storeText(const TableLayout& layout, const FieldLayout& field, char* record, std::string_view value) {
  const std::string_view number = trimmed(value);
  StoreResult result = StoreResult::Refused;
  switch (field.storage) {
    case Storage::Character: {
      const auto width = static_cast<std::size_t>(field.info.width);
      const bool cut = value.size() > width;
      putPadded(field, record, value.substr(0, width), false);
      result = cut ? StoreResult::Cut : StoreResult::Stored;
      break;
    }
    case Storage::Logical:
      if (number.empty()) {
        record[field.offset] = ' ';
        result = StoreResult::Stored;
      } else if (number.size() == 1 && std::string_view("TtYyFfNn").find(number[0]) != std::string_view::npos) {
        return storeLogical(layout, field, record, std::string_view("TtYy").find(number[0]) != std::string_view::npos);
      }
      break;
    case Storage::Date:
      if (number.empty() ||
          (number.size() == 8 && std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))) {
        result = putPadded(field, record, number, false);
      }
      break;
    case Storage::Skipped:
      return StoreResult::Refused;
    default:
      if (number.empty()) {
        std::fill_n(record + field.offset, field.info.width, field.storage == Storage::Numeric ? ' ' : '\0');
        result = StoreResult::Stored;
      } else if (const auto whole = parseInteger(number)) {
        return storeInteger(layout, field, record, *whole);
      } else if (const auto decimal = parseDecimal(number)) {
        return storeNumber(layout, field, record, *decimal);
      }
      break;
  }
  if (result != StoreResult::Refused) clearNull(layout, field, record);
  return result;
}

StoreResult storeInteger(const TableLayout& layout, const FieldLayout& field, char* record, long long value) {
  char* p = record + field.offset;
  StoreResult result = StoreResult::Refused;
  switch (field.storage) {
    case Storage::Character:
      result = putPadded(field, record, integerText(value), false);
      break;
    case Storage::Numeric:
      result = field.info.decimals == 0 ? putPadded(field, record, integerText(value), true)
                                        : putNumeric(field, record, static_cast<double>(value));
      break;
    case Storage::BigEndianInteger:
      if (fitsInt32(value)) {  // the smallest int32 would read as unset
        writeBig(p, static_cast<std::uint64_t>(value + 0x80000000LL), 4);
        result = StoreResult::Stored;
      }
      break;
    case Storage::LittleEndianInteger:
      if (fitsInt32(value) || value == -2147483648LL) {
        writeLittle(p, static_cast<std::uint64_t>(value), 4);
        result = StoreResult::Stored;
      }
      break;
    case Storage::Currency:
      if (value <= std::numeric_limits<long long>::max() / 10000 && value >= std::numeric_limits<long long>::min() / 10000) {
        writeLittle(p, static_cast<std::uint64_t>(value * 10000), 8);
        result = StoreResult::Stored;
      }
      break;
    case Storage::OrderedDouble:
    case Storage::LittleEndianDouble:
      return storeNumber(layout, field, record, static_cast<double>(value));
    default:
      break;
  }
  if (result != StoreResult::Refused) clearNull(layout, field, record);
  return result;
}

StoreResult storeNumber(const TableLayout& layout, const FieldLayout& field, char* record, double value) {
  if (!std::isfinite(value)) return StoreResult::Refused;
  if (value == 0) value = 0;
  char* p = record + field.offset;
  StoreResult result = StoreResult::Refused;
  switch (field.storage) {
    case Storage::Character:
      result = putPadded(field, record, decimalText(value), false);
      break;
    case Storage::Numeric:
      result = putNumeric(field, record, value);
      break;
    case Storage::BigEndianInteger:
    case Storage::LittleEndianInteger:
      if (const auto whole = wholeValue(value)) return storeInteger(layout, field, record, *whole);
      break;
    case Storage::Currency:
      if (std::fabs(value) < 9.2e14) {
        writeLittle(p, static_cast<std::uint64_t>(std::llround(value * 10000)), 8);
        result = StoreResult::Stored;
      }
      break;
    case Storage::OrderedDouble: {
      std::uint64_t bits = bitsOfDouble(value);
      bits = (bits & kSignBit) == 0 ? bits ^ kSignBit : ~bits;
      writeBig(p, bits, 8);
      result = StoreResult::Stored;
      break;
    }
    case Storage::LittleEndianDouble:
      writeLittle(p, bitsOfDouble(value), 8);
      result = StoreResult::Stored;
      break;
    default:
      break;
  }
  if (result != StoreResult::Refused) clearNull(layout, field, record);
  return result;
}

StoreResult storeLogical(const TableLayout& layout, const FieldLayout& field, char* record, bool value) {
  if (field.storage != Storage::Logical) return StoreResult::Refused;
  record[field.offset] = value ? 'T' : 'F';
  clearNull(layout, field, record);
  return StoreResult::Stored;
}

}  // namespace mudalinx::table::detail
