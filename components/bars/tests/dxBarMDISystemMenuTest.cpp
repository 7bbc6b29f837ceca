// The system-menu item of a maximized MDI child on a platform without MDI or system menus: the
// manager adds no item for a window, and an item placed by code is a small-icon-sized patch of
// the bar's background that lists nothing, runs an entry's command on its child and only closes
// its bar window on a double click.

#include <gtest/gtest.h>

#include <vector>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarMDISystemMenu.h"
#include "components/bars/tests/BarManagerFixture.h"
#include "components/foundation/cxGeometry.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Surface.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/User.h"

namespace {

// A child window that keeps the system commands it is sent.
class TSysCommandTarget : public TCustomControl {
  ORV_CLASS(TSysCommandTarget, TCustomControl)
 public:
  explicit TSysCommandTarget(TComponent* owner) : TCustomControl(owner) {}
  std::vector<WPARAM> Commands;

 protected:
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_SYSCOMMAND) {
      Commands.push_back(message.WParam);
      message.Result = 0;
      return;
    }
    inherited::WndProc(message);
  }
};

class MDISystemMenuTest : public orv::test::HeadlessFormTest {
 protected:
  MDISystemMenuTest() : HeadlessFormTest({100, 100, 360, 220}) {}

  void SetUp() override {
    HeadlessFormTest::SetUp();
    Manager = NewTestBarManager(Form.get());
    Manager->SetStyle(bmsOffice11);
    Manager->BeginUpdate();
    MainMenu = Manager->AddToolbar(true);
    auto* program = new TdxBarSubItem(Form.get());
    program->SetParentComponent(Manager);
    program->SetCaption("Program");
    MainMenu->GetLinks()->AddItem(program);
    MainMenu->SetVisible(true);
    Manager->EndUpdate();
    Child = new TSysCommandTarget(Form.get());
    Child->SetParent(Form.get());
    Child->SetBounds(0, 100, 40, 40);
  }
  void TearDown() override {
    Form.reset();
    ResetBarServices();
    HeadlessFormTest::TearDown();
  }

  // An item placed first on the main menu by hand, as the manager would for a maximized child.
  TSystemMenuSubItem* PlaceItem() {
    auto* item = new TSystemMenuSubItem(Form.get());
    item->SetParentComponent(Manager);
    item->SetWindow(Child->GetHandle());
    MainMenu->GetLinks()->AddItem(item)->SetIndex(0);
    return item;
  }

  TdxBarManager* Manager = nullptr;
  TdxBar* MainMenu = nullptr;
  TSysCommandTarget* Child = nullptr;
};

}  // namespace

TEST_F(MDISystemMenuTest, NoWindowHasASystemMenuSoTheManagerAddsNoItem) {
  Show();
  EXPECT_EQ(AddSystemMenuItem(Manager, Child->GetHandle()), nullptr);
  EXPECT_EQ(AddSystemMenuItem(Manager, Form->GetHandle()), nullptr);
  EXPECT_EQ(MainMenu->GetLinks()->GetCount(), 1);
  EXPECT_EQ(AddSystemMenuItem(nullptr, Child->GetHandle()), nullptr);
}

// As large as a small system icon whatever the glyph size, painted as the bar's background
// (there is no icon to draw), and neither selectable nor dropped down while the bars are
// customized or an item is dragged.
TEST_F(MDISystemMenuTest, TheIconIsASmallIconSizedPatchOfTheBarsBackground) {
  Manager->SetLargeIcons(true);
  TSystemMenuSubItem* item = PlaceItem();
  Show();
  TdxBarItemLink* link = MainMenu->GetLinks()->GetItem(0);
  ASSERT_EQ(link->GetItem(), item);
  auto* control = dynamic_cast<TSystemMenuSubItemControl*>(link->GetControl());
  ASSERT_NE(control, nullptr);
  const TRect r = link->GetItemRect();
  EXPECT_EQ(r.Width(), GetSystemMetrics(SM_CXSMICON));
  EXPECT_EQ(r.Height(), GetSystemMetrics(SM_CYSMICON));
  EXPECT_FALSE(control->IsCustomizable());
  EXPECT_FALSE(control->WantsDoubleClick());
  EXPECT_TRUE(control->CanDoubleClick());

  TCustomdxBarControl* window = MainMenu->GetControl();
  ASSERT_NE(window, nullptr);
  // The control's cell, painted, equals the bar's own background painted in the same place.
  const orv::TSurface shown = orv::headless::CaptureWindow(window->GetHandle());
  const TRect inset{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(GetDC(nullptr), window->GetClientWidth(), window->GetClientHeight());
    HGDIOBJ old = SelectObject(dc, bitmap);
    window->DrawBackground(dc, TRect{0, 0, window->GetClientWidth(), window->GetClientHeight()},
                           window->GetBackgroundBrush(), clNone);
    POINT origin{0, 0};
    ClientToScreen(window->GetHandle(), &origin);
    RECT frame{};
    GetWindowRect(window->GetHandle(), &frame);
    const Integer dx = origin.X - frame.Left, dy = origin.Y - frame.Top;
    for (Integer y = inset.Top; y < inset.Bottom; ++y)
      for (Integer x = inset.Left; x < inset.Right; ++x)
        EXPECT_EQ(orv::PixelToColor(shown.Pixel(x + dx, y + dy)) & 0xFFFFFF, COLORREF(GetPixel(dc, x, y)) & 0xFFFFFF)
            << x << "," << y;
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }

  EXPECT_TRUE(control->AcceptsSelection());
  Manager->SetCustomizingMode(true);
  Run();
  control = dynamic_cast<TSystemMenuSubItemControl*>(MainMenu->GetLinks()->GetItem(0)->GetControl());
  ASSERT_NE(control, nullptr);
  EXPECT_FALSE(control->AcceptsSelection());
}

// Opening lists the child's system menu as it is now: nothing; an entry's click sends the child
// its command; a double click closes the bar window and sends nothing (no default command).
TEST_F(MDISystemMenuTest, OpeningListsNothingAndAnEntrySendsItsCommandToTheChild) {
  TSystemMenuSubItem* item = PlaceItem();
  // Links left from before are dropped by the rebuild.
  auto* stale = new TdxBarButton(Form.get());
  stale->SetParentComponent(Manager);
  item->GetLinks()->AddItem(stale);
  Show();
  auto* control = dynamic_cast<TSystemMenuSubItemControl*>(MainMenu->GetLinks()->GetItem(0)->GetControl());
  ASSERT_NE(control, nullptr);
  const TRect r = MainMenu->GetLinks()->GetItem(0)->GetItemRect();
  POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  ClientToScreen(MainMenu->GetControl()->GetHandle(), &p);
  orv::headless::Click(p.X, p.Y);
  Run();
  EXPECT_EQ(item->GetLinks()->GetCount(), 0);
  EXPECT_EQ(item->GetGeneratedCount(), 0);

  auto* restore = new TdxBarButton(Form.get());
  restore->SetTag(NativeInt(SC_RESTORE));
  item->ExecuteCommand(restore);
  EXPECT_EQ(Child->Commands, (std::vector<WPARAM>{SC_RESTORE}));

  // Escape out of whatever the click left open, then the double click.
  orv::headless::KeyDown(VK_ESCAPE);
  orv::headless::KeyUp(VK_ESCAPE);
  Run();
  control = dynamic_cast<TSystemMenuSubItemControl*>(MainMenu->GetLinks()->GetItem(0)->GetControl());
  ASSERT_NE(control, nullptr);
  MainMenu->GetControl()->ActivateWithItem(control);
  ASSERT_TRUE(MainMenu->GetControl()->IsActive());
  control->DoubleClick();
  Run();
  EXPECT_FALSE(MainMenu->GetControl()->IsActive());
  EXPECT_EQ(Child->Commands.size(), 1u);
}
