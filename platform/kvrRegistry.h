// TMyRegistry: one open registry key at a time, in the 32- or the 64-bit view of the registry.
//
// Names and text are UTF-8; string data are stored as UTF-16LE, as Windows keeps them.
// Key paths: a leading "\" starts from the root key, any other path is relative to the current
// key when one is open, else to the root key; a trailing "\" is allowed.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/port/kvrPortRegistry.h"
#include "platform/vqStringList.h"

namespace ombrant {

// Raised by SetView with a view other than 32 or 64 and by failed raw reads and writes.
class ERegistryException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Owns one open key; closes it when reset or destroyed. Predefined roots are never owned.
class TRegKey {
 public:
  TRegKey() = default;
  TRegKey(port::IRegistry& registry, port::HKey key) : registry_(&registry), key_(key) {}
  ~TRegKey() { Close(); }
  TRegKey(TRegKey&& other) noexcept;
  TRegKey& operator=(TRegKey&& other) noexcept;
  TRegKey(const TRegKey&) = delete;
  TRegKey& operator=(const TRegKey&) = delete;

  [[nodiscard]] port::HKey Get() const { return key_; }
  [[nodiscard]] bool Valid() const { return key_ != port::kNoKey; }
  void Close();

 private:
  port::IRegistry* registry_ = nullptr;
  port::HKey key_ = port::kNoKey;
};

// Type and size in bytes of a value.
struct TRegDataInfo {
  std::uint32_t type = port::kRegNone;
  std::uint32_t size = 0;
};

class TMyRegistry {
 public:
  // View 32, access KEY_ALL_ACCESS, root HKEY_CURRENT_USER, no key open.
  explicit TMyRegistry(port::IRegistry& registry);
  virtual ~TMyRegistry() = default;
  TMyRegistry(const TMyRegistry&) = delete;
  TMyRegistry& operator=(const TMyRegistry&) = delete;

  // 32 or 64; anything else throws "Windows Registry only supported with 32 or 64 bits!".
  // View 64 sets KEY_WOW64_64KEY in the access mask and clears KEY_WOW64_32KEY; view 32
  // clears KEY_WOW64_64KEY (a 32-bit program's own view needs no flag).
  virtual void SetView(int view);
  [[nodiscard]] int View() const { return view_; }

  [[nodiscard]] std::uint32_t Access() const { return access_; }
  void SetAccess(std::uint32_t access) { access_ = access; }

  [[nodiscard]] port::HKey RootKey() const { return rootKey_; }
  // Closes the current key when the root changes. The root is not owned.
  void SetRootKey(port::HKey root);

  [[nodiscard]] port::HKey CurrentKey() const { return currentKey_.Get(); }
  // Path of the current key below the root, without leading or trailing "\".
  [[nodiscard]] const std::string& CurrentPath() const { return currentPath_; }

  // Opens (or with `canCreate` creates) the key with the access mask and the view. On success
  // the previous current key is closed and replaced; on failure nothing changes.
  bool OpenKey(std::string_view path, bool canCreate);
  // Names are UTF-8 either way; kept for the callers that work on another user's loaded hive.
  bool OpenKeyW(std::string_view path, bool canCreate) { return OpenKey(path, canCreate); }
  // Never creates: tries KEY_READ, then 0x20009, then KEY_QUERY_VALUE, each with the view
  // flag. The object's access mask is not changed.
  bool OpenKeyReadOnly(std::string_view path);
  void CloseKey();
  // Whether the key opens for 0x20009 plus the view flag; the current key stays as it is.
  [[nodiscard]] bool KeyExists(std::string_view path);
  // Deletes the key with everything below it.
  bool DeleteKey(std::string_view path);

  // Clear the list, then add the names of the current key's sub-keys or values.
  void GetKeyNames(TStringList& list);
  void GetValueNames(TStringList& list);

  [[nodiscard]] bool ValueExists(std::string_view name);
  // -1 when the value cannot be queried.
  [[nodiscard]] int GetDataSize(std::string_view name);
  // False, with `info` untouched, when the value cannot be queried.
  bool GetDataInfo(std::string_view name, TRegDataInfo& info);

  // REG_SZ or REG_EXPAND_SZ as stored (never expanded); empty for a missing or empty value;
  // another type throws "Invalid data type for '%s'".
  [[nodiscard]] std::string ReadString(std::string_view name);
  // Like ReadString, but only a missing value reads as empty: an empty value of another
  // type throws as well.
  [[nodiscard]] std::string ReadWideString(std::string_view name);
  // A REG_MULTI_SZ as text, each string followed by CR LF; empty for a missing or empty value.
  [[nodiscard]] std::string ReadMultiSz(std::string_view name);
  // Only a 4-byte REG_DWORD; a missing value throws "Failed to get data for '%s'".
  [[nodiscard]] std::int32_t ReadInteger(std::string_view name);

  // Writes throw "Failed to set data for '%s'" when the registry refuses.
  void WriteString(std::string_view name, std::string_view value);
  void WriteExpandString(std::string_view name, std::string_view value);
  void WriteInteger(std::string_view name, std::int32_t value);
  // Each CR LF ends one string of the value.
  void WriteMultiSz(std::string_view name, std::string_view text);
  bool DeleteValue(std::string_view name);

  // Copies one value of the current key into the destination's current key, bytes unchanged.
  // Without `overwrite` a value the destination already has is kept. Never throws.
  void CopyValue(std::string_view name, TMyRegistry& destination, bool overwrite);
  // Copies every value and, with `withSubKeys`, every sub-key that opens with full access,
  // recursively. A sub-key that does not open so is skipped with all below it.
  void CopyKey(TMyRegistry& destination, bool withSubKeys, bool overwrite);

 private:
  // The access mask with the object's view applied.
  [[nodiscard]] std::uint32_t ViewedAccess() const;
  [[nodiscard]] std::uint32_t ViewFlag() const { return ViewedAccess() & port::kKeyWow64Res; }
  bool OpenWith(std::string_view path, bool canCreate, std::uint32_t access);
  // The key a path starts from: the current key for a relative path when one is open.
  [[nodiscard]] port::HKey BaseKey(bool relative) const;
  port::Status QueryRaw(std::string_view name, std::uint32_t& type,
                        std::vector<std::uint8_t>& data);
  void ReadRawOrThrow(std::string_view name, std::uint32_t& type,
                      std::vector<std::uint8_t>& data);
  void WriteRawOrThrow(std::string_view name, std::uint32_t type,
                       const std::vector<std::uint8_t>& data);

  port::IRegistry& registry_;
  port::HKey rootKey_ = port::kHKeyCurrentUser;
  TRegKey currentKey_;
  std::string currentPath_;
  std::uint32_t access_ = port::kKeyAllAccess;
  int view_ = 32;
};

// A value RegGetValues read, as ReadString would give it: empty for a missing or empty value,
// the text of a REG_SZ or REG_EXPAND_SZ, nothing where ReadString throws (another type).
[[nodiscard]] std::optional<std::string> StringOfValue(const port::RegValueData& value);

}  // namespace ombrant
