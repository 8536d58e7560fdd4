#include "orchestration/UnitOmbrantSettings.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/sim/simRegistry.h"
#include "tests/unit/kvrRegistryTestSupport.h"

namespace ombrant::test {
namespace {

constexpr const char* kKey = "HKEY_CURRENT_USER\\Software\\Kestrova Limited\\Ombrant";
constexpr const char* kRemovedKey =
    "HKEY_CURRENT_USER\\Software\\Kestrova Limited\\Ombrant\\RemovedOriginalLinks";

std::vector<std::string> Lines(const TStringList& list) { return list.Strings(); }

// The strings of a stored REG_MULTI_SZ value, or a note saying what is there instead.
std::vector<std::string> StoredMultiString(const sim::SimRegistry& registry, const char* key,
                                           const char* name) {
  const auto value = registry.GetValue(key, name);
  if (!value) return {"<missing>"};
  if (value->type != port::kRegMultiSz) return {"<type " + std::to_string(value->type) + ">"};
  const std::string text = Utf16LeBytesToUtf8(
      std::string(value->data.begin(), value->data.end()));
  std::vector<std::string> strings;
  std::string current;
  for (char c : text) {
    if (c == '\0') {
      if (current.empty()) break;
      strings.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  return strings;
}

class SettingsStoreTest : public SimRegistryTest<false> {
 protected:
  TOmbrantSettings settings_{sim_};
};

TEST_F(SettingsStoreTest, AFreshSystemHasNothingUntilTheMigrationListOrAWriteCreatesTheKey) {
  EXPECT_EQ(settings_.ReadInternetUser(), "");
  EXPECT_TRUE(settings_.ReadCreatedUsers().Empty());
  EXPECT_TRUE(settings_.ReadLinkList(kRemovedOriginalLinksKey, "Desktop").Empty());
  EXPECT_FALSE(sim_.HasKey(kKey)) << "reading must not create the key";

  EXPECT_FALSE(settings_.IsApplicationMigrated("Opera"));
  EXPECT_TRUE(sim_.HasKey(kKey)) << "looking up a mark creates the key";

  sim_.DeleteTree(kKey);
  ASSERT_TRUE(settings_.WriteInternetUser("george-online"));
  const auto value = sim_.GetValue(kKey, "InternetUser");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->type, port::kRegSz);
  EXPECT_EQ(settings_.ReadInternetUser(), "george-online");
}

TEST_F(SettingsStoreTest, CurrentAccountAcceptsTheStringTypesOnly) {
  struct Case {
    const char* what;
    std::uint32_t type;
    std::string expected;
  };
  const Case cases[] = {
      {"string", port::kRegSz, "anna"},
      {"expandable string made by hand", port::kRegExpandSz, "anna"},
      {"multi-string", port::kRegMultiSz, "anna\r\nbob\r\n"},
      {"DWORD", port::kRegDword, ""},
      {"binary", port::kRegBinary, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    sim_.DeleteTree(kKey);
    if (c.type == port::kRegMultiSz) {
      sim_.SetMultiString(kKey, "InternetUser", {"anna", "bob"});
    } else if (c.type == port::kRegDword) {
      sim_.SetDword(kKey, "InternetUser", 7);
    } else if (c.type == port::kRegBinary) {
      sim_.SetValue(kKey, "InternetUser", port::kRegBinary, Utf16Z("anna"));
    } else {
      sim_.SetString(kKey, "InternetUser", "anna", c.type);
    }
    EXPECT_EQ(settings_.ReadInternetUser(), c.expected);
  }
}

TEST_F(SettingsStoreTest, ListsAreStoredSortedWithoutCaseDuplicates) {
  TStringList names;  // an unsorted caller's list
  names.Add("zoe-online");
  names.Add("Anna-online");
  names.Add("ANNA-ONLINE");
  names.Add("bob");
  ASSERT_TRUE(settings_.WriteCreatedUsers(names));
  EXPECT_EQ(StoredMultiString(sim_, kKey, "CreatedUsers"),
            (std::vector<std::string>{"Anna-online", "bob", "zoe-online"}));

  // A hand-edited value out of order and with a case duplicate reads back in the stored form.
  sim_.SetMultiString(kKey, "CreatedUsers", {"Zed", "anna", "Anna", "bob"});
  TStringList read = settings_.ReadCreatedUsers();
  EXPECT_EQ(Lines(read), (std::vector<std::string>{"anna", "bob", "Zed"}));
  EXPECT_NE(read.Add("BOB"), -1);
  EXPECT_EQ(read.Count(), 3) << "the list read must ignore duplicates ignoring case";

  // An emptied list is written as an empty multi-string, not left behind.
  ASSERT_TRUE(settings_.WriteCreatedUsers(TStringList()));
  EXPECT_EQ(StoredMultiString(sim_, kKey, "CreatedUsers"), std::vector<std::string>{});
  EXPECT_TRUE(settings_.ReadCreatedUsers().Empty());
}

TEST_F(SettingsStoreTest, LinkListsLiveInSubKeysAndOnlyMultiStringsCount) {
  EXPECT_EQ(TOmbrantSettings::SubKeyPath(kRecreatedOriginalLinksKey),
            "\\Software\\Kestrova Limited\\Ombrant\\RecreatedOriginalLinks");

  const std::string line = "C:\\Documents and Settings\\Admin\\Desktop\\Opera.lnk=C:\\Opera\\opera.exe";
  sim_.SetString(kRemovedKey, "Desktop", line);  // a string, not a multi-string
  EXPECT_TRUE(settings_.ReadLinkList(kRemovedOriginalLinksKey, "Desktop").Empty());

  TStringList lines = NewSettingsList();
  lines.Add(line);
  ASSERT_TRUE(settings_.WriteLinkList(kRemovedOriginalLinksKey, "Desktop", lines));
  EXPECT_EQ(StoredMultiString(sim_, kRemovedKey, "Desktop"), std::vector<std::string>{line});
  EXPECT_EQ(Lines(settings_.ReadLinkList(kRemovedOriginalLinksKey, "Desktop")),
            std::vector<std::string>{line});
  EXPECT_TRUE(settings_.ReadLinkList(kRemovedOriginalLinksKey, "QuickLaunch").Empty());
  EXPECT_TRUE(settings_.ReadLinkList(kRecreatedOriginalLinksKey, "Desktop").Empty());
}

TEST_F(SettingsStoreTest, OnlyADwordOfTwoMarksAnApplicationMigrated) {
  struct Case {
    const char* what;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
    bool migrated;
  };
  const Case cases[] = {
      {"DWORD 2", port::kRegDword, {2, 0, 0, 0}, true},
      {"DWORD 1", port::kRegDword, {1, 0, 0, 0}, false},
      {"DWORD 0x102", port::kRegDword, {2, 1, 0, 0}, false},
      {"string 2", port::kRegSz, Utf16Z("2"), false},
      {"binary 2", port::kRegBinary, {2, 0, 0, 0}, false},
      {"short DWORD", port::kRegDword, {2, 0}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    sim_.SetValue(kKey, "Mozilla Firefox", c.type, c.data);
    EXPECT_EQ(settings_.IsApplicationMigrated("Mozilla Firefox"), c.migrated);
    EXPECT_EQ(settings_.IsApplicationMigrated("mozilla firefox"), c.migrated)
        << "value names ignore case";
    EXPECT_FALSE(settings_.IsApplicationMigrated("Opera"));
  }
}

TEST_F(SettingsStoreTest, UnreadableKeysReadAsEmptyAndRefusedWritesReportFalse) {
  sim_.SetString(kKey, "InternetUser", "anna");
  sim_.SetMultiString(kKey, "CreatedUsers", {"anna"});
  sim_.LimitAccess(kKey, 0);
  EXPECT_EQ(settings_.ReadInternetUser(), "");
  EXPECT_TRUE(settings_.ReadCreatedUsers().Empty());

  sim_.LimitAccess(kKey, port::kKeyAllAccess);
  FailingWritesRegistry failing(sim_);
  TOmbrantSettings refused(failing);
  EXPECT_FALSE(refused.WriteInternetUser("bob"));
  EXPECT_FALSE(refused.WriteCreatedUsers(TStringList{"bob"}));
  EXPECT_EQ(settings_.ReadInternetUser(), "anna");
  EXPECT_EQ(Lines(settings_.ReadCreatedUsers()), std::vector<std::string>{"anna"});
}

}  // namespace
}  // namespace ombrant::test
