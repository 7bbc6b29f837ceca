// The drop-down editors on the headless window system: the combo box's list popup opened and
// closed by keys and mouse with its close reasons, its size by rows, its place beside the editor,
// incremental search while it is open; the popup editor's control moved into the popup and back;
// the popup size setters.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "components/editors/cxDropDownEdit.h"
#include "components/editors/cxEditConsts.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Gdi.h"
#include "platform/drawing/Surface.h"
#include "platform/windowing/Headless.h"
#include "platform/controls/UserControls.h"
#include "platform/windowing/User.h"

namespace {

using orv::test::Owned;

class TPopupLog : public TObject {
 public:
  void Closed(TObject*, Integer reason) { Reasons.push_back(reason); }
  void Click(TObject*) { ++Clicks; }
  std::vector<Integer> Reasons;
  int Clicks = 0;
};

class DropDownEditTest : public orv::test::HeadlessFormTest {
 protected:
  DropDownEditTest() : HeadlessFormTest({100, 100, 400, 660}) {}
  TcxComboBox* AddCombo(Integer count, Integer top = 10) {
    auto* c = new TcxComboBox(Form.get());
    c->SetParent(Form.get());
    c->SetBounds(10, top, 202, 21);
    for (Integer i = 0; i < count; ++i) c->GetProperties()->GetItems()->Add("Item " + IntToStr(i));
    c->GetProperties()->SetOnPopupClosed(TcxEditClosePopupEvent(&Log, &TPopupLog::Closed));
    return c;
  }
  void ShowAndFocus(TcxCustomEdit* e) {
    Form->Show();
    Run();
    e->SetFocus();
    Run();
  }
  static void Press(int vk, bool shift = false, bool ctrl = false, bool alt = false) {
    orv::headless::PressKey(vk, shift, ctrl, alt);
    Run();
  }
  static void Type(const AnsiString& text) {
    orv::headless::TypeText(text);
    Run();
  }
  static TcxCustomEditListBox* List(TcxComboBox* c) {
    return static_cast<TcxCustomEditListBox*>(c->GetLookupDataInterface()->GetListControl());
  }
  static TRect ScreenRect(TControl* c) {
    TRect r{};
    GetWindowRect(static_cast<TWinControl*>(c)->GetHandle(), &r);
    return r;
  }
  static void PressAndRelease(const TPoint& p) {
    orv::headless::AdvanceTime(1000);  // not a double click
    orv::headless::MouseMove(p.X, p.Y);
    Run();
    orv::headless::MouseDown();
    Run();
    orv::headless::MouseUp();
    Run();
  }
  static void ClickAt(const TPoint& p) {
    orv::headless::Click(p.X, p.Y);
    Run();
  }
  TPopupLog Log;
};

TEST_F(DropDownEditTest, TheListShowsAtMostDropDownRowsAndScrollsBeyondThem) {
  struct Case {
    Integer Items, Rows, ShownRows;
    bool ScrollBar;
  };
  for (const Case& k : {Case{30, 27, 27, true}, Case{3, 27, 3, false}, Case{8, 8, 8, false}, Case{9, 8, 8, true}}) {
    SCOPED_TRACE(k.Items);
    TcxComboBox* c = AddCombo(k.Items);
    c->GetProperties()->SetDropDownRows(k.Rows);
    ShowAndFocus(c);
    Press(VK_F4);
    ASSERT_TRUE(c->HasOpenPopup());
    TcxCustomEditListBox* list = List(c);
    const Integer rowHeight = list->GetItemHeight(-1);
    EXPECT_EQ(list->GetClientHeight(), k.ShownRows * rowHeight);
    // The list is as wide as the editor's frame (its items are narrower); the bar fits inside.
    const TRect popup = ScreenRect(c->GetPopupWindow());
    EXPECT_EQ(popup.Width(), c->GetPopupOwnerBounds().Width());
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    const bool scrolls = GetScrollInfo(list->GetHandle(), SB_VERT, &si) && Integer(si.nPage) <= si.nMax;
    EXPECT_EQ(scrolls, k.ScrollBar);
    Press(VK_ESCAPE);
    EXPECT_FALSE(c->HasOpenPopup());
    c->Free();
  }
}

TEST_F(DropDownEditTest, TheListWidensToItsWidestItemAsTheItemsChange) {
  TcxComboBox* c = AddCombo(3);
  ShowAndFocus(c);
  Press(VK_F4);
  const Integer narrow = ScreenRect(c->GetPopupWindow()).Width();
  Press(VK_ESCAPE);
  c->GetProperties()->GetItems()->Add(AnsiString(60, 'W'));
  Press(VK_F4);
  const Integer wide = ScreenRect(c->GetPopupWindow()).Width();
  EXPECT_GT(wide, narrow + 100);
  EXPECT_GE(List(c)->GetClientWidth(), List(c)->GetItemWidth(3)) << "the widest item fits";
  Press(VK_ESCAPE);
  c->GetProperties()->GetItems()->Delete(3);
  Press(VK_F4);
  EXPECT_EQ(ScreenRect(c->GetPopupWindow()).Width(), narrow);
  Press(VK_ESCAPE);
}

TEST_F(DropDownEditTest, KeysOpenToggleAcceptAndCancelWithTheirCloseReasons) {
  TcxComboBox* c = AddCombo(10);
  ShowAndFocus(c);

  // F4 twice: open, then closed by toggling, which takes the list's item.
  Press(VK_F4);
  ASSERT_TRUE(c->HasOpenPopup());
  Press(VK_DOWN);
  Press(VK_DOWN);
  EXPECT_EQ(c->GetTextProperty(), "") << "moving in an open list does not change the text yet";
  Press(VK_F4);
  EXPECT_FALSE(c->HasOpenPopup());
  EXPECT_EQ(c->GetItemIndexProperty(), 1);
  EXPECT_EQ(c->GetTextProperty(), "Item 1");

  // Alt+Down opens, Escape cancels: the list's move is not taken and the key is consumed.
  Press(VK_DOWN, false, false, true);
  ASSERT_TRUE(c->HasOpenPopup());
  Press(VK_DOWN);
  Press(VK_DOWN);
  Press(VK_ESCAPE);
  EXPECT_FALSE(c->HasOpenPopup());
  EXPECT_EQ(c->GetTextProperty(), "Item 1");

  // Enter accepts.
  Press(VK_F4);
  Press(VK_DOWN);
  Press(VK_RETURN);
  EXPECT_FALSE(c->HasOpenPopup());
  EXPECT_EQ(c->GetTextProperty(), "Item 2");
  EXPECT_EQ(c->GetItemIndexProperty(), 2);

  // Alt+Up toggles closed like F4.
  Press(VK_F4);
  Press(VK_UP, false, false, true);
  EXPECT_FALSE(c->HasOpenPopup());

  EXPECT_EQ(Log.Reasons, (std::vector<Integer>{dcrToggle, dcrCancel, dcrAccept, dcrToggle}));
}

TEST_F(DropDownEditTest, TheButtonOpensARowClickPicksAndAClickOutsideCloses) {
  TcxComboBox* c = AddCombo(10);
  ShowAndFocus(c);
  const TRect editor = ScreenRect(c);
  const TPoint button{editor.Right - 6, editor.Top + editor.Height() / 2};
  ClickAt(button);
  ASSERT_TRUE(c->HasOpenPopup());
  TcxCustomEditListBox* list = List(c);
  const TRect listRect = ScreenRect(list);
  const TRect popupRect = ScreenRect(c->GetPopupWindow());
  const TRect owner = c->GetPopupOwnerBounds();
  EXPECT_EQ(popupRect.Top, Form->ClientToScreen(TPoint{0, owner.Bottom}).Y) << "the list opens right below the editor";
  EXPECT_EQ(popupRect.Left, Form->ClientToScreen(TPoint{owner.Left, 0}).X);

  // A click on the fourth row picks it.
  const Integer row = list->GetItemHeight(-1);
  ClickAt(TPoint{listRect.Left + 20, listRect.Top + 3 * row + row / 2});
  EXPECT_FALSE(c->HasOpenPopup());
  EXPECT_EQ(c->GetItemIndexProperty(), 3);
  EXPECT_EQ(c->GetTextProperty(), "Item 3");

  // A click on the button of an open list closes it and does not open it again.
  ClickAt(button);
  ASSERT_TRUE(c->HasOpenPopup());
  ClickAt(button);
  EXPECT_FALSE(c->HasOpenPopup());

  // A click elsewhere on the form closes it without taking anything.
  ClickAt(button);
  ASSERT_TRUE(c->HasOpenPopup());
  Press(VK_DOWN);
  ClickAt(TPoint{editor.Left + 300, editor.Top + 400});
  EXPECT_FALSE(c->HasOpenPopup());
  EXPECT_EQ(c->GetTextProperty(), "Item 3");
  EXPECT_EQ(Log.Reasons, (std::vector<Integer>{dcrAccept, dcrOther, dcrOther}));
}

TEST_F(DropDownEditTest, TypingOpensTheListAndFindsTheFirstItemStartingSoWithoutRegardToCase) {
  TcxComboBox* c = AddCombo(0);
  TStrings* items = c->GetProperties()->GetItems();
  for (const char* name : {"Мадрид", "москва", "Москва-Сити", "Мурманск", "Осло"}) items->Add(orv::Utf8ToAnsi(name));
  ShowAndFocus(c);
  Type("М"_a);
  EXPECT_TRUE(c->HasOpenPopup()) << "a typed character opens the list";
  Type("ОС"_a);
  // Free text: what was typed stays as typed, the rest of the found item is selected after it.
  EXPECT_EQ(c->GetTextProperty(), "МОСква"_a);
  EXPECT_EQ(c->GetItemIndexProperty(), 1);
  EXPECT_EQ(List(c)->GetItemIndex(), 1) << "the open list shows the found item";
  Press(VK_RETURN);
  EXPECT_FALSE(c->HasOpenPopup());
  EXPECT_EQ(c->GetTextProperty(), "москва"_a) << "Enter takes the item's own text";
  EXPECT_EQ(c->GetItemIndexProperty(), 1);

  // A text that starts no item is kept and has no item.
  c->SetTextProperty(AnsiString());
  Type("Мос"_a);
  Type("x"_a);
  Press(VK_ESCAPE);
  EXPECT_EQ(c->GetTextProperty(), "Мосx"_a);
  EXPECT_EQ(c->GetItemIndexProperty(), -1);
}

TEST_F(DropDownEditTest, TheOpenListScrollsByWheelAndPagesByKeys) {
  TcxComboBox* c = AddCombo(100);
  c->GetProperties()->SetDropDownRows(10);
  ShowAndFocus(c);
  Press(VK_F4);
  TcxCustomEditListBox* list = List(c);
  ASSERT_EQ(list->GetTopIndex(), 0);
  const TRect r = ScreenRect(list);
  orv::headless::MouseMove(r.Left + 10, r.Top + 10);
  Run();
  orv::headless::Wheel(-WHEEL_DELTA);
  Run();
  EXPECT_EQ(list->GetTopIndex(), 3) << "one notch scrolls the wheel's three lines";
  EXPECT_TRUE(c->HasOpenPopup());
  // Over the editor too the wheel scrolls the open list.
  const TRect editor = ScreenRect(c);
  orv::headless::MouseMove(editor.Left + 10, editor.Top + 5);
  Run();
  orv::headless::Wheel(-WHEEL_DELTA);
  Run();
  EXPECT_EQ(list->GetTopIndex(), 6);
  EXPECT_EQ(c->GetTextProperty(), "") << "scrolling picks nothing";

  Press(VK_NEXT);
  EXPECT_EQ(list->GetItemIndex(), 9) << "a page down from nothing ends on the page's last row";
  Press(VK_NEXT);
  EXPECT_EQ(list->GetItemIndex(), 18);
  EXPECT_GE(list->GetTopIndex(), 9);
  Press(VK_END, false, false);
  Press(VK_NEXT, false, true);
  EXPECT_EQ(list->GetItemIndex(), 99);
  Press(VK_RETURN);
  EXPECT_EQ(c->GetTextProperty(), "Item 99");
}

TEST_F(DropDownEditTest, TheListOpensAboveTheEditorWhenThereIsNoRoomBelow) {
  // The headless screen is 768 pixels high; 27 rows need more than the room below y 680.
  Form->SetBounds(100, 0, 400, 768);
  TcxComboBox* low = AddCombo(40, 680);
  low->GetProperties()->SetDropDownRows(27);
  ShowAndFocus(low);
  Press(VK_F4);
  ASSERT_TRUE(low->HasOpenPopup());
  const TRect popup = ScreenRect(low->GetPopupWindow());
  const TRect owner = low->GetPopupOwnerBounds();
  EXPECT_EQ(popup.Bottom, Form->ClientToScreen(TPoint{0, owner.Top}).Y);
  EXPECT_EQ(List(low)->GetClientHeight(), 27 * List(low)->GetItemHeight(-1)) << "all rows fit above";
  Press(VK_ESCAPE);

  // With a sizing grip, the grip goes to a top corner, away from the editor.
  low->GetProperties()->SetDropDownSizeable(true);
  Press(VK_F4);
  TcxCustomEditPopupWindowViewInfo* vi = low->GetPopupWindow()->GetPopupViewInfo();
  EXPECT_EQ(vi->GripCorner, 1);
  EXPECT_TRUE(vi->HasSysPanel);
  EXPECT_LT(vi->GripRect.Top, vi->ClientRect.Top) << "the system panel lies above the list";
  Integer horz = 0, vert = 0;
  EXPECT_TRUE(vi->HitTestSizingArea(TPoint{5, vi->Bounds.Height() - 1}, horz, vert));
  EXPECT_EQ(vert, 0) << "the edge next to the editor never resizes";
  Press(VK_ESCAPE);
}

TEST_F(DropDownEditTest, AnEmptyListDoesNotOpen) {
  TcxComboBox* c = AddCombo(0);
  ShowAndFocus(c);
  Press(VK_F4);
  Type("a"_a);
  const TRect editor = ScreenRect(c);
  ClickAt(TPoint{editor.Right - 6, editor.Top + 8});
  EXPECT_FALSE(c->HasOpenPopup());
  EXPECT_EQ(GetOpenPopupCount(), 0);
  EXPECT_EQ(c->GetTextProperty(), "a");
}

TEST_F(DropDownEditTest, AListOfFixedRowsHoldsOnlyItsRowCountAndMeasuredRowsKeepTheCount) {
  class TMeasure : public TObject {
   public:
    void Measure(TcxCustomComboBox*, Integer index, TcxCanvas*, Integer& height) { height = 20 + index % 2; }
  } measure;
  TcxComboBox* c = AddCombo(3000);
  ShowAndFocus(c);
  auto openAndCheck = [&](bool noData, Integer count) {
    Press(VK_F4);
    ASSERT_TRUE(c->HasOpenPopup());
    TcxCustomEditListBox* list = List(c);
    const LONG_PTR style = GetWindowLongPtr(list->GetHandle(), GWL_STYLE);
    EXPECT_EQ((style & LBS_NODATA) != 0, noData);
    EXPECT_EQ((style & LBS_OWNERDRAWVARIABLE) != 0, !noData);
    EXPECT_EQ(SendMessage(list->GetHandle(), LB_GETCOUNT, 0, 0), count);
    EXPECT_EQ(list->GetCount(), count);
    EXPECT_EQ(list->GetItemText(count - 1), "Item " + IntToStr(count - 1));
    Press(VK_ESCAPE);
  };
  {
    SCOPED_TRACE("fixed rows");
    openAndCheck(true, 3000);
  }
  c->GetProperties()->SetOnMeasureItem(TcxComboBoxMeasureItemEvent(&measure, &TMeasure::Measure));
  {
    SCOPED_TRACE("measured rows");
    openAndCheck(false, 3000);
  }
  c->GetProperties()->SetOnMeasureItem(TcxComboBoxMeasureItemEvent());
  c->GetProperties()->GetItems()->Add("Item 3000");
  {
    SCOPED_TRACE("fixed again, one more item");
    openAndCheck(true, 3001);
  }
  // Picking the last row by keys still reaches its item.
  Press(VK_F4);
  Press(VK_NEXT, false, true);
  Press(VK_RETURN);
  EXPECT_EQ(c->GetItemIndexProperty(), 3000);
  EXPECT_EQ(c->GetTextProperty(), "Item 3000");
}

TEST_F(DropDownEditTest, AFixedListOpensOnAClickIntoTheTextAndTypingOnlySearches) {
  TcxComboBox* c = AddCombo(5);
  c->GetProperties()->SetDropDownListStyle(lsFixedList);
  ShowAndFocus(c);
  const TRect editor = ScreenRect(c);
  ClickAt(TPoint{editor.Left + 20, editor.Top + 8});
  EXPECT_TRUE(c->HasOpenPopup());
  orv::headless::AdvanceTime(1000);  // not a double click
  ClickAt(TPoint{editor.Left + 20, editor.Top + 8});
  EXPECT_FALSE(c->HasOpenPopup()) << "a second click into the text closes it";
  ClickAt(TPoint{editor.Left + 20, editor.Top + 8});
  ASSERT_TRUE(c->HasOpenPopup());
  Press(VK_ESCAPE);
  Type("item 3"_a);
  EXPECT_EQ(c->GetTextProperty(), "Item 3") << "a fixed list shows the item found, in its own case";
  Type("x"_a);
  EXPECT_EQ(c->GetTextProperty(), "Item 3") << "a character that continues no item is refused";
  Press(VK_RETURN);
  EXPECT_EQ(c->GetItemIndexProperty(), 3);

  c->GetProperties()->SetDropDownListStyle(lsEditList);
  ClickAt(TPoint{editor.Left + 20, editor.Top + 8});
  EXPECT_FALSE(c->HasOpenPopup()) << "a free-text combo box only places the caret";
}

TEST_F(DropDownEditTest, DraggingTheGripSnapsTheListToWholeRowsAndTheNextOpeningKeepsTheSize) {
  TcxComboBox* c = AddCombo(30);
  c->GetProperties()->SetDropDownSizeable(true);
  ShowAndFocus(c);
  Press(VK_F4);
  ASSERT_TRUE(c->HasOpenPopup());
  TcxCustomEditPopupWindow* popup = c->GetPopupWindow();
  TcxCustomEditPopupWindowViewInfo* vi = popup->GetPopupViewInfo();
  ASSERT_EQ(vi->GripCorner, 3);
  TcxCustomEditListBox* list = List(c);
  const Integer row = list->GetItemHeight(-1);
  ASSERT_EQ(list->GetClientHeight(), 8 * row);
  const TRect grip = vi->GripHitRect;
  const TPoint start = popup->ClientToScreen(TPoint{(grip.Left + grip.Right) / 2, (grip.Top + grip.Bottom) / 2});
  orv::headless::MouseMove(start.X, start.Y);
  Run();
  orv::headless::MouseDown();
  Run();
  orv::headless::MouseMove(start.X + 30, start.Y + row * 5 / 2);
  Run();
  orv::headless::MouseUp();
  Run();
  ASSERT_TRUE(c->HasOpenPopup());
  EXPECT_EQ(list->GetClientHeight(), 10 * row) << "two and a half rows more give two whole rows";
  EXPECT_EQ(ScreenRect(popup).Width(), c->GetPopupOwnerBounds().Width() + 30);
  Press(VK_ESCAPE);
  Press(VK_F4);
  EXPECT_EQ(List(c)->GetClientHeight(), 10 * row) << "the user's size is kept";
  Press(VK_ESCAPE);

  // Not sizeable any more: the size is forgotten.
  c->GetProperties()->SetDropDownSizeable(false);
  Press(VK_F4);
  EXPECT_EQ(List(c)->GetClientHeight(), 8 * row);
  Press(VK_ESCAPE);
}

TEST_F(DropDownEditTest, TheCloseButtonClosesOnReleaseOverItUnlessCloseQueryRefuses) {
  class TQuery : public TObject {
   public:
    void Query(TObject*, bool& canClose) {
      ++Asked;
      canClose = Allow;
    }
    bool Allow = false;
    int Asked = 0;
  } query;
  TcxComboBox* c = AddCombo(10);
  c->GetProperties()->SetDropDownSizeable(true);
  c->GetProperties()->SetOnCloseQuery(TCloseQueryEvent(&query, &TQuery::Query));
  ShowAndFocus(c);
  Press(VK_F4);
  TcxCustomEditPopupWindow* popup = c->GetPopupWindow();
  TcxCustomEditPopupWindowViewInfo* vi = popup->GetPopupViewInfo();
  ASSERT_TRUE(vi->HasSysPanel);
  ASSERT_FALSE(RectIsEmpty(vi->CloseButtonRect));
  const TRect b = vi->CloseButtonRect;
  const TPoint on = popup->ClientToScreen(TPoint{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2});
  // Pressed on the button and released elsewhere: nothing.
  for (const TPoint& p : {on, TPoint{on.X + 60, on.Y}}) {
    orv::headless::MouseMove(p.X, p.Y);
    Run();
    if (p == on) orv::headless::MouseDown();
    Run();
  }
  orv::headless::MouseUp();
  Run();
  EXPECT_TRUE(c->HasOpenPopup());
  EXPECT_EQ(query.Asked, 0);
  // Released on it: asked, refused, still open.
  PressAndRelease(on);
  EXPECT_TRUE(c->HasOpenPopup());
  EXPECT_EQ(query.Asked, 1);
  query.Allow = true;
  PressAndRelease(on);
  EXPECT_FALSE(c->HasOpenPopup());
  EXPECT_EQ(Log.Reasons, (std::vector<Integer>{dcrOther}));
}

TEST_F(DropDownEditTest, AFilterRowEntersComboValuesWithAFreeTextComboThatKeepsItsButton) {
  TcxCustomFilterEditHelperClass helper =
      FilterEditsController()->FindFilterEditHelper(TcxComboBoxProperties::StaticClass());
  ASSERT_NE(helper, nullptr);
  EXPECT_TRUE(helper->KeepsEditButtons());
  EXPECT_EQ(helper->GetFilterEditorClass(), TcxComboBox::StaticClass());
  Owned<TcxComboBoxProperties> source(new TcxComboBoxProperties(nullptr));
  source->SetDropDownListStyle(lsFixedList);
  source->SetDropDownRows(20);
  source->SetRevertable(true);
  source->GetItems()->Add("a");
  Owned<TcxComboBoxProperties> filter(new TcxComboBoxProperties(nullptr));
  filter->Assign(source.get());
  helper->InitFilterProperties(filter.get(), source.get(), true);
  EXPECT_EQ(filter->GetDropDownListStyle(), lsEditList);
  EXPECT_EQ(filter->GetDropDownRows(), 8);
  EXPECT_FALSE(filter->GetImmediateDropDown());
  EXPECT_FALSE(filter->GetRevertable());
  EXPECT_EQ(filter->GetItems()->GetCount(), 1) << "the items stay";
}

TEST_F(DropDownEditTest, PopupEventsComeOncePerOpeningAndAFailedInitIsAskedAgain) {
  class TEvents : public TObject {
   public:
    void Init(TObject*) {
      Log.push_back("init");
      if (Fail) {
        Fail = false;
        throw Exception("refused");
      }
    }
    void Popup(TObject*) { Log.push_back("popup"); }
    void CloseUp(TObject*) { Log.push_back("closeup"); }
    void Finalize(TObject*) { Log.push_back("finalize"); }
    std::vector<std::string> Log;
    bool Fail = true;
  } events;
  TcxComboBox* c = AddCombo(5);
  TcxComboBoxProperties* p = c->GetProperties();
  p->SetOnInitPopup(TNotifyEvent(&events, &TEvents::Init));
  p->SetOnPopup(TNotifyEvent(&events, &TEvents::Popup));
  p->SetOnCloseUp(TNotifyEvent(&events, &TEvents::CloseUp));
  p->SetOnFinalizePopup(TNotifyEvent(&events, &TEvents::Finalize));
  ShowAndFocus(c);
  EXPECT_THROW(c->DropDown(), Exception);
  Run();
  EXPECT_FALSE(c->HasOpenPopup());
  Press(VK_F4);
  ASSERT_TRUE(c->HasOpenPopup());
  c->CloseUp(dcrCancel);
  c->CloseUp(dcrAccept);  // closed already: nothing
  Run();
  EXPECT_EQ(events.Log, (std::vector<std::string>{"init", "init", "popup", "finalize", "closeup"}));
  EXPECT_EQ(Log.Reasons, (std::vector<Integer>{dcrCancel}));
}

TEST_F(DropDownEditTest, AnOpeningStillQueuedWhenTheEditorGoesIsFinalizedUnshown) {
  int finalized = 0;
  class TCounter : public TObject {
   public:
    explicit TCounter(int& n) : N(n) {}
    void Finalize(TObject*) { ++N; }
    int& N;
  } counter(finalized);
  TcxComboBox* c = AddCombo(5);
  c->GetProperties()->SetOnFinalizePopup(TNotifyEvent(&counter, &TCounter::Finalize));
  ShowAndFocus(c);
  c->DropDown();  // the show is posted, not handled yet
  EXPECT_FALSE(c->HasOpenPopup());
  c->Free();
  EXPECT_EQ(finalized, 1);
  Run();
  EXPECT_EQ(GetOpenPopupCount(), 0);
}

TEST_F(DropDownEditTest, TabTakesTheListItemOnlyWithPostPopupValueOnTab) {
  TcxComboBox* c = AddCombo(5);
  auto* next = AddCombo(0, 50);
  ShowAndFocus(c);
  Press(VK_F4);
  Press(VK_DOWN);
  Press(VK_TAB);
  EXPECT_FALSE(c->HasOpenPopup());
  EXPECT_EQ(c->GetTextProperty(), "") << "leaving closes without taking the item";
  c->GetProperties()->SetPostPopupValueOnTab(true);
  c->SetFocus();
  Run();
  Press(VK_F4);
  Press(VK_DOWN);
  Press(VK_TAB);
  EXPECT_FALSE(c->HasOpenPopup());
  EXPECT_EQ(c->GetTextProperty(), "Item 0");
  EXPECT_TRUE(next->Focused());
  EXPECT_EQ(Log.Reasons, (std::vector<Integer>{dcrOther, dcrTab}));
}

TEST_F(DropDownEditTest, OnDrawItemDrawsTheListRowsAndAFixedListsEditArea) {
  class TDraw : public TObject {
   public:
    void Draw(TcxCustomComboBox*, TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state) {
      (state.Contains(odComboBoxEdit) ? EditArea : Rows).push_back(index);
      if (state.Contains(odComboBoxEdit)) {
        EditRect = rect;
        EditFocused = state.Contains(odFocused);
      }
      canvas->FillRect(rect, clRed);
    }
    std::vector<Integer> EditArea, Rows;
    TRect EditRect{};
    bool EditFocused = false;
  } draw;
  TcxComboBox* c = AddCombo(5);
  c->GetProperties()->SetDropDownListStyle(lsFixedList);
  c->GetProperties()->SetOnDrawItem(TcxEditDrawItemEvent(&draw, &TDraw::Draw));
  ShowAndFocus(c);
  c->SetItemIndexProperty(2);
  c->Invalidate();
  Run();
  ASSERT_FALSE(draw.EditArea.empty());
  EXPECT_EQ(draw.EditArea.back(), 2);
  EXPECT_TRUE(draw.EditFocused);
  const TRect client = c->GetEditViewInfo()->ClientRect;
  EXPECT_GE(draw.EditRect.Left, client.Left);
  EXPECT_LE(draw.EditRect.Right, client.Right);
  EXPECT_GT(draw.EditRect.Height(), 8) << "the handler gets the edit area, not a strip";
  Press(VK_F4);
  Run();
  EXPECT_FALSE(draw.Rows.empty()) << "the list's rows are drawn by the handler too";
  Press(VK_ESCAPE);

  // A free-text combo box shows its text as usual.
  c->GetProperties()->SetDropDownListStyle(lsEditList);
  draw.EditArea.clear();
  c->Invalidate();
  Run();
  EXPECT_TRUE(draw.EditArea.empty());
}

TEST_F(DropDownEditTest, WhatOnDrawItemDrawsInAFixedListsEditAreaIsWhatTheScreenShows) {
  class TDraw : public TObject {
   public:
    void Draw(TcxCustomComboBox*, TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state) {
      canvas->FillRect(rect, state.Contains(odComboBoxEdit) ? TColor(RGB(0, 160, 0)) : clWhite);
    }
  } draw;
  TcxComboBox* c = AddCombo(5);
  c->GetProperties()->SetDropDownListStyle(lsFixedList);
  c->GetProperties()->SetOnDrawItem(TcxEditDrawItemEvent(&draw, &TDraw::Draw));
  auto* other = AddCombo(1, 60);
  ShowAndFocus(c);
  auto greenAtCentre = [&] {
    const TRect client = c->GetEditViewInfo()->ClientRect;
    const orv::TSurface shot = orv::headless::CaptureWindow(c->GetHandle());
    const TPoint centre{(client.Left + client.Right) / 2, (client.Top + client.Bottom) / 2};
    return shot.Row(centre.Y)[centre.X] == orv::ColorToPixel(RGB(0, 160, 0));
  };
  c->SetItemIndexProperty(1);
  Run();
  EXPECT_TRUE(greenAtCentre()) << "focused";
  Press(VK_DOWN);
  EXPECT_EQ(c->GetItemIndexProperty(), 2);
  EXPECT_TRUE(greenAtCentre()) << "after a key picked the next item";
  other->SetFocus();
  Run();
  EXPECT_TRUE(greenAtCentre()) << "unfocused";
  // A free-text combo box shows its inner edit again, wholly.
  c->GetProperties()->SetDropDownListStyle(lsEditList);
  Run();
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(static_cast<TWinControl*>(c->GetInnerEdit()->GetControl())->GetHandle(), region), ERROR);
  DeleteObject(region);
  EXPECT_FALSE(greenAtCentre());
}

TEST_F(DropDownEditTest, PopupSizeSettersKeepTheMinimums) {
  Owned<TcxPopupEditProperties> p(new TcxPopupEditProperties(nullptr));
  EXPECT_EQ(p->GetPopupWidth(), 250);
  EXPECT_EQ(p->GetPopupHeight(), 200);
  p->SetPopupWidth(50);
  EXPECT_EQ(p->GetPopupWidth(), 100) << "raised to the minimum width";
  p->SetPopupWidth(0);
  EXPECT_EQ(p->GetPopupWidth(), 0) << "0 stays: the editor's width";
  p->SetPopupWidth(-5);
  EXPECT_EQ(p->GetPopupWidth(), 0);
  p->SetPopupHeight(150);
  p->SetPopupMinHeight(50);
  EXPECT_EQ(p->GetPopupHeight(), 150) << "lowering the minimum keeps the height";
  p->SetPopupMinHeight(180);
  EXPECT_EQ(p->GetPopupHeight(), 180) << "raising it above the height raises the height";
  Owned<TcxComboBoxProperties> combo(new TcxComboBoxProperties(nullptr));
  combo->SetDropDownRows(0);
  combo->SetDropDownRows(-3);
  EXPECT_EQ(combo->GetDropDownRows(), 8) << "rows below 1 are ignored";
}

TEST_F(DropDownEditTest, APopupEditorShowsItsControlAndPutsItBackAfterEachClosing) {
  auto* panel = new TGroupBox(Form.get());
  panel->SetParent(Form.get());
  panel->SetBounds(200, 300, 120, 80);
  panel->SetAlign(alNone);
  panel->SetVisible(false);
  auto* e = new TcxPopupEdit(Form.get());
  e->SetParent(Form.get());
  e->SetBounds(10, 10, 150, 21);
  e->GetProperties()->SetPopupControl(panel);
  e->GetProperties()->SetOnPopupClosed(TcxEditClosePopupEvent(&Log, &TPopupLog::Closed));
  ShowAndFocus(e);
  Press(VK_F4);
  ASSERT_TRUE(e->HasOpenPopup());
  EXPECT_EQ(panel->GetParent(), e->GetPopupWindow());
  EXPECT_TRUE(panel->GetVisible());
  EXPECT_EQ(panel->GetAlign(), alClient);
  e->ClosePopup(dcrCancel);
  Run();
  EXPECT_FALSE(e->HasOpenPopup());
  EXPECT_EQ(panel->GetParent(), Form.get());
  EXPECT_EQ(panel->GetBoundsRect(), (TRect{200, 300, 320, 380}));
  EXPECT_FALSE(panel->GetVisible());
  EXPECT_EQ(panel->GetAlign(), alNone);
  EXPECT_EQ(Log.Reasons, (std::vector<Integer>{dcrCancel}));

  // Destroyed while open: the control is back on its form, not freed with the popup.
  Press(VK_F4);
  ASSERT_TRUE(e->HasOpenPopup());
  e->Free();
  Run();
  EXPECT_EQ(panel->GetParent(), Form.get());
  EXPECT_EQ(panel->GetBoundsRect(), (TRect{200, 300, 320, 380}));
}

TEST_F(DropDownEditTest, APopupControlThatHoldsTheEditorIsRefused) {
  auto* panel = new TGroupBox(Form.get());
  panel->SetParent(Form.get());
  panel->SetBounds(0, 0, 300, 100);
  auto* e = new TcxPopupEdit(Form.get());
  e->SetParent(panel);
  e->SetBounds(10, 10, 150, 21);
  e->GetProperties()->SetPopupControl(panel);
  ShowAndFocus(e);
  EXPECT_THROW(e->DropDown(), EcxEditError);
  EXPECT_FALSE(e->HasOpenPopup());
  EXPECT_EQ(panel->GetParent(), Form.get());
  // A freed control is forgotten: the editor cannot drop down.
  auto* other = new TGroupBox(Form.get());
  e->GetProperties()->SetPopupControl(other);
  other->Free();
  EXPECT_EQ(e->GetProperties()->GetPopupControl(), nullptr);
  EXPECT_FALSE(e->CanDropDown());
}

}  // namespace
