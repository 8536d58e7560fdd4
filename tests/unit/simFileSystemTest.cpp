#include "platform/sim/simFileSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <vector>

#include "platform/sim/simTempFolder.h"

namespace ombrant::sim {
namespace {

using namespace port;

class SimFileSystemTest : public ::testing::Test {
 protected:
  // Every name in `folder` that `pattern` lists, in listing order.
  std::vector<std::string> List(const std::string& pattern) {
    std::vector<std::string> names;
    FindData data;
    HFind find = kInvalidFind;
    const Status s = files_.FindFirstFile(pattern, &data, &find);
    if (s != kErrorSuccess) {
      names.push_back("error " + std::to_string(s));
      return names;
    }
    do {
      names.push_back(data.name);
    } while (files_.FindNextFile(find, &data) == kErrorSuccess);
    EXPECT_EQ(files_.FindClose(find), kErrorSuccess);
    return names;
  }

  SimTempFolder host_;
  SimFileSystem files_{host_.Path()};
};

TEST(FindPattern, MatchesAsFindFirstFileOnLongNames) {
  struct Case {
    const char* pattern;
    const char* name;
    bool matches;
  };
  const Case cases[] = {
      {"*", "abc", true},
      {"*", ".profile", true},
      {"*.*", "README", true},  // "*.*" also lists names without a dot
      {"*.*", "a.b.c", true},
      {"*.lnk", "x.lnk", true},
      {"*.lnk", "X.LNK", true},
      {"*.lnk", "a.b.lnk", true},
      {"*.lnk", "x.lnkx", false},  // no 8.3 alias "XLNKX~1.LNK" to match
      {"*.lnk", "x.lnk.bak", false},
      {"*.lnk", "lnk", false},
      {"*.txt", ".txt", true},
      {"?", "a", true},
      {"?", "ab", false},
      {"a?", "a", true},  // ? matches nothing at the end of the name
      {"file?.txt", "file.txt", true},  // ... and nothing at a dot
      {"file?.txt", "file1.txt", true},
      {"file?.txt", "file12.txt", false},
      {"*.?", "abc", true},
      {"*.?", "a.b", true},
      {"*.?", "a.bc", false},
      {"a*b", "ab", true},
      {"a*b", "a.x.b", true},
      {"a*b", "abc", false},
      {"*.", "abc", true},
      {"*.", "a.b", false},
      {"*.*", ".", true},
      {"*.txt", ".", false},
      {"prefs*.js", "PREFS-1.JS", true},
      {"\xC3\x84*", "\xC3\xA4rger.txt", true},  // Ä* matches ärger.txt: case ignored beyond ASCII
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchesFindPattern(c.pattern, c.name), c.matches)
        << "pattern \"" << c.pattern << "\" name \"" << c.name << "\"";
  }
}

TEST_F(SimFileSystemTest, ResolvesIgnoringCaseAndKeepsTheCaseOfCreation) {
  files_.AddFile("C:\\Data\\Report.TXT", "old");
  ASSERT_EQ(files_.CreateDirectory("c:\\DATA\\NewFolder"), kErrorSuccess);
  ASSERT_EQ(files_.WriteWholeFile("C:\\data\\REPORT.txt", "new"), kErrorSuccess);
  ASSERT_EQ(files_.WriteWholeFile("C:\\DATA\\newfolder\\Inner.dat", "x"), kErrorSuccess);

  EXPECT_EQ(List("C:\\DATA\\*"), (std::vector<std::string>{".", "..", "NewFolder", "Report.TXT"}));
  EXPECT_EQ(files_.ActualPath("c:\\data\\NEWFOLDER\\inner.DAT"), "C:\\Data\\NewFolder\\Inner.dat");
  EXPECT_EQ(files_.ReadFile("C:\\Data\\Report.TXT"), "new");
  EXPECT_TRUE(std::filesystem::exists(host_.Path() / "C" / "Data" / "Report.TXT"));

  // A rename that only changes the case renames the entry.
  ASSERT_EQ(files_.MoveFile("C:\\Data\\Report.TXT", "C:\\Data\\report.txt"), kErrorSuccess);
  EXPECT_EQ(files_.ActualPath("C:\\DATA\\REPORT.TXT"), "C:\\Data\\report.txt");
}

TEST_F(SimFileSystemTest, RefusesNamesWindowsCannotHold) {
  files_.AddFolder("C:\\Data");
  const char* paths[] = {
      "C:\\Data\\a<b",  "C:\\Data\\a>b",    "C:\\Data\\a:b",     "C:\\Data\\a\"b",
      "C:\\Data\\a|b",  "C:\\Data\\a?b",    "C:\\Data\\a*b",     "C:\\Data\\tab\tname",
      "C:\\Data\\dot.", "C:\\Data\\space ", "C:\\Data/forward",  "Data\\relative",
      "C:relative",     "\\\\server\\share", "1:\\digit",
  };
  for (const char* path : paths) {
    EXPECT_EQ(files_.WriteWholeFile(path, "x"), kErrorInvalidName) << path;
    EXPECT_EQ(files_.CreateDirectory(path), kErrorInvalidName) << path;
    std::uint32_t attributes = 0xdeadbeef;
    EXPECT_EQ(files_.GetFileAttributes(path, &attributes), kErrorInvalidName) << path;
    EXPECT_EQ(attributes, 0xdeadbeef) << path;
  }
  EXPECT_EQ(List("C:\\Data\\a|*"), std::vector<std::string>{"error 123"});
  EXPECT_EQ(List("C:\\Data\\"), std::vector<std::string>{"error 2"});
  EXPECT_EQ(List("C:\\Data/*"), std::vector<std::string>{"error 123"});
  EXPECT_THROW(files_.AddFile("C:\\Data\\bad|name", ""), std::invalid_argument);
  // Nothing was created on the host by the refused calls.
  EXPECT_EQ(List("C:\\Data\\*"), (std::vector<std::string>{".", ".."}));
}

TEST_F(SimFileSystemTest, NormalisesDotsAndDoubleBackslashesAsGetFullPathName) {
  files_.AddFile("C:\\A\\B\\f.txt", "f");
  EXPECT_EQ(files_.ReadFile("C:\\A\\.\\B\\..\\B\\\\f.txt"), "f");
  EXPECT_EQ(files_.ReadFile("C:\\..\\A\\B\\f.txt"), "f");  // nothing above the root
  EXPECT_EQ(List("C:\\A\\B\\.."), std::vector<std::string>{"A"});  // names C:\A itself
  // The root has no "." or "..".
  EXPECT_EQ(List("C:\\*"), std::vector<std::string>{"A"});
  EXPECT_EQ(List("C:\\A\\*"), (std::vector<std::string>{".", "..", "B"}));
  std::uint32_t attributes = 0;
  EXPECT_EQ(files_.GetFileAttributes("D:\\x", &attributes), kErrorPathNotFound);  // no drive D
}

TEST_F(SimFileSystemTest, ListsInNameOrderIgnoringCase) {
  for (const char* name : {"b.txt", "A.txt", "c.TXT", "_x.txt", "B2.txt"}) {
    files_.AddFile(std::string("C:\\L\\") + name, "");
  }
  EXPECT_EQ(List("C:\\L\\*.txt"),
            (std::vector<std::string>{"A.txt", "b.txt", "B2.txt", "c.TXT", "_x.txt"}));
}

TEST_F(SimFileSystemTest, FindHandlesAreCountedAndCheckedWhenClosed) {
  files_.AddFile("C:\\F\\one", "1");
  FindData data;
  HFind find = kInvalidFind;
  ASSERT_EQ(files_.FindFirstFile("C:\\F\\*", &data, &find), kErrorSuccess);
  EXPECT_EQ(files_.OpenFindCount(), 1u);
  EXPECT_EQ(files_.FindClose(find), kErrorSuccess);
  EXPECT_EQ(files_.OpenFindCount(), 0u);
  EXPECT_EQ(files_.FindNextFile(find, &data), kErrorInvalidHandle);
  EXPECT_EQ(files_.FindClose(find), kErrorInvalidHandle);
}

TEST_F(SimFileSystemTest, AccessDeniedLockRefusesChangesButNotReading) {
  files_.AddFile("C:\\Locked\\file.txt", "keep");
  files_.AddFolder("C:\\Target");
  files_.LockPath("C:\\LOCKED\\FILE.TXT", kErrorAccessDenied);
  files_.LockPath("C:\\Target", kErrorAccessDenied);

  std::string bytes;
  EXPECT_EQ(files_.ReadWholeFile("C:\\Locked\\file.txt", &bytes), kErrorSuccess);
  EXPECT_EQ(bytes, "keep");
  EXPECT_EQ(files_.WriteWholeFile("C:\\Locked\\file.txt", "x"), kErrorAccessDenied);
  EXPECT_EQ(files_.DeleteFile("C:\\Locked\\file.txt"), kErrorAccessDenied);
  EXPECT_EQ(files_.MoveFile("C:\\Locked\\file.txt", "C:\\Locked\\other.txt"), kErrorAccessDenied);
  EXPECT_EQ(files_.SetFileAttributes("C:\\Locked\\file.txt", kFileAttributeNormal),
            kErrorAccessDenied);
  // A locked folder takes no new entries, and none leave it.
  EXPECT_EQ(files_.CopyFile("C:\\Locked\\file.txt", "C:\\Target\\copy.txt", false),
            kErrorAccessDenied);
  EXPECT_EQ(files_.WriteWholeFile("C:\\Target\\new.txt", "x"), kErrorAccessDenied);
  EXPECT_EQ(files_.CreateDirectory("C:\\Target\\Sub"), kErrorAccessDenied);
  EXPECT_EQ(files_.RemoveDirectory("C:\\Target"), kErrorAccessDenied);
  EXPECT_EQ(files_.ReadFile("C:\\Locked\\file.txt"), "keep");

  files_.UnlockPath("C:\\Target");
  EXPECT_EQ(files_.CopyFile("C:\\Locked\\file.txt", "C:\\Target\\copy.txt", false), kErrorSuccess);
}

TEST_F(SimFileSystemTest, SharingViolationLockRefusesEveryOpen) {
  files_.AddFile("C:\\Open\\busy.db", "data");
  files_.LockPath("C:\\Open\\busy.db", kErrorSharingViolation);
  std::string bytes = "untouched";
  EXPECT_EQ(files_.ReadWholeFile("C:\\Open\\busy.db", &bytes), kErrorSharingViolation);
  EXPECT_EQ(bytes, "untouched");
  EXPECT_EQ(files_.CopyFile("C:\\Open\\busy.db", "C:\\Open\\copy.db", false),
            kErrorSharingViolation);
  EXPECT_EQ(files_.WriteWholeFile("C:\\Open\\busy.db", "x"), kErrorSharingViolation);
  EXPECT_EQ(files_.DeleteFile("C:\\Open\\busy.db"), kErrorSharingViolation);
  // Looking at it is still possible.
  std::uint32_t attributes = 0;
  EXPECT_EQ(files_.GetFileAttributes("C:\\Open\\busy.db", &attributes), kErrorSuccess);
  EXPECT_THROW(files_.LockPath("C:\\Open\\busy.db", kErrorFileNotFound), std::invalid_argument);
}

TEST_F(SimFileSystemTest, CopyOntoItselfNeverLosesTheFile) {
  files_.AddFile("C:\\Same\\f.txt", "content");
  EXPECT_EQ(files_.CopyFile("C:\\Same\\f.txt", "C:\\SAME\\F.TXT", false), kErrorSharingViolation);
  EXPECT_EQ(files_.CopyFile("C:\\Same\\f.txt", "C:\\Same\\f.txt", true), kErrorFileExists);
  EXPECT_EQ(files_.ReadFile("C:\\Same\\f.txt"), "content");
}

TEST_F(SimFileSystemTest, MovesKeepAttributesAndRefuseToNestAFolderInItself) {
  files_.AddFile("C:\\Tree\\Sub\\ro.txt", "r");
  ASSERT_EQ(files_.SetFileAttributes("C:\\Tree\\Sub\\ro.txt",
                                     kFileAttributeReadOnly | kFileAttributeHidden),
            kErrorSuccess);
  EXPECT_EQ(files_.MoveFile("C:\\Tree", "C:\\Tree\\Sub\\Inside"), kErrorAccessDenied);
  ASSERT_EQ(files_.MoveFile("C:\\Tree", "C:\\Moved"), kErrorSuccess);
  std::uint32_t attributes = 0;
  ASSERT_EQ(files_.GetFileAttributes("C:\\Moved\\Sub\\ro.txt", &attributes), kErrorSuccess);
  EXPECT_EQ(attributes, kFileAttributeReadOnly | kFileAttributeHidden);
  // A file that reappears at the old place starts with fresh attributes.
  files_.AddFile("C:\\Tree\\Sub\\ro.txt", "new");
  ASSERT_EQ(files_.GetFileAttributes("C:\\Tree\\Sub\\ro.txt", &attributes), kErrorSuccess);
  EXPECT_EQ(attributes, kFileAttributeArchive);
  files_.AddFolder("D:\\Other");
  EXPECT_EQ(files_.MoveFile("C:\\Moved", "D:\\Other\\Moved"), kErrorNotSameDevice);
}

TEST_F(SimFileSystemTest, DrivesLoadAndSaveKeepingNameCase) {
  SimTempFolder machine;
  const std::filesystem::path drives = machine.Path() / "drives";
  std::filesystem::create_directories(drives / "C" / "Program Files" / "Mozilla Firefox");
  std::filesystem::create_directories(drives / "d" / "Data");
  std::ofstream(drives / "C" / "Program Files" / "Mozilla Firefox" / "firefox.exe") << "MZ";
  files_.LoadDrives(drives);
  EXPECT_EQ(files_.ReadFile("c:\\program files\\mozilla firefox\\FIREFOX.EXE"), "MZ");
  EXPECT_TRUE(files_.IsFolder("D:\\data"));

  files_.AddFile("C:\\New Folder\\Mixed.Case", "m");
  SimTempFolder out;
  files_.SaveDrives(out.Path() / "drives");
  EXPECT_TRUE(std::filesystem::is_regular_file(out.Path() / "drives" / "C" / "New Folder" /
                                               "Mixed.Case"));
  EXPECT_TRUE(std::filesystem::is_regular_file(out.Path() / "drives" / "C" / "Program Files" /
                                               "Mozilla Firefox" / "firefox.exe"));
  EXPECT_TRUE(std::filesystem::is_directory(out.Path() / "drives" / "D" / "Data"));
}

TEST(SimTempFolder, IsRemovedWithItsContents) {
  std::filesystem::path path;
  {
    SimTempFolder folder("ombrant-unit");
    path = folder.Path();
    std::filesystem::create_directories(path / "a" / "b");
    std::ofstream(path / "a" / "b" / "c") << "x";
    SimTempFolder other("ombrant-unit");
    EXPECT_NE(other.Path(), path);
  }
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace ombrant::sim
