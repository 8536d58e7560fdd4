// Wildcard matching of application names against the patterns of the definitions
// ("Mozilla Firefox*", "Winamp*", "Pidgin").
#pragma once

#include <string_view>

namespace ombrant {

// True when `pattern` matches the whole of `text`. "*" matches any run of characters (the
// empty run too), "?" exactly one character, anything else itself; the ASCII letters a to z
// match their upper-case forms. An empty pattern matches only the empty text.
[[nodiscard]] bool WildcardMatch(std::string_view text, std::string_view pattern);

}  // namespace ombrant
