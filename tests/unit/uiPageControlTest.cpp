#include "ui/uiPageControl.h"

#include <gtest/gtest.h>

#include <memory>

#include "ui/uiButtons.h"
#include "ui/uiContainers.h"

namespace ombrant::ui {
namespace {

// Four pages, the last two with their tabs hidden, as the wizard starts.
struct PagesFixture : ::testing::Test {
  PagesFixture() {
    pages.SetParent(&form);
    pages.SetBounds({8, 8, 497, 329});
    for (TabSheet* page : {&intro, &user, &migration, &applications}) {
      page->SetBorderWidth(8);
      pages.AddPage(*page);
    }
    migration.SetTabVisible(false);
    applications.SetTabVisible(false);
    pages.OnChange = [this] { changes.push_back(pages.ActivePageIndex()); };
  }

  Form form{"form"};
  PageControl pages{"pcMain"};
  TabSheet intro{"tabIntro", "&Introduction"}, user{"tabUser", "User &account"},
      migration{"tabMigration", "&Migration"}, applications{"tabApplications", "&Applications"};
  std::vector<int> changes;
};

TEST_F(PagesFixture, CodeMayActivateAHiddenTabsPageWithoutRunningTheHandler) {
  EXPECT_EQ(pages.ActivePage(), &intro) << "the first page starts active";
  EXPECT_EQ(pages.PageCount(), 4);
  EXPECT_EQ(pages.TabCount(), 2);

  EXPECT_TRUE(pages.SetActivePageIndex(2));
  EXPECT_EQ(pages.ActivePage(), &migration);
  EXPECT_EQ(pages.TabIndexOf(migration), -1);
  EXPECT_TRUE(migration.Showing());
  EXPECT_TRUE(changes.empty());

  // Stepping past the last page keeps the page shown.
  EXPECT_TRUE(pages.SetActivePage(&applications));
  EXPECT_FALSE(pages.SetActivePageIndex(4));
  EXPECT_FALSE(pages.SetActivePageIndex(-1));
  TabSheet stranger("stranger");
  EXPECT_FALSE(pages.SetActivePage(&stranger));
  EXPECT_EQ(pages.ActivePageIndex(), 3);
}

TEST_F(PagesFixture, UserTabClicksReachVisibleTabsOnlyAndReportRealChanges) {
  EXPECT_FALSE(pages.UserSelectTab(2)) << "only two tabs show";
  EXPECT_TRUE(pages.UserSelectTab(0)) << "the active tab: accepted, nothing changes";
  EXPECT_TRUE(changes.empty());

  applications.SetTabVisible(true);
  EXPECT_EQ(pages.TabPage(2), &applications);
  EXPECT_EQ(pages.TabIndexOf(applications), 2);
  EXPECT_TRUE(pages.UserSelectTab(2));
  EXPECT_TRUE(pages.UserSelectTab(1));
  EXPECT_EQ(changes, (std::vector<int>{3, 1})) << "the new page is active when the handler runs";

  pages.SetEnabled(false);
  EXPECT_FALSE(pages.UserSelectTab(0));
  EXPECT_EQ(pages.ActivePage(), &user);
}

TEST_F(PagesFixture, OnlyTheActivePageShowsAndTakesInput) {
  RadioButton rb("rbNewUser");
  rb.SetParent(&user);
  rb.SetBounds({8, 32, 321, 17});
  EXPECT_FALSE(rb.Showing());
  EXPECT_FALSE(rb.UserClick());
  EXPECT_FALSE(rb.SetFocus());

  pages.SetActivePage(&user);
  EXPECT_TRUE(rb.UserClick());
  EXPECT_TRUE(rb.Checked());

  // A page fills the page control below its tabs; the border is inside it.
  EXPECT_EQ(user.Bounds(), (Rect{4, 24, 489, 301}));
  EXPECT_EQ(user.ClientWidth(), 473);
  EXPECT_EQ(user.ClientHeight(), 285);
  pages.SetBounds({8, 8, 597, 379});
  EXPECT_EQ(user.Bounds(), (Rect{4, 24, 589, 351}));
}

TEST(PageControl, RemovingTheActivePageActivatesTheFirstRemaining) {
  PageControl pages("pages");
  TabSheet first("first");
  auto second = std::make_unique<TabSheet>("second");
  pages.AddPage(first);
  pages.AddPage(*second);
  pages.SetActivePage(second.get());
  second.reset();
  EXPECT_EQ(pages.ActivePage(), &first);
  EXPECT_EQ(pages.PageCount(), 1);
  first.SetParent(nullptr);
  EXPECT_EQ(pages.ActivePage(), nullptr);
  EXPECT_EQ(pages.ActivePageIndex(), -1);
}

}  // namespace
}  // namespace ombrant::ui
