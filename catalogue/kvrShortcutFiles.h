// Reading and writing shortcut files (.lnk) through the shell-link object. Nothing else in the
// program touches shortcut files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/port/kvrPort.h"

namespace ombrant {

// The longest target or argument text read back, in characters.
inline constexpr int kShortcutTextMax = 510;

// The target path stored in `linkFile` (not resolved). A link that cannot be read (missing,
// not a link, an impossible name) leaves `target` untouched; the result tells which happened.
bool ReadShortcutTarget(port::Port& port, std::string_view linkFile, std::string& target);

// As above, with the link's arguments; on failure neither out value changes.
bool ReadShortcutTargetAndArguments(port::Port& port, std::string_view linkFile,
                                    std::string& target, std::string& arguments);

// Target and arguments from one load of the link. False, with nothing changed, when the target
// cannot be read; `arguments` is nothing when only they cannot be read.
bool ReadShortcutLink(port::Port& port, std::string_view linkFile, std::string& target,
                      std::optional<std::string>& arguments);

// Creates or replaces `linkFile`. The working folder is the target's folder (empty for a bare
// name such as "runas"); an empty icon file, description or arguments leaves that property
// unset. A link that cannot be saved is reported to the user with a message box only; callers
// test for the file afterwards.
void WriteShortcut(port::Port& port, std::string_view linkFile, std::string_view target,
                   std::string_view iconFile, std::string_view description,
                   std::string_view arguments, std::int32_t iconIndex);

// `name` made fit to be one file name in one folder: names come from the registry, where any
// program can write them, and must not lead a shortcut elsewhere. Every character Windows
// refuses in a file name (control characters, < > : " / \\ | ? *) becomes "_", runs of dots
// become one dot, leading and trailing blanks and dots go, a device name (CON, NUL, COM1...)
// gets a "_" in front, and an empty name becomes "_".
[[nodiscard]] std::string SafeFileName(std::string_view name);

}  // namespace ombrant
