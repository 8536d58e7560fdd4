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

const std::string& TShellFolderCache::Get(const port::Port& port, std::int32_t folderId) {
  auto found = folders_.find(folderId);
  if (found == folders_.end()) {
    found = folders_.emplace(folderId, ShellFolder(port, folderId)).first;
  }
  return found->second;
}

std::string GetSpecialFolderPath(const port::Port& port, std::int32_t folderId, TTextForm form,
                                 TShellFolderCache* cache) {
  const auto shellFolder = [&](std::int32_t id) {
    return cache ? cache->Get(port, id) : ShellFolder(port, id);
  };
  std::string path = shellFolder(folderId);
  if (!path.empty()) return path;

  const std::string currentVersionKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
  switch (folderId) {
    case port::kCsidlFavorites:
      return RegistryFallback(port, port::kHKeyCurrentUser, kShellFoldersKey, "Favorites", form);
    case port::kCsidlTemplates:
      return RegistryFallback(port, port::kHKeyCurrentUser, kShellFoldersKey, "Templates", form);
    case port::kCsidlCommonFavorites:
      return RegistryFallback(port, port::kHKeyLocalMachine, kShellFoldersKey, "Common Favorites",
                              form);
    case port::kCsidlCommonAppData:
      return shellFolder(port::kCsidlAppData);
    case port::kCsidlWindows:
      return GetWindowsFolder(port);
    case port::kCsidlSystem:
      return GetSystemFolder(port);
    case port::kCsidlProgramFiles:
      return RegistryFallback(port, port::kHKeyLocalMachine, currentVersionKey, "ProgramFilesDir",
                              form);
    case port::kCsidlCommonTemplates:
      return RegistryFallback(port, port::kHKeyLocalMachine, kShellFoldersKey, "Common Templates",
                              form);
    case port::kCsidlCommonDocuments:
      return RegistryFallback(port, port::kHKeyLocalMachine, kShellFoldersKey, "Common Documents",
                              form);
    default:
      return {};
  }
}

}  // namespace ombrant
