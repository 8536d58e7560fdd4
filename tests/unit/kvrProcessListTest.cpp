// The process list, the running-program test and the wait-and-ask loop, on simulated machines.
#include "catalogue/kvrProcessList.h"

#include <gtest/gtest.h>

#include "accountsTestMachine.h"
#include "resources/OmbrantStrings.h"

namespace ombrant::test {
namespace {

constexpr const char* kFirefox = "C:\\Program Files\\Mozilla Firefox\\firefox.exe";

void AddProcess(AccountsTestMachine& m, std::uint32_t id, std::string path,
                std::uint32_t bits = 32) {
  sim::SimProcess process;
  process.id = id;
  process.path = std::move(path);
  process.bits = bits;
  m.Machine().Processes().push_back(std::move(process));
}

TEST(ProcessList, ListsFullPathsTaggedWithTheirIdsAndUnopenableOnesByTheirNames) {
  AccountsTestMachine m;
  AddProcess(m, 4, "C:\\WINDOWS\\system32\\smss.exe");
  AddProcess(m, 812, kFirefox);
  AddProcess(m, 900, "C:\\WINDOWS\\system32\\lsass.exe");
  m.Machine().Processes().back().openRefused = true;

  TStringList list{"stale line"};
  ASSERT_TRUE(GetProcessList(m.Port(), list, true));
  ASSERT_EQ(list.Count(), 3) << list.Text();
  EXPECT_EQ(list[0], "C:\\WINDOWS\\system32\\smss.exe");
  EXPECT_EQ(list.Objects(0), 4);
  EXPECT_EQ(list[1], kFirefox);
  EXPECT_EQ(list.Objects(1), 812);
  // A process that does not open is known by the snapshot's name of its executable.
  EXPECT_EQ(list[2], "lsass.exe");
  EXPECT_EQ(list.Objects(2), 900);
  EXPECT_TRUE(IsProgramRunning(m.Port(), "C:\\WINDOWS\\system32\\LSASS.EXE"));
  EXPECT_EQ(m.Machine().ProcessArea().OpenHandles(), 0u);

  // A program the machine starts gets a fresh id and is listed with the others.
  const std::uint32_t started = m.Machine().ProcessArea().StartProcess(kFirefox, 32, "Anna");
  EXPECT_GE(started, 1000u);
  ASSERT_TRUE(GetProcessList(m.Port(), list, true));
  ASSERT_EQ(list.Count(), 4) << list.Text();
  EXPECT_EQ(list.Objects(2), static_cast<std::intptr_t>(started));
}

TEST(ProcessList, SeesEveryProcessHoweverManyRun) {
  AccountsTestMachine m;
  for (std::uint32_t id = 1; id <= 3000; ++id) {
    AddProcess(m, id * 4, "C:\\Tools\\worker" + std::to_string(id) + ".exe");
  }
  AddProcess(m, 50000, kFirefox);  // beyond the first 1025 ids

  TStringList list;
  ASSERT_TRUE(GetProcessList(m.Port(), list, true));
  EXPECT_EQ(list.Count(), 3001);
  EXPECT_TRUE(IsProgramRunning(m.Port(), kFirefox));
}

// The tool-help snapshot gives bare names: on Windows 9x, and for a WOW64 program that does not
// need full paths.
TEST(ProcessList, SnapshotWhenFullPathsAreNotAvailableOrNotWanted) {
  struct Case {
    const char* name;
    MachineFlavour flavour;
    std::uint32_t platform;
    bool fullPaths;
    bool snapshot;
  };
  const Case cases[] = {
      {"NT, full paths", kXpEnglish, 2, true, false},
      {"NT, names", kXpEnglish, 2, false, false},
      {"9x", kXpEnglish, 1, true, true},
      {"WOW64, names", kSeven64, 2, false, true},
      {"WOW64, full paths", kSeven64, 2, true, false},
  };
  for (const Case& c : cases) {
    AccountsTestMachine m(c.flavour);
    m.Machine().System().Settings().version.platformId = c.platform;
    AddProcess(m, 812, kFirefox);
    TStringList list;
    ASSERT_TRUE(GetProcessList(m.Port(), list, c.fullPaths)) << c.name;
    if (c.snapshot) {
      // The snapshot lists the idle process too; Windows 9x reports full paths in it.
      ASSERT_EQ(list.Count(), 2) << c.name;
      EXPECT_EQ(list[1], c.platform == 2 ? "firefox.exe" : kFirefox) << c.name;
      EXPECT_EQ(list.Objects(1), 812) << c.name;
    } else {
      ASSERT_EQ(list.Count(), 1) << c.name;
      EXPECT_EQ(list[0], kFirefox) << c.name;
    }
  }
}

TEST(IsProgramRunning, MatchesThePathIgnoringLetterCaseAndAcrossBitness) {
  struct Case {
    const char* name;
    MachineFlavour flavour;
    const char* processPath;
    std::uint32_t bits;
    bool running;
  };
  const Case cases[] = {
      {"same path", kXpEnglish, kFirefox, 32, true},
      {"path in other case", kXpEnglish, "c:\\PROGRAM FILES\\mozilla firefox\\FIREFOX.EXE", 32,
       true},
      {"other program", kXpEnglish, "C:\\Program Files\\Opera\\opera.exe", 32, false},
      {"same name elsewhere", kXpEnglish, "D:\\firefox.exe", 32, false},
      {"64-bit program on Windows 7 x64", kSeven64, kFirefox, 64, true},
      // Windows XP x64 has no call that reads a 64-bit image from a 32-bit program.
      {"64-bit program on XP x64", {"XP x64", {5, 2, 3790, 2}, true, "en",
                                    "C:\\Documents and Settings", "C:\\WINDOWS",
                                    "C:\\Program Files (x86)", "C:\\Program Files"},
       kFirefox, 64, false},
  };
  for (const Case& c : cases) {
    AccountsTestMachine m(c.flavour);
    AddProcess(m, 812, c.processPath, c.bits);
    EXPECT_EQ(IsProgramRunning(m.Port(), kFirefox), c.running) << c.name;
  }
}

TEST(IsProgramRunning, AnUnreadableProcessIsListedButNeverMatches) {
  AccountsTestMachine m({"XP x64", {5, 2, 3790, 2}, true, "en", "C:\\Documents and Settings",
                         "C:\\WINDOWS", "C:\\Program Files (x86)", "C:\\Program Files"});
  AddProcess(m, 812, kFirefox, 64);
  TStringList list;
  ASSERT_TRUE(GetProcessList(m.Port(), list, true));
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list[0], "[System]");
  EXPECT_EQ(list.Objects(0), -1);
  EXPECT_FALSE(IsProgramRunning(m.Port(), "[System]"));
}

TEST(WaitUntilClosed, NotRunningReturnsAtOnceWithoutWaitOrQuestion) {
  AccountsTestMachine m;
  EXPECT_TRUE(WaitUntilProgramClosed(m.Port(), "Mozilla Firefox", kFirefox, 3000));
  EXPECT_TRUE(m.Machine().Ui().Boxes().empty());
  EXPECT_TRUE(m.Machine().ProcessArea().Waits().empty());
}

TEST(WaitUntilClosed, GraceDelayOnTheNamedEventThenAsksUntilClosed) {
  AccountsTestMachine m;
  AddProcess(m, 812, kFirefox);
  sim::SimProcesses& processes = m.Machine().ProcessArea();
  m.Machine().Ui().QueueAnswer(port::kIdOk);  // still open: asked again
  m.Machine().Ui().QueueAnswer(port::kIdOk, [&] { processes.CloseProcess(812); });

  EXPECT_TRUE(WaitUntilProgramClosed(m.Port(), "Mozilla Firefox", kFirefox, 3000));
  EXPECT_EQ(processes.Waits(), std::vector<std::uint32_t>{3000});
  const auto& boxes = m.Machine().Ui().Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text,
            "You need to close Mozilla Firefox before continuing. If you cancel now, Ombrant will "
            "not copy your settings over to your new profile.");
  EXPECT_EQ(boxes[0].caption, kApplicationTitle);
  EXPECT_EQ(boxes[0].type, port::kMbOkCancel | port::kMbIconWarning);
  EXPECT_EQ(processes.OpenHandles(), 0u);  // the event was released
}

TEST(WaitUntilClosed, CancelOrClosingTheBoxEndsTheWaitWithFalse) {
  for (const int answer : {port::kIdCancel, 0}) {
    AccountsTestMachine m;
    AddProcess(m, 812, kFirefox);
    m.Machine().Ui().QueueAnswer(answer);
    m.Machine().Ui().QueueAnswer(port::kIdOk);  // must not be consumed
    EXPECT_FALSE(WaitUntilProgramClosed(m.Port(), "Mozilla Firefox", kFirefox, 0)) << answer;
    EXPECT_EQ(m.Machine().Ui().Boxes().size(), 1u) << answer;
    EXPECT_TRUE(m.Machine().ProcessArea().Waits().empty()) << "no delay asked";
  }
}

TEST(WaitUntilClosed, ProgramThatEndsDuringTheGraceDelayNeedsNoQuestion) {
  AccountsTestMachine m;
  AddProcess(m, 812, kFirefox);
  sim::SimProcesses& processes = m.Machine().ProcessArea();
  processes.SetWaitHook([&] { processes.CloseProcess(812); });
  EXPECT_TRUE(WaitUntilProgramClosed(m.Port(), "Mozilla Firefox", kFirefox, 3000));
  EXPECT_EQ(processes.Waits().size(), 1u);
  EXPECT_TRUE(m.Machine().Ui().Boxes().empty());
}

TEST(SimEvents, ANamedEventLivesWhileAHandleIsOpenAndWakesItsWaiters) {
  AccountsTestMachine m;
  sim::SimProcesses& processes = m.Machine().ProcessArea();
  port::HHandle first = port::kNoHandle;
  port::HHandle second = port::kNoHandle;
  ASSERT_EQ(processes.CreateEvent(true, false, "OmbrantWaitForX", &first), port::kErrorSuccess);
  EXPECT_EQ(processes.WaitForSingleObject(first, 3000), port::kWaitTimeout);
  processes.SignalEvent("OmbrantWaitForX");
  ASSERT_EQ(processes.CreateEvent(true, false, "OmbrantWaitForX", &second), port::kErrorSuccess);
  EXPECT_EQ(processes.WaitForSingleObject(second, 3000), port::kWaitObject0);
  EXPECT_EQ(processes.WaitForSingleObject(first, 3000), port::kWaitObject0) << "manual reset";
  EXPECT_EQ(processes.CloseHandle(first), port::kErrorSuccess);
  EXPECT_EQ(processes.CloseHandle(second), port::kErrorSuccess);
  // Gone with its last handle: a new one starts unsignalled.
  ASSERT_EQ(processes.CreateEvent(true, false, "OmbrantWaitForX", &first), port::kErrorSuccess);
  EXPECT_EQ(processes.WaitForSingleObject(first, 0), port::kWaitTimeout);
  EXPECT_EQ(processes.CloseHandle(first), port::kErrorSuccess);
  EXPECT_EQ(processes.CloseHandle(first), port::kErrorInvalidHandle);
}

}  // namespace
}  // namespace ombrant::test
