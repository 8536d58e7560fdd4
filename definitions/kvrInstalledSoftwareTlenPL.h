// Tlen.pl, the Polish messenger.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

class TInstalledSoftwareTlenPL : public TInstalledSoftwareAllDataFiles {
 public:
  TInstalledSoftwareTlenPL(const TSoftwareContext& context, std::string displayName,
                           std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  // "<$APPDATA>\Tlen.pl\".
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  void GetSupportNotes(TWideStringList& list) override;
};

void RegisterTlenPLSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
