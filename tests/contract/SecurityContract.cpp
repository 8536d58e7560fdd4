// The security area of the port, as Windows behaves. Runs against the simulated machine and,
// under Wine, against the real port; Wine's file security is a stub, so those tests skip there.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/contract/ContractEnv.h"

namespace ombrant::test {
namespace {

using namespace ombrant::port;

class SecurityContract : public ::testing::Test {
 protected:
  ISecurity& Security() { return env_->Port().security; }

  std::string SidText(const Sid& sid) {
    std::string text = "(not converted)";
    EXPECT_EQ(Security().ConvertSidToStringSid(sid, &text), kErrorSuccess);
    return text;
  }
  std::string RoundTrip(const std::string& sddl, std::uint32_t information) {
    SecurityDescriptor descriptor;
    const Status status = Security().ConvertStringSecurityDescriptorToSecurityDescriptor(
        sddl, kSddlRevision1, &descriptor);
    if (status != kErrorSuccess) return "error " + std::to_string(status);
    std::string text;
    const Status back = Security().ConvertSecurityDescriptorToStringSecurityDescriptor(
        descriptor, kSddlRevision1, information, &text);
    return back == kErrorSuccess ? text : "error " + std::to_string(back);
  }

  std::unique_ptr<ContractEnv> env_ = MakeContractEnv();
};

TEST_F(SecurityContract, WellKnownSidsHaveTheirStandardForm) {
  const std::pair<int, const char*> cases[] = {
      {kWinWorldSid, "S-1-1-0"},
      {kWinLocalSystemSid, "S-1-5-18"},
      {kWinAuthenticatedUserSid, "S-1-5-11"},
      {kWinBuiltinAdministratorsSid, "S-1-5-32-544"},
      {kWinBuiltinUsersSid, "S-1-5-32-545"},
      {kWinBuiltinGuestsSid, "S-1-5-32-546"},
  };
  for (const auto& [type, text] : cases) {
    Sid sid;
    ASSERT_EQ(Security().CreateWellKnownSid(type, nullptr, &sid), kErrorSuccess) << type;
    EXPECT_LE(sid.size(), kSecurityMaxSidSize);
    EXPECT_EQ(SidText(sid), text);
  }
  Sid untouched = {7};
  EXPECT_EQ(Security().CreateWellKnownSid(kWinAccountAdministratorSid, nullptr, &untouched),
            kErrorInvalidParameter);
  EXPECT_EQ(untouched, Sid{7});
}

TEST_F(SecurityContract, TheBuiltinUsersGroupIsFoundBySid) {
  Sid users;
  ASSERT_EQ(Security().CreateWellKnownSid(kWinBuiltinUsersSid, nullptr, &users), kErrorSuccess);
  std::string name, domain;
  std::uint32_t use = 0;
  ASSERT_EQ(Security().LookupAccountSid("", users, &name, &domain, &use), kErrorSuccess);
  EXPECT_EQ(name, "Users");
  EXPECT_EQ(domain, "BUILTIN");
  EXPECT_EQ(use, kSidTypeAlias);

  Sid back;
  ASSERT_EQ(Security().LookupAccountName("", "Users", &back, &domain, &use), kErrorSuccess);
  EXPECT_EQ(back, users);
}

TEST_F(SecurityContract, TheRunningAccountHasAUserSid) {
  std::string user;
  ASSERT_EQ(env_->Port().accounts.GetUserName(&user), kErrorSuccess);
  Sid sid;
  std::string domain;
  std::uint32_t use = 0;
  ASSERT_EQ(Security().LookupAccountName("", user, &sid, &domain, &use), kErrorSuccess) << user;
  EXPECT_EQ(use, kSidTypeUser);
  EXPECT_EQ(SidText(sid).rfind("S-1-5-21-", 0), 0u) << SidText(sid);
  std::string name;
  ASSERT_EQ(Security().LookupAccountSid("", sid, &name, &domain, &use), kErrorSuccess);
  EXPECT_EQ(name, user);

  Sid untouched = {7};
  domain = "untouched";
  EXPECT_EQ(Security().LookupAccountName("", "NoSuchAccount-7f3a", &untouched, &domain, &use),
            kErrorNoneMapped);
  EXPECT_EQ(untouched, Sid{7});
  EXPECT_EQ(domain, "untouched");
}

TEST_F(SecurityContract, SidTextConvertsBothWays) {
  for (const char* text :
       {"S-1-5-32-545", "S-1-5-21-1004336348-1177238915-682003330-1003", "S-1-1-0"}) {
    Sid sid;
    ASSERT_EQ(Security().ConvertStringSidToSid(text, &sid), kErrorSuccess) << text;
    EXPECT_EQ(SidText(sid), text);
  }
  Sid alias;
  ASSERT_EQ(Security().ConvertStringSidToSid("BU", &alias), kErrorSuccess);
  EXPECT_EQ(SidText(alias), "S-1-5-32-545");
  for (const char* bad : {"", "S-1-5-", "X-1-5-32", "S-1-5-32-545x", "ZZ"}) {
    Sid untouched = {7};
    EXPECT_NE(Security().ConvertStringSidToSid(bad, &untouched), kErrorSuccess) << bad;
    EXPECT_EQ(untouched, Sid{7}) << bad;
  }
  std::string text = "untouched";
  EXPECT_NE(Security().ConvertSidToStringSid(Sid{1, 5, 0}, &text), kErrorSuccess);
  EXPECT_EQ(text, "untouched");
}

TEST_F(SecurityContract, SddlSurvivesTheRoundTrip) {
  const char* dacls[] = {
      "D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)",
      "D:AI(A;OICIID;FA;;;SY)(A;OICI;0x1301bf;;;S-1-5-21-1004336348-1177238915-682003330-1003)",
      "D:(D;OICI;FA;;;S-1-5-21-1004336348-1177238915-682003330-1003)(A;;FR;;;WD)",
      "D:P",
  };
  for (const char* dacl : dacls) EXPECT_EQ(RoundTrip(dacl, kDaclSecurityInformation), dacl);
  EXPECT_EQ(RoundTrip("O:BAG:SYD:(A;;FA;;;BA)", kDaclSecurityInformation), "D:(A;;FA;;;BA)");
  EXPECT_EQ(
      RoundTrip("O:BAG:SYD:(A;;FA;;;BA)",
                kOwnerSecurityInformation | kGroupSecurityInformation | kDaclSecurityInformation),
      "O:BAG:SYD:(A;;FA;;;BA)");
}

TEST_F(SecurityContract, MalformedSddlIsRefused) {
  for (const char* bad : {":(A;OICI;0x1301bf;;;BU)", "D:(A;OICI;FA;;;SY", "D:(A;;FA;;;XX)",
                          "D:(Q;;FA;;;SY)", "D:(A;;FA;;;SY;;)"}) {
    SecurityDescriptor untouched = {7};
    EXPECT_NE(Security().ConvertStringSecurityDescriptorToSecurityDescriptor(bad, kSddlRevision1,
                                                                             &untouched),
              kErrorSuccess)
        << bad;
    EXPECT_EQ(untouched, SecurityDescriptor{7}) << bad;
  }
}

TEST_F(SecurityContract, SystemMessagesEndWithALineBreak) {
  for (Status code : {kErrorFileNotFound, kErrorAccessDenied, kErrorNoneMapped, kErrorInvalidAcl}) {
    std::string text;
    ASSERT_EQ(Security().FormatMessage(code, &text), kErrorSuccess) << code;
    EXPECT_GT(text.size(), 2u);
    EXPECT_TRUE(text.ends_with("\r\n")) << code << ": " << text;
  }
  std::string text = "untouched";
  EXPECT_EQ(Security().FormatMessage(0x7FFFFF00, &text), kErrorMrMidNotFound);
  EXPECT_EQ(text, "untouched");
  if (env_->IsSimulated()) {
    ASSERT_EQ(Security().FormatMessage(kErrorFileNotFound, &text), kErrorSuccess);
    EXPECT_EQ(text, "The system cannot find the file specified.\r\n");
  }
}

TEST_F(SecurityContract, FileSecurityIsReadAndWrittenForOnePath) {
  if (env_->IsWine()) GTEST_SKIP() << "Wine's file security is a stub";
  IFileSystem& files = env_->Port().files;
  const std::string folder = env_->TestFolderPath() + "\\Secured";
  ASSERT_EQ(files.CreateDirectory(folder), kErrorSuccess);
  ASSERT_EQ(files.CreateDirectory(folder + "\\Inner"), kErrorSuccess);

  SecurityDescriptor descriptor;
  ASSERT_EQ(Security().GetFileSecurity(folder, kDaclSecurityInformation, &descriptor),
            kErrorSuccess);
  std::string text;
  ASSERT_EQ(Security().ConvertSecurityDescriptorToStringSecurityDescriptor(
                descriptor, kSddlRevision1, kDaclSecurityInformation, &text),
            kErrorSuccess);
  EXPECT_EQ(text.rfind("D:", 0), 0u) << text;

  const std::string protectedDacl = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
  ASSERT_EQ(Security().ConvertStringSecurityDescriptorToSecurityDescriptor(
                protectedDacl, kSddlRevision1, &descriptor),
            kErrorSuccess);
  ASSERT_EQ(Security().SetFileSecurity(folder, kDaclSecurityInformation, descriptor),
            kErrorSuccess);
  SecurityDescriptor readBack;
  ASSERT_EQ(Security().GetFileSecurity(folder + "\\", kDaclSecurityInformation, &readBack),
            kErrorSuccess);
  ASSERT_EQ(Security().ConvertSecurityDescriptorToStringSecurityDescriptor(
                readBack, kSddlRevision1, kDaclSecurityInformation, &text),
            kErrorSuccess);
  EXPECT_EQ(text, protectedDacl);

  SecurityDescriptor untouched = {7};
  EXPECT_EQ(
      Security().GetFileSecurity(folder + "\\missing.txt", kDaclSecurityInformation, &untouched),
      kErrorFileNotFound);
  EXPECT_EQ(Security().GetFileSecurity(folder + "\\No\\missing.txt", kDaclSecurityInformation,
                                       &untouched),
            kErrorPathNotFound);
  EXPECT_EQ(untouched, SecurityDescriptor{7});
}

}  // namespace
}  // namespace ombrant::test
