#include "definitions/kvrInstalledSoftwarePostMe.h"

#include "platform/vqFileSys.h"

namespace ombrant {

TInstalledSoftwarePostMe::TInstalledSoftwarePostMe(const TSoftwareContext& context,
                                                   std::string displayName, std::string executable)
    : TInstalledSoftware(context, std::move(displayName), std::move(executable)) {
  FCategory = scEmail;
  // The grants are needed whether or not anything was copied.
  FAlwaysRunAfterMigration = true;
}

std::string TInstalledSoftwarePostMe::GetIconResourceName() { return "POSTME"; }

void TInstalledSoftwarePostMe::FindInstallations(const TSoftwareContext& context,
                                                 TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "postme.exe", "PostMe", list,
                         TUninstallPathSource::upsUninstallStringFolder,
                         TUninstallMatchOn::umoKeyName);
}

std::string TInstalledSoftwarePostMe::GetDataFolder(std::string_view) {
  return ExtractFilePath(FExecutable);
}

bool TInstalledSoftwarePostMe::AfterMigration() {
  const std::string folder = ExtractFilePath(FExecutable);
  if (folder.empty()) return true;
  // One "user..." folder per mail profile.
  TStringList profiles;
  FindFiles(Context().port.files, folder + "user*", profiles, false, true, true, false, false);
  for (const std::string& profile : profiles) {
    (void)GrantTargetUserAccess(IncludeTrailingBackslash(profile));
  }
  (void)GrantTargetUserAccess(folder + R"(temp\)");
  return true;
}

void TInstalledSoftwarePostMe::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  list.Add(
      "PostMe does not allow you to map email profiles to user profiles; it stores emails in its "
      "program files folder instead. While this would mean only administrator or power users "
      "might use it, Ombrant will adjust the permissions on the email folders to allow your "
      "impersonated Ombrant as well.");
}

void RegisterPostMeSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwarePostMe>("TInstalledSoftwarePostMe"));
}

}  // namespace ombrant
