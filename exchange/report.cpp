#include "exchange/report.h"

#include <algorithm>
#include <cstdio>

namespace mudalinx::exchange {

namespace {

// Length of the valid UTF-8 sequence at text[pos], 0 when the bytes there are not one.
std::size_t utf8SequenceLength(std::string_view text, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  std::size_t length = 0;
  unsigned long cp = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, cp = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, cp = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, cp = lead & 0x07;
  } else {
    return 0;
  }
  if (pos + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[pos + i]);
    if ((next & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (next & 0x3F);
  }
  const bool overlong = (length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000);
  if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return length;
}

// A JSON string literal; bytes that are not valid UTF-8 become U+FFFD so the output stays valid.
void appendJsonString(std::string& out, std::string_view text) {
  out += '"';
  for (std::size_t pos = 0; pos < text.size();) {
    const auto c = static_cast<unsigned char>(text[pos]);
    if (c >= 0x80) {
      const std::size_t length = utf8SequenceLength(text, pos);
      if (length == 0) {
        out += "\\ufffd";
        ++pos;
      } else {
        out.append(text.substr(pos, length));
        pos += length;
      }
      continue;
    }
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += static_cast<char>(c);
        }
    }
    ++pos;
  }
  out += '"';
}

std::string placeOf(const Warning& warning) {
  std::string place = warning.section;
  if (warning.record > 0) {
    if (!place.empty()) place += ", ";
    place += "registro " + std::to_string(warning.record);
  }
  return place;
}

}  // namespace

void Report::addRows(std::string_view table, std::size_t n) {
  const auto found = std::find_if(rows_.begin(), rows_.end(), [&](const auto& entry) { return entry.first == table; });
  if (found != rows_.end()) {
    found->second += n;
  } else {
    rows_.emplace_back(std::string(table), n);
  }
}

void Report::warn(Warning warning) { warnings_.push_back(std::move(warning)); }

std::size_t Report::rowsOf(std::string_view table) const {
  const auto found = std::find_if(rows_.begin(), rows_.end(), [&](const auto& entry) { return entry.first == table; });
  return found != rows_.end() ? found->second : 0;
}

std::string Report::text() const {
  std::string out = "Filas escritas:\n";
  if (rows_.empty()) out += "  ninguna\n";
  for (const auto& [table, count] : rows_) out += "  " + table + ": " + std::to_string(count) + "\n";
  if (warnings_.empty()) return out + "Avisos: ninguno\n";
  out += "Avisos:\n";
  for (const Warning& warning : warnings_) {
    const std::string place = placeOf(warning);
    out += "  " + (place.empty() ? std::string() : place + ": ") + warning.text + "\n";
  }
  return out;
}

std::string Report::json() const {
  std::string out = "{\"filas\": {";
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (i > 0) out += ", ";
    appendJsonString(out, rows_[i].first);
    out += ": " + std::to_string(rows_[i].second);
  }
  out += "}, \"avisos\": [";
  for (std::size_t i = 0; i < warnings_.size(); ++i) {
    const Warning& warning = warnings_[i];
    out += i > 0 ? ", {" : "{";
    out += "\"tipo\": ";
    appendJsonString(out, warning.kind);
    out += ", \"seccion\": ";
    appendJsonString(out, warning.section);
    out += ", \"registro\": " + std::to_string(warning.record) + ", \"texto\": ";
    appendJsonString(out, warning.text);
    out += "}";
  }
  out += "]}\n";
  return out;
}

}  // namespace mudalinx::exchange
