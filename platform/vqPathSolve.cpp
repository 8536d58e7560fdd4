#include "platform/vqPathSolve.h"

#include <algorithm>
#include <exception>

#include "platform/kvrRegHives.h"

namespace ombrant {

namespace {

constexpr port::HKey HKLM = port::kHKeyLocalMachine;
constexpr port::HKey HKCU = port::kHKeyCurrentUser;
constexpr std::string_view kShellFolders =
    "Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\";
constexpr std::string_view kUserShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\";
constexpr std::string_view kCurrentVersion = "Microsoft\\Windows\\CurrentVersion\\";
constexpr std::string_view kSystemVersion = "Microsoft\\Windows NT\\CurrentVersion\\";
constexpr std::string_view kQuickLaunch = "\\Microsoft\\Internet Explorer\\Quick Launch";
constexpr std::string_view kControlPanelClsid =
    "Software\\CLASSES\\CLSID\\{21EC2020-3AEA-1069-A2DD-08002B30309D}\\";

// Concatenates path pieces.
template <typename... Parts>
std::string Join(const Parts&... parts) {
  std::string text;
  (text.append(std::string_view(parts)), ...);
  return text;
}

std::string Token(std::string_view name) { return Join("<$", name, ">"); }

// Everything up to the last "\" (without it), or empty text when there is no "\".
std::string ParentFolder(std::string_view path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

// The first `count` characters (code points, not bytes).
std::string FirstCharacters(std::string_view text, std::size_t count) {
  std::size_t end = 0;
  for (std::size_t n = 0; n < count && end < text.size(); ++n) {
    ++end;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  }
  return std::string(text.substr(0, end));
}

char16_t UpperUnit(char16_t c) {
  if (c >= 0xD800 && c <= 0xDFFF) return c;  // half of a pair: no case
  return static_cast<char16_t>(UpperCaseCodePoint(c));
}

// Replaces every occurrence of `from` by `to`, letter case ignored.
std::string ReplaceAllText(const std::string& text, std::string_view from, std::string_view to) {
  if (from.empty() || FindText(text, from) == std::string_view::npos) return text;
  const std::u16string source = Utf8ToUtf16(text);
  std::u16string needle = Utf8ToUtf16(from);
  for (char16_t& c : needle) c = UpperUnit(c);
  const std::u16string replacement = Utf8ToUtf16(to);
  std::u16string out;
  out.reserve(source.size());
  std::size_t i = 0;
  while (i < source.size()) {
    bool match = source.size() - i >= needle.size();
    for (std::size_t k = 0; match && k < needle.size(); ++k) {
      match = UpperUnit(source[i + k]) == needle[k];
    }
    if (match) {
      out += replacement;
      i += needle.size();
    } else {
      out += source[i++];
    }
  }
  return Utf16ToUtf8(out);
}

bool ContainsKnownToken(std::string_view text, const TPathCandidates& candidates) {
  if (text.find("<$") == std::string_view::npos) return false;
  for (const TPathCandidates::Entry& entry : candidates.Entries()) {
    if (text.find(entry.token) != std::string_view::npos) return true;
  }
  return false;
}

}  // namespace

const std::array<TPathSolveConfig, 46> PathSolveConfigs = {{
    {-1, "SYSDRIVE"},
    {port::kCsidlWindows, "WINDIR"},
    {-1, "WINDIR2"},
    {port::kCsidlSystem, "SYSDIR"},
    {-1, "SYSDIR2"},
    {port::kCsidlFonts, "FONTS"},
    {port::kCsidlControls, "CONTROLS"},
    {-1, "SYSCPLDIR"},
    {-1, "PATH"},
    {port::kCsidlProgramFiles, "PROGRAMFILES"},
    {port::kCsidlProgramFilesCommon, "COMMONPROGRAMFILES"},
    {port::kCsidlProfiles, "PROFILES"},
    {port::kCsidlProfile, "PROFILE"},
    {port::kCsidlAppData, "APPDATA"},
    {-1, "QUICKLAUNCH"},
    {port::kCsidlDesktop, "ADESKTOP"},
    {port::kCsidlDesktopDirectory, "DESKTOP"},
    {port::kCsidlFavorites, "FAVORITES"},
    {-1, "LOCALSETTINGS"},
    {port::kCsidlLocalAppData, "LOCALAPPDATA"},
    {port::kCsidlPersonal, "PERSONAL"},
    {port::kCsidlMyDocuments, "MYDOCUMENTS"},
    {port::kCsidlMyMusic, "MYMUSIC"},
    {port::kCsidlMyVideo, "MYVIDEO"},
    {port::kCsidlNetHood, "NETHOOD"},
    {port::kCsidlPrintHood, "PRINTHOOD"},
    {port::kCsidlRecent, "RECENT"},
    {port::kCsidlSendTo, "SENDTO"},
    {port::kCsidlStartMenu, "STARTMENU"},
    {port::kCsidlPrograms, "PROGRAMS"},
    {port::kCsidlAltStartup, "ALTSTARTUP"},
    {port::kCsidlStartup, "STARTUP"},
    {port::kCsidlTemplates, "TEMPLATES"},
    {port::kCsidlCommonAppData, "COMMONAPPDATA"},
    {-1, "COMMONQUICKLAUNCH"},
    {port::kCsidlCommonDesktopDirectory, "COMMONDESKTOP"},
    {port::kCsidlCommonDocuments, "COMMONDOCUMENTS"},
    {port::kCsidlCommonDocuments, "COMMONDOCUMENTS"},
    {port::kCsidlCommonMusic, "COMMONMUSIC"},
    {port::kCsidlCommonVideo, "COMMONVIDEO"},
    {port::kCsidlCommonFavorites, "COMMONFAVORITES"},
    {port::kCsidlCommonStartMenu, "COMMONSTARTMENU"},
    {port::kCsidlCommonPrograms, "COMMONPROGRAMS"},
    {port::kCsidlCommonAltStartup, "COMMONALTSTARTUP"},
    {port::kCsidlCommonStartup, "COMMONSTARTUP"},
    {port::kCsidlCommonTemplates, "COMMONTEMPLATES"},
}};

const std::array<TPathRegistryUpdaterRecord, 21> PathRegistryUpdaters = {{
    {"<$COMMONDESKTOP>", HKLM, kShellFolders, "Common Desktop", false, false, false, "", ""},
    {"<$COMMONAPPDATA>", HKLM, kShellFolders, "Common AppData", false, false, false, "", ""},
    {"<$COMMONSTARTUP>", HKLM, kShellFolders, "Common Startup", false, false, false, "", ""},
    {"<$COMMONSTARTMENU>", HKLM, kShellFolders, "Common Start Menu", false, false, false, "", ""},
    {"<$COMMONPROGRAMS>", HKLM, kShellFolders, "Common Programs", false, false, false, "", ""},
    {"<$COMMONFAVORITES>", HKLM, kShellFolders, "Common Favorites", false, false, false, "", ""},
    {"<$COMMONTEMPLATES>", HKLM, kShellFolders, "Common Templates", false, false, false, "", ""},
    {"<$COMMONDOCUMENTS>", HKLM, kShellFolders, "Common Documents", false, false, false, "", ""},
    {"<$COMMONPROGRAMFILES>", HKLM, kCurrentVersion, "CommonFilesDir", false, false, true, "", ""},
    {"<$PROGRAMFILES>", HKLM, kCurrentVersion, "ProgramFilesDir", false, false, true, "", ""},
    {"<$DESKTOP>", HKCU, kUserShellFolders, "Desktop", true, true, false, "", ""},
    {"<$APPDATA>", HKCU, kUserShellFolders, "AppData", true, true, false, "", ""},
    {"<$STARTUP>", HKCU, kUserShellFolders, "Startup", true, true, false, "", ""},
    {"<$STARTMENU>", HKCU, kUserShellFolders, "Start Menu", true, true, false, "", ""},
    {"<$PROGRAMS>", HKCU, kUserShellFolders, "Programs", true, true, false, "", ""},
    {"<$FAVORITES>", HKCU, kUserShellFolders, "Favorites", true, true, false, "", ""},
    {"<$TEMPLATES>", HKCU, kUserShellFolders, "Templates", true, true, false, "", ""},
    {"<$PERSONAL>", HKCU, kUserShellFolders, "Personal", true, true, false, "", ""},
    {"<$LOCALAPPDATA>", HKCU, kUserShellFolders, "Local AppData", true, true, false, "", ""},
    {"<$LOCALSETTINGS>", HKCU, kUserShellFolders, "Local Settings", true, true, false, "", ""},
    {"<$PATH>", HKCU, "Environment\\", "PATH", false, true, false, "", ";"},
}};

const std::array<TTemplateCopyRecord, 5> TemplateCopies = {{
    {"<$COMMONALTSTARTUP>", "<$COMMONSTARTUP>"},
    {"<$COMMONSTARTMENU>", "<$STARTMENU>"},
    {"<$COMMONPROGRAMS>", "<$PROGRAMS>"},
    {"<$COMMONFAVORITES>", "<$FAVORITES>"},
    {"<$ALTSTARTUP>", "<$STARTUP>"},
}};

// --- TPathWorkingList ---

int TPathWorkingList::IndexOfName(std::string_view name) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (SameText(lines_[i].name, name)) return static_cast<int>(i);
  }
  return -1;
}

std::string TPathWorkingList::Get(std::string_view name) const {
  const int i = IndexOfName(name);
  return i < 0 ? std::string() : lines_[i].value;
}

void TPathWorkingList::Set(std::string_view name, std::string_view value) {
  const int i = IndexOfName(name);
  if (value.empty()) {
    if (i >= 0) lines_.erase(lines_.begin() + i);
  } else if (i >= 0) {
    lines_[i] = Line{std::string(name), std::string(value)};
  } else {
    Add(name, value);
  }
}

void TPathWorkingList::Add(std::string_view name, std::string_view value) {
  lines_.push_back(Line{std::string(name), std::string(value)});
}

// --- TPathCandidates ---

const TPathCandidates::Entry* TPathCandidates::Find(std::string_view token) const {
  for (const Entry& entry : entries_) {
    if (SameText(entry.token, token)) return &entry;
  }
  return nullptr;
}

void TPathCandidates::Collect(const TPathWorkingList& list) {
  for (const TPathWorkingList::Line& line : list.Lines()) {
    auto entry = std::find_if(entries_.begin(), entries_.end(),
                              [&](const Entry& e) { return SameText(e.token, line.name); });
    if (entry == entries_.end()) entry = entries_.insert(entries_.end(), Entry{line.name, {}});
    if (!line.value.empty()) entry->values.insert(line.value);
  }
}

// --- GetControlPanelFolder ---

std::string GetControlPanelFolder(port::IRegistry& registry, std::string_view prefix,
                                  std::string_view windowsFolder, TTextForm form) {
  try {
    const std::string key = Join("\\", prefix, kControlPanelClsid);
    std::string name;
    ReadRegistryText(registry, HKLM, key, "", 32, form, name);
    if (name.empty()) ReadRegistryText(registry, HKLM, key, "", 64, form, name);
    if (name.empty()) name = "Systemsteuerung";
    return Join(windowsFolder, "\\", name);
  } catch (const std::exception&) {
    return "C:\\Windows\\Systemsteuerung";
  }
}

// --- TPathSolver ---

TPathSolver::TPathSolver(const port::Port& port) : port_(port) {
  BuildPathVariables(variables_, "", 64, TTextForm::Narrow);
  BuildPathVariables(variables_, "", 32, TTextForm::Narrow);

  TPathWorkingList wide;
  BuildPathVariables(wide, "", 64, TTextForm::Wide);
  CollectPathCandidates(wide);
  BuildPathVariables(wide, "", 32, TTextForm::Wide);
  CollectPathCandidates(wide);
}

void TPathSolver::RegistrySource(TPathWorkingList& list, std::string_view token, port::HKey root,
                                 std::string_view key, std::string_view valueName, int view,
                                 bool overwrite, std::string_view suffix, std::string_view cutAt,
                                 TTextForm form) const {
  if (!overwrite && !list.Get(token).empty()) return;
  std::string value;
  if (!ReadRegistryText(port_.registry, root, key, valueName, view, form, value)) return;
  if (!cutAt.empty()) {
    const std::size_t cut = value.find(cutAt);
    if (cut != std::string::npos) {
      value.erase(cut);
      if (!value.empty() && value.back() == '\\') value.pop_back();
    }
  }
  list.Set(token, value + std::string(suffix));
}

void TPathSolver::BuildPathVariables(TPathWorkingList& list, std::string_view prefix, int view,
                                     TTextForm form) const {
  const std::string pre(prefix);
  if (pre.empty()) {
    list.Add("<$LOCALSETTINGS>", "");
    list.Add("<$WINDIR2>", GetWindowsFolder(port_));
    list.Add("<$SYSDIR2>", GetSystemFolder(port_));
    // Without its base folder the quick-launch folder would be a path below a drive's root.
    const std::string appData =
        GetSpecialFolderPath(port_, port::kCsidlAppData, form, &shellFolders_);
    list.Add("<$QUICKLAUNCH>", appData.empty() ? appData : appData + std::string(kQuickLaunch));
    const std::string commonAppData = GetSpecialFolderPath(port_, port::kCsidlCommonAppData, form,
                                                           &shellFolders_);
    list.Add("<$COMMONQUICKLAUNCH>",
             commonAppData.empty() ? commonAppData : commonAppData + std::string(kQuickLaunch));
    for (const TPathSolveConfig& config : PathSolveConfigs) {
      if (config.FolderId < 0) continue;
      try {
        list.Add(Token(config.Name),
                 GetSpecialFolderPath(port_, config.FolderId, form, &shellFolders_));
      } catch (const std::exception&) {
        // This row only.
      }
    }
  }

  std::string softwareRoot = pre + "Software\\";
  if (view == 32 &&
      RegistryKeyExists(port_.registry, HKLM, Join("\\", pre, "Software\\Wow6432Node\\"), 0)) {
    softwareRoot = pre + "Software\\Wow6432Node\\";
  }

  for (const TPathRegistryUpdaterRecord& row : PathRegistryUpdaters) {
    if (row.OnlyIn32BitPass && view != 32) continue;
    const std::string key = Join("\\", row.FromHiveRoot ? pre : softwareRoot, row.KeyPath);
    RegistrySource(list, row.Variable, row.RootKey, key, row.ValueName, view, row.Overwrite,
                   row.Suffix, row.CutAt, form);
  }

  for (const TTemplateCopyRecord& copy : TemplateCopies) {
    if (list.Get(copy.Target).empty()) list.Set(copy.Target, list.Get(copy.Source));
  }

  list.Set("<$SYSDRIVE>", FirstCharacters(list.Get("<$WINDIR>"), 2));

  // The profile is the desktop's parent, and the profiles' root the profile's.
  if (list.Get("<$PROFILE>").empty()) {
    const std::string profile = ParentFolder(list.Get("<$DESKTOP>"));
    if (!profile.empty()) list.Set("<$PROFILE>", profile);
  }
  if (list.Get("<$PROFILES>").empty()) {
    const std::string profiles = ParentFolder(list.Get("<$PROFILE>"));
    if (!profiles.empty()) list.Set("<$PROFILES>", profiles);
  }

  const std::string systemKey = Join("\\", pre, "Software\\", kSystemVersion);
  const std::string versionKey = Join("\\", pre, "Software\\", kCurrentVersion);
  const std::string setupKey = Join(versionKey, "Setup\\");
  RegistrySource(list, "<$WINDIR>", HKLM, systemKey, "SystemRoot", 32, false, "", "", form);
  RegistrySource(list, "<$WINDIR>", HKLM, systemKey, "PathName", 32, false, "", "", form);
  RegistrySource(list, "<$WINDIR>", HKLM, setupKey, "WinDir", 32, false, "", "", form);
  RegistrySource(list, "<$WINDIR>", HKLM, versionKey, "SystemRoot", 32, false, "", "", form);
  if (list.Get("<$WINDIR2>").empty()) list.Set("<$WINDIR2>", list.Get("<$WINDIR>"));

  const std::string tempSystemKey = Join("\\", softwareRoot, kSystemVersion);
  const std::string tempVersionKey = Join("\\", softwareRoot, kCurrentVersion);
  RegistrySource(list, "<$TEMP>", HKLM, tempSystemKey, "SystemRoot", view, false, "\\Temp", "",
                 form);
  RegistrySource(list, "<$TEMP>", HKLM, tempSystemKey, "PathName", view, false, "\\Temp", "", form);
  RegistrySource(list, "<$TEMP>", HKLM, tempVersionKey, "SystemRoot", view, false, "\\Temp", "",
                 form);

  const std::string installerKey = Join(versionKey, "Installer\\");
  RegistrySource(list, "<$SYSDIR>", HKLM, setupKey, "SysDir", 32, false, "", "", form);
  RegistrySource(list, "<$SYSDIR>", HKLM, installerKey, "InstallerLocation", 32, false, "", "",
                 form);
  if (list.Get("<$SYSDIR2>").empty()) list.Set("<$SYSDIR2>", list.Get("<$SYSDIR>"));

  list.Set("<$SYSCPLDIR>", GetControlPanelFolder(port_.registry, pre, list.Get("<$WINDIR>"), form));
  if (list.Get("<$CONTROLS>").empty()) list.Set("<$CONTROLS>", list.Get("<$SYSCPLDIR>"));
}

TStringList TPathSolver::FindOfflineSystemPrefixes() const {
  TStringList names;
  TStringList prefixes;
  try {
    if (!GetRegistrySubKeyNames(port_.registry, HKLM, "\\", names, false)) return prefixes;
  } catch (const std::exception&) {
    return prefixes;
  }
  for (const std::string& name : names) {
    if (name.compare(0, 3, "PE_") != 0) continue;
    // The identifier has at least one character: the separator is looked for from the fifth.
    const std::size_t separator = name.find('_', 4);
    if (separator == std::string::npos || separator + 1 >= name.size()) continue;
    std::string prefix = name.substr(0, separator + 1);
    if (prefixes.IndexOf(prefix) < 0) prefixes.Add(std::move(prefix));
  }
  return prefixes;
}

void TPathSolver::AddOfflineSystemPaths() {
  // One working list per system: a shared one would lend the first system's values to the
  // others and hide theirs.
  for (const std::string& prefix : FindOfflineSystemPrefixes()) {
    TPathWorkingList list;
    BuildPathVariables(list, prefix, 32, TTextForm::Wide);
    CollectPathCandidates(list);
    BuildPathVariables(list, prefix, 64, TTextForm::Wide);
    CollectPathCandidates(list);
  }
}

std::string TPathSolver::ResolvePath(std::string_view pathTemplate) const {
  std::string text(pathTemplate);
  const std::vector<TPathWorkingList::Line>& lines = variables_.Lines();
  for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
    const std::string& name = line->name;
    if (text.find(name) == std::string::npos) continue;
    std::string value = variables_.Get(name);
    if (text.starts_with("<regexpr>") || text.find("=<regexpr>") != std::string::npos) {
      value = EscapeRegExpr(value);
    }
    text = ReplaceAllText(text, name, value);
  }
  return text;
}

void TPathSolver::ExpandPathCandidates(std::string_view pathTemplate, TStringList& list) const {
  list.Add(std::string(pathTemplate));
  for (;;) {
    int index = -1;
    std::size_t position = std::string::npos;
    const TPathCandidates::Entry* found = nullptr;
    for (int i = list.Count() - 1; i >= 0 && found == nullptr; --i) {
      const std::string& entry = list[i];
      if (entry.find("<$") == std::string::npos) continue;
      for (const TPathCandidates::Entry& candidate : candidates_.Entries()) {
        position = entry.find(candidate.token);
        if (position != std::string::npos) {
          found = &candidate;
          index = i;
          break;
        }
      }
    }
    if (found == nullptr) return;

    const std::string entry = list[index];
    const std::size_t close = entry.find('>', position);
    const std::string token = entry.substr(position, close - position + 1);
    const bool regexpr = entry.starts_with("<regexpr>");
    list.Delete(index);
    for (const std::string& candidate : found->values) {
      const std::string value = regexpr ? EscapeRegExpr(candidate) : candidate;
      // A value holding a token would be expanded again, possibly for ever.
      if (ContainsKnownToken(value, candidates_)) continue;
      std::string expanded = entry;
      expanded.replace(entry.find(token), token.size(), value);
      list.Add(std::move(expanded));
    }
  }
}

}  // namespace ombrant
