#include "definitions/kvrInstalledSoftwareQuintEssential.h"

namespace ombrant {

TInstalledSoftwareQuintEssentialPlayer::TInstalledSoftwareQuintEssentialPlayer(
    const TSoftwareContext& context, std::string displayName, std::string executable)
    : TInstalledSoftwareAllDataFiles(context, std::move(displayName), std::move(executable)) {
  FCategory = scMultimedia;
  // Harmless: its AfterMigration is the default, which does nothing.
  FAlwaysRunAfterMigration = true;
}

std::string TInstalledSoftwareQuintEssentialPlayer::GetIconResourceName() { return "QCD"; }

void TInstalledSoftwareQuintEssentialPlayer::FindInstallations(const TSoftwareContext& context,
                                                               TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "QCDPlayer.exe", "Quintessential Player", list,
                         TUninstallPathSource::upsDisplayIcon, TUninstallMatchOn::umoKeyName);
}

std::string TInstalledSoftwareQuintEssentialPlayer::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\QuintEssential Player\)");
}

void RegisterQuintEssentialSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(SoftwareClassOf<TInstalledSoftwareQuintEssentialPlayer>(
      "TInstalledSoftwareQuintEssentialPlayer"));
}

}  // namespace ombrant
