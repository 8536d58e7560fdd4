// UTF-8 inside the program, UTF-16 for the W functions.
#pragma once

#include <string>
#include <string_view>

#include "platform/vqStrings.h"

namespace ombrant::win32 {

[[nodiscard]] inline std::wstring ToWide(std::string_view utf8) {
  const std::u16string text = Utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

[[nodiscard]] inline std::string ToUtf8(std::wstring_view text) {
  return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

}  // namespace ombrant::win32
