// The Opera browser: profile folders below its data folder, and two mail files that store
// absolute paths.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

class TInstalledSoftwareOpera : public TInstalledSoftware {
 public:
  TInstalledSoftwareOpera(const TSoftwareContext& context, std::string displayName,
                          std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  // Opera makes its own profile on its first start; ours is copied over it.
  [[nodiscard]] bool GetStartRequiredBeforeDataCopy() override;
  // Every sub-folder of the data folder, as the file system lists them, full paths.
  void GetDataFolders(std::string_view userName, TWideStringList& list) override;
  // The nine setting files, relative to a profile folder.
  void GetDataItems(TWideStringList& list) override;
  // The existing setting files of profile `folderIndex` of the running account, then
  // "Mailbox=" for every file below its "mail\store" folder, relative to the profile folder.
  void GetExistingDataItems(TWideStringList& list, std::int32_t folderIndex) override;
  // Rewrites the administrator's profile folder into the target's in "mail\accounts.ini" and
  // "mail\index.ini". True for those two files only.
  bool AdjustCopiedFile(std::string_view sourceFolder, std::string_view targetFolder,
                        std::string_view relativeFile) override;
  void GetSupportNotes(TWideStringList& list) override;
};

// Appends the class.
void RegisterOperaSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
