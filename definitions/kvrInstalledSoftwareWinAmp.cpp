#include "definitions/kvrInstalledSoftwareWinAmp.h"

namespace ombrant {

TInstalledSoftwareWinAmp::TInstalledSoftwareWinAmp(const TSoftwareContext& context,
                                                   std::string displayName, std::string executable)
    : TInstalledSoftwareAllDataFiles(context, std::move(displayName), std::move(executable)) {
  FCategory = scMultimedia;
}

std::string TInstalledSoftwareWinAmp::GetIconResourceName() { return "WINAMP"; }

void TInstalledSoftwareWinAmp::FindInstallations(const TSoftwareContext& context,
                                                 TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "winamp.exe", "Winamp*", list,
                         TUninstallPathSource::upsDisplayIconFolder, TUninstallMatchOn::umoKeyName);
}

std::string TInstalledSoftwareWinAmp::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\Winamp\)");
}

void RegisterWinAmpSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareWinAmp>("TInstalledSoftwareWinAmp"));
}

}  // namespace ombrant
