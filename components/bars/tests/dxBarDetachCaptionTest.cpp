// Tear-off menus: the menu of a Detachable sub item shows a caption along its top; under the
// mouse it is drawn hot, and dragging it out of the menu closes the menu and makes the sub
// item's detaching bar float at the pointer; a sub item that is not Detachable shows none.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/bars/dxBar.h"
#include "components/bars/tests/BarManagerFixture.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

struct TDetachLog {
  std::vector<std::string> Events;
  void Detaching(TObject*) { Events.push_back("detaching"); }
};

class BarDetachCaptionTest : public BarFormTest {
 protected:
  BarDetachCaptionTest() : BarFormTest({100, 100, 420, 300}) {}

  void SetUp() override {
    BarFormTest::SetUp();
    Manager->SetStyle(bmsFlat);
    Manager->BeginUpdate();
    Main = Manager->AddToolbar(false);
    Main->SetCaption("Main");
    File = new TdxBarSubItem(Form.get());
    File->SetParentComponent(Manager);
    File->SetCaption("File");
    File->GetItemLinks()->AddItem(NewTestButton(Manager, Form.get(), "Open"));
    File->GetItemLinks()->AddItem(NewTestButton(Manager, Form.get(), "Save"));
    Main->GetLinks()->AddItem(File);
    Main->SetDockingStyle(dsTop);
    Main->SetVisible(true);
    FileBar = Manager->AddToolbar(false);
    FileBar->SetCaption("File bar");
    FileBar->GetLinks()->AddItem(NewTestButton(Manager, Form.get(), "Open"));
    FileBar->SetVisible(false);
    File->SetDetachable(true);
    File->SetDetachingBar(FileBar->GetIndex());
    File->SetOnDetaching(TNotifyEvent(&Log, &TDetachLog::Detaching));
    Manager->EndUpdate();
    Show();
    Run();
  }

  TdxBarSubMenuControl* Open() {
    auto* control = dynamic_cast<TdxBarSubItemControl*>(Main->GetLinks()->GetItem(0)->GetControl());
    if (!control) return nullptr;
    const TRect r = Main->GetLinks()->GetItem(0)->GetItemRect();
    POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    ClientToScreen(Main->GetControl()->GetHandle(), &p);
    orv::headless::Click(p.X, p.Y);
    Run();
    return control->GetSubMenuControl();
  }
  // The middle of the caption on the screen.
  static POINT CaptionCentre(TdxBarSubMenuControl* menu) {
    const TRect r = menu->GetDetachCaptionRect();
    POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    ClientToScreen(menu->GetHandle(), &p);
    return p;
  }

  TdxBar* Main = nullptr;
  TdxBar* FileBar = nullptr;
  TdxBarSubItem* File = nullptr;
  TDetachLog Log;
};

}  // namespace

TEST_F(BarDetachCaptionTest, TheCaptionStandsAboveTheItemsAndIsDrawnHotUnderTheMouse) {
  TdxBarSubMenuControl* menu = Open();
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(menu->IsDetachCaptionVisible());
  const TRect caption = menu->GetDetachCaptionRect();
  EXPECT_GT(caption.Width(), 0);
  EXPECT_LE(caption.Bottom, 0) << "in the frame above the client area";
  // The frame's top holds the caption: borders plus the painter's caption height.
  RECT window{};
  GetWindowRect(menu->GetHandle(), &window);
  POINT origin{0, 0};
  ClientToScreen(menu->GetHandle(), &origin);
  TRect borders;
  menu->GetBorderSizes(false, borders);
  EXPECT_EQ(origin.Y - window.Top, borders.Top + menu->GetPainter()->GetDetachCaptionHeight(menu));

  EXPECT_FALSE(menu->IsDetachCaptionSelected());
  const POINT centre = CaptionCentre(menu);
  orv::headless::MouseMove(centre.X, centre.Y);
  Run();
  EXPECT_TRUE(menu->IsDetachCaptionSelected());
  EXPECT_TRUE(MatchBarGolden(orv::headless::CaptureWindow(menu->GetHandle()), "menu-detach-caption-flat.png"));
  const TRect item = menu->GetViewInfoControl(0)->GetItemRect();
  POINT over{(item.Left + item.Right) / 2, (item.Top + item.Bottom) / 2};
  ClientToScreen(menu->GetHandle(), &over);
  orv::headless::MouseMove(over.X, over.Y);
  Run();
  EXPECT_FALSE(menu->IsDetachCaptionSelected());

  // Without Detachable the menu has no caption.
  orv::headless::PressKey(VK_ESCAPE);
  Run();
  orv::headless::PressKey(VK_ESCAPE);
  Run();
  File->SetDetachable(false);
  orv::headless::AdvanceTime(1000);
  menu = Open();
  ASSERT_NE(menu, nullptr);
  EXPECT_FALSE(menu->IsDetachCaptionVisible());
  EXPECT_TRUE(menu->GetDetachCaptionRect().Width() <= 0);
}

TEST_F(BarDetachCaptionTest, DraggingTheCaptionOutMakesTheDetachingBarFloatAtThePointer) {
  TdxBarSubMenuControl* menu = Open();
  ASSERT_NE(menu, nullptr);
  const POINT centre = CaptionCentre(menu);
  orv::headless::MouseMove(centre.X, centre.Y);
  Run();
  ASSERT_TRUE(menu->IsDetachCaptionSelected());
  // Pressed, dragged far off (the moves queued meanwhile come as one), and released.
  orv::headless::MouseDown();
  orv::headless::MouseMove(centre.X + 60, centre.Y + 130);
  orv::headless::MouseUp();
  Run();
  EXPECT_EQ(Log.Events, (std::vector<std::string>{"detaching"}));
  auto* control = dynamic_cast<TdxBarSubItemControl*>(Main->GetLinks()->GetItem(0)->GetControl());
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(control->GetSubMenuControl(), nullptr) << "the menu closed";
  EXPECT_TRUE(FileBar->GetVisible());
  EXPECT_EQ(FileBar->GetDockingStyle(), dsNone);
  ASSERT_NE(FileBar->GetControl(), nullptr);
  RECT floating{};
  GetWindowRect(FileBar->GetControl()->GetHandle(), &floating);
  // Placed 100 pixels left of the pointer, its caption under it.
  EXPECT_EQ(floating.Left, centre.X + 60 - 100);
  EXPECT_LE(floating.Top, centre.Y + 130);
  EXPECT_GT(floating.Bottom, centre.Y + 130);
  EXPECT_EQ(FileBar->GetFloatLeft(), floating.Left) << "its place is stored";
  EXPECT_EQ(FileBar->GetFloatTop(), floating.Top);
  EXPECT_EQ(GetCapture(), nullptr);
}
