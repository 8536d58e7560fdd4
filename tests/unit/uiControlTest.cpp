#include "ui/uiControl.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/unit/uiRecorder.h"
#include "ui/uiButtons.h"
#include "ui/uiContainers.h"
#include "ui/uiListView.h"
#include "ui/uiText.h"

namespace ombrant::ui {
namespace {

TEST(Control, ObserversHearRealChangesOnlyAndFromDescendants) {
  Form form("form");
  Panel panel("panel");
  CheckBox box("box", "Old");
  panel.SetParent(&form);
  box.SetParent(&panel);
  test::ChangeRecorder atForm(form);
  test::ChangeRecorder atBox(box);

  box.SetCaption("Old");
  box.SetEnabled(true);
  box.SetChecked(false);
  EXPECT_TRUE(atForm.events.empty()) << "setting the current value notifies nobody";

  box.SetCaption("New");
  box.SetChecked(true);
  ASSERT_EQ(atForm.events.size(), 2u);
  EXPECT_EQ(atForm.events[0].source, &box);
  EXPECT_EQ(atForm.events[0].what, Changes(Aspect::Caption));
  EXPECT_EQ(atForm.events[1].what, Changes(Aspect::Checked));
  EXPECT_EQ(atBox.events.size(), 2u);
}

// An observer that unsubscribes on its first notification.
struct OneShot : Observer {
  explicit OneShot(Component& c) : watched(c) { c.AddObserver(*this); }
  void Changed(Component&, Changes) override {
    ++heard;
    watched.RemoveObserver(*this);
  }
  Component& watched;
  int heard = 0;
};

TEST(Control, AnObserverMayUnsubscribeWhileBeingNotified) {
  Label label("label");
  OneShot once(label);
  test::ChangeRecorder steady(label);
  label.SetCaption("a");
  label.SetCaption("b");
  EXPECT_EQ(once.heard, 1);
  EXPECT_EQ(steady.events.size(), 2u);
}

TEST(Control, OneFocusPerWindowAndOnlyForReachableControls) {
  Form form("form");
  Edit first("first"), second("second"), disabled("disabled");
  Label label("labelUsername", "&Username:");
  for (Control* c : std::initializer_list<Control*>{&first, &second, &disabled, &label}) {
    c->SetParent(&form);
  }
  disabled.SetEnabled(false);
  label.SetFocusControl(&second);
  test::ChangeRecorder recorder(form);

  EXPECT_TRUE(first.SetFocus());
  EXPECT_TRUE(label.ActivateAccessKey());
  EXPECT_TRUE(second.Focused());
  EXPECT_FALSE(first.Focused());
  EXPECT_EQ(recorder.Count(first, Aspect::Focus), 2) << "gained, then lost";
  EXPECT_EQ(recorder.Count(second, Aspect::Focus), 1);

  EXPECT_FALSE(disabled.SetFocus());
  EXPECT_FALSE(label.SetFocus());
  second.SetVisible(false);
  EXPECT_FALSE(label.ActivateAccessKey());
  EXPECT_EQ(form.FocusedControl(), &second) << "refused requests leave the focus where it was";
}

TEST(Control, FocusIsForgottenWhenTheFocusedControlLeaves) {
  Form form("form");
  Panel panel("panel");
  panel.SetParent(&form);
  auto edit = std::make_unique<Edit>("edit");
  edit->SetParent(&panel);
  ASSERT_TRUE(edit->SetFocus());

  panel.SetParent(nullptr);
  EXPECT_EQ(form.FocusedControl(), nullptr);
  panel.SetParent(&form);
  ASSERT_TRUE(edit->SetFocus());
  edit.reset();
  EXPECT_EQ(form.FocusedControl(), nullptr);
}

TEST(Control, ParentsAndTabOrder) {
  Form form("form");
  Panel outer("outer"), inner("inner");
  Button a("a"), b("b"), c("c");
  outer.SetParent(&form);
  inner.SetParent(&outer);
  inner.SetParent(&inner);
  outer.SetParent(&inner);
  EXPECT_EQ(inner.Parent(), &outer) << "a control cannot go inside itself";
  EXPECT_EQ(outer.Parent(), &form);

  for (Button* button : {&a, &b, &c}) button->SetParent(&inner);
  c.SetTabOrder(0);
  EXPECT_EQ(inner.Children(), (std::vector<Control*>{&c, &a, &b}));
  a.SetTabOrder(99);
  EXPECT_EQ(inner.Children(), (std::vector<Control*>{&c, &b, &a}));
  EXPECT_EQ(a.TabOrder(), 2);
  EXPECT_EQ(form.FindControl("b"), &b);
  EXPECT_EQ(form.FindControl("missing"), nullptr);
}

struct AnchorCase {
  AnchorSet anchors;
  Rect expected;  // after the parent grows by 100 × 50
};

TEST(Layout, AnchorsKeepTheirDistanceWhenTheParentGrows) {
  const AnchorCase cases[] = {
      {AnchorSet{}, {104, 344, 89, 25}},
      {AnchorSet::LeftBottom(), {104, 394, 89, 25}},
      {AnchorSet::RightBottom(), {204, 394, 89, 25}},
      {AnchorSet::All(), {104, 344, 189, 75}},
      {AnchorSet::TopRight(), {204, 344, 89, 25}},
      {{false, false, false, false}, {154, 369, 89, 25}},
  };
  for (const AnchorCase& c : cases) {
    Form form("form");
    form.SetClientSize(513, 377);
    Button button("button");
    button.SetParent(&form);
    button.SetBounds({104, 344, 89, 25});
    button.SetAnchors(c.anchors);
    form.SetClientSize(613, 427);
    EXPECT_EQ(button.Bounds(), c.expected)
        << "anchors l" << c.anchors.left << " t" << c.anchors.top << " r" << c.anchors.right
        << " b" << c.anchors.bottom << ": got " << button.Bounds().left << ","
        << button.Bounds().top << " " << button.Bounds().width << "x" << button.Bounds().height;
  }
}

// A page laid out like the applications page: a text on top, a list filling the rest, and a
// group with a spacer above it at the bottom, hidden until used.
TEST(Layout, AlignedChildrenShareTheClientAreaAndHiddenOnesTakeNone) {
  Panel page("page");
  page.SetBorderWidth(8);
  page.SetBounds({0, 0, 489, 301});
  Label info("info");
  ListView list("list");
  Panel divider("divider");
  GroupBox group("group");
  info.SetBounds({0, 0, 100, 52});
  divider.SetBounds({0, 172, 100, 8});
  group.SetBounds({0, 180, 100, 105});
  divider.SetVisible(false);
  group.SetVisible(false);
  for (Control* c : std::initializer_list<Control*>{&info, &list, &divider, &group}) {
    c->SetParent(&page);
  }
  info.SetAlign(Alignment::Top);
  list.SetAlign(Alignment::Client);
  divider.SetAlign(Alignment::Bottom);
  group.SetAlign(Alignment::Bottom);

  EXPECT_EQ(info.Bounds(), (Rect{0, 0, 473, 52}));
  EXPECT_EQ(list.Bounds(), (Rect{0, 52, 473, 233}));

  group.SetVisible(true);
  divider.SetVisible(true);
  EXPECT_EQ(group.Bounds(), (Rect{0, 180, 473, 105}));
  EXPECT_EQ(divider.Bounds(), (Rect{0, 172, 473, 8}));
  EXPECT_EQ(list.Bounds(), (Rect{0, 52, 473, 120}));

  info.SetVisible(false);
  page.SetBounds({0, 0, 589, 401});
  EXPECT_EQ(list.Bounds(), (Rect{0, 0, 573, 272}));
  EXPECT_EQ(group.Bounds(), (Rect{0, 280, 573, 105}));
}

TEST(AccessKey, FollowsTheSingleAmpersand) {
  const struct {
    const char* caption;
    char32_t key;
  } cases[] = {
      {"&Next", U'N'},
      {"User &account", U'A'},
      {"&&Save", 0},
      {"Fish && &chips", U'C'},
      {"Exit", 0},
      {"Trailing &", 0},
      {"&\xC3\xA9t\xC3\xA9", U'\u00E9'},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AccessKey(c.caption), c.key) << c.caption;
  }
}

}  // namespace
}  // namespace ombrant::ui
