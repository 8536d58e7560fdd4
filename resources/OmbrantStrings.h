// The program's numbered strings (UnitOmbrantConsts): one table, read by the portable code through
// LoadStr and turned into the Win32 STRINGTABLE by the resource build, so both carry the same texts
// under the same numbers.
#pragma once

#include <array>
#include <string_view>

namespace ombrant {

// The application title; also the caption of the program's message boxes.
inline constexpr std::string_view kApplicationTitle = "Ombrant";

// String numbers, named by what they say.
inline constexpr unsigned sUserExistsNotStandard = 65152;
inline constexpr unsigned sUninstallConfirmation = 65153;
inline constexpr unsigned sWindows9xWarning = 65154;
inline constexpr unsigned sVistaNotice = 65155;
inline constexpr unsigned sNotAdministratorWarning = 65156;
inline constexpr unsigned sAppPathsKey = 65168;
inline constexpr unsigned sRunAsArguments = 65169;
inline constexpr unsigned sRemovedOriginalLinksKey = 65170;
inline constexpr unsigned sRecreatedOriginalLinksKey = 65171;
inline constexpr unsigned sHiddenAccountsKey = 65172;
inline constexpr unsigned sInternetUserValue = 65173;
inline constexpr unsigned sImpersonatedLinkName = 65174;
inline constexpr unsigned sAdminLinkFolder = 65176;
inline constexpr unsigned sReadmeFileName = 65177;
inline constexpr unsigned sExplorerMainKey = 65178;
inline constexpr unsigned sExplorerWindowTitleValue = 65179;
inline constexpr unsigned sExplorerWindowTitle = 65180;
inline constexpr unsigned sSettingsKey = 65181;
inline constexpr unsigned sNeedAName = 65182;
inline constexpr unsigned sUserExistsPreselected = 65183;
inline constexpr unsigned sUninstallKey = 65199;

struct TOmbrantString {
  unsigned number;
  std::string_view text;
};

// Ordered by number. Texts are UTF-8; "%s" marks where a caller's text goes.
inline constexpr std::array kOmbrantStrings{
    TOmbrantString{sUserExistsNotStandard,
                   "Sorry, a user with that name already exists, and you can't use that account "
                   "because he's not a standard User. Please choose a different name!"},
    TOmbrantString{sUninstallConfirmation,
                   "Uninstall means that the Ombrants you've created will be removed. That "
                   "includes your bookmarks and other data you might have saved in the Internet "
                   "applications you used. Are you sure you want to continue?"},
    TOmbrantString{sWindows9xWarning,
                   "Windows 9x does not support detailed user privileges; this tool is designed "
                   "for use with Windows NT, Windows 2000 or Windows XP."},
    TOmbrantString{sVistaNotice,
                   "Windows Vista Administrator users already experience some protection through "
                   "UAC. Usage of this tool is recommended if you have UAC disabled."},
    TOmbrantString{sNotAdministratorWarning,
                   "The account you are currently using is not an administrator account, thus "
                   "cannot be protected further by this tool. You can still use it to create "
                   "Ombrants for other purposes though."},
    TOmbrantString{sAppPathsKey, R"(\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\)"},
    TOmbrantString{sRunAsArguments, R"(/user:%s /savecred "\"%s\" %s")"},
    TOmbrantString{sRemovedOriginalLinksKey, "RemovedOriginalLinks"},
    TOmbrantString{sRecreatedOriginalLinksKey, "RecreatedOriginalLinks"},
    TOmbrantString{sHiddenAccountsKey,
                   R"(\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Winlogon\)"
                   R"(SpecialAccounts\UserList\)"},
    TOmbrantString{sInternetUserValue, "InternetUser"},
    TOmbrantString{sImpersonatedLinkName, "%s (as %s)"},
    TOmbrantString{sAdminLinkFolder, "Internet (direct)"},
    TOmbrantString{sReadmeFileName, "readme.txt"},
    TOmbrantString{sExplorerMainKey, R"(\Software\Microsoft\Internet Explorer\Main\)"},
    TOmbrantString{sExplorerWindowTitleValue, "Window Title"},
    TOmbrantString{sExplorerWindowTitle,
                   "Original Internet Explorer - Impersonating your Ombrant recommended instead!"},
    TOmbrantString{sSettingsKey, R"(\Software\Kestrova Limited\Ombrant\)"},
    TOmbrantString{sNeedAName, "Sorry, but you need to enter a name first!"},
    TOmbrantString{sUserExistsPreselected,
                   "Sorry, a user with that name already exists, I'll preselect him for you."},
    TOmbrantString{sUninstallKey, R"(\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\)"},
};

// The text of a numbered string; empty for a number the table does not hold, as the system's
// LoadString gives nothing for a missing resource.
[[nodiscard]] constexpr std::string_view LoadStr(unsigned number) {
  for (const TOmbrantString& s : kOmbrantStrings) {
    if (s.number == number) return s.text;
  }
  return {};
}

}  // namespace ombrant
