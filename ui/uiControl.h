// The base of the portable control models: components with change notification, controls with
// the state every window control shares, and containers that lay out their children.
//
// The wizard's logic works on these models only. A binder mirrors them into real controls by
// observing them, and feeds user actions back through the User* operations, which refuse what a
// user could not do (a click on a hidden or disabled control). Code-side setters never refuse.
//
// Setting a property to the value it already has notifies nobody; this is what lets a binder
// push a model change into a control and hear the control's echo without looping.
//
// Controls never own each other: a window declares its controls as members and wires parents,
// actions, image lists and pop-up menus by reference. Every such reference is cleared when its
// target is destroyed, whatever the destruction order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ombrant::ui {

// One kind of change. A batch (BeginUpdate/EndUpdate) reports the union of its changes at once.
enum class Aspect : std::uint32_t {
  Caption = 1u << 0,     // caption, header or tab text
  Text = 1u << 1,        // edit text, rich text
  Visible = 1u << 2,
  Enabled = 1u << 3,
  Focus = 1u << 4,       // sent to the control that gained and to the one that lost the focus
  Bounds = 1u << 5,
  Layout = 1u << 6,      // alignment, anchors, border width, size constraints
  TabOrder = 1u << 7,
  Hint = 1u << 8,
  Checked = 1u << 9,     // check box or radio button state
  Items = 1u << 10,      // items added, removed or edited (lists, combo boxes, menus, images)
  Selection = 1u << 11,  // selected item or entry
  ItemChecks = 1u << 12, // list-view check marks
  Columns = 1u << 13,
  Groups = 1u << 14,
  Options = 1u << 15,    // presentation flags: view style, word wrap, read-only, font, ...
  Images = 1u << 16,     // which image lists are attached
  ActivePage = 1u << 17,
  Tabs = 1u << 18,       // a page's tab shown or hidden
  Children = 1u << 19,   // a child added or removed
  Popup = 1u << 20,      // pop-up menu attached or detached
  Action = 1u << 21,     // bound action changed
  Closed = 1u << 22,
};

class Changes {
 public:
  constexpr Changes() = default;
  // Implicit: one aspect is a set of one.
  constexpr Changes(Aspect a) : bits_(static_cast<std::uint32_t>(a)) {}

  [[nodiscard]] constexpr bool Has(Aspect a) const {
    return (bits_ & static_cast<std::uint32_t>(a)) != 0;
  }
  [[nodiscard]] constexpr bool Empty() const { return bits_ == 0; }
  [[nodiscard]] constexpr std::uint32_t Bits() const { return bits_; }

  constexpr Changes& operator|=(Changes other) {
    bits_ |= other.bits_;
    return *this;
  }
  friend constexpr Changes operator|(Changes a, Changes b) { return a |= b; }
  friend constexpr bool operator==(Changes a, Changes b) = default;

 private:
  std::uint32_t bits_ = 0;
};

constexpr Changes operator|(Aspect a, Aspect b) { return Changes(a) | Changes(b); }

class Component;

// The change hook. Observers must not throw: notifications are also sent from EndUpdate.
class Observer {
 public:
  // `source` is the component that changed. Observers of a control also hear every change of its
  // descendants (and of a menu's items), so a binder can subscribe once to the window.
  virtual void Changed(Component& source, Changes what) = 0;

 protected:
  ~Observer() = default;
};

class Component {
 public:
  explicit Component(std::string name = {});
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;
  virtual ~Component();

  [[nodiscard]] const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }

  // An observer must be removed before it is destroyed; removing one during a notification is safe.
  void AddObserver(Observer& observer);
  void RemoveObserver(Observer& observer);

  // Nested; the outermost EndUpdate sends one notification with every aspect changed inside, or
  // none if nothing changed. Event handlers still run inside the bracket.
  void BeginUpdate();
  void EndUpdate();
  [[nodiscard]] bool Updating() const { return updateCount_ > 0; }

 protected:
  void Notify(Changes what);
  // Where this component's notifications travel next: a control's parent, a menu item's menu.
  [[nodiscard]] virtual Component* NotifyParent() const { return nullptr; }

  // Cross references that must not dangle. Linked components are told through Unlinked when the
  // other one is destroyed; Unlinked must only compare the address, the object is half gone.
  void Link(Component& other);
  void Unlink(Component& other);
  virtual void Unlinked(Component& gone);

 private:
  void Deliver(Component& source, Changes what);

  std::string name_;
  std::vector<Observer*> observers_;
  int delivering_ = 0;
  int updateCount_ = 0;
  Changes pending_;
  std::vector<Component*> links_;
};

// Begin/EndUpdate as a scope.
class UpdateGuard {
 public:
  explicit UpdateGuard(Component& component) : component_(component) { component_.BeginUpdate(); }
  ~UpdateGuard() { component_.EndUpdate(); }
  UpdateGuard(const UpdateGuard&) = delete;
  UpdateGuard& operator=(const UpdateGuard&) = delete;

 private:
  Component& component_;
};

// Pixels at 96 DPI, relative to the parent's client area.
struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  [[nodiscard]] int Right() const { return left + width; }
  [[nodiscard]] int Bottom() const { return top + height; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// Which sides keep their distance to the parent's edges when the parent is resized.
struct AnchorSet {
  bool left = true;
  bool top = true;
  bool right = false;
  bool bottom = false;

  static constexpr AnchorSet All() { return {true, true, true, true}; }
  static constexpr AnchorSet LeftBottom() { return {true, false, false, true}; }
  static constexpr AnchorSet RightBottom() { return {false, false, true, true}; }
  static constexpr AnchorSet TopRight() { return {false, true, true, false}; }
  friend bool operator==(const AnchorSet&, const AnchorSet&) = default;
};

// Docking to a side of the parent's client area; Client takes what the others leave.
enum class Alignment { None, Top, Bottom, Left, Right, Client };

// The access key of a caption: the character after a single "&" ("&&" is a literal "&"),
// upper-cased for ASCII letters; 0 without one.
[[nodiscard]] char32_t AccessKey(std::string_view caption);

class Container;
class PopupMenu;

class Control : public Component {
 public:
  explicit Control(std::string name = {});
  ~Control() override;

  // Appends the control to the parent's children (and so to the end of its tab order); null
  // detaches it.
  void SetParent(Container* parent);
  [[nodiscard]] Container* Parent() const { return parent_; }
  // The topmost ancestor (the control itself without a parent); it keeps track of the focus.
  [[nodiscard]] Control& Root();
  [[nodiscard]] const Control& Root() const;

  [[nodiscard]] const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  [[nodiscard]] bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  [[nodiscard]] bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  [[nodiscard]] const std::string& Hint() const { return hint_; }
  void SetHint(std::string hint);

  [[nodiscard]] const Rect& Bounds() const { return bounds_; }
  // An aligned control gets the size its alignment gives it, whatever is asked here.
  void SetBounds(Rect bounds);
  [[nodiscard]] const AnchorSet& Anchors() const { return anchors_; }
  void SetAnchors(AnchorSet anchors);
  [[nodiscard]] Alignment Align() const { return align_; }
  void SetAlign(Alignment align);

  // Position among the parent's children; -1 without a parent. Setting it moves the control
  // there (clamped) and shifts the siblings in between.
  [[nodiscard]] int TabOrder() const;
  void SetTabOrder(int order);

  [[nodiscard]] PopupMenu* Popup() const { return popup_; }
  void SetPopupMenu(PopupMenu* menu);
  // The menu a right click on this control opens: its own, else the nearest ancestor's.
  [[nodiscard]] PopupMenu* EffectivePopupMenu() const;

  // Visible here and in every ancestor (and on the active page, inside a page control).
  [[nodiscard]] virtual bool Showing() const;
  [[nodiscard]] bool EffectivelyEnabled() const;
  // What a user can reach: showing and enabled.
  [[nodiscard]] bool CanInteract() const { return Showing() && EffectivelyEnabled(); }
  // While the window runs an operation its controls refuse the user's actions (the User*
  // operations), however the real window hands them over: the operation is never re-entered.
  // Changes made by code still run. Counted, so operations may nest.
  void BeginBlockingInput() { ++Root().inputBlocks_; }
  void EndBlockingInput();
  [[nodiscard]] bool InputBlocked() const { return Root().inputBlocks_ > 0; }
  // What a user's action may reach now.
  [[nodiscard]] bool AcceptsUserInput() const { return CanInteract() && !InputBlocked(); }

  // Labels, panels, group boxes and pictures never take the focus.
  [[nodiscard]] virtual bool TakesFocus() const { return true; }
  [[nodiscard]] bool CanFocus() const { return TakesFocus() && CanInteract(); }
  // Refused (false, focus unchanged) for a control that cannot take the focus. The focus stays
  // put when the focused control stops showing; the real window moves it, and the binder reports
  // where to.
  bool SetFocus();
  [[nodiscard]] bool Focused() const;
  // The focused control of this control's window, or null.
  [[nodiscard]] Control* FocusedControl() const { return Root().focused_; }

 protected:
  [[nodiscard]] Component* NotifyParent() const override;
  void Unlinked(Component& gone) override;
  // Sets the bounds without asking the parent to realign; containers lay out their children.
  bool ApplyBounds(Rect bounds);
  virtual void ClientResized(int dw, int dh);

 private:
  friend class Container;
  [[nodiscard]] bool Contains(const Control* other) const;
  void ForgetFocusWithin(Control& subtree);
  void RealignParentIfAligned();

  Container* parent_ = nullptr;
  std::string caption_;
  bool visible_ = true;
  bool enabled_ = true;
  std::string hint_;
  Rect bounds_;
  AnchorSet anchors_;
  Alignment align_ = Alignment::None;
  PopupMenu* popup_ = nullptr;
  Control* focused_ = nullptr;  // used at the root only
  int inputBlocks_ = 0;         // used at the root only
};

class Container : public Control {
 public:
  explicit Container(std::string name = {});
  ~Container() override;

  // In tab order.
  [[nodiscard]] const std::vector<Control*>& Children() const { return children_; }
  // Searches the whole subtree (this container included) for an exact name.
  [[nodiscard]] Control* FindControl(std::string_view name);

  // An inner border: children are placed inside it.
  [[nodiscard]] int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int width);
  [[nodiscard]] virtual int ClientWidth() const;
  [[nodiscard]] virtual int ClientHeight() const;

 protected:
  // Places the aligned children: tops by their top, bottoms from the bottom edge by their
  // bottom, then lefts, rights, and the client-aligned ones in what is left. Hidden children
  // take no space.
  virtual void Realign();
  void ClientResized(int dw, int dh) override;
  virtual void ChildAdded(Control& /*child*/) {}
  // The child is detached already and may be half destroyed: compare its address only.
  virtual void ChildRemoved(Control& /*child*/) {}
  // Places a child without asking this container to realign.
  static bool PlaceChild(Control& child, Rect bounds) { return child.ApplyBounds(bounds); }

 private:
  friend class Control;
  void AddChild(Control& child);
  void RemoveChild(Control& child);

  std::vector<Control*> children_;
  int borderWidth_ = 0;
  bool aligning_ = false;
};

}  // namespace ombrant::ui
