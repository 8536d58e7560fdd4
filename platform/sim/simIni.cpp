#include "platform/sim/simIni.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/vqStrings.h"

namespace ombrant::sim {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

const IniEntry* IniSection::Find(std::string_view key) const {
  for (const IniEntry& e : entries) {
    if (!e.comment && SameText(e.name, key)) return &e;
  }
  return nullptr;
}

std::optional<std::string> IniSection::Get(std::string_view key) const {
  const IniEntry* e = Find(key);
  return e ? std::optional<std::string>(e->value) : std::nullopt;
}

void IniSection::Set(std::string_view key, std::string_view value) {
  for (IniEntry& e : entries) {
    if (!e.comment && SameText(e.name, key)) {
      e.value = std::string(value);
      return;
    }
  }
  entries.push_back(IniEntry{std::string(key), std::string(value), false, 0});
}

bool IniSection::Remove(std::string_view key) {
  const auto end = std::remove_if(entries.begin(), entries.end(), [&](const IniEntry& e) {
    return !e.comment && SameText(e.name, key);
  });
  const bool removed = end != entries.end();
  entries.erase(end, entries.end());
  return removed;
}

IniSection* IniFile::Find(std::string_view name) {
  for (IniSection& s : sections) {
    if (SameText(s.name, name)) return &s;
  }
  return nullptr;
}

const IniSection* IniFile::Find(std::string_view name) const {
  return const_cast<IniFile*>(this)->Find(name);
}

bool ParseIni(std::string_view text, std::string_view fileName, IniFile* out, SimFileError* error) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  IniFile ini;
  std::size_t lineNumber = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    std::string_view raw = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    const std::string_view line = Trim(raw);
    if (line.empty()) continue;
    if (line.front() == ';' || line.front() == '#') {
      if (ini.sections.empty()) {
        ini.leadingComments.emplace_back(raw);
      } else {
        ini.sections.back().entries.push_back(IniEntry{{}, std::string(raw), true, lineNumber});
      }
      continue;
    }
    if (line.front() == '[') {
      if (line.back() != ']') {
        return Fail(error, std::string(fileName), lineNumber, "section line without a closing ']'");
      }
      const std::string_view name = Trim(line.substr(1, line.size() - 2));
      if (name.empty()) return Fail(error, std::string(fileName), lineNumber, "empty section name");
      if (const IniSection* first = ini.Find(name)) {
        return Fail(error, std::string(fileName), lineNumber,
                    "section [" + std::string(name) + "] appears twice (first on line " +
                        std::to_string(first->line) + ")");
      }
      ini.sections.push_back(IniSection{std::string(name), lineNumber, {}});
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      return Fail(error, std::string(fileName), lineNumber,
                  "expected [section], name=value or a comment");
    }
    const std::string_view name = Trim(line.substr(0, equals));
    if (name.empty())
      return Fail(error, std::string(fileName), lineNumber, "empty name before '='");
    if (ini.sections.empty()) {
      return Fail(error, std::string(fileName), lineNumber, "name=value outside of any section");
    }
    ini.sections.back().entries.push_back(
        IniEntry{std::string(name), std::string(Trim(line.substr(equals + 1))), false, lineNumber});
  }
  *out = std::move(ini);
  return true;
}

std::string WriteIni(const IniFile& ini) {
  std::string out;
  for (const std::string& comment : ini.leadingComments) out += comment + "\n";
  for (const IniSection& section : ini.sections) {
    if (!out.empty()) out += "\n";
    out += "[" + section.name + "]\n";
    for (const IniEntry& e : section.entries) {
      out += e.comment ? e.value + "\n" : e.name + "=" + e.value + "\n";
    }
  }
  return out;
}

bool ReadIniFile(const std::filesystem::path& file, IniFile* out, SimFileError* error) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return Fail(error, file.string(), 0, "cannot be read");
  std::ostringstream text;
  text << in.rdbuf();
  return ParseIni(text.str(), file.string(), out, error);
}

bool WriteIniFile(const std::filesystem::path& file, const IniFile& ini, SimFileError* error) {
  const std::string text = WriteIni(ini);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (out) out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (!out) return Fail(error, file.string(), 0, "cannot be written");
  return true;
}

}  // namespace ombrant::sim
