// Eudora: its whole per-user data folder is copied, once Eudora has made it for the new account.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

class TInstalledSoftwareEudora : public TInstalledSoftwareAllDataFiles {
 public:
  TInstalledSoftwareEudora(const TSoftwareContext& context, std::string displayName,
                           std::string executable);

  // Eudora has to make its folder under the new account before the copy.
  [[nodiscard]] bool GetStartRequiredBeforeDataCopy() override;
  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  void GetSupportNotes(TWideStringList& list) override;
};

void RegisterEudoraSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
