#include "orchestration/UnitOmbrantSettings.h"

#include <stdexcept>

#include "platform/kvrRegHives.h"
#include "platform/kvrRegistry.h"

namespace ombrant {

TStringList NewSettingsList() {
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(TDuplicates::dupIgnore);
  list.SetCaseSensitive(false);
  return list;
}

std::string TOmbrantSettings::SubKeyPath(std::string_view subKey) {
  std::string path(kOmbrantSettingsKey);
  path += subKey;
  return path;
}

std::string TOmbrantSettings::ReadInternetUser() const {
  std::string name;
  if (!ReadRegistryString(registry_, port::kHKeyCurrentUser, kOmbrantSettingsKey,
                          kInternetUserValue, 32, name)) {
    return {};
  }
  return name;
}

bool TOmbrantSettings::WriteInternetUser(std::string_view name) const {
  return WriteRegistryString(registry_, port::kHKeyCurrentUser, kOmbrantSettingsKey,
                             kInternetUserValue, 32, name);
}

bool TOmbrantSettings::ClearInternetUser() const {
  TMyRegistry reg(registry_);
  reg.SetRootKey(port::kHKeyCurrentUser);
  try {
    if (!reg.OpenKey(kOmbrantSettingsKey, false)) return true;
    return !reg.ValueExists(kInternetUserValue) || reg.DeleteValue(kInternetUserValue);
  } catch (const ERegistryException&) {
    return false;
  }
}

TStringList TOmbrantSettings::ReadCreatedUsers() const {
  return ReadList(kOmbrantSettingsKey, kCreatedUsersValue);
}

bool TOmbrantSettings::WriteCreatedUsers(const TStringList& names) const {
  return WriteList(kOmbrantSettingsKey, kCreatedUsersValue, names);
}

TStringList TOmbrantSettings::ReadLinkList(std::string_view subKey,
                                           std::string_view valueName) const {
  return ReadList(SubKeyPath(subKey), valueName);
}

bool TOmbrantSettings::WriteLinkList(std::string_view subKey, std::string_view valueName,
                                     const TStringList& lines) const {
  return WriteList(SubKeyPath(subKey), valueName, lines);
}

bool TOmbrantSettings::IsApplicationMigrated(std::string_view displayName) const {
  TMyRegistry reg(registry_);
  reg.SetRootKey(port::kHKeyCurrentUser);
  if (!reg.OpenKey(kOmbrantSettingsKey, true)) return false;
  TRegDataInfo info;
  if (!reg.GetDataInfo(displayName, info) || info.type != port::kRegDword) return false;
  try {
    return static_cast<std::uint32_t>(reg.ReadInteger(displayName)) == kApplicationMigratedMark;
  } catch (const ERegistryException&) {
    return false;  // a DWORD of the wrong size
  }
}

TStringList TOmbrantSettings::ReadList(std::string_view keyPath,
                                       std::string_view valueName) const {
  TStringList list = NewSettingsList();
  try {
    if (!ReadRegistryStringList(registry_, port::kHKeyCurrentUser, keyPath, valueName, list)) {
      list.Clear();
    }
  } catch (const std::runtime_error&) {
    list.Clear();
  }
  return list;
}

bool TOmbrantSettings::WriteList(std::string_view keyPath, std::string_view valueName,
                                 const TStringList& lines) const {
  // Always stored in the sorted, duplicate-free form, whatever list the caller holds.
  TStringList stored = NewSettingsList();
  stored.AddStrings(lines);
  try {
    return WriteRegistryStringList(registry_, port::kHKeyCurrentUser, keyPath, valueName, stored);
  } catch (const std::runtime_error&) {
    return false;
  }
}

}  // namespace ombrant
