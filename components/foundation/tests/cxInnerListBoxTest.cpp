// The inner list box inside a container on the headless window system: the own scroll bar laid
// over the native one and scrolling through it, incremental search by typing, and keys, mouse and
// clicks forwarded to the container.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "components/foundation/cxContainer.h"
#include "platform/controls/Forms.h"
#include "platform/controls/UserControls.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

using orv::test::Owned;

// The inner list of the test container: its native bar comes and goes with the items.
class TTestInnerListBox : public TcxCustomInnerListBox {
  ORV_CLASS(TTestInnerListBox, TcxCustomInnerListBox)
 public:
  explicit TTestInnerListBox(TComponent* owner) : TcxCustomInnerListBox(owner) {}
};

// A list container as the list boxes of the editors are.
class TListContainer : public TcxContainer {
  ORV_CLASS(TListContainer, TcxContainer)
 public:
  explicit TListContainer(TComponent* owner) : TcxContainer(owner) {
    List = new TTestInnerListBox(this);
    List->SetContainer(this);
    List->SetParent(this);
    List->GetLookAndFeel()->SetMaster(GetStyle()->GetLookAndFeel());
    SetInnerControl(List);
  }
  TcxCustomInnerListBox* List;
};

// Records what reaches the container and the list box.
class TRecorder : public TObject {
  ORV_CLASS(TRecorder, TObject)
 public:
  TRecorder() = default;
  void MouseDown(TObject* sender, TMouseButton, TShiftState, Integer x, Integer y) {
    Log.push_back("down " + std::to_string(x) + "," + std::to_string(y));
  }
  void Click(TObject* sender) { Log.push_back(sender == Container ? "container click" : "list click"); }
  void ListKey(TObject* sender, char& key) { Keys += key; }
  void ContainerKey(TObject* sender, Word& key, TShiftState shift) {
    Log.push_back("container key " + std::to_string(key));
  }
  std::vector<std::string> Log;
  std::string Keys;
  TObject* Container = nullptr;
};

class InnerListBoxTest : public orv::test::HeadlessFormTest {
 protected:
  InnerListBoxTest() : HeadlessFormTest({100, 100, 300, 300}) {}
  void SetUp() override {
    HeadlessFormTest::SetUp();
    Box = new TListContainer(Form.get());
    Box->SetParent(Form.get());
    Box->SetBounds(10, 10, 120, 100);
    Box->GetStyle()->SetTransparentBorder(false);
    Box->GetStyle()->SetBorderStyle(cbsSingle);
    List()->GetFont()->SetName(orv::kTestFontFace);
  }
  TcxCustomInnerListBox* List() { return Box->List; }
  void Fill(int count) {
    for (int i = 0; i < count; ++i) List()->GetItems()->Add("Item " + std::to_string(i));
  }

  TListContainer* Box = nullptr;
};

TEST_F(InnerListBoxTest, OwnScrollBarLiesOverTheNativeOneAndScrollsTheList) {
  Fill(30);
  Show();
  EXPECT_EQ(FindOwningContainer(List()), Box);
  TcxScrollBar* bar = List()->GetVScrollBar();
  ASSERT_TRUE(bar->GetVisible());
  EXPECT_EQ(bar->GetParent(), Box);
  EXPECT_FALSE(List()->GetHScrollBar()->GetVisible());
  EXPECT_EQ(List()->GetHScrollBar()->GetBoundsRect(), TRect{});
  SCROLLBARINFO info;
  ASSERT_TRUE(QueryScrollBarInfo(List()->GetHandle(), OBJID_VSCROLL, info));
  const TPoint topLeft = Box->ScreenToClient(info.rcScrollBar.TopLeft());
  EXPECT_EQ(bar->GetBoundsRect(), (TRect{topLeft.X, topLeft.Y, topLeft.X + info.rcScrollBar.Width(),
                                         topLeft.Y + info.rcScrollBar.Height()}));
  EXPECT_EQ(bar->GetMax(), 29);
  EXPECT_EQ(bar->GetPosition(), 0);
  // Scrolling through the own bar moves the list; the list moving moves the bar.
  bar->PerformScroll(scLineDown);
  Run();
  EXPECT_EQ(List()->GetTopIndex(), 1);
  bar->PerformScroll(scPageDown);
  Run();
  EXPECT_GT(List()->GetTopIndex(), 1);
  EXPECT_EQ(bar->GetPosition(), List()->GetTopIndex());
  List()->SetTopIndex(5);
  Run();
  EXPECT_EQ(bar->GetPosition(), 5);
  // A disabled native bar makes the own bar disabled.
  EXPECT_TRUE(bar->GetEnabled());
  EnableScrollBar(List()->GetHandle(), SB_VERT, ESB_DISABLE_BOTH);
  List()->SyncScrollBars();
  EXPECT_TRUE(bar->GetVisible());
  EXPECT_FALSE(bar->GetEnabled());
  EnableScrollBar(List()->GetHandle(), SB_VERT, ESB_ENABLE_BOTH);
  List()->SyncScrollBars();
  EXPECT_TRUE(bar->GetEnabled());
  // A native page above the range is cut to it.
  SCROLLINFO si{};
  si.cbSize = 28;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
  si.nMin = 0;
  si.nMax = 5;
  si.nPage = 50;
  SetScrollInfo(List()->GetHandle(), SB_VERT, &si, FALSE);
  List()->SyncScrollBars();
  EXPECT_EQ(bar->GetMax(), 5);
  EXPECT_EQ(bar->GetPageSize(), 5);
  // A list that fits loses its native bar, and with it the own bar, which keeps no bounds.
  List()->Clear();
  Run();
  EXPECT_FALSE(bar->GetVisible());
  EXPECT_EQ(bar->GetBoundsRect(), TRect{});
  // Items that overflow again bring both back.
  Fill(30);
  Run();
  EXPECT_TRUE(bar->GetVisible());
  EXPECT_EQ(bar->GetMax(), 29);
}

TEST_F(InnerListBoxTest, TypingFindsItemsWithinTheDelay) {
  for (const char* name : {"Абаза", "Абакан", "Барнаул", "Бийск", "Бирск"})
    List()->GetItems()->Add(orv::Utf8ToAnsi(name));
  Show();
  List()->SetFocus();
  Run();
  orv::headless::TypeText("Б"_a);
  Run();
  EXPECT_EQ(List()->GetItemIndex(), 2);
  orv::headless::AdvanceTime(100);
  orv::headless::TypeText("ир"_a);
  Run();
  EXPECT_EQ(List()->GetItemIndex(), 4);
  EXPECT_EQ(List()->GetSearchText(), "Бир"_a);
  // After the delay a letter starts a new search.
  orv::headless::AdvanceTime(600);
  orv::headless::TypeText("А"_a);
  Run();
  EXPECT_EQ(List()->GetItemIndex(), 0);
  orv::headless::TypeText("бак"_a);
  Run();
  EXPECT_EQ(List()->GetItemIndex(), 1);
  // Backspace takes a letter back; on an empty search text it selects the first item.
  orv::headless::AdvanceTime(600);
  List()->SetItemIndex(3);
  orv::headless::PressKey(VK_BACK);
  Run();
  EXPECT_EQ(List()->GetSearchText(), "");
  EXPECT_EQ(List()->GetItemIndex(), 0);
  // No match keeps the selection.
  orv::headless::TypeText("Я"_a);
  Run();
  EXPECT_EQ(List()->GetItemIndex(), 0);
}

TEST_F(InnerListBoxTest, KeysMouseAndClicksReachTheContainer) {
  Fill(5);
  TRecorder rec;
  rec.Container = Box;
  Box->SetOnMouseDown(TMouseEvent(&rec, &TRecorder::MouseDown));
  Box->SetOnClick(TNotifyEvent(&rec, &TRecorder::Click));
  Box->SetOnKeyDown(TKeyEvent(&rec, &TRecorder::ContainerKey));
  List()->SetOnClick(TNotifyEvent(&rec, &TRecorder::Click));
  List()->SetOnKeyPress(TKeyPressEvent(&rec, &TRecorder::ListKey));
  List()->SetAutoComplete(false);
  Show();
  const TPoint p = List()->ClientToScreen(Point(5, 3));
  orv::headless::Click(p.X, p.Y);
  Run();
  const std::string down = "down " + std::to_string(5 + List()->GetLeft()) + "," + std::to_string(3 + List()->GetTop());
  EXPECT_NE(std::find(rec.Log.begin(), rec.Log.end(), down), rec.Log.end());
  EXPECT_NE(std::find(rec.Log.begin(), rec.Log.end(), "list click"), rec.Log.end());
  EXPECT_NE(std::find(rec.Log.begin(), rec.Log.end(), "container click"), rec.Log.end());
  EXPECT_EQ(GetFocus(), List()->GetHandle());
  EXPECT_TRUE(Box->Focused());
  EXPECT_TRUE(Box->GetViewInfo()->ContainerState.Contains(csActive));
  // Keys go to the container first; Tab and Enter never reach the list box's own handling.
  rec.Log.clear();
  orv::headless::PressKey(VK_DOWN);
  Run();
  ASSERT_FALSE(rec.Log.empty());
  EXPECT_EQ(rec.Log[0], "container key " + std::to_string(VK_DOWN));
  EXPECT_EQ(List()->GetItemIndex(), 1);
  orv::headless::TypeText("x"_a);
  orv::headless::PressKey(VK_RETURN);
  Run();
  EXPECT_EQ(rec.Keys, "x");
}

TEST_F(InnerListBoxTest, ItemsArePaintedSelectedInTheHighlightColours) {
  Fill(3);
  Show();
  List()->SetItemIndex(1);
  Run();
  const TRect r = List()->ItemRect(1);
  const orv::TSurface s = orv::headless::CaptureClient(List()->GetHandle());
  const std::uint32_t p = s.Pixel(r.Right - 2, r.Top + 1) & 0xFFFFFF;
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_EQ(p, std::uint32_t((GetRValue(highlight) << 16) | (GetGValue(highlight) << 8) | GetBValue(highlight)));
}

}  // namespace

// ---- The container's own pair over its inner control ---------------------------------------------

// A list whose native vertical bar stays (disabled when the list fits).
class TBarListBox : public TListBox {
  ORV_CLASS(TBarListBox, TListBox)
 public:
  explicit TBarListBox(TComponent* owner) : TListBox(owner) {}

 protected:
  void CreateParams(TCreateParams& params) override {
    inherited::CreateParams(params);
    params.Style |= LBS_DISABLENOSCROLL;
  }
};

// A container that mirrors its inner control's scroll bars with its own.
class TScrollingContainer : public TcxContainer {
  ORV_CLASS(TScrollingContainer, TcxContainer)
 public:
  explicit TScrollingContainer(TComponent* owner) : TcxContainer(owner) {
    List = new TBarListBox(this);
    List->SetParent(this);
    SetInnerControl(List);
  }
  TBarListBox* List;

 protected:
  Boolean NeedsScrollBars() override { return true; }
};

TEST_F(InnerListBoxTest, ContainerBarsMirrorTheInnerControlsBars) {
  auto* c = new TScrollingContainer(Form.get());
  c->SetParent(Form.get());
  c->SetBounds(150, 10, 120, 100);
  for (int i = 0; i < 40; ++i) c->List->GetItems()->Add("Line " + std::to_string(i));
  Show();
  c->List->SetTopIndex(7);
  c->PostUpdateInnerScrollBars();
  Run();
  TcxScrollBar* v = c->GetVScrollBar();
  TcxScrollBar* h = c->GetHScrollBar();
  ASSERT_TRUE(v->GetVisible());
  EXPECT_FALSE(h->GetVisible());
  EXPECT_EQ(v->GetParent(), c);
  SCROLLBARINFO info;
  ASSERT_TRUE(QueryScrollBarInfo(c->List->GetHandle(), OBJID_VSCROLL, info));
  TRect r;
  c->ScreenToClientRect(info.rcScrollBar, r);
  EXPECT_EQ(v->GetBoundsRect(), (TRect{r.Left, r.Top, r.Left + r.Right, r.Top + r.Bottom}));
  EXPECT_EQ(v->GetMax(), 39);
  EXPECT_EQ(v->GetPosition(), 7);
  EXPECT_LE(v->GetPageSize(), v->GetMax());
  // A rectangle that does not fit the control gives nothing.
  const TPoint origin = c->ClientToScreen(TPoint{0, 0});
  c->ScreenToClientRect(TRect{origin.X - 1, origin.Y, origin.X + 5, origin.Y + 5}, r);
  EXPECT_EQ(r, TRect{});
  c->ScreenToClientRect(TRect{origin.X, origin.Y, origin.X + 121, origin.Y + 5}, r);
  EXPECT_EQ(r, TRect{});
}

TEST_F(InnerListBoxTest, PressOnASelectedItemDragsWithoutChangingTheSelection) {
  Fill(6);
  List()->SetMultiSelect(true);
  Box->SetDragMode(dmAutomatic);
  EXPECT_EQ(List()->GetDragMode(), dmAutomatic);
  Show();
  List()->SetSelected(1, true);
  List()->SetSelected(3, true);
  const TRect item = List()->ItemRect(3);
  const TPoint p = List()->ClientToScreen(Point(item.Left + 4, item.Top + 2));
  orv::headless::MouseMove(p.X, p.Y);
  orv::headless::MouseDown();
  Run();
  orv::headless::MouseMove(p.X + 12, p.Y + 12);
  Run();
  EXPECT_TRUE(Box->Dragging());
  EXPECT_TRUE(List()->GetSelected(1));
  EXPECT_TRUE(List()->GetSelected(3));
  EXPECT_EQ(List()->GetSelCount(), 2);
  EXPECT_EQ(List()->GetDragMode(), dmAutomatic);
  orv::headless::MouseUp();
  Run();
  Box->EndDrag(false);
  // A press on an item that is not selected selects it first, then the drag begins.
  const TRect other = List()->ItemRect(4);
  const TPoint q = List()->ClientToScreen(Point(other.Left + 4, other.Top + 2));
  orv::headless::AdvanceTime(1000);
  orv::headless::MouseMove(q.X, q.Y);
  orv::headless::MouseDown();
  Run();
  orv::headless::MouseMove(q.X + 12, q.Y + 12);
  Run();
  EXPECT_TRUE(List()->GetSelected(4));
  EXPECT_TRUE(Box->Dragging());
  orv::headless::MouseUp();
  Run();
  Box->EndDrag(false);
}
