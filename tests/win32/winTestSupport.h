// Helpers for the tests that run against the real Windows port.
#pragma once

#include <string>
#include <vector>

#include "platform/win32/winHeaders.h"

namespace ombrant::test {

// True when ntdll is Wine's.
inline bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Owns one HKEY opened with the raw API.
class UniqueHkey {
 public:
  UniqueHkey() = default;
  ~UniqueHkey() { Reset(); }
  UniqueHkey(const UniqueHkey&) = delete;
  UniqueHkey& operator=(const UniqueHkey&) = delete;

  HKEY* Out() {
    Reset();
    return &key_;
  }
  [[nodiscard]] HKEY Get() const { return key_; }
  void Reset() {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
  }

 private:
  HKEY key_ = nullptr;
};

// Owns one kernel handle (process, thread, file).
class UniqueHandle {
 public:
  explicit UniqueHandle(HANDLE handle = nullptr) : handle_(handle) {}
  ~UniqueHandle() {
    if (handle_ && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  [[nodiscard]] HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace ombrant::test
