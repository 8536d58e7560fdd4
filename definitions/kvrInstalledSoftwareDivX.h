// DivX Player: its per-user data folder and its settings key.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

class TInstalledSoftwareDivXPlayer : public TInstalledSoftwareAllDataFiles {
 public:
  TInstalledSoftwareDivXPlayer(const TSoftwareContext& context, std::string displayName,
                               std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  void GetRegistryKeys(TWideStringList& list) override;
};

void RegisterDivXSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
