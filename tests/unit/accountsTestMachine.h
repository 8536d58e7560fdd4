// A simulated machine with accounts and file security, in the flavours the account and
// security tests run on.
#pragma once

#include <string>
#include <vector>

#include "platform/port/kvrPort.h"
#include "platform/sim/simAccounts.h"
#include "platform/sim/simFileSystem.h"
#include "platform/sim/simRegistry.h"
#include "platform/sim/simSecurity.h"
#include "platform/sim/simShell.h"
#include "platform/sim/simSystem.h"
#include "platform/sim/simTempFolder.h"
#include "platform/sim/simUi.h"

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

inline constexpr MachineFlavour kXpEnglish{
    "XP English", {5, 1, 2600, 2}, false, "en", "C:\\Documents and Settings", "C:\\WINDOWS",
    "C:\\Program Files", "C:\\Program Files"};
inline constexpr MachineFlavour kXpGerman{
    "XP German", {5, 1, 2600, 2}, false, "de", "C:\\Dokumente und Einstellungen", "C:\\WINDOWS",
    "C:\\Programme", "C:\\Programme"};
inline constexpr MachineFlavour kVista{"Vista",           {6, 0, 6002, 2}, false, "en",
                                       "C:\\Users",       "C:\\Windows",   "C:\\Program Files",
                                       "C:\\Program Files"};
inline constexpr MachineFlavour kSeven64{
    "Windows 7 x64", {6, 1, 7601, 2}, true, "en", "C:\\Users", "C:\\Windows",
    "C:\\Program Files (x86)", "C:\\Program Files"};

// Run by the administrator "Admin"; "Anna" is a standard user without a profile yet, "Guest"
// the disabled guest account.
class AccountsTestMachine {
 public:
  explicit AccountsTestMachine(const MachineFlavour& flavour = kXpEnglish)
      : flavour_(flavour),
        registry_(flavour.is64),
        system_(sim::SimSystemSettings{flavour.version, flavour.is64}),
        files_(host_.Path(), flavour.windows),
        shell_(files_, system_, {flavour.profiles, flavour.language, "Admin", {}}),
        acls_(files_),
        accounts_(registry_, files_, acls_, Settings(flavour)),
        security_(accounts_, acls_) {
    files_.AddFolder(std::string(flavour.windows) + "\\system32");
    files_.AddFolder(std::string(flavour.profiles) + "\\Admin\\Desktop");
    files_.AddFolder(flavour.programFiles);
    files_.AddFolder(flavour.nativeProgramFiles);
    std::vector<std::string> programFolders{flavour.nativeProgramFiles};
    if (flavour.is64) programFolders.emplace_back(flavour.programFiles);
    acls_.InstallDefaults(flavour.version.majorVersion, programFolders);

    sim::SimUser admin;
    admin.name = "Admin";
    admin.password = "secret";
    admin.privilege = port::kUserPrivAdmin;
    admin.groups = {"Administrators"};
    admin.hasProfile = true;
    admin.profilePath = std::string(flavour.profiles) + "\\Admin";
    admin.hive = registry_.CurrentUserHive();
    accounts_.AddUser(std::move(admin));
    sim::SimUser guest;
    guest.name = flavour.language == std::string("de") ? "Gast" : "Guest";
    guest.privilege = port::kUserPrivGuest;
    guest.flags = port::kUfNormalAccount | port::kUfAccountDisable;
    guest.groups = {"Guests"};
    accounts_.AddUser(std::move(guest));
    sim::SimUser anna;
    anna.name = "Anna";
    anna.password = "wopa";
    anna.groups = {"Users"};
    accounts_.AddUser(std::move(anna));
  }

  [[nodiscard]] port::Port& Port() { return port_; }
  [[nodiscard]] const MachineFlavour& Flavour() const { return flavour_; }
  sim::SimRegistry& Registry() { return registry_; }
  sim::SimFileSystem& Files() { return files_; }
  sim::SimFileAcls& Acls() { return acls_; }
  sim::SimAccounts& Accounts() { return accounts_; }
  sim::SimSecurity& Security() { return security_; }
  void RunAs(const std::string& account) { accounts_.Settings().runningAccount = account; }
  [[nodiscard]] std::string SidOf(const std::string& account) const {
    const sim::SimUser* user = accounts_.FindUser(account);
    return user ? accounts_.UserSid(*user) : std::string();
  }

 private:
  static sim::SimAccountSettings Settings(const MachineFlavour& flavour) {
    sim::SimAccountSettings settings;
    settings.language = flavour.language;
    settings.majorVersion = flavour.version.majorVersion;
    settings.profilesRoot = flavour.profiles;
    settings.runningAccount = "Admin";
    return settings;
  }

  MachineFlavour flavour_;
  sim::SimTempFolder host_;
  sim::SimRegistry registry_;
  sim::SimSystem system_;
  sim::SimFileSystem files_;
  sim::SimShell shell_;
  sim::SimUi ui_;
  sim::SimFileAcls acls_;
  sim::SimAccounts accounts_;
  sim::SimSecurity security_;
  port::Port port_{registry_, system_, files_, shell_, ui_, accounts_, security_};
};

}  // namespace ombrant::test
