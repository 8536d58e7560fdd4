// The registry area of the Windows port.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/port/kvrPortTypes.h"

namespace ombrant::port {

// An open registry key or a predefined root. The values of the roots are the Win32 ones
// (as 32-bit numbers); the real port maps them to its HKEY constants.
using HKey = std::uintptr_t;

inline constexpr HKey kNoKey = 0;
inline constexpr HKey kHKeyClassesRoot = 0x80000000u;
inline constexpr HKey kHKeyCurrentUser = 0x80000001u;
inline constexpr HKey kHKeyLocalMachine = 0x80000002u;
inline constexpr HKey kHKeyUsers = 0x80000003u;
inline constexpr HKey kHKeyPerformanceData = 0x80000004u;
inline constexpr HKey kHKeyCurrentConfig = 0x80000005u;
inline constexpr HKey kHKeyDynData = 0x80000006u;

[[nodiscard]] constexpr bool IsPredefinedKey(HKey key) {
  return key >= kHKeyClassesRoot && key <= kHKeyDynData;
}

// Access rights (REGSAM).
inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeySetValue = 0x0002;
inline constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
inline constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t kKeyNotify = 0x0010;
inline constexpr std::uint32_t kKeyCreateLink = 0x0020;
inline constexpr std::uint32_t kKeyWow64_64Key = 0x0100;
inline constexpr std::uint32_t kKeyWow64_32Key = 0x0200;
inline constexpr std::uint32_t kKeyWow64Res = 0x0300;
inline constexpr std::uint32_t kDelete = 0x00010000;
inline constexpr std::uint32_t kReadControl = 0x00020000;
inline constexpr std::uint32_t kStandardRightsRead = kReadControl;
inline constexpr std::uint32_t kKeyRead = 0x00020019;
inline constexpr std::uint32_t kKeyWrite = 0x00020006;
inline constexpr std::uint32_t kKeyAllAccess = 0x000F003F;

// Value types.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegDwordBigEndian = 5;
inline constexpr std::uint32_t kRegLink = 6;
inline constexpr std::uint32_t kRegMultiSz = 7;
inline constexpr std::uint32_t kRegResourceList = 8;
inline constexpr std::uint32_t kRegFullResourceDescriptor = 9;
inline constexpr std::uint32_t kRegResourceRequirementsList = 10;
inline constexpr std::uint32_t kRegQword = 11;

// What RegQueryInfoKey reports; name and data lengths as Windows counts them (UTF-16 code
// units for names, bytes for data).
struct RegKeyInfo {
  std::uint32_t subKeys = 0;
  std::uint32_t maxSubKeyLen = 0;
  std::uint32_t values = 0;
  std::uint32_t maxValueNameLen = 0;
  std::uint32_t maxValueLen = 0;
};

// One value as RegGetValues reads it: its status and, when that is success, its type and raw
// data.
struct RegValueData {
  Status status = kErrorFileNotFound;
  std::uint32_t type = kRegNone;
  std::vector<std::uint8_t> data;
};

// The registry calls the program makes. Names and paths are UTF-8 (the real port calls the W
// functions). Value data are the raw bytes as Windows stores them: string types are UTF-16LE
// with their terminating NUL, exactly as RegQueryValueExW returns them.
//
// Out-parameters are left untouched when a call fails, except that RegQueryValueEx reports the
// needed size with kErrorMoreData, as Windows does.
//
// Access masks carry the WOW64 view flags. Without a flag a key is opened in the view of a
// 32-bit process, which is what the program is; the 64-bit Windows build adds the 32-bit flag
// itself so that it behaves the same.
class IRegistry {
 public:
  virtual ~IRegistry() = default;

  [[nodiscard]] virtual Status RegOpenKeyEx(HKey key, std::string_view subKey, std::uint32_t access,
                                            HKey* result) = 0;
  // `created` (may be null) tells whether the key was new.
  [[nodiscard]] virtual Status RegCreateKeyEx(HKey key, std::string_view subKey,
                                              std::uint32_t access, HKey* result,
                                              bool* created) = 0;
  virtual Status RegCloseKey(HKey key) = 0;

  // `type` and `data` may be null. With `data` null, `*size` receives the size of the data.
  // With a buffer smaller than the data: kErrorMoreData and `*size` set to the size needed.
  [[nodiscard]] virtual Status RegQueryValueEx(HKey key, std::string_view valueName,
                                               std::uint32_t* type, std::uint8_t* data,
                                               std::uint32_t* size) = 0;
  [[nodiscard]] virtual Status RegSetValueEx(HKey key, std::string_view valueName,
                                             std::uint32_t type, const std::uint8_t* data,
                                             std::uint32_t size) = 0;
  [[nodiscard]] virtual Status RegQueryInfoKey(HKey key, RegKeyInfo* info) = 0;
  // kErrorNoMoreItems past the last entry.
  [[nodiscard]] virtual Status RegEnumKeyEx(HKey key, std::uint32_t index, std::string* name) = 0;
  [[nodiscard]] virtual Status RegEnumValue(HKey key, std::uint32_t index, std::string* name) = 0;
  [[nodiscard]] virtual Status RegDeleteValue(HKey key, std::string_view valueName) = 0;
  // Deletes a key that has no sub-keys (RegDeleteKeyEx with the view flag of `access`).
  [[nodiscard]] virtual Status RegDeleteKeyEx(HKey key, std::string_view subKey,
                                              std::uint32_t access) = 0;

  // Opens `subKey` below `key` with `access`, reads the values `names` into `values` (one entry
  // per name, in order) and closes the key again: one call where a walk over many keys wants a
  // few values of each. Fails as RegOpenKeyEx does, with `values` untouched; a value that cannot
  // be read carries its own status. This default makes the single calls; a port may do better.
  [[nodiscard]] virtual Status RegGetValues(HKey key, std::string_view subKey,
                                            std::uint32_t access,
                                            std::span<const std::string_view> names,
                                            std::vector<RegValueData>* values) {
    HKey opened = kNoKey;
    const Status status = RegOpenKeyEx(key, subKey, access, &opened);
    if (status != kErrorSuccess) return status;
    std::vector<RegValueData> read(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
      RegValueData& value = read[i];
      // The value may grow between the size query and the read; ask again then.
      for (int attempt = 0; attempt < 4; ++attempt) {
        std::uint32_t size = 0;
        value.status = RegQueryValueEx(opened, names[i], &value.type, nullptr, &size);
        if (value.status != kErrorSuccess) break;
        value.data.resize(size);
        if (size == 0) break;
        value.status = RegQueryValueEx(opened, names[i], &value.type, value.data.data(), &size);
        if (value.status == kErrorMoreData) continue;
        value.data.resize(size);
        break;
      }
      if (value.status != kErrorSuccess) value = RegValueData{value.status, kRegNone, {}};
    }
    (void)RegCloseKey(opened);
    *values = std::move(read);
    return kErrorSuccess;
  }
};

}  // namespace ombrant::port
