#include "definitions/kvrInstalledSoftwareAIM.h"

#include <utility>

namespace ombrant {

TInstalledSoftwareAIM6::TInstalledSoftwareAIM6(const TSoftwareContext& context,
                                               std::string displayName, std::string executable)
    : TInstalledSoftwareAllDataFiles(context, std::move(displayName), std::move(executable)) {
  FCategory = scChat;
  FRunParameters = std::string(kAim6RunParameters);
}

std::string TInstalledSoftwareAIM6::GetIconResourceName() { return "AIM6"; }

void TInstalledSoftwareAIM6::FindInstallations(const TSoftwareContext& context,
                                               TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "aim6.exe", "AIM_6", list,
                         TUninstallPathSource::upsUninstallStringFolder,
                         TUninstallMatchOn::umoKeyName);
}

std::string TInstalledSoftwareAIM6::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$LOCALAPPDATA>\AOL OCP\AIM\)");
}

void TInstalledSoftwareAIM6::GetRegistryKeys(TWideStringList& list) {
  list.Clear();
  list.Add(R"(Settings=\Software\America Online\AIM6\)");
}

void TInstalledSoftwareAIM6::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  AddChatSupportNote(list, true, true);
}

void RegisterAIMSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(SoftwareClassOf<TInstalledSoftwareAIM6>("TInstalledSoftwareAIM6"));
}

}  // namespace ombrant
