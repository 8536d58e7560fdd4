#include "definitions/kvrInstalledSoftwareYahoo.h"

#include <utility>

#include "platform/kvrRegistry.h"

namespace ombrant {

TInstalledSoftwareYahooMessenger::TInstalledSoftwareYahooMessenger(const TSoftwareContext& context,
                                                                   std::string displayName,
                                                                   std::string executable)
    : TInstalledSoftware(context, std::move(displayName), std::move(executable)) {
  FCategory = scChat;
  FAlwaysRunAfterMigration = true;
}

std::string TInstalledSoftwareYahooMessenger::GetIconResourceName() { return "YAHOOMESSENGER"; }

void TInstalledSoftwareYahooMessenger::FindInstallations(const TSoftwareContext& context,
                                                         TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "YahooMessenger.exe", "Yahoo! Messenger", list,
                         TUninstallPathSource::upsUninstallStringFolder,
                         TUninstallMatchOn::umoKeyName);
}

std::string TInstalledSoftwareYahooMessenger::GetDataFolder(std::string_view) {
  return ExtractFilePath(FExecutable);
}

void TInstalledSoftwareYahooMessenger::GetRegistryKeys(TWideStringList& list) {
  list.Clear();
  list.Add(R"(Settings=\Software\Yahoo\pager\)");
  list.Add(R"(Settings=\Software\Yahoo\Profiles\)");
}

bool TInstalledSoftwareYahooMessenger::ForceDataCopy() {
  // Outside a migration there is no target hive to look at.
  if (FTargetProfile.profile == port::kNoKey) return false;
  try {
    TMyRegistry target(Context().port.registry);
    target.SetRootKey(FTargetProfile.profile);
    return !target.KeyExists(R"(\Software\Yahoo\)");
  } catch (...) {
    return false;
  }
}

bool TInstalledSoftwareYahooMessenger::AfterMigration() {
  const std::string programFolder = ExtractFilePath(FExecutable);
  if (programFolder.empty()) return true;
  for (const char* name : {"Cache", "logs", "Profiles"}) {
    (void)GrantTargetUserAccess(programFolder + name);
  }
  return true;
}

void TInstalledSoftwareYahooMessenger::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  AddProgramFolderSupportNote(list);
}

void RegisterYahooSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareYahooMessenger>("TInstalledSoftwareYahooMessenger"));
}

}  // namespace ombrant
