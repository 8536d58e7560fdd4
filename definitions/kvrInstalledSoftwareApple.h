// Apple's applications: the Safari browser, whose settings are a fixed set of property lists,
// and the QuickTime player, whose data folder holds nothing but its settings.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

class TInstalledSoftwareSafari : public TInstalledSoftware {
 public:
  TInstalledSoftwareSafari(const TSoftwareContext& context, std::string displayName,
                           std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  // The eight property-list files, relative to the data folder.
  void GetDataItems(TWideStringList& list) override;
  void GetSupportNotes(TWideStringList& list) override;
};

class TInstalledSoftwareQuickTime : public TInstalledSoftwareAllDataFiles {
 public:
  TInstalledSoftwareQuickTime(const TSoftwareContext& context, std::string displayName,
                              std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
};

// Appends Safari, then QuickTime.
void RegisterAppleSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
