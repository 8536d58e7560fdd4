#include "catalogue/kvrListViewHelpers.h"

#include <gtest/gtest.h>

namespace ombrant {
namespace {

TEST(ListViewHelpers, ModesSetTheViewAndUnknownModesLeaveIt) {
  const std::pair<int, ui::ViewStyle> modes[] = {
      {0, ui::ViewStyle::Icon},   {1, ui::ViewStyle::SmallIcon}, {2, ui::ViewStyle::List},
      {3, ui::ViewStyle::Report}, {4, ui::ViewStyle::Tile},
  };
  for (const auto& [mode, style] : modes) {
    ui::ListView view;
    SetListViewMode(view, mode == 0 ? 3 : 0);  // start elsewhere
    SetListViewMode(view, mode);
    EXPECT_EQ(view.Style(), style) << mode;
    for (int unknown : {5, -1, 100}) {
      SetListViewMode(view, unknown);
      EXPECT_EQ(view.Style(), style) << mode << " then " << unknown;
    }
  }
}

TEST(ListViewHelpers, GroupsTilesAndItems) {
  ui::ListView view;
  EnableListViewGroups(view, true);
  EXPECT_TRUE(view.GroupView());
  const char* headers[] = {"Other", "Browser", "Email", "Chat", "Multimedia"};
  for (int id = 0; id < 5; ++id) AddListViewGroup(view, headers[id], id);
  AddListViewGroup(view, "Browser again", 1);  // refused, as the control refuses it
  ASSERT_EQ(view.Groups().size(), 5u);
  EXPECT_EQ(view.Groups()[1], (ui::ListGroup{1, "Browser"}));
  EXPECT_EQ(view.Groups()[4], (ui::ListGroup{4, "Multimedia"}));
  SetTileViewLines(view, 1);
  EXPECT_EQ(view.TileViewLines(), 1);

  const int item = view.AddItem("Mozilla Firefox");
  view.AddSubItem(item, "C:\\Program Files\\Mozilla Firefox\\firefox.exe");
  SetItemGroup(view, item, 1);
  const int columns[] = {1};
  SetItemTileColumns(view, item, 1, columns);
  EXPECT_EQ(view.Item(item).groupId, 1);
  EXPECT_EQ(view.Item(item).tileColumns, std::vector<int>{1});

  // Items the view does not have: nothing happens, nothing is thrown.
  SetItemGroup(view, 7, 2);
  SetItemTileColumns(view, -1, 1, columns);
  SetItemTileColumns(view, item, 1, nullptr);
  EXPECT_EQ(view.Item(item).tileColumns, std::vector<int>{1});
  EnableListViewGroups(view, false);
  EXPECT_FALSE(view.GroupView());
}

}  // namespace
}  // namespace ombrant
