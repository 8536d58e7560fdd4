#include "definitions/kvrInstalledSoftwareTlenPL.h"

#include <utility>

namespace ombrant {

TInstalledSoftwareTlenPL::TInstalledSoftwareTlenPL(const TSoftwareContext& context,
                                                   std::string displayName, std::string executable)
    : TInstalledSoftwareAllDataFiles(context, std::move(displayName), std::move(executable)) {
  FCategory = scChat;
}

std::string TInstalledSoftwareTlenPL::GetIconResourceName() { return "TLENPL"; }

void TInstalledSoftwareTlenPL::FindInstallations(const TSoftwareContext& context,
                                                 TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "tlen.exe", "Tlen.pl", list,
                         TUninstallPathSource::upsUninstallStringFolder,
                         TUninstallMatchOn::umoDisplayName);
}

std::string TInstalledSoftwareTlenPL::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\Tlen.pl\)");
}

void TInstalledSoftwareTlenPL::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  AddChatSupportNote(list, true, true);
}

void RegisterTlenPLSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareTlenPL>("TInstalledSoftwareTlenPL"));
}

}  // namespace ombrant
