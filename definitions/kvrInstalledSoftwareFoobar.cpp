#include "definitions/kvrInstalledSoftwareFoobar.h"

namespace ombrant {

TInstalledSoftwareFoobar2000::TInstalledSoftwareFoobar2000(const TSoftwareContext& context,
                                                           std::string displayName,
                                                           std::string executable)
    : TInstalledSoftwareAllDataFiles(context, std::move(displayName), std::move(executable)) {
  FCategory = scMultimedia;
}

std::string TInstalledSoftwareFoobar2000::GetIconResourceName() { return "FOOBAR2000"; }

void TInstalledSoftwareFoobar2000::FindInstallations(const TSoftwareContext& context,
                                                     TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "foobar2000.exe", "foobar2000*", list,
                         TUninstallPathSource::upsInstallLocation,
                         TUninstallMatchOn::umoDisplayName);
}

std::string TInstalledSoftwareFoobar2000::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\foobar2000\)");
}

void RegisterFoobarSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareFoobar2000>("TInstalledSoftwareFoobar2000"));
}

}  // namespace ombrant
