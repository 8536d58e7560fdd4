// UTF-8 at the port, UTF-16 for the W functions: buffers the calls may write to, and "none"
// for empty text.
#pragma once

#include <string>
#include <string_view>

#include "platform/vqStrings.h"

namespace ombrant::win32 {

// NUL-terminated UTF-16; Null() is null for empty text, where the calls take "none".
class Wide {
 public:
  explicit Wide(std::string_view utf8) : text_(Utf8ToUtf16(utf8)) {}
  [[nodiscard]] const wchar_t* Get() const {
    return reinterpret_cast<const wchar_t*>(text_.c_str());
  }
  [[nodiscard]] wchar_t* Mutable() { return reinterpret_cast<wchar_t*>(text_.data()); }
  [[nodiscard]] const wchar_t* Null() const { return text_.empty() ? nullptr : Get(); }
  [[nodiscard]] wchar_t* MutableNull() { return text_.empty() ? nullptr : Mutable(); }

 private:
  std::u16string text_;
};

inline std::string Narrow(const wchar_t* text) {
  if (text == nullptr) return {};
  return Utf16ToUtf8(reinterpret_cast<const char16_t*>(text));
}

inline std::string Narrow(const wchar_t* text, std::size_t length) {
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
}

}  // namespace ombrant::win32
