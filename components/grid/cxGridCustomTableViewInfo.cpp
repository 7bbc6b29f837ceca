// The layout and painting of the table-like views: the table view info with its docked parts,
// the records view info with one record view info per record on screen, the data cells that
// show their values through the editor's view info, the filter box, and the painters.
#include <algorithm>
#include <cmath>
#include <memory>

#include "components/data/cxCustomData.h"
#include "components/data/cxFilter.h"
#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/grid/cxGrid.h"
#include "components/grid/cxGridCustomTableView.h"
#include "components/editors/cxTextEdit.h"
#include "components/grid/cxGridStrs.h"
#include "platform/drawing/Gdi.h"

namespace {

template <class T>
using Owned = std::unique_ptr<T, orv::FreeDeleter>;

TcxCustomLookAndFeelPainterClass ViewPainter(TcxCustomGridView* view) {
  return view->LookAndFeelPainter();
}

}  // namespace

// ==== Cache =====================================================================================

TcxCustomGridViewInfoCacheItemClass TcxCustomGridTableViewInfoCache::GetItemClass(Integer index) {
  auto* view = static_cast<TcxCustomGridTableView*>(GetGridView());
  TcxCustomGridTableViewData* data = view->GetTableViewData();
  if (data && data->IsRowIndexInRange(index)) return data->RecordAt(index)->GetViewInfoCacheItemClass();
  return TcxCustomGridTableViewInfoCacheItem::StaticClass();
}

// ==== Records view info =========================================================================

TcxCustomGridRecordsViewInfo::~TcxCustomGridRecordsViewInfo() { ClearItems(); }

void TcxCustomGridRecordsViewInfo::ClearItems() {
  FIncSearchingCellViewInfo = nullptr;
  FIncSearchingCellViewInfoCalculated = false;
  for (TcxCustomGridRecordViewInfo* item : FItems) orv::Free(item);
  FItems.clear();
}

TcxCustomGridTableView* TcxCustomGridRecordsViewInfo::GetGridView() const { return FGridViewInfo->GetTableView(); }

void TcxCustomGridRecordsViewInfo::FinishCalculation() {
  TcxCustomGridTableView* view = GetGridView();
  for (Integer i = 0; i < view->GetItemCount(); ++i) view->GetItem(i)->DestroySharedEditViewData();
  if (!FGridViewInfo->IsInternalUse())
    if (TcxGridEditingController* editing = view->GetTableController()->FindEditingController())
      editing->HideEditOutOfView();
}

void TcxCustomGridRecordsViewInfo::PrepareCalculation() {
  FBackgroundBitmap = GetBackgroundBitmap();
  TcxCustomGridTableView* view = GetGridView();
  if (!FGridViewInfo->IsInternalUse())
    if (TcxGridEditingController* editing = view->GetTableController()->FindEditingController())
      editing->ResetEditPlacement();
  for (Integer i = 0; i < view->GetItemCount(); ++i) view->GetItem(i)->CreateSharedEditViewData();
}

void TcxCustomGridRecordsViewInfo::BeforeRecordRecalculation() {
  FGridViewInfo->UpdateMousePos();
  FIncSearchingCellViewInfoCalculated = false;
}

void TcxCustomGridRecordsViewInfo::CalculateBounds() {
  GetBounds(FBounds);
  GetContentBounds(FContentBounds);
}

void TcxCustomGridRecordsViewInfo::GetBounds(TRect& rect) { FGridViewInfo->GetClientBounds(rect); }

TcxGridTableDataCellViewInfo* TcxCustomGridRecordsViewInfo::FindIncSearchingCellViewInfo() {
  TcxCustomGridTableController* controller = GetGridView()->GetTableController();
  if (!controller->IsIncSearching()) return nullptr;
  TcxCustomGridTableItem* item = controller->GetIncSearchingItem();
  TcxCustomGridRecord* record = controller->GetFocusedRecord();
  if (!item || !record) return nullptr;
  TcxCustomGridRecordViewInfo* recordViewInfo = GetRecordViewInfo(record);
  return recordViewInfo ? recordViewInfo->GetCellViewInfoByItem(item) : nullptr;
}

TcxGridTableDataCellViewInfo* TcxCustomGridRecordsViewInfo::GetIncSearchingCellViewInfo() {
  if (!FIncSearchingCellViewInfoCalculated) {
    FIncSearchingCellViewInfo = FindIncSearchingCellViewInfo();
    FIncSearchingCellViewInfoCalculated = true;
  }
  return FIncSearchingCellViewInfo;
}

void TcxCustomGridRecordsViewInfo::GetRecordBackgroundArea(Integer index, TRect& rect) {
  FGridViewInfo->GetRecordsAreaBounds(rect);
}

Boolean TcxCustomGridRecordsViewInfo::CellHeightsVary() {
  TcxCustomGridTableView* view = GetGridView();
  return view->GetTableOptionsView()->GetCellAutoHeight() || view->HasGetCellHeight();
}

TBitmap* TcxCustomGridRecordsViewInfo::GetBackgroundBitmap() {
  return GetGridView()->GetBackgroundBitmaps()->GetBitmap(1);
}

void TcxCustomGridRecordsViewInfo::ControlFocusChanged() {
  for (TcxCustomGridRecordViewInfo* item : FItems)
    if (item) item->ControlFocusChanged();
}

void TcxCustomGridRecordsViewInfo::VisibilityChanged(Boolean visible) {
  for (TcxCustomGridRecordViewInfo* item : FItems)
    if (item) item->VisibilityChanged(visible);
}

TcxCustomGridRecordsPainterClass TcxCustomGridRecordsViewInfo::GetPainterClass() {
  return TcxCustomGridRecordsPainter::StaticClass();
}

Boolean TcxCustomGridRecordsViewInfo::CanOffsetRecords(Integer recordCount) {
  return !FItems.empty() && std::abs(recordCount) < Count();
}

TcxCustomGridHitTest* TcxCustomGridRecordsViewInfo::GetHitTest(const TPoint& point) {
  for (TcxCustomGridRecordViewInfo* item : FItems)
    if (item)
      if (TcxCustomGridHitTest* hitTest = item->GetHitTest(point)) return hitTest;
  return nullptr;
}

TcxCustomGridRecordViewInfo* TcxCustomGridRecordsViewInfo::GetRecordViewInfo(TcxCustomGridRecord* record) {
  if (!record) return nullptr;
  const Integer index = ItemOfRow(record->GetIndex());
  return index >= 0 && index < Count() ? FItems[std::size_t(index)] : nullptr;
}

Integer TcxCustomGridRecordsViewInfo::RowOfItem(Integer index) {
  const Integer first = FGridViewInfo->FirstRecordIndex();
  return FGridViewInfo->CalculateDown() ? first + index : first - index;
}

Integer TcxCustomGridRecordsViewInfo::ItemOfRow(Integer rowIndex) {
  const Integer first = FGridViewInfo->FirstRecordIndex();
  const Integer index = FGridViewInfo->CalculateDown() ? rowIndex - first : first - rowIndex;
  return index >= 0 && index < Count() ? index : -1;
}

Integer TcxCustomGridRecordsViewInfo::MaxCount() {
  const Integer first = FGridViewInfo->FirstRecordIndex();
  const Integer count = GetGridView()->GetTableViewData()->GetRecordCount();
  if (first == -1 || count == 0) return 0;
  return std::max<Integer>(0, FGridViewInfo->CalculateDown() ? count - first : first + 1);
}

TcxCustomGridRecordViewInfo* TcxCustomGridRecordsViewInfo::CreateRecordViewInfo(Integer index) {
  TcxCustomGridTableViewData* data = GetGridView()->GetTableViewData();
  const Integer row = RowOfItem(index);
  if (!data->IsRowIndexInRange(row)) return nullptr;
  TcxCustomGridRecord* record = data->RecordAt(row);
  TcxCustomGridRecordViewInfoClass cls = record->GetViewInfoClass();
  if (!cls) return nullptr;
  TcxCustomGridRecordViewInfo* result = cls.Create(this, record);
  result->AfterConstruction();
  return result;
}

TcxCustomGridRecordViewInfo* TcxCustomGridRecordsViewInfo::ItemAt(Integer index) {
  if (index < Count()) return FItems[std::size_t(index)];
  TcxCustomGridRecordViewInfo* item = CreateRecordViewInfo(index);
  FItems.push_back(item);
  return item;
}

void TcxCustomGridRecordsViewInfo::Calculate() {
  PrepareCalculation();
  try {
    CalculateBounds();
  } catch (...) {
    FinishCalculation();
    throw;
  }
  FinishCalculation();
}

void TcxCustomGridRecordsViewInfo::OffsetRecords(Integer n) {
  FItemsOffset = 0;
  if (n == 0) return;
  const Integer count = Count();
  const Integer shift = std::abs(n);
  const Integer kept = count - shift;
  if (n > 0) FItemsOffset = GetRecordsOffset(n);
  FIncSearchingCellViewInfo = nullptr;
  FIncSearchingCellViewInfoCalculated = false;
  // The items that leave the screen.
  for (Integer i = 0; i < shift; ++i) {
    const Integer index = n > 0 ? i : count - 1 - i;
    orv::Free(FItems[std::size_t(index)]);
    FItems[std::size_t(index)] = nullptr;
  }
  // The kept items move to their new places.
  if (n > 0) {
    for (Integer i = 0; i < kept; ++i) FItems[std::size_t(i)] = FItems[std::size_t(i + shift)];
    for (Integer i = kept; i < count; ++i) FItems[std::size_t(i)] = nullptr;
    for (Integer i = 0; i < kept; ++i) OffsetRecordViewInfo(i, FItemsOffset);
  } else {
    for (Integer i = kept - 1; i >= 0; --i) FItems[std::size_t(i + shift)] = FItems[std::size_t(i)];
    for (Integer i = 0; i < shift; ++i) FItems[std::size_t(i)] = nullptr;
  }
  const Integer maxCount = MaxCount();
  if (maxCount < Count()) {
    for (Integer i = maxCount; i < Count(); ++i) orv::Free(FItems[std::size_t(i)]);
    FItems.resize(std::size_t(maxCount));
  }
  const Integer from = n > 0 ? kept : 0;
  const Integer to = n > 0 ? Count() : std::min(shift, Count());
  for (Integer i = from; i < to; ++i) {
    if (FItems[std::size_t(i)]) continue;
    TcxCustomGridRecordViewInfo* item = CreateRecordViewInfo(i);
    FItems[std::size_t(i)] = item;
    if (item) item->CalculateAt(GetRecordLeft(i), GetRecordTop(i));
  }
  if (n < 0) {
    FItemsOffset = GetRecordsOffset(n);
    for (Integer i = shift; i < Count(); ++i) OffsetRecordViewInfo(i, FItemsOffset);
  }
  CalculateVisibleCount();
  for (Integer i = 0; i < Count(); ++i)
    if (TcxCustomGridRecordViewInfo* item = FItems[std::size_t(i)])
      if (!item->GetCalculated()) item->CalculateAt(GetRecordLeft(i), GetRecordTop(i));
}

void TcxCustomGridRecordsViewInfo::OffsetBy(Integer dx, Integer dy) {
  FBounds = GetOffsetRect(FBounds, dx, dy);
  FContentBounds = GetOffsetRect(FContentBounds, dx, dy);
}

void TcxCustomGridRecordsViewInfo::Paint(TcxCanvas* canvas) {
  TcxCustomGridRecordsPainterClass cls = GetPainterClass();
  if (!cls) return;
  Owned<TcxCustomGridRecordsPainter> painter(cls.Create(canvas, this));
  painter->Paint();
}

// ==== Record view info ==========================================================================

TcxCustomGridRecordViewInfo::TcxCustomGridRecordViewInfo(TcxCustomGridRecordsViewInfo* recordsViewInfo,
                                                         TcxCustomGridRecord* record)
    : TcxCustomGridViewCellViewInfo(recordsViewInfo->GetGridViewInfo()),
      FRecordsViewInfo(recordsViewInfo),
      FRecord(record) {
  if (FRecord->HasViewInfo())
    FForeignRecordViewInfo = true;
  else
    FRecord->SetViewInfo(this);
}

void TcxCustomGridRecordViewInfo::BeforeDestruction() {
  if (!FForeignRecordViewInfo && FRecord && FRecord->GetViewInfo() == this) FRecord->SetViewInfo(nullptr);
  inherited::BeforeDestruction();
}

TcxCustomGridTableView* TcxCustomGridRecordViewInfo::GetTableView() const { return FRecordsViewInfo->GetGridView(); }

Integer TcxCustomGridRecordViewInfo::GetIndex() { return FRecordsViewInfo->ItemOfRow(FRecord->GetIndex()); }

Boolean TcxCustomGridRecordViewInfo::CalculateSelected() {
  return GetTableView()->IsRecordDrawnSelected(FRecord);
}

Boolean TcxCustomGridRecordViewInfo::Selected() {
  if (!FSelectedCalculated) {
    FSelected = CalculateSelected();
    FSelectedCalculated = true;
  }
  return FSelected;
}

Boolean TcxCustomGridRecordViewInfo::Expanded() {
  if (!FExpandedRead) {
    FExpanded = FRecord->GetExpanded();
    FExpandedRead = true;
  }
  return FExpanded;
}

Boolean TcxCustomGridRecordViewInfo::Focused() {
  return FRecord->GetFocused() && GetTableView()->IsRecordFocusedInView(FRecord);
}

Boolean TcxCustomGridRecordViewInfo::HasExpandButton() { return FRecord->GetExpandable(); }

Boolean TcxCustomGridRecordViewInfo::IsVisibleOnScreen() {
  const Integer index = GetIndex();
  return index >= 0 && index < FRecordsViewInfo->GetVisibleCount();
}

Boolean TcxCustomGridRecordViewInfo::HideFocusRectOnExit() {
  return GetTableView()->GetTableOptionsSelection()->GetHideFocusRectOnExit();
}

Boolean TcxCustomGridRecordViewInfo::SelectsWholeRecord() {
  TcxCustomGridTableOptionsSelection* options = GetTableView()->GetTableOptionsSelection();
  return !(options->GetCellSelect() && !options->GetInvertSelect());
}

Boolean TcxCustomGridRecordViewInfo::CountsAsRecordClick(TcxCustomGridHitTest* hitTest) {
  auto* recordHitTest = dynamic_cast<TcxGridRecordHitTest*>(hitTest);
  return recordHitTest && recordHitTest->CountsAsRecordClick();
}

Boolean TcxCustomGridRecordViewInfo::ProcessRecordMouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button,
                                                            TShiftState shift) {
  if (shift.Contains(ssDouble)) return true;
  Owned<TcxGridListenerLink> link(GetTableView()->AddListenerLink());
  GetTableView()->GetTableController()->FocusRecord(FRecord);
  return link->GetGridView() != nullptr;
}

void TcxCustomGridRecordViewInfo::GetInvalidateBounds(TcxCustomGridTableItem* item, TRect& rect) {
  if (item)
    GetCellBoundsForItem(item, rect);
  else
    rect = GetBounds();
}

void TcxCustomGridRecordViewInfo::CalculateAt(Integer left, Integer top) {
  FSelectedCalculated = false;
  FExpandedRead = false;
  const Integer width = CalculateWidth();
  const Integer height = CalculateHeight();
  Calculate(left, top, width, height);
  if (HasExpandButton()) CalculateExpandButtonBounds(FExpandButtonBounds);
}

Integer TcxCustomGridRecordViewInfo::CalculateHeight() {
  auto* cache = dynamic_cast<TcxCustomGridTableViewInfoCache*>(GetTableView()->GetViewInfoCache());
  if (!cache || FRecordsViewInfo->GetGridViewInfo()->IsInternalUse()) return CalculateRecordHeight();
  if (cache->GetCount() <= FRecord->GetIndex()) cache->SetCount(GetTableView()->GetTableViewData()->GetRecordCount());
  TcxCustomGridTableViewInfoCacheItem* item = cache->GetTableItem(FRecord->GetIndex());
  if (!item) return CalculateRecordHeight();
  if (!item->IsRecordHeightAssigned) {
    item->RecordHeight = CalculateRecordHeight();
    item->IsRecordHeightAssigned = true;
  }
  return item->RecordHeight;
}

Integer TcxCustomGridRecordViewInfo::CalculateWidth() { return FRecordsViewInfo->ContentBounds().Width(); }

TcxCanvas* TcxCustomGridRecordViewInfo::GetCanvas() { return FRecordsViewInfo->GetGridViewInfo()->Canvas(); }

TBitmap* TcxCustomGridRecordViewInfo::GetBackgroundBitmap() { return FRecordsViewInfo->BackgroundBitmap(); }

void TcxCustomGridRecordViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  inherited::InitHitTest(hitTest);
  if (auto* recordHitTest = dynamic_cast<TcxGridRecordHitTest*>(hitTest)) recordHitTest->SetHitRecord(FRecord);
}

void TcxCustomGridRecordViewInfo::Offset(Integer dx, Integer dy) {
  inherited::Offset(dx, dy);
  FExpandButtonBounds = GetOffsetRect(FExpandButtonBounds, dx, dy);
}

void TcxCustomGridRecordViewInfo::BeforeRecalculation() {
  inherited::BeforeRecalculation();
  FRecordsViewInfo->BeforeRecordRecalculation();
}

TcxCustomGridHitTest* TcxCustomGridRecordViewInfo::GetHitTest(const TPoint& point) {
  if (ExpandButtonHitEnabled() && HasExpandButton()) {
    TRect area;
    GetExpandButtonAreaBounds(area);
    if (IsPointInRect(area, point)) {
      TcxCustomGridHitTest* hitTest = TcxCustomGridHitTest::Instance(TcxGridExpandButtonHitTest::StaticClass(), point);
      InitHitTest(hitTest);
      return hitTest;
    }
  }
  return inherited::GetHitTest(point);
}

Boolean TcxCustomGridRecordViewInfo::MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button,
                                               TShiftState shift) {
  Boolean handled = inherited::MouseDown(hitTest, button, shift);
  if (!handled && button == mbLeft && dynamic_cast<TcxGridExpandButtonHitTest*>(hitTest)) {
    FRecord->ToggleExpanded();
    return true;
  }
  if (!handled && button != mbMiddle && CountsAsRecordClick(hitTest)) {
    TcxGridSite* site = GetTableView()->GetSite();
    if (!site || site->IsFocused()) handled = ProcessRecordMouseDown(hitTest, button, shift);
  }
  return handled;
}

TcxCustomGridCellPainterClass TcxCustomGridRecordViewInfo::GetPainterClass() {
  return TcxCustomGridRecordPainter::StaticClass();
}

void TcxCustomGridRecordViewInfo::GetViewParams(TcxViewParams& params) {
  GetTableView()->GetTableStyles()->GetRecordContentParams(FRecord, nullptr, params);
}

// ==== Cells =====================================================================================

TcxGridTableCellViewInfo::TcxGridTableCellViewInfo(TcxCustomGridRecordViewInfo* recordViewInfo)
    : TcxCustomGridViewCellViewInfo(recordViewInfo->GetGridViewInfo()), FRecordViewInfo(recordViewInfo) {}

Boolean TcxGridTableCellViewInfo::CalculateSelected() {
  return ParticipatesInSelection() && GetTableView()->IsRecordCellDrawnSelected(GetGridRecord(), nullptr);
}

Boolean TcxGridTableCellViewInfo::Selected() {
  if (!FSelectedCalculated) {
    FSelected = CalculateSelected();
    FSelectedCalculated = true;
  }
  return FSelected;
}

void TcxGridTableCellViewInfo::Calculate(Integer leftBound, Integer topBound, Integer width, Integer height) {
  FSelectedCalculated = false;
  inherited::Calculate(leftBound, topBound, width, height);
}

TcxCanvas* TcxGridTableCellViewInfo::GetCanvas() { return GetGridViewInfo()->Canvas(); }

void TcxGridTableCellViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  inherited::InitHitTest(hitTest);
  if (auto* recordHitTest = dynamic_cast<TcxGridRecordHitTest*>(hitTest))
    recordHitTest->SetHitRecord(GetGridRecord());
}

Boolean TcxGridTableCellViewInfo::HasBackgroundBitmap() { return FRecordViewInfo->GetBackgroundBitmap() != nullptr; }

Boolean TcxGridTableCellViewInfo::MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) {
  Owned<TcxGridListenerLink> link(GetTableView()->AddListenerLink());
  Boolean handled = FRecordViewInfo->MouseDown(hitTest, button, shift);
  if (handled && link->GetGridView()) inherited::MouseDown(hitTest, button, shift);
  return handled;
}

// ---- Data cell ----

TcxGridTableDataCellViewInfo::TcxGridTableDataCellViewInfo(TcxCustomGridRecordViewInfo* recordViewInfo,
                                                           TcxCustomGridTableItem* item)
    : TcxGridTableCellViewInfo(recordViewInfo), FItem(item) {
  FItem->AddCell(this);
  FProperties = FItem->GetPropertiesForRecord(GetGridRecord());
  if (FProperties)
    FEditViewInfo = static_cast<TcxCustomEditViewInfo*>(orv::ClassOf<TObject>(FProperties->GetViewInfoClass()).Create());
}

void TcxGridTableDataCellViewInfo::BeforeDestruction() {
  FItem->RemoveCell(this);
  TcxCustomGridTableController* controller = GetTableView()->GetTableController();
  if (controller->GetPressedCell() == this) controller->SetPressedCell(nullptr);
  inherited::BeforeDestruction();
}

TcxGridTableDataCellViewInfo::~TcxGridTableDataCellViewInfo() { orv::Free(FEditViewInfo); }

void TcxGridTableDataCellViewInfo::InitStyle() {
  TcxCustomEditStyle* style = FItem->GetCellStyle();
  if (style) FItem->InitStyle(style, Params(), GetGridRecord()->GetFocused());
}

void TcxGridTableDataCellViewInfo::GetDisplayValue(Variant& value) {
  if (FProperties && FProperties->GetValueExchangeMode(false) != 0) {
    AnsiString text;
    GetGridRecord()->GetDisplayText(FItem->GetIndex(), text);
    value = Variant(text);
  } else {
    GetValue(value);
  }
}

void TcxGridTableDataCellViewInfo::GetValue(Variant& value) { GetGridRecord()->GetValue(FItem->GetIndex(), value); }

void TcxGridTableDataCellViewInfo::GetEditorBounds(TRect& rect) {
  GetEditBounds(rect);
  rect = GetInflatedRect(rect, -1, -1);
  if (FItem->CanScroll()) {
    TRect area;
    static_cast<TcxCustomGridTableViewInfo*>(GetGridViewInfo())->GetRecordsAreaBounds(area);
    rect.Right = std::min(rect.Right, area.Right);
    rect.Bottom = std::min(rect.Bottom, area.Bottom);
  }
}

Boolean TcxGridTableDataCellViewInfo::IsFocusedCell() {
  return GetTableView()->GetTableController()->GetFocusedItem() == FItem && GetGridRecord()->GetFocused() &&
         FItem->GetFocusedCellViewInfo() == this;
}

Integer TcxGridTableDataCellViewInfo::GetMaxLineCount() {
  return GetTableView()->GetTableOptionsView()->GetCellTextMaxLineCount();
}

Boolean TcxGridTableDataCellViewInfo::DrawsFocusRect() {
  return !GetTableView()->GetTableOptionsSelection()->GetInvertSelect() && !IsEditing();
}

Boolean TcxGridTableDataCellViewInfo::IsIncSearchCell() {
  auto* tableViewInfo = static_cast<TcxCustomGridTableViewInfo*>(GetGridViewInfo());
  return tableViewInfo->GetRecordsViewInfo() &&
         tableViewInfo->GetRecordsViewInfo()->GetIncSearchingCellViewInfo() == this;
}

void TcxGridTableDataCellViewInfo::PrepareIncSearchHighlight(TcxCustomEditViewData* viewData) {
  auto* textData = dynamic_cast<TcxCustomTextEditViewData*>(viewData);
  if (!textData) return;
  if (IsIncSearchCell()) {
    TcxViewParams params;
    GetTableView()->GetTableStyles()->ResolveStyleParams(vsIncSearch, nullptr, nullptr, params);
    textData->SelStart = 0;
    textData->SelLength = Integer(GetTableView()->GetTableController()->GetIncSearchingText().size());
    textData->SelBackgroundColor = params.Color;
    textData->SelTextColor = params.TextColor;
  } else {
    textData->SelLength = 0;
  }
}

Boolean TcxGridTableDataCellViewInfo::CellHints() { return GetTableView()->GetTableOptionsBehavior()->GetCellHints(); }

Boolean TcxGridTableDataCellViewInfo::HasItemHint() { return bool(FItem->GetOnGetCellHint()); }

Boolean TcxGridTableDataCellViewInfo::HasHint() { return (CellHints() || HasItemHint()) && !IsEditing(); }

void TcxGridTableDataCellViewInfo::GetHintText(AnsiString& text) {
  auto* textInfo = dynamic_cast<TcxCustomTextEditViewInfo*>(FEditViewInfo);
  if (textInfo)
    text = textInfo->ShownText;
  else
    text.clear();
}

Boolean TcxGridTableDataCellViewInfo::NeedsHint(const TPoint& mousePos, AnsiString& hintText, TRect& hintTextRect,
                                                Boolean& isHintMultiLine) {
  hintText.clear();
  isHintMultiLine = false;
  Boolean buttonHint = false;
  Boolean result = false;
  if (CellHints() && FEditViewInfo) {
    // A button's own hint comes first; the cell's text is offered only where it does not fit.
    TRect unused{};
    buttonHint = FEditViewInfo->TcxCustomEditViewInfo::GetHint(GetCanvas(), mousePos, hintTextRect, isHintMultiLine,
                                                               hintText, unused);
    result = buttonHint;
    auto* textInfo = dynamic_cast<TcxCustomTextEditViewInfo*>(FEditViewInfo);
    if (!buttonHint && textInfo && !textInfo->ShownText.empty() && IsPointInRect(textInfo->TextArea, mousePos)) {
      TcxCanvas* canvas = GetCanvas();
      canvas->SetFont(textInfo->TextFont ? textInfo->TextFont : Params().Font);
      textInfo->PrepareTextLayout(canvas);
      const Boolean multiLine = (textInfo->TextFlags & TextFlagWordBreak) && !(textInfo->TextFlags & TextFlagSingleLine);
      const Boolean truncated = textInfo->IsTextTruncated() ||
                                (!multiLine && canvas->TextWidth(textInfo->ShownText) > textInfo->TextArea.Width());
      if (truncated) {
        hintText = textInfo->ShownText;
        isHintMultiLine = multiLine;
        hintTextRect = textInfo->TextArea;
        result = true;
      }
    }
  }
  if (HasItemHint() && (buttonHint || IsPointInRect(GetBounds(), mousePos))) {
    if (!buttonHint) {
      hintText.clear();
      isHintMultiLine = false;
      GetHintTextRect(mousePos, hintTextRect);
    }
    FItem->DoGetCellHint(GetGridRecord(), this, mousePos, hintText, isHintMultiLine, hintTextRect);
    result = buttonHint || !hintText.empty();
  }
  return result;
}

Boolean TcxGridTableDataCellViewInfo::HotTrackable() {
  if (ShowsEditButtons()) return true;
  if (!FProperties || (FProperties->GetCapabilities() & 1) == 0) return false;
  return GetTableView()->GetTableOptionsBehavior()->GetImmediateEditor() || IsFocusedCell();
}

Boolean TcxGridTableDataCellViewInfo::MouseMove(TcxCustomGridHitTest* hitTest, TShiftState shift) {
  orv::TObjectLinkGuard self(this);
  const Boolean result = inherited::MouseMove(hitTest, shift);
  if (self.Alive() && HotTrackable()) UpdateHotTrack(hitTest->GetPos());
  return result;
}

void TcxGridTableDataCellViewInfo::StateChanged(TcxGridCellState prevState) {
  inherited::StateChanged(prevState);
  // Back to normal: the mouse has left, so the editor's look is the one for a point just outside.
  if (GetState() == gcsNone && prevState != gcsNone)
    UpdateHotTrack(TPoint{GetBounds().Left - 1, GetBounds().Top - 1});
}

void TcxGridTableDataCellViewInfo::UpdateHotTrack(const TPoint& point) {
  if (!FEditViewInfo || !FProperties || IsDestroying()) return;
  std::unique_ptr<TcxCustomEditViewInfo, orv::FreeDeleter> fresh(
      static_cast<TcxCustomEditViewInfo*>(orv::ClassOf<TObject>(FProperties->GetViewInfoClass()).Create()));
  CalculateEditViewInfo(fresh.get(), point);
  TcxControl* site = GetControl();
  if (!site || !fresh->InvalidateChanges(site, FEditViewInfo)) return;
  // The fresh look is the one for this point: keep it rather than recalculating from the cursor.
  TcxCustomEditViewInfo* previous = FEditViewInfo;
  FEditViewInfo = fresh.release();
  orv::Free(previous);
  Invalidate();
  if (IsEditing()) GetTableView()->GetTableController()->GetEditingController()->UpdateEdit();
}

Boolean TcxGridTableDataCellViewInfo::IsEditing() {
  return GetTableView()->GetTableController()->GetEditingItem() == FItem && IsFocusedCell();
}

Boolean TcxGridTableDataCellViewInfo::ShowsEditButtons() { return FItem->ShowsEditButtons(GetGridRecord()->GetFocused()); }

Boolean TcxGridTableDataCellViewInfo::ShowsEditorOnMouseDown(TMouseButton button) {
  if (!CanShowEditor()) return false;
  if (button == mbLeft && HotTrackable()) return true;
  return GetTableView()->GetTableOptionsBehavior()->GetAlwaysShowEditor();
}

void TcxGridTableDataCellViewInfo::CalculateEditViewInfo(TcxCustomEditViewInfo* editViewInfo, const TPoint& mousePos) {
  if (!editViewInfo || !FProperties) return;
  // Properties shared by several items (a default repository item's) answer for this item while
  // the cell calculates: its field's alignment and formats.
  FItem->InitProperties(FProperties);
  Boolean mustFree = false;
  TcxCustomEditViewData* viewData = FItem->GetCellViewData(FProperties, mustFree);
  if (!viewData) return;
  // The style is the item's, shared by its cells: it holds this cell's look while it calculates.
  InitStyle();
  struct TGuard {
    TcxCustomGridTableItem* Item;
    TcxCustomEditViewData*& Data;
    Boolean Free;
    ~TGuard() {
      if (Free) Item->DestroyEditViewData(Data);
    }
  } guard{FItem, viewData, mustFree};
  viewData->Data = static_cast<TObject*>(GetGridRecord());
  viewData->PaintFlags = 0;
  viewData->MaxLineCount = 0;
  TRect offsets;
  GetEditContentOffsets(offsets);
  viewData->InplaceClientExtent = offsets;
  if (AllowsMultiLineText() || GetMultiLine()) {
    viewData->PaintFlags |= cxEditPaintOptionMultiLine;
    viewData->MaxLineCount = GetMaxLineCount();
  }
  viewData->IsSelectedView = Selected();
  editViewInfo->IsTransparentView = HasBackgroundBitmap();
  PrepareIncSearchHighlight(viewData);
  viewData->HostItem1 = FItem;
  viewData->HostItem2 = GetGridRecord();
  Variant value;
  GetDisplayValue(value);
  TRect bounds;
  GetEditBounds(bounds);
  TcxCanvas* canvas = GetCanvas();
  viewData->CalculateViewInfo(canvas, bounds, true, editViewInfo, TShiftState(), 0, mousePos);
  viewData->SetViewInfoValue(canvas, value, editViewInfo);
  viewData->Data = static_cast<TObject*>(FItem);
}

void TcxGridTableDataCellViewInfo::Calculate(Integer leftBound, Integer topBound, Integer width, Integer height) {
  // The look follows the record's state (selection, focus), which may have changed since.
  ResetParamsCalculated();
  inherited::Calculate(leftBound, topBound, width, height);
  CalculateEditViewInfo(FEditViewInfo, GetGridViewInfo()->GetMousePos());
  if (!GetGridViewInfo()->IsInternalUse() && IsEditing()) {
    TcxGridEditingController* editing = GetTableView()->GetTableController()->GetEditingController();
    if (!editing->IsEditPreparing()) editing->UpdateEditPosition();
  }
}

Integer TcxGridTableDataCellViewInfo::CalculateHeight() {
  CheckCalculateParams();
  Integer height = 0;
  TcxCanvas* canvas = GetCanvas();
  if (FProperties && (FProperties->GetCapabilities() & 2) != 0 && canvas) {
    Boolean mustFree = false;
    TcxCustomEditViewData* viewData = FItem->GetCellViewData(FProperties, mustFree);
    struct TGuard {
      TcxCustomGridTableItem* Item;
      TcxCustomEditViewData*& Data;
      Boolean Free;
      ~TGuard() {
        if (Free) Item->DestroyEditViewData(Data);
      }
    } guard{FItem, viewData, mustFree};
    TRect textArea;
    GetTextAreaBounds(textArea);
    const Integer width = textArea.Width() + 2;
    if (viewData && width >= 1) {
      viewData->InplaceClientExtent = TRect{};
      viewData->MaxLineCount = GetMaxLineCount();
      viewData->Data = static_cast<TObject*>(GetGridRecord());
      Variant value;
      GetDisplayValue(value);
      TcxEditSizeProperties limits;
      limits.Width = width;
      limits.MaxLineCount = viewData->MaxLineCount;
      TSize size{0, 0};
      viewData->CalculateEditorSize(canvas, value, size, nullptr, limits);
      viewData->Data = static_cast<TObject*>(FItem);
      height = size.cy;
      if (height != 0) height += 2;
    }
    if (height == 0 && !KeepsZeroHeight()) height = FItem->CalculateDefaultCellHeight(canvas, Params().Font);
  } else if (canvas) {
    height = FItem->CalculateDefaultCellHeight(canvas, Params().Font);
  }
  GetTableView()->DoGetCellHeight(GetGridRecord(), FItem, this, height);
  return height;
}

void TcxGridTableDataCellViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  inherited::InitHitTest(hitTest);
  if (auto* cellHitTest = dynamic_cast<TcxGridRecordCellHitTest*>(hitTest)) cellHitTest->SetItem(FItem);
}

TcxCustomGridCellPainterClass TcxGridTableDataCellViewInfo::GetPainterClass() {
  return TcxGridTableDataCellPainter::StaticClass();
}

Boolean TcxGridTableDataCellViewInfo::GetMultiLine() {
  auto* tableViewInfo = static_cast<TcxCustomGridTableViewInfo*>(GetGridViewInfo());
  return tableViewInfo->GetRecordsViewInfo() && tableViewInfo->GetRecordsViewInfo()->ItemCellsMultiLine(FItem);
}

Boolean TcxGridTableDataCellViewInfo::GetShowEndEllipsis() {
  return GetTableView()->GetTableOptionsView()->GetCellEndEllipsis();
}

void TcxGridTableDataCellViewInfo::GetViewParams(TcxViewParams& params) {
  GetTableView()->GetTableStyles()->GetDataCellParams(GetGridRecord(), FItem, false, this, false, params);
}

void TcxGridTableDataCellViewInfo::Offset(Integer dx, Integer dy) {
  inherited::Offset(dx, dy);
  if (FEditViewInfo) FEditViewInfo->OffsetRects(dx, dy);
}

Boolean TcxGridTableDataCellViewInfo::HasCustomDraw() {
  return bool(FItem->GetOnCustomDrawCell()) || GetTableView()->HasCustomDrawCell();
}

Boolean TcxGridTableDataCellViewInfo::CustomDraw(TcxCanvas* canvas) {
  Boolean done = false;
  if (FItem->GetOnCustomDrawCell()) FItem->GetOnCustomDrawCell()(GetTableView(), canvas, this, done);
  if (!done) GetTableView()->DoCustomDrawCell(canvas, this, done);
  return done;
}

void TcxGridTableDataCellViewInfo::InvalidateCell(Boolean recalculate) {
  if (IsDestroying()) return;
  if (recalculate) Recalculate();
  Invalidate();
}

Boolean TcxGridTableDataCellViewInfo::MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button,
                                                TShiftState shift) {
  TcxCustomGridTableView* view = GetTableView();
  TcxCustomGridTableController* controller = view->GetTableController();
  FWasFocusedBeforeClick = IsFocusedCell();
  controller->GetEditingController()->SetEditShowPending(false);
  Owned<TcxGridListenerLink> link(view->AddListenerLink());
  orv::TObjectLinkGuard self(this);
  const Boolean editorOnMouseDown = ShowsEditorOnMouseDown(button);
  controller->SetIsLayoutKnown(false);
  view->SetDontMakeMasterRecordVisible(true);
  Boolean handled = false;
  Boolean itemFocused = false;
  struct TFinally {
    TcxGridListenerLink* Link;
    TcxCustomGridTableView* View;
    TcxCustomGridTableController* Controller;
    ~TFinally() {
      if (!Link->GetGridView()) return;
      View->SetDontMakeMasterRecordVisible(false);
      Controller->SetIsLayoutKnown(true);
    }
  } finally{link.get(), view, controller};
  if (shift.Contains(ssDouble)) {
    if (view->DoCellDblClick(this, button, shift) || !self.Alive()) return false;
  }
  handled = inherited::MouseDown(hitTest, button, shift);
  if (!link->GetGridView() || !self.Alive()) return handled;
  TcxGridEditingController* editing = controller->GetEditingController();
  if (handled && !editing->IsEditPreparing() && !editing->IsEditHiding()) {
    FItem->SetFocused(true);
    itemFocused = FItem->GetFocused();
    if (itemFocused && !self.Alive()) return handled;
    if (itemFocused) {
      if (button == mbMiddle || shift.Contains(ssShift) || shift.Contains(ssCtrl) || !editorOnMouseDown) {
        editing->SetEditShowPending(true);
      } else {
        if (TcxGridSite* site = view->GetSite())
          if (site->CanFocus()) site->SetFocus();
        editing->ShowEditByMouse(FItem, shift, hitTest->GetPos());
      }
    }
  }
  if (self.Alive() && link->GetGridView() && controller->GetFocusedItem() != FItem) controller->SetPressedCell(this);
  return handled;
}

Boolean TcxGridTableDataCellViewInfo::MouseUp(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) {
  Boolean handled = inherited::MouseUp(hitTest, button, shift);
  TcxCustomGridTableView* view = GetTableView();
  TcxCustomGridTableController* controller = view->GetTableController();
  orv::TObjectLinkGuard self(this);
  if (controller->GetPressedCell() == this) {
    controller->SetPressedCell(nullptr);
    if (view->DoCellClick(this, button, shift) || !self.Alive()) return true;
  }
  if (button != mbLeft || shift.Contains(ssShift) || shift.Contains(ssCtrl) || !IsFocusedCell() || !CanShowEditor())
    return handled;
  if (IsEditing()) return true;
  TcxGridEditingController* editing = controller->GetEditingController();
  if (view->GetTableOptionsBehavior()->GetImmediateEditor()) {
    if (editing->IsEditShowPending()) editing->ShowEditByMouse(FItem, shift, hitTest->GetPos());
  } else if (FWasFocusedBeforeClick && !shift.Contains(ssDouble)) {
    editing->ShowEditDelayed(FItem);
  }
  return true;
}

// ==== Filter box ================================================================================

void TcxGridFilterBox::Assign(TPersistent* source) {
  inherited::Assign(source);
  if (auto* box = dynamic_cast<TcxGridFilterBox*>(source)) {
    SetCustomizeDialog(box->FCustomizeDialog);
    SetMRUItemsListDropDownCount(box->FMRUItemsListDropDownCount);
    SetPosition(box->FPosition);
    SetVisible(box->FVisible);
  }
}

void TcxGridFilterBox::SetMRUItemsListDropDownCount(Integer value) {
  value = std::max<Integer>(value, 0);
  if (FMRUItemsListDropDownCount == value) return;
  FMRUItemsListDropDownCount = value;
  Changed(vcProperty);
}

void TcxGridFilterBox::SetCustomizeDialog(Boolean value) {
  if (FCustomizeDialog == value) return;
  FCustomizeDialog = value;
  Changed(vcLayout);
}

void TcxGridFilterBox::SetPosition(TcxGridFilterPosition value) {
  if (FPosition == value) return;
  FPosition = value;
  Changed(vcLayout);
}

void TcxGridFilterBox::SetVisible(TcxGridFilterVisible value) {
  if (FVisible == value) return;
  FVisible = value;
  Changed(vcSize);
}

// ---- Parts ----

TcxCustomGridPartViewInfo::TcxCustomGridPartViewInfo(TcxCustomGridTableViewInfo* gridViewInfo)
    : TcxCustomGridViewCellViewInfo(gridViewInfo) {
  if (IsPart()) gridViewInfo->AddPart(this);
}

void TcxCustomGridPartViewInfo::BeforeDestruction() {
  GetTableViewInfo()->RemovePart(this);
  inherited::BeforeDestruction();
}

TcxCustomGridTableViewInfo* TcxCustomGridPartViewInfo::GetTableViewInfo() const {
  return static_cast<TcxCustomGridTableViewInfo*>(GetGridViewInfo());
}

void TcxCustomGridPartViewInfo::GetPartBounds(TRect& rect) { GetTableViewInfo()->GetPartBounds(this, rect); }

void TcxCustomGridPartViewInfo::CalculateInvisible() {
  FHeight = 0;
  Calculate(0, 0, 0, 0);
}

void TcxCustomGridPartViewInfo::CalculateVisible() {
  FHeight = CalculateHeight();
  TRect rect;
  GetPartBounds(rect);
  Calculate(rect.Left, rect.Top, rect.Width(), FHeight);
}

void TcxCustomGridPartViewInfo::CalculatePart() {
  if (GetVisible())
    CalculateVisible();
  else
    CalculateInvisible();
}

Integer TcxCustomGridPartViewInfo::GetPartIndex() {
  TcxCustomGridTableViewInfo* owner = GetTableViewInfo();
  for (Integer i = 0; i < owner->PartCount(); ++i)
    if (owner->PartAt(i) == this) return i;
  return -1;
}

void TcxCustomGridPartViewInfo::SetPartIndex(Integer value) { GetTableViewInfo()->MovePart(this, value); }

TcxCustomGridCellPainterClass TcxCustomGridPartViewInfo::GetPainterClass() {
  return TcxCustomGridPartPainter::StaticClass();
}

Boolean TcxCustomGridPartViewInfo::HasCustomDrawBackground() {
  return static_cast<TcxCustomGridTableView*>(GetGridView())->HasCustomDrawPartBackground();
}

Boolean TcxCustomGridPartViewInfo::CustomDrawBackground(TcxCanvas* canvas) {
  Boolean done = false;
  static_cast<TcxCustomGridTableView*>(GetGridView())->DoCustomDrawPartBackground(canvas, this, done);
  return done;
}

// ---- Filter buttons ----

TcxCustomGridFilterButtonViewInfo::TcxCustomGridFilterButtonViewInfo(TcxGridFilterButtonsViewInfo* container)
    : TcxCustomGridViewCellViewInfo(container->GetFilterViewInfo()->GetGridViewInfo()), FContainer(container) {}

TcxFilterCriteria* TcxCustomGridFilterButtonViewInfo::GetCriteria() { return FContainer->GetFilterViewInfo()->GetCriteria(); }

Boolean TcxGridFilterCloseButtonViewInfo::IsButtonVisible() { return !GetCriteria()->IsEmptyCriteria(); }
Integer TcxGridFilterCloseButtonViewInfo::CalculateWidth() {
  return ViewPainter(GetGridView())->FilterBoxCloseButtonSize().X;
}
Integer TcxGridFilterCloseButtonViewInfo::CalculateHeight() {
  return ViewPainter(GetGridView())->FilterBoxCloseButtonSize().Y;
}
TcxCustomGridCellPainterClass TcxGridFilterCloseButtonViewInfo::GetPainterClass() {
  return TcxGridFilterCloseButtonPainter::StaticClass();
}
void TcxGridFilterCloseButtonViewInfo::Click() { GetCriteria()->Clear(); }

Boolean TcxGridFilterActivateButtonViewInfo::IsButtonVisible() { return !GetCriteria()->IsEmptyCriteria(); }
Integer TcxGridFilterActivateButtonViewInfo::CalculateWidth() {
  return ViewPainter(GetGridView())->FilterCheckBoxSize().X;
}
Integer TcxGridFilterActivateButtonViewInfo::CalculateHeight() {
  return ViewPainter(GetGridView())->FilterCheckBoxSize().Y;
}
TcxCustomGridCellPainterClass TcxGridFilterActivateButtonViewInfo::GetPainterClass() {
  return TcxGridFilterActivateButtonPainter::StaticClass();
}
Boolean TcxGridFilterActivateButtonViewInfo::Checked() {
  auto* criteria = dynamic_cast<TcxDataFilterCriteria*>(GetCriteria());
  return criteria && criteria->GetActive();
}
void TcxGridFilterActivateButtonViewInfo::Click() {
  if (auto* criteria = dynamic_cast<TcxDataFilterCriteria*>(GetCriteria())) criteria->SetActive(!criteria->GetActive());
}

Boolean TcxGridFilterCustomizeButtonViewInfo::IsButtonVisible() {
  return static_cast<TcxCustomGridTableView*>(GetGridView())->GetFilterBox()->GetCustomizeDialog();
}
void TcxGridFilterCustomizeButtonViewInfo::GetText(AnsiString& text) {
  text = GetLocalizedResourceString(&scxGridFilterCustomizeButtonCaption);
}
void TcxGridFilterCustomizeButtonViewInfo::GetViewParams(TcxViewParams& params) {
  GetContainer()->GetFilterViewInfo()->GetViewParams(params);
}
Integer TcxGridFilterCustomizeButtonViewInfo::CalculateWidth() {
  TcxCustomLookAndFeelPainterClass painter = ViewPainter(GetGridView());
  return 2 * painter->ButtonBorderWidth(cxbsHot) + TextWidth() + 2 * painter->ButtonTextIndent();
}
Integer TcxGridFilterCustomizeButtonViewInfo::CalculateHeight() {
  TcxCustomLookAndFeelPainterClass painter = ViewPainter(GetGridView());
  return 2 * painter->ButtonBorderWidth(cxbsHot) + TextHeight() + 2 * painter->ButtonTextIndent();
}
TcxCustomGridCellPainterClass TcxGridFilterCustomizeButtonViewInfo::GetPainterClass() {
  return TcxGridFilterCustomizeButtonPainter::StaticClass();
}
void TcxGridFilterCustomizeButtonViewInfo::Click() {
  static_cast<TcxCustomGridTableView*>(GetGridView())->GetFiltering()->Customize(nullptr);
}

Boolean TcxGridFilterDropDownButtonViewInfo::IsButtonVisible() {
  return static_cast<TcxCustomGridTableView*>(GetGridView())->GetFiltering()->IsMRUItemsListAvailable();
}
Integer TcxGridFilterDropDownButtonViewInfo::CalculateWidth() {
  return ViewPainter(GetGridView())->FilterBoxCloseButtonSize().X;
}
Integer TcxGridFilterDropDownButtonViewInfo::CalculateHeight() {
  return ViewPainter(GetGridView())->FilterBoxCloseButtonSize().Y;
}
TcxCustomGridCellPainterClass TcxGridFilterDropDownButtonViewInfo::GetPainterClass() {
  return TcxGridFilterDropDownButtonPainter::StaticClass();
}

TcxGridFilterButtonsViewInfo::TcxGridFilterButtonsViewInfo(TcxGridFilterViewInfo* filterViewInfo)
    : FFilterViewInfo(filterViewInfo) {
  CreateItems();
}

TcxGridFilterButtonsViewInfo::~TcxGridFilterButtonsViewInfo() { DestroyItems(); }

void TcxGridFilterButtonsViewInfo::CreateItems() {
  FItems.push_back(new TcxGridFilterCloseButtonViewInfo(this));
  FItems.push_back(new TcxGridFilterActivateButtonViewInfo(this));
  FItems.push_back(new TcxGridFilterCustomizeButtonViewInfo(this));
  FDropDownButton = new TcxGridFilterDropDownButtonViewInfo(this);
  FItems.push_back(FDropDownButton);
  for (TcxCustomGridFilterButtonViewInfo* item : FItems) item->AfterConstruction();
}

void TcxGridFilterButtonsViewInfo::DestroyItems() {
  for (TcxCustomGridFilterButtonViewInfo* item : FItems) orv::Free(item);
  FItems.clear();
  FDropDownButton = nullptr;
}

Integer TcxGridFilterButtonsViewInfo::SideWidth(Boolean right) {
  Integer width = 0;
  for (TcxCustomGridFilterButtonViewInfo* item : FItems)
    if (item->IsButtonVisible() && item->IsRightAligned() == right) width += item->CalculateWidth() + 4;
  return width == 0 ? 0 : width + 4;
}

Integer TcxGridFilterButtonsViewInfo::ButtonsHeight() {
  Integer height = -1;
  for (TcxCustomGridFilterButtonViewInfo* item : FItems)
    if (item->IsButtonVisible()) height = std::max(height, item->CalculateHeight());
  return height < 0 ? 0 : height + 8;
}

void TcxGridFilterButtonsViewInfo::Calculate(const TRect& bounds) {
  Integer left = bounds.Left + 4;
  Integer right = bounds.Right - 4;
  for (TcxCustomGridFilterButtonViewInfo* item : FItems) {
    if (!item->IsButtonVisible()) {
      item->Calculate(0, 0, 0, 0);
      continue;
    }
    const Integer width = item->CalculateWidth();
    Integer height = item->CalculateHeight();
    if (height <= 0) height = bounds.Height() - 8;
    Integer x = item->IsRightAligned() ? right - width : left;
    if (item == FDropDownButton) x = std::min(x, FFilterViewInfo->TextRect().Right + 9);
    const Integer y = Integer(std::lround((bounds.Top + bounds.Bottom - height) / 2.0));
    item->Calculate(x, y, width, height);
    if (item->IsRightAligned())
      right = x - 4;
    else
      left = x + width + 4;
  }
}

TcxCustomGridHitTest* TcxGridFilterButtonsViewInfo::GetHitTest(const TPoint& point) {
  for (TcxCustomGridFilterButtonViewInfo* item : FItems)
    if (item->IsButtonVisible())
      if (TcxCustomGridHitTest* hitTest = item->GetHitTest(point)) return hitTest;
  return nullptr;
}

void TcxGridFilterButtonsViewInfo::Paint(TcxCanvas* canvas) {
  for (TcxCustomGridFilterButtonViewInfo* item : FItems)
    if (item->IsButtonVisible()) item->Paint(canvas);
}

// ---- The strip ----

TcxGridFilterViewInfo::TcxGridFilterViewInfo(TcxCustomGridTableViewInfo* gridViewInfo)
    : TcxCustomGridPartViewInfo(gridViewInfo) {
  FButtonsViewInfo = ButtonsViewInfoClass().Create(this);
}

void TcxGridFilterViewInfo::BeforeDestruction() {
  FreeAndNil(FButtonsViewInfo);
  inherited::BeforeDestruction();
}

TcxFilterCriteria* TcxGridFilterViewInfo::GetCriteria() { return GetGridView()->GetDataController()->GetFilter(); }

Integer TcxGridFilterViewInfo::GetAlignment() {
  return static_cast<TcxCustomGridTableView*>(GetGridView())->GetFilterBox()->GetPosition() == fpTop ? 0 : 1;
}

Boolean TcxGridFilterViewInfo::GetVisible() {
  switch (static_cast<TcxCustomGridTableView*>(GetGridView())->GetFilterBox()->GetVisible()) {
    case fvAlways:
      return true;
    case fvNonEmpty:
      return !GetCriteria()->IsEmptyCriteria();
    default:
      return false;
  }
}

Integer TcxGridFilterViewInfo::CalculateHeight() {
  return std::max(TextHeight() + 6, FButtonsViewInfo->ButtonsHeight());
}

void TcxGridFilterViewInfo::Calculate(Integer leftBound, Integer topBound, Integer width, Integer height) {
  inherited::Calculate(leftBound, topBound, width, height);
  if (GetPartHeight() > 0) {
    TRect area;
    GetButtonsAreaBounds(area);
    FButtonsViewInfo->Calculate(area);
  }
}

void TcxGridFilterViewInfo::GetText(AnsiString& text) {
  text = GetCriteria()->GetFilterCaption();
  if (text.empty()) text = GetLocalizedResourceString(&scxGridFilterIsEmpty);
}

void TcxGridFilterViewInfo::GetTextAreaBounds(TRect& rect) {
  inherited::GetTextAreaBounds(rect);
  rect.Left += FButtonsViewInfo->SideWidth(false) + 3;
  rect.Right -= FButtonsViewInfo->SideWidth(true) + 3;
}

TRect TcxGridFilterViewInfo::TextRect() {
  TRect area;
  GetTextAreaBounds(area);
  const Integer width = std::min(TextWidth(), area.Width());
  const Integer height = TextHeight();
  const Integer top = area.Top + (area.Height() - height) / 2;
  return TRect{area.Left, top, area.Left + width, top + height};
}

void TcxGridFilterViewInfo::GetViewParams(TcxViewParams& params) {
  GetGridView()->GetStyles()->ResolveStyleParams(vsFilterBox, nullptr, nullptr, params);
}

TBitmap* TcxGridFilterViewInfo::GetBackgroundBitmap() { return GetGridView()->GetBackgroundBitmaps()->GetBitmap(2); }

TcxCustomGridHitTest* TcxGridFilterViewInfo::GetHitTest(const TPoint& point) {
  if (!GetVisible() || GetPartHeight() == 0) return nullptr;
  if (TcxCustomGridHitTest* hitTest = FButtonsViewInfo->GetHitTest(point)) return hitTest;
  return inherited::GetHitTest(point);
}

Boolean TcxGridFilterViewInfo::HasPoint(const TPoint& point) { return IsPointInRect(GetBounds(), point); }

TcxCustomGridCellPainterClass TcxGridFilterViewInfo::GetPainterClass() { return TcxGridFilterPainter::StaticClass(); }

void TcxGridFilterViewInfo::Offset(Integer dx, Integer dy) {
  inherited::Offset(dx, dy);
  for (Integer i = 0; i < FButtonsViewInfo->Count(); ++i) FButtonsViewInfo->Item(i)->Offset(dx, dy);
}

// ==== Table view info ===========================================================================

TcxCustomGridTableViewInfo::~TcxCustomGridTableViewInfo() = default;

TcxCustomGridTableView* TcxCustomGridTableViewInfo::GetTableView() const {
  return static_cast<TcxCustomGridTableView*>(GetGridView());
}

void TcxCustomGridTableViewInfo::CreateViewInfos() {
  FFilterViewInfo = FilterViewInfoClass().Create(this);
  FFilterViewInfo->AfterConstruction();
  inherited::CreateViewInfos();
  FNavigatorSiteViewInfo = NavigatorSiteViewInfoClass().Create(this);
  // The navigator keeps its state (hot and pressed buttons, timers) across re-creation.
  if (!FNavigatorViewInfo) {
    FNavigatorViewInfo = NavigatorViewInfoClass().Create(static_cast<IcxNavigatorOwner*>(this), false);
    if (TcxNavigatorControlNotifier* notifier = GetTableView()->GetNavigatorNotifier()) notifier->AddNavigator(this);
  }
  FRecordsViewInfo = RecordsViewInfoClass().Create(this);
}

void TcxCustomGridTableViewInfo::DestroyViewInfos(Boolean full) {
  FreeAndNil(FRecordsViewInfo);
  FreeAndNil(FNavigatorSiteViewInfo);
  // Recreation passes full; the view info's own end does not.
  if (!full) {
    if (TcxNavigatorControlNotifier* notifier = GetTableView()->GetNavigatorNotifier())
      notifier->RemoveNavigator(this);
    FreeAndNil(FNavigatorViewInfo);
  }
  inherited::DestroyViewInfos(full);
  FreeAndNil(FFilterViewInfo);
}

void TcxCustomGridTableViewInfo::RemovePart(TcxCustomGridPartViewInfo* part) {
  FParts.erase(std::remove(FParts.begin(), FParts.end(), part), FParts.end());
}

void TcxCustomGridTableViewInfo::MovePart(TcxCustomGridPartViewInfo* part, Integer index) {
  RemovePart(part);
  index = std::clamp<Integer>(index, 0, Integer(FParts.size()));
  FParts.insert(FParts.begin() + index, part);
}

Integer TcxCustomGridTableViewInfo::FirstRecordIndex() {
  return FFirstRecordIndex != -1 ? FFirstRecordIndex : GetTableView()->GetTableController()->GetTopRecordIndex();
}

Integer TcxCustomGridTableViewInfo::VisibleRecordCount() {
  return FRecordsViewInfo ? FRecordsViewInfo->GetVisibleCount() : 0;
}

void TcxCustomGridTableViewInfo::Calculate() {
  for (TcxCustomGridPartViewInfo* part : FParts) part->CalculatePart();
  if (FRecordsViewInfo) FRecordsViewInfo->Calculate();
  inherited::Calculate();
  CalculateNavigator();
}

void TcxCustomGridTableViewInfo::GetClientBounds(TRect& rect) {
  inherited::GetClientBounds(rect);
  for (TcxCustomGridPartViewInfo* part : FParts) {
    if (part->GetAlignment() == 0)
      rect.Top += part->GetPartHeight();
    else
      rect.Bottom -= part->GetPartHeight();
  }
}

void TcxCustomGridTableViewInfo::GetPartBounds(TcxCustomGridPartViewInfo* part, TRect& rect) {
  TRect content;
  GetClientBounds(content);
  rect = content;
  const TRect full = UnreducedClientBounds();
  if (part->IsFullWidth()) {
    rect.Left = full.Left;
    rect.Right = full.Right;
  } else {
    rect.Right = rect.Left + part->GetPartWidth();
  }
  for (Integer i = PartCount() - 1; i >= 0; --i) {
    TcxCustomGridPartViewInfo* p = PartAt(i);
    if (p->GetAlignment() == 0)
      rect.Top -= p->GetPartHeight();
    else
      rect.Bottom += p->GetPartHeight();
    if (p == part) break;
  }
  if (part->GetAlignment() == 0)
    rect.Bottom = rect.Top + part->GetPartHeight();
  else
    rect.Top = rect.Bottom - part->GetPartHeight();
}

void TcxCustomGridTableViewInfo::GetNoDataInfoText(AnsiString& text) {
  text = GetTableView()->GetTableOptionsView()->GetNoDataToDisplayInfoText();
}

void TcxCustomGridTableViewInfo::GetNoDataInfoTextAreaBounds(TRect& rect) {
  GetClientBounds(rect);
  if (FRecordsViewInfo && !RectIsEmpty(FRecordsViewInfo->ContentBounds())) {
    TRect records = FRecordsViewInfo->ContentBounds();
    IntersectRects(rect, rect, records);
  }
}

void TcxCustomGridTableViewInfo::GetNoDataInfoTextParams(TcxViewParams& params) {
  GetGridView()->GetStyles()->ResolveStyleParams(vsContent, nullptr, nullptr, params);
}

Boolean TcxCustomGridTableViewInfo::ShowsNoDataInfoText() {
  if (!FRecordsViewInfo || !FRecordsViewInfo->IsEmpty()) return false;
  AnsiString text;
  GetNoDataInfoText(text);
  return !text.empty();
}

Integer TcxCustomGridTableViewInfo::GetNonRecordsAreaHeight(Boolean withScrollBars) {
  Integer height = 0;
  for (TcxCustomGridPartViewInfo* part : FParts) height += part->GetPartHeight();
  if (withScrollBars) {
    TcxGridSite* site = GetSiteValue();
    if (site && site->IsHScrollBarVisible())
      height += site->GetHScrollBar()->GetHeight();
    else if (IsNavigatorVisible())
      height += NavigatorSiteHeight();
  }
  return height;
}

TcxCustomGridHitTest* TcxCustomGridTableViewInfo::GetContentHitTest(const TPoint& point) {
  TRect client;
  GetClientBounds(client);
  if (IsPointInRect(UnreducedClientBounds(), point)) {
    for (TcxCustomGridPartViewInfo* part : FParts)
      if (part->GetVisible())
        if (TcxCustomGridHitTest* hitTest = part->GetHitTest(point)) return hitTest;
    if (FRecordsViewInfo)
      if (TcxCustomGridHitTest* hitTest = FRecordsViewInfo->GetHitTest(point)) return hitTest;
  } else if (FNavigatorSiteViewInfo && FNavigatorSiteViewInfo->GetVisible()) {
    if (TcxCustomGridHitTest* hitTest = FNavigatorSiteViewInfo->GetHitTest(point)) return hitTest;
  }
  return inherited::GetContentHitTest(point);
}

void TcxCustomGridTableViewInfo::VisibilityChanged(Boolean visible) {
  if (FRecordsViewInfo) FRecordsViewInfo->VisibilityChanged(visible);
  inherited::VisibilityChanged(visible);
}

void TcxCustomGridTableViewInfo::ControlFocusChanged() {
  if (FRecordsViewInfo) FRecordsViewInfo->ControlFocusChanged();
}

void TcxCustomGridTableViewInfo::AfterCalculating() { inherited::AfterCalculating(); }

void TcxCustomGridTableViewInfo::AfterOffset() {
  if (FRecordsViewInfo) FRecordsViewInfo->AfterOffset();
}

void TcxCustomGridTableViewInfo::BeforeOffset() {
  if (FRecordsViewInfo) FRecordsViewInfo->BeforeOffset();
}

void TcxCustomGridTableViewInfo::OffsetRecords(Integer recordCount) {
  if (FRecordsViewInfo) FRecordsViewInfo->OffsetRecords(recordCount);
}

void TcxCustomGridTableViewInfo::OffsetBy(Integer dx, Integer dy) {
  if (FRecordsViewInfo) FRecordsViewInfo->OffsetBy(dx, dy);
}

Boolean TcxCustomGridTableViewInfo::CanOffsetRecords(Integer recordCount) {
  return FRecordsViewInfo && FRecordsViewInfo->CanOffsetRecords(recordCount);
}

void TcxCustomGridTableViewInfo::Offset(Integer recordCount, Integer dx, Integer dy) {
  if (!CanOffset(recordCount, dx, dy)) {
    Recalculate();
    return;
  }
  TcxCustomGridTableController* controller = GetTableView()->GetTableController();
  controller->BeforeScrolling();
  BeforeOffset();
  if (recordCount != 0)
    OffsetRecords(recordCount);
  else
    OffsetBy(dx, dy);
  AfterOffset();
  controller->AfterScrolling();
  // The shifted layout is not calculated again: the scroll bars learn the new top here.
  if (!IsInternalUseAny()) controller->UpdateScrollBars(false);
}

// ==== Painters ==================================================================================

Boolean TcxCustomGridTablePainter::CanScrollWindow(Integer recordsDistance, Integer dx, Integer dy) {
  TcxCustomGridTableViewInfo* viewInfo = TableViewInfo();
  if (GetGridView()->IsDesignTime() || viewInfo->GetBackgroundBitmap()) return false;
  if (viewInfo->GetRecordsViewInfo() && viewInfo->GetRecordsViewInfo()->GetBackgroundBitmap()) return false;
  return !viewInfo->ShowsNoDataInfoText();
}

void TcxCustomGridTablePainter::Scroll(Integer recordsDistance, Integer dx, Integer dy) {
  TcxGridSite* site = GetSite();
  if (!site || !site->HandleAllocated()) return;
  if (!CanScrollWindow(recordsDistance, dx, dy)) {
    Invalidate();
    return;
  }
  if (recordsDistance != 0)
    ScrollRecords(recordsDistance);
  else
    ScrollPixels(dx, dy);
}

void TcxCustomGridTablePainter::DrawFilterBox() {
  if (TcxGridFilterViewInfo* filter = TableViewInfo()->GetFilterViewInfo())
    if (filter->GetVisible() && filter->GetPartHeight() > 0) {
      filter->Paint(Canvas());
      ExcludeFromBackground(filter->GetBounds());
    }
}

void TcxCustomGridTablePainter::DrawRecords() {
  if (TcxCustomGridRecordsViewInfo* records = TableViewInfo()->GetRecordsViewInfo()) records->Paint(Canvas());
}

void TcxCustomGridTablePainter::PaintContent() {
  DrawFilterBox();
  DrawRecords();
  DrawNavigator();
}

void TcxCustomGridTablePainter::DrawBackground() {
  inherited::DrawBackground();
  if (TableViewInfo()->ShowsNoDataInfoText()) DrawNoDataInfo();
}

void TcxCustomGridTablePainter::DrawNoDataInfo() {
  TcxCustomGridTableViewInfo* viewInfo = TableViewInfo();
  TcxCanvas* canvas = Canvas();
  TcxViewParams params;
  viewInfo->GetNoDataInfoTextParams(params);
  if (params.Font) canvas->SetFont(params.Font);
  canvas->SetFontColor(params.TextColor);
  canvas->SetBrushClear(true);
  AnsiString text;
  viewInfo->GetNoDataInfoText(text);
  TRect rect;
  viewInfo->GetNoDataInfoTextAreaBounds(rect);
  canvas->DrawTextInRect(text, rect, cxAlignHCenter | cxAlignVCenter | cxWordBreak, true);
  canvas->SetBrushClear(false);
}

void TcxCustomGridRecordsPainter::Paint() {
  for (Integer i = 0; i < FViewInfo->Count(); ++i)
    if (TcxCustomGridRecordViewInfo* item = FViewInfo->ExistingItem(i))
      if (item->GetCalculated()) item->Paint(FCanvas);
}

void TcxCustomGridRecordPainter::BeforePaint() {
  TcxCustomGridRecordViewInfo* viewInfo = RecordViewInfo();
  if (viewInfo->HasExpandButton() && DrawExpandButtonFirst()) DrawExpandButton();
  if (viewInfo->HasBackground()) {
    TRect area;
    viewInfo->GetBackgroundArea(area);
    DrawBackground(area);
  }
}

void TcxCustomGridRecordPainter::AfterPaint() {
  TcxCustomGridRecordViewInfo* viewInfo = RecordViewInfo();
  DrawFocusRect();
  if (viewInfo->HasExpandButton() && !DrawExpandButtonFirst()) DrawExpandButton();
  viewInfo->GetTableView()->GetPainter()->ExcludeFromBackground(viewInfo->GetBounds());
  inherited::AfterPaint();
}

void TcxCustomGridRecordPainter::DrawExpandButton() {
  TcxCustomGridRecordViewInfo* viewInfo = RecordViewInfo();
  TcxCanvas* canvas = GetCanvas();
  canvas->PushClipRegion();
  try {
    ViewPainter(viewInfo->GetTableView())
        ->DrawExpandCollapseButton(canvas, viewInfo->ExpandButtonBounds(), viewInfo->Expanded(), clDefault);
  } catch (...) {
    canvas->PopClipRegion();
    throw;
  }
  canvas->PopClipRegion();
}

void TcxCustomGridRecordPainter::DrawFocusRect() {
  TcxCustomGridRecordViewInfo* viewInfo = RecordViewInfo();
  TcxCustomGridTableView* view = viewInfo->GetTableView();
  if (!view->GetTableOptionsView()->GetFocusRect()) return;
  if (!viewInfo->Focused() || !viewInfo->SelectsWholeRecord()) return;
  TRect rect;
  viewInfo->GetRecordContentBounds(rect);
  view->GetPainter()->DrawFocusRect(rect, viewInfo->HideFocusRectOnExit());
}

void TcxGridTableDataCellPainter::DrawContent() {
  TcxGridTableDataCellViewInfo* viewInfo = CellViewInfo();
  if (viewInfo->HasBackgroundBitmap()) DrawBackground();
  if (TcxCustomEditViewInfo* editViewInfo = viewInfo->GetEditViewInfo()) editViewInfo->Paint(GetCanvas());
}

void TcxGridTableDataCellPainter::Paint() {
  inherited::Paint();
  DrawFocusRect();
}

void TcxGridTableDataCellPainter::DrawFocusRect() {
  TcxGridTableDataCellViewInfo* viewInfo = CellViewInfo();
  TcxCustomGridTableView* view = viewInfo->GetTableView();
  if (!view->GetTableOptionsView()->GetFocusRect()) return;
  if (!viewInfo->IsFocusedCell() || !viewInfo->DrawsFocusRect()) return;
  TRect rect;
  viewInfo->GetContentBounds(rect);
  view->GetPainter()->DrawFocusRect(rect, view->GetTableOptionsSelection()->GetHideFocusRectOnExit());
}

void TcxGridFilterPainter::DrawBackground(const TRect& rect) {
  TcxGridFilterViewInfo* viewInfo = static_cast<TcxGridFilterViewInfo*>(GetViewInfo());
  ViewPainter(viewInfo->GetGridView())
      ->DrawFilterBoxBackground(GetCanvas(), rect, viewInfo->GetBackgroundBitmap(), viewInfo->Params().Color);
}

void TcxGridFilterPainter::PrepareCanvasForDrawText() {
  TcxGridCellState state = GetViewInfo()->GetState();
  FUnderlineAdded = false;
  if (state == gcsNone) return;
  TFontStyles style = GetCanvas()->GetFont()->GetStyle();
  if (style.Contains(fsUnderline)) return;
  GetCanvas()->GetFont()->SetStyle(style + TFontStyles{fsUnderline});
  FUnderlineAdded = true;
}

void TcxGridFilterPainter::UnprepareCanvasForDrawText() {
  if (!FUnderlineAdded) return;
  GetCanvas()->GetFont()->SetStyle(GetCanvas()->GetFont()->GetStyle() - TFontStyles{fsUnderline});
  FUnderlineAdded = false;
}

void TcxGridFilterPainter::Paint() {
  inherited::Paint();
  static_cast<TcxGridFilterViewInfo*>(GetViewInfo())->GetButtonsViewInfo()->Paint(GetCanvas());
}

void TcxGridFilterCloseButtonPainter::Paint() {
  ViewPainter(static_cast<TcxCustomGridViewCellViewInfo*>(GetViewInfo())->GetGridView())
      ->DrawFilterBoxCloseButton(GetCanvas(), GetViewInfo()->GetBounds(), GetViewInfo()->ButtonState());
}

void TcxGridFilterActivateButtonPainter::Paint() {
  auto* viewInfo = static_cast<TcxGridFilterActivateButtonViewInfo*>(GetViewInfo());
  ViewPainter(viewInfo->GetGridView())
      ->DrawFilterActivateButton(GetCanvas(), viewInfo->GetBounds(), viewInfo->ButtonState(), viewInfo->Checked());
}

void TcxGridFilterCustomizeButtonPainter::Paint() {
  auto* viewInfo = static_cast<TcxGridFilterCustomizeButtonViewInfo*>(GetViewInfo());
  if (viewInfo->Params().Font) GetCanvas()->SetFont(viewInfo->Params().Font);
  AnsiString caption;
  viewInfo->GetText(caption);
  ViewPainter(viewInfo->GetGridView())
      ->DrawPushButton(GetCanvas(), viewInfo->GetBounds(), caption, viewInfo->ButtonState(), true, clDefault, clDefault);
}

void TcxGridFilterDropDownButtonPainter::Paint() {
  auto* viewInfo = static_cast<TcxGridFilterDropDownButtonViewInfo*>(GetViewInfo());
  ViewPainter(viewInfo->GetGridView())
      ->DrawFilterDropDownArrowButton(GetCanvas(), viewInfo->GetBounds(), viewInfo->ButtonState(), false);
}
