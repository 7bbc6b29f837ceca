// The layout of the grid table view: the table view info with its strips and indicator, the
// rows view info that lays the rows from the first visible record down, the row, data row and
// data cell view infos, the column headers with their areas, the footer and the group-by box.
#include "components/grid/cxGridTableViewInfo.h"
#include "components/grid/cxGridGroupRowViewInfo.h"

#include <algorithm>
#include <memory>

#include "components/data/cxCustomData.h"
#include "components/data/cxFilter.h"
#include "components/foundation/cxClasses.h"
#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/grid/cxGrid.h"
#include "components/grid/cxGridStrs.h"
#include "components/grid/cxGridTableViewController.h"
#include "platform/controls/Forms.h"
#include "platform/drawing/Gdi.h"

namespace {

TcxCustomLookAndFeelPainterClass TableViewPainter(TcxCustomGridView* view) { return view->LookAndFeelPainter(); }

Boolean HasHorzGridLines(TcxGridLines lines) { return lines == glBoth || lines == glHorizontal; }

// The height of "Qq" in the font, plus the usual 4.
Integer FontBasedHeight(TcxCustomGridViewInfo* viewInfo, TFont* font) { return viewInfo->GetFontHeight(font) + 4; }

}  // namespace

// ==== Table view info ============================================================================

TcxGridTableView* TcxGridTableViewInfo::GridView() const { return static_cast<TcxGridTableView*>(GetGridView()); }

TcxGridRowsViewInfo* TcxGridTableViewInfo::RowsViewInfo() const {
  return static_cast<TcxGridRowsViewInfo*>(GetRecordsViewInfo());
}

orv::ClassOf<TcxGridFooterViewInfo> TcxGridTableViewInfo::GetFooterViewInfoClass() {
  return TcxGridFooterViewInfo::StaticClass();
}
orv::ClassOf<TcxGridGroupByBoxViewInfo> TcxGridTableViewInfo::GetGroupByBoxViewInfoClass() {
  return TcxGridGroupByBoxViewInfo::StaticClass();
}
orv::ClassOf<TcxGridHeaderViewInfo> TcxGridTableViewInfo::GetHeaderViewInfoClass() {
  return TcxGridHeaderViewInfo::StaticClass();
}
orv::ClassOf<TcxGridIndicatorViewInfo> TcxGridTableViewInfo::GetIndicatorViewInfoClass() {
  return TcxGridIndicatorViewInfo::StaticClass();
}
TcxGridHeaderViewInfoSpecificClass TcxGridTableViewInfo::GetHeaderViewInfoSpecificClass() {
  return TcxGridHeaderViewInfoSpecific::StaticClass();
}
TcxCustomGridRecordsViewInfoClass TcxGridTableViewInfo::RecordsViewInfoClass() {
  return TcxGridRowsViewInfo::StaticClass();
}
TcxCustomGridCellPainterClass TcxGridTableViewInfo::GetFooterPainterClass() {
  return TcxGridFooterPainter::StaticClass();
}

void TcxGridTableViewInfo::CreateViewInfos() {
  FGroupByBoxViewInfo = GetGroupByBoxViewInfoClass().Create(this);
  FGroupByBoxViewInfo->AfterConstruction();
  FHeaderViewInfo = GetHeaderViewInfoClass().Create(this);
  FHeaderViewInfo->AfterConstruction();
  FFooterViewInfo = GetFooterViewInfoClass().Create(this);
  FFooterViewInfo->AfterConstruction();
  FIndicatorViewInfo = GetIndicatorViewInfoClass().Create(this);
  FIndicatorViewInfo->AfterConstruction();
  inherited::CreateViewInfos();
  // The filter box stands next to the header above the rows or next to the footer below them.
  if (TcxGridFilterViewInfo* filter = GetFilterViewInfo()) {
    if (filter->GetAlignment() == 0)
      filter->SetPartIndex(FHeaderViewInfo->GetPartIndex());
    else
      filter->SetPartIndex(FFooterViewInfo->GetPartIndex());
  }
}

void TcxGridTableViewInfo::DestroyViewInfos(Boolean full) {
  // The rows first: they free their indicator cells.
  inherited::DestroyViewInfos(full);
  FreeAndNil(FIndicatorViewInfo);
  FreeAndNil(FFooterViewInfo);
  FreeAndNil(FHeaderViewInfo);
  FreeAndNil(FGroupByBoxViewInfo);
}

void TcxGridTableViewInfo::CalculateExpandButtonParams() {
  FExpandButtonIndent = 3;
  FExpandButtonSize = TableViewPainter(GetGridView())->ExpandCollapseButtonSize();
  FLevelIndent = FExpandButtonSize + 2 * FExpandButtonIndent;
}

void TcxGridTableViewInfo::BeforeCalculating() {
  inherited::BeforeCalculating();
  CalculateExpandButtonParams();
  if (!IsInternalUse() && !IsSizeCalculating() && RowsViewInfo()) FPrevDataRowHeight = RowsViewInfo()->GetDataRowHeight();
}

void TcxGridTableViewInfo::AfterCalculating() {
  // A changed row height changes how many rows a grid-mode buffer needs: the controller checks
  // its buffer once the layout has settled.
  if (!IsInternalUse() && !IsSizeCalculating() && RowsViewInfo() && RowsViewInfo()->GetDataRowHeight() != FPrevDataRowHeight)
    GridView()->GetTableController()->PostCheckTopRecordIndex();
  inherited::AfterCalculating();
}

void TcxGridTableViewInfo::CalculateParts() {
  for (TcxCustomGridPartViewInfo* part :
       {static_cast<TcxCustomGridPartViewInfo*>(FGroupByBoxViewInfo), static_cast<TcxCustomGridPartViewInfo*>(GetFilterViewInfo()),
        static_cast<TcxCustomGridPartViewInfo*>(FHeaderViewInfo), static_cast<TcxCustomGridPartViewInfo*>(FFooterViewInfo)})
    if (part) part->CalculatePart();
}

void TcxGridTableViewInfo::Calculate() {
  FDataWidth = 0;
  FClientBoundsFrozen = false;
  RecreateViewInfos();
  try {
    CalculateParts();
    GetClientBounds(FFrozenClientBounds);
    FClientBoundsFrozen = true;
    const Integer headerHeight = FHeaderViewInfo->GetPartHeight();
    FIndicatorViewInfo->Calculate(GetBounds().Left, FFrozenClientBounds.Top - headerHeight);
  } catch (...) {
    if (!FClientBoundsFrozen) {
      GetClientBounds(FFrozenClientBounds);
      FClientBoundsFrozen = true;
    }
    if (GetRecordsViewInfo()) GetRecordsViewInfo()->Calculate();
    TcxCustomGridViewInfo::Calculate();
    throw;
  }
  if (GetRecordsViewInfo()) GetRecordsViewInfo()->Calculate();
  TcxCustomGridViewInfo::Calculate();
}

void TcxGridTableViewInfo::GetClientBounds(TRect& rect) {
  if (FClientBoundsFrozen) {
    rect = FFrozenClientBounds;
    return;
  }
  inherited::GetClientBounds(rect);
  rect.Left += IndicatorWidth();
}

void TcxGridTableViewInfo::GetPartBounds(TcxCustomGridPartViewInfo* part, TRect& rect) {
  inherited::GetPartBounds(part, rect);
  if (part == FFooterViewInfo && FHeaderViewInfo) {
    // The footer spans what the header spans.
    TRect header;
    inherited::GetPartBounds(FHeaderViewInfo, header);
    rect.Left = header.Left;
    rect.Right = header.Right;
  }
  if (part == FHeaderViewInfo || part == FFooterViewInfo) rect = GetOffsetRect(rect, -LeftPos(), 0);
}

Integer TcxGridTableViewInfo::IndicatorWidth() {
  return FIndicatorViewInfo && FIndicatorViewInfo->GetVisible() ? GridView()->GetOptionsView()->GetIndicatorWidth() : 0;
}

Integer TcxGridTableViewInfo::LeftPos() {
  auto* controller = dynamic_cast<TcxGridTableController*>(GridView()->GetController());
  return controller ? controller->GetLeftPos() : 0;
}

Integer TcxGridTableViewInfo::ClientWidthForAutoWidth() {
  TRect client;
  GetClientBounds(client);
  return std::max(0, client.Width());
}

Integer TcxGridTableViewInfo::DataWidth() {
  if (FDataWidth == 0) FDataWidth = CalculateDataWidth();
  return FDataWidth;
}

Integer TcxGridTableViewInfo::CalculateDataWidth() {
  Integer width = FHeaderViewInfo ? FHeaderViewInfo->GetWidth() : 0;
  if (width == 0 && GridView()->GetOptionsView()->GetColumnAutoWidth()) width = ClientWidthForAutoWidth();
  return width;
}

void TcxGridTableViewInfo::CalculateWidth(const TPoint& maxSize, Integer& width) {
  if (GridView()->GetOptionsView()->GetColumnAutoWidth())
    width = ClientWidthForAutoWidth();
  else
    width = IndicatorWidth() + DataWidth();
  inherited::CalculateWidth(maxSize, width);
}

TColor TcxGridTableViewInfo::GetGridLineColor() {
  const TColor color = GridView()->GetOptionsView()->GetGridLineColor();
  return color == clDefault ? TableViewPainter(GetGridView())->DefaultGridLineColor() : color;
}

TcxBorders TcxGridTableViewInfo::GetCellBorders(Boolean isRightMost) {
  switch (GridView()->GetOptionsView()->GetGridLines()) {
    case glBoth: return TcxBorders{bRight, bBottom};
    case glNone: return TcxBorders();
    case glVertical: return TcxBorders{bRight};
    case glHorizontal: return isRightMost ? TcxBorders{bRight, bBottom} : TcxBorders{bBottom};
  }
  return TcxBorders();
}

Integer TcxGridTableViewInfo::GetVisualLevelCount() {
  TcxGridTableView* view = GridView();
  Integer count = view->GetGroupedColumnCount();
  if (count > 0 && view->GetOptionsView()->GetGroupRowStyle() == grsOffice11) --count;
  if (view->IsMaster()) ++count;
  return count;
}

Integer TcxGridTableViewInfo::GetLevelIndentsWidth() { return GetVisualLevelCount() * FLevelIndent; }

Integer TcxGridTableViewInfo::GetVisualLevel(Integer level) {
  TcxGridTableView* view = GridView();
  if (level != 0 && level == view->GetGroupedColumnCount() &&
      view->GetOptionsView()->GetGroupRowStyle() == grsOffice11)
    return level - 1;
  return level;
}

void TcxGridTableViewInfo::CalculateVerticalScrollRects(Integer delta, TRect& scrollRect, TRect& updateRect) {
  // The rows are already laid at their new places. `updateRect` is the rows area (with the
  // indicator beside it): what in it gets no copied pixels is repainted. `scrollRect` is where
  // the rows that show whole both before and after the scroll were, so that a row cut by the
  // bottom edge is never copied.
  TcxGridRowsViewInfo* rows = RowsViewInfo();
  TRect client;
  GetClientBounds(client);
  updateRect = client;
  updateRect.Left = GetBounds().Left;
  updateRect.Top = rows->ContentBounds().Top;
  const Integer top = updateRect.Top;
  const Integer bottom = updateRect.Bottom;
  Integer destTop = delta < 0 ? top : top + delta;
  Integer destBottom = destTop;
  for (Integer i = 0; i < rows->Count(); ++i) {
    TcxCustomGridRowViewInfo* row = rows->Row(i);
    if (!row || !row->GetCalculated()) continue;
    const TRect& b = row->GetBounds();
    if (b.Top < destTop) continue;
    // Whole now and whole before the scroll.
    if (b.Bottom > bottom || b.Bottom - delta > bottom) break;
    destBottom = b.Bottom;
  }
  scrollRect = updateRect;
  scrollRect.Top = destTop - delta;
  scrollRect.Bottom = std::max(scrollRect.Top, destBottom - delta);
}

void TcxGridTableViewInfo::CalculateHorizontalScrollRects(Integer delta, TRect& scrollRect, TRect& updateRect) {
  TRect client;
  GetClientBounds(client);
  scrollRect = client;
  scrollRect.Top = FHeaderViewInfo->GetPartHeight() > 0 ? FHeaderViewInfo->GetBounds().Top : client.Top;
  scrollRect.Bottom = FFooterViewInfo->GetPartHeight() > 0 ? FFooterViewInfo->GetBounds().Bottom : client.Bottom;
  updateRect = scrollRect;
  if (delta < 0)
    updateRect.Left = std::max(scrollRect.Left, scrollRect.Right + delta);
  else
    updateRect.Right = std::min(scrollRect.Right, scrollRect.Left + delta);
}

TcxCustomGridHitTest* TcxGridTableViewInfo::GetContentHitTest(const TPoint& point) {
  if (IsPointInRect(UnreducedClientBounds(), point)) {
    if (FIndicatorViewInfo && FIndicatorViewInfo->GetVisible())
      if (TcxCustomGridHitTest* hitTest = FIndicatorViewInfo->GetHitTest(point)) return hitTest;
  }
  return inherited::GetContentHitTest(point);
}

Integer TcxGridTableViewInfo::GetNonRecordsAreaHeight(Boolean withScrollBars) {
  Integer height = inherited::GetNonRecordsAreaHeight(withScrollBars);
  if (TcxGridRowsViewInfo* rows = RowsViewInfo()) {
    if (rows->FilterRowViewInfo()) height += rows->FilterRowViewInfo()->GetBounds().Height();
    if (rows->NewItemRowViewInfo()) height += rows->NewItemRowViewInfo()->GetBounds().Height();
  }
  return height;
}

Integer TcxGridTableViewInfo::HeightForRecordCount(Integer count) {
  Integer height = GetNonRecordsAreaHeight(true) + count * (RowsViewInfo() ? RowsViewInfo()->GetRowHeight() : 0);
  const TcxGridLines lines = GridView()->GetOptionsView()->GetGridLines();
  if (lines == glNone || lines == glVertical) ++height;
  return height;
}

Integer TcxGridTableViewInfo::AdjustHeightToRecords(Integer height, Boolean extraRecord) {
  const Integer rowHeight = RowsViewInfo() ? RowsViewInfo()->GetRowHeight() : 0;
  if (rowHeight <= 0) return height;
  const Integer nonRows = GetNonRecordsAreaHeight(true);
  Integer rows = (height - nonRows) / rowHeight;
  rows = std::min(rows, GridView()->GetViewData()->GetRecordCount() + (extraRecord ? 1 : 0));
  // Room for one row at least, where the no-data text shows too.
  rows = std::max<Integer>(rows, 1);
  return nonRows + rows * rowHeight;
}

Integer TcxGridTableViewInfo::EqualHeightPageRecordCount() {
  Integer rest = 0;
  return EqualHeightPageRecordCount(rest);
}

Integer TcxGridTableViewInfo::EqualHeightPageRecordCount(Integer& rest) {
  const Integer free = std::max<Integer>(0, UnreducedClientBounds().Height() - GetNonRecordsAreaHeight(false));
  const Integer step = RowsViewInfo() ? RowsViewInfo()->GetRowStep() : 0;
  if (step <= 0) {
    rest = free;
    return 0;
  }
  rest = free % step;
  return free / step;
}

Integer TcxGridTableViewInfo::BufferRecordCount() {
  const Integer rowHeight = RowsViewInfo() ? RowsViewInfo()->GetDataRowHeight() : 0;
  if (rowHeight <= 0) {
    // Not laid out yet: asked again after the layout.
    GridView()->GetTableController()->PostCheckTopRecordIndex();
    return 0;
  }
  return Screen->GetHeight() / rowHeight + 2;
}

void TcxGridTableViewInfo::OffsetBy(Integer dx, Integer dy) {
  FHeaderViewInfo->Offset(dx, dy);
  FFooterViewInfo->Offset(dx, dy);
  inherited::OffsetBy(dx, dy);
}

// ==== Column container ===========================================================================

TcxGridTableView* TcxGridColumnContainerViewInfo::GridView() const {
  return static_cast<TcxGridTableView*>(GetGridView());
}

TcxGridTableViewInfo* TcxGridColumnContainerViewInfo::GridViewInfo() const {
  return static_cast<TcxGridTableViewInfo*>(GetGridViewInfo());
}

void TcxGridColumnContainerViewInfo::BeforeDestruction() {
  DestroyItems();
  inherited::BeforeDestruction();
}

void TcxGridColumnContainerViewInfo::DestroyItems() {
  for (TcxGridColumnHeaderViewInfo* item : FItems) orv::Free(item);
  FItems.clear();
}

TcxGridColumnHeaderViewInfoClass TcxGridColumnContainerViewInfo::GetItemClass() {
  return TcxGridColumnHeaderViewInfo::StaticClass();
}

TcxGridColumn* TcxGridColumnContainerViewInfo::GetItemColumn(Integer index) { return nullptr; }

Integer TcxGridColumnContainerViewInfo::GetItemCount() { return 0; }

TcxGridColumnHeaderViewInfo* TcxGridColumnContainerViewInfo::CreateItem(Integer index) {
  TcxGridColumnHeaderViewInfo* item = GetItemClass().Create(this, GetItemColumn(index));
  item->AfterConstruction();
  return item;
}

TcxGridColumnHeaderViewInfo* TcxGridColumnContainerViewInfo::Item(Integer index) {
  if (Integer(FItems.size()) < GetItemCount()) FItems.resize(std::size_t(GetItemCount()), nullptr);
  TcxGridColumnHeaderViewInfo*& item = FItems[std::size_t(index)];
  if (!item) item = CreateItem(index);
  return item;
}

Integer TcxGridColumnContainerViewInfo::ItemHeight() {
  if (FItemHeight == -1) FItemHeight = CalculateItemHeight();
  return FItemHeight;
}

Integer TcxGridColumnContainerViewInfo::CalculateItemHeight() {
  Integer height = 0;
  for (Integer i = 0; i < GetItemCount(); ++i) height = std::max(height, Item(i)->CalculateHeight());
  if (height == 0) {
    TcxViewParams params;
    GetViewParams(params);
    height = FontBasedHeight(GetGridViewInfo(), params.Font) +
             2 * TcxGridColumnHeaderViewInfo::GetBorderWidthByPainter(TableViewPainter(GetGridView()));
  }
  return height;
}

Integer TcxGridColumnContainerViewInfo::GetColumnWidth(TcxGridColumn* column) {
  Integer width = column->GetWidth();
  if (column->IsFirst()) width += GridViewInfo()->GetLevelIndentsWidth();
  return width;
}

Integer TcxGridColumnContainerViewInfo::GetColumnMinWidth(TcxGridColumn* column) {
  Integer width = column->GetMinWidth();
  if (column->IsFirst()) width += GridViewInfo()->GetLevelIndentsWidth();
  return width;
}

void TcxGridColumnContainerViewInfo::GetItemClipBounds(TcxGridColumnHeaderViewInfo* item, TRect& rect) {
  // The cells are cut where the horizontally scrolling area ends.
  GridViewInfo()->GetClientBounds(rect);
  rect.Top = GetBounds().Top;
  rect.Bottom = GetBounds().Bottom;
}

TcxCustomGridHitTest* TcxGridColumnContainerViewInfo::GetItemHitTest(const TPoint& point) {
  for (Integer i = 0; i < Integer(FItems.size()); ++i)
    if (TcxGridColumnHeaderViewInfo* item = FItems[std::size_t(i)])
      if (item->GetCalculated() && item->GetVisible())
        if (TcxCustomGridHitTest* hitTest = item->GetHitTest(point)) return hitTest;
  return nullptr;
}

TcxCustomGridHitTest* TcxGridColumnContainerViewInfo::GetHitTest(const TPoint& point) {
  if (!GetVisible() || !IsPointInRect(GetBounds(), point)) return nullptr;
  if (TcxCustomGridHitTest* hitTest = GetItemHitTest(point)) return hitTest;
  return inherited::GetHitTest(point);
}

void TcxGridColumnContainerViewInfo::GetZonesAreaBounds(TRect& rect) {
  rect = GetBounds();
  TRect client;
  GridViewInfo()->GetClientBounds(client);
  rect.Left = client.Left;
  rect.Right = client.Right;
  rect.Top -= 15;
  rect.Bottom += 15;
}

void TcxGridGroupByBoxViewInfo::GetZonesAreaBounds(TRect& rect) {
  rect = GetBounds();
  TRect client;
  GridViewInfo()->GetClientBounds(client);
  rect.Left = client.Left;
  rect.Right = client.Right;
}

Integer TcxGridColumnContainerViewInfo::GetInsertionZone(const TPoint& point) {
  if (!GetVisible()) return -1;
  TRect area;
  GetZonesAreaBounds(area);
  if (!IsPointInRect(area, point)) return -1;
  Integer zone = 0;
  for (Integer i = 0; i < GetItemCount(); ++i) {
    const TRect& b = Item(i)->GetBounds();
    if ((b.Left + b.Right) / 2 < point.X) zone = i + 1;
  }
  return zone;
}

void TcxGridColumnContainerViewInfo::Offset(Integer dx, Integer dy) {
  inherited::Offset(dx, dy);
  for (TcxGridColumnHeaderViewInfo* item : FItems)
    if (item && item->GetCalculated()) item->Offset(dx, dy);
  for (TcxGridColumnHeaderViewInfo* item : FItems)
    if (item && item->GetCalculated()) item->CalculateVisible(item->GetBounds().Left, item->GetBounds().Width());
}

void TcxGridColumnContainerViewInfo::ApplyAutoWidthsToColumns() {
  TcxGridTableView* view = GridView();
  view->BeginUpdate();
  try {
    for (Integer i = 0; i < GetItemCount(); ++i)
      if (TcxGridColumn* column = GetItemColumn(i)) column->SetWidth(Item(i)->RealWidth());
  } catch (...) {
    view->EndUpdate();
    throw;
  }
  view->EndUpdate();
}

// ==== Header =====================================================================================

Integer TcxGridHeaderViewInfoSpecific::GetItemHeight() { return FHeaderViewInfo->ItemHeight(); }

TcxGridHeaderViewInfo::TcxGridHeaderViewInfo(TcxCustomGridTableViewInfo* gridViewInfo)
    : TcxGridColumnContainerViewInfo(gridViewInfo) {
  FSpecific = static_cast<TcxGridTableViewInfo*>(gridViewInfo)->GetHeaderViewInfoSpecificClass().Create(this);
}

void TcxGridHeaderViewInfo::BeforeDestruction() {
  FreeAndNil(FSpecific);
  inherited::BeforeDestruction();
}

Integer TcxGridHeaderViewInfo::GetItemCount() { return GridView()->GetVisibleColumnCount(); }

TcxGridColumn* TcxGridHeaderViewInfo::GetItemColumn(Integer index) { return GridView()->GetVisibleColumn(index); }

Boolean TcxGridHeaderViewInfo::IsHeightAssigned() { return GridView()->GetOptionsView()->GetHeaderHeight() != 0; }

Integer TcxGridHeaderViewInfo::CalculateItemHeight() {
  if (IsHeightAssigned()) return GridView()->GetOptionsView()->GetHeaderHeight();
  return inherited::CalculateItemHeight();
}

Boolean TcxGridHeaderViewInfo::IsItemMultiLine() {
  return GridView()->GetOptionsView()->GetHeaderAutoHeight() && GridViewInfo()->SupportsSizeOptions();
}

TcxNeighbors TcxGridHeaderViewInfo::GetColumnNeighbors(TcxGridColumn* column) {
  TcxNeighbors neighbors;
  if (!column->IsFirst()) neighbors.Include(nLeft);
  if (!column->IsLast()) neighbors.Include(nRight);
  return neighbors;
}

Boolean TcxGridHeaderViewInfo::IsColumnAutoWidth() { return GridView()->GetOptionsView()->GetColumnAutoWidth(); }

void TcxGridHeaderViewInfo::CalculateColumnAutoWidths() {
  const Integer count = GetItemCount();
  if (count == 0) return;
  TcxAutoWidthObject autoWidth(count);
  for (Integer i = 0; i < count; ++i) {
    TcxGridColumnHeaderViewInfo* item = Item(i);
    TcxAutoWidthItem* entry = autoWidth.NewItem();
    entry->MinWidth = item->CalculateMinWidth();
    entry->Width = item->WidthValue();
    entry->Fixed = item->GetColumn()->GetFixed();
  }
  autoWidth.SetAvailableWidth(GridViewInfo()->ClientWidthForAutoWidth());
  autoWidth.DistributeWidth();
  for (Integer i = 0; i < count; ++i) Item(i)->SetWidthValue(autoWidth.GetItemAt(i)->AutoWidth);
}

void TcxGridHeaderViewInfo::CalculateAutoWidthsIfNeeded() {
  if (IsColumnAutoWidth()) CalculateColumnAutoWidths();
}

Integer TcxGridHeaderViewInfo::GetWidth() {
  Integer width = 0;
  for (Integer i = 0; i < GetItemCount(); ++i) width += Item(i)->WidthValue();
  return width;
}

Integer TcxGridHeaderViewInfo::GetPartWidth() { return GridViewInfo()->DataWidth(); }

Boolean TcxGridHeaderViewInfo::GetVisible() { return GridView()->GetOptionsView()->GetHeader(); }

Integer TcxGridHeaderViewInfo::CalculateHeight() { return FSpecific->GetHeight(); }

void TcxGridHeaderViewInfo::CalculateVisible() {
  CalculateAutoWidthsIfNeeded();
  inherited::CalculateVisible();
}

void TcxGridHeaderViewInfo::CalculateInvisible() {
  if (!CalculatesWhenInvisible()) {
    inherited::CalculateInvisible();
    return;
  }
  // The data cells take their places from the column headers, so they are laid out anyway.
  CalculateAutoWidthsIfNeeded();
  inherited::CalculateInvisible();
  TRect rect;
  GetPartBounds(rect);
  Integer left = rect.Left;
  for (Integer i = 0; i < GetItemCount(); ++i) {
    TcxGridColumnHeaderViewInfo* item = Item(i);
    item->Calculate(left, rect.Top, -1, ItemHeight());
    left += item->WidthValue();
  }
}

void TcxGridHeaderViewInfo::Calculate(Integer leftBound, Integer topBound, Integer width, Integer height) {
  inherited::Calculate(leftBound, topBound, width, height);
  if (GetVisible() && GetPartHeight() > 0) CalculateItems();
}

void TcxGridHeaderViewInfo::CalculateItems() {
  Integer left = GetBounds().Left;
  for (Integer i = 0; i < GetItemCount(); ++i) {
    TcxGridColumnHeaderViewInfo* item = Item(i);
    item->Calculate(left, GetBounds().Top, -1, ItemHeight());
    left += item->WidthValue();
  }
}

void TcxGridHeaderViewInfo::GetViewParams(TcxViewParams& params) { GridView()->GetStyles()->GetHeaderParams(nullptr, params); }

TBitmap* TcxGridHeaderViewInfo::GetBackgroundBitmap() { return GridView()->GetBackgroundBitmaps()->GetBitmap(bbHeader); }

Boolean TcxGridHeaderViewInfo::PaintBackgroundBitmap(TcxCanvas* canvas, const TRect& rect) {
  TBitmap* bitmap = GetBackgroundBitmap();
  if (!bitmap) return false;
  canvas->FillRectOrTile(rect, bitmap, false);
  return true;
}

TcxCustomGridIndicatorItemViewInfo* TcxGridHeaderViewInfo::CreateIndicatorItem(TcxGridIndicatorViewInfo* indicator,
                                                                               Integer index) {
  return indicator->AddItemAt(indicator->GetBounds().Top, GetPartHeight(),
                              TcxGridIndicatorHeaderItemViewInfo::StaticClass());
}

// ==== Column header ==============================================================================

TcxGridColumnHeaderViewInfo::TcxGridColumnHeaderViewInfo(TcxGridColumnContainerViewInfo* container,
                                                         TcxGridColumn* column)
    : TcxCustomGridViewCellViewInfo(container->GetGridViewInfo()), FColumn(column), FContainer(container) {}

void TcxGridColumnHeaderViewInfo::AfterConstruction() {
  inherited::AfterConstruction();
  std::vector<TcxGridColumnHeaderAreaViewInfoClass> classes;
  EnumAreaClasses(classes);
  for (const TcxGridColumnHeaderAreaViewInfoClass& cls : classes) {
    FAreaViewInfos.push_back(cls.Create(this));
    // An area that opens a drop-down takes over the one its former self left open.
    FAreaViewInfos.back()->AfterConstruction();
  }
}

void TcxGridColumnHeaderViewInfo::BeforeDestruction() {
  for (TcxGridColumnHeaderAreaViewInfo* area : FAreaViewInfos) orv::Free(area);
  FAreaViewInfos.clear();
  inherited::BeforeDestruction();
}

TcxGridTableView* TcxGridColumnHeaderViewInfo::GridView() const { return static_cast<TcxGridTableView*>(GetGridView()); }

TcxGridTableViewInfo* TcxGridColumnHeaderViewInfo::GridViewInfo() const {
  return static_cast<TcxGridTableViewInfo*>(GetGridViewInfo());
}

Boolean TcxGridColumnHeaderViewInfo::IsLast() { return FColumn && FColumn->IsLast(); }

void TcxGridColumnHeaderViewInfo::EnumAreaClasses(std::vector<TcxGridColumnHeaderAreaViewInfoClass>& classes) {
  if (CanHorzSize()) classes.push_back(TcxGridColumnHeaderHorzSizingEdgeViewInfo::StaticClass());
  if (HasFilterButton()) classes.push_back(TcxGridColumnHeaderFilterButtonViewInfo::StaticClass());
  if (HasSortingMark()) classes.push_back(TcxGridColumnHeaderSortingMarkViewInfo::StaticClass());
  if (HasHeaderGlyph()) classes.push_back(TcxGridColumnHeaderGlyphViewInfo::StaticClass());
}

Boolean TcxGridColumnHeaderViewInfo::CanHorzSize() {
  return FColumn && FColumn->CanHorzSize() && FContainer->GetContainerKind() == ckHeader;
}

Boolean TcxGridColumnHeaderViewInfo::HasFilterButton() { return FColumn && FColumn->CanFilter(true); }

Boolean TcxGridColumnHeaderViewInfo::HasSortingMark() { return FColumn && FColumn->GetSortOrder() != soNone; }

Boolean TcxGridColumnHeaderViewInfo::HasHeaderGlyph() {
  return FColumn && FColumn->GetHeaderGlyph() && !FColumn->GetHeaderGlyph()->GetEmpty();
}

Boolean TcxGridColumnHeaderViewInfo::HasAreaAtSide(TAlignment side) {
  for (TcxGridColumnHeaderAreaViewInfo* area : FAreaViewInfos)
    if (area->GetVisible() && area->OccupiesTextArea() && area->GetAlignmentHorz() == side) return true;
  return false;
}

Integer TcxGridColumnHeaderViewInfo::WidthValue() {
  if (FWidth == -1) FWidth = FContainer->GetColumnWidth(FColumn);
  return FWidth;
}

Integer TcxGridColumnHeaderViewInfo::RealWidth() {
  if (FRealWidth == 0) {
    FRealWidth = WidthValue();
    if (FColumn && FColumn->IsFirst() && FContainer->GetContainerKind() == ckHeader)
      FRealWidth -= GridViewInfo()->GetLevelIndentsWidth();
  }
  return FRealWidth;
}

Integer TcxGridColumnHeaderViewInfo::GetDataCellLeft() { return GetBounds().Right - RealWidth(); }

Integer TcxGridColumnHeaderViewInfo::CalculateMinWidth() {
  if (FColumn->GetFixed()) return WidthValue();
  return FContainer->GetColumnMinWidth(FColumn);
}

Integer TcxGridColumnHeaderViewInfo::CalculateMaxWidth() {
  if (!GridView()->GetOptionsView()->GetColumnAutoWidth()) return orv::kGridMaxInt;
  Integer width = GridViewInfo()->ClientWidthForAutoWidth();
  const Integer count = FContainer->GetItemCount();
  const Integer index = FColumn->GetVisibleIndex();
  if (index == count - 1) {
    for (Integer i = 0; i < count - 1; ++i) width -= FContainer->Item(i)->CalculateMinWidth();
  } else {
    for (Integer i = 0; i < index; ++i) width -= FContainer->Item(i)->WidthValue();
    for (Integer i = index + 1; i < count; ++i) width -= FContainer->Item(i)->CalculateMinWidth();
  }
  return std::max(width, CalculateMinWidth());
}

void TcxGridColumnHeaderViewInfo::CheckWidth(Integer& width) {
  width = std::clamp(width, CalculateMinWidth(), std::max(CalculateMinWidth(), CalculateMaxWidth()));
}

void TcxGridColumnHeaderViewInfo::CalculateVisible(Integer left, Integer width) {
  TRect client;
  GridViewInfo()->GetClientBounds(client);
  SetVisible(left < client.Right && left + width > client.Left);
}

Integer TcxGridColumnHeaderViewInfo::CalculateWidth() { return WidthValue(); }

Integer TcxGridColumnHeaderViewInfo::CalculateHeight() {
  CheckCalculateParams();
  const Integer borders = 2 * GetBorderWidthByPainter(TableViewPainter(GetGridView()));
  Integer textHeight;
  if (GetMultiLine()) {
    textHeight = TextHeight(false);
  } else {
    textHeight = GetGridViewInfo()->GetFontHeight(Params().Font);
  }
  return textHeight + 4 + borders;
}

void TcxGridColumnHeaderViewInfo::BeforeRecalculation() {
  inherited::BeforeRecalculation();
  // The bounds drop what the neighbour overlap added.
  TRect b = GetBounds();
  b.Left += FAdditionalWidthAtLeft;
  b.Top += FAdditionalHeightAtTop;
  SetBounds(b);
  FAdditionalWidthAtLeft = 0;
  FAdditionalHeightAtTop = 0;
}

void TcxGridColumnHeaderViewInfo::Calculate(Integer leftBound, Integer topBound, Integer width, Integer height) {
  FAdditionalWidthAtLeft = 0;
  FAdditionalHeightAtTop = 0;
  if (width == -1) width = WidthValue();
  if (height == -1) height = CalculateHeight();
  CalculateVisible(leftBound, width);
  FNeighbors = FContainer->GetColumnNeighbors(FColumn);
  TcxCustomLookAndFeelPainterClass painter = TableViewPainter(GetGridView());
  const TcxBorders painterBorders = painter->HeaderCellBorders(FNeighbors);
  const Integer borderWidth = GetBorderWidthByPainter(painter);
  if (!painterBorders.Contains(bLeft)) {
    leftBound -= borderWidth;
    width += borderWidth;
    FAdditionalWidthAtLeft = borderWidth;
  }
  if (!painterBorders.Contains(bTop)) {
    topBound -= borderWidth;
    height += borderWidth;
    FAdditionalHeightAtTop = borderWidth;
  }
  inherited::Calculate(leftBound, topBound, width, height);
  CalculateAreas();
}

void TcxGridColumnHeaderViewInfo::CalculateAreas() {
  GetContentBounds(FTextAreaBounds);
  FTextAreaBounds = GetInflatedRect(FTextAreaBounds, -2, -2);
  Boolean leftArea = false, rightArea = false;
  for (TcxGridColumnHeaderAreaViewInfo* area : FAreaViewInfos) {
    const TRect available = area->ResidesInTextArea() ? FTextAreaBounds : GetBounds();
    area->CalculateArea(available, FTextAreaBounds);
    if (area->GetVisible() && area->OccupiesTextArea()) {
      if (area->GetAlignmentHorz() == taLeftJustify) leftArea = true;
      if (area->GetAlignmentHorz() == taRightJustify) rightArea = true;
    }
  }
  if (!Text().empty()) {
    if (leftArea) FTextAreaBounds.Left += 2;
    if (rightArea) FTextAreaBounds.Right -= 2;
  }
}

TAlignment TcxGridColumnHeaderViewInfo::GetAlignmentHorz() {
  return FColumn ? FColumn->GetHeaderAlignmentHorz() : taLeftJustify;
}

TcxAlignmentVert TcxGridColumnHeaderViewInfo::GetAlignmentVert() {
  return FColumn ? FColumn->GetHeaderAlignmentVert() : vaTop;
}

TcxBorders TcxGridColumnHeaderViewInfo::GetBorders() { return cxBordersAll; }

Integer TcxGridColumnHeaderViewInfo::GetBorderWidth(TcxBorder side) {
  return GetBorderWidthByPainter(TableViewPainter(GetGridView()));
}

void TcxGridColumnHeaderViewInfo::GetCaption(AnsiString& text) {
  if (FColumn && FColumn->GetOptions()->GetShowCaption())
    text = FColumn->GetCaption();
  else
    text.clear();
}

Boolean TcxGridColumnHeaderViewInfo::GetMultiLine() { return FContainer->IsItemMultiLine(); }

Boolean TcxGridColumnHeaderViewInfo::GetPaintsMultiLine() {
  return GetMultiLine() || FContainer->IsItemMultiLinePainting(this) ||
         (FContainer->GetContainerKind() == ckHeader && GridView()->GetOptionsView()->GetHeaderHeight() != 0);
}

Boolean TcxGridColumnHeaderViewInfo::GetShowEndEllipsis() { return GridView()->GetOptionsView()->GetHeaderEndEllipsis(); }

void TcxGridColumnHeaderViewInfo::GetClipArea(TRect& rect) { FContainer->GetItemClipBounds(this, rect); }

void TcxGridColumnHeaderViewInfo::GetViewParams(TcxViewParams& params) {
  GridView()->GetStyles()->GetHeaderParams(FColumn, params);
}

TBitmap* TcxGridColumnHeaderViewInfo::GetBackgroundBitmap() { return FContainer->GetBackgroundBitmap(); }

Integer TcxGridColumnHeaderViewInfo::GetBestFitWidth() {
  Integer width = inherited::GetBestFitWidth() - FAdditionalWidthAtLeft;
  if (HasAreaAtSide(taLeftJustify)) width += 2;
  if (HasAreaAtSide(taRightJustify)) width += 2;
  for (TcxGridColumnHeaderAreaViewInfo* area : FAreaViewInfos)
    if (area->OccupiesTextArea()) width += area->CalculateWidth();
  return width;
}

void TcxGridColumnHeaderViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  inherited::InitHitTest(hitTest);
  if (auto* columnHitTest = dynamic_cast<TcxCustomGridColumnHitTest*>(hitTest)) {
    columnHitTest->SetColumn(FColumn);
    columnHitTest->SetHitContainerKind(FContainer->GetContainerKind());
  }
}

TcxCustomGridHitTest* TcxGridColumnHeaderViewInfo::GetHitTest(const TPoint& point) {
  for (TcxGridColumnHeaderAreaViewInfo* area : FAreaViewInfos)
    if (area->GetCalculated() && area->GetHitTestClass())
      if (TcxCustomGridHitTest* hitTest = area->GetHitTest(point)) return hitTest;
  return inherited::GetHitTest(point);
}

void TcxGridColumnHeaderViewInfo::Offset(Integer dx, Integer dy) {
  inherited::Offset(dx, dy);
  FTextAreaBounds = GetOffsetRect(FTextAreaBounds, dx, dy);
  for (TcxGridColumnHeaderAreaViewInfo* area : FAreaViewInfos)
    if (area->GetCalculated()) area->Offset(dx, dy);
}

Boolean TcxGridColumnHeaderViewInfo::HotTrackable() {
  if (TableViewPainter(GetGridView())->SupportsHeaderHotTrack()) return true;
  for (TcxGridColumnHeaderAreaViewInfo* area : FAreaViewInfos)
    if (area->ShowsOnlyWhenHot()) return true;
  return false;
}

void TcxGridColumnHeaderViewInfo::StateChanged(TcxGridCellState prevState) {
  Boolean hotOnlyAreas = false;
  for (TcxGridColumnHeaderAreaViewInfo* area : FAreaViewInfos)
    if (area->ShowsOnlyWhenHot()) hotOnlyAreas = true;
  if (hotOnlyAreas && GetCalculated()) CalculateAreas();
  inherited::StateChanged(prevState);
}

Boolean TcxGridColumnHeaderViewInfo::IsHeaderPressed() { return GetState() == gcsPressed; }

Boolean TcxGridColumnHeaderViewInfo::MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) {
  return inherited::MouseDown(hitTest, button, shift);
}

void TcxGridColumnHeaderViewInfo::Click() {
  if (FColumn && CanPress()) FColumn->DoHeaderClick();
}

Boolean TcxGridColumnHeaderViewInfo::HasCustomDraw() {
  return (FColumn && FColumn->HasCustomDrawHeader()) || GridView()->HasCustomDrawColumnHeader();
}

Boolean TcxGridColumnHeaderViewInfo::CustomDraw(TcxCanvas* canvas) {
  Boolean done = false;
  if (FColumn) FColumn->DoCustomDrawHeader(canvas, this, done);
  if (!done) GridView()->DoCustomDrawColumnHeader(canvas, this, done);
  return done;
}

// ---- Areas ----

TcxGridColumnHeaderAreaViewInfo::TcxGridColumnHeaderAreaViewInfo(TcxGridColumnHeaderViewInfo* columnHeaderViewInfo)
    : TcxCustomGridViewCellViewInfo(columnHeaderViewInfo->GetGridViewInfo()),
      FColumnHeaderViewInfo(columnHeaderViewInfo) {}

TcxCanvas* TcxGridColumnHeaderAreaViewInfo::GetCanvas() { return GetGridViewInfo()->Canvas(); }

void TcxGridColumnHeaderAreaViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  FColumnHeaderViewInfo->InitHitTest(hitTest);
  hitTest->SetViewInfo(this);
}

void TcxGridColumnHeaderAreaViewInfo::CalculateArea(const TRect& available, TRect& textArea) {
  CheckCalculateParams();
  const Integer width = CalculateWidth();
  const Integer height = CalculateHeight();
  TRect rect = available;
  if (width != 0) {
    switch (GetAlignmentHorz()) {
      case taLeftJustify:
        rect.Right = rect.Left + width;
        if (OccupiesTextArea()) textArea.Left = rect.Right;
        break;
      case taRightJustify:
        rect.Left = rect.Right - width;
        if (OccupiesTextArea()) textArea.Right = rect.Left;
        break;
      case taCenter: {
        TcxGridColumnHeaderViewInfo* header = FColumnHeaderViewInfo;
        const Boolean oppositeVert = (GetAlignmentVert() == vaTop && header->AlignmentVert() == vaBottom) ||
                                     (GetAlignmentVert() == vaBottom && header->AlignmentVert() == vaTop);
        const Integer space = rect.Width();
        if (OccupiesTextArea() && header->AlignmentHorz() == taCenter && !oppositeVert) {
          const Integer textWidth = header->Text().empty() ? 0 : header->TextWidth();
          if (width + textWidth < space) rect.Left += (space - width - textWidth) / 2;
          rect.Right = rect.Left + width;
          textArea.Left = rect.Right;
          textArea.Right = std::min(textArea.Right, textArea.Left + textWidth);
        } else {
          rect.Left += (space - width) / 2;
          rect.Right = rect.Left + width;
        }
        break;
      }
    }
  }
  if (height != 0) {
    switch (GetAlignmentVert()) {
      case vaTop: rect.Bottom = rect.Top + height; break;
      case vaBottom: rect.Top = rect.Bottom - height; break;
      case vaCenter:
        rect.Top += (available.Height() - height) / 2;
        rect.Bottom = rect.Top + height;
        break;
    }
  }
  Calculate(rect);
}

void TcxGridColumnHeaderHorzSizingEdgeViewInfo::CalculateArea(const TRect& available, TRect& textArea) {
  inherited::CalculateArea(available, textArea);
  // Centred on the header's right border.
  Offset(CalculateWidth() / 2, 0);
}

Boolean TcxGridColumnHeaderHorzSizingEdgeViewInfo::MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button,
                                                             TShiftState shift) {
  if (button == mbLeft && shift.Contains(ssDouble)) {
    GetColumn()->ApplyBestFit(true, true);
    return true;
  }
  return inherited::MouseDown(hitTest, button, shift);
}

Boolean TcxGridColumnHeaderFilterButtonViewInfo::IsAlwaysShown() {
  return ColumnHeaderViewInfo()->GridView()->GetOptionsView()->GetShowColumnFilterButtons() == sfbAlways;
}

Boolean TcxGridColumnHeaderFilterButtonViewInfo::GetVisible() {
  if (IsAlwaysShown()) return true;
  const TcxGridCellState state = ColumnHeaderViewInfo()->GetState();
  return state == gcsSelected || state == gcsPressed || GetState() == gcsPressed;
}

Integer TcxGridColumnHeaderFilterButtonViewInfo::CalculateWidth() {
  return TableViewPainter(GetGridView())->FilterDropDownArrowButtonSize().X;
}

Integer TcxGridColumnHeaderFilterButtonViewInfo::CalculateHeight() {
  return TableViewPainter(GetGridView())->FilterDropDownArrowButtonSize().Y;
}

TClass TcxGridColumnHeaderFilterButtonViewInfo::GetHitTestClass() {
  if (GetGridView()->IsDesignTime()) return nullptr;
  return TcxGridColumnHeaderFilterButtonHitTest::StaticClass();
}

TcxCustomGridCellPainterClass TcxGridColumnHeaderFilterButtonViewInfo::GetPainterClass() {
  return TcxGridColumnHeaderFilterButtonPainter::StaticClass();
}

Integer TcxGridColumnHeaderSortingMarkViewInfo::CalculateWidth() {
  return TableViewPainter(GetGridView())->SortArrowAreaSize().X;
}

Integer TcxGridColumnHeaderSortingMarkViewInfo::CalculateHeight() {
  return TableViewPainter(GetGridView())->SortArrowAreaSize().Y;
}

TcxCustomGridCellPainterClass TcxGridColumnHeaderSortingMarkViewInfo::GetPainterClass() {
  return TcxGridColumnHeaderSortingMarkPainter::StaticClass();
}

Integer TcxGridColumnHeaderGlyphViewInfo::CalculateWidth() { return GetColumn()->GetHeaderGlyph()->GetWidth(); }

Integer TcxGridColumnHeaderGlyphViewInfo::CalculateHeight() { return GetColumn()->GetHeaderGlyph()->GetHeight(); }

TAlignment TcxGridColumnHeaderGlyphViewInfo::GetAlignmentHorz() { return GetColumn()->GetHeaderGlyphAlignmentHorz(); }

TcxAlignmentVert TcxGridColumnHeaderGlyphViewInfo::GetAlignmentVert() {
  return GetColumn()->GetHeaderGlyphAlignmentVert();
}

TcxCustomGridCellPainterClass TcxGridColumnHeaderGlyphViewInfo::GetPainterClass() {
  return TcxGridColumnHeaderGlyphPainter::StaticClass();
}

// ==== Footer =====================================================================================

TcxGridFooterViewInfo::TcxGridFooterViewInfo(TcxCustomGridTableViewInfo* gridViewInfo)
    : TcxGridHeaderViewInfo(gridViewInfo) {}

void TcxGridFooterViewInfo::AfterConstruction() {
  inherited::AfterConstruction();
  CreateItems();
}

TcxGridColumnHeaderViewInfo* TcxGridFooterViewInfo::CreateItem(Integer index) {
  TcxGridColumnHeaderViewInfo* item = inherited::CreateItem(index);
  static_cast<TcxGridFooterCellViewInfo*>(item)->SetSummaryItem(FSummaryItems[std::size_t(index)]);
  return item;
}

void TcxGridFooterViewInfo::GetSummaryItemsList(std::vector<TcxDataSummaryItem*>& items) {
  TcxDataSummary* summary = GridView()->GetDataController()->GetSummary();
  if (!summary) return;
  TcxDataFooterSummaryItems* footer = summary->GetFooterSummaryItems();
  for (Integer i = 0; i < footer->GetCount(); ++i) items.push_back(static_cast<TcxDataSummaryItem*>(footer->GetItem(i)));
}

Boolean TcxGridFooterViewInfo::AllowsMultipleSummaries() {
  return GridView()->GetOptionsView()->GetFooterMultiSummaries() && GridViewInfo()->SupportsMultiSummaries();
}

void TcxGridFooterViewInfo::CreateItems() {
  FSummaryItems.clear();
  std::vector<TcxDataSummaryItem*> all;
  GetSummaryItemsList(all);
  std::vector<TcxGridColumn*> seen;
  for (TcxDataSummaryItem* item : all) {
    if (item->GetPosition() != spFooter) continue;
    auto* column = dynamic_cast<TcxGridColumn*>(item->GetItemLink());
    if (!column || column->GetVisibleIndex() < 0 || column->GetGridView() != GridView()) continue;
    if (!AllowsMultipleSummaries()) {
      if (std::find(seen.begin(), seen.end(), column) != seen.end()) continue;
      seen.push_back(column);
    }
    FSummaryItems.push_back(item);
  }
  PrepareSummaryItems(FSummaryItems);
}

TcxGridColumn* TcxGridFooterViewInfo::GetItemColumn(Integer index) {
  return static_cast<TcxGridColumn*>(FSummaryItems[std::size_t(index)]->GetItemLink());
}

TcxGridColumnHeaderViewInfoClass TcxGridFooterViewInfo::GetItemClass() {
  return TcxGridFooterCellViewInfo::StaticClass();
}

Integer TcxGridFooterViewInfo::GetCellRowIndex(Integer index) {
  Integer row = 0;
  for (Integer i = 0; i < index; ++i)
    if (GetItemColumn(i) == GetItemColumn(index)) ++row;
  return row;
}

Integer TcxGridFooterViewInfo::CalculateRowCount() {
  if (GetItemCount() == 0) return 1;
  Integer rows = 1;
  for (Integer i = 0; i < GetItemCount(); ++i) rows = std::max(rows, GetCellRowIndex(i) + 1);
  return rows;
}

Integer TcxGridFooterViewInfo::RowCount() {
  if (FRowCount == 0) FRowCount = CalculateRowCount();
  return FRowCount;
}

Boolean TcxGridFooterViewInfo::IsItemMultiLine() {
  return GridView()->GetOptionsView()->GetFooterAutoHeight() && GridViewInfo()->SupportsSizeOptions() && !IsMultiRow();
}

Integer TcxGridFooterViewInfo::CalculateItemHeight() {
  // The header's rule for the cells, without the header's own height option.
  return TcxGridColumnContainerViewInfo::CalculateItemHeight() + 2 * TableViewPainter(GetGridView())->FooterCellIndent();
}

TcxBorders TcxGridFooterViewInfo::GetBorders() { return TableViewPainter(GetGridView())->FooterBorders(); }

Integer TcxGridFooterViewInfo::GetBorderWidth(TcxBorder side) { return TableViewPainter(GetGridView())->FooterBorderWidth(); }

Integer TcxGridFooterViewInfo::BorderSize(TcxBorder side) { return GetBorders().Contains(side) ? GetBorderWidth(side) : 0; }

Integer TcxGridFooterViewInfo::GetFooterSeparatorHeight() {
  return HasFooterSeparator() ? TableViewPainter(GetGridView())->FooterSeparatorSize() : 0;
}

Integer TcxGridFooterViewInfo::CalculateHeight() {
  return BorderSize(bTop) + RowCount() * ItemHeight() + BorderSize(bBottom) + GetFooterSeparatorHeight();
}

Boolean TcxGridFooterViewInfo::GetVisible() { return GridView()->GetOptionsView()->GetFooter(); }

Integer TcxGridFooterViewInfo::GetPartWidth() { return GridViewInfo()->DataWidth(); }

void TcxGridFooterViewInfo::GetSeparatorAreaBounds(TRect& rect) {
  rect = GetBounds();
  rect.Bottom = rect.Top + GetFooterSeparatorHeight();
}

void TcxGridFooterViewInfo::GetBoundsBelowSeparator(TRect& rect) {
  rect = GetBounds();
  rect.Top += GetFooterSeparatorHeight();
}

void TcxGridFooterViewInfo::GetItemsAreaBounds(TRect& rect) {
  GetBoundsBelowSeparator(rect);
  rect.Left += BorderSize(bLeft);
  rect.Top += BorderSize(bTop);
  rect.Right -= BorderSize(bRight);
  rect.Bottom -= BorderSize(bBottom);
}

Integer TcxGridFooterViewInfo::GetCellLeftForColumn(TcxGridColumn* column) {
  TRect area;
  GetItemsAreaBounds(area);
  if (column->IsFirst()) return area.Left;
  TcxGridColumnHeaderViewInfo* header = GridViewInfo()->HeaderViewInfo()->Item(column->GetVisibleIndex());
  return header->GetBounds().Left + header->AdditionalWidthAtLeft();
}

Integer TcxGridFooterViewInfo::GetCellTopAt(Integer index) {
  TRect area;
  GetItemsAreaBounds(area);
  return area.Top + GetCellRowIndex(index) * ItemHeight() + GridViewInfo()->GetCellTopOffset();
}

Boolean TcxGridFooterViewInfo::IsCellVisible(Integer index) {
  return GridViewInfo()->HeaderViewInfo()->Item(GetItemColumn(index)->GetVisibleIndex())->GetVisible();
}

void TcxGridFooterViewInfo::CalculateCell(Integer index) {
  TcxGridColumn* column = GetItemColumn(index);
  TcxGridColumnHeaderViewInfo* header = GridViewInfo()->HeaderViewInfo()->Item(column->GetVisibleIndex());
  Integer width = header->WidthValue();
  if (column->IsFirst()) width -= BorderSize(bLeft);
  if (column->IsLast()) width -= BorderSize(bRight);
  const Integer indent = TableViewPainter(GetGridView())->FooterCellIndent();
  TRect rect{GetCellLeftForColumn(column), GetCellTopAt(index), 0, 0};
  rect.Right = rect.Left + width;
  rect.Bottom = rect.Top + ItemHeight();
  rect = GetInflatedRect(rect, -indent, -indent);
  Item(index)->Calculate(rect.Left, rect.Top, rect.Width(), rect.Height());
}

void TcxGridFooterViewInfo::CalculateItems() {
  for (Integer i = 0; i < GetItemCount(); ++i)
    if (IsCellVisible(i)) CalculateCell(i);
}

TcxCustomGridHitTest* TcxGridFooterViewInfo::GetItemHitTest(const TPoint& point) {
  if (TcxCustomGridHitTest* hitTest = inherited::GetItemHitTest(point)) return hitTest;
  TRect area;
  GetItemsAreaBounds(area);
  TcxGridHeaderViewInfo* header = GridViewInfo()->HeaderViewInfo();
  for (Integer i = 0; i < header->GetItemCount(); ++i) {
    TcxGridColumnHeaderViewInfo* columnHeader = header->Item(i);
    TRect cell{columnHeader->GetBounds().Left, area.Top, columnHeader->GetBounds().Right, area.Bottom};
    if (!IsMultiRow()) cell.Bottom = cell.Top + ItemHeight();
    if (IsPointInRect(cell, point)) {
      auto* hitTest = static_cast<TcxGridFooterCellHitTest*>(
          TcxCustomGridHitTest::Instance(TcxGridFooterCellHitTest::StaticClass(), point));
      InitHitTest(hitTest);
      hitTest->SetColumn(columnHeader->GetColumn());
      hitTest->SetHitContainerKind(GetContainerKind());
      hitTest->SetSummaryItem(nullptr);
      return hitTest;
    }
  }
  return nullptr;
}

void TcxGridFooterViewInfo::GetViewParams(TcxViewParams& params) {
  GridView()->GetStyles()->GetFooterParams(nullptr, nullptr, -1, nullptr, params);
}

TBitmap* TcxGridFooterViewInfo::GetBackgroundBitmap() { return GridView()->GetBackgroundBitmaps()->GetBitmap(bbFooter); }

Integer TcxGridFooterViewInfo::GetBestFitWidth(TcxGridColumn* column) {
  Integer width = 0;
  for (Integer i = 0; i < GetItemCount(); ++i)
    if (GetItemColumn(i) == column)
      width = std::max(width, Item(i)->GetBestFitWidth() + 2 * TableViewPainter(GetGridView())->FooterCellIndent());
  return width;
}

void TcxGridFooterViewInfo::Offset(Integer dx, Integer dy) {
  TcxCustomGridPartViewInfo::Offset(dx, dy);
  for (Integer i = 0; i < GetItemCount(); ++i) {
    TcxGridColumnHeaderViewInfo* item = ExistingItem(i);
    if (!IsCellVisible(i)) continue;
    if (item && item->GetCalculated())
      item->Offset(dx, dy);
    else
      CalculateCell(i);
  }
}

// ---- Footer cells ----

TAlignment TcxGridFooterCellViewInfo::GetAlignmentHorz() {
  return GetColumn() ? GetColumn()->GetFooterAlignmentHorz() : taLeftJustify;
}

Integer TcxGridFooterCellViewInfo::GetBorderWidth(TcxBorder side) {
  return TableViewPainter(GetGridView())->FooterCellBorderWidth();
}

Integer TcxGridFooterCellViewInfo::CalculateHeight() {
  CheckCalculateParams();
  const Integer textHeight = GetMultiLine() ? TextHeight(false) : GetGridViewInfo()->GetFontHeight(Params().Font);
  return textHeight + 4 + 2 * GetBorderWidth(bTop);
}

void TcxGridFooterCellViewInfo::GetCaption(AnsiString& text) {
  text.clear();
  auto* footer = static_cast<TcxGridFooterViewInfo*>(GetContainer());
  TcxDataSummary* summary = GridView()->GetDataController()->GetSummary();
  if (!summary || !FSummaryItem) return;
  TcxDataFooterSummaryItems* items = summary->GetFooterSummaryItems();
  for (Integer i = 0; i < items->GetCount(); ++i)
    if (items->GetItem(i) == FSummaryItem) {
      try {
        text = summary->GetFooterSummaryText(i);
      } catch (Exception&) {
        // A formatting failure leaves the cell empty.
      }
      break;
    }
  (void)footer;
}

void TcxGridFooterCellViewInfo::GetViewParams(TcxViewParams& params) {
  GridView()->GetStyles()->GetFooterCellParams(nullptr, GetColumn(), -1, FSummaryItem, params);
}

TBitmap* TcxGridFooterCellViewInfo::GetBackgroundBitmap() { return GridView()->GetBackgroundBitmaps()->GetBitmap(bbFooter); }

void TcxGridFooterCellViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  inherited::InitHitTest(hitTest);
  if (auto* cellHitTest = dynamic_cast<TcxGridFooterCellHitTest*>(hitTest)) cellHitTest->SetSummaryItem(FSummaryItem);
}

Boolean TcxGridFooterCellViewInfo::HasCustomDraw() {
  return (GetColumn() && GetColumn()->HasCustomDrawFooterCell()) || GridView()->HasCustomDrawFooterCell();
}

Boolean TcxGridFooterCellViewInfo::CustomDraw(TcxCanvas* canvas) {
  Boolean done = false;
  if (GetColumn()) GetColumn()->DoCustomDrawFooterCell(canvas, this, done);
  if (!done) GridView()->DoCustomDrawFooterCell(canvas, this, done);
  return done;
}

// ==== Group-by box ===============================================================================

Integer TcxGridGroupByBoxViewInfo::GetItemCount() { return GridView()->GetGroupedColumnCount(); }

TcxGridColumn* TcxGridGroupByBoxViewInfo::GetItemColumn(Integer index) { return GridView()->GetGroupedColumn(index); }

TcxGridColumnHeaderViewInfoClass TcxGridGroupByBoxViewInfo::GetItemClass() {
  return TcxGridGroupByBoxColumnHeaderViewInfo::StaticClass();
}

Integer TcxGridGroupByBoxViewInfo::CalculateItemHeight() {
  Integer height = 0;
  for (Integer i = 0; i < GetItemCount(); ++i) {
    TcxGridColumnHeaderViewInfo* item = Item(i);
    item->CheckCalculateParams();
    height = std::max(height, GetGridViewInfo()->GetFontHeight(item->Params().Font) + 4 +
                                  2 * TcxGridColumnHeaderViewInfo::GetBorderWidthByPainter(TableViewPainter(GetGridView())));
  }
  if (height == 0) {
    TcxViewParams params;
    GridView()->GetStyles()->GetHeaderParams(nullptr, params);
    height = FontBasedHeight(GetGridViewInfo(), params.Font) +
             2 * TcxGridColumnHeaderViewInfo::GetBorderWidthByPainter(TableViewPainter(GetGridView()));
  }
  return height;
}

Boolean TcxGridGroupByBoxViewInfo::GetVisible() { return GridView()->GetOptionsView()->GetGroupByBox(); }

Integer TcxGridGroupByBoxViewInfo::CalculateHeight() {
  const Integer count = GetItemCount();
  if (count == 0) {
    CheckCalculateParams();
    return GetGridViewInfo()->GetFontHeight(Params().Font) + 4 + 2 + 16;
  }
  const Integer itemHeight = ItemHeight();
  return itemHeight / 2 * (count + 1) + itemHeight % 2 + 16;
}

void TcxGridGroupByBoxViewInfo::Calculate(Integer leftBound, Integer topBound, Integer width, Integer height) {
  inherited::Calculate(leftBound, topBound, width, height);
  Integer x = GetBounds().Left + 6;
  Integer y = GetBounds().Top + 8;
  for (Integer i = 0; i < GetItemCount(); ++i) {
    TcxGridColumnHeaderViewInfo* item = Item(i);
    FCalculatingColumnWidth = true;
    Integer itemWidth;
    try {
      itemWidth = item->CalculateWidth();
    } catch (...) {
      FCalculatingColumnWidth = false;
      throw;
    }
    FCalculatingColumnWidth = false;
    item->Calculate(x, y, itemWidth, ItemHeight());
    x += itemWidth + 4;
    y += ItemHeight() / 2;
  }
}

void TcxGridGroupByBoxViewInfo::GetText(AnsiString& text) {
  if (GetItemCount() == 0)
    text = GetLocalizedResourceString(&scxGridGroupByBoxCaption);
  else
    text.clear();
}

void TcxGridGroupByBoxViewInfo::GetTextAreaBounds(TRect& rect) {
  inherited::GetTextAreaBounds(rect);
  rect.Left += 6;
}

void TcxGridGroupByBoxViewInfo::GetViewParams(TcxViewParams& params) {
  GridView()->GetStyles()->ResolveStyleParams(vsGroupByBox, nullptr, nullptr, params);
}

TBitmap* TcxGridGroupByBoxViewInfo::GetBackgroundBitmap() {
  return GridView()->GetBackgroundBitmaps()->GetBitmap(bbGroupByBox);
}

void TcxGridGroupByBoxViewInfo::GetLinkLineBounds(Integer index, Boolean vertical, TRect& rect) {
  const TRect& b = Item(index)->GetBounds();
  if (vertical)
    rect = TRect{b.Right - 8, b.Bottom, b.Right - 7, b.Bottom + 4};
  else
    rect = TRect{b.Right - 8, b.Bottom + 3, b.Right + 4, b.Bottom + 4};
}

Integer TcxGridGroupByBoxColumnHeaderViewInfo::CalculateWidth() {
  auto* box = static_cast<TcxGridGroupByBoxViewInfo*>(GetContainer());
  if (box->IsCalculatingColumnWidth()) return GetBestFitWidth();
  return GetBounds().Width() > 0 ? GetBounds().Width() : GetBestFitWidth();
}

void TcxGridGroupByBoxColumnHeaderViewInfo::GetCaption(AnsiString& text) {
  text = GetColumn() ? GetColumn()->GetAlternateCaptionInEffect() : AnsiString();
}

// ==== Indicator ==================================================================================

TcxGridTableViewInfo* TcxGridIndicatorViewInfo::GridViewInfo() const {
  return static_cast<TcxGridTableViewInfo*>(GetGridViewInfo());
}

void TcxGridIndicatorViewInfo::BeforeDestruction() {
  while (!FItems.empty()) orv::Free(FItems.back());
  inherited::BeforeDestruction();
}

Boolean TcxGridIndicatorViewInfo::SupportsQuickCustomization() {
  return static_cast<TcxGridTableView*>(GetGridView())->GetOptionsCustomize()->GetColumnsQuickCustomization();
}

Boolean TcxGridIndicatorViewInfo::GetVisible() {
  return static_cast<TcxGridTableView*>(GetGridView())->GetOptionsView()->GetIndicator() || SupportsQuickCustomization();
}

TcxCustomGridIndicatorItemViewInfoClass TcxGridIndicatorViewInfo::GetRowItemClass(TcxCustomGridRowViewInfo* row) {
  return TcxGridIndicatorRowItemViewInfo::StaticClass();
}

TcxCustomGridIndicatorItemViewInfo* TcxGridIndicatorViewInfo::AddItem(TcxCustomGridIndicatorItemViewInfoClass itemClass) {
  TcxCustomGridIndicatorItemViewInfo* item = itemClass.Create(this);
  item->AfterConstruction();
  FItems.push_back(item);
  return item;
}

TcxCustomGridIndicatorItemViewInfo* TcxGridIndicatorViewInfo::AddItemAt(Integer top, Integer height,
                                                                        TcxCustomGridIndicatorItemViewInfoClass itemClass) {
  TcxCustomGridIndicatorItemViewInfo* item = AddItem(itemClass);
  item->Calculate(GetBounds().Left, top, GetBounds().Width(), height);
  return item;
}

TcxCustomGridIndicatorItemViewInfo* TcxGridIndicatorViewInfo::AddRowItem(TcxCustomGridRowViewInfo* row) {
  TcxCustomGridIndicatorItemViewInfo* item = AddItem(GetRowItemClass(row));
  if (auto* rowItem = dynamic_cast<TcxGridIndicatorRowItemViewInfo*>(item)) rowItem->SetRowViewInfo(row);
  return item;
}

void TcxGridIndicatorViewInfo::CalculateRowItem(TcxCustomGridRowViewInfo* row, TcxCustomGridIndicatorItemViewInfo* item) {
  if (!item) return;
  item->Calculate(GetBounds().Left, row->GetBounds().Top, GetBounds().Width(), row->GetBounds().Height());
}

TRect TcxGridIndicatorViewInfo::GetRowItemBounds(TcxCustomGridRecord* record) {
  for (TcxCustomGridIndicatorItemViewInfo* item : FItems)
    if (auto* rowItem = dynamic_cast<TcxGridIndicatorRowItemViewInfo*>(item))
      if (rowItem->GetRowViewInfo() && rowItem->GetRowViewInfo()->GetGridRecord() == record) return rowItem->GetBounds();
  return TRect{};
}

void TcxGridIndicatorViewInfo::RemoveItem(TcxCustomGridIndicatorItemViewInfo* item) {
  FItems.erase(std::remove(FItems.begin(), FItems.end(), item), FItems.end());
}

Integer TcxGridIndicatorViewInfo::CalculateWidth() {
  return GetVisible() ? static_cast<TcxGridTableView*>(GetGridView())->GetOptionsView()->GetIndicatorWidth() : 0;
}

Integer TcxGridIndicatorViewInfo::CalculateHeight() {
  TcxGridTableViewInfo* viewInfo = GridViewInfo();
  TRect client;
  viewInfo->GetClientBounds(client);
  return client.Height() + viewInfo->HeaderViewInfo()->GetPartHeight() + viewInfo->FooterViewInfo()->GetPartHeight();
}

void TcxGridIndicatorViewInfo::Calculate(Integer leftBound, Integer topBound, Integer width, Integer height) {
  inherited::Calculate(leftBound, topBound, width, height);
  TcxGridTableViewInfo* viewInfo = GridViewInfo();
  if (viewInfo->HeaderViewInfo()->GetVisible() && viewInfo->HeaderViewInfo()->GetPartHeight() > 0)
    viewInfo->HeaderViewInfo()->CreateIndicatorItem(this, 0);
  if (viewInfo->FooterViewInfo()->GetVisible() && viewInfo->FooterViewInfo()->GetPartHeight() > 0) {
    const Integer footerHeight = viewInfo->FooterViewInfo()->GetPartHeight();
    AddItemAt(GetBounds().Bottom - footerHeight, footerHeight, TcxGridIndicatorFooterItemViewInfo::StaticClass());
  }
}

void TcxGridIndicatorViewInfo::GetViewParams(TcxViewParams& params) {
  params = TcxViewParams();
  params.Color = GetGridViewInfo()->GetBackgroundColor();
}

TcxCustomGridHitTest* TcxGridIndicatorViewInfo::GetHitTest(const TPoint& point) {
  if (!GetVisible() || !IsPointInRect(GetBounds(), point)) return nullptr;
  for (TcxCustomGridIndicatorItemViewInfo* item : FItems)
    if (item->GetCalculated())
      if (TcxCustomGridHitTest* hitTest = item->GetHitTest(point)) return hitTest;
  return inherited::GetHitTest(point);
}

// ---- Items ----

TcxCustomGridIndicatorItemViewInfo::TcxCustomGridIndicatorItemViewInfo(TcxGridIndicatorViewInfo* container)
    : TcxCustomGridViewCellViewInfo(container->GetGridViewInfo()), FContainer(container) {}

void TcxCustomGridIndicatorItemViewInfo::BeforeDestruction() {
  FContainer->RemoveItem(this);
  inherited::BeforeDestruction();
}

TcxGridTableView* TcxCustomGridIndicatorItemViewInfo::GridView() const {
  return static_cast<TcxGridTableView*>(GetGridView());
}

void TcxCustomGridIndicatorItemViewInfo::GetViewParams(TcxViewParams& params) {
  GridView()->GetStyles()->ResolveStyleParams(vsIndicator, nullptr, nullptr, params);
}

Boolean TcxCustomGridIndicatorItemViewInfo::HasCustomDraw() { return GridView()->HasCustomDrawIndicatorCell(); }

Boolean TcxCustomGridIndicatorItemViewInfo::CustomDraw(TcxCanvas* canvas) {
  Boolean done = false;
  GridView()->DoCustomDrawIndicatorCell(canvas, this, done);
  return done;
}

void TcxGridIndicatorHeaderItemViewInfo::GetViewParams(TcxViewParams& params) {
  GridView()->GetStyles()->GetHeaderParams(nullptr, params);
}

TBitmap* TcxGridIndicatorHeaderItemViewInfo::GetBackgroundBitmap() {
  return GridView()->GetBackgroundBitmaps()->GetBitmap(bbHeader);
}

void TcxGridIndicatorHeaderItemViewInfo::GetHintText(AnsiString& text) {
  text = GetLocalizedResourceString(&scxGridColumnsQuickCustomizationHint);
}

void TcxGridIndicatorHeaderItemViewInfo::GetHintTextRect(const TPoint& mousePos, TRect& rect) {
  rect = GetOffsetRect(GetBounds(), 0, GetBounds().Height() + 5);
}

void TcxGridIndicatorRowItemViewInfo::BeforeDestruction() {
  if (FRowViewInfo && FRowViewInfo->IndicatorItem() == this) FRowViewInfo->ClearIndicatorItem();
  inherited::BeforeDestruction();
}

Integer TcxGridIndicatorRowItemViewInfo::GetIndicatorKind() {
  if (!FRowViewInfo) return 0;
  TcxCustomGridRecord* record = FRowViewInfo->GetGridRecord();
  TcxGridTableView* view = GridView();
  if (dynamic_cast<TcxGridFilterRow*>(record)) return 6;
  if (record->IsNewItemRecord()) return 3;
  if (record->IsEditing())
    return (view->GetDataController()->GetEditState() & TcxCustomDataController::dceInsert) != 0 ? 3 : 2;
  const Boolean selected = view->GetOptionsSelection()->GetMultiSelect() && record->GetSelected();
  if (record->GetFocused()) return selected ? 5 : 1;
  return selected ? 4 : 0;
}

void TcxGridIndicatorRowItemViewInfo::GetSizingEdgeBounds(TRect& rect) {
  rect = GetBounds();
  rect.Top = rect.Bottom - 4;
  rect.Bottom += 4;
}

TBitmap* TcxGridIndicatorRowItemViewInfo::GetBackgroundBitmap() {
  return GridView()->GetBackgroundBitmaps()->GetBitmap(bbIndicator);
}

TcxCustomGridHitTest* TcxGridIndicatorRowItemViewInfo::GetHitTest(const TPoint& point) {
  if (FRowViewInfo && FRowViewInfo->CanSize()) {
    TRect edge;
    GetSizingEdgeBounds(edge);
    if (IsPointInRect(edge, point)) {
      TcxCustomGridHitTest* hitTest = TcxCustomGridHitTest::Instance(TcxGridRowSizingEdgeHitTest::StaticClass(), point);
      InitHitTest(hitTest);
      return hitTest;
    }
  }
  return inherited::GetHitTest(point);
}

void TcxGridIndicatorRowItemViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  inherited::InitHitTest(hitTest);
  if (auto* recordHitTest = dynamic_cast<TcxGridRecordHitTest*>(hitTest))
    if (FRowViewInfo) recordHitTest->SetHitRecord(FRowViewInfo->GetGridRecord());
  if (auto* indicatorHitTest = dynamic_cast<TcxGridRowIndicatorHitTest*>(hitTest))
    indicatorHitTest->SetMultiSelect(GridView()->GetOptionsSelection()->GetMultiSelect());
}

Boolean TcxGridIndicatorRowItemViewInfo::MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button,
                                                   TShiftState shift) {
  if (button == mbLeft && shift.Contains(ssDouble) && dynamic_cast<TcxGridRowSizingEdgeHitTest*>(hitTest) &&
      FRowViewInfo) {
    // Back to the automatic height.
    FRowViewInfo->SetHeightBySizing(0);
    return true;
  }
  return inherited::MouseDown(hitTest, button, shift);
}

TcxBorders TcxGridIndicatorFooterItemViewInfo::GetBorders() { return TableViewPainter(GetGridView())->FooterBorders(); }

Integer TcxGridIndicatorFooterItemViewInfo::GetBorderWidth(TcxBorder side) {
  Integer width = TableViewPainter(GetGridView())->FooterBorderWidth();
  if (side == bTop) width += GetContainer()->GridViewInfo()->FooterViewInfo()->GetFooterSeparatorHeight();
  return width;
}

void TcxGridIndicatorFooterItemViewInfo::GetFooterSeparatorBounds(TRect& rect) {
  rect = GetBounds();
  rect.Bottom = rect.Top + GetContainer()->GridViewInfo()->FooterViewInfo()->GetFooterSeparatorHeight();
}

void TcxGridIndicatorFooterItemViewInfo::GetFooterContentBounds(TRect& rect) {
  rect = GetBounds();
  rect.Top += GetContainer()->GridViewInfo()->FooterViewInfo()->GetFooterSeparatorHeight();
}

void TcxGridIndicatorFooterItemViewInfo::GetViewParams(TcxViewParams& params) {
  GridView()->GetStyles()->GetFooterParams(nullptr, nullptr, -1, nullptr, params);
}

TBitmap* TcxGridIndicatorFooterItemViewInfo::GetBackgroundBitmap() {
  return GridView()->GetBackgroundBitmaps()->GetBitmap(bbFooter);
}

// ==== Rows view info =============================================================================

TcxGridRowsViewInfo::TcxGridRowsViewInfo(TcxCustomGridTableViewInfo* gridViewInfo)
    : TcxCustomGridRecordsViewInfo(gridViewInfo) {
  TcxGridViewData* data = TableView()->GetViewData();
  if (IsFilterRowVisible() && data->GetFilterRow()) {
    FFilterRowViewInfo = static_cast<TcxCustomGridRowViewInfo*>(GetFilterRowViewInfoClass().Create(this, data->GetFilterRow()));
    FFilterRowViewInfo->AfterConstruction();
  }
  if (IsNewItemRowVisible() && data->GetNewItemRow()) {
    FNewItemRowViewInfo =
        static_cast<TcxCustomGridRowViewInfo*>(GetNewItemRowViewInfoClass().Create(this, data->GetNewItemRow()));
    FNewItemRowViewInfo->AfterConstruction();
  }
}

TcxGridRowsViewInfo::~TcxGridRowsViewInfo() {
  ClearItems();
  ClearSpecialRows();
}

void TcxGridRowsViewInfo::ClearSpecialRowsOf(TcxCustomGridView* view) {
  if (auto* viewInfo = dynamic_cast<TcxGridTableViewInfo*>(view->GetViewInfo()))
    if (TcxGridRowsViewInfo* rows = viewInfo->RowsViewInfo()) rows->ClearSpecialRows();
}

void TcxGridRowsViewInfo::ClearSpecialRows() {
  FreeAndNil(FNewItemRowViewInfo);
  FreeAndNil(FFilterRowViewInfo);
}

TcxGridTableViewInfo* TcxGridRowsViewInfo::TableViewInfo() const {
  return static_cast<TcxGridTableViewInfo*>(GetGridViewInfo());
}

TcxGridTableView* TcxGridRowsViewInfo::TableView() const { return static_cast<TcxGridTableView*>(GetGridView()); }

TcxCustomGridRowViewInfo* TcxGridRowsViewInfo::Row(Integer index) const {
  return index >= 0 && index < Count() ? static_cast<TcxCustomGridRowViewInfo*>(ExistingItem(index)) : nullptr;
}

TcxCustomGridRecordViewInfoClass TcxGridRowsViewInfo::GetFilterRowViewInfoClass() {
  return TcxGridFilterRowViewInfo::StaticClass();
}

TcxCustomGridRecordViewInfoClass TcxGridRowsViewInfo::GetNewItemRowViewInfoClass() {
  return TcxGridNewItemRowViewInfo::StaticClass();
}

Boolean TcxGridRowsViewInfo::IsFilterRowVisible() { return TableView()->GetFilterRow()->GetVisible(); }

Boolean TcxGridRowsViewInfo::IsNewItemRowVisible() { return TableView()->GetNewItemRow()->GetVisible(); }

Boolean TcxGridRowsViewInfo::IsDataRowHeightAssigned() {
  return TableViewInfo()->SupportsSizeOptions() && TableView()->GetOptionsView()->GetDataRowHeight() != 0;
}

Boolean TcxGridRowsViewInfo::IsDataRowSizingAllowed() {
  return TableViewInfo()->SupportsSizeOptions() && TableView()->GetOptionsCustomize()->GetDataRowSizing();
}

Boolean TcxGridRowsViewInfo::RowHeightsFollowContent() {
  TcxGridTableView* view = TableView();
  if (!CellHeightsVary() || !TableViewInfo()->SupportsSizeOptions()) return false;
  return view->GetOptionsView()->GetDataRowHeight() == 0 || view->HasGetCellHeight();
}

Boolean TcxGridRowsViewInfo::ItemCellsMultiLine(TcxCustomGridTableItem* item) {
  return IsDataRowHeightAssigned() || RowHeightsFollowContent();
}

Integer TcxGridRowsViewInfo::CalculateDataRowHeight() {
  TcxGridTableView* view = TableView();
  Integer height = 0;
  if (view->GetVisibleColumnCount() > 0) {
    TcxCanvas* canvas = TableViewInfo()->Canvas();
    for (Integer i = 0; i < view->GetVisibleColumnCount(); ++i) {
      TcxGridColumn* column = view->GetVisibleColumn(i);
      TcxViewParams params;
      view->GetStyles()->GetContentParams(nullptr, column, params);
      height = std::max(height, column->CalculateDefaultCellHeight(canvas, params.Font));
    }
  } else {
    TcxViewParams params;
    view->GetStyles()->GetContentParams(nullptr, nullptr, params);
    height = FontBasedHeight(TableViewInfo(), params.Font);
  }
  if (HasHorzGridLines(view->GetOptionsView()->GetGridLines())) height += TableViewInfo()->GetGridLineWidth();
  return height;
}

Integer TcxGridRowsViewInfo::CalculateRowHeight() {
  if (IsDataRowHeightAssigned()) return TableView()->GetOptionsView()->GetDataRowHeight();
  return CalculateDataRowHeight();
}

Integer TcxGridRowsViewInfo::GetGroupRowSeparatorHeight() {
  return TableView()->GetOptionsView()->GetGroupRowStyle() == grsOffice11 ? 2 : 0;
}

Integer TcxGridRowsViewInfo::CalculateGroupRowHeightByParams(Boolean single, const TcxViewParams& params) {
  TcxGridTableView* view = TableView();
  Integer height = std::max(TableViewInfo()->GetFontHeight(params.Font), TableViewInfo()->ExpandButtonSize()) + 4;
  if (view->GetOptionsView()->GetGroupRowStyle() == grsOffice11) {
    if (!single) height *= 2;
    height += GetGroupRowSeparatorHeight();
  } else if (HasHorzGridLines(view->GetOptionsView()->GetGridLines())) {
    height += TableViewInfo()->GetGridLineWidth();
  }
  return height;
}

Integer TcxGridRowsViewInfo::CalculateGroupRowHeight(Boolean single) {
  TcxViewParams params;
  TableView()->GetStyles()->GetGroupParams(nullptr, 0, params);
  return CalculateGroupRowHeightByParams(single, params);
}

void TcxGridRowsViewInfo::CalculateRowHeights() {
  FRowHeight = CalculateRowHeight();
  FDataRowHeight = FRowHeight;
  const Integer groupRowHeight = TableView()->GetOptionsView()->GetGroupRowHeight();
  FGroupRowHeight = groupRowHeight != 0 ? groupRowHeight : CalculateGroupRowHeight(false);
}

Integer TcxGridRowsViewInfo::GetRowSeparatorWidth() { return TableView()->GetOptionsView()->GetRowSeparatorWidth(); }

Integer TcxGridRowsViewInfo::GetRowStep() { return GetRowSeparatorWidth() + FDataRowHeight; }

Integer TcxGridRowsViewInfo::GetDataWidth() { return TableViewInfo()->DataWidth(); }

Boolean TcxGridRowsViewInfo::NeedsClosingGridLine(TcxCustomGridRowViewInfo* row) {
  if (TableView()->GetOptionsView()->GetGridLines() != glVertical) return false;
  return (row ? row->GetSeparatorWidth() : GetRowSeparatorWidth()) == 0;
}

Integer TcxGridRowsViewInfo::GetRestHeight(Integer top) { return ContentBounds().Bottom - top; }

Integer TcxGridRowsViewInfo::GetAvailableHeight(Integer top) {
  return FCalculating ? FRestHeight : ContentBounds().Bottom - top;
}

void TcxGridRowsViewInfo::GetBounds(TRect& rect) {
  TcxGridTableViewInfo* viewInfo = TableViewInfo();
  viewInfo->GetClientBounds(rect);
  if (IsScrollableHorizontally()) rect = GetOffsetRect(rect, -viewInfo->LeftPos(), 0);
  rect.Right = rect.Left + GetDataWidth();
}

void TcxGridRowsViewInfo::GetContentBounds(TRect& rect) {
  GetBounds(rect);
  if (FFilterRowViewInfo) rect.Top += FFilterRowViewInfo->CalculateHeight();
  if (FNewItemRowViewInfo) rect.Top += FNewItemRowViewInfo->CalculateHeight();
}

Integer TcxGridRowsViewInfo::GetRecordLeft(Integer index) { return ContentBounds().Left; }

Integer TcxGridRowsViewInfo::GetRecordTop(Integer index) {
  if (index == 0 || !ExistingItem(index - 1)) return ContentBounds().Top;
  return ExistingItem(index - 1)->GetBounds().Bottom;
}

Integer TcxGridRowsViewInfo::GetRecordsOffset(Integer count) {
  Integer extent = 0;
  const Integer n = std::abs(count);
  for (Integer i = 0; i < n && i < Count(); ++i)
    if (TcxCustomGridRecordViewInfo* item = ExistingItem(i)) extent += item->GetBounds().Height();
  return count > 0 ? -extent : extent;
}

void TcxGridRowsViewInfo::OffsetRecordViewInfo(Integer index, Integer offset) {
  if (TcxCustomGridRecordViewInfo* item = ExistingItem(index)) item->Offset(0, offset);
}

void TcxGridRowsViewInfo::CalculateVisibleCount() {
  FPartVisibleCount = 0;
  Integer visible = 0;
  FFirstRowFullyVisible = true;
  const Integer bottom = ContentBounds().Bottom;
  Integer top = ContentBounds().Top;
  const Integer maxCount = FCalculating ? MaxCount() : Count();
  for (Integer i = 0; i < maxCount; ++i) {
    TcxCustomGridRecordViewInfo* item = FCalculating ? ItemAt(i) : ExistingItem(i);
    if (!item) break;
    ++FPartVisibleCount;
    FRestHeight = bottom - top;
    top += item->CalculateHeight();
    if (top > bottom) break;
    ++visible;
    if (top == bottom) break;
  }
  if (FPartVisibleCount > 0 && visible == FPartVisibleCount) {
    // The last row counts only when it shows whole.
    auto* last = static_cast<TcxCustomGridRowViewInfo*>(FCalculating ? ItemAt(visible - 1) : ExistingItem(visible - 1));
    if (last && !last->IsFullyVisible()) --visible;
  }
  if (visible == 0 && FPartVisibleCount > 0) {
    visible = 1;
    FFirstRowFullyVisible = false;
  }
  SetVisibleCount(visible);
}

void TcxGridRowsViewInfo::Calculate() {
  FCalculating = true;
  PrepareCalculation();
  try {
    CalculateRowHeights();
    CalculateBounds();
    if (TableViewInfo()->CalculateDown()) {
      Integer top = Bounds().Top;
      if (FFilterRowViewInfo) {
        FFilterRowViewInfo->CalculateAt(ContentBounds().Left, top);
        top = FFilterRowViewInfo->GetBounds().Bottom;
      }
      if (FNewItemRowViewInfo) FNewItemRowViewInfo->CalculateAt(ContentBounds().Left, top);
    }
    CalculateVisibleCount();
    // Rows created for counting past the last laid one go.
    Integer top = ContentBounds().Top;
    for (Integer i = 0; i < FPartVisibleCount; ++i) {
      TcxCustomGridRecordViewInfo* item = ItemAt(i);
      if (!item) break;
      item->CalculateAt(ContentBounds().Left, top);
      top = item->GetBounds().Bottom;
    }
    for (Integer i = 0; i < Count(); ++i)
      if (auto* row = static_cast<TcxCustomGridRowViewInfo*>(ExistingItem(i))) row->CalculateCellMerging();
  } catch (...) {
    FCalculating = false;
    FinishCalculation();
    throw;
  }
  FCalculating = false;
  FinishCalculation();
}

void TcxGridRowsViewInfo::OffsetRecords(Integer recordCount) {
  for (Integer i = 0; i < Count(); ++i)
    if (auto* row = static_cast<TcxCustomGridRowViewInfo*>(ExistingItem(i))) row->ResetCellMerging();
  inherited::OffsetRecords(recordCount);
  for (Integer i = 0; i < Count(); ++i)
    if (auto* row = static_cast<TcxCustomGridRowViewInfo*>(ExistingItem(i))) row->CalculateCellMerging();
}

void TcxGridRowsViewInfo::OffsetBy(Integer dx, Integer dy) {
  inherited::OffsetBy(dx, dy);
  if (FFilterRowViewInfo) FFilterRowViewInfo->Offset(dx, dy);
  if (FNewItemRowViewInfo) FNewItemRowViewInfo->Offset(dx, dy);
  for (Integer i = 0; i < Count(); ++i)
    if (TcxCustomGridRecordViewInfo* item = ExistingItem(i)) item->Offset(dx, dy);
}

TcxCustomGridHitTest* TcxGridRowsViewInfo::GetHitTest(const TPoint& point) {
  if (TcxCustomGridHitTest* hitTest = inherited::GetHitTest(point)) return hitTest;
  if (FFilterRowViewInfo)
    if (TcxCustomGridHitTest* hitTest = FFilterRowViewInfo->GetHitTest(point)) return hitTest;
  if (FNewItemRowViewInfo)
    if (TcxCustomGridHitTest* hitTest = FNewItemRowViewInfo->GetHitTest(point)) return hitTest;
  return nullptr;
}

TcxCustomGridRecordViewInfo* TcxGridRowsViewInfo::GetRecordViewInfo(TcxCustomGridRecord* record) {
  if (!record) return nullptr;
  if (FFilterRowViewInfo && FFilterRowViewInfo->GetGridRecord() == record) return FFilterRowViewInfo;
  if (FNewItemRowViewInfo && FNewItemRowViewInfo->GetGridRecord() == record) return FNewItemRowViewInfo;
  return inherited::GetRecordViewInfo(record);
}

TcxCustomGridRecordsPainterClass TcxGridRowsViewInfo::GetPainterClass() { return TcxGridRowsPainter::StaticClass(); }

// ==== Rows =======================================================================================

TcxCustomGridRowViewInfo::TcxCustomGridRowViewInfo(TcxCustomGridRecordsViewInfo* recordsViewInfo,
                                                   TcxCustomGridRecord* record)
    : TcxCustomGridRecordViewInfo(recordsViewInfo, record) {}

void TcxCustomGridRowViewInfo::AfterConstruction() {
  inherited::AfterConstruction();
  if (TcxGridIndicatorViewInfo* indicator = TableViewInfo()->IndicatorViewInfo()) FIndicatorItem = indicator->AddRowItem(this);
}

void TcxCustomGridRowViewInfo::BeforeDestruction() {
  FreeAndNil(FFootersViewInfo);
  if (FIndicatorItem) {
    TcxCustomGridIndicatorItemViewInfo* item = FIndicatorItem;
    FIndicatorItem = nullptr;
    if (auto* rowItem = dynamic_cast<TcxGridIndicatorRowItemViewInfo*>(item)) rowItem->SetRowViewInfo(nullptr);
    item->Free();
  }
  inherited::BeforeDestruction();
}

TcxGridRowsViewInfo* TcxCustomGridRowViewInfo::RowsViewInfo() const {
  return static_cast<TcxGridRowsViewInfo*>(GetRecordsViewInfo());
}

TcxGridTableViewInfo* TcxCustomGridRowViewInfo::TableViewInfo() const {
  return static_cast<TcxGridTableViewInfo*>(GetRecordsViewInfo()->GetGridViewInfo());
}

TcxGridTableView* TcxCustomGridRowViewInfo::GridView() const {
  return static_cast<TcxGridTableView*>(GetRecordsViewInfo()->GetGridView());
}

Integer TcxCustomGridRowViewInfo::GetLevel() { return GetGridRecord()->GetLevel(); }

Integer TcxCustomGridRowViewInfo::GetVisualLevel() { return TableViewInfo()->GetVisualLevel(GetLevel()); }

Integer TcxCustomGridRowViewInfo::LevelIndent() { return GetVisualLevel() * TableViewInfo()->LevelIndent(); }

void TcxCustomGridRowViewInfo::CheckHeight(Integer& height) {
  if (height <= 0) height = 1;
}

Integer TcxCustomGridRowViewInfo::GetSeparatorWidth() { return HasSeparator() ? RowsViewInfo()->GetRowSeparatorWidth() : 0; }

TColor TcxCustomGridRowViewInfo::GetSeparatorColor() {
  return GridView()->GetOptionsView()->GetRowSeparatorColorInEffect();
}

Boolean TcxCustomGridRowViewInfo::HasGroupFooter(Integer level) {
  const TcxGridGroupFootersMode mode = GridView()->GetOptionsView()->GetGroupFooters();
  if (mode == gfInvisible) return false;
  if (mode == gfAlwaysVisible) --level;
  if (level < 0 || level >= GetLevel()) return false;
  if (!GetGridRecord()->IsParentRecordLast(level)) return false;
  TcxGridColumn* column = GridView()->GetGroupedColumn(GetLevel() - level - 1);
  return column && column->HasGroupFooters();
}

Boolean TcxCustomGridRowViewInfo::HasClosingGridLine() {
  return RowsViewInfo()->NeedsClosingGridLine(this) && GetGridRecord()->IsLast();
}

Integer TcxCustomGridRowViewInfo::GetBottomPartHeight() {
  Integer height = GetSeparatorWidth() + GetFootersHeight();
  if (HasClosingGridLine()) height += TableViewInfo()->GetGridLineWidth();
  return height;
}

Integer TcxCustomGridRowViewInfo::GetFullHeight() { return CalculateHeight(); }

Integer TcxCustomGridRowViewInfo::GetDataLeft() { return GetBounds().Left + LevelIndent(); }

Integer TcxCustomGridRowViewInfo::GetCellsAreaWidth() { return GetBounds().Width() - LevelIndent(); }

Integer TcxCustomGridRowViewInfo::CalculateWidth() { return RowsViewInfo()->GetDataWidth(); }

Boolean TcxCustomGridRowViewInfo::IsVisibleOnScreen() {
  const Integer index = GetIndex();
  return index >= 0 && index < std::max(RowsViewInfo()->PartVisibleCount(), RowsViewInfo()->GetVisibleCount());
}

void TcxCustomGridRowViewInfo::GetClosingGridLineBounds(TRect& rect) {
  rect = GetBounds();
  rect.Top = rect.Bottom - TableViewInfo()->GetGridLineWidth();
}

Integer TcxCustomGridRowViewInfo::EndingGroupLevelCount() {
  Integer count = 0;
  while (count < GetLevel() && GetGridRecord()->IsParentRecordLast(count)) ++count;
  return count;
}

void TcxCustomGridRowViewInfo::GetSeparatorBounds(TRect& rect) {
  rect = GetBounds();
  rect.Left = GetDataLeft();
  rect.Right = rect.Left + GetCellsAreaWidth();
  rect.Top = rect.Bottom - GetSeparatorWidth();
  if (HasClosingGridLine()) {
    rect.Top -= TableViewInfo()->GetGridLineWidth();
    rect.Bottom -= TableViewInfo()->GetGridLineWidth();
  }
  const Integer ending = EndingGroupLevelCount();
  if (ending > 0) {
    const Integer visualLevel = GetVisualLevel();
    const Integer outer = TableViewInfo()->GetVisualLevel(GetLevel() - ending);
    rect.Left -= (visualLevel - outer) * TableViewInfo()->LevelIndent();
  }
}

void TcxCustomGridRowViewInfo::GetLevelIndentBounds(Integer level, TRect& rect) {
  rect = GetBounds();
  const Integer indent = TableViewInfo()->LevelIndent();
  if (level == -1) {
    rect.Right = rect.Left + LevelIndent();
  } else {
    rect.Left += level * indent;
    rect.Right = rect.Left + indent;
  }
  rect.Bottom -= GetBottomPartHeight() - GetSeparatorWidth();
}

void TcxCustomGridRowViewInfo::CalculateAt(Integer left, Integer top) { inherited::CalculateAt(left, top); }

void TcxCustomGridRowViewInfo::Calculate(Integer leftBound, Integer topBound, Integer width, Integer height) {
  inherited::Calculate(leftBound, topBound, width, height);
  FreeAndNil(FFootersViewInfo);
  FFootersChecked = false;
  if (TcxGridRowFootersViewInfo* footers = FootersViewInfo()) {
    const TRect& bounds = GetBounds();
    footers->Calculate(bounds.Left, bounds.Bottom - GetBottomPartHeight());
  }
  if (FIndicatorItem) {
    TableViewInfo()->IndicatorViewInfo()->CalculateRowItem(this, FIndicatorItem);
    if (FRecalculating) FIndicatorItem->Invalidate();
  }
  FRecalculating = false;
}

void TcxCustomGridRowViewInfo::BeforeRecalculation() {
  inherited::BeforeRecalculation();
  FRecalculating = true;
}

void TcxCustomGridRowViewInfo::Offset(Integer dx, Integer dy) {
  inherited::Offset(dx, dy);
  if (FFootersViewInfo) FFootersViewInfo->Offset(dx, dy);
  if (FIndicatorItem && dy != 0) FIndicatorItem->Offset(0, dy);
}

void TcxCustomGridRowViewInfo::GetInvalidateBounds(TcxCustomGridTableItem* item, TRect& rect) {
  inherited::GetInvalidateBounds(item, rect);
  if (!item && FIndicatorItem && FIndicatorItem->GetCalculated()) rect.Left = FIndicatorItem->GetBounds().Left;
}

TcxCustomGridCellPainterClass TcxCustomGridRowViewInfo::GetPainterClass() {
  return TcxCustomGridRowPainter::StaticClass();
}

// ---- Cells ----

TColor TcxGridCellViewInfo::GetBorderColor(TcxBorder side) {
  return static_cast<TcxGridTableViewInfo*>(GetGridViewInfo())->GetGridLineColor();
}

void TcxGridCellViewInfo::GetViewParams(TcxViewParams& params) {
  GetTableView()->GetTableStyles()->GetRecordContentParams(GetGridRecord(), nullptr, params);
}

Boolean TcxGridDataRowCellsAreaViewInfo::IsVisibleAsArea() { return GetTableView()->GetVisibleItemCount() == 0; }

Boolean TcxGridDataRowCellsAreaViewInfo::HasBottomBorder() {
  auto* row = static_cast<TcxGridDataRowViewInfo*>(GetRecordViewInfo());
  TcxGridTableView* view = static_cast<TcxGridTableView*>(GetTableView());
  return !(row->HasPreview() && view->GetPreview()->GetPlace() == ppBottom && row->PreviewHeight() > 0);
}

Boolean TcxGridDataRowCellsAreaViewInfo::HasRowBackgroundBitmap() { return GetRecordViewInfo()->GetBackgroundBitmap() != nullptr; }

TcxBorders TcxGridDataRowCellsAreaViewInfo::GetBorders() {
  TcxBorders borders = static_cast<TcxGridTableViewInfo*>(GetGridViewInfo())->GetCellBorders(true);
  if (!HasBottomBorder()) borders.Exclude(bBottom);
  return borders;
}

TcxCustomGridCellPainterClass TcxGridDataRowCellsAreaViewInfo::GetPainterClass() {
  return TcxGridDataRowCellsAreaPainter::StaticClass();
}

TcxGridDataRowViewInfo* TcxGridDataCellViewInfo::RowViewInfo() const {
  return static_cast<TcxGridDataRowViewInfo*>(GetRecordViewInfo());
}

TcxBorders TcxGridDataCellViewInfo::GetBorders() {
  return static_cast<TcxGridTableViewInfo*>(GetGridViewInfo())->GetCellBorders(GetItem()->IsLast());
}

TColor TcxGridDataCellViewInfo::GetBorderColor(TcxBorder side) {
  return static_cast<TcxGridTableViewInfo*>(GetGridViewInfo())->GetGridLineColor();
}

Integer TcxGridDataCellViewInfo::CalculateWidth() {
  const Integer index = GetItem()->GetVisibleIndex();
  return index >= 0 ? RowViewInfo()->GetCellWidth(index) : inherited::CalculateWidth();
}

Boolean TcxGridDataCellViewInfo::GetMultiLine() {
  auto* rows = static_cast<TcxGridRowsViewInfo*>(GetRecordViewInfo()->GetRecordsViewInfo());
  return rows->IsDataRowHeightAssigned() || rows->RowHeightsFollowContent();
}

TcxCustomGridCellPainterClass TcxGridDataCellViewInfo::GetPainterClass() { return TcxGridDataCellPainter::StaticClass(); }

// ---- Merging ----

void TcxGridDataCellViewInfo::BeforeDestruction() {
  for (TcxGridDataCellViewInfo* cell : FMergedCells)
    if (cell->FMergingCell == this) {
      cell->FMergingCell = nullptr;
      cell->FIsMerged = false;
    }
  FMergedCells.clear();
  if (FMergingCell) {
    auto& list = FMergingCell->FMergedCells;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    FMergingCell = nullptr;
  }
  inherited::BeforeDestruction();
}

void TcxGridDataCellViewInfo::Calculate(Integer leftBound, Integer topBound, Integer width, Integer height) {
  inherited::Calculate(leftBound, topBound, width, height);
  if (FCalculatingMerged) return;
  FUnmergedBounds = GetBounds();
  // The cell that shows this value for it follows.
  if (FIsMerged && FMergingCell && FMergingCell->GetCalculated() && !FMergingCell->FCalculatingMerged) {
    FMergingCell->FCalculatingMerged = true;
    try {
      FMergingCell->inherited::Calculate(FMergingCell->GetBounds());
    } catch (...) {
      FMergingCell->FCalculatingMerged = false;
      throw;
    }
    FMergingCell->FCalculatingMerged = false;
  }
}

void TcxGridDataCellViewInfo::Offset(Integer dx, Integer dy) {
  inherited::Offset(dx, dy);
  FUnmergedBounds = GetOffsetRect(FUnmergedBounds, dx, dy);
}

Boolean TcxGridDataCellViewInfo::HasHitTestPoint(const TPoint& point) {
  if (FIsMerging) return IsPointInRect(FUnmergedBounds, point);
  return inherited::HasHitTestPoint(point);
}

void TcxGridDataCellViewInfo::ResetMerging() {
  FIsMerged = false;
  FIsMerging = false;
  FMergedCells.clear();
  FMergingCell = nullptr;
  if (GetCalculated()) RestoreUnmergedBounds();
}

Boolean TcxGridDataCellViewInfo::CanBeMerged() { return !GetRecordViewInfo()->Expanded(); }

Boolean TcxGridDataCellViewInfo::CanMerge() {
  auto* column = dynamic_cast<TcxGridColumn*>(GetItem());
  return CanBeMerged() && column && column->CanCellMerging() && !GetGridViewInfo()->IsInternalUse();
}

void TcxGridDataCellViewInfo::RestoreUnmergedBounds() {
  if (GetBounds() == FUnmergedBounds) return;
  FCalculatingMerged = true;
  try {
    inherited::Calculate(FUnmergedBounds);
  } catch (...) {
    FCalculatingMerged = false;
    throw;
  }
  FCalculatingMerged = false;
}

void TcxGridDataCellViewInfo::CalculateMerging() {
  if (!GetCalculated()) return;
  if (!FIsMerged && CanMerge()) {
    auto* column = static_cast<TcxGridColumn*>(GetItem());
    TcxGridDataRowViewInfo* row = RowViewInfo();
    TcxGridRowsViewInfo* rows = row->RowsViewInfo();
    const Integer index = column->GetVisibleIndex();
    Variant value;
    GetValue(value);
    for (Integer i = row->GetIndex() + 1; i >= 1 && i < rows->Count(); ++i) {
      auto* next = dynamic_cast<TcxGridDataRowViewInfo*>(rows->Row(i));
      if (!next || !next->GetCalculated() || index >= next->CellCount()) break;
      TcxGridDataCellViewInfo* other = next->ExistingCell(index);
      if (!other || !other->GetCalculated() || other->FIsMerged) break;
      Variant otherValue;
      other->GetValue(otherValue);
      if (!column->CompareValuesForCellMerging(static_cast<TcxGridDataRow*>(row->GetGridRecord()), GetProperties(),
                                               value, static_cast<TcxGridDataRow*>(next->GetGridRecord()),
                                               other->GetProperties(), otherValue))
        break;
      FIsMerging = true;
      FMergedCells.push_back(other);
      other->FIsMerged = true;
      other->FMergingCell = this;
      if (next->Expanded()) break;
    }
  }
  if (FIsMerging) {
    TRect bounds = FUnmergedBounds;
    bounds.Bottom = FMergedCells.back()->FUnmergedBounds.Bottom;
    FCalculatingMerged = true;
    try {
      inherited::Calculate(bounds);
    } catch (...) {
      FCalculatingMerged = false;
      throw;
    }
    FCalculatingMerged = false;
  } else {
    RestoreUnmergedBounds();
  }
}

void TcxGridDataRowViewInfo::CalculateCellMerging() {
  for (TcxGridDataCellViewInfo* cell : FCells)
    if (cell) cell->CalculateMerging();
}

void TcxGridDataRowViewInfo::ResetCellMerging() {
  for (TcxGridDataCellViewInfo* cell : FCells)
    if (cell) cell->ResetMerging();
}

// ---- Preview ----

TcxBorders TcxGridPreviewCellViewInfo::GetBorders() {
  return static_cast<TcxGridTableViewInfo*>(GetGridViewInfo())->GetCellBorders(true);
}

Integer TcxGridPreviewCellViewInfo::CalculateWidth() { return RowViewInfo()->GetCellsAreaWidth(); }

Integer TcxGridPreviewCellViewInfo::GetMaxLineCount() {
  return static_cast<TcxGridTableView*>(GetTableView())->GetPreview()->GetMaxLineCount();
}

Integer TcxGridPreviewCellViewInfo::CalculateHeight() {
  TcxGridPreview* preview = static_cast<TcxGridTableView*>(GetTableView())->GetPreview();
  Integer height;
  if (preview->GetAutoHeight()) {
    height = inherited::CalculateHeight();
  } else if (preview->GetMaxLineCount() != 0) {
    CheckCalculateParams();
    height = preview->GetMaxLineCount() * GetGridViewInfo()->GetFontHeight(Params().Font) + 4;
  } else {
    height = 0;
  }
  auto* view = static_cast<TcxGridTableView*>(GetTableView());
  if (height != 0 && HasHorzGridLines(view->GetOptionsView()->GetGridLines()))
    height += static_cast<TcxGridTableViewInfo*>(GetGridViewInfo())->GetGridLineWidth();
  return height;
}

void TcxGridPreviewCellViewInfo::GetTextAreaBounds(TRect& rect) {
  TcxGridPreview* preview = static_cast<TcxGridTableView*>(GetTableView())->GetPreview();
  GetContentBounds(rect);
  rect.Top += 2;
  rect.Bottom -= 2;
  rect.Left += preview->GetLeftIndent();
  rect.Right -= preview->GetRightIndent();
}

void TcxGridPreviewCellViewInfo::GetEditContentOffsets(TRect& rect) {
  TcxGridPreview* preview = static_cast<TcxGridTableView*>(GetTableView())->GetPreview();
  rect = TRect{preview->GetLeftIndent() - 1, 1, preview->GetRightIndent() - 1, 1};
}

TBitmap* TcxGridPreviewCellViewInfo::GetBackgroundBitmap() {
  return static_cast<TcxGridTableView*>(GetTableView())->GetBackgroundBitmaps()->GetBitmap(bbPreview);
}

// ---- Data rows ----

TcxGridDataRowViewInfo::TcxGridDataRowViewInfo(TcxCustomGridRecordsViewInfo* recordsViewInfo,
                                               TcxCustomGridRecord* record)
    : TcxCustomGridRowViewInfo(recordsViewInfo, record) {
  FCells.resize(std::size_t(TableViewInfo()->HeaderViewInfo()->GetItemCount()), nullptr);
  FCellsAreaViewInfo = GetCellsAreaViewInfoClass().Create(this);
  if (HasPreview()) {
    FPreviewViewInfo = static_cast<TcxGridDataCellViewInfo*>(
        GetPreviewViewInfoClass().Create(this, GridView()->GetPreview()->GetColumn()));
    FPreviewViewInfo->AfterConstruction();
  }
}

void TcxGridDataRowViewInfo::BeforeDestruction() {
  for (TcxGridDataCellViewInfo*& cell : FCells) FreeAndNil(cell);
  FreeAndNil(FPreviewViewInfo);
  FreeAndNil(FCellsAreaViewInfo);
  inherited::BeforeDestruction();
}

TcxGridDataRowCellsAreaViewInfoClass TcxGridDataRowViewInfo::GetCellsAreaViewInfoClass() {
  return TcxGridDataRowCellsAreaViewInfo::StaticClass();
}

TcxGridTableDataCellViewInfoClass TcxGridDataRowViewInfo::GetCellViewInfoClass(Integer index) {
  return TcxGridDataCellViewInfo::StaticClass();
}

TcxGridTableDataCellViewInfoClass TcxGridDataRowViewInfo::GetPreviewViewInfoClass() {
  return TcxGridPreviewCellViewInfo::StaticClass();
}

Boolean TcxGridDataRowViewInfo::HasPreview() { return GridView()->GetPreview()->GetActive(); }

TcxGridDataCellViewInfo* TcxGridDataRowViewInfo::Cell(Integer index) {
  TcxGridDataCellViewInfo*& cell = FCells[std::size_t(index)];
  if (!cell) {
    cell = static_cast<TcxGridDataCellViewInfo*>(GetCellViewInfoClass(index).Create(this, GridView()->GetVisibleColumn(index)));
    cell->AfterConstruction();
  }
  return cell;
}

Integer TcxGridDataRowViewInfo::PreviewHeight() {
  if (!FPreviewViewInfo) return 0;
  auto* cache = dynamic_cast<TcxCustomGridTableViewInfoCache*>(GridView()->GetViewInfoCache());
  TcxGridTableViewInfoCacheItem* item = nullptr;
  if (cache && !TableViewInfo()->IsInternalUse()) {
    if (cache->GetCount() <= GetGridRecord()->GetIndex()) cache->SetCount(GridView()->GetViewData()->GetRecordCount());
    if (GetGridRecord()->GetIndex() >= 0)
      item = dynamic_cast<TcxGridTableViewInfoCacheItem*>(cache->GetTableItem(GetGridRecord()->GetIndex()));
  }
  if (item && item->IsPreviewHeightAssigned) return item->PreviewHeight;
  const Integer height = FPreviewViewInfo->CalculateHeight();
  if (item) {
    item->PreviewHeight = height;
    item->IsPreviewHeightAssigned = true;
  }
  return height;
}

Boolean TcxGridDataRowViewInfo::HasAutoHeight() { return RowsViewInfo()->RowHeightsFollowContent(); }

Integer TcxGridDataRowViewInfo::CalculateRecordHeight() {
  Integer height;
  if (HasAutoHeight()) {
    height = 0;
    for (Integer i = 0; i < CellCount(); ++i) height = std::max(height, Cell(i)->CalculateHeight());
    if (HasHorzGridLines(GridView()->GetOptionsView()->GetGridLines())) height += TableViewInfo()->GetGridLineWidth();
    if (!GridView()->HasGetCellHeight()) height = std::max(height, RowsViewInfo()->GetRowHeight());
  } else {
    height = RowsViewInfo()->GetRowHeight();
  }
  return height + PreviewHeight() + GetBottomPartHeight();
}

Integer TcxGridDataRowViewInfo::GetResizableHeight() { return GetDataHeight() - PreviewHeight(); }

Boolean TcxGridDataRowViewInfo::CanSize() { return RowsViewInfo()->IsDataRowSizingAllowed(); }

void TcxGridDataRowViewInfo::CheckHeight(Integer& height) {
  const Integer nonResizable = GetBottomPartHeight() + PreviewHeight();
  height -= nonResizable;
  if (height <= 0) height = 1;
  height = std::max(height, RowsViewInfo()->CalculateDataRowHeight());
  height += nonResizable;
}

void TcxGridDataRowViewInfo::SetHeightBySizing(Integer value) {
  if (value == GetBounds().Height()) return;
  GridView()->GetOptionsView()->SetDataRowHeight(value - (GetBottomPartHeight() + PreviewHeight()));
}

void TcxGridDataRowViewInfo::CalculateCellsAreaBounds(TRect& rect) {
  rect.Left = GetCellsAreaLeft();
  rect.Right = rect.Left + GetCellsAreaWidth();
  rect.Top = GetBounds().Top;
  rect.Bottom = rect.Top + GetDataHeight();
  if (FPreviewViewInfo) {
    if (GridView()->GetPreview()->GetPlace() == ppTop)
      rect.Top += PreviewHeight();
    else
      rect.Bottom -= PreviewHeight();
  }
}

Integer TcxGridDataRowViewInfo::CalculateCellHeight() {
  if (HasAutoHeight()) return GetDataHeight() - PreviewHeight();
  return RowsViewInfo()->GetRowHeight();
}

Integer TcxGridDataRowViewInfo::GetCellHeightAt(Integer index) { return TableViewInfo()->GetCellHeight(FCellHeight); }

Integer TcxGridDataRowViewInfo::GetCellLeft(Integer index) {
  return TableViewInfo()->HeaderViewInfo()->Item(index)->GetDataCellLeft();
}

Integer TcxGridDataRowViewInfo::GetCellTop(Integer index) { return FCellsAreaBounds.Top + TableViewInfo()->GetCellTopOffset(); }

Integer TcxGridDataRowViewInfo::GetCellWidth(Integer index) { return TableViewInfo()->HeaderViewInfo()->Item(index)->RealWidth(); }

Boolean TcxGridDataRowViewInfo::IsCellVisible(Integer index) { return TableViewInfo()->HeaderViewInfo()->Item(index)->GetVisible(); }

TcxBorders TcxGridDataRowViewInfo::GetCellBorders(Boolean isRightMost, Boolean isBottom) {
  return TableViewInfo()->GetCellBorders(isRightMost);
}

void TcxGridDataRowViewInfo::CalculateCell(Integer index) {
  Cell(index)->Calculate(GetCellLeft(index), GetCellTop(index), GetCellWidth(index), GetCellHeightAt(index));
}

void TcxGridDataRowViewInfo::Calculate(Integer leftBound, Integer topBound, Integer width, Integer height) {
  inherited::Calculate(leftBound, topBound, width, height);
  CalculateCellsAreaBounds(FCellsAreaBounds);
  if (FPreviewViewInfo) {
    const Integer top = GridView()->GetPreview()->GetPlace() == ppTop ? GetBounds().Top : FCellsAreaBounds.Bottom;
    FPreviewViewInfo->Calculate(FCellsAreaBounds.Left, top, GetCellsAreaWidth(), PreviewHeight());
  }
  FCellHeight = CalculateCellHeight();
  for (Integer i = 0; i < CellCount(); ++i)
    if (IsCellVisible(i)) CalculateCell(i);
  if (FCellsAreaViewInfo->IsVisibleAsArea()) FCellsAreaViewInfo->Calculate(FCellsAreaBounds);
}

void TcxGridDataRowViewInfo::Offset(Integer dx, Integer dy) {
  inherited::Offset(dx, dy);
  FCellsAreaBounds = GetOffsetRect(FCellsAreaBounds, dx, dy);
  if (FCellsAreaViewInfo->GetCalculated()) FCellsAreaViewInfo->Offset(dx, dy);
  if (FPreviewViewInfo && FPreviewViewInfo->GetCalculated()) FPreviewViewInfo->Offset(dx, dy);
  for (Integer i = 0; i < CellCount(); ++i) {
    if (IsCellVisible(i)) {
      if (FCells[std::size_t(i)] && FCells[std::size_t(i)]->GetCalculated())
        FCells[std::size_t(i)]->Offset(dx, dy);
      else
        CalculateCell(i);
    } else if (dx != 0) {
      FreeAndNil(FCells[std::size_t(i)]);
    }
  }
}

void TcxGridDataRowViewInfo::GetRecordContentBounds(TRect& rect) {
  rect = GetBounds();
  rect.Left = GetDataLeft();
  rect.Bottom -= GetBottomPartHeight();
}

TcxGridTableDataCellViewInfo* TcxGridDataRowViewInfo::GetCellViewInfoByItem(TcxCustomGridTableItem* item) {
  if (!item) return nullptr;
  if (FPreviewViewInfo && item == FPreviewViewInfo->GetItem()) return FPreviewViewInfo;
  if (GridView()->IsDestroying()) return nullptr;
  const Integer index = item->GetVisibleIndex();
  if (index < 0 || index >= CellCount()) return nullptr;
  return FCells[std::size_t(index)];
}

void TcxGridDataRowViewInfo::GetCellBoundsForItem(TcxCustomGridTableItem* item, TRect& rect) {
  TcxGridTableDataCellViewInfo* cell = GetCellViewInfoByItem(item);
  rect = cell && cell->GetCalculated() ? cell->GetBounds() : TRect{};
}

TcxCustomGridHitTest* TcxGridDataRowViewInfo::GetHitTest(const TPoint& point) {
  TcxCustomGridHitTest* hitTest = inherited::GetHitTest(point);
  if (!hitTest || hitTest->ClassType() != TcxGridRecordHitTest::StaticClass()) return hitTest;
  for (TcxGridDataCellViewInfo* cell : FCells)
    if (cell && cell->GetCalculated())
      if (TcxCustomGridHitTest* cellHitTest = cell->GetHitTest(point)) return cellHitTest;
  if (FPreviewViewInfo && FPreviewViewInfo->GetCalculated())
    if (TcxCustomGridHitTest* previewHitTest = FPreviewViewInfo->GetHitTest(point)) return previewHitTest;
  return hitTest;
}

TcxCustomGridCellPainterClass TcxGridDataRowViewInfo::GetPainterClass() { return TcxGridDataRowPainter::StaticClass(); }

// ---- New-item row and filter row ----

TcxCustomGridOptions* TcxGridNewItemRowViewInfo::GetSpecialRowOptions() { return GridView()->GetNewItemRow(); }

TcxCustomGridOptions* TcxGridFilterRowViewInfo::GetSpecialRowOptions() { return GridView()->GetFilterRow(); }

void TcxGridNewItemRowViewInfo::GetRowInfoText(AnsiString& text) {
  text = static_cast<TcxGridSpecialRowOptions*>(GetSpecialRowOptions())->GetInfoText();
}

Boolean TcxGridNewItemRowViewInfo::ShowInfoText() { return !GetGridRecord()->GetFocused(); }

Boolean TcxGridFilterRowViewInfo::ShowInfoText() {
  return inherited::ShowInfoText() && GridView()->GetDataController()->GetFilter()->IsEmptyCriteria();
}

Integer TcxGridNewItemRowViewInfo::CalculateRecordHeight() {
  return RowsViewInfo()->GetRowHeight() + GetBottomPartHeight();
}

Integer TcxGridNewItemRowViewInfo::CalculateHeight() {
  if (FHeight == 0) FHeight = CalculateRecordHeight();
  return FHeight;
}

Integer TcxGridNewItemRowViewInfo::GetSeparatorWidth() {
  return static_cast<TcxGridSpecialRowOptions*>(GetSpecialRowOptions())->GetSeparatorWidth();
}

TColor TcxGridNewItemRowViewInfo::GetSeparatorColor() {
  return static_cast<TcxGridSpecialRowOptions*>(GetSpecialRowOptions())->GetSeparatorColorInEffect();
}

void TcxGridNewItemRowViewInfo::GetInfoTextAreaBounds(TRect& rect) {
  rect = CellsAreaBounds();
  TRect client;
  TableViewInfo()->GetClientBounds(client);
  rect.Left = std::max(rect.Left, client.Left);
  rect.Right = std::min(rect.Right, client.Right);
}

void TcxGridNewItemRowViewInfo::GetInfoTextParams(TcxViewParams& params) {
  GridView()->GetStyles()->ResolveStyleParams(GetInfoTextStyleIndex(), GetGridRecord(), nullptr, params);
}

TcxCustomGridCellPainterClass TcxGridNewItemRowViewInfo::GetPainterClass() {
  return TcxGridNewItemRowPainter::StaticClass();
}
