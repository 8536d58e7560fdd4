// What only the simulated registry has: views, mounted hives, access limits, builders.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/simRegistry.h"
#include "platform/vqStrings.h"

namespace ombrant::sim {
namespace {

using namespace ombrant::port;

constexpr HKey kJunkKey = 0xDEADBEEF;

// Owns one open key of a SimRegistry.
class Key {
 public:
  explicit Key(SimRegistry& registry) : registry_(registry) {}
  ~Key() { Close(); }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKey* Out() {
    Close();
    key_ = kJunkKey;
    return &key_;
  }
  [[nodiscard]] HKey Get() const { return key_; }
  void Close() {
    if (key_ != kNoKey && key_ != kJunkKey && !IsPredefinedKey(key_)) {
      EXPECT_EQ(registry_.RegCloseKey(key_), kErrorSuccess);
    }
    key_ = kNoKey;
  }

 private:
  SimRegistry& registry_;
  HKey key_ = kNoKey;
};

// The REG_SZ value `name` of an open key, as UTF-8; "<error N>" when it cannot be read.
std::string ReadString(SimRegistry& reg, HKey key, std::string_view name) {
  std::vector<std::uint8_t> data(512);
  std::uint32_t size = static_cast<std::uint32_t>(data.size());
  const Status s = reg.RegQueryValueEx(key, name, nullptr, data.data(), &size);
  if (s != kErrorSuccess) return "<error " + std::to_string(s) + ">";
  std::string text = Utf16LeBytesToUtf8(std::string(data.begin(), data.begin() + size));
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

// The value "view" of HKLM\<path> opened with `access`, or "<error N>".
std::string ViewSeen(SimRegistry& reg, std::string_view path, std::uint32_t access) {
  Key key(reg);
  const Status s = reg.RegOpenKeyEx(kHKeyLocalMachine, path, kKeyRead | access, key.Out());
  if (s != kErrorSuccess) return "<error " + std::to_string(s) + ">";
  return ReadString(reg, key.Get(), "view");
}

std::vector<std::string> SubKeys(SimRegistry& reg, HKey key) {
  std::vector<std::string> names;
  std::string name;
  while (reg.RegEnumKeyEx(key, static_cast<std::uint32_t>(names.size()), &name) == kErrorSuccess) {
    names.push_back(name);
  }
  return names;
}

void MarkViews(SimRegistry& reg) {
  reg.SetString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor", "view", "64");
  reg.SetString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Vendor", "view", "32");
  reg.SetString("HKEY_LOCAL_MACHINE\\SYSTEM\\Setup", "view", "shared");
}

TEST(SimRegistryViews, SixtyFourBitMachineRedirectsSoftwareInTheThirtyTwoBitView) {
  SimRegistry reg(true);
  MarkViews(reg);
  struct Case {
    const char* path;
    std::uint32_t flags;
    const char* seen;
  };
  const Case cases[] = {
      {"SOFTWARE\\Vendor", 0, "32"},
      {"SOFTWARE\\Vendor", kKeyWow64_32Key, "32"},
      {"software\\VENDOR\\", 0, "32"},
      {"SOFTWARE\\Vendor", kKeyWow64_64Key, "64"},
      {"SOFTWARE\\Wow6432Node\\Vendor", kKeyWow64_64Key, "32"},
      {"SOFTWARE\\Wow6432Node\\Vendor", 0, "32"},  // not Wow6432Node\Wow6432Node
      {"SYSTEM\\Setup", 0, "shared"},
      {"SYSTEM\\Setup", kKeyWow64_64Key, "shared"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ViewSeen(reg, c.path, c.flags), c.seen) << c.path << " flags " << c.flags;
  }

  // SOFTWARE itself in the 32-bit view is the Wow6432Node key.
  Key software(reg);
  ASSERT_EQ(reg.RegOpenKeyEx(kHKeyLocalMachine, "SOFTWARE", kKeyRead, software.Out()),
            kErrorSuccess);
  EXPECT_EQ(SubKeys(reg, software.Get()), std::vector<std::string>{"Vendor"});
  EXPECT_EQ(ViewSeen(reg, "SOFTWARE\\Vendor", 0), "32");

  // A handle to the physical SOFTWARE key goes on from there whatever the flag.
  Key physical(reg);
  ASSERT_EQ(
      reg.RegOpenKeyEx(kHKeyLocalMachine, "SOFTWARE", kKeyRead | kKeyWow64_64Key, physical.Out()),
      kErrorSuccess);
  EXPECT_EQ(SubKeys(reg, physical.Get()),
            (std::vector<std::string>{"Classes", "Vendor", "Wow6432Node"}));
  Key vendor(reg);
  ASSERT_EQ(reg.RegOpenKeyEx(physical.Get(), "Vendor", kKeyRead, vendor.Out()), kErrorSuccess);
  EXPECT_EQ(ReadString(reg, vendor.Get(), "view"), "64");

  // Creating and deleting follow the same redirection.
  Key created(reg);
  ASSERT_EQ(reg.RegCreateKeyEx(kHKeyLocalMachine, "SOFTWARE\\New32", kKeyAllAccess, created.Out(),
                               nullptr),
            kErrorSuccess);
  EXPECT_TRUE(reg.HasKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\New32"));
  EXPECT_FALSE(reg.HasKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\New32"));
  EXPECT_EQ(reg.RegDeleteKeyEx(kHKeyLocalMachine, "SOFTWARE\\Vendor", kKeyWow64_64Key),
            kErrorSuccess);
  EXPECT_TRUE(reg.HasKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Vendor"));
  EXPECT_FALSE(reg.HasKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor"));

  // The user's hive has no redirection.
  reg.SetString("HKEY_CURRENT_USER\\Software\\Vendor", "view", "user");
  Key user(reg);
  ASSERT_EQ(reg.RegOpenKeyEx(kHKeyCurrentUser, "Software\\Vendor", kKeyRead, user.Out()),
            kErrorSuccess);
  EXPECT_EQ(ReadString(reg, user.Get(), "view"), "user");
}

TEST(SimRegistryViews, ThirtyTwoBitMachineIgnoresTheViewFlags) {
  SimRegistry reg(false);
  MarkViews(reg);
  for (const std::uint32_t flags : {0u, kKeyWow64_32Key, kKeyWow64_64Key}) {
    EXPECT_EQ(ViewSeen(reg, "SOFTWARE\\Vendor", flags), "64") << flags;
  }
  Key created(reg);
  ASSERT_EQ(reg.RegCreateKeyEx(kHKeyLocalMachine, "SOFTWARE\\New", kKeyAllAccess | kKeyWow64_32Key,
                               created.Out(), nullptr),
            kErrorSuccess);
  EXPECT_TRUE(reg.HasKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\New"));
}

TEST(SimRegistryHives, MountedHivesAreListedUnderUsersAndWorkAsRoots) {
  SimRegistry reg(false);
  const auto hive = reg.NewHive();
  hive->SetValue("Software\\App", "Kind", kRegDword, {7, 0, 0, 0});
  Key root(reg);
  ASSERT_EQ(reg.LoadUserHive("S-1-5-21-9-9-9-1003", hive, root.Out()), kErrorSuccess);
  const auto other = reg.NewHive();
  Key otherRoot(reg);
  ASSERT_EQ(reg.LoadUserHive("S-1-5-21-9-9-9-1001", other, otherRoot.Out()), kErrorSuccess);
  EXPECT_EQ(SubKeys(reg, kHKeyUsers),
            (std::vector<std::string>{"S-1-5-21-9-9-9-1001", "S-1-5-21-9-9-9-1003"}));

  // The root handle is a root key: relative opens and creates land in the hive.
  Key app(reg);
  ASSERT_EQ(reg.RegOpenKeyEx(root.Get(), "Software\\App", kKeyRead, app.Out()), kErrorSuccess);
  std::uint32_t size = 0;
  EXPECT_EQ(reg.RegQueryValueEx(app.Get(), "Kind", nullptr, nullptr, &size), kErrorSuccess);
  Key created(reg);
  ASSERT_EQ(
      reg.RegCreateKeyEx(root.Get(), "Software\\Copied", kKeyAllAccess, created.Out(), nullptr),
      kErrorSuccess);
  EXPECT_TRUE(hive->HasKey("Software\\Copied"));
  EXPECT_TRUE(reg.HasKey("HKEY_USERS\\S-1-5-21-9-9-9-1003\\Software\\Copied"));
  ASSERT_EQ(reg.RegOpenKeyEx(kHKeyUsers, "S-1-5-21-9-9-9-1003\\Software\\App", kKeyRead, app.Out()),
            kErrorSuccess);

  // Hive roots are not deleted, and nothing is created beside them.
  EXPECT_EQ(reg.RegDeleteKeyEx(root.Get(), "", 0), kErrorAccessDenied);
  EXPECT_EQ(reg.RegDeleteKeyEx(kHKeyUsers, "S-1-5-21-9-9-9-1001", 0), kErrorAccessDenied);
  EXPECT_EQ(reg.RegCreateKeyEx(kHKeyUsers, "Stray", kKeyAllAccess, created.Out(), nullptr),
            kErrorAccessDenied);
  EXPECT_EQ(created.Get(), kJunkKey);

  // The same SID cannot show a second hive; the same hive loads again.
  EXPECT_EQ(reg.LoadUserHive("S-1-5-21-9-9-9-1003", other, created.Out()), kErrorAlreadyExists);
  EXPECT_EQ(reg.LoadUserHive("S-1-5-21-9-9-9-1003", hive, created.Out()), kErrorSuccess);
  EXPECT_EQ(reg.LoadUserHive("", hive, created.Out()), kErrorInvalidParameter);

  reg.UnloadUserHive("S-1-5-21-9-9-9-1003");
  EXPECT_EQ(reg.RegOpenKeyEx(kHKeyUsers, "S-1-5-21-9-9-9-1003", kKeyRead, app.Out()),
            kErrorFileNotFound);
  EXPECT_EQ(reg.UserHive("S-1-5-21-9-9-9-1003"), nullptr);
  EXPECT_EQ(SubKeys(reg, kHKeyUsers), (std::vector<std::string>{"S-1-5-21-9-9-9-1001"}));
}

TEST(SimRegistryHives, CurrentUserFollowsTheRunningAccountsHive) {
  SimRegistry reg(false);
  const auto admin = reg.NewHive();
  const auto guest = reg.NewHive();
  admin->SetValue("Software", "Who", kRegSz, {'A', 0, 0, 0});
  guest->SetValue("Software", "Who", kRegSz, {'G', 0, 0, 0});
  reg.SetCurrentUserHive(admin);
  EXPECT_EQ(reg.GetValue("HKEY_CURRENT_USER\\Software", "Who")->data[0], 'A');
  EXPECT_EQ(ReadString(reg, kHKeyCurrentUser, "Who"), "<error 2>");
  Key key(reg);
  ASSERT_EQ(reg.RegOpenKeyEx(kHKeyCurrentUser, "Software", kKeyRead, key.Out()), kErrorSuccess);
  EXPECT_EQ(ReadString(reg, key.Get(), "Who"), "A");
  reg.SetCurrentUserHive(guest);
  ASSERT_EQ(reg.RegOpenKeyEx(kHKeyCurrentUser, "Software", kKeyRead, key.Out()), kErrorSuccess);
  EXPECT_EQ(ReadString(reg, key.Get(), "Who"), "G");
}

TEST(SimRegistryAccess, KeyGrantingOnlyQueryValue) {
  SimRegistry reg(false);
  reg.SetDword("HKEY_CURRENT_USER\\Software\\Locked", "Value", 5);
  reg.AddKey("HKEY_CURRENT_USER\\Software\\Locked\\Child");
  reg.LimitAccess("HKEY_CURRENT_USER\\Software\\Locked", kKeyQueryValue);

  struct Case {
    std::uint32_t access;
    Status status;
  };
  const Case cases[] = {
      {kKeyRead, kErrorAccessDenied},
      {kKeyAllAccess, kErrorAccessDenied},
      {0x80000000u /* GENERIC_READ */, kErrorAccessDenied},
      {kKeyQueryValue, kErrorSuccess},
      {kKeyQueryValue | kKeyWow64_64Key, kErrorSuccess},  // view flags are not rights
      {0x02000000u /* MAXIMUM_ALLOWED */, kErrorSuccess},
      {0, kErrorSuccess},
  };
  for (const Case& c : cases) {
    Key key(reg);
    EXPECT_EQ(reg.RegOpenKeyEx(kHKeyCurrentUser, "Software\\Locked", c.access, key.Out()), c.status)
        << std::hex << c.access;
    if (c.status != kErrorSuccess) {
      EXPECT_EQ(key.Get(), kJunkKey);
    }
  }

  Key granted(reg);
  ASSERT_EQ(reg.RegOpenKeyEx(kHKeyCurrentUser, "Software\\Locked", 0x02000000u, granted.Out()),
            kErrorSuccess);
  std::uint32_t size = 0;
  EXPECT_EQ(reg.RegQueryValueEx(granted.Get(), "Value", nullptr, nullptr, &size), kErrorSuccess);
  const std::uint8_t one[4] = {1, 0, 0, 0};
  EXPECT_EQ(reg.RegSetValueEx(granted.Get(), "Value", kRegDword, one, 4), kErrorAccessDenied);

  // The limit is the key's own: its sub-key grants everything, and opening it needs nothing.
  Key child(reg);
  EXPECT_EQ(
      reg.RegOpenKeyEx(kHKeyCurrentUser, "Software\\Locked\\Child", kKeyAllAccess, child.Out()),
      kErrorSuccess);
  // New sub-keys need KEY_CREATE_SUB_KEY granted on the key; nothing is created without it.
  EXPECT_EQ(reg.RegCreateKeyEx(kHKeyCurrentUser, "Software\\Locked\\New\\Deeper", kKeyAllAccess,
                               child.Out(), nullptr),
            kErrorAccessDenied);
  EXPECT_FALSE(reg.HasKey("HKEY_CURRENT_USER\\Software\\Locked\\New"));
  // Deleting needs DELETE granted on the key itself.
  reg.AddKey("HKEY_CURRENT_USER\\Software\\Kept");
  reg.LimitAccess("HKEY_CURRENT_USER\\Software\\Kept", kKeyRead);
  EXPECT_EQ(reg.RegDeleteKeyEx(kHKeyCurrentUser, "Software\\Kept", 0), kErrorAccessDenied);
  EXPECT_TRUE(reg.HasKey("HKEY_CURRENT_USER\\Software\\Kept"));
}

TEST(SimRegistryAccess, HandleRightsGateEachCall) {
  SimRegistry reg(false);
  reg.SetDword("HKEY_CURRENT_USER\\Software\\Open", "Value", 5);
  RegKeyInfo info;
  info.values = 99;

  Key setOnly(reg);
  ASSERT_EQ(reg.RegOpenKeyEx(kHKeyCurrentUser, "Software\\Open", kKeySetValue, setOnly.Out()),
            kErrorSuccess);
  EXPECT_EQ(reg.RegQueryInfoKey(setOnly.Get(), &info), kErrorAccessDenied);
  EXPECT_EQ(info.values, 99u);

  // As on Windows, creating below a handle depends on the key's rights, not the handle's.
  Key readOnly(reg);
  ASSERT_EQ(reg.RegOpenKeyEx(kHKeyCurrentUser, "Software\\Open", kKeyQueryValue, readOnly.Out()),
            kErrorSuccess);
  Key created(reg);
  EXPECT_EQ(reg.RegCreateKeyEx(readOnly.Get(), "Sub", kKeyRead, created.Out(), nullptr),
            kErrorSuccess);
  EXPECT_EQ(reg.RegQueryInfoKey(readOnly.Get(), &info), kErrorSuccess);
  EXPECT_EQ(info.subKeys, 1u);
  EXPECT_EQ(info.values, 1u);
}

TEST(SimRegistryRoots, PredefinedRootsAnswerAsWindows) {
  SimRegistry reg(false);
  reg.SetString("HKEY_CLASSES_ROOT\\.txt", "", "txtfile");
  EXPECT_TRUE(reg.HasKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.txt"));
  Key key(reg);
  ASSERT_EQ(reg.RegOpenKeyEx(kHKeyClassesRoot, "\\.txt", kKeyRead, key.Out()), kErrorSuccess);
  EXPECT_EQ(ReadString(reg, key.Get(), ""), "txtfile");

  EXPECT_EQ(reg.RegOpenKeyEx(kHKeyDynData, "x", kKeyRead, key.Out()), kErrorFileNotFound);
  EXPECT_EQ(reg.RegOpenKeyEx(kHKeyPerformanceData, "x", kKeyRead, key.Out()), kErrorInvalidHandle);
  EXPECT_EQ(reg.RegOpenKeyEx(kHKeyCurrentConfig, "", kKeyRead, key.Out()), kErrorFileNotFound);
  reg.SetString(
      "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Hardware Profiles\\Current\\Software",
      "Profile", "current");
  ASSERT_EQ(reg.RegOpenKeyEx(kHKeyCurrentConfig, "Software", kKeyRead, key.Out()), kErrorSuccess);
  EXPECT_EQ(ReadString(reg, key.Get(), "Profile"), "current");

  // An empty sub-key of a predefined root gives the root itself; closing a root is a no-op.
  HKey root = kJunkKey;
  ASSERT_EQ(reg.RegOpenKeyEx(kHKeyLocalMachine, "", kKeyRead, &root), kErrorSuccess);
  EXPECT_EQ(root, kHKeyLocalMachine);
  key.Close();
  EXPECT_EQ(reg.OpenHandleCount(), 0u);
  EXPECT_EQ(reg.RegCloseKey(kHKeyLocalMachine), kErrorSuccess);
  EXPECT_EQ(reg.RegOpenKeyEx(kHKeyLocalMachine, "\\SOFTWARE", kKeyRead, key.Out()),
            kErrorBadPathname);
  // HKEY_USERS lists hives; values cannot be set on it.
  const std::uint8_t one[4] = {1, 0, 0, 0};
  EXPECT_EQ(reg.RegSetValueEx(kHKeyUsers, "x", kRegDword, one, 4), kErrorAccessDenied);
}

TEST(SimRegistryHandles, AreNeverReusedAndNeverLeak) {
  SimRegistry reg(false);
  reg.AddKey("HKCU\\Software\\A");
  std::vector<HKey> seen;
  for (int i = 0; i < 3; ++i) {
    HKey key = kNoKey;
    ASSERT_EQ(reg.RegOpenKeyEx(kHKeyCurrentUser, "Software\\A", kKeyRead, &key), kErrorSuccess);
    EXPECT_EQ(reg.OpenHandleCount(), 1u);
    for (HKey old : seen) EXPECT_NE(key, old);
    seen.push_back(key);
    EXPECT_EQ(reg.RegCloseKey(key), kErrorSuccess);
    EXPECT_EQ(reg.OpenHandleCount(), 0u);
  }
  // Failed opens make no handle.
  HKey key = kJunkKey;
  EXPECT_EQ(reg.RegOpenKeyEx(kHKeyCurrentUser, "Software\\Missing", kKeyRead, &key),
            kErrorFileNotFound);
  EXPECT_EQ(reg.RegOpenKeyEx(kHKeyCurrentUser, "Software\\A", kKeyRead, nullptr),
            kErrorInvalidParameter);
  EXPECT_EQ(key, kJunkKey);
  EXPECT_EQ(reg.OpenHandleCount(), 0u);
}

TEST(SimRegistryValues, EnumerateInCreationOrderAndSmallBuffersStayUntouched) {
  SimRegistry reg(false);
  Key key(reg);
  ASSERT_EQ(reg.RegCreateKeyEx(kHKeyCurrentUser, "Software\\V", kKeyAllAccess, key.Out(), nullptr),
            kErrorSuccess);
  const std::uint8_t data[6] = {1, 2, 3, 4, 5, 6};
  for (const char* name : {"zulu", "alpha", "Mike", ""}) {
    ASSERT_EQ(reg.RegSetValueEx(key.Get(), name, kRegBinary, data, 6), kErrorSuccess);
  }
  ASSERT_EQ(reg.RegSetValueEx(key.Get(), "ALPHA", kRegDword, data, 4), kErrorSuccess);  // in place
  ASSERT_EQ(reg.RegDeleteValue(key.Get(), "zulu"), kErrorSuccess);
  std::vector<std::string> names;
  std::string name;
  while (reg.RegEnumValue(key.Get(), static_cast<std::uint32_t>(names.size()), &name) ==
         kErrorSuccess) {
    names.push_back(name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"alpha", "Mike", ""}));
  EXPECT_EQ(reg.GetValue("HKEY_CURRENT_USER\\Software\\V", "alpha")->type, kRegDword);

  std::uint8_t buffer[4] = {0xCC, 0xCC, 0xCC, 0xCC};
  std::uint32_t size = 4;
  std::uint32_t type = 0xDEADBEEF;
  EXPECT_EQ(reg.RegQueryValueEx(key.Get(), "Mike", &type, buffer, &size), kErrorMoreData);
  EXPECT_EQ(size, 6u);
  EXPECT_EQ(type, kRegBinary);
  EXPECT_EQ(buffer[0], 0xCC);
  EXPECT_EQ(reg.RegQueryValueEx(key.Get(), "Mike", &type, buffer, nullptr), kErrorInvalidParameter);
  EXPECT_EQ(reg.RegSetValueEx(key.Get(), "x", kRegBinary, nullptr, 4), kErrorNoAccess);
  EXPECT_EQ(
      reg.RegSetValueEx(key.Get(), std::string(kMaxValueNameLength + 1, 'v'), kRegBinary, data, 1),
      kErrorInvalidParameter);
}

TEST(SimRegistryValues, BuildersWriteWhatTheRegistryReturns) {
  SimRegistry reg(false);
  reg.SetString("HKCU\\Software\\B", "Text", "\xC3\xA9t\xC3\xA9");
  reg.SetMultiString("HKCU\\Software\\B", "Multi", {"a", "bc"});
  reg.SetDword("HKCU\\Software\\B", "Number", 0x01020304);
  using Bytes = std::vector<std::uint8_t>;
  EXPECT_EQ(reg.GetValue("HKCU\\Software\\B", "text")->data,
            (Bytes{0xE9, 0, 't', 0, 0xE9, 0, 0, 0}));
  EXPECT_EQ(reg.GetValue("HKCU\\Software\\B", "Multi")->data,
            (Bytes{'a', 0, 0, 0, 'b', 0, 'c', 0, 0, 0, 0, 0}));
  EXPECT_EQ(reg.GetValue("HKCU\\Software\\B", "Number")->data, (Bytes{4, 3, 2, 1}));
  EXPECT_EQ(reg.GetValue("HKCU\\Software\\B", "Missing"), std::nullopt);
  EXPECT_EQ(reg.GetValue("HKEY_NOWHERE\\Software\\B", "Text"), std::nullopt);
  EXPECT_THROW(reg.AddKey("HKEY_NOWHERE\\X"), std::invalid_argument);
  EXPECT_THROW(reg.AddKey("HKEY_USERS\\S-1-5-21-not-loaded\\X"), std::invalid_argument);
  EXPECT_THROW(reg.AddKey("HKCU\\" + std::string(kMaxKeyNameLength + 1, 'k')),
               std::invalid_argument);
}

TEST(SimRegistryKeys, BuilderDeletionReachesOpenHandles) {
  SimRegistry reg(false);
  reg.SetDword("HKCU\\Software\\Tree\\Leaf", "v", 1);
  Key leaf(reg);
  ASSERT_EQ(reg.RegOpenKeyEx(kHKeyCurrentUser, "Software\\Tree\\Leaf", kKeyAllAccess, leaf.Out()),
            kErrorSuccess);
  reg.DeleteTree("HKCU\\Software\\Tree");
  EXPECT_FALSE(reg.HasKey("HKCU\\Software\\Tree"));
  EXPECT_EQ(reg.RegQueryValueEx(leaf.Get(), "v", nullptr, nullptr, nullptr), kErrorKeyDeleted);
  // A key made again at the same path is a new key; the old handle stays dead.
  reg.SetDword("HKCU\\Software\\Tree\\Leaf", "v", 2);
  EXPECT_EQ(reg.RegQueryValueEx(leaf.Get(), "v", nullptr, nullptr, nullptr), kErrorKeyDeleted);

  Key fresh(reg);
  EXPECT_EQ(
      reg.RegCreateKeyEx(kHKeyCurrentUser, "Software\\" + std::string(kMaxKeyNameLength + 1, 'k'),
                         kKeyAllAccess, fresh.Out(), nullptr),
      kErrorInvalidParameter);
  EXPECT_EQ(fresh.Get(), kJunkKey);
}

}  // namespace
}  // namespace ombrant::sim
