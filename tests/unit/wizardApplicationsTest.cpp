// The applications page's shortcut boxes, uninstall, the account list's menu and closing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/wizardTestFixture.h"

namespace ombrant::test {
namespace {

using Calls_ = std::vector<std::string>;

struct BoxCase {
  ui::CheckBox TformKestrova::*box;
  TShortcutLocation location;
  bool originalForm;
  const char* form;
};

// The six boxes in the order their states are read.
const BoxCase kBoxes[] = {
    {&TformKestrova::cbAppDesktopUser, slDesktop, false, "impersonated"},
    {&TformKestrova::cbAppStartmenuUser, slPrograms, false, "impersonated"},
    {&TformKestrova::cbAppQuicklaunchUser, slQuickLaunch, false, "impersonated"},
    {&TformKestrova::cbAppDesktopAdmin, slDesktop, true, "original"},
    {&TformKestrova::cbAppStartmenuAdmin, slPrograms, true, "original"},
    {&TformKestrova::cbAppQuicklaunchAdmin, slQuickLaunch, true, "original"},
};

std::vector<bool> BoxStates(TformKestrova& f) {
  std::vector<bool> states;
  for (const BoxCase& b : kBoxes) states.push_back((f.*b.box).Checked());
  return states;
}

TEST_F(WizardTest, ClickingAnApplicationShowsItsShortcutsWithoutChangingAny) {
  ToApplicationsPage();
  TformKestrova& f = *form;
  apps->shortcuts = {{1, slDesktop, false}, {1, slQuickLaunch, true}, {2, slPrograms, false}};
  ForgetCalls();
  EXPECT_FALSE(f.cbAppDesktopUser.UserClick()) << "the boxes hide until an application is picked";

  ASSERT_TRUE(f.lvApplications.UserClick(1));
  EXPECT_TRUE(f.groupApplication.Visible());
  EXPECT_TRUE(f.groupApplication.Enabled());
  EXPECT_TRUE(f.panelAppDivider.Visible());
  EXPECT_EQ(BoxStates(f), (std::vector<bool>{true, false, false, false, false, true}));
  EXPECT_EQ(apps->hasShortcutCalls, 6);
  EXPECT_TRUE(Calls().empty()) << "setting the boxes by code must not run their clicks";

  // The divider sits between the list and the group box at the bottom.
  EXPECT_EQ(f.groupApplication.Bounds(), (ui::Rect{0, 180, 473, 105}));
  EXPECT_EQ(f.panelAppDivider.Bounds(), (ui::Rect{0, 172, 473, 8}));
  EXPECT_EQ(f.lvApplications.Bounds(), (ui::Rect{0, 52, 473, 120}));

  ASSERT_TRUE(f.lvApplications.UserClick(2));
  EXPECT_EQ(BoxStates(f), (std::vector<bool>{false, true, false, false, false, false}));
  EXPECT_TRUE(Calls().empty());

  // A click beside the items deselects and hides the boxes again.
  ASSERT_TRUE(f.lvApplications.UserClick(-1));
  EXPECT_FALSE(f.groupApplication.Visible());
  EXPECT_FALSE(f.groupApplication.Enabled());
  EXPECT_FALSE(f.panelAppDivider.Visible());
  EXPECT_EQ(BoxStates(f), std::vector<bool>(6, false));
}

TEST_F(WizardTest, AProgramInsideTheAdministratorsProfileOffersNoImpersonatedBox) {
  ToApplicationsPage();
  TformKestrova& f = *form;
  apps->oneAccount = {1};
  apps->shortcuts = {{1, slDesktop, true}};
  ForgetCalls();
  ASSERT_TRUE(f.lvApplications.UserClick(1));
  for (const BoxCase& b : kBoxes) {
    EXPECT_EQ((f.*b.box).Enabled(), b.originalForm) << b.form << " " << b.location;
  }
  EXPECT_EQ(BoxStates(f), (std::vector<bool>{false, false, false, true, false, false}));
  EXPECT_FALSE(f.cbAppDesktopUser.UserClick());
  EXPECT_TRUE(f.cbAppStartmenuAdmin.UserClick());
  EXPECT_EQ(Calls(), Calls_{"SetShortcut(1,6,original,present)"});

  // Another application has all six again.
  ASSERT_TRUE(f.lvApplications.UserClick(2));
  for (const BoxCase& b : kBoxes) EXPECT_TRUE((f.*b.box).Enabled()) << b.form << " " << b.location;
}

TEST_F(WizardTest, KeyboardSelectionUpdatesTheBoxesButDoesNotShowThem) {
  ToApplicationsPage();
  TformKestrova& f = *form;
  apps->shortcuts = {{0, slPrograms, true}, {2, slDesktop, true}};
  ASSERT_TRUE(f.lvApplications.UserSelect(0));
  EXPECT_EQ(BoxStates(f), (std::vector<bool>{false, false, false, false, true, false}));
  ASSERT_TRUE(f.lvApplications.UserSelect(2));
  EXPECT_EQ(BoxStates(f), (std::vector<bool>{false, false, false, true, false, false}));
  EXPECT_FALSE(f.groupApplication.Visible());
  EXPECT_FALSE(f.panelAppDivider.Visible());
}

TEST_F(WizardTest, EachBoxCreatesOrDeletesExactlyItsOwnShortcut) {
  ToApplicationsPage();
  TformKestrova& f = *form;
  ASSERT_TRUE(f.lvApplications.UserClick(1));
  for (const BoxCase& b : kBoxes) {
    ui::CheckBox& box = f.*b.box;
    SCOPED_TRACE(box.Name());
    const std::string call = "SetShortcut(1," + std::to_string(b.location) + "," + b.form;
    ForgetCalls();
    ASSERT_TRUE(box.UserClick());
    EXPECT_TRUE(box.Checked());
    EXPECT_EQ(Calls(), (Calls_{call + ",present)"}));
    EXPECT_TRUE(apps->shortcuts.contains({1, b.location, b.originalForm}));

    ForgetCalls();
    ASSERT_TRUE(box.UserClick());
    EXPECT_FALSE(box.Checked());
    EXPECT_EQ(Calls(), (Calls_{call + ",absent)"}));
    EXPECT_TRUE(apps->shortcuts.empty());
  }
}

TEST_F(WizardTest, ABoxKeepsTheUsersStateWhenItsShortcutCannotChange) {
  ToApplicationsPage();
  TformKestrova& f = *form;
  ASSERT_TRUE(f.lvApplications.UserClick(0));
  apps->failShortcuts = true;
  ForgetCalls();
  ASSERT_TRUE(f.cbAppStartmenuAdmin.UserClick());  // the failure does not escape
  EXPECT_EQ(Calls(), (Calls_{"SetShortcut(0,6,original,present)"}));
  EXPECT_TRUE(f.cbAppStartmenuAdmin.Checked());

  // With no application selected there is nothing to change.
  apps->failShortcuts = false;
  ASSERT_TRUE(f.lvApplications.UserSelect(-1));
  ASSERT_TRUE(f.groupApplication.Visible()) << "the keyboard does not hide the boxes";
  ForgetCalls();
  ASSERT_TRUE(f.cbAppDesktopUser.UserClick());
  EXPECT_TRUE(Calls().empty());
  EXPECT_TRUE(f.cbAppDesktopUser.Checked());
}

// Calls Idle until it reports nothing left (at most `limit` times); how many calls it took.
int DrainIdle(TformKestrova& f, int limit = 100) {
  int calls = 0;
  while (calls < limit) {
    ++calls;
    if (!f.Idle()) break;
  }
  return calls;
}

TEST_F(WizardTest, IdleTimeReadsThePagesShortcutsAheadFromTheFirstPaintAndOnArrival) {
  Open(/*paint=*/false);
  TformKestrova& f = *form;
  EXPECT_FALSE(f.Idle()) << "nothing before the window shows";
  EXPECT_TRUE(apps->readAheadBudgets.empty());

  f.FormPaint();
  EXPECT_EQ(DrainIdle(f), 3) << "one pass, in the double's three steps";
  ASSERT_EQ(apps->readAheadBudgets.size(), 3u);
  for (std::size_t budget : apps->readAheadBudgets) EXPECT_GT(budget, 0u);
  EXPECT_FALSE(f.Idle()) << "a finished pass is not started again by itself";
  f.FormPaint();
  EXPECT_FALSE(f.Idle()) << "only the first paint starts one";
  EXPECT_EQ(apps->readAheadBudgets.size(), 3u);

  // The other pages start none; arriving at the applications page does, after the migration
  // has rewritten the shortcuts.
  ASSERT_TRUE(f.bnNext.UserClick());
  EXPECT_FALSE(f.Idle());
  ASSERT_TRUE(f.rbExistingUser.UserClick());
  ASSERT_TRUE(f.cbLimitedUsers.UserSelect(0));
  ASSERT_TRUE(f.bnNext.UserClick());
  EXPECT_FALSE(f.Idle());
  ASSERT_TRUE(f.bnNext.UserClick());
  ASSERT_EQ(f.pcMain.ActivePage(), &f.tabApplications);
  EXPECT_EQ(Calls().back().rfind("MigrateSelectedApplications", 0), 0u) << Calls().back();
  EXPECT_EQ(DrainIdle(f), 3);
  EXPECT_EQ(apps->readAheadBudgets.size(), 6u);
}

TEST_F(WizardTest, AFailingReadAheadEndsQuietlyAndTheBoxesStillShowTheShortcuts) {
  ToApplicationsPage();
  TformKestrova& f = *form;
  apps->failReadAhead = true;
  apps->shortcuts = {{0, slPrograms, true}};
  const std::size_t shownBefore = ui.boxes.size();
  EXPECT_FALSE(f.Idle());
  EXPECT_FALSE(f.Idle()) << "not tried again in the same idle time";
  EXPECT_EQ(apps->readAheadBudgets.size(), 1u);
  EXPECT_EQ(ui.boxes.size(), shownBefore) << "no message for work the user never asked for";
  ASSERT_TRUE(f.lvApplications.UserClick(0));
  EXPECT_EQ(BoxStates(f), (std::vector<bool>{false, false, false, false, true, false}));
}

TEST_F(WizardTest, TheInfoTextGoesAwayWhenClickedAndStaysAway) {
  ToApplicationsPage();
  TformKestrova& f = *form;
  ASSERT_TRUE(f.labelApplicationsInfo.UserClick());
  EXPECT_FALSE(f.labelApplicationsInfo.Visible());
  EXPECT_EQ(f.lvApplications.Bounds(), (ui::Rect{0, 0, 473, 285})) << "the list takes its place";
  ASSERT_TRUE(f.bnPrevious.UserClick());
  ASSERT_TRUE(f.bnNext.UserClick());
  EXPECT_FALSE(f.labelApplicationsInfo.Visible());
}

TEST_F(WizardTest, UninstallAsksFirstAndThenUndoesAndProposesANewAccount) {
  script.storedInternetUser = "alice-online";
  Open();
  TformKestrova& f = *form;
  ASSERT_TRUE(f.rbExistingUser.Checked());
  ForgetCalls();

  ui.answers = {port::kIdNo};
  ASSERT_TRUE(f.bnCustom.UserClick());
  ASSERT_EQ(BoxTexts(), (std::vector<std::string>{Text(sUninstallConfirmation)}));
  EXPECT_EQ(ui.boxes[0].type, port::kMbYesNo | port::kMbIconQuestion);
  EXPECT_TRUE(Calls().empty()) << "No changes nothing";
  EXPECT_TRUE(f.rbExistingUser.Checked());

  ui.answers = {port::kIdYes};
  ASSERT_TRUE(f.bnCustom.UserClick());
  EXPECT_EQ(Calls(),
            (Calls_{"RemoveCreatedUsers", "RestoreAllOriginalLinks", "RefreshAccountList"}));
  EXPECT_TRUE(f.rbNewUser.Checked());
  EXPECT_FALSE(f.rbExistingUser.Checked());
  EXPECT_TRUE(f.editUsernameNew.Enabled());
  EXPECT_FALSE(f.cbLimitedUsers.Enabled());
}

TEST_F(WizardTest, TheAccountMenuRefreshesTheList) {
  ToAccountPage();
  TformKestrova& f = *form;
  for (const ui::Control* c : std::initializer_list<const ui::Control*>{
           &f.tabUser, &f.rbExistingUser, &f.cbLimitedUsers, &f.rbNewUser}) {
    EXPECT_EQ(c->EffectivePopupMenu(), &f.popupExistingUser) << c->Name();
  }
  ForgetCalls();
  ASSERT_TRUE(f.pmiRefreshUsers.UserClick());
  EXPECT_EQ(Calls(), (Calls_{"RefreshAccountList"}));
}

TEST_F(WizardTest, ExitDetachesTheListAndClosingFreesTheOrchestrator) {
  Open();
  ForgetCalls();
  ASSERT_TRUE(form->bnExit.UserClick());
  EXPECT_TRUE(form->Closed());
  EXPECT_EQ(Calls(), (Calls_{"SetApplicationView(none)"}));
  EXPECT_EQ(apps->ApplicationView(), nullptr);
  EXPECT_FALSE(appsDestroyed);
  form.reset();
  EXPECT_TRUE(appsDestroyed);
}

}  // namespace
}  // namespace ombrant::test
