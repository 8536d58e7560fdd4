#include "definitions/kvrInstalledSoftwareMicrosoft.h"

#include "catalogue/kvrIniText.h"
#include "platform/kvrRegHives.h"
#include "platform/vqFileSys.h"
#include "platform/vqPathSolve.h"
#include "resources/OmbrantStrings.h"

namespace ombrant {
namespace {

constexpr std::string_view kExplorerMainKey = LoadStr(sExplorerMainKey);
constexpr std::string_view kExplorerWindowTitleValue = LoadStr(sExplorerWindowTitleValue);
constexpr std::string_view kExplorerWindowTitle = LoadStr(sExplorerWindowTitle);

// Whether any file matching `pattern` lies below `folder`, at any depth.
bool HasFilesBelow(port::IFileSystem& files, std::string_view folder, std::string_view pattern) {
  TStringList found;
  FindFiles(files, IncludeTrailingBackslash(folder) + std::string(pattern), found, true, false,
            true, true, false);
  return !found.Empty();
}

constexpr std::string_view kLiveNotesSecond =
    "It uses a propriatory file format for  its configuration files though. Due to absolute "
    "paths stored inside these files, it is currently impossible to migrate existing settings.";

}  // namespace

// ---- Internet Explorer

TInstalledSoftwareInternetExplorer::TInstalledSoftwareInternetExplorer(
    const TSoftwareContext& context, std::string displayName, std::string executable)
    : TInstalledSoftware(context, std::move(displayName), std::move(executable)) {
  FCategory = scBrowser;
}

std::string TInstalledSoftwareInternetExplorer::GetIconResourceName() { return "INTERNETEXPLORER"; }

void TInstalledSoftwareInternetExplorer::FindInstallations(const TSoftwareContext& context,
                                                           TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddFileCandidates(context, R"(<$PROGRAMFILES>\Internet Explorer\iexplore.exe)",
                    "Internet Explorer", list);
}

std::string TInstalledSoftwareInternetExplorer::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$FAVORITES>\)");
}

bool TInstalledSoftwareInternetExplorer::HasData(std::string_view folder) {
  return HasFilesBelow(Context().port.files, folder, "*.url");
}

void TInstalledSoftwareInternetExplorer::GetDataItems(TWideStringList& list) {
  list.Clear();
  port::IFileSystem& files = Context().port.files;
  const std::string folder = IncludeTrailingBackslash(GetCurrentUserDataFolder());
  TStringList favorites;
  FindFiles(files, folder + "*.url", favorites, true, false, false, true, true);
  for (const std::string& favorite : favorites) {
    std::string bytes;
    std::string url = "unknown";
    if (files.ReadWholeFile(folder + favorite, &bytes) == port::kErrorSuccess) {
      url = ReadIniString(IniBytesToText(bytes), "InternetShortcut", "URL", "unknown");
    }
    // The label must not hold "=": the item's value starts after the first one.
    const std::size_t eq = url.find('=');
    if (eq != std::string::npos) url = url.substr(0, eq) + "...";
    list.Add("Bookmark (" + url + ")=" + favorite);
  }
}

void TInstalledSoftwareInternetExplorer::GetRegistryValues(TWideStringList& list) {
  list.Clear();
  list.Add(R"(Local Page=\Software\Microsoft\Internet Explorer\Main\Local Page)");
  list.Add(R"(Start Page=\Software\Microsoft\Internet Explorer\Main\Start Page)");
  list.Add(R"(Search Page=\Software\Microsoft\Internet Explorer\Main\Search Page)");
}

bool TInstalledSoftwareInternetExplorer::AfterMigration() {
  // The administrator's own, unrestricted Internet Explorer shows from now on that the
  // impersonated one is the one to use. A failed write is not worth a message.
  try {
    (void)WriteRegistryString(Context().port.registry, port::kHKeyCurrentUser, kExplorerMainKey,
                              kExplorerWindowTitleValue, 32, kExplorerWindowTitle);
  } catch (...) {
  }
  return true;
}

void TInstalledSoftwareInternetExplorer::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  list.Add(
      "Internet Explorer is fully supported; you need to run it on an administrator account "
      "only if you want to install plugins, which is intended exactly this way to protect you "
      "against malicious automated or deceptive plugin installations.");
}

// ---- Outlook Express

TInstalledSoftwareOutlookExpress::TInstalledSoftwareOutlookExpress(const TSoftwareContext& context,
                                                                   std::string displayName,
                                                                   std::string executable)
    : TInstalledSoftware(context, std::move(displayName), std::move(executable)) {
  FCategory = scEmail;
}

std::string TInstalledSoftwareOutlookExpress::GetIconResourceName() { return "OUTLOOKEXPRESS"; }

void TInstalledSoftwareOutlookExpress::FindInstallations(const TSoftwareContext& context,
                                                         TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddFileCandidates(context, R"(<$PROGRAMFILES>\Outlook Express\msimn.exe)", "Outlook Express",
                    list);
}

std::string TInstalledSoftwareOutlookExpress::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$LOCALAPPDATA>\Identities\)");
}

bool TInstalledSoftwareOutlookExpress::HasData(std::string_view folder) {
  return HasFilesBelow(Context().port.files, folder, "*.dbx");
}

void TInstalledSoftwareOutlookExpress::GetDataFolders(std::string_view userName,
                                                      TWideStringList& list) {
  list.Clear();
  const std::string mask =
      Context().paths.ResolvePath(IncludeTrailingBackslash(GetDataFolder(userName)) + "*.*");
  // The identity folders, named by the identity's GUID.
  TStringList identities;
  FindFiles(Context().port.files, mask, identities, false, true, true, false, false);
  for (const std::string& identity : identities) {
    list.Add(identity + R"(\Microsoft\Outlook Express\)");
  }
}

void TInstalledSoftwareOutlookExpress::GetExistingDataItems(TWideStringList& list,
                                                            std::int32_t folderIndex) {
  list.Clear();
  TWideStringList folders;
  GetDataFolders(CurrentUserName(), folders);
  if (folderIndex < 0 || folderIndex >= folders.Count()) return;
  const std::string folder = IncludeTrailingBackslash(folders[folderIndex]);
  TStringList mailboxes;
  FindFiles(Context().port.files, folder + "*.dbx", mailboxes, true, false, true, false, true);
  for (const std::string& mailbox : mailboxes) {
    list.Add("Mailbox=" + mailbox.substr(ExtractFilePath(mailbox).size()));
  }
}

void TInstalledSoftwareOutlookExpress::GetRegistryKeys(TWideStringList& list) {
  list.Clear();
  // Accounts beyond the ninth are not copied.
  for (int account = 1; account <= 9; ++account) {
    const std::string number = std::to_string(account);
    list.Add("Account Settings #" + number +
             R"(=\Software\Microsoft\Internet Account Manager\Accounts\0000000)" + number + "\\");
  }
}

bool TInstalledSoftwareOutlookExpress::GetStartRequiredBeforeDataCopy() { return true; }

void TInstalledSoftwareOutlookExpress::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  list.Add("");
}

// ---- Windows Live Messenger

TInstalledSoftwareWindowsLiveMessenger::TInstalledSoftwareWindowsLiveMessenger(
    const TSoftwareContext& context, std::string displayName, std::string executable)
    : TInstalledSoftwareAllDataFiles(context, std::move(displayName), std::move(executable)) {
  FCategory = scChat;
}

std::string TInstalledSoftwareWindowsLiveMessenger::GetIconResourceName() {
  return "WINDOWSLIVEMESSENGER";
}

void TInstalledSoftwareWindowsLiveMessenger::FindInstallations(const TSoftwareContext& context,
                                                               TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddFileCandidates(context, R"(<$PROGRAMFILES>\Windows Live\Messenger\msnmsgr.exe)",
                    "Windows Live Messenger", list);
}

std::string TInstalledSoftwareWindowsLiveMessenger::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$LOCALAPPDATA>\Microsoft\Windows Live Contacts\)");
}

void TInstalledSoftwareWindowsLiveMessenger::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  list.Add(
      "Windows Live Messenger runs fine on a limited account, and Ombrant provides you with a "
      "shortcut to do exactly that.");
  list.Add(std::string(kLiveNotesSecond));
}

// ---- Windows Live Mail

TInstalledSoftwareWindowsLiveMail::TInstalledSoftwareWindowsLiveMail(
    const TSoftwareContext& context, std::string displayName, std::string executable)
    : TInstalledSoftware(context, std::move(displayName), std::move(executable)) {
  FCategory = scEmail;
}

std::string TInstalledSoftwareWindowsLiveMail::GetIconResourceName() { return "WINDOWSLIVEMAIL"; }

void TInstalledSoftwareWindowsLiveMail::FindInstallations(const TSoftwareContext& context,
                                                          TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddFileCandidates(context, R"(<$PROGRAMFILES>\Windows Live\Mail\wlmail.exe)", "Windows Live Mail",
                    list);
}

std::string TInstalledSoftwareWindowsLiveMail::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$LOCALAPPDATA>\Microsoft\Windows Live Mail\)");
}

void TInstalledSoftwareWindowsLiveMail::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  list.Add(
      "Windows Live Mail runs fine on a limited account, and Ombrant provides you with a "
      "shortcut to do exactly that.");
  list.Add(std::string(kLiveNotesSecond));
}

// ---- Windows Media Player

TInstalledSoftwareWindowsMediaPlayer::TInstalledSoftwareWindowsMediaPlayer(
    const TSoftwareContext& context, std::string displayName, std::string executable)
    : TInstalledSoftwareAllDataFiles(context, std::move(displayName), std::move(executable)) {
  FCategory = scMultimedia;
}

std::string TInstalledSoftwareWindowsMediaPlayer::GetIconResourceName() {
  return "WINDOWSMEDIAPLAYER";
}

void TInstalledSoftwareWindowsMediaPlayer::FindInstallations(const TSoftwareContext& context,
                                                             TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddFileCandidates(context, R"(<$PROGRAMFILES>\Windows Media Player\wmplayer.exe)",
                    "Windows Media Player", list);
}

std::string TInstalledSoftwareWindowsMediaPlayer::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$LOCALAPPDATA>\Microsoft\Media Player\)");
}

// ---- registration

void RegisterMicrosoftSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareInternetExplorer>("TInstalledSoftwareInternetExplorer"));
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareOutlookExpress>("TInstalledSoftwareOutlookExpress"));
  registry.RegisterSoftwareClass(SoftwareClassOf<TInstalledSoftwareWindowsLiveMessenger>(
      "TInstalledSoftwareWindowsLiveMessenger"));
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareWindowsLiveMail>("TInstalledSoftwareWindowsLiveMail"));
  registry.RegisterSoftwareClass(SoftwareClassOf<TInstalledSoftwareWindowsMediaPlayer>(
      "TInstalledSoftwareWindowsMediaPlayer"));
}

}  // namespace ombrant
