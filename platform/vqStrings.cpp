#include "platform/vqStrings.h"

#include <cstdint>

namespace ombrant {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point at `i`, advancing it; malformed sequences yield U+FFFD for one byte.
char32_t DecodeUtf8(std::string_view s, std::size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  int len = 0;
  char32_t cp = 0;
  char32_t min = 0;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4, cp = b0 & 0x07, min = 0x10000;
  } else {
    ++i;
    return kReplacement;
  }
  if (i + len > s.size()) {
    ++i;
    return kReplacement;
  }
  for (int k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return kReplacement;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return kReplacement;
  }
  i += len;
  return cp;
}

void EncodeUtf8(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

char32_t DecodeUtf16(std::u16string_view s, std::size_t& i) {
  const char16_t u = s[i++];
  if (u >= 0xD800 && u <= 0xDBFF) {
    if (i < s.size() && s[i] >= 0xDC00 && s[i] <= 0xDFFF) {
      const char16_t low = s[i++];
      return 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (low - 0xDC00);
    }
    return kReplacement;
  }
  if (u >= 0xDC00 && u <= 0xDFFF) return kReplacement;
  return u;
}

template <typename F>
std::string MapCodePoints(std::string_view text, F f) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) EncodeUtf8(f(DecodeUtf8(text, i)), out);
  return out;
}

char32_t LowerCaseCodePoint(char32_t c) {
  // The inverse of UpperCaseCodePoint for the ranges it maps.
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
  if (c >= 0x100 && c <= 0x17F && UpperCaseCodePoint(c + 1) == c && c != 0x130 && c != 0x178)
    return c + 1;
  if (c == 0x178) return 0xFF;
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  return c;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const char32_t cp = DecodeUtf8(text, i);
    if (cp >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) EncodeUtf8(DecodeUtf16(text, i), out);
  return out;
}

std::string Utf16LeBytesToUtf8(std::string_view bytes) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (std::size_t k = 0; k < units.size(); ++k) {
    units[k] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * k]) |
                                     (static_cast<unsigned char>(bytes[2 * k + 1]) << 8));
  }
  return Utf16ToUtf8(units);
}

std::string Utf8ToUtf16LeBytes(std::string_view text) {
  const std::u16string units = Utf8ToUtf16(text);
  std::string out;
  out.reserve(units.size() * 2);
  for (char16_t u : units) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  }
  return out;
}

char32_t UpperCaseCodePoint(char32_t c) {
  if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 0x20 : c;
  // Latin-1: à..þ except ÷; ÿ -> Ÿ. ß has no single upper-case letter and stays.
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  if (c == 0xFF) return 0x178;
  // Latin Extended-A: pairs upper/lower, with the odd runs where the pair starts on an odd code.
  if (c >= 0x100 && c <= 0x17F) {
    const bool oddPairs = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;  // no simple pair
    if (oddPairs) return (c % 2 == 0) ? c - 1 : c;
    return (c % 2 == 1) ? c - 1 : c;
  }
  // Greek: α..ω (ς as Σ), accented forms.
  if (c >= 0x3B1 && c <= 0x3CB) return c == 0x3C2 ? 0x3A3 : c - 0x20;
  if (c == 0x3AC) return 0x386;
  if (c >= 0x3AD && c <= 0x3AF) return c - 0x25;
  if (c == 0x3CC) return 0x38C;
  if (c == 0x3CD || c == 0x3CE) return c - 0x3F;
  // Cyrillic: а..я, ѐ..џ.
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  return c;
}

std::string UpperCase(std::string_view text) { return MapCodePoints(text, UpperCaseCodePoint); }

std::string LowerCase(std::string_view text) { return MapCodePoints(text, LowerCaseCodePoint); }

int CompareText(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const char32_t ca = UpperCaseCodePoint(DecodeUtf8(a, i));
    const char32_t cb = UpperCaseCodePoint(DecodeUtf8(b, j));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

bool SameText(std::string_view a, std::string_view b) { return CompareText(a, b) == 0; }

bool StartsText(std::string_view prefix, std::string_view text) {
  std::size_t i = 0, j = 0;
  while (i < prefix.size()) {
    if (j >= text.size()) return false;
    if (UpperCaseCodePoint(DecodeUtf8(prefix, i)) != UpperCaseCodePoint(DecodeUtf8(text, j)))
      return false;
  }
  return true;
}

bool EndsText(std::string_view suffix, std::string_view text) {
  // Upper-casing keeps each character's UTF-8 length in the ranges we map but for ÿ/Ÿ and a few
  // Latin Extended letters, so compare on the upper-cased forms.
  const std::string s = UpperCase(suffix);
  const std::string t = UpperCase(text);
  return t.size() >= s.size() && t.compare(t.size() - s.size(), s.size(), s) == 0;
}

std::size_t FindText(std::string_view haystack, std::string_view needle) {
  if (needle.empty()) return 0;
  for (std::size_t start = 0; start < haystack.size();) {
    if (StartsText(needle, haystack.substr(start))) return start;
    // Advance by one whole code point.
    std::size_t next = start;
    DecodeUtf8(haystack, next);
    start = next;
  }
  return std::string_view::npos;
}

std::string EscapeRegExpr(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (const char c : text) {
    if (c == '\\' || c == '(' || c == ')' || c == '.') out += '\\';
    out += c;
  }
  return out;
}

}  // namespace ombrant
