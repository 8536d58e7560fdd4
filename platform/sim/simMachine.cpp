#include "platform/sim/simMachine.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <stdexcept>
#include <system_error>

#include "platform/sim/simRegFile.h"
#include "platform/sim/simSddl.h"
#include "platform/vqStrings.h"

namespace ombrant::sim {
namespace {

namespace fs = std::filesystem;

// The simulated machine's own domain part of its local accounts' SIDs.
constexpr std::string_view kMachineSidPrefix = "S-1-5-21-1715567821-926492609-725345543-";
constexpr std::string_view kAccountPrefix = "account:";
constexpr std::string_view kProcessPrefix = "process:";

std::uint32_t RidForName(std::string_view name) {
  if (SameText(name, "Administrator")) return 500;
  if (SameText(name, "Guest")) return 501;
  std::uint32_t hash = 2166136261u;  // FNV-1a
  for (char c : UpperCase(name)) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 16777619u;
  }
  return 1000 + hash % 1000000;
}

std::string SidWithRid(std::uint32_t rid) {
  return std::string(kMachineSidPrefix) + std::to_string(rid);
}

// Names Windows refuses for a local account, and names that would leave the hives folder.
bool ValidAccountName(std::string_view name) {
  if (name.empty()) return false;
  if (name.find_first_not_of(". ") == std::string_view::npos) return false;
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
    if (std::string_view("\\/[]:;|=,+*?<>\"").find(c) != std::string_view::npos) return false;
  }
  return true;
}

bool ParseNumber(std::string_view text, std::uint32_t* value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

// "major.minor.build"
bool ParseVersion(std::string_view text, port::OsVersionInfo* version) {
  std::uint32_t parts[3];
  for (int i = 0; i < 3; ++i) {
    const std::size_t dot = i < 2 ? text.find('.') : text.size();
    if (dot == std::string_view::npos || !ParseNumber(text.substr(0, dot), &parts[i])) return false;
    if (i < 2) text.remove_prefix(dot + 1);
  }
  version->majorVersion = parts[0];
  version->minorVersion = parts[1];
  version->buildNumber = parts[2];
  return true;
}

// Where Windows puts itself and the profiles, by version.
std::string DefaultWindowsFolder(const port::OsVersionInfo& version) {
  return version.majorVersion >= 6 ? "C:\\Windows" : "C:\\WINDOWS";
}

SimShellSettings DefaultShellSettings(const port::OsVersionInfo& version) {
  SimShellSettings settings;
  settings.profiles = version.majorVersion >= 6 ? "C:\\Users" : "C:\\Documents and Settings";
  return settings;
}

bool IsFullFolderPath(std::string_view path) {
  return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
         path[1] == ':' && path[2] == '\\' && path.find('/') == std::string_view::npos;
}

SimSystemSettings SystemSettings(bool is64BitWindows, port::OsVersionInfo version) {
  SimSystemSettings settings;
  settings.version = version;
  settings.is64BitWindows = is64BitWindows;
  return settings;
}

// The .reg files of a folder, in file-name order; none when the folder does not exist.
bool RegFiles(const fs::path& folder, std::vector<fs::path>* files, SimFileError* error) {
  std::error_code ec;
  if (!fs::exists(folder, ec)) return true;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_regular_file(ec) && SameText(it->path().extension().string(), ".reg")) {
      files->push_back(it->path());
    }
  }
  if (ec) return Fail(error, folder.string(), 0, "cannot be listed: " + ec.message());
  std::sort(files->begin(), files->end(),
            [](const fs::path& a, const fs::path& b) { return a.filename() < b.filename(); });
  return true;
}

}  // namespace

std::string SidForAccountName(std::string_view name) { return SidWithRid(RidForName(name)); }

SimMachine::SimMachine(bool is64BitWindows, port::OsVersionInfo version)
    : registry_(is64BitWindows),
      system_(SystemSettings(is64BitWindows, version)),
      files_(drives_.Path(), DefaultWindowsFolder(version)),
      shell_(files_, system_, DefaultShellSettings(version)),
      acls_(files_),
      accounts_(registry_, files_, acls_),
      security_(accounts_, acls_) {
  accounts_.Settings().machineSid =
      std::string(kMachineSidPrefix.substr(0, kMachineSidPrefix.size() - 1));
  acls_.SetMachineSid(accounts_.Settings().machineSid);
  FollowFolders();
  shell_.OnShellExecute = [this](const ShellExecuteRecord& record) { return StartProgram(record); };
  accounts_.SetNewProfileHook([this](const std::string& profilePath, SimHive& hive) {
    return MakeProfileFromDefault(profilePath, hive);
  });
}

namespace {

// The last path element, without its folder.
std::string_view LeafName(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// runas's arguments: /user:NAME [/savecred] "\"PROGRAM\" PARAMETERS" or "PROGRAM PARAMETERS".
// False when they name no account or no program.
bool ParseRunAs(std::string_view parameters, std::string* account, std::string* program) {
  const std::size_t user = parameters.find("/user:");
  if (user == std::string_view::npos) return false;
  std::string_view rest = parameters.substr(user + 6);
  *account = std::string(rest.substr(0, rest.find(' ')));
  const std::size_t open = parameters.find('"', user);
  if (account->empty() || open == std::string_view::npos) return false;
  std::string_view inner = parameters.substr(open + 1);
  if (inner.starts_with("\\\"")) {
    inner.remove_prefix(2);
    const std::size_t close = inner.find("\\\"");
    if (close == std::string_view::npos) return false;
    *program = std::string(inner.substr(0, close));
  } else {
    // The whole argument is the command line; a program path with blanks fills it.
    *program = std::string(inner.substr(0, inner.find('"')));
  }
  return !program->empty();
}

}  // namespace

port::Status SimMachine::StartProgram(const ShellExecuteRecord& record) {
  SimAccount* running = RunningAccount();
  std::string account = running ? running->name : std::string();
  std::string program = record.file;
  const std::string_view leaf = LeafName(record.file);
  const bool runas = SameText(leaf, "runas.exe") || SameText(leaf, "runas");
  if (runas) {
    // Without an account or a program runas only prints its usage.
    if (!ParseRunAs(record.parameters, &account, &program)) return port::kErrorSuccess;
    if (!FindAccount(account)) return port::kErrorSuccess;
  }
  if (!files_.Exists(program)) return runas ? port::kErrorSuccess : port::kErrorFileNotFound;
  const bool asRunning = running && SameText(account, running->name);
  processArea_.StartProcess(program, 32, asRunning ? std::string() : account);
  const SimAccount* starter = FindAccount(account);
  // The profile Windows made for the account, which need not carry its name.
  const std::string profile = starter && !starter->profilePath.empty()
                                  ? starter->profilePath
                                  : accounts_.Settings().profilesRoot + "\\" + account;
  for (const IniSection& section : otherSections_) {
    constexpr std::string_view kPrefix = "first-start:";
    if (section.name.size() <= kPrefix.size() ||
        !SameText(std::string_view(section.name).substr(0, kPrefix.size()), kPrefix) ||
        !SameText(std::string_view(section.name).substr(kPrefix.size()), program)) {
      continue;
    }
    for (const IniEntry& entry : section.entries) {
      if (entry.comment || !SameText(entry.name, "folder")) continue;
      const std::string folder = profile + "\\" + entry.value;
      if (!files_.Exists(folder)) files_.AddFolder(folder);
    }
  }
  return port::kErrorSuccess;
}

SimMachine::~SimMachine() = default;

void SimMachine::Configure(std::string_view language, std::string_view profiles,
                           std::string_view windows) {
  shell_.Settings().language = std::string(language);
  if (!profiles.empty()) shell_.Settings().profiles = std::string(profiles);
  if (!windows.empty()) files_.SetWindowsFolder(std::string(windows));
  FollowFolders();
}

void SimMachine::FollowFolders() {
  SimAccountSettings& settings = accounts_.Settings();
  settings.language = shell_.Settings().language;
  settings.profilesRoot = shell_.Settings().profiles;
  settings.majorVersion = system_.Settings().version.majorVersion;
  acls_.InstallDefaults(settings.majorVersion, ProgramFolders());
}

std::vector<std::string> SimMachine::ProgramFolders() const {
  const bool german = accounts_.Settings().language == "de";
  const bool vista = system_.Settings().version.majorVersion >= 6;
  const std::string native = !vista && german ? "C:\\Programme" : "C:\\Program Files";
  if (!system_.Settings().is64BitWindows) return {native};
  return {native + " (x86)", native};
}

SimAccount& SimMachine::AddAccount(std::string_view name, std::string sid) {
  if (!ValidAccountName(name)) {
    throw std::invalid_argument("invalid account name \"" + std::string(name) + "\"");
  }
  if (FindAccount(name)) {
    throw std::invalid_argument("account \"" + std::string(name) + "\" exists already");
  }
  auto sidInUse = [&](std::string_view candidate) {
    return std::any_of(Accounts().begin(), Accounts().end(),
                       [&](const auto& a) { return SameText(a->sid, candidate); });
  };
  if (sid.empty()) {
    // Stable for the name; a clash with an account listed earlier takes the next RID.
    for (std::uint32_t rid = RidForName(name);; ++rid) {
      sid = SidWithRid(rid);
      if (!sidInUse(sid)) break;
    }
  } else if (sidInUse(sid)) {
    throw std::invalid_argument("SID " + sid + " is used by another account");
  }
  SimAccount account;
  account.name = std::string(name);
  account.sid = std::move(sid);
  account.groups = {"Users"};
  account.hive = registry_.NewHive();
  account.settings.name = std::string(kAccountPrefix) + account.name;
  return accounts_.AddUser(std::move(account));
}

SimAccount* SimMachine::FindAccount(std::string_view name) { return accounts_.FindUser(name); }

void SimMachine::SetRunningAccount(std::string_view name) {
  SimAccount* account = FindAccount(name);
  if (!account) throw std::invalid_argument("no account \"" + std::string(name) + "\"");
  if (!mountedSid_.empty()) registry_.UnloadUserHive(mountedSid_);
  mountedSid_.clear();
  registry_.SetCurrentUserHive(account->hive);
  port::HKey root = port::kNoKey;
  if (registry_.LoadUserHive(account->sid, account->hive, &root) == port::kErrorSuccess) {
    (void)registry_.RegCloseKey(root);
    mountedSid_ = account->sid;
  }
  running_ = account->name;
  processArea_.SetCaller(account->name, account->privilege == port::kUserPrivAdmin);
  accounts_.Settings().runningAccount = account->name;
  shell_.Settings().runningAccount = account->name;
}

SimAccount* SimMachine::RunningAccount() {
  return running_.empty() ? nullptr : FindAccount(running_);
}

bool SimMachine::LoadSections(const IniFile& ini, const std::string& iniName,
                              SimFileError* error) {
  auto fail = [&](std::size_t line, std::string message) {
    return Fail(error, iniName, line, std::move(message));
  };
  for (const IniSection& section : ini.sections) {
    if (SameText(section.name, "machine")) continue;
    if (StartsText(kAccountPrefix, section.name)) {
      const std::string name = section.name.substr(kAccountPrefix.size());
      const IniEntry* sid = section.Find("sid");
      port::Sid parsed;
      if (sid && (!StartsText("S-1-", sid->value) ||
                  SidFromString(sid->value, &parsed) != port::kErrorSuccess)) {
        return fail(sid->line, "sid must start with S-1- and be a SID, not \"" + sid->value + "\"");
      }
      SimAccount* account = nullptr;
      try {
        account = &AddAccount(name, sid ? sid->value : std::string());
      } catch (const std::invalid_argument& e) {
        return fail(sid ? sid->line : section.line, e.what());
      }
      std::string message;
      std::size_t line = 0;
      if (!accounts_.ApplyAccountSection(*account, section, &message, &line)) {
        return fail(line, message);
      }
    } else if (StartsText(kProcessPrefix, section.name)) {
      SimProcess process;
      process.settings = section;
      if (!ParseNumber(std::string_view(section.name).substr(kProcessPrefix.size()), &process.id)) {
        return fail(section.line, "a process section is [process:ID], with a number");
      }
      for (const IniEntry& e : section.entries) {
        if (e.comment) continue;
        if (SameText(e.name, "path")) {
          process.path = e.value;
        } else if (SameText(e.name, "bits")) {
          if (e.value != "32" && e.value != "64") return fail(e.line, "bits must be 32 or 64");
          process.bits = e.value == "64" ? 64 : 32;
        } else if (SameText(e.name, "account")) {
          process.account = e.value;
        } else if (SameText(e.name, "open")) {
          if (e.value != "denied") return fail(e.line, "open must be denied");
          process.openRefused = true;
        } else {
          return fail(e.line, "unknown entry \"" + e.name + "\" of a process");
        }
      }
      if (process.path.empty()) return fail(section.line, "a process needs its path");
      processes_.push_back(std::move(process));
    } else if (SameText(section.name, "acl")) {
      aclSection_ = section;
      hadAclSection_ = true;
      for (const IniEntry& e : section.entries) {
        if (e.comment) continue;
        if (!acls_.SetExplicit(e.name, e.value)) {
          return fail(e.line, "not a DACL in SDDL: \"" + e.value + "\"");
        }
      }
    } else {
      otherSections_.push_back(section);
    }
  }
  for (const SimProcess& process : processes_) {
    if (!process.account.empty() && !FindAccount(process.account)) {
      return fail(process.settings.line,
                  "the process's account \"" + process.account + "\" has no account section");
    }
  }
  return true;
}

std::unique_ptr<SimMachine> SimMachine::Load(const std::filesystem::path& folder,
                                             SimFileError* error) {
  const fs::path iniPath = folder / "machine.ini";
  const std::string iniName = iniPath.string();
  IniFile ini;
  if (!ReadIniFile(iniPath, &ini, error)) return nullptr;
  auto fail = [&](std::size_t line, std::string message) {
    Fail(error, iniName, line, std::move(message));
    return nullptr;
  };

  const IniSection* machineSection = ini.Find("machine");
  if (!machineSection) return fail(0, "no [machine] section");
  port::OsVersionInfo version{5, 1, 2600, 2};
  bool is64 = false;
  if (const IniEntry* e = machineSection->Find("version"); e && !ParseVersion(e->value, &version)) {
    return fail(e->line, "version must be major.minor.build, not \"" + e->value + "\"");
  }
  if (const IniEntry* e = machineSection->Find("platform")) {
    if (e->value != "1" && e->value != "2") return fail(e->line, "platform must be 1 or 2");
    version.platformId = e->value == "1" ? 1 : 2;
  }
  if (const IniEntry* e = machineSection->Find("bits")) {
    if (e->value != "32" && e->value != "64") return fail(e->line, "bits must be 32 or 64");
    is64 = e->value == "64";
  }
  std::uint32_t minPasswordLength = 0;
  if (const IniEntry* e = machineSection->Find("min_password_length");
      e && !ParseNumber(e->value, &minPasswordLength)) {
    return fail(e->line, "min_password_length must be a number");
  }

  auto machine = std::make_unique<SimMachine>(is64, version);
  machine->machineSection_ = *machineSection;
  for (const char* key : {"profiles", "windows"}) {
    const IniEntry* e = machineSection->Find(key);
    if (!e) continue;
    if (!IsFullFolderPath(e->value)) {
      return fail(e->line, std::string(key) + " must be a full folder path such as C:\\Folder, not \"" +
                               e->value + "\"");
    }
    std::string folder = e->value;
    if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    if (std::string_view(key) == "windows") {
      machine->files_.SetWindowsFolder(folder);
    } else {
      machine->shell_.Settings().profiles = folder;
    }
  }
  if (const IniEntry* e = machineSection->Find("language")) {
    if (e->value != "en" && e->value != "de") return fail(e->line, "language must be en or de");
    machine->shell_.Settings().language = e->value;
  }
  machine->FollowFolders();
  machine->accounts_.Settings().minPasswordLength = minPasswordLength;
  if (!machine->LoadSections(ini, iniName, error)) return nullptr;
  if (const IniEntry* e = machineSection->Find("running")) {
    if (!machine->FindAccount(e->value)) {
      return fail(e->line, "the running account \"" + e->value + "\" has no [account:" + e->value +
                               "] section");
    }
    machine->SetRunningAccount(e->value);
  }
  if (!machine->ApplyRefusals(iniName, error)) return nullptr;

  std::error_code ec;
  if (fs::is_directory(folder / "drives", ec)) {
    try {
      machine->files_.LoadDrives(folder / "drives");
    } catch (const fs::filesystem_error& e) {
      Fail(error, (folder / "drives").string(), 0, std::string("cannot be read: ") + e.what());
      return nullptr;
    }
  }

  if (!machine->LoadRealism(folder, iniName, error)) return nullptr;

  std::vector<fs::path> machineFiles;
  if (!RegFiles(folder / "registry", &machineFiles, error)) return nullptr;
  for (const fs::path& file : machineFiles) {
    if (!ImportRegFile(file, RegImportTarget{machine->registry_, nullptr, RegRoots::kMachine},
                       error)) {
      return nullptr;
    }
  }
  std::vector<fs::path> hiveFiles;
  if (!RegFiles(folder / "hives", &hiveFiles, error)) return nullptr;
  for (const fs::path& file : hiveFiles) {
    SimAccount* account = machine->FindAccount(file.stem().string());
    if (!account) {
      Fail(error, file.string(), 0,
           "no account named \"" + file.stem().string() + "\" in machine.ini");
      return nullptr;
    }
    if (!ImportRegFile(file,
                       RegImportTarget{machine->registry_, account->hive, RegRoots::kCurrentUser},
                       error)) {
      return nullptr;
    }
  }
  machine->AddProfileListDefaults();
  return machine;
}

bool SimMachine::ApplyRefusals(const std::string& iniName, SimFileError* error) {
  for (const IniSection& section : otherSections_) {
    if (!SameText(section.name, "refuse")) continue;
    for (const IniEntry& e : section.entries) {
      if (e.comment) continue;
      if (e.value != "write") {
        return Fail(error, iniName, e.line, "a refusal is \"write\", not \"" + e.value + "\"");
      }
      try {
        if (StartsText("HK", e.name)) {
          registry_.RefuseValueWrites(e.name);
        } else if (IsFullFolderPath(e.name)) {
          files_.RefuseWritesIn(e.name);
        } else {
          return Fail(error, iniName, e.line,
                      "a refusal names a registry key (HKCU\\...) or a folder (C:\\...), not \"" +
                          e.name + "\"");
        }
      } catch (const std::invalid_argument& bad) {
        return Fail(error, iniName, e.line, bad.what());
      }
    }
  }
  return true;
}

bool SimMachine::Save(const std::filesystem::path& folder, SimFileError* error) {
  const fs::path registryFolder = folder / "registry";
  const fs::path hivesFolder = folder / "hives";
  for (const fs::path& sub : {registryFolder, hivesFolder}) {
    std::error_code ec;
    fs::create_directories(sub, ec);
    if (ec) return Fail(error, sub.string(), 0, "cannot be created: " + ec.message());
    std::vector<fs::path> stale;
    if (!RegFiles(sub, &stale, error)) return false;
    for (const fs::path& file : stale) {
      if (!fs::remove(file, ec) || ec) return Fail(error, file.string(), 0, "cannot be removed");
    }
  }
  try {
    fs::remove_all(folder / "drives");
    files_.SaveDrives(folder / "drives");
  } catch (const fs::filesystem_error& e) {
    return Fail(error, (folder / "drives").string(), 0,
                std::string("cannot be written: ") + e.what());
  }
  if (!ExportRegFile(registryFolder / "machine.reg", registry_.MachineHive(), "HKEY_LOCAL_MACHINE",
                     error)) {
    return false;
  }
  for (const auto& account : Accounts()) {
    if (!account->hive) continue;
    if (!ExportRegFile(hivesFolder / (account->name + ".reg"), *account->hive, "HKEY_CURRENT_USER",
                       error)) {
      return false;
    }
  }

  IniFile ini;
  IniSection machine = machineSection_;
  machine.name = "machine";
  const port::OsVersionInfo& version = system_.Settings().version;
  machine.Set("version", std::to_string(version.majorVersion) + "." +
                             std::to_string(version.minorVersion) + "." +
                             std::to_string(version.buildNumber));
  machine.Set("platform", std::to_string(version.platformId));
  machine.Set("bits", registry_.Is64BitWindows() ? "64" : "32");
  machine.Set("profiles", shell_.Settings().profiles);
  machine.Set("windows", files_.WindowsFolder());
  machine.Set("language", shell_.Settings().language);
  const std::uint32_t minPasswordLength = accounts_.Settings().minPasswordLength;
  if (minPasswordLength != 0 || machine.Find("min_password_length")) {
    machine.Set("min_password_length", std::to_string(minPasswordLength));
  }
  if (running_.empty()) {
    machine.Remove("running");
  } else {
    machine.Set("running", running_);
  }
  ini.sections.push_back(std::move(machine));
  for (const auto& account : Accounts()) {
    ini.sections.push_back(accounts_.SaveAccountSection(*account));
  }
  for (const SimProcess& process : processes_) {
    IniSection section = process.settings;
    section.name = std::string(kProcessPrefix) + std::to_string(process.id);
    section.Set("path", process.path);
    section.Set("bits", std::to_string(process.bits));
    if (!process.account.empty() || section.Find("account")) {
      section.Set("account", process.account);
    }
    if (process.openRefused) {
      section.Set("open", "denied");
    } else {
      section.Remove("open");
    }
    ini.sections.push_back(std::move(section));
  }
  // The [acl] section as read, its values brought up to date; new paths at its end.
  const std::vector<std::pair<std::string, std::string>> acls = acls_.SaveEntries();
  IniSection acl = aclSection_;
  acl.name = "acl";
  std::vector<IniEntry> kept;
  for (const IniEntry& e : acl.entries) {
    if (e.comment) {
      kept.push_back(e);
      continue;
    }
    if (auto sddl = acls_.Explicit(e.name)) kept.push_back(IniEntry{e.name, *sddl, false, e.line});
  }
  acl.entries = std::move(kept);
  for (const auto& [path, sddl] : acls) {
    if (!acl.Find(path)) acl.entries.push_back(IniEntry{path, sddl, false, 0});
  }
  if (hadAclSection_ || !acls.empty()) ini.sections.push_back(std::move(acl));
  ini.sections.insert(ini.sections.end(), otherSections_.begin(), otherSections_.end());
  if (!SaveRealism(folder, ini, error)) return false;
  return WriteIniFile(folder / "machine.ini", ini, error);
}

// --- default profile, junctions, free space ---

namespace {

constexpr std::string_view kJunctionPrefix = "junction:";
constexpr std::string_view kDrivePrefix = "drive:";
constexpr std::string_view kDefaultProfileFile = "default-profile.reg";
constexpr std::string_view kMachineProfileList =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

bool ParseJunctionAttributes(std::string_view text, std::uint32_t* attributes) {
  *attributes = 0;
  while (!text.empty()) {
    const std::size_t comma = text.find(',');
    std::string_view word = text.substr(0, comma);
    while (!word.empty() && word.front() == ' ') word.remove_prefix(1);
    while (!word.empty() && word.back() == ' ') word.remove_suffix(1);
    if (SameText(word, "hidden")) {
      *attributes |= port::kFileAttributeHidden;
    } else if (SameText(word, "system")) {
      *attributes |= port::kFileAttributeSystem;
    } else if (SameText(word, "readonly")) {
      *attributes |= port::kFileAttributeReadOnly;
    } else if (!word.empty()) {
      return false;
    }
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return true;
}

std::string JunctionAttributesText(std::uint32_t attributes) {
  std::string text;
  for (const auto& [bit, word] : {std::pair{port::kFileAttributeHidden, "hidden"},
                                  std::pair{port::kFileAttributeSystem, "system"},
                                  std::pair{port::kFileAttributeReadOnly, "readonly"}}) {
    if ((attributes & bit) == 0) continue;
    if (!text.empty()) text += ',';
    text += word;
  }
  return text;
}

void CopyHiveTree(const SimHive& from, SimHive& to, const std::string& path) {
  if (!path.empty()) to.AddKey(path);
  for (const SimValue& value : from.Values(path)) to.SetValue(path, value.name, value.type, value.data);
  for (const std::string& name : from.SubKeyNames(path)) {
    CopyHiveTree(from, to, path.empty() ? name : path + "\\" + name);
  }
}

bool StartsWithFolder(std::string_view path, std::string_view folder) {
  return path.size() > folder.size() && path[folder.size()] == '\\' &&
         SameText(path.substr(0, folder.size()), folder);
}

}  // namespace

std::string SimMachine::DefaultProfilePath() const {
  if (!defaultProfile_.empty()) return defaultProfile_;
  const bool vista = system_.Settings().version.majorVersion >= 6;
  return shell_.Settings().profiles + (vista ? "\\Default" : "\\Default User");
}

SimHive& SimMachine::DefaultProfileHive() {
  if (!defaultHive_) defaultHive_ = registry_.NewHive();
  return *defaultHive_;
}

bool SimMachine::LoadRealism(const fs::path& folder, const std::string& iniName,
                             SimFileError* error) {
  auto fail = [&](std::size_t line, std::string message) {
    return Fail(error, iniName, line, std::move(message));
  };
  if (const IniEntry* e = machineSection_.Find("computer")) {
    if (e->value.empty() || e->value.find_first_of("\\/:*?\"<>| .") != std::string::npos) {
      return fail(e->line, "computer must be a computer name, not \"" + e->value + "\"");
    }
    accounts_.Settings().computerName = e->value;
  }
  if (const IniEntry* e = machineSection_.Find("default_profile")) {
    if (!IsFullFolderPath(e->value)) {
      return fail(e->line, "default_profile must be a full folder path, not \"" + e->value + "\"");
    }
    defaultProfile_ = e->value;
    if (defaultProfile_.size() > 3 && defaultProfile_.back() == '\\') defaultProfile_.pop_back();
  }
  std::vector<IniSection> kept;
  for (IniSection& section : otherSections_) {
    if (StartsText(kDrivePrefix, section.name)) {
      const std::string drive = section.name.substr(kDrivePrefix.size());
      if (drive.size() != 1 || !std::isalpha(static_cast<unsigned char>(drive[0]))) {
        return fail(section.line, "a drive section is [drive:X], with one letter");
      }
      for (const IniEntry& e : section.entries) {
        if (e.comment) continue;
        if (!SameText(e.name, "free")) return fail(e.line, "unknown entry \"" + e.name + "\" of a drive");
        std::uint64_t bytes = 0;
        const auto [end, ec] = std::from_chars(e.value.data(), e.value.data() + e.value.size(), bytes);
        if (ec != std::errc() || end != e.value.data() + e.value.size() || e.value.empty()) {
          return fail(e.line, "free must be a number of bytes, not \"" + e.value + "\"");
        }
        files_.SetFreeBytes(drive[0], bytes);
      }
    } else if (StartsText(kJunctionPrefix, section.name)) {
      const std::string path = section.name.substr(kJunctionPrefix.size());
      const IniEntry* target = section.Find("target");
      std::uint32_t attributes = 0;
      for (const IniEntry& e : section.entries) {
        if (e.comment) continue;
        if (SameText(e.name, "attributes")) {
          if (!ParseJunctionAttributes(e.value, &attributes)) {
            return fail(e.line, "attributes are hidden, system or readonly, not \"" + e.value + "\"");
          }
        } else if (!SameText(e.name, "target")) {
          return fail(e.line, "unknown entry \"" + e.name + "\" of a junction");
        }
      }
      if (!IsFullFolderPath(path)) return fail(section.line, "a junction is [junction:C:\\PATH]");
      if (!target || !IsFullFolderPath(target->value)) {
        return fail(target ? target->line : section.line, "a junction needs a full target folder path");
      }
      try {
        files_.AddJunction(path, target->value, attributes);
      } catch (const std::invalid_argument& e) {
        return fail(section.line, e.what());
      }
    } else {
      kept.push_back(std::move(section));
    }
  }
  otherSections_ = std::move(kept);
  const fs::path hiveFile = folder / kDefaultProfileFile;
  std::error_code ec;
  if (fs::exists(hiveFile, ec)) {
    (void)DefaultProfileHive();
    if (!ImportRegFile(hiveFile, RegImportTarget{registry_, defaultHive_, RegRoots::kCurrentUser},
                       error)) {
      return false;
    }
  }
  return true;
}

void SimMachine::AddProfileListDefaults() {
  // Windows names its profile folders in the ProfileList key; a machine folder that does not
  // gets the values of its version.
  const std::string key(kMachineProfileList);
  auto drive = [](const std::string& path) {
    return path.size() >= 2 && path[1] == ':' ? "%SystemDrive%" + path.substr(2) : path;
  };
  const std::string defaults = DefaultProfilePath();
  if (!registry_.GetValue(key, "ProfilesDirectory")) {
    registry_.SetString(key, "ProfilesDirectory", drive(shell_.Settings().profiles), port::kRegExpandSz);
  }
  if (system_.Settings().version.majorVersion >= 6) {
    if (!registry_.GetValue(key, "Default")) {
      registry_.SetString(key, "Default", drive(defaults), port::kRegExpandSz);
    }
  } else if (!registry_.GetValue(key, "DefaultUserProfile")) {
    registry_.SetString(key, "DefaultUserProfile", defaults.substr(defaults.rfind('\\') + 1));
  }
}

bool SimMachine::SaveRealism(const fs::path& folder, IniFile& ini, SimFileError* error) {
  IniSection* machine = ini.Find("machine");
  if (machine && machine->Find("computer")) machine->Set("computer", accounts_.Settings().computerName);
  for (const SimFileSystem::Junction& junction : files_.Junctions()) {
    IniSection section{std::string(kJunctionPrefix) + junction.path, 0, {}};
    section.Set("target", junction.target);
    if (junction.attributes != 0) section.Set("attributes", JunctionAttributesText(junction.attributes));
    ini.sections.push_back(std::move(section));
  }
  for (const auto& [drive, bytes] : files_.FreeSpaceLimits()) {
    IniSection section{std::string(kDrivePrefix) + drive, 0, {}};
    section.Set("free", std::to_string(bytes));
    ini.sections.push_back(std::move(section));
  }
  const fs::path hiveFile = folder / kDefaultProfileFile;
  std::error_code ec;
  fs::remove(hiveFile, ec);
  if (defaultHive_ && !ExportRegFile(hiveFile, *defaultHive_, "HKEY_CURRENT_USER", error)) return false;
  return true;
}

port::Status SimMachine::MakeProfileFromDefault(const std::string& profilePath, SimHive& hive) {
  if (defaultHive_) CopyHiveTree(*defaultHive_, hive, "");
  const std::string source = DefaultProfilePath();
  if (!files_.IsFolder(source)) return port::kErrorSuccess;
  // Files and folders as the profile copy of Windows makes them; junctions are made below.
  std::vector<std::pair<std::string, std::string>> pending{{source, profilePath}};
  while (!pending.empty()) {
    const auto [from, to] = pending.back();
    pending.pop_back();
    port::FindData entry;
    port::HFind find = 0;
    if (files_.FindFirstFile(from + "\\*", &entry, &find) != port::kErrorSuccess) continue;
    do {
      if (entry.name == "." || entry.name == "..") continue;
      if (entry.attributes & port::kFileAttributeReparsePoint) continue;
      const std::string child = from + "\\" + entry.name;
      const std::string copy = to + "\\" + entry.name;
      if (entry.attributes & port::kFileAttributeDirectory) {
        const port::Status made = files_.CreateDirectory(copy);
        if (made != port::kErrorSuccess && made != port::kErrorAlreadyExists) {
          (void)files_.FindClose(find);
          return made;
        }
        (void)files_.SetFileAttributes(copy, entry.attributes & ~port::kFileAttributeDirectory);
        pending.emplace_back(child, copy);
      } else if (const port::Status copied = files_.CopyFile(child, copy, false);
                 copied != port::kErrorSuccess) {
        (void)files_.FindClose(find);
        return copied;
      }
    } while (files_.FindNextFile(find, &entry) == port::kErrorSuccess);
    (void)files_.FindClose(find);
  }
  for (const SimFileSystem::Junction& junction : files_.Junctions()) {
    if (!StartsWithFolder(junction.path, source)) continue;
    const std::string path = profilePath + junction.path.substr(source.size());
    const std::string target = StartsWithFolder(junction.target, source) || SameText(junction.target, source)
                                   ? profilePath + junction.target.substr(source.size())
                                   : junction.target;
    try {
      files_.AddJunction(path, target, junction.attributes);
    } catch (const std::invalid_argument&) {
      continue;  // its target is not in the new profile
    }
    if (const std::optional<std::string> dacl = acls_.Explicit(junction.path)) {
      (void)acls_.SetExplicit(path, *dacl);
    }
  }
  return port::kErrorSuccess;
}

}  // namespace ombrant::sim
