#include "catalogue/kvrMigration.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <optional>
#include <vector>

#include "platform/kvrRegHives.h"
#include "platform/kvrRegistry.h"
#include "platform/vqFileSys.h"
#include "platform/vqSecurity.h"
#include "platform/vqStringList.h"
#include "platform/vqStrings.h"

namespace ombrant {

namespace {

std::string WithBackslash(std::string_view folder) {
  std::string result(folder);
  if (result.empty() || result.back() != '\\') result += '\\';
  return result;
}

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The first place of `needle` in `text` from `from` on, ASCII letters compared ignoring case.
// Bytes of multi-byte UTF-8 characters never equal an ASCII byte, so they compare exactly.
std::size_t FindAsciiNoCase(std::string_view text, std::string_view needle, std::size_t from) {
  if (needle.empty() || text.size() < needle.size()) return std::string_view::npos;
  for (std::size_t i = from; i + needle.size() <= text.size(); ++i) {
    std::size_t k = 0;
    while (k < needle.size() && AsciiUpper(text[i + k]) == AsciiUpper(needle[k])) ++k;
    if (k == needle.size()) return i;
  }
  return std::string_view::npos;
}

// Every occurrence of `from` (any case) replaced by `to`; true when anything was replaced.
bool ReplaceAllNoCase(std::string& text, std::string_view from, std::string_view to) {
  bool changed = false;
  std::size_t at = FindAsciiNoCase(text, from, 0);
  while (at != std::string::npos) {
    text.replace(at, from.size(), to);
    changed = true;
    at = FindAsciiNoCase(text, from, at + to.size());
  }
  return changed;
}

std::string DoubleBackslashes(std::string_view text) {
  std::string result;
  for (const char c : text) {
    result += c;
    if (c == '\\') result += '\\';
  }
  return result;
}

// One line of a file and the bytes that ended it ("\r\n", "\n", "\r" or none at the end).
struct TLine {
  std::string text;
  std::string end;
};

std::vector<TLine> SplitLines(std::string_view bytes) {
  std::vector<TLine> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t stop = bytes.find_first_of("\r\n", start);
    if (stop == std::string_view::npos) {
      lines.push_back({std::string(bytes.substr(start)), ""});
      break;
    }
    const std::size_t endSize = bytes.compare(stop, 2, "\r\n") == 0 ? 2 : 1;
    lines.push_back({std::string(bytes.substr(start, stop - start)),
                     std::string(bytes.substr(stop, endSize))});
    start = stop + endSize;
  }
  return lines;
}

}  // namespace

void StripItemLabels(TStringList& list) {
  std::vector<std::string> values;
  for (const std::string& line : list.Strings()) {
    const std::size_t equals = line.find('=');
    values.push_back(equals == std::string::npos ? std::string() : line.substr(equals + 1));
  }
  list.Clear();
  for (std::string& value : values) list.Add(std::move(value));
}

int CopyDataFilesWithShell(const port::Port& port, std::string_view sourceFolder,
                           std::string_view targetFolder, const TStringList& files) {
  if (files.Count() == 0) return 0;
  const std::string source = WithBackslash(sourceFolder);
  const std::string target = WithBackslash(targetFolder);
  std::string from;
  std::string to;
  for (const std::string& file : files.Strings()) {
    from += source + file;
    from += '\0';
    to += target + file;
    to += '\0';
  }
  from += '\0';
  to += '\0';
  bool aborted = false;
  return port.shell.SHFileOperation(0, port::kFoCopy, from, to, kDataCopyFlags, &aborted);
}

void CopyRegistryKeys(const port::Port& port, const port::ProfileInfo& target,
                      const TStringList& keys) {
  TMyRegistry source(port.registry);
  TMyRegistry destination(port.registry);
  source.SetRootKey(port::kHKeyCurrentUser);
  destination.SetRootKey(target.profile);
  for (const std::string& key : keys.Strings()) {
    try {
      if (source.OpenKeyReadOnly(key)) {
        if (destination.OpenKeyW(key, true)) {
          source.CopyKey(destination, true, false);
          destination.CloseKey();
        }
        source.CloseKey();
      }
    } catch (const std::exception&) {
      // One key that cannot be copied must not stop the others.
      source.CloseKey();
      destination.CloseKey();
    }
  }
}

void CopyRegistryValues(const port::Port& port, const port::ProfileInfo& target,
                        const TStringList& values) {
  TMyRegistry source(port.registry);
  TMyRegistry destination(port.registry);
  source.SetRootKey(port::kHKeyCurrentUser);
  destination.SetRootKey(target.profile);
  for (const std::string& value : values.Strings()) {
    port::HKey hive = port::kNoKey;
    std::string keyPath;
    std::string valueName;
    // Values always come from HKEY_CURRENT_USER.
    if (!SplitRegistryValuePath("HKEY_CURRENT_USER" + value, hive, keyPath, valueName)) continue;
    try {
      if (source.OpenKeyReadOnly(keyPath)) {
        if (source.ValueExists(valueName) && destination.OpenKeyW(keyPath, true)) {
          source.CopyValue(valueName, destination, false);
          destination.CloseKey();
        }
        source.CloseKey();
      }
    } catch (const std::exception&) {
      source.CloseKey();
      destination.CloseKey();
    }
  }
}

namespace {

bool IsFolder(port::IFileSystem& files, std::string_view path) {
  std::uint32_t attributes = 0;
  return files.GetFileAttributes(path, &attributes) == port::kErrorSuccess &&
         (attributes & port::kFileAttributeDirectory) != 0;
}

// The folder's new grant, inherited by what the folder already holds. Writing a folder's DACL
// does not pass its inheritable entries on to existing files and folders, so without this the
// account could create files in the folder but not change the ones the program keeps there.
// Each entry below gets the grant marked inherited, unless its DACL is protected from
// inheritance, already names the account, or would not be written back as it was read.
void PassGrantOnBelow(const port::Port& port, std::string_view folder, const std::string& sid) {
  TStringList below;
  FindFiles(port.files, WithBackslash(folder) + "*.*", below, true, true, true, true, false);
  // Inheritance stops at a protected DACL: nothing at or below it takes the grant. Found first,
  // as the scan need not list a folder before what it holds.
  std::vector<std::string> closed;
  for (const std::string& path : below) {
    try {
      std::string section;
      std::string flags;
      std::vector<std::string> entries;
      SplitSecurityDescriptorString(
          vqGetFileSecurityString(port.security, path, port::kDaclSecurityInformation), section,
          flags, entries);
      if (flags.find('P') != std::string::npos) closed.push_back(WithBackslash(path));
    } catch (...) {
      closed.push_back(WithBackslash(path));
    }
  }
  for (const std::string& path : below) {
    // A link's own entry is not what it leads to; the grant stays inside the folder.
    std::uint32_t attributes = 0;
    if (port.files.GetFileAttributes(path, &attributes) != port::kErrorSuccess ||
        (attributes & port::kFileAttributeReparsePoint) != 0) {
      continue;
    }
    bool shut = false;
    for (const std::string& prefix : closed) shut = shut || WithBackslash(path).starts_with(prefix);
    if (shut) continue;
    try {
      const std::string sddl =
          vqGetFileSecurityString(port.security, path, port::kDaclSecurityInformation);
      std::string section;
      std::string flags;
      std::vector<std::string> entries;
      SplitSecurityDescriptorString(sddl, section, flags, entries);
      bool named = false;
      for (const std::string& entry : entries) {
        named = named || SplitAceString(entry).accountSid == sid;
      }
      if (named || JoinSecurityDescriptorString(section, flags, entries) != sddl) continue;
      entries.push_back("(A;" + std::string(IsFolder(port.files, path) ? "OICIID" : "ID") + ";" +
                        kGrantRights + ";;;" + sid + ")");
      (void)vqSetFileSecurityString(port.security, path,
                                    JoinSecurityDescriptorString(section, flags, entries),
                                    port::kDaclSecurityInformation);
    } catch (...) {
      // An entry whose rights cannot be read or written keeps them.
    }
  }
}

}  // namespace

bool GrantTargetUserAccess(const port::Port& port, const port::ProfileInfo& target,
                           std::string_view path) noexcept {
  if (target.userName.empty()) return false;
  if (!vqGrantUserModifyAccess(port.security, path, target.userName)) return false;
  try {
    if (IsFolder(port.files, path)) {
      PassGrantOnBelow(port, path,
                       vqConvertSidToStringSid(port.security,
                                               vqLookupAccountName(port.security,
                                                                   target.userName, "")));
    }
  } catch (...) {
    // The folder itself has its entry; what lies below keeps its rights.
  }
  return true;
}

namespace {

// Windows-1252, the ANSI code page of the English and German systems, for the characters
// 0x80-0x9F where it differs from Latin-1.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The text in the ANSI code page; nothing when a character has no place there.
std::optional<std::string> Utf8ToAnsi(std::string_view text) {
  std::string result;
  for (const char16_t c : Utf8ToUtf16(text)) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      result += static_cast<char>(c);
      continue;
    }
    const char16_t* at = std::find(std::begin(kWindows1252High), std::end(kWindows1252High), c);
    if (c == 0 || at == std::end(kWindows1252High)) return std::nullopt;
    result += static_cast<char>(0x80 + (at - std::begin(kWindows1252High)));
  }
  return result;
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsValidUtf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const unsigned char lead = static_cast<unsigned char>(bytes[i]);
    const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3
                               : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > bytes.size() || (length == 2 && lead < 0xC2)) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

constexpr std::string_view kUtf16LeBom = "\xFF\xFE";

// The two paths as the file spells them: UTF-8 where the file is UTF-8 (or only ASCII is
// involved), otherwise the ANSI code page. False when the paths cannot be written that way.
bool PathsInFileEncoding(std::string_view bytes, std::string& from, std::string& to) {
  if (IsAscii(from) && IsAscii(to)) return true;
  if (IsValidUtf8(bytes)) return true;
  std::optional<std::string> ansiFrom = Utf8ToAnsi(from);
  std::optional<std::string> ansiTo = Utf8ToAnsi(to);
  if (!ansiFrom || !ansiTo) return false;
  from = std::move(*ansiFrom);
  to = std::move(*ansiTo);
  return true;
}

}  // namespace

bool ReplaceFileContent(port::IFileSystem& files, const std::string& path,
                        std::string_view content) {
  const std::string temporary = path + ".ombrant-new";
  if (files.WriteWholeFile(temporary, content) == port::kErrorSuccess &&
      files.ReplaceFileWith(temporary, path) == port::kErrorSuccess) {
    return true;
  }
  (void)files.DeleteFile(temporary);
  return false;
}

std::optional<std::string> RewritePathInText(std::string_view bytes, std::string_view sourceFolder,
                                             std::string_view targetFolder, bool escape) {
  if (bytes.starts_with(kUtf16LeBom)) {
    // A Unicode file: rewritten as UTF-8 text, then put back into its own form.
    std::optional<std::string> text =
        RewritePathInText(Utf16LeBytesToUtf8(bytes.substr(2)), sourceFolder, targetFolder, escape);
    if (!text) return std::nullopt;
    return std::string(kUtf16LeBom) + Utf8ToUtf16LeBytes(*text);
  }
  std::string from = escape ? DoubleBackslashes(sourceFolder) : std::string(sourceFolder);
  std::string to = escape ? DoubleBackslashes(targetFolder) : std::string(targetFolder);
  if (from.empty() || !PathsInFileEncoding(bytes, from, to)) return std::nullopt;
  std::vector<TLine> lines = SplitLines(bytes);
  bool changed = false;
  for (TLine& line : lines) changed = ReplaceAllNoCase(line.text, from, to) || changed;
  if (!changed) return std::nullopt;
  std::string result;
  result.reserve(bytes.size() + 64);
  for (const TLine& line : lines) result += line.text + "\r\n";
  return result;
}

std::optional<std::string> RewritePathInIni(std::string_view bytes, std::string_view sourceFolder,
                                            std::string_view targetFolder) {
  std::string from(sourceFolder);
  std::string to(targetFolder);
  if (from.empty() || !PathsInFileEncoding(bytes, from, to)) return std::nullopt;
  std::vector<TLine> lines = SplitLines(bytes);
  bool inSection = false;
  bool changed = false;
  for (TLine& line : lines) {
    const std::size_t first = line.text.find_first_not_of(" \t");
    if (first == std::string::npos) continue;
    const char lead = line.text[first];
    if (lead == '[') {
      inSection = true;
      continue;
    }
    // Comments and lines before the first section are no entries.
    if (!inSection || lead == ';' || lead == '#') continue;
    const std::size_t equals = line.text.find('=');
    if (equals == std::string::npos) continue;
    std::string value = line.text.substr(equals + 1);
    if (value.find(from) == std::string::npos) continue;
    if (ReplaceAllNoCase(value, from, to)) {
      line.text.replace(equals + 1, std::string::npos, value);
      changed = true;
    }
  }
  if (!changed) return std::nullopt;
  std::string result;
  result.reserve(bytes.size() + 64);
  for (const TLine& line : lines) result += line.text + line.end;
  return result;
}

bool ReplacePathInTextFile(port::IFileSystem& files, std::string_view sourceFolder,
                           std::string_view targetFolder, bool escape,
                           std::string_view relativeFile) noexcept {
  try {
    const std::string path = WithBackslash(targetFolder) + std::string(relativeFile);
    std::string bytes;
    if (files.ReadWholeFile(path, &bytes) != port::kErrorSuccess) return false;
    const std::optional<std::string> result =
        RewritePathInText(bytes, sourceFolder, targetFolder, escape);
    return result && ReplaceFileContent(files, path, *result);
  } catch (const std::exception&) {
    return false;
  }
}

bool ReplacePathInIniFile(port::IFileSystem& files, std::string_view sourceFolder,
                          std::string_view targetFolder, std::string_view relativeFile) noexcept {
  try {
    const std::string path = WithBackslash(targetFolder) + std::string(relativeFile);
    std::string bytes;
    if (files.ReadWholeFile(path, &bytes) != port::kErrorSuccess) return false;
    const std::optional<std::string> result = RewritePathInIni(bytes, sourceFolder, targetFolder);
    return result && ReplaceFileContent(files, path, *result);
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace ombrant
