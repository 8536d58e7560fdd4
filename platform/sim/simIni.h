// INI files of the simulated machine: [section], name=value (the first "=" separates),
// whole-line comments starting with ";" or "#". Names of sections and keys ignore case.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/simFileError.h"

namespace ombrant::sim {

struct IniEntry {
  std::string name;
  std::string value;  // for a comment: the whole line as written
  bool comment = false;
  std::size_t line = 0;  // where it was read; 0 for an entry made in code
};

struct IniSection {
  std::string name;
  std::size_t line = 0;
  std::vector<IniEntry> entries;  // in file order, comments included

  // The first entry of that name.
  [[nodiscard]] const IniEntry* Find(std::string_view key) const;
  [[nodiscard]] std::optional<std::string> Get(std::string_view key) const;
  // Replaces the value of the first entry of that name, or appends one.
  void Set(std::string_view key, std::string_view value);
  // Removes every entry of that name; false when there was none.
  bool Remove(std::string_view key);
};

struct IniFile {
  std::vector<std::string> leadingComments;  // comment lines before the first section
  std::vector<IniSection> sections;

  [[nodiscard]] IniSection* Find(std::string_view name);
  [[nodiscard]] const IniSection* Find(std::string_view name) const;
};

// Values and names are trimmed of spaces and tabs. Errors: a line that is neither a section, a
// comment nor name=value; name=value before any section; an empty name; a section twice.
[[nodiscard]] bool ParseIni(std::string_view text, std::string_view fileName, IniFile* out,
                            SimFileError* error);
// Sections separated by a blank line, LF line ends; comments where they were.
[[nodiscard]] std::string WriteIni(const IniFile& ini);

[[nodiscard]] bool ReadIniFile(const std::filesystem::path& file, IniFile* out,
                               SimFileError* error);
[[nodiscard]] bool WriteIniFile(const std::filesystem::path& file, const IniFile& ini,
                                SimFileError* error);

}  // namespace ombrant::sim
