// A list view: columns, items with sub-items, images, groups, check marks and tiles.
//
// Items are addressed by index; every change goes through the view so that it is notified.
// Selection is single: selecting an item first deselects the selected one. OnSelectItem runs for
// every change of an item's selection, by code or by the user, deselection first; removing the
// selected item (or all items) reports its deselection while it still exists, so whoever shows
// details of the selection never keeps showing a vanished item.
//
// Column 0 is the caption; sub-item k is column k + 1. Tile columns name columns (1 = the first
// sub-item), as the system's tile view takes them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/uiControl.h"

namespace ombrant::ui {

class ImageList;

enum class ViewStyle { Icon, SmallIcon, List, Report, Tile };

struct ListColumn {
  std::string caption;
  int width = 50;
  friend bool operator==(const ListColumn&, const ListColumn&) = default;
};

struct ListGroup {
  int id = 0;
  std::string header;
  friend bool operator==(const ListGroup&, const ListGroup&) = default;
};

struct ListItem {
  std::string caption;
  std::vector<std::string> subItems;
  int imageIndex = -1;
  int groupId = -1;  // -1: in no group
  bool checked = false;
  bool selected = false;
  std::intptr_t data = 0;  // the owner's own value (an index, a pointer); never shown, never notified
  std::vector<int> tileColumns;
};

class ListView : public Control, private Observer {
 public:
  explicit ListView(std::string name = {});
  ~ListView() override;

  // ---- columns
  [[nodiscard]] const std::vector<ListColumn>& Columns() const { return columns_; }
  int AddColumn(std::string caption, int width);
  // Throws std::out_of_range for a bad column.
  void SetColumnWidth(int column, int width);
  void ClearColumns();

  // ---- items (a bad item index throws std::out_of_range)
  [[nodiscard]] int ItemCount() const { return static_cast<int>(items_.size()); }
  [[nodiscard]] const std::vector<ListItem>& Items() const { return items_; }
  [[nodiscard]] const ListItem& Item(int index) const;
  int AddItem(std::string caption, int imageIndex = -1);
  void DeleteItem(int index);
  void ClearItems();
  void SetItemCaption(int index, std::string caption);
  void AddSubItem(int index, std::string text);
  // Adds empty sub-items up to `subItem` when needed.
  void SetSubItem(int index, int subItem, std::string text);
  // Column 0 is the caption; a missing sub-item reads empty.
  [[nodiscard]] std::string ColumnText(int index, int column) const;
  void SetItemImage(int index, int imageIndex);
  void SetItemGroup(int index, int groupId);
  void SetItemChecked(int index, bool checked);
  void SetItemData(int index, std::intptr_t data);
  void SetItemTileColumns(int index, std::vector<int> columns);

  // ---- selection
  // The selected item, or -1.
  [[nodiscard]] int SelectedIndex() const;
  void SetItemSelected(int index, bool selected);
  void ClearSelection();
  std::function<void(int item, bool selected)> OnSelectItem;

  // ---- user actions: refused (false) while the view cannot be reached or for a bad index
  // Moves the selection as the keyboard does; -1 clears it. Runs no OnClick.
  bool UserSelect(int index);
  // A mouse click on item `index` (-1: on no item, which clears the selection), then OnClick.
  bool UserClick(int index);
  std::function<void()> OnClick;
  // The user ticks or unticks an item's check box; refused without check boxes.
  bool UserSetChecked(int index, bool checked);

  // ---- presentation
  [[nodiscard]] bool CheckBoxes() const { return checkBoxes_; }
  void SetCheckBoxes(bool checkBoxes);
  [[nodiscard]] ViewStyle Style() const { return style_; }
  void SetViewStyle(ViewStyle style);
  [[nodiscard]] bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  [[nodiscard]] bool ShowColumnHeaders() const { return showColumnHeaders_; }
  void SetShowColumnHeaders(bool show);
  // False keeps the selection visible while the view is not focused.
  [[nodiscard]] bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool hide);
  // Lines of sub-item text each tile shows.
  [[nodiscard]] int TileViewLines() const { return tileViewLines_; }
  void SetTileViewLines(int lines);

  // ---- groups
  [[nodiscard]] bool GroupView() const { return groupView_; }
  void SetGroupView(bool enabled);
  [[nodiscard]] const std::vector<ListGroup>& Groups() const { return groups_; }
  // Appends a group; an id already present is refused (false), as the system refuses it, so
  // preparing a view twice does not double its groups.
  bool AddGroup(int id, std::string header);
  // Position of the group with that id, or -1.
  [[nodiscard]] int GroupIndex(int id) const;
  void ClearGroups();

  // ---- images (not owned; detached when destroyed)
  [[nodiscard]] ImageList* SmallImages() const { return smallImages_; }
  void SetSmallImages(ImageList* images);
  [[nodiscard]] ImageList* LargeImages() const { return largeImages_; }
  void SetLargeImages(ImageList* images);

 protected:
  void Unlinked(Component& gone) override;

 private:
  void Changed(Component& source, Changes what) override;
  ListItem& At(int index);
  void Attach(ImageList*& slot, ImageList* images);
  void ChangeSelected(int index, bool selected);

  std::vector<ListColumn> columns_;
  std::vector<ListItem> items_;
  std::vector<ListGroup> groups_;
  bool checkBoxes_ = false;
  ViewStyle style_ = ViewStyle::Icon;
  bool readOnly_ = false;
  bool showColumnHeaders_ = true;
  bool hideSelection_ = true;
  int tileViewLines_ = 0;
  bool groupView_ = false;
  ImageList* smallImages_ = nullptr;
  ImageList* largeImages_ = nullptr;
};

}  // namespace ombrant::ui
