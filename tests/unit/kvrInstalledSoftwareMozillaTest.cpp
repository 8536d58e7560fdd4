// The Mozilla family on the browser fixture machines: detection, profile folders and files,
// notes, and real migrations into the restricted account "Bob".
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "definitions/kvrInstalledSoftwareMozilla.h"
#include "definitions/kvrSoftwareClasses.h"
#include "orchestration/UnitMigrationPage.h"
#include "tests/unit/browsersFixture.h"
#include "tests/unit/catalogueTestMachine.h"

namespace ombrant::test {
namespace {

// One member as the fixtures have it installed and used. Paths are relative to the program
// folder and to the application data folder; `prefsAfter` are the lines of Bob's "prefs.js"
// after the copy, {BOB} standing for Bob's new profile folder and {PROFILES} for the profiles
// root, both as the file writes paths (doubled backslashes).
struct MozillaCase {
  const char* className;
  const char* displayName;
  const char* program;
  TSoftwareCategory category;
  const char* icon;
  const char* dataFolder;
  const char* profilesSubfolder;
  std::vector<std::string> adminProfiles;
  const char* bobProfile;  // what the program makes on its first start under Bob
  std::vector<std::string> existingItems;
  std::vector<std::string> prefsAfter;
};

const std::vector<MozillaCase>& MozillaCases() {
  static const std::vector<MozillaCase> cases = {
      {"TInstalledSoftwareBeonex",
       "Beonex",
       R"(Beonex\Communicator\beonex-comm.exe)",
       scBrowser,
       "BEONEX",
       R"(Beonex\)",
       R"(Profiles\default\)",
       {"k2m4p8q1.slt"},
       "b0bbx1qa.slt",
       {"Address book=abook.mab", "Bookmarks=bookmarks.html", "Cookies=cookies.txt",
        "History=history.dat", "Preferences=prefs.js"},
       {R"(user_pref("browser.startup.homepage", "http://www.beonex.com/");)",
        R"(user_pref("browser.cache.directory", "{BOB}\\Cache");)"}},
      {"TInstalledSoftwareFirefox",
       "Mozilla Firefox (3.0.10)",
       R"(Mozilla Firefox\firefox.exe)",
       scBrowser,
       "FIREFOX",
       R"(Mozilla\Firefox\)",
       R"(Profiles\)",
       {"4fw2qxbk.default", "zq81m3ad.work"},
       "b0bff3x7.default",
       {R"(Adblock Plus patterns=adblockplus\patterns.ini)", "Cookies=cookies.sqlite",
        "Extension blocklist=blocklist.xml", "Form history=formhistory.sqlite",
        "Places=places.sqlite", "Permissions=permissions.sqlite", "Preferences=prefs.js",
        "Server specific permissions=hostperm.1", "Sign On information=signons3.txt"},
       // The profile folder in three letter cases; the desktop is no part of it.
       {R"(user_pref("browser.cache.disk.parent_directory", "{BOB}\\Cache");)",
        R"(user_pref("browser.download.dir", "{PROFILES}\\Admin\\Desktop");)",
        R"(user_pref("browser.startup.homepage", "http://www.example.org/");)",
        R"(user_pref("extensions.adblockplus.patternsfile", "{BOB}\\adblockplus\\patterns.ini");)",
        R"(user_pref("extensions.lastAppVersion", "3.0.10");)",
        R"(user_pref("extensions.scrapbook.data.path", "{BOB}\\ScrapBook");)"}},
      {"TInstalledSoftwareKMeleon",
       "K-Meleon",
       R"(K-Meleon\k-meleon.exe)",
       scBrowser,
       "KMELEON",
       R"(K-Meleon\default\)",
       "",
       {"x7q2r9ts.slt"},
       "b0bkm2q9.slt",
       {"Bookmarks=bookmarks.html", "Cookies=cookies.txt", "History=history.dat",
        "Preferences=prefs.js"},
       {R"(user_pref("kmeleon.general.homePage", "http://kmeleon.sourceforge.net/");)",
        R"(user_pref("kmeleon.plugins.macros.load", true);)",
        R"(user_pref("kmeleon.general.skinsDir", "{BOB}\\skins");)"}},
      {"TInstalledSoftwareLolifox",
       "Lolifox (0.3.6)",
       R"(lolifox\lolifox.exe)",
       scBrowser,
       "LOLIFOX",
       R"(kyoku-senbi\lolifox\)",
       R"(Profiles\)",
       {"l0l1f0x5.default"},
       "b0blf8w1.default",
       {"Cookies=cookies.sqlite", "Places=places.sqlite", "Preferences=prefs.js"},
       {R"(user_pref("browser.startup.homepage", "http://lolifox.com/");)"}},
      {"TInstalledSoftwareNetscape",
       "Netscape Navigator (9.0.0.6)",
       R"(Netscape\Navigator 9\navigator.exe)",
       scBrowser,
       "NETSCAPE",
       R"(Netscape\Navigator\)",
       R"(Profiles\)",
       {"n4v9x2ab.default"},
       "b0bns4k2.default",
       {"Cookies=cookies.txt", "Extension blocklist=blocklist.xml",
        "Mouse gestures=mousegestures.rdf", "Places=places.sqlite", "Preferences=prefs.js"},
       {R"(user_pref("browser.startup.homepage", "http://www.netscape.com/");)",
        R"(user_pref("browser.cache.disk.parent_directory", "{BOB}\\Cache");)"}},
      {"TInstalledSoftwareSeaMonkey",
       "SeaMonkey",
       R"(mozilla.org\SeaMonkey\seamonkey.exe)",
       scBrowser,
       "SEAMONKEY",
       R"(Mozilla\)",
       R"(Profiles\default\)",
       {"s3am0nky.slt"},
       "b0bsm5t3.slt",
       {"Address book=abook.mab", "Bookmarks=bookmarks.html", "Cookies=cookies.txt",
        "History=history.dat", "Form history=formhistory.dat", "Passwords=signons.txt",
        "Preferences=prefs.js", R"(Mail file=Mail\Local Folders\Inbox)",
        R"(Mail file=Mail\Local Folders\Inbox.msf)"},
       {R"(user_pref("mail.root.none", "{BOB}\\Mail");)",
        R"(user_pref("mail.server.server1.directory", "{BOB}\\Mail\\Local Folders");)"}},
      {"TInstalledSoftwareThunderbird",
       "Mozilla Thunderbird (2.0.0.21)",
       R"(Mozilla Thunderbird\thunderbird.exe)",
       scEmail,
       "THUNDERBIRD",
       R"(Thunderbird\)",
       R"(Profiles\)",
       {"t8rd5kq2.default"},
       "b0btb6r4.default",
       {"Address book=abook.mab", "History=history.mab", "PGP rules=pgprules.xml",
        "Preferences=prefs.js", "Spam training=training.dat",
        R"(Mail file=Mail\Local Folders\Inbox)", R"(Mail file=Mail\Local Folders\Inbox.msf)",
        R"(Mail file=Mail\pop.example.org\Inbox)", R"(Mail file=Mail\pop.example.org\Inbox.msf)",
        R"(Mail file=Mail\pop.example.org\msgFilterRules.dat)"},
       {R"(user_pref("mail.root.none", "{BOB}\\Mail");)",
        R"(user_pref("mail.root.none-rel", "[ProfD]Mail");)",
        R"(user_pref("mail.server.server1.directory", "{BOB}\\Mail\\Local Folders");)",
        R"(user_pref("mail.server.server1.directory-rel", "[ProfD]Mail/Local Folders");)",
        R"(user_pref("mail.server.server2.directory", "{BOB}\\Mail\\pop.example.org");)",
        R"(user_pref("mail.server.server2.hostname", "pop.example.org");)",
        R"(user_pref("mail.server.server2.userName", "admin");)"}},
      {"TInstalledSoftwareWyzo",
       "Wyzo",
       R"(Wyzo\wyzo.exe)",
       scBrowser,
       "WYZO",
       R"(Wyzo\Data\)",
       R"(Profiles\)",
       {"w7z0prof.default"},
       "b0bwz7p5.default",
       {"Cookies=cookies.sqlite", "Form history=formhistory.sqlite", "Places=places.sqlite",
        "Permissions=permissions.sqlite", "Preferences=prefs.js"},
       {R"(user_pref("browser.download.dir", "{BOB}\\Downloads");)",
        R"(user_pref("wyzo.mediaplayer.fixed", false);)"}},
      {"TInstalledSoftwareSongbird",
       "Songbird 1.0",
       R"(Songbird\songbird.exe)",
       scMultimedia,
       "SONGBIRD",
       R"(Songbird1\)",
       R"(Profiles\)",
       {"s0ngb1rd.default"},
       "b0bsb8n6.default",
       // Not the journal nor the log beside the databases.
       {"Cookies=cookies.sqlite", "Preferences=prefs.js",
        R"(Music Database=db\main@library.songbirdnest.com.db)",
        R"(Music Database=db\web@library.songbirdnest.com.db)"},
       {R"(user_pref("songbird.library.watch.folder", "{PROFILES}\\Admin\\My Music");)",
        R"(user_pref("songbird.download.folder", "{BOB}\\Downloads");)"}},
      {"TInstalledSoftwareQtrax",
       "Qtrax",
       R"(Qtrax\songbird.exe)",
       scMultimedia,
       "QTRAX",
       R"(Qtrax1\)",
       R"(Profiles\)",
       {"qtr4xprf.default"},
       "b0bqt9m7.default",
       {"Preferences=prefs.js", R"(Music Database=db\main@library.songbirdnest.com.db)",
        R"(Music Database=db\backup\main@library.songbirdnest.com.db)"},
       {R"(user_pref("songbird.download.folder", "{BOB}\\Downloads");)"}},
  };
  return cases;
}

// A path as "prefs.js" writes it.
std::string Escaped(std::string_view path) {
  std::string result;
  for (const char c : path) {
    result += c;
    if (c == '\\') result += '\\';
  }
  return result;
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// A "prefs.js" as the applications write it: their header, then the preferences.
std::string PrefsJs(const std::vector<std::string>& lines) {
  std::string text =
      "# Mozilla User Preferences\n"
      "\n"
      "/* Do not edit this file.\n"
      " *\n"
      " * If you make changes to this file while the application is running,\n"
      " * the changes will be overwritten when the application exits.\n"
      " *\n"
      " * To make a manual change to preferences, you can visit the URL about:config\n"
      " * For more information, see http://www.mozilla.org/unix/customizing.html#prefs\n"
      " */\n"
      "\n";
  for (const std::string& line : lines) text += line + "\n";
  return Crlf(text);
}

std::string DataFolder(const BrowsersFlavour& flavour, std::string_view account,
                       const MozillaCase& c) {
  return flavour.AppData(account) + "\\" + c.dataFolder;
}

std::string AdminProfile(const BrowsersFlavour& flavour, const MozillaCase& c) {
  return DataFolder(flavour, "Admin", c) + c.profilesSubfolder + c.adminProfiles.front() + "\\";
}

TEST(MozillaRegistration, TenClassesInTheirOrderRightAfterMicrosoft) {
  TSoftwareClassRegistry mozilla;
  RegisterMozillaSoftwareClasses(mozilla);
  ASSERT_EQ(mozilla.Count(), 10);
  TSoftwareClassRegistry all;
  RegisterSoftwareClasses(all);
  ASSERT_GE(all.Count(), 15);
  for (int i = 0; i < 10; ++i) {
    const MozillaCase& c = MozillaCases()[i];
    EXPECT_EQ(mozilla.Classes()[i].Name, c.className);
    EXPECT_EQ(mozilla.Classes()[i].GetIconResourceName(), c.icon) << c.className;
    EXPECT_EQ(all.Classes()[5 + i].Name, c.className);
  }
}

class MozillaFixtureTest : public ::testing::TestWithParam<BrowsersFlavour> {
 protected:
  [[nodiscard]] const BrowsersFlavour& Flavour() const { return GetParam(); }
  [[nodiscard]] TInstalledSoftwareManager& Catalogue() {
    return fixture_.Catalogue(RegisterMozillaSoftwareClasses);
  }
  [[nodiscard]] sim::SimMachine& Machine() { return fixture_.Machine(); }

  FixtureMachine fixture_{GetParam().machine};
};

TEST_P(MozillaFixtureTest, DetectsEachMemberOnceWithItsNameCategoryAndIcon) {
  std::vector<std::string> icons{"APPLICATION"};
  for (const MozillaCase& c : MozillaCases()) icons.push_back(c.icon);
  AddIconPairs(Machine(), icons);
  TInstalledSoftwareManager& catalogue = Catalogue();
  // Qtrax's "songbird.exe" is no Songbird, and Songbird no Qtrax.
  ASSERT_EQ(catalogue.Count(), 10);
  for (int i = 0; i < catalogue.Count(); ++i) {
    const MozillaCase& c = MozillaCases()[i];
    TInstalledSoftware& item = catalogue.Items(i);
    EXPECT_EQ(catalogue.ClassNameOf(i), c.className);
    EXPECT_EQ(item.DisplayName(), c.displayName);
    EXPECT_EQ(item.Executable(), std::string(Flavour().programs) + "\\" + c.program);
    EXPECT_EQ(item.Category(), c.category) << c.className;
    EXPECT_TRUE(item.StartRequiredBeforeDataCopy()) << c.className;
    EXPECT_FALSE(item.ShutdownRequiredBeforeDataCopy()) << c.className;
    EXPECT_EQ(item.ImageIndex(), i + 1) << c.className;
    EXPECT_EQ(catalogue.LargeIcons().Entry(item.ImageIndex()).pixels,
              RenderIcon(*FindIconArt(c.icon), 32))
        << c.className;
  }
}

TEST_P(MozillaFixtureTest, ListsTheFirstProfileFilesMailAndMusicDatabases) {
  TInstalledSoftwareManager& catalogue = Catalogue();
  ASSERT_EQ(catalogue.Count(), 10);
  for (int i = 0; i < catalogue.Count(); ++i) {
    const MozillaCase& c = MozillaCases()[i];
    auto& item = dynamic_cast<TInstalledMozillaSoftware&>(catalogue.Items(i));
    SCOPED_TRACE(c.className);
    EXPECT_EQ(item.ProfilesSubfolder(), c.profilesSubfolder);
    EXPECT_EQ(item.GetCurrentUserDataFolder(), DataFolder(Flavour(), "Admin", c));
    EXPECT_EQ(item.GetDataFolder("Bob"), DataFolder(Flavour(), "Bob", c));

    // Every sub-folder counts, in the file system's order; Bob has no profile yet.
    TWideStringList folders{"junk"};
    item.GetDataFolders("Admin", folders);
    std::vector<std::string> expected;
    for (const std::string& profile : c.adminProfiles) {
      expected.push_back(DataFolder(Flavour(), "Admin", c) + c.profilesSubfolder + profile);
    }
    EXPECT_EQ(Lines(folders), expected);
    item.GetDataFolders("Bob", folders);
    EXPECT_TRUE(folders.Empty());

    TWideStringList items{"junk"};
    item.GetExistingDataItems(items, 0);
    EXPECT_EQ(Lines(items), c.existingItems);
    item.GetExistingDataItems(items, static_cast<std::int32_t>(c.adminProfiles.size()));
    EXPECT_TRUE(items.Empty()) << "no profile at that index";

    TWideStringList notes{"junk"};
    item.GetSupportNotes(notes);
    std::vector<std::string> note{
        std::string(c.displayName) +
        " is supported the same way all Mozilla products are; bookmarks, address books, "
        "browsing history, passwords, mouse gestures and preferences are migrated to your "
        "impersonated Ombrant."};
    if (std::string_view(c.className) == "TInstalledSoftwareWyzo") {
      note.push_back(
          "Wyzo is an exception though in that is has a problem on startup running a "
          "\"fixMediaPlayer\" thing.");
    }
    EXPECT_EQ(Lines(notes), note);

    TWideStringList keys{"junk"};
    item.GetRegistryKeys(keys);
    EXPECT_TRUE(keys.Empty());
    item.GetRegistryValues(keys);
    EXPECT_TRUE(keys.Empty());
  }
  // The twenty profile files, older and newer kinds, then today's.
  TWideStringList all;
  catalogue.Items(0).GetDataItems(all);
  EXPECT_EQ(Lines(all),
            (std::vector<std::string>{R"(Adblock Plus patterns=adblockplus\patterns.ini)",
                                      "Address book=abook.mab",
                                      "Bookmarks=bookmarks.html",
                                      "Bookmarks=bookmarks_history.sqlite",
                                      "Cookies=cookies.txt",
                                      "Cookies=cookies.sqlite",
                                      "Extension blocklist=blocklist.xml",
                                      "History=history.dat",
                                      "History=history.mab",
                                      "Form history=formhistory.dat",
                                      "Form history=formhistory.sqlite",
                                      "Mouse gestures=mousegestures.rdf",
                                      "Passwords=signons.txt",
                                      "Places=places.sqlite",
                                      "Permissions=permissions.sqlite",
                                      "PGP rules=pgprules.xml",
                                      "Preferences=prefs.js",
                                      "Server specific permissions=hostperm.1",
                                      "Sign On information=signons3.txt",
                                      "Spam training=training.dat",
                                      "Passwords=logins.json",
                                      "Passwords=key4.db",
                                      "Certificates=cert9.db",
                                      "Window layout=xulstore.json",
                                      "Download actions=handlers.json",
                                      "Containers=containers.json",
                                      "Search engines=search.json.mozlz4",
                                      "Favicons=favicons.sqlite"}));
}

TEST_P(MozillaFixtureTest, MigratesTheFirstProfileOfEachIntoBobsFreshProfile) {
  TInstalledSoftwareManager& catalogue = Catalogue();
  ASSERT_EQ(catalogue.Count(), 10);
  sim::SimMachine& machine = Machine();
  const std::string adminProfile = Flavour().Profile("Admin");
  const auto adminFiles = SnapshotFiles(fixture_.Port().files, adminProfile);
  const std::string adminHive = SnapshotHive(machine, "Admin");

  std::vector<std::string> programs;
  std::vector<std::pair<std::string, std::string>> starts;
  for (int i = 0; i < catalogue.Count(); ++i) {
    programs.push_back(catalogue.Items(i).Executable());
    starts.emplace_back(catalogue.Items(i).Executable(), catalogue.Items(i).DisplayName());
  }
  AnswerFirstStarts(machine, programs);
  ASSERT_TRUE(MigrateSelectedApplications(fixture_.Port(), catalogue, "Bob"));

  // Each program ran once under Bob to make its profile, and Bob closed it when asked.
  ExpectFirstStarts(machine, starts);

  // Bob's application data hold the copied files of each first profile and nothing else.
  const std::string bobAppData = Flavour().AppData("Bob");
  std::map<std::string, std::string> expected;
  for (const MozillaCase& c : MozillaCases()) {
    const std::string bobProfile = std::string(c.dataFolder) + c.profilesSubfolder + c.bobProfile;
    for (const std::string& line : c.existingItems) {
      const std::string file = line.substr(line.find('=') + 1);
      expected[bobProfile + "\\" + file] = Bytes(machine, AdminProfile(Flavour(), c) + file);
    }
    std::vector<std::string> prefs;
    for (const std::string& line : c.prefsAfter) {
      prefs.push_back(ReplaceAll(ReplaceAll(line, "{BOB}", Escaped(bobAppData + "\\" + bobProfile)),
                                 "{PROFILES}", Escaped(Flavour().profiles)));
    }
    expected[bobProfile + "\\prefs.js"] = PrefsJs(prefs);
  }
  const auto bobFiles = SnapshotFiles(fixture_.Port().files, bobAppData);
  EXPECT_EQ(bobFiles.size(), expected.size());
  for (const auto& [path, bytes] : expected) {
    const auto found = bobFiles.find(path);
    ASSERT_NE(found, bobFiles.end()) << path;
    EXPECT_EQ(found->second, bytes) << path;
  }
  for (const auto& [path, bytes] : bobFiles) EXPECT_TRUE(expected.count(path)) << "copied " << path;

  // The administrator's own profile and hive are as they were; his settings are not in Bob's hive.
  EXPECT_EQ(SnapshotFiles(fixture_.Port().files, adminProfile), adminFiles);
  EXPECT_EQ(SnapshotHive(machine, "Admin"), adminHive);
  EXPECT_EQ(SnapshotHive(machine, "Bob").find("Mozilla"), std::string::npos);
}

TEST_P(MozillaFixtureTest, ASecondRunLeavesBobsProfilesAlone) {
  TInstalledSoftwareManager& catalogue = Catalogue();
  sim::SimMachine& machine = Machine();
  std::vector<std::string> programs;
  for (int i = 0; i < catalogue.Count(); ++i) programs.push_back(catalogue.Items(i).Executable());
  AnswerFirstStarts(machine, programs);
  ASSERT_TRUE(MigrateSelectedApplications(fixture_.Port(), catalogue, "Bob"));
  const std::string bobAppData = Flavour().AppData("Bob");
  const auto bobFiles = SnapshotFiles(fixture_.Port().files, bobAppData);
  ASSERT_FALSE(bobFiles.empty());

  // The administrator browses on; Bob's own profiles now exist and are not overwritten.
  const MozillaCase& firefox = MozillaCases()[1];
  machine.Files().AddFile(AdminProfile(Flavour(), firefox) + "places.sqlite", "newer places");
  machine.Ui().ClearBoxes();
  machine.Shell().ClearExecuted();
  ASSERT_TRUE(MigrateSelectedApplications(fixture_.Port(), catalogue, "Bob"));
  EXPECT_TRUE(machine.Ui().Boxes().empty());
  EXPECT_TRUE(machine.Shell().Executed().empty()) << "nothing started again";
  EXPECT_EQ(SnapshotFiles(fixture_.Port().files, bobAppData), bobFiles);
}

// Machines built in code for what the fixtures do not show.
TEST(MozillaLists, OlderAndNewerFilesBothCountAndOnlyFoldersAreProfiles) {
  CatalogueMachine machine;
  const std::string profiles = machine.AppData() + R"(\Mozilla\Firefox\Profiles\)";
  machine.Files().AddFile(profiles + R"(abc.default\cookies.txt)", "old");
  machine.Files().AddFile(profiles + R"(abc.default\cookies.sqlite)", "new");
  machine.Files().AddFolder(profiles + R"(abc.default\prefs.js)");  // a folder is no file
  machine.Files().AddFile(profiles + "stray.txt", "x");
  TInstalledSoftwareFirefox firefox(machine.Context(), "Mozilla Firefox", "firefox.exe");
  TWideStringList folders;
  firefox.GetDataFolders("Admin", folders);
  EXPECT_EQ(Lines(folders), std::vector<std::string>{profiles + "abc.default"});
  TWideStringList items;
  firefox.GetExistingDataItems(items, 0);
  EXPECT_EQ(Lines(items),
            (std::vector<std::string>{"Cookies=cookies.txt", "Cookies=cookies.sqlite"}));

  // A data folder without its profiles folder has no profile to migrate.
  machine.Files().AddFile(machine.AppData() + R"(\Thunderbird\profiles.ini)", "[General]\r\n");
  TInstalledSoftwareThunderbird thunderbird(machine.Context(), "Mozilla Thunderbird",
                                            "thunderbird.exe");
  thunderbird.GetDataFolders("Admin", folders);
  EXPECT_TRUE(folders.Empty());
  thunderbird.GetExistingDataItems(items, 0);
  EXPECT_TRUE(items.Empty());
}

INSTANTIATE_TEST_SUITE_P(Browsers, MozillaFixtureTest,
                         ::testing::Values(kBrowsersXp, kBrowsers7x64), FlavourName);

}  // namespace
}  // namespace ombrant::test
