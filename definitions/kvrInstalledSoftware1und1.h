// GMX and WEB.DE MultiMessenger: one messenger sold under two brands, which differ only in the
// brand word in their data folder and registry key.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

// The shared part of both brands; not registered itself.
class TInstallSoftware1und1Messenger : public TInstalledSoftwareAllDataFiles {
 public:
  TInstallSoftware1und1Messenger(const TSoftwareContext& context, std::string displayName,
                                 std::string executable, std::string brand);

  // "<$APPDATA>\BRAND\BRAND MultiMessenger\".
  [[nodiscard]] std::string GetDataFolder(std::string_view userName) override;
  // "\Software\BRAND\BRAND MultiMessenger\".
  void GetRegistryKeys(TWideStringList& list) override;
  // "Settings.xml" directly in the data folder names the data folder; it is made to name the
  // target's.
  bool AdjustCopiedFile(std::string_view sourceFolder, std::string_view targetFolder,
                        std::string_view relativeFile) override;
  void GetSupportNotes(TWideStringList& list) override;

 protected:
  std::string FBrand;
};

class TInstalledSoftware1und1GMX : public TInstallSoftware1und1Messenger {
 public:
  TInstalledSoftware1und1GMX(const TSoftwareContext& context, std::string displayName,
                             std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
};

class TInstalledSoftware1und1WebDe : public TInstallSoftware1und1Messenger {
 public:
  TInstalledSoftware1und1WebDe(const TSoftwareContext& context, std::string displayName,
                               std::string executable);

  [[nodiscard]] static std::string GetIconResourceName();
  static void FindInstallations(const TSoftwareContext& context, TWideStringList& list);
};

// Appends GMX, then WEB.DE.
void Register1und1SoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
