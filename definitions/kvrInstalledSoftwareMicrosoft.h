// The Microsoft applications: Internet Explorer, Outlook Express, Windows Live Messenger,
// Windows Live Mail and Windows Media Player.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

class TInstalledSoftwareInternetExplorer : public TInstalledSoftware {
 public:
  TInstalledSoftwareInternetExplorer(const TSoftwareContext& context, std::string displayName,
                                     std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  // The favorites folder.
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  // At least one ".url" file below the folder, at any depth.
  [[nodiscard]] bool HasData(std::string_view folder) override;
  // "Bookmark (URL)=relative path" per favorite of the running account; a URL is cut before
  // its first "=" (followed by "..."), one without a URL reads "unknown".
  void GetDataItems(TWideStringList& list) override;
  void GetRegistryValues(TWideStringList& list) override;
  // Marks the administrator's own Internet Explorer with a reminder window title.
  bool AfterMigration() override;
  void GetSupportNotes(TWideStringList& list) override;
};

class TInstalledSoftwareOutlookExpress : public TInstalledSoftware {
 public:
  TInstalledSoftwareOutlookExpress(const TSoftwareContext& context, std::string displayName,
                                   std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  // The user's "Identities" folder.
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  // At least one ".dbx" file below the folder, at any depth.
  [[nodiscard]] bool HasData(std::string_view folder) override;
  // One "...\<identity>\Microsoft\Outlook Express\" folder per identity, in scan order.
  void GetDataFolders(std::string_view userName, TWideStringList& list) override;
  // "Mailbox=" + file name for each ".dbx" file directly in identity folder `folderIndex`.
  void GetExistingDataItems(TWideStringList& list, std::int32_t folderIndex) override;
  // The first nine accounts of the Internet Account Manager.
  void GetRegistryKeys(TWideStringList& list) override;
  // Started once under the new account so that it creates its identity.
  [[nodiscard]] bool GetStartRequiredBeforeDataCopy() override;
  void GetSupportNotes(TWideStringList& list) override;
};

class TInstalledSoftwareWindowsLiveMessenger : public TInstalledSoftwareAllDataFiles {
 public:
  TInstalledSoftwareWindowsLiveMessenger(const TSoftwareContext& context, std::string displayName,
                                         std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  void GetSupportNotes(TWideStringList& list) override;
};

// Detected and given shortcuts; its settings hold absolute paths, so nothing is copied.
class TInstalledSoftwareWindowsLiveMail : public TInstalledSoftware {
 public:
  TInstalledSoftwareWindowsLiveMail(const TSoftwareContext& context, std::string displayName,
                                    std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  void GetSupportNotes(TWideStringList& list) override;
};

class TInstalledSoftwareWindowsMediaPlayer : public TInstalledSoftwareAllDataFiles {
 public:
  TInstalledSoftwareWindowsMediaPlayer(const TSoftwareContext& context, std::string displayName,
                                       std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
};

// Appends the five classes in catalogue order.
void RegisterMicrosoftSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
