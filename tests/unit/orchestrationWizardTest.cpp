// The wizard window driving the real orchestrator on a simulated machine: account creation
// through the account page, shortcut replacement on the migration page, and uninstall.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "catalogue/kvrShortcutFiles.h"
#include "orchestration/UnitNetworkingApps.h"
#include "platform/vqNetInfo.h"
#include "platform/vqNTStuff.h"
#include "resources/OmbrantStrings.h"
#include "tests/unit/orchestrationTestMachine.h"
#include "tests/unit/testSoftware.h"
#include "wizard/FormUnitMain.h"

namespace ombrant::test {
namespace {

class PortAccountFacts final : public IAccountFacts {
 public:
  explicit PortAccountFacts(port::IAccounts& accounts) : accounts_(accounts) {}
  std::string GetCurrentUserName() override { return ombrant::GetCurrentUserName(accounts_); }
  std::vector<std::string> GetLocalUserNames() override {
    std::vector<std::string> names;
    (void)ombrant::GetLocalUserNames(accounts_, names);
    return names;
  }
  bool GetCurrentUserPrivilege(std::uint32_t* privilege) override {
    return ombrant::GetCurrentUserPrivilege(accounts_, privilege);
  }

 private:
  port::IAccounts& accounts_;
};

class WizardOnMachine : public testing::Test {
 protected:
  WizardOnMachine() : m_(kXpEnglish), facts_(m_.Port().accounts), nt_(m_.Port().system) {
    desktop_ = m_.Folder(port::kCsidlDesktopDirectory) + "\\";
    opera_ = "C:\\Program Files\\Opera\\opera.exe";
    WriteShortcut(m_.Port(), desktop_ + "Opera.lnk", opera_, opera_, "", "", 0);
  }

  void Open() {
    InstallTestPrograms(m_.Registry(), {{"Opera", opera_, "", scBrowser}});
    const auto createApps = [this]() -> std::unique_ptr<TNetworkingApps> {
      return std::make_unique<TNetworkingApps>(m_.Port(), classes_);
    };
    TKestrovaServices services{m_.Port().ui, nt_, facts_, createApps,
                               [] { return std::string("{\\rtf1 x}"); }, {}};
    form_ = std::make_unique<TformKestrova>(std::move(services));
    form_->FormShow();
    form_->FormPaint();
    ASSERT_TRUE(form_->bnNext.UserClick());
    ASSERT_EQ(form_->pcMain.ActivePage(), &form_->tabUser);
  }

  OrchestrationMachine m_;
  PortAccountFacts facts_;
  TNTStuff nt_;
  std::string desktop_, opera_;
  const TSoftwareClassRegistry classes_ = TestSoftwareClasses();
  std::unique_ptr<TformKestrova> form_;
};

TEST_F(WizardOnMachine, ANameWindowsRefusesKeepsTheAccountPageAndTheCurrentAccount) {
  Open();
  ASSERT_TRUE(form_->editUsernameNew.UserSetText("bad/name"));
  m_.Ui().QueueAnswer(port::kIdOk);
  ASSERT_TRUE(form_->bnNext.UserClick());
  EXPECT_EQ(form_->pcMain.ActivePage(), &form_->tabUser);
  EXPECT_TRUE(form_->rbNewUser.Checked());
  EXPECT_EQ(form_->Apps().InternetUser(), "");
  EXPECT_EQ(TOmbrantSettings(m_.Port().registry).ReadInternetUser(), "");
  ASSERT_EQ(m_.Ui().Boxes().size(), 1u);
  EXPECT_EQ(m_.Ui().Boxes()[0].text.rfind("The user account bad/name could not be created: ", 0),
            0u);
}

TEST_F(WizardOnMachine, CreatesReplacesAndUninstallsAfterConfirmation) {
  Open();
  EXPECT_EQ(form_->editUsernameNew.Text(), "Admin-online");
  m_.Ui().QueueAnswer(port::kIdOk);  // the new account's password notice
  ASSERT_TRUE(form_->bnNext.UserClick());
  ASSERT_EQ(form_->pcMain.ActivePage(), &form_->tabMigration);
  EXPECT_EQ(form_->cbLimitedUsers.Text(), "Admin-online");
  ASSERT_TRUE(form_->bnNext.UserClick());
  ASSERT_EQ(form_->pcMain.ActivePage(), &form_->tabApplications);
  EXPECT_FALSE(m_.Files().Exists(desktop_ + "Opera.lnk"));
  EXPECT_TRUE(m_.Files().Exists(desktop_ + "Opera (as Admin-online).lnk"));

  while (form_->pcMain.ActivePageIndex() > 0) ASSERT_TRUE(form_->bnPrevious.UserClick());
  m_.Ui().ClearBoxes();
  m_.Ui().QueueAnswer(port::kIdNo);
  ASSERT_TRUE(form_->bnCustom.UserClick());
  EXPECT_EQ(m_.BoxTexts(), std::vector<std::string>{std::string(LoadStr(sUninstallConfirmation))});
  EXPECT_NE(m_.Machine().Accounts().FindUser("Admin-online"), nullptr);
  EXPECT_FALSE(m_.Files().Exists(desktop_ + "Opera.lnk"));

  m_.Ui().ClearBoxes();
  m_.Ui().QueueAnswer(port::kIdYes);
  m_.Ui().QueueAnswer(port::kIdYes);
  ASSERT_TRUE(form_->bnCustom.UserClick());
  EXPECT_EQ(m_.BoxTexts(),
            (std::vector<std::string>{std::string(LoadStr(sUninstallConfirmation)),
                                      "Do you want to remove the user account Admin-online?"}));
  EXPECT_EQ(m_.Machine().Accounts().FindUser("Admin-online"), nullptr);
  std::string target;
  EXPECT_TRUE(ReadShortcutTarget(m_.Port(), desktop_ + "Opera.lnk", target));
  EXPECT_EQ(target, opera_);
  EXPECT_TRUE(TOmbrantSettings(m_.Port().registry)
                  .ReadLinkList(kRemovedOriginalLinksKey, "Desktop")
                  .Empty());
  EXPECT_EQ(form_->cbLimitedUsers.ItemCount(), 1) << "only Anna is left to choose";
  EXPECT_TRUE(form_->rbNewUser.Checked());
  EXPECT_FALSE(m_.Ui().HadUnansweredBox());
}

}  // namespace
}  // namespace ombrant::test
