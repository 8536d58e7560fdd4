// The file-system area of the Windows port.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/port/kvrPortTypes.h"

namespace ombrant::port {

// File attributes (FILE_ATTRIBUTE_*).
inline constexpr std::uint32_t kFileAttributeReadOnly = 0x01;
inline constexpr std::uint32_t kFileAttributeHidden = 0x02;
inline constexpr std::uint32_t kFileAttributeSystem = 0x04;
inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;
inline constexpr std::uint32_t kFileAttributeArchive = 0x20;
inline constexpr std::uint32_t kFileAttributeNormal = 0x80;
inline constexpr std::uint32_t kFileAttributeTemporary = 0x100;
inline constexpr std::uint32_t kFileAttributeReparsePoint = 0x400;
inline constexpr std::uint32_t kFileAttributeOffline = 0x1000;
inline constexpr std::uint32_t kFileAttributeNotContentIndexed = 0x2000;
inline constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;

// One entry of a directory listing (WIN32_FIND_DATA).
struct FindData {
  std::string name;  // the long name, UTF-8
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
  std::uint64_t lastWriteTime = 0;  // FILETIME as one number
};

using HFind = std::uintptr_t;
inline constexpr HFind kInvalidFind = 0;

// The file calls the program makes. Paths are full Windows paths in UTF-8 ("C:\Dir\file.txt").
class IFileSystem {
 public:
  virtual ~IFileSystem() = default;

  // FindFirstFile/FindNextFile/FindClose: `pattern` is a folder and a file pattern with the
  // wildcards * and ?, matched as FindFirstFile does (long names only). Non-root folders list "."
  // and ".." where the pattern matches them. kErrorFileNotFound when nothing matches,
  // kErrorPathNotFound when the folder does not exist, kErrorNoMoreFiles (18) at the end. The
  // order of the entries is the file system's: callers must not rely on it.
  [[nodiscard]] virtual Status FindFirstFile(std::string_view pattern, FindData* data,
                                             HFind* find) = 0;
  [[nodiscard]] virtual Status FindNextFile(HFind find, FindData* data) = 0;
  virtual Status FindClose(HFind find) = 0;

  // kErrorFileNotFound / kErrorPathNotFound when absent.
  [[nodiscard]] virtual Status GetFileAttributes(std::string_view path,
                                                 std::uint32_t* attributes) = 0;
  // kFileAttributeNormal alone clears every attribute; the directory bit is ignored.
  [[nodiscard]] virtual Status SetFileAttributes(std::string_view path,
                                                 std::uint32_t attributes) = 0;
  // One level, as CreateDirectory: the parent must exist; kErrorAlreadyExists when it exists.
  [[nodiscard]] virtual Status CreateDirectory(std::string_view path) = 0;
  // kErrorDirNotEmpty when the folder holds anything; kErrorDirectory for a file.
  [[nodiscard]] virtual Status RemoveDirectory(std::string_view path) = 0;
  [[nodiscard]] virtual Status DeleteFile(std::string_view path) = 0;
  // Copies contents, attributes and write time. kErrorFileExists when `to` exists and
  // `failIfExists` is set; kErrorAccessDenied when `to` is read-only or a folder.
  [[nodiscard]] virtual Status CopyFile(std::string_view from, std::string_view to,
                                        bool failIfExists) = 0;
  // Files and folders; never replaces: kErrorAlreadyExists when `to` exists.
  [[nodiscard]] virtual Status MoveFile(std::string_view from, std::string_view to) = 0;
  // MoveFileEx with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH: the file `from` takes
  // the place of the file `to` in one step; `to` stays as it was when this fails.
  [[nodiscard]] virtual Status ReplaceFileWith(std::string_view from, std::string_view to) = 0;
  // CreateFile + ReadFile of the whole file / CreateFile(CREATE_ALWAYS) + WriteFile.
  [[nodiscard]] virtual Status ReadWholeFile(std::string_view path, std::string* bytes) = 0;
  [[nodiscard]] virtual Status WriteWholeFile(std::string_view path, std::string_view bytes) = 0;

  [[nodiscard]] virtual Status GetWindowsDirectory(std::string* path) = 0;
  [[nodiscard]] virtual Status GetSystemDirectory(std::string* path) = 0;
};

inline constexpr Status kErrorNotSameDevice = 17;
inline constexpr Status kErrorNoMoreFiles = 18;
inline constexpr Status kErrorSharingViolation = 32;
inline constexpr Status kErrorFileExists = 80;
inline constexpr Status kErrorDirNotEmpty = 145;
inline constexpr Status kErrorDirectory = 267;  // a folder was expected

}  // namespace ombrant::port
