// Popup windows on the headless window system: placement against the owner rectangle (flips and
// the work area), the frame and the room it takes, fitting the children, activation; the editors'
// drop-down window with the list of open popups, its own message loop, focus target, closing
// paths and events.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "components/foundation/cxControls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

using orv::test::Owned;

// A windowed control that may take the focus.
class TBox : public TCustomControl {
  ORV_CLASS(TBox, TCustomControl)
 public:
  explicit TBox(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }
  int Downs = 0;

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override {
    ++Downs;
    inherited::MouseDown(button, shift, x, y);
  }
};

TRect WorkArea() { return GetWorkAreaAtPoint(TPoint{0, 0}); }

class PopupTest : public orv::test::HeadlessFormTest {
 protected:
  PopupTest() : HeadlessFormTest({100, 100, 300, 200}) {}
  void SetUp() override {
    HeadlessFormTest::SetUp();
    Owner = new TBox(Form.get());
    Owner->SetParent(Form.get());
    Owner->SetBounds(20, 30, 100, 20);  // screen (120, 130) - (220, 150)
  }
  void TearDown() override {
    orv::headless::SetIdleHandler(nullptr);
    HeadlessFormTest::TearDown();
  }
  void ShowForm() {
    Form->Show();
    Application->ProcessMessages();
  }

  TBox* Owner = nullptr;
};

// ---- Placement ----------------------------------------------------------------------------------

struct TPlacementCase {
  const char* Name;
  TcxPopupDirection Direction;
  TcxPopupAlignHorz Horz;
  TcxPopupAlignVert Vert;
  TRect Owner;  // relative to the work area's top-left; a negative right or bottom counts from its far edge
  TSize Size;
  TPoint Expected;  // likewise
};

TRect FromArea(const TRect& area, const TRect& r) {
  auto x = [&](Integer v) { return v < 0 ? area.Right + v : area.Left + v; };
  auto y = [&](Integer v) { return v < 0 ? area.Bottom + v : area.Top + v; };
  return {x(r.Left), y(r.Top), x(r.Right), y(r.Bottom)};
}

TEST_F(PopupTest, PlacesBesideTheOwnerFlipsAndStaysInTheWorkArea) {
  const TPlacementCase cases[] = {
      {"below, left edges", pdVertical, pahLeft, pavBottom, {100, 100, 200, 120}, {150, 80}, {100, 120}},
      {"below, right edges", pdVertical, pahRight, pavBottom, {100, 100, 200, 120}, {150, 80}, {50, 120}},
      {"above, centred", pdVertical, pahCenter, pavTop, {100, 100, 200, 120}, {150, 80}, {75, 20}},
      {"right of, top edges", pdHorizontal, pahRight, pavTop, {100, 100, 200, 120}, {150, 80}, {200, 100}},
      {"left of, bottom edges", pdHorizontal, pahLeft, pavBottom, {300, 100, 400, 120}, {150, 80}, {150, 40}},
      // No room to the left: opens to the right instead.
      {"left of, flipped", pdHorizontal, pahLeft, pavTop, {100, 100, 200, 120}, {150, 80}, {200, 100}},
      // No room to the right: opens to the left.
      {"right of, flipped", pdHorizontal, pahRight, pavTop, {-124, 100, -24, 120}, {150, 80}, {-274, 100}},
      // Near the bottom with more room above: opens above.
      {"below, flipped above", pdVertical, pahLeft, pavBottom, {100, -30, 200, -10}, {150, 80}, {100, -110}},
      // Above with no room there and less room above than below: opens below.
      {"above, flipped below", pdVertical, pahLeft, pavTop, {100, 10, 200, 30}, {150, 80}, {100, 30}},
      // Taller than the room below, but less room above: stays below, moved up into the area.
      {"below, moved up", pdVertical, pahLeft, pavBottom, {100, 300, 200, 320}, {150, 500}, {100, -500}},
      // Wider than the work area: at its left edge.
      {"centred, too wide", pdVertical, pahCenter, pavBottom, {100, 100, 200, 120}, {4000, 80}, {0, 120}},
      // Past the right edge across the direction: moved left.
      {"below, past the right", pdVertical, pahLeft, pavBottom, {-60, 100, -10, 120}, {150, 80}, {-150, 120}},
  };
  const TRect area = WorkArea();
  for (const TPlacementCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Owned<TcxPopupWindow> popup(new TcxPopupWindow);
    popup->SetDirection(c.Direction);
    popup->SetAlignHorz(c.Horz);
    popup->SetAlignVert(c.Vert);
    popup->SetOwnerBounds(FromArea(area, c.Owner));
    popup->SetBounds(0, 0, c.Size.cx, c.Size.cy);
    TPoint p;
    popup->CalculatePosition(p);
    const TRect expected = FromArea(area, TRect{c.Expected.X, c.Expected.Y, c.Expected.X, c.Expected.Y});
    EXPECT_EQ(p.X, expected.Left);
    EXPECT_EQ(p.Y, expected.Top);
    // The stored alignments stay as they were.
    EXPECT_EQ(popup->GetAlignHorz(), c.Horz);
    EXPECT_EQ(popup->GetAlignVert(), c.Vert);
  }
}

TEST_F(PopupTest, OwnerBoundsAreInTheOwnerParentsClientCoordinates) {
  ShowForm();
  Owned<TcxPopupWindow> popup(new TcxPopupWindow);
  popup->SetOwnerParent(Form.get());
  popup->SetOwnerBounds(Owner->GetBoundsRect());
  EXPECT_EQ(popup->GetOwnerScreenBounds(), (TRect{120, 130, 220, 150}));
  popup->SetBounds(0, 0, 60, 40);
  TPoint p;
  popup->CalculatePosition(p);
  EXPECT_EQ(p, (TPoint{120, 150}));
  // A freed owner parent is forgotten.
  Form.reset();
  EXPECT_EQ(popup->GetOwnerParent(), nullptr);
}

// ---- Frame and size -----------------------------------------------------------------------------

TEST_F(PopupTest, FrameAndBorderSpaceMakeTheNonClientSize) {
  struct {
    TcxPopupBorderStyle Style;
    Integer Space;
    Integer FrameWidth;
  } const cases[] = {{pbsNone, 0, 0}, {pbsNone, 3, 6}, {pbsSingle, 0, 2}, {pbsRaised, 1, 4}, {pbsDouble, 0, 4},
                     {pbsDouble, 2, 8}};
  for (const auto& c : cases) {
    Owned<TcxPopupWindow> popup(new TcxPopupWindow);
    popup->SetPopupBorderStyle(c.Style);
    popup->SetBorderSpace(c.Space);
    EXPECT_EQ(popup->GetFrameWidth(), c.FrameWidth) << int(c.Style) << " " << c.Space;
    EXPECT_EQ(popup->GetFrameHeight(), c.FrameWidth);
    popup->SetBounds(0, 0, 100, 50);
    const Integer side = c.FrameWidth / 2;
    EXPECT_EQ(popup->GetContentBounds(), (TRect{side, side, 100 - side, 50 - side}));
  }
}

TEST_F(PopupTest, SizeFitsTheChildrenInsideTheFrameOnEveryShowing) {
  Owned<TcxPopupWindow> popup(new TcxPopupWindow);
  auto* a = new TBox(popup.get());
  a->SetParent(popup.get());
  a->SetBounds(0, 0, 50, 20);
  auto* b = new TBox(popup.get());
  b->SetParent(popup.get());
  b->SetBounds(10, 30, 40, 20);
  popup->SetPopupBorderStyle(pbsSingle);
  popup->SetBorderSpace(1);
  for (int showing = 0; showing < 3; ++showing) {
    popup->CalculateSize();
    EXPECT_EQ(popup->GetWidth(), 2 + 50 + 2);
    EXPECT_EQ(popup->GetHeight(), 2 + 50 + 2);
    EXPECT_EQ(a->GetBoundsRect(), (TRect{2, 2, 52, 22}));
    EXPECT_EQ(b->GetBoundsRect(), (TRect{12, 32, 52, 52}));
  }
  // A new frame takes the old frame's offset back; the next fitting gives the new one.
  popup->SetPopupBorderStyle(pbsDouble);
  EXPECT_EQ(a->GetBoundsRect(), (TRect{0, 0, 50, 20}));
  popup->CalculateSize();
  EXPECT_EQ(a->GetBoundsRect(), (TRect{3, 3, 53, 23}));
  EXPECT_EQ(popup->GetWidth(), 3 + 50 + 3);
  // Not adjustable: nothing moves.
  popup->SetAdjustable(false);
  popup->SetBorderSpace(5);
  popup->CalculateSize();
  EXPECT_EQ(a->GetBoundsRect(), (TRect{3, 3, 53, 23}));
  EXPECT_EQ(popup->GetWidth(), 56);
}

TEST_F(PopupTest, DrawsItsFrameInTheStylesColours) {
  struct {
    TcxPopupBorderStyle Style;
    COLORREF Outer;        // top-left corner
    COLORREF OuterFar;     // bottom-right corner
    COLORREF Inner;        // one pixel in from the top-left
    COLORREF InnerFar;     // one pixel in from the bottom-right
  } const cases[] = {
      {pbsSingle, 0x0000FF, 0x0000FF, 0xFFFFFF, 0xFFFFFF},
      {pbsRaised, ColorToRGB(clBtnHighlight), ColorToRGB(clBtnShadow), 0xFFFFFF, 0xFFFFFF},
      {pbsDouble, ColorToRGB(cl3DLight), ColorToRGB(cl3DDkShadow), ColorToRGB(clBtnHighlight),
       ColorToRGB(clBtnShadow)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.Style));
    Owned<TcxPopupWindow> popup(new TcxPopupWindow);
    popup->SetColor(clWhite);
    popup->SetFrameColor(TColor(0x0000FF));
    popup->SetPopupBorderStyle(c.Style);
    popup->SetOwnerBounds({100, 100, 200, 120});
    popup->SetBounds(0, 0, 40, 30);
    popup->ShowPopup();
    Application->ProcessMessages();
    const orv::TSurface s = orv::headless::CaptureWindow(popup->GetHandle());
    auto at = [&](int x, int y) { return orv::PixelToColor(s.Pixel(x, y)); };
    EXPECT_EQ(at(0, 0), c.Outer);
    EXPECT_EQ(at(39, 29), c.OuterFar);
    EXPECT_EQ(at(1, 1), c.Inner);
    EXPECT_EQ(at(38, 28), c.InnerFar);
    EXPECT_EQ(at(20, 15), 0xFFFFFFu);
  }
}

TEST_F(PopupTest, ShowPopupPlacesAndShowsCloseUpHides) {
  ShowForm();
  Owned<TcxPopupWindow> popup(new TcxPopupWindow);
  popup->SetOwnerParent(Form.get());
  popup->SetOwnerBounds(Owner->GetBoundsRect());
  popup->SetBounds(0, 0, 80, 50);
  popup->ShowPopup();
  Application->ProcessMessages();
  ASSERT_TRUE(IsWindowVisible(popup->GetHandle()));
  EXPECT_EQ(popup->GetBoundsRect(), (TRect{120, 150, 200, 200}));
  EXPECT_TRUE(GetWindowLong(popup->GetHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_FALSE(GetWindowLong(popup->GetHandle(), GWL_STYLE) & WS_CAPTION);
  // The form that lost the activation is remembered.
  EXPECT_EQ(popup->GetPrevActiveWindow(), Form->GetHandle());
  popup->CloseUp();
  Application->ProcessMessages();
  EXPECT_FALSE(IsWindowVisible(popup->GetHandle()));
}

TEST_F(PopupTest, ClosesWhenAnotherFormTakesTheActivation) {
  ShowForm();
  Owned<TcxPopupWindow> popup(new TcxPopupWindow);
  popup->SetOwnerBounds({120, 130, 220, 150});
  popup->SetBounds(0, 0, 80, 50);
  popup->ShowPopup();
  Application->ProcessMessages();
  ASSERT_TRUE(popup->GetVisible());
  Form->SetFocus();
  Application->ProcessMessages();
  EXPECT_FALSE(popup->GetVisible());
}

TEST_F(PopupTest, ClosesWhenTheProgramLosesTheActivation) {
  ShowForm();
  Owned<TcxPopupWindow> popup(new TcxPopupWindow);
  popup->SetOwnerBounds({120, 130, 220, 150});
  popup->SetBounds(0, 0, 80, 50);
  popup->ShowPopup();
  Application->ProcessMessages();
  ASSERT_TRUE(popup->GetVisible());
  orv::headless::SetAppActive(false);
  Application->ProcessMessages();
  EXPECT_FALSE(popup->GetVisible());
}

// ---- The editors' drop-down window --------------------------------------------------------------

class TTestPopupWindow : public TcxCustomPopupWindow {
  ORV_CLASS(TTestPopupWindow, TcxCustomPopupWindow)
 public:
  explicit TTestPopupWindow(TControl* owner) : TcxCustomPopupWindow(owner) {
    SetOnShowing(TNotifyEvent(this, &TTestPopupWindow::Showing));
    SetOnShown(TNotifyEvent(this, &TTestPopupWindow::Shown));
    SetOnClosing(TNotifyEvent(this, &TTestPopupWindow::Closing));
    SetOnClosed(TNotifyEvent(this, &TTestPopupWindow::Closed));
  }
  Boolean MustFitWorkArea() override { return FitArea; }
  Boolean ConsumesOutsideClick(HWND, UINT, const TPoint&, TShiftState) override { return Consumes; }
  std::vector<std::string> Log;
  Boolean FitArea = false;
  Boolean Consumes = false;

 private:
  void Showing(TObject*) { Log.push_back("showing " + std::to_string(GetOpenPopupCount())); }
  void Shown(TObject*) { Log.push_back(std::string("shown ") + (IsWindowVisible(GetHandle()) ? "visible" : "hidden")); }
  void Closing(TObject*) { Log.push_back("closing " + std::to_string(GetOpenPopupCount())); }
  void Closed(TObject*) { Log.push_back(std::string("closed ") + (IsWindowVisible(GetHandle()) ? "visible" : "hidden")); }
};

class CustomPopupTest : public PopupTest {
 protected:
  void SetUp() override {
    PopupTest::SetUp();
    Popup.reset(new TTestPopupWindow(Owner));
    Popup->SetOwnerParent(Form.get());
    Popup->SetOwnerBounds(Owner->GetBoundsRect());
    Popup->SetBounds(0, 0, 80, 60);
    Popup->SetAdjustable(false);
  }
  void TearDown() override {
    Popup.reset();
    PopupTest::TearDown();
  }
  Owned<TTestPopupWindow> Popup;
};

TEST_F(CustomPopupTest, OpensIntoTheListAndClosesOutOfIt) {
  ShowForm();
  Popup->SetOwnLoop(false);
  Popup->Popup(nullptr);
  EXPECT_TRUE(Popup->IsVisible());
  EXPECT_TRUE(IsInOpenPopupList(Popup.get()));
  ASSERT_EQ(GetOpenPopupCount(), 1);
  EXPECT_EQ(GetOpenPopup(0), Popup.get());
  EXPECT_TRUE(IsWindowVisible(Popup->GetHandle()));
  EXPECT_EQ(Popup->GetBoundsRect(), (TRect{120, 150, 200, 210}));
  // Without a control the popup itself takes the focus.
  EXPECT_EQ(Popup->GetFocusedControl(), Popup.get());
  EXPECT_TRUE(Popup->Focused());
  // Opening an open popup does nothing.
  Popup->Popup(nullptr);
  EXPECT_EQ(GetOpenPopupCount(), 1);
  Popup->CloseUp();
  EXPECT_FALSE(Popup->IsVisible());
  EXPECT_EQ(GetOpenPopupCount(), 0);
  EXPECT_FALSE(IsWindowVisible(Popup->GetHandle()));
  Popup->CloseUp();
  EXPECT_EQ(Popup->Log, (std::vector<std::string>{"showing 1", "shown visible", "closing 0", "closed hidden"}));
}

TEST_F(CustomPopupTest, NothingOpensOverAHiddenOwner) {
  ShowForm();
  Owner->Hide();
  Application->ProcessMessages();
  Popup->Popup(nullptr);
  EXPECT_FALSE(Popup->IsVisible());
  EXPECT_TRUE(Popup->Log.empty());
}

TEST_F(CustomPopupTest, OwnLoopRunsUntilTheModalResultClosesIt) {
  ShowForm();
  int idles = 0;
  orv::headless::SetIdleHandler([&] {
    ++idles;
    EXPECT_TRUE(Popup->IsVisible());
    Popup->SetModalResult(mrOk);
    return true;
  });
  Popup->Popup(nullptr);  // returns once closed
  EXPECT_EQ(idles, 1);
  EXPECT_FALSE(Popup->IsVisible());
  EXPECT_EQ(Popup->Log.back(), "closed hidden");
}

TEST_F(CustomPopupTest, OwnLoopEndsWhenThePopupIsFreed) {
  ShowForm();
  TTestPopupWindow* popup = Popup.release();
  orv::headless::SetIdleHandler([&] {
    popup->Free();
    return true;
  });
  popup->Popup(nullptr);
  EXPECT_EQ(GetOpenPopupCount(), 0);
}

TEST_F(CustomPopupTest, FocusGoesToAGivenTabStopOrTheFirstOne) {
  ShowForm();
  Popup->SetOwnLoop(false);
  auto* first = new TBox(Popup.get());
  first->SetParent(Popup.get());
  first->SetBounds(0, 0, 20, 20);
  auto* second = new TBox(Popup.get());
  second->SetParent(Popup.get());
  second->SetBounds(0, 20, 20, 20);
  Popup->Popup(second);
  EXPECT_EQ(Popup->GetFocusedControl(), second);
  EXPECT_EQ(GetFocus(), second->GetHandle());
  Popup->CloseUp();
  // A control that is no tab stop gives the focus to the first one in tab order.
  second->SetTabStop(false);
  Popup->Popup(second);
  EXPECT_EQ(Popup->GetFocusedControl(), first);
  Popup->CloseUp();
  // Without capturing the focus the given control is the target as it is.
  Popup->SetCaptureFocus(false);
  Popup->Popup(Owner);
  EXPECT_EQ(Popup->GetFocusedControl(), Owner);
  EXPECT_EQ(GetFocus(), Owner->GetHandle());
  Popup->CloseUp();
}

TEST_F(CustomPopupTest, ChangingTheWindowKindReopensAnOpenPopup) {
  ShowForm();
  Popup->SetOwnLoop(false);
  auto* box = new TBox(Popup.get());
  box->SetParent(Popup.get());
  box->SetBounds(0, 0, 20, 20);
  Popup->Popup(box);
  const HWND before = Popup->GetHandle();
  Popup->Log.clear();
  Popup->SetTopmostWithParent(true);
  EXPECT_TRUE(Popup->IsVisible());
  EXPECT_NE(Popup->GetHandle(), before);  // made again
  EXPECT_EQ(Popup->GetFocusedControl(), box);
  EXPECT_EQ(Popup->Log,
            (std::vector<std::string>{"closing 0", "closed hidden", "showing 1", "shown visible"}));
  Popup->SetTopmostWithParent(true);  // no change: nothing happens
  EXPECT_EQ(Popup->Log.size(), 4u);
  Popup->CloseUp();
}

TEST_F(CustomPopupTest, NonCapturingPopupNeverTakesTheActivation) {
  ShowForm();
  Owner->SetFocus();
  Popup->SetCaptureFocus(false);
  Popup->Popup(Owner);
  Application->ProcessMessages();
  EXPECT_TRUE(IsWindowVisible(Popup->GetHandle()));
  EXPECT_EQ(GetActiveWindow(), Form->GetHandle());
  EXPECT_EQ(GetFocus(), Owner->GetHandle());
  EXPECT_TRUE(GetWindowLong(Popup->GetHandle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(GetWindowLong(Popup->GetHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  Popup->CloseUp();
}

TEST_F(CustomPopupTest, PostCloseUpClosesLaterAndGivesTheOwnerItsFocusBack) {
  ShowForm();
  Popup->SetOwnLoop(false);
  Popup->Popup(nullptr);
  Popup->PostCloseUp();
  EXPECT_TRUE(Popup->IsVisible());
  Application->ProcessMessages();
  EXPECT_FALSE(Popup->IsVisible());
}

TEST_F(CustomPopupTest, EscapeWithTheCaptureOnlyReleasesIt) {
  ShowForm();
  Popup->SetOwnLoop(false);
  Popup->Popup(nullptr);
  SetCapture(Popup->GetHandle());
  orv::headless::PressKey(VK_ESCAPE);
  Application->ProcessMessages();
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(Popup->IsVisible());
  Popup->CloseUp();
}

TEST_F(CustomPopupTest, ClosingReleasesACaptureHeldInside) {
  ShowForm();
  Popup->SetOwnLoop(false);
  Popup->Popup(nullptr);
  SetCapture(Popup->GetHandle());
  Popup->CloseUp();
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(CustomPopupTest, LosingTheActivationClosesUnlessLocked) {
  ShowForm();
  Popup->SetOwnLoop(false);
  Popup->Popup(nullptr);
  Popup->LockClosing(true);
  Form->SetFocus();
  Application->ProcessMessages();
  EXPECT_TRUE(Popup->IsVisible());
  Popup->LockClosing(false);
  Popup->SetFocus();
  Form->SetFocus();
  Application->ProcessMessages();
  EXPECT_FALSE(Popup->IsVisible());
}

TEST_F(CustomPopupTest, TheListRefusesDoubleEntriesAndForgetsFreedPopups) {
  ShowForm();
  Popup->SetOwnLoop(false);
  Popup->Popup(nullptr);
  EXPECT_THROW(AddToOpenPopupList(Popup.get()), EAssertionFailed);
  Popup.reset();
  EXPECT_EQ(GetOpenPopupCount(), 0);
  Owned<TTestPopupWindow> other(new TTestPopupWindow(Owner));
  EXPECT_THROW(RemoveFromOpenPopupList(other.get()), EAssertionFailed);
}

TEST_F(CustomPopupTest, FitsIntoTheWorkAreaWhenAsked) {
  const TRect area = WorkArea();
  Popup->FitArea = true;
  Popup->SetBounds(0, 0, 200, 300);
  TPoint p{area.Right - 150, area.Bottom - 100};
  Popup->FitToWorkArea(p);
  EXPECT_EQ(p, (TPoint{area.Right - 150, area.Bottom - 100}));
  EXPECT_EQ(Popup->GetWidth(), 150);
  EXPECT_EQ(Popup->GetHeight(), 100);
  // Left of and above the area: moved onto its edges, shrunk by the overhang.
  Popup->SetBounds(0, 0, 200, 300);
  p = {area.Left - 20, area.Top - 30};
  Popup->FitToWorkArea(p);
  EXPECT_EQ(p, (TPoint{area.Left, area.Top}));
  EXPECT_EQ(Popup->GetWidth(), 180);
  EXPECT_EQ(Popup->GetHeight(), 270);
  // Without MustFitWorkArea nothing changes.
  Popup->FitArea = false;
  p = {area.Right - 10, area.Bottom - 10};
  Popup->FitToWorkArea(p);
  EXPECT_EQ(Popup->GetWidth(), 180);
}

TEST_F(CustomPopupTest, SysKeysAllowedAreTheNavigationKeysAndF4) {
  for (Word key = 0; key < 256; ++key) {
    const bool expected = (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_F4;
    EXPECT_EQ(Popup->AllowsSysKey(key), expected) << key;
  }
}

TEST_F(CustomPopupTest, StyleAndViewInfoComeFromTheClassesOfTheDescendant) {
  ASSERT_NE(Popup->GetStyle(), nullptr);
  EXPECT_EQ(Popup->GetStyle(), Popup->GetStyle());
  ASSERT_NE(Popup->GetViewInfo(), nullptr);
}

// ---- Popup hooks --------------------------------------------------------------------------------

class PopupHookTest : public CustomPopupTest {
 protected:
  void SetUp() override {
    CustomPopupTest::SetUp();
    Other = new TBox(Form.get());
    Other->SetParent(Form.get());
    Other->SetBounds(150, 120, 100, 50);  // screen (250, 220) - (350, 270)
    ShowForm();
    Popup->SetOwnLoop(false);
  }
  static void ClickAt(int x, int y) {
    orv::headless::AdvanceTime(1000);
    orv::headless::Click(x, y);
    Application->ProcessMessages();
  }
  // A non-capturing popup below the other box.
  Owned<TTestPopupWindow> OtherPopup() {
    Owned<TTestPopupWindow> popup(new TTestPopupWindow(Other));
    popup->SetOwnLoop(false);
    popup->SetCaptureFocus(false);
    popup->SetOwnerBounds({250, 220, 350, 270});
    popup->SetBounds(0, 0, 40, 40);
    return popup;
  }
  TBox* Other = nullptr;
};

TEST_F(PopupHookTest, HooksLiveWhilePopupsAreOpen) {
  EXPECT_FALSE(ArePopupHooksInstalled());
  Popup->Popup(nullptr);
  EXPECT_TRUE(ArePopupHooksInstalled());
  Popup->CloseUp();
  EXPECT_FALSE(ArePopupHooksInstalled());
}

TEST_F(PopupHookTest, AClickOutsideClosesThePopupAndGoesOn) {
  for (const Boolean captureFocus : {true, false}) {
    SCOPED_TRACE(captureFocus);
    Popup->SetCaptureFocus(captureFocus);
    Popup->Popup(captureFocus ? nullptr : Owner);
    ASSERT_TRUE(Popup->IsVisible());
    const int downs = Other->Downs;
    ClickAt(300, 250);
    EXPECT_FALSE(Popup->IsVisible());
    EXPECT_EQ(Other->Downs, downs + 1);
  }
}

TEST_F(PopupHookTest, AClickInsideThePopupLeavesItOpen) {
  Popup->Popup(nullptr);
  ClickAt(150, 180);  // the popup lies at (120, 150) - (200, 210)
  EXPECT_TRUE(Popup->IsVisible());
  Popup->CloseUp();
}

TEST_F(PopupHookTest, APopupThatConsumesOutsideClicksEatsTheClick) {
  Popup->Consumes = true;
  Popup->Popup(nullptr);
  ClickAt(300, 250);
  EXPECT_FALSE(Popup->IsVisible());
  EXPECT_EQ(Other->Downs, 0);
  EXPECT_FALSE(Popup->GetClosedByOwnerClick());
}

TEST_F(PopupHookTest, AClickOnTheOwnerAreaClosesAndReachesTheOwner) {
  for (const Boolean consumes : {false, true}) {
    SCOPED_TRACE(consumes);
    Popup->Consumes = consumes;
    Popup->SetClosedByOwnerClick(false);
    Popup->Popup(nullptr);
    const int downs = Owner->Downs;
    ClickAt(170, 140);  // the owner lies at (120, 130) - (220, 150)
    EXPECT_FALSE(Popup->IsVisible());
    EXPECT_EQ(Owner->Downs, downs + 1);
    EXPECT_EQ(Popup->GetClosedByOwnerClick(), consumes);
  }
}

TEST_F(PopupHookTest, HidingTheOwnerClosesItsPopupAndTheLaterOnes) {
  Owned<TTestPopupWindow> second = OtherPopup();
  Owned<TTestPopupWindow> unrelated = OtherPopup();
  unrelated->Popup(Other);
  Popup->SetCaptureFocus(false);
  Popup->Popup(Owner);
  second->Popup(Other);
  ASSERT_EQ(GetOpenPopupCount(), 3);
  ShowWindow(Owner->GetHandle(), SW_HIDE);
  Application->ProcessMessages();
  EXPECT_FALSE(Popup->IsVisible());
  EXPECT_FALSE(second->IsVisible());
  EXPECT_TRUE(unrelated->IsVisible());
  // The last one first.
  EXPECT_EQ(second->Log.back(), "closed hidden");
  unrelated->CloseUp();
}

TEST_F(PopupHookTest, ClosingAFocusCapturingPopupClosesTheOwnersWindowToo) {
  Popup->Popup(nullptr);
  SendMessage(Popup->GetHandle(), WM_CLOSE, 0, 0);
  Application->ProcessMessages();
  EXPECT_FALSE(Popup->IsVisible());
  EXPECT_FALSE(Form->GetVisible());
}

TEST_F(PopupHookTest, DeactivatingTheProgramKeepsOnlyAnActiveCapturingPopup) {
  Popup->Popup(nullptr);
  ASSERT_TRUE(Popup->GetActive());
  orv::headless::SetAppActive(false);
  Application->ProcessMessages();
  EXPECT_TRUE(Popup->IsVisible());
  Popup->CloseUp();
  orv::headless::SetAppActive(true);
  Application->ProcessMessages();
  Popup->SetCaptureFocus(false);
  Popup->Popup(Owner);
  orv::headless::SetAppActive(false);
  Application->ProcessMessages();
  EXPECT_FALSE(Popup->IsVisible());
}

// Counts the non-client deactivations that reach the form's own procedure.
LRESULT CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
WNDPROC gFormProc = nullptr;
int gNCDeactivations = 0;
LRESULT CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCACTIVATE && !wParam) ++gNCDeactivations;
  return CallWindowProc(gFormProc, window, message, wParam, lParam);
}

TEST_F(PopupHookTest, TheOwnerFormKeepsItsActiveCaptionOncePerDeactivation) {
  Owned<TTestPopupWindow> second = OtherPopup();
  Popup->SetCaptureFocus(false);
  Popup->Popup(Owner);
  second->Popup(Other);
  const HWND form = Form->GetHandle();
  gFormProc = reinterpret_cast<WNDPROC>(GetWindowLongPtr(form, GWLP_WNDPROC));
  SetWindowLongPtr(form, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingProc));
  gNCDeactivations = 0;
  EXPECT_EQ(SendMessage(form, WM_NCACTIVATE, 0, 0), 1);
  EXPECT_EQ(gNCDeactivations, 0);
  // The procedure is back: the next one arrives while the popups are gone.
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtr(form, GWLP_WNDPROC)), &CountingProc);
  second->CloseUp();
  Popup->CloseUp();
  SendMessage(form, WM_NCACTIVATE, 0, 0);
  EXPECT_EQ(gNCDeactivations, 1);
  SetWindowLongPtr(form, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gFormProc));
}

TEST_F(PopupHookTest, SystemKeysReachOnlyPopupsThatAllowThem) {
  Popup->SetCaptureFocus(false);
  Popup->Popup(Owner);
  std::vector<WPARAM> seen;
  // What a window of the program gets after the hooks ran.
  auto drain = [&] {
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_SYSKEYDOWN && msg.wParam != VK_MENU) seen.push_back(msg.wParam);
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  };
  orv::headless::PressKey(VK_DOWN, false, false, true);
  drain();
  orv::headless::PressKey('X', false, false, true);
  drain();
  orv::headless::PressKey(VK_F4, false, false, true);
  drain();
  EXPECT_EQ(seen, (std::vector<WPARAM>{VK_DOWN, VK_F4}));
  Popup->CloseUp();
}

}  // namespace
