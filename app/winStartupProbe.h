// Start-up measuring for the benchmarks under Wine (tools/bench/wine_bench): with the
// environment variable OMBRANT_STARTUP_REPORT naming a file, the program appends one line there
// once its first page is painted, then ends:
//   startup_ms=N peak_working_set_kb=N
// startup_ms counts from the process's creation. Without the variable nothing happens.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/win32/winHeaders.h"

namespace ombrant::win32 {

class StartupProbe {
 public:
  StartupProbe() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"OMBRANT_STARTUP_REPORT", path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) reportFile_.assign(path, length);
  }

  [[nodiscard]] bool Active() const { return !reportFile_.empty(); }

  // Call after each paint of the main window: the first one is reported and ends the program.
  void Painted() {
    if (!Active() || reported_) return;
    reported_ = true;
    FILETIME creation{}, exitTime{}, kernel{}, user{};
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    double startupMs = -1;
    if (GetProcessTimes(GetCurrentProcess(), &creation, &exitTime, &kernel, &user)) {
      startupMs = static_cast<double>(Ticks(now) - Ticks(creation)) / 10000.0;
    }
    // K32GetProcessMemoryInfo lives in kernel32 from Windows 7 on; looked up so that nothing
    // more is linked for a measurement (psapi.h would rename the port's EnumProcesses).
    using MemoryInfoFn = BOOL(WINAPI*)(HANDLE, MemoryCounters*, DWORD);
    std::uint64_t peakKb = 0;
    if (HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll")) {
      const auto memoryInfo = reinterpret_cast<MemoryInfoFn>(
          reinterpret_cast<void*>(GetProcAddress(kernel32, "K32GetProcessMemoryInfo")));
      MemoryCounters counters{};
      counters.cb = sizeof counters;
      if (memoryInfo && memoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
        peakKb = counters.PeakWorkingSetSize / 1024;
      }
    }
    if (FILE* file = _wfopen(reportFile_.c_str(), L"a")) {
      std::fprintf(file, "startup_ms=%.1f peak_working_set_kb=%llu\n", startupMs,
                   static_cast<unsigned long long>(peakKb));
      std::fclose(file);
    }
    PostQuitMessage(0);
  }

 private:
  // PROCESS_MEMORY_COUNTERS.
  struct MemoryCounters {
    DWORD cb;
    DWORD PageFaultCount;
    SIZE_T PeakWorkingSetSize;
    SIZE_T WorkingSetSize;
    SIZE_T QuotaPeakPagedPoolUsage;
    SIZE_T QuotaPagedPoolUsage;
    SIZE_T QuotaPeakNonPagedPoolUsage;
    SIZE_T QuotaNonPagedPoolUsage;
    SIZE_T PagefileUsage;
    SIZE_T PeakPagefileUsage;
  };

  static std::uint64_t Ticks(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  }

  std::wstring reportFile_;
  bool reported_ = false;
};

}  // namespace ombrant::win32
