#include "platform/vqStringList.h"

#include <gtest/gtest.h>

namespace ombrant {
namespace {

using Lines = std::vector<std::string>;

TStringList SortedList(TDuplicates duplicates) {
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(duplicates);
  return list;
}

TEST(StringList, SortedListAppliesItsDuplicatesRuleIgnoringCase) {
  struct Case {
    TDuplicates duplicates;
    Lines expected;
  };
  const Case cases[] = {
      {TDuplicates::dupIgnore, {"A", "b", "c"}},
      // Equal lines keep the order they came in.
      {TDuplicates::dupAccept, {"A", "a", "b", "B", "c"}},
  };
  for (const Case& c : cases) {
    TStringList list = SortedList(c.duplicates);
    for (const char* line : {"b", "A", "a", "c", "B"}) list.Add(line);
    EXPECT_EQ(list.Strings(), c.expected) << static_cast<int>(c.duplicates);
  }

  TStringList ignoring = SortedList(TDuplicates::dupIgnore);
  ignoring.Add("Zeta");
  ignoring.Add("alpha");
  EXPECT_EQ(ignoring.Add("ZETA"), 1);  // the index of the line already held
  EXPECT_EQ(ignoring.Count(), 2);

  TStringList strict = SortedList(TDuplicates::dupError);
  strict.Add("b");
  strict.Add("A");
  EXPECT_THROW(strict.Add("a"), EStringListError);
  EXPECT_EQ(strict.Strings(), (Lines{"A", "b"}));
}

TEST(StringList, CaseSensitiveListOrdersByCodePointAndKeepsCaseVariants) {
  TStringList list = SortedList(TDuplicates::dupIgnore);
  list.SetCaseSensitive(true);
  for (const char* line : {"b", "A", "a", "B", "a"}) list.Add(line);
  EXPECT_EQ(list.Strings(), (Lines{"A", "B", "a", "b"}));
  EXPECT_EQ(list.IndexOf("b"), 3);
  EXPECT_EQ(list.IndexOf("c"), -1);

  // Switching back re-sorts, so binary search keeps working.
  list.SetCaseSensitive(false);
  EXPECT_EQ(list.Strings(), (Lines{"A", "a", "B", "b"}));
  EXPECT_EQ(list.IndexOf("b"), 2);
}

TEST(StringList, FindReportsTheFirstMatchOrWhereTheLineWouldGo) {
  TStringList sorted = SortedList(TDuplicates::dupAccept);
  for (const char* line : {"delta", "Bravo", "bravo", "alpha", "M\xC3\xBCller"}) sorted.Add(line);
  // alpha Bravo bravo delta Müller
  int index = -7;
  EXPECT_TRUE(sorted.Find("BRAVO", index));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(sorted.Find("charlie", index));
  EXPECT_EQ(index, 3);
  EXPECT_TRUE(sorted.Find("M\xC3\x9CLLER", index));  // Ü matches ü
  EXPECT_EQ(index, 4);
  EXPECT_FALSE(sorted.Find("zulu", index));
  EXPECT_EQ(index, 5);

  TStringList unsorted{"delta", "Bravo", "alpha"};
  EXPECT_TRUE(unsorted.Find("ALPHA", index));
  EXPECT_EQ(index, 2);
  EXPECT_FALSE(unsorted.Find("charlie", index));
  EXPECT_EQ(index, 3);
  EXPECT_EQ(unsorted.IndexOf("bravo"), 1);
}

TEST(StringList, SwitchingSortedOnSortsAndTagsFollowTheirLines) {
  TStringList list;
  list.AddObject("cmd.exe", 30);
  list.AddObject("Explorer.exe", 10);
  list.AddObject("bash.exe", 20);
  list.SetSorted(true);
  EXPECT_EQ(list.Strings(), (Lines{"bash.exe", "cmd.exe", "Explorer.exe"}));
  EXPECT_EQ(list.Objects(0), 20);
  EXPECT_EQ(list.Objects(1), 30);
  EXPECT_EQ(list.Objects(2), 10);
  list.Delete(0);
  EXPECT_EQ(list.Objects(0), 30);
}

TEST(StringList, AddStringsAppliesTheTargetsRulesAndMayAddAListToItself) {
  TStringList target = SortedList(TDuplicates::dupIgnore);
  target.Add("b");
  target.AddStrings(TStringList{"C", "B", "a"});
  EXPECT_EQ(target.Strings(), (Lines{"a", "b", "C"}));

  TStringList self{"x", "y"};
  self.AddStrings(self);
  EXPECT_EQ(self.Strings(), (Lines{"x", "y", "x", "y"}));
}

TEST(StringList, TextEndsEveryLineWithCrLfAndSplitsOnAnyLineEnd) {
  struct Case {
    const char* text;
    Lines lines;
  };
  const Case cases[] = {
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\r\nb", {"a", "b"}},
      {"a\nb\rc", {"a", "b", "c"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"\r\n", {""}},
      {"\n\r", {"", ""}},  // LF CR is two line ends, CR LF one
      {"", {}},
  };
  for (const Case& c : cases) {
    TStringList list{"old"};
    list.SetText(c.text);
    EXPECT_EQ(list.Strings(), c.lines) << testing::PrintToString(std::string(c.text));
  }

  TStringList list{"a", "", "b=c"};
  EXPECT_EQ(list.Text(), "a\r\n\r\nb=c\r\n");
  EXPECT_EQ(TStringList().Text(), "");
}

TEST(StringList, SettingTextOnASortedListSortsAndDropsDuplicates) {
  TStringList list = SortedList(TDuplicates::dupIgnore);
  list.SetText("zed\r\nAnna\r\nanna\r\nBob\r\n");
  EXPECT_EQ(list.Strings(), (Lines{"Anna", "Bob", "zed"}));
}

TEST(StringList, NameValueViewSplitsAtTheFirstEqualsSign) {
  const TStringList list{"Bookmarks=bookmarks.html", "Start Page=\\Software\\x=y", "no value",
                         "=empty name", "trailing="};
  struct Case {
    int index;
    const char* name;
    const char* value;
  };
  const Case cases[] = {
      {0, "Bookmarks", "bookmarks.html"},
      {1, "Start Page", "\\Software\\x=y"},
      {2, "", ""},
      {3, "", "empty name"},
      {4, "trailing", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(list.Names(c.index), c.name) << c.index;
    EXPECT_EQ(list.ValueFromIndex(c.index), c.value) << c.index;
  }
  EXPECT_EQ(list.IndexOfName("no value"), -1);  // a line without "=" has no name
  EXPECT_EQ(list.IndexOfName("start page"), 1);
  EXPECT_EQ(list.Values("START PAGE"), "\\Software\\x=y");
  EXPECT_EQ(list.Values("missing"), "");
}

TEST(StringList, LookUpByNameIgnoresCaseAndFindsTheFirstLine) {
  TStringList list{"C:\\A\\firefox.exe=Firefox", "c:\\a\\FIREFOX.EXE=Other", "x=1"};
  list.SetCaseSensitive(true);  // name look-ups ignore case all the same
  EXPECT_EQ(list.IndexOfName("c:\\a\\firefox.exe"), 0);
  EXPECT_EQ(list.Values("C:\\A\\FIREFOX.EXE"), "Firefox");

  list.SetValue("C:\\a\\firefox.EXE", "Renamed");
  EXPECT_EQ(list.Strings(),
            (Lines{"C:\\a\\firefox.EXE=Renamed", "c:\\a\\FIREFOX.EXE=Other", "x=1"}));
  list.SetValue("new", "2");
  EXPECT_EQ(list[3], "new=2");
  list.SetValue("X", "");  // an empty value removes the line
  EXPECT_EQ(list.IndexOfName("x"), -1);
  EXPECT_EQ(list.Count(), 3);
}

TEST(StringList, SettingAValueKeepsASortedListInOrder) {
  TStringList list = SortedList(TDuplicates::dupIgnore);
  list.SetText("b=2\r\nc=3\r\n");
  list.SetValue("b", "9");
  list.SetValue("a", "1");
  EXPECT_EQ(list.Strings(), (Lines{"a=1", "b=9", "c=3"}));
}

TEST(StringList, RefusesChangesThatBreakTheOrderAndIndexesOutOfRange) {
  TStringList sorted = SortedList(TDuplicates::dupIgnore);
  sorted.Add("b");
  EXPECT_THROW(sorted.Insert(0, "z"), EStringListError);
  EXPECT_THROW(sorted.Put(0, "z"), EStringListError);
  EXPECT_EQ(sorted.Strings(), (Lines{"b"}));

  TStringList list{"a", "c"};
  list.Insert(1, "b");
  list.Insert(3, "d");
  EXPECT_EQ(list.Strings(), (Lines{"a", "b", "c", "d"}));
  EXPECT_THROW(list.Insert(5, "x"), EStringListError);
  EXPECT_THROW((void)list[4], EStringListError);
  EXPECT_THROW((void)list[-1], EStringListError);
  EXPECT_THROW(list.Delete(4), EStringListError);
  EXPECT_THROW((void)list.Names(4), EStringListError);
  EXPECT_EQ(list.Count(), 4);
}

}  // namespace
}  // namespace ombrant
