#include "platform/sim/simAccounts.h"

#include <algorithm>
#include <cstdio>

#include "platform/sim/simRegistry.h"
#include "platform/sim/simSddl.h"
#include "platform/sim/simSecurity.h"
#include "platform/sim/simShell.h"

namespace ombrant::sim {
namespace {

using port::Status;

constexpr std::uint32_t kUserPrivParmNum = 5;  // parm_err of a bad usri1_priv
constexpr std::size_t kMaxUserNameLength = 20;

const SimBuiltinGroup kAdministrators{"Administrators", "Administratoren", 544};
const SimBuiltinGroup kUsers{"Users", "Benutzer", 545};
const SimBuiltinGroup kGuests{"Guests", "Gäste", 546};
const SimBuiltinGroup kPowerUsers{"Power Users", "Hauptbenutzer", 547};

constexpr std::string_view kRefusableCalls[] = {"delete", "logon", "rights"};
constexpr Status kRpcServerUnavailable = 1722;  // LsaOpenPolicy on a system that is not there

// The logon rights a policy knows; privileges ("Se...Privilege") are taken as they come.
constexpr std::string_view kLogonRights[] = {
    "SeNetworkLogonRight",           "SeInteractiveLogonRight",
    "SeRemoteInteractiveLogonRight", "SeBatchLogonRight",
    "SeServiceLogonRight",           "SeDenyNetworkLogonRight",
    "SeDenyInteractiveLogonRight",   "SeDenyRemoteInteractiveLogonRight",
    "SeDenyBatchLogonRight",         "SeDenyServiceLogonRight",
};

bool KnownRight(std::string_view right) {
  if (right.starts_with("Se") && right.ends_with("Privilege") && right.size() > 11) return true;
  return std::find(std::begin(kLogonRights), std::end(kLogonRights), right) !=
         std::end(kLogonRights);
}

// "a, b ,c" -> {"a", "b", "c"}; empty parts are dropped.
std::vector<std::string> SplitList(std::string_view value);

bool ValidUserName(std::string_view name) {
  if (name.empty() || name.size() > kMaxUserNameLength) return false;
  bool onlyDotsAndSpaces = true;
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
    if (std::string_view("\"/\\[]:;|=,+*?<>@").find(c) != std::string_view::npos) return false;
    if (c != '.' && c != ' ') onlyDotsAndSpaces = false;
  }
  return !onlyDotsAndSpaces;
}

std::string PrivilegeText(std::uint32_t privilege) {
  switch (privilege) {
    case port::kUserPrivAdmin:
      return "admin";
    case port::kUserPrivUser:
      return "user";
    case port::kUserPrivGuest:
      return "guest";
    default:
      return std::to_string(privilege);
  }
}

bool ParseUnsigned(std::string_view text, std::uint32_t* value) {
  if (text.empty()) return false;
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  std::uint64_t v = 0;
  for (char c : text) {
    int digit = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                       : 99;
    if (digit >= base) return false;
    v = v * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    if (v > 0xFFFFFFFFu) return false;
  }
  *value = static_cast<std::uint32_t>(v);
  return true;
}

std::string Trim(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return std::string(text);
}

// The folders of a new profile, with their values under Shell Folders (null: none).
struct ProfileFolderRow {
  int csidl;
  const char* shellFolderValue;
};
constexpr ProfileFolderRow kProfileFolders[] = {
    {port::kCsidlDesktopDirectory, "Desktop"},
    {port::kCsidlPersonal, "Personal"},
    {port::kCsidlFavorites, "Favorites"},
    {port::kCsidlAppData, "AppData"},
    {port::kCsidlLocalAppData, "Local AppData"},
    {port::kCsidlStartMenu, "Start Menu"},
    {port::kCsidlPrograms, "Programs"},
    {port::kCsidlStartup, "Startup"},
    {port::kCsidlTemplates, "Templates"},
    {port::kCsidlRecent, "Recent"},
    {port::kCsidlSendTo, "SendTo"},
    {port::kCsidlNetHood, "NetHood"},
    {port::kCsidlPrintHood, "PrintHood"},
};

constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kUserShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr const char* kProfileListKey =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\";

std::vector<std::string> SplitList(std::string_view value) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= value.size()) {
    std::size_t comma = value.find(',', start);
    if (comma == std::string_view::npos) comma = value.size();
    std::string part = Trim(value.substr(start, comma - start));
    if (!part.empty()) parts.push_back(std::move(part));
    start = comma + 1;
  }
  return parts;
}

std::string JoinList(const std::vector<std::string>& parts) {
  std::string out;
  for (const std::string& part : parts) out += (out.empty() ? "" : ",") + part;
  return out;
}

}  // namespace

bool SimUser::Refuses(std::string_view call) const {
  return std::any_of(refuse.begin(), refuse.end(),
                     [&](const std::string& r) { return SameText(r, call); });
}

const std::vector<SimBuiltinGroup>& SimBuiltinGroups() {
  static const std::vector<SimBuiltinGroup> groups = {kAdministrators, kUsers, kGuests,
                                                      kPowerUsers};
  return groups;
}

SimAccounts::SimAccounts(SimRegistry& registry, port::IFileSystem& files, SimFileAcls& acls,
                         SimAccountSettings settings)
    : registry_(registry), files_(files), acls_(acls), settings_(std::move(settings)) {
  acls_.SetMachineSid(settings_.machineSid);
}

SimAccounts::~SimAccounts() = default;

// --- builders and inspection ---

std::uint32_t SimUser::Rid() const {
  const std::size_t dash = sid.rfind('-');
  std::uint32_t rid = 0;
  if (dash != std::string::npos && ParseUnsigned(std::string_view(sid).substr(dash + 1), &rid)) {
    return rid;
  }
  return 0;
}

std::uint32_t SimAccounts::NextRid() const {
  const std::string prefix = settings_.machineSid + "-";
  std::uint32_t next = 1000;
  for (const auto& user : users_) {
    if (user->sid.starts_with(prefix)) next = std::max(next, user->Rid() + 1);
  }
  return next;
}

SimUser& SimAccounts::AddUser(SimUser user) {
  if (user.sid.empty()) {
    const std::uint32_t rid = SameText(user.name, "Administrator") ? 500
                              : SameText(user.name, "Guest") || SameText(user.name, "Gast")
                                  ? 501
                                  : NextRid();
    user.sid = settings_.machineSid + "-" + std::to_string(rid);
  }
  users_.push_back(std::make_unique<SimUser>(std::move(user)));
  return *users_.back();
}

SimUser* SimAccounts::FindUser(std::string_view name) {
  for (auto& user : users_) {
    if (SameText(user->name, name)) return user.get();
  }
  return nullptr;
}

const SimUser* SimAccounts::FindUser(std::string_view name) const {
  return const_cast<SimAccounts*>(this)->FindUser(name);
}

const SimUser* SimAccounts::FindUserBySid(const port::Sid& sid) const {
  if (!IsValidSid(sid)) return nullptr;
  const std::string text = SidToString(sid);
  for (const auto& user : users_) {
    if (SameText(user->sid, text)) return user.get();
  }
  return nullptr;
}

std::vector<const SimUser*> SimAccounts::Users() const {
  std::vector<const SimUser*> out;
  for (const auto& user : users_) out.push_back(user.get());
  std::stable_sort(out.begin(), out.end(), [](const SimUser* a, const SimUser* b) {
    return CompareText(a->name, b->name) < 0;
  });
  return out;
}

std::string SimAccounts::UserSid(const SimUser& user) const { return user.sid; }

bool SimAccounts::IsMember(const SimUser& user, std::string_view englishGroup) const {
  return std::any_of(user.groups.begin(), user.groups.end(),
                     [&](const std::string& g) { return SameText(g, englishGroup); });
}

const SimUser* SimAccounts::RunningUser() const { return FindUser(settings_.runningAccount); }

bool SimAccounts::RunningUserIsAdmin() const {
  const SimUser* user = RunningUser();
  return user != nullptr &&
         (user->privilege == port::kUserPrivAdmin || IsMember(*user, kAdministrators.englishName));
}

std::string SimAccounts::LocalGroupName(const SimBuiltinGroup& group) const {
  return settings_.language == "de" ? group.germanName : group.englishName;
}

const SimBuiltinGroup* SimAccounts::FindLocalGroup(std::string_view localName) const {
  for (const SimBuiltinGroup& group : SimBuiltinGroups()) {
    if (SameText(LocalGroupName(group), localName)) return &group;
  }
  return nullptr;
}

SimFolderLayout SimAccounts::Layout() const {
  SimFolderLayout layout;
  layout.profiles = settings_.profilesRoot;
  layout.language = settings_.language;
  layout.majorVersion = settings_.majorVersion;
  return layout;
}

std::vector<std::string> SimAccounts::ProfileFolders(std::string_view folderName) const {
  const SimFolderLayout layout = Layout();
  std::vector<std::string> folders;
  for (const ProfileFolderRow& row : kProfileFolders) {
    if (auto path = SpecialFolderPath(layout, folderName, row.csidl)) folders.push_back(*path);
  }
  // Not special folders, but part of every new profile: TEMP and the quick-launch bar.
  folders.push_back(TempFolder(folderName));
  if (auto appData = SpecialFolderPath(layout, folderName, port::kCsidlAppData)) {
    folders.push_back(*appData + "\\Microsoft\\Internet Explorer\\Quick Launch");
  }
  return folders;
}

std::string SimAccounts::TempFolder(std::string_view folderName) const {
  const std::string local =
      SpecialFolderPath(Layout(), folderName, port::kCsidlLocalAppData).value_or("");
  // XP keeps TEMP beside "Application Data" in "Local Settings"; Vista inside AppData\Local.
  const std::string base = settings_.majorVersion >= 6 ? local : local.substr(0, local.rfind('\\'));
  return base + "\\Temp";
}

// --- machine.ini ---

bool SimAccounts::ApplyAccountSection(SimUser& user, const IniSection& section, std::string* error,
                                      std::size_t* line) const {
  bool privilegeGiven = false;
  bool groupsGiven = false;
  for (const IniEntry& entry : section.entries) {
    if (entry.comment) continue;
    const std::string& key = entry.name;
    const std::string& value = entry.value;
    auto fail = [&](const std::string& why) {
      *error = "account \"" + user.name + "\": " + key + "=" + value + ": " + why;
      *line = entry.line;
      return false;
    };
    if (SameText(key, "password")) {
      user.password = value;
    } else if (SameText(key, "privilege")) {
      privilegeGiven = true;
      if (value == "admin") {
        user.privilege = port::kUserPrivAdmin;
      } else if (value == "user") {
        user.privilege = port::kUserPrivUser;
      } else if (value == "guest") {
        user.privilege = port::kUserPrivGuest;
      } else if (!ParseUnsigned(value, &user.privilege)) {
        return fail("expected admin, user or guest");
      }
    } else if (SameText(key, "full_name")) {
      user.fullName = value;
    } else if (SameText(key, "comment")) {
      user.comment = value;
    } else if (SameText(key, "flags")) {
      if (!ParseUnsigned(value, &user.flags)) return fail("expected a number");
    } else if (SameText(key, "groups")) {
      groupsGiven = true;
      user.groups.clear();
      std::size_t start = 0;
      while (start <= value.size()) {
        std::size_t comma = value.find(',', start);
        if (comma == std::string::npos) comma = value.size();
        std::string group = Trim(std::string_view(value).substr(start, comma - start));
        start = comma + 1;
        if (group.empty()) continue;
        auto known =
            std::find_if(SimBuiltinGroups().begin(), SimBuiltinGroups().end(),
                         [&](const SimBuiltinGroup& g) { return SameText(g.englishName, group); });
        if (known == SimBuiltinGroups().end()) return fail("unknown group \"" + group + "\"");
        user.groups.emplace_back(known->englishName);
      }
    } else if (SameText(key, "profile")) {
      if (value != "yes" && value != "no") return fail("expected yes or no");
      user.hasProfile = value == "yes";
    } else if (SameText(key, "refuse")) {
      user.refuse = SplitList(value);
      for (const std::string& call : user.refuse) {
        if (std::none_of(std::begin(kRefusableCalls), std::end(kRefusableCalls),
                         [&](std::string_view known) { return SameText(known, call); })) {
          return fail("expected delete, logon or rights, not \"" + call + "\"");
        }
      }
    } else if (SameText(key, "rights")) {
      user.rights = SplitList(value);
      for (const std::string& right : user.rights) {
        if (!KnownRight(right)) return fail("unknown user right \"" + right + "\"");
      }
    } else if (!SameText(key, "sid")) {
      return fail("unknown entry");
    }
  }
  if (!groupsGiven) {
    user.groups = {user.privilege == port::kUserPrivAdmin   ? kAdministrators.englishName
                   : user.privilege == port::kUserPrivGuest ? kGuests.englishName
                                                            : kUsers.englishName};
  }
  if (!privilegeGiven) {
    user.privilege = IsMember(user, kAdministrators.englishName) ? port::kUserPrivAdmin
                     : IsMember(user, kUsers.englishName) || IsMember(user, kPowerUsers.englishName)
                         ? port::kUserPrivUser
                     : IsMember(user, kGuests.englishName) ? port::kUserPrivGuest
                                                           : port::kUserPrivUser;
  }
  user.settings = section;
  return true;
}

IniSection SimAccounts::SaveAccountSection(const SimUser& user) const {
  char flags[16];
  std::snprintf(flags, sizeof flags, "0x%x", static_cast<unsigned>(user.flags));
  std::string groups;
  for (const std::string& g : user.groups) groups += (groups.empty() ? "" : ",") + g;
  // Keys the section had are brought up to date in place; the others are added when they say
  // more than their absence would.
  const std::pair<const char*, std::pair<std::string, bool>> values[] = {
      {"password", {user.password, !user.password.empty()}},
      {"privilege", {PrivilegeText(user.privilege), true}},
      {"full_name", {user.fullName, !user.fullName.empty()}},
      {"comment", {user.comment, !user.comment.empty()}},
      {"flags", {flags, user.flags != port::kUfNormalAccount}},
      {"groups", {groups, true}},
      {"sid", {user.sid, true}},
      {"profile", {user.hasProfile ? "yes" : "no", user.hasProfile}},
  };
  IniSection section = user.settings;
  section.name = "account:" + user.name;
  for (const auto& [key, value] : values) {
    if (section.Find(key) != nullptr || value.second) section.Set(key, value.first);
  }
  // Granted or taken away during the run; the refusals never change.
  if (section.Find("rights") != nullptr || !user.rights.empty()) {
    section.Set("rights", JoinList(user.rights));
  }
  return section;
}

// --- the account calls ---

bool SimAccounts::IsLocalServer(std::string_view server) const {
  if (server.starts_with("\\\\")) server.remove_prefix(2);
  return server.empty() || SameText(server, settings_.computerName);
}

port::UserInfo3 SimAccounts::Info(const SimUser& user) const {
  port::UserInfo3 info;
  info.name = user.name;
  info.fullName = user.fullName;
  info.comment = user.comment;
  info.priv = user.privilege;
  info.flags = user.flags;
  info.userId = user.Rid();
  info.primaryGroupId = 513;  // DOMAIN_GROUP_RID_USERS ("None" on a workgroup machine)
  return info;
}

Status SimAccounts::NetUserAdd(std::string_view server, const port::UserInfo1& info,
                               std::uint32_t* parmError) {
  if (!IsLocalServer(server)) return port::kNerrInvalidComputer;
  if (!RunningUserIsAdmin()) return port::kErrorAccessDenied;
  if (info.priv != port::kUserPrivUser) {
    if (parmError) *parmError = kUserPrivParmNum;
    return port::kErrorInvalidParameter;
  }
  if (!ValidUserName(info.name)) return port::kNerrBadUsername;
  if (FindUser(info.name) != nullptr) return port::kNerrUserExists;
  // The built-in groups are local groups (aliases) to the account database.
  if (FindLocalGroup(info.name) != nullptr) return port::kErrorAliasExists;
  if (info.password.size() < settings_.minPasswordLength) return port::kNerrPasswordTooShort;
  SimUser user;
  user.name = info.name;
  user.password = info.password;
  user.privilege = port::kUserPrivUser;
  user.flags = info.flags | port::kUfNormalAccount;
  user.comment = info.comment;
  // New local accounts join the Users group by themselves.
  user.groups.emplace_back(kUsers.englishName);
  AddUser(std::move(user));
  return port::kErrorSuccess;
}

Status SimAccounts::NetUserDel(std::string_view server, std::string_view name) {
  if (!IsLocalServer(server)) return port::kNerrInvalidComputer;
  if (!RunningUserIsAdmin()) return port::kErrorAccessDenied;
  auto it = std::find_if(users_.begin(), users_.end(),
                         [&](const auto& u) { return SameText(u->name, name); });
  if (it == users_.end()) return port::kNerrUserNotFound;
  if ((*it)->Refuses("delete")) return port::kErrorAccessDenied;
  // Its profile folder stays on disk, as on Windows, and so do the policy's rights of its SID.
  if (!(*it)->rights.empty() || (*it)->Refuses("rights")) {
    orphanRights_[UpperCase((*it)->sid)] = OrphanRights{(*it)->rights, (*it)->Refuses("rights")};
  }
  users_.erase(it);
  return port::kErrorSuccess;
}

Status SimAccounts::NetUserEnum(std::string_view server, std::uint32_t filter,
                                std::vector<port::UserInfo3>* users) {
  if (!IsLocalServer(server)) return port::kNerrInvalidComputer;
  std::vector<port::UserInfo3> out;
  // Filter 0 and FILTER_NORMAL_ACCOUNT (2) list every local account; the trust-account
  // filters find none here.
  if (filter == port::kFilterAll || (filter & 0x2) != 0) {
    for (const SimUser* user : Users()) out.push_back(Info(*user));
  }
  *users = std::move(out);
  return port::kErrorSuccess;
}

Status SimAccounts::NetUserGetInfo(std::string_view server, std::string_view name,
                                   port::UserInfo3* info) {
  if (!IsLocalServer(server)) return port::kNerrInvalidComputer;
  const SimUser* user = FindUser(name);
  if (user == nullptr) return port::kNerrUserNotFound;
  *info = Info(*user);
  return port::kErrorSuccess;
}

Status SimAccounts::NetLocalGroupAddMembers(std::string_view server, std::string_view groupName,
                                            const std::vector<std::string>& members) {
  if (!IsLocalServer(server)) return port::kNerrInvalidComputer;
  if (!RunningUserIsAdmin()) return port::kErrorAccessDenied;
  const SimBuiltinGroup* group = FindLocalGroup(groupName);
  if (group == nullptr) return port::kNerrGroupNotFound;
  std::vector<SimUser*> adding;
  for (std::string_view member : members) {
    if (std::size_t at = member.find('\\'); at != std::string_view::npos) {
      std::string_view domain = member.substr(0, at);
      if (domain != "." && !SameText(domain, settings_.computerName)) {
        return port::kErrorNoSuchMember;
      }
      member = member.substr(at + 1);
    }
    SimUser* user = FindUser(member);
    if (user == nullptr) return port::kErrorNoSuchMember;
    if (IsMember(*user, group->englishName) ||
        std::find(adding.begin(), adding.end(), user) != adding.end()) {
      return port::kErrorMemberInAlias;
    }
    adding.push_back(user);
  }
  for (SimUser* user : adding) {
    user->groups.emplace_back(group->englishName);
    if (group->rid == kAdministrators.rid) user->privilege = port::kUserPrivAdmin;
  }
  return port::kErrorSuccess;
}

Status SimAccounts::GetUserName(std::string* name) {
  if (settings_.runningAccount.empty()) return port::kErrorInvalidHandle;
  const SimUser* user = RunningUser();
  *name = user != nullptr ? user->name : settings_.runningAccount;
  return port::kErrorSuccess;
}

Status SimAccounts::LogonUser(std::string_view name, std::string_view domain,
                              std::string_view password, std::uint32_t, std::uint32_t,
                              port::HToken* token) {
  if (!domain.empty() && domain != "." && !SameText(domain, settings_.computerName)) {
    return port::kErrorLogonFailure;
  }
  const SimUser* user = FindUser(name);
  if (user == nullptr || user->password != password) return port::kErrorLogonFailure;
  if (user->Refuses("logon")) return port::kErrorAccessDenied;
  if (user->flags & port::kUfAccountDisable) return port::kErrorAccountDisabled;
  const port::HToken handle = nextToken_;
  nextToken_ += 4;
  tokens_[handle] = user->sid;
  *token = handle;
  return port::kErrorSuccess;
}

Status SimAccounts::CloseHandle(port::HToken token) {
  return tokens_.erase(token) != 0 ? port::kErrorSuccess : port::kErrorInvalidHandle;
}

Status SimAccounts::ProfileFunctionsPresent() const {
  if (!settings_.hasUserenv) return port::kErrorModNotFound;
  if (!settings_.hasProfileFunctions) return port::kErrorProcNotFound;
  return port::kErrorSuccess;
}

Status SimAccounts::BindProfileFunction(std::string_view functionName) {
  ++profileLookups_;
  if (!settings_.hasUserenv) return port::kErrorModNotFound;
  if (functionName != "LoadUserProfileA" && functionName != "UnloadUserProfile") {
    return port::kErrorProcNotFound;
  }
  return ProfileFunctionsPresent();
}

Status SimAccounts::CreateProfile(SimUser& user, std::string_view userName) {
  auto createFolders = [&](const std::string& path) {
    // CreateDirectory makes one level; walk down from the drive.
    for (std::size_t at = path.find('\\', 3);; at = path.find('\\', at + 1)) {
      Status status = files_.CreateDirectory(path.substr(0, at));
      if (status != port::kErrorSuccess && status != port::kErrorAlreadyExists) return status;
      if (at == std::string::npos) return port::kErrorSuccess;
    }
  };
  // When a folder of that name exists already, the new profile gets the machine's name
  // appended, as Windows does.
  std::string folder(userName);
  std::uint32_t attributes = 0;
  if (files_.GetFileAttributes(settings_.profilesRoot + "\\" + folder, &attributes) ==
      port::kErrorSuccess) {
    folder += "." + settings_.computerName;
  }
  const std::string path = settings_.profilesRoot + "\\" + folder;
  Status status = createFolders(path);
  if (status != port::kErrorSuccess) return status;
  const std::string& sid = user.sid;
  SecurityParts dacl;
  if (ParseSddl("D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" + sid + ")",
                settings_.machineSid, &dacl) == port::kErrorSuccess) {
    status = acls_.Write(path, dacl);
    if (status != port::kErrorSuccess) return status;
  }
  if (!user.hive) user.hive = registry_.NewHive();
  if (newProfile_) {
    status = newProfile_(path, *user.hive);
    if (status != port::kErrorSuccess) return status;
  }
  for (const std::string& sub : ProfileFolders(folder)) {
    status = createFolders(sub);
    if (status != port::kErrorSuccess) return status;
  }
  user.profilePath = path;
  user.hasProfile = true;
  if (!user.hive) user.hive = registry_.NewHive();

  std::string expandable = path;
  if (expandable.size() >= 2 && expandable[1] == ':') {
    expandable = "%SystemDrive%" + expandable.substr(2);
  }
  registry_.SetString(kProfileListKey + sid, "ProfileImagePath", expandable, port::kRegExpandSz);
  return port::kErrorSuccess;
}

SimUser* SimAccounts::UserOfToken(port::HToken token) {
  auto it = tokens_.find(token);
  if (it == tokens_.end()) return nullptr;
  for (auto& user : users_) {
    if (user->sid == it->second) return user.get();
  }
  return nullptr;
}

std::string SimAccounts::ProfilePathOf(const SimUser& user) const {
  return user.profilePath.empty() ? settings_.profilesRoot + "\\" + user.name : user.profilePath;
}

Status SimAccounts::LoadUserProfile(port::HToken token, port::ProfileInfo* profile) {
  Status status = ProfileFunctionsPresent();
  if (status != port::kErrorSuccess) return status;
  SimUser* found = UserOfToken(token);
  if (found == nullptr) return port::kErrorInvalidHandle;
  if (profile == nullptr || profile->userName.empty()) return port::kErrorInvalidParameter;
  SimUser& user = *found;
  const std::string& sid = user.sid;
  const bool running = &user == RunningUser();

  bool fresh = false;
  if (!user.hasProfile && !running) {
    status = CreateProfile(user, profile->userName);
    if (status != port::kErrorSuccess) return status;
    fresh = true;
  }
  if (user.profilePath.empty()) user.profilePath = ProfilePathOf(user);
  if (!user.hive) user.hive = running ? registry_.CurrentUserHive() : registry_.NewHive();

  port::HKey root = port::kNoKey;
  const bool first = loaded_.find(sid) == loaded_.end();
  // The running account's hive is loaded already; a load only opens it again.
  const bool mountedBefore = registry_.UserHive(sid) != nullptr;
  status = registry_.LoadUserHive(sid, user.hive, &root);
  if (status != port::kErrorSuccess) return status;
  LoadedHive& loaded = loaded_[sid];
  if (first) loaded.mountedHere = !mountedBefore;
  ++loaded.count;
  if (fresh) {
    // A new profile starts from the default user's hive: the shell's folders and TEMP.
    const std::string hive = "HKEY_USERS\\" + sid + "\\";
    const std::string folderName = user.profilePath.substr(user.profilePath.rfind('\\') + 1);
    const SimFolderLayout layout = Layout();
    for (const ProfileFolderRow& row : kProfileFolders) {
      const auto folder = SpecialFolderPath(layout, folderName, row.csidl);
      if (!folder) continue;
      registry_.SetString(hive + kShellFoldersKey, row.shellFolderValue, *folder);
      registry_.SetString(hive + kUserShellFoldersKey, row.shellFolderValue,
                          "%USERPROFILE%" + folder->substr(user.profilePath.size()),
                          port::kRegExpandSz);
    }
    const std::string temp =
        "%USERPROFILE%" + TempFolder(folderName).substr(user.profilePath.size());
    registry_.SetString(hive + "Environment", "TEMP", temp, port::kRegExpandSz);
    registry_.SetString(hive + "Environment", "TMP", temp, port::kRegExpandSz);
  }
  profileHandles_[root] = sid;
  profile->profile = root;
  return port::kErrorSuccess;
}

Status SimAccounts::UnloadUserProfile(port::HToken token, port::HKey handle) {
  Status status = ProfileFunctionsPresent();
  if (status != port::kErrorSuccess) return status;
  if (tokens_.find(token) == tokens_.end()) return port::kErrorInvalidHandle;
  auto it = profileHandles_.find(handle);
  if (it == profileHandles_.end()) return port::kErrorInvalidParameter;
  const std::string sid = it->second;
  profileHandles_.erase(it);
  [[maybe_unused]] Status closed = registry_.RegCloseKey(handle);
  auto loaded = loaded_.find(sid);
  if (loaded != loaded_.end() && --loaded->second.count == 0) {
    // The hive itself stays with the account for the next load.
    if (loaded->second.mountedHere) registry_.UnloadUserHive(sid);
    loaded_.erase(loaded);
  }
  return port::kErrorSuccess;
}

// --- the account rights of the local security policy ---

Status SimAccounts::LsaOpenPolicy(std::string_view systemName, std::uint32_t access,
                                  port::HPolicy* policy) {
  if (policy == nullptr) return port::kErrorInvalidParameter;
  if (!IsLocalServer(systemName)) return kRpcServerUnavailable;
  // Changing the policy is for administrators; looking at it needs no less here.
  if (!RunningUserIsAdmin()) return port::kErrorAccessDenied;
  const port::HPolicy handle = nextPolicy_;
  nextPolicy_ += 4;
  policies_[handle] = access;
  *policy = handle;
  return port::kErrorSuccess;
}

Status SimAccounts::LsaClose(port::HPolicy policy) {
  return policies_.erase(policy) != 0 ? port::kErrorSuccess : port::kErrorInvalidHandle;
}

Status SimAccounts::PolicyEntry(port::HPolicy policy, const port::Sid& account,
                                std::vector<std::string>** rights) {
  const auto handle = policies_.find(policy);
  if (handle == policies_.end()) return port::kErrorInvalidHandle;
  if ((handle->second & port::kPolicyLookupNames) == 0) return port::kErrorAccessDenied;
  if (!IsValidSid(account)) return port::kErrorInvalidSid;
  if (SimUser* user = const_cast<SimUser*>(FindUserBySid(account))) {
    if (user->Refuses("rights")) return port::kErrorAccessDenied;
    *rights = &user->rights;
    return port::kErrorSuccess;
  }
  OrphanRights& orphan = orphanRights_[UpperCase(SidToString(account))];
  if (orphan.refused) return port::kErrorAccessDenied;
  *rights = &orphan.rights;
  return port::kErrorSuccess;
}

Status SimAccounts::LsaAddAccountRights(port::HPolicy policy, const port::Sid& account,
                                        const std::vector<std::string>& rights) {
  std::vector<std::string>* held = nullptr;
  if (const Status s = PolicyEntry(policy, account, &held); s != port::kErrorSuccess) return s;
  if ((policies_[policy] & port::kPolicyCreateAccount) == 0 && held->empty()) {
    return port::kErrorAccessDenied;  // a new entry in the policy needs POLICY_CREATE_ACCOUNT
  }
  if (rights.empty()) return port::kErrorInvalidParameter;
  for (const std::string& right : rights) {
    if (!KnownRight(right)) return port::kErrorNoSuchPrivilege;
  }
  for (const std::string& right : rights) {
    if (std::find(held->begin(), held->end(), right) == held->end()) held->push_back(right);
  }
  return port::kErrorSuccess;
}

Status SimAccounts::LsaRemoveAccountRights(port::HPolicy policy, const port::Sid& account,
                                           bool allRights,
                                           const std::vector<std::string>& rights) {
  std::vector<std::string>* held = nullptr;
  if (const Status s = PolicyEntry(policy, account, &held); s != port::kErrorSuccess) return s;
  if (held->empty()) return port::kErrorFileNotFound;  // no entry of that SID in the policy
  if (allRights) {
    held->clear();
    return port::kErrorSuccess;
  }
  if (rights.empty()) return port::kErrorInvalidParameter;
  for (const std::string& right : rights) {
    if (!KnownRight(right)) return port::kErrorNoSuchPrivilege;
  }
  std::erase_if(*held, [&](const std::string& right) {
    return std::find(rights.begin(), rights.end(), right) != rights.end();
  });
  return port::kErrorSuccess;
}

Status SimAccounts::LsaEnumerateAccountRights(port::HPolicy policy, const port::Sid& account,
                                              std::vector<std::string>* rights) {
  std::vector<std::string>* held = nullptr;
  if (const Status s = PolicyEntry(policy, account, &held); s != port::kErrorSuccess) return s;
  if (rights == nullptr) return port::kErrorInvalidParameter;
  if (held->empty()) return port::kErrorFileNotFound;
  *rights = *held;
  return port::kErrorSuccess;
}

std::vector<std::string> SimAccounts::AccountRights(std::string_view sid) const {
  for (const auto& user : users_) {
    if (SameText(user->sid, sid)) return user->rights;
  }
  const auto orphan = orphanRights_.find(UpperCase(sid));
  return orphan == orphanRights_.end() ? std::vector<std::string>{} : orphan->second.rights;
}

}  // namespace ombrant::sim
