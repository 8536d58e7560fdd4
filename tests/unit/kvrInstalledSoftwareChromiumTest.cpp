// The Chromium family: detection from every registration, the profile files and what never
// leaves the administrator's profile, the preference paths; and what holds for every class:
// programs inside the administrator's profile, and display names that become file names.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "catalogue/kvrShortcutFiles.h"
#include "definitions/kvrInstalledSoftwareChromium.h"
#include "definitions/kvrInstalledSoftwareMozilla.h"
#include "tests/unit/browsersFixture.h"
#include "tests/unit/catalogueTestMachine.h"
#include "tests/unit/definitionFixtureSupport.h"

namespace ombrant::test {
namespace {

constexpr std::string_view kWowUninstall =
    R"(HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\)";
constexpr std::string_view kUserUninstall =
    R"(HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Uninstall\)";
constexpr std::string_view kUserAppPaths =
    R"(HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\App Paths\)";

std::vector<std::string> Detected(CatalogueMachine& machine,
                                  void (*find)(const TSoftwareContext&, TWideStringList&)) {
  TWideStringList list;
  find(machine.Context(), list);
  return Lines(list);
}

// ---- detection

struct DetectionCase {
  const char* name;
  // Registers the program on the machine; the path it registered.
  std::string (*install)(CatalogueMachine& machine);
  void (*find)(const TSoftwareContext&, TWideStringList&);
  const char* displayName;
};

const DetectionCase kDetectionCases[] = {
    {"ChromeUninstallIn32BitView",
     [](CatalogueMachine& m) {
       const std::string program = R"(C:\Program Files\Google\Chrome\Application\chrome.exe)";
       m.AddProgram(program);
       const std::string key = std::string(kWowUninstall) + "Google Chrome";
       m.Registry().SetString(key, "DisplayName", "Google Chrome");
       m.Registry().SetString(key, "InstallLocation",
                              R"(C:\Program Files\Google\Chrome\Application)");
       return program;
     },
     &TInstalledSoftwareChrome::FindInstallations, "Google Chrome"},
    {"ChromeAppPathIn64BitView",
     [](CatalogueMachine& m) {
       const std::string program = R"(C:\Program Files\Google\Chrome\Application\chrome.exe)";
       m.AddProgram(program);
       m.AddAppPath("chrome.exe", program);  // the native view of a 64-bit machine
       return program;
     },
     &TInstalledSoftwareChrome::FindInstallations, "Google Chrome"},
    {"EdgeUninstallIn32BitView",
     [](CatalogueMachine& m) {
       const std::string program = R"(C:\Program Files (x86)\Microsoft\Edge\Application\msedge.exe)";
       m.AddProgram(program);
       const std::string key = std::string(kWowUninstall) + "Microsoft Edge";
       m.Registry().SetString(key, "DisplayName", "Microsoft Edge");
       m.Registry().SetString(key, "InstallLocation",
                              R"(C:\Program Files (x86)\Microsoft\Edge\Application)");
       return program;
     },
     &TInstalledSoftwareEdge::FindInstallations, "Microsoft Edge"},
    {"BraveUninstallIn64BitView",
     [](CatalogueMachine& m) {
       const std::string program =
           R"(C:\Program Files\BraveSoftware\Brave-Browser\Application\brave.exe)";
       m.AddProgram(program);
       const std::string key = std::string(kUninstallRoot) + "BraveSoftware Brave-Browser";
       m.Registry().SetString(key, "DisplayName", "Brave");
       m.Registry().SetString(key, "InstallLocation",
                              R"("C:\Program Files\BraveSoftware\Brave-Browser\Application")");
       return program;
     },
     &TInstalledSoftwareBrave::FindInstallations, "Brave"},
    {"ChromeForTheAdministratorAlone",
     [](CatalogueMachine& m) {
       const std::string program = m.LocalAppData() + R"(\Google\Chrome\Application\chrome.exe)";
       m.AddProgram(program);
       const std::string key = std::string(kUserUninstall) + "Google Chrome";
       m.Registry().SetString(key, "DisplayName", "Google Chrome");
       m.Registry().SetString(key, "InstallLocation",
                              m.LocalAppData() + R"(\Google\Chrome\Application)");
       return program;
     },
     &TInstalledSoftwareChrome::FindInstallations, "Google Chrome"},
    {"BraveAppPathOfTheAdministrator",
     [](CatalogueMachine& m) {
       const std::string program =
           m.LocalAppData() + R"(\BraveSoftware\Brave-Browser\Application\brave.exe)";
       m.AddProgram(program);
       m.Registry().SetString(std::string(kUserAppPaths) + "brave.exe", "", program);
       return program;
     },
     &TInstalledSoftwareBrave::FindInstallations, "Brave"},
};

class ChromiumDetection : public ::testing::TestWithParam<DetectionCase> {};

TEST_P(ChromiumDetection, FindsTheRegisteredProgramOnceUnderItsFixedName) {
  CatalogueMachine machine(Flavour::Win7x64);
  const std::string program = GetParam().install(machine);
  EXPECT_EQ(Detected(machine, GetParam().find),
            std::vector<std::string>{program + "=" + GetParam().displayName});
}

INSTANTIATE_TEST_SUITE_P(Registrations, ChromiumDetection, ::testing::ValuesIn(kDetectionCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ChromiumDetection, IgnoresNeighboursMissingProgramsAndForeignNames) {
  CatalogueMachine machine(Flavour::Win7x64);
  // Edge's updater and runtime live beside it under names that begin alike.
  for (const char* name : {"Microsoft Edge Update", "Microsoft Edge WebView2 Runtime"}) {
    const std::string key = std::string(kWowUninstall) + name;
    machine.Registry().SetString(key, "DisplayName", name);
    machine.Registry().SetString(key, "InstallLocation", R"(C:\Program Files (x86)\Microsoft\Edge\Application)");
  }
  machine.AddProgram(R"(C:\Program Files (x86)\Microsoft\Edge\Application\msedge.exe)");
  // A registration whose program is gone.
  const std::string chrome = std::string(kWowUninstall) + "Google Chrome";
  machine.Registry().SetString(chrome, "DisplayName", "Google Chrome");
  machine.Registry().SetString(chrome, "InstallLocation", R"(C:\Program Files\Google\Chrome\Application)");
  // The administrator's hive names a program with a name of its own: it is shown by ours.
  const std::string brave = std::string(kUserUninstall) + "BraveSoftware Brave-Browser";
  machine.Registry().SetString(brave, "DisplayName", "brave");
  machine.Registry().SetString(brave, "InstallLocation", R"(C:\Tools\Brave)");
  machine.AddProgram(R"(C:\Tools\Brave\brave.exe)");

  EXPECT_TRUE(Detected(machine, &TInstalledSoftwareEdge::FindInstallations).empty());
  EXPECT_TRUE(Detected(machine, &TInstalledSoftwareChrome::FindInstallations).empty());
  EXPECT_EQ(Detected(machine, &TInstalledSoftwareBrave::FindInstallations),
            std::vector<std::string>{R"(C:\Tools\Brave\brave.exe=Brave)"});
}

// ---- the fixture machines with today's browsers

struct TodaysBrowser {
  const char* className;
  const char* displayName;
  const char* executable;
  const char* icon;
  bool oneAccount;
};

struct TodaysMachine {
  const char* name;
  std::vector<TodaysBrowser> browsers;
};

const TodaysMachine kTodaysMachines[] = {
    {"browsers-10",
     {{"TInstalledSoftwareChrome", "Google Chrome",
       R"(C:\Program Files\Google\Chrome\Application\chrome.exe)", "CHROME", false},
      {"TInstalledSoftwareEdge", "Microsoft Edge",
       R"(C:\Program Files (x86)\Microsoft\Edge\Application\msedge.exe)", "EDGE", false},
      {"TInstalledSoftwareBrave", "Brave",
       R"(C:\Users\Admin\AppData\Local\BraveSoftware\Brave-Browser\Application\brave.exe)",
       "BRAVE", true}}},
    {"browsers-today-7x64",
     {{"TInstalledSoftwareChrome", "Google Chrome",
       R"(C:\Program Files\Google\Chrome\Application\chrome.exe)", "CHROME", false},
      {"TInstalledSoftwareEdge", "Microsoft Edge",
       R"(C:\Program Files (x86)\Microsoft\Edge\Application\msedge.exe)", "EDGE", false},
      {"TInstalledSoftwareBrave", "Brave",
       R"(C:\Program Files\BraveSoftware\Brave-Browser\Application\brave.exe)", "BRAVE",
       false}}},
};

class TodaysBrowsersFixture : public ::testing::TestWithParam<TodaysMachine> {
 protected:
  void SetUp() override { LoadFixture(fixture_, GetParam().name); }
  std::unique_ptr<FixtureMachine> fixture_;
};

TEST_P(TodaysBrowsersFixture, DetectsEachBrowserOnceWithItsOwnIcon) {
  AddIconPairs(fixture_->Machine(), {"APPLICATION", "CHROME", "EDGE", "BRAVE"});
  TInstalledSoftwareManager& catalogue = fixture_->Catalogue(RegisterChromiumSoftwareClasses);
  const std::vector<TodaysBrowser>& browsers = GetParam().browsers;
  ASSERT_EQ(catalogue.Count(), static_cast<int>(browsers.size()));
  for (int i = 0; i < catalogue.Count(); ++i) {
    const TodaysBrowser& b = browsers[static_cast<std::size_t>(i)];
    TInstalledSoftware& item = catalogue.Items(i);
    EXPECT_EQ(catalogue.ClassNameOf(i), b.className);
    EXPECT_EQ(item.DisplayName(), b.displayName);
    EXPECT_EQ(item.Executable(), b.executable);
    EXPECT_EQ(item.Category(), scBrowser);
    EXPECT_EQ(item.InstalledForOneAccount(), b.oneAccount) << b.className;
    EXPECT_EQ(item.ImageIndex(), i + 1) << b.className;
    EXPECT_EQ(catalogue.LargeIcons().Entry(item.ImageIndex()).pixels,
              RenderIcon(*FindIconArt(b.icon), 32))
        << b.className;
  }
}

TEST_P(TodaysBrowsersFixture, TodaysMozillaFilesAreListedBesideTheOlderOnes) {
  TInstalledSoftwareManager& catalogue = fixture_->Catalogue(RegisterMozillaSoftwareClasses);
  ASSERT_EQ(catalogue.Count(), 2);
  TWideStringList items;
  catalogue.Items(0).GetExistingDataItems(items, 0);
  EXPECT_EQ(Lines(items),
            (std::vector<std::string>{
                "Cookies=cookies.sqlite", "Form history=formhistory.sqlite", "Places=places.sqlite",
                "Permissions=permissions.sqlite", "Preferences=prefs.js", "Passwords=logins.json",
                "Passwords=key4.db", "Certificates=cert9.db", "Window layout=xulstore.json",
                "Download actions=handlers.json", "Containers=containers.json",
                "Search engines=search.json.mozlz4", "Favicons=favicons.sqlite"}));
  catalogue.Items(1).GetExistingDataItems(items, 0);
  EXPECT_EQ(Lines(items), (std::vector<std::string>{
                              "Preferences=prefs.js", "Passwords=logins.json", "Passwords=key4.db",
                              "Certificates=cert9.db", "Window layout=xulstore.json",
                              R"(Mail file=Mail\Local Folders\Inbox)"}));
}

INSTANTIATE_TEST_SUITE_P(Machines, TodaysBrowsersFixture, ::testing::ValuesIn(kTodaysMachines),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           for (char& c : name) {
                             if (c == '-') c = '_';
                           }
                           return name;
                         });

// ---- profile files

TEST(ChromiumProfile, ListsTheProfileFilesAndExtensionsButNoEncryptedStore) {
  for (Flavour flavour : {Flavour::Xp32, Flavour::Win7x64}) {
    CatalogueMachine machine(flavour);
    const std::string userData = machine.LocalAppData() + R"(\Google\Chrome\User Data\)";
    const std::string profile = userData + R"(Default\)";
    for (const char* file :
         {"Bookmarks", "Preferences", "Secure Preferences", "History", "Favicons", "Top Sites",
          "Shortcuts", "Web Data", "Login Data", "Cookies", R"(Network\Cookies)",
          R"(Extensions\abcd\1.0_0\manifest.json)",
          R"(Local Extension Settings\abcd\000003.log)"}) {
      machine.Files().AddFile(profile + file, file);
    }
    machine.Files().AddFile(userData + "Local State", "{\"os_crypt\":{}}");
    TInstalledSoftwareChrome chrome(machine.Context(), "Google Chrome", "chrome.exe");
    EXPECT_EQ(chrome.GetDataFolder("Bob"),
              machine.LocalAppData("Bob") + R"(\Google\Chrome\User Data\Default\)");
    TWideStringList items;
    chrome.GetExistingDataItems(items, 0);
    EXPECT_EQ(Lines(items),
              (std::vector<std::string>{
                  "Bookmarks=Bookmarks", "Preferences=Preferences",
                  "Preferences=Secure Preferences", "History=History", "Favicons=Favicons",
                  "Top sites=Top Sites", "Shortcuts=Shortcuts", "Web data=Web Data",
                  R"(Extension file=Extensions\abcd\1.0_0\manifest.json)",
                  R"(Extension file=Local Extension Settings\abcd\000003.log)"}));
    EXPECT_TRUE(chrome.ShutdownRequiredBeforeDataCopy());
    EXPECT_FALSE(chrome.StartRequiredBeforeDataCopy());
    TWideStringList notes;
    chrome.GetSupportNotes(notes);
    ASSERT_EQ(notes.Count(), 2);
    EXPECT_EQ(notes[0].rfind("Google Chrome is supported", 0), 0u) << notes[0];
    EXPECT_NE(notes[1].find("Saved passwords and cookies stay with your account"),
              std::string::npos);
  }
}

struct JsonCase {
  const char* name;
  const char* json;
  const char* expected;
};

const JsonCase kJsonCases[] = {
    {"DownloadFolder", R"({"download":{"default_directory":"C:\\Users\\Admin\\Downloads"}})",
     R"({"download":{"default_directory":"C:\\Users\\Bob\\Downloads"}})"},
    {"OtherLetterCaseAndTheFolderItself",
     R"({"a":"c:\\users\\ADMIN","b":"C:\\Users\\admin\\Desktop"})",
     R"({"a":"C:\\Users\\Bob","b":"C:\\Users\\Bob\\Desktop"})"},
    {"LongerAccountNameStays", R"({"a":"C:\\Users\\Administrator\\x"})",
     R"({"a":"C:\\Users\\Administrator\\x"})"},
    {"OnlyAtTheStartOfAString", R"({"a":"D:\\Copy of C:\\Users\\Admin\\x"})",
     R"({"a":"D:\\Copy of C:\\Users\\Admin\\x"})"},
    {"EverythingElseByteForByte", "{\"a\": \"C:\\\\Users\\\\Admin\\\\d\",\n\t\"b\": 1}\n",
     "{\"a\": \"C:\\\\Users\\\\Bob\\\\d\",\n\t\"b\": 1}\n"},
    {"UnterminatedString", R"({"a":"C:\\Users\\Admin)", R"({"a":"C:\\Users\\Admin)"},
};

class ChromiumPreferences : public ::testing::TestWithParam<JsonCase> {};

TEST_P(ChromiumPreferences, RewritesTheProfileFolderAtTheStartOfPathStrings) {
  EXPECT_EQ(ReplaceProfileInJson(GetParam().json, R"(C:\Users\Admin\)", R"(C:\Users\Bob\)"),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Json, ChromiumPreferences, ::testing::ValuesIn(kJsonCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ChromiumPreferences, AdjustsPreferencesInTheTargetAndNothingElse) {
  CatalogueMachine machine(Flavour::Win7x64);
  const std::string below = R"(\AppData\Local\Microsoft\Edge\User Data\Default\)";
  const std::string source = machine.Profile("Admin") + below;
  const std::string target = machine.Profile("Bob") + below;
  const std::string prefs = R"({"savefile":{"default_directory":"C:\\Users\\Admin\\Documents"}})";
  machine.Files().AddFile(target + "Preferences", prefs);
  machine.Files().AddFile(target + "Secure Preferences", prefs);
  TInstalledSoftwareEdge edge(machine.Context(), "Microsoft Edge", "msedge.exe");
  EXPECT_TRUE(edge.AdjustCopiedFile(source, target, "Preferences"));
  EXPECT_FALSE(edge.AdjustCopiedFile(source, target, "Secure Preferences"));
  EXPECT_EQ(machine.Files().ReadFile(target + "Preferences").value_or(""),
            R"({"savefile":{"default_directory":"C:\\Users\\Bob\\Documents"}})");
  // Its checksums cover these values: it stays as the administrator's browser wrote it.
  EXPECT_EQ(machine.Files().ReadFile(target + "Secure Preferences").value_or(""), prefs);
}

// ---- programs inside the administrator's profile

struct OneAccountCase {
  const char* executable;
  bool inside;
};

TEST(InstalledForOneAccount, TellsProgramsInsideTheAdministratorsProfile) {
  const OneAccountCase cases[] = {
      {R"(C:\Program Files\Google\Chrome\Application\chrome.exe)", false},
      {R"(C:\Users\Admin\AppData\Local\Programs\Opera\opera.exe)", true},
      {R"(C:\Users\Admin\AppData\Roaming\Zoom\bin\Zoom.exe)", true},
      {R"(c:\users\ADMIN\tools\x.exe)", true},
      {R"(C:/Users/Admin/AppData/Local/x.exe)", true},
      {R"(C:\Program Files\..\Users\Admin\AppData\Local\x.exe)", true},
      {R"(C:\Users\Admin\..\Public\x.exe)", false},
      {R"(C:\Users\Administrator\x.exe)", false},
      {R"(C:\Users\Bob\AppData\Local\x.exe)", false},
      {"chrome.exe", false},
  };
  CatalogueMachine machine(Flavour::Win7x64);
  for (const OneAccountCase& c : cases) {
    TInstalledSoftwareChrome app(machine.Context(), "X", c.executable);
    EXPECT_EQ(app.InstalledForOneAccount(), c.inside) << c.executable;
  }
  // XP keeps the local application data below "Local Settings", inside the profile as well.
  CatalogueMachine xp(Flavour::Xp32);
  TInstalledSoftwareChrome local(
      xp.Context(), "X", xp.LocalAppData() + R"(\Google\Chrome\Application\chrome.exe)");
  EXPECT_TRUE(local.InstalledForOneAccount());
}

// ---- display names as file names

TEST(SafeFileName, KeepsEveryShortcutNameInsideItsFolder) {
  const std::pair<const char*, const char*> cases[] = {
      {"Mozilla Firefox (3.0.10)", "Mozilla Firefox (3.0.10)"},
      {R"(..\..\Startup\x)", R"(_._Startup_x)"},
      {"../../Startup/x", "_._Startup_x"},
      {"..", "_"},
      {"  . ", "_"},
      {"", "_"},
      {R"(C:\Windows\evil)", "C__Windows_evil"},
      {"a<b>c:d\"e|f?g*h", "a_b_c_d_e_f_g_h"},
      {"tab\there", "tab_here"},
      {"Opera 9.64...", "Opera 9.64"},
      {"a...b", "a.b"},
      {"CON", "_CON"},
      {"nul.txt", "_nul.txt"},
      {"Com1 ", "_Com1"},
      {"CONSOLE", "CONSOLE"},
      {"Skype\xE2\x84\xA2 4.1", "Skype\xE2\x84\xA2 4.1"},
  };
  for (const auto& [name, expected] : cases) {
    const std::string safe = SafeFileName(name);
    EXPECT_EQ(safe, expected) << name;
    EXPECT_EQ(safe.find('\\'), std::string::npos);
    EXPECT_EQ(safe.find('/'), std::string::npos);
    EXPECT_EQ(safe.find(".."), std::string::npos);
  }
}

}  // namespace
}  // namespace ombrant::test
