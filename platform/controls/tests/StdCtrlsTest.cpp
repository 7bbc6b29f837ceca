// The standard controls driven by injected input: edits and memos (typing, selection, clipboard,
// undo, limits), buttons (default, cancel, accelerators), check boxes and radio buttons, list
// boxes (selection, owner drawing), labels and scroll bars.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/UserControls.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/Backend.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

using orv::test::Owned;

class StdCtrlsTest : public orv::test::HeadlessFormTest {
 protected:
  StdCtrlsTest() : HeadlessFormTest({0, 0, 320, 240}) {}
  void SetUp() override {
    HeadlessFormTest::SetUp();
    Form->GetFont()->SetName(orv::kTestFontFace);
    Form->GetFont()->SetHeight(-8);  // cells of 10 pixels, characters 5 wide
  }
  void TearDown() override {
    orv::headless::SetIdleHandler(nullptr);
    HeadlessFormTest::TearDown();
  }
  template <class T>
  T* Add(Integer x, Integer y, Integer w, Integer h) {
    T* c = new T(Form.get());
    c->SetParent(Form.get());
    c->SetBounds(x, y, w, h);
    return c;
  }
  void Type(const AnsiString& text) {
    orv::headless::TypeText(text);
    Run();
  }
  void Press(int key, bool shift = false, bool ctrl = false, bool alt = false) {
    orv::headless::PressKey(key, shift, ctrl, alt);
    Run();
  }
};

TEST_F(StdCtrlsTest, EditTypingSelectionAndUndo) {
  TEdit* edit = Add<TEdit>(10, 10, 200, 21);
  int changes = 0;
  auto changed = [&](TObject*) { ++changes; };
  edit->SetOnChange(TNotifyEvent::Callable(changed));
  Show();
  ASSERT_TRUE(edit->Focused());
  Type("Moscow");
  EXPECT_EQ(edit->GetText(), "Moscow");
  EXPECT_EQ(changes, 6);
  EXPECT_TRUE(edit->GetModified());
  Press(VK_LEFT, true);
  Press(VK_LEFT, true);
  EXPECT_EQ(edit->GetSelText(), "ow");
  Type("a");
  EXPECT_EQ(edit->GetText(), "Mosca");
  Press(VK_BACK);
  EXPECT_EQ(edit->GetText(), "Mosc");
  Press('Z', false, true);  // undo the backspace
  EXPECT_EQ(edit->GetText(), "Mosca");
  Press(VK_HOME);
  Press(VK_DELETE);
  EXPECT_EQ(edit->GetText(), "osca");
  edit->SetSelStart(1);
  edit->SetSelLength(2);
  EXPECT_EQ(edit->GetSelText(), "sc");
  edit->SetSelText("XY");
  EXPECT_EQ(edit->GetText(), "oXYa");
  // Word jumps with Ctrl.
  edit->SetText("one two three");
  Press(VK_HOME);
  Press(VK_RIGHT, true, true);
  EXPECT_EQ(edit->GetSelText(), "one ");
}

TEST_F(StdCtrlsTest, TheFocusedEditOwnsTheCaret) {
  TEdit* first = Add<TEdit>(10, 10, 200, 21);
  TEdit* second = Add<TEdit>(10, 40, 200, 21);
  TButton* button = Add<TButton>(10, 70, 75, 25);
  Show();
  ASSERT_TRUE(first->Focused());
  POINT start{}, moved{};
  ASSERT_TRUE(GetCaretPos(&start));
  Type("abc");
  ASSERT_TRUE(GetCaretPos(&moved));
  EXPECT_EQ(moved.X - start.X, 15);  // three characters five pixels wide
  EXPECT_EQ(moved.Y, start.Y);
  Press(VK_HOME);
  ASSERT_TRUE(GetCaretPos(&moved));
  EXPECT_EQ(moved.X, start.X);
  second->SetFocus();
  Run();
  ASSERT_TRUE(GetCaretPos(&moved));
  EXPECT_EQ(moved.X, start.X);  // the second edit is empty and made the caret anew
  button->SetFocus();
  Run();
  EXPECT_FALSE(GetCaretPos(&moved));  // a button has no caret
}

TEST_F(StdCtrlsTest, EditClipboardLimitsAndReadOnly) {
  TEdit* edit = Add<TEdit>(10, 10, 200, 21);
  Show();
  Type("Орване"_a);
  edit->SelectAll();
  Press('C', false, true);
  EXPECT_EQ(orv::headless::DesktopClipboard(), "Орване");
  Press(VK_END);
  Press('V', false, true);
  EXPECT_EQ(edit->GetText(), AnsiString("ОрванеОрване"_a));
  // The length limit cuts what is typed or pasted.
  edit->SetText("");
  edit->SetMaxLength(4);
  Type("abcdef");
  EXPECT_EQ(edit->GetText(), "abcd");
  // A read-only edit keeps its text; a password edit shows stars and copies nothing.
  edit->SetReadOnly(true);
  Type("x");
  Press(VK_BACK);
  EXPECT_EQ(edit->GetText(), "abcd");
  edit->SetReadOnly(false);
  edit->SetPasswordChar('*');
  orv::headless::SetDesktopClipboard("unchanged");
  edit->SelectAll();
  Press('C', false, true);
  EXPECT_EQ(orv::headless::DesktopClipboard(), "unchanged");
  Press('X', false, true);
  EXPECT_EQ(edit->GetText(), "abcd");
}

TEST_F(StdCtrlsTest, EditMouseSelectionAndPositions) {
  TEdit* edit = Add<TEdit>(10, 10, 200, 21);
  edit->SetText("abcdefgh");
  Show();
  HWND h = edit->GetHandle();
  // Character positions and points agree.
  const LRESULT pos = SendMessage(h, EM_POSFROMCHAR, 3, 0);
  const LRESULT ch = SendMessage(h, EM_CHARFROMPOS, 0, MAKELPARAM(LOWORD(std::uintptr_t(pos)) + 1, 5));
  EXPECT_EQ(LOWORD(std::uintptr_t(ch)), 3);
  // A drag from character 1 to character 4 selects "bcd".
  POINT from{LOWORD(std::uintptr_t(SendMessage(h, EM_POSFROMCHAR, 1, 0))), 5};
  POINT to{LOWORD(std::uintptr_t(SendMessage(h, EM_POSFROMCHAR, 4, 0))), 5};
  ClientToScreen(h, &from);
  ClientToScreen(h, &to);
  orv::headless::MouseMove(from.X, from.Y);
  orv::headless::MouseDown();
  orv::headless::MouseMove(to.X, to.Y);
  orv::headless::MouseUp();
  Run();
  EXPECT_EQ(edit->GetSelText(), "bcd");
  // Tabbing into an edit selects its text.
  TEdit* other = Add<TEdit>(10, 40, 200, 21);
  other->SetText("second");
  Run();
  Press(VK_TAB);
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(other->GetSelText(), "second");
}

TEST_F(StdCtrlsTest, MemoLinesReturnsAndWrapping) {
  TMemo* memo = Add<TMemo>(10, 10, 100, 80);
  Show();
  Type("ab");
  Press(VK_RETURN);
  Type("cd");
  EXPECT_EQ(memo->GetText(), "ab\r\ncd");
  EXPECT_EQ(memo->GetLines()->GetCount(), 2);
  EXPECT_EQ(memo->GetLines()->Get(1), "cd");
  EXPECT_EQ(memo->GetCaretPos(), Point(2, 1));
  memo->GetLines()->Add("ef");
  EXPECT_EQ(memo->GetText(), "ab\r\ncd\r\nef\r\n");
  // Long text wraps between words: each visual line is a line of the list.
  memo->SetText("aaaa bbbb cccc dddd eeee ffff");
  EXPECT_GT(memo->GetLines()->GetCount(), 1);
  EXPECT_EQ(memo->GetLines()->Get(0).substr(0, 4), "aaaa");
  // Without WantReturns Enter reaches the form (the default button).
  auto* button = Add<TButton>(120, 10, 60, 20);
  button->SetDefault(true);
  int clicks = 0;
  auto click = [&](TObject*) { ++clicks; };
  button->SetOnClick(TNotifyEvent::Callable(click));
  memo->SetWantReturns(false);
  memo->SetFocus();
  const AnsiString before = memo->GetText();
  Press(VK_RETURN);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(memo->GetText(), before);
}

TEST_F(StdCtrlsTest, MemoWithoutWrappingScrollsHorizontally) {
  // Client 60 wide, characters 5 wide: a 40-character line is 200 pixels.
  TMemo* memo = Add<TMemo>(10, 10, 64, 64);
  memo->SetWordWrap(false);
  memo->SetScrollBars(ssHorizontal);
  memo->SetText(AnsiString("short\r\n") + AnsiString(40, 'x'));
  Show();
  const HWND w = memo->GetHandle();
  RECT format{};
  SendMessage(w, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  const int page = format.Right - format.Left;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(w, SB_HORZ, &si));
  EXPECT_EQ(si.nMax, 200) << "the range is the widest line";
  EXPECT_EQ(int(si.nPage), page);
  EXPECT_EQ(si.nPos, 0);
  const int maxPos = 200 - page + 1;
  struct Step {
    int code;
    int thumb;
    int pos;
  };
  const Step steps[] = {
      {SB_LINERIGHT, 0, 5},          // a column: the average character width
      {SB_PAGERIGHT, 0, 5 + page},
      {SB_LINELEFT, 0, page},
      {SB_RIGHT, 0, maxPos},         // no further than the widest line's end
      {SB_LINERIGHT, 0, maxPos},
      {SB_THUMBTRACK, 42, 42},
      {SB_LEFT, 0, 0},
      {SB_LINELEFT, 0, 0},
  };
  for (const Step& step : steps) {
    SendMessage(w, WM_HSCROLL, MAKEWPARAM(step.code, step.thumb), 0);
    EXPECT_EQ(GetScrollPos(w, SB_HORZ), step.pos) << step.code;
    // A click lands on the character under the point, after the scroll.
    const LRESULT hit = SendMessage(w, EM_CHARFROMPOS, 0, MAKELPARAM(format.Left + 1, format.Top + 12));
    EXPECT_EQ(int(LOWORD(hit)) - 7, (step.pos + 1 + 2) / 5) << step.code;  // the nearest boundary
  }
  // Columns of EM_LINESCROLL scroll too; the caret brought into view on a short line keeps a
  // position that still shows it.
  SendMessage(w, EM_LINESCROLL, 3, 0);
  EXPECT_EQ(GetScrollPos(w, SB_HORZ), 15);
  SendMessage(w, EM_SETSEL, 47, 47);  // the end of the long line
  EXPECT_EQ(GetScrollPos(w, SB_HORZ), maxPos);
  SendMessage(w, EM_SETSEL, 2, 2);  // inside "short", left of the shown part
  EXPECT_LT(GetScrollPos(w, SB_HORZ), 10);
  // Wrapped text never scrolls sideways.
  memo->SetWordWrap(true);
  memo->SetScrollBars(ssNone);
  SendMessage(memo->GetHandle(), WM_HSCROLL, MAKEWPARAM(SB_RIGHT, 0), 0);
  RECT client{};
  GetClientRect(memo->GetHandle(), &client);
  const LRESULT first = SendMessage(memo->GetHandle(), EM_POSFROMCHAR, 0, 0);
  EXPECT_EQ(SHORT(LOWORD(first)), format.Left);
}

TEST_F(StdCtrlsTest, ButtonsDefaultCancelAndAccelerators) {
  TEdit* edit = Add<TEdit>(10, 10, 100, 21);
  TButton* ok = Add<TButton>(10, 40, 75, 25);
  ok->SetCaption("&OK");
  ok->SetDefault(true);
  TButton* cancel = Add<TButton>(90, 40, 75, 25);
  cancel->SetCaption("Cancel");
  cancel->SetCancel(true);
  std::vector<std::string> log;
  auto click = [&](TObject* s) { log.push_back(s == ok ? "ok" : "cancel"); };
  ok->SetOnClick(TNotifyEvent::Callable(click));
  cancel->SetOnClick(TNotifyEvent::Callable(click));
  Show();
  ASSERT_TRUE(edit->Focused());
  EXPECT_EQ(GetWindowLongPtr(ok->GetHandle(), GWL_STYLE) & BS_TYPEMASK, LONG_PTR(BS_DEFPUSHBUTTON));
  Press(VK_RETURN);
  Press(VK_ESCAPE);
  Press('O', false, false, true);
  orv::headless::Click(120, 50);
  Run();
  const std::vector<std::string> expected = {"ok", "cancel", "ok", "cancel"};
  EXPECT_EQ(log, expected);
  // The focused button takes the default look; Space presses it.
  cancel->SetFocus();
  EXPECT_EQ(GetWindowLongPtr(ok->GetHandle(), GWL_STYLE) & BS_TYPEMASK, LONG_PTR(BS_PUSHBUTTON));
  EXPECT_EQ(GetWindowLongPtr(cancel->GetHandle(), GWL_STYLE) & BS_TYPEMASK, LONG_PTR(BS_DEFPUSHBUTTON));
  log.clear();
  Press(VK_SPACE);
  EXPECT_EQ(log, std::vector<std::string>{"cancel"});
}

TEST_F(StdCtrlsTest, ModalResultOfAButtonEndsTheModalLoop) {
  TButton* ok = Add<TButton>(10, 40, 75, 25);
  ok->SetModalResult(mrOk);
  Form->Hide();
  int step = 0;
  orv::headless::SetIdleHandler([&] {
    if (step++ > 0) return false;
    orv::headless::Click(40, 50);
    return true;
  });
  EXPECT_EQ(Form->ShowModal(), mrOk);
}

TEST_F(StdCtrlsTest, RadioButtonsExcludeTheirSiblingsAndCheckBoxesCycle) {
  auto* r1 = Add<TRadioButton>(10, 10, 100, 17);
  auto* r2 = Add<TRadioButton>(10, 30, 100, 17);
  auto* r3 = Add<TRadioButton>(10, 50, 100, 17);
  r1->SetCaption("Географические"_a);
  r2->SetCaption("Эклиптические"_a);
  r1->SetChecked(true);
  auto* check = Add<TCheckBox>(150, 10, 100, 17);
  int clicks = 0;
  auto click = [&](TObject*) { ++clicks; };
  r2->SetOnClick(TNotifyEvent::Callable(click));
  Show();
  orv::headless::Click(15, 38);
  Run();
  EXPECT_FALSE(r1->GetChecked());
  EXPECT_TRUE(r2->GetChecked());
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(SendMessage(r1->GetHandle(), BM_GETCHECK, 0, 0), LRESULT(BST_UNCHECKED));
  // Arrows move through the group and check as they go.
  Press(VK_DOWN);
  EXPECT_TRUE(r3->Focused());
  EXPECT_TRUE(r3->GetChecked());
  EXPECT_FALSE(r2->GetChecked());
  // The check box toggles on a click and on Space; allowed grey comes between.
  orv::headless::Click(155, 18);
  Run();
  EXPECT_TRUE(check->GetChecked());
  check->SetAllowGrayed(true);
  check->SetState(cbUnchecked);
  Press(VK_SPACE);
  EXPECT_EQ(check->GetState(), cbGrayed);
  Press(VK_SPACE);
  EXPECT_EQ(check->GetState(), cbChecked);
}

TEST_F(StdCtrlsTest, ListBoxSelectionScrollingAndKeys) {
  auto* list = Add<TListBox>(10, 10, 100, 52);  // five items of 10 pixels show
  for (const char* s : {"Moscow", "Paris", "Berlin", "Rome", "Madrid", "Vienna", "Prague", "Oslo"})
    list->GetItems()->Add(s);
  list->SetItemIndex(2);
  EXPECT_EQ(list->GetItemIndex(), 2);
  int clicks = 0;
  auto click = [&](TObject*) { ++clicks; };
  list->SetOnClick(TNotifyEvent::Callable(click));
  Show();
  EXPECT_EQ(list->GetCount(), 8);
  EXPECT_EQ(list->GetItemIndex(), 2);
  EXPECT_EQ(list->GetItemHeight(), 10);
  HWND h = list->GetHandle();
  POINT p{20, 15};
  ClientToScreen(h, &p);
  orv::headless::Click(p.X, p.Y);
  Run();
  EXPECT_EQ(list->GetItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
  Press(VK_END);
  EXPECT_EQ(list->GetItemIndex(), 7);
  EXPECT_GT(list->GetTopIndex(), 0);
  EXPECT_EQ(list->ItemAtPos({5, 5}, true), list->GetTopIndex());
  Press(VK_HOME);
  EXPECT_EQ(list->GetTopIndex(), 0);
  Type("r");  // the next item starting with the letter
  EXPECT_EQ(list->GetItemIndex(), 3);
  // Items survive a new window.
  list->SetSorted(true);
  EXPECT_EQ(list->GetItems()->Get(0), "Berlin");
  EXPECT_EQ(list->GetItems()->IndexOf("Rome"), 6);
  list->GetItems()->Delete(0);
  EXPECT_EQ(list->GetCount(), 7);
}

// A drop-down list combo: keys and the wheel choose at once, a click drops the list down and a
// click in the list chooses; only the user's choices fire OnClick and OnChange.
TEST_F(StdCtrlsTest, ComboBoxDropDownListChoosesByKeysWheelAndItsList) {
  auto* combo = Add<TComboBox>(10, 10, 120, 21);
  combo->SetStyle(csDropDownList);
  for (const char* s : {"(None)", "Random", "Unfold", "Slide", "Fade"}) combo->GetItems()->Add(s);
  std::string events;
  auto click = [&](TObject*) { events += "click "; };
  auto change = [&](TObject*) { events += "change "; };
  combo->SetOnClick(TNotifyEvent::Callable(click));
  combo->SetOnChange(TNotifyEvent::Callable(change));
  combo->SetItemIndex(2);
  EXPECT_EQ(combo->GetText(), "Unfold");
  combo->SetItemIndex(9);  // out of range: nothing chosen
  EXPECT_EQ(combo->GetItemIndex(), -1);
  EXPECT_EQ(events, "");
  combo->SetItemIndex(2);
  Show();
  combo->SetFocus();
  Run();
  Press(VK_DOWN);
  EXPECT_EQ(combo->GetText(), "Slide");
  EXPECT_EQ(events, "click change ");
  Press(VK_END);
  Press(VK_DOWN);  // already the last: no choice, no events
  EXPECT_EQ(combo->GetItemIndex(), 4);
  EXPECT_EQ(events, "click change click change ");
  Press(VK_HOME);
  EXPECT_EQ(combo->GetItemIndex(), 0);
  POINT p{40, 10};
  ClientToScreen(combo->GetHandle(), &p);
  orv::headless::MouseMove(p.X, p.Y);
  orv::headless::Wheel(-120);
  Run();
  EXPECT_EQ(combo->GetItemIndex(), 1);
  // A click drops the list down below the field; a click on a row chooses it.
  orv::headless::Click(p.X, p.Y);
  Run();
  ASSERT_TRUE(combo->GetDroppedDown());
  TCustomListBox* list = combo->GetDropDownList();
  EXPECT_EQ(list->GetItemIndex(), 1);
  RECT listRect{};
  GetWindowRect(list->GetHandle(), &listRect);
  RECT comboRect{};
  GetWindowRect(combo->GetHandle(), &comboRect);
  EXPECT_EQ(listRect.Top, comboRect.Bottom);
  const TRect row = list->ItemRect(3);
  POINT q{row.Left + 5, row.Top + 3};
  ClientToScreen(list->GetHandle(), &q);
  events.clear();
  orv::headless::Click(q.X, q.Y);
  Run();
  EXPECT_FALSE(combo->GetDroppedDown());
  EXPECT_EQ(combo->GetText(), "Slide");
  EXPECT_EQ(events, "click change ");
  // F4 drops it down, Escape closes it without a choice.
  combo->SetFocus();
  Run();
  Press(VK_F4);
  EXPECT_TRUE(combo->GetDroppedDown());
  Press(VK_ESCAPE);
  EXPECT_FALSE(combo->GetDroppedDown());
  EXPECT_EQ(combo->GetItemIndex(), 3);
}

TEST_F(StdCtrlsTest, AListShownEmptyGetsItsScrollBarWhenItemsOverflow) {
  auto* list = Add<TListBox>(10, 10, 100, 52);  // five items of 10 pixels show
  Show();
  HWND h = list->GetHandle();
  EXPECT_FALSE(GetWindowLong(h, GWL_STYLE) & WS_VSCROLL);  // nothing to scroll yet
  for (int i = 0; i < 8; ++i) list->GetItems()->Add("item");
  Run();
  EXPECT_TRUE(GetWindowLong(h, GWL_STYLE) & WS_VSCROLL);
  list->GetItems()->Clear();
  Run();
  EXPECT_FALSE(GetWindowLong(h, GWL_STYLE) & WS_VSCROLL);
}

TEST_F(StdCtrlsTest, ListBoxExtendedSelectionAndOwnerDrawing) {
  auto* list = Add<TListBox>(10, 10, 100, 100);
  list->SetMultiSelect(true);
  list->SetStyle(lbOwnerDrawVariable);
  std::vector<Integer> drawn;
  std::vector<TOwnerDrawState> states;
  auto draw = [&](TWinControl*, Integer index, TRect rect, TOwnerDrawState state) {
    drawn.push_back(index);
    states.push_back(state);
    list->GetCanvas()->FillRect(rect);
  };
  auto measure = [&](TWinControl*, Integer index, Integer& height) { height = 10 + index * 2; };
  list->SetOnDrawItem(TDrawItemEvent::Callable(draw));
  list->SetOnMeasureItem(TMeasureItemEvent::Callable(measure));
  for (const char* s : {"a", "b", "c", "d"}) list->GetItems()->Add(s);
  Show();
  EXPECT_EQ(list->ItemRect(2).Top, 10 + 12);
  EXPECT_EQ(list->ItemRect(2).Height(), 14);
  HWND h = list->GetHandle();
  auto clickItem = [&](int index, bool shift, bool ctrl) {
    const TRect r = list->ItemRect(index);
    POINT p{r.Left + 5, r.Top + 3};
    ClientToScreen(h, &p);
    if (shift) orv::headless::KeyDown(VK_SHIFT);
    if (ctrl) orv::headless::KeyDown(VK_CONTROL);
    orv::headless::Click(p.X, p.Y);
    if (ctrl) orv::headless::KeyUp(VK_CONTROL);
    if (shift) orv::headless::KeyUp(VK_SHIFT);
    orv::headless::AdvanceTime(1000);
    Run();
  };
  clickItem(0, false, false);
  clickItem(2, true, false);
  EXPECT_EQ(list->GetSelCount(), 3);
  clickItem(1, false, true);
  EXPECT_EQ(list->GetSelCount(), 2);
  EXPECT_FALSE(list->GetSelected(1));
  EXPECT_TRUE(list->GetSelected(2));
  ASSERT_FALSE(drawn.empty());
  bool sawSelected = false;
  for (const TOwnerDrawState& s : states) sawSelected |= s.Contains(odSelected);
  EXPECT_TRUE(sawSelected);
  list->ClearSelection();
  EXPECT_EQ(list->GetSelCount(), 0);
}

TEST_F(StdCtrlsTest, ListBoxVirtualItemsColumnsAndTypeSearch) {
  auto* list = Add<TListBox>(10, 10, 100, 52);
  list->SetStyle(lbVirtual);
  auto data = [](TWinControl*, Integer index, AnsiString& text) { text = "Item " + std::to_string(index); };
  auto find = [](TWinControl*, const AnsiString& text) -> Integer {
    return text.rfind("Item ", 0) == 0 ? StrToIntDef(text.substr(5), -1) : -1;
  };
  list->SetOnData(TLBGetDataEvent::Callable(data));
  list->SetOnDataFind(TLBFindDataEvent::Callable(find));
  list->SetCount(1000);
  EXPECT_THROW(list->GetItems()->Add("x"), EListError);
  Show();
  EXPECT_EQ(list->GetCount(), 1000);
  EXPECT_EQ(list->GetItems()->Get(500), "Item 500");
  EXPECT_EQ(list->GetItems()->IndexOf("Item 42"), 42);
  Press(VK_END);
  EXPECT_EQ(list->GetItemIndex(), 999);
  // Side by side: three rows fit above the horizontal scroll bar, so item 3 heads column two.
  auto* columns = Add<TListBox>(150, 10, 150, 52);
  for (int i = 0; i < 12; ++i) columns->GetItems()->Add(std::to_string(i));
  columns->SetColumns(2);
  Run();
  EXPECT_EQ(columns->ItemRect(3).Left, columns->ItemRect(0).Left + 74);
  EXPECT_EQ(columns->ItemRect(3).Top, columns->ItemRect(0).Top);
  EXPECT_EQ(columns->ItemRect(2).Top, columns->ItemRect(0).Top + 20);
  // Typing searches by prefix until the typing pauses.
  auto* towns = Add<TListBox>(10, 100, 100, 52);
  for (const char* t : {"Madrid", "Moscow", "Mosul", "Oslo"}) towns->GetItems()->Add(t);
  towns->SetFocus();
  Type("Mosu");
  EXPECT_EQ(towns->GetItemIndex(), 2);
  orv::headless::AdvanceTime(1000);
  Type("O");
  EXPECT_EQ(towns->GetItemIndex(), 3);
}

// A list whose fixed-height owner-drawn rows carry no data, as lists drawn from elsewhere use it.
class TRowCountListBox : public TListBox {
 public:
  explicit TRowCountListBox(TComponent* owner) : TListBox(owner) { SetOwnerDrawNoData(true); }
  using TCustomListBox::IsVirtual;
};

TEST_F(StdCtrlsTest, AnOwnerDrawnNoDataListKeepsOnlyItsRowCountThroughWindowChanges) {
  auto* list = Add<TRowCountListBox>(10, 10, 100, 52);
  std::vector<Integer> drawn;
  auto draw = [&](TWinControl*, Integer index, const TRect&, TOwnerDrawState) { drawn.push_back(index); };
  list->SetOnDrawItem(TDrawItemEvent::Callable(draw));
  int dataAsked = 0;
  auto data = [&](TWinControl*, Integer index, AnsiString& text) {
    ++dataAsked;
    text = "Row " + std::to_string(index);
  };
  list->SetOnData(TLBGetDataEvent::Callable(data));
  list->SetStyle(lbOwnerDrawFixed);
  list->SetItemHeight(10);
  ASSERT_TRUE(list->IsVirtual());
  list->SetCount(20000);
  Show();
  const LONG_PTR style = GetWindowLongPtr(list->GetHandle(), GWL_STYLE);
  EXPECT_TRUE(style & LBS_NODATA);
  EXPECT_TRUE(style & LBS_OWNERDRAWFIXED);
  EXPECT_FALSE(style & LBS_HASSTRINGS);
  EXPECT_EQ(SendMessage(list->GetHandle(), LB_GETCOUNT, 0, 0), 20000);
  EXPECT_EQ(list->GetItems()->Get(19999), "Row 19999");
  ASSERT_FALSE(drawn.empty());
  EXPECT_LE(drawn.back(), 5) << "only the rows in view are drawn";
  // A new window (here for the border) keeps the count and the selection, without reading rows.
  list->SetItemIndex(12345);
  dataAsked = 0;
  list->SetBorderStyle(bsNone);
  Run();
  EXPECT_EQ(SendMessage(list->GetHandle(), LB_GETCOUNT, 0, 0), 20000);
  EXPECT_EQ(list->GetItemIndex(), 12345);
  EXPECT_EQ(dataAsked, 0);
  // Measured rows hold items of their own: the no-data rows are not turned into items, and
  // items put in meanwhile do not outlive the way back.
  list->SetStyle(lbOwnerDrawVariable);
  EXPECT_FALSE(list->IsVirtual());
  EXPECT_EQ(list->GetCount(), 0);
  EXPECT_EQ(dataAsked, 0);
  list->GetItems()->Add("measured");
  list->SetStyle(lbOwnerDrawFixed);
  EXPECT_TRUE(GetWindowLongPtr(list->GetHandle(), GWL_STYLE) & LBS_NODATA);
  EXPECT_EQ(SendMessage(list->GetHandle(), LB_GETCOUNT, 0, 0), 20000) << "the count set last";
  EXPECT_THROW(list->GetItems()->Add("x"), EListError);
}

TEST_F(StdCtrlsTest, LabelSizesToItsTextAndFocusesItsControl) {
  auto* label = Add<TLabel>(10, 10, 100, 100);
  label->SetCaption("&Name:");
  EXPECT_EQ(label->GetWidth(), 25);  // five characters of 5 pixels ("&" marks the accelerator)
  EXPECT_EQ(label->GetHeight(), 10);
  label->SetAlignment(taRightJustify);
  label->SetCaption("Ab");
  EXPECT_EQ(label->GetBoundsRect(), Rect(25, 10, 35, 20));
  auto* edit = Add<TEdit>(10, 40, 100, 21);
  auto* button = Add<TButton>(10, 80, 75, 25);
  label->SetCaption("&Name:");
  label->SetFocusControl(edit);
  Show();
  button->SetFocus();
  Press('N', false, false, true);
  EXPECT_TRUE(edit->Focused());
}

TEST_F(StdCtrlsTest, ScrollBarSteps) {
  auto* bar = Add<TScrollBar>(10, 10, 200, 17);
  bar->SetParams(10, 0, 50);
  bar->SetSmallChange(3);
  bar->SetLargeChange(10);
  std::vector<TScrollCode> codes;
  auto scroll = [&](TObject*, TScrollCode code, Integer&) { codes.push_back(code); };
  bar->SetOnScroll(TScrollEvent::Callable(scroll));
  Show();
  orv::headless::Click(200, 18);  // the right arrow
  Run();
  EXPECT_EQ(bar->GetPosition(), 13);
  orv::headless::Click(12, 18);  // the left arrow
  Run();
  EXPECT_EQ(bar->GetPosition(), 10);
  orv::headless::Click(180, 18);  // the page area right of the thumb
  Run();
  EXPECT_EQ(bar->GetPosition(), 20);
  EXPECT_EQ(codes.front(), scLineDown);
  EXPECT_THROW(bar->SetParams(0, 10, 5), EInvalidOperation);
}

}  // namespace
