#include "definitions/kvrInstalledSoftwareChromium.h"

#include <utility>

#include "catalogue/kvrMigration.h"
#include "catalogue/kvrWildcardMatch.h"
#include "platform/kvrRegistry.h"
#include "platform/vqFileSys.h"
#include "platform/vqPathSolve.h"
#include "platform/vqStrings.h"
#include "resources/OmbrantStrings.h"

namespace ombrant {
namespace {

constexpr std::string_view kAppPathsKey = LoadStr(sAppPathsKey);
constexpr std::string_view kUninstallKey = LoadStr(sUninstallKey);

// The folders whose every file belongs to the extensions: their code and what they store.
constexpr std::string_view kExtensionFolders[] = {
    "Extensions", "Local Extension Settings", "Sync Extension Settings"};

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameAsciiTextAt(std::string_view text, std::size_t at, std::string_view part) {
  if (text.size() - at < part.size()) return false;
  for (std::size_t i = 0; i < part.size(); ++i) {
    if (LowerAscii(text[at + i]) != LowerAscii(part[i])) return false;
  }
  return true;
}

// A folder as a JSON string stores it: without a trailing "\", every "\" doubled.
std::string JsonEscapedFolder(std::string_view folder) {
  while (!folder.empty() && folder.back() == '\\') folder.remove_suffix(1);
  std::string escaped;
  for (char c : folder) {
    escaped += c;
    if (c == '\\') escaped += '\\';
  }
  return escaped;
}

// Every file below `folder` + `subfolder`, at any depth, as "label=" + the path relative to
// `folder` (which ends in "\").
void AddFilesBelow(port::IFileSystem& files, const std::string& folder, std::string_view subfolder,
                   std::string_view label, TWideStringList& list) {
  TStringList found;
  FindFiles(files, folder + std::string(subfolder) + "\\*.*", found, true, false, true, true,
            false);
  for (const std::string& path : found) {
    if (path.size() <= folder.size() || !StartsText(folder, path)) continue;
    list.Add(std::string(label) + "=" + path.substr(folder.size()));
  }
}

// App Paths and Uninstall registrations below one root in one registry view. The display name
// is always the fixed one: what the administrator's own hive says is not trusted to name files.
void AddRegistrations(const TSoftwareContext& context, port::HKey root, int view,
                      std::string_view exeFileName, std::string_view displayName,
                      std::string_view displayNamePattern, TWideStringList& list) {
  try {
    TMyRegistry registry(context.port.registry);
    registry.SetRootKey(root);
    registry.SetView(view);
    if (registry.OpenKeyReadOnly(std::string(kAppPathsKey) + std::string(exeFileName))) {
      const std::string path = ExtractProgramPath(registry.ReadString(""));
      if (!path.empty() && list.IndexOfName(path) < 0) {
        list.Add(path + "=" + std::string(displayName));
      }
      registry.CloseKey();
    }
  } catch (...) {
    // A value of another type names no program.
  }
  TStringList keys;
  try {
    TMyRegistry registry(context.port.registry);
    registry.SetRootKey(root);
    registry.SetView(view);
    if (!registry.OpenKeyReadOnly(kUninstallKey)) return;
    registry.GetKeyNames(keys);
  } catch (...) {
    return;
  }
  for (const std::string& key : keys) {
    try {
      TMyRegistry registry(context.port.registry);
      registry.SetRootKey(root);
      registry.SetView(view);
      if (!registry.OpenKeyReadOnly(std::string(kUninstallKey) + key)) continue;
      if (!WildcardMatch(registry.ReadString("DisplayName"), displayNamePattern)) continue;
      const std::string folder = ExtractProgramPath(registry.ReadString("InstallLocation"));
      if (folder.empty()) continue;
      const std::string path = IncludeTrailingBackslash(folder) + std::string(exeFileName);
      if (!FileExists(context.port.files, path) || list.IndexOfName(path) >= 0) continue;
      list.Add(path + "=" + std::string(displayName));
    } catch (...) {
      // One broken registration must not end the detection.
    }
  }
}

}  // namespace

std::string ReplaceProfileInJson(std::string_view json, std::string_view sourceProfile,
                                 std::string_view targetProfile) {
  const std::string source = JsonEscapedFolder(sourceProfile);
  const std::string target = JsonEscapedFolder(targetProfile);
  if (source.empty()) return std::string(json);
  std::string result;
  result.reserve(json.size());
  std::size_t i = 0;
  while (i < json.size()) {
    // Only a string that begins with the folder, and only the whole folder: "C:\\Users\\Ann"
    // must not match inside "C:\\Users\\Anna".
    if (json[i] == '"' && SameAsciiTextAt(json, i + 1, source)) {
      const std::size_t after = i + 1 + source.size();
      const bool whole = after < json.size() &&
                         (json[after] == '"' || (json[after] == '\\' && after + 1 < json.size() &&
                                                 json[after + 1] == '\\'));
      if (whole) {
        result += '"';
        result += target;
        i = after;
        continue;
      }
    }
    result += json[i];
    ++i;
  }
  return result;
}

// ---- TInstalledChromiumSoftware

TInstalledChromiumSoftware::TInstalledChromiumSoftware(const TSoftwareContext& context,
                                                       std::string displayName,
                                                       std::string executable)
    : TInstalledSoftware(context, std::move(displayName), std::move(executable)) {
  FCategory = scBrowser;
}

bool TInstalledChromiumSoftware::GetShutdownRequiredBeforeDataCopy() { return true; }

void TInstalledChromiumSoftware::GetDataItems(TWideStringList& list) {
  list.Clear();
  list.Add("Bookmarks=Bookmarks");
  list.Add("Preferences=Preferences");
  list.Add("Preferences=Secure Preferences");
  list.Add("History=History");
  list.Add("Favicons=Favicons");
  list.Add("Top sites=Top Sites");
  list.Add("Shortcuts=Shortcuts");
  list.Add("Web data=Web Data");
}

void TInstalledChromiumSoftware::GetExistingDataItems(TWideStringList& list,
                                                      std::int32_t folderIndex) {
  TInstalledSoftware::GetExistingDataItems(list, folderIndex);
  TWideStringList folders;
  GetDataFolders(CurrentUserName(), folders);
  if (folderIndex < 0 || folderIndex >= folders.Count()) return;
  const std::string folder = IncludeTrailingBackslash(folders[folderIndex]);
  for (std::string_view extensions : kExtensionFolders) {
    AddFilesBelow(Context().port.files, folder, extensions, "Extension file", list);
  }
}

bool TInstalledChromiumSoftware::AdjustCopiedFile(std::string_view sourceFolder,
                                                  std::string_view targetFolder,
                                                  std::string_view relativeFile) {
  if (relativeFile != "Preferences") return false;
  try {
    // Both data folders lie at the same place below their account's profile folder; the
    // target's profile folder is what remains of its data folder without that place.
    const std::string sourceProfile =
        IncludeTrailingBackslash(Context().paths.ResolvePath("<$PROFILE>"));
    if (sourceProfile.size() < 4 || !StartsText(sourceProfile, sourceFolder)) return true;
    const std::string_view below = sourceFolder.substr(sourceProfile.size());
    if (targetFolder.size() <= below.size() ||
        !SameText(targetFolder.substr(targetFolder.size() - below.size()), below)) {
      return true;
    }
    const std::string targetProfile(targetFolder.substr(0, targetFolder.size() - below.size()));
    port::IFileSystem& files = Context().port.files;
    const std::string file = std::string(targetFolder) + std::string(relativeFile);
    std::string json;
    if (files.ReadWholeFile(file, &json) != port::kErrorSuccess) return true;
    const std::string rewritten = ReplaceProfileInJson(json, sourceProfile, targetProfile);
    if (rewritten != json) (void)ReplaceFileContent(files, file, rewritten);
  } catch (...) {
    // The preferences stay as copied.
  }
  return true;
}

void TInstalledChromiumSoftware::GetSupportNotes(TWideStringList& list) {
  list.Clear();
  list.Add(FDisplayName +
           " is supported the same way all Chromium browsers are; bookmarks, preferences, "
           "history, favicons, top sites, shortcuts, web data and extensions with their settings "
           "are migrated to your impersonated Ombrant.");
  list.Add(
      "Saved passwords and cookies stay with your account; export your passwords from the "
      "browser and import them under your Ombrant.");
}

std::string TInstalledChromiumSoftware::DefaultProfileFolder(
    std::string_view userName, std::string_view userDataTemplate) const {
  return ResolvePathForUser(userName, std::string(userDataTemplate) + "Default\\");
}

void TInstalledChromiumSoftware::FindRegisteredInstallations(const TSoftwareContext& context,
                                                             std::string_view exeFileName,
                                                             std::string_view displayName,
                                                             std::string_view displayNamePattern,
                                                             TWideStringList& list) {
  AddAppPathCandidate(context, exeFileName, displayName, list);
  AddUninstallCandidates(context, exeFileName, displayNamePattern, list,
                         TUninstallPathSource::upsInstallLocation,
                         TUninstallMatchOn::umoDisplayName);
  // The 64-bit browsers register in the 64-bit view as well; an installation for the
  // administrator alone registers in his own hive.
  if (context.isWow64) {
    AddRegistrations(context, port::kHKeyLocalMachine, 64, exeFileName, displayName,
                     displayNamePattern, list);
  }
  AddRegistrations(context, port::kHKeyCurrentUser, 32, exeFileName, displayName,
                   displayNamePattern, list);
}

// ---- Google Chrome

std::string TInstalledSoftwareChrome::GetIconResourceName() { return "CHROME"; }

void TInstalledSoftwareChrome::FindInstallations(const TSoftwareContext& context,
                                                 TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  FindRegisteredInstallations(context, "chrome.exe", "Google Chrome", "Google Chrome", list);
}

std::string TInstalledSoftwareChrome::GetDataFolder(std::string_view userName) {
  return DefaultProfileFolder(userName, R"(<$LOCALAPPDATA>\Google\Chrome\User Data\)");
}

// ---- Microsoft Edge

std::string TInstalledSoftwareEdge::GetIconResourceName() { return "EDGE"; }

void TInstalledSoftwareEdge::FindInstallations(const TSoftwareContext& context,
                                               TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  FindRegisteredInstallations(context, "msedge.exe", "Microsoft Edge", "Microsoft Edge", list);
}

std::string TInstalledSoftwareEdge::GetDataFolder(std::string_view userName) {
  return DefaultProfileFolder(userName, R"(<$LOCALAPPDATA>\Microsoft\Edge\User Data\)");
}

// ---- Brave

std::string TInstalledSoftwareBrave::GetIconResourceName() { return "BRAVE"; }

void TInstalledSoftwareBrave::FindInstallations(const TSoftwareContext& context,
                                                TWideStringList& list) {
  TInstalledSoftware::FindInstallations(context, list);
  FindRegisteredInstallations(context, "brave.exe", "Brave", "Brave", list);
}

std::string TInstalledSoftwareBrave::GetDataFolder(std::string_view userName) {
  return DefaultProfileFolder(userName,
                              R"(<$LOCALAPPDATA>\BraveSoftware\Brave-Browser\User Data\)");
}

// ---- registration

void RegisterChromiumSoftwareClasses(TSoftwareClassRegistry& registry) {
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareChrome>("TInstalledSoftwareChrome"));
  registry.RegisterSoftwareClass(SoftwareClassOf<TInstalledSoftwareEdge>("TInstalledSoftwareEdge"));
  registry.RegisterSoftwareClass(
      SoftwareClassOf<TInstalledSoftwareBrave>("TInstalledSoftwareBrave"));
}

}  // namespace ombrant
