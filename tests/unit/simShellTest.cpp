#include "platform/sim/simShell.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/sim/simFileSystem.h"
#include "platform/sim/simLnkFile.h"
#include "platform/sim/simSystem.h"
#include "platform/sim/simTempFolder.h"
#include "platform/sim/simUi.h"

namespace ombrant::sim {
namespace {

using namespace port;

struct Flavour {
  const char* name;
  OsVersionInfo version;
  bool is64;
  const char* profiles;
  const char* windows;
  const char* language;
};

constexpr Flavour kXpEnglish{"XP English", {5, 1, 2600, 2}, false, "C:\\Documents and Settings",
                             "C:\\WINDOWS", "en"};
constexpr Flavour kXpGerman{"XP German", {5, 1, 2600, 2}, false, "C:\\Dokumente und Einstellungen",
                            "C:\\WINDOWS", "de"};
constexpr Flavour kVista{"Vista", {6, 0, 6002, 2}, false, "C:\\Users", "C:\\Windows", "en"};
constexpr Flavour kSeven64{"Windows 7 64-bit", {6, 1, 7601, 2}, true, "C:\\Users", "C:\\Windows",
                           "de"};
constexpr Flavour kXp64German{"XP x64 German", {5, 2, 3790, 2}, true,
                              "C:\\Dokumente und Einstellungen", "C:\\WINDOWS", "de"};

// One machine of a flavour, run by "Anna".
class FlavourMachine {
 public:
  explicit FlavourMachine(const Flavour& f)
      : files_(host_.Path(), f.windows),
        system_(SimSystemSettings{f.version, f.is64}),
        shell_(files_, system_, {f.profiles, f.language, "Anna", {}}) {}

  std::string Folder(int csidl) {
    std::string path = "(untouched)";
    const Status s = shell_.GetSpecialFolderPath(csidl, &path);
    return s == kErrorSuccess ? path : "error " + std::to_string(s) + " " + path;
  }

 private:
  SimTempFolder host_;
  SimFileSystem files_;
  SimSystem system_;
  SimShell shell_;
};

struct FolderCase {
  int csidl;
  const char* xpEnglish;
  const char* xpGerman;
  const char* vista;
};

TEST(SpecialFolders, FollowTheFlavourOfTheMachine) {
  const FolderCase cases[] = {
      {kCsidlProfile, "C:\\Documents and Settings\\Anna", "C:\\Dokumente und Einstellungen\\Anna",
       "C:\\Users\\Anna"},
      {kCsidlDesktopDirectory, "C:\\Documents and Settings\\Anna\\Desktop",
       "C:\\Dokumente und Einstellungen\\Anna\\Desktop", "C:\\Users\\Anna\\Desktop"},
      {kCsidlAppData, "C:\\Documents and Settings\\Anna\\Application Data",
       "C:\\Dokumente und Einstellungen\\Anna\\Anwendungsdaten",
       "C:\\Users\\Anna\\AppData\\Roaming"},
      {kCsidlLocalAppData, "C:\\Documents and Settings\\Anna\\Local Settings\\Application Data",
       "C:\\Dokumente und Einstellungen\\Anna\\Lokale Einstellungen\\Anwendungsdaten",
       "C:\\Users\\Anna\\AppData\\Local"},
      {kCsidlFavorites, "C:\\Documents and Settings\\Anna\\Favorites",
       "C:\\Dokumente und Einstellungen\\Anna\\Favoriten", "C:\\Users\\Anna\\Favorites"},
      {kCsidlPersonal, "C:\\Documents and Settings\\Anna\\My Documents",
       "C:\\Dokumente und Einstellungen\\Anna\\Eigene Dateien", "C:\\Users\\Anna\\Documents"},
      {kCsidlStartMenu, "C:\\Documents and Settings\\Anna\\Start Menu",
       "C:\\Dokumente und Einstellungen\\Anna\\Startmen\xC3\xBC",
       "C:\\Users\\Anna\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu"},
      {kCsidlPrograms, "C:\\Documents and Settings\\Anna\\Start Menu\\Programs",
       "C:\\Dokumente und Einstellungen\\Anna\\Startmen\xC3\xBC\\Programme",
       "C:\\Users\\Anna\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"},
      {kCsidlCommonDesktopDirectory, "C:\\Documents and Settings\\All Users\\Desktop",
       "C:\\Dokumente und Einstellungen\\All Users\\Desktop", "C:\\Users\\Public\\Desktop"},
      {kCsidlCommonAppData, "C:\\Documents and Settings\\All Users\\Application Data",
       "C:\\Dokumente und Einstellungen\\All Users\\Anwendungsdaten", "C:\\ProgramData"},
      {kCsidlCommonStartMenu, "C:\\Documents and Settings\\All Users\\Start Menu",
       "C:\\Dokumente und Einstellungen\\All Users\\Startmen\xC3\xBC",
       "C:\\ProgramData\\Microsoft\\Windows\\Start Menu"},
      {kCsidlCommonPrograms, "C:\\Documents and Settings\\All Users\\Start Menu\\Programs",
       "C:\\Dokumente und Einstellungen\\All Users\\Startmen\xC3\xBC\\Programme",
       "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"},
      {kCsidlProgramFiles, "C:\\Program Files", "C:\\Programme", "C:\\Program Files"},
      {kCsidlProfiles, "C:\\Documents and Settings", "C:\\Dokumente und Einstellungen",
       "C:\\Users"},
      {kCsidlWindows, "C:\\WINDOWS", "C:\\WINDOWS", "C:\\Windows"},
      {kCsidlSystem, "C:\\WINDOWS\\system32", "C:\\WINDOWS\\system32", "C:\\Windows\\system32"},
      {kCsidlControls, "error 2 (untouched)", "error 2 (untouched)", "error 2 (untouched)"},
      {kCsidlAltStartup, "error 2 (untouched)", "error 2 (untouched)", "error 2 (untouched)"},
  };
  FlavourMachine xpEnglish(kXpEnglish);
  FlavourMachine xpGerman(kXpGerman);
  FlavourMachine vista(kVista);
  for (const FolderCase& c : cases) {
    EXPECT_EQ(xpEnglish.Folder(c.csidl), c.xpEnglish) << "CSIDL " << c.csidl;
    EXPECT_EQ(xpGerman.Folder(c.csidl), c.xpGerman) << "CSIDL " << c.csidl;
    EXPECT_EQ(vista.Folder(c.csidl), c.vista) << "CSIDL " << c.csidl;
  }
}

TEST(SpecialFolders, ThirtyTwoBitProgramSeesTheX86ProgramFilesOnSixtyFourBitWindows) {
  FlavourMachine seven(kSeven64);
  EXPECT_EQ(seven.Folder(kCsidlProgramFiles), "C:\\Program Files (x86)");
  EXPECT_EQ(seven.Folder(kCsidlProgramFilesCommon), "C:\\Program Files (x86)\\Common Files");
  // Vista and later name their folders in English on disk, whatever the language.
  EXPECT_EQ(seven.Folder(kCsidlAppData), "C:\\Users\\Anna\\AppData\\Roaming");
  FlavourMachine xp64(kXp64German);
  EXPECT_EQ(xp64.Folder(kCsidlProgramFiles), "C:\\Programme (x86)");
  EXPECT_EQ(xp64.Folder(kCsidlProgramFilesCommon), "C:\\Programme (x86)\\Gemeinsame Dateien");
}

TEST(SpecialFolders, AreGivenForAnyAccountFromTheLayout) {
  const SimFolderLayout layout{"D:\\Profiles", "D:\\WINNT", "en", 5, false};
  EXPECT_EQ(SpecialFolderPath(layout, "Anna-online", kCsidlAppData),
            "D:\\Profiles\\Anna-online\\Application Data");
  // The program folders follow the system drive.
  EXPECT_EQ(SpecialFolderPath(layout, "x", kCsidlProgramFiles), "D:\\Program Files");
  EXPECT_EQ(SpecialFolderPath(layout, "x", 0x7FFF), std::nullopt);
}

class SimShellLinkTest : public ::testing::Test {
 protected:
  std::string PathOf(const std::string& target) {
    std::unique_ptr<IShellLink> link = shell_.CreateShellLink();
    EXPECT_EQ(link->SetPath(target), kSOk);
    EXPECT_EQ(link->Save("C:\\Links\\t.lnk"), kSOk);
    std::unique_ptr<IShellLink> loaded = shell_.CreateShellLink();
    EXPECT_EQ(loaded->Load("C:\\Links\\t.lnk"), kSOk);
    std::string path;
    EXPECT_EQ(loaded->GetPath(&path, 511), kSOk);
    return path;
  }

  SimTempFolder host_;
  SimFileSystem files_{host_.Path(), "C:\\WINDOWS"};
  SimSystem system_;
  SimShell shell_{files_, system_};
};

TEST_F(SimShellLinkTest, BareTargetBecomesTheProgramFoundInTheSystemFolders) {
  files_.AddFolder("C:\\Links");
  EXPECT_EQ(PathOf("runas"), "runas");  // not on this machine: kept as written
  files_.AddFile("C:\\WINDOWS\\System32\\RunAs.exe", "MZ");
  files_.AddFile("C:\\WINDOWS\\notepad.exe", "MZ");
  files_.AddFile("C:\\Tools\\tool.exe", "MZ");
  shell_.Settings().searchPath = {"C:\\Tools"};
  EXPECT_EQ(PathOf("runas"), "C:\\WINDOWS\\system32\\runas.exe");
  EXPECT_EQ(PathOf("notepad"), "C:\\WINDOWS\\notepad.exe");
  EXPECT_EQ(PathOf("tool.exe"), "C:\\Tools\\tool.exe");
  EXPECT_EQ(PathOf("C:\\Elsewhere\\missing.exe"), "C:\\Elsewhere\\missing.exe");
}

TEST_F(SimShellLinkTest, SavesARealLinkThatRemembersItsTarget) {
  files_.AddFile("C:\\Program Files\\App\\app.exe", std::string(1234, 'x'));
  files_.AddFolder("C:\\Links");
  std::unique_ptr<IShellLink> link = shell_.CreateShellLink();
  ASSERT_EQ(link->SetPath("C:\\Program Files\\App\\app.exe"), kSOk);
  ASSERT_EQ(link->SetArguments("-profile x"), kSOk);
  ASSERT_EQ(link->Save("C:\\Links\\App.lnk"), kSOk);
  const std::optional<std::string> bytes = files_.ReadFile("C:\\Links\\App.lnk");
  ASSERT_TRUE(bytes);
  const std::optional<ShellLinkData> parsed = ParseShellLink(
      std::span(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()));
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->targetPath, "C:\\Program Files\\App\\app.exe");
  EXPECT_EQ(parsed->arguments, "-profile x");
  EXPECT_EQ(parsed->fileSize, 1234u);
  EXPECT_NE(parsed->writeTime, 0u);
}

TEST_F(SimShellLinkTest, TextsWhoseCountIncludesTheNulReadWithoutIt) {
  // Wine's shell writes each string's count with its terminating NUL.
  ShellLinkData data;
  data.targetPath = "C:\\App\\app.exe";
  data.arguments = "abc";
  std::vector<std::uint8_t> bytes = WriteShellLink(data);
  const std::vector<std::uint8_t> counted = {3, 0, 'a', 0, 'b', 0, 'c', 0};
  auto at = std::search(bytes.begin(), bytes.end(), counted.begin(), counted.end());
  ASSERT_NE(at, bytes.end());
  *at = 4;
  bytes.insert(at + static_cast<std::ptrdiff_t>(counted.size()), {0, 0});
  files_.AddFile("C:\\Links\\wine.lnk", std::string(bytes.begin(), bytes.end()));

  std::unique_ptr<IShellLink> link = shell_.CreateShellLink();
  ASSERT_EQ(link->Load("C:\\Links\\wine.lnk"), kSOk);
  std::string arguments;
  ASSERT_EQ(link->GetArguments(&arguments, 261), kSOk);
  EXPECT_EQ(arguments, "abc");
}

TEST_F(SimShellLinkTest, CanBeMadeUnavailable) {
  shell_.SetShellLinkAvailable(false);
  EXPECT_EQ(shell_.CreateShellLink(), nullptr);
  shell_.SetShellLinkAvailable(true);
  EXPECT_NE(shell_.CreateShellLink(), nullptr);
}

TEST(SimUi, AnswersFromTheQueueAndRecordsEveryBox) {
  SimUi ui;
  int closedBeforeAnswer = 0;
  ui.QueueAnswer(kIdYes, [&] { ++closedBeforeAnswer; });
  ui.QueueAnswer(kIdNo);
  EXPECT_EQ(ui.MessageBox(0, "Delete?", "Uninstall", kMbYesNo | kMbIconQuestion), kIdYes);
  EXPECT_EQ(closedBeforeAnswer, 1);
  EXPECT_EQ(ui.MessageBox(7, "Again?", "Uninstall", kMbYesNo), kIdNo);
  EXPECT_FALSE(ui.HadUnansweredBox());
  EXPECT_EQ(ui.MessageBox(0, "Surprise", "Oops", kMbOk), 0);
  EXPECT_TRUE(ui.HadUnansweredBox());
  ASSERT_EQ(ui.Boxes().size(), 3u);
  const MessageBoxRecord& first = ui.Boxes()[0];
  EXPECT_EQ(first.text, "Delete?");
  EXPECT_EQ(first.caption, "Uninstall");
  EXPECT_EQ(first.type, kMbYesNo | kMbIconQuestion);
  EXPECT_EQ(first.answer, kIdYes);
  EXPECT_TRUE(first.answered);
  EXPECT_EQ(ui.Boxes()[1].owner, 7u);
  EXPECT_FALSE(ui.Boxes()[2].answered);
  EXPECT_EQ(ui.PendingAnswers(), 0u);
}

}  // namespace
}  // namespace ombrant::sim
