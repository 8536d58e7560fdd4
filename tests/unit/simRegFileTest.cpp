// Reading and writing .reg files.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/sim/simRegFile.h"
#include "platform/vqStrings.h"

namespace ombrant::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00\r\n\r\n";

Bytes Wide(std::string_view utf8) {
  const std::string bytes = Utf8ToUtf16LeBytes(utf8);
  Bytes data(bytes.begin(), bytes.end());
  data.insert(data.end(), {0, 0});
  return data;
}

std::string Utf16File(std::string_view utf8) { return "\xFF\xFE" + Utf8ToUtf16LeBytes(utf8); }

// Every key and value of a hive, one line each, to compare hives.
void Dump(const SimHive& hive, const std::string& path, std::string* out) {
  *out += "[" + path + "]\n";
  for (const SimValue& v : hive.Values(path)) {
    *out += "  " + v.name + " type " + std::to_string(v.type) + ":";
    for (std::uint8_t b : v.data) *out += " " + std::to_string(b);
    *out += "\n";
  }
  for (const std::string& name : hive.SubKeyNames(path)) {
    Dump(hive, path.empty() ? name : path + "\\" + name, out);
  }
}

std::string Dump(const SimHive& hive) {
  std::string out;
  Dump(hive, "", &out);
  return out;
}

TEST(RegFileImport, ReadsEveryFormOfValue) {
  const std::string text = std::string(kHeader) +
                           "; a comment\r\n"
                           "[HKEY_CURRENT_USER\\Software\\Test\\]\r\n"
                           "@=\"default\"\r\n"
                           "\"Quoted\"=\"a\\\\b\\\"c\"\r\n"
                           "\"Na\\\"me\"=\"\"\r\n"
                           "\"Wine\"=\"a\\nb \\q\"\r\n"
                           "\"Gr\xC3\xBC\xC3\x9F"
                           "e\"=\"\xE2\x82\xAC\xF0\x9F\x98\x80\"\r\n"
                           "\r\n"
                           "  \"Spaced\" = dword:0000000a ; trailing comment\r\n"
                           "\"Short\"=DWORD:fF\r\n"
                           "\"Bin\"=hex:01,02,FF\r\n"
                           "\"Empty\"=hex:\r\n"
                           "\"Expand\"=hex(2):25,00,41,00,25,00,00,00\r\n"
                           "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
                           "\"Qword\"=hex(b):01,02,03,04,05,06,07,08\r\n"
                           "\"None\"=hex(0):\r\n"
                           "\"Odd\"=hex(1234abcd):7\r\n"
                           "\"Long\"=hex:01,02,\\\r\n"
                           "  03,04,\\\r\n"
                           "; a comment inside the data\r\n"
                           "  05\r\n"
                           "[HKEY_CLASSES_ROOT\\.txt]\n"
                           "@=\"txtfile\"\n"
                           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Empty Key]\r";
  SimRegistry reg(false);
  RegFileError error;
  ASSERT_TRUE(ImportRegText(text, "test.reg", RegImportTarget{reg}, &error)) << error.ToString();

  struct Case {
    const char* key;
    const char* name;
    std::uint32_t type;
    Bytes data;
  };
  const std::string user = "HKEY_CURRENT_USER\\Software\\Test";
  const Case cases[] = {
      {user.c_str(), "", port::kRegSz, Wide("default")},
      {user.c_str(), "Quoted", port::kRegSz, Wide("a\\b\"c")},
      {user.c_str(), "Na\"me", port::kRegSz, {0, 0}},
      // Wine's regedit writes a line break as \n; other backslashes stay as written.
      {user.c_str(), "Wine", port::kRegSz, Wide("a\nb \\q")},
      {user.c_str(),
       "Gr\xC3\xBC\xC3\x9F"
       "e",
       port::kRegSz, Wide("\xE2\x82\xAC\xF0\x9F\x98\x80")},
      {user.c_str(), "Spaced", port::kRegDword, {10, 0, 0, 0}},
      {user.c_str(), "Short", port::kRegDword, {0xFF, 0, 0, 0}},
      {user.c_str(), "Bin", port::kRegBinary, {1, 2, 0xFF}},
      {user.c_str(), "Empty", port::kRegBinary, {}},
      {user.c_str(), "Expand", port::kRegExpandSz, Wide("%A%")},
      {user.c_str(), "Multi", port::kRegMultiSz, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}},
      {user.c_str(), "Qword", port::kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}},
      {user.c_str(), "None", port::kRegNone, {}},
      {user.c_str(), "Odd", 0x1234ABCD, {7}},
      {user.c_str(), "Long", port::kRegBinary, {1, 2, 3, 4, 5}},
      {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.txt", "", port::kRegSz, Wide("txtfile")},
  };
  for (const Case& c : cases) {
    const auto v = reg.GetValue(c.key, c.name);
    ASSERT_TRUE(v.has_value()) << c.name;
    EXPECT_EQ(v->type, c.type) << c.name;
    EXPECT_EQ(v->data, c.data) << c.name;
  }
  EXPECT_TRUE(reg.HasKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Empty Key"));
  // Values keep the file's order.
  EXPECT_EQ(reg.CurrentUserHive()->Values("Software\\Test").at(5).name, "Spaced");
}

TEST(RegFileImport, DeletesKeysAndValues) {
  SimRegistry reg(false);
  reg.SetDword("HKCU\\Software\\Gone\\Deep", "v", 1);
  reg.SetDword("HKCU\\Software\\Kept", "drop", 1);
  reg.SetDword("HKCU\\Software\\Kept", "keep", 1);
  const std::string text = std::string(kHeader) +
                           "[-HKEY_CURRENT_USER\\Software\\Gone]\r\n"
                           "\"ignored\"=dword:00000001\r\n"
                           "[-HKEY_CURRENT_USER\\Software\\Never\\There]\r\n"
                           "[HKEY_CURRENT_USER\\Software\\Kept]\r\n"
                           "\"drop\"=-\r\n"
                           "\"missing\"=-\r\n";
  RegFileError error;
  ASSERT_TRUE(ImportRegText(text, "delete.reg", RegImportTarget{reg}, &error)) << error.ToString();
  EXPECT_FALSE(reg.HasKey("HKCU\\Software\\Gone"));
  EXPECT_FALSE(reg.HasKey("HKCU\\Software\\Never"));
  EXPECT_FALSE(reg.GetValue("HKCU\\Software\\Kept", "drop"));
  EXPECT_TRUE(reg.GetValue("HKCU\\Software\\Kept", "keep"));
}

TEST(RegFileImport, ImportsIntoTheHiveItIsGiven) {
  SimRegistry reg(false);
  const auto hive = reg.NewHive();
  const std::string text =
      std::string(kHeader) + "[HKEY_CURRENT_USER\\Software\\Mine]\r\n\"v\"=\"x\"\r\n";
  RegFileError error;
  ASSERT_TRUE(
      ImportRegText(text, "hive.reg", RegImportTarget{reg, hive, RegRoots::kCurrentUser}, &error))
      << error.ToString();
  EXPECT_TRUE(hive->HasKey("Software\\Mine"));
  EXPECT_FALSE(reg.HasKey("HKCU\\Software\\Mine"));

  port::HKey root = port::kNoKey;
  ASSERT_EQ(reg.LoadUserHive("S-1-5-21-1-2-3-1001", reg.NewHive(), &root), port::kErrorSuccess);
  ASSERT_TRUE(
      ImportRegText(std::string(kHeader) + "[HKEY_USERS\\S-1-5-21-1-2-3-1001\\Software\\U]\r\n",
                    "users.reg", RegImportTarget{reg}, &error))
      << error.ToString();
  EXPECT_TRUE(reg.UserHive("S-1-5-21-1-2-3-1001")->HasKey("Software\\U"));
  EXPECT_EQ(reg.RegCloseKey(root), port::kErrorSuccess);
}

TEST(RegFileImport, RejectsMalformedInputNamingTheLineAndImportsNothing) {
  struct Case {
    std::string text;
    std::size_t line;
    const char* message;
    RegRoots roots = RegRoots::kAny;
  };
  const std::string key = "[HKEY_CURRENT_USER\\Software\\T]\r\n";
  const std::string head = std::string(kHeader) + key;  // the key is on line 3
  const Case cases[] = {
      {"", 1, "not a registry file"},
      {"REGEDIT5\r\n" + key, 1, "not a registry file"},
      {"\xFE\xFF", 1, "big-endian"},
      {std::string(kHeader) + "\"v\"=\"x\"\r\n", 3, "value outside of any key"},
      {std::string(kHeader) + "[HKEY_CURRENT_USER\\X\r\n", 3, "closing ']'"},
      {std::string(kHeader) + "[HKEY_NOWHERE\\X]\r\n", 3, "unsupported root key"},
      {std::string(kHeader) + "[-HKEY_CURRENT_USER]\r\n", 3, "root key cannot be deleted"},
      {std::string(kHeader) + "[HKEY_USERS\\S-1-5-21-9]\r\n", 3, "no hive is loaded"},
      {std::string(kHeader) + "[HKEY_CURRENT_USER\\" + std::string(256, 'k') + "]\r\n", 3,
       "longer than 255"},
      {head + "\"a\"=hex:01,zz\r\n", 4, "\"zz\" is not a hex byte"},
      {head + "\"a\"=hex:01,,02\r\n", 4, "missing hex byte"},
      {head + "\"a\"=hex:001\r\n", 4, "\"001\" is not a hex byte"},
      {head + "\"a\"=hex(zz):00\r\n", 4, "hex(N)"},
      {head + "\"a\"=hex;00\r\n", 4, "expected ':'"},
      {head + "\"a\"=dword:123456789\r\n", 4, "1 to 8 hex digits"},
      {head + "\"a\"=dword:\r\n", 4, "1 to 8 hex digits"},
      {head + "\"a\"=\"open\r\n", 4, "without a closing quote"},
      {head + "\"a\"=\"x\" y\r\n", 4, "after the closing quote"},
      {head + "\"a=\"x\"\r\n", 4, "expected '='"},
      {head + "\"a\r\n", 4, "value name without a closing quote"},
      {head + "\"a\" 5\r\n", 4, "expected '='"},
      {head + "\"a\"=str:\"x\"\r\n", 4, "unrecognised value data"},
      {head + "garbage\r\n", 4, "unrecognised line"},
      {head + "\"a\"=hex:01,\\\r\n", 4, "past the end of the file"},
      // Errors inside continued data name the line they are on.
      {head + "\"a\"=hex:01,\\\r\n  02,\\\r\n  0g\r\n", 6, "\"0g\" is not a hex byte"},
      {head + "\"a\"=hex:01,\\\r\n  02\r\n\"b\"=x\r\n", 6, "unrecognised value data"},
      {std::string(kHeader) + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\X]\r\n", 3,
       "only HKEY_CURRENT_USER keys", RegRoots::kCurrentUser},
      {std::string(kHeader) + "[HKEY_USERS\\S-1-5-21-1-2-3-500\\X]\r\n", 3,
       "only HKEY_CURRENT_USER keys", RegRoots::kCurrentUser},
      {std::string(kHeader) + "[HKEY_CURRENT_USER\\Software\\X]\r\n", 3,
       "only HKEY_LOCAL_MACHINE keys", RegRoots::kMachine},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    SimRegistry reg(false);
    port::HKey root = port::kNoKey;
    ASSERT_EQ(reg.LoadUserHive("S-1-5-21-1-2-3-500", reg.NewHive(), &root), port::kErrorSuccess);
    const std::string before = Dump(reg.MachineHive()) + Dump(*reg.CurrentUserHive());
    RegFileError error;
    EXPECT_FALSE(ImportRegText(c.text, "bad.reg", RegImportTarget{reg, nullptr, c.roots}, &error));
    EXPECT_EQ(error.file, "bad.reg");
    EXPECT_EQ(error.line, c.line);
    EXPECT_NE(error.message.find(c.message), std::string::npos) << error.ToString();
    // The key line before the error was not applied either.
    EXPECT_EQ(Dump(reg.MachineHive()) + Dump(*reg.CurrentUserHive()), before);
    EXPECT_EQ(reg.RegCloseKey(root), port::kErrorSuccess);
  }
}

TEST(RegFileImport, ReadsEveryEncodingAlike) {
  // The same keys as regedit 5 (UTF-16LE with BOM), as UTF-8 with and without a BOM, and as
  // REGEDIT4, whose expandable and multi-strings are 8-bit text.
  const std::string body5 =
      "[HKEY_CURRENT_USER\\Software\\\xC3\x84nc\xC3\xB6"
      "ding]\r\n"
      "\"T\xC3\xA9xt\"=\"\xC3\xA9t\xC3\xA9 \xE2\x82\xAC\"\r\n"
      "\"Exp\"=hex(2):25,00,e9,00,25,00,00,00\r\n"
      "\"Multi\"=hex(7):61,00,00,00,e9,00,00,00,00,00\r\n";
  const std::string body4 =
      "[HKEY_CURRENT_USER\\Software\\\xC3\x84nc\xC3\xB6"
      "ding]\r\n"
      "\"T\xC3\xA9xt\"=\"\xC3\xA9t\xC3\xA9 \xE2\x82\xAC\"\r\n"
      "\"Exp\"=hex(2):25,c3,a9,25,00\r\n"
      "\"Multi\"=hex(7):61,00,c3,a9,00,00\r\n";
  const std::string files[] = {
      Utf16File(std::string(kHeader) + body5),
      std::string(kHeader) + body5,
      "\xEF\xBB\xBF" + std::string(kHeader) + body5,
      "REGEDIT4\r\n\r\n" + body4,
      "REGEDIT4\n\n" + body4,
  };
  std::string expected;
  for (const std::string& file : files) {
    SimRegistry reg(false);
    RegFileError error;
    ASSERT_TRUE(ImportRegText(file, "enc.reg", RegImportTarget{reg}, &error)) << error.ToString();
    const std::string dump = Dump(*reg.CurrentUserHive());
    if (expected.empty()) {
      expected = dump;
      EXPECT_EQ(reg.GetValue("HKCU\\Software\\\xC3\xA4NC\xC3\x96"
                             "DING",
                             "Exp")
                    ->data,
                Wide("%\xC3\xA9%"));
    }
    EXPECT_EQ(dump, expected);
  }
}

TEST(RegFileExport, WritesWhatRegeditWrites) {
  SimHive hive;
  hive.SetValue("Software\\App", "", port::kRegSz, Wide("default"));
  hive.SetValue("Software\\App", "Na\"me\\", port::kRegSz, Wide("va\"lue\\"));
  hive.SetValue("Software\\App", "Count", port::kRegDword, {0x0A, 0, 0, 0x80});
  hive.SetValue("Software\\App", "Bin", port::kRegBinary, {1, 0xAB});
  hive.SetValue("Software\\App", "Exp", port::kRegExpandSz, Wide("%A%"));
  hive.SetValue("Software\\App", "Empty", port::kRegSz, Wide(""));
  hive.SetValue("Software\\App", "None", port::kRegNone, {});
  // Kept byte for byte where the quoted form would lose data.
  hive.SetValue("Software\\App", "Lines", port::kRegSz, Wide("a\nb"));
  hive.SetValue("Software\\App", "Nul", port::kRegSz, {'a', 0, 0, 0, 'b', 0, 0, 0});
  hive.SetValue("Software\\App", "Raw", port::kRegSz, {'a', 0});
  hive.SetValue("Software\\App", "Short", port::kRegDword, {1, 2});
  hive.AddKey("Software\\App\\zeta");
  hive.AddKey("Software\\App\\Alpha");

  const std::string expected =
      "Windows Registry Editor Version 5.00\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\App]\r\n"
      "@=\"default\"\r\n"
      "\"Na\\\"me\\\\\"=\"va\\\"lue\\\\\"\r\n"
      "\"Count\"=dword:8000000a\r\n"
      "\"Bin\"=hex:01,ab\r\n"
      "\"Exp\"=hex(2):25,00,41,00,25,00,00,00\r\n"
      "\"Empty\"=\"\"\r\n"
      "\"None\"=hex(0):\r\n"
      "\"Lines\"=hex(1):61,00,0a,00,62,00,00,00\r\n"
      "\"Nul\"=hex(1):61,00,00,00,62,00,00,00\r\n"
      "\"Raw\"=hex(1):61,00\r\n"
      "\"Short\"=hex(4):01,02\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\App\\Alpha]\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\App\\zeta]\r\n"
      "\r\n";
  EXPECT_EQ(ExportRegText(hive, "HKEY_CURRENT_USER", "Software\\App"), Utf16File(expected));
}

TEST(RegFileExport, WrapsLongHexDataAsRegedit) {
  SimHive hive;
  Bytes data(100);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i);
  hive.SetValue("K", "Big", port::kRegBinary, data);
  const std::string text =
      Utf16LeBytesToUtf8(ExportRegText(hive, "HKEY_CURRENT_USER", "K").substr(2));
  const std::string expected =
      "\"Big\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\r\n"
      "  17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,2f,\\\r\n"
      "  30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,42,43,44,45,46,47,48,\\\r\n"
      "  49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,5b,5c,5d,5e,5f,60,61,\\\r\n"
      "  62,63\r\n";
  EXPECT_NE(text.find(expected), std::string::npos) << text;
}

TEST(RegFileExport, RoundTripsEveryKeyAndValue) {
  SimRegistry reg(true);
  SimHive& hive = reg.MachineHive();
  Bytes big(5000);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 31);
  hive.SetValue("SOFTWARE\\Wow6432Node\\Vendor", "Path", port::kRegSz,
                Wide("C:\\Program Files (x86)\\Vendor\\"));
  hive.SetValue("SOFTWARE\\Vendor", "", port::kRegExpandSz, Wide("%ProgramFiles%\\\xC3\x84"));
  hive.SetValue("SOFTWARE\\Vendor", "Quote\"Back\\slash", port::kRegSz, Wide("\"\\\""));
  hive.SetValue("SOFTWARE\\Vendor", "\xF0\x9F\x98\x80 \xD0\x96", port::kRegSz,
                Wide("\xE2\x82\xAC"));
  hive.SetValue("SOFTWARE\\Vendor", "Lone surrogate", port::kRegSz, {0x00, 0xD8, 0, 0});
  hive.SetValue("SOFTWARE\\Vendor", "Odd", port::kRegSz, {'a', 0, 'b'});
  hive.SetValue("SOFTWARE\\Vendor", "Big", port::kRegBinary, big);
  hive.SetValue("SOFTWARE\\Vendor", "Multi", port::kRegMultiSz, {'a', 0, 0, 0, 0, 0});
  hive.SetValue("SOFTWARE\\Vendor", "Dword", port::kRegDword, {0xFF, 0xFF, 0xFF, 0xFF});
  hive.SetValue("SOFTWARE\\Vendor", "Qword", port::kRegQword, {1, 2, 3, 4, 5, 6, 7, 8});
  hive.SetValue("SOFTWARE\\Vendor", "Type", 0xFFFFFFFF, {1});
  hive.AddKey("SOFTWARE\\Vendor\\Empty\\Deeper [x]");
  hive.AddKey("SYSTEM\\CurrentControlSet");

  const std::string first = ExportRegText(hive, "HKEY_LOCAL_MACHINE");
  SimRegistry again(true);
  RegFileError error;
  ASSERT_TRUE(ImportRegText(first, "machine.reg", RegImportTarget{again}, &error))
      << error.ToString();
  EXPECT_EQ(Dump(again.MachineHive()), Dump(hive));
  EXPECT_EQ(ExportRegText(again.MachineHive(), "HKEY_LOCAL_MACHINE"), first);
}

TEST(RegFileImport, CorruptedFilesFailCleanlyOrImportWhole) {
  // Random damage to a good file: each result is either a clean import or an error on a line
  // of the file with the registry untouched; never a crash or a half import.
  SimHive source;
  Bytes big(300);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i);
  source.SetValue("Software\\A", "Text", port::kRegSz, Wide("text \\ \" more"));
  source.SetValue("Software\\A", "Big", port::kRegBinary, big);
  source.SetValue("Software\\A\\B", "", port::kRegDword, {1, 2, 3, 4});
  const std::string utf16 = ExportRegText(source, "HKEY_CURRENT_USER");
  const std::string utf8 = Utf16LeBytesToUtf8(utf16.substr(2));
  std::mt19937 random(12345);
  const char pieces[] = {'[', ']', '"', '\\', '=', ',', ':', '-', '@', ';', '\n', '\r', '\0', 'x'};
  for (int round = 0; round < 3000; ++round) {
    std::string text = round % 2 ? utf8 : utf16;
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits; ++e) {
      const std::size_t at = random() % text.size();
      switch (random() % 3) {
        case 0:
          text[at] = pieces[random() % sizeof pieces];
          break;
        case 1:
          text.erase(at, 1 + random() % 8);
          break;
        default:
          text.insert(at, 1, static_cast<char>(random() % 256));
          break;
      }
      if (text.empty()) text = "x";
    }
    SimRegistry reg(false);
    reg.SetDword("HKCU\\Software\\Before", "v", 1);
    const std::string before = Dump(*reg.CurrentUserHive());
    RegFileError error;
    if (!ImportRegText(text, "fuzz.reg", RegImportTarget{reg}, &error)) {
      EXPECT_EQ(Dump(*reg.CurrentUserHive()), before) << error.ToString();
      EXPECT_GE(error.line, 1u);
      EXPECT_FALSE(error.message.empty());
    }
  }
}

TEST(RegFileImport, UnreadableFileIsNamed) {
  SimRegistry reg(false);
  RegFileError error;
  EXPECT_FALSE(ImportRegFile("/nonexistent/dir/x.reg", RegImportTarget{reg}, &error));
  EXPECT_EQ(error.file, "/nonexistent/dir/x.reg");
  EXPECT_NE(error.ToString().find("cannot be read"), std::string::npos);
}

}  // namespace
}  // namespace ombrant::sim
