// The list box container on the headless window system: the hosted native list and what the grid
// reads of it (items, index, hit test, item rectangle, messages), read-only through the data
// binding, Escape resetting the binding, owner drawing and the integral-height rule.
#include <gtest/gtest.h>

#include <vector>

#include "components/editors-more/cxListBox.h"
#include "components/editors-more/tests/EditorsMoreFixture.h"
#include "platform/controls/UserControls.h"

namespace {

using edmore_test::FormTest;
using edmore_test::Owned;

class TResettingBinding : public TcxDataBinding {
  ORV_CLASS(TResettingBinding, TcxDataBinding)
 public:
  using TcxDataBinding::TcxDataBinding;
  void Reset() override { ++Resets; }
  Variant GetStoredValue(TcxDataEditValueSource, Boolean) override { return Stored; }
  void SetStoredValue(TcxDataEditValueSource, const Variant& value) override { Stored = value; }
  int Resets = 0;
  Variant Stored;
};

class TBoundListBox : public TcxListBox {
  ORV_CLASS(TBoundListBox, TcxListBox)
 public:
  explicit TBoundListBox(TComponent* owner) : TcxListBox(owner) {}
  orv::ClassOf<TcxDataBinding> GetDataBindingClass() override { return TResettingBinding::StaticClass(); }
  TResettingBinding* Binding() { return static_cast<TResettingBinding*>(GetDataBinding()); }
};

class TListLog : public TObject {
 public:
  void Down(TObject*, TMouseButton, TShiftState, Integer, Integer y) { Downs.push_back(y); }
  void Draw(TcxListBox*, TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState) {
    Drawn.push_back(index);
    canvas->FillRect(rect, clRed);
  }
  std::vector<Integer> Downs;
  std::vector<Integer> Drawn;
};

class ListBoxTest : public FormTest {
 protected:
  TBoundListBox* Add(Integer count) {
    auto* list = new TBoundListBox(Form.get());
    list->SetParent(Form.get());
    list->SetLeft(10);
    list->SetTop(10);
    for (Integer i = 0; i < count; ++i) list->GetItems()->Add("Item " + IntToStr(i));
    return list;
  }
  static void ClickAt(TControl* c, const TPoint& p) {
    const TPoint s = c->ClientToScreen(p);
    orv::headless::AdvanceTime(1000);
    orv::headless::Click(s.X, s.Y);
    Run();
  }
  TListLog Log;
};

TEST_F(ListBoxTest, TheContainerAnswersForItsNativeList) {
  TBoundListBox* list = Add(20);
  EXPECT_EQ(list->GetWidth(), 121);
  EXPECT_EQ(list->GetHeight(), 97);
  Show();
  EXPECT_EQ(list->GetInnerListBox()->GetParent(), list);
  EXPECT_EQ(list->GetInnerControl(), list->GetInnerListBox());
  EXPECT_EQ(SendMessage(list->GetHandle(), LB_GETCOUNT, 0, 0), 20) << "list messages reach the inner list";
  list->SetItemIndex(3);
  EXPECT_EQ(list->GetInnerListBox()->GetItemIndex(), 3);
  // Item rectangles and hit tests are in the container's coordinates.
  const TRect r = list->ItemRect(2);
  const TRect inner = list->GetInnerListBox()->ItemRect(2);
  EXPECT_EQ(r.Left, inner.Left + list->GetInnerListBox()->GetLeft());
  EXPECT_EQ(r.Top, inner.Top + list->GetInnerListBox()->GetTop());
  EXPECT_EQ(list->ItemAtPos(TPoint{r.Left + 5, r.Top + 1}, true), 2);
  EXPECT_EQ(list->ItemAtPos(TPoint{r.Left + 5, list->GetHeight() + 50}, true), -1);
  list->Clear();
  EXPECT_EQ(list->GetCount(), 0);
}

TEST_F(ListBoxTest, ReadOnlyKeepsTheSelectionFromKeysTypingAndClicks) {
  TBoundListBox* list = Add(10);
  list->SetOnMouseDown(TMouseEvent(&Log, &TListLog::Down));
  Show();
  list->SetItemIndex(2);
  list->SetReadOnly(true);
  list->SetFocus();
  Run();
  orv::headless::PressKey(VK_DOWN);
  orv::headless::PressKey(VK_END);
  orv::headless::TypeText("Item 7");
  Run();
  EXPECT_EQ(list->GetItemIndex(), 2);
  const TRect r = list->ItemRect(5);
  ClickAt(list, TPoint{r.Left + 5, r.Top + 2});
  EXPECT_EQ(list->GetItemIndex(), 2);
  EXPECT_EQ(Log.Downs.size(), 1u) << "the press is still reported";
  EXPECT_TRUE(list->GetInnerListBox()->Focused());

  list->SetReadOnly(false);
  orv::headless::PressKey(VK_DOWN);
  Run();
  EXPECT_EQ(list->GetItemIndex(), 3);
  ClickAt(list, TPoint{r.Left + 5, r.Top + 2});
  EXPECT_EQ(list->GetItemIndex(), 5);
}

TEST_F(ListBoxTest, EscapeResetsTheBindingAndTheSelectionFollowsTheBoundText) {
  TBoundListBox* list = Add(5);
  Show();
  list->SetFocus();
  Run();
  orv::headless::PressKey(VK_ESCAPE);
  Run();
  EXPECT_EQ(list->Binding()->Resets, 1);

  list->Binding()->Stored = Variant("Item 4"_a);
  TStringList items;
  for (const char* s : {"Item 0", "Item 4", "Item 9"}) items.Add(s);
  list->SetItems(&items);
  EXPECT_EQ(list->GetItemIndex(), 1) << "setting the items refreshes the selection from the data";
  list->Binding()->Stored = Variant("None"_a);
  list->GetDataBinding()->DataChanged();
  EXPECT_EQ(list->GetItemIndex(), -1);
  list->SetItemIndex(2);
  list->StoreToData();
  EXPECT_EQ(VarToStr(list->Binding()->Stored), "Item 9");
}

TEST_F(ListBoxTest, OwnerDrawnItemsGoThroughOnDrawItem) {
  TBoundListBox* list = Add(3);
  list->SetListStyle(lbOwnerDrawFixed);
  list->SetItemHeight(15);
  list->SetOnDrawItem(TcxListBoxDrawItemEvent(&Log, &TListLog::Draw));
  Show();
  list->Invalidate();
  list->Update();
  Run();
  EXPECT_EQ(Log.Drawn.size() >= 3u, true);
  const TRect r = list->ItemRect(1);
  EXPECT_EQ(Pixel(list, r.Left + 3, r.Top + 3), RGB(255, 0, 0));
}

TEST_F(ListBoxTest, IntegralHeightCutsNoItem) {
  TBoundListBox* list = Add(30);
  list->SetListStyle(lbOwnerDrawFixed);
  list->SetItemHeight(13);
  Show();
  const TRect e = list->GetBorderExtent();
  list->SetIntegralHeight(true);
  for (Integer requested : {97, 100, 60, 200}) {
    SCOPED_TRACE(requested);
    list->SetHeight(requested);
    const Integer rows = list->GetHeight() - e.Top - e.Bottom;
    EXPECT_EQ(rows % 13, 0);
    EXPECT_LE(list->GetHeight(), requested);
    EXPECT_GT(list->GetHeight() + 13, requested);
  }
  list->SetAlign(alClient);
  Run();
  EXPECT_EQ(list->GetHeight(), Form->GetClientHeight()) << "a client-aligned list is not snapped";
}

}  // namespace
