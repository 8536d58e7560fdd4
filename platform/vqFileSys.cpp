#include "platform/vqFileSys.h"

#include <utility>

#include "platform/vqStrings.h"

namespace ombrant {
namespace {

// One open enumeration; closed when it goes out of scope.
class TFindHandle {
 public:
  explicit TFindHandle(port::IFileSystem& files) : files_(files) {}
  ~TFindHandle() {
    if (find_ != port::kInvalidFind) files_.FindClose(find_);
  }
  TFindHandle(const TFindHandle&) = delete;
  TFindHandle& operator=(const TFindHandle&) = delete;

  bool First(std::string_view pattern, port::FindData& data) {
    port::HFind find = port::kInvalidFind;
    if (files_.FindFirstFile(pattern, &data, &find) != port::kErrorSuccess) return false;
    find_ = find;
    return true;
  }
  bool Next(port::FindData& data) {
    return files_.FindNextFile(find_, &data) == port::kErrorSuccess;
  }

 private:
  port::IFileSystem& files_;
  port::HFind find_ = port::kInvalidFind;
};

bool IsDotEntry(const std::string& name) { return name == "." || name == ".."; }

bool IsDirectory(const port::FindData& entry) {
  return (entry.attributes & port::kFileAttributeDirectory) != 0;
}

// Everything up to and including the last "\" (empty when there is none).
std::string FolderPart(std::string_view path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string FileNamePart(std::string_view path) {
  const std::size_t slash = path.rfind('\\');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace

TFileFinder::TFileFinder(port::IFileSystem& files) : files_(files) {}

void TFileFinder::Log(const std::string& text) {
  if (OnLog) OnLog(*this, text);
}

void TFileFinder::Execute() {
  Log("TFileFinder.Execute.1");
  Start();
}

void TFileFinder::Start() {
  Log("TFileFinder.Start.0");
  running_ = true;
  startTime_ = std::chrono::system_clock::now();
  fileCount_ = 0;
  folderCount_ = 0;
  queue_.clear();

  Log("TFileFinder.Start.1");
  std::string_view rest = MaskList;
  for (;;) {
    const std::size_t sep = rest.find(';');
    if (sep == std::string_view::npos) {
      Log("TFileFinder.Start.2");
      queue_.emplace_back(rest);
      Log("TFileFinder.Start.3");
      break;
    }
    queue_.emplace_back(rest.substr(0, sep));
    rest.remove_prefix(sep + 1);
  }

  for (std::string& mask : queue_) {
    if (!mask.empty() && mask.back() == '\\') mask += "*.*";
  }
  baseMask_ = queue_.size() == 1 ? queue_.front() : std::string();
  baseFolder_ = FolderPart(baseMask_);

  // Sub-folders are appended behind the masks still waiting: breadth-first.
  while (!queue_.empty()) {
    const std::string mask = queue_.front();
    if (OnScanFolder) OnScanFolder(*this, mask);
    ScanFolder(mask);
    queue_.pop_front();
  }

  endTime_ = std::chrono::system_clock::now();
  running_ = false;
  if (OnFinished) OnFinished(*this, endTime_ - startTime_, fileCount_, folderCount_);
}

void TFileFinder::ScanFolder(const std::string& mask) {
  const std::string prefix = "TFileFinder.ScanFolder(" + mask + "): ";
  const std::string folder = FolderPart(mask);

  Log(prefix + "file scan started");
  {
    TFindHandle find(files_);
    port::FindData entry;
    for (bool more = find.First(mask, entry); more; more = find.Next(entry)) {
      Log(prefix + "file scan found " + entry.name);
      if (IsDotEntry(entry.name)) continue;
      if (IsDirectory(entry)) {
        FolderFound(folder + entry.name, entry);
      } else {
        FileFound(folder + entry.name, entry);
      }
    }
  }

  Log(prefix + "folder scan started");
  // A mask without a folder would make the platform list the process's current folder.
  if (!Recursive || folder.empty()) return;
  const std::string pattern = FileNamePart(mask);
  TFindHandle find(files_);
  port::FindData entry;
  for (bool more = find.First(folder + "*.*", entry); more; more = find.Next(entry)) {
    // The folder pass lists plain folders only (faDirectory): hidden and system folders are not
    // entered, nor junctions and symbolic links, which lead outside the folder or in a loop.
    constexpr std::uint32_t kNotEntered =
        port::kFileAttributeHidden | port::kFileAttributeSystem | port::kFileAttributeReparsePoint;
    if (IsDirectory(entry) && !IsDotEntry(entry.name) && (entry.attributes & kNotEntered) == 0) {
      queue_.push_back(folder + entry.name + "\\" + pattern);
    }
  }
}

void TFileFinder::FileFound(const std::string& fullPath, const port::FindData& entry) {
  std::string name;
  if (FullPaths) {
    name = fullPath;
  } else if (RelativeToBase && !baseMask_.empty()) {
    // Every path found below the base mask starts with its folder.
    name = fullPath.starts_with(baseFolder_) ? fullPath.substr(baseFolder_.size()) : fullPath;
  } else {
    name = entry.name;
  }
  ++fileCount_;
  currentName_ = name;
  if (OnFileFound) OnFileFound(*this, currentName_, port::FindData(entry));
}

void TFileFinder::FolderFound(const std::string& fullPath, const port::FindData& entry) {
  ++folderCount_;
  currentName_ = FullPaths ? fullPath : entry.name;
  if (OnFolderFound) OnFolderFound(*this, currentName_, port::FindData(entry));
}

void TFileFinderCollector::FileFound(TFileFinder&, const std::string& name, const port::FindData&) {
  Files.Add(name);
}

void TFileFinderCollector::FolderFound(TFileFinder&, const std::string& name,
                                       const port::FindData&) {
  Folders.Add(name);
}

void FindFiles(port::IFileSystem& files, std::string_view masks, TStringList& result,
               bool wantFiles, bool wantFolders, bool fullPaths, bool recursive,
               bool relativeToBase) {
  TFileFinderCollector collector;
  TFileFinder finder(files);
  finder.FullPaths = fullPaths;
  finder.Recursive = recursive;
  finder.RelativeToBase = relativeToBase;
  finder.MaskList = std::string(masks);
  using namespace std::placeholders;
  if (wantFiles) {
    finder.OnFileFound = std::bind(&TFileFinderCollector::FileFound, &collector, _1, _2, _3);
  }
  if (wantFolders) {
    finder.OnFolderFound = std::bind(&TFileFinderCollector::FolderFound, &collector, _1, _2, _3);
  }
  finder.Start();
  for (const std::string& name : collector.Files) result.Add(name);
  for (const std::string& name : collector.Folders) result.Add(name);
}

std::string ExtractProgramPath(std::string_view commandLine) {
  if (commandLine.empty()) return {};
  if (commandLine.front() == '"') {
    std::string_view path = commandLine.substr(1);
    const std::size_t quote = path.find('"');
    if (quote != std::string_view::npos) path = path.substr(0, quote);
    return std::string(path);
  }
  const std::size_t exe = FindText(commandLine, "EXE ");
  if (exe != std::string_view::npos) return std::string(commandLine.substr(0, exe + 3));
  return std::string(commandLine);
}

}  // namespace ombrant
