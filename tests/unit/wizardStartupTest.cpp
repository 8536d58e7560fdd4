// The wizard window as it opens: layout, start-up state and the first-paint notices.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/unit/wizardTestFixture.h"

namespace ombrant::ui {
void PrintTo(const Rect& r, std::ostream* os) {
  *os << "(" << r.left << ", " << r.top << ") " << r.width << " x " << r.height;
}
void PrintTo(const AnchorSet& a, std::ostream* os) {
  *os << (a.left ? "L" : "-") << (a.top ? "T" : "-") << (a.right ? "R" : "-")
      << (a.bottom ? "B" : "-");
}
}  // namespace ombrant::ui

namespace ombrant::test {
namespace {

// The controls that take the focus, in the order the Tab key visits them.
void CollectTabStops(const ui::Control& control, std::vector<std::string>& names) {
  if (control.TakesFocus()) names.push_back(control.Name());
  if (const auto* container = dynamic_cast<const ui::Container*>(&control)) {
    for (const ui::Control* child : container->Children()) CollectTabStops(*child, names);
  }
}

std::vector<std::string> TabStops(const ui::Container& page) {
  std::vector<std::string> names;
  for (const ui::Control* child : page.Children()) CollectTabStops(*child, names);
  return names;
}

TEST_F(WizardTest, ControlsSitWhereTheLayoutPutsThem) {
  Open(false);
  const TformKestrova& f = *form;
  EXPECT_EQ(f.Bounds().width, 513);
  EXPECT_EQ(f.Bounds().height, 377);
  EXPECT_EQ(f.MinWidth(), 521);
  EXPECT_EQ(f.MinHeight(), 300);
  EXPECT_TRUE(f.Centered());
  EXPECT_EQ(f.FontName(), "MS Shell Dlg 2");
  EXPECT_EQ(f.FontSize(), 8);
  EXPECT_EQ(f.tabUser.ClientWidth(), 473) << "page client area inside the 8-pixel border";
  EXPECT_EQ(f.tabUser.ClientHeight(), 285);

  struct Placed {
    const ui::Control& control;
    ui::Rect bounds;
    ui::AnchorSet anchors;
  };
  const ui::AnchorSet topLeft;
  const Placed placed[] = {
      {f.pcMain, {8, 8, 497, 329}, ui::AnchorSet::All()},
      {f.bnPrevious, {8, 344, 89, 25}, ui::AnchorSet::LeftBottom()},
      {f.bnNext, {104, 344, 89, 25}, ui::AnchorSet::LeftBottom()},
      {f.bnCustom, {320, 344, 89, 25}, ui::AnchorSet::RightBottom()},
      {f.bnExit, {416, 344, 89, 25}, ui::AnchorSet::RightBottom()},
      {f.reIntroduction, {0, 0, 473, 285}, topLeft},
      {f.labelUserAccountInfo, {0, 0, 337, 33}, topLeft},
      {f.imgKestrovaLtd, {332, 0, 141, 66}, ui::AnchorSet::TopRight()},
      {f.rbNewUser, {8, 32, 321, 17}, topLeft},
      {f.labelUsername, {32, 59, 73, 13}, topLeft},
      {f.editUsernameNew, {112, 56, 193, 21}, topLeft},
      {f.labelUsernameNewDescription, {32, 83, 441, 54}, topLeft},
      {f.rbExistingUser, {8, 168, 321, 17}, topLeft},
      {f.labelUserList, {32, 195, 73, 13}, topLeft},
      {f.cbLimitedUsers, {112, 192, 201, 22}, topLeft},
      {f.labelLimitedUser, {32, 220, 441, 45}, topLeft},
      {f.labelMigrationInfo, {0, 0, 473, 25}, topLeft},
      {f.lvMigrationApps, {32, 80, 433, 177}, topLeft},
      {f.labelMigrationProgress, {32, 260, 433, 13}, topLeft},
      {f.labelApplicationsInfo, {0, 0, 473, 52}, topLeft},
      {f.lvApplications, {0, 52, 473, 233}, topLeft},  // the rest, while the group box hides
      {f.cbAppDesktopUser, {16, 24, 249, 17}, topLeft},
      {f.cbAppStartmenuUser, {16, 48, 249, 17}, topLeft},
      {f.cbAppQuicklaunchUser, {16, 72, 249, 17}, topLeft},
      {f.cbAppDesktopAdmin, {312, 24, 153, 17}, topLeft},
      {f.cbAppStartmenuAdmin, {312, 48, 153, 17}, topLeft},
      {f.cbAppQuicklaunchAdmin, {312, 72, 153, 17}, topLeft},
  };
  for (const Placed& p : placed) {
    EXPECT_EQ(p.control.Bounds(), p.bounds) << p.control.Name();
    EXPECT_EQ(p.control.Anchors(), p.anchors) << p.control.Name();
  }
  EXPECT_EQ(f.rbMigrateAll.Bounds().left, 8);
  EXPECT_EQ(f.rbMigrateAll.Bounds().top, 24);
  EXPECT_EQ(f.rbMigrateSelected.Bounds().left, 8);
  EXPECT_EQ(f.rbMigrateSelected.Bounds().top, 56);
  EXPECT_EQ(f.groupApplication.Bounds().height, 105);
  EXPECT_EQ(f.panelAppDivider.Bounds().height, 8);
}

TEST_F(WizardTest, CaptionsAccessKeysAndTabOrder) {
  Open(false);
  TformKestrova& f = *form;
  struct Captioned {
    const ui::Control& control;
    const char* caption;
    char32_t accessKey;
  };
  const Captioned captions[] = {
      {f.bnPrevious, "&Previous", U'P'},
      {f.bnNext, "&Next", U'N'},
      {f.bnCustom, "Uninstall", 0},
      {f.bnExit, "Exit", 0},
      {f.tabIntro, "&Introduction", U'I'},
      {f.tabUser, "User &account", U'A'},
      {f.tabMigration, "&Migration", U'M'},
      {f.tabApplications, "&Applications", U'A'},
      {f.rbNewUser, "Create a new user account for me Ombrant:", 0},
      {f.labelUsername, "&Username:", U'U'},
      {f.rbExistingUser, "Select an existing user as your Ombrant:", 0},
      {f.labelUserList, "&List of users:", U'L'},
      {f.rbMigrateAll, "Migrate settings for all detected applications", 0},
      {f.rbMigrateSelected, "Migrate settings only for the following applications", 0},
      {f.groupApplication, "Application shortcuts...", 0},
      {f.cbAppDesktopUser, "... on your desktop, impersonated.", 0},
      {f.cbAppStartmenuUser, "... in your start menu, impersonated.", 0},
      {f.cbAppQuicklaunchUser, "... in your quicklaunch area, impersonated.", 0},
      {f.cbAppDesktopAdmin, "... in its original form.", 0},
      {f.cbAppQuicklaunchAdmin, "... in its original form.", 0},
  };
  for (const Captioned& c : captions) {
    EXPECT_EQ(c.control.Caption(), c.caption) << c.control.Name();
    EXPECT_EQ(ui::AccessKey(c.control.Caption()), c.accessKey) << c.control.Name();
  }
  EXPECT_EQ(f.pmiRefreshUsers.Caption(), "Refresh list");
  EXPECT_EQ(f.lvMigrationApps.Columns(),
            (std::vector<ui::ListColumn>{{"Application", 256}, {"Status", 154}}));
  EXPECT_EQ(f.lvApplications.Columns(), (std::vector<ui::ListColumn>{{"Application name", 450}}));

  std::vector<std::string> windowOrder;
  for (const ui::Control* child : f.Children()) windowOrder.push_back(child->Name());
  EXPECT_EQ(windowOrder,
            (std::vector<std::string>{"pcMain", "bnPrevious", "bnNext", "bnCustom", "bnExit"}));
  EXPECT_EQ(TabStops(f.tabUser), (std::vector<std::string>{"rbNewUser", "editUsernameNew",
                                                           "rbExistingUser", "cbLimitedUsers"}));
  EXPECT_EQ(TabStops(f.tabMigration),
            (std::vector<std::string>{"rbMigrateAll", "rbMigrateSelected", "lvMigrationApps"}));
  EXPECT_EQ(TabStops(f.tabApplications),
            (std::vector<std::string>{"lvApplications", "cbAppDesktopUser", "cbAppStartmenuUser",
                                      "cbAppQuicklaunchUser", "cbAppDesktopAdmin",
                                      "cbAppStartmenuAdmin", "cbAppQuicklaunchAdmin"}));
  EXPECT_EQ(f.panelAppDivider.TabOrder(), f.groupApplication.TabOrder() + 1);

  // The labels' access keys reach their fields.
  ASSERT_TRUE(f.pcMain.UserSelectTab(1));
  EXPECT_TRUE(f.labelUsername.ActivateAccessKey());
  EXPECT_TRUE(f.editUsernameNew.Focused());
}

TEST_F(WizardTest, OpensOnTheIntroductionWithTheOrchestratorAttached) {
  Open(false);
  TformKestrova& f = *form;
  EXPECT_EQ(Calls(), (std::vector<std::string>{"SetAccountList",
                                               "SetApplicationView(lvApplications)",
                                               "FillMigrationList(lvMigrationApps)"}));
  EXPECT_EQ(apps->AccountList(), &f.cbLimitedUsers);
  EXPECT_EQ(f.reIntroduction.Rtf(), introduction);
  EXPECT_FALSE(f.reIntroduction.ReadOnly());
  EXPECT_EQ(f.reIntroduction.Scrolling(), ui::ScrollBars::Vertical);
  const std::string& info = f.labelApplicationsInfo.Caption();
  ASSERT_GE(info.size(), 2u);
  EXPECT_EQ(info.substr(info.size() - 2), "\r\n");
  EXPECT_EQ(info.find("\r\n"), info.size() - 2) << "one line break, appended once";

  EXPECT_EQ(f.pcMain.ActivePage(), &f.tabIntro);
  EXPECT_TRUE(f.tabIntro.TabVisible());
  EXPECT_TRUE(f.tabUser.TabVisible());
  EXPECT_FALSE(f.tabMigration.TabVisible());
  EXPECT_FALSE(f.tabApplications.TabVisible());
  EXPECT_TRUE(f.rbMigrateAll.Checked());
  EXPECT_FALSE(f.lvMigrationApps.Enabled());
  EXPECT_TRUE(f.lvMigrationApps.CheckBoxes());
  EXPECT_FALSE(f.groupApplication.Visible());
  EXPECT_FALSE(f.groupApplication.Enabled());
  EXPECT_FALSE(f.panelAppDivider.Visible());
  EXPECT_TRUE(f.aUninstall.Enabled());
  EXPECT_TRUE(f.bnCustom.Visible());

  // Nothing can be clicked on until the first paint has run the navigation update.
  EXPECT_FALSE(f.aPagePrevious.Enabled());
  EXPECT_FALSE(f.aPageNext.Enabled());
  EXPECT_FALSE(f.bnNext.UserClick());
  f.FormPaint();
  EXPECT_TRUE(f.aPageNext.Enabled());
  EXPECT_FALSE(f.aPagePrevious.Enabled());
  EXPECT_TRUE(ui.boxes.empty()) << "XP, administrator: no notice";

  // The catalogue's pictures, shared by both lists.
  for (const ui::ListView* view : {&f.lvApplications, &f.lvMigrationApps}) {
    EXPECT_EQ(view->SmallImages(), apps->SmallImages()) << view->Name();
    EXPECT_EQ(view->LargeImages(), apps->LargeImages()) << view->Name();
  }
}

TEST_F(WizardTest, AnUnreadableIntroductionLeavesThePageEmptyAndSilent) {
  introduction.clear();  // the loader throws
  Open();
  EXPECT_TRUE(form->reIntroduction.Rtf().empty());
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_TRUE(form->bnNext.UserClick()) << "the wizard goes on";
}

TEST_F(WizardTest, TheStoredAccountDecidesWhichAccountOptionStartsChecked) {
  struct Case {
    const char* what;
    std::string stored;
    bool newUser;
    std::string proposal;
    int selected;
  };
  const Case cases[] = {
      {"nothing stored", "", true, "george-online", -1},
      {"stored, listed in another letter case", "ALICE-Online", false, "", 0},
      {"stored, no longer a standard user", "bob-online", true, "george-online", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    script.storedInternetUser = c.stored;
    ui.boxes.clear();
    Open();
    TformKestrova& f = *form;
    EXPECT_EQ(f.rbNewUser.Checked(), c.newUser);
    EXPECT_EQ(f.rbExistingUser.Checked(), !c.newUser);
    EXPECT_EQ(f.editUsernameNew.Text(), c.proposal);
    EXPECT_EQ(f.cbLimitedUsers.ItemIndex(), c.selected);
    EXPECT_EQ(f.editUsernameNew.Enabled(), c.newUser);
    EXPECT_EQ(f.cbLimitedUsers.Enabled(), !c.newUser);
    EXPECT_EQ(f.cbLimitedUsers.Item(0).imageIndex, 0);
    EXPECT_EQ(f.cbLimitedUsers.Images(), &f.ilMain);
    EXPECT_EQ(Calls().size(), 3u) << "choosing at start-up stores nothing";
  }
}

TEST_F(WizardTest, FirstPaintShowsTheNoticesThatApply) {
  constexpr std::uint32_t kWarning = port::kMbOk | port::kMbIconWarning;
  constexpr std::uint32_t kInformation = port::kMbOk | port::kMbIconInformation;
  struct Notice {
    unsigned text;
    std::uint32_t type;
  };
  struct Case {
    const char* what;
    port::OsVersionInfo version;
    std::optional<std::uint32_t> privilege;
    std::vector<Notice> notices;
  };
  const Case cases[] = {
      {"Windows 7, administrator", {6, 1, 7601, 2}, 2, {}},
      {"Windows XP, administrator", {5, 1, 2600, 2}, 2, {}},
      {"Vista, administrator", {6, 0, 6002, 2}, 2, {{sVistaNotice, kInformation}}},
      {"Windows 98", {4, 10, 1998, 1}, 2, {{sWindows9xWarning, kWarning}}},
      {"Windows ME", {4, 90, 3000, 1}, 2, {{sWindows9xWarning, kWarning}}},
      {"Windows XP, limited account", {5, 1, 2600, 2}, 1, {{sNotAdministratorWarning, kWarning}}},
      {"Windows 2000, guest", {5, 0, 2195, 2}, 0, {{sNotAdministratorWarning, kWarning}}},
      {"Windows XP, domain account", {5, 1, 2600, 2}, std::nullopt, {}},
      {"Vista, limited account",
       {6, 0, 6000, 2},
       1,
       {{sVistaNotice, kInformation}, {sNotAdministratorWarning, kWarning}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    system.Settings().version = c.version;
    accounts.privilege = c.privilege;
    ui.boxes.clear();
    Open();
    form->FormPaint();  // later paints show nothing
    ASSERT_EQ(ui.boxes.size(), c.notices.size());
    for (std::size_t i = 0; i < c.notices.size(); ++i) {
      EXPECT_EQ(ui.boxes[i].text, Text(c.notices[i].text));
      EXPECT_EQ(ui.boxes[i].type, c.notices[i].type);
      EXPECT_EQ(ui.boxes[i].caption, "Ombrant");
    }
    EXPECT_TRUE(form->bnNext.UserClick()) << "no notice blocks the wizard";
  }
}

}  // namespace
}  // namespace ombrant::test
