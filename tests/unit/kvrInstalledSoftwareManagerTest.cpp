// The catalogue: one definition per detected installation, in class order, with icons in two
// lists kept in step.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/kvrInstalledSoftware.h"
#include "platform/sim/simCountingRegistry.h"
#include "tests/unit/catalogueTestMachine.h"

namespace ombrant::test {
namespace {

// Installed wherever an Uninstall registration "Test Browser..." says.
class TestBrowser : public TInstalledSoftware {
 public:
  TestBrowser(const TSoftwareContext& context, std::string displayName, std::string executable)
      : TInstalledSoftware(context, std::move(displayName), std::move(executable)) {
    FCategory = scBrowser;
  }
  static std::string GetIconResourceName() { return "FIREFOX"; }
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list) {
    TInstalledSoftware::FindInstallations(context, list);
    AddUninstallCandidates(context, "browser.exe", "Test Browser*", list,
                           TUninstallPathSource::upsInstallLocation,
                           TUninstallMatchOn::umoDisplayName);
  }
  std::string GetDataFolder(std::string_view) override { return R"(C:\Data\)"; }
};

// Found through App Paths and the Uninstall key; its icon exists only in 32 pixels.
class TestChat : public TInstalledSoftware {
 public:
  TestChat(const TSoftwareContext& context, std::string displayName, std::string executable)
      : TInstalledSoftware(context, std::move(displayName), std::move(executable)) {
    FCategory = scChat;
  }
  static std::string GetIconResourceName() { return "POSTME"; }
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list) {
    TInstalledSoftware::FindInstallations(context, list);
    AddAppPathCandidate(context, "chat.exe", "Test Chat", list);
    AddUninstallCandidates(context, "chat.exe", "Chat*", list,
                           TUninstallPathSource::upsInstallLocation, TUninstallMatchOn::umoKeyName);
  }
  std::string GetDataFolder(std::string_view) override { return R"(C:\Data\)"; }
};

// The same program as TestChat, seen by another class; its icon data are broken.
class TestPlayer : public TInstalledSoftware {
 public:
  using TInstalledSoftware::TInstalledSoftware;
  static std::string GetIconResourceName() { return "WINAMP"; }
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list) {
    TInstalledSoftware::FindInstallations(context, list);
    AddAppPathCandidate(context, "chat.exe", "Test Player", list);
  }
  std::string GetDataFolder(std::string_view) override { return R"(C:\Data\)"; }
};

TSoftwareClassRegistry TestClasses() {
  TSoftwareClassRegistry classes;
  classes.RegisterSoftwareClass(SoftwareClassOf<TestBrowser>("TestBrowser"));
  classes.RegisterSoftwareClass(SoftwareClassOf<TestChat>("TestChat"));
  classes.RegisterSoftwareClass(SoftwareClassOf<TestPlayer>("TestPlayer"));
  return classes;
}

// The icon resources as the tests want them: the fallback pair, the browser's pair, only the
// 32-pixel chat icon, and a broken player icon.
void AddTestIcons(CatalogueMachine& machine) {
  machine.AddIconPair("APPLICATION");
  machine.AddIconPair("FIREFOX");
  machine.AddIconPair("POSTME");
  machine.System().RemoveResource("SOFTWAREICON16", "POSTME");
  machine.AddIconPair("WINAMP");
  machine.System().AddResource("SOFTWAREICON32", "WINAMP", "\x89PNG\r\n\x1A\n broken");
}

std::vector<std::string> EntryNames(const ui::ImageList& list) {
  std::vector<std::string> names;
  for (int i = 0; i < list.Count(); ++i) names.push_back(list.Entry(i).id);
  return names;
}

TEST(InstalledSoftwareManager, WithNothingInstalledHoldsOnlyTheFallbackIcons) {
  CatalogueMachine machine;
  AddTestIcons(machine);
  const TInstalledSoftwareManager catalogue(machine.Context(), TestClasses());
  EXPECT_EQ(catalogue.Count(), 0);
  EXPECT_EQ(catalogue.DefaultImageIndex(), 0);
  EXPECT_EQ(EntryNames(catalogue.SmallIcons()), std::vector<std::string>{"TInstalledSoftware"});
  EXPECT_EQ(EntryNames(catalogue.LargeIcons()), std::vector<std::string>{"TInstalledSoftware"});
  EXPECT_EQ(catalogue.SmallIcons().Width(), 16);
  EXPECT_EQ(catalogue.LargeIcons().Width(), 32);
}

TEST(InstalledSoftwareManager, GivesEveryInstallationADefinitionInClassOrder) {
  CatalogueMachine machine;
  AddTestIcons(machine);
  // Two browsers in different folders, listed by path ignoring case.
  machine.AddProgram(R"(C:\Apps\B\browser.exe)");
  machine.AddProgram(R"(C:\apps\a\browser.exe)");
  machine.AddUninstall("Browser1",
                       {{"DisplayName", "Test Browser 2"}, {"InstallLocation", R"(C:\Apps\B\)"}});
  machine.AddUninstall("Browser2",
                       {{"DisplayName", "Test Browser 1"}, {"InstallLocation", R"(C:\apps\a)"}});
  // One chat program, registered twice: App Paths names it.
  machine.AddProgram(R"(C:\Chat\chat.exe)");
  machine.AddAppPath("chat.exe", R"(C:\Chat\chat.exe)");
  machine.AddUninstall("Chat", {{"InstallLocation", R"(C:\Chat)"}});

  const TInstalledSoftwareManager catalogue(machine.Context(), TestClasses());
  ASSERT_EQ(catalogue.Count(), 4);
  const struct {
    const char* className;
    const char* displayName;
    const char* executable;
    TSoftwareCategory category;
  } expected[] = {
      {"TestBrowser", "Test Browser 1", R"(C:\apps\a\browser.exe)", scBrowser},
      {"TestBrowser", "Test Browser 2", R"(C:\Apps\B\browser.exe)", scBrowser},
      {"TestChat", "Test Chat", R"(C:\Chat\chat.exe)", scChat},
      // Another class that finds the same program gets a definition of its own.
      {"TestPlayer", "Test Player", R"(C:\Chat\chat.exe)", scOther},
  };
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(catalogue.ClassNameOf(i), expected[i].className) << i;
    EXPECT_EQ(catalogue.Items(i).DisplayName(), expected[i].displayName) << i;
    EXPECT_EQ(catalogue.Items(i).Executable(), expected[i].executable) << i;
    EXPECT_EQ(catalogue.Items(i).Category(), expected[i].category) << i;
    EXPECT_TRUE(catalogue.Items(i).Active()) << i;
  }
  EXPECT_THROW((void)catalogue.Items(4), std::out_of_range);
  EXPECT_THROW((void)catalogue.Items(-1), std::out_of_range);

  // The browsers share one pair; the chat program's small icon is the fallback's; the broken
  // player icon adds nothing and leaves the player with the fallback.
  EXPECT_EQ(catalogue.Items(0).ImageIndex(), 1);
  EXPECT_EQ(catalogue.Items(1).ImageIndex(), 1);
  EXPECT_EQ(catalogue.Items(2).ImageIndex(), 2);
  EXPECT_EQ(catalogue.Items(3).ImageIndex(), 0);
  const std::vector<std::string> names = {"TInstalledSoftware", "TestBrowser", "TestChat"};
  EXPECT_EQ(EntryNames(catalogue.SmallIcons()), names);
  EXPECT_EQ(EntryNames(catalogue.LargeIcons()), names);
  EXPECT_EQ(catalogue.LargeIcons().Entry(1).pixels, RenderIcon(*FindIconArt("FIREFOX"), 32));
  EXPECT_EQ(catalogue.SmallIcons().Entry(1).pixels, RenderIcon(*FindIconArt("FIREFOX"), 16));
  EXPECT_EQ(catalogue.LargeIcons().Entry(2).pixels, RenderIcon(*FindIconArt("POSTME"), 32));
  EXPECT_EQ(catalogue.SmallIcons().Entry(2).pixels, catalogue.SmallIcons().Entry(0).pixels);
}

TEST(InstalledSoftwareManager, WithoutTheFallbackIconsClassIconsStillLoad) {
  CatalogueMachine machine;
  machine.AddIconPair("FIREFOX");
  machine.AddProgram(R"(C:\Apps\browser.exe)");
  machine.AddUninstall("Browser",
                       {{"DisplayName", "Test Browser"}, {"InstallLocation", R"(C:\Apps)"}});
  machine.AddProgram(R"(C:\Chat\chat.exe)");
  machine.AddAppPath("chat.exe", R"(C:\Chat\chat.exe)");
  const TInstalledSoftwareManager catalogue(machine.Context(), TestClasses());
  EXPECT_EQ(catalogue.DefaultImageIndex(), -1);
  ASSERT_EQ(catalogue.Count(), 3);
  EXPECT_EQ(catalogue.Items(0).ImageIndex(), 0);
  EXPECT_EQ(catalogue.Items(1).ImageIndex(), -1);
  EXPECT_EQ(EntryNames(catalogue.LargeIcons()), std::vector<std::string>{"TestBrowser"});
  EXPECT_EQ(EntryNames(catalogue.SmallIcons()), std::vector<std::string>{"TestBrowser"});
}

TEST(InstalledSoftwareManager, ReadsTheUninstallKeyOncePerBuild) {
  CatalogueMachine machine;
  machine.AddProgram(R"(C:\Apps\browser.exe)");
  machine.AddUninstall("Browser",
                       {{"DisplayName", "Test Browser"}, {"InstallLocation", R"(C:\Apps)"}});
  machine.AddProgram(R"(C:\Chat\chat.exe)");
  machine.AddUninstall("Chat", {{"InstallLocation", R"(C:\Chat)"}});
  const TSoftwareContext& plain = machine.Context();
  sim::SimCountingRegistry counting(plain.port.registry);
  counting.Watch(R"(SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall)");
  port::Port port = plain.port;
  port::Port countedPort{counting, port.system,   port.files,   port.shell,
                         port.ui,  port.accounts, port.security, port.processes};
  const TSoftwareContext context{countedPort, plain.paths, false, nullptr};

  const TInstalledSoftwareManager catalogue(context, TestClasses());
  EXPECT_EQ(catalogue.Count(), 2);
  EXPECT_EQ(counting.WatchedOpens(), 1u);
  EXPECT_GT(counting.Calls(), 0u);
}

TEST(InstalledSoftwareManager, AsksTheRegistryAtMostThreeTimesPerUninstallRegistration) {
  // The cost of a build grows with the machine's registrations; what a class detects does not
  // matter. Compared between two machines so that the fixed cost drops out.
  const auto calls = [](int registrations) {
    CatalogueMachine machine;
    machine.AddProgram(R"(C:\Apps\browser.exe)");
    machine.AddUninstall("Browser",
                         {{"DisplayName", "Test Browser"}, {"InstallLocation", R"(C:\Apps)"}});
    for (int i = 0; i < registrations; ++i) {
      machine.AddUninstall("{Package-" + std::to_string(i) + "}",
                           {{"DisplayName", "Package " + std::to_string(i)},
                            {"InstallLocation", R"(C:\Vendor\)"},
                            {"UninstallString", "MsiExec.exe /X{Package}"},
                            {"DisplayIcon", R"(C:\Vendor\app.ico,0)"},
                            {"Publisher", "Vendor"}});
    }
    const TSoftwareContext& plain = machine.Context();
    sim::SimCountingRegistry counting(plain.port.registry);
    port::Port port = plain.port;
    port::Port countedPort{counting, port.system,   port.files,   port.shell,
                           port.ui,  port.accounts, port.security, port.processes};
    const TSoftwareContext context{countedPort, plain.paths, false, nullptr};
    const TInstalledSoftwareManager catalogue(context, TestClasses());
    EXPECT_EQ(catalogue.Count(), 1);
    return counting.Calls();
  };
  const std::size_t few = calls(10);
  const std::size_t many = calls(110);
  EXPECT_LE(many - few, 3u * 100u) << few << " calls for 11 registrations, " << many
                                   << " for 111";
}

}  // namespace
}  // namespace ombrant::test
