// The chat and telephony clients: detection, folders, item lists, registry keys and notes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/catalogueTestMachine.h"
#include "tests/unit/chatTestSupport.h"

namespace ombrant::test {
namespace {

// What each class is, in catalogue order. The data folder is below the profile folder ("~"), or
// the program's folder ("*").
struct ClassFacts {
  const char* className;
  const char* displayName;  // as detected on the fixtures (Digsby adds the bitness on 64 bit)
  const char* program;      // below the 32-bit program folder
  const char* icon;
  const char* dataFolder;
  bool alwaysRunAfterMigration;
};

const ClassFacts kClasses[] = {
    {"TInstalledSoftware1und1GMX", "GMX MultiMessenger", R"(GMX\MultiMessenger\MESSENGR.EXE)",
     "1UND1MMGMX", R"(~APPDATA\GMX\GMX MultiMessenger\)", false},
    {"TInstalledSoftware1und1WebDe", "WEB.DE MultiMessenger",
     R"(WEB.DE\MultiMessenger\MESSENGR.EXE)", "1UND1MMWEBDE",
     R"(~APPDATA\WEB.DE\WEB.DE MultiMessenger\)", false},
    // Matched on its key name, which it shows.
    {"TInstalledSoftwareAIM6", "AIM_6", R"(AIM6\aim6.exe)", "AIM6", R"(~LOCAL\AOL OCP\AIM\)",
     false},
    {"TInstalledSoftwareDigsby", "Digsby", R"(Digsby\Digsby.exe)", "DIGSBY", R"(~APPDATA\Digsby\)",
     false},
    {"TInstalledSoftwareGaduGadu", "Gadu-Gadu 7.7", R"(Gadu-Gadu\gg.exe)", "GADUGADU",
     R"(~\Gadu-Gadu\)", false},
    // The braced product key, shown without its GUID.
    {"TInstalledSoftwareGoogleTalk", "Google Talk", R"(Google\Google Talk\googletalk.exe)",
     "GOOGLETALK", R"(~LOCAL\Google\Google Talk\)", false},
    {"TInstalledSoftwareICQ", "ICQ", R"(ICQ\Icq.exe)", "ICQ2003B", R"(*ICQ\)", false},
    {"TInstalledSoftwareICQ6", "ICQ6", R"(ICQ6\ICQ.exe)", "ICQ6", R"(~APPDATA\ICQ\)", false},
    {"TInstalledSoftwareMiranda", "Miranda IM", R"(Miranda IM\miranda32.exe)", "MIRANDA",
     R"(~APPDATA\Miranda\)", false},
    {"TInstalledSoftwarePidgin", "Pidgin", R"(Pidgin\pidgin.exe)", "PIDGIN", R"(~APPDATA\.purple\)",
     false},
    // Its installation folder plus "Phone\Skype.exe"; the display name is the installer's.
    {"TInstalledSoftwareSkype", "Skype\u2122 4.1", R"(Skype\Phone\Skype.exe)", "SKYPE",
     R"(~APPDATA\Skype\)", false},
    {"TInstalledSoftwareTlenPL", "Tlen.pl", R"(Tlen.pl\tlen.exe)", "TLENPL", R"(~APPDATA\Tlen.pl\)",
     false},
    {"TInstalledSoftwareTrillian", "Trillian", R"(Trillian\trillian.exe)", "TRILLIAN",
     R"(*Trillian\)", true},
    {"TInstalledSoftwareVoipBuster", "VoipBuster", R"(VoipBuster.com\VoipBuster.exe)", "VOIPBUSTER",
     R"(~APPDATA\VoipBuster\)", false},
    {"TInstalledSoftwareVoipStunt", "VoipStunt", R"(VoipStunt.com\VoipStunt.exe)", "VOIPSTUNT",
     R"(~APPDATA\VoipStunt\)", false},
    {"TInstalledSoftwareYahooMessenger", "Yahoo! Messenger",
     R"(Yahoo!\Messenger\YahooMessenger.exe)", "YAHOOMESSENGER", R"(*Yahoo!\Messenger\)", true},
    {"TInstalledSoftwareQQ2003", "QQ2003III", R"(Tencent\QQ\QQ.exe)", "QQ2003", R"(*Tencent\QQ\)",
     true},
    // Its folder from "DisplayIcon" with its ",0".
    {"TInstalledSoftwareQQ2005", "QQ2005", R"(Tencent\QQ2005\QQ.exe)", "QQ2003",
     R"(*Tencent\QQ2005\)", true},
    // Matched on its key name, not on its Chinese display name.
    {"TInstalledSoftwareQQ2007", "QQ2007", R"(Tencent\QQ2007\QQ.exe)", "QQ2003", R"(~APPDATA\QQ\)",
     true},
};

// The data folder of `facts` for `account` on the fixture.
std::string ExpectedDataFolder(ChatFixture& m, const ClassFacts& facts, std::string_view account) {
  std::string folder = facts.dataFolder;
  if (folder[0] == '*') return m.Program(folder.substr(1));
  folder.erase(0, 1);
  if (folder.starts_with("APPDATA")) return m.AppData(account) + folder.substr(7);
  if (folder.starts_with("LOCAL")) return m.LocalAppData(account) + folder.substr(5);
  return m.Profile(account) + folder;
}

TEST(ChatClients, DetectedOnBothFixturesInCatalogueOrderWithTheirFoldersAndIcons) {
  for (const ChatFlavour* flavour : {&kChatXp, &kChat7x64}) {
    auto owner = LoadChatFixture(*flavour);
    if (!owner) GTEST_SKIP() << kNoFixtures;
    ChatFixture& m = *owner;
    // The icons as the program's resources hold them: decoded once per class.
    std::vector<std::string> icons = {"APPLICATION"};
    for (const ClassFacts& facts : kClasses) icons.push_back(facts.icon);
    for (const std::string& icon : icons) {
      const TIconArt* art = FindIconArt(icon);
      ASSERT_NE(art, nullptr) << icon;
      m.Machine().System().AddResource("SOFTWAREICON16", icon,
                                       EncodePng(16, 16, RenderIcon(*art, 16)));
      m.Machine().System().AddResource("SOFTWAREICON32", icon,
                                       EncodePng(32, 32, RenderIcon(*art, 32)));
    }
    TInstalledSoftwareManager& catalogue = m.Catalogue();
    ASSERT_EQ(catalogue.Count(), 19) << flavour->machine;
    for (int i = 0; i < 19; ++i) {
      const ClassFacts& facts = kClasses[i];
      SCOPED_TRACE(std::string(flavour->machine) + " " + facts.className);
      TInstalledSoftware& item = catalogue.Items(i);
      EXPECT_EQ(catalogue.ClassNameOf(i), facts.className);
      std::string name = facts.displayName;
      if (std::string_view(facts.className) == "TInstalledSoftwareDigsby") {
        name += flavour->bitsSuffix;
      }
      EXPECT_EQ(item.DisplayName(), name);
      EXPECT_EQ(item.Executable(), m.Program(facts.program));
      EXPECT_EQ(item.Category(), scChat);
      EXPECT_EQ(item.AlwaysRunAfterMigration(), facts.alwaysRunAfterMigration);
      EXPECT_FALSE(item.StartRequiredBeforeDataCopy());
      EXPECT_FALSE(item.ShutdownRequiredBeforeDataCopy());
      EXPECT_EQ(item.RunParameters(),
                std::string_view(facts.icon) == "AIM6" ? "/d locale=en-US ee://aol/imApp" : "");
      EXPECT_EQ(item.GetCurrentUserDataFolder(), ExpectedDataFolder(m, facts, "Admin"));
      EXPECT_EQ(item.GetDataFolder("Bob"), ExpectedDataFolder(m, facts, "Bob"));
      TWideStringList folders{"junk"};
      item.GetDataFolders("Bob", folders);
      EXPECT_EQ(Lines(folders), std::vector<std::string>{ExpectedDataFolder(m, facts, "Bob")});
      // Entry 0 is the fallback; each class has its own entry, drawn from its resource.
      EXPECT_EQ(item.ImageIndex(), i + 1);
      EXPECT_EQ(catalogue.LargeIcons().Entry(item.ImageIndex()).id, facts.className);
      EXPECT_EQ(catalogue.LargeIcons().Entry(item.ImageIndex()).pixels,
                RenderIcon(*FindIconArt(facts.icon), 32));
      EXPECT_EQ(catalogue.SmallIcons().Entry(item.ImageIndex()).pixels,
                RenderIcon(*FindIconArt(facts.icon), 16));
    }
  }
}

TEST(ChatClients, ClassLevelIconNamesAndTheAbstractMessengerStaysUnregistered) {
  TSoftwareClassRegistry registry;
  RegisterChatSoftwareClasses(registry);
  ASSERT_EQ(registry.Count(), 19);
  for (int i = 0; i < 19; ++i) {
    EXPECT_EQ(registry.Classes()[i].Name, kClasses[i].className);
    EXPECT_EQ(registry.Classes()[i].GetIconResourceName(), kClasses[i].icon)
        << kClasses[i].className;
  }
}

// The setting files the engine gets for the administrator, as labelled lines.
TEST(ChatClients, ExistingItemsOfTheAdministrator) {
  auto owner = LoadChatFixture(kChatXp);
  if (!owner) GTEST_SKIP() << kNoFixtures;
  ChatFixture& m = *owner;
  const struct {
    const char* className;
    std::vector<std::string> items;
  } cases[] = {
      // Every file at any depth, breadth-first, including a "Settings.xml" further down.
      {"TInstalledSoftware1und1GMX",
       {"Setting=Settings.xml", R"(Setting=Avatars\alice@gmx.de.png)",
        R"(Setting=History\alice@gmx.de.xml)", R"(Setting=Profiles\alice@gmx.de\Settings.xml)"}},
      {"TInstalledSoftwareAIM6",
       {R"(Setting=cache\buddyicons\bob456.gif)", R"(Setting=Storage\alice123\prefs.xml)",
        R"(Setting=Storage\alice123\Logs\bob456.html)"}},
      {"TInstalledSoftwareGaduGadu",
       {"Setting=gg.ini", R"(Setting=1234567\archive.db)", R"(Setting=1234567\config.dat)"}},
      // Chat logs and avatars only, not the log file or the themes beside them.
      {"TInstalledSoftwareGoogleTalk",
       {R"(Chat log=chatlogs\bob@gmail.com.xml)", R"(Chat log=chatlogs\2009\carol@gmail.com.xml)",
        R"(Cached avatar=avatars\alice@gmail.com.png)",
        R"(Cached avatar=avatars\cache\bob@gmail.com.png)"}},
      // The program folder holds the data; nothing is copied.
      {"TInstalledSoftwareICQ", {}},
      // The profiles directly in the folder: no ".bak", no "Backups\alice.dat".
      {"TInstalledSoftwareMiranda", {"Profile=alice.dat", "Profile=work.dat"}},
      {"TInstalledSoftwarePidgin",
       {"Account settings=accounts.xml", "Buddy list=blist.xml",
        "OTR: Fingerprints=otr.fingerprints", "OTR: Private Keys=otr.private_key",
        "Buddy pounces=pounces.xml", "Preferences=prefs.xml", "Stored Stati=status.xml",
        R"(Buddy icon=icons\8c5c3a1f.png)", R"(Settings=plugins\prefs.xml)",
        R"(Smiley=smileys\cool\theme)",
        R"(Certificate=certificates\x509\tls_peers\talk.google.com)",
        R"(Settings=logs\jabber\alice@example.com\bob@example.com\2009-05-01.120000+0200CEST.txt)"}},
      {"TInstalledSoftwareSkype",
       {"Setting=shared.xml", R"(Setting=alice.skype\config.xml)",
        R"(Setting=alice.skype\main.db)"}},
      {"TInstalledSoftwareTrillian", {}},
      {"TInstalledSoftwareYahooMessenger", {}},
      {"TInstalledSoftwareQQ2003", {}},
      {"TInstalledSoftwareQQ2005", {}},
      // Its own folder has data, but none of it is copied.
      {"TInstalledSoftwareQQ2007", {}},
  };
  for (const auto& c : cases) {
    TWideStringList items;
    m.Item(c.className).GetExistingDataItems(items, 0);
    EXPECT_EQ(Lines(items), c.items) << c.className;
  }
  // Google Talk and Miranda have one folder; the index does not matter to them.
  for (const char* className : {"TInstalledSoftwareGoogleTalk", "TInstalledSoftwareMiranda"}) {
    TWideStringList first{"junk"};
    TWideStringList other{"junk"};
    m.Item(className).GetExistingDataItems(first, 0);
    m.Item(className).GetExistingDataItems(other, 3);
    EXPECT_EQ(Lines(first), Lines(other)) << className;
  }
}

TEST(ChatClients, RegistryKeysAndSupportNotes) {
  CatalogueMachine machine;
  const std::string programFolderNote =
      " stores its settings inside its own program files folder, Ombrant fully supports it by "
      "adjusting access rights.";
  const std::string fullNote =
      " is fully supported; accounts and chat history will be copied to your impersonated "
      "Ombrant.";
  const struct {
    const char* className;
    const char* displayName;
    std::vector<std::string> keys;
    std::vector<std::string> notes;
  } cases[] = {
      {"TInstalledSoftware1und1GMX",
       "GMX MultiMessenger",
       {R"(Settings=\Software\GMX\GMX MultiMessenger\)"},
       {"GMX MultiMessenger" + fullNote}},
      {"TInstalledSoftware1und1WebDe",
       "WEB.DE MultiMessenger",
       {R"(Settings=\Software\WEB.DE\WEB.DE MultiMessenger\)"},
       {"WEB.DE MultiMessenger" + fullNote}},
      {"TInstalledSoftwareAIM6",
       "AIM 6",
       {R"(Settings=\Software\America Online\AIM6\)"},
       {"AIM 6" + fullNote}},
      {"TInstalledSoftwareDigsby", "Digsby", {}, {"Digsby" + fullNote}},
      {"TInstalledSoftwareGaduGadu", "Gadu-Gadu", {}, {"Gadu-Gadu" + fullNote}},
      {"TInstalledSoftwareGoogleTalk",
       "Google Talk",
       {R"(Settings=\Software\Google\Google Talk\)"},
       {"Google Talk" + fullNote}},
      {"TInstalledSoftwareICQ",
       "ICQ",
       {},
       {"ICQ Pro 2003b stores a lot of information inside its program files folder. Not even "
        "adjusting access rights there satisfies it. Since there seems to be no way to run this "
        "impersonated, we strongly recommend that you use a free alternative like Pidgin or "
        "Miranda, or, if you want to stay in the ICQ line, use ICQ 6."}},
      {"TInstalledSoftwareICQ6", "ICQ6", {}, {"ICQ6" + fullNote}},
      {"TInstalledSoftwareMiranda", "Miranda IM", {}, {"Miranda IM" + fullNote}},
      {"TInstalledSoftwarePidgin", "Pidgin", {}, {"Pidgin" + fullNote}},
      {"TInstalledSoftwareSkype",
       "Skype",
       {R"(Settings=\Software\Skype\)"},
       {"Only account settings, no chat histry, will be copied for Skype.",
        R"(To copy over your history, please do a manual copy of the %APPDATA%\skypePM folder.)"}},
      {"TInstalledSoftwareTlenPL", "Tlen.pl", {}, {"Tlen.pl" + fullNote}},
      {"TInstalledSoftwareTrillian", "Trillian", {}, {"Trillian" + programFolderNote}},
      {"TInstalledSoftwareVoipBuster",
       "VoipBuster",
       {R"(Settings=\Software\VoipBuster\VoipBuster\)"},
       {"VoipBuster" + fullNote}},
      {"TInstalledSoftwareVoipStunt",
       "VoipStunt",
       {R"(Settings=\Software\VoipStunt\VoipStunt\)"},
       {"VoipStunt" + fullNote}},
      {"TInstalledSoftwareYahooMessenger",
       "Yahoo! Messenger",
       {R"(Settings=\Software\Yahoo\pager\)", R"(Settings=\Software\Yahoo\Profiles\)"},
       {"Yahoo! Messenger" + programFolderNote}},
      {"TInstalledSoftwareQQ2003", "QQ2003", {}, {"QQ2003" + programFolderNote}},
      {"TInstalledSoftwareQQ2005", "QQ2005", {}, {"QQ2005" + programFolderNote}},
      {"TInstalledSoftwareQQ2007", "QQ2007", {}, {"QQ2007" + programFolderNote}},
  };
  TSoftwareClassRegistry registry;
  RegisterChatSoftwareClasses(registry);
  ASSERT_EQ(registry.Count(), static_cast<int>(std::size(cases)));
  for (int i = 0; i < registry.Count(); ++i) {
    const auto& c = cases[i];
    ASSERT_EQ(registry.Classes()[i].Name, c.className);
    const auto item = registry.Classes()[i].Create(machine.Context(), c.displayName,
                                                   R"(C:\Program Files\X\x.exe)");
    TWideStringList keys{"junk"};
    item->GetRegistryKeys(keys);
    EXPECT_EQ(Lines(keys), c.keys) << c.className;
    TWideStringList values{"junk"};
    item->GetRegistryValues(values);
    EXPECT_TRUE(values.Empty()) << c.className;
    TWideStringList notes{"junk"};
    item->GetSupportNotes(notes);
    EXPECT_EQ(Lines(notes), c.notes) << c.className;
  }
}

TEST(Pidgin, LabelsFilesByNameAndFoldersByTheirExactTopName) {
  const struct {
    const char* path;
    const char* label;
  } cases[] = {
      {"accels", "Accelerators"},
      {"ACCOUNTS.XML", "Account settings"},  // letter case ignored for files
      {"blist.xml", "Buddy list"},
      {"otr.fingerprints", "OTR: Fingerprints"},
      {"otr.private_key", "OTR: Private Keys"},
      {"Pounces.xml", "Buddy pounces"},
      {"prefs.xml", "Preferences"},
      {"status.xml", "Stored Stati"},
      {"xmpp-caps.xml", "Jabber settings"},
      {"accounts.xml.save", "Settings"},
      {"blist", "Settings"},
      {R"(certificates\x509\tls_peers\talk.google.com)", "Certificate"},
      {R"(guifications\themes\default\theme.xml)", "GUI enhancement"},
      {R"(icons\a.png)", "Buddy icon"},
      {R"(Icons\a.png)", "Settings"},  // letter case counts for folders
      {R"(log\msn\y.txt)", "Chat log"},
      {R"(logs\jabber\x.txt)", "Settings"},  // "logs" is not "log"
      {R"(smileys\cool\theme)", "Smiley"},
      {R"(plugins\prefs.xml)", "Settings"},  // a known file name below a folder
      {R"(icons\prefs.xml)", "Buddy icon"},
      {R"(\icons)", "Settings"},
      {"", "Settings"},
  };
  for (const auto& c : cases) EXPECT_EQ(GetPidginItemLabel(c.path), c.label) << c.path;
}

TEST(Pidgin, ItemsFollowTheRunningAccountsFolderOnly) {
  CatalogueMachine machine(Flavour::Vista32);
  const std::string purple = machine.AppData() + R"(\.purple\)";
  machine.Files().AddFile(purple + "accounts.xml", "a");
  machine.Files().AddFile(purple + R"(Icons\b.png)", "b");
  machine.Files().AddFile(machine.AppData("Bob") + R"(\.purple\blist.xml)", "bob's");
  TInstalledSoftwarePidgin pidgin(machine.Context(), "Pidgin",
                                  R"(C:\Program Files\Pidgin\pidgin.exe)");
  TWideStringList items{"junk"};
  pidgin.GetDataItems(items);
  EXPECT_EQ(Lines(items),
            (std::vector<std::string>{"Account settings=accounts.xml", R"(Settings=Icons\b.png)"}));
  TWideStringList existing;
  pidgin.GetExistingDataItems(existing, 0);
  EXPECT_EQ(Lines(existing), Lines(items));
}

TEST(QQ, ANumberFolderIsMadeOfDecimalDigitsOnly) {
  const struct {
    const char* name;
    bool number;
  } cases[] = {
      {"12345678", true}, {"0", true},    {"2876543210", true},  // past 2^31: still a QQ number
      {"0012", true},     {"", false},    {"12a", false},       {"Skins", false},
      {"-1", false},      {"+1", false},  {" 1", false},        {"1 ", false},
      {"0x1F", false},    {"$1F", false}, {"1.5", false},       {"\xEF\xBC\x91", false},  // １
  };
  for (const auto& c : cases) EXPECT_EQ(IsQQNumberFolderName(c.name), c.number) << c.name;
}

// Skype's program lies in "Phone" below the installation folder an MSI entry names.
TEST(Skype, FoundThroughTheInstallLocationOfAMatchingDisplayName) {
  CatalogueMachine machine;
  machine.AddProgram(R"(C:\Program Files\Skype\Phone\Skype.exe)");
  machine.AddProgram(R"(C:\Programs\Skype3\Phone\Skype.exe)");
  machine.AddProgram(R"(C:\Program Files\Skype Toolbars\Skype.exe)");
  machine.AddUninstall(
      "{AA59DDE4-B672-4621-A016-4C248204878A}",
      {{"DisplayName", "Skype\u2122 4.1"}, {"InstallLocation", R"(C:\Program Files\Skype\)"}});
  // No trailing backslash, and matched on the display name whatever the key is called.
  machine.AddUninstall(
      "Skype_is1", {{"DisplayName", "skype 3.8"}, {"InstallLocation", R"(C:\Programs\Skype3)"}});
  // No "Phone" folder below it.
  machine.AddUninstall("{B1}", {{"DisplayName", "Skype Toolbars"},
                                {"InstallLocation", R"(C:\Program Files\Skype Toolbars\)"}});
  // Matches on its key name only.
  machine.AddUninstall(
      "Skype", {{"DisplayName", "Phone"}, {"InstallLocation", R"(C:\Program Files\Skype\)"}});
  TWideStringList list{"junk"};
  TInstalledSoftwareSkype::FindInstallations(machine.Context(), list);
  EXPECT_EQ(Lines(list),
            (std::vector<std::string>{R"(C:\Program Files\Skype\Phone\Skype.exe=Skype™ 4.1)",
                                      R"(C:\Programs\Skype3\Phone\Skype.exe=skype 3.8)"}));
}

// ICQ Pro 2003b and ICQ 6 both register as "ICQ..."; the names keep them apart.
TEST(ICQ, ProAndSixTellTheirRegistrationsApart) {
  CatalogueMachine machine;
  machine.AddProgram(R"(C:\Program Files\ICQ\Icq.exe)");
  machine.AddProgram(R"(C:\Program Files\ICQ6\ICQ.exe)");
  machine.AddProgram(R"(C:\Program Files\ICQLite\ICQ.exe)");
  machine.AddUninstall("ICQ",
                       {{"DisplayName", "ICQ"},
                        {"UninstallString", R"(C:\Program Files\ICQ\ICQUninstall.exe ICQ)"}});
  machine.AddUninstall("ICQ6", {{"DisplayName", "ICQ6"},
                                {"InstallLocation", R"(C:\Program Files\ICQ6\)"},
                                {"UninstallString", R"("C:\Program Files\ICQ6\uninstall.exe")"}});
  machine.AddUninstall("ICQLite", {{"DisplayName", "ICQ Lite"},
                                   {"InstallLocation", R"(C:\Program Files\ICQLite\)"},
                                   {"UninstallString", R"(C:\Program Files\ICQLite\uninst.exe)"}});
  TWideStringList pro;
  TInstalledSoftwareICQ::FindInstallations(machine.Context(), pro);
  EXPECT_EQ(Lines(pro), std::vector<std::string>{R"(C:\Program Files\ICQ\Icq.exe=ICQ)"});
  TWideStringList six;
  TInstalledSoftwareICQ6::FindInstallations(machine.Context(), six);
  EXPECT_EQ(Lines(six), std::vector<std::string>{R"(C:\Program Files\ICQ6\ICQ.exe=ICQ6)"});
}

// The three QQ versions each take their folder from another value.
TEST(QQ, EachVersionReadsItsOwnRegistration) {
  CatalogueMachine machine;
  for (const char* folder : {"QQ", "QQ2005", "QQ2007"}) {
    machine.AddProgram(std::string(R"(C:\Program Files\Tencent\)") + folder + R"(\QQ.exe)");
  }
  // 2003: display name, folder of the uninstaller.
  machine.AddUninstall("QQ", {{"DisplayName", "QQ2003III"},
                              {"UninstallString", R"(C:\Program Files\Tencent\QQ\Uninstall.exe)"},
                              {"DisplayIcon", R"(C:\Nowhere\QQ.exe)"}});
  // 2005: display name, folder of the icon.
  machine.AddUninstall("QQ2005Beta",
                       {{"DisplayName", "QQ2005 Beta3"},
                        {"UninstallString", R"(C:\Nowhere\Uninstall.exe)"},
                        {"DisplayIcon", R"(C:\Program Files\Tencent\QQ2005\QQ.exe,0)"}});
  // 2007: key name, folder of the uninstaller.
  machine.AddUninstall("QQ2007",
                       {{"DisplayName", "\u817e\u8baf QQ2007"},
                        {"UninstallString", R"(C:\Program Files\Tencent\QQ2007\Uninstall.exe)"}});
  TWideStringList list;
  TInstalledSoftwareQQ2003::FindInstallations(machine.Context(), list);
  EXPECT_EQ(Lines(list),
            std::vector<std::string>{R"(C:\Program Files\Tencent\QQ\QQ.exe=QQ2003III)"});
  TInstalledSoftwareQQ2005::FindInstallations(machine.Context(), list);
  EXPECT_EQ(Lines(list),
            std::vector<std::string>{R"(C:\Program Files\Tencent\QQ2005\QQ.exe=QQ2005 Beta3)"});
  TInstalledSoftwareQQ2007::FindInstallations(machine.Context(), list);
  EXPECT_EQ(Lines(list),
            std::vector<std::string>{R"(C:\Program Files\Tencent\QQ2007\QQ.exe=QQ2007)"});
}

}  // namespace
}  // namespace ombrant::test
