#include "ui/uiComboBox.h"

#include "ui/uiImages.h"

namespace ombrant::ui {

ComboBox::ComboBox(std::string name) : Control(std::move(name)) {}

ComboBox::~ComboBox() {
  if (images_ != nullptr) images_->RemoveObserver(*this);
}

const ComboItem& ComboBox::Item(int index) const {
  return items_.at(static_cast<std::size_t>(index));
}

int ComboBox::AddItem(std::string text, int imageIndex) {
  items_.push_back({std::move(text), imageIndex});
  Notify(Aspect::Items);
  return ItemCount() - 1;
}

void ComboBox::Clear() {
  if (items_.empty()) return;
  BeginUpdate();
  items_.clear();
  Notify(Aspect::Items);
  SetItemIndex(-1);
  EndUpdate();
}

void ComboBox::SetItemIndex(int index) {
  if (index < 0 || index >= ItemCount()) index = -1;
  if (index == itemIndex_) return;
  itemIndex_ = index;
  Notify(Aspect::Selection);
}

std::string ComboBox::Text() const {
  return itemIndex_ >= 0 ? items_[static_cast<std::size_t>(itemIndex_)].text : std::string();
}

void ComboBox::SetImages(ImageList* images) {
  if (images == images_) return;
  if (images_ != nullptr) {
    images_->RemoveObserver(*this);
    Unlink(*images_);
  }
  images_ = images;
  if (images != nullptr) {
    Link(*images);
    images->AddObserver(*this);
  }
  Notify(Aspect::Images);
}

bool ComboBox::UserSelect(int index) {
  if (index < 0 || index >= ItemCount() || !AcceptsUserInput()) return false;
  SetItemIndex(index);
  if (OnChange) OnChange();
  return true;
}

void ComboBox::Changed(Component& source, Changes /*what*/) {
  // The pictures of the entries changed with their list.
  if (images_ != nullptr && &source == images_) Notify(Aspect::Images);
}

void ComboBox::Unlinked(Component& gone) {
  if (images_ != nullptr && static_cast<Component*>(images_) == &gone) {
    images_ = nullptr;
    Notify(Aspect::Images);
  }
  Control::Unlinked(gone);
}

}  // namespace ombrant::ui
