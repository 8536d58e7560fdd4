#include "definitions/kvrInstalledSoftwareMulberry.h"

#include "platform/vqFileSys.h"

namespace ombrant {

TInstalledSoftwareMulberry::TInstalledSoftwareMulberry(const TSoftwareContext& context,
                                                       std::string displayName,
                                                       std::string executable)
    : TInstalledSoftware(context, std::move(displayName), std::move(executable)) {
  FCategory = scEmail;
}

std::string TInstalledSoftwareMulberry::GetIconResourceName() { return "MULBERRY"; }

void TInstalledSoftwareMulberry::FindInstallations(const TSoftwareContext& context,
                                                   TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "Mulberry.exe", "Mulberry", list,
                         TUninstallPathSource::upsUninstallStringFolder,
                         TUninstallMatchOn::umoKeyName);
}

std::string TInstalledSoftwareMulberry::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\Cyrussoft\Mulberry\)");
}

void TInstalledSoftwareMulberry::GetExistingDataItems(TWideStringList& list, std::int32_t) {
  list.Clear();
  const std::string folder = IncludeTrailingBackslash(GetCurrentUserDataFolder());
  // The rest of the folder holds the account's local mail caches and logs, not settings.
  const struct {
    std::string_view subFolder;
    std::string_view label;
  } parts[] = {{"Address Books", "Address book"}, {"Calendars", "Calendar"}};
  for (const auto& part : parts) {
    TStringList files;
    FindFiles(Context().port.files, folder + std::string(part.subFolder) + R"(\*.*)", files, true,
              false, false, true, true);
    for (const std::string& file : files) {
      list.Add(std::string(part.label) + "=" + std::string(part.subFolder) + "\\" + file);
    }
  }
}

void TInstalledSoftwareMulberry::GetRegistryKeys(TWideStringList& list) {
  list.Clear();
  list.Add(R"(Preferences=\Software\Cyrusoft International, Inc.\Mulberry\)");
}

void TInstalledSoftwareMulberry::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  AddMailSupportNote(list, true, true);
}

void RegisterMulberrySoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareMulberry>("TInstalledSoftwareMulberry"));
}

}  // namespace ombrant
