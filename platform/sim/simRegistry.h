// The simulated registry: hives, 32/64-bit views, loadable user hives, per-key access limits.
//
// Behaviour follows Windows where a program can see it. The choices made where Windows has no
// answer to copy:
// - HKEY_CLASSES_ROOT is HKLM\SOFTWARE\Classes, in every view (no per-user merge, no redirection);
// - HKEY_CURRENT_CONFIG is HKLM\SYSTEM\CurrentControlSet\Hardware Profiles\Current (2 while that
//   key does not exist); HKEY_DYN_DATA does not exist on NT (2); HKEY_PERFORMANCE_DATA is no key
//   tree (6);
// - the 32-bit view on a 64-bit machine redirects all of HKLM\SOFTWARE to Wow6432Node, and only
//   on a walk that passes from the HKLM root into SOFTWARE; a handle to a physical key continues
//   from that key. "SOFTWARE\Wow6432Node" in the 32-bit view is Wow6432Node itself;
// - no key can be created directly below HKEY_USERS (5): hives get there by LoadUserHive.
// Access, as Windows checks it: opening compares the rights asked for with those the key grants
// (LimitAccess); each call then needs its right on the handle (RegQueryInfoKey too needs
// KEY_QUERY_VALUE). Creating a sub-key needs KEY_CREATE_SUB_KEY granted on the parent key; the
// rights of the handle it is created through do not matter, and neither do they for RegOpenKeyEx.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/port/kvrPortRegistry.h"

namespace ombrant::sim {

struct SimValue {
  std::string name;  // as written, case kept
  std::uint32_t type = port::kRegNone;
  std::vector<std::uint8_t> data;  // raw bytes; string types are UTF-16LE with their NUL

  bool operator==(const SimValue&) const = default;
};

struct SimKeyNode;  // one key of a tree (internal)

// Longest key name (UTF-16 units) and deepest key Windows allows.
inline constexpr std::size_t kMaxKeyNameLength = 255;
inline constexpr std::size_t kMaxKeyDepth = 512;
inline constexpr std::size_t kMaxValueNameLength = 16383;

// One tree of keys: HKLM, or one account's own hive. Paths here are relative to the hive's root,
// backslash separated, case-insensitive; "" is the root. No view redirection applies.
class SimHive {
 public:
  SimHive();
  ~SimHive();
  SimHive(const SimHive&) = delete;
  SimHive& operator=(const SimHive&) = delete;

  // Creates missing keys on the way. Throws std::invalid_argument for a name longer than
  // kMaxKeyNameLength or a path deeper than kMaxKeyDepth.
  void AddKey(std::string_view path);
  [[nodiscard]] bool HasKey(std::string_view path) const;
  // Removes the key and everything below it (open handles to them then see 1018); "" empties
  // the hive. A missing key is no error.
  void DeleteTree(std::string_view path);
  // Creates the key when missing; replaces an existing value in place, keeping its name's case.
  void SetValue(std::string_view keyPath, std::string_view name, std::uint32_t type,
                std::vector<std::uint8_t> data);
  // False when the key or value does not exist.
  bool DeleteValue(std::string_view keyPath, std::string_view name);
  [[nodiscard]] std::optional<SimValue> GetValue(std::string_view keyPath,
                                                 std::string_view name) const;
  // Names in enumeration order (case-insensitive alphabetical); empty for a missing key.
  [[nodiscard]] std::vector<std::string> SubKeyNames(std::string_view path) const;
  // Values in enumeration order (the order they were first created); empty for a missing key.
  [[nodiscard]] std::vector<SimValue> Values(std::string_view path) const;
  // The rights the running account is granted on one existing key (not inherited).
  // Returns false when the key does not exist.
  bool LimitAccess(std::string_view path, std::uint32_t grantedAccess);

 private:
  friend class SimRegistry;
  std::shared_ptr<SimKeyNode> root_;
};

class SimRegistry final : public port::IRegistry {
 public:
  // A 64-bit machine redirects HKLM\SOFTWARE to HKLM\SOFTWARE\Wow6432Node in the 32-bit view.
  explicit SimRegistry(bool is64BitWindows);
  ~SimRegistry() override;
  SimRegistry(const SimRegistry&) = delete;
  SimRegistry& operator=(const SimRegistry&) = delete;

  // --- builders and inspection for tests and the machine loader ---
  // Paths are physical, as a .reg file writes them on this machine, with a long root name:
  // "HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\X", "HKEY_CURRENT_USER\Software\X",
  // "HKEY_USERS\S-1-5-21-...\Software\X". Missing keys on the way are created. The short
  // names HKLM, HKCU, HKU and HKEY_CLASSES_ROOT/HKCR (HKLM\SOFTWARE\Classes) work as well.
  // Builders throw std::invalid_argument for a root they do not know or a hive not loaded.
  void AddKey(std::string_view path);
  void SetValue(std::string_view keyPath, std::string_view name, std::uint32_t type,
                std::vector<std::uint8_t> data);
  void SetString(std::string_view keyPath, std::string_view name, std::string_view utf8,
                 std::uint32_t type = port::kRegSz);
  void SetDword(std::string_view keyPath, std::string_view name, std::uint32_t value);
  void SetMultiString(std::string_view keyPath, std::string_view name,
                      const std::vector<std::string>& strings);
  [[nodiscard]] std::optional<SimValue> GetValue(std::string_view keyPath,
                                                 std::string_view name) const;
  [[nodiscard]] bool HasKey(std::string_view path) const;
  void DeleteTree(std::string_view path);
  // The rights the running account is granted on one key (not inherited by sub-keys);
  // by default every right.
  void LimitAccess(std::string_view keyPath, std::uint32_t grantedAccess);
  // Setting or deleting values of that key (physical path, as for the builders; the key need
  // not exist yet) fails with access denied, whatever the handle's rights.
  void RefuseValueWrites(std::string_view keyPath);

  // The hive a physical path lies in and the path below that hive's root ("" for the root);
  // null for an unknown root or a hive that is not loaded.
  [[nodiscard]] std::shared_ptr<SimHive> ResolveHivePath(std::string_view path,
                                                         std::string* pathInHive) const;
  [[nodiscard]] SimHive& MachineHive();
  [[nodiscard]] const SimHive& MachineHive() const;

  // --- account hives ---
  [[nodiscard]] std::shared_ptr<SimHive> NewHive();
  // The hive HKEY_CURRENT_USER shows (the running account's). A null hive gives a fresh one.
  void SetCurrentUserHive(std::shared_ptr<SimHive> hive);
  [[nodiscard]] std::shared_ptr<SimHive> CurrentUserHive() const;
  // Mounts a hive as HKEY_USERS\<sid> and opens its root; the handle works as a root key.
  // Loading the hive already mounted under that SID opens it again; another hive under a SID
  // in use gives 183 (already exists); an empty SID or one with "\" gives 87.
  [[nodiscard]] port::Status LoadUserHive(std::string_view sid, std::shared_ptr<SimHive> hive,
                                          port::HKey* root);
  // Open handles into the hive stay usable, as the keys stay alive while referenced.
  void UnloadUserHive(std::string_view sid);
  [[nodiscard]] std::shared_ptr<SimHive> UserHive(std::string_view sid) const;

  [[nodiscard]] bool Is64BitWindows() const;
  // Handles opened and not yet closed (tests check that nothing leaks).
  [[nodiscard]] std::size_t OpenHandleCount() const;

  // --- port::IRegistry ---
  port::Status RegOpenKeyEx(port::HKey key, std::string_view subKey, std::uint32_t access,
                            port::HKey* result) override;
  port::Status RegCreateKeyEx(port::HKey key, std::string_view subKey, std::uint32_t access,
                              port::HKey* result, bool* created) override;
  port::Status RegCloseKey(port::HKey key) override;
  port::Status RegQueryValueEx(port::HKey key, std::string_view valueName, std::uint32_t* type,
                               std::uint8_t* data, std::uint32_t* size) override;
  port::Status RegSetValueEx(port::HKey key, std::string_view valueName, std::uint32_t type,
                             const std::uint8_t* data, std::uint32_t size) override;
  port::Status RegQueryInfoKey(port::HKey key, port::RegKeyInfo* info) override;
  port::Status RegEnumKeyEx(port::HKey key, std::uint32_t index, std::string* name) override;
  port::Status RegEnumValue(port::HKey key, std::uint32_t index, std::string* name) override;
  port::Status RegDeleteValue(port::HKey key, std::string_view valueName) override;
  port::Status RegDeleteKeyEx(port::HKey key, std::string_view subKey,
                              std::uint32_t access) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace ombrant::sim
