// The chat and telephony clients migrated for real on the fixture machines: the administrator's
// files, keys and program-folder rights as the restricted account "Bob" gets them.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/kvrShortcutFiles.h"
#include "orchestration/UnitMigrationPage.h"
#include "platform/sim/simLnkFile.h"
#include "platform/vqStrings.h"
#include "tests/unit/grantOrder.h"
#include "tests/unit/chatTestSupport.h"

namespace ombrant::test {
namespace {

using Files = std::map<std::string, std::string>;

// The files of `files` whose relative path starts with one of `prefixes`, each prefixed with
// `folder` (relative to a profile).
Files Below(const Files& files, const std::string& folder,
            std::vector<std::string> prefixes = {""}) {
  Files result;
  for (const auto& [path, bytes] : files) {
    for (const std::string& prefix : prefixes) {
      if (path.starts_with(prefix)) {
        result[folder + path] = bytes;
        break;
      }
    }
  }
  return result;
}

// The part of a data folder below the profile folder.
std::string RelativeToProfile(ChatFixture& m, std::string_view account, std::string folder) {
  const std::string profile = m.Profile(account) + "\\";
  EXPECT_TRUE(folder.starts_with(profile)) << folder;
  return folder.substr(profile.size());
}

std::string Export(const sim::SimHive& hive, std::string_view key) {
  return Utf16LeBytesToUtf8(sim::ExportRegText(hive, "HKEY_CURRENT_USER", key));
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end(), TextLess());
  return names;
}

// A MultiMessenger's "Settings.xml" naming `folder`.
std::string MessengerSettings(std::string_view account, std::string_view folder) {
  const std::string f(folder);
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Settings>\r\n  <Account>" +
         std::string(account) + "</Account>\r\n  <HistoryFolder>" + f +
         "History\\</HistoryFolder>\r\n  <AvatarFolder>" + f +
         "Avatars\\</AvatarFolder>\r\n  <Language>de</Language>\r\n</Settings>\r\n";
}

TEST(ChatMigration, EveryClientIntoTheRestrictedAccountOnBothFixtures) {
  for (const ChatFlavour* flavour : {&kChatXp, &kChat7x64}) {
    SCOPED_TRACE(flavour->machine);
    auto owner = LoadChatFixture(*flavour);
    if (!owner) GTEST_SKIP() << kNoFixtures;
    ChatFixture& m = *owner;
    port::IFileSystem& files = m.Port().files;
    TInstalledSoftwareManager& catalogue = m.Catalogue();
    ASSERT_EQ(catalogue.Count(), 19);

    // The migration page: the clients in their program folder already have a "profile" for
    // every account and are not offered; the others are.
    TMyRegistry settings(m.Port().registry);
    settings.SetRootKey(port::kHKeyCurrentUser);
    ASSERT_TRUE(settings.OpenKey(LoadStr(sSettingsKey), true));
    const std::set<std::string_view> inProgramFolder = {
        "TInstalledSoftwareICQ", "TInstalledSoftwareTrillian", "TInstalledSoftwareYahooMessenger",
        "TInstalledSoftwareQQ2003", "TInstalledSoftwareQQ2005"};
    for (int i = 0; i < catalogue.Count(); ++i) {
      EXPECT_EQ(MigrationStatusOf(m.Port(), settings, catalogue.Items(i), "Bob"),
                inProgramFolder.contains(catalogue.ClassNameOf(i)) ? msProfileExists : msAvailable)
          << catalogue.ClassNameOf(i);
    }
    settings.CloseKey();

    const std::string adminProfile = m.Profile("Admin");
    const Files adminBefore = SnapshotFiles(files, adminProfile);
    const std::string adminHiveBefore = SnapshotHive(m.Machine(), "Admin");
    const Files programsBefore = SnapshotFiles(files, flavour->programFiles);

    // Program-folder paths: those that get Bob's grant, and those that must keep their rights.
    const std::vector<std::string> granted = {
        m.Program(R"(ICQ\2003b)"),
        m.Program(R"(ICQ\Contact List)"),
        m.Program(R"(ICQ\Shared files)"),
        m.Program(R"(ICQ\UIN)"),
        m.Program(R"(Trillian\users)"),
        m.Program(R"(Yahoo!\Messenger\Cache)"),
        m.Program(R"(Yahoo!\Messenger\logs)"),
        m.Program(R"(Yahoo!\Messenger\Profiles)"),
        m.Program(R"(Tencent\QQ\12345678)"),
        m.Program(R"(Tencent\QQ\2876543210)"),
        m.Program(R"(Tencent\QQ\LoginUinList.dat)"),
        m.Program(R"(Tencent\QQ\QQGlobal.db)"),
        m.Program(R"(Tencent\QQ\AutoLogin.dat)"),
        m.Program(R"(Tencent\QQ2005\23456789)"),
        m.Program(R"(Tencent\QQ2005\LoginUinList.dat)"),
        m.Program(R"(Tencent\QQ2005\QQlog)"),
        m.Program(R"(Tencent\QQ2005\QQGlobal.db)"),
        m.Program(R"(Tencent\QQ2007\34567890)"),
        m.Program(R"(Tencent\QQ2007\LoginUinList.dat)"),
        m.Program(R"(Tencent\QQ2007\QQ.tlg)"),
        m.Program(R"(Tencent\QQ2007\QQlog.txl)"),
        m.Program(R"(Tencent\QQ2007\QQGlobal.db)"),
        m.Program(R"(Tencent\QQ2007\AutoLogin.dat)"),
    };
    // ICQ Pro 2003b's folders that did not exist: made, then opened like the others.
    const std::vector<std::string> created = {m.Program(R"(ICQ\CL)"),
                                              m.Program(R"(ICQ\ICQ Downloads)"),
                                              m.Program(R"(ICQ\Received Files)")};
    std::vector<std::string> untouched = {
        m.Program("ICQ"),
        m.Program(R"(ICQ\Icq.exe)"),
        m.Program("Trillian"),
        m.Program(R"(Yahoo!\Messenger)"),
        m.Program(R"(Tencent\QQ\QQlog)"),  // missing: left missing
        m.Program(R"(Tencent\QQ2005\AutoLogin.dat)"),
        m.Program(R"(ICQ6)"),
        m.Program(R"(Skype\Phone)"),
    };
    for (const char* qq : {"QQ", "QQ2005", "QQ2007"}) {
      for (const char* name : {"", "QQ.exe", "Skins", "12a"}) {
        untouched.push_back(m.Program(std::string(R"(Tencent\)") + qq + "\\" + name));
      }
    }
    // What granted folders already hold takes the grant as an inherited entry.
    const std::vector<std::pair<std::string, bool>> inherited = {
        {m.Program(R"(ICQ\2003b\Database)"), true},
        {m.Program(R"(Trillian\users\default)"), true},
        {m.Program(R"(Tencent\QQ\12345678\MsgEx.db)"), false},
    };
    std::map<std::string, std::string> daclsBefore;
    for (const auto& [path, folder] : inherited) daclsBefore[path] = m.Dacl(path);
    for (const std::vector<std::string>* list : {&granted, &std::as_const(untouched)}) {
      for (const std::string& path : *list) daclsBefore[path] = m.Dacl(path);
    }
    for (const std::string& path : created) ASSERT_EQ(m.Dacl(path), "<missing>") << path;
    const std::string newFolderDacl = m.Dacl(m.Program(R"(ICQ\2003b)"));

    ASSERT_TRUE(MigrateSelectedApplications(m.Port(), catalogue, "Bob"));
    // Nothing has to be closed or started first.
    EXPECT_TRUE(m.Machine().Ui().Boxes().empty());
    EXPECT_TRUE(m.Machine().Processes().empty());

    // ---- files: Bob's profile holds exactly what was copied, byte for byte.
    Files expected;
    auto copyWhole = [&](std::string_view className, const Files& replaced = {}) {
      TInstalledSoftware& item = m.Item(className);
      Files admin = SnapshotFiles(files, item.GetCurrentUserDataFolder());
      EXPECT_FALSE(admin.empty()) << className;
      for (const auto& [path, bytes] : replaced) admin[path] = bytes;
      expected.merge(Below(admin, RelativeToProfile(m, "Bob", item.GetDataFolder("Bob"))));
    };
    // The MultiMessengers' own "Settings.xml" names Bob's folder, however the administrator's
    // was written; the one of a profile below it is copied as it is.
    const std::string gmxBob = m.AppData("Bob") + R"(\GMX\GMX MultiMessenger\)";
    const std::string webdeBob = m.AppData("Bob") + R"(\WEB.DE\WEB.DE MultiMessenger\)";
    ASSERT_EQ(m.Item("TInstalledSoftware1und1WebDe").GetDataFolder("Bob"), webdeBob);
    copyWhole("TInstalledSoftware1und1GMX",
              {{"Settings.xml", MessengerSettings("alice@gmx.de", gmxBob)}});
    copyWhole("TInstalledSoftware1und1WebDe",
              {{"Settings.xml", MessengerSettings("alice@web.de", webdeBob)}});
    for (const char* className :
         {"TInstalledSoftwareAIM6", "TInstalledSoftwareDigsby", "TInstalledSoftwareGaduGadu",
          "TInstalledSoftwareICQ6", "TInstalledSoftwarePidgin", "TInstalledSoftwareSkype",
          "TInstalledSoftwareTlenPL", "TInstalledSoftwareVoipBuster",
          "TInstalledSoftwareVoipStunt"}) {
      copyWhole(className);
    }
    {
      TInstalledSoftware& talk = m.Item("TInstalledSoftwareGoogleTalk");
      expected.merge(Below(SnapshotFiles(files, talk.GetCurrentUserDataFolder()),
                           RelativeToProfile(m, "Bob", talk.GetDataFolder("Bob")),
                           {"chatlogs\\", "avatars\\"}));
      TInstalledSoftware& miranda = m.Item("TInstalledSoftwareMiranda");
      Files profiles;
      for (const char* dat : {"alice.dat", "work.dat"}) {
        std::string bytes;
        ASSERT_EQ(files.ReadWholeFile(miranda.GetCurrentUserDataFolder() + dat, &bytes),
                  port::kErrorSuccess);
        profiles[dat] = bytes;
      }
      expected.merge(Below(profiles, RelativeToProfile(m, "Bob", miranda.GetDataFolder("Bob"))));
    }
    const Files bob = SnapshotFiles(files, m.Profile("Bob"));
    EXPECT_EQ(bob, expected);
    // Spelled out once, so that the comparison above cannot hide a rewrite gone wrong.
    const std::string gmxAdmin = m.AppData("Admin") + R"(\GMX\GMX MultiMessenger\)";
    EXPECT_EQ(bob.at(RelativeToProfile(m, "Bob", gmxBob) + "Settings.xml"),
              MessengerSettings("alice@gmx.de", gmxBob));
    EXPECT_NE(bob.at(RelativeToProfile(m, "Bob", gmxBob) + R"(Profiles\alice@gmx.de\Settings.xml)")
                  .find(gmxAdmin),
              std::string::npos);
    const std::string webdeAdmin = m.AppData("Admin") + R"(\WEB.DE\WEB.DE MultiMessenger\)";
    EXPECT_NE(adminBefore.at(RelativeToProfile(m, "Admin", webdeAdmin) + "Settings.xml")
                  .find(UpperCase(webdeAdmin)),
              std::string::npos)
        << "the administrator's WEB.DE settings name his folder in capitals";
    // QQ 2007's own folder is left alone.
    EXPECT_FALSE(DirectoryExists(files, m.AppData("Bob") + R"(\QQ)"));

    // ---- registry: the clients' keys, whole and unchanged, and nothing else of theirs.
    const sim::SimHive& adminHive = *m.Machine().FindAccount("Admin")->hive;
    const sim::SimHive& bobHive = *m.Machine().FindAccount("Bob")->hive;
    for (const char* key :
         {R"(Software\GMX\GMX MultiMessenger)", R"(Software\WEB.DE\WEB.DE MultiMessenger)",
          R"(Software\America Online\AIM6)", R"(Software\Google\Google Talk)", R"(Software\Skype)",
          R"(Software\VoipBuster\VoipBuster)", R"(Software\VoipStunt\VoipStunt)",
          R"(Software\Yahoo\pager)", R"(Software\Yahoo\Profiles)"}) {
      ASSERT_TRUE(bobHive.HasKey(key)) << key;
      EXPECT_EQ(Export(bobHive, key), Export(adminHive, key));
    }
    EXPECT_EQ(Sorted(bobHive.SubKeyNames("Software")),
              Sorted({"America Online", "GMX", "Google", "Microsoft", "Skype", "VoipBuster",
                      "VoipStunt", "WEB.DE", "Yahoo"}));
    for (const auto& [key, subKeys] : std::vector<std::pair<const char*, std::vector<std::string>>>{
             {R"(Software\GMX)", {"GMX MultiMessenger"}},
             {R"(Software\WEB.DE)", {"WEB.DE MultiMessenger"}},
             {R"(Software\America Online)", {"AIM6"}},
             {R"(Software\Google)", {"Google Talk"}},
             {R"(Software\Yahoo)", {"pager", "Profiles"}}}) {
      EXPECT_EQ(Sorted(bobHive.SubKeyNames(key)), Sorted(subKeys)) << key;
    }

    // ---- rights: Bob's entry on the program-folder data, nowhere else.
    const std::string grant = m.GrantEntry("Bob");
    for (const std::string& path : granted) {
      EXPECT_EQ(m.Dacl(path), CanonicalGrant(daclsBefore[path], grant)) << path;
    }
    for (const std::string& path : created) {
      EXPECT_TRUE(DirectoryExists(files, path)) << path;
      EXPECT_EQ(m.Dacl(path), CanonicalGrant(newFolderDacl, grant)) << path;
    }
    for (const std::string& path : untouched) EXPECT_EQ(m.Dacl(path), daclsBefore[path]) << path;
    const std::string sid = grant.substr(grant.rfind(';') + 1);  // "SID)"
    for (const auto& [path, folder] : inherited) {
      EXPECT_EQ(m.Dacl(path),
                daclsBefore[path] + (folder ? "(A;OICIID;0x1301bf;;;" : "(A;ID;0x1301bf;;;") + sid)
          << path;
    }

    // ---- the administrator keeps what he had.
    EXPECT_EQ(SnapshotFiles(files, adminProfile), adminBefore);
    EXPECT_EQ(SnapshotHive(m.Machine(), "Admin"), adminHiveBefore);
    EXPECT_EQ(SnapshotFiles(files, flavour->programFiles), programsBefore);
  }
}

// Only the chosen definition is active.
void ActivateOnly(ChatFixture& m, std::string_view className) {
  TInstalledSoftwareManager& catalogue = m.Catalogue();
  for (int i = 0; i < catalogue.Count(); ++i) {
    catalogue.Items(i).SetActive(catalogue.ClassNameOf(i) == className);
  }
}

TEST(YahooMessenger, KeysGoOnlyIntoAHiveWithoutYahooSettingsAndTheGrantsHappenEitherWay) {
  const struct {
    const char* name;
    bool bobHasYahoo;
  } cases[] = {{"a restricted account without Yahoo settings", false},
               {"a restricted account with Yahoo settings of its own", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto owner = LoadChatFixture(kChatXp);
    if (!owner) GTEST_SKIP() << kNoFixtures;
    ChatFixture& m = *owner;
    sim::SimAccount& bobAccount = *m.Machine().FindAccount("Bob");
    if (c.bobHasYahoo) {
      bobAccount.hive = m.Machine().Registry().NewHive();
      const std::string id = Utf8ToUtf16LeBytes("bob_y") + std::string(2, '\0');
      bobAccount.hive->SetValue(R"(Software\Yahoo\pager)", "Yahoo! User ID", port::kRegSz,
                                std::vector<std::uint8_t>(id.begin(), id.end()));
    }
    ActivateOnly(m, "TInstalledSoftwareYahooMessenger");
    TInstalledSoftware& yahoo = m.Item("TInstalledSoftwareYahooMessenger");
    // Outside a migration there is no hive to look into.
    EXPECT_FALSE(yahoo.ForceDataCopy());
    const std::string folder = yahoo.GetCurrentUserDataFolder();
    std::map<std::string, std::string> before;
    for (const char* name : {"Cache", "logs", "Profiles"}) before[name] = m.Dacl(folder + name);

    ASSERT_TRUE(MigrateSelectedApplications(m.Port(), m.Catalogue(), "Bob"));
    EXPECT_TRUE(m.Machine().Ui().Boxes().empty());
    const sim::SimHive& adminHive = *m.Machine().FindAccount("Admin")->hive;
    const sim::SimHive& bobHive = *bobAccount.hive;
    if (c.bobHasYahoo) {
      // Not even the key Bob lacks: his Yahoo settings stay his own.
      EXPECT_EQ(bobHive.SubKeyNames(R"(Software\Yahoo)"), std::vector<std::string>{"pager"});
      const std::vector<sim::SimValue> values = bobHive.Values(R"(Software\Yahoo\pager)");
      ASSERT_EQ(values.size(), 1u);
      EXPECT_EQ(values[0].name, "Yahoo! User ID");
      EXPECT_EQ(Utf16LeBytesToUtf8(std::string(values[0].data.begin(), values[0].data.end())),
                std::string("bob_y") + '\0');
    } else {
      EXPECT_EQ(Export(bobHive, R"(Software\Yahoo\pager)"),
                Export(adminHive, R"(Software\Yahoo\pager)"));
      EXPECT_EQ(Export(bobHive, R"(Software\Yahoo\Profiles)"),
                Export(adminHive, R"(Software\Yahoo\Profiles)"));
      EXPECT_FALSE(bobHive.HasKey(R"(Software\Yahoo\Companion)"));
    }
    for (const auto& [name, dacl] : before) {
      EXPECT_EQ(m.Dacl(folder + name), CanonicalGrant(dacl, m.GrantEntry("Bob"))) << name;
    }
  }
}

TEST(ICQ, AFolderThatCannotBeMadeKeepsNoneOfTheOthersClosed) {
  auto owner = LoadChatFixture(kChatXp);
  if (!owner) GTEST_SKIP() << kNoFixtures;
  ChatFixture& m = *owner;
  const std::string icq = m.Program(R"(ICQ\)");
  // A file stands where a folder should be made.
  m.Machine().Files().AddFile(icq + "ICQ Downloads", "not a folder");
  ActivateOnly(m, "TInstalledSoftwareICQ");
  const std::string inherited = m.Dacl(icq + "2003b");
  ASSERT_TRUE(MigrateSelectedApplications(m.Port(), m.Catalogue(), "Bob"));
  EXPECT_FALSE(DirectoryExists(m.Port().files, icq + "ICQ Downloads"));
  for (const std::string_view name : kIcq2003bDataFolders) {
    if (name == "ICQ Downloads") continue;
    EXPECT_TRUE(DirectoryExists(m.Port().files, icq + std::string(name))) << name;
    EXPECT_EQ(m.Dacl(icq + std::string(name)), CanonicalGrant(inherited, m.GrantEntry("Bob"))) << name;
  }
  // Run again: every folder has Bob's entry already and gets no second one.
  const std::string once = m.Dacl(icq + "Received Files");
  ASSERT_TRUE(MigrateSelectedApplications(m.Port(), m.Catalogue(), "Bob"));
  EXPECT_EQ(m.Dacl(icq + "Received Files"), once);
}

TEST(AIM6, ItsRunParametersStandInsideTheQuotedProgramArgument) {
  auto owner = LoadChatFixture(kChatXp);
  if (!owner) GTEST_SKIP() << kNoFixtures;
  ChatFixture& m = *owner;
  TInstalledSoftware& aim = m.Item("TInstalledSoftwareAIM6");
  const std::string program = R"(C:\Program Files\AIM6\aim6.exe)";
  ASSERT_EQ(aim.Executable(), program);
  const std::string desktop = m.Profile("Admin") + R"(\Desktop\)";

  const std::string restricted = desktop + "AIM_6 (as Bob).lnk";
  ASSERT_TRUE(aim.CreateRestrictedShortcut(restricted, "Bob"));
  std::string target = "junk";
  std::string arguments = "junk";
  ASSERT_TRUE(ReadShortcutTargetAndArguments(m.Port(), restricted, target, arguments));
  // The shell stores the bare "runas" as the program it finds.
  EXPECT_EQ(target, R"(C:\WINDOWS\system32\runas.exe)");
  EXPECT_EQ(
      arguments,
      R"(/user:Bob /savecred "\"C:\Program Files\AIM6\aim6.exe\" /d locale=en-US ee://aol/imApp")");
  std::string bytes;
  ASSERT_EQ(m.Port().files.ReadWholeFile(restricted, &bytes), port::kErrorSuccess);
  const auto link = sim::ParseShellLink(
      std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
  ASSERT_TRUE(link.has_value());
  EXPECT_EQ(link->iconLocation, program);
  EXPECT_EQ(link->description, "Starts AIM_6 under a limited user account.");
  EXPECT_EQ(link->workingDir, "");

  const std::string direct = desktop + "AIM_6.lnk";
  ASSERT_TRUE(aim.CreateDirectShortcut(direct));
  ASSERT_TRUE(ReadShortcutTargetAndArguments(m.Port(), direct, target, arguments));
  EXPECT_EQ(target, program);
  EXPECT_EQ(arguments, "/d locale=en-US ee://aol/imApp");

  // Without run parameters a blank stays before the closing quote.
  TInstalledSoftware& pidgin = m.Item("TInstalledSoftwarePidgin");
  ASSERT_TRUE(pidgin.CreateRestrictedShortcut(desktop + "Pidgin (as Bob).lnk", "Bob"));
  ASSERT_TRUE(
      ReadShortcutTargetAndArguments(m.Port(), desktop + "Pidgin (as Bob).lnk", target, arguments));
  EXPECT_EQ(arguments, R"(/user:Bob /savecred "\"C:\Program Files\Pidgin\pidgin.exe\" ")");

  // Started once under Bob, with the same arguments, through runas.
  aim.RunAsUser("Bob");
  ASSERT_EQ(m.Machine().Shell().Executed().size(), 1u);
  EXPECT_EQ(m.Machine().Shell().Executed()[0].file, "runas.exe");
  EXPECT_EQ(
      m.Machine().Shell().Executed()[0].parameters,
      R"(/user:Bob /savecred "\"C:\Program Files\AIM6\aim6.exe\" /d locale=en-US ee://aol/imApp")");
  ASSERT_EQ(m.Machine().Processes().size(), 1u);
  EXPECT_EQ(m.Machine().Processes()[0].path, program);
  EXPECT_EQ(m.Machine().Processes()[0].account, "Bob");
}

}  // namespace
}  // namespace ombrant::test
