#include "platform/kvrFilesPathsWinAPI.h"

#include <exception>

#include "platform/kvrRegHives.h"

namespace ombrant {
namespace {

constexpr std::string_view kShellFoldersKey =
    "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\";

// The shell's answer alone; any failure is empty text.
std::string ShellFolder(const port::Port& port, std::int32_t folderId) {
  try {
    std::string path;
    if (port.shell.GetSpecialFolderPath(folderId, &path) != port::kErrorSuccess) return {};
    return path;
  } catch (const std::exception&) {
    return {};
  }
}

std::string RegistryFallback(const port::Port& port, port::HKey root, std::string_view keyPath,
                             std::string_view valueName, TTextForm form) {
  std::string value;
  ReadRegistryText(port.registry, root, keyPath, valueName, 32, form, value);
  return value;
}

}  // namespace

bool ReadRegistryText(port::IRegistry& registry, port::HKey root, std::string_view keyPath,
                      std::string_view valueName, int view, TTextForm form, std::string& value) {
  try {
    return form == TTextForm::Narrow
               ? ReadRegistryString(registry, root, keyPath, valueName, view, value)
               : ReadRegistryWideString(registry, root, keyPath, valueName, view, value);
  } catch (const std::exception&) {
    return false;
  }
}

std::string GetWindowsFolder(const port::Port& port) {
  std::string path;
  return port.files.GetWindowsDirectory(&path) == port::kErrorSuccess ? path : std::string();
}

std::string GetSystemFolder(const port::Port& port) {
  std::string path;
  return port.files.GetSystemDirectory(&path) == port::kErrorSuccess ? path : std::string();
}

std::string GetSpecialFolderPath(const port::Port& port, std::int32_t folderId, TTextForm form) {
  std::string path = ShellFolder(port, folderId);
  if (!path.empty()) return path;

  const std::string currentVersionKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
  switch (folderId) {
    case CSIDL_FAVORITES:
      return RegistryFallback(port, port::kHKeyCurrentUser, kShellFoldersKey, "Favorites", form);
    case CSIDL_TEMPLATES:
      return RegistryFallback(port, port::kHKeyCurrentUser, kShellFoldersKey, "Templates", form);
    case CSIDL_COMMON_FAVORITES:
      return RegistryFallback(port, port::kHKeyLocalMachine, kShellFoldersKey,
                              "Common Favorites", form);
    case CSIDL_COMMON_APPDATA:
      return ShellFolder(port, CSIDL_APPDATA);
    case CSIDL_WINDOWS:
      return GetWindowsFolder(port);
    case CSIDL_SYSTEM:
      return GetSystemFolder(port);
    case CSIDL_PROGRAM_FILES:
      return RegistryFallback(port, port::kHKeyLocalMachine, currentVersionKey, "ProgramFilesDir",
                              form);
    case CSIDL_COMMON_TEMPLATES:
      return RegistryFallback(port, port::kHKeyLocalMachine, kShellFoldersKey,
                              "Common Templates", form);
    case CSIDL_COMMON_DOCUMENTS:
      return RegistryFallback(port, port::kHKeyLocalMachine, kShellFoldersKey,
                              "Common Documents", form);
    default:
      return {};
  }
}

}  // namespace ombrant
