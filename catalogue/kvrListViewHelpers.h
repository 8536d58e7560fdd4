// The grouped and tiled presentation of a list view: view mode, groups, tile lines and the
// per-item group and tile columns. Like the messages the system's control takes, these report
// nothing; an item index the view does not have changes nothing.
#pragma once

#include <cstdint>
#include <string>

#include "ui/uiListView.h"

namespace ombrant {

// Modes 0 icons, 1 small icons, 2 list, 3 details, 4 tiles; any other mode changes nothing.
void SetListViewMode(ui::ListView& view, int mode);
void EnableListViewGroups(ui::ListView& view, bool enable);
// Appends a group after the existing ones; an id already present is refused, as the control
// refuses it.
void AddListViewGroup(ui::ListView& view, const std::string& header, std::int32_t groupId);
// Lines of sub-item text each tile shows.
void SetTileViewLines(ui::ListView& view, std::int32_t lines);
void SetItemGroup(ui::ListView& view, int item, std::int32_t groupId);
// The sub-items (column numbers, 1 = the first sub-item) the item's tile shows.
void SetItemTileColumns(ui::ListView& view, int item, int count, const int* columns);

}  // namespace ombrant
