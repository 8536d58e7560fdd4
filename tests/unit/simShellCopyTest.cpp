// The simulated shell's copy operation, as the migration uses it and beyond.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/accountsTestMachine.h"

namespace ombrant::test {
namespace {

std::string List(std::initializer_list<std::string> paths) {
  std::string list;
  for (const std::string& path : paths) list += path + '\0';
  return list + '\0';
}

constexpr std::uint16_t kFlags = 0x251;

TEST(SimShellCopy, FilesAndFoldersGoWhereTheyAreSentOverwritingAndMakingFolders) {
  AccountsTestMachine m;
  m.Files().AddFile("C:\\Src\\a.txt", "A");
  m.Files().AddFile("C:\\Src\\Tree\\b.txt", "B");
  m.Files().AddFile("C:\\Src\\Tree\\Deep\\c.txt", "C");
  m.Files().AddFile("C:\\Dst\\x\\a.txt", "old");
  bool aborted = true;
  EXPECT_EQ(m.Port().shell.SHFileOperation(0, port::kFoCopy,
                                           List({"C:\\Src\\a.txt", "C:\\Src\\Tree"}),
                                           List({"C:\\Dst\\x\\a.txt", "C:\\Dst\\New\\Tree2"}),
                                           kFlags, &aborted),
            0);
  EXPECT_FALSE(aborted);
  EXPECT_EQ(m.Files().ReadFile("C:\\Dst\\x\\a.txt"), "A");
  EXPECT_EQ(m.Files().ReadFile("C:\\Dst\\New\\Tree2\\b.txt"), "B");
  EXPECT_EQ(m.Files().ReadFile("C:\\Dst\\New\\Tree2\\Deep\\c.txt"), "C");
  EXPECT_EQ(m.Files().ReadFile("C:\\Src\\a.txt"), "A");

  // Without one destination per source, everything goes into the one folder.
  EXPECT_EQ(m.Port().shell.SHFileOperation(0, port::kFoCopy,
                                           List({"C:\\Src\\a.txt", "C:\\Src\\Tree"}),
                                           List({"C:\\Flat"}), kFlags & ~0x1, nullptr),
            0);
  EXPECT_EQ(m.Files().ReadFile("C:\\Flat\\a.txt"), "A");
  EXPECT_EQ(m.Files().ReadFile("C:\\Flat\\Tree\\Deep\\c.txt"), "C");
}

TEST(SimShellCopy, NamesDifferingOnlyInCaseAreOneFileInANewFolderToo) {
  AccountsTestMachine m;
  m.Files().AddFile("C:\\Src\\one.txt", "first");
  m.Files().AddFile("C:\\Src\\two.txt", "second");
  m.Files().AddFile("C:\\Old\\Kept.TXT", "old");
  const std::string from = List({"C:\\Src\\one.txt", "C:\\Src\\two.txt", "C:\\Src\\one.txt"});
  const std::string to =
      List({"C:\\New\\Sub\\Same.txt", "C:\\New\\Sub\\SAME.TXT", "C:\\Old\\kept.txt"});
  EXPECT_EQ(m.Port().shell.SHFileOperation(0, port::kFoCopy, from, to, kFlags, nullptr), 0);
  // The second name is the first file, overwritten; the folder holds one file, as spelled first.
  EXPECT_EQ(m.Files().ReadFile("C:\\New\\Sub\\same.txt"), "second");
  std::vector<std::string> names;
  port::FindData data;
  port::HFind find = port::kInvalidFind;
  ASSERT_EQ(m.Port().files.FindFirstFile("C:\\New\\Sub\\*", &data, &find),
            port::kErrorSuccess);
  do {
    if (data.name != "." && data.name != "..") names.push_back(data.name);
  } while (m.Port().files.FindNextFile(find, &data) == port::kErrorSuccess);
  (void)m.Port().files.FindClose(find);
  EXPECT_EQ(names, std::vector<std::string>{"Same.txt"});
  // A folder that was there keeps the spelling of what it holds.
  EXPECT_EQ(m.Files().ReadFile("C:\\Old\\KEPT.txt"), "first");
  ASSERT_EQ(m.Port().files.FindFirstFile("C:\\Old\\kept.txt", &data, &find), port::kErrorSuccess);
  EXPECT_EQ(data.name, "Kept.TXT");
  (void)m.Port().files.FindClose(find);
}

TEST(SimShellCopy, FailuresSkipTheItemAndReportTheFirst) {
  AccountsTestMachine m;
  m.Files().AddFile("C:\\Src\\ok.txt", "ok");
  m.Files().AddFile("C:\\Src\\held.txt", "held");
  m.Files().LockPath("C:\\Src\\held.txt", port::kErrorSharingViolation);
  bool aborted = false;
  EXPECT_EQ(m.Port().shell.SHFileOperation(
                0, port::kFoCopy, List({"C:\\Src\\missing.txt", "C:\\Src\\held.txt", "C:\\Src\\ok.txt"}),
                List({"C:\\Dst\\missing.txt", "C:\\Dst\\held.txt", "C:\\Dst\\ok.txt"}), kFlags,
                &aborted),
            port::kErrorFileNotFound);
  EXPECT_TRUE(aborted);
  EXPECT_EQ(m.Files().ReadFile("C:\\Dst\\ok.txt"), "ok");
  EXPECT_FALSE(m.Files().Exists("C:\\Dst\\held.txt"));
  EXPECT_EQ(m.Machine().Shell().FailedCopies().size(), 2u);

  // Lists that do not pair up are refused before anything is copied.
  EXPECT_EQ(m.Port().shell.SHFileOperation(0, port::kFoCopy, List({"C:\\Src\\ok.txt"}),
                                           List({"C:\\A\\1", "C:\\A\\2"}), kFlags, nullptr),
            port::kErrorInvalidParameter);
  EXPECT_FALSE(m.Files().Exists("C:\\A"));
}

}  // namespace
}  // namespace ombrant::test
