// Shortcut replacement, the applications page's shortcut operations and uninstall, walked on
// simulated machines. Every shortcut written is read back through the shell-link object.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "catalogue/kvrShortcutFiles.h"
#include "orchestration/UnitNetworkingApps.h"
#include "tests/unit/orchestrationTestMachine.h"
#include "tests/unit/testSoftware.h"
#include "ui/uiListView.h"

namespace ombrant::test {
namespace {

constexpr const char* kRemovedKey =
    "HKEY_CURRENT_USER\\Software\\Kestrova Limited\\Ombrant\\RemovedOriginalLinks";
constexpr const char* kRecreatedKey =
    "HKEY_CURRENT_USER\\Software\\Kestrova Limited\\Ombrant\\RecreatedOriginalLinks";

struct Link {
  std::string target;
  std::string arguments;
  std::string description;
  std::string workingFolder;
  std::string iconFile;
  int iconIndex = -1;
};

// Reads a link back through the shell-link object; nullopt when it does not load.
std::optional<Link> ReadLink(port::Port& port, const std::string& file) {
  std::unique_ptr<port::IShellLink> link = port.shell.CreateShellLink();
  if (!link || !port::Succeeded(link->Load(file))) return std::nullopt;
  Link out;
  (void)link->GetPath(&out.target, 1024);
  (void)link->GetArguments(&out.arguments, 1024);
  (void)link->GetDescription(&out.description, 1024);
  (void)link->GetWorkingDirectory(&out.workingFolder, 1024);
  (void)link->GetIconLocation(&out.iconFile, 1024, &out.iconIndex);
  return out;
}

// Every file of the machine's drives with its bytes: a second run must leave it equal.
std::map<std::string, std::string> DriveContents(sim::SimFileSystem& files) {
  std::map<std::string, std::string> contents;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(files.HostRoot())) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    contents[entry.path().string()] =
        std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return contents;
}

// The folders of one flavour the scenario works in.
struct Folders {
  std::string desktop, commonDesktop, quickLaunch, commonQuickLaunch, programs, commonPrograms,
      startMenu;
};

class ShortcutScenario : public testing::TestWithParam<const MachineFlavour*> {
 protected:
  ShortcutScenario() : m_(*GetParam()) {
    f_.desktop = m_.Folder(port::kCsidlDesktopDirectory) + "\\";
    f_.commonDesktop = m_.Folder(port::kCsidlCommonDesktopDirectory) + "\\";
    f_.quickLaunch =
        m_.Folder(port::kCsidlAppData) + "\\Microsoft\\Internet Explorer\\Quick Launch\\";
    f_.commonQuickLaunch =
        m_.Folder(port::kCsidlCommonAppData) + "\\Microsoft\\Internet Explorer\\Quick Launch\\";
    f_.programs = m_.Folder(port::kCsidlPrograms) + "\\";
    f_.commonPrograms = m_.Folder(port::kCsidlCommonPrograms) + "\\";
    f_.startMenu = m_.Folder(port::kCsidlStartMenu) + "\\";
    for (const std::string* folder : {&f_.desktop, &f_.commonDesktop, &f_.quickLaunch,
                                      &f_.programs, &f_.commonPrograms, &f_.startMenu}) {
      m_.Files().AddFolder(*folder);
    }
    programFiles_ = std::string(GetParam()->programFiles) + "\\";
    firefox_ = programFiles_ + "Mozilla Firefox\\firefox.exe";
    opera_ = programFiles_ + "Opera\\opera.exe";
    thunderbird_ = programFiles_ + "Mozilla Thunderbird\\thunderbird.exe";

    InstallTestPrograms(m_.Registry(), {{"Mozilla Firefox", firefox_, "", scBrowser},
                                        {"Opera", opera_, "-a b", scBrowser},
                                        {"Mozilla Thunderbird", thunderbird_, "", scEmail}});
    m_.Registry().SetString(kSettingsKeyPath, "InternetUser", "Admin-online");
    apps_ = std::make_unique<TNetworkingApps>(m_.Port(), classes_);
    apps_->SetActive(2, false);
  }

  void Original(const std::string& file, const std::string& target) {
    WriteShortcut(m_.Port(), file, target, target, "installer's link", "--installed", 0);
    ASSERT_TRUE(m_.Files().Exists(file)) << file;
  }

  bool Exists(const std::string& path) { return m_.Files().Exists(path); }

  // The impersonated shortcut as the replacement must write it.
  void ExpectImpersonated(const std::string& file, const std::string& displayName,
                          const std::string& executable, const std::string& parameters,
                          const std::string& account = "Admin-online") {
    SCOPED_TRACE(file);
    const std::optional<Link> link = ReadLink(m_.Port(), file);
    ASSERT_TRUE(link.has_value()) << "missing or not a link";
    EXPECT_TRUE(SameText(link->target,
                         std::string(GetParam()->windows) + "\\system32\\runas.exe"))
        << link->target;
    EXPECT_EQ(link->arguments,
              "/user:" + account + " /savecred \"\\\"" + executable + "\\\" " + parameters + "\"");
    EXPECT_EQ(link->description, "Starts " + displayName + " under a limited user account.");
    EXPECT_EQ(link->workingFolder, "");
    EXPECT_EQ(link->iconFile, executable);
    EXPECT_EQ(link->iconIndex, 0);
  }

  void ExpectTarget(const std::string& file, const std::string& target) {
    const std::optional<Link> link = ReadLink(m_.Port(), file);
    ASSERT_TRUE(link.has_value()) << file;
    EXPECT_EQ(link->target, target) << file;
  }

  OrchestrationMachine m_;
  Folders f_;
  std::string programFiles_, firefox_, opera_, thunderbird_;
  const TSoftwareClassRegistry classes_ = TestSoftwareClasses();
  std::unique_ptr<TNetworkingApps> apps_;
};

constexpr const char* kReadme =
    "You have replaced your Internet application shortcuts on your\r\n"
    "desktop, in your start menu and in your quicklaunch area with\r\n"
    "shortcuts that allow you to run them safely through a limited\r\n"
    "user account.\r\n"
    "These shortcuts are copies of the original shortcuts that will\r\n"
    "allow you to run the linked applications without restricting\r\n"
    "them. Use this only for administrative tasks.\r\n"
    "\r\n"
    "This folder and readme file were created by Ombrant.\r\n";

TEST_P(ShortcutScenario, ReplacesRunsAgainUnchangedAndUninstallRestores) {
  const std::string desktopOriginals = f_.commonDesktop + "Internet (direct)\\";
  const std::string quickOriginals = f_.commonQuickLaunch + "Internet (direct)\\";
  const std::string programOriginals = f_.commonPrograms + "Internet (direct)\\";

  Original(f_.desktop + "Mozilla Firefox.lnk", firefox_);
  Original(f_.desktop + "Firefox again.lnk", UpperCase(firefox_));  // two links, one program
  Original(f_.desktop + "Opera.lnk", opera_);
  Original(f_.desktop + "Thunderbird.lnk", thunderbird_);  // not active
  m_.Files().AddFile(f_.desktop + "broken.lnk", "not a shortcut at all");
  Original(f_.commonDesktop + "Opera.lnk", opera_ + "x");  // same name as the per-user one
  Original(f_.commonDesktop + "Opera 2.lnk", opera_);
  Original(f_.quickLaunch + "Mozilla Firefox.lnk", firefox_);
  Original(f_.programs + "Opera.lnk", opera_);
  m_.Files().AddFolder(f_.programs + "Mozilla Firefox");
  Original(f_.programs + "Mozilla Firefox\\Mozilla Firefox.lnk", firefox_);  // below the top
  Original(f_.commonPrograms + "Mozilla Firefox.lnk", firefox_);
  Original(f_.startMenu + "Opera.lnk", opera_);  // the start menu's top level

  apps_->ReplaceAllShortcuts();

  // Desktop: the active applications' originals moved to the all-users originals folder.
  for (const char* name : {"Mozilla Firefox.lnk", "Firefox again.lnk", "Opera.lnk"}) {
    EXPECT_FALSE(Exists(f_.desktop + name)) << name;
  }
  ExpectTarget(desktopOriginals + "Mozilla Firefox.lnk", firefox_);
  ExpectTarget(desktopOriginals + "Firefox again.lnk", UpperCase(firefox_));
  ExpectTarget(desktopOriginals + "Opera.lnk", opera_);  // the per-user one came first
  ExpectTarget(desktopOriginals + "Opera 2.lnk", opera_);
  EXPECT_TRUE(Exists(f_.desktop + "Thunderbird.lnk"));
  EXPECT_TRUE(Exists(f_.desktop + "broken.lnk"));
  EXPECT_FALSE(Exists(f_.desktop + "Mozilla Thunderbird (as Admin-online).lnk"));
  EXPECT_FALSE(Exists(f_.commonDesktop + "Opera 2.lnk"));
  // Its target is not Opera's: it is no shortcut of an active application.
  EXPECT_TRUE(Exists(f_.commonDesktop + "Opera.lnk"));
  ExpectImpersonated(f_.desktop + "Mozilla Firefox (as Admin-online).lnk", "Mozilla Firefox",
                     firefox_, "");
  ExpectImpersonated(f_.desktop + "Opera (as Admin-online).lnk", "Opera", opera_, "-a b");
  EXPECT_FALSE(Exists(f_.commonDesktop + "Opera (as Admin-online).lnk"));

  // Quick launch and Programs: top level only; impersonated shortcuts in the per-user folders.
  ExpectTarget(quickOriginals + "Mozilla Firefox.lnk", firefox_);
  ExpectImpersonated(f_.quickLaunch + "Mozilla Firefox (as Admin-online).lnk", "Mozilla Firefox",
                     firefox_, "");
  ExpectTarget(programOriginals + "Opera.lnk", opera_);
  ExpectTarget(programOriginals + "Mozilla Firefox.lnk", firefox_);
  EXPECT_FALSE(Exists(f_.commonPrograms + "Mozilla Firefox.lnk"));
  ExpectImpersonated(f_.programs + "Opera (as Admin-online).lnk", "Opera", opera_, "-a b");
  ExpectImpersonated(f_.programs + "Mozilla Firefox (as Admin-online).lnk", "Mozilla Firefox",
                     firefox_, "");
  EXPECT_TRUE(Exists(f_.programs + "Mozilla Firefox\\Mozilla Firefox.lnk"));
  EXPECT_FALSE(Exists(f_.programs + "Mozilla Firefox\\Mozilla Firefox (as Admin-online).lnk"));
  EXPECT_TRUE(Exists(f_.startMenu + "Opera.lnk"));
  EXPECT_FALSE(Exists(f_.startMenu + "Opera (as Admin-online).lnk"));

  for (const std::string& folder : {desktopOriginals, quickOriginals, programOriginals}) {
    const std::optional<std::string> readme = m_.Files().ReadFile(folder + "readme.txt");
    ASSERT_TRUE(readme.has_value()) << folder;
    EXPECT_EQ(readme->substr(0, std::string(kReadme).size()), kReadme);
    EXPECT_TRUE(readme->ends_with("\r\n"));
    EXPECT_EQ(std::count(readme->begin(), readme->end(), '\n'), 11);
  }

  EXPECT_EQ(m_.MultiString(kRemovedKey, "Desktop"),
            (std::vector<std::string>{f_.desktop + "Firefox again.lnk=" + UpperCase(firefox_),
                                      f_.desktop + "Mozilla Firefox.lnk=" + firefox_,
                                      f_.desktop + "Opera.lnk=" + opera_}));
  EXPECT_EQ(m_.MultiString(kRemovedKey, "CommonDesktop"),
            std::vector<std::string>{f_.commonDesktop + "Opera 2.lnk=" + opera_});
  EXPECT_EQ(m_.MultiString(kRemovedKey, "CommonPrograms"),
            std::vector<std::string>{f_.commonPrograms + "Mozilla Firefox.lnk=" + firefox_});
  EXPECT_EQ(m_.MultiString(kRemovedKey, "Startmenu"), std::vector<std::string>{"<missing>"});

  // The applications page sees what is there.
  EXPECT_TRUE(apps_->HasShortcut(0, slDesktop, false));
  EXPECT_FALSE(apps_->HasShortcut(0, slDesktop, true));
  EXPECT_TRUE(apps_->HasShortcut(1, slPrograms, false));
  EXPECT_FALSE(apps_->HasShortcut(2, slDesktop, false));
  EXPECT_TRUE(apps_->HasShortcut(2, slDesktop, true));

  // A second run finds no originals and changes nothing.
  const auto before = DriveContents(m_.Files());
  apps_->ReplaceAllShortcuts();
  EXPECT_EQ(DriveContents(m_.Files()), before);
  EXPECT_EQ(m_.MultiString(kRemovedKey, "Desktop").size(), 3u);

  // Uninstall puts the recorded originals back from their copies, byte for byte, and empties
  // the lists; impersonated shortcuts and the originals folders stay. A file that took an
  // original's name meanwhile is not overwritten: its line stays and one box names it.
  m_.Files().AddFile(f_.desktop + "Opera.lnk", "a file that took the name meanwhile");
  m_.Ui().ClearBoxes();
  m_.Ui().QueueAnswer(port::kIdOk);
  apps_->RestoreAllOriginalLinks();
  for (const auto& [file, copy] : std::vector<std::pair<std::string, std::string>>{
           {f_.desktop + "Mozilla Firefox.lnk", desktopOriginals + "Mozilla Firefox.lnk"},
           {f_.desktop + "Firefox again.lnk", desktopOriginals + "Firefox again.lnk"},
           {f_.commonDesktop + "Opera 2.lnk", desktopOriginals + "Opera 2.lnk"},
           {f_.quickLaunch + "Mozilla Firefox.lnk", quickOriginals + "Mozilla Firefox.lnk"},
           {f_.programs + "Opera.lnk", programOriginals + "Opera.lnk"},
           {f_.commonPrograms + "Mozilla Firefox.lnk", programOriginals + "Mozilla Firefox.lnk"}}) {
    SCOPED_TRACE(file);
    const std::optional<std::string> restored = m_.Files().ReadFile(file);
    ASSERT_TRUE(restored.has_value());
    EXPECT_EQ(restored, m_.Files().ReadFile(copy));
    const std::optional<Link> link = ReadLink(m_.Port(), file);
    ASSERT_TRUE(link.has_value());
    EXPECT_EQ(link->arguments, "--installed");
    EXPECT_EQ(link->description, "installer's link");
  }
  EXPECT_EQ(m_.Files().ReadFile(f_.desktop + "Opera.lnk"), "a file that took the name meanwhile");
  EXPECT_EQ(m_.MultiString(kRemovedKey, "Desktop"),
            std::vector<std::string>{f_.desktop + "Opera.lnk=" + opera_});
  for (const char* location : {"CommonDesktop", "QuickLaunch", "Programs", "CommonPrograms"}) {
    EXPECT_EQ(m_.MultiString(kRemovedKey, location), std::vector<std::string>{}) << location;
  }
  EXPECT_TRUE(Exists(f_.desktop + "Opera (as Admin-online).lnk"));
  EXPECT_TRUE(Exists(desktopOriginals + "Opera.lnk"));
  ASSERT_EQ(m_.Ui().Boxes().size(), 1u);
  EXPECT_NE(m_.Ui().Boxes()[0].text.find("\r\n" + f_.desktop + "Opera.lnk"), std::string::npos)
      << m_.Ui().Boxes()[0].text;
  EXPECT_EQ(m_.Ui().Boxes()[0].type, port::kMbOk | port::kMbIconWarning);

  // Once the file is gone, a second uninstall brings the last original back.
  ASSERT_EQ(m_.Files().DeleteFile(f_.desktop + "Opera.lnk"), port::kErrorSuccess);
  m_.Ui().ClearBoxes();
  apps_->RestoreAllOriginalLinks();
  EXPECT_EQ(m_.Files().ReadFile(f_.desktop + "Opera.lnk"),
            m_.Files().ReadFile(desktopOriginals + "Opera.lnk"));
  EXPECT_EQ(m_.MultiString(kRemovedKey, "Desktop"), std::vector<std::string>{});
  EXPECT_TRUE(m_.Ui().Boxes().empty());
  const auto afterRestore = DriveContents(m_.Files());
  apps_->RestoreAllOriginalLinks();
  EXPECT_EQ(DriveContents(m_.Files()), afterRestore) << "a third uninstall restores nothing";
}

TEST_P(ShortcutScenario, RecreatedOriginalsStayAndImpersonatedBoxesFollowTheAccount) {
  const std::string desktopOriginals = f_.commonDesktop + "Internet (direct)\\";
  Original(f_.desktop + "Mozilla Firefox.lnk", firefox_);
  apps_->ReplaceAllShortcuts();
  ASSERT_FALSE(Exists(f_.desktop + "Mozilla Firefox.lnk"));

  // The original-form box: a direct shortcut named after the application, recorded.
  apps_->SetShortcut(0, slDesktop, true, true);
  const std::string direct = f_.desktop + "Mozilla Firefox.lnk";
  const std::optional<Link> link = ReadLink(m_.Port(), direct);
  ASSERT_TRUE(link.has_value());
  EXPECT_EQ(link->target, firefox_);
  EXPECT_EQ(link->description, "Starts Mozilla Firefox under your current user account.");
  EXPECT_EQ(link->workingFolder, programFiles_ + "Mozilla Firefox\\");
  EXPECT_EQ(m_.MultiString(kRecreatedKey, "Desktop"), std::vector<std::string>{direct});
  EXPECT_TRUE(apps_->HasShortcut(0, slDesktop, true));

  // A later replacement leaves it in place and makes the impersonated one again.
  (void)m_.Files().DeleteFile(f_.desktop + "Mozilla Firefox (as Admin-online).lnk");
  (void)m_.Files().DeleteFile(desktopOriginals + "Mozilla Firefox.lnk");
  apps_->ReplaceAllShortcuts();
  EXPECT_TRUE(Exists(direct));
  EXPECT_TRUE(Exists(desktopOriginals + "Mozilla Firefox.lnk")) << "copied again when missing";
  EXPECT_TRUE(Exists(f_.desktop + "Mozilla Firefox (as Admin-online).lnk"));

  // Unticking deletes the file and forgets it.
  apps_->SetShortcut(0, slDesktop, true, false);
  EXPECT_FALSE(Exists(direct));
  EXPECT_EQ(m_.MultiString(kRecreatedKey, "Desktop"), std::vector<std::string>{});

  // Impersonated boxes are ticked for the current account only.
  EXPECT_TRUE(apps_->HasShortcut(0, slDesktop, false));
  apps_->SetInternetUser("Anna");
  EXPECT_FALSE(apps_->HasShortcut(0, slDesktop, false));
  apps_->SetShortcut(0, slDesktop, false, true);
  ExpectImpersonated(f_.desktop + "Mozilla Firefox (as Anna).lnk", "Mozilla Firefox", firefox_,
                     "", "Anna");
  EXPECT_TRUE(Exists(f_.desktop + "Mozilla Firefox (as Admin-online).lnk"));
  EXPECT_TRUE(apps_->HasShortcut(0, slDesktop, false));
  apps_->SetShortcut(0, slDesktop, false, false);
  EXPECT_FALSE(Exists(f_.desktop + "Mozilla Firefox (as Anna).lnk"));
  EXPECT_FALSE(apps_->HasShortcut(0, slDesktop, false));

  // Quick launch and the Programs folder work the same way.
  apps_->SetShortcut(1, slQuickLaunch, false, true);
  ExpectImpersonated(f_.quickLaunch + "Opera (as Anna).lnk", "Opera", opera_, "-a b", "Anna");
  EXPECT_TRUE(apps_->HasShortcut(1, slQuickLaunch, false));
  apps_->SetShortcut(1, slPrograms, true, true);
  ExpectTarget(f_.programs + "Opera.lnk", opera_);
  EXPECT_TRUE(apps_->HasShortcut(1, slPrograms, true));
}

// Faults on the way: no original is ever deleted without its copy in the originals folder.
TEST_P(ShortcutScenario, OriginalsWithoutACopyStayWhereTheyAre) {
  const std::string originals = f_.commonDesktop + "Internet (direct)\\";
  const std::string opera = f_.desktop + "Opera.lnk";
  struct Case {
    const char* what;
    std::function<void()> arrange;
    bool removed;
  };
  const Case cases[] = {
      {"the originals folder cannot be created",
       [&] { m_.Files().LockPath(f_.commonDesktop, port::kErrorAccessDenied); }, false},
      {"the originals folder refuses new files",
       [&] {
         m_.Files().AddFolder(originals);
         m_.Files().LockPath(originals, port::kErrorAccessDenied);
       },
       false},
      {"another file of that name is there already",
       [&] {
         m_.Files().AddFile(originals + "Opera.lnk", "kept as it is");
       },
       true},
      {"the original cannot be deleted",
       [&] { m_.Files().LockPath(opera, port::kErrorAccessDenied); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    m_.Registry().DeleteTree(kRemovedKey);
    for (const char* copy : {"Opera.lnk", "Opera (2).lnk"}) {
      if (Exists(originals + copy)) {
        ASSERT_EQ(m_.Files().DeleteFile(originals + copy), port::kErrorSuccess);
      }
    }
    Original(opera, opera_);
    c.arrange();

    apps_->ReplaceShortcuts(slDesktop);

    EXPECT_EQ(Exists(opera), !c.removed);
    EXPECT_TRUE(Exists(opera) || Exists(originals + "Opera.lnk")) << "the shortcut is lost";
    // A record written and taken back again leaves an empty list.
    std::vector<std::string> lines = m_.MultiString(kRemovedKey, "Desktop");
    std::erase(lines, "<missing>");
    EXPECT_EQ(lines, c.removed ? std::vector<std::string>{opera + "=" + opera_}
                               : std::vector<std::string>{});
    if (c.removed) {
      EXPECT_EQ(m_.Files().ReadFile(originals + "Opera.lnk"), "kept as it is");
      EXPECT_TRUE(Exists(originals + "Opera (2).lnk")) << "the original's own copy";
    }
    ExpectImpersonated(f_.desktop + "Opera (as Admin-online).lnk", "Opera", opera_, "-a b");
    m_.Files().UnlockPath(f_.commonDesktop);
    m_.Files().UnlockPath(originals);
    m_.Files().UnlockPath(opera);
  }
  EXPECT_TRUE(m_.Ui().Boxes().empty());
}

// Per-user and all-users originals share one originals folder: each different original of one
// name gets its own copy, and uninstall puts each back byte for byte.
TEST_P(ShortcutScenario, DifferentOriginalsOfOneNameEachKeepTheirCopy) {
  const std::string originals = f_.commonDesktop + "Internet (direct)\\";
  for (bool unrelatedFirst : {false, true}) {
    SCOPED_TRACE(unrelatedFirst ? "an unrelated Browser.lnk in the originals folder" : "empty");
    m_.Registry().DeleteTree(kRemovedKey);
    for (const char* copy : {"Browser.lnk", "Browser (2).lnk", "Browser (3).lnk"}) {
      if (Exists(originals + copy)) (void)m_.Files().DeleteFile(originals + copy);
    }
    if (unrelatedFirst) m_.Files().AddFile(originals + "Browser.lnk", "someone else's");
    const std::string own = f_.desktop + "Browser.lnk";
    const std::string common = f_.commonDesktop + "Browser.lnk";
    WriteShortcut(m_.Port(), own, firefox_, firefox_, "work profile", "-P work", 0);
    WriteShortcut(m_.Port(), common, firefox_, firefox_, "everybody's", "", 0);
    const std::string ownBytes = *m_.Files().ReadFile(own);
    const std::string commonBytes = *m_.Files().ReadFile(common);
    ASSERT_NE(ownBytes, commonBytes);

    apps_->ReplaceShortcuts(slDesktop);
    apps_->ReplaceShortcuts(slCommonDesktop);

    EXPECT_FALSE(Exists(own));
    EXPECT_FALSE(Exists(common));
    const std::string first = unrelatedFirst ? "Browser (2).lnk" : "Browser.lnk";
    const std::string second = unrelatedFirst ? "Browser (3).lnk" : "Browser (2).lnk";
    EXPECT_EQ(m_.Files().ReadFile(originals + first), ownBytes);
    EXPECT_EQ(m_.Files().ReadFile(originals + second), commonBytes);
    if (unrelatedFirst) {
      EXPECT_EQ(m_.Files().ReadFile(originals + "Browser.lnk"), "someone else's");
    }
    EXPECT_EQ(m_.MultiString(kRemovedKey, "Desktop"),
              std::vector<std::string>{own + "=" + firefox_});
    EXPECT_EQ(m_.MultiString(kRemovedKey, "CommonDesktop"),
              std::vector<std::string>{common + "=" + firefox_});

    apps_->RestoreAllOriginalLinks();
    EXPECT_EQ(m_.Files().ReadFile(own), ownBytes);
    EXPECT_EQ(m_.Files().ReadFile(common), commonBytes);
    EXPECT_TRUE(m_.Ui().Boxes().empty());
    ASSERT_EQ(m_.Files().DeleteFile(own), port::kErrorSuccess);
    ASSERT_EQ(m_.Files().DeleteFile(common), port::kErrorSuccess);
  }
}

TEST_P(ShortcutScenario, NoOriginalIsDeletedWithoutItsRecordOrItsReplacement) {
  // A new profile without its quick-launch folder: the folder is made for the replacement.
  ASSERT_EQ(m_.Files().RemoveDirectory(f_.quickLaunch.substr(0, f_.quickLaunch.size() - 1)),
            port::kErrorSuccess);
  m_.Files().AddFolder(f_.commonQuickLaunch);
  Original(f_.commonQuickLaunch + "Opera.lnk", opera_);
  apps_->ReplaceShortcuts(slCommonQuicklaunch);
  ExpectImpersonated(f_.quickLaunch + "Opera (as Admin-online).lnk", "Opera", opera_, "-a b");
  EXPECT_FALSE(Exists(f_.commonQuickLaunch + "Opera.lnk"));
  EXPECT_TRUE(Exists(f_.commonQuickLaunch + "Internet (direct)\\Opera.lnk"));

  const std::string opera = f_.desktop + "Opera.lnk";
  Original(opera, opera_);
  // The settings store refuses the record: the original stays, its copy is harmless.
  m_.Registry().RefuseValueWrites(kRemovedKey);
  apps_->ReplaceShortcuts(slDesktop);
  EXPECT_TRUE(Exists(opera));
  EXPECT_TRUE(Exists(f_.commonDesktop + "Internet (direct)\\Opera.lnk"));
  EXPECT_EQ(m_.MultiString(kRemovedKey, "Desktop"), std::vector<std::string>{"<missing>"});
}

// Uninstall with the originals folder and the place in every state that matters.
TEST_P(ShortcutScenario, RestoringNeverLosesARecordOrOverwritesAFile) {
  const std::string originals = f_.commonDesktop + "Internet (direct)\\";
  struct Case {
    const char* what;
    const char* name;
    bool withCopy;
    std::function<void(OrchestrationMachine&, const std::string& path)> arrange;
    bool restored;
  };
  const Case cases[] = {
      {"a copy: restored byte for byte", "Firefox (work).lnk", true, [](OrchestrationMachine&, const std::string&) {},
       true},
      {"no copy: rebuilt from path and target", "Firefox (work).lnk", false,
       [](OrchestrationMachine&, const std::string&) {}, true},
      {"a \"=\" in the file name", "a=b.lnk", true, [](OrchestrationMachine&, const std::string&) {}, true},
      {"another file at the path", "Firefox (work).lnk", true,
       [](OrchestrationMachine& m, const std::string& path) { m.Files().AddFile(path, "new"); },
       false},
      {"a desktop that refuses writes", "Firefox (work).lnk", true,
       [&](OrchestrationMachine& m, const std::string&) { m.Files().RefuseWritesIn(f_.desktop); },
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OrchestrationMachine m(*GetParam());
    m.Files().AddFolder(f_.desktop);
    InstallTestPrograms(m.Registry(), {{"Mozilla Firefox", firefox_, "", scBrowser}});
    m.Registry().SetString(kSettingsKeyPath, "InternetUser", "Admin-online");
    TNetworkingApps apps(m.Port(), classes_);
    const std::string path = f_.desktop + c.name;
    WriteShortcut(m.Port(), path, firefox_, firefox_, "work", "-P work", 0);
    const std::string bytes = *m.Files().ReadFile(path);
    apps.ReplaceShortcuts(slDesktop);
    ASSERT_FALSE(m.Files().Exists(path));
    ASSERT_EQ(m.Files().ReadFile(originals + c.name), bytes);
    if (!c.withCopy) {
      ASSERT_EQ(m.Files().DeleteFile(originals + c.name), port::kErrorSuccess);
    }
    c.arrange(m, path);
    if (!c.restored) m.Ui().QueueAnswer(port::kIdOk);

    apps.RestoreAllOriginalLinks();

    const std::vector<std::string> line{path + "=" + firefox_};
    EXPECT_EQ(m.MultiString(kRemovedKey, "Desktop"),
              c.restored ? std::vector<std::string>{} : line);
    if (c.restored) {
      EXPECT_TRUE(m.Ui().Boxes().empty());
      const std::optional<Link> link = ReadLink(m.Port(), path);
      ASSERT_TRUE(link.has_value());
      EXPECT_EQ(link->target, firefox_);
      EXPECT_EQ(link->arguments, c.withCopy ? "-P work" : "");
      if (c.withCopy) {
        EXPECT_EQ(m.Files().ReadFile(path), bytes);
      }
    } else {
      ASSERT_EQ(m.Ui().Boxes().size(), 1u);
      EXPECT_TRUE(m.Ui().Boxes()[0].text.ends_with("\r\n\r\n" + path)) << m.Ui().Boxes()[0].text;
      EXPECT_NE(m.Files().ReadFile(path), bytes);
      EXPECT_EQ(m.Files().ReadFile(originals + c.name), bytes) << "the copy stays";
    }
  }
}

// The original-form box destroys nothing of the administrator's.
TEST_P(ShortcutScenario, UntickingTheOriginalFormBoxMovesTheAdministratorsLinksAside) {
  const std::string originals = f_.commonDesktop + "Internet (direct)\\";
  const std::string named = f_.desktop + "Mozilla Firefox.lnk";
  const std::string other = f_.desktop + "My Fox.lnk";
  // His own "Mozilla Firefox.lnk" leads elsewhere; "My Fox.lnk" leads to Firefox.
  WriteShortcut(m_.Port(), named, opera_, opera_, "", "", 0);
  WriteShortcut(m_.Port(), other, firefox_, firefox_, "mine", "-P mine", 0);
  const std::string otherBytes = *m_.Files().ReadFile(other);
  ASSERT_TRUE(apps_->HasShortcut(0, slDesktop, true));

  apps_->SetShortcut(0, slDesktop, true, false);

  ExpectTarget(named, opera_);
  EXPECT_FALSE(Exists(other));
  EXPECT_EQ(m_.Files().ReadFile(originals + "My Fox.lnk"), otherBytes);
  EXPECT_EQ(m_.MultiString(kRemovedKey, "Desktop"),
            std::vector<std::string>{other + "=" + firefox_});
  EXPECT_FALSE(apps_->HasShortcut(0, slDesktop, true)) << "the box shows the truth";

  // The program's own link of that name is deleted as before.
  ASSERT_EQ(m_.Files().DeleteFile(named), port::kErrorSuccess);
  apps_->SetShortcut(0, slDesktop, true, true);
  ASSERT_TRUE(Exists(named));
  apps_->SetShortcut(0, slDesktop, true, false);
  EXPECT_FALSE(Exists(named));
  EXPECT_FALSE(Exists(originals + "Mozilla Firefox.lnk"));
  EXPECT_EQ(m_.MultiString(kRemovedKey, "Desktop"),
            std::vector<std::string>{other + "=" + firefox_});

  // Uninstall brings his own link back.
  apps_->RestoreAllOriginalLinks();
  EXPECT_EQ(m_.Files().ReadFile(other), otherBytes);
}

TEST_P(ShortcutScenario, ShortcutsReadAheadLeaveASelectionOnlyWhatChangedSince) {
  Original(f_.desktop + "Mozilla Firefox.lnk", firefox_);
  Original(f_.programs + "Opera.lnk", opera_);
  Original(f_.quickLaunch + "Thunderbird.lnk", thunderbird_);
  apps_->ReplaceAllShortcuts();
  Original(f_.desktop + "Notes.lnk", programFiles_ + "Notes\\notes.exe");
  // Everything written an hour ago, as a desktop's links are.
  std::size_t files = 0;
  for (const std::string* folder : {&f_.desktop, &f_.programs, &f_.quickLaunch}) {
    for (const auto& entry :
         std::filesystem::directory_iterator(*m_.Files().HostPath(*folder))) {
      if (!entry.is_regular_file()) continue;
      std::filesystem::last_write_time(
          entry.path(), std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
      ++files;
    }
  }
  ASSERT_GE(files, 4u);

  // What the boxes show, asked without reading ahead.
  const auto answers = [](TNetworkingApps& apps) {
    std::string shown;
    const TShortcutRound round = apps.ShortcutRound();
    for (int app = 0; app < apps.Count(); ++app) {
      for (TShortcutLocation location : kShortcutBoxLocations) {
        for (bool original : {false, true}) {
          shown += apps.HasShortcut(app, location, original) ? '1' : '0';
        }
      }
    }
    return shown;
  };
  TNetworkingApps cold(m_.Port(), classes_);
  const std::string expected = answers(cold);
  EXPECT_NE(expected.find('1'), std::string::npos);

  TNetworkingApps apps(m_.Port(), classes_);
  int steps = 0;
  while (apps.ReadShortcutsAhead(1) && steps < 1000) ++steps;
  EXPECT_EQ(apps.ShortcutsRead(), files);
  EXPECT_GE(steps, static_cast<int>(files)) << "one link per step";
  EXPECT_EQ(answers(apps), expected);
  EXPECT_EQ(apps.ShortcutsRead(), files) << "the selection found every link read";

  // A link changed afterwards is read again, and only that one.
  apps_->SetShortcut(1, slPrograms, false, false);
  EXPECT_NE(answers(apps), expected);
  EXPECT_EQ(answers(apps), answers(cold));
  EXPECT_EQ(apps.ShortcutsRead(), files) << "a removed link needs no reading";
  apps_->SetShortcut(2, slDesktop, true, true);
  EXPECT_EQ(answers(apps), answers(cold));
  EXPECT_GT(apps.ShortcutsRead(), files);
}

TEST_P(ShortcutScenario, AnUnwritableDesktopIsReportedByTheLinkWriterOnlyAnImpossibleNameMadeSafe) {
  Original(f_.desktop + "Opera.lnk", opera_);
  m_.Files().LockPath(f_.desktop, port::kErrorAccessDenied);
  m_.Files().LockPath(f_.desktop + "Opera.lnk", port::kErrorAccessDenied);
  m_.Ui().QueueAnswer(port::kIdOk);
  apps_->ReplaceShortcuts(slDesktop);
  EXPECT_TRUE(Exists(f_.desktop + "Opera.lnk"));
  EXPECT_EQ(m_.MultiString(kRemovedKey, "Desktop"), std::vector<std::string>{"<missing>"});
  ASSERT_EQ(m_.Ui().Boxes().size(), 1u);
  EXPECT_EQ(m_.Ui().Boxes()[0].text, "could not save the shortcut");
  EXPECT_EQ(m_.Ui().Boxes()[0].caption, "Setting link");
  m_.Files().UnlockPath(f_.desktop);

  InstallTestPrograms(m_.Registry(), {{"AC/DC: Player", programFiles_ + "acdc.exe", "",
                                       scMultimedia}});
  TNetworkingApps apps(m_.Port(), classes_);
  m_.Ui().ClearBoxes();
  // The characters a file name cannot hold are replaced: the shortcut is written in its folder.
  apps.SetShortcut(0, slDesktop, false, true);
  EXPECT_TRUE(m_.BoxTexts().empty());
  EXPECT_TRUE(Exists(f_.desktop + "AC_DC_ Player (as Admin-online).lnk"));
  EXPECT_TRUE(apps.HasShortcut(0, slDesktop, false));
  EXPECT_THROW(apps.SetShortcut(apps.Count(), slDesktop, false, true), std::out_of_range);
}

TEST_P(ShortcutScenario, AProgramInsideTheProfileKeepsItsShortcutsAndANameNeverLeavesItsFolder) {
  const std::string local = m_.Folder(port::kCsidlLocalAppData) + "\\";
  const std::string own = local + "Programs\\Tool\\tool.exe";
  const std::string odd = programFiles_ + "Odd\\odd.exe";
  const std::string startup = m_.Folder(port::kCsidlStartup) + "\\";
  InstallTestPrograms(m_.Registry(), {{"Tool", own, "", scBrowser},
                                      {R"(..\Startup\evil)", odd, "", scBrowser}});
  TNetworkingApps apps(m_.Port(), classes_);
  ASSERT_EQ(apps.Count(), 3);  // Thunderbird of the scenario stays third, without shortcuts
  Original(f_.desktop + "Tool.lnk", own);
  Original(f_.commonPrograms + "Tool.lnk", own);
  Original(f_.desktop + "Odd.lnk", odd);
  apps.ReplaceAllShortcuts();

  // The restricted account cannot reach a program in the administrator's profile.
  ExpectTarget(f_.desktop + "Tool.lnk", own);
  ExpectTarget(f_.commonPrograms + "Tool.lnk", own);
  EXPECT_FALSE(Exists(f_.desktop + "Tool (as Admin-online).lnk"));
  EXPECT_FALSE(Exists(f_.programs + "Tool (as Admin-online).lnk"));
  EXPECT_EQ(m_.MultiString(kRemovedKey, "Desktop"),
            std::vector<std::string>{f_.desktop + "Odd.lnk=" + odd});
  apps.SetShortcut(0, slDesktop, false, true);
  EXPECT_FALSE(Exists(f_.desktop + "Tool (as Admin-online).lnk"));
  EXPECT_FALSE(apps.HasShortcut(0, slDesktop, false));
  // Its original form can still be made.
  apps.SetShortcut(0, slQuickLaunch, true, true);
  ExpectTarget(f_.quickLaunch + "Tool.lnk", own);

  // The other one's name is data: its shortcut is written on the desktop, not in Startup.
  ExpectImpersonated(f_.desktop + "_Startup_evil (as Admin-online).lnk", R"(..\Startup\evil)",
                     odd, "");
  apps.SetShortcut(1, slPrograms, true, true);
  EXPECT_TRUE(Exists(f_.programs + "_Startup_evil.lnk"));
  EXPECT_FALSE(Exists(startup + "evil.lnk"));
  EXPECT_FALSE(Exists(startup + "evil (as Admin-online).lnk"));
  EXPECT_TRUE(m_.Ui().Boxes().empty());
}

TEST_P(ShortcutScenario, RecordedListsOfAnotherTypeCountAsEmptyAndAreReplaced) {
  const std::string opera = f_.desktop + "Opera.lnk";
  Original(opera, opera_);
  m_.Registry().SetString(kRecreatedKey, "Desktop", opera);  // a string, not a list
  m_.Registry().SetString(kRemovedKey, "Desktop", "junk=C:\\junk.exe");
  EXPECT_FALSE(apps_->IsRecreatedOriginalLink(opera, slDesktop));
  apps_->ReplaceShortcuts(slDesktop);
  EXPECT_FALSE(Exists(opera));
  EXPECT_EQ(m_.MultiString(kRemovedKey, "Desktop"),
            std::vector<std::string>{opera + "=" + opera_});

  // The same path with another target is a second line; the same line twice is one.
  apps_->RecordRemovedOriginalLink(UpperCase(opera), UpperCase(opera_), slDesktop);
  apps_->RecordRemovedOriginalLink(opera, opera_ + "2", slDesktop);
  EXPECT_EQ(m_.MultiString(kRemovedKey, "Desktop"),
            (std::vector<std::string>{opera + "=" + opera_, opera + "=" + opera_ + "2"}));
  apps_->RecordRecreatedOriginalLink(opera, slDesktop);
  apps_->RecordRecreatedOriginalLink(UpperCase(opera), slDesktop);
  EXPECT_EQ(m_.MultiString(kRecreatedKey, "Desktop"), std::vector<std::string>{opera});
  EXPECT_TRUE(apps_->IsRecreatedOriginalLink(LowerCase(opera), slDesktop));
  apps_->ForgetRecreatedOriginalLink(UpperCase(opera), slDesktop);
  EXPECT_EQ(m_.MultiString(kRecreatedKey, "Desktop"), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Flavours, ShortcutScenario,
                         testing::Values(&kXpEnglish, &kXpGerman, &kSeven64),
                         [](const testing::TestParamInfo<const MachineFlavour*>& info) {
                           std::string name = info.param->name;
                           std::erase_if(name, [](char c) { return !std::isalnum(c); });
                           return name;
                         });

}  // namespace
}  // namespace ombrant::test
