#include "ui/uiActions.h"

#include <algorithm>

namespace ombrant::ui {

// ---- Action ----------------------------------------------------------------------------------

Action::Action(std::string name, std::string caption)
    : Component(std::move(name)), caption_(std::move(caption)) {}

void Action::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  Notify(Aspect::Caption);
}

void Action::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Notify(Aspect::Enabled);
}

void Action::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Notify(Aspect::Visible);
}

void Action::SetHint(std::string hint) {
  if (hint == hint_) return;
  hint_ = std::move(hint);
  Notify(Aspect::Hint);
}

bool Action::Execute() {
  if (!enabled_ || !OnExecute) return false;
  OnExecute();
  return true;
}

// ---- MenuItem --------------------------------------------------------------------------------

MenuItem::MenuItem(std::string name, std::string caption)
    : Component(std::move(name)), caption_(std::move(caption)) {}

MenuItem::~MenuItem() {
  if (action_ != nullptr) action_->RemoveObserver(*this);
  if (menu_ != nullptr) menu_->Remove(*this);
}

void MenuItem::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  Notify(Aspect::Caption);
}

void MenuItem::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Notify(Aspect::Enabled);
}

void MenuItem::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Notify(Aspect::Visible);
}

void MenuItem::SetAction(Action* action) {
  if (action == action_) return;
  if (action_ != nullptr) {
    action_->RemoveObserver(*this);
    Unlink(*action_);
  }
  action_ = action;
  if (action != nullptr) {
    Link(*action);
    action->AddObserver(*this);
    BeginUpdate();
    SetCaption(action->Caption());
    SetEnabled(action->Enabled());
    SetVisible(action->Visible());
    EndUpdate();
  }
  Notify(Aspect::Action);
}

void MenuItem::Changed(Component& source, Changes what) {
  if (action_ == nullptr || &source != action_) return;
  if (what.Has(Aspect::Caption)) SetCaption(action_->Caption());
  if (what.Has(Aspect::Enabled)) SetEnabled(action_->Enabled());
  if (what.Has(Aspect::Visible)) SetVisible(action_->Visible());
}

void MenuItem::Click() {
  if (OnClick) {
    OnClick();
  } else if (action_ != nullptr) {
    action_->Execute();
  }
}

bool MenuItem::UserClick() {
  if (!enabled_ || !visible_) return false;
  Click();
  return true;
}

Component* MenuItem::NotifyParent() const { return menu_; }

void MenuItem::Unlinked(Component& gone) {
  if (action_ != nullptr && static_cast<Component*>(action_) == &gone) {
    action_ = nullptr;
    Notify(Aspect::Action);
  }
}

// ---- PopupMenu -------------------------------------------------------------------------------

PopupMenu::PopupMenu(std::string name) : Component(std::move(name)) {}

PopupMenu::~PopupMenu() {
  for (MenuItem* item : items_) item->menu_ = nullptr;
}

void PopupMenu::Add(MenuItem& item) {
  if (item.menu_ == this) return;
  if (item.menu_ != nullptr) item.menu_->Remove(item);
  items_.push_back(&item);
  item.menu_ = this;
  Notify(Aspect::Items);
}

void PopupMenu::Remove(MenuItem& item) {
  if (item.menu_ != this) return;
  std::erase(items_, &item);
  item.menu_ = nullptr;
  Notify(Aspect::Items);
}

}  // namespace ombrant::ui
