// Drives the running wizard as a user would, for the screenshot check: finds the window titled
// "Ombrant", shows each page in turn by clicking Next, and closes the window with Exit. Takes no
// arguments.
//
// It talks to the script that takes the screenshots over its standard streams, one line each:
//   window X Y W H TITLE        the wizard's window was found (screen rectangle, frame included)
//   message X Y W H TITLE|TEXT  a message box is up; it is answered with OK after the reply
//   page N X Y W H CAPTION      page N (1-4) shows
//   unreachable N REASON        page N cannot be reached the way a user would get there
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

constexpr auto kStartTimeout = std::chrono::seconds(90);
constexpr auto kStepTimeout = std::chrono::seconds(30);
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
  if (SendMessageW(box, BM_GETCHECK, 0, 0) != BST_CHECKED) Click(box);
  if (!WaitFor(process, [&] { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; },
               messages)) {
    return false;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(700));  // let it paint
  Say("selected " + RectText(wizard) + " " + Utf8(ShownPage(wizard).caption));
  WaitForReply();
  return true;
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
      const bool clicked = ClickNext(wizard);
      bool shown = clicked && ShowPage(wizard, process, number, messages);
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
    } else if (!ShowPage(wizard, process, 1, messages)) {
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
