// Reading one value of an INI file's text, as GetPrivateProfileString reads it: the files the
// definitions look into (Internet Explorer's ".url" favorites, application INI files).
#pragma once

#include <string>
#include <string_view>

namespace ombrant {

// The file's bytes as UTF-8 text: UTF-16LE with its byte-order mark, UTF-8 (with or without
// its mark), and otherwise Windows-1252, which is what such files use on Western systems.
[[nodiscard]] std::string IniBytesToText(std::string_view bytes);

// The value of `key` in `section` (both matched ignoring case; the first section and the first
// key of that name count). Blanks and tabs around key and value are dropped, and so is one
// pair of quotes around the whole value. `defaultValue` when there is no such key.
[[nodiscard]] std::string ReadIniString(std::string_view text, std::string_view section,
                                        std::string_view key, std::string_view defaultValue);

}  // namespace ombrant
