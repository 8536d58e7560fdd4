// Mulberry: its address books and calendars, and its preferences in the registry.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

class TInstalledSoftwareMulberry : public TInstalledSoftware {
 public:
  TInstalledSoftwareMulberry(const TSoftwareContext& context, std::string displayName,
                             std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  // "Address book=Address Books\..." and "Calendar=Calendars\..." for every file below those two
  // sub-folders of the running account's data folder; the folder index is not used.
  void GetExistingDataItems(TWideStringList& list, std::int32_t folderIndex) override;
  void GetRegistryKeys(TWideStringList& list) override;
  void GetSupportNotes(TWideStringList& list) override;
};

void RegisterMulberrySoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
