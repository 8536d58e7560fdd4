#include "platform/win32/winHeaders.h"
// After the Windows headers, whose macros would rename the methods.
#include "platform/win32/winProcesses.h"
#include "platform/win32/winText.h"

namespace ombrant::win32 {
namespace {

using EnumProcessesFn = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
using GetModuleFileNameExFn = DWORD(WINAPI*)(HANDLE, HMODULE, wchar_t*, DWORD);
using QueryFullProcessImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, wchar_t*, DWORD*);

HANDLE ToHandle(port::HHandle handle) { return reinterpret_cast<HANDLE>(handle); }
port::HHandle FromHandle(HANDLE handle) { return reinterpret_cast<port::HHandle>(handle); }
port::Status LastError() { return static_cast<port::Status>(GetLastError()); }

void* Lookup(HMODULE module, const char* name) {
  return module ? reinterpret_cast<void*>(GetProcAddress(module, name)) : nullptr;
}

template <typename Fn>
Fn As(void* function) {
  return reinterpret_cast<Fn>(function);
}

void ToEntry(const PROCESSENTRY32W& from, port::ProcessEntry* to) {
  to->processId = from.th32ProcessID;
  to->exeFile = Narrow(from.szExeFile);
}

// Closes a token handle when it goes.
class TokenHandle {
 public:
  TokenHandle() = default;
  ~TokenHandle() {
    if (handle_ != nullptr) ::CloseHandle(handle_);
  }
  TokenHandle(const TokenHandle&) = delete;
  TokenHandle& operator=(const TokenHandle&) = delete;
  HANDLE* Put() { return &handle_; }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace

WinProcesses::WinProcesses() {
  HMODULE psapi = LoadLibraryW(L"psapi.dll");
  psapi_ = psapi;
  enumProcesses_ = Lookup(psapi, "EnumProcesses");
  getModuleFileNameEx_ = Lookup(psapi, "GetModuleFileNameExW");
  queryFullProcessImageName_ =
      Lookup(GetModuleHandleW(L"kernel32.dll"), "QueryFullProcessImageNameW");
}

WinProcesses::~WinProcesses() {
  if (psapi_ != nullptr) FreeLibrary(static_cast<HMODULE>(psapi_));
}

port::Status WinProcesses::EnumProcesses(std::uint32_t bufferBytes,
                                         std::vector<std::uint32_t>* ids,
                                         std::uint32_t* bytesReturned) {
  if (enumProcesses_ == nullptr) return port::kErrorProcNotFound;
  std::vector<DWORD> buffer(bufferBytes / sizeof(DWORD));
  DWORD returned = 0;
  if (!As<EnumProcessesFn>(enumProcesses_)(buffer.data(),
                                           static_cast<DWORD>(buffer.size() * sizeof(DWORD)),
                                           &returned)) {
    return LastError();
  }
  buffer.resize(returned / sizeof(DWORD));
  ids->assign(buffer.begin(), buffer.end());
  *bytesReturned = returned;
  return port::kErrorSuccess;
}

port::Status WinProcesses::OpenProcess(std::uint32_t access, bool inheritHandle,
                                       std::uint32_t processId, port::HHandle* process) {
  HANDLE handle = ::OpenProcess(access, inheritHandle ? TRUE : FALSE, processId);
  if (handle == nullptr) return LastError();
  *process = FromHandle(handle);
  return port::kErrorSuccess;
}

port::Status WinProcesses::GetModuleFileNameEx(port::HHandle process, std::string* path,
                                               std::uint32_t maxChars) {
  if (getModuleFileNameEx_ == nullptr) return port::kErrorProcNotFound;
  if (maxChars == 0) return port::kErrorInsufficientBuffer;
  std::wstring buffer(maxChars, L'\0');
  const DWORD length = As<GetModuleFileNameExFn>(getModuleFileNameEx_)(
      ToHandle(process), nullptr, buffer.data(), maxChars);
  if (length == 0) return LastError();
  *path = Narrow(buffer.c_str(), length);
  return port::kErrorSuccess;
}

port::Status WinProcesses::QueryFullProcessImageName(port::HHandle process, std::uint32_t flags,
                                                     std::string* path) {
  if (queryFullProcessImageName_ == nullptr) return port::kErrorProcNotFound;
  std::wstring buffer(32768, L'\0');
  DWORD length = static_cast<DWORD>(buffer.size());
  if (!As<QueryFullProcessImageNameFn>(queryFullProcessImageName_)(ToHandle(process), flags,
                                                                   buffer.data(), &length)) {
    return LastError();
  }
  *path = Narrow(buffer.c_str(), length);
  return port::kErrorSuccess;
}

port::Status WinProcesses::CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId,
                                                    port::HHandle* snapshot) {
  HANDLE handle = ::CreateToolhelp32Snapshot(flags, processId);
  if (handle == INVALID_HANDLE_VALUE) return LastError();
  *snapshot = FromHandle(handle);
  return port::kErrorSuccess;
}

port::Status WinProcesses::Process32First(port::HHandle snapshot, port::ProcessEntry* entry) {
  PROCESSENTRY32W raw{};
  raw.dwSize = sizeof(raw);
  if (!::Process32FirstW(ToHandle(snapshot), &raw)) return LastError();
  ToEntry(raw, entry);
  return port::kErrorSuccess;
}

port::Status WinProcesses::Process32Next(port::HHandle snapshot, port::ProcessEntry* entry) {
  PROCESSENTRY32W raw{};
  raw.dwSize = sizeof(raw);
  if (!::Process32NextW(ToHandle(snapshot), &raw)) return LastError();
  ToEntry(raw, entry);
  return port::kErrorSuccess;
}

port::Status WinProcesses::CreateEvent(bool manualReset, bool initialState, std::string_view name,
                                       port::HHandle* event) {
  const Wide wide(name);
  HANDLE handle = ::CreateEventW(nullptr, manualReset ? TRUE : FALSE, initialState ? TRUE : FALSE,
                                 wide.Null());
  if (handle == nullptr) return LastError();
  *event = FromHandle(handle);
  return port::kErrorSuccess;
}

std::uint32_t WinProcesses::WaitForSingleObject(port::HHandle handle, std::uint32_t milliseconds) {
  return ::WaitForSingleObject(ToHandle(handle), milliseconds);
}

port::Status WinProcesses::CloseHandle(port::HHandle handle) {
  if (!::CloseHandle(ToHandle(handle))) return LastError();
  return port::kErrorSuccess;
}

port::Status WinProcesses::SetDebugPrivilege(bool enable, bool* wasEnabled) {
  TokenHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Put())) {
    return LastError();
  }
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  if (!LookupPrivilegeValueW(nullptr, L"SeDebugPrivilege", &privileges.Privileges[0].Luid)) {
    return LastError();
  }
  privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
  TOKEN_PRIVILEGES previous{};
  DWORD previousSize = sizeof(previous);
  if (!AdjustTokenPrivileges(token.Get(), FALSE, &privileges, sizeof(previous), &previous,
                             &previousSize)) {
    return LastError();
  }
  // Success with ERROR_NOT_ALL_ASSIGNED: the account lacks the privilege.
  const DWORD result = GetLastError();
  if (result != ERROR_SUCCESS) return static_cast<port::Status>(result);
  *wasEnabled = previous.PrivilegeCount == 0
                    ? enable
                    : (previous.Privileges[0].Attributes & SE_PRIVILEGE_ENABLED) != 0;
  return port::kErrorSuccess;
}

}  // namespace ombrant::win32
