// What the real port adds to the raw calls: the 32-bit view by default, the real root handles,
// UTF-8 names, and the system facts of the 32-bit program.
#include <gtest/gtest.h>

#include <bitset>
#include <string>
#include <string_view>
#include <cwchar>
#include <vector>
#include <utility>

#include "platform/vqStrings.h"
#include "platform/win32/winHeaders.h"
#include "platform/win32/winMachine.h"
#include "tests/win32/winTestSupport.h"

namespace ombrant::test {
namespace {

using namespace ombrant::port;

constexpr std::uintptr_t kJunk = 0xDEADBEEF;

// HKLM\Software\Ombrant\ViewTest in both views, removed before and after.
class WinRegistryView : public ::testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  static void Clean() {
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
      RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Ombrant\\ViewTest", view, 0);
      RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Ombrant", view, 0);
    }
  }
  static bool ExistsInView(REGSAM view) {
    UniqueHkey key;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Ombrant\\ViewTest", 0, KEY_READ | view,
                         key.Out()) == ERROR_SUCCESS;
  }

  win32::WinMachine machine_;
  IRegistry& reg_ = machine_.Port().registry;
};

TEST_F(WinRegistryView, NoViewFlagMeansTheThirtyTwoBitView) {
  bool wow64 = false;
  ASSERT_EQ(machine_.Port().system.IsWow64Process(kCurrentProcess, &wow64), kErrorSuccess);
  if (!wow64) GTEST_SKIP() << "32-bit Windows has a single registry view";

  HKey key = kNoKey;
  ASSERT_EQ(reg_.RegCreateKeyEx(kHKeyLocalMachine, "Software\\Ombrant\\ViewTest", kKeyAllAccess,
                                &key, nullptr),
            kErrorSuccess);
  EXPECT_EQ(reg_.RegCloseKey(key), kErrorSuccess);
  EXPECT_TRUE(ExistsInView(KEY_WOW64_32KEY));
  EXPECT_FALSE(ExistsInView(KEY_WOW64_64KEY)) << "written into the 64-bit view";

  // An explicit flag is kept.
  ASSERT_EQ(reg_.RegCreateKeyEx(kHKeyLocalMachine, "Software\\Ombrant\\ViewTest",
                                kKeyAllAccess | kKeyWow64_64Key, &key, nullptr),
            kErrorSuccess);
  EXPECT_EQ(reg_.RegCloseKey(key), kErrorSuccess);
  EXPECT_TRUE(ExistsInView(KEY_WOW64_64KEY));

  // Deleting without a flag removes the 32-bit key only.
  EXPECT_EQ(reg_.RegDeleteKeyEx(kHKeyLocalMachine, "Software\\Ombrant\\ViewTest", 0),
            kErrorSuccess);
  EXPECT_FALSE(ExistsInView(KEY_WOW64_32KEY));
  EXPECT_TRUE(ExistsInView(KEY_WOW64_64KEY));
  EXPECT_EQ(reg_.RegDeleteKeyEx(kHKeyLocalMachine, "Software\\Ombrant\\ViewTest", kKeyWow64_64Key),
            kErrorSuccess);
  EXPECT_FALSE(ExistsInView(KEY_WOW64_64KEY));
}

TEST_F(WinRegistryView, ValuesOfAChildAreReadInTheViewItsParentWasOpenedIn) {
  bool wow64 = false;
  ASSERT_EQ(machine_.Port().system.IsWow64Process(kCurrentProcess, &wow64), kErrorSuccess);
  if (!wow64) GTEST_SKIP() << "32-bit Windows has a single registry view";

  for (const auto& [view, name] : {std::pair{KEY_WOW64_32KEY, L"thirty-two"},
                                   std::pair{KEY_WOW64_64KEY, L"sixty-four"}}) {
    UniqueHkey child;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Ombrant\\ViewTest\\Child", 0, nullptr,
                              0, KEY_ALL_ACCESS | view, nullptr, child.Out(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(child.Get(), L"DisplayName", 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(name),
                             static_cast<DWORD>((wcslen(name) + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }
  const std::string_view names[] = {"DisplayName"};
  const auto text = [](const RegValueData& value) {
    return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(value.data.data()),
                                           value.data.size() / 2 - 1));
  };
  for (const auto& [view, expected] : {std::pair{0u, "thirty-two"},
                                       std::pair{kKeyWow64_32Key, "thirty-two"},
                                       std::pair{kKeyWow64_64Key, "sixty-four"}}) {
    SCOPED_TRACE(view);
    HKey parent = kNoKey;
    ASSERT_EQ(reg_.RegOpenKeyEx(kHKeyLocalMachine, "Software\\Ombrant\\ViewTest",
                                kKeyRead | view, &parent),
              kErrorSuccess);
    std::vector<RegValueData> values;
    EXPECT_EQ(reg_.RegGetValues(parent, "Child", kKeyQueryValue | view, names, &values),
              kErrorSuccess);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].status, kErrorSuccess);
    EXPECT_EQ(text(values[0]), expected);
    // Below a root, a path: the view of the call decides.
    EXPECT_EQ(reg_.RegGetValues(kHKeyLocalMachine, "Software\\Ombrant\\ViewTest\\Child",
                                kKeyQueryValue | view, names, &values),
              kErrorSuccess);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(text(values[0]), expected);
    EXPECT_EQ(reg_.RegCloseKey(parent), kErrorSuccess);
  }
  for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Ombrant\\ViewTest\\Child", view, 0);
  }
}

// Each root of the port must reach the same key as the real constant: counted sub-keys and
// values of a key opened both ways agree.
TEST(WinRegistry, PredefinedRootsAreTheRealOnes) {
  struct Case {
    HKey root;
    HKEY real;
    const wchar_t* path;
    const char* utf8Path;
  };
  const Case cases[] = {
      {kHKeyClassesRoot, HKEY_CLASSES_ROOT, L"", ""},
      {kHKeyCurrentUser, HKEY_CURRENT_USER, L"Software", "Software"},
      {kHKeyLocalMachine, HKEY_LOCAL_MACHINE, L"System", "System"},
      {kHKeyUsers, HKEY_USERS, L"", ""},
      {kHKeyCurrentConfig, HKEY_CURRENT_CONFIG, L"", ""},
  };
  win32::WinMachine machine;
  IRegistry& reg = machine.Port().registry;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.root);
    UniqueHkey real;
    ASSERT_EQ(RegOpenKeyExW(c.real, c.path, 0, KEY_READ | KEY_WOW64_32KEY, real.Out()), ERROR_SUCCESS);
    DWORD subKeys = 0, values = 0;
    ASSERT_EQ(RegQueryInfoKeyW(real.Get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                               &values, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);

    HKey key = kNoKey;
    ASSERT_EQ(reg.RegOpenKeyEx(c.root, c.utf8Path, kKeyRead, &key), kErrorSuccess);
    RegKeyInfo info;
    EXPECT_EQ(reg.RegQueryInfoKey(key, &info), kErrorSuccess);
    EXPECT_EQ(info.subKeys, subKeys);
    EXPECT_EQ(info.values, values);
    EXPECT_EQ(reg.RegCloseKey(key), kErrorSuccess);
  }
  // A root used directly, as the layers above do with RegQueryInfoKey on HKCU.
  RegKeyInfo info;
  EXPECT_EQ(reg.RegQueryInfoKey(kHKeyCurrentUser, &info), kErrorSuccess);
  EXPECT_GT(info.subKeys, 0u);
}

// Names are UTF-8 at the port and UTF-16 in the registry, in both directions.
TEST(WinRegistry, NamesAreConvertedBothWays) {
  const std::string keyName = "Schl\xC3\xBCssel \xD0\x9A\xD0\xBB\xD1\x8E\xD1\x87 \xE9\x8D\xB5 \xF0\x9F\x94\x91";
  const std::wstring keyNameW = L"Schl\u00FCssel \u041A\u043B\u044E\u0447 \u9375 \U0001F511";
  const std::wstring valueNameW = L"Wert \u00E9\u20AC";
  const std::string valueName = "Wert \xC3\xA9\xE2\x82\xAC";

  win32::WinMachine machine;
  IRegistry& reg = machine.Port().registry;
  const std::wstring base = L"Software\\Ombrant\\Test\\Names";
  RegDeleteTreeW(HKEY_CURRENT_USER, base.c_str());

  HKey key = kNoKey;
  ASSERT_EQ(reg.RegCreateKeyEx(kHKeyCurrentUser, "Software\\Ombrant\\Test\\Names\\" + keyName,
                               kKeyAllAccess, &key, nullptr),
            kErrorSuccess);
  EXPECT_EQ(reg.RegCloseKey(key), kErrorSuccess);

  UniqueHkey real;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, (base + L"\\" + keyNameW).c_str(), 0, KEY_ALL_ACCESS,
                          real.Out()),
            ERROR_SUCCESS)
      << "the key did not get its UTF-16 name";
  const DWORD data = 7;
  ASSERT_EQ(RegSetValueExW(real.Get(), valueNameW.c_str(), 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&data), sizeof(data)),
            ERROR_SUCCESS);

  ASSERT_EQ(reg.RegOpenKeyEx(kHKeyCurrentUser, "Software\\Ombrant\\Test\\Names", kKeyRead, &key),
            kErrorSuccess);
  std::string name;
  EXPECT_EQ(reg.RegEnumKeyEx(key, 0, &name), kErrorSuccess);
  EXPECT_EQ(name, keyName);
  EXPECT_EQ(reg.RegCloseKey(key), kErrorSuccess);

  ASSERT_EQ(reg.RegOpenKeyEx(kHKeyCurrentUser, "Software\\Ombrant\\Test\\Names\\" + keyName,
                             kKeyRead, &key),
            kErrorSuccess);
  EXPECT_EQ(reg.RegEnumValue(key, 0, &name), kErrorSuccess);
  EXPECT_EQ(name, valueName);
  std::uint32_t type = 0, size = 0;
  EXPECT_EQ(reg.RegQueryValueEx(key, valueName, &type, nullptr, &size), kErrorSuccess);
  EXPECT_EQ(type, kRegDword);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(reg.RegCloseKey(key), kErrorSuccess);
  RegDeleteTreeW(HKEY_CURRENT_USER, base.c_str());
}

TEST(WinSystem, VersionIsTheOneWindowsReports) {
  win32::WinMachine machine;
  OsVersionInfo info;
  ASSERT_EQ(machine.Port().system.GetVersionEx(&info), kErrorSuccess);
  // GetVersion packs the same facts into one number.
  const DWORD packed = GetVersion();
  EXPECT_EQ(info.majorVersion, LOBYTE(LOWORD(packed)));
  EXPECT_EQ(info.minorVersion, HIBYTE(LOWORD(packed)));
  EXPECT_EQ(info.buildNumber, HIWORD(packed));
  EXPECT_EQ(info.platformId, 2u) << "an NT-family system";
}

TEST(WinSystem, AnswersForTheThirtyTwoBitProgram) {
  win32::WinMachine machine;
  ISystem& system = machine.Port().system;

  bool wow64 = false;
  ASSERT_EQ(system.IsWow64Process(kCurrentProcess, &wow64), kErrorSuccess);
#ifdef _WIN64
  EXPECT_TRUE(wow64) << "the 64-bit build stands in for the 32-bit program on 64-bit Windows";
#endif

  std::uintptr_t processMask = kJunk, systemMask = kJunk;
  ASSERT_EQ(system.GetProcessAffinityMask(kCurrentProcess, &processMask, &systemMask),
            kErrorSuccess);
  SYSTEM_INFO si;
  GetSystemInfo(&si);
  EXPECT_NE(processMask, 0u);
  EXPECT_EQ(processMask & ~systemMask, 0u) << "the process may only use the system's processors";
  EXPECT_EQ(std::bitset<64>(systemMask).count(), std::min<std::size_t>(si.dwNumberOfProcessors, 64));

  // A handle that is no process: the status, and the outputs untouched.
  wow64 = true;
  processMask = systemMask = kJunk;
  EXPECT_NE(system.GetProcessAffinityMask(0, &processMask, &systemMask), kErrorSuccess);
  EXPECT_EQ(processMask, kJunk);
  EXPECT_EQ(systemMask, kJunk);
  EXPECT_NE(system.IsWow64Process(0, &wow64), kErrorSuccess);
  EXPECT_TRUE(wow64);
}

}  // namespace
}  // namespace ombrant::test
