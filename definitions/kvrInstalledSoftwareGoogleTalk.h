// Google Talk: its chat logs and cached avatars, and its settings key.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

class TInstalledSoftwareGoogleTalk : public TInstalledSoftware {
 public:
  TInstalledSoftwareGoogleTalk(const TSoftwareContext& context, std::string displayName,
                               std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  // "<$LOCALAPPDATA>\Google\Google Talk\".
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  // "Chat log=chatlogs\..." and "Cached avatar=avatars\..." for every file below those two
  // folders of the running account, at any depth; the rest of the folder is the program's
  // cache. The folder index is not used: there is one folder.
  void GetExistingDataItems(TWideStringList& list, std::int32_t folderIndex) override;
  void GetRegistryKeys(TWideStringList& list) override;
  void GetSupportNotes(TWideStringList& list) override;
};

void RegisterGoogleTalkSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
