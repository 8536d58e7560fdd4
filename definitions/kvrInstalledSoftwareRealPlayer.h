// RealPlayer: its per-user data folder and its settings key.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

class TInstalledSoftwareRealPlayer : public TInstalledSoftwareAllDataFiles {
 public:
  TInstalledSoftwareRealPlayer(const TSoftwareContext& context, std::string displayName,
                               std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  void GetRegistryKeys(TWideStringList& list) override;
  void GetSupportNotes(TWideStringList& list) override;
};

void RegisterRealPlayerSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
