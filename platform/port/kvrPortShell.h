// The shell area of the Windows port: special folders and the shell-link object.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/port/kvrPortTypes.h"
#include "platform/port/kvrPortUi.h"

namespace ombrant::port {

// HRESULT values the shell-link object returns.
using HResult = std::int32_t;
inline constexpr HResult kSOk = 0;
inline constexpr HResult kSFalse = 1;
inline constexpr HResult kEFail = static_cast<HResult>(0x80004005u);

[[nodiscard]] constexpr bool Succeeded(HResult hr) { return hr >= 0; }
// HRESULT_FROM_WIN32.
[[nodiscard]] constexpr HResult HResultFromWin32(Status status) {
  return status <= 0 ? static_cast<HResult>(status)
                     : static_cast<HResult>((static_cast<std::uint32_t>(status) & 0xFFFFu) |
                                            0x80070000u);
}

// Special-folder ids (CSIDL_*) the program asks for.
inline constexpr int kCsidlDesktop = 0x0000;
inline constexpr int kCsidlPrograms = 0x0002;
inline constexpr int kCsidlControls = 0x0003;
inline constexpr int kCsidlPersonal = 0x0005;
inline constexpr int kCsidlFavorites = 0x0006;
inline constexpr int kCsidlStartup = 0x0007;
inline constexpr int kCsidlRecent = 0x0008;
inline constexpr int kCsidlSendTo = 0x0009;
inline constexpr int kCsidlStartMenu = 0x000B;
inline constexpr int kCsidlMyDocuments = 0x000C;
inline constexpr int kCsidlMyMusic = 0x000D;
inline constexpr int kCsidlMyVideo = 0x000E;
inline constexpr int kCsidlDesktopDirectory = 0x0010;
inline constexpr int kCsidlNetHood = 0x0013;
inline constexpr int kCsidlFonts = 0x0014;
inline constexpr int kCsidlTemplates = 0x0015;
inline constexpr int kCsidlCommonStartMenu = 0x0016;
inline constexpr int kCsidlCommonPrograms = 0x0017;
inline constexpr int kCsidlCommonStartup = 0x0018;
inline constexpr int kCsidlCommonDesktopDirectory = 0x0019;
inline constexpr int kCsidlAppData = 0x001A;
inline constexpr int kCsidlPrintHood = 0x001B;
inline constexpr int kCsidlLocalAppData = 0x001C;
inline constexpr int kCsidlAltStartup = 0x001D;
inline constexpr int kCsidlCommonAltStartup = 0x001E;
inline constexpr int kCsidlCommonFavorites = 0x001F;
inline constexpr int kCsidlCommonAppData = 0x0023;
inline constexpr int kCsidlWindows = 0x0024;
inline constexpr int kCsidlSystem = 0x0025;
inline constexpr int kCsidlProgramFiles = 0x0026;
inline constexpr int kCsidlProfile = 0x0028;
inline constexpr int kCsidlProgramFilesCommon = 0x002B;
inline constexpr int kCsidlCommonTemplates = 0x002D;
inline constexpr int kCsidlCommonDocuments = 0x002E;
inline constexpr int kCsidlCommonMusic = 0x0035;
inline constexpr int kCsidlCommonVideo = 0x0037;
inline constexpr int kCsidlProfiles = 0x003E;

// The shell-link object (IShellLinkW + IPersistFile) for one link; created per operation.
// Getters take the caller's buffer size in characters (UTF-16 units, the terminating NUL
// included) and cut the text to fit as Windows does; on failure the out values stay untouched.
class IShellLink {
 public:
  virtual ~IShellLink() = default;

  [[nodiscard]] virtual HResult Load(std::string_view linkFile) = 0;  // IPersistFile::Load, mode 0
  [[nodiscard]] virtual HResult Save(std::string_view linkFile) = 0;  // IPersistFile::Save, remember
  // GetPath without flags: the stored path, not resolved.
  [[nodiscard]] virtual HResult GetPath(std::string* path, int maxChars) = 0;
  [[nodiscard]] virtual HResult GetArguments(std::string* arguments, int maxChars) = 0;
  [[nodiscard]] virtual HResult GetDescription(std::string* description, int maxChars) = 0;
  [[nodiscard]] virtual HResult GetWorkingDirectory(std::string* folder, int maxChars) = 0;
  [[nodiscard]] virtual HResult GetIconLocation(std::string* iconFile, int maxChars,
                                                int* iconIndex) = 0;
  [[nodiscard]] virtual HResult SetPath(std::string_view path) = 0;
  [[nodiscard]] virtual HResult SetArguments(std::string_view arguments) = 0;
  [[nodiscard]] virtual HResult SetDescription(std::string_view description) = 0;
  [[nodiscard]] virtual HResult SetWorkingDirectory(std::string_view folder) = 0;
  [[nodiscard]] virtual HResult SetIconLocation(std::string_view iconFile, int iconIndex) = 0;
};

class IShell {
 public:
  virtual ~IShell() = default;

  // SHGetSpecialFolderLocation + SHGetPathFromIDList for one CSIDL of the running account.
  // kErrorFileNotFound, with `path` untouched, for a folder without a file-system path.
  [[nodiscard]] virtual Status GetSpecialFolderPath(int csidl, std::string* path) = 0;
  // CoCreateInstance(CLSID_ShellLink); null when the object cannot be created.
  [[nodiscard]] virtual std::unique_ptr<IShellLink> CreateShellLink() = 0;
  // ShellExecute: asks the shell to carry out `operation` ("open") on `file` with
  // `parameters`, in `directory` (empty: none), showing the window with `showCommand`. Returns
  // at once; kErrorSuccess when the shell accepted the request (ShellExecute gave more than 32),
  // otherwise the error it reported. The default refuses, so that test doubles need not
  // implement it; both real adapters do.
  [[nodiscard]] virtual Status ShellExecute(HWnd owner, std::string_view operation,
                                            std::string_view file, std::string_view parameters,
                                            std::string_view directory, int showCommand) {
    (void)owner;
    (void)operation;
    (void)file;
    (void)parameters;
    (void)directory;
    (void)showCommand;
    return kErrorCallNotImplemented;
  }

  // SHFileOperation. `from` and `to` are the shell's lists: paths each followed by a NUL, the
  // list ended by one more NUL. Returns the shell's result (0 when every item went through);
  // `anyAborted` (may be null) receives fAnyOperationsAborted. The default refuses, so that
  // test doubles need not implement it.
  [[nodiscard]] virtual int SHFileOperation(HWnd owner, std::uint32_t operation,
                                            std::string_view from, std::string_view to,
                                            std::uint16_t flags, bool* anyAborted) {
    (void)owner;
    (void)operation;
    (void)from;
    (void)to;
    (void)flags;
    (void)anyAborted;
    return kErrorCallNotImplemented;
  }
};

// ShowWindow commands.
inline constexpr int kSwShow = 5;
// SHFileOperation operations and flags.
inline constexpr std::uint32_t kFoCopy = 0x0002;
inline constexpr std::uint16_t kFofMultiDestFiles = 0x0001;
inline constexpr std::uint16_t kFofSilent = 0x0004;
inline constexpr std::uint16_t kFofNoConfirmation = 0x0010;
inline constexpr std::uint16_t kFofAllowUndo = 0x0040;
inline constexpr std::uint16_t kFofNoConfirmMkdir = 0x0200;
inline constexpr std::uint16_t kFofNoErrorUi = 0x0400;

}  // namespace ombrant::port
