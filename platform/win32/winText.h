// UTF-8 at the port, UTF-16 for the W functions.
#pragma once

#include <string>
#include <string_view>

#include "platform/vqStrings.h"

namespace ombrant::win32 {

// A NUL-terminated UTF-16 copy of a UTF-8 text, for one call.
class WideArg {
 public:
  explicit WideArg(std::string_view utf8) : text_(Utf8ToUtf16(utf8)) {}
  [[nodiscard]] const wchar_t* get() const { return reinterpret_cast<const wchar_t*>(text_.c_str()); }

 private:
  std::u16string text_;
};

// UTF-8 of a NUL-terminated UTF-16 text.
[[nodiscard]] inline std::string FromWide(const wchar_t* text) {
  return Utf16ToUtf8(reinterpret_cast<const char16_t*>(text));
}

}  // namespace ombrant::win32
