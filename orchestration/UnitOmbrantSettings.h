// The program's own settings: one key in the administrator's HKEY_CURRENT_USER, 32-bit view.
//
// Nothing is cached: every read goes to the registry, every change is written at once. A key or
// value that cannot be read reads as empty; failed writes are reported by the result only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/port/kvrPortRegistry.h"
#include "platform/vqStringList.h"

namespace ombrant {

inline constexpr std::string_view kOmbrantSettingsKey = "\\Software\\Kestrova Limited\\Ombrant\\";
inline constexpr std::string_view kInternetUserValue = "InternetUser";
inline constexpr std::string_view kCreatedUsersValue = "CreatedUsers";
inline constexpr std::string_view kRemovedOriginalLinksKey = "RemovedOriginalLinks";
inline constexpr std::string_view kRecreatedOriginalLinksKey = "RecreatedOriginalLinks";
// An application's DWORD mark with this value counts as already migrated; any other means
// nothing.
inline constexpr std::uint32_t kApplicationMigratedMark = 2;

// An empty list in the form every stored list has: sorted ignoring case, a line equal to one
// already there (ignoring case) is not added.
[[nodiscard]] TStringList NewSettingsList();

class TOmbrantSettings {
 public:
  explicit TOmbrantSettings(port::IRegistry& registry) : registry_(registry) {}

  // Path of a sub-key: the key's path with the name appended, no trailing backslash.
  [[nodiscard]] static std::string SubKeyPath(std::string_view subKey);

  // A string, expandable string or multi-string (its strings each followed by CR LF); empty
  // when the key or value is missing or of another type.
  [[nodiscard]] std::string ReadInternetUser() const;
  // A REG_SZ; the key is created when missing.
  bool WriteInternetUser(std::string_view name) const;
  // Deletes the value; true when it is not there afterwards.
  bool ClearInternetUser() const;

  // Only a multi-string counts; anything else (missing, another type, unreadable key) gives an
  // empty list. The result is sorted and duplicate-free ignoring case.
  [[nodiscard]] TStringList ReadCreatedUsers() const;
  bool WriteCreatedUsers(const TStringList& names) const;

  // One location's list of a sub-key ("RemovedOriginalLinks", "RecreatedOriginalLinks"),
  // named by the location's value name. Read and written as the created-users list.
  [[nodiscard]] TStringList ReadLinkList(std::string_view subKey,
                                         std::string_view valueName) const;
  bool WriteLinkList(std::string_view subKey, std::string_view valueName,
                     const TStringList& lines) const;

  // The application's mark is kApplicationMigratedMark. Opens the key creating it, so that
  // showing the migration page brings the key into existence; a missing value or one of
  // another type is no mark.
  [[nodiscard]] bool IsApplicationMigrated(std::string_view displayName) const;

 private:
  [[nodiscard]] TStringList ReadList(std::string_view keyPath, std::string_view valueName) const;
  bool WriteList(std::string_view keyPath, std::string_view valueName,
                 const TStringList& lines) const;

  port::IRegistry& registry_;
};

}  // namespace ombrant
