// The simulated machine's version, WOW64 and affinity facts, and the resources of the program
// that runs on it.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "platform/port/kvrPortSystem.h"
#include "platform/vqStrings.h"

namespace ombrant::sim {

struct SimSystemSettings {
  port::OsVersionInfo version{5, 1, 2600, 2};  // Windows XP
  bool is64BitWindows = false;
  bool hasIsWow64Process = true;  // Windows XP before SP2 lacks it
  bool hasGetProcessAffinityMask = true;
  std::uintptr_t processAffinity = 1;
  std::uintptr_t systemAffinity = 1;
};

class SimSystem final : public port::ISystem {
 public:
  explicit SimSystem(SimSystemSettings settings = {}) : settings_(settings) {}

  SimSystemSettings& Settings() { return settings_; }
  const SimSystemSettings& Settings() const { return settings_; }

  port::Status GetVersionEx(port::OsVersionInfo* info) override;
  port::Status IsWow64Process(port::HProcess process, bool* wow64) override;
  port::Status GetProcessAffinityMask(port::HProcess process, std::uintptr_t* processMask,
                                      std::uintptr_t* systemMask) override;

  // The program's own resources (the icons of the applications, for example): a test or the
  // runner provides them. Type and name are matched ignoring case; adding one again replaces it.
  void AddResource(std::string_view type, std::string_view name, std::string bytes);
  void RemoveResource(std::string_view type, std::string_view name);
  port::Status LoadModuleResource(std::string_view type, std::string_view name,
                                  std::string* bytes) override;

 private:
  SimSystemSettings settings_;
  // Keyed by type, then name.
  std::map<std::string, std::map<std::string, std::string, TextLess>, TextLess> resources_;
};

}  // namespace ombrant::sim
