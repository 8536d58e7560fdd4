#include "catalogue/kvrWildcardMatch.h"

#include <string>

#include "platform/vqStrings.h"

namespace ombrant {
namespace {

// Only a to z are folded: the names compared are program names, and a wider folding would
// make "?" and "*" disagree with what the pattern's author saw.
std::u16string UpperAscii(std::string_view text) {
  std::u16string units = Utf8ToUtf16(text);
  for (char16_t& c : units) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  }
  return units;
}

}  // namespace

bool WildcardMatch(std::string_view text, std::string_view pattern) {
  const std::u16string t = UpperAscii(text);
  const std::u16string p = UpperAscii(pattern);
  // Greedy scan that backtracks only to the last "*": linear for the patterns in use, and at
  // worst |t| * |p|, never exponential.
  std::size_t ti = 0;
  std::size_t pi = 0;
  std::size_t starP = std::u16string::npos;
  std::size_t starT = 0;
  while (ti < t.size()) {
    if (pi < p.size() && p[pi] == u'*') {
      starP = pi++;
      starT = ti;
    } else if (pi < p.size() && (p[pi] == u'?' || p[pi] == t[ti])) {
      ++pi;
      ++ti;
    } else if (starP != std::u16string::npos) {
      pi = starP + 1;
      ti = ++starT;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == u'*') ++pi;
  return pi == p.size();
}

}  // namespace ombrant
