// Trillian, which keeps its users' settings in its program folder.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

class TInstalledSoftwareTrillian : public TInstalledSoftware {
 public:
  TInstalledSoftwareTrillian(const TSoftwareContext& context, std::string displayName,
                             std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  // The program folder, the same for every user.
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  // Opens the program's "users" folder to the target account.
  bool AfterMigration() override;
  void GetSupportNotes(TWideStringList& list) override;
};

void RegisterTrillianSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
