// The window binder against real controls: what it creates, and that models and controls stay
// in step both ways.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/appText.h"
#include "tests/win32/app/BinderTestForm.h"
#include "ui/uiKeyboard.h"

#include <commctrl.h>

namespace ombrant::test {
namespace {

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[128] = {};
  GetClassNameW(hwnd, name, 128);
  return name;
}

std::string TextOf(HWND hwnd) {
  wchar_t text[512] = {};
  GetWindowTextW(hwnd, text, 512);
  return win32::ToUtf8(text);
}

bool Visible(HWND hwnd) { return (GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }

std::vector<std::string> TabTexts(HWND tabs) {
  std::vector<std::string> texts;
  const int count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[128] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 128;
    SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    texts.push_back(win32::ToUtf8(text));
  }
  return texts;
}

std::string ListText(HWND list, int item, int column) {
  wchar_t text[128] = {};
  LVITEMW it{};
  it.iSubItem = column;
  it.pszText = text;
  it.cchTextMax = 128;
  SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it));
  return win32::ToUtf8(text);
}

bool ListChecked(HWND list, int item) {
  const auto state = static_cast<UINT>(
      SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_STATEIMAGEMASK));
  return (state >> 12) == 2;
}

void SetListState(HWND list, int item, UINT mask, UINT state) {
  LVITEMW it{};
  it.stateMask = mask;
  it.state = state;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it));
}

// A key as the message loop receives it.
bool Key(win32::FormBinder& binder, UINT message, WPARAM key) {
  MSG msg{};
  msg.hwnd = GetFocus() != nullptr ? GetFocus() : binder.Window();
  msg.message = message;
  msg.wParam = key;
  const bool used = binder.PreTranslateMessage(msg);
  Pump(binder);
  return used;
}

// Holds Shift or Ctrl down for the thread's key state, as GetKeyState sees it.
class HeldKey {
 public:
  explicit HeldKey(int key) : key_(key) { Set(0x80); }
  ~HeldKey() { Set(0); }
  HeldKey(const HeldKey&) = delete;
  HeldKey& operator=(const HeldKey&) = delete;

 private:
  void Set(BYTE value) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[key_] = value;
    SetKeyboardState(keys);
  }
  int key_;
};

TEST_F(BinderFixture, EveryModelGetsTheRightControlAtItsScaledPlace) {
  struct Case {
    const ui::Control* control;
    const wchar_t* className;
    bool tabStop;
  };
  const Case cases[] = {
      {&form.pages, WC_TABCONTROLW, true},   {&form.first, L"OmbrantPanel", false},
      {&form.name, WC_EDITW, true},          {&form.nameLabel, WC_STATICW, false},
      {&form.optionA, WC_BUTTONW, true},     {&form.flag, WC_BUTTONW, true},
      {&form.combo, WC_COMBOBOXEXW, true},   {&form.logo, L"OmbrantPicture", false},
      {&form.group, L"OmbrantPanel", false}, {&form.inGroup, WC_BUTTONW, true},
      {&form.ok, WC_BUTTONW, true},
  };
  for (const Case& c : cases) {
    HWND hwnd = H(*c.control);
    ASSERT_NE(hwnd, nullptr) << c.control->Name();
    EXPECT_EQ(ClassOf(hwnd), c.className) << c.control->Name();
    EXPECT_EQ((GetWindowLongW(hwnd, GWL_STYLE) & WS_TABSTOP) != 0, c.tabStop) << c.control->Name();
    EXPECT_EQ(binder->ControlOf(hwnd), c.control);
  }
  EXPECT_EQ(TextOf(H(form.optionB)), "Option &B");
  EXPECT_EQ(TextOf(binder->Window()), "Binder test");
  EXPECT_EQ(SendMessageW(H(form.optionA), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(IsWindowEnabled(H(form.ok))) << "enabled as its action is";

  // Children sit inside their parent's border; sizes scale from 96 DPI.
  const RECT name = Placed(form.name);
  EXPECT_EQ(name.left, S(8 + 64));
  EXPECT_EQ(name.top, S(8 + 0));
  EXPECT_EQ(name.right - name.left, S(8 + 64 + 150) - S(8 + 64));
  const RECT inGroup = Placed(form.inGroup);
  EXPECT_EQ(inGroup.left, S(10));
  EXPECT_EQ(inGroup.top, S(24));
  RECT client{};
  GetClientRect(binder->Window(), &client);
  EXPECT_EQ(client.right, S(400));
  EXPECT_EQ(client.bottom, S(300));

  // Pages are children of the tab strip, placed where the strip leaves room for them.
  EXPECT_EQ(GetParent(H(form.first)), H(form.pages));
  RECT display{};
  GetClientRect(H(form.pages), &display);
  SendMessageW(H(form.pages), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  const RECT page = Placed(form.first);
  EXPECT_NEAR(page.left, display.left, 1);
  EXPECT_NEAR(page.top, display.top, 1);
  EXPECT_NEAR(page.bottom, display.bottom, 1);

  // Only visible tabs are in the strip; only the active page shows.
  EXPECT_EQ(TabTexts(H(form.pages)), (std::vector<std::string>{"&First", "&Third"}));
  EXPECT_TRUE(Visible(H(form.first)));
  EXPECT_FALSE(Visible(H(form.second)));
  EXPECT_FALSE(Visible(H(form.third)));

  // A page's controls are made when it first shows, with what their models hold by then.
  EXPECT_EQ(H(form.list), nullptr);
  EXPECT_EQ(H(form.document), nullptr);
  form.list.AddItem("Four");
  form.pages.SetActivePage(&form.third);
  HWND list = H(form.list);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ClassOf(list), WC_LISTVIEWW);
  EXPECT_NE(GetWindowLongW(list, GWL_STYLE) & WS_TABSTOP, 0);
  EXPECT_EQ(binder->ControlOf(list), &form.list);
  EXPECT_EQ(GetParent(list), H(form.third));
  EXPECT_TRUE(Visible(list));
  EXPECT_EQ(H(form.document), nullptr) << "the second page has not shown";
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 4) << "added before the page showed";
  form.list.DeleteItem(3);

  // The list: columns, items with sub-items, groups, no check marks yet.
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(ListText(list, 0, 0), "One");
  EXPECT_EQ(ListText(list, 0, 1), "ready");
  EXPECT_NE(GetWindowLongW(list, GWL_STYLE) & LVS_NOCOLUMNHEADER, 0);
  EXPECT_NE(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES, 0);
  EXPECT_FALSE(ListChecked(list, 1));
  EXPECT_EQ(SendMessageW(H(form.combo), CB_GETCOUNT, 0, 0), 2);
}

bool RunningOnWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

TEST_F(BinderFixture, ListGroupsAndTilesReachTheControl) {
  if (RunningOnWine()) GTEST_SKIP() << "Wine's list view shows neither groups nor tiles";
  HWND list = H(form.list);
  EXPECT_TRUE(SendMessageW(list, LVM_ISGROUPVIEWENABLED, 0, 0));
  EXPECT_TRUE(SendMessageW(list, LVM_HASGROUP, 1, 0));
  EXPECT_TRUE(SendMessageW(list, LVM_HASGROUP, 2, 0));
  const auto groupOf = [&](int item) {
    LVITEMW it{};
    it.mask = LVIF_GROUPID;
    it.iItem = item;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
    return it.iGroupId;
  };
  EXPECT_EQ(groupOf(0), 1);
  EXPECT_EQ(groupOf(2), 2);
  form.list.AddGroup(3, "Chat");
  form.list.SetItemGroup(0, 3);
  EXPECT_TRUE(SendMessageW(list, LVM_HASGROUP, 3, 0));
  EXPECT_EQ(groupOf(0), 3);

  form.list.SetViewStyle(ui::ViewStyle::Tile);
  form.list.SetTileViewLines(1);
  form.list.SetItemTileColumns(0, {1});
  EXPECT_EQ(SendMessageW(list, LVM_GETVIEW, 0, 0), LV_VIEW_TILE);
  UINT columns[4] = {};
  LVTILEINFO tile{};
  tile.cbSize = offsetof(LVTILEINFO, puColumns) + sizeof(PUINT);
  tile.iItem = 0;
  tile.cColumns = 4;
  tile.puColumns = columns;
  SendMessageW(list, LVM_GETTILEINFO, 0, reinterpret_cast<LPARAM>(&tile));
  ASSERT_EQ(tile.cColumns, 1u);
  EXPECT_EQ(columns[0], 1u);
}

TEST_F(BinderFixture, ModelChangesReachTheirControls) {
  form.optionB.SetCaption("Option &Beta");
  form.optionB.SetChecked(true);
  form.flag.SetEnabled(false);
  form.name.SetText("george-online");
  form.okAction.SetEnabled(false);
  form.group.SetVisible(false);
  EXPECT_EQ(TextOf(H(form.optionB)), "Option &Beta");
  EXPECT_EQ(SendMessageW(H(form.optionB), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(H(form.optionA), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_FALSE(IsWindowEnabled(H(form.flag)));
  EXPECT_FALSE(IsWindowEnabled(H(form.ok))) << "the action disabled its button";
  EXPECT_EQ(TextOf(H(form.name)), "george-online");
  EXPECT_FALSE(Visible(H(form.group)));

  // A disabled container: the controls inside show it too.
  form.group.SetVisible(true);
  form.group.SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(H(form.inGroup)));
  form.group.SetEnabled(true);
  EXPECT_TRUE(IsWindowEnabled(H(form.inGroup)));

  // Hidden tabs come and go in their place; a page shown by code with its tab hidden leaves no
  // tab selected.
  form.second.SetTabVisible(true);
  EXPECT_EQ(TabTexts(H(form.pages)), (std::vector<std::string>{"&First", "&Second", "&Third"}));
  form.pages.SetActivePage(&form.third);
  EXPECT_EQ(SendMessageW(H(form.pages), TCM_GETCURSEL, 0, 0), 2);
  EXPECT_TRUE(Visible(H(form.third)));
  EXPECT_FALSE(Visible(H(form.first)));
  form.first.SetTabVisible(false);
  EXPECT_EQ(TabTexts(H(form.pages)), (std::vector<std::string>{"&Second", "&Third"}));
  EXPECT_EQ(SendMessageW(H(form.pages), TCM_GETCURSEL, 0, 0), 1);
  form.pages.SetActivePage(&form.first);
  EXPECT_EQ(SendMessageW(H(form.pages), TCM_GETCURSEL, 0, 0), -1);
  EXPECT_TRUE(Visible(H(form.first)));
  form.second.SetCaption("Se&cond");
  EXPECT_EQ(TabTexts(H(form.pages)), (std::vector<std::string>{"Se&cond", "&Third"}));

  // Lists: items, sub-items, check marks and the selection; a new count rebuilds the items.
  HWND list = H(form.list);
  form.list.SetItemChecked(1, true);
  form.list.SetItemSelected(2, true);
  form.list.SetSubItem(2, 0, "Already migrated");
  EXPECT_TRUE(ListChecked(list, 1));
  EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 2);
  EXPECT_EQ(ListText(list, 2, 1), "Already migrated");
  form.list.AddItem("Four");
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 4);
  EXPECT_EQ(ListText(list, 3, 0), "Four");
  EXPECT_TRUE(ListChecked(list, 1)) << "kept through the rebuild";
  EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 2);
  form.list.ClearItems();
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);

  // The drop-down list.
  form.combo.AddItem("gamma", 0);
  form.combo.SetItemIndex(2);
  EXPECT_EQ(SendMessageW(H(form.combo), CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageW(H(form.combo), CB_GETCURSEL, 0, 0), 2);
  form.combo.Clear();
  EXPECT_EQ(SendMessageW(H(form.combo), CB_GETCOUNT, 0, 0), 0);

  // Controls added to the models later get their own; removed ones lose theirs.
  auto late = std::make_unique<ui::Button>("late", "&Late");
  late->SetParent(&form.first);
  late->SetBounds({0, 130, 80, 25});
  HWND lateHandle = H(*late);
  ASSERT_NE(lateHandle, nullptr);
  EXPECT_EQ(GetParent(lateHandle), H(form.first));
  EXPECT_EQ(TextOf(lateHandle), "&Late");
  late.reset();
  EXPECT_FALSE(IsWindow(lateHandle));
  EXPECT_TRUE(failures.empty());
}

TEST_F(BinderFixture, UserActionsReachTheModelsThroughTheirUserCalls) {
  SendMessageW(H(form.ok), BM_CLICK, 0, 0);
  SendMessageW(H(form.optionB), BM_CLICK, 0, 0);
  SendMessageW(H(form.flag), BM_CLICK, 0, 0);
  SetWindowTextW(H(form.name), L"ann");
  EXPECT_EQ(form.events,
            (std::vector<std::string>{"ok", "optionB", "flag on", "name ann"}));
  EXPECT_TRUE(form.optionB.Checked());
  EXPECT_FALSE(form.optionA.Checked());
  EXPECT_EQ(SendMessageW(H(form.optionA), BM_GETCHECK, 0, 0), BST_UNCHECKED)
      << "the model unchecked the sibling, the control follows";
  EXPECT_TRUE(form.flag.Checked());
  EXPECT_EQ(form.name.Text(), "ann");

  // A click the model refuses leaves the control as the model has it.
  form.flag.SetEnabled(false);
  EnableWindow(H(form.flag), TRUE);
  form.events.clear();
  SendMessageW(H(form.flag), BM_CLICK, 0, 0);
  EXPECT_TRUE(form.events.empty());
  EXPECT_EQ(SendMessageW(H(form.flag), BM_GETCHECK, 0, 0), BST_CHECKED);

  // The drop-down list, from the keyboard.
  form.events.clear();
  SetFocus(H(form.combo));
  HWND inner = reinterpret_cast<HWND>(SendMessageW(H(form.combo), CBEM_GETCOMBOCONTROL, 0, 0));
  SendMessageW(inner, WM_KEYDOWN, VK_DOWN, 0);
  Pump(*binder);
  EXPECT_EQ(form.combo.ItemIndex(), 0);
  EXPECT_EQ(form.events, (std::vector<std::string>{"combo alpha"}));

  // A mouse click on a tab.
  form.events.clear();
  RECT tab{};
  SendMessageW(H(form.pages), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
  const LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
  SendMessageW(H(form.pages), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(H(form.pages), WM_LBUTTONUP, 0, at);
  Pump(*binder);
  EXPECT_EQ(form.pages.ActivePage(), &form.third);
  EXPECT_EQ(form.events, (std::vector<std::string>{"page 2"}));
  EXPECT_TRUE(Visible(H(form.third)));

  // The list: the selection moving from one item to another, and a check mark.
  form.events.clear();
  HWND list = H(form.list);
  SetListState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
  SetListState(list, 1, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(form.list.SelectedIndex(), 1);
  EXPECT_EQ(form.events, (std::vector<std::string>{"select 0 on", "select 0 off", "select 1 on"}));
  SetListState(list, 2, LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(2));
  EXPECT_TRUE(form.list.Item(2).checked);
  SetListState(list, 2, LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(1));
  EXPECT_FALSE(form.list.Item(2).checked);
}

TEST_F(BinderFixture, ResizingMovesAnchoredControlsAndKeepsTheMinimumSize) {
  const RECT before = Placed(form.close);
  RECT window{};
  GetWindowRect(binder->Window(), &window);
  SetWindowPos(binder->Window(), nullptr, 0, 0, window.right - window.left + S(100),
               window.bottom - window.top + S(50), SWP_NOMOVE | SWP_NOZORDER);
  Pump(*binder);
  EXPECT_EQ(form.Bounds().width, 500);
  EXPECT_EQ(form.Bounds().height, 350);
  EXPECT_EQ(form.close.Bounds().left, 412) << "anchored right";
  EXPECT_EQ(form.pages.Bounds().width, 484) << "anchored on all sides";
  const RECT after = Placed(form.close);
  EXPECT_NEAR(after.left - before.left, S(100), 1);
  EXPECT_NEAR(after.top - before.top, S(50), 1);
  EXPECT_EQ(Placed(form.ok).left, S(8)) << "anchored left";

  MINMAXINFO limits{};
  SendMessageW(binder->Window(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_EQ(limits.ptMinTrackSize.x, S(300));
  EXPECT_EQ(limits.ptMinTrackSize.y, S(250));
}

TEST_F(BinderFixture, TabFollowsTheModelsOrderAndAccessKeysDoWhatAClickDoes) {
  // Tab from the strip through the active page to the buttons, wrapping around.
  std::vector<HWND> expected;
  for (ui::Control* stop : ui::TabStops(form)) expected.push_back(H(*stop));
  ASSERT_GE(expected.size(), 6u);
  SetFocus(H(form.pages));
  Pump(*binder);
  for (std::size_t i = 1; i <= expected.size(); ++i) {
    EXPECT_TRUE(Key(*binder, WM_KEYDOWN, VK_TAB));
    const HWND want = expected[i % expected.size()];
    EXPECT_EQ(binder->ControlOf(GetFocus()), binder->ControlOf(want)) << "step " << i;
  }
  {
    const HeldKey shift(VK_SHIFT);
    EXPECT_TRUE(Key(*binder, WM_KEYDOWN, VK_TAB));
    EXPECT_EQ(binder->ControlOf(GetFocus()), &form.close);
  }
  EXPECT_TRUE(form.close.Focused()) << "the model knows where the focus is";

  // Alt+N: the label focuses its edit field. Alt+B: the option is checked and focused.
  EXPECT_TRUE(Key(*binder, WM_SYSCHAR, L'n'));
  EXPECT_EQ(GetFocus(), H(form.name));
  EXPECT_TRUE(Key(*binder, WM_SYSCHAR, L'b'));
  EXPECT_EQ(GetFocus(), H(form.optionB));
  EXPECT_TRUE(form.optionB.Checked());
  // Arrow keys move among the options and check them.
  EXPECT_TRUE(Key(*binder, WM_KEYDOWN, VK_UP));
  EXPECT_EQ(GetFocus(), H(form.optionA));
  EXPECT_TRUE(form.optionA.Checked());
  // A plain letter works while the focus is on a button-like control, not in a text field.
  EXPECT_TRUE(Key(*binder, WM_CHAR, L'l'));
  EXPECT_TRUE(form.flag.Checked());
  SetFocus(H(form.name));
  EXPECT_FALSE(Key(*binder, WM_CHAR, L'l'));
  // A tab's access key, and Ctrl+Tab, switch pages as a click on a tab does.
  form.events.clear();
  EXPECT_TRUE(Key(*binder, WM_SYSCHAR, L't'));
  EXPECT_EQ(form.pages.ActivePage(), &form.third);
  {
    const HeldKey control(VK_CONTROL);
    EXPECT_TRUE(Key(*binder, WM_KEYDOWN, VK_TAB));
  }
  EXPECT_EQ(form.pages.ActivePage(), &form.first);
  EXPECT_EQ(form.events, (std::vector<std::string>{"page 2", "page 0"}));
  EXPECT_FALSE(Key(*binder, WM_SYSCHAR, L'q')) << "no control has that key";
}

TEST_F(BinderFixture, CaptionsTooLongForTheirControlsMakeThemGrow) {
  ui::Label note("note");
  note.SetParent(&form.first);
  note.SetWordWrap(true);
  note.SetBounds({0, 170, 120, 13});
  EXPECT_EQ(note.Bounds().height, 13) << "an empty label keeps its size";
  note.SetCaption("A text far too long for one line of a narrow label: it wraps onto several.");
  const int grown = note.Bounds().height;
  EXPECT_GE(grown, 3 * 13);
  RECT shown{};
  GetClientRect(H(note), &shown);
  EXPECT_EQ(shown.bottom, S(170 + grown) - S(170));

  note.SetCaption("Short");
  EXPECT_EQ(note.Bounds().height, grown) << "it never shrinks below what it was given";
  note.SetBounds({0, 170, 400, 13});
  EXPECT_EQ(note.Bounds().height, 13);

  // A check box grows to the right, by what its text needs.
  form.flag.SetBounds({0, 74, 40, 17});
  EXPECT_GT(form.flag.Bounds().width, 40);
  const int fitted = form.flag.Bounds().width;
  form.flag.SetCaption(form.flag.Caption() + " and a longer tail");
  EXPECT_GT(form.flag.Bounds().width, fitted);
  EXPECT_EQ(form.flag.Bounds().height, 17);
}

TEST_F(BinderFixture, FocusLeavesAControlThatGoesAway) {
  SetFocus(H(form.flag));
  Pump(*binder);
  EXPECT_TRUE(form.flag.Focused());
  form.flag.SetVisible(false);
  Pump(*binder);
  EXPECT_EQ(binder->ControlOf(GetFocus()), &form.combo) << "where Tab would have gone";
  EXPECT_TRUE(form.combo.Focused());
  // The model moving the focus moves the real one.
  form.name.SetFocus();
  EXPECT_EQ(GetFocus(), H(form.name));
}

TEST_F(BinderFixture, ARightClickOpensThePopupMenuOfTheControlOrItsNearestAncestor) {
  int refreshed = 0;
  form.refresh.OnClick = [&] { ++refreshed; };
  // The menu runs a loop of its own; keys already waiting pick its first item there.
  const auto rightClick = [&](const ui::Control& on) {
    PostMessageW(binder->Window(), WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(binder->Window(), WM_KEYDOWN, VK_RETURN, 0);
    RECT r{};
    GetWindowRect(H(on), &r);
    SendMessageW(H(on), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(H(on)),
                 MAKELPARAM(r.left + 2, r.top + 2));
    Pump(*binder);
  };
  rightClick(form.nameLabel);  // the page's menu
  EXPECT_EQ(refreshed, 1);

  form.refresh.SetEnabled(false);
  rightClick(form.nameLabel);
  EXPECT_EQ(refreshed, 1) << "a disabled item does nothing";

  form.refresh.SetEnabled(true);
  rightClick(form.ok);  // no menu on the way up: none opens, the keys go elsewhere
  EXPECT_EQ(refreshed, 1);
}

TEST_F(BinderFixture, ClosingRunsTheFormsHandlersAndEndsTheWindow) {
  bool destroyed = false;
  binder->OnDestroyed = [&] { destroyed = true; };
  HWND window = binder->Window();
  SendMessageW(H(form.close), BM_CLICK, 0, 0);
  Pump(*binder);
  EXPECT_EQ(form.events, (std::vector<std::string>{"close", "closing"}));
  EXPECT_TRUE(form.Closed());
  EXPECT_TRUE(destroyed);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(binder->Window(), nullptr);
  // The models live on without their controls.
  form.name.SetText("after");
  EXPECT_EQ(binder->HandleOf(form.name), nullptr);
}

TEST(BinderEvents, ShowAndPaintReachTheFormAfterTheSystemsOwnHandling) {
  BinderTestForm form;
  win32::FormBinder binder(form, GetModuleHandleW(nullptr));
  std::vector<std::string> seen;
  binder.OnFirstShow = [&] {
    seen.push_back(IsWindowVisible(binder.Window()) ? "show while visible" : "show");
  };
  binder.OnPaint = [&] { seen.push_back("paint"); };
  binder.Create();
  binder.Show(SW_SHOW);
  Pump(binder);
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen[0], "show") << "before the window shows";
  EXPECT_EQ(seen[1], "paint");
  binder.Show(SW_SHOW);
  Pump(binder);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), "show"), 1) << "once only";
}

}  // namespace
}  // namespace ombrant::test
