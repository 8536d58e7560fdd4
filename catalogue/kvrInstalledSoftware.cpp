#include "catalogue/kvrInstalledSoftware.h"

#include <initializer_list>
#include <stdexcept>
#include <utility>

#include "catalogue/kvrMigration.h"
#include "catalogue/kvrPngImages.h"
#include "catalogue/kvrProfileFolders.h"
#include "catalogue/kvrProcessList.h"
#include "catalogue/kvrShortcutFiles.h"
#include "catalogue/kvrWildcardMatch.h"
#include "platform/kvrRegistry.h"
#include "platform/vqFileSys.h"
#include "platform/vqNetInfo.h"
#include "platform/vqPathSolve.h"
#include "platform/vqStrings.h"
#include "resources/OmbrantStrings.h"

namespace ombrant {
namespace {

constexpr std::string_view kAppPathsKey = LoadStr(sAppPathsKey);
constexpr std::string_view kRunAsArguments = LoadStr(sRunAsArguments);
constexpr std::string_view kUninstallKey = LoadStr(sUninstallKey);

constexpr std::string_view kFallbackIconName = "APPLICATION";
constexpr std::string_view kFallbackIconEntry = "TInstalledSoftware";
constexpr int kSwShow = 5;

// "%s" takes the next argument, "%%" is one "%"; inserted text is not scanned again.
std::string FormatText(std::string_view format, std::initializer_list<std::string_view> args) {
  std::string result;
  auto next = args.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size()) {
      if (format[i + 1] == 's') {
        if (next != args.end()) result += *next++;
        ++i;
        continue;
      }
      if (format[i + 1] == '%') {
        result += '%';
        ++i;
        continue;
      }
    }
    result += format[i];
  }
  return result;
}

std::uint32_t Attributes(port::IFileSystem& files, std::string_view path) {
  // GetFileAttributes takes a folder with or without its trailing "\"; drop it but for a
  // drive's root, which needs it.
  std::string query(path);
  if (query.size() > 3 && query.back() == '\\') query.pop_back();
  std::uint32_t attributes = port::kInvalidFileAttributes;
  if (query.empty() || files.GetFileAttributes(query, &attributes) != port::kErrorSuccess) {
    return port::kInvalidFileAttributes;
  }
  return attributes;
}

// The program path a registration yields for `source`. Nothing when the value cannot be read
// or gives no folder: a bare file name would be looked up in whatever folder is current.
std::optional<std::string> UninstallCandidatePath(const TUninstallRegistrations::Entry& entry,
                                                  TUninstallPathSource source,
                                                  std::string_view exeFileName) {
  const std::optional<std::string>* value = nullptr;
  bool folderOnly = false;
  switch (source) {
    case TUninstallPathSource::upsInstallLocation:
      value = &entry.installLocation;
      break;
    case TUninstallPathSource::upsUninstallString:
      value = &entry.uninstallString;
      break;
    case TUninstallPathSource::upsUninstallStringFolder:
      value = &entry.uninstallString;
      folderOnly = true;
      break;
    case TUninstallPathSource::upsDisplayIcon:
      value = &entry.displayIcon;
      break;
    case TUninstallPathSource::upsDisplayIconFolder:
      value = &entry.displayIcon;
      folderOnly = true;
      break;
    default:
      return std::nullopt;
  }
  if (!value->has_value()) return std::nullopt;
  const std::string program = ExtractProgramPath(**value);
  std::string path;
  if (source == TUninstallPathSource::upsInstallLocation) {
    if (program.empty()) return std::nullopt;
    path = IncludeTrailingBackslash(program) + std::string(exeFileName);
  } else if (folderOnly) {
    const std::string folder = ExtractFilePath(program);
    if (folder.empty()) return std::nullopt;
    path = folder + std::string(exeFileName);
  } else {
    path = program;
  }
  if (ExtractFilePath(path).empty()) return std::nullopt;
  return path;
}

// `path` with "/" as "\\" and without "." and ".." elements, so that a prefix test sees the folder
// the path really names.
std::string NormalisedPath(std::string_view path) {
  std::vector<std::string> elements;
  std::string element;
  auto flush = [&]() {
    if (element == "..") {
      if (elements.size() > 1) elements.pop_back();
    } else if (element != "." && !(element.empty() && !elements.empty())) {
      elements.push_back(element);
    }
    element.clear();
  };
  for (char c : path) {
    if (c == '\\' || c == '/') {
      flush();
    } else {
      element += c;
    }
  }
  flush();
  std::string result;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    if (i > 0) result += '\\';
    result += elements[i];
  }
  return result;
}

}  // namespace

// ---- file helpers

bool FileExists(port::IFileSystem& files, std::string_view path) {
  const std::uint32_t attributes = Attributes(files, path);
  return attributes != port::kInvalidFileAttributes &&
         (attributes & port::kFileAttributeDirectory) == 0;
}

bool DirectoryExists(port::IFileSystem& files, std::string_view path) {
  const std::uint32_t attributes = Attributes(files, path);
  return attributes != port::kInvalidFileAttributes &&
         (attributes & port::kFileAttributeDirectory) != 0;
}

std::string IncludeTrailingBackslash(std::string_view path) {
  std::string result(path);
  if (result.empty() || result.back() != '\\') result += '\\';
  return result;
}

std::string ExtractFilePath(std::string_view path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

// ---- TInstalledSoftware

TInstalledSoftware::TInstalledSoftware(const TSoftwareContext& context, std::string displayName,
                                       std::string executable)
    : FDisplayName(std::move(displayName)), FExecutable(std::move(executable)), context_(context) {}

bool TInstalledSoftware::GetShutdownRequiredBeforeDataCopy() { return false; }

bool TInstalledSoftware::GetStartRequiredBeforeDataCopy() { return false; }

bool TInstalledSoftware::AdjustCopiedFile(std::string_view, std::string_view, std::string_view) {
  return false;
}

bool TInstalledSoftware::AfterMigration() { return false; }

bool TInstalledSoftware::ForceDataCopy() { return false; }

std::string TInstalledSoftware::GetIconResourceName() { return std::string(kFallbackIconName); }

void TInstalledSoftware::FindInstallations(const TSoftwareContext&, TWideStringList& list) {
  list.Clear();
  list.SetCaseSensitive(false);
  list.SetDuplicates(TDuplicates::dupIgnore);
  list.SetSorted(true);
}

bool TInstalledSoftware::HasData(std::string_view folder) {
  return DirectoryExists(context_.port.files, folder);
}

void TInstalledSoftware::GetDataFolders(std::string_view userName, TWideStringList& list) {
  list.Clear();
  list.Add(GetDataFolder(userName));
}

void TInstalledSoftware::GetDataItems(TWideStringList& list) { list.Clear(); }

void TInstalledSoftware::GetExistingDataItems(TWideStringList& list, std::int32_t folderIndex) {
  list.Clear();
  TWideStringList folders;
  GetDataFolders(CurrentUserName(), folders);
  if (folderIndex < 0 || folderIndex >= folders.Count()) return;
  const std::string folder = IncludeTrailingBackslash(folders[folderIndex]);
  TWideStringList items;
  GetDataItems(items);
  for (int i = 0; i < items.Count(); ++i) {
    if (FileExists(context_.port.files, folder + items.ValueFromIndex(i))) list.Add(items[i]);
  }
}

void TInstalledSoftware::GetRegistryValues(TWideStringList& list) { list.Clear(); }

void TInstalledSoftware::GetRegistryKeys(TWideStringList& list) { list.Clear(); }

void TInstalledSoftware::GetSupportNotes(TWideStringList& list) { list.Clear(); }

std::string TInstalledSoftware::ResolvePathForUser(std::string_view userName,
                                                   std::string_view pathTemplate) const {
  const std::string resolved = context_.paths.ResolvePath(pathTemplate);
  // The running account's own folders are known exactly, also when its profile folder is not
  // named like the account ("Admin.PC" after a reinstallation).
  if (!userName.empty() && SameText(userName, CurrentUserName())) return resolved;
  // Another account's profile is where Windows made it ("Anna.PC" when "Anna" was left behind
  // by an account of that name before); only an account without a profile gets the guess below.
  const std::string ownProfile = context_.paths.ResolvePath("<$PROFILE>");
  const std::string realProfile = ProfileFolderOfAccount(context_.port, userName);
  if (!realProfile.empty() && !ownProfile.empty() && !StartsText("<$", ownProfile)) {
    const std::string own =
        ownProfile.back() == '\\' ? ownProfile.substr(0, ownProfile.size() - 1) : ownProfile;
    if (resolved.size() >= own.size() && SameText(std::string_view(resolved).substr(0, own.size()), own) &&
        (resolved.size() == own.size() || resolved[own.size()] == '\\')) {
      return realProfile + resolved.substr(own.size());
    }
  }
  std::vector<std::string> elements;
  std::size_t start = 0;
  while (true) {
    const std::size_t slash = resolved.find('\\', start);
    if (slash == std::string::npos) {
      elements.push_back(resolved.substr(start));
      break;
    }
    elements.push_back(resolved.substr(start, slash - start));
    start = slash + 1;
  }
  // C:\Documents and Settings\Admin\... and C:\Users\Admin\...: the third element is the
  // account's own folder below the profiles root.
  if (elements.size() > 2) elements[2] = std::string(userName);
  std::string path;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    if (i > 0) path += '\\';
    path += elements[i];
  }
  return path;
}

std::string TInstalledSoftware::CurrentUserName() const {
  return GetCurrentUserName(context_.port.accounts);
}

std::string TInstalledSoftware::GetCurrentUserDataFolder() {
  return GetDataFolder(CurrentUserName());
}

void TInstalledSoftware::AddChatSupportNote(TWideStringList& list, bool accounts,
                                            bool history) const {
  if (accounts && history) {
    list.Add(FDisplayName +
             " is fully supported; accounts and chat history will be copied to your "
             "impersonated Ombrant.");
  } else if (accounts) {
    list.Add("Only account settings, no chat histry, will be copied for " + FDisplayName + ".");
  } else if (history) {
    list.Add("Only chat history, no account settings will be copied for " + FDisplayName + ".");
  } else {
    list.Add("There is currently no migration available for " + FDisplayName + ".");
  }
}

void TInstalledSoftware::AddMailSupportNote(TWideStringList& list, bool accounts,
                                            bool mails) const {
  if (accounts && mails) {
    list.Add(FDisplayName +
             " is fully supported; email accounts and emails will be copied to your "
             "impersonated Ombrant.");
  } else if (accounts) {
    list.Add("Only account settings, no stored emails, will be copied for " + FDisplayName + ".");
  } else if (mails) {
    list.Add("Only mails, no account settings will be copied for " + FDisplayName + ".");
  } else {
    list.Add("There is currently no migration available for " + FDisplayName + ".");
  }
}

void TInstalledSoftware::AddProgramFolderSupportNote(TWideStringList& list) const {
  list.Add(FDisplayName +
           " stores its settings inside its own program files folder, Ombrant fully supports "
           "it by adjusting access rights.");
}

std::string TInstalledSoftware::RunAsArguments(std::string_view userName) const {
  return FormatText(kRunAsArguments, {userName, FExecutable, FRunParameters});
}

bool TInstalledSoftware::CreateRestrictedShortcut(std::string_view linkFile,
                                                  std::string_view userName) {
  try {
    port::Port port = context_.port;
    // "runas" bare: the shell finds it in the system folder, and the link gets no working
    // folder.
    WriteShortcut(port, linkFile, "runas", FExecutable,
                  FormatText("Starts %s under a limited user account.", {FDisplayName}),
                  RunAsArguments(userName), 0);
    return FileExists(port.files, linkFile);
  } catch (...) {
    return false;
  }
}

bool TInstalledSoftware::CreateDirectShortcut(std::string_view linkFile) {
  try {
    port::Port port = context_.port;
    WriteShortcut(port, linkFile, FExecutable, FExecutable,
                  FormatText("Starts %s under your current user account.", {FDisplayName}),
                  FRunParameters, 0);
    return FileExists(port.files, linkFile);
  } catch (...) {
    return false;
  }
}

bool TInstalledSoftware::InstalledForOneAccount() const {
  const std::string program = NormalisedPath(FExecutable);
  for (std::string_view folder : {"<$PROFILE>", "<$APPDATA>", "<$LOCALAPPDATA>"}) {
    std::string resolved;
    try {
      resolved = NormalisedPath(context_.paths.ResolvePath(folder));
    } catch (...) {
      continue;
    }
    // A drive's root or an unresolved variable is no profile folder.
    if (resolved.size() < 4 || resolved.find('<') != std::string::npos) continue;
    if (StartsText(IncludeTrailingBackslash(resolved), program)) return true;
  }
  return false;
}

bool TInstalledSoftware::IsRunning() const {
  return IsProgramRunning(context_.port, FExecutable);
}

bool TInstalledSoftware::WaitUntilClosed(std::uint32_t delayMs) const {
  return WaitUntilProgramClosed(context_.port, FDisplayName, FExecutable, delayMs);
}

bool TInstalledSoftware::GrantTargetUserAccess(std::string_view path) const noexcept {
  return ::ombrant::GrantTargetUserAccess(context_.port, FTargetProfile, path);
}

bool TInstalledSoftware::ReplacePathInTextFile(std::string_view sourceFolder,
                                               std::string_view targetFolder, bool escape,
                                               std::string_view relativeFile) const noexcept {
  return ::ombrant::ReplacePathInTextFile(context_.port.files, sourceFolder, targetFolder, escape,
                                          relativeFile);
}

bool TInstalledSoftware::ReplacePathInIniFile(std::string_view sourceFolder,
                                              std::string_view targetFolder,
                                              std::string_view relativeFile) const noexcept {
  return ::ombrant::ReplacePathInIniFile(context_.port.files, sourceFolder, targetFolder,
                                         relativeFile);
}

void TInstalledSoftware::RunAsUser(std::string_view userName) {
  try {
    // runas asks for the password (or uses the saved one) in its own console; whether the
    // shell started it is not the caller's concern.
    (void)context_.port.shell.ShellExecute(0, "open", "runas.exe", RunAsArguments(userName), "",
                                           kSwShow);
  } catch (...) {
  }
}

// ---- detection helpers

void TInstalledSoftware::AddAppPathCandidate(const TSoftwareContext& context,
                                             std::string_view exeFileName,
                                             std::string_view displayName, TWideStringList& list) {
  try {
    TMyRegistry registry(context.port.registry);
    registry.SetRootKey(port::kHKeyLocalMachine);
    if (!registry.OpenKeyReadOnly(std::string(kAppPathsKey) + std::string(exeFileName))) return;
    const std::string path = registry.ReadString("");
    // A registration without a default value names no program.
    if (path.empty() || list.IndexOfName(path) >= 0) return;
    list.Add(path + "=" + std::string(displayName));
  } catch (...) {
    // A value that cannot be read adds nothing.
  }
}

void TInstalledSoftware::AddFileCandidates(const TSoftwareContext& context,
                                           std::string_view pathMask, std::string_view displayName,
                                           TWideStringList& list) {
  TWideStringList expanded;
  expanded.SetDuplicates(TDuplicates::dupIgnore);
  expanded.SetSorted(true);
  context.paths.ExpandPathCandidates(pathMask, expanded);
  for (const std::string& path : expanded) {
    if (!FileExists(context.port.files, path) || list.IndexOfName(path) >= 0) continue;
    std::string name(displayName);
    if (context.isWow64) {
      name += path.find("x86") != std::string::npos ? " (32 bit)" : " (64 bit)";
    }
    list.Add(path + "=" + name);
  }
}

void TInstalledSoftware::AddUninstallCandidates(const TSoftwareContext& context,
                                                std::string_view exeFileName,
                                                std::string_view namePattern, TWideStringList& list,
                                                TUninstallPathSource pathSource,
                                                TUninstallMatchOn matchOn) {
  TUninstallRegistrations own;
  TUninstallRegistrations& registrations = context.uninstall ? *context.uninstall : own;
  registrations.Read(context.port.registry);
  for (std::size_t index = 0; index < registrations.Entries().size(); ++index) {
    const TUninstallRegistrations::Entry& named = registrations.Entries()[index];
    std::string_view candidateName;
    if (matchOn == TUninstallMatchOn::umoKeyName) {
      candidateName = named.keyName;
    } else if (matchOn == TUninstallMatchOn::umoDisplayName) {
      candidateName = named.displayName;
    } else {
      continue;
    }
    if (!WildcardMatch(candidateName, namePattern)) continue;
    try {
      const TUninstallRegistrations::Entry& entry = registrations.Details(index);
      const std::optional<std::string> path =
          UninstallCandidatePath(entry, pathSource, exeFileName);
      if (!path || !FileExists(context.port.files, *path)) continue;
      // "{GUID}-Google Talk" shows as "Google Talk".
      const std::size_t brace = candidateName.find("}-");
      if (brace != std::string_view::npos) candidateName.remove_prefix(brace + 2);
      if (list.IndexOfName(*path) < 0) list.Add(*path + "=" + std::string(candidateName));
    } catch (...) {
      // One broken registration must not end the detection.
    }
  }
}

// ---- TInstalledSoftwareAllDataFiles

void TInstalledSoftwareAllDataFiles::GetExistingDataItems(TWideStringList& list,
                                                          std::int32_t folderIndex) {
  TWideStringList folders;
  GetDataFolders(CurrentUserName(), folders);
  if (folderIndex < 0 || folderIndex >= folders.Count()) return;
  const std::string folder = IncludeTrailingBackslash(folders[folderIndex]);
  TStringList files;
  FindFiles(Context().port.files, folder + "*.*", files, true, false, false, true, true);
  for (const std::string& file : files) list.Add("Setting=" + file);
}

// ---- TSoftwareClassRegistry

void TSoftwareClassRegistry::RegisterSoftwareClass(TSoftwareClass softwareClass) {
  classes_.push_back(softwareClass);
}

// ---- TUninstallRegistrations

TUninstallRegistrations::TUninstallRegistrations() = default;
TUninstallRegistrations::~TUninstallRegistrations() = default;

bool TUninstallRegistrations::Read(port::IRegistry& registry) {
  if (loaded_) return opened_;
  loaded_ = true;
  try {
    registry_ = &registry;
    key_ = std::make_unique<TMyRegistry>(registry);
    key_->SetRootKey(port::kHKeyLocalMachine);
    if (!key_->OpenKeyReadOnly(kUninstallKey)) return false;
    opened_ = true;
    TStringList names;
    key_->GetKeyNames(names);
    // A sub-key that opens at all opens for reading values, which is all this needs.
    static constexpr std::string_view kName[] = {"DisplayName"};
    access_ = port::kKeyQueryValue | (key_->Access() & port::kKeyWow64Res);
    std::vector<port::RegValueData> values;
    entries_.reserve(static_cast<std::size_t>(names.Count()));
    for (const std::string& name : names) {
      if (registry.RegGetValues(key_->CurrentKey(), name, access_, kName, &values) !=
              port::kErrorSuccess ||
          values.size() != std::size(kName)) {
        continue;
      }
      Entry entry;
      entry.keyName = name;
      std::optional<std::string> displayName = StringOfValue(values[0]);
      entry.displayName = displayName ? std::move(*displayName) : name;
      entries_.push_back(std::move(entry));
    }
  } catch (...) {
    // What was read so far stays; detection goes on with it.
  }
  return opened_;
}

const TUninstallRegistrations::Entry& TUninstallRegistrations::Details(std::size_t index) {
  Entry& entry = entries_.at(index);
  if (entry.detailsRead || !opened_) return entry;
  entry.detailsRead = true;
  static constexpr std::string_view kValues[] = {"InstallLocation", "UninstallString",
                                                 "DisplayIcon"};
  std::vector<port::RegValueData> values;
  if (registry_->RegGetValues(key_->CurrentKey(), entry.keyName, access_, kValues, &values) ==
          port::kErrorSuccess &&
      values.size() == std::size(kValues)) {
    entry.installLocation = StringOfValue(values[0]);
    entry.uninstallString = StringOfValue(values[1]);
    entry.displayIcon = StringOfValue(values[2]);
  }
  return entry;
}

// ---- TInstalledSoftwareManager

TInstalledSoftwareManager::TInstalledSoftwareManager(const TSoftwareContext& context,
                                                     const TSoftwareClassRegistry& classes)
    : context_(context), smallIcons_("SmallIcons", 16, 16), largeIcons_("LargeIcons", 32, 32) {
  context_.uninstall = nullptr;
  defaultImageIndex_ = LoadIconPair(kFallbackIconName, std::string(kFallbackIconEntry));

  // The Uninstall key is read once for all classes of this run.
  TUninstallRegistrations uninstall;
  TSoftwareContext detection = context_;
  detection.uninstall = &uninstall;

  TWideStringList found;
  for (const TSoftwareClass& softwareClass : classes.Classes()) {
    found.Clear();
    softwareClass.FindInstallations(detection, found);
    const std::string className(softwareClass.Name);
    for (int i = 0; i < found.Count(); ++i) {
      std::unique_ptr<TInstalledSoftware> item =
          softwareClass.Create(context_, found.ValueFromIndex(i), found.Names(i));
      item->FImageIndex = defaultImageIndex_;
      // All installations of one class share one icon pair, decoded once.
      int icon = largeIcons_.IndexOf(className);
      if (icon < 0) icon = LoadIconPair(softwareClass.GetIconResourceName(), className);
      if (icon >= 0) item->FImageIndex = icon;
      items_.push_back(std::move(item));
      itemClasses_.push_back(softwareClass.Name);
    }
  }
}

TInstalledSoftwareManager::~TInstalledSoftwareManager() = default;

TInstalledSoftware& TInstalledSoftwareManager::Items(int index) const {
  return *items_.at(static_cast<std::size_t>(index));
}

std::string_view TInstalledSoftwareManager::ClassNameOf(int index) const {
  return itemClasses_.at(static_cast<std::size_t>(index));
}

int TInstalledSoftwareManager::LoadIconPair(std::string_view resourceName,
                                            const std::string& entryName) {
  port::ISystem& system = context_.port.system;
  std::vector<std::uint32_t> large;
  if (!LoadPngResource(system, kSoftwareIcon32, resourceName, 32, 32, large)) return -1;
  std::vector<std::uint32_t> small;
  if (!LoadPngResource(system, kSoftwareIcon16, resourceName, 16, 16, small)) {
    // A class with only the 32-pixel image: the fallback's small image keeps the lists in step
    // (a transparent one while the fallback itself is being loaded).
    small = defaultImageIndex_ >= 0 ? smallIcons_.Entry(defaultImageIndex_).pixels
                                    : std::vector<std::uint32_t>(16 * 16, 0);
  }
  const int smallIndex = smallIcons_.Add(ui::ImageEntry{entryName, std::move(small)});
  const int largeIndex = largeIcons_.Add(ui::ImageEntry{entryName, std::move(large)});
  if (smallIndex != largeIndex) throw std::logic_error("icon lists out of step");
  return largeIndex;
}

}  // namespace ombrant
