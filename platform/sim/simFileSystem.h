// The simulated file system: the drives of a simulated machine, kept in a host folder.
//
// The host folder holds one sub-folder per drive ("C", "D"). Windows paths ("C:\Dir\File.txt")
// resolve to host entries ignoring letter case; new entries keep the case they were created
// with. Only full paths with a drive letter and backslashes are accepted: a relative path or a
// forward slash is kErrorInvalidName, so that code building such paths fails here rather than on
// a real system. Names Windows cannot hold (<>:"/\|?*, control characters, a trailing dot or
// space) are kErrorInvalidName as well.
//
// Attributes other than the directory bit are kept in memory only (the machine folder has no
// place for them). Two faults can be injected for error tests: the read-only attribute, and a
// lock on a path (see LockPath).
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/port/kvrPortFiles.h"
#include "platform/vqStrings.h"

namespace ombrant::sim {

// FindFirstFile's wildcard matching on a long name: * and ?, with the DOS rules Windows applies
// ("*.*" matches names without a dot, "*.txt" stops at the last dot, "?" matches nothing at a dot
// or at the end of the name). Letter case is ignored. No 8.3 aliases.
[[nodiscard]] bool MatchesFindPattern(std::string_view pattern, std::string_view name);

class SimFileSystem final : public port::IFileSystem {
 public:
  // `hostRoot` is created if missing; drive folders inside it are the machine's drives.
  explicit SimFileSystem(std::filesystem::path hostRoot, std::string windowsFolder = "C:\\WINDOWS");
  ~SimFileSystem() override;
  SimFileSystem(const SimFileSystem&) = delete;
  SimFileSystem& operator=(const SimFileSystem&) = delete;

  [[nodiscard]] const std::filesystem::path& HostRoot() const { return hostRoot_; }
  // GetWindowsDirectory; GetSystemDirectory is its "system32".
  void SetWindowsFolder(std::string folder) { windowsFolder_ = std::move(folder); }
  [[nodiscard]] const std::string& WindowsFolder() const { return windowsFolder_; }

  // --- builders and inspection for tests and the machine loader ---
  // They ignore attributes and locks, create missing folders on the way, and throw
  // std::invalid_argument for a path the machine cannot hold.
  void AddFolder(std::string_view path);
  void AddFile(std::string_view path, std::string_view bytes);
  [[nodiscard]] std::optional<std::string> ReadFile(std::string_view path) const;
  [[nodiscard]] bool Exists(std::string_view path) const;
  [[nodiscard]] bool IsFolder(std::string_view path) const;
  // The Windows path of an existing entry with the case it has on disk ("C:\Dir\File.txt").
  [[nodiscard]] std::optional<std::string> ActualPath(std::string_view path) const;
  // The host path of an existing entry.
  [[nodiscard]] std::optional<std::filesystem::path> HostPath(std::string_view path) const;

  // A locked path refuses to be changed with `status`: kErrorAccessDenied (a file or folder the
  // account may read but not write: writes, deletes, moves and, for a folder, new entries in it
  // fail) or kErrorSharingViolation (a file another program holds open: every open fails,
  // reading too). The lock stays with the path, not with whatever is moved there.
  void LockPath(std::string_view path, port::Status status);
  void UnlockPath(std::string_view path);
  // The running account may not create, replace or delete files in this folder (access denied);
  // the folder need not exist yet.
  void RefuseWritesIn(std::string_view folder);

  // A drive with a free-space limit: writes that would take more fail with kErrorDiskFull
  // (WriteWholeFile after writing what fits, as a full disk leaves a file). Freed bytes come
  // back. No limit (the default) when unset.
  void SetFreeBytes(char drive, std::uint64_t bytes);
  [[nodiscard]] std::optional<std::uint64_t> FreeBytes(char drive) const;
  [[nodiscard]] const std::map<char, std::uint64_t>& FreeSpaceLimits() const { return free_; }

  // A junction (reparse point) at `path` to the folder `target`, with further attributes
  // (hidden, system). Listing it lists the target; scans that look at the attributes see
  // directory | reparse point. Throws std::invalid_argument when `path` exists or `target` is
  // no folder. Junctions are not saved with the drives: the machine records them itself.
  void AddJunction(std::string_view path, std::string_view target, std::uint32_t attributes);
  // Junctions are host symbolic links to folders; a host may not make them (Wine cannot).
  [[nodiscard]] static bool HostMakesJunctions();
  struct Junction {
    std::string path;  // as given
    std::string target;
    std::uint32_t attributes = 0;  // besides directory and reparse point
  };
  // The junctions that still exist, in the order they were made.
  [[nodiscard]] std::vector<Junction> Junctions() const;

  // Find handles not yet closed (tests check that nothing leaks).
  [[nodiscard]] std::size_t OpenFindCount() const { return finds_.size(); }

  // Copies every drive folder found in `drivesFolder` ("C", "D", ...) into this machine, and
  // back out. Names keep their case.
  void LoadDrives(const std::filesystem::path& drivesFolder);
  void SaveDrives(const std::filesystem::path& drivesFolder) const;

  // --- port::IFileSystem ---
  port::Status FindFirstFile(std::string_view pattern, port::FindData* data,
                             port::HFind* find) override;
  port::Status FindNextFile(port::HFind find, port::FindData* data) override;
  port::Status FindClose(port::HFind find) override;
  port::Status GetFileAttributes(std::string_view path, std::uint32_t* attributes) override;
  port::Status SetFileAttributes(std::string_view path, std::uint32_t attributes) override;
  port::Status CreateDirectory(std::string_view path) override;
  port::Status RemoveDirectory(std::string_view path) override;
  port::Status DeleteFile(std::string_view path) override;
  port::Status CopyFile(std::string_view from, std::string_view to, bool failIfExists) override;
  // CopyFile to a name the caller knows is free in every letter case (its folder was made for
  // this copy and took no other file of that name): the folder is not searched for one.
  port::Status CopyFileToFreeName(std::string_view from, std::string_view to);
  port::Status MoveFile(std::string_view from, std::string_view to) override;
  port::Status ReplaceFileWith(std::string_view from, std::string_view to) override;
  port::Status ReadWholeFile(std::string_view path, std::string* bytes) override;
  port::Status WriteWholeFile(std::string_view path, std::string_view bytes) override;
  port::Status GetWindowsDirectory(std::string* path) override;
  port::Status GetSystemDirectory(std::string* path) override;

 private:
  struct Entry;
  struct FindState {
    std::vector<port::FindData> entries;
    std::size_t next = 0;
  };

  // `leafIsFree`: the last element is known not to exist in any letter case.
  [[nodiscard]] port::Status Resolve(std::string_view path, Entry* entry,
                                     bool leafIsFree = false) const;
  // What a copy asks of its source before it looks at the target.
  [[nodiscard]] port::Status CopySourceStatus(const Entry& source) const;
  port::Status CopyFileResolved(const Entry& source, const Entry& target, bool failIfExists);
  [[nodiscard]] std::uint32_t AttributesOf(const Entry& entry) const;
  [[nodiscard]] port::Status LockOf(const std::string& key) const;
  [[nodiscard]] port::Status CheckWritable(const Entry& entry) const;
  [[nodiscard]] port::Status CheckParentWritable(const Entry& entry) const;
  void ForgetTree(const std::string& key);
  void RekeyTree(const std::string& from, const std::string& to);
  Entry ResolveForBuilder(std::string_view path) const;
  // Whether `newBytes` fit where `oldBytes` are given back; takes them when they do.
  [[nodiscard]] bool TakeSpace(const Entry& entry, std::uint64_t oldBytes, std::uint64_t newBytes);
  void GiveSpace(const Entry& entry, std::uint64_t bytes);
  [[nodiscard]] bool IsJunctionKey(const std::string& key) const;

  std::filesystem::path hostRoot_;
  std::string windowsFolder_;
  // Keyed by the upper-cased normalised Windows path.
  std::map<std::string, std::uint32_t> attributes_;
  std::map<std::string, port::Status> locks_;
  std::set<std::string> refusedFolders_;  // keys of folders whose files may not change
  std::map<port::HFind, FindState> finds_;
  std::map<char, std::uint64_t> free_;  // drive letter (upper case) -> bytes free
  std::vector<Junction> junctions_;
  port::HFind nextFind_ = 1;
};

}  // namespace ombrant::sim
