// The popup list box, the quick customization popup and the customization form's item lists.
#include "components/grid/cxGridCustomization.h"

#include <algorithm>
#include <memory>

#include "components/editors-more/cxCheckListBox.h"
#include "components/foundation/cxClasses.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/grid/cxGrid.h"
#include "components/grid/cxGridStrs.h"
#include "components/grid/cxGridTableViewController.h"
#include "components/grid/cxGridTableViewInfo.h"
#include "components/pagecontrol/cxPC.h"
#include "platform/controls/Forms.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/User.h"

namespace {

// Runs its action when the scope ends, also when it ends by an exception.
template <class F>
struct TCustomizationScopeExit {
  F Action;
  ~TCustomizationScopeExit() { Action(); }
};
template <class F>
TCustomizationScopeExit(F) -> TCustomizationScopeExit<F>;

void InitItemListStyle(TcxListBox* listBox, TcxCustomGridView* view) {
  listBox->GetStyle()->SetBorderStyle(cbsNone);
  listBox->GetStyle()->SetHotTrack(false);
  listBox->GetStyle()->SetTransparentBorder(false);
  listBox->GetStyleFocused()->SetBorderStyle(cbsNone);
  listBox->GetStyleHot()->SetBorderStyle(cbsNone);
  listBox->SetParentFont(true);
  if (view && view->LookAndFeel()) listBox->GetStyle()->GetLookAndFeel()->SetMaster(view->LookAndFeel());
}

void DrawFocusFrame(TcxCanvas* canvas, const TRect& rect) {
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  DrawFocusRect(canvas->GetHandle(), &r);
}

}  // namespace

// ==== Popup list box =============================================================================

// The inner list of a popup list box hands the mouse and the keys to its list box.
class TcxGridPopupInnerListBox : public TcxInnerListBox {
  ORV_CLASS(TcxGridPopupInnerListBox, TcxInnerListBox)
 public:
  explicit TcxGridPopupInnerListBox(TComponent* owner) : TcxInnerListBox(owner) {}
  void Dispatch(TMessage& message) override {
    inherited::Dispatch(message);
    if (message.Msg == CM_MOUSELEAVE)
      if (auto* list = dynamic_cast<TcxGridPopupListBox*>(OwnerListBox())) list->InnerMouseLeave();
  }

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override {
    if (auto* list = dynamic_cast<TcxGridPopupListBox*>(OwnerListBox())) list->InnerMouseDown(button, shift, x, y);
    inherited::MouseDown(button, shift, x, y);
  }
  void MouseMove(TShiftState shift, Integer x, Integer y) override {
    if (auto* list = dynamic_cast<TcxGridPopupListBox*>(OwnerListBox())) list->InnerMouseMove(shift, x, y);
    inherited::MouseMove(shift, x, y);
  }
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override {
    inherited::MouseUp(button, shift, x, y);
    if (auto* list = dynamic_cast<TcxGridPopupListBox*>(OwnerListBox())) list->InnerMouseUp(button, shift, x, y);
  }
  void KeyDown(Word& key, TShiftState shift) override {
    inherited::KeyDown(key, shift);
    if (auto* list = dynamic_cast<TcxGridPopupListBox*>(OwnerListBox())) list->InnerKeyDown(key, shift);
  }
};

TcxGridPopupListBox::TcxGridPopupListBox(TcxCustomGridPopup* popup) : TcxListBox(popup), FPopup(popup) {
  SetParent(popup);
  InitListBox();
}

TcxInnerListBoxClass TcxGridPopupListBox::GetInnerListBoxClass() { return TcxGridPopupInnerListBox::StaticClass(); }

void TcxGridPopupListBox::InitListBox() {
  SetListStyle(lbOwnerDrawFixed);
  InitItemListStyle(this, FPopup ? FPopup->GetGridView() : nullptr);
}

Integer TcxGridPopupListBox::CalculateItemHeight() {
  TcxCanvas* canvas = GetCanvasOrScreenCanvas();
  canvas->GetFont()->Assign(GetStyle()->GetDisplayFont());
  Integer height = canvas->TextHeightOf("Qq") + 2 * FVertItemSpacing;
  if (GetShowChecks()) height = std::max(height, CheckAreaHeight());
  return height;
}

Integer TcxGridPopupListBox::CheckAreaWidth() {
  return GetStyle()->GetLookAndFeel()->CurrentPainter()->CheckBoxSize().cx + 4;
}

Integer TcxGridPopupListBox::CheckAreaHeight() {
  return GetStyle()->GetLookAndFeel()->CurrentPainter()->CheckBoxSize().cy + 4;
}

Boolean TcxGridPopupListBox::IsChecked(Integer index) const {
  return std::find(FCheckedItems.begin(), FCheckedItems.end(), index) != FCheckedItems.end();
}

void TcxGridPopupListBox::SetChecked(Integer index, Boolean value) {
  if (IsChecked(index) == value) return;
  if (value)
    FCheckedItems.push_back(index);
  else
    FCheckedItems.erase(std::find(FCheckedItems.begin(), FCheckedItems.end(), index));
  InvalidateItem(index);
}

void TcxGridPopupListBox::SetCheckedIndexes(const TcxGridIndexes& indexes) {
  FCheckedItems = indexes;
  Invalidate();
}

void TcxGridPopupListBox::SetPressedIndex(Integer index) {
  if (FPressedIndex == index) return;
  const Integer prev = FPressedIndex;
  FPressedIndex = index;
  InvalidateItem(prev);
  InvalidateItem(index);
}

void TcxGridPopupListBox::SetShowChecks(Boolean value) {
  if (FShowChecks == value) return;
  FShowChecks = value;
  FCheckedItems.clear();
  Invalidate();
}

void TcxGridPopupListBox::InvalidateItem(Integer index) {
  if (index < 0 || index >= GetCount() || !GetInnerListBox()->HandleAllocated()) return;
  const TRect rect = GetInnerListBox()->ItemRect(index);
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  ::InvalidateRect(GetInnerListBox()->GetHandle(), &r, FALSE);
}

Integer TcxGridPopupListBox::ItemAt(Integer x, Integer y) {
  if (!GetInnerListBox()->HandleAllocated()) return -1;
  return GetInnerListBox()->ItemAtPos(TPoint{x, y}, true);
}

void TcxGridPopupListBox::DrawItemText(TcxCanvas* canvas, Integer index, TOwnerDrawState state, const TRect& rect) {
  canvas->FillRect(rect, canvas->GetBrush()->GetColor());
  TRect textRect = rect;
  textRect.Left += FLeftTextIndent;
  canvas->DrawTextInRect(GetItems()->Get(index), textRect, cxSingleLine | cxAlignVCenter | cxAlignLeft);
}

void TcxGridPopupListBox::DrawCheck(TcxCanvas* canvas, Integer index, TOwnerDrawState state, const TRect& rect) {
  TcxCustomLookAndFeelPainterClass painter = GetStyle()->GetLookAndFeel()->CurrentPainter();
  const TSize size = painter->CheckBoxSize();
  TRect box{rect.Left + (rect.Width() - size.cx) / 2, rect.Top + (rect.Height() - size.cy) / 2, 0, 0};
  box.Right = box.Left + size.cx;
  box.Bottom = box.Top + size.cy;
  TcxButtonState buttonState = cxbsNormal;
  if (state.Contains(odFocused) && state.Contains(odSelected))
    buttonState = index == FPressedIndex ? cxbsPressed : cxbsHot;
  canvas->FillRectWithColor(rect, GetStyle()->GetVisibleColor());
  painter->DrawCheckBox(canvas, box, buttonState, IsChecked(index));
}

Boolean TcxGridPopupListBox::DoDrawItem(TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state) {
  if (inherited::DoDrawItem(canvas, index, rect, state)) return true;
  TRect textRect = rect;
  TRect checkRect = rect;
  if (GetShowChecks()) {
    checkRect.Right = checkRect.Left + CheckAreaWidth();
    textRect.Left = checkRect.Right;
    if (IsCheckable(index) && IsChecked(index)) {
      TcxCustomLookAndFeelPainterClass painter = GetStyle()->GetLookAndFeel()->CurrentPainter();
      canvas->GetBrush()->SetColor(painter->DefaultSelectionColor());
      canvas->GetFont()->SetColor(painter->DefaultSelectionTextColor());
    }
  }
  DrawItemText(canvas, index, state, textRect);
  if (HasCheck(index)) DrawCheck(canvas, index, state, checkRect);
  if (state.Contains(odFocused)) DrawFocusFrame(canvas, rect);
  return true;
}

Integer TcxGridPopupListBox::GetDropDownItemCount(TStrings* items) {
  const Integer count = items->GetCount();
  return FMaxVisibleItemCount != 0 && count >= FMaxVisibleItemCount ? FMaxVisibleItemCount : count;
}

void TcxGridPopupListBox::AdjustSize(TStrings* items) {
  if (!items) items = GetItems();
  TcxCanvas* canvas = GetCanvasOrScreenCanvas();
  canvas->GetFont()->Assign(GetStyle()->GetDisplayFont());
  const Integer itemHeight = CalculateItemHeight();
  SetItemHeight(itemHeight);
  const Integer shown = GetDropDownItemCount(items);
  Integer width = 0;
  for (Integer i = 0; i < items->GetCount(); ++i) width = std::max(width, canvas->TextWidthOf(items->Get(i)));
  width += FLeftTextIndent + FRightTextIndent;
  if (GetShowChecks()) width += CheckAreaWidth();
  if (FMaxWidth != 0) width = std::min(width, FMaxWidth);
  if (shown < items->GetCount()) width += GetSystemMetrics(SM_CXVSCROLL);
  FMinWidth = FPopup ? FPopup->GetMinWidth() : 0;
  if (FMinWidth > 0 && width < FMinWidth) width = FMinWidth;
  SetClientWidth(width);
  SetClientHeight(shown * itemHeight);
}

void TcxGridPopupListBox::DoAction(Integer index) {
  if (index == -1) return;
  orv::TObjectLinkGuard guard(this);
  if (HasCheck(index))
    ToggleCheck(index);
  else if (FPopup)
    FPopup->CloseUp();
  if (guard.Alive() && FOnAction) FOnAction(this, index);
}

void TcxGridPopupListBox::InnerMouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  SetPressedIndex(ItemAt(x, y));
}

void TcxGridPopupListBox::InnerMouseMove(TShiftState shift, Integer x, Integer y) {
  Integer index = ItemAt(x, y);
  if (index != -1 && !IsItemSelectable(index)) index = -1;
  if (GetItemIndex() != index) SetItemIndex(index);
  if (index != FPressedIndex) SetPressedIndex(-1);
}

void TcxGridPopupListBox::InnerMouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  const Integer index = ItemAt(x, y);
  if (index != -1 && IsItemSelectable(index) && (!HasCheck(index) || index == FPressedIndex)) {
    orv::TObjectLinkGuard guard(this);
    DoAction(index);
    if (!guard.Alive()) return;
  }
  SetPressedIndex(-1);
}

void TcxGridPopupListBox::InnerMouseLeave() {
  SetItemIndex(-1);
  SetPressedIndex(-1);
}

void TcxGridPopupListBox::InnerKeyDown(Word& key, TShiftState shift) {
  // An arrow key steps over the entries that cannot be selected.
  if ((key == VK_UP || key == VK_DOWN) && GetCount() > 0) {
    const Integer step = key == VK_DOWN ? 1 : -1;
    Integer index = GetItemIndex() + step;
    while (index >= 0 && index < GetCount() && !IsItemSelectable(index)) index += step;
    if (index != GetItemIndex() + step) {
      if (index >= 0 && index < GetCount()) SetItemIndex(index);
      key = 0;
      return;
    }
  }
  switch (key) {
    case VK_RETURN:
    case VK_SPACE: DoAction(GetItemIndex()); break;
    case VK_ESCAPE:
      if (FPopup) FPopup->CloseUp();
      break;
    default: break;
  }
}

// ==== Quick customization popup ==================================================================

TcxCustomGridCustomizationPopup::TcxCustomGridCustomizationPopup(TcxCustomGridView* gridView)
    : TcxCustomGridPopup(gridView) {
  CreateControls();
}

void TcxCustomGridCustomizationPopup::CreateControls() {
  FCheckListBox = new TcxCheckListBox(this);
  FCheckListBox->SetEditValueFormat(cvfIndices);
  if (GetGridView()->LookAndFeel()) FCheckListBox->GetStyle()->GetLookAndFeel()->SetMaster(GetGridView()->LookAndFeel());
  FCheckListBox->GetStyle()->SetBorderStyle(cbsNone);
  FCheckListBox->GetStyleFocused()->SetBorderStyle(cbsNone);
  FCheckListBox->GetStyleHot()->SetBorderStyle(cbsNone);
  FCheckListBox->GetStyle()->SetHotTrack(false);
  FCheckListBox->GetStyle()->SetTransparentBorder(false);
  FCheckListBox->SetParentFont(true);
  FCheckListBox->SetParent(this);
  FCheckListBox->SetOnClickCheck(TcxClickCheckEvent(this, &TcxCustomGridCustomizationPopup::CheckClick));
  // The list drags as a whole: its inner list hands presses and drops over to it, in its own
  // client coordinates.
  FCheckListBox->SetOnDragOver(TDragOverEvent(this, &TcxCustomGridCustomizationPopup::ListDragOver));
  FCheckListBox->SetOnDragDrop(TDragDropEvent(this, &TcxCustomGridCustomizationPopup::ListDragDrop));
  FCheckListBox->SetOnStartDrag(TStartDragEvent(this, &TcxCustomGridCustomizationPopup::ListStartDrag));
  FCheckListBox->SetOnEndDrag(TEndDragEvent(this, &TcxCustomGridCustomizationPopup::ListEndDrag));
  FCheckListBox->SetOnKeyDown(TKeyEvent(this, &TcxCustomGridCustomizationPopup::ListKeyDown));
}

Integer TcxCustomGridCustomizationPopup::GetColumnCount() const { return FCheckListBox->GetColumns(); }

Integer TcxCustomGridCustomizationPopup::ItemWidth() {
  Integer width = 0;
  for (Integer i = 0; i < FCheckListBox->GetItems()->GetCount(); ++i) width = std::max(width, FCheckListBox->GetItemWidth(i));
  return width + 10;
}

void TcxCustomGridCustomizationPopup::AdjustSize(Boolean keepHeight) {
  const Integer count = FCheckListBox->GetItems()->GetCount();
  const Integer columns = FCheckListBox->GetColumns();
  Integer rows = 0;
  if (!keepHeight) {
    if (columns < 2)
      rows = DropDownCount() != 0 ? std::min(DropDownCount(), count) : count;
    else
      rows = (count + columns / 2) / columns;
  }
  Integer width;
  if (columns < 2) {
    width = FCheckListBox->CalcFullWidth();
    if (rows < count) width += GetSystemMetrics(SM_CXVSCROLL);
  } else {
    width = ItemWidth() * columns;
  }
  // The rows as the list's window lays them out (its row height follows the font it was given).
  TcxCustomInnerCheckListBox* inner = FCheckListBox->GetInnerCheckListBox();
  const Integer metricHeight = inner->GetItemHeight();
  const Integer rowHeight = inner->HandleAllocated() && count > 0 ? inner->ItemRect(0).Height() : metricHeight;
  rows = std::max(rows, 1);
  Integer height = keepHeight ? FCheckListBox->GetHeight() + GetSystemMetrics(SM_CYHSCROLL)
                              : FCheckListBox->GetHeightForItemCount(rows) + rows * (rowHeight - metricHeight);
  width = std::max(width, GetMinWidth());
  FCheckListBox->SetBounds(FCheckListBox->GetLeft(), FCheckListBox->GetTop(), width, height);
}

void TcxCustomGridCustomizationPopup::Popup() {
  if (TcxCustomGrid* grid = GetGridView()->GetControlGrid()) grid->SetFocusedView(GetGridView());
  // The list is measured in the font it will show.
  InitPopupFont();
  // The inner list follows the control's mode (and takes it back after every press).
  FCheckListBox->SetDragMode(AllowsReordering() ? dmAutomatic : dmManual);
  FFilling = true;
  {
    TCustomizationScopeExit done{[this] { FFilling = false; }};
    FillItems();
  }
  FCheckListBox->HandleNeeded();
  AdjustSize(false);
  inherited::Popup();
}

void TcxCustomGridCustomizationPopup::CloseUp() {
  inherited::CloseUp();
  if (FCheckListBox->GetInnerCheckListBox()->HandleAllocated()) FCheckListBox->SetItemIndex(-1);
  FCheckListBox->SetColumns(0);
}

void TcxCustomGridCustomizationPopup::ItemCheckChanged(Integer index, Boolean checked) {
  SetItemChecked(FCheckListBox->GetItems()->GetItemObject(index), checked);
}

void TcxCustomGridCustomizationPopup::CheckClick(TObject* sender, Integer index, TcxCheckBoxState prevState,
                                                 TcxCheckBoxState newState) {
  if (FFilling) return;
  ItemCheckChanged(index, newState == cbsChecked);
}

void TcxCustomGridCustomizationPopup::ListKeyDown(TObject* sender, Word& key, TShiftState shift) {
  if (key == VK_ESCAPE) CloseUp();
}

Integer TcxCustomGridCustomizationPopup::DropTargetAt(const TPoint& point) {
  TcxCustomInnerCheckListBox* inner = FCheckListBox->GetInnerCheckListBox();
  const Integer count = FCheckListBox->GetItems()->GetCount();
  const Integer index = inner->ItemAtPos(point, true);
  if (index != -1) {
    const TRect rect = inner->ItemRect(index);
    return point.Y > (rect.Top + rect.Bottom) / 2 ? index + 1 : index;
  }
  if (count == 0) return -1;
  const TRect last = inner->ItemRect(count - 1);
  const TRect client = inner->GetClientRect();
  return point.Y >= last.Bottom && IsPointInRect(client, point) ? count : -1;
}

void TcxCustomGridCustomizationPopup::GetDropArrowRects(Integer target, TRect& left, TRect& right) {
  left = right = TRect{};
  TcxCustomInnerCheckListBox* inner = FCheckListBox->GetInnerCheckListBox();
  const Integer count = FCheckListBox->GetItems()->GetCount();
  if (target < 0 || count == 0 || !inner->HandleAllocated()) return;
  const TRect item = inner->ItemRect(std::min(target, count - 1));
  const Integer y = target < count ? item.Top : item.Bottom;
  const TRect line{item.Left + 9, y, item.Right - 9, y};
  left = GetDragAndDropArrowBounds(line, TRect{}, apLeft);
  right = GetDragAndDropArrowBounds(line, TRect{}, apRight);
}

void TcxCustomGridCustomizationPopup::SetDropTargetIndex(Integer value) {
  if (FDropTargetIndex == value) return;
  TcxCustomInnerCheckListBox* inner = FCheckListBox->GetInnerCheckListBox();
  TRect left, right;
  // The old mark goes with a repaint of its two arrows only; the new one is drawn at once.
  GetDropArrowRects(FDropTargetIndex, left, right);
  if (inner->HandleAllocated() && !RectIsEmpty(left)) {
    InvalidateRect(inner->GetHandle(), &left, TRUE);
    InvalidateRect(inner->GetHandle(), &right, TRUE);
  }
  FDropTargetIndex = value;
  GetDropArrowRects(value, left, right);
  if (!inner->HandleAllocated() || RectIsEmpty(left)) return;
  inner->Update();
  HDC dc = GetDC(inner->GetHandle());
  {
    TCanvas canvas;
    canvas.SetHandle(dc);
    TcxCanvas cxCanvas(&canvas);
    DrawDragAndDropArrow(&cxCanvas, left, apLeft);
    DrawDragAndDropArrow(&cxCanvas, right, apRight);
    canvas.SetHandle(nullptr);
  }
  ReleaseDC(inner->GetHandle(), dc);
}

void TcxCustomGridCustomizationPopup::FitToWorkArea(TPoint& position) {
  const TRect area = GetWorkAreaAtPoint(position);
  const Integer count = FCheckListBox->GetItems()->GetCount();
  const Integer frameWidth = GetWidth() - FCheckListBox->GetWidth();
  const Integer frameHeight = GetHeight() - FCheckListBox->GetHeight();
  const Integer top = std::max(position.Y, area.Top);
  const Integer available = area.Bottom - top;
  auto resize = [&](Integer columns) {
    FCheckListBox->SetColumns(columns);
    AdjustSize(false);
    SetBounds(GetLeft(), GetTop(), FCheckListBox->GetWidth() + frameWidth, FCheckListBox->GetHeight() + frameHeight);
  };
  if (count > 1 && available > frameHeight && (position.Y < area.Top || position.Y + GetHeight() > area.Bottom)) {
    Integer columns = std::max<Integer>(2, (GetHeight() + available / 2) / available);
    for (resize(columns); columns < count && GetHeight() > available; resize(++columns)) {
    }
    if (position.X + GetWidth() > area.Right) {
      const Integer itemWidth = std::max<Integer>(1, ItemWidth());
      resize(std::max<Integer>(2, (area.Right - position.X - frameWidth) / itemWidth));
    }
  }
  inherited::FitToWorkArea(position);
}

void TcxCustomGridCustomizationPopup::ListStartDrag(TObject* sender, TDragObject*& dragObject) {
  TcxCustomInnerCheckListBox* inner = FCheckListBox->GetInnerCheckListBox();
  const TPoint point = inner->ScreenToClient(SafeGetCursorPos());
  if (inner->ItemAtPos(point, true) == -1) FCheckListBox->EndDrag(false);
  SetDropTargetIndex(-1);
}

void TcxCustomGridCustomizationPopup::ListDragOver(TObject* sender, TObject* source, Integer x, Integer y,
                                                   TDragState state, bool& accept) {
  // From the control's client coordinates to the inner list's.
  TcxCustomInnerCheckListBox* inner = FCheckListBox->GetInnerCheckListBox();
  x -= inner->GetLeft();
  y -= inner->GetTop();
  const Integer target = state == dsDragLeave ? -1 : DropTargetAt(TPoint{x, y});
  SetDropTargetIndex(target);
  accept = target != -1;
  // A list of several columns scrolls sideways while the entry rests at its left or right edge.
  Integer direction = 0;
  if (state != dsDragLeave && GetColumnCount() >= 2) {
    if (x <= 14)
      direction = 1;
    else if (x >= inner->GetClientWidth() - 15)
      direction = 2;
  }
  SetAutoScrollDirection(direction);
}

void TcxCustomGridCustomizationPopup::ListEndDrag(TObject* sender, TObject* target, Integer x, Integer y) {
  SetAutoScrollDirection(0);
}

void TcxCustomGridCustomizationPopup::SetAutoScrollDirection(Integer value) {
  if (FAutoScrollDirection == value) return;
  FAutoScrollDirection = value;
  // A new direction waits the whole interval again (the timer may be the caller: it is stopped
  // and started, never freed here).
  if (!FAutoScrollTimer) {
    if (value == 0) return;
    FAutoScrollTimer = new TcxTimer(this);
    FAutoScrollTimer->SetEnabled(false);
    FAutoScrollTimer->SetInterval(400);
    FAutoScrollTimer->SetOnTimer(TNotifyEvent(this, &TcxCustomGridCustomizationPopup::AutoScrollTimerHandler));
  }
  FAutoScrollTimer->SetEnabled(false);
  FAutoScrollTimer->SetEnabled(value != 0);
}

void TcxCustomGridCustomizationPopup::AutoScrollTimerHandler(TObject* sender) {
  TcxCustomInnerCheckListBox* inner = FCheckListBox->GetInnerCheckListBox();
  const Integer count = FCheckListBox->GetItems()->GetCount();
  const Integer top = inner->GetTopIndex();
  if (FAutoScrollDirection == 1) {
    if (top > 0) inner->SetTopIndex(top - 1);
  } else {
    // The list moves by whole columns: step on until its first entry actually changes.
    for (Integer next = top + 1; next < count && inner->GetTopIndex() == top; ++next) inner->SetTopIndex(next);
  }
  // The entry under the resting mouse is another one now.
  const TPoint point = FCheckListBox->ScreenToClient(SafeGetCursorPos());
  bool accept = false;
  ListDragOver(FCheckListBox, nullptr, point.X, point.Y, dsDragMove, accept);
}

void TcxCustomGridCustomizationPopup::ListDragDrop(TObject* sender, TObject* source, Integer x, Integer y) {
  TcxCustomInnerCheckListBox* inner = FCheckListBox->GetInnerCheckListBox();
  DropSelectedAt(DropTargetAt(TPoint{x - inner->GetLeft(), y - inner->GetTop()}));
  SetDropTargetIndex(-1);
}

void TcxCustomGridCustomizationPopup::DropSelectedAt(Integer target) {
  if (target == -1) return;
  TcxCheckListBoxItems* items = FCheckListBox->GetItems();
  const Integer count = items->GetCount();
  if (count == 0) return;
  Integer index = target < count ? GetItemIndex(items->GetItemObject(target))
                                 : GetItemIndex(items->GetItemObject(count - 1)) + 1;
  std::vector<TObject*> moved;
  for (Integer i = 0; i < count; ++i)
    if (FCheckListBox->GetSelected(i)) moved.push_back(items->GetItemObject(i));
  if (moved.empty() && FCheckListBox->GetItemIndex() != -1) moved.push_back(items->GetItemObject(FCheckListBox->GetItemIndex()));
  TcxCustomGridView* view = GetGridView();
  view->BeginUpdate();
  {
    TCustomizationScopeExit unlock{[view] { view->EndUpdate(); }};
    for (TObject* object : moved) {
      MoveItem(object, index);
      index = GetItemIndex(object) + 1;
    }
  }
  FFilling = true;
  {
    TCustomizationScopeExit done{[this] { FFilling = false; }};
    items->BeginUpdate();
    TCustomizationScopeExit endUpdate{[items] { items->EndUpdate(); }};
    FillItems();
  }
  for (TObject* object : moved) {
    const Integer i = items->IndexOfItemObject(object);
    if (i != -1) FCheckListBox->SetSelected(i, true);
  }
}

// ---- Items of a table view ----

TcxCustomGridTableView* TcxCustomGridItemsCustomizationPopup::TableView() const {
  return static_cast<TcxCustomGridTableView*>(GetGridView());
}

void TcxCustomGridItemsCustomizationPopup::FillItems() {
  TcxCheckListBoxItems* items = GetCheckListBox()->GetItems();
  items->BeginUpdate();
  TCustomizationScopeExit endUpdate{[items] { items->EndUpdate(); }};
  items->Clear();
  TcxCustomGridTableView* view = TableView();
  for (Integer i = 0; i < view->GetItemCount(); ++i) {
    TcxCustomGridTableItem* item = view->GetItem(i);
    if (!item->GetVisibleForCustomization()) continue;
    TcxCheckListBoxItem* entry = items->Add();
    entry->SetText(item->GetAlternateCaptionInEffect());
    entry->SetItemObject(item);
    entry->SetState(item->GetVisible() ? cbsChecked : cbsUnchecked);
  }
}

Integer TcxCustomGridItemsCustomizationPopup::DropDownCount() {
  return TableView()->GetOptionsCustomize()->GetItemsQuickCustomizationMaxDropDownCount();
}

Boolean TcxCustomGridItemsCustomizationPopup::AllowsReordering() {
  TcxCustomGridTableOptionsCustomize* options = TableView()->GetOptionsCustomize();
  switch (options->GetItemsQuickCustomizationReordering()) {
    case qcrEnabled: return true;
    case qcrDisabled: return TableView()->IsDesignTime();
    default: return TableView()->IsDesignTime() || options->GetItemMoving();
  }
}

void TcxCustomGridItemsCustomizationPopup::SetItemChecked(TObject* item, Boolean checked) {
  static_cast<TcxCustomGridTableItem*>(item)->SetVisible(checked);
  TableView()->GetController()->DesignerModified();
}

Integer TcxCustomGridItemsCustomizationPopup::GetItemIndex(TObject* item) {
  return static_cast<TcxCustomGridTableItem*>(item)->GetIndex();
}

void TcxCustomGridItemsCustomizationPopup::MoveItem(TObject* item, Integer index) {
  auto* tableItem = static_cast<TcxCustomGridTableItem*>(item);
  tableItem->SetIndex(tableItem->GetIndex() < index ? index - 1 : index);
  TableView()->GetController()->DesignerModified();
}

void TcxGridColumnsCustomizationPopup::SetItemChecked(TObject* item, Boolean checked) {
  inherited::SetItemChecked(item, checked);
  static_cast<TcxGridTableView*>(GetGridView())->DoColumnPosChanged(static_cast<TcxGridColumn*>(item));
}

void TcxGridColumnsCustomizationPopup::MoveItem(TObject* item, Integer index) {
  inherited::MoveItem(item, index);
  static_cast<TcxGridTableView*>(GetGridView())->DoColumnPosChanged(static_cast<TcxGridColumn*>(item));
}

// The indicator header opens the quick customization popup; it survives a recalculation, whose
// new header cell takes it over.
TcxCustomGridPopup* TcxGridIndicatorHeaderItemViewInfo::GetPopup() {
  if (!SupportsQuickCustomization()) return nullptr;
  auto* controller = dynamic_cast<TcxCustomGridTableController*>(GetGridView()->GetController());
  return controller ? controller->GetItemsCustomizationPopup() : nullptr;
}

// ==== Customization form item lists ==============================================================

TcxCustomGridItemsInnerListBox::TcxCustomGridItemsInnerListBox(TComponent* owner) : TcxInnerListBox(owner) {
  SetSorted(true);
  SetStyle(lbOwnerDrawFixed);
}

void TcxCustomGridItemsInnerListBox::Dispatch(TMessage& message) {
  if (message.Msg == WM_CANCELMODE) FDragStartItemIndex = -1;
  inherited::Dispatch(message);
}

void TcxCustomGridItemsInnerListBox::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  inherited::MouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  FDragStartItemIndex = ItemAtPos(TPoint{x, y}, true);
  FDragStartPoint = TPoint{x, y};
}

void TcxCustomGridItemsInnerListBox::MouseMove(TShiftState shift, Integer x, Integer y) {
  inherited::MouseMove(shift, x, y);
  if (FDragStartItemIndex == -1) return;
  const Integer threshold = Mouse->GetDragThreshold();
  if (std::abs(x - FDragStartPoint.X) < threshold && std::abs(y - FDragStartPoint.Y) < threshold &&
      ItemAtPos(TPoint{x, y}, true) == FDragStartItemIndex)
    return;
  const Integer index = FDragStartItemIndex;
  FDragStartItemIndex = -1;
  if (auto* list = dynamic_cast<TcxCustomGridItemsListBox*>(OwnerListBox())) list->BeginItemDrag(index, FDragStartPoint);
}

void TcxCustomGridItemsInnerListBox::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  FDragStartItemIndex = -1;
  inherited::MouseUp(button, shift, x, y);
}

void TcxCustomGridItemsInnerListBox::KeyDown(Word& key, TShiftState shift) {
  if (key == VK_ESCAPE)
    if (auto* list = dynamic_cast<TcxCustomGridItemsListBox*>(OwnerListBox()))
      if (TcxCustomGridCustomizationForm* form = list->CustomizationForm())
        if (TcxGridSite* site = form->GridView() ? form->GridView()->GetSite() : nullptr) site->FinishDragAndDrop(false);
  inherited::KeyDown(key, shift);
}

TcxCustomGridItemsListBox::TcxCustomGridItemsListBox(TComponent* owner) : TcxListBox(owner) {
  SetSorted(true);
  SetListStyle(lbOwnerDrawFixed);
  TcxCustomGridCustomizationForm* form = CustomizationForm();
  InitItemListStyle(this, form ? form->GridView() : nullptr);
}

TcxInnerListBoxClass TcxCustomGridItemsListBox::GetInnerListBoxClass() {
  return TcxCustomGridItemsInnerListBox::StaticClass();
}

TcxCustomGridCustomizationForm* TcxCustomGridItemsListBox::CustomizationForm() const {
  for (TComponent* owner = const_cast<TcxCustomGridItemsListBox*>(this)->GetOwner(); owner; owner = owner->GetOwner())
    if (auto* form = dynamic_cast<TcxCustomGridCustomizationForm*>(owner)) return form;
  return nullptr;
}

void TcxCustomGridItemsListBox::CreateHandle() {
  inherited::CreateHandle();
  SetItemHeight(CalculateItemHeight());
}

Integer TcxCustomGridItemsListBox::IndexOfItemObject(TObject* item) const {
  TStrings* items = GetItems();
  for (Integer i = 0; i < items->GetCount(); ++i)
    if (items->GetObject(i) == item) return i;
  return -1;
}

void TcxCustomGridItemsListBox::Refresh() {
  if (GetInnerListBox()->HandleAllocated()) SetItemHeight(CalculateItemHeight());
  const Integer top = GetInnerListBox()->HandleAllocated() ? GetTopIndex() : 0;
  const Integer index = GetInnerListBox()->HandleAllocated() ? GetItemIndex() : -1;
  {
    TStrings* items = GetItems();
    items->BeginUpdate();
    TCustomizationScopeExit endUpdate{[items] { items->EndUpdate(); }};
    RefreshItems();
  }
  if (!GetInnerListBox()->HandleAllocated()) return;
  SetTopIndex(top);
  SetItemIndex(std::min(index, GetCount() - 1));
}

Boolean TcxCustomGridItemsListBox::DoDrawItem(TcxCanvas* canvas, Integer index, const TRect& rect,
                                              TOwnerDrawState state) {
  if (inherited::DoDrawItem(canvas, index, rect, state)) return true;
  PaintItem(canvas, rect, state.Contains(odFocused), index);
  if (state.Contains(odFocused)) DrawFocusFrame(canvas, rect);
  return true;
}

void TcxCustomGridItemsListBox::BeginItemDrag(Integer index, const TPoint& point) {
  TcxCustomGridCustomizationForm* form = CustomizationForm();
  TcxCustomGridView* view = form ? form->GridView() : nullptr;
  TcxGridSite* site = view ? view->GetSite() : nullptr;
  if (!site) return;
  SetItemIndex(index);
  TcxCustomGridHitTest* hitTest = GetDragAndDropHitTest(index);
  if (!hitTest) return;
  const TPoint sitePoint = site->ScreenToClient(GetInnerListBox()->ClientToScreen(point));
  view->GetController()->SetDragAndDropObjectClass(hitTest->DragAndDropObjectClass());
  if (TcxCustomGridDragAndDropObject* object = view->GetController()->DragAndDropObject())
    object->Init(sitePoint, hitTest);
  site->BeginDragAndDrop();
}

TcxCustomGridTableView* TcxCustomGridTableItemsListBox::GridView() const {
  TcxCustomGridCustomizationForm* form = CustomizationForm();
  return form ? static_cast<TcxCustomGridTableView*>(form->GridView()) : nullptr;
}

void TcxCustomGridTableItemsListBox::RefreshTableItems() {
  TStrings* items = GetItems();
  items->BeginUpdate();
  TCustomizationScopeExit endUpdate{[items] { items->EndUpdate(); }};
  items->Clear();
  TcxCustomGridTableView* view = GridView();
  if (!view) return;
  for (Integer i = 0; i < view->GetItemCount(); ++i) {
    TcxCustomGridTableItem* item = view->GetItem(i);
    if (item->CanMove() && item->ReadVisibleForCustomization() && !item->ReadVisible())
      items->AddObject(item->GetAlternateCaptionInEffect(), item);
  }
}

TcxGridTableItemsListBox::TcxGridTableItemsListBox(TComponent* owner) : TcxCustomGridTableItemsListBox(owner) {
  GetStyle()->SetColor(clBtnFace);
}

Integer TcxGridTableItemsListBox::CalculateItemHeight() {
  TcxCanvas* canvas = GetCanvasOrScreenCanvas();
  canvas->GetFont()->Assign(GetStyle()->GetDisplayFont());
  return 2 * (GetStyle()->GetLookAndFeel()->CurrentPainter()->HeaderCellBorderWidth() + 2) + canvas->TextHeightOf("Qq");
}

void TcxGridTableItemsListBox::PaintItem(TcxCanvas* canvas, const TRect& rect, Boolean focused, Integer index) {
  TcxCustomLookAndFeelPainterClass painter = GetStyle()->GetLookAndFeel()->CurrentPainter();
  const Integer border = painter->HeaderCellBorderWidth();
  TRect textRect = GetInflatedRect(rect, -border, -border);
  textRect.Left += 2;
  textRect.Right -= 2;
  TcxGridTableView* view = dynamic_cast<TcxGridTableView*>(GridView());
  const Boolean ellipsis = view && view->GetOptionsView()->GetHeaderEndEllipsis();
  const Boolean selected = GetInnerListBox()->HandleAllocated() && GetItemIndex() == index;
  painter->DrawHeaderCell(canvas, rect, textRect, TcxNeighbors(), cxBordersAll, selected ? cxbsHot : cxbsNormal,
                          taLeftJustify, vaCenter, false, ellipsis, GetItems()->Get(index), GetStyle()->GetDisplayFont(),
                          clBtnText, clBtnFace);
  if (selected) painter->DrawHeaderCellPressed(canvas, rect);
}

TcxCustomGridHitTest* TcxGridTableItemsListBox::GetDragAndDropHitTest(Integer index) {
  auto* hitTest = static_cast<TcxGridColumnHeaderHitTest*>(
      TcxCustomGridHitTest::Instance(TcxGridColumnHeaderHitTest::StaticClass(), TPoint{-1, -1}));
  hitTest->SetGridView(GridView());
  hitTest->SetColumn(static_cast<TcxCustomGridTableItem*>(GetItems()->GetObject(index)));
  hitTest->SetHitContainerKind(ckCustomizationForm);
  return hitTest;
}

// ==== Customization forms ========================================================================

TcxCustomGridTableCustomizationForm::TcxCustomGridTableCustomizationForm(TcxCustomGridController* controller)
    : TcxCustomGridCustomizationForm(controller) {}

Boolean TcxCustomGridTableCustomizationForm::ItemsPageVisible() {
  return static_cast<TcxCustomGridTableView*>(GridView())->GetOptionsCustomize()->GetItemMoving();
}

void TcxCustomGridTableCustomizationForm::CreateItemsPage() {
  if (FItemsPage) return;
  AnsiString caption;
  GetItemsPageCaption(caption);
  FItemsPage = CreatePage(caption, ItemsPageVisible());
  TcxCustomGridTableItemsListBoxClass listClass = ItemsListBoxClass();
  if (!listClass) return;
  FItemsListBox = listClass.Create(this);
  FItemsListBox->SetAlign(alClient);
  FItemsListBox->SetParent(FItemsPage);
  FItemsListBox->Refresh();
  ActivatePage(FItemsPage);
}

void TcxCustomGridTableCustomizationForm::RefreshData() {
  if (FItemsListBox) FItemsListBox->Refresh();
}

void TcxGridTableCustomizationForm::GetItemsPageCaption(AnsiString& text) {
  text = GetLocalizedResourceString(&scxGridCustomizationFormColumnsPageCaption);
}
