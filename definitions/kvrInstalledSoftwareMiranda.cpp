#include "definitions/kvrInstalledSoftwareMiranda.h"

#include <utility>

#include "platform/vqFileSys.h"

namespace ombrant {

TInstalledSoftwareMiranda::TInstalledSoftwareMiranda(const TSoftwareContext& context,
                                                     std::string displayName,
                                                     std::string executable)
    : TInstalledSoftware(context, std::move(displayName), std::move(executable)) {
  FCategory = scChat;
}

std::string TInstalledSoftwareMiranda::GetIconResourceName() { return "MIRANDA"; }

void TInstalledSoftwareMiranda::FindInstallations(const TSoftwareContext& context,
                                                  TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "miranda32.exe", "Miranda IM", list,
                         TUninstallPathSource::upsUninstallStringFolder,
                         TUninstallMatchOn::umoKeyName);
}

std::string TInstalledSoftwareMiranda::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\Miranda\)");
}

void TInstalledSoftwareMiranda::GetExistingDataItems(TWideStringList& list, std::int32_t) {
  list.Clear();
  TStringList profiles;
  FindFiles(Context().port.files, IncludeTrailingBackslash(GetCurrentUserDataFolder()) + "*.dat",
            profiles, true, false, false, false, false);
  for (const std::string& profile : profiles) list.Add("Profile=" + profile);
}

void TInstalledSoftwareMiranda::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  AddChatSupportNote(list, true, true);
}

void RegisterMirandaSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareMiranda>("TInstalledSoftwareMiranda"));
}

}  // namespace ombrant
