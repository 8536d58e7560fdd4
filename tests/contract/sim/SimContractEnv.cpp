// The contract suites natively: a fresh simulated machine per test (a 32-bit XP machine).
#include <gtest/gtest.h>

#include "platform/sim/simFileSystem.h"
#include "platform/sim/simRegistry.h"
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
    files_.AddFolder("C:\\WINDOWS\\system32");
    files_.AddFolder(kTestFolder);
  }
  ~SimContractEnv() override {
    // Every suite closes what it opens; a leak here is a fault of the test or of the port user.
    EXPECT_EQ(registry_.OpenHandleCount(), 0u) << "registry handles left open";
    EXPECT_EQ(files_.OpenFindCount(), 0u) << "find handles left open";
  }

  port::Port& Port() override { return port_; }
  bool IsSimulated() const override { return true; }
  bool IsWine() const override { return false; }
  std::string TestKeyPath() const override { return "Software\\Ombrant\\Test"; }
  std::string TestFolderPath() const override { return kTestFolder; }

 private:
  static constexpr const char* kTestFolder = "C:\\Ombrant Test";

  sim::SimTempFolder host_{"ombrant-contract"};
  sim::SimRegistry registry_{false};
  sim::SimSystem system_;
  sim::SimFileSystem files_{host_.Path(), "C:\\WINDOWS"};
  sim::SimShell shell_{files_, system_};
  sim::SimUi ui_;
  port::Port port_{registry_, system_, files_, shell_, ui_};
};

}  // namespace

std::unique_ptr<ContractEnv> MakeContractEnv() { return std::make_unique<SimContractEnv>(); }

}  // namespace ombrant::test
