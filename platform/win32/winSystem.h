// The system-information area of the real Windows port.
#pragma once

#include "platform/port/kvrPortSystem.h"

namespace ombrant::win32 {

// IsWow64Process and GetProcessAffinityMask are looked up in kernel32 when the object is made,
// so that the program still starts on systems that lack them.
class WinSystem final : public port::ISystem {
 public:
  WinSystem();
  WinSystem(const WinSystem&) = delete;
  WinSystem& operator=(const WinSystem&) = delete;

  port::Status GetVersionEx(port::OsVersionInfo* info) override;
  // The 64-bit build answers true: the 32-bit program runs under WOW64 where it runs.
  port::Status IsWow64Process(port::HProcess process, bool* wow64) override;
  port::Status GetProcessAffinityMask(port::HProcess process, std::uintptr_t* processMask,
                                      std::uintptr_t* systemMask) override;
  // The resources of the program's own .exe.
  port::Status LoadModuleResource(std::string_view type, std::string_view name,
                                  std::string* bytes) override;

 private:
  using IsWow64ProcessFn = int(__stdcall*)(void* process, int* wow64);
  using GetProcessAffinityMaskFn = int(__stdcall*)(void* process, std::uintptr_t* processMask,
                                                   std::uintptr_t* systemMask);
  IsWow64ProcessFn isWow64Process_ = nullptr;
  GetProcessAffinityMaskFn getProcessAffinityMask_ = nullptr;
};

}  // namespace ombrant::win32
