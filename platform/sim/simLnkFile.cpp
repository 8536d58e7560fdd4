#include "platform/sim/simLnkFile.h"

#include <array>
#include <limits>
#include <string_view>

#include "platform/vqStrings.h"

namespace ombrant::sim {
namespace {

// Header flags.
constexpr std::uint32_t kHasLinkTargetIdList = 0x1;
constexpr std::uint32_t kHasLinkInfo = 0x2;
constexpr std::uint32_t kHasName = 0x4;
constexpr std::uint32_t kHasRelativePath = 0x8;
constexpr std::uint32_t kHasWorkingDir = 0x10;
constexpr std::uint32_t kHasArguments = 0x20;
constexpr std::uint32_t kHasIconLocation = 0x40;
constexpr std::uint32_t kIsUnicode = 0x80;
constexpr std::uint32_t kForceNoLinkInfo = 0x100;
constexpr std::uint32_t kHasExpString = 0x200;

constexpr std::uint32_t kHeaderSize = 0x4C;
constexpr std::array<std::uint8_t, 16> kShellLinkClsid = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00,
                                                          0x00, 0x00, 0xC0, 0x00, 0x00, 0x00,
                                                          0x00, 0x00, 0x00, 0x46};
// {20D04FE0-3AEA-1069-A2D8-08002B30309D}, "My Computer", as stored in a root item.
constexpr std::array<std::uint8_t, 16> kMyComputerClsid = {0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A,
                                                           0x69, 0x10, 0xA2, 0xD8, 0x08, 0x00,
                                                           0x2B, 0x30, 0x30, 0x9D};

// Location information flags and sizes.
constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x1;
constexpr std::uint32_t kCommonNetworkRelativeLinkAndPathSuffix = 0x2;
constexpr std::uint32_t kLinkInfoHeaderSize = 0x1C;
constexpr std::uint32_t kLinkInfoHeaderSizeUnicode = 0x24;
constexpr std::uint32_t kValidNetType = 0x2;
constexpr std::uint32_t kNetworkProviderLanman = 0x00020000;

// Shell item types.
constexpr std::uint8_t kRootFolderItem = 0x1F;
constexpr std::uint8_t kMyComputerSortIndex = 0x50;
constexpr std::uint8_t kDriveItem = 0x2F;
constexpr std::uint8_t kFolderItem = 0x31;
constexpr std::uint8_t kFileItem = 0x32;
constexpr std::uint32_t kFileEntryExtensionSignature = 0xBEEF0004;
constexpr std::uint16_t kFileEntryExtensionVersion = 3;  // read by every Windows since XP

constexpr std::uint32_t kEnvironmentBlockSignature = 0xA0000001;
constexpr std::size_t kEnvironmentBlockSize = 0x314;

// Windows-1252 characters 0x80..0x9F; the five holes map to the C1 controls, as Windows does.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string AnsiToUtf8(std::span<const std::uint8_t> bytes) {
  std::u16string wide;
  wide.reserve(bytes.size());
  for (std::uint8_t b : bytes) wide.push_back(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : b);
  return Utf16ToUtf8(wide);
}

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// Best-effort 8-bit form; characters outside Windows-1252 become '?', as the ANSI APIs do.
std::string Utf8ToAnsi(std::string_view text) {
  std::string out;
  for (char16_t c : Utf8ToUtf16(text)) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    char mapped = '?';
    for (std::size_t i = 0; i < kCp1252High.size(); ++i) {
      if (kCp1252High[i] == c) mapped = static_cast<char>(0x80 + i);
    }
    out.push_back(mapped);
  }
  return out;
}

// ---------------------------------------------------------------------------------------------
// Reading. Every access is checked against the span it reads from; offsets and sizes from the
// file are validated before use.

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t Size() const { return bytes_.size(); }

  bool U8(std::size_t at, std::uint8_t& out) const {
    if (at >= bytes_.size()) return false;
    out = bytes_[at];
    return true;
  }
  bool U16(std::size_t at, std::uint16_t& out) const {
    if (at > bytes_.size() || bytes_.size() - at < 2) return false;
    out = static_cast<std::uint16_t>(bytes_[at] | (bytes_[at + 1] << 8));
    return true;
  }
  bool U32(std::size_t at, std::uint32_t& out) const {
    if (at > bytes_.size() || bytes_.size() - at < 4) return false;
    out = 0;
    for (int i = 3; i >= 0; --i) out = (out << 8) | bytes_[at + i];
    return true;
  }
  bool U64(std::size_t at, std::uint64_t& out) const {
    std::uint32_t low = 0, high = 0;
    if (!U32(at, low) || !U32(at + 4, high)) return false;
    out = (static_cast<std::uint64_t>(high) << 32) | low;
    return true;
  }
  // The sub-range [at, at + length); false when it does not lie inside.
  bool Sub(std::size_t at, std::size_t length, Reader& out) const {
    if (at > bytes_.size() || bytes_.size() - at < length) return false;
    out = Reader(bytes_.subspan(at, length));
    return true;
  }
  // A NUL-terminated 8-bit string starting at `at`; `end` gets the offset past the NUL.
  bool AnsiZ(std::size_t at, std::string& out, std::size_t* end = nullptr) const {
    for (std::size_t i = at; i < bytes_.size(); ++i) {
      if (bytes_[i] == 0) {
        out = AnsiToUtf8(bytes_.subspan(at, i - at));
        if (end) *end = i + 1;
        return true;
      }
    }
    return false;
  }
  // A NUL-terminated UTF-16LE string starting at `at`.
  bool WideZ(std::size_t at, std::string& out, std::size_t* end = nullptr) const {
    std::u16string wide;
    for (std::size_t i = at; i <= bytes_.size() && bytes_.size() - i >= 2; i += 2) {
      const char16_t c = static_cast<char16_t>(bytes_[i] | (bytes_[i + 1] << 8));
      if (c == 0) {
        out = Utf16ToUtf8(wide);
        if (end) *end = i + 2;
        return true;
      }
      wide.push_back(c);
    }
    return false;
  }
  // `count` UTF-16LE code units, or `count` 8-bit characters.
  bool Counted(std::size_t at, std::size_t count, bool unicode, std::string& out) const {
    const std::size_t length = unicode ? count * 2 : count;
    Reader chars(bytes_);
    if (!Sub(at, length, chars)) return false;
    if (!unicode) {
      out = AnsiToUtf8(chars.bytes_);
      return true;
    }
    std::u16string wide(count, u'\0');
    for (std::size_t i = 0; i < count; ++i) {
      wide[i] = static_cast<char16_t>(chars.bytes_[2 * i] | (chars.bytes_[2 * i + 1] << 8));
    }
    out = Utf16ToUtf8(wide);
    return true;
  }
  bool Equals(std::size_t at, std::span<const std::uint8_t> expected) const {
    if (at > bytes_.size() || bytes_.size() - at < expected.size()) return false;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      if (bytes_[at + i] != expected[i]) return false;
    }
    return true;
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

// The long name of a file-system item from its 0xBEEF0004 extension block at `at`, if any.
bool ReadExtensionLongName(const Reader& item, std::size_t at, std::string& name) {
  std::uint16_t size = 0, version = 0;
  std::uint32_t signature = 0;
  if (!item.U16(at, size) || !item.U16(at + 2, version) || !item.U32(at + 4, signature)) {
    return false;
  }
  Reader block(item);
  if (signature != kFileEntryExtensionSignature || !item.Sub(at, size, block)) return false;
  if (version < 3) return false;  // no long name before version 3
  // Dates and an identifier come first; later versions add a file reference and two fields.
  std::size_t nameAt = 20;
  if (version >= 7) nameAt += 18;
  if (version >= 8) nameAt += 4;
  if (version >= 9) nameAt += 4;
  std::string found;
  if (!block.WideZ(nameAt, found) || found.empty()) return false;
  name = std::move(found);
  return true;
}

// One file-system item (folder or file): its long name when stored, else its primary name.
bool ReadFileEntryName(const Reader& item, std::uint8_t type, std::string& name) {
  constexpr std::size_t kNameAt = 14;  // size, type, 1 unknown, file size, date, attributes
  std::size_t end = 0;
  std::string primary;
  const bool unicode = (type & 0x04) != 0;
  if (!(unicode ? item.WideZ(kNameAt, primary, &end) : item.AnsiZ(kNameAt, primary, &end))) {
    return false;
  }
  // The extension block follows the name, aligned on an even offset by most writers.
  if (!ReadExtensionLongName(item, end, name) && !ReadExtensionLongName(item, end + 1, name)) {
    name = std::move(primary);
  }
  return !name.empty();
}

// Walks the ID list items; the target path when they are computer, drive, then folders/files.
void ReadIdListTarget(const Reader& list, std::string& target) {
  std::string path;
  bool haveDrive = false;
  std::size_t at = 0;
  for (;;) {
    std::uint16_t size = 0;
    if (!list.U16(at, size) || size == 0) break;
    Reader item(list);
    if (size < 3 || !list.Sub(at, size, item)) return;
    at += size;
    std::uint8_t type = 0;
    item.U8(2, type);
    if (type == kRootFolderItem && !haveDrive && path.empty()) {
      // Only "My Computer" leads to drive paths; other roots (network, user folders) do not.
      if (!item.Equals(4, kMyComputerClsid)) return;
      continue;
    }
    if ((type & 0x70) == 0x20 && (type & 0x01) && !haveDrive) {
      std::string drive;
      if (!item.AnsiZ(3, drive) || drive.size() < 2 || drive[1] != ':') return;
      path = drive.substr(0, 2) + "\\";
      haveDrive = true;
      continue;
    }
    if ((type & 0x70) == 0x30 && haveDrive) {
      std::string name;
      if (!ReadFileEntryName(item, type, name)) return;
      if (path.back() != '\\') path += '\\';
      path += name;
      continue;
    }
    return;  // an item this reader does not understand: no path from the list
  }
  if (haveDrive) target = std::move(path);
}

// The location's base path and its common suffix make the target path.
std::string JoinSuffix(std::string base, std::string_view suffix) {
  if (suffix.empty()) return base;
  if (!base.empty() && base.back() != '\\') base += '\\';
  return base.append(suffix);
}

bool ReadLinkInfo(const Reader& info, std::string& target, ShellLinkData& link) {
  std::uint32_t headerSize = 0, flags = 0, volumeIdOffset = 0, localBaseOffset = 0,
                networkOffset = 0, suffixOffset = 0;
  if (!info.U32(4, headerSize) || !info.U32(8, flags) || !info.U32(12, volumeIdOffset) ||
      !info.U32(16, localBaseOffset) || !info.U32(20, networkOffset) ||
      !info.U32(24, suffixOffset)) {
    return false;
  }
  if (headerSize < kLinkInfoHeaderSize || headerSize > info.Size()) return false;
  std::uint32_t localBaseOffsetUnicode = 0, suffixOffsetUnicode = 0;
  if (headerSize >= kLinkInfoHeaderSizeUnicode) {
    if (!info.U32(28, localBaseOffsetUnicode) || !info.U32(32, suffixOffsetUnicode)) return false;
  }

  std::string suffix;
  if (suffixOffsetUnicode != 0) {
    if (!info.WideZ(suffixOffsetUnicode, suffix)) return false;
  } else if (suffixOffset != 0) {
    if (!info.AnsiZ(suffixOffset, suffix)) return false;
  }

  if (flags & kVolumeIdAndLocalBasePath) {
    std::uint32_t volumeSize = 0, labelOffset = 0;
    Reader volume(info);
    if (!info.U32(volumeIdOffset, volumeSize) || volumeSize < 0x10 ||
        !info.Sub(volumeIdOffset, volumeSize, volume) || !volume.U32(4, link.driveType) ||
        !volume.U32(8, link.driveSerialNumber) || !volume.U32(12, labelOffset)) {
      return false;
    }
    if (labelOffset == 0x14) {
      std::uint32_t labelOffsetUnicode = 0;
      if (!volume.U32(16, labelOffsetUnicode) || !volume.WideZ(labelOffsetUnicode, link.volumeLabel)) {
        return false;
      }
    } else if (!volume.AnsiZ(labelOffset, link.volumeLabel)) {
      return false;
    }
    std::string base;
    if (localBaseOffsetUnicode != 0) {
      if (!info.WideZ(localBaseOffsetUnicode, base)) return false;
    } else if (!info.AnsiZ(localBaseOffset, base)) {
      return false;
    }
    target = JoinSuffix(std::move(base), suffix);
    return true;
  }
  if (flags & kCommonNetworkRelativeLinkAndPathSuffix) {
    std::uint32_t networkSize = 0, netNameOffset = 0;
    Reader network(info);
    if (!info.U32(networkOffset, networkSize) || networkSize < 0x14 ||
        !info.Sub(networkOffset, networkSize, network) || !network.U32(8, netNameOffset)) {
      return false;
    }
    std::string netName;
    if (netNameOffset > 0x14) {
      std::uint32_t netNameOffsetUnicode = 0;
      if (!network.U32(0x14, netNameOffsetUnicode) ||
          !network.WideZ(netNameOffsetUnicode, netName)) {
        return false;
      }
    } else if (!network.AnsiZ(netNameOffset, netName)) {
      return false;
    }
    target = JoinSuffix(std::move(netName), suffix);
    return true;
  }
  return true;  // neither local nor network: no target from here
}

// The unexpanded target of an environment-variable block ("%windir%\notepad.exe").
void ReadEnvironmentTarget(const Reader& block, std::string& target) {
  Reader ansi(block), wide(block);
  std::string text;
  if (block.Sub(8 + 260, 520, wide) && wide.WideZ(0, text) && !text.empty()) {
    target = std::move(text);
  } else if (block.Sub(8, 260, ansi) && ansi.AnsiZ(0, text) && !text.empty()) {
    target = std::move(text);
  }
}

// ---------------------------------------------------------------------------------------------
// Writing.

class Writer {
 public:
  std::vector<std::uint8_t>& Bytes() { return bytes_; }
  std::size_t Size() const { return bytes_.size(); }

  void U8(std::uint8_t v) { bytes_.push_back(v); }
  void U16(std::uint16_t v) {
    U8(static_cast<std::uint8_t>(v));
    U8(static_cast<std::uint8_t>(v >> 8));
  }
  void U32(std::uint32_t v) {
    U16(static_cast<std::uint16_t>(v));
    U16(static_cast<std::uint16_t>(v >> 16));
  }
  void U64(std::uint64_t v) {
    U32(static_cast<std::uint32_t>(v));
    U32(static_cast<std::uint32_t>(v >> 32));
  }
  void PutU16(std::size_t at, std::uint16_t v) {
    bytes_[at] = static_cast<std::uint8_t>(v);
    bytes_[at + 1] = static_cast<std::uint8_t>(v >> 8);
  }
  void PutU32(std::size_t at, std::uint32_t v) {
    PutU16(at, static_cast<std::uint16_t>(v));
    PutU16(at + 2, static_cast<std::uint16_t>(v >> 16));
  }
  void Raw(std::span<const std::uint8_t> data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }
  void AnsiZ(std::string_view utf8) {
    for (char c : Utf8ToAnsi(utf8)) U8(static_cast<std::uint8_t>(c));
    U8(0);
  }
  void Wide(std::u16string_view text) {
    for (char16_t c : text) U16(c);
  }
  void WideZ(std::string_view utf8) {
    Wide(Utf8ToUtf16(utf8));
    U16(0);
  }
  void Zeros(std::size_t n) { bytes_.insert(bytes_.end(), n, 0); }

 private:
  std::vector<std::uint8_t> bytes_;
};

// FILETIME to the FAT date (low word) and time (high word) that shell items store; 0 when the
// time lies outside FAT's 1980..2107.
std::uint32_t FileTimeToFat(std::uint64_t fileTime) {
  constexpr std::uint64_t kTicksPerSecond = 10'000'000;
  constexpr std::int64_t kDaysFrom1601To1970 = 134774;
  const std::uint64_t seconds = fileTime / kTicksPerSecond;
  const std::int64_t days = static_cast<std::int64_t>(seconds / 86400) - kDaysFrom1601To1970;
  const std::uint64_t secondOfDay = seconds % 86400;
  // Civil date from days since 1970-01-01 (proleptic Gregorian).
  const std::int64_t z = days + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const std::int64_t day = doy - (153 * mp + 2) / 5 + 1;
  const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const std::int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  if (year < 1980 || year > 2107) return 0;
  const auto date = static_cast<std::uint32_t>(((year - 1980) << 9) | (month << 5) | day);
  const auto time = static_cast<std::uint32_t>(((secondOfDay / 3600) << 11) |
                                               (((secondOfDay / 60) % 60) << 5) |
                                               ((secondOfDay % 60) / 2));
  return date | (time << 16);
}

bool IsDriveAbsolute(std::string_view path) {
  const auto letter = static_cast<unsigned char>(path.size() >= 3 ? path[0] : 0);
  return ((letter | 0x20) >= 'a' && (letter | 0x20) <= 'z') && path[1] == ':' && path[2] == '\\';
}

// "\\server\share[\rest]": splits into "\\server\share" and "rest".
bool SplitUnc(std::string_view path, std::string_view& share, std::string_view& rest) {
  if (path.size() < 5 || path[0] != '\\' || path[1] != '\\') return false;
  const std::size_t serverEnd = path.find('\\', 2);
  if (serverEnd == std::string_view::npos || serverEnd == 2) return false;
  std::size_t shareEnd = path.find('\\', serverEnd + 1);
  if (shareEnd == serverEnd + 1) return false;
  if (shareEnd == std::string_view::npos) shareEnd = path.size();
  share = path.substr(0, shareEnd);
  rest = shareEnd < path.size() ? path.substr(shareEnd + 1) : std::string_view{};
  // A trailing backslash with nothing after it stays with the share, so it reads back.
  if (shareEnd < path.size() && rest.empty()) share = path;
  return true;
}

std::vector<std::string_view> PathComponents(std::string_view path) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

// One folder or file item with its Unicode long name, as the XP shell writes it.
bool WriteFileEntryItem(Writer& out, std::string_view name, bool folder, const ShellLinkData& link,
                        bool isTarget) {
  const std::u16string wide = Utf8ToUtf16(name);
  Writer item;
  item.U16(0);  // size, set below
  item.U8(folder ? kFolderItem : kFileItem);
  item.U8(0);
  item.U32(isTarget && !folder ? link.fileSize : 0);
  item.U32(isTarget ? FileTimeToFat(link.writeTime) : 0);
  item.U16(folder ? kFileAttributeDirectory
                  : static_cast<std::uint16_t>(isTarget ? link.fileAttributes : 0));
  item.AnsiZ(name);
  if (item.Size() % 2) item.U8(0);
  const std::size_t extensionAt = item.Size();
  const std::size_t extensionSize = 8 + 4 + 4 + 2 + 2 + (wide.size() + 1) * 2 + 2;
  item.U16(static_cast<std::uint16_t>(extensionSize));
  item.U16(kFileEntryExtensionVersion);
  item.U32(kFileEntryExtensionSignature);
  item.U32(isTarget ? FileTimeToFat(link.creationTime) : 0);
  item.U32(isTarget ? FileTimeToFat(link.accessTime) : 0);
  item.U16(0x14);
  item.U16(0);  // no localized name
  item.Wide(wide);
  item.U16(0);
  item.U16(static_cast<std::uint16_t>(extensionAt));
  if (item.Size() > std::numeric_limits<std::uint16_t>::max()) return false;
  item.PutU16(0, static_cast<std::uint16_t>(item.Size()));
  out.Raw(item.Bytes());
  return true;
}

bool WriteIdList(Writer& out, std::string_view path, const ShellLinkData& link) {
  Writer list;
  list.U16(0x14);
  list.U8(kRootFolderItem);
  list.U8(kMyComputerSortIndex);
  list.Raw(kMyComputerClsid);

  list.U16(0x19);
  list.U8(kDriveItem);
  const char drive[3] = {static_cast<char>(path[0] & ~0x20), ':', '\\'};
  for (char c : drive) list.U8(static_cast<std::uint8_t>(c));
  list.Zeros(0x19 - 6);

  const std::vector<std::string_view> parts = PathComponents(path.substr(3));
  const bool lastIsFolder =
      (link.fileAttributes & kFileAttributeDirectory) != 0 || path.back() == '\\';
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const bool isTarget = i + 1 == parts.size();
    if (!WriteFileEntryItem(list, parts[i], !isTarget || lastIsFolder, link, isTarget)) {
      return false;
    }
  }
  list.U16(0);  // terminal item
  if (list.Size() > std::numeric_limits<std::uint16_t>::max()) return false;
  out.U16(static_cast<std::uint16_t>(list.Size()));
  out.Raw(list.Bytes());
  return true;
}

void WriteLocalLinkInfo(Writer& out, std::string_view path, const ShellLinkData& link) {
  const bool unicode = !IsAscii(path);
  const std::uint32_t headerSize = unicode ? kLinkInfoHeaderSizeUnicode : kLinkInfoHeaderSize;

  Writer volume;
  const bool unicodeLabel = !IsAscii(link.volumeLabel);
  volume.U32(0);  // size, set below
  volume.U32(link.driveType);
  volume.U32(link.driveSerialNumber);
  if (unicodeLabel) {
    volume.U32(0x14);
    volume.U32(0x14);
    volume.WideZ(link.volumeLabel);
  } else {
    volume.U32(0x10);
    volume.AnsiZ(link.volumeLabel);
  }
  volume.PutU32(0, static_cast<std::uint32_t>(volume.Size()));

  Writer body;
  body.Raw(volume.Bytes());
  const std::size_t localBaseAt = headerSize + body.Size();
  body.AnsiZ(path);
  const std::size_t suffixAt = headerSize + body.Size();
  body.AnsiZ("");
  std::size_t localBaseUnicodeAt = 0, suffixUnicodeAt = 0;
  if (unicode) {
    if (body.Size() % 2) body.U8(0);
    localBaseUnicodeAt = headerSize + body.Size();
    body.WideZ(path);
    suffixUnicodeAt = headerSize + body.Size();
    body.WideZ("");
  }

  out.U32(static_cast<std::uint32_t>(headerSize + body.Size()));
  out.U32(headerSize);
  out.U32(kVolumeIdAndLocalBasePath);
  out.U32(headerSize);
  out.U32(static_cast<std::uint32_t>(localBaseAt));
  out.U32(0);
  out.U32(static_cast<std::uint32_t>(suffixAt));
  if (unicode) {
    out.U32(static_cast<std::uint32_t>(localBaseUnicodeAt));
    out.U32(static_cast<std::uint32_t>(suffixUnicodeAt));
  }
  out.Raw(body.Bytes());
}

void WriteNetworkLinkInfo(Writer& out, std::string_view share, std::string_view rest) {
  const bool unicode = !IsAscii(share) || !IsAscii(rest);
  const std::uint32_t headerSize = unicode ? kLinkInfoHeaderSizeUnicode : kLinkInfoHeaderSize;

  Writer network;
  network.U32(0);  // size, set below
  network.U32(kValidNetType);
  network.U32(unicode ? 0x1C : 0x14);
  network.U32(0);  // no device name
  network.U32(kNetworkProviderLanman);
  if (unicode) {
    network.U32(0);  // Unicode net name offset, set below
    network.U32(0);
  }
  network.AnsiZ(share);
  if (unicode) {
    if (network.Size() % 2) network.U8(0);
    network.PutU32(0x14, static_cast<std::uint32_t>(network.Size()));
    network.WideZ(share);
  }
  network.PutU32(0, static_cast<std::uint32_t>(network.Size()));

  Writer body;
  body.Raw(network.Bytes());
  const std::size_t suffixAt = headerSize + body.Size();
  body.AnsiZ(rest);
  std::size_t suffixUnicodeAt = 0;
  if (unicode) {
    if (body.Size() % 2) body.U8(0);
    suffixUnicodeAt = headerSize + body.Size();
    body.WideZ(rest);
  }

  out.U32(static_cast<std::uint32_t>(headerSize + body.Size()));
  out.U32(headerSize);
  out.U32(kCommonNetworkRelativeLinkAndPathSuffix);
  out.U32(0);
  out.U32(0);
  out.U32(headerSize);
  out.U32(static_cast<std::uint32_t>(suffixAt));
  if (unicode) {
    out.U32(0);
    out.U32(static_cast<std::uint32_t>(suffixUnicodeAt));
  }
  out.Raw(body.Bytes());
}

bool WriteCountedString(Writer& out, std::string_view utf8) {
  const std::u16string wide = Utf8ToUtf16(utf8);
  if (wide.size() > std::numeric_limits<std::uint16_t>::max()) return false;
  out.U16(static_cast<std::uint16_t>(wide.size()));
  out.Wide(wide);
  return true;
}

}  // namespace

std::optional<ShellLinkData> ParseShellLink(std::span<const std::uint8_t> bytes) {
  const Reader file(bytes);
  std::uint32_t headerSize = 0, flags = 0;
  if (!file.U32(0, headerSize) || headerSize != kHeaderSize || file.Size() < kHeaderSize ||
      !file.Equals(4, kShellLinkClsid) || !file.U32(20, flags)) {
    return std::nullopt;
  }
  ShellLinkData link;
  std::uint32_t iconIndex = 0;
  std::uint16_t hotKey = 0;
  file.U32(24, link.fileAttributes);
  file.U64(28, link.creationTime);
  file.U64(36, link.accessTime);
  file.U64(44, link.writeTime);
  file.U32(52, link.fileSize);
  file.U32(56, iconIndex);
  file.U32(60, link.showCommand);
  file.U16(64, hotKey);
  link.iconIndex = static_cast<std::int32_t>(iconIndex);
  link.hotKey = hotKey;
  if (link.showCommand != kShowMaximized && link.showCommand != kShowMinNoActive) {
    link.showCommand = kShowNormal;
  }

  std::size_t at = kHeaderSize;
  std::string idListTarget, linkInfoTarget, environmentTarget;
  if (flags & kHasLinkTargetIdList) {
    std::uint16_t listSize = 0;
    Reader list(file);
    if (!file.U16(at, listSize) || !file.Sub(at + 2, listSize, list)) return std::nullopt;
    // The items must tile the list up to its terminal item.
    std::size_t itemAt = 0;
    for (;;) {
      std::uint16_t itemSize = 0;
      if (!list.U16(itemAt, itemSize)) return std::nullopt;
      if (itemSize == 0) break;
      if (itemSize < 2 || list.Size() - itemAt < itemSize) return std::nullopt;
      itemAt += itemSize;
    }
    ReadIdListTarget(list, idListTarget);
    at += 2 + listSize;
  }
  if ((flags & kHasLinkInfo) && !(flags & kForceNoLinkInfo)) {
    std::uint32_t infoSize = 0;
    Reader info(file);
    if (!file.U32(at, infoSize) || infoSize < kLinkInfoHeaderSize ||
        !file.Sub(at, infoSize, info) || !ReadLinkInfo(info, linkInfoTarget, link)) {
      return std::nullopt;
    }
    at += infoSize;
  } else if (flags & kHasLinkInfo) {
    // Present but to be ignored: still skip it.
    std::uint32_t infoSize = 0;
    if (!file.U32(at, infoSize) || infoSize < 4 || file.Size() - at < infoSize) return std::nullopt;
    at += infoSize;
  }

  const bool unicode = (flags & kIsUnicode) != 0;
  const std::pair<std::uint32_t, std::string*> strings[] = {
      {kHasName, &link.description},          {kHasRelativePath, &link.relativePath},
      {kHasWorkingDir, &link.workingDir},     {kHasArguments, &link.arguments},
      {kHasIconLocation, &link.iconLocation},
  };
  for (const auto& [flag, field] : strings) {
    if (!(flags & flag)) continue;
    std::uint16_t count = 0;
    if (!file.U16(at, count) || !file.Counted(at + 2, count, unicode, *field)) return std::nullopt;
    at += 2 + (unicode ? 2u * count : count);
    // The shell hands these out as C strings; some writers (Wine's) count the terminating NUL.
    if (const std::size_t nul = field->find('\0'); nul != std::string::npos) field->resize(nul);
  }

  // Extra data blocks up to the terminal block (a size below 4).
  for (;;) {
    std::uint32_t blockSize = 0, signature = 0;
    if (!file.U32(at, blockSize)) return std::nullopt;
    if (blockSize < 4) break;
    Reader block(file);
    if (blockSize < 8 || !file.Sub(at, blockSize, block) || !block.U32(4, signature)) {
      return std::nullopt;
    }
    if (signature == kEnvironmentBlockSignature && (flags & kHasExpString) &&
        blockSize >= kEnvironmentBlockSize) {
      ReadEnvironmentTarget(block, environmentTarget);
    }
    at += blockSize;
  }

  if (!linkInfoTarget.empty()) {
    link.targetPath = std::move(linkInfoTarget);
  } else if (!idListTarget.empty()) {
    link.targetPath = std::move(idListTarget);
  } else if (!environmentTarget.empty()) {
    link.targetPath = std::move(environmentTarget);
  } else {
    link.targetPath = link.relativePath;
  }
  return link;
}

std::vector<std::uint8_t> WriteShellLink(const ShellLinkData& link) {
  const std::string_view strings[] = {link.targetPath,  link.arguments,    link.workingDir,
                                      link.description, link.relativePath, link.iconLocation,
                                      link.volumeLabel};
  for (std::string_view s : strings) {
    if (s.find('\0') != std::string_view::npos) return {};
  }

  const std::string_view target = link.targetPath;
  std::string_view share, rest;
  const bool local = IsDriveAbsolute(target);
  const bool network = !local && SplitUnc(target, share, rest);
  std::string relativePath = link.relativePath;
  if (!local && !network && !target.empty()) {
    // A bare word has no location: the relative path is all the link can hold of it.
    if (relativePath.empty()) relativePath = link.targetPath;
    if (relativePath != target) return {};
  }

  std::uint32_t flags = kIsUnicode;
  if (local) flags |= kHasLinkTargetIdList | kHasLinkInfo;
  if (network) flags |= kHasLinkInfo;
  if (!link.description.empty()) flags |= kHasName;
  if (!relativePath.empty()) flags |= kHasRelativePath;
  if (!link.workingDir.empty()) flags |= kHasWorkingDir;
  if (!link.arguments.empty()) flags |= kHasArguments;
  if (!link.iconLocation.empty()) flags |= kHasIconLocation;

  Writer out;
  out.U32(kHeaderSize);
  out.Raw(kShellLinkClsid);
  out.U32(flags);
  out.U32(link.fileAttributes);
  out.U64(link.creationTime);
  out.U64(link.accessTime);
  out.U64(link.writeTime);
  out.U32(link.fileSize);
  out.U32(static_cast<std::uint32_t>(link.iconIndex));
  const std::uint32_t show = link.showCommand;
  out.U32(show == kShowMaximized || show == kShowMinNoActive ? show : kShowNormal);
  out.U16(link.hotKey);
  out.Zeros(2 + 4 + 4);

  if (local) {
    if (!WriteIdList(out, target, link)) return {};
    WriteLocalLinkInfo(out, target, link);
  } else if (network) {
    WriteNetworkLinkInfo(out, share, rest);
  }

  const std::pair<std::uint32_t, std::string_view> stringData[] = {
      {kHasName, link.description},       {kHasRelativePath, relativePath},
      {kHasWorkingDir, link.workingDir},  {kHasArguments, link.arguments},
      {kHasIconLocation, link.iconLocation},
  };
  for (const auto& [flag, text] : stringData) {
    if ((flags & flag) && !WriteCountedString(out, text)) return {};
  }
  out.U32(0);  // terminal block
  return std::move(out.Bytes());
}

}  // namespace ombrant::sim
