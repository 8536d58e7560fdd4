// The contract suites under Windows (here: Wine) against the real port. Every test gets the
// key HKCU\Software\Ombrant\Test fresh and empty, and it is removed afterwards.
#include <gtest/gtest.h>

#include "platform/win32/winHeaders.h"
#include "platform/win32/winMachine.h"
#include "tests/contract/ContractEnv.h"
#include "tests/win32/winTestSupport.h"

namespace ombrant::test {
namespace {

class WinContractEnv final : public ContractEnv {
 public:
  WinContractEnv() : port_(machine_.Port()) {
    DeleteTestKey();
    HKEY key = nullptr;
    const LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, kTestKeyW, 0, nullptr,
                                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                                        nullptr);
    EXPECT_EQ(status, ERROR_SUCCESS) << "cannot create HKCU\\" << TestKeyPath();
    if (status == ERROR_SUCCESS) RegCloseKey(key);
  }
  ~WinContractEnv() override {
    DeleteTestKey();
    // The parent goes too, but only while nothing else lives in it.
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Ombrant");
  }

  port::Port& Port() override { return port_; }
  bool IsSimulated() const override { return false; }
  bool IsWine() const override { return RunningUnderWine(); }
  std::string TestKeyPath() const override { return "Software\\Ombrant\\Test"; }

 private:
  static void DeleteTestKey() {
    const LONG status = RegDeleteTreeW(HKEY_CURRENT_USER, kTestKeyW);
    EXPECT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND)
        << "cannot delete HKCU\\Software\\Ombrant\\Test: " << status;
  }

  static constexpr const wchar_t* kTestKeyW = L"Software\\Ombrant\\Test";
  win32::WinMachine machine_;
  port::Port port_;
};

}  // namespace

std::unique_ptr<ContractEnv> MakeContractEnv() { return std::make_unique<WinContractEnv>(); }

}  // namespace ombrant::test
