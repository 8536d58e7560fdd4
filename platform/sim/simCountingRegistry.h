// A registry that passes every call on to another and counts them: for tests and benchmarks
// that check how often a piece of code asks the registry.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/port/kvrPortRegistry.h"
#include "platform/vqStrings.h"

namespace ombrant::sim {

class SimCountingRegistry final : public port::IRegistry {
 public:
  explicit SimCountingRegistry(port::IRegistry& inner) : inner_(inner) {}

  // Every call; and the opens of the watched key path (as the caller gives it, letter case
  // ignored).
  [[nodiscard]] std::size_t Calls() const { return calls_; }
  [[nodiscard]] std::size_t WatchedOpens() const { return watchedOpens_; }
  void Watch(std::string_view subKey) { watched_ = subKey; }
  void Reset() { calls_ = watchedOpens_ = 0; }

  port::Status RegOpenKeyEx(port::HKey key, std::string_view subKey, std::uint32_t access,
                            port::HKey* result) override {
    ++calls_;
    if (!watched_.empty() && SameText(subKey, watched_)) ++watchedOpens_;
    return inner_.RegOpenKeyEx(key, subKey, access, result);
  }
  port::Status RegCreateKeyEx(port::HKey key, std::string_view subKey, std::uint32_t access,
                              port::HKey* result, bool* created) override {
    ++calls_;
    if (!watched_.empty() && SameText(subKey, watched_)) ++watchedOpens_;
    return inner_.RegCreateKeyEx(key, subKey, access, result, created);
  }
  port::Status RegCloseKey(port::HKey key) override {
    ++calls_;
    return inner_.RegCloseKey(key);
  }
  port::Status RegQueryValueEx(port::HKey key, std::string_view valueName, std::uint32_t* type,
                               std::uint8_t* data, std::uint32_t* size) override {
    ++calls_;
    return inner_.RegQueryValueEx(key, valueName, type, data, size);
  }
  port::Status RegSetValueEx(port::HKey key, std::string_view valueName, std::uint32_t type,
                             const std::uint8_t* data, std::uint32_t size) override {
    ++calls_;
    return inner_.RegSetValueEx(key, valueName, type, data, size);
  }
  port::Status RegQueryInfoKey(port::HKey key, port::RegKeyInfo* info) override {
    ++calls_;
    return inner_.RegQueryInfoKey(key, info);
  }
  port::Status RegEnumKeyEx(port::HKey key, std::uint32_t index, std::string* name) override {
    ++calls_;
    return inner_.RegEnumKeyEx(key, index, name);
  }
  port::Status RegEnumValue(port::HKey key, std::uint32_t index, std::string* name) override {
    ++calls_;
    return inner_.RegEnumValue(key, index, name);
  }
  port::Status RegDeleteValue(port::HKey key, std::string_view valueName) override {
    ++calls_;
    return inner_.RegDeleteValue(key, valueName);
  }
  port::Status RegDeleteKeyEx(port::HKey key, std::string_view subKey,
                              std::uint32_t access) override {
    ++calls_;
    return inner_.RegDeleteKeyEx(key, subKey, access);
  }
  port::Status RegGetValues(port::HKey key, std::string_view subKey, std::uint32_t access,
                            std::span<const std::string_view> names,
                            std::vector<port::RegValueData>* values) override {
    ++calls_;
    if (!watched_.empty() && SameText(subKey, watched_)) ++watchedOpens_;
    return inner_.RegGetValues(key, subKey, access, names, values);
  }

 private:
  port::IRegistry& inner_;
  std::string watched_;
  std::size_t calls_ = 0;
  std::size_t watchedOpens_ = 0;
};

}  // namespace ombrant::sim
