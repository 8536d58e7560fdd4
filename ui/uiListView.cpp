#include "ui/uiListView.h"

#include <algorithm>
#include <stdexcept>

#include "ui/uiImages.h"

namespace ombrant::ui {

ListView::ListView(std::string name) : Control(std::move(name)) {}

ListView::~ListView() {
  if (smallImages_ != nullptr) smallImages_->RemoveObserver(*this);
  if (largeImages_ != nullptr && largeImages_ != smallImages_) largeImages_->RemoveObserver(*this);
}

// ---- columns ---------------------------------------------------------------------------------

int ListView::AddColumn(std::string caption, int width) {
  columns_.push_back({std::move(caption), width});
  Notify(Aspect::Columns);
  return static_cast<int>(columns_.size()) - 1;
}

void ListView::SetColumnWidth(int column, int width) {
  ListColumn& c = columns_.at(static_cast<std::size_t>(column));
  if (c.width == width) return;
  c.width = width;
  Notify(Aspect::Columns);
}

void ListView::ClearColumns() {
  if (columns_.empty()) return;
  columns_.clear();
  Notify(Aspect::Columns);
}

// ---- items -----------------------------------------------------------------------------------

const ListItem& ListView::Item(int index) const { return items_.at(static_cast<std::size_t>(index)); }

ListItem& ListView::At(int index) { return items_.at(static_cast<std::size_t>(index)); }

int ListView::AddItem(std::string caption, int imageIndex) {
  ListItem item;
  item.caption = std::move(caption);
  item.imageIndex = imageIndex;
  items_.push_back(std::move(item));
  Notify(Aspect::Items);
  return ItemCount() - 1;
}

void ListView::DeleteItem(int index) {
  if (At(index).selected) {
    ChangeSelected(index, false);
    // The handler may have changed the list under us.
    if (index >= ItemCount()) return;
  }
  items_.erase(items_.begin() + index);
  Notify(Aspect::Items);
}

void ListView::ClearItems() {
  ClearSelection();
  if (items_.empty()) return;
  items_.clear();
  Notify(Aspect::Items);
}

void ListView::SetItemCaption(int index, std::string caption) {
  ListItem& item = At(index);
  if (item.caption == caption) return;
  item.caption = std::move(caption);
  Notify(Aspect::Items);
}

void ListView::AddSubItem(int index, std::string text) {
  At(index).subItems.push_back(std::move(text));
  Notify(Aspect::Items);
}

void ListView::SetSubItem(int index, int subItem, std::string text) {
  ListItem& item = At(index);
  if (subItem < 0) throw std::out_of_range("sub-item index out of range");
  const auto slot = static_cast<std::size_t>(subItem);
  if (slot < item.subItems.size() && item.subItems[slot] == text) return;
  if (slot >= item.subItems.size()) item.subItems.resize(slot + 1);
  item.subItems[slot] = std::move(text);
  Notify(Aspect::Items);
}

std::string ListView::ColumnText(int index, int column) const {
  const ListItem& item = Item(index);
  if (column == 0) return item.caption;
  if (column < 0 || static_cast<std::size_t>(column) > item.subItems.size()) return {};
  return item.subItems[static_cast<std::size_t>(column) - 1];
}

void ListView::SetItemImage(int index, int imageIndex) {
  ListItem& item = At(index);
  if (item.imageIndex == imageIndex) return;
  item.imageIndex = imageIndex;
  Notify(Aspect::Items);
}

void ListView::SetItemGroup(int index, int groupId) {
  ListItem& item = At(index);
  if (item.groupId == groupId) return;
  item.groupId = groupId;
  Notify(Aspect::Items);
}

void ListView::SetItemChecked(int index, bool checked) {
  ListItem& item = At(index);
  if (item.checked == checked) return;
  item.checked = checked;
  Notify(Aspect::ItemChecks);
}

void ListView::SetItemData(int index, std::intptr_t data) {
  // The owner's value is not shown: nothing to notify.
  At(index).data = data;
}

void ListView::SetItemTileColumns(int index, std::vector<int> columns) {
  ListItem& item = At(index);
  if (item.tileColumns == columns) return;
  item.tileColumns = std::move(columns);
  Notify(Aspect::Items);
}

// ---- selection -------------------------------------------------------------------------------

int ListView::SelectedIndex() const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].selected) return static_cast<int>(i);
  }
  return -1;
}

void ListView::ChangeSelected(int index, bool selected) {
  At(index).selected = selected;
  Notify(Aspect::Selection);
  if (OnSelectItem) OnSelectItem(index, selected);
}

void ListView::SetItemSelected(int index, bool selected) {
  if (At(index).selected == selected) return;
  if (selected) {
    const int previous = SelectedIndex();
    if (previous >= 0) {
      ChangeSelected(previous, false);
      // The handler may have changed the list or the selection.
      if (index >= ItemCount() || items_[static_cast<std::size_t>(index)].selected) return;
    }
  }
  ChangeSelected(index, selected);
}

void ListView::ClearSelection() {
  const int selected = SelectedIndex();
  if (selected >= 0) ChangeSelected(selected, false);
}

// ---- user actions ----------------------------------------------------------------------------

bool ListView::UserSelect(int index) {
  if (index < -1 || index >= ItemCount() || !AcceptsUserInput()) return false;
  if (index < 0) {
    ClearSelection();
  } else {
    SetItemSelected(index, true);
  }
  return true;
}

bool ListView::UserClick(int index) {
  if (!UserSelect(index)) return false;
  if (OnClick) OnClick();
  return true;
}

bool ListView::UserSetChecked(int index, bool checked) {
  if (!checkBoxes_ || index < 0 || index >= ItemCount() || !AcceptsUserInput()) return false;
  SetItemChecked(index, checked);
  return true;
}

// ---- presentation ----------------------------------------------------------------------------

void ListView::SetCheckBoxes(bool checkBoxes) {
  if (checkBoxes == checkBoxes_) return;
  checkBoxes_ = checkBoxes;
  Notify(Aspect::Options);
}

void ListView::SetViewStyle(ViewStyle style) {
  if (style == style_) return;
  style_ = style;
  Notify(Aspect::Options);
}

void ListView::SetReadOnly(bool readOnly) {
  if (readOnly == readOnly_) return;
  readOnly_ = readOnly;
  Notify(Aspect::Options);
}

void ListView::SetShowColumnHeaders(bool show) {
  if (show == showColumnHeaders_) return;
  showColumnHeaders_ = show;
  Notify(Aspect::Options);
}

void ListView::SetHideSelection(bool hide) {
  if (hide == hideSelection_) return;
  hideSelection_ = hide;
  Notify(Aspect::Options);
}

void ListView::SetTileViewLines(int lines) {
  lines = std::max(lines, 0);
  if (lines == tileViewLines_) return;
  tileViewLines_ = lines;
  Notify(Aspect::Options);
}

// ---- groups ----------------------------------------------------------------------------------

void ListView::SetGroupView(bool enabled) {
  if (enabled == groupView_) return;
  groupView_ = enabled;
  Notify(Aspect::Groups);
}

bool ListView::AddGroup(int id, std::string header) {
  if (GroupIndex(id) >= 0) return false;
  groups_.push_back({id, std::move(header)});
  Notify(Aspect::Groups);
  return true;
}

int ListView::GroupIndex(int id) const {
  for (std::size_t i = 0; i < groups_.size(); ++i) {
    if (groups_[i].id == id) return static_cast<int>(i);
  }
  return -1;
}

void ListView::ClearGroups() {
  if (groups_.empty()) return;
  groups_.clear();
  Notify(Aspect::Groups);
}

// ---- images ----------------------------------------------------------------------------------

void ListView::Attach(ImageList*& slot, ImageList* images) {
  if (images == slot) return;
  ImageList* old = slot;
  slot = images;
  // Keep observing a list that still fills the other slot.
  if (old != nullptr && old != smallImages_ && old != largeImages_) {
    old->RemoveObserver(*this);
    Unlink(*old);
  }
  if (images != nullptr) {
    Link(*images);
    images->AddObserver(*this);
  }
  Notify(Aspect::Images);
}

void ListView::SetSmallImages(ImageList* images) { Attach(smallImages_, images); }

void ListView::SetLargeImages(ImageList* images) { Attach(largeImages_, images); }

void ListView::Changed(Component& source, Changes /*what*/) {
  // The pictures of the items changed with their list.
  if (&source == smallImages_ || &source == largeImages_) Notify(Aspect::Images);
}

void ListView::Unlinked(Component& gone) {
  bool changed = false;
  if (smallImages_ != nullptr && static_cast<Component*>(smallImages_) == &gone) {
    smallImages_ = nullptr;
    changed = true;
  }
  if (largeImages_ != nullptr && static_cast<Component*>(largeImages_) == &gone) {
    largeImages_ = nullptr;
    changed = true;
  }
  if (changed) Notify(Aspect::Images);
  Control::Unlinked(gone);
}

}  // namespace ombrant::ui
