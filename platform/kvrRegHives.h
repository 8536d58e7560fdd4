// One-shot registry value functions, hive names and value paths.
//
// Each function opens one key through its own TMyRegistry, reads or writes one value and
// closes the key again. A missing key or value is never an error: the Boolean result says
// whether the operation happened. Out-parameters are untouched when the result is false.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/port/kvrPortRegistry.h"
#include "platform/vqStringList.h"

namespace ombrant {

// `kind` REG_SZ, REG_EXPAND_SZ or REG_MULTI_SZ (text with CR LF between the strings); the key
// is created when missing. False for another kind (nothing is created then), when the key
// cannot be opened or created, or when the value cannot be written. `view` 32 or 64;
// another view throws ERegistryException, as TMyRegistry::SetView does.
bool WriteRegistryValue(port::IRegistry& registry, port::HKey root, std::string_view keyPath,
                        std::string_view valueName, int view, std::uint32_t kind,
                        std::string_view text);
bool WriteRegistryString(port::IRegistry& registry, port::HKey root, std::string_view keyPath,
                         std::string_view valueName, int view, std::string_view text);
// The list's lines as one REG_MULTI_SZ value, in the 32-bit view; an empty list is one NUL.
bool WriteRegistryStringList(port::IRegistry& registry, port::HKey root,
                             std::string_view keyPath, std::string_view valueName,
                             const TStringList& list);
// Only a REG_MULTI_SZ value counts: its strings replace the list's lines through SetText (so a
// sorted list stays sorted and applies its duplicates rule). 32-bit view.
bool ReadRegistryStringList(port::IRegistry& registry, port::HKey root, std::string_view keyPath,
                            std::string_view valueName, TStringList& list);
// REG_SZ and REG_EXPAND_SZ as stored (not expanded), REG_MULTI_SZ as its strings each followed
// by CR LF.
bool ReadRegistryString(port::IRegistry& registry, port::HKey root, std::string_view keyPath,
                        std::string_view valueName, int view, std::string& text);
// Only REG_SZ.
bool ReadRegistryWideString(port::IRegistry& registry, port::HKey root, std::string_view keyPath,
                            std::string_view valueName, int view, std::string& text);
// A REG_DWORD; the key is created when missing.
bool WriteRegistryInteger(port::IRegistry& registry, port::HKey root, std::string_view keyPath,
                          std::string_view valueName, int view, std::uint32_t value);
// The list is cleared and receives the sub-key names; a key that does not open (with full
// access) leaves it empty and still gives true. False, with the list cleared, if anything
// raised.
bool GetRegistrySubKeyNames(port::IRegistry& registry, port::HKey root, std::string_view keyPath,
                            TStringList& list, bool use64BitView);
// `viewSelector` 0: the 32-bit view, 1: the 64-bit view, anything else: the default (32-bit).
bool RegistryKeyExists(port::IRegistry& registry, port::HKey root, std::string_view keyPath,
                       int viewSelector);

// "HKEY_CURRENT_USER\Software\A\B" -> HKEY_CURRENT_USER, "\Software\A\", "B". A path ending in
// "\" names the key's default value (empty name). False without a "\" or for an unknown hive.
bool SplitRegistryValuePath(std::string_view valuePath, port::HKey& root, std::string& keyPath,
                            std::string& valueName);
// The long and the four-letter hive names, exact case ("HKUS" for HKEY_USERS); 0 otherwise.
[[nodiscard]] port::HKey HiveFromName(std::string_view name);

}  // namespace ombrant
