#include "catalogue/kvrWildcardMatch.h"

#include <algorithm>
#include <string>

#include "platform/vqStrings.h"

namespace ombrant {
namespace {

// Only a to z are folded: the names compared are program names, and a wider folding would
// make "?" and "*" disagree with what the pattern's author saw.
template <class Char>
Char FoldAscii(Char c) {
  return c >= Char('a') && c <= Char('z') ? static_cast<Char>(c - Char('a') + Char('A')) : c;
}

// Greedy scan that backtracks only to the last "*": linear for the patterns in use, and at
// worst |text| * |pattern|, never exponential.
template <class View>
bool Match(View t, View p) {
  using Char = typename View::value_type;
  std::size_t ti = 0;
  std::size_t pi = 0;
  std::size_t starP = View::npos;
  std::size_t starT = 0;
  while (ti < t.size()) {
    if (pi < p.size() && p[pi] == Char('*')) {
      starP = pi++;
      starT = ti;
    } else if (pi < p.size() && (p[pi] == Char('?') || FoldAscii(p[pi]) == FoldAscii(t[ti]))) {
      ++pi;
      ++ti;
    } else if (starP != View::npos) {
      pi = starP + 1;
      ti = ++starT;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == Char('*')) ++pi;
  return pi == p.size();
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

bool WildcardMatch(std::string_view text, std::string_view pattern) {
  // Almost every name is ASCII: match its bytes; otherwise characters, as "?" takes one.
  if (IsAscii(text) && IsAscii(pattern)) return Match(text, pattern);
  const std::u16string t = Utf8ToUtf16(text);
  const std::u16string p = Utf8ToUtf16(pattern);
  return Match(std::u16string_view(t), std::u16string_view(p));
}

}  // namespace ombrant
