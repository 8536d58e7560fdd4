#include "resources/OmbrantStrings.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace ombrant {
namespace {

// Counts "%s" markers: the formats are filled with a fixed number of texts.
int Placeholders(std::string_view text) {
  int n = 0;
  for (std::size_t at = text.find("%s"); at != std::string_view::npos;
       at = text.find("%s", at + 2)) {
    ++n;
  }
  return n;
}

TEST(OmbrantStrings, EveryNumberTheProgramUsesResolves) {
  const unsigned used[] = {65152, 65153, 65154, 65155, 65156, 65168, 65169, 65170, 65171, 65172,
                           65173, 65174, 65176, 65177, 65178, 65179, 65180, 65181, 65182, 65183,
                           65199};
  for (unsigned number : used) EXPECT_FALSE(LoadStr(number).empty()) << number;

  std::set<unsigned> numbers;
  unsigned previous = 0;
  for (const TOmbrantString& s : kOmbrantStrings) {
    EXPECT_TRUE(numbers.insert(s.number).second) << "number twice: " << s.number;
    EXPECT_GT(s.number, previous) << "the table is ordered by number";
    previous = s.number;
  }
  EXPECT_EQ(numbers, std::set<unsigned>(std::begin(used), std::end(used)))
      << "the table holds exactly the numbers in use";

  EXPECT_TRUE(LoadStr(65157).empty()) << "a number without a string gives nothing";
  EXPECT_TRUE(LoadStr(0).empty());
}

TEST(OmbrantStrings, FormatsAndPathsKeepTheirExactCharacters) {
  // The escaped quotes keep a path with spaces together inside runas.exe's one argument.
  EXPECT_EQ(LoadStr(sRunAsArguments), "/user:%s /savecred \"\\\"%s\\\" %s\"");
  EXPECT_EQ(Placeholders(LoadStr(sRunAsArguments)), 3);
  EXPECT_EQ(LoadStr(sImpersonatedLinkName), "%s (as %s)");
  EXPECT_EQ(Placeholders(LoadStr(sImpersonatedLinkName)), 2);

  // Key paths start and end with one backslash and hold no doubled one.
  for (unsigned key : {sAppPathsKey, sHiddenAccountsKey, sExplorerMainKey, sSettingsKey,
                       sUninstallKey}) {
    const std::string_view path = LoadStr(key);
    EXPECT_EQ(path.front(), '\\') << key;
    EXPECT_EQ(path.back(), '\\') << key;
    EXPECT_EQ(path.find("\\\\"), std::string_view::npos) << key;
  }
  EXPECT_EQ(LoadStr(sSettingsKey), "\\Software\\Kestrova Limited\\Ombrant\\");
  EXPECT_EQ(LoadStr(sHiddenAccountsKey),
            "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\SpecialAccounts\\"
            "UserList\\");

  // Message texts are shown as they are: no format markers in them.
  for (unsigned message : {sUserExistsNotStandard, sUninstallConfirmation, sWindows9xWarning,
                           sVistaNotice, sNotAdministratorWarning, sNeedAName,
                           sUserExistsPreselected}) {
    EXPECT_EQ(Placeholders(LoadStr(message)), 0) << message;
  }
}

}  // namespace
}  // namespace ombrant
