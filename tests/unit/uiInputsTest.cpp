#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/uiRecorder.h"
#include "ui/uiButtons.h"
#include "ui/uiComboBox.h"
#include "ui/uiContainers.h"
#include "ui/uiImages.h"
#include "ui/uiText.h"

namespace ombrant::ui {
namespace {

TEST(ComboBox, OnlyAUsersPickRunsTheChangeHandler) {
  Form form("form");
  ComboBox combo("cbLimitedUsers");
  combo.SetParent(&form);
  for (const char* name : {"george-online", "guest-online"}) combo.AddItem(name, 0);
  std::vector<std::string> picked;
  combo.OnChange = [&] { picked.push_back(combo.Text()); };

  combo.SetItemIndex(1);
  EXPECT_EQ(combo.Text(), "guest-online");
  combo.SetItemIndex(5);
  EXPECT_EQ(combo.ItemIndex(), -1) << "an index out of range clears the selection";
  EXPECT_TRUE(picked.empty());

  EXPECT_TRUE(combo.UserSelect(0));
  EXPECT_FALSE(combo.UserSelect(2));
  combo.SetEnabled(false);
  EXPECT_FALSE(combo.UserSelect(1));
  EXPECT_EQ(picked, (std::vector<std::string>{"george-online"}));

  combo.Clear();
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(combo.Text(), "");
}

TEST(Edit, TextChangesRunTheHandlerAndTypingNeedsAReachableField) {
  Form form("form");
  Edit edit("editUsernameNew");
  edit.SetParent(&form);
  int changes = 0;
  edit.OnChange = [&] { ++changes; };

  edit.SetText("george-online");
  edit.SetText("george-online");
  EXPECT_EQ(changes, 1);
  edit.SetEnabled(false);
  EXPECT_FALSE(edit.UserSetText("typed"));
  edit.SetEnabled(true);
  EXPECT_TRUE(edit.UserSetText("typed"));
  EXPECT_EQ(edit.Text(), "typed");
  EXPECT_EQ(changes, 2);
}

TEST(ImageList, PixelsMustCoverTheImageExactly) {
  ImageList icons("icons", 16, 16);
  EXPECT_EQ(icons.Add({"account", std::vector<std::uint32_t>(256, 0xFF00FF00u)}), 0);
  EXPECT_EQ(icons.Add({"short", std::vector<std::uint32_t>(255)}), -1);
  EXPECT_EQ(icons.Add({"long", std::vector<std::uint32_t>(257)}), -1);
  EXPECT_EQ(icons.Add({"handle-only", {}}), 1);
  EXPECT_EQ(icons.Count(), 2);
  EXPECT_EQ(icons.IndexOf("handle-only"), 1);
  EXPECT_EQ(icons.IndexOf("short"), -1);
  EXPECT_THROW((void)icons.Entry(2), std::out_of_range);
}

TEST(Form, ClosingRunsTheHandlerOnceAndEndsInput) {
  Form form("formKestrova", "Ombrant");
  Button exit("bnExit", "Exit");
  exit.SetParent(&form);
  test::ChangeRecorder recorder(form);
  int closes = 0;
  form.OnClose = [&] { ++closes; };
  exit.OnClick = [&] { form.Close(); };

  EXPECT_TRUE(exit.UserClick());
  form.Close();
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(form.Closed());
  EXPECT_EQ(recorder.Count(form, Aspect::Closed), 1);
  EXPECT_FALSE(exit.UserClick());
}

}  // namespace
}  // namespace ombrant::ui
