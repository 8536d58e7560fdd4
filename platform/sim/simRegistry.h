// The simulated registry: hives, 32/64-bit views, loadable user hives, per-key access limits.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/port/kvrPortRegistry.h"

namespace ombrant::sim {

// One tree of keys: HKLM, or one account's own hive.
class SimHive;

struct SimValue {
  std::string name;  // as written, case kept
  std::uint32_t type = port::kRegNone;
  std::vector<std::uint8_t> data;  // raw bytes; string types are UTF-16LE with their NUL
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
  // "HKEY_USERS\S-1-5-21-...\Software\X". Missing keys on the way are created.
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

  // --- account hives ---
  [[nodiscard]] std::shared_ptr<SimHive> NewHive();
  // The hive HKEY_CURRENT_USER shows (the running account's).
  void SetCurrentUserHive(std::shared_ptr<SimHive> hive);
  [[nodiscard]] std::shared_ptr<SimHive> CurrentUserHive() const;
  // Mounts a hive as HKEY_USERS\<sid> and opens its root; the handle works as a root key.
  [[nodiscard]] port::Status LoadUserHive(std::string_view sid, std::shared_ptr<SimHive> hive,
                                          port::HKey* root);
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
