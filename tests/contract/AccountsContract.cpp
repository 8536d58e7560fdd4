// The accounts area of the port, as Windows behaves. Runs against the simulated machine and,
// under Wine, against the real port; Wine's accounts, logon and profiles are stubs, so those
// tests skip there.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/vqStrings.h"
#include "tests/contract/ContractEnv.h"

namespace ombrant::test {
namespace {

using namespace ombrant::port;

constexpr const char* kTestAccount = "OmbrantCT-1";

class AccountsContract : public ::testing::Test {
 protected:
  IAccounts& Accounts() { return env_->Port().accounts; }
  bool OnWine() const { return env_->IsWine(); }

  std::unique_ptr<ContractEnv> env_ = MakeContractEnv();
};

TEST_F(AccountsContract, TheRunningAccountHasAName) {
  std::string name;
  ASSERT_EQ(Accounts().GetUserName(&name), kErrorSuccess);
  EXPECT_FALSE(name.empty());
  EXPECT_EQ(name.find('\0'), std::string::npos);
}

TEST_F(AccountsContract, TheRunningAccountIsInTheDatabase) {
  if (OnWine()) GTEST_SKIP() << "Wine's account database is a stub";
  std::string name;
  ASSERT_EQ(Accounts().GetUserName(&name), kErrorSuccess);
  UserInfo3 info;
  ASSERT_EQ(Accounts().NetUserGetInfo("", name, &info), kErrorSuccess);
  EXPECT_TRUE(SameText(info.name, name));
  EXPECT_LE(info.priv, kUserPrivAdmin);
  std::vector<UserInfo3> users;
  ASSERT_EQ(Accounts().NetUserEnum("", kFilterAll, &users), kErrorSuccess);
  EXPECT_TRUE(std::any_of(users.begin(), users.end(),
                          [&](const UserInfo3& u) { return SameText(u.name, name); }));

  info.name = "untouched";
  EXPECT_EQ(Accounts().NetUserGetInfo("", "NoSuchAccount-7f3a", &info), kNerrUserNotFound);
  EXPECT_EQ(info.name, "untouched");
  EXPECT_EQ(Accounts().NetUserDel("", "NoSuchAccount-7f3a"), kNerrUserNotFound);
}

TEST_F(AccountsContract, TheProfileFunctionsAreBoundByName) {
  EXPECT_EQ(Accounts().BindProfileFunction("LoadUserProfileA"), kErrorSuccess);
  EXPECT_EQ(Accounts().BindProfileFunction("UnloadUserProfile"), kErrorSuccess);
  EXPECT_EQ(Accounts().BindProfileFunction("NoSuchFunction"), kErrorProcNotFound);
}

// Creates an account, logs on, loads and unloads its profile, deletes it.
TEST_F(AccountsContract, ANewAccountLogsOnAndGetsAProfile) {
  if (OnWine()) GTEST_SKIP() << "Wine's account database, logon and profiles are stubs";
  UserInfo1 info;
  info.name = kTestAccount;
  info.password = "wopa-7f3a";
  info.priv = kUserPrivUser;
  info.comment = "Internet usage user";
  info.flags = kUfNormalAccount | kUfDontExpirePasswd;
  ASSERT_EQ(Accounts().NetUserAdd("", info, nullptr), kErrorSuccess);
  struct Cleanup {
    IAccounts& accounts;
    ~Cleanup() { EXPECT_EQ(accounts.NetUserDel("", kTestAccount), kErrorSuccess); }
  } cleanup{Accounts()};
  EXPECT_EQ(Accounts().NetUserAdd("", info, nullptr), kNerrUserExists);

  HToken token = 0xdead;
  EXPECT_EQ(Accounts().LogonUser(kTestAccount, "", "wrong", kLogon32LogonInteractive,
                                 kLogon32ProviderDefault, &token),
            kErrorLogonFailure);
  EXPECT_EQ(token, 0xdeadu);
  ASSERT_EQ(Accounts().LogonUser(kTestAccount, "", info.password, kLogon32LogonInteractive,
                                 kLogon32ProviderDefault, &token),
            kErrorSuccess);
  ProfileInfo profile;
  profile.userName = kTestAccount;
  ASSERT_EQ(Accounts().LoadUserProfile(token, &profile), kErrorSuccess);
  ASSERT_NE(profile.profile, kNoKey);
  IRegistry& registry = env_->Port().registry;
  HKey environment = kNoKey;
  ASSERT_EQ(
      registry.RegCreateKeyEx(profile.profile, "Environment", kKeyAllAccess, &environment, nullptr),
      kErrorSuccess);
  EXPECT_EQ(registry.RegCloseKey(environment), kErrorSuccess);
  EXPECT_EQ(Accounts().UnloadUserProfile(token, profile.profile), kErrorSuccess);
  EXPECT_EQ(Accounts().CloseHandle(token), kErrorSuccess);
}

TEST_F(AccountsContract, ThePolicyOpensAndCloses) {
  HPolicy policy = kNoPolicy;
  ASSERT_EQ(Accounts().LsaOpenPolicy("", kPolicyCreateAccount | kPolicyLookupNames, &policy),
            kErrorSuccess);
  EXPECT_NE(policy, kNoPolicy);
  EXPECT_EQ(Accounts().LsaClose(policy), kErrorSuccess);
}

// Denies a new account network and remote-desktop logon, lists and removes the rights.
TEST_F(AccountsContract, AnAccountGetsAndLosesItsLogonRights) {
  if (OnWine()) GTEST_SKIP() << "Wine's account database and account-rights calls are stubs";
  UserInfo1 info;
  info.name = kTestAccount;
  info.password = "wopa-7f3a";
  info.priv = kUserPrivUser;
  info.flags = kUfNormalAccount | kUfDontExpirePasswd;
  ASSERT_EQ(Accounts().NetUserAdd("", info, nullptr), kErrorSuccess);
  struct Cleanup {
    IAccounts& accounts;
    ~Cleanup() { EXPECT_EQ(accounts.NetUserDel("", kTestAccount), kErrorSuccess); }
  } cleanup{Accounts()};
  Sid sid;
  std::string domain;
  std::uint32_t use = 0;
  ASSERT_EQ(env_->Port().security.LookupAccountName("", kTestAccount, &sid, &domain, &use),
            kErrorSuccess);

  HPolicy policy = kNoPolicy;
  ASSERT_EQ(Accounts().LsaOpenPolicy("", kPolicyCreateAccount | kPolicyLookupNames, &policy),
            kErrorSuccess);
  struct Close {
    IAccounts& accounts;
    HPolicy policy;
    ~Close() { EXPECT_EQ(accounts.LsaClose(policy), kErrorSuccess); }
  } close{Accounts(), policy};

  std::vector<std::string> rights{"untouched"};
  EXPECT_EQ(Accounts().LsaEnumerateAccountRights(policy, sid, &rights), kErrorFileNotFound);
  EXPECT_EQ(rights, std::vector<std::string>{"untouched"});
  EXPECT_EQ(Accounts().LsaRemoveAccountRights(policy, sid, true, {}), kErrorFileNotFound);
  EXPECT_EQ(Accounts().LsaAddAccountRights(policy, sid, {"SeNoSuchLogonRight"}),
            kErrorNoSuchPrivilege);

  const std::vector<std::string> deny{std::string(kSeDenyNetworkLogonRight),
                                      std::string(kSeDenyRemoteInteractiveLogonRight)};
  ASSERT_EQ(Accounts().LsaAddAccountRights(policy, sid, deny), kErrorSuccess);
  ASSERT_EQ(Accounts().LsaAddAccountRights(policy, sid, {deny[0]}), kErrorSuccess);
  ASSERT_EQ(Accounts().LsaEnumerateAccountRights(policy, sid, &rights), kErrorSuccess);
  std::sort(rights.begin(), rights.end());
  EXPECT_EQ(rights, deny) << "a right granted twice is held once";

  ASSERT_EQ(Accounts().LsaRemoveAccountRights(policy, sid, false, {deny[0]}), kErrorSuccess);
  ASSERT_EQ(Accounts().LsaEnumerateAccountRights(policy, sid, &rights), kErrorSuccess);
  EXPECT_EQ(rights, std::vector<std::string>{deny[1]});
  ASSERT_EQ(Accounts().LsaRemoveAccountRights(policy, sid, true, {}), kErrorSuccess);
  EXPECT_EQ(Accounts().LsaEnumerateAccountRights(policy, sid, &rights), kErrorFileNotFound);
}

}  // namespace
}  // namespace ombrant::test
