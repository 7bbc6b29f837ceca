#include "components/editors-more/cxRadioGroup.h"

#include <algorithm>

#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/controls/ControlProperties.h"
#include "platform/controls/Menus.h"
#include "platform/controls/UserControls.h"
#include "platform/drawing/Gdi.h"
#include "platform/forms/Published.h"
#include "platform/windowing/User.h"

namespace {

TcxButtonState RadioButtonPainterState(TcxRadioButtonState state) {
  switch (state) {
    case rbsDisabled: return cxbsDisabled;
    case rbsHot: return cxbsHot;
    case rbsPressed: return cxbsPressed;
    default: return cxbsNormal;
  }
}

TShiftState RadioButtonKeyboardShift() {
  TShiftState shift;
  if (GetKeyState(VK_SHIFT) < 0) shift.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) shift.Include(ssCtrl);
  if (GetKeyState(VK_MENU) < 0) shift.Include(ssAlt);
  if (GetKeyState(VK_LBUTTON) < 0) shift.Include(ssLeft);
  if (GetKeyState(VK_RBUTTON) < 0) shift.Include(ssRight);
  return shift;
}

}  // namespace

// ==== TcxRadioButton ===========================================================================

TcxRadioButton::TcxRadioButton(TComponent* owner) : TRadioButton(owner) {
  TControlStyle style = GetControlStyle();
  style.Include(csDoubleClicks);
  SetControlStyle(style);
  FControlCanvas = new TControlCanvas;
  FControlCanvas->SetControl(this);
  FCanvas = new TcxCanvas(FControlCanvas);
  FLookAndFeel = new TcxLookAndFeel(this);
  FLookAndFeel->SetOnChanged(TcxLookAndFeelChangedEvent(this, &TcxRadioButton::LookAndFeelChanged));
  SetParentBackground(true);
  GetRadioButtonImageList();
}

void TcxRadioButton::BeforeDestruction() {
  StopMouseTracking(this);
  inherited::BeforeDestruction();
}

TcxRadioButton::~TcxRadioButton() {
  orv::Free(FLookAndFeel);
  orv::Free(FCanvas);
  orv::Free(FControlCanvas);
}

void TcxRadioButton::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.Style = (params.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
}

void TcxRadioButton::CreateHandle() {
  inherited::CreateHandle();
  UpdateStateAtCursor();
}

void TcxRadioButton::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == FPopupMenu) FPopupMenu = nullptr;
}

bool TcxRadioButton::Focused() {
  if (GetComponentState().Contains(csDesigning)) return false;
  return HandleAllocated() && GetFocus() == GetHandle();
}

void TcxRadioButton::Invalidate() {
  if (HandleAllocated()) InvalidateControlRect(this, TRect{0, 0, GetWidth(), GetHeight()}, false);
}

void TcxRadioButton::SetPopupMenu(TComponent* value) {
  if (value && !dynamic_cast<TPopupMenu*>(value)) value = nullptr;
  if (value == FPopupMenu) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = value;
  if (FPopupMenu) FPopupMenu->FreeNotification(this);
}

void TcxRadioButton::SetTransparent(Boolean value) {
  if (value == FTransparent) return;
  FTransparent = value;
  Invalidate();
}

void TcxRadioButton::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) { Invalidate(); }

Boolean TcxRadioButton::IsNativeStyle() { return IsNativeStyleUsable(FLookAndFeel->GetNativeStyle(), totButton); }

Boolean TcxRadioButton::IsNativeBackground() {
  return IsNativeStyle() && GetParentBackground() && !IsInplace() && !FTransparent;
}

void TcxRadioButton::AdjustTextRect(TRect& rect, Boolean nativeStyle) {
  TRect m{};
  if (IsInplace()) {
    m = nativeStyle ? TRect{3, 0, 0, 0} : TRect{5, 0, 1, 0};
  } else {
    const Boolean left = GetAlignment() == taLeftJustify;
    if (!GetWordWrap())
      m = left ? (nativeStyle ? TRect{0, -1, 1, 0} : TRect{2, -1, 1, 0})
               : (nativeStyle ? TRect{3, -1, 0, 0} : TRect{5, -1, 0, 0});
    else
      m = left ? (nativeStyle ? TRect{0, -1, 3, 0} : TRect{2, -1, 6, 0})
               : (nativeStyle ? TRect{3, -1, 0, 0} : TRect{5, -1, 2, 0});
  }
  rect.Left += m.Left;
  rect.Top += m.Top;
  rect.Right -= m.Right;
  rect.Bottom -= m.Bottom;
}

Boolean TcxRadioButton::DoShowPopupMenu(TComponent* menu, Integer x, Integer y) {
  return ShowPopupMenu(this, menu, x, y);
}

void TcxRadioButton::DrawBackground() {
  if (!IsTransparentBackground()) FCanvas->FillRectWithColor(TRect{0, 0, GetWidth(), GetHeight()}, GetColor());
}

void TcxRadioButton::DrawCaption(TcxCanvas* canvas, Boolean nativeStyle) {
  TcxCustomLookAndFeelPainterClass painter = FLookAndFeel->CurrentPainter();
  canvas->SetFont(GetFont());
  const Boolean enabled = GetEnabled();
  TColor color = GetFont()->GetColor();
  TColor painterColor = clDefault;
  if (color == clWindowText) painterColor = painter->DefaultEditorTextColor(!enabled);
  if (painterColor != clDefault)
    color = painterColor;
  else
    color = enabled ? GetFont()->GetColor() : clBtnShadow;
  canvas->SetFontColor(color);
  TRect r{0, 0, GetWidth(), GetHeight()};
  if (GetAlignment() == taRightJustify)
    r.Left = FButtonRect.Right;
  else
    r.Right = FButtonRect.Left;
  canvas->SetBrushClear(true);
  AdjustTextRect(r, nativeStyle);
  const Integer flags = GetWordWrap() ? 1697 : 609;
  const Boolean embossed = !enabled && painter->DefaultEditorTextColor(true) == clDefault && !IsInplace() && !nativeStyle;
  canvas->DrawTextInRect(GetCaption(), r, flags, !embossed);
  canvas->SetBrushClear(false);
  if (Focused() && !GetCaption().empty()) {
    TRect f = r;
    canvas->MeasureTextRect(GetCaption(), f, flags);
    f = TRect{f.Left - 1, f.Top - 1, f.Right + 1, f.Bottom + 2};
    if (IsInplace()) {
      f.Top = std::max(f.Top, 1);
      f.Bottom = std::min(f.Bottom, GetHeight() - 1);
      f.Right = std::min(f.Right, GetWidth());
    }
    canvas->SetBrushColor(GetColor());
    canvas->SetFontColor(GetFont()->GetColor());
    canvas->DrawFocusFrame(f);
  }
}

void TcxRadioButton::DrawButton(Boolean focusOnly) {
  const TRect whole{0, 0, GetWidth(), GetHeight()};
  if (!focusOnly) {
    if (IsTransparent())
      DrawTransparentBackground(this, FCanvas, whole);
    else if (IsNativeBackground())
      DrawTransparentBackground(this, FCanvas, whole);
    if (IsNativeStyle()) DrawBackground();
  }
  const TcxCustomLookAndFeelPainterClass painter = FLookAndFeel->GetPainterForThemeTypes({});
  const TSize size = painter->RadioButtonGlyphSize();
  FButtonRect.Top = (GetHeight() - size.cy) / 2;
  FButtonRect.Bottom = FButtonRect.Top + size.cy;
  if (GetAlignment() == taRightJustify) {
    FButtonRect.Left = (!IsNativeStyle() && !IsInplace()) ? 1 : 0;
    FButtonRect.Right = FButtonRect.Left + size.cx;
  } else {
    FButtonRect.Right = GetWidth();
    FButtonRect.Left = GetWidth() - size.cx;
  }
  TColor background = GetColor();
  if (IsTransparentBackground()) background = FLookAndFeel->GetSkinPainter() ? clNone : clDefault;
  painter->DrawRadioButton(FCanvas, FButtonRect.Left, FButtonRect.Top, RadioButtonPainterState(FState), GetChecked(),
                           Focused(), background, GetComponentState().Contains(csDesigning));
  FCanvas->ExcludeFromClip(FButtonRect);
  if (!focusOnly && !IsNativeStyle()) DrawBackground();
  DrawCaption(FCanvas, IsNativeStyle());
}

void TcxRadioButton::CalculateState(Integer button, TShiftState shift, const TPoint& point) {
  TcxRadioButtonState state;
  const Boolean inside = point.X >= 0 && point.Y >= 0 && point.X < GetWidth() && point.Y < GetHeight();
  if (!GetEnabled())
    state = rbsDisabled;
  else if (GetComponentState().Contains(csDesigning))
    state = rbsNormal;
  else if (HandleAllocated() && GetCapture() == GetHandle())
    state = inside ? rbsPressed : rbsHot;
  else
    state = inside && shift.Empty() ? rbsHot : rbsNormal;
  if (state == FState) return;
  FState = state;
  if (HandleAllocated()) {
    const TRect r{FButtonRect.Left - 1, FButtonRect.Top - 1, FButtonRect.Right + 1, FButtonRect.Bottom + 1};
    InvalidateControlRect(this, r, false);
  }
}

void TcxRadioButton::UpdateStateAtCursor() {
  if (!HandleAllocated()) return;
  POINT p{};
  GetCursorPos(&p);
  const TPoint client = ScreenToClient(TPoint{p.X, p.Y});
  CalculateState(0, RadioButtonKeyboardShift(), client);
}

void TcxRadioButton::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  inherited::MouseDown(button, shift, x, y);
  CalculateState(TranslateMouseButton(button), shift, TPoint{x, y});
}

void TcxRadioButton::MouseMove(TShiftState shift, Integer x, Integer y) {
  inherited::MouseMove(shift, x, y);
  CalculateState(0, shift, TPoint{x, y});
  StartMouseTracking(this, TRect{0, 0, GetWidth(), GetHeight()}, this);
}

void TcxRadioButton::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  inherited::MouseUp(button, shift, x, y);
  CalculateState(TranslateMouseButton(button), shift, TPoint{x, y});
}

void TcxRadioButton::MouseEntered() {
  UpdateStateAtCursor();
  StartMouseTracking(this, TRect{0, 0, GetWidth(), GetHeight()}, this);
}

void TcxRadioButton::MouseLeave() {
  CalculateState(0, {}, TPoint{-1, -1});
  StopMouseTracking(this);
}

void TcxRadioButton::DoEnter() {
  inherited::DoEnter();
  // Reaching an unchecked button by the keyboard checks it and clicks once.
  if (!GetChecked() && !FClicksDisabled) {
    FClicksDisabled = true;
    SetChecked(true);
    FClicksDisabled = false;
    if (!GetComponentState().Contains(csLoading)) Click();
  }
}

void TcxRadioButton::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_ERASEBKGND: message.Result = 1; return;
    case WM_WINDOWPOSCHANGED:
      inherited::Dispatch(message);
      if (!GetComponentState().Contains(csDestroying) && IsTransparentBackground()) Invalidate();
      return;
    case BM_SETCHECK:
      inherited::Dispatch(message);
      if (HandleAllocated()) InvalidateControlRect(this, FButtonRect, false);
      return;
    case CM_ENABLEDCHANGED:
      inherited::Dispatch(message);
      UpdateStateAtCursor();
      Invalidate();
      return;
    case CM_MOUSEENTER:
      inherited::Dispatch(message);
      MouseEntered();
      return;
    case CM_MOUSELEAVE:
      inherited::Dispatch(message);
      MouseLeave();
      return;
    case CM_SYSCOLORCHANGE:
      inherited::Dispatch(message);
      Invalidate();
      return;
    case CN_DRAWITEM: {
      if (GetComponentState().Contains(csDestroying)) return;
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam);
      FCanvas->SetDCHandle(item->hDC);
      try {
        DrawButton(item->itemAction == ODA_FOCUS);
      } catch (...) {
        FCanvas->SetDCHandle(nullptr);
        throw;
      }
      FCanvas->SetDCHandle(nullptr);
      message.Result = 1;
      return;
    }
    case WM_CONTEXTMENU: {
      if (message.Result != 0 || GetComponentState().Contains(csDesigning)) break;
      TPoint p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
      const Boolean keyboard = p.X == -1 && p.Y == -1;
      if (!keyboard) {
        p = ScreenToClient(p);
        if (p.X < 0 || p.Y < 0 || p.X >= GetWidth() || p.Y >= GetHeight()) break;
      } else {
        p = TPoint{0, 0};
      }
      bool handled = false;
      DoContextPopup(p, handled);
      if (!handled) {
        const TPoint screen = ClientToScreen(p);
        handled = DoShowPopupMenu(FPopupMenu, screen.X, screen.Y);
      }
      message.Result = handled ? 1 : 0;
      if (handled) return;
      break;
    }
    default: break;
  }
  inherited::Dispatch(message);
}

// ==== Published ================================================================================

ORV_PUBLISH(TcxRadioButton) {
  using T = TcxRadioButton;
  p.Property("LookAndFeel", [](T* x) { return x->GetLookAndFeel(); }, [](T* x, TcxLookAndFeel* v) { x->SetLookAndFeel(v); });
  p.Property("PopupMenu", &T::GetPopupMenu, &T::SetPopupMenu);
  p.Property("ParentBackground", &TWinControl::GetParentBackground, &TWinControl::SetParentBackground).Default(true);
  p.Property("Transparent", &T::GetTransparent, &T::SetTransparent).Default(false);
}
