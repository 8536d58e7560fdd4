#include <gtest/gtest.h>

#include <string>

#include "catalogue/kvrIniText.h"

namespace ombrant {
namespace {

TEST(ReadIniString, FindsTheValueAsGetPrivateProfileStringDoes) {
  const std::string text =
      "[DEFAULT]\r\nBASEURL=http://other/\r\n"
      "[InternetShortcut]\r\n"
      "  url  =  http://example.com/page?b=1&c=2  \r\n"
      "IconIndex=0\r\n"
      "Quoted=\"a b\"\r\n"
      "NoEquals\r\n"
      "[InternetShortcut]\r\nIconFile=second section of that name\r\n";
  const struct {
    const char* section;
    const char* key;
    const char* expected;
  } cases[] = {
      // Names ignore case, blanks around key and value go, the value keeps its own "=".
      {"InternetShortcut", "URL", "http://example.com/page?b=1&c=2"},
      {"internetshortcut", "Url", "http://example.com/page?b=1&c=2"},
      {"InternetShortcut", "Quoted", "a b"},
      {"DEFAULT", "BASEURL", "http://other/"},
      // Missing keys and sections, and keys of another section, give the default.
      {"InternetShortcut", "BASEURL", "unknown"},
      {"InternetShortcut", "NoEquals", "unknown"},
      {"Missing", "URL", "unknown"},
      // Only the first section of a name counts.
      {"InternetShortcut", "IconFile", "unknown"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadIniString(text, c.section, c.key, "unknown"), c.expected)
        << "[" << c.section << "] " << c.key;
  }
}

TEST(IniBytesToText, ReadsUtf16Utf8AndTheWesternCodePage) {
  // UTF-16LE with its mark: "[A]\nK=é".
  const std::string utf16("\xFF\xFE[\0A\0]\0\n\0K\0=\0\xE9\0", 16);
  EXPECT_EQ(ReadIniString(IniBytesToText(utf16), "A", "K", ""), "\xC3\xA9");
  EXPECT_EQ(IniBytesToText("\xEF\xBB\xBFK=\xC3\xA9"), "K=\xC3\xA9");
  // Windows-1252: e acute and the euro sign.
  EXPECT_EQ(IniBytesToText("K=\xE9\x80"), "K=\xC3\xA9\xE2\x82\xAC");
}

}  // namespace
}  // namespace ombrant
