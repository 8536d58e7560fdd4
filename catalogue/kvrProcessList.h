// The running programs of the machine, the test whether a program runs, and the wait that keeps
// the user from going on while it still runs.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/port/kvrPort.h"
#include "platform/vqStringList.h"

namespace ombrant {

// The warning shown while the program still runs; %s is its display name.
inline constexpr std::string_view kCloseProgramWarning =
    "You need to close %s before continuing. If you cancel now, Ombrant will not copy your "
    "settings over to your new profile.";
// The event only waited on, as a grace delay; the display name follows.
inline constexpr std::string_view kWaitEventPrefix = "OmbrantWaitFor";
// Listed for a process whose image path cannot be read; tagged -1.
inline constexpr std::string_view kUnreadableProcess = "[System]";

// Windows of the NT family, version 4 or later.
[[nodiscard]] bool IsWinNT(port::ISystem& system);

// Clears `list` and fills it with one line per process: the full image path tagged with the
// process id ("[System]" tagged -1 when the path cannot be read), or, from the tool-help snapshot
// (Windows 9x; a WOW64 process that does not want full paths), the executable name tagged with
// the id. The full-path listing runs with SeDebugPrivilege enabled where the account holds it;
// a process that still does not open is listed by its snapshot name. Every process is listed,
// however many there are. False when the enumeration failed.
bool GetProcessList(const port::Port& port, TStringList& list, bool fullPaths);

// Whether a process runs the program `executable`, under any account. Paths that differ only
// in letter case name the same file on Windows, so they match; a process known only by its
// executable's name matches by that name.
[[nodiscard]] bool IsProgramRunning(const port::Port& port, std::string_view executable);

// While the program runs: a grace delay of `delayMs` on the event "OmbrantWaitFor" +
// `displayName` (nothing signals it; it gives a program just closed time to end), then the
// warning with OK and Cancel until it is closed. True when it no longer runs, false when the user
// cancelled.
bool WaitUntilProgramClosed(const port::Port& port, std::string_view displayName,
                            std::string_view executable, std::uint32_t delayMs);

// "%s" in `pattern` replaced by `text` (the first occurrence only, as the messages have one).
[[nodiscard]] std::string FormatOne(std::string_view pattern, std::string_view text);

}  // namespace ombrant
