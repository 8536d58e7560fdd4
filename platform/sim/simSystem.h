// The simulated machine's version, WOW64 and affinity facts.
#pragma once

#include "platform/port/kvrPortSystem.h"

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

 private:
  SimSystemSettings settings_;
};

}  // namespace ombrant::sim
