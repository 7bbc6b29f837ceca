// The painters of the grid table view: the whole view in its order (strips, indicator, rows with
// their grid lines drawn in one call, background), scrolling by copying the window's pixels,
// the strips and their cells, the indicator, and the rows with their cells.
#include <algorithm>
#include <vector>

#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/grid/cxGrid.h"
#include "components/grid/cxGridTableViewInfo.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/User.h"

namespace {

TcxCustomLookAndFeelPainterClass GridViewPainter(TcxCustomGridView* view) { return view->LookAndFeelPainter(); }

TcxGridTablePainter* TablePainterOf(TcxCustomGridView* view) {
  return dynamic_cast<TcxGridTablePainter*>(view->GetPainter());
}

// Runs `paint` with the canvas's clip region saved and put back afterwards, also on a throw.
template <class F>
void WithSavedClip(TcxCanvas* canvas, F&& paint) {
  canvas->PushClipRegion();
  try {
    paint();
  } catch (...) {
    canvas->PopClipRegion();
    throw;
  }
  canvas->PopClipRegion();
}

}  // namespace

// ==== The painters of the view infos =============================================================

TcxCustomGridCellPainterClass TcxGridColumnContainerViewInfo::GetPainterClass() {
  return TcxGridColumnContainerPainter::StaticClass();
}
TcxCustomGridCellPainterClass TcxGridHeaderViewInfo::GetPainterClass() { return TcxGridHeaderPainter::StaticClass(); }
TcxCustomGridCellPainterClass TcxGridFooterViewInfo::GetPainterClass() { return GridViewInfo()->GetFooterPainterClass(); }
TcxCustomGridCellPainterClass TcxGridGroupByBoxViewInfo::GetPainterClass() {
  return TcxGridGroupByBoxPainter::StaticClass();
}
TcxCustomGridCellPainterClass TcxGridColumnHeaderViewInfo::GetPainterClass() {
  return TcxGridColumnHeaderPainter::StaticClass();
}
TcxCustomGridCellPainterClass TcxGridFooterCellViewInfo::GetPainterClass() {
  return TcxGridFooterCellPainter::StaticClass();
}
TcxCustomGridCellPainterClass TcxGridIndicatorViewInfo::GetPainterClass() { return TcxGridIndicatorPainter::StaticClass(); }
TcxCustomGridCellPainterClass TcxCustomGridIndicatorItemViewInfo::GetPainterClass() {
  return TcxCustomGridIndicatorItemPainter::StaticClass();
}
TcxCustomGridCellPainterClass TcxGridIndicatorHeaderItemViewInfo::GetPainterClass() {
  return TcxGridIndicatorHeaderItemPainter::StaticClass();
}
TcxCustomGridCellPainterClass TcxGridIndicatorRowItemViewInfo::GetPainterClass() {
  return TcxGridIndicatorRowItemPainter::StaticClass();
}
TcxCustomGridCellPainterClass TcxGridIndicatorFooterItemViewInfo::GetPainterClass() {
  return TcxGridIndicatorFooterItemPainter::StaticClass();
}

// ==== Table painter ==============================================================================

void TcxGridTablePainter::PaintGroupByBox() {
  TcxGridGroupByBoxViewInfo* box = GridViewInfo()->GroupByBoxViewInfo();
  if (!box || !box->GetVisible() || box->GetPartHeight() == 0) return;
  box->Paint(Canvas());
  ExcludeFromBackground(box->GetBounds());
}

void TcxGridTablePainter::PaintIndicator() {
  TcxGridIndicatorViewInfo* indicator = GridViewInfo()->IndicatorViewInfo();
  if (!indicator || !indicator->GetVisible() || indicator->GetBounds().Width() == 0) return;
  indicator->Paint(Canvas());
  ExcludeFromBackground(indicator->GetBounds());
}

void TcxGridTablePainter::PaintHeader() {
  TcxGridHeaderViewInfo* header = GridViewInfo()->HeaderViewInfo();
  if (!header || !header->GetVisible() || header->GetPartHeight() == 0) return;
  header->Paint(Canvas());
  ExcludeFromBackground(header->GetBounds());
}

void TcxGridTablePainter::PaintFooter() {
  TcxGridFooterViewInfo* footer = GridViewInfo()->FooterViewInfo();
  if (!footer || !footer->GetVisible() || footer->GetPartHeight() == 0) return;
  footer->Paint(Canvas());
  ExcludeFromBackground(footer->GetBounds());
}

void TcxGridTablePainter::PaintContent() {
  PaintGroupByBox();
  DrawFilterBox();
  PaintIndicator();
  PaintHeader();
  PaintFooter();
  DrawRecords();
  DrawNavigator();
}

void TcxGridTablePainter::AddGridLine(const TRect& rect) {
  if (FGridLines && !RectIsEmpty(rect)) FGridLines->push_back(rect);
}

void TcxGridTablePainter::DrawGridLines(TcxCanvas* canvas, const std::vector<TRect>& lines, TColor color) {
  if (lines.empty()) return;
  std::vector<POINT> points;
  std::vector<DWORD> counts(lines.size(), 2);
  points.reserve(lines.size() * 2);
  for (const TRect& r : lines) {
    points.push_back(TPoint{r.Left, r.Top});
    // A line omits its end point, so it covers exactly its rectangle.
    if (r.Height() == 1)
      points.push_back(TPoint{r.Right, r.Top});
    else
      points.push_back(TPoint{r.Left, r.Bottom});
  }
  HDC dc = canvas->GetDCHandle();
  HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(color));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  PolyPolyline(dc, points.data(), counts.data(), DWORD(counts.size()));
  SelectObject(dc, oldPen);
  DeleteObject(pen);
}

void TcxGridTablePainter::DrawRecords() {
  std::vector<TRect> lines;
  FGridLines = &lines;
  try {
    inherited::DrawRecords();
  } catch (...) {
    FGridLines = nullptr;
    throw;
  }
  FGridLines = nullptr;
  DrawGridLines(Canvas(), lines, GridViewInfo()->GetGridLineColor());
}

Boolean TcxGridTablePainter::CanScrollWindow(Integer recordsDistance, Integer dx, Integer dy) {
  if (!inherited::CanScrollWindow(recordsDistance, dx, dy)) return false;
  TcxGridTableViewInfo* viewInfo = GridViewInfo();
  auto* view = static_cast<TcxGridTableView*>(GetGridView());
  if (viewInfo->FooterViewInfo() && viewInfo->FooterViewInfo()->GetBackgroundBitmap()) return false;
  if (recordsDistance == 0 && dx != 0) {
    if (view->IsMaster()) return false;
    if (viewInfo->HeaderViewInfo()->GetBackgroundBitmap()) return false;
    TcxGridRowsViewInfo* rows = viewInfo->RowsViewInfo();
    for (TcxCustomGridRowViewInfo* special : {rows->FilterRowViewInfo(), rows->NewItemRowViewInfo()}) {
      auto* row = dynamic_cast<TcxGridNewItemRowViewInfo*>(special);
      if (!row || !row->ShowInfoText()) continue;
      AnsiString text;
      row->GetRowInfoText(text);
      if (!text.empty()) return false;
    }
  }
  if (recordsDistance != 0 || dy != 0)
    if (view->IsCellMergingActive()) return false;
  return true;
}

void TcxGridTablePainter::ScrollRecords(Integer distance) {
  TcxGridSite* site = GetSite();
  TcxGridTableViewInfo* viewInfo = GridViewInfo();
  TRect scrollRect, clipRect;
  viewInfo->CalculateVerticalScrollRects(distance, scrollRect, clipRect);
  TcxCustomGridTableController* controller = static_cast<TcxCustomGridTableView*>(GetGridView())->GetTableController();
  controller->BeforeScrolling();
  try {
    // What lies in the clip rectangle and gets no copied pixels is invalidated by the call.
    ScrollWindowEx(site->GetHandle(), 0, distance, &scrollRect, &clipRect, nullptr, nullptr, SW_INVALIDATE);
    if (TcxGridEditingController* editing = controller->FindEditingController()) {
      editing->UpdateEditPosition();
      if (editing->IsEditing() && editing->GetEdit() && editing->GetEdit()->HandleAllocated())
        RedrawWindow(editing->GetEdit()->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
  } catch (...) {
    controller->AfterScrolling();
    throw;
  }
  controller->AfterScrolling();
}

void TcxGridTablePainter::ScrollPixels(Integer dx, Integer dy) {
  if (dx == 0) {
    Invalidate();
    return;
  }
  TcxGridSite* site = GetSite();
  TRect scrollRect, updateRect;
  GridViewInfo()->CalculateHorizontalScrollRects(dx, scrollRect, updateRect);
  TcxCustomGridTableController* controller = static_cast<TcxCustomGridTableView*>(GetGridView())->GetTableController();
  controller->BeforeScrolling();
  try {
    if (!RectIsEmpty(scrollRect))
      ScrollWindowEx(site->GetHandle(), dx, 0, &scrollRect, &scrollRect, nullptr, nullptr, SW_INVALIDATE);
    if (!RectIsEmpty(updateRect)) Invalidate(updateRect);
    if (TcxGridEditingController* editing = controller->FindEditingController()) editing->UpdateEditPosition();
    site->Update();
  } catch (...) {
    controller->AfterScrolling();
    throw;
  }
  controller->AfterScrolling();
}

// ==== Strips =====================================================================================

void TcxGridColumnContainerPainter::DrawItems() {
  TcxGridColumnContainerViewInfo* container = ContainerViewInfo();
  for (Integer i = 0; i < container->GetItemCount(); ++i)
    if (TcxGridColumnHeaderViewInfo* item = container->ExistingItem(i))
      if (item->GetCalculated() && item->GetVisible()) item->Paint(GetCanvas());
}

void TcxGridColumnContainerPainter::DrawContent() {
  TcxCanvas* canvas = GetCanvas();
  WithSavedClip(canvas, [&] {
    canvas->IntersectClip(GetViewInfo()->GetBounds());
    if (ItemsDrawnFirst()) {
      DrawItems();
      inherited::DrawContent();
    } else {
      inherited::DrawContent();
      DrawItems();
    }
  });
}

Boolean TcxGridHeaderPainter::ItemsDrawnFirst() {
  return GridViewPainter(ContainerViewInfo()->GetGridView())->HeaderItemsDrawnFirst();
}

Boolean TcxGridGroupByBoxPainter::ItemsDrawnFirst() {
  return GridViewPainter(ContainerViewInfo()->GetGridView())->GroupByBoxItemsDrawnFirst();
}

void TcxGridGroupByBoxPainter::DrawBackground(const TRect& rect) {
  TcxGridColumnContainerViewInfo* box = ContainerViewInfo();
  GridViewPainter(box->GetGridView())
      ->DrawGroupByBoxBackground(GetCanvas(), rect, false, box->Params().Color, box->GetBackgroundBitmap());
}

void TcxGridGroupByBoxPainter::Paint() {
  inherited::Paint();
  auto* box = static_cast<TcxGridGroupByBoxViewInfo*>(GetViewInfo());
  for (Integer i = 0; i + 1 < box->GetItemCount(); ++i) {
    TRect line;
    box->GetLinkLineBounds(i, true, line);
    GetCanvas()->FillRectWithColor(line, clBtnText);
    box->GetLinkLineBounds(i, false, line);
    GetCanvas()->FillRectWithColor(line, clBtnText);
  }
}

Boolean TcxGridFooterPainter::ItemsDrawnFirst() {
  return GridViewPainter(ContainerViewInfo()->GetGridView())->FooterCellsDrawnFirst();
}

void TcxGridFooterPainter::DrawBackground(const TRect& rect) {
  GridViewPainter(ContainerViewInfo()->GetGridView())->DrawFooterArea(GetCanvas(), rect, GetViewInfo()->Params());
}

void TcxGridFooterPainter::DrawSeparator() {
  auto* footer = static_cast<TcxGridFooterViewInfo*>(GetViewInfo());
  TRect rect;
  footer->GetSeparatorAreaBounds(rect);
  GridViewPainter(footer->GetGridView())->DrawFooterSeparator(GetCanvas(), rect);
}

void TcxGridFooterPainter::DrawBorders() {
  auto* footer = static_cast<TcxGridFooterViewInfo*>(GetViewInfo());
  if (footer->HasFooterSeparator()) DrawSeparator();
  TRect rect;
  footer->GetBoundsBelowSeparator(rect);
  GridViewPainter(footer->GetGridView())->DrawFooterFrame(GetCanvas(), rect);
}

// ==== Column headers and footer cells ============================================================

Boolean TcxGridColumnHeaderPainter::DrawHeaderBackground(TcxCanvas* canvas, const TRect& bounds) {
  TBitmap* bitmap = HeaderViewInfo()->GetBackgroundBitmap();
  if (!bitmap) return false;
  canvas->FillRectOrTile(bounds, bitmap, false);
  return true;
}

void TcxGridColumnHeaderPainter::DrawContent() {
  TcxGridColumnHeaderViewInfo* header = HeaderViewInfo();
  TcxCanvas* canvas = GetCanvas();
  TcxButtonState state = cxbsNormal;
  if (canvas == header->GetCanvas()) state = header->IsHeaderPressed() ? cxbsPressed : header->ButtonState();
  const TcxViewParams& params = header->Params();
  TcxDrawBackgroundEvent background;
  if (header->GetBackgroundBitmap()) background = TcxDrawBackgroundEvent(this, &TcxGridColumnHeaderPainter::DrawHeaderBackground);
  AnsiString text;
  header->GetTextForPainting(text);
  GridViewPainter(header->GetGridView())
      ->DrawHeaderCell(canvas, header->GetBounds(), header->TextAreaBounds(), header->Neighbors(), header->Borders(),
                       state, header->AlignmentHorz(), header->AlignmentVert(), header->GetPaintsMultiLine(),
                       header->GetShowEndEllipsis(), text, params.Font, params.TextColor, params.Color, background,
                       header->IsLast(), header->GetContainer()->GetContainerKind() == ckGroupByBox);
}

void TcxGridColumnHeaderPainter::DrawAreas() {
  TcxGridColumnHeaderViewInfo* header = HeaderViewInfo();
  TcxCanvas* canvas = GetCanvas();
  WithSavedClip(canvas, [&] {
    for (Integer i = 0; i < header->AreaCount(); ++i) {
      TcxGridColumnHeaderAreaViewInfo* area = header->Area(i);
      if (area->GetCalculated() && area->GetVisible()) area->Paint(canvas);
    }
  });
}

void TcxGridColumnHeaderPainter::DrawPressed() {
  GridViewPainter(HeaderViewInfo()->GetGridView())->DrawHeaderCellPressed(GetCanvas(), HeaderViewInfo()->GetBounds());
}

void TcxGridColumnHeaderPainter::Paint() {
  inherited::Paint();
  DrawAreas();
  TcxGridColumnHeaderViewInfo* header = HeaderViewInfo();
  if (header->IsHeaderPressed() && GetCanvas() == header->GetCanvas()) DrawPressed();
}

void TcxGridFooterCellPainter::DrawContent() {
  TcxGridColumnHeaderViewInfo* cell = HeaderViewInfo();
  const TcxViewParams& params = cell->Params();
  TcxDrawBackgroundEvent background;
  if (cell->GetBackgroundBitmap()) background = TcxDrawBackgroundEvent(this, &TcxGridColumnHeaderPainter::DrawHeaderBackground);
  AnsiString text;
  cell->GetTextForPainting(text);
  GridViewPainter(cell->GetGridView())
      ->DrawFooterCell(GetCanvas(), cell->GetBounds(), cell->AlignmentHorz(), cell->AlignmentVert(),
                       cell->GetPaintsMultiLine(), text, params.Font, params.TextColor, params.Color, background);
}

void TcxGridColumnHeaderSortingMarkPainter::Paint() {
  TcxGridColumnHeaderAreaViewInfo* area = AreaViewInfo();
  GridViewPainter(area->GetGridView())
      ->DrawSortArrow(GetCanvas(), area->GetBounds(), area->GetColumn()->GetSortOrder() == soAscending);
}

void TcxGridColumnHeaderFilterButtonPainter::Paint() {
  TcxGridColumnHeaderAreaViewInfo* area = AreaViewInfo();
  GridViewPainter(area->GetGridView())
      ->DrawFilterDropDownArrowButton(GetCanvas(), area->GetBounds(), area->ButtonState(), area->GetColumn()->GetFiltered());
}

void TcxGridColumnHeaderGlyphPainter::Paint() {
  TcxGridColumnHeaderAreaViewInfo* area = AreaViewInfo();
  GetCanvas()->DrawGraphic(area->GetBounds().Left, area->GetBounds().Top, area->GetColumn()->GetHeaderGlyph());
}

// ==== Indicator ==================================================================================

Boolean TcxGridIndicatorPainter::ItemsDrawnFirst() {
  return GridViewPainter(static_cast<TcxGridIndicatorViewInfo*>(GetViewInfo())->GetGridView())->IndicatorItemsDrawnFirst();
}

void TcxGridIndicatorPainter::DrawItems() {
  auto* indicator = static_cast<TcxGridIndicatorViewInfo*>(GetViewInfo());
  for (Integer i = 0; i < indicator->Count(); ++i) {
    TcxCustomGridIndicatorItemViewInfo* item = indicator->Item(i);
    if (item->GetCalculated()) item->Paint(GetCanvas());
  }
}

void TcxGridIndicatorPainter::DrawContent() {
  if (ItemsDrawnFirst()) {
    DrawItems();
    inherited::DrawContent();
  } else {
    inherited::DrawContent();
    DrawItems();
  }
}

Boolean TcxCustomGridIndicatorItemPainter::DrawItemBackground(TcxCanvas* canvas, const TRect& bounds) {
  TBitmap* bitmap = ItemViewInfo()->GetBackgroundBitmap();
  if (!bitmap) return false;
  canvas->FillRectOrTile(bounds, bitmap, false);
  return true;
}

void TcxGridIndicatorHeaderItemPainter::DrawQuickCustomizationMark() {
  TcxCustomGridIndicatorItemViewInfo* item = ItemViewInfo();
  GridViewPainter(item->GetGridView())->DrawIndicatorCustomizationGlyph(GetCanvas(), item->GetBounds(), item->Params().TextColor);
}

void TcxGridIndicatorHeaderItemPainter::DrawContent() {
  auto* item = static_cast<TcxGridIndicatorHeaderItemViewInfo*>(ItemViewInfo());
  TcxDrawBackgroundEvent background;
  if (item->GetBackgroundBitmap())
    background = TcxDrawBackgroundEvent(this, &TcxCustomGridIndicatorItemPainter::DrawItemBackground);
  TcxCustomLookAndFeelPainterClass painter = GridViewPainter(item->GetGridView());
  painter->DrawHeaderCell(GetCanvas(), item->GetBounds(), item->GetBounds(), TcxNeighbors{nRight}, cxBordersAll,
                          item->ButtonState(), taLeftJustify, vaTop, false, false, AnsiString(), item->Params().Font,
                          clNone, item->Params().Color, background);
  if (item->SupportsQuickCustomization()) DrawQuickCustomizationMark();
  if (item->GetState() == gcsPressed) painter->DrawHeaderCellPressed(GetCanvas(), item->GetBounds());
}

void TcxGridIndicatorRowItemPainter::DrawContent() {
  auto* item = static_cast<TcxGridIndicatorRowItemViewInfo*>(ItemViewInfo());
  TcxDrawBackgroundEvent background;
  if (item->GetBackgroundBitmap())
    background = TcxDrawBackgroundEvent(this, &TcxCustomGridIndicatorItemPainter::DrawItemBackground);
  GridViewPainter(item->GetGridView())
      ->DrawIndicatorCell(GetCanvas(), item->GetBounds(), item->GetIndicatorKind(), item->Params().Color, background);
}

void TcxGridIndicatorFooterItemPainter::DrawBorders() {
  auto* item = static_cast<TcxGridIndicatorFooterItemViewInfo*>(ItemViewInfo());
  TcxCustomLookAndFeelPainterClass painter = GridViewPainter(item->GetGridView());
  TcxGridFooterViewInfo* footer = item->GetContainer()->GridViewInfo()->FooterViewInfo();
  if (footer->HasFooterSeparator()) {
    TRect separator;
    item->GetFooterSeparatorBounds(separator);
    painter->DrawFooterSeparator(GetCanvas(), separator);
  }
  TRect content;
  item->GetFooterContentBounds(content);
  painter->DrawFooterFrame(GetCanvas(), content);
}

// ==== Rows =======================================================================================

void TcxGridRowsPainter::DrawDataRowCells(TcxGridDataRowViewInfo* row) {
  TcxCanvas* canvas = row->GetCanvas();
  for (Integer i = 0; i < row->CellCount(); ++i)
    if (TcxGridDataCellViewInfo* cell = row->ExistingCell(i))
      if (cell->GetCalculated()) cell->Paint(canvas);
  row->CellsAreaViewInfo()->Paint(canvas);
}

void TcxGridRowsPainter::Paint() {
  auto* rows = static_cast<TcxGridRowsViewInfo*>(GetViewInfo());
  if (TcxCustomGridRowViewInfo* filterRow = rows->FilterRowViewInfo())
    if (filterRow->GetCalculated()) filterRow->Paint(GetCanvas());
  if (TcxCustomGridRowViewInfo* newItemRow = rows->NewItemRowViewInfo())
    if (newItemRow->GetCalculated()) newItemRow->Paint(GetCanvas());
  inherited::Paint();
}

void TcxCustomGridRowPainter::DrawIndent() {
  TcxCustomGridRowViewInfo* row = RowViewInfo();
  for (Integer level = 0; level < row->GetVisualLevel(); ++level) {
    TRect rect;
    row->GetLevelIndentBounds(level, rect);
    DrawIndentPart(level, rect);
  }
}

void TcxCustomGridRowPainter::DrawIndentPart(Integer level, const TRect& rect) {
  TcxCustomGridRowViewInfo* row = RowViewInfo();
  TcxGridTableView* view = row->GridView();
  TcxGridTableViewInfo* viewInfo = row->TableViewInfo();
  const TcxGridLines lines = view->GetOptionsView()->GetGridLines();
  const Boolean horzLines = lines == glBoth || lines == glHorizontal;
  const Integer lineWidth = viewInfo->GetGridLineWidth();
  TRect background = rect;
  if (horzLines) background.Right -= lineWidth;
  // The group of this level ends after this row: its closing line and separator show here.
  const Integer depth = row->GetLevel() - 1 - level;
  const Boolean groupEnds = depth >= 0 && row->GetGridRecord()->IsParentRecordLast(depth);
  if (groupEnds && horzLines) background.Bottom -= lineWidth;
  if (groupEnds) background.Bottom -= row->GetSeparatorWidth();
  TcxCanvas* canvas = GetCanvas();
  if (TBitmap* bitmap = row->RowsViewInfo()->GetRowBackgroundBitmap()) {
    canvas->FillRectOrTile(background, bitmap, false);
  } else {
    TcxViewParams params;
    view->GetStyles()->GetGroupParams(row->GetGridRecord(), level, params);
    canvas->FillRectWithColor(background, params.Color);
  }
  const TColor lineColor = viewInfo->GetGridLineColor();
  canvas->FillRectWithColor(TRect{background.Right, rect.Top, rect.Right, background.Bottom}, lineColor);
  canvas->FillRectWithColor(
      TRect{rect.Left, background.Bottom, rect.Right, std::min(rect.Bottom, background.Bottom + lineWidth)}, lineColor);
}

void TcxCustomGridRowPainter::DrawClosingGridLine() {
  TRect rect;
  RowViewInfo()->GetClosingGridLineBounds(rect);
  GetCanvas()->FillRectWithColor(rect, RowViewInfo()->TableViewInfo()->GetGridLineColor());
}

void TcxCustomGridRowPainter::DrawRowSeparator() {
  TRect rect;
  RowViewInfo()->GetSeparatorBounds(rect);
  GetCanvas()->FillRectWithColor(rect, RowViewInfo()->GetSeparatorColor());
}

void TcxCustomGridRowPainter::Paint() {
  TcxCustomGridRowViewInfo* row = RowViewInfo();
  DrawFooters();
  DrawIndent();
  if (row->HasClosingGridLine()) DrawClosingGridLine();
  if (row->GetSeparatorWidth() != 0) DrawRowSeparator();
}

void TcxGridDataRowPainter::DrawCells() {
  TcxGridDataRowViewInfo* row = DataRowViewInfo();
  TcxGridRowsPainter::DrawDataRowCells(row);
  if (TcxGridDataCellViewInfo* preview = row->PreviewViewInfo())
    if (preview->GetCalculated() && preview->GetBounds().Height() > 0) preview->Paint(GetCanvas());
}

void TcxGridDataRowPainter::Paint() {
  if (DrawsCells()) WithSavedClip(GetCanvas(), [&] { DrawCells(); });
  inherited::Paint();
}

Boolean TcxGridNewItemRowPainter::DrawsCells() {
  return !static_cast<TcxGridNewItemRowViewInfo*>(GetViewInfo())->ShowInfoText();
}

void TcxGridNewItemRowPainter::DrawBackground(const TRect& rect) {
  auto* row = static_cast<TcxGridNewItemRowViewInfo*>(GetViewInfo());
  if (row->ShowInfoText() && !row->GetBackgroundBitmap()) {
    TcxViewParams params;
    row->GetInfoTextParams(params);
    GetCanvas()->FillRectWithColor(row->CellsAreaBounds(), params.Color);
  } else {
    inherited::DrawBackground(rect);
  }
}

void TcxGridNewItemRowPainter::DrawRowSeparator() {
  auto* row = static_cast<TcxGridNewItemRowViewInfo*>(GetViewInfo());
  TRect rect;
  row->GetSeparatorBounds(rect);
  TcxCustomLookAndFeelPainterClass painter = GridViewPainter(row->GetGridView());
  painter->DrawHeaderCell(GetCanvas(), rect, rect, TcxNeighbors(), cxBordersAll, cxbsNormal, taLeftJustify, vaTop, false,
                          false, AnsiString(), nullptr, painter->DefaultHeaderTextColor(), row->GetSeparatorColor());
}

void TcxGridNewItemRowPainter::Paint() {
  auto* row = static_cast<TcxGridNewItemRowViewInfo*>(GetViewInfo());
  if (row->ShowInfoText()) DrawBackground(row->GetBounds());
  inherited::Paint();
  if (!row->ShowInfoText()) return;
  AnsiString text;
  row->GetRowInfoText(text);
  if (text.empty()) return;
  TcxViewParams params;
  row->GetInfoTextParams(params);
  TRect area;
  row->GetInfoTextAreaBounds(area);
  TcxCanvas* canvas = GetCanvas();
  if (params.Font) canvas->SetFont(params.Font);
  canvas->SetFontColor(params.TextColor);
  canvas->SetBrushClear(true);
  canvas->DrawTextInRect(text, area, cxAlignHCenter | cxAlignVCenter | cxSingleLine, true);
  canvas->SetBrushClear(false);
}

void TcxGridDataCellPainter::DrawBorders() {
  auto* cell = static_cast<TcxGridDataCellViewInfo*>(GetViewInfo());
  if (ExcludeFromClipRect()) {
    inherited::DrawBorders();
    return;
  }
  // The lines go to the view's batch, drawn once after every row.
  TcxGridTablePainter* tablePainter = TablePainterOf(cell->GetGridView());
  if (!tablePainter || !tablePainter->IsCollectingGridLines()) {
    inherited::DrawBorders();
    return;
  }
  const TcxBorders borders = cell->Borders();
  for (TcxBorder side : {bLeft, bTop, bRight, bBottom})
    if (borders.Contains(side)) {
      TRect rect;
      cell->GetBorderBounds(side, rect);
      tablePainter->AddGridLine(rect);
    }
}

Boolean TcxGridDataCellPainter::ExcludeFromClipRect() {
  auto* cell = static_cast<TcxGridDataCellViewInfo*>(GetViewInfo());
  return cell->RowViewInfo()->CellsAreaViewInfo()->IsVisibleAsArea();
}
