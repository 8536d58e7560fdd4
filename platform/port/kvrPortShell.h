// The shell area of the Windows port: special folders and the shell-link object.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/port/kvrPortTypes.h"

namespace ombrant::port {

// HRESULT values the shell-link object returns.
using HResult = std::int32_t;
inline constexpr HResult kSOk = 0;
inline constexpr HResult kEFail = static_cast<HResult>(0x80004005u);

// The shell-link object (IShellLinkW + IPersistFile) for one link; created per operation.
class IShellLink {
 public:
  virtual ~IShellLink() = default;

  [[nodiscard]] virtual HResult Load(std::string_view linkFile) = 0;  // IPersistFile::Load, mode 0
  [[nodiscard]] virtual HResult Save(std::string_view linkFile) = 0;  // IPersistFile::Save, remember
  // GetPath without flags (the stored path, not resolved) and GetArguments; `maxChars` is the
  // caller's buffer size in characters, the text is cut to fit as Windows does.
  [[nodiscard]] virtual HResult GetPath(std::string* path, int maxChars) = 0;
  [[nodiscard]] virtual HResult GetArguments(std::string* arguments, int maxChars) = 0;
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
  [[nodiscard]] virtual Status GetSpecialFolderPath(int csidl, std::string* path) = 0;
  // CoCreateInstance(CLSID_ShellLink); null when the object cannot be created.
  [[nodiscard]] virtual std::unique_ptr<IShellLink> CreateShellLink() = 0;
};

}  // namespace ombrant::port
