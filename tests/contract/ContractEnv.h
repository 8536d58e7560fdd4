// What a contract suite runs against: the simulated machine natively, the real Windows port
// under Wine. Each suite is written once against the port interfaces.
#pragma once

#include <memory>
#include <string>

#include "platform/port/kvrPort.h"

namespace ombrant::test {

class ContractEnv {
 public:
  virtual ~ContractEnv() = default;

  virtual port::Port& Port() = 0;
  // True for the simulated machine, false for the real port.
  [[nodiscard]] virtual bool IsSimulated() const = 0;
  // True when the real port runs under Wine (whose accounts, logon, profiles and file security
  // are stubs: suites skip those there, with a reason).
  [[nodiscard]] virtual bool IsWine() const = 0;
  // A private registry key below HKEY_CURRENT_USER, created fresh and empty for each test and
  // removed afterwards: "Software\Ombrant\Test".
  [[nodiscard]] virtual std::string TestKeyPath() const = 0;
  // A private folder, full Windows path without a trailing backslash, created fresh and empty
  // for each test and removed with its contents afterwards (read-only entries included).
  [[nodiscard]] virtual std::string TestFolderPath() const = 0;
};

// One fresh environment per test; defined once for the simulated machine and once for Windows.
std::unique_ptr<ContractEnv> MakeContractEnv();

}  // namespace ombrant::test
