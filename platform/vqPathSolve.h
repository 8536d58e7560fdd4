// Path variables: templates such as "<$APPDATA>\Opera\" resolved for the running system.
//
// A variable token is "<$" + NAME + ">". `TPathSolver` builds, once, the single-value table
// (`PathVariables`, the current user in the 32-bit registry view) and the candidate table
// (`PathCandidates`, every value of both registry views and of offline Windows systems), then
// resolves templates against them. Tokens the tables do not know pass through unchanged.
#pragma once

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/kvrFilesPathsWinAPI.h"
#include "platform/port/kvrPort.h"
#include "platform/vqStringList.h"
#include "platform/vqStrings.h"

namespace ombrant {

// A variable with the shell folder it comes from (-1: none).
struct TPathSolveConfig {
  std::int32_t FolderId;
  std::string_view Name;  // without the delimiters
};

// One registry source of a variable.
struct TPathRegistryUpdaterRecord {
  std::string_view Variable;  // the whole token
  port::HKey RootKey;
  std::string_view KeyPath;  // below the pass's software root, or below the prefix
  std::string_view ValueName;
  bool OnlyIn32BitPass;
  bool FromHiveRoot;  // KeyPath is taken below the system prefix
  bool Overwrite;
  std::string_view Suffix;
  std::string_view CutAt;  // the value is cut before its first occurrence
};

// If Target has no value it takes Source's.
struct TTemplateCopyRecord {
  std::string_view Target;
  std::string_view Source;
};

extern const std::array<TPathSolveConfig, 46> PathSolveConfigs;
extern const std::array<TPathRegistryUpdaterRecord, 21> PathRegistryUpdaters;
extern const std::array<TTemplateCopyRecord, 5> TemplateCopies;

// An ordered token=value list. A name may have several lines: Get and Set see only the first,
// the candidate table takes them all.
class TPathWorkingList {
 public:
  struct Line {
    std::string name;
    std::string value;
  };

  // The first line of that name (case ignored); empty text when there is none.
  [[nodiscard]] std::string Get(std::string_view name) const;
  // Replaces the first line of that name or appends one; an empty value removes that line.
  void Set(std::string_view name, std::string_view value);
  // Appends, even when the name has a line already.
  void Add(std::string_view name, std::string_view value);

  [[nodiscard]] const std::vector<Line>& Lines() const { return lines_; }

 private:
  [[nodiscard]] int IndexOfName(std::string_view name) const;

  std::vector<Line> lines_;
};

// Every value known for each token: tokens in the order first seen, each with a sorted set of
// distinct (letter case ignored) non-empty values. A token may have an empty set.
class TPathCandidates {
 public:
  struct Entry {
    std::string token;
    std::set<std::string, TextLess> values;
  };

  // Takes every line of the list, not only the first line of a name.
  void Collect(const TPathWorkingList& list);

  [[nodiscard]] const std::vector<Entry>& Entries() const { return entries_; }
  // Null when the token is not in the table.
  [[nodiscard]] const Entry* Find(std::string_view token) const;

 private:
  std::vector<Entry> entries_;
};

// The control-panel folder of a system: the Windows folder + "\" + the control panel's display
// name (its CLSID key below the prefix's software hive, 32-bit view then 64-bit view,
// "Systemsteuerung" when neither names it).
[[nodiscard]] std::string GetControlPanelFolder(port::IRegistry& registry, std::string_view prefix,
                                                std::string_view windowsFolder,
                                                TTextForm form = TTextForm::Narrow);
[[nodiscard]] inline std::string GetControlPanelFolderW(port::IRegistry& registry,
                                                        std::string_view prefix,
                                                        std::string_view windowsFolder) {
  return GetControlPanelFolder(registry, prefix, windowsFolder, TTextForm::Wide);
}

class TPathSolver {
 public:
  // Builds both tables for the running system: the 64-bit registry view first, then the 32-bit
  // one, so that a value that a source overwrites ends as the 32-bit program sees it.
  explicit TPathSolver(const port::Port& port);

  // Adds the values of the offline Windows systems mounted below HKEY_LOCAL_MACHINE
  // ("PE_<id>_Software", ...) to the candidate table. Each system is read on its own.
  void AddOfflineSystemPaths();
  // The prefixes ("PE_X_") of the offline systems, each once, in key order.
  [[nodiscard]] TStringList FindOfflineSystemPrefixes() const;

  // Replaces every known token by its one value; a token with an empty value vanishes.
  [[nodiscard]] std::string ResolvePath(std::string_view pathTemplate) const;
  // Adds the template to `list`, then replaces it there by every combination of the candidate
  // values of its tokens. The caller makes the list sorted with duplicates ignored.
  void ExpandPathCandidates(std::string_view pathTemplate, TStringList& list) const;

  [[nodiscard]] const TPathWorkingList& PathVariables() const { return variables_; }
  [[nodiscard]] const TPathCandidates& PathCandidates() const { return candidates_; }

  // One pass over one system (empty prefix: the running system) in one registry view.
  void BuildPathVariables(TPathWorkingList& list, std::string_view prefix, int view,
                          TTextForm form) const;
  // Adds every line of a working list to the candidate table.
  void CollectPathCandidates(const TPathWorkingList& list) { candidates_.Collect(list); }

 private:
  void RegistrySource(TPathWorkingList& list, std::string_view token, port::HKey root,
                      std::string_view key, std::string_view valueName, int view, bool overwrite,
                      std::string_view suffix, std::string_view cutAt, TTextForm form) const;

  port::Port port_;
  // Every pass asks the shell for the same folders; it is asked once for each.
  mutable TShellFolderCache shellFolders_;
  TPathWorkingList variables_;
  TPathCandidates candidates_;
};

}  // namespace ombrant
