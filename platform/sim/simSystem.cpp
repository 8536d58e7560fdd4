#include "platform/sim/simSystem.h"

namespace ombrant::sim {

port::Status SimSystem::GetVersionEx(port::OsVersionInfo* info) {
  *info = settings_.version;
  return port::kErrorSuccess;
}

port::Status SimSystem::IsWow64Process(port::HProcess, bool* wow64) {
  if (!settings_.hasIsWow64Process) return port::kErrorProcNotFound;
  // The program is a 32-bit process: it runs under WOW64 exactly on 64-bit Windows.
  *wow64 = settings_.is64BitWindows;
  return port::kErrorSuccess;
}

port::Status SimSystem::GetProcessAffinityMask(port::HProcess, std::uintptr_t* processMask,
                                               std::uintptr_t* systemMask) {
  if (!settings_.hasGetProcessAffinityMask) return port::kErrorProcNotFound;
  *processMask = settings_.processAffinity;
  *systemMask = settings_.systemAffinity;
  return port::kErrorSuccess;
}

}  // namespace ombrant::sim
