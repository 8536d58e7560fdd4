// Evolution: detected and given shortcuts; its GConf folder is copied whole.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

class TInstalledSoftwareEvolution : public TInstalledSoftwareAllDataFiles {
 public:
  TInstalledSoftwareEvolution(const TSoftwareContext& context, std::string displayName,
                              std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  void GetSupportNotes(TWideStringList& list) override;
};

void RegisterEvolutionSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
