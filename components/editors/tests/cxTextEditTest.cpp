// The text editor on the headless window system: typing Latin and Russian text (keys and the
// desktop's text input), caret moves, selection by Shift and the mouse, the clipboard, undo, the
// length limit and read-only; the properties' text conversions; incremental search and lookup
// navigation; the text messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "components/editors/cxTextEdit.h"
#include "platform/controls/Clipbrd.h"
#include "platform/drawing/Gdi.h"
#include "platform/drawing/Surface.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

using orv::test::Owned;

class TTextEditLog : public TObject {
 public:
  void Change(TObject*) { ++Changes; }
  void OwnerKey(TObject*, Word& key, TShiftState) { Keys.push_back(key); }
  void NewText(TObject*, const AnsiString& text) { NewTexts.push_back(text); }
  int Changes = 0;
  std::vector<Word> Keys;
  std::vector<AnsiString> NewTexts;
};

class TextEditTest : public orv::test::HeadlessFormTest {
 protected:
  TextEditTest() : HeadlessFormTest({100, 100, 300, 200}) {}
  TcxTextEdit* Add(Integer x = 10, Integer y = 10) {
    auto* e = new TcxTextEdit(Form.get());
    e->SetParent(Form.get());
    e->SetLeft(x);
    e->SetTop(y);
    e->GetProperties()->SetOnChange(TNotifyEvent(&Log, &TTextEditLog::Change));
    e->SetOnOwnerKeyDown(TKeyEvent(&Log, &TTextEditLog::OwnerKey));
    return e;
  }
  void ShowAndFocus(TcxTextEdit* e) {
    Form->Show();
    Run();
    e->SetFocus();
    Run();
  }
  static TcxCustomInnerTextEdit* Inner(TcxTextEdit* e) {
    return static_cast<TcxCustomInnerTextEdit*>(e->GetInnerEdit()->GetControl());
  }
  static void Press(int vk, bool shift = false, bool ctrl = false) {
    orv::headless::PressKey(vk, shift, ctrl);
    Run();
  }
  static void Type(const AnsiString& text) {
    orv::headless::TypeText(text);
    Run();
  }
  TTextEditLog Log;
};

TEST_F(TextEditTest, TypedLatinAndRussianTextReachesTheValueWithOneChangePerCharacter) {
  TcxTextEdit* e = Add();
  ShowAndFocus(e);
  ASSERT_TRUE(e->Focused());
  Type("Oslo ");
  orv::headless::TypeUtf8("Москва");
  Run();
  EXPECT_EQ(e->GetText(), "Oslo Москва"_a);
  EXPECT_EQ(Log.Changes, 11);
  EXPECT_TRUE(e->GetModifiedAfterEnter());
  Variant value;
  e->GetEditingValue(value);
  EXPECT_EQ(VarToStr(value), "Oslo Москва"_a);
  // Posting takes the typed text as the edit value.
  e->PostEditValue();
  EXPECT_EQ(VarToStr(e->GetEditValueProperty()), "Oslo Москва"_a);
}

TEST_F(TextEditTest, CaretMovesAndShiftSelectionsFeedTheClipboardAndUndo) {
  TcxTextEdit* e = Add();
  ShowAndFocus(e);
  Type("Париж"_a);
  Press(VK_HOME);
  EXPECT_EQ(e->GetSelectionStart(), 0);
  Press(VK_RIGHT, true);
  Press(VK_RIGHT, true);
  EXPECT_EQ(e->GetSelectedText(), "Па"_a);
  Press('C', false, true);
  EXPECT_EQ(Clipboard()->GetAsText(), "Па"_a);
  // The desktop receives UTF-8.
  EXPECT_EQ(orv::headless::DesktopClipboard(), "Па");
  Press(VK_END);
  Press('V', false, true);
  EXPECT_EQ(e->GetText(), "ПарижПа"_a);
  Press(VK_HOME);
  Press(VK_RIGHT, true);
  Press('X', false, true);
  EXPECT_EQ(e->GetText(), "арижПа"_a);
  EXPECT_EQ(Clipboard()->GetAsText(), "П"_a);
  Press('Z', false, true);
  EXPECT_EQ(e->GetText(), "ПарижПа"_a);
}

TEST_F(TextEditTest, MouseDragSelectsCharacters) {
  TcxTextEdit* e = Add();
  e->GetStyle()->GetFont()->SetName(orv::kTestFontFace);
  e->GetStyle()->GetFont()->SetHeight(-8);
  ShowAndFocus(e);
  Type("abcdefgh");
  // The test font's characters are 5 pixels wide; the text starts at the inner edit's left.
  const TPoint origin = Inner(e)->ClientToScreen(TPoint{0, 3});
  orv::headless::MouseMove(origin.X + 1, origin.Y);
  orv::headless::MouseDown();
  orv::headless::MouseMove(origin.X + 16, origin.Y);
  orv::headless::MouseUp();
  Run();
  EXPECT_EQ(e->GetSelectedText(), "abc");
}

TEST_F(TextEditTest, MaxLengthCutsTypingAndPaste) {
  TcxTextEdit* e = Add();
  e->GetProperties()->SetMaxLength(5);
  ShowAndFocus(e);
  Type("abc");
  e->SelectAll();
  Clipboard()->SetAsText("uvwxyz");
  Press('V', false, true);
  EXPECT_EQ(e->GetText(), "uvwxy");
  Type("q");
  EXPECT_EQ(e->GetText(), "uvwxy");
}

TEST_F(TextEditTest, ReadOnlyEditorRefusesTypingButCopies) {
  TcxTextEdit* e = Add();
  e->SetTextProperty("Рим"_a);
  e->GetProperties()->SetReadOnly(true);
  ShowAndFocus(e);
  Type("x");
  Press(VK_BACK);
  EXPECT_EQ(e->GetText(), "Рим"_a);
  e->SelectAll();
  Press('C', false, true);
  EXPECT_EQ(Clipboard()->GetAsText(), "Рим"_a);
  EXPECT_EQ(Log.Changes, 0);
}

// Text editors whose properties limit the text to the lookup items (editing style 1) and whose
// lookup data shows a popup list, as drop-down editors do.
class TListLookupBox : public TcxCustomEditListBox {
  ORV_CLASS(TListLookupBox, TcxCustomEditListBox)
 public:
  explicit TListLookupBox(TComponent* owner) : TcxCustomEditListBox(owner) {}
  AnsiString GetItemText(Integer index) override {
    return GetEdit()->TextProperties()->GetLookupItems()->Get(index);
  }
};

class TListLookupData : public TcxCustomTextEditLookupData {
  ORV_CLASS(TListLookupData, TcxCustomTextEditLookupData)
 public:
  explicit TListLookupData(TPersistent* owner) : TcxCustomTextEditLookupData(owner) {}
  TcxCustomEditListBoxClass GetListBoxClass() override { return TListLookupBox::StaticClass(); }
};

class TFixedListProperties : public TcxTextEditProperties {
  ORV_CLASS(TFixedListProperties, TcxTextEditProperties)
 public:
  explicit TFixedListProperties(TPersistent* owner) : TcxTextEditProperties(owner) {}
  Integer GetEditingStyle() override { return Style; }
  TClass GetLookupDataClass() override { return TListLookupData::StaticClass(); }
  Integer Style = 1;
};

class TFixedListEdit : public TcxTextEdit {
  ORV_CLASS(TFixedListEdit, TcxTextEdit)
 public:
  explicit TFixedListEdit(TComponent* owner) : TcxTextEdit(owner) {}
  TcxCustomEditPropertiesClass GetPropertiesClass() override { return TFixedListProperties::StaticClass(); }
};

TEST_F(TextEditTest, TextSetWhileNotFocusedIsNotAModificationAndAFixedListRefusesStrangers) {
  TcxTextEdit* e = Add();
  e->SetTextProperty("Берн"_a);
  EXPECT_EQ(VarToStr(e->GetEditValueProperty()), "Берн"_a);
  EXPECT_FALSE(e->GetModifiedAfterEnter());

  auto* list = new TFixedListEdit(Form.get());
  list->SetParent(Form.get());
  list->GetProperties()->GetLookupItems()->SetText("Берн\r\nЦюрих"_a);
  list->SetTextProperty("цюрих"_a);
  EXPECT_EQ(list->GetText(), "цюрих"_a);
  list->SetTextProperty("Женева"_a);
  EXPECT_EQ(list->GetText(), "цюрих"_a);
  EXPECT_FALSE(list->TrySetDisplayText("Женева"_a));
  EXPECT_EQ(list->Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Basel")), 0);
  EXPECT_EQ(list->GetText(), "цюрих"_a);
}

class EditListBoxTest : public TextEditTest {
 protected:
  TFixedListEdit* AddListEdit() {
    auto* e = new TFixedListEdit(Form.get());
    e->SetParent(Form.get());
    e->SetBounds(10, 10, 120, 21);
    e->GetProperties()->GetLookupItems()->SetText("Berlin\r\nBern\r\nBonn\r\nBremen\r\nBrno");
    e->GetStyle()->GetFont()->SetName(orv::kTestFontFace);
    e->GetStyle()->GetFont()->SetHeight(-8);
    e->GetProperties()->SetOnChange(TNotifyEvent(&Log, &TTextEditLog::Change));
    return e;
  }
  // The popup list made in the form below the editor, as a drop-down editor makes it in its popup.
  TcxCustomEditListBox* ShowList(TFixedListEdit* e) {
    IcxTextEditLookupData* data = e->GetLookupDataInterface();
    data->PrepareList(Form.get());
    data->SetListBounds(TRect{10, 40, 130, 140});
    Form->Show();
    Run();
    return static_cast<TcxCustomEditListBox*>(data->GetListControl());
  }
};

TEST_F(EditListBoxTest, LocatingATextDependsOnTheEditingStyle) {
  TFixedListEdit* e = AddListEdit();
  e->GetProperties()->GetLookupItems()->SetText("Alpha\r\nalpine\r\nBern");
  auto* properties = static_cast<TFixedListProperties*>(e->GetProperties());
  auto* data = static_cast<TcxCustomTextEditLookupData*>(e->GetLookupData());
  struct Case {
    Integer style;
    const char* typed;
    Boolean exact;
    Boolean found;
    const char* text;  // the typed text after the search
    const char* tail;
    Integer current;   // the current item after the search, starting from item 2
  };
  const Case cases[] = {
      {1, "AL", false, true, "Al", "pha", 0},    // the item's case is taken
      {0, "AL", false, true, "AL", "pha", 0},    // free text keeps the typed case
      {1, "alpi", false, true, "alpi", "ne", 1},
      {0, "", false, false, "", "", -1},         // nothing typed: free text has no item
      {1, "", false, false, "", "", -1},
      {1, "x", false, false, "x", "", 2},        // a limited list keeps its item
      {1, "x", true, false, "x", "", -1},
      {2, "x", false, false, "x", "", 2},
      {2, "x", true, false, "x", "", -1},
      {0, "x", false, false, "x", "", -1},
  };
  for (const Case& c : cases) {
    properties->Style = c.style;
    data->SetCurrentItem(2);
    AnsiString text = c.typed;
    AnsiString tail;
    EXPECT_EQ(data->LocateTextEx(text, tail, false, c.exact), c.found) << c.style << " " << c.typed;
    EXPECT_EQ(text, c.text) << c.style << " " << c.typed;
    EXPECT_EQ(tail, c.tail) << c.style << " " << c.typed;
    EXPECT_EQ(data->GetCurrentItem(), c.current) << c.style << " " << c.typed << " " << c.exact;
  }
  // An index past the items is ignored.
  data->SetCurrentItem(1);
  data->SetCurrentItem(3);
  EXPECT_EQ(data->GetCurrentItem(), 1);
}

TEST_F(EditListBoxTest, AListOnlyEditorSwallowsCharactersNoItemBeginsWith) {
  TFixedListEdit* e = AddListEdit();
  static_cast<TFixedListProperties*>(e->GetProperties())->Style = 2;
  ShowAndFocus(e);
  Type("bo");
  EXPECT_EQ(e->GetText(), "Bonn");
  const Integer current = static_cast<TcxCustomTextEditLookupData*>(e->GetLookupData())->GetCurrentItem();
  EXPECT_EQ(current, 2);
  EXPECT_GT(Log.Changes, 0);
  Log.Changes = 0;
  Type("q");
  EXPECT_EQ(e->GetText(), "Bonn");
  EXPECT_EQ(static_cast<TcxCustomTextEditLookupData*>(e->GetLookupData())->GetCurrentItem(), current);
  EXPECT_EQ(Log.Changes, 0);
}

TEST_F(EditListBoxTest, ThePreparedListHoldsTheItemsAndFollowsTheCurrentItem) {
  TFixedListEdit* e = AddListEdit();
  e->SetTextProperty("Bonn");
  TcxCustomEditListBox* list = ShowList(e);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->GetCount(), 5);
  EXPECT_EQ(list->GetItemIndex(), 2);
  EXPECT_EQ(list->GetItemText(3), "Bremen");
  EXPECT_EQ(list->ItemRect(1).Height(), list->GetItemHeight(-1));
  EXPECT_EQ(list->GetRowsHeight(3), 3 * list->GetItemHeight(-1));
  // Preparing again reuses the list.
  e->GetLookupDataInterface()->PrepareList(Form.get());
  EXPECT_EQ(e->GetLookupDataInterface()->GetListControl(), list);
  // New lookup items reach the list's count.
  e->GetProperties()->GetLookupItems()->Add("Brugge");
  EXPECT_EQ(list->GetCount(), 6);
  // The drawn rows show the items' texts (the list has no texts of its own).
  const orv::TSurface shot = orv::headless::CaptureClient(list->GetHandle());
  const TRect row = list->ItemRect(4);
  int dark = 0;
  for (int y = row.Top; y < row.Bottom; ++y)
    for (int x = 0; x < 40; ++x)
      if ((shot.Pixel(x, y) & 0xFFFFFF) == 0) ++dark;
  EXPECT_GT(dark, 10);
}

TEST_F(EditListBoxTest, MovingWhileTheListShowsOnlyMovesTheListUntilAnItemIsConfirmed) {
  TFixedListEdit* e = AddListEdit();
  e->SetTextProperty("Berlin");
  TcxCustomEditListBox* list = ShowList(e);
  auto* data = static_cast<TcxCustomTextEditLookupData*>(e->GetLookupData());
  data->MoveCurrent(cxLookupNext, false);
  data->MoveCurrent(cxLookupNext, false);
  EXPECT_EQ(list->GetItemIndex(), 2);
  EXPECT_EQ(data->GetListIndex(), 2);
  EXPECT_EQ(e->GetText(), "Berlin");
  // Closing the popup puts the list back on the current item.
  data->ClosePopupList();
  EXPECT_EQ(list->GetItemIndex(), 0);
  data->MoveCurrent(cxLookupLast, false);
  data->ConfirmItem();
  EXPECT_EQ(e->GetText(), "Brno");
  EXPECT_EQ(data->GetCurrentItem(), 4);
  // With immediate update the editor follows each move.
  e->GetProperties()->SetImmediateUpdateText(true);
  data->MoveCurrent(cxLookupFirst, false);
  EXPECT_EQ(e->GetText(), "Berlin");
}

TEST_F(EditListBoxTest, TheRowUnderThePointerBecomesTheListsSelection) {
  TFixedListEdit* e = AddListEdit();
  TcxCustomEditListBox* list = ShowList(e);
  auto* data = static_cast<TcxCustomTextEditLookupData*>(e->GetLookupData());
  const TRect row = list->ItemRect(3);
  const TPoint p = list->ClientToScreen(TPoint{5, row.Top + 1});
  EXPECT_TRUE(data->IsRowAtPoint(p));
  EXPECT_FALSE(data->IsRowAtPoint(list->ClientToScreen(TPoint{5, -3})));
  orv::headless::MouseMove(p.X, p.Y);
  Run();
  EXPECT_EQ(list->GetItemIndex(), 3);
  EXPECT_EQ(data->GetListIndex(), 3);
  EXPECT_EQ(data->GetCurrentItem(), -1);
  list->SetHotTrack(false);
  const TPoint q = list->ClientToScreen(TPoint{5, list->ItemRect(1).Top + 1});
  orv::headless::MouseMove(q.X, q.Y);
  Run();
  EXPECT_EQ(list->GetItemIndex(), 3);
}

TEST_F(EditListBoxTest, AListFreedWithItsParentIsNoLongerReached) {
  TFixedListEdit* e = AddListEdit();
  auto* panel = new TCustomGroupBox(Form.get());
  panel->SetParent(Form.get());
  e->GetLookupDataInterface()->PrepareList(panel);
  ASSERT_NE(e->GetLookupDataInterface()->GetListControl(), nullptr);
  panel->Free();
  EXPECT_EQ(e->GetLookupDataInterface()->GetListControl(), nullptr);
  // Items and navigation keep working without a list, and a new list can be made.
  e->GetProperties()->GetLookupItems()->Add("Brugge");
  static_cast<TcxCustomTextEditLookupData*>(e->GetLookupData())->MoveCurrent(cxLookupLast, false);
  EXPECT_EQ(e->GetText(), "Brugge");
  e->GetLookupDataInterface()->PrepareList(Form.get());
  EXPECT_NE(e->GetLookupDataInterface()->GetListControl(), nullptr);
}

// An outside spell checker: logs what the editors tell it.
class TSpellLog : public IcxSpellCheckerHook {
 public:
  void FocusExit() override { Notices.push_back("exit"); }
  void FocusEnter(TWinControl* inner) override { Note("enter", inner); }
  void RedrawMisspellings(TWinControl* inner) override { Note("redraw", inner); }
  Boolean IsOwnWindow(HWND window) override { return window == Own; }
  void Scrolled(TWinControl* inner) override { Note("scrolled", inner); }
  void SelectionChanged(TWinControl* inner) override { Note("selection", inner); }
  void TextChanged(TWinControl* inner) override { Note("text", inner); }
  void Undo() override { Notices.push_back("undo"); }
  void KeyPress(char key) override { Notices.push_back(std::string("key ") + key); }
  Boolean ShowPopupMenu(TComponent*, const TPoint&) override { return false; }
  void Note(const char* what, TWinControl* inner) { Notices.push_back(inner == Expected ? what : "wrong control"); }
  int Count(const std::string& what) const { return int(std::count(Notices.begin(), Notices.end(), what)); }
  std::vector<std::string> Notices;
  TWinControl* Expected = nullptr;
  HWND Own = nullptr;
};

class SpellCheckerTest : public TextEditTest {
 protected:
  void TearDown() override {
    SpellCheckerHook = nullptr;
    TextEditTest::TearDown();
  }
  TSpellLog Spell;
};

TEST_F(SpellCheckerTest, TheInnerEditsActivityReachesAnAssignedHook) {
  TcxTextEdit* e = Add();
  TcxTextEdit* other = Add(10, 60);
  Spell.Expected = Inner(e);
  // Nothing reaches a hook while none is assigned.
  ShowAndFocus(e);
  Type("ab");
  ASSERT_EQ(e->GetText(), "ab");
  SpellCheckerHook = &Spell;
  other->SetFocus();
  Run();
  e->SetFocus();
  Run();
  // The hook hears every editor: this one left and came back, the other came and left; each
  // focus change reaches it from the editor and from its inner edit.
  EXPECT_EQ(Spell.Count("exit"), 4);
  EXPECT_EQ(Spell.Count("enter"), 2);
  Press(VK_END);
  Spell.Notices.clear();
  Type("cd");
  EXPECT_EQ(Spell.Count("text"), 2);
  // The typed characters the editor kept, in order.
  EXPECT_EQ(Spell.Count("key c"), 1);
  EXPECT_EQ(Spell.Count("key d"), 1);
  EXPECT_LT(std::find(Spell.Notices.begin(), Spell.Notices.end(), "key c") - Spell.Notices.begin(),
            std::find(Spell.Notices.begin(), Spell.Notices.end(), "key d") - Spell.Notices.begin());
  Spell.Notices.clear();
  Press(VK_LEFT, true);
  EXPECT_EQ(Spell.Count("selection"), 1);
  // A key that moves nothing reports no new selection.
  Press(VK_SHIFT);
  EXPECT_EQ(Spell.Count("selection"), 1);
  Press('Z', false, true);
  EXPECT_EQ(Spell.Count("undo"), 1);
  EXPECT_EQ(Spell.Count("wrong control"), 0);
  // A repaint of the inner edit asks the checker to redraw its marks.
  Spell.Notices.clear();
  Inner(e)->Repaint();
  Run();
  EXPECT_GE(Spell.Count("redraw"), 1);
  EXPECT_EQ(Spell.Count("wrong control"), 0);
  // The checker's own windows count as the editor's.
  Spell.Own = reinterpret_cast<HWND>(0x1234);
  EXPECT_TRUE(e->IsOwnWindow(Spell.Own));
  SpellCheckerHook = nullptr;
  EXPECT_FALSE(e->IsOwnWindow(Spell.Own));
}

TEST_F(SpellCheckerTest, AnAutoCorrectionReplacesItsRangeAndPlacesTheCaret) {
  TcxTextEdit* e = Add();
  ShowAndFocus(e);
  orv::headless::TypeUtf8("Мсоква река");
  Run();
  struct {
    const char16_t* Text;
    Integer SelStart;
    Integer SelLength;
    Integer NewCaret;
  } record{u"Москва", 0, 6, 11};
  e->Perform(GetSpellCheckerAutoCorrectMessage(), 0, reinterpret_cast<LPARAM>(&record));
  Run();
  EXPECT_EQ(e->GetText(), "Москва река"_a);
  EXPECT_EQ(e->GetSelectionStart(), 11);
  EXPECT_EQ(e->GetSelectionLength(), 0);
  // Undo takes the correction back.
  Press('Z', false, true);
  EXPECT_EQ(e->GetText(), "Мсоква река"_a);
}

// Frees the editor whose key handler runs, as a handler that closes what it edits does.
class TFreeOnKey : public TObject {
 public:
  void KeyDown(TObject* sender, Word& key, TShiftState) {
    if (key == VK_F2) static_cast<TComponent*>(sender)->Free();
  }
  void KeyPress(TObject* sender, char& key) {
    if (key == '!') static_cast<TComponent*>(sender)->Free();
  }
};

// The inner edit's key entry points, reached directly (the window layer beneath does not let a
// control free itself inside its own message).
class TKeyedInnerEdit : public TcxCustomInnerTextEdit {
  ORV_CLASS(TKeyedInnerEdit, TcxCustomInnerTextEdit)
 public:
  explicit TKeyedInnerEdit(TComponent* owner) : TcxCustomInnerTextEdit(owner) {}
  using TcxCustomInnerTextEdit::KeyDown;
  using TcxCustomInnerTextEdit::KeyPress;
};

class TKeyedTextEdit : public TcxTextEdit {
  ORV_CLASS(TKeyedTextEdit, TcxTextEdit)
 public:
  explicit TKeyedTextEdit(TComponent* owner) : TcxTextEdit(owner) {}
  TClass GetInnerEditClass() override { return TKeyedInnerEdit::StaticClass(); }
};

TEST_F(TextEditTest, AnEditorFreedByItsOwnKeyHandlerIsNotTouchedAfterwards) {
  TFreeOnKey freer;
  for (int step = 0; step < 2; ++step) {
    auto* e = new TKeyedTextEdit(Form.get());
    e->SetParent(Form.get());
    e->SetOnKeyDown(TKeyEvent(&freer, &TFreeOnKey::KeyDown));
    e->SetOnKeyPress(TKeyPressEvent(&freer, &TFreeOnKey::KeyPress));
    auto* inner = static_cast<TKeyedInnerEdit*>(e->GetInnerEdit()->GetControl());
    const Integer before = Form->GetComponentCount();
    if (step == 0) {
      Word key = VK_F2;
      inner->KeyDown(key, {});
    } else {
      char key = '!';
      inner->KeyPress(key);
    }
    EXPECT_EQ(Form->GetComponentCount(), before - 1) << step;
  }
}

TEST_F(TextEditTest, EnterReachesTheEditWindowOnlyFromAStandAloneEditorThatBeepsOnEnter) {
  // What the inner edit leaves of a character is what the edit window gets.
  auto typed = [](TcxCustomEdit* e, char c) {
    static_cast<TKeyedInnerEdit*>(e->GetInnerEdit()->GetControl())->KeyPress(c);
    return c;
  };
  auto* e = new TKeyedTextEdit(Form.get());
  e->SetParent(Form.get());
  EXPECT_EQ(typed(e, '\r'), '\r');
  EXPECT_EQ(typed(e, '\x1b'), '\x1b');
  e->SetBeepOnEnter(false);
  EXPECT_EQ(typed(e, '\r'), 0);
  EXPECT_TRUE(e->GetInnerTextEdit()->GetKeyHandled());
  // A drop-down that closed its popup by the key keeps it from the window once.
  e->SetBeepOnEnter(true);
  e->SetKeyClosedPopup(true);
  EXPECT_EQ(typed(e, '\x1b'), 0);
  EXPECT_FALSE(e->GetKeyClosedPopup());
  EXPECT_EQ(typed(e, '\x1b'), '\x1b');
  // In place (a grid cell), neither Enter nor Escape reaches the window.
  Owned<TcxCustomEdit> cell(TcxCustomEdit::CreateInplace(TKeyedTextEdit::StaticClass(), nullptr, true));
  cell->SetParent(Form.get());
  for (char c : {'\r', '\x1b'}) EXPECT_EQ(typed(cell.get(), c), 0) << int(c);
  EXPECT_EQ(typed(cell.get(), 'a'), 'a');
}

TEST_F(TextEditTest, GetTextCopiesWhatTheBufferHolds) {
  TcxTextEdit* e = Add();
  e->SetTextProperty("Den Haag");
  char buffer[8] = "zzzzzzz";
  EXPECT_EQ(e->Perform(WM_GETTEXT, 1, reinterpret_cast<LPARAM>(buffer)), 0);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(e->Perform(WM_GETTEXT, 5, reinterpret_cast<LPARAM>(buffer)), 4);
  EXPECT_STREQ(buffer, "Den ");
  EXPECT_EQ(e->Perform(WM_GETTEXTLENGTH, 0, 0), 8);
}

TEST_F(TextEditTest, UpAndDownOfAPlainTextEditorGoToTheOwner) {
  TcxTextEdit* e = Add();
  e->GetProperties()->GetLookupItems()->SetText("a\r\nb");
  ShowAndFocus(e);
  Press(VK_DOWN);
  Press(VK_UP);
  EXPECT_EQ(Log.Keys, (std::vector<Word>{VK_DOWN, VK_UP}));
  EXPECT_EQ(e->GetText(), "");
}

TEST_F(TextEditTest, IncrementalSearchCompletesFromTheLookupItems) {
  TcxTextEdit* e = Add();
  e->GetProperties()->GetLookupItems()->SetText("Berlin\r\nBern\r\nBonn");
  ShowAndFocus(e);
  Type("b");
  EXPECT_EQ(e->GetText(), "berlin");
  EXPECT_EQ(e->GetSelectionStart(), 1);
  EXPECT_EQ(e->GetSelectionLength(), 5);
  EXPECT_TRUE(e->GetIncrementalSearchShown());
  Type("ern");
  EXPECT_EQ(e->GetText(), "bern");
  EXPECT_EQ(e->GetSelectionLength(), 0);
  Press(VK_BACK);
  EXPECT_EQ(e->GetText(), "berlin");
  EXPECT_EQ(e->GetSelectionStart(), 3);
  EXPECT_EQ(e->GetSelectionLength(), 3);
  // With the caret inside the text, a character is inserted without completion.
  Press(VK_END);
  Press(VK_HOME);
  Press(VK_RIGHT);
  Type("x");
  EXPECT_EQ(e->GetText(), "bxerlin");
}

TEST_F(TextEditTest, ATextThatIsNoLookupItemIsAnnouncedWhenItIsTaken) {
  TcxTextEdit* e = Add();
  TcxTextEdit* other = Add(10, 60);
  e->GetProperties()->GetLookupItems()->SetText("Berlin\r\nBern");
  e->GetProperties()->SetOnNewLookupDisplayText(TcxNewLookupDisplayTextEvent(&Log, &TTextEditLog::NewText));
  ShowAndFocus(e);
  Type("Oslo");
  EXPECT_TRUE(Log.NewTexts.empty());
  other->SetFocus();
  Run();
  EXPECT_EQ(Log.NewTexts, (std::vector<AnsiString>{"Oslo"}));
  // An item is no news, whatever its case.
  e->SetFocus();
  Run();
  e->SelectAll();
  Type("bern");
  other->SetFocus();
  Run();
  EXPECT_EQ(e->GetText(), "bern");
  EXPECT_EQ(Log.NewTexts.size(), 1u);
}

TEST_F(TextEditTest, RussianIncrementalSearchIgnoresCase) {
  TcxTextEdit* e = Add();
  e->GetProperties()->GetLookupItems()->SetText("Минск\r\nМосква\r\nМурманск"_a);
  ShowAndFocus(e);
  orv::headless::TypeUtf8("мос");
  Run();
  EXPECT_EQ(e->GetText(), "москва"_a);
  EXPECT_EQ(e->GetSelectedText(), "ква"_a);
}

// A text editor whose Up, Down and page keys walk the lookup items.
class TNavigatingTextEdit : public TcxTextEdit {
  ORV_CLASS(TNavigatingTextEdit, TcxTextEdit)
 public:
  explicit TNavigatingTextEdit(TComponent* owner) : TcxTextEdit(owner) {}
  Boolean IsLookupNavigationAllowed(Boolean) override { return true; }
};

TEST_F(TextEditTest, SettingTheItemIndexShowsTheItemWithOneChange) {
  TcxTextEdit* e = Add();
  e->GetProperties()->GetLookupItems()->SetText("Берлин\r\nБерн\r\nБонн"_a);
  int clicks = 0;
  struct TClickCount : TObject {
    int* Count;
    void Click(TObject*) { ++*Count; }
  } counter;
  counter.Count = &clicks;
  e->SetOnClick(TNotifyEvent(&counter, &TClickCount::Click));
  Form->Show();
  Run();
  e->SetItemIndexProperty(1);
  EXPECT_EQ(e->GetText(), "Берн"_a);
  EXPECT_EQ(e->GetItemIndexProperty(), 1);
  EXPECT_EQ(Log.Changes, 1);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(e->GetModified());
  // The same index again changes nothing.
  e->SetItemIndexProperty(1);
  EXPECT_EQ(Log.Changes, 1);
  EXPECT_EQ(clicks, 1);
  // An index outside the items selects nothing and keeps the text.
  e->SetItemIndexProperty(3);
  EXPECT_EQ(e->GetItemIndexProperty(), 1);
  EXPECT_EQ(e->GetText(), "Берн"_a);
}

TEST_F(TextEditTest, LookupNavigationMovesByPagesAndTheWheel) {
  auto* e = new TNavigatingTextEdit(Form.get());
  e->SetParent(Form.get());
  TStringList* items = e->GetProperties()->GetLookupItems();
  for (int i = 0; i < 20; ++i) items->Add("item" + std::to_string(i));
  ShowAndFocus(reinterpret_cast<TcxTextEdit*>(e));
  e->SetItemIndexProperty(0);
  struct Step {
    int key;
    int from;
    int to;
  };
  for (const Step& s : {Step{VK_NEXT, 0, 7}, Step{VK_NEXT, 15, 19}, Step{VK_PRIOR, 3, 0}, Step{VK_DOWN, 4, 5},
                        Step{VK_UP, 4, 3}}) {
    e->SetItemIndexProperty(s.from);
    Press(s.key);
    EXPECT_EQ(e->GetItemIndexProperty(), s.to) << "key " << s.key << " from " << s.from;
  }
  EXPECT_EQ(e->GetText(), "item3");
  e->SetItemIndexProperty(5);
  const TPoint p = e->ClientToScreen(TPoint{5, 5});
  orv::headless::MouseMove(p.X, p.Y);
  orv::headless::Wheel(WHEEL_DELTA);
  Run();
  EXPECT_EQ(e->GetItemIndexProperty(), 4);
}

TEST(cxTextEditProperties, EchoCaseLengthBoundsAndFormats) {
  Owned<TcxTextEditProperties> p(new TcxTextEditProperties(nullptr));
  AnsiString text = "Лима"_a;
  p->SetCharCase(ecUpperCase);
  p->ApplyEchoModeAndCharCase(text);
  EXPECT_EQ(text, "ЛИМА"_a);
  p->SetEchoMode(eemPassword);
  text = "Лима"_a;
  p->ApplyEchoModeAndCharCase(text);
  EXPECT_EQ(text, "****");
  p->SetPasswordChar('#');
  p->ApplyEchoModeAndCharCase(text);
  EXPECT_EQ(text, "####");

  p->SetMaxLength(-5);
  EXPECT_EQ(p->GetMaxLength(), 0);
  EXPECT_TRUE(p->GetTextAssignedValues()->GetMaxLength());

  p->SetMinValue(1);
  EXPECT_TRUE(p->IsValueBoundDefined(0));
  EXPECT_FALSE(p->IsValueBoundDefined(1));
  p->SetMaxValue(1);
  EXPECT_FALSE(p->IsValueBoundDefined(0));
  EXPECT_FALSE(p->IsValueBoundDefined(1));

  p->GetLookupItems()->Add("ABC");
  EXPECT_TRUE(p->IsLookupText("abc"));
  EXPECT_FALSE(p->IsLookupText("ab"));

  EXPECT_EQ(p->GetEditingStyle(), 0);
  p->SetViewStyle(vsButtonsOnly);
  EXPECT_TRUE(p->GetHideCursor());
  EXPECT_EQ(p->GetEditingStyle(), 3);

  p->SetDisplayFormat("0.00");
  EXPECT_EQ(p->GetEditFormat(), "");
  p->SetUseDisplayFormatWhenEditing(true);
  EXPECT_EQ(p->GetEditFormat(), "0.00");
  p->SetUseDisplayFormatWhenEditing(false);
  p->SetEditFormat("0.0");
  EXPECT_EQ(p->GetEditFormat(), "0.0");
}

// Numbers shown with the display format when not focused and the edit format while editing.
class TNumericTextProperties : public TcxTextEditProperties {
  ORV_CLASS(TNumericTextProperties, TcxTextEditProperties)
 public:
  explicit TNumericTextProperties(TPersistent* owner) : TcxTextEditProperties(owner) {}
  Boolean IsEditValueNumeric() override { return true; }
};

// A number editor whose typed digits are grouped by thousands, as the currency editor groups them.
class TGroupingNumberProperties : public TNumericTextProperties {
  ORV_CLASS(TGroupingNumberProperties, TNumericTextProperties)
 public:
  explicit TGroupingNumberProperties(TPersistent* owner) : TNumericTextProperties(owner) {}
  Boolean NeedRemoveThousandSeparators(Boolean synchronizing) override { return Grouping && !synchronizing; }
  Boolean Grouping = false;
};

class TNumberEdit : public TcxTextEdit {
  ORV_CLASS(TNumberEdit, TcxTextEdit)
 public:
  explicit TNumberEdit(TComponent* owner) : TcxTextEdit(owner) {}
  TcxCustomEditPropertiesClass GetPropertiesClass() override { return TGroupingNumberProperties::StaticClass(); }
  TGroupingNumberProperties* Numbers() { return static_cast<TGroupingNumberProperties*>(GetProperties()); }
};

TEST_F(TextEditTest, ANumberShowsTheEditFormatWhileFocusedAndTheDisplayFormatOtherwise) {
  auto* e = new TNumberEdit(Form.get());
  e->SetParent(Form.get());
  TcxTextEdit* other = Add(10, 60);
  e->Numbers()->SetDisplayFormat("0.00 км"_a);
  e->Numbers()->SetEditFormat("0.0");
  e->SetEditValue(Variant(Double(2.5)));
  EXPECT_EQ(e->GetText(), "2,50 км"_a);
  ShowAndFocus(e);
  EXPECT_EQ(e->GetText(), "2,5");
  Press(VK_END);
  Type("7");
  other->SetFocus();
  Run();
  EXPECT_EQ(e->GetEditValueProperty().AsDouble(), 2.57);
  EXPECT_EQ(e->GetText(), "2,57 км"_a);
}

TEST_F(TextEditTest, TypedDigitsAreGroupedByThousandsWithTheCaretAfterTheLastDigit) {
  auto* e = new TNumberEdit(Form.get());
  e->SetParent(Form.get());
  e->Numbers()->Grouping = true;
  ShowAndFocus(e);
  Type("1234567");
  const AnsiString sep(1, FormatSettings.ThousandSeparator);
  EXPECT_EQ(e->GetText(), "1" + sep + "234" + sep + "567");
  EXPECT_EQ(e->GetSelectionStart(), 9);
  // Digits typed in the middle regroup the whole number and keep the caret behind them.
  e->SetSelection(1, 0);
  Type("8");
  EXPECT_EQ(e->GetText(), "18" + sep + "234" + sep + "567");
  EXPECT_EQ(e->GetSelectionStart(), 2);
  // An exponent stays at the end as typed.
  Press(VK_END);
  Type("E12");
  EXPECT_EQ(e->GetText(), "18" + sep + "234" + sep + "567E12");
  // Text that is no number is left alone.
  e->SelectAll();
  Type("12345x");
  EXPECT_EQ(e->GetText(), "12" + sep + "345x");
}

TEST(cxTextEditProperties, NumericValuesTakeTheDisplayAndEditFormats) {
  Owned<TNumericTextProperties> p(new TNumericTextProperties(nullptr));
  p->SetDisplayFormat("0.00");
  p->SetEditFormat("0.0");
  Variant shown;
  p->EditValueToDisplayValue(Variant(Double(2.5)), shown, false);
  EXPECT_EQ(VarToStr(shown), "2,50");
  p->EditValueToDisplayValue(Variant(Double(2.5)), shown, true);
  EXPECT_EQ(VarToStr(shown), "2,5");
  p->EditValueToDisplayValue(Null(), shown, true);
  EXPECT_EQ(VarToStr(shown), "");
  EXPECT_THROW(p->EditValueToDisplayValue(Variant(true), shown, true), EConvertError);
}

}  // namespace

namespace {

// A text cell drawn without an editor window, as a grid draws it.
class TextCellPaintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HDC screen = orv::CreateScreenDC();
    Dc = CreateCompatibleDC(screen);
    Bitmap = CreateCompatibleBitmap(screen, 100, 20);
    DeleteDC(screen);
    Old = SelectObject(Dc, Bitmap);
    Canvas.reset(new TcxCanvas(Dc));
    Properties.reset(new TcxTextEditProperties(nullptr));
    Style.reset(new TcxEditStyle(nullptr, false));
    Style->GetFont()->SetName(orv::kTestFontFace);
    Style->GetFont()->SetHeight(-8);
    Style->SetColor(clWhite);
    Style->SetTextColor(clBlack);
    ViewData.reset(Properties->CreateViewData(Style.get(), true));
    ViewInfo.reset(static_cast<TcxCustomTextEditViewInfo*>(
        orv::ClassOf<TObject>(Properties->GetViewInfoClass()).Create()));
  }
  void TearDown() override {
    ViewInfo.reset();
    ViewData.reset();
    Canvas.reset();
    SelectObject(Dc, Old);
    DeleteDC(Dc);
    DeleteObject(Bitmap);
  }
  void Paint(const Variant& value) {
    ViewData->CalculateViewInfo(Canvas.get(), TRect{0, 0, 100, 20}, false, ViewInfo.get());
    ViewData->SetViewInfoValue(Canvas.get(), value, ViewInfo.get());
    ViewInfo->Paint(Canvas.get());
  }
  int CountBlack() {
    const orv::TSurface& s = *orv::GetBitmapSurface(Bitmap);
    int n = 0;
    for (int y = 0; y < s.Height(); ++y)
      for (int x = 0; x < s.Width(); ++x)
        if ((s.Pixel(x, y) & 0xFFFFFF) == 0) ++n;
    return n;
  }
  HDC Dc = nullptr;
  HBITMAP Bitmap = nullptr;
  HGDIOBJ Old = nullptr;
  Owned<TcxCanvas> Canvas;
  Owned<TcxTextEditProperties> Properties;
  Owned<TcxEditStyle> Style;
  Owned<TcxCustomEditViewData> ViewData;
  Owned<TcxCustomTextEditViewInfo> ViewInfo;
};

TEST_F(TextCellPaintTest, ACellShowsItsTextAndNothingWithoutOne) {
  Paint(Variant("Oslo"_a));
  EXPECT_EQ(ViewInfo->ShownText, "Oslo");
  EXPECT_TRUE(ViewInfo->InplaceView);
  const int withText = CountBlack();
  EXPECT_GT(withText, 20);
  Paint(Null());
  EXPECT_EQ(ViewInfo->ShownText, "");
  EXPECT_EQ(CountBlack(), 0);
}

TEST_F(TextCellPaintTest, ALongTextOnOneRowEndsWithAnEllipsisAndTheMarkedRangeStaysInTheText) {
  auto* data = static_cast<TcxCustomTextEditViewData*>(ViewData.get());
  data->SelStart = 3;
  data->SelLength = 10;
  Paint(Variant("abcde"_a));
  EXPECT_EQ(ViewInfo->MarkLength, 2);
  data->SelStart = 5;
  data->SelLength = 1;
  Paint(Variant("abcde"_a));
  EXPECT_EQ(ViewInfo->MarkLength, 0);
  data->SelLength = 0;
  ViewInfo->PaintOptionsSet |= 8;
  Paint(Variant(AnsiString(60, 'W')));
  EXPECT_TRUE(ViewInfo->IsTextTruncated());
}

}  // namespace

TEST_F(TextEditTest, TypedTextSurvivesAPropertyChangeBeforeValidation) {
  TcxTextEdit* e = Add();
  ShowAndFocus(e);
  Type("typed");
  e->GetProperties()->SetMaxLength(100);
  Run();
  EXPECT_EQ(e->GetText(), "typed");
  EXPECT_TRUE(e->GetModifiedAfterEnter());
  e->PostEditValue();
  EXPECT_EQ(VarToStr(e->GetEditValueProperty()), "typed");
}
