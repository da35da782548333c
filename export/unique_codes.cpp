#include "export/unique_codes.h"

#include <algorithm>

#include "exchange/text.h"

namespace mudalinx::exporter {

std::string storedForm(std::string_view candidate) {
  if (candidate.size() <= kCodeWidth) return std::string(candidate);
  return std::string(candidate.substr(0, kCodeWidth - 2)) + std::string(candidate.substr(candidate.size() - 2));
}

std::string CodeList::keyOf(std::string_view code) const {
  return letterCase_ == LetterCase::Ignored ? exchange::caseBlindKey(code) : std::string(code);
}

bool CodeList::contains(std::string_view code) const { return keys_.count(keyOf(code)) != 0; }

void CodeList::add(std::string_view code) { keys_.insert(keyOf(code)); }

CodeChoice firstFreeCode(std::string_view base, const CodeList& list) {
  std::string candidate = storedForm(base);
  if (!list.contains(candidate)) return {candidate, false, false};
  // Every candidate tried so far is taken; a stored form seen again can only be taken too.
  std::unordered_set<std::string> tried{candidate};
  bool shortening = false;
  for (unsigned long long number = 1;; ++number) {
    const std::string digits = std::to_string(number);
    if (!shortening) {
      candidate = storedForm(std::string(base) + digits);
      shortening = !tried.insert(candidate).second;
    }
    if (shortening) {
      const std::size_t room = digits.size() < kCodeWidth ? kCodeWidth - digits.size() : 0;
      candidate = std::string(base.substr(0, std::min(room, base.size()))) + digits;
    }
    if (!list.contains(candidate)) return {candidate, true, shortening};
  }
}

std::string claimCode(CodeList& list, std::string_view base, const SourceRecord& origin) {
  CodeChoice choice = firstFreeCode(base, list);
  list.add(choice.code);
  if (choice.suffixed) {
    std::string text = "El código de \"" + exchange::win1252ToUtf8(base) + "\" ya estaba en uso; se usa \"" +
                       exchange::win1252ToUtf8(choice.code) + "\"";
    if (choice.shortenedBase) text += " (base acortada: se agotaron los códigos numerados)";
    origin.warn("renombrado", text + ".");
  }
  return choice.code;
}

}  // namespace mudalinx::exporter
