// The window while an operation runs: a click that a message box's loop (or the shell's copy
// progress) delivers must neither start the operation again nor start another one.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/unit/wizardTestFixture.h"

namespace ombrant::test {
namespace {

using Calls_ = std::vector<std::string>;

// One user action on the window: its name and whether the window took it.
using UserAction = std::pair<const char*, std::function<bool(TformKestrova&)>>;

// The fixture's window, opened afresh for each case of a table.
class WizardReentranceTest : public WizardTest {
 public:
  void TestBody() override {}
  using WizardTest::apps;
  using WizardTest::Calls;
  using WizardTest::ForgetCalls;
  using WizardTest::form;
  using WizardTest::Open;
  using WizardTest::system;
  using WizardTest::ToAccountPage;
  using WizardTest::ToMigrationPage;
  using WizardTest::ui;
};

struct ReentranceCase {
  const char* name;
  // Brings the window to where the operation starts.
  std::function<void(WizardReentranceTest&)> arrive;
  // Starts the operation as the user does.
  std::function<bool(TformKestrova&)> start;
  // What the user tries meanwhile; each is taken on that page when nothing runs.
  std::vector<UserAction> meanwhile;
  // What the operation asks of the orchestrator, once.
  Calls_ calls;
};

const UserAction kNext{"Next", [](TformKestrova& f) { return f.bnNext.UserClick(); }};
const UserAction kPrevious{"Previous", [](TformKestrova& f) { return f.bnPrevious.UserClick(); }};
const UserAction kExit{"Exit", [](TformKestrova& f) { return f.bnExit.UserClick(); }};
const UserAction kUninstall{"Uninstall", [](TformKestrova& f) { return f.bnCustom.UserClick(); }};

const ReentranceCase kCases[] = {
    {"AccountCreation",
     [](WizardReentranceTest& t) {
       t.ToAccountPage();
       ASSERT_TRUE(t.form->editUsernameNew.UserSetText("bob-online"));
     },
     [](TformKestrova& f) { return f.bnNext.UserClick(); },
     {kNext, kPrevious, kExit,
      {"type a name", [](TformKestrova& f) { return f.editUsernameNew.UserSetText("eve"); }},
      {"pick Existing", [](TformKestrova& f) { return f.rbExistingUser.UserClick(); }}},
     {"CreateRestrictedUser(bob-online)", "SetInternetUser(bob-online)",
      "FillMigrationList(lvMigrationApps)"}},
    {"Migration", [](WizardReentranceTest& t) { t.ToMigrationPage(); },
     [](TformKestrova& f) { return f.bnNext.UserClick(); },
     {kNext, kPrevious, kExit,
      {"Introduction tab", [](TformKestrova& f) { return f.pcMain.UserSelectTab(0); }},
      {"pick Selected", [](TformKestrova& f) { return f.rbMigrateSelected.UserClick(); }}},
     {"ReplaceAllShortcuts [Mozilla Firefox,Opera,Skype]",
      "MigrateSelectedApplications [Mozilla Firefox,Opera,Skype]"}},
    {"Uninstall",
     [](WizardReentranceTest& t) {
       t.Open();
       t.ui.answers.push_back(port::kIdYes);
     },
     [](TformKestrova& f) { return f.bnCustom.UserClick(); },
     {kUninstall, kNext, kExit},
     {"RemoveCreatedUsers", "RestoreAllOriginalLinks", "RefreshAccountList"}},
};

TEST(WizardReentrance, ClicksWhileAnOperationRunsChangeNothing) {
  for (const ReentranceCase& c : kCases) {
    SCOPED_TRACE(c.name);
    WizardReentranceTest t;
    c.arrive(t);
    TformKestrova& f = *t.form;
    t.ForgetCalls();

    // Tried both while the orchestrator works and while one of its boxes is up.
    std::vector<std::string> taken;
    const auto tryAll = [&] {
      for (const auto& [name, action] : c.meanwhile) {
        if (action(f)) taken.push_back(name);
      }
    };
    t.apps->during = tryAll;
    ASSERT_TRUE(c.start(f));
    t.apps->during = nullptr;

    EXPECT_EQ(taken, std::vector<std::string>{}) << "actions taken while the operation ran";
    EXPECT_EQ(t.Calls(), c.calls) << "the operation ran once and nothing else started";
    EXPECT_FALSE(f.Closed());
    EXPECT_FALSE(f.InputBlocked()) << "the window takes input again afterwards";
  }
}

TEST(WizardReentrance, TheWindowTakesTheSameActionsWhenNothingRuns) {
  // Without this, a refused action above could be one the page never offers.
  for (const ReentranceCase& c : kCases) {
    for (const auto& [name, action] : c.meanwhile) {
      SCOPED_TRACE(std::string(c.name) + ": " + name);
      WizardReentranceTest t;
      c.arrive(t);
      t.ui.answers.push_back(port::kIdNo);
      EXPECT_TRUE(action(*t.form));
    }
  }
}

TEST(WizardReentrance, ClicksWhileAStartUpNoticeIsUpChangeNothing) {
  WizardReentranceTest t;
  t.system.Settings().version = {6, 0, 6002, 2};  // Vista: a notice at the first paint
  std::vector<std::string> taken;
  t.ui.whileShown = [&] {
    for (const UserAction& action : {kNext, kExit, kUninstall}) {
      if (action.second(*t.form)) taken.push_back(action.first);
    }
  };
  t.Open();
  t.ui.whileShown = nullptr;
  ASSERT_EQ(t.ui.boxes.size(), 1u) << "the Vista notice";
  EXPECT_EQ(taken, std::vector<std::string>{});
  EXPECT_EQ(t.form->pcMain.ActivePage(), &t.form->tabIntro);
  EXPECT_FALSE(t.form->Closed());
  EXPECT_TRUE(t.form->bnNext.UserClick()) << "and takes them once the notice is closed";
}

TEST(WizardReentrance, AQuestionBoxRefusesClicksOnTheWindowBehindIt) {
  // The uninstall question: clicking Uninstall again, or Exit, behind it does nothing.
  WizardReentranceTest t;
  t.Open();
  std::vector<std::string> taken;
  t.ui.whileShown = [&] {
    for (const UserAction& action : {kUninstall, kExit, kNext}) {
      if (action.second(*t.form)) taken.push_back(action.first);
    }
  };
  t.ui.answers.push_back(port::kIdNo);
  t.ForgetCalls();
  ASSERT_TRUE(t.form->bnCustom.UserClick());
  EXPECT_EQ(taken, std::vector<std::string>{});
  EXPECT_EQ(t.ui.boxes.size(), 1u);
  EXPECT_EQ(t.Calls(), Calls_{}) << "answered No: nothing removed";
  EXPECT_FALSE(t.form->Closed());
}

}  // namespace
}  // namespace ombrant::test
