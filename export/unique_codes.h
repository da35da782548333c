// Short codes that must be unique within one table: the code list and the
// numbered-suffix rule (BASE, BASE1, BASE2, ... each in its stored form).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "export/section_walk.h"

namespace mudalinx::exporter {

// Width of every code field the rule fills.
inline constexpr std::size_t kCodeWidth = 10;

// The form a code is kept in: a candidate longer than ten characters becomes its first
// 8 characters followed by its last 2.
std::string storedForm(std::string_view candidate);

enum class LetterCase {
  Significant,  // subjects: exact comparison
  Ignored,      // teachers, rooms, groups: the locale's letter-case-blind comparison
};

struct CodeChoice {
  std::string code;
  bool suffixed = false;  // not the base itself
  // The 8 + 2 forms of BASE were all taken, so the base was shortened to leave room
  // for the whole number.
  bool shortenedBase = false;
};

// Where the numbered candidates of one base have got to.
struct SuffixSearch {
  unsigned long long nextNumber = 1;
  bool shortening = false;
  std::unordered_set<std::string> tried;  // stored forms tried so far, all taken
};

// The codes handed out so far in one table.
class CodeList {
 public:
  explicit CodeList(LetterCase letterCase) : letterCase_(letterCase) {}
  bool contains(std::string_view code) const;
  void add(std::string_view code);
  // firstFreeCode(BASE, *this), added. A base handed out again resumes its search where
  // the last one ended (every candidate before that is taken), so many equal bases cost
  // time in proportion to their number.
  CodeChoice claim(std::string_view base);
  void clear();

 private:
  std::string keyOf(std::string_view code) const;
  LetterCase letterCase_;
  std::unordered_set<std::string> keys_;
  std::unordered_map<std::string, SuffixSearch> searches_;  // by base, exact
};

// The first candidate not in LIST: BASE, then BASE followed by 1, 2, 3, ... each in stored
// form. From the first number whose stored form repeats one tried before in this search,
// the candidates become the first 10 - d characters of BASE followed by the d digits of
// the number, so the search always ends.
CodeChoice firstFreeCode(std::string_view base, const CodeList& list);

// firstFreeCode, added to LIST; a renaming is reported against ORIGIN.
std::string claimCode(CodeList& list, std::string_view base, const SourceRecord& origin);

}  // namespace mudalinx::exporter
