#include "ui/uiKeyboard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/uiButtons.h"
#include "ui/uiContainers.h"
#include "ui/uiListView.h"
#include "ui/uiPageControl.h"
#include "ui/uiText.h"

namespace ombrant::ui {
namespace {

// A window shaped like the wizard: a page control with two pages, buttons below it.
struct KeyboardFixture : ::testing::Test {
  KeyboardFixture() {
    pages.SetParent(&form);
    pages.AddPage(first);
    pages.AddPage(second);
    second.SetTabVisible(false);
    intro.SetParent(&first);

    info.SetParent(&second);
    newUser.SetParent(&second);
    userLabel.SetParent(&second);
    userLabel.SetFocusControl(&userName);
    userName.SetParent(&second);
    existingUser.SetParent(&second);
    users.SetParent(&second);
    group.SetParent(&second);
    option.SetParent(&group);

    for (Button* b : {&previous, &next, &exit}) b->SetParent(&form);
    next.OnClick = [this] { clicks.push_back("next"); };
    newUser.OnClick = [this] { clicks.push_back("newUser"); };
    existingUser.OnClick = [this] { clicks.push_back("existingUser"); };
    option.OnClick = [this] { clicks.push_back("option"); };
    pages.OnChange = [this] { clicks.push_back("pages"); };
  }

  [[nodiscard]] std::vector<std::string> Names(const std::vector<Control*>& controls) const {
    std::vector<std::string> names;
    for (const Control* c : controls) names.push_back(c->Name());
    return names;
  }

  Form form{"form"};
  PageControl pages{"pages"};
  TabSheet first{"first", "&Introduction"}, second{"second", "User &account"};
  RichEdit intro{"intro"};
  Label info{"info", "Do you want to create a new user?"};
  RadioButton newUser{"newUser", "Create a ne&w user"};
  Label userLabel{"userLabel", "&Username:"};
  Edit userName{"userName"};
  RadioButton existingUser{"existingUser", "Select an &existing user"};
  ListView users{"users"};
  GroupBox group{"group", "Shortcuts"};
  CheckBox option{"option", "... on your &desktop"};
  Button previous{"previous", "&Previous"}, next{"next", "&Next"}, exit{"exit", "Exit"};
  std::vector<std::string> clicks;
};

TEST_F(KeyboardFixture, TabVisitsTheActivePageBetweenItsPageControlAndTheButtons) {
  EXPECT_EQ(Names(TabStops(form)),
            (std::vector<std::string>{"pages", "intro", "previous", "next", "exit"}));

  pages.SetActivePage(&second);
  newUser.SetChecked(true);
  // Children order is the tab order; only the chosen option of the radio group is a stop.
  EXPECT_EQ(Names(TabStops(form)),
            (std::vector<std::string>{"pages", "newUser", "userName", "users", "option",
                                      "previous", "next", "exit"}));

  // Disabled and hidden controls and containers drop out with everything inside them.
  users.SetEnabled(false);
  group.SetVisible(false);
  next.SetEnabled(false);
  EXPECT_EQ(Names(TabStops(form)),
            (std::vector<std::string>{"pages", "newUser", "userName", "previous", "exit"}));
}

TEST_F(KeyboardFixture, RadioGroupsAreOneStopUnlessNoneIsChosen) {
  pages.SetActivePage(&second);
  EXPECT_TRUE(IsTabStop(newUser)) << "no option chosen yet: each is a stop";
  EXPECT_TRUE(IsTabStop(existingUser));

  existingUser.SetChecked(true);
  EXPECT_FALSE(IsTabStop(newUser));
  EXPECT_TRUE(IsTabStop(existingUser));

  // A chosen option that cannot be reached leaves the others to Tab.
  existingUser.SetEnabled(false);
  EXPECT_TRUE(IsTabStop(newUser));
}

TEST_F(KeyboardFixture, NextTabStopWrapsBothWaysAndStartsFromWhereAControlSits) {
  struct Case {
    const Control* from;
    bool backward;
    const Control* expected;
  };
  const Case cases[] = {
      {nullptr, false, &pages},  {nullptr, true, &exit},   {&pages, false, &intro},
      {&intro, false, &previous}, {&exit, false, &pages},  {&pages, true, &exit},
      {&previous, true, &intro},
      // Not a stop itself (a label, a hidden page's control): the search starts where it sits.
      {&userLabel, false, &previous}, {&userName, true, &intro},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NextTabStop(form, c.from, c.backward), c.expected)
        << "from " << (c.from ? c.from->Name() : "nothing") << (c.backward ? " backward" : "");
  }

  Form empty{"empty"};
  Label lonely{"lonely"};
  lonely.SetParent(&empty);
  EXPECT_EQ(NextTabStop(empty, nullptr, false), nullptr);
}

TEST_F(KeyboardFixture, ArrowKeysMoveAmongReachableSiblingOptions) {
  pages.SetActivePage(&second);
  RadioButton third{"third", "third"};
  third.SetParent(&second);

  EXPECT_EQ(NextRadio(newUser, false), &existingUser);
  EXPECT_EQ(NextRadio(existingUser, false), &third);
  EXPECT_EQ(NextRadio(third, false), &newUser) << "wraps around";
  EXPECT_EQ(NextRadio(newUser, true), &third);

  existingUser.SetVisible(false);
  EXPECT_EQ(NextRadio(newUser, false), &third);
  third.SetEnabled(false);
  EXPECT_EQ(NextRadio(newUser, false), nullptr) << "nothing else to move to";
}

TEST_F(KeyboardFixture, AccessKeysReachShownEnabledControlsAndVisibleTabs) {
  second.SetTabVisible(true);
  EXPECT_EQ(FindAccessKey(form, U'n'), &next) << "letter case does not matter";
  EXPECT_EQ(FindAccessKey(form, U'A'), &second) << "a tab's key works from any page";
  EXPECT_EQ(FindAccessKey(form, U'U'), nullptr) << "the label sits on a page not shown";
  EXPECT_EQ(FindAccessKey(form, U'X'), nullptr);
  EXPECT_EQ(FindAccessKey(form, 0), nullptr);

  second.SetTabVisible(false);
  next.SetEnabled(false);
  EXPECT_EQ(FindAccessKey(form, U'A'), nullptr) << "hidden tab";
  EXPECT_EQ(FindAccessKey(form, U'N'), nullptr) << "disabled button";
}

TEST_F(KeyboardFixture, PressingAnAccessKeyDoesWhatTheControlsClickDoes) {
  second.SetTabVisible(true);

  EXPECT_TRUE(PressAccessKey(form, U'a'));
  EXPECT_EQ(pages.ActivePage(), &second);
  EXPECT_EQ(clicks, (std::vector<std::string>{"pages"})) << "the same as a click on the tab";

  EXPECT_TRUE(PressAccessKey(form, U'u'));
  EXPECT_TRUE(userName.Focused()) << "a label focuses its focus control";

  EXPECT_TRUE(PressAccessKey(form, U'e'));
  EXPECT_TRUE(existingUser.Checked());
  EXPECT_TRUE(existingUser.Focused());

  EXPECT_TRUE(PressAccessKey(form, U'd'));
  EXPECT_TRUE(option.Checked());
  EXPECT_TRUE(option.Focused());

  EXPECT_TRUE(PressAccessKey(form, U'n'));
  EXPECT_EQ(clicks, (std::vector<std::string>{"pages", "existingUser", "option", "next"}));
  EXPECT_TRUE(option.Focused()) << "a push button is clicked without taking the focus";

  // A label without a focus control has nothing to do.
  userLabel.SetFocusControl(nullptr);
  EXPECT_FALSE(PressAccessKey(form, U'u'));
  EXPECT_FALSE(PressAccessKey(form, U'q'));
}

TEST_F(KeyboardFixture, EnterPressesTheFocusedButtonElseTheDefaultOne) {
  previous.OnClick = [this] { clicks.push_back("previous"); };
  exit.OnClick = [this] { clicks.push_back("exit"); };
  struct Case {
    const char* what;
    Control* focus;
    Button* defaultButton;
    bool nextEnabled;
    bool busy;
    std::vector<std::string> clicks;  // empty: Enter goes on to the focused control
  };
  const Case cases[] = {
      {"no focus yet", nullptr, &next, true, false, {"next"}},
      {"focused push button", &previous, &next, true, false, {"previous"}},
      {"focused push button, no default", &exit, nullptr, true, false, {"exit"}},
      {"in a field", &userName, &next, true, false, {"next"}},
      {"on a check box: it stays as it is", &option, &next, true, false, {"next"}},
      {"on an option", &newUser, &next, true, false, {"next"}},
      {"default disabled", &userName, &next, false, false, {}},
      {"focused button disabled meanwhile", &next, &next, false, false, {}},
      {"no default button", &userName, nullptr, true, false, {}},
      {"the window busy", &previous, &next, true, true, {}},
  };
  pages.SetActivePage(&second);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    next.SetEnabled(true);
    if (c.focus != nullptr) {
      ASSERT_TRUE(c.focus->SetFocus());
    }
    ASSERT_EQ(form.FocusedControl(), c.focus);
    next.SetEnabled(c.nextEnabled);
    form.SetDefaultButton(c.defaultButton);
    const bool checked = option.Checked();
    if (c.busy) form.BeginBlockingInput();
    clicks.clear();
    EXPECT_EQ(PressEnter(form), !c.clicks.empty());
    if (c.busy) form.EndBlockingInput();
    EXPECT_EQ(clicks, c.clicks);
    EXPECT_EQ(option.Checked(), checked);
  }
}

}  // namespace
}  // namespace ombrant::ui
