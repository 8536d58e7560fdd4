// A whole simulated Windows machine: the port areas it implements, its accounts, and the
// machine folder it is loaded from and saved to (machine.ini, drives/, registry/*.reg,
// hives/*.reg).
//
// Each area owns its part of the folder. Sections of machine.ini that no area reads yet are
// kept as they are and written back unchanged.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/port/kvrPort.h"
#include "platform/sim/simAccounts.h"
#include "platform/sim/simFileError.h"
#include "platform/sim/simFileSystem.h"
#include "platform/sim/simIni.h"
#include "platform/sim/simProcesses.h"
#include "platform/sim/simRegistry.h"
#include "platform/sim/simSecurity.h"
#include "platform/sim/simShell.h"
#include "platform/sim/simSystem.h"
#include "platform/sim/simTempFolder.h"
#include "platform/sim/simUi.h"

namespace ombrant::sim {

// The SID Windows would give a local account of this name on the simulated machine: stable for
// the name (case ignored); Administrator and Guest get their well-known RIDs 500 and 501.
[[nodiscard]] std::string SidForAccountName(std::string_view name);

class SimMachine {
 public:
  explicit SimMachine(bool is64BitWindows = false, port::OsVersionInfo version = {5, 1, 2600, 2});
  ~SimMachine();
  SimMachine(const SimMachine&) = delete;
  SimMachine& operator=(const SimMachine&) = delete;

  [[nodiscard]] SimRegistry& Registry() { return registry_; }
  [[nodiscard]] SimSystem& System() { return system_; }
  // The drives live in a private host folder removed with the machine. The Windows folder is
  // the file system's, the profile root and language the shell's; by default they are those of
  // the version (XP: C:\WINDOWS and C:\Documents and Settings; Vista on: C:\Windows, C:\Users).
  [[nodiscard]] SimFileSystem& Files() { return files_; }
  [[nodiscard]] SimShell& Shell() { return shell_; }
  [[nodiscard]] SimUi& Ui() { return ui_; }
  [[nodiscard]] SimFileAcls& Acls() { return acls_; }
  [[nodiscard]] SimAccounts& AccountDatabase() { return accounts_; }
  [[nodiscard]] SimSecurity& Security() { return security_; }
  [[nodiscard]] port::Port Port() {
    return port::Port{registry_, system_, files_, shell_, ui_, accounts_, security_, processArea_};
  }

  // The machine's language ("en" or "de") and folders; empty folders stay as they are. The
  // shell, the accounts and the standard DACLs of the program folders follow them.
  void Configure(std::string_view language, std::string_view profiles = {},
                 std::string_view windows = {});
  // The program folders a 32-bit program sees first, then the 64-bit one on 64-bit Windows.
  [[nodiscard]] std::vector<std::string> ProgramFolders() const;

  // A new account with an empty hive; the SID is generated when none is given. Throws
  // std::invalid_argument for a name or SID already in use.
  SimAccount& AddAccount(std::string_view name, std::string sid = {});
  [[nodiscard]] SimAccount* FindAccount(std::string_view name);
  [[nodiscard]] const std::vector<std::unique_ptr<SimAccount>>& Accounts() const {
    return accounts_.All();
  }
  // The account that runs the program: its hive becomes HKEY_CURRENT_USER and is loaded as
  // HKEY_USERS\<sid>, as on a logged-on Windows. Throws std::invalid_argument when unknown.
  void SetRunningAccount(std::string_view name);
  [[nodiscard]] SimAccount* RunningAccount();

  [[nodiscard]] std::vector<SimProcess>& Processes() { return processes_; }
  [[nodiscard]] SimProcesses& ProcessArea() { return processArea_; }

  // What a ShellExecute does on this machine (the shell calls it; tests may too): the program,
  // or for runas.exe the program inside its quoted argument under the account of "/user:NAME",
  // becomes a running process of that account; on its start the folders of its [first-start:PATH]
  // section that are missing are created in that account's profile, as the real program would
  // make them. A program file that does not exist starts nothing and fails with
  // ERROR_FILE_NOT_FOUND, unless runas started it (runas reports its own errors in its console).
  port::Status StartProgram(const ShellExecuteRecord& record);

  // The [machine] section; version, platform, bits, running, profiles, windows, language and
  // min_password_length are rewritten from the machine on save, every other key is kept.
  [[nodiscard]] IniSection& MachineSection() { return machineSection_; }
  // Sections of machine.ini no area reads yet, in file order, written back as they are.
  [[nodiscard]] std::vector<IniSection>& OtherSections() { return otherSections_; }

  // --- what real machines have: the default profile, junctions, drives' free space ---
  // The default profile's folder ([machine] default_profile=; by default P\Default User before
  // Vista, P\Default from Vista on) and hive (default-profile.reg). A new profile is made from
  // them as Windows makes it: the folder's files and folders are copied, its junctions made
  // again pointing into the new profile (with their explicit DACLs), the hive copied.
  [[nodiscard]] std::string DefaultProfilePath() const;
  void SetDefaultProfilePath(std::string path) { defaultProfile_ = std::move(path); }
  [[nodiscard]] SimHive& DefaultProfileHive();

  // Loads a machine folder. A machine that cannot be read loads nothing: null, and `error`
  // names the file and the line.
  [[nodiscard]] static std::unique_ptr<SimMachine> Load(const std::filesystem::path& folder,
                                                        SimFileError* error);
  // Writes machine.ini (accounts as they are now, each with its sid and groups; the explicit
  // DACLs in [acl]), registry/machine.reg (all of HKLM), hives/ACCOUNT.reg per account and the
  // drives (drives/C/...). Other .reg files in registry/ and hives/, and whatever drives/ held,
  // are removed, as they would be read back.
  [[nodiscard]] bool Save(const std::filesystem::path& folder, SimFileError* error);

 private:
  [[nodiscard]] bool LoadSections(const IniFile& ini, const std::string& iniName,
                                  SimFileError* error);
  // Brings the accounts and the standard DACLs in line with the shell's language and folders.
  void FollowFolders();
  // The [refuse] section: registry keys whose values and folders whose files the running
  // account may not change. Read once the running account's hive is HKCU; written back as read.
  [[nodiscard]] bool ApplyRefusals(const std::string& iniName, SimFileError* error);
  // The default profile, junctions and free space of a machine folder, after its drives.
  [[nodiscard]] bool LoadRealism(const std::filesystem::path& folder, const std::string& iniName,
                                 SimFileError* error);
  [[nodiscard]] bool SaveRealism(const std::filesystem::path& folder, IniFile& ini,
                                 SimFileError* error);
  port::Status MakeProfileFromDefault(const std::string& profilePath, SimHive& hive);
  void AddProfileListDefaults();

  SimRegistry registry_;
  SimSystem system_;
  SimTempFolder drives_{"ombrant-drives"};
  SimFileSystem files_;
  SimShell shell_;
  SimUi ui_;
  SimFileAcls acls_;
  SimAccounts accounts_;
  SimSecurity security_;
  std::string running_;
  std::string mountedSid_;  // the running account's hive, as loaded under HKEY_USERS
  std::vector<SimProcess> processes_;
  SimProcesses processArea_{processes_, system_};
  IniSection machineSection_{"machine", 0, {}};
  IniSection aclSection_{"acl", 0, {}};  // as read: comments and order are kept on save
  bool hadAclSection_ = false;
  std::vector<IniSection> otherSections_;
  std::string defaultProfile_;  // empty: the version's default
  std::shared_ptr<SimHive> defaultHive_;
};

}  // namespace ombrant::sim
