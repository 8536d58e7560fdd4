#include "definitions/kvrInstalledSoftwareEudora.h"

namespace ombrant {

TInstalledSoftwareEudora::TInstalledSoftwareEudora(const TSoftwareContext& context,
                                                   std::string displayName, std::string executable)
    : TInstalledSoftwareAllDataFiles(context, std::move(displayName), std::move(executable)) {
  FCategory = scEmail;
}

bool TInstalledSoftwareEudora::GetStartRequiredBeforeDataCopy() { return true; }

std::string TInstalledSoftwareEudora::GetIconResourceName() { return "EUDORA"; }

void TInstalledSoftwareEudora::FindInstallations(const TSoftwareContext& context,
                                                 TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "Eudora.exe", "Eudora", list,
                         TUninstallPathSource::upsInstallLocation,
                         TUninstallMatchOn::umoDisplayName);
}

std::string TInstalledSoftwareEudora::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\Qualcomm\Eudora\)");
}

void TInstalledSoftwareEudora::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  AddMailSupportNote(list, true, true);
}

void RegisterEudoraSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareEudora>("TInstalledSoftwareEudora"));
}

}  // namespace ombrant
