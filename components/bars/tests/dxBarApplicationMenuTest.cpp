// The button row of application menus: entries mirror their buttons into hidden internal items,
// follow their changes and destruction, run their clicks, and are placed right-aligned in a row
// as long as they fit; the extra pane's width.

#include <gtest/gtest.h>

#include <vector>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarApplicationMenu.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"

namespace {

class BarApplicationMenuTest : public orv::test::HeadlessFormTest {
 protected:
  BarApplicationMenuTest() : HeadlessFormTest({100, 100, 320, 160}) {}
  void SetUp() override {
    HeadlessFormTest::SetUp();
    Manager = new TdxBarManager(Form.get());
    Buttons = new TdxBarApplicationMenuButtons(Form.get(), Manager);
    Options = new TdxBarButton(Form.get());
    Options->SetParentComponent(Manager);
    Options->SetCaption("Options");
    Options->SetHint("Program options");
  }
  void TearDown() override {
    orv::Free(Buttons);
    Form.reset();
    HeadlessFormTest::TearDown();
  }
  TdxBarManager* Manager = nullptr;
  TdxBarApplicationMenuButtons* Buttons = nullptr;
  TdxBarButton* Options = nullptr;
};

struct TMirrorClicks {
  Integer Count = 0;
  void Click(TObject*) { ++Count; }
};

}  // namespace

TEST_F(BarApplicationMenuTest, AnEntryMirrorsItsButtonAndIsHiddenWithoutOne) {
  TdxBarApplicationMenuButton* entry = Buttons->Add();
  TdxBarApplicationMenuButtonItem* item = entry->GetInternalItem();
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->GetVisible(), ivNever);
  entry->SetItem(Options);
  EXPECT_EQ(item->GetCaption(), "Options");
  EXPECT_EQ(item->GetHint(), "Program options");
  EXPECT_EQ(item->GetVisible(), ivAlways);
  EXPECT_TRUE(item->GetEnabled());
  // Disabling the button disables the entry (when the row is made); destroying the button
  // empties and hides the entry.
  Options->SetEnabled(false);
  auto* row = new TdxBarPopupMenu(Form.get());
  row->SetBarManager(Manager);
  Buttons->PopulateLinks(row->GetItemLinks());
  ASSERT_EQ(row->GetItemLinks()->GetCount(), 1);
  EXPECT_EQ(row->GetItemLinks()->GetItem(0)->GetItem(), item);
  EXPECT_FALSE(item->GetEnabled());
  Options->Free();
  EXPECT_EQ(entry->GetItem(), nullptr);
  EXPECT_EQ(item->GetCaption(), "");
  EXPECT_EQ(item->GetVisible(), ivNever);
}

TEST_F(BarApplicationMenuTest, TheEntrysClickRunsOnlyTheButtonsOnClick) {
  TMirrorClicks clicks;
  Options->SetOnClick(TNotifyEvent(&clicks, &TMirrorClicks::Click));
  TdxBarApplicationMenuButton* entry = Buttons->Add();
  entry->SetItem(Options);
  entry->GetInternalItem()->Click();
  EXPECT_EQ(clicks.Count, 1);
  entry->SetWidth(-4);
  EXPECT_EQ(entry->GetWidth(), 0);
  entry->SetWidth(80);
  EXPECT_EQ(entry->GetWidth(), 80);
}

TEST_F(BarApplicationMenuTest, TheRowIsRightAlignedAndEndsAtTheFirstEntryThatDoesNotFit) {
  const std::vector<TRect> rects = CalcApplicationMenuButtonsLayout({60, 70, 80}, TRect{0, 0, 300, 24});
  ASSERT_EQ(rects.size(), 3u);
  EXPECT_EQ(rects[0], (TRect{78, 0, 138, 24}));
  EXPECT_EQ(rects[1], (TRect{144, 0, 214, 24}));
  EXPECT_EQ(rects[2], (TRect{220, 0, 300, 24}));
  const std::vector<TRect> narrow = CalcApplicationMenuButtonsLayout({60, 200, 20}, TRect{0, 0, 150, 24});
  EXPECT_EQ(narrow[0], (TRect{90, 0, 150, 24}));
  EXPECT_EQ(narrow[1], TRect());
  EXPECT_EQ(narrow[2], TRect());  // after one that does not fit, none is shown
}

TEST_F(BarApplicationMenuTest, TheExtraPaneWidthIsScaledOrARatioOfTheMenu) {
  EXPECT_EQ(CalcApplicationMenuExtraPaneWidth(100, 0.5, 400, 26, 13), 200);
  EXPECT_EQ(CalcApplicationMenuExtraPaneWidth(0, 0.25, 301, 26, 13), 75);
}
