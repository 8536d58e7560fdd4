// The contract suites natively: a fresh simulated machine per test (a 32-bit English Windows
// XP, run by the administrator "Admin").
#include <gtest/gtest.h>

#include "platform/sim/simMachine.h"
#include "tests/contract/ContractEnv.h"

namespace ombrant::test {
namespace {

class SimContractEnv final : public ContractEnv {
 public:
  SimContractEnv() {
    sim::SimAccount& admin = machine_.AddAccount("Admin");
    admin.password = "secret";
    admin.privilege = port::kUserPrivAdmin;
    admin.groups = {"Administrators"};
    admin.hasProfile = true;
    machine_.SetRunningAccount("Admin");
    machine_.Registry().AddKey("HKEY_CURRENT_USER\\" + TestKeyPath());
    machine_.Files().AddFolder("C:\\Documents and Settings\\Admin");
    machine_.Files().AddFolder("C:\\Program Files");
  }
  ~SimContractEnv() override {
    // Every suite closes what it opens; a leak here is a fault of the test or of the port user.
    EXPECT_EQ(machine_.Registry().OpenHandleCount(), 0u) << "registry handles left open";
    EXPECT_EQ(machine_.AccountDatabase().OpenTokenCount(), 0u) << "logon tokens left open";
    EXPECT_EQ(machine_.AccountDatabase().LoadedProfileCount(), 0u) << "profiles left loaded";
  }

  port::Port& Port() override { return port_; }
  bool IsSimulated() const override { return true; }
  bool IsWine() const override { return false; }
  std::string TestKeyPath() const override { return "Software\\Ombrant\\Test"; }

 private:
  sim::SimMachine machine_;
  port::Port port_ = machine_.Port();
};

}  // namespace

std::unique_ptr<ContractEnv> MakeContractEnv() { return std::make_unique<SimContractEnv>(); }

}  // namespace ombrant::test
