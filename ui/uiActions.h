// Actions and pop-up menus.
//
// An action carries a caption, an enabled and a visible flag and a handler; buttons and menu
// items bound to it take over each of these whenever the action changes it (and once when they
// are bound). They may still change their own copy afterwards, as the window does with a button's
// visibility.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/uiControl.h"

namespace ombrant::ui {

class Action : public Component {
 public:
  explicit Action(std::string name = {}, std::string caption = {});

  [[nodiscard]] const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  [[nodiscard]] bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  [[nodiscard]] bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  [[nodiscard]] const std::string& Hint() const { return hint_; }
  void SetHint(std::string hint);

  std::function<void()> OnExecute;
  // Runs OnExecute only while the action is enabled; true if it ran.
  bool Execute();

 private:
  std::string caption_;
  bool enabled_ = true;
  bool visible_ = true;
  std::string hint_;
};

class PopupMenu;

class MenuItem : public Component, private Observer {
 public:
  explicit MenuItem(std::string name = {}, std::string caption = {});
  ~MenuItem() override;

  [[nodiscard]] const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  [[nodiscard]] bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  [[nodiscard]] bool Visible() const { return visible_; }
  void SetVisible(bool visible);

  // Binding copies the action's caption, enabled and visible state; null unbinds.
  void SetAction(Action* action);
  [[nodiscard]] Action* BoundAction() const { return action_; }

  // Runs OnClick if set, else executes the bound action.
  std::function<void()> OnClick;
  void Click();
  // A user's pick: refused (false) while the item is disabled or hidden.
  bool UserClick();

  [[nodiscard]] PopupMenu* Menu() const { return menu_; }

 protected:
  [[nodiscard]] Component* NotifyParent() const override;
  void Unlinked(Component& gone) override;

 private:
  friend class PopupMenu;
  void Changed(Component& source, Changes what) override;

  std::string caption_;
  bool enabled_ = true;
  bool visible_ = true;
  Action* action_ = nullptr;
  PopupMenu* menu_ = nullptr;
};

class PopupMenu : public Component {
 public:
  explicit PopupMenu(std::string name = {});
  ~PopupMenu() override;

  // Appends the item (moving it out of any other menu).
  void Add(MenuItem& item);
  void Remove(MenuItem& item);
  [[nodiscard]] const std::vector<MenuItem*>& Items() const { return items_; }

 private:
  std::vector<MenuItem*> items_;
};

}  // namespace ombrant::ui
