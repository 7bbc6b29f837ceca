// The dialog that picks members for a bar group: what it lists (the other groups, then the
// items of each category that has any), what it hands back, and how it draws its rows.

#include <gtest/gtest.h>

#include <string>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarAddGroupItemsEd.h"
#include "components/bars/tests/BarManagerFixture.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/runtime/Lists.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

class BarAddGroupItemsTest : public orv::test::HeadlessFormTest {
 protected:
  void SetUp() override {
    HeadlessFormTest::SetUp();
    Manager = NewTestBarManager(Form.get());
    Manager->GetCategories()->Clear();
    for (const char* category : {"File", "Edit", "Empty"}) Manager->GetCategories()->Add(category);
    New = AddButton("New", "bNew", 0);
    Open = AddButton("Open", "bOpen", 0);
    Cut = AddButton("Cut", "bCut", 1);
    Edited = AddGroup("gEdited");
    Other = AddGroup("gOther");
    Third = AddGroup("gThird");
    Edited->Add(Open);
    Edited->Add(Third);
  }
  void TearDown() override {
    orv::headless::SetIdleHandler(nullptr);
    Form.reset();
    ResetBarServices();
    HeadlessFormTest::TearDown();
  }
  TdxBarButton* AddButton(const char* caption, const char* name, Integer category) {
    auto* button = new TdxBarButton(Form.get());
    button->SetParentComponent(Manager);
    button->SetName(name);
    button->SetCaption(caption);
    button->SetCategory(category);
    return button;
  }
  TdxBarGroup* AddGroup(const char* name) {
    TdxBarGroup* group = Manager->AddGroup();
    group->SetName(name);
    return group;
  }
  // Runs the dialog for `group`; `act` gets the open dialog and closes it.
  Boolean Run(TdxBarGroup* group, TObjectList& chosen, const std::function<void(TfrmAddGroupItems*)>& act) {
    orv::headless::SetIdleHandler([&] {
      TfrmAddGroupItems* dialog = GetActiveAddGroupItemsDialog();
      if (!dialog) return false;
      act(dialog);
      return true;
    });
    const Boolean result = ShowAddGroupItems(group, &chosen);
    orv::headless::SetIdleHandler(nullptr);
    return result;
  }
  static std::string Rows(TListBox* list) {
    std::string rows;
    for (Integer i = 0; i < list->GetItems()->GetCount(); ++i) rows += list->GetItems()->Get(i) + "|";
    return rows;
  }

  TdxBarManager* Manager = nullptr;
  TdxBarButton *New = nullptr, *Open = nullptr, *Cut = nullptr;
  TdxBarGroup *Edited = nullptr, *Other = nullptr, *Third = nullptr;
};

TEST_F(BarAddGroupItemsTest, ListsTheOtherGroupsAndTheItemsOfEachCategoryThatHasAny) {
  TObjectList chosen(false);
  std::string rows, caption;
  Run(Edited, chosen, [&](TfrmAddGroupItems* dialog) {
    rows = Rows(dialog->GetListBox());
    caption = dialog->GetCaption();
    dialog->GetCancelButton()->Click();
  });
  EXPECT_EQ(caption, "Add Group Items");
  // The edited group is not offered; "Empty" has no items and so no header.
  EXPECT_EQ(rows, "~< Groups >|gOther|gThird|~File|New|Open|~Edit|Cut|");
  // A manager with one group lists no groups section at all.
  Other->Free();
  Third->Free();
  Run(Edited, chosen, [&](TfrmAddGroupItems* dialog) {
    rows = Rows(dialog->GetListBox());
    dialog->GetCancelButton()->Click();
  });
  EXPECT_EQ(rows, "~File|New|Open|~Edit|Cut|");
}

TEST_F(BarAddGroupItemsTest, OkHandsBackTheChosenRowsInOrderAndCancelNothing) {
  TObjectList chosen(false);
  // Rows: 0 ~< Groups >, 1 gOther, 2 gThird, 3 ~File, 4 New, 5 Open, 6 ~Edit, 7 Cut.
  EXPECT_TRUE(Run(Edited, chosen, [&](TfrmAddGroupItems* dialog) {
    for (Integer row : {7, 1, 3}) dialog->GetListBox()->SetSelected(row, true);
    dialog->GetOKButton()->Click();
  }));
  ASSERT_EQ(chosen.GetCount(), 3);
  EXPECT_EQ(chosen.Get(0), Other);
  EXPECT_EQ(chosen.Get(1), nullptr);  // the "~File" header
  EXPECT_EQ(chosen.Get(2), Cut);
  // The group takes what it can: the header adds nothing.
  for (Integer i = 0; i < chosen.GetCount(); ++i)
    if (auto* component = static_cast<TdxBarComponent*>(chosen.Get(i))) Edited->Add(component);
  EXPECT_EQ(Edited->GetCount(), 4);
  chosen.Clear();
  EXPECT_FALSE(Run(Edited, chosen, [&](TfrmAddGroupItems* dialog) {
    dialog->GetListBox()->SetSelected(4, true);
    dialog->GetCancelButton()->Click();
  }));
  EXPECT_EQ(chosen.GetCount(), 0);
}

// Headers on button face, members of the group greyed, items with their names in a second
// column, and button face below the last row.
TEST_F(BarAddGroupItemsTest, GoldenImageOfTheDialog) {
  TObjectList chosen(false);
  orv::TImageCheck check;
  TColor memberText = clNone, otherText = clNone;
  Run(Edited, chosen, [&](TfrmAddGroupItems* dialog) {
    TListBox* list = dialog->GetListBox();
    list->SetSelected(7, true);
    Application->ProcessMessages();
    const orv::TSurface picture = orv::headless::CaptureWindow(dialog->GetHandle());
    check = orv::MatchGoldenImage(picture, ORV_SOURCE_DIR "/components/bars/tests/golden/add-group-items.png");
    // The member "Open" (row 5) is drawn in button face; "New" (row 4) in window text.
    const auto darkest = [&](Integer row) {
      const TRect r = list->ItemRect(row);
      HDC dc = GetDC(list->GetHandle());
      COLORREF best = 0xFFFFFF;
      Integer bestSum = 3 * 255;
      for (Integer x = r.Left; x < (r.Left + r.Right) / 2; ++x)
        for (Integer y = r.Top; y < r.Bottom; ++y) {
          const COLORREF c = GetPixel(dc, x, y);
          const Integer sum = GetRValue(c) + GetGValue(c) + GetBValue(c);
          if (sum < bestSum) bestSum = sum, best = c;
        }
      ReleaseDC(list->GetHandle(), dc);
      return TColor(best);
    };
    memberText = darkest(5);
    otherText = darkest(4);
    dialog->GetCancelButton()->Click();
  });
  EXPECT_TRUE(check) << check.Message;
  EXPECT_EQ(memberText, TColor(ColorToRGB(clBtnFace)));
  EXPECT_EQ(otherText, TColor(ColorToRGB(clWindowText)));
}

}  // namespace
