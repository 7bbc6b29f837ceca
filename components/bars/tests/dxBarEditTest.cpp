// Edit and combo items on a toolbar on the headless desktop: a click opens the in-place edit,
// typing changes only the window until Enter (or Tab) stores it, Escape leaves the value, the
// item's events in their order, and a string combo browsed by the arrow keys, dropped down by
// F4, Alt+Down and its button, and picked from its list by keys and by the mouse.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarEdit.h"
#include "components/bars/tests/BarManagerFixture.h"
#include "components/foundation/cxClasses.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Gdi.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/User.h"

namespace {

struct TEditEventLog {
  std::vector<std::string> Events;
  void Change(TObject* sender) { Events.push_back("change:" + static_cast<TdxBarWindowItem*>(sender)->GetText()); }
  void CurChange(TObject* sender) { Events.push_back("cur"); }
  void Enter(TObject* sender) { Events.push_back("enter"); }
  void Exit(TObject* sender) { Events.push_back("exit"); }
  Integer Count(const std::string& prefix) const {
    Integer n = 0;
    for (const std::string& e : Events) n += e.rfind(prefix, 0) == 0;
    return n;
  }
};

class BarEditTest : public orv::test::HeadlessFormTest {
 protected:
  BarEditTest() : HeadlessFormTest({100, 100, 420, 200}) {}

  void SetUp() override {
    HeadlessFormTest::SetUp();
    Manager = NewTestBarManager(Form.get());
    Manager->SetStyle(bmsFlat);
    Manager->BeginUpdate();
    Toolbar = Manager->AddToolbar(false);
    Toolbar->SetDockingStyle(dsTop);
    Edit = new TdxBarEdit(Form.get());
    Edit->SetParentComponent(Manager);
    Edit->SetCaption("Town");
    Edit->SetWidth(90);
    Hook(Edit);
    Combo = new TdxBarCombo(Form.get());
    Combo->SetParentComponent(Manager);
    Combo->SetCaption("Country");
    Combo->SetWidth(90);
    Combo->GetItems()->Add("ALPHA");
    Combo->GetItems()->Add("ALBUM");
    Combo->GetItems()->Add("BETA");
    Combo->GetItems()->Add("GAMMA");
    Hook(Combo);
    Toolbar->GetLinks()->AddItem(Edit);
    Toolbar->GetLinks()->AddItem(Combo);
    Toolbar->SetVisible(true);
    Manager->EndUpdate();
  }
  void TearDown() override {
    Form.reset();
    ResetBarServices();
    HeadlessFormTest::TearDown();
  }

  void Hook(TdxBarWindowItem* item) {
    item->SetOnChange(TNotifyEvent(&Log, &TEditEventLog::Change));
    item->SetOnCurChange(TNotifyEvent(&Log, &TEditEventLog::CurChange));
    item->SetOnEnter(TNotifyEvent(&Log, &TEditEventLog::Enter));
    item->SetOnExit(TNotifyEvent(&Log, &TEditEventLog::Exit));
  }

  TCustomdxBarControl* Window() const { return Toolbar->GetControl(); }
  TdxBarItemLink* LinkOf(TdxBarItem* item) const {
    for (Integer i = 0; i < Toolbar->GetLinks()->GetCount(); ++i)
      if (Toolbar->GetLinks()->GetItem(i)->GetItem() == item) return Toolbar->GetLinks()->GetItem(i);
    return nullptr;
  }
  template <class T>
  T* ControlOf(TdxBarItem* item) const {
    return dynamic_cast<T*>(LinkOf(item)->GetControl());
  }
  TPoint ScreenPoint(TdxBarItem* item, const TRect& r, Integer dx = 0) const {
    POINT p{(r.Left + r.Right) / 2 + dx, (r.Top + r.Bottom) / 2};
    ClientToScreen(Window()->GetHandle(), &p);
    return TPoint{p.X, p.Y};
  }
  void ClickAt(const TPoint& p) {
    orv::headless::MouseMove(p.X, p.Y);
    Run();
    orv::headless::MouseDown();
    Run();
    orv::headless::MouseUp();
    Run();
  }
  // A click on the edit area (part 0) of an item.
  void ClickEditArea(TdxBarItem* item) {
    auto* control = ControlOf<TdxBarCustomEditControl>(item);
    ASSERT_NE(control, nullptr);
    ClickAt(ScreenPoint(item, control->GetPartRect(0)));
  }
  void Type(const std::string& text) {
    orv::headless::TypeText(text);
    Run();
  }
  void Key(Word key) {
    orv::headless::KeyDown(key);
    orv::headless::KeyUp(key);
    Run();
  }
  AnsiString WindowText(TdxBarItem* item) {
    AnsiString text;
    ControlOf<TdxBarWinControl>(item)->GetWindowText(text);
    return text;
  }

  TdxBarManager* Manager = nullptr;
  TdxBar* Toolbar = nullptr;
  TdxBarEdit* Edit = nullptr;
  TdxBarCombo* Combo = nullptr;
  TEditEventLog Log;
};

}  // namespace

TEST_F(BarEditTest, AClickOpensTheInPlaceEditAndEnterStoresTheTypedText) {
  Edit->SetText("Moscow");
  Show();
  Log.Events.clear();
  ClickEditArea(Edit);
  auto* control = ControlOf<TdxBarEditControl>(Edit);
  ASSERT_NE(control, nullptr);
  HWND window = control->GetWindowHandle();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(GetFocus(), window);
  EXPECT_EQ(::GetParent(window), Window()->GetHandle());
  EXPECT_EQ(WindowText(Edit), "Moscow");
  // The whole text is selected: typing replaces it, and only the window changes.
  Type("Omsk");
  EXPECT_EQ(WindowText(Edit), "Omsk");
  EXPECT_EQ(Edit->GetText(), "Moscow");
  EXPECT_EQ(Edit->GetCurText(), "Omsk");
  EXPECT_GE(Log.Count("cur"), 1);
  EXPECT_EQ(Log.Count("change"), 0);
  Key(VK_RETURN);
  EXPECT_EQ(Edit->GetText(), "Omsk");
  EXPECT_EQ(Log.Count("change:Omsk"), 1);
  // The window is hidden again and the focus back on the form.
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(GetFocus(), Form->GetHandle());
  EXPECT_FALSE(Window()->IsActive());
  ASSERT_FALSE(Log.Events.empty());
  EXPECT_EQ(Log.Events.front(), "enter");
  EXPECT_EQ(Log.Count("exit"), 1);
}

TEST_F(BarEditTest, EscapeLeavesTheValueEvenWithAlwaysSaveText) {
  Manager->SetAlwaysSaveText(true);
  Edit->SetText("Moscow");
  Show();
  ClickEditArea(Edit);
  Type("Omsk");
  Key(VK_ESCAPE);
  EXPECT_EQ(Edit->GetText(), "Moscow");
  EXPECT_EQ(Log.Count("change"), 1);  // the one of SetText before showing
  EXPECT_FALSE(IsWindowVisible(ControlOf<TdxBarEditControl>(Edit)->GetWindowHandle()));
}

TEST_F(BarEditTest, ClickingElsewhereStoresTheTextOnlyWithAlwaysSaveText) {
  for (const Boolean save : {false, true}) {
    SCOPED_TRACE(save ? "AlwaysSaveText" : "without AlwaysSaveText");
    Manager->SetAlwaysSaveText(save);
    Edit->SetText("Moscow");
    if (!Form->GetVisible()) Show();
    ClickEditArea(Edit);
    Type("Omsk");
    // A click on the form below the toolbar.
    POINT p{200, 150};
    ClientToScreen(Form->GetHandle(), &p);
    ClickAt(TPoint{p.X, p.Y});
    EXPECT_EQ(Edit->GetText(), save ? "Omsk" : "Moscow");
    EXPECT_FALSE(IsWindowVisible(ControlOf<TdxBarEditControl>(Edit)->GetWindowHandle()));
  }
}

TEST_F(BarEditTest, KeyEventsAndMaxLengthReachTheEditWindow) {
  struct TKeys {
    std::string Pressed;
    void Press(TObject*, char& key) {
      Pressed += key;
      if (key == 'x') key = 0;          // dropped
      if (key == 'a') key = 'A';        // replaced
    }
  } keys;
  Edit->SetOnKeyPress(TKeyPressEvent(&keys, &decltype(keys)::Press));
  Edit->SetMaxLength(4);
  Show();
  ClickEditArea(Edit);
  Type("paxris");
  EXPECT_EQ(keys.Pressed, "paxris");
  EXPECT_EQ(WindowText(Edit), "pAri");
}

TEST_F(BarEditTest, ComboArrowsBrowseWithoutChangingTheItemUntilEnter) {
  Combo->SetItemIndex(0);
  Show();
  Log.Events.clear();
  ClickEditArea(Combo);
  auto* control = ControlOf<TdxBarComboControl>(Combo);
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(control->GetLocalItemIndex(), 0);
  Key(VK_DOWN);
  Key(VK_DOWN);
  EXPECT_EQ(WindowText(Combo), "BETA");
  EXPECT_EQ(Combo->GetItemIndex(), 0);
  EXPECT_EQ(Log.Count("change"), 0);
  Key(VK_DOWN);
  Key(VK_DOWN);  // at the end: stays on the last entry
  EXPECT_EQ(WindowText(Combo), "GAMMA");
  Key(VK_RETURN);
  EXPECT_EQ(Combo->GetItemIndex(), 3);
  EXPECT_EQ(Combo->GetText(), "GAMMA");
  EXPECT_EQ(Log.Count("change:GAMMA"), 1);
}

TEST_F(BarEditTest, ComboF4AndAltDownDropTheListAndKeysPickAnEntry) {
  Show();
  ClickEditArea(Combo);
  auto* control = ControlOf<TdxBarComboControl>(Combo);
  Key(VK_F4);
  ASSERT_TRUE(control->IsDroppedDown());
  HWND list = Combo->GetListBox()->GetHandle();
  EXPECT_TRUE(IsWindowVisible(list));
  // Below the edit area, the list is a top-level window of the combo's entries.
  EXPECT_EQ(::GetParent(list), nullptr);
  RECT listRect{};
  GetWindowRect(list, &listRect);
  const TRect item = LinkOf(Combo)->GetItemRect();
  POINT below{item.Left, item.Bottom};
  ClientToScreen(Window()->GetHandle(), &below);
  EXPECT_EQ(listRect.Top, below.Y);
  EXPECT_EQ(Combo->GetListBox()->GetCount(), 4);
  // Nothing is selected in the list yet: the first key starts from the top entry.
  Key(VK_DOWN);
  EXPECT_EQ(Combo->GetListBox()->GetItemIndex(), 1);
  EXPECT_EQ(WindowText(Combo), "ALBUM");
  EXPECT_EQ(Combo->GetItemIndex(), -1);
  Key(VK_RETURN);
  EXPECT_EQ(Combo->GetItemIndex(), 1);
  EXPECT_FALSE(IsWindowVisible(list));
  // Alt+Down toggles the list too.
  ClickEditArea(Combo);
  orv::headless::KeyDown(VK_MENU);
  orv::headless::KeyDown(VK_DOWN);
  orv::headless::KeyUp(VK_DOWN);
  orv::headless::KeyUp(VK_MENU);
  Run();
  EXPECT_TRUE(control->IsDroppedDown());
  EXPECT_TRUE(IsWindowVisible(list));
  Key(VK_ESCAPE);
  EXPECT_FALSE(IsWindowVisible(list));
  EXPECT_EQ(Combo->GetItemIndex(), 1);
}

TEST_F(BarEditTest, ComboButtonOpensTheListAndAClickInItPicksTheEntry) {
  Show();
  auto* control = ControlOf<TdxBarComboControl>(Combo);
  ASSERT_GE(control->GetPartCount(), 4);
  ClickAt(ScreenPoint(Combo, control->GetPartRect(3)));
  ASSERT_TRUE(control->IsDroppedDown());
  HWND list = Combo->GetListBox()->GetHandle();
  ASSERT_TRUE(IsWindowVisible(list));
  // The third entry of the list.
  const TRect entry = Combo->GetListBox()->ItemRect(2);
  POINT p{(entry.Left + entry.Right) / 2, (entry.Top + entry.Bottom) / 2};
  ClientToScreen(list, &p);
  ClickAt(TPoint{p.X, p.Y});
  EXPECT_EQ(Combo->GetItemIndex(), 2);
  EXPECT_EQ(Combo->GetText(), "BETA");
  EXPECT_FALSE(IsWindowVisible(list));
  EXPECT_FALSE(Window()->IsActive());
  EXPECT_EQ(Log.Count("change:BETA"), 1);
}

TEST_F(BarEditTest, ComboTextAndItemIndexKeepInStep) {
  Combo->SetText("BETA");
  EXPECT_EQ(Combo->GetItemIndex(), 2);
  Combo->SetText("Delta");
  EXPECT_EQ(Combo->GetItemIndex(), -1);
  Combo->SetItemIndex(7);
  EXPECT_EQ(Combo->GetItemIndex(), -1);
  Combo->SetText("ALBUM");
  Log.Events.clear();
  // The index of the entry equal to the text still reports one change.
  Combo->SetItemIndex(1);
  Combo->SetItemIndex(1);
  EXPECT_EQ(Log.Count("change"), 0);
  Combo->GetItems()->Delete(3);
  Combo->GetItems()->Delete(2);
  Combo->GetItems()->Delete(1);
  EXPECT_EQ(Combo->GetItemIndex(), -1);
  EXPECT_EQ(Combo->GetText(), "");
}

TEST_F(BarEditTest, FindItemPrefersTheFirstFullPrefixThenTheLongestCommonOne) {
  struct TCase {
    const char* Text;
    Integer Index;
  };
  for (const TCase& c : {TCase{"al", 0}, TCase{"alb", 1}, TCase{"alx", 0}, TCase{"z", -1}, TCase{"", -1},
                         TCase{"beta", 2}, TCase{"gz", 3}}) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(Combo->FindItem(c.Text), c.Index);
  }
}

TEST_F(BarEditTest, EditWidthIgnoresNonPositiveValuesAndAReadOnlyComboNeverDropsDown) {
  Edit->SetWidth(0);
  Edit->SetWidth(-5);
  EXPECT_EQ(Edit->GetWidth(), 90);
  Edit->SetMaxLength(-3);
  EXPECT_EQ(Edit->GetMaxLength(), 0);
  Combo->SetReadOnly(true);
  Combo->SetItemIndex(0);
  Show();
  ClickEditArea(Combo);
  auto* control = ControlOf<TdxBarComboControl>(Combo);
  Key(VK_F4);
  EXPECT_FALSE(control->IsDroppedDown());
  Key(VK_DOWN);
  EXPECT_EQ(WindowText(Combo), "ALPHA");
}

TEST_F(BarEditTest, TheToolbarWithAnEditAndAComboLooksRight) {
  Edit->SetText("Omsk");
  Combo->SetItemIndex(2);
  Show();
  // The two items only (the rest of the toolbar is not theirs).
  const orv::TSurface client = orv::headless::CaptureClient(Window()->GetHandle());
  const TRect first = LinkOf(Edit)->GetItemRect(), last = LinkOf(Combo)->GetItemRect();
  orv::TSurface bar(last.Right - first.Left, last.Bottom - first.Top);
  for (int y = 0; y < bar.Height(); ++y)
    for (int x = 0; x < bar.Width(); ++x) bar.SetPixel(x, y, client.Pixel(first.Left + x, first.Top + y));
  const orv::TImageCheck check =
      orv::MatchGoldenImage(bar, std::string(ORV_SOURCE_DIR) + "/components/bars/tests/golden/bar_edit_combo_flat.png");
  EXPECT_TRUE(check) << check.Message;
}
