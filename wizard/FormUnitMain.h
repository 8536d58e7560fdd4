// The wizard window: four pages (introduction, account, migration, applications), the navigation
// between them, the start-up notices and the wiring of every control to the orchestrator.
//
// The window is a tree of portable control models; a binder mirrors it into real controls and
// forwards the user's actions through the models' User* operations and the window events below.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "orchestration/UnitNetworkingApps.h"
#include "platform/port/kvrPortUi.h"
#include "platform/vqNTStuff.h"
#include "ui/uiActions.h"
#include "ui/uiButtons.h"
#include "ui/uiComboBox.h"
#include "ui/uiContainers.h"
#include "ui/uiImages.h"
#include "ui/uiListView.h"
#include "ui/uiPageControl.h"
#include "ui/uiText.h"

namespace ombrant {

// What the window asks about the local accounts.
class IAccountFacts {
 public:
  virtual ~IAccountFacts() = default;

  // The account running the program; empty when the system cannot tell.
  [[nodiscard]] virtual std::string GetCurrentUserName() = 0;
  // The names of all local accounts, whatever their privilege.
  [[nodiscard]] virtual std::vector<std::string> GetLocalUserNames() = 0;
  // The running account's privilege level (0 guest, 1 user, 2 administrator); false, with
  // `privilege` untouched, when it cannot be read (a domain account, say).
  [[nodiscard]] virtual bool GetCurrentUserPrivilege(std::uint32_t* privilege) = 0;
};

// Everything the window works with, handed in when it is created.
struct TKestrovaServices {
  port::IUi& ui;
  const TNTStuff& ntStuff;
  IAccountFacts& accounts;
  // Builds the orchestrator, which detects the installed applications and reads the current
  // restricted account. Called once, while the window is created; must not return null.
  std::function<std::unique_ptr<TNetworkingApps>()> createApps;
  // The introduction document (RTF bytes). It may throw; the page then stays empty.
  std::function<std::string()> loadIntroduction;
  // Repaints the window now, while a long operation keeps the message loop from doing it;
  // optional.
  std::function<void()> repaintNow;
};

class TformKestrova : public ui::Form {
 public:
  // Builds the controls and runs FormCreate.
  explicit TformKestrova(TKestrovaServices services);
  // Runs FormDestroy.
  ~TformKestrova() override;

  // Window events the binder forwards: shown once, painted (every time).
  void FormShow();
  void FormPaint();

  // Work for the time the user is idle, called by the message loop whenever it has no message,
  // never while an operation runs: each call is one short step. True while more is left.
  bool Idle();

  // The real window, as owner of the message boxes; 0 without one.
  void SetHandle(port::HWnd handle) { handle_ = handle; }
  [[nodiscard]] port::HWnd Handle() const { return handle_; }

  [[nodiscard]] TNetworkingApps& Apps() { return *FApps; }

  // ---- components
  ui::Action aRefreshUsers{"aRefreshUsers", "Refresh list"};
  ui::Action aPagePrevious{"aPagePrevious", "&Previous"};
  ui::Action aPageNext{"aPageNext", "&Next"};
  ui::Action aUninstall{"aUninstall", "Uninstall"};
  ui::PopupMenu popupExistingUser{"popupExistingUser"};
  ui::MenuItem pmiRefreshUsers{"pmiRefreshUsers"};
  ui::ImageList ilMain{"ilMain", 16, 16};

  // ---- the window's controls, in tab order
  ui::PageControl pcMain{"pcMain"};
  ui::Button bnPrevious{"bnPrevious"};
  ui::Button bnNext{"bnNext"};
  ui::Button bnCustom{"bnCustom"};
  ui::Button bnExit{"bnExit", "Exit"};

  ui::TabSheet tabIntro{"tabIntro", "&Introduction"};
  ui::RichEdit reIntroduction{"reIntroduction"};

  ui::TabSheet tabUser{"tabUser", "User &account"};
  ui::Label labelUserAccountInfo{"labelUserAccountInfo"};
  ui::Picture imgKestrovaLtd{"imgKestrovaLtd"};
  ui::RadioButton rbNewUser{"rbNewUser"};
  ui::Label labelUsername{"labelUsername"};
  ui::Edit editUsernameNew{"editUsernameNew"};
  ui::Label labelUsernameNewDescription{"labelUsernameNewDescription"};
  ui::RadioButton rbExistingUser{"rbExistingUser"};
  ui::Label labelUserList{"labelUserList"};
  ui::ComboBox cbLimitedUsers{"cbLimitedUsers"};
  ui::Label labelLimitedUser{"labelLimitedUser"};

  ui::TabSheet tabMigration{"tabMigration", "&Migration"};
  ui::Label labelMigrationInfo{"labelMigrationInfo"};
  ui::RadioButton rbMigrateAll{"rbMigrateAll"};
  ui::RadioButton rbMigrateSelected{"rbMigrateSelected"};
  ui::ListView lvMigrationApps{"lvMigrationApps"};
  // Which application is being migrated, while the migration runs.
  ui::Label labelMigrationProgress{"labelMigrationProgress"};

  ui::TabSheet tabApplications{"tabApplications", "&Applications"};
  ui::Label labelApplicationsInfo{"labelApplicationsInfo"};
  ui::ListView lvApplications{"lvApplications"};
  ui::GroupBox groupApplication{"groupApplication"};
  ui::CheckBox cbAppDesktopUser{"cbAppDesktopUser"};
  ui::CheckBox cbAppStartmenuUser{"cbAppStartmenuUser"};
  ui::CheckBox cbAppQuicklaunchUser{"cbAppQuicklaunchUser"};
  ui::CheckBox cbAppDesktopAdmin{"cbAppDesktopAdmin"};
  ui::CheckBox cbAppStartmenuAdmin{"cbAppStartmenuAdmin"};
  ui::CheckBox cbAppQuicklaunchAdmin{"cbAppQuicklaunchAdmin"};
  ui::Panel panelAppDivider{"panelAppDivider"};

  // Names of the window's own pictures in the program's resources.
  static constexpr const char* kLogoImage = "KESTROVALTD";
  static constexpr const char* kAccountImage = "USERACCOUNT";

 private:
  struct ShortcutBox {
    ui::CheckBox* box;
    TShortcutLocation location;
    bool originalForm;
  };

  void BuildControls();
  void WireEvents();

  void FormCreate();
  void FormClose();
  void FormDestroy();
  void LoadIntroduction();

  void UpdateNavigation();
  [[nodiscard]] bool NextAllowed();
  void pcMainChange();
  void UpdateUninstallButton();

  void aPageNextExecute();
  // The migration, naming each application on the migration page while it is copied.
  void MigrateWithProgress();
  // The account step of Next; false when the page must not change.
  bool CreateOrChooseAccount();
  void ActivateChosenApplications();
  void aPagePreviousExecute();
  void aRefreshUsersExecute();
  void aUninstallExecute();
  void bnExitClick();

  void rbNewUserClick();
  void rbExistingUserClick();
  void cbLimitedUsersSelect();
  void rbMigrateAllClick();
  void labelApplicationsInfoClick();
  void lvApplicationsClick();
  void lvApplicationsSelectItem(int item, bool selected);
  void ShortcutBoxClick(const ShortcutBox& box);

  int ShowMessage(unsigned stringNumber, std::uint32_t type);

  TKestrovaServices services_;
  port::HWnd handle_ = 0;
  std::unique_ptr<TNetworkingApps> FApps;
  bool FFirstPaint = true;
  bool FUpdatingCheckBoxes = false;
  // The shortcut folders of the applications page are read ahead in idle time, from the first
  // paint and again on each arrival at that page (the migration rewrites shortcuts).
  bool FReadShortcutsAhead = false;
  // The six shortcut boxes: impersonated desktop, start menu, quick launch, then the same in
  // original form; the order in which their states are read.
  std::vector<ShortcutBox> shortcutBoxes_;
};

}  // namespace ombrant
