// Button controls on a toolbar: split buttons whose arrow part opens their drop-down menu while
// the main part clicks, and large buttons with their large image above the caption.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarStrs.h"
#include "components/bars/tests/BarManagerFixture.h"
#include "components/foundation/cxGeometry.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ImgList.h"
#include "platform/controls/Menus.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Gdi.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/drawing/Surface.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

class ButtonControlTest : public BarFormTest {
 protected:
  ButtonControlTest() : BarFormTest({100, 100, 260, 140}) {}

  void SetUp() override {
    BarFormTest::SetUp();
    Manager->SetStyle(bmsStandard);
    Toolbar = Manager->AddToolbar(true);
  }

  template <class T>
  T* AddButton(const AnsiString& caption, TdxBar* bar = nullptr) {
    auto* button = new T(Form.get());
    button->SetParentComponent(Manager);
    button->SetCaption(caption);
    button->SetOnClick(TNotifyEvent(&Log, &TClickLog::Click));
    (bar ? bar : Toolbar)->GetLinks()->AddItem(button);
    return button;
  }
  // A split button "Open" with a menu of two entries, between two plain buttons.
  void MakeSplitButton() {
    AddButton<TdxBarButton>("New");
    Split = AddButton<TdxBarButton>("Open");
    Split->SetButtonStyle(bsDropDown);
    Menu = new TdxBarPopupMenu(Form.get());
    Menu->SetBarManager(Manager);
    for (const char* caption : {"Recent", "Other"}) {
      auto* entry = NewTestButton(Manager, Form.get(), caption, TNotifyEvent(&Log, &TClickLog::Click));
      Menu->GetLinks()->AddItem(entry);
    }
    Split->SetDropDownMenu(Menu);
    AddButton<TdxBarButton>("Save");
  }

  TdxBarControl* Window() const { return dynamic_cast<TdxBarControl*>(Toolbar->GetControl()); }
  TdxBarItemLink* LinkOf(TdxBarItem* item) const {
    for (Integer i = 0; i < Toolbar->GetLinks()->GetCount(); ++i)
      if (Toolbar->GetLinks()->GetItem(i)->GetItem() == item) return Toolbar->GetLinks()->GetItem(i);
    return nullptr;
  }
  TdxBarButtonControl* ControlOf(TdxBarItem* item) const {
    return dynamic_cast<TdxBarButtonControl*>(LinkOf(item)->GetControl());
  }
  TPoint ToScreen(const TPoint& p) const {
    POINT s{p.X, p.Y};
    ClientToScreen(Window()->GetHandle(), &s);
    return TPoint{s.X, s.Y};
  }
  void MoveTo(const TPoint& client) {
    const TPoint p = ToScreen(client);
    orv::headless::MouseMove(p.X, p.Y);
    Run();
  }
  void Press() {
    orv::headless::MouseDown();
    Run();
  }
  void Release() {
    orv::headless::MouseUp();
    Run();
  }
  static TPoint Centre(const TRect& r) { return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }


  TdxBar* Toolbar = nullptr;
  TdxBarButton* Split = nullptr;
  TdxBarPopupMenu* Menu = nullptr;
  TClickLog Log;
};

}  // namespace

// A drop-down button is wider by its arrow part, and has two parts: the main part and the arrow.
TEST_F(ButtonControlTest, ASplitButtonHasAnArrowPartAtItsRightEnd) {
  MakeSplitButton();
  Show();
  TdxBarButtonControl* split = ControlOf(Split);
  TdxBarButtonControl* plain = ControlOf(Toolbar->GetLinks()->GetItem(2)->GetItem());
  ASSERT_NE(split, nullptr);
  ASSERT_NE(plain, nullptr);
  EXPECT_TRUE(split->HasDropDown());
  EXPECT_FALSE(plain->HasDropDown());
  ASSERT_EQ(split->GetPartCount(), 2);
  const TRect item = split->GetItemRect();
  const Integer arrow = split->GetButtonDrawParams()->ArrowSize.cx;
  EXPECT_EQ(arrow, 11);
  EXPECT_EQ(split->GetPartRect(1), (TRect{item.Right - arrow, item.Top, item.Right, item.Bottom}));
  EXPECT_EQ(split->GetPartRect(0), (TRect{item.Left, item.Top, item.Right - arrow, item.Bottom}));
  EXPECT_EQ(plain->GetPartCount(), 1);
  EXPECT_TRUE(MatchBarGolden(orv::headless::CaptureWindow(Window()->GetHandle()), "button-split.png"));
}

// Pressing the arrow part opens the menu below the button and clicks nothing, even on release;
// pressing the main part clicks on release and opens no menu.
TEST_F(ButtonControlTest, TheArrowPartOpensTheMenuAndTheMainPartClicks) {
  MakeSplitButton();
  Show();
  TdxBarButtonControl* split = ControlOf(Split);
  const TRect arrowPart = split->GetPartRect(1);
  MoveTo(Centre(arrowPart));
  EXPECT_EQ(split->GetHotPartIndex(), 1);
  Press();
  ASSERT_TRUE(Menu->IsShown());
  TdxBarSubMenuControl* window = Menu->GetSubMenuControl();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(split->IsDroppedDown());
  EXPECT_TRUE(split->GetButtonDrawParams()->MenuOpen || (split->CalcDrawParams(true), split->GetButtonDrawParams()->MenuOpen));
  // Below the button, its left edges on the button's.
  RECT bounds{};
  GetWindowRect(window->GetHandle(), &bounds);
  const TPoint below = ToScreen(TPoint{split->GetItemRect().Left, split->GetItemRect().Bottom});
  EXPECT_EQ(bounds.Left, below.X);
  EXPECT_EQ(bounds.Top, below.Y);
  Release();
  EXPECT_TRUE(Log.Clicks.empty());
  EXPECT_TRUE(Menu->IsShown());
  EXPECT_TRUE(MatchBarGolden(orv::headless::CaptureWindow(Window()->GetHandle()), "button-split-dropped.png"));

  // Escape closes the menu; the button is no longer dropped down.
  orv::headless::KeyDown(VK_ESCAPE);
  orv::headless::KeyUp(VK_ESCAPE);
  Run();
  EXPECT_FALSE(Menu->IsShown());
  EXPECT_FALSE(split->IsDroppedDown());

  // The main part clicks on release and opens nothing.
  MoveTo(Centre(split->GetPartRect(0)));
  EXPECT_EQ(split->GetHotPartIndex(), 0);
  Press();
  EXPECT_FALSE(Menu->IsShown());
  EXPECT_TRUE(Log.Clicks.empty());
  Release();
  EXPECT_EQ(Log.Clicks, (std::vector<std::string>{"Open"}));
  EXPECT_FALSE(Menu->IsShown());
}

// A menu entry clicked in the open drop-down menu runs its click and closes the menu.
TEST_F(ButtonControlTest, AnEntryOfTheDropDownMenuClicks) {
  MakeSplitButton();
  Show();
  TdxBarButtonControl* split = ControlOf(Split);
  MoveTo(Centre(split->GetPartRect(1)));
  Press();
  Release();
  TdxBarSubMenuControl* window = Menu->GetSubMenuControl();
  ASSERT_NE(window, nullptr);
  const TRect entry = Menu->GetLinks()->GetItem(1)->GetItemRect();
  POINT p{(entry.Left + entry.Right) / 2, (entry.Top + entry.Bottom) / 2};
  ClientToScreen(window->GetHandle(), &p);
  orv::headless::MouseMove(p.X, p.Y);
  Run();
  Press();
  Release();
  EXPECT_EQ(Log.Clicks, (std::vector<std::string>{"Other"}));
  EXPECT_FALSE(Menu->IsShown());
  EXPECT_FALSE(split->IsDroppedDown());
}

// Without a menu, with the drop-down disabled or with the button disabled the arrow opens nothing.
TEST_F(ButtonControlTest, TheArrowOpensNothingWithoutAnEnabledMenu) {
  MakeSplitButton();
  Show();
  struct TCase {
    const char* Name;
    void (*Apply)(TdxBarButton* button, TdxBarPopupMenu* menu);
  } cases[] = {
      {"no menu", [](TdxBarButton* b, TdxBarPopupMenu*) { b->SetDropDownMenu(nullptr); }},
      {"drop-down disabled", [](TdxBarButton* b, TdxBarPopupMenu* m) {
         b->SetDropDownMenu(m);
         b->SetDropDownEnabled(false);
       }},
      {"button disabled", [](TdxBarButton* b, TdxBarPopupMenu* m) {
         b->SetDropDownEnabled(true);
         b->SetEnabled(false);
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    c.Apply(Split, Menu);
    Run();
    TdxBarButtonControl* split = ControlOf(Split);
    MoveTo(Centre(split->GetPartRect(1)));
    Press();
    Release();
    EXPECT_FALSE(Menu->IsShown());
    EXPECT_FALSE(split->IsDroppedDown());
    EXPECT_TRUE(Log.Clicks.empty());
    MoveTo(TPoint{-20, -20});
  }
}

// A menu that holds the button, itself or through a sub item, cannot become its drop-down menu;
// a freed menu leaves the button without one.
TEST_F(ButtonControlTest, DropDownMenusCannotHoldTheirButtonAndForgetAFreedMenu) {
  MakeSplitButton();
  auto* direct = new TdxBarPopupMenu(Form.get());
  direct->SetBarManager(Manager);
  direct->GetLinks()->AddItem(Split);
  auto* nested = new TdxBarPopupMenu(Form.get());
  nested->SetBarManager(Manager);
  auto* sub = new TdxBarSubItem(Form.get());
  sub->SetParentComponent(Manager);
  sub->GetItemLinks()->AddItem(Split);
  nested->GetLinks()->AddItem(sub);
  for (TdxBarPopupMenu* recursive : {direct, nested}) {
    try {
      Split->SetDropDownMenu(recursive);
      ADD_FAILURE() << "no error";
    } catch (const EdxException& e) {
      EXPECT_EQ(e.GetMessage(), LoadResString(&dxSBAR_RECURSIVEMENUS));
    }
    EXPECT_EQ(Split->GetDropDownMenu(), Menu);
  }
  Menu->Free();
  EXPECT_EQ(Split->GetDropDownMenu(), nullptr);
}

// In a menu a drop-down button opens its menu 400 ms after the pointer comes onto it and closes
// it 400 ms after the pointer moves to another entry; coming back within the delay keeps it open.
TEST_F(ButtonControlTest, InAMenuADropDownButtonOpensAndClosesItsMenuAfterTheHoverDelay) {
  MakeSplitButton();
  // "File" on the toolbar holds the drop-down button "Open" and the plain button "Print".
  auto* file = new TdxBarSubItem(Form.get());
  file->SetParentComponent(Manager);
  file->SetCaption("File");
  Toolbar->GetLinks()->AddItem(file);
  file->GetItemLinks()->AddItem(Split);
  file->GetItemLinks()->AddItem(NewTestButton(Manager, Form.get(), "Print"));
  Show();
  MoveTo(Centre(LinkOf(file)->GetItemRect()));
  Press();
  Release();
  auto* fileMenu = dynamic_cast<TdxBarSubMenuControl*>(file->GetItemLinks()->GetBarControl());
  ASSERT_NE(fileMenu, nullptr);
  auto moveOnto = [&](Integer index) {
    const TRect r = file->GetItemLinks()->GetItem(index)->GetItemRect();
    POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    ClientToScreen(fileMenu->GetHandle(), &p);
    orv::headless::MouseMove(p.X, p.Y);
    Run();
  };
  auto wait = [&](Cardinal ms) {
    orv::headless::AdvanceTime(ms);
    Run();
  };
  auto* open = dynamic_cast<TdxBarButtonControl*>(file->GetItemLinks()->GetItem(0)->GetControl());
  ASSERT_NE(open, nullptr);

  moveOnto(0);
  EXPECT_FALSE(Menu->IsShown());
  wait(399);
  EXPECT_FALSE(Menu->IsShown()) << "not before the delay";
  wait(1);
  ASSERT_TRUE(Menu->IsShown());
  ASSERT_EQ(file->GetItemLinks()->GetBarControl(), fileMenu) << "the menu holding the button stays open";
  EXPECT_TRUE(open->IsDroppedDown());
  ASSERT_NE(Menu->GetSubMenuControl(), nullptr);
  EXPECT_EQ(Menu->GetSubMenuControl()->GetParentBarControl(), fileMenu);
  EXPECT_TRUE(Log.Clicks.empty()) << "hovering clicks nothing";

  moveOnto(1);
  wait(399);
  EXPECT_TRUE(Menu->IsShown()) << "not before the delay";
  wait(1);
  EXPECT_FALSE(Menu->IsShown());
  EXPECT_FALSE(open->IsDroppedDown());
  EXPECT_NE(file->GetItemLinks()->GetBarControl(), nullptr) << "the menu holding the button stays";

  // Back within the delay: the pending close is dropped.
  moveOnto(0);
  wait(400);
  ASSERT_TRUE(Menu->IsShown());
  moveOnto(1);
  wait(200);
  moveOnto(0);
  wait(1000);
  EXPECT_TRUE(Menu->IsShown());
  EXPECT_TRUE(open->IsDroppedDown());
  EXPECT_TRUE(Log.Clicks.empty());
}

// A drop-down button's menu keeps clear of the button (its owner bounds are the button's screen
// rectangle, where the menu joins it) only in the flat looks; a control inside a menu never asks.
TEST_F(ButtonControlTest, ADropDownMenuKeepsClearOfItsButtonOnlyInFlatLooks) {
  MakeSplitButton();
  auto* file = new TdxBarSubItem(Form.get());
  file->SetParentComponent(Manager);
  file->SetCaption("File");
  Toolbar->GetLinks()->AddItem(file);
  file->GetItemLinks()->AddItem(NewTestButton(Manager, Form.get(), "Print"));
  Show();
  struct TCase {
    TdxBarManagerStyle Style;
    bool Clear;
  } cases[] = {{bmsStandard, false}, {bmsEnhanced, false}, {bmsFlat, true}, {bmsOffice11, true}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(int(c.Style));
    Manager->SetStyle(c.Style);
    Run();
    TdxBarButtonControl* split = ControlOf(Split);
    EXPECT_EQ(split->NeedDropDownExcludeRect(), c.Clear);
    MoveTo(Centre(split->GetPartRect(1)));
    Press();
    Release();
    ASSERT_NE(Menu->GetSubMenuControl(), nullptr);
    EXPECT_EQ(Menu->GetSubMenuControl()->GetOwnerBounds(), c.Clear ? Window()->GetItemControlScreenRect(split) : TRect{});
    split->CloseDropDown(true);
    Run();
    TdxBarItemControl* fileControl = LinkOf(file)->GetControl();
    MoveTo(Centre(fileControl->GetItemRect()));
    Press();
    Release();
    auto* fileMenu = dynamic_cast<TdxBarSubMenuControl*>(file->GetItemLinks()->GetBarControl());
    ASSERT_NE(fileMenu, nullptr);
    EXPECT_FALSE(fileMenu->UsesFlatLook());
    TdxBarItemControl* print = file->GetItemLinks()->GetItem(0)->GetControl();
    ASSERT_NE(print, nullptr);
    EXPECT_FALSE(print->NeedDropDownExcludeRect());
    orv::headless::Click(120, 230);
    Run();
    ASSERT_EQ(file->GetItemLinks()->GetBarControl(), nullptr);
  }
}

// A button's item links are its drop-down menu's: a shortcut of an entry runs while the menu is
// closed, and a menu reached through a drop-down button counts as held for the recursion check.
TEST_F(ButtonControlTest, AButtonsItemLinksAreItsDropDownMenus) {
  MakeSplitButton();
  EXPECT_EQ(Split->GetItemLinks(), Menu->GetItemLinks());
  auto* plain = NewTestButton(Manager, Form.get(), "Plain");
  EXPECT_EQ(plain->GetItemLinks(), nullptr);
  const TShortCut ctrlR = ShortCut('R', false, true, false);
  Menu->GetItemLinks()->GetItem(0)->GetItem()->SetShortCut(ctrlR);
  EXPECT_TRUE(Split->IsShortCut(ctrlR));
  EXPECT_EQ(Log.Clicks, (std::vector<std::string>{"Recent"}));
  EXPECT_FALSE(Menu->IsShown());
  Split->SetEnabled(false);
  EXPECT_FALSE(Split->IsShortCut(ctrlR));
  EXPECT_EQ(Log.Clicks.size(), 1u);

  // "Outer" holds the split button, whose menu is Menu: Menu cannot take a button that drops
  // down "Outer".
  auto* outer = new TdxBarPopupMenu(Form.get());
  outer->SetBarManager(Manager);
  outer->GetLinks()->AddItem(Split);
  auto* opener = NewTestButton(Manager, Form.get(), "Opener");
  opener->SetDropDownMenu(outer);
  AnsiString error;
  EXPECT_FALSE(Menu->CanContainItem(opener, error));
  EXPECT_EQ(error, LoadResString(&dxSBAR_RECURSIVEMENUS));
  EXPECT_TRUE(Menu->CanContainItem(plain, error));
}

// Down opens the drop-down menu of the selected button on a toolbar; other keys do not.
TEST_F(ButtonControlTest, DownOpensTheMenuOfASelectedDropDownButton) {
  MakeSplitButton();
  Show();
  TdxBarButtonControl* split = ControlOf(Split);
  for (Word key : {Word(VK_RIGHT), Word(VK_RETURN), Word('A')}) EXPECT_FALSE(split->IsExpandKey(key));
  EXPECT_TRUE(split->IsExpandKey(VK_UP));
  Word key = VK_DOWN;
  split->KeyDown(key, TShiftState{});
  EXPECT_EQ(key, 0);
  EXPECT_TRUE(Menu->IsShown());
  EXPECT_TRUE(split->IsDroppedDown());
  split->CloseDropDown(true);
  Run();
  EXPECT_FALSE(Menu->IsShown());
}

namespace {

// A 32 x 32 image of one colour on a transparent fuchsia ground.
void AddLargeImage(TCustomImageList* images, TColor color) {
  orv::test::Owned<TBitmap> picture(new TBitmap);
  picture->SetSize(32, 32);
  picture->GetCanvas()->GetBrush()->SetColor(clFuchsia);
  picture->GetCanvas()->FillRect(Rect(0, 0, 32, 32));
  picture->GetCanvas()->GetBrush()->SetColor(color);
  picture->GetCanvas()->FillRect(Rect(6, 6, 26, 26));
  images->AddMasked(picture.get(), clFuchsia);
}

}  // namespace

// A large button on a toolbar shows its large image centred above its caption, its hot image
// while hot, keeps the width and height set on it, and clicks.
TEST_F(ButtonControlTest, LargeButtonsShowTheirLargeImageAboveTheCaption) {
  auto* large = new TCustomImageList(Form.get(), 32, 32);
  AddLargeImage(large, clBlue);
  auto* hot = new TCustomImageList(Form.get(), 32, 32);
  AddLargeImage(hot, clRed);
  Manager->BeginUpdate();
  Manager->SetLargeImages(large);
  Manager->SetHotImages(hot);
  auto* print = AddButton<TdxBarLargeButton>("Print");
  print->SetLargeImageIndex(0);
  print->SetHotImageIndex(0);
  print->SetAutoGrayScale(false);
  auto* wide = AddButton<TdxBarLargeButton>("Wide");
  wide->SetLargeImageIndex(0);
  wide->SetWidth(70);
  wide->SetHeight(64);
  Manager->EndUpdate();
  Show();
  auto* control = dynamic_cast<TdxBarLargeButtonControl*>(ControlOf(print));
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(control->GetSizeMode(), smLarge);
  EXPECT_EQ(control->GetContentKinds(), Byte(ceIcon | ceText));
  const TRect r = control->GetItemRect();
  // Taller than the image and the caption's line together, and wider than the image.
  EXPECT_GE(r.Height(), 32 + Window()->GetBarControlCanvas()->TextHeight("Qq"));
  EXPECT_GT(r.Width(), 32);
  EXPECT_EQ(ControlOf(wide)->GetItemRect().Width(), 70);
  EXPECT_EQ(ControlOf(wide)->GetItemRect().Height(), 64);
  // The drawn glyph: centred across, 2 pixels below the face's top edge (1 pixel in).
  const orv::TSurface surface = orv::headless::CaptureClient(Window()->GetHandle());
  const TRect glyph = control->GetViewInfo()->GetBounds();
  const Integer left = r.Left + 1 + (r.Width() - 2 - 32) / 2;
  EXPECT_EQ(orv::PixelToColor(surface.Pixel(left + 16, r.Top + 3 + 16)), std::uint32_t(ColorToRGB(clBlue)));
  EXPECT_EQ(orv::PixelToColor(surface.Pixel(left + 2, r.Top + 3 + 2)), std::uint32_t(ColorToRGB(clBtnFace)));
  (void)glyph;
  EXPECT_TRUE(MatchBarGolden(orv::headless::CaptureWindow(Window()->GetHandle()), "button-large.png"));

  // Hot: the hot image.
  MoveTo(Centre(r));
  const orv::TSurface hotSurface = orv::headless::CaptureClient(Window()->GetHandle());
  EXPECT_EQ(orv::PixelToColor(hotSurface.Pixel(left + 16, r.Top + 3 + 16)), std::uint32_t(ColorToRGB(clRed)));
  Press();
  Release();
  EXPECT_EQ(Log.Clicks, (std::vector<std::string>{"Print"}));
}
