#include "platform/sim/simLnkFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>

#include "platform/vqStrings.h"

namespace ombrant::sim {

// Found by GoogleTest through the type's namespace; local to this file.
[[maybe_unused]] static void PrintTo(const ShellLinkData& d, std::ostream* out) {
  std::ostream& os = *out;
  os << "{target '" << d.targetPath << "' args '" << d.arguments << "' dir '" << d.workingDir
            << "' desc '" << d.description << "' rel '" << d.relativePath << "' icon '"
            << d.iconLocation << "' " << d.iconIndex << " show " << d.showCommand << " hotkey "
            << d.hotKey << " attr " << d.fileAttributes << " times " << d.creationTime << "/"
            << d.accessTime << "/" << d.writeTime << " size " << d.fileSize << " drive "
            << d.driveType << "/" << d.driveSerialNumber << " label '" << d.volumeLabel << "'}";
}

namespace {

// Little-endian byte assembly for links built by hand, independent of the codec's writer.
class Bytes {
 public:
  Bytes& U8(std::uint8_t v) {
    data.push_back(v);
    return *this;
  }
  Bytes& U16(std::uint16_t v) { return U8(v & 0xFF).U8(v >> 8); }
  Bytes& U32(std::uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
  Bytes& U64(std::uint64_t v) { return U32(v & 0xFFFFFFFF).U32(v >> 32); }
  Bytes& Raw(const std::vector<std::uint8_t>& v) {
    data.insert(data.end(), v.begin(), v.end());
    return *this;
  }
  Bytes& Text(std::string_view s) {  // 8-bit, as given
    for (char c : s) U8(static_cast<std::uint8_t>(c));
    return *this;
  }
  Bytes& TextZ(std::string_view s) { return Text(s).U8(0); }
  Bytes& Wide(std::string_view utf8) {
    for (char16_t c : Utf8ToUtf16(utf8)) U16(c);
    return *this;
  }
  Bytes& WideZ(std::string_view utf8) { return Wide(utf8).U16(0); }
  Bytes& Zeros(std::size_t n) {
    data.insert(data.end(), n, 0);
    return *this;
  }
  Bytes& PadEven() { return data.size() % 2 ? U8(0) : *this; }
  // A unit preceded by its own size (16-bit, counting the size field itself).
  Bytes& Item(const Bytes& body) {
    return U16(static_cast<std::uint16_t>(body.data.size() + 2)).Raw(body.data);
  }
  std::size_t size() const { return data.size(); }
  std::vector<std::uint8_t> data;
};

constexpr std::uint32_t kIdList = 0x1, kLinkInfo = 0x2, kName = 0x4, kRelative = 0x8,
                        kWorkDir = 0x10, kArgs = 0x20, kIcon = 0x40, kUnicode = 0x80,
                        kForceNoLinkInfo = 0x100, kExpString = 0x200;

Bytes Header(std::uint32_t flags, std::uint32_t attributes = 0x20, std::uint32_t size = 0) {
  Bytes h;
  h.U32(0x4C).Raw({0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00,
                   0x00, 0x00, 0x46});
  h.U32(flags).U32(attributes);
  h.U64(0x01D2345678900000).U64(0x01D2345678900000).U64(0x01D2345678900000);
  h.U32(size).U32(0).U32(1).U16(0).Zeros(10);
  return h;
}

Bytes MyComputerItem() {
  Bytes b;
  b.U8(0x1F).U8(0x50).Raw({0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10, 0xA2, 0xD8, 0x08,
                           0x00, 0x2B, 0x30, 0x30, 0x9D});
  return b;
}

Bytes DriveItem(char letter) {
  Bytes b;
  b.U8(0x2F).U8(static_cast<std::uint8_t>(letter)).Text(":\\").Zeros(20);
  return b;
}

// A file-system item with a short 8.3 name and, from `version` 3 on, the Unicode long name in
// its extension block, laid out as the shell of that Windows generation writes it.
Bytes FileEntryItem(bool folder, std::string_view shortName, std::string_view longName,
                    std::uint16_t version) {
  Bytes b;
  b.U8(folder ? 0x31 : 0x32).U8(0).U32(folder ? 0 : 1234).U32(0x5A2B4B21).U16(folder ? 0x10 : 0x20);
  b.TextZ(shortName);
  if (version == 0) return b;
  // Offsets inside the final item count its 2-byte size field, hence the +2.
  if ((b.size() + 2) % 2) b.U8(0);
  const std::size_t extensionAt = b.size() + 2;
  Bytes ext;
  ext.U16(version).U32(0xBEEF0004).U32(0x5A2B4B21).U32(0x5A2B4B21);
  ext.U16(version >= 9 ? 0x2E : version >= 8 ? 0x2A : version >= 7 ? 0x26 : 0x14);
  if (version >= 7) ext.U16(0).U64(0x0003000000012345).U64(0);
  ext.U16(0);  // no localized name
  if (version >= 9) ext.U32(0);
  if (version >= 8) ext.U32(0);
  ext.WideZ(longName).U16(static_cast<std::uint16_t>(extensionAt));
  b.Item(ext);
  return b;
}

Bytes IdList(const std::vector<Bytes>& items) {
  Bytes list;
  for (const Bytes& item : items) list.Item(item);
  list.U16(0);
  Bytes out;
  out.U16(static_cast<std::uint16_t>(list.size())).Raw(list.data);
  return out;
}

// Location information of a local target, without the Unicode fields (as most links have it).
Bytes LocalLinkInfo(std::string_view basePath, std::string_view suffix, std::string_view label,
                    std::uint32_t serial) {
  Bytes volume;
  volume.U32(0x10 + static_cast<std::uint32_t>(label.size()) + 1).U32(3).U32(serial).U32(0x10).TextZ(label);
  const std::uint32_t baseAt = 0x1C + static_cast<std::uint32_t>(volume.size());
  const std::uint32_t suffixAt = baseAt + static_cast<std::uint32_t>(basePath.size()) + 1;
  const std::uint32_t total = suffixAt + static_cast<std::uint32_t>(suffix.size()) + 1;
  Bytes info;
  info.U32(total).U32(0x1C).U32(1).U32(0x1C).U32(baseAt).U32(0).U32(suffixAt);
  info.Raw(volume.data).TextZ(basePath).TextZ(suffix);
  return info;
}

Bytes NetworkLinkInfo(std::string_view share, std::string_view suffix) {
  Bytes network;
  network.U32(0x14 + static_cast<std::uint32_t>(share.size()) + 1).U32(2).U32(0x14).U32(0)
      .U32(0x00020000).TextZ(share);
  const std::uint32_t suffixAt = 0x1C + static_cast<std::uint32_t>(network.size());
  Bytes info;
  info.U32(suffixAt + static_cast<std::uint32_t>(suffix.size()) + 1).U32(0x1C).U32(2).U32(0)
      .U32(0).U32(0x1C).U32(suffixAt);
  info.Raw(network.data).TextZ(suffix);
  return info;
}

Bytes Counted(std::string_view utf8) {
  Bytes b;
  const std::u16string wide = Utf8ToUtf16(utf8);
  b.U16(static_cast<std::uint16_t>(wide.size())).Wide(utf8);
  return b;
}

Bytes Counted8(std::string_view bytes) {
  Bytes b;
  b.U16(static_cast<std::uint16_t>(bytes.size())).Text(bytes);
  return b;
}

// Extra data blocks Windows adds (link tracking, special folder), then the terminal block.
Bytes WindowsExtraData() {
  Bytes b;
  b.U32(0x60).U32(0xA0000003).U32(0x58).U32(0).Text("desktop-pc").Zeros(6).Zeros(64);
  b.U32(0x10).U32(0xA0000005).U32(0x26).U32(0x1DD);
  b.U32(0);
  return b;
}

std::vector<std::uint8_t> Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.Raw(p.data);
  return all.data;
}

// --- Round trips -----------------------------------------------------------------------------

struct RoundTripCase {
  const char* name;
  ShellLinkData link;
  bool lnkinfoDecodes = true;  // lnkinfo 20181227 garbles characters beyond U+FFFF
};

ShellLinkData Link(std::string target) {
  ShellLinkData d;
  d.targetPath = std::move(target);
  return d;
}

std::vector<RoundTripCase> RoundTripCases() {
  std::vector<RoundTripCase> cases;

  ShellLinkData firefox = Link("C:\\Program Files\\Mozilla Firefox\\firefox.exe");
  firefox.workingDir = "C:\\Program Files\\Mozilla Firefox\\";
  firefox.description = "Mozilla Firefox";
  firefox.iconLocation = "C:\\Program Files\\Mozilla Firefox\\firefox.exe";
  firefox.iconIndex = 1;
  firefox.arguments = "-P default";
  firefox.showCommand = kShowMaximized;
  firefox.hotKey = 0x0646;  // Ctrl+Alt+F
  firefox.fileAttributes = 0x20;
  firefox.creationTime = 0x01D2345678900000;
  firefox.accessTime = 0x01D9000000000000;
  firefox.writeTime = 0x01D5ABCDEF012345;
  firefox.fileSize = 312'904;
  firefox.driveSerialNumber = 0x7C1E21A4;
  firefox.volumeLabel = "SYSTEM";
  cases.push_back({"plain", firefox});

  ShellLinkData foreign = Link(
      "C:\\Dokumente und Einstellungen\\M\xC3\xBCller\\\xD0\x96\xD1\x83\xD1\x80\xD0\xBD\xD0\xB0\xD0\xBB "
      "\xE2\x82\xAC.exe");  // Müller\Журнал €.exe
  foreign.description = "Caf\xC3\xA9 \xCE\xB1\xCE\xB2\xCE\xB3";  // Café αβγ
  foreign.arguments = "--profile \"D:\\Pr\xC3\xB6\x66ile\"";
  foreign.workingDir = "C:\\Dokumente und Einstellungen\\M\xC3\xBCller\\";
  foreign.iconLocation = "C:\\Symbole\\\xC3\xA9t\xC3\xA9.ico";
  foreign.iconIndex = -3;
  foreign.volumeLabel = "Syst\xC3\xA8me";
  cases.push_back({"non-ASCII", foreign});

  ShellLinkData astral = Link("C:\\Fotos \xF0\x9F\x98\x80\\viewer.exe");  // 😀, a surrogate pair
  astral.description = "\xF0\x9F\x8E\xB5 music";                             // 🎵
  cases.push_back({"beyond the BMP", astral, false});

  ShellLinkData runas = Link("runas");
  runas.relativePath = "runas";
  runas.arguments =
      "/user:george-online /savecred \"\\\"C:\\Program Files\\Mozilla Firefox\\firefox.exe\\\" \"";
  runas.description = "Mozilla Firefox (as george-online)";
  runas.iconLocation = "C:\\Program Files\\Mozilla Firefox\\firefox.exe";
  runas.showCommand = kShowMinNoActive;
  cases.push_back({"bare word", runas});

  cases.push_back({"only a target", Link("C:\\Program Files\\Opera\\opera.exe")});

  ShellLinkData folder = Link("C:\\Documents and Settings\\Admin\\Desktop\\Internet (direct)");
  folder.fileAttributes = kFileAttributeDirectory;
  cases.push_back({"folder", folder});

  ShellLinkData root = Link("D:\\");
  root.description = "Data";
  cases.push_back({"drive root", root});

  ShellLinkData unc = Link("\\\\fileserver\\apps\\Thunderbird\\thunderbird.exe");
  unc.arguments = "-compose";
  cases.push_back({"network", unc});
  cases.push_back({"share with a trailing backslash", Link("\\\\fileserver\\apps\\")});

  ShellLinkData longArgs = Link("C:\\Windows\\system32\\cmd.exe");
  longArgs.arguments = "/c \"" + std::string(3000, 'x') + "\"";
  longArgs.relativePath = "..\\..\\Windows\\system32\\cmd.exe";
  cases.push_back({"long arguments", longArgs});
  return cases;
}

TEST(ShellLinkRoundTrip, GivesBackEverySetField) {
  for (const RoundTripCase& c : RoundTripCases()) {
    const std::vector<std::uint8_t> bytes = WriteShellLink(c.link);
    ASSERT_FALSE(bytes.empty()) << c.name;
    const std::optional<ShellLinkData> read = ParseShellLink(bytes);
    ASSERT_TRUE(read.has_value()) << c.name;
    EXPECT_EQ(*read, c.link) << c.name;
  }
}

TEST(ShellLinkRoundTrip, EmptyPropertiesAreNotWritten) {
  const std::vector<std::uint8_t> bytes = WriteShellLink(Link("C:\\Program Files\\Opera\\opera.exe"));
  ASSERT_GE(bytes.size(), 24u);
  const std::uint32_t flags = bytes[20] | bytes[21] << 8 | bytes[22] << 16 | bytes[23] << 24;
  EXPECT_EQ(flags, kIdList | kLinkInfo | kUnicode);

  const std::vector<std::uint8_t> bare = WriteShellLink(Link("runas"));
  ASSERT_GE(bare.size(), 24u);
  EXPECT_EQ(bare[20], kRelative | kUnicode) << "no ID list, no location, only the relative path";
}

TEST(ShellLinkRoundTrip, IdListAloneLocatesEveryLocalTarget) {
  // With its location information switched off, each written link still leads to its target.
  for (const RoundTripCase& c : RoundTripCases()) {
    if (c.link.targetPath.size() < 3 || c.link.targetPath[1] != ':') continue;
    std::vector<std::uint8_t> bytes = WriteShellLink(c.link);
    ASSERT_GE(bytes.size(), 24u);
    bytes[21] |= kForceNoLinkInfo >> 8;
    const std::optional<ShellLinkData> read = ParseShellLink(bytes);
    ASSERT_TRUE(read.has_value()) << c.name;
    EXPECT_EQ(read->targetPath, c.link.targetPath) << c.name;
  }
}

TEST(ShellLinkWrite, RefusesWhatTheFormatCannotHold) {
  ShellLinkData nul = Link("C:\\a.exe");
  nul.arguments = std::string("a\0b", 3);
  ShellLinkData longDescription = Link("C:\\a.exe");
  longDescription.description = std::string(70'000, 'd');
  ShellLinkData longComponent = Link("C:\\" + std::string(40'000, 'n') + ".exe");
  ShellLinkData conflicting = Link("runas");
  conflicting.relativePath = "other.exe";
  const std::pair<const char*, ShellLinkData> cases[] = {
      {"NUL in a string", nul},
      {"string over 65535 characters", longDescription},
      {"path component too long for an item", longComponent},
      {"bare word with another relative path", conflicting},
  };
  for (const auto& [name, link] : cases) EXPECT_TRUE(WriteShellLink(link).empty()) << name;

  ShellLinkData justFits = Link("C:\\a.exe");
  justFits.description = std::string(65'535, 'd');
  const std::optional<ShellLinkData> read = ParseShellLink(WriteShellLink(justFits));
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->description, justFits.description);
}

// --- Links in the shapes Windows writes ------------------------------------------------------

TEST(ShellLinkParse, ReadsALinkAsWindowsWritesIt) {
  const std::string longName = "Mozilla Firefox";
  const std::vector<std::uint8_t> bytes = Concat({
      Header(kIdList | kLinkInfo | kName | kRelative | kWorkDir | kIcon | kUnicode | 0x80000, 0x20,
             594'944),
      IdList({MyComputerItem(), DriveItem('C'), FileEntryItem(true, "PROGRA~1", "Program Files", 9),
              FileEntryItem(true, "MOZILL~1", longName, 9),
              FileEntryItem(false, "firefox.exe", "firefox.exe", 9)}),
      LocalLinkInfo("C:\\Program Files\\Mozilla Firefox\\firefox.exe", "", "", 0x5C3E1A07),
      Counted("Browse the web"),
      Counted("..\\..\\..\\..\\..\\Program Files\\Mozilla Firefox\\firefox.exe"),
      Counted("C:\\Program Files\\Mozilla Firefox"),
      Counted("C:\\Program Files\\Mozilla Firefox\\firefox.exe"),
      WindowsExtraData(),
  });
  const std::optional<ShellLinkData> read = ParseShellLink(bytes);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->targetPath, "C:\\Program Files\\Mozilla Firefox\\firefox.exe");
  EXPECT_EQ(read->description, "Browse the web");
  EXPECT_EQ(read->relativePath, "..\\..\\..\\..\\..\\Program Files\\Mozilla Firefox\\firefox.exe");
  EXPECT_EQ(read->workingDir, "C:\\Program Files\\Mozilla Firefox");
  EXPECT_EQ(read->arguments, "");
  EXPECT_EQ(read->iconLocation, "C:\\Program Files\\Mozilla Firefox\\firefox.exe");
  EXPECT_EQ(read->fileSize, 594'944u);
  EXPECT_EQ(read->driveSerialNumber, 0x5C3E1A07u);
  EXPECT_EQ(read->showCommand, kShowNormal);

  for (std::size_t n = 0; n < bytes.size(); ++n) {
    ASSERT_FALSE(ParseShellLink(std::span(bytes).first(n)).has_value()) << "cut at " << n;
  }
}

TEST(ShellLinkParse, TakesTheTargetFromTheIdListOfEveryWindowsGeneration) {
  // 0: no extension block (the short name is all there is); 3: XP; 7: Vista; 8: 7; 9: 8 and later.
  for (std::uint16_t version : {0, 3, 7, 8, 9}) {
    const bool longNames = version != 0;
    const std::vector<std::uint8_t> bytes = Concat({
        Header(kIdList | kArgs | kUnicode),
        IdList({MyComputerItem(), DriveItem('C'),
                FileEntryItem(true, "PROGRA~1", "Program Files", version),
                FileEntryItem(true, "WINDOW~1", "Windows Live Messenger", version),
                FileEntryItem(false, "MSNMSGR.EXE", "msnmsgr.exe", version)}),
        Counted("/background"),
        Bytes().U32(0),
    });
    const std::optional<ShellLinkData> read = ParseShellLink(bytes);
    ASSERT_TRUE(read.has_value()) << version;
    EXPECT_EQ(read->targetPath, longNames ? "C:\\Program Files\\Windows Live Messenger\\msnmsgr.exe"
                                          : "C:\\PROGRA~1\\WINDOW~1\\MSNMSGR.EXE")
        << version;
    EXPECT_EQ(read->arguments, "/background") << version;
  }
}

TEST(ShellLinkParse, IdListOutsideTheFileSystemGivesNoTarget) {
  // A root other than My Computer (here the Control Panel) does not lead to a drive path.
  Bytes controlPanel;
  controlPanel.U8(0x1F).U8(0x80).Raw({0x20, 0x20, 0xEC, 0x21, 0xEA, 0x3A, 0x69, 0x10, 0xA2, 0xDD,
                                      0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D});
  const std::optional<ShellLinkData> read = ParseShellLink(Concat({
      Header(kIdList | kUnicode),
      IdList({controlPanel, FileEntryItem(false, "X.EXE", "x.exe", 3)}),
      Bytes().U32(0),
  }));
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->targetPath, "");
}

TEST(ShellLinkParse, ReadsEightBitStringsAndNetworkLocations) {
  // An old ANSI link: strings in Windows-1252, the target on a share with a path suffix.
  const std::optional<ShellLinkData> read = ParseShellLink(Concat({
      Header(kLinkInfo | kName | kArgs),
      NetworkLinkInfo("\\\\SERVER\\Apps", "Eudora\\Eudora.exe"),
      Counted8("Caf\xE9 \x80 \x8A\x9F"),
      Counted8("/m \xA9"),
      Bytes().U32(0),
  }));
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->targetPath, "\\\\SERVER\\Apps\\Eudora\\Eudora.exe");
  EXPECT_EQ(read->description, "Caf\xC3\xA9 \xE2\x82\xAC \xC5\xA0\xC5\xB8");  // Café € ŠŸ
  EXPECT_EQ(read->arguments, "/m \xC2\xA9");
}

TEST(ShellLinkParse, JoinsTheLocalBasePathAndItsSuffix) {
  const std::pair<const char*, const char*> splits[] = {
      {"C:\\Program Files\\Opera\\opera.exe", ""},
      {"C:\\Program Files\\", "Opera\\opera.exe"},
      {"C:\\Program Files", "Opera\\opera.exe"},
  };
  for (const auto& [base, suffix] : splits) {
    const std::optional<ShellLinkData> read = ParseShellLink(
        Concat({Header(kLinkInfo), LocalLinkInfo(base, suffix, "DATA", 1), Bytes().U32(0)}));
    ASSERT_TRUE(read.has_value()) << base;
    EXPECT_EQ(read->targetPath, "C:\\Program Files\\Opera\\opera.exe") << base << " + " << suffix;
    EXPECT_EQ(read->volumeLabel, "DATA");
  }
}

TEST(ShellLinkParse, FallsBackToTheEnvironmentBlock) {
  Bytes env;
  env.U32(0x314).U32(0xA0000001);
  Bytes ansi, wide;
  ansi.TextZ("%windir%\\notepad.exe");
  ansi.Zeros(260 - ansi.size());
  wide.WideZ("%windir%\\notepad.exe");
  wide.Zeros(520 - wide.size());
  env.Raw(ansi.data).Raw(wide.data).U32(0);
  const std::optional<ShellLinkData> read = ParseShellLink(Concat({Header(kUnicode | kExpString), env}));
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->targetPath, "%windir%\\notepad.exe");
}

// --- Hostile input ---------------------------------------------------------------------------

TEST(ShellLinkParse, EveryTruncationOfAWrittenLinkIsNotALink) {
  for (const RoundTripCase& c : RoundTripCases()) {
    const std::vector<std::uint8_t> bytes = WriteShellLink(c.link);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
      ASSERT_FALSE(ParseShellLink(std::span(bytes).first(n)).has_value())
          << c.name << " cut at " << n;
    }
  }
}

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
}
void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
  b.at(at) = static_cast<std::uint8_t>(v);
  b.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
}

TEST(ShellLinkParse, AbsurdSizesCountsAndOffsetsAreNotALink) {
  ShellLinkData data = Link("C:\\Program Files\\Mozilla Firefox\\firefox.exe");
  data.description = "Firefox";
  const std::vector<std::uint8_t> good = WriteShellLink(data);
  ASSERT_TRUE(ParseShellLink(good).has_value());
  // Where the parts of this link lie.
  const std::size_t idList = 0x4C;
  const std::size_t firstItem = idList + 2;
  const std::size_t info = idList + 2 + (good[idList] | good[idList + 1] << 8);
  const std::uint32_t infoSize = good[info] | good[info + 1] << 8 | good[info + 2] << 16;
  const std::size_t volume = info + 0x1C;
  const std::size_t description = info + infoSize;
  const std::size_t terminal = good.size() - 4;

  using Mutation = void (*)(std::vector<std::uint8_t>&, std::size_t);
  struct Case {
    const char* name;
    std::size_t at;
    Mutation mutate;
  };
  const Case cases[] = {
      {"header size", 0, [](auto& b, std::size_t at) { Put32(b, at, 0x4D); }},
      {"class id", 4, [](auto& b, std::size_t at) { b[at + 15] = 0x47; }},
      {"ID list size past the end", idList, [](auto& b, std::size_t at) { Put16(b, at, 0xFFFF); }},
      {"ID list size cuts an item", idList, [](auto& b, std::size_t at) { Put16(b, at, 30); }},
      {"item size 1", firstItem, [](auto& b, std::size_t at) { Put16(b, at, 1); }},
      {"item size past the list", firstItem, [](auto& b, std::size_t at) { Put16(b, at, 0x7FFF); }},
      {"location size huge", info, [](auto& b, std::size_t at) { Put32(b, at, 0xFFFFFFFF); }},
      {"location size tiny", info, [](auto& b, std::size_t at) { Put32(b, at, 8); }},
      {"location header size huge", info + 4,
       [](auto& b, std::size_t at) { Put32(b, at, 0x7FFFFFF0); }},
      {"volume offset outside", info + 12, [](auto& b, std::size_t at) { Put32(b, at, 0xFFFFFF00); }},
      {"volume size huge", volume, [](auto& b, std::size_t at) { Put32(b, at, 0x10000); }},
      {"volume label offset outside", volume + 12,
       [](auto& b, std::size_t at) { Put32(b, at, 0xFFFFFFF0); }},
      {"base path offset outside", info + 16,
       [](auto& b, std::size_t at) { Put32(b, at, 0x80000000); }},
      // The byte after the location information is 0: a scan must stop at its end.
      {"path suffix without its end", info + infoSize - 1, [](auto& b, std::size_t at) { b[at] = 'x'; }},
      {"suffix offset outside", info + 24, [](auto& b, std::size_t at) { Put32(b, at, 0xFFFF); }},
      {"string count past the end", description,
       [](auto& b, std::size_t at) { Put16(b, at, 0xFFFF); }},
      {"extra block size huge", terminal, [](auto& b, std::size_t at) { Put32(b, at, 0xFFFFFFF0); }},
      {"extra block size 5", terminal, [](auto& b, std::size_t at) { Put32(b, at, 5); }},
      {"flags ask for strings that are not there", 20,
       [](auto& b, std::size_t at) { b[at] |= kArgs | kIcon | kRelative; }},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> bad = good;
    c.mutate(bad, c.at);
    EXPECT_FALSE(ParseShellLink(bad).has_value()) << c.name;
  }

  const std::vector<std::uint8_t> notLinks[] = {
      {},
      {'L', 0, 0, 0},
      std::vector<std::uint8_t>(4096, 0xFF),
      std::vector<std::uint8_t>(4096, 0x00),
      {'[', 'I', 'n', 't', 'e', 'r', 'n', 'e', 't', 'S', 'h', 'o', 'r', 't', 'c', 'u', 't', ']'},
  };
  for (const auto& bytes : notLinks) EXPECT_FALSE(ParseShellLink(bytes).has_value()) << bytes.size();
}

// --- The same links as another reader sees them -----------------------------------------------

#ifndef _WIN32
class TempFolder {
 public:
  TempFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("ombrant-lnk-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// "Key : value" lines of lnkinfo's link information, keyed by their name.
std::map<std::string, std::string> RunLnkInfo(const std::filesystem::path& file) {
  std::map<std::string, std::string> fields;
  const std::string command = "lnkinfo '" + file.string() + "' 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return fields;
  std::string output;
  char buffer[4096];
  while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
  pclose(pipe);
  std::size_t start = output.find("Link information:");
  const std::size_t end = output.find("Link target identifier:");
  if (start == std::string::npos) return fields;
  const std::string section = output.substr(start, end == std::string::npos ? end : end - start);
  std::size_t lineStart = 0;
  while (lineStart < section.size()) {
    std::size_t lineEnd = section.find('\n', lineStart);
    if (lineEnd == std::string::npos) lineEnd = section.size();
    const std::string line = section.substr(lineStart, lineEnd - lineStart);
    lineStart = lineEnd + 1;
    const std::size_t colon = line.find(": ");
    if (colon == std::string::npos) continue;
    const std::size_t keyStart = line.find_first_not_of('\t');
    const std::size_t keyEnd = line.find_last_not_of("\t ", colon - 1);
    if (keyStart == std::string::npos || keyEnd == std::string::npos || keyEnd < keyStart) continue;
    fields[line.substr(keyStart, keyEnd - keyStart + 1)] = line.substr(colon + 2);
  }
  return fields;
}
#endif

TEST(ShellLinkPeer, LnkinfoReadsWhatTheCodecWrites) {
#ifdef _WIN32
  GTEST_SKIP() << "lnkinfo is a Linux tool";
#else
  if (std::system("lnkinfo -V >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "lnkinfo (liblnk-utils) is not installed";
  }
  TempFolder folder;
  int index = 0;
  for (const RoundTripCase& c : RoundTripCases()) {
    if (!c.lnkinfoDecodes) continue;
    const std::filesystem::path file = folder.Path() / ("link" + std::to_string(index++) + ".lnk");
    const std::vector<std::uint8_t> bytes = WriteShellLink(c.link);
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const std::map<std::string, std::string> seen = RunLnkInfo(file);
    ASSERT_FALSE(seen.empty()) << c.name << ": lnkinfo read nothing";

    const std::string& target = c.link.targetPath;
    const char* pathKey = target[1] == ':' ? "Local path"
                          : target[0] == '\\' ? "Network path"
                                              : "Relative path";
    const std::pair<const char*, std::string> expected[] = {
        {pathKey, target},
        {"Command line arguments", c.link.arguments},
        {"Working directory", c.link.workingDir},
        {"Description", c.link.description},
        {"Icon location", c.link.iconLocation},
    };
    for (const auto& [key, value] : expected) {
      const auto found = seen.find(key);
      if (value.empty()) {
        EXPECT_TRUE(found == seen.end())
            << c.name << ": " << key << " should be unset, is '" << found->second << "'";
      } else {
        ASSERT_NE(found, seen.end()) << c.name << ": " << key << " missing";
        EXPECT_EQ(found->second, value) << c.name << ": " << key;
      }
    }
  }
#endif
}

}  // namespace
}  // namespace ombrant::sim
