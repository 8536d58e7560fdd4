// Registry files (.reg) as regedit reads and writes them.
//
// Import reads "Windows Registry Editor Version 5.00" (UTF-16LE with a BOM, or UTF-8 with or
// without one) and "REGEDIT4" (8-bit, taken as UTF-8). The whole file is parsed before anything
// is applied: a file with an error imports nothing. Export writes version 5.00 in UTF-16LE with a
// BOM and CRLF line ends, as regedit does, except that a value regedit would write lossily (a
// REG_SZ that is not one well-formed NUL-terminated string, or that holds a line break) is
// written as hex(1) so that it reads back byte for byte.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "platform/sim/simFileError.h"
#include "platform/sim/simRegistry.h"

namespace ombrant::sim {

using RegFileError = SimFileError;

// Which roots a file may name.
enum class RegRoots {
  kAny,
  kMachine,      // HKEY_LOCAL_MACHINE and HKEY_CLASSES_ROOT (its SOFTWARE\Classes)
  kCurrentUser,  // HKEY_CURRENT_USER only
};

// Where an import goes. HKEY_LOCAL_MACHINE and HKEY_CLASSES_ROOT go to the registry's machine
// hive, HKEY_USERS\<sid> to a hive loaded there, HKEY_CURRENT_USER to `currentUser` (the
// registry's current user hive when null).
struct RegImportTarget {
  SimRegistry& registry;
  std::shared_ptr<SimHive> currentUser = nullptr;
  RegRoots roots = RegRoots::kAny;
};

[[nodiscard]] bool ImportRegText(std::string_view bytes, std::string_view fileName,
                                 const RegImportTarget& target, RegFileError* error);
[[nodiscard]] bool ImportRegFile(const std::filesystem::path& file, const RegImportTarget& target,
                                 RegFileError* error);

// The key `keyPath` of `hive` ("" for its root) and everything below it, with `rootName`
// ("HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER", ...) standing for the hive's root. Keys come in
// enumeration order, each followed by its values in their order. Returns the file's bytes.
[[nodiscard]] std::string ExportRegText(const SimHive& hive, std::string_view rootName,
                                        std::string_view keyPath = {});
[[nodiscard]] bool ExportRegFile(const std::filesystem::path& file, const SimHive& hive,
                                 std::string_view rootName, RegFileError* error);

}  // namespace ombrant::sim
