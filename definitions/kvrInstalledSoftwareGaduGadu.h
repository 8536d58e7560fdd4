// Gadu-Gadu, the Polish messenger; it keeps its data in the profile folder itself.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

class TInstalledSoftwareGaduGadu : public TInstalledSoftwareAllDataFiles {
 public:
  TInstalledSoftwareGaduGadu(const TSoftwareContext& context, std::string displayName,
                             std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  // "<$PROFILE>\Gadu-Gadu\".
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  void GetSupportNotes(TWideStringList& list) override;
};

void RegisterGaduGaduSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
