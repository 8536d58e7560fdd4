// Yahoo! Messenger: settings in the registry, caches and logs in its program folder.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

class TInstalledSoftwareYahooMessenger : public TInstalledSoftware {
 public:
  TInstalledSoftwareYahooMessenger(const TSoftwareContext& context, std::string displayName,
                                   std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  // The program folder, the same for every user.
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  // "\Software\Yahoo\pager\", then "\Software\Yahoo\Profiles\".
  void GetRegistryKeys(TWideStringList& list) override;
  // True while the target's loaded hive has no "\Software\Yahoo\" yet: the shared program
  // folder exists for both accounts, so the folder tests alone would never copy the keys.
  [[nodiscard]] bool ForceDataCopy() override;
  // Opens "Cache", "logs" and "Profiles" of the program folder to the target account.
  bool AfterMigration() override;
  void GetSupportNotes(TWideStringList& list) override;
};

void RegisterYahooSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
