// A page control: pages in order, each with a tab that code can hide.
//
// Pages are the page control's children, in page order. Code may activate any page, also one
// whose tab is hidden; that runs no handler. A user can only click visible tabs; a click that
// changes the page runs OnChange afterwards. Tabs are numbered among the visible ones only, as
// the system's tab strip shows them; pages are numbered among all.
#pragma once

#include <functional>
#include <string>

#include "ui/uiControl.h"

namespace ombrant::ui {

class PageControl;

class TabSheet : public Container {
 public:
  explicit TabSheet(std::string name = {}, std::string caption = {});
  ~TabSheet() override;

  [[nodiscard]] bool TakesFocus() const override { return false; }

  [[nodiscard]] bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool visible);

  // The page control holding this page, or null.
  [[nodiscard]] PageControl* Pages() const;
  // Position among all pages, or -1.
  [[nodiscard]] int PageIndex() const;

  // Only the active page shows.
  [[nodiscard]] bool Showing() const override;

 private:
  bool tabVisible_ = true;
};

// Where the pages sit inside the page control: the tab strip takes the top.
struct PageInsets {
  int left = 4;
  int top = 24;
  int right = 4;
  int bottom = 4;
  friend bool operator==(const PageInsets&, const PageInsets&) = default;
};

class PageControl : public Container {
 public:
  explicit PageControl(std::string name = {});

  // Appends a page (the same as page.SetParent(this)). The first page becomes active.
  void AddPage(TabSheet& page);
  [[nodiscard]] int PageCount() const;
  // Throws std::out_of_range for a bad index.
  [[nodiscard]] TabSheet& Page(int index) const;

  [[nodiscard]] TabSheet* ActivePage() const { return active_; }
  [[nodiscard]] int ActivePageIndex() const;
  // Any own page, hidden tab or not; false (nothing changes) for a page of another control.
  // Runs no handler.
  bool SetActivePage(TabSheet* page);
  // False (nothing changes) for an index out of range, so a step past the last page never
  // leaves the control without a page.
  bool SetActivePageIndex(int index);

  // The visible tabs.
  [[nodiscard]] int TabCount() const;
  // The page of visible tab `tabIndex`, or null.
  [[nodiscard]] TabSheet* TabPage(int tabIndex) const;
  // The visible-tab number of a page, or -1 if its tab is hidden or it is not a page here.
  [[nodiscard]] int TabIndexOf(const TabSheet& page) const;

  std::function<void()> OnChange;
  // A click on visible tab `tabIndex`: refused (false) for a bad tab or while the control cannot
  // be reached; a click on the active tab changes nothing and runs nothing.
  bool UserSelectTab(int tabIndex);

  [[nodiscard]] const PageInsets& Insets() const { return insets_; }
  // The binder may set what the real tab strip takes.
  void SetInsets(PageInsets insets);

 protected:
  void Realign() override;
  void ChildAdded(Control& child) override;
  void ChildRemoved(Control& child) override;

 private:
  friend class TabSheet;
  void PlacePage(TabSheet& page);

  TabSheet* active_ = nullptr;
  PageInsets insets_;
};

}  // namespace ombrant::ui
