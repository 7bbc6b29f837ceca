#include "components/editors-more/cxLookupGrid.h"

#include <algorithm>
#include <memory>

#include "components/editors-more/cxEditDataRegisteredRepositoryItems.h"
#include "components/editors-more/cxEditRepositoryItems.h"
#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxGraphics.h"
#include "platform/windowing/User.h"

namespace {

// The last cursor position a lookup grid's mouse move saw, in screen coordinates.
TPoint gLastCursorPos{-1, -1};

TcxAlignmentHorz ToHorz(TAlignment a) { return TcxAlignmentHorz(a); }

}  // namespace

// ==== Columns ==================================================================================

Boolean TcxLookupGridDefaultValuesProvider::HasDefaultDisplayFormat(Boolean formatsItself) {
  auto* column = dynamic_cast<TcxLookupGridColumn*>(GetOwner());
  TcxCustomLookupGrid* grid = column ? column->GetGrid() : nullptr;
  if (!grid || column->GetIndex() >= grid->GetDataController()->GetItemCount()) return false;
  return grid->GetDataController()->GetItemTextStored(column->GetIndex());
}

TcxLookupGridColumn::TcxLookupGridColumn(TCollection* collection) : TcxInterfacedCollectionItem(collection) {
  FDefaultValuesProvider = GetDefaultValuesProviderClass().Create(this);
  if (TcxCustomLookupGrid* grid = GetGrid()) {
    grid->BeginUpdate();
    try {
      grid->ColumnAdded(this);
    } catch (...) {
      grid->EndUpdate();
      throw;
    }
    grid->EndUpdate();
  }
}

void TcxLookupGridColumn::BeforeDestruction() {
  TcxCustomLookupGrid* grid = GetGrid();
  if (grid && !grid->GetComponentState().Contains(csDestroying)) {
    grid->BeginUpdate();
    grid->ColumnRemoved(this);
    SetRepositoryItem(nullptr);
    grid->EndUpdate();
  } else {
    if (grid) grid->ColumnRemoved(this);
    SetRepositoryItem(nullptr);
  }
  inherited::BeforeDestruction();
}

TcxLookupGridColumn::~TcxLookupGridColumn() {
  if (FInternalDefaultRepositoryItem) FInternalDefaultRepositoryItem->Free();
  if (FDefaultValuesProvider) FDefaultValuesProvider->Free();
}

TcxCustomLookupGrid* TcxLookupGridColumn::GetGrid() const {
  auto* columns = dynamic_cast<TcxLookupGridColumns*>(GetCollection());
  return columns ? columns->GetGrid() : nullptr;
}

void TcxLookupGridColumn::SetIndex(Integer value) {
  inherited::SetIndex(value);
  if (TcxCustomLookupGrid* grid = GetGrid()) grid->GetDataController()->UpdateItemIndexes();
}

void TcxLookupGridColumn::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxLookupGridColumn*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  if (GetCollection()) GetCollection()->BeginUpdate();
  try {
    ResetColumnDefaults();
    if (s->FIsCaptionAssigned) SetCaption(s->FCaption);
    SetHeaderAlignment(s->FHeaderAlignment);
    SetMinWidth(s->FMinWidth);
    SetFixed(s->FFixed);
    SetSorting(s->FSorting);
    SetSortOrder(s->GetSortOrder());
    SetRepositoryItem(s->FRepositoryItem);
    if (s->FIsWidthAssigned) SetWidth(s->FWidth);
  } catch (...) {
    if (GetCollection()) GetCollection()->EndUpdate();
    throw;
  }
  if (GetCollection()) GetCollection()->EndUpdate();
}

AnsiString TcxLookupGridColumn::GetCaption() { return FIsCaptionAssigned ? FCaption : GetDefaultCaption(); }

void TcxLookupGridColumn::SetCaption(const AnsiString& value) {
  FCaption = value;
  FIsCaptionAssigned = true;
  Changed(false);
}

void TcxLookupGridColumn::SetFixed(Boolean value) {
  if (FFixed == value) return;
  FFixed = value;
  Changed(false);
}

void TcxLookupGridColumn::SetHeaderAlignment(TAlignment value) {
  if (FHeaderAlignment == value) return;
  FHeaderAlignment = value;
  Changed(false);
}

void TcxLookupGridColumn::SetMinWidth(Integer value) {
  if (value < 0) value = 0;
  if (FMinWidth == value) return;
  FMinWidth = value;
  if (GetWidth() < FMinWidth) {
    FWidth = FMinWidth;
    FIsWidthAssigned = true;
  }
  Changed(false);
}

void TcxLookupGridColumn::SetSorting(Boolean value) {
  if (FSorting == value) return;
  FSorting = value;
  Changed(false);
}

TcxDataSortOrder TcxLookupGridColumn::GetSortOrder() {
  TcxCustomLookupGrid* grid = GetGrid();
  if (!grid || GetIndex() >= grid->GetDataController()->GetItemCount()) return soNone;
  return grid->GetDataController()->GetItemSortOrder(GetIndex());
}

void TcxLookupGridColumn::SetSortOrder(TcxDataSortOrder value) {
  TcxCustomLookupGrid* grid = GetGrid();
  if (!grid || GetSortOrder() == value) return;
  grid->GetDataController()->ChangeSorting(GetIndex(), value);
}

void TcxLookupGridColumn::SetRepositoryItem(TcxEditRepositoryItem* value) {
  if (FRepositoryItem == value) return;
  if (FRepositoryItem) FRepositoryItem->RemoveListener(this);
  FRepositoryItem = value;
  if (FRepositoryItem) FRepositoryItem->AddListener(this);
  Changed(false);
}

Integer TcxLookupGridColumn::GetWidth() { return FIsWidthAssigned ? FWidth : DefaultColumnWidth(); }

void TcxLookupGridColumn::SetWidth(Integer value) {
  CheckWidth(value);
  FWidth = value;
  FIsWidthAssigned = true;
  Changed(false);
}

void TcxLookupGridColumn::CheckWidth(Integer& width) {
  if (width < FMinWidth) width = FMinWidth;
}

TcxValueTypeClass TcxLookupGridColumn::ReadItemValueType() {
  TcxCustomLookupGrid* grid = GetGrid();
  return grid ? grid->GetDataController()->GetItemValueTypeClass(GetIndex()) : TcxValueTypeClass();
}

void TcxLookupGridColumn::AssignItemValueType(TcxValueTypeClass value) {
  if (TcxCustomLookupGrid* grid = GetGrid()) grid->GetDataController()->SetItemValueTypeClass(GetIndex(), value);
}

TcxEditRepositoryItem* TcxLookupGridColumn::GetDefaultRepositoryItem() {
  return ValueTypeEditorRegistry()->DefaultRepositoryItem();
}

TFont* TcxLookupGridColumn::GetColumnFont() {
  TcxCustomLookupGrid* grid = GetGrid();
  return grid ? grid->GetViewInfo()->GetGridFont() : nullptr;
}

TcxEditRepositoryItem* TcxLookupGridColumn::GetDefaultOrInternalRepositoryItem() {
  if (TcxEditRepositoryItem* item = GetDefaultRepositoryItem()) return item;
  if (!FInternalDefaultRepositoryItem) FInternalDefaultRepositoryItem = new TcxEditRepositoryTextItem(nullptr);
  return FInternalDefaultRepositoryItem;
}

TcxEditRepositoryItem* TcxLookupGridColumn::GetEffectiveRepositoryItem() {
  return FRepositoryItem ? FRepositoryItem : GetDefaultOrInternalRepositoryItem();
}

Boolean TcxLookupGridColumn::IsLastColumn() {
  return GetCollection() && GetIndex() == GetCollection()->GetCount() - 1;
}

void TcxLookupGridColumn::ResetColumnDefaults() {
  FIsCaptionAssigned = false;
  FIsWidthAssigned = false;
  FHeaderAlignment = taLeftJustify;
  FMinWidth = 20;
  FFixed = false;
  FSorting = true;
  Changed(false);
}

TPersistent* TcxLookupGridColumns::GetOwner() { return FGrid; }

void TcxLookupGridColumns::BeginUpdate() {
  inherited::BeginUpdate();
  if (!FGrid->GetComponentState().Contains(csDestroying)) FGrid->BeginUpdate();
}

void TcxLookupGridColumns::EndUpdate() {
  if (!FGrid->GetComponentState().Contains(csDestroying)) FGrid->EndUpdate();
  inherited::EndUpdate();
}

void TcxLookupGridColumns::Update(TCollectionItem* item) {
  if (!FGrid->GetComponentState().Contains(csLoading)) FGrid->NotifyChanges(1);
}

void TcxLookupGridColumns::RestoreDefaults() {
  BeginUpdate();
  for (Integer i = 0; i < GetCount(); ++i) GetColumn(i)->ResetColumnDefaults();
  EndUpdate();
}

// ==== Options and data controller ==============================================================

void TcxLookupGridOptions::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxLookupGridOptions*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  FGrid->BeginUpdate();
  try {
    SetAnsiSort(s->GetAnsiSort());
    SetCaseInsensitive(s->GetCaseInsensitive());
    SetColumnSorting(s->FColumnSorting);
    SetFocusRowOnMouseMove(s->FFocusRowOnMouseMove);
    SetGridLines(s->FGridLines);
    SetRowSelect(s->FRowSelect);
    SetShowHeader(s->FShowHeader);
  } catch (...) {
    FGrid->EndUpdate();
    throw;
  }
  FGrid->EndUpdate();
}

Boolean TcxLookupGridOptions::GetAnsiSort() { return FGrid->GetDataController()->GetOptions().Contains(dcoAnsiSort); }

void TcxLookupGridOptions::SetAnsiSort(Boolean value) {
  TcxDataControllerOptions o = FGrid->GetDataController()->GetOptions();
  if (value) o.Include(dcoAnsiSort); else o.Exclude(dcoAnsiSort);
  FGrid->GetDataController()->SetOptions(o);
}

Boolean TcxLookupGridOptions::GetCaseInsensitive() {
  return FGrid->GetDataController()->GetOptions().Contains(dcoCaseInsensitive);
}

void TcxLookupGridOptions::SetCaseInsensitive(Boolean value) {
  TcxDataControllerOptions o = FGrid->GetDataController()->GetOptions();
  if (value) o.Include(dcoCaseInsensitive); else o.Exclude(dcoCaseInsensitive);
  FGrid->GetDataController()->SetOptions(o);
}

void TcxLookupGridOptions::SetGridLines(TcxLookupGridLines value) {
  if (FGridLines == value) return;
  FGridLines = value;
  Changed();
}

void TcxLookupGridOptions::SetRowSelect(Boolean value) {
  if (FRowSelect == value) return;
  FRowSelect = value;
  if (value) FGrid->SetFocusedColumn(nullptr);
}

void TcxLookupGridOptions::SetShowHeader(Boolean value) {
  if (FShowHeader == value) return;
  FShowHeader = value;
  Changed();
}

void TcxLookupGridOptions::Changed() {
  FGrid->NotifyChanges(1);
  if (FOnChanged) FOnChanged(this);
}

TObject* TcxLookupGridDataController::GetItem(Integer index) {
  auto* grid = dynamic_cast<TcxCustomLookupGrid*>(GetOwnerComponent());
  return grid ? grid->GetColumns()->GetColumn(index) : nullptr;
}

// ==== View info ================================================================================

TFont* TcxLookupGridViewInfo::GetGridFont() { return FGrid->GetFont(); }
TColor TcxLookupGridViewInfo::GetBackgroundColor() { return FGrid->GetColor(); }
TColor TcxLookupGridViewInfo::GetGridTextColor() { return GetGridFont()->GetColor(); }
TColor TcxLookupGridViewInfo::GetHeaderColor() { return FGrid->GetGridPainter()->LFPainter->DefaultHeaderColor(); }
TFont* TcxLookupGridViewInfo::GetHeaderFont() { return FGrid->GetFont(); }
TColor TcxLookupGridViewInfo::GetHeaderTextColor() {
  return FGrid->GetGridPainter()->LFPainter->DefaultHeaderTextColor();
}
TColor TcxLookupGridViewInfo::GetSelectionColor() { return FGrid->GetGridPainter()->LFPainter->DefaultSelectionColor(); }
TColor TcxLookupGridViewInfo::GetSelectionTextColor() {
  return FGrid->GetGridPainter()->LFPainter->DefaultSelectionTextColor();
}

Integer TcxLookupGridViewInfo::GetHeaderHeight() {
  TcxCanvas* canvas = FGrid->GetGridPainter()->GetCanvas();
  canvas->SetFont(GetHeaderFont());
  return FGrid->GetGridPainter()->LFPainter->HeaderCellHeight(canvas->TextHeightOf("Wg"));
}

void TcxLookupGridViewInfo::Calculate() {
  BorderSize = FGrid->GetBorderSize();
  CalculateHeaderArea();
  CalculateRows();
  CalculateEmptyAreas();
}

void TcxLookupGridViewInfo::CalculateHeaderArea() {
  Columns.clear();
  if (FGrid->GetColumns()->GetCount() == 0) {
    HeaderArea = TRect{};
    return;
  }
  const TRect client = FGrid->GetClientBounds();
  HeaderArea = client;
  HeaderArea.Bottom = HeaderArea.Top + (FGrid->GetOptions()->GetShowHeader() ? GetHeaderHeight() : 0);
  CalculateHeaderCells();
}

void TcxLookupGridViewInfo::CalculateHeaderCells() {
  TcxLookupGridColumns* columns = FGrid->GetColumns();
  const Integer count = columns->GetCount();
  TcxAutoWidthObject widths(count);
  for (Integer i = 0; i < count; ++i) {
    TcxLookupGridColumn* c = columns->GetColumn(i);
    TcxAutoWidthItem* item = widths.NewItem();
    item->MinWidth = c->GetMinWidth();
    item->Width = c->GetWidth();
    item->Fixed = c->GetFixed();
  }
  widths.SetAvailableWidth(HeaderArea.Right - HeaderArea.Left);
  widths.DistributeWidth();
  Integer x = HeaderArea.Left;
  const TcxCustomLookAndFeelPainterClass lf = FGrid->GetGridPainter()->LFPainter;
  for (Integer i = 0; i < count; ++i) {
    TcxLookupGridColumn* c = columns->GetColumn(i);
    TcxLookupGridColumnViewInfo info;
    info.Index = i;
    info.Text = c->GetCaption();
    info.Alignment = c->GetHeaderAlignment();
    if (!c->IsFirstColumn()) info.Neighbors.Include(nLeft);
    if (!c->IsLastColumn()) info.Neighbors.Include(nRight);
    info.Borders = lf->HeaderCellBorders(info.Neighbors);
    info.SortOrder = c->GetSortOrder();
    const Integer w = widths.GetItemAt(i)->AutoWidth;
    info.Bounds = TRect{x, HeaderArea.Top, x + w, HeaderArea.Bottom};
    info.ContentBounds = lf->HeaderCellContentBounds(info.Bounds, info.Borders);
    InitColumnStyle(info, c);
    x += w;
    Columns.push_back(std::move(info));
  }
  if (x < HeaderArea.Right) HeaderArea.Right = x;
}

void TcxLookupGridViewInfo::InitColumnStyle(TcxLookupGridColumnViewInfo& columnViewInfo, TcxLookupGridColumn* column) {
  TcxCustomEditProperties* properties = column->GetEffectiveRepositoryItem()->GetProperties();
  columnViewInfo.EditStyle.reset(properties->GetStyleClass().Create(nullptr, true, nullptr, csNormalStyle));
  TcxCustomEditStyle* style = columnViewInfo.EditStyle.get();
  style->GetLookAndFeel()->SetMaster(FGrid->GetLookAndFeel());
  style->SetButtonTransparency(ebtHideInactive);
  if (TFont* font = column->GetColumnFont()) style->SetFont(font);
}

namespace {

// Attaches or detaches the column's values provider without the properties telling their users
// of a change: the provider only answers for the column while its cells are calculated.
void SetColumnProvider(TcxCustomEditProperties* properties, IcxEditDefaultValuesProvider* provider) {
  properties->SetChangeLock(true);
  try {
    properties->SetDefaultValuesProvider(provider);
  } catch (...) {
    properties->SetChangeLock(false);
    throw;
  }
  properties->SetChangeLock(false);
}

}  // namespace

void TcxLookupGridViewInfo::CreateCellViewData(TcxLookupGridColumnViewInfo& columnViewInfo,
                                               TcxLookupGridColumn* column) {
  TcxCustomEditProperties* properties = column->GetEffectiveRepositoryItem()->GetProperties();
  SetColumnProvider(properties, column->GetDefaultValuesProvider());
  try {
    columnViewInfo.ViewData = properties->CreateViewData(columnViewInfo.EditStyle.get(), true);
  } catch (...) {
    SetColumnProvider(properties, nullptr);
    throw;
  }
}

void TcxLookupGridViewInfo::ReleaseCellViewData(TcxLookupGridColumnViewInfo& columnViewInfo,
                                                TcxLookupGridColumn* column) {
  FreeAndNil(columnViewInfo.ViewData);
  SetColumnProvider(column->GetEffectiveRepositoryItem()->GetProperties(), nullptr);
}

void TcxLookupGridViewInfo::CalculateRowMinHeight() {
  TcxLookupGridColumns* columns = FGrid->GetColumns();
  const Integer count = columns->GetCount();
  // Before the first layout (the lookup editor sizes its list early) the styles are made here.
  std::vector<TcxLookupGridColumnViewInfo> own;
  std::vector<TcxLookupGridColumnViewInfo>* infos = &Columns;
  if (Integer(Columns.size()) != count) {
    own.resize(std::size_t(count));
    for (Integer i = 0; i < count; ++i) InitColumnStyle(own[std::size_t(i)], columns->GetColumn(i));
    infos = &own;
  }
  TcxCanvas* canvas = FGrid->GetGridPainter()->GetCanvas();
  // Each column's editor says how tall an empty cell needs to be; the tallest sets the rows.
  RowMinHeight = 0;
  for (Integer i = 0; i < count; ++i) {
    TcxLookupGridColumnViewInfo& info = (*infos)[std::size_t(i)];
    TcxLookupGridColumn* column = columns->GetColumn(i);
    CreateCellViewData(info, column);
    TSize size{0, 0};
    try {
      TcxEditSizeProperties limits;
      info.ViewData->CalculateEditorSize(canvas, Null(), size, nullptr, limits);
    } catch (...) {
      ReleaseCellViewData(info, column);
      throw;
    }
    ReleaseCellViewData(info, column);
    RowMinHeight = std::max(RowMinHeight, size.cy + 2);
  }
}

Integer TcxLookupGridViewInfo::GetRowHeight() {
  if (RowMinHeight == 0) CalculateRowMinHeight();
  const TcxLookupGridLines lines = FGrid->GetOptions()->GetGridLines();
  return RowMinHeight + (lines == TcxLookupGridLines::glBoth || lines == TcxLookupGridLines::glHorizontal
                             ? GetGridLineWidth()
                             : 0);
}

void TcxLookupGridViewInfo::CalculateRows() {
  Rows.clear();
  RowsArea = VisibleRowsArea = TRect{};
  PartVisibleRowCount = VisibleRowCount = 0;
  if (HeaderArea.Right <= HeaderArea.Left) return;
  CalculateRowMinHeight();
  RowsArea = TRect{HeaderArea.Left, HeaderArea.Bottom, HeaderArea.Right, HeaderArea.Bottom};
  VisibleRowsArea = RowsArea;
  const TRect client = FGrid->GetClientBounds();
  const Integer rowCount = FGrid->GetRowCount();
  Integer y = RowsArea.Top;
  if (FTopRowCalculation == tcmBackward) {
    for (Integer r = FInternalTopRowIndex; r >= 0; --r) {
      AddRow(r, y);
      y = Rows.back().Bounds.Bottom;
      ++PartVisibleRowCount;
      if (y > client.Bottom) break;
      ++VisibleRowCount;
      VisibleRowsArea.Bottom = y;
    }
  } else {
    const Integer top = FTopRowCalculation == tcmForward ? FInternalTopRowIndex : FGrid->GetTopRowIndex();
    for (Integer r = top; r < rowCount; ++r) {
      AddRow(r, y);
      y = Rows.back().Bounds.Bottom;
      ++PartVisibleRowCount;
      if (y > client.Bottom) break;
      ++VisibleRowCount;
      VisibleRowsArea.Bottom = y;
    }
  }
  if (PartVisibleRowCount > 0 && VisibleRowCount == 0) VisibleRowCount = 1;
}

void TcxLookupGridViewInfo::AddRow(Integer rowIndex, Integer y) {
  TcxCustomDataController* dc = FGrid->GetDataController();
  const TcxLookupGridLines lines = FGrid->GetOptions()->GetGridLines();
  const Integer lw = GetGridLineWidth();
  const TRect client = FGrid->GetClientBounds();
  TcxLookupGridRowViewInfo row;
  row.Index = rowIndex;
  row.RecordIndex = dc->GetRowInfo(rowIndex).RecordIndex;
  row.Focused = rowIndex == dc->GetFocusedRowIndex();
  row.Bounds = TRect{RowsArea.Left, y, RowsArea.Right, y + RowMinHeight};
  row.ContentBounds = row.Bounds;
  const Integer count = Integer(Columns.size());
  for (Integer i = 0; i < count; ++i) {
    TcxLookupGridCellViewInfo cell;
    cell.Index = i;
    cell.Focused = FGrid->GetFocusedColumn() && FGrid->GetFocusedColumn()->GetIndex() == i;
    cell.Bounds = TRect{Columns[std::size_t(i)].Bounds.Left, y, Columns[std::size_t(i)].Bounds.Right, y + RowMinHeight};
    cell.ContentBounds = cell.Bounds;
    const Boolean last = i == count - 1;
    const Boolean vertical = lines == TcxLookupGridLines::glBoth || lines == TcxLookupGridLines::glVertical ||
                             (lines == TcxLookupGridLines::glHorizontal && last);
    if (vertical) {
      if (last) {
        row.ContentBounds.Right -= lw;
        row.Borders.Include(bRight);
        cell.ContentBounds.Right -= lw;
      } else {
        cell.ContentBounds.Right -= lw;
        cell.Borders.Include(bRight);
      }
    }
    row.Cells.push_back(std::move(cell));
  }
  const Boolean lastRow = rowIndex == FGrid->GetRowCount() - 1;
  const Boolean horizontal = lines == TcxLookupGridLines::glBoth || lines == TcxLookupGridLines::glHorizontal ||
                             (lines == TcxLookupGridLines::glVertical && lastRow &&
                              row.Bounds.Bottom != client.Bottom && FTopRowCalculation == tcmNone);
  if (horizontal) {
    row.Bounds.Bottom += lw;
    row.Borders.Include(bBottom);
    for (auto& c : row.Cells) c.Bounds.Bottom += lw;
  }
  RowsArea.Bottom = row.Bounds.Bottom;
  CalculateCells(row);
  Rows.push_back(std::move(row));
}

void TcxLookupGridViewInfo::CalculateCells(TcxLookupGridRowViewInfo& row) {
  const Boolean selected = FGrid->GetDataController()->IsRowSelected(row.Index);
  for (auto& cell : row.Cells) CalculateCell(row, cell, selected);
}

void TcxLookupGridViewInfo::CalculateCell(TcxLookupGridRowViewInfo& row, TcxLookupGridCellViewInfo& cell,
                                          Boolean selected) {
  TcxCustomDataController* dc = FGrid->GetDataController();
  const Boolean selection = selected && row.Focused && (FGrid->GetOptions()->GetRowSelect() || !cell.Focused);
  TcxLookupGridColumnViewInfo& columnInfo = Columns[std::size_t(cell.Index)];
  TcxLookupGridColumn* column = FGrid->GetColumns()->GetColumn(cell.Index);
  TcxCustomEditStyle* style = columnInfo.EditStyle.get();
  style->SetColor(selection ? GetSelectionColor() : GetBackgroundColor());
  style->SetTextColor(selection ? GetSelectionTextColor() : GetGridTextColor());
  CreateCellViewData(columnInfo, column);
  try {
    TcxCustomEditProperties* properties = columnInfo.ViewData->Properties;
    cell.EditViewInfo.reset(properties->GetViewInfoClass().Create());
    Variant value;
    if (row.RecordIndex >= 0 && cell.Index < dc->GetItemCount()) {
      if (properties->GetValueExchangeMode(false) != 0)
        value = dc->GetDisplayText(row.RecordIndex, cell.Index);
      else
        value = dc->GetValue(row.RecordIndex, cell.Index);
    }
    TcxCanvas* canvas = FGrid->GetGridPainter()->GetCanvas();
    const TRect& r = cell.ContentBounds;
    columnInfo.ViewData->SetViewInfoValue(canvas, value, cell.EditViewInfo.get());
    columnInfo.ViewData->CalculateViewInfo(canvas, TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}, false,
                                           cell.EditViewInfo.get());
  } catch (...) {
    ReleaseCellViewData(columnInfo, column);
    throw;
  }
  ReleaseCellViewData(columnInfo, column);
}

void TcxLookupGridViewInfo::RecalculateRow(TcxLookupGridRowViewInfo& row) {
  TcxCustomDataController* dc = FGrid->GetDataController();
  row.Focused = row.Index == dc->GetFocusedRowIndex();
  for (auto& cell : row.Cells)
    cell.Focused = FGrid->GetFocusedColumn() && FGrid->GetFocusedColumn()->GetIndex() == cell.Index;
  CalculateCells(row);
}

void TcxLookupGridViewInfo::CalculateEmptyAreas() {
  const TRect client = FGrid->GetClientBounds();
  EmptyAreaRight = HeaderArea.Right < client.Right && !Columns.empty()
                       ? TRect{HeaderArea.Right, client.Top, client.Right, client.Bottom}
                       : TRect{};
  const Integer rowsBottom = Columns.empty() ? client.Top : RowsArea.Bottom;
  EmptyAreaBottom = rowsBottom < client.Bottom ? TRect{client.Left, rowsBottom, client.Right, client.Bottom} : TRect{};
}

Integer TcxLookupGridViewInfo::CorrectTopRowIndex(Integer index) {
  Integer result = index;
  FInternalTopRowIndex = index;
  FTopRowCalculation = tcmForward;
  try {
    CalculateRows();
    CalculateEmptyAreas();
    if (!(EmptyAreaBottom.Right <= EmptyAreaBottom.Left || EmptyAreaBottom.Bottom <= EmptyAreaBottom.Top)) {
      FInternalTopRowIndex = std::min(index + VisibleRowCount - 1, FGrid->GetRowCount() - 1);
      FTopRowCalculation = tcmBackward;
      CalculateRows();
      result = std::max(0, FInternalTopRowIndex - VisibleRowCount + 1);
    }
  } catch (...) {
    FTopRowCalculation = tcmNone;
    throw;
  }
  FTopRowCalculation = tcmNone;
  return result;
}

// ==== Painter ==================================================================================

TcxCanvas* TcxLookupGridPainter::GetCanvas() { return FGrid->GetCanvasOrScreenCanvas(); }

void TcxLookupGridPainter::PaintBorder() {
  TcxLookupGridViewInfo* vi = FGrid->GetViewInfo();
  if (vi->BorderSize == 0) return;
  LFPainter->DrawControlBorder(GetCanvas(), FGrid->GetBounds());
  GetCanvas()->IntersectClip(FGrid->GetClientBounds());
}

void TcxLookupGridPainter::PaintContent() {
  PaintHeaders();
  PaintEmptyAreas();
  PaintRows();
}

void TcxLookupGridPainter::PaintHeaders() {
  TcxLookupGridViewInfo* vi = FGrid->GetViewInfo();
  if (vi->HeaderArea.Bottom <= vi->HeaderArea.Top) return;
  TcxCanvas* canvas = GetCanvas();
  for (const auto& c : vi->Columns) {
    TRect text = TRect{c.ContentBounds.Left + 2, c.ContentBounds.Top + 2, c.ContentBounds.Right - 2,
                       c.ContentBounds.Bottom - 2};
    TRect mark{};
    if (c.SortOrder != soNone) {
      mark = TRect{std::max(text.Left, text.Right - LFPainter->SortArrowAreaSize().X), text.Top, text.Right, text.Bottom};
      text.Right = mark.Left;
    }
    LFPainter->DrawHeaderCell(canvas, c.Bounds, text, c.Neighbors, c.Borders, cxbsNormal, ToHorz(c.Alignment),
                              vaCenter, false, true, c.Text, vi->GetHeaderFont(), vi->GetHeaderTextColor(),
                              vi->GetHeaderColor());
    if (c.SortOrder != soNone) LFPainter->DrawSortArrow(canvas, mark, c.SortOrder == soAscending);
  }
}

void TcxLookupGridPainter::PaintEmptyAreas() {
  TcxLookupGridViewInfo* vi = FGrid->GetViewInfo();
  TcxCanvas* canvas = GetCanvas();
  if (vi->EmptyAreaRight.Right > vi->EmptyAreaRight.Left) canvas->FillRect(vi->EmptyAreaRight, FGrid->GetColor());
  if (vi->EmptyAreaBottom.Bottom > vi->EmptyAreaBottom.Top) canvas->FillRect(vi->EmptyAreaBottom, FGrid->GetColor());
}

void TcxLookupGridPainter::PaintRows() {
  for (auto& row : FGrid->GetViewInfo()->Rows) PaintRow(row);
}

void TcxLookupGridPainter::PaintRow(TcxLookupGridRowViewInfo& row) {
  TcxLookupGridViewInfo* vi = FGrid->GetViewInfo();
  TcxCanvas* canvas = GetCanvas();
  for (auto& cell : row.Cells) {
    canvas->DrawBorderLines(cell.Bounds, vi->GetGridLineColor(), vi->GetGridLineWidth(), cell.Borders);
    PaintCell(cell);
  }
  canvas->DrawBorderLines(row.Bounds, vi->GetGridLineColor(), vi->GetGridLineWidth(), row.Borders);
  if (row.Focused && (FGrid->Focused() || FGrid->GetPopupMode())) canvas->DrawFocusFrame(row.ContentBounds);
}

void TcxLookupGridPainter::PaintCell(TcxLookupGridCellViewInfo& cell) {
  if (!cell.EditViewInfo) return;
  TcxCanvas* canvas = GetCanvas();
  cell.EditViewInfo->Paint(canvas);
  // The pixel the layout left free around the editor's drawing takes the cell's background.
  const TColor background = cell.EditViewInfo->BackgroundColor;
  canvas->DrawTwoColorFrame(cell.ContentBounds, background, background);
}

// ==== The grid =================================================================================

TcxCustomLookupGrid::TcxCustomLookupGrid(TComponent* owner) : TcxControl(owner) {
  SetColor(clWindow);
  SetParentColor(false);
  SetBounds(GetLeft(), GetTop(), 250, 200);
  SetScrollBars(ssVertical);
  SetFocusOnClick(false);
  SetKeys({kArrows});
}

void TcxCustomLookupGrid::EnsureCreated() {
  if (FCreated) return;
  FCreated = true;
  FColumns = CreateColumns();
  FOptions = GetOptionsClass().Create(this);
  CreateSubClasses();
  CreateDataController();
}

TcxLookupGridColumns* TcxCustomLookupGrid::CreateColumns() { return new TcxLookupGridColumns(this, GetColumnClass()); }

TcxLookupGridColumns* TcxCustomLookupGrid::GetColumns() {
  EnsureCreated();
  return FColumns;
}
TcxCustomDataController* TcxCustomLookupGrid::GetDataController() {
  EnsureCreated();
  return FDataController;
}
TcxLookupGridOptions* TcxCustomLookupGrid::GetOptions() {
  EnsureCreated();
  return FOptions;
}
TcxLookupGridViewInfo* TcxCustomLookupGrid::GetViewInfo() {
  EnsureCreated();
  return FViewInfo;
}
TcxLookupGridPainter* TcxCustomLookupGrid::GetGridPainter() {
  EnsureCreated();
  return FPainter;
}

void TcxCustomLookupGrid::BeforeDestruction() {
  SetScrollTimer(0);
  inherited::BeforeDestruction();
}

TcxCustomLookupGrid::~TcxCustomLookupGrid() {
  if (FColumns) FColumns->Clear();
  DestroyDataController();
  DestroySubClasses();
  if (FOptions) FOptions->Free();
  if (FColumns) FColumns->Free();
}

void TcxCustomLookupGrid::CreateSubClasses() {
  FPainter = new TcxLookupGridPainter(this);
  FPainter->LFPainter = GetPainter();
  FViewInfo = new TcxLookupGridViewInfo(this);
}

void TcxCustomLookupGrid::DestroySubClasses() {
  FreeAndNil(FViewInfo);
  FreeAndNil(FPainter);
}

void TcxCustomLookupGrid::CreateDataController() {
  FDataController = GetDataControllerClass().Create(this);
  FDataController->SetOnUpdateControl(
      TcxUpdateControlEvent(this, &TcxCustomLookupGrid::HandleControllerNotification));
}

void TcxCustomLookupGrid::DestroyDataController() {
  if (!FDataController) return;
  FDataController->SetOnUpdateControl(TcxUpdateControlEvent());
  FreeAndNil(FDataController);
}

void TcxCustomLookupGrid::BeginUpdate() {
  ++FLockCount;
  GetDataController()->BeginUpdate();
}

void TcxCustomLookupGrid::EndUpdate() {
  --FLockCount;
  try {
    GetDataController()->EndUpdate();
    if (FChangeFlags != 0 && FLockCount == 0 && (FChangeFlags & 7) != 0) UpdateLayout();
  } catch (...) {
    if (FLockCount == 0) FChangeFlags = 0;
    throw;
  }
  if (FLockCount == 0) FChangeFlags = 0;
}

void TcxCustomLookupGrid::NotifyChanges(Byte flags) {
  if (!FCreated) return;
  FChangeFlags = Byte(FChangeFlags | flags);
  if (FLockCount == 0) {
    const Byte pending = FChangeFlags;
    FChangeFlags = 0;
    if (pending & 7) UpdateLayout();
  }
}

void TcxCustomLookupGrid::ColumnAdded(TcxLookupGridColumn* column) { GetDataController()->AddItem(column); }

void TcxCustomLookupGrid::ColumnRemoved(TcxLookupGridColumn* column) {
  if (FDataController) FDataController->RemoveItem(column);
  if (FFocusedColumn == column) FFocusedColumn = nullptr;
}

void TcxCustomLookupGrid::SetFocusedColumn(TcxLookupGridColumn* value) {
  if (FFocusedColumn == value) return;
  FFocusedColumn = value;
  RefreshFocusedRow();
}

Integer TcxCustomLookupGrid::GetFocusedRowIndex() { return GetDataController()->GetFocusedRowIndex(); }

void TcxCustomLookupGrid::SetFocusedRowIndex(Integer value) { GetDataController()->ChangeFocusedRowIndex(value); }

Integer TcxCustomLookupGrid::GetRowCount() { return GetDataController()->GetRowCount(); }

void TcxCustomLookupGrid::SetPopupMode(Boolean value) {
  if (FPopupMode == value) return;
  FPopupMode = value;
  NotifyChanges(1);
}

Integer TcxCustomLookupGrid::GetBorderSize() { return FPopupMode ? 0 : GetGridPainter()->LFPainter->ControlBorderWidth(); }

void TcxCustomLookupGrid::SetLastCursorPos(const TPoint& value) { gLastCursorPos = value; }

Integer TcxCustomLookupGrid::GetScrollReserveAbove() {
  TcxCustomDataController* dc = GetDataController();
  return dc->IsGridMode() && !dc->IsBOF() ? 1 : 0;
}

Integer TcxCustomLookupGrid::GetScrollReserveBelow() {
  TcxCustomDataController* dc = GetDataController();
  return dc->IsGridMode() && !dc->IsEOF() ? 1 : 0;
}

TcxLookupGridHitTest TcxCustomLookupGrid::HitTest(const TPoint& point) {
  TcxLookupGridHitTest result;
  if (!IsPointInRect(GetClientBounds(), point)) return result;
  TcxLookupGridViewInfo* vi = GetViewInfo();
  if (IsPointInRect(vi->HeaderArea, point)) {
    for (const auto& c : vi->Columns)
      if (IsPointInRect(c.Bounds, point)) {
        result.Kind = lghtHeader;
        result.ColumnIndex = c.Index;
        return result;
      }
    return result;
  }
  for (const auto& row : vi->Rows) {
    if (point.Y < row.Bounds.Top || point.Y >= row.Bounds.Bottom || point.X < row.Bounds.Left ||
        point.X >= row.Bounds.Right)
      continue;
    result.Kind = lghtRow;
    result.RowIndex = row.Index;
    for (const auto& cell : row.Cells)
      if (point.X >= cell.Bounds.Left && point.X < cell.Bounds.Right) result.ColumnIndex = cell.Index;
    return result;
  }
  return result;
}

Integer TcxCustomLookupGrid::GetRowHeight() { return GetViewInfo()->GetRowHeight(); }

Integer TcxCustomLookupGrid::GetHeaderHeight() {
  if (GetColumns()->GetCount() == 0 || !GetOptions()->GetShowHeader()) return 0;
  return GetViewInfo()->GetHeaderHeight();
}

Integer TcxCustomLookupGrid::GetListHeightForRows(Integer rowCount) {
  return rowCount * GetRowHeight() + GetHeaderHeight();
}

Integer TcxCustomLookupGrid::SnapListHeight(Integer height) {
  const Integer rowHeight = std::max(1, GetRowHeight());
  Integer n = (height - GetHeaderHeight()) / rowHeight;
  n = std::min(n, GetRowCount());
  n = std::max(n, 1);
  return GetHeaderHeight() + n * rowHeight;
}

void TcxCustomLookupGrid::RecalculateLayout() {
  GetViewInfo()->Calculate();
  Invalidate();
  if (HandleAllocated()) UpdateScrollBars();
}

void TcxCustomLookupGrid::UpdateLayout() {
  if (!FCreated || GetComponentState().Contains(csDestroying)) return;
  const Integer rows = GetRowCount();
  Integer top = std::clamp(FTopRowIndex, 0, std::max(0, rows - 1));
  GetViewInfo()->BorderSize = GetBorderSize();
  GetViewInfo()->CalculateHeaderArea();
  if (rows > 0) top = GetViewInfo()->CorrectTopRowIndex(top);
  FTopRowIndex = top;
  RecalculateLayout();
}

void TcxCustomLookupGrid::DoSetTopRowIndex(Integer value) {
  TcxCustomDataController* dc = GetDataController();
  const Integer rows = GetRowCount();
  const Integer visible = GetViewInfo()->VisibleRowCount;
  if (dc->IsGridMode()) {
    if (value < 0) {
      if (!dc->IsBOF()) dc->Scroll(value);
      value = 0;
    } else if (value >= rows) {
      if (!dc->IsEOF()) dc->Scroll(value - rows + 1);
      value = rows - 1;
    } else if (value > rows - visible) {
      if (!dc->IsEOF()) dc->Scroll(value - (rows - visible));
      value = rows - visible;
    }
  }
  value = std::clamp(value, 0, std::max(0, GetRowCount() - 1));
  if (value == FTopRowIndex) return;
  GetViewInfo()->CalculateHeaderArea();
  const Integer corrected = GetViewInfo()->CorrectTopRowIndex(value);
  if (corrected == FTopRowIndex) {
    GetViewInfo()->Calculate();
    return;
  }
  FTopRowIndex = corrected;
  RecalculateLayout();
}

void TcxCustomLookupGrid::SetTopRowIndex(Integer value) { DoSetTopRowIndex(value); }

void TcxCustomLookupGrid::MakeFocusedRowVisible() {
  const Integer focused = GetFocusedRowIndex();
  TcxLookupGridViewInfo* vi = GetViewInfo();
  if (focused < 0 || vi->VisibleRowCount == 0) return;
  if (focused < FTopRowIndex)
    SetTopRowIndex(focused);
  else if (focused > FTopRowIndex + vi->VisibleRowCount - 1)
    SetTopRowIndex(focused - vi->VisibleRowCount + 1);
}

void TcxCustomLookupGrid::SetFocusedRowSelected(Boolean selected) { GetDataController()->SetFocusedSelected(selected); }

void TcxCustomLookupGrid::MoveFocusedRow(Boolean forward) {
  TcxCustomDataController* dc = GetDataController();
  Integer r = dc->GetFocusedRowIndex();
  if (dc->IsGridMode()) {
    if (forward && r == GetRowCount() - 1 && !dc->IsEOF()) {
      dc->Scroll(1);
      if (!dc->IsEOF()) --r;
    } else if (!forward && r == 0 && !dc->IsBOF()) {
      dc->Scroll(-1);
      if (!dc->IsBOF()) ++r;
    }
  }
  r += forward ? 1 : -1;
  r = std::clamp(r, 0, std::max(0, GetRowCount() - 1));
  dc->ChangeFocusedRowIndex(r);
  SetFocusedRowSelected(true);
}

void TcxCustomLookupGrid::ScrollPage(Boolean up) {
  const Integer visible = GetViewInfo()->VisibleRowCount;
  if (up)
    SetTopRowIndex(visible < 2 ? FTopRowIndex - 1 : FTopRowIndex - visible + 1);
  else
    SetTopRowIndex(visible < 2 ? FTopRowIndex + 1 : FTopRowIndex + visible - 1);
}

void TcxCustomLookupGrid::RefreshFocusedRow() { InvalidateRow(GetFocusedRowIndex(), false); }

void TcxCustomLookupGrid::InvalidateRow(Integer rowIndex, Boolean recalculate) {
  for (auto& row : GetViewInfo()->Rows) {
    if (row.Index != rowIndex) continue;
    if (recalculate) GetViewInfo()->RecalculateRow(row);
    InvalidateArea(row.Bounds, false);
    return;
  }
}

void TcxCustomLookupGrid::DataChanged() {
  UpdateLayout();
  if (FOnDataChanged) FOnDataChanged(this);
}

void TcxCustomLookupGrid::DoCloseUp(Boolean accept) {
  if (FOnCloseUp) FOnCloseUp(this, accept);
}

void TcxCustomLookupGrid::FocusedRowChanged(Integer prevRowIndex, Integer newRowIndex) {
  TcxLookupGridViewInfo* vi = GetViewInfo();
  const Boolean visible = newRowIndex >= FTopRowIndex && newRowIndex < FTopRowIndex + vi->VisibleRowCount;
  if (visible) {
    InvalidateRow(prevRowIndex, true);
    InvalidateRow(newRowIndex, true);
  } else {
    UpdateLayout();
    MakeFocusedRowVisible();
  }
  if (FOnFocusedRowChanged) FOnFocusedRowChanged(this);
}

void TcxCustomLookupGrid::SelectionChanged(TcxSelectionChangedInfo* info) {
  if (!info || info->GetCount() == 0) {
    UpdateLayout();
    return;
  }
  for (Integer i = 0; i < info->GetCount(); ++i) InvalidateRow(info->GetRowIndex(i), true);
}

void TcxCustomLookupGrid::HandleControllerNotification(TcxUpdateControlInfo* info) {
  if (!FCreated || GetComponentState().Contains(csDestroying)) return;
  if (dynamic_cast<TcxDataChangedInfo*>(info))
    DataChanged();
  else if (dynamic_cast<TcxLayoutChangedInfo*>(info))
    LayoutChangedNotify();
  else if (auto* f = dynamic_cast<TcxFocusedRowChangedInfo*>(info))
    FocusedRowChanged(f->GetPrevFocusedRowIndex(), f->GetFocusedRowIndex());
  else if (auto* f2 = dynamic_cast<TcxFocusedRecordChangedInfo*>(info))
    FocusedRowChanged(f2->GetPrevFocusedRowIndex(), f2->GetFocusedRowIndex());
  else if (auto* s = dynamic_cast<TcxSelectionChangedInfo*>(info))
    SelectionChanged(s);
  else
    UpdateLayout();
}

void TcxCustomLookupGrid::Paint() {
  inherited::Paint();
  EnsureCreated();
  TcxLookupGridPainter* painter = GetGridPainter();
  TcxCanvas* canvas = painter->GetCanvas();
  canvas->PushClipRegion();
  try {
    painter->PaintBorder();
    painter->PaintContent();
  } catch (...) {
    canvas->PopClipRegion();
    throw;
  }
  canvas->PopClipRegion();
}

void TcxCustomLookupGrid::KeyDown(Word& key, TShiftState shift) {
  inherited::KeyDown(key, shift);
  TcxCustomDataController* dc = GetDataController();
  const Boolean rowSelect = GetOptions()->GetRowSelect();
  const Integer columnCount = GetColumns()->GetCount();
  switch (key) {
    case VK_RETURN:
      DoCloseUp(GetFocusedRowIndex() != -1);
      break;
    case VK_PRIOR:
      MakeFocusedRowVisible();
      if (GetFocusedRowIndex() == FTopRowIndex) ScrollPage(true);
      dc->ChangeFocusedRowIndex(FTopRowIndex);
      SetFocusedRowSelected(true);
      break;
    case VK_NEXT: {
      MakeFocusedRowVisible();
      const Integer last = FTopRowIndex + GetViewInfo()->VisibleRowCount - 1;
      if (GetFocusedRowIndex() == last) ScrollPage(false);
      dc->ChangeFocusedRowIndex(std::min(FTopRowIndex + GetViewInfo()->VisibleRowCount - 1, GetRowCount() - 1));
      SetFocusedRowSelected(true);
      break;
    }
    case VK_END:
      if (shift.Contains(ssCtrl) || rowSelect) dc->GotoLast();
      else if (columnCount > 0) SetFocusedColumn(GetColumns()->GetColumn(columnCount - 1));
      break;
    case VK_HOME:
      if (shift.Contains(ssCtrl) || rowSelect) dc->GotoFirst();
      else if (columnCount > 0) SetFocusedColumn(GetColumns()->GetColumn(0));
      break;
    case VK_LEFT:
    case VK_RIGHT:
      if (columnCount > 0) {
        const Integer current = FFocusedColumn ? FFocusedColumn->GetIndex() : 0;
        const Integer next = std::clamp(current + (key == VK_LEFT ? -1 : 1), 0, columnCount - 1);
        SetFocusedColumn(GetColumns()->GetColumn(next));
        MakeFocusedRowVisible();
      }
      break;
    case VK_UP:
      MoveFocusedRow(false);
      break;
    case VK_DOWN:
      MoveFocusedRow(true);
      break;
    default:
      break;
  }
}

void TcxCustomLookupGrid::CellMouseDown(Integer rowIndex, Integer columnIndex, TShiftState shift) {
  if (rowIndex != -1) {
    GetDataController()->ChangeFocusedRowIndex(rowIndex);
    SetFocusedRowSelected(true);
  }
  if (columnIndex != -1 && !GetOptions()->GetRowSelect()) SetFocusedColumn(GetColumns()->GetColumn(columnIndex));
}

void TcxCustomLookupGrid::HeaderMouseDown(Integer columnIndex, TShiftState shift) {
  if (!GetOptions()->GetColumnSorting() || columnIndex == -1) return;
  TcxLookupGridColumn* column = GetColumns()->GetColumn(columnIndex);
  if (!column->GetSorting()) return;
  BeginUpdate();
  try {
    if (shift.Contains(ssCtrl)) {
      column->SetSortOrder(soNone);
    } else {
      const TcxDataSortOrder old = column->GetSortOrder();
      if (!shift.Contains(ssShift)) GetDataController()->ClearSorting(false);
      column->SetSortOrder(old == soAscending ? soDescending : soAscending);
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  MakeFocusedRowVisible();
}

void TcxCustomLookupGrid::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  inherited::MouseDown(button, shift, x, y);
  const TcxLookupGridHitTest hit = HitTest(TPoint{x, y});
  if (hit.Kind == lghtHeader) {
    HeaderMouseDown(hit.ColumnIndex, shift);
  } else if (hit.Kind == lghtRow) {
    CellMouseDown(hit.RowIndex, hit.ColumnIndex, shift);
    FMousePressed = true;
  }
}

void TcxCustomLookupGrid::MouseMove(TShiftState shift, Integer x, Integer y) {
  inherited::MouseMove(shift, x, y);
  const TPoint screen = ClientToScreen(TPoint{x, y});
  if (screen.X == gLastCursorPos.X && screen.Y == gLastCursorPos.Y) return;
  gLastCursorPos = screen;
  if (!GetMouseCapture() && !IsFocusRowOnMouseMove()) return;
  const TRect rows = GetViewInfo()->VisibleRowsArea;
  if (FMousePressed && GetMouseCapture()) {
    if (y < rows.Top) {
      SetScrollTimer(1);
      return;
    }
    if (y >= rows.Bottom) {
      SetScrollTimer(2);
      return;
    }
  }
  SetScrollTimer(0);
  const TcxLookupGridHitTest hit = HitTest(TPoint{x, y});
  if (hit.Kind == lghtRow) {
    GetDataController()->ChangeFocusedRowIndex(hit.RowIndex);
    SetFocusedRowSelected(true);
  }
}

void TcxCustomLookupGrid::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  SetScrollTimer(0);
  const Boolean pressed = FMousePressed;
  FMousePressed = false;
  inherited::MouseUp(button, shift, x, y);
  if (pressed) DoCloseUp(HitTest(TPoint{x, y}).Kind == lghtRow);
}

void TcxCustomLookupGrid::CancelMouseOperation() {
  inherited::CancelMouseOperation();
  SetScrollTimer(0);
  FMousePressed = false;
}

void TcxCustomLookupGrid::SetScrollTimer(Integer direction) {
  if (direction == FScrollTimerDirection) return;
  FreeAndNil(FScrollTimer);
  FScrollTimerDirection = direction;
  if (direction == 0) return;
  FScrollTimer = new TcxTimer(nullptr);
  FScrollTimer->SetInterval(50);
  FScrollTimer->SetOnTimer(TNotifyEvent(this, &TcxCustomLookupGrid::ScrollTimerTick));
  FScrollTimer->SetEnabled(true);
}

void TcxCustomLookupGrid::ScrollTimerTick(TObject* sender) {
  TPoint p;
  GetCursorPos(&p);
  p = ScreenToClient(p);
  const TRect rows = GetViewInfo()->VisibleRowsArea;
  Integer row;
  if (p.Y < rows.Top)
    row = FTopRowIndex - 1;
  else if (p.Y >= rows.Bottom)
    row = FTopRowIndex + GetViewInfo()->VisibleRowCount + 1;
  else
    return;
  row = std::clamp(row, 0, std::max(0, GetRowCount() - 1));
  GetDataController()->ChangeFocusedRowIndex(row);
  MakeFocusedRowVisible();
  SetFocusedRowSelected(false);
}

void TcxCustomLookupGrid::InitScrollBarsParameters() {
  // Nothing to show before the parts exist (the control's own constructor asks already).
  if (!FCreated) return;
  const Integer above = GetScrollReserveAbove();
  const Integer below = GetScrollReserveBelow();
  SetScrollBarParams(sbVertical, 0, above + GetRowCount() + below - 1, 1, GetViewInfo()->VisibleRowCount,
                     above + FTopRowIndex, true, true);
}

void TcxCustomLookupGrid::Scroll(TScrollBarKind kind, TScrollCode code, Integer& position) {
  if (kind != sbVertical) return;
  switch (code) {
    case scLineUp: SetTopRowIndex(FTopRowIndex - 1); break;
    case scLineDown: SetTopRowIndex(FTopRowIndex + 1); break;
    case scPageUp: ScrollPage(true); break;
    case scPageDown: ScrollPage(false); break;
    case scPosition:
      if (GetDataController()->IsGridMode()) SetTopRowIndex(position - GetScrollReserveAbove());
      break;
    case scTrack:
      if (!GetDataController()->IsGridMode()) SetTopRowIndex(position);
      break;
    default: break;
  }
  position = GetScrollReserveAbove() + FTopRowIndex;
}

void TcxCustomLookupGrid::LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) {
  if (FPainter) FPainter->LFPainter = GetPainter();
  NotifyChanges(1);
}

void TcxCustomLookupGrid::BoundsChanged() {
  inherited::BoundsChanged();
  UpdateLayout();
}

void TcxCustomLookupGrid::FontChanged() {
  inherited::FontChanged();
  UpdateLayout();
}

void TcxCustomLookupGrid::FocusChanged() {
  inherited::FocusChanged();
  if (FCreated) RefreshFocusedRow();
}

void TcxCustomLookupGrid::Loaded() {
  inherited::Loaded();
  NotifyChanges(1);
}
