#include "ui/uiKeyboard.h"

#include <algorithm>

#include "ui/uiButtons.h"
#include "ui/uiPageControl.h"
#include "ui/uiText.h"

namespace ombrant::ui {

namespace {

// Every control under `root` in tree order (root excluded). Whether a control can be reached
// through its ancestors is left to CanFocus and CanInteract, which look at all of them.
void WalkAll(Control& root, std::vector<Control*>& out) {
  auto* container = dynamic_cast<Container*>(&root);
  if (container == nullptr) return;
  for (Control* child : container->Children()) {
    out.push_back(child);
    WalkAll(*child, out);
  }
}

char32_t Upper(char32_t key) { return key >= U'a' && key <= U'z' ? key - (U'a' - U'A') : key; }

bool IsPageTabReachable(const TabSheet& page) {
  const PageControl* pages = page.Pages();
  return pages != nullptr && page.TabVisible() && page.Visible() && pages->CanInteract();
}

}  // namespace

bool IsTabStop(const Control& control) {
  if (!control.CanFocus()) return false;
  const auto* radio = dynamic_cast<const RadioButton*>(&control);
  if (radio == nullptr || radio->Checked() || radio->Parent() == nullptr) return true;
  // An unchecked option is a stop only while no option of its group is chosen.
  for (const Control* sibling : radio->Parent()->Children()) {
    const auto* other = dynamic_cast<const RadioButton*>(sibling);
    if (other != nullptr && other->Checked() && other->CanFocus()) return false;
  }
  return true;
}

std::vector<Control*> TabStops(Control& root) {
  std::vector<Control*> all;
  WalkAll(root, all);
  std::vector<Control*> stops;
  std::copy_if(all.begin(), all.end(), std::back_inserter(stops),
               [](Control* c) { return IsTabStop(*c); });
  return stops;
}

Control* NextTabStop(Control& root, const Control* from, bool backward) {
  std::vector<Control*> order;
  WalkAll(root, order);
  if (backward) std::reverse(order.begin(), order.end());
  const auto start = std::find(order.begin(), order.end(), from);
  // Rotate so the search begins just after `from` (or at the start without one).
  std::vector<Control*> ring;
  if (start != order.end()) {
    ring.insert(ring.end(), start + 1, order.end());
    ring.insert(ring.end(), order.begin(), start + 1);
  } else {
    ring = order;
  }
  const auto found = std::find_if(ring.begin(), ring.end(), [](Control* c) { return IsTabStop(*c); });
  return found != ring.end() ? *found : nullptr;
}

RadioButton* NextRadio(const RadioButton& from, bool backward) {
  const Container* parent = from.Parent();
  if (parent == nullptr) return nullptr;
  std::vector<RadioButton*> radios;
  for (Control* child : parent->Children()) {
    if (auto* radio = dynamic_cast<RadioButton*>(child)) radios.push_back(radio);
  }
  if (backward) std::reverse(radios.begin(), radios.end());
  const auto at = std::find(radios.begin(), radios.end(), &from);
  if (at == radios.end()) return nullptr;
  const std::size_t n = radios.size();
  const std::size_t pos = static_cast<std::size_t>(at - radios.begin());
  for (std::size_t step = 1; step < n; ++step) {
    RadioButton* candidate = radios[(pos + step) % n];
    if (candidate->CanFocus()) return candidate;
  }
  return nullptr;
}

Control* FindAccessKey(Control& root, char32_t key) {
  key = Upper(key);
  if (key == 0) return nullptr;
  std::vector<Control*> all;
  WalkAll(root, all);
  for (Control* c : all) {
    if (AccessKey(c->Caption()) != key) continue;
    if (auto* page = dynamic_cast<TabSheet*>(c)) {
      if (IsPageTabReachable(*page)) return page;
      continue;
    }
    if (c->CanInteract()) return c;
  }
  return nullptr;
}

bool PressEnter(Form& window) {
  if (auto* focused = dynamic_cast<Button*>(window.FocusedControl())) {
    if (focused->AcceptsUserInput()) return focused->UserClick();
  }
  Button* fallback = window.DefaultButton();
  return fallback != nullptr && fallback->UserClick();
}

bool PressAccessKey(Control& root, char32_t key) {
  Control* target = FindAccessKey(root, key);
  if (target == nullptr) return false;
  if (auto* page = dynamic_cast<TabSheet*>(target)) {
    PageControl* pages = page->Pages();
    return pages->UserSelectTab(pages->TabIndexOf(*page));
  }
  if (auto* label = dynamic_cast<Label*>(target)) return label->ActivateAccessKey();
  if (auto* button = dynamic_cast<Button*>(target)) return button->UserClick();
  if (auto* radio = dynamic_cast<RadioButton*>(target)) {
    radio->SetFocus();
    return radio->UserClick();
  }
  if (auto* box = dynamic_cast<CheckBox*>(target)) {
    box->SetFocus();
    return box->UserClick();
  }
  return target->SetFocus();
}

}  // namespace ombrant::ui
