// The Microsoft definitions on simulated machines.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "definitions/kvrInstalledSoftwareMicrosoft.h"
#include "definitions/kvrSoftwareClasses.h"
#include "platform/kvrRegHives.h"
#include "tests/unit/catalogueTestMachine.h"

namespace ombrant::test {
namespace {

std::string UrlFile(std::string_view url) {
  return "[DEFAULT]\r\nBASEURL=" + std::string(url) +
         "\r\n[InternetShortcut]\r\nURL=" + std::string(url) + "\r\nIconIndex=1\r\n";
}

TEST(InternetExplorer, ListsOneBookmarkPerFavoriteWithAnEqualsFreeLabel) {
  CatalogueMachine machine;
  const std::string favorites = machine.Favorites() + "\\";
  machine.Files().AddFile(favorites + "MSN.url", UrlFile("http://www.msn.com/"));
  machine.Files().AddFile(favorites + R"(Links\Example.url)", UrlFile("page?b=1&c=2"));
  machine.Files().AddFile(favorites + R"(Links\Broken.url)", "[InternetShortcut]\r\nIcon=1\r\n");
  machine.Files().AddFile(favorites + "desktop.ini", "[.ShellClassInfo]\r\n");
  TInstalledSoftwareInternetExplorer explorer(machine.Context(), "Internet Explorer",
                                              R"(C:\Program Files\Internet Explorer\iexplore.exe)");
  EXPECT_EQ(explorer.GetCurrentUserDataFolder(), favorites);
  EXPECT_EQ(explorer.GetDataFolder("Bob"), machine.Favorites("Bob") + "\\");

  TWideStringList items{"junk"};
  explorer.GetDataItems(items);
  TWideStringList sorted;
  sorted.SetSorted(true);
  sorted.AddStrings(items);
  EXPECT_EQ(Lines(sorted), (std::vector<std::string>{R"(Bookmark (http://www.msn.com/)=MSN.url)",
                                                     R"(Bookmark (page?b...)=Links\Example.url)",
                                                     R"(Bookmark (unknown)=Links\Broken.url)"}));
  // Every favorite exists, so the engine gets them all.
  TWideStringList existing;
  explorer.GetExistingDataItems(existing, 0);
  EXPECT_EQ(existing.Count(), 3);
  for (int i = 0; i < items.Count(); ++i) EXPECT_EQ(items.Names(i).find('='), std::string::npos);
}

TEST(InternetExplorer, HasDataWhenAFavoriteLiesAnywhereBelowTheFolder) {
  CatalogueMachine machine;
  TInstalledSoftwareInternetExplorer explorer(machine.Context(), "Internet Explorer", "x.exe");
  const std::string folder = machine.Favorites() + "\\";
  machine.Files().AddFile(folder + "desktop.ini", "");
  EXPECT_FALSE(explorer.HasData(folder));
  EXPECT_FALSE(explorer.HasData(R"(C:\Nowhere\)"));
  machine.Files().AddFile(folder + R"(Links\Deeper\Only.url)", UrlFile("http://x/"));
  EXPECT_TRUE(explorer.HasData(folder));
  EXPECT_TRUE(explorer.HasData(machine.Favorites()));
}

TEST(InternetExplorer, CopiesThreePagesAndLeavesTheAdministratorAReminder) {
  CatalogueMachine machine;
  TInstalledSoftwareInternetExplorer explorer(machine.Context(), "Internet Explorer", "x.exe");
  TWideStringList values;
  explorer.GetRegistryValues(values);
  EXPECT_EQ(Lines(values),
            (std::vector<std::string>{
                R"(Local Page=\Software\Microsoft\Internet Explorer\Main\Local Page)",
                R"(Start Page=\Software\Microsoft\Internet Explorer\Main\Start Page)",
                R"(Search Page=\Software\Microsoft\Internet Explorer\Main\Search Page)"}));
  EXPECT_TRUE(explorer.AfterMigration());
  std::string title;
  ASSERT_TRUE(ReadRegistryString(machine.Port().registry, port::kHKeyCurrentUser,
                                 R"(\Software\Microsoft\Internet Explorer\Main\)", "Window Title",
                                 32, title));
  EXPECT_EQ(title, "Original Internet Explorer - Impersonating your Ombrant recommended instead!");
  // In the administrator's own hive.
  EXPECT_TRUE(machine.Registry()
                  .GetValue(R"(HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\Main)",
                            "Window Title")
                  .has_value());
  // A refused write is not reported.
  machine.Registry().LimitAccess(R"(HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\Main)",
                                 port::kKeyRead);
  EXPECT_TRUE(explorer.AfterMigration());
}

class OutlookExpressTest : public ::testing::Test {
 protected:
  // Identities as GUID folders, each with its Outlook Express folder.
  std::string Identity(std::string_view account, std::string_view guid) {
    return machine_.LocalAppData(account) + R"(\Identities\)" + std::string(guid) +
           R"(\Microsoft\Outlook Express\)";
  }

  CatalogueMachine machine_;
  TInstalledSoftwareOutlookExpress outlook_{machine_.Context(), "Outlook Express",
                                            R"(C:\Program Files\Outlook Express\msimn.exe)"};
};

TEST_F(OutlookExpressTest, MigratesTheMailboxesOfTheFirstIdentityOnly) {
  const std::string first = Identity("Admin", "{11111111-AAAA-4000-8000-000000000001}");
  const std::string second = Identity("Admin", "{22222222-BBBB-4000-8000-000000000002}");
  machine_.Files().AddFile(first + "Inbox.dbx", "mail");
  machine_.Files().AddFile(first + "Folders.dbx", "folders");
  machine_.Files().AddFile(first + R"(Archive\Old.dbx)", "old");
  machine_.Files().AddFile(first + "note.txt", "x");
  machine_.Files().AddFile(second + "Inbox.dbx", "other");

  TWideStringList folders;
  outlook_.GetDataFolders("Admin", folders);
  TWideStringList sortedFolders;
  sortedFolders.SetSorted(true);
  sortedFolders.AddStrings(folders);
  EXPECT_EQ(Lines(sortedFolders), (std::vector<std::string>{first, second}));

  // Only the mailboxes lying directly in the identity's folder, by file name.
  TWideStringList items{"junk"};
  outlook_.GetExistingDataItems(items, folders.IndexOf(first));
  TWideStringList sortedItems;
  sortedItems.SetSorted(true);
  sortedItems.AddStrings(items);
  EXPECT_EQ(Lines(sortedItems),
            (std::vector<std::string>{"Mailbox=Folders.dbx", "Mailbox=Inbox.dbx"}));
  TWideStringList beyond{"junk"};
  outlook_.GetExistingDataItems(beyond, 2);
  EXPECT_TRUE(beyond.Empty());
}

TEST_F(OutlookExpressTest, ALaterAccountWithoutIdentitiesHasNoFolderYet) {
  TWideStringList folders{"junk"};
  outlook_.GetDataFolders("Bob", folders);
  EXPECT_TRUE(folders.Empty());
  EXPECT_EQ(outlook_.GetDataFolder("Bob"), machine_.LocalAppData("Bob") + R"(\Identities\)");
  // Outlook Express has to make the identity itself, under the new account.
  EXPECT_TRUE(outlook_.StartRequiredBeforeDataCopy());
  machine_.Files().AddFile(Identity("Bob", "{33333333-CCCC-4000-8000-000000000003}") + "x.dbx", "");
  outlook_.GetDataFolders("Bob", folders);
  EXPECT_EQ(folders.Count(), 1);
}

TEST_F(OutlookExpressTest, HasDataCountsMailboxesAtAnyDepth) {
  const std::string identities = machine_.LocalAppData() + R"(\Identities\)";
  machine_.Files().AddFile(identities + "readme.txt", "");
  EXPECT_FALSE(outlook_.HasData(identities));
  machine_.Files().AddFile(Identity("Admin", "{1}") + R"(Sub\Deep.dbx)", "");
  EXPECT_TRUE(outlook_.HasData(identities));
}

TEST_F(OutlookExpressTest, CopiesTheFirstNineAccountsOnly) {
  TWideStringList keys;
  outlook_.GetRegistryKeys(keys);
  ASSERT_EQ(keys.Count(), 9);
  EXPECT_EQ(
      keys[0],
      R"(Account Settings #1=\Software\Microsoft\Internet Account Manager\Accounts\00000001\)");
  EXPECT_EQ(
      keys[8],
      R"(Account Settings #9=\Software\Microsoft\Internet Account Manager\Accounts\00000009\)");
  TWideStringList notes;
  outlook_.GetSupportNotes(notes);
  EXPECT_EQ(Lines(notes), std::vector<std::string>{""});
}

TEST(WindowsLive, MessengerCopiesEveryFileAndMailNothing) {
  CatalogueMachine machine(Flavour::Vista32);
  const std::string contacts = machine.LocalAppData() + R"(\Microsoft\Windows Live Contacts\)";
  machine.Files().AddFile(contacts + R"({GUID}\DBStore\contacts.edb)", "db");
  machine.Files().AddFile(machine.LocalAppData() + R"(\Microsoft\Windows Live Mail\a.oeaccount)",
                          "acct");
  TInstalledSoftwareWindowsLiveMessenger messenger(machine.Context(), "Windows Live Messenger",
                                                   "msnmsgr.exe");
  TInstalledSoftwareWindowsLiveMail mail(machine.Context(), "Windows Live Mail", "wlmail.exe");
  EXPECT_EQ(messenger.Category(), scChat);
  EXPECT_EQ(mail.Category(), scEmail);
  EXPECT_EQ(messenger.GetDataFolder("Bob"),
            R"(C:\Users\Bob\AppData\Local\Microsoft\Windows Live Contacts\)");

  TWideStringList items;
  messenger.GetExistingDataItems(items, 0);
  EXPECT_EQ(Lines(items), std::vector<std::string>{R"(Setting={GUID}\DBStore\contacts.edb)"});
  mail.GetExistingDataItems(items, 0);
  EXPECT_TRUE(items.Empty());
  EXPECT_TRUE(mail.HasData(mail.GetCurrentUserDataFolder()));

  const std::string second =
      "It uses a propriatory file format for  its configuration files though. Due to absolute "
      "paths stored inside these files, it is currently impossible to migrate existing settings.";
  TWideStringList notes;
  messenger.GetSupportNotes(notes);
  EXPECT_EQ(Lines(notes),
            (std::vector<std::string>{"Windows Live Messenger runs fine on a limited account, and "
                                      "Ombrant provides you with a shortcut to do exactly that.",
                                      second}));
  mail.GetSupportNotes(notes);
  EXPECT_EQ(Lines(notes), (std::vector<std::string>{
                              "Windows Live Mail runs fine on a limited account, and Ombrant "
                              "provides you with a shortcut to do exactly that.",
                              second}));
}

TEST(MicrosoftCatalogue, DetectsInTheCatalogueOrderWithBitnessOnA64BitSystem) {
  CatalogueMachine machine(Flavour::Win7x64);
  machine.AddProgram(R"(C:\Program Files\Internet Explorer\iexplore.exe)");
  machine.AddProgram(R"(C:\Program Files (x86)\Internet Explorer\iexplore.exe)");
  machine.AddProgram(R"(C:\Program Files (x86)\Windows Media Player\wmplayer.exe)");
  machine.AddProgram(R"(C:\Program Files (x86)\Windows Live\Messenger\msnmsgr.exe)");
  for (const char* icon : {"APPLICATION", "INTERNETEXPLORER", "OUTLOOKEXPRESS",
                           "WINDOWSLIVEMESSENGER", "WINDOWSLIVEMAIL", "WINDOWSMEDIAPLAYER"}) {
    machine.AddIconPair(icon);
  }
  TSoftwareClassRegistry classes;
  RegisterSoftwareClasses(classes);
  ASSERT_GE(classes.Count(), 5);
  const std::vector<std::string_view> order = {
      "TInstalledSoftwareInternetExplorer", "TInstalledSoftwareOutlookExpress",
      "TInstalledSoftwareWindowsLiveMessenger", "TInstalledSoftwareWindowsLiveMail",
      "TInstalledSoftwareWindowsMediaPlayer"};
  for (std::size_t i = 0; i < order.size(); ++i) EXPECT_EQ(classes.Classes()[i].Name, order[i]);

  const TInstalledSoftwareManager catalogue(machine.Context(), classes);
  ASSERT_EQ(catalogue.Count(), 4);
  const struct {
    const char* displayName;
    const char* executable;
    TSoftwareCategory category;
    int image;
  } expected[] = {
      {"Internet Explorer (32 bit)", R"(C:\Program Files (x86)\Internet Explorer\iexplore.exe)",
       scBrowser, 1},
      {"Internet Explorer (64 bit)", R"(C:\Program Files\Internet Explorer\iexplore.exe)",
       scBrowser, 1},
      {"Windows Live Messenger (32 bit)",
       R"(C:\Program Files (x86)\Windows Live\Messenger\msnmsgr.exe)", scChat, 2},
      {"Windows Media Player (32 bit)",
       R"(C:\Program Files (x86)\Windows Media Player\wmplayer.exe)", scMultimedia, 3},
  };
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(catalogue.Items(i).DisplayName(), expected[i].displayName);
    EXPECT_EQ(catalogue.Items(i).Executable(), expected[i].executable);
    EXPECT_EQ(catalogue.Items(i).Category(), expected[i].category);
    EXPECT_EQ(catalogue.Items(i).ImageIndex(), expected[i].image);
  }
  // Both Internet Explorers keep the one favorites folder.
  EXPECT_EQ(catalogue.Items(0).GetCurrentUserDataFolder(),
            catalogue.Items(1).GetCurrentUserDataFolder());
  EXPECT_EQ(catalogue.LargeIcons().Entry(3).id, "TInstalledSoftwareWindowsMediaPlayer");
  EXPECT_EQ(catalogue.LargeIcons().Entry(3).pixels,
            RenderIcon(*FindIconArt("WINDOWSMEDIAPLAYER"), 32));
}

}  // namespace
}  // namespace ombrant::test
