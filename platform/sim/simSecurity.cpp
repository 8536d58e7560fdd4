#include "platform/sim/simSecurity.h"

#include <algorithm>

#include "platform/sim/simAccounts.h"

namespace ombrant::sim {
namespace {

using port::Sid;
using port::Status;

constexpr Status kRpcServerUnavailable = 1722;
constexpr Status kErrorUnknownRevision = 1305;
constexpr std::uint32_t kReadControl = 0x20000;
constexpr std::uint32_t kWriteDac = 0x40000;

// Standard DACLs of a fresh installation.
constexpr const char* kXpRootAcl =
    "D:(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICIIO;GA;;;CO)(A;OICI;0x1200a9;;;BU)"
    "(A;CI;0x100004;;;BU)(A;CIIO;0x100002;;;BU)(A;;0x1200a9;;;WD)";
constexpr const char* kVistaRootAcl =
    "D:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICIIO;GA;;;CO)(A;OICI;0x1200a9;;;BU)"
    "(A;CI;LC;;;BU)(A;CIIO;DC;;;BU)(A;OICIIO;SDGXGWGR;;;AU)(A;;0x1301bf;;;AU)";
constexpr const char* kXpProgramFilesAcl =
    "D:PAI(A;OICIIO;GA;;;CO)(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;PU)"
    "(A;OICI;0x1200a9;;;BU)";
constexpr const char* kVistaProgramFilesAcl =
    "D:PAI(A;;FA;;;S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464)"
    "(A;CIIO;GA;;;S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464)"
    "(A;;0x1301bf;;;SY)(A;OICIIO;GA;;;SY)(A;;0x1301bf;;;BA)(A;OICIIO;GA;;;BA)"
    "(A;;0x1200a9;;;BU)(A;OICIIO;GXGR;;;BU)(A;OICIIO;GA;;;CO)";

std::string ParentOf(const std::string& key) {
  std::size_t at = key.rfind('\\');
  return at == std::string::npos ? std::string() : key.substr(0, at);
}

// The file system's name for a stored key: the root needs its backslash.
std::string FsPath(const std::string& key) {
  return key.size() == 2 && key[1] == ':' ? key + "\\" : key;
}

SecurityParts DaclOnly(const SecurityParts& parts) {
  SecurityParts out;
  out.control = parts.control &
                (kSeDaclPresent | kSeDaclProtected | kSeDaclAutoInherited | kSeDaclAutoInheritReq);
  out.dacl = parts.dacl;
  return out;
}

// Names the system gives to well-known SIDs, in English and German.
struct WellKnown {
  const char* sid;
  int type;  // WELL_KNOWN_SID_TYPE, -1 when CreateWellKnownSid has none
  const char* name;
  const char* germanName;
  const char* domain;
  const char* germanDomain;
  std::uint32_t use;
};
constexpr WellKnown kWellKnown[] = {
    {"S-1-1-0", port::kWinWorldSid, "Everyone", "Jeder", "", "", port::kSidTypeWellKnownGroup},
    {"S-1-3-0", port::kWinCreatorOwnerSid, "CREATOR OWNER", "ERSTELLER-BESITZER", "", "",
     port::kSidTypeWellKnownGroup},
    {"S-1-3-1", 4, "CREATOR GROUP", "ERSTELLERGRUPPE", "", "", port::kSidTypeWellKnownGroup},
    {"S-1-5-4", port::kWinInteractiveSid, "INTERACTIVE", "INTERAKTIV", "NT AUTHORITY",
     "NT-AUTORITÄT", port::kSidTypeWellKnownGroup},
    {"S-1-5-11", port::kWinAuthenticatedUserSid, "Authenticated Users", "Authentifizierte Benutzer",
     "NT AUTHORITY", "NT-AUTORITÄT", port::kSidTypeWellKnownGroup},
    {"S-1-5-18", port::kWinLocalSystemSid, "SYSTEM", "SYSTEM", "NT AUTHORITY", "NT-AUTORITÄT",
     port::kSidTypeWellKnownGroup},
    {"S-1-5-19", 23, "LOCAL SERVICE", "LOKALER DIENST", "NT AUTHORITY", "NT-AUTORITÄT",
     port::kSidTypeWellKnownGroup},
    {"S-1-5-20", 24, "NETWORK SERVICE", "NETZWERKDIENST", "NT AUTHORITY", "NT-AUTORITÄT",
     port::kSidTypeWellKnownGroup},
    {"S-1-5-32", 25, "BUILTIN", "VORDEFINIERT", "BUILTIN", "VORDEFINIERT", port::kSidTypeDomain},
    {"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", -1, "TrustedInstaller",
     "TrustedInstaller", "NT SERVICE", "NT SERVICE", port::kSidTypeWellKnownGroup},
};

// Domain-relative well-known SIDs: type and RID.
constexpr std::pair<int, std::uint32_t> kDomainRelative[] = {
    {port::kWinAccountAdministratorSid, 500},
    {39, 501},
    {40, 502},
    {41, 512},
    {42, 513},
    {43, 514},
    {44, 515},
    {45, 516},
};

struct MessageText {
  Status code;
  const char* english;
  const char* german;
};
constexpr MessageText kMessages[] = {
    {0, "The operation completed successfully.", "Der Vorgang wurde erfolgreich beendet."},
    {2, "The system cannot find the file specified.",
     "Das System kann die angegebene Datei nicht finden."},
    {3, "The system cannot find the path specified.",
     "Das System kann den angegebenen Pfad nicht finden."},
    {5, "Access is denied.", "Zugriff verweigert"},
    {6, "The handle is invalid.", "Das Handle ist ungültig."},
    {8, "Not enough storage is available to process this command.",
     "Nicht genügend Speicherplatz, um diesen Befehl zu verarbeiten."},
    {53, "The network path was not found.", "Der Netzwerkpfad wurde nicht gefunden."},
    {87, "The parameter is incorrect.", "Falscher Parameter."},
    {122, "The data area passed to a system call is too small.",
     "Der an einen Systemaufruf übergebene Datenbereich ist zu klein."},
    {123, "The filename, directory name, or volume label syntax is incorrect.",
     "Die Syntax für den Dateinamen, Verzeichnisnamen oder die Datenträgerbezeichnung ist "
     "falsch."},
    {126, "The specified module could not be found.", "Das angegebene Modul wurde nicht gefunden."},
    {127, "The specified procedure could not be found.",
     "Die angegebene Prozedur wurde nicht gefunden."},
    {1305, "The revision level is unknown.", "Die Revisionsebene ist unbekannt."},
    {1314, "A required privilege is not held by the client.",
     "Dem Client fehlt ein erforderliches Recht."},
    {1326, "Logon failure: unknown user name or bad password.",
     "Anmeldung fehlgeschlagen: unbekannter Benutzername oder falsches Kennwort."},
    {1331, "Logon failure: account currently disabled.",
     "Anmeldung fehlgeschlagen: Das Konto ist zurzeit deaktiviert."},
    {1332, "No mapping between account names and security IDs was done.",
     "Zwischen Kontennamen und Sicherheitskennungen wurde keine Zuordnung durchgeführt."},
    {1336, "The access control list (ACL) structure is invalid.",
     "Die Struktur der Zugriffssteuerungsliste (ACL) ist ungültig."},
    {1337, "The security ID structure is invalid.",
     "Die Struktur der Sicherheitskennung ist ungültig."},
    {1338, "The security descriptor structure is invalid.",
     "Die Struktur der Sicherheitsbeschreibung ist ungültig."},
    {1378, "The specified account name is already a member of the group.",
     "Der angegebene Kontoname ist bereits ein Mitglied der Gruppe."},
    {1379, "The specified local group already exists.",
     "Die angegebene lokale Gruppe ist bereits vorhanden."},
    {1387,
     "A new member could not be added to or removed from the local group because the member "
     "does not exist.",
     "Ein neues Mitglied konnte der lokalen Gruppe nicht hinzugefügt bzw. von ihr entfernt "
     "werden, da das Mitglied nicht vorhanden ist."},
};

// Generic rights as they apply to files.
std::uint32_t MapGenericFileRights(std::uint32_t mask) {
  std::uint32_t out = mask & 0x0FFFFFFFu;
  if (mask & 0x80000000u) out |= 0x120089;
  if (mask & 0x40000000u) out |= 0x120116;
  if (mask & 0x20000000u) out |= 0x1200A0;
  if (mask & 0x10000000u) out |= 0x1F01FF;
  return out;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// SimFileAcls

SimFileAcls::SimFileAcls(port::IFileSystem& files) : files_(files) {}

std::string SimFileAcls::NormalizePath(std::string_view path) {
  std::string key(path);
  while (key.size() > 2 && key.back() == '\\') key.pop_back();
  if (key.size() == 3 && key[1] == ':' && key[2] == '\\') key.pop_back();
  return key;
}

bool SimFileAcls::Parse(std::string_view sddl, SecurityParts* parts) const {
  SecurityParts parsed;
  if (ParseSddl(sddl, machineSid_, &parsed) != port::kErrorSuccess || !parsed.DaclPresent()) {
    return false;
  }
  *parts = DaclOnly(parsed);
  return true;
}

void SimFileAcls::InstallDefaults(std::uint32_t majorVersion,
                                  const std::vector<std::string>& programFolders) {
  const bool vista = majorVersion >= 6;
  defaults_.clear();
  [[maybe_unused]] bool ok = SetDefault("C:", vista ? kVistaRootAcl : kXpRootAcl);
  for (const std::string& folder : programFolders) {
    ok = SetDefault(folder, vista ? kVistaProgramFilesAcl : kXpProgramFilesAcl);
  }
}

bool SimFileAcls::SetDefault(std::string_view path, std::string_view sddl) {
  SecurityParts parts;
  if (!Parse(sddl, &parts)) return false;
  defaults_[NormalizePath(path)] = std::move(parts);
  return true;
}

bool SimFileAcls::SetExplicit(std::string_view path, std::string_view sddl) {
  SecurityParts parts;
  if (!Parse(sddl, &parts)) return false;
  explicit_[NormalizePath(path)] = std::move(parts);
  return true;
}

std::optional<std::string> SimFileAcls::Explicit(std::string_view path) const {
  auto it = explicit_.find(NormalizePath(path));
  if (it == explicit_.end()) return std::nullopt;
  return FormatSddl(it->second, port::kDaclSecurityInformation, machineSid_);
}

const SecurityParts* SimFileAcls::Own(const std::string& key) const {
  if (auto it = explicit_.find(key); it != explicit_.end()) return &it->second;
  if (auto it = defaults_.find(key); it != defaults_.end()) return &it->second;
  return nullptr;
}

SecurityParts SimFileAcls::Resolve(const std::string& key, bool isFolder) const {
  if (const SecurityParts* own = Own(key)) return *own;
  const std::string parent = ParentOf(key);
  if (parent.empty()) {
    // A drive without a standard DACL: what a fresh format gives.
    SecurityParts root;
    [[maybe_unused]] bool ok = Parse(kXpRootAcl, &root);
    return root;
  }
  const SecurityParts from = Resolve(parent, true);
  SecurityParts child;
  child.control = kSeDaclPresent | kSeDaclAutoInherited;
  if (from.dacl) child.dacl = InheritAcl(*from.dacl, isFolder);
  return child;
}

Status SimFileAcls::Effective(std::string_view path, SecurityParts* dacl) const {
  const std::string key = NormalizePath(path);
  std::uint32_t attributes = 0;
  Status status = files_.GetFileAttributes(FsPath(key), &attributes);
  if (status != port::kErrorSuccess) return status;
  *dacl = Resolve(key, (attributes & port::kFileAttributeDirectory) != 0);
  return port::kErrorSuccess;
}

void SimFileAcls::FixDescendants(const std::string& key, const SecurityParts& current) {
  port::FindData data;
  port::HFind find = port::kInvalidFind;
  if (files_.FindFirstFile(key + "\\*", &data, &find) != port::kErrorSuccess) return;
  std::vector<port::FindData> children;
  do {
    if (data.name != "." && data.name != "..") children.push_back(data);
  } while (files_.FindNextFile(find, &data) == port::kErrorSuccess);
  files_.FindClose(find);

  for (const port::FindData& child : children) {
    const std::string childKey = key + "\\" + child.name;
    if (Own(childKey) != nullptr) continue;  // does not depend on its parent
    const bool folder = (child.attributes & port::kFileAttributeDirectory) != 0;
    SecurityParts inherited;
    inherited.control = kSeDaclPresent | kSeDaclAutoInherited;
    if (current.dacl) inherited.dacl = InheritAcl(*current.dacl, folder);
    explicit_[childKey] = inherited;
    if (folder) FixDescendants(childKey, inherited);
  }
}

Status SimFileAcls::Write(std::string_view path, const SecurityParts& dacl) {
  const std::string key = NormalizePath(path);
  std::uint32_t attributes = 0;
  Status status = files_.GetFileAttributes(FsPath(key), &attributes);
  if (status != port::kErrorSuccess) return status;
  if (attributes & port::kFileAttributeDirectory) FixDescendants(key, Resolve(key, true));
  explicit_[key] = DaclOnly(dacl);
  return port::kErrorSuccess;
}

std::vector<std::pair<std::string, std::string>> SimFileAcls::SaveEntries() const {
  std::vector<std::pair<std::string, std::string>> out;
  for (const auto& [key, parts] : explicit_) {
    out.emplace_back(key, FormatSddl(parts, port::kDaclSecurityInformation, machineSid_));
  }
  return out;
}

// ---------------------------------------------------------------------------------------------
// SimSecurity

SimSecurity::SimSecurity(SimAccounts& accounts, SimFileAcls& acls, SimSecuritySettings settings)
    : accounts_(accounts), acls_(acls), settings_(settings) {}

bool SimSecurity::German() const { return accounts_.Settings().language == "de"; }

bool SimSecurity::IsLocalSystem(std::string_view systemName) const {
  if (systemName.starts_with("\\\\")) systemName.remove_prefix(2);
  return systemName.empty() || SameText(systemName, accounts_.Settings().computerName);
}

std::vector<Sid> SimSecurity::TokenSids() const {
  std::vector<Sid> sids;
  auto add = [&](std::string_view text) {
    Sid sid;
    if (SidFromString(text, &sid) == port::kErrorSuccess) sids.push_back(std::move(sid));
  };
  add("S-1-1-0");
  add("S-1-5-11");
  add("S-1-5-4");
  if (const SimUser* user = accounts_.RunningUser()) {
    add(accounts_.UserSid(*user));
    for (const SimBuiltinGroup& group : SimBuiltinGroups()) {
      if (accounts_.IsMember(*user, group.englishName)) {
        add("S-1-5-32-" + std::to_string(group.rid));
      }
    }
  }
  return sids;
}

bool SimSecurity::Allowed(const SecurityParts& dacl, std::uint32_t desired) const {
  if (!dacl.dacl) return true;  // no access control at all
  const std::vector<Sid> token = TokenSids();
  std::uint32_t granted = 0;
  for (const Ace& ace : *dacl.dacl) {
    if (ace.flags & kAceInheritOnly) continue;
    if (std::find(token.begin(), token.end(), ace.sid) == token.end()) continue;
    const std::uint32_t mask = MapGenericFileRights(ace.mask);
    if (ace.type == kAceAccessDenied && (mask & desired & ~granted) != 0) return false;
    if (ace.type == kAceAccessAllowed) granted |= mask;
  }
  return (granted & desired) == desired;
}

Status SimSecurity::CreateWellKnownSid(int type, const Sid* domainSid, Sid* sid) {
  for (const WellKnown& w : kWellKnown) {
    if (w.type == type) return SidFromString(w.sid, sid);
  }
  for (const SimBuiltinGroup& group : SimBuiltinGroups()) {
    if (port::kWinBuiltinAdministratorsSid + static_cast<int>(group.rid) - 544 == type) {
      return SidFromString("S-1-5-32-" + std::to_string(group.rid), sid);
    }
  }
  for (const auto& [relativeType, rid] : kDomainRelative) {
    if (relativeType != type) continue;
    if (domainSid == nullptr || !IsValidSid(*domainSid)) return port::kErrorInvalidParameter;
    return SidFromString(SidToString(*domainSid) + "-" + std::to_string(rid), sid);
  }
  return port::kErrorInvalidParameter;
}

Status SimSecurity::LookupAccountSid(std::string_view systemName, const Sid& sid, std::string* name,
                                     std::string* domain, std::uint32_t* use) {
  if (!IsValidSid(sid)) return port::kErrorInvalidSid;
  if (!IsLocalSystem(systemName)) return kRpcServerUnavailable;
  const std::string text = SidToString(sid);
  const bool german = German();
  const std::string& machineSid = accounts_.Settings().machineSid;
  const std::string& computer = accounts_.Settings().computerName;
  auto answer = [&](std::string n, std::string d, std::uint32_t u) {
    *name = std::move(n);
    *domain = std::move(d);
    *use = u;
    return port::kErrorSuccess;
  };
  if (const SimUser* user = accounts_.FindUserBySid(sid)) {
    return answer(user->name, computer, port::kSidTypeUser);
  }
  if (text == machineSid) return answer(computer, computer, port::kSidTypeDomain);
  for (const SimBuiltinGroup& group : SimBuiltinGroups()) {
    if (text == "S-1-5-32-" + std::to_string(group.rid)) {
      return answer(accounts_.LocalGroupName(group), german ? "VORDEFINIERT" : "BUILTIN",
                    port::kSidTypeAlias);
    }
  }
  for (const WellKnown& w : kWellKnown) {
    if (text == w.sid) {
      return answer(german ? w.germanName : w.name, german ? w.germanDomain : w.domain, w.use);
    }
  }
  return port::kErrorNoneMapped;
}

Status SimSecurity::LookupAccountName(std::string_view systemName, std::string_view name, Sid* sid,
                                      std::string* domain, std::uint32_t* use) {
  if (!IsLocalSystem(systemName)) return kRpcServerUnavailable;
  std::string_view wantDomain;
  bool domainGiven = false;
  if (std::size_t at = name.find('\\'); at != std::string_view::npos) {
    wantDomain = name.substr(0, at);
    name = name.substr(at + 1);
    domainGiven = true;
  }
  const bool german = German();
  const std::string& computer = accounts_.Settings().computerName;
  auto domainMatches = [&](std::string_view d) { return !domainGiven || SameText(wantDomain, d); };
  auto answer = [&](const std::string& sidText, std::string d, std::uint32_t u) {
    Sid result;
    Status status = SidFromString(sidText, &result);
    if (status != port::kErrorSuccess) return status;
    *sid = std::move(result);
    *domain = std::move(d);
    *use = u;
    return port::kErrorSuccess;
  };
  if (name.empty()) return port::kErrorNoneMapped;
  for (const WellKnown& w : kWellKnown) {
    const char* wellKnownName = german ? w.germanName : w.name;
    const char* wellKnownDomain = german ? w.germanDomain : w.domain;
    if (w.use != port::kSidTypeDomain && SameText(name, wellKnownName) &&
        domainMatches(wellKnownDomain)) {
      return answer(w.sid, wellKnownDomain, w.use);
    }
  }
  const std::string builtin = german ? "VORDEFINIERT" : "BUILTIN";
  if (const SimBuiltinGroup* group = accounts_.FindLocalGroup(name)) {
    if (domainMatches(builtin)) {
      return answer("S-1-5-32-" + std::to_string(group->rid), builtin, port::kSidTypeAlias);
    }
  }
  if (const SimUser* user = accounts_.FindUser(name); user != nullptr && domainMatches(computer)) {
    return answer(accounts_.UserSid(*user), computer, port::kSidTypeUser);
  }
  if (!domainGiven && SameText(name, computer)) {
    return answer(accounts_.Settings().machineSid, computer, port::kSidTypeDomain);
  }
  return port::kErrorNoneMapped;
}

Status SimSecurity::ConvertSidToStringSid(const Sid& sid, std::string* text) {
  if (!settings_.hasSddlFunctions) return port::kErrorProcNotFound;
  if (!IsValidSid(sid)) return port::kErrorInvalidSid;
  *text = SidToString(sid);
  return port::kErrorSuccess;
}

Status SimSecurity::ConvertStringSidToSid(std::string_view text, Sid* sid) {
  if (!settings_.hasSddlFunctions) return port::kErrorProcNotFound;
  return SidFromSddl(text, accounts_.Settings().machineSid, sid);
}

Status SimSecurity::ConvertSecurityDescriptorToStringSecurityDescriptor(
    const port::SecurityDescriptor& descriptor, std::uint32_t revision, std::uint32_t information,
    std::string* text) {
  if (!settings_.hasSddlFunctions) return port::kErrorProcNotFound;
  if (revision != port::kSddlRevision1) return kErrorUnknownRevision;
  SecurityParts parts;
  Status status = DecodeSecurityDescriptor(descriptor, &parts);
  if (status != port::kErrorSuccess) return status;
  *text = FormatSddl(parts, information, accounts_.Settings().machineSid);
  return port::kErrorSuccess;
}

Status SimSecurity::ConvertStringSecurityDescriptorToSecurityDescriptor(
    std::string_view text, std::uint32_t revision, port::SecurityDescriptor* descriptor) {
  if (!settings_.hasSddlFunctions) return port::kErrorProcNotFound;
  if (revision != port::kSddlRevision1) return kErrorUnknownRevision;
  SecurityParts parts;
  Status status = ParseSddl(text, accounts_.Settings().machineSid, &parts);
  if (status != port::kErrorSuccess) return status;
  *descriptor = EncodeSecurityDescriptor(parts);
  return port::kErrorSuccess;
}

Status SimSecurity::GetFileSecurity(std::string_view path, std::uint32_t information,
                                    port::SecurityDescriptor* descriptor) {
  if (information & port::kSaclSecurityInformation) return port::kErrorPrivilegeNotHeld;
  SecurityParts dacl;
  Status status = acls_.Effective(path, &dacl);
  if (status != port::kErrorSuccess) return status;
  if (!accounts_.RunningUserIsAdmin() && !Allowed(dacl, kReadControl)) {
    return port::kErrorAccessDenied;
  }
  SecurityParts parts;
  const std::string& machineSid = accounts_.Settings().machineSid;
  Sid sid;
  if ((information & port::kOwnerSecurityInformation) &&
      SidFromString("S-1-5-32-544", &sid) == port::kErrorSuccess) {
    parts.owner = sid;
  }
  if ((information & port::kGroupSecurityInformation) &&
      SidFromString(machineSid + "-513", &sid) == port::kErrorSuccess) {
    parts.group = sid;
  }
  if (information & port::kDaclSecurityInformation) {
    parts.control = dacl.control;
    parts.dacl = dacl.dacl;
  }
  *descriptor = EncodeSecurityDescriptor(parts);
  return port::kErrorSuccess;
}

Status SimSecurity::SetFileSecurity(std::string_view path, std::uint32_t information,
                                    const port::SecurityDescriptor& descriptor) {
  SecurityParts parts;
  Status status = DecodeSecurityDescriptor(descriptor, &parts);
  if (status != port::kErrorSuccess) return status;
  if (information & port::kSaclSecurityInformation) return port::kErrorPrivilegeNotHeld;
  SecurityParts current;
  status = acls_.Effective(path, &current);
  if (status != port::kErrorSuccess) return status;
  const bool admin = accounts_.RunningUserIsAdmin();
  if ((information & (port::kOwnerSecurityInformation | port::kGroupSecurityInformation)) &&
      !admin) {
    return port::kErrorAccessDenied;
  }
  if (information & port::kDaclSecurityInformation) {
    if (!admin && !Allowed(current, kWriteDac)) return port::kErrorAccessDenied;
    SecurityParts dacl = DaclOnly(parts);
    // A descriptor without a DACL leaves the object without access control.
    if (!parts.DaclPresent()) dacl.dacl.reset();
    dacl.control |= kSeDaclPresent;
    return acls_.Write(path, dacl);
  }
  return port::kErrorSuccess;
}

Status SimSecurity::FormatMessage(Status code, std::string* text) {
  for (const MessageText& m : kMessages) {
    if (m.code != code) continue;
    std::string message = German() ? m.german : m.english;
    if (code == port::kErrorLogonFailure && !German() && accounts_.Settings().majorVersion >= 6) {
      message = "The user name or password is incorrect.";
    }
    *text = message + "\r\n";
    return port::kErrorSuccess;
  }
  return port::kErrorMrMidNotFound;
}

}  // namespace ombrant::sim
