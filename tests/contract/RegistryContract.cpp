// The registry area of the port, as Windows behaves. Runs against the simulated machine and,
// under Wine, against the real registry: only what Windows itself guarantees is asserted.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/vqStrings.h"
#include "tests/contract/ContractEnv.h"

namespace ombrant::test {
namespace {

using namespace ombrant::port;

using Bytes = std::vector<std::uint8_t>;

constexpr HKey kJunkKey = 0xDEADBEEF;
constexpr std::uint32_t kJunk = 0xDEADBEEF;

Bytes Wide(std::string_view utf8) {
  const std::string bytes = Utf8ToUtf16LeBytes(utf8);
  Bytes data(bytes.begin(), bytes.end());
  data.push_back(0);
  data.push_back(0);
  return data;
}

// Owns one open key.
class Key {
 public:
  explicit Key(IRegistry& registry) : registry_(registry) {}
  ~Key() { Close(); }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;

  HKey* Out() {
    Close();
    key_ = kJunkKey;  // a failed call must leave this untouched
    return &key_;
  }
  [[nodiscard]] HKey Get() const { return key_; }
  // Gives the key up without closing it (for tests that close it themselves).
  HKey Release() {
    const HKey key = key_;
    key_ = kNoKey;
    return key;
  }
  void Close() {
    if (key_ != kNoKey && key_ != kJunkKey) {
      EXPECT_EQ(registry_.RegCloseKey(key_), kErrorSuccess);
    }
    key_ = kNoKey;
  }

 private:
  IRegistry& registry_;
  HKey key_ = kNoKey;
};

class RegistryContract : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(reg_.RegOpenKeyEx(kHKeyCurrentUser, env_->TestKeyPath(), kKeyAllAccess, test_.Out()),
              kErrorSuccess);
  }

  HKey Test() const { return test_.Get(); }

  void Create(HKey parent, std::string_view path, Key* key) {
    ASSERT_EQ(reg_.RegCreateKeyEx(parent, path, kKeyAllAccess, key->Out(), nullptr), kErrorSuccess)
        << path;
  }

  void Set(HKey key, std::string_view name, std::uint32_t type, const Bytes& data) {
    ASSERT_EQ(
        reg_.RegSetValueEx(key, name, type, data.data(), static_cast<std::uint32_t>(data.size())),
        kErrorSuccess)
        << name;
  }

  std::vector<std::string> SubKeys(HKey key) {
    std::vector<std::string> names;
    std::string name;
    Status s;
    while ((s = reg_.RegEnumKeyEx(key, static_cast<std::uint32_t>(names.size()), &name)) ==
           kErrorSuccess) {
      names.push_back(name);
    }
    EXPECT_EQ(s, kErrorNoMoreItems);
    return names;
  }

  std::vector<std::string> ValueNames(HKey key) {
    std::vector<std::string> names;
    std::string name;
    Status s;
    while ((s = reg_.RegEnumValue(key, static_cast<std::uint32_t>(names.size()), &name)) ==
           kErrorSuccess) {
      names.push_back(name);
    }
    EXPECT_EQ(s, kErrorNoMoreItems);
    return names;
  }

  std::unique_ptr<ContractEnv> env_ = MakeContractEnv();
  IRegistry& reg_ = env_->Port().registry;
  Key test_{reg_};
};

TEST_F(RegistryContract, CreateOpenAndClose) {
  Key key(reg_);
  bool created = false;
  ASSERT_EQ(reg_.RegCreateKeyEx(Test(), "Outer\\Middle\\Inner", kKeyAllAccess, key.Out(), &created),
            kErrorSuccess);
  EXPECT_TRUE(created);
  ASSERT_EQ(reg_.RegCreateKeyEx(Test(), "Outer\\Middle\\Inner", kKeyAllAccess, key.Out(), &created),
            kErrorSuccess);
  EXPECT_FALSE(created);
  // The keys on the way were created too.
  EXPECT_EQ(reg_.RegOpenKeyEx(Test(), "Outer\\Middle", kKeyRead, key.Out()), kErrorSuccess);

  EXPECT_EQ(reg_.RegOpenKeyEx(Test(), "Outer\\Missing", kKeyRead, key.Out()), kErrorFileNotFound);
  EXPECT_EQ(key.Get(), kJunkKey);
  EXPECT_EQ(reg_.RegOpenKeyEx(Test(), "Missing\\Deeper", kKeyRead, key.Out()), kErrorFileNotFound);
  EXPECT_EQ(key.Get(), kJunkKey);

  ASSERT_EQ(
      reg_.RegOpenKeyEx(kHKeyCurrentUser, env_->TestKeyPath() + "\\Outer", kKeyRead, key.Out()),
      kErrorSuccess);
  const HKey closed = key.Release();
  EXPECT_EQ(reg_.RegCloseKey(closed), kErrorSuccess);
  EXPECT_EQ(reg_.RegCloseKey(closed), kErrorInvalidHandle);
}

TEST_F(RegistryContract, ValuesOfEveryTypeRoundTripByteForByte) {
  Bytes big(300 * 1024);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  struct Case {
    const char* name;
    std::uint32_t type;
    Bytes data;
  };
  const Case cases[] = {
      {"sz", kRegSz,
       Wide("Gr\xC3\xBC\xC3\x9F"
            "e \xE2\x82\xAC \xF0\x9F\x98\x80 \xD0\x96")},
      {"sz empty", kRegSz, Wide("")},
      {"sz no data", kRegSz, {}},
      {"expand", kRegExpandSz, Wide("%SystemRoot%\\system32")},
      {"binary", kRegBinary, {0, 1, 0, 0, 0xFF, 0, 0x80}},
      {"binary empty", kRegBinary, {}},
      {"dword", kRegDword, {0x78, 0x56, 0x34, 0x12}},
      {"dword be", kRegDwordBigEndian, {0x12, 0x34, 0x56, 0x78}},
      {"link", kRegLink, Wide("\\Registry\\Machine\\Software")},
      {"multi", kRegMultiSz, {'a', 0, 0, 0, 0xE9, 0, 0, 0, 0, 0}},
      {"multi empty", kRegMultiSz, {0, 0}},
      {"resources", kRegResourceList, {1, 0, 0, 0, 2, 0, 0, 0}},
      {"descriptor", kRegFullResourceDescriptor, {9, 8, 7}},
      {"requirements", kRegResourceRequirementsList, {0, 0, 0, 0}},
      {"qword", kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}},
      {"none", kRegNone, {0, 0, 1}},
      {"unknown type", 0x1234, {42}},
      {"big", kRegBinary, big},
  };
  for (const Case& c : cases) Set(Test(), c.name, c.type, c.data);

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::uint32_t type = kJunk;
    std::uint32_t size = kJunk;
    ASSERT_EQ(reg_.RegQueryValueEx(Test(), c.name, &type, nullptr, &size), kErrorSuccess);
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(size, c.data.size());

    Bytes read(c.data.size() + 16, 0xCC);
    size = static_cast<std::uint32_t>(read.size());
    type = kJunk;
    ASSERT_EQ(reg_.RegQueryValueEx(Test(), c.name, &type, read.data(), &size), kErrorSuccess);
    EXPECT_EQ(type, c.type);
    ASSERT_EQ(size, c.data.size());
    read.resize(size);
    EXPECT_TRUE(read == c.data);
  }
}

TEST_F(RegistryContract, GetValuesReadsWhatSingleQueriesRead) {
  Bytes big(70 * 1024);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i % 253);
  Key sub(reg_);
  Create(Test(), "Package", &sub);
  Set(sub.Get(), "DisplayName", kRegSz, Wide("Package 7"));
  Set(sub.Get(), "Empty", kRegSz, {});
  Set(sub.Get(), "Size", kRegDword, {7, 0, 0, 0});
  Set(sub.Get(), "Big", kRegBinary, big);
  const std::string_view names[] = {"DisplayName", "Missing", "Empty", "Size", "Big", "displayname"};
  std::vector<RegValueData> values;
  ASSERT_EQ(reg_.RegGetValues(Test(), "Package", kKeyQueryValue, names, &values), kErrorSuccess);
  ASSERT_EQ(values.size(), std::size(names));
  for (std::size_t i = 0; i < values.size(); ++i) {
    SCOPED_TRACE(names[i]);
    std::uint32_t type = kJunk;
    std::uint32_t size = 0;
    const Status status = reg_.RegQueryValueEx(sub.Get(), names[i], &type, nullptr, &size);
    EXPECT_EQ(values[i].status, status);
    if (status != kErrorSuccess) continue;
    Bytes data(size);
    if (size > 0) {
      ASSERT_EQ(reg_.RegQueryValueEx(sub.Get(), names[i], &type, data.data(), &size),
                kErrorSuccess);
    }
    EXPECT_EQ(values[i].type, type);
    EXPECT_TRUE(values[i].data == data);
  }
  EXPECT_EQ(values[1].status, kErrorFileNotFound);

  // A key that does not open: nothing read, the list as it was.
  EXPECT_EQ(reg_.RegGetValues(Test(), "Missing", kKeyQueryValue, names, &values),
            kErrorFileNotFound);
  EXPECT_EQ(values.size(), std::size(names));
  EXPECT_EQ(reg_.RegGetValues(kJunkKey, "Package", kKeyQueryValue, names, &values),
            kErrorInvalidHandle);
}

TEST_F(RegistryContract, SmallBufferReportsTheSizeNeeded) {
  const Bytes data = Wide("twelve chars");
  Set(Test(), "Text", kRegSz, data);

  Bytes buffer(4);
  std::uint32_t size = static_cast<std::uint32_t>(buffer.size());
  EXPECT_EQ(reg_.RegQueryValueEx(Test(), "Text", nullptr, buffer.data(), &size), kErrorMoreData);
  EXPECT_EQ(size, data.size());

  // Exactly the size needed is enough.
  buffer.resize(size);
  EXPECT_EQ(reg_.RegQueryValueEx(Test(), "Text", nullptr, buffer.data(), &size), kErrorSuccess);
  EXPECT_TRUE(buffer == data);

  // Neither type nor size wanted: the call only tells that the value exists.
  EXPECT_EQ(reg_.RegQueryValueEx(Test(), "Text", nullptr, nullptr, nullptr), kErrorSuccess);

  std::uint32_t type = kJunk;
  size = kJunk;
  EXPECT_EQ(reg_.RegQueryValueEx(Test(), "Missing", &type, nullptr, &size), kErrorFileNotFound);
  EXPECT_EQ(type, kJunk);
  EXPECT_EQ(size, kJunk);
}

TEST_F(RegistryContract, DefaultValueHasTheEmptyName) {
  std::uint32_t size = 0;
  EXPECT_EQ(reg_.RegQueryValueEx(Test(), "", nullptr, nullptr, &size), kErrorFileNotFound);
  Set(Test(), "", kRegSz, Wide("default"));
  Set(Test(), "Named", kRegSz, Wide("named"));
  Bytes buffer(64);
  size = static_cast<std::uint32_t>(buffer.size());
  ASSERT_EQ(reg_.RegQueryValueEx(Test(), "", nullptr, buffer.data(), &size), kErrorSuccess);
  buffer.resize(size);
  EXPECT_TRUE(buffer == Wide("default"));
  auto names = ValueNames(Test());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"", "Named"}));
}

TEST_F(RegistryContract, EnumerationAndKeyInformation) {
  // Sub-keys come in case-insensitive alphabetical order; "Ärger" sorts after the ASCII names.
  for (const char* name : {"beta", "\xC3\x84rger", "Alpha", "gamma2"}) {
    Key key(reg_);
    Create(Test(), name, &key);
  }
  EXPECT_EQ(SubKeys(Test()), (std::vector<std::string>{"Alpha", "beta", "gamma2", "\xC3\x84rger"}));

  // An index names the key at that place in today's list: asked in any order, and after a key
  // was deleted or added between two calls.
  const auto keyAt = [&](std::uint32_t index) {
    std::string at;
    EXPECT_EQ(reg_.RegEnumKeyEx(Test(), index, &at), kErrorSuccess) << index;
    return at;
  };
  EXPECT_EQ(keyAt(2), "gamma2");
  EXPECT_EQ(keyAt(0), "Alpha");
  EXPECT_EQ(keyAt(1), "beta");
  EXPECT_EQ(keyAt(1), "beta");
  ASSERT_EQ(reg_.RegDeleteKeyEx(Test(), "beta", 0), kErrorSuccess);
  EXPECT_EQ(keyAt(1), "gamma2");
  {
    Key key(reg_);
    Create(Test(), "b", &key);
  }
  EXPECT_EQ(keyAt(1), "b");
  EXPECT_EQ(keyAt(2), "gamma2");
  ASSERT_EQ(reg_.RegDeleteKeyEx(Test(), "b", 0), kErrorSuccess);
  {
    Key key(reg_);
    Create(Test(), "beta", &key);
  }

  // Value order is not something Windows promises: compare the sets.
  const std::string longName =
      "Gr\xC3\xB6\xC3\x9F"
      "e\xF0\x9F\x98\x80";  // 7 UTF-16 units
  Set(Test(), "zeta", kRegDword, {1, 0, 0, 0});
  Set(Test(), longName, kRegBinary, Bytes(40, 1));
  Set(Test(), "a", kRegSz, Wide("xyz"));
  auto names = ValueNames(Test());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{longName, "a", "zeta"}));  // byte order

  std::string name = "untouched";
  EXPECT_EQ(reg_.RegEnumKeyEx(Test(), 4, &name), kErrorNoMoreItems);
  EXPECT_EQ(reg_.RegEnumValue(Test(), 3, &name), kErrorNoMoreItems);
  EXPECT_EQ(name, "untouched");

  RegKeyInfo info;
  ASSERT_EQ(reg_.RegQueryInfoKey(Test(), &info), kErrorSuccess);
  EXPECT_EQ(info.subKeys, 4u);
  EXPECT_EQ(info.maxSubKeyLen, 6u);  // "gamma2"
  EXPECT_EQ(info.values, 3u);
  EXPECT_EQ(info.maxValueNameLen, 7u);
  EXPECT_EQ(info.maxValueLen, 40u);
}

TEST_F(RegistryContract, NamesIgnoreCaseAndKeepIt) {
  Key key(reg_);
  Create(Test(), "MixedCase", &key);
  bool created = true;
  ASSERT_EQ(reg_.RegCreateKeyEx(Test(), "MIXEDCASE", kKeyAllAccess, key.Out(), &created),
            kErrorSuccess);
  EXPECT_FALSE(created);
  EXPECT_EQ(reg_.RegOpenKeyEx(Test(), "mixedcase", kKeyRead, key.Out()), kErrorSuccess);
  Create(Test(), "\xC3\x84pfel", &key);  // Äpfel
  EXPECT_EQ(reg_.RegOpenKeyEx(Test(), "\xC3\xA4PFEL", kKeyRead, key.Out()), kErrorSuccess);
  EXPECT_EQ(SubKeys(Test()), (std::vector<std::string>{"MixedCase", "\xC3\x84pfel"}));

  Set(Test(), "ValueName", kRegDword, {1, 0, 0, 0});
  Set(Test(), "VALUENAME", kRegDword, {2, 0, 0, 0});
  EXPECT_EQ(ValueNames(Test()), (std::vector<std::string>{"ValueName"}));
  Bytes data(4);
  std::uint32_t size = 4;
  ASSERT_EQ(reg_.RegQueryValueEx(Test(), "valuename", nullptr, data.data(), &size), kErrorSuccess);
  EXPECT_EQ(data[0], 2);
  EXPECT_EQ(reg_.RegDeleteValue(Test(), "VaLuEnAmE"), kErrorSuccess);
  EXPECT_TRUE(ValueNames(Test()).empty());
}

TEST_F(RegistryContract, RelativePathsAndReopening) {
  Key parent(reg_);
  Create(Test(), "Parent", &parent);
  Key child(reg_);
  Create(parent.Get(), "Child\\Grandchild", &child);
  Set(child.Get(), "Where", kRegSz, Wide("grandchild"));

  Key again(reg_);
  // A trailing backslash names the same key.
  ASSERT_EQ(reg_.RegOpenKeyEx(Test(), "Parent\\Child\\Grandchild\\", kKeyRead, again.Out()),
            kErrorSuccess);
  std::uint32_t size = 0;
  EXPECT_EQ(reg_.RegQueryValueEx(again.Get(), "Where", nullptr, nullptr, &size), kErrorSuccess);
  // A leading backslash is not a path below the key.
  EXPECT_EQ(reg_.RegOpenKeyEx(parent.Get(), "\\Child", kKeyRead, again.Out()), kErrorBadPathname);
  EXPECT_EQ(again.Get(), kJunkKey);

  // An empty sub-key opens the same key again under a second handle that lives on its own.
  Key reopened(reg_);
  ASSERT_EQ(reg_.RegOpenKeyEx(child.Get(), "", kKeyAllAccess, reopened.Out()), kErrorSuccess);
  EXPECT_NE(reopened.Get(), child.Get());
  child.Close();
  size = 0;
  EXPECT_EQ(reg_.RegQueryValueEx(reopened.Get(), "Where", nullptr, nullptr, &size), kErrorSuccess);
  EXPECT_EQ(size, Wide("grandchild").size());
}

TEST_F(RegistryContract, Deletion) {
  Key parent(reg_);
  Create(Test(), "Parent", &parent);
  Key child(reg_);
  Create(parent.Get(), "Child", &child);
  Set(child.Get(), "Value", kRegDword, {1, 0, 0, 0});

  EXPECT_EQ(reg_.RegDeleteValue(child.Get(), "Value"), kErrorSuccess);
  EXPECT_EQ(reg_.RegDeleteValue(child.Get(), "Value"), kErrorFileNotFound);
  EXPECT_EQ(reg_.RegQueryValueEx(child.Get(), "Value", nullptr, nullptr, nullptr),
            kErrorFileNotFound);

  // A key with sub-keys is not deleted.
  EXPECT_EQ(reg_.RegDeleteKeyEx(Test(), "Parent", 0), kErrorAccessDenied);
  EXPECT_EQ(SubKeys(Test()), (std::vector<std::string>{"Parent"}));
  EXPECT_EQ(reg_.RegDeleteKeyEx(parent.Get(), "Child", 0), kErrorSuccess);
  EXPECT_EQ(reg_.RegDeleteKeyEx(parent.Get(), "Child", 0), kErrorFileNotFound);

  // The handle to the deleted key still closes, but nothing else works on it.
  const Bytes one{1, 0, 0, 0};
  std::string name;
  RegKeyInfo info;
  Key other(reg_);
  EXPECT_EQ(reg_.RegSetValueEx(child.Get(), "x", kRegDword, one.data(), 4), kErrorKeyDeleted);
  EXPECT_EQ(reg_.RegQueryValueEx(child.Get(), "x", nullptr, nullptr, nullptr), kErrorKeyDeleted);
  EXPECT_EQ(reg_.RegEnumValue(child.Get(), 0, &name), kErrorKeyDeleted);
  EXPECT_EQ(reg_.RegEnumKeyEx(child.Get(), 0, &name), kErrorKeyDeleted);
  EXPECT_EQ(reg_.RegQueryInfoKey(child.Get(), &info), kErrorKeyDeleted);
  EXPECT_EQ(reg_.RegOpenKeyEx(child.Get(), "", kKeyRead, other.Out()), kErrorKeyDeleted);
  EXPECT_EQ(reg_.RegCreateKeyEx(child.Get(), "New", kKeyAllAccess, other.Out(), nullptr),
            kErrorKeyDeleted);

  EXPECT_EQ(reg_.RegDeleteKeyEx(Test(), "Parent", 0), kErrorSuccess);
  EXPECT_TRUE(SubKeys(Test()).empty());
}

TEST_F(RegistryContract, InvalidHandlesAreRefused) {
  Key key(reg_);
  Create(Test(), "Short-lived", &key);
  const HKey closed = key.Release();
  ASSERT_EQ(reg_.RegCloseKey(closed), kErrorSuccess);

  const Bytes one{1, 0, 0, 0};
  std::string name = "untouched";
  RegKeyInfo info;
  info.subKeys = kJunk;
  for (const HKey bad : {closed, kNoKey}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(reg_.RegOpenKeyEx(bad, "x", kKeyRead, key.Out()), kErrorInvalidHandle);
    EXPECT_EQ(key.Get(), kJunkKey);
    EXPECT_EQ(reg_.RegCreateKeyEx(bad, "x", kKeyAllAccess, key.Out(), nullptr),
              kErrorInvalidHandle);
    EXPECT_EQ(reg_.RegQueryValueEx(bad, "x", nullptr, nullptr, nullptr), kErrorInvalidHandle);
    EXPECT_EQ(reg_.RegSetValueEx(bad, "x", kRegDword, one.data(), 4), kErrorInvalidHandle);
    EXPECT_EQ(reg_.RegEnumKeyEx(bad, 0, &name), kErrorInvalidHandle);
    EXPECT_EQ(reg_.RegEnumValue(bad, 0, &name), kErrorInvalidHandle);
    EXPECT_EQ(reg_.RegQueryInfoKey(bad, &info), kErrorInvalidHandle);
    EXPECT_EQ(reg_.RegDeleteValue(bad, "x"), kErrorInvalidHandle);
    EXPECT_EQ(reg_.RegDeleteKeyEx(bad, "x", 0), kErrorInvalidHandle);
    EXPECT_EQ(reg_.RegCloseKey(bad), kErrorInvalidHandle);
  }
  EXPECT_EQ(name, "untouched");
  EXPECT_EQ(info.subKeys, kJunk);
}

TEST_F(RegistryContract, HandlesCarryTheRightsTheyWereOpenedWith) {
  Key full(reg_);
  Create(Test(), "Rights\\Sub", &full);
  Set(Test(), "Value", kRegDword, {1, 0, 0, 0});
  const Bytes one{1, 0, 0, 0};
  std::string name;

  Key query(reg_);
  ASSERT_EQ(reg_.RegOpenKeyEx(Test(), "", kKeyQueryValue, query.Out()), kErrorSuccess);
  EXPECT_EQ(reg_.RegQueryValueEx(query.Get(), "Value", nullptr, nullptr, nullptr), kErrorSuccess);
  EXPECT_EQ(reg_.RegSetValueEx(query.Get(), "Value", kRegDword, one.data(), 4), kErrorAccessDenied);
  EXPECT_EQ(reg_.RegDeleteValue(query.Get(), "Value"), kErrorAccessDenied);
  EXPECT_EQ(reg_.RegEnumKeyEx(query.Get(), 0, &name), kErrorAccessDenied);

  Key set(reg_);
  ASSERT_EQ(reg_.RegOpenKeyEx(Test(), "", kKeySetValue, set.Out()), kErrorSuccess);
  EXPECT_EQ(reg_.RegSetValueEx(set.Get(), "Other", kRegDword, one.data(), 4), kErrorSuccess);
  EXPECT_EQ(reg_.RegQueryValueEx(set.Get(), "Value", nullptr, nullptr, nullptr),
            kErrorAccessDenied);
  EXPECT_EQ(reg_.RegEnumValue(set.Get(), 0, &name), kErrorAccessDenied);

  Key read(reg_);
  ASSERT_EQ(reg_.RegOpenKeyEx(Test(), "Rights", kKeyRead, read.Out()), kErrorSuccess);
  EXPECT_EQ(reg_.RegEnumKeyEx(read.Get(), 0, &name), kErrorSuccess);
  EXPECT_EQ(name, "Sub");
  EXPECT_EQ(reg_.RegSetValueEx(read.Get(), "x", kRegDword, one.data(), 4), kErrorAccessDenied);
}

}  // namespace
}  // namespace ombrant::test
