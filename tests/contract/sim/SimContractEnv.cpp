// The contract suites natively: a fresh simulated machine per test (a 32-bit Windows XP).
#include <gtest/gtest.h>

#include "platform/sim/simMachine.h"
#include "tests/contract/ContractEnv.h"

namespace ombrant::test {
namespace {

class SimContractEnv final : public ContractEnv {
 public:
  SimContractEnv() {
    machine_.AddAccount("Admin");
    machine_.SetRunningAccount("Admin");
    machine_.Registry().AddKey("HKEY_CURRENT_USER\\" + TestKeyPath());
    machine_.Files().AddFolder("C:\\WINDOWS\\system32");
    machine_.Files().AddFolder(kTestFolder);
  }
  ~SimContractEnv() override {
    // Every suite closes what it opens; a leak here is a fault of the test or of the port user.
    EXPECT_EQ(machine_.Registry().OpenHandleCount(), 0u) << "registry handles left open";
    EXPECT_EQ(machine_.Files().OpenFindCount(), 0u) << "find handles left open";
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
