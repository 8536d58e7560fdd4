// The INI reader and writer of the machine folder.
#include <gtest/gtest.h>

#include "platform/sim/simIni.h"

namespace ombrant::sim {
namespace {

TEST(Ini, ReadsSectionsEntriesAndComments) {
  const std::string text =
      "\xEF\xBB\xBF; machine description\r\n"
      "[machine]\r\n"
      "version = 5.1.2600\r\n"
      "\r\n"
      "# a comment inside\n"
      "empty=\n"
      "[acl]\n"
      "C:\\Program Files=D:PAI(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)\n"
      "url=a=b\n"
      "URL=second\n";
  IniFile ini;
  SimFileError error;
  ASSERT_TRUE(ParseIni(text, "machine.ini", &ini, &error)) << error.ToString();
  EXPECT_EQ(ini.leadingComments, std::vector<std::string>{"; machine description"});
  ASSERT_EQ(ini.sections.size(), 2u);
  const IniSection* machine = ini.Find("MACHINE");
  ASSERT_NE(machine, nullptr);
  EXPECT_EQ(machine->line, 2u);
  EXPECT_EQ(machine->Get("Version"), "5.1.2600");
  EXPECT_EQ(machine->Find("version")->line, 3u);
  EXPECT_EQ(machine->Get("empty"), "");
  EXPECT_EQ(machine->Get("missing"), std::nullopt);
  const IniSection* acl = ini.Find("acl");
  // The first "=" separates; ";" inside a value is no comment; the first of two names counts.
  EXPECT_EQ(acl->Get("C:\\Program Files"), "D:PAI(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)");
  EXPECT_EQ(acl->Get("url"), "a=b");

  EXPECT_EQ(WriteIni(ini),
            "; machine description\n"
            "\n"
            "[machine]\n"
            "version=5.1.2600\n"
            "# a comment inside\n"
            "empty=\n"
            "\n"
            "[acl]\n"
            "C:\\Program Files=D:PAI(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)\n"
            "url=a=b\n"
            "URL=second\n");
}

TEST(Ini, RejectsMalformedLinesNamingThem) {
  struct Case {
    const char* text;
    std::size_t line;
    const char* message;
  };
  const Case cases[] = {
      {"name=value\n", 1, "outside of any section"},
      {"[a]\nno equals sign\n", 2, "expected [section]"},
      {"[a]\n\n=value\n", 3, "empty name"},
      {"[a\n", 1, "closing ']'"},
      {"[ ]\n", 1, "empty section name"},
      {"[account:Admin]\nx=1\n[Account:admin]\n", 3, "appears twice (first on line 1)"},
  };
  for (const Case& c : cases) {
    IniFile ini;
    ini.leadingComments.push_back("; untouched");
    SimFileError error;
    EXPECT_FALSE(ParseIni(c.text, "m.ini", &ini, &error)) << c.text;
    EXPECT_EQ(error.line, c.line) << c.text;
    EXPECT_NE(error.ToString().find(c.message), std::string::npos) << error.ToString();
    EXPECT_EQ(error.ToString().rfind("m.ini, line ", 0), 0u) << error.ToString();
    EXPECT_EQ(ini.leadingComments.size(), 1u);
  }
}

TEST(Ini, SetReplacesInPlaceAndRemoveDropsEveryCopy) {
  IniSection section{"s", 0, {{"a", "1"}, {"", "; note", true}, {"b", "2"}, {"A", "3"}}};
  section.Set("A", "x");
  section.Set("c", "4");
  EXPECT_EQ(WriteIni(IniFile{{}, {section}}), "[s]\na=x\n; note\nb=2\nA=3\nc=4\n");
  EXPECT_TRUE(section.Remove("a"));
  EXPECT_FALSE(section.Remove("a"));
  EXPECT_EQ(WriteIni(IniFile{{}, {section}}), "[s]\n; note\nb=2\nc=4\n");
}

}  // namespace
}  // namespace ombrant::sim
