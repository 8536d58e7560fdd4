// The definition model: per-user paths, the setting items, support notes, shortcuts and the
// start under another account.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "catalogue/kvrInstalledSoftware.h"
#include "platform/vqPathSolve.h"
#include "tests/unit/catalogueTestMachine.h"

namespace ombrant::test {
namespace {

// A definition with a data folder below the application data and a settable item list.
class TestDefinition : public TInstalledSoftware {
 public:
  TestDefinition(const TSoftwareContext& context, std::string displayName, std::string executable,
                 std::string runParameters = {})
      : TInstalledSoftware(context, std::move(displayName), std::move(executable)) {
    FRunParameters = std::move(runParameters);
  }
  std::string GetDataFolder(std::string_view userName) override {
    return ResolvePathForUser(userName, R"(<$APPDATA>\TestApp\)");
  }
  void GetDataItems(TWideStringList& list) override {
    list.Clear();
    for (const std::string& item : items) list.Add(item);
  }
  std::vector<std::string> items;
};

class TestAllFiles : public TInstalledSoftwareAllDataFiles {
 public:
  using TInstalledSoftwareAllDataFiles::TInstalledSoftwareAllDataFiles;
  std::string GetDataFolder(std::string_view userName) override {
    return ResolvePathForUser(userName, R"(<$APPDATA>\TestApp\)");
  }
};

TEST(InstalledSoftware, StartsActiveWithoutImageOrCategoryAndAllZeroTargetProfile) {
  CatalogueMachine machine;
  TestDefinition app(machine.Context(), "Test App", R"(C:\Program Files\Test\test.exe)");
  EXPECT_TRUE(app.Active());
  EXPECT_EQ(app.ImageIndex(), -1);
  EXPECT_EQ(app.Category(), scOther);
  EXPECT_EQ(app.DisplayName(), "Test App");
  EXPECT_EQ(app.Executable(), R"(C:\Program Files\Test\test.exe)");
  EXPECT_FALSE(app.StartRequiredBeforeDataCopy());
  EXPECT_FALSE(app.ShutdownRequiredBeforeDataCopy());
  EXPECT_FALSE(app.AlwaysRunAfterMigration());
  const port::ProfileInfo& profile = app.TargetProfile();
  EXPECT_EQ(profile.size, 0u);
  EXPECT_EQ(profile.profile, port::kNoKey);
  EXPECT_TRUE(profile.userName.empty());
  EXPECT_EQ(SoftwareCategoryNames[scMultimedia], "Multimedia");
}

TEST(ResolvePathForUser, PutsTheUserInPlaceOfTheThirdElement) {
  struct Case {
    Flavour flavour;
    const char* user;
    const char* pathTemplate;
    const char* expected;
  };
  const Case cases[] = {
      {Flavour::Xp32, "Bob", R"(<$APPDATA>\X\)",
       R"(C:\Documents and Settings\Bob\Application Data\X\)"},
      {Flavour::Vista32, "Bob", R"(<$LOCALAPPDATA>\Google\Google Talk\)",
       R"(C:\Users\Bob\AppData\Local\Google\Google Talk\)"},
      // A blank in the name is one element like any other.
      {Flavour::Xp32, "Bob Smith-online", R"(<$FAVORITES>\)",
       R"(C:\Documents and Settings\Bob Smith-online\Favorites\)"},
      // Outside the profiles the third element is replaced all the same.
      {Flavour::Xp32, "Bob", R"(C:\Data\x.ini)", R"(C:\Data\Bob)"},
      // Two elements have no third.
      {Flavour::Xp32, "Bob", R"(C:\x.ini)", R"(C:\x.ini)"},
  };
  for (const Case& c : cases) {
    CatalogueMachine machine(c.flavour);
    TestDefinition app(machine.Context(), "Test App", "x.exe");
    EXPECT_EQ(app.ResolvePathForUser(c.user, c.pathTemplate), c.expected) << c.pathTemplate;
  }
}

// The machine's shell, with the running account's profile in a folder named unlike the
// account, as Windows does for a second account of the same name.
class RenamedProfileShell final : public port::IShell {
 public:
  explicit RenamedProfileShell(port::IShell& inner) : inner_(inner) {}
  port::Status GetSpecialFolderPath(int csidl, std::string* path) override {
    const port::Status status = inner_.GetSpecialFolderPath(csidl, path);
    const std::size_t at = path->find(R"(\Admin)");
    if (status == port::kErrorSuccess && at != std::string::npos) {
      path->insert(at + 6, ".PC");
    }
    return status;
  }
  std::unique_ptr<port::IShellLink> CreateShellLink() override { return inner_.CreateShellLink(); }

 private:
  port::IShell& inner_;
};

TEST(ResolvePathForUser, KeepsTheRunningAccountsOwnFolderAsTheShellGivesIt) {
  CatalogueMachine machine;
  RenamedProfileShell shell(machine.Shell());
  port::Port port{machine.Port().registry, machine.Port().system,   machine.Port().files,   shell,
                  machine.Port().ui,       machine.Port().accounts, machine.Port().security,
                  machine.Port().processes};
  const TPathSolver solver(port);
  const TSoftwareContext context{port, solver, false, nullptr};
  TestDefinition app(context, "Test App", "x.exe");
  EXPECT_EQ(app.GetCurrentUserDataFolder(),
            R"(C:\Documents and Settings\Admin.PC\Application Data\TestApp\)");
  EXPECT_EQ(app.GetDataFolder("admin"),
            R"(C:\Documents and Settings\Admin.PC\Application Data\TestApp\)");
  EXPECT_EQ(app.GetDataFolder("Bob"), R"(C:\Documents and Settings\Bob\Application Data\TestApp\)");
}

TEST(GetExistingDataItems, KeepsTheItemsWhoseFileExistsInTheRunningAccountsFolder) {
  CatalogueMachine machine;
  const std::string folder = machine.AppData() + R"(\TestApp\)";
  machine.Files().AddFile(folder + "bookmarks.html", "<html>");
  machine.Files().AddFile(folder + R"(mail\accounts.ini)", "[a]");
  machine.Files().AddFolder(folder + "sub");
  TestDefinition app(machine.Context(), "Test App", "x.exe");
  app.items = {"Bookmarks=bookmarks.html", "Missing=gone.txt", "A folder=sub",
               R"(Mail accounts #1=mail\accounts.ini)"};

  TWideStringList list{"junk=left over"};
  app.GetExistingDataItems(list, 0);
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"Bookmarks=bookmarks.html",
                                                   R"(Mail accounts #1=mail\accounts.ini)"}));
  // Folder indexes beyond the one folder, or below zero, give nothing.
  for (int index : {1, 7, -1}) {
    TWideStringList other{"junk=left over"};
    app.GetExistingDataItems(other, index);
    EXPECT_TRUE(other.Empty()) << "index " << index;
  }
  // No items, no lines, though the folder exists.
  app.items.clear();
  app.GetExistingDataItems(list, 0);
  EXPECT_TRUE(list.Empty());
}

TEST(GetExistingDataItems, AllDataFilesAppendsEveryFileBelowTheFolderBreadthFirst) {
  CatalogueMachine machine;
  const std::string folder = machine.AppData() + R"(\TestApp\)";
  machine.Files().AddFile(folder + R"(deep\er\c.dat)", "c");
  machine.Files().AddFile(folder + "a.ini", "a");
  machine.Files().AddFile(folder + R"(deep\b.dat)", "b");
  machine.Files().AddFolder(folder + "empty");
  TestAllFiles app(machine.Context(), "Test App", "x.exe");

  TWideStringList list{"Kept=first"};
  app.GetExistingDataItems(list, 0);
  EXPECT_EQ(Lines(list),
            (std::vector<std::string>{"Kept=first", "Setting=a.ini", R"(Setting=deep\b.dat)",
                                      R"(Setting=deep\er\c.dat)"}));
  TWideStringList beyond{"Kept=first"};
  app.GetExistingDataItems(beyond, 1);
  EXPECT_EQ(Lines(beyond), std::vector<std::string>{"Kept=first"});
}

TEST(SupportNotes, AddOneSentenceNamingTheApplication) {
  CatalogueMachine machine;
  TestDefinition app(machine.Context(), "Pidgin", "x.exe");
  enum Helper { kChat, kMail, kProgramFolder };
  struct Case {
    Helper helper;
    bool first;   // accounts
    bool second;  // history or mails
    const char* expected;
  };
  const Case cases[] = {
      {kChat, true, true,
       "Pidgin is fully supported; accounts and chat history will be copied to your "
       "impersonated Ombrant."},
      {kChat, true, false, "Only account settings, no chat histry, will be copied for Pidgin."},
      {kChat, false, true, "Only chat history, no account settings will be copied for Pidgin."},
      {kChat, false, false, "There is currently no migration available for Pidgin."},
      {kMail, true, true,
       "Pidgin is fully supported; email accounts and emails will be copied to your "
       "impersonated Ombrant."},
      {kMail, true, false, "Only account settings, no stored emails, will be copied for Pidgin."},
      {kMail, false, true, "Only mails, no account settings will be copied for Pidgin."},
      {kMail, false, false, "There is currently no migration available for Pidgin."},
      {kProgramFolder, false, false,
       "Pidgin stores its settings inside its own program files folder, Ombrant fully supports "
       "it by adjusting access rights."},
  };
  for (const Case& c : cases) {
    TWideStringList list{"an earlier note"};
    if (c.helper == kChat) app.AddChatSupportNote(list, c.first, c.second);
    if (c.helper == kMail) app.AddMailSupportNote(list, c.first, c.second);
    if (c.helper == kProgramFolder) app.AddProgramFolderSupportNote(list);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"an earlier note", c.expected}));
  }
}

struct LinkFields {
  std::string target;
  std::string arguments;
  std::string description;
  std::string folder;
  std::string iconFile;
  int iconIndex = -1;
};

LinkFields ReadLink(port::Port& port, const std::string& file) {
  LinkFields fields;
  std::unique_ptr<port::IShellLink> link = port.shell.CreateShellLink();
  EXPECT_TRUE(port::Succeeded(link->Load(file))) << file;
  EXPECT_TRUE(port::Succeeded(link->GetPath(&fields.target, 1024)));
  EXPECT_TRUE(port::Succeeded(link->GetArguments(&fields.arguments, 1024)));
  EXPECT_TRUE(port::Succeeded(link->GetDescription(&fields.description, 1024)));
  EXPECT_TRUE(port::Succeeded(link->GetWorkingDirectory(&fields.folder, 1024)));
  EXPECT_TRUE(port::Succeeded(link->GetIconLocation(&fields.iconFile, 1024, &fields.iconIndex)));
  return fields;
}

TEST(CreateRestrictedShortcut, StartsTheProgramThroughRunasWithSavedCredentials) {
  CatalogueMachine machine;
  machine.AddProgram(machine.Windows() + R"(\system32\runas.exe)");
  const std::string desktop = machine.Profile() + R"(\Desktop)";
  machine.Files().AddFolder(desktop);
  struct Case {
    const char* runParameters;
    const char* arguments;
  };
  // Empty run parameters still leave the blank before the closing quote.
  const Case cases[] = {
      {"", R"(/user:Bob-online /savecred "\"C:\Program Files\AIM6\aim6.exe\" ")"},
      {"/d locale=en-US",
       R"(/user:Bob-online /savecred "\"C:\Program Files\AIM6\aim6.exe\" /d locale=en-US")"},
  };
  for (const Case& c : cases) {
    TestDefinition app(machine.Context(), "AIM 6", R"(C:\Program Files\AIM6\aim6.exe)",
                       c.runParameters);
    const std::string link = desktop + R"(\AIM 6 (as Bob-online).lnk)";
    ASSERT_TRUE(app.CreateRestrictedShortcut(link, "Bob-online"));
    const LinkFields fields = ReadLink(machine.Port(), link);
    // "runas" as the shell finds it; no working folder for a bare name.
    EXPECT_EQ(fields.target, machine.Windows() + R"(\system32\runas.exe)");
    EXPECT_EQ(fields.arguments, c.arguments);
    EXPECT_EQ(fields.description, "Starts AIM 6 under a limited user account.");
    EXPECT_EQ(fields.folder, "");
    EXPECT_EQ(fields.iconFile, R"(C:\Program Files\AIM6\aim6.exe)");
    EXPECT_EQ(fields.iconIndex, 0);
  }
}

TEST(CreateDirectShortcut, StartsTheProgramItselfFromItsFolder) {
  CatalogueMachine machine;
  const std::string folder = machine.Profile() + R"(\Desktop)";
  machine.Files().AddFolder(folder);
  TestDefinition app(machine.Context(), "AIM 6", R"(C:\Program Files\AIM6\aim6.exe)",
                     "/d locale=en-US");
  const std::string link = folder + R"(\AIM 6.lnk)";
  ASSERT_TRUE(app.CreateDirectShortcut(link));
  const LinkFields fields = ReadLink(machine.Port(), link);
  EXPECT_EQ(fields.target, R"(C:\Program Files\AIM6\aim6.exe)");
  EXPECT_EQ(fields.arguments, "/d locale=en-US");
  EXPECT_EQ(fields.description, "Starts AIM 6 under your current user account.");
  EXPECT_EQ(fields.folder, R"(C:\Program Files\AIM6\)");
  EXPECT_EQ(fields.iconFile, R"(C:\Program Files\AIM6\aim6.exe)");
}

TEST(CreateShortcuts, ReportFalseWhenNoLinkFileResults) {
  CatalogueMachine machine;
  TestDefinition app(machine.Context(), "AIM 6", R"(C:\Program Files\AIM6\aim6.exe)");
  // A folder that does not exist: the save fails and the user is told.
  EXPECT_FALSE(app.CreateDirectShortcut(R"(C:\Nowhere\AIM 6.lnk)"));
  EXPECT_FALSE(app.CreateRestrictedShortcut(R"(C:\Nowhere\AIM 6 (as Bob).lnk)", "Bob"));
  ASSERT_EQ(machine.Machine().Ui().Boxes().size(), 2u);
  EXPECT_EQ(machine.Machine().Ui().Boxes()[0].text, "could not save the shortcut");
  // No shell-link object at all.
  machine.Files().AddFolder(R"(C:\Links)");
  machine.Shell().SetShellLinkAvailable(false);
  EXPECT_FALSE(app.CreateDirectShortcut(R"(C:\Links\AIM 6.lnk)"));
  EXPECT_FALSE(machine.Files().Exists(R"(C:\Links\AIM 6.lnk)"));
}

TEST(RunAsUser, AsksTheShellToOpenRunasWithTheSameArguments) {
  CatalogueMachine machine;
  TestDefinition app(machine.Context(), "Outlook Express",
                     R"(C:\Program Files\Outlook Express\msimn.exe)");
  // The shell's answer does not matter to the caller.
  machine.Shell().OnShellExecute = [](const sim::ShellExecuteRecord&) {
    return port::kErrorFileNotFound;
  };
  app.RunAsUser("Bob-online");
  ASSERT_EQ(machine.Shell().Executed().size(), 1u);
  const sim::ShellExecuteRecord& call = machine.Shell().Executed()[0];
  EXPECT_EQ(call.owner, 0u);
  EXPECT_EQ(call.operation, "open");
  EXPECT_EQ(call.file, "runas.exe");
  EXPECT_EQ(call.parameters,
            R"(/user:Bob-online /savecred "\"C:\Program Files\Outlook Express\msimn.exe\" ")");
  EXPECT_EQ(call.directory, "");
  EXPECT_EQ(call.showCommand, 5);
}

}  // namespace
}  // namespace ombrant::test
