#include "definitions/kvrInstalledSoftware1und1.h"

#include <utility>

namespace ombrant {

// ---- the shared messenger

TInstallSoftware1und1Messenger::TInstallSoftware1und1Messenger(const TSoftwareContext& context,
                                                               std::string displayName,
                                                               std::string executable,
                                                               std::string brand)
    : TInstalledSoftwareAllDataFiles(context, std::move(displayName), std::move(executable)),
      FBrand(std::move(brand)) {
  FCategory = scChat;
}

std::string TInstallSoftware1und1Messenger::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName,
                            "<$APPDATA>\\" + FBrand + "\\" + FBrand + " MultiMessenger\\");
}

void TInstallSoftware1und1Messenger::GetRegistryKeys(TWideStringList& list) {
  list.Clear();
  list.Add("Settings=\\Software\\" + FBrand + "\\" + FBrand + " MultiMessenger\\");
}

bool TInstallSoftware1und1Messenger::AdjustCopiedFile(std::string_view sourceFolder,
                                                      std::string_view targetFolder,
                                                      std::string_view relativeFile) {
  // Only the main settings file holds the folder; files of the same name below it are left.
  if (relativeFile != "Settings.xml") return false;
  (void)ReplacePathInTextFile(sourceFolder, targetFolder, false, relativeFile);
  return true;
}

void TInstallSoftware1und1Messenger::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  AddChatSupportNote(list, true, true);
}

// ---- GMX

TInstalledSoftware1und1GMX::TInstalledSoftware1und1GMX(const TSoftwareContext& context,
                                                       std::string displayName,
                                                       std::string executable)
    : TInstallSoftware1und1Messenger(context, std::move(displayName), std::move(executable),
                                     "GMX") {}

std::string TInstalledSoftware1und1GMX::GetIconResourceName() { return "1UND1MMGMX"; }

void TInstalledSoftware1und1GMX::FindInstallations(const TSoftwareContext& context,
                                                   TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "MESSENGR.EXE", "GMX MultiMessenger", list,
                         TUninstallPathSource::upsDisplayIconFolder, TUninstallMatchOn::umoKeyName);
}

// ---- WEB.DE

TInstalledSoftware1und1WebDe::TInstalledSoftware1und1WebDe(const TSoftwareContext& context,
                                                           std::string displayName,
                                                           std::string executable)
    : TInstallSoftware1und1Messenger(context, std::move(displayName), std::move(executable),
                                     "WEB.DE") {}

std::string TInstalledSoftware1und1WebDe::GetIconResourceName() { return "1UND1MMWEBDE"; }

void TInstalledSoftware1und1WebDe::FindInstallations(const TSoftwareContext& context,
                                                     TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "MESSENGR.EXE", "WEB.DE MultiMessenger", list,
                         TUninstallPathSource::upsDisplayIconFolder, TUninstallMatchOn::umoKeyName);
}

// ---- registration

void Register1und1SoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftware1und1GMX>("TInstalledSoftware1und1GMX"));
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftware1und1WebDe>("TInstalledSoftware1und1WebDe"));
}

}  // namespace ombrant
