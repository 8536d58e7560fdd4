#include "platform/vqNTStuff.h"

namespace ombrant {

std::uint32_t ComputeWindowsVersionFlags(std::uint32_t major, std::uint32_t minor,
                                         std::uint32_t build) {
  struct Row {
    std::uint32_t major, minor, flags;
  };
  static constexpr Row kRows[] = {
      {3, 51, 0x3000},  {4, 0, 0x0001},  {4, 1, 0x0002},  {4, 9, 0x0004},   {4, 10, 0x0308},
      {4, 90, 0x0808},  {5, 0, 0x9000},  {5, 1, 0x31000}, {5, 2, 0x41000},  {6, 0, 0x201000},
  };
  struct BuildRow {
    std::uint32_t major, minor, build, flags;
  };
  static constexpr BuildRow kBuilds[] = {
      {4, 0, 950, 0x0038},  {4, 0, 1111, 0x0058}, {4, 0, 1212, 0x0098}, {4, 0, 1381, 0x5000},
      {4, 1, 1998, 0x0308}, {4, 1, 2222, 0x0508}, {4, 9, 3000, 0x0808},
  };

  std::uint32_t flags = 0;
  for (const Row& row : kRows) {
    if (row.major == major && row.minor == minor) flags = row.flags;
  }
  for (const BuildRow& row : kBuilds) {
    if (row.major == major && row.minor == minor && row.build == build) flags |= row.flags;
  }
  // Version 5.2 splits on the build alone: 3790 is Server 2003 / XP x64.
  if (major == 5 && minor == 2) flags |= build == 3790 ? 0x110000 : 0x80000;
  return flags;
}

TNTStuff::TNTStuff(port::ISystem& system) : system_(system) {
  port::OsVersionInfo info;
  if (system_.GetVersionEx(&info) == port::kErrorSuccess) {
    versionFlags_ = ComputeWindowsVersionFlags(info.majorVersion, info.minorVersion, info.buildNumber);
  }
  bool wow64 = false;
  wow64_ = system_.IsWow64Process(port::kCurrentProcess, &wow64) == port::kErrorSuccess && wow64;
}

bool TNTStuff::GetProcessAffinity(port::HProcess process, std::uintptr_t* processMask,
                                  std::uintptr_t* systemMask) const {
  std::uintptr_t p = 0;
  std::uintptr_t s = 0;
  if (system_.GetProcessAffinityMask(process, &p, &s) != port::kErrorSuccess) return false;
  *processMask = p;
  *systemMask = s;
  return true;
}

}  // namespace ombrant
