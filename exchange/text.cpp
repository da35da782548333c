#include "exchange/text.h"

#include <array>
#include <cstdint>
#include <utility>

namespace mudalinx::exchange {

namespace {

constexpr char kBlank = ' ';

bool isCapitalAZ(unsigned char c) { return c >= 'A' && c <= 'Z'; }
bool isSmallAZ(unsigned char c) { return c >= 'a' && c <= 'z'; }

// Unicode code points of the bytes 0x80 to 0x9F. The five bytes Windows-1252 leaves
// unassigned map to the C1 control of the same value, as Windows itself converts them,
// so that every byte survives a round trip.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

char32_t codePointOf(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return byte;
}

// The Windows-1252 byte of a code point, or -1 when the code page lacks it.
int byteOf(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == cp) return static_cast<int>(0x80 + i);
  }
  return -1;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one UTF-8 sequence at text[pos]; advances pos. Returns -1 for a malformed
// sequence (overlong, surrogate, beyond U+10FFFF, truncated), consuming one byte.
long decodeUtf8(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  int length = 0;
  char32_t cp = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, cp = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, cp = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, cp = lead & 0x07, minimum = 0x10000;
  } else {
    ++pos;
    return -1;
  }
  if (pos + length > text.size()) {
    ++pos;
    return -1;
  }
  for (int i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[pos + i]);
    if ((next & 0xC0) != 0x80) {
      ++pos;
      return -1;
    }
    cp = (cp << 6) | (next & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++pos;
    return -1;
  }
  pos += length;
  return static_cast<long>(cp);
}

// Upper-case partner of a Windows-1252 letter for case-blind keys; other bytes unchanged.
unsigned char foldCase(unsigned char c) {
  if (isSmallAZ(c)) return static_cast<unsigned char>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);  // à-þ, not ÷
  switch (c) {
    case 0x9A: return 0x8A;  // š
    case 0x9C: return 0x8C;  // œ
    case 0x9E: return 0x8E;  // ž
    case 0xFF: return 0x9F;  // ÿ
    default: return c;
  }
}

}  // namespace

std::string TrimTrailing(std::string text) {
  while (!text.empty() && text.back() == kBlank) text.pop_back();
  return text;
}

std::string TrimLeading(std::string text) {
  const std::size_t first = text.find_first_not_of(kBlank);
  text.erase(0, first == std::string::npos ? text.size() : first);
  return text;
}

std::string TrimBoth(std::string text) { return TrimLeading(TrimTrailing(std::move(text))); }

std::string LeftPart(std::string text, int n) {
  if (n >= 0 && static_cast<std::size_t>(n) >= text.size()) return text;
  if (n <= 0) return {};
  text.resize(static_cast<std::size_t>(n));
  return text;
}

std::string RightPart(std::string text, int n) {
  if (n >= 0 && static_cast<std::size_t>(n) >= text.size()) return text;
  if (n <= 0) return {};
  return text.substr(text.size() - static_cast<std::size_t>(n));
}

std::string CapitalLetters(std::string_view text) {
  std::string capitals;
  for (const char c : text) {
    if (isCapitalAZ(static_cast<unsigned char>(c))) capitals += c;
  }
  return capitals;
}

std::string WordInitials(std::string_view text) {
  std::string initials;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == kBlank) initials += text[i + 1];
  }
  return initials;
}

std::string upperAZ(std::string text) {
  for (char& c : text) {
    if (isSmallAZ(static_cast<unsigned char>(c))) c = static_cast<char>(c - 0x20);
  }
  return text;
}

std::string lowerAZ(std::string text) {
  for (char& c : text) {
    if (isCapitalAZ(static_cast<unsigned char>(c))) c = static_cast<char>(c + 0x20);
  }
  return text;
}

std::string caseBlindKey(std::string_view text) {
  std::string key(text);
  for (char& c : key) c = static_cast<char>(foldCase(static_cast<unsigned char>(c)));
  return key;
}

std::string win1252ToUtf8(std::string_view text) {
  std::string utf8;
  utf8.reserve(text.size() + text.size() / 8);
  for (const char c : text) appendUtf8(utf8, codePointOf(static_cast<unsigned char>(c)));
  return utf8;
}

std::string utf8ToWin1252(std::string_view utf8, bool* lossy) {
  std::string text;
  text.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[pos]);
    if (lead < 0x80) {  // the common case, without decoding
      text += static_cast<char>(lead);
      ++pos;
      continue;
    }
    const long cp = decodeUtf8(utf8, pos);
    const int byte = cp < 0 ? -1 : byteOf(static_cast<char32_t>(cp));
    if (byte < 0) {
      text += '?';
      if (lossy != nullptr) *lossy = true;
    } else {
      text += static_cast<char>(byte);
    }
  }
  return text;
}

}  // namespace mudalinx::exchange
