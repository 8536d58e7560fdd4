// Zoom Player: only its settings key is copied.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

class TInstalledSoftwareZoomPlayer : public TInstalledSoftware {
 public:
  TInstalledSoftwareZoomPlayer(const TSoftwareContext& context, std::string displayName,
                               std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  void GetRegistryKeys(TWideStringList& list) override;
};

void RegisterZoomPlayerSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
