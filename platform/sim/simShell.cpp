#include "platform/sim/simShell.h"

#include <functional>
#include <set>
#include <span>
#include <unordered_set>

#include "platform/port/kvrPortFiles.h"
#include "platform/sim/simFileSystem.h"
#include "platform/sim/simLnkFile.h"
#include "platform/sim/simSystem.h"
#include "platform/vqStrings.h"

namespace ombrant::sim {

using port::HResult;

namespace {

constexpr HResult kEInvalidArg = static_cast<HResult>(0x80070057u);

// Folder names that differ between the English and the German XP; Vista and later use the
// English names on disk in every language.
struct XpNames {
  const char* appData;
  const char* localSettings;
  const char* favorites;
  const char* myDocuments;
  const char* myMusic;
  const char* myVideos;
  const char* startMenu;
  const char* programs;
  const char* startup;
  const char* templates;
  const char* netHood;
  const char* printHood;
  const char* programFiles;
  const char* commonFiles;
  const char* sharedDocuments;
  const char* sharedMusic;
  const char* sharedVideos;
};

constexpr XpNames kXpEnglish = {
    "Application Data", "Local Settings", "Favorites", "My Documents", "My Music",
    "My Videos",        "Start Menu",     "Programs",  "Startup",      "Templates",
    "NetHood",          "PrintHood",      "Program Files", "Common Files", "Documents",
    "My Music",         "My Videos"};

constexpr XpNames kXpGerman = {
    "Anwendungsdaten",  "Lokale Einstellungen", "Favoriten",   "Eigene Dateien",
    "Eigene Musik",     "Eigene Videos",        "Startmen\xC3\xBC", "Programme",
    "Autostart",        "Vorlagen",             "Netzwerkumgebung", "Druckumgebung",
    "Programme",        "Gemeinsame Dateien",   "Gemeinsame Dokumente", "Gemeinsame Musik",
    "Gemeinsame Videos"};

std::optional<std::string> XpFolder(const SimFolderLayout& s, std::string_view account,
                                    int csidl) {
  const bool is64 = s.is64BitWindows;
  const XpNames& n = s.language == "de" ? kXpGerman : kXpEnglish;
  const std::string drive = s.windows.substr(0, 2);
  const std::string profile = s.profiles + "\\" + std::string(account);
  const std::string allUsers = s.profiles + "\\All Users";
  const std::string appData = profile + "\\" + n.appData;
  const std::string personal = profile + "\\" + n.myDocuments;
  const std::string startMenu = profile + "\\" + n.startMenu;
  const std::string commonStartMenu = allUsers + "\\" + n.startMenu;
  const std::string sharedDocuments = allUsers + "\\" + n.sharedDocuments;
  const std::string programFiles =
      drive + "\\" + n.programFiles + (is64 ? " (x86)" : "");
  switch (csidl) {
    case port::kCsidlDesktop:
    case port::kCsidlDesktopDirectory: return profile + "\\Desktop";
    case port::kCsidlPrograms: return startMenu + "\\" + n.programs;
    case port::kCsidlPersonal:
    case port::kCsidlMyDocuments: return personal;
    case port::kCsidlFavorites: return profile + "\\" + n.favorites;
    case port::kCsidlStartup: return startMenu + "\\" + n.programs + "\\" + n.startup;
    case port::kCsidlRecent: return profile + "\\Recent";
    case port::kCsidlSendTo: return profile + "\\SendTo";
    case port::kCsidlStartMenu: return startMenu;
    case port::kCsidlMyMusic: return personal + "\\" + n.myMusic;
    case port::kCsidlMyVideo: return personal + "\\" + n.myVideos;
    case port::kCsidlNetHood: return profile + "\\" + n.netHood;
    case port::kCsidlTemplates: return profile + "\\" + n.templates;
    case port::kCsidlCommonStartMenu: return commonStartMenu;
    case port::kCsidlCommonPrograms: return commonStartMenu + "\\" + n.programs;
    case port::kCsidlCommonStartup:
      return commonStartMenu + "\\" + n.programs + "\\" + n.startup;
    case port::kCsidlCommonDesktopDirectory: return allUsers + "\\Desktop";
    case port::kCsidlAppData: return appData;
    case port::kCsidlPrintHood: return profile + "\\" + n.printHood;
    case port::kCsidlLocalAppData:
      return profile + "\\" + n.localSettings + "\\" + n.appData;
    case port::kCsidlCommonFavorites: return allUsers + "\\" + n.favorites;
    case port::kCsidlCommonAppData: return allUsers + "\\" + n.appData;
    case port::kCsidlCommonTemplates: return allUsers + "\\" + n.templates;
    case port::kCsidlCommonDocuments: return sharedDocuments;
    case port::kCsidlCommonMusic: return sharedDocuments + "\\" + n.sharedMusic;
    case port::kCsidlCommonVideo: return sharedDocuments + "\\" + n.sharedVideos;
    case port::kCsidlProgramFiles: return programFiles;
    case port::kCsidlProgramFilesCommon: return programFiles + "\\" + n.commonFiles;
    default: return std::nullopt;
  }
}

std::optional<std::string> VistaFolder(const SimFolderLayout& s, std::string_view account,
                                       int csidl) {
  const bool is64 = s.is64BitWindows;
  const std::string drive = s.windows.substr(0, 2);
  const std::string profile = s.profiles + "\\" + std::string(account);
  const std::string appData = profile + "\\AppData\\Roaming";
  const std::string windowsData = appData + "\\Microsoft\\Windows";
  const std::string startMenu = windowsData + "\\Start Menu";
  const std::string publicFolder = s.profiles + "\\Public";
  const std::string programData = drive + "\\ProgramData";
  const std::string commonStartMenu = programData + "\\Microsoft\\Windows\\Start Menu";
  const std::string programFiles = drive + (is64 ? "\\Program Files (x86)" : "\\Program Files");
  switch (csidl) {
    case port::kCsidlDesktop:
    case port::kCsidlDesktopDirectory: return profile + "\\Desktop";
    case port::kCsidlPrograms: return startMenu + "\\Programs";
    case port::kCsidlPersonal:
    case port::kCsidlMyDocuments: return profile + "\\Documents";
    case port::kCsidlFavorites:
    case port::kCsidlCommonFavorites: return profile + "\\Favorites";
    case port::kCsidlStartup: return startMenu + "\\Programs\\Startup";
    case port::kCsidlRecent: return windowsData + "\\Recent";
    case port::kCsidlSendTo: return windowsData + "\\SendTo";
    case port::kCsidlStartMenu: return startMenu;
    case port::kCsidlMyMusic: return profile + "\\Music";
    case port::kCsidlMyVideo: return profile + "\\Videos";
    case port::kCsidlNetHood: return windowsData + "\\Network Shortcuts";
    case port::kCsidlTemplates: return windowsData + "\\Templates";
    case port::kCsidlCommonStartMenu: return commonStartMenu;
    case port::kCsidlCommonPrograms: return commonStartMenu + "\\Programs";
    case port::kCsidlCommonStartup: return commonStartMenu + "\\Programs\\Startup";
    case port::kCsidlCommonDesktopDirectory: return publicFolder + "\\Desktop";
    case port::kCsidlAppData: return appData;
    case port::kCsidlPrintHood: return windowsData + "\\Printer Shortcuts";
    case port::kCsidlLocalAppData: return profile + "\\AppData\\Local";
    case port::kCsidlCommonAppData: return programData;
    case port::kCsidlCommonTemplates: return programData + "\\Microsoft\\Windows\\Templates";
    case port::kCsidlCommonDocuments: return publicFolder + "\\Documents";
    case port::kCsidlCommonMusic: return publicFolder + "\\Music";
    case port::kCsidlCommonVideo: return publicFolder + "\\Videos";
    case port::kCsidlProgramFiles: return programFiles;
    case port::kCsidlProgramFilesCommon: return programFiles + "\\Common Files";
    default: return std::nullopt;
  }
}

// Cuts `text` to a buffer of `maxChars` UTF-16 units, the terminating NUL included, without
// splitting a surrogate pair.
std::string CutToBuffer(std::string_view text, int maxChars) {
  std::u16string wide = Utf8ToUtf16(text);
  const std::size_t room = static_cast<std::size_t>(maxChars - 1);
  if (wide.size() > room) {
    std::size_t cut = room;
    if (cut > 0 && wide[cut - 1] >= 0xD800 && wide[cut - 1] <= 0xDBFF) --cut;
    wide.resize(cut);
  }
  return Utf16ToUtf8(wide);
}

bool IsBareName(std::string_view path) {
  return !path.empty() && path.find_first_of("\\/:") == std::string_view::npos;
}

// The shell-link object of the simulated machine over the .lnk codec.
class SimShellLink final : public port::IShellLink {
 public:
  SimShellLink(SimFileSystem& files, const SimShell& shell) : files_(files), shell_(shell) {}

  HResult Load(std::string_view linkFile) override {
    std::string bytes;
    if (const port::Status s = files_.ReadWholeFile(linkFile, &bytes); s != port::kErrorSuccess) {
      return port::HResultFromWin32(s);
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    std::optional<ShellLinkData> parsed = ParseShellLink(std::span(data, bytes.size()));
    if (!parsed) return port::kEFail;
    link_ = std::move(*parsed);
    return port::kSOk;
  }

  HResult Save(std::string_view linkFile) override {
    const std::vector<std::uint8_t> bytes = WriteShellLink(link_);
    if (bytes.empty()) return port::kEFail;
    const std::string_view view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return port::HResultFromWin32(files_.WriteWholeFile(linkFile, view));
  }

  HResult GetPath(std::string* path, int maxChars) override {
    if (maxChars <= 0) return kEInvalidArg;
    *path = CutToBuffer(link_.targetPath, maxChars);
    // S_FALSE: the link has no path.
    return link_.targetPath.empty() ? port::kSFalse : port::kSOk;
  }
  HResult GetArguments(std::string* arguments, int maxChars) override {
    return Get(link_.arguments, arguments, maxChars);
  }
  HResult GetDescription(std::string* description, int maxChars) override {
    return Get(link_.description, description, maxChars);
  }
  HResult GetWorkingDirectory(std::string* folder, int maxChars) override {
    return Get(link_.workingDir, folder, maxChars);
  }
  HResult GetIconLocation(std::string* iconFile, int maxChars, int* iconIndex) override {
    if (const HResult hr = Get(link_.iconLocation, iconFile, maxChars); hr != port::kSOk) {
      return hr;
    }
    *iconIndex = link_.iconIndex;
    return port::kSOk;
  }

  HResult SetPath(std::string_view path) override {
    ShellLinkData next = link_;
    next.targetPath = shell_.ResolveLinkTarget(path);
    next.relativePath.clear();
    // The link remembers what it points at, as the shell fills it in from the file.
    next.fileAttributes = 0;
    next.fileSize = 0;
    next.writeTime = 0;
    if (!IsBareName(next.targetPath)) {
      port::FindData found;
      port::HFind find = port::kInvalidFind;
      if (files_.FindFirstFile(next.targetPath, &found, &find) == port::kErrorSuccess) {
        (void)files_.FindClose(find);
        next.fileAttributes = found.attributes;
        next.fileSize = static_cast<std::uint32_t>(found.size);
        next.writeTime = found.lastWriteTime;
      }
    }
    link_ = std::move(next);
    return port::kSOk;
  }
  HResult SetArguments(std::string_view arguments) override {
    link_.arguments = arguments;
    return port::kSOk;
  }
  HResult SetDescription(std::string_view description) override {
    link_.description = description;
    return port::kSOk;
  }
  HResult SetWorkingDirectory(std::string_view folder) override {
    link_.workingDir = folder;
    return port::kSOk;
  }
  HResult SetIconLocation(std::string_view iconFile, int iconIndex) override {
    link_.iconLocation = iconFile;
    link_.iconIndex = iconIndex;
    return port::kSOk;
  }

 private:
  static HResult Get(const std::string& value, std::string* out, int maxChars) {
    if (maxChars <= 0) return kEInvalidArg;
    *out = CutToBuffer(value, maxChars);
    return port::kSOk;
  }

  SimFileSystem& files_;
  const SimShell& shell_;
  ShellLinkData link_;
};

}  // namespace

std::optional<std::string> SpecialFolderPath(const SimFolderLayout& layout,
                                             std::string_view account, int csidl) {
  switch (csidl) {
    case port::kCsidlWindows: return layout.windows;
    case port::kCsidlSystem: return layout.windows + "\\system32";
    case port::kCsidlFonts: return layout.windows + "\\Fonts";
    case port::kCsidlProfiles: return layout.profiles;
    case port::kCsidlProfile: return layout.profiles + "\\" + std::string(account);
    default: break;
  }
  return layout.majorVersion >= 6 ? VistaFolder(layout, account, csidl)
                                  : XpFolder(layout, account, csidl);
}

SimShell::SimShell(SimFileSystem& files, const SimSystem& system, SimShellSettings settings)
    : files_(files), system_(system), settings_(std::move(settings)) {}

SimFolderLayout SimShell::Layout() const {
  return {settings_.profiles, files_.WindowsFolder(), settings_.language,
          system_.Settings().version.majorVersion, system_.Settings().is64BitWindows};
}

port::Status SimShell::GetSpecialFolderPath(int csidl, std::string* path) {
  std::optional<std::string> folder = SpecialFolderPath(Layout(), settings_.runningAccount, csidl);
  if (!folder) return port::kErrorFileNotFound;
  *path = std::move(*folder);
  return port::kErrorSuccess;
}

std::unique_ptr<port::IShellLink> SimShell::CreateShellLink() {
  if (!shellLinkAvailable_) return nullptr;
  return std::make_unique<SimShellLink>(files_, *this);
}

std::string SimShell::ResolveLinkTarget(std::string_view path) const {
  if (!IsBareName(path)) return std::string(path);
  std::string name(path);
  if (name.find('.') == std::string::npos) name += ".exe";
  const std::string& windows = files_.WindowsFolder();
  std::vector<std::string> folders = {windows + "\\system32", windows};
  folders.insert(folders.end(), settings_.searchPath.begin(), settings_.searchPath.end());
  for (const std::string& folder : folders) {
    const std::string candidate = folder + "\\" + name;
    if (files_.Exists(candidate) && !files_.IsFolder(candidate)) return candidate;
  }
  return std::string(path);
}

port::Status SimShell::ShellExecute(port::HWnd owner, std::string_view operation,
                                   std::string_view file, std::string_view parameters,
                                   std::string_view directory, int showCommand) {
  executed_.push_back(ShellExecuteRecord{owner, std::string(operation), std::string(file),
                                         std::string(parameters), std::string(directory),
                                         showCommand});
  // A copy: the hook may run the shell again.
  const ShellExecuteRecord record = executed_.back();
  return OnShellExecute ? OnShellExecute(record) : port::kErrorSuccess;
}

namespace {

// The paths of a shell list: each ends with a NUL, an empty one ends the list.
std::vector<std::string> SplitShellList(std::string_view list) {
  std::vector<std::string> paths;
  while (!list.empty()) {
    const std::size_t end = list.find('\0');
    const std::string_view path = list.substr(0, end);
    if (path.empty()) break;
    paths.emplace_back(path);
    if (end == std::string_view::npos) break;
    list.remove_prefix(end + 1);
  }
  return paths;
}

std::string ParentOf(std::string_view path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

std::string LeafOf(std::string_view path) {
  const std::size_t slash = path.rfind('\\');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// Makes the folder and its missing parents; `made` (optional) collects those this call made,
// in capitals.
port::Status MakeFolders(SimFileSystem& files, const std::string& folder,
                         std::unordered_set<std::string>* made = nullptr) {
  std::uint32_t attributes = 0;
  if (files.GetFileAttributes(folder, &attributes) == port::kErrorSuccess) {
    return (attributes & port::kFileAttributeDirectory) ? port::kErrorSuccess
                                                        : port::kErrorAlreadyExists;
  }
  const std::string parent = ParentOf(folder);
  if (parent.size() > 2) {  // above a drive root
    if (const port::Status s = MakeFolders(files, parent, made); s != port::kErrorSuccess) {
      return s;
    }
  }
  const port::Status s = files.CreateDirectory(folder);
  if (s == port::kErrorSuccess && made != nullptr) made->insert(UpperCase(folder));
  return s == port::kErrorAlreadyExists ? port::kErrorSuccess : s;
}

}  // namespace

int SimShell::SHFileOperation(port::HWnd owner, std::uint32_t operation, std::string_view from,
                              std::string_view to, std::uint16_t flags, bool* anyAborted) {
  (void)owner;
  if (operation != port::kFoCopy) return port::kErrorCallNotImplemented;
  const std::vector<std::string> sources = SplitShellList(from);
  const std::vector<std::string> targets = SplitShellList(to);
  const bool multiDest = (flags & port::kFofMultiDestFiles) != 0;
  if (sources.empty() || targets.empty() || (multiDest && targets.size() != sources.size())) {
    return port::kErrorInvalidParameter;
  }
  port::Status first = port::kErrorSuccess;
  // Folders known to exist in this operation: most files share their folder with the one before.
  std::set<std::string> madeFolders;
  // Folders this operation made, and the names it copied into them: a copy into such a folder
  // under a name not yet used there needs no search for the name in another letter case. The
  // names are kept in capitals, hashed: one pass over each path instead of a case-blind
  // comparison per step of a tree search.
  std::unordered_set<std::string> freshFolderKeys;
  std::unordered_set<std::string> freshNameKeys;
  auto makeFolders = [&](const std::string& folder) {
    if (madeFolders.count(folder) != 0) return port::kErrorSuccess;
    const port::Status s = MakeFolders(files_, folder, &freshFolderKeys);
    if (s == port::kErrorSuccess) madeFolders.insert(folder);
    return s;
  };
  auto fail = [&](const std::string& path, port::Status status) {
    failedCopies_.push_back({path, status});
    if (first == port::kErrorSuccess) first = status;
  };
  // One source item to one destination path: files are copied, folders with all they hold.
  std::function<void(const std::string&, const std::string&)> copy =
      [&](const std::string& source, const std::string& target) {
        // Most items are files: copy first, and look at the source only when that fails.
        port::Status status = makeFolders(ParentOf(target));
        if (status == port::kErrorSuccess) {
          std::string key = UpperCase(target);
          const bool free = freshFolderKeys.count(ParentOf(key)) != 0 &&
                            freshNameKeys.insert(std::move(key)).second;
          status = free ? files_.CopyFileToFreeName(source, target)
                        : files_.CopyFile(source, target, false);
          if (status == port::kErrorSuccess) return;
        }
        std::uint32_t attributes = 0;
        if (const port::Status s = files_.GetFileAttributes(source, &attributes);
            s != port::kErrorSuccess) {
          fail(source, s);
          return;
        }
        if ((attributes & port::kFileAttributeDirectory) == 0) {
          fail(source, status);
          return;
        }
        if (const port::Status s = makeFolders(target); s != port::kErrorSuccess) {
          fail(source, s);
          return;
        }
        std::vector<std::string> names;
        port::FindData data;
        port::HFind find = port::kInvalidFind;
        if (files_.FindFirstFile(source + "\\*", &data, &find) == port::kErrorSuccess) {
          do {
            if (data.name != "." && data.name != "..") names.push_back(data.name);
          } while (files_.FindNextFile(find, &data) == port::kErrorSuccess);
          (void)files_.FindClose(find);
        }
        for (const std::string& name : names) copy(source + "\\" + name, target + "\\" + name);
      };
  for (std::size_t i = 0; i < sources.size(); ++i) {
    const std::string target = multiDest ? targets[i] : targets[0] + "\\" + LeafOf(sources[i]);
    copy(sources[i], target);
  }
  if (anyAborted != nullptr) *anyAborted = first != port::kErrorSuccess;
  return first;
}

}  // namespace ombrant::sim
