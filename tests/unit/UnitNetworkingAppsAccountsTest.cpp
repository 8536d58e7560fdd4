// The orchestrator's account operations on simulated machines.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "orchestration/UnitNetworkingApps.h"
#include "tests/unit/kvrRegistryTestSupport.h"
#include "tests/unit/orchestrationTestMachine.h"
#include "tests/unit/portForwarders.h"
#include "tests/unit/testSoftware.h"
#include "tools/icongen/iconArt.h"
#include "ui/uiComboBox.h"
#include "ui/uiListView.h"

namespace ombrant::test {
namespace {

// The account operations need no detected applications.
const TSoftwareClassRegistry& NoClasses() {
  static const TSoftwareClassRegistry none;
  return none;
}

constexpr const char* kInfoText =
    "Your newly created Internet user has the password \"wopa\", which you need to enter only "
    "once. You can change that password in your System Control Panel if you like.";
constexpr const char* kHiddenKey =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\"
    "SpecialAccounts\\UserList";
constexpr const char* kHiddenKeyWow =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\"
    "SpecialAccounts\\UserList";

std::vector<std::string> ComboTexts(const ui::ComboBox& combo) {
  std::vector<std::string> texts;
  for (const ui::ComboItem& item : combo.Items()) texts.push_back(item.text);
  return texts;
}

std::string ExpandValue(const sim::SimUser& user, std::uint32_t* type) {
  if (!user.hive) return "<no hive>";
  const auto value = user.hive->GetValue("Environment", "APPDATA");
  if (!value) return "<missing>";
  *type = value->type;
  return Utf16LeBytesToUtf8(std::string(value->data.begin(), value->data.end() - 2));
}

struct FlavourCase {
  const MachineFlavour* flavour;
  const char* appDataElement;
};

class CreateAccountOnFlavour : public testing::TestWithParam<FlavourCase> {};

TEST_P(CreateAccountOnFlavour, WalksEveryStepAndReleasesTokensAndProfiles) {
  OrchestrationMachine m(*GetParam().flavour);
  m.Ui().QueueAnswer(port::kIdOk);
  ui::ComboBox combo;
  TNetworkingApps apps(m.Port(), NoClasses());
  apps.SetAccountList(&combo);
  ASSERT_EQ(ComboTexts(combo), std::vector<std::string>{"Anna"});

  ASSERT_TRUE(apps.CreateRestrictedUser("Admin-online"));

  const sim::SimUser* user = m.Machine().Accounts().FindUser("Admin-online");
  ASSERT_NE(user, nullptr);
  EXPECT_EQ(user->comment, "Internet usage user");
  EXPECT_EQ(user->privilege, port::kUserPrivUser);
  EXPECT_EQ(user->flags & 0x10200u, 0x10200u);
  EXPECT_EQ(user->password, "wopa");
  EXPECT_TRUE(m.Machine().Accounts().IsMember(*user, "Users"));

  EXPECT_EQ(m.MultiString(kSettingsKeyPath, "CreatedUsers"),
            std::vector<std::string>{"Admin-online"});
  EXPECT_EQ(apps.InternetUser(), "Admin-online");
  EXPECT_EQ(TOmbrantSettings(m.Port().registry).ReadInternetUser(), "Admin-online");

  std::uint32_t type = 0;
  EXPECT_EQ(ExpandValue(*user, &type), std::string("%USERPROFILE%\\") + GetParam().appDataElement);
  EXPECT_EQ(type, port::kRegExpandSz);
  EXPECT_EQ(m.Machine().Accounts().OpenTokenCount(), 0u);
  EXPECT_EQ(m.Machine().Accounts().LoadedProfileCount(), 0u);
  // The known password opens nothing from the network or by remote desktop.
  EXPECT_EQ(m.Machine().Accounts().AccountRights(user->sid),
            (std::vector<std::string>{"SeDenyNetworkLogonRight",
                                      "SeDenyRemoteInteractiveLogonRight"}));
  EXPECT_EQ(m.Machine().Accounts().OpenPolicyCount(), 0u);

  EXPECT_EQ(ComboTexts(combo), (std::vector<std::string>{"Anna", "Admin-online"}))
      << "appended at once, before any refresh";
  EXPECT_EQ(combo.Text(), "Admin-online");
  apps.RefreshAccountList();
  EXPECT_EQ(ComboTexts(combo), (std::vector<std::string>{"Admin-online", "Anna"}))
      << "after a refresh it stands at its enumeration position";
  EXPECT_EQ(combo.Text(), "Admin-online");

  // Hidden from the logon screen in the view the logon screen reads.
  const auto hidden = m.Registry().GetValue(kHiddenKey, "Admin-online");
  ASSERT_TRUE(hidden.has_value());
  EXPECT_EQ(hidden->type, port::kRegDword);
  EXPECT_EQ(hidden->data, (std::vector<std::uint8_t>{0, 0, 0, 0}));
  if (m.Flavour().is64) {
    EXPECT_FALSE(m.Registry().GetValue(kHiddenKeyWow, "Admin-online").has_value());
  }

  EXPECT_EQ(m.BoxTexts(), std::vector<std::string>{kInfoText});
  EXPECT_EQ(m.Ui().Boxes().at(0).type, port::kMbOk | port::kMbIconInformation);
}

INSTANTIATE_TEST_SUITE_P(Flavours, CreateAccountOnFlavour,
                         testing::Values(FlavourCase{&kXpEnglish, "Application Data"},
                                         FlavourCase{&kXpGerman, "Anwendungsdaten"},
                                         FlavourCase{&kSeven64, "AppData\\Roaming"}));

// NetUserAdd answers with a code of the test's choice.
class RefusingAccounts final : public ForwardingAccounts {
 public:
  using ForwardingAccounts::ForwardingAccounts;
  port::Status code = port::kErrorSuccess;
  port::Status groupCode = -1;  // -1: pass on
  port::Status rightsCode = -1;
  port::Status deleteCode = -1;
  port::Status LsaAddAccountRights(port::HPolicy policy, const port::Sid& account,
                                   const std::vector<std::string>& rights) override {
    if (rightsCode >= 0) return rightsCode;
    return ForwardingAccounts::LsaAddAccountRights(policy, account, rights);
  }
  port::Status NetUserDel(std::string_view server, std::string_view user) override {
    if (deleteCode >= 0) return deleteCode;
    return ForwardingAccounts::NetUserDel(server, user);
  }
  port::Status NetUserAdd(std::string_view server, const port::UserInfo1& info,
                          std::uint32_t* parmError) override {
    if (code != port::kErrorSuccess) return code;
    return ForwardingAccounts::NetUserAdd(server, info, parmError);
  }
  port::Status NetLocalGroupAddMembers(std::string_view server, std::string_view group,
                                       const std::vector<std::string>& members) override {
    if (groupCode >= 0) return groupCode;
    return ForwardingAccounts::NetLocalGroupAddMembers(server, group, members);
  }
};

port::Port WithAccounts(port::Port& port, port::IAccounts& accounts) {
  return port::Port{port.registry, port.system, port.files,    port.shell,
                    port.ui,       accounts,    port.security, port.processes};
}

TEST(CreateRestrictedUser, EveryRefusalIsShownAndLeavesNothingBehind) {
  struct Case {
    const char* what;
    std::string name;
    port::Status injected;  // 0: the simulated database decides
    std::string message;
  };
  const Case cases[] = {
      {"a name that exists in another letter case", "ANNA", 0,
       "Come on, that guy already exists (if he's not shown in the list that's because he has "
       "too much rights)!"},
      // The system's own text for the code follows.
      {"a name Windows refuses", "bad/name", 0, "The user account bad/name could not be created: "},
      {"a name over 20 characters", "abcdefghijklmnopqrstu", 0,
       "The user account abcdefghijklmnopqrstu could not be created: "},
      {"access denied", "x", port::kErrorAccessDenied, "Access denied!"},
      {"not the primary domain controller", "x", port::kNerrNotPrimary,
       "This is only allowed on the primary domain controller. This tool is probably not "
       "designed for your environmnt."},
      {"password too short", "x", port::kNerrPasswordTooShort,
       "Password too short. Come on, we want to make it more secure, not less!"},
      {"invalid computer", "x", port::kNerrInvalidComputer,
       "The specified computer is invalid. In this case, it means you just imagine your "
       "computer."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OrchestrationMachine m(kXpEnglish);
    m.Registry().SetString(kSettingsKeyPath, "InternetUser", "Anna");
    RefusingAccounts accounts(m.Machine().Accounts());
    accounts.code = c.injected;
    port::Port port = WithAccounts(m.Port(), accounts);
    m.Ui().QueueAnswer(port::kIdOk);
    ui::ComboBox combo;
    TNetworkingApps apps(port, NoClasses());
    apps.SetAccountList(&combo);

    EXPECT_FALSE(apps.CreateRestrictedUser(c.name));

    ASSERT_EQ(m.Ui().Boxes().size(), 1u);
    const std::string& text = m.Ui().Boxes()[0].text;
    if (c.message.ends_with(": ")) {
      EXPECT_EQ(text.substr(0, c.message.size()), c.message);
      EXPECT_GT(text.size(), c.message.size() + 1) << "the reason is missing";
    } else {
      EXPECT_EQ(text, c.message);
    }
    EXPECT_EQ(m.Ui().Boxes()[0].type, port::kMbOk | port::kMbIconError);
    EXPECT_EQ(apps.InternetUser(), "Anna");
    EXPECT_EQ(TOmbrantSettings(m.Port().registry).ReadInternetUser(), "Anna");
    EXPECT_TRUE(TOmbrantSettings(m.Port().registry).ReadCreatedUsers().Empty());
    EXPECT_EQ(ComboTexts(combo), std::vector<std::string>{"Anna"});
    EXPECT_FALSE(m.Registry().HasKey(kHiddenKey));
  }
}

TEST(CreateRestrictedUser, AMissingUsersGroupIsReportedButTheAccountStaysCurrentAndHidden) {
  OrchestrationMachine m(kXpGerman);
  RefusingAccounts accounts(m.Machine().Accounts());
  port::Port port = WithAccounts(m.Port(), accounts);
  ui::ComboBox combo;
  TNetworkingApps apps(port, NoClasses());
  apps.SetAccountList(&combo);

  for (port::Status groupCode : {port::kErrorMemberInAlias, port::kNerrGroupNotFound}) {
    SCOPED_TRACE(groupCode);
    m.Ui().ClearBoxes();
    accounts.groupCode = groupCode;
    m.Ui().QueueAnswer(port::kIdOk);
    m.Ui().QueueAnswer(port::kIdOk);
    const std::string name = "user" + std::to_string(groupCode);
    ASSERT_TRUE(apps.CreateRestrictedUser(name));
    std::vector<std::string> expected{kInfoText};
    if (groupCode == port::kNerrGroupNotFound) {
      expected.push_back("Group not found. Maybe this application is not fully localized.");
    }
    EXPECT_EQ(m.BoxTexts(), expected) << "any other membership failure is silent";
    EXPECT_EQ(apps.InternetUser(), name);
    EXPECT_TRUE(m.Registry().GetValue(kHiddenKey, name).has_value());
  }
}

TEST(CreateRestrictedUser, ARefusedLogonRightIsShownAndTheAccountStays) {
  OrchestrationMachine m(kXpEnglish);
  RefusingAccounts accounts(m.Machine().Accounts());
  accounts.rightsCode = port::kErrorAccessDenied;
  port::Port port = WithAccounts(m.Port(), accounts);
  ui::ComboBox combo;
  TNetworkingApps apps(port, NoClasses());
  apps.SetAccountList(&combo);
  m.Ui().QueueAnswer(port::kIdOk);
  m.Ui().QueueAnswer(port::kIdOk);

  ASSERT_TRUE(apps.CreateRestrictedUser("Admin-online"));

  ASSERT_EQ(m.Ui().Boxes().size(), 2u);
  EXPECT_EQ(m.Ui().Boxes()[0].text.substr(0, 91),
            "The user account Admin-online could not be denied logon from the network and by "
            "remote desk");
  EXPECT_NE(m.Ui().Boxes()[0].text.find("Access is denied"), std::string::npos)
      << m.Ui().Boxes()[0].text;
  EXPECT_EQ(m.Ui().Boxes()[0].type, port::kMbOk | port::kMbIconError);
  EXPECT_EQ(m.Ui().Boxes()[1].text, kInfoText);
  ASSERT_NE(m.Machine().Accounts().FindUser("Admin-online"), nullptr);
  EXPECT_EQ(m.MultiString(kSettingsKeyPath, "CreatedUsers"),
            std::vector<std::string>{"Admin-online"});
  EXPECT_EQ(apps.InternetUser(), "Admin-online");
  EXPECT_EQ(m.Machine().Accounts().OpenPolicyCount(), 0u);
}

TEST(CreateRestrictedUser, WithoutAnAccountListTheAccountIsCreatedButNotJoinedOrHidden) {
  OrchestrationMachine m(kXpEnglish);
  m.Ui().QueueAnswer(port::kIdOk);
  TNetworkingApps apps(m.Port(), NoClasses());
  ASSERT_TRUE(apps.CreateRestrictedUser("solo"));
  EXPECT_EQ(apps.InternetUser(), "solo");
  EXPECT_FALSE(m.Registry().HasKey(kHiddenKey));
}

TEST(AccountList, OffersStandardUsersOnlyWithoutAspnetAndSelectsTheCurrentIgnoringCase) {
  OrchestrationMachine m(kSeven64);
  for (const char* name : {"ASPNET", "Zed"}) {
    sim::SimUser user;
    user.name = name;
    m.Machine().Accounts().AddUser(user);
  }
  // Disabled standard users (XP's HelpAssistant) cannot log on.
  sim::SimUser helper;
  helper.name = "HelpAssistant";
  helper.flags = port::kUfNormalAccount | port::kUfAccountDisable;
  m.Machine().Accounts().AddUser(helper);
  sim::SimUser admin2;
  admin2.name = "Boss";
  admin2.privilege = port::kUserPrivAdmin;
  m.Machine().Accounts().AddUser(admin2);

  struct Case {
    const char* stored;
    int selected;
  };
  for (const Case& c : {Case{"zED", 1}, Case{"", -1}, Case{"Deleted-online", -1}}) {
    SCOPED_TRACE(c.stored);
    m.Registry().SetString(kSettingsKeyPath, "InternetUser", c.stored);
    ui::ComboBox combo;
    TNetworkingApps apps(m.Port(), NoClasses());
    apps.SetAccountList(&combo);
    const std::vector<std::string> texts = ComboTexts(combo);
    EXPECT_EQ(texts, (std::vector<std::string>{"Anna", "Zed"}));
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "ASPNET"), 0);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Boss"), 0);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "HelpAssistant"), 0);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Admin"), 0);
    EXPECT_EQ(combo.ItemIndex(), c.selected);
    for (const ui::ComboItem& item : combo.Items()) EXPECT_EQ(item.imageIndex, 0);
  }
}

TEST(AccountSettings, RecordedNamesIgnoreCaseAndAnExistingAppDataIsKept) {
  OrchestrationMachine m(kXpEnglish);
  TNetworkingApps apps(m.Port(), NoClasses());
  apps.RecordCreatedUser("bob");
  apps.RecordCreatedUser("Anna");
  apps.RecordCreatedUser("BOB");
  EXPECT_EQ(m.MultiString(kSettingsKeyPath, "CreatedUsers"),
            (std::vector<std::string>{"Anna", "bob"}));

  apps.PrepareUserEnvironment("Anna");
  sim::SimUser* anna = m.Machine().Accounts().FindUser("Anna");
  ASSERT_NE(anna, nullptr);
  ASSERT_TRUE(anna->hasProfile);
  anna->hive->SetValue("Environment", "APPDATA", port::kRegSz, Utf16Z("D:\\Mine"));
  apps.PrepareUserEnvironment("Anna");
  std::uint32_t type = 0;
  EXPECT_EQ(ExpandValue(*anna, &type), "D:\\Mine");
  EXPECT_EQ(type, port::kRegSz);

  // A failed logon (wrong password) is silent and leaves nothing open.
  anna->password = "other";
  apps.PrepareUserEnvironment("Anna");
  EXPECT_TRUE(m.Ui().Boxes().empty());
  EXPECT_EQ(m.Machine().Accounts().OpenTokenCount(), 0u);
  EXPECT_EQ(m.Machine().Accounts().LoadedProfileCount(), 0u);
}

}  // namespace
}  // namespace ombrant::test

namespace ombrant::test {
namespace {

TEST(RemoveCreatedUsers, DeletesTheConfirmedOnesAndForgetsWhatIsGone) {
  OrchestrationMachine m(kXpEnglish);
  sim::SimUser bob;
  bob.name = "Bob";
  m.Machine().Accounts().AddUser(bob);
  sim::SimUser* anna = m.Machine().Accounts().FindUser("Anna");
  ASSERT_NE(anna, nullptr);
  const std::string annaSid = anna->sid;
  anna->rights = {"SeDenyNetworkLogonRight", "SeDenyRemoteInteractiveLogonRight"};
  m.Registry().SetMultiString(kSettingsKeyPath, "CreatedUsers", {"Anna", "Bob", "Gone"});
  m.Registry().SetString(kSettingsKeyPath, "InternetUser", "Zed");  // chosen, never created
  TNetworkingApps apps(m.Port(), NoClasses());

  m.Ui().QueueAnswer(port::kIdYes);
  m.Ui().QueueAnswer(port::kIdNo);
  m.Ui().QueueAnswer(port::kIdYes);
  apps.RemoveCreatedUsers();
  EXPECT_EQ(m.BoxTexts(), (std::vector<std::string>{
                              "Do you want to remove the user account Anna?",
                              "Do you want to remove the user account Bob?",
                              "Do you want to remove the user account Gone?"}))
      << "an account already gone is asked about and nothing more is shown";
  for (const sim::MessageBoxRecord& box : m.Ui().Boxes()) {
    EXPECT_EQ(box.type, port::kMbYesNo | port::kMbIconQuestion);
  }
  EXPECT_EQ(m.Machine().Accounts().FindUser("Anna"), nullptr);
  EXPECT_NE(m.Machine().Accounts().FindUser("Bob"), nullptr);
  EXPECT_EQ(m.Machine().Accounts().AccountRights(annaSid), std::vector<std::string>{})
      << "the rights go with the account";
  EXPECT_EQ(m.Machine().Accounts().OpenPolicyCount(), 0u);
  EXPECT_EQ(m.MultiString(kSettingsKeyPath, "CreatedUsers"), std::vector<std::string>{"Bob"});
  EXPECT_EQ(apps.InternetUser(), "Zed");

  // A later account of a forgotten name is not the program's: only Bob is asked about.
  sim::SimUser newAnna;
  newAnna.name = "Anna";
  m.Machine().Accounts().AddUser(newAnna);
  m.Ui().ClearBoxes();
  m.Ui().QueueAnswer(port::kIdNo);
  apps.RemoveCreatedUsers();
  EXPECT_EQ(m.BoxTexts(),
            std::vector<std::string>{"Do you want to remove the user account Bob?"});

  // Deleted accounts leave the account list once it is refreshed.
  ui::ComboBox combo;
  apps.SetAccountList(&combo);
  EXPECT_EQ(ComboTexts(combo), (std::vector<std::string>{"Anna", "Bob"}));
}

TEST(RemoveCreatedUsers, ARefusalIsShownAndKeepsTheRecordWhileTheCurrentAccountGoneIsCleared) {
  struct Case {
    const char* what;
    port::Status deleteCode;  // -1: the simulated database decides
    bool deleted;
  };
  const Case cases[] = {
      {"deleted", -1, true},
      {"access denied", port::kErrorAccessDenied, false},
      {"already gone", port::kNerrUserNotFound, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OrchestrationMachine m(kXpEnglish);
    sim::SimUser* anna = m.Machine().Accounts().FindUser("Anna");
    ASSERT_NE(anna, nullptr);
    const std::string annaSid = anna->sid;
    anna->rights = {"SeDenyNetworkLogonRight"};
    m.Registry().SetMultiString(kSettingsKeyPath, "CreatedUsers", {"Anna"});
    m.Registry().SetString(kSettingsKeyPath, "InternetUser", "anna");
    RefusingAccounts accounts(m.Machine().Accounts());
    accounts.deleteCode = c.deleteCode;
    port::Port port = WithAccounts(m.Port(), accounts);
    TNetworkingApps apps(port, NoClasses());
    m.Ui().QueueAnswer(port::kIdYes);
    m.Ui().QueueAnswer(port::kIdOk);

    apps.RemoveCreatedUsers();

    std::vector<std::string> boxes{"Do you want to remove the user account Anna?"};
    if (c.deleteCode == port::kErrorAccessDenied) {
      boxes.push_back("The user account Anna could not be removed: Access is denied.");
    }
    EXPECT_EQ(m.BoxTexts(), boxes);
    EXPECT_EQ(m.MultiString(kSettingsKeyPath, "CreatedUsers"),
              c.deleted ? std::vector<std::string>{} : std::vector<std::string>{"Anna"});
    EXPECT_EQ(apps.InternetUser(), c.deleted ? "" : "anna");
    EXPECT_EQ(m.Registry().GetValue(kSettingsKeyPath, "InternetUser").has_value(), !c.deleted);
    // Rights stay while the account does: it still opens with the known password.
    EXPECT_EQ(m.Machine().Accounts().AccountRights(annaSid).empty(), c.deleteCode == -1);
  }
}

TEST(RemoveCreatedUsers, RightsThatCannotBeTakenAwayAreShownAfterTheDeletion) {
  OrchestrationMachine m(kXpEnglish);
  sim::SimUser* anna = m.Machine().Accounts().FindUser("Anna");
  ASSERT_NE(anna, nullptr);
  anna->rights = {"SeDenyNetworkLogonRight"};
  anna->refuse = {"rights"};
  m.Registry().SetMultiString(kSettingsKeyPath, "CreatedUsers", {"Anna"});
  TNetworkingApps apps(m.Port(), NoClasses());
  m.Ui().QueueAnswer(port::kIdYes);
  m.Ui().QueueAnswer(port::kIdOk);
  apps.RemoveCreatedUsers();
  EXPECT_EQ(m.BoxTexts(),
            (std::vector<std::string>{
                "Do you want to remove the user account Anna?",
                "The logon rights of the removed user account Anna could not be taken away: "
                "Access is denied."}));
  EXPECT_EQ(m.Machine().Accounts().FindUser("Anna"), nullptr);
  EXPECT_EQ(m.MultiString(kSettingsKeyPath, "CreatedUsers"), std::vector<std::string>{});
}

TEST(ApplicationList, GroupsTilesAndOneItemPerCatalogueEntryRefreshedWhileAttached) {
  OrchestrationMachine m(kXpEnglish);
  InstallTestPrograms(m.Registry(),
                      {{"Opera", "C:\\Program Files\\Opera\\opera.exe", "", scBrowser},
                       {"Skype", "C:\\Program Files\\Skype\\skype.exe", "", scChat}});
  // The fallback pair is entry 0; every class then gets a pair of its own.
  const TIconArt* art = FindIconArt("APPLICATION");
  ASSERT_NE(art, nullptr);
  m.Machine().Machine().System().AddResource("SOFTWAREICON16", "APPLICATION", EncodePng(16, 16, RenderIcon(*art, 16)));
  m.Machine().Machine().System().AddResource("SOFTWAREICON32", "APPLICATION", EncodePng(32, 32, RenderIcon(*art, 32)));
  const TSoftwareClassRegistry classes = TestSoftwareClasses();
  TNetworkingApps apps(m.Port(), classes);
  ASSERT_NE(apps.SmallImages(), nullptr);
  EXPECT_EQ(apps.SmallImages()->Count(), 3);
  EXPECT_EQ(apps.LargeImages()->Count(), 3);

  ui::ListView view;
  apps.SetApplicationView(&view);
  apps.SetApplicationView(&view);  // preparing twice adds no second set of groups
  EXPECT_TRUE(view.GroupView());
  EXPECT_EQ(view.Style(), ui::ViewStyle::Tile);
  EXPECT_EQ(view.TileViewLines(), 1);
  ASSERT_EQ(view.Groups().size(), 5u);
  const char* headers[] = {"Other", "Browser", "Email", "Chat", "Multimedia"};
  for (int id = 0; id < 5; ++id) EXPECT_EQ(view.Groups()[id], (ui::ListGroup{id, headers[id]}));
  ASSERT_EQ(view.ItemCount(), 2);
  EXPECT_EQ(view.Item(1).caption, "Skype");
  EXPECT_EQ(view.Item(1).subItems, std::vector<std::string>{"C:\\Program Files\\Skype\\skype.exe"});
  EXPECT_EQ(view.Item(1).imageIndex, 2);
  EXPECT_EQ(view.Item(1).groupId, 3);
  EXPECT_EQ(view.Item(1).tileColumns, std::vector<int>{1});

  ui::ListView details;
  TNetworkingApps::PrepareListView(&details, false);
  apps.FillApplicationList(&details, false);
  EXPECT_EQ(details.Style(), ui::ViewStyle::Report);
  EXPECT_TRUE(details.Item(0).tileColumns.empty());
  TNetworkingApps::PrepareListView(nullptr, true);  // nothing to do, nothing fails

  view.ClearItems();
  apps.SetInternetUser("Anna");
  EXPECT_EQ(view.ItemCount(), 2) << "choosing an account refreshes the attached list";
  apps.SetApplicationView(nullptr);
  view.ClearItems();
  apps.SetInternetUser("Bob");
  EXPECT_EQ(view.ItemCount(), 0) << "a detached list is not touched";
}

}  // namespace
}  // namespace ombrant::test
