#include "export/unique_codes.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "exchange/text.h"

namespace mudalinx::exporter {
namespace {

using exchange::utf8ToWin1252;
using exchange::win1252ToUtf8;

// Hands out a code for each base in turn, as a converter does; texts in UTF-8. The
// resuming claim must agree with a fresh search every time.
std::vector<std::string> claimAll(LetterCase letterCase, const std::vector<std::string>& bases) {
  CodeList list(letterCase);
  std::vector<std::string> codes;
  for (const std::string& base : bases) {
    const CodeChoice fresh = firstFreeCode(utf8ToWin1252(base), list);
    const CodeChoice claimed = list.claim(utf8ToWin1252(base));
    EXPECT_EQ(claimed.code, fresh.code) << base;
    EXPECT_EQ(claimed.suffixed, fresh.suffixed) << base;
    EXPECT_EQ(claimed.shortenedBase, fresh.shortenedBase) << base;
    codes.push_back(win1252ToUtf8(claimed.code));
  }
  return codes;
}

TEST(StoredForm, KeepsTenCharactersAsFirstEightAndLastTwo) {
  const struct {
    const char* candidate;
    const char* stored;
  } cases[] = {
      {"", ""},
      {"ABC", "ABC"},
      {"ABCDEFGHIJ", "ABCDEFGHIJ"},
      {"FORMACIONY1", "FORMACIOY1"},
      {"1º Bachillerato A", "1º Bachi A"},
      {"1º Bachillerato A1", "1º BachiA1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(win1252ToUtf8(storedForm(utf8ToWin1252(c.candidate))), c.stored) << c.candidate;
  }
}

TEST(FirstFreeCode, NumbersRepeatedBasesInTurn) {
  const struct {
    LetterCase letterCase;
    std::vector<std::string> bases;
    std::vector<std::string> codes;
  } cases[] = {
      {LetterCase::Significant, {"Lcyl", "Lcyl", "Lcyl"}, {"Lcyl", "Lcyl1", "Lcyl2"}},
      {LetterCase::Significant, {"FORMACIONY", "FORMACIONY", "FORMACIONY"}, {"FORMACIONY", "FORMACIOY1", "FORMACIOY2"}},
      {LetterCase::Significant, {"Matemá", "MATEMTICAS"}, {"Matemá", "MATEMTICAS"}},
      {LetterCase::Significant, {"ABC", "abc"}, {"ABC", "abc"}},
      {LetterCase::Ignored, {"ABC", "ABC", "ABC"}, {"ABC", "ABC1", "ABC2"}},
      {LetterCase::Ignored, {"abc", "ABC"}, {"abc", "ABC1"}},
      {LetterCase::Ignored, {"ÁRBOL", "árbol"}, {"ÁRBOL", "árbol1"}},
      {LetterCase::Ignored, {"1ESO A", "1eso a"}, {"1ESO A", "1eso a1"}},
      {LetterCase::Ignored, {"ABCDEFGHIJ", "ABCDEFGHIJ"}, {"ABCDEFGHIJ", "ABCDEFGHJ1"}},
      {LetterCase::Ignored, {"1º Bachillerato A", "1º Bachillerato A"}, {"1º Bachi A", "1º BachiA1"}},
      {LetterCase::Ignored,
       {"1º Bachillerato Ciencias A", "1º Bachillerato Letras A"},
       {"1º Bachi A", "1º BachiA1"}},
      {LetterCase::Ignored, {"", "", ""}, {"", "1", "2"}},
      // A trailing blank is lost in the field, so "PS " is the code "PS" already handed out.
      {LetterCase::Ignored, {"PS", "PS "}, {"PS", "PS 1"}},
      {LetterCase::Ignored, {"Patio ", "patio"}, {"Patio ", "patio1"}},
      // A base that already looks suffixed takes its own place in the list.
      {LetterCase::Ignored, {"X", "X1", "X"}, {"X", "X1", "X2"}},
  };
  for (const auto& c : cases) EXPECT_EQ(claimAll(c.letterCase, c.bases), c.codes) << c.bases.front();
}

TEST(FirstFreeCode, NineCharacterBaseMovesToEightPlusTwoFromTen) {
  const std::vector<std::string> codes = claimAll(LetterCase::Significant, std::vector<std::string>(12, "ABCDEFGHI"));
  EXPECT_EQ(codes[0], "ABCDEFGHI");
  EXPECT_EQ(codes[1], "ABCDEFGHI1");
  EXPECT_EQ(codes[9], "ABCDEFGHI9");
  EXPECT_EQ(codes[10], "ABCDEFGH10");
  EXPECT_EQ(codes[11], "ABCDEFGH11");
}

TEST(FirstFreeCode, SearchEndsOnceTheStoredFormsRepeat) {
  // The 8 + 2 forms of this name are the base form, A1 to A9, 10 to 99 and 00 to 09:
  // 110 codes. From the 111th on, the base is shortened to make room for the number.
  const std::vector<std::string> codes = claimAll(LetterCase::Ignored, std::vector<std::string>(250, "1º Bachillerato A"));
  ASSERT_EQ(codes.size(), 250u);
  EXPECT_EQ(std::set<std::string>(codes.begin(), codes.end()).size(), 250u);
  EXPECT_EQ(codes[0], "1º Bachi A");
  EXPECT_EQ(codes[1], "1º BachiA1");
  EXPECT_EQ(codes[9], "1º BachiA9");
  EXPECT_EQ(codes[10], "1º Bachi10");
  EXPECT_EQ(codes[100], "1º Bachi00");
  EXPECT_EQ(codes[109], "1º Bachi09");
  EXPECT_EQ(codes[110], "1º Bach110");
  EXPECT_EQ(codes[249], "1º Bach249");
  for (const std::string& code : codes) EXPECT_LE(utf8ToWin1252(code).size(), kCodeWidth) << code;
}

TEST(FirstFreeCode, FlagsSuffixesAndShortenedBases) {
  CodeList list(LetterCase::Significant);
  EXPECT_FALSE(firstFreeCode("EF", list).suffixed);
  list.add("EF");
  const CodeChoice second = firstFreeCode("EF", list);
  EXPECT_TRUE(second.suffixed);
  EXPECT_FALSE(second.shortenedBase);

  CodeList full(LetterCase::Significant);
  for (int i = 0; i < 110; ++i) full.claim("ABCDEFGHIJ");
  const CodeChoice shortened = firstFreeCode("ABCDEFGHIJ", full);
  EXPECT_TRUE(shortened.shortenedBase);
  EXPECT_EQ(shortened.code, "ABCDEFG110");
}

}  // namespace
}  // namespace mudalinx::exporter
