// The detection helpers on simulated machines with realistic App Paths and Uninstall entries.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/kvrInstalledSoftware.h"
#include "tests/unit/catalogueTestMachine.h"

namespace ombrant::test {
namespace {

TWideStringList DetectionList(const TSoftwareContext& context) {
  TWideStringList list;
  TInstalledSoftware::FindInstallations(context, list);
  return list;
}

TEST(FindInstallations, TheDefaultListIsEmptySortedAndFreeOfDuplicatesIgnoringCase) {
  CatalogueMachine machine;
  TWideStringList list{"junk"};
  TInstalledSoftware::FindInstallations(machine.Context(), list);
  EXPECT_TRUE(list.Empty());
  list.Add(R"(C:\b\x.exe=B)");
  list.Add(R"(C:\A\x.exe=A)");
  list.Add(R"(c:\a\X.EXE=a)");
  EXPECT_EQ(Lines(list), (std::vector<std::string>{R"(C:\A\x.exe=A)", R"(C:\b\x.exe=B)"}));
}

TEST(AddAppPathCandidate, TakesTheRegisteredProgramWithoutLookingForIt) {
  CatalogueMachine machine;
  machine.AddAppPath("opera.exe", R"(C:\Program Files\Opera\opera.exe)");
  // Pointing nowhere: still a candidate.
  machine.AddAppPath("seamonkey.exe", R"(C:\Program Files\mozilla.org\SeaMonkey\seamonkey.exe)");
  // No program path: an empty default value, or one of another type.
  machine.AddAppPath("empty.exe", "");
  machine.Registry().AddKey(std::string(kAppPathsRoot) + "nodefault.exe");
  machine.Registry().SetDword(std::string(kAppPathsRoot) + "dword.exe", "", 1);
  machine.AddProgram(R"(C:\Program Files\Opera\opera.exe)");

  TWideStringList list = DetectionList(machine.Context());
  const TSoftwareContext& context = machine.Context();
  TInstalledSoftware::AddAppPathCandidate(context, "opera.exe", "Opera", list);
  TInstalledSoftware::AddAppPathCandidate(context, "OPERA.EXE", "Opera again", list);
  TInstalledSoftware::AddAppPathCandidate(context, "seamonkey.exe", "SeaMonkey", list);
  for (const char* exe : {"empty.exe", "nodefault.exe", "dword.exe", "missing.exe"}) {
    TInstalledSoftware::AddAppPathCandidate(context, exe, exe, list);
  }
  EXPECT_EQ(Lines(list), (std::vector<std::string>{
                             R"(C:\Program Files\mozilla.org\SeaMonkey\seamonkey.exe=SeaMonkey)",
                             R"(C:\Program Files\Opera\opera.exe=Opera)"}));
  EXPECT_EQ(machine.Registry().OpenHandleCount(), 0u);
}

TEST(AddFileCandidates, OnA32BitSystemNamesEachExistingFileOnce) {
  CatalogueMachine machine(Flavour::Xp32);
  machine.AddProgram(R"(C:\Program Files\Internet Explorer\iexplore.exe)");
  // A folder of the program's name is no program.
  machine.Files().AddFolder(R"(C:\Program Files\Windows Media Player\wmplayer.exe)");
  TWideStringList list = DetectionList(machine.Context());
  TInstalledSoftware::AddFileCandidates(machine.Context(),
                                        R"(<$PROGRAMFILES>\Internet Explorer\iexplore.exe)",
                                        "Internet Explorer", list);
  TInstalledSoftware::AddFileCandidates(machine.Context(),
                                        R"(<$PROGRAMFILES>\Windows Media Player\wmplayer.exe)",
                                        "Windows Media Player", list);
  EXPECT_EQ(Lines(list),
            std::vector<std::string>{
                R"(C:\Program Files\Internet Explorer\iexplore.exe=Internet Explorer)"});
}

TEST(AddFileCandidates, OnA64BitSystemLabelsBothProgramFolders) {
  CatalogueMachine machine(Flavour::Win7x64);
  machine.AddProgram(R"(C:\Program Files\Internet Explorer\iexplore.exe)");
  machine.AddProgram(R"(C:\Program Files (x86)\Internet Explorer\iexplore.exe)");
  machine.AddProgram(R"(C:\Program Files (x86)\Windows Live\Mail\wlmail.exe)");
  TWideStringList list = DetectionList(machine.Context());
  TInstalledSoftware::AddFileCandidates(machine.Context(),
                                        R"(<$PROGRAMFILES>\Internet Explorer\iexplore.exe)",
                                        "Internet Explorer", list);
  TInstalledSoftware::AddFileCandidates(machine.Context(),
                                        R"(<$PROGRAMFILES>\Windows Live\Mail\wlmail.exe)",
                                        "Windows Live Mail", list);
  EXPECT_EQ(
      Lines(list),
      (std::vector<std::string>{
          R"(C:\Program Files (x86)\Internet Explorer\iexplore.exe=Internet Explorer (32 bit))",
          R"(C:\Program Files (x86)\Windows Live\Mail\wlmail.exe=Windows Live Mail (32 bit))",
          R"(C:\Program Files\Internet Explorer\iexplore.exe=Internet Explorer (64 bit))"}));
}

// An Uninstall registration and the helper call it is found with.
struct UninstallCase {
  const char* what;
  const char* keyName;
  std::vector<std::pair<std::string, std::string>> values;
  const char* exe;
  const char* pattern;
  TUninstallPathSource source;
  TUninstallMatchOn matchOn;
  const char* expected;  // the line, or "" for none
};

TEST(AddUninstallCandidates, BuildsThePathFromTheChosenValue) {
  const char* googleTalk = "{226b64e8-dc75-4eea-a6c8-abcb496320f2}-Google Talk";
  const UninstallCase cases[] = {
      {"folder of a quoted UninstallString, matched on the key name",
       "Pidgin",
       {{"DisplayName", "Pidgin 2.5.8"},
        {"UninstallString", R"("C:\Program Files\Pidgin\pidgin-uninst.exe" /S)"}},
       "pidgin.exe",
       "Pidgin",
       TUninstallPathSource::upsUninstallStringFolder,
       TUninstallMatchOn::umoKeyName,
       R"(C:\Program Files\Pidgin\pidgin.exe=Pidgin)"},
      {"an unquoted UninstallString is cut after its EXE",
       "Trillian",
       {{"UninstallString", R"(C:\Program Files\Trillian\trillian.exe /uninstall)"}},
       "trillian.exe",
       "Trillian",
       TUninstallPathSource::upsUninstallString,
       TUninstallMatchOn::umoKeyName,
       R"(C:\Program Files\Trillian\trillian.exe=Trillian)"},
      {"a braced key name shows the product name alone",
       googleTalk,
       {{"UninstallString", R"("C:\Program Files\Google\Google Talk\uninstall.exe")"}},
       "googletalk.exe",
       googleTalk,
       TUninstallPathSource::upsUninstallStringFolder,
       TUninstallMatchOn::umoKeyName,
       R"(C:\Program Files\Google\Google Talk\googletalk.exe=Google Talk)"},
      {"matched on the display name, which the line then carries",
       "Winamp",
       {{"DisplayName", "Winamp (remove only)"},
        {"DisplayIcon", R"(C:\Program Files\Winamp\winamp.exe,0)"}},
       "winamp.exe",
       "WINAMP*",
       TUninstallPathSource::upsDisplayIconFolder,
       TUninstallMatchOn::umoDisplayName,
       R"(C:\Program Files\Winamp\winamp.exe=Winamp (remove only))"},
      {"a DisplayIcon with an icon index is no file of its own",
       "Winamp",
       {{"DisplayName", "Winamp"}, {"DisplayIcon", R"(C:\Program Files\Winamp\winamp.exe,0)"}},
       "winamp.exe",
       "Winamp*",
       TUninstallPathSource::upsDisplayIcon,
       TUninstallMatchOn::umoDisplayName,
       ""},
      {"a DisplayIcon without an index is the program",
       "Winamp",
       {{"DisplayName", "Winamp"}, {"DisplayIcon", R"(C:\Program Files\Winamp\winamp.exe)"}},
       "winamp.exe",
       "Winamp*",
       TUninstallPathSource::upsDisplayIcon,
       TUninstallMatchOn::umoDisplayName,
       R"(C:\Program Files\Winamp\winamp.exe=Winamp)"},
      {"InstallLocation with and without its backslash, subfolder in the file name",
       "Skype_is1",
       {{"DisplayName", "Skype\xE2\x84\xA2 3.8"},
        {"InstallLocation", R"(C:\Program Files\Skype\)"}},
       R"(Phone\Skype.exe)",
       "Skype*",
       TUninstallPathSource::upsInstallLocation,
       TUninstallMatchOn::umoDisplayName,
       "C:\\Program Files\\Skype\\Phone\\Skype.exe=Skype\xE2\x84\xA2 3.8"},
      {"InstallLocation without a trailing backslash",
       "ICQ6",
       {{"DisplayName", "ICQ6"}, {"InstallLocation", R"("C:\Program Files\ICQ6")"}},
       "ICQ.exe",
       "ICQ6",
       TUninstallPathSource::upsInstallLocation,
       TUninstallMatchOn::umoDisplayName,
       R"(C:\Program Files\ICQ6\ICQ.exe=ICQ6)"},
      {"a program that is not there",
       "Miranda IM",
       {{"UninstallString", R"(C:\Program Files\Miranda IM\Uninstall.exe)"}},
       "miranda32.exe",
       "Miranda IM",
       TUninstallPathSource::upsUninstallStringFolder,
       TUninstallMatchOn::umoKeyName,
       ""},
      {"an installer command has no folder to look in",
       "{1A2B}",
       {{"DisplayName", "Tlen.pl"}, {"UninstallString", "MsiExec.exe /X{1A2B}"}},
       "tlen.exe",
       "Tlen.pl",
       TUninstallPathSource::upsUninstallStringFolder,
       TUninstallMatchOn::umoDisplayName,
       ""},
      {"a name that does not match",
       "Pidgin",
       {{"UninstallString", R"(C:\Program Files\Pidgin\pidgin-uninst.exe)"}},
       "pidgin.exe",
       "Pidgin 3*",
       TUninstallPathSource::upsUninstallStringFolder,
       TUninstallMatchOn::umoKeyName,
       ""},
      {"an unknown path source",
       "Pidgin",
       {{"UninstallString", R"(C:\Program Files\Pidgin\pidgin-uninst.exe)"}},
       "pidgin.exe",
       "Pidgin",
       static_cast<TUninstallPathSource>(5),
       TUninstallMatchOn::umoKeyName,
       ""},
      {"an unknown match-on",
       "Pidgin",
       {{"UninstallString", R"(C:\Program Files\Pidgin\pidgin-uninst.exe)"}},
       "pidgin.exe",
       "*",
       TUninstallPathSource::upsUninstallStringFolder,
       static_cast<TUninstallMatchOn>(2),
       ""},
  };
  for (const UninstallCase& c : cases) {
    CatalogueMachine machine;
    machine.AddUninstall(c.keyName, c.values);
    for (const char* program :
         {R"(C:\Program Files\Pidgin\pidgin.exe)", R"(C:\Program Files\Trillian\trillian.exe)",
          R"(C:\Program Files\Google\Google Talk\googletalk.exe)",
          R"(C:\Program Files\Winamp\winamp.exe)", R"(C:\Program Files\Skype\Phone\Skype.exe)",
          R"(C:\Program Files\ICQ6\ICQ.exe)", R"(C:\WINDOWS\system32\tlen.exe)"}) {
      machine.AddProgram(program);
    }
    TWideStringList list = DetectionList(machine.Context());
    TInstalledSoftware::AddUninstallCandidates(machine.Context(), c.exe, c.pattern, list, c.source,
                                               c.matchOn);
    const std::vector<std::string> expected =
        *c.expected ? std::vector<std::string>{c.expected} : std::vector<std::string>{};
    EXPECT_EQ(Lines(list), expected) << c.what;
    EXPECT_EQ(machine.Registry().OpenHandleCount(), 0u) << c.what;
  }
}

TEST(AddUninstallCandidates, SurvivesValuesOfTheWrongTypeHugeValuesAndLockedKeys) {
  CatalogueMachine machine;
  machine.AddProgram(R"(C:\Program Files\VoipBuster\VoipBuster.exe)");
  machine.AddProgram(R"(C:\Program Files\VoipStunt\VoipStunt.exe)");
  machine.AddProgram(R"(C:\Program Files\Digsby\digsby.exe)");
  const std::string root(kUninstallRoot);
  // A DisplayName that is no string: the key name stands in for it.
  machine.AddUninstall("VoipBuster", {{"InstallLocation", R"(C:\Program Files\VoipBuster)"}});
  machine.Registry().SetDword(root + "VoipBuster", "DisplayName", 7);
  // A path value that is no string: this registration adds nothing, the next ones still count.
  machine.AddUninstall("AVoipStunt", {{"DisplayName", "VoipStunt"}});
  machine.Registry().SetValue(root + "AVoipStunt", "InstallLocation", port::kRegBinary, {1, 2, 3});
  // A huge DisplayName, and a key this account may not open.
  machine.AddUninstall("Huge", {{"DisplayName", "VoipStunt" + std::string(200000, 'x')},
                                {"InstallLocation", R"(C:\Program Files\VoipStunt)"}});
  machine.AddUninstall("Locked", {{"DisplayName", "VoipStunt"},
                                  {"InstallLocation", R"(C:\Program Files\VoipStunt)"}});
  machine.Registry().LimitAccess(root + "Locked", 0);
  machine.AddUninstall("ZVoipStunt", {{"DisplayName", "VoipStunt"},
                                      {"InstallLocation", R"(C:\Program Files\VoipStunt\)"}});
  machine.AddUninstall("Digsby", {{"DisplayName", "Digsby"},
                                  {"UninstallString", R"(C:\Program Files\Digsby\uninstall.exe)"}});

  TWideStringList list = DetectionList(machine.Context());
  const TSoftwareContext& context = machine.Context();
  TInstalledSoftware::AddUninstallCandidates(context, "VoipBuster.exe", "VoipBuster", list,
                                             TUninstallPathSource::upsInstallLocation,
                                             TUninstallMatchOn::umoDisplayName);
  TInstalledSoftware::AddUninstallCandidates(context, "VoipStunt.exe", "VoipStunt*", list,
                                             TUninstallPathSource::upsInstallLocation,
                                             TUninstallMatchOn::umoDisplayName);
  TInstalledSoftware::AddUninstallCandidates(context, "digsby.exe", "Digsby", list,
                                             TUninstallPathSource::upsUninstallStringFolder,
                                             TUninstallMatchOn::umoDisplayName);
  ASSERT_EQ(list.Count(), 3) << list.Text();
  EXPECT_EQ(list[0], R"(C:\Program Files\Digsby\digsby.exe=Digsby)");
  EXPECT_EQ(list[1], R"(C:\Program Files\VoipBuster\VoipBuster.exe=VoipBuster)");
  // The huge registration comes first in key order and gives the line its name.
  EXPECT_EQ(list.Names(2), R"(C:\Program Files\VoipStunt\VoipStunt.exe)");
  EXPECT_EQ(list.ValueFromIndex(2).size(), 9u + 200000u);
  EXPECT_EQ(machine.Registry().OpenHandleCount(), 0u);
}

TEST(DetectionHelpers, TheFirstCallThatFindsAProgramNamesIt) {
  CatalogueMachine machine;
  const std::string exe = R"(C:\Program Files\Mozilla Firefox\firefox.exe)";
  machine.AddProgram(exe);
  machine.AddAppPath("firefox.exe", exe);
  machine.AddUninstall(
      "Mozilla Firefox (3.0.5)",
      {{"DisplayName", "Mozilla Firefox (3.0.5)"},
       {"UninstallString", R"(C:\Program Files\Mozilla Firefox\uninstall\helper.exe)"},
       {"DisplayIcon", exe + ",0"}});
  const TSoftwareContext& context = machine.Context();
  TWideStringList appPathsFirst = DetectionList(context);
  TInstalledSoftware::AddAppPathCandidate(context, "firefox.exe", "Firefox", appPathsFirst);
  TInstalledSoftware::AddUninstallCandidates(
      context, "firefox.exe", "Mozilla Firefox*", appPathsFirst,
      TUninstallPathSource::upsDisplayIconFolder, TUninstallMatchOn::umoDisplayName);
  EXPECT_EQ(Lines(appPathsFirst), std::vector<std::string>{exe + "=Firefox"});

  TWideStringList uninstallFirst = DetectionList(context);
  TInstalledSoftware::AddUninstallCandidates(
      context, "firefox.exe", "Mozilla Firefox*", uninstallFirst,
      TUninstallPathSource::upsDisplayIconFolder, TUninstallMatchOn::umoDisplayName);
  TInstalledSoftware::AddAppPathCandidate(context, "firefox.exe", "Firefox", uninstallFirst);
  EXPECT_EQ(Lines(uninstallFirst), std::vector<std::string>{exe + "=Mozilla Firefox (3.0.5)"});
}

TEST(UninstallRegistrations, ASharedReadGivesWhatFreshReadsGive) {
  CatalogueMachine machine;
  machine.AddProgram(R"(C:\Program Files\Pidgin\pidgin.exe)");
  machine.AddProgram(R"(C:\Program Files\Winamp\winamp.exe)");
  machine.AddUninstall("Pidgin", {{"UninstallString", R"(C:\Program Files\Pidgin\uninst.exe)"}});
  machine.AddUninstall("Winamp", {{"DisplayName", "Winamp 5.5"},
                                  {"DisplayIcon", R"(C:\Program Files\Winamp\winamp.exe,0)"}});
  const auto detect = [](const TSoftwareContext& context) {
    TWideStringList list = DetectionList(context);
    TInstalledSoftware::AddUninstallCandidates(context, "pidgin.exe", "Pidgin", list,
                                               TUninstallPathSource::upsUninstallStringFolder,
                                               TUninstallMatchOn::umoKeyName);
    TInstalledSoftware::AddUninstallCandidates(context, "winamp.exe", "Winamp*", list,
                                               TUninstallPathSource::upsDisplayIconFolder,
                                               TUninstallMatchOn::umoDisplayName);
    return Lines(list);
  };
  const std::vector<std::string> fresh = detect(machine.Context());
  TUninstallRegistrations shared;
  TSoftwareContext sharing = machine.Context();
  sharing.uninstall = &shared;
  EXPECT_EQ(detect(sharing), fresh);
  EXPECT_EQ(fresh.size(), 2u);
  EXPECT_TRUE(shared.Loaded());
  EXPECT_EQ(shared.Entries().size(), 2u);
}

}  // namespace
}  // namespace ombrant::test
