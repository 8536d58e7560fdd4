// The contract suites natively: a fresh simulated machine per test (a 32-bit English Windows
// XP, run by the administrator "Admin").
#include <gtest/gtest.h>

#include <string>

#include "platform/sim/simMachine.h"
#include "tests/contract/ContractEnv.h"
#include "tools/icongen/iconArt.h"

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
    machine_.Files().AddFolder("C:\\WINDOWS\\system32");
    machine_.Files().AddFolder("C:\\Documents and Settings\\Admin");
    machine_.Files().AddFolder("C:\\Program Files");
    machine_.Files().AddFolder(kTestFolder);
    // The program's resources: its application icons, as the build draws them.
    for (const TIconArt& art : kIconArt) {
      for (int size : {16, 32}) {
        if (size == 16 && !art.hasSmall) continue;
        machine_.System().AddResource("SOFTWAREICON" + std::to_string(size), art.resourceName,
                                      EncodePng(size, size, RenderIcon(art, size)));
      }
    }
  }
  ~SimContractEnv() override {
    // Every suite closes what it opens; a leak here is a fault of the test or of the port user.
    EXPECT_EQ(machine_.Registry().OpenHandleCount(), 0u) << "registry handles left open";
    EXPECT_EQ(machine_.Files().OpenFindCount(), 0u) << "find handles left open";
    EXPECT_EQ(machine_.AccountDatabase().OpenTokenCount(), 0u) << "logon tokens left open";
    EXPECT_EQ(machine_.AccountDatabase().LoadedProfileCount(), 0u) << "profiles left loaded";
  }

  port::Port& Port() override { return port_; }
  bool IsSimulated() const override { return true; }
  bool IsWine() const override { return false; }
  std::string TestKeyPath() const override { return "Software\\Ombrant\\Test"; }
  std::string TestFolderPath() const override { return kTestFolder; }

 private:
  static constexpr const char* kTestFolder = "C:\\Ombrant Test";

  sim::SimMachine machine_;
  port::Port port_ = machine_.Port();
};

}  // namespace

std::unique_ptr<ContractEnv> MakeContractEnv() { return std::make_unique<SimContractEnv>(); }

}  // namespace ombrant::test
