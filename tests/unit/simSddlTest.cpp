#include "platform/sim/simSddl.h"

#include <gtest/gtest.h>

namespace ombrant::sim {
namespace {

constexpr const char* kMachine = "S-1-5-21-10-20-30";

std::string RoundTrip(std::string_view text, std::uint32_t information = 0xF) {
  SecurityParts parts;
  const port::Status status = ParseSddl(text, kMachine, &parts);
  if (status != port::kErrorSuccess) return "error " + std::to_string(status);
  SecurityParts decoded;
  if (DecodeSecurityDescriptor(EncodeSecurityDescriptor(parts), &decoded) != port::kErrorSuccess) {
    return "undecodable";
  }
  return FormatSddl(decoded, information, kMachine);
}

TEST(SimSddl, ConvertsToBinaryAndBackInWindowsSpelling) {
  const std::pair<const char*, const char*> cases[] = {
      {"D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)", nullptr},
      {"O:BAG:SYD:(D;OICI;FA;;;S-1-5-21-10-20-30-1004)(A;ID;FR;;;WD)", nullptr},
      {"D:", nullptr},
      {"D:P", nullptr},
      {"D:NO_ACCESS_CONTROL", nullptr},
      {"D:ARAI(A;CIIO;GXGR;;;BU)(A;NP;CCDCLCSWRPWPDTLOCRSDRCWDWO;;;CO)", nullptr},
      {"D:(OA;CI;RP;4c164200-20c0-11d0-a768-00aa006e0529;bf967aba-0de6-11d0-a285-00aa003049e2;AU)",
       nullptr},
      {"S:(AU;SAFA;FA;;;WD)D:(A;;KA;;;SY)", "D:(A;;KA;;;SY)S:(AU;SAFA;FA;;;WD)"},
      // Rights, SIDs and flags are written as Windows writes them.
      {"D:(A;IOCIOI;0x1f01ff;;;S-1-5-32-544)", "D:(A;OICIIO;FA;;;BA)"},
      {"D:(A;;268435456;;;s-1-5-21-10-20-30-500)", "D:(A;;GA;;;LA)"},
      {"D:(A;;0x1301bf;;;S-1-5-21-10-20-30-1001)", nullptr},
      {"D:(A;;0x3;;;BU)", "D:(A;;CCDC;;;BU)"},
      {"D:AIP(A;;FA;;;SY)", "D:PAI(A;;FA;;;SY)"},
  };
  for (const auto& [text, canonical] : cases) {
    EXPECT_EQ(RoundTrip(text), canonical ? canonical : text) << text;
  }
  EXPECT_EQ(RoundTrip("O:BAG:SYD:P(A;;FA;;;SY)", port::kDaclSecurityInformation),
            "D:P(A;;FA;;;SY)");
}

TEST(SimSddl, MalformedTextFailsAsWindowsFailsIt) {
  const std::pair<const char*, port::Status> cases[] = {
      {":(A;OICI;FA;;;SY)", port::kErrorInvalidParameter},  // no section letter
      {"X:(A;;FA;;;SY)", port::kErrorInvalidParameter},
      {"D:(A;;FA;;;SY)D:(A;;FA;;;BA)", port::kErrorInvalidParameter},  // section twice
      {"D:(A;OICI;FA;;;SY", port::kErrorInvalidAcl},                   // not closed
      {"D:(A;OICI;FA;;;SY)x", port::kErrorInvalidAcl},
      {"D:Q(A;;FA;;;SY)", port::kErrorInvalidAcl},   // unknown list flag
      {"D:(Q;;FA;;;SY)", port::kErrorInvalidAcl},    // unknown type
      {"D:(A;XY;FA;;;SY)", port::kErrorInvalidAcl},  // unknown entry flag
      {"D:(A;;ZZ;;;SY)", port::kErrorInvalidAcl},    // unknown right
      {"D:(A;;FAF;;;SY)", port::kErrorInvalidAcl},
      {"D:(A;;0x1g;;;SY)", port::kErrorInvalidAcl},
      {"D:(A;;FA;;;XX)", port::kErrorInvalidAcl},  // unknown alias
      {"D:(A;;FA;;;S-1-5-32-)", port::kErrorInvalidAcl},
      {"D:(A;;FA;;)", port::kErrorInvalidAcl},       // five fields
      {"D:(A;;FA;;;SY;x)", port::kErrorInvalidAcl},  // seven
      {"D:(A;;FA;4c164200-20c0-11d0-a768-00aa006e0529;;SY)", port::kErrorInvalidAcl},
      {"D:(OA;;FA;4c164200-20c0;;SY)", port::kErrorInvalidAcl},  // short GUID
      {"D:NO_ACCESS_CONTROL(A;;FA;;;SY)", port::kErrorInvalidAcl},
      {"O:XX", port::kErrorInvalidSid},
  };
  for (const auto& [text, status] : cases) {
    SecurityParts parts;
    EXPECT_EQ(ParseSddl(text, kMachine, &parts), status) << text;
  }
}

TEST(SimSddl, SidTextIsCheckedStrictly) {
  const std::pair<const char*, const char*> good[] = {
      {"S-1-5-32-545", "S-1-5-32-545"},
      {"s-1-5-21-1-2-3-1000", "S-1-5-21-1-2-3-1000"},
      {"S-1-5", "S-1-5"},
      {"S-1-0x123456789ABC-7", "S-1-0x123456789ABC-7"},
      {"S-1-5-4294967295", "S-1-5-4294967295"},
  };
  for (const auto& [text, canonical] : good) {
    port::Sid sid;
    ASSERT_EQ(SidFromString(text, &sid), port::kErrorSuccess) << text;
    EXPECT_TRUE(IsValidSid(sid));
    EXPECT_EQ(SidToString(sid), canonical);
  }
  for (const char* bad :
       {"", "S-", "S-1", "S-2-5-32-545", "X-1-5", "S-1--5", "S-1-5-", "S-1-5-4294967296",
        "S-1-5-1-2-3-4-5-6-7-8-9-10-11-12-13-14-15-16", "S-1-5-32-54x", "BA"}) {
    port::Sid sid = {9};
    EXPECT_EQ(SidFromString(bad, &sid), port::kErrorInvalidSid) << bad;
    EXPECT_EQ(sid, port::Sid{9}) << bad;
  }
  port::Sid local;
  ASSERT_EQ(SidFromSddl("LG", kMachine, &local), port::kErrorSuccess);
  EXPECT_EQ(SidToString(local), "S-1-5-21-10-20-30-501");
  EXPECT_EQ(SidFromSddl("LG", "", &local), port::kErrorInvalidSid);
}

TEST(SimSddl, ChildrenInheritAsNtfsBuildsTheirLists) {
  auto inherit = [](const char* parentDacl, bool container) {
    SecurityParts parent;
    EXPECT_EQ(ParseSddl(parentDacl, kMachine, &parent), port::kErrorSuccess) << parentDacl;
    SecurityParts child;
    child.control = kSeDaclPresent | kSeDaclAutoInherited;
    child.dacl = InheritAcl(parent.dacl.value_or(Acl{}), container);
    return FormatSddl(child, port::kDaclSecurityInformation, kMachine);
  };
  // Windows 7's Program Files and what a program folder and a file in it get.
  const char* seven =
      "D:PAI(A;;FA;;;S-1-5-80-1)(A;CIIO;GA;;;S-1-5-80-1)(A;;0x1301bf;;;SY)(A;OICIIO;GA;;;SY)"
      "(A;;0x1200a9;;;BU)(A;OICIIO;GXGR;;;BU)(A;OICIIO;GA;;;CO)";
  EXPECT_EQ(inherit(seven, true),
            "D:AI(A;ID;FA;;;S-1-5-80-1)(A;CIIOID;GA;;;S-1-5-80-1)(A;ID;FA;;;SY)"
            "(A;OICIIOID;GA;;;SY)(A;ID;0x1200a9;;;BU)(A;OICIIOID;GXGR;;;BU)(A;OICIIOID;GA;;;CO)");
  EXPECT_EQ(inherit(seven, false), "D:AI(A;ID;FA;;;SY)(A;ID;0x1200a9;;;BU)");
  // Object-only and one-level entries.
  const char* mixed = "D:(A;OI;FR;;;WD)(A;CINP;FW;;;BU)(A;OICINP;FA;;;SY)(A;;FA;;;BA)";
  EXPECT_EQ(inherit(mixed, true), "D:AI(A;OIIOID;FR;;;WD)(A;ID;FW;;;BU)(A;ID;FA;;;SY)");
  EXPECT_EQ(inherit(mixed, false), "D:AI(A;ID;FR;;;WD)(A;ID;FA;;;SY)");
}

TEST(SimSddl, BinaryDescriptorsAreCheckedBeforeUse) {
  SecurityParts parts;
  ASSERT_EQ(ParseSddl("O:BAD:(A;;FA;;;SY)", kMachine, &parts), port::kErrorSuccess);
  const port::SecurityDescriptor good = EncodeSecurityDescriptor(parts);
  std::vector<std::pair<const char*, port::SecurityDescriptor>> bad;
  bad.emplace_back("empty", port::SecurityDescriptor{});
  bad.emplace_back("cut", port::SecurityDescriptor(good.begin(), good.end() - 3));
  port::SecurityDescriptor absolute = good;
  absolute[3] &= 0x7F;  // not self-relative
  bad.emplace_back("absolute", absolute);
  port::SecurityDescriptor longAcl = good;
  longAcl[22] = 0xFF;  // the DACL claims more bytes than there are
  bad.emplace_back("ACL size", longAcl);
  for (const auto& [what, bytes] : bad) {
    SecurityParts decoded;
    EXPECT_EQ(DecodeSecurityDescriptor(bytes, &decoded), port::kErrorInvalidSecurityDescr) << what;
  }
}

}  // namespace
}  // namespace ombrant::sim
