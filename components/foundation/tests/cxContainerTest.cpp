// The container control on the headless window system: the view-state cycle (hot tracking, focus,
// disabled), the inner control placed, coloured and focused with the container, colours and fonts
// between control and style, Tab, the window shape, long captions, and the window routines.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "components/foundation/cxContainer.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Gdi.h"
#include "platform/drawing/Surface.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

using orv::test::Owned;

// An edit window that tells its container of focus changes, as the editors' inner edits do.
class TInnerEdit : public TEdit {
  ORV_CLASS(TInnerEdit, TEdit)
 public:
  explicit TInnerEdit(TComponent* owner) : TEdit(owner) {}
  void WndProc(TMessage& message) override {
    inherited::WndProc(message);
    if (message.Msg == WM_SETFOCUS || message.Msg == WM_KILLFOCUS)
      if (auto* container = dynamic_cast<TcxContainer*>(GetParent())) container->FocusChanged();
  }
};

// A container around an edit window, as the text editors are.
class TTestContainer : public TcxContainer {
  ORV_CLASS(TTestContainer, TcxContainer)
 public:
  explicit TTestContainer(TComponent* owner) : TcxContainer(owner) {
    Edit = new TInnerEdit(this);
    Edit->SetParent(this);
    SetInnerControl(Edit);
  }
  TEdit* Edit;
  int Refreshes = 0;

  using TcxContainer::CreateWindowHandle;

 protected:
  Boolean RefreshViewState(const TPoint& point, Integer button, Boolean isMouseEvent,
                           TShiftState shift) override {
    ++Refreshes;
    return inherited::RefreshViewState(point, button, isMouseEvent, shift);
  }
};

// A container without an inner control.
class TBareContainer : public TcxContainer {
  ORV_CLASS(TBareContainer, TcxContainer)
 public:
  explicit TBareContainer(TComponent* owner) : TcxContainer(owner) {}
};

class ContainerTest : public orv::test::HeadlessFormTest {
 protected:
  ContainerTest() : HeadlessFormTest({100, 100, 300, 200}) {}
  template <class T = TTestContainer>
  T* Add(Integer x, Integer y, Integer w = 100, Integer h = 21) {
    auto* c = new T(Form.get());
    c->SetParent(Form.get());
    c->SetBounds(x, y, w, h);
    return c;
  }
  static void Move(TControl* c, int x, int y) {
    const TPoint p = c->ClientToScreen(Point(x, y));
    orv::headless::MouseMove(p.X, p.Y);
    Run();
  }
  // The window's pixel as a colour value.
  static COLORREF Pixel(TWinControl* c, int x, int y) {
    const orv::TSurface s = orv::headless::CaptureWindow(c->GetHandle());
    const std::uint32_t p = s.Pixel(x, y);
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  static TcxContainerState State(TcxContainer* c) { return c->GetViewInfo()->ContainerState; }

};

TEST_F(ContainerTest, InnerControlTakesTheClientRectColourAndFont) {
  TTestContainer* c = Add(10, 10, 100, 21);
  c->GetStyle()->SetColor(clYellow);
  Show();
  // The default frame: a transparent two-pixel band holding a one-pixel line.
  EXPECT_EQ(c->GetViewInfo()->ClientRect, (TRect{2, 2, 98, 19}));
  EXPECT_EQ(c->Edit->GetBoundsRect(), (TRect{2, 2, 98, 19}));
  EXPECT_EQ(c->Edit->GetColor(), clYellow);
  EXPECT_EQ(c->GetClientBounds(), (TRect{2, 2, 98, 19}));
  // A font of the style reaches the control and the inner control.
  TFont font;
  font.SetName(orv::kTestFontFace);
  font.SetHeight(-10);
  c->GetStyle()->SetFont(&font);
  EXPECT_EQ(c->GetFont()->GetName(), orv::kTestFontFace);
  EXPECT_EQ(c->Edit->GetFont()->GetHeight(), -10);
  EXPECT_FALSE(c->GetParentFont());
  // The inner control's destruction clears the reference.
  c->Edit->Free();
  EXPECT_EQ(c->GetInnerControl(), nullptr);
  c->RefreshStateAtCursor();
}

TEST_F(ContainerTest, HotTrackingFollowsTheMouseUnlessAKeyOrButtonIsHeld) {
  TTestContainer* c = Add(10, 10, 100, 21);
  TBareContainer* other = Add<TBareContainer>(10, 60);
  Show();
  other->SetFocus();
  Run();
  EXPECT_EQ(State(c), TcxContainerState{csNormal});
  EXPECT_EQ(Pixel(c, 1, 1), GetSysColor(COLOR_BTNSHADOW) & 0xFFFFFF);
  Move(c, 1, 10);  // the frame counts as hot
  EXPECT_EQ(State(c), (TcxContainerState{csNormal, csHotTrack}));
  EXPECT_EQ(c->GetActiveStyle(), c->GetStyleHot());
  EXPECT_TRUE(c->IsMouseTracked());
  EXPECT_EQ(Pixel(c, 1, 1), GetSysColor(COLOR_HIGHLIGHT) & 0xFFFFFF);
  // Over the inner control the container stays hot.
  Move(c, 50, 10);
  c->RefreshStateAtCursor(true);
  EXPECT_TRUE(State(c).Contains(csHotTrack));
  Move(c, 50, 150);  // away
  orv::headless::AdvanceTime(50);
  EXPECT_EQ(State(c), TcxContainerState{csNormal});
  EXPECT_FALSE(c->IsMouseTracked());
  EXPECT_EQ(Pixel(c, 1, 1), GetSysColor(COLOR_BTNSHADOW) & 0xFFFFFF);
  // With Shift (or a button) held, moving over it never makes it hot.
  orv::headless::KeyDown(VK_SHIFT);
  Run();
  Move(c, 1, 10);
  EXPECT_FALSE(State(c).Contains(csHotTrack));
  orv::headless::KeyUp(VK_SHIFT);
  Run();
  // Hot tracking switched off in the style.
  c->GetStyle()->SetHotTrack(false);
  Move(c, 2, 10);
  EXPECT_FALSE(State(c).Contains(csHotTrack));
}

TEST_F(ContainerTest, FocusGoesToTheInnerControlAndCountsForTheContainer) {
  TTestContainer* a = Add(10, 10);
  TTestContainer* b = Add(10, 40);
  Show();
  a->SetFocus();
  Run();
  EXPECT_EQ(GetFocus(), a->Edit->GetHandle());
  EXPECT_TRUE(a->Focused());
  EXPECT_TRUE(State(a).Contains(csActive));
  EXPECT_EQ(a->GetActiveStyle(), a->GetStyleFocused());
  EXPECT_FALSE(a->MayFocus());
  // Focus handed from the inner control to the container's window stays there.
  ::SetFocus(a->GetHandle());
  Run();
  EXPECT_EQ(GetFocus(), a->GetHandle());
  EXPECT_TRUE(a->Focused());
  // Tab moves on and the next container hands the focus to its inner control.
  a->Edit->SetFocus();
  Run();
  orv::headless::PressKey(VK_TAB);
  Run();
  EXPECT_EQ(GetFocus(), b->Edit->GetHandle());
  EXPECT_FALSE(State(a).Contains(csActive));
  EXPECT_TRUE(State(b).Contains(csActive));
  orv::headless::PressKey(VK_TAB, true);
  Run();
  EXPECT_EQ(GetFocus(), a->Edit->GetHandle());
}

TEST_F(ContainerTest, TabOrderListHasTheInnerControlInTheContainersPlace) {
  TTestContainer* a = Add(10, 10);
  TTestContainer* b = Add(10, 40);
  Show();
  b->SetFocus();
  Run();
  TList list;
  Form->GetTabOrderList(&list);
  ASSERT_EQ(list.GetCount(), 2);
  EXPECT_EQ(list.Get(0), a);
  EXPECT_EQ(list.Get(1), b->Edit);
}

TEST_F(ContainerTest, DisabledUsesItsStyleWhateverTheFocusAndCursor) {
  TTestContainer* c = Add(10, 10);
  c->GetStyleDisabled()->SetColor(clSilver);
  Show();
  c->SetFocus();
  Run();
  Move(c, 1, 10);
  c->SetEnabled(false);
  Run();
  EXPECT_EQ(State(c), TcxContainerState{csDisabled});
  EXPECT_EQ(c->GetActiveStyle(), c->GetStyleDisabled());
  EXPECT_EQ(c->GetViewInfo()->BackgroundColor, clSilver);
  EXPECT_EQ(c->Edit->GetColor(), clSilver);
  EXPECT_EQ(c->GetColorState(), 1);
  c->SetEnabled(true);
  Run();
  EXPECT_FALSE(State(c).Contains(csDisabled));
}

TEST_F(ContainerTest, ColourFromOutsideBecomesTheStylesAndParentColourTakesItBack) {
  TTestContainer* c = Add(10, 10);
  Show();
  EXPECT_FALSE(c->GetParentColor());
  EXPECT_EQ(c->GetColor(), clWindow);
  c->SetColor(clAqua);
  EXPECT_TRUE(c->GetStyle()->GetAssignedValues().Contains(csvColor));
  EXPECT_EQ(c->GetStyle()->GetColor(), clAqua);
  EXPECT_EQ(c->Edit->GetColor(), clAqua);
  // With ParentColor on, the parent's colour replaces the assignment.
  c->SetParentColor(true);
  EXPECT_EQ(c->GetColor(), clBtnFace);
  EXPECT_FALSE(c->GetStyle()->GetAssignedValues().Contains(csvColor));
  Form->SetColor(clLime);
  EXPECT_EQ(c->GetColor(), clLime);
  EXPECT_TRUE(c->GetParentColor());
  EXPECT_FALSE(c->GetStyle()->GetAssignedValues().Contains(csvColor));
  EXPECT_EQ(c->GetViewInfo()->BackgroundColor, clLime);
  // A style colour wins over the parent's.
  c->GetStyle()->SetColor(clRed);
  EXPECT_EQ(c->GetColor(), clRed);
  EXPECT_FALSE(c->GetParentColor());
}

TEST_F(ContainerTest, FontFromTheParentIsNoAssignment) {
  TTestContainer* c = Add(10, 10);
  Show();
  EXPECT_TRUE(c->GetParentFont());
  Form->GetFont()->SetName(orv::kTestFontFace);
  Form->GetFont()->SetHeight(-14);
  EXPECT_EQ(c->GetFont()->GetHeight(), -14);
  EXPECT_EQ(c->GetStyle()->GetFont()->GetHeight(), -14);
  EXPECT_FALSE(c->GetStyle()->GetAssignedValues().Contains(csvFont));
  EXPECT_TRUE(c->GetParentFont());
  EXPECT_EQ(c->Edit->GetFont()->GetHeight(), -14);
  // A font set on the control itself is not an assignment either, but the control stops
  // following its parent.
  c->GetFont()->SetHeight(-9);
  EXPECT_EQ(c->GetStyle()->GetFont()->GetHeight(), -9);
  EXPECT_FALSE(c->GetStyle()->GetAssignedValues().Contains(csvFont));
  EXPECT_FALSE(c->GetParentFont());
  Form->GetFont()->SetHeight(-20);
  EXPECT_EQ(c->GetFont()->GetHeight(), -9);
}

TEST_F(ContainerTest, ScalingScalesTheStyleFont) {
  TTestContainer* c = Add(10, 10, 100, 20);
  TTestContainer* plain = Add(10, 40, 100, 20);
  TFont font;
  font.SetName(orv::kTestFontFace);
  font.SetSize(10);
  c->GetStyle()->SetFont(&font);
  Show();
  c->ScaleBy(2, 1);
  plain->ScaleBy(2, 1);
  EXPECT_EQ(c->GetStyle()->GetFont()->GetSize(), 20);
  EXPECT_EQ(c->GetFont()->GetSize(), 20);
  EXPECT_EQ(c->GetWidth(), 200);
  // Without a font of its own the style follows the control's font as the parent gives it.
  EXPECT_FALSE(plain->GetStyle()->GetAssignedValues().Contains(csvFont));
  EXPECT_EQ(plain->GetStyle()->GetFont()->GetSize(), plain->GetFont()->GetSize());
  EXPECT_EQ(plain->GetWidth(), 200);
}

TEST_F(ContainerTest, WindowShapeCutsTheTransparentBandAndFollowsTheShadow) {
  TTestContainer* c = Add(10, 10, 40, 20);
  Show();
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(c->GetHandle(), region), ERROR);
  HRGN expected = CreateRectRgn(1, 1, 39, 19);
  EXPECT_TRUE(EqualRgn(region, expected));
  DeleteObject(expected);
  c->GetStyle()->SetShadow(true);
  Run();
  ASSERT_NE(GetWindowRgn(c->GetHandle(), region), ERROR);
  EXPECT_TRUE(PtInRegion(region, 38, 18));   // the shadow
  EXPECT_FALSE(PtInRegion(region, 38, 1));   // beside it
  EXPECT_EQ(c->GetViewInfo()->ClientRect, (TRect{2, 2, 35, 15}));
  // Without a transparent border and a shadow the frame fills the window: no shape.
  c->GetStyle()->SetShadow(false);
  c->GetStyle()->SetTransparentBorder(false);
  Run();
  EXPECT_EQ(GetWindowRgn(c->GetHandle(), region), ERROR);
  DeleteObject(region);
}

TEST_F(ContainerTest, StyleChangesRepaint) {
  TBareContainer* c = Add<TBareContainer>(10, 10, 40, 20);
  c->SetTabStop(false);
  Show();
  EXPECT_EQ(Pixel(c, 10, 10), GetSysColor(COLOR_WINDOW) & 0xFFFFFF);
  c->GetStyle()->SetColor(clRed);
  Run();
  EXPECT_EQ(Pixel(c, 10, 10), 0x0000FFu);
  c->GetStyle()->SetBorderColor(clBlue);
  c->GetStyle()->SetBorderStyle(cbsSingle);
  c->GetStyle()->SetTransparentBorder(false);
  Run();
  EXPECT_EQ(Pixel(c, 0, 0), 0xFF0000u);
  EXPECT_EQ(Pixel(c, 1, 1), 0x0000FFu);
}

TEST_F(ContainerTest, CursorIsTheArrowOutsideTheClientRect) {
  TTestContainer* c = Add(10, 10, 100, 21);
  c->SetCursor(crHandPoint);
  Show();
  EXPECT_EQ(c->Edit->GetCursor(), crHandPoint);
  Move(c, 1, 10);
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW));
}

int gSetTextCount = 0;
LRESULT CountSetText(int code, WPARAM wp, LPARAM lp) {
  const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lp);
  if (code == HC_ACTION && cwp->message == WM_SETTEXT) ++gSetTextCount;
  return CallNextHookEx(nullptr, code, wp, lp);
}

TEST_F(ContainerTest, LongCaptionsFollowThroughSetText) {
  HHOOK hook = SetWindowsHookEx(WH_CALLWNDPROC, CountSetText, nullptr, GetCurrentThreadId());
  for (const std::size_t length : {std::size_t(65535), std::size_t(65536)}) {
    TBareContainer* c = Add<TBareContainer>(10, 10);
    c->SetText(AnsiString(length, 'x'));
    gSetTextCount = 0;
    c->HandleNeeded();
    // A caption that window creation takes arrives with the window; a longer one is created
    // empty and follows straight to the default procedure.
    EXPECT_EQ(gSetTextCount, length == 65536 ? 0 : 1) << length;
    EXPECT_EQ(c->GetText().size(), length);
    c->Free();
  }
  UnhookWindowsHookEx(hook);
}

TEST_F(ContainerTest, StoredStylePropertiesAndRefusedRefreshes) {
  TTestContainer* c = Add(10, 10);
  EXPECT_TRUE(c->IsStylePropertyStored("Color", true));
  EXPECT_FALSE(c->IsStylePropertyStored("Shadow", true));
  EXPECT_FALSE(c->IsStylePropertyStored("lookandfeel", true));
  EXPECT_TRUE(c->IsStylePropertyStored("Shadow", false));
  // Without a window every refresh is refused, and the first paint makes up for it.
  c->RefreshStateAtCursor();
  EXPECT_FALSE(c->IsViewStateValid());
  Show();
  EXPECT_TRUE(c->IsViewStateValid());
  c->LockInnerControlMove(false);  // never below zero
  EXPECT_FALSE(c->IsInnerControlMoveLocked());
}

TEST_F(ContainerTest, ContextMenuOfTheInnerControlIsTheContainers) {
  TTestContainer* c = Add(10, 10);
  Show();
  TMessage message{WM_CONTEXTMENU, WPARAM(c->Edit->GetHandle()), LPARAM(-1)};
  EXPECT_FALSE(c->TryHandleInnerControlMessage(message));  // no menu: not handled
  TMessage other{WM_PAINT, 0, 0};
  EXPECT_FALSE(c->TryHandleInnerControlMessage(other));
}

// ---- Window routines ---------------------------------------------------------------------------

TEST_F(ContainerTest, OwningContainerAndWindowsInsideControls) {
  TTestContainer* c = Add(10, 10);
  auto* button = new TButton(Form.get());
  button->SetParent(Form.get());
  Show();
  EXPECT_EQ(FindOwningContainer(c), c);
  EXPECT_EQ(FindOwningContainer(button), nullptr);
  EXPECT_EQ(FindOwningContainer(nullptr), nullptr);
  EXPECT_TRUE(IsWindowInsideControl(Form.get(), c->Edit->GetHandle()));
  EXPECT_TRUE(IsWindowInsideControl(c, c->Edit->GetHandle()));
  EXPECT_FALSE(IsWindowInsideControl(c, c->GetHandle()));
  EXPECT_TRUE(IsWindowOfControl(c, c->GetHandle(), false));
  EXPECT_FALSE(IsWindowOfControl(c, c->Edit->GetHandle(), false));
  EXPECT_TRUE(IsWindowOfControl(c, c->Edit->GetHandle(), true));
  EXPECT_FALSE(IsWindowInsideControl(c, button->GetHandle()));
  EXPECT_EQ(GetControlLocalRect(c), (TRect{0, 0, 100, 21}));
  EXPECT_FALSE(IsContainerPopupOpen(c));
}

TEST_F(ContainerTest, PendingMessagesAndQuit) {
  TBareContainer* c = Add<TBareContainer>(10, 10);
  Show();
  const HWND w = c->GetHandle();
  PostMessage(w, WM_USER + 1, 0, 0);
  PostMessage(w, WM_USER + 2, 0, 0);
  EXPECT_TRUE(HasPendingMessage(w, WM_USER + 2));
  EXPECT_FALSE(HasPendingMessage(w, WM_USER + 3));
  EXPECT_TRUE(DiscardPendingMessages(w, WM_USER + 1, WM_USER + 2, false));
  EXPECT_FALSE(HasPendingMessage(w, WM_USER + 1));
  EXPECT_TRUE(HasPendingMessage(w, WM_USER + 2));
  EXPECT_TRUE(DiscardPendingMessages(w, WM_USER + 1, WM_USER + 2));
  EXPECT_FALSE(HasPendingMessage(w, WM_USER + 2));
  EXPECT_FALSE(DiscardPendingMessages(w, WM_USER + 1, WM_USER + 2));
  // A WM_QUIT met on the way stays for the loop that ends the program.
  PostMessage(w, WM_USER + 1, 0, 0);
  PostQuitMessage(3);
  EXPECT_TRUE(DiscardPendingMessages(nullptr, WM_QUIT, WM_USER + 2));
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT(WM_QUIT));
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_FALSE(HasPendingMessage(w, WM_USER + 1));
}

TEST_F(ContainerTest, HotTrackableOnlyOnTheActiveForm) {
  TBareContainer* c = Add<TBareContainer>(10, 10);
  Show();
  orv::headless::SetAppActive(true);
  Move(c, 5, 5);
  EXPECT_TRUE(IsControlHotTrackable(c));
  EXPECT_TRUE(IsFormActive(Form.get()));
  Owned<TForm> other(new TForm(nullptr));
  other->SetBounds(500, 500, 100, 100);
  other->AfterConstruction();
  other->Show();
  Run();
  Move(c, 5, 5);
  EXPECT_FALSE(IsFormActive(Form.get()));
  EXPECT_FALSE(IsControlHotTrackable(c));
  other.reset();
  Run();
  Move(c, 50, 150);
  EXPECT_FALSE(IsControlHotTrackable(c));
  EXPECT_FALSE(IsControlHotTrackable(nullptr));
}

TEST_F(ContainerTest, DisabledWindowsComeBackOnlyWhenTheyWereEnabled) {
  TBareContainer* a = Add<TBareContainer>(10, 10);
  TBareContainer* b = Add<TBareContainer>(10, 40);
  Show();
  EnableWindow(b->GetHandle(), FALSE);  // someone else's doing
  TcxWindowList list;
  DisableWindowAndRemember(&list, a->GetHandle());
  DisableWindowAndRemember(&list, b->GetHandle());
  EXPECT_EQ(list.size(), 1u);
  EXPECT_FALSE(IsWindowEnabled(a->GetHandle()));
  ReenableWindows(&list);
  ReenableWindows(nullptr);
  EXPECT_TRUE(IsWindowEnabled(a->GetHandle()));
  EXPECT_FALSE(IsWindowEnabled(b->GetHandle()));
}

// A popup that opens without a loop of its own, beside its owner.
Owned<TcxCustomPopupWindow> OpenPopup(TControl* owner, Boolean captureFocus) {
  Owned<TcxCustomPopupWindow> popup(new TcxCustomPopupWindow(owner));
  popup->SetCaptureFocus(captureFocus);
  popup->SetOwnLoop(false);
  popup->SetAdjustable(false);
  popup->SetBounds(0, 0, 60, 40);
  popup->SetOwnerParent(owner->GetParent());
  popup->SetOwnerBounds(owner->GetBoundsRect());
  popup->Popup(nullptr);
  return popup;
}

TEST_F(ContainerTest, WindowsInsidePopupsOpenedFromTheControlsPopups) {
  TTestContainer* c = Add(10, 10);
  TBareContainer* other = Add<TBareContainer>(10, 60);
  Show();
  Owned<TcxCustomPopupWindow> first = OpenPopup(c, true);
  ASSERT_TRUE(first->IsVisible());
  auto* edit = new TEdit(first.get());
  edit->SetParent(first.get());
  edit->SetBounds(2, 2, 40, 16);
  Run();
  // The first stays open while the second takes the activation.
  first->LockClosing(true);
  Owned<TcxCustomPopupWindow> second = OpenPopup(edit, true);
  ASSERT_TRUE(second->IsVisible());
  auto* button = new TButton(second.get());
  button->SetParent(second.get());
  Run();
  EXPECT_TRUE(IsWindowInsideControl(c, first->GetHandle()));
  EXPECT_TRUE(IsWindowInsideControl(c, edit->GetHandle()));
  EXPECT_TRUE(IsWindowInsideControl(c, second->GetHandle()));
  EXPECT_TRUE(IsWindowInsideControl(c, button->GetHandle()));
  EXPECT_TRUE(IsWindowInsideControl(first.get(), button->GetHandle()));
  EXPECT_FALSE(IsWindowInsideControl(other, button->GetHandle()));
  second->CloseUp();
  EXPECT_FALSE(IsWindowInsideControl(c, button->GetHandle()));
  first->LockClosing(false);
  first->CloseUp();
}

TEST_F(ContainerTest, HotTrackableOnAnInactiveFormThatHostsThePopupOwner) {
  TBareContainer* c = Add<TBareContainer>(10, 10);
  TBareContainer* owner = Add<TBareContainer>(10, 60);
  Show();
  orv::headless::SetAppActive(true);
  Owned<TForm> other(new TForm(nullptr));
  other->SetBounds(500, 500, 100, 100);
  other->AfterConstruction();
  other->Show();
  Run();
  Move(c, 5, 5);
  EXPECT_FALSE(IsControlHotTrackable(c));
  Owned<TcxCustomPopupWindow> popup = OpenPopup(owner, false);
  ASSERT_TRUE(popup->IsVisible());
  Move(c, 5, 5);
  EXPECT_TRUE(IsControlHotTrackable(c));
  popup->CloseUp();
}

TEST(ContainerRoutines, StringsButtonsAndTopLevelWindows) {
  EXPECT_TRUE(CompareStringsEqual("Москва"_a, "МОСКВА"_a, false));
  EXPECT_FALSE(CompareStringsEqual("Москва"_a, "МОСКВА"_a, true));
  EXPECT_TRUE(CompareStringsEqual("Москва"_a, "Москва"_a, true));
  EXPECT_FALSE(CompareStringsEqual("Москва"_a, "Моска"_a, false));
  EXPECT_EQ(TranslateMouseButton(mbLeft), 1);
  EXPECT_EQ(TranslateMouseButton(mbRight), 2);
  EXPECT_EQ(TranslateMouseButton(mbMiddle), 3);
  EXPECT_EQ(FindTopLevelAncestorWindow(nullptr), nullptr);
  EXPECT_TRUE(UseOwnScrollBars());
}

}  // namespace
