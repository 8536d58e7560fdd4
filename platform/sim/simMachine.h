// A whole simulated Windows machine: the port areas it implements, its accounts, and the
// machine folder it is loaded from and saved to (machine.ini, registry/*.reg, hives/*.reg).
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
#include "platform/sim/simFileError.h"
#include "platform/sim/simIni.h"
#include "platform/sim/simRegistry.h"
#include "platform/sim/simSystem.h"

namespace ombrant::sim {

struct SimAccount {
  std::string name;
  std::string sid;
  std::shared_ptr<SimHive> hive;  // its own hive: HKCU while it runs
  // Every key of its [account:NAME] section, in file order (sid included when it was there).
  IniSection settings;
};

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
  [[nodiscard]] port::Port Port() { return port::Port{registry_, system_}; }

  // A new account with an empty hive; the SID is generated when none is given. Throws
  // std::invalid_argument for a name or SID already in use.
  SimAccount& AddAccount(std::string_view name, std::string sid = {});
  [[nodiscard]] SimAccount* FindAccount(std::string_view name);
  [[nodiscard]] const std::vector<std::unique_ptr<SimAccount>>& Accounts() const {
    return accounts_;
  }
  // The account that runs the program: its hive becomes HKEY_CURRENT_USER and is loaded as
  // HKEY_USERS\<sid>, as on a logged-on Windows. Throws std::invalid_argument when unknown.
  void SetRunningAccount(std::string_view name);
  [[nodiscard]] SimAccount* RunningAccount();

  // The [machine] section; version, platform, bits and running are rewritten from the machine
  // on save, every other key is kept.
  [[nodiscard]] IniSection& MachineSection() { return machineSection_; }
  // Sections of machine.ini no area reads yet, in file order, written back as they are.
  [[nodiscard]] std::vector<IniSection>& OtherSections() { return otherSections_; }

  // Loads a machine folder. A machine that cannot be read loads nothing: null, and `error`
  // names the file and the line.
  [[nodiscard]] static std::unique_ptr<SimMachine> Load(const std::filesystem::path& folder,
                                                        SimFileError* error);
  // Writes machine.ini, registry/machine.reg (all of HKLM) and hives/ACCOUNT.reg per account.
  // Other .reg files in registry/ and hives/ are removed, as they would be read back.
  [[nodiscard]] bool Save(const std::filesystem::path& folder, SimFileError* error);

 private:
  SimRegistry registry_;
  SimSystem system_;
  std::vector<std::unique_ptr<SimAccount>> accounts_;
  std::string running_;
  std::string mountedSid_;  // the running account's hive, as loaded under HKEY_USERS
  IniSection machineSection_{"machine", 0, {}};
  std::vector<IniSection> otherSections_;
};

}  // namespace ombrant::sim
