#include "components/editors-more/cxListBox.h"

#include <algorithm>

#include "components/data/cxVariants.h"
#include "components/foundation/cxGraphics.h"
#include "platform/controls/ControlProperties.h"
#include "platform/forms/Published.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

namespace {
// The list's notification that its selection changed.
constexpr WORD kListSelectionChanged = 1;
}  // namespace

// ==== Inner list box ==========================================================================

TcxListBox* TcxInnerListBox::OwnerListBox() const { return dynamic_cast<TcxListBox*>(GetContainer()); }

bool TcxInnerListBox::CanFocus() {
  TcxListBox* owner = OwnerListBox();
  return owner ? owner->CanFocus() : inherited::CanFocus();
}

void TcxInnerListBox::Click() {
  TcxListBox* owner = OwnerListBox();
  if (owner && !owner->StartModify()) return;
  inherited::Click();
}

void TcxInnerListBox::CreateWnd() {
  inherited::CreateWnd();
  SyncScrollBars();
}

void TcxInnerListBox::Dispatch(TMessage& message) {
  if (message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK) {
    TcxListBox* owner = OwnerListBox();
    if (owner && !owner->StartModify()) {
      // Read-only: the press focuses the list and is reported, the selection stays.
      if (CanFocus()) SetFocus();
      MouseDown(mbLeft, KeysToShiftState(message.WParam), GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam));
      message.Result = 0;
      return;
    }
  }
  inherited::Dispatch(message);
}

void TcxInnerListBox::DrawItem(Integer index, TRect rect, TOwnerDrawState state) {
  TcxListBox* owner = OwnerListBox();
  if (owner && owner->DoDrawItem(GetCanvas(), index, rect, state)) return;
  inherited::DrawItem(index, rect, state);
}

void TcxInnerListBox::MeasureItem(Integer index, Integer& height) {
  TcxListBox* owner = OwnerListBox();
  if (owner && owner->GetOnMeasureItem()) {
    owner->GetOnMeasureItem()(owner, index, height);
    return;
  }
  inherited::MeasureItem(index, height);
}

// ==== List box ================================================================================

TcxListBox::TcxListBox(TComponent* owner) : TcxContainer(owner) { SetBounds(GetLeft(), GetTop(), 121, 97); }

// The binding and the inner list are made on first use: a descendant's classes (the grid's list
// boxes name their own inner list) are known only once the object is whole.
TcxInnerListBox* TcxListBox::Inner() const {
  if (FInnerListBox || GetComponentState().Contains(csDestroying)) return FInnerListBox;
  auto* self = const_cast<TcxListBox*>(this);
  self->FDataBinding = static_cast<TcxDataBinding*>(self->GetDataBindingClass().Create(self, self));
  using TCallback = TcxCustomDataBinding::TCallback;
  auto* container = static_cast<TcxContainer*>(self);
  self->FDataBinding->SetOnDataChanged(TCallback(container, &TcxContainer::RefreshFromData));
  self->FDataBinding->SetOnReadOnlyChanged(TCallback(container, &TcxContainer::RefreshAtCursor));
  self->FDataBinding->SetOnStoreValue(TCallback(container, &TcxContainer::StoreToData));
  auto* list = static_cast<TcxInnerListBox*>(self->GetInnerListBoxClass().Create(self));
  self->FInnerListBox = list;
  list->SetBorderStyle(bsNone);
  list->SetContainer(self);
  list->SetParent(self);
  self->SetInnerControl(list);
  list->GetLookAndFeel()->SetMaster(self->GetStyle()->GetLookAndFeel());
  self->FDataBinding->AttachInnerControl(list);
  return list;
}

TcxDataBinding* TcxListBox::GetDataBinding() const {
  Inner();
  return FDataBinding;
}

void TcxListBox::CreateHandle() {
  Inner();
  inherited::CreateHandle();
}

void TcxListBox::BeforeDestruction() {
  FreeAndNil(FInnerListBox);
  inherited::BeforeDestruction();
}

TcxListBox::~TcxListBox() { FreeAndNil(FDataBinding); }

orv::ClassOf<TcxDataBinding> TcxListBox::GetDataBindingClass() { return TcxDataBinding::StaticClass(); }

TcxInnerListBoxClass TcxListBox::GetInnerListBoxClass() { return TcxInnerListBox::StaticClass(); }

TStrings* TcxListBox::GetItems() const { return Inner()->GetItems(); }

void TcxListBox::SetItems(TStrings* value) {
  Inner()->SetItems(value);
  RefreshFromData();
}

Integer TcxListBox::GetItemIndex() { return Inner()->GetItemIndex(); }
void TcxListBox::SetItemIndex(Integer value) { Inner()->SetItemIndex(value); }
Integer TcxListBox::GetTopIndex() { return Inner()->GetTopIndex(); }
void TcxListBox::SetTopIndex(Integer value) { Inner()->SetTopIndex(value); }
Integer TcxListBox::GetItemHeight() { return Inner()->GetItemHeight(); }
void TcxListBox::SetItemHeight(Integer value) { Inner()->SetItemHeight(value); }
TListBoxStyle TcxListBox::GetListStyle() const { return Inner()->GetStyle(); }
void TcxListBox::SetListStyle(TListBoxStyle value) { Inner()->SetStyle(value); }
Boolean TcxListBox::GetMultiSelect() const { return Inner()->GetMultiSelect(); }
void TcxListBox::SetMultiSelect(Boolean value) { Inner()->SetMultiSelect(value); }
Boolean TcxListBox::GetSorted() const { return Inner()->GetSorted(); }
void TcxListBox::SetSorted(Boolean value) { Inner()->SetSorted(value); }
Integer TcxListBox::GetColumns() const { return Inner()->GetColumns(); }

void TcxListBox::SetColumns(Integer value) {
  Inner()->SetColumns(value);
  Inner()->SyncScrollBars();
}

Integer TcxListBox::GetScrollWidth() { return Inner()->GetScrollWidth(); }
void TcxListBox::SetScrollWidth(Integer value) { Inner()->SetScrollWidth(value); }
Boolean TcxListBox::GetAutoComplete() const { return Inner()->GetAutoComplete(); }
void TcxListBox::SetAutoComplete(Boolean value) { Inner()->SetAutoComplete(value); }
void TcxListBox::Clear() { Inner()->Clear(); }

Integer TcxListBox::ItemAtPos(const TPoint& point, Boolean existing) {
  return Inner()->ItemAtPos(TPoint{point.X - Inner()->GetLeft(), point.Y - Inner()->GetTop()},
                                  existing);
}

TRect TcxListBox::ItemRect(Integer index) {
  TRect r = Inner()->ItemRect(index);
  const Integer dx = Inner()->GetLeft(), dy = Inner()->GetTop();
  return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

Boolean TcxListBox::GetReadOnly() { return GetDataBinding()->GetReadOnly(); }
void TcxListBox::SetReadOnly(Boolean value) { GetDataBinding()->ChangeReadOnly(value); }

void TcxListBox::SetIntegralHeight(Boolean value) {
  if (value == FIntegralHeight) return;
  FIntegralHeight = value;
  AlignInnerControl();
}

Boolean TcxListBox::DoDrawItem(TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state) {
  if (!FOnDrawItem) return false;
  FOnDrawItem(this, canvas, index, rect, state);
  return true;
}

void TcxListBox::RefreshFromData() {
  if (!GetDataBinding()->IsDataAvailable()) {
    SetItemIndex(-1);
    return;
  }
  const Variant value = GetDataBinding()->GetStoredValue(evsText, Focused());
  const AnsiString text = VarIsNull(value) || VarIsEmpty(value) ? AnsiString() : VarToStr(value);
  SetItemIndex(GetItems()->IndexOf(text));
}

void TcxListBox::StoreToData() {
  const Integer index = GetItemIndex();
  GetDataBinding()->SetStoredValue(evsText, Variant(index < 0 ? AnsiString() : GetItems()->Get(index)));
}

void TcxListBox::DoExit() {
  if (GetComponentState().Contains(csDestroying) || FIsExitProcessing) return;
  FIsExitProcessing = true;
  try {
    try {
      GetDataBinding()->UpdateDataOnExit();
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

void TcxListBox::KeyDown(Word& key, TShiftState shift) {
  inherited::KeyDown(key, shift);
  if (key >= VK_PRIOR && key <= VK_DOWN && !GetDataBinding()->StartModify()) key = 0;
}

void TcxListBox::KeyPress(char& key) {
  inherited::KeyPress(key);
  if (Byte(key) >= 32 && !GetDataBinding()->StartModify()) key = 0;
  if (key == '\x1b') GetDataBinding()->Reset();
}

void TcxListBox::Dispatch(TMessage& message) {
  if (message.Msg >= 0x180 && message.Msg <= 0x1B0 && FInnerListBox && Inner()->HandleAllocated()) {
    message.Result = SendMessage(Inner()->GetHandle(), message.Msg, message.WParam, message.LParam);
    return;
  }
  if (message.Msg == WM_COMMAND && HIWORD(message.WParam) == kListSelectionChanged) {
    inherited::Dispatch(message);
    if (FInnerListBox) Inner()->SyncScrollBars();
    return;
  }
  if (message.Msg == CM_FONTCHANGED) {
    inherited::Dispatch(message);
    AlignInnerControl();
    if (FInnerListBox && Inner()->HandleAllocated()) Inner()->RecreateWnd();
    return;
  }
  inherited::Dispatch(message);
}

Boolean TcxListBox::IntegralHeightApplies() {
  const TAlign align = GetAlign();
  return FIntegralHeight && !GetComponentState().Contains(csLoading) && align != alLeft && align != alRight &&
         align != alClient;
}

Integer TcxListBox::RowHeight(Integer index) {
  switch (GetListStyle()) {
    case lbOwnerDrawFixed:
    case lbVirtualOwnerDraw: return GetItemHeight();
    case lbOwnerDrawVariable: {
      Integer h = GetItemHeight();
      if (index < GetCount() && FOnMeasureItem) FOnMeasureItem(this, index, h);
      return h;
    }
    default: {
      TcxScreenCanvas* canvas = GetScreenCanvas();
      canvas->SetCanvasFont(GetFont());
      return canvas->TextHeightOf("Wg");
    }
  }
}

Integer TcxListBox::AdjustedHeight(Integer height) {
  const TRect e = GetBorderExtent();
  const Integer clientWidth = GetWidth() - e.Left - e.Right;
  const Integer vbar = GetSystemMetrics(SM_CXVSCROLL), hbar = GetSystemMetrics(SM_CYHSCROLL);
  const Integer needed = GetScrollWidth() > 0 ? GetScrollWidth() + 4 : 0;
  const Integer count = GetCount();
  auto candidate = [&](Integer h, Boolean moreRows) {
    return h + ((moreRows ? clientWidth - vbar : clientWidth) < needed ? hbar : 0);
  };
  Integer h = e.Top + e.Bottom;
  for (Integer i = 0;; ++i) {
    const Integer row = RowHeight(i);
    if (row <= 0) return height;
    h += row;
    const Integer c = candidate(h, i + 1 < count);
    if (c == height) return c;
    if (c > height) {
      if (i == 0) return c;
      h -= row;
      return candidate(h, i < count);
    }
    if (i > 100000) return height;
  }
}

bool TcxListBox::CanResize(Integer& newWidth, Integer& newHeight) {
  if (!inherited::CanResize(newWidth, newHeight)) return false;
  if (IntegralHeightApplies()) newHeight = AdjustedHeight(newHeight);
  return true;
}

void TcxListBox::AlignInnerControl() {
  if (IntegralHeightApplies()) {
    const Integer h = AdjustedHeight(GetHeight());
    if (h != GetHeight()) SetHeight(h);
  }
  const TRect before = FInnerListBox ? Inner()->GetBoundsRect() : TRect{};
  inherited::AlignInnerControl();
  if (FInnerListBox && Inner()->HandleAllocated() && Inner()->GetBoundsRect() != before) {
    MSG msg;
    while (PeekMessage(&msg, Inner()->GetHandle(), WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
    }
  }
}

// ==== Published properties ====================================================================

ORV_PUBLISH(TcxListBox) {
  using T = TcxListBox;
  orv::PublishLayout(p);
  orv::PublishDrag(p);
  orv::PublishState(p);
  orv::PublishFont(p);
  p.Property("IntegralHeight", &T::GetIntegralHeight, &T::SetIntegralHeight).Default(false);
  p.Property("ItemHeight", [](T* x) { return x->GetItemHeight(); }, [](T* x, Integer v) { x->SetItemHeight(v); });
  p.Property("Items", [](T* x) { return x->GetItems(); }, [](T* x, TStrings* v) { x->SetItems(v); });
  p.Property("MultiSelect", [](T* x) { return x->GetMultiSelect(); }, [](T* x, bool v) { x->SetMultiSelect(v); })
      .Default(false);
  p.Property("ReadOnly", [](T* x) { return x->GetReadOnly(); }, [](T* x, bool v) { x->SetReadOnly(v); })
      .Default(false);
  p.Property("Sorted", [](T* x) { return x->GetSorted(); }, [](T* x, bool v) { x->SetSorted(v); }).Default(false);
  p.Property("Style", [](T* x) { return x->GetStyle(); });
  p.Property("StyleDisabled", [](T* x) { return x->GetStyleDisabled(); });
  p.Property("StyleFocused", [](T* x) { return x->GetStyleFocused(); });
  p.Property("StyleHot", [](T* x) { return x->GetStyleHot(); });
  orv::PublishTabs(p, true);
  orv::PublishClickEvents(p);
  orv::PublishMouseEvents(p);
  orv::PublishDockEvents(p);
  orv::PublishKeyEvents(p);
}
