#include "platform/win32/winMachine.h"

namespace ombrant::win32 {

port::Port WinMachine::Port() { return {registry_, system_, files_, shell_, ui_}; }

}  // namespace ombrant::win32
