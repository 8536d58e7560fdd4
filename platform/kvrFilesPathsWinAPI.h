// The shell's special folders of the running account, with the fallbacks older systems need.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/port/kvrPort.h"

namespace ombrant {

// CSIDL values the program asks for.
inline constexpr std::int32_t CSIDL_DESKTOP = 0;
inline constexpr std::int32_t CSIDL_PROGRAMS = 2;
inline constexpr std::int32_t CSIDL_CONTROLS = 3;
inline constexpr std::int32_t CSIDL_PERSONAL = 5;
inline constexpr std::int32_t CSIDL_FAVORITES = 6;
inline constexpr std::int32_t CSIDL_STARTUP = 7;
inline constexpr std::int32_t CSIDL_RECENT = 8;
inline constexpr std::int32_t CSIDL_SENDTO = 9;
inline constexpr std::int32_t CSIDL_STARTMENU = 11;
inline constexpr std::int32_t CSIDL_MYDOCUMENTS = 12;
inline constexpr std::int32_t CSIDL_MYMUSIC = 13;
inline constexpr std::int32_t CSIDL_MYVIDEO = 14;
inline constexpr std::int32_t CSIDL_DESKTOPDIRECTORY = 16;
inline constexpr std::int32_t CSIDL_NETHOOD = 19;
inline constexpr std::int32_t CSIDL_FONTS = 20;
inline constexpr std::int32_t CSIDL_TEMPLATES = 21;
inline constexpr std::int32_t CSIDL_COMMON_STARTMENU = 22;
inline constexpr std::int32_t CSIDL_COMMON_PROGRAMS = 23;
inline constexpr std::int32_t CSIDL_COMMON_STARTUP = 24;
inline constexpr std::int32_t CSIDL_COMMON_DESKTOPDIRECTORY = 25;
inline constexpr std::int32_t CSIDL_APPDATA = 26;
inline constexpr std::int32_t CSIDL_PRINTHOOD = 27;
inline constexpr std::int32_t CSIDL_LOCAL_APPDATA = 28;
inline constexpr std::int32_t CSIDL_ALTSTARTUP = 29;
inline constexpr std::int32_t CSIDL_COMMON_ALTSTARTUP = 30;
inline constexpr std::int32_t CSIDL_COMMON_FAVORITES = 31;
inline constexpr std::int32_t CSIDL_COMMON_APPDATA = 35;
inline constexpr std::int32_t CSIDL_WINDOWS = 36;
inline constexpr std::int32_t CSIDL_SYSTEM = 37;
inline constexpr std::int32_t CSIDL_PROGRAM_FILES = 38;
inline constexpr std::int32_t CSIDL_PROFILE = 40;
inline constexpr std::int32_t CSIDL_PROGRAM_FILES_COMMON = 43;
inline constexpr std::int32_t CSIDL_COMMON_TEMPLATES = 45;
inline constexpr std::int32_t CSIDL_COMMON_DOCUMENTS = 46;
inline constexpr std::int32_t CSIDL_COMMON_MUSIC = 53;
inline constexpr std::int32_t CSIDL_COMMON_VIDEO = 55;
inline constexpr std::int32_t CSIDL_PROFILES = 62;

// Which registry string types a read accepts: the narrow (ANSI) reads take REG_SZ,
// REG_EXPAND_SZ (unexpanded) and REG_MULTI_SZ (strings joined by CR LF); the wide reads take
// REG_SZ only. The text is UTF-8 either way.
enum class TTextForm { Narrow, Wide };

// One string value of a key below `root`, read-only, in view 32 or 64. False, with `value`
// untouched, when the key or the value is missing or of a type the form does not take.
bool ReadRegistryText(port::IRegistry& registry, port::HKey root, std::string_view keyPath,
                      std::string_view valueName, int view, TTextForm form, std::string& value);

// The folder of a CSIDL as the shell reports it; when the shell has none, the id's fallback
// (a Shell Folders value of the 32-bit registry view, the Windows or system directory, ...).
// Empty text when neither gives a path. The forms differ only in the registry fallbacks.
[[nodiscard]] std::string GetSpecialFolderPath(const port::Port& port, std::int32_t folderId,
                                               TTextForm form = TTextForm::Narrow);
[[nodiscard]] inline std::string GetSpecialFolderPathW(const port::Port& port,
                                                       std::int32_t folderId) {
  return GetSpecialFolderPath(port, folderId, TTextForm::Wide);
}

// GetWindowsDirectory / GetSystemDirectory; empty text when the call fails.
[[nodiscard]] std::string GetWindowsFolder(const port::Port& port);
[[nodiscard]] std::string GetSystemFolder(const port::Port& port);

}  // namespace ombrant
