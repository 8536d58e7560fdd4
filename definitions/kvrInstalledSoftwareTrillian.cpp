#include "definitions/kvrInstalledSoftwareTrillian.h"

#include <utility>

namespace ombrant {

TInstalledSoftwareTrillian::TInstalledSoftwareTrillian(const TSoftwareContext& context,
                                                       std::string displayName,
                                                       std::string executable)
    : TInstalledSoftware(context, std::move(displayName), std::move(executable)) {
  FCategory = scChat;
  // Its settings are shared by every account, so the grant is due even when there is nothing
  // to copy.
  FAlwaysRunAfterMigration = true;
}

std::string TInstalledSoftwareTrillian::GetIconResourceName() { return "TRILLIAN"; }

void TInstalledSoftwareTrillian::FindInstallations(const TSoftwareContext& context,
                                                   TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "trillian.exe", "Trillian", list,
                         TUninstallPathSource::upsUninstallStringFolder,
                         TUninstallMatchOn::umoKeyName);
}

std::string TInstalledSoftwareTrillian::GetDataFolder(std::string_view) {
  return ExtractFilePath(FExecutable);
}

bool TInstalledSoftwareTrillian::AfterMigration() {
  const std::string programFolder = ExtractFilePath(FExecutable);
  if (!programFolder.empty()) (void)GrantTargetUserAccess(programFolder + "users");
  return true;
}

void TInstalledSoftwareTrillian::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  AddProgramFolderSupportNote(list);
}

void RegisterTrillianSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareTrillian>("TInstalledSoftwareTrillian"));
}

}  // namespace ombrant
