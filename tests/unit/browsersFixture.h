// The browser fixture machines (tests/e2e/machines/browsers-xp and browsers-7x64): their
// folders, and what the browser definition tests do on them.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "catalogue/kvrInstalledSoftware.h"
#include "catalogue/kvrMigration.h"
#include "tests/unit/fixtureMachine.h"
#include "tools/icongen/iconArt.h"

namespace ombrant::test {

struct BrowsersFlavour {
  const char* name;      // for test names
  const char* machine;   // the fixture's folder name
  const char* profiles;  // the profiles root
  const char* appData;   // the roaming application data folder below a profile
  const char* programs;  // where the 32-bit installers put the programs
  const char* software;  // HKEY_LOCAL_MACHINE\SOFTWARE as the 32-bit installers see it

  [[nodiscard]] std::string Profile(std::string_view account) const {
    return std::string(profiles) + "\\" + std::string(account);
  }
  [[nodiscard]] std::string AppData(std::string_view account) const {
    return Profile(account) + "\\" + appData;
  }
};

inline const BrowsersFlavour kBrowsersXp{"Xp",
                                         "browsers-xp",
                                         R"(C:\Documents and Settings)",
                                         "Application Data",
                                         R"(C:\Program Files)",
                                         R"(HKEY_LOCAL_MACHINE\SOFTWARE)"};
inline const BrowsersFlavour kBrowsers7x64{"Win7x64",
                                           "browsers-7x64",
                                           R"(C:\Users)",
                                           R"(AppData\Roaming)",
                                           R"(C:\Program Files (x86))",
                                           R"(HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node)"};

inline void PrintTo(const BrowsersFlavour& flavour, std::ostream* out) { *out << flavour.machine; }

// The test name suffix of a flavour.
inline std::string FlavourName(const ::testing::TestParamInfo<BrowsersFlavour>& info) {
  return info.param.name;
}

// The program's icon pairs for `resourceNames`, drawn as the build draws them.
inline void AddIconPairs(sim::SimMachine& machine, const std::vector<std::string>& resourceNames) {
  for (const std::string& name : resourceNames) {
    const TIconArt* art = FindIconArt(name);
    if (!art) throw std::invalid_argument("no artwork named " + name);
    machine.System().AddResource("SOFTWAREICON16", name, EncodePng(16, 16, RenderIcon(*art, 16)));
    machine.System().AddResource("SOFTWAREICON32", name, EncodePng(32, 32, RenderIcon(*art, 32)));
  }
}

// A file's bytes, or "<missing>".
[[nodiscard]] inline std::string Bytes(sim::SimMachine& machine, std::string_view path) {
  return machine.Files().ReadFile(path).value_or("<missing>");
}

// Text with every line ended by CR LF, as the applications write their files on Windows.
[[nodiscard]] inline std::string Crlf(std::string_view text) {
  std::string result;
  for (const char c : text) {
    if (c == '\n') result += '\r';
    result += c;
  }
  return result;
}

// The runas arguments that start `program` once under Bob.
[[nodiscard]] inline std::string RunAsBob(std::string_view program) {
  return "/user:Bob /savecred \"\\\"" + std::string(program) + "\\\" \"";
}

// Queues the answer to the first-start notice of each program, closing it as the user would
// once it has loaded.
inline void AnswerFirstStarts(sim::SimMachine& machine, const std::vector<std::string>& programs) {
  for (const std::string& program : programs) {
    machine.Ui().QueueAnswer(port::kIdOk, [&machine, program] {
      EXPECT_EQ(machine.ProcessArea().CloseProcessesWithPath(program), 1) << program;
    });
  }
}

// Checks that the run started every program of `programs` once through runas under Bob and
// showed its first-start notice, in order, and nothing else.
inline void ExpectFirstStarts(sim::SimMachine& machine,
                              const std::vector<std::pair<std::string, std::string>>& programs) {
  const auto& boxes = machine.Ui().Boxes();
  const auto& started = machine.Shell().Executed();
  ASSERT_EQ(boxes.size(), programs.size());
  ASSERT_EQ(started.size(), programs.size());
  for (std::size_t i = 0; i < programs.size(); ++i) {
    const auto& [program, displayName] = programs[i];
    EXPECT_EQ(boxes[i].text, FormatOne(kStartOnceNotice, displayName));
    EXPECT_EQ(boxes[i].caption, "Ombrant");
    EXPECT_EQ(boxes[i].type, port::kMbOk | port::kMbIconInformation);
    EXPECT_TRUE(boxes[i].answered) << boxes[i].text;
    EXPECT_EQ(started[i].operation, "open");
    EXPECT_EQ(started[i].file, "runas.exe");
    EXPECT_EQ(started[i].parameters, RunAsBob(program));
    EXPECT_EQ(started[i].showCommand, 5);
  }
  EXPECT_EQ(machine.Ui().PendingAnswers(), 0u);
  EXPECT_TRUE(machine.Processes().empty()) << "every program started was closed";
}

}  // namespace ombrant::test
