#include "platform/vqStrings.h"

#include <gtest/gtest.h>

namespace ombrant {
namespace {

TEST(Utf, RoundTripsEveryPlane) {
  const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";  // a é € 😀 z
  const std::u16string wide = Utf8ToUtf16(text);
  EXPECT_EQ(wide, (std::u16string{u'a', 0xE9, 0x20AC, 0xD83D, 0xDE00, u'z'}));
  EXPECT_EQ(Utf16ToUtf8(wide), text);
  EXPECT_EQ(Utf16LeBytesToUtf8(Utf8ToUtf16LeBytes(text)), text);
}

TEST(Utf, MalformedInputBecomesReplacementCharacters) {
  EXPECT_EQ(Utf8ToUtf16("\xC3"), std::u16string(1, 0xFFFD));             // truncated
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), std::u16string(3, 0xFFFD));     // encoded surrogate
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), std::u16string(2, 0xFFFD));         // overlong
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, 0xD800)), "\xEF\xBF\xBD");      // lone surrogate
  EXPECT_EQ(Utf16LeBytesToUtf8(std::string("a\0b", 3)), "a");             // odd byte dropped
}

TEST(CaseInsensitive, FollowsOrdinalIgnoreCase) {
  struct Case {
    const char* a;
    const char* b;
    bool same;
  };
  const Case cases[] = {
      {"HKEY_LOCAL_MACHINE", "hkey_local_machine", true},
      {"C:\\Programme\\M\xC3\xBCller", "c:\\PROGRAMME\\M\xC3\x9CLLER", true},  // ü / Ü
      {"\xC3\xBF", "\xC5\xB8", true},                                         // ÿ / Ÿ
      {"\xC4\x85", "\xC4\x84", true},                                         // ą / Ą
      {"\xC5\x82", "\xC5\x81", true},                                         // ł / Ł
      {"\xCE\xB1\xCF\x82", "\xCE\x91\xCE\xA3", true},                         // ας / ΑΣ
      {"\xD0\xB1\xD1\x91", "\xD0\x91\xD0\x81", true},                         // бё / БЁ
      {"stra\xC3\x9F" "e", "STRASSE", false},                                 // ß stays
      {"abc", "abd", false},
      {"abc", "ab", false},
  };
  for (const Case& c : cases) EXPECT_EQ(SameText(c.a, c.b), c.same) << c.a << " vs " << c.b;
}

TEST(CaseInsensitive, OrdersAndSearches) {
  EXPECT_LT(CompareText("apple", "Banana"), 0);
  EXPECT_GT(CompareText("apple", "APP"), 0);
  EXPECT_EQ(CompareText("", ""), 0);
  EXPECT_TRUE(StartsText("c:\\users", "C:\\Users\\Admin"));
  EXPECT_FALSE(StartsText("C:\\Users\\Admin\\x", "C:\\Users\\Admin"));
  EXPECT_TRUE(EndsText(".LNK", "Firefox.lnk"));
  EXPECT_EQ(FindText("C:\\Documents and Settings\\Admin\\x", "and settings\\ADMIN"), 13u);
  EXPECT_EQ(FindText("abc", "d"), std::string::npos);
  EXPECT_EQ(UpperCase("m\xC3\xBCller"), "M\xC3\x9CLLER");
  EXPECT_EQ(LowerCase("M\xC3\x9CLLER \xC5\xB8"), "m\xC3\xBCller \xC3\xBF");
}

}  // namespace
}  // namespace ombrant
