// Push buttons, radio buttons and check boxes.
//
// The rules the window relies on:
// - checking a radio button by code unchecks its siblings (radio buttons with the same parent)
//   and runs its click handler; unchecking one by code runs nothing, and neither do the siblings
//   it unchecks;
// - changing a check box's state by code runs its click handler, in either direction;
// - setting either to the state it already has runs nothing;
// - a user's click on a radio button checks it and runs the handler (also when it was checked
//   already, as the system reports every click); on a check box it toggles the state, which runs
//   the handler once.
// Handlers see the new state. Handlers that set other boxes must guard themselves against
// running each other in circles: the models do not.
#pragma once

#include <functional>
#include <string>

#include "ui/uiControl.h"

namespace ombrant::ui {

class Action;

class Button : public Control, private Observer {
 public:
  explicit Button(std::string name = {}, std::string caption = {});
  ~Button() override;

  // Binding copies the action's caption, enabled and visible state, and follows each of them
  // from then on; null unbinds.
  void SetAction(Action* action);
  [[nodiscard]] Action* BoundAction() const { return action_; }

  // Runs OnClick if set, else executes the bound action (which runs only while it is enabled).
  std::function<void()> OnClick;
  void Click();
  // Refused (false) unless the button can be reached.
  bool UserClick();

 protected:
  void Unlinked(Component& gone) override;

 private:
  void Changed(Component& source, Changes what) override;

  Action* action_ = nullptr;
};

class RadioButton : public Control {
 public:
  explicit RadioButton(std::string name = {}, std::string caption = {});

  [[nodiscard]] bool Checked() const { return checked_; }
  void SetChecked(bool checked);

  std::function<void()> OnClick;
  // Refused (false) unless the button can be reached.
  bool UserClick();

 private:
  bool checked_ = false;
};

class CheckBox : public Control {
 public:
  explicit CheckBox(std::string name = {}, std::string caption = {});

  [[nodiscard]] bool Checked() const { return checked_; }
  void SetChecked(bool checked);

  std::function<void()> OnClick;
  // Refused (false) unless the box can be reached.
  bool UserClick();

 private:
  bool checked_ = false;
};

}  // namespace ombrant::ui
