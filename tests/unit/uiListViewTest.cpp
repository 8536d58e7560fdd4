#include "ui/uiListView.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/unit/uiRecorder.h"
#include "ui/uiContainers.h"
#include "ui/uiImages.h"

namespace ombrant::ui {
namespace {

using Selection = std::pair<int, bool>;

struct ListFixture : ::testing::Test {
  ListFixture() {
    list.SetParent(&form);
    for (const char* caption : {"Opera", "Mozilla Firefox", "Skype"}) list.AddItem(caption);
    list.OnSelectItem = [this](int item, bool selected) {
      log.emplace_back(item, selected);
      captions.push_back(list.Item(item).caption);
      selectedDuringCall.push_back(list.SelectedIndex());
    };
  }

  Form form{"form"};
  ListView list{"lvApplications"};
  std::vector<Selection> log;
  std::vector<std::string> captions;
  std::vector<int> selectedDuringCall;
};

TEST_F(ListFixture, SelectionHandlerRunsOnEverySelectAndDeselect) {
  list.SetItemSelected(1, true);
  list.SetItemSelected(2, true);
  list.SetItemSelected(2, true);
  list.SetItemSelected(2, false);
  list.ClearSelection();
  ASSERT_TRUE(list.UserSelect(0));
  ASSERT_TRUE(list.UserClick(-1));

  EXPECT_EQ(log, (std::vector<Selection>{
                     {1, true}, {1, false}, {2, true}, {2, false}, {0, true}, {0, false}}));
  // The old item is deselected before the new one is selected.
  EXPECT_EQ(selectedDuringCall, (std::vector<int>{1, -1, 2, -1, 0, -1}));
  EXPECT_EQ(list.SelectedIndex(), -1);
}

TEST_F(ListFixture, RemovingTheSelectedItemReportsItsDeselectionFirst) {
  list.SetItemSelected(1, true);
  list.DeleteItem(0);  // not selected: the selection moves along with its item
  EXPECT_EQ(list.SelectedIndex(), 0);
  list.DeleteItem(0);
  list.SetItemSelected(0, true);
  list.ClearItems();

  EXPECT_EQ(log, (std::vector<Selection>{{1, true}, {0, false}, {0, true}, {0, false}}));
  EXPECT_EQ(captions, (std::vector<std::string>{"Mozilla Firefox", "Mozilla Firefox", "Skype",
                                                "Skype"}));
  EXPECT_EQ(list.ItemCount(), 0);
}

TEST_F(ListFixture, KeyboardSelectionRunsNoClickHandlerAndMouseClickRunsItAfterSelecting) {
  std::vector<std::string> events;
  list.OnSelectItem = [&](int item, bool selected) {
    events.push_back(std::to_string(item) + (selected ? "+" : "-"));
  };
  list.OnClick = [&] { events.push_back("click"); };

  ASSERT_TRUE(list.UserSelect(1));
  ASSERT_TRUE(list.UserClick(2));
  list.SetEnabled(false);
  EXPECT_FALSE(list.UserClick(0));
  EXPECT_FALSE(list.UserSelect(0));
  list.SetEnabled(true);
  EXPECT_FALSE(list.UserSelect(3)) << "no such item";

  EXPECT_EQ(events, (std::vector<std::string>{"1+", "1-", "2+", "click"}));
}

TEST_F(ListFixture, UserCheckMarksNeedCheckBoxesAndAReachableView) {
  const struct {
    bool checkBoxes, enabled, visible, accepted;
  } cases[] = {
      {true, true, true, true},
      {false, true, true, false},
      {true, false, true, false},
      {true, true, false, false},
  };
  for (const auto& c : cases) {
    list.SetItemChecked(1, false);
    list.SetCheckBoxes(c.checkBoxes);
    list.SetEnabled(c.enabled);
    list.SetVisible(c.visible);
    EXPECT_EQ(list.UserSetChecked(1, true), c.accepted)
        << "check boxes " << c.checkBoxes << ", enabled " << c.enabled << ", visible " << c.visible;
    EXPECT_EQ(list.Item(1).checked, c.accepted);
  }
  // Code sets check marks whatever the state of the view.
  list.SetItemChecked(2, true);
  EXPECT_TRUE(list.Item(2).checked);
}

// How the wizard prepares a view: group view, tiles with one line, one group per category;
// preparing again must not double the groups.
TEST(ListView, GroupsAndTiles) {
  ListView view("lvApplications");
  const auto prepare = [&] {
    view.SetGroupView(true);
    view.SetViewStyle(ViewStyle::Tile);
    view.SetTileViewLines(1);
    const char* headers[] = {"Other", "Browser", "Email", "Chat", "Multimedia"};
    for (int id = 0; id < 5; ++id) view.AddGroup(id, headers[id]);
  };
  prepare();
  prepare();
  ASSERT_EQ(view.Groups().size(), 5u);
  EXPECT_EQ(view.Groups()[3], (ListGroup{3, "Chat"}));
  EXPECT_FALSE(view.AddGroup(1, "Again"));
  EXPECT_EQ(view.GroupIndex(4), 4);
  EXPECT_EQ(view.GroupIndex(9), -1);

  const int item = view.AddItem("Opera", 7);
  view.AddSubItem(item, "C:\\Program Files\\Opera\\opera.exe");
  view.SetItemGroup(item, 1);
  view.SetItemTileColumns(item, {1});
  EXPECT_EQ(view.Item(item).groupId, 1);
  EXPECT_EQ(view.Item(item).imageIndex, 7);
  EXPECT_EQ(view.Item(item).tileColumns, (std::vector<int>{1}));
  EXPECT_EQ(view.ColumnText(item, 0), "Opera");
  EXPECT_EQ(view.ColumnText(item, 1), "C:\\Program Files\\Opera\\opera.exe");
  EXPECT_EQ(view.ColumnText(item, 2), "");

  view.SetSubItem(item, 2, "status");
  EXPECT_EQ(view.Item(item).subItems,
            (std::vector<std::string>{"C:\\Program Files\\Opera\\opera.exe", "", "status"}));
  EXPECT_THROW(view.SetItemGroup(1, 0), std::out_of_range);
}

TEST(ListView, AnUpdateBracketSendsOneNotificationAtTheEnd) {
  Form form("form");
  ListView view("lvMigrationApps");
  view.SetParent(&form);
  for (const char* caption : {"a", "b"}) view.AddItem(caption);
  view.SetItemSelected(0, true);
  int handlerCalls = 0;
  view.OnSelectItem = [&](int, bool) { ++handlerCalls; };
  test::ChangeRecorder recorder(form);

  {
    UpdateGuard outer(view);
    view.ClearItems();
    for (const char* caption : {"x", "y", "z"}) view.AddItem(caption);
    view.BeginUpdate();
    view.SetItemChecked(2, true);
    view.EndUpdate();
    EXPECT_TRUE(recorder.events.empty()) << "nothing until the outermost end";
    EXPECT_EQ(handlerCalls, 1) << "handlers still run inside the bracket";
  }
  ASSERT_EQ(recorder.events.size(), 1u);
  EXPECT_EQ(recorder.events[0].source, &view);
  EXPECT_EQ(recorder.events[0].what, Aspect::Items | Aspect::Selection | Aspect::ItemChecks);

  // A bracket that changes nothing sends nothing.
  view.BeginUpdate();
  view.SetItemChecked(2, true);
  view.EndUpdate();
  EXPECT_EQ(recorder.events.size(), 1u);

  // Outside a bracket every change is its own notification.
  view.AddItem("p");
  view.AddItem("q");
  EXPECT_EQ(recorder.events.size(), 3u);
}

TEST(ListView, ImageListsAreFollowedAndDetachedWhenDestroyed) {
  ListView view("lvApplications");
  auto small = std::make_unique<ImageList>("small", 16, 16);
  ImageList large("large", 32, 32);
  view.SetSmallImages(small.get());
  view.SetLargeImages(small.get());
  view.SetLargeImages(&large);  // the small one is still attached and still followed
  test::ChangeRecorder recorder(view);

  small->Add({"opera", {}});
  EXPECT_EQ(recorder.Count(view, Aspect::Images), 1) << "a binder must redraw the pictures";
  small.reset();
  EXPECT_EQ(view.SmallImages(), nullptr);
  EXPECT_EQ(view.LargeImages(), &large);
  EXPECT_EQ(recorder.Count(view, Aspect::Images), 2);
}

}  // namespace
}  // namespace ombrant::ui
