// Folder scanning: lists the files and/or folders that match one or more wildcard masks, and
// takes program paths out of command lines.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>

#include "platform/port/kvrPortFiles.h"
#include "platform/vqStringList.h"

namespace ombrant {

// Closes a find handle when a listing ends, however it ends.
class TFindGuard {
 public:
  TFindGuard(port::IFileSystem& files, port::HFind find) : files_(files), find_(find) {}
  ~TFindGuard() { (void)files_.FindClose(find_); }
  TFindGuard(const TFindGuard&) = delete;
  TFindGuard& operator=(const TFindGuard&) = delete;

 private:
  port::IFileSystem& files_;
  port::HFind find_;
};

class TFileFinder;

using TFileFoundEvent =
    std::function<void(TFileFinder& sender, const std::string& name, const port::FindData& entry)>;
using TScanFolderEvent = std::function<void(TFileFinder& sender, const std::string& mask)>;
using TFinderLogEvent = std::function<void(TFileFinder& sender, const std::string& text)>;
using TFinderFinishedEvent =
    std::function<void(TFileFinder& sender, std::chrono::system_clock::duration elapsed,
                       std::uint64_t files, std::uint64_t folders)>;

// Scans a mask list ("C:\Data\*.lnk;C:\Other\") breadth-first on the calling thread and
// reports every entry through its events.
class TFileFinder {
 public:
  explicit TFileFinder(port::IFileSystem& files);
  virtual ~TFileFinder() = default;
  TFileFinder(const TFileFinder&) = delete;
  TFileFinder& operator=(const TFileFinder&) = delete;

  // Masks separated by ";"; a mask ending in "\" stands for that folder with "*.*".
  std::string MaskList;
  // Descends into plain sub-folders only: never into hidden or system folders, junctions or
  // symbolic links (their entries are still listed where the mask matches them).
  bool Recursive = true;
  bool FullPaths = true;
  // With FullPaths off and exactly one mask: files are named relative to that mask's folder.
  bool RelativeToBase = false;

  TFileFoundEvent OnFileFound;
  TFileFoundEvent OnFolderFound;
  TScanFolderEvent OnScanFolder;
  TFinderLogEvent OnLog;
  TFinderFinishedEvent OnFinished;

  // Emits the first progress text and runs Start, as the scan's thread body would.
  void Execute();
  // Scans MaskList once; the events fire on the calling thread.
  void Start();

  [[nodiscard]] bool Running() const { return running_; }
  [[nodiscard]] std::uint64_t FileCount() const { return fileCount_; }
  [[nodiscard]] std::uint64_t FolderCount() const { return folderCount_; }
  [[nodiscard]] const std::string& BaseMask() const { return baseMask_; }
  [[nodiscard]] const std::string& CurrentName() const { return currentName_; }
  [[nodiscard]] std::chrono::system_clock::time_point StartTime() const { return startTime_; }
  [[nodiscard]] std::chrono::system_clock::time_point EndTime() const { return endTime_; }

 protected:
  // One entry found; `fullPath` is the mask's folder plus the entry's name.
  virtual void FileFound(const std::string& fullPath, const port::FindData& entry);
  virtual void FolderFound(const std::string& fullPath, const port::FindData& entry);

 private:
  void ScanFolder(const std::string& mask);
  void Log(const std::string& text);

  port::IFileSystem& files_;
  std::deque<std::string> queue_;
  std::string baseMask_;
  std::string baseFolder_;  // the base mask's folder, "\" included
  std::string currentName_;
  std::uint64_t fileCount_ = 0;
  std::uint64_t folderCount_ = 0;
  std::chrono::system_clock::time_point startTime_{};
  std::chrono::system_clock::time_point endTime_{};
  bool running_ = false;
};

// Gathers what a finder reports, files and folders apart.
class TFileFinderCollector {
 public:
  TStringList Files;
  TStringList Folders;

  void FileFound(TFileFinder& sender, const std::string& name, const port::FindData& entry);
  void FolderFound(TFileFinder& sender, const std::string& name, const port::FindData& entry);
};

// Scans `masks` and appends to `result` (never cleared) first every file, then every folder
// found, in the order the scan reported them.
void FindFiles(port::IFileSystem& files, std::string_view masks, TStringList& result,
               bool wantFiles, bool wantFolders, bool fullPaths, bool recursive,
               bool relativeToBase);

// The program path of a command line: a leading quoted path without its quotes, or the text
// up to the first "EXE " (letter case ignored) without the blank; any other text unchanged.
[[nodiscard]] std::string ExtractProgramPath(std::string_view commandLine);

}  // namespace ombrant
