#include "platform/kvrRegHives.h"

#include <gtest/gtest.h>

#include "platform/kvrRegistry.h"
#include "tests/unit/kvrRegistryTestSupport.h"

namespace ombrant {
namespace {

using namespace port;
using test::Bytes;
using test::Chars;
using test::Utf16;
using test::Utf16Z;
using Lines = std::vector<std::string>;

using HivesTest = test::SimRegistryTest<false>;
using Hives64Test = test::SimRegistryTest<true>;

constexpr const char* kSimKey = "HKEY_CURRENT_USER\\Software\\Kestrova Limited\\Ombrant";
constexpr const char* kKey = "\\Software\\Kestrova Limited\\Ombrant\\";

TEST(HiveFromName, KnowsTheLongAndFourLetterNamesInExactCase) {
  struct Case {
    const char* name;
    HKey root;
  };
  const Case cases[] = {
      {"HKEY_CLASSES_ROOT", kHKeyClassesRoot},
      {"HKCR", kHKeyClassesRoot},
      {"HKEY_CURRENT_USER", kHKeyCurrentUser},
      {"HKCU", kHKeyCurrentUser},
      {"HKEY_LOCAL_MACHINE", kHKeyLocalMachine},
      {"HKLM", kHKeyLocalMachine},
      {"HKEY_USERS", kHKeyUsers},
      {"HKUS", kHKeyUsers},
      {"HKEY_PERFORMANCE_DATA", kHKeyPerformanceData},
      {"HKPD", kHKeyPerformanceData},
      {"HKEY_CURRENT_CONFIG", kHKeyCurrentConfig},
      {"HKCC", kHKeyCurrentConfig},
      {"HKEY_DYN_DATA", kHKeyDynData},
      {"HKDD", kHKeyDynData},
      {"hklm", kNoKey},
      {"Hkey_Local_Machine", kNoKey},
      {"HKU", kNoKey},
      {"HKLM\\", kNoKey},
      {"", kNoKey},
  };
  for (const Case& c : cases) EXPECT_EQ(HiveFromName(c.name), c.root) << c.name;
}

TEST(SplitRegistryValuePath, SplitsHiveKeyPathAndValueName) {
  struct Case {
    const char* path;
    bool ok;
    HKey root;
    const char* keyPath;
    const char* valueName;
  };
  const Case cases[] = {
      {"HKEY_CURRENT_USER\\Software\\A\\B", true, kHKeyCurrentUser, "\\Software\\A\\", "B"},
      {"HKLM\\Software\\A\\", true, kHKeyLocalMachine, "\\Software\\A\\", ""},  // default value
      {"HKEY_CURRENT_USER\\Value", true, kHKeyCurrentUser, "\\", "Value"},
      {"HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main\\Start Page", true,
       kHKeyCurrentUser, "\\Software\\Microsoft\\Internet Explorer\\Main\\", "Start Page"},
      {"HKEY_CURRENT_USER", false, 0, "", ""},
      {"HKU\\Software\\A\\B", false, 0, "", ""},
      {"hkcu\\Software\\A\\B", false, 0, "", ""},
      {"\\Software\\A\\B", false, 0, "", ""},
  };
  for (const Case& c : cases) {
    HKey root = 0xdeadbeef;
    std::string keyPath = "junk";
    std::string valueName = "junk";
    ASSERT_EQ(SplitRegistryValuePath(c.path, root, keyPath, valueName), c.ok) << c.path;
    if (c.ok) {
      EXPECT_EQ(root, c.root) << c.path;
      EXPECT_EQ(keyPath, c.keyPath) << c.path;
      EXPECT_EQ(valueName, c.valueName) << c.path;
    } else {
      EXPECT_EQ(root, 0xdeadbeefu) << c.path;  // untouched
      EXPECT_EQ(keyPath, "junk") << c.path;
      EXPECT_EQ(valueName, "junk") << c.path;
    }
  }
}

TEST_F(HivesTest, AnEmptyListIsStoredAsOneNulAndReadsBackEmpty) {
  ASSERT_TRUE(WriteRegistryStringList(sim_, kHKeyCurrentUser, kKey, "CreatedUsers", {}));
  const auto stored = sim_.GetValue(kSimKey, "CreatedUsers");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->type, kRegMultiSz);
  EXPECT_EQ(stored->data, (Bytes{0, 0}));

  TStringList list{"stale"};
  EXPECT_TRUE(ReadRegistryStringList(sim_, kHKeyCurrentUser, kKey, "CreatedUsers", list));
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(HivesTest, StringListsRoundTripAndASortedListDropsCaseDuplicates) {
  const TStringList written{"Zo\xC3\xAB-online", "anna-online", "Anna-Online"};
  ASSERT_TRUE(WriteRegistryStringList(sim_, kHKeyCurrentUser, kKey, "CreatedUsers", written));
  EXPECT_EQ(sim_.GetValue(kSimKey, "CreatedUsers")->data,
            Utf16(Chars("Zo\xC3\xAB-online\0anna-online\0Anna-Online\0\0")));

  TStringList plain;
  ASSERT_TRUE(ReadRegistryStringList(sim_, kHKeyCurrentUser, kKey, "CreatedUsers", plain));
  EXPECT_EQ(plain.Strings(), written.Strings());

  TStringList sorted;
  sorted.SetSorted(true);
  sorted.SetDuplicates(TDuplicates::dupIgnore);
  ASSERT_TRUE(ReadRegistryStringList(sim_, kHKeyCurrentUser, kKey, "CreatedUsers", sorted));
  EXPECT_EQ(sorted.Strings(), (Lines{"anna-online", "Zo\xC3\xAB-online"}));
  EXPECT_TRUE(sorted.Sorted());
}

TEST_F(HivesTest, OnlyAMultiStringValueIsReadIntoAList) {
  sim_.SetString(kSimKey, "Desktop", "C:\\x.lnk=C:\\x.exe");
  sim_.SetDword(kSimKey, "Programs", 7);
  struct Case {
    const char* keyPath;
    const char* valueName;
  };
  const Case cases[] = {
      {kKey, "Desktop"},
      {kKey, "Programs"},
      {kKey, "Missing"},
      {"\\Software\\Nowhere\\", "Desktop"},
  };
  for (const Case& c : cases) {
    TStringList list{"kept=1", "kept=2"};
    EXPECT_FALSE(ReadRegistryStringList(sim_, kHKeyCurrentUser, c.keyPath, c.valueName, list))
        << c.valueName;
    EXPECT_EQ(list.Strings(), (Lines{"kept=1", "kept=2"})) << c.valueName;
  }
  EXPECT_FALSE(sim_.HasKey("HKEY_CURRENT_USER\\Software\\Nowhere"));
}

TEST_F(HivesTest, ReadRegistryStringTakesStringKindsAsStored) {
  sim_.SetString(kSimKey, "Sz", "admin-online");
  sim_.SetString(kSimKey, "Expand", "%USERPROFILE%\\Application Data", kRegExpandSz);
  sim_.SetMultiString(kSimKey, "Multi", {"a", "b"});
  sim_.SetDword(kSimKey, "Dword", 2);
  sim_.SetValue(kSimKey, "Binary", kRegBinary, {'a', 0, 0, 0});
  struct Case {
    const char* name;
    bool ok;
    const char* narrow;  // ReadRegistryString
    bool wideOk;         // ReadRegistryWideString reads REG_SZ only
  };
  const Case cases[] = {
      {"Sz", true, "admin-online", true},
      {"Expand", true, "%USERPROFILE%\\Application Data", false},
      {"Multi", true, "a\r\nb\r\n", false},
      {"Dword", false, "", false},
      {"Binary", false, "", false},
      {"Missing", false, "", false},
  };
  for (const Case& c : cases) {
    std::string text = "junk";
    EXPECT_EQ(ReadRegistryString(sim_, kHKeyCurrentUser, kKey, c.name, 32, text), c.ok) << c.name;
    EXPECT_EQ(text, c.ok ? c.narrow : "junk") << c.name;
    std::string wide = "junk";
    EXPECT_EQ(ReadRegistryWideString(sim_, kHKeyCurrentUser, kKey, c.name, 32, wide), c.wideOk)
        << c.name;
    EXPECT_EQ(wide, c.wideOk ? c.narrow : "junk") << c.name;
  }
  std::string text = "junk";
  EXPECT_FALSE(ReadRegistryString(sim_, kHKeyCurrentUser, "\\Software\\Nowhere", "Sz", 32, text));
  EXPECT_EQ(text, "junk");
}

TEST_F(HivesTest, ReadingWorksOnAKeyThatOnlyGrantsQueryValue) {
  sim_.SetString(kSimKey, "InternetUser", "admin-online");
  sim_.SetMultiString(kSimKey, "CreatedUsers", {"admin-online"});
  sim_.LimitAccess(kSimKey, kKeyQueryValue);
  std::string user;
  EXPECT_TRUE(ReadRegistryString(sim_, kHKeyCurrentUser, kKey, "InternetUser", 32, user));
  EXPECT_EQ(user, "admin-online");
  TStringList list;
  EXPECT_TRUE(ReadRegistryStringList(sim_, kHKeyCurrentUser, kKey, "CreatedUsers", list));
  EXPECT_EQ(list.Strings(), (Lines{"admin-online"}));
}

TEST_F(HivesTest, WriteRegistryValueWritesTheThreeTextKindsAndCreatesTheKey) {
  struct Case {
    std::uint32_t kind;
    const char* text;
    Bytes stored;
  };
  const Case cases[] = {
      {kRegSz, "admin-online", Utf16Z("admin-online")},
      {kRegExpandSz, "%USERPROFILE%\\x", Utf16Z("%USERPROFILE%\\x")},
      {kRegMultiSz, "a\r\nb\r\n", Utf16(Chars("a\0b\0\0"))},
  };
  for (const Case& c : cases) {
    sim_.DeleteTree(kSimKey);
    ASSERT_TRUE(WriteRegistryValue(sim_, kHKeyCurrentUser, kKey, "V", 32, c.kind, c.text))
        << c.kind;
    const auto stored = sim_.GetValue(kSimKey, "V");
    ASSERT_TRUE(stored) << c.kind;
    EXPECT_EQ(stored->type, c.kind);
    EXPECT_EQ(stored->data, c.stored) << c.kind;
  }

  sim_.DeleteTree(kSimKey);
  EXPECT_FALSE(WriteRegistryValue(sim_, kHKeyCurrentUser, kKey, "V", 32, kRegDword, "1"));
  EXPECT_FALSE(WriteRegistryValue(sim_, kHKeyCurrentUser, kKey, "V", 32, kRegBinary, "1"));
  EXPECT_FALSE(sim_.HasKey(kSimKey));

  EXPECT_TRUE(WriteRegistryString(sim_, kHKeyCurrentUser, kKey, "InternetUser", 32, "bob"));
  EXPECT_EQ(sim_.GetValue(kSimKey, "InternetUser")->data, Utf16Z("bob"));
}

TEST_F(HivesTest, WritesReportFalseWhenTheKeyOrTheValueIsRefused) {
  sim_.SetString(kSimKey, "InternetUser", "old");
  sim_.LimitAccess(kSimKey, kKeyRead);
  EXPECT_FALSE(WriteRegistryString(sim_, kHKeyCurrentUser, kKey, "InternetUser", 32, "new"));
  EXPECT_FALSE(WriteRegistryInteger(sim_, kHKeyCurrentUser, kKey, "Mark", 32, 2));
  EXPECT_FALSE(WriteRegistryStringList(sim_, kHKeyCurrentUser, kKey, "CreatedUsers", {"x"}));
  EXPECT_EQ(sim_.GetValue(kSimKey, "InternetUser")->data, Utf16Z("old"));

  test::FailingWritesRegistry failing(sim_);
  EXPECT_FALSE(WriteRegistryString(failing, kHKeyCurrentUser, "\\Software\\Other\\", "V", 32, "x"));
  EXPECT_FALSE(WriteRegistryInteger(failing, kHKeyCurrentUser, "\\Software\\Other\\", "V", 32, 1));
  EXPECT_FALSE(
      WriteRegistryStringList(failing, kHKeyCurrentUser, "\\Software\\Other\\", "V", {"x"}));
}

TEST_F(Hives64Test, OneShotFunctionsUseTheRequestedView) {
  const char* kUserList = "\\SOFTWARE\\Vendor\\UserList\\";
  ASSERT_TRUE(WriteRegistryInteger(sim_, kHKeyLocalMachine, kUserList, "bob-online", 64, 0));
  ASSERT_TRUE(WriteRegistryInteger(sim_, kHKeyLocalMachine, kUserList, "ann-online", 32, 1));
  const auto in64 = sim_.GetValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\UserList", "bob-online");
  const auto in32 = sim_.GetValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Vendor\\UserList",
                                  "ann-online");
  ASSERT_TRUE(in64 && in32);
  EXPECT_EQ(in64->type, kRegDword);
  EXPECT_EQ(in64->data, (Bytes{0, 0, 0, 0}));
  EXPECT_EQ(in32->data, (Bytes{1, 0, 0, 0}));
  EXPECT_FALSE(sim_.GetValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\UserList", "ann-online"));

  // Selector 0 and anything but 1 mean the 32-bit view.
  sim_.AddKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Only64");
  EXPECT_FALSE(RegistryKeyExists(sim_, kHKeyLocalMachine, "\\SOFTWARE\\Only64\\", 0));
  EXPECT_TRUE(RegistryKeyExists(sim_, kHKeyLocalMachine, "\\SOFTWARE\\Only64\\", 1));
  EXPECT_FALSE(RegistryKeyExists(sim_, kHKeyLocalMachine, "\\SOFTWARE\\Only64\\", 2));

  sim_.SetString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor", "Bits", "64");
  sim_.SetString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Vendor", "Bits", "32");
  std::string bits;
  ASSERT_TRUE(ReadRegistryString(sim_, kHKeyLocalMachine, "\\SOFTWARE\\Vendor\\", "Bits", 64, bits));
  EXPECT_EQ(bits, "64");
  ASSERT_TRUE(
      ReadRegistryWideString(sim_, kHKeyLocalMachine, "\\SOFTWARE\\Vendor\\", "Bits", 32, bits));
  EXPECT_EQ(bits, "32");
}

TEST_F(Hives64Test, GetRegistrySubKeyNamesListsTheKeyInTheChosenView) {
  sim_.AddKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\Native");
  sim_.AddKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Vendor\\Redirected");

  TStringList names{"stale"};
  EXPECT_TRUE(GetRegistrySubKeyNames(sim_, kHKeyLocalMachine, "\\SOFTWARE\\Vendor\\", names, true));
  EXPECT_EQ(names.Strings(), (Lines{"Native"}));
  EXPECT_TRUE(
      GetRegistrySubKeyNames(sim_, kHKeyLocalMachine, "\\SOFTWARE\\Vendor\\", names, false));
  EXPECT_EQ(names.Strings(), (Lines{"Redirected"}));

  // A missing key is no error: the list is just empty.
  names.Add("stale");
  EXPECT_TRUE(GetRegistrySubKeyNames(sim_, kHKeyLocalMachine, "\\SOFTWARE\\Nowhere\\", names, true));
  EXPECT_EQ(names.Count(), 0);
}

}  // namespace
}  // namespace ombrant
