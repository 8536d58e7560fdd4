#include "ui/uiActions.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/unit/uiRecorder.h"
#include "ui/uiButtons.h"
#include "ui/uiContainers.h"

namespace ombrant::ui {
namespace {

TEST(Action, RunsOnlyWhileEnabled) {
  Action next("aPageNext", "&Next");
  EXPECT_FALSE(next.Execute()) << "no handler: nothing ran";
  int runs = 0;
  next.OnExecute = [&] { ++runs; };
  next.SetEnabled(false);
  EXPECT_FALSE(next.Execute());
  EXPECT_EQ(runs, 0);
  next.SetEnabled(true);
  EXPECT_TRUE(next.Execute());
  EXPECT_EQ(runs, 1);
}

TEST(Action, BoundButtonFollowsItAndExecutesIt) {
  Form form("form");
  Action next("aPageNext", "&Next");
  next.SetEnabled(false);
  int runs = 0;
  next.OnExecute = [&] { ++runs; };
  Button button("bnNext");
  button.SetParent(&form);
  button.SetAction(&next);

  EXPECT_EQ(button.Caption(), "&Next");
  EXPECT_FALSE(button.Enabled());
  EXPECT_FALSE(button.UserClick());
  button.Click();  // by code: the disabled action still refuses
  EXPECT_EQ(runs, 0);

  next.SetEnabled(true);
  next.SetCaption("&Forward");
  EXPECT_TRUE(button.Enabled());
  EXPECT_EQ(button.Caption(), "&Forward");
  EXPECT_TRUE(button.UserClick());
  EXPECT_EQ(runs, 1);

  // The window sets a bound button's visibility on its own; the action does not undo it.
  button.SetVisible(false);
  next.SetEnabled(false);
  EXPECT_FALSE(button.Visible());
  EXPECT_TRUE(next.Visible());
}

TEST(Action, DestroyingItUnbindsButtonsAndMenuItems) {
  Button button("bnCustom");
  MenuItem item("pmiRefreshUsers");
  test::ChangeRecorder recorder(button);
  {
    Action action("aUninstall", "Uninstall");
    button.SetAction(&action);
    item.SetAction(&action);
  }
  EXPECT_EQ(button.BoundAction(), nullptr);
  EXPECT_EQ(item.BoundAction(), nullptr);
  EXPECT_EQ(recorder.Count(button, Aspect::Action), 2) << "bound, then unbound";
  button.Click();  // must not reach the destroyed action
  item.Click();
}

TEST(PopupMenu, ItemsBoundToActionsFollowAndExecuteThem) {
  PopupMenu menu("popupExistingUser");
  MenuItem refresh("pmiRefreshUsers");
  menu.Add(refresh);
  Action action("aRefreshUsers", "Refresh list");
  int runs = 0;
  action.OnExecute = [&] { ++runs; };
  refresh.SetAction(&action);
  test::ChangeRecorder recorder(menu);

  EXPECT_EQ(refresh.Caption(), "Refresh list");
  EXPECT_TRUE(refresh.UserClick());
  action.SetEnabled(false);
  EXPECT_FALSE(refresh.Enabled());
  EXPECT_FALSE(refresh.UserClick());
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(recorder.Count(refresh, Aspect::Enabled), 1) << "a menu's observers hear its items";
}

TEST(PopupMenu, ARightClickFindsTheNearestMenuAndLosesADestroyedOne) {
  Form form("form");
  Panel page("tabUser");
  RadioButton radio("rbExistingUser");
  Button other("bnExit");
  page.SetParent(&form);
  radio.SetParent(&page);
  other.SetParent(&form);
  auto menu = std::make_unique<PopupMenu>("popupExistingUser");
  page.SetPopupMenu(menu.get());

  EXPECT_EQ(radio.EffectivePopupMenu(), menu.get());
  EXPECT_EQ(other.EffectivePopupMenu(), nullptr);
  menu.reset();
  EXPECT_EQ(page.Popup(), nullptr);
  EXPECT_EQ(radio.EffectivePopupMenu(), nullptr);
}

}  // namespace
}  // namespace ombrant::ui
