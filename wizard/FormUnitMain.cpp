#include "wizard/FormUnitMain.h"

#include <initializer_list>
#include <stdexcept>
#include <utility>

#include "platform/vqStrings.h"
#include "resources/OmbrantStrings.h"

namespace ombrant {

namespace {

constexpr int kPageBorder = 8;
constexpr int kButtonWidth = 89;
constexpr int kButtonHeight = 25;
constexpr int kButtonTop = 344;
constexpr std::uint32_t kPrivilegeAdministrator = 2;

// Restores a flag when the scope ends, also when a handler throws.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

TformKestrova::TformKestrova(TKestrovaServices services)
    : ui::Form("formKestrova", std::string(kApplicationTitle)), services_(std::move(services)) {
  BuildControls();
  WireEvents();
  FormCreate();
}

TformKestrova::~TformKestrova() { FormDestroy(); }

// ---- layout ----------------------------------------------------------------------------------

void TformKestrova::BuildControls() {
  SetClientSize(513, 377);
  SetMinSize(521, 300);
  SetCentered(true);
  SetFont("MS Shell Dlg 2", 8);

  pmiRefreshUsers.SetAction(&aRefreshUsers);
  popupExistingUser.Add(pmiRefreshUsers);
  ilMain.Add({kAccountImage, {}});
  aPagePrevious.SetEnabled(false);
  aPageNext.SetEnabled(false);

  // Window: the page control, then the buttons below it.
  pcMain.SetParent(this);
  pcMain.SetBounds({8, 8, 497, 329});
  pcMain.SetAnchors(ui::AnchorSet::All());
  const auto placeButton = [this](ui::Button& button, int left, ui::Action* action,
                                  ui::AnchorSet anchors) {
    button.SetParent(this);
    button.SetBounds({left, kButtonTop, kButtonWidth, kButtonHeight});
    button.SetAnchors(anchors);
    if (action != nullptr) button.SetAction(action);
  };
  placeButton(bnPrevious, 8, &aPagePrevious, ui::AnchorSet::LeftBottom());
  placeButton(bnNext, 104, &aPageNext, ui::AnchorSet::LeftBottom());
  placeButton(bnCustom, 320, &aUninstall, ui::AnchorSet::RightBottom());
  placeButton(bnExit, 416, nullptr, ui::AnchorSet::RightBottom());
  // Enter anywhere but on another button goes on, as in a dialog.
  SetDefaultButton(&bnNext);

  for (ui::TabSheet* page : {&tabIntro, &tabUser, &tabMigration, &tabApplications}) {
    page->SetBorderWidth(kPageBorder);
    pcMain.AddPage(*page);
  }
  tabMigration.SetTabVisible(false);
  tabApplications.SetTabVisible(false);

  // Introduction.
  reIntroduction.SetParent(&tabIntro);
  reIntroduction.SetAlign(ui::Alignment::Client);
  reIntroduction.SetScrollBars(ui::ScrollBars::Vertical);
  reIntroduction.SetReadOnly(false);

  // Account. Children in this order give the tab order rbNewUser, editUsernameNew,
  // rbExistingUser, cbLimitedUsers.
  const auto placeLabel = [](ui::Label& label, ui::Container& parent, std::string caption,
                             ui::Rect bounds, bool wordWrap) {
    label.SetParent(&parent);
    label.SetCaption(std::move(caption));
    label.SetBounds(bounds);
    label.SetWordWrap(wordWrap);
  };
  placeLabel(labelUserAccountInfo, tabUser,
             "Do you want to create a new user, or continue using an existing one?",
             {0, 0, 337, 33}, true);
  imgKestrovaLtd.SetParent(&tabUser);
  imgKestrovaLtd.SetBounds({332, 0, 141, 66});
  imgKestrovaLtd.SetAnchors(ui::AnchorSet::TopRight());
  imgKestrovaLtd.SetTransparent(true);
  imgKestrovaLtd.SetImageName(kLogoImage);
  rbNewUser.SetParent(&tabUser);
  rbNewUser.SetCaption("Create a new user account for me Ombrant:");
  rbNewUser.SetBounds({8, 32, 321, 17});
  rbNewUser.SetChecked(true);
  placeLabel(labelUsername, tabUser, "&Username:", {32, 59, 73, 13}, false);
  labelUsername.SetFocusControl(&editUsernameNew);
  editUsernameNew.SetParent(&tabUser);
  editUsernameNew.SetBounds({112, 56, 193, 21});
  placeLabel(labelUsernameNewDescription, tabUser,
             "Do not use spaces or special characters please. We recommend that you select a "
             "name that is similar to your current one, e.g. georg-online if your current "
             "account is named george. The password of the new account is \"wopa\", you'll be "
             "asked for it the first time you start an application.",
             {32, 83, 441, 54}, true);
  rbExistingUser.SetParent(&tabUser);
  rbExistingUser.SetCaption("Select an existing user as your Ombrant:");
  rbExistingUser.SetBounds({8, 168, 321, 17});
  placeLabel(labelUserList, tabUser, "&List of users:", {32, 195, 73, 13}, false);
  labelUserList.SetFocusControl(&cbLimitedUsers);
  cbLimitedUsers.SetParent(&tabUser);
  cbLimitedUsers.SetBounds({112, 192, 201, 22});
  cbLimitedUsers.SetImages(&ilMain);
  placeLabel(labelLimitedUser, tabUser,
             "If you've already created an Ombrant in a previous session, or know your systems "
             "user management and have created it yourself previously, you can just use this "
             "setting.",
             {32, 220, 441, 45}, true);
  for (ui::Control* control : std::initializer_list<ui::Control*>{&tabUser, &rbExistingUser,
                                                                   &cbLimitedUsers}) {
    control->SetPopupMenu(&popupExistingUser);
  }

  // Migration.
  placeLabel(labelMigrationInfo, tabMigration,
             "Please choose whether you want to migrate settings for all applications, or just "
             "for selected ones.",
             {0, 0, 473, 25}, true);
  rbMigrateAll.SetParent(&tabMigration);
  rbMigrateAll.SetCaption("Migrate settings for all detected applications");
  rbMigrateAll.SetBounds({8, 24, 457, 17});
  rbMigrateAll.SetChecked(true);
  rbMigrateSelected.SetParent(&tabMigration);
  rbMigrateSelected.SetCaption("Migrate settings only for the following applications");
  rbMigrateSelected.SetBounds({8, 56, 457, 17});
  lvMigrationApps.SetParent(&tabMigration);
  lvMigrationApps.SetBounds({32, 80, 433, 177});
  lvMigrationApps.SetCheckBoxes(true);
  lvMigrationApps.AddColumn("Application", 256);
  lvMigrationApps.AddColumn("Status", 154);
  lvMigrationApps.SetShowColumnHeaders(false);
  lvMigrationApps.SetReadOnly(true);
  lvMigrationApps.SetViewStyle(ui::ViewStyle::Report);
  lvMigrationApps.SetEnabled(false);
  labelMigrationProgress.SetParent(&tabMigration);
  labelMigrationProgress.SetBounds({32, 260, 433, 13});

  // Applications: the info label on top, the group box at the bottom with the divider above it,
  // the list in between.
  placeLabel(labelApplicationsInfo, tabApplications,
             "Ombrant has now updated the shortcuts on your desktop, in your start menu and in "
             "your quicklaunch area to run impersonated as your Ombrant. If you want to add "
             "additional shortcuts, or remove some, you can select and update any of the "
             "detected applications here. You can also come back later at any time. Click this "
             "text to make it go away.",
             {0, 0, 473, 52}, true);
  labelApplicationsInfo.SetAlign(ui::Alignment::Top);
  lvApplications.SetParent(&tabApplications);
  lvApplications.AddColumn("Application name", 450);
  lvApplications.SetShowColumnHeaders(false);
  lvApplications.SetReadOnly(true);
  lvApplications.SetHideSelection(false);
  lvApplications.SetAlign(ui::Alignment::Client);
  groupApplication.SetParent(&tabApplications);
  groupApplication.SetCaption("Application shortcuts...");
  groupApplication.SetVisible(false);
  groupApplication.SetEnabled(false);
  groupApplication.SetBounds({0, 180, 473, 105});
  groupApplication.SetAlign(ui::Alignment::Bottom);
  panelAppDivider.SetParent(&tabApplications);
  panelAppDivider.SetVisible(false);
  panelAppDivider.SetBounds({0, 172, 473, 8});
  panelAppDivider.SetAlign(ui::Alignment::Bottom);

  shortcutBoxes_ = {
      {&cbAppDesktopUser, slDesktop, false},    {&cbAppStartmenuUser, slPrograms, false},
      {&cbAppQuicklaunchUser, slQuickLaunch, false}, {&cbAppDesktopAdmin, slDesktop, true},
      {&cbAppStartmenuAdmin, slPrograms, true}, {&cbAppQuicklaunchAdmin, slQuickLaunch, true},
  };
  const char* const impersonatedCaptions[] = {"... on your desktop, impersonated.",
                                              "... in your start menu, impersonated.",
                                              "... in your quicklaunch area, impersonated."};
  for (int row = 0; row < 3; ++row) {
    ui::CheckBox& user = *shortcutBoxes_[static_cast<std::size_t>(row)].box;
    user.SetParent(&groupApplication);
    user.SetCaption(impersonatedCaptions[row]);
    user.SetBounds({16, 24 + 24 * row, 249, 17});
  }
  for (int row = 0; row < 3; ++row) {
    ui::CheckBox& admin = *shortcutBoxes_[static_cast<std::size_t>(row + 3)].box;
    admin.SetParent(&groupApplication);
    admin.SetCaption("... in its original form.");
    admin.SetBounds({312, 24 + 24 * row, 153, 17});
  }
}

namespace {

// The window accepts no input while a handler runs, apart from its modal boxes: a click that a
// box's message loop delivers meanwhile must not start the handler, or another one, again.
class InputBlock {
 public:
  explicit InputBlock(ui::Control& window) : window_(window) { window_.BeginBlockingInput(); }
  ~InputBlock() { window_.EndBlockingInput(); }
  InputBlock(const InputBlock&) = delete;
  InputBlock& operator=(const InputBlock&) = delete;

 private:
  ui::Control& window_;
};

}  // namespace

void TformKestrova::WireEvents() {
  const auto blocking = [this](std::function<void()> handler) {
    return [this, handler = std::move(handler)] {
      const InputBlock block(*this);
      handler();
    };
  };
  OnClose = [this] { FormClose(); };
  aPageNext.OnExecute = blocking([this] { aPageNextExecute(); });
  aPagePrevious.OnExecute = blocking([this] { aPagePreviousExecute(); });
  aRefreshUsers.OnExecute = blocking([this] { aRefreshUsersExecute(); });
  aUninstall.OnExecute = blocking([this] { aUninstallExecute(); });
  bnExit.OnClick = blocking([this] { bnExitClick(); });
  pcMain.OnChange = blocking([this] { pcMainChange(); });
  rbNewUser.OnClick = blocking([this] { rbNewUserClick(); });
  rbExistingUser.OnClick = blocking([this] { rbExistingUserClick(); });
  cbLimitedUsers.OnChange = blocking([this] { cbLimitedUsersSelect(); });
  rbMigrateAll.OnClick = blocking([this] { rbMigrateAllClick(); });
  rbMigrateSelected.OnClick = blocking([this] { rbMigrateAllClick(); });
  labelApplicationsInfo.OnClick = blocking([this] { labelApplicationsInfoClick(); });
  lvApplications.OnClick = blocking([this] { lvApplicationsClick(); });
  lvApplications.OnSelectItem = [this](int item, bool selected) {
    const InputBlock block(*this);
    lvApplicationsSelectItem(item, selected);
  };
  for (const ShortcutBox& box : shortcutBoxes_) {
    box.box->OnClick = blocking([this, box] { ShortcutBoxClick(box); });
  }
}

// ---- window events ---------------------------------------------------------------------------

void TformKestrova::FormCreate() {
  FUpdatingCheckBoxes = false;
  FFirstPaint = true;
  labelApplicationsInfo.SetCaption(labelApplicationsInfo.Caption() + "\r\n");
  pcMain.SetActivePage(&tabIntro);
  LoadIntroduction();

  if (!services_.createApps) throw std::invalid_argument("TformKestrova: no orchestrator factory");
  FApps = services_.createApps();
  if (!FApps) throw std::invalid_argument("TformKestrova: the orchestrator factory gave nothing");
  FApps->SetAccountList(&cbLimitedUsers);
  FApps->SetApplicationView(&lvApplications);
  FApps->FillMigrationList(&lvMigrationApps);

  // Checking by code runs the click handler; unchecking does not.
  rbNewUser.SetChecked(cbLimitedUsers.ItemIndex() < 0);
  rbExistingUser.SetChecked(!rbNewUser.Checked());
  if (rbNewUser.Checked()) {
    editUsernameNew.SetText(services_.accounts.GetCurrentUserName() + "-online");
  }
}

void TformKestrova::LoadIntroduction() {
  try {
    std::string rtf;
    if (services_.loadIntroduction) rtf = services_.loadIntroduction();
    reIntroduction.SetRtf(std::move(rtf));
  } catch (...) {
    // A missing or unreadable document leaves the page empty, without a message.
    reIntroduction.Clear();
  }
}

void TformKestrova::FormShow() {
  for (ui::ListView* view : {&lvApplications, &lvMigrationApps}) {
    view->SetSmallImages(FApps->SmallImages());
    view->SetLargeImages(FApps->LargeImages());
  }
}

void TformKestrova::FormPaint() {
  if (!FFirstPaint) return;
  FFirstPaint = false;
  FReadShortcutsAhead = true;
  const InputBlock block(*this);
  UpdateNavigation();

  // Notices only: none of them stops the wizard.
  const std::uint32_t flags = services_.ntStuff.GetWindowsVersionFlags();
  if ((flags & kWin9x) != 0) ShowMessage(sWindows9xWarning, port::kMbOk | port::kMbIconWarning);
  if ((flags & kWinVista) != 0) ShowMessage(sVistaNotice, port::kMbOk | port::kMbIconInformation);
  std::uint32_t privilege = 0;
  if (services_.accounts.GetCurrentUserPrivilege(&privilege) &&
      privilege < kPrivilegeAdministrator) {
    ShowMessage(sNotAdministratorWarning, port::kMbOk | port::kMbIconWarning);
  }
}

void TformKestrova::FormClose() {
  // The list view goes with the window: the orchestrator must not touch it from here on.
  if (FApps) FApps->SetApplicationView(nullptr);
}

void TformKestrova::FormDestroy() { FApps.reset(); }

// ---- navigation ------------------------------------------------------------------------------

bool TformKestrova::NextAllowed() {
  const int index = pcMain.ActivePageIndex();
  return index == 0 || (index + 1 < pcMain.PageCount() && cbLimitedUsers.ItemIndex() >= 0) ||
         rbNewUser.Checked();
}

void TformKestrova::UpdateNavigation() {
  aPageNext.SetEnabled(NextAllowed());
  editUsernameNew.SetEnabled(rbNewUser.Checked());
  cbLimitedUsers.SetEnabled(rbExistingUser.Checked());
}

bool TformKestrova::Idle() {
  if (!FReadShortcutsAhead || !FApps) return false;
  try {
    FReadShortcutsAhead = FApps->ReadShortcutsAhead(kShortcutsReadPerIdleStep);
  } catch (...) {
    // Reading ahead only saves time later; a selection reads what is missing itself.
    FReadShortcutsAhead = false;
  }
  return FReadShortcutsAhead;
}

void TformKestrova::pcMainChange() {
  if (pcMain.ActivePage() == &tabApplications) FReadShortcutsAhead = true;
  aPagePrevious.SetEnabled(pcMain.ActivePageIndex() > 0);
  aPageNext.SetEnabled(NextAllowed());
  UpdateUninstallButton();
}

void TformKestrova::UpdateUninstallButton() {
  const bool onIntroduction = pcMain.ActivePageIndex() == 0;
  aUninstall.SetEnabled(onIntroduction);
  bnCustom.SetVisible(onIntroduction);
}

void TformKestrova::aPageNextExecute() {
  if (pcMain.ActivePage() == &tabUser && rbNewUser.Checked()) {
    if (!CreateOrChooseAccount()) return;
  }
  if (pcMain.ActivePage() == &tabUser) {
    FApps->FillMigrationList(&lvMigrationApps);
    tabMigration.SetTabVisible(true);
  }
  if (pcMain.ActivePage() == &tabMigration) {
    tabApplications.SetTabVisible(true);
    ActivateChosenApplications();
    FApps->ReplaceAllShortcuts();
    MigrateWithProgress();
    UpdateNavigation();
  }
  // Past the last page there is nothing to show: the page control refuses and keeps its page.
  pcMain.SetActivePageIndex(pcMain.ActivePageIndex() + 1);
  pcMainChange();
  UpdateUninstallButton();
}

void TformKestrova::MigrateWithProgress() {
  FApps->MigrateSelectedApplications([this](const std::string& name, int position, int count) {
    labelMigrationProgress.SetCaption("Migrating the settings of " + name + " (" +
                                      std::to_string(position) + " of " +
                                      std::to_string(count) + ")...");
    if (services_.repaintNow) services_.repaintNow();
  });
  labelMigrationProgress.SetCaption("");
}

bool TformKestrova::CreateOrChooseAccount() {
  const std::string name = editUsernameNew.Text();
  if (name.empty()) {
    ShowMessage(sNeedAName, port::kMbOk | port::kMbIconError);
    editUsernameNew.SetFocus();
    return false;
  }

  bool exists = false;
  for (const std::string& local : services_.accounts.GetLocalUserNames()) {
    if (SameText(name, local)) {
      exists = true;
      break;
    }
  }
  if (exists) {
    int entry = -1;
    for (int i = 0; i < cbLimitedUsers.ItemCount(); ++i) {
      if (SameText(name, cbLimitedUsers.Item(i).text)) {
        entry = i;
        break;
      }
    }
    if (entry >= 0) {
      ShowMessage(sUserExistsPreselected, port::kMbOk | port::kMbIconError);
      // Exactly what the user's own pick of that entry does.
      cbLimitedUsers.SetItemIndex(entry);
      cbLimitedUsersSelect();
      rbExistingUser.SetChecked(true);
    } else {
      ShowMessage(sUserExistsNotStandard, port::kMbOk | port::kMbIconError);
      editUsernameNew.SetText({});
      editUsernameNew.SetFocus();
    }
    return false;
  }

  // A failed creation has shown its own message; the name must not become the current account
  // of an account that does not exist.
  if (!FApps->CreateRestrictedUser(name)) return false;
  FApps->SetInternetUser(name);
  rbNewUser.SetChecked(false);
  rbExistingUser.SetChecked(true);
  UpdateNavigation();
  return true;
}

void TformKestrova::ActivateChosenApplications() {
  const bool all = rbMigrateAll.Checked();
  for (int i = 0; i < FApps->Count(); ++i) {
    // The migration list holds the catalogue in catalogue order; an item it lacks is unticked.
    const bool ticked = i < lvMigrationApps.ItemCount() && lvMigrationApps.Item(i).checked;
    FApps->SetActive(i, all || ticked);
  }
}

void TformKestrova::aPagePreviousExecute() {
  pcMain.SetActivePageIndex(pcMain.ActivePageIndex() - 1);
  pcMainChange();
  UpdateUninstallButton();
}

void TformKestrova::aRefreshUsersExecute() { FApps->RefreshAccountList(); }

void TformKestrova::aUninstallExecute() {
  if (ShowMessage(sUninstallConfirmation, port::kMbYesNo | port::kMbIconQuestion) != port::kIdYes) {
    return;
  }
  FApps->RemoveCreatedUsers();
  FApps->RestoreAllOriginalLinks();
  FApps->RefreshAccountList();
  rbNewUser.SetChecked(true);
}

void TformKestrova::bnExitClick() { Close(); }

// ---- account page ----------------------------------------------------------------------------

void TformKestrova::rbNewUserClick() { UpdateNavigation(); }

void TformKestrova::rbExistingUserClick() { UpdateNavigation(); }

void TformKestrova::cbLimitedUsersSelect() {
  if (cbLimitedUsers.ItemIndex() < 0) return;
  FApps->SetInternetUser(cbLimitedUsers.Text());
  UpdateNavigation();
}

// ---- migration page --------------------------------------------------------------------------

void TformKestrova::rbMigrateAllClick() { lvMigrationApps.SetEnabled(rbMigrateSelected.Checked()); }

// ---- applications page -----------------------------------------------------------------------

void TformKestrova::labelApplicationsInfoClick() { labelApplicationsInfo.SetVisible(false); }

void TformKestrova::lvApplicationsClick() {
  groupApplication.SetEnabled(lvApplications.SelectedIndex() >= 0);
  groupApplication.SetVisible(groupApplication.Enabled());
  panelAppDivider.SetVisible(groupApplication.Enabled());
}

void TformKestrova::lvApplicationsSelectItem(int item, bool selected) {
  const FlagScope updating(FUpdatingCheckBoxes);
  for (const ShortcutBox& box : shortcutBoxes_) box.box->SetChecked(false);
  if (item < 0 || !selected) return;
  // The six boxes ask about three folders: each is listed once for all of them.
  const TShortcutRound round = FApps->ShortcutRound();
  // A program inside the administrator's profile cannot run under the restricted account.
  const bool oneAccount = FApps->InstalledForOneAccount(item);
  for (const ShortcutBox& box : shortcutBoxes_) {
    box.box->SetEnabled(box.originalForm || !oneAccount);
    box.box->SetChecked(FApps->HasShortcut(item, box.location, box.originalForm));
  }
}

void TformKestrova::ShortcutBoxClick(const ShortcutBox& box) {
  if (FUpdatingCheckBoxes) return;
  const int item = lvApplications.SelectedIndex();
  // Without a selected application there is nothing to change; the box keeps the user's state.
  if (item < 0) return;
  try {
    FApps->SetShortcut(item, box.location, box.originalForm, box.box->Checked());
  } catch (...) {
    // The shortcut writer reports its own failures; the box keeps the state the user gave it.
  }
}

// ---- messages --------------------------------------------------------------------------------

int TformKestrova::ShowMessage(unsigned stringNumber, std::uint32_t type) {
  return services_.ui.MessageBox(handle_, LoadStr(stringNumber), kApplicationTitle, type);
}

}  // namespace ombrant
