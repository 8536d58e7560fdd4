// A small window with one control of every kind the binder knows, for the binder tests, and a
// fixture that binds it to a real window.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/winBinder.h"
#include "ui/uiActions.h"
#include "ui/uiButtons.h"
#include "ui/uiComboBox.h"
#include "ui/uiContainers.h"
#include "ui/uiImages.h"
#include "ui/uiListView.h"
#include "ui/uiPageControl.h"
#include "ui/uiText.h"

namespace ombrant::test {

struct BinderTestForm : ui::Form {
  BinderTestForm() : ui::Form("testForm", "Binder test") {
    SetClientSize(400, 300);
    SetMinSize(300, 250);
    SetFont("MS Shell Dlg 2", 8);

    pages.SetParent(this);
    pages.SetBounds({8, 8, 384, 240});
    pages.SetAnchors(ui::AnchorSet::All());
    for (ui::TabSheet* page : {&first, &second, &third}) {
      page->SetBorderWidth(8);
      pages.AddPage(*page);
    }
    second.SetTabVisible(false);

    // First page: text, options, a drop-down list, a picture.
    nameLabel.SetParent(&first);
    nameLabel.SetBounds({0, 3, 60, 13});
    nameLabel.SetFocusControl(&name);
    name.SetParent(&first);
    name.SetBounds({64, 0, 150, 21});
    optionA.SetParent(&first);
    optionA.SetBounds({0, 30, 150, 17});
    optionB.SetParent(&first);
    optionB.SetBounds({0, 50, 150, 17});
    optionA.SetChecked(true);
    flag.SetParent(&first);
    flag.SetBounds({0, 74, 150, 17});
    combo.SetParent(&first);
    combo.SetBounds({0, 100, 150, 22});
    images.Add({"USERACCOUNT", {}});
    combo.SetImages(&images);
    combo.AddItem("alpha", 0);
    combo.AddItem("beta", 0);
    logo.SetParent(&first);
    logo.SetBounds({220, 0, 141, 66});
    logo.SetImageName("KESTROVALTD");
    logo.SetTransparent(true);
    logo.SetAnchors(ui::AnchorSet::TopRight());
    group.SetParent(&first);
    group.SetBounds({180, 100, 180, 60});
    inGroup.SetParent(&group);
    inGroup.SetBounds({10, 24, 150, 17});

    // Second page (its tab hidden): a document.
    document.SetParent(&second);
    document.SetAlign(ui::Alignment::Client);
    document.SetScrollBars(ui::ScrollBars::Vertical);

    // Third page: a list with check boxes and groups, and a panel at the bottom.
    list.SetParent(&third);
    list.SetAlign(ui::Alignment::Client);
    list.SetViewStyle(ui::ViewStyle::Report);
    list.AddColumn("Name", 150);
    list.AddColumn("State", 100);
    list.SetCheckBoxes(true);
    list.SetShowColumnHeaders(false);
    list.SetReadOnly(true);
    list.AddGroup(1, "Browser");
    list.AddGroup(2, "Email");
    list.SetGroupView(true);
    for (const char* item : {"One", "Two", "Three"}) list.AddItem(item);
    list.SetSubItem(0, 0, "ready");
    list.SetItemGroup(0, 1);
    list.SetItemGroup(1, 2);
    list.SetItemGroup(2, 2);
    panel.SetParent(&third);
    panel.SetBounds({0, 0, 100, 20});
    panel.SetAlign(ui::Alignment::Bottom);

    ok.SetParent(this);
    ok.SetBounds({8, 260, 80, 25});
    ok.SetAnchors(ui::AnchorSet::LeftBottom());
    ok.SetAction(&okAction);
    close.SetParent(this);
    close.SetBounds({312, 260, 80, 25});
    close.SetAnchors(ui::AnchorSet::RightBottom());

    refresh.SetCaption("Refresh");
    menu.Add(refresh);
    first.SetPopupMenu(&menu);

    okAction.OnExecute = [this] { events.push_back("ok"); };
    close.OnClick = [this] { events.push_back("close"); Close(); };
    OnClose = [this] { events.push_back("closing"); };
    optionA.OnClick = [this] { events.push_back("optionA"); };
    optionB.OnClick = [this] { events.push_back("optionB"); };
    flag.OnClick = [this] { events.push_back(flag.Checked() ? "flag on" : "flag off"); };
    name.OnChange = [this] { events.push_back("name " + name.Text()); };
    combo.OnChange = [this] { events.push_back("combo " + combo.Text()); };
    pages.OnChange = [this] { events.push_back("page " + std::to_string(pages.ActivePageIndex())); };
    list.OnSelectItem = [this](int item, bool selected) {
      events.push_back("select " + std::to_string(item) + (selected ? " on" : " off"));
    };
    list.OnClick = [this] { events.push_back("list click"); };
  }

  ui::Action okAction{"okAction", "&OK"};
  ui::ImageList images{"images", 16, 16};
  ui::PopupMenu menu{"menu"};
  ui::MenuItem refresh{"refresh"};

  ui::PageControl pages{"pages"};
  ui::TabSheet first{"first", "&First"};
  ui::TabSheet second{"second", "&Second"};
  ui::TabSheet third{"third", "&Third"};
  ui::Label nameLabel{"nameLabel", "&Name:"};
  ui::Edit name{"name"};
  ui::RadioButton optionA{"optionA", "Option &A"};
  ui::RadioButton optionB{"optionB", "Option &B"};
  ui::CheckBox flag{"flag", "F&lag"};
  ui::ComboBox combo{"combo"};
  ui::Picture logo{"logo"};
  ui::GroupBox group{"group", "Group"};
  ui::CheckBox inGroup{"inGroup", "Inside"};
  ui::RichEdit document{"document"};
  ui::ListView list{"list"};
  ui::Panel panel{"panel"};
  ui::Button ok{"ok"};
  ui::Button close{"close", "Close"};

  std::vector<std::string> events;
};

// Runs the messages waiting for the window, as the program's message loop does.
inline void Pump(win32::FormBinder& binder) {
  MSG message{};
  for (int round = 0; round < 3; ++round) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (binder.PreTranslateMessage(message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
      binder.AfterMessage();
    }
    Sleep(10);
  }
}

struct BinderFixture : ::testing::Test {
  BinderFixture() {
    binder->OnFailure = [this](const std::string& what) { failures.push_back(what); };
    binder->Create();
    binder->Show(SW_SHOW);
    SetForegroundWindow(binder->Window());
    Pump(*binder);
  }
  ~BinderFixture() override {
    binder.reset();
    EXPECT_TRUE(failures.empty()) << failures.front();
  }

  [[nodiscard]] HWND H(const ui::Control& control) const { return binder->HandleOf(control); }
  [[nodiscard]] int S(int length) const { return binder->Scale(length); }

  // The control's rectangle in its parent window's client area.
  [[nodiscard]] RECT Placed(const ui::Control& control) const {
    RECT r{};
    HWND hwnd = H(control);
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  BinderTestForm form;
  std::unique_ptr<win32::FormBinder> binder =
      std::make_unique<win32::FormBinder>(form, GetModuleHandleW(nullptr));
  std::vector<std::string> failures;
};

}  // namespace ombrant::test
