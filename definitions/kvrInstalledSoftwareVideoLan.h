// VLC media player: its per-user data folder is copied whole.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

class TInstalledSoftwareVideoLanClient : public TInstalledSoftwareAllDataFiles {
 public:
  TInstalledSoftwareVideoLanClient(const TSoftwareContext& context, std::string displayName,
                                   std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
};

void RegisterVideoLanSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
