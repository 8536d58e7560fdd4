// The system-information area of the Windows port: version, WOW64 and affinity.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/port/kvrPortTypes.h"

namespace ombrant::port {

using HProcess = std::uintptr_t;
inline constexpr HProcess kCurrentProcess = static_cast<HProcess>(-1);

// A resource that is not in the program's module.
inline constexpr Status kErrorResourceTypeNotFound = 1813;
inline constexpr Status kErrorResourceNameNotFound = 1814;

// The part of OSVERSIONINFO the program reads.
struct OsVersionInfo {
  std::uint32_t majorVersion = 0;
  std::uint32_t minorVersion = 0;
  std::uint32_t buildNumber = 0;
  std::uint32_t platformId = 0;  // 1: Windows 9x, 2: NT family
};

class ISystem {
 public:
  virtual ~ISystem() = default;

  [[nodiscard]] virtual Status GetVersionEx(OsVersionInfo* info) = 0;
  // Bound at run time: kErrorProcNotFound when the system has no IsWow64Process. The result
  // describes the 32-bit program (the 64-bit Windows build answers as its 32-bit twin would).
  [[nodiscard]] virtual Status IsWow64Process(HProcess process, bool* wow64) = 0;
  // Bound at run time: kErrorProcNotFound when the system has no GetProcessAffinityMask.
  [[nodiscard]] virtual Status GetProcessAffinityMask(HProcess process, std::uintptr_t* processMask,
                                                      std::uintptr_t* systemMask) = 0;

  // FindResource + LoadResource + SizeofResource on the program's own module: the bytes of the
  // resource `name` of the string type `type` (both matched ignoring case, as Windows does).
  // kErrorResourceTypeNotFound or kErrorResourceNameNotFound, with `bytes` untouched, when
  // there is no such resource. The default answers for a program without resources, so that
  // test doubles need not implement it; both real adapters do.
  [[nodiscard]] virtual Status LoadModuleResource(std::string_view type, std::string_view name,
                                                  std::string* bytes) {
    (void)type;
    (void)name;
    (void)bytes;
    return kErrorResourceTypeNotFound;
  }
};

}  // namespace ombrant::port
