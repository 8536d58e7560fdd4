// Windows version and platform facts, computed once at start-up.
#pragma once

#include <cstdint>

#include "platform/port/kvrPortSystem.h"

namespace ombrant {

// Bits of the Windows version flags.
inline constexpr std::uint32_t kWinMinor0 = 0x0001;  // major 4: minor versions 0, 1 and 9
inline constexpr std::uint32_t kWinMinor1 = 0x0002;
inline constexpr std::uint32_t kWinMinor9 = 0x0004;
inline constexpr std::uint32_t kWin9x = 0x0008;
inline constexpr std::uint32_t kWin95 = 0x0010;
inline constexpr std::uint32_t kWin95Build950 = 0x0020;
inline constexpr std::uint32_t kWin95Build1111 = 0x0040;
inline constexpr std::uint32_t kWin95Build1212 = 0x0080;
inline constexpr std::uint32_t kWin98 = 0x0100;
inline constexpr std::uint32_t kWin98Build1998 = 0x0200;
inline constexpr std::uint32_t kWin98Build2222 = 0x0400;
inline constexpr std::uint32_t kWinME = 0x0800;
inline constexpr std::uint32_t kWinNT = 0x1000;
inline constexpr std::uint32_t kWinNT351 = 0x2000;
inline constexpr std::uint32_t kWinNT4 = 0x4000;
inline constexpr std::uint32_t kWin2000 = 0x8000;
inline constexpr std::uint32_t kWinXPFamily = 0x10000;
inline constexpr std::uint32_t kWinVersion51 = 0x20000;
inline constexpr std::uint32_t kWinVersion52 = 0x40000;
inline constexpr std::uint32_t kWinVersion52Other = 0x80000;
inline constexpr std::uint32_t kWinVersion52Build3790 = 0x100000;
inline constexpr std::uint32_t kWinVista = 0x200000;

// The version flags for a version as GetVersionEx reports it.
[[nodiscard]] std::uint32_t ComputeWindowsVersionFlags(std::uint32_t major, std::uint32_t minor,
                                                       std::uint32_t build);

// The facts of the running system, read through the port once, when the program starts.
class TNTStuff {
 public:
  explicit TNTStuff(port::ISystem& system);

  [[nodiscard]] std::uint32_t GetWindowsVersionFlags() const { return versionFlags_; }
  [[nodiscard]] bool IsWow64() const { return wow64_; }
  // False, with the masks untouched, when the system cannot tell.
  [[nodiscard]] bool GetProcessAffinity(port::HProcess process, std::uintptr_t* processMask,
                                        std::uintptr_t* systemMask) const;

 private:
  port::ISystem& system_;
  std::uint32_t versionFlags_ = 0;
  bool wow64_ = false;
};

}  // namespace ombrant
