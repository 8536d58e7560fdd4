#include "catalogue/kvrShortcutFiles.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "platform/sim/simAccounts.h"
#include "platform/sim/simFileSystem.h"
#include "platform/sim/simProcesses.h"
#include "platform/sim/simRegistry.h"
#include "platform/sim/simSecurity.h"
#include "platform/sim/simShell.h"
#include "platform/sim/simSystem.h"
#include "platform/sim/simTempFolder.h"
#include "platform/sim/simUi.h"

namespace ombrant {
namespace {

using namespace port;

// A shell-link object that records the calls made on it, and can be told to fail or throw.
struct LinkLog {
  std::vector<std::string> calls;
  bool saveFails = false;
  bool throws = false;
};

class RecordingLink final : public IShellLink {
 public:
  explicit RecordingLink(LinkLog& log) : log_(log) {}
  HResult Load(std::string_view f) override { return Call("Load " + std::string(f)); }
  HResult Save(std::string_view f) override {
    const HResult hr = Call("Save " + std::string(f));
    return log_.saveFails ? kEFail : hr;
  }
  HResult GetPath(std::string* p, int n) override {
    *p = "C:\\from\\link.exe";
    return Call("GetPath " + std::to_string(n));
  }
  HResult GetArguments(std::string* a, int n) override {
    *a = "-from-link";
    return Call("GetArguments " + std::to_string(n));
  }
  HResult GetDescription(std::string*, int) override { return Call("GetDescription"); }
  HResult GetWorkingDirectory(std::string*, int) override { return Call("GetWorkingDirectory"); }
  HResult GetIconLocation(std::string*, int, int*) override { return Call("GetIconLocation"); }
  HResult SetPath(std::string_view p) override { return Call("SetPath " + std::string(p)); }
  HResult SetArguments(std::string_view a) override {
    return Call("SetArguments " + std::string(a));
  }
  HResult SetDescription(std::string_view d) override {
    return Call("SetDescription " + std::string(d));
  }
  HResult SetWorkingDirectory(std::string_view w) override {
    return Call("SetWorkingDirectory " + std::string(w));
  }
  HResult SetIconLocation(std::string_view f, int i) override {
    return Call("SetIconLocation " + std::string(f) + "," + std::to_string(i));
  }

 private:
  HResult Call(std::string call) {
    log_.calls.push_back(std::move(call));
    if (log_.throws) throw std::runtime_error("shell link failure");
    return kSOk;
  }
  LinkLog& log_;
};

class RecordingShell final : public IShell {
 public:
  explicit RecordingShell(LinkLog& log) : log_(log) {}
  Status GetSpecialFolderPath(int, std::string*) override { return kErrorFileNotFound; }
  std::unique_ptr<IShellLink> CreateShellLink() override {
    return std::make_unique<RecordingLink>(log_);
  }

 private:
  LinkLog& log_;
};

class ShortcutFilesTest : public ::testing::Test {
 protected:
  ShortcutFilesTest() { files_.AddFolder("C:\\Links"); }

  std::string WorkingFolderOf(std::string_view linkFile) {
    std::unique_ptr<IShellLink> link = shell_.CreateShellLink();
    EXPECT_EQ(link->Load(linkFile), kSOk);
    std::string folder = "(unset)";
    EXPECT_EQ(link->GetWorkingDirectory(&folder, 261), kSOk);
    return folder;
  }

  sim::SimTempFolder host_;
  sim::SimFileSystem files_{host_.Path()};
  sim::SimSystem system_;
  sim::SimShell shell_{files_, system_};
  sim::SimUi ui_;
  sim::SimRegistry registry_{false};
  sim::SimFileAcls acls_{files_};
  sim::SimAccounts accounts_{registry_, files_, acls_};
  sim::SimSecurity security_{accounts_, acls_};
  std::vector<sim::SimProcess> processList_;
  sim::SimProcesses processes_{processList_, system_};
  Port port_{registry_, system_, files_, shell_, ui_, accounts_, security_, processes_};
};

TEST_F(ShortcutFilesTest, WrittenShortcutReadsBackWithTheTargetFolderAsWorkingFolder) {
  files_.AddFile("C:\\Program Files\\Mozilla Firefox\\firefox.exe", "MZ");
  WriteShortcut(port_, "C:\\Links\\Firefox.lnk", "C:\\Program Files\\Mozilla Firefox\\firefox.exe",
                "C:\\Program Files\\Mozilla Firefox\\firefox.exe", "Browse the web", "-P default",
                2);
  std::string target, arguments;
  ASSERT_TRUE(ReadShortcutTargetAndArguments(port_, "C:\\LINKS\\firefox.LNK", target, arguments));
  EXPECT_EQ(target, "C:\\Program Files\\Mozilla Firefox\\firefox.exe");
  EXPECT_EQ(arguments, "-P default");
  std::string onlyTarget;
  ASSERT_TRUE(ReadShortcutTarget(port_, "C:\\Links\\Firefox.lnk", onlyTarget));
  EXPECT_EQ(onlyTarget, target);
  EXPECT_EQ(WorkingFolderOf("C:\\Links\\Firefox.lnk"), "C:\\Program Files\\Mozilla Firefox\\");

  std::unique_ptr<IShellLink> link = shell_.CreateShellLink();
  ASSERT_EQ(link->Load("C:\\Links\\Firefox.lnk"), kSOk);
  std::string description, icon;
  int index = -1;
  EXPECT_EQ(link->GetDescription(&description, 261), kSOk);
  EXPECT_EQ(link->GetIconLocation(&icon, 261, &index), kSOk);
  EXPECT_EQ(description, "Browse the web");
  EXPECT_EQ(icon, "C:\\Program Files\\Mozilla Firefox\\firefox.exe");
  EXPECT_EQ(index, 2);
  EXPECT_TRUE(ui_.Boxes().empty());
}

TEST_F(ShortcutFilesTest, BareTargetGetsAnEmptyWorkingFolder) {
  WriteShortcut(port_, "C:\\Links\\Mail (as Anna-online).lnk", "runas", "", "",
                "/user:Anna-online /savecred \"\\\"C:\\Mail\\mail.exe\\\" \"", 0);
  std::string target = "junk", arguments = "junk";
  ASSERT_TRUE(ReadShortcutTargetAndArguments(port_, "C:\\Links\\Mail (as Anna-online).lnk",
                                             target, arguments));
  EXPECT_EQ(target, "runas");
  EXPECT_EQ(arguments, "/user:Anna-online /savecred \"\\\"C:\\Mail\\mail.exe\\\" \"");
  EXPECT_EQ(WorkingFolderOf("C:\\Links\\Mail (as Anna-online).lnk"), "");
}

TEST_F(ShortcutFilesTest, EmptyIconDescriptionAndArgumentsAreNotSet) {
  LinkLog log;
  RecordingShell recording(log);
  Port port{registry_, system_, files_, recording, ui_, accounts_, security_, processes_};
  WriteShortcut(port, "C:\\Links\\a.lnk", "C:\\App\\a.exe", "", "", "", 5);
  EXPECT_EQ(log.calls, (std::vector<std::string>{"SetPath C:\\App\\a.exe",
                                                 "SetWorkingDirectory C:\\App\\",
                                                 "Save C:\\Links\\a.lnk"}));
  log.calls.clear();
  WriteShortcut(port, "C:\\Links\\b.lnk", "C:\\b.exe", "C:\\i.ico", "d", "-x", -3);
  EXPECT_EQ(log.calls, (std::vector<std::string>{
                           "SetPath C:\\b.exe", "SetIconLocation C:\\i.ico,-3",
                           "SetDescription d", "SetWorkingDirectory C:\\", "SetArguments -x",
                           "Save C:\\Links\\b.lnk"}));
  // Texts are read back through buffers of 511 characters.
  log.calls.clear();
  std::string target, arguments;
  ASSERT_TRUE(ReadShortcutTargetAndArguments(port, "C:\\Links\\b.lnk", target, arguments));
  EXPECT_EQ(log.calls, (std::vector<std::string>{"Load C:\\Links\\b.lnk", "GetPath 511",
                                                 "GetArguments 511"}));
}

TEST_F(ShortcutFilesTest, UnreadableLinkLeavesTheCallersTextsAlone) {
  files_.AddFile("C:\\Links\\notes.lnk", "this is not a shortcut");
  files_.AddFile("C:\\Links\\empty.lnk", "");
  WriteShortcut(port_, "C:\\Links\\good.lnk", "C:\\good.exe", "", "", "", 0);
  const std::string good = *files_.ReadFile("C:\\Links\\good.lnk");
  files_.AddFile("C:\\Links\\cut.lnk", good.substr(0, good.size() / 2));
  for (const char* file : {"C:\\Links\\notes.lnk", "C:\\Links\\empty.lnk", "C:\\Links\\cut.lnk",
                           "C:\\Links\\missing.lnk", "C:\\Missing\\x.lnk", "C:\\Links\\bad|name.lnk",
                           "C:\\Links"}) {
    std::string target = "before", arguments = "args before";
    EXPECT_FALSE(ReadShortcutTargetAndArguments(port_, file, target, arguments)) << file;
    EXPECT_FALSE(ReadShortcutTarget(port_, file, target)) << file;
    EXPECT_EQ(target, "before") << file;
    EXPECT_EQ(arguments, "args before") << file;
  }
  EXPECT_TRUE(ui_.Boxes().empty());
}

TEST_F(ShortcutFilesTest, LongTextsAreCutToFiveHundredTenCharacters) {
  std::string target = "C:";
  while (target.size() < 600) target += "\\" + std::string(40, 'd');
  target += "\\app.exe";
  const std::string arguments(700, 'a');
  WriteShortcut(port_, "C:\\Links\\long.lnk", target, "", "", arguments, 0);
  std::string readTarget, readArguments;
  ASSERT_TRUE(ReadShortcutTargetAndArguments(port_, "C:\\Links\\long.lnk", readTarget,
                                             readArguments));
  EXPECT_EQ(readTarget, target.substr(0, 510));
  EXPECT_EQ(readArguments, arguments.substr(0, 510));
}

TEST_F(ShortcutFilesTest, UnsavableLinkShowsTheBoxAndReturns) {
  for (const char* file : {"C:\\Links\\a|b.lnk", "C:\\No Such Folder\\x.lnk", "C:\\Links\\dot."}) {
    ui_.ClearBoxes();
    ui_.QueueAnswer(kIdOk);
    WriteShortcut(port_, file, "C:\\App\\app.exe", "", "", "", 0);
    ASSERT_EQ(ui_.Boxes().size(), 1u) << file;
    const sim::MessageBoxRecord& box = ui_.Boxes()[0];
    EXPECT_EQ(box.text, "could not save the shortcut");
    EXPECT_EQ(box.caption, "Setting link");
    EXPECT_EQ(box.type, kMbOk | port::kMbTaskModal) << "modal to the window, though it has no owner";
    EXPECT_EQ(box.owner, 0u);
    EXPECT_FALSE(files_.Exists(file)) << file;
  }
  // A file that may not be replaced fails the same way.
  WriteShortcut(port_, "C:\\Links\\ro.lnk", "C:\\old.exe", "", "", "", 0);
  ASSERT_EQ(files_.SetFileAttributes("C:\\Links\\ro.lnk", kFileAttributeReadOnly), kErrorSuccess);
  ui_.ClearBoxes();
  ui_.QueueAnswer(kIdOk);
  WriteShortcut(port_, "C:\\Links\\ro.lnk", "C:\\new.exe", "", "", "", 0);
  EXPECT_EQ(ui_.Boxes().size(), 1u);
  std::string target;
  ASSERT_TRUE(ReadShortcutTarget(port_, "C:\\Links\\ro.lnk", target));
  EXPECT_EQ(target, "C:\\old.exe");
}

TEST_F(ShortcutFilesTest, NoShellLinkObjectOrAFailingOneIsSwallowed) {
  shell_.SetShellLinkAvailable(false);
  WriteShortcut(port_, "C:\\Links\\x.lnk", "C:\\x.exe", "", "", "", 0);
  EXPECT_FALSE(files_.Exists("C:\\Links\\x.lnk"));
  std::string target = "before";
  EXPECT_FALSE(ReadShortcutTarget(port_, "C:\\Links\\x.lnk", target));
  EXPECT_EQ(target, "before");
  EXPECT_TRUE(ui_.Boxes().empty());  // nothing was tried, so nothing is reported

  LinkLog log;
  log.throws = true;
  RecordingShell throwing(log);
  Port port{registry_, system_, files_, throwing, ui_, accounts_, security_, processes_};
  EXPECT_NO_THROW(WriteShortcut(port, "C:\\Links\\y.lnk", "C:\\y.exe", "", "", "", 0));
  std::string arguments = "args";
  EXPECT_FALSE(ReadShortcutTargetAndArguments(port, "C:\\Links\\y.lnk", target, arguments));
  EXPECT_EQ(target, "before");
  EXPECT_EQ(arguments, "args");

  // A failed save reports once, with no owner window.
  log.throws = false;
  log.saveFails = true;
  ui_.QueueAnswer(kIdOk);
  WriteShortcut(port, "C:\\Links\\z.lnk", "C:\\z.exe", "", "", "", 0);
  ASSERT_EQ(ui_.Boxes().size(), 1u);
  EXPECT_EQ(ui_.Boxes()[0].text, "could not save the shortcut");
}

}  // namespace
}  // namespace ombrant
