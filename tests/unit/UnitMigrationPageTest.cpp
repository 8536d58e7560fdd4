// The migration page's statuses and run, on a simulated XP machine with the administrator
// "Admin" and the restricted account "Anna".
#include "orchestration/UnitMigrationPage.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "migrationTestApp.h"
#include "platform/vqStrings.h"
#include "tests/unit/accountsTestMachine.h"

namespace ombrant::test {
namespace {

constexpr const char* kProfiles = "C:\\Documents and Settings";
constexpr const char* kSettingsKey = "HKEY_CURRENT_USER\\Software\\Kestrova Limited\\Ombrant";

std::string DataFolder(const std::string& user, const std::string& app) {
  return std::string(kProfiles) + "\\" + user + "\\Application Data\\" + app + "\\";
}

class TTestCatalogue {
 public:
  TMigrationTestApp& Add(port::Port& port, const std::string& name) {
    items_.push_back(std::make_unique<TMigrationTestApp>(
        port, kProfiles, name, "C:\\Program Files\\" + name + "\\" + name + ".exe", name));
    items_.back()->dataItems.SetText("Settings=settings.ini\n");
    return *items_.back();
  }
  [[nodiscard]] int Count() const { return static_cast<int>(items_.size()); }
  [[nodiscard]] TMigrationTestApp& Items(int index) { return *items_.at(index); }

 private:
  std::vector<std::unique_ptr<TMigrationTestApp>> items_;
};

// The list as the orchestrator fills it: one item per entry, the executable in column 1.
void FillView(ui::ListView& view, TTestCatalogue& catalogue) {
  for (int i = 0; i < catalogue.Count(); ++i) {
    const int item = view.AddItem(catalogue.Items(i).DisplayName());
    view.AddSubItem(item, catalogue.Items(i).Executable());
  }
}

TEST(MigrationStatuses, MarkThenTargetDataThenAdministratorData) {
  struct Case {
    const char* name;
    std::uint32_t markType;  // kRegNone: no mark
    std::vector<std::uint8_t> mark;
    bool adminData;
    bool annaData;
    const char* status;
    bool ticked;
  };
  const std::vector<std::uint8_t> two{2, 0, 0, 0};
  const Case cases[] = {
      {"used by the administrator only", port::kRegNone, {}, true, false, "Migration available",
       true},
      {"never used", port::kRegNone, {}, false, false, "Migration not required", false},
      {"restricted account has data", port::kRegNone, {}, true, true, "Profile already exists",
       false},
      {"restricted account only", port::kRegNone, {}, false, true, "Profile already exists",
       false},
      {"marked 2", port::kRegDword, two, true, false, "Already migrated", false},
      {"marked 2, target data", port::kRegDword, two, false, true, "Already migrated", false},
      {"marked 1", port::kRegDword, {1, 0, 0, 0}, true, false, "Migration available", true},
      {"mark as a string", port::kRegSz, {'2', 0, 0, 0}, true, false, "Migration available",
       true},
      {"mark as binary 2", port::kRegBinary, two, false, false, "Migration not required",
       false},
  };
  for (const Case& c : cases) {
    AccountsTestMachine m;
    TTestCatalogue catalogue;
    catalogue.Add(m.Port(), "Before");
    catalogue.Add(m.Port(), "Mail");
    if (c.markType != port::kRegNone) m.Registry().SetValue(kSettingsKey, "Mail", c.markType, c.mark);
    if (c.adminData) m.Files().AddFolder(DataFolder("Admin", "Mail"));
    if (c.annaData) m.Files().AddFolder(DataFolder("Anna", "Mail"));
    ui::ListView view;
    FillView(view, catalogue);
    view.SetItemChecked(1, !c.ticked);  // the statuses set every check mark
    SetMigrationStatuses(m.Port(), view, catalogue, "Anna");
    EXPECT_EQ(view.ColumnText(1, 1), c.status) << c.name;
    EXPECT_EQ(view.Item(1).checked, c.ticked) << c.name;
    EXPECT_EQ(view.ColumnText(0, 1), "Migration not required") << c.name;
  }
}

TEST(MigrationStatuses, UnopenableSettingsKeyLeavesThePathsAndTicksNothing) {
  AccountsTestMachine m;
  TTestCatalogue catalogue;
  catalogue.Add(m.Port(), "Mail");
  m.Files().AddFolder(DataFolder("Admin", "Mail"));
  m.Registry().AddKey(kSettingsKey);
  m.Registry().LimitAccess(kSettingsKey, port::kKeyRead);
  ui::ListView view;
  FillView(view, catalogue);
  view.SetItemChecked(0, true);
  SetMigrationStatuses(m.Port(), view, catalogue, "Anna");
  EXPECT_EQ(view.ColumnText(0, 1), "C:\\Program Files\\Mail\\Mail.exe");
  EXPECT_FALSE(view.Item(0).checked);
}

class MigrationRunTest : public ::testing::Test {
 protected:
  MigrationRunTest() {
    for (const char* name : {"Browser", "Mail", "Chat", "Player"}) {
      catalogue_.Add(m_.Port(), name);
      m_.Files().AddFile(DataFolder("Admin", name) + "settings.ini", std::string("of ") + name);
    }
  }
  [[nodiscard]] bool Migrated(const std::string& name) {
    return m_.Files().ReadFile(DataFolder("Anna", name) + "settings.ini").has_value();
  }
  AccountsTestMachine m_;
  TTestCatalogue catalogue_;
};

TEST_F(MigrationRunTest, MigratesTheActiveEntriesInOrderAndUnloadsTheProfile) {
  catalogue_.Items(1).active = false;
  // A failing application does not stop the ones after it.
  catalogue_.Items(2).onAfterMigration = [] { throw std::runtime_error("broken definition"); };
  std::vector<std::string> progress;
  const bool loaded = MigrateSelectedApplications(
      m_.Port(), catalogue_, "Anna", [&](const std::string& name, int position, int count) {
        progress.push_back(name + " " + std::to_string(position) + "/" + std::to_string(count));
      });

  EXPECT_TRUE(loaded);
  EXPECT_EQ(progress, (std::vector<std::string>{"Browser 1/3", "Chat 2/3", "Player 3/3"}));
  EXPECT_TRUE(Migrated("Browser"));
  EXPECT_FALSE(Migrated("Mail"));
  EXPECT_TRUE(Migrated("Chat"));
  EXPECT_TRUE(Migrated("Player"));
  EXPECT_EQ(catalogue_.Items(2).TargetProfile().userName, "") << "cleared despite the failure";
  EXPECT_EQ(m_.Accounts().LoadedProfileCount(), 0u);
  EXPECT_EQ(m_.Accounts().OpenTokenCount(), 0u);
  EXPECT_FALSE(m_.Registry().HasKey("HKEY_USERS\\" + m_.SidOf("Anna")));
  EXPECT_TRUE(m_.Files().IsFolder(std::string(kProfiles) + "\\Anna")) << "the profile stays";
  EXPECT_TRUE(m_.Machine().Ui().Boxes().empty());
  // The administrator's files are as they were.
  EXPECT_EQ(m_.Files().ReadFile(DataFolder("Admin", "Chat") + "settings.ini"), "of Chat");
}

TEST_F(MigrationRunTest, NothingActiveStillLogsOnAndUnloads) {
  for (int i = 0; i < catalogue_.Count(); ++i) catalogue_.Items(i).active = false;
  EXPECT_TRUE(MigrateSelectedApplications(m_.Port(), catalogue_, "Anna"));
  for (const char* name : {"Browser", "Mail", "Chat", "Player"}) EXPECT_FALSE(Migrated(name));
  EXPECT_TRUE(m_.Machine().Ui().Boxes().empty());
  EXPECT_EQ(m_.Accounts().LoadedProfileCount(), 0u);
}

TEST(MigrationRun, AnAccountThatCannotLogOnMigratesNothing) {
  struct Case {
    const char* name;
    const char* user;
    const char* password;  // Anna's password on the machine
  };
  const Case cases[] = {
      {"no restricted account", "", "wopa"},
      {"password changed", "Anna", "changed"},
      {"account gone", "Bert", "wopa"},
  };
  for (const Case& c : cases) {
    AccountsTestMachine m;
    m.Accounts().FindUser("Anna")->password = c.password;
    TTestCatalogue catalogue;
    catalogue.Add(m.Port(), "Mail");
    m.Files().AddFile(DataFolder("Admin", "Mail") + "settings.ini", "x");
    EXPECT_FALSE(MigrateSelectedApplications(m.Port(), catalogue, c.user)) << c.name;
    const auto& boxes = m.Machine().Ui().Boxes();
    ASSERT_EQ(boxes.size(), 1u) << c.name;
    EXPECT_EQ(boxes[0].text, "Windows did not log in this user correctly.") << c.name;
    EXPECT_EQ(boxes[0].type, port::kMbOk | port::kMbIconError) << c.name;
    EXPECT_EQ(catalogue.Items(0).afterMigrationCalls, 0) << c.name;
    EXPECT_EQ(m.Accounts().OpenTokenCount(), 0u) << c.name;
  }
}

}  // namespace
}  // namespace ombrant::test
