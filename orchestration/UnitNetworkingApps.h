// The orchestrator: chooses and creates the restricted account, replaces the application shortcuts,
// runs the migration and uninstalls. The wizard window decides when these happen; this class
// decides what happens.
//
// Every operation the window calls is virtual, so a window can be driven by a test double.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/kvrInstalledSoftware.h"
#include "catalogue/kvrShortcutFolders.h"
#include "catalogue/kvrUserProfile.h"
#include "orchestration/UnitMigrationPage.h"
#include "orchestration/UnitOmbrantSettings.h"
#include "platform/port/kvrPort.h"
#include "platform/vqPathSolve.h"

namespace ombrant {

namespace ui {
class ComboBox;
class ImageList;
class ListView;
}  // namespace ui

// Resolves a path template ("<$DESKTOP>\\*.lnk") for the running account.
using TPathResolver = std::function<std::string(std::string_view pathTemplate)>;

// The eight shortcut folders, in ordinal order; the ordinal is what the settings store and the
// replacement loop rely on.
enum TShortcutLocation {
  slDesktop = 0,
  slCommonDesktop = 1,
  slQuickLaunch = 2,
  slCommonQuicklaunch = 3,
  slStartmenu = 4,
  slCommonStartmenu = 5,
  slPrograms = 6,
  slCommonPrograms = 7,
};

struct TShortcutLocationInfo {
  std::string_view registryValueName;  // names its value in the recorded link lists
  std::string_view mask;               // path template of its "*.lnk" files
  std::string_view originalsFolder;    // where its replaced originals go; empty: never replaced
  std::string_view impersonatedFolder;  // where its impersonated shortcuts go
};

inline constexpr std::array<TShortcutLocationInfo, 8> kShortcutLocations{{
    {"Desktop", "<$DESKTOP>\\*.lnk", "<$COMMONDESKTOP>\\<$ADMINLINKFOLDER>\\", "<$DESKTOP>\\"},
    {"CommonDesktop", "<$COMMONDESKTOP>\\*.lnk", "<$COMMONDESKTOP>\\<$ADMINLINKFOLDER>\\",
     "<$DESKTOP>\\"},
    {"QuickLaunch", "<$QUICKLAUNCH>\\*.lnk", "<$COMMONQUICKLAUNCH>\\<$ADMINLINKFOLDER>\\",
     "<$QUICKLAUNCH>\\"},
    {"CommonQuicklaunch", "<$COMMONQUICKLAUNCH>\\*.lnk",
     "<$COMMONQUICKLAUNCH>\\<$ADMINLINKFOLDER>\\", "<$QUICKLAUNCH>\\"},
    {"Startmenu", "<$STARTMENU>\\*.lnk", "", ""},
    {"CommonStartmenu", "<$COMMONSTARTMENU>\\*.lnk", "", ""},
    {"Programs", "<$PROGRAMS>\\*.lnk", "<$COMMONPROGRAMS>\\<$ADMINLINKFOLDER>\\", "<$PROGRAMS>\\"},
    {"CommonPrograms", "<$COMMONPROGRAMS>\\*.lnk", "<$COMMONPROGRAMS>\\<$ADMINLINKFOLDER>\\",
     "<$PROGRAMS>\\"},
}};

// The folders whose shortcuts the applications page shows, per-user only.
inline constexpr std::array<TShortcutLocation, 3> kShortcutBoxLocations{slDesktop, slPrograms,
                                                                       slQuickLaunch};

// Shortcuts read in one step of idle time: about a millisecond on a local disk (under Wine too),
// and still short where the folders are redirected to a slow network share.
inline constexpr std::size_t kShortcutsReadPerIdleStep = 8;

// The start menu's top level is never replaced; per-user before all-users for each place.
inline constexpr std::array<TShortcutLocation, 6> kReplacedLocations{
    slDesktop, slCommonDesktop, slQuickLaunch, slCommonQuicklaunch, slPrograms, slCommonPrograms};

// Resolves a location template; "<$ADMINLINKFOLDER>" becomes the originals folder's name.
[[nodiscard]] std::string ResolveLocationPath(const TPathResolver& resolve,
                                              std::string_view pathTemplate);
// The resolved "*.lnk" mask of a location; empty when the shell cannot name its folder.
[[nodiscard]] std::string LocationMask(const TPathResolver& resolve, TShortcutLocation location);
// The folder of a location, from its resolved mask, with its trailing backslash; empty when the
// shell cannot name it.
[[nodiscard]] std::string LocationFolder(const TPathResolver& resolve, TShortcutLocation location);

// The top-level shortcuts of some locations: file name and target of every link whose target
// can be read, in scan order. Links without a readable target are left out.
class TShortcutSnapshots {
 public:
  struct TLink {
    std::string name;
    std::string target;
  };

  TShortcutSnapshots(port::Port& port, const TPathResolver& resolve,
                     std::initializer_list<TShortcutLocation> locations);

  [[nodiscard]] int LinkCount(TShortcutLocation location) const;
  // Throw std::out_of_range for a bad index.
  [[nodiscard]] const std::string& LinkName(TShortcutLocation location, int index) const;
  [[nodiscard]] const std::string& LinkTarget(TShortcutLocation location, int index) const;

 private:
  std::array<std::vector<TLink>, 8> FLinks;
};

class TNetworkingApps {
 public:
  // Builds the catalogue of the registered classes (detection and icons) and reads the current
  // restricted account. `classes` must outlive nothing: the catalogue keeps what it needs.
  TNetworkingApps(port::Port& port, const TSoftwareClassRegistry& classes);
  virtual ~TNetworkingApps();
  TNetworkingApps(const TNetworkingApps&) = delete;
  TNetworkingApps& operator=(const TNetworkingApps&) = delete;

  // ---- accounts
  // Attaches the account list (not owned) and fills it with the candidate accounts.
  virtual void SetAccountList(ui::ComboBox* combo);
  // Refills the attached account list; nothing without one.
  virtual void RefreshAccountList();
  // Creates the account with the fixed password; reports its failures by message. True only
  // when the account was created.
  virtual bool CreateRestrictedUser(const std::string& name);
  // Makes `name` the current restricted account.
  virtual void SetInternetUser(const std::string& name);
  [[nodiscard]] const std::string& InternetUser() const { return FInternetUser; }

  // Adds the name to the recorded created accounts unless it is there (ignoring case).
  void RecordCreatedUser(const std::string& name);
  // Creates the account's profile by loading it once and gives it an "APPDATA" environment
  // value if it has none. Silent on failure.
  void PrepareUserEnvironment(const std::string& name);
  // Enabled standard-user accounts except "ASPNET", the current one selected.
  void FillAccountList(ui::ComboBox& combo);
  // Denies the account logon through the network and by remote desktop; a failure is shown.
  void DenyRemoteLogon(const std::string& name);
  // The "APPDATA" environment value of a new account: "%USERPROFILE%\" + the administrator's
  // application-data folder relative to his profile, or its last element when it lies
  // elsewhere. Empty when the folder cannot be resolved.
  [[nodiscard]] std::string EnvironmentAppData() const;

  // ---- application lists
  // Attaches, prepares and fills the applications list view (not owned); null detaches it.
  virtual void SetApplicationView(ui::ListView* view);
  // Attaches the migration list view (not owned) and fills it with the statuses for the current
  // restricted account.
  virtual void FillMigrationList(ui::ListView* view);
  // The catalogue's pictures, 16 × 16 and 32 × 32; null while there are none.
  [[nodiscard]] virtual ui::ImageList* SmallImages();
  [[nodiscard]] virtual ui::ImageList* LargeImages();
  // Group view with the five categories, tiles or details. Nothing for a null view.
  static void PrepareListView(ui::ListView* view, bool tiles);
  // One item per catalogue entry, in catalogue order. Nothing for a null view.
  void FillApplicationList(ui::ListView* view, bool tiles);
  void RefreshApplicationList();

  // ---- the catalogue: one entry per detected application, in catalogue order
  [[nodiscard]] virtual int Count() const;
  [[nodiscard]] virtual bool Active(int index) const;
  // The program lies inside the administrator's profile: it keeps its shortcuts, and none
  // starts it under the restricted account.
  [[nodiscard]] virtual bool InstalledForOneAccount(int index) const;
  virtual void SetActive(int index, bool active);
  // Throws std::logic_error in a test double, which has no catalogue.
  [[nodiscard]] TInstalledSoftwareManager& Manager() const;

  // ---- shortcuts and migration
  virtual void ReplaceAllShortcuts();
  // Moves the originals of the active applications out of one location and creates their
  // impersonated shortcuts. An original is deleted only when a byte-identical copy of it is in
  // the originals folder (under "NAME (2).lnk" ... when another file has its name), its removal
  // is recorded and its impersonated replacement exists.
  void ReplaceShortcuts(TShortcutLocation location);
  // Writes "readme.txt" into the folder unless it has one.
  void WriteReadme(const std::string& folder);
  // Logs the restricted account on, loads its profile and migrates every active application;
  // `progress` hears of each application before it is migrated.
  virtual void MigrateSelectedApplications(const TMigrationProgress& progress = {});
  // Whether the location's folder holds a shortcut of application `index`, in its original or its
  // impersonated form.
  [[nodiscard]] virtual bool HasShortcut(int index, TShortcutLocation location, bool originalForm);
  // While the returned round lives, HasShortcut lists each folder once and answers every question
  // about it from that listing (a selection asks about three folders twice each). Nothing is to
  // change the folders meanwhile.
  [[nodiscard]] TShortcutRound ShortcutRound() { return TShortcutRound(FShortcutFolders.get()); }
  // For idle time: reads up to `budget` shortcuts of the folders HasShortcut asks about that are
  // not known as they are now, so that a selection finds them read. True while a pass over the
  // folders has more to read; once it returns false the next call starts a new pass.
  virtual bool ReadShortcutsAhead(std::size_t budget);
  // How many shortcut files HasShortcut and the read-ahead loaded so far.
  [[nodiscard]] std::size_t ShortcutsRead() const {
    return FShortcutFolders ? FShortcutFolders->LinksRead() : 0;
  }
  // Creates (present) or deletes one such shortcut.
  virtual void SetShortcut(int index, TShortcutLocation location, bool originalForm, bool present);

  // The recorded link lists of a location.
  [[nodiscard]] bool IsRecreatedOriginalLink(const std::string& path, TShortcutLocation location);
  void RecordRecreatedOriginalLink(const std::string& path, TShortcutLocation location);
  void ForgetRecreatedOriginalLink(const std::string& path, TShortcutLocation location);
  // True when the line reads back from the settings store.
  bool RecordRemovedOriginalLink(const std::string& path, const std::string& target,
                                 TShortcutLocation location);
  void ForgetRemovedOriginalLink(const std::string& path, const std::string& target,
                                 TShortcutLocation location);

  // ---- uninstall
  // Asks per recorded account and deletes the confirmed ones with their logon rights. A failed
  // deletion is shown; an account deleted or already gone leaves the record (and stops being
  // the current restricted account).
  virtual void RemoveCreatedUsers();
  virtual void RestoreAllOriginalLinks();
  // Puts the recorded removed originals of one location back: their copy from the originals
  // folder byte for byte, or, without one, a link rebuilt from path and target. A path another
  // file has taken is never overwritten; its line stays, as does the line of a failed restore,
  // and such paths are shown in one box.
  void RestoreOriginalLinks(TShortcutLocation location);

 protected:
  // For test doubles, which bring no machine.
  TNetworkingApps();

  port::Port* FPort = nullptr;
  std::string FInternetUser;
  ui::ComboBox* FAccountList = nullptr;
  ui::ListView* FApplicationView = nullptr;
  // The catalogue's path variables and machine, declared before it: its definitions resolve
  // through them as long as they live. Null in test doubles.
  std::unique_ptr<TPathSolver> FPathSolver;
  std::unique_ptr<TSoftwareContext> FContext;
  std::unique_ptr<TInstalledSoftwareManager> FManager;
  ui::ListView* FMigrationView = nullptr;

 private:
  [[nodiscard]] TOmbrantSettings Settings() const { return TOmbrantSettings(FPort->registry); }
  void ShowError(std::string_view text);
  [[nodiscard]] bool FileExists(std::string_view path) const;
  [[nodiscard]] bool IsWow64() const;
  [[nodiscard]] port::Status AccountSid(const std::string& name, port::Sid* sid) const;
  [[nodiscard]] std::string ImpersonatedLinkName(const TInstalledSoftware& app) const;
  // The path of a byte-identical copy of `source` in the originals folder: found there under
  // `name` or "NAME (N).lnk", or copied to the first free of those names. Empty when none exists.
  [[nodiscard]] std::string StoreOriginalCopy(const std::string& source,
                                              const std::string& originals,
                                              const std::string& name);
  // Records the original as removed, then deletes it; the record goes again when it stays.
  bool RemoveOriginal(const std::string& source, const std::string& target,
                      TShortcutLocation location);
  // Unticking the original-form box: the program's own link is deleted, the administrator's
  // links to the executable are moved to the originals folder.
  void RemoveOriginalFormLinks(const TInstalledSoftware& app, TShortcutLocation location,
                               const std::string& ownLink);
  // The copy of a removed original: `name` or a numbered name, linking to `target`; one not in
  // `used` is preferred.
  [[nodiscard]] std::string FindOriginalCopy(const std::string& originals, const std::string& name,
                                             const std::string& target,
                                             const std::vector<std::string>& used);
  void RestoreOriginalLinks(TShortcutLocation location, std::vector<std::string>& kept,
                            std::vector<std::string>& used);
  void ReportKeptOriginalLinks(const std::vector<std::string>& kept);

  TPathResolver FResolvePath;
  std::unique_ptr<TUserProfileFunctions> FProfileFunctions;
  // The links HasShortcut has read; null in test doubles.
  std::unique_ptr<TShortcutFolders> FShortcutFolders;
  // The folder of kShortcutBoxLocations a read-ahead pass is at.
  std::size_t FReadAheadLocation = 0;
};

}  // namespace ombrant
