#include "ui/uiButtons.h"

#include <vector>

#include "ui/uiActions.h"

namespace ombrant::ui {

// ---- Button ----------------------------------------------------------------------------------

Button::Button(std::string name, std::string caption) : Control(std::move(name)) {
  SetCaption(std::move(caption));
}

Button::~Button() {
  if (action_ != nullptr) action_->RemoveObserver(*this);
}

void Button::SetAction(Action* action) {
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
    SetHint(action->Hint());
    EndUpdate();
  }
  Notify(Aspect::Action);
}

void Button::Changed(Component& source, Changes what) {
  if (action_ == nullptr || &source != action_) return;
  if (what.Has(Aspect::Caption)) SetCaption(action_->Caption());
  if (what.Has(Aspect::Enabled)) SetEnabled(action_->Enabled());
  if (what.Has(Aspect::Visible)) SetVisible(action_->Visible());
  if (what.Has(Aspect::Hint)) SetHint(action_->Hint());
}

void Button::Unlinked(Component& gone) {
  if (action_ != nullptr && static_cast<Component*>(action_) == &gone) {
    action_ = nullptr;
    Notify(Aspect::Action);
  }
  Control::Unlinked(gone);
}

void Button::Click() {
  if (OnClick) {
    OnClick();
  } else if (action_ != nullptr) {
    action_->Execute();
  }
}

bool Button::UserClick() {
  if (!AcceptsUserInput()) return false;
  Click();
  return true;
}

// ---- RadioButton -----------------------------------------------------------------------------

RadioButton::RadioButton(std::string name, std::string caption) : Control(std::move(name)) {
  SetCaption(std::move(caption));
}

void RadioButton::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  Notify(Aspect::Checked);
  if (!checked) return;
  if (Container* parent = Parent()) {
    // Copy: unchecking notifies observers, which may change the children.
    const std::vector<Control*> siblings = parent->Children();
    for (Control* sibling : siblings) {
      auto* radio = dynamic_cast<RadioButton*>(sibling);
      if (radio != nullptr && radio != this) radio->SetChecked(false);
    }
  }
  if (OnClick) OnClick();
}

bool RadioButton::UserClick() {
  if (!AcceptsUserInput()) return false;
  if (checked_) {
    if (OnClick) OnClick();
  } else {
    SetChecked(true);
  }
  return true;
}

// ---- CheckBox --------------------------------------------------------------------------------

CheckBox::CheckBox(std::string name, std::string caption) : Control(std::move(name)) {
  SetCaption(std::move(caption));
}

void CheckBox::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  Notify(Aspect::Checked);
  if (OnClick) OnClick();
}

bool CheckBox::UserClick() {
  if (!AcceptsUserInput()) return false;
  SetChecked(!checked_);
  return true;
}

}  // namespace ombrant::ui
