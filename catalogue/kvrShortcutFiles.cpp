#include "catalogue/kvrShortcutFiles.h"

#include <array>
#include <memory>

namespace ombrant {
namespace {

// Buffer size in characters for the texts read back: the text and its terminating NUL.
constexpr int kShortcutBuffer = kShortcutTextMax + 1;

// Loads a link into a new shell-link object; null when the object or the load fails.
std::unique_ptr<port::IShellLink> LoadLink(port::Port& port, std::string_view linkFile) {
  std::unique_ptr<port::IShellLink> link = port.shell.CreateShellLink();
  if (!link || !port::Succeeded(link->Load(linkFile))) return nullptr;
  return link;
}

}  // namespace

bool ReadShortcutTarget(port::Port& port, std::string_view linkFile, std::string& target) {
  try {
    std::unique_ptr<port::IShellLink> link = LoadLink(port, linkFile);
    if (!link) return false;
    std::string path;
    if (!port::Succeeded(link->GetPath(&path, kShortcutBuffer))) return false;
    target = std::move(path);
    return true;
  } catch (...) {
    // Reading a shortcut never fails the caller: the target stays as it was.
    return false;
  }
}

bool ReadShortcutTargetAndArguments(port::Port& port, std::string_view linkFile,
                                    std::string& target, std::string& arguments) {
  try {
    std::unique_ptr<port::IShellLink> link = LoadLink(port, linkFile);
    if (!link) return false;
    std::string path;
    std::string args;
    if (!port::Succeeded(link->GetPath(&path, kShortcutBuffer)) ||
        !port::Succeeded(link->GetArguments(&args, kShortcutBuffer))) {
      return false;
    }
    target = std::move(path);
    arguments = std::move(args);
    return true;
  } catch (...) {
    return false;
  }
}

bool ReadShortcutLink(port::Port& port, std::string_view linkFile, std::string& target,
                      std::optional<std::string>& arguments) {
  try {
    std::unique_ptr<port::IShellLink> link = LoadLink(port, linkFile);
    if (!link) return false;
    std::string path;
    if (!port::Succeeded(link->GetPath(&path, kShortcutBuffer))) return false;
    std::string args;
    const bool argumentsRead = port::Succeeded(link->GetArguments(&args, kShortcutBuffer));
    target = std::move(path);
    arguments = argumentsRead ? std::optional<std::string>(std::move(args)) : std::nullopt;
    return true;
  } catch (...) {
    return false;
  }
}

void WriteShortcut(port::Port& port, std::string_view linkFile, std::string_view target,
                   std::string_view iconFile, std::string_view description,
                   std::string_view arguments, std::int32_t iconIndex) {
  try {
    std::unique_ptr<port::IShellLink> link = port.shell.CreateShellLink();
    if (!link) return;
    // The setters only fill the object; whether the link is written is decided by Save.
    (void)link->SetPath(target);
    if (!iconFile.empty()) (void)link->SetIconLocation(iconFile, iconIndex);
    if (!description.empty()) (void)link->SetDescription(description);
    const std::size_t slash = target.rfind('\\');
    (void)link->SetWorkingDirectory(slash == std::string_view::npos ? std::string_view()
                                                                    : target.substr(0, slash + 1));
    if (!arguments.empty()) (void)link->SetArguments(arguments);
    if (!port::Succeeded(link->Save(linkFile))) {
      port.ui.MessageBox(0, "could not save the shortcut", "Setting link",
                         port::kMbOk | port::kMbTaskModal);
    }
  } catch (...) {
    // A failed shortcut must not end the replacement loop that asked for it.
  }
}

std::string SafeFileName(std::string_view name) {
  std::string safe;
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    const bool refused = byte < 0x20 || c == '<' || c == '>' || c == ':' || c == '"' ||
                         c == '/' || c == '\\' || c == '|' || c == '?' || c == '*';
    const char kept = refused ? '_' : c;
    // ".." is no folder step in one name, but nothing needs it there either.
    if (kept == '.' && !safe.empty() && safe.back() == '.') continue;
    safe += kept;
  }
  const std::size_t first = safe.find_first_not_of(" .");
  if (first == std::string::npos) return "_";
  safe = safe.substr(first, safe.find_last_not_of(" .") - first + 1);
  // Windows opens the device, not a file, for these names with any extension.
  static constexpr std::array<std::string_view, 22> kDevices = {
      "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
      "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
  std::string stem = safe.substr(0, safe.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& c : stem) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  for (std::string_view device : kDevices) {
    if (stem == device) return "_" + safe;
  }
  return safe;
}

}  // namespace ombrant
