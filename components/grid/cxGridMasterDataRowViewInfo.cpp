#include "components/grid/cxGridMasterDataRowViewInfo.h"

#include <algorithm>
#include <memory>

#include "components/foundation/cxGeometry.h"
#include "components/grid/cxGrid.h"
#include "components/grid/cxGridLevel.h"

namespace {

TcxGridLevel* LevelOfView(TcxCustomGridView* view) {
  return view ? dynamic_cast<TcxGridLevel*>(view->GetLevel()) : nullptr;
}

Boolean HasHorzLines(TcxGridTableView* view) {
  const TcxGridLines lines = view->GetOptionsView()->GetGridLines();
  return lines == glBoth || lines == glHorizontal;
}

// Restores the canvas clip region however the step ends.
template <class F>
void WithClipSaved(TcxCanvas* canvas, F&& step) {
  canvas->PushClipRegion();
  try {
    step();
  } catch (...) {
    canvas->PopClipRegion();
    throw;
  }
  canvas->PopClipRegion();
}

}  // namespace

// The master row's layout classes live with the layout itself.
orv::ClassOf<TcxCustomGridRecordViewInfo> TcxGridMasterDataRow::GetViewInfoClass() {
  return TcxGridMasterDataRowViewInfo::StaticClass();
}

TcxCustomGridViewInfoCacheItemClass TcxGridMasterDataRow::GetViewInfoCacheItemClass() {
  return TcxGridMasterTableViewInfoCacheItem::StaticClass();
}

// ==== Cache item ================================================================================

TcxGridMasterTableViewInfoCacheItem::~TcxGridMasterTableViewInfoCacheItem() { orv::Free(DetailsSiteCachedInfo); }

TcxGridMasterDataRow* TcxGridMasterTableViewInfoCacheItem::MasterRow() {
  auto* view = dynamic_cast<TcxCustomGridTableView*>(GetOwner()->GetGridView());
  if (!view || view->IsDestroying()) return nullptr;
  TcxCustomGridTableViewData* data = view->GetTableViewData();
  if (!data || !data->IsRowIndexInRange(GetIndex())) return nullptr;
  return dynamic_cast<TcxGridMasterDataRow*>(data->RecordAt(GetIndex()));
}

void TcxGridMasterTableViewInfoCacheItem::UnassignValues(Boolean keepMaster) {
  if (FUnassigningValues) return;
  FUnassigningValues = true;
  try {
    inherited::UnassignValues(keepMaster);
    IsDetailsSiteFullyVisibleAssigned = false;
    IsDetailsSiteHeightAssigned = false;
    IsDetailsSiteNormalHeightAssigned = false;
    IsDetailsSiteWidthAssigned = false;
    // The detail is measured again with the row, only if it has been made already.
    if (TcxGridMasterDataRow* row = MasterRow()) {
      TcxCustomDataController* controller = row->GetDataController();
      const Integer index = row->GetActiveDetailIndex();
      if (index >= 0 && controller->IsDetailDataControllerExist(row->GetRecordIndex(), index))
        if (TcxCustomGridView* detail = row->GetActiveDetailGridView())
          if (TcxCustomGridViewInfoCache* cache = detail->GetViewInfoCache()) cache->UnassignValues(true);
    }
  } catch (...) {
    FUnassigningValues = false;
    throw;
  }
  FUnassigningValues = false;
}

// ==== Cells =====================================================================================

TcxGridMasterDataRowViewInfo* TcxGridDetailsAreaViewInfo::MasterDataRowViewInfo() const {
  return static_cast<TcxGridMasterDataRowViewInfo*>(GetRecordViewInfo());
}

Integer TcxGridDetailsAreaViewInfo::CalculateHeight() {
  TcxGridDetailsSiteViewInfo* site = MasterDataRowViewInfo()->DetailsSiteViewInfo();
  return site ? site->GetHeight() : 0;
}

Integer TcxGridDetailsAreaViewInfo::CalculateWidth() {
  TcxGridDetailsSiteViewInfo* site = MasterDataRowViewInfo()->DetailsSiteViewInfo();
  return site ? site->GetMaxWidth() : 0;
}

TcxBorders TcxGridDetailsAreaViewInfo::GetBorders() {
  return HasHorzLines(MasterDataRowViewInfo()->GridView()) ? TcxBorders{bBottom} : TcxBorders();
}

TcxGridMasterDataRowViewInfo* TcxGridExpandButtonCellViewInfo::MasterDataRowViewInfo() const {
  return static_cast<TcxGridMasterDataRowViewInfo*>(GetRecordViewInfo());
}

Integer TcxGridExpandButtonCellViewInfo::GetIndentWidth() { return MasterDataRowViewInfo()->TableViewInfo()->LevelIndent(); }

Integer TcxGridExpandButtonCellViewInfo::CalculateHeight() {
  TcxGridMasterDataRowViewInfo* row = MasterDataRowViewInfo();
  Integer height = row->GetDataHeight();
  if (row->DetailsShown()) height += row->DetailsAreaViewInfo()->CalculateHeight();
  return height;
}

Integer TcxGridExpandButtonCellViewInfo::CalculateWidth() {
  // The details always begin one indent right of the row's own level indent, whatever the
  // horizontal scroll position.
  TcxGridMasterDataRowViewInfo* row = MasterDataRowViewInfo();
  TRect client;
  row->TableViewInfo()->GetClientBounds(client);
  return client.Left + row->LevelIndent() + GetIndentWidth() - row->GetDataLeft();
}

TBitmap* TcxGridExpandButtonCellViewInfo::GetBackgroundBitmap() { return MasterDataRowViewInfo()->GetBackgroundBitmap(); }

TcxBorders TcxGridExpandButtonCellViewInfo::GetBorders() {
  TcxGridMasterDataRowViewInfo* row = MasterDataRowViewInfo();
  TcxBorders borders = row->TableViewInfo()->GetCellBorders(false);
  if (row->Expanded() && borders.Contains(bBottom))
    borders.Include(bRight);
  else
    borders.Exclude(bRight);
  return borders;
}

void TcxGridExpandButtonCellViewInfo::GetBorderBounds(TcxBorder side, TRect& rect) {
  inherited::GetBorderBounds(side, rect);
  if (side != bRight) return;
  // The right border runs beside the details only.
  rect.Top += MasterDataRowViewInfo()->GetDataHeight();
  if (Borders().Contains(bBottom)) rect.Top -= BorderWidth(bBottom);
}

void TcxGridExpandButtonCellViewInfo::GetRightBorderRestBounds(TRect& rect) {
  inherited::GetBorderBounds(bRight, rect);
  TRect border;
  GetBorderBounds(bRight, border);
  rect.Bottom = border.Top;
}

TcxCustomGridCellPainterClass TcxGridExpandButtonCellViewInfo::GetPainterClass() {
  return TcxGridExpandButtonCellPainter::StaticClass();
}

// ==== Details site ==============================================================================

TcxGridTableViewInfo* TcxGridMasterDataRowDetailsSiteLeftTabsViewInfo::MasterGridViewInfo() const {
  return static_cast<TcxGridDetailsSiteViewInfo*>(GetSiteViewInfo())->MasterGridViewInfo();
}

Boolean TcxGridMasterDataRowDetailsSiteLeftTabsViewInfo::HasBottomGridLine() {
  return MasterGridViewInfo()->GetCellBorders(false).Contains(bBottom);
}

void TcxGridMasterDataRowDetailsSiteLeftTabsViewInfo::GetBottomGridLineBounds(TRect& rect) {
  rect = GetBounds();
  rect.Top = rect.Bottom - MasterGridViewInfo()->GetGridLineWidth();
}

Integer TcxGridMasterDataRowDetailsSiteLeftTabsViewInfo::CalculateHeight() {
  Integer height = inherited::CalculateHeight();
  if (HasBottomGridLine()) height += MasterGridViewInfo()->GetGridLineWidth();
  return height;
}

void TcxGridMasterDataRowDetailsSiteLeftTabsViewInfo::GetTabControlBounds(TRect& rect) {
  inherited::GetTabControlBounds(rect);
  if (HasBottomGridLine()) rect.Bottom -= MasterGridViewInfo()->GetGridLineWidth();
}

TcxGridDetailsSiteTabsPainterClass TcxGridMasterDataRowDetailsSiteLeftTabsViewInfo::GetPainterClass() {
  return TcxGridMasterDataRowDetailsSiteTabsPainter::StaticClass();
}

TcxGridDetailsSiteViewInfo::TcxGridDetailsSiteViewInfo(TcxGridMasterDataRowViewInfo* masterDataRowViewInfo)
    : TcxCustomGridDetailsSiteViewInfo(LevelOfView(masterDataRowViewInfo->GridView())),
      FMasterDataRowViewInfo(masterDataRowViewInfo) {}

void TcxGridDetailsSiteViewInfo::BeforeDestruction() {
  FDestroying = true;
  if (!MasterGridViewInfo()->IsInternalUseAny())
    if (TcxGridMasterTableViewInfoCacheItem* item = CacheItem()) {
      // A second save would lose the first; the one already kept stays (it is the older state of
      // the same tabs and is consumed by the next site of the row).
      if (!item->IsDetailsSiteCachedInfoAssigned()) GetCachedInfo(item->DetailsSiteCachedInfo);
    }
  inherited::BeforeDestruction();
}

TcxGridMasterTableViewInfoCacheItem* TcxGridDetailsSiteViewInfo::CacheItem() { return FMasterDataRowViewInfo->CacheItem(); }

TcxGridTableView* TcxGridDetailsSiteViewInfo::MasterGridView() const { return FMasterDataRowViewInfo->GridView(); }

TcxGridTableViewInfo* TcxGridDetailsSiteViewInfo::MasterGridViewInfo() const {
  return FMasterDataRowViewInfo->TableViewInfo();
}

Boolean TcxGridDetailsSiteViewInfo::IsMaxDetailHeightReached() {
  const Integer maxHeight = GetLevel() ? GetLevel()->GetMaxDetailHeight() : 0;
  return maxHeight != 0 && GetHeight() == maxHeight;
}

void TcxGridDetailsSiteViewInfo::ControlFocusChanged() {
  if (ActiveGridViewExists()) GetActiveGridView()->GetController()->ControlFocusChanged();
}

TcxCanvas* TcxGridDetailsSiteViewInfo::GetCanvas() { return MasterGridViewInfo()->Canvas(); }

TcxControl* TcxGridDetailsSiteViewInfo::GetContainer() { return MasterGridViewInfo()->GetSiteValue(); }

TcxCustomGridDesignController* TcxGridDetailsSiteViewInfo::GetDesignController() {
  return MasterGridView()->GetController()->DesignController();
}

TcxCustomGridRecord* TcxGridDetailsSiteViewInfo::GetMasterRecord() { return FMasterDataRowViewInfo->GetGridRecord(); }

TcxCustomGridView* TcxGridDetailsSiteViewInfo::FindActiveGridView() {
  TcxCustomGridView* view = FMasterDataRowViewInfo->MasterRow()->GetActiveDetailGridView();
  if (view) view->CheckSynchronizationAssignNeeded();
  return view;
}

TcxCustomGridView* TcxGridDetailsSiteViewInfo::GetActiveGridView() {
  TcxCustomGridView* view = inherited::GetActiveGridView();
  if (view && view->GetViewInfo()) view->GetViewInfo()->SetIsInternalUse(MasterGridViewInfo()->IsInternalUseAny());
  return view;
}

Boolean TcxGridDetailsSiteViewInfo::ActiveGridViewExists() {
  if (inherited::ActiveGridViewExists()) return true;
  if (FDestroying) return false;
  TcxGridMasterDataRow* row = FMasterDataRowViewInfo->MasterRow();
  if (!row->GetExpanded()) return false;
  const Integer index = row->GetActiveDetailIndex();
  if (index < 0 || !row->GetDataController()->IsDetailDataControllerExist(row->GetRecordIndex(), index)) return false;
  TcxCustomGridView* view = row->GetActiveDetailGridView();
  return view && !view->IsDestroying();
}

TcxGridLevel* TcxGridDetailsSiteViewInfo::GetActiveLevel() {
  TcxGridLevel* level = GetLevel();
  const Integer index = FMasterDataRowViewInfo->MasterRow()->GetActiveDetailIndex();
  return level && index >= 0 && index < level->GetCount() ? level->GetItem(index) : nullptr;
}

Boolean TcxGridDetailsSiteViewInfo::GetVisible() { return FMasterDataRowViewInfo->DetailsSiteVisible(); }

Boolean TcxGridDetailsSiteViewInfo::SupportsTabAccelerators() { return FMasterDataRowViewInfo->RecordIsFocused(); }

Boolean TcxGridDetailsSiteViewInfo::GetFullyVisible() {
  TcxGridMasterTableViewInfoCacheItem* item = CacheItem();
  if (!item) return inherited::GetFullyVisible();
  if (!item->IsDetailsSiteFullyVisibleAssigned) {
    // The answer comes out of measuring the height (which asks for it once it is known).
    if (!FMeasuringHeight && !item->IsDetailsSiteHeightAssigned) GetHeight();
    item->DetailsSiteFullyVisible = inherited::GetFullyVisible();
    item->IsDetailsSiteFullyVisibleAssigned = true;
  }
  return item->DetailsSiteFullyVisible;
}

Integer TcxGridDetailsSiteViewInfo::GetHeight() {
  TcxGridMasterTableViewInfoCacheItem* item = CacheItem();
  if (!item) return inherited::GetHeight();
  if (!item->IsDetailsSiteHeightAssigned) {
    item->IsDetailsSiteFullyVisibleAssigned = false;
    FMeasuringHeight = true;
    Integer height;
    try {
      height = inherited::GetHeight();
    } catch (...) {
      FMeasuringHeight = false;
      throw;
    }
    FMeasuringHeight = false;
    item->DetailsSiteHeight = height;
    item->IsDetailsSiteHeightAssigned = true;
    // Measured together: keep them from this very measurement.
    item->DetailsSiteFullyVisible = inherited::GetFullyVisible();
    item->IsDetailsSiteFullyVisibleAssigned = true;
    item->DetailsSiteNormalHeight = inherited::GetNormalHeight();
    item->IsDetailsSiteNormalHeightAssigned = true;
  }
  return item->DetailsSiteHeight;
}

Integer TcxGridDetailsSiteViewInfo::GetNormalHeight() {
  TcxGridMasterTableViewInfoCacheItem* item = CacheItem();
  if (!item) return inherited::GetNormalHeight();
  if (!item->IsDetailsSiteNormalHeightAssigned) {
    GetHeight();
    item->DetailsSiteNormalHeight = inherited::GetNormalHeight();
    item->IsDetailsSiteNormalHeightAssigned = true;
  }
  return item->DetailsSiteNormalHeight;
}

Integer TcxGridDetailsSiteViewInfo::GetWidth() {
  TcxGridMasterTableViewInfoCacheItem* item = CacheItem();
  if (!item) return inherited::GetWidth();
  if (!item->IsDetailsSiteWidthAssigned) {
    item->DetailsSiteWidth = inherited::GetWidth();
    item->IsDetailsSiteWidthAssigned = true;
  }
  return item->DetailsSiteWidth;
}

Integer TcxGridDetailsSiteViewInfo::GetMaxHeight() {
  Integer height = FMasterDataRowViewInfo->RestHeight();
  if (GetLevel()) GetLevel()->CheckHeight(height);
  return height;
}

Integer TcxGridDetailsSiteViewInfo::GetMaxNormalHeight() {
  Integer height = inherited::GetMaxNormalHeight();
  if (GetLevel()) GetLevel()->CheckHeight(height);
  return height;
}

Integer TcxGridDetailsSiteViewInfo::GetMaxWidth() {
  TRect client;
  MasterGridViewInfo()->GetClientBounds(client);
  TcxGridExpandButtonCellViewInfo* cell = FMasterDataRowViewInfo->ExpandButtonCellViewInfo();
  const Integer indent = cell ? cell->GetIndentWidth() : MasterGridViewInfo()->LevelIndent();
  return std::max(0, client.Width() - FMasterDataRowViewInfo->LevelIndent() - indent);
}

TcxCustomGridDetailsSiteTabsViewInfoClass TcxGridDetailsSiteViewInfo::GetTabsViewInfoClass() {
  TcxCustomGridDetailsSiteTabsViewInfoClass tabsClass = inherited::GetTabsViewInfoClass();
  if (tabsClass && tabsClass.Get() == TcxGridDetailsSiteLeftTabsViewInfo::StaticClass())
    return TcxGridMasterDataRowDetailsSiteLeftTabsViewInfo::StaticClass();
  return tabsClass;
}

void TcxGridDetailsSiteViewInfo::InitTabHitTest(TcxGridDetailsSiteTabHitTest* hitTest) {
  hitTest->SetOwner(FMasterDataRowViewInfo->GetGridRecord());
}

void TcxGridDetailsSiteViewInfo::ActiveLevelChanged(TcxGridLevel* level, Boolean focusView) {
  // Changing the active detail makes the master lay out again, which frees this site: nothing of
  // it is used afterwards.
  if (!level) return;
  TcxGridTableView* master = MasterGridView();
  const Integer recordIndex = FMasterDataRowViewInfo->MasterRow()->GetRecordIndex();
  std::unique_ptr<TcxGridListenerLink, orv::FreeDeleter> link(master->AddListenerLink());
  FMasterDataRowViewInfo->MasterRow()->SetActiveDetailIndex(level->GetIndex());
  if (!link->GetGridView() || !focusView) return;
  // The row is looked up again: the change may have rebuilt the master's rows.
  auto* row = dynamic_cast<TcxGridMasterDataRow*>(master->GetViewData()->RecordOfDataRecord(recordIndex));
  if (TcxCustomGridView* view = row ? row->GetActiveDetailGridView() : nullptr) view->SetFocused(true);
}

Boolean TcxGridDetailsSiteViewInfo::HasData(TcxGridLevel* level) {
  TcxGridMasterDataRow* row = FMasterDataRowViewInfo->MasterRow();
  return row->GetDataController()->HasDetailData(row->GetRecordIndex(), level->GetIndex());
}

// ==== The master row ============================================================================

TcxGridMasterDataRowViewInfo::TcxGridMasterDataRowViewInfo(TcxCustomGridRecordsViewInfo* recordsViewInfo,
                                                           TcxCustomGridRecord* record)
    : TcxGridDataRowViewInfo(recordsViewInfo, record) {
  if (DetailsSiteVisible()) {
    FDetailsAreaViewInfo = GetDetailsAreaViewInfoClass().Create(this);
    FDetailsSiteViewInfo = GetDetailsSiteViewInfoClass().Create(this);
    FDetailsSiteViewInfo->CreateTabs();
    if (TcxGridMasterTableViewInfoCacheItem* item = CacheItem())
      FDetailsSiteViewInfo->SetCachedInfo(item->DetailsSiteCachedInfo);
  }
  FExpandButtonCellViewInfo = GetExpandButtonCellViewInfoClass().Create(this);
}

void TcxGridMasterDataRowViewInfo::BeforeDestruction() {
  FreeAndNil(FExpandButtonCellViewInfo);
  FreeAndNil(FDetailsSiteViewInfo);
  FreeAndNil(FDetailsAreaViewInfo);
  inherited::BeforeDestruction();
}

TcxGridMasterDataRow* TcxGridMasterDataRowViewInfo::MasterRow() const {
  return static_cast<TcxGridMasterDataRow*>(GetGridRecord());
}

TcxGridMasterTableViewInfoCacheItem* TcxGridMasterDataRowViewInfo::CacheItem() {
  auto* cache = dynamic_cast<TcxCustomGridTableViewInfoCache*>(GridView()->GetViewInfoCache());
  const Integer index = GetGridRecord()->GetIndex();
  if (!cache || TableViewInfo()->IsInternalUse() || index < 0) return nullptr;
  if (cache->GetCount() <= index) cache->SetCount(GridView()->GetViewData()->GetRecordCount());
  return dynamic_cast<TcxGridMasterTableViewInfoCacheItem*>(cache->GetTableItem(index));
}

Integer TcxGridMasterDataRowViewInfo::CalculateRestHeight(Integer dataHeight) {
  return RowsViewInfo()->GetAvailableHeight(GetBounds().Top) - dataHeight;
}

Boolean TcxGridMasterDataRowViewInfo::DetailsSiteVisible() { return Expanded(); }

TcxGridDetailsAreaViewInfoClass TcxGridMasterDataRowViewInfo::GetDetailsAreaViewInfoClass() {
  return TcxGridDetailsAreaViewInfo::StaticClass();
}

TcxGridDetailsSiteViewInfoClass TcxGridMasterDataRowViewInfo::GetDetailsSiteViewInfoClass() {
  return TcxGridDetailsSiteViewInfo::StaticClass();
}

TcxGridExpandButtonCellViewInfoClass TcxGridMasterDataRowViewInfo::GetExpandButtonCellViewInfoClass() {
  return TcxGridExpandButtonCellViewInfo::StaticClass();
}

Boolean TcxGridMasterDataRowViewInfo::RecordIsFocused() {
  return GridView()->GetTableController()->GetFocusedRecord() == GetGridRecord();
}

Integer TcxGridMasterDataRowViewInfo::CalculateHeight() {
  const Integer height = inherited::CalculateHeight();
  if (!DetailsShown()) return height;
  FRestHeight = CalculateRestHeight(height);
  return height + FDetailsSiteViewInfo->GetHeight();
}

Integer TcxGridMasterDataRowViewInfo::GetDataHeight() {
  Integer height = inherited::GetDataHeight();
  if (DetailsShown()) height -= FDetailsSiteViewInfo->GetHeight();
  return height;
}

Integer TcxGridMasterDataRowViewInfo::GetCellsAreaLeft() { return inherited::GetCellsAreaLeft() + TableViewInfo()->LevelIndent(); }

Integer TcxGridMasterDataRowViewInfo::GetCellsAreaWidth() {
  return inherited::GetCellsAreaWidth() - TableViewInfo()->LevelIndent();
}

void TcxGridMasterDataRowViewInfo::GetExpandButtonAreaBounds(TRect& rect) {
  rect.Left = GetDataLeft();
  rect.Right = GetCellsAreaLeft();
  rect.Top = GetBounds().Top;
  rect.Bottom = rect.Top + GetDataHeight();
}

void TcxGridMasterDataRowViewInfo::CalculateExpandButtonBounds(TRect& rect) {
  TRect area;
  GetExpandButtonAreaBounds(area);
  const Integer size = TableViewInfo()->ExpandButtonSize();
  rect.Left = area.Left + TableViewInfo()->ExpandButtonIndent();
  rect.Top = (area.Top + area.Bottom - size) / 2;
  rect.Right = rect.Left + size;
  rect.Bottom = rect.Top + size;
}

Integer TcxGridMasterDataRowViewInfo::GetFullHeight() {
  const Integer height = inherited::GetFullHeight();
  if (!DetailsShown()) return height;
  if (!FDetailsSiteViewInfo->GetFullyVisible() && !TableViewInfo()->CalculateDown() && GetIndex() != 0 &&
      !FDetailsSiteViewInfo->IsMaxDetailHeightReached())
    return 0x3FFFFFFF;
  return height - FDetailsSiteViewInfo->GetHeight() + FDetailsSiteViewInfo->GetNormalHeight();
}

Boolean TcxGridMasterDataRowViewInfo::IsFullyVisible() {
  // Before the row is laid out, its cut-off details alone tell (the rows view info counts the
  // rows that show whole before laying them).
  if (!inherited::IsFullyVisible()) return false;
  if (DetailsShown() && !FDetailsSiteViewInfo->IsMaxDetailHeightReached()) return FDetailsSiteViewInfo->GetFullyVisible();
  return true;
}

Boolean TcxGridMasterDataRowViewInfo::IsDetailVisible(TcxCustomGridView* detail) {
  return DetailsShown() && detail && FDetailsSiteViewInfo->GetActiveLevel() == LevelOfView(detail);
}

void TcxGridMasterDataRowViewInfo::ControlFocusChanged() {
  inherited::ControlFocusChanged();
  if (DetailsShown()) FDetailsSiteViewInfo->ControlFocusChanged();
}

void TcxGridMasterDataRowViewInfo::VisibilityChanged(Boolean visible) {
  inherited::VisibilityChanged(visible);
  if (DetailsShown()) FDetailsSiteViewInfo->VisibilityChanged(visible);
}

Boolean TcxGridMasterDataRowViewInfo::ProcessDialogChar(char c) {
  if (inherited::ProcessDialogChar(c)) return true;
  return DetailsShown() && FDetailsSiteViewInfo->ProcessDialogChar(c);
}

void TcxGridMasterDataRowViewInfo::BeforeRecalculation() {
  inherited::BeforeRecalculation();
  if (DetailsShown()) {
    FDetailsSiteViewInfo->UpdateTabAccelerators();
    FDetailsAreaViewInfo->BeforeRecalculation();
  }
  FExpandButtonCellViewInfo->BeforeRecalculation();
}

void TcxGridMasterDataRowViewInfo::Calculate(Integer leftBound, Integer topBound, Integer width, Integer height) {
  inherited::Calculate(leftBound, topBound, width, height);
  FExpandButtonCellViewInfo->Calculate(GetDataLeft(), topBound);
  CalculateDetails(false);
}

void TcxGridMasterDataRowViewInfo::CalculateDetails(Boolean force) {
  if (!DetailsShown()) return;
  // A row made while the master merely scrolls leaves a detail already in place where it is; a
  // detail put away (parked, or without a parent window) is placed again.
  if (!force && !TableViewInfo()->GetIsCalculating()) {
    TcxCustomGridView* view = FDetailsSiteViewInfo->ActiveGridViewExists() ? FDetailsSiteViewInfo->GetActiveGridView() : nullptr;
    TcxGridSite* site = view ? view->GetSite() : nullptr;
    if (site && !site->IsParked() && site->GetParent()) return;
  }
  const Integer x = FExpandButtonCellViewInfo->GetBounds().Right;
  const Integer y = GetBounds().Top + GetDataHeight();
  FDetailsSiteViewInfo->Calculate(x, y);
  FDetailsAreaViewInfo->Calculate(x, y);
}

void TcxGridMasterDataRowViewInfo::Offset(Integer dx, Integer dy) {
  inherited::Offset(dx, dy);
  if (FExpandButtonCellViewInfo->GetCalculated()) FExpandButtonCellViewInfo->Offset(dx, dy);
  // The detail view is a window of its own: it moves with the row.
  if (DetailsShown() && FDetailsAreaViewInfo->GetCalculated()) CalculateDetails(true);
}

TcxCustomGridHitTest* TcxGridMasterDataRowViewInfo::GetHitTest(const TPoint& point) {
  if (DetailsShown() && IsPointInRect(FDetailsSiteViewInfo->GetBounds(), point))
    return FDetailsSiteViewInfo->GetHitTest(point);
  return inherited::GetHitTest(point);
}

TcxCustomGridCellPainterClass TcxGridMasterDataRowViewInfo::GetPainterClass() {
  return TcxGridMasterDataRowPainter::StaticClass();
}

// ==== Painters ==================================================================================

void TcxGridMasterDataRowPainter::DrawDetailsSite() {
  TcxGridMasterDataRowViewInfo* row = MasterRowViewInfo();
  TcxGridDetailsSiteViewInfo* site = row->DetailsSiteViewInfo();
  site->Paint(GetCanvas());
  if (row->DetailsAreaViewInfo()->GetCalculated()) row->DetailsAreaViewInfo()->Paint(GetCanvas());
  row->GetTableView()->GetPainter()->ExcludeFromBackground(site->GetBounds());
}

void TcxGridMasterDataRowPainter::DrawExpandButtonCell() {
  TcxGridMasterDataRowViewInfo* row = MasterRowViewInfo();
  TcxCanvas* canvas = GetCanvas();
  WithClipSaved(canvas, [&] {
    canvas->ExcludeFromClip(row->CellsAreaBounds());
    row->ExpandButtonCellViewInfo()->Paint(canvas);
  });
}

void TcxGridMasterDataRowPainter::DrawCells() {
  inherited::DrawCells();
  DrawExpandButtonCell();
}

void TcxGridMasterDataRowPainter::Paint() {
  if (MasterRowViewInfo()->DetailsShown()) DrawDetailsSite();
  inherited::Paint();
}

void TcxGridExpandButtonCellPainter::DrawBorder(TcxBorder side) {
  inherited::DrawBorder(side);
  auto* cell = static_cast<TcxGridExpandButtonCellViewInfo*>(GetViewInfo());
  if (side != bRight || cell->HasBackgroundBitmap()) return;
  TRect rest;
  cell->GetRightBorderRestBounds(rest);
  GetCanvas()->FillRectWithColor(rest, cell->Params().Color);
}

void TcxGridMasterDataRowDetailsSiteTabsPainter::DrawBottomGridLine() {
  auto* tabs = static_cast<TcxGridMasterDataRowDetailsSiteLeftTabsViewInfo*>(GetViewInfo());
  TRect rect;
  tabs->GetBottomGridLineBounds(rect);
  GetCanvas()->FillRectWithColor(rect, tabs->MasterGridViewInfo()->GetGridLineColor());
}

void TcxGridMasterDataRowDetailsSiteTabsPainter::Paint() {
  inherited::Paint();
  if (static_cast<TcxGridMasterDataRowDetailsSiteLeftTabsViewInfo*>(GetViewInfo())->HasBottomGridLine())
    DrawBottomGridLine();
}

// ==== Detail views sizing to their rows ==========================================================

void TcxGridTableViewInfo::CalculateHeight(const TPoint& maxSize, Integer& height, Boolean& fullyVisible) {
  TcxGridSite* site = GetSiteValue();
  if (!site || GetIsCalculating()) {
    inherited::CalculateHeight(maxSize, height, fullyVisible);
    return;
  }
  // Laid out off screen (parked at left 30000) at the offered size; a view shown elsewhere is laid
  // out there again afterwards, so measuring does not move what is on screen.
  const TRect placed = site->GetBoundsRect();
  const Boolean wasPlaced = site->GetParent() && !site->IsParked() && !RectIsEmpty(placed);
  TcxCustomGridViewInfo::Calculate(TRect{30000, 0, 30000 + std::max(0, maxSize.X), std::max(0, maxSize.Y)});
  TcxGridRowsViewInfo* rows = RowsViewInfo();
  const TRect content = rows->ContentBounds();
  Integer unused;
  if (rows->PartVisibleCount() > 0 && rows->Row(rows->PartVisibleCount() - 1)) {
    unused = content.Bottom - rows->Row(rows->PartVisibleCount() - 1)->GetBounds().Bottom;
  } else {
    unused = content.Height() - rows->GetRowHeight();
  }
  height = GetBounds().Height() - std::max(0, unused);
  const Integer recordCount = GridView()->GetViewData()->GetRecordCount();
  const Integer top = std::max<Integer>(0, GridView()->GetTableController()->GetTopRecordIndex());
  fullyVisible = unused >= 0 && (recordCount == 0 || rows->GetVisibleCount() >= recordCount - top);
  if (wasPlaced) TcxCustomGridViewInfo::Calculate(placed);
  inherited::CalculateHeight(maxSize, height, fullyVisible);
}
