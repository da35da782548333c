#include "export/unique_codes.h"

#include <algorithm>

#include "exchange/text.h"

namespace mudalinx::exporter {

std::string storedForm(std::string_view candidate) {
  if (candidate.size() <= kCodeWidth) return std::string(candidate);
  return std::string(candidate.substr(0, kCodeWidth - 2)) + std::string(candidate.substr(candidate.size() - 2));
}

// Codes are compared as the table gives them back: the field keeps ten characters and
// drops trailing blanks, so "PS " and "PS" would otherwise become one code on disk.
std::string CodeList::keyOf(std::string_view code) const {
  const std::string asRead = exchange::TrimTrailing(std::string(code.substr(0, std::min(code.size(), kCodeWidth))));
  return letterCase_ == LetterCase::Ignored ? exchange::caseBlindKey(asRead) : asRead;
}

bool CodeList::contains(std::string_view code) const { return keys_.count(keyOf(code)) != 0; }

void CodeList::add(std::string_view code) { keys_.insert(keyOf(code)); }

void CodeList::clear() {
  keys_.clear();
  searches_.clear();
}

namespace {

// Runs SEARCH on from its next number until a candidate is not in LIST. The stored form of
// BASE itself is taken.
CodeChoice continueSearch(std::string_view base, const CodeList& list, SuffixSearch& search) {
  if (search.tried.empty()) search.tried.insert(storedForm(base));
  for (;; ++search.nextNumber) {
    const std::string digits = std::to_string(search.nextNumber);
    std::string candidate;
    if (!search.shortening) {
      candidate = storedForm(std::string(base) + digits);
      // A stored form seen again was found taken before.
      search.shortening = !search.tried.insert(candidate).second;
    }
    if (search.shortening) {
      const std::size_t room = digits.size() < kCodeWidth ? kCodeWidth - digits.size() : 0;
      candidate = std::string(base.substr(0, std::min(room, base.size()))) + digits;
    }
    if (!list.contains(candidate)) return {candidate, true, search.shortening};
  }
}

}  // namespace

CodeChoice firstFreeCode(std::string_view base, const CodeList& list) {
  const std::string candidate = storedForm(base);
  if (!list.contains(candidate)) return {candidate, false, false};
  SuffixSearch search;
  return continueSearch(base, list, search);
}

CodeChoice CodeList::claim(std::string_view base) {
  CodeChoice choice{storedForm(base), false, false};
  if (contains(choice.code)) {
    SuffixSearch& search = searches_[std::string(base)];
    choice = continueSearch(base, *this, search);
    ++search.nextNumber;  // the number just taken
  }
  add(choice.code);
  return choice;
}

std::string claimCode(CodeList& list, std::string_view base, const SourceRecord& origin) {
  const CodeChoice choice = list.claim(base);
  if (choice.suffixed) {
    std::string text = "El código de \"" + exchange::win1252ToUtf8(base) + "\" ya estaba en uso; se usa \"" +
                       exchange::win1252ToUtf8(choice.code) + "\"";
    if (choice.shortenedBase) text += " (base acortada: se agotaron los códigos numerados)";
    origin.warn("renombrado", text + ".");
  }
  return choice.code;
}

}  // namespace mudalinx::exporter
