// The file-system area of the real Windows port: the W functions of kernel32, UTF-8 at the port.
#pragma once

#include "platform/port/kvrPortFiles.h"

namespace ombrant::win32 {

// Find handles handed out are real ones, closed by the caller with FindClose.
class WinFileSystem final : public port::IFileSystem {
 public:
  WinFileSystem() = default;
  WinFileSystem(const WinFileSystem&) = delete;
  WinFileSystem& operator=(const WinFileSystem&) = delete;

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
  port::Status MoveFile(std::string_view from, std::string_view to) override;
  port::Status ReplaceFileWith(std::string_view from, std::string_view to) override;
  port::Status ReadWholeFile(std::string_view path, std::string* bytes) override;
  port::Status WriteWholeFile(std::string_view path, std::string_view bytes) override;
  port::Status GetWindowsDirectory(std::string* path) override;
  port::Status GetSystemDirectory(std::string* path) override;
};

}  // namespace ombrant::win32
