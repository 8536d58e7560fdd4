#include "platform/win32/winHeaders.h"

#include <shellapi.h>

#include <string>

#include "platform/vqStrings.h"
#include "platform/win32/winShellFileOperation.h"

namespace ombrant::win32 {

int ShellFileOperation(port::HWnd owner, std::uint32_t operation, std::string_view from,
                       std::string_view to, std::uint16_t flags, bool* anyAborted) {
  // The lists keep their NULs through the conversion; one more NUL guards a list that lacks its
  // terminator.
  std::u16string wideFrom = Utf8ToUtf16(from);
  std::u16string wideTo = Utf8ToUtf16(to);
  wideFrom.append(2, u'\0');
  wideTo.append(2, u'\0');
  SHFILEOPSTRUCTW op{};
  op.hwnd = reinterpret_cast<HWND>(owner);
  op.wFunc = operation;
  op.pFrom = reinterpret_cast<const wchar_t*>(wideFrom.c_str());
  op.pTo = to.empty() ? nullptr : reinterpret_cast<const wchar_t*>(wideTo.c_str());
  op.fFlags = flags;
  const int result = SHFileOperationW(&op);
  if (anyAborted != nullptr) *anyAborted = op.fAnyOperationsAborted != FALSE;
  return result;
}

}  // namespace ombrant::win32
