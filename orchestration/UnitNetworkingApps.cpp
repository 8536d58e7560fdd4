#include "orchestration/UnitNetworkingApps.h"

namespace ombrant {

// Operations whose machinery (catalogue, accounts, shortcut files, settings store) is not in the
// program yet do nothing and report nothing done: no account is created, no shortcut is found,
// the catalogue is empty. The attachments and the current account's name are kept already.

TNetworkingApps::TNetworkingApps(port::Port& port) : FPort(&port) {}

TNetworkingApps::TNetworkingApps() = default;

TNetworkingApps::~TNetworkingApps() = default;

void TNetworkingApps::SetAccountList(ui::ComboBox* combo) { FAccountList = combo; }

void TNetworkingApps::RefreshAccountList() {}

bool TNetworkingApps::CreateRestrictedUser(const std::string& /*name*/) { return false; }

void TNetworkingApps::SetInternetUser(const std::string& name) { FInternetUser = name; }

void TNetworkingApps::SetApplicationView(ui::ListView* view) { FApplicationView = view; }

void TNetworkingApps::FillMigrationList(ui::ListView* view) { FMigrationView = view; }

ui::ImageList* TNetworkingApps::SmallImages() { return nullptr; }

ui::ImageList* TNetworkingApps::LargeImages() { return nullptr; }

int TNetworkingApps::Count() const { return 0; }

bool TNetworkingApps::Active(int /*index*/) const { return false; }

void TNetworkingApps::SetActive(int /*index*/, bool /*active*/) {}

void TNetworkingApps::ReplaceAllShortcuts() {}

void TNetworkingApps::MigrateSelectedApplications() {}

bool TNetworkingApps::HasShortcut(int /*index*/, TShortcutLocation /*location*/,
                                  bool /*originalForm*/) {
  return false;
}

void TNetworkingApps::SetShortcut(int /*index*/, TShortcutLocation /*location*/,
                                  bool /*originalForm*/, bool /*present*/) {}

void TNetworkingApps::RemoveCreatedUsers() {}

void TNetworkingApps::RestoreAllOriginalLinks() {}

}  // namespace ombrant
