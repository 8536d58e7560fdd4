// Where the program's grant entry goes in an access list: before the first inherited entry, so
// that explicit entries stay ahead of inherited ones.
#pragma once

#include <string>

namespace ombrant::test {

[[nodiscard]] inline std::string CanonicalGrant(std::string dacl, const std::string& grant) {
  for (std::size_t at = dacl.find('('); at != std::string::npos; at = dacl.find('(', at + 1)) {
    const std::size_t flagsStart = dacl.find(';', at) + 1;
    const std::string flags = dacl.substr(flagsStart, dacl.find(';', flagsStart) - flagsStart);
    for (std::size_t i = 0; i + 1 < flags.size(); i += 2) {
      if (flags.compare(i, 2, "ID") == 0) return dacl.insert(at, grant);
    }
  }
  return dacl + grant;
}

}  // namespace ombrant::test
