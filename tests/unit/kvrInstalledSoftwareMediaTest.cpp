// The media player definitions on the media fixture machines and on machines built in code.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "definitions/kvrInstalledSoftwareDivX.h"
#include "definitions/kvrInstalledSoftwareFoobar.h"
#include "definitions/kvrInstalledSoftwareLightAlloy.h"
#include "definitions/kvrInstalledSoftwareQuintEssential.h"
#include "definitions/kvrInstalledSoftwareRealPlayer.h"
#include "definitions/kvrInstalledSoftwareVideoLan.h"
#include "definitions/kvrInstalledSoftwareWinAmp.h"
#include "definitions/kvrInstalledSoftwareZoomPlayer.h"
#include "definitions/kvrSoftwareClasses.h"
#include "orchestration/UnitMigrationPage.h"
#include "tests/unit/grantOrder.h"
#include "tests/unit/catalogueTestMachine.h"
#include "tests/unit/definitionFixtureSupport.h"
#include "tests/unit/fixtureMachine.h"

namespace ombrant::test {
namespace {

const std::vector<std::string_view> kMediaClasses = {
    "TInstalledSoftwareDivXPlayer", "TInstalledSoftwareFoobar2000",
    "TInstalledSoftwareLightAlloy", "TInstalledSoftwareQuintEssentialPlayer",
    "TInstalledSoftwareRealPlayer", "TInstalledSoftwareVideoLanClient",
    "TInstalledSoftwareWinAmp",     "TInstalledSoftwareZoomPlayer"};

TEST(MediaPlayers, RegisterLastInCatalogueOrderWithTheirIcons) {
  TSoftwareClassRegistry all;
  RegisterSoftwareClasses(all);
  // The last eight of the fifty-two older classes; only today's browsers follow them.
  ASSERT_GE(all.Count(), 52);
  std::vector<std::string_view> last;
  for (int i = 44; i < 52; ++i) last.push_back(all.Classes()[i].Name);
  EXPECT_EQ(last, kMediaClasses);

  TSoftwareClassRegistry media;
  RegisterMediaSoftwareClasses(media);
  const char* icons[] = {"DIVXPLAYER", "FOOBAR2000",     "LIGHTALLOY", "QCD",
                         "REALPLAYER", "VIDEOLANCLIENT", "WINAMP",     "ZOOMPLAYER"};
  ASSERT_EQ(media.Count(), 8);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(media.Classes()[i].Name, kMediaClasses[i]);
    EXPECT_EQ(media.Classes()[i].GetIconResourceName(), icons[i]);
  }
}

// ---- detection from the Uninstall registrations

TEST(MediaPlayers, FindTheirProgramFromTheValueEachRegistrationIsTrustedFor) {
  using Find = void (*)(const TSoftwareContext&, TWideStringList&);
  const std::string pf = R"(C:\Program Files\)";
  const struct {
    const char* name;
    Find find;
    const char* keyName;
    std::vector<std::pair<std::string, std::string>> values;
    std::string program;  // the file that exists
    std::string line;     // empty: nothing found
  } cases[] = {
      {"Light Alloy: the program itself",
       &TInstalledSoftwareLightAlloy::FindInstallations,
       "Light Alloy_is1",
       {{"DisplayName", "Light Alloy 4.0"}, {"DisplayIcon", pf + R"(Light Alloy\LA.exe)"}},
       pf + R"(Light Alloy\LA.exe)",
       pf + R"(Light Alloy\LA.exe=Light Alloy 4.0)"},
      {"Light Alloy: an icon index is no program",
       &TInstalledSoftwareLightAlloy::FindInstallations,
       "Light Alloy_is1",
       {{"DisplayName", "Light Alloy 4.0"}, {"DisplayIcon", pf + R"(Light Alloy\LA.exe,0)"}},
       pf + R"(Light Alloy\LA.exe)",
       ""},
      {"Light Alloy: matched on the display name",
       &TInstalledSoftwareLightAlloy::FindInstallations,
       "{5A1A7B2C}",
       {{"DisplayName", "Alloy Light"}, {"DisplayIcon", pf + R"(Light Alloy\LA.exe)"}},
       pf + R"(Light Alloy\LA.exe)",
       ""},
      {"Quintessential Player: an icon index",
       &TInstalledSoftwareQuintEssentialPlayer::FindInstallations,
       "Quintessential Player",
       {{"DisplayIcon", pf + R"(QMP\QCDPlayer.exe,0)"}},
       pf + R"(QMP\QCDPlayer.exe)",
       ""},
      {"Quintessential Player: the key name, not the display name",
       &TInstalledSoftwareQuintEssentialPlayer::FindInstallations,
       "Quintessential Player",
       {{"DisplayName", "Quintessential Media Player 5.0"},
        {"DisplayIcon", pf + R"(QMP\QCDPlayer.exe)"}},
       pf + R"(QMP\QCDPlayer.exe)",
       pf + R"(QMP\QCDPlayer.exe=Quintessential Player)"},
      {"RealPlayer: any key starting with its name",
       &TInstalledSoftwareRealPlayer::FindInstallations,
       "RealPlayer 6.0",
       {{"DisplayName", "RealPlayer"}, {"DisplayIcon", pf + R"(Real\RealPlayer\realplay.exe)"}},
       pf + R"(Real\RealPlayer\realplay.exe)",
       pf + R"(Real\RealPlayer\realplay.exe=RealPlayer 6.0)"},
      {"VLC: an icon index",
       &TInstalledSoftwareVideoLanClient::FindInstallations,
       "VLC media player",
       {{"DisplayIcon", pf + R"(VideoLAN\VLC\vlc.exe,0)"}},
       pf + R"(VideoLAN\VLC\vlc.exe)",
       ""},
      {"Winamp: the folder of an icon with an index",
       &TInstalledSoftwareWinAmp::FindInstallations,
       "Winamp",
       {{"DisplayIcon", pf + R"(Winamp\winamp.exe,0)"}},
       pf + R"(Winamp\winamp.exe)",
       pf + R"(Winamp\winamp.exe=Winamp)"},
      {"Winamp: the folder of another icon file",
       &TInstalledSoftwareWinAmp::FindInstallations,
       "Winamp Pro",
       {{"DisplayIcon", pf + R"(Winamp\winamp.ico)"}},
       pf + R"(Winamp\winamp.exe)",
       pf + R"(Winamp\winamp.exe=Winamp Pro)"},
      {"DivX Player: a quoted icon with an index",
       &TInstalledSoftwareDivXPlayer::FindInstallations,
       "DivX Player",
       {{"DisplayName", "DivX Player"},
        {"DisplayIcon", "\"" + pf + R"(DivX\DivX Player\DivX Player.exe",0)"}},
       pf + R"(DivX\DivX Player\DivX Player.exe)",
       pf + R"(DivX\DivX Player\DivX Player.exe=DivX Player)"},
      {"DivX Player: its exact name only",
       &TInstalledSoftwareDivXPlayer::FindInstallations,
       "DivX Player",
       {{"DisplayName", "DivX Player 7"},
        {"DisplayIcon", pf + R"(DivX\DivX Player\DivX Player.exe)"}},
       pf + R"(DivX\DivX Player\DivX Player.exe)",
       ""},
      {"foobar2000: the installation folder",
       &TInstalledSoftwareFoobar2000::FindInstallations,
       "foobar2000",
       {{"DisplayName", "foobar2000 v1.0"}, {"InstallLocation", pf + "foobar2000"}},
       pf + R"(foobar2000\foobar2000.exe)",
       pf + R"(foobar2000\foobar2000.exe=foobar2000 v1.0)"},
      {"Zoom Player: the folder of its uninstaller",
       &TInstalledSoftwareZoomPlayer::FindInstallations,
       "ZoomPlayer",
       {{"UninstallString", "\"" + pf + R"(Zoom Player\uninstall.exe" /S)"}},
       pf + R"(Zoom Player\zplayer.exe)",
       pf + R"(Zoom Player\zplayer.exe=ZoomPlayer)"},
      {"Zoom Player: its exact key name only",
       &TInstalledSoftwareZoomPlayer::FindInstallations,
       "ZoomPlayer_is1",
       {{"UninstallString", "\"" + pf + R"(Zoom Player\unins000.exe")"}},
       pf + R"(Zoom Player\zplayer.exe)",
       ""},
  };
  for (const auto& c : cases) {
    CatalogueMachine machine;
    machine.AddProgram(c.program);
    machine.AddUninstall(c.keyName, c.values);
    TWideStringList list{"junk"};
    c.find(machine.Context(), list);
    EXPECT_EQ(Lines(list),
              c.line.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.line})
        << c.name;
  }
}

TEST(LightAlloy, GrantsItsFourConfigurationFilesOnEveryMigration) {
  CatalogueMachine machine;
  const std::string folder = R"(C:\Program Files\Light Alloy\)";
  machine.AddProgram(folder + "LA.exe");
  // ms.xml is missing: nothing to grant there, and no error.
  for (const char* file : {"LA.lap", "LA.xml", "mc.xml", "LA.ini"}) {
    machine.Files().AddFile(folder + file, "x");
  }
  machine.Machine().AddAccount("Carol");
  TInstalledSoftwareLightAlloy player(machine.Context(), "Light Alloy", folder + "LA.exe");
  EXPECT_EQ(player.GetDataFolder("Carol"), folder);
  EXPECT_TRUE(player.AlwaysRunAfterMigration());
  // Outside a migration there is no account to grant anything to.
  const std::string lap = vqGetFileSecurityString(machine.Port().security, folder + "LA.lap", 4);
  EXPECT_TRUE(player.AfterMigration());
  EXPECT_EQ(vqGetFileSecurityString(machine.Port().security, folder + "LA.lap", 4), lap);

  port::ProfileInfo target;
  target.userName = "Carol";
  player.SetTargetProfile(target);
  std::map<std::string, std::string> before;
  for (const char* file : {"", "LA.exe", "LA.lap", "LA.xml", "mc.xml", "LA.ini"}) {
    before[file] = vqGetFileSecurityString(machine.Port().security, folder + file, 4);
  }
  EXPECT_TRUE(player.AfterMigration());
  EXPECT_TRUE(player.AfterMigration());
  EXPECT_FALSE(machine.Files().Exists(folder + "ms.xml"));
  const std::string grant =
      "(A;OICI;0x1301bf;;;" + machine.Machine().FindAccount("Carol")->sid + ")";
  for (const auto& [file, sddl] : before) {
    const bool granted = file == "LA.lap" || file == "LA.xml" || file == "mc.xml";
    EXPECT_EQ(vqGetFileSecurityString(machine.Port().security, folder + file, 4),
              granted ? CanonicalGrant(sddl, grant) : sddl)
        << file;
  }
}

// ---- the fixture machines

// `all`: DivX Player, Quintessential Player, RealPlayer and Zoom Player installed too.
const FixtureFlavour kMediaMachines[] = {
    {"media-xp", R"(C:\Documents and Settings)", "Application Data", R"(C:\Program Files)", true},
    {"media-7x64", R"(C:\Users)", R"(AppData\Roaming)", R"(C:\Program Files (x86))", false},
};

class MediaFixtureTest : public FlavourFixtureTest {};

TEST_P(MediaFixtureTest, DetectsTheInstalledPlayersWithTheirFoldersNotesAndSettings) {
  TInstalledSoftwareManager& catalogue = fixture_->Catalogue(RegisterMediaSoftwareClasses);
  struct Expected {
    const char* className;
    const char* displayName;
    std::string executable;
    std::string adminFolder;
    std::string bobFolder;
    std::vector<std::string> keys;
    std::vector<std::string> notes;
  };
  const bool all = GetParam().all;
  std::vector<Expected> expected;
  if (all) {
    expected.push_back({"TInstalledSoftwareDivXPlayer",
                        "DivX Player",
                        ProgramFiles(R"(DivX\DivX Player\DivX Player.exe)"),
                        AppData("Admin", R"(DivX\DivX Player\)"),
                        AppData("Bob", R"(DivX\DivX Player\)"),
                        {R"(Settings=\Software\DivXNetworks\DivX Player\)"},
                        {}});
  }
  expected.push_back({"TInstalledSoftwareFoobar2000",
                      "foobar2000 v0.9.6.9",
                      ProgramFiles(R"(foobar2000\foobar2000.exe)"),
                      AppData("Admin", R"(foobar2000\)"),
                      AppData("Bob", R"(foobar2000\)"),
                      {},
                      {}});
  expected.push_back(
      {"TInstalledSoftwareLightAlloy",
       "Light Alloy 4.0",
       ProgramFiles(R"(Light Alloy\LA.exe)"),
       ProgramFiles(R"(Light Alloy\)"),
       ProgramFiles(R"(Light Alloy\)"),
       {},
       {"LightAlloy stores configuration files inside its program files folder. While this "
        "usually does not allow write access, Ombrant adjusts permissions on these files to fully "
        "support LightAlloy."}});
  if (all) {
    expected.push_back({"TInstalledSoftwareQuintEssentialPlayer",
                        "Quintessential Player",
                        ProgramFiles(R"(Quintessential Media Player\QCDPlayer.exe)"),
                        AppData("Admin", R"(QuintEssential Player\)"),
                        AppData("Bob", R"(QuintEssential Player\)"),
                        {},
                        {}});
    expected.push_back({"TInstalledSoftwareRealPlayer",
                        "RealPlayer 6.0",
                        ProgramFiles(R"(Real\RealPlayer\realplay.exe)"),
                        AppData("Admin", R"(Real\RealPlayer\)"),
                        AppData("Bob", R"(Real\RealPlayer\)"),
                        {R"(Settings=\Software\RealNetworks\RealPlayer\)"},
                        {"RealPlayer did crash on our test machines, whether impersonated or not. "
                         "Migration has therefore not been tested."}});
  }
  // On 64-bit Windows only the 32-bit VLC media player is seen.
  expected.push_back({"TInstalledSoftwareVideoLanClient",
                      "VLC media player",
                      ProgramFiles(R"(VideoLAN\VLC\vlc.exe)"),
                      AppData("Admin", R"(vlc\)"),
                      AppData("Bob", R"(vlc\)"),
                      {},
                      {}});
  expected.push_back({"TInstalledSoftwareWinAmp",
                      "Winamp",
                      ProgramFiles(R"(Winamp\winamp.exe)"),
                      AppData("Admin", R"(Winamp\)"),
                      AppData("Bob", R"(Winamp\)"),
                      {},
                      {}});
  if (all) {
    expected.push_back({"TInstalledSoftwareZoomPlayer",
                        "ZoomPlayer",
                        ProgramFiles(R"(Zoom Player\zplayer.exe)"),
                        AppData("Admin", R"(ZoomPlayer\)"),
                        AppData("Bob", R"(ZoomPlayer\)"),
                        {R"(Settings=\Software\VirtuaMedia\ZoomPlayer\)"},
                        {}});
  }

  ASSERT_EQ(catalogue.Count(), static_cast<int>(expected.size()));
  for (int i = 0; i < catalogue.Count(); ++i) {
    TInstalledSoftware& app = catalogue.Items(i);
    const Expected& e = expected[static_cast<std::size_t>(i)];
    SCOPED_TRACE(e.className);
    EXPECT_EQ(catalogue.ClassNameOf(i), e.className);
    EXPECT_EQ(app.DisplayName(), e.displayName);
    EXPECT_EQ(app.Executable(), e.executable);
    EXPECT_EQ(app.Category(), scMultimedia);
    EXPECT_EQ(app.GetCurrentUserDataFolder(), e.adminFolder);
    EXPECT_EQ(app.GetDataFolder("Bob"), e.bobFolder);
    EXPECT_FALSE(app.StartRequiredBeforeDataCopy());
    EXPECT_FALSE(app.ShutdownRequiredBeforeDataCopy());
    EXPECT_FALSE(app.ForceDataCopy());
    const std::string_view name = e.className;
    EXPECT_EQ(app.AlwaysRunAfterMigration(), name == "TInstalledSoftwareLightAlloy" ||
                                                 name == "TInstalledSoftwareQuintEssentialPlayer");
    EXPECT_TRUE(app.RunParameters().empty());
    TWideStringList list{"junk"};
    app.GetRegistryKeys(list);
    EXPECT_EQ(Lines(list), e.keys);
    list.Add("junk");
    app.GetSupportNotes(list);
    EXPECT_EQ(Lines(list), e.notes);
    list.Add("junk");
    app.GetRegistryValues(list);
    EXPECT_TRUE(list.Empty());
  }
}

TEST_P(MediaFixtureTest, ItemListsNameEveryFileOfTheDataFolderButZoomPlayersNone) {
  TInstalledSoftwareManager& catalogue = fixture_->Catalogue(RegisterMediaSoftwareClasses);
  std::map<std::string, std::vector<std::string>> items;
  for (int i = 0; i < catalogue.Count(); ++i) {
    TWideStringList list;
    catalogue.Items(i).GetExistingDataItems(list, 0);
    items[std::string(catalogue.ClassNameOf(i))] = Lines(list);
  }
  EXPECT_EQ(items["TInstalledSoftwareVideoLanClient"],
            (std::vector<std::string>{"Setting=ml.xspf", "Setting=vlc-qt-interface.ini",
                                      "Setting=vlcrc"}));
  EXPECT_EQ(items["TInstalledSoftwareWinAmp"],
            (std::vector<std::string>{"Setting=winamp.ini", "Setting=Winamp.m3u8",
                                      R"(Setting=Plugins\ml\ml.ini)"}));
  // Light Alloy's folder is its program folder: every file of it is listed, though the engine
  // never copies them because both accounts share that folder.
  EXPECT_NE(std::find(items["TInstalledSoftwareLightAlloy"].begin(),
                      items["TInstalledSoftwareLightAlloy"].end(), "Setting=LA.exe"),
            items["TInstalledSoftwareLightAlloy"].end());
  if (GetParam().all) {
    EXPECT_EQ(items["TInstalledSoftwareDivXPlayer"],
              (std::vector<std::string>{"Setting=settings.xml", R"(Setting=Library\recent.xml)"}));
    EXPECT_TRUE(items["TInstalledSoftwareZoomPlayer"].empty());
  }
}

TEST_P(MediaFixtureTest, MigratesIntoBobTwiceWithGrantsOnceAndTheAdministratorUntouched) {
  TInstalledSoftwareManager& catalogue = fixture_->Catalogue(RegisterMediaSoftwareClasses);
  sim::SimMachine& machine = fixture_->Machine();
  port::Port& port = fixture_->Port();
  const bool all = GetParam().all;

  std::vector<std::string> before;
  std::vector<std::string> after;
  for (int i = 0; i < catalogue.Count(); ++i) {
    const std::string_view name = catalogue.ClassNameOf(i);
    // Light Alloy's folder is its program folder, which Bob has too; Zoom Player copies no file.
    const bool shared = name == "TInstalledSoftwareLightAlloy";
    before.emplace_back(shared ? "Profile already exists" : "Migration available");
    after.emplace_back(name == "TInstalledSoftwareZoomPlayer" ? "Migration available"
                                                              : "Profile already exists");
  }
  EXPECT_EQ(MigrationStatuses(*fixture_, catalogue), before);

  sim::SimHive& bobHive = HiveOf(*fixture_, "Bob");
  sim::SimHive& adminHive = HiveOf(*fixture_, "Admin");
  const std::string divxKey = R"(Software\DivXNetworks\DivX Player)";
  if (all) SetValue(bobHive, divxKey, StringValue("Language", "de"));

  const std::string adminProfile = Profile("Admin");
  const auto adminFiles = SnapshotFiles(port.files, adminProfile);
  const std::string adminHiveText = SnapshotHive(machine, "Admin");
  const std::string alloy = ProgramFiles("Light Alloy");
  const auto alloyFiles = SnapshotFiles(port.files, alloy);
  const std::vector<std::string> granted = {alloy + R"(\LA.lap)", alloy + R"(\LA.xml)",
                                            alloy + R"(\mc.xml)", alloy + R"(\ms.xml)"};
  const std::vector<std::string> untouched = {alloy, alloy + R"(\LA.exe)",
                                              alloy + R"(\unins000.dat)"};
  std::map<std::string, std::string> acl;
  for (const auto* list : {&granted, &untouched}) {
    for (const std::string& path : *list) acl[path] = Sddl(*fixture_, path);
  }
  EXPECT_EQ(acl[alloy], "D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)");

  ASSERT_TRUE(MigrateSelectedApplications(port, catalogue, "Bob"));
  EXPECT_TRUE(machine.Ui().Boxes().empty());
  EXPECT_TRUE(machine.Shell().Executed().empty());

  // Whole data folders, byte for byte.
  std::vector<std::string> copied = {"foobar2000", "vlc", "Winamp"};
  if (all) {
    copied.insert(copied.end(),
                  {R"(DivX\DivX Player)", "QuintEssential Player", R"(Real\RealPlayer)"});
  }
  for (const std::string& folder : copied) {
    const auto expected = SnapshotFiles(port.files, AppData("Admin", folder));
    EXPECT_FALSE(expected.empty()) << folder;
    EXPECT_EQ(SnapshotFiles(port.files, AppData("Bob", folder)), expected) << folder;
  }
  if (all) {
    // Bob's own value stays; the rest of the key is copied.
    auto divx = KeyTree(adminHive, divxKey);
    ASSERT_EQ(divx[""].at(0).name, "Language");
    divx[""].erase(divx[""].begin());
    divx[""].insert(divx[""].begin(), StringValue("Language", "de"));
    EXPECT_EQ(KeyTree(bobHive, divxKey), divx);
    // RealPlayer: its preferences, with their sub-keys.
    const std::string realKey = R"(Software\RealNetworks\RealPlayer)";
    ASSERT_TRUE(bobHive.HasKey(realKey + R"(\6.0\Preferences\Volume)"));
    EXPECT_EQ(KeyTree(bobHive, realKey), KeyTree(adminHive, realKey));
    // Zoom Player: its key, and not one file.
    const std::string zoomKey = R"(Software\VirtuaMedia\ZoomPlayer)";
    EXPECT_EQ(KeyTree(bobHive, zoomKey), KeyTree(adminHive, zoomKey));
    EXPECT_FALSE(DirectoryExists(port.files, AppData("Bob", "ZoomPlayer")));
  }

  // Light Alloy's files are not copied or changed; four of them get Bob's entry.
  EXPECT_EQ(SnapshotFiles(port.files, alloy), alloyFiles);
  for (const std::string& path : granted) {
    EXPECT_EQ(Sddl(*fixture_, path), CanonicalGrant(acl[path], GrantEntry(*fixture_))) << path;
  }
  for (const std::string& path : untouched) EXPECT_EQ(Sddl(*fixture_, path), acl[path]) << path;

  EXPECT_EQ(SnapshotFiles(port.files, adminProfile), adminFiles);
  EXPECT_EQ(SnapshotHive(machine, "Admin"), adminHiveText);
  EXPECT_EQ(MigrationStatuses(*fixture_, catalogue), after);

  // Second run. Zoom Player's key is copied again (Bob still has no folder of it), and a value Bob
  // has keeps its data while a new one of the administrator's arrives.
  const std::string zoomKey = R"(Software\VirtuaMedia\ZoomPlayer)";
  std::map<std::string, std::vector<sim::SimValue>> zoomBefore;
  if (all) {
    zoomBefore = KeyTree(bobHive, zoomKey);
    SetValue(adminHive, zoomKey, StringValue("Skin", "Dark"));
    SetValue(adminHive, zoomKey, StringValue("Speed", "1.5"));
  }
  const auto bobFiles = SnapshotFiles(port.files, AppData("Bob", ""));
  ASSERT_TRUE(MigrateSelectedApplications(port, catalogue, "Bob"));
  EXPECT_TRUE(machine.Ui().Boxes().empty());
  EXPECT_EQ(SnapshotFiles(port.files, AppData("Bob", "")), bobFiles);
  for (const std::string& path : granted) {
    EXPECT_EQ(Sddl(*fixture_, path), CanonicalGrant(acl[path], GrantEntry(*fixture_))) << path;
  }
  if (all) {
    auto zoom = zoomBefore;
    zoom[""].push_back(StringValue("Speed", "1.5"));
    EXPECT_EQ(KeyTree(bobHive, zoomKey), zoom);
    EXPECT_EQ(KeyTree(bobHive, zoomKey).at("").size(), 3u);
  }
}

INSTANTIATE_TEST_SUITE_P(MediaMachines, MediaFixtureTest, ::testing::ValuesIn(kMediaMachines),
                         [](const ::testing::TestParamInfo<FixtureFlavour>& info) {
                           std::string name = info.param.name;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

}  // namespace
}  // namespace ombrant::test
