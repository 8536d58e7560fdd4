// Windows shortcut files (.lnk) read and written without Windows, in the shell's own binary
// layout, so the simulated machine's links are real links that Windows and other tools can open.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ombrant::sim {

// Show commands a link can hold; any other value reads as kShowNormal, as Windows treats it.
inline constexpr std::uint32_t kShowNormal = 1;
inline constexpr std::uint32_t kShowMaximized = 3;
inline constexpr std::uint32_t kShowMinNoActive = 7;

inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;
inline constexpr std::uint32_t kDriveFixed = 3;

// What a shortcut holds. Strings are UTF-8; an empty string is an unset property.
struct ShellLinkData {
  // "C:\dir\file.exe", "C:\", "\\server\share\dir\file.exe", or a bare word such as "runas".
  std::string targetPath;
  std::string arguments;
  std::string workingDir;
  std::string description;
  std::string relativePath;
  std::string iconLocation;
  std::int32_t iconIndex = 0;
  std::uint32_t showCommand = kShowNormal;
  std::uint16_t hotKey = 0;  // low byte: virtual key; high byte: HOTKEYF_SHIFT/CONTROL/ALT
  // The target's facts as the link remembers them. kFileAttributeDirectory makes the last
  // path component a folder item in the ID list.
  std::uint32_t fileAttributes = 0;
  std::uint64_t creationTime = 0;  // FILETIME: 100 ns units since 1601-01-01 UTC
  std::uint64_t accessTime = 0;
  std::uint64_t writeTime = 0;
  std::uint32_t fileSize = 0;
  // The volume of a local target.
  std::uint32_t driveType = kDriveFixed;
  std::uint32_t driveSerialNumber = 0;
  std::string volumeLabel;

  bool operator==(const ShellLinkData&) const = default;
};

// Reads a link. A truncated, malformed or hostile file gives std::nullopt; nothing in the file
// is trusted, and the call never reads outside `bytes`. The target path comes from the link's
// location information, else from its ID list (computer, drive, file-system items), else from
// its environment-variable block, else from its relative path.
[[nodiscard]] std::optional<ShellLinkData> ParseShellLink(std::span<const std::uint8_t> bytes);

// Writes a link that Windows' shell reads. An absolute drive path gets an ID list and location
// information; a UNC path gets network location information; anything else (a bare word) is
// stored as the relative path only. Empty properties are not written.
// Returns an empty vector when the data cannot be stored: a string with a NUL character, a
// string or path too long for the format's 16-bit counts.
[[nodiscard]] std::vector<std::uint8_t> WriteShellLink(const ShellLinkData& link);

}  // namespace ombrant::sim
