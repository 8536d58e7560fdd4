// The real Windows machine: one of each port area, bundled for the layers above.
#pragma once

#include "platform/port/kvrPort.h"
#include "platform/win32/winRegistry.h"
#include "platform/win32/winSystem.h"

namespace ombrant::win32 {

class WinMachine final {
 public:
  WinMachine() = default;
  WinMachine(const WinMachine&) = delete;
  WinMachine& operator=(const WinMachine&) = delete;

  // Valid while this object lives.
  [[nodiscard]] port::Port Port();

 private:
  WinRegistry registry_;
  WinSystem system_;
};

}  // namespace ombrant::win32
