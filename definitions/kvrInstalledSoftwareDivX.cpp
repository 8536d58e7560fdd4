#include "definitions/kvrInstalledSoftwareDivX.h"

namespace ombrant {

TInstalledSoftwareDivXPlayer::TInstalledSoftwareDivXPlayer(const TSoftwareContext& context,
                                                           std::string displayName,
                                                           std::string executable)
    : TInstalledSoftwareAllDataFiles(context, std::move(displayName), std::move(executable)) {
  FCategory = scMultimedia;
}

std::string TInstalledSoftwareDivXPlayer::GetIconResourceName() { return "DIVXPLAYER"; }

void TInstalledSoftwareDivXPlayer::FindInstallations(const TSoftwareContext& context,
                                                     TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "DivX Player.exe", "DivX Player", list,
                         TUninstallPathSource::upsDisplayIconFolder,
                         TUninstallMatchOn::umoDisplayName);
}

std::string TInstalledSoftwareDivXPlayer::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\DivX\DivX Player\)");
}

void TInstalledSoftwareDivXPlayer::GetRegistryKeys(TWideStringList& list) {
  list.Clear();
  list.Add(R"(Settings=\Software\DivXNetworks\DivX Player\)");
}

void RegisterDivXSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareDivXPlayer>("TInstalledSoftwareDivXPlayer"));
}

}  // namespace ombrant
