#include "platform/vqPathSolve.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/kvrFilesPathsWinAPI.h"
#include "platform/sim/simMachine.h"
#include "platform/sim/simRegistry.h"
#include "platform/sim/simShell.h"
#include "platform/vqStringList.h"

namespace ombrant {
namespace {

// The machine's shell, except for the folders a test makes it forget.
class ForgetfulShell final : public port::IShell {
 public:
  explicit ForgetfulShell(port::IShell& inner) : inner_(inner) {}
  std::set<int> forgotten;
  std::map<int, int> asked;  // how often each folder was asked for

  port::Status GetSpecialFolderPath(int csidl, std::string* path) override {
    ++asked[csidl];
    if (forgotten.contains(csidl)) return port::kErrorFileNotFound;
    return inner_.GetSpecialFolderPath(csidl, path);
  }
  std::unique_ptr<port::IShellLink> CreateShellLink() override { return inner_.CreateShellLink(); }

 private:
  port::IShell& inner_;
};

enum class Flavour { XpEnglish, XpGerman, Vista, Win7x64 };

// A simulated machine of one flavour, with the special folders and the registry values
// Windows has there for the account "Admin".
class TestMachine {
 public:
  explicit TestMachine(Flavour flavour)
      : flavour_(flavour),
        machine_(flavour == Flavour::Win7x64, Version(flavour)),
        shell_(machine_.Shell()) {
    const bool xp = flavour == Flavour::XpEnglish || flavour == Flavour::XpGerman;
    const bool german = flavour == Flavour::XpGerman;
    machine_.AddAccount("Admin");
    machine_.SetRunningAccount("Admin");
    machine_.Shell().Settings().language = german ? "de" : "en";
    const std::string win = Windows();
    const std::string profiles =
        xp ? (german ? "C:\\Dokumente und Einstellungen" : "C:\\Documents and Settings")
           : "C:\\Users";
    machine_.Shell().Settings().profiles = profiles;
    const std::string profile = profiles + "\\Admin";
    const std::string appData =
        profile +
        (xp ? (german ? "\\Anwendungsdaten" : "\\Application Data") : "\\AppData\\Roaming");
    const std::string localSettings =
        xp ? profile + (german ? "\\Lokale Einstellungen" : "\\Local Settings") : "";
    const std::string localAppData =
        xp ? localSettings + (german ? "\\Anwendungsdaten" : "\\Application Data")
           : profile + "\\AppData\\Local";
    const std::string startMenu = xp ? profile + (german ? "\\Startmen\xC3\xBC" : "\\Start Menu")
                                     : appData + "\\Microsoft\\Windows\\Start Menu";
    const std::string programs = startMenu + (german ? "\\Programme" : "\\Programs");
    const std::string allUsers = xp ? profiles + "\\All Users" : "";
    const std::string commonDesktop = xp ? allUsers + "\\Desktop" : "C:\\Users\\Public\\Desktop";
    const std::string commonAppData =
        xp ? allUsers + (german ? "\\Anwendungsdaten" : "\\Application Data") : "C:\\ProgramData";
    const std::string commonStartMenu =
        xp ? allUsers + (german ? "\\Startmen\xC3\xBC" : "\\Start Menu")
           : "C:\\ProgramData\\Microsoft\\Windows\\Start Menu";
    const std::string programFiles = german ? "C:\\Programme" : "C:\\Program Files";
    const std::string programFiles32 =
        flavour == Flavour::Win7x64 ? "C:\\Program Files (x86)" : programFiles;

    // What Windows keeps in the registry: for the running account, for the machine, and on a
    // 64-bit machine the 32-bit programs' copy below Wow6432Node.
    const std::string userFolders =
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    machine_.Registry().SetString(userFolders, "Desktop", profile + "\\Desktop");
    machine_.Registry().SetString(userFolders, "AppData", appData);
    machine_.Registry().SetString(userFolders, "Local AppData", localAppData);
    if (xp) machine_.Registry().SetString(userFolders, "Local Settings", localSettings);
    machine_.Registry().SetString(userFolders, "Start Menu", startMenu);
    machine_.Registry().SetString(userFolders, "Programs", programs);
    machine_.Registry().SetString("HKEY_CURRENT_USER\\Environment", "PATH",
                                  german ? "C:\\Werkzeuge" : "C:\\Tools\\;C:\\bin");

    std::vector<std::string> software = {"HKEY_LOCAL_MACHINE\\SOFTWARE"};
    if (flavour == Flavour::Win7x64)
      software.push_back("HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node");
    for (const std::string& root : software) {
      const bool wow = root.ends_with("Wow6432Node");
      const std::string folders =
          root + "\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
      machine_.Registry().SetString(folders, "Common Desktop", commonDesktop);
      machine_.Registry().SetString(folders, "Common AppData", commonAppData);
      machine_.Registry().SetString(folders, "Common Start Menu", commonStartMenu);
      const std::string pf = flavour == Flavour::Win7x64 && wow ? programFiles32 : programFiles;
      machine_.Registry().SetString(root + "\\Microsoft\\Windows\\CurrentVersion",
                                    "ProgramFilesDir", pf);
      machine_.Registry().SetString(root + "\\Microsoft\\Windows\\CurrentVersion", "CommonFilesDir",
                                    pf + "\\Common Files");
      machine_.Registry().SetString(root + "\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot",
                                    win);
    }
    // The control panel's display name: German XP has none, Windows 7 keeps it only in the
    // 64-bit view (the 32-bit view shows SOFTWARE\Wow6432Node\Classes).
    if (!german) {
      machine_.Registry().SetString(
          "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\{21EC2020-3AEA-1069-A2DD-08002B30309D}",
          "", "Control Panel");
    }
  }

  std::string Windows() const {
    return flavour_ == Flavour::XpEnglish || flavour_ == Flavour::XpGerman ? "C:\\WINDOWS"
                                                                           : "C:\\Windows";
  }

  port::Port Port() {
    return port::Port{machine_.Registry(), machine_.System(), machine_.Files(),
                      shell_,              machine_.Ui(),     machine_.AccountDatabase(),
                      machine_.Security(),  machine_.ProcessArea()};
  }
  sim::SimRegistry& Registry() { return machine_.Registry(); }
  ForgetfulShell& Shell() { return shell_; }

 private:
  static port::OsVersionInfo Version(Flavour flavour) {
    switch (flavour) {
      case Flavour::Vista:
        return {6, 0, 6002, 2};
      case Flavour::Win7x64:
        return {6, 1, 7601, 2};
      default:
        return {5, 1, 2600, 2};
    }
  }

  Flavour flavour_;
  sim::SimMachine machine_;
  ForgetfulShell shell_;
};

std::vector<std::string> Lines(const TStringList& list) { return list.Strings(); }

std::vector<std::string> Candidates(const TPathSolver& solver, std::string_view token) {
  const TPathCandidates::Entry* entry = solver.PathCandidates().Find(token);
  if (entry == nullptr) return {"(no such token)"};
  return std::vector<std::string>(entry->values.begin(), entry->values.end());
}

TStringList SortedList() {
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(TDuplicates::dupIgnore);
  return list;
}

std::vector<std::string> Expand(const TPathSolver& solver, std::string_view pathTemplate) {
  TStringList list = SortedList();
  solver.ExpandPathCandidates(pathTemplate, list);
  return Lines(list);
}

struct ResolveCase {
  Flavour flavour;
  const char* pathTemplate;
  const char* expected;
};

TEST(ResolvePath, GivesTheRunningSystemsFolders) {
  const ResolveCase cases[] = {
      {Flavour::XpEnglish, "<$APPDATA>\\Opera\\",
       "C:\\Documents and Settings\\Admin\\Application Data\\Opera\\"},
      {Flavour::XpEnglish, "<$SYSDRIVE>", "C:"},
      {Flavour::XpEnglish, "<$PROGRAMFILES>\\Mozilla Firefox\\firefox.exe",
       "C:\\Program Files\\Mozilla Firefox\\firefox.exe"},
      {Flavour::XpEnglish, "<$QUICKLAUNCH>",
       "C:\\Documents and Settings\\Admin\\Application Data\\Microsoft\\Internet "
       "Explorer\\Quick Launch"},
      {Flavour::XpEnglish, "<$LOCALSETTINGS>\\Temp",
       "C:\\Documents and Settings\\Admin\\Local Settings\\Temp"},
      {Flavour::XpEnglish, "<$TEMP>", "C:\\WINDOWS\\Temp"},
      {Flavour::XpEnglish, "<$PATH>\\x.exe", "C:\\Tools\\x.exe"},
      {Flavour::XpEnglish, "<$SYSCPLDIR>|<$CONTROLS>",
       "C:\\WINDOWS\\Control Panel|C:\\WINDOWS\\Control Panel"},
      {Flavour::XpEnglish, "<$COMMONQUICKLAUNCH>",
       "C:\\Documents and Settings\\All Users\\Application Data\\Microsoft\\Internet "
       "Explorer\\Quick Launch"},
      // The shell has no alternate start-up folders: copies of the start-up folders.
      {Flavour::XpEnglish, "<$ALTSTARTUP>",
       "C:\\Documents and Settings\\Admin\\Start Menu\\Programs\\Startup"},
      {Flavour::XpEnglish, "<$COMMONALTSTARTUP>",
       "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Startup"},
      {Flavour::XpEnglish, "<$WINDIR2>|<$SYSDIR2>", "C:\\WINDOWS|C:\\WINDOWS\\system32"},
      {Flavour::XpGerman, "<$APPDATA>\\Thunderbird\\",
       "C:\\Dokumente und Einstellungen\\Admin\\Anwendungsdaten\\Thunderbird\\"},
      {Flavour::XpGerman, "<$PROGRAMFILES>", "C:\\Programme"},
      {Flavour::XpGerman, "<$PATH>", "C:\\Werkzeuge"},
      {Flavour::XpGerman, "<$CONTROLS>", "C:\\WINDOWS\\Systemsteuerung"},
      {Flavour::XpGerman, "<$PROGRAMS>",
       "C:\\Dokumente und Einstellungen\\Admin\\Startmen\xC3\xBC\\Programme"},
      {Flavour::Vista, "<$LOCALAPPDATA>\\Google", "C:\\Users\\Admin\\AppData\\Local\\Google"},
      {Flavour::Vista, "<$COMMONDESKTOP>", "C:\\Users\\Public\\Desktop"},
      // Vista keeps no "Local Settings" folder: the variable vanishes.
      {Flavour::Vista, "<$LOCALSETTINGS>\\x", "\\x"},
      {Flavour::Win7x64, "<$PROGRAMFILES>\\Opera", "C:\\Program Files (x86)\\Opera"},
      {Flavour::Win7x64, "<$COMMONPROGRAMFILES>", "C:\\Program Files (x86)\\Common Files"},
      {Flavour::Win7x64, "<$SYSCPLDIR>", "C:\\Windows\\Control Panel"},
      {Flavour::Win7x64, "<$TEMP>", "C:\\Windows\\Temp"},
  };
  for (const ResolveCase& c : cases) {
    TestMachine machine(c.flavour);
    const TPathSolver solver(machine.Port());
    EXPECT_EQ(solver.ResolvePath(c.pathTemplate), c.expected)
        << "flavour " << static_cast<int>(c.flavour) << ", template " << c.pathTemplate;
  }
}

TEST(ResolvePath, TokenSyntaxRules) {
  TestMachine machine(Flavour::XpEnglish);
  const TPathSolver solver(machine.Port());
  const std::string appData = "C:\\Documents and Settings\\Admin\\Application Data";
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\Plain\\path.txt", "C:\\Plain\\path.txt"},
      {"", ""},
      // Not a variable of the tables: left for its owner to replace.
      {"<$COMMONDESKTOP>\\<$ADMINLINKFOLDER>\\",
       "C:\\Documents and Settings\\All Users\\Desktop\\<$ADMINLINKFOLDER>\\"},
      // The search is case-sensitive, the replacement is not.
      {"<$appdata>\\x", "<$appdata>\\x"},
      {"<$appdata>|<$APPDATA>", appData + "|" + appData},
      {"<$APPDATA><$APPDATA>", appData + appData},
      {"<regexpr><$WINDIR>\\notepad.exe", "<regexpr>C:\\\\WINDOWS\\notepad.exe"},
      {"Path=<regexpr><$PROGRAMFILES>\\x", "Path=<regexpr>C:\\\\Program Files\\x"},
      {"x<regexpr><$WINDIR>", "x<regexpr>C:\\WINDOWS"},
  };
  for (const auto& [pathTemplate, expected] : cases) {
    EXPECT_EQ(solver.ResolvePath(pathTemplate), expected) << pathTemplate;
  }
}

TEST(ResolvePath, RegExprEscapesDotsAndParentheses) {
  TestMachine machine(Flavour::Win7x64);
  const TPathSolver solver(machine.Port());
  EXPECT_EQ(solver.ResolvePath("<regexpr><$PROGRAMFILES>\\a.exe"),
            "<regexpr>C:\\\\Program Files \\(x86\\)\\a.exe");
  EXPECT_EQ(EscapeRegExpr("C:\\a(b).c"), "C:\\\\a\\(b\\)\\.c");
}

TEST(ResolvePath, ProfilesFromTheProfileWhenTheShellHasNone) {
  for (const Flavour flavour : {Flavour::XpEnglish, Flavour::Vista}) {
    TestMachine machine(flavour);
    machine.Shell().forgotten.insert(port::kCsidlProfiles);
    machine.Shell().forgotten.insert(port::kCsidlProfile);
    const TPathSolver solver(machine.Port());
    const std::string root = flavour == Flavour::Vista ? "C:\\Users" : "C:\\Documents and Settings";
    EXPECT_EQ(solver.ResolvePath("<$PROFILE>|<$PROFILES>"), root + "\\Admin|" + root);
    EXPECT_EQ(Candidates(solver, "<$PROFILES>"), std::vector<std::string>{root});
    EXPECT_EQ(Expand(solver, "<$PROFILES>\\Bob"), std::vector<std::string>{root + "\\Bob"});
  }
}

TEST(ResolvePath, NarrowReadsTakeExpandStringsUnexpandedWideReadsDoNot) {
  TestMachine machine(Flavour::XpEnglish);
  machine.Registry().SetString(
      "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
      "Local Settings", "%USERPROFILE%\\Local Settings", port::kRegExpandSz);
  const TPathSolver solver(machine.Port());
  EXPECT_EQ(solver.ResolvePath("<$LOCALSETTINGS>"), "%USERPROFILE%\\Local Settings");
  EXPECT_EQ(Candidates(solver, "<$LOCALSETTINGS>"), std::vector<std::string>{});
}

TEST(PathCandidates, HoldBothRegistryViewsOn64BitWindows) {
  TestMachine machine(Flavour::Win7x64);
  const TPathSolver solver(machine.Port());
  EXPECT_EQ(Candidates(solver, "<$PROGRAMFILES>"),
            (std::vector<std::string>{"C:\\Program Files", "C:\\Program Files (x86)"}));
  EXPECT_EQ(Expand(solver, "<$PROGRAMFILES>\\Mozilla Firefox\\firefox.exe"),
            (std::vector<std::string>{"C:\\Program Files (x86)\\Mozilla Firefox\\firefox.exe",
                                      "C:\\Program Files\\Mozilla Firefox\\firefox.exe"}));
  // Every combination of the values of several tokens.
  EXPECT_EQ(Expand(solver, "<$PROGRAMFILES>|<$COMMONPROGRAMFILES>").size(), 4u);
}

TEST(PathCandidates, OneValuePerFolderOn32BitWindows) {
  TestMachine machine(Flavour::XpEnglish);
  const TPathSolver solver(machine.Port());
  EXPECT_EQ(Expand(solver, "<$PROGRAMFILES>\\Mozilla Firefox\\firefox.exe"),
            std::vector<std::string>{"C:\\Program Files\\Mozilla Firefox\\firefox.exe"});
}

TEST(ExpandPathCandidates, EdgeCases) {
  TestMachine machine(Flavour::Vista);
  const TPathSolver solver(machine.Port());
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"C:\\Plain\\x.exe", {"C:\\Plain\\x.exe"}},
      {"<$ADMINLINKFOLDER>\\x", {"<$ADMINLINKFOLDER>\\x"}},
      // A token without any value leaves nothing to test.
      {"<$LOCALSETTINGS>\\x.exe", {}},
      {"<$APPDATA>\\<$ADMINLINKFOLDER>",
       {"C:\\Users\\Admin\\AppData\\Roaming\\<$ADMINLINKFOLDER>"}},
      {"<regexpr><$WINDIR>\\x\\.exe", {"<regexpr>C:\\\\Windows\\x\\.exe"}},
  };
  for (const auto& [pathTemplate, expected] : cases) {
    EXPECT_EQ(Expand(solver, pathTemplate), expected) << pathTemplate;
  }
}

TEST(ExpandPathCandidates, NoQuickLaunchFolderWithoutTheApplicationDataFolder) {
  TestMachine machine(Flavour::XpEnglish);
  machine.Shell().forgotten = {port::kCsidlAppData, port::kCsidlCommonAppData};
  const TPathSolver solver(machine.Port());
  EXPECT_EQ(Expand(solver, "<$QUICKLAUNCH>\\x.lnk"), std::vector<std::string>{});
  EXPECT_EQ(Expand(solver, "<$COMMONQUICKLAUNCH>\\x.lnk"), std::vector<std::string>{});
  // The per-user folder itself still comes from the registry.
  EXPECT_EQ(solver.ResolvePath("<$APPDATA>"),
            "C:\\Documents and Settings\\Admin\\Application Data");
}

TEST(ExpandPathCandidates, AddsToWhatTheListHolds) {
  TestMachine machine(Flavour::XpEnglish);
  const TPathSolver solver(machine.Port());
  TStringList list = SortedList();
  list.Add("A:\\earlier.exe");
  solver.ExpandPathCandidates("<$WINDIR>\\notepad.exe", list);
  solver.ExpandPathCandidates("<$WINDIR>\\NOTEPAD.EXE", list);  // the same file
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"A:\\earlier.exe", "C:\\WINDOWS\\notepad.exe"}));
}

TEST(ExpandPathCandidates, AValueNamingATokenEndsTheExpansion) {
  TestMachine machine(Flavour::XpEnglish);
  machine.Registry().SetString("HKEY_CURRENT_USER\\Environment", "PATH", "<$PATH>\\;C:\\bin");
  const TPathSolver solver(machine.Port());
  EXPECT_EQ(solver.ResolvePath("<$PATH>"), "<$PATH>");
  EXPECT_EQ(Expand(solver, "<$PATH>\\tool.exe"), std::vector<std::string>{});
}

// A 64-bit machine with offline Windows systems mounted below HKEY_LOCAL_MACHINE.
class OfflineSystems : public testing::Test {
 protected:
  void AddOfflineSystem(const std::string& prefix, const std::string& drive, bool wow64) {
    sim::SimRegistry& reg = machine_.Registry();
    const std::string software = "HKEY_LOCAL_MACHINE\\" + prefix + "SOFTWARE";
    reg.AddKey("HKEY_LOCAL_MACHINE\\" + prefix + "SYSTEM");
    reg.SetString(software + "\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                  drive + "\\Program Files");
    reg.SetString(software + "\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot",
                  drive + "\\Windows");
    if (wow64) {
      reg.SetString(software + "\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion",
                    "ProgramFilesDir", drive + "\\Program Files (x86)");
    }
    const std::string folders =
        "HKEY_CURRENT_USER\\" + prefix +
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    reg.SetString(folders, "AppData", drive + "\\Users\\Bob\\AppData\\Roaming");
    reg.SetString(folders, "Desktop", drive + "\\Users\\Bob\\Desktop");
  }

  TestMachine machine_{Flavour::Win7x64};
};

TEST_F(OfflineSystems, PrefixesFromTheKeyNames) {
  for (const char* name : {"PE_X_SOFTWARE", "PE_A_Software", "PE_A_System", "PE_ABC", "PE_B_",
                           "pe_y_software", "PE__Q_Software", "PE_LONGID_Software", "XPE_Z_A"}) {
    machine_.Registry().AddKey(std::string("HKEY_LOCAL_MACHINE\\") + name);
  }
  const TPathSolver solver(machine_.Port());
  TStringList prefixes = solver.FindOfflineSystemPrefixes();
  EXPECT_EQ(prefixes.Count(), 4);
  prefixes.SetCaseSensitive(true);
  prefixes.SetSorted(true);  // the order is the registry's
  EXPECT_EQ(Lines(prefixes), (std::vector<std::string>{"PE_A_", "PE_LONGID_", "PE_X_", "PE__Q_"}));
}

TEST_F(OfflineSystems, NoneLeavesTheCandidatesAsTheyWere) {
  TPathSolver solver(machine_.Port());
  std::vector<std::pair<std::string, std::vector<std::string>>> before;
  for (const auto& entry : solver.PathCandidates().Entries()) {
    before.emplace_back(entry.token,
                        std::vector<std::string>(entry.values.begin(), entry.values.end()));
  }
  solver.AddOfflineSystemPaths();
  std::vector<std::pair<std::string, std::vector<std::string>>> after;
  for (const auto& entry : solver.PathCandidates().Entries()) {
    after.emplace_back(entry.token,
                       std::vector<std::string>(entry.values.begin(), entry.values.end()));
  }
  EXPECT_EQ(after, before);
}

TEST_F(OfflineSystems, AddTheirFoldersAsCandidatesOnly) {
  AddOfflineSystem("PE_X_", "D:", true);
  TPathSolver solver(machine_.Port());
  const std::string resolvedBefore = solver.ResolvePath("<$PROGRAMFILES>|<$APPDATA>");
  solver.AddOfflineSystemPaths();

  EXPECT_EQ(solver.ResolvePath("<$PROGRAMFILES>|<$APPDATA>"), resolvedBefore);
  EXPECT_EQ(
      Expand(solver, "<$PROGRAMFILES>\\Opera\\opera.exe"),
      (std::vector<std::string>{
          "C:\\Program Files (x86)\\Opera\\opera.exe", "C:\\Program Files\\Opera\\opera.exe",
          "D:\\Program Files (x86)\\Opera\\opera.exe", "D:\\Program Files\\Opera\\opera.exe"}));
  EXPECT_EQ(Candidates(solver, "<$APPDATA>"),
            (std::vector<std::string>{"C:\\Users\\Admin\\AppData\\Roaming",
                                      "D:\\Users\\Bob\\AppData\\Roaming"}));
  // Derived the same way as for the running system.
  EXPECT_EQ(Candidates(solver, "<$PROFILES>"),
            (std::vector<std::string>{"C:\\Users", "D:\\Users"}));
  EXPECT_EQ(Candidates(solver, "<$SYSDRIVE>"), (std::vector<std::string>{"C:", "D:"}));
  EXPECT_EQ(Candidates(solver, "<$TEMP>"),
            (std::vector<std::string>{"C:\\Windows\\Temp", "D:\\Windows\\Temp"}));
  EXPECT_EQ(
      Candidates(solver, "<$SYSCPLDIR>"),
      (std::vector<std::string>{"C:\\Windows\\Control Panel", "D:\\Windows\\Systemsteuerung"}));
}

TEST_F(OfflineSystems, EachSystemIsReadOnItsOwn) {
  AddOfflineSystem("PE_A_", "E:", false);
  AddOfflineSystem("PE_B_", "F:", false);
  TPathSolver solver(machine_.Port());
  solver.AddOfflineSystemPaths();
  EXPECT_EQ(Candidates(solver, "<$APPDATA>"),
            (std::vector<std::string>{"C:\\Users\\Admin\\AppData\\Roaming",
                                      "E:\\Users\\Bob\\AppData\\Roaming",
                                      "F:\\Users\\Bob\\AppData\\Roaming"}));
  EXPECT_EQ(Candidates(solver, "<$WINDIR>"),
            (std::vector<std::string>{"C:\\Windows", "E:\\Windows", "F:\\Windows"}));
}

TEST(PathVariables, BothPassesKeepTheFirstLinesValue) {
  // The 64-bit pass reads the 64-bit program folder first; the 32-bit pass overwrites it.
  TestMachine machine(Flavour::Win7x64);
  const TPathSolver solver(machine.Port());
  EXPECT_EQ(solver.PathVariables().Get("<$PROGRAMFILES>"), "C:\\Program Files (x86)");
}

TEST(PathVariables, TheShellIsAskedOnceForEachFolderAndItsFallbacksStillApply) {
  TestMachine machine(Flavour::XpEnglish);
  const std::string userFolders =
      "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  machine.Registry().SetString(userFolders, "Favorites", "R:\\Favorites");
  machine.Shell().forgotten.insert(port::kCsidlFavorites);
  const TPathSolver solver(machine.Port());
  ASSERT_FALSE(machine.Shell().asked.empty());
  for (const auto& [csidl, count] : machine.Shell().asked) EXPECT_EQ(count, 1) << csidl;
  EXPECT_EQ(solver.PathVariables().Get("<$FAVORITES>"), "R:\\Favorites");
  EXPECT_EQ(solver.PathVariables().Get("<$APPDATA>"),
            "C:\\Documents and Settings\\Admin\\Application Data");
}

TEST(PathWorkingList, GetSetAndAdd) {
  TPathWorkingList list;
  list.Add("<$A>", "");
  list.Add("<$A>", "second");
  EXPECT_EQ(list.Get("<$a>"), "");  // only the first line counts
  list.Set("<$A>", "one");
  EXPECT_EQ(list.Get("<$A>"), "one");
  list.Set("<$A>", "");  // removes the first line: the second shows now
  EXPECT_EQ(list.Get("<$A>"), "second");
  list.Set("<$B>", "b");
  ASSERT_EQ(list.Lines().size(), 2u);
  EXPECT_EQ(list.Lines()[1].name, "<$B>");
  list.Set("<$C>", "");  // nothing to remove
  EXPECT_EQ(list.Lines().size(), 2u);

  TPathCandidates candidates;
  list.Add("<$B>", "B");  // equal but for case: one value
  list.Add("<$E>", "");
  candidates.Collect(list);
  ASSERT_EQ(candidates.Entries().size(), 3u);
  EXPECT_EQ(candidates.Entries()[0].token, "<$A>");
  EXPECT_EQ(candidates.Entries()[1].values.size(), 1u);
  EXPECT_TRUE(candidates.Entries()[2].values.empty());
}

struct FallbackCase {
  int folderId;
  const char* expected;
};

TEST(GetSpecialFolderPath, FallbacksWhenTheShellHasNoPath) {
  const std::string machineFolders =
      "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  const std::string userFolders =
      "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  const FallbackCase cases[] = {
      {port::kCsidlFavorites, "R:\\Favorites"},
      {port::kCsidlTemplates, "R:\\Templates"},
      {port::kCsidlCommonFavorites, "R:\\Common Favorites"},
      {port::kCsidlCommonAppData, "C:\\Documents and Settings\\Admin\\Application Data"},
      {port::kCsidlWindows, "C:\\WINDOWS"},
      {port::kCsidlSystem, "C:\\WINDOWS\\system32"},
      {port::kCsidlProgramFiles, "C:\\Program Files"},
      {port::kCsidlCommonTemplates, "R:\\Common Templates"},
      {port::kCsidlCommonDocuments, "R:\\Common Documents"},
      {port::kCsidlPersonal, ""},  // no fallback
      {port::kCsidlProfiles, ""},
  };
  for (const FallbackCase& c : cases) {
    TestMachine machine(Flavour::XpEnglish);
    machine.Registry().SetString(userFolders, "Favorites", "R:\\Favorites");
    machine.Registry().SetString(userFolders, "Templates", "R:\\Templates");
    machine.Registry().SetString(machineFolders, "Common Favorites", "R:\\Common Favorites");
    machine.Registry().SetString(machineFolders, "Common Templates", "R:\\Common Templates");
    machine.Registry().SetString(machineFolders, "Common Documents", "R:\\Common Documents");
    machine.Registry().SetString(userFolders, "Personal", "R:\\Personal");
    machine.Shell().forgotten.insert(c.folderId);
    EXPECT_EQ(GetSpecialFolderPath(machine.Port(), c.folderId), c.expected) << c.folderId;
    EXPECT_EQ(GetSpecialFolderPathW(machine.Port(), c.folderId), c.expected) << c.folderId;
  }
}

TEST(GetSpecialFolderPath, TheShellComesFirstAndOnlyNarrowReadsTakeExpandStrings) {
  TestMachine machine(Flavour::XpEnglish);
  const std::string userFolders =
      "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  machine.Registry().SetString(userFolders, "Favorites", "%USERPROFILE%\\Favorites",
                               port::kRegExpandSz);
  EXPECT_EQ(GetSpecialFolderPath(machine.Port(), port::kCsidlFavorites),
            "C:\\Documents and Settings\\Admin\\Favorites");
  machine.Shell().forgotten.insert(port::kCsidlFavorites);
  EXPECT_EQ(GetSpecialFolderPath(machine.Port(), port::kCsidlFavorites),
            "%USERPROFILE%\\Favorites");
  EXPECT_EQ(GetSpecialFolderPathW(machine.Port(), port::kCsidlFavorites), "");
}

TEST(GetControlPanelFolder, NameFromEitherViewOrTheDefault) {
  TestMachine xp(Flavour::XpEnglish);
  EXPECT_EQ(GetControlPanelFolder(xp.Registry(), "", "C:\\WINDOWS"), "C:\\WINDOWS\\Control Panel");
  EXPECT_EQ(GetControlPanelFolderW(xp.Registry(), "PE_X_", "D:\\WINDOWS"),
            "D:\\WINDOWS\\Systemsteuerung");
  TestMachine german(Flavour::XpGerman);
  EXPECT_EQ(GetControlPanelFolder(german.Registry(), "", "C:\\WINDOWS"),
            "C:\\WINDOWS\\Systemsteuerung");
  // Windows 7 names it only in the 64-bit view.
  TestMachine win7(Flavour::Win7x64);
  EXPECT_EQ(GetControlPanelFolderW(win7.Registry(), "", "C:\\Windows"),
            "C:\\Windows\\Control Panel");
}

}  // namespace
}  // namespace ombrant
