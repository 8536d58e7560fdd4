#include "platform/sim/simAccounts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/vqSecurity.h"
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
    EXPECT_EQ(StringValue(
                  registry,
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
  EXPECT_EQ(saved,
            (std::vector<std::string>{"C:\\Program Files\\App", "C:\\Program Files\\App\\data",
                                      "C:\\Program Files\\App\\data\\a.ini"}));
  EXPECT_EQ(acls.Write("C:\\Program Files\\Nothing", open), port::kErrorFileNotFound);
  EXPECT_FALSE(acls.SetExplicit("C:\\Program Files", "D:(A;;FA;;;SY"));
}

}  // namespace
}  // namespace ombrant::sim

namespace ombrant::sim {
namespace {

namespace fs = std::filesystem;

void WriteText(const fs::path& file, std::string_view text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

const char* const kGermanMachine =
    "[machine]\n"
    "version=5.1.2600\n"
    "language=de\n"
    "profiles=C:\\Dokumente und Einstellungen\n"
    "running=Admin\n"
    "min_password_length=4\n"
    "[account:Admin]\n"
    "# the one who runs the program\n"
    "password=secret\n"
    "privilege=admin\n"
    "full_name=Der Chef\n"
    "profile=yes\n"
    "[account:Kid]\n"
    "privilege=guest\n"
    "[account:Boss]\n"
    "groups=Administrators, Users\n"
    "[account:Odd]\n"
    "privilege=9\n"
    "flags=0x10202\n"
    "sid=S-1-5-21-1715567821-926492609-725345543-1100\n"
    "[process:12]\n"
    "path=C:\\Programme\\Opera\\opera.exe\n"
    "bits=32\n"
    "account=Kid\n"
    "[acl]\n"
    "# explicit ones\n"
    "C:\\Programme\\Opera=D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)\n"
    "[first-start:C:\\Programme\\Opera\\opera.exe]\n"
    "folder=Anwendungsdaten\\Opera\n";

TEST(SimMachineAccountsFolder, AccountsProcessesAndDaclsLoadAndSaveAsTheyAreNow) {
  SimTempFolder in;
  WriteText(in.Path() / "machine.ini", kGermanMachine);
  WriteText(in.Path() / "drives" / "C" / "Programme" / "Opera" / "opera.exe", "MZ");
  SimFileError error;
  auto machine = SimMachine::Load(in.Path(), &error);
  ASSERT_NE(machine, nullptr) << error.ToString();
  SimAccounts& accounts = machine->AccountDatabase();

  const SimUser* admin = accounts.FindUser("admin");
  ASSERT_NE(admin, nullptr);
  EXPECT_EQ(admin->fullName, "Der Chef");
  EXPECT_TRUE(admin->hasProfile);
  EXPECT_EQ(accounts.FindUser("Kid")->groups, std::vector<std::string>{"Guests"});
  EXPECT_EQ(accounts.FindUser("Boss")->privilege, port::kUserPrivAdmin);
  EXPECT_EQ(accounts.FindUser("Odd")->privilege, 9u);
  EXPECT_EQ(accounts.FindUser("Odd")->Rid(), 1100u);
  EXPECT_EQ(machine->Processes().at(0).account, "Kid");
  port::UserInfo1 shortPassword;
  shortPassword.name = "Admin-online";
  shortPassword.password = "wop";
  EXPECT_EQ(accounts.NetUserAdd("", shortPassword, nullptr), port::kNerrPasswordTooShort);

  // Changes: a new account and the grant on the program's folder.
  port::UserInfo1 info = shortPassword;
  info.password = "wopa";
  info.comment = "Internet usage user";
  info.flags = 0x10200;
  ASSERT_EQ(accounts.NetUserAdd("", info, nullptr), port::kErrorSuccess);
  ASSERT_TRUE(
      vqGrantUserModifyAccess(machine->Security(), "C:\\Programme\\Opera\\", "Admin-online"));
  const std::string sid = accounts.FindUser("Admin-online")->sid;

  SimTempFolder out;
  ASSERT_TRUE(machine->Save(out.Path(), &error)) << error.ToString();
  const std::string ini = ReadText(out.Path() / "machine.ini");
  for (const std::string& part : {
           std::string("[account:Admin]\n# the one who runs the program\npassword=secret\n"
                       "privilege=admin\nfull_name=Der Chef\nprofile=yes\ngroups=Administrators\n"
                       "sid="),
           "[account:Admin-online]\npassword=wopa\nprivilege=user\ncomment=Internet usage user\n"
           "flags=0x10200\ngroups=Users\nsid=" +
               sid + "\n",
           std::string(
               "[process:12]\npath=C:\\Programme\\Opera\\opera.exe\nbits=32\naccount=Kid\n"),
           "[acl]\n# explicit ones\nC:\\Programme\\Opera=D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)"
           "(A;OICI;0x1301bf;;;" +
               sid +
               ")\nC:\\Programme\\Opera\\opera.exe=D:AI(A;ID;FA;;;SY)"
               "(A;ID;FA;;;BA)\n",
           std::string(
               "[first-start:C:\\Programme\\Opera\\opera.exe]\nfolder=Anwendungsdaten\\Opera\n"),
           std::string("min_password_length=4\n"),
       }) {
    EXPECT_NE(ini.find(part), std::string::npos) << part << "\n--- in ---\n" << ini;
  }
  EXPECT_TRUE(fs::exists(out.Path() / "drives" / "C" / "Programme" / "Opera" / "opera.exe"));

  // What was saved loads back to the same machine.
  auto again = SimMachine::Load(out.Path(), &error);
  ASSERT_NE(again, nullptr) << error.ToString();
  EXPECT_EQ(again->AccountDatabase().FindUser("Admin-online")->sid, sid);
  EXPECT_EQ(again->Acls().Explicit("C:\\Programme\\Opera"),
            machine->Acls().Explicit("C:\\Programme\\Opera"));
  SimTempFolder second;
  ASSERT_TRUE(again->Save(second.Path(), &error)) << error.ToString();
  EXPECT_EQ(ReadText(second.Path() / "machine.ini"), ini);
}

TEST(SimMachineAccountsFolder, BadEntriesNameTheirLine) {
  const std::pair<const char*, std::pair<std::size_t, const char*>> cases[] = {
      {"[machine]\nlanguage=fr\n", {2, "language must be en or de"}},
      {"[machine]\nmin_password_length=many\n", {2, "min_password_length"}},
      {"[machine]\n[account:A]\nprivilege=root\n", {3, "expected admin, user or guest"}},
      {"[machine]\n[account:A]\ngroups=Users,Wheel\n", {3, "unknown group \"Wheel\""}},
      {"[machine]\n[account:A]\nprofile=maybe\n", {3, "expected yes or no"}},
      {"[machine]\n[account:A]\ncolour=blue\n", {3, "unknown entry"}},
      {"[machine]\n[account:A]\nsid=S-1-5-21-x\n", {3, "sid must start"}},
      {"[machine]\n[process:x]\npath=C:\\a.exe\n", {2, "[process:ID]"}},
      {"[machine]\n[process:1]\nbits=16\n", {3, "bits must be 32 or 64"}},
      {"[machine]\n[process:1]\nbits=32\n", {2, "needs its path"}},
      {"[machine]\n[process:1]\npath=C:\\a.exe\naccount=Nobody\n", {2, "\"Nobody\""}},
      {"[machine]\n[acl]\n# fine\nC:\\X=D:(A;;FA;;;SY\n", {4, "not a DACL"}},
      {"[machine]\n[acl]\nC:\\X=O:BA\n", {3, "not a DACL"}},
  };
  for (const auto& [text, expected] : cases) {
    SimTempFolder folder;
    WriteText(folder.Path() / "machine.ini", text);
    SimFileError error;
    EXPECT_EQ(SimMachine::Load(folder.Path(), &error), nullptr) << text;
    EXPECT_EQ(error.line, expected.first) << error.ToString();
    EXPECT_NE(error.message.find(expected.second), std::string::npos) << error.ToString();
  }
}

}  // namespace
}  // namespace ombrant::sim
