// Helpers for the registry tests: raw value bytes and a registry that refuses writes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "platform/port/kvrPortRegistry.h"
#include "platform/sim/simRegistry.h"
#include "platform/vqStrings.h"

namespace ombrant::test {

using Bytes = std::vector<std::uint8_t>;

// A literal with the NULs it holds: Chars("a\0b\0") has four characters.
template <std::size_t N>
std::string Chars(const char (&text)[N]) {
  return std::string(text, N - 1);
}

// UTF-16LE of `text` (which may hold NULs) without an added terminator.
inline Bytes Utf16(std::string_view text) {
  const std::string bytes = Utf8ToUtf16LeBytes(text);
  return Bytes(bytes.begin(), bytes.end());
}

// UTF-16LE of `text` followed by one NUL character, as Windows stores a REG_SZ.
inline Bytes Utf16Z(std::string_view text) {
  Bytes data = Utf16(text);
  data.push_back(0);
  data.push_back(0);
  return data;
}

// A fresh simulated registry per test; every test ends with no key handle left open.
template <bool k64BitWindows>
class SimRegistryTest : public testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(sim_.OpenHandleCount(), 0u) << "a registry key handle was not closed";
  }
  sim::SimRegistry sim_{k64BitWindows};
};

// Passes every call on, except that value writes can be made to fail as a full disk or a
// denied key would.
class FailingWritesRegistry final : public port::IRegistry {
 public:
  explicit FailingWritesRegistry(port::IRegistry& inner) : inner_(inner) {}
  bool failWrites = true;

  port::Status RegOpenKeyEx(port::HKey key, std::string_view subKey, std::uint32_t access,
                            port::HKey* result) override {
    return inner_.RegOpenKeyEx(key, subKey, access, result);
  }
  port::Status RegCreateKeyEx(port::HKey key, std::string_view subKey, std::uint32_t access,
                              port::HKey* result, bool* created) override {
    return inner_.RegCreateKeyEx(key, subKey, access, result, created);
  }
  port::Status RegCloseKey(port::HKey key) override { return inner_.RegCloseKey(key); }
  port::Status RegQueryValueEx(port::HKey key, std::string_view valueName, std::uint32_t* type,
                               std::uint8_t* data, std::uint32_t* size) override {
    return inner_.RegQueryValueEx(key, valueName, type, data, size);
  }
  port::Status RegSetValueEx(port::HKey key, std::string_view valueName, std::uint32_t type,
                             const std::uint8_t* data, std::uint32_t size) override {
    if (failWrites) return port::kErrorAccessDenied;
    return inner_.RegSetValueEx(key, valueName, type, data, size);
  }
  port::Status RegQueryInfoKey(port::HKey key, port::RegKeyInfo* info) override {
    return inner_.RegQueryInfoKey(key, info);
  }
  port::Status RegEnumKeyEx(port::HKey key, std::uint32_t index, std::string* name) override {
    return inner_.RegEnumKeyEx(key, index, name);
  }
  port::Status RegEnumValue(port::HKey key, std::uint32_t index, std::string* name) override {
    return inner_.RegEnumValue(key, index, name);
  }
  port::Status RegDeleteValue(port::HKey key, std::string_view valueName) override {
    return inner_.RegDeleteValue(key, valueName);
  }
  port::Status RegDeleteKeyEx(port::HKey key, std::string_view subKey,
                              std::uint32_t access) override {
    return inner_.RegDeleteKeyEx(key, subKey, access);
  }

 private:
  port::IRegistry& inner_;
};

}  // namespace ombrant::test
