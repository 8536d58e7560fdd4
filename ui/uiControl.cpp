#include "ui/uiControl.h"

#include <algorithm>
#include <typeinfo>

#include "ui/uiActions.h"

namespace ombrant::ui {

// ---- Component -------------------------------------------------------------------------------

Component::Component(std::string name) : name_(std::move(name)) {}

Component::~Component() {
  const std::vector<Component*> links = std::move(links_);
  links_.clear();
  for (Component* other : links) {
    std::erase(other->links_, this);
    other->Unlinked(*this);
  }
}

void Component::AddObserver(Observer& observer) {
  if (std::find(observers_.begin(), observers_.end(), &observer) == observers_.end()) {
    observers_.push_back(&observer);
  }
}

void Component::RemoveObserver(Observer& observer) {
  auto it = std::find(observers_.begin(), observers_.end(), &observer);
  if (it == observers_.end()) return;
  // Mid-delivery the list is being walked by index: leave a hole and compact afterwards.
  if (delivering_ > 0) {
    *it = nullptr;
  } else {
    observers_.erase(it);
  }
}

void Component::BeginUpdate() { ++updateCount_; }

void Component::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0 && !pending_.Empty()) {
    const Changes what = pending_;
    pending_ = {};
    Notify(what);
  }
}

void Component::Notify(Changes what) {
  if (what.Empty()) return;
  if (updateCount_ > 0) {
    pending_ |= what;
    return;
  }
  for (Component* target = this; target != nullptr; target = target->NotifyParent()) {
    target->Deliver(*this, what);
  }
}

void Component::Deliver(Component& source, Changes what) {
  ++delivering_;
  // Observers added during the delivery hear from the next change on.
  const std::size_t count = observers_.size();
  for (std::size_t i = 0; i < count && i < observers_.size(); ++i) {
    if (Observer* observer = observers_[i]) observer->Changed(source, what);
  }
  if (--delivering_ == 0) std::erase(observers_, nullptr);
}

void Component::Link(Component& other) {
  if (&other == this) return;
  if (std::find(links_.begin(), links_.end(), &other) == links_.end()) links_.push_back(&other);
  if (std::find(other.links_.begin(), other.links_.end(), this) == other.links_.end()) {
    other.links_.push_back(this);
  }
}

void Component::Unlink(Component& other) {
  std::erase(links_, &other);
  std::erase(other.links_, this);
}

void Component::Unlinked(Component& /*gone*/) {}

// ---- Access keys -----------------------------------------------------------------------------

namespace {

char32_t DecodeAt(std::string_view text, std::size_t pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) return lead;
  int extra = 0;
  char32_t cp = 0;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    cp = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    cp = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    cp = lead & 0x07;
  } else {
    return 0xFFFD;
  }
  for (int i = 1; i <= extra; ++i) {
    if (pos + i >= text.size() || (byte(pos + i) & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | (byte(pos + i) & 0x3F);
  }
  return cp;
}

}  // namespace

char32_t AccessKey(std::string_view caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    char32_t key = DecodeAt(caption, i + 1);
    if (key >= U'a' && key <= U'z') key -= U'a' - U'A';
    return key;
  }
  return 0;
}

// ---- Control ---------------------------------------------------------------------------------

Control::Control(std::string name) : Component(std::move(name)) {}

Control::~Control() {
  if (parent_ != nullptr) {
    ForgetFocusWithin(*this);
    Container* parent = parent_;
    parent_ = nullptr;
    parent->RemoveChild(*this);
  }
}

void Control::SetParent(Container* parent) {
  if (parent == parent_) return;
  // A control cannot go inside itself.
  if (parent != nullptr && Contains(parent)) return;
  if (parent_ != nullptr) {
    ForgetFocusWithin(*this);
    Container* old = parent_;
    parent_ = nullptr;
    old->RemoveChild(*this);
  }
  if (parent != nullptr) {
    focused_ = nullptr;  // only a root keeps track of the focus
    parent_ = parent;
    parent->AddChild(*this);
  }
}

Control& Control::Root() {
  Control* c = this;
  while (c->parent_ != nullptr) c = c->parent_;
  return *c;
}

const Control& Control::Root() const {
  const Control* c = this;
  while (c->parent_ != nullptr) c = c->parent_;
  return *c;
}

void Control::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  Notify(Aspect::Caption);
}

void Control::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Notify(Aspect::Visible);
  RealignParentIfAligned();
}

void Control::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Notify(Aspect::Enabled);
}

void Control::SetHint(std::string hint) {
  if (hint == hint_) return;
  hint_ = std::move(hint);
  Notify(Aspect::Hint);
}

void Control::SetBounds(Rect bounds) {
  if (ApplyBounds(bounds)) RealignParentIfAligned();
}

bool Control::ApplyBounds(Rect bounds) {
  bounds.width = std::max(bounds.width, 0);
  bounds.height = std::max(bounds.height, 0);
  if (bounds == bounds_) return false;
  const int dw = bounds.width - bounds_.width;
  const int dh = bounds.height - bounds_.height;
  bounds_ = bounds;
  Notify(Aspect::Bounds);
  if (dw != 0 || dh != 0) ClientResized(dw, dh);
  return true;
}

void Control::ClientResized(int /*dw*/, int /*dh*/) {}

void Control::SetAnchors(AnchorSet anchors) {
  if (anchors == anchors_) return;
  anchors_ = anchors;
  Notify(Aspect::Layout);
}

void Control::SetAlign(Alignment align) {
  if (align == align_) return;
  align_ = align;
  Notify(Aspect::Layout);
  if (parent_ != nullptr) parent_->Realign();
}

void Control::RealignParentIfAligned() {
  if (parent_ != nullptr && align_ != Alignment::None) parent_->Realign();
}

int Control::TabOrder() const {
  if (parent_ == nullptr) return -1;
  const auto& siblings = parent_->children_;
  return static_cast<int>(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

void Control::SetTabOrder(int order) {
  if (parent_ == nullptr) return;
  auto& siblings = parent_->children_;
  const int last = static_cast<int>(siblings.size()) - 1;
  order = std::clamp(order, 0, last);
  const int current = TabOrder();
  if (order == current) return;
  siblings.erase(siblings.begin() + current);
  siblings.insert(siblings.begin() + order, this);
  const int from = std::min(order, current);
  const int to = std::max(order, current);
  // Copy: a notification may reach code that reorders again.
  const std::vector<Control*> moved(siblings.begin() + from, siblings.begin() + to + 1);
  for (Control* c : moved) c->Notify(Aspect::TabOrder);
}

void Control::SetPopupMenu(PopupMenu* menu) {
  if (menu == popup_) return;
  popup_ = menu;
  if (menu != nullptr) Link(*menu);
  Notify(Aspect::Popup);
}

PopupMenu* Control::EffectivePopupMenu() const {
  for (const Control* c = this; c != nullptr; c = c->parent_) {
    if (c->popup_ != nullptr) return c->popup_;
  }
  return nullptr;
}

bool Control::Showing() const {
  return visible_ && (parent_ == nullptr || parent_->Showing());
}

void Control::EndBlockingInput() {
  int& blocks = Root().inputBlocks_;
  if (blocks > 0) --blocks;
}

bool Control::EffectivelyEnabled() const {
  for (const Control* c = this; c != nullptr; c = c->parent_) {
    if (!c->enabled_) return false;
  }
  return true;
}

bool Control::SetFocus() {
  if (!CanFocus()) return false;
  Control& root = Root();
  Control* old = root.focused_;
  if (old == this) return true;
  root.focused_ = this;
  if (old != nullptr) old->Notify(Aspect::Focus);
  Notify(Aspect::Focus);
  return true;
}

bool Control::Focused() const { return Root().focused_ == this; }

Component* Control::NotifyParent() const { return parent_; }

void Control::Unlinked(Component& gone) {
  if (popup_ != nullptr && static_cast<Component*>(popup_) == &gone) {
    popup_ = nullptr;
    Notify(Aspect::Popup);
  }
}

bool Control::Contains(const Control* other) const {
  for (const Control* c = other; c != nullptr; c = c->parent_) {
    if (c == this) return true;
  }
  return false;
}

void Control::ForgetFocusWithin(Control& subtree) {
  Control& root = Root();
  if (root.focused_ != nullptr && subtree.Contains(root.focused_)) root.focused_ = nullptr;
}

// ---- Container -------------------------------------------------------------------------------

Container::Container(std::string name) : Control(std::move(name)) {}

Container::~Container() {
  for (Control* child : children_) ForgetFocusWithin(*child);
  for (Control* child : children_) {
    child->parent_ = nullptr;
    child->focused_ = nullptr;
  }
  children_.clear();
}

Control* Container::FindControl(std::string_view name) {
  if (Name() == name) return this;
  for (Control* child : children_) {
    if (auto* container = dynamic_cast<Container*>(child)) {
      if (Control* found = container->FindControl(name)) return found;
    } else if (child->Name() == name) {
      return child;
    }
  }
  return nullptr;
}

void Container::SetBorderWidth(int width) {
  width = std::max(width, 0);
  if (width == borderWidth_) return;
  const int delta = 2 * (borderWidth_ - width);
  borderWidth_ = width;
  Notify(Aspect::Layout);
  ClientResized(delta, delta);
}

int Container::ClientWidth() const { return std::max(0, Bounds().width - 2 * borderWidth_); }

int Container::ClientHeight() const { return std::max(0, Bounds().height - 2 * borderWidth_); }

void Container::AddChild(Control& child) {
  children_.push_back(&child);
  ChildAdded(child);
  Notify(Aspect::Children);
  if (child.align_ != Alignment::None) Realign();
}

void Container::RemoveChild(Control& child) {
  std::erase(children_, &child);
  ChildRemoved(child);
  Notify(Aspect::Children);
  Realign();
}

void Container::ClientResized(int dw, int dh) {
  for (Control* child : children_) {
    if (child->align_ != Alignment::None) continue;
    const AnchorSet& a = child->anchors_;
    Rect b = child->bounds_;
    if (a.left && a.right) {
      b.width += dw;
    } else if (a.right) {
      b.left += dw;
    } else if (!a.left) {
      b.left += dw / 2;
    }
    if (a.top && a.bottom) {
      b.height += dh;
    } else if (a.bottom) {
      b.top += dh;
    } else if (!a.top) {
      b.top += dh / 2;
    }
    child->ApplyBounds(b);
  }
  Realign();
}

void Container::Realign() {
  if (aligning_) return;
  aligning_ = true;
  Rect r{0, 0, ClientWidth(), ClientHeight()};
  const auto aligned = [&](Alignment align) {
    std::vector<Control*> list;
    for (Control* child : children_) {
      if (child->visible_ && child->align_ == align) list.push_back(child);
    }
    return list;
  };

  auto tops = aligned(Alignment::Top);
  std::stable_sort(tops.begin(), tops.end(),
                   [](Control* a, Control* b) { return a->bounds_.top < b->bounds_.top; });
  for (Control* c : tops) {
    const int h = c->bounds_.height;
    c->ApplyBounds({r.left, r.top, r.width, h});
    r.top += h;
    r.height = std::max(0, r.height - h);
  }

  // The one lowest down keeps the bottom edge.
  auto bottoms = aligned(Alignment::Bottom);
  std::stable_sort(bottoms.begin(), bottoms.end(),
                   [](Control* a, Control* b) { return a->bounds_.Bottom() > b->bounds_.Bottom(); });
  for (Control* c : bottoms) {
    const int h = c->bounds_.height;
    c->ApplyBounds({r.left, r.top + r.height - h, r.width, h});
    r.height = std::max(0, r.height - h);
  }

  auto lefts = aligned(Alignment::Left);
  std::stable_sort(lefts.begin(), lefts.end(),
                   [](Control* a, Control* b) { return a->bounds_.left < b->bounds_.left; });
  for (Control* c : lefts) {
    const int w = c->bounds_.width;
    c->ApplyBounds({r.left, r.top, w, r.height});
    r.left += w;
    r.width = std::max(0, r.width - w);
  }

  auto rights = aligned(Alignment::Right);
  std::stable_sort(rights.begin(), rights.end(),
                   [](Control* a, Control* b) { return a->bounds_.Right() > b->bounds_.Right(); });
  for (Control* c : rights) {
    const int w = c->bounds_.width;
    c->ApplyBounds({r.left + r.width - w, r.top, w, r.height});
    r.width = std::max(0, r.width - w);
  }

  for (Control* c : aligned(Alignment::Client)) c->ApplyBounds(r);
  aligning_ = false;
}

}  // namespace ombrant::ui
