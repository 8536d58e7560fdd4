#include "ui/uiButtons.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/uiContainers.h"

namespace ombrant::ui {
namespace {

// Two radio groups: a, b, c in one panel, d alone in another.
struct RadioFixture : ::testing::Test {
  RadioFixture() {
    for (RadioButton* rb : {&a, &b, &c}) rb->SetParent(&first);
    d.SetParent(&second);
    for (RadioButton* rb : {&a, &b, &c, &d}) {
      rb->OnClick = [this, rb] { clicks.push_back(rb->Name()); };
    }
    d.SetChecked(true);
    clicks.clear();
  }

  Panel first{"first"}, second{"second"};
  RadioButton a{"a"}, b{"b"}, c{"c"}, d{"d"};
  std::vector<std::string> clicks;
};

TEST_F(RadioFixture, CheckingByCodeUnchecksSiblingsAndRunsOnlyItsOwnHandler) {
  a.SetChecked(true);
  bool siblingOffInHandler = false;
  b.OnClick = [&] {
    clicks.push_back("b");
    siblingOffInHandler = !a.Checked() && b.Checked();
  };
  b.SetChecked(true);

  EXPECT_EQ(clicks, (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(siblingOffInHandler) << "the handler must see the group already switched";
  EXPECT_FALSE(a.Checked());
  EXPECT_TRUE(b.Checked());
  EXPECT_FALSE(c.Checked());
  EXPECT_TRUE(d.Checked()) << "a radio button in another parent is not a sibling";
}

TEST_F(RadioFixture, UncheckingOrRecheckingByCodeRunsNothing) {
  a.SetChecked(true);
  clicks.clear();

  a.SetChecked(true);
  EXPECT_TRUE(clicks.empty());
  a.SetChecked(false);
  EXPECT_TRUE(clicks.empty());
  EXPECT_FALSE(a.Checked());
  EXPECT_FALSE(b.Checked());
}

TEST_F(RadioFixture, UserClickChecksAndRunsTheHandlerWhenReachable) {
  EXPECT_TRUE(b.UserClick());
  EXPECT_TRUE(b.UserClick());  // every click is reported, checked already or not
  EXPECT_TRUE(b.Checked());
  EXPECT_EQ(clicks, (std::vector<std::string>{"b", "b"}));

  first.SetEnabled(false);
  EXPECT_FALSE(c.UserClick());
  first.SetEnabled(true);
  c.SetVisible(false);
  EXPECT_FALSE(c.UserClick());
  EXPECT_FALSE(c.Checked());
  EXPECT_TRUE(b.Checked());
  EXPECT_EQ(clicks.size(), 2u);
}

TEST(CheckBox, CodeChangesRunTheHandlerInEitherDirectionOnly) {
  CheckBox box("box");
  std::vector<bool> seen;
  box.OnClick = [&] { seen.push_back(box.Checked()); };

  box.SetChecked(true);
  box.SetChecked(true);
  box.SetChecked(false);
  box.SetChecked(false);
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));

  EXPECT_TRUE(box.UserClick());
  EXPECT_TRUE(box.Checked());
  box.SetEnabled(false);
  EXPECT_FALSE(box.UserClick());
  EXPECT_TRUE(box.Checked());
  EXPECT_EQ(seen, (std::vector<bool>{true, false, true}));
}

// The window fills boxes from code behind a flag of its own, and a box's handler may set
// another box; both only terminate because the handlers honour the flag.
TEST(CheckBox, HandlersSettingEachOtherStopAtTheirOwnersGuard) {
  GroupBox group("group");
  CheckBox left("left"), right("right");
  left.SetParent(&group);
  right.SetParent(&group);
  bool updating = false;
  int leftCalls = 0, rightCalls = 0, leftEffects = 0, rightEffects = 0;
  const auto mirror = [&](CheckBox& self, CheckBox& other, int& calls, int& effects) {
    ++calls;
    if (updating) return;
    ++effects;
    updating = true;
    other.SetChecked(self.Checked());
    updating = false;
  };
  left.OnClick = [&] { mirror(left, right, leftCalls, leftEffects); };
  right.OnClick = [&] { mirror(right, left, rightCalls, rightEffects); };

  ASSERT_TRUE(left.UserClick());
  EXPECT_TRUE(left.Checked());
  EXPECT_TRUE(right.Checked());
  EXPECT_EQ(rightCalls, 1) << "setting a box by code runs its handler";
  EXPECT_EQ(rightEffects, 0);
  EXPECT_EQ(leftCalls, 1);

  // Filling from code under the guard: the handlers run and do nothing.
  updating = true;
  left.SetChecked(false);
  right.SetChecked(false);
  updating = false;
  EXPECT_EQ(leftCalls, 2);
  EXPECT_EQ(rightCalls, 2);
  EXPECT_EQ(leftEffects + rightEffects, 1);
  EXPECT_FALSE(left.Checked());
  EXPECT_FALSE(right.Checked());
}

}  // namespace
}  // namespace ombrant::ui
