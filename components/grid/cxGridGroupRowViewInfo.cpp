#include "components/grid/cxGridGroupRowViewInfo.h"

#include <algorithm>

#include "components/data/cxCustomData.h"
#include "components/foundation/cxClasses.h"
#include "components/foundation/cxGraphics.h"
#include "components/grid/cxGridTableView.h"

namespace {

Boolean GroupRowRectEmpty(const TRect& rect) { return rect.Right <= rect.Left || rect.Bottom <= rect.Top; }

}  // namespace

// ==== Group cell =================================================================================

TcxGridGroupRowViewInfo* TcxGridGroupCellViewInfo::RowViewInfo() const {
  return static_cast<TcxGridGroupRowViewInfo*>(GetRecordViewInfo());
}

Integer TcxGridGroupCellViewInfo::CalculateHeight() { return RowViewInfo()->GetDataHeight(); }

Integer TcxGridGroupCellViewInfo::CalculateWidth() {
  return RowViewInfo()->GetBounds().Width() - RowViewInfo()->LevelIndent();
}

void TcxGridGroupCellViewInfo::GetText(AnsiString& text) {
  TcxGridGroupRow* row = RowViewInfo()->GroupRow();
  text = row->GetCaption();
  if (TcxGridColumn* column = row->GetGroupedColumn()) column->DoGetDisplayText(row, text);
}

void TcxGridGroupCellViewInfo::GetTextAreaBounds(TRect& rect) {
  inherited::GetTextAreaBounds(rect);
  if (RowViewInfo()->HasExpandButton()) rect.Left += RowViewInfo()->TableViewInfo()->LevelIndent();
}

TcxAlignmentVert TcxGridGroupCellViewInfo::GetAlignmentVert() {
  return RowViewInfo()->RowStyle() == grsOffice11 ? vaBottom : vaCenter;
}

TBitmap* TcxGridGroupCellViewInfo::GetBackgroundBitmap() { return RowViewInfo()->GetBackgroundBitmap(); }

void TcxGridGroupCellViewInfo::GetViewParams(TcxViewParams& params) {
  TcxGridGroupRowViewInfo* row = RowViewInfo();
  auto* styles = static_cast<TcxGridTableViewStyles*>(row->GridView()->GetStyles());
  if (Selected())
    styles->GetSelectionParams(row->GetGridRecord(), nullptr, params);
  else
    styles->GetGroupParams(row->GetGridRecord(), row->GetLevel(), params);
}

TcxBorders TcxGridGroupCellViewInfo::GetBorders() {
  TcxBorders borders = RowViewInfo()->TableViewInfo()->GetCellBorders(true);
  if (RowViewInfo()->RowStyle() == grsOffice11) borders.Include(bBottom);
  return borders;
}

TColor TcxGridGroupCellViewInfo::GetBorderColor(TcxBorder side) {
  // The Office 2003 group row line: the button-shadow colour of the system.
  if (side == bBottom && RowViewInfo()->RowStyle() == grsOffice11) return clBtnShadow;
  return RowViewInfo()->TableViewInfo()->GetGridLineColor();
}

Integer TcxGridGroupCellViewInfo::GetBorderWidth(TcxBorder side) {
  if (side == bBottom && RowViewInfo()->RowStyle() == grsOffice11)
    return RowViewInfo()->RowsViewInfo()->GetGroupRowSeparatorHeight();
  return RowViewInfo()->TableViewInfo()->GetGridLineWidth();
}

void TcxGridGroupCellViewInfo::GetBorderBounds(TcxBorder side, TRect& rect) {
  inherited::GetBorderBounds(side, rect);
  // The line under an expanded standard group row does not run under its children's indent.
  if (side == bBottom && RowViewInfo()->RowStyle() == grsStandard && RowViewInfo()->Expanded())
    rect.Left = std::min(rect.Right, GetBounds().Left + RowViewInfo()->TableViewInfo()->LevelIndent());
}

void TcxGridGroupCellViewInfo::GetBottomBorderRestBounds(TRect& rect) {
  inherited::GetBorderBounds(bBottom, rect);
  TRect actual;
  GetBorderBounds(bBottom, actual);
  rect.Right = actual.Left;
}

TcxCustomGridCellPainterClass TcxGridGroupCellViewInfo::GetPainterClass() {
  return TcxGridGroupCellPainter::StaticClass();
}

// ==== Spacers ====================================================================================

TcxGridGroupRowSpacerViewInfo::TcxGridGroupRowSpacerViewInfo(TcxGridGroupRowViewInfo* rowViewInfo,
                                                             const AnsiString& text)
    : TcxCustomGridViewCellViewInfo(rowViewInfo->GetGridViewInfo()), FRowViewInfo(rowViewInfo), FText(text) {}

Integer TcxGridGroupRowSpacerViewInfo::SpacerWidth() {
  CheckCalculateParams();
  return FText.empty() ? 0 : TextWidth();
}

Integer TcxGridGroupRowSpacerViewInfo::CalculateWidth() { return SpacerWidth(); }

Integer TcxGridGroupRowSpacerViewInfo::CalculateHeight() { return FRowViewInfo->CellViewInfo()->ContentHeight(); }

void TcxGridGroupRowSpacerViewInfo::GetTextAreaBounds(TRect& rect) {
  GetContentBounds(rect);
  rect.Top += 2;
  rect.Bottom -= 2;
}

TcxAlignmentVert TcxGridGroupRowSpacerViewInfo::GetAlignmentVert() {
  return FRowViewInfo->CellViewInfo()->GetAlignmentVert();
}

void TcxGridGroupRowSpacerViewInfo::GetViewParams(TcxViewParams& params) {
  static_cast<TcxGridTableViewStyles*>(FRowViewInfo->GridView()->GetStyles())
      ->GetGroupSummaryCellContentParams(FRowViewInfo->GroupRow(), nullptr, params);
}

TClass TcxGridGroupRowSpacerViewInfo::GetHitTestClass() { return TcxGridRecordHitTest::StaticClass(); }

// ==== Summary cells ==============================================================================

TcxGridGroupSummaryCellViewInfo::TcxGridGroupSummaryCellViewInfo(TcxGridGroupRowViewInfo* rowViewInfo,
                                                                 const Variant& value,
                                                                 TcxDataSummaryItem* summaryItem)
    : TcxCustomGridViewCellViewInfo(rowViewInfo->GetGridViewInfo()),
      FRowViewInfo(rowViewInfo),
      FSummaryItem(summaryItem),
      FValue(value) {
  AnsiString separator;
  GetSeparatorText(separator);
  FSeparatorViewInfo = rowViewInfo->CreateSpacer(separator);
}

void TcxGridGroupSummaryCellViewInfo::BeforeDestruction() {
  FreeAndNil(FSeparatorViewInfo);
  inherited::BeforeDestruction();
}

TcxGridColumn* TcxGridGroupSummaryCellViewInfo::Column() const {
  return dynamic_cast<TcxGridColumn*>(FSummaryItem->GetItemLink());
}

void TcxGridGroupSummaryCellViewInfo::GetSeparatorText(AnsiString& text) {
  text.clear();
  if (FIsLast) return;
  TcxDataGroupSummaryItems* items = FRowViewInfo->GroupSummaryItems();
  text = (items ? items->GetSeparator() : AnsiString(",")) + " ";
}

void TcxGridGroupSummaryCellViewInfo::SetIsLast(Boolean value) {
  if (FIsLast == value) return;
  FIsLast = value;
  AnsiString separator;
  GetSeparatorText(separator);
  FSeparatorViewInfo->SetText(separator);
}

Integer TcxGridGroupSummaryCellViewInfo::CalculateWidth() {
  CheckCalculateParams();
  return FSeparatorViewInfo->SpacerWidth() + TextWidth();
}

Integer TcxGridGroupSummaryCellViewInfo::CalculateHeight() { return FRowViewInfo->CellViewInfo()->ContentHeight(); }

void TcxGridGroupSummaryCellViewInfo::GetText(AnsiString& text) {
  text.clear();
  try {
    text = FSummaryItem->FormatValue(FValue, false);
  } catch (Exception&) {
    // A value the format cannot show leaves the cell empty.
    text.clear();
  }
}

void TcxGridGroupSummaryCellViewInfo::GetTextAreaBounds(TRect& rect) {
  GetContentBounds(rect);
  rect.Top += 2;
  rect.Bottom -= 2;
  rect.Right = std::max(rect.Left, rect.Right - FSeparatorViewInfo->SpacerWidth());
}

void TcxGridGroupSummaryCellViewInfo::GetSeparatorBounds(TRect& rect) {
  rect = GetBounds();
  TRect textBounds;
  GetTextBounds(true, false, textBounds);
  TRect area;
  GetTextAreaBounds(area);
  rect.Left = std::min(textBounds.Right, area.Right);
}

TAlignment TcxGridGroupSummaryCellViewInfo::GetAlignmentHorz() {
  if (Column() && FRowViewInfo->SummaryLayout() == gslAlignWithColumnsAndDistribute)
    return Column()->GetGroupSummaryAlignment();
  return taLeftJustify;
}

TcxAlignmentVert TcxGridGroupSummaryCellViewInfo::GetAlignmentVert() {
  return FRowViewInfo->CellViewInfo()->GetAlignmentVert();
}

void TcxGridGroupSummaryCellViewInfo::GetViewParams(TcxViewParams& params) {
  static_cast<TcxGridTableViewStyles*>(FRowViewInfo->GridView()->GetStyles())
      ->GetGroupSummaryCellContentParams(FRowViewInfo->GroupRow(), FSummaryItem, params);
}

void TcxGridGroupSummaryCellViewInfo::GetFocusRectBounds(TRect& rect) {
  rect = GetBounds();
  rect.Top += 1;
  rect.Bottom -= 1;
}

TClass TcxGridGroupSummaryCellViewInfo::GetHitTestClass() { return TcxGridGroupSummaryHitTest::StaticClass(); }

void TcxGridGroupSummaryCellViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  inherited::InitHitTest(hitTest);
  // A click on a summary acts on its row.
  if (!FRowViewInfo->GridView()->IsDesignTime()) hitTest->SetViewInfo(FRowViewInfo);
  if (auto* summaryHitTest = dynamic_cast<TcxGridGroupSummaryHitTest*>(hitTest)) {
    summaryHitTest->SetHitRecord(FRowViewInfo->GetGridRecord());
    summaryHitTest->SetSummaryItem(FSummaryItem);
  }
}

void TcxGridGroupSummaryCellViewInfo::BeforeRecalculation() {
  inherited::BeforeRecalculation();
  FSeparatorViewInfo->BeforeRecalculation();
}

void TcxGridGroupSummaryCellViewInfo::Offset(Integer dx, Integer dy) {
  inherited::Offset(dx, dy);
  if (FSeparatorViewInfo->GetCalculated()) FSeparatorViewInfo->Offset(dx, dy);
}

void TcxGridGroupSummaryCellViewInfo::Calculate(Integer leftBound, Integer topBound, Integer width, Integer height) {
  inherited::Calculate(leftBound, topBound, width, height);
  TRect separator;
  GetSeparatorBounds(separator);
  FSeparatorViewInfo->Calculate(separator);
}

TcxCustomGridCellPainterClass TcxGridGroupSummaryCellViewInfo::GetPainterClass() {
  return TcxGridGroupSummaryCellPainter::StaticClass();
}

// ==== Group row ==================================================================================

TcxGridGroupRowViewInfo::TcxGridGroupRowViewInfo(TcxCustomGridRecordsViewInfo* recordsViewInfo,
                                                 TcxCustomGridRecord* record)
    : TcxCustomGridRowViewInfo(recordsViewInfo, record) {}

void TcxGridGroupRowViewInfo::AfterConstruction() {
  inherited::AfterConstruction();
  FCellViewInfo = new TcxGridGroupCellViewInfo(this);
  FCellViewInfo->AfterConstruction();
  CreateSummaryCells();
  GetColumnSummaryCells(nullptr, FSummaryCellsWithoutColumns);
  CreateSpacers();
}

void TcxGridGroupRowViewInfo::BeforeDestruction() {
  DestroySpacers();
  DestroySummaryCells();
  FSummaryCellsWithoutColumns.clear();
  FreeAndNil(FCellViewInfo);
  inherited::BeforeDestruction();
}

TcxGridGroupRow* TcxGridGroupRowViewInfo::GroupRow() const { return static_cast<TcxGridGroupRow*>(GetGridRecord()); }

TcxGridGroupRowStyle TcxGridGroupRowViewInfo::RowStyle() const {
  return GridView()->GetOptionsView()->GetGroupRowStyle();
}

TcxGridGroupSummaryLayout TcxGridGroupRowViewInfo::SummaryLayout() const {
  return GridView()->GetOptionsView()->GetGroupSummaryLayoutInEffect();
}

TcxDataGroupSummaryItems* TcxGridGroupRowViewInfo::GroupSummaryItems() const {
  return dynamic_cast<TcxDataGroupSummaryItems*>(GroupRow()->GetGroupSummaryItems());
}

TcxGridGroupRowSpacerViewInfo* TcxGridGroupRowViewInfo::CreateSpacer(const AnsiString& text) {
  auto* spacer = new TcxGridGroupRowSpacerViewInfo(this, text);
  spacer->AfterConstruction();
  return spacer;
}

Boolean TcxGridGroupRowViewInfo::HasInlineRun() {
  return SummaryLayout() == gslStandard || !FSummaryCellsWithoutColumns.empty();
}

const std::vector<TcxGridGroupSummaryCellViewInfo*>& TcxGridGroupRowViewInfo::InlineSummaryCells() {
  return SummaryLayout() == gslStandard ? FSummaryCells : FSummaryCellsWithoutColumns;
}

void TcxGridGroupRowViewInfo::CreateSpacers() {
  if (FSummaryCells.empty() || !HasInlineRun()) return;
  AnsiString text;
  GetSummaryBeginningSpacerText(text);
  FBeginningSpacer = CreateSpacer(text);
  GetSummaryEndingSpacerText(text);
  FEndingSpacer = CreateSpacer(text);
}

void TcxGridGroupRowViewInfo::DestroySpacers() {
  FreeAndNil(FEndingSpacer);
  FreeAndNil(FBeginningSpacer);
}

void TcxGridGroupRowViewInfo::AddSummaryCell(TcxDataSummaryItem* item, const Variant& value) {
  auto* cell = new TcxGridGroupSummaryCellViewInfo(this, value, item);
  cell->AfterConstruction();
  FSummaryCells.push_back(cell);
}

void TcxGridGroupRowViewInfo::CreateSummaryCells() {
  TcxDataSummaryItems* items = nullptr;
  Variant values;
  TcxDataSummary* summary = GroupRow()->GetDataController()->GetSummary();
  if (!summary->GetGroupSummaryInfo(GroupRow()->GetIndex(), items, values)) return;
  const Integer count = values.IsArray() ? values.HighBound() + 1 : 0;
  for (Integer i = 0; i < items->GetCount(); ++i) {
    auto* item = static_cast<TcxDataSummaryItem*>(items->GetItem(i));
    if (item->GetPosition() != spGroup) continue;
    AddSummaryCell(item, i < count ? values.GetElement(i) : Variant::NullValue());
  }
}

void TcxGridGroupRowViewInfo::DestroySummaryCells() {
  for (TcxGridGroupSummaryCellViewInfo*& cell : FSummaryCells) FreeAndNil(cell);
  FSummaryCells.clear();
}

void TcxGridGroupRowViewInfo::GetColumnSummaryCells(TcxGridColumn* column,
                                                    std::vector<TcxGridGroupSummaryCellViewInfo*>& cells) {
  cells.clear();
  for (TcxGridGroupSummaryCellViewInfo* cell : FSummaryCells)
    if (cell->Column() == column) cells.push_back(cell);
}

void TcxGridGroupRowViewInfo::GetSummaryBeginningSpacerText(AnsiString& text) {
  TcxDataGroupSummaryItems* items = GroupSummaryItems();
  text = " " + (items ? items->GetBeginText() : AnsiString("("));
}

void TcxGridGroupRowViewInfo::GetSummaryEndingSpacerText(AnsiString& text) {
  TcxDataGroupSummaryItems* items = GroupSummaryItems();
  text = items ? items->GetEndText() : AnsiString(")");
}

Boolean TcxGridGroupRowViewInfo::IsSummaryDistributed() { return SummaryLayout() == gslAlignWithColumnsAndDistribute; }

// ---- Height ----

Boolean TcxGridGroupRowViewInfo::HasAutoHeight() {
  return RowsViewInfo()->RowHeightsFollowContent() && GridView()->GetOptionsView()->GetGroupRowHeight() == 0;
}

Integer TcxGridGroupRowViewInfo::CalculateRecordHeight() {
  Integer height;
  if (HasAutoHeight()) {
    FCellViewInfo->CheckCalculateParams();
    height = RowsViewInfo()->CalculateGroupRowHeightByParams(false, FCellViewInfo->Params());
  } else {
    height = RowsViewInfo()->GetGroupRowHeight();
  }
  return height + GetBottomPartHeight();
}

Boolean TcxGridGroupRowViewInfo::CanSize() { return GridView()->GetOptionsCustomize()->GetGroupRowSizing(); }

void TcxGridGroupRowViewInfo::CheckHeight(Integer& height) {
  const Integer nonResizable = GetNonResizableHeight();
  height -= nonResizable;
  inherited::CheckHeight(height);
  const Integer minimum = RowsViewInfo()->CalculateGroupRowHeight(false);
  if (height > 0 && height < minimum) height = minimum;
  height += nonResizable;
}

void TcxGridGroupRowViewInfo::SetHeightBySizing(Integer value) {
  if (value == GetHeightForSizing()) return;
  GridView()->GetOptionsView()->SetGroupRowHeight(value - GetNonResizableHeight());
}

TBitmap* TcxGridGroupRowViewInfo::GetBackgroundBitmap() { return RowsViewInfo()->GetRowBackgroundBitmap(); }

// ---- Geometry ----

void TcxGridGroupRowViewInfo::GetExpandButtonAreaBounds(TRect& rect) {
  FCellViewInfo->GetContentBounds(rect);
  rect.Right = rect.Left + TableViewInfo()->LevelIndent();
}

void TcxGridGroupRowViewInfo::CalculateExpandButtonBounds(TRect& rect) {
  TRect area;
  FCellViewInfo->GetContentBounds(area);
  if (RowStyle() == grsOffice11) area.Top = area.Bottom - FCellViewInfo->TextHeightWithOffset();
  if (GroupRowRectEmpty(area)) {
    rect = TRect{};
    return;
  }
  const Integer size = TableViewInfo()->ExpandButtonSize();
  rect.Left = area.Left + TableViewInfo()->ExpandButtonIndent();
  rect.Top = (area.Top + area.Bottom - size) / 2;
  rect.Right = rect.Left + size;
  rect.Bottom = rect.Top + size;
}

void TcxGridGroupRowViewInfo::GetRecordContentBounds(TRect& rect) {
  inherited::GetRecordContentBounds(rect);
  TRect content;
  FCellViewInfo->GetContentBounds(content);
  rect.Bottom = content.Bottom;
}

void TcxGridGroupRowViewInfo::GetSeparatorBounds(TRect& rect) {
  inherited::GetSeparatorBounds(rect);
  if (Expanded()) rect.Left += TableViewInfo()->LevelIndent();
}

void TcxGridGroupRowViewInfo::GetSeparatorIndentPartBounds(TRect& rect) {
  inherited::GetSeparatorBounds(rect);
  TRect own;
  GetSeparatorBounds(own);
  rect.Right = own.Left;
}

Boolean TcxGridGroupRowViewInfo::HasSeparator() { return RowStyle() != grsOffice11 && inherited::HasSeparator(); }

Boolean TcxGridGroupRowViewInfo::HasGroupFooter(Integer level) {
  if (inherited::HasGroupFooter(level)) return true;
  // With footers always shown, a collapsed group shows its own footer right under its row.
  if (level != 0 || GridView()->GetOptionsView()->GetGroupFooters() != gfAlwaysVisible) return false;
  TcxGridColumn* column = GroupRow()->GetGroupedColumn();
  return !Expanded() && column && column->HasGroupFooters();
}

// ---- Calculation ----

void TcxGridGroupRowViewInfo::BeforeRecalculation() {
  inherited::BeforeRecalculation();
  FCellViewInfo->BeforeRecalculation();
  if (FBeginningSpacer) FBeginningSpacer->BeforeRecalculation();
  for (TcxGridGroupSummaryCellViewInfo* cell : FSummaryCells) cell->BeforeRecalculation();
  if (FEndingSpacer) FEndingSpacer->BeforeRecalculation();
}

void TcxGridGroupRowViewInfo::Calculate(Integer leftBound, Integer topBound, Integer width, Integer height) {
  inherited::Calculate(leftBound, topBound, width, height);
  FCellViewInfo->Calculate(GetBounds().Left + LevelIndent(), GetBounds().Top);
  CalculateSummaryCells();
}

void TcxGridGroupRowViewInfo::Offset(Integer dx, Integer dy) {
  inherited::Offset(dx, dy);
  if (FCellViewInfo->GetCalculated()) FCellViewInfo->Offset(dx, dy);
  if (FBeginningSpacer && FBeginningSpacer->GetCalculated()) FBeginningSpacer->Offset(dx, dy);
  for (TcxGridGroupSummaryCellViewInfo* cell : FSummaryCells)
    if (cell->GetCalculated()) cell->Offset(dx, dy);
  if (FEndingSpacer && FEndingSpacer->GetCalculated()) FEndingSpacer->Offset(dx, dy);
}

void TcxGridGroupRowViewInfo::GetSummaryCellsAreaBounds(Boolean forColumns, TRect& rect) {
  FCellViewInfo->GetContentBounds(rect);
  TRect textArea;
  FCellViewInfo->GetTextAreaBounds(textArea);
  rect.Right = textArea.Right;
  TRect textBounds;
  FCellViewInfo->GetTextBounds(true, false, textBounds);
  rect.Left = std::min(textBounds.Right, rect.Right);
  if (forColumns) {
    if (HasInlineRun() && FEndingSpacer) rect.Left = FEndingSpacer->GetBounds().Right;
    rect.Left += 4;
  } else {
    if (FBeginningSpacer) rect.Left += FBeginningSpacer->SpacerWidth();
    if (FEndingSpacer) rect.Right = std::max(rect.Left, rect.Right - FEndingSpacer->SpacerWidth());
  }
}

void TcxGridGroupRowViewInfo::GetSummaryBeginningSpacerBounds(TRect& rect) {
  GetSummaryCellsAreaBounds(false, rect);
  rect.Right = rect.Left;
  rect.Left -= FBeginningSpacer->SpacerWidth();
  TRect textArea;
  FCellViewInfo->GetTextAreaBounds(textArea);
  rect.Right = std::min(rect.Right, textArea.Right);
}

void TcxGridGroupRowViewInfo::GetSummaryEndingSpacerBounds(TRect& rect) {
  GetSummaryCellsAreaBounds(false, rect);
  const std::vector<TcxGridGroupSummaryCellViewInfo*>& cells = InlineSummaryCells();
  if (!cells.empty()) rect.Left = cells.back()->GetBounds().Right;
  rect.Right = rect.Left + FEndingSpacer->SpacerWidth();
  TRect textArea;
  FCellViewInfo->GetTextAreaBounds(textArea);
  rect.Right = std::min(rect.Right, textArea.Right);
}

void TcxGridGroupRowViewInfo::GetColumnSummaryCellsAreaBounds(TcxGridColumnHeaderViewInfo* header, TRect& rect) {
  GetSummaryCellsAreaBounds(true, rect);
  rect.Left = std::max(rect.Left, header->GetDataCellLeft() + 2);
  rect.Right = std::min(rect.Right, header->GetBounds().Right - 2);
}

void TcxGridGroupRowViewInfo::LayoutSummaryCells(const std::vector<TcxGridGroupSummaryCellViewInfo*>& cells,
                                                 const TRect& area, Boolean distribute, TAlignment alignment) {
  TcxAutoWidthObject widths(Integer(cells.size()));
  for (TcxGridGroupSummaryCellViewInfo* cell : cells) {
    TcxAutoWidthItem* item = widths.NewItem();
    item->Width = cell->CalculateWidth();
    item->MinWidth = item->Width;
    item->Fixed = false;
    if (!distribute) item->AutoWidth = item->Width;
  }
  widths.SetAvailableWidth(std::max(0, area.Width()));
  if (distribute) widths.DistributeWidth();
  Integer x = area.Left;
  const Int64 total = widths.GetTotalWidth();
  if (!distribute && total < widths.GetAvailableWidth()) {
    if (alignment == taRightJustify)
      x = area.Right - Integer(total);
    else if (alignment == taCenter)
      x = (area.Left + area.Right - Integer(total)) / 2;
  }
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const Integer right = std::min(x + widths.GetItemAt(Integer(i))->AutoWidth, area.Right);
    cells[i]->Calculate(TRect{x, area.Top, std::max(x, right), area.Bottom});
    x = std::max(x, right);
  }
}

void TcxGridGroupRowViewInfo::CalculateSummaryCells() {
  if (FSummaryCells.empty()) return;
  if (HasInlineRun() && FBeginningSpacer) {
    TRect rect;
    GetSummaryBeginningSpacerBounds(rect);
    FBeginningSpacer->Calculate(rect);
    const std::vector<TcxGridGroupSummaryCellViewInfo*>& cells = InlineSummaryCells();
    if (!cells.empty()) cells.back()->SetIsLast(true);
    TRect area;
    GetSummaryCellsAreaBounds(false, area);
    LayoutSummaryCells(cells, area, false, taLeftJustify);
    GetSummaryEndingSpacerBounds(rect);
    FEndingSpacer->Calculate(rect);
  }
  if (SummaryLayout() == gslStandard) return;
  TcxGridHeaderViewInfo* header = TableViewInfo()->HeaderViewInfo();
  std::vector<TcxGridGroupSummaryCellViewInfo*> cells;
  for (Integer i = 0; i < header->GetItemCount(); ++i) {
    TcxGridColumnHeaderViewInfo* columnHeader = header->Item(i);
    if (!columnHeader->GetVisible()) continue;
    GetColumnSummaryCells(columnHeader->GetColumn(), cells);
    if (cells.empty()) continue;
    cells.back()->SetIsLast(true);
    TRect area;
    GetColumnSummaryCellsAreaBounds(columnHeader, area);
    LayoutSummaryCells(cells, area, IsSummaryDistributed(), columnHeader->GetColumn()->GetGroupSummaryAlignment());
  }
}

TcxCustomGridHitTest* TcxGridGroupRowViewInfo::GetHitTest(const TPoint& point) {
  TcxCustomGridHitTest* hitTest = inherited::GetHitTest(point);
  if (!hitTest) return nullptr;
  for (TcxGridGroupSummaryCellViewInfo* cell : FSummaryCells)
    if (cell->GetCalculated())
      if (TcxCustomGridHitTest* cellHitTest = cell->GetHitTest(point)) return cellHitTest;
  return inherited::GetHitTest(point);
}

TcxCustomGridCellPainterClass TcxGridGroupRowViewInfo::GetPainterClass() {
  return TcxGridGroupRowPainter::StaticClass();
}

// Group rows are laid out by this unit's view info.
orv::ClassOf<TcxCustomGridRecordViewInfo> TcxGridGroupRow::GetViewInfoClass() {
  return TcxGridGroupRowViewInfo::StaticClass();
}

// ==== Group footers ==============================================================================

void TcxGridRowFooterCellViewInfo::GetCaption(AnsiString& text) {
  text.clear();
  auto* footer = static_cast<TcxGridRowFooterViewInfo*>(GetContainer());
  TcxCustomGridRow* row = footer->Row();
  TcxDataSummary* summary = GridView()->GetDataController()->GetSummary();
  TcxDataGroupSummaryItems* items = summary->GetGroupSummaryItems(footer->GroupLevel());
  if (!items || !GetSummaryItem()) return;
  for (Integer i = 0; i < items->GetCount(); ++i)
    if (items->GetItem(i) == GetSummaryItem()) {
      try {
        text = summary->GetGroupFooterSummaryText(row->GetIndex(), footer->GroupLevel(), i);
      } catch (Exception&) {
        // A formatting failure leaves the cell empty.
        text.clear();
      }
      return;
    }
}

void TcxGridRowFooterCellViewInfo::GetViewParams(TcxViewParams& params) {
  auto* footer = static_cast<TcxGridRowFooterViewInfo*>(GetContainer());
  GridView()->GetStyles()->GetFooterCellParams(footer->Row(), GetColumn(), footer->GroupLevel(), GetSummaryItem(),
                                               params);
}

TClass TcxGridRowFooterCellViewInfo::GetHitTestClass() { return TcxGridGroupFooterCellHitTest::StaticClass(); }

TcxGridRowFooterViewInfo::TcxGridRowFooterViewInfo(TcxGridRowFootersViewInfo* container, Integer level)
    : TcxGridFooterViewInfo(container->RowViewInfo()->TableViewInfo()), FContainer(container), FLevel(level) {}

void TcxGridRowFooterViewInfo::AfterConstruction() {
  // Not one of the view's parts: the row lays it out.
  GetTableViewInfo()->RemovePart(this);
  inherited::AfterConstruction();
}

TcxCustomGridRow* TcxGridRowFooterViewInfo::Row() const {
  return static_cast<TcxCustomGridRow*>(FContainer->RowViewInfo()->GetGridRecord());
}

Integer TcxGridRowFooterViewInfo::GroupLevel() {
  Integer level = FContainer->RowViewInfo()->GetLevel() - FLevel;
  if (GridView()->GetOptionsView()->GetGroupFooters() == gfVisibleWhenExpanded) --level;
  return level;
}

Integer TcxGridRowFooterViewInfo::GetVisualGroupLevel() { return GridViewInfo()->GetVisualLevel(GroupLevel() + 1); }

Integer TcxGridRowFooterViewInfo::IndentWidth() { return GetVisualGroupLevel() * GridViewInfo()->LevelIndent(); }

void TcxGridRowFooterViewInfo::GetSummaryItemsList(std::vector<TcxDataSummaryItem*>& items) {
  const Integer level = GroupLevel();
  if (level < 0) return;
  TcxDataGroupSummaryItems* groupItems = GridView()->GetDataController()->GetSummary()->GetGroupSummaryItems(level);
  if (!groupItems) return;
  for (Integer i = 0; i < groupItems->GetCount(); ++i)
    items.push_back(static_cast<TcxDataSummaryItem*>(groupItems->GetItem(i)));
}

Boolean TcxGridRowFooterViewInfo::AllowsMultipleSummaries() {
  return GridView()->GetOptionsView()->GetGroupFooterMultiSummaries() && GridViewInfo()->SupportsMultiSummaries();
}

Integer TcxGridRowFooterViewInfo::GetPartWidth() {
  return GridViewInfo()->HeaderViewInfo()->GetBounds().Width() - IndentWidth();
}

void TcxGridRowFooterViewInfo::CalculateCell(Integer index) {
  TcxGridColumn* column = GetItemColumn(index);
  TcxGridColumnHeaderViewInfo* header = GridViewInfo()->HeaderViewInfo()->Item(column->GetVisibleIndex());
  Integer width = header->WidthValue();
  if (column->IsFirst()) width -= BorderSize(bLeft) + IndentWidth();
  if (column->IsLast()) width -= BorderSize(bRight);
  const Integer indent = GetGridView()->LookAndFeelPainter()->FooterCellIndent();
  TRect rect{GetCellLeftForColumn(column), GetCellTopAt(index), 0, 0};
  rect.Right = rect.Left + std::max(0, width);
  rect.Bottom = rect.Top + ItemHeight();
  rect = GetInflatedRect(rect, -indent, -indent);
  Item(index)->Calculate(rect.Left, rect.Top, rect.Width(), rect.Height());
}

void TcxGridRowFooterViewInfo::Calculate(Integer leftBound, Integer topBound, Integer width, Integer height) {
  TcxGridColumnContainerViewInfo::Calculate(leftBound, topBound, width, height);
  CalculateItems();
}

TcxGridColumnHeaderViewInfoClass TcxGridRowFooterViewInfo::GetItemClass() {
  return TcxGridRowFooterCellViewInfo::StaticClass();
}

void TcxGridRowFooterViewInfo::GetViewParams(TcxViewParams& params) {
  GridView()->GetStyles()->GetFooterParams(Row(), nullptr, GroupLevel(), nullptr, params);
}

TClass TcxGridRowFooterViewInfo::GetHitTestClass() { return TcxGridGroupFooterHitTest::StaticClass(); }

TcxGridRowFootersViewInfo::TcxGridRowFootersViewInfo(TcxCustomGridRowViewInfo* rowViewInfo)
    : FRowViewInfo(rowViewInfo) {
  for (Integer level = 0; level <= rowViewInfo->GetLevel(); ++level)
    if (rowViewInfo->HasGroupFooter(level)) {
      auto* footer = new TcxGridRowFooterViewInfo(this, level);
      FItems.push_back(footer);
      footer->AfterConstruction();
    }
}

void TcxGridRowFootersViewInfo::BeforeDestruction() {
  for (TcxGridRowFooterViewInfo*& item : FItems) FreeAndNil(item);
  FItems.clear();
  inherited::BeforeDestruction();
}

void TcxGridRowFootersViewInfo::BeforeRecalculation() {
  for (TcxGridRowFooterViewInfo* item : FItems) item->BeforeRecalculation();
}

Integer TcxGridRowFootersViewInfo::CalculateHeight() {
  Integer height = 0;
  for (TcxGridRowFooterViewInfo* item : FItems) height += item->CalculateHeight();
  return height;
}

Integer TcxGridRowFootersViewInfo::GetFootersHeight() {
  if (FHeight == -1) FHeight = CalculateHeight();
  return FHeight;
}

void TcxGridRowFootersViewInfo::Calculate(Integer left, Integer top) {
  for (TcxGridRowFooterViewInfo* item : FItems) {
    const Integer height = item->CalculateHeight();
    item->Calculate(left + item->IndentWidth(), top, item->GetPartWidth(), height);
    top += height;
  }
}

TcxCustomGridHitTest* TcxGridRowFootersViewInfo::GetHitTest(const TPoint& point) {
  for (TcxGridRowFooterViewInfo* item : FItems)
    if (item->GetCalculated())
      if (TcxCustomGridHitTest* hitTest = item->GetHitTest(point)) return hitTest;
  return nullptr;
}

void TcxGridRowFootersViewInfo::Offset(Integer dx, Integer dy) {
  for (TcxGridRowFooterViewInfo* item : FItems)
    if (item->GetCalculated()) item->Offset(dx, dy);
}

Integer TcxGridRowFootersViewInfo::GetFootersBestFitWidth(TcxGridColumn* column) {
  Integer width = 0;
  for (TcxGridRowFooterViewInfo* item : FItems) width = std::max(width, item->GetBestFitWidth(column));
  return width;
}

Boolean TcxGridRowFootersViewInfo::GetFooterTopForLevel(Integer level, Integer& top) {
  for (TcxGridRowFooterViewInfo* item : FItems)
    if (item->Level() >= level) {
      top = item->GetBounds().Top;
      return true;
    }
  return false;
}

void TcxGridRowFootersViewInfo::PaintFooters(TcxCanvas* canvas) {
  for (TcxGridRowFooterViewInfo* item : FItems)
    if (item->GetCalculated()) item->Paint(canvas);
}

// ==== Painters ===================================================================================

void TcxGridGroupRowPainter::DrawSummaryCells() {
  TcxGridGroupRowViewInfo* row = GroupRowViewInfo();
  TcxCanvas* canvas = GetCanvas();
  if (row->BeginningSpacer() && row->BeginningSpacer()->GetCalculated()) row->BeginningSpacer()->Paint(canvas);
  for (Integer i = 0; i < row->SummaryCellCount(); ++i)
    if (row->SummaryCell(i)->GetCalculated()) row->SummaryCell(i)->Paint(canvas);
  if (row->EndingSpacer() && row->EndingSpacer()->GetCalculated()) row->EndingSpacer()->Paint(canvas);
}

void TcxGridGroupRowPainter::DrawRowSeparator() {
  TRect rect;
  GroupRowViewInfo()->GetSeparatorIndentPartBounds(rect);
  if (!GroupRowRectEmpty(rect)) DrawIndentPart(GroupRowViewInfo()->GetVisualLevel(), rect);
  inherited::DrawRowSeparator();
}

void TcxGridGroupRowPainter::Paint() {
  GroupRowViewInfo()->CellViewInfo()->Paint(GetCanvas());
  DrawSummaryCells();
  inherited::Paint();
}

void TcxGridGroupCellPainter::DrawBorder(TcxBorder side) {
  inherited::DrawBorder(side);
  auto* cell = static_cast<TcxGridGroupCellViewInfo*>(GetViewInfo());
  TcxGridGroupRowViewInfo* row = cell->RowViewInfo();
  if (side != bBottom || !row->Expanded()) return;
  TRect rest;
  cell->GetBottomBorderRestBounds(rest);
  if (GroupRowRectEmpty(rest)) return;
  if (TBitmap* bitmap = row->RowsViewInfo()->GetRowBackgroundBitmap()) {
    GetCanvas()->FillRectOrTile(rest, bitmap, false);
  } else {
    TcxViewParams params;
    row->GridView()->GetStyles()->GetGroupParams(row->GetGridRecord(), row->GetLevel(), params);
    GetCanvas()->FillRectWithColor(rest, params.Color);
  }
}

void TcxGridGroupSummaryCellPainter::Paint() {
  inherited::Paint();
  auto* cell = static_cast<TcxGridGroupSummaryCellViewInfo*>(GetViewInfo());
  if (cell->SeparatorViewInfo()->GetCalculated()) cell->SeparatorViewInfo()->Paint(GetCanvas());
}

// ==== Rows' group footers ========================================================================

TcxGridRowFootersViewInfo* TcxCustomGridRowViewInfo::FootersViewInfo() {
  if (!FFootersChecked) {
    FFootersChecked = true;
    if (GridView()->GetOptionsView()->GetGroupFooters() != gfInvisible && HasFooters() &&
        (GetLevel() > 0 || HasGroupFooter(0))) {
      auto* footers = new TcxGridRowFootersViewInfo(this);
      if (footers->Count() == 0)
        footers->Free();
      else
        FFootersViewInfo = footers;
    }
  }
  return FFootersViewInfo;
}

Integer TcxCustomGridRowViewInfo::GetFootersHeight() {
  if (GridView()->GetOptionsView()->GetGroupFooters() == gfInvisible) return 0;
  TcxGridRowFootersViewInfo* footers = FootersViewInfo();
  return footers ? footers->GetFootersHeight() : 0;
}

TcxCustomGridHitTest* TcxCustomGridRowViewInfo::GetHitTest(const TPoint& point) {
  if (FFootersViewInfo)
    if (TcxCustomGridHitTest* hitTest = FFootersViewInfo->GetHitTest(point)) return hitTest;
  return inherited::GetHitTest(point);
}

void TcxCustomGridRowPainter::DrawFooters() {
  if (TcxGridRowFootersViewInfo* footers = RowViewInfo()->FootersViewInfo()) footers->PaintFooters(GetCanvas());
}
