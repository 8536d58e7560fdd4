// A simulated machine with accounts and file security, in the flavours the account and
// security tests run on.
#pragma once

#include <string>
#include <vector>

#include "platform/port/kvrPort.h"
#include "platform/sim/simMachine.h"

namespace ombrant::test {

struct MachineFlavour {
  const char* name;
  port::OsVersionInfo version;
  bool is64;
  const char* language;
  const char* profiles;
  const char* windows;
  const char* programFiles;  // the 32-bit program's
  const char* nativeProgramFiles;
};

inline constexpr MachineFlavour kXpEnglish{"XP English",
                                           {5, 1, 2600, 2},
                                           false,
                                           "en",
                                           "C:\\Documents and Settings",
                                           "C:\\WINDOWS",
                                           "C:\\Program Files",
                                           "C:\\Program Files"};
inline constexpr MachineFlavour kXpGerman{
    "XP German",   {5, 1, 2600, 2}, false,          "de", "C:\\Dokumente und Einstellungen",
    "C:\\WINDOWS", "C:\\Programme", "C:\\Programme"};
inline constexpr MachineFlavour kVista{"Vista",
                                       {6, 0, 6002, 2},
                                       false,
                                       "en",
                                       "C:\\Users",
                                       "C:\\Windows",
                                       "C:\\Program Files",
                                       "C:\\Program Files"};
inline constexpr MachineFlavour kSeven64{
    "Windows 7 x64",           {6, 1, 7601, 2},    true, "en", "C:\\Users", "C:\\Windows",
    "C:\\Program Files (x86)", "C:\\Program Files"};

// Run by the administrator "Admin"; "Anna" is a standard user without a profile yet, "Guest"
// the disabled guest account.
class AccountsTestMachine {
 public:
  explicit AccountsTestMachine(const MachineFlavour& flavour = kXpEnglish)
      : flavour_(flavour), machine_(flavour.is64, flavour.version) {
    machine_.Configure(flavour.language, flavour.profiles, flavour.windows);
    machine_.Files().AddFolder(std::string(flavour.windows) + "\\system32");
    machine_.Files().AddFolder(std::string(flavour.profiles) + "\\Admin\\Desktop");
    for (const std::string& folder : machine_.ProgramFolders()) machine_.Files().AddFolder(folder);

    sim::SimAccount& admin = machine_.AddAccount("Admin");
    admin.password = "secret";
    admin.privilege = port::kUserPrivAdmin;
    admin.groups = {"Administrators"};
    admin.hasProfile = true;
    sim::SimAccount& guest =
        machine_.AddAccount(flavour.language == std::string("de") ? "Gast" : "Guest");
    guest.privilege = port::kUserPrivGuest;
    guest.flags = port::kUfNormalAccount | port::kUfAccountDisable;
    guest.groups = {"Guests"};
    sim::SimAccount& anna = machine_.AddAccount("Anna");
    anna.password = "wopa";
    machine_.SetRunningAccount("Admin");
  }

  [[nodiscard]] port::Port& Port() { return port_; }
  [[nodiscard]] const MachineFlavour& Flavour() const { return flavour_; }
  sim::SimMachine& Machine() { return machine_; }
  sim::SimRegistry& Registry() { return machine_.Registry(); }
  sim::SimFileSystem& Files() { return machine_.Files(); }
  sim::SimFileAcls& Acls() { return machine_.Acls(); }
  sim::SimAccounts& Accounts() { return machine_.AccountDatabase(); }
  sim::SimSecurity& Security() { return machine_.Security(); }
  // Who the account calls take as the running account (HKCU stays the administrator's).
  void RunAs(const std::string& account) { Accounts().Settings().runningAccount = account; }
  [[nodiscard]] std::string SidOf(const std::string& account) {
    const sim::SimUser* user = Accounts().FindUser(account);
    return user ? user->sid : std::string();
  }

 private:
  MachineFlavour flavour_;
  sim::SimMachine machine_;
  port::Port port_ = machine_.Port();
};

}  // namespace ombrant::test
