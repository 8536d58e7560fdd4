// The orchestrator: chooses and creates the restricted account, replaces the application shortcuts,
// runs the migration and uninstalls. The wizard window decides when these happen; this class
// decides what happens.
//
// Every operation the window calls is virtual, so a window can be driven by a test double.
#pragma once

#include <string>

#include "platform/port/kvrPort.h"

namespace ombrant {

namespace ui {
class ComboBox;
class ImageList;
class ListView;
}  // namespace ui

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

class TNetworkingApps {
 public:
  explicit TNetworkingApps(port::Port& port);
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

  // ---- application lists
  // Attaches, prepares and fills the applications list view (not owned); null detaches it.
  virtual void SetApplicationView(ui::ListView* view);
  // Attaches the migration list view (not owned) and fills it with the statuses for the current
  // restricted account.
  virtual void FillMigrationList(ui::ListView* view);
  // The catalogue's pictures, 16 × 16 and 32 × 32; null while there are none.
  [[nodiscard]] virtual ui::ImageList* SmallImages();
  [[nodiscard]] virtual ui::ImageList* LargeImages();

  // ---- the catalogue: one entry per detected application, in catalogue order
  [[nodiscard]] virtual int Count() const;
  [[nodiscard]] virtual bool Active(int index) const;
  virtual void SetActive(int index, bool active);

  // ---- shortcuts and migration
  virtual void ReplaceAllShortcuts();
  virtual void MigrateSelectedApplications();
  // Whether the location's folder holds a shortcut of application `index`, in its original or its
  // impersonated form.
  [[nodiscard]] virtual bool HasShortcut(int index, TShortcutLocation location, bool originalForm);
  // Creates (present) or deletes one such shortcut.
  virtual void SetShortcut(int index, TShortcutLocation location, bool originalForm, bool present);

  // ---- uninstall
  virtual void RemoveCreatedUsers();
  virtual void RestoreAllOriginalLinks();

 protected:
  // For test doubles, which bring no machine.
  TNetworkingApps();

  port::Port* FPort = nullptr;
  std::string FInternetUser;
  ui::ComboBox* FAccountList = nullptr;
  ui::ListView* FApplicationView = nullptr;
  ui::ListView* FMigrationView = nullptr;
};

}  // namespace ombrant
