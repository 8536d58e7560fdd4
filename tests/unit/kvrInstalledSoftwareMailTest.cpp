// The mail client definitions on the mail fixture machines and on machines built in code.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "definitions/kvrInstalledSoftwareEudora.h"
#include "definitions/kvrInstalledSoftwareEvolution.h"
#include "definitions/kvrInstalledSoftwareMulberry.h"
#include "definitions/kvrInstalledSoftwarePegasus.h"
#include "definitions/kvrInstalledSoftwarePostMe.h"
#include "definitions/kvrInstalledSoftwareSylpheed.h"
#include "definitions/kvrInstalledSoftwareTheBat.h"
#include "definitions/kvrSoftwareClasses.h"
#include "orchestration/UnitMigrationPage.h"
#include "tests/unit/grantOrder.h"
#include "tests/unit/catalogueTestMachine.h"
#include "tests/unit/definitionFixtureSupport.h"
#include "tests/unit/fixtureMachine.h"

namespace ombrant::test {
namespace {

const std::vector<std::string_view> kMailClasses = {
    "TInstalledSoftwareEudora",  "TInstalledSoftwareEvolution", "TInstalledSoftwareMulberry",
    "TInstalledSoftwarePegasus", "TInstalledSoftwarePostMe",    "TInstalledSoftwareSylpheed",
    "TInstalledSoftwareTheBat"};

TEST(MailClients, RegisterInCatalogueOrderAfterTheMicrosoftOnesWithTheirIcons) {
  TSoftwareClassRegistry all;
  RegisterSoftwareClasses(all);
  std::vector<std::string_view> names;
  for (const TSoftwareClass& c : all.Classes()) names.push_back(c.Name);
  const auto first = std::find(names.begin(), names.end(), kMailClasses[0]);
  ASSERT_NE(first, names.end());
  EXPECT_GT(first - names.begin(),
            std::find(names.begin(), names.end(), "TInstalledSoftwareWindowsMediaPlayer") -
                names.begin());
  ASSERT_GE(names.end() - first, 7);
  EXPECT_EQ(std::vector<std::string_view>(first, first + 7), kMailClasses);

  TSoftwareClassRegistry mail;
  RegisterMailSoftwareClasses(mail);
  const char* icons[] = {"EUDORA", "EVOLUTION", "MULBERRY", "PEGASUSMAIL",
                         "POSTME", "SYLPHEED",  "THEBAT"};
  ASSERT_EQ(mail.Count(), 7);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(mail.Classes()[i].Name, kMailClasses[i]);
    EXPECT_EQ(mail.Classes()[i].GetIconResourceName(), icons[i]);
  }
}

// ---- The Bat!'s item labels

TEST(TheBat, LabelsFilesByWhereTheyLieAndWhatTheyHold) {
  const struct {
    const char* path;
    const char* label;
  } cases[] = {
      {"ACCORDER.cfg", "Account order"},
      {"accorder.CFG", "Account order"},
      {"ADDRBOOK.INI", "Address book"},
      {"LDAP#1.ADB", "LDAP address book #1"},
      {"ldap#2.adb", "LDAP address book #2"},
      {"LDAP#3.ADB", "LDAP address book #3"},
      {"LDAP#4.ADB", "LDAP address book #4"},
      {"LDAP#5.ADB", "Settings"},
      {"RootCA.ADB", "Root authority certificates"},
      {"IntermCA.ADB", "Intermediate authority certificates"},
      {"MAIN.ABD", "Settings"},
      {"Events.CFG", "Settings"},
      {R"(Work\Inbox\messages.TBB)", "Messages (Work)"},
      // The message bases' extensions compare exactly.
      {R"(Work\Inbox\messages.tbb)", "Profile (Work)"},
      {R"(Work\Inbox\messages.TBI)", "Message Index (Work)"},
      {R"(Work\Inbox\Deep\old.TBI)", "Message Index (Work)"},
      {R"(Work\Account.CFN)", "Account configuration (Work)"},
      {R"(Home Mail\account.cfn)", "Account configuration (Home Mail)"},
      // Only the account folder's own configuration counts.
      {R"(Work\Inbox\Account.CFN)", "Profile (Work)"},
      {R"(Work\Account.FLB)", "Folders (Work)"},
      {R"(Work\Sent\folder.ini)", "Profile (Work)"},
      {R"(Work\Events.CFG)", "Profile (Work)"},
      {R"(Work\ADDRBOOK.INI)", "Profile (Work)"},
  };
  for (const auto& c : cases) EXPECT_EQ(GetTheBatItemLabel(c.path), c.label) << c.path;
}

TEST(TheBat, ListsEveryFileButTheFoldersOwnEventLog) {
  CatalogueMachine machine;
  const std::string folder = machine.AppData() + R"(\The Bat!\)";
  for (const char* file :
       {"ACCORDER.cfg", "Events.CFG", R"(Work\Inbox\messages.TBB)", R"(Work\Account.CFN)",
        R"(Work\Sent\folder.ini)", R"(Work\events.cfg)"}) {
    machine.Files().AddFile(folder + file, "x");
  }
  TInstalledSoftwareTheBat bat(machine.Context(), "The Bat!",
                               R"(C:\Program Files\The Bat!\thebat.exe)");
  TWideStringList items{"junk"};
  bat.GetExistingDataItems(items, 0);
  // Breadth-first: the folder's files, then each sub-folder's.
  EXPECT_EQ(Lines(items),
            (std::vector<std::string>{
                "Account order=ACCORDER.cfg", R"(Account configuration (Work)=Work\Account.CFN)",
                R"(Profile (Work)=Work\events.cfg)", R"(Messages (Work)=Work\Inbox\messages.TBB)",
                R"(Profile (Work)=Work\Sent\folder.ini)"}));
}

// ---- Pegasus Mail's mail folder

TEST(Pegasus, TheMailFolderIsTheProgramFolderWithoutItsLastNineCharactersAndMail) {
  CatalogueMachine machine;
  const struct {
    const char* executable;
    const char* folder;
  } cases[] = {
      {R"(C:\PMAIL\PROGRAMS\winpm-32.exe)", R"(C:\PMAIL\MAIL\)"},
      {R"(D:\Apps\Pegasus\PROGRAMS\winpm-32.exe)", R"(D:\Apps\Pegasus\MAIL\)"},
      {R"(\\server\mail\PROGRAMS\winpm-32.exe)", R"(\\server\mail\MAIL\)"},
      // Nine characters, whatever the folder is called.
      {R"(C:\Pegasus\Prog\winpm-32.exe)", R"(C:\PegaMAIL\)"},
      {R"(C:\PROGRAMS\winpm-32.exe)", R"(C:\MAIL\)"},
      // What would be left is no rooted path: no mail folder rather than one below the current
      // folder.
      {R"(C:\PMAIL\P\winpm-32.exe)", ""},
      {R"(C:\PMAIL\winpm-32.exe)", ""},
      {R"(C:\PM\winpm-32.exe)", ""},
      {"winpm-32.exe", ""},
  };
  for (const auto& c : cases) {
    TInstalledSoftwarePegasus pegasus(machine.Context(), "Pegasus Mail", c.executable);
    EXPECT_EQ(pegasus.GetDataFolder("Admin"), c.folder) << c.executable;
    EXPECT_EQ(pegasus.GetDataFolder("Bob"), c.folder) << c.executable;
  }
  // Without a mail folder there is nothing to migrate.
  TInstalledSoftwarePegasus shortFolder(machine.Context(), "Pegasus Mail", R"(C:\PM\winpm-32.exe)");
  EXPECT_FALSE(shortFolder.HasData(shortFolder.GetCurrentUserDataFolder()));
}

// ---- PostMe's grants

TEST(PostMe, GrantsEveryUserFolderAndTempOnEveryMigrationAndNothingElse) {
  CatalogueMachine machine;
  const std::string folder = R"(C:\Program Files\PostMe\)";
  machine.AddProgram(folder + "postme.exe");
  for (const char* sub : {"user1", "user2", "users", "temp", "skins", "olduser"}) {
    machine.Files().AddFolder(folder + sub);
  }
  machine.Files().AddFile(folder + "userlist.dat", "x");
  machine.Machine().AddAccount("Carol");
  TInstalledSoftwarePostMe postMe(machine.Context(), "PostMe", folder + "postme.exe");
  EXPECT_TRUE(postMe.AlwaysRunAfterMigration());
  EXPECT_EQ(postMe.GetDataFolder("Carol"), folder);

  port::ProfileInfo target;
  target.userName = "Carol";
  postMe.SetTargetProfile(target);
  const std::string carol = machine.Machine().FindAccount("Carol")->sid;
  std::map<std::string, std::string> before;
  const std::vector<std::string> paths = {"",     "user1", "user2",   "users",
                                          "temp", "skins", "olduser", "userlist.dat"};
  for (const std::string& p : paths) {
    before[p] = vqGetFileSecurityString(machine.Port().security, folder + p, 4);
  }
  EXPECT_TRUE(postMe.AfterMigration());
  EXPECT_TRUE(postMe.AfterMigration());
  for (const std::string& p : paths) {
    const bool granted = p == "user1" || p == "user2" || p == "users" || p == "temp";
    EXPECT_EQ(vqGetFileSecurityString(machine.Port().security, folder + p, 4),
              granted ? CanonicalGrant(before[p], "(A;OICI;0x1301bf;;;" + carol + ")") : before[p])
        << p;
  }
}

// ---- the fixture machines

// `all`: Evolution and Mulberry installed too.
const FixtureFlavour kMailMachines[] = {
    {"mail-xp", R"(C:\Documents and Settings)", "Application Data", R"(C:\Program Files)", true},
    {"mail-7x64", R"(C:\Users)", R"(AppData\Roaming)", R"(C:\Program Files (x86))", false},
};

class MailFixtureTest : public FlavourFixtureTest {};

TEST_P(MailFixtureTest, DetectsTheInstalledClientsWithTheirFoldersNotesAndSettings) {
  TInstalledSoftwareManager& catalogue = fixture_->Catalogue(RegisterMailSoftwareClasses);
  struct Expected {
    const char* className;
    const char* displayName;
    std::string executable;
    std::string adminFolder;
    std::string bobFolder;
    std::vector<std::string> keys;
    std::vector<std::string> notes;
  };
  const auto fully = [](const std::string& name) {
    return std::vector<std::string>{name +
                                    " is fully supported; email accounts and emails will be "
                                    "copied to your impersonated Ombrant."};
  };
  std::vector<Expected> expected;
  expected.push_back({"TInstalledSoftwareEudora",
                      "Eudora",
                      ProgramFiles(R"(Qualcomm\Eudora\Eudora.exe)"),
                      AppData("Admin", R"(Qualcomm\Eudora\)"),
                      AppData("Bob", R"(Qualcomm\Eudora\)"),
                      {},
                      fully("Eudora")});
  if (GetParam().all) {
    expected.push_back(
        {"TInstalledSoftwareEvolution",
         "Evolution",
         ProgramFiles(R"(Evolution\Evolution.cmd)"),
         Profile("Admin") + R"(\.gconf\apps\evolution\)",
         Profile("Bob") + R"(\.gconf\apps\evolution\)",
         {},
         {"Evolution will crash when running on a restricted user account. Therefore it is "
          "currently not possible to use it safely impersonated."}});
    expected.push_back({"TInstalledSoftwareMulberry",
                        "Mulberry",
                        ProgramFiles(R"(Mulberry\Mulberry.exe)"),
                        AppData("Admin", R"(Cyrussoft\Mulberry\)"),
                        AppData("Bob", R"(Cyrussoft\Mulberry\)"),
                        {R"(Preferences=\Software\Cyrusoft International, Inc.\Mulberry\)"},
                        fully("Mulberry")});
  }
  expected.push_back({"TInstalledSoftwarePegasus",
                      "Pegasus Mail",
                      R"(C:\PMAIL\PROGRAMS\winpm-32.exe)",
                      R"(C:\PMAIL\MAIL\)",
                      R"(C:\PMAIL\MAIL\)",
                      {},
                      {"Pegasus mail stores mail inboxes in the Program Files structure. Even when "
                       "assigning modify & write access to the MAIL folder, it will just crash."}});
  expected.push_back(
      {"TInstalledSoftwarePostMe",
       "PostMe",
       ProgramFiles(R"(PostMe\postme.exe)"),
       ProgramFiles(R"(PostMe\)"),
       ProgramFiles(R"(PostMe\)"),
       {},
       {"PostMe does not allow you to map email profiles to user profiles; it stores emails in "
        "its program files folder instead. While this would mean only administrator or power "
        "users might use it, Ombrant will adjust the permissions on the email folders to allow "
        "your impersonated Ombrant as well."}});
  expected.push_back({"TInstalledSoftwareSylpheed",
                      "Sylpheed 2.7.1",
                      ProgramFiles(R"(Sylpheed\sylpheed.exe)"),
                      AppData("Admin", R"(Sylpheed\)"),
                      AppData("Bob", R"(Sylpheed\)"),
                      {},
                      fully("Sylpheed 2.7.1")});
  expected.push_back({"TInstalledSoftwareTheBat",
                      "TheBat! 4.2.10",
                      ProgramFiles(R"(The Bat!\thebat.exe)"),
                      AppData("Admin", R"(The Bat!\)"),
                      AppData("Bob", R"(The Bat!\)"),
                      {R"(Settings=\Software\RIT\The Bat!\)"},
                      fully("TheBat! 4.2.10")});

  ASSERT_EQ(catalogue.Count(), static_cast<int>(expected.size()));
  for (int i = 0; i < catalogue.Count(); ++i) {
    TInstalledSoftware& app = catalogue.Items(i);
    const Expected& e = expected[static_cast<std::size_t>(i)];
    SCOPED_TRACE(e.className);
    EXPECT_EQ(catalogue.ClassNameOf(i), e.className);
    EXPECT_EQ(app.DisplayName(), e.displayName);
    EXPECT_EQ(app.Executable(), e.executable);
    EXPECT_EQ(app.Category(), scEmail);
    EXPECT_EQ(app.GetCurrentUserDataFolder(), e.adminFolder);
    EXPECT_EQ(app.GetDataFolder("Bob"), e.bobFolder);
    EXPECT_EQ(app.StartRequiredBeforeDataCopy(), std::string_view(e.className) == kMailClasses[0]);
    EXPECT_FALSE(app.ShutdownRequiredBeforeDataCopy());
    EXPECT_EQ(app.AlwaysRunAfterMigration(),
              std::string_view(e.className) == "TInstalledSoftwarePostMe");
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

TEST_P(MailFixtureTest, ItemListsNameTheSettingsOfTheAdministrator) {
  TInstalledSoftwareManager& catalogue = fixture_->Catalogue(RegisterMailSoftwareClasses);
  std::map<std::string, std::vector<std::string>> items;
  for (int i = 0; i < catalogue.Count(); ++i) {
    TWideStringList list;
    catalogue.Items(i).GetExistingDataItems(list, 0);
    items[std::string(catalogue.ClassNameOf(i))] = Lines(list);
  }
  EXPECT_EQ(items["TInstalledSoftwareEudora"],
            (std::vector<std::string>{"Setting=Eudora.ini", "Setting=In.mbx", "Setting=In.toc",
                                      "Setting=NNdbase.txt", "Setting=Out.mbx",
                                      R"(Setting=Attach\report.txt)"}));
  EXPECT_EQ(
      items["TInstalledSoftwareTheBat"],
      (std::vector<std::string>{
          "Account order=ACCORDER.CFG", "Address book=ADDRBOOK.INI", "Settings=MAIN.ABD",
          "Root authority certificates=RootCA.ADB",
          R"(Account configuration (Work)=Work\Account.CFN)", R"(Folders (Work)=Work\Account.FLB)",
          R"(Profile (Work)=Work\Events.CFG)", R"(Messages (Work)=Work\Inbox\messages.TBB)",
          R"(Message Index (Work)=Work\Inbox\messages.TBI)",
          R"(Profile (Work)=Work\Sent\folder.ini)", R"(Messages (Work)=Work\Sent\messages.TBB)"}));
  if (GetParam().all) {
    EXPECT_EQ(items["TInstalledSoftwareMulberry"],
              (std::vector<std::string>{R"(Address book=Address Books\Personal.mba)",
                                        R"(Address book=Address Books\Work\Team.mba)",
                                        R"(Calendar=Calendars\Personal.ics)",
                                        R"(Calendar=Calendars\Subscribed\Holidays.ics)"}));
  } else {
    // Without its folders Mulberry lists nothing.
    TInstalledSoftwareMulberry mulberry(fixture_->Context(), "Mulberry", "Mulberry.exe");
    TWideStringList list{"junk"};
    mulberry.GetExistingDataItems(list, 0);
    EXPECT_TRUE(list.Empty());
  }
  // PostMe copies no file of its program folder.
  EXPECT_TRUE(items["TInstalledSoftwarePostMe"].empty());
}

TEST_P(MailFixtureTest, MigratesIntoBobTwiceWithGrantsOnceAndTheAdministratorUntouched) {
  TInstalledSoftwareManager& catalogue = fixture_->Catalogue(RegisterMailSoftwareClasses);
  sim::SimMachine& machine = fixture_->Machine();
  port::Port& port = fixture_->Port();

  std::vector<std::string> available(static_cast<std::size_t>(catalogue.Count()),
                                     "Migration available");
  std::vector<std::string> existing(available.size(), "Profile already exists");
  // Pegasus Mail and PostMe keep their mail in one folder for every account.
  std::vector<std::string> before = available;
  for (int i = 0; i < catalogue.Count(); ++i) {
    const std::string_view name = catalogue.ClassNameOf(i);
    if (name == "TInstalledSoftwarePegasus" || name == "TInstalledSoftwarePostMe") {
      before[static_cast<std::size_t>(i)] = "Profile already exists";
    }
  }
  EXPECT_EQ(MigrationStatuses(*fixture_, catalogue), before);

  // What Bob has already keeps its data.
  sim::SimHive& bobHive = HiveOf(*fixture_, "Bob");
  SetValue(bobHive, R"(Software\RIT\The Bat!)", StringValue("Language", "Deutsch"));

  const std::string adminProfile = Profile("Admin");
  const auto adminFiles = SnapshotFiles(port.files, adminProfile);
  const std::string adminHive = SnapshotHive(machine, "Admin");
  const auto pmail = SnapshotFiles(port.files, R"(C:\PMAIL)");
  const std::string postMe = ProgramFiles("PostMe");
  const auto postMeFiles = SnapshotFiles(port.files, postMe);
  const std::vector<std::string> granted = {postMe + R"(\user1)", postMe + R"(\user2)",
                                            postMe + R"(\temp)"};
  const std::vector<std::string> untouched = {postMe, postMe + R"(\skins)",
                                               postMe + R"(\userlist.dat)"};
  // The mail a granted folder already holds takes the grant as an inherited entry.
  const std::vector<std::string> inherited = {postMe + R"(\user1\inbox.pmi)"};
  std::map<std::string, std::string> acl;
  for (const auto* list : {&granted, &untouched, &inherited}) {
    for (const std::string& path : *list) acl[path] = Sddl(*fixture_, path);
  }
  // The folder's own list is explicit and protected; user2 has its own.
  EXPECT_EQ(acl[postMe], "D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)");
  EXPECT_EQ(acl[postMe + R"(\user2)"], "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)");

  // Eudora is started once under Bob; the user closes it and clicks OK.
  const std::string eudora = ProgramFiles(R"(Qualcomm\Eudora\Eudora.exe)");
  machine.Ui().QueueAnswer(port::kIdOk,
                           [&] { machine.ProcessArea().CloseProcessesWithPath(eudora); });
  ASSERT_TRUE(MigrateSelectedApplications(port, catalogue, "Bob"));

  ASSERT_EQ(machine.Ui().Boxes().size(), 1u);
  EXPECT_EQ(machine.Ui().Boxes()[0].text,
            "Eudora needs to be started once before your settings can be migrated. Please close "
            "it once it has finished loading, then click OK.");
  EXPECT_EQ(machine.Ui().Boxes()[0].caption, "Ombrant");
  EXPECT_EQ(machine.Ui().Boxes()[0].type, port::kMbOk | port::kMbIconInformation);
  EXPECT_EQ(machine.Ui().PendingAnswers(), 0u);
  ASSERT_EQ(machine.Shell().Executed().size(), 1u);
  EXPECT_EQ(machine.Shell().Executed()[0].file, "runas.exe");
  EXPECT_EQ(machine.Shell().Executed()[0].parameters,
            "/user:Bob /savecred \"\\\"" + eudora + "\\\" \"");

  // Whole folders, copied byte for byte.
  auto expectCopied = [&](const std::string& rest, const std::set<std::string>& left) {
    auto expected = SnapshotFiles(port.files, AppData("Admin", rest));
    ASSERT_FALSE(expected.empty()) << rest;
    for (const std::string& file : left) EXPECT_EQ(expected.erase(file), 1u) << file;
    EXPECT_EQ(SnapshotFiles(port.files, AppData("Bob", rest)), expected) << rest;
  };
  expectCopied(R"(Qualcomm\Eudora)", {});
  expectCopied("Sylpheed", {});
  expectCopied("The Bat!", {"Events.CFG"});
  if (GetParam().all) {
    expectCopied(R"(Cyrussoft\Mulberry)", {"Mulberry.log", R"(Cache\imap.example.com\INBOX.mbc)"});
    // Only Evolution's part of the GConf tree.
    std::map<std::string, std::string> gconf;
    for (const auto& [file, bytes] :
         SnapshotFiles(port.files, Profile("Admin") + R"(\.gconf\apps\evolution)")) {
      gconf[R"(apps\evolution\)" + file] = bytes;
    }
    EXPECT_EQ(SnapshotFiles(port.files, Profile("Bob") + R"(\.gconf)"), gconf);
    const std::string mulberryKey = R"(Software\Cyrusoft International, Inc.\Mulberry)";
    EXPECT_EQ(KeyTree(bobHive, mulberryKey), KeyTree(HiveOf(*fixture_, "Admin"), mulberryKey));
  }
  // Bob's own value stays; the rest of the key is copied.
  const std::string batKey = R"(Software\RIT\The Bat!)";
  auto batExpected = KeyTree(HiveOf(*fixture_, "Admin"), batKey);
  ASSERT_EQ(batExpected[""].at(0).name, "Language");
  batExpected[""][0] = StringValue("Language", "Deutsch");
  EXPECT_EQ(KeyTree(bobHive, batKey), batExpected);

  // The shared mail folders are neither copied nor changed; PostMe's get Bob's entry.
  EXPECT_EQ(SnapshotFiles(port.files, R"(C:\PMAIL)"), pmail);
  EXPECT_EQ(SnapshotFiles(port.files, postMe), postMeFiles);
  for (const std::string& path : granted) {
    EXPECT_EQ(Sddl(*fixture_, path), CanonicalGrant(acl[path], GrantEntry(*fixture_))) << path;
  }
  for (const std::string& path : untouched) EXPECT_EQ(Sddl(*fixture_, path), acl[path]) << path;
  const std::string grant = GrantEntry(*fixture_);
  for (const std::string& path : inherited) {
    EXPECT_EQ(Sddl(*fixture_, path),
              acl[path] + "(A;ID;0x1301bf;;;" + grant.substr(grant.rfind(';') + 1))
        << path;
  }

  EXPECT_EQ(SnapshotFiles(port.files, adminProfile), adminFiles);
  EXPECT_EQ(SnapshotHive(machine, "Admin"), adminHive);

  // A second run copies nothing again, starts nothing, asks nothing and grants nothing twice.
  const auto bobFiles = SnapshotFiles(port.files, AppData("Bob", ""));
  const std::string bobHiveText = SnapshotHive(machine, "Bob");
  ASSERT_TRUE(MigrateSelectedApplications(port, catalogue, "Bob"));
  EXPECT_EQ(machine.Ui().Boxes().size(), 1u);
  EXPECT_EQ(machine.Shell().Executed().size(), 1u);
  EXPECT_EQ(SnapshotFiles(port.files, AppData("Bob", "")), bobFiles);
  EXPECT_EQ(SnapshotHive(machine, "Bob"), bobHiveText);
  for (const std::string& path : granted) {
    EXPECT_EQ(Sddl(*fixture_, path), CanonicalGrant(acl[path], GrantEntry(*fixture_))) << path;
  }
  EXPECT_EQ(SnapshotFiles(port.files, adminProfile), adminFiles);
  EXPECT_EQ(SnapshotHive(machine, "Admin"), adminHive);

  EXPECT_EQ(MigrationStatuses(*fixture_, catalogue), existing);
}

INSTANTIATE_TEST_SUITE_P(MailMachines, MailFixtureTest, ::testing::ValuesIn(kMailMachines),
                         [](const ::testing::TestParamInfo<FixtureFlavour>& info) {
                           std::string name = info.param.name;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

}  // namespace
}  // namespace ombrant::test
