// The contract suites under Windows (here: Wine) against the real port. Every test gets the
// key HKCU\Software\Ombrant\Test and a folder in the temporary folder, fresh and empty, and both
// are removed afterwards.
#include <gtest/gtest.h>

#include <string>

#include "platform/vqStrings.h"
#include "platform/win32/winHeaders.h"
#include "platform/win32/winMachine.h"
#include "tests/contract/ContractEnv.h"
#include "tests/win32/winTestSupport.h"

namespace ombrant::test {
namespace {

std::string Narrow(const std::wstring& wide) {
  return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

// Removes a folder and everything in it, read-only entries too.
void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW data{};
  const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryW(folder.c_str());
}

std::wstring NewTestFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  std::wstring base = length ? std::wstring(temp, length) : L"C:\\";
  if (base.back() == L'\\') base.pop_back();
  static unsigned counter = 0;
  for (;;) {
    const std::wstring folder = base + L"\\ombrant-test-" + std::to_wstring(GetCurrentProcessId()) +
                                L"-" + std::to_wstring(++counter);
    if (CreateDirectoryW(folder.c_str(), nullptr)) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
      ADD_FAILURE() << "cannot create a test folder in " << Narrow(base) << ": " << GetLastError();
      return folder;
    }
  }
}

class WinContractEnv final : public ContractEnv {
 public:
  WinContractEnv() : port_(machine_.Port()), folder_(NewTestFolder()) {
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
    RemoveTree(folder_);
  }

  port::Port& Port() override { return port_; }
  bool IsSimulated() const override { return false; }
  bool IsWine() const override { return RunningUnderWine(); }
  std::string TestKeyPath() const override { return "Software\\Ombrant\\Test"; }
  std::string TestFolderPath() const override { return Narrow(folder_); }

 private:
  static void DeleteTestKey() {
    const LONG status = RegDeleteTreeW(HKEY_CURRENT_USER, kTestKeyW);
    EXPECT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND)
        << "cannot delete HKCU\\Software\\Ombrant\\Test: " << status;
  }

  static constexpr const wchar_t* kTestKeyW = L"Software\\Ombrant\\Test";
  win32::WinMachine machine_;
  port::Port port_;
  std::wstring folder_;
};

}  // namespace

std::unique_ptr<ContractEnv> MakeContractEnv() { return std::make_unique<WinContractEnv>(); }

}  // namespace ombrant::test
