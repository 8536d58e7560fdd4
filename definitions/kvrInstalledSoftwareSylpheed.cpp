#include "definitions/kvrInstalledSoftwareSylpheed.h"

namespace ombrant {

TInstalledSoftwareSylpheed::TInstalledSoftwareSylpheed(const TSoftwareContext& context,
                                                       std::string displayName,
                                                       std::string executable)
    : TInstalledSoftwareAllDataFiles(context, std::move(displayName), std::move(executable)) {
  FCategory = scEmail;
}

std::string TInstalledSoftwareSylpheed::GetIconResourceName() { return "SYLPHEED"; }

void TInstalledSoftwareSylpheed::FindInstallations(const TSoftwareContext& context,
                                                   TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "sylpheed.exe", "Sylpheed*", list,
                         TUninstallPathSource::upsDisplayIconFolder,
                         TUninstallMatchOn::umoDisplayName);
}

std::string TInstalledSoftwareSylpheed::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\Sylpheed\)");
}

void TInstalledSoftwareSylpheed::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  AddMailSupportNote(list, true, true);
}

void RegisterSylpheedSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareSylpheed>("TInstalledSoftwareSylpheed"));
}

}  // namespace ombrant
