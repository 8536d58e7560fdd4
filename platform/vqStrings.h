// Text utilities: UTF-8 <-> UTF-16 and the one case-insensitive comparison the program uses.
//
// Text is UTF-8 inside the program. Comparisons that ignore case follow Windows' ordinal
// ignore-case rule: each character is upper-cased on its own (Latin-1, Latin Extended, Greek,
// Cyrillic), then code points are compared.
#pragma once

#include <string>
#include <string_view>

namespace ombrant {

// Invalid input (a lone surrogate, a malformed UTF-8 sequence) becomes U+FFFD; never throws.
[[nodiscard]] std::u16string Utf8ToUtf16(std::string_view text);
[[nodiscard]] std::string Utf16ToUtf8(std::u16string_view text);

// UTF-16LE bytes (as the registry stores strings) to UTF-8 and back; an odd last byte is ignored.
[[nodiscard]] std::string Utf16LeBytesToUtf8(std::string_view bytes);
[[nodiscard]] std::string Utf8ToUtf16LeBytes(std::string_view text);

// The upper-case form of one code point, as Windows' ordinal ignore-case comparison sees it.
[[nodiscard]] char32_t UpperCaseCodePoint(char32_t c);
[[nodiscard]] std::string UpperCase(std::string_view text);
[[nodiscard]] std::string LowerCase(std::string_view text);

// <0, 0, >0 comparing upper-cased code points.
[[nodiscard]] int CompareText(std::string_view a, std::string_view b);
[[nodiscard]] bool SameText(std::string_view a, std::string_view b);
[[nodiscard]] bool StartsText(std::string_view prefix, std::string_view text);
[[nodiscard]] bool EndsText(std::string_view suffix, std::string_view text);
// Position of `needle` in `haystack` ignoring case (byte offset), or npos.
[[nodiscard]] std::size_t FindText(std::string_view haystack, std::string_view needle);

// Escapes a path for use in a regular expression: "\" becomes "\\", then "(", ")" and "."
// get a "\" in front.
[[nodiscard]] std::string EscapeRegExpr(std::string_view text);

// Case-insensitive ordering for maps and sets keyed by names.
struct TextLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return CompareText(a, b) < 0; }
};

}  // namespace ombrant
