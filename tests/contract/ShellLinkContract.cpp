// The shell-link object and the shortcut operations built on it, against the simulated machine
// and the real port alike.
#include <gtest/gtest.h>

#include <string>

#include "catalogue/kvrShortcutFiles.h"
#include "tests/contract/ContractEnv.h"

namespace ombrant::test {
namespace {

using namespace port;

// Every field a shortcut of the program can hold, as read back.
struct LinkFields {
  std::string path, arguments, description, workingDirectory, iconFile;
  int iconIndex = 0;
  bool operator==(const LinkFields&) const = default;
};

std::ostream& operator<<(std::ostream& out, const LinkFields& f) {
  return out << "{path \"" << f.path << "\", arguments \"" << f.arguments << "\", description \""
             << f.description << "\", working \"" << f.workingDirectory << "\", icon \""
             << f.iconFile << "\"," << f.iconIndex << "}";
}

class ShellLinkContract : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = MakeContractEnv();
    root_ = env_->TestFolderPath();
    ASSERT_EQ(Files().CreateDirectory(P("Caf\xC3\xA9 App")), kErrorSuccess);
    ASSERT_EQ(Files().WriteWholeFile(Target(), "MZ"), kErrorSuccess);
  }

  IFileSystem& Files() { return env_->Port().files; }
  IShell& Shell() { return env_->Port().shell; }
  std::string P(std::string_view relative) const { return root_ + "\\" + std::string(relative); }
  std::string Target() const { return P("Caf\xC3\xA9 App\\app.exe"); }

  std::unique_ptr<IShellLink> NewLink() {
    std::unique_ptr<IShellLink> link = Shell().CreateShellLink();
    EXPECT_NE(link, nullptr);
    return link;
  }

  // Loads `file` into a new object and reads every field through buffers of MAX_PATH.
  LinkFields Load(const std::string& file) {
    std::unique_ptr<IShellLink> link = NewLink();
    LinkFields f;
    if (!link) return f;
    EXPECT_TRUE(Succeeded(link->Load(file))) << file;
    EXPECT_TRUE(Succeeded(link->GetPath(&f.path, 260)));
    EXPECT_TRUE(Succeeded(link->GetArguments(&f.arguments, 260)));
    EXPECT_TRUE(Succeeded(link->GetDescription(&f.description, 260)));
    EXPECT_TRUE(Succeeded(link->GetWorkingDirectory(&f.workingDirectory, 260)));
    EXPECT_TRUE(Succeeded(link->GetIconLocation(&f.iconFile, 260, &f.iconIndex)));
    return f;
  }

  std::unique_ptr<ContractEnv> env_;
  std::string root_;
};

TEST_F(ShellLinkContract, SavedLinkLoadsWithEveryField) {
  const LinkFields written{Target(), "-a \"b c\" \xC3\xBC\xE2\x82\xAC", "D\xC3\xA9j\xC3\xA0 vu",
                           P("Caf\xC3\xA9 App\\"), Target(), 3};
  std::unique_ptr<IShellLink> link = NewLink();
  ASSERT_NE(link, nullptr);
  ASSERT_TRUE(Succeeded(link->SetPath(written.path)));
  ASSERT_TRUE(Succeeded(link->SetArguments(written.arguments)));
  ASSERT_TRUE(Succeeded(link->SetDescription(written.description)));
  ASSERT_TRUE(Succeeded(link->SetWorkingDirectory(written.workingDirectory)));
  ASSERT_TRUE(Succeeded(link->SetIconLocation(written.iconFile, written.iconIndex)));
  ASSERT_EQ(link->Save(P("Every.lnk")), kSOk);
  EXPECT_EQ(Load(P("Every.lnk")), written);

  // Saving again over the file replaces it.
  ASSERT_TRUE(Succeeded(link->SetArguments("-other")));
  ASSERT_EQ(link->Save(P("Every.lnk")), kSOk);
  EXPECT_EQ(Load(P("EVERY.LNK")).arguments, "-other");
}

TEST_F(ShellLinkContract, UnsetFieldsReadBackEmpty) {
  std::unique_ptr<IShellLink> link = NewLink();
  ASSERT_NE(link, nullptr);
  ASSERT_TRUE(Succeeded(link->SetPath(Target())));
  ASSERT_EQ(link->Save(P("Bare.lnk")), kSOk);
  EXPECT_EQ(Load(P("Bare.lnk")), (LinkFields{Target(), "", "", "", "", 0}));
}

TEST_F(ShellLinkContract, TextsAreCutToTheCallersBuffer) {
  std::unique_ptr<IShellLink> link = NewLink();
  ASSERT_NE(link, nullptr);
  ASSERT_TRUE(Succeeded(link->SetPath(Target())));
  ASSERT_TRUE(Succeeded(link->SetArguments("0123456789")));
  ASSERT_EQ(link->Save(P("Cut.lnk")), kSOk);
  std::unique_ptr<IShellLink> loaded = NewLink();
  ASSERT_TRUE(Succeeded(loaded->Load(P("Cut.lnk"))));
  std::string path, arguments;
  EXPECT_TRUE(Succeeded(loaded->GetPath(&path, 10)));
  EXPECT_TRUE(Succeeded(loaded->GetArguments(&arguments, 5)));
  EXPECT_EQ(path, Target().substr(0, 9));
  EXPECT_EQ(arguments, "0123");
}

TEST_F(ShellLinkContract, LoadAndSaveFailWithoutHarm) {
  ASSERT_EQ(Files().WriteWholeFile(P("text.lnk"), "not a shortcut at all, just some text"),
            kErrorSuccess);
  std::unique_ptr<IShellLink> link = NewLink();
  ASSERT_NE(link, nullptr);
  EXPECT_FALSE(Succeeded(link->Load(P("missing.lnk"))));
  EXPECT_FALSE(Succeeded(link->Load(P("text.lnk"))));
  ASSERT_TRUE(Succeeded(link->SetPath(Target())));
  EXPECT_FALSE(Succeeded(link->Save(P("Missing\\x.lnk"))));
  EXPECT_FALSE(Succeeded(link->Save(P("a|b.lnk"))));
  std::uint32_t attributes = 0;
  EXPECT_EQ(Files().GetFileAttributes(P("Missing"), &attributes), kErrorFileNotFound);
  std::string bytes;
  ASSERT_EQ(Files().ReadWholeFile(P("text.lnk"), &bytes), kErrorSuccess);
  EXPECT_EQ(bytes, "not a shortcut at all, just some text");
}

TEST_F(ShellLinkContract, ShortcutOperationsRoundTrip) {
  const std::string file = P("Caf\xC3\xA9 App (as user).lnk");
  WriteShortcut(env_->Port(), file, Target(), Target(), "Start it", "-x \"y\"", 1);
  std::string target = "before", arguments = "before";
  ASSERT_TRUE(ReadShortcutTargetAndArguments(env_->Port(), file, target, arguments));
  EXPECT_EQ(target, Target());
  EXPECT_EQ(arguments, "-x \"y\"");
  EXPECT_EQ(Load(file), (LinkFields{Target(), "-x \"y\"", "Start it", P("Caf\xC3\xA9 App\\"),
                                    Target(), 1}));
  std::string untouched = "untouched";
  EXPECT_FALSE(ReadShortcutTarget(env_->Port(), P("Caf\xC3\xA9 App\\app.exe"), untouched));
  EXPECT_EQ(untouched, "untouched");
}

}  // namespace
}  // namespace ombrant::test
