// The memo editor: Enter, Ctrl+Enter and Tab by the memo's rules, the caret moving across
// wrapped lines, word wrap switched on a live window, the editor's own scroll bars, the one-line
// display form, pasted line breaks and MaxLength, the height of VisibleLineCount lines, and a
// text round-tripping through a dataset memo field; Esc reaching the form, keys passed on to an
// in-place host, composed input, and lines read from a form description.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/editors-more/cxEditDBRegisteredRepositoryItems.h"
#include "components/editors-more/cxEditRepositoryItems.h"
#include "components/editors-more/cxMemo.h"
#include "components/editors-more/tests/EditorsMoreFixture.h"
#include "components/foundation/cxScrollBar.h"
#include "memdata/RxMemDS.h"
#include "platform/controls/Clipbrd.h"
#include "platform/controls/UserControls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/dataset/Fields.h"
#include "platform/forms/Filer.h"
#include "platform/windowing/Messages.h"

using namespace edmore_test;

namespace {

class MemoTest : public FormTest {
 protected:
  TcxMemo* AddMemo(Integer width = 185) {
    auto* m = new TcxMemo(Form.get());
    m->SetParent(Form.get());
    m->SetBounds(10, 10, width, 89);
    return m;
  }
  static void Focus(TcxMemo* m) {
    m->SetFocus();
    Run();
  }
  static void Type(const char* text) {
    orv::headless::TypeText(text);
    Run();
  }
  static void Press(int key, bool shift = false, bool ctrl = false) {
    orv::headless::PressKey(key, shift, ctrl);
    Run();
  }
  static AnsiString Value(TcxMemo* m) {
    Variant v;
    m->GetEditValue(v);
    return VarToStr(v);
  }
};

}  // namespace

TEST_F(MemoTest, EnterAndTabFollowTheMemoRules) {
  TcxMemo* m = AddMemo();
  Show();
  struct Case {
    bool wantReturns;
    bool wantTabs;
    bool ctrl;
    int key;
    const char* text;
  };
  const Case cases[] = {
      {true, false, false, VK_RETURN, "ab\r\ncd"},  // Enter breaks the line
      {false, false, false, VK_RETURN, "abcd"},     // not without WantReturns
      {false, false, true, VK_RETURN, "ab\r\ncd"},  // but Ctrl+Enter does
      {true, true, false, VK_TAB, "ab\tcd"},        // Tab is typed with WantTabs
      {true, false, false, VK_TAB, "abcd"},
  };
  for (const Case& c : cases) {
    m->GetProperties()->SetWantReturns(c.wantReturns);
    m->GetProperties()->SetWantTabs(c.wantTabs);
    m->SetEditValue(Variant(AnsiString()));
    Focus(m);
    Type("ab");
    Press(c.key, false, c.ctrl);
    if (!m->Focused()) Focus(m);
    m->SetSelection(Integer(m->GetText().size()), 0);
    Type("cd");
    EXPECT_EQ(m->GetText(), AnsiString(c.text)) << c.key << " returns " << c.wantReturns << " tabs " << c.wantTabs
                                                 << " ctrl " << c.ctrl;
  }
}

TEST_F(MemoTest, CaretMovesAcrossWrappedLines) {
  TcxMemo* m = AddMemo(90);
  Show();
  m->SetEditValue(Variant(AnsiString("one two three four five six seven eight")));
  Focus(m);
  TcxCustomInnerMemo* inner = m->GetInnerMemo();
  ASSERT_NE(inner, nullptr);
  const Integer wrapped = m->GetLines()->GetCount();
  EXPECT_GT(wrapped, 1) << "the long line wraps";
  inner->SetCaretPos(TPoint{1, 0});
  Press(VK_DOWN);
  EXPECT_EQ(inner->GetCaretPos().Y, 1) << "Down goes to the next wrapped line";
  Press(VK_END);
  Press(VK_RIGHT);
  EXPECT_EQ(inner->GetCaretPos().Y, 2) << "Right at a wrapped line's end goes on into the next";
  Press(VK_UP);
  EXPECT_EQ(inner->GetCaretPos().Y, 1);
  // The inner edit fills the text area, and a click puts the caret on the line under the mouse.
  EXPECT_GT(inner->GetHeight(), 3 * inner->GetFont()->GetHeight() / 2) << "room for several lines";
  const TPoint first = inner->ClientToScreen(TPoint{8, 4});
  orv::headless::AdvanceTime(1000);
  orv::headless::Click(first.X, first.Y);
  Run();
  EXPECT_EQ(inner->GetCaretPos().Y, 0);
  // Without word wrap the text is one line.
  m->GetProperties()->SetWordWrap(false);
  EXPECT_EQ(m->GetLines()->GetCount(), 1);
  EXPECT_EQ(Value(m), "one two three four five six seven eight") << "the value has no wrap breaks";
}

TEST_F(MemoTest, WordWrapChangesInPlaceKeepingTheWindowAndCaret) {
  TcxMemo* m = AddMemo(90);
  Show();
  m->SetEditValue(Variant(AnsiString("one two three four five six seven eight")));
  Focus(m);
  TcxCustomInnerMemo* inner = m->GetInnerMemo();
  ASSERT_NE(inner, nullptr);
  const HWND window = inner->GetHandle();
  m->SetSelection(36, 0);  // inside "eight", on the last wrapped line
  const Integer wrapped = m->GetLines()->GetCount();
  ASSERT_GT(wrapped, 1);
  struct Case {
    Boolean wrap;
    bool oneLine;
  };
  const Case cases[] = {{false, true}, {true, false}, {false, true}};
  for (const Case& c : cases) {
    m->GetProperties()->SetWordWrap(c.wrap);
    Run();
    EXPECT_EQ(inner->GetHandle(), window) << "the window is kept";
    EXPECT_EQ(m->GetLines()->GetCount(), c.oneLine ? 1 : wrapped) << "wrap " << c.wrap;
    EXPECT_TRUE(inner->Focused());
    EXPECT_EQ(inner->GetCaretPos().Y, c.oneLine ? 0 : wrapped - 1) << "wrap " << c.wrap;
    EXPECT_EQ(inner->GetSelStart(), 36);
    EXPECT_EQ(m->GetText(), "one two three four five six seven eight");
  }
}

TEST_F(MemoTest, OneLineDisplayTextIsTheFirstLineCutTo250) {
  Owned<TcxMemoProperties> p(new TcxMemoProperties(nullptr));
  AnsiString text;
  p->EditValueToDisplayText(Variant(AnsiString("first\r\nsecond")), text);
  EXPECT_EQ(text, "first");
  p->EditValueToDisplayText(Variant(AnsiString(300, 'x')), text);
  EXPECT_EQ(text.size(), 250u);
  p->SetVisibleLineCount(-3);
  EXPECT_EQ(p->GetVisibleLineCount(), 0);
}

TEST_F(MemoTest, PastedBreaksAreNormalisedAndMaxLengthCuts) {
  TcxMemo* m = AddMemo();
  Show();
  Focus(m);
  Clipboard()->SetAsText(AnsiString("a\n\rb"));
  m->PasteFromClipboard();
  Run();
  EXPECT_EQ(m->GetText(), "a\r\n\r\nb");

  m->SetEditValue(Variant(AnsiString("12345")));
  m->GetProperties()->SetMaxLength(10);
  Focus(m);
  m->SetSelection(5, 0);
  Clipboard()->SetAsText(AnsiString("abcdefgh"));
  m->PasteFromClipboard();
  Run();
  EXPECT_EQ(m->GetText(), "12345abcde");
}

TEST_F(MemoTest, VisibleLineCountFitsTheHeight) {
  TcxMemo* m = AddMemo();
  Show();
  const Integer before = m->GetHeight();
  m->GetProperties()->SetVisibleLineCount(3);
  const Integer three = m->GetHeight();
  m->GetProperties()->SetVisibleLineCount(6);
  const Integer six = m->GetHeight();
  EXPECT_NE(three, before);
  EXPECT_GT(six, three);
  EXPECT_EQ((six - three) % 3, 0) << "three more lines of one height each";
  m->GetProperties()->SetScrollBars(ssHorizontal);
  EXPECT_GT(m->GetHeight(), six) << "a horizontal scroll bar adds its height";
}

TEST_F(MemoTest, TextRoundTripsThroughADatasetMemoField) {
  Owned<TComponent> root(new TComponent(nullptr));
  auto* data = new TRxMemoryData(root.get());
  data->GetFieldDefs().Add("NOTES", ftMemo);
  data->Open();
  data->Append();
  TField* field = data->FieldByName("NOTES");
  field->SetAsString("Москва\r\nСанкт-Петербург"_a);
  data->Post();
  TcxEditRepositoryItem* item = FieldTypeEditorRegistry()->ItemForField(field);
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->GetProperties()->InheritsFrom(TcxMemoProperties::StaticClass()));

  TcxMemo* m = AddMemo();
  Show();
  m->SetEditValue(field->GetValue());
  EXPECT_EQ(m->GetLines()->GetCount(), 2);
  EXPECT_EQ(m->GetLines()->Get(1), "Санкт-Петербург"_a);
  Focus(m);
  m->SetSelection(Integer(m->GetText().size()), 0);
  Press(VK_RETURN);
  Type("Kazan");
  ASSERT_TRUE(m->ValidateEditValue(true)) << "the typed text becomes the value";
  data->Edit();
  field->SetValue(Variant(Value(m)));
  data->Post();
  EXPECT_EQ(field->GetAsString(), "Москва\r\nСанкт-Петербург\r\nKazan"_a);
}



TEST_F(MemoTest, OwnScrollBarsFollowAndScrollTheText) {
  TcxMemo* m = AddMemo();
  m->GetProperties()->SetScrollBars(ssVertical);
  Show();
  AnsiString text;
  for (int i = 1; i <= 12; ++i) text += (i > 1 ? "\r\n" : "") + AnsiString("line ") + std::to_string(i).c_str();
  m->SetEditValue(Variant(text));
  Run();
  TcxCustomInnerMemo* inner = m->GetInnerMemo();
  ASSERT_NE(inner, nullptr);
  TcxScrollBar* bar = m->GetVScrollBar();
  ASSERT_NE(bar, nullptr) << "the editor has its own bars";
  EXPECT_TRUE(bar->GetVisible());
  EXPECT_FALSE(m->GetHScrollBar()->GetVisible()) << "vertical only";
  EXPECT_EQ(bar->GetMax(), 11);
  EXPECT_GT(bar->GetPageSize(), 1);
  EXPECT_LT(bar->GetPageSize(), 12);
  const auto firstLine = [&] { return Integer(SendMessage(inner->GetHandle(), EM_GETFIRSTVISIBLELINE, 0, 0)); };
  // A click on the bar's lower arrow scrolls the text by a line.
  const TPoint arrow = bar->ClientToScreen(TPoint{bar->GetWidth() / 2, bar->GetHeight() - 3});
  orv::headless::Click(arrow.X, arrow.Y);
  Run();
  EXPECT_EQ(firstLine(), 1);
  EXPECT_EQ(bar->GetPosition(), 1);
  // Keys moving the caret to the end scroll the text; the bar follows.
  Focus(m);
  Press(VK_END, false, true);
  EXPECT_EQ(firstLine(), 12 - bar->GetPageSize());
  EXPECT_EQ(bar->GetPosition(), firstLine());
  EXPECT_EQ(m->GetText(), text) << "scrolling leaves the text alone";
}

TEST_F(MemoTest, TypedTextSurvivesAPropertyChangeBeforeValidation) {
  TcxMemo* m = AddMemo();
  Show();
  Focus(m);
  Type("typed");
  m->GetProperties()->SetWantTabs(true);
  Run();
  EXPECT_EQ(m->GetText(), "typed");
  m->GetProperties()->SetScrollBars(ssVertical);
  Run();
  EXPECT_EQ(m->GetText(), "typed");
  m->GetProperties()->SetMaxLength(100);
  Run();
  EXPECT_EQ(m->GetText(), "typed");
  Form->SetFocus();
  Run();
  EXPECT_EQ(Value(m), "typed");
}

TEST_F(MemoTest, OwnHorizontalScrollBarScrollsLinesThatDoNotWrap) {
  TcxMemo* m = AddMemo();
  m->GetProperties()->SetWordWrap(false);
  m->GetProperties()->SetScrollBars(ssBoth);
  Show();
  m->SetEditValue(Variant(AnsiString("short\r\n") + AnsiString(120, 'w')));
  Run();
  TcxCustomInnerMemo* inner = m->GetInnerMemo();
  ASSERT_NE(inner, nullptr);
  TcxScrollBar* bar = m->GetHScrollBar();
  ASSERT_TRUE(bar->GetVisible());
  EXPECT_TRUE(m->GetVScrollBar()->GetVisible());
  const HWND w = inner->GetHandle();
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(w, SB_HORZ, &si));
  EXPECT_EQ(bar->GetMax(), si.nMax) << "the editor's bar mirrors the memo's extent";
  EXPECT_EQ(bar->GetPageSize(), Integer(si.nPage));
  EXPECT_GT(bar->GetMax(), bar->GetPageSize());
  // The own bar lies over the native one, which the editor hides under it.
  SCROLLBARINFO native{};
  native.cbSize = sizeof native;
  ASSERT_TRUE(GetScrollBarInfo(w, OBJID_HSCROLL, &native));
  const TPoint barTopLeft = bar->ClientToScreen(TPoint{0, 0});
  EXPECT_EQ(barTopLeft.X, native.rcScrollBar.Left);
  EXPECT_EQ(barTopLeft.Y, native.rcScrollBar.Top);
  const auto firstX = [&] { return Integer(SHORT(LOWORD(SendMessage(w, EM_POSFROMCHAR, 0, 0)))); };
  const Integer home = firstX();
  // A click on the right arrow scrolls by a column; the thumb dragged scrolls to its place.
  const TPoint arrow = bar->ClientToScreen(TPoint{bar->GetWidth() - 3, bar->GetHeight() / 2});
  orv::headless::Click(arrow.X, arrow.Y);
  Run();
  EXPECT_GT(bar->GetPosition(), 0);
  EXPECT_EQ(GetScrollPos(w, SB_HORZ), bar->GetPosition());
  EXPECT_EQ(firstX(), home - bar->GetPosition());
  Integer position = 40;
  ASSERT_TRUE(bool(bar->GetOnScroll()));
  bar->GetOnScroll()(bar, scTrack, position);
  EXPECT_EQ(position, 40);
  EXPECT_EQ(firstX(), home - 40);
  EXPECT_EQ(m->GetLastScrollPos(), 40);
  // Keys that take the caret to the line's end scroll the text; the bar follows.
  Focus(m);
  m->SetSelection(0, 0);
  Press(VK_DOWN);
  Press(VK_END);
  EXPECT_EQ(bar->GetPosition(), GetScrollPos(w, SB_HORZ));
  EXPECT_EQ(bar->GetPosition(), bar->GetMax() - bar->GetPageSize() + 1);
  Press(VK_HOME);
  EXPECT_EQ(bar->GetPosition(), 0);
  EXPECT_EQ(firstX(), home);
}

namespace {

class TMemoKeyLog : public TObject {
 public:
  void OwnerKey(TObject*, Word& key, TShiftState) { Keys.push_back(key); }
  void Editing(TObject*, Boolean& canEdit) {
    ++EditingAsked;
    canEdit = AllowEditing;
  }
  std::vector<Word> Keys;
  int EditingAsked = 0;
  Boolean AllowEditing = true;
};

}  // namespace

TEST_F(MemoTest, EscReachesTheFormsCancelButtonWhileEnterStaysInTheMemo) {
  TcxMemo* m = AddMemo();
  auto* cancel = new TButton(Form.get());
  cancel->SetParent(Form.get());
  cancel->SetBounds(200, 10, 60, 20);
  cancel->SetCancel(true);
  auto* ok = new TButton(Form.get());
  ok->SetParent(Form.get());
  ok->SetBounds(200, 40, 60, 20);
  ok->SetDefault(true);
  int cancels = 0;
  int oks = 0;
  auto onCancel = [&](TObject*) { ++cancels; };
  auto onOk = [&](TObject*) { ++oks; };
  cancel->SetOnClick(TNotifyEvent::Callable(onCancel));
  ok->SetOnClick(TNotifyEvent::Callable(onOk));
  Show();
  Focus(m);
  Type("a");
  Press(VK_RETURN);
  EXPECT_EQ(oks, 0) << "Enter breaks the line";
  EXPECT_EQ(m->GetText(), "a\r\n");
  Press(VK_ESCAPE);
  EXPECT_EQ(cancels, 1) << "Esc is the form's";
  EXPECT_EQ(m->GetText(), "a\r\n");
  // Afterwards Enter is the memo's again.
  Focus(m);
  Press(VK_RETURN);
  EXPECT_EQ(oks, 0);
}

TEST_F(MemoTest, KeysThatChangeNothingGoToTheHostExceptUpAndDown) {
  TcxMemo* m = AddMemo();
  TMemoKeyLog log;
  m->SetOnOwnerKeyDown(TKeyEvent(&log, &TMemoKeyLog::OwnerKey));
  Show();
  m->SetEditValue(Variant(AnsiString("one\r\ntwo")));
  Focus(m);
  m->SetSelection(0, 0);
  log.Keys.clear();
  Press(VK_UP);     // on the first line: nothing moves, but Up stays the memo's
  Press(VK_LEFT);   // at the start: the host may move its focus
  Press(VK_DOWN);   // moves the caret
  Press(VK_END);
  Press(VK_DOWN);   // on the last line: stays the memo's
  Press(VK_RIGHT);  // at the end
  EXPECT_EQ(log.Keys, (std::vector<Word>{VK_LEFT, VK_RIGHT}));
}

TEST_F(MemoTest, ComposedInputOnlyWhereEditingIsAllowed) {
  TcxMemo* m = AddMemo();
  TMemoKeyLog log;
  m->SetOnEditing(TcxEditEditingEvent(&log, &TMemoKeyLog::Editing));
  Show();
  Focus(m);
  const HWND inner = m->GetInnerMemo()->GetHandle();
  log.AllowEditing = false;
  SendMessage(inner, WM_IME_COMPOSITION, 0, 0);
  EXPECT_EQ(log.EditingAsked, 1) << "the editor is asked before composed text is taken";
  log.AllowEditing = true;
  SendMessage(inner, WM_IME_COMPOSITION, 0, 0);
  EXPECT_EQ(log.EditingAsked, 2);
}

TEST_F(MemoTest, LinesOfAFormDescriptionBecomeTheValue) {
  const std::string text =
      "object M: TcxMemo\n"
      "  Left = 1\n"
      "  Top = 1\n"
      "  Lines.Strings = (\n"
      "    'first'\n"
      "    'second')\n"
      "end\n";
  auto* m = static_cast<TcxMemo*>(orv::CreateComponentFromText(text, Form.get()));
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->GetLines()->GetCount(), 2);
  EXPECT_EQ(Value(m), "first\r\nsecond\r\n");
  AnsiString oneLine;
  m->GetProperties()->EditValueToDisplayText(m->GetEditValueProperty(), oneLine);
  EXPECT_EQ(oneLine, "first");
  orv::Free(m);
}
