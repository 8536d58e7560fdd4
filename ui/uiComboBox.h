// A drop-down list whose entries carry an image.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/uiControl.h"

namespace ombrant::ui {

class ImageList;

struct ComboItem {
  std::string text;
  int imageIndex = -1;
  friend bool operator==(const ComboItem&, const ComboItem&) = default;
};

// The user can only pick entries, not type. OnChange runs after a user's pick only: selecting
// by code runs nothing, so code that selects on the user's behalf calls what the pick would.
class ComboBox : public Control, private Observer {
 public:
  explicit ComboBox(std::string name = {});
  ~ComboBox() override;

  [[nodiscard]] const std::vector<ComboItem>& Items() const { return items_; }
  [[nodiscard]] int ItemCount() const { return static_cast<int>(items_.size()); }
  // Throws std::out_of_range for a bad index.
  [[nodiscard]] const ComboItem& Item(int index) const;
  int AddItem(std::string text, int imageIndex = -1);
  // Removes every entry and the selection.
  void Clear();

  // -1 when nothing is selected.
  [[nodiscard]] int ItemIndex() const { return itemIndex_; }
  // An index out of range clears the selection, as the system control does.
  void SetItemIndex(int index);
  // The selected entry's text, or empty.
  [[nodiscard]] std::string Text() const;

  [[nodiscard]] ImageList* Images() const { return images_; }
  void SetImages(ImageList* images);

  std::function<void()> OnChange;
  // The user picks entry `index`: refused (false) for a bad index or while the box cannot be
  // reached; otherwise selects it and runs OnChange.
  bool UserSelect(int index);

 protected:
  void Unlinked(Component& gone) override;

 private:
  void Changed(Component& source, Changes what) override;

  std::vector<ComboItem> items_;
  int itemIndex_ = -1;
  ImageList* images_ = nullptr;
};

}  // namespace ombrant::ui
