#include "platform/kvrRegistry.h"

#include <gtest/gtest.h>

#include "tests/unit/kvrRegistryTestSupport.h"

namespace ombrant {
namespace {

using namespace port;
using test::Bytes;
using test::Chars;
using test::Utf16;
using test::Utf16Z;
using Lines = std::vector<std::string>;

using RegistryTest = test::SimRegistryTest<false>;
using Registry64Test = test::SimRegistryTest<true>;

constexpr const char* kSimKey = "HKEY_CURRENT_USER\\Software\\Test";
constexpr const char* kKey = "\\Software\\Test\\";

// The text of the ERegistryException `f` raises.
template <typename F>
std::string RegistryError(F f) {
  try {
    f();
  } catch (const ERegistryException& e) {
    return e.what();
  }
  return "(nothing raised)";
}

TEST_F(RegistryTest, SetViewAcceptsOnly32Or64AndSwapsTheViewFlags) {
  TMyRegistry reg(sim_);
  EXPECT_EQ(reg.View(), 32);
  EXPECT_EQ(reg.Access(), kKeyAllAccess);
  EXPECT_EQ(reg.RootKey(), kHKeyCurrentUser);

  EXPECT_EQ(RegistryError([&] { reg.SetView(48); }),
            "Windows Registry only supported with 32 or 64 bits!");
  EXPECT_EQ(reg.View(), 32);
  EXPECT_EQ(reg.Access(), kKeyAllAccess);

  reg.SetAccess(kKeyAllAccess | kKeyWow64_32Key);
  reg.SetView(64);
  EXPECT_EQ(reg.Access(), kKeyAllAccess | kKeyWow64_64Key);
  reg.SetView(32);
  EXPECT_EQ(reg.Access(), kKeyAllAccess);
}

TEST_F(Registry64Test, EachViewReadsAndWritesItsOwnSoftwareKey) {
  sim_.SetString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor", "Bits", "64");
  sim_.SetString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Vendor", "Bits", "32");
  sim_.AddKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Only64");

  for (int view : {32, 64}) {
    TMyRegistry reg(sim_);
    reg.SetView(view);
    reg.SetRootKey(kHKeyLocalMachine);
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\SOFTWARE\\Vendor\\")) << view;
    EXPECT_EQ(reg.ReadString("Bits"), std::to_string(view));
    EXPECT_EQ(reg.KeyExists("\\SOFTWARE\\Only64"), view == 64);
    ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Written", true)) << view;
    reg.WriteInteger("View", view);
  }
  const auto in64 = sim_.GetValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Written", "View");
  const auto in32 = sim_.GetValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Written", "View");
  ASSERT_TRUE(in64 && in32);
  EXPECT_EQ(in64->data, (Bytes{64, 0, 0, 0}));
  EXPECT_EQ(in32->data, (Bytes{32, 0, 0, 0}));
}

TEST_F(Registry64Test, OpeningAppliesTheViewToAMaskSetAfterwards) {
  sim_.SetString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor", "Bits", "64");
  sim_.SetString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Vendor", "Bits", "32");
  TMyRegistry reg(sim_);
  reg.SetView(64);
  reg.SetRootKey(kHKeyLocalMachine);
  reg.SetAccess(kKeyAllAccess | kKeyWow64_32Key);
  ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Vendor", false));
  EXPECT_EQ(reg.ReadString("Bits"), "64");
  EXPECT_EQ(reg.Access(), kKeyAllAccess | kKeyWow64_64Key);
}

TEST_F(RegistryTest, PathsWithALeadingBackslashStartAtTheRootOthersAtTheCurrentKey) {
  TMyRegistry reg(sim_);
  ASSERT_TRUE(reg.OpenKey("\\Software\\A\\", true));
  EXPECT_EQ(reg.CurrentPath(), "Software\\A");
  ASSERT_TRUE(reg.OpenKey("B\\", true));
  EXPECT_EQ(reg.CurrentPath(), "Software\\A\\B");
  EXPECT_TRUE(sim_.HasKey("HKEY_CURRENT_USER\\Software\\A\\B"));
  EXPECT_FALSE(sim_.HasKey("HKEY_CURRENT_USER\\B"));

  // A failed open leaves the current key as it was.
  const HKey b = reg.CurrentKey();
  EXPECT_FALSE(reg.OpenKey("\\Software\\Missing", false));
  EXPECT_FALSE(sim_.HasKey("HKEY_CURRENT_USER\\Software\\Missing"));
  EXPECT_EQ(reg.CurrentKey(), b);
  EXPECT_EQ(reg.CurrentPath(), "Software\\A\\B");

  ASSERT_TRUE(reg.OpenKey("\\", false));  // the root itself
  EXPECT_EQ(reg.CurrentPath(), "");
  reg.CloseKey();
  EXPECT_EQ(reg.CurrentKey(), kNoKey);
  ASSERT_TRUE(reg.OpenKey("Software\\A", false));  // relative, nothing open: from the root
  EXPECT_EQ(reg.CurrentPath(), "Software\\A");
  EXPECT_EQ(sim_.OpenHandleCount(), 1u);  // every open closed the key before it

  reg.SetRootKey(kHKeyLocalMachine);
  EXPECT_EQ(reg.CurrentKey(), kNoKey);
  EXPECT_EQ(sim_.OpenHandleCount(), 0u);
}

TEST_F(RegistryTest, OpenKeyReadOnlyFallsBackToNarrowerMasksAndNeverCreates) {
  struct Case {
    std::uint32_t granted;
    bool opens;
  };
  const Case cases[] = {
      {kKeyRead, true},
      {kStandardRightsRead | kKeyQueryValue | kKeyEnumerateSubKeys, true},
      {kKeyQueryValue, true},
      {kKeyEnumerateSubKeys, false},
      {0, false},
  };
  for (const Case& c : cases) {
    sim_.DeleteTree(kSimKey);
    sim_.SetString(kSimKey, "Name", "value");
    sim_.LimitAccess(kSimKey, c.granted);
    TMyRegistry reg(sim_);
    EXPECT_EQ(reg.OpenKeyReadOnly(kKey), c.opens) << std::hex << c.granted;
    if (c.opens) {
      EXPECT_EQ(reg.ReadString("Name"), "value") << std::hex << c.granted;
    }
    EXPECT_EQ(reg.Access(), kKeyAllAccess);
    EXPECT_FALSE(reg.OpenKey(kKey, false)) << "full access must be refused";
  }

  TMyRegistry reg(sim_);
  EXPECT_FALSE(reg.OpenKeyReadOnly("\\Software\\Nowhere\\"));
  EXPECT_FALSE(sim_.HasKey("HKEY_CURRENT_USER\\Software\\Nowhere"));
}

TEST_F(RegistryTest, KeyExistsLeavesTheCurrentKeyAlone) {
  sim_.AddKey("HKEY_CURRENT_USER\\Software\\A\\B");
  TMyRegistry reg(sim_);
  ASSERT_TRUE(reg.OpenKey("\\Software\\A", false));
  const HKey a = reg.CurrentKey();
  EXPECT_TRUE(reg.KeyExists("B"));
  EXPECT_TRUE(reg.KeyExists("\\Software\\A\\B\\"));
  EXPECT_FALSE(reg.KeyExists("\\B"));
  EXPECT_FALSE(reg.KeyExists("C"));
  EXPECT_EQ(reg.CurrentKey(), a);
  EXPECT_EQ(sim_.OpenHandleCount(), 1u);
}

TEST_F(RegistryTest, ListsTheNamesOfTheCurrentKey) {
  sim_.SetString(kSimKey, "", "default");
  sim_.SetString(kSimKey, "One", "1");
  sim_.SetDword(kSimKey, "Two", 2);
  sim_.AddKey(std::string(kSimKey) + "\\Sub1");
  sim_.AddKey(std::string(kSimKey) + "\\Sub2\\Deeper");

  TMyRegistry reg(sim_);
  TStringList names{"stale"};
  reg.GetKeyNames(names);  // nothing open: just cleared
  EXPECT_EQ(names.Count(), 0);

  ASSERT_TRUE(reg.OpenKeyReadOnly(kKey));
  reg.GetValueNames(names);
  names.SetSorted(true);
  EXPECT_EQ(names.Strings(), (Lines{"", "One", "Two"}));
  names.SetSorted(false);
  reg.GetKeyNames(names);
  names.SetSorted(true);
  EXPECT_EQ(names.Strings(), (Lines{"Sub1", "Sub2"}));
}

TEST_F(RegistryTest, StringsAreStoredAsUtf16AndReadAsWritten) {
  const std::string text = "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xF0\x9F\x98\x80";  // Grüße € 😀
  TMyRegistry reg(sim_);
  ASSERT_TRUE(reg.OpenKey(kKey, true));
  reg.WriteString("Name", text);
  reg.WriteExpandString("Path", "%USERPROFILE%\\Data");
  reg.WriteInteger("Number", -2);

  const auto name = sim_.GetValue(kSimKey, "Name");
  const auto path = sim_.GetValue(kSimKey, "Path");
  const auto number = sim_.GetValue(kSimKey, "Number");
  ASSERT_TRUE(name && path && number);
  EXPECT_EQ(name->type, kRegSz);
  EXPECT_EQ(name->data, Utf16Z(text));
  EXPECT_EQ(path->type, kRegExpandSz);
  EXPECT_EQ(number->type, kRegDword);
  EXPECT_EQ(number->data, (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));

  EXPECT_EQ(reg.ReadString("Name"), text);
  EXPECT_EQ(reg.ReadWideString("Name"), text);
  EXPECT_EQ(reg.ReadString("Path"), "%USERPROFILE%\\Data");  // never expanded
  EXPECT_EQ(reg.ReadWideString("Path"), "%USERPROFILE%\\Data");
  EXPECT_EQ(reg.ReadInteger("Number"), -2);
  EXPECT_EQ(reg.ReadString("Missing"), "");
  EXPECT_EQ(reg.ReadWideString("Missing"), "");
  EXPECT_EQ(reg.GetDataSize("Missing"), -1);
  EXPECT_EQ(reg.GetDataSize("Number"), 4);
}

TEST_F(RegistryTest, MultiStringsBecomeLinesEndingInCrLf) {
  struct Case {
    Bytes data;
    std::string text;
  };
  const Case cases[] = {
      {Utf16(Chars("a\0b\0\0")), "a\r\nb\r\n"},
      {Utf16(Chars("a\0b")), "a\r\nb"},  // written without its terminators
      {Utf16(Chars("a\0\0b\0\0")), "a\r\n\r\nb\r\n"},
      {Utf16(Chars("\xC3\xA4\0\xE2\x82\xAC\0\0")), "\xC3\xA4\r\n\xE2\x82\xAC\r\n"},
      {Utf16(Chars("\0")), ""},
      {{}, ""},
      {{'a', 0, 0, 0, 'b'}, "a"},  // odd size: the stray byte is dropped
  };
  TMyRegistry reg(sim_);
  ASSERT_TRUE(reg.OpenKey(kKey, true));
  for (const Case& c : cases) {
    sim_.SetValue(kSimKey, "List", kRegMultiSz, c.data);
    EXPECT_EQ(reg.ReadMultiSz("List"), c.text) << testing::PrintToString(c.data);
  }
  EXPECT_EQ(reg.ReadMultiSz("Missing"), "");
}

TEST_F(RegistryTest, WritingMultiStringsTurnsEachCrLfIntoOneNul) {
  struct Case {
    std::string text;
    Bytes data;
  };
  const Case cases[] = {
      {"a\r\nb\r\n", Utf16(Chars("a\0b\0\0"))},
      {"a\r\nb", Utf16(Chars("a\0b\0"))},
      {"", Bytes{0, 0}},
      {"a\nb\r\n", Utf16(Chars("a\nb\0\0"))},  // a lone LF is part of the string
  };
  TMyRegistry reg(sim_);
  ASSERT_TRUE(reg.OpenKey(kKey, true));
  for (const Case& c : cases) {
    reg.WriteMultiSz("List", c.text);
    const auto value = sim_.GetValue(kSimKey, "List");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, kRegMultiSz);
    EXPECT_EQ(value->data, c.data) << testing::PrintToString(c.text);
  }
  reg.WriteMultiSz("List", "M\xC3\xBCller\r\nO'Brien\r\n");
  EXPECT_EQ(reg.ReadMultiSz("List"), "M\xC3\xBCller\r\nO'Brien\r\n");
}

enum class Reader { String, WideString, MultiSz, Integer };

std::string Read(TMyRegistry& reg, Reader reader, std::string_view name) {
  try {
    switch (reader) {
      case Reader::String:
        return reg.ReadString(name);
      case Reader::WideString:
        return reg.ReadWideString(name);
      case Reader::MultiSz:
        return reg.ReadMultiSz(name);
      case Reader::Integer:
        return std::to_string(reg.ReadInteger(name));
    }
  } catch (const ERegistryException& e) {
    return std::string("raised: ") + e.what();
  }
  return "unreachable";
}

TEST_F(RegistryTest, ValuesOfUnexpectedTypesRaiseTheDataTypeErrorOrReadSafely) {
  sim_.SetValue(kSimKey, "Bin", kRegBinary, {1, 2, 3});
  sim_.SetValue(kSimKey, "Str", kRegSz, Utf16Z("text"));
  sim_.SetValue(kSimKey, "Multi", kRegMultiSz, Utf16(Chars("a\0\0")));
  sim_.SetValue(kSimKey, "ShortDword", kRegDword, {1, 2});
  sim_.SetValue(kSimKey, "LongDword", kRegDword, {1, 0, 0, 0, 9, 9, 9, 9});
  sim_.SetValue(kSimKey, "Odd", kRegSz, {'h', 0, 'i', 0, '!'});
  sim_.SetValue(kSimKey, "Unterminated", kRegSz, Utf16("abc"));
  sim_.SetValue(kSimKey, "Foreign", 0x4242, {9, 8, 7, 6});
  sim_.SetValue(kSimKey, "EmptyBin", kRegBinary, {});
  struct Case {
    Reader reader;
    const char* name;
    const char* result;
  };
  const Case cases[] = {
      {Reader::String, "Bin", "raised: Invalid data type for 'Bin'"},
      {Reader::WideString, "Bin", "raised: Invalid data type for 'Bin'"},
      {Reader::MultiSz, "Bin", "raised: Invalid data type for 'Bin'"},
      {Reader::Integer, "Bin", "raised: Invalid data type for 'Bin'"},
      {Reader::MultiSz, "Str", "raised: Invalid data type for 'Str'"},
      {Reader::Integer, "Str", "raised: Invalid data type for 'Str'"},
      {Reader::String, "Multi", "raised: Invalid data type for 'Multi'"},
      {Reader::Integer, "ShortDword", "raised: Invalid data type for 'ShortDword'"},
      {Reader::Integer, "LongDword", "raised: Invalid data type for 'LongDword'"},
      {Reader::String, "Foreign", "raised: Invalid data type for 'Foreign'"},
      {Reader::Integer, "Missing", "raised: Failed to get data for 'Missing'"},
      {Reader::String, "Odd", "hi"},
      {Reader::String, "Unterminated", "abc"},
      {Reader::WideString, "Unterminated", "abc"},
      {Reader::String, "EmptyBin", ""},
  };
  TMyRegistry reg(sim_);
  ASSERT_TRUE(reg.OpenKeyReadOnly(kKey));
  for (const Case& c : cases) {
    EXPECT_EQ(Read(reg, c.reader, c.name), c.result) << c.name << " " << static_cast<int>(c.reader);
  }
}

TEST_F(RegistryTest, RefusedWritesRaiseTheSetDataError) {
  TMyRegistry nothingOpen(sim_);
  EXPECT_EQ(RegistryError([&] { nothingOpen.WriteString("Name", "x"); }),
            "Failed to set data for 'Name'");

  test::FailingWritesRegistry failing(sim_);
  TMyRegistry reg(failing);
  ASSERT_TRUE(reg.OpenKey(kKey, true));
  EXPECT_EQ(RegistryError([&] { reg.WriteString("S", "x"); }), "Failed to set data for 'S'");
  EXPECT_EQ(RegistryError([&] { reg.WriteExpandString("E", "x"); }),
            "Failed to set data for 'E'");
  EXPECT_EQ(RegistryError([&] { reg.WriteInteger("I", 1); }), "Failed to set data for 'I'");
  EXPECT_EQ(RegistryError([&] { reg.WriteMultiSz("M", "x\r\n"); }),
            "Failed to set data for 'M'");
  EXPECT_FALSE(sim_.GetValue(kSimKey, "S"));
}

TEST_F(RegistryTest, CopyValueCopiesTheBytesUnchanged) {
  struct Case {
    const char* name;
    std::uint32_t type;
    Bytes data;
    std::uint32_t copiedType;
  };
  const Case cases[] = {
      {"Text", kRegSz, Utf16Z("Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xF0\x9F\x98\x80"), kRegSz},
      {"Expand", kRegExpandSz, Utf16Z("%APPDATA%\\\xD0\x9F\xD1\x80\xD0\xBE"), kRegExpandSz},
      {"Multi", kRegMultiSz, Utf16(Chars("\xCE\xB1\0\xCE\xB2\0\0")), kRegMultiSz},
      {"Unterminated", kRegSz, Utf16("abc"), kRegSz},
      {"Odd", kRegSz, {'a', 0, 'b'}, kRegSz},
      {"EmptyString", kRegSz, {}, kRegSz},
      {"Binary", kRegBinary, {0, 0xFF, 0x80, 0, 1}, kRegBinary},
      {"Dword", kRegDword, {1, 2, 3, 4}, kRegDword},
      {"BigEndian", kRegDwordBigEndian, {1, 2, 3, 4}, kRegDwordBigEndian},
      {"Qword", kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}, kRegQword},
      {"Requirements", kRegResourceRequirementsList, {7, 7}, kRegResourceRequirementsList},
      {"None", kRegNone, {}, kRegNone},
      {"Foreign", 0x4242, {9, 8, 7}, 0x4242},  // a type Windows does not name keeps its number
      {"", kRegSz, Utf16Z("default value"), kRegSz},
  };
  for (const Case& c : cases) sim_.SetValue(kSimKey, c.name, c.type, c.data);

  TMyRegistry source(sim_);
  TMyRegistry target(sim_);
  ASSERT_TRUE(source.OpenKeyReadOnly(kKey));
  ASSERT_TRUE(target.OpenKey("\\Software\\Copy\\", true));
  for (const Case& c : cases) {
    source.CopyValue(c.name, target, false);
    const auto copied = sim_.GetValue("HKEY_CURRENT_USER\\Software\\Copy", c.name);
    ASSERT_TRUE(copied) << c.name;
    EXPECT_EQ(copied->type, c.copiedType) << c.name;
    EXPECT_EQ(copied->data, c.data) << c.name;
  }
}

TEST_F(RegistryTest, CopyValueOverwritesOnlyWhenAsked) {
  sim_.SetString(kSimKey, "V", "source");
  sim_.SetString("HKEY_CURRENT_USER\\Software\\Copy", "V", "target");
  TMyRegistry source(sim_);
  TMyRegistry target(sim_);
  ASSERT_TRUE(source.OpenKeyReadOnly(kKey));
  ASSERT_TRUE(target.OpenKey("\\Software\\Copy\\", false));

  source.CopyValue("V", target, false);
  EXPECT_EQ(target.ReadString("V"), "target");
  source.CopyValue("V", target, true);
  EXPECT_EQ(target.ReadString("V"), "source");
  source.CopyValue("Missing", target, true);
  EXPECT_FALSE(target.ValueExists("Missing"));

  // A destination that refuses the write does not raise.
  test::FailingWritesRegistry failing(sim_);
  TMyRegistry refusing(failing);
  ASSERT_TRUE(refusing.OpenKey("\\Software\\Copy\\", false));
  EXPECT_NO_THROW(source.CopyValue("V", refusing, true));
}

class CopyKeyTest : public RegistryTest {
 protected:
  static constexpr const char* kSid = "S-1-5-21-1-2-3-1001";

  void SetUp() override {
    ASSERT_EQ(sim_.LoadUserHive(kSid, sim_.NewHive(), &hive_), kErrorSuccess);
  }
  void TearDown() override {
    sim_.RegCloseKey(hive_);
    RegistryTest::TearDown();
  }
  // A key of the loaded hive as the simulated registry names it.
  static std::string InHive(std::string_view path) {
    return "HKEY_USERS\\" + std::string(kSid) + "\\" + std::string(path);
  }
  // Copies HKCU\Software\App into the loaded hive.
  void CopyApp(bool withSubKeys, bool overwrite) {
    TMyRegistry source(sim_);
    TMyRegistry target(sim_);
    target.SetRootKey(hive_);
    ASSERT_TRUE(source.OpenKeyReadOnly("\\Software\\App\\"));
    ASSERT_TRUE(target.OpenKeyW("\\Software\\App\\", true));
    source.CopyKey(target, withSubKeys, overwrite);
  }

  HKey hive_ = kNoKey;
};

TEST_F(CopyKeyTest, KeepsValuesTheTargetHasAndCopiesEverythingElse) {
  sim_.SetString("HKEY_CURRENT_USER\\Software\\App", "Keep", "admin");
  sim_.SetString("HKEY_CURRENT_USER\\Software\\App", "Add", "new");
  sim_.SetString("HKEY_CURRENT_USER\\Software\\App\\Profiles\\Default", "Path", "p");
  sim_.AddKey("HKEY_CURRENT_USER\\Software\\App\\Empty");
  sim_.SetString(InHive("Software\\App"), "Keep", "restricted");

  CopyApp(true, false);
  const auto keep = sim_.GetValue(InHive("Software\\App"), "Keep");
  const auto add = sim_.GetValue(InHive("Software\\App"), "Add");
  const auto path = sim_.GetValue(InHive("Software\\App\\Profiles\\Default"), "Path");
  ASSERT_TRUE(keep && add && path);
  EXPECT_EQ(keep->data, Utf16Z("restricted"));
  EXPECT_EQ(add->data, Utf16Z("new"));
  EXPECT_EQ(path->data, Utf16Z("p"));
  EXPECT_TRUE(sim_.HasKey(InHive("Software\\App\\Empty")));

  CopyApp(true, true);
  EXPECT_EQ(sim_.GetValue(InHive("Software\\App"), "Keep")->data, Utf16Z("admin"));
}

TEST_F(CopyKeyTest, WithoutSubKeysCopiesOnlyTheValues) {
  sim_.SetString("HKEY_CURRENT_USER\\Software\\App", "Top", "1");
  sim_.SetString("HKEY_CURRENT_USER\\Software\\App\\Sub", "Below", "2");
  CopyApp(false, false);
  EXPECT_TRUE(sim_.GetValue(InHive("Software\\App"), "Top"));
  EXPECT_FALSE(sim_.HasKey(InHive("Software\\App\\Sub")));
}

TEST_F(CopyKeyTest, SkipsASubKeyThatOnlyGrantsReadAccessWithEverythingBelowIt) {
  sim_.SetString("HKEY_CURRENT_USER\\Software\\App\\A", "V", "a");
  sim_.SetString("HKEY_CURRENT_USER\\Software\\App\\Locked", "V", "locked");
  sim_.SetString("HKEY_CURRENT_USER\\Software\\App\\Locked\\Below", "V", "below");
  sim_.SetString("HKEY_CURRENT_USER\\Software\\App\\Z", "V", "z");
  sim_.LimitAccess("HKEY_CURRENT_USER\\Software\\App\\Locked", kKeyRead);

  CopyApp(true, false);
  EXPECT_TRUE(sim_.GetValue(InHive("Software\\App\\A"), "V"));
  EXPECT_TRUE(sim_.GetValue(InHive("Software\\App\\Z"), "V"));
  EXPECT_FALSE(sim_.HasKey(InHive("Software\\App\\Locked")));
  EXPECT_FALSE(sim_.HasKey(InHive("Software\\App\\Locked\\Below")));
}

TEST_F(RegistryTest, DeleteKeyRemovesTheWholeTree) {
  sim_.SetString("HKEY_CURRENT_USER\\Software\\X\\Y\\Z", "V", "1");
  sim_.AddKey("HKEY_CURRENT_USER\\Software\\X\\W");
  TMyRegistry reg(sim_);
  EXPECT_TRUE(reg.DeleteKey("\\Software\\X\\"));
  EXPECT_FALSE(sim_.HasKey("HKEY_CURRENT_USER\\Software\\X"));
  EXPECT_TRUE(sim_.HasKey("HKEY_CURRENT_USER\\Software"));
  EXPECT_FALSE(reg.DeleteKey("\\Software\\X\\"));
}

TEST_F(RegistryTest, ValuesReadInOneGoReadAsReadStringReadsThem) {
  // Each value once through ReadString and once through RegGetValues: the same text, and
  // nothing exactly where ReadString throws.
  struct Case {
    const char* name;
    std::uint32_t type;
    Bytes data;
  };
  const Case cases[] = {
      {"text", kRegSz, Utf16Z("C:\\Program Files\\Pidgin\\")},
      {"expand", kRegExpandSz, Utf16Z("%ProgramFiles%\\x")},
      {"empty string", kRegSz, Utf16Z("")},
      {"no data", kRegSz, {}},
      {"unterminated", kRegSz, Utf16("abc")},
      {"odd length", kRegSz, {'a', 0, 'b'}},
      {"embedded nul", kRegSz, Utf16Z(Chars("ab\0cd"))},
      {"dword", kRegDword, {1, 0, 0, 0}},
      {"empty binary", kRegBinary, {}},
      {"binary", kRegBinary, {1, 2, 3}},
      {"multi", kRegMultiSz, Utf16Z(Chars("a\0b\0"))},
      {"huge", kRegSz, Utf16Z(std::string(70000, 'x'))},
  };
  for (const Case& c : cases) sim_.SetValue(kSimKey, c.name, c.type, c.data);

  std::vector<std::string_view> names;
  for (const Case& c : cases) names.push_back(c.name);
  names.push_back("missing");
  TMyRegistry reg(sim_);
  ASSERT_TRUE(reg.OpenKey("\\Software", false));
  std::vector<RegValueData> values;
  ASSERT_EQ(sim_.RegGetValues(reg.CurrentKey(), "Test", kKeyQueryValue, names, &values),
            kErrorSuccess);
  ASSERT_EQ(values.size(), names.size());
  ASSERT_TRUE(reg.OpenKey(kKey, false));
  for (std::size_t i = 0; i < names.size(); ++i) {
    SCOPED_TRACE(names[i]);
    std::optional<std::string> expected;
    try {
      expected = reg.ReadString(names[i]);
    } catch (const ERegistryException&) {
    }
    EXPECT_EQ(StringOfValue(values[i]), expected);
  }
}

TEST_F(RegistryTest, ValuesOfAKeyThatDoesNotOpenAreNotRead) {
  sim_.SetValue(kSimKey, "Name", kRegSz, Utf16Z("x"));
  sim_.LimitAccess(kSimKey, kKeyEnumerateSubKeys);
  const std::string_view names[] = {"Name"};
  std::vector<RegValueData> values(1, RegValueData{kErrorSuccess, kRegDword, {7}});
  EXPECT_EQ(sim_.RegGetValues(kHKeyCurrentUser, "Software\\Test", kKeyQueryValue, names, &values),
            kErrorAccessDenied);
  EXPECT_EQ(sim_.RegGetValues(kHKeyCurrentUser, "Software\\Missing", kKeyQueryValue, names,
                              &values),
            kErrorFileNotFound);
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(values[0].data, Bytes{7});
}

}  // namespace
}  // namespace ombrant
