// The migration engine on a simulated XP machine: the administrator "Admin" migrates into the
// loaded profile of the standard user "Anna".
#include "catalogue/kvrMigration.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>

#include "catalogue/kvrUserProfile.h"
#include "platform/vqSecurity.h"
#include "platform/vqStrings.h"
#include "migrationTestApp.h"
#include "tests/unit/accountsTestMachine.h"

namespace ombrant::test {
namespace {

constexpr const char* kAdminData = "C:\\Documents and Settings\\Admin\\Application Data\\Mail\\";
constexpr const char* kAnnaData = "C:\\Documents and Settings\\Anna\\Application Data\\Mail\\";
constexpr const char* kExe = "C:\\Program Files\\Mail\\mail.exe";

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

// Every file below a folder with its bytes: the administrator's data must stay as they were.
std::map<std::string, std::string> Snapshot(sim::SimFileSystem& files, const std::string& folder) {
  std::map<std::string, std::string> result;
  std::function<void(const std::string&)> walk = [&](const std::string& dir) {
    port::FindData data;
    port::HFind find = port::kInvalidFind;
    if (files.FindFirstFile(dir + "\\*", &data, &find) != port::kErrorSuccess) return;
    do {
      if (data.name == "." || data.name == "..") continue;
      const std::string path = dir + "\\" + data.name;
      if (data.attributes & port::kFileAttributeDirectory) {
        walk(path);
      } else {
        result[path] = files.ReadFile(path).value_or("<unreadable>");
      }
    } while (files.FindNextFile(find, &data) == port::kErrorSuccess);
    (void)files.FindClose(find);
  };
  walk(folder);
  return result;
}

class MigrationTest : public ::testing::Test {
 protected:
  MigrationTest() {
    Files().AddFile(std::string(kAdminData) + "accounts.ini", "[Account]\nName=admin\n");
    Files().AddFile(std::string(kAdminData) + "mail\\inbox.mbx", "From: a\n");
    Files().AddFile(std::string(kAdminData) + "mail\\deep\\sent.mbx", "From: b\n");
    app_.dataItems.SetText("Accounts=accounts.ini\nInbox=mail\\inbox.mbx\n"
                           "Sent=mail\\deep\\sent.mbx\nMissing=gone.txt\nFolder=mail\n");
    // The profile is loaded as the migration page loads it.
    EXPECT_TRUE(token_.Logon("Anna", "", "wopa", port::kLogon32LogonInteractive,
                             port::kLogon32ProviderDefault));
    profile_.emplace(functions_, token_.Get());
    EXPECT_TRUE(profile_->Load("Anna"));
    annaHive_ = "HKEY_USERS\\" + m_.SidOf("Anna");
  }

  sim::SimFileSystem& Files() { return m_.Files(); }
  void Migrate() { MigrateSettings(m_.Port(), app_, "Anna", profile_->Info()); }
  [[nodiscard]] std::optional<std::string> AnnaFile(const std::string& file) {
    return Files().ReadFile(std::string(kAnnaData) + file);
  }
  void StartProcess(const std::string& path) {
    sim::SimProcess process;
    process.id = 700;
    process.path = path;
    m_.Machine().Processes().push_back(process);
  }

  AccountsTestMachine m_;
  TMigrationTestApp app_{m_.Port(), "C:\\Documents and Settings", "Test Mail", kExe, "Mail"};
  TUserProfileFunctions functions_{m_.Accounts()};
  TLogonToken token_{m_.Accounts()};
  std::optional<TLoadedUserProfile> profile_;
  std::string annaHive_;
};

TEST_F(MigrationTest, CopiesFilesKeysAndValuesAndLeavesTheSourceAlone) {
  sim::SimRegistry& reg = m_.Registry();
  reg.SetString("HKEY_CURRENT_USER\\Software\\Mail\\Accounts\\1", "Server", "mail.example");
  reg.SetString("HKEY_CURRENT_USER\\Software\\Mail\\Accounts\\1\\Sub", "Port", "110");
  reg.SetString("HKEY_CURRENT_USER\\Software\\Mail\\Accounts\\1", "Kept", "admin's");
  reg.SetString(annaHive_ + "\\Software\\Mail\\Accounts\\1", "Kept", "anna's");
  reg.SetString("HKEY_CURRENT_USER\\Software\\Mail\\Main", "Start Page", "home");
  reg.SetString("HKEY_CURRENT_USER\\Software\\Mail\\Other", "Unrelated", "x");
  app_.registryKeys.SetText("Account=\\Software\\Mail\\Accounts\\1\\\nNone=\\Software\\No\\\n");
  app_.registryValues.SetText(
      "Start=\\Software\\Mail\\Main\\Start Page\nAbsent=\\Software\\Mail\\Other\\Nope\n");
  const auto before = Snapshot(Files(), "C:\\Documents and Settings\\Admin");
  const auto hkcuBefore = reg.GetValue("HKEY_CURRENT_USER\\Software\\Mail\\Accounts\\1", "Kept");

  Migrate();

  EXPECT_EQ(AnnaFile("accounts.ini"), "[Account]\nName=admin\n");
  EXPECT_EQ(AnnaFile("mail\\inbox.mbx"), "From: a\n");
  EXPECT_EQ(AnnaFile("mail\\deep\\sent.mbx"), "From: b\n");
  EXPECT_FALSE(AnnaFile("gone.txt").has_value());
  ASSERT_EQ(app_.adjusted.size(), 3u);
  EXPECT_EQ(app_.adjusted[0], std::string(kAdminData) + "|" + kAnnaData + "|accounts.ini");
  EXPECT_EQ(app_.adjusted[2], std::string(kAdminData) + "|" + kAnnaData + "|mail\\deep\\sent.mbx");

  const std::string key = annaHive_ + "\\Software\\Mail\\Accounts\\1";
  EXPECT_EQ(reg.GetValue(key, "Server")->data, reg.GetValue(
      "HKEY_CURRENT_USER\\Software\\Mail\\Accounts\\1", "Server")->data);
  EXPECT_TRUE(reg.GetValue(key + "\\Sub", "Port").has_value());
  EXPECT_EQ(reg.GetValue(key, "Kept")->data, Bytes(Utf8ToUtf16LeBytes("anna's") + '\0' + '\0'));
  EXPECT_NE(reg.GetValue(key, "Kept")->data, hkcuBefore->data) << "the target keeps its value";
  EXPECT_TRUE(reg.GetValue(annaHive_ + "\\Software\\Mail\\Main", "Start Page").has_value());
  EXPECT_FALSE(reg.HasKey(annaHive_ + "\\Software\\No"));
  EXPECT_FALSE(reg.HasKey(annaHive_ + "\\Software\\Mail\\Other"))
      << "no target key for a value the source lacks";

  EXPECT_EQ(app_.afterMigrationCalls, 1);
  EXPECT_EQ(app_.profileUserDuringAfterMigration, "Anna");
  EXPECT_EQ(app_.TargetProfile().userName, "");
  EXPECT_EQ(app_.TargetProfile().profile, port::kNoKey);
  EXPECT_EQ(Snapshot(Files(), "C:\\Documents and Settings\\Admin"), before);
  EXPECT_EQ(reg.GetValue("HKEY_CURRENT_USER\\Software\\Mail\\Accounts\\1", "Kept")->data,
            hkcuBefore->data);
  EXPECT_TRUE(m_.Machine().Ui().Boxes().empty());
}

// When the folder tests let the copy go ahead, and how often AfterMigration runs.
TEST(MigrationDecisions, FolderTestsDecideTheCopy) {
  struct Case {
    const char* name;
    bool adminHasData;
    bool annaHasData;
    bool force;
    bool alwaysRun;
    bool noFolders;
    bool copied;
    int afterMigration;
  };
  const Case cases[] = {
      {"admin data only", true, false, false, false, false, true, 1},
      {"both have data", true, true, false, false, false, false, 1},
      {"both, forced", true, true, true, false, false, true, 1},
      {"no admin data", false, false, false, false, false, false, 1},
      {"no admin data, forced", false, true, true, false, false, false, 1},
      {"no folders", true, false, false, false, true, false, 0},
      {"no folders, always run", true, false, false, true, true, false, 1},
      {"both, always run", true, true, false, true, false, false, 1},
  };
  for (const Case& c : cases) {
    AccountsTestMachine m;
    TMigrationTestApp app(m.Port(), "C:\\Documents and Settings", "Test Mail", kExe, "Mail");
    app.dataItems.SetText("Accounts=accounts.ini\n");
    app.forceCopy = c.force;
    app.alwaysRunAfterMigration = c.alwaysRun;
    app.noDataFolders = c.noFolders;
    if (c.adminHasData) m.Files().AddFile(std::string(kAdminData) + "accounts.ini", "admin");
    if (c.annaHasData) m.Files().AddFile(std::string(kAnnaData) + "accounts.ini", "anna");
    port::ProfileInfo profile;
    profile.userName = "Anna";
    MigrateSettings(m.Port(), app, "Anna", profile);
    const auto anna = m.Files().ReadFile(std::string(kAnnaData) + "accounts.ini");
    EXPECT_EQ(anna.has_value() && *anna == "admin", c.copied) << c.name;
    EXPECT_EQ(app.afterMigrationCalls, c.afterMigration) << c.name;
    if (c.adminHasData) {
      EXPECT_EQ(m.Files().ReadFile(std::string(kAdminData) + "accounts.ini"), "admin") << c.name;
    }
  }
}

TEST_F(MigrationTest, StartOnceForTheTargetThenCopiesOverItsFreshData) {
  app_.startRequired = true;
  app_.onRunAsUser = [&](const std::string&) {
    // The program makes its folder and default settings on its first start, then runs on.
    Files().AddFile(std::string(kAnnaData) + "accounts.ini", "[Account]\nName=default\n");
    StartProcess(kExe);
  };
  m_.Machine().Ui().QueueAnswer(port::kIdOk);                      // the start-once notice
  m_.Machine().Ui().QueueAnswer(port::kIdOk, [&] {                 // still running: closes it
    m_.Machine().ProcessArea().CloseProcessesWithPath(kExe);
  });

  Migrate();

  EXPECT_EQ(app_.runAsUsers, std::vector<std::string>{"Anna"});
  const auto& boxes = m_.Machine().Ui().Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text,
            "Test Mail needs to be started once before your settings can be migrated. Please "
            "close it once it has finished loading, then click OK.");
  EXPECT_EQ(boxes[0].type, port::kMbOk | port::kMbIconInformation);
  EXPECT_EQ(m_.Machine().ProcessArea().Waits(), std::vector<std::uint32_t>{3000});
  EXPECT_EQ(AnnaFile("accounts.ini"), "[Account]\nName=admin\n");
  EXPECT_EQ(app_.afterMigrationCalls, 1);
}

TEST_F(MigrationTest, AProgramThatMustBeClosedAsksFirst) {
  struct Case {
    const char* name;
    std::vector<int> answers;
    bool closeAtFirstAnswer;
    bool migrated;
    std::size_t boxes;
  };
  const Case cases[] = {
      {"cancelled at once", {port::kIdCancel}, false, false, 1},
      {"box closed", {0}, false, false, 1},
      {"closed, then OK", {port::kIdOk}, true, true, 1},
      {"stays open, cancelled", {port::kIdOk, port::kIdCancel}, false, false, 2},
  };
  for (const Case& c : cases) {
    AccountsTestMachine m;
    TMigrationTestApp app(m.Port(), "C:\\Documents and Settings", "Test Mail", kExe, "Mail");
    app.dataItems.SetText("Accounts=accounts.ini\n");
    app.shutdownRequired = true;
    m.Files().AddFile(std::string(kAdminData) + "accounts.ini", "admin");
    sim::SimProcess process;
    process.id = 700;
    process.path = "c:\\program files\\mail\\MAIL.EXE";
    m.Machine().Processes().push_back(process);
    for (std::size_t i = 0; i < c.answers.size(); ++i) {
      if (i == 0 && c.closeAtFirstAnswer) {
        // The user closes the program, answers OK, and it is gone after the grace delay.
        m.Machine().Ui().QueueAnswer(c.answers[i], [&m] { m.Machine().ProcessArea().CloseProcess(700); });
      } else {
        m.Machine().Ui().QueueAnswer(c.answers[i]);
      }
    }
    port::ProfileInfo profile;
    profile.userName = "Anna";
    MigrateSettings(m.Port(), app, "Anna", profile);
    EXPECT_EQ(m.Files().ReadFile(std::string(kAnnaData) + "accounts.ini").has_value(), c.migrated)
        << c.name;
    EXPECT_EQ(app.afterMigrationCalls, c.migrated ? 1 : 0) << c.name;
    ASSERT_GE(m.Machine().Ui().Boxes().size(), 1u) << c.name;
    EXPECT_EQ(m.Machine().Ui().Boxes()[0].text,
              "You need to close all instances of Test Mail before proceeding!")
        << c.name;
    EXPECT_EQ(m.Machine().Ui().Boxes().size(), c.boxes) << c.name;
    EXPECT_EQ(app.TargetProfile().userName, "") << c.name;
  }
}

TEST_F(MigrationTest, UnreadableSourceOrReadOnlyTargetSkipsOnlyThatFile) {
  Files().AddFile(std::string(kAnnaData) + "mail\\inbox.mbx", "anna's inbox");
  app_.forceCopy = true;
  Files().LockPath(std::string(kAdminData) + "accounts.ini", port::kErrorSharingViolation);
  Files().LockPath(std::string(kAnnaData) + "mail\\inbox.mbx", port::kErrorAccessDenied);

  Migrate();

  EXPECT_FALSE(AnnaFile("accounts.ini").has_value());
  EXPECT_EQ(AnnaFile("mail\\inbox.mbx"), "anna's inbox");
  EXPECT_EQ(AnnaFile("mail\\deep\\sent.mbx"), "From: b\n");
  EXPECT_EQ(m_.Machine().Shell().FailedCopies().size(), 2u);
  EXPECT_EQ(app_.afterMigrationCalls, 1);
}

TEST_F(MigrationTest, ExistingTargetFileIsReplacedWhenTheCopyRuns) {
  Files().AddFile(std::string(kAnnaData) + "accounts.ini", "[Account]\nName=anna's old\n");
  app_.forceCopy = true;
  Migrate();
  EXPECT_EQ(AnnaFile("accounts.ini"), "[Account]\nName=admin\n");
}

TEST_F(MigrationTest, ValuesOfEveryTypeAreCopiedByteForByte) {
  struct Value {
    const char* name;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
  };
  const std::vector<Value> values = {
      {"none", port::kRegNone, {}},
      {"binary", port::kRegBinary, {0, 1, 2, 0xFF}},
      {"multi", port::kRegMultiSz, Bytes(std::string("a\0\0b\0\0\0\0", 8))},
      {"unterminated string", port::kRegSz, Bytes("ab")},
      {"qword", port::kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}},
      {"short dword", port::kRegDword, {1, 2}},
      {"big-endian", port::kRegDwordBigEndian, {0, 0, 0, 1}},
      {"link", port::kRegLink, Bytes(std::string("\\\0R\0", 4))},
      // The hardware types above REG_QWORD keep their numbers too.
      {"resource list", 8, {1, 0, 0, 0, 5, 0}},
      {"full resource descriptor", 9, {0, 0, 0, 0}},
      {"requirements list", 10, {0x20, 0, 0, 0}},
      {"unknown type", 0x1234, {7}},
  };
  std::string lines;
  for (const Value& v : values) {
    m_.Registry().SetValue("HKEY_CURRENT_USER\\Software\\Odd", v.name, v.type, v.data);
    lines += std::string(v.name) + "=\\Software\\Odd\\" + v.name + "\n";
  }
  app_.registryValues.SetText(lines);
  Migrate();
  for (const Value& v : values) {
    const auto copied = m_.Registry().GetValue(annaHive_ + "\\Software\\Odd", v.name);
    ASSERT_TRUE(copied.has_value()) << v.name;
    EXPECT_EQ(copied->type, v.type) << v.name;
    EXPECT_EQ(copied->data, v.data) << v.name;
  }
}

TEST(StripItemLabels, KeepsTheTextAfterTheFirstEquals) {
  TStringList list{"Bookmarks=bookmarks.html", "A=b=c", "=x", "no label", "Label #1 = y"};
  StripItemLabels(list);
  EXPECT_EQ(list.Strings(),
            (std::vector<std::string>{"bookmarks.html", "b=c", "x", "", " y"}));
}

// ---- path rewriting in copied files

class ReplacePathTest : public ::testing::Test {
 protected:
  std::string Run(std::string_view bytes, bool escape, bool* changed = nullptr) {
    m_.Files().AddFile("C:\\T\\prefs.js", bytes);
    const bool result =
        ReplacePathInTextFile(m_.Port().files, "C:\\S\\", "C:\\T\\", escape, "prefs.js");
    if (changed) *changed = result;
    return *m_.Files().ReadFile("C:\\T\\prefs.js");
  }
  AccountsTestMachine m_;
};

TEST_F(ReplacePathTest, TextFileRewritesEveryOccurrenceInAnyCase) {
  struct Case {
    const char* name;
    std::string in;
    bool escape;
    std::string out;
  };
  const Case cases[] = {
      {"plain, LF ends", "a=C:\\S\\x\nb=c:\\s\\y c:\\S\\z\n", false,
       "a=C:\\T\\x\r\nb=C:\\T\\y C:\\T\\z\r\n"},
      {"escaped", "user_pref(\"p\", \"C:\\\\S\\\\x\");", true,
       "user_pref(\"p\", \"C:\\\\T\\\\x\");\r\n"},
      {"escaped file, plain search", "\"C:\\\\S\\\\x\"", false, "\"C:\\\\S\\\\x\""},
      {"UTF-8 and CR ends kept as bytes", "\xEF\xBB\xBFn=C:\\S\\\xC3\xA9t\xC3\xA9\rz\xE2\x82\xAC\r\n",
       false, "\xEF\xBB\xBFn=C:\\T\\\xC3\xA9t\xC3\xA9\r\nz\xE2\x82\xAC\r\n"},
      {"empty lines kept", "\n\nC:\\S\\\n\n", false, "\r\n\r\nC:\\T\\\r\n\r\n"},
  };
  for (const Case& c : cases) {
    AccountsTestMachine fresh;
    fresh.Files().AddFile("C:\\T\\prefs.js", c.in);
    ReplacePathInTextFile(fresh.Port().files, "C:\\S\\", "C:\\T\\", c.escape, "prefs.js");
    EXPECT_EQ(*fresh.Files().ReadFile("C:\\T\\prefs.js"), c.out) << c.name;
  }
}

TEST_F(ReplacePathTest, TextFileWithoutTheOldPathIsNotWritten) {
  bool changed = true;
  const std::string in = "no path here\nat all";  // LF and no final line end stay
  EXPECT_EQ(Run(in, false, &changed), in);
  EXPECT_FALSE(changed);
  // A missing or unwritable file is left as it is, without an error.
  EXPECT_FALSE(ReplacePathInTextFile(m_.Port().files, "C:\\S\\", "C:\\T\\", false, "none.js"));
  m_.Files().AddFile("C:\\T\\locked.js", "C:\\S\\");
  m_.Files().LockPath("C:\\T\\locked.js", port::kErrorAccessDenied);
  EXPECT_FALSE(ReplacePathInTextFile(m_.Port().files, "C:\\S\\", "C:\\T\\", false, "locked.js"));
  EXPECT_EQ(m_.Files().ReadFile("C:\\T\\locked.js"), "C:\\S\\");
}

TEST_F(ReplacePathTest, IniFileChangesOnlyValuesThatHoldTheSourceInItsCase) {
  const std::string in =
      "top=C:\\S\\before any section\n"
      "[Paths]\r\n"
      "Data=C:\\S\\data;c:\\s\\more\r\n"
      "Lower=c:\\s\\only lower\r\n"
      "C:\\S\\name=kept\r\n"
      "; comment C:\\S\\\r\n"
      "[Other]\n"
      "Log = C:\\S\\log.txt\n"
      "Caf\xC3\xA9=C:\\S\\\xC3\xA9";
  m_.Files().AddFile("C:\\T\\app.ini", in);
  EXPECT_TRUE(ReplacePathInIniFile(m_.Port().files, "C:\\S\\", "C:\\T\\", "app.ini"));
  EXPECT_EQ(*m_.Files().ReadFile("C:\\T\\app.ini"),
            "top=C:\\S\\before any section\n"
            "[Paths]\r\n"
            "Data=C:\\T\\data;C:\\T\\more\r\n"
            "Lower=c:\\s\\only lower\r\n"
            "C:\\S\\name=kept\r\n"
            "; comment C:\\S\\\r\n"
            "[Other]\n"
            "Log = C:\\T\\log.txt\n"
            "Caf\xC3\xA9=C:\\T\\\xC3\xA9");
  m_.Files().AddFile("C:\\T\\plain.ini", "[A]\nx=c:\\s\\\n");
  EXPECT_FALSE(ReplacePathInIniFile(m_.Port().files, "C:\\S\\", "C:\\T\\", "plain.ini"));
  EXPECT_EQ(*m_.Files().ReadFile("C:\\T\\plain.ini"), "[A]\nx=c:\\s\\\n");
}

TEST_F(MigrationTest, GrantGoesToTheTargetAccountOnceAndOnlyDuringAMigration) {
  Files().AddFolder("C:\\Program Files\\Mail\\data");
  const std::string folder = "C:\\Program Files\\Mail\\data";
  EXPECT_FALSE(GrantTargetUserAccess(m_.Port(), app_.TargetProfile(), folder)) << "no target";
  int granted = 0;
  app_.onAfterMigration = [&] {
    granted += GrantTargetUserAccess(m_.Port(), app_.TargetProfile(), folder) ? 1 : 0;
    granted += GrantTargetUserAccess(m_.Port(), app_.TargetProfile(), folder) ? 1 : 0;
  };
  Migrate();
  EXPECT_EQ(granted, 1);
  const std::string sddl = vqGetFileSecurityString(m_.Port().security, folder, 4);
  EXPECT_NE(sddl.find("(A;OICI;0x1301bf;;;" + m_.SidOf("Anna") + ")"), std::string::npos) << sddl;
}

TEST_F(MigrationTest, AFoldersGrantReachesWhatItAlreadyHoldsOnce) {
  const std::string folder = "C:\\Program Files\\Mail\\data";
  Files().AddFile(folder + "\\inbox.mbx", "mail");
  Files().AddFile(folder + "\\user1\\sent.mbx", "sent");
  Files().AddFile(folder + "\\locked\\own.mbx", "own");
  // A folder that takes nothing from above keeps exactly its own list.
  const std::string locked = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
  ASSERT_TRUE(m_.Acls().SetExplicit(folder + "\\locked", locked));
  app_.onAfterMigration = [&] {
    EXPECT_TRUE(GrantTargetUserAccess(m_.Port(), app_.TargetProfile(), folder));
    EXPECT_FALSE(GrantTargetUserAccess(m_.Port(), app_.TargetProfile(), folder));
  };
  Migrate();

  const std::string sid = m_.SidOf("Anna");
  auto entriesFor = [&](const std::string& path) {
    const std::string sddl = vqGetFileSecurityString(m_.Port().security, path, 4);
    int count = 0;
    for (std::size_t at = sddl.find(sid); at != std::string::npos; at = sddl.find(sid, at + 1)) {
      ++count;
    }
    return std::make_pair(count, sddl);
  };
  const struct {
    std::string path;
    int entries;
    const char* entry;  // the account's entry, when it has one
  } cases[] = {
      {folder, 1, "(A;OICI;0x1301bf;;;"},
      {folder + "\\inbox.mbx", 1, "(A;ID;0x1301bf;;;"},
      {folder + "\\user1", 1, "(A;OICIID;0x1301bf;;;"},
      {folder + "\\user1\\sent.mbx", 1, "(A;ID;0x1301bf;;;"},
      {folder + "\\locked", 0, nullptr},
      {folder + "\\locked\\own.mbx", 0, nullptr},
  };
  for (const auto& c : cases) {
    const auto [count, sddl] = entriesFor(c.path);
    EXPECT_EQ(count, c.entries) << c.path << ": " << sddl;
    if (c.entry) {
      EXPECT_NE(sddl.find(c.entry + sid + ")"), std::string::npos) << c.path << ": " << sddl;
    }
  }
  EXPECT_EQ(vqGetFileSecurityString(m_.Port().security, folder + "\\locked", 4), locked);
}


TEST(MigrationGuard, ARunningProgramIsClosedBeforeAnythingIsCopiedWhoeverRunsIt) {
  // No definition asks for it: every program that runs while its files would be copied is.
  struct Case {
    const char* name;
    const char* account;  // the process's account; "" is the administrator
    bool refusesToOpen;
    int answer;
    bool closedByTheUser;
    bool migrated;
  };
  const Case cases[] = {
      {"the administrator's, cancelled", "", false, port::kIdCancel, false, false},
      {"the restricted account's, cancelled", "Anna", false, port::kIdCancel, false, false},
      {"one that does not open, cancelled", "", true, port::kIdCancel, false, false},
      {"the restricted account's, closed, then OK", "Anna", false, port::kIdOk, true, true},
  };
  for (const Case& c : cases) {
    AccountsTestMachine m;
    TMigrationTestApp app(m.Port(), "C:\\Documents and Settings", "Test Mail", kExe, "Mail");
    app.dataItems.SetText("Accounts=accounts.ini\n");
    m.Files().AddFile(std::string(kAdminData) + "accounts.ini", "admin");
    sim::SimProcess process;
    process.id = 700;
    process.path = kExe;
    process.account = c.account;
    process.openRefused = c.refusesToOpen;
    m.Machine().Processes().push_back(process);
    if (c.closedByTheUser) {
      m.Machine().Ui().QueueAnswer(c.answer, [&m] { m.Machine().ProcessArea().CloseProcess(700); });
    } else {
      m.Machine().Ui().QueueAnswer(c.answer);
    }
    port::ProfileInfo profile;
    profile.userName = "Anna";
    MigrateSettings(m.Port(), app, "Anna", profile);

    EXPECT_EQ(m.Files().ReadFile(std::string(kAnnaData) + "accounts.ini").has_value(), c.migrated)
        << c.name;
    EXPECT_EQ(app.afterMigrationCalls, c.migrated ? 1 : 0) << c.name;
    ASSERT_EQ(m.Machine().Ui().Boxes().size(), 1u) << c.name;
    EXPECT_EQ(m.Machine().Ui().Boxes()[0].text,
              "You need to close all instances of Test Mail before proceeding!")
        << c.name;
    EXPECT_FALSE(m.Machine().ProcessArea().DebugPrivilegeEnabled()) << c.name << ": left enabled";
  }
}

TEST(MigrationGuard, NothingToCopyAsksNothing) {
  AccountsTestMachine m;
  TMigrationTestApp app(m.Port(), "C:\\Documents and Settings", "Test Mail", kExe, "Mail");
  app.dataItems.SetText("Accounts=accounts.ini\n");
  sim::SimProcess process;
  process.id = 700;
  process.path = kExe;
  m.Machine().Processes().push_back(process);
  port::ProfileInfo profile;
  profile.userName = "Anna";
  MigrateSettings(m.Port(), app, "Anna", profile);  // the administrator has no data
  EXPECT_TRUE(m.Machine().Ui().Boxes().empty());
  EXPECT_EQ(app.afterMigrationCalls, 1);
}

TEST_F(ReplacePathTest, AFailedWriteLeavesTheCopiedFileAsItWas) {
  const std::string original = "user_pref(\"mail.root\", \"C:\\\\S\\\\Mail\");\n";
  const struct {
    const char* name;
    bool ini;
    std::uint64_t freeBytes;
  } cases[] = {
      {"text file, disk full", false, 4},
      {"INI file, disk full", true, 4},
      {"text file, disk with no room at all", false, 0},
  };
  for (const auto& c : cases) {
    AccountsTestMachine m;
    const std::string bytes = c.ini ? "[Mail]\nroot=C:\\S\\Mail\n" : original;
    m.Files().AddFile("C:\\T\\settings.txt", bytes);
    m.Files().SetFreeBytes('C', c.freeBytes);
    const bool written =
        c.ini ? ReplacePathInIniFile(m.Port().files, "C:\\S\\", "C:\\T\\", "settings.txt")
              : ReplacePathInTextFile(m.Port().files, "C:\\S\\", "C:\\T\\", true,
                                      "settings.txt");
    EXPECT_FALSE(written) << c.name;
    EXPECT_EQ(m.Files().ReadFile("C:\\T\\settings.txt"), bytes) << c.name;
    EXPECT_FALSE(m.Files().Exists("C:\\T\\settings.txt.ombrant-new")) << c.name;
    EXPECT_EQ(m.Files().FreeBytes('C'), c.freeBytes) << c.name << ": space not given back";
  }
  // With room the rewrite goes through and the file beside it is gone.
  AccountsTestMachine m;
  m.Files().AddFile("C:\\T\\prefs.js", original);
  m.Files().SetFreeBytes('C', 1000);
  EXPECT_TRUE(ReplacePathInTextFile(m.Port().files, "C:\\S\\", "C:\\T\\", true, "prefs.js"));
  EXPECT_EQ(m.Files().ReadFile("C:\\T\\prefs.js"),
            "user_pref(\"mail.root\", \"C:\\\\T\\\\Mail\");\r\n");
  EXPECT_FALSE(m.Files().Exists("C:\\T\\prefs.js.ombrant-new"));
}

TEST(RewritePath, FindsThePathInTheFilesOwnEncoding) {
  // "Jürgen" in UTF-8 (as the program holds paths) and in Windows-1252 (an INI file's bytes).
  const std::string source = "C:\\Dokumente und Einstellungen\\J\xC3\xBCrgen\\";
  const std::string target = "C:\\Dokumente und Einstellungen\\J\xC3\xBCrgen-online\\";
  const std::string ansiSource = "C:\\Dokumente und Einstellungen\\J\xFCrgen\\";
  const std::string ansiTarget = "C:\\Dokumente und Einstellungen\\J\xFCrgen-online\\";
  auto utf16 = [](std::string_view utf8) { return "\xFF\xFE" + Utf8ToUtf16LeBytes(utf8); };
  const struct {
    const char* name;
    bool ini;
    std::string bytes;
    std::optional<std::string> expected;
  } cases[] = {
      {"UTF-8 text", false, "path=" + source + "x\n", "path=" + target + "x\r\n"},
      {"ANSI text", false, "path=" + ansiSource + "x\n", "path=" + ansiTarget + "x\r\n"},
      {"UTF-8 INI", true, "[a]\nroot=" + source + "mail\n", "[a]\nroot=" + target + "mail\n"},
      {"ANSI INI", true, "[a]\r\nroot=" + ansiSource + "mail\r\n",
       "[a]\r\nroot=" + ansiTarget + "mail\r\n"},
      {"Unicode XML", false, utf16("<p>" + source + "</p>\r\n"),
       utf16("<p>" + target + "</p>\r\n")},
      // A name spelled otherwise is another name: nothing changes.
      {"other name", true, "[a]\nroot=C:\\Dokumente und Einstellungen\\Jurgen\\\n", std::nullopt},
  };
  for (const auto& c : cases) {
    const std::optional<std::string> result = c.ini ? RewritePathInIni(c.bytes, source, target)
                                                    : RewritePathInText(c.bytes, source, target,
                                                                        false);
    EXPECT_EQ(result, c.expected) << c.name;
  }
}

}  // namespace
}  // namespace ombrant::test
