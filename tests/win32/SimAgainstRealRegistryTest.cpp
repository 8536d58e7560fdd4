// The simulated registry and the real one, asked the same questions. The simulated machine
// follows Windows; where Wine answers otherwise, the difference is named and the test skips
// under Wine. Anything else that differs fails.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/sim/simRegistry.h"
#include "tests/contract/ContractEnv.h"

namespace ombrant::test {
namespace {

using namespace ombrant::port;

struct Probe {
  const char* what;
  // Runs against a fresh, empty, writable key and describes what it saw.
  std::function<std::string(IRegistry&, HKey)> run;
  const char* windowsAnswer;
  // What Wine is known to answer instead, and how that differs from Windows.
  const char* wineAnswer;
  const char* wineDifference;
};

std::string SubKeyOrder(IRegistry& reg, HKey base) {
  // Windows orders keys by their upper-cased names: "[" and "_" after the letters.
  for (const char* name : {"b", "_", "A", "[", "a1", "Z0", "~", "1"}) {
    HKey key = kNoKey;
    if (reg.RegCreateKeyEx(base, name, kKeyAllAccess, &key, nullptr) != kErrorSuccess) {
      return std::string("cannot create ") + name;
    }
    (void)reg.RegCloseKey(key);
  }
  std::string order, name;
  for (std::uint32_t i = 0; reg.RegEnumKeyEx(base, i, &name) == kErrorSuccess; ++i) {
    order += name + " ";
  }
  return order;
}

std::string ValueOrder(IRegistry& reg, HKey base) {
  const std::uint8_t data[4] = {1, 0, 0, 0};
  for (const char* name : {"b", "_", "A", "c", "a"}) {  // "a" replaces "A"
    if (reg.RegSetValueEx(base, name, kRegDword, data, 4) != kErrorSuccess) {
      return std::string("cannot set ") + name;
    }
  }
  std::string order, name;
  for (std::uint32_t i = 0; reg.RegEnumValue(base, i, &name) == kErrorSuccess; ++i) {
    order += name + " ";
  }
  return order;
}

std::string OverlongKeyName(IRegistry& reg, HKey base) {
  HKey key = kNoKey;
  const Status s = reg.RegCreateKeyEx(base, std::string(256, 'k'), kKeyAllAccess, &key, nullptr);
  if (s == kErrorSuccess) (void)reg.RegCloseKey(key);
  return "status " + std::to_string(s);
}

TEST(SimAgainstRealRegistry, AnswerAlike) {
  const Probe probes[] = {
      {"sub-key enumeration order", SubKeyOrder, "1 A a1 b Z0 [ _ ~ ", "1 [ _ A a1 b Z0 ~ ",
       "Wine orders sub-keys by lower-cased names, Windows by upper-cased ones"},
      {"value enumeration order", ValueOrder, "b _ A c ", "_ A b c ",
       "Wine lists values sorted by name, Windows in the order they were created"},
      {"a 256-character key name", OverlongKeyName, "status 87", "status 0",
       "Wine creates keys with names over 255 characters, which Windows refuses"},
  };

  std::string wineDifferences;
  for (const Probe& probe : probes) {
    SCOPED_TRACE(probe.what);
    sim::SimRegistry sim(true);
    sim.AddKey("HKEY_CURRENT_USER\\Software\\Ombrant\\Test");
    HKey simBase = kNoKey;
    ASSERT_EQ(sim.RegOpenKeyEx(kHKeyCurrentUser, "Software\\Ombrant\\Test", kKeyAllAccess, &simBase),
              kErrorSuccess);
    const std::string simAnswer = probe.run(sim, simBase);
    EXPECT_EQ(sim.RegCloseKey(simBase), kErrorSuccess);
    EXPECT_EQ(simAnswer, probe.windowsAnswer) << "the simulated registry no longer answers as Windows";

    auto env = MakeContractEnv();
    IRegistry& real = env->Port().registry;
    HKey realBase = kNoKey;
    ASSERT_EQ(real.RegOpenKeyEx(kHKeyCurrentUser, env->TestKeyPath(), kKeyAllAccess, &realBase),
              kErrorSuccess);
    const std::string realAnswer = probe.run(real, realBase);
    EXPECT_EQ(real.RegCloseKey(realBase), kErrorSuccess);

    if (realAnswer == simAnswer) continue;
    if (env->IsWine() && realAnswer == probe.wineAnswer) {
      wineDifferences += std::string("\n  ") + probe.what + ": " + probe.wineDifference;
      continue;
    }
    ADD_FAILURE() << "simulated: \"" << simAnswer << "\", real: \"" << realAnswer << "\"";
  }
  if (!wineDifferences.empty()) {
    GTEST_SKIP() << "where Wine differs from Windows:" << wineDifferences;
  }
}

}  // namespace
}  // namespace ombrant::test
