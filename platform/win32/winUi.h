// The user-interaction area of the real Windows port: MessageBoxW.
#pragma once

#include "platform/port/kvrPortUi.h"

namespace ombrant::win32 {

class WinUi final : public port::IUi {
 public:
  // The program's window: a box asked for without an owner is owned by it, so that it is modal
  // to the window (which then takes no input), unless it is task-modal. 0: none.
  void SetOwnerWindow(port::HWnd window) { ownerWindow_ = window; }

  int MessageBox(port::HWnd owner, std::string_view text, std::string_view caption,
                 std::uint32_t type) override;

 private:
  port::HWnd ownerWindow_ = 0;
};

}  // namespace ombrant::win32
