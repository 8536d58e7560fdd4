#include "definitions/kvrInstalledSoftwareEvolution.h"

namespace ombrant {

TInstalledSoftwareEvolution::TInstalledSoftwareEvolution(const TSoftwareContext& context,
                                                         std::string displayName,
                                                         std::string executable)
    : TInstalledSoftwareAllDataFiles(context, std::move(displayName), std::move(executable)) {
  FCategory = scEmail;
}

std::string TInstalledSoftwareEvolution::GetIconResourceName() { return "EVOLUTION"; }

void TInstalledSoftwareEvolution::FindInstallations(const TSoftwareContext& context,
                                                    TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  // The Windows port starts through a command script that sets up its environment.
  AddUninstallCandidates(context, "Evolution.cmd", "Evolution", list,
                         TUninstallPathSource::upsInstallLocation,
                         TUninstallMatchOn::umoDisplayName);
}

std::string TInstalledSoftwareEvolution::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$PROFILE>\.gconf\apps\evolution\)");
}

void TInstalledSoftwareEvolution::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  list.Add(
      "Evolution will crash when running on a restricted user account. Therefore it is currently "
      "not possible to use it safely impersonated.");
}

void RegisterEvolutionSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareEvolution>("TInstalledSoftwareEvolution"));
}

}  // namespace ombrant
