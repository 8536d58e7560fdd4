// The user-interaction area of the real Windows port: MessageBoxW.
#pragma once

#include "platform/port/kvrPortUi.h"

namespace ombrant::win32 {

class WinUi final : public port::IUi {
 public:
  int MessageBox(port::HWnd owner, std::string_view text, std::string_view caption,
                 std::uint32_t type) override;
};

}  // namespace ombrant::win32
