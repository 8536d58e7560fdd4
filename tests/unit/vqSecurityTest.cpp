#include "platform/vqSecurity.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/unit/accountsTestMachine.h"

namespace ombrant {
namespace {

using test::AccountsTestMachine;
using test::MachineFlavour;

struct SplitCase {
  const char* sddl;
  const char* section;
  const char* flags;
  std::vector<std::string> entries;
  const char* joined;
};

TEST(SecurityDescriptorString, SplitsIntoSectionFlagsAndEntriesAndJoinsBack) {
  const SplitCase cases[] = {
      {"D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)",
       "D",
       "PAI",
       {"(A;OICI;FA;;;SY)", "(A;OICI;FA;;;BA)"},
       "D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)"},
      {"D:(A;;0x1200a9;;;WD)", "D", "", {"(A;;0x1200a9;;;WD)"}, "D:(A;;0x1200a9;;;WD)"},
      // No entry: no "(" means no header at all, and the join is no SDDL.
      {"D:P", "", "", {}, ":"},
      {"", "", "", {}, ":"},
      // Text after the last entry belongs to none.
      {"D:AI(A;ID;FA;;;SY)rest", "D", "AI", {"(A;ID;FA;;;SY)"}, "D:AI(A;ID;FA;;;SY)"},
  };
  for (const SplitCase& c : cases) {
    std::string section = "junk", flags = "junk";
    std::vector<std::string> entries = {"junk"};
    SplitSecurityDescriptorString(c.sddl, section, flags, entries);
    EXPECT_EQ(section, c.section) << c.sddl;
    EXPECT_EQ(flags, c.flags) << c.sddl;
    EXPECT_EQ(entries, c.entries) << c.sddl;
    EXPECT_EQ(JoinSecurityDescriptorString(section, flags, entries), c.joined) << c.sddl;
  }
}

TEST(SecurityDescriptorString, SplitsAnEntryIntoItsSixFields) {
  const std::pair<const char*, TAceFields> cases[] = {
      {"(A;OICI;0x1301bf;;;BU)", {"A", "OICI", "0x1301bf", "", "", "BU"}},
      {"(OA;CI;RP;4c164200-20c0-11d0-a768-00aa006e0529;;AU)",
       {"OA", "CI", "RP", "4c164200-20c0-11d0-a768-00aa006e0529", "", "AU"}},
      {"(A;CI)", {"A", "CI", "", "", "", ""}},
      {"(A;;FA;;;SY;extra)", {"A", "", "FA", "", "", "SY"}},
      {"(A;OICI;0x1301bf;;;BU", {}},  // not closed
      {"A;OICI;0x1301bf;;;BU)", {}},  // not opened
      {"()", {}},                     // too short
  };
  for (const auto& [ace, fields] : cases) EXPECT_EQ(SplitAceString(ace), fields) << ace;
}

// The folder the grant is tried on: a program's folder below Program Files, holding a file and
// a sub-folder, with only inherited entries.
struct GrantFixture {
  explicit GrantFixture(const MachineFlavour& flavour) : machine(flavour) {
    folder = std::string(flavour.programFiles) + "\\Mozilla Firefox";
    machine.Files().AddFile(folder + "\\defaults\\pref\\channel-prefs.js", "pref");
    machine.Files().AddFile(folder + "\\firefox.exe", "MZ");
  }
  std::string Dacl(const std::string& path) {
    return vqGetFileSecurityString(machine.Security(), path, port::kDaclSecurityInformation);
  }
  port::ISecurity& Security() { return machine.Security(); }

  AccountsTestMachine machine;
  std::string folder;
};

TEST(GrantUserModifyAccess, AppendsTheEntryOnceAndLeavesWhatIsBelowAlone) {
  for (const MachineFlavour* flavour :
       {&test::kXpEnglish, &test::kXpGerman, &test::kVista, &test::kSeven64}) {
    SCOPED_TRACE(flavour->name);
    GrantFixture f(*flavour);
    const std::string before = f.Dacl(f.folder);
    const std::string fileBefore = f.Dacl(f.folder + "\\firefox.exe");
    const std::string subBefore = f.Dacl(f.folder + "\\defaults");
    ASSERT_TRUE(before.starts_with("D:AI(")) << before;  // inherited from Program Files

    EXPECT_TRUE(vqGrantUserModifyAccess(f.Security(), f.folder + "\\", "Anna"));
    const std::string grant = "(A;OICI;0x1301bf;;;" + f.machine.SidOf("Anna") + ")";
    const std::string after = f.Dacl(f.folder);
    // Flags and every entry, inherited ones included, are written back as they were; the grant
    // goes before them, as explicit entries precede inherited ones.
    EXPECT_EQ(after, "D:AI" + grant + before.substr(4));

    EXPECT_FALSE(vqGrantUserModifyAccess(f.Security(), f.folder, "anna"));
    EXPECT_EQ(f.Dacl(f.folder), after);

    // Only the folder itself is written: what exists below keeps its DACL, what is created
    // later inherits the entry.
    EXPECT_EQ(f.Dacl(f.folder + "\\firefox.exe"), fileBefore);
    EXPECT_EQ(f.Dacl(f.folder + "\\defaults"), subBefore);
    f.machine.Files().AddFile(f.folder + "\\places.sqlite", "");
    EXPECT_NE(f.Dacl(f.folder + "\\places.sqlite")
                  .find("(A;ID;0x1301bf;;;" + f.machine.SidOf("Anna") + ")"),
              std::string::npos);
  }
}

TEST(GrantUserModifyAccess, TheGrantGoesBeforeTheFirstInheritedEntry) {
  // Explicit entries first, then inherited ones: Windows weighs them in that order, and an
  // inherited deny placed before the grant would still be read after it.
  const struct {
    const char* name;
    const char* dacl;
    const char* expected;  // GRANT stands for the new entry
  } cases[] = {
      {"explicit entries only", "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)",
       "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)GRANT"},
      {"inherited entries only", "D:AI(A;OICIID;FA;;;SY)(A;OICIID;0x1200a9;;;BU)",
       "D:AI" "GRANT(A;OICIID;FA;;;SY)(A;OICIID;0x1200a9;;;BU)"},
      {"both", "D:AI(A;OICI;FA;;;BA)(D;OICIID;WD;;;BU)(A;OICIID;FA;;;SY)",
       "D:AI(A;OICI;FA;;;BA)GRANT(D;OICIID;WD;;;BU)(A;OICIID;FA;;;SY)"},
      {"inherit-only inherited entry", "D:AI(A;OICIIOID;GA;;;CO)(A;OICIID;FA;;;SY)",
       "D:AI" "GRANT(A;OICIIOID;GA;;;CO)(A;OICIID;FA;;;SY)"},
  };
  for (const auto& c : cases) {
    AccountsTestMachine machine(test::kXpEnglish);
    const std::string folder = "C:\\Data";
    machine.Files().AddFolder(folder);
    ASSERT_TRUE(machine.Acls().SetExplicit(folder, c.dacl)) << c.name;
    ASSERT_TRUE(vqGrantUserModifyAccess(machine.Security(), folder, "Anna")) << c.name;
    std::string expected = c.expected;
    expected.replace(expected.find("GRANT"), 5,
                     "(A;OICI;0x1301bf;;;" + machine.SidOf("Anna") + ")");
    EXPECT_EQ(vqGetFileSecurityString(machine.Security(), folder, port::kDaclSecurityInformation),
              expected)
        << c.name;
  }
}

TEST(GrantUserModifyAccess, AnAccountWithAnyEntryIsLeftAlone) {
  GrantFixture f(test::kXpEnglish);
  const std::string anna = f.machine.SidOf("Anna");
  const std::string dacls[] = {
      "D:PAI(A;OICI;FA;;;SY)(D;OICI;FA;;;" + anna + ")",      // denied
      "D:AI(A;OICIID;FA;;;BA)(A;ID;FR;;;" + anna + ")",       // inherited, read only
      "D:P(A;OICI;0x1301bf;;;" + anna + ")(A;OICI;FA;;;BA)",  // already granted
  };
  for (const std::string& dacl : dacls) {
    ASSERT_TRUE(f.machine.Acls().SetExplicit(f.folder, dacl)) << dacl;
    const std::string before = f.Dacl(f.folder);
    EXPECT_FALSE(vqGrantUserModifyAccess(f.Security(), f.folder, "Anna")) << dacl;
    EXPECT_EQ(f.Dacl(f.folder), before);
  }
}

TEST(GrantUserModifyAccess, RecognisesTheAccountWhenTheListNamesItByAlias) {
  // The built-in Administrator appears as "LA" in SDDL, not as its SID text.
  GrantFixture f(test::kXpEnglish);
  sim::SimUser administrator;
  administrator.name = "Administrator";
  administrator.privilege = port::kUserPrivAdmin;
  administrator.groups = {"Administrators"};
  f.machine.Accounts().AddUser(administrator);
  ASSERT_TRUE(f.machine.Acls().SetExplicit(f.folder, "D:P(A;OICI;FA;;;SY)(D;;WD;;;LA)"));
  const std::string before = f.Dacl(f.folder);
  ASSERT_EQ(before, "D:P(A;OICI;FA;;;SY)(D;;WD;;;LA)");
  EXPECT_FALSE(vqGrantUserModifyAccess(f.Security(), f.folder, "Administrator"));
  EXPECT_EQ(f.Dacl(f.folder), before);
}

// Leaves the machine so that the grant must fail.
using Breakage = std::function<void(GrantFixture&)>;

TEST(GrantUserModifyAccess, ChangesNothingWhenAStepFails) {
  const std::pair<const char*, Breakage> cases[] = {
      {"a list without entries",
       [](GrantFixture& f) { ASSERT_TRUE(f.machine.Acls().SetExplicit(f.folder, "D:P")); }},
      {"a running account that may not write the list",
       [](GrantFixture& f) { f.machine.RunAs("Anna"); }},
      {"a system without the SDDL conversions (NT 4)",
       [](GrantFixture& f) { f.machine.Security().Settings().hasSddlFunctions = false; }},
  };
  for (const auto& [what, breakage] : cases) {
    SCOPED_TRACE(what);
    GrantFixture f(test::kXpEnglish);
    breakage(f);
    const std::string broken = f.machine.Acls().Explicit(f.folder).value_or("(inherited)");
    EXPECT_FALSE(vqGrantUserModifyAccess(f.Security(), f.folder, "Anna"));
    EXPECT_EQ(f.machine.Acls().Explicit(f.folder).value_or("(inherited)"), broken);
    EXPECT_FALSE(f.machine.Acls().Explicit(f.folder + "\\firefox.exe").has_value());
  }

  GrantFixture f(test::kXpEnglish);
  EXPECT_FALSE(vqGrantUserModifyAccess(f.Security(), f.folder + "\\missing", "Anna"));
  EXPECT_FALSE(vqGrantUserModifyAccess(f.Security(), f.folder, "Nobody"));
  EXPECT_FALSE(f.machine.Acls().Explicit(f.folder).has_value());
  EXPECT_TRUE(f.machine.Acls().SaveEntries().empty());
}

TEST(SecurityRoutines, RaiseWithTheRoutineTheCallAndTheSystemText) {
  struct Case {
    const char* name;
    const MachineFlavour* flavour;
    std::function<void(AccountsTestMachine&)> call;
    const char* message;
  };
  const std::string missingFile = "C:\\Program Files\\nothing.txt";
  const Case cases[] = {
      {"missing file", &test::kXpEnglish,
       [&](AccountsTestMachine& m) {
         (void)vqGetFileSecurityString(m.Security(), missingFile, port::kDaclSecurityInformation);
       },
       "vqGetFileSecurityString.GetFileSecurity failed (The system cannot find the file "
       "specified)!"},
      {"missing folder on the way", &test::kXpEnglish,
       [](AccountsTestMachine& m) {
         (void)vqGetFileSecurityString(m.Security(), "C:\\No\\Such\\file.txt",
                                       port::kDaclSecurityInformation);
       },
       "vqGetFileSecurityString.GetFileSecurity failed (The system cannot find the path "
       "specified)!"},
      {"German text", &test::kXpGerman,
       [](AccountsTestMachine& m) {
         (void)vqGetFileSecurityString(m.Security(), "C:\\Programme\\fehlt.txt",
                                       port::kDaclSecurityInformation);
       },
       "vqGetFileSecurityString.GetFileSecurity failed (Das System kann die angegebene Datei "
       "nicht finden)!"},
      {"no conversion on NT 4", &test::kXpEnglish,
       [](AccountsTestMachine& m) {
         m.Security().Settings().hasSddlFunctions = false;
         (void)vqGetFileSecurityString(m.Security(), "C:\\Program Files",
                                       port::kDaclSecurityInformation);
       },
       "vqGetFileSecurityString.ConvertSecurityDescriptorToStringSecurityDescriptor failed (The "
       "specified procedure could not be found)!"},
      {"unknown account", &test::kVista,
       [](AccountsTestMachine& m) { (void)vqLookupAccountName(m.Security(), "Nobody", ""); },
       "vqLookupAccountName.LookupAccountName failed (No mapping between account names and "
       "security IDs was done)!"},
      {"malformed SDDL", &test::kXpEnglish,
       [](AccountsTestMachine& m) {
         (void)vqConvertSecurityDescriptor(m.Security(), "D:(A;;FA;;;XX)");
       },
       "vqConvertSecurityDescriptor.ConvertStringSecurityDescriptorToSecurityDescriptor failed "
       "(The access control list (ACL) structure is invalid)!"},
      {"malformed SID", &test::kXpEnglish,
       [](AccountsTestMachine& m) {
         (void)vqConvertSidToStringSid(m.Security(), port::Sid{1, 5, 0, 0});
       },
       "vqConvertSidToStringSid.ConvertSidToStringSid failed (The security ID structure is "
       "invalid)!"},
  };
  for (const Case& c : cases) {
    AccountsTestMachine machine(*c.flavour);
    try {
      c.call(machine);
      ADD_FAILURE() << c.name << ": nothing raised";
    } catch (const ESecurityError& e) {
      EXPECT_EQ(std::string(e.what()), c.message) << c.name;
    }
  }
}

TEST(SecurityRoutines, SetRaisesForBadTextAndReportsARefusedWrite) {
  AccountsTestMachine machine;
  const std::string folder = "C:\\Program Files";
  EXPECT_THROW((void)vqSetFileSecurityString(machine.Security(), folder, "D:(A;OICI;FA;;;SY",
                                             port::kDaclSecurityInformation),
               ESecurityError);
  machine.RunAs("Anna");
  EXPECT_FALSE(vqSetFileSecurityString(machine.Security(), folder, "D:P(A;OICI;FA;;;WD)",
                                       port::kDaclSecurityInformation));
  machine.RunAs("Admin");
  EXPECT_TRUE(vqSetFileSecurityString(machine.Security(), folder, "D:P(A;OICI;FA;;;WD)",
                                      port::kDaclSecurityInformation));
  EXPECT_EQ(vqGetFileSecurityString(machine.Security(), folder, port::kDaclSecurityInformation),
            "D:P(A;OICI;FA;;;WD)");
  EXPECT_EQ(vqConvertSidToStringSid(machine.Security(),
                                    vqLookupAccountName(machine.Security(), "Anna", "")),
            machine.SidOf("Anna"));
}

}  // namespace
}  // namespace ombrant
