// Digsby, the multi-protocol messenger.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

class TInstalledSoftwareDigsby : public TInstalledSoftwareAllDataFiles {
 public:
  TInstalledSoftwareDigsby(const TSoftwareContext& context, std::string displayName,
                           std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  // "<$APPDATA>\Digsby\".
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  void GetSupportNotes(TWideStringList& list) override;
};

void RegisterDigsbySoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
