// Test doubles for the wizard window: an orchestrator that records what the window asks of it and
// behaves like the real one towards the controls, scripted message boxes, and account facts.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "orchestration/UnitNetworkingApps.h"
#include "platform/port/kvrPortUi.h"
#include "platform/vqStrings.h"
#include "ui/uiComboBox.h"
#include "ui/uiImages.h"
#include "ui/uiListView.h"
#include "wizard/FormUnitMain.h"

namespace ombrant::test {

struct ShownBox {
  std::string text;
  std::string caption;
  std::uint32_t type = 0;
  port::HWnd owner = 0;
};

// Boxes with only an OK button answer OK; every other box takes the next scripted answer.
class ScriptedUi final : public port::IUi {
 public:
  int MessageBox(port::HWnd owner, std::string_view text, std::string_view caption,
                 std::uint32_t type) override {
    boxes.push_back({std::string(text), std::string(caption), type, owner});
    if (whileShown) whileShown();
    if ((type & 0x0F) == port::kMbOk) return port::kIdOk;
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected question: " << text;
      return port::kIdNo;
    }
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::vector<ShownBox> boxes;
  std::deque<int> answers;
  // What the user does while a box is up (the box's message loop delivers it).
  std::function<void()> whileShown;
};

class FakeAccountFacts final : public IAccountFacts {
 public:
  std::string GetCurrentUserName() override { return currentUser; }
  std::vector<std::string> GetLocalUserNames() override { return localUsers; }
  bool GetCurrentUserPrivilege(std::uint32_t* level) override {
    if (!privilege) return false;
    *level = *privilege;
    return true;
  }

  std::string currentUser = "george";
  std::vector<std::string> localUsers = {"Administrator", "Guest", "george", "alice-online"};
  std::optional<std::uint32_t> privilege = 2;
};

// One detected application as the double's catalogue holds it.
struct FakeApplication {
  std::string displayName;
  bool ticked = false;  // the migration list's initial check mark
  bool active = false;
};

// What the double starts with: the machine it pretends to see.
struct AppsScript {
  std::vector<std::string> standardUsers = {"alice-online"};
  std::string storedInternetUser;
  std::vector<FakeApplication> catalogue = {
      {"Mozilla Firefox", true}, {"Opera", false}, {"Skype", true}};
  bool createSucceeds = true;
};

class RecordingApps final : public TNetworkingApps {
 public:
  RecordingApps(AppsScript script, bool* destroyed)
      : script_(std::move(script)), destroyed_(destroyed) {
    FInternetUser = script_.storedInternetUser;
    small_.Add({"small", {}});
    large_.Add({"large", {}});
  }
  ~RecordingApps() override {
    if (destroyed_ != nullptr) *destroyed_ = true;
  }

  void SetAccountList(ui::ComboBox* combo) override {
    calls.push_back("SetAccountList");
    FAccountList = combo;
    FillAccountList();
  }
  void RefreshAccountList() override {
    calls.push_back("RefreshAccountList");
    FillAccountList();
  }
  bool CreateRestrictedUser(const std::string& name) override {
    calls.push_back("CreateRestrictedUser(" + name + ")");
    if (during) during();
    if (!script_.createSucceeds) return false;
    // As the real one: the account becomes current and is appended to the list, selected.
    script_.standardUsers.push_back(name);
    FInternetUser = name;
    if (FAccountList != nullptr) FAccountList->SetItemIndex(FAccountList->AddItem(name, 0));
    return true;
  }
  void SetInternetUser(const std::string& name) override {
    calls.push_back("SetInternetUser(" + name + ")");
    FInternetUser = name;
  }
  void SetApplicationView(ui::ListView* view) override {
    calls.push_back(view == nullptr ? "SetApplicationView(none)"
                                    : "SetApplicationView(" + view->Name() + ")");
    FApplicationView = view;
    if (view == nullptr) return;
    view->ClearItems();
    for (const FakeApplication& app : script_.catalogue) view->AddItem(app.displayName);
  }
  void FillMigrationList(ui::ListView* view) override {
    calls.push_back("FillMigrationList(" + view->Name() + ")");
    FMigrationView = view;
    view->ClearItems();
    for (const FakeApplication& app : script_.catalogue) {
      const int item = view->AddItem(app.displayName);
      view->SetItemChecked(item, app.ticked);
    }
  }
  ui::ImageList* SmallImages() override { return &small_; }
  ui::ImageList* LargeImages() override { return &large_; }

  int Count() const override { return static_cast<int>(script_.catalogue.size()); }
  bool Active(int index) const override { return script_.catalogue.at(Index(index)).active; }
  void SetActive(int index, bool active) override {
    script_.catalogue.at(Index(index)).active = active;
  }

  void ReplaceAllShortcuts() override { calls.push_back("ReplaceAllShortcuts" + ActiveNames()); }
  void MigrateSelectedApplications(const TMigrationProgress& progress) override {
    calls.push_back("MigrateSelectedApplications" + ActiveNames());
    if (during) during();
    int count = 0;
    for (const FakeApplication& app : script_.catalogue) count += app.active ? 1 : 0;
    int position = 0;
    for (const FakeApplication& app : script_.catalogue) {
      if (app.active && progress) progress(app.displayName, ++position, count);
    }
  }
  bool InstalledForOneAccount(int index) const override { return oneAccount.contains(index); }
  bool HasShortcut(int index, TShortcutLocation location, bool originalForm) override {
    ++hasShortcutCalls;
    return shortcuts.contains({index, location, originalForm});
  }
  // Each pass takes `readAheadSteps` calls; throws when `failReadAhead` is set.
  bool ReadShortcutsAhead(std::size_t budget) override {
    readAheadBudgets.push_back(budget);
    if (failReadAhead) throw std::runtime_error("the folder cannot be listed");
    if (++readAheadStep < readAheadSteps) return true;
    readAheadStep = 0;
    return false;
  }
  void SetShortcut(int index, TShortcutLocation location, bool originalForm,
                   bool present) override {
    calls.push_back("SetShortcut(" + std::to_string(index) + "," + std::to_string(location) + "," +
                    (originalForm ? "original" : "impersonated") + "," +
                    (present ? "present" : "absent") + ")");
    if (during) during();
    if (failShortcuts) throw std::runtime_error("could not save the shortcut");
    if (present) {
      shortcuts.insert({index, location, originalForm});
    } else {
      shortcuts.erase({index, location, originalForm});
    }
  }
  void RemoveCreatedUsers() override {
    calls.push_back("RemoveCreatedUsers");
    if (during) during();
  }
  void RestoreAllOriginalLinks() override { calls.push_back("RestoreAllOriginalLinks"); }

  [[nodiscard]] ui::ComboBox* AccountList() const { return FAccountList; }
  [[nodiscard]] ui::ListView* ApplicationView() const { return FApplicationView; }

  std::vector<std::string> calls;
  std::set<std::tuple<int, TShortcutLocation, bool>> shortcuts;
  // The entries installed inside the administrator's profile.
  std::set<int> oneAccount;
  int hasShortcutCalls = 0;
  std::vector<std::size_t> readAheadBudgets;
  int readAheadSteps = 3;
  int readAheadStep = 0;
  bool failReadAhead = false;
  bool failShortcuts = false;
  // What the user does while a long call runs (a box or the shell's progress window pumps
  // messages meanwhile).
  std::function<void()> during;

 private:
  static std::size_t Index(int index) { return static_cast<std::size_t>(index); }

  // The candidate accounts with the current one selected (ignoring case), as the real list is.
  void FillAccountList() {
    if (FAccountList == nullptr) return;
    FAccountList->Clear();
    for (const std::string& name : script_.standardUsers) FAccountList->AddItem(name, 0);
    for (int i = 0; i < FAccountList->ItemCount(); ++i) {
      if (SameText(FAccountList->Item(i).text, FInternetUser)) {
        FAccountList->SetItemIndex(i);
        break;
      }
    }
  }

  // " [A,B]": the entries active when the call came.
  [[nodiscard]] std::string ActiveNames() const {
    std::string names;
    for (const FakeApplication& app : script_.catalogue) {
      if (!app.active) continue;
      if (!names.empty()) names += ",";
      names += app.displayName;
    }
    return " [" + names + "]";
  }

  AppsScript script_;
  bool* destroyed_;
  ui::ImageList small_{"small", 16, 16};
  ui::ImageList large_{"large", 32, 32};
};

}  // namespace ombrant::test
