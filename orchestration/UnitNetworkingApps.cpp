#include "orchestration/UnitNetworkingApps.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "catalogue/kvrListViewHelpers.h"
#include "catalogue/kvrShortcutFiles.h"
#include "platform/vqFileSys.h"
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


// The names of the files (not folders) that match a mask, top level only, in scan order.
std::vector<std::string> ListFiles(port::IFileSystem& files, std::string_view mask) {
  std::vector<std::string> names;
  port::FindData data;
  port::HFind find = port::kInvalidFind;
  if (files.FindFirstFile(mask, &data, &find) != port::kErrorSuccess) return names;
  TFindGuard guard(files, find);
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

// How far the free names of a copy go ("NAME (2).lnk" ... ); beyond, the original stays.
constexpr int kMaxCopyNumber = 999;

// "NAME.lnk" for 1, "NAME (N).lnk" from 2 on.
std::string NumberedName(const std::string& name, int number) {
  if (number <= 1) return name;
  std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || name.find('\\', dot) != std::string::npos) dot = name.size();
  return name.substr(0, dot) + " (" + std::to_string(number) + ")" + name.substr(dot);
}

// A recorded line is the ".lnk" path, "=" and the target; a file name may hold "=" itself.
std::pair<std::string, std::string> SplitRemovedLine(const std::string& line) {
  const std::string upper = UpperCase(line);
  std::size_t at = upper.rfind(".LNK=");
  if (at != std::string::npos) {
    at += 4;
  } else {
    at = line.find('=');
    if (at == std::string::npos) return {line, {}};
  }
  return {line.substr(0, at), line.substr(at + 1)};
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

std::string LocationMask(const TPathResolver& resolve, TShortcutLocation location) {
  std::string mask =
      ResolveLocationPath(resolve, kShortcutLocations[static_cast<std::size_t>(location)].mask);
  if (!IsRootedPath(mask)) return {};
  return mask;
}

std::string LocationFolder(const TPathResolver& resolve, TShortcutLocation location) {
  const std::string mask = LocationMask(resolve, location);
  if (mask.empty()) return {};
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
  FShortcutFolders = std::make_unique<TShortcutFolders>(port);
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
    // A disabled account cannot log on: the migration would fail with error 1331.
    if (user.UserName == kExcludedAccount || (user.Flags & port::kUfAccountDisable) != 0) continue;
    combo.AddItem(user.UserName, 0);
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
  DenyRemoteLogon(name);
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

port::Status TNetworkingApps::AccountSid(const std::string& name, port::Sid* sid) const {
  std::string domain;
  std::uint32_t use = 0;
  return FPort->security.LookupAccountName("", name, sid, &domain, &use);
}

void TNetworkingApps::DenyRemoteLogon(const std::string& name) {
  // Everyone who knows the program knows the password: the account opens only at this
  // machine (runas, the migration's logon), never from the network or by remote desktop.
  port::Sid sid;
  port::Status status = AccountSid(name, &sid);
  if (status == port::kErrorSuccess) {
    status = AddAccountRights(
        FPort->accounts, sid,
        {std::string(port::kSeDenyNetworkLogonRight),
         std::string(port::kSeDenyRemoteInteractiveLogonRight)});
  }
  if (status == port::kErrorSuccess) return;
  ShowError("The user account " + name +
            " could not be denied logon from the network and by remote desktop: " +
            SysErrorMessage(FPort->security, status) +
            ". Anyone who knows its password may use it from another computer; deny it these "
            "rights in the local security policy.");
}

std::string TNetworkingApps::EnvironmentAppData() const {
  std::string appData = FResolvePath("<$APPDATA>");
  while (!appData.empty() && appData.back() == '\\') appData.pop_back();
  if (!IsRootedPath(appData)) return {};
  // Relative to the profile where it lies there: "AppData\Roaming" from Vista on.
  std::string profile = FResolvePath("<$PROFILE>");
  while (!profile.empty() && profile.back() == '\\') profile.pop_back();
  if (IsRootedPath(profile) && appData.size() > profile.size() + 1 &&
      appData[profile.size()] == '\\' &&
      SameText(std::string_view(appData).substr(0, profile.size()), profile)) {
    return "%USERPROFILE%\\" + appData.substr(profile.size() + 1);
  }
  return "%USERPROFILE%\\" + appData.substr(appData.rfind('\\') + 1);
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
    const std::string appData = EnvironmentAppData();
    if (appData.empty()) return;  // nothing sensible to point the account at
    hive.WriteExpandString("APPDATA", appData);
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
    TInstalledSoftware& app = Manager().Items(a);
    // A program inside the administrator's profile cannot run under the restricted account.
    if (!app.Active() || app.InstalledForOneAccount()) continue;
    // Copies first: the impersonated shortcut may take a name an original has.
    std::vector<std::pair<int, bool>> matches;  // snapshot line, an identical copy is stored
    for (int j = 0; j < links; ++j) {
      if (!SameText(snapshot.LinkTarget(location, j), app.Executable())) continue;
      bool stored = false;
      try {
        stored = !StoreOriginalCopy(shortcuts + snapshot.LinkName(location, j), originals,
                                    snapshot.LinkName(location, j))
                      .empty();
      } catch (...) {
        stored = false;
      }
      matches.emplace_back(j, stored);
    }
    if (matches.empty()) continue;
    // A new profile may lack its quick-launch or Programs folder; the replacement needs it.
    (void)ForceDirectories(FPort->files, impersonated);
    // The snapshot still counts the originals moved away below.
    const std::string replacement = impersonated + ImpersonatedLinkName(app);
    app.CreateRestrictedShortcut(replacement, FInternetUser);
    // Without its replacement an original is the administrator's only way to the program.
    if (!FileExists(replacement)) continue;
    for (const auto& [j, stored] : matches) {
      if (!stored) continue;  // without its copy an original would be gone for good
      try {
        const std::string source = shortcuts + snapshot.LinkName(location, j);
        if (SameText(source, replacement) || IsRecreatedOriginalLink(source, location)) continue;
        (void)RemoveOriginal(source, snapshot.LinkTarget(location, j), location);
      } catch (...) {
        // One original that cannot be handled does not stop the others.
      }
    }
  }
}

std::string TNetworkingApps::StoreOriginalCopy(const std::string& source,
                                               const std::string& originals,
                                               const std::string& name) {
  std::string bytes;
  if (FPort->files.ReadWholeFile(source, &bytes) != port::kErrorSuccess) return {};
  const std::string folder = WithBackslash(originals);
  for (int number = 1; number <= kMaxCopyNumber; ++number) {
    const std::string candidate = folder + NumberedName(name, number);
    std::string existing;
    const port::Status status = FPort->files.ReadWholeFile(candidate, &existing);
    if (status == port::kErrorSuccess) {
      if (existing == bytes) return candidate;
      continue;  // another file of that name: it is not a copy of this one
    }
    if (status != port::kErrorFileNotFound) {
      if (FileExists(candidate)) continue;  // there, but unreadable
      return {};                            // the folder is not there
    }
    if (FPort->files.CopyFile(source, candidate, true) != port::kErrorSuccess) return {};
    // Only a copy read back equal counts.
    existing.clear();
    if (FPort->files.ReadWholeFile(candidate, &existing) != port::kErrorSuccess ||
        existing != bytes) {
      return {};
    }
    return candidate;
  }
  return {};
}

bool TNetworkingApps::RemoveOriginal(const std::string& source, const std::string& target,
                                     TShortcutLocation location) {
  // The record comes first: an original deleted without it could not be put back.
  if (!RecordRemovedOriginalLink(source, target, location)) return false;
  if (FPort->files.DeleteFile(source) == port::kErrorSuccess) return true;
  ForgetRemovedOriginalLink(source, target, location);
  return false;
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
  const std::string mask = LocationMask(FResolvePath, location);
  if (mask.empty()) return false;
  const std::string arguments = originalForm ? std::string() : app.RunAsArguments(FInternetUser);
  for (const TShortcutFolders::TLink& link : FShortcutFolders->Links(mask)) {
    const std::string& target = link.target;
    if (originalForm) {
      if (SameText(target, app.Executable())) return true;
      continue;
    }
    if (target.size() < kRunAsExecutable.size() ||
        !SameText(std::string_view(target).substr(target.size() - kRunAsExecutable.size()),
                  kRunAsExecutable)) {
      continue;
    }
    if (link.arguments && SameText(*link.arguments, arguments)) return true;
  }
  return false;
}

bool TNetworkingApps::ReadShortcutsAhead(std::size_t budget) {
  if (!FShortcutFolders) return false;
  for (; FReadAheadLocation < kShortcutBoxLocations.size(); ++FReadAheadLocation) {
    const std::string mask = LocationMask(FResolvePath, kShortcutBoxLocations[FReadAheadLocation]);
    if (!mask.empty() && FShortcutFolders->ReadAhead(mask, budget)) return true;
  }
  FReadAheadLocation = 0;
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
      RemoveOriginalFormLinks(app, location, path);
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

bool TNetworkingApps::RecordRemovedOriginalLink(const std::string& path, const std::string& target,
                                                TShortcutLocation location) {
  const TOmbrantSettings settings = Settings();
  TStringList list = settings.ReadLinkList(kRemovedOriginalLinksKey, ValueName(location));
  const std::string line = path + "=" + target;
  if (list.IndexOf(line) < 0) {
    list.Add(line);
    (void)settings.WriteLinkList(kRemovedOriginalLinksKey, ValueName(location), list);
  }
  // Only a line that reads back is a record uninstall can rely on.
  return settings.ReadLinkList(kRemovedOriginalLinksKey, ValueName(location)).IndexOf(line) >= 0;
}

void TNetworkingApps::ForgetRemovedOriginalLink(const std::string& path, const std::string& target,
                                                TShortcutLocation location) {
  const TOmbrantSettings settings = Settings();
  TStringList list = settings.ReadLinkList(kRemovedOriginalLinksKey, ValueName(location));
  const int index = list.IndexOf(path + "=" + target);
  if (index < 0) return;
  list.Delete(index);
  (void)settings.WriteLinkList(kRemovedOriginalLinksKey, ValueName(location), list);
}

void TNetworkingApps::RemoveOriginalFormLinks(const TInstalledSoftware& app,
                                              TShortcutLocation location,
                                              const std::string& ownLink) {
  const std::string folder = LocationFolder(FResolvePath, location);
  const std::string originals = ResolveLocationPath(
      FResolvePath, kShortcutLocations[static_cast<std::size_t>(location)].originalsFolder);
  const bool made = IsRecreatedOriginalLink(ownLink, location);
  const TShortcutSnapshots snapshot(*FPort, FResolvePath, {location});
  for (int j = 0; j < snapshot.LinkCount(location); ++j) {
    if (!SameText(snapshot.LinkTarget(location, j), app.Executable())) continue;
    const std::string path = folder + snapshot.LinkName(location, j);
    if (made && SameText(path, ownLink)) {
      (void)FPort->files.DeleteFile(path);  // the program's own link
      continue;
    }
    // The administrator's own link is moved aside as a replacement moves it, never deleted
    // without a copy.
    if (!IsRootedPath(originals) || !ForceDirectories(FPort->files, originals)) continue;
    WriteReadme(originals);
    if (StoreOriginalCopy(path, originals, snapshot.LinkName(location, j)).empty()) continue;
    (void)RemoveOriginal(path, snapshot.LinkTarget(location, j), location);
  }
}

// ---- uninstall

void TNetworkingApps::RemoveCreatedUsers() {
  const TOmbrantSettings settings = Settings();
  const TStringList users = settings.ReadCreatedUsers();
  TStringList remaining = settings.ReadCreatedUsers();
  bool currentGone = false;
  for (const std::string& name : users) {
    const int answer = FPort->ui.MessageBox(
        0, FormatStr("Do you want to remove the user account %s?", {name}), kApplicationTitle,
        port::kMbYesNo | port::kMbIconQuestion);
    if (answer != port::kIdYes) continue;
    // Its SID before it goes: the policy keeps the rights of a deleted account's SID.
    port::Sid sid;
    const bool haveSid = AccountSid(name, &sid) == port::kErrorSuccess;
    const port::Status status = FPort->accounts.NetUserDel("", name);
    if (status != port::kErrorSuccess && status != port::kNerrUserNotFound) {
      ShowError("The user account " + name + " could not be removed: " +
                SysErrorMessage(FPort->security, status) + ".");
      continue;
    }
    // Gone: a later account of that name is not the program's to delete.
    if (const int index = remaining.IndexOf(name); index >= 0) remaining.Delete(index);
    if (SameText(name, FInternetUser)) currentGone = true;
    if (status != port::kErrorSuccess || !haveSid) continue;
    if (const port::Status rights = RemoveAllAccountRights(FPort->accounts, sid);
        rights != port::kErrorSuccess) {
      ShowError("The logon rights of the removed user account " + name +
                " could not be taken away: " + SysErrorMessage(FPort->security, rights) + ".");
    }
  }
  if (remaining.Count() != users.Count()) (void)settings.WriteCreatedUsers(remaining);
  if (currentGone) {
    FInternetUser.clear();
    (void)settings.ClearInternetUser();
  }
}

void TNetworkingApps::RestoreAllOriginalLinks() {
  std::vector<std::string> kept;
  std::vector<std::string> used;
  for (TShortcutLocation location : kReplacedLocations) RestoreOriginalLinks(location, kept, used);
  ReportKeptOriginalLinks(kept);
}

void TNetworkingApps::RestoreOriginalLinks(TShortcutLocation location) {
  std::vector<std::string> kept;
  std::vector<std::string> used;
  RestoreOriginalLinks(location, kept, used);
  ReportKeptOriginalLinks(kept);
}

void TNetworkingApps::ReportKeptOriginalLinks(const std::vector<std::string>& kept) {
  if (kept.empty()) return;
  std::string text =
      "These original shortcuts were not restored, because another file has taken their place "
      "or it could not be written. They stay recorded, and their copies stay in the \"" +
      std::string(LoadStr(sAdminLinkFolder)) + "\" folders:\r\n";
  for (const std::string& path : kept) text += "\r\n" + path;
  FPort->ui.MessageBox(0, text, kApplicationTitle, port::kMbOk | port::kMbIconWarning);
}

std::string TNetworkingApps::FindOriginalCopy(const std::string& originals,
                                              const std::string& name, const std::string& target,
                                              const std::vector<std::string>& used) {
  const std::string folder = WithBackslash(originals);
  const std::size_t dot = name.rfind('.');
  const std::string base = dot == std::string::npos ? name : name.substr(0, dot);
  const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
  // The copy of that name first, then the numbered ones in the order they were made.
  std::vector<std::pair<int, std::string>> candidates;
  for (const std::string& file : ListFiles(FPort->files, folder + "*")) {
    int number = 0;
    if (SameText(file, name)) {
      number = 1;
    } else if (file.size() >= base.size() + extension.size() + 4 &&
               SameText(std::string_view(file).substr(0, base.size() + 2), base + " (") &&
               SameText(std::string_view(file).substr(file.size() - extension.size() - 1),
                        ")" + extension)) {
      const std::string digits =
          file.substr(base.size() + 2, file.size() - base.size() - extension.size() - 3);
      if (digits.empty() || digits.size() > 4 ||
          digits.find_first_not_of("0123456789") != std::string::npos) {
        continue;
      }
      number = std::stoi(digits);
      if (number < 2) continue;
    } else {
      continue;
    }
    candidates.emplace_back(number, folder + file);
  }
  std::sort(candidates.begin(), candidates.end());
  std::string unused;
  std::string any;
  for (const auto& [number, path] : candidates) {
    std::string linkTarget;
    if (!ReadShortcutTarget(*FPort, path, linkTarget) || !SameText(linkTarget, target)) continue;
    if (any.empty()) any = path;
    const bool taken = std::any_of(used.begin(), used.end(),
                                   [&](const std::string& u) { return SameText(u, path); });
    if (!taken && unused.empty()) unused = path;
  }
  return unused.empty() ? any : unused;
}

void TNetworkingApps::RestoreOriginalLinks(TShortcutLocation location,
                                           std::vector<std::string>& kept,
                                           std::vector<std::string>& used) {
  const TOmbrantSettings settings = Settings();
  TStringList list = settings.ReadLinkList(kRemovedOriginalLinksKey, ValueName(location));
  if (list.Empty()) return;
  const std::string originals = ResolveLocationPath(
      FResolvePath, kShortcutLocations[static_cast<std::size_t>(location)].originalsFolder);
  const int before = list.Count();
  for (int i = list.Count() - 1; i >= 0; --i) {
    try {
      const auto [path, target] = SplitRemovedLine(list[i]);
      const std::string name = path.substr(path.rfind('\\') + 1);
      const std::string copy =
          IsRootedPath(originals) ? FindOriginalCopy(originals, name, target, used) : std::string();
      std::string copyBytes;
      if (!copy.empty() && FPort->files.ReadWholeFile(copy, &copyBytes) != port::kErrorSuccess) {
        copyBytes.clear();
      }
      std::uint32_t attributes = 0;
      if (FPort->files.GetFileAttributes(path, &attributes) == port::kErrorSuccess) {
        std::string present;
        if (!copy.empty() && FPort->files.ReadWholeFile(path, &present) == port::kErrorSuccess &&
            present == copyBytes) {
          used.push_back(copy);
          list.Delete(i);  // back already
        } else {
          kept.push_back(path);  // never overwritten: it is someone's file
        }
        continue;
      }
      if (!copy.empty()) {
        // The copy is the original itself: arguments, icon and hot key come back with it.
        std::string restored;
        if (FPort->files.CopyFile(copy, path, true) == port::kErrorSuccess &&
            FPort->files.ReadWholeFile(path, &restored) == port::kErrorSuccess &&
            restored == copyBytes) {
          used.push_back(copy);
          list.Delete(i);
        } else {
          kept.push_back(path);
        }
        continue;
      }
      WriteShortcut(*FPort, path, target, target, "", "", 0);
      if (FileExists(path)) {
        list.Delete(i);
      } else {
        kept.push_back(path);
      }
    } catch (...) {
      // The line stays recorded for a later attempt.
    }
  }
  if (list.Count() != before) {
    (void)settings.WriteLinkList(kRemovedOriginalLinksKey, ValueName(location), list);
  }
}

}  // namespace ombrant
