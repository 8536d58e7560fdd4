#include "platform/vqFileSys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/sim/simFileSystem.h"
#include "platform/sim/simTempFolder.h"

namespace ombrant {
namespace {

// A data folder with files at three depths, a folder whose name matches the file pattern, and
// a second folder for mask lists.
class FindFilesTest : public testing::Test {
 protected:
  FindFilesTest() : files_(temp_.Path()) {
    for (const char* path :
         {"C:\\A\\x.dat", "C:\\A\\b.txt", "C:\\A\\Sub\\y.dat", "C:\\A\\Sub\\Deep\\z.dat",
          "C:\\A\\Sub\\Deep\\note.txt", "C:\\A\\Other\\w.dat", "C:\\B\\c.ini", "C:\\B\\d.txt"}) {
      files_.AddFile(path, "data");
    }
    files_.AddFolder("C:\\A\\folder.dat");
    files_.AddFolder("C:\\A\\Empty");
  }

  void TearDown() override { EXPECT_EQ(files_.OpenFindCount(), 0u) << "a find handle leaked"; }

  std::vector<std::string> Find(std::string_view masks, bool wantFiles, bool wantFolders,
                                bool fullPaths, bool recursive, bool relativeToBase) {
    TStringList result;
    FindFiles(files_, masks, result, wantFiles, wantFolders, fullPaths, recursive, relativeToBase);
    return result.Strings();
  }

  static std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
  }

  sim::SimTempFolder temp_;
  sim::SimFileSystem files_;
};

struct OptionCase {
  const char* masks;
  bool wantFiles, wantFolders, fullPaths, recursive, relativeToBase;
  std::vector<std::string> expected;  // in any order
};

TEST_F(FindFilesTest, TheOptionCombinationsInUse) {
  const OptionCase cases[] = {
      // Every setting file below a data folder, relative to it.
      {"C:\\A\\*.dat",
       true,
       false,
       false,
       true,
       true,
       {"Other\\w.dat", "Sub\\Deep\\z.dat", "Sub\\y.dat", "x.dat"}},
      {"C:\\A\\",
       true,
       false,
       false,
       true,
       true,
       {"Other\\w.dat", "Sub\\Deep\\note.txt", "Sub\\Deep\\z.dat", "Sub\\y.dat", "b.txt", "x.dat"}},
      // The file names in one folder.
      {"C:\\A\\*.*", true, false, false, false, true, {"b.txt", "x.dat"}},
      // Every file below a folder with its full path, whatever RelativeToBase says.
      {"C:\\A\\Sub\\*.dat",
       true,
       false,
       true,
       true,
       false,
       {"C:\\A\\Sub\\Deep\\z.dat", "C:\\A\\Sub\\y.dat"}},
      {"C:\\A\\Sub\\*.dat",
       true,
       false,
       true,
       true,
       true,
       {"C:\\A\\Sub\\Deep\\z.dat", "C:\\A\\Sub\\y.dat"}},
      // All files of one folder with full paths.
      {"C:\\B\\", true, false, true, false, true, {"C:\\B\\c.ini", "C:\\B\\d.txt"}},
      // The sub-folders of one folder with full paths; a folder matching the pattern counts.
      {"C:\\A\\*.*",
       false,
       true,
       true,
       false,
       false,
       {"C:\\A\\Empty", "C:\\A\\Other", "C:\\A\\Sub", "C:\\A\\folder.dat"}},
      // Bare names without full paths, and never "." or "..".
      {"C:\\A\\Sub\\", false, true, false, true, true, {"Deep"}},
      // Nothing for a folder that does not exist or a pattern that matches nothing.
      {"C:\\Missing\\*.*", true, true, true, true, false, {}},
      {"C:\\B\\*.exe", true, true, true, true, false, {}},
  };
  for (const OptionCase& c : cases) {
    EXPECT_EQ(Sorted(Find(c.masks, c.wantFiles, c.wantFolders, c.fullPaths, c.recursive,
                          c.relativeToBase)),
              Sorted(c.expected))
        << c.masks << " files=" << c.wantFiles << " folders=" << c.wantFolders
        << " full=" << c.fullPaths << " recursive=" << c.recursive
        << " relative=" << c.relativeToBase;
  }
}

TEST_F(FindFilesTest, MaskListsScanEachMaskAndHaveNoBase) {
  // Two masks: the names are bare even with RelativeToBase.
  EXPECT_EQ(Sorted(Find("C:\\A\\;C:\\B\\*.ini", true, false, false, true, true)),
            Sorted({"x.dat", "b.txt", "y.dat", "w.dat", "z.dat", "note.txt", "c.ini"}));

  TFileFinder finder(files_);
  finder.MaskList = "C:\\A\\;C:\\B\\*.ini";
  finder.Recursive = false;
  std::vector<std::string> scanned;
  finder.OnScanFolder = [&](TFileFinder&, const std::string& mask) { scanned.push_back(mask); };
  finder.Start();
  EXPECT_EQ(scanned, (std::vector<std::string>{"C:\\A\\*.*", "C:\\B\\*.ini"}));
  EXPECT_EQ(finder.BaseMask(), "");
}

TEST_F(FindFilesTest, FilesPrecedeFoldersAndTheScanIsBreadthFirst) {
  const std::vector<std::string> found = Find("C:\\A\\", true, true, true, true, false);
  ASSERT_EQ(found.size(), 11u);  // 6 files, 5 folders
  const auto isFolder = [this](const std::string& path) { return files_.IsFolder(path); };
  const auto firstFolder = std::find_if(found.begin(), found.end(), isFolder);
  EXPECT_EQ(firstFolder - found.begin(), 6);
  EXPECT_TRUE(std::all_of(firstFolder, found.end(), isFolder));

  // Within each kind, nothing deeper comes before something shallower.
  const auto depth = [](const std::string& path) {
    return std::count(path.begin(), path.end(), '\\');
  };
  for (std::size_t i = 1; i < found.size(); ++i) {
    if (isFolder(found[i]) == isFolder(found[i - 1])) {
      EXPECT_LE(depth(found[i - 1]), depth(found[i])) << found[i - 1] << " before " << found[i];
    }
  }
}

TEST_F(FindFilesTest, AppendsToTheResultList) {
  TStringList result;
  result.Add("kept");
  FindFiles(files_, "C:\\B\\*.ini", result, true, false, true, false, false);
  EXPECT_EQ(result.Strings(), (std::vector<std::string>{"kept", "C:\\B\\c.ini"}));
}

TEST_F(FindFilesTest, EventsCountersAndProgressTexts) {
  TFileFinder finder(files_);
  finder.MaskList = "C:\\B\\*.*";
  std::vector<std::string> log;
  std::vector<std::string> foundFiles;
  std::uint64_t finishedFiles = 99, finishedFolders = 99;
  finder.OnLog = [&](TFileFinder&, const std::string& text) { log.push_back(text); };
  finder.OnFileFound = [&](TFileFinder& sender, const std::string& name,
                           const port::FindData& entry) {
    EXPECT_EQ(sender.CurrentName(), name);
    EXPECT_EQ(entry.size, 4u);
    foundFiles.push_back(name);
  };
  finder.OnFinished = [&](TFileFinder& sender, std::chrono::system_clock::duration elapsed,
                          std::uint64_t files, std::uint64_t folders) {
    EXPECT_FALSE(sender.Running());
    EXPECT_GE(elapsed.count(), 0);
    finishedFiles = files;
    finishedFolders = folders;
  };
  finder.Execute();

  EXPECT_EQ(Sorted(foundFiles), (std::vector<std::string>{"C:\\B\\c.ini", "C:\\B\\d.txt"}));
  EXPECT_EQ(finishedFiles, 2u);
  EXPECT_EQ(finishedFolders, 0u);
  ASSERT_GE(log.size(), 8u);
  EXPECT_EQ(
      std::vector<std::string>(log.begin(), log.begin() + 6),
      (std::vector<std::string>{"TFileFinder.Execute.1", "TFileFinder.Start.0",
                                "TFileFinder.Start.1", "TFileFinder.Start.2", "TFileFinder.Start.3",
                                "TFileFinder.ScanFolder(C:\\B\\*.*): file scan started"}));
  EXPECT_EQ(log.back(), "TFileFinder.ScanFolder(C:\\B\\*.*): folder scan started");
  const long foundTexts = std::count_if(log.begin(), log.end(), [](const std::string& text) {
    return text.starts_with("TFileFinder.ScanFolder(C:\\B\\*.*): file scan found ");
  });
  EXPECT_EQ(foundTexts, 4);  // ".", "..", and the two files
}

// Lists one folder "Sub" for the pattern "*.*" without a folder, as the process's current
// folder would on Windows; has nothing else.
class CurrentFolderFiles final : public port::IFileSystem {
 public:
  std::vector<std::string> patterns;

  port::Status FindFirstFile(std::string_view pattern, port::FindData* data,
                             port::HFind* find) override {
    patterns.emplace_back(pattern);
    if (pattern != "*.*") return port::kErrorPathNotFound;
    *data = port::FindData{"Sub", port::kFileAttributeDirectory, 0, 0};
    *find = 1;
    return port::kErrorSuccess;
  }
  port::Status FindNextFile(port::HFind, port::FindData*) override {
    return port::kErrorNoMoreFiles;
  }
  port::Status FindClose(port::HFind) override { return port::kErrorSuccess; }
  port::Status GetFileAttributes(std::string_view, std::uint32_t*) override { return kNo; }
  port::Status SetFileAttributes(std::string_view, std::uint32_t) override { return kNo; }
  port::Status CreateDirectory(std::string_view) override { return kNo; }
  port::Status RemoveDirectory(std::string_view) override { return kNo; }
  port::Status DeleteFile(std::string_view) override { return kNo; }
  port::Status CopyFile(std::string_view, std::string_view, bool) override { return kNo; }
  port::Status MoveFile(std::string_view, std::string_view) override { return kNo; }
  port::Status ReplaceFileWith(std::string_view, std::string_view) override { return kNo; }
  port::Status ReadWholeFile(std::string_view, std::string*) override { return kNo; }
  port::Status WriteWholeFile(std::string_view, std::string_view) override { return kNo; }
  port::Status GetWindowsDirectory(std::string*) override { return kNo; }
  port::Status GetSystemDirectory(std::string*) override { return kNo; }

 private:
  static constexpr port::Status kNo = port::kErrorCallNotImplemented;
};

TEST_F(FindFilesTest, TheScanEntersNoLinksAndNoHiddenOrSystemFolders) {
  if (!sim::SimFileSystem::HostMakesJunctions()) {
    GTEST_SKIP() << "this host cannot make the symbolic links that model junctions (Wine)";
  }
  // A profile's loop ("Application Data" inside "AppData\Local" leading back to it), a link out
  // of the folder, and hidden and system folders the folder pass does not list.
  files_.AddFile("C:\\P\\Local\\own.dat", "own");
  files_.AddFile("C:\\Outside\\secret.dat", "not the program's");
  files_.AddJunction("C:\\P\\Local\\Application Data", "C:\\P\\Local",
                     port::kFileAttributeHidden | port::kFileAttributeSystem);
  files_.AddJunction("C:\\P\\Local\\Elsewhere", "C:\\Outside", 0);
  files_.AddFile("C:\\P\\Local\\Cache\\hidden.dat", "h");
  ASSERT_EQ(files_.SetFileAttributes("C:\\P\\Local\\Cache", port::kFileAttributeHidden),
            port::kErrorSuccess);
  files_.AddFile("C:\\P\\Local\\Sys\\system.dat", "s");
  ASSERT_EQ(files_.SetFileAttributes("C:\\P\\Local\\Sys", port::kFileAttributeSystem),
            port::kErrorSuccess);

  EXPECT_EQ(Sorted(Find("C:\\P\\*.*", true, false, true, true, false)),
            (std::vector<std::string>{"C:\\P\\Local\\own.dat"}));
  // The links themselves are still listed where the mask matches them.
  EXPECT_EQ(Sorted(Find("C:\\P\\Local\\*.*", false, true, false, false, false)),
            (std::vector<std::string>{"Application Data", "Cache", "Elsewhere", "Sys"}));
}

TEST(FindFiles, AnEmptyMaskDoesNotScanTheCurrentFolder) {
  CurrentFolderFiles files;
  TStringList result;
  FindFiles(files, "C:\\B\\*.ini;", result, true, true, true, true, false);
  EXPECT_EQ(result.Count(), 0);
  EXPECT_EQ(files.patterns, (std::vector<std::string>{"C:\\B\\*.ini", "C:\\B\\*.*", ""}));
}

TEST(ExtractProgramPath, CommandLines) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""},
      {"\"C:\\Program Files\\X\\x.exe\" -a", "C:\\Program Files\\X\\x.exe"},
      {"\"C:\\Program Files\\X\\x.exe\"", "C:\\Program Files\\X\\x.exe"},
      {"\"C:\\Program Files\\X\\x.exe", "C:\\Program Files\\X\\x.exe"},
      {"C:\\Prog\\setup.exe /uninstall", "C:\\Prog\\setup.exe"},
      {"C:\\Prog\\SETUP.EXE /x /y", "C:\\Prog\\SETUP.EXE"},
      {"C:\\Prog\\a.exe b.exe c", "C:\\Prog\\a.exe"},
      {"C:\\Prog\\app.exe,0", "C:\\Prog\\app.exe,0"},
      {"C:\\Prog\\app.exe", "C:\\Prog\\app.exe"},
      {"MsiExec.exe /X{1234}", "MsiExec.exe"},
      {"C:\\Prog\\tool.com /q", "C:\\Prog\\tool.com /q"},
  };
  for (const auto& [commandLine, expected] : cases) {
    EXPECT_EQ(ExtractProgramPath(commandLine), expected) << commandLine;
  }
}

}  // namespace
}  // namespace ombrant
