// The shell's special folders of the running account, with the fallbacks older systems need.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "platform/port/kvrPort.h"

namespace ombrant {

// Which registry string types a read accepts: the narrow (ANSI) reads take REG_SZ,
// REG_EXPAND_SZ (unexpanded) and REG_MULTI_SZ (strings joined by CR LF); the wide reads take
// REG_SZ only. The text is UTF-8 either way.
enum class TTextForm { Narrow, Wide };

// One string value of a key below `root`, read-only, in view 32 or 64. False, with `value`
// untouched, when the key or the value is missing or of a type the form does not take.
bool ReadRegistryText(port::IRegistry& registry, port::HKey root, std::string_view keyPath,
                      std::string_view valueName, int view, TTextForm form, std::string& value);

// The shell's answers for the special folders asked so far. For callers that ask for the same
// folders several times in one go: under Wine each answer costs the shell a registry and file
// system walk.
class TShellFolderCache {
 public:
  [[nodiscard]] const std::string& Get(const port::Port& port, std::int32_t folderId);

 private:
  std::map<std::int32_t, std::string> folders_;
};

// The folder of a CSIDL as the shell reports it; when the shell has none, the id's fallback
// (a Shell Folders value of the 32-bit registry view, the Windows or system directory, ...).
// Empty text when neither gives a path. The forms differ only in the registry fallbacks. With
// `cache`, the shell is asked through it.
[[nodiscard]] std::string GetSpecialFolderPath(const port::Port& port, std::int32_t folderId,
                                               TTextForm form = TTextForm::Narrow,
                                               TShellFolderCache* cache = nullptr);
[[nodiscard]] inline std::string GetSpecialFolderPathW(const port::Port& port,
                                                       std::int32_t folderId) {
  return GetSpecialFolderPath(port, folderId, TTextForm::Wide);
}

// GetWindowsDirectory / GetSystemDirectory; empty text when the call fails.
[[nodiscard]] std::string GetWindowsFolder(const port::Port& port);
[[nodiscard]] std::string GetSystemFolder(const port::Port& port);

}  // namespace ombrant
