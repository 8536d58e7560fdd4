// The migration page: the status of every detected application for the current restricted
// account, and the run that logs that account on, loads its profile and migrates the active
// applications into it.
//
// `TCatalogue` gives Count() and Items(i) in catalogue order; each item is a definition the
// migration engine can drive (see catalogue/kvrMigration.h) with Active(), GetDataFolder(user)
// and GetCurrentUserDataFolder().
#pragma once

#include <array>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "catalogue/kvrMigration.h"
#include "catalogue/kvrUserProfile.h"
#include "platform/kvrRegistry.h"
#include "platform/port/kvrPort.h"
#include "resources/OmbrantStrings.h"
#include "ui/uiListView.h"

namespace ombrant {

enum TMigrationStatus { msAlreadyMigrated = 0, msProfileExists, msAvailable, msNotRequired };

inline constexpr std::array<std::string_view, 4> kMigrationStatusTexts = {
    "Already migrated", "Profile already exists", "Migration available", "Migration not required"};
inline constexpr std::string_view kLogonFailedError = "Windows did not log in this user correctly.";
// The fixed password of every account the program creates.
inline constexpr std::string_view kRestrictedUserPassword = "wopa";
// The settings store's mark of an application whose settings were migrated.
inline constexpr std::uint32_t kMigratedMark = 2;

// Called before each application is migrated: its display name, its place among the active ones
// (from 1) and their number.
using TMigrationProgress =
    std::function<void(const std::string& displayName, int position, int count)>;

// Whether the settings key marks the application as migrated: a DWORD value named after it
// holding 2. A value of another type counts as absent.
[[nodiscard]] bool IsMarkedMigrated(TMyRegistry& settings, std::string_view displayName);

// The status of one application: the migrated mark wins, then data of the restricted account,
// then data of the administrator (looked at first, as the page always did).
// What the default profile put into a new profile is no data of the restricted account's.
template <class TDefinition>
[[nodiscard]] TMigrationStatus MigrationStatusOf(const port::Port& port, TMyRegistry& settings,
                                                 TDefinition& definition,
                                                 std::string_view internetUser) {
  if (IsMarkedMigrated(settings, definition.DisplayName())) return msAlreadyMigrated;
  const bool administratorHasData = definition.HasData(definition.GetCurrentUserDataFolder());
  const bool targetHasData =
      HasOwnData(port, definition, internetUser, definition.GetDataFolder(std::string(internetUser)));
  if (targetHasData) return msProfileExists;
  return administratorHasData ? msAvailable : msNotRequired;
}

// Column 1 and the check marks of a list view already filled with one item per catalogue entry.
// When the settings key cannot be opened the items are left as they are (column 1 showing the
// executable path) and unticked.
template <class TCatalogue>
void SetMigrationStatuses(const port::Port& port, ui::ListView& view, TCatalogue& catalogue,
                          std::string_view internetUser) {
  TMyRegistry settings(port.registry);
  settings.SetRootKey(port::kHKeyCurrentUser);
  if (!settings.OpenKey(LoadStr(sSettingsKey), true)) {
    for (int i = 0; i < view.ItemCount(); ++i) view.SetItemChecked(i, false);
    return;
  }
  for (int i = 0; i < catalogue.Count() && i < view.ItemCount(); ++i) {
    if (view.Item(i).subItems.empty()) view.AddSubItem(i, "");
    TMigrationStatus status = msNotRequired;
    try {
      status = MigrationStatusOf(port, settings, catalogue.Items(i), internetUser);
    } catch (const std::exception&) {
      // An application whose folders cannot be told is offered nothing.
    }
    view.SetSubItem(i, 0, std::string(kMigrationStatusTexts[status]));  // column 1
    view.SetItemChecked(i, status == msAvailable);
  }
}

// Logs the restricted account on with the fixed password, loads its profile and migrates every
// active entry in catalogue order, then unloads the profile. A failed logon or profile load shows
// the error box and migrates nothing. One application's failure does not stop the others. True
// when the profile was loaded.
template <class TCatalogue>
bool MigrateSelectedApplications(const port::Port& port, TCatalogue& catalogue,
                                 std::string_view internetUser,
                                 const TMigrationProgress& progress = {}) {
  TLogonToken token(port.accounts);
  TUserProfileFunctions functions(port.accounts);
  bool loaded = false;
  {
    std::optional<TLoadedUserProfile> profile;
    if (!internetUser.empty() &&
        token.Logon(internetUser, "", kRestrictedUserPassword, port::kLogon32LogonInteractive,
                    port::kLogon32ProviderDefault)) {
      profile.emplace(functions, token.Get());
      try {
        loaded = profile->Load(internetUser);
      } catch (const std::exception&) {
        loaded = false;  // userenv.dll or its functions missing
      }
    }
    if (loaded) {
      int count = 0;
      for (int i = 0; i < catalogue.Count(); ++i) count += catalogue.Items(i).Active() ? 1 : 0;
      int position = 0;
      for (int i = 0; i < catalogue.Count(); ++i) {
        auto& definition = catalogue.Items(i);
        if (!definition.Active()) continue;
        ++position;
        try {
          if (progress) progress(definition.DisplayName(), position, count);
          MigrateSettings(port, definition, internetUser, profile->Info());
        } catch (const std::exception&) {
          // The next application is migrated all the same.
        }
      }
    }
    // The profile is unloaded here, before the token is closed.
  }
  if (!loaded) {
    port.ui.MessageBox(0, kLogonFailedError, kApplicationTitle, port::kMbOk | port::kMbIconError);
  }
  return loaded;
}

}  // namespace ombrant
