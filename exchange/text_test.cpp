#include "exchange/text.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace mudalinx::exchange {
namespace {

// Texts below are Windows-1252 bytes: "\xED" is í, "\xF3" is ó, "\xCD" is Í, "\xFA" is ú.
struct HelperCase {
  const char* call;
  std::function<std::string(const std::string&)> apply;
  std::string input;
  std::string expected;
};

std::vector<HelperCase> helperCases() {
  const auto both = [](const std::string& t) { return TrimBoth(t); };
  const auto leading = [](const std::string& t) { return TrimLeading(t); };
  const auto trailing = [](const std::string& t) { return TrimTrailing(t); };
  const auto left = [](int n) { return [n](const std::string& t) { return LeftPart(t, n); }; };
  const auto right = [](int n) { return [n](const std::string& t) { return RightPart(t, n); }; };
  const auto capitals = [](const std::string& t) { return CapitalLetters(t); };
  const auto initials = [](const std::string& t) { return WordInitials(t); };
  return {
      {"TrimBoth around F\xEDsica", both, "  F\xEDsica  ", "F\xEDsica"},
      {"TrimBoth of blanks only", both, "     ", ""},
      {"TrimBoth of empty", both, "", ""},
      {"TrimBoth keeps inner blank", both, " Lengua  extranjera ", "Lengua  extranjera"},
      {"TrimBoth leaves tab, line break, no-break space", both, "\t x\xA0\n", "\t x\xA0\n"},
      {"TrimLeading", leading, "  a b  ", "a b  "},
      {"TrimLeading of empty", leading, "", ""},
      {"TrimTrailing", trailing, "  a b  ", "  a b"},
      {"TrimTrailing of blanks only", trailing, "   ", ""},
      {"LeftPart 0930, 2", left(2), "0930", "09"},
      {"RightPart 0930, 2", right(2), "0930", "30"},
      {"LeftPart 7, 2", left(2), "7", "7"},
      {"RightPart 7, 2", right(2), "7", "7"},
      {"LeftPart n = length", left(4), "0930", "0930"},
      {"RightPart n = length", right(4), "0930", "0930"},
      {"LeftPart n > length", left(9), "0930", "0930"},
      {"LeftPart n = 0", left(0), "0930", ""},
      {"RightPart n = 0", right(0), "0930", ""},
      {"LeftPart n < 0", left(-1), "0930", ""},
      {"RightPart n < 0", right(-3), "0930", ""},
      {"LeftPart of empty", left(2), "", ""},
      {"RightPart of empty, n < 0", right(-1), "", ""},
      {"RightPart 1 of group name", right(1), "1\xBA ESO A", "A"},
      {"CapitalLetters Educaci\xF3n F\xEDsica", capitals, "Educaci\xF3n F\xEDsica", "EF"},
      {"CapitalLetters TECNOLOG\xCD" "A", capitals, "TECNOLOG\xCD" "A", "TECNOLOGA"},
      {"CapitalLetters drops \xC1\xC9\xD1\xDC and digits", capitals, "\xC1rea 2 \xD1U\xDC\xC9", "U"},
      {"CapitalLetters without capitals", capitals, "m\xFAsica", ""},
      {"CapitalLetters of empty", capitals, "", ""},
      {"WordInitials Lengua castellana y literatura", initials, "Lengua castellana y literatura", "cyl"},
      {"WordInitials M\xFAsica", initials, "M\xFAsica", ""},
      {"WordInitials a, two blanks, b", initials, "a  b", " b"},
      {"WordInitials blank at the end", initials, "Dibujo ", ""},
      {"WordInitials leading blank", initials, " x y", "xy"},
      {"WordInitials of empty", initials, "", ""},
  };
}

TEST(TextHelpers, TableOfCases) {
  for (const HelperCase& c : helperCases()) {
    EXPECT_EQ(c.apply(c.input), c.expected) << c.call;
  }
}

TEST(TextHelpers, CaseChangeOnlyTouchesAToZ) {
  EXPECT_EQ(upperAZ("educaci\xF3n f\xEDsica \xF1"), "EDUCACI\xF3N F\xEDSICA \xF1");
  EXPECT_EQ(lowerAZ("EDUCACI\xD3N \xD1Z"), "educaci\xD3n \xD1z");
  EXPECT_EQ(upperAZ(""), "");
}

TEST(TextHelpers, CaseBlindKeyFoldsWindowsLetters) {
  EXPECT_EQ(caseBlindKey("educaci\xF3n f\xEDsica"), caseBlindKey("EDUCACI\xD3N F\xCDSICA"));
  EXPECT_EQ(caseBlindKey("espa\xF1ol"), caseBlindKey("ESPA\xD1OL"));
  // š/Š, œ/Œ, ž/Ž, ÿ/Ÿ sit outside the Latin-1 block.
  EXPECT_EQ(caseBlindKey("\x9A\x9C\x9E\xFF"), caseBlindKey("\x8A\x8C\x8E\x9F"));
  // × and ÷ are not letters; ß has no capital here; ó is not o.
  EXPECT_NE(caseBlindKey("\xD7"), caseBlindKey("\xF7"));
  EXPECT_EQ(caseBlindKey("\xDF"), "\xDF");
  EXPECT_NE(caseBlindKey("o"), caseBlindKey("\xF3"));
  EXPECT_NE(caseBlindKey("@"), caseBlindKey("`"));
}

TEST(TextConversion, EveryWindows1252ByteRoundTrips) {
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    bool lossy = false;
    EXPECT_EQ(utf8ToWin1252(win1252ToUtf8(byte), &lossy), byte) << "byte " << b;
    EXPECT_FALSE(lossy) << "byte " << b;
  }
}

TEST(TextConversion, KnownCharacters) {
  EXPECT_EQ(win1252ToUtf8("Educaci\xF3n F\xEDsica \xAA \xBA"), "Educación Física ª º");
  EXPECT_EQ(win1252ToUtf8("\x80\x8A\x93\x9F"), "€Š“Ÿ");
  EXPECT_EQ(utf8ToWin1252("Tecnología – Ñandú €"), "Tecnolog\xED" "a \x96 \xD1" "and\xFA \x80");
}

TEST(TextConversion, UnrepresentableAndInvalidBecomeQuestionMark) {
  struct Case {
    const char* what;
    std::string utf8;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"Greek letter", "a\xCE\xB1" "b", "a?b"},
      {"CJK", "\xE6\xBC\xA2", "?"},
      {"emoji", "\xF0\x9F\x98\x80!", "?!"},
      {"stray continuation byte", "a\x80" "b", "a?b"},
      {"truncated sequence", "a\xC3", "a?"},
      {"overlong slash", "\xC0\xAF", "??"},
      {"encoded surrogate", "\xED\xA0\x80", "???"},
      {"Latin-1 byte, not UTF-8", "Espa\xF1" "a", "Espa?a"},
  };
  for (const Case& c : cases) {
    bool lossy = false;
    EXPECT_EQ(utf8ToWin1252(c.utf8, &lossy), c.expected) << c.what;
    EXPECT_TRUE(lossy) << c.what;
  }
  EXPECT_EQ(utf8ToWin1252("\xCE\xB1"), "?");  // without a flag to set
}

}  // namespace
}  // namespace mudalinx::exchange
