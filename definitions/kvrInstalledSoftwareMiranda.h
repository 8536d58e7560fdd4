// Miranda IM: its profiles, one ".dat" file each.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

class TInstalledSoftwareMiranda : public TInstalledSoftware {
 public:
  TInstalledSoftwareMiranda(const TSoftwareContext& context, std::string displayName,
                            std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  // "<$APPDATA>\Miranda\".
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  // "Profile=" + file name for every "*.dat" directly in the running account's folder. The
  // folder index is not used: there is one folder.
  void GetExistingDataItems(TWideStringList& list, std::int32_t folderIndex) override;
  void GetSupportNotes(TWideStringList& list) override;
};

void RegisterMirandaSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
