#include "definitions/kvrInstalledSoftwareLightAlloy.h"

namespace ombrant {

TInstalledSoftwareLightAlloy::TInstalledSoftwareLightAlloy(const TSoftwareContext& context,
                                                           std::string displayName,
                                                           std::string executable)
    : TInstalledSoftwareAllDataFiles(context, std::move(displayName), std::move(executable)) {
  FCategory = scMultimedia;
  // Both accounts share the program folder, so nothing is ever copied; the grants still are
  // needed.
  FAlwaysRunAfterMigration = true;
}

std::string TInstalledSoftwareLightAlloy::GetIconResourceName() { return "LIGHTALLOY"; }

void TInstalledSoftwareLightAlloy::FindInstallations(const TSoftwareContext& context,
                                                     TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "LA.exe", "Light Alloy*", list,
                         TUninstallPathSource::upsDisplayIcon, TUninstallMatchOn::umoDisplayName);
}

std::string TInstalledSoftwareLightAlloy::GetDataFolder(std::string_view) {
  return ExtractFilePath(FExecutable);
}

bool TInstalledSoftwareLightAlloy::AfterMigration() {
  const std::string folder = ExtractFilePath(FExecutable);
  if (folder.empty()) return true;
  // The files Light Alloy writes its settings and playlist to.
  for (const char* name : {"LA.lap", "LA.xml", "mc.xml", "ms.xml"}) {
    (void)GrantTargetUserAccess(folder + name);
  }
  return true;
}

void TInstalledSoftwareLightAlloy::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  list.Add(
      "LightAlloy stores configuration files inside its program files folder. While this usually "
      "does not allow write access, Ombrant adjusts permissions on these files to fully support "
      "LightAlloy.");
}

void RegisterLightAlloySoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareLightAlloy>("TInstalledSoftwareLightAlloy"));
}

}  // namespace ombrant
