// Text helpers on 8-bit Windows-1252 text (one byte per character). A blank is the
// space character alone. Pure functions: none keeps state, none fails.
#pragma once

#include <string>
#include <string_view>

namespace mudalinx::exchange {

std::string TrimBoth(std::string text);
std::string TrimTrailing(std::string text);
std::string TrimLeading(std::string text);
// The first (last) n characters; the empty text for n <= 0; the whole text when n >= length.
std::string LeftPart(std::string text, int n);
std::string RightPart(std::string text, int n);
// The capital letters A to Z of the text, in order.
std::string CapitalLetters(std::string_view text);
// The characters that follow blanks (the first character never).
std::string WordInitials(std::string_view text);

// Upper- and lower-casing that change only the letters a to z / A to Z.
std::string upperAZ(std::string text);
std::string lowerAZ(std::string text);

// A key for letter-case-blind comparison in Windows-1252, as the Windows locale compares:
// a-z/A-Z and the accented letters (á/Á, ñ/Ñ, ...) fold together.
std::string caseBlindKey(std::string_view text);

// Conversions between Windows-1252 and UTF-8. A character that Windows-1252 lacks
// becomes "?" and sets *lossy when given. Invalid UTF-8 bytes count as such characters.
std::string win1252ToUtf8(std::string_view text);
std::string utf8ToWin1252(std::string_view utf8, bool* lossy = nullptr);

}  // namespace mudalinx::exchange
