// The Chromium family: browsers that keep one "User Data" folder per user with the profile
// "Default" inside it, and encrypt passwords and cookies with a key bound to the user's logon.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

// What the members share: the profile files, the extension folders, the preference paths. Not
// registered; the members are.
//
// Never copied: "Local State" (it holds the profile's encryption key, sealed with DPAPI for the
// administrator), "Login Data" and the cookie stores, which that key encrypts. Under the other
// account they are unreadable, and the browser throws them away.
class TInstalledChromiumSoftware : public TInstalledSoftware {
 public:
  TInstalledChromiumSoftware(const TSoftwareContext& context, std::string displayName,
                             std::string executable);

  // The browser keeps its databases open while it runs.
  [[nodiscard]] bool GetShutdownRequiredBeforeDataCopy() override;
  // The profile files, relative to the profile folder "Default".
  void GetDataItems(TWideStringList& list) override;
  // The existing profile files, then every file below the extension folders as
  // "Extension file=" + its path relative to the profile folder.
  void GetExistingDataItems(TWideStringList& list, std::int32_t folderIndex) override;
  // Rewrites the administrator's profile folder into the target's at the start of every path
  // string in "Preferences" (the download folder, the last folders used); every other byte
  // stays as it was. True for that file only.
  bool AdjustCopiedFile(std::string_view sourceFolder, std::string_view targetFolder,
                        std::string_view relativeFile) override;
  void GetSupportNotes(TWideStringList& list) override;

 protected:
  // The profile folder "Default" of `userName` below the "User Data" folder `userDataTemplate`.
  [[nodiscard]] std::string DefaultProfileFolder(std::string_view userName,
                                                 std::string_view userDataTemplate) const;
  // The machine-wide registrations in both registry views and the administrator's own ones:
  // App Paths of `exeFileName`, and the Uninstall registrations whose "DisplayName" matches
  // `displayNamePattern`, whose "InstallLocation" holds the program.
  static void FindRegisteredInstallations(const TSoftwareContext& context,
                                          std::string_view exeFileName,
                                          std::string_view displayName,
                                          std::string_view displayNamePattern,
                                          TWideStringList& list);
};

class TInstalledSoftwareChrome : public TInstalledChromiumSoftware {
 public:
  using TInstalledChromiumSoftware::TInstalledChromiumSoftware;
  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
};

class TInstalledSoftwareEdge : public TInstalledChromiumSoftware {
 public:
  using TInstalledChromiumSoftware::TInstalledChromiumSoftware;
  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
};

class TInstalledSoftwareBrave : public TInstalledChromiumSoftware {
 public:
  using TInstalledChromiumSoftware::TInstalledChromiumSoftware;
  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
};

// Rewrites `sourceProfile` into `targetProfile` where a JSON string begins with it (followed by
// an escaped "\" or the string's end), matched without regard to letter case; both folders are
// given with single backslashes, with or without a trailing one. Every other byte is kept.
[[nodiscard]] std::string ReplaceProfileInJson(std::string_view json,
                                               std::string_view sourceProfile,
                                               std::string_view targetProfile);

// Appends the three classes in catalogue order.
void RegisterChromiumSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
