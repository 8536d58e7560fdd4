#include "platform/sim/simSystem.h"

#include <utility>

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

void SimSystem::AddResource(std::string_view type, std::string_view name, std::string bytes) {
  resources_[std::string(type)][std::string(name)] = std::move(bytes);
}

void SimSystem::RemoveResource(std::string_view type, std::string_view name) {
  const auto ofType = resources_.find(type);
  if (ofType == resources_.end()) return;
  const auto entry = ofType->second.find(name);
  if (entry != ofType->second.end()) ofType->second.erase(entry);
}

port::Status SimSystem::LoadModuleResource(std::string_view type, std::string_view name,
                                           std::string* bytes) {
  const auto ofType = resources_.find(type);
  if (ofType == resources_.end() || ofType->second.empty()) {
    return port::kErrorResourceTypeNotFound;
  }
  const auto entry = ofType->second.find(name);
  if (entry == ofType->second.end()) return port::kErrorResourceNameNotFound;
  *bytes = entry->second;
  return port::kErrorSuccess;
}

}  // namespace ombrant::sim
