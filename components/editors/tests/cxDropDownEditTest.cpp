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
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

template <class T>
using Owned = std::unique_ptr<T, orv::FreeDeleter>;

class TPopupLog : public TObject {
 public:
  void Closed(TObject*, Integer reason) { Reasons.push_back(reason); }
  void Click(TObject*) { ++Clicks; }
  std::vector<Integer> Reasons;
  int Clicks = 0;
};

class DropDownEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    orv::headless::Reset();
    Application->ResetTerminated();
    Form.reset(new TForm(nullptr));
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(100, 100, 400, 660);
    Form->AfterConstruction();
  }
  void TearDown() override {
    Form.reset();
    orv::headless::Reset();
  }
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
  static void Run() { Application->ProcessMessages(); }
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
  static void ClickAt(const TPoint& p) {
    orv::headless::Click(p.X, p.Y);
    Run();
  }

  Owned<TForm> Form;
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

}  // namespace
