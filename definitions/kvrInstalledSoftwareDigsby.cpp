#include "definitions/kvrInstalledSoftwareDigsby.h"

#include <utility>

namespace ombrant {

TInstalledSoftwareDigsby::TInstalledSoftwareDigsby(const TSoftwareContext& context,
                                                   std::string displayName, std::string executable)
    : TInstalledSoftwareAllDataFiles(context, std::move(displayName), std::move(executable)) {
  FCategory = scChat;
}

std::string TInstalledSoftwareDigsby::GetIconResourceName() { return "DIGSBY"; }

void TInstalledSoftwareDigsby::FindInstallations(const TSoftwareContext& context,
                                                 TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddFileCandidates(context, R"(<$PROGRAMFILES>\Digsby\Digsby.exe)", "Digsby", list);
}

std::string TInstalledSoftwareDigsby::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\Digsby\)");
}

void TInstalledSoftwareDigsby::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  AddChatSupportNote(list, true, true);
}

void RegisterDigsbySoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareDigsby>("TInstalledSoftwareDigsby"));
}

}  // namespace ombrant
