#include "catalogue/kvrListViewHelpers.h"

#include <vector>

namespace ombrant {
namespace {

bool HasItem(const ui::ListView& view, int item) { return item >= 0 && item < view.ItemCount(); }

}  // namespace

void SetListViewMode(ui::ListView& view, int mode) {
  // The control's own view and the wrapper's style are both set. For tiles the wrapper goes
  // first: setting its style afterwards would put the control back into a style it knows.
  struct Row {
    ui::ViewStyle control;
    ui::ViewStyle wrapper;
    bool wrapperFirst;
  };
  static constexpr Row kModes[] = {
      {ui::ViewStyle::Icon, ui::ViewStyle::Icon, false},
      {ui::ViewStyle::SmallIcon, ui::ViewStyle::SmallIcon, false},
      {ui::ViewStyle::List, ui::ViewStyle::List, false},
      {ui::ViewStyle::Report, ui::ViewStyle::Report, false},
      {ui::ViewStyle::Tile, ui::ViewStyle::SmallIcon, true},
  };
  if (mode < 0 || mode >= static_cast<int>(std::size(kModes))) return;
  const Row& row = kModes[mode];
  if (row.wrapperFirst) {
    view.SetViewStyle(row.wrapper);
    view.SetViewStyle(row.control);
  } else {
    view.SetViewStyle(row.control);
    view.SetViewStyle(row.wrapper);
  }
}

void EnableListViewGroups(ui::ListView& view, bool enable) { view.SetGroupView(enable); }

void AddListViewGroup(ui::ListView& view, const std::string& header, std::int32_t groupId) {
  view.AddGroup(groupId, header);
}

void SetTileViewLines(ui::ListView& view, std::int32_t lines) { view.SetTileViewLines(lines); }

void SetItemGroup(ui::ListView& view, int item, std::int32_t groupId) {
  if (HasItem(view, item)) view.SetItemGroup(item, groupId);
}

void SetItemTileColumns(ui::ListView& view, int item, int count, const int* columns) {
  if (!HasItem(view, item) || count < 0 || (count > 0 && columns == nullptr)) return;
  view.SetItemTileColumns(item, std::vector<int>(columns, columns + count));
}

}  // namespace ombrant
