#include "definitions/kvrInstalledSoftwareMozilla.h"

#include "platform/vqFileSys.h"

namespace ombrant {
namespace {

using enum TUninstallPathSource;
using enum TUninstallMatchOn;

// Every file matching `mask` (relative to `folder`, which ends in "\") at any depth, as
// "label=" + the path relative to `folder`.
void AddFilesBelow(port::IFileSystem& files, const std::string& folder, std::string_view mask,
                   std::string_view label, TWideStringList& list) {
  TStringList found;
  FindFiles(files, folder + std::string(mask), found, true, false, true, true, false);
  for (const std::string& path : found) {
    // The scan names every file by the folder it was given.
    if (path.size() <= folder.size() || path.compare(0, folder.size(), folder) != 0) continue;
    list.Add(std::string(label) + "=" + path.substr(folder.size()));
  }
}

}  // namespace

// ---- TInstalledMozillaSoftware

TInstalledMozillaSoftware::TInstalledMozillaSoftware(const TSoftwareContext& context,
                                                     std::string displayName,
                                                     std::string executable)
    : TInstalledSoftware(context, std::move(displayName), std::move(executable)),
      FProfilesSubfolder("Profiles\\") {
  FCategory = scBrowser;
}

bool TInstalledMozillaSoftware::GetStartRequiredBeforeDataCopy() { return true; }

void TInstalledMozillaSoftware::GetDataFolders(std::string_view userName, TWideStringList& list) {
  list.Clear();
  const std::string mask =
      IncludeTrailingBackslash(GetDataFolder(userName)) + FProfilesSubfolder + "*.*";
  TStringList profiles;
  FindFiles(Context().port.files, mask, profiles, false, true, true, false, false);
  for (const std::string& profile : profiles) list.Add(profile);
}

void TInstalledMozillaSoftware::GetDataItems(TWideStringList& list) {
  list.Clear();
  list.Add(R"(Adblock Plus patterns=adblockplus\patterns.ini)");
  list.Add("Address book=abook.mab");
  list.Add("Bookmarks=bookmarks.html");
  list.Add("Bookmarks=bookmarks_history.sqlite");
  list.Add("Cookies=cookies.txt");
  list.Add("Cookies=cookies.sqlite");
  list.Add("Extension blocklist=blocklist.xml");
  list.Add("History=history.dat");
  list.Add("History=history.mab");
  list.Add("Form history=formhistory.dat");
  list.Add("Form history=formhistory.sqlite");
  list.Add("Mouse gestures=mousegestures.rdf");
  list.Add("Passwords=signons.txt");
  list.Add("Places=places.sqlite");
  list.Add("Permissions=permissions.sqlite");
  list.Add("PGP rules=pgprules.xml");
  list.Add("Preferences=prefs.js");
  list.Add("Server specific permissions=hostperm.1");
  list.Add("Sign On information=signons3.txt");
  list.Add("Spam training=training.dat");
  // Today's files. Logins and their key are not bound to the Windows logon: without a primary
  // password they open under any account.
  list.Add("Passwords=logins.json");
  list.Add("Passwords=key4.db");
  list.Add("Certificates=cert9.db");
  list.Add("Window layout=xulstore.json");
  list.Add("Download actions=handlers.json");
  list.Add("Containers=containers.json");
  list.Add("Search engines=search.json.mozlz4");
  list.Add("Favicons=favicons.sqlite");
}

void TInstalledMozillaSoftware::GetExistingDataItems(TWideStringList& list,
                                                     std::int32_t folderIndex) {
  TInstalledSoftware::GetExistingDataItems(list, folderIndex);
  TWideStringList profiles;
  GetDataFolders(CurrentUserName(), profiles);
  // The profile may be gone since the engine listed it.
  if (folderIndex < 0 || folderIndex >= profiles.Count()) return;
  const std::string profile = IncludeTrailingBackslash(profiles[folderIndex]);
  port::IFileSystem& files = Context().port.files;
  // Thunderbird's local mail, and the music libraries of Songbird and Qtrax.
  AddFilesBelow(files, profile, R"(Mail\*.*)", "Mail file", list);
  AddFilesBelow(files, profile, R"(db\*.db)", "Music Database", list);
}

bool TInstalledMozillaSoftware::AdjustCopiedFile(std::string_view sourceFolder,
                                                 std::string_view targetFolder,
                                                 std::string_view relativeFile) {
  if (relativeFile != "prefs.js") return false;
  // The preferences are script strings: "C:\\Documents and Settings\\Admin\\...".
  (void)ReplacePathInTextFile(sourceFolder, targetFolder, true, relativeFile);
  return true;
}

void TInstalledMozillaSoftware::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  list.Add(FDisplayName +
           " is supported the same way all Mozilla products are; bookmarks, address books, "
           "browsing history, passwords, mouse gestures and preferences are migrated to your "
           "impersonated Ombrant.");
}

// ---- Beonex

TInstalledSoftwareBeonex::TInstalledSoftwareBeonex(const TSoftwareContext& context,
                                                   std::string displayName, std::string executable)
    : TInstalledMozillaSoftware(context, std::move(displayName), std::move(executable)) {
  FProfilesSubfolder = "Profiles\\default\\";
}

std::string TInstalledSoftwareBeonex::GetIconResourceName() { return "BEONEX"; }

void TInstalledSoftwareBeonex::FindInstallations(const TSoftwareContext& context,
                                                 TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddAppPathCandidate(context, "beonex-comm.exe", "Beonex", list);
}

std::string TInstalledSoftwareBeonex::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\Beonex\)");
}

// ---- Firefox

std::string TInstalledSoftwareFirefox::GetIconResourceName() { return "FIREFOX"; }

void TInstalledSoftwareFirefox::FindInstallations(const TSoftwareContext& context,
                                                  TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "firefox.exe", "Mozilla Firefox*", list, upsInstallLocation,
                         umoKeyName);
}

std::string TInstalledSoftwareFirefox::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\Mozilla\Firefox\)");
}

// ---- K-Meleon

TInstalledSoftwareKMeleon::TInstalledSoftwareKMeleon(const TSoftwareContext& context,
                                                     std::string displayName,
                                                     std::string executable)
    : TInstalledMozillaSoftware(context, std::move(displayName), std::move(executable)) {
  FProfilesSubfolder.clear();
}

std::string TInstalledSoftwareKMeleon::GetIconResourceName() { return "KMELEON"; }

void TInstalledSoftwareKMeleon::FindInstallations(const TSoftwareContext& context,
                                                  TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "k-meleon.exe", "K-Meleon*", list, upsInstallLocation,
                         umoKeyName);
}

std::string TInstalledSoftwareKMeleon::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\K-Meleon\default\)");
}

// ---- Lolifox

std::string TInstalledSoftwareLolifox::GetIconResourceName() { return "LOLIFOX"; }

void TInstalledSoftwareLolifox::FindInstallations(const TSoftwareContext& context,
                                                  TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "lolifox.exe", "Lolifox*", list, upsInstallLocation, umoKeyName);
}

std::string TInstalledSoftwareLolifox::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\kyoku-senbi\lolifox\)");
}

// ---- Netscape Navigator

std::string TInstalledSoftwareNetscape::GetIconResourceName() { return "NETSCAPE"; }

void TInstalledSoftwareNetscape::FindInstallations(const TSoftwareContext& context,
                                                   TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "navigator.exe", "Netscape Navigator*", list, upsInstallLocation,
                         umoKeyName);
}

std::string TInstalledSoftwareNetscape::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\Netscape\Navigator\)");
}

// ---- SeaMonkey

TInstalledSoftwareSeaMonkey::TInstalledSoftwareSeaMonkey(const TSoftwareContext& context,
                                                         std::string displayName,
                                                         std::string executable)
    : TInstalledMozillaSoftware(context, std::move(displayName), std::move(executable)) {
  FProfilesSubfolder = "Profiles\\default\\";
}

std::string TInstalledSoftwareSeaMonkey::GetIconResourceName() { return "SEAMONKEY"; }

void TInstalledSoftwareSeaMonkey::FindInstallations(const TSoftwareContext& context,
                                                    TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddAppPathCandidate(context, "seamonkey.exe", "SeaMonkey", list);
}

std::string TInstalledSoftwareSeaMonkey::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\Mozilla\)");
}

// ---- Thunderbird

TInstalledSoftwareThunderbird::TInstalledSoftwareThunderbird(const TSoftwareContext& context,
                                                             std::string displayName,
                                                             std::string executable)
    : TInstalledMozillaSoftware(context, std::move(displayName), std::move(executable)) {
  FCategory = scEmail;
}

std::string TInstalledSoftwareThunderbird::GetIconResourceName() { return "THUNDERBIRD"; }

void TInstalledSoftwareThunderbird::FindInstallations(const TSoftwareContext& context,
                                                      TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "thunderbird.exe", "Mozilla Thunderbird*", list,
                         upsInstallLocation, umoKeyName);
}

std::string TInstalledSoftwareThunderbird::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\Thunderbird\)");
}

// ---- Wyzo

std::string TInstalledSoftwareWyzo::GetIconResourceName() { return "WYZO"; }

void TInstalledSoftwareWyzo::FindInstallations(const TSoftwareContext& context,
                                               TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "wyzo.exe", "Wyzo", list, upsUninstallStringFolder, umoKeyName);
}

std::string TInstalledSoftwareWyzo::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\Wyzo\Data\)");
}

void TInstalledSoftwareWyzo::GetSupportNotes(TWideStringList& list) {
  TInstalledMozillaSoftware::GetSupportNotes(list);
  list.Add(
      "Wyzo is an exception though in that is has a problem on startup running a "
      "\"fixMediaPlayer\" thing.");
}

// ---- Songbird

TInstalledSoftwareSongbird::TInstalledSoftwareSongbird(const TSoftwareContext& context,
                                                       std::string displayName,
                                                       std::string executable)
    : TInstalledMozillaSoftware(context, std::move(displayName), std::move(executable)) {
  FCategory = scMultimedia;
}

std::string TInstalledSoftwareSongbird::GetIconResourceName() { return "SONGBIRD"; }

void TInstalledSoftwareSongbird::FindInstallations(const TSoftwareContext& context,
                                                   TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "songbird.exe", "Songbird*", list, upsUninstallStringFolder,
                         umoDisplayName);
}

std::string TInstalledSoftwareSongbird::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\Songbird1\)");
}

// ---- Qtrax

TInstalledSoftwareQtrax::TInstalledSoftwareQtrax(const TSoftwareContext& context,
                                                 std::string displayName, std::string executable)
    : TInstalledMozillaSoftware(context, std::move(displayName), std::move(executable)) {
  FCategory = scMultimedia;
}

std::string TInstalledSoftwareQtrax::GetIconResourceName() { return "QTRAX"; }

void TInstalledSoftwareQtrax::FindInstallations(const TSoftwareContext& context,
                                                TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  AddUninstallCandidates(context, "songbird.exe", "Qtrax*", list, upsInstallLocation,
                         umoDisplayName);
}

std::string TInstalledSoftwareQtrax::GetDataFolder(std::string_view userName) {
  return ResolvePathForUser(userName, R"(<$APPDATA>\Qtrax1\)");
}

// ---- registration

void RegisterMozillaSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareBeonex>("TInstalledSoftwareBeonex"));
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareFirefox>("TInstalledSoftwareFirefox"));
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareKMeleon>("TInstalledSoftwareKMeleon"));
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareLolifox>("TInstalledSoftwareLolifox"));
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareNetscape>("TInstalledSoftwareNetscape"));
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareSeaMonkey>("TInstalledSoftwareSeaMonkey"));
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareThunderbird>("TInstalledSoftwareThunderbird"));
  registry.RegisterSoftwareClass(SoftwareClassOf<TInstalledSoftwareWyzo>("TInstalledSoftwareWyzo"));
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareSongbird>("TInstalledSoftwareSongbird"));
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareQtrax>("TInstalledSoftwareQtrax"));
}

}  // namespace ombrant
