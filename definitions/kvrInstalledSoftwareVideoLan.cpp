#include "definitions/kvrInstalledSoftwareVideoLan.h"

namespace ombrant {

TInstalledSoftwareVideoLanClient::TInstalledSoftwareVideoLanClient(const TSoftwareContext& context,
                                                                   std::string displayName,
                                                                   std::string executable)
    : TInstalledSoftwareAllDataFiles(context, std::move(displayName), std::move(executable)) {
  FCategory = scMultimedia;
}

std::string TInstalledSoftwareVideoLanClient::GetIconResourceName() { return "VIDEOLANCLIENT"; }

void TInstalledSoftwareVideoLanClient::FindInstallations(const TSoftwareContext& context,
                                                         TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "vlc.exe", "VLC media player", list,
                         TUninstallPathSource::upsDisplayIcon, TUninstallMatchOn::umoKeyName);
}

std::string TInstalledSoftwareVideoLanClient::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\vlc\)");
}

void RegisterVideoLanSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareVideoLanClient>("TInstalledSoftwareVideoLanClient"));
}

}  // namespace ombrant
