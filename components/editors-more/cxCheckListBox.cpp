#include "components/editors-more/cxCheckListBox.h"

#include <algorithm>

#include "components/data/cxDataUtils.h"
#include "components/data/cxVariants.h"
#include "components/editors-more/cxExtEditUtils.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxExtEditConsts.h"
#include "components/foundation/cxClasses.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxImageList.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/foundation/cxLookAndFeels.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/controls/ControlProperties.h"
#include "platform/controls/Graphics.h"
#include "platform/controls/UserControls.h"
#include "platform/drawing/Gdi.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

namespace {

using TLinkGuard = orv::TObjectLinkGuard;

// True when the two values differ in type or value.
Boolean EditValuesDiffer(const Variant& a, const Variant& b) { return !VarEqualsExactly(a, b); }

Boolean IsGlyphUsable(TBitmap* glyph, Integer count) { return glyph && count > 0 && !glyph->GetEmpty(); }

// Text metrics are taken on the shared screen canvas, so that they do not need the list's window.
TSize MeasureText(TFont* font, const AnsiString& text) {
  TcxScreenCanvas* canvas = GetScreenCanvas();
  if (!canvas) return TSize{0, 0};
  canvas->SetFont(font);
  const TSize size = canvas->GetTextSize(text);
  canvas->FreeScreenHandle();
  return size;
}

}  // namespace

// ==== Items ====================================================================================

TcxCustomInnerCheckListBox* TcxCheckListBoxItem::GetCheckListBox() const {
  auto* items = dynamic_cast<TcxCheckListBoxItems*>(GetCollection());
  return items ? items->GetCheckListBox() : nullptr;
}

void TcxCheckListBoxItem::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxCheckListBoxItem*>(source)) {
    SetEnabled(s->FEnabled);
    SetImageIndex(s->FImageIndex);
    FItemObject = s->FItemObject;
    SetState(s->FState);
  }
  inherited::Assign(source);
}

AnsiString TcxCheckListBoxItem::GetDisplayName() const {
  return GetText().empty() ? inherited::GetDisplayName() : GetText();
}

void TcxCheckListBoxItem::SetEnabled(Boolean value) {
  if (value == FEnabled) return;
  FEnabled = value;
  Changed(false);
}

void TcxCheckListBoxItem::SetImageIndex(TImageIndex value) {
  if (value == FImageIndex) return;
  FImageIndex = value;
  Changed(false);
}

void TcxCheckListBoxItem::SetState(TcxCheckBoxState value) {
  TcxCustomInnerCheckListBox* list = GetCheckListBox();
  TcxCustomCheckListBox* control = list ? list->GetCheckListBox() : nullptr;
  if (!control) {
    FState = value;
    return;
  }
  // The integer format holds one bit per item: it cannot keep a grayed state.
  if (value == cbsGrayed && control->GetEditValueFormat() == cvfInteger) value = cbsUnchecked;
  if (value == FState) return;
  FState = value;
  list->InvalidateCheck(GetIndex());
  if (!list->GetCheckItems()->IsChangedLocked()) list->ItemStatesToEditValue();
}

TcxCheckListBoxItems::TcxCheckListBoxItems(TcxCustomInnerCheckListBox* owner)
    : TcxCaptionItems(owner, TcxCheckListBoxItem::StaticClass()), FCheckListBox(owner) {}

void TcxCheckListBoxItems::BeforeDestruction() {
  FCheckListBox = nullptr;
  inherited::BeforeDestruction();
}

Integer TcxCheckListBoxItems::IndexOf(const AnsiString& text) const {
  const AnsiString upper = AnsiUpperCase(text);
  for (Integer i = 0; i < TCollection::GetCount(); ++i)
    if (AnsiUpperCase(GetItem(i)->GetText()) == upper) return i;
  return -1;
}

Integer TcxCheckListBoxItems::IndexOfItemObject(TObject* object) const {
  for (Integer i = 0; i < TCollection::GetCount(); ++i)
    if (GetItem(i)->GetItemObject() == object) return i;
  return -1;
}

void TcxCheckListBoxItems::LockChanged(Boolean lock, Boolean notify) {
  if (lock) {
    ++FChangedLockCount;
    return;
  }
  if (FChangedLockCount <= 0) return;
  --FChangedLockCount;
  if (notify && FChangedLockCount == 0) Changed();
}

void TcxCheckListBoxItems::Update(TCollectionItem* item) {
  // The native list's strings follow the items even when the change handler refuses the new
  // item count, so that what shows is what the collection holds.
  auto synchronize = [this, item] {
    if (!FCheckListBox) return;
    TStrings* strings = FCheckListBox->GetItems();
    const Integer count = TCollection::GetCount();
    if (item && strings->GetCount() == count) {
      const Integer index = item->GetIndex();
      strings->Put(index, GetItem(index)->GetText());
      FCheckListBox->InvalidateItem(index);
    } else {
      strings->BeginUpdate();
      const Integer itemIndex = FCheckListBox->GetItemIndex();
      const Integer topIndex = FCheckListBox->GetTopIndex();
      try {
        strings->Clear();
        for (Integer i = 0; i < count; ++i) strings->Add(GetItem(i)->GetText());
        FCheckListBox->SetTopIndex(topIndex);
        FCheckListBox->SetItemIndex(itemIndex < count ? itemIndex : -1);
      } catch (...) {
        strings->EndUpdate();
        throw;
      }
      strings->EndUpdate();
    }
  };
  try {
    inherited::Update(item);
  } catch (...) {
    synchronize();
    throw;
  }
  synchronize();
  if (!FCheckListBox) return;
  TcxCustomCheckListBox* control = FCheckListBox->GetCheckListBox();
  if (!control) return;
  if (control->GetEditValueFromStates())
    FCheckListBox->ItemStatesToEditValue();
  else
    FCheckListBox->EditValueToItemStates();
}

// ==== Inner check list box =====================================================================

TcxCustomInnerCheckListBox::TcxCustomInnerCheckListBox(TComponent* owner) : TcxCustomInnerListBox(owner) {
  FMetrics = GetMetrics();
  FItems = new TcxCheckListBoxItems(this);
  SetStyle(lbOwnerDrawFixed);
}

void TcxCustomInnerCheckListBox::BeforeDestruction() {
  StopMouseTracking(this);
  orv::Free(FGlyph);
  FGlyph = nullptr;
  if (FItems) {
    FItems->SetOnChange({});
    orv::Free(FItems);
    FItems = nullptr;
  }
  inherited::BeforeDestruction();
}

TcxCustomInnerCheckListBox::~TcxCustomInnerCheckListBox() = default;

TcxCustomCheckListBox* TcxCustomInnerCheckListBox::GetCheckListBox() const {
  return dynamic_cast<TcxCustomCheckListBox*>(GetContainer());
}

TcxCheckListBoxMetrics TcxCustomInnerCheckListBox::GetMetrics() {
  TcxCheckListBoxMetrics m;
  m.CheckMargin = 1;
  m.AreaIndent = 0;
  m.ImageMargin = 1;
  m.AreaSpacing = 1;
  m.TextIndent = 2;
  m.WidthReserve = 3;
  return m;
}

void TcxCustomInnerCheckListBox::SetCheckItems(TcxCheckListBoxItems* value) { FItems->Assign(value); }

TBitmap* TcxCustomInnerCheckListBox::GetGlyph() {
  if (!FGlyph) {
    FGlyph = new TBitmap;
    FGlyph->SetOnChange(TNotifyEvent(this, &TcxCustomInnerCheckListBox::GlyphChanged));
  }
  return FGlyph;
}

void TcxCustomInnerCheckListBox::SetGlyph(TBitmap* value) {
  if (!value) {
    orv::Free(FGlyph);
    FGlyph = nullptr;
    ItemMetricsChanged();
    return;
  }
  GetGlyph()->Assign(value);
}

void TcxCustomInnerCheckListBox::SetGlyphCount(Integer value) {
  if (value == FGlyphCount) return;
  FGlyphCount = value;
  if (FGlyph) ItemMetricsChanged();
}

void TcxCustomInnerCheckListBox::GetCheckMetrics(TSize& size, Integer& borderWidth) {
  TcxCustomCheckListBox* control = GetCheckListBox();
  TcxLookAndFeel* lookAndFeel = control ? control->GetStyle()->GetLookAndFeel() : GetLookAndFeel();
  TcxScreenCanvas* canvas = GetScreenCanvas();
  size = GetEditCheckSize(canvas, lookAndFeel->GetNativeStyle(), FGlyph, FGlyphCount, lookAndFeel->GetSkinPainter());
  if (canvas) canvas->FreeScreenHandle();
  borderWidth = GetEditCheckBorderOffset(lookAndFeel->GetKind(), control && control->GetNativeCheckStyle(),
                                         IsGlyphUsable(FGlyph, FGlyphCount), lookAndFeel->GetSkinPainter());
  size.cx -= 2 * borderWidth;
  size.cy -= 2 * borderWidth;
}

Integer TcxCustomInnerCheckListBox::GetCheckAreaWidth() {
  TcxCustomCheckListBox* control = GetCheckListBox();
  const Boolean showChecks = !control || control->GetShowChecks();
  TCustomImageList* images = control ? control->GetImages() : nullptr;
  Integer width = FMetrics.AreaIndent;
  if (showChecks || images) width += FMetrics.AreaSpacing;
  if (showChecks) {
    TSize size;
    Integer border;
    GetCheckMetrics(size, border);
    width += 2 * FMetrics.CheckMargin + size.cx;
  }
  if (images) width += images->GetWidth() + 2 * FMetrics.ImageMargin;
  return width;
}

Integer TcxCustomInnerCheckListBox::GetItemHeight() {
  TcxCustomCheckListBox* control = GetCheckListBox();
  Integer height = MeasureText(GetFont(), "Zg").cy;
  if (!control || control->GetShowChecks()) {
    TSize size;
    Integer border;
    GetCheckMetrics(size, border);
    height = std::max(height, size.cy + 2 * FMetrics.CheckMargin);
  }
  if (control && control->GetImages())
    height = std::max(height, control->GetImages()->GetHeight() + 2 * FMetrics.ImageMargin);
  return height;
}

TRect TcxCustomInnerCheckListBox::GetCheckRect(const TRect& itemRect, Boolean withBorder) {
  TcxCustomCheckListBox* control = GetCheckListBox();
  if (control && !control->GetShowChecks()) return TRect{};
  TSize size;
  Integer border;
  GetCheckMetrics(size, border);
  Integer x = FMetrics.AreaIndent + FMetrics.CheckMargin;
  if (control && control->GetImageLayout() == ilBeforeChecks && control->GetImages())
    x += control->GetImages()->GetWidth() + 2 * FMetrics.ImageMargin;
  const Integer top = itemRect.Top + (itemRect.Height() - size.cy) / 2;
  const Integer left = itemRect.Left + x;
  TRect r{left, top, left + size.cx, top + size.cy};
  if (withBorder) r = TRect{r.Left - border, r.Top - border, r.Right + border, r.Bottom + border};
  return r;
}

TRect TcxCustomInnerCheckListBox::GetImageRect(const TRect& itemRect) {
  TcxCustomCheckListBox* control = GetCheckListBox();
  TCustomImageList* images = control ? control->GetImages() : nullptr;
  if (!images) return TRect{};
  Integer x = FMetrics.AreaIndent + FMetrics.ImageMargin;
  if (control->GetShowChecks() && control->GetImageLayout() == ilAfterChecks) {
    TSize size;
    Integer border;
    GetCheckMetrics(size, border);
    x += 2 * FMetrics.CheckMargin + size.cx;
  }
  const Integer top = itemRect.Top + (itemRect.Height() - images->GetHeight()) / 2;
  const Integer left = itemRect.Left + x;
  return TRect{left, top, left + images->GetWidth(), top + images->GetHeight()};
}

Integer TcxCustomInnerCheckListBox::GetCheckAt(Integer x, Integer y) {
  if (!HandleAllocated() || x < 0 || y < 0) return -1;
  const Integer index = ItemAtPos(TPoint{x, y}, true);
  if (index < 0 || index >= FItems->GetCount()) return -1;
  const TRect r = GetCheckRect(ItemRect(index), false);
  return (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) ? index : -1;
}

void TcxCustomInnerCheckListBox::FullRepaint() {
  if (!HandleAllocated()) return;
  const RECT r = TRect{0, 0, GetWidth(), GetHeight()};
  InvalidateRect(GetHandle(), &r, TRUE);
}

void TcxCustomInnerCheckListBox::InvalidateItem(Integer index) {
  if (!HandleAllocated() || index < 0 || index >= GetCount()) return;
  const RECT r = ItemRect(index);
  InvalidateRect(GetHandle(), &r, TRUE);
}

void TcxCustomInnerCheckListBox::InvalidateCheck(Integer index) {
  if (!HandleAllocated() || index < 0 || index >= GetCount()) return;
  const RECT r = GetCheckRect(ItemRect(index), false);
  InvalidateRect(GetHandle(), &r, FALSE);
}

void TcxCustomInnerCheckListBox::ItemMetricsChanged() {
  if (!HandleAllocated()) return;
  SendMessage(GetHandle(), LB_SETITEMHEIGHT, 0, GetItemHeight());
  SyncScrollBars();
  FullRepaint();
}

void TcxCustomInnerCheckListBox::DoClickCheck(Integer index, TcxCheckBoxState prevState, TcxCheckBoxState newState) {
  if (FOnClickCheck) FOnClickCheck(GetCheckListBox(), index, prevState, newState);
}

Boolean TcxCustomInnerCheckListBox::StartModifyAllowed() {
  TcxCustomCheckListBox* control = GetCheckListBox();
  return !control || !control->GetDataBinding() || control->GetDataBinding()->StartModify();
}

void TcxCustomInnerCheckListBox::ToggleItem(Integer index) {
  if (index < 0 || index >= FItems->GetCount()) return;
  TcxCheckListBoxItem* item = FItems->GetItem(index);
  if (!item->GetEnabled()) return;
  TcxCustomCheckListBox* control = GetCheckListBox();
  if (control && control->Focused() && !StartModifyAllowed()) return;
  const TcxCheckBoxState previous = item->GetState();
  TcxCheckBoxState next = cbsChecked;
  switch (previous) {
    case cbsUnchecked:
      next = (FAllowGrayed && (!control || control->GetEditValueFormat() != cvfInteger)) ? cbsGrayed : cbsChecked;
      break;
    case cbsChecked: next = cbsUnchecked; break;
    case cbsGrayed: next = cbsChecked; break;
  }
  item->SetState(next);
  DoClickCheck(index, previous, next);
}

void TcxCustomInnerCheckListBox::ItemStatesToEditValue() {
  TcxCustomCheckListBox* control = GetCheckListBox();
  if (!control) return;
  TcxCheckStates states;
  for (Integer i = 0; i < FItems->GetCount(); ++i) states.push_back(FItems->GetItem(i)->GetState());
  Variant value;
  if (control->FOnCheckStatesToEditValue)
    control->FOnCheckStatesToEditValue(control, states, value);
  else
    value = CheckStatesToValue(states, FItems, control->GetEditValueFormat());
  const Boolean changed = control->FOnEditValueChanged && EditValuesDiffer(value, control->FEditValue);
  control->FEditValue = value;
  control->FEditValueFromStates = true;
  if (changed) control->DoEditValueChanged();
}

void TcxCustomInnerCheckListBox::EditValueToItemStates() {
  TcxCustomCheckListBox* control = GetCheckListBox();
  if (!control) return;
  const Integer count = FItems->GetCount();
  TcxCheckStates states;
  if (control->FOnEditValueToCheckStates) {
    states.assign(std::size_t(count), cbsUnchecked);
    control->FOnEditValueToCheckStates(control, control->FEditValue, states);
    states.resize(std::size_t(count), cbsUnchecked);
  } else {
    CheckStatesFromValue(control->FEditValue, FItems, control->GetEditValueFormat(), states);
  }
  FItems->LockChanged(true);
  try {
    for (Integer i = 0; i < count; ++i) FItems->GetItem(i)->SetState(states[std::size_t(i)]);
  } catch (...) {
    FItems->LockChanged(false);
    throw;
  }
  FItems->LockChanged(false);
}

void TcxCustomInnerCheckListBox::SetCheckStates(Integer hot, Integer pressed) {
  if (hot != FHotCheckIndex) {
    const Integer old = FHotCheckIndex;
    FHotCheckIndex = hot;
    InvalidateCheck(old);
    InvalidateCheck(hot);
  }
  if (pressed != FPressedCheckIndex) {
    const Integer old = FPressedCheckIndex;
    FPressedCheckIndex = pressed;
    InvalidateCheck(old);
    InvalidateCheck(pressed);
  }
}

void TcxCustomInnerCheckListBox::UpdateCheckStates(TShiftState shift, Integer x, Integer y) {
  if (FCapturedCheckIndex < 0) {
    const Boolean free = shift.Empty();
    SetCheckStates(free ? GetCheckAt(x, y) : FHotCheckIndex, FPressedCheckIndex);
  } else {
    SetCheckStates(-1, GetCheckAt(x, y) == FCapturedCheckIndex ? FCapturedCheckIndex : -1);
  }
}

void TcxCustomInnerCheckListBox::UpdateCheckStatesAtCursor() {
  if (!HandleAllocated()) return;
  const TPoint p = ScreenToClient(QueryCursorPos());
  UpdateCheckStates(GetCurrentShiftState(), p.X, p.Y);
}

void TcxCustomInnerCheckListBox::MouseLeave() {
  UpdateCheckStates(TShiftState{}, -1, -1);
  StopMouseTracking(this);
}

void TcxCustomInnerCheckListBox::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  // The items are always drawn here.
  if (!(params.Style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE))) params.Style |= LBS_OWNERDRAWFIXED;
}

void TcxCustomInnerCheckListBox::WndProc(TMessage& message) {
  const UINT msg = message.Msg;
  if (msg == WM_LBUTTONDOWN) {
    TcxCustomCheckListBox* control = GetCheckListBox();
    const Integer x = GET_X_LPARAM(message.LParam);
    const Integer y = GET_Y_LPARAM(message.LParam);
    if (control && !control->GetShowChecks() && !StartModifyAllowed()) {
      // A read-only single-selection list: the press focuses it and is reported, nothing more.
      if (CanFocus()) SetFocus();
      MouseDown(mbLeft, KeysToShiftState(message.WParam), x, y);
      message.Result = 0;
      return;
    }
    TLinkGuard guard(this);
    FMouseDownCheckIndex = GetCheckAt(x, y);
    const TDragMode restoreMode = control ? control->GetDragMode() : GetDragMode();
    if (FMouseDownCheckIndex >= 0) {
      FItemWasFullyVisible = ItemRect(FMouseDownCheckIndex).Bottom <= GetClientHeight();
      // A press on a check never starts dragging the list.
      TControl::SetDragMode(dmManual);
    }
    try {
      inherited::WndProc(message);
    } catch (...) {
      if (guard.Alive()) {
        FMouseDownCheckIndex = -1;
        TControl::SetDragMode(restoreMode);
      }
      throw;
    }
    if (!guard.Alive()) return;
    FMouseDownCheckIndex = -1;
    TControl::SetDragMode(restoreMode);
    return;
  }
  TLinkGuard guard(this);
  inherited::WndProc(message);
  if (!guard.Alive()) return;
  switch (msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_MOUSEWHEEL: UpdateCheckStatesAtCursor(); break;
    default: break;
  }
}

void TcxCustomInnerCheckListBox::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CN_DRAWITEM: {
      if (GetCount() == 0) {
        message.Result = 1;
        return;
      }
      // The platform passes the text area: the checks and images lie left of it.
      auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam);
      di->rcItem.Left += GetCheckAreaWidth();
      inherited::Dispatch(message);
      return;
    }
    case CN_MEASUREITEM: {
      auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
      mi->itemHeight = UINT(std::max(1, GetItemHeight()));
      message.Result = 1;
      return;
    }
    case CM_MOUSELEAVE: {
      TLinkGuard guard(this);
      inherited::Dispatch(message);
      if (!guard.Alive()) return;
      UpdateCheckStates(TShiftState{}, -1, -1);
      StopMouseTracking(this);
      return;
    }
    case CM_MOUSEENTER:
      inherited::Dispatch(message);
      StartMouseTracking(this, TRect{0, 0, GetWidth(), GetHeight()}, this);
      return;
    case CM_FONTCHANGED: {
      TLinkGuard guard(this);
      inherited::Dispatch(message);
      if (guard.Alive()) ItemMetricsChanged();
      return;
    }
    case CM_COLORCHANGED: {
      TLinkGuard guard(this);
      inherited::Dispatch(message);
      if (guard.Alive()) FullRepaint();
      return;
    }
    default: break;
  }
  inherited::Dispatch(message);
  if (message.Msg == WM_CREATE && HandleAllocated())
    SendMessage(GetHandle(), LB_SETITEMHEIGHT, 0, GetItemHeight());
}

void TcxCustomInnerCheckListBox::Click() {
  TcxCustomCheckListBox* control = GetCheckListBox();
  if (control && !control->GetShowChecks() && !StartModifyAllowed()) return;
  inherited::Click();
}

void TcxCustomInnerCheckListBox::DblClick() {
  TLinkGuard guard(this);
  inherited::DblClick();
  if (!guard.Alive()) return;
  const Integer index = GetItemIndex();
  if (index < 0 || index >= FItems->GetCount() || !FItems->GetItem(index)->GetEnabled()) return;
  const TPoint p = ScreenToClient(QueryCursorPos());
  if (GetCheckAt(p.X, p.Y) >= 0 || FAllowDblClickToggle) ToggleItem(index);
}

void TcxCustomInnerCheckListBox::KeyPress(char& key) {
  if (key == ' ') ToggleItem(GetItemIndex());
  inherited::KeyPress(key);
}

void TcxCustomInnerCheckListBox::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TLinkGuard guard(this);
  inherited::MouseDown(button, shift, x, y);
  if (!guard.Alive()) return;
  TcxCustomCheckListBox* control = GetCheckListBox();
  Integer captured = -1;
  if (button == mbLeft && FMouseDownCheckIndex >= 0 && FMouseDownCheckIndex < FItems->GetCount()) {
    const Boolean atOnce = (control && control->GetDragMode() == dmAutomatic) || !FItemWasFullyVisible;
    if (atOnce && FItems->GetItem(FMouseDownCheckIndex)->GetEnabled()) {
      // Dragging may follow, or the row scrolls into view: the check answers the press itself.
      ToggleItem(FMouseDownCheckIndex);
      if (!guard.Alive()) return;
    } else {
      captured = FMouseDownCheckIndex;
    }
  }
  FCapturedCheckIndex = captured;
  SetCheckStates(-1, captured);
}

void TcxCustomInnerCheckListBox::MouseMove(TShiftState shift, Integer x, Integer y) {
  TLinkGuard guard(this);
  inherited::MouseMove(shift, x, y);
  if (!guard.Alive()) return;
  TcxCustomCheckListBox* control = GetCheckListBox();
  if (control && control->GetDragMode() == dmAutomatic && GetCapture() != GetHandle())
    SetCheckStates(FHotCheckIndex, -1);
  UpdateCheckStates(shift, x, y);
  StartMouseTracking(this, TRect{0, 0, GetWidth(), GetHeight()}, this);
}

void TcxCustomInnerCheckListBox::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TLinkGuard guard(this);
  inherited::MouseUp(button, shift, x, y);
  if (!guard.Alive()) return;
  TcxCustomCheckListBox* control = GetCheckListBox();
  const Integer at = GetCheckAt(x, y);
  if (button == mbLeft && !(control && control->GetDragMode() == dmAutomatic) && at >= 0 &&
      at == FPressedCheckIndex && FItems->GetItem(at)->GetEnabled()) {
    ToggleItem(at);
    if (!guard.Alive()) return;
  }
  FCapturedCheckIndex = -1;
  SetCheckStates(shift.Empty() ? GetCheckAt(x, y) : -1, -1);
}

bool TcxCustomInnerCheckListBox::DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) {
  TLinkGuard guard(this);
  const bool result = inherited::DoMouseWheel(shift, wheelDelta, mousePos);
  if (guard.Alive()) UpdateCheckStatesAtCursor();
  return result;
}

// ==== The control ==============================================================================

TcxCustomCheckListBox::TcxCustomCheckListBox(TComponent* owner)
    : TcxContainer(owner), FEditValue(Int64(0)) {
  FDataBinding = GetDataBindingClass().Create(this, nullptr);
  FDataBinding->SetOnDataChanged(TcxCustomDataBinding::TCallback(this, &TcxCustomCheckListBox::RefreshFromData));
  FDataBinding->SetOnReadOnlyChanged(TcxCustomDataBinding::TCallback(this, &TcxCustomCheckListBox::RefreshAtCursor));
  FDataBinding->SetOnStoreValue(TcxCustomDataBinding::TCallback(this, &TcxCustomCheckListBox::StoreToData));
  FInnerCheckListBox = GetInnerCheckListBoxClass().Create(this);
  FInnerCheckListBox->SetContainer(this);
  FInnerCheckListBox->SetOnDrawItem(TDrawItemEvent(this, &TcxCustomCheckListBox::DrawItem));
  FInnerCheckListBox->SetParent(this);
  FInnerCheckListBox->GetLookAndFeel()->SetMaster(GetStyle()->GetLookAndFeel());
  FInnerCheckListBox->GetCheckItems()->SetOnChange(
      TcxCollectionChangeEvent(this, &TcxCustomCheckListBox::ItemsChanged));
  SetInnerControl(FInnerCheckListBox);
  FDataBinding->AttachInnerControl(FInnerCheckListBox);
  SetBounds(0, 0, 121, 97);
  UpdateCheckStyle();
  FImagesChangeLink = new TChangeLink;
  FImagesChangeLink->SetOnChange(TNotifyEvent(this, &TcxCustomCheckListBox::ImagesChanged));
}

void TcxCustomCheckListBox::BeforeDestruction() {
  Destroying();
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = nullptr;
  orv::Free(FImagesChangeLink);
  FImagesChangeLink = nullptr;
  if (FInnerCheckListBox) {
    TcxCustomInnerCheckListBox* inner = FInnerCheckListBox;
    FInnerCheckListBox = nullptr;
    SetInnerControl(nullptr);
    inner->SetContainer(nullptr);
    inner->Free();
  }
  inherited::BeforeDestruction();
}

TcxCustomCheckListBox::~TcxCustomCheckListBox() { orv::Free(FDataBinding); }

TcxCustomDataBindingClass TcxCustomCheckListBox::GetDataBindingClass() { return TcxCustomDataBinding::StaticClass(); }

TcxCustomInnerCheckListBoxClass TcxCustomCheckListBox::GetInnerCheckListBoxClass() {
  return TcxCustomInnerCheckListBox::StaticClass();
}

void TcxCustomCheckListBox::Loaded() {
  inherited::Loaded();
  FDataBinding->Reset();
  GetItems()->SetSortedState(FStreamedSorted);
  RecreateControlWnd(FInnerCheckListBox);
}

void TcxCustomCheckListBox::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FImages) SetImages(nullptr);
  if (component == FInnerCheckListBox) FInnerCheckListBox = nullptr;
}

void TcxCustomCheckListBox::Dispatch(TMessage& message) {
  if (message.Msg >= LB_ADDSTRING && message.Msg <= 0x1B0 && FInnerCheckListBox) {
    message.Result = SendMessage(FInnerCheckListBox->GetHandle(), message.Msg, message.WParam, message.LParam);
    return;
  }
  TLinkGuard guard(this);
  inherited::Dispatch(message);
  if (guard.Alive() && message.Msg == WM_COMMAND && HIWORD(message.WParam) == LBN_SELCHANGE && FInnerCheckListBox)
    FInnerCheckListBox->SyncScrollBars();
}

Boolean TcxCustomCheckListBox::IsInternalControl(TControl* control) {
  if (FInnerCheckListBox && control &&
      (control == FInnerCheckListBox->GetHScrollBar() || control == FInnerCheckListBox->GetVScrollBar()))
    return true;
  return inherited::IsInternalControl(control);
}

Boolean TcxCustomCheckListBox::IsReadOnly() { return FDataBinding->IsControlReadOnly(); }

Boolean TcxCustomCheckListBox::GetReadOnly() const { return FDataBinding->GetReadOnly(); }
void TcxCustomCheckListBox::SetReadOnly(Boolean value) { FDataBinding->ChangeReadOnly(value); }

Boolean TcxCustomCheckListBox::GetSorted() const {
  return GetComponentState().Contains(csLoading) ? FStreamedSorted : GetItems()->GetSorted();
}

void TcxCustomCheckListBox::SetSorted(Boolean value) {
  if (GetComponentState().Contains(csLoading))
    FStreamedSorted = value;
  else
    GetItems()->SetSortedState(value);
}

void TcxCustomCheckListBox::SetItems(TcxCheckListBoxItems* value) {
  GetItems()->Assign(value);
  RefreshFromData();
}

void TcxCustomCheckListBox::ClearItems() { GetItems()->Clear(); }

Integer TcxCustomCheckListBox::GetItemCount() const { return FInnerCheckListBox->GetCount(); }

Integer TcxCustomCheckListBox::ItemAtPos(const TPoint& pos, Boolean existing) {
  return FInnerCheckListBox->ItemAtPos(
      TPoint{pos.X - FInnerCheckListBox->GetLeft(), pos.Y - FInnerCheckListBox->GetTop()}, existing);
}

TRect TcxCustomCheckListBox::ItemRect(Integer index) {
  TRect r = FInnerCheckListBox->ItemRect(index);
  const Integer dx = FInnerCheckListBox->GetLeft(), dy = FInnerCheckListBox->GetTop();
  return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

Integer TcxCustomCheckListBox::GetItemIndex() { return FInnerCheckListBox->GetItemIndex(); }
void TcxCustomCheckListBox::SetItemIndex(Integer value) { FInnerCheckListBox->SetItemIndex(value); }
Integer TcxCustomCheckListBox::GetTopIndex() { return FInnerCheckListBox->GetTopIndex(); }
void TcxCustomCheckListBox::SetTopIndex(Integer value) { FInnerCheckListBox->SetTopIndex(value); }
Boolean TcxCustomCheckListBox::GetSelected(Integer index) { return FInnerCheckListBox->GetSelected(index); }
void TcxCustomCheckListBox::SetSelected(Integer index, Boolean value) {
  FInnerCheckListBox->SetSelected(index, value);
}

Integer TcxCustomCheckListBox::CalcFullWidth() {
  const TRect border = GetBorderExtent();
  Integer widest = 0;
  for (Integer i = 0; i < GetItems()->GetCount(); ++i)
    widest = std::max(widest, MeasureText(FInnerCheckListBox->GetFont(), GetItems()->GetItem(i)->GetText()).cx);
  return border.Left + border.Right + FInnerCheckListBox->GetCheckAreaWidth() +
         FInnerCheckListBox->GetMetricsValue().WidthReserve + widest;
}

Integer TcxCustomCheckListBox::GetHeightForItemCount(Integer count) {
  const TRect border = GetBorderExtent();
  return border.Top + border.Bottom + count * FInnerCheckListBox->GetItemHeight();
}

Integer TcxCustomCheckListBox::GetItemWidth(Integer index) {
  const TRect border = GetBorderExtent();
  return border.Left + border.Right + FInnerCheckListBox->GetCheckAreaWidth() +
         MeasureText(GetFont(), GetItems()->GetItem(index)->GetText()).cx +
         FInnerCheckListBox->GetMetricsValue().WidthReserve;
}

TcxCheckStatesValueFormat TcxCustomCheckListBox::GetEffectiveValueFormat() const {
  return (FOnEditValueToCheckStates && FOnCheckStatesToEditValue) ? cvfCustom : FEditValueFormat;
}

void TcxCustomCheckListBox::SetOnCheckStatesToEditValue(const TcxCheckStatesToEditValueEvent& value) {
  FOnCheckStatesToEditValue = value;
}

void TcxCustomCheckListBox::SetOnEditValueToCheckStates(const TcxEditValueToCheckStatesEvent& value) {
  FOnEditValueToCheckStates = value;
}

void TcxCustomCheckListBox::DoEditValueChanged() {
  if (FOnEditValueChanged) FOnEditValueChanged(this);
}

void TcxCustomCheckListBox::SetEditValue(const Variant& value) {
  FEditValueFromStates = false;
  const Boolean changed = FOnEditValueChanged && EditValuesDiffer(value, FEditValue);
  FEditValue = value;
  FInnerCheckListBox->EditValueToItemStates();
  if (changed) DoEditValueChanged();
}

void TcxCustomCheckListBox::SetEditValueFormat(TcxCheckStatesValueFormat value) {
  if (value == FEditValueFormat) return;
  FEditValueFormat = value;
  TcxCheckListBoxItems* items = GetItems();
  if (FEditValueFromStates) {
    if (value == cvfInteger) {
      items->LockChanged(true);
      try {
        for (Integer i = 0; i < items->GetCount(); ++i)
          if (items->GetItem(i)->GetState() == cbsGrayed) items->GetItem(i)->SetState(cbsUnchecked);
      } catch (...) {
        items->LockChanged(false);
        throw;
      }
      items->LockChanged(false);
    }
    FInnerCheckListBox->ItemStatesToEditValue();
  } else {
    FInnerCheckListBox->EditValueToItemStates();
  }
  CheckItemCount();
}

void TcxCustomCheckListBox::CheckItemCount() {
  if (!FInnerCheckListBox) return;
  if (GetEffectiveValueFormat() == cvfInteger && GetItems()->GetCount() > 64)
    throw EdxException(GetLocalizedResourceString(&cxSCheckControlIncorrectItemCount));
}

Boolean TcxCustomCheckListBox::IsEditValueValid(const Variant& value, Boolean allowEmpty) {
  if (VarIsNull(value) || VarIsEmpty(value)) return allowEmpty;
  if (IsNumericVariant(value)) return true;
  if (VarType(value) != varString) return false;
  const AnsiString text = Trim(VarToStr(value));
  if (text.empty()) return false;
  Integer parsed = 0;
  return TryStrToInt(text, parsed) || IsFloatText(text);
}

void TcxCustomCheckListBox::SetImages(TCustomImageList* value) {
  AssignImageListField(value, FImages, FImagesChangeLink, this);
}

void TcxCustomCheckListBox::SetImageLayout(TcxCheckListBoxImageLayout value) {
  if (value == FImageLayout) return;
  FImageLayout = value;
  FInnerCheckListBox->FullRepaint();
}

void TcxCustomCheckListBox::SetIntegralHeight(Boolean value) {
  if (value == FIntegralHeight) return;
  FIntegralHeight = value;
  AlignInnerControl();
}

void TcxCustomCheckListBox::SetShowChecks(Boolean value) {
  if (value == FShowChecks) return;
  FShowChecks = value;
  FInnerCheckListBox->ItemMetricsChanged();
  FDataBinding->Reset();
}

void TcxCustomCheckListBox::UpdateCheckStyle() {
  TcxLookAndFeel* lookAndFeel = GetStyle()->GetLookAndFeel();
  FNativeCheckStyle = lookAndFeel->GetNativeStyle() && IsVisualStyleActive(TdxThemedObjectKinds{totButton, totComboBox});
  if (FNativeCheckStyle) return;
  switch (lookAndFeel->GetKind()) {
    case lfFlat: FCheckBorderStyle = ebsFlat; break;
    case lfStandard: FCheckBorderStyle = ebs3D; break;
    case lfUltraFlat: FCheckBorderStyle = ebsUltraFlat; break;
    case lfOffice11: FCheckBorderStyle = ebsOffice11; break;
    default: break;
  }
}

void TcxCustomCheckListBox::LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) {
  UpdateCheckStyle();
  inherited::LookAndFeelChanged(sender, changedValues);
  if (FInnerCheckListBox) FInnerCheckListBox->ItemMetricsChanged();
}

void TcxCustomCheckListBox::FontChanged() {
  inherited::FontChanged();
  if (FInnerCheckListBox && CanUpdateLayout()) AlignInnerControl();
}

Integer TcxCustomCheckListBox::AdjustedHeight(Integer requested) {
  if (!FIntegralHeight || !FInnerCheckListBox || GetComponentState().Contains(csLoading)) return requested;
  const TAlign align = GetAlign();
  if (align == alLeft || align == alRight || align == alClient) return requested;
  const Integer itemHeight = FInnerCheckListBox->GetItemHeight();
  if (itemHeight <= 0) return requested;
  const TRect border = GetBorderExtent();
  const Integer clientWidth = GetWidth() - border.Left - border.Right;
  const Integer scrollWidth = FInnerCheckListBox->GetScrollWidth();
  const Integer needed = scrollWidth > 0 ? scrollWidth + 4 : 0;
  const Integer vBar = GetSystemMetrics(SM_CXVSCROLL);
  const Integer hBar = GetSystemMetrics(SM_CYHSCROLL);
  const Integer count = GetItems()->GetCount();
  // The height with a horizontal bar when the width left beside a vertical bar (shown while
  // the items below `shown` do not all fit) is less than the text needs.
  auto candidate = [&](Integer height, Integer shown) {
    const Integer width = clientWidth - (shown < count ? vBar : 0);
    return height + (width < needed ? hBar : 0);
  };
  Integer height = border.Top + border.Bottom;
  for (Integer i = 0;; ++i) {
    height += itemHeight;
    const Integer c = candidate(height, i + 1);
    if (c == requested) return c;
    if (c > requested) {
      if (i == 0) return c;
      height -= itemHeight;
      return candidate(height, i);
    }
  }
}

bool TcxCustomCheckListBox::CanResize(Integer& newWidth, Integer& newHeight) {
  newHeight = AdjustedHeight(newHeight);
  return inherited::CanResize(newWidth, newHeight);
}

void TcxCustomCheckListBox::AlignInnerControl() {
  if (FIntegralHeight && FInnerCheckListBox) {
    const Integer adjusted = AdjustedHeight(GetHeight());
    if (adjusted != GetHeight()) SetHeight(adjusted);
  }
  inherited::AlignInnerControl();
}

void TcxCustomCheckListBox::RefreshFromData() {
  if (!FInnerCheckListBox) return;
  if (FShowChecks) {
    SetEditValue(FDataBinding->GetStoredValue(evsValue, Focused()));
  } else if (FDataBinding->IsDataAvailable()) {
    SetItemIndex(GetItems()->IndexOf(VarToStr(FDataBinding->GetStoredValue(evsText, Focused()))));
  } else {
    SetItemIndex(-1);
  }
}

void TcxCustomCheckListBox::StoreToData() {
  if (FShowChecks) {
    FDataBinding->StoreValue(evsValue, FEditValue);
    return;
  }
  const Integer index = GetItemIndex();
  FDataBinding->StoreValue(evsText, Variant(index >= 0 && index < GetItems()->GetCount()
                                                ? GetItems()->GetItem(index)->GetText()
                                                : AnsiString()));
}

void TcxCustomCheckListBox::DoExit() {
  if (GetComponentState().Contains(csDestroying) || FIsExitProcessing) return;
  FIsExitProcessing = true;
  try {
    try {
      FDataBinding->UpdateDataOnExit();
    } catch (...) {
      SetFocus();
      throw;
    }
    inherited::DoExit();
  } catch (...) {
    FIsExitProcessing = false;
    throw;
  }
  FIsExitProcessing = false;
}

void TcxCustomCheckListBox::KeyDown(Word& key, TShiftState shift) {
  inherited::KeyDown(key, shift);
  if (!FShowChecks && key >= VK_PRIOR && key <= VK_DOWN && !FDataBinding->StartModify()) key = 0;
}

void TcxCustomCheckListBox::KeyPress(char& key) {
  inherited::KeyPress(key);
  if (key == 27) {
    FDataBinding->Reset();
  } else if (!FShowChecks && Byte(key) >= 32 && !FDataBinding->StartModify()) {
    key = 0;
  }
}

void TcxCustomCheckListBox::DrawItem(TWinControl* control, Integer index, TRect rect, TOwnerDrawState state) {
  TcxCustomInnerCheckListBox* list = FInnerCheckListBox;
  if (!list) return;
  if (index < GetItems()->GetCount()) {
    TcxCanvas* canvas = list->GetCanvas();
    canvas->SetFont(GetActiveFont());
    const Integer areaWidth = list->GetCheckAreaWidth();
    const TRect row{rect.Left - areaWidth, rect.Top, rect.Right, rect.Bottom};
    const TRect textRect{rect.Left + list->GetMetricsValue().TextIndent, rect.Top, rect.Right, rect.Bottom};
    TcxCheckListBoxItem* item = GetItems()->GetItem(index);
    const Boolean enabled = GetEnabled() && item->GetEnabled();
    TcxLookAndFeel* lookAndFeel = GetStyle()->GetLookAndFeel();
    if (FShowChecks && row.Top >= 0) {
      const Boolean hot = index == list->GetHotCheckIndex();
      const Boolean pressed = index == list->GetPressedCheckIndex();
      const TcxEditCheckState checkState = !enabled ? ecsDisabled : hot ? ecsHot : pressed ? ecsPressed : ecsNormal;
      TcxEditBorderStyle borderStyle = FCheckBorderStyle;
      if (borderStyle == ebsFlat && enabled && (hot || pressed) && !FNativeCheckStyle) borderStyle = ebs3D;
      DrawEditCheck(canvas, list->GetCheckRect(row, true), item->GetState(), checkState, list->GetGlyph(),
                    list->GetGlyphCount(), borderStyle, FNativeCheckStyle, clBtnText, list->GetColor(), true,
                    IsDesigning(), false, true, list->GetLookAndFeel()->GetSkinPainter(), nssGrayedChecked);
    }
    if (FImages && item->GetImageIndex() != -1 && item->GetImageIndex() < FImages->GetCount())
      DrawImageListImage(canvas, FImages, item->GetImageIndex(), list->GetImageRect(row), GetColor(), enabled);
    TcxCustomLookAndFeelPainterClass painter = lookAndFeel->CurrentPainter();
    if (state.Contains(odSelected) && !IsDesigning()) {
      canvas->SetBrushColor(painter->DefaultSelectionColor());
      canvas->SetFontColor(painter->DefaultSelectionTextColor());
    } else {
      canvas->SetBrushColor(GetViewInfo()->BackgroundColor);
      canvas->SetFontColor(item->GetEnabled() ? GetActiveFont()->GetColor() : GetStyleDisabled()->GetTextColor());
    }
    canvas->FillRectWithColor(rect, canvas->GetBrushColor());
    HDC dc = canvas->GetHandle();
    SetBkMode(dc, TRANSPARENT);
    UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (list->GetTabWidth() >= 1) flags |= DT_EXPANDTABS | DT_TABSTOP | (UINT(list->GetTabWidth() & 0xFF) << 8);
    RECT r = textRect;
    const AnsiString& text = item->GetText();
    DrawText(dc, text.c_str(), int(text.size()), &r, flags);
    if (state.Contains(odFocused)) canvas->DrawFocusFrame(rect);
  }
  if (FOnDrawItem) FOnDrawItem(this, index, rect, state);
}

// ==== Published ================================================================================

const orv::EnumNames<TcxCheckListBoxImageLayout> kImageLayoutNames("TcxCheckListBoxImageLayout",
                                                                   {"ilBeforeChecks", "ilAfterChecks"});
const orv::EnumNames<TcxCheckStatesValueFormatEx> kValueFormatNames(
    "TcxCheckStatesValueFormat", {"cvfCaptions", "cvfIndices", "cvfInteger", "cvfStatesString", "cvfCustom"});

ORV_PUBLISH(TcxCheckListBoxItem) {
  using T = TcxCheckListBoxItem;
  p.Property("Enabled", &T::GetEnabled, &T::SetEnabled).Default(true);
  p.Property("ImageIndex", &T::GetImageIndex, &T::SetImageIndex).Default(-1);
  p.Property("State", &T::GetState, &T::SetState).Default(cbsUnchecked);
  p.Property("Text", &T::GetText, &T::SetText);
}

ORV_PUBLISH(TcxCheckListBox) {
  using T = TcxCheckListBox;
  orv::PublishLayout(p);
  orv::PublishState(p);
  orv::PublishDrag(p);
  p.Property("AllowDblClickToggle", [](T* x) { return bool(x->GetAllowDblClickToggle()); },
             [](T* x, bool v) { x->SetAllowDblClickToggle(v); })
      .Default(true);
  p.Property("AllowGrayed", [](T* x) { return bool(x->GetAllowGrayed()); }, [](T* x, bool v) { x->SetAllowGrayed(v); })
      .Default(false);
  p.Property("AutoComplete", [](T* x) { return bool(x->GetAutoComplete()); }, [](T* x, bool v) { x->SetAutoComplete(v); })
      .Default(true);
  p.Property("Columns", [](T* x) { return x->GetColumns(); }, [](T* x, Integer v) { x->SetColumns(v); }).Default(0);
  p.Property("EditValueFormat", [](T* x) { return x->GetEditValueFormat(); },
             [](T* x, TcxCheckStatesValueFormatEx v) { x->SetEditValueFormat(v); })
      .Default(cvfInteger);
  p.Property("GlyphCount", [](T* x) { return x->GetGlyphCount(); }, [](T* x, Integer v) { x->SetGlyphCount(v); })
      .Default(6);
  p.Property("ImageLayout", [](T* x) { return x->GetImageLayout(); },
             [](T* x, TcxCheckListBoxImageLayout v) { x->SetImageLayout(v); })
      .Default(ilBeforeChecks);
  p.Property("IntegralHeight", [](T* x) { return bool(x->GetIntegralHeight()); },
             [](T* x, bool v) { x->SetIntegralHeight(v); })
      .Default(false);
  p.Property("Items", [](T* x) { return x->GetItems(); }, [](T* x, TcxCheckListBoxItems* v) { x->SetItems(v); });
  p.Property("ParentColor", &TControl::GetParentColor, &TControl::SetParentColor).Default(false);
  p.Property("ParentFont", &TControl::GetParentFont, &TControl::SetParentFont).Default(true);
  p.Property("ReadOnly", [](T* x) { return bool(x->GetReadOnly()); }, [](T* x, bool v) { x->SetReadOnly(v); })
      .Default(false);
  p.Property("ScrollWidth", [](T* x) { return x->GetScrollWidth(); }, [](T* x, Integer v) { x->SetScrollWidth(v); })
      .Default(0);
  p.Property("ShowChecks", [](T* x) { return bool(x->GetShowChecks()); }, [](T* x, bool v) { x->SetShowChecks(v); })
      .Default(true);
  p.Property("Sorted", [](T* x) { return bool(x->GetSorted()); }, [](T* x, bool v) { x->SetSorted(v); }).Default(false);
  p.Property("Style", [](T* x) { return x->GetStyle(); });
  p.Property("StyleDisabled", [](T* x) { return x->GetStyleDisabled(); });
  p.Property("StyleFocused", [](T* x) { return x->GetStyleFocused(); });
  p.Property("StyleHot", [](T* x) { return x->GetStyleHot(); });
  orv::PublishTabs(p, true);
  p.Property("TabWidth", [](T* x) { return x->GetTabWidth(); }, [](T* x, Integer v) { x->SetTabWidth(v); }).Default(0);
  orv::PublishClickEvents(p);
  orv::PublishMouseEvents(p);
  orv::PublishDockEvents(p);
  orv::PublishKeyEvents(p);
  p.Property("OnEditValueChanged", [](T* x) { return x->GetOnEditValueChanged(); },
             [](T* x, TNotifyEvent v) { x->SetOnEditValueChanged(v); });
}
