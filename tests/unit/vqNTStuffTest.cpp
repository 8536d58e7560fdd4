#include "platform/vqNTStuff.h"

#include <gtest/gtest.h>

#include "platform/sim/simSystem.h"

namespace ombrant {
namespace {

struct VersionCase {
  std::uint32_t major, minor, build, flags;
};

TEST(WindowsVersionFlags, FollowTheVersionTable) {
  const VersionCase cases[] = {
      {3, 51, 1057, 0x3000},     // NT 3.51
      {4, 0, 1381, 0x5001},      // NT 4.0
      {4, 0, 950, 0x0039},       // Windows 95
      {4, 0, 1111, 0x0059},      // Windows 95 OSR2
      {4, 0, 1212, 0x0099},      // Windows 95 OSR2.5
      {4, 0, 999, 0x0001},       // major 4 minor 0, unknown build
      {4, 10, 1998, 0x0308},     // Windows 98 as it reports itself
      {4, 1, 1998, 0x030A},      // build rows of minor 1
      {4, 1, 2222, 0x050A},
      {4, 90, 3000, 0x0808},     // Windows ME
      {4, 9, 3000, 0x080C},
      {5, 0, 2195, 0x9000},      // Windows 2000
      {5, 1, 2600, 0x31000},     // XP
      {5, 2, 3790, 0x151000},    // Server 2003 / XP x64
      {5, 2, 3000, 0xC1000},     // 5.2, another build
      {6, 0, 6002, 0x201000},    // Vista
      {6, 1, 7601, 0},           // Windows 7: no flags
      {10, 0, 19045, 0},
  };
  for (const VersionCase& c : cases) {
    EXPECT_EQ(ComputeWindowsVersionFlags(c.major, c.minor, c.build), c.flags)
        << c.major << "." << c.minor << " build " << c.build;
  }
}

TEST(WindowsVersionFlags, NineXBitOnlyOnNineXSystems) {
  EXPECT_NE(ComputeWindowsVersionFlags(4, 10, 1998) & kWin9x, 0u);
  EXPECT_NE(ComputeWindowsVersionFlags(4, 90, 3000) & kWin9x, 0u);
  EXPECT_EQ(ComputeWindowsVersionFlags(4, 0, 1381) & kWin9x, 0u);
  EXPECT_EQ(ComputeWindowsVersionFlags(6, 0, 6000) & kWin9x, 0u);
}

TEST(NTStuff, ReadsTheSimulatedSystemOnce) {
  sim::SimSystem system({{6, 0, 6001, 2}, true, true, true, 3, 15});
  TNTStuff nt(system);
  // Later changes to the machine do not change facts computed at start-up.
  system.Settings().version = {5, 1, 2600, 2};
  EXPECT_EQ(nt.GetWindowsVersionFlags(), 0x201000u);
  EXPECT_TRUE(nt.IsWow64());
  std::uintptr_t p = 0xdeadbeef, s = 0xdeadbeef;
  ASSERT_TRUE(nt.GetProcessAffinity(port::kCurrentProcess, &p, &s));
  EXPECT_EQ(p, 3u);
  EXPECT_EQ(s, 15u);
}

TEST(NTStuff, MissingFunctionsAnswerFalse) {
  sim::SimSystemSettings settings;
  settings.is64BitWindows = true;  // even so: without IsWow64Process nothing can tell
  settings.hasIsWow64Process = false;
  settings.hasGetProcessAffinityMask = false;
  sim::SimSystem system(settings);
  TNTStuff nt(system);
  EXPECT_FALSE(nt.IsWow64());
  std::uintptr_t p = 0xdeadbeef, s = 0xdeadbeef;
  EXPECT_FALSE(nt.GetProcessAffinity(port::kCurrentProcess, &p, &s));
  EXPECT_EQ(p, 0xdeadbeefu);
  EXPECT_EQ(s, 0xdeadbeefu);
}

TEST(NTStuff, ThirtyTwoBitWindowsIsNotWow64) {
  sim::SimSystem system;  // XP, 32-bit
  TNTStuff nt(system);
  EXPECT_FALSE(nt.IsWow64());
  EXPECT_EQ(nt.GetWindowsVersionFlags(), 0x31000u);
}

}  // namespace
}  // namespace ombrant
