// The library's scroll bar: layout and thumb arithmetic, the parameter setter, and the mouse on
// the headless window system (auto-repeat on the manual clock, thumb tracking and its snap-back,
// cancelling), and its pictures in two looks.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "components/foundation/cxControls.h"
#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxScrollBar.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Exceptions.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

using orv::test::Owned;

// Records OnScroll and OnChange.
class TScrollLog : public TObject {
  ORV_CLASS(TScrollLog, TObject)
 public:
  TScrollLog() = default;
  void OnScroll(TObject* sender, TScrollCode code, Integer& position) {
    Codes.push_back(code);
    Positions.push_back(position);
    if (Override >= 0) position = Override;
  }
  void OnChange(TObject* sender) { ++Changes; }
  void Attach(TcxScrollBar* bar) {
    bar->SetOnScroll(TScrollEvent(this, &TScrollLog::OnScroll));
    bar->SetOnChange(TNotifyEvent(this, &TScrollLog::OnChange));
  }
  int Count(TScrollCode code) const { return int(std::count(Codes.begin(), Codes.end(), code)); }
  std::vector<TScrollCode> Codes;
  std::vector<Integer> Positions;
  int Changes = 0;
  Integer Override = -1;
};

TEST(ScrollBarLayout, ArrowsThumbAndPageAreas) {
  orv::headless::Reset();
  Owned<TcxScrollBar> bar(new TcxScrollBar(nullptr));
  TcxScrollBarViewInfo* vi = bar->GetViewInfo();
  // 121 x the system's height; arrows as long as the bar is high, the thumb of the system's size
  // without a page.
  EXPECT_EQ(bar->GetWidth(), 121);
  EXPECT_EQ(bar->GetHeight(), 16);
  EXPECT_EQ(vi->GetTopLeftArrowRect(), Rect(0, 0, 16, 16));
  EXPECT_EQ(vi->GetBottomRightArrowRect(), Rect(105, 0, 121, 16));
  EXPECT_EQ(vi->GetThumbnailRect(), Rect(16, 0, 32, 16));
  EXPECT_TRUE(RectIsEmpty(vi->GetPageUpRect()));
  EXPECT_EQ(vi->GetPageDownRect(), Rect(32, 0, 105, 16));
  bar->SetPosition(100);
  EXPECT_EQ(vi->GetThumbnailRect(), Rect(89, 0, 105, 16));
  EXPECT_EQ(vi->GetPageUpRect(), Rect(16, 0, 89, 16));

  // With a page the thumb is as long as the page's share of the track: 89 x 25 / 101 = 22,
  // moved by (89 - 22) x (50 - 0) / (100 - 25 + 1).
  bar->SetScrollParameters(0, 100, 50, 25);
  EXPECT_EQ(vi->GetThumbnailRect(), Rect(16 + 44, 0, 16 + 44 + 22, 16));
  EXPECT_EQ(bar->PositionFromThumb(), 50);
  // Hit test by part.
  EXPECT_EQ(bar->HitTestPart(Point(3, 3)), sbpLineUp);
  EXPECT_EQ(bar->HitTestPart(Point(110, 3)), sbpLineDown);
  EXPECT_EQ(bar->HitTestPart(Point(70, 3)), sbpThumbnail);
  EXPECT_EQ(bar->HitTestPart(Point(20, 3)), sbpPageUp);
  EXPECT_EQ(bar->HitTestPart(Point(100, 3)), sbpPageDown);
  EXPECT_EQ(bar->HitTestPart(Point(121, 3)), sbpNone);

  // Min = Max and a disabled bar have no thumb (and so no page areas).
  bar->SetScrollParameters(5, 5, 5, 1);
  EXPECT_TRUE(RectIsEmpty(vi->GetThumbnailRect()));
  EXPECT_EQ(bar->HitTestPart(Point(60, 3)), sbpNone);
  bar->SetScrollParameters(0, 100, 10, 0);
  bar->SetEnabled(false);
  EXPECT_TRUE(RectIsEmpty(vi->GetThumbnailRect()));
  EXPECT_EQ(bar->GetPartState(sbpLineUp), cxbsDisabled);
  bar->SetEnabled(true);
  EXPECT_FALSE(RectIsEmpty(vi->GetThumbnailRect()));

  // A 20-pixel bar: two 10-pixel arrows and no room for a thumb.
  bar->SetBounds(0, 0, 20, 16);
  EXPECT_EQ(vi->GetTopLeftArrowRect(), Rect(0, 0, 10, 16));
  EXPECT_EQ(vi->GetBottomRightArrowRect(), Rect(10, 0, 20, 16));
  EXPECT_TRUE(RectIsEmpty(vi->GetThumbnailRect()));

  // Changing the kind exchanges width and height.
  bar->SetBounds(0, 0, 121, 17);
  bar->SetKind(sbVertical);
  EXPECT_EQ(bar->GetWidth(), 17);
  EXPECT_EQ(bar->GetHeight(), 121);
  EXPECT_EQ(vi->GetTopLeftArrowRect(), Rect(0, 0, 17, 16));
  EXPECT_EQ(vi->GetBottomRightArrowRect(), Rect(0, 105, 17, 121));
  bar.reset();
  orv::headless::Reset();
}

TEST(ScrollBarLayout, APageAsLargeAsTheRangeKeepsTheThumbAtTheStart) {
  orv::headless::Reset();
  Owned<TcxScrollBar> bar(new TcxScrollBar(nullptr));
  // Max - Min + 1 = 11 positions, a page of 15: no step is possible; the thumb fills the track
  // from its start and stands for the first position.
  bar->SetScrollParameters(10, 20, 15, 15);
  TcxScrollBarViewInfo* vi = bar->GetViewInfo();
  EXPECT_EQ(vi->GetThumbnailRect(), Rect(16, 0, 105, 16));
  EXPECT_EQ(bar->PositionFromThumb(), 10);
  // The widest range does not overflow.
  bar->SetScrollParameters(-2147483647 - 1, 2147483647, 0, 1000);
  EXPECT_GE(vi->GetThumbnailRect().Left, 16);
  EXPECT_LE(vi->GetThumbnailRect().Right, 105);
  bar.reset();
  orv::headless::Reset();
}

TEST(ScrollBarParameters, RangeErrorsClampingAndNotices) {
  orv::headless::Reset();
  Owned<TcxScrollBar> bar(new TcxScrollBar(nullptr));
  TScrollLog log;
  log.Attach(bar.get());
  bar->SetPageSize(20);
  // Max below the page or below Min raises and changes nothing.
  try {
    bar->SetMax(10);
    FAIL() << "no exception";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.GetMessage(), "Scrollbar property out of range");
  }
  EXPECT_THROW(bar->SetMin(200), EInvalidOperation);
  EXPECT_EQ(bar->GetMax(), 100);
  EXPECT_EQ(bar->GetMin(), 0);
  EXPECT_EQ(log.Changes, 0);
  // Positions are clamped silently; a change of position tells OnChange and enables the bar.
  bar->SetPosition(500);
  EXPECT_EQ(bar->GetPosition(), 100);
  EXPECT_EQ(log.Changes, 1);
  bar->SetEnabled(false);
  bar->SetPosition(-5);
  EXPECT_EQ(bar->GetPosition(), 0);
  EXPECT_TRUE(bar->GetEnabled());
  EXPECT_EQ(log.Changes, 2);
  // The same values again: nothing.
  bar->SetScrollParameters(0, 100, 0, 20);
  EXPECT_EQ(log.Changes, 2);

  // Steps by code, clamped, and OnScroll may move the result.
  bar->SetSmallChange(3);
  bar->SetLargeChange(40);
  bar->PerformScroll(scLineDown);
  EXPECT_EQ(bar->GetPosition(), 3);
  bar->PerformScroll(scPageDown);
  EXPECT_EQ(bar->GetPosition(), 43);
  bar->PerformScroll(scBottom);
  EXPECT_EQ(bar->GetPosition(), 100);
  bar->PerformScroll(scPageDown);
  EXPECT_EQ(bar->GetPosition(), 100);
  log.Override = 250;
  bar->PerformScroll(scTop);
  EXPECT_EQ(bar->GetPosition(), 100);  // clamped again after OnScroll
  log.Override = 7;
  bar->PerformScroll(scLineUp);
  EXPECT_EQ(bar->GetPosition(), 7);
  bar.reset();
  orv::headless::Reset();
}

class ScrollBarMouse : public orv::test::HeadlessFormTest {
 protected:
  ScrollBarMouse() : HeadlessFormTest({100, 100, 300, 200}) {}
  void SetUp() override {
    HeadlessFormTest::SetUp();
    Bar = new TcxScrollBar(Form.get());
    Bar->SetParent(Form.get());
    Bar->SetBounds(10, 10, 121, 16);
    Bar->SetScrollParameters(0, 100, 50, 10);
    Log.Attach(Bar);
    Form->Show();
    orv::headless::ProcessMessages();
  }
  // Client point of the bar on the screen.
  static int X(int x) { return 110 + x; }
  static int Y(int y) { return 110 + y; }
  void Press(int x, int y) {
    orv::headless::MouseMove(X(x), Y(y));
    orv::headless::MouseDown();
    orv::headless::ProcessMessages();
  }
  void MoveTo(int x, int y) {
    orv::headless::MouseMove(X(x), Y(y));
    orv::headless::ProcessMessages();
  }
  void Release() {
    orv::headless::MouseUp();
    orv::headless::ProcessMessages();
  }

  TcxScrollBar* Bar = nullptr;
  TScrollLog Log;
};

TEST_F(ScrollBarMouse, HoldingAnArrowRepeatsAfter400MsThenEvery60) {
  Press(120, 8);
  EXPECT_EQ(Bar->GetPosition(), 51);  // once at once
  EXPECT_EQ(Bar->GetPressedPart(), sbpLineDown);
  EXPECT_EQ(Bar->GetPartState(sbpLineDown), cxbsPressed);
  orv::headless::AdvanceTime(399);
  EXPECT_EQ(Bar->GetPosition(), 51);
  orv::headless::AdvanceTime(1);
  EXPECT_EQ(Bar->GetPosition(), 52);
  orv::headless::AdvanceTime(59);
  EXPECT_EQ(Bar->GetPosition(), 52);
  orv::headless::AdvanceTime(1);
  EXPECT_EQ(Bar->GetPosition(), 53);
  orv::headless::AdvanceTime(120);
  EXPECT_EQ(Bar->GetPosition(), 55);
  // Off the arrow the repeat pauses; back on it, it resumes.
  MoveTo(60, 8);
  orv::headless::AdvanceTime(600);
  EXPECT_EQ(Bar->GetPosition(), 55);
  MoveTo(118, 4);
  orv::headless::AdvanceTime(60);
  EXPECT_EQ(Bar->GetPosition(), 56);
  Release();
  orv::headless::AdvanceTime(600);
  EXPECT_EQ(Bar->GetPosition(), 56);
  EXPECT_EQ(Bar->GetPressedPart(), sbpNone);
  EXPECT_EQ(Log.Count(scLineDown), 6);
  EXPECT_EQ(Log.Count(scEndScroll), 1);
  EXPECT_EQ(Log.Codes.back(), scEndScroll);
}

TEST_F(ScrollBarMouse, PageAreasRepeatUntilTheThumbReachesThePointer) {
  Bar->SetLargeChange(10);
  // The thumb (page 10 of 101) stands at 50; press the page-up area near the first arrow.
  Press(20, 8);
  EXPECT_EQ(Bar->GetPosition(), 40);
  orv::headless::AdvanceTime(400 + 60 * 10);
  // The thumb arrived under the pointer: the part under it is no longer the page area, so the
  // repeating stopped there instead of running on to the top.
  EXPECT_EQ(Bar->HitTestPart(Point(20, 8)), sbpThumbnail);
  const Integer stopped = Bar->GetPosition();
  EXPECT_LT(stopped, 40);
  orv::headless::AdvanceTime(600);
  EXPECT_EQ(Bar->GetPosition(), stopped);
  Release();
  EXPECT_EQ(Log.Count(scEndScroll), 1);
}

TEST_F(ScrollBarMouse, DraggingTheThumbTracksAndSnapsBackFarAway) {
  const TRect thumb = Bar->GetViewInfo()->GetThumbnailRect();
  const int grabX = thumb.Left + 4;
  Press(grabX, 8);
  EXPECT_EQ(Bar->GetPressedPart(), sbpThumbnail);
  MoveTo(grabX + 20, 8);
  EXPECT_EQ(Bar->GetViewInfo()->GetThumbnailRect().Left, thumb.Left + 20);
  const Integer tracked = Bar->GetPosition();
  EXPECT_GT(tracked, 50);
  EXPECT_EQ(Log.Positions.back(), tracked);
  EXPECT_EQ(Log.Codes.back(), scTrack);
  // Past the second arrow (but within 34 pixels of the bar's end) the thumb stops at the end of the track.
  MoveTo(grabX + 80, 8);
  EXPECT_EQ(Bar->GetViewInfo()->GetThumbnailRect().Right, 105);
  EXPECT_EQ(Bar->GetPosition(), 91);
  // Still within 136 pixels across the bar it follows; farther away it snaps back.
  MoveTo(grabX + 20, 8 + 136);
  EXPECT_EQ(Bar->GetPosition(), tracked);
  MoveTo(grabX + 20, 16 + 137);
  EXPECT_EQ(Bar->GetPosition(), 50);
  EXPECT_EQ(Bar->GetViewInfo()->GetThumbnailRect(), thumb);
  MoveTo(grabX + 10, 8);
  const Integer dropped = Bar->GetPosition();
  EXPECT_GT(dropped, 50);
  Log.Codes.clear();
  Release();
  EXPECT_EQ(Log.Codes, (std::vector<TScrollCode>{scPosition, scEndScroll}));
  EXPECT_EQ(Bar->GetPosition(), dropped);
}

TEST_F(ScrollBarMouse, UnlimitedTrackingFollowsFarAway) {
  Bar->SetUnlimitedTracking(true);
  const TRect thumb = Bar->GetViewInfo()->GetThumbnailRect();
  Press(thumb.Left + 2, 8);
  MoveTo(thumb.Left + 22, 8 + 170);
  EXPECT_EQ(Bar->GetViewInfo()->GetThumbnailRect().Left, thumb.Left + 20);
  EXPECT_GT(Bar->GetPosition(), 50);
  Release();
}

TEST_F(ScrollBarMouse, CancelModeAndCaptureLossStopScrolling) {
  Press(3, 8);
  EXPECT_EQ(Bar->GetPosition(), 49);
  // Another window takes the mouse: the repeat stops at its next tick.
  ReleaseCapture();
  orv::headless::AdvanceTime(400);
  EXPECT_EQ(Bar->GetPressedPart(), sbpNone);
  EXPECT_EQ(Bar->GetPosition(), 49);
  Release();
  Press(3, 8);
  Bar->Perform(WM_CANCELMODE);
  EXPECT_EQ(Bar->GetPressedPart(), sbpNone);
  orv::headless::AdvanceTime(1000);
  EXPECT_EQ(Bar->GetPosition(), 48);
  Release();
  EXPECT_EQ(Log.Count(scEndScroll), 2);
}

TEST_F(ScrollBarMouse, PaintsThroughThePainterOfItsLook) {
  for (auto [kind, name] : {std::pair{lfStandard, "scrollbar-standard.png"},
                            std::pair{lfUltraFlat, "scrollbar-ultraflat.png"}}) {
    Bar->GetLookAndFeel()->SetKind(kind);
    Bar->SetScrollParameters(0, 100, 30, 20);
    orv::headless::ProcessMessages();
    const orv::TImageCheck check = orv::MatchGoldenImage(
        orv::headless::CaptureWindow(Bar->GetHandle()),
        std::string(ORV_SOURCE_DIR) + "/components/foundation/tests/golden/" + name);
    EXPECT_TRUE(check) << check.Message;
  }
}

// ---- Form descriptions

// A form whose handlers a described scroll bar names.
class TScrollBarHostForm : public TForm {
  ORV_CLASS(TScrollBarHostForm, TForm)
 public:
  explicit TScrollBarHostForm(TComponent* owner) : TForm(owner) {}
  void BarScroll(TObject* sender, TScrollCode code, Integer& position) { ++Scrolls; }
  void BarKeyDown(TObject* sender, Word& key, TShiftState shift) { ++Keys; }
  void BarEnter(TObject* sender) { ++Enters; }
  void BarContextPopup(TObject* sender, TPoint mousePos, bool& handled) { ++Popups; }
  int Scrolls = 0, Keys = 0, Enters = 0, Popups = 0;
};

}  // namespace

ORV_PUBLISH(TScrollBarHostForm) {
  using T = TScrollBarHostForm;
  p.Method("BarScroll", &T::BarScroll);
  p.Method("BarKeyDown", &T::BarKeyDown);
  p.Method("BarEnter", &T::BarEnter);
  p.Method("BarContextPopup", &T::BarContextPopup);
}

namespace {

TEST(ScrollBarFormDescription, PlatformPropertiesAndEventsRoundTrip) {
  const char* text =
      "object Host: TScrollBarHostForm\n"
      "  Width = 300\n"
      "  Height = 200\n"
      "  object Bar: TcxScrollBar\n"
      "    Align = alBottom\n"
      "    Anchors = [akLeft, akBottom]\n"
      "    Constraints.MinHeight = 10\n"
      "    Ctl3D = False\n"
      "    DragKind = dkDock\n"
      "    DragMode = dmAutomatic\n"
      "    Kind = sbVertical\n"
      "    Max = 50\n"
      "    ParentCtl3D = False\n"
      "    ParentShowHint = False\n"
      "    Position = 7\n"
      "    ShowHint = True\n"
      "    OnContextPopup = BarContextPopup\n"
      "    OnEnter = BarEnter\n"
      "    OnKeyDown = BarKeyDown\n"
      "    OnScroll = BarScroll\n"
      "  end\n"
      "end\n";
  Owned<TScrollBarHostForm> form(new TScrollBarHostForm(nullptr));
  orv::ReadComponentFromText(form.get(), text);
  auto* bar = dynamic_cast<TcxScrollBar*>(form->FindComponent("Bar"));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->GetAlign(), alBottom);
  EXPECT_EQ(bar->GetAnchors(), (TAnchors{akLeft, akBottom}));
  EXPECT_EQ(bar->GetConstraints()->GetMinHeight(), 10);
  EXPECT_FALSE(bar->GetCtl3D());
  EXPECT_FALSE(bar->GetParentCtl3D());
  EXPECT_EQ(bar->GetDragKind(), dkDock);
  EXPECT_EQ(bar->GetDragMode(), dmAutomatic);
  EXPECT_TRUE(bar->GetShowHint());
  EXPECT_EQ(bar->GetPosition(), 7);
  // The events are bound to the form's own handlers.
  Integer position = 3;
  bar->GetOnScroll()(bar, scLineDown, position);
  Word key = VK_DOWN;
  bar->GetOnKeyDown()(bar, key, {});
  bar->GetOnEnter()(bar);
  bool handled = false;
  bar->GetOnContextPopup()(bar, TPoint{1, 1}, handled);
  EXPECT_EQ(form->Scrolls, 1);
  EXPECT_EQ(form->Keys, 1);
  EXPECT_EQ(form->Enters, 1);
  EXPECT_EQ(form->Popups, 1);

  // Written back, the values that differ from the defaults come out again.
  const std::string written = orv::WriteComponentToText(form.get());
  for (const char* line : {"Align = alBottom", "Anchors = [akLeft, akBottom]", "Constraints.MinHeight = 10",
                           "Ctl3D = False", "DragKind = dkDock", "DragMode = dmAutomatic", "ParentCtl3D = False",
                           "ParentShowHint = False", "ShowHint = True", "OnContextPopup = BarContextPopup",
                           "OnEnter = BarEnter", "OnKeyDown = BarKeyDown", "OnScroll = BarScroll"})
    EXPECT_NE(written.find(line), std::string::npos) << line << "\n" << written;
}

TEST(ScrollBarFormDescription, Ctl3DFollowsTheParentUntilSetOwnValue) {
  Owned<TcxScrollBar> bar(new TcxScrollBar(nullptr));
  EXPECT_TRUE(bar->GetParentCtl3D());
  EXPECT_TRUE(bar->GetCtl3D());
  bar->SetCtl3D(false);
  EXPECT_FALSE(bar->GetParentCtl3D());
  EXPECT_FALSE(bar->GetCtl3D());
  // Back to the parent's depth: every parent here is drawn in 3D.
  bar->SetParentCtl3D(true);
  EXPECT_TRUE(bar->GetParentCtl3D());
  EXPECT_TRUE(bar->GetCtl3D());
  // A bar that takes its parent's depth stores neither value.
  bar->SetName("Alone");
  const std::string written = orv::WriteComponentToText(bar.get());
  EXPECT_EQ(written.find("Ctl3D"), std::string::npos) << written;
}

}  // namespace
