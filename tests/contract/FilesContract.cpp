// The file-system area, against the simulated machine and the real port alike.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/vqStrings.h"
#include "tests/contract/ContractEnv.h"

namespace ombrant::test {
namespace {

using namespace port;

class FilesContract : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = MakeContractEnv();
    root_ = env_->TestFolderPath();
  }

  IFileSystem& Files() { return env_->Port().files; }
  std::string P(std::string_view relative) const { return root_ + "\\" + std::string(relative); }

  void Write(std::string_view relative, std::string_view bytes) {
    ASSERT_EQ(Files().WriteWholeFile(P(relative), bytes), kErrorSuccess) << relative;
  }
  void Folder(std::string_view relative) {
    ASSERT_EQ(Files().CreateDirectory(P(relative)), kErrorSuccess) << relative;
  }
  std::string Read(std::string_view relative) {
    std::string bytes = "(unread)";
    const Status s = Files().ReadWholeFile(P(relative), &bytes);
    return s == kErrorSuccess ? bytes : "error " + std::to_string(s);
  }
  std::string Attributes(std::string_view relative) {
    std::uint32_t attributes = 0xdeadbeef;
    const Status s = Files().GetFileAttributes(P(relative), &attributes);
    if (s != kErrorSuccess) {
      return "error " + std::to_string(s) + (attributes == 0xdeadbeef ? "" : " (out written)");
    }
    return std::to_string(attributes);
  }

  // The listing of `pattern` below the test folder, sorted (the order is the file system's),
  // or the error of FindFirstFile. Checks that the enumeration ends with kErrorNoMoreFiles.
  std::vector<std::string> List(std::string_view pattern, std::vector<FindData>* entries = nullptr) {
    FindData data;
    HFind find = kInvalidFind;
    const Status s = Files().FindFirstFile(P(pattern), &data, &find);
    if (s != kErrorSuccess) return {"error " + std::to_string(s)};
    std::vector<std::string> names;
    Status next = kErrorSuccess;
    do {
      names.push_back(data.name);
      if (entries) entries->push_back(data);
    } while ((next = Files().FindNextFile(find, &data)) == kErrorSuccess);
    EXPECT_EQ(next, kErrorNoMoreFiles) << pattern;
    EXPECT_EQ(Files().FindClose(find), kErrorSuccess) << pattern;
    std::sort(names.begin(), names.end());
    return names;
  }

  std::unique_ptr<ContractEnv> env_;
  std::string root_;
};

using Names = std::vector<std::string>;

TEST_F(FilesContract, WholeFilesRoundTripByteForByte) {
  std::string big(1 << 20, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 251);
  const std::string contents[] = {"", "a", std::string("\0\xFF\r\n\x1A z", 7), big};
  for (const std::string& bytes : contents) {
    Write("f.bin", bytes);
    EXPECT_EQ(Read("f.bin"), bytes) << "size " << bytes.size();
  }
  Write("f.bin", "longer content");
  Write("f.bin", "short");  // replacing truncates
  EXPECT_EQ(Read("f.bin"), "short");
}

TEST_F(FilesContract, ReadAndWriteReportWhatIsMissing) {
  Folder("Dir");
  EXPECT_EQ(Read("missing.txt"), "error 2");
  EXPECT_EQ(Read("Missing\\f.txt"), "error 3");
  EXPECT_EQ(Read("Dir"), "error 5");
  EXPECT_EQ(Files().WriteWholeFile(P("Missing\\f.txt"), "x"), kErrorPathNotFound);
  EXPECT_EQ(Files().WriteWholeFile(P("Dir"), "x"), kErrorAccessDenied);
  EXPECT_EQ(List("*"), (Names{".", "..", "Dir"}));
}

TEST_F(FilesContract, NamesIgnoreCaseAndKeepTheCaseTheyWereCreatedWith) {
  Folder("MixedCase");
  Write("MIXEDCASE\\File.TXT", "one");
  Write("mixedcase\\FILE.txt", "two");  // the same file
  EXPECT_EQ(Read("mixedCASE\\file.TXT"), "two");
  EXPECT_EQ(List("*"), (Names{".", "..", "MixedCase"}));
  EXPECT_EQ(List("MIXEDCASE\\*"), (Names{".", "..", "File.TXT"}));
  EXPECT_EQ(Attributes("MIXEDCASE"), std::to_string(kFileAttributeDirectory));
}

TEST_F(FilesContract, NamesWindowsCannotHoldAreRefused) {
  for (const char* name : {"a|b", "a<b", "a>b", "a\"b", "a*b", "a?b"}) {
    EXPECT_EQ(Files().WriteWholeFile(P(name), "x"), kErrorInvalidName) << name;
    EXPECT_EQ(Files().CreateDirectory(P(name)), kErrorInvalidName) << name;
  }
  EXPECT_EQ(List("*"), (Names{".", ".."}));
}

TEST_F(FilesContract, EnumerationMatchesWildcardsOnLongNames) {
  for (const char* file : {"a.txt", "B.TXT", "c.lnk", "d.lnk.bak", "noext", "long name.text"}) {
    Write(file, "x");
  }
  Folder("Sub");
  const Names all = {".", "..", "B.TXT", "Sub", "a.txt", "c.lnk", "d.lnk.bak", "long name.text",
                     "noext"};
  struct Case {
    const char* pattern;
    Names names;
  };
  const Case cases[] = {
      {"*", all},
      {"*.*", all},  // names without a dot too
      {"*.txt", {"B.TXT", "a.txt"}},
      {"*.lnk", {"c.lnk"}},  // not d.lnk.bak
      {"?.txt", {"B.TXT", "a.txt"}},
      {"no*", {"noext"}},
      {"*name*", {"long name.text"}},
      {"SUB", {"Sub"}},  // no wildcard: the entry itself
      {"zzz*", {"error 2"}},
      {"Missing\\*", {"error 3"}},
      {"Sub\\*", {".", ".."}},
      {"Sub\\*.txt", {"error 2"}},
  };
  for (const Case& c : cases) EXPECT_EQ(List(c.pattern), c.names) << c.pattern;
}

TEST_F(FilesContract, FoundEntriesDescribeThemselves) {
  Write("five.bin", "12345");
  Folder("Sub");
  std::vector<FindData> entries;
  ASSERT_EQ(List("*", &entries), (Names{".", "..", "Sub", "five.bin"}));
  for (const FindData& e : entries) {
    EXPECT_NE(e.lastWriteTime, 0u) << e.name;
    if (e.name == "five.bin") {
      EXPECT_EQ(e.size, 5u);
      EXPECT_EQ(e.attributes & kFileAttributeDirectory, 0u);
      EXPECT_EQ(std::to_string(e.attributes), Attributes("five.bin"));
    } else {
      EXPECT_NE(e.attributes & kFileAttributeDirectory, 0u) << e.name;
    }
  }
}

TEST_F(FilesContract, ReadOnlyFilesCannotBeDeletedUntilCleared) {
  Write("ro.txt", "keep");
  ASSERT_EQ(Files().SetFileAttributes(P("ro.txt"), kFileAttributeReadOnly), kErrorSuccess);
  EXPECT_NE(std::stoul(Attributes("ro.txt")) & kFileAttributeReadOnly, 0u);
  EXPECT_EQ(Files().DeleteFile(P("ro.txt")), kErrorAccessDenied);
  // A copy takes the attributes of its source.
  ASSERT_EQ(Files().CopyFile(P("ro.txt"), P("copy.txt"), true), kErrorSuccess);
  EXPECT_NE(std::stoul(Attributes("copy.txt")) & kFileAttributeReadOnly, 0u);

  ASSERT_EQ(Files().SetFileAttributes(P("ro.txt"), kFileAttributeNormal), kErrorSuccess);
  EXPECT_EQ(std::stoul(Attributes("ro.txt")) & kFileAttributeReadOnly, 0u);
  EXPECT_EQ(Files().DeleteFile(P("ro.txt")), kErrorSuccess);
  EXPECT_EQ(Attributes("ro.txt"), "error 2");
  EXPECT_EQ(Attributes("Missing\\ro.txt"), "error 3");
  EXPECT_EQ(Files().SetFileAttributes(P("ro.txt"), kFileAttributeNormal), kErrorFileNotFound);
}

TEST_F(FilesContract, ReadOnlyFilesRefuseToBeReplacedAndAttributesAreExact) {
  if (env_->IsWine()) {
    GTEST_SKIP() << "Wine reports every file as archived and keeps read-only as Unix "
                    "permissions, which do not bind the superuser the tests run as";
  }
  Write("ro.txt", "keep");
  Write("other.txt", "other");
  EXPECT_EQ(Attributes("ro.txt"), std::to_string(kFileAttributeArchive));
  ASSERT_EQ(Files().SetFileAttributes(P("ro.txt"), kFileAttributeReadOnly), kErrorSuccess);
  EXPECT_EQ(Attributes("ro.txt"), std::to_string(kFileAttributeReadOnly));
  EXPECT_EQ(Files().WriteWholeFile(P("ro.txt"), "x"), kErrorAccessDenied);
  EXPECT_EQ(Files().CopyFile(P("other.txt"), P("ro.txt"), false), kErrorAccessDenied);
  EXPECT_EQ(Read("ro.txt"), "keep");
  ASSERT_EQ(Files().SetFileAttributes(P("ro.txt"), kFileAttributeNormal), kErrorSuccess);
  EXPECT_EQ(Attributes("ro.txt"), std::to_string(kFileAttributeNormal));
  EXPECT_EQ(Files().WriteWholeFile(P("ro.txt"), "x"), kErrorSuccess);
}

TEST_F(FilesContract, FoldersAreCreatedOneLevelAndRemovedWhenEmpty) {
  Folder("A");
  Write("file", "x");
  EXPECT_EQ(Files().CreateDirectory(P("A")), kErrorAlreadyExists);
  EXPECT_EQ(Files().CreateDirectory(P("a")), kErrorAlreadyExists);
  EXPECT_EQ(Files().CreateDirectory(P("file")), kErrorAlreadyExists);
  EXPECT_EQ(Files().CreateDirectory(P("Missing\\B")), kErrorPathNotFound);
  Write("A\\inside", "x");
  EXPECT_EQ(Files().RemoveDirectory(P("A")), kErrorDirNotEmpty);
  EXPECT_EQ(Files().RemoveDirectory(P("file")), kErrorDirectory);
  EXPECT_EQ(Files().RemoveDirectory(P("Missing")), kErrorFileNotFound);
  ASSERT_EQ(Files().DeleteFile(P("A\\inside")), kErrorSuccess);
  EXPECT_EQ(Files().RemoveDirectory(P("A")), kErrorSuccess);
  EXPECT_EQ(Attributes("A"), "error 2");
}

TEST_F(FilesContract, DeleteFileRemovesFilesOnly) {
  Folder("Dir");
  Write("f", "x");
  EXPECT_EQ(Files().DeleteFile(P("Dir")), kErrorAccessDenied);
  EXPECT_EQ(Files().DeleteFile(P("missing")), kErrorFileNotFound);
  EXPECT_EQ(Files().DeleteFile(P("Missing\\f")), kErrorPathNotFound);
  EXPECT_EQ(Files().DeleteFile(P("F")), kErrorSuccess);
  EXPECT_EQ(List("*"), (Names{".", "..", "Dir"}));
}

TEST_F(FilesContract, CopyKeepsContentAndTimeAndRefusesToReplaceWhenAsked) {
  Write("src.dat", std::string("copy\0me", 7));
  Write("existing.dat", "existing");
  Folder("Dir");
  ASSERT_EQ(Files().CopyFile(P("src.dat"), P("Dir\\dst.dat"), true), kErrorSuccess);
  EXPECT_EQ(Read("Dir\\dst.dat"), std::string("copy\0me", 7));
  EXPECT_EQ(Read("src.dat"), std::string("copy\0me", 7));
  std::vector<FindData> source, copy;
  List("src.dat", &source);
  List("Dir\\dst.dat", &copy);
  ASSERT_EQ(source.size(), 1u);
  ASSERT_EQ(copy.size(), 1u);
  EXPECT_EQ(copy[0].lastWriteTime, source[0].lastWriteTime);

  EXPECT_EQ(Files().CopyFile(P("src.dat"), P("existing.dat"), true), kErrorFileExists);
  EXPECT_EQ(Read("existing.dat"), "existing");
  EXPECT_EQ(Files().CopyFile(P("src.dat"), P("existing.dat"), false), kErrorSuccess);
  EXPECT_EQ(Read("existing.dat"), std::string("copy\0me", 7));

  EXPECT_EQ(Files().CopyFile(P("missing"), P("x"), false), kErrorFileNotFound);
  EXPECT_EQ(Files().CopyFile(P("src.dat"), P("Missing\\x"), false), kErrorPathNotFound);
  EXPECT_EQ(Files().CopyFile(P("Dir"), P("x"), false), kErrorAccessDenied);
  EXPECT_EQ(Files().CopyFile(P("src.dat"), P("Dir"), false), kErrorAccessDenied);
}

TEST_F(FilesContract, MoveRenamesFilesAndFoldersButNeverReplaces) {
  Write("a.txt", "a");
  Write("b.txt", "b");
  Folder("Tree");
  Folder("Tree\\Sub");
  Write("Tree\\Sub\\leaf", "leaf");
  ASSERT_EQ(Files().MoveFile(P("a.txt"), P("Tree\\moved.txt")), kErrorSuccess);
  EXPECT_EQ(Read("a.txt"), "error 2");
  EXPECT_EQ(Read("Tree\\moved.txt"), "a");
  ASSERT_EQ(Files().MoveFile(P("Tree"), P("Renamed")), kErrorSuccess);
  EXPECT_EQ(Read("Renamed\\Sub\\leaf"), "leaf");
  EXPECT_EQ(Attributes("Tree"), "error 2");

  EXPECT_EQ(Files().MoveFile(P("b.txt"), P("Renamed\\moved.txt")), kErrorAlreadyExists);
  EXPECT_EQ(Read("b.txt"), "b");
  EXPECT_EQ(Read("Renamed\\moved.txt"), "a");
  EXPECT_EQ(Files().MoveFile(P("missing"), P("x")), kErrorFileNotFound);
  EXPECT_EQ(Files().MoveFile(P("b.txt"), P("Missing\\b.txt")), kErrorPathNotFound);
}

TEST_F(FilesContract, SystemFolderIsInTheWindowsFolder) {
  std::string windows, system;
  ASSERT_EQ(Files().GetWindowsDirectory(&windows), kErrorSuccess);
  ASSERT_EQ(Files().GetSystemDirectory(&system), kErrorSuccess);
  EXPECT_TRUE(SameText(system, windows + "\\system32")) << windows << " / " << system;
  for (const std::string& folder : {windows, system}) {
    std::uint32_t attributes = 0;
    ASSERT_EQ(Files().GetFileAttributes(folder, &attributes), kErrorSuccess) << folder;
    EXPECT_NE(attributes & kFileAttributeDirectory, 0u) << folder;
  }
}

}  // namespace
}  // namespace ombrant::test
