// The real processes area: PSAPI and QueryFullProcessImageName bound at run time, tool help and
// events from kernel32.
#pragma once

#include "platform/port/kvrPortProcesses.h"

namespace ombrant::win32 {

class WinProcesses final : public port::IProcesses {
 public:
  WinProcesses();
  ~WinProcesses() override;
  WinProcesses(const WinProcesses&) = delete;
  WinProcesses& operator=(const WinProcesses&) = delete;

  port::Status EnumProcesses(std::uint32_t bufferBytes, std::vector<std::uint32_t>* ids,
                             std::uint32_t* bytesReturned) override;
  port::Status OpenProcess(std::uint32_t access, bool inheritHandle, std::uint32_t processId,
                           port::HHandle* process) override;
  port::Status GetModuleFileNameEx(port::HHandle process, std::string* path,
                                   std::uint32_t maxChars) override;
  port::Status QueryFullProcessImageName(port::HHandle process, std::uint32_t flags,
                                         std::string* path) override;
  port::Status CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId,
                                        port::HHandle* snapshot) override;
  port::Status SetDebugPrivilege(bool enable, bool* wasEnabled) override;
  port::Status Process32First(port::HHandle snapshot, port::ProcessEntry* entry) override;
  port::Status Process32Next(port::HHandle snapshot, port::ProcessEntry* entry) override;
  port::Status CreateEvent(bool manualReset, bool initialState, std::string_view name,
                           port::HHandle* event) override;
  std::uint32_t WaitForSingleObject(port::HHandle handle, std::uint32_t milliseconds) override;
  port::Status CloseHandle(port::HHandle handle) override;

 private:
  void* psapi_ = nullptr;  // HMODULE, loaded by the constructor
  void* enumProcesses_ = nullptr;
  void* getModuleFileNameEx_ = nullptr;
  void* queryFullProcessImageName_ = nullptr;
};

}  // namespace ombrant::win32
