// Light Alloy: keeps its configuration in its program folder; the restricted account is given
// write access to those files instead of a copy.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

class TInstalledSoftwareLightAlloy : public TInstalledSoftwareAllDataFiles {
 public:
  TInstalledSoftwareLightAlloy(const TSoftwareContext& context, std::string displayName,
                               std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  // The program folder, the same for every user.
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  // Grants the target account modify rights on the four configuration files; runs on every
  // migration.
  bool AfterMigration() override;
  void GetSupportNotes(TWideStringList& list) override;
};

void RegisterLightAlloySoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
