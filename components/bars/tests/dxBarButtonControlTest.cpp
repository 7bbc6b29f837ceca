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
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Gdi.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/drawing/Surface.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

struct TClickLog {
  std::vector<std::string> Clicks;
  void Click(TObject* sender) { Clicks.push_back(static_cast<TdxBarItem*>(sender)->GetCaption()); }
};

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
