#include "platform/win32/winMachine.h"

namespace ombrant::win32 {

void WinMachine::SetOwnerWindow(port::HWnd window) {
  ui_.SetOwnerWindow(window);
  shell_.SetOwnerWindow(window);
}

port::Port WinMachine::Port() { return {registry_, system_, files_, shell_, ui_, accounts_, security_, processes_}; }

}  // namespace ombrant::win32
