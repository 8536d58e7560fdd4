// The contract suites natively: a fresh simulated machine per test.
#include <gtest/gtest.h>

#include "platform/sim/simRegistry.h"
#include "platform/sim/simSystem.h"
#include "tests/contract/ContractEnv.h"

namespace ombrant::test {
namespace {

class SimContractEnv final : public ContractEnv {
 public:
  SimContractEnv() { registry_.AddKey("HKEY_CURRENT_USER\\" + TestKeyPath()); }
  ~SimContractEnv() override {
    // Every suite closes what it opens; a leak here is a fault of the test or of the port user.
    EXPECT_EQ(registry_.OpenHandleCount(), 0u) << "registry handles left open";
  }

  port::Port& Port() override { return port_; }
  bool IsSimulated() const override { return true; }
  bool IsWine() const override { return false; }
  std::string TestKeyPath() const override { return "Software\\Ombrant\\Test"; }

 private:
  sim::SimRegistry registry_{false};
  sim::SimSystem system_;
  port::Port port_{registry_, system_};
};

}  // namespace

std::unique_ptr<ContractEnv> MakeContractEnv() { return std::make_unique<SimContractEnv>(); }

}  // namespace ombrant::test
