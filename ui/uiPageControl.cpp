#include "ui/uiPageControl.h"

#include <algorithm>
#include <stdexcept>

namespace ombrant::ui {

// ---- TabSheet --------------------------------------------------------------------------------

TabSheet::TabSheet(std::string name, std::string caption) : Container(std::move(name)) {
  SetCaption(std::move(caption));
}

// Leave the page control while this is still a page, so it can pick another active page.
TabSheet::~TabSheet() { SetParent(nullptr); }

void TabSheet::SetTabVisible(bool visible) {
  if (visible == tabVisible_) return;
  tabVisible_ = visible;
  Notify(Aspect::Tabs);
}

PageControl* TabSheet::Pages() const { return dynamic_cast<PageControl*>(Parent()); }

int TabSheet::PageIndex() const {
  PageControl* pages = Pages();
  if (pages == nullptr) return -1;
  int index = 0;
  for (Control* child : pages->Children()) {
    if (child == this) return index;
    if (dynamic_cast<TabSheet*>(child) != nullptr) ++index;
  }
  return -1;
}

bool TabSheet::Showing() const {
  PageControl* pages = Pages();
  return Visible() && pages != nullptr && pages->ActivePage() == this && pages->Showing();
}

// ---- PageControl -----------------------------------------------------------------------------

PageControl::PageControl(std::string name) : Container(std::move(name)) {}

void PageControl::AddPage(TabSheet& page) { page.SetParent(this); }

int PageControl::PageCount() const {
  return static_cast<int>(std::count_if(Children().begin(), Children().end(), [](Control* c) {
    return dynamic_cast<TabSheet*>(c) != nullptr;
  }));
}

TabSheet& PageControl::Page(int index) const {
  if (index >= 0) {
    for (Control* child : Children()) {
      auto* page = dynamic_cast<TabSheet*>(child);
      if (page != nullptr && index-- == 0) return *page;
    }
  }
  throw std::out_of_range("page index out of range");
}

int PageControl::ActivePageIndex() const { return active_ != nullptr ? active_->PageIndex() : -1; }

bool PageControl::SetActivePage(TabSheet* page) {
  if (page == nullptr || page->Parent() != this) return false;
  if (page != active_) {
    active_ = page;
    Notify(Aspect::ActivePage);
  }
  return true;
}

bool PageControl::SetActivePageIndex(int index) {
  if (index < 0 || index >= PageCount()) return false;
  return SetActivePage(&Page(index));
}

int PageControl::TabCount() const {
  int count = 0;
  for (Control* child : Children()) {
    auto* page = dynamic_cast<TabSheet*>(child);
    if (page != nullptr && page->TabVisible()) ++count;
  }
  return count;
}

TabSheet* PageControl::TabPage(int tabIndex) const {
  if (tabIndex < 0) return nullptr;
  for (Control* child : Children()) {
    auto* page = dynamic_cast<TabSheet*>(child);
    if (page != nullptr && page->TabVisible() && tabIndex-- == 0) return page;
  }
  return nullptr;
}

int PageControl::TabIndexOf(const TabSheet& page) const {
  int index = 0;
  for (Control* child : Children()) {
    auto* p = dynamic_cast<TabSheet*>(child);
    if (p == nullptr || !p->TabVisible()) continue;
    if (p == &page) return index;
    ++index;
  }
  return -1;
}

bool PageControl::UserSelectTab(int tabIndex) {
  TabSheet* page = TabPage(tabIndex);
  if (page == nullptr || !AcceptsUserInput()) return false;
  if (page == active_) return true;
  SetActivePage(page);
  if (OnChange) OnChange();
  return true;
}

void PageControl::SetInsets(PageInsets insets) {
  if (insets == insets_) return;
  insets_ = insets;
  Notify(Aspect::Layout);
  Realign();
}

void PageControl::PlacePage(TabSheet& page) {
  PlaceChild(page, {insets_.left, insets_.top,
                    std::max(0, Bounds().width - insets_.left - insets_.right),
                    std::max(0, Bounds().height - insets_.top - insets_.bottom)});
}

void PageControl::Realign() {
  for (Control* child : Children()) {
    if (auto* page = dynamic_cast<TabSheet*>(child)) PlacePage(*page);
  }
  Container::Realign();
}

void PageControl::ChildAdded(Control& child) {
  auto* page = dynamic_cast<TabSheet*>(&child);
  if (page == nullptr) return;
  PlacePage(*page);
  if (active_ == nullptr) {
    active_ = page;
    Notify(Aspect::ActivePage);
  }
}

void PageControl::ChildRemoved(Control& child) {
  if (active_ == nullptr || static_cast<Control*>(active_) != &child) return;
  active_ = PageCount() > 0 ? &Page(0) : nullptr;
  Notify(Aspect::ActivePage);
}

}  // namespace ombrant::ui
