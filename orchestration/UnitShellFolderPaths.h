// Path templates resolved from the shell's special folders of the running account. Covers the
// variables the account and shortcut operations use; tokens it does not know pass through
// unchanged and a folder the shell cannot name resolves to empty text, as with the full path
// variable resolver, which takes its place once the program wires that in.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/port/kvrPort.h"

namespace ombrant {

using TPathResolver = std::function<std::string(std::string_view pathTemplate)>;

// DESKTOP, COMMONDESKTOP, PROGRAMS, COMMONPROGRAMS, STARTMENU, COMMONSTARTMENU, APPDATA,
// COMMONAPPDATA, QUICKLAUNCH and COMMONQUICKLAUNCH, asked of the shell at each resolution.
[[nodiscard]] TPathResolver ShellFolderPathResolver(port::Port& port);

}  // namespace ombrant
