#include "platform/win32/winFileSystem.h"

#include <vector>

#include "platform/win32/winHeaders.h"
#include "platform/win32/winText.h"

namespace ombrant::win32 {
namespace {

port::Status LastError() { return static_cast<port::Status>(GetLastError()); }

port::Status Result(BOOL ok) { return ok ? port::kErrorSuccess : LastError(); }

// One file handle, closed when it goes.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (valid()) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  [[nodiscard]] bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  [[nodiscard]] HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

port::FindData ToFindData(const WIN32_FIND_DATAW& w) {
  port::FindData d;
  d.name = Narrow(w.cFileName);
  d.attributes = w.dwFileAttributes;
  d.size = (static_cast<std::uint64_t>(w.nFileSizeHigh) << 32) | w.nFileSizeLow;
  d.lastWriteTime = (static_cast<std::uint64_t>(w.ftLastWriteTime.dwHighDateTime) << 32) |
                    w.ftLastWriteTime.dwLowDateTime;
  return d;
}

HANDLE ToHandle(port::HFind find) { return reinterpret_cast<HANDLE>(find); }

port::Status Folder(UINT(WINAPI* get)(LPWSTR, UINT), std::string* path) {
  wchar_t buffer[MAX_PATH + 1] = {};
  const UINT length = get(buffer, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return length == 0 ? LastError() : port::kErrorMoreData;
  *path = Narrow(buffer);
  return port::kErrorSuccess;
}

}  // namespace

port::Status WinFileSystem::FindFirstFile(std::string_view pattern, port::FindData* data,
                                          port::HFind* find) {
  WIN32_FIND_DATAW found{};
  const HANDLE handle = FindFirstFileW(Wide(pattern).Get(), &found);
  if (handle == INVALID_HANDLE_VALUE) return LastError();
  *data = ToFindData(found);
  *find = reinterpret_cast<port::HFind>(handle);
  return port::kErrorSuccess;
}

port::Status WinFileSystem::FindNextFile(port::HFind find, port::FindData* data) {
  WIN32_FIND_DATAW found{};
  if (!FindNextFileW(ToHandle(find), &found)) return LastError();
  *data = ToFindData(found);
  return port::kErrorSuccess;
}

port::Status WinFileSystem::FindClose(port::HFind find) {
  return Result(::FindClose(ToHandle(find)));
}

port::Status WinFileSystem::GetFileAttributes(std::string_view path, std::uint32_t* attributes) {
  const DWORD result = GetFileAttributesW(Wide(path).Get());
  if (result == INVALID_FILE_ATTRIBUTES) return LastError();
  *attributes = result;
  return port::kErrorSuccess;
}

port::Status WinFileSystem::SetFileAttributes(std::string_view path, std::uint32_t attributes) {
  return Result(SetFileAttributesW(Wide(path).Get(), attributes));
}

port::Status WinFileSystem::CreateDirectory(std::string_view path) {
  return Result(CreateDirectoryW(Wide(path).Get(), nullptr));
}

port::Status WinFileSystem::RemoveDirectory(std::string_view path) {
  return Result(RemoveDirectoryW(Wide(path).Get()));
}

port::Status WinFileSystem::DeleteFile(std::string_view path) {
  return Result(DeleteFileW(Wide(path).Get()));
}

port::Status WinFileSystem::CopyFile(std::string_view from, std::string_view to,
                                     bool failIfExists) {
  return Result(CopyFileW(Wide(from).Get(), Wide(to).Get(), failIfExists ? TRUE : FALSE));
}

port::Status WinFileSystem::MoveFile(std::string_view from, std::string_view to) {
  return Result(MoveFileW(Wide(from).Get(), Wide(to).Get()));
}

port::Status WinFileSystem::ReplaceFileWith(std::string_view from, std::string_view to) {
  return Result(MoveFileExW(Wide(from).Get(), Wide(to).Get(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
}

port::Status WinFileSystem::ReadWholeFile(std::string_view path, std::string* bytes) {
  FileHandle file(CreateFileW(Wide(path).Get(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return LastError();
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return LastError();
  if (static_cast<std::uint64_t>(size.QuadPart) > 0x7FFFFFFFu) return port::kErrorNotEnoughMemory;
  std::string content(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < content.size()) {
    DWORD read = 0;
    if (!ReadFile(file.get(), content.data() + done, static_cast<DWORD>(content.size() - done),
                  &read, nullptr)) {
      return LastError();
    }
    if (read == 0) break;  // the file shrank meanwhile
    done += read;
  }
  content.resize(done);
  *bytes = std::move(content);
  return port::kErrorSuccess;
}

port::Status WinFileSystem::WriteWholeFile(std::string_view path, std::string_view bytes) {
  FileHandle file(CreateFileW(Wide(path).Get(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return LastError();
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                   &written, nullptr)) {
      return LastError();
    }
    done += written;
  }
  return port::kErrorSuccess;
}

port::Status WinFileSystem::GetWindowsDirectory(std::string* path) {
  return Folder(GetWindowsDirectoryW, path);
}

port::Status WinFileSystem::GetSystemDirectory(std::string* path) {
  return Folder(GetSystemDirectoryW, path);
}

}  // namespace ombrant::win32
