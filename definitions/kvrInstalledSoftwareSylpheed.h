// Sylpheed: its whole per-user data folder is copied.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

class TInstalledSoftwareSylpheed : public TInstalledSoftwareAllDataFiles {
 public:
  TInstalledSoftwareSylpheed(const TSoftwareContext& context, std::string displayName,
                             std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  void GetSupportNotes(TWideStringList& list) override;
};

void RegisterSylpheedSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
