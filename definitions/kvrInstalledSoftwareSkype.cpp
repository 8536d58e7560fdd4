#include "definitions/kvrInstalledSoftwareSkype.h"

#include <utility>

namespace ombrant {

TInstalledSoftwareSkype::TInstalledSoftwareSkype(const TSoftwareContext& context,
                                                 std::string displayName, std::string executable)
    : TInstalledSoftwareAllDataFiles(context, std::move(displayName), std::move(executable)) {
  FCategory = scChat;
}

std::string TInstalledSoftwareSkype::GetIconResourceName() { return "SKYPE"; }

void TInstalledSoftwareSkype::FindInstallations(const TSoftwareContext& context,
                                                TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, R"(Phone\Skype.exe)", "Skype*", list,
                         TUninstallPathSource::upsInstallLocation,
                         TUninstallMatchOn::umoDisplayName);
}

std::string TInstalledSoftwareSkype::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\Skype\)");
}

void TInstalledSoftwareSkype::GetRegistryKeys(TWideStringList& list) {
  list.Clear();
  list.Add(R"(Settings=\Software\Skype\)");
}

void TInstalledSoftwareSkype::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  AddChatSupportNote(list, true, false);
  list.Add("To copy over your history, please do a manual copy of the %APPDATA%\\skypePM folder.");
}

void RegisterSkypeSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareSkype>("TInstalledSoftwareSkype"));
}

}  // namespace ombrant
