// Our .reg reader and writer against a real peer: Wine's regedit.exe exports a tree of the real
// registry that the simulated machine imports, and imports a tree that the simulated machine
// exported. Every value must arrive byte for byte, in both directions.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/sim/simRegFile.h"
#include "platform/sim/simRegistry.h"
#include "platform/vqStrings.h"
#include "platform/win32/winHeaders.h"
#include "tests/contract/ContractEnv.h"
#include "tests/win32/winTestSupport.h"

namespace ombrant::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Wide(std::string_view utf8) {
  const std::string bytes = Utf8ToUtf16LeBytes(utf8);
  Bytes data(bytes.begin(), bytes.end());
  data.push_back(0);
  data.push_back(0);
  return data;
}

// A multi-string: every string with its NUL, then the closing NUL.
Bytes MultiSz(std::initializer_list<std::string_view> strings) {
  Bytes data;
  for (std::string_view s : strings) {
    const Bytes one = Wide(s);
    data.insert(data.end(), one.begin(), one.end());
  }
  data.push_back(0);
  data.push_back(0);
  return data;
}

struct Value {
  std::uint32_t type = 0;
  Bytes data;
  bool operator==(const Value&) const = default;
};

// A key tree: path below the compared root ("" for the root) -> its values by name. Sub-keys
// show as entries of their own, so a key without values still counts.
using Tree = std::map<std::string, std::map<std::string, Value>>;

std::string Describe(const Value& v) {
  static const char kHex[] = "0123456789abcdef";
  std::string s = "type " + std::to_string(v.type) + ", " + std::to_string(v.data.size()) + " bytes:";
  for (std::uint8_t b : v.data) {
    s += ' ';
    s += kHex[b >> 4];
    s += kHex[b & 15];
  }
  return s;
}

void ExpectSameTree(const Tree& expected, const Tree& actual) {
  for (const auto& [key, values] : expected) {
    const auto found = actual.find(key);
    if (found == actual.end()) {
      ADD_FAILURE() << "key missing: \"" << key << "\"";
      continue;
    }
    for (const auto& [name, value] : values) {
      const auto v = found->second.find(name);
      if (v == found->second.end()) {
        ADD_FAILURE() << "value missing: \"" << key << "\" \"" << name << "\"";
      } else {
        EXPECT_EQ(Describe(v->second), Describe(value)) << "value \"" << key << "\" \"" << name << "\"";
      }
    }
    for (const auto& [name, value] : found->second) {
      EXPECT_TRUE(values.count(name)) << "unexpected value: \"" << key << "\" \"" << name << "\"";
    }
  }
  for (const auto& [key, values] : actual) {
    EXPECT_TRUE(expected.count(key)) << "unexpected key: \"" << key << "\"";
  }
}

Tree ReadSimTree(const sim::SimHive& hive, const std::string& root) {
  Tree tree;
  std::vector<std::string> pending{""};
  while (!pending.empty()) {
    const std::string rel = pending.back();
    pending.pop_back();
    const std::string path = rel.empty() ? root : root + "\\" + rel;
    auto& values = tree[rel];
    for (const sim::SimValue& v : hive.Values(path)) values[v.name] = {v.type, v.data};
    for (const std::string& sub : hive.SubKeyNames(path)) {
      pending.push_back(rel.empty() ? sub : rel + "\\" + sub);
    }
  }
  return tree;
}

// The same through the real port.
void ReadPortTree(port::IRegistry& reg, port::HKey key, const std::string& rel, Tree* tree) {
  auto& values = (*tree)[rel];
  std::string name;
  for (std::uint32_t i = 0; reg.RegEnumValue(key, i, &name) == port::kErrorSuccess; ++i) {
    std::uint32_t type = 0, size = 0;
    ASSERT_EQ(reg.RegQueryValueEx(key, name, &type, nullptr, &size), port::kErrorSuccess) << name;
    Bytes data(size);
    ASSERT_EQ(reg.RegQueryValueEx(key, name, &type, data.data(), &size), port::kErrorSuccess);
    data.resize(size);
    values[name] = {type, data};
  }
  std::vector<std::string> subKeys;
  for (std::uint32_t i = 0; reg.RegEnumKeyEx(key, i, &name) == port::kErrorSuccess; ++i) {
    subKeys.push_back(name);
  }
  for (const std::string& sub : subKeys) {
    port::HKey child = port::kNoKey;
    ASSERT_EQ(reg.RegOpenKeyEx(key, sub, port::kKeyRead, &child), port::kErrorSuccess) << sub;
    ReadPortTree(reg, child, rel.empty() ? sub : rel + "\\" + sub, tree);
    EXPECT_EQ(reg.RegCloseKey(child), port::kErrorSuccess);
  }
}

// A file in the temporary folder, removed when done.
class TempFile {
 public:
  explicit TempFile(const wchar_t* name) {
    wchar_t dir[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, dir);
    path_ = std::wstring(dir, n) + name;
    DeleteFileW(path_.c_str());
  }
  ~TempFile() { DeleteFileW(path_.c_str()); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  [[nodiscard]] const std::wstring& Path() const { return path_; }
  [[nodiscard]] std::string Read() const {
    std::ifstream in(path_.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  void Write(const std::string& bytes) const {
    std::ofstream out(path_.c_str(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

 private:
  std::wstring path_;
};

// Runs regedit.exe with the given arguments and returns its exit code (-1 when it did not run
// or did not end within a minute).
int RunRegedit(const std::wstring& arguments) {
  wchar_t windows[MAX_PATH + 1];
  const UINT n = GetWindowsDirectoryW(windows, MAX_PATH + 1);
  std::wstring command = L"\"" + std::wstring(windows, n) + L"\\regedit.exe\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    ADD_FAILURE() << "cannot start regedit.exe: error " << GetLastError();
    return -1;
  }
  const UniqueHandle process(info.hProcess);
  const UniqueHandle thread(info.hThread);
  if (WaitForSingleObject(process.Get(), 60000) != WAIT_OBJECT_0) {
    TerminateProcess(process.Get(), 1);
    ADD_FAILURE() << "regedit.exe did not finish";
    return -1;
  }
  DWORD code = 0;
  GetExitCodeProcess(process.Get(), &code);
  return static_cast<int>(code);
}

constexpr const char* kCompatPath = "Software\\Ombrant\\Test\\Compat";
constexpr const wchar_t* kCompatKeyW = L"HKEY_CURRENT_USER\\Software\\Ombrant\\Test\\Compat";

// The tree both directions write: every value type, text beyond ASCII, empty values, the
// default value, names that need escaping, nested and empty keys. Wine lists values by name
// and Windows in the order they were made; writing them in name order (the map's) keeps the
// two alike.
Tree SampleTree() {
  Tree t;
  auto& root = t[""];
  root[""] = {REG_SZ, Wide("the default value")};
  root["Text"] = {REG_SZ, Wide("Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xD0\x96 \xE6\x97\xA5 \xF0\x9F\x98\x80")};
  root["Empty text"] = {REG_SZ, Wide("")};
  root["Quote \" and \\ backslash"] = {REG_SZ, Wide("C:\\Program Files\\\"x\"")};
  root["Expand"] = {REG_EXPAND_SZ, Wide("%SystemRoot%\\system32;%APPDATA%")};
  root["Multi"] = {REG_MULTI_SZ, MultiSz({"first", "s\xC3\xA9" "cond", "third"})};
  root["Multi empty"] = {REG_MULTI_SZ, {0, 0}};
  root["Binary"] = {REG_BINARY, {0, 1, 0, 0, 0xFF, 0, 0x80, 0}};
  root["Binary empty"] = {REG_BINARY, {}};
  root["Dword"] = {REG_DWORD, {0x78, 0x56, 0x34, 0x12}};
  root["Dword zero"] = {REG_DWORD, {0, 0, 0, 0}};
  root["Qword"] = {REG_QWORD, {8, 7, 6, 5, 4, 3, 2, 1}};
  root["None"] = {REG_NONE, {0, 0, 1}};
  root["None empty"] = {REG_NONE, {}};
  root["\xD0\x98\xD0\xBC\xD1\x8F"] = {REG_SZ, Wide("named in Cyrillic")};
  Bytes big(1000);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 37);
  root["Binary long"] = {REG_BINARY, big};
  root["@"] = {REG_SZ, Wide("a value named @, not the default one")};
  root["Big endian"] = {REG_DWORD_BIG_ENDIAN, {0x12, 0x34, 0x56, 0x78}};
  root["Unknown type"] = {0x1234, {42, 0}};
  root["Multi unclosed"] = {REG_MULTI_SZ, {'a', 0, 0, 0}};
  t["Empty key"];
  t["Key [x] with ]bracket"]["v"] = {REG_DWORD, {1, 0, 0, 0}};
  t["Slash/Key"]["v"] = {REG_DWORD, {2, 0, 0, 0}};
  t["Outer"]["Level"] = {REG_DWORD, {1, 0, 0, 0}};
  t["Outer\\Inner"][""] = {REG_EXPAND_SZ, Wide("%TEMP%")};
  t["Outer\\Inner\\K\xC3\xBC\xC3\xA7\xC3\xBC\xD0\xBA"]["Deep"] = {REG_MULTI_SZ, MultiSz({"x"})};
  return t;
}

void WriteToSim(const Tree& tree, sim::SimHive& hive) {
  for (const auto& [key, values] : tree) {
    const std::string path = key.empty() ? kCompatPath : std::string(kCompatPath) + "\\" + key;
    hive.AddKey(path);
    for (const auto& [name, v] : values) hive.SetValue(path, name, v.type, v.data);
  }
}

class RegeditCompat : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(reg_.RegCreateKeyEx(port::kHKeyCurrentUser, kCompatPath, port::kKeyAllAccess,
                                  &compat_, nullptr),
              port::kErrorSuccess);
  }
  void TearDown() override {
    if (compat_ != port::kNoKey) {
      EXPECT_EQ(reg_.RegCloseKey(compat_), port::kErrorSuccess);
    }
  }

  void WriteToRegistry(const Tree& tree) {
    for (const auto& [key, values] : tree) {
      port::HKey k = port::kNoKey;
      ASSERT_EQ(reg_.RegCreateKeyEx(compat_, key, port::kKeyAllAccess, &k, nullptr),
                port::kErrorSuccess) << key;
      for (const auto& [name, v] : values) {
        EXPECT_EQ(reg_.RegSetValueEx(k, name, v.type, v.data.data(),
                                     static_cast<std::uint32_t>(v.data.size())),
                  port::kErrorSuccess) << name;
      }
      EXPECT_EQ(reg_.RegCloseKey(k), port::kErrorSuccess);
    }
  }

  Tree ReadRegistry() {
    Tree tree;
    ReadPortTree(reg_, compat_, "", &tree);
    return tree;
  }

  std::unique_ptr<ContractEnv> env_ = MakeContractEnv();
  port::IRegistry& reg_ = env_->Port().registry;
  port::HKey compat_ = port::kNoKey;
};

TEST_F(RegeditCompat, RegeditExportImportsIntoTheSimulatedMachine) {
  const Tree sample = SampleTree();
  WriteToRegistry(sample);
  ExpectSameTree(sample, ReadRegistry());  // the real registry keeps what it was given

  TempFile file(L"ombrant-regedit-export.reg");
  ASSERT_EQ(RunRegedit(L"/E \"" + file.Path() + L"\" \"" + kCompatKeyW + L"\""), 0);
  const std::string text = file.Read();
  ASSERT_FALSE(text.empty()) << "regedit wrote nothing";

  sim::SimRegistry registry(false);
  sim::RegFileError error;
  ASSERT_TRUE(sim::ImportRegText(text, "export.reg", {registry, nullptr, sim::RegRoots::kCurrentUser},
                                 &error))
      << error.ToString();
  ExpectSameTree(sample, ReadSimTree(*registry.CurrentUserHive(), kCompatPath));

  // Exported again, the same tree gives regedit's own file, byte for byte.
  const std::string ours =
      sim::ExportRegText(*registry.CurrentUserHive(), "HKEY_CURRENT_USER", kCompatPath);
  EXPECT_TRUE(ours == text) << "our export differs from regedit's:\n"
                            << Utf16LeBytesToUtf8(ours) << "\nregedit's:\n"
                            << Utf16LeBytesToUtf8(text);
}

// A REG_DWORD whose size is not 4 cannot be written as dword:; it must survive the export all
// the same.
TEST_F(RegeditCompat, OddSizedDwordsSurviveRegeditExport) {
  Tree odd;
  odd[""]["Three bytes"] = {REG_DWORD, {1, 2, 3}};
  odd[""]["Eight bytes"] = {REG_DWORD, {1, 2, 3, 4, 5, 6, 7, 8}};
  WriteToRegistry(odd);

  TempFile file(L"ombrant-regedit-dword.reg");
  ASSERT_EQ(RunRegedit(L"/E \"" + file.Path() + L"\" \"" + kCompatKeyW + L"\""), 0);
  sim::SimRegistry registry(false);
  sim::RegFileError error;
  ASSERT_TRUE(sim::ImportRegText(file.Read(), "export.reg",
                                 {registry, nullptr, sim::RegRoots::kCurrentUser}, &error))
      << error.ToString();
  const Tree imported = ReadSimTree(*registry.CurrentUserHive(), kCompatPath);
  if (env_->IsWine() && imported.at("").at("Three bytes").data.size() == 4) {
    GTEST_SKIP() << "Wine's regedit writes a REG_DWORD of any size as dword: with 4 bytes; "
                    "Windows writes such a value as hex(4)";
  }
  ExpectSameTree(odd, imported);
}

TEST_F(RegeditCompat, SimulatedExportImportsWithRegedit) {
  Tree sample = SampleTree();
  // Values that only regedit's hex form carries: our export writes them so.
  auto& hexOnly = sample["Hex only"];
  hexOnly["Line break"] = {REG_SZ, Wide("first line\r\nsecond line")};
  hexOnly["Inner NUL"] = {REG_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0}};
  hexOnly["No data"] = {REG_SZ, {}};
  hexOnly["Short dword"] = {REG_DWORD, {1, 2, 3}};
  hexOnly["Long dword"] = {REG_DWORD, {1, 2, 3, 4, 5, 6, 7, 8}};
  sim::SimRegistry registry(false);
  WriteToSim(sample, *registry.CurrentUserHive());

  TempFile file(L"ombrant-sim-export.reg");
  file.Write(sim::ExportRegText(*registry.CurrentUserHive(), "HKEY_CURRENT_USER", kCompatPath));
  ASSERT_EQ(RunRegedit(L"/S \"" + file.Path() + L"\""), 0);
  ExpectSameTree(sample, ReadRegistry());
}

}  // namespace
}  // namespace ombrant::test
