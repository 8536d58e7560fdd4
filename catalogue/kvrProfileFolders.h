// Where accounts' profiles really are: the ProfileList entries Windows keeps for every profile
// it made, and the default profile a new profile is copied from.
#pragma once

#include <string>
#include <string_view>

#include "platform/port/kvrPort.h"

namespace ombrant {

inline constexpr std::string_view kProfileListKey =
    R"(\SOFTWARE\Microsoft\Windows NT\CurrentVersion\ProfileList\)";

// The profile folder of the local account `userName` (ProfileImagePath of its SID, expanded),
// without a trailing backslash; empty when the account or its profile does not exist. Windows
// names a profile "NAME.COMPUTER" when "NAME" was taken, so the folder need not match the name.
[[nodiscard]] std::string ProfileFolderOfAccount(const port::Port& port, std::string_view userName);

// The default profile's folder (ProfileList "Default" from Vista on, "ProfilesDirectory" +
// "DefaultUserProfile" before), without a trailing backslash; empty when the machine names none.
[[nodiscard]] std::string DefaultProfileFolder(const port::Port& port);

// True when `folder`, a folder inside the profile `profileFolder`, holds exactly what the same
// folder of the default profile holds (the same files by name, byte for byte, and nothing
// else): Windows put it there when it made the profile, so it holds none of the account's own
// data. False when the default profile has no such folder, or on any read failure.
[[nodiscard]] bool HoldsOnlyDefaultProfileContent(const port::Port& port,
                                                  std::string_view profileFolder,
                                                  std::string_view folder);

}  // namespace ombrant
