#include "platform/sim/simAccounts.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/vqStrings.h"
#include "tests/unit/accountsTestMachine.h"

namespace ombrant::sim {
namespace {

using test::AccountsTestMachine;
using test::MachineFlavour;

port::UserInfo1 NewUser(std::string name, std::string password = "wopa") {
  port::UserInfo1 info;
  info.name = std::move(name);
  info.password = std::move(password);
  info.priv = port::kUserPrivUser;
  info.comment = "Internet usage user";
  info.flags = port::kUfNormalAccount | port::kUfDontExpirePasswd;
  return info;
}

std::string StringValue(SimRegistry& registry, const std::string& key, const std::string& name) {
  const std::optional<SimValue> value = registry.GetValue(key, name);
  if (!value) return "(missing)";
  return Utf16LeBytesToUtf8(std::string(value->data.begin(), value->data.end())).c_str();
}

TEST(SimAccounts, NetUserAddAnswersWithTheSystemsCodes) {
  struct Case {
    const char* what;
    std::function<void(AccountsTestMachine&)> setup;
    port::UserInfo1 info;
    port::Status status;
  };
  auto none = [](AccountsTestMachine&) {};
  port::UserInfo1 admin = NewUser("Bob");
  admin.priv = port::kUserPrivAdmin;
  const Case cases[] = {
      {"new account", none, NewUser("Admin-online"), port::kErrorSuccess},
      {"taken, other case", none, NewUser("ANNA"), port::kNerrUserExists},
      {"a local group's name", none, NewUser("Users"), port::kErrorAliasExists},
      {"password below the minimum",
       [](AccountsTestMachine& m) { m.Accounts().Settings().minPasswordLength = 6; },
       NewUser("Bob"), port::kNerrPasswordTooShort},
      {"bad character", none, NewUser("Bob/Alice"), port::kNerrBadUsername},
      {"only dots", none, NewUser("..."), port::kNerrBadUsername},
      {"21 characters", none, NewUser("abcdefghijklmnopqrstu"), port::kNerrBadUsername},
      {"empty", none, NewUser(""), port::kNerrBadUsername},
      {"run by a standard user", [](AccountsTestMachine& m) { m.RunAs("Anna"); }, NewUser("Bob"),
       port::kErrorAccessDenied},
      {"administrator at level 1", none, admin, port::kErrorInvalidParameter},
  };
  for (const Case& c : cases) {
    AccountsTestMachine machine;
    c.setup(machine);
    std::uint32_t parmError = 0xdeadbeef;
    EXPECT_EQ(machine.Accounts().NetUserAdd("", c.info, &parmError), c.status) << c.what;
    EXPECT_EQ(machine.Accounts().FindUser(c.info.name) != nullptr &&
                  machine.Accounts().FindUser(c.info.name)->comment == "Internet usage user",
              c.status == port::kErrorSuccess)
        << c.what;
    EXPECT_EQ(parmError, c.status == port::kErrorInvalidParameter ? 5u : 0xdeadbeef) << c.what;
  }
  AccountsTestMachine machine;
  EXPECT_EQ(machine.Accounts().NetUserAdd("\\\\ELSEWHERE", NewUser("Bob"), nullptr),
            port::kNerrInvalidComputer);
  EXPECT_EQ(machine.Accounts().NetUserAdd("\\\\OMBRANT-PC", NewUser("Bob"), nullptr),
            port::kErrorSuccess);
}

TEST(SimAccounts, NewAccountsAreUsersAndGroupsGoByTheirLocalNames) {
  for (const MachineFlavour* flavour : {&test::kXpEnglish, &test::kXpGerman}) {
    SCOPED_TRACE(flavour->name);
    AccountsTestMachine machine(*flavour);
    SimAccounts& accounts = machine.Accounts();
    ASSERT_EQ(accounts.NetUserAdd("", NewUser("Admin-online"), nullptr), port::kErrorSuccess);
    const bool german = flavour->language == std::string("de");
    const char* users = german ? "Benutzer" : "Users";
    const char* admins = german ? "Administratoren" : "Administrators";
    // Windows puts a new account into Users by itself.
    EXPECT_EQ(accounts.NetLocalGroupAddMembers("", users, {"Admin-online"}),
              port::kErrorMemberInAlias);
    EXPECT_EQ(accounts.NetLocalGroupAddMembers("", german ? "Users" : "Benutzer", {"Admin-online"}),
              port::kNerrGroupNotFound);
    EXPECT_EQ(accounts.NetLocalGroupAddMembers("", users, {"Nobody"}), port::kErrorNoSuchMember);
    port::UserInfo3 info;
    ASSERT_EQ(accounts.NetUserGetInfo("", "admin-online", &info), port::kErrorSuccess);
    EXPECT_EQ(info.priv, port::kUserPrivUser);
    EXPECT_EQ(info.flags, port::kUfNormalAccount | port::kUfDontExpirePasswd);
    EXPECT_EQ(info.comment, "Internet usage user");

    machine.RunAs("Anna");
    EXPECT_EQ(accounts.NetLocalGroupAddMembers("", admins, {"Admin-online"}),
              port::kErrorAccessDenied);
    machine.RunAs("Admin");
    EXPECT_EQ(accounts.NetLocalGroupAddMembers("", admins, {"OMBRANT-PC\\Admin-online"}),
              port::kErrorSuccess);
    ASSERT_EQ(accounts.NetUserGetInfo("", "Admin-online", &info), port::kErrorSuccess);
    EXPECT_EQ(info.priv, port::kUserPrivAdmin);
  }
}

TEST(SimAccounts, EnumeratesByNameAndDeletes) {
  AccountsTestMachine machine;
  SimAccounts& accounts = machine.Accounts();
  ASSERT_EQ(accounts.NetUserAdd("", NewUser("bob"), nullptr), port::kErrorSuccess);
  std::vector<port::UserInfo3> users;
  ASSERT_EQ(accounts.NetUserEnum("", port::kFilterAll, &users), port::kErrorSuccess);
  std::vector<std::string> names;
  for (const port::UserInfo3& u : users) names.push_back(u.name);
  EXPECT_EQ(names, (std::vector<std::string>{"Admin", "Anna", "bob", "Guest"}));
  EXPECT_EQ(users[3].priv, port::kUserPrivGuest);
  EXPECT_EQ(users[3].userId, 501u);

  machine.RunAs("Anna");
  EXPECT_EQ(accounts.NetUserDel("", "bob"), port::kErrorAccessDenied);
  machine.RunAs("Admin");
  EXPECT_EQ(accounts.NetUserDel("", "BOB"), port::kErrorSuccess);
  EXPECT_EQ(accounts.NetUserDel("", "bob"), port::kNerrUserNotFound);
  port::UserInfo3 info;
  info.name = "untouched";
  EXPECT_EQ(accounts.NetUserGetInfo("", "bob", &info), port::kNerrUserNotFound);
  EXPECT_EQ(info.name, "untouched");
}

TEST(SimAccounts, LogonChecksThePassword) {
  AccountsTestMachine machine;
  SimAccounts& accounts = machine.Accounts();
  struct Case {
    const char* user;
    const char* domain;
    const char* password;
    port::Status status;
  };
  const Case cases[] = {
      {"Anna", "", "wopa", port::kErrorSuccess},
      {"anna", ".", "wopa", port::kErrorSuccess},
      {"Anna", "OMBRANT-PC", "wopa", port::kErrorSuccess},
      {"Anna", "", "WOPA", port::kErrorLogonFailure},
      {"Anna", "OTHER", "wopa", port::kErrorLogonFailure},
      {"Nobody", "", "wopa", port::kErrorLogonFailure},
      {"Guest", "", "", port::kErrorAccountDisabled},
  };
  for (const Case& c : cases) {
    port::HToken token = 0xdead;
    EXPECT_EQ(accounts.LogonUser(c.user, c.domain, c.password, port::kLogon32LogonInteractive,
                                 port::kLogon32ProviderDefault, &token),
              c.status)
        << c.user << " " << c.password;
    if (c.status == port::kErrorSuccess) {
      EXPECT_NE(token, port::kNoToken);
      EXPECT_EQ(accounts.CloseHandle(token), port::kErrorSuccess);
      EXPECT_EQ(accounts.CloseHandle(token), port::kErrorInvalidHandle);
    } else {
      EXPECT_EQ(token, 0xdeadu);
    }
  }
  EXPECT_EQ(accounts.OpenTokenCount(), 0u);
}

struct ProfileCase {
  const MachineFlavour* flavour;
  const char* appData;
  const char* programs;
};

TEST(SimAccounts, LoadingAProfileCreatesItOnceAndKeepsItsData) {
  const ProfileCase cases[] = {
      {&test::kXpEnglish, "C:\\Documents and Settings\\Anna\\Application Data",
       "C:\\Documents and Settings\\Anna\\Start Menu\\Programs"},
      {&test::kXpGerman, "C:\\Dokumente und Einstellungen\\Anna\\Anwendungsdaten",
       "C:\\Dokumente und Einstellungen\\Anna\\Startmenü\\Programme"},
      {&test::kVista, "C:\\Users\\Anna\\AppData\\Roaming",
       "C:\\Users\\Anna\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"},
      {&test::kSeven64, "C:\\Users\\Anna\\AppData\\Roaming",
       "C:\\Users\\Anna\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"},
  };
  for (const ProfileCase& c : cases) {
    SCOPED_TRACE(c.flavour->name);
    AccountsTestMachine machine(*c.flavour);
    SimAccounts& accounts = machine.Accounts();
    SimRegistry& registry = machine.Registry();
    const std::string sid = machine.SidOf("Anna");
    const std::string profile = std::string(c.flavour->profiles) + "\\Anna";
    port::HToken token = 0;
    ASSERT_EQ(accounts.LogonUser("Anna", "", "wopa", 2, 0, &token), port::kErrorSuccess);

    port::ProfileInfo info;
    info.userName = "Anna";
    ASSERT_EQ(accounts.LoadUserProfile(token, &info), port::kErrorSuccess);
    ASSERT_NE(info.profile, port::kNoKey);
    EXPECT_TRUE(machine.Files().IsFolder(c.appData));
    EXPECT_TRUE(machine.Files().IsFolder(c.programs));
    EXPECT_TRUE(machine.Files().IsFolder(std::string(c.appData) +
                                         "\\Microsoft\\Internet Explorer\\Quick Launch"));
    const std::string hive = "HKEY_USERS\\" + sid;
    EXPECT_EQ(StringValue(registry,
                          hive + "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                          "AppData"),
              c.appData);
    EXPECT_EQ(StringValue(registry, hive + "\\Environment", "APPDATA"), "(missing)");
    EXPECT_EQ(machine.Acls().Explicit(profile),
              "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" + sid + ")");

    // The handle is the hive's root: write through it, unload, load again.
    port::HKey environment = port::kNoKey;
    ASSERT_EQ(registry.RegCreateKeyEx(info.profile, "Environment", port::kKeyAllAccess,
                                      &environment, nullptr),
              port::kErrorSuccess);
    const std::string data = Utf8ToUtf16LeBytes("%USERPROFILE%\\Application Data") + '\0' + '\0';
    ASSERT_EQ(registry.RegSetValueEx(environment, "APPDATA", port::kRegExpandSz,
                                     reinterpret_cast<const std::uint8_t*>(data.data()),
                                     static_cast<std::uint32_t>(data.size())),
              port::kErrorSuccess);
    ASSERT_EQ(registry.RegCloseKey(environment), port::kErrorSuccess);
    machine.Files().AddFile(std::string(c.appData) + "\\kept.txt", "x");
    ASSERT_EQ(accounts.UnloadUserProfile(token, info.profile), port::kErrorSuccess);
    EXPECT_FALSE(registry.HasKey(hive));
    EXPECT_EQ(accounts.UnloadUserProfile(token, info.profile), port::kErrorInvalidParameter);

    port::ProfileInfo again;
    again.userName = "Anna";
    ASSERT_EQ(accounts.LoadUserProfile(token, &again), port::kErrorSuccess);
    EXPECT_EQ(StringValue(registry, hive + "\\Environment", "APPDATA"),
              "%USERPROFILE%\\Application Data");
    EXPECT_TRUE(machine.Files().Exists(std::string(c.appData) + "\\kept.txt"));
    ASSERT_EQ(accounts.UnloadUserProfile(token, again.profile), port::kErrorSuccess);
    ASSERT_EQ(accounts.CloseHandle(token), port::kErrorSuccess);
    EXPECT_EQ(accounts.LoadedProfileCount(), 0u);
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
  }
}

TEST(SimAccounts, ProfileLoadingFailsAsWindowsDoes) {
  AccountsTestMachine machine;
  SimAccounts& accounts = machine.Accounts();
  // A folder of the account's name that is no profile of it: the profile goes beside it.
  machine.Files().AddFolder("C:\\Documents and Settings\\Anna");
  port::HToken token = 0;
  ASSERT_EQ(accounts.LogonUser("Anna", "", "wopa", 2, 0, &token), port::kErrorSuccess);
  port::ProfileInfo info;
  EXPECT_EQ(accounts.LoadUserProfile(token, &info), port::kErrorInvalidParameter);  // no name
  EXPECT_EQ(accounts.LoadUserProfile(token + 1, &info), port::kErrorInvalidHandle);
  info.userName = "Anna";
  ASSERT_EQ(accounts.LoadUserProfile(token, &info), port::kErrorSuccess);
  EXPECT_EQ(accounts.FindUser("Anna")->profilePath, "C:\\Documents and Settings\\Anna.OMBRANT-PC");
  EXPECT_TRUE(machine.Files().IsFolder("C:\\Documents and Settings\\Anna.OMBRANT-PC\\Desktop"));
  EXPECT_EQ(accounts.UnloadUserProfile(token, info.profile), port::kErrorSuccess);

  accounts.Settings().hasProfileFunctions = false;
  EXPECT_EQ(accounts.BindProfileFunction("LoadUserProfileA"), port::kErrorProcNotFound);
  EXPECT_EQ(accounts.LoadUserProfile(token, &info), port::kErrorProcNotFound);
  accounts.Settings().hasUserenv = false;
  EXPECT_EQ(accounts.BindProfileFunction("UnloadUserProfile"), port::kErrorModNotFound);
  EXPECT_EQ(accounts.CloseHandle(token), port::kErrorSuccess);
}

TEST(SimAccounts, AccountSectionsLoadAndSaveAsTheMachineFileHoldsThem) {
  AccountsTestMachine machine;
  SimAccounts& accounts = machine.Accounts();
  std::string error;
  ASSERT_TRUE(accounts.LoadAccountSection(
      "George", {{"password", "pw"}, {"privilege", "admin"}, {"full_name", "George S."},
                 {"comment", "c"}, {"flags", "0x10200"}, {"groups", "Administrators, Users"},
                 {"sid", "S-1-5-21-7-8-9-1005"}, {"profile", "yes"}},
      &error))
      << error;
  // The first explicit SID names the machine.
  EXPECT_EQ(accounts.Settings().machineSid, "S-1-5-21-7-8-9");
  EXPECT_EQ(machine.SidOf("Anna").rfind("S-1-5-21-7-8-9-", 0), 0u);
  const SimUser* george = accounts.FindUser("george");
  ASSERT_NE(george, nullptr);
  EXPECT_EQ(accounts.SaveAccountSection(*george),
            (SimIniEntries{{"password", "pw"}, {"privilege", "admin"}, {"full_name", "George S."},
                           {"comment", "c"}, {"flags", "0x10200"},
                           {"groups", "Administrators,Users"}, {"sid", "S-1-5-21-7-8-9-1005"},
                           {"profile", "yes"}}));
  EXPECT_EQ(george->profilePath, "C:\\Documents and Settings\\George");

  // Without privilege or groups one follows from the other; without a SID the RID follows
  // from the name alone.
  ASSERT_TRUE(accounts.LoadAccountSection("Kid", {{"privilege", "guest"}}, &error)) << error;
  EXPECT_EQ(accounts.FindUser("Kid")->groups, std::vector<std::string>{"Guests"});
  ASSERT_TRUE(accounts.LoadAccountSection("Boss", {{"groups", "administrators"}}, &error));
  EXPECT_EQ(accounts.FindUser("Boss")->privilege, port::kUserPrivAdmin);
  AccountsTestMachine other;
  ASSERT_TRUE(other.Accounts().LoadAccountSection("Boss", {}, &error));
  EXPECT_EQ(other.Accounts().FindUser("Boss")->rid, accounts.FindUser("Boss")->rid);

  const std::pair<std::string, SimIniEntries> bad[] = {
      {"X1", {{"privilege", "root"}}},
      {"X2", {{"groups", "Wheel"}}},
      {"X3", {{"sid", "S-1-5-21-1-2-3-1006"}}},  // another machine's
      {"X4", {{"sid", "S-1-5-21-7-8-9-1005"}}},  // George's
      {"X5", {{"profile", "maybe"}}},
      {"X6", {{"colour", "blue"}}},
      {"Anna", {}},
      {"a/b", {}},
  };
  for (const auto& [name, entries] : bad) {
    error.clear();
    EXPECT_FALSE(accounts.LoadAccountSection(name, entries, &error)) << name;
    EXPECT_NE(error.find(name), std::string::npos) << error;
  }
}

TEST(SimFileAcls, AWriteFixesTheListsOfWhatIsBelowAndSavesExplicitOnes) {
  AccountsTestMachine machine;
  machine.Files().AddFile("C:\\Program Files\\App\\data\\a.ini", "");
  SimFileAcls& acls = machine.Acls();
  SecurityParts before;
  ASSERT_EQ(acls.Effective("C:\\Program Files\\App\\data\\a.ini", &before), port::kErrorSuccess);
  const std::string inheritedFile = FormatSddl(before, port::kDaclSecurityInformation, "");

  SecurityParts open;
  ASSERT_EQ(ParseSddl("D:P(A;OICI;FA;;;WD)", "", &open), port::kErrorSuccess);
  ASSERT_EQ(acls.Write("C:\\Program Files\\App\\", open), port::kErrorSuccess);
  EXPECT_EQ(acls.Explicit("c:\\program files\\app\\data\\A.INI"), inheritedFile);
  machine.Files().AddFile("C:\\Program Files\\App\\b.ini", "");
  SecurityParts after;
  ASSERT_EQ(acls.Effective("C:\\Program Files\\App\\b.ini", &after), port::kErrorSuccess);
  EXPECT_EQ(FormatSddl(after, port::kDaclSecurityInformation, ""), "D:AI(A;ID;FA;;;WD)");

  std::vector<std::string> saved;
  for (const auto& [path, sddl] : acls.SaveEntries()) saved.push_back(path);
  EXPECT_EQ(saved, (std::vector<std::string>{"C:\\Program Files\\App",
                                              "C:\\Program Files\\App\\data",
                                              "C:\\Program Files\\App\\data\\a.ini"}));
  EXPECT_EQ(acls.Write("C:\\Program Files\\Nothing", open), port::kErrorFileNotFound);
  EXPECT_FALSE(acls.SetExplicit("C:\\Program Files", "D:(A;;FA;;;SY"));
}

}  // namespace
}  // namespace ombrant::sim
