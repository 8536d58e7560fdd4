// The shell's copy as the migration makes it, against the simulated machine and the real shell.
#include <gtest/gtest.h>

#include <string>

#include "tests/contract/ContractEnv.h"

namespace ombrant::test {
namespace {

using namespace port;

constexpr std::uint16_t kMigrationFlags =
    kFofMultiDestFiles | kFofNoConfirmation | kFofAllowUndo | kFofNoConfirmMkdir;

TEST(ShellCopyContract, OneDestinationPerSourceMakesFoldersAndOverwrites) {
  const auto env = MakeContractEnv();
  port::Port& port = env->Port();
  const std::string root = env->TestFolderPath();
  const std::string source = root + "\\Admin\\";
  const std::string target = root + "\\Bob\\";
  ASSERT_EQ(port.files.CreateDirectory(root + "\\Admin"), kErrorSuccess);
  ASSERT_EQ(port.files.CreateDirectory(root + "\\Admin\\mail"), kErrorSuccess);
  ASSERT_EQ(port.files.CreateDirectory(root + "\\Bob"), kErrorSuccess);
  ASSERT_EQ(port.files.WriteWholeFile(source + "prefs.js", "user_pref(\"a\", 1);\r\n"),
            kErrorSuccess);
  ASSERT_EQ(port.files.WriteWholeFile(source + "mail\\accounts.ini", std::string("\0\x01\xff", 3)),
            kErrorSuccess);
  // What the target already has is replaced without a question.
  ASSERT_EQ(port.files.WriteWholeFile(target + "prefs.js", "old"), kErrorSuccess);

  std::string from = source + "prefs.js" + '\0' + source + "mail\\accounts.ini" + '\0' + '\0';
  std::string to = target + "prefs.js" + '\0' + target + "mail\\accounts.ini" + '\0' + '\0';
  bool aborted = true;
  EXPECT_EQ(port.shell.SHFileOperation(0, kFoCopy, from, to, kMigrationFlags, &aborted), 0);
  EXPECT_FALSE(aborted);

  std::string bytes;
  ASSERT_EQ(port.files.ReadWholeFile(target + "prefs.js", &bytes), kErrorSuccess);
  EXPECT_EQ(bytes, "user_pref(\"a\", 1);\r\n");
  ASSERT_EQ(port.files.ReadWholeFile(target + "mail\\accounts.ini", &bytes), kErrorSuccess);
  EXPECT_EQ(bytes, std::string("\0\x01\xff", 3)) << "the missing folder was made";
  // The sources stay as they were.
  ASSERT_EQ(port.files.ReadWholeFile(source + "prefs.js", &bytes), kErrorSuccess);
  EXPECT_EQ(bytes, "user_pref(\"a\", 1);\r\n");
}

}  // namespace
}  // namespace ombrant::test
