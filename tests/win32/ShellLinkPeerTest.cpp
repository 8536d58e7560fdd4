// Our .lnk codec against the system's shell-link object: each reads what the other writes.
#include <gtest/gtest.h>

#include <span>
#include <string>

#include "platform/sim/simLnkFile.h"
#include "tests/contract/ContractEnv.h"

namespace ombrant::test {
namespace {

using namespace port;

class ShellLinkPeerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = MakeContractEnv();
    ASSERT_FALSE(env_->IsSimulated());
    root_ = env_->TestFolderPath();
    ASSERT_EQ(Files().CreateDirectory(root_ + "\\Caf\xC3\xA9"), kErrorSuccess);
    ASSERT_EQ(Files().WriteWholeFile(Target(), "MZ"), kErrorSuccess);
  }

  IFileSystem& Files() { return env_->Port().files; }
  std::string Target() const { return root_ + "\\Caf\xC3\xA9\\app \xE2\x82\xAC.exe"; }

  // The fields both sides can set, as our codec holds them.
  sim::ShellLinkData Fields() const {
    sim::ShellLinkData d;
    d.targetPath = Target();
    d.arguments = "-a \"b c\" \xC3\xBC";
    d.description = "D\xC3\xA9j\xC3\xA0 vu";
    d.workingDir = root_ + "\\Caf\xC3\xA9\\";
    d.iconLocation = Target();
    d.iconIndex = 2;
    return d;
  }

  std::unique_ptr<ContractEnv> env_;
  std::string root_;
};

TEST_F(ShellLinkPeerTest, CodecReadsWhatTheShellWrites) {
  const sim::ShellLinkData want = Fields();
  std::unique_ptr<IShellLink> link = env_->Port().shell.CreateShellLink();
  ASSERT_NE(link, nullptr);
  ASSERT_TRUE(Succeeded(link->SetPath(want.targetPath)));
  ASSERT_TRUE(Succeeded(link->SetArguments(want.arguments)));
  ASSERT_TRUE(Succeeded(link->SetDescription(want.description)));
  ASSERT_TRUE(Succeeded(link->SetWorkingDirectory(want.workingDir)));
  ASSERT_TRUE(Succeeded(link->SetIconLocation(want.iconLocation, want.iconIndex)));
  const std::string file = root_ + "\\by-shell.lnk";
  ASSERT_EQ(link->Save(file), kSOk);

  std::string bytes;
  ASSERT_EQ(Files().ReadWholeFile(file, &bytes), kErrorSuccess);
  const std::optional<sim::ShellLinkData> got = sim::ParseShellLink(
      std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
  ASSERT_TRUE(got) << "the codec cannot read the shell's link (" << bytes.size() << " bytes)";
  EXPECT_EQ(got->targetPath, want.targetPath);
  EXPECT_EQ(got->arguments, want.arguments);
  EXPECT_EQ(got->description, want.description);
  EXPECT_EQ(got->workingDir, want.workingDir);
  EXPECT_EQ(got->iconLocation, want.iconLocation);
  EXPECT_EQ(got->iconIndex, want.iconIndex);
}

TEST_F(ShellLinkPeerTest, ShellReadsWhatTheCodecWrites) {
  const sim::ShellLinkData want = Fields();
  const std::vector<std::uint8_t> bytes = sim::WriteShellLink(want);
  ASSERT_FALSE(bytes.empty());
  const std::string file = root_ + "\\by-codec.lnk";
  ASSERT_EQ(Files().WriteWholeFile(
                file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())),
            kErrorSuccess);

  std::unique_ptr<IShellLink> link = env_->Port().shell.CreateShellLink();
  ASSERT_NE(link, nullptr);
  ASSERT_EQ(link->Load(file), kSOk);
  std::string path, arguments, description, workingDir, icon;
  int index = -1;
  EXPECT_TRUE(Succeeded(link->GetPath(&path, 260)));
  EXPECT_TRUE(Succeeded(link->GetArguments(&arguments, 260)));
  EXPECT_TRUE(Succeeded(link->GetDescription(&description, 260)));
  EXPECT_TRUE(Succeeded(link->GetWorkingDirectory(&workingDir, 260)));
  EXPECT_TRUE(Succeeded(link->GetIconLocation(&icon, 260, &index)));
  EXPECT_EQ(path, want.targetPath);
  EXPECT_EQ(arguments, want.arguments);
  EXPECT_EQ(description, want.description);
  EXPECT_EQ(workingDir, want.workingDir);
  EXPECT_EQ(icon, want.iconLocation);
  EXPECT_EQ(index, want.iconIndex);
}

}  // namespace
}  // namespace ombrant::test
