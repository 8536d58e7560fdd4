#include "app/winBinder.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <stdexcept>
#include <string_view>

#include "app/appControlIds.h"
#include "app/appLayout.h"
#include "app/appText.h"
#include "ui/uiActions.h"
#include "ui/uiButtons.h"
#include "ui/uiComboBox.h"
#include "ui/uiImages.h"
#include "ui/uiKeyboard.h"
#include "ui/uiListView.h"
#include "ui/uiPageControl.h"
#include "ui/uiText.h"

#include <richedit.h>
#include <uxtheme.h>
#include <vssym32.h>
#include <windowsx.h>

namespace ombrant::win32 {

namespace {

constexpr const wchar_t* kFormClass = L"OmbrantWindow";
constexpr const wchar_t* kContainerClass = L"OmbrantPanel";
constexpr const wchar_t* kPictureClass = L"OmbrantPicture";

std::string WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(hwnd, buffer.data(), length + 1);
  buffer.resize(static_cast<std::size_t>(std::max(got, 0)));
  return ToUtf8(buffer.c_str());
}

void SetTextIfDifferent(HWND hwnd, const std::string& text) {
  if (WindowText(hwnd) != text) SetWindowTextW(hwnd, ToWide(text).c_str());
}

// The monitor's DPI where the system can tell (Windows 10 1607 and later), else the system's.
UINT WindowDpi(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow != nullptr && hwnd != nullptr) {
    const UINT dpi = getDpiForWindow(hwnd);
    if (dpi != 0) return dpi;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

struct RtfCursor {
  std::string_view data;
  std::size_t position = 0;
};

DWORD CALLBACK ReadRtf(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* read) {
  try {
    auto* cursor = reinterpret_cast<RtfCursor*>(cookie);
    const std::size_t left = cursor->data.size() - cursor->position;
    const std::size_t n = std::min(left, static_cast<std::size_t>(std::max<LONG>(size, 0)));
    std::memcpy(buffer, cursor->data.data() + cursor->position, n);
    cursor->position += n;
    *read = static_cast<LONG>(n);
    return 0;
  } catch (...) {
    return 1;
  }
}

bool KeyDown(int key) { return GetKeyState(key) < 0; }

}  // namespace

// ---- set-up ----------------------------------------------------------------------------------

FormBinder::FormBinder(ui::Form& form, HINSTANCE instance) : form_(form), instance_(instance) {
  RegisterClasses(instance);
  form_.AddObserver(*this);
}

FormBinder::~FormBinder() {
  form_.RemoveObserver(*this);
  OnFirstShow = nullptr;
  OnPaint = nullptr;
  OnDestroyed = nullptr;
  OnFailure = nullptr;
  if (window_ != nullptr) DestroyWindow(window_);
}

void FormBinder::RegisterClasses(HINSTANCE instance) {
  const auto add = [instance](const wchar_t* name, HCURSOR cursor) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, name, &existing)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &FormBinder::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = cursor;
    wc.lpszClassName = name;
    if (RegisterClassExW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
      throw std::runtime_error("RegisterClassEx failed");
    }
  };
  HCURSOR arrow = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  add(kFormClass, arrow);
  add(kContainerClass, arrow);
  add(kPictureClass, arrow);
}

void FormBinder::Create() {
  if (window_ != nullptr) return;
  themed_ = IsAppThemed() && IsThemeActive();
  if (!richEditModule_) {
    // Rich edit 4.1 where it exists (XP SP1 and later), else 2.0/3.0.
    richEditModule_.reset(LoadLibraryW(L"Msftedit.dll"));
    richEditClass_ = MSFTEDIT_CLASS;
    if (!richEditModule_) {
      richEditModule_.reset(LoadLibraryW(L"Riched20.dll"));
      richEditClass_ = RICHEDIT_CLASSW;
    }
  }

  HWND hwnd = CreateWindowExW(0, kFormClass, ToWide(form_.Caption()).c_str(),
                              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_, this);
  if (hwnd == nullptr) throw std::runtime_error("CreateWindowEx failed for the main window");
  window_ = hwnd;
  auto entry = std::make_unique<Bound>();
  entry->control = &form_;
  entry->kind = Kind::Form;
  entry->hwnd = hwnd;
  byHandle_[hwnd] = entry.get();
  bound_[&form_] = std::move(entry);

  dpi_ = WindowDpi(window_);
  ApplyFont();
  ++pushing_;
  try {
    for (ui::Control* child : form_.Children()) CreateTree(*child);
    ApplyFormSize();
  } catch (...) {
    --pushing_;
    throw;
  }
  --pushing_;
}

void FormBinder::Show(int showCommand) {
  if (window_ == nullptr) return;
  if (!shown_) {
    shown_ = true;
    if (OnFirstShow) OnFirstShow();
  }
  if (window_ == nullptr) return;
  ShowWindow(window_, showCommand);
  UpdateWindow(window_);
  CheckFocus();
}

int FormBinder::Scale(int length) const { return MulDiv(length, static_cast<int>(dpi_), 96); }

HWND FormBinder::HandleOf(const ui::Control& control) const {
  Bound* bound = Find(&control);
  return bound != nullptr ? bound->hwnd : nullptr;
}

ui::Control* FormBinder::ControlOf(HWND handle) const {
  for (HWND h = handle; h != nullptr; h = GetParent(h)) {
    auto it = byHandle_.find(h);
    if (it != byHandle_.end()) return it->second->control;
    if (h == window_) break;
  }
  return nullptr;
}

FormBinder::Bound* FormBinder::Find(const ui::Control* control) const {
  auto it = bound_.find(control);
  return it != bound_.end() ? it->second.get() : nullptr;
}

FormBinder::Kind FormBinder::KindOf(const ui::Control& c) const {
  if (dynamic_cast<const ui::Form*>(&c)) return Kind::Form;
  if (dynamic_cast<const ui::PageControl*>(&c)) return Kind::PageControl;
  if (dynamic_cast<const ui::TabSheet*>(&c)) return Kind::Page;
  if (dynamic_cast<const ui::GroupBox*>(&c)) return Kind::GroupBox;
  if (dynamic_cast<const ui::Button*>(&c)) return Kind::Button;
  if (dynamic_cast<const ui::RadioButton*>(&c)) return Kind::RadioButton;
  if (dynamic_cast<const ui::CheckBox*>(&c)) return Kind::CheckBox;
  if (dynamic_cast<const ui::Label*>(&c)) return Kind::Label;
  if (dynamic_cast<const ui::Edit*>(&c)) return Kind::Edit;
  if (dynamic_cast<const ui::RichEdit*>(&c)) return Kind::RichEdit;
  if (dynamic_cast<const ui::ComboBox*>(&c)) return Kind::ComboBox;
  if (dynamic_cast<const ui::ListView*>(&c)) return Kind::ListView;
  if (dynamic_cast<const ui::Picture*>(&c)) return Kind::Picture;
  // Panels and any other container: a plain area holding its children.
  if (dynamic_cast<const ui::Container*>(&c)) return Kind::Panel;
  throw std::logic_error("no window control for the model " + c.Name());
}

int FormBinder::NextId(Kind kind) {
  int band = kIdContainers;
  switch (kind) {
    case Kind::Form:
    case Kind::Page:
    case Kind::GroupBox:
    case Kind::Panel: band = kIdContainers; break;
    case Kind::PageControl: band = kIdPageControls; break;
    case Kind::Button: band = kIdButtons; break;
    case Kind::RadioButton: band = kIdRadioButtons; break;
    case Kind::CheckBox: band = kIdCheckBoxes; break;
    case Kind::Label: band = kIdLabels; break;
    case Kind::Edit: band = kIdEdits; break;
    case Kind::RichEdit: band = kIdRichEdits; break;
    case Kind::ComboBox: band = kIdComboBoxes; break;
    case Kind::ListView: band = kIdListViews; break;
    case Kind::Picture: band = kIdPictures; break;
  }
  // Messages find their control by its window, not its id: past the band's end ids start over.
  const int offset = nextIds_[band]++ % kIdBandSize;
  return band + offset;
}

HWND FormBinder::ParentHandle(const ui::Control& control) const {
  Bound* parent = Find(control.Parent());
  if (parent == nullptr || parent->hwnd == nullptr) {
    throw std::logic_error("the parent of " + control.Name() + " has no window");
  }
  return parent->hwnd;
}

namespace {

bool PageShowing(const ui::Control& control) {
  const auto* page = dynamic_cast<const ui::TabSheet*>(&control);
  return page != nullptr && page->Visible() && page->Pages() != nullptr &&
         page->Pages()->ActivePage() == page;
}

}  // namespace

void FormBinder::CreateTree(ui::Control& control) {
  CreateControl(control);
  auto* container = dynamic_cast<ui::Container*>(&control);
  if (container == nullptr) return;
  Bound& bound = *Find(&control);
  if (bound.kind == Kind::Page && !PageShowing(control)) {
    bound.childrenPending = true;
    return;
  }
  for (ui::Control* child : container->Children()) CreateTree(*child);
  if (bound.kind == Kind::PageControl) ApplyTabs(bound);
}

void FormBinder::CreatePendingChildren(Bound& page) {
  if (!page.childrenPending) return;
  page.childrenPending = false;
  auto& container = static_cast<ui::Container&>(*page.control);
  ++pushing_;
  try {
    for (ui::Control* child : container.Children()) {
      if (Find(child) == nullptr) CreateTree(*child);
    }
    ApplyZOrder(container);
  } catch (...) {
    --pushing_;
    throw;
  }
  --pushing_;
  ScheduleFocusCheck();
}

void FormBinder::CreateControl(ui::Control& control) {
  const Kind kind = KindOf(control);
  if (kind == Kind::Form) throw std::logic_error("a window inside the window");
  HWND parent = ParentHandle(control);
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  DWORD exStyle = 0;
  const wchar_t* className = kContainerClass;
  std::wstring text;
  switch (kind) {
    case Kind::Page:
      // The page's caption names the window, so tools can tell the pages apart.
      text = ToWide(control.Caption());
      style |= WS_CLIPCHILDREN;
      break;
    case Kind::GroupBox:
    case Kind::Panel: style |= WS_CLIPCHILDREN; break;
    case Kind::PageControl:
      className = WC_TABCONTROLW;
      style |= WS_TABSTOP | WS_CLIPCHILDREN | TCS_FOCUSONBUTTONDOWN;
      break;
    case Kind::Button:
      className = WC_BUTTONW;
      style |= WS_TABSTOP | (&control == form_.DefaultButton() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
      break;
    case Kind::RadioButton:
      // Not an automatic radio button: the model decides which option is checked.
      className = WC_BUTTONW;
      style |= WS_TABSTOP | BS_RADIOBUTTON;
      break;
    case Kind::CheckBox:
      className = WC_BUTTONW;
      style |= WS_TABSTOP | BS_CHECKBOX;
      break;
    case Kind::Label:
      className = WC_STATICW;
      style |= SS_NOTIFY | SS_LEFT;
      break;
    case Kind::Edit:
      className = WC_EDITW;
      style |= WS_TABSTOP | ES_AUTOHSCROLL;
      exStyle |= WS_EX_CLIENTEDGE;
      break;
    case Kind::RichEdit:
      if (richEditClass_ == nullptr || !richEditModule_) {
        throw std::runtime_error("no rich edit control on this system");
      }
      className = richEditClass_;
      style |= WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL;
      exStyle |= WS_EX_CLIENTEDGE;
      break;
    case Kind::ComboBox:
      className = WC_COMBOBOXEXW;
      style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
      break;
    case Kind::ListView:
      className = WC_LISTVIEWW;
      style |= WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHAREIMAGELISTS;
      exStyle |= WS_EX_CLIENTEDGE;
      break;
    case Kind::Picture: className = kPictureClass; break;
    case Kind::Form: break;
  }
  const int id = NextId(kind);
  HWND hwnd = CreateWindowExW(exStyle, className, text.c_str(), style, 0, 0, 0, 0, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, this);
  if (hwnd == nullptr) throw std::runtime_error("CreateWindowEx failed for " + control.Name());
  auto entry = std::make_unique<Bound>();
  entry->control = &control;
  entry->parent = control.Parent();
  entry->kind = kind;
  entry->hwnd = hwnd;
  entry->id = id;
  Bound& bound = *entry;
  byHandle_[hwnd] = entry.get();
  bound_[&control] = std::move(entry);

  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  if (kind == Kind::ListView) {
    SendMessageW(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_DOUBLEBUFFER, LVS_EX_DOUBLEBUFFER);
  }
  if (kind == Kind::Picture) LoadPicture(bound);
  Refresh(bound);
}

void FormBinder::DestroyTree(ui::Control& control) {
  // Only addresses are compared: `control` may be half destroyed.
  std::vector<const ui::Control*> doomed{&control};
  for (std::size_t i = 0; i < doomed.size(); ++i) {
    for (const auto& [model, bound] : bound_) {
      if (bound->parent == doomed[i]) doomed.push_back(model);
    }
  }
  Bound* top = Find(&control);
  HWND hwnd = top != nullptr ? top->hwnd : nullptr;
  for (const ui::Control* c : doomed) {
    auto it = bound_.find(c);
    if (it == bound_.end()) continue;
    byHandle_.erase(it->second->hwnd);
    bound_.erase(it);
  }
  if (hwnd != nullptr) DestroyWindow(hwnd);
}

void FormBinder::SyncChildren(ui::Container& container) {
  Bound* self = Find(&container);
  // A page not shown yet makes its controls when it shows.
  if (self == nullptr || self->childrenPending) return;
  const std::vector<ui::Control*>& children = container.Children();
  std::vector<ui::Control*> gone;
  for (const auto& [model, bound] : bound_) {
    if (bound->parent == &container &&
        std::find(children.begin(), children.end(), model) == children.end()) {
      gone.push_back(bound->control);
    }
  }
  for (ui::Control* c : gone) DestroyTree(*c);
  bool added = false;
  for (ui::Control* child : children) {
    if (Find(child) == nullptr) {
      CreateTree(*child);
      added = true;
    }
  }
  if (added) ApplyZOrder(container);
  if (self->kind == Kind::PageControl) ApplyTabs(*self);
  ScheduleFocusCheck();
}

// ---- model -> control ------------------------------------------------------------------------

void FormBinder::Changed(ui::Component& source, ui::Changes what) {
  if (window_ == nullptr) return;
  auto* control = dynamic_cast<ui::Control*>(&source);
  if (control == nullptr) return;
  ++pushing_;
  try {
    using ui::Aspect;
    if (what.Has(Aspect::Closed) && control == &form_) {
      PostMessageW(window_, kMsgDestroy, 0, 0);
    }
    if (what.Has(Aspect::Children)) {
      if (auto* container = dynamic_cast<ui::Container*>(control)) SyncChildren(*container);
    }
    Bound* bound = Find(control);
    if (bound != nullptr && bound->hwnd != nullptr) {
      if (what.Has(Aspect::Bounds)) ApplyBounds(*bound);
      if (what.Has(Aspect::Caption)) ApplyCaption(*bound);
      if (what.Has(Aspect::Options)) ApplyOptions(*bound);
      if (what.Has(Aspect::Text)) ApplyText(*bound);
      if (what.Has(Aspect::Checked)) ApplyChecked(*bound);
      if (what.Has(Aspect::TabOrder) && control->Parent() != nullptr) {
        ApplyZOrder(*control->Parent());
      }
      if (bound->kind == Kind::ListView) {
        if (what.Has(Aspect::Columns)) ApplyListColumns(*bound);
        if (what.Has(Aspect::Groups)) ApplyListGroups(*bound);
        if (what.Has(Aspect::Images)) ApplyListImages(*bound);
        if (what.Has(Aspect::Items)) ApplyListItems(*bound);
        if (what.Has(Aspect::ItemChecks)) ApplyListChecks(*bound);
        if (what.Has(Aspect::Selection)) ApplyListSelection(*bound);
      }
      if (bound->kind == Kind::ComboBox) {
        if (what.Has(Aspect::Images)) ApplyComboImages(*bound);
        if (what.Has(Aspect::Items)) ApplyComboItems(*bound);
        if (what.Has(Aspect::Selection) || what.Has(Aspect::Items)) ApplyComboSelection(*bound);
      }
      if (bound->kind == Kind::PageControl) {
        if (what.Has(Aspect::Tabs) || what.Has(Aspect::ActivePage)) ApplyTabs(*bound);
      }
      if (bound->kind == Kind::Page && what.Has(Aspect::Tabs)) {
        if (Bound* pages = Find(control->Parent())) ApplyTabs(*pages);
      }
      if (what.Has(Aspect::Enabled)) ApplyEnabled(*bound);
      if (what.Has(Aspect::Visible)) ApplyVisible(*bound);
      if (what.Has(Aspect::Focus)) ApplyFocus(*bound);
    }
  } catch (const std::exception& e) {
    ReportFailure(e.what());
  } catch (...) {
    ReportFailure("unknown failure");
  }
  --pushing_;
}

void FormBinder::Refresh(Bound& bound) {
  ApplyBounds(bound);
  ApplyCaption(bound);
  ApplyOptions(bound);
  ApplyText(bound);
  ApplyChecked(bound);
  if (bound.kind == Kind::ListView) {
    ApplyListColumns(bound);
    ApplyListImages(bound);
    ApplyListGroups(bound);  // and the items in them
  }
  if (bound.kind == Kind::ComboBox) {
    ApplyComboImages(bound);
    ApplyComboItems(bound);
    ApplyComboSelection(bound);
  }
  ApplyEnabled(bound);
  ApplyVisible(bound);
}

void FormBinder::ApplyCaption(Bound& bound) {
  const std::string& caption = bound.control->Caption();
  switch (bound.kind) {
    case Kind::Form:
    case Kind::Button: SetTextIfDifferent(bound.hwnd, caption); break;
    case Kind::RadioButton:
    case Kind::CheckBox:
    case Kind::Label:
      SetTextIfDifferent(bound.hwnd, caption);
      FitText(bound);
      break;
    case Kind::GroupBox:
      SetTextIfDifferent(bound.hwnd, caption);
      InvalidateRect(bound.hwnd, nullptr, TRUE);
      break;
    case Kind::Page: {
      SetTextIfDifferent(bound.hwnd, caption);
      Bound* pages = Find(bound.control->Parent());
      if (pages == nullptr) break;
      const auto at = std::find(pages->tabs.begin(), pages->tabs.end(), bound.control);
      if (at == pages->tabs.end()) break;
      std::wstring text = ToWide(caption);
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = text.data();
      SendMessageW(pages->hwnd, TCM_SETITEMW, static_cast<WPARAM>(at - pages->tabs.begin()),
                   reinterpret_cast<LPARAM>(&item));
      break;
    }
    default: break;
  }
}

void FormBinder::ApplyText(Bound& bound) {
  if (bound.kind == Kind::Edit) {
    SetTextIfDifferent(bound.hwnd, static_cast<const ui::Edit&>(*bound.control).Text());
  } else if (bound.kind == Kind::RichEdit) {
    const std::string& rtf = static_cast<const ui::RichEdit&>(*bound.control).Rtf();
    if (rtf.empty()) {
      SetWindowTextW(bound.hwnd, L"");
      return;
    }
    RtfCursor cursor{rtf};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&cursor);
    stream.pfnCallback = &ReadRtf;
    SendMessageW(bound.hwnd, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    // Open at the top, not where the stream left the caret.
    SendMessageW(bound.hwnd, EM_SETSEL, 0, 0);
    SendMessageW(bound.hwnd, EM_SCROLLCARET, 0, 0);
  }
}

void FormBinder::ApplyVisible(Bound& bound) {
  const ui::Control& c = *bound.control;
  bool visible = c.Visible();
  if (bound.kind == Kind::Form) return;  // Show() shows the window
  if (bound.kind == Kind::Page) {
    const auto& page = static_cast<const ui::TabSheet&>(c);
    visible = visible && page.Pages() != nullptr && page.Pages()->ActivePage() == &page;
  }
  if (visible && bound.kind == Kind::Page) CreatePendingChildren(bound);
  const bool isVisible = (GetWindowLongW(bound.hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
  if (visible == isVisible) return;
  ShowWindow(bound.hwnd, visible ? SW_SHOWNA : SW_HIDE);
  if (!visible) ScheduleFocusCheck();
}

void FormBinder::ApplyEnabled(Bound& bound) {
  auto* container = dynamic_cast<ui::Container*>(bound.control);
  if (bound.kind == Kind::Form) return;
  // A container only blocks input; the controls inside show that they cannot be used.
  const bool enabled = container != nullptr ? bound.control->Enabled()
                                            : bound.control->EffectivelyEnabled();
  if ((IsWindowEnabled(bound.hwnd) != FALSE) != enabled) {
    EnableWindow(bound.hwnd, enabled ? TRUE : FALSE);
    if (!enabled) ScheduleFocusCheck();
  }
  if (bound.kind == Kind::GroupBox) InvalidateRect(bound.hwnd, nullptr, TRUE);
  if (container != nullptr) {
    for (ui::Control* child : container->Children()) {
      if (Bound* b = Find(child)) ApplyEnabled(*b);
    }
  }
}

void FormBinder::ApplyBounds(Bound& bound) {
  if (bound.kind == Kind::Form) {
    if (!sizingFromWindow_) ApplyFormSize();
    return;
  }
  const ui::Rect b = bound.control->Bounds();
  const ui::Container* parent = bound.control->Parent();
  const int border = parent != nullptr ? parent->BorderWidth() : 0;
  const int x = Scale(border + b.left);
  const int y = Scale(border + b.top);
  const int width = Scale(border + b.Right()) - x;
  int height = Scale(border + b.Bottom()) - y;
  // A drop-down list's window includes its list.
  if (bound.kind == Kind::ComboBox) height += Scale(kComboDropHeight);
  SetWindowPos(bound.hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  if (bound.kind == Kind::GroupBox || bound.kind == Kind::Picture) {
    InvalidateRect(bound.hwnd, nullptr, TRUE);
  }
  FitText(bound);
}

void FormBinder::FitText(Bound& bound) {
  const bool isLabel = bound.kind == Kind::Label;
  if (!isLabel && bound.kind != Kind::CheckBox && bound.kind != Kind::RadioButton) return;
  ui::Control& control = *bound.control;
  if (control.Caption().empty()) return;
  if (isLabel && !static_cast<const ui::Label&>(control).WordWrap()) return;
  RECT client{};
  GetClientRect(bound.hwnd, &client);
  if (client.right <= 0) return;
  // A caption the system's fonts make longer than the control was laid out for would lose its
  // end: a wrapped label grows downwards, a check box or radio button to the right. Controls
  // never shrink below what the layout gave them.
  HDC dc = GetDC(bound.hwnd);
  if (dc == nullptr) return;
  HGDIOBJ old = SelectObject(dc, font_.get());
  const std::wstring text = ToWide(control.Caption());
  RECT needed{0, 0, isLabel ? client.right : 0, 0};
  DrawTextW(dc, text.c_str(), -1, &needed,
            DT_CALCRECT | DT_EXPANDTABS | (isLabel ? DT_WORDBREAK : DT_SINGLELINE));
  SelectObject(dc, old);
  ReleaseDC(bound.hwnd, dc);
  const int dpi = static_cast<int>(dpi_);
  const auto unscale = [dpi](int pixels) { return (pixels * 96 + dpi - 1) / dpi; };  // rounded up
  ui::Rect bounds = control.Bounds();
  if (isLabel) {
    const int height = unscale(needed.bottom);
    if (height <= bounds.height) return;
    bounds.height = height;
  } else {
    const int width = unscale(needed.right) + kCheckGlyphWidth + kCheckTextGap;
    if (width <= bounds.width) return;
    bounds.width = width;
  }
  control.SetBounds(bounds);
}

void FormBinder::ApplyFormSize() {
  const ui::Rect b = form_.Bounds();
  const DWORD style = static_cast<DWORD>(GetWindowLongW(window_, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(window_, GWL_EXSTYLE));
  RECT r{0, 0, Scale(b.width), Scale(b.height)};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  int x = 0;
  int y = 0;
  if (!shown_ && form_.Centered()) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &info);
    const RECT& area = info.rcWork;
    x = area.left + ((area.right - area.left) - width) / 2;
    y = area.top + ((area.bottom - area.top) - height) / 2;
  } else if (!shown_) {
    x = Scale(b.left);
    y = Scale(b.top);
  } else {
    flags |= SWP_NOMOVE;
  }
  SetWindowPos(window_, nullptr, x, y, width, height, flags);
}

void FormBinder::ApplyChecked(Bound& bound) {
  bool checked = false;
  if (bound.kind == Kind::RadioButton) {
    checked = static_cast<const ui::RadioButton&>(*bound.control).Checked();
  } else if (bound.kind == Kind::CheckBox) {
    checked = static_cast<const ui::CheckBox&>(*bound.control).Checked();
  } else {
    return;
  }
  SendMessageW(bound.hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void FormBinder::ApplyOptions(Bound& bound) {
  switch (bound.kind) {
    case Kind::Form:
      ApplyFont();
      for (auto& [model, b] : bound_) {
        if (b->kind == Kind::PageControl) MeasurePageInsets(*b);
      }
      break;
    case Kind::Label: {
      const bool wrap = static_cast<const ui::Label&>(*bound.control).WordWrap();
      LONG style = GetWindowLongW(bound.hwnd, GWL_STYLE);
      style = (style & ~static_cast<LONG>(SS_TYPEMASK)) | (wrap ? SS_LEFT : SS_LEFTNOWORDWRAP);
      SetWindowLongW(bound.hwnd, GWL_STYLE, style);
      InvalidateRect(bound.hwnd, nullptr, TRUE);
      FitText(bound);
      break;
    }
    case Kind::RichEdit: {
      const auto& re = static_cast<const ui::RichEdit&>(*bound.control);
      SendMessageW(bound.hwnd, EM_SETREADONLY, re.ReadOnly() ? TRUE : FALSE, 0);
      LONG style = GetWindowLongW(bound.hwnd, GWL_STYLE) & ~static_cast<LONG>(WS_VSCROLL | WS_HSCROLL);
      const ui::ScrollBars bars = re.Scrolling();
      if (bars == ui::ScrollBars::Vertical || bars == ui::ScrollBars::Both) style |= WS_VSCROLL;
      if (bars == ui::ScrollBars::Horizontal || bars == ui::ScrollBars::Both) style |= WS_HSCROLL;
      SetWindowLongW(bound.hwnd, GWL_STYLE, style);
      SendMessageW(bound.hwnd, EM_SHOWSCROLLBAR, SB_VERT,
                   (style & WS_VSCROLL) != 0 ? TRUE : FALSE);
      SendMessageW(bound.hwnd, EM_SHOWSCROLLBAR, SB_HORZ,
                   (style & WS_HSCROLL) != 0 ? TRUE : FALSE);
      SetWindowPos(bound.hwnd, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
      break;
    }
    case Kind::ListView: ApplyListOptions(bound); break;
    case Kind::Picture:
      LoadPicture(bound);
      InvalidateRect(bound.hwnd, nullptr, TRUE);
      break;
    default: break;
  }
}

void FormBinder::ApplyTabs(Bound& bound) {
  auto& pages = static_cast<ui::PageControl&>(*bound.control);
  std::vector<const ui::TabSheet*> wanted;
  for (int i = 0; i < pages.PageCount(); ++i) {
    const ui::TabSheet& page = pages.Page(i);
    if (page.TabVisible()) wanted.push_back(&page);
  }
  // Remove and insert single tabs, so the tabs that stay keep their place.
  std::vector<const ui::TabSheet*>& tabs = bound.tabs;
  std::size_t i = 0;
  while (i < wanted.size()) {
    if (i < tabs.size() && tabs[i] == wanted[i]) {
      ++i;
      continue;
    }
    if (std::find(tabs.begin() + static_cast<std::ptrdiff_t>(i), tabs.end(), wanted[i]) !=
        tabs.end()) {
      SendMessageW(bound.hwnd, TCM_DELETEITEM, i, 0);
      tabs.erase(tabs.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    std::wstring text = ToWide(wanted[i]->Caption());
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageW(bound.hwnd, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    tabs.insert(tabs.begin() + static_cast<std::ptrdiff_t>(i), wanted[i]);
    ++i;
  }
  while (tabs.size() > wanted.size()) {
    SendMessageW(bound.hwnd, TCM_DELETEITEM, tabs.size() - 1, 0);
    tabs.pop_back();
  }
  // The strip's height depends on its tabs (none at all is lower).
  MeasurePageInsets(bound);
  ApplyActivePage(bound);
}

void FormBinder::ApplyActivePage(Bound& bound) {
  auto& pages = static_cast<ui::PageControl&>(*bound.control);
  const ui::TabSheet* active = pages.ActivePage();
  const auto at = std::find(bound.tabs.begin(), bound.tabs.end(), active);
  // A page shown by code while its tab is hidden leaves no tab selected.
  const int tab = at != bound.tabs.end() ? static_cast<int>(at - bound.tabs.begin()) : -1;
  if (static_cast<int>(SendMessageW(bound.hwnd, TCM_GETCURSEL, 0, 0)) != tab) {
    SendMessageW(bound.hwnd, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
  }
  // Show the new page before hiding the old one: no flash of the empty tab body.
  if (Bound* shown = Find(active)) ApplyVisible(*shown);
  for (int i = 0; i < pages.PageCount(); ++i) {
    if (Bound* page = Find(&pages.Page(i))) ApplyVisible(*page);
  }
}

void FormBinder::ApplyFocus(Bound& bound) {
  if (!bound.control->Focused() || !shown_) return;
  if (ControlOf(GetFocus()) == bound.control) return;
  SetFocus(bound.hwnd);
}

void FormBinder::ApplyZOrder(ui::Container& container) {
  HWND after = HWND_TOP;
  for (ui::Control* child : container.Children()) {
    Bound* b = Find(child);
    if (b == nullptr) continue;
    SetWindowPos(b->hwnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = b->hwnd;
  }
}

void FormBinder::ApplyFont() {
  LOGFONTW font{};
  if (form_.FontName().empty() || form_.FontSize() <= 0) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    font = metrics.lfMessageFont;
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi_), static_cast<int>(WindowDpi(nullptr)));
  } else {
    font.lfHeight = -MulDiv(form_.FontSize(), static_cast<int>(dpi_), 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    const std::wstring face = ToWide(form_.FontName());
    wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  }
  UniqueFont created(CreateFontIndirectW(&font));
  if (!created) return;
  for (auto& [model, b] : bound_) {
    if (b->hwnd != nullptr && b->kind != Kind::Form) {
      SendMessageW(b->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(created.get()), TRUE);
    }
  }
  // The old font goes only after no control uses it any more.
  font_ = std::move(created);
}

void FormBinder::MeasurePageInsets(Bound& bound) {
  RECT client{};
  GetClientRect(bound.hwnd, &client);
  if (client.right <= 0 || client.bottom <= 0) {
    client = {0, 0, Scale(kMeasureSize), Scale(kMeasureSize)};
  }
  RECT display = client;
  SendMessageW(bound.hwnd, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  const auto unscale = [this](int v) { return MulDiv(v, 96, static_cast<int>(dpi_)); };
  ui::PageInsets insets;
  insets.left = unscale(display.left - client.left);
  insets.top = unscale(display.top - client.top);
  insets.right = unscale(client.right - display.right);
  insets.bottom = unscale(client.bottom - display.bottom);
  static_cast<ui::PageControl&>(*bound.control).SetInsets(insets);
}

void FormBinder::LoadPicture(Bound& bound) {
  bound.bitmap.reset();
  bound.bitmapSize = {};
  const auto& picture = static_cast<const ui::Picture&>(*bound.control);
  if (picture.ImageName().empty()) return;
  UniqueBitmap loaded(static_cast<HBITMAP>(LoadImageW(instance_, ToWide(picture.ImageName()).c_str(),
                                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!loaded) return;
  DIBSECTION dib{};
  if (GetObjectW(loaded.get(), sizeof dib, &dib) != sizeof dib) return;
  bound.bitmapSize = {dib.dsBm.bmWidth, dib.dsBm.bmHeight};
  if (dib.dsBm.bmBitsPixel == 32 && dib.dsBm.bmBits != nullptr) {
    // AlphaBlend wants its colours multiplied by their alpha.
    auto* px = static_cast<std::uint8_t*>(dib.dsBm.bmBits);
    const std::size_t count =
        static_cast<std::size_t>(dib.dsBm.bmWidth) * static_cast<std::size_t>(dib.dsBm.bmHeight);
    for (std::size_t i = 0; i < count; ++i, px += 4) {
      const unsigned a = px[3];
      px[0] = static_cast<std::uint8_t>(px[0] * a / 255);
      px[1] = static_cast<std::uint8_t>(px[1] * a / 255);
      px[2] = static_cast<std::uint8_t>(px[2] * a / 255);
    }
  }
  bound.bitmap = std::move(loaded);
}

void FormBinder::Relayout() {
  ++pushing_;
  ApplyFont();
  for (auto& [model, b] : bound_) {
    if (b->kind == Kind::Form) continue;
    ApplyBounds(*b);
    if (b->kind == Kind::ListView) ApplyListColumns(*b);
  }
  for (auto& [model, b] : bound_) {
    if (b->kind == Kind::PageControl) MeasurePageInsets(*b);
  }
  --pushing_;
  InvalidateRect(window_, nullptr, TRUE);
}

// ---- painting --------------------------------------------------------------------------------

HBRUSH FormBinder::BackgroundBrush(const ui::Control* control) const {
  for (const ui::Control* c = control; c != nullptr; c = c->Parent()) {
    // A themed tab body is light, as the pages of the system's own dialogs are.
    if (dynamic_cast<const ui::TabSheet*>(c) != nullptr && themed_) {
      return GetSysColorBrush(COLOR_WINDOW);
    }
  }
  return GetSysColorBrush(COLOR_BTNFACE);
}

void FormBinder::PaintContainer(Bound& bound, HDC dc, const RECT& area) {
  FillRect(dc, &area, BackgroundBrush(bound.control));
}

void FormBinder::PaintGroupBox(Bound& bound, HDC dc) {
  RECT client{};
  GetClientRect(bound.hwnd, &client);
  HGDIOBJ oldFont = SelectObject(dc, font_.get());
  const std::wstring caption = ToWide(bound.control->Caption());
  SIZE text{};
  GetTextExtentPoint32W(dc, L"Wg", 2, &text);
  RECT frame = client;
  frame.top += text.cy / 2;
  const bool enabled = bound.control->EffectivelyEnabled();
  HTHEME theme = themed_ ? OpenThemeData(bound.hwnd, L"BUTTON") : nullptr;
  if (theme != nullptr) {
    DrawThemeBackground(theme, dc, BP_GROUPBOX, enabled ? GBS_NORMAL : GBS_DISABLED, &frame,
                        nullptr);
    CloseThemeData(theme);
  } else {
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  }
  if (!caption.empty()) {
    RECT label{Scale(kGroupCaptionIndent), 0, client.right - Scale(kGroupCaptionIndent), text.cy};
    DrawTextW(dc, caption.c_str(), -1, &label, DT_SINGLELINE | DT_CALCRECT);
    RECT back = label;
    back.left -= Scale(kGroupCaptionPadding);
    back.right += Scale(kGroupCaptionPadding);
    FillRect(dc, &back, BackgroundBrush(bound.control));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    DrawTextW(dc, caption.c_str(), -1, &label, DT_SINGLELINE);
  }
  SelectObject(dc, oldFont);
}

void FormBinder::PaintPicture(Bound& bound, HDC dc) {
  RECT client{};
  GetClientRect(bound.hwnd, &client);
  FillRect(dc, &client, BackgroundBrush(bound.control->Parent()));
  if (!bound.bitmap) return;
  HDC source = CreateCompatibleDC(dc);
  if (source == nullptr) return;
  HGDIOBJ old = SelectObject(source, bound.bitmap.get());
  const int width = Scale(bound.bitmapSize.cx);
  const int height = Scale(bound.bitmapSize.cy);
  const auto& picture = static_cast<const ui::Picture&>(*bound.control);
  if (picture.Transparent()) {
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, 0, 0, width, height, source, 0, 0, bound.bitmapSize.cx, bound.bitmapSize.cy,
               blend);
  } else {
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, 0, 0, width, height, source, 0, 0, bound.bitmapSize.cx, bound.bitmapSize.cy,
               SRCCOPY);
  }
  SelectObject(source, old);
  DeleteDC(source);
}

// ---- control -> model ------------------------------------------------------------------------

// The window takes no input while a button's operation runs: what the user clicked or typed
// meanwhile (a second click of a double click on Next, say) is dropped, not run afterwards.
void FormBinder::DiscardInputQueuedMeanwhile() {
  MSG dropped{};
  while (PeekMessageW(&dropped, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE | PM_NOYIELD)) {
  }
  while (PeekMessageW(&dropped, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE | PM_NOYIELD)) {
  }
}

void FormBinder::OnCommand(Bound& bound, int code) {
  if (pushing_ > 0) return;
  // Handlers may destroy controls: after one runs, only the model's address is used.
  ui::Control* control = bound.control;
  switch (bound.kind) {
    case Kind::Button:
      if (code == BN_CLICKED && static_cast<ui::Button&>(*control).UserClick()) {
        DiscardInputQueuedMeanwhile();
      }
      break;
    case Kind::RadioButton:
      if (code == BN_CLICKED) {
        static_cast<ui::RadioButton&>(*control).UserClick();
        // A refused click leaves the control as the model has it.
        if (Bound* still = Find(control)) ApplyChecked(*still);
      }
      break;
    case Kind::CheckBox:
      if (code == BN_CLICKED) {
        static_cast<ui::CheckBox&>(*control).UserClick();
        if (Bound* still = Find(control)) ApplyChecked(*still);
      }
      break;
    case Kind::Label:
      if (code == STN_CLICKED) static_cast<ui::Label&>(*control).UserClick();
      break;
    case Kind::Edit:
      if (code == EN_CHANGE) {
        auto& edit = static_cast<ui::Edit&>(*control);
        if (!edit.UserSetText(WindowText(bound.hwnd))) {
          if (Bound* still = Find(control)) {
            ++pushing_;
            ApplyText(*still);
            --pushing_;
          }
        }
      }
      break;
    case Kind::ComboBox:
      if (code == CBN_SELCHANGE) {
        auto& combo = static_cast<ui::ComboBox&>(*control);
        const int index = static_cast<int>(SendMessageW(bound.hwnd, CB_GETCURSEL, 0, 0));
        if (!combo.UserSelect(index)) {
          if (Bound* still = Find(control)) {
            ++pushing_;
            ApplyComboSelection(*still);
            --pushing_;
          }
        }
      }
      break;
    default: break;
  }
}

bool FormBinder::OnNotify(Bound& bound, const NMHDR& header, LRESULT& result) {
  result = 0;
  if (pushing_ > 0) return false;
  if (bound.kind == Kind::PageControl && header.code == TCN_SELCHANGE) {
    ui::Control* control = bound.control;
    auto& pages = static_cast<ui::PageControl&>(*control);
    const int tab = static_cast<int>(SendMessageW(bound.hwnd, TCM_GETCURSEL, 0, 0));
    if (!pages.UserSelectTab(tab)) {
      if (Bound* still = Find(control)) {
        ++pushing_;
        ApplyActivePage(*still);
        --pushing_;
      }
    }
    return true;
  }
  if (bound.kind == Kind::ListView) return OnListNotify(bound, header);
  return false;
}

void FormBinder::OnContextMenu(HWND hwnd, POINT screen) {
  ui::Control* control = ControlOf(hwnd);
  if (control == nullptr || !control->CanInteract()) return;
  ui::PopupMenu* menu = control->EffectivePopupMenu();
  if (menu == nullptr) return;
  const std::vector<ui::MenuItem*> items = menu->Items();
  UniqueMenu popup(CreatePopupMenu());
  if (!popup) return;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!items[i]->Visible()) continue;
    AppendMenuW(popup.get(), MF_STRING | (items[i]->Enabled() ? 0u : MF_GRAYED),
                static_cast<UINT_PTR>(kIdMenuItems + static_cast<int>(i)),
                ToWide(items[i]->Caption()).c_str());
  }
  if (screen.x == -1 && screen.y == -1) {
    // From the keyboard: at the control's top-left corner.
    RECT r{};
    GetWindowRect(HandleOf(*control) != nullptr ? HandleOf(*control) : hwnd, &r);
    screen = {r.left + Scale(kKeyboardMenuOffset), r.top + Scale(kKeyboardMenuOffset)};
  }
  const int command = static_cast<int>(TrackPopupMenu(
      popup.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x, screen.y, 0, window_,
      nullptr));
  const int index = command - kIdMenuItems;
  // The menu's items may have changed while it was open: only a known item runs.
  const std::vector<ui::MenuItem*>& now = menu->Items();
  if (command != 0 && index >= 0 && static_cast<std::size_t>(index) < items.size() &&
      std::find(now.begin(), now.end(), items[static_cast<std::size_t>(index)]) != now.end()) {
    items[static_cast<std::size_t>(index)]->UserClick();
  }
}

void FormBinder::OnFormSize() {
  if (pushing_ > 0 || IsIconic(window_)) return;
  RECT client{};
  GetClientRect(window_, &client);
  sizingFromWindow_ = true;
  form_.SetClientSize(MulDiv(client.right, 96, static_cast<int>(dpi_)),
                      MulDiv(client.bottom, 96, static_cast<int>(dpi_)));
  sizingFromWindow_ = false;
}

void FormBinder::OnDpiChanged(UINT dpi, const RECT* suggested) {
  if (dpi == 0 || dpi == dpi_) return;
  dpi_ = dpi;
  Relayout();
  if (suggested != nullptr) {
    ++pushing_;
    SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    --pushing_;
  }
  ApplyFormSize();
}

void FormBinder::SyncFocus() {
  if (window_ == nullptr) return;
  ui::Control* focused = ControlOf(GetFocus());
  if (focused != nullptr && focused != &form_ && !focused->Focused()) focused->SetFocus();
}

void FormBinder::ScheduleFocusCheck() {
  if (focusCheckPending_ || window_ == nullptr) return;
  if (PostMessageW(window_, kMsgCheckFocus, 0, 0)) focusCheckPending_ = true;
}

void FormBinder::CheckFocus() {
  if (window_ == nullptr || !shown_) return;
  ui::Control* focused = form_.FocusedControl();
  if (focused == nullptr || !focused->CanFocus()) {
    // Where Tab would go from there, as a dialog moves the focus off a control gone away.
    focused = ui::NextTabStop(form_, focused, false);
    if (focused == nullptr) return;
    focused->SetFocus();
  }
  if (GetActiveWindow() != window_) return;
  if (Bound* b = Find(focused)) {
    if (ControlOf(GetFocus()) != focused) SetFocus(b->hwnd);
  }
}

// ---- keyboard --------------------------------------------------------------------------------

bool FormBinder::PreTranslateMessage(const MSG& message) {
  if (window_ == nullptr || (message.hwnd != window_ && !IsChild(window_, message.hwnd))) {
    return false;
  }
  try {
    switch (message.message) {
      case WM_KEYDOWN: {
        if (KeyDown(VK_MENU)) return false;
        const bool shift = KeyDown(VK_SHIFT);
        const bool control = KeyDown(VK_CONTROL);
        switch (message.wParam) {
          case VK_TAB: return control ? CyclePages(shift) : MoveFocus(shift);
          case VK_RETURN: {
            // An open drop-down list takes Enter as its own choice.
            wchar_t cls[32] = {};
            GetClassNameW(message.hwnd, cls, 32);
            if (std::wstring_view(cls) == WC_COMBOBOXW &&
                SendMessageW(message.hwnd, CB_GETDROPPEDSTATE, 0, 0) != 0) {
              return false;
            }
            if (shift || control) return false;
            SyncFocus();
            return ui::PressEnter(form_);
          }
          case VK_LEFT:
          case VK_UP: return !control && MoveAmongRadios(true);
          case VK_RIGHT:
          case VK_DOWN: return !control && MoveAmongRadios(false);
          default: return false;
        }
      }
      case WM_CHAR: {
        // Letters press access keys while the focus is on a control that takes no typing.
        SyncFocus();
        const ui::Control* focused = form_.FocusedControl();
        const bool typing = focused == nullptr || dynamic_cast<const ui::Edit*>(focused) ||
                            dynamic_cast<const ui::RichEdit*>(focused) ||
                            dynamic_cast<const ui::ListView*>(focused) ||
                            dynamic_cast<const ui::ComboBox*>(focused);
        if (typing || message.wParam <= L' ') return false;
        return PressAccessKey(static_cast<wchar_t>(message.wParam));
      }
      case WM_SYSCHAR: return PressAccessKey(static_cast<wchar_t>(message.wParam));
      default: return false;
    }
  } catch (const std::exception& e) {
    ReportFailure(e.what());
  } catch (...) {
    ReportFailure("unknown failure");
  }
  return true;
}

void FormBinder::AfterMessage() {
  try {
    SyncFocus();
  } catch (...) {
    ReportFailure("focus update failed");
  }
}

bool FormBinder::MoveFocus(bool backward) {
  SyncFocus();
  ui::Control* next = ui::NextTabStop(form_, form_.FocusedControl(), backward);
  if (next == nullptr) return false;
  next->SetFocus();
  Bound* b = Find(next);
  if (b == nullptr) return true;
  if (ControlOf(GetFocus()) != next) SetFocus(b->hwnd);
  // As in a dialog, a field reached by Tab has its text selected.
  if (b->kind == Kind::Edit) SendMessageW(b->hwnd, EM_SETSEL, 0, -1);
  return true;
}

bool FormBinder::CyclePages(bool backward) {
  SyncFocus();
  // The page control holding the focus, else the window's first one.
  ui::PageControl* pages = nullptr;
  for (ui::Control* c = form_.FocusedControl(); c != nullptr && pages == nullptr; c = c->Parent()) {
    pages = dynamic_cast<ui::PageControl*>(c);
  }
  if (pages == nullptr) {
    for (auto& [model, b] : bound_) {
      if (b->kind == Kind::PageControl && b->control->CanInteract()) {
        pages = static_cast<ui::PageControl*>(b->control);
        break;
      }
    }
  }
  if (pages == nullptr || pages->TabCount() == 0) return false;
  const int count = pages->TabCount();
  const int current = pages->ActivePage() != nullptr ? pages->TabIndexOf(*pages->ActivePage()) : -1;
  int next = backward ? current - 1 : current + 1;
  if (current < 0) next = backward ? count - 1 : 0;
  next = (next + count) % count;
  pages->UserSelectTab(next);
  return true;
}

bool FormBinder::MoveAmongRadios(bool backward) {
  SyncFocus();
  auto* radio = dynamic_cast<ui::RadioButton*>(form_.FocusedControl());
  if (radio == nullptr) return false;
  ui::RadioButton* next = ui::NextRadio(*radio, backward);
  if (next == nullptr) return true;
  next->SetFocus();
  next->UserClick();
  return true;
}

bool FormBinder::PressAccessKey(wchar_t key) {
  SyncFocus();
  return ui::PressAccessKey(form_, static_cast<char32_t>(key));
}

// ---- window procedure ------------------------------------------------------------------------

void FormBinder::ReportFailure(const char* what) noexcept {
  try {
    OutputDebugStringW(ToWide(std::string("Ombrant: ") + what + "\n").c_str());
    if (OnFailure) OnFailure(what);
  } catch (...) {
  }
}

LRESULT CALLBACK FormBinder::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  FormBinder* self = nullptr;
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    self = static_cast<FormBinder*>(create->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<FormBinder*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (self != nullptr) {
    try {
      LRESULT result = 0;
      if (self->HandleMessage(hwnd, message, wParam, lParam, result)) return result;
    } catch (const std::exception& e) {
      self->ReportFailure(e.what());
      return 0;
    } catch (...) {
      self->ReportFailure("unknown failure");
      return 0;
    }
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool FormBinder::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                               LRESULT& result) {
  auto found = byHandle_.find(hwnd);
  Bound* self = found != byHandle_.end() ? found->second : nullptr;
  const bool isForm = hwnd == window_ && window_ != nullptr;
  switch (message) {
    case WM_COMMAND: {
      HWND child = reinterpret_cast<HWND>(lParam);
      auto it = byHandle_.find(child);
      if (child != nullptr && it != byHandle_.end()) OnCommand(*it->second, HIWORD(wParam));
      result = 0;
      return true;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      auto it = byHandle_.find(header->hwndFrom);
      if (it == byHandle_.end()) return false;
      return OnNotify(*it->second, *header, result);
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      auto it = byHandle_.find(reinterpret_cast<HWND>(lParam));
      if (it == byHandle_.end()) return false;
      const Kind kind = it->second->kind;
      if (kind != Kind::Label && kind != Kind::RadioButton && kind != Kind::CheckBox &&
          kind != Kind::Button) {
        return false;
      }
      HDC dc = reinterpret_cast<HDC>(wParam);
      HBRUSH brush = BackgroundBrush(it->second->control);
      LOGBRUSH info{};
      GetObjectW(brush, sizeof info, &info);
      SetBkColor(dc, info.lbColor);
      SetBkMode(dc, TRANSPARENT);
      if (kind == Kind::Label && !it->second->control->EffectivelyEnabled()) {
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
      }
      result = reinterpret_cast<LRESULT>(brush);
      return true;
    }
    case WM_ERASEBKGND: {
      if (self == nullptr) return false;
      if (self->kind != Kind::Picture) {
        RECT client{};
        GetClientRect(hwnd, &client);
        PaintContainer(*self, reinterpret_cast<HDC>(wParam), client);
      }
      result = 1;
      return true;
    }
    case WM_PRINTCLIENT: {
      if (self == nullptr) return false;
      HDC dc = reinterpret_cast<HDC>(wParam);
      RECT client{};
      GetClientRect(hwnd, &client);
      if (self->kind == Kind::Picture) {
        PaintPicture(*self, dc);
      } else {
        PaintContainer(*self, dc, client);
        if (self->kind == Kind::GroupBox) PaintGroupBox(*self, dc);
      }
      return true;
    }
    case WM_PAINT: {
      if (self == nullptr) return false;
      if (self->kind == Kind::GroupBox || self->kind == Kind::Picture) {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(hwnd, &ps);
        if (self->kind == Kind::GroupBox) {
          PaintGroupBox(*self, dc);
        } else {
          PaintPicture(*self, dc);
        }
        EndPaint(hwnd, &ps);
        return true;
      }
      if (!isForm) return false;
      // Painting first; what runs on a paint may open message boxes, so it runs afterwards.
      result = DefWindowProcW(hwnd, message, wParam, lParam);
      if (!paintPending_ && PostMessageW(hwnd, kMsgPainted, 0, 0)) paintPending_ = true;
      return true;
    }
    case WM_CONTEXTMENU: {
      if (reinterpret_cast<HWND>(wParam) == nullptr) return false;
      OnContextMenu(reinterpret_cast<HWND>(wParam), {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      result = 0;
      return true;
    }
    default: break;
  }
  if (!isForm) return false;
  switch (message) {
    case WM_SIZE: OnFormSize(); return true;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      if (form_.MinWidth() > 0) info->ptMinTrackSize.x = Scale(form_.MinWidth());
      if (form_.MinHeight() > 0) info->ptMinTrackSize.y = Scale(form_.MinHeight());
      return true;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !IsIconic(hwnd)) {
        // Back to the control the models know as focused, not to the window itself.
        ScheduleFocusCheck();
        CheckFocus();
        return true;
      }
      return false;
    case WM_SETTINGCHANGE:
    case WM_THEMECHANGED:
      themed_ = IsAppThemed() && IsThemeActive();
      InvalidateRect(hwnd, nullptr, TRUE);
      return false;
    case 0x02E0: {  // WM_DPICHANGED
      OnDpiChanged(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return true;
    }
    case WM_CLOSE:
      form_.Close();
      if (form_.Closed()) PostMessageW(hwnd, kMsgDestroy, 0, 0);
      return true;
    case kMsgDestroy:
      DestroyWindow(hwnd);
      return true;
    case kMsgPainted:
      paintPending_ = false;
      if (OnPaint) OnPaint();
      return true;
    case kMsgCheckFocus:
      focusCheckPending_ = false;
      CheckFocus();
      return true;
    case WM_DESTROY:
      if (OnDestroyed) OnDestroyed();
      return false;
    case WM_NCDESTROY:
      // The controls went with the window; models may go on changing without them.
      byHandle_.clear();
      bound_.clear();
      imageLists_.clear();
      window_ = nullptr;
      return false;
    default: return false;
  }
}

}  // namespace ombrant::win32
