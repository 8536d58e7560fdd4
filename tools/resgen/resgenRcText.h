// Text for resource scripts: a UTF-8 string as a wide string literal that windres and rc.exe
// both read back as the same UTF-16 text.
#pragma once

#include <string>
#include <string_view>

#include "platform/vqStrings.h"

namespace ombrant::resgen {

// L"..." for a resource script. Printable ASCII stays as it is, with a quote doubled and a
// backslash escaped; every other UTF-16 code unit is written as \xHHHH, which both compilers read
// as exactly four hex digits, so a digit that follows cannot join the escape.
inline std::string RcWideLiteral(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "L\"";
  for (char16_t unit : Utf8ToUtf16(utf8)) {
    if (unit == u'"') {
      out += "\"\"";
    } else if (unit == u'\\') {
      out += "\\\\";
    } else if (unit >= 0x20 && unit < 0x7F) {
      out += static_cast<char>(unit);
    } else {
      out += "\\x";
      for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(unit >> shift) & 0xF];
    }
  }
  out += '"';
  return out;
}

}  // namespace ombrant::resgen
