// The registry area of the real Windows port: the W functions of advapi32, UTF-8 at the port.
#pragma once

#include "platform/port/kvrPortRegistry.h"

namespace ombrant::win32 {

// Keys handed out are real HKEYs owned by the caller, who closes them with RegCloseKey.
// In the 64-bit build an access mask without a view flag gets KEY_WOW64_32KEY, so that the
// registry looks as it does to the 32-bit program.
class WinRegistry final : public port::IRegistry {
 public:
  WinRegistry();
  WinRegistry(const WinRegistry&) = delete;
  WinRegistry& operator=(const WinRegistry&) = delete;

  port::Status RegOpenKeyEx(port::HKey key, std::string_view subKey, std::uint32_t access,
                            port::HKey* result) override;
  port::Status RegCreateKeyEx(port::HKey key, std::string_view subKey, std::uint32_t access,
                              port::HKey* result, bool* created) override;
  port::Status RegCloseKey(port::HKey key) override;
  port::Status RegQueryValueEx(port::HKey key, std::string_view valueName, std::uint32_t* type,
                               std::uint8_t* data, std::uint32_t* size) override;
  port::Status RegSetValueEx(port::HKey key, std::string_view valueName, std::uint32_t type,
                             const std::uint8_t* data, std::uint32_t size) override;
  port::Status RegQueryInfoKey(port::HKey key, port::RegKeyInfo* info) override;
  port::Status RegEnumKeyEx(port::HKey key, std::uint32_t index, std::string* name) override;
  port::Status RegEnumValue(port::HKey key, std::uint32_t index, std::string* name) override;
  port::Status RegDeleteValue(port::HKey key, std::string_view valueName) override;
  port::Status RegDeleteKeyEx(port::HKey key, std::string_view subKey,
                              std::uint32_t access) override;
  // One open, one query per value into a buffer that holds most values whole, one close.
  port::Status RegGetValues(port::HKey key, std::string_view subKey, std::uint32_t access,
                            std::span<const std::string_view> names,
                            std::vector<port::RegValueData>* values) override;

 private:
  // RegDeleteKeyExW, absent before Vista and 64-bit XP; null then.
  using DeleteKeyExFn = long(__stdcall*)(void* key, const wchar_t* subKey, unsigned long access,
                                         unsigned long reserved);
  DeleteKeyExFn deleteKeyEx_ = nullptr;
};

}  // namespace ombrant::win32
