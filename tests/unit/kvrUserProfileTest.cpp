#include "catalogue/kvrUserProfile.h"

#include <gtest/gtest.h>

#include "tests/unit/accountsTestMachine.h"

namespace ombrant {
namespace {

using test::AccountsTestMachine;

TEST(UserProfileFunctions, AreLookedUpOnceAndLoadTheProfile) {
  AccountsTestMachine machine(test::kVista);
  sim::SimAccounts& accounts = machine.Accounts();
  TUserProfileFunctions functions(accounts);
  {
    TLogonToken token(accounts);
    ASSERT_TRUE(token.Logon("Anna", "", "wopa", port::kLogon32LogonInteractive,
                            port::kLogon32ProviderDefault));
    for (int round = 0; round < 2; ++round) {
      TLoadedUserProfile profile(functions, token.Get());
      ASSERT_TRUE(profile.Load("Anna"));
      EXPECT_EQ(profile.Info().size, 32u);
      EXPECT_TRUE(machine.Registry().HasKey("HKEY_USERS\\" + machine.SidOf("Anna")));
      EXPECT_TRUE(machine.Files().IsFolder("C:\\Users\\Anna\\Desktop"));
    }
    EXPECT_FALSE(machine.Registry().HasKey("HKEY_USERS\\" + machine.SidOf("Anna")));
    // One look-up for each of the two functions, however often they are called.
    EXPECT_EQ(accounts.ProfileFunctionLookups(), 2);
    EXPECT_EQ(accounts.OpenTokenCount(), 1u);
  }
  EXPECT_EQ(accounts.OpenTokenCount(), 0u);
  EXPECT_EQ(accounts.LoadedProfileCount(), 0u);

  TLogonToken wrong(accounts);
  EXPECT_FALSE(wrong.Logon("Anna", "", "nope", 2, 0));
  EXPECT_FALSE(wrong.Valid());
  port::ProfileInfo info;
  info.userName = "Anna";
  EXPECT_FALSE(functions.LoadUserProfileA(wrong.Get(), info));
  EXPECT_EQ(info.profile, port::kNoKey);
}

TEST(UserProfileFunctions, MissingLibraryOrFunctionRaisesNamingIt) {
  struct Case {
    bool library;
    bool function;
    const char* message;
  };
  const Case cases[] = {
      {false, false, "Library not found: userenv.dll"},
      {true, false, "Function not found: userenv.dll.LoadUserProfileA"},
  };
  for (const Case& c : cases) {
    AccountsTestMachine machine;
    machine.Accounts().Settings().hasUserenv = c.library;
    machine.Accounts().Settings().hasProfileFunctions = c.function;
    TUserProfileFunctions functions(machine.Accounts());
    TLogonToken token(machine.Accounts());
    ASSERT_TRUE(token.Logon("Anna", "", "wopa", 2, 0));
    port::ProfileInfo info;
    info.userName = "Anna";
    for (int attempt = 0; attempt < 2; ++attempt) {
      try {
        functions.LoadUserProfileA(token.Get(), info);
        ADD_FAILURE() << c.message << ": nothing raised";
      } catch (const EProfileFunctionError& e) {
        EXPECT_STREQ(e.what(), c.message);
      }
    }
    // A failed look-up is not remembered: the next call tries again.
    EXPECT_EQ(machine.Accounts().ProfileFunctionLookups(), 2);
    EXPECT_FALSE(machine.Files().Exists("C:\\Documents and Settings\\Anna"));
  }
}

}  // namespace
}  // namespace ombrant
