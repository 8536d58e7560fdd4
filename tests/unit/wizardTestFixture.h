// A wizard window over test doubles, opened the way the program opens it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/sim/simSystem.h"
#include "platform/vqNTStuff.h"
#include "resources/OmbrantStrings.h"
#include "tests/unit/wizardDoubles.h"
#include "wizard/FormUnitMain.h"

namespace ombrant::test {

class WizardTest : public ::testing::Test {
 protected:
  std::vector<std::string> repaints;

  // Creates the window (FormCreate runs) and shows it (FormShow); with `paint`, also paints it
  // once, which runs the start-up checks.
  void Open(bool paint = true) {
    form.reset();
    nt_ = std::make_unique<TNTStuff>(system);
    const auto createApps = [this]() -> std::unique_ptr<TNetworkingApps> {
      auto made = std::make_unique<RecordingApps>(script, &appsDestroyed);
      apps = made.get();
      return made;
    };
    const auto loadIntroduction = [this]() -> std::string {
      if (introduction.empty()) throw std::runtime_error("no resource");
      return introduction;
    };
    // What the window shows each time it is repainted during a long operation.
    const auto repaintNow = [this] {
      repaints.push_back(form ? form->labelMigrationProgress.Caption() : std::string());
    };
    TKestrovaServices services{ui, *nt_, accounts, createApps, loadIntroduction, repaintNow};
    form = std::make_unique<TformKestrova>(std::move(services));
    form->FormShow();
    if (paint) form->FormPaint();
  }

  // The account page with the proposed new account.
  void ToAccountPage() {
    Open();
    ASSERT_TRUE(form->bnNext.UserClick());
    ASSERT_EQ(form->pcMain.ActivePage(), &form->tabUser);
  }

  // The migration page, after choosing the listed account "alice-online".
  void ToMigrationPage() {
    ToAccountPage();
    ASSERT_TRUE(form->rbExistingUser.UserClick());
    ASSERT_TRUE(form->cbLimitedUsers.UserSelect(0));
    ASSERT_TRUE(form->bnNext.UserClick());
    ASSERT_EQ(form->pcMain.ActivePage(), &form->tabMigration);
  }

  void ToApplicationsPage() {
    ToMigrationPage();
    ASSERT_TRUE(form->bnNext.UserClick());
    ASSERT_EQ(form->pcMain.ActivePage(), &form->tabApplications);
  }

  [[nodiscard]] std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const ShownBox& box : ui.boxes) texts.push_back(box.text);
    return texts;
  }

  [[nodiscard]] std::vector<std::string> Calls() const { return apps->calls; }
  void ForgetCalls() { apps->calls.clear(); }

  static std::string Text(unsigned number) { return std::string(LoadStr(number)); }

  sim::SimSystem system;  // Windows XP
  ScriptedUi ui;
  FakeAccountFacts accounts;
  AppsScript script;
  std::string introduction = "{\\rtf1 What is it about?}";
  bool appsDestroyed = false;
  RecordingApps* apps = nullptr;  // owned by the window
  std::unique_ptr<TNTStuff> nt_;
  std::unique_ptr<TformKestrova> form;
};

}  // namespace ombrant::test
