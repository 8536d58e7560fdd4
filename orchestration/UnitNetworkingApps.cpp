#include "orchestration/UnitNetworkingApps.h"

#include <stdexcept>

#include "catalogue/kvrListViewHelpers.h"
#include "catalogue/kvrShortcutFiles.h"
#include "platform/kvrRegHives.h"
#include "platform/kvrRegistry.h"
#include "platform/vqNTStuff.h"
#include "platform/vqNetInfo.h"
#include "platform/vqSecurity.h"
#include "platform/vqStrings.h"
#include "resources/OmbrantStrings.h"
#include "ui/uiComboBox.h"
#include "ui/uiListView.h"

namespace ombrant {
namespace {

constexpr std::string_view kPassword = "wopa";
constexpr std::string_view kAccountComment = "Internet usage user";
constexpr std::uint32_t kAccountFlags = port::kUfNormalAccount | port::kUfDontExpirePasswd;
constexpr std::string_view kExcludedAccount = "ASPNET";
constexpr std::string_view kAdminLinkFolderToken = "<$ADMINLINKFOLDER>";
constexpr std::string_view kRunAsExecutable = "runas.exe";

// The readme of an originals folder, one entry per line.
constexpr std::string_view kReadmeLines[] = {
    "You have replaced your Internet application shortcuts on your",
    "desktop, in your start menu and in your quicklaunch area with",
    "shortcuts that allow you to run them safely through a limited",
    "user account.",
    "These shortcuts are copies of the original shortcuts that will",
    "allow you to run the linked applications without restricting",
    "them. Use this only for administrative tasks.",
    "",
    "This folder and readme file were created by Ombrant.",
    "Ombrant is a product of Kestrova Limited.",
    "Copyright (C) Kestrova Limited. All rights reserved.",
};

// Replaces each "%s" in turn by the next argument; a "%s" without an argument stays.
std::string FormatStr(std::string_view format, std::initializer_list<std::string_view> arguments) {
  std::string out;
  auto argument = arguments.begin();
  std::size_t pos = 0;
  for (std::size_t at = format.find("%s"); at != std::string_view::npos && argument != arguments.end();
       at = format.find("%s", pos)) {
    out += format.substr(pos, at - pos);
    out += *argument++;
    pos = at + 2;
  }
  out += format.substr(pos);
  return out;
}

// A resolved path is usable only when it names a drive or a share; an unresolved variable
// leaves a relative rest behind.
bool IsRootedPath(std::string_view path) {
  return (path.size() >= 3 && path[1] == ':' && path[2] == '\\') || path.starts_with("\\\\");
}

std::string WithBackslash(std::string path) {
  if (path.empty() || path.back() != '\\') path += '\\';
  return path;
}

// Closes a find handle when the scan ends, however it ends.
class FindGuard {
 public:
  FindGuard(port::IFileSystem& files, port::HFind find) : files_(files), find_(find) {}
  ~FindGuard() { (void)files_.FindClose(find_); }
  FindGuard(const FindGuard&) = delete;
  FindGuard& operator=(const FindGuard&) = delete;

 private:
  port::IFileSystem& files_;
  port::HFind find_;
};

// The names of the files (not folders) that match a mask, top level only, in scan order.
std::vector<std::string> ListFiles(port::IFileSystem& files, std::string_view mask) {
  std::vector<std::string> names;
  port::FindData data;
  port::HFind find = port::kInvalidFind;
  if (files.FindFirstFile(mask, &data, &find) != port::kErrorSuccess) return names;
  FindGuard guard(files, find);
  do {
    if ((data.attributes & port::kFileAttributeDirectory) == 0) names.push_back(data.name);
  } while (files.FindNextFile(find, &data) == port::kErrorSuccess);
  return names;
}

// Creates a folder with every missing parent; true when it exists afterwards.
bool ForceDirectories(port::IFileSystem& files, const std::string& folder) {
  std::string path = folder;
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  std::uint32_t attributes = 0;
  if (files.GetFileAttributes(path, &attributes) == port::kErrorSuccess) {
    return (attributes & port::kFileAttributeDirectory) != 0;
  }
  const std::size_t slash = path.rfind('\\');
  if (slash == std::string::npos || slash < 2) return false;
  if (!ForceDirectories(files, path.substr(0, slash + 1))) return false;
  const port::Status status = files.CreateDirectory(path);
  return status == port::kErrorSuccess || status == port::kErrorAlreadyExists;
}

std::string_view ValueName(TShortcutLocation location) {
  return kShortcutLocations[static_cast<std::size_t>(location)].registryValueName;
}

}  // namespace

std::string ResolveLocationPath(const TPathResolver& resolve, std::string_view pathTemplate) {
  std::string path = resolve(pathTemplate);
  const std::string_view folderName = LoadStr(sAdminLinkFolder);
  for (std::size_t pos = path.find(kAdminLinkFolderToken); pos != std::string::npos;
       pos = path.find(kAdminLinkFolderToken, pos + folderName.size())) {
    path.replace(pos, kAdminLinkFolderToken.size(), folderName);
  }
  return path;
}

std::string LocationFolder(const TPathResolver& resolve, TShortcutLocation location) {
  const std::string mask =
      ResolveLocationPath(resolve, kShortcutLocations[static_cast<std::size_t>(location)].mask);
  if (!IsRootedPath(mask)) return {};
  return mask.substr(0, mask.rfind('\\') + 1);
}

// ---- TShortcutSnapshots

TShortcutSnapshots::TShortcutSnapshots(port::Port& port, const TPathResolver& resolve,
                                       std::initializer_list<TShortcutLocation> locations) {
  for (int l = 0; l < static_cast<int>(FLinks.size()); ++l) {
    const auto location = static_cast<TShortcutLocation>(l);
    bool wanted = false;
    for (TShortcutLocation w : locations) wanted = wanted || w == location;
    if (!wanted) continue;
    const std::string folder = LocationFolder(resolve, location);
    if (folder.empty()) continue;
    const std::string mask = ResolveLocationPath(resolve, kShortcutLocations[l].mask);
    for (const std::string& name : ListFiles(port.files, mask)) {
      try {
        std::string target;
        if (ReadShortcutTarget(port, folder + name, target) && !target.empty()) {
          FLinks[l].push_back({name, target});
        }
      } catch (...) {
        // One unreadable link hides only itself.
      }
    }
  }
}

int TShortcutSnapshots::LinkCount(TShortcutLocation location) const {
  return static_cast<int>(FLinks.at(static_cast<std::size_t>(location)).size());
}

const std::string& TShortcutSnapshots::LinkName(TShortcutLocation location, int index) const {
  return FLinks.at(static_cast<std::size_t>(location)).at(static_cast<std::size_t>(index)).name;
}

const std::string& TShortcutSnapshots::LinkTarget(TShortcutLocation location, int index) const {
  return FLinks.at(static_cast<std::size_t>(location)).at(static_cast<std::size_t>(index)).target;
}

// ---- construction

TNetworkingApps::TNetworkingApps(port::Port& port, const TSoftwareClassRegistry& classes)
    : FPort(&port), FProfileFunctions(std::make_unique<TUserProfileFunctions>(port.accounts)) {
  FPathSolver = std::make_unique<TPathSolver>(port);
  FPathSolver->AddOfflineSystemPaths();
  const TNTStuff nt(port.system);
  FContext = std::make_unique<TSoftwareContext>(TSoftwareContext{port, *FPathSolver, nt.IsWow64()});
  FResolvePath = [solver = FPathSolver.get()](std::string_view pathTemplate) {
    return solver->ResolvePath(pathTemplate);
  };
  FManager = std::make_unique<TInstalledSoftwareManager>(*FContext, classes);
  FInternetUser = Settings().ReadInternetUser();
}

TNetworkingApps::TNetworkingApps() = default;

TNetworkingApps::~TNetworkingApps() = default;

void TNetworkingApps::ShowError(std::string_view text) {
  FPort->ui.MessageBox(0, text, kApplicationTitle, port::kMbOk | port::kMbIconError);
}

bool TNetworkingApps::FileExists(std::string_view path) const {
  std::uint32_t attributes = 0;
  return FPort->files.GetFileAttributes(path, &attributes) == port::kErrorSuccess &&
         (attributes & port::kFileAttributeDirectory) == 0;
}

bool TNetworkingApps::IsWow64() const {
  bool wow64 = false;
  return FPort->system.IsWow64Process(port::kCurrentProcess, &wow64) == port::kErrorSuccess &&
         wow64;
}

// ---- accounts

void TNetworkingApps::SetAccountList(ui::ComboBox* combo) {
  FAccountList = combo;
  if (combo != nullptr) FillAccountList(*combo);
}

void TNetworkingApps::RefreshAccountList() {
  if (FAccountList != nullptr) FillAccountList(*FAccountList);
}

void TNetworkingApps::FillAccountList(ui::ComboBox& combo) {
  combo.Clear();
  TUserList users(FPort->accounts, false);
  (void)users.Refresh({port::kUserPrivUser});
  for (int i = 0; i < users.Count(); ++i) {
    const TUserRecord user = users.Items(i);
    if (user.UserName != kExcludedAccount) combo.AddItem(user.UserName, 0);
  }
  int selected = -1;
  for (int i = 0; i < combo.ItemCount() && selected < 0; ++i) {
    if (SameText(combo.Item(i).text, FInternetUser)) selected = i;
  }
  combo.SetItemIndex(selected);
}

bool TNetworkingApps::CreateRestrictedUser(const std::string& name) {
  port::UserInfo1 info;
  info.name = name;
  info.password = std::string(kPassword);
  info.passwordAge = 0;
  info.priv = port::kUserPrivUser;
  info.comment = std::string(kAccountComment);
  info.flags = kAccountFlags;
  const port::Status status = FPort->accounts.NetUserAdd("", info, nullptr);
  switch (status) {
    case port::kErrorSuccess:
      break;
    case port::kErrorAccessDenied:
      ShowError("Access denied!");
      return false;
    case port::kNerrUserExists:
      ShowError(
          "Come on, that guy already exists (if he's not shown in the list that's because he "
          "has too much rights)!");
      return false;
    case port::kNerrNotPrimary:
      ShowError(
          "This is only allowed on the primary domain controller. This tool is probably not "
          "designed for your environmnt.");
      return false;
    case port::kNerrPasswordTooShort:
      ShowError("Password too short. Come on, we want to make it more secure, not less!");
      return false;
    case port::kNerrInvalidComputer:
      ShowError(
          "The specified computer is invalid. In this case, it means you just imagine your "
          "computer.");
      return false;
    default:
      // Any other refusal (a name Windows does not accept, ...) is still a failure the
      // administrator must see; the system says why.
      ShowError("The user account " + name + " could not be created: " +
                SysErrorMessage(FPort->security, status) + ".");
      return false;
  }

  RecordCreatedUser(name);
  PrepareUserEnvironment(name);
  FPort->ui.MessageBox(0,
                       "Your newly created Internet user has the password \"wopa\", which you "
                       "need to enter only once. You can change that password in your System "
                       "Control Panel if you like.",
                       kApplicationTitle, port::kMbOk | port::kMbIconInformation);
  SetInternetUser(name);
  if (FAccountList == nullptr) return true;

  FAccountList->SetItemIndex(FAccountList->AddItem(name, 0));
  std::string group;
  try {
    group = GetUsersGroupName(FPort->security);
  } catch (const std::exception&) {
    group.clear();  // no group name: the call below reports the group as not found
  }
  if (FPort->accounts.NetLocalGroupAddMembers("", group, {name}) == port::kNerrGroupNotFound) {
    ShowError("Group not found. Maybe this application is not fully localized.");
  }
  // The logon screen reads the native view; a 32-bit program must ask for it.
  (void)WriteRegistryInteger(FPort->registry, port::kHKeyLocalMachine,
                             LoadStr(sHiddenAccountsKey), name, IsWow64() ? 64 : 32, 0);
  return true;
}

void TNetworkingApps::RecordCreatedUser(const std::string& name) {
  const TOmbrantSettings settings = Settings();
  TStringList users = settings.ReadCreatedUsers();
  if (users.IndexOf(name) >= 0) return;
  users.Add(name);
  (void)settings.WriteCreatedUsers(users);
}

void TNetworkingApps::PrepareUserEnvironment(const std::string& name) {
  // Declared in release order reversed: the key closes, then the profile unloads, then the
  // token is closed.
  TLogonToken token(FPort->accounts);
  if (!token.Logon(name, "", kPassword, port::kLogon32LogonInteractive,
                   port::kLogon32ProviderDefault)) {
    return;
  }
  TLoadedUserProfile profile(*FProfileFunctions, token.Get());
  try {
    if (!profile.Load(name)) return;
  } catch (const EProfileFunctionError&) {
    return;
  }
  try {
    TMyRegistry hive(FPort->registry);
    hive.SetRootKey(profile.Info().profile);
    if (!hive.OpenKey("\\Environment\\", true) || hive.ValueExists("APPDATA")) return;
    std::string appData = FResolvePath("<$APPDATA>");
    while (!appData.empty() && appData.back() == '\\') appData.pop_back();
    if (!IsRootedPath(appData)) return;  // nothing sensible to point the account at
    const std::string element = appData.substr(appData.rfind('\\') + 1);
    hive.WriteExpandString("APPDATA", "%USERPROFILE%\\" + element);
  } catch (const ERegistryException&) {
    // The migration creates the profile later without this fix.
  }
}

void TNetworkingApps::SetInternetUser(const std::string& name) {
  FInternetUser = name;
  (void)Settings().WriteInternetUser(name);
  RefreshApplicationList();
}

// ---- application lists

void TNetworkingApps::SetApplicationView(ui::ListView* view) {
  FApplicationView = view;
  if (view == nullptr) return;
  PrepareListView(view, true);
  FillApplicationList(view, true);
}

void TNetworkingApps::FillMigrationList(ui::ListView* view) {
  FMigrationView = view;
  if (view == nullptr || !FManager) return;
  PrepareListView(view, false);
  FillApplicationList(view, false);
  SetMigrationStatuses(*FPort, *view, *FManager, FInternetUser);
  for (int i = 0; i < Count() && i < view->ItemCount(); ++i) {
    if (!Manager().Items(i).InstalledForOneAccount()) continue;
    const std::string status = view->ColumnText(i, 1);
    view->SetSubItem(i, 0, status + " - " + std::string(kInstalledForOneAccountNote));
  }
}

bool TNetworkingApps::InstalledForOneAccount(int index) const {
  return FManager && index >= 0 && index < Count() &&
         Manager().Items(index).InstalledForOneAccount();
}

ui::ImageList* TNetworkingApps::SmallImages() {
  return FManager ? &FManager->SmallIcons() : nullptr;
}

ui::ImageList* TNetworkingApps::LargeImages() {
  return FManager ? &FManager->LargeIcons() : nullptr;
}

void TNetworkingApps::PrepareListView(ui::ListView* view, bool tiles) {
  if (view == nullptr) return;
  EnableListViewGroups(*view, true);
  SetListViewMode(*view, tiles ? 4 : 3);
  SetTileViewLines(*view, 1);
  for (int id = 0; id < static_cast<int>(SoftwareCategoryNames.size()); ++id) {
    AddListViewGroup(*view, std::string(SoftwareCategoryNames[static_cast<std::size_t>(id)]), id);
  }
}

void TNetworkingApps::FillApplicationList(ui::ListView* view, bool tiles) {
  if (view == nullptr) return;
  ui::UpdateGuard update(*view);
  view->ClearItems();
  for (int i = 0; i < Count(); ++i) {
    const TInstalledSoftware& app = Manager().Items(i);
    const int item = view->AddItem(app.DisplayName(), app.ImageIndex());
    view->AddSubItem(item, app.Executable());
    SetItemGroup(*view, item, app.Category());
    if (tiles) {
      const int columns[] = {1};
      SetItemTileColumns(*view, item, 1, columns);
    }
  }
}

void TNetworkingApps::RefreshApplicationList() { FillApplicationList(FApplicationView, true); }

// ---- the catalogue

TInstalledSoftwareManager& TNetworkingApps::Manager() const {
  if (!FManager) throw std::logic_error("TNetworkingApps: no catalogue");
  return *FManager;
}

int TNetworkingApps::Count() const { return FManager ? FManager->Count() : 0; }

bool TNetworkingApps::Active(int index) const { return Manager().Items(index).Active(); }

void TNetworkingApps::SetActive(int index, bool active) { Manager().Items(index).SetActive(active); }

// ---- shortcuts

std::string TNetworkingApps::ImpersonatedLinkName(const TInstalledSoftware& app) const {
  // Both names are read from the registry: neither may lead the file out of its folder.
  return SafeFileName(
             FormatStr(LoadStr(sImpersonatedLinkName), {app.DisplayName(), FInternetUser})) +
         ".lnk";
}

void TNetworkingApps::ReplaceAllShortcuts() {
  for (TShortcutLocation location : kReplacedLocations) ReplaceShortcuts(location);
}

void TNetworkingApps::ReplaceShortcuts(TShortcutLocation location) {
  const TShortcutLocationInfo& info = kShortcutLocations[static_cast<std::size_t>(location)];
  if (info.originalsFolder.empty()) return;  // the start menu's top level stays as it is
  const std::string shortcuts = LocationFolder(FResolvePath, location);
  const std::string originals = ResolveLocationPath(FResolvePath, info.originalsFolder);
  const std::string impersonated = ResolveLocationPath(FResolvePath, info.impersonatedFolder);
  if (shortcuts.empty() || !IsRootedPath(originals) || !IsRootedPath(impersonated)) return;

  if (ForceDirectories(FPort->files, originals)) WriteReadme(originals);
  const TShortcutSnapshots snapshot(*FPort, FResolvePath, {location});
  const int links = snapshot.LinkCount(location);

  for (int a = 0; a < Count(); ++a) {
    const TInstalledSoftware& app = Manager().Items(a);
    if (!app.Active() || app.InstalledForOneAccount()) continue;
    for (int j = 0; j < links; ++j) {
      if (!SameText(snapshot.LinkTarget(location, j), app.Executable())) continue;
      try {
        const std::string source = shortcuts + snapshot.LinkName(location, j);
        const std::string copy = originals + snapshot.LinkName(location, j);
        if (!FileExists(copy)) (void)FPort->files.CopyFile(source, copy, true);
        if (IsRecreatedOriginalLink(source, location)) continue;
        // Without its copy an original would be gone for good: it stays where it is.
        if (!FileExists(copy)) continue;
        if (FPort->files.DeleteFile(source) == port::kErrorSuccess) {
          RecordRemovedOriginalLink(source, snapshot.LinkTarget(location, j), location);
        }
      } catch (...) {
        // One original that cannot be handled does not stop the others.
      }
    }
  }

  for (int a = 0; a < Count(); ++a) {
    TInstalledSoftware& app = Manager().Items(a);
    if (!app.Active() || app.InstalledForOneAccount()) continue;
    bool matched = false;
    for (int j = 0; j < links && !matched; ++j) {
      matched = SameText(snapshot.LinkTarget(location, j), app.Executable());
    }
    // The snapshot still counts the originals just moved away.
    if (matched) app.CreateRestrictedShortcut(impersonated + ImpersonatedLinkName(app), FInternetUser);
  }
}

void TNetworkingApps::WriteReadme(const std::string& folder) {
  const std::string file = WithBackslash(folder) + std::string(LoadStr(sReadmeFileName));
  std::uint32_t attributes = 0;
  if (FPort->files.GetFileAttributes(file, &attributes) == port::kErrorSuccess) return;
  std::string text;
  for (std::string_view line : kReadmeLines) {
    text += line;
    text += "\r\n";
  }
  (void)FPort->files.WriteWholeFile(file, text);
}

void TNetworkingApps::MigrateSelectedApplications(const TMigrationProgress& progress) {
  (void)ombrant::MigrateSelectedApplications(*FPort, Manager(), FInternetUser, progress);
}

bool TNetworkingApps::HasShortcut(int index, TShortcutLocation location, bool originalForm) {
  const TInstalledSoftware& app = Manager().Items(index);
  const std::string folder = LocationFolder(FResolvePath, location);
  const TShortcutSnapshots snapshot(*FPort, FResolvePath, {location});
  const std::string arguments = originalForm ? std::string() : app.RunAsArguments(FInternetUser);
  for (int j = 0; j < snapshot.LinkCount(location); ++j) {
    const std::string& target = snapshot.LinkTarget(location, j);
    if (originalForm) {
      if (SameText(target, app.Executable())) return true;
      continue;
    }
    if (target.size() < kRunAsExecutable.size() ||
        !SameText(std::string_view(target).substr(target.size() - kRunAsExecutable.size()),
                  kRunAsExecutable)) {
      continue;
    }
    std::string linkTarget;
    std::string linkArguments;
    if (ReadShortcutTargetAndArguments(*FPort, folder + snapshot.LinkName(location, j),
                                       linkTarget, linkArguments) &&
        SameText(linkArguments, arguments)) {
      return true;
    }
  }
  return false;
}

void TNetworkingApps::SetShortcut(int index, TShortcutLocation location, bool originalForm,
                                  bool present) {
  TInstalledSoftware& app = Manager().Items(index);
  const std::string folder = LocationFolder(FResolvePath, location);
  if (folder.empty()) return;
  if (originalForm) {
    const std::string path = folder + SafeFileName(app.DisplayName()) + ".lnk";
    if (present) {
      app.CreateDirectShortcut(path);
      RecordRecreatedOriginalLink(path, location);
    } else {
      (void)FPort->files.DeleteFile(path);
      ForgetRecreatedOriginalLink(path, location);
    }
    return;
  }
  const std::string path = folder + ImpersonatedLinkName(app);
  // The restricted account cannot start a program inside the administrator's profile.
  if (present && app.InstalledForOneAccount()) return;
  if (present) {
    app.CreateRestrictedShortcut(path, FInternetUser);
  } else {
    (void)FPort->files.DeleteFile(path);
  }
}

bool TNetworkingApps::IsRecreatedOriginalLink(const std::string& path,
                                              TShortcutLocation location) {
  return Settings().ReadLinkList(kRecreatedOriginalLinksKey, ValueName(location)).IndexOf(path) >=
         0;
}

void TNetworkingApps::RecordRecreatedOriginalLink(const std::string& path,
                                                  TShortcutLocation location) {
  const TOmbrantSettings settings = Settings();
  TStringList list = settings.ReadLinkList(kRecreatedOriginalLinksKey, ValueName(location));
  if (list.IndexOf(path) >= 0) return;
  list.Add(path);
  (void)settings.WriteLinkList(kRecreatedOriginalLinksKey, ValueName(location), list);
}

void TNetworkingApps::ForgetRecreatedOriginalLink(const std::string& path,
                                                  TShortcutLocation location) {
  const TOmbrantSettings settings = Settings();
  TStringList list = settings.ReadLinkList(kRecreatedOriginalLinksKey, ValueName(location));
  const int index = list.IndexOf(path);
  if (index < 0) return;
  list.Delete(index);
  (void)settings.WriteLinkList(kRecreatedOriginalLinksKey, ValueName(location), list);
}

void TNetworkingApps::RecordRemovedOriginalLink(const std::string& path, const std::string& target,
                                                TShortcutLocation location) {
  const TOmbrantSettings settings = Settings();
  TStringList list = settings.ReadLinkList(kRemovedOriginalLinksKey, ValueName(location));
  const std::string line = path + "=" + target;
  if (list.IndexOf(line) >= 0) return;
  list.Add(line);
  (void)settings.WriteLinkList(kRemovedOriginalLinksKey, ValueName(location), list);
}

// ---- uninstall

void TNetworkingApps::RemoveCreatedUsers() {
  const TStringList users = Settings().ReadCreatedUsers();
  for (const std::string& name : users) {
    const int answer = FPort->ui.MessageBox(
        0, FormatStr("Do you want to remove the user account %s?", {name}), kApplicationTitle,
        port::kMbYesNo | port::kMbIconQuestion);
    if (answer == port::kIdYes) (void)FPort->accounts.NetUserDel("", name);
  }
}

void TNetworkingApps::RestoreAllOriginalLinks() {
  for (TShortcutLocation location : kReplacedLocations) RestoreOriginalLinks(location);
}

void TNetworkingApps::RestoreOriginalLinks(TShortcutLocation location) {
  const TOmbrantSettings settings = Settings();
  TStringList list = settings.ReadLinkList(kRemovedOriginalLinksKey, ValueName(location));
  if (list.Empty()) return;
  for (int i = list.Count() - 1; i >= 0; --i) {
    try {
      const std::string line = list[i];
      const std::size_t equals = line.find('=');
      const std::string path = line.substr(0, equals);
      const std::string target = equals == std::string::npos ? std::string() : line.substr(equals + 1);
      WriteShortcut(*FPort, path, target, target, "", "", 0);
      list.Delete(i);
    } catch (...) {
      // The line stays recorded for a later attempt.
    }
  }
  (void)settings.WriteLinkList(kRemovedOriginalLinksKey, ValueName(location), list);
}

}  // namespace ombrant
