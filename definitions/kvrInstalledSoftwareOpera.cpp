#include "definitions/kvrInstalledSoftwareOpera.h"

#include "platform/vqFileSys.h"

namespace ombrant {

TInstalledSoftwareOpera::TInstalledSoftwareOpera(const TSoftwareContext& context,
                                                 std::string displayName, std::string executable)
    : TInstalledSoftware(context, std::move(displayName), std::move(executable)) {
  FCategory = scBrowser;
}

std::string TInstalledSoftwareOpera::GetIconResourceName() { return "OPERA"; }

void TInstalledSoftwareOpera::FindInstallations(const TSoftwareContext& context,
                                                TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "opera.exe", "Opera*", list,
                         TUninstallPathSource::upsInstallLocation,
                         TUninstallMatchOn::umoDisplayName);
}

std::string TInstalledSoftwareOpera::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\Opera\)");
}

bool TInstalledSoftwareOpera::GetStartRequiredBeforeDataCopy() { return true; }

void TInstalledSoftwareOpera::GetDataFolders(std::string_view userName, TWideStringList& list) {
  list.Clear();
  TStringList profiles;
  FindFiles(Context().port.files, IncludeTrailingBackslash(GetDataFolder(userName)) + "*.*",
            profiles, false, true, true, false, false);
  for (const std::string& profile : profiles) list.Add(profile);
}

void TInstalledSoftwareOpera::GetDataItems(TWideStringList& list) {
  list.Clear();
  list.Add(R"(Bookmarks=profile\Opera6.adr)");
  list.Add(R"(Cookies=profile\cookie4.dat)");
  list.Add(R"(History=profile\global.dat)");
  list.Add(R"(Mail accounts=mail\accounts.ini)");
  list.Add(R"(Mail base=mail\mailbase.dat)");
  list.Add(R"(Mail folders=mail\incoming1.txt)");
  list.Add(R"(Mail indexes=mail\index.ini)");
  list.Add(R"(Mail signatures=mail\signature1.txt)");
  list.Add(R"(URL filter=profile\urlfilter.ini)");
}

void TInstalledSoftwareOpera::GetExistingDataItems(TWideStringList& list,
                                                   std::int32_t folderIndex) {
  TInstalledSoftware::GetExistingDataItems(list, folderIndex);
  TWideStringList profiles;
  GetDataFolders(CurrentUserName(), profiles);
  // The profile may be gone since the engine listed it.
  if (folderIndex < 0 || folderIndex >= profiles.Count()) return;
  const std::string profile = IncludeTrailingBackslash(profiles[folderIndex]);
  TStringList mailboxes;
  FindFiles(Context().port.files, profile + R"(mail\store\*.*)", mailboxes, true, false, true, true,
            false);
  for (const std::string& mailbox : mailboxes) {
    // The scan names every file by the folder it was given.
    if (mailbox.size() <= profile.size() || mailbox.compare(0, profile.size(), profile) != 0) {
      continue;
    }
    list.Add("Mailbox=" + mailbox.substr(profile.size()));
  }
}

bool TInstalledSoftwareOpera::AdjustCopiedFile(std::string_view sourceFolder,
                                               std::string_view targetFolder,
                                               std::string_view relativeFile) {
  if (relativeFile != R"(mail\accounts.ini)" && relativeFile != R"(mail\index.ini)") return false;
  // Opera keeps the mail folders of each account as absolute paths.
  (void)ReplacePathInIniFile(sourceFolder, targetFolder, relativeFile);
  return true;
}

void TInstalledSoftwareOpera::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  list.Add(
      "Opera us supported in that bookmarks, cookies, the history and email account information "
      "and emails are copied over.");
}

void RegisterOperaSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareOpera>("TInstalledSoftwareOpera"));
}

}  // namespace ombrant
