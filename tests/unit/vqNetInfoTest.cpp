#include "platform/vqNetInfo.h"

#include <gtest/gtest.h>

#include "tests/unit/accountsTestMachine.h"
#include "tests/unit/portForwarders.h"

namespace ombrant {
namespace {

using test::AccountsTestMachine;

std::vector<std::string> Names(const TUserList& list) {
  std::vector<std::string> names;
  for (int i = 0; i < list.Count(); ++i) names.push_back(list.Items(i).UserName);
  return names;
}

// Admin, Anna, Guest, plus Bob (a user with a full name) and Odd, whose privilege no set holds.
class NetInfoTest : public ::testing::Test {
 protected:
  NetInfoTest() {
    sim::SimUser bob;
    bob.name = "Bob";
    bob.fullName = "Bob Builder";
    machine_.Accounts().AddUser(bob);
    sim::SimUser odd;
    odd.name = "Odd";
    odd.privilege = 9;
    machine_.Accounts().AddUser(odd);
  }
  port::IAccounts& Accounts() { return machine_.Accounts(); }

  AccountsTestMachine machine_;
};

TEST_F(NetInfoTest, RefreshKeepsTheLevelsOfTheSetInEnumerationOrder) {
  const std::pair<TPrivilegeSet, std::vector<std::string>> cases[] = {
      {{port::kUserPrivUser}, {"Anna", "Bob"}},
      {{port::kUserPrivAdmin}, {"Admin"}},
      {{port::kUserPrivGuest, port::kUserPrivAdmin}, {"Admin", "Guest"}},
      {{}, {}},
      {{9}, {}},  // beyond 0..7: never in a set
  };
  TUserList list(Accounts(), false);
  EXPECT_EQ(list.Count(), 0);
  for (const auto& [set, names] : cases) {
    EXPECT_TRUE(list.Refresh(set));
    EXPECT_EQ(Names(list), names);
  }
  ASSERT_TRUE(list.Refresh({port::kUserPrivUser}));
  EXPECT_EQ(list.Items(1).FullName, "Bob Builder");
  EXPECT_EQ(Names(TUserList(Accounts(), true)),
            (std::vector<std::string>{"Admin", "Anna", "Bob", "Guest"}));
}

TEST_F(NetInfoTest, ItemsAreCopies) {
  TUserList list(Accounts(), true);
  TUserRecord record = list.Items(0);
  record.UserName = "Changed";
  EXPECT_EQ(list.Items(0).UserName, "Admin");
  EXPECT_THROW((void)list.Items(list.Count()), std::out_of_range);
  EXPECT_THROW((void)list.Items(-1), std::out_of_range);
}

TEST(NetInfo, OnlyAdministratorsAndTheGuestGiveNoCandidates) {
  AccountsTestMachine machine;
  machine.RunAs("Admin");
  ASSERT_EQ(machine.Accounts().NetUserDel("", "Anna"), port::kErrorSuccess);
  TUserList list(machine.Accounts(), false);
  EXPECT_TRUE(list.Refresh({port::kUserPrivUser}));
  EXPECT_EQ(list.Count(), 0);
}

class FailingEnum : public test::ForwardingAccounts {
 public:
  FailingEnum(port::IAccounts& inner, bool throws) : ForwardingAccounts(inner), throws_(throws) {}
  port::Status NetUserEnum(std::string_view server, std::uint32_t filter,
                           std::vector<port::UserInfo3>* users) override {
    if (throws_) throw std::bad_alloc();
    (void)server, (void)filter, (void)users;
    return port::kErrorAccessDenied;
  }

 private:
  bool throws_;
};

TEST_F(NetInfoTest, EnumerationFailuresEmptyTheListAndOnlyExceptionsGiveFalse) {
  TUserList list(Accounts(), true);
  ASSERT_GT(list.Count(), 0);
  std::vector<std::string> names = {"kept"};

  FailingEnum failing(Accounts(), false);
  TUserList failingList(failing, true);
  EXPECT_TRUE(failingList.Refresh({port::kUserPrivUser}));
  EXPECT_EQ(failingList.Count(), 0);
  EXPECT_TRUE(GetLocalUserNames(failing, names));

  FailingEnum throwing(Accounts(), true);
  TUserList throwingList(throwing, false);
  EXPECT_FALSE(throwingList.Refresh({port::kUserPrivUser}));
  EXPECT_FALSE(GetLocalUserNames(throwing, names));
  EXPECT_EQ(names, std::vector<std::string>{"kept"});
}

TEST_F(NetInfoTest, LocalUserNamesAreAppendedUnfiltered) {
  std::vector<std::string> names = {"first"};
  EXPECT_TRUE(GetLocalUserNames(Accounts(), names));
  EXPECT_EQ(names, (std::vector<std::string>{"first", "Admin", "Anna", "Bob", "Guest", "Odd"}));
}

TEST_F(NetInfoTest, CurrentUserAndPrivilege) {
  std::uint32_t privilege = 77;
  EXPECT_EQ(GetCurrentUserName(Accounts()), "Admin");
  EXPECT_TRUE(GetCurrentUserPrivilege(Accounts(), &privilege));
  EXPECT_EQ(privilege, port::kUserPrivAdmin);
  machine_.RunAs("anna");
  EXPECT_EQ(GetCurrentUserName(Accounts()), "Anna");
  EXPECT_TRUE(GetCurrentUserPrivilege(Accounts(), &privilege));
  EXPECT_EQ(privilege, port::kUserPrivUser);

  machine_.RunAs("Ghost");  // not in the database
  privilege = 77;
  EXPECT_FALSE(GetCurrentUserPrivilege(Accounts(), &privilege));
  EXPECT_EQ(privilege, 77u);
  machine_.RunAs("");
  EXPECT_EQ(GetCurrentUserName(Accounts()), "");
}

class NoWellKnownSids : public test::ForwardingSecurity {
 public:
  using ForwardingSecurity::ForwardingSecurity;
  port::Status CreateWellKnownSid(int, const port::Sid*, port::Sid*) override {
    return port::kErrorProcNotFound;
  }
};

TEST(NetInfo, UsersGroupNameIsTheLocalOne) {
  AccountsTestMachine english(test::kXpEnglish);
  AccountsTestMachine german(test::kXpGerman);
  EXPECT_EQ(GetUsersGroupName(english.Security()), "Users");
  EXPECT_EQ(GetUsersGroupName(german.Security()), "Benutzer");
  // The name given is the one the group calls take.
  EXPECT_EQ(
      german.Accounts().NetLocalGroupAddMembers("", GetUsersGroupName(german.Security()), {"Anna"}),
      port::kErrorMemberInAlias);

  english.Security().Settings().hasSddlFunctions = false;
  EXPECT_EQ(GetUsersGroupName(english.Security()), "");
  NoWellKnownSids old(german.Security());
  try {
    (void)GetUsersGroupName(old);
    ADD_FAILURE() << "nothing raised";
  } catch (const ENetInfoError& e) {
    EXPECT_STREQ(e.what(), "Function not found: advapi32.dll.CreateWellKnownSid");
  }
}

}  // namespace
}  // namespace ombrant
