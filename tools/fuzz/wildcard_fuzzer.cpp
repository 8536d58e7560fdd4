// libFuzzer target for the wildcard matcher: input is "PATTERN \0 TEXT". Besides memory safety
// (and a bounded run time on patterns full of stars) it checks the rules the definitions rely on.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "catalogue/kvrWildcardMatch.h"
#include "platform/vqStrings.h"
#include "tools/fuzz/fuzzInput.h"

namespace {

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "wildcard rule broken: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto fields = ombrant::fuzz::SplitFields(data, size, 2);
  const std::string_view pattern = fields[0];
  const std::string_view text = fields[1];
  const bool matched = ombrant::WildcardMatch(text, pattern);
  Check(ombrant::WildcardMatch(text, "*"), "* matches everything");
  if (text.find_first_of("*?") == std::string_view::npos) {
    Check(ombrant::WildcardMatch(text, text), "a plain text matches itself");
  }
  // A star added at the end only widens a pattern.
  if (matched) Check(ombrant::WildcardMatch(text, std::string(pattern) + "*"), "a trailing star");
  // One "?" per character (UTF-16 unit, as Windows compares names) matches the text.
  Check(ombrant::WildcardMatch(text, std::string(ombrant::Utf8ToUtf16(text).size(), '?')),
        "one ? per character");
  return 0;
}
