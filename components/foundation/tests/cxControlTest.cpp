// The base control on the headless window system: painting through its canvas and look and
// feel, its own scroll bars (showing, hiding, scrolling by line, page, thumb, wheel and held
// arrows on the manual clock), keys and popup menus, font listeners, mouse capture objects,
// the internal drag and drop and the platform drag between controls.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "components/foundation/cxControls.h"
#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxGraphics.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Gdi.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/windowing/Backend.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

using orv::test::Owned;

// A scrollable picture of `Content` pixels: ten-pixel lines, a page of the client bounds.
class TTestControl : public TcxControl {
  ORV_CLASS(TTestControl, TcxControl)
 public:
  explicit TTestControl(TComponent* owner) : TcxControl(owner) {}

  TSize Content{0, 0};
  TPoint Origin;
  Boolean AllowHide = true;
  Boolean InternalDrag = false;
  // Pages from the bars as they stand (as a grid whose layout was computed before the update),
  // instead of from the bars about to show.
  Boolean PagesFromActualBars = false;
  // Each bar needed exactly when the other one is not on screen.
  Boolean Flipping = false;
  orv::Set<TScrollBarKind> PixelKinds;
  int Paints = 0;
  int InitCount = 0;
  int LookAndFeelNotices = 0;
  int AfterMouseDowns = 0;
  std::vector<std::string> Log;
  std::function<void()> OnPaintDone;

  using TcxControl::GetDragImages;
  using TcxControl::Scroll;

 protected:
  Boolean IsPixelScrollBar(TScrollBarKind kind) override { return PixelKinds.Contains(kind); }
  void InitScrollBarsParameters() override {
    ++InitCount;
    if (Flipping) {
      const Boolean h = !GetVScrollBar()->GetVisible();
      const Boolean v = !GetHScrollBar()->GetVisible();
      SetScrollBarParams(sbHorizontal, 0, h ? 199 : 9, 10, 100, 0, true, true);
      SetScrollBarParams(sbVertical, 0, v ? 199 : 9, 10, 100, 0, true, true);
      return;
    }
    TRect client = GetClientBounds();
    if (PagesFromActualBars) {
      client = Rect(0, 0, GetWidth(), GetHeight());
      if (GetHScrollBar()->GetVisible()) client.Bottom -= GetHScrollBar()->GetHeight();
      if (GetVScrollBar()->GetVisible()) client.Right -= GetVScrollBar()->GetWidth();
    }
    SetScrollBarParams(sbHorizontal, 0, Content.cx - 1, 10, client.Width(), Origin.X, true, AllowHide);
    SetScrollBarParams(sbVertical, 0, Content.cy - 1, 10, client.Height(), Origin.Y, true, AllowHide);
  }
  void Scroll(TScrollBarKind kind, TScrollCode code, Integer& position) override {
    const TRect client = GetClientBounds();
    const Boolean h = kind == sbHorizontal;
    Integer& value = h ? Origin.X : Origin.Y;
    const Integer page = h ? client.Width() : client.Height();
    const Integer limit = std::max(0, (h ? Content.cx : Content.cy) - page);
    switch (code) {
      case scLineUp: value -= 10; break;
      case scLineDown: value += 10; break;
      case scPageUp: value -= page; break;
      case scPageDown: value += page; break;
      case scTrack:
      case scPosition: value = position; break;
      default: return;
    }
    value = std::max(0, std::min(value, limit));
    position = value;
    Log.push_back(std::string(h ? "h" : "v") + std::to_string(int(code)) + "=" + std::to_string(value));
    UpdateScrollBars();
    Invalidate();
  }
  void Paint() override {
    inherited::Paint();
    ++Paints;
    TcxCanvas* canvas = GetCanvas();
    const TRect client = GetClientBounds();
    canvas->FillRect(client, clWindow);
    // A 20-pixel grid of the content, moved by the origin.
    canvas->SetBrushColor(TColor(0x00C08040));
    for (Integer x = 20 - Origin.X % 20; x < client.Right; x += 20)
      canvas->FillRect(Rect(client.Left + x, client.Top, client.Left + x + 1, client.Bottom), TColor(0x00C08040));
    canvas->SetBrushClear(true);
    canvas->DrawTextInRect("Ab", Rect(client.Left + 2, client.Top + 2, client.Right, client.Bottom), 0);
    if (OnPaintDone) OnPaintDone();
  }
  void LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) override {
    ++LookAndFeelNotices;
    Invalidate();
  }
  Boolean StartDragAndDrop(const TPoint& p) override { return InternalDrag; }
  void AfterMouseDown(TMouseButton button, Integer x, Integer y) override {
    ++AfterMouseDowns;
    inherited::AfterMouseDown(button, x, y);
  }
  Boolean HasDragImages() override { return true; }
  TSize GetDragImagesSize() override { return {12, 8}; }
  void DrawDragImage(TcxCanvas* canvas, const TRect& rect) override { canvas->FillRect(rect, clRed); }
};

// Records the internal drag and drop.
class TTestDragAndDrop : public TcxDragAndDropObject {
  ORV_CLASS(TTestDragAndDrop, TcxDragAndDropObject)
 public:
  explicit TTestDragAndDrop(TcxControl* control) : TcxDragAndDropObject(control) {}
  static std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
  }
  void BeginDragAndDrop() override {
    Log().push_back("begin");
    inherited::BeginDragAndDrop();
  }
  void DragAndDrop(const TPoint& p, Boolean& accepted) override {
    Log().push_back("drag " + std::to_string(p.X) + "," + std::to_string(p.Y));
    accepted = true;
    inherited::DragAndDrop(p, accepted);
  }
  void EndDragAndDrop(Boolean accepted) override {
    Log().push_back(accepted ? "drop" : "cancel");
    inherited::EndDragAndDrop(accepted);
  }
};

class TCaptureOwner : public TObject, public IcxMouseCaptureOwner {
  ORV_CLASS(TCaptureOwner, TObject)
 public:
  TCaptureOwner() = default;
  void MouseCaptureChanged() override { ++Lost; }
  int Lost = 0;
};

class TFontListener : public TObject, public IcxControlFontListener {
  ORV_CLASS(TFontListener, TObject)
 public:
  TFontListener() = default;
  void ControlFontChanged(TObject* sender, TFont* font) override {
    Senders.push_back(sender);
    Heights.push_back(font->GetHeight());
  }
  std::vector<TObject*> Senders;
  std::vector<Integer> Heights;
};

// Event sinks for the platform drag and for freeing a control from its own handler.
class TSink : public TObject {
  ORV_CLASS(TSink, TObject)
 public:
  TSink() = default;
  void DragOver(TObject* sender, TObject* source, Integer x, Integer y, TDragState state, bool& accept) {
    accept = true;
    Sources.push_back(source);
  }
  void DragDrop(TObject* sender, TObject* source, Integer x, Integer y) {
    Drops.push_back(source);
    DropPoint = Point(x, y);
  }
  void EndDrag(TObject* sender, TObject* target, Integer x, Integer y) { EndTargets.push_back(target); }
  void FreeOnMouseDown(TObject* sender, TMouseButton, TShiftState, Integer, Integer) {
    static_cast<TControl*>(sender)->Free();
  }
  void FreeOnClick(TObject* sender) { static_cast<TControl*>(sender)->Free(); }
  std::vector<TObject*> Sources;
  std::vector<TObject*> Drops;
  std::vector<TObject*> EndTargets;
  TPoint DropPoint;
};

// A popup menu of the library's own kind: records its shortcut questions and pop-ups.
class TTestPopup : public TComponent, public IcxPopupMenuSupport {
  ORV_CLASS(TTestPopup, TComponent)
 public:
  explicit TTestPopup(TComponent* owner) : TComponent(owner) {}
  Boolean IsShortCutKey(TMessage& message) override {
    Keys.push_back(Word(message.WParam));
    return message.WParam == VK_F10;
  }
  void Popup(Integer x, Integer y) override { Points.push_back(Point(x, y)); }
  std::vector<Word> Keys;
  std::vector<TPoint> Points;
};

class ControlTest : public orv::test::HeadlessFormTest {
 protected:
  ControlTest() : HeadlessFormTest({100, 100, 300, 200}) {}
  void SetUp() override {
    HeadlessFormTest::SetUp();
    TTestDragAndDrop::Log().clear();
  }
  void TearDown() override {
    orv::headless::SetIdleHandler(nullptr);
    HeadlessFormTest::TearDown();
  }
  TTestControl* Add(Integer x, Integer y, Integer w, Integer h, TSize content) {
    auto* c = new TTestControl(Form.get());
    c->Content = content;
    c->SetParent(Form.get());
    c->SetBounds(x, y, w, h);
    return c;
  }
  // A client point of a control on the screen.
  static TPoint At(TControl* c, int x, int y) { return c->ClientToScreen(Point(x, y)); }
  static void Move(TControl* c, int x, int y) {
    const TPoint p = At(c, x, y);
    orv::headless::MouseMove(p.X, p.Y);
    Run();
  }
  // A press well after the last one (never a double click).
  static void Press(TControl* c, int x, int y, int button = 0) {
    orv::headless::AdvanceTime(1000);
    Move(c, x, y);
    orv::headless::MouseDown(button);
    Run();
  }
  static void Release(int button = 0) {
    orv::headless::MouseUp(button);
    Run();
  }
};

TEST_F(ControlTest, PaintsThroughItsCanvasAndLookAndFeel) {
  TTestControl* c = Add(10, 10, 120, 80, {400, 300});
  c->GetFont()->SetName(orv::kTestFontFace);
  c->GetFont()->SetHeight(-8);
  c->SetBorderStyle(cxcbsDefault);
  c->GetLookAndFeel()->SetKind(lfStandard);
  Show();
  // The standard painter's 2-pixel border, then the bars inside it, then the content.
  EXPECT_EQ(c->GetBorderSize(), 2);
  EXPECT_EQ(c->GetClientBounds(), Rect(2, 2, 102, 62));
  EXPECT_EQ(c->GetHScrollBar()->GetBoundsRect(), Rect(2, 62, 102, 78));
  EXPECT_EQ(c->GetVScrollBar()->GetBoundsRect(), Rect(102, 2, 118, 62));
  EXPECT_TRUE(c->GetSizeGrip()->GetVisible());
  EXPECT_EQ(c->GetSizeGrip()->GetBoundsRect(), Rect(102, 62, 118, 78));
  const orv::TImageCheck check = orv::MatchGoldenImage(
      orv::headless::CaptureWindow(c->GetHandle()),
      std::string(ORV_SOURCE_DIR) + "/components/foundation/tests/golden/control-standard.png");
  EXPECT_TRUE(check) << check.Message;

  // A look-and-feel change reaches the control once and repaints it once; the bars follow their
  // master.
  const int paints = c->Paints;
  const int notices = c->LookAndFeelNotices;
  c->GetLookAndFeel()->SetKind(lfUltraFlat);
  Run();
  EXPECT_EQ(c->LookAndFeelNotices, notices + 1);
  EXPECT_EQ(c->Paints, paints + 1);
  EXPECT_EQ(c->GetBorderSize(), 1);
  EXPECT_EQ(c->GetHScrollBar()->GetLookAndFeel()->GetKind(), lfUltraFlat);
  const orv::TImageCheck flat = orv::MatchGoldenImage(
      orv::headless::CaptureWindow(c->GetHandle()),
      std::string(ORV_SOURCE_DIR) + "/components/foundation/tests/golden/control-ultraflat.png");
  EXPECT_TRUE(flat) << flat.Message;
}

namespace {

// Redraws its windowed children when it is invalidated, as composite controls do.
class TRedrawingControl : public TcxControl {
  ORV_CLASS(TRedrawingControl, TcxControl)
 public:
  explicit TRedrawingControl(TComponent* owner) : TcxControl(owner) {}
  int Invalidations = 0;

 protected:
  Boolean NeedsRedrawOnResize() override { return true; }
  void Dispatch(TMessage& message) override {
    if (message.Msg == CM_INVALIDATE) ++Invalidations;
    TcxControl::Dispatch(message);
  }
};

}  // namespace

TEST_F(ControlTest, NestedRedrawingControlsInvalidateOnce) {
  auto* outer = new TRedrawingControl(Form.get());
  outer->SetParent(Form.get());
  outer->SetBounds(0, 0, 100, 100);
  auto* inner = new TRedrawingControl(Form.get());
  inner->SetParent(outer);
  inner->SetBounds(10, 10, 50, 50);
  Show();
  inner->Invalidations = outer->Invalidations = 0;
  // The inner control reports to the outer one, which does not send the invalidation back.
  inner->Invalidate();
  EXPECT_EQ(inner->Invalidations, 1);
  EXPECT_EQ(outer->Invalidations, 1);
  // The outer one still invalidates its children when it is invalidated itself.
  outer->Invalidate();
  EXPECT_EQ(inner->Invalidations, 2);
}

TEST_F(ControlTest, ScrollBarsFollowTheContent) {
  TTestControl* c = Add(10, 10, 120, 80, {100, 50});
  Show();
  // Fits: no bars, the whole control is client.
  EXPECT_FALSE(c->IsHScrollBarVisible());
  EXPECT_FALSE(c->IsVScrollBarVisible());
  EXPECT_EQ(c->GetClientBounds(), Rect(0, 0, 120, 80));
  // Wider than the control: the horizontal bar only.
  c->Content = {300, 50};
  c->UpdateScrollBars();
  EXPECT_TRUE(c->IsHScrollBarVisible());
  EXPECT_FALSE(c->IsVScrollBarVisible());
  EXPECT_FALSE(c->GetSizeGrip()->GetVisible());
  EXPECT_EQ(c->GetClientBounds(), Rect(0, 0, 120, 64));
  EXPECT_EQ(c->GetHScrollBar()->GetBoundsRect(), Rect(0, 64, 120, 80));
  EXPECT_EQ(c->GetHScrollBar()->GetPageSize(), 120);
  EXPECT_EQ(c->GetHScrollBar()->GetMax(), 299);
  // Content 70 high fits 80 but not the 64 left under the horizontal bar: the vertical bar
  // comes too, and the horizontal page shrinks by its width.
  c->Content = {300, 70};
  c->UpdateScrollBars();
  EXPECT_TRUE(c->IsHScrollBarVisible());
  EXPECT_TRUE(c->IsVScrollBarVisible());
  EXPECT_TRUE(c->GetSizeGrip()->GetVisible());
  EXPECT_EQ(c->GetHScrollBar()->GetPageSize(), 104);
  EXPECT_EQ(c->GetVScrollBar()->GetPageSize(), 64);
  // Without AllowHide a content that fits keeps a disabled bar.
  c->Content = {100, 50};
  c->AllowHide = false;
  c->UpdateScrollBars();
  EXPECT_TRUE(c->IsHScrollBarVisible());
  EXPECT_FALSE(c->GetHScrollBar()->GetEnabled());
  // The scroll-bar style keeps a bar hidden whatever the content.
  c->AllowHide = true;
  c->Content = {300, 300};
  c->SetScrollBars(ssVertical);
  EXPECT_FALSE(c->IsHScrollBarVisible());
  EXPECT_TRUE(c->IsVScrollBarVisible());
  c->SetScrollBars(ssNone);
  EXPECT_FALSE(c->IsVScrollBarVisible());
  // Updates inside a lock run once, at the last unlock.
  c->SetScrollBars(ssBoth);
  const int before = c->InitCount;
  c->LockScrollBars();
  c->LockScrollBars();
  c->UpdateScrollBars();
  c->UpdateScrollBars();
  c->UnlockScrollBars();
  EXPECT_EQ(c->InitCount, before);
  c->UnlockScrollBars();
  EXPECT_GT(c->InitCount, before);
  const int once = c->InitCount;
  c->LockScrollBars();
  c->UnlockScrollBars();
  EXPECT_EQ(c->InitCount, once);
  // A range reaching below zero scrolls like any other; one wholly below zero shows an
  // inactive bar.
  class TNegative : public TTestControl {
   public:
    using TTestControl::TTestControl;
    Integer Max = 10;

   protected:
    void InitScrollBarsParameters() override {
      SetScrollBarParams(sbHorizontal, -100, Max, 1, 50, -20, true, true);
      SetScrollBarParams(sbVertical, 0, 0, 1, 1, 0, true, true);
    }
  };
  auto* negative = new TNegative(Form.get());
  negative->SetParent(Form.get());
  negative->SetBounds(150, 10, 120, 80);
  Run();
  negative->UpdateScrollBars();
  EXPECT_TRUE(negative->IsHScrollBarVisible());
  EXPECT_TRUE(negative->GetHScrollBar()->GetEnabled());
  EXPECT_EQ(negative->GetHScrollBar()->GetPosition(), -20);
  negative->Max = -10;
  negative->UpdateScrollBars();
  EXPECT_TRUE(negative->IsHScrollBarVisible());
  EXPECT_FALSE(negative->GetHScrollBar()->GetEnabled());
  // A resize recomputes them.
  c->SetBounds(10, 10, 290, 190);
  Run();
  EXPECT_TRUE(c->IsHScrollBarVisible());
  c->SetBounds(10, 10, 290, 190);
}

TEST_F(ControlTest, PixelBarsGoWhenTheContentFitsWithoutTheOtherBar) {
  struct TCase {
    orv::Set<TScrollBarKind> Pixel;
    bool BarsStay;
  };
  for (const TCase& t : {TCase{{sbHorizontal, sbVertical}, false}, TCase{{sbHorizontal}, true},
                         TCase{{}, true}}) {
    TTestControl* c = Add(10, 10, 120, 80, {400, 300});
    c->PagesFromActualBars = true;
    c->PixelKinds = t.Pixel;
    Show();
    ASSERT_TRUE(c->IsHScrollBarVisible() && c->IsVScrollBarVisible());
    // The columns fit when the vertical bar is absent (110 <= 120), the rows when the horizontal
    // one is (70 <= 80); with both bars each page is 16 pixels short.
    c->Content = {110, 70};
    c->UpdateScrollBars();
    EXPECT_EQ(c->IsHScrollBarVisible(), t.BarsStay);
    EXPECT_EQ(c->IsVScrollBarVisible(), t.BarsStay);
    c->Free();
  }
}

TEST_F(ControlTest, BarsThatKeepFlippingStayVisibleButDisabled) {
  TTestControl* c = Add(10, 10, 120, 80, {0, 0});
  Show();
  c->Flipping = true;
  c->UpdateScrollBars();
  // Each bar would hide the other one: the update ends instead of resizing forever, with the
  // bars that flipped on screen and inactive.
  EXPECT_TRUE(c->IsHScrollBarVisible());
  EXPECT_TRUE(c->IsVScrollBarVisible());
  EXPECT_FALSE(c->GetHScrollBar()->GetEnabled());
  EXPECT_FALSE(c->GetVScrollBar()->GetEnabled());
  EXPECT_TRUE(c->GetSizeGrip()->GetVisible());
}

TEST_F(ControlTest, ScrollsByLinePageThumbAndWheel) {
  TTestControl* c = Add(10, 10, 120, 80, {400, 300});
  TTestControl* other = Add(150, 10, 50, 50, {10, 10});
  Show();
  other->SetFocus();
  Run();
  TcxControlScrollBar* v = c->GetVScrollBar();
  const TPoint vOrigin = v->GetBoundsRect().TopLeft();
  // The down arrow: a line at once, again after 400 ms, then every 60 ms.
  EXPECT_FALSE(c->Focused());
  Press(c, vOrigin.X + 8, vOrigin.Y + v->GetHeight() - 4);
  EXPECT_TRUE(c->Focused());  // a click into a bar focuses its control
  EXPECT_EQ(c->Origin.Y, 10);
  EXPECT_EQ(v->GetPosition(), 10);
  orv::headless::AdvanceTime(400);
  EXPECT_EQ(c->Origin.Y, 20);
  orv::headless::AdvanceTime(120);
  EXPECT_EQ(c->Origin.Y, 40);
  Release();
  orv::headless::AdvanceTime(500);
  EXPECT_EQ(c->Origin.Y, 40);
  // The page-down area: one page (the client height, 64).
  Press(c, vOrigin.X + 8, vOrigin.Y + v->GetHeight() - 20);
  Release();
  EXPECT_EQ(c->Origin.Y, 104);
  // The thumb, dragged 10 pixels down.
  const TRect thumb = v->GetViewInfo()->GetThumbnailRect();
  Press(c, vOrigin.X + 8, vOrigin.Y + thumb.Top + 2);
  Move(c, vOrigin.X + 8, vOrigin.Y + thumb.Top + 12);
  const Integer tracked = c->Origin.Y;
  EXPECT_GT(tracked, 104);
  EXPECT_EQ(c->Log.back(), "v5=" + std::to_string(tracked));
  Release();
  EXPECT_EQ(c->Origin.Y, tracked);
  // The wheel: three lines per notch, up on a forward notch.
  Press(c, 20, 20);
  Release();
  EXPECT_TRUE(c->Focused());
  orv::headless::Wheel(WHEEL_DELTA);
  Run();
  EXPECT_EQ(c->Origin.Y, tracked - 30);
  orv::headless::Wheel(-2 * WHEEL_DELTA);
  Run();
  EXPECT_EQ(c->Origin.Y, tracked);  // three lines, whatever the size of the delta
  // The horizontal bar by its left arrow.
  c->Origin.X = 50;
  c->UpdateScrollBars();
  TcxControlScrollBar* h = c->GetHScrollBar();
  Press(c, h->GetLeft() + 4, h->GetTop() + 8);
  Release();
  EXPECT_EQ(c->Origin.X, 40);
}

// A control with a horizontal bar only scrolls left on a forward notch.
TEST_F(ControlTest, WheelOnAHorizontalControl) {
  class THorizontal : public TTestControl {
   public:
    using TTestControl::TTestControl;

   protected:
    TcxMouseWheelScrollingKind GetMouseWheelScrollingKind() override { return mwskHorizontal; }
  };
  auto* c = new THorizontal(Form.get());
  c->Content = {400, 20};
  c->SetParent(Form.get());
  c->SetBounds(10, 10, 120, 80);
  c->Origin.X = 100;
  Show();
  Press(c, 20, 20);
  Release();
  orv::headless::Wheel(WHEEL_DELTA);
  Run();
  EXPECT_EQ(c->Origin.X, 70);
}

TEST_F(ControlTest, KeysPopupMenuAndFontListeners) {
  TTestControl* c = Add(10, 10, 120, 80, {10, 10});
  Show();
  c->SetWantedKeys(TcxKeys{kAll, kArrows, kChars, kTab});
  EXPECT_EQ(c->Perform(WM_GETDLGCODE), 0x87);
  orv::headless::KeyDown(VK_CONTROL);
  EXPECT_EQ(c->Perform(WM_GETDLGCODE), 0x85);
  orv::headless::KeyUp(VK_CONTROL);
  c->SetWantedKeys({});
  EXPECT_EQ(c->Perform(WM_GETDLGCODE), 0);

  // Only a popup menu (or a component offering the popup-menu interface) is taken.
  auto* timer = new TcxTimer(Form.get());
  c->SetPopupMenu(timer);
  EXPECT_EQ(c->GetPopupMenuValue(), nullptr);
  auto* menu = new TPopupMenu(Form.get());
  c->SetPopupMenu(menu);
  EXPECT_EQ(c->GetPopupMenuValue(), menu);
  EXPECT_EQ(c->GetPopupMenu(), menu);
  menu->Free();
  EXPECT_EQ(c->GetPopupMenuValue(), nullptr);

  // Font changes reach every listener, in order, with the new font; then the control repaints.
  TFontListener first, second;
  c->AddFontListener(&first);
  c->AddFontListener(&second);
  const int paints = c->Paints;
  c->GetFont()->SetHeight(-20);
  Run();
  ASSERT_EQ(first.Heights.size(), 1u);
  EXPECT_EQ(first.Heights[0], -20);
  EXPECT_EQ(first.Senders[0], c);
  EXPECT_EQ(second.Heights.size(), 1u);
  EXPECT_GT(c->Paints, paints);
  c->RemoveFontListener(&first);
  c->GetFont()->SetHeight(-11);
  EXPECT_EQ(first.Heights.size(), 1u);
  EXPECT_EQ(second.Heights.size(), 2u);
  c->RemoveFontListener(&second);
}

TEST_F(ControlTest, MouseCaptureObjectsAndTheirLoss) {
  TTestControl* c = Add(10, 10, 120, 80, {10, 10});
  Show();
  TCaptureOwner a, b;
  c->SetMouseCaptureObject(&a);
  EXPECT_EQ(GetCapture(), c->GetHandle());
  c->SetMouseCaptureObject(&b);
  EXPECT_EQ(a.Lost, 1);
  EXPECT_EQ(GetCapture(), c->GetHandle());
  // Losing the mouse (cancel mode) ends the mouse operation: the owner hears of it.
  c->Perform(WM_CANCELMODE);
  EXPECT_EQ(b.Lost, 1);
  EXPECT_EQ(c->GetMouseCaptureObject(), nullptr);
  EXPECT_NE(GetCapture(), c->GetHandle());
  // A release of the button ends it too.
  c->SetMouseCaptureObject(&a);
  Press(c, 30, 30);
  EXPECT_TRUE(c->GetMouseButtonPressed());
  Release();
  EXPECT_EQ(a.Lost, 2);
  EXPECT_FALSE(c->GetMouseButtonPressed());
}

TEST_F(ControlTest, InternalDragAndDropWaitsForTheThresholdAndCancelsOnEscape) {
  TTestControl* c = Add(10, 10, 120, 80, {10, 10});
  c->InternalDrag = true;
  c->SetDragAndDropObjectClass(TTestDragAndDrop::StaticClass());
  Show();
  auto& log = TTestDragAndDrop::Log();
  // Below the threshold nothing begins.
  Press(c, 30, 30);
  EXPECT_EQ(c->GetDragAndDropState(), ddsStarting);
  Move(c, 34, 34);
  EXPECT_TRUE(log.empty());
  Release();
  EXPECT_EQ(c->GetDragAndDropState(), ddsNone);
  EXPECT_TRUE(log.empty());
  // Exactly the threshold on one axis begins it; the release drops.
  Press(c, 30, 30);
  Move(c, 35, 30);
  EXPECT_EQ(c->GetDragAndDropState(), ddsInProcess);
  Move(c, 50, 40);
  Release();
  EXPECT_EQ(log, (std::vector<std::string>{"begin", "drag 35,30", "drag 50,40", "drop"}));
  EXPECT_EQ(c->GetDragAndDropState(), ddsNone);
  // Esc ends it not accepted and puts the screen cursor back.
  log.clear();
  Screen->SetCursor(crHandPoint);
  Press(c, 30, 30);
  Move(c, 60, 30);
  EXPECT_EQ(Screen->GetCursor(), crDrag);
  orv::headless::PressKey(VK_ESCAPE);
  Run();
  EXPECT_EQ(log.back(), "cancel");
  EXPECT_EQ(c->GetDragAndDropState(), ddsNone);
  EXPECT_EQ(Screen->GetCursor(), crHandPoint);
  Release();
  // A double click never starts one.
  log.clear();
  const TPoint p = At(c, 30, 30);
  orv::headless::DoubleClick(p.X, p.Y);
  Run();
  EXPECT_EQ(c->GetDragAndDropState(), ddsNone);
  Screen->SetCursor(crDefault);
}

TEST_F(ControlTest, PlatformDragBetweenControlsWithItsImage) {
  TTestControl* source = Add(10, 10, 100, 80, {10, 10});
  TTestControl* target = Add(150, 10, 100, 80, {10, 10});
  source->SetDragMode(dmAutomatic);
  TSink sink;
  target->SetOnDragOver(TDragOverEvent(&sink, &TSink::DragOver));
  target->SetOnDragDrop(TDragDropEvent(&sink, &TSink::DragDrop));
  source->SetOnEndDrag(TEndDragEvent(&sink, &TSink::EndDrag));
  Show();
  // The drag image: drawn by the control into a list of one image of its size.
  TDragImageList* images = source->GetDragImages();
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(images->GetCount(), 1);
  EXPECT_EQ(images->GetWidth(), 12);
  EXPECT_EQ(images->GetHeight(), 8);

  // A press and release without moving starts no drag.
  Press(source, 20, 20);
  Release();
  EXPECT_EQ(GetDragObject(), nullptr);
  EXPECT_EQ(source->AfterMouseDowns, 1);
  // Nor does Esc while the control waits for the drag to start.
  orv::headless::SetIdleHandler([]() {
    orv::headless::PressKey(VK_ESCAPE);
    return true;
  });
  Press(source, 20, 20);
  orv::headless::SetIdleHandler(nullptr);
  EXPECT_EQ(GetDragObject(), nullptr);
  EXPECT_NE(GetCapture(), source->GetHandle());
  Release();

  // Press, then (while the control waits for the drag to start) a move out of the square.
  const TPoint out = At(source, 40, 20);
  int step = 0;
  orv::headless::SetIdleHandler([&]() {
    if (step++ > 0) return false;
    orv::headless::MouseMove(out.X, out.Y);
    return true;
  });
  Press(source, 20, 20);
  orv::headless::SetIdleHandler(nullptr);
  ASSERT_NE(GetDragObject(), nullptr);
  EXPECT_TRUE(dynamic_cast<TcxDragControlObject*>(GetDragObject()));
  Move(target, 30, 40);
  EXPECT_FALSE(sink.Sources.empty());
  EXPECT_EQ(Screen->GetCursor(), crDrag);
  // Over a library control, the drag object in flight is known to the painting code.
  EXPECT_EQ(GetCurrentDragObject(), GetDragObject());
  // Ctrl makes it a copy drag.
  orv::headless::KeyDown(VK_CONTROL);
  Move(target, 32, 40);
  EXPECT_EQ(Screen->GetCursor(), crcxDragCopy);
  orv::headless::KeyUp(VK_CONTROL);
  Release();
  ASSERT_EQ(sink.Drops.size(), 1u);
  EXPECT_EQ(sink.DropPoint, Point(32, 40));
  ASSERT_EQ(sink.EndTargets.size(), 1u);
  EXPECT_EQ(sink.EndTargets[0], target);
  EXPECT_EQ(GetDragObject(), nullptr);
  EXPECT_EQ(GetCurrentDragObject(), nullptr);
}

TEST_F(ControlTest, FreedInItsOwnMouseDownHandler) {
  TTestControl* c = Add(10, 10, 120, 80, {10, 10});
  TSink sink;
  c->SetOnMouseDown(TMouseEvent(&sink, &TSink::FreeOnMouseDown));
  Show();
  const int before = Form->GetControlCount();
  Press(c, 20, 20);
  Release();
  EXPECT_EQ(Form->GetControlCount(), before - 1);
  // The same from OnClick, which comes before the release reaches the control.
  TTestControl* d = Add(10, 10, 120, 80, {10, 10});
  d->SetOnClick(TNotifyEvent(&sink, &TSink::FreeOnClick));
  Run();
  Press(d, 20, 20);
  Release();
  EXPECT_EQ(Form->GetControlCount(), before - 1);
}

TEST_F(ControlTest, PopupMenusOfTheLibrarysKind) {
  TTestControl* c = Add(10, 10, 120, 80, {10, 10});
  auto* popup = new TTestPopup(Form.get());
  c->SetPopupMenu(popup);
  EXPECT_EQ(c->GetPopupMenuValue(), popup);
  EXPECT_EQ(c->GetPopupMenu(), nullptr);  // not a platform menu
  Show();
  // A keyboard request opens it at the client origin, a click at the point.
  SendMessage(c->GetHandle(), WM_CONTEXTMENU, WPARAM(c->GetHandle()), MAKELPARAM(-1, -1));
  ASSERT_EQ(popup->Points.size(), 1u);
  EXPECT_EQ(popup->Points[0], At(c, 0, 0));
  Press(c, 30, 20, 1);
  Release(1);
  ASSERT_EQ(popup->Points.size(), 2u);
  EXPECT_EQ(popup->Points[1], At(c, 30, 20));
  // A point outside the client area goes to the platform's handling: no pop-up.
  const TPoint outside = At(c, 200, 20);
  SendMessage(c->GetHandle(), WM_CONTEXTMENU, WPARAM(c->GetHandle()), MAKELPARAM(outside.X, outside.Y));
  EXPECT_EQ(popup->Points.size(), 2u);
  // Keys reach the menu as shortcuts first; one it takes goes no further.
  Word seen = 0;
  class TKeys : public TObject {
   public:
    Word* Seen;
    void KeyDown(TObject*, Word& key, TShiftState) { *Seen = key; }
  } keys;
  keys.Seen = &seen;
  c->SetOnKeyDown(TKeyEvent(&keys, &TKeys::KeyDown));
  orv::headless::PressKey(VK_F10);
  Run();
  EXPECT_EQ(seen, 0);
  orv::headless::PressKey(VK_F9);
  Run();
  EXPECT_EQ(seen, VK_F9);
  EXPECT_EQ(popup->Keys, (std::vector<Word>{VK_F10, VK_F9}));
}

// An outside spell checker that records the context menu requests offered to it.
class TSpellMenus : public IcxSpellCheckerHook {
 public:
  void FocusExit() override {}
  void FocusEnter(TWinControl*) override {}
  void RedrawMisspellings(TWinControl*) override {}
  Boolean IsOwnWindow(HWND) override { return false; }
  void Scrolled(TWinControl*) override {}
  void SelectionChanged(TWinControl*) override {}
  void TextChanged(TWinControl*) override {}
  void Undo() override {}
  Boolean ShowPopupMenu(TComponent* popupMenu, const TPoint& screenPoint) override {
    Menus.push_back(popupMenu);
    Points.push_back(screenPoint);
    return Takes;
  }
  Boolean Takes = true;
  std::vector<TComponent*> Menus;
  std::vector<TPoint> Points;
};

TEST_F(ControlTest, AnAssignedSpellCheckerIsOfferedTheContextMenuFirst) {
  TTestControl* c = Add(10, 10, 120, 80, {10, 10});
  auto* popup = new TTestPopup(Form.get());
  c->SetPopupMenu(popup);
  Show();
  TSpellMenus spell;
  SpellCheckerHook = &spell;
  struct TUnset {
    ~TUnset() { SpellCheckerHook = nullptr; }
  } unset;

  // The checker shows its own menu: the control's stays closed.
  Press(c, 30, 20, 1);
  Release(1);
  ASSERT_EQ(spell.Menus.size(), 1u);
  EXPECT_EQ(spell.Menus[0], popup);
  EXPECT_EQ(spell.Points[0], At(c, 30, 20));
  EXPECT_TRUE(popup->Points.empty());

  // A keyboard request is offered at the client origin; a checker that declines leaves it to
  // the control's own menu.
  spell.Takes = false;
  SendMessage(c->GetHandle(), WM_CONTEXTMENU, WPARAM(c->GetHandle()), MAKELPARAM(-1, -1));
  ASSERT_EQ(spell.Points.size(), 2u);
  EXPECT_EQ(spell.Points[1], At(c, 0, 0));
  ASSERT_EQ(popup->Points.size(), 1u);
  EXPECT_EQ(popup->Points[0], At(c, 0, 0));

  // The control's own OnContextPopup that handles the request comes before the checker.
  class TOwnHandler : public TObject {
   public:
    void Popup(TObject*, TPoint, bool& handled) { handled = true; }
  } own;
  c->SetOnContextPopup(TContextPopupEvent(&own, &TOwnHandler::Popup));
  Press(c, 40, 30, 1);
  Release(1);
  EXPECT_EQ(spell.Menus.size(), 2u);
  EXPECT_EQ(popup->Points.size(), 1u);
}

TEST_F(ControlTest, MiddleButtonScrollingRunsOnTheClock) {
  TTestControl* c = Add(10, 10, 120, 80, {400, 300});
  Show();
  const TPoint start = At(c, 50, 30);
  std::vector<TCursor> cursors;
  int step = 0;
  orv::headless::SetIdleHandler([&]() {
    const int s = step++;
    if (s == 0) {
      orv::headless::MouseUp(2);  // a click without moving keeps the mode on
    } else if (s == 1) {
      cursors.push_back(Screen->GetCursor());
      orv::headless::MouseMove(start.X, start.Y + 60);  // speed 10: every third 20 ms tick
    } else if (s < 14) {
      if (s == 2) cursors.push_back(Screen->GetCursor());
      orv::AdvanceClock(20);
    } else if (s == 14) {
      orv::headless::MouseDown(0);  // ends the mode and is swallowed
    } else {
      return false;
    }
    return true;
  });
  Press(c, 50, 30, 2);
  orv::headless::SetIdleHandler(nullptr);
  EXPECT_FALSE(c->GetScrollingContent());
  EXPECT_EQ(cursors, (std::vector<TCursor>{crcxFullScroll, crcxDownScroll}));
  EXPECT_EQ(c->Origin.Y, 40);  // 12 ticks, every third one scrolls
  EXPECT_NE(GetCapture(), c->GetHandle());
  orv::headless::MouseUp(0);
  Run();
}

TEST_F(ControlTest, SystemScrollBarSizeChangesResizeTheBars) {
  TTestControl* c = Add(10, 10, 120, 80, {400, 300});
  Show();
  EXPECT_EQ(c->GetVScrollBar()->GetWidth(), 16);
  orv::SystemSettings().Metrics[SM_CXVSCROLL] = 20;
  orv::SystemSettings().Metrics[SM_CYHSCROLL] = 20;
  orv::SendSettingChange(SPI_SETNONCLIENTMETRICS);
  Run();
  EXPECT_EQ(c->GetVScrollBar()->GetWidth(), 20);
  EXPECT_EQ(c->GetHScrollBar()->GetHeight(), 20);
  EXPECT_EQ(c->GetClientBounds(), Rect(0, 0, 100, 60));
  EXPECT_EQ(c->GetVScrollBar()->GetBoundsRect(), Rect(100, 0, 120, 60));
}

TEST_F(ControlTest, ChildComponentsFollowTheirControl) {
  TTestControl* c = Add(10, 10, 120, 80, {10, 10});
  TcxControlChildComponent* child =
      TcxControlChildComponent::CreateForControl(TcxControlChildComponent::StaticClass(), c, true);
  EXPECT_EQ(child->GetOwner(), Form.get());
  EXPECT_EQ(child->GetControl(), c);
  EXPECT_TRUE(child->HasParent());
  EXPECT_EQ(child->GetParentComponent(), c);
  c->RemoveChildComponent(child);
  EXPECT_EQ(child->GetControl(), nullptr);
  child->Free();
}

}  // namespace
