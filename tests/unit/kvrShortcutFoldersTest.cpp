#include "catalogue/kvrShortcutFolders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/kvrShortcutFiles.h"
#include "platform/sim/simMachine.h"

namespace ombrant {
namespace {

constexpr const char* kFolder = R"(C:\Links\)";
constexpr const char* kMask = R"(C:\Links\*.lnk)";

class ShortcutFoldersTest : public ::testing::Test {
 public:
  ShortcutFoldersTest() {
    machine_.Configure("en");
    machine_.AddAccount("Admin");
    machine_.SetRunningAccount("Admin");
    machine_.Files().AddFolder(R"(C:\Links)");
  }

  void Link(const std::string& name, const std::string& target, const std::string& arguments) {
    WriteShortcut(port_, kFolder + name, target, target, "", arguments, 0);
  }

  // Sets the link's write time `age` before now, as if written then.
  void Age(const std::string& name, std::chrono::seconds age) {
    const auto host = machine_.Files().HostPath(kFolder + name);
    ASSERT_TRUE(host);
    std::filesystem::last_write_time(*host, std::filesystem::file_time_type::clock::now() - age);
  }

  std::vector<std::string> Listed(TShortcutFolders& folders) {
    std::vector<std::string> lines;
    for (const TShortcutFolders::TLink& link : folders.Links(kMask)) {
      lines.push_back(link.name + "=" + link.target + " " + link.arguments.value_or("(none)"));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
  }

  sim::SimMachine machine_;
  port::Port port_ = machine_.Port();
};

TEST_F(ShortcutFoldersTest, ReadsAnUnchangedLinkOnlyOnce) {
  Link("A.lnk", R"(C:\A\a.exe)", "");
  Link("B.lnk", R"(C:\Windows\system32\runas.exe)", "/user:Bob /savecred x");
  machine_.Files().AddFile(R"(C:\Links\Broken.lnk)", "not a link");
  machine_.Files().AddFolder(R"(C:\Links\Folder.lnk)");
  for (const char* name : {"A.lnk", "B.lnk", "Broken.lnk"}) Age(name, std::chrono::hours(1));

  TShortcutFolders folders(port_);
  const std::vector<std::string> expected = {
      R"(A.lnk=C:\A\a.exe )", R"(B.lnk=C:\Windows\system32\runas.exe /user:Bob /savecred x)"};
  EXPECT_EQ(Listed(folders), expected);
  EXPECT_EQ(folders.LinksRead(), 3u);
  EXPECT_EQ(Listed(folders), expected);
  // The unreadable one is tried again; the two links are not.
  EXPECT_EQ(folders.LinksRead(), 4u);
}

TEST_F(ShortcutFoldersTest, SeesChangedAddedAndRemovedLinks) {
  struct Case {
    const char* what;
    void (*change)(ShortcutFoldersTest&);
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"rewritten with a longer target",
       [](ShortcutFoldersTest& t) { t.Link("A.lnk", R"(C:\Another\a.exe)", ""); },
       {R"(A.lnk=C:\Another\a.exe )", R"(B.lnk=C:\B\b.exe -b)"}},
      {"rewritten with the same size and an older time",
       [](ShortcutFoldersTest& t) {
         t.Link("A.lnk", R"(C:\Z\a.exe)", "");
         t.Age("A.lnk", std::chrono::hours(2));
       },
       {R"(A.lnk=C:\Z\a.exe )", R"(B.lnk=C:\B\b.exe -b)"}},
      {"added", [](ShortcutFoldersTest& t) { t.Link("C.lnk", R"(C:\C\c.exe)", ""); },
       {R"(A.lnk=C:\A\a.exe )", R"(B.lnk=C:\B\b.exe -b)", R"(C.lnk=C:\C\c.exe )"}},
      {"removed",
       [](ShortcutFoldersTest& t) {
         ASSERT_EQ(t.port_.files.DeleteFile(R"(C:\Links\B.lnk)"), port::kErrorSuccess);
       },
       {R"(A.lnk=C:\A\a.exe )"}},
      {"removed and written again under another case",
       [](ShortcutFoldersTest& t) {
         ASSERT_EQ(t.port_.files.DeleteFile(R"(C:\Links\B.lnk)"), port::kErrorSuccess);
         t.Link("b.LNK", R"(C:\B\c.exe)", "-c");
         // Written later than the file it replaces, as any rewrite is; hosts whose clocks
         // stamp coarsely would otherwise give both the same time.
         t.Age("b.LNK", std::chrono::minutes(30));
       },
       {R"(A.lnk=C:\A\a.exe )", R"(b.LNK=C:\B\c.exe -c)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const auto& entry : std::filesystem::directory_iterator(
             *machine_.Files().HostPath(R"(C:\Links)"))) {
      std::filesystem::remove(entry.path());
    }
    Link("A.lnk", R"(C:\A\a.exe)", "");
    Link("B.lnk", R"(C:\B\b.exe)", "-b");
    Age("A.lnk", std::chrono::hours(1));
    Age("B.lnk", std::chrono::hours(1));
    TShortcutFolders folders(port_);
    ASSERT_EQ(Listed(folders).size(), 2u);
    c.change(*this);
    EXPECT_EQ(Listed(folders), c.expected);
  }
}

TEST_F(ShortcutFoldersTest, ALinkWrittenJustNowIsReadAgainUntilItsTimeIsSettled) {
  // A file system stamps with a coarse clock: two writes in a row may carry the same time.
  Link("A.lnk", R"(C:\A\a.exe)", "");
  const auto host = *machine_.Files().HostPath(R"(C:\Links\A.lnk)");
  const auto stamp = std::filesystem::last_write_time(host);
  TShortcutFolders folders(port_);
  EXPECT_EQ(Listed(folders), std::vector<std::string>{R"(A.lnk=C:\A\a.exe )"});
  Link("A.lnk", R"(C:\Z\a.exe)", "");
  std::filesystem::last_write_time(host, stamp);
  EXPECT_EQ(Listed(folders), std::vector<std::string>{R"(A.lnk=C:\Z\a.exe )"});
  EXPECT_EQ(folders.LinksRead(), 2u);
}

TEST_F(ShortcutFoldersTest, ARoundListsEachFolderOnce) {
  Link("A.lnk", R"(C:\A\a.exe)", "");
  TShortcutFolders folders(port_);
  {
    const TShortcutRound round(&folders);
    EXPECT_EQ(Listed(folders).size(), 1u);
    Link("B.lnk", R"(C:\B\b.exe)", "");
    {
      const TShortcutRound inner(&folders);
      EXPECT_EQ(Listed(folders).size(), 1u) << "listed again within the round";
    }
    EXPECT_EQ(Listed(folders).size(), 1u) << "the inner round ended the outer one";
  }
  EXPECT_EQ(Listed(folders).size(), 2u) << "the round's listing outlived it";
  EXPECT_EQ(Listed(folders).size(), 2u);
}

TEST_F(ShortcutFoldersTest, ReadingAheadInStepsLeavesTheListingOnlyWhatChangedSince) {
  for (int i = 0; i < 5; ++i) {
    const std::string name = "L" + std::to_string(i) + ".lnk";
    Link(name, R"(C:\P\)" + std::to_string(i) + ".exe", "");
    Age(name, std::chrono::hours(1));
  }
  machine_.Files().AddFile(R"(C:\Links\Broken.lnk)", "not a link");
  machine_.Files().AddFolder(R"(C:\Links\Folder.lnk)");
  TShortcutFolders folders(port_);

  // The listing is a step of its own, then two links at most per step.
  std::vector<std::size_t> readPerStep;
  bool more = true;
  for (int step = 0; more && step < 20; ++step) {
    const std::size_t before = folders.LinksRead();
    more = folders.ReadAhead(kMask, 2);
    readPerStep.push_back(folders.LinksRead() - before);
  }
  EXPECT_FALSE(more);
  EXPECT_EQ(readPerStep, (std::vector<std::size_t>{0, 2, 2, 2}));

  Link("L1.lnk", R"(C:\Changed\1.exe)", "");  // after the read-ahead: must be seen
  const std::vector<std::string> listed = Listed(folders);
  ASSERT_EQ(listed.size(), 5u);
  EXPECT_EQ(listed[1], R"(L1.lnk=C:\Changed\1.exe )");
  // The changed link and the unreadable one, nothing else.
  EXPECT_EQ(folders.LinksRead(), 6u + 2u);

  // A second pass reads only what is not settled: the link written just now and the broken one.
  while (folders.ReadAhead(kMask, 100)) {
  }
  EXPECT_EQ(folders.LinksRead(), 10u);
}

TEST_F(ShortcutFoldersTest, ReadingAheadNeverChangesWhatTheFolderShows) {
  Link("A.lnk", R"(C:\A\a.exe)", "");
  Link("B.lnk", R"(C:\B\b.exe)", "-b");
  Age("A.lnk", std::chrono::hours(1));
  Age("B.lnk", std::chrono::hours(1));
  TShortcutFolders folders(port_);
  // Changes in the middle of a pass: a link read ahead and then removed, one added that the
  // pass's listing does not hold.
  EXPECT_TRUE(folders.ReadAhead(kMask, 1));
  EXPECT_TRUE(folders.ReadAhead(kMask, 1));
  ASSERT_EQ(port_.files.DeleteFile(R"(C:\Links\A.lnk)"), port::kErrorSuccess);
  Link("C.lnk", R"(C:\C\c.exe)", "");
  EXPECT_FALSE(folders.ReadAhead(kMask, 1));
  EXPECT_EQ(folders.LinksRead(), 2u);
  const std::vector<std::string> now = {R"(B.lnk=C:\B\b.exe -b)", R"(C.lnk=C:\C\c.exe )"};
  EXPECT_EQ(Listed(folders), now);
  EXPECT_EQ(folders.LinksRead(), 3u) << "only the added link was read";

  {
    // A round's listing stays what it was, whatever is read ahead meanwhile.
    const TShortcutRound round(&folders);
    EXPECT_EQ(Listed(folders), now);
    Link("D.lnk", R"(C:\D\d.exe)", "");
    Age("D.lnk", std::chrono::hours(1));
    while (folders.ReadAhead(kMask, 10)) {
    }
    EXPECT_EQ(Listed(folders), now);
  }
  const std::size_t read = folders.LinksRead();
  EXPECT_EQ(Listed(folders).size(), 3u);
  EXPECT_EQ(folders.LinksRead(), read + 1) << "D was read ahead; C, written just now, again";

  // A folder that does not exist has nothing to read.
  EXPECT_TRUE(folders.ReadAhead(R"(C:\Missing\*.lnk)", 5));
  EXPECT_FALSE(folders.ReadAhead(R"(C:\Missing\*.lnk)", 5));
}

}  // namespace
}  // namespace ombrant
