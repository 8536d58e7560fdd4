// The contract suites' environment on the simulated machine: a fresh 32-bit XP machine per test.
#include <memory>

#include "platform/sim/simFileSystem.h"
#include "platform/sim/simShell.h"
#include "platform/sim/simSystem.h"
#include "platform/sim/simTempFolder.h"
#include "platform/sim/simUi.h"
#include "tests/contract/ContractEnv.h"

namespace ombrant::test {
namespace {

// Until the simulated registry is merged here, the file and shell suites run without one.
class NoRegistry final : public port::IRegistry {
 public:
  port::Status RegOpenKeyEx(port::HKey, std::string_view, std::uint32_t, port::HKey*) override {
    return port::kErrorCallNotImplemented;
  }
  port::Status RegCreateKeyEx(port::HKey, std::string_view, std::uint32_t, port::HKey*,
                              bool*) override {
    return port::kErrorCallNotImplemented;
  }
  port::Status RegCloseKey(port::HKey) override { return port::kErrorCallNotImplemented; }
  port::Status RegQueryValueEx(port::HKey, std::string_view, std::uint32_t*, std::uint8_t*,
                               std::uint32_t*) override {
    return port::kErrorCallNotImplemented;
  }
  port::Status RegSetValueEx(port::HKey, std::string_view, std::uint32_t, const std::uint8_t*,
                             std::uint32_t) override {
    return port::kErrorCallNotImplemented;
  }
  port::Status RegQueryInfoKey(port::HKey, port::RegKeyInfo*) override {
    return port::kErrorCallNotImplemented;
  }
  port::Status RegEnumKeyEx(port::HKey, std::uint32_t, std::string*) override {
    return port::kErrorCallNotImplemented;
  }
  port::Status RegEnumValue(port::HKey, std::uint32_t, std::string*) override {
    return port::kErrorCallNotImplemented;
  }
  port::Status RegDeleteValue(port::HKey, std::string_view) override {
    return port::kErrorCallNotImplemented;
  }
  port::Status RegDeleteKeyEx(port::HKey, std::string_view, std::uint32_t) override {
    return port::kErrorCallNotImplemented;
  }
};

class SimContractEnv final : public ContractEnv {
 public:
  SimContractEnv() {
    files_.AddFolder("C:\\WINDOWS\\system32");
    files_.AddFolder(kTestFolder);
  }

  port::Port& Port() override { return port_; }
  bool IsSimulated() const override { return true; }
  bool IsWine() const override { return false; }
  std::string TestKeyPath() const override { return "Software\\Ombrant\\Test"; }
  std::string TestFolderPath() const override { return kTestFolder; }

 private:
  static constexpr const char* kTestFolder = "C:\\Ombrant Test";

  sim::SimTempFolder host_{"ombrant-contract"};
  sim::SimFileSystem files_{host_.Path(), "C:\\WINDOWS"};
  sim::SimSystem system_;
  sim::SimShell shell_{files_, system_};
  sim::SimUi ui_;
  NoRegistry registry_;
  port::Port port_{registry_, system_, files_, shell_, ui_};
};

}  // namespace

std::unique_ptr<ContractEnv> MakeContractEnv() { return std::make_unique<SimContractEnv>(); }

}  // namespace ombrant::test
