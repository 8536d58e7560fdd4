#include "definitions/kvrInstalledSoftwareZoomPlayer.h"

namespace ombrant {

TInstalledSoftwareZoomPlayer::TInstalledSoftwareZoomPlayer(const TSoftwareContext& context,
                                                           std::string displayName,
                                                           std::string executable)
    : TInstalledSoftware(context, std::move(displayName), std::move(executable)) {
  FCategory = scMultimedia;
}

std::string TInstalledSoftwareZoomPlayer::GetIconResourceName() { return "ZOOMPLAYER"; }

void TInstalledSoftwareZoomPlayer::FindInstallations(const TSoftwareContext& context,
                                                     TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "zplayer.exe", "ZoomPlayer", list,
                         TUninstallPathSource::upsUninstallStringFolder,
                         TUninstallMatchOn::umoKeyName);
}

// The folder only tells whether the administrator uses Zoom Player; its files are not copied.
std::string TInstalledSoftwareZoomPlayer::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\ZoomPlayer\)");
}

void TInstalledSoftwareZoomPlayer::GetRegistryKeys(TWideStringList& list) {
  list.Clear();
  list.Add(R"(Settings=\Software\VirtuaMedia\ZoomPlayer\)");
}

void RegisterZoomPlayerSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareZoomPlayer>("TInstalledSoftwareZoomPlayer"));
}

}  // namespace ombrant
