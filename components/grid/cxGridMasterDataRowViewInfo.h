// Master rows of the grid table view: a data row whose record has details. The row keeps an
// expand-button column at its left; once expanded, the details (level tabs of the child levels
// and the active detail view's own site window) lie inside the row below its data cells, one level
// indent to the right. The sizes the details take are computed once and kept in the row's cache
// item, so that scrolling and recreating the row view info do not measure the detail view again.
#pragma once

#include "components/grid/cxGridDetailsSite.h"
#include "components/grid/cxGridTableViewInfo.h"

class TcxGridMasterDataRow;
class TcxGridMasterDataRowViewInfo;

// ==== Cache item ================================================================================

// What a master row keeps across recalculations: the details' sizes and the tab strip's state.
class TcxGridMasterTableViewInfoCacheItem : public TcxGridTableViewInfoCacheItem {
  ORV_CLASS(TcxGridMasterTableViewInfoCacheItem, TcxGridTableViewInfoCacheItem)
 public:
  using TcxGridTableViewInfoCacheItem::TcxGridTableViewInfoCacheItem;
  ~TcxGridMasterTableViewInfoCacheItem() override;
  // Also makes the detail view of the row measure itself again.
  void UnassignValues(Boolean keepMaster) override;

  Boolean IsDetailsSiteCachedInfoAssigned() const { return DetailsSiteCachedInfo != nullptr; }
  // The master row of the item (nil while the record is gone).
  TcxGridMasterDataRow* MasterRow();

  Boolean DetailsSiteFullyVisible = false;
  Boolean IsDetailsSiteFullyVisibleAssigned = false;
  Integer DetailsSiteHeight = 0;
  Boolean IsDetailsSiteHeightAssigned = false;
  Integer DetailsSiteNormalHeight = 0;
  Boolean IsDetailsSiteNormalHeightAssigned = false;
  Integer DetailsSiteWidth = 0;
  Boolean IsDetailsSiteWidthAssigned = false;
  // Owned.
  TcxCustomGridDetailsSiteViewInfoCachedInfo* DetailsSiteCachedInfo = nullptr;

 private:
  Boolean FUnassigningValues = false;
};

// ==== Cells =====================================================================================

// The cell under the details site: it draws the grid line below the details.
class TcxGridDetailsAreaViewInfo : public TcxGridCellViewInfo {
  ORV_CLASS(TcxGridDetailsAreaViewInfo, TcxGridCellViewInfo)
 public:
  using TcxGridCellViewInfo::TcxGridCellViewInfo;
  Integer CalculateHeight() override;
  Integer CalculateWidth() override;
  TcxBorders GetBorders() override;
  // The details site and the detail view cover the area itself.
  Boolean HasBackground() override { return false; }
  TcxGridMasterDataRowViewInfo* MasterDataRowViewInfo() const;
};

using TcxGridDetailsAreaViewInfoClass = orv::ClassOf<TcxGridDetailsAreaViewInfo>;

// The level-indent-wide column at the row's left that holds the expand button and runs down to
// the bottom of the details.
class TcxGridExpandButtonCellViewInfo : public TcxGridCellViewInfo {
  ORV_CLASS(TcxGridExpandButtonCellViewInfo, TcxGridCellViewInfo)
 public:
  using TcxGridCellViewInfo::TcxGridCellViewInfo;

  virtual Integer GetIndentWidth();

  Integer CalculateHeight() override;
  Integer CalculateWidth() override;
  TBitmap* GetBackgroundBitmap() override;
  TcxBorders GetBorders() override;
  void GetBorderBounds(TcxBorder side, TRect& rect) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  // The part of the right-border strip beside the data cells, above the border actually drawn.
  void GetRightBorderRestBounds(TRect& rect);
  TcxGridMasterDataRowViewInfo* MasterDataRowViewInfo() const;
};

using TcxGridExpandButtonCellViewInfoClass = orv::ClassOf<TcxGridExpandButtonCellViewInfo>;

// ==== Details site ==============================================================================

// Left tabs of a master row's details: they end above the grid line that closes the details.
class TcxGridMasterDataRowDetailsSiteLeftTabsViewInfo : public TcxGridDetailsSiteLeftTabsViewInfo {
  ORV_CLASS(TcxGridMasterDataRowDetailsSiteLeftTabsViewInfo, TcxGridDetailsSiteLeftTabsViewInfo)
 public:
  using TcxGridDetailsSiteLeftTabsViewInfo::TcxGridDetailsSiteLeftTabsViewInfo;
  void GetBottomGridLineBounds(TRect& rect);
  Boolean HasBottomGridLine();
  Integer CalculateHeight() override;
  void GetTabControlBounds(TRect& rect) override;
  TcxGridDetailsSiteTabsPainterClass GetPainterClass() override;
  TcxGridTableViewInfo* MasterGridViewInfo() const;
};

// The details site of one master row.
class TcxGridDetailsSiteViewInfo : public TcxCustomGridDetailsSiteViewInfo {
  ORV_CLASS(TcxGridDetailsSiteViewInfo, TcxCustomGridDetailsSiteViewInfo)
 public:
  using TCreateSignature = void(TcxGridMasterDataRowViewInfo* masterDataRowViewInfo);
  explicit TcxGridDetailsSiteViewInfo(TcxGridMasterDataRowViewInfo* masterDataRowViewInfo);
  void BeforeDestruction() override;

  // ---- New virtual operations ----
  virtual void ControlFocusChanged();

  // ---- Overrides ----
  TcxCanvas* GetCanvas() override;
  TcxControl* GetContainer() override;
  TcxCustomGridDesignController* GetDesignController() override;
  TcxCustomGridRecord* GetMasterRecord() override;
  TcxCustomGridView* FindActiveGridView() override;
  TcxCustomGridView* GetActiveGridView() override;
  Boolean ActiveGridViewExists() override;
  TcxGridLevel* GetActiveLevel() override;
  Boolean GetVisible() override;
  Boolean SupportsTabAccelerators() override;
  Boolean GetFullyVisible() override;
  Integer GetHeight() override;
  Integer GetNormalHeight() override;
  Integer GetWidth() override;
  Integer GetMaxHeight() override;
  Integer GetMaxNormalHeight() override;
  Integer GetMaxWidth() override;
  TcxCustomGridDetailsSiteTabsViewInfoClass GetTabsViewInfoClass() override;
  void InitTabHitTest(TcxGridDetailsSiteTabHitTest* hitTest) override;
  void ActiveLevelChanged(TcxGridLevel* level, Boolean focusView) override;
  Boolean HasData(TcxGridLevel* level) override;

  // ---- Access ----
  TcxGridMasterTableViewInfoCacheItem* CacheItem();
  TcxGridTableView* MasterGridView() const;
  TcxGridTableViewInfo* MasterGridViewInfo() const;
  TcxGridMasterDataRowViewInfo* MasterDataRowViewInfo() const { return FMasterDataRowViewInfo; }
  // The site is as high as the master level lets details be.
  Boolean IsMaxDetailHeightReached();

 private:
  TcxGridMasterDataRowViewInfo* FMasterDataRowViewInfo;
  Boolean FDestroying = false;
  Boolean FMeasuringHeight = false;
};

using TcxGridDetailsSiteViewInfoClass = orv::ClassOf<TcxGridDetailsSiteViewInfo>;

// ==== The master row ============================================================================

class TcxGridMasterDataRowViewInfo : public TcxGridDataRowViewInfo {
  ORV_CLASS(TcxGridMasterDataRowViewInfo, TcxGridDataRowViewInfo)
 public:
  TcxGridMasterDataRowViewInfo(TcxCustomGridRecordsViewInfo* recordsViewInfo, TcxCustomGridRecord* record);
  void BeforeDestruction() override;

  // ---- New virtual operations ----
  virtual Integer CalculateRestHeight(Integer dataHeight);
  virtual Boolean DetailsSiteVisible();
  virtual TcxGridDetailsAreaViewInfoClass GetDetailsAreaViewInfoClass();
  virtual TcxGridDetailsSiteViewInfoClass GetDetailsSiteViewInfoClass();
  virtual TcxGridExpandButtonCellViewInfoClass GetExpandButtonCellViewInfoClass();
  virtual Boolean RecordIsFocused();

  // ---- Overrides ----
  Integer CalculateHeight() override;
  Integer GetDataHeight() override;
  Integer GetCellsAreaLeft() override;
  Integer GetCellsAreaWidth() override;
  void GetExpandButtonAreaBounds(TRect& rect) override;
  void CalculateExpandButtonBounds(TRect& rect) override;
  Integer GetFullHeight() override;
  Boolean IsFullyVisible() override;
  Boolean IsDetailVisible(TcxCustomGridView* detail) override;
  void ControlFocusChanged() override;
  void VisibilityChanged(Boolean visible) override;
  Boolean ProcessDialogChar(char c) override;
  void BeforeRecalculation() override;
  void Calculate(Integer leftBound, Integer topBound, Integer width = -1, Integer height = -1) override;
  using TcxGridDataRowViewInfo::Calculate;
  void Offset(Integer dx, Integer dy) override;
  TcxCustomGridHitTest* GetHitTest(const TPoint& point) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;

  // ---- Access ----
  TcxGridDetailsAreaViewInfo* DetailsAreaViewInfo() const { return FDetailsAreaViewInfo; }
  TcxGridDetailsSiteViewInfo* DetailsSiteViewInfo() const { return FDetailsSiteViewInfo; }
  TcxGridExpandButtonCellViewInfo* ExpandButtonCellViewInfo() const { return FExpandButtonCellViewInfo; }
  TcxGridMasterDataRow* MasterRow() const;
  // The row's cache item (nil while the view info is in internal use or has no cache).
  TcxGridMasterTableViewInfoCacheItem* CacheItem();
  Integer RestHeight() const { return FRestHeight; }
  // Whether the details are shown now (made with the row and still there).
  Boolean DetailsShown() { return FDetailsSiteViewInfo && DetailsSiteVisible(); }

 private:
  // Places the details site and the details area below the data part.
  void CalculateDetails(Boolean force);

  TcxGridDetailsAreaViewInfo* FDetailsAreaViewInfo = nullptr;
  TcxGridDetailsSiteViewInfo* FDetailsSiteViewInfo = nullptr;
  TcxGridExpandButtonCellViewInfo* FExpandButtonCellViewInfo = nullptr;
  Integer FRestHeight = 0;
};

// ==== Painters ==================================================================================

class TcxGridMasterDataRowPainter : public TcxGridDataRowPainter {
  ORV_CLASS(TcxGridMasterDataRowPainter, TcxGridDataRowPainter)
 public:
  using TcxGridDataRowPainter::TcxGridDataRowPainter;
  virtual void DrawDetailsSite();
  virtual void DrawExpandButtonCell();
  void DrawCells() override;
  void Paint() override;
  TcxGridMasterDataRowViewInfo* MasterRowViewInfo() const {
    return static_cast<TcxGridMasterDataRowViewInfo*>(GetViewInfo());
  }
};

class TcxGridExpandButtonCellPainter : public TcxCustomGridCellPainter {
  ORV_CLASS(TcxGridExpandButtonCellPainter, TcxCustomGridCellPainter)
 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void DrawBorder(TcxBorder side) override;
};

class TcxGridMasterDataRowDetailsSiteTabsPainter : public TcxGridDetailsSiteTabsPainter {
  ORV_CLASS(TcxGridMasterDataRowDetailsSiteTabsPainter, TcxGridDetailsSiteTabsPainter)
 public:
  using TcxGridDetailsSiteTabsPainter::TcxGridDetailsSiteTabsPainter;
  virtual void DrawBottomGridLine();
  void Paint() override;
};
