#include "definitions/kvrInstalledSoftwareGaduGadu.h"

#include <utility>

namespace ombrant {

TInstalledSoftwareGaduGadu::TInstalledSoftwareGaduGadu(const TSoftwareContext& context,
                                                       std::string displayName,
                                                       std::string executable)
    : TInstalledSoftwareAllDataFiles(context, std::move(displayName), std::move(executable)) {
  FCategory = scChat;
}

std::string TInstalledSoftwareGaduGadu::GetIconResourceName() { return "GADUGADU"; }

void TInstalledSoftwareGaduGadu::FindInstallations(const TSoftwareContext& context,
                                                   TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "gg.exe", "Gadu-Gadu*", list,
                         TUninstallPathSource::upsUninstallStringFolder,
                         TUninstallMatchOn::umoDisplayName);
}

std::string TInstalledSoftwareGaduGadu::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$PROFILE>\Gadu-Gadu\)");
}

void TInstalledSoftwareGaduGadu::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  AddChatSupportNote(list, true, true);
}

void RegisterGaduGaduSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareGaduGadu>("TInstalledSoftwareGaduGadu"));
}

}  // namespace ombrant
