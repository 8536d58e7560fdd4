// SHFileOperationW for the shell area: the real shell's copy with its progress window. The
// shell adapter's SHFileOperation forwards here.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/port/kvrPortUi.h"

namespace ombrant::win32 {

// `from` and `to` are the shell's NUL-separated lists ending in an extra NUL, UTF-8.
int ShellFileOperation(port::HWnd owner, std::uint32_t operation, std::string_view from,
                       std::string_view to, std::uint16_t flags, bool* anyAborted);

}  // namespace ombrant::win32
