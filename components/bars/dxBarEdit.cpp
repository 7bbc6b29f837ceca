// The dxBar unit, continued: window items (edits and combos), the item controls that host
// their in-place "EDIT" window inside a bar window, and the drop-down list of string combos.

#include "components/bars/dxBarEdit.h"

#include <algorithm>

#include "components/foundation/cxClasses.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxStyles.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Graphics.h"
#include "platform/controls/UserControls.h"
#include "platform/drawing/Gdi.h"
#include "platform/forms/Published.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/User.h"

namespace {

constexpr const char* kBarWinControlProp = "dxBarWinControl";

Boolean PointInItemRect(const TRect& r, const TPoint& p) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

TPoint MessagePoint(LPARAM lParam) { return TPoint{Integer(short(LOWORD(lParam))), Integer(short(HIWORD(lParam)))}; }

Boolean IsMouseButtonMessage(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: case WM_RBUTTONDOWN: case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK: case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: case WM_MOUSEWHEEL:
      return true;
    default:
      return false;
  }
}

// The shift state of a key message: the modifier keys now, Alt from the key data.
TShiftState KeyShiftState(LPARAM keyData) {
  TShiftState shift;
  if (GetKeyState(VK_SHIFT) < 0) shift += TShiftState{ssShift};
  if (GetKeyState(VK_CONTROL) < 0) shift += TShiftState{ssCtrl};
  if ((DWORD(keyData) & (1u << 29)) || GetKeyState(VK_MENU) < 0) shift += TShiftState{ssAlt};
  return shift;
}

}  // namespace

// ==== Window items ============================================================================

void TdxBarWindowItem::SetText(const AnsiString& value) {
  if (value == FText) return;
  ApplyText(value);
}

void TdxBarWindowItem::ApplyText(const AnsiString& value) {
  FText = value;
  orv::TObjectLinkGuard self(this);
  InvalidateControls();
  Change();
  if (self.Alive()) InvalidateControls();
}

TdxBarItemLink* TdxBarWindowItem::GetActiveLink() {
  for (Integer i = 0; i < GetLinkCount(); ++i) {
    TdxBarItemLink* link = GetLink(i);
    TdxBarItemControl* control = link ? link->GetControl() : nullptr;
    TCustomdxBarControl* bar = control ? control->GetParent() : nullptr;
    if (bar && TCustomdxBarControl::IsAlive(bar) && bar->GetSelectedItemControl() == control) return link;
  }
  return nullptr;
}

AnsiString TdxBarWindowItem::GetCurText() {
  TdxBarItemLink* link = GetActiveLink();
  auto* control = link ? dynamic_cast<TdxBarWinControl*>(link->GetControl()) : nullptr;
  if (!control || !control->GetWindowHandle() || !control->GetFocused()) return FText;
  AnsiString text;
  control->GetWindowText(text);
  return text;
}

TdxBarItemLink* TdxBarWindowItem::GetFocusedLink() {
  TdxBarItemLink* link = GetActiveLink();
  auto* control = link ? dynamic_cast<TdxBarWinControl*>(link->GetControl()) : nullptr;
  if (!control || !control->GetWindowHandle()) return nullptr;
  return ::GetFocus() == control->GetWindowHandle() ? link : nullptr;
}

void TdxBarWindowItem::SetFocus(Boolean onlyVisible) {
  for (Integer i = 0; i < GetLinkCount(); ++i) {
    TdxBarItemLink* link = GetLink(i);
    auto* control = link ? dynamic_cast<TdxBarWinControl*>(link->GetControl()) : nullptr;
    if (!control) continue;
    TCustomdxBarControl* bar = control->GetParent();
    if (!bar) continue;
    if (onlyVisible && !(bar->HandleAllocated() && IsWindowVisible(bar->GetHandle()))) continue;
    orv::TObjectLinkGuard alive(control);
    bar->ActivateWithItem(control);
    if (alive.Alive()) control->Click(false);
    return;
  }
}

void TdxBarWindowItem::Change() {
  if (!IsLoadingNow() && FOnChange) FOnChange(this);
}
void TdxBarWindowItem::CurChange() {
  if (FOnCurChange) FOnCurChange(this);
}
void TdxBarWindowItem::DoEnter() {
  if (FOnEnter) FOnEnter(this);
}
void TdxBarWindowItem::DoExit() {
  if (FOnExit) FOnExit(this);
}
void TdxBarWindowItem::KeyDown(Word& key, TShiftState shift) {
  if (FOnKeyDown) FOnKeyDown(this, key, shift);
}
void TdxBarWindowItem::KeyPress(char& key) {
  if (FOnKeyPress) FOnKeyPress(this, key);
}
void TdxBarWindowItem::KeyUp(Word& key, TShiftState shift) {
  if (FOnKeyUp) FOnKeyUp(this, key, shift);
}

TClass TdxBarWindowItem::GetControlClass(Boolean textRotated) {
  if (textRotated) return TdxBarButtonControl::StaticClass();
  return inherited::GetControlClass(textRotated);
}

// ---- Edits

TdxCustomBarEdit::TdxCustomBarEdit(TComponent* owner) : TdxBarWindowItem(owner) { inherited::SetWidth(100); }

void TdxCustomBarEdit::SetWidth(Integer value) {
  if (value <= 0) return;
  inherited::SetWidth(value);
}

Boolean TdxCustomBarEdit::CanUseAccelerator(TdxBarItemLink* link) {
  if (!GetEnabled()) return false;
  TCustomdxBarControl* bar = link ? link->GetBarControl() : nullptr;
  const Boolean onToolbar = bar && bar->GetKind() != 2;
  return !(onToolbar && !GetShowCaption());
}

void TdxBarEdit::BeforeDestruction() {
  SetStyleEdit(nullptr);
  inherited::BeforeDestruction();
}

void TdxBarEdit::SetMaxLength(Integer value) {
  if (value < 0) value = 0;
  if (value == FMaxLength) return;
  FMaxLength = value;
  for (Integer i = 0; i < GetLinkCount(); ++i)
    if (auto* control = dynamic_cast<TdxBarWinControl*>(GetLink(i)->GetControl()))
      if (HWND window = control->GetWindowHandle()) SendMessage(window, EM_LIMITTEXT, WPARAM(FMaxLength), 0);
}

void TdxBarEdit::SetReadOnly(Boolean value) {
  if (value == FReadOnly) return;
  FReadOnly = value;
  InvalidateControls();
}

void TdxBarEdit::SetStyleEdit(TcxStyle* value) {
  if (value == FStyleEdit) return;
  if (FStyleEdit) FStyleEdit->RemoveFreeNotification(this);
  FStyleEdit = value;
  if (FStyleEdit) FStyleEdit->FreeNotification(this);
  if (!IsLoadingNow() && !GetComponentState().Contains(csDestroying)) UpdateControlsLayout();
}

void TdxBarEdit::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == FStyleEdit) FStyleEdit = nullptr;
}

void TdxBarEdit::DrawInterior(TdxBarItemControl* control, TcxCanvas* canvas, const TRect& rect) {
  TdxBarPainter* painter = control ? control->GetPainter() : nullptr;
  if (!painter) return;
  TdxBarItemLink* focused = GetFocusedLink();
  const AnsiString text = focused && focused == control->GetItemLink() ? GetCurText() : GetText();
  painter->DrawWindowItemText(control, canvas, rect, text);
}

// ---- Combos

void TCustomdxBarCombo::SetShowEditor(Boolean value) {
  if (value == !FEmptyWindow) return;
  FEmptyWindow = !value;
  InvalidateControls();
}

Boolean TCustomdxBarCombo::CheckKeyForDropDownWindow(Word key, TShiftState shift) {
  Boolean accept = key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE;
  if (FOnCheckKeyForDropDownWindow) FOnCheckKeyForDropDownWindow(this, key, shift, accept);
  return accept;
}

HWND TCustomdxBarCombo::GetDropDownWindow() {
  HWND window = nullptr;
  if (FOnGetDropDownWindow) FOnGetDropDownWindow(this, window);
  return window;
}

void TCustomdxBarCombo::CloseUp() {
  if (HWND window = GetDropDownWindow()) ShowWindow(window, SW_HIDE);
  if (FOnCloseUp) FOnCloseUp(this);
}

void TCustomdxBarCombo::DropDown(Integer x, Integer y) {
  orv::TObjectLinkGuard self(this);
  if (FOnDropDown) FOnDropDown(this);
  if (!self.Alive()) return;
  HWND window = GetDropDownWindow();
  if (!window) return;
  InitDropDownWindow();
  CalcDropDownPosition(x, y);
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER);
  SetWindowZOrder(window, HWND_TOPMOST, false, SWP_SHOWWINDOW | SWP_FRAMECHANGED);
  AfterDropDown();
}

void TCustomdxBarCombo::CalcDropDownPosition(Integer& x, Integer& y) {
  HWND window = GetDropDownWindow();
  if (!window) return;
  TdxBarItemLink* link = GetActiveLink();
  TdxBarItemControl* control = link ? link->GetControl() : nullptr;
  const TRect item = link ? link->GetItemRect() : TRect();
  const Integer itemWidth = item.Right - item.Left;
  const Integer itemHeight = item.Bottom - item.Top;
  RECT windowRect{};
  ::GetWindowRect(window, &windowRect);
  const Integer width = windowRect.Right - windowRect.Left;
  const Integer height = windowRect.Bottom - windowRect.Top;
  const TRect area = GetWorkAreaAtPoint(TPoint{x, y});
  TCustomdxBarControl* bar = control ? control->GetParent() : nullptr;
  if (bar && (bar->GetKind() == 2 || bar->IsVertical())) {
    // Beside the item.
    if (x + width > area.Right && area.Right - x < x - itemWidth - area.Left) x = x - width - itemWidth;
    y = std::min(y, area.Bottom - height);
  } else {
    // Below the item, or above it where there is more room.
    x = std::min(x, area.Right - width);
    if (y + height > area.Bottom && area.Bottom - y < y - itemHeight - area.Top) y = y - (itemHeight + height);
  }
  x = std::max(x, area.Left);
  y = std::max(y, area.Top);
}

void TCustomdxBarCombo::ApplyListColors(TCustomListBox* listBox) {
  TdxBarItemLink* link = GetActiveLink();
  auto* control = link ? dynamic_cast<TdxBarCustomEditControl*>(link->GetControl()) : nullptr;
  if (!control || !listBox) return;
  if (TCustomdxBarControl* bar = control->GetParent()) listBox->GetFont()->Assign(bar->GetFont());
  if (TcxStyle* style = GetStyleEdit(); style && style->GetAssignedValues().Contains(svFont))
    listBox->GetFont()->Assign(style->GetFont());
  if (TdxBarPainter* painter = control->GetPainter()) {
    TColor text = clWindowText, color = clWindow;
    control->CalcDrawParams(true);
    painter->GetEditColors(control->GetDrawParams(), text, color);
    listBox->SetColor(color);
    listBox->GetFont()->SetColor(text);
  }
}

// ---- String combos

TdxBarCustomCombo::TdxBarCustomCombo(TComponent* owner) : TCustomdxBarCombo(owner) {
  FItems = new TStringList;
  FItems->SetOnChange(TNotifyEvent(this, &TdxBarCustomCombo::ItemsChanged));
  FListBox = new TdxBarDropDownListBox(nullptr, this);
}

TdxBarCustomCombo::~TdxBarCustomCombo() {
  orv::Free(FListBox);
  orv::Free(FItems);
}

void TdxBarCustomCombo::BeforeDestruction() {
  inherited::BeforeDestruction();
  // The links and their controls are gone: nothing drops the list down any more.
  if (FListBox) FListBox->SetBarControl(nullptr);
}

void TdxBarCustomCombo::SetItems(TStrings* value) { FItems->Assign(value); }

void TdxBarCustomCombo::SetText(const AnsiString& value) {
  if (FItemIndex < 0 || FItemIndex >= FItems->GetCount() || FItems->Get(FItemIndex) != value)
    FItemIndex = FItems->IndexOf(value);
  inherited::SetText(value);
}

void TdxBarCustomCombo::SetItemIndex(Integer value) {
  if (value == FItemIndex) return;
  FItemIndex = value < 0 || value >= FItems->GetCount() ? -1 : value;
  const AnsiString text = FItemIndex >= 0 ? FItems->Get(FItemIndex) : AnsiString();
  // OnChange fires on every change of the index, also when the text stays.
  if (GetText() != text)
    TdxBarWindowItem::SetText(text);
  else
    ApplyText(text);
}

void TdxBarCustomCombo::SetSorted(Boolean value) {
  if (value == FSorted) return;
  FSorted = value;
  FItems->SetSorted(value);
  FItemIndex = FItems->IndexOf(GetText());
}

void TdxBarCustomCombo::ItemsChanged(TObject* sender) {
  if (FItemIndex >= FItems->GetCount())
    SetItemIndex(-1);
  else
    InvalidateControls();
}

void TdxBarCustomCombo::CurChange() {
  orv::TObjectLinkGuard self(this);
  inherited::CurChange();
  if (self.Alive()) SyncListBox();
}

Boolean TdxBarCustomCombo::CheckKeyForDropDownWindow(Word key, TShiftState shift) {
  return (key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT) && shift.Empty();
}

HWND TdxBarCustomCombo::GetDropDownWindow() {
  if (HWND window = inherited::GetDropDownWindow()) return window;
  return FListBox ? FListBox->GetHandle() : nullptr;
}

void TdxBarCustomCombo::InitDropDownWindow() {
  ApplyListColors(FListBox);
  FListBox->GetCanvas()->GetFont()->Assign(FListBox->GetFont());
  FListBox->GetItems()->Assign(FItems);
  const Integer width = CalcDropDownWidth();
  const Integer rows = std::min(FItems->GetCount(), FDropDownCount);
  Integer height = 4;
  for (Integer i = 0; i < rows; ++i) {
    Integer h = 0;
    MeasureItem(i, h);
    height += h;
  }
  SetWindowPos(FListBox->GetHandle(), nullptr, 0, 0, width, height,
               SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
}

void TdxBarCustomCombo::AfterDropDown() {
  if (GetKeyState(VK_LBUTTON) < 0) {
    SetCapture(FListBox->GetHandle());
    FListBox->SetCapturedFromPress(true);
  } else {
    FListBox->SetCapturedFromPress(false);
  }
}

void TdxBarCustomCombo::CloseUp() {
  orv::TObjectLinkGuard self(this);
  inherited::CloseUp();
  if (self.Alive() && FListBox) {
    if (GetCapture() == FListBox->GetHandle()) ReleaseCapture();
    FListBox->SetBarControl(nullptr);
  }
}

void TdxBarCustomCombo::DropDown(Integer x, Integer y) {
  TdxBarItemLink* link = GetActiveLink();
  FListBox->SetBarControl(link && link->GetControl() ? link->GetControl()->GetParent() : nullptr);
  orv::TObjectLinkGuard self(this);
  inherited::DropDown(x, y);
  if (self.Alive()) SyncListBox();
}

TCanvas* TdxBarCustomCombo::GetCanvas() {
  if (FDrawCanvas) return FDrawCanvas->GetCanvas();
  return FListBox->GetCanvas();
}

Integer TdxBarCustomCombo::CalcDropDownWidth() {
  const Integer scrollWidth = GetSystemMetrics(SM_CXVSCROLL);
  const Boolean scrolls = FItems->GetCount() > FDropDownCount;
  Integer width = FDropDownWidth;
  if (width <= 0) {
    width = 0;
    TdxBarItemLink* link = GetActiveLink();
    if (auto* control = link ? dynamic_cast<TdxBarCustomEditControl*>(link->GetControl()) : nullptr) {
      TRect edit;
      control->GetEditRect(edit);
      width = edit.Right - edit.Left - 4;
    }
    if (scrolls) width -= scrollWidth;
    for (Integer i = 0; i < FItems->GetCount(); ++i) {
      Integer w = 0;
      MeasureItemWidth(i, w);
      width = std::max(width, w);
    }
  }
  return width + 4 + (scrolls ? scrollWidth : 0);
}

void TdxBarCustomCombo::MeasureItem(Integer index, Integer& height) {
  height = FItemHeight > 0 ? FItemHeight : GetCanvas()->TextHeight("Qq");
  if (FOnMeasureItem) FOnMeasureItem(this, index, height);
}

void TdxBarCustomCombo::MeasureItemWidth(Integer index, Integer& width) {
  width = GetCanvas()->TextWidth(FItems->Get(index)) + 2;
}

void TdxBarCustomCombo::DrawItem(TdxBarPainter* painter, Integer index, TOwnerDrawState state, const TRect& rect) {
  TCanvas* canvas = GetCanvas();
  if (FOnDrawItem) {
    FOnDrawItem(this, index, rect, state);
  } else if (painter && FDrawCanvas) {
    painter->DrawEditText(FDrawCanvas, rect, index >= 0 && index < FItems->GetCount() ? FItems->Get(index) : GetText());
  } else {
    // The open list draws on its own canvas, as the painter draws an entry.
    canvas->FillRect(rect);
    const AnsiString text = index >= 0 && index < FItems->GetCount() ? FItems->Get(index) : GetText();
    canvas->TextOut(rect.Left + 2, rect.Top, text);
  }
  if (state.Contains(odFocused)) canvas->DrawFocusRect(rect);
}

void TdxBarCustomCombo::DrawInterior(TdxBarItemControl* control, TcxCanvas* canvas, const TRect& rect) {
  TcxCanvas* previous = FDrawCanvas;
  FDrawCanvas = canvas;
  Integer index = FItemIndex;
  auto* combo = dynamic_cast<TdxBarComboControl*>(control);
  if (combo && GetFocusedLink() == control->GetItemLink()) index = combo->GetLocalItemIndex();
  FDrawingInterior = true;
  try {
    if (FOnDrawItem || index >= 0 || !combo)
      DrawItem(control->GetPainter(), index, TOwnerDrawState(), rect);
    else
      inherited::DrawInterior(control, canvas, rect);
  } catch (...) {
    FDrawingInterior = false;
    FDrawCanvas = previous;
    throw;
  }
  FDrawingInterior = false;
  FDrawCanvas = previous;
}

Integer TdxBarCustomCombo::FindItem(const AnsiString& text) {
  const AnsiString upper = AnsiUpperCase(text);
  if (upper.empty()) return -1;
  Integer best = -1;
  size_t matched = 0;
  for (Integer i = 0; i < FItems->GetCount(); ++i) {
    const AnsiString entry = AnsiUpperCase(FItems->Get(i));
    if (entry.compare(0, matched, upper, 0, matched) != 0 || entry.size() < matched) continue;
    size_t n = matched;
    while (n < upper.size() && n < entry.size() && entry[n] == upper[n]) ++n;
    if (n > matched) {
      matched = n;
      best = i;
    }
    if (matched == upper.size()) return i;
  }
  return best;
}

void TdxBarCustomCombo::SyncListBox() {
  TdxBarItemLink* link = GetActiveLink();
  auto* control = link ? dynamic_cast<TdxBarComboControl*>(link->GetControl()) : nullptr;
  if (!control) return;
  AnsiString text;
  control->GetWindowText(text);
  Integer i = control->GetLocalItemIndex();
  if (i < 0 || i >= FItems->GetCount() || FItems->Get(i) != text) i = FindItem(text);
  control->StoreLocalItemIndex(i);
  if (!control->IsDroppedDown() || !FListBox->HandleAllocated()) return;
  if (i >= 0 && AnsiCompareText(FItems->Get(i), text) == 0) {
    FListBox->SetItemIndex(i);
  } else {
    FListBox->SetItemIndex(-1);
    if (i >= 0) FListBox->SetTopIndex(i);
  }
}

// ==== The drop-down list ======================================================================

TdxBarDropDownListBox::TdxBarDropDownListBox(TComponent* owner, TdxBarCustomCombo* combo)
    : TCustomListBox(owner), FCombo(combo) {
  SetBorderStyle(bsNone);
  SetStyle(lbOwnerDrawVariable);
  SetVisible(false);
}

void TdxBarDropDownListBox::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.Style = (params.Style & ~(WS_CHILD | WS_BORDER)) | WS_POPUP | WS_BORDER;
  params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
  params.WindowClass.style |= CS_SAVEBITS;
  params.WndParent = nullptr;
}

void TdxBarDropDownListBox::CreateWnd() {
  inherited::CreateWnd();
  ::SetParent(GetHandle(), nullptr);
}

void TdxBarDropDownListBox::ChooseAt(const TPoint& point) {
  const Integer index = ItemAtPos(point, true);
  TdxBarCustomCombo* combo = FCombo;
  if (!combo) return;
  orv::TObjectLinkGuard alive(combo);
  if (TdxBarItemLink* link = combo->GetActiveLink()) {
    try {
      link->GetSourceLink()->MarkUsed(true);
    } catch (...) {
    }
  }
  if (BarHookServices().CloseActiveBarControls) BarHookServices().CloseActiveBarControls();
  if (alive.Alive() && index >= 0) combo->SetItemIndex(index);
}

void TdxBarDropDownListBox::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_MOUSEACTIVATE:
      message.Result = MA_NOACTIVATE;
      return;
    case WM_ERASEBKGND:
      message.Result = 1;
      return;
    case WM_CAPTURECHANGED:
      FCapturedFromPress = false;
      break;
    case WM_MOUSEMOVE: {
      const TPoint point = MessagePoint(message.LParam);
      if (FCapturedFromPress && PointInItemRect(GetClientRect(), point)) {
        // The press that opened the list now starts a selection inside it.
        FCapturedFromPress = false;
        inherited::WndProc(message);
        TMessage press{WM_LBUTTONDOWN, MK_LBUTTON, message.LParam, 0};
        inherited::WndProc(press);
        return;
      }
      inherited::WndProc(message);
      // Hot tracking: the entry under the mouse is the selected one.
      const Integer index = ItemAtPos(point, true);
      if (index >= 0 && index != GetItemIndex()) {
        SetItemIndex(index);
        TdxBarItemLink* link = FCombo ? FCombo->GetActiveLink() : nullptr;
        if (auto* control = link ? dynamic_cast<TdxBarComboControl*>(link->GetControl()) : nullptr)
          control->SetLocalItemIndex(index);
      }
      return;
    }
    case WM_LBUTTONUP: {
      if (FCapturedFromPress) {
        ReleaseCapture();
        return;
      }
      inherited::WndProc(message);
      if (GetCapture() == GetHandle()) ReleaseCapture();
      ChooseAt(MessagePoint(message.LParam));
      return;
    }
    case WM_KEYDOWN:
      if (GetItemIndex() < 0 && GetCount() > 0) SetItemIndex(GetTopIndex());
      break;
    default:
      break;
  }
  inherited::WndProc(message);
}

void TdxBarDropDownListBox::DrawItem(Integer index, TRect rect, TOwnerDrawState state) {
  if (!FCombo) return;
  TdxBarPainter* painter = FBarControl ? FBarControl->GetPainter() : nullptr;
  TCanvas* canvas = GetCanvas();
  if (state.Contains(odSelected)) {
    canvas->GetBrush()->SetColor(clHighlight);
    canvas->GetFont()->SetColor(clHighlightText);
  } else {
    canvas->GetBrush()->SetColor(GetColor());
    canvas->GetFont()->SetColor(GetFont()->GetColor());
  }
  FCombo->DrawItem(painter, index, state - TOwnerDrawState{odFocused}, rect);
}

void TdxBarDropDownListBox::MeasureItem(Integer index, Integer& height) {
  if (FCombo) FCombo->MeasureItem(index, height);
}

// ==== Windowed controls =======================================================================

void TdxBarWinControl::BeforeDestruction() {
  UnhookWindowProc();
  inherited::BeforeDestruction();
}

TdxBarWindowItem* TdxBarWinControl::GetWindowItem() const { return dynamic_cast<TdxBarWindowItem*>(GetItem()); }

Boolean TdxBarWinControl::IsOwnWindow(HWND window) {
  HWND own = GetWindowHandle();
  return own && window && (window == own || IsChild(own, window));
}

void TdxBarWinControl::GetWindowText(AnsiString& text) {
  text.clear();
  HWND window = GetWindowHandle();
  if (!window) return;
  char buffer[256] = {};
  const LRESULT length = SendMessage(window, WM_GETTEXT, WPARAM(sizeof(buffer)), LPARAM(buffer));
  text.assign(buffer, size_t(std::clamp<LRESULT>(length, 0, 255)));
}

void TdxBarWinControl::SetWindowText(const AnsiString& text) {
  if (HWND window = GetWindowHandle()) SendMessage(window, WM_SETTEXT, 0, LPARAM(text.c_str()));
  auto* combo = dynamic_cast<TCustomdxBarCombo*>(GetItem());
  if (combo && !combo->GetShowEditor()) Invalidate();
}

void TdxBarWinControl::LoadText() {
  if (TdxBarWindowItem* item = GetWindowItem()) SetWindowText(item->GetText());
}

void TdxBarWinControl::StoreText() {
  TdxBarWindowItem* item = GetWindowItem();
  if (!item || !GetWindowHandle()) return;
  AnsiString text;
  GetWindowText(text);
  item->SetText(text);
}

TRect TdxBarWinControl::GetWindowRect() {
  auto* combo = dynamic_cast<TCustomdxBarCombo*>(GetItem());
  if (!IsEnabled() || (combo && !combo->GetShowEditor())) return TRect();
  return FWindowRect;
}

void TdxBarWinControl::SetWindowRect(const TRect& value) {
  FWindowRect = value;
  HWND window = GetWindowHandle();
  if (!window || !IsWindowVisible(window) || !GetParent()) return;
  RECT current{};
  ::GetWindowRect(window, &current);
  POINT origin{current.Left, current.Top};
  ::ScreenToClient(GetParent()->GetHandle(), &origin);
  const TRect r = GetWindowRect();
  if (origin.X != r.Left || origin.Y != r.Top || current.Right - current.Left != r.Right - r.Left ||
      current.Bottom - current.Top != r.Bottom - r.Top) {
    SetWindowPos(window, nullptr, r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, SWP_NOACTIVATE | SWP_NOZORDER);
    UpdateEditRect();
  }
}

Boolean TdxBarWinControl::IsClickable() { return GetParent() && GetParent()->IsTextRotated(); }

Boolean TdxBarWinControl::AcceptsSelection() {
  TdxBarItem* item = GetItem();
  return inherited::AcceptsSelection() && item && item->GetAcceptsSelection();
}

void TdxBarWinControl::ControlInactivate(Boolean immediate) {
  orv::TObjectLinkGuard self(this);
  inherited::ControlInactivate(immediate);
  if (self.Alive()) SetFocused(false);
}

void TdxBarWinControl::ControlClick(Boolean byMouse) {
  orv::TObjectLinkGuard self(this);
  SetFocused(true);
  if (self.Alive()) CheckMouseOutside(byMouse);
}

void TdxBarWinControl::EnabledChanged() {
  orv::TObjectLinkGuard self(this);
  SetFocused(false);
  if (self.Alive()) inherited::EnabledChanged();
}

void TdxBarWinControl::CheckMouseOutside(Boolean byMouse) {
  HWND window = GetWindowHandle();
  if (!byMouse || !window || !FFocused || !GetParent() || !IsWindowVisible(window)) return;
  // The press reached the bar window while the in-place window was hidden: it is handed to the
  // window, so that the caret follows the click (and the window takes the mouse).
  POINT cursor{};
  GetCursorPos(&cursor);
  POINT inParent = cursor;
  ::ScreenToClient(GetParent()->GetHandle(), &inParent);
  if (!PointInItemRect(GetItemRect(), TPoint{inParent.X, inParent.Y})) return;
  POINT inWindow = cursor;
  ::ScreenToClient(window, &inWindow);
  WPARAM keys = MK_LBUTTON;
  if (GetKeyState(VK_SHIFT) < 0) keys |= MK_SHIFT;
  if (GetKeyState(VK_CONTROL) < 0) keys |= MK_CONTROL;
  SendMessage(window, WM_LBUTTONDOWN, keys, MAKELPARAM(inWindow.X, inWindow.Y));
}

void TdxBarWinControl::SetFocused(Boolean value) {
  if (value == FFocused) return;
  FFocused = value;
  orv::TObjectLinkGuard self(this);
  TdxBarManager* manager = GetBarManager();
  if (value) {
    FPrevFocus = ::GetFocus();
    if (!IsActive()) ControlActivate(true, false);
    if (!self.Alive()) return;
    ShowInPlaceWindow();
    return;
  }
  const Boolean plainEscape = FEscaping || (GetKeyState(VK_ESCAPE) < 0 && GetKeyState(VK_CONTROL) >= 0 &&
                                            GetKeyState(VK_MENU) >= 0);
  HWND window = GetWindowHandle();
  const Boolean hadFocus = window && (::GetFocus() == window || IsChild(window, ::GetFocus()));
  HideWindow(manager && manager->GetAlwaysSaveText() && !plainEscape);
  if (!self.Alive()) return;
  // The focus goes back where it came from, unless it has already gone elsewhere.
  const Boolean destroying = manager && manager->GetComponentState().Contains(csDestroying);
  if (!destroying && (hadFocus || !::GetFocus())) {
    if (FPrevFocus && IsWindow(FPrevFocus) && IsWindowVisible(FPrevFocus) && FPrevFocus != window) {
      ::SetFocus(FPrevFocus);
    } else {
      TWinControl* owner = manager ? manager->GetOwnerControl() : nullptr;
      if (owner && owner->HandleAllocated() && IsWindowVisible(owner->GetHandle()))
        ::SetFocus(owner->GetHandle());
    }
  }
  FPrevFocus = nullptr;
  if (self.Alive()) Invalidate();
}

Boolean TdxBarWinControl::IsMenuKey(Word key, TShiftState shift) { return key == VK_F10 || key == VK_MENU; }
Boolean TdxBarWinControl::IsAltKey(Word key, TShiftState shift) { return key == VK_MENU; }

void TdxBarWinControl::HandleKeyDown(Word& key, TShiftState shift) {
  ++FKeysPressed;
  if (key == VK_MENU) {
    key = 0;
    return;
  }
  if (key == VK_F10) {
    FKeysPressed = 0;
    TCustomdxBarControl* parent = GetParent();
    orv::TObjectLinkGuard self(this);
    if (parent) parent->Close();
    if (shift.Contains(ssShift)) {
      key = 0;
      return;
    }
    SetKeyboardHookDirectCall(true);
    const LRESULT handled = KeyboardHookProc(0, VK_F10, 0);
    SetKeyboardHookDirectCall(false);
    if (handled) key = 0;
  }
}

void TdxBarWinControl::HandleKeyUp(Word& key) {
  if (FKeysPressed == 0) {
    key = 0;
    return;
  }
  FKeysPressed = 0;
  if (key != VK_MENU) return;
  orv::TObjectLinkGuard self(this);
  if (TCustomdxBarControl* parent = GetParent()) parent->Close();
  SetKeyboardHookDirectCall(true);
  // A key-up of Alt alone starts menu mode through the hook (the key-down is announced first).
  KeyboardHookProc(0, VK_MENU, 0);
  const LRESULT handled = KeyboardHookProc(0, VK_MENU, LPARAM(0xC0000000));
  SetKeyboardHookDirectCall(false);
  if (handled) key = 0;
}

void TdxBarWinControl::WindowKeyDown(Word& key, TShiftState shift) {
  if (IsMenuKey(key, shift)) {
    HandleKeyDown(key, shift);
    return;
  }
  orv::TObjectLinkGuard self(this);
  TdxBarWindowItem* item = GetWindowItem();
  HWND window = GetWindowHandle();
  if (item) item->KeyDown(key, shift);
  if (!self.Alive() || !window || !IsWindow(window)) {
    key = 0;
    return;
  }
  TCustomdxBarControl* parent = GetParent();
  switch (key) {
    case VK_TAB: {
      StoreText();
      if (!self.Alive()) break;
      RemovePendingCharMessages(window);
      TdxBarHookServices& services = BarHookServices();
      if (services.NavigationProcessKey)
        services.NavigationProcessKey(VK_TAB, shift);
      else if (parent)
        parent->SetSelectedItemControl(nullptr);
      key = 0;
      break;
    }
    case VK_RETURN: {
      if (TdxBarItemLink* link = GetItemLink()) {
        try {
          link->GetSourceLink()->MarkUsed(true);
        } catch (...) {
        }
      }
      StoreText();
      if (self.Alive() && parent && TCustomdxBarControl::IsAlive(parent)) {
        RemovePendingCharMessages(window);
        parent->SetSelectedItemControl(nullptr);
        if (TCustomdxBarControl::IsAlive(parent)) parent->Close();
      }
      key = 0;
      break;
    }
    case VK_ESCAPE: {
      RemovePendingCharMessages(window);
      FEscaping = true;
      if (parent) parent->SetSelectedItemControl(nullptr);
      if (self.Alive()) FEscaping = false;
      if (parent && TCustomdxBarControl::IsAlive(parent)) parent->CloseByEscape();
      key = 0;
      break;
    }
    default:
      break;
  }
}

void TdxBarWinControl::WindowKeyUp(Word& key, TShiftState shift) {
  if (IsAltKey(key, shift)) {
    HandleKeyUp(key);
    return;
  }
  if (shift.Contains(ssAlt)) FKeysPressed = 0;
  if (TdxBarWindowItem* item = GetWindowItem()) item->KeyUp(key, shift);
}

void TdxBarWinControl::WindowKeyPress(char& key) {
  if (TdxBarWindowItem* item = GetWindowItem()) item->KeyPress(key);
}

void TdxBarWinControl::HookWindowProc() {
  HWND window = GetWindowHandle();
  if (!window || FHookedWindow) return;
  FHookedWindow = window;
  SetProp(window, kBarWinControlProp, HANDLE(this));
  FPrevWindowProc = reinterpret_cast<WNDPROC>(SetWindowLongPtr(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TdxBarWinControl::WindowProc)));
}

void TdxBarWinControl::UnhookWindowProc() {
  if (!FHookedWindow) return;
  SetFocused(false);
  if (IsWindow(FHookedWindow)) {
    SetWindowLongPtr(FHookedWindow, GWLP_WNDPROC, LONG_PTR(FPrevWindowProc));
    RemoveProp(FHookedWindow, kBarWinControlProp);
  }
  FHookedWindow = nullptr;
  FPrevWindowProc = nullptr;
}

void TdxBarWinControl::CallPreviousProc(TMessage& message) {
  if (FPrevWindowProc && FHookedWindow)
    message.Result = CallWindowProc(FPrevWindowProc, FHookedWindow, message.Msg, message.WParam, message.LParam);
}

LRESULT TdxBarWinControl::WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* control = static_cast<TdxBarWinControl*>(GetProp(window, kBarWinControlProp));
  if (!control) return DefWindowProc(window, msg, wParam, lParam);
  WNDPROC previous = control->FPrevWindowProc;
  TMessage message{msg, wParam, lParam, 0};
  orv::TObjectLinkGuard alive(control);
  try {
    control->HandleWindowMessage(message);
  } catch (...) {
    // A failure in a handler is the application's to show; the window goes on.
    if (Application) Application->HandleException(nullptr);
    if (!alive.Alive() && previous && msg == WM_DESTROY) return CallWindowProc(previous, window, msg, wParam, lParam);
  }
  return message.Result;
}

void TdxBarWinControl::HandleWindowMessage(TMessage& message) {
  orv::TObjectLinkGuard self(this);
  TdxBarWindowItem* item = GetWindowItem();
  switch (message.Msg) {
    case WM_SETFOCUS:
      CallPreviousProc(message);
      if (self.Alive() && item) item->DoEnter();
      return;
    case WM_KILLFOCUS: {
      const HWND to = HWND(message.WParam);
      TCustomdxBarControl* parent = GetParent();
      if (FFocused) {
        // The focus left the window from outside: the bar window closes.
        CallPreviousProc(message);
        if (self.Alive() && parent && TCustomdxBarControl::IsAlive(parent) && !IsOwnWindow(to)) parent->Close();
      } else {
        CallPreviousProc(message);
      }
      if (self.Alive() && item) item->DoExit();
      return;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      Word key = Word(message.WParam);
      WindowKeyDown(key, KeyShiftState(message.LParam));
      if (!self.Alive()) return;
      if (key == 0) {
        message.Result = 0;
        return;
      }
      message.WParam = key;
      break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      Word key = Word(message.WParam);
      WindowKeyUp(key, KeyShiftState(message.LParam));
      if (!self.Alive()) return;
      if (key == 0) return;
      message.WParam = key;
      break;
    }
    case WM_CHAR: {
      char key = char(message.WParam);
      WindowKeyPress(key);
      if (!self.Alive() || key == 0) return;
      message.WParam = WPARAM(Byte(key));
      break;
    }
    case WM_COMMAND:
      // The bar window hands its edit child's notifications back to it.
      if (HIWORD(message.WParam) == EN_CHANGE) {
        if (!FFocusing && item) item->CurChange();
        return;
      }
      break;
    case WM_RBUTTONDOWN: {
      const TPoint p = MessagePoint(message.LParam);
      MouseDown(mbRight, TShiftState(), p.X, p.Y);
      if (!self.Alive()) return;
      if (TCustomdxBarControl* parent = GetParent(); parent && parent->HandleAllocated()) {
        POINT pt{p.X, p.Y};
        ::ClientToScreen(FHookedWindow, &pt);
        ::ScreenToClient(parent->GetHandle(), &pt);
        SendMessage(parent->GetHandle(), WM_RBUTTONDOWN, message.WParam, MAKELPARAM(pt.X, pt.Y));
      }
      return;
    }
    default:
      if (IsMouseButtonMessage(message.Msg) && message.Msg != WM_MOUSEWHEEL && GetCapture() != FHookedWindow &&
          GetParent()) {
        const TPoint p = MessagePoint(message.LParam);
        RECT client{};
        GetClientRect(FHookedWindow, &client);
        if (!PointInItemRect(TRect{client.Left, client.Top, client.Right, client.Bottom}, p)) {
          POINT pt{p.X, p.Y};
          ::ClientToScreen(FHookedWindow, &pt);
          ::ScreenToClient(GetParent()->GetHandle(), &pt);
          // A press beside the window but on the item belongs to the item, not to the edit.
          if (PointInItemRect(GetItemRect(), TPoint{pt.X, pt.Y})) return;
        }
      }
      break;
  }
  if (self.Alive()) CallPreviousProc(message);
}

// ==== Edit controls ===========================================================================

TdxBarCustomEditControl::~TdxBarCustomEditControl() {
  if (FEditBrush) DeleteObject(FEditBrush);
}

TdxBarEdit* TdxBarCustomEditControl::GetEdit() const { return dynamic_cast<TdxBarEdit*>(GetItem()); }

Boolean TdxBarCustomEditControl::IsReadOnlyDisplay() {
  TdxBarEdit* edit = GetEdit();
  return edit && edit->GetReadOnly() && !(GetParent() && GetParent()->InCustomizingMode());
}

Boolean TdxBarCustomEditControl::IsCaptionShown() {
  TdxBarItem* item = GetItem();
  return (GetParent() && GetParent()->GetKind() == 2) || (item && item->GetShowCaption());
}

Integer TdxBarCustomEditControl::GetEditWidth() {
  TdxBarItemLink* link = GetItemLink();
  if (!link) return 0;
  if (link->GetUserWidth() > 0) return link->GetUserWidth();
  return GetItem() ? GetItem()->GetWidth() : 0;
}

void TdxBarCustomEditControl::GetEditRect(TRect& rect) {
  rect = GetItemRect();
  if (RectIsEmpty(rect)) return;
  if (GetAlign() == iaClient && GetParent() && !(GetParent()->GetBehaviorFlags() & 0x10))
    rect.Left = rect.Right - GetEditWidth();
  else
    rect.Left += GetCaptionAreaWidth() + GetGlyphAreaWidth();
}

void TdxBarCustomEditControl::ExcludeEditFrame() {
  TdxBarPainter* painter = GetPainter();
  TcxCanvas* canvas = GetCanvas();
  if (!painter || !canvas) return;
  TRect frame;
  if (IsReadOnlyDisplay() && GetParent() && GetParent()->GetKind() != 2)
    frame = GetItemRect();
  else
    GetEditRect(frame);
  AdjustEditFrameRect(frame);
  TRect inner = frame;
  painter->DrawEditFrame(GetDrawParams(), inner);
  HDC dc = canvas->GetHandle();
  ExcludeClipRect(dc, frame.Left, frame.Top, frame.Right, inner.Top);
  ExcludeClipRect(dc, frame.Left, inner.Bottom, frame.Right, frame.Bottom);
  ExcludeClipRect(dc, frame.Left, inner.Top, inner.Left, inner.Bottom);
  ExcludeClipRect(dc, inner.Right, inner.Top, frame.Right, inner.Bottom);
}

HBRUSH TdxBarCustomEditControl::PrepareEditBrush() {
  TdxBarPainter* painter = GetPainter();
  const TColor color = painter ? painter->GetEditColor(GetDrawParams()) : clWindow;
  if (FEditBrush) DeleteObject(FEditBrush);
  FEditBrush = CreateSolidBrush(ColorToRGB(color));
  return FEditBrush;
}

Boolean TdxBarCustomEditControl::IsInSelection() {
  return inherited::IsInSelection() && !(GetParent() && GetParent()->InCustomizingMode());
}

TdxBarItemControlDrawParamsClass TdxBarCustomEditControl::GetDrawParamsClass() {
  return TdxBarEditLikeControlDrawParams::StaticClass();
}

void TdxBarCustomEditControl::CalcDrawParams(Boolean full) {
  inherited::CalcDrawParams(full);
  TdxBarEditLikeControlDrawParams* p = GetEditDrawParams();
  if (!p) return;
  p->ReadOnlyDisplay = IsReadOnlyDisplay();
  HWND window = GetWindowHandle();
  p->HasFocus = window && ::GetFocus() == window;
  p->EditColor = clDefault;
  p->EditTextColor = clDefault;
  if (TdxBarEdit* edit = GetEdit()) {
    if (TcxStyle* style = edit->GetStyleEdit()) {
      if (style->GetAssignedValues().Contains(svColor)) p->EditColor = style->GetColor();
      if (style->GetAssignedValues().Contains(svTextColor)) p->EditTextColor = style->GetTextColor();
    }
  }
}

void TdxBarCustomEditControl::CalculateParts() {
  const TRect item = GetItemRect();
  std::vector<TRect> parts(3);
  // The glyph area at the left, the caption after it, the edit area as its frame rectangle;
  // the painter lays them out.
  parts[1] = TRect{item.Left, item.Top, item.Left + GetGlyphAreaWidth(), item.Bottom};
  parts[2] = TRect{parts[1].Right, item.Top, parts[1].Right + GetCaptionAreaWidth(), item.Bottom};
  GetEditRect(parts[0]);
  if (TdxBarPainter* painter = GetPainter(); painter && !RectIsEmpty(item)) painter->CalcEditParts(GetDrawParams(), parts);
  SetParts(parts);
  SetWindowRect(parts[0]);
}

Byte TdxBarCustomEditControl::GetDefaultContentKinds() {
  Byte kinds = 0;
  if (IsCaptionShown()) kinds |= ceText;
  if (HasImageForSize(GetSizeMode())) kinds |= ceIcon;
  return kinds;
}

TdxBarItemViewLevels TdxBarCustomEditControl::CalcPossibleViewLevels() {
  TdxBarItemViewLevels levels = inherited::CalcPossibleViewLevels();
  levels += TdxBarItemViewLevels{ivlControlOnly};
  return levels;
}

Integer TdxBarCustomEditControl::GetCaptionAreaWidth() {
  if (!(GetContentKinds() & ceText)) return 0;
  TdxBarPainter* painter = GetPainter();
  TRect margins;
  if (painter) painter->CalcEditCaptionRect(GetDrawParams(), 1, margins);
  const Integer width = GetCaptionWidth();
  return width + (width != 0 ? margins.Right : 0) + margins.Left;
}

Integer TdxBarCustomEditControl::GetGlyphAreaWidth() {
  if (!(GetContentKinds() & ceIcon)) return 0;
  TdxBarPainter* painter = GetPainter();
  TRect margins;
  if (painter) painter->CalcEditCaptionRect(GetDrawParams(), 0, margins);
  return GetGlyphSize(GetSizeMode()).cx + margins.Left + margins.Right;
}

void TdxBarCustomEditControl::DoCalcStyleParams() {
  inherited::DoCalcStyleParams();
  FEditTextSize = 0;
  TdxBarEdit* edit = GetEdit();
  TcxStyle* style = edit ? edit->GetStyleEdit() : nullptr;
  if (style && style->GetAssignedValues().Contains(svFont)) {
    HDC dc = GetDC(nullptr);
    TCanvas canvas;
    canvas.SetHandle(dc);
    canvas.GetFont()->Assign(style->GetFont());
    FEditTextSize = canvas.TextHeight("Wg");
    canvas.SetHandle(nullptr);
    ReleaseDC(nullptr, dc);
  }
}

Integer TdxBarCustomEditControl::GetHeight() {
  TdxBarPainter* painter = GetPainter();
  const Integer textSize = FEditTextSize ? FEditTextSize : (GetParent() ? GetParent()->GetTextSize() : 13);
  Integer height = painter ? painter->CalcEditHeight(this, textSize) : textSize + 9;
  if (IsCaptionShown()) height = std::max(height, GetTextSize());
  return height;
}

Integer TdxBarCustomEditControl::GetWidth() {
  return GetGlyphAreaWidth() + GetCaptionAreaWidth() + GetEditWidth();
}

Integer TdxBarCustomEditControl::GetMinWidth() { return GetCaptionAreaWidth() + GetMinEditWidth(); }

Boolean TdxBarCustomEditControl::CanPress() {
  if (!inherited::CanPress()) return false;
  const Boolean menu = GetParent() && GetParent()->GetKind() == 2;
  if (GetParent() && !GetParent()->InCustomizingMode() && !menu)
    return GetHotPartIndex() != 1 && GetHotPartIndex() != 2;
  return true;
}

void TdxBarCustomEditControl::Draw(const TRect& rect, Integer hostKind) {
  TdxBarPainter* painter = GetPainter();
  if (!painter) return;
  // The painter draws the caption, glyph, frame and button; the control writes its value.
  painter->DrawEdit(GetDrawParams(), rect);
  DrawEditContent();
}

TdxBarEditControl::TdxBarEditControl(TdxBarItemLink* link) : TdxBarCustomEditControl(link) {
  TCustomdxBarControl* parent = GetParent();
  // A toolbar being moved makes its edit windows when the move ends.
  if (parent && parent->HandleAllocated()) HookWindowProc();
}

void TdxBarEditControl::CreateEditWindow() {
  TCustomdxBarControl* parent = GetParent();
  if (FEditWindow || !parent || !parent->HandleAllocated()) return;
  orv::RegisterStandardControls();
  FEditWindow = CreateWindowEx(0, "EDIT", "", GetEditStyle(), 0, 0, 100, 100, parent->GetHandle(), nullptr, nullptr,
                               nullptr);
  if (!FEditWindow) return;
  LoadText();
  if (TdxBarEdit* edit = GetEdit()) SendMessage(FEditWindow, EM_LIMITTEXT, WPARAM(edit->GetMaxLength()), 0);
}

void TdxBarEditControl::DestroyEditWindow(Boolean destroyWindow) {
  HWND window = FEditWindow;
  FEditWindow = nullptr;
  if (window && destroyWindow && IsWindow(window)) DestroyWindow(window);
}

void TdxBarEditControl::HookWindowProc() {
  CreateEditWindow();
  inherited::HookWindowProc();
}

void TdxBarEditControl::UnhookWindowProc() {
  inherited::UnhookWindowProc();
  DestroyEditWindow(true);
}

void TdxBarEditControl::SetWindowText(const AnsiString& text) {
  AnsiString old;
  GetWindowText(old);
  inherited::SetWindowText(text);
  if (FEditWindow && GetPainter()) GetPainter()->SelectEditText(this, FEditWindow, old != text);
}

void TdxBarEditControl::HideWindow(Boolean store) {
  if (!FEditWindow) return;
  orv::TObjectLinkGuard self(this);
  ShowWindow(FEditWindow, SW_HIDE);
  if (store) StoreText();
}

void TdxBarEditControl::UpdateEditRect() {
  if (!FEditWindow) return;
  TRect r = GetWindowRect();
  r = TRect{0, 0, r.Right - r.Left, r.Bottom - r.Top};
  if (TdxBarPainter* painter = GetPainter()) painter->CalcEditTextRect(this, r);
  RECT rect{r.Left, r.Top, r.Right, r.Bottom};
  SendMessage(FEditWindow, EM_SETRECTNP, 0, LPARAM(&rect));
}

void TdxBarEditControl::ShowInPlaceWindow() {
  if (!FEditWindow) HookWindowProc();
  if (!FEditWindow) return;
  TdxBarEdit* edit = GetEdit();
  auto* combo = dynamic_cast<TCustomdxBarCombo*>(edit);
  SendMessage(FEditWindow, EM_SETREADONLY, (edit && edit->GetReadOnly()) || (combo && !combo->GetShowEditor()), 0);
  CalcDrawParams(true);
  HFONT font = nullptr;
  if (edit && edit->GetStyleEdit() && edit->GetStyleEdit()->GetAssignedValues().Contains(svFont))
    font = edit->GetStyleEdit()->GetFont()->GetHandle();
  else if (GetParent())
    font = GetParent()->GetFont()->GetHandle();
  SendMessage(FEditWindow, WM_SETFONT, WPARAM(font), 0);
  const TRect r = GetWindowRect();
  SetWindowPos(FEditWindow, nullptr, r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top,
               SWP_NOACTIVATE | SWP_NOZORDER | SWP_SHOWWINDOW);
  UpdateEditRect();
  FFocusing = true;
  LoadText();
  FFocusing = false;
  ::SetFocus(FEditWindow);
  Invalidate();
}

Boolean TdxBarEditControl::DrawsTextItself() {
  HWND window = FEditWindow;
  return !(window && GetFocused() && IsWindowVisible(window) && IsEnabled());
}

void TdxBarEditControl::GetEditBounds(TRect& rect) {
  if (DrawsTextItself())
    rect = TRect();
  else
    rect = GetPartCount() > 0 ? GetPartRect(0) : TRect();
}

void TdxBarEditControl::ControlClick(Boolean byMouse) {
  orv::TObjectLinkGuard self(this);
  inherited::ControlClick(byMouse);
  if (self.Alive() && FEditWindow && GetFocused()) SendMessage(FEditWindow, EM_SETSEL, 0, LPARAM(-1));
}

void TdxBarEditControl::DrawEditContent() {
  if (GetPartCount() == 0 || !DrawsTextItself()) return;
  TdxBarPainter* painter = GetPainter();
  TcxCanvas* canvas = GetCanvas();
  TdxBarEdit* edit = GetEdit();
  if (!painter || !canvas || !edit) return;
  // Inside the frame the painter drew around the edit area.
  TRect offsets;
  painter->GetEditButtonOffsets(GetHostKind(), offsets);
  TRect r = GetPartRect(0);
  r = TRect{r.Left - offsets.Left + 2, r.Top - offsets.Top + 2, r.Right + offsets.Right - 2,
            r.Bottom + offsets.Bottom - 2};
  TColor text = clWindowText, color = clWindow;
  painter->GetEditColors(GetDrawParams(), text, color);
  HDC dc = canvas->GetHandle();
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
  if (edit->GetStyleEdit() && edit->GetStyleEdit()->GetAssignedValues().Contains(svFont))
    canvas->GetFont()->Assign(edit->GetStyleEdit()->GetFont());
  canvas->GetFont()->SetColor(text);
  canvas->SetBrushColor(color);
  try {
    edit->DrawInterior(this, canvas, r);
  } catch (...) {
    RestoreDC(dc, saved);
    throw;
  }
  RestoreDC(dc, saved);
}

void TdxBarEditControl::HandleWindowMessage(TMessage& message) {
  orv::TObjectLinkGuard self(this);
  if (message.Msg == WM_DESTROY) {
    SetFocused(false);
    if (!self.Alive()) return;
    CallPreviousProc(message);
    inherited::UnhookWindowProc();
    FEditWindow = nullptr;
    return;
  }
  if (message.Msg == WM_COMMAND) {
    inherited::HandleWindowMessage(message);
    return;
  }
  inherited::HandleWindowMessage(message);
}

// ==== Combo controls ==========================================================================

void TCustomdxBarComboControl::BeforeDestruction() {
  SetDroppedDown(false);
  inherited::BeforeDestruction();
}

TCustomdxBarCombo* TCustomdxBarComboControl::GetCombo() const { return dynamic_cast<TCustomdxBarCombo*>(GetItem()); }

void TCustomdxBarComboControl::GetDropDownPosition(TPoint& point) {
  TCustomdxBarControl* parent = GetParent();
  const TRect item = GetItemRect();
  POINT p{};
  if (parent && (parent->GetKind() == 2 || parent->IsVertical())) {
    p = POINT{item.Right, item.Top};
  } else {
    TRect edit;
    GetEditRect(edit);
    p = POINT{RectIsEmpty(edit) ? item.Left : edit.Left, item.Bottom};
  }
  if (parent && parent->HandleAllocated()) ::ClientToScreen(parent->GetHandle(), &p);
  point = TPoint{p.X, p.Y};
}

void TCustomdxBarComboControl::SetDroppedDown(Boolean value) {
  TCustomdxBarCombo* combo = GetCombo();
  if (value == FDroppedDown || !combo || combo->GetReadOnly()) return;
  FDroppedDown = value;
  Invalidate();
  orv::TObjectLinkGuard alive(combo);
  if (value) {
    TPoint p;
    GetDropDownPosition(p);
    combo->DropDown(p.X, p.Y);
  } else {
    combo->CloseUp();
  }
}

Boolean TCustomdxBarComboControl::IsOwnWindow(HWND window) {
  if (inherited::IsOwnWindow(window)) return true;
  TCustomdxBarCombo* combo = GetCombo();
  HWND dropDown = FDroppedDown && combo ? combo->GetDropDownWindow() : nullptr;
  return dropDown && window && IsWindowVisible(dropDown) && (window == dropDown || IsChild(dropDown, window));
}

void TCustomdxBarComboControl::CalcDrawParams(Boolean full) {
  inherited::CalcDrawParams(full);
  if (GetDrawParams()) GetDrawParams()->MenuOpen = FDroppedDown;
}

void TCustomdxBarComboControl::CalculateParts() {
  inherited::CalculateParts();
  std::vector<TRect> parts;
  for (Integer i = 0; i < GetPartCount(); ++i) parts.push_back(GetPartRect(i));
  parts.resize(4);
  const TRect item = GetItemRect();
  if (TdxBarPainter* painter = GetPainter(); painter && !RectIsEmpty(item))
    painter->CalcComboParts(GetDrawParams(), parts, item, 3);
  SetParts(parts);
  SetWindowRect(parts[0]);
}

Boolean TCustomdxBarComboControl::DrawsTextItself() {
  TCustomdxBarCombo* combo = GetCombo();
  return !(IsEnabled() && GetFocused() && combo && combo->GetShowEditor() && GetWindowHandle() &&
           IsWindowVisible(GetWindowHandle()));
}

void TCustomdxBarComboControl::ControlInactivate(Boolean immediate) {
  orv::TObjectLinkGuard self(this);
  SetDroppedDown(false);
  if (self.Alive()) inherited::ControlInactivate(immediate);
}

void TCustomdxBarComboControl::EnabledChanged() {
  orv::TObjectLinkGuard self(this);
  SetDroppedDown(false);
  if (self.Alive()) inherited::EnabledChanged();
}

void TCustomdxBarComboControl::AdjustEditFrameRect(TRect& rect) {
  if (GetPartCount() > 3 && !RectIsEmpty(GetPartRect(3))) rect.Right = GetPartRect(3).Right;
}

void TCustomdxBarComboControl::DrawEditContent() { inherited::DrawEditContent(); }

namespace {
Boolean IsDropKey(Word key, TShiftState shift) { return (key == VK_UP || key == VK_DOWN) && shift.Contains(ssAlt); }
}  // namespace

Boolean TCustomdxBarComboControl::IsMenuKey(Word key, TShiftState shift) {
  return inherited::IsMenuKey(key, shift) || IsDropKey(key, shift);
}

Boolean TCustomdxBarComboControl::IsAltKey(Word key, TShiftState shift) {
  return inherited::IsAltKey(key, shift) || IsDropKey(key, shift);
}

void TCustomdxBarComboControl::HandleKeyDown(Word& key, TShiftState shift) {
  if (IsDropKey(key, shift)) {
    SetDroppedDown(!FDroppedDown);
    key = 0;
    return;
  }
  inherited::HandleKeyDown(key, shift);
}

void TCustomdxBarComboControl::HandleKeyUp(Word& key) {
  if (key == VK_UP || key == VK_DOWN) {
    // Alt served as a modifier: its own release later does not start menu mode.
    FKeysPressed = 0;
    key = 0;
    return;
  }
  inherited::HandleKeyUp(key);
}

void TCustomdxBarComboControl::HandleWindowMessage(TMessage& message) {
  orv::TObjectLinkGuard self(this);
  TCustomdxBarCombo* combo = GetCombo();
  HWND window = GetWindowHandle();
  if (message.Msg == WM_KEYDOWN && message.WParam == VK_F4) {
    SetDroppedDown(!FDroppedDown);
    message.Result = 0;
    return;
  }
  if ((message.Msg == WM_KEYDOWN || message.Msg == WM_KEYUP) && FDroppedDown && combo) {
    HWND dropDown = combo->GetDropDownWindow();
    if (dropDown && combo->CheckKeyForDropDownWindow(Word(message.WParam), KeyShiftState(message.LParam))) {
      message.Result = SendMessage(dropDown, message.Msg, message.WParam, message.LParam);
      // The entry chosen in the list shows in the edit window.
      auto* strings = dynamic_cast<TdxBarCustomCombo*>(combo);
      if (self.Alive() && strings && message.Msg == WM_KEYDOWN)
        if (auto* control = dynamic_cast<TdxBarComboControl*>(this))
          control->SetLocalItemIndex(strings->GetListBox()->GetItemIndex());
      return;
    }
  }
  const UINT msg = message.Msg;
  const Boolean press = msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK;
  const Boolean release = msg == WM_LBUTTONUP;
  TPoint point{-1, -1};
  if ((press || release) && window && GetParent()) {
    POINT p{Integer(short(LOWORD(message.LParam))), Integer(short(HIWORD(message.LParam)))};
    ::ClientToScreen(window, &p);
    ::ScreenToClient(GetParent()->GetHandle(), &p);
    point = TPoint{p.X, p.Y};
  }
  inherited::HandleWindowMessage(message);
  if (!self.Alive() || !(press || release) || !window || !IsWindowVisible(window)) return;
  if (press) FDroppedDownAtPress = FDroppedDown;
  const Boolean overButton = GetPartCount() > 3 && PointInItemRect(GetPartRect(3), point);
  const Boolean overEdit = GetPartCount() > 0 && PointInItemRect(GetPartRect(0), point);
  const Boolean over = overButton || (combo && !combo->GetShowEditor() && overEdit);
  if (over && ((!FDroppedDownAtPress && press) || (FDroppedDownAtPress && release))) SetDroppedDown(!FDroppedDown);
}

TdxBarCustomCombo* TdxBarComboControl::GetStringCombo() const { return dynamic_cast<TdxBarCustomCombo*>(GetItem()); }

void TdxBarComboControl::SetLocalItemIndex(Integer value) {
  FLocalItemIndex = value;
  FFocusing = true;
  LoadText();
  FFocusing = false;
  TdxBarCustomCombo* combo = GetStringCombo();
  if (combo && !combo->GetShowEditor()) Invalidate();
}

void TdxBarComboControl::LoadText() {
  TdxBarCustomCombo* combo = GetStringCombo();
  if (combo && FLocalItemIndex >= 0 && FLocalItemIndex < combo->GetItems()->GetCount())
    SetWindowText(combo->GetItems()->Get(FLocalItemIndex));
  else
    inherited::LoadText();
}

void TdxBarComboControl::SetFocused(Boolean value) {
  const Boolean focusing = FFocusing;
  FFocusing = true;
  if (value && !GetFocused())
    if (TdxBarCustomCombo* combo = GetStringCombo()) FLocalItemIndex = combo->GetItemIndex();
  inherited::SetFocused(value);
  FFocusing = focusing;
}

void TdxBarComboControl::HandleWindowMessage(TMessage& message) {
  orv::TObjectLinkGuard self(this);
  TdxBarCustomCombo* combo = GetStringCombo();
  if (combo && !combo->GetReadOnly()) {
    const Integer count = combo->GetItems()->GetCount();
    const Word key = Word(message.WParam);
    if (message.Msg == WM_KEYDOWN && key != VK_RETURN && key != VK_TAB && !IsDroppedDown() &&
        KeyShiftState(message.LParam).Empty() && (key == VK_UP || key == VK_DOWN)) {
      if (key == VK_UP && FLocalItemIndex > 0) SetLocalItemIndex(FLocalItemIndex - 1);
      if (key == VK_DOWN && FLocalItemIndex < count - 1) SetLocalItemIndex(FLocalItemIndex + 1);
      message.Result = 0;
      return;
    }
    if (message.Msg == WM_KEYDOWN && (key == VK_RETURN || key == VK_TAB) && FLocalItemIndex >= 0 &&
        FLocalItemIndex < count) {
      AnsiString text;
      GetWindowText(text);
      if (combo->GetItems()->Get(FLocalItemIndex) == text) combo->SetItemIndex(FLocalItemIndex);
      if (!self.Alive() || !GetWindowHandle() || !IsWindowVisible(GetWindowHandle())) return;
    }
    if (message.Msg == WM_MOUSEWHEEL) {
      const Boolean towardsUser = short(HIWORD(message.WParam)) < 0;
      HWND list = combo->GetListBox() ? combo->GetListBox()->GetHandle() : nullptr;
      if (IsDroppedDown() && list)
        SendMessage(list, WM_VSCROLL, towardsUser ? SB_LINEDOWN : SB_LINEUP, 0);
      else if (towardsUser && FLocalItemIndex < count - 1)
        SetLocalItemIndex(FLocalItemIndex + 1);
      else if (!towardsUser && FLocalItemIndex > 0)
        SetLocalItemIndex(FLocalItemIndex - 1);
      if (!self.Alive()) return;
    }
  }
  inherited::HandleWindowMessage(message);
}

// ==== Published properties ====================================================================

ORV_PUBLISH(TdxBarWindowItem) {
  using T = TdxBarWindowItem;
  p.Property("OnChange", &T::GetOnChange, &T::SetOnChange);
  p.Property("OnCurChange", &T::GetOnCurChange, &T::SetOnCurChange);
  p.Property("OnEnter", &T::GetOnEnter, &T::SetOnEnter);
  p.Property("OnExit", &T::GetOnExit, &T::SetOnExit);
  p.Property("OnKeyDown", &T::GetOnKeyDown, &T::SetOnKeyDown);
  p.Property("OnKeyPress", &T::GetOnKeyPress, &T::SetOnKeyPress);
  p.Property("OnKeyUp", &T::GetOnKeyUp, &T::SetOnKeyUp);
}

ORV_PUBLISH(TdxCustomBarEdit) {
  using T = TdxCustomBarEdit;
  p.Property("Glyph", &T::GetGlyph, &T::SetGlyph);
  p.Property("ImageIndex", &T::GetImageIndex, &T::SetImageIndex).Default(-1);
  p.Property("ShowCaption", &T::GetShowCaption, &T::SetShowCaption).Default(false);
  p.Property("Width", &T::GetWidth, &T::SetWidth);
  p.Property("OnClick", &T::GetOnClick, &T::SetOnClick);
}

ORV_PUBLISH(TdxBarEdit) {
  using T = TdxBarEdit;
  p.Property("MaxLength", &T::GetMaxLength, &T::SetMaxLength).Default(0);
  p.Property("ReadOnly", &T::GetReadOnly, &T::SetReadOnly).Default(false);
  p.Property("StyleEdit", &T::GetStyleEdit, &T::SetStyleEdit);
  p.Property("Text", &T::GetText, &T::SetText);
}

ORV_PUBLISH(TCustomdxBarCombo) {
  using T = TCustomdxBarCombo;
  p.Property("ShowEditor", &T::GetShowEditor, &T::SetShowEditor).Default(true);
  p.Property("OnCheckKeyForDropDownWindow", &T::GetOnCheckKeyForDropDownWindow, &T::SetOnCheckKeyForDropDownWindow);
  p.Property("OnCloseUp", &T::GetOnCloseUp, &T::SetOnCloseUp);
  p.Property("OnDropDown", &T::GetOnDropDown, &T::SetOnDropDown);
  p.Property("OnGetDropDownWindow", &T::GetOnGetDropDownWindow, &T::SetOnGetDropDownWindow);
}

ORV_PUBLISH(TdxBarCustomCombo) {
  using T = TdxBarCustomCombo;
  p.Property("DropDownCount", &T::GetDropDownCount, &T::SetDropDownCount).Default(8);
  p.Property("DropDownWidth", &T::GetDropDownWidth, &T::SetDropDownWidth).Default(0);
  p.Property("OnDrawItem", &T::GetOnDrawItem, &T::SetOnDrawItem);
  p.Property("OnMeasureItem", &T::GetOnMeasureItem, &T::SetOnMeasureItem);
}

ORV_PUBLISH(TdxBarCombo) {
  using T = TdxBarCombo;
  p.Property("ItemHeight", &T::GetItemHeight, &T::SetItemHeight).Default(0);
  p.Property("Items", &T::GetItems, &T::SetItems);
  p.Property("Sorted", &T::GetSorted, &T::SetSorted).Default(false);
  p.Property("ItemIndex", &T::GetItemIndex, &T::SetItemIndex);
}
