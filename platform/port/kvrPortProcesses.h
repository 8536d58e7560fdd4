// The processes area of the Windows port: PSAPI enumeration, opening a process and reading its
// image path, the tool-help snapshot, and named events.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/port/kvrPortFiles.h"
#include "platform/port/kvrPortSystem.h"
#include "platform/port/kvrPortTypes.h"

namespace ombrant::port {

// Process, snapshot and event handles are kernel handles, all closed with CloseHandle.
using HHandle = std::uintptr_t;
inline constexpr HHandle kNoHandle = 0;

// Status codes of the process calls.
inline constexpr Status kErrorPartialCopy = 299;
inline constexpr Status kErrorNotAllAssigned = 1300;  // a 32-bit caller reading a 64-bit process

// OpenProcess rights.
inline constexpr std::uint32_t kProcessQueryInformation = 0x0400;
inline constexpr std::uint32_t kProcessVmRead = 0x0010;
inline constexpr std::uint32_t kProcessQueryLimitedInformation = 0x1000;

// CreateToolhelp32Snapshot flags.
inline constexpr std::uint32_t kTh32csSnapProcess = 0x00000002;

// WaitForSingleObject results.
inline constexpr std::uint32_t kWaitObject0 = 0x00000000;
inline constexpr std::uint32_t kWaitTimeout = 0x00000102;
inline constexpr std::uint32_t kWaitFailed = 0xFFFFFFFFu;

// The PROCESSENTRY32 fields the program reads.
struct ProcessEntry {
  std::uint32_t processId = 0;
  std::string exeFile;  // szExeFile: a bare file name on the NT family
};

// Text is UTF-8; the real port calls the W functions. Out-parameters stay untouched on failure.
class IProcesses {
 public:
  virtual ~IProcesses() = default;

  // EnumProcesses with a buffer of `bufferBytes` bytes: at most bufferBytes / 4 ids go into
  // `ids`, `*bytesReturned` is what was written. A full buffer means there may be more.
  [[nodiscard]] virtual Status EnumProcesses(std::uint32_t bufferBytes,
                                             std::vector<std::uint32_t>* ids,
                                             std::uint32_t* bytesReturned) = 0;
  [[nodiscard]] virtual Status OpenProcess(std::uint32_t access, bool inheritHandle,
                                           std::uint32_t processId, HHandle* process) = 0;
  // GetModuleFileNameEx for the main module (no module handle), into a buffer of `maxChars`
  // characters, NUL included; the text is cut to fit. kErrorPartialCopy when a 32-bit caller
  // asks about a 64-bit process.
  [[nodiscard]] virtual Status GetModuleFileNameEx(HHandle process, std::string* path,
                                                   std::uint32_t maxChars) = 0;
  // QueryFullProcessImageName (Vista and later, bound at run time: kErrorProcNotFound without
  // it), with flags 0: the Win32 path of the image, whatever the bitness of the process.
  [[nodiscard]] virtual Status QueryFullProcessImageName(HHandle process, std::uint32_t flags,
                                                         std::string* path) = 0;

  [[nodiscard]] virtual Status CreateToolhelp32Snapshot(std::uint32_t flags,
                                                        std::uint32_t processId,
                                                        HHandle* snapshot) = 0;
  // Enables (or disables) SeDebugPrivilege in the program's own token (OpenProcessToken,
  // LookupPrivilegeValue, AdjustTokenPrivileges): with it an administrator opens the processes
  // of other accounts. `*wasEnabled` tells what to restore. kErrorNotAllAssigned when the
  // account does not hold the privilege.
  [[nodiscard]] virtual Status SetDebugPrivilege(bool enable, bool* wasEnabled) = 0;
  // Process32First/Process32Next: kErrorNoMoreFiles at the end.
  [[nodiscard]] virtual Status Process32First(HHandle snapshot, ProcessEntry* entry) = 0;
  [[nodiscard]] virtual Status Process32Next(HHandle snapshot, ProcessEntry* entry) = 0;

  // CreateEvent; an existing event of that name is opened (kErrorSuccess all the same).
  [[nodiscard]] virtual Status CreateEvent(bool manualReset, bool initialState,
                                           std::string_view name, HHandle* event) = 0;
  // Returns kWaitObject0, kWaitTimeout or kWaitFailed, as Windows does.
  virtual std::uint32_t WaitForSingleObject(HHandle handle, std::uint32_t milliseconds) = 0;
  virtual Status CloseHandle(HHandle handle) = 0;
};

}  // namespace ombrant::port
