#include "catalogue/kvrShortcutFiles.h"

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

}  // namespace ombrant
