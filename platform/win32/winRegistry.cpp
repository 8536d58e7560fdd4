#include "platform/win32/winRegistry.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/vqStrings.h"
#include "platform/win32/winHeaders.h"

namespace ombrant::win32 {
namespace {

// The predefined roots are 32-bit numbers in the port; the real HKEY constants are those
// numbers sign-extended (0xFFFFFFFF80000001 for HKEY_CURRENT_USER in the 64-bit build).
HKEY ToHkey(port::HKey key) {
  if (port::IsPredefinedKey(key)) {
    const auto root = static_cast<LONG>(static_cast<std::uint32_t>(key));
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(root));
  }
  return reinterpret_cast<HKEY>(key);
}

port::HKey FromHkey(HKEY key) { return reinterpret_cast<port::HKey>(key); }

REGSAM WithView(std::uint32_t access) {
#ifdef _WIN64
  // The 64-bit build stands in for the 32-bit program.
  if ((access & KEY_WOW64_RES) == 0) access |= KEY_WOW64_32KEY;
#endif
  return access;
}

bool IsPredefined(HKEY key) {
  for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                    HKEY_PERFORMANCE_DATA, HKEY_CURRENT_CONFIG, HKEY_DYN_DATA}) {
    if (key == root) return true;
  }
  return false;
}

// The view for `subKey` below `key`. A direct child of an opened key lies in the view that key
// was opened in, so the stand-in's 32-bit view is not asked for again: Wine would look for a
// Wow6432Node below every such child, a second server request each time.
REGSAM ViewBelow(HKEY key, std::string_view subKey, std::uint32_t access) {
  if (!IsPredefined(key) && !subKey.empty() && subKey.find('\\') == std::string_view::npos) {
    return access;
  }
  return WithView(access);
}

// NUL-terminated UTF-16 for the W functions.
class WideText {
 public:
  explicit WideText(std::string_view utf8) : text_(Utf8ToUtf16(utf8)) {}
  const wchar_t* get() const { return reinterpret_cast<const wchar_t*>(text_.c_str()); }

 private:
  std::u16string text_;
};

std::string ToUtf8(const wchar_t* text, DWORD length) {
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
}

// Longest key and value names Windows allows, plus the NUL.
constexpr DWORD kMaxKeyName = 256;
constexpr DWORD kMaxValueName = 16384;

}  // namespace

WinRegistry::WinRegistry() {
  if (HMODULE advapi = GetModuleHandleW(L"advapi32.dll")) {
    deleteKeyEx_ = reinterpret_cast<DeleteKeyExFn>(
        reinterpret_cast<void*>(GetProcAddress(advapi, "RegDeleteKeyExW")));
  }
}

port::Status WinRegistry::RegOpenKeyEx(port::HKey key, std::string_view subKey,
                                       std::uint32_t access, port::HKey* result) {
  HKEY opened = nullptr;
  const LONG status = RegOpenKeyExW(ToHkey(key), WideText(subKey).get(), 0, WithView(access), &opened);
  if (status == ERROR_SUCCESS) *result = FromHkey(opened);
  return status;
}

port::Status WinRegistry::RegCreateKeyEx(port::HKey key, std::string_view subKey,
                                         std::uint32_t access, port::HKey* result,
                                         bool* created) {
  HKEY opened = nullptr;
  DWORD disposition = 0;
  const LONG status = RegCreateKeyExW(ToHkey(key), WideText(subKey).get(), 0, nullptr,
                                      REG_OPTION_NON_VOLATILE, WithView(access), nullptr, &opened,
                                      &disposition);
  if (status == ERROR_SUCCESS) {
    *result = FromHkey(opened);
    if (created) *created = disposition == REG_CREATED_NEW_KEY;
  }
  return status;
}

port::Status WinRegistry::RegCloseKey(port::HKey key) { return ::RegCloseKey(ToHkey(key)); }

port::Status WinRegistry::RegQueryValueEx(port::HKey key, std::string_view valueName,
                                          std::uint32_t* type, std::uint8_t* data,
                                          std::uint32_t* size) {
  DWORD gotType = 0;
  DWORD gotSize = size ? *size : 0;
  // Windows may write into the caller's buffer even when the data do not fit; a buffer of our
  // own keeps the caller's untouched on failure. One byte at least, so that a zero-sized
  // buffer still counts as a buffer and not as a size query.
  std::vector<BYTE> buffer;
  if (data) buffer.resize(std::max<DWORD>(gotSize, 1));
  const LONG status = RegQueryValueExW(ToHkey(key), WideText(valueName).get(), nullptr, &gotType,
                                       data ? buffer.data() : nullptr, size ? &gotSize : nullptr);
  if (status == ERROR_SUCCESS) {
    if (type) *type = gotType;
    if (data && gotSize > 0) std::memcpy(data, buffer.data(), gotSize);
    if (size) *size = gotSize;
  } else if (status == ERROR_MORE_DATA && size) {
    *size = gotSize;
  }
  return status;
}

port::Status WinRegistry::RegSetValueEx(port::HKey key, std::string_view valueName,
                                        std::uint32_t type, const std::uint8_t* data,
                                        std::uint32_t size) {
  return RegSetValueExW(ToHkey(key), WideText(valueName).get(), 0, type, data, size);
}

port::Status WinRegistry::RegQueryInfoKey(port::HKey key, port::RegKeyInfo* info) {
  DWORD subKeys = 0, maxSubKeyLen = 0, values = 0, maxValueNameLen = 0, maxValueLen = 0;
  const LONG status = RegQueryInfoKeyW(ToHkey(key), nullptr, nullptr, nullptr, &subKeys,
                                       &maxSubKeyLen, nullptr, &values, &maxValueNameLen,
                                       &maxValueLen, nullptr, nullptr);
  if (status == ERROR_SUCCESS) {
    *info = {subKeys, maxSubKeyLen, values, maxValueNameLen, maxValueLen};
  }
  return status;
}

port::Status WinRegistry::RegEnumKeyEx(port::HKey key, std::uint32_t index, std::string* name) {
  wchar_t buffer[kMaxKeyName];
  DWORD length = kMaxKeyName;
  const LONG status =
      RegEnumKeyExW(ToHkey(key), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
  if (status == ERROR_SUCCESS) *name = ToUtf8(buffer, length);
  return status;
}

port::Status WinRegistry::RegEnumValue(port::HKey key, std::uint32_t index, std::string* name) {
  std::vector<wchar_t> buffer(kMaxValueName);
  DWORD length = kMaxValueName;
  const LONG status =
      RegEnumValueW(ToHkey(key), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
  if (status == ERROR_SUCCESS) *name = ToUtf8(buffer.data(), length);
  return status;
}

port::Status WinRegistry::RegDeleteValue(port::HKey key, std::string_view valueName) {
  return RegDeleteValueW(ToHkey(key), WideText(valueName).get());
}

port::Status WinRegistry::RegDeleteKeyEx(port::HKey key, std::string_view subKey,
                                         std::uint32_t access) {
  const WideText name(subKey);
  // Windows XP (32-bit) has no views and no RegDeleteKeyExW.
  if (!deleteKeyEx_) return RegDeleteKeyW(ToHkey(key), name.get());
  return deleteKeyEx_(ToHkey(key), name.get(), WithView(access) & KEY_WOW64_RES, 0);
}

port::Status WinRegistry::RegGetValues(port::HKey key, std::string_view subKey,
                                       std::uint32_t access,
                                       std::span<const std::string_view> names,
                                       std::vector<port::RegValueData>* values) {
  HKEY opened = nullptr;
  const LONG status =
      RegOpenKeyExW(ToHkey(key), WideText(subKey).get(), 0, ViewBelow(ToHkey(key), subKey, access),
                    &opened);
  if (status != ERROR_SUCCESS) return status;
  struct KeyCloser {
    HKEY key;
    ~KeyCloser() { ::RegCloseKey(key); }
  } closer{opened};
  std::vector<port::RegValueData> read(names.size());
  // Most values of a key fit here, so that each takes one query instead of a size query first.
  std::vector<BYTE> buffer(1024);
  for (std::size_t i = 0; i < names.size(); ++i) {
    port::RegValueData& value = read[i];
    const WideText name(names[i]);
    for (int attempt = 0; attempt < 4; ++attempt) {
      DWORD type = 0;
      DWORD size = static_cast<DWORD>(buffer.size());
      value.status = RegQueryValueExW(opened, name.get(), nullptr, &type, buffer.data(), &size);
      if (value.status == ERROR_MORE_DATA) {
        buffer.resize(std::max<std::size_t>(size, buffer.size() * 2));
        continue;
      }
      if (value.status == ERROR_SUCCESS) {
        value.type = type;
        value.data.assign(buffer.begin(), buffer.begin() + size);
      }
      break;
    }
    if (value.status != ERROR_SUCCESS) value = port::RegValueData{value.status, port::kRegNone, {}};
  }
  *values = std::move(read);
  return ERROR_SUCCESS;
}

}  // namespace ombrant::win32
