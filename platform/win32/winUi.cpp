#include "platform/win32/winUi.h"

#include "platform/win32/winHeaders.h"
#include "platform/win32/winText.h"

namespace ombrant::win32 {

int WinUi::MessageBox(port::HWnd owner, std::string_view text, std::string_view caption,
                      std::uint32_t type) {
  if (owner == 0 && (type & port::kMbTaskModal) == 0) owner = ownerWindow_;
  return MessageBoxW(reinterpret_cast<HWND>(owner), Wide(text).Get(), Wide(caption).Get(),
                     type);
}

}  // namespace ombrant::win32
