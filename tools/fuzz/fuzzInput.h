// Splits a fuzzer's input into NUL-separated fields, the last one taking the rest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace ombrant::fuzz {

inline std::vector<std::string_view> SplitFields(const std::uint8_t* data, std::size_t size,
                                                 std::size_t count) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> fields;
  while (fields.size() + 1 < count) {
    const std::size_t nul = rest.find('\0');
    if (nul == std::string_view::npos) break;
    fields.push_back(rest.substr(0, nul));
    rest.remove_prefix(nul + 1);
  }
  fields.push_back(rest);
  while (fields.size() < count) fields.emplace_back();
  return fields;
}

}  // namespace ombrant::fuzz
