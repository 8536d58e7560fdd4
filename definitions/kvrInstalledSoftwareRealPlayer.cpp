#include "definitions/kvrInstalledSoftwareRealPlayer.h"

namespace ombrant {

TInstalledSoftwareRealPlayer::TInstalledSoftwareRealPlayer(const TSoftwareContext& context,
                                                           std::string displayName,
                                                           std::string executable)
    : TInstalledSoftwareAllDataFiles(context, std::move(displayName), std::move(executable)) {
  FCategory = scMultimedia;
}

std::string TInstalledSoftwareRealPlayer::GetIconResourceName() { return "REALPLAYER"; }

void TInstalledSoftwareRealPlayer::FindInstallations(const TSoftwareContext& context,
                                                     TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "realplay.exe", "RealPlayer*", list,
                         TUninstallPathSource::upsDisplayIcon, TUninstallMatchOn::umoKeyName);
}

std::string TInstalledSoftwareRealPlayer::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\Real\RealPlayer\)");
}

void TInstalledSoftwareRealPlayer::GetRegistryKeys(TWideStringList& list) {
  list.Clear();
  // RealPlayer keeps its preferences under its vendor's key, "RealNetworks".
  list.Add(R"(Settings=\Software\RealNetworks\RealPlayer\)");
}

void TInstalledSoftwareRealPlayer::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  list.Add(
      "RealPlayer did crash on our test machines, whether impersonated or not. Migration has "
      "therefore not been tested.");
}

void RegisterRealPlayerSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareRealPlayer>("TInstalledSoftwareRealPlayer"));
}

}  // namespace ombrant
