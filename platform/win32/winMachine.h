// The real Windows machine: one of each port area, bundled for the layers above.
#pragma once

#include "platform/port/kvrPort.h"
#include "platform/win32/winAccounts.h"
#include "platform/win32/winFileSystem.h"
#include "platform/win32/winProcesses.h"
#include "platform/win32/winRegistry.h"
#include "platform/win32/winSecurity.h"
#include "platform/win32/winShell.h"
#include "platform/win32/winSystem.h"
#include "platform/win32/winUi.h"

namespace ombrant::win32 {

class WinMachine final {
 public:
  WinMachine() = default;
  WinMachine(const WinMachine&) = delete;
  WinMachine& operator=(const WinMachine&) = delete;

  // Valid while this object lives.
  [[nodiscard]] port::Port Port();
  // The program's window, owner of the boxes and of the copy's progress window that the logic
  // asks for without one; 0 once it is gone.
  void SetOwnerWindow(port::HWnd window);

 private:
  WinRegistry registry_;
  WinSystem system_;
  WinFileSystem files_;
  WinShell shell_;
  WinUi ui_;
  WinAccounts accounts_;
  WinSecurity security_;
  WinProcesses processes_;
};

}  // namespace ombrant::win32
