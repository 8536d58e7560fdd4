// The wizard's page steps: navigation, the account step and the migration step.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/wizardTestFixture.h"

namespace ombrant::test {
namespace {

using Calls_ = std::vector<std::string>;

TEST_F(WizardTest, UninstallIsOfferedOnTheIntroductionPageOnly) {
  Open();
  TformKestrova& f = *form;
  const auto expectOffered = [&](bool offered) {
    EXPECT_EQ(f.aUninstall.Enabled(), offered) << "page " << f.pcMain.ActivePageIndex();
    EXPECT_EQ(f.bnCustom.Visible(), offered) << "page " << f.pcMain.ActivePageIndex();
    EXPECT_EQ(f.bnCustom.UserClick(), offered) << "page " << f.pcMain.ActivePageIndex();
  };
  ui.answers = {port::kIdNo};
  expectOffered(true);

  ASSERT_TRUE(f.bnNext.UserClick());
  expectOffered(false);
  ASSERT_TRUE(f.rbExistingUser.UserClick());
  ASSERT_TRUE(f.cbLimitedUsers.UserSelect(0));
  ASSERT_TRUE(f.bnNext.UserClick());
  expectOffered(false);
  ASSERT_TRUE(f.bnNext.UserClick());
  expectOffered(false);
  ASSERT_EQ(f.pcMain.ActivePageIndex(), 3);

  ui.answers = {port::kIdNo};
  ASSERT_TRUE(f.pcMain.UserSelectTab(0)) << "a tab click updates the navigation as well";
  expectOffered(true);
  ASSERT_TRUE(f.pcMain.UserSelectTab(2));
  expectOffered(false);
  for (int i = 0; i < 2; ++i) ASSERT_TRUE(f.bnPrevious.UserClick());
  ui.answers = {port::kIdNo};
  expectOffered(true);
  EXPECT_FALSE(f.aPagePrevious.Enabled()) << "nothing before the first page";
}

TEST_F(WizardTest, AccountOptionsSwitchTheirFieldsAndGateNext) {
  ToAccountPage();
  TformKestrova& f = *form;
  EXPECT_TRUE(f.aPagePrevious.Enabled());
  EXPECT_TRUE(f.aPageNext.Enabled()) << "a new account is proposed";
  EXPECT_TRUE(f.editUsernameNew.Enabled());
  EXPECT_FALSE(f.cbLimitedUsers.Enabled());
  ForgetCalls();

  ASSERT_TRUE(f.rbExistingUser.UserClick());
  EXPECT_FALSE(f.rbNewUser.Checked());
  EXPECT_FALSE(f.editUsernameNew.Enabled());
  EXPECT_TRUE(f.cbLimitedUsers.Enabled());
  EXPECT_FALSE(f.aPageNext.Enabled()) << "no account chosen yet";
  EXPECT_FALSE(f.bnNext.UserClick());

  ASSERT_TRUE(f.cbLimitedUsers.UserSelect(0));
  EXPECT_EQ(Calls(), (Calls_{"SetInternetUser(alice-online)"})) << "a pick makes it current";
  EXPECT_TRUE(f.aPageNext.Enabled());

  ASSERT_TRUE(f.rbNewUser.UserClick());
  EXPECT_TRUE(f.editUsernameNew.Enabled());
  EXPECT_FALSE(f.cbLimitedUsers.Enabled());
  EXPECT_TRUE(f.aPageNext.Enabled());
  EXPECT_EQ(Calls().size(), 1u) << "switching options changes no account";
}

TEST_F(WizardTest, HiddenTabsAppearOnceAndStayAndTheirTabsOnlyNavigate) {
  ToApplicationsPage();
  TformKestrova& f = *form;
  EXPECT_TRUE(f.tabMigration.TabVisible());
  EXPECT_TRUE(f.tabApplications.TabVisible());
  EXPECT_FALSE(f.aPageNext.Enabled()) << "the last page: nothing follows";

  for (int i = 0; i < 3; ++i) ASSERT_TRUE(f.bnPrevious.UserClick());
  EXPECT_EQ(f.pcMain.ActivePage(), &f.tabIntro);
  EXPECT_TRUE(f.tabMigration.TabVisible());
  EXPECT_TRUE(f.tabApplications.TabVisible());

  // Choosing a page by its tab runs no page step.
  ForgetCalls();
  ASSERT_TRUE(f.pcMain.UserSelectTab(3));
  EXPECT_EQ(f.pcMain.ActivePage(), &f.tabApplications);
  ASSERT_TRUE(f.pcMain.UserSelectTab(2));
  EXPECT_TRUE(Calls().empty());
  EXPECT_TRUE(f.aPagePrevious.Enabled());
  EXPECT_TRUE(f.aPageNext.Enabled()) << "an account is chosen";

  // With the new-account option checked Next stays enabled on the last page; it keeps the page.
  ASSERT_TRUE(f.pcMain.UserSelectTab(1));
  ASSERT_TRUE(f.rbNewUser.UserClick());
  ASSERT_TRUE(f.pcMain.UserSelectTab(3));
  ASSERT_TRUE(f.aPageNext.Enabled());
  ASSERT_TRUE(f.bnNext.UserClick());
  EXPECT_EQ(f.pcMain.ActivePage(), &f.tabApplications);
  EXPECT_TRUE(f.aPagePrevious.Enabled());
  EXPECT_TRUE(Calls().empty());
}

TEST_F(WizardTest, GoingBackAndOnRepeatsTheStepsOfThePagesLeft) {
  ToApplicationsPage();
  TformKestrova& f = *form;
  ForgetCalls();
  ASSERT_TRUE(f.bnPrevious.UserClick());
  ASSERT_TRUE(f.bnNext.UserClick());
  EXPECT_EQ(Calls(), (Calls_{"ReplaceAllShortcuts [Mozilla Firefox,Opera,Skype]",
                             "MigrateSelectedApplications [Mozilla Firefox,Opera,Skype]"}));

  ForgetCalls();
  ASSERT_TRUE(f.bnPrevious.UserClick());
  ASSERT_TRUE(f.bnPrevious.UserClick());
  ASSERT_TRUE(f.bnNext.UserClick());
  EXPECT_EQ(Calls(), (Calls_{"FillMigrationList(lvMigrationApps)"}))
      << "statuses refreshed; the existing account is not created again";
  EXPECT_EQ(f.pcMain.ActivePage(), &f.tabMigration);
}

TEST_F(WizardTest, AnEmptyNameIsRefusedWithTheFieldFocused) {
  ToAccountPage();
  TformKestrova& f = *form;
  f.SetHandle(0x1234);
  ASSERT_TRUE(f.editUsernameNew.UserSetText(""));
  ASSERT_TRUE(f.rbExistingUser.SetFocus());
  ForgetCalls();
  ASSERT_TRUE(f.bnNext.UserClick());
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, Text(sNeedAName));
  EXPECT_EQ(ui.boxes[0].type, port::kMbOk | port::kMbIconError);
  EXPECT_EQ(ui.boxes[0].owner, 0x1234u);
  EXPECT_EQ(f.pcMain.ActivePage(), &f.tabUser);
  EXPECT_TRUE(f.editUsernameNew.Focused());
  EXPECT_TRUE(Calls().empty());
  EXPECT_FALSE(f.tabMigration.TabVisible());
}

TEST_F(WizardTest, ANameThatExistsIsRefusedOrPreselected) {
  struct Case {
    std::string typed;
    unsigned message;
    int selected;
    std::string fieldAfter;
    Calls_ calls;
  };
  const Case cases[] = {
      // A standard user, in another letter case: the list's own spelling becomes current.
      {"ALICE-Online", sUserExistsPreselected, 0, "ALICE-Online",
       {"SetInternetUser(alice-online)"}},
      // Not standard users: not offered, the field is emptied for another name.
      {"administrator", sUserExistsNotStandard, -1, "", {}},
      {"Guest", sUserExistsNotStandard, -1, "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    ui.boxes.clear();
    ToAccountPage();
    TformKestrova& f = *form;
    ASSERT_TRUE(f.editUsernameNew.UserSetText(c.typed));
    ForgetCalls();
    ASSERT_TRUE(f.bnNext.UserClick());
    ASSERT_EQ(BoxTexts(), (std::vector<std::string>{Text(c.message)}));
    EXPECT_EQ(ui.boxes[0].type, port::kMbOk | port::kMbIconError);
    EXPECT_EQ(f.pcMain.ActivePage(), &f.tabUser) << "the page stays";
    EXPECT_FALSE(f.tabMigration.TabVisible());
    EXPECT_EQ(Calls(), c.calls) << "nothing is created";
    EXPECT_EQ(f.cbLimitedUsers.ItemIndex(), c.selected);
    EXPECT_EQ(f.editUsernameNew.Text(), c.fieldAfter);
    const bool preselected = c.selected >= 0;
    EXPECT_EQ(f.rbExistingUser.Checked(), preselected);
    EXPECT_EQ(f.rbNewUser.Checked(), !preselected);
    EXPECT_EQ(f.cbLimitedUsers.Enabled(), preselected);
    if (!preselected) {
      EXPECT_TRUE(f.editUsernameNew.Focused());
    }
  }

  // After the preselection Next goes on with that account.
  ui.boxes.clear();
  ToAccountPage();
  ASSERT_TRUE(form->editUsernameNew.UserSetText("ALICE-ONLINE"));
  ASSERT_TRUE(form->bnNext.UserClick());
  ForgetCalls();
  ASSERT_TRUE(form->bnNext.UserClick());
  EXPECT_EQ(Calls(), (Calls_{"FillMigrationList(lvMigrationApps)"}));
  EXPECT_EQ(form->pcMain.ActivePage(), &form->tabMigration);
  EXPECT_EQ(apps->InternetUser(), "alice-online");
}

TEST_F(WizardTest, ANewNameIsCreatedAndBecomesTheChosenAccount) {
  ToAccountPage();
  TformKestrova& f = *form;
  ASSERT_TRUE(f.editUsernameNew.UserSetText("bob-online"));
  ForgetCalls();
  ASSERT_TRUE(f.bnNext.UserClick());
  EXPECT_EQ(Calls(), (Calls_{"CreateRestrictedUser(bob-online)", "SetInternetUser(bob-online)",
                             "FillMigrationList(lvMigrationApps)"}));
  EXPECT_TRUE(ui.boxes.empty()) << "the window adds no message of its own";
  EXPECT_EQ(f.pcMain.ActivePage(), &f.tabMigration);
  EXPECT_TRUE(f.tabMigration.TabVisible());
  EXPECT_FALSE(f.tabApplications.TabVisible());
  EXPECT_FALSE(f.rbNewUser.Checked());
  EXPECT_TRUE(f.rbExistingUser.Checked());
  EXPECT_FALSE(f.editUsernameNew.Enabled());
  EXPECT_TRUE(f.cbLimitedUsers.Enabled());
  EXPECT_EQ(f.cbLimitedUsers.Text(), "bob-online");
  EXPECT_TRUE(f.aPagePrevious.Enabled());
  EXPECT_TRUE(f.aPageNext.Enabled());

  // Back on the account page the created account is simply the chosen one.
  ASSERT_TRUE(f.bnPrevious.UserClick());
  ForgetCalls();
  ASSERT_TRUE(f.bnNext.UserClick());
  EXPECT_EQ(Calls(), (Calls_{"FillMigrationList(lvMigrationApps)"}));
}

TEST_F(WizardTest, AFailedCreationKeepsTheAccountPageAndTheCurrentAccount) {
  script.createSucceeds = false;
  ToAccountPage();
  TformKestrova& f = *form;
  ForgetCalls();
  ASSERT_TRUE(f.bnNext.UserClick());
  EXPECT_EQ(Calls(), (Calls_{"CreateRestrictedUser(george-online)"}));
  EXPECT_EQ(apps->InternetUser(), "");
  EXPECT_EQ(f.pcMain.ActivePage(), &f.tabUser);
  EXPECT_FALSE(f.tabMigration.TabVisible());
  EXPECT_TRUE(f.rbNewUser.Checked());
  EXPECT_EQ(f.editUsernameNew.Text(), "george-online") << "the user may try again";
  EXPECT_TRUE(f.aPageNext.Enabled());
}

TEST_F(WizardTest, MigrateAllIgnoresTheCheckMarks) {
  ToMigrationPage();
  TformKestrova& f = *form;
  EXPECT_FALSE(f.lvMigrationApps.UserSetChecked(0, false)) << "the list is off with 'all'";

  ASSERT_TRUE(f.rbMigrateSelected.UserClick());
  EXPECT_TRUE(f.lvMigrationApps.Enabled());
  ASSERT_TRUE(f.lvMigrationApps.UserSetChecked(0, false));
  ASSERT_TRUE(f.lvMigrationApps.UserSetChecked(2, false));
  ASSERT_TRUE(f.rbMigrateAll.UserClick());
  EXPECT_FALSE(f.lvMigrationApps.Enabled());

  ForgetCalls();
  ASSERT_TRUE(f.bnNext.UserClick());
  EXPECT_EQ(Calls(), (Calls_{"ReplaceAllShortcuts [Mozilla Firefox,Opera,Skype]",
                             "MigrateSelectedApplications [Mozilla Firefox,Opera,Skype]"}))
      << "every detected application, shortcuts first";
  EXPECT_EQ(f.pcMain.ActivePage(), &f.tabApplications);
  EXPECT_TRUE(f.tabApplications.TabVisible());
}

TEST_F(WizardTest, MigrateSelectedTakesExactlyTheTickedItemsOfEachRun) {
  ToMigrationPage();
  TformKestrova& f = *form;
  ASSERT_TRUE(f.rbMigrateSelected.UserClick());
  ASSERT_TRUE(f.lvMigrationApps.UserSetChecked(0, false));
  ASSERT_TRUE(f.lvMigrationApps.UserSetChecked(1, true));
  ForgetCalls();
  ASSERT_TRUE(f.bnNext.UserClick());
  EXPECT_EQ(Calls(), (Calls_{"ReplaceAllShortcuts [Opera,Skype]",
                             "MigrateSelectedApplications [Opera,Skype]"}));
  // The page names each application while it is migrated, and nothing once all are done.
  EXPECT_EQ(repaints, (std::vector<std::string>{"Migrating the settings of Opera (1 of 2)...",
                                                "Migrating the settings of Skype (2 of 2)..."}));
  EXPECT_EQ(f.labelMigrationProgress.Caption(), "");

  // A later run with fewer ticks turns the others off again.
  ASSERT_TRUE(f.bnPrevious.UserClick());
  ASSERT_TRUE(f.lvMigrationApps.UserSetChecked(2, false));
  ForgetCalls();
  ASSERT_TRUE(f.bnNext.UserClick());
  EXPECT_EQ(Calls(),
            (Calls_{"ReplaceAllShortcuts [Opera]", "MigrateSelectedApplications [Opera]"}));
  EXPECT_FALSE(apps->Active(0));
  EXPECT_TRUE(apps->Active(1));
  EXPECT_FALSE(apps->Active(2));

  // Nothing ticked: the run still happens, with nothing active.
  ASSERT_TRUE(f.bnPrevious.UserClick());
  ASSERT_TRUE(f.lvMigrationApps.UserSetChecked(1, false));
  ForgetCalls();
  ASSERT_TRUE(f.bnNext.UserClick());
  EXPECT_EQ(Calls(), (Calls_{"ReplaceAllShortcuts []", "MigrateSelectedApplications []"}));
}

}  // namespace
}  // namespace ombrant::test
