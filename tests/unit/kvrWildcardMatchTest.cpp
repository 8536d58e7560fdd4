#include <gtest/gtest.h>

#include <string>

#include "catalogue/kvrWildcardMatch.h"

namespace ombrant {
namespace {

struct MatchCase {
  const char* text;
  const char* pattern;
  bool matches;
};

TEST(WildcardMatch, FollowsTheStarAndQuestionMarkRules) {
  const MatchCase cases[] = {
      // The patterns the definitions use.
      {"Mozilla Firefox (3.0.5)", "Mozilla Firefox*", true},
      {"Mozilla Firefox", "Mozilla Firefox*", true},
      {"Mozilla Thunderbird", "Mozilla Firefox*", false},
      {"Pidgin", "Pidgin", true},
      {"Pidgin 2.5", "Pidgin", false},
      {"{226b64e8-dc75-4eea-a6c8-abcb496320f2}-Google Talk",
       "{226b64e8-dc75-4eea-a6c8-abcb496320f2}-Google Talk", true},
      // ASCII letters ignore case, both ways.
      {"WINAMP 5.5", "Winamp*", true},
      {"winamp", "WINAMP*", true},
      // Empty texts and patterns.
      {"", "", true},
      {"x", "", false},
      {"", "*", true},
      {"anything at all", "*", true},
      {"", "?", false},
      // "?" is exactly one character.
      {"ICQ6", "ICQ?", true},
      {"ICQ", "ICQ?", false},
      {"ICQ66", "ICQ?", false},
      // A star anywhere, and a text in the middle between two stars.
      {"The Winamp player", "*Winamp*", true},
      {"Winamp", "*Winamp*", true},
      {"Winam", "*Winamp*", false},
      {"abcabcabd", "*abd", true},
      {"abcabcabc", "*abd", false},
      {"a*b", "a*b", true},
      {"aXXb", "a**b", true},
  };
  for (const MatchCase& c : cases) {
    EXPECT_EQ(WildcardMatch(c.text, c.pattern), c.matches)
        << "text \"" << c.text << "\", pattern \"" << c.pattern << "\"";
  }
}

TEST(WildcardMatch, FoldsOnlyAsciiLettersAndCountsCharactersNotBytes) {
  // "Ä" and "ä" differ: only a to z are folded.
  EXPECT_FALSE(WildcardMatch("\xC3\x84", "\xC3\xA4"));
  EXPECT_TRUE(WildcardMatch("\xC3\x84", "\xC3\x84"));
  // A two-byte character is one "?".
  EXPECT_TRUE(WildcardMatch("Tlen.pl \xC3\xB3", "Tlen.pl ?"));
}

TEST(WildcardMatch, ManyStarsOnALongTextEndQuickly) {
  // A naive recursive matcher takes exponential time here.
  const std::string text(5000, 'a');
  EXPECT_FALSE(WildcardMatch(text, "*a*a*a*a*a*a*a*a*a*a*a*a*b"));
  EXPECT_TRUE(WildcardMatch(text + "b", "*a*a*a*a*a*a*a*a*a*a*a*a*b"));
}

}  // namespace
}  // namespace ombrant
