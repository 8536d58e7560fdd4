// The contract suites natively: a fresh simulated machine per test.
#include <gtest/gtest.h>

#include "platform/sim/simAccounts.h"
#include "platform/sim/simFileSystem.h"
#include "platform/sim/simRegistry.h"
#include "platform/sim/simSecurity.h"
#include "platform/sim/simShell.h"
#include "platform/sim/simSystem.h"
#include "platform/sim/simTempFolder.h"
#include "platform/sim/simUi.h"
#include "tests/contract/ContractEnv.h"

namespace ombrant::test {
namespace {

class SimContractEnv final : public ContractEnv {
 public:
  SimContractEnv() {
    registry_.AddKey("HKEY_CURRENT_USER\\" + TestKeyPath());
    files_.AddFolder("C:\\Documents and Settings");
    files_.AddFolder("C:\\Program Files");
    acls_.InstallDefaults(5, {"C:\\Program Files"});
    sim::SimUser admin;
    admin.name = "Admin";
    admin.password = "secret";
    admin.privilege = port::kUserPrivAdmin;
    admin.groups = {"Administrators"};
    admin.hasProfile = true;
    admin.profilePath = "C:\\Documents and Settings\\Admin";
    admin.hive = registry_.CurrentUserHive();
    accounts_.AddUser(std::move(admin));
    accounts_.Settings().runningAccount = "Admin";
  }
  ~SimContractEnv() override {
    // Every suite closes what it opens; a leak here is a fault of the test or of the port user.
    EXPECT_EQ(registry_.OpenHandleCount(), 0u) << "registry handles left open";
    EXPECT_EQ(accounts_.OpenTokenCount(), 0u) << "logon tokens left open";
    EXPECT_EQ(accounts_.LoadedProfileCount(), 0u) << "user profiles left loaded";
  }

  port::Port& Port() override { return port_; }
  bool IsSimulated() const override { return true; }
  bool IsWine() const override { return false; }
  std::string TestKeyPath() const override { return "Software\\Ombrant\\Test"; }

 private:
  sim::SimRegistry registry_{false};
  sim::SimSystem system_;
  sim::SimTempFolder host_;
  sim::SimFileSystem files_{host_.Path()};
  sim::SimShell shell_{files_, system_};
  sim::SimUi ui_;
  sim::SimFileAcls acls_{files_};
  sim::SimAccounts accounts_{registry_, files_, acls_};
  sim::SimSecurity security_{accounts_, acls_};
  port::Port port_{registry_, system_, files_, shell_, ui_, accounts_, security_};
};

}  // namespace

std::unique_ptr<ContractEnv> MakeContractEnv() { return std::make_unique<SimContractEnv>(); }

}  // namespace ombrant::test
