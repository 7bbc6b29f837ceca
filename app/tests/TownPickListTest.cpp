// The name search's pick lists as the main window holds them: combo boxes filled from the bundled
// town table (about 200 countries, about 11,400 towns), opened, searched and picked from with the
// keys and the mouse on the headless window system.
#include <gtest/gtest.h>

#include <memory>

#include "app/TownSearch.h"
#include "app/tests/AppTestSupport.h"
#include "components/editors/cxDropDownEdit.h"
#include "platform/controls/Forms.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

using namespace apptest;

template <class T>
using Owned = std::unique_ptr<T, orv::FreeDeleter>;

class TownPickLists : public ::testing::Test {
 protected:
  void SetUp() override {
    orv::headless::Reset();
    Application->ResetTerminated();
    WriteBytes(Temp.File("ORVANE.DBF"), ReadBytes(BundledTable()));
    Module = StartDataModule(Temp.Dir());
    ASSERT_TRUE(Module->DataReady);
    Form.reset(new TForm(nullptr));
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(100, 40, 500, 700);
    Form->AfterConstruction();
    Countries = AddPickList(27, 20);
    Towns = AddPickList(25, 60);
    orv::FillTownPickLists(Module.get(), *Countries->GetProperties()->GetItems(), *Towns->GetProperties()->GetItems());
    Form->Show();
    Run();
  }
  void TearDown() override {
    Form.reset();
    Module.reset();
    orv::headless::Reset();
  }
  // As the main window makes them: "*" first, the text "*", 202 wide.
  TcxComboBox* AddPickList(Integer rows, Integer top) {
    auto* c = new TcxComboBox(Form.get());
    c->SetParent(Form.get());
    c->SetBounds(80, top, 202, 21);
    c->GetProperties()->SetDropDownRows(rows);
    c->GetProperties()->GetItems()->Add("*");
    c->SetTextProperty("*");
    return c;
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
  static void ClickAt(Integer x, Integer y) {
    orv::headless::Click(x, y);
    Run();
  }
  static TRect ScreenRect(TWinControl* c) {
    TRect r{};
    GetWindowRect(c->GetHandle(), &r);
    return r;
  }
  static TcxCustomEditListBox* List(TcxComboBox* c) {
    return static_cast<TcxCustomEditListBox*>(c->GetLookupDataInterface()->GetListControl());
  }
  static Integer FirstStarting(TStrings* items, const AnsiString& prefix) {
    const AnsiString upper = AnsiUpperCase(prefix);
    for (Integer i = 0; i < items->GetCount(); ++i)
      if (AnsiUpperCase(items->Get(i).substr(0, prefix.size())) == upper) return i;
    return -1;
  }

  TempDir Temp;
  MessageBoxes Boxes;
  DMPtr Module;
  Owned<TForm> Form;
  TcxComboBox* Countries = nullptr;
  TcxComboBox* Towns = nullptr;
};

TEST_F(TownPickLists, KeysAndTheButtonOpenTheListWithItsRows) {
  ASSERT_GT(Countries->GetProperties()->GetItems()->GetCount(), 150);
  ASSERT_GT(Towns->GetProperties()->GetItems()->GetCount(), 11000);
  Countries->SetFocus();
  Run();
  struct Opener {
    const char* Name;
    void (*Open)(TcxComboBox*);
  };
  const Opener openers[] = {
      {"F4", [](TcxComboBox*) { Press(VK_F4); }},
      {"Alt+Down", [](TcxComboBox*) { Press(VK_DOWN, false, false, true); }},
      {"button",
       [](TcxComboBox* c) {
         const TRect r = ScreenRect(c);
         ClickAt(r.Right - 6, r.Top + r.Height() / 2);
       }},
  };
  for (const Opener& o : openers) {
    SCOPED_TRACE(o.Name);
    o.Open(Countries);
    ASSERT_TRUE(Countries->HasOpenPopup());
    TcxCustomEditListBox* list = List(Countries);
    EXPECT_EQ(list->GetClientHeight(), 27 * list->GetItemHeight(-1));
    EXPECT_EQ(list->GetItemIndex(), 0) << "the list shows the current \"*\"";
    Press(VK_ESCAPE);
    EXPECT_FALSE(Countries->HasOpenPopup());
    EXPECT_EQ(Countries->GetTextProperty(), "*");
  }
}

TEST_F(TownPickLists, TypingFindsTheFirstTownStartingSoAndEnterOrAClickPicks) {
  TStrings* items = Towns->GetProperties()->GetItems();
  const Integer moscowFirst = FirstStarting(items, "МОС"_a);
  ASSERT_GT(moscowFirst, 0);
  Towns->SetFocus();
  Run();
  Type("Мос"_a);
  ASSERT_TRUE(Towns->HasOpenPopup()) << "typing opens the list";
  EXPECT_EQ(Towns->GetItemIndexProperty(), moscowFirst);
  EXPECT_EQ(List(Towns)->GetItemIndex(), moscowFirst);
  const TRect listRect = ScreenRect(List(Towns));
  EXPECT_EQ(List(Towns)->GetClientHeight(), 25 * List(Towns)->GetItemHeight(-1));
  Press(VK_RETURN);
  EXPECT_FALSE(Towns->HasOpenPopup());
  EXPECT_EQ(Towns->GetTextProperty(), items->Get(moscowFirst));

  // Lower case finds the same town; a click on the row before it picks that one.
  Towns->SetTextProperty(AnsiString());
  Type("мос"_a);
  ASSERT_TRUE(Towns->HasOpenPopup());
  EXPECT_EQ(Towns->GetItemIndexProperty(), moscowFirst);
  TcxCustomEditListBox* list = List(Towns);
  const TRect rowRect = list->ItemRect(moscowFirst - 1);
  const TPoint row = list->ClientToScreen(TPoint{rowRect.Left + 10, rowRect.Top + 2});
  ASSERT_GE(row.Y, listRect.Top);
  ASSERT_LT(row.Y, listRect.Bottom);
  ClickAt(row.X, row.Y);
  EXPECT_FALSE(Towns->HasOpenPopup());
  EXPECT_EQ(Towns->GetItemIndexProperty(), moscowFirst - 1);
  EXPECT_EQ(Towns->GetTextProperty(), items->Get(moscowFirst - 1));
}

TEST_F(TownPickLists, EscapeCancelsAClickOutsideClosesAndTypedTextHasNoItem) {
  Towns->SetFocus();
  Run();
  Press(VK_F4);
  ASSERT_TRUE(Towns->HasOpenPopup());
  Press(VK_DOWN);
  Press(VK_DOWN);
  Press(VK_ESCAPE);
  EXPECT_FALSE(Towns->HasOpenPopup());
  EXPECT_EQ(Towns->GetTextProperty(), "*");
  EXPECT_EQ(Towns->GetItemIndexProperty(), 0);

  Press(VK_F4);
  ASSERT_TRUE(Towns->HasOpenPopup());
  const TRect form = ScreenRect(Form.get());
  ClickAt(form.Left + 400, form.Top + 650);
  EXPECT_FALSE(Towns->HasOpenPopup());
  EXPECT_EQ(Towns->GetTextProperty(), "*");

  Towns->SetTextProperty(AnsiString());
  Type("Мосъъ"_a);
  Press(VK_ESCAPE);
  EXPECT_EQ(Towns->GetTextProperty(), "Мосъъ"_a);
  EXPECT_EQ(Towns->GetItemIndexProperty(), -1);
}

TEST_F(TownPickLists, TheListScrollsByWheelAndKeys) {
  Towns->SetFocus();
  Run();
  Press(VK_F4);
  TcxCustomEditListBox* list = List(Towns);
  const TRect r = ScreenRect(list);
  orv::headless::MouseMove(r.Left + 10, r.Top + 10);
  Run();
  orv::headless::Wheel(-WHEEL_DELTA);
  Run();
  orv::headless::Wheel(-WHEEL_DELTA);
  Run();
  EXPECT_EQ(list->GetTopIndex(), 6) << "each notch scrolls three lines";
  Press(VK_NEXT);
  EXPECT_EQ(list->GetItemIndex(), 24) << "a page is the list's 25 rows";
  Press(VK_END, false, true);
  Press(VK_NEXT, false, true);
  const Integer last = Towns->GetProperties()->GetItems()->GetCount() - 1;
  EXPECT_EQ(list->GetItemIndex(), last);
  EXPECT_EQ(list->GetTopIndex(), last - 24);
  EXPECT_EQ(Towns->GetTextProperty(), "*") << "moving in the open list changes nothing yet";
  Press(VK_ESCAPE);
}

TEST_F(TownPickLists, TheListOpensAboveTheEditorWhenThereIsNoRoomBelow) {
  Towns->SetTop(600);  // 640 on the 768-pixel screen: 25 rows do not fit below
  Run();
  Towns->SetFocus();
  Run();
  Press(VK_F4);
  ASSERT_TRUE(Towns->HasOpenPopup());
  const TRect popup = ScreenRect(Towns->GetPopupWindow());
  const TRect editor = ScreenRect(Towns);
  EXPECT_LE(popup.Bottom, editor.Top + 1);
  EXPECT_GE(popup.Bottom, editor.Top - 1);
  EXPECT_EQ(List(Towns)->GetClientHeight(), 25 * List(Towns)->GetItemHeight(-1));
  Press(VK_ESCAPE);
}

}  // namespace
