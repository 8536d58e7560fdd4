#include "platform/win32/winMachine.h"

namespace ombrant::win32 {

port::Port WinMachine::Port() { return {registry_, system_, files_, shell_, ui_, accounts_, security_, processes_}; }

}  // namespace ombrant::win32
