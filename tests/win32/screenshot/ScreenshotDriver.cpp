// Drives the running wizard as a user would, for the screenshot check: finds the window titled
// "Ombrant", shows each page in turn by clicking Next, and closes the window with Exit. Takes no
// arguments.
//
// It talks to the script that takes the screenshots over its standard streams, one line each:
//   window X Y W H TITLE        the wizard's window was found (screen rectangle, frame included)
//   message X Y W H TITLE|TEXT  a message box is up; it is answered with OK after the reply
//   page N X Y W H CAPTION      page N (1-4) shows
//   unreachable N REASON        page N cannot be reached the way a user would get there
//   check NAME ok | check NAME failed WHY
//                               a check in the real window: the keyboard, clicks while an
//                               operation runs, every caption fitting its control at this DPI
//   closed CODE                 the window is gone (CODE: the program's exit code, or "running")
//   error TEXT                  the drive stopped
// After "message" and "page" lines it waits for one line on its input ("ok") before going on,
// so that the screenshot shows what the line announced.
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Upper bounds only: where the program's 32-bit code runs emulated, it starts in minutes.
constexpr auto kStartTimeout = std::chrono::seconds(600);
constexpr auto kStepTimeout = std::chrono::seconds(180);
constexpr auto kPoll = std::chrono::milliseconds(100);

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  // One line per message: line breaks inside texts become spaces.
  for (char& c : out) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

std::wstring TextOf(HWND hwnd) {
  wchar_t buffer[1024] = {};
  GetWindowTextW(hwnd, buffer, 1024);
  return buffer;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t buffer[256] = {};
  GetClassNameW(hwnd, buffer, 256);
  return buffer;
}

void Say(const std::string& line) {
  std::cout << line << std::endl;
}

std::string RectText(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top);
}

void WaitForReply() {
  std::string reply;
  std::getline(std::cin, reply);
}

// Every window EnumWindows or EnumChildWindows reports.
BOOL CALLBACK Collect(HWND hwnd, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
  return TRUE;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(parent, &Collect, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> found;
  EnumWindows(&Collect, reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND FindWizard() {
  for (HWND hwnd : TopLevelWindows()) {
    if (IsWindowVisible(hwnd) && TextOf(hwnd) == L"Ombrant" && ClassOf(hwnd) != L"#32770") return hwnd;
  }
  return nullptr;
}

// A visible message box of the wizard's process, or null.
HWND FindMessageBox(DWORD process) {
  for (HWND hwnd : TopLevelWindows()) {
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == process && IsWindowVisible(hwnd) && ClassOf(hwnd) == L"#32770") return hwnd;
  }
  return nullptr;
}

HWND FindButton(HWND parent, const wchar_t* text) {
  for (HWND child : Children(parent)) {
    if (ClassOf(child) == L"Button" && TextOf(child) == text && IsWindowVisible(child)) return child;
  }
  return nullptr;
}

// A click on a button, as the button itself takes one (BM_CLICK). Posted: the click may open a
// modal message box, which this program must be free to answer. (Mouse input injected from
// another process proved unreliable under Wine: now and then it never reaches the window.)
void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void Check(const std::string& name, const std::string& failure) {
  Say("check " + name + (failure.empty() ? " ok" : " failed " + failure));
}

// A user's click with the mouse, as the control's own messages (posted, so that they queue as
// the user's would): down then up in the middle of it.
void MouseClick(HWND control) {
  RECT r{};
  GetClientRect(control, &r);
  const LPARAM at = MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2);
  PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(control, WM_LBUTTONUP, 0, at);
}

void Key(HWND control, WPARAM key) {
  PostMessageW(control, WM_KEYDOWN, key, 1);
  PostMessageW(control, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}


// The shown page: a visible page window inside the tab control (which also holds its own
// scroll arrows). Its number counts all pages, hidden tabs included, in the order the window
// stacks them.
struct Page {
  int number = 0;
  HWND hwnd = nullptr;
  std::wstring caption;
};

Page ShownPage(HWND wizard) {
  for (HWND child : Children(wizard)) {
    if (ClassOf(child) != L"SysTabControl32") continue;
    int number = 0;
    for (HWND page = GetWindow(child, GW_CHILD); page != nullptr; page = GetWindow(page, GW_HWNDNEXT)) {
      if (ClassOf(page) != L"OmbrantPanel") continue;
      ++number;
      if (IsWindowVisible(page)) return {number, page, TextOf(page)};
    }
  }
  return {};
}

// Reports and answers every message box that comes up, until `done` holds or time runs out.
template <typename Done>
bool WaitFor(DWORD process, Done done, std::vector<std::string>& messages,
             std::chrono::seconds timeout = kStepTimeout) {
  const auto until = Clock::now() + timeout;
  while (Clock::now() < until) {
    if (HWND box = FindMessageBox(process)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));  // let it paint
      wchar_t text[2048] = {};
      GetDlgItemTextW(box, 0xFFFF, text, 2048);
      const std::string line = Utf8(TextOf(box)) + "|" + Utf8(text);
      messages.push_back(line);
      Say("message " + RectText(box) + " " + line);
      WaitForReply();
      HWND ok = FindButton(box, L"OK");
      if (ok == nullptr) ok = FindButton(box, L"&Yes");
      if (ok != nullptr) {
        Click(ok);
      } else {
        PostMessageW(box, WM_COMMAND, IDOK, 0);
      }
      const auto gone = Clock::now() + std::chrono::seconds(10);
      while (IsWindow(box) && IsWindowVisible(box) && Clock::now() < gone) std::this_thread::sleep_for(kPoll);
      continue;
    }
    if (done()) return true;
    std::this_thread::sleep_for(kPoll);
  }
  return done();
}

bool ShowPage(HWND wizard, DWORD process, int number, std::vector<std::string>& messages) {
  const bool shown = WaitFor(process, [&] { return ShownPage(wizard).number == number; }, messages);
  if (!shown) return false;
  std::this_thread::sleep_for(std::chrono::milliseconds(700));  // let it paint
  const Page page = ShownPage(wizard);
  Say("page " + std::to_string(number) + " " + RectText(wizard) + " " + Utf8(page.caption));
  WaitForReply();
  return true;
}

bool ClickNext(HWND wizard) {
  HWND next = FindButton(wizard, L"&Next");
  if (next == nullptr || !IsWindowEnabled(next)) return false;
  Click(next);
  return true;
}

// The other way to the next page: an existing account picked from the list, if it lists any.
bool ChooseExistingAccount(HWND wizard) {
  HWND combo = nullptr;
  for (HWND child : Children(wizard)) {
    if (ClassOf(child) == L"ComboBoxEx32" && IsWindowVisible(child)) combo = child;
  }
  if (combo == nullptr || SendMessageW(combo, CB_GETCOUNT, 0, 0) <= 0) return false;
  HWND existing = FindButton(wizard, L"Select an existing user as your Ombrant:");
  if (existing == nullptr) return false;
  Click(existing);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  // The first entry, as the Down key in the closed list picks it.
  HWND list = reinterpret_cast<HWND>(SendMessageW(combo, CBEM_GETCOMBOCONTROL, 0, 0));
  PostMessageW(list != nullptr ? list : combo, WM_KEYDOWN, VK_DOWN, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  return SendMessageW(combo, CB_GETCURSEL, 0, 0) >= 0;
}

// On the applications page: the first application selected, then its impersonated desktop
// shortcut asked for, as a user clicks them. Says "selected ..." like a page once the box shows
// the click. False when the page has no application or no such box.
bool SelectFirstApplication(HWND wizard, DWORD process, std::vector<std::string>& messages) {
  HWND list = nullptr;
  for (HWND child : Children(wizard)) {
    if (ClassOf(child) == L"SysListView32" && IsWindowVisible(child)) list = child;
  }
  if (list == nullptr || SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) <= 0) return false;
  // A click on the first item, which sits at the top left of the list. (LVM_SETITEMSTATE would
  // need its structure in the other process's memory.)
  const LPARAM at = MAKELPARAM(40, 8);
  PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(list, WM_LBUTTONUP, 0, at);
  HWND box = nullptr;
  const bool enabled = WaitFor(process, [&] {
    box = FindButton(wizard, L"... on your desktop, impersonated.");
    return box != nullptr && IsWindowEnabled(box);
  }, messages);
  if (!enabled) return false;
  // Ticked with Space, as the keyboard does it.
  if (SendMessageW(box, BM_GETCHECK, 0, 0) != BST_CHECKED) Key(box, VK_SPACE);
  const bool ticked = WaitFor(process, [&] { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; },
                              messages);
  Check("SpaceTicksACheckBox", ticked ? "" : "Space on the desktop shortcut box left it unticked");
  if (!ticked) return false;
  std::this_thread::sleep_for(std::chrono::milliseconds(700));  // let it paint
  Say("selected " + RectText(wizard) + " " + Utf8(ShownPage(wizard).caption));
  WaitForReply();
  return true;
}

// The visible rich edit (its class name differs between the library's versions), or null.
HWND FindRichEdit(HWND parent) {
  for (HWND child : Children(parent)) {
    if (_wcsnicmp(ClassOf(child).c_str(), L"RichEdit", 8) == 0 && IsWindowVisible(child)) return child;
  }
  return nullptr;
}

// The control with the keyboard focus in the wizard's thread.
HWND FocusOf(HWND wizard) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(wizard, nullptr), &info) ? info.hwndFocus : nullptr;
}

// Tab pressed until `target` has the focus; false when it never gets it.
bool TabTo(HWND wizard, HWND target) {
  for (int i = 0; i < 12 && FocusOf(wizard) != target; ++i) {
    HWND at = FocusOf(wizard);
    Key(at != nullptr ? at : wizard, VK_TAB);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
  }
  return FocusOf(wizard) == target;
}

// Waits up to `seconds` for a message box; answers it with `button` (or leaves it up with null)
// and returns its text, empty when none came.
std::string TakeBox(DWORD process, int seconds, const wchar_t* button, HWND* shown = nullptr) {
  const auto until = Clock::now() + std::chrono::seconds(seconds);
  while (Clock::now() < until) {
    if (HWND box = FindMessageBox(process)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      wchar_t text[2048] = {};
      GetDlgItemTextW(box, 0xFFFF, text, 2048);
      if (shown != nullptr) *shown = box;
      if (button != nullptr) {
        if (HWND b = FindButton(box, button)) Click(b);
        const auto gone = Clock::now() + std::chrono::seconds(20);
        while (IsWindow(box) && IsWindowVisible(box) && Clock::now() < gone) std::this_thread::sleep_for(kPoll);
      }
      const std::string said = Utf8(text);
      return said.empty() ? std::string("(a box without text)") : said;
    }
    std::this_thread::sleep_for(kPoll);
  }
  return {};
}

// On the first page: a question box keeps the window from taking clicks, Enter presses the
// focused button, and Enter anywhere else presses Next. Leaves the wizard on page 2 when Enter
// worked there.
void CheckFirstPage(HWND wizard, DWORD process) {
  HWND uninstall = FindButton(wizard, L"Uninstall");
  HWND next = FindButton(wizard, L"&Next");
  HWND exitButton = FindButton(wizard, L"Exit");
  if (uninstall == nullptr || next == nullptr || exitButton == nullptr) {
    Check("ClicksBehindABoxChangeNothing", "the first page lacks Uninstall, Next or Exit");
    return;
  }
  // The uninstall question up; Uninstall, Next and Exit clicked behind it; answered No.
  Click(uninstall);
  HWND box = nullptr;
  const std::string question = TakeBox(process, 60, nullptr, &box);
  if (question.empty()) {
    Check("ClicksBehindABoxChangeNothing", "Uninstall showed no question");
  } else {
    for (HWND behind : {uninstall, next, exitButton}) Click(behind);
    std::this_thread::sleep_for(std::chrono::seconds(2));
    if (HWND no = FindButton(box, L"&No")) Click(no);
    std::this_thread::sleep_for(std::chrono::seconds(3));
    std::string failure;
    if (!IsWindow(wizard)) failure = "the window closed";
    else if (ShownPage(wizard).number != 1) failure = "the page changed to " + std::to_string(ShownPage(wizard).number);
    else if (const std::string again = TakeBox(process, 2, L"&No"); !again.empty())
      failure = "another box came: " + again;
    Check("ClicksBehindABoxChangeNothing", failure);
  }
  if (!IsWindow(wizard)) return;

  // Uninstall reached with Tab: Enter presses it, not Next.
  if (!TabTo(wizard, uninstall)) {
    Check("EnterPressesTheFocusedButton", "Tab never reached Uninstall");
  } else {
    Key(uninstall, VK_RETURN);
    const std::string asked = TakeBox(process, 30, L"&No");
    Check("EnterPressesTheFocusedButton",
          asked.empty() ? "Enter on the focused Uninstall button showed no question"
                        : ShownPage(wizard).number != 1 ? "Enter also went on to another page" : "");
  }

  // Enter in the introduction's text goes on, as Next does.
  HWND text = FindRichEdit(wizard);
  if (text == nullptr) {
    Check("EnterElsewherePressesNext", "no introduction text to type Enter in");
    return;
  }
  if (!TabTo(wizard, text)) {
    Check("EnterElsewherePressesNext", "Tab never reached the introduction text");
    return;
  }
  Key(text, VK_RETURN);
  std::vector<std::string> messages;
  const bool moved = WaitFor(process, [&] { return ShownPage(wizard).number == 2; }, messages,
                             std::chrono::seconds(60));
  Check("EnterElsewherePressesNext", moved ? "" : "Enter in the introduction left the page");
}

// Each caption drawn in its control's font at this DPI, against the control's size; and the
// window against the work area.
void CheckFits(HWND wizard, int page) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  HFONT font = CreateFontW(-MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH, L"MS Shell Dlg 2");
  HGDIOBJ old = SelectObject(screen, font);
  const int box = GetSystemMetrics(SM_CXMENUCHECK) + MulDiv(4, dpi, 96);
  std::string clipped;
  for (HWND child : Children(wizard)) {
    if (!IsWindowVisible(child)) continue;
    const std::wstring cls = ClassOf(child);
    const std::wstring caption = TextOf(child);
    if (caption.empty() || (cls != L"Button" && cls != L"Static")) continue;
    RECT client{};
    GetClientRect(child, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    int room = width;
    if (cls == L"Button") {
      const LONG kind = style & BS_TYPEMASK;
      if (kind == BS_GROUPBOX) room = width - MulDiv(16, dpi, 96);
      else if (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON) room = width - MulDiv(6, dpi, 96);
      else room = width - box;
    }
    RECT need{0, 0, room, 0};
    const bool wraps = cls == L"Static" || (style & BS_MULTILINE) != 0;
    DrawTextW(screen, caption.c_str(), -1, &need, DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
    const int needWidth = need.right - need.left;
    const int needHeight = need.bottom - need.top;
    const bool groupBox = cls == L"Button" && (style & BS_TYPEMASK) == BS_GROUPBOX;
    if (needWidth > room || (!groupBox && needHeight > height)) {
      clipped += (clipped.empty() ? "" : "; ") + Utf8(caption) + " needs " + std::to_string(needWidth) +
                 "x" + std::to_string(needHeight) + " in " + std::to_string(room) + "x" +
                 std::to_string(height);
    }
  }
  SelectObject(screen, old);
  DeleteObject(font);
  ReleaseDC(nullptr, screen);
  Check("Page" + std::to_string(page) + "CaptionsFit", clipped);

  RECT frame{}, work{};
  GetWindowRect(wizard, &frame);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const bool fits = frame.right - frame.left <= work.right - work.left &&
                    frame.bottom - frame.top <= work.bottom - work.top;
  if (page == 1) {
    Check("FrameFitsTheWorkArea",
          fits ? "" : "the window is " + std::to_string(frame.right - frame.left) + "x" +
                         std::to_string(frame.bottom - frame.top) + ", the work area " +
                         std::to_string(work.right - work.left) + "x" +
                         std::to_string(work.bottom - work.top));
  }
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += (out.empty() ? "" : "; ") + line;
  return out.empty() ? "none" : out;
}

int Drive() {
  const auto start = Clock::now();
  HWND wizard = nullptr;
  while ((wizard = FindWizard()) == nullptr) {
    if (Clock::now() - start > kStartTimeout) {
      Say("error no window titled Ombrant appeared");
      return 1;
    }
    std::this_thread::sleep_for(kPoll);
  }
  DWORD process = 0;
  GetWindowThreadProcessId(wizard, &process);
  Say("window " + RectText(wizard) + " " + Utf8(TextOf(wizard)));

  std::vector<std::string> messages;
  for (int number = 1; number <= 4; ++number) {
    if (number > 1) {
      const std::size_t before = messages.size();
      bool clicked = false;
      bool shown = false;
      if (number == 2 && ShownPage(wizard).number == 2) {
        // The keyboard checks of the first page went on already.
        clicked = shown = ShowPage(wizard, process, number, messages);
      } else if (number == 3) {
        // A double click on Next: the account step once, then the next page stays.
        HWND next = FindButton(wizard, L"&Next");
        clicked = next != nullptr && IsWindowEnabled(next);
        if (clicked) {
          MouseClick(next);
          MouseClick(next);
          shown = ShowPage(wizard, process, number, messages);
          std::this_thread::sleep_for(std::chrono::seconds(3));
          const int now = ShownPage(wizard).number;
          const std::size_t boxes = messages.size() - before;
          Check("DoubleClickOnNextRunsOnce",
                shown ? (now != 3 ? "the second click went on to page " + std::to_string(now) : "")
                      : boxes > 1 ? "the account step ran again: " + std::to_string(boxes) + " boxes"
                                  : "");
        }
      } else if (number == 4) {
        // Space on a focused push button presses it.
        HWND next = FindButton(wizard, L"&Next");
        clicked = next != nullptr && IsWindowEnabled(next);
        if (clicked) {
          Key(next, VK_SPACE);
          shown = ShowPage(wizard, process, number, messages);
          Check("SpacePressesAButton", shown ? "" : "Space on Next did not go on");
        }
      } else {
        clicked = ClickNext(wizard);
        shown = clicked && ShowPage(wizard, process, number, messages);
      }
      if (shown) CheckFits(wizard, number);
      if (!shown && number == 3 && ChooseExistingAccount(wizard) && ClickNext(wizard)) {
        shown = ShowPage(wizard, process, number, messages);
      }
      if (!shown) {
        const std::vector<std::string> step(messages.begin() + static_cast<std::ptrdiff_t>(before),
                                            messages.end());
        Say("unreachable " + std::to_string(number) + " " +
            (clicked ? "Next left the wizard on page " + std::to_string(ShownPage(wizard).number) +
                           " (" + Utf8(ShownPage(wizard).caption) + "); messages: " + Joined(step)
                     : "Next is not there or not enabled on page " +
                           std::to_string(ShownPage(wizard).number)));
        for (int rest = number + 1; rest <= 4; ++rest) {
          Say("unreachable " + std::to_string(rest) + " page " + std::to_string(number) +
              " was not reached");
        }
        break;
      }
    } else if (ShowPage(wizard, process, 1, messages)) {
      CheckFits(wizard, 1);
      CheckFirstPage(wizard, process);
    } else {
      // What the window holds instead, for whoever reads the log.
      for (HWND child : Children(wizard)) {
        Say("error control " + Utf8(ClassOf(child)) + " \"" + Utf8(TextOf(child)) + "\" " +
            (IsWindowVisible(child) ? "visible" : "hidden"));
      }
      for (int rest = 1; rest <= 4; ++rest) {
        Say("unreachable " + std::to_string(rest) + " the first page did not show; messages: " +
            Joined(messages));
      }
      break;
    }
  }

  if (ShownPage(wizard).number == 4 && !SelectFirstApplication(wizard, process, messages)) {
    Say("error the first application could not be selected and given a desktop shortcut");
  }

  HWND exitButton = FindButton(wizard, L"Exit");
  if (exitButton == nullptr) {
    Say("error no Exit button");
    return 1;
  }
  Click(exitButton);
  HANDLE handle = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
  const bool gone = WaitFor(process, [&] { return !IsWindow(wizard); }, messages);
  std::string code = "running";
  if (gone && handle != nullptr && WaitForSingleObject(handle, 20000) == WAIT_OBJECT_0) {
    DWORD exitCode = 0;
    GetExitCodeProcess(handle, &exitCode);
    code = std::to_string(exitCode);
  }
  if (handle != nullptr) CloseHandle(handle);
  Say(gone ? "closed " + code : "error the window did not close after Exit");
  return gone ? 0 : 1;
}

}  // namespace

int main() {
  try {
    return Drive();
  } catch (const std::exception& e) {
    Say(std::string("error ") + e.what());
  } catch (...) {
    Say("error unknown failure");
  }
  return 1;
}
