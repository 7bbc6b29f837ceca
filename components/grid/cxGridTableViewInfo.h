// The layout of the grid table view and its painters: the table view info with its strips
// (group-by box, header, footer), the indicator column, the rows with their data cells, and the
// painters that draw them (the rows' grid lines batched into one call, scrolling by copying the
// window's pixels).
#pragma once

#include <vector>

#include "components/grid/cxGridTableView.h"

class TcxGridTableView;
class TcxGridColumn;
class TcxGridTableViewInfo;
class TcxGridRowsViewInfo;
class TcxCustomGridRowViewInfo;
class TcxGridDataRowViewInfo;
class TcxGridHeaderViewInfo;
class TcxGridFooterViewInfo;
class TcxGridGroupByBoxViewInfo;
class TcxGridIndicatorViewInfo;
class TcxCustomGridIndicatorItemViewInfo;
class TcxGridColumnHeaderViewInfo;
class TcxGridColumnContainerViewInfo;
class TcxAutoWidthObject;
class TcxDataSummaryItem;

// ==== Cache ======================================================================================

// A row's cached height plus the height of its preview.
class TcxGridTableViewInfoCacheItem : public TcxCustomGridTableViewInfoCacheItem {
  ORV_CLASS(TcxGridTableViewInfoCacheItem, TcxCustomGridTableViewInfoCacheItem)
 public:
  using TcxCustomGridTableViewInfoCacheItem::TcxCustomGridTableViewInfoCacheItem;
  void UnassignValues(Boolean keepMaster) override {
    inherited::UnassignValues(keepMaster);
    IsPreviewHeightAssigned = false;
  }
  Integer PreviewHeight = 0;
  Boolean IsPreviewHeightAssigned = false;
};

// ==== Strips of column cells: header, footer, group-by box ======================================

using TcxGridColumnHeaderViewInfoClass = orv::ClassOf<TcxGridColumnHeaderViewInfo>;

// A strip with one cell per column.
class TcxGridColumnContainerViewInfo : public TcxCustomGridPartViewInfo {
  ORV_CLASS(TcxGridColumnContainerViewInfo, TcxCustomGridPartViewInfo)
 public:
  using TCreateSignature = void(TcxCustomGridTableViewInfo* gridViewInfo);
  explicit TcxGridColumnContainerViewInfo(TcxCustomGridTableViewInfo* gridViewInfo)
      : TcxCustomGridPartViewInfo(gridViewInfo) {}
  void BeforeDestruction() override;

  // ---- New virtual operations ----
  virtual TcxGridColumnHeaderViewInfo* CreateItem(Integer index);
  virtual void CreateItems() {}
  virtual void DestroyItems();
  virtual TcxGridColumn* GetItemColumn(Integer index);
  virtual Integer GetItemCount();
  virtual TcxGridColumnHeaderViewInfoClass GetItemClass();
  virtual Integer CalculateItemHeight();
  virtual Boolean IsItemMultiLine() { return false; }
  virtual Integer GetColumnMinWidth(TcxGridColumn* column);
  virtual TcxNeighbors GetColumnNeighbors(TcxGridColumn* column) { return TcxNeighbors(); }
  virtual Integer GetColumnWidth(TcxGridColumn* column);
  virtual void GetItemClipBounds(TcxGridColumnHeaderViewInfo* item, TRect& rect);
  virtual Boolean IsItemMultiLinePainting(TcxGridColumnHeaderViewInfo* item) { return false; }
  virtual void GetItemsAreaBounds(TRect& rect) { rect = GetBounds(); }
  virtual TcxCustomGridHitTest* GetItemHitTest(const TPoint& point);
  virtual TcxGridItemContainerKind GetContainerKind() { return ckNone; }
  virtual void GetZonesAreaBounds(TRect& rect);
  // The index of the gap between cells nearest to the point, -1 outside the zones.
  virtual Integer GetInsertionZone(const TPoint& point);

  // ---- Overrides ----
  TcxCustomGridHitTest* GetHitTest(const TPoint& point) override;
  void Offset(Integer dx, Integer dy) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;

  // ---- Non-virtual ----
  Integer Count() { return GetItemCount(); }
  // Made on first access.
  TcxGridColumnHeaderViewInfo* Item(Integer index);
  TcxGridColumnHeaderViewInfo* ExistingItem(Integer index) const {
    return index < Integer(FItems.size()) ? FItems[std::size_t(index)] : nullptr;
  }
  Integer ItemHeight();
  void ResetItemHeight() { FItemHeight = -1; }
  TcxGridTableView* GridView() const;
  TcxGridTableViewInfo* GridViewInfo() const;
  // Every column's Width becomes its cell's width (the automatic widths made stored widths).
  void ApplyAutoWidthsToColumns();

 private:
  Integer FItemHeight = -1;
  std::vector<TcxGridColumnHeaderViewInfo*> FItems;
};

// What the header's height is made of.
class TcxGridHeaderViewInfoSpecific : public TObject {
  ORV_CLASS(TcxGridHeaderViewInfoSpecific, TObject)
 public:
  using TCreateSignature = void(TcxGridHeaderViewInfo* headerViewInfo);
  explicit TcxGridHeaderViewInfoSpecific(TcxGridHeaderViewInfo* headerViewInfo) : FHeaderViewInfo(headerViewInfo) {}
  virtual Integer GetItemHeight();
  virtual Integer GetHeight() { return GetItemHeight(); }
  TcxGridHeaderViewInfo* HeaderViewInfo() const { return FHeaderViewInfo; }

 private:
  TcxGridHeaderViewInfo* FHeaderViewInfo;
};

using TcxGridHeaderViewInfoSpecificClass = orv::ClassOf<TcxGridHeaderViewInfoSpecific>;

class TcxGridHeaderViewInfo : public TcxGridColumnContainerViewInfo {
  ORV_CLASS(TcxGridHeaderViewInfo, TcxGridColumnContainerViewInfo)
 public:
  explicit TcxGridHeaderViewInfo(TcxCustomGridTableViewInfo* gridViewInfo);
  void BeforeDestruction() override;

  // ---- New virtual operations ----
  virtual TcxCustomGridIndicatorItemViewInfo* CreateIndicatorItem(TcxGridIndicatorViewInfo* indicator, Integer index);
  virtual void CalculateColumnAutoWidths();
  virtual void CalculateAutoWidthsIfNeeded();
  virtual void CalculateItems();
  virtual Boolean IsColumnAutoWidth();
  virtual Boolean PaintBackgroundBitmap(TcxCanvas* canvas, const TRect& rect);
  TBitmap* GetBackgroundBitmap() override;
  virtual Boolean CalculatesWhenInvisible() { return true; }
  virtual Boolean IsHeightAssigned();

  // ---- Overrides ----
  Integer GetItemCount() override;
  TcxGridColumn* GetItemColumn(Integer index) override;
  Integer CalculateItemHeight() override;
  Boolean IsItemMultiLine() override;
  TcxNeighbors GetColumnNeighbors(TcxGridColumn* column) override;
  TcxGridItemContainerKind GetContainerKind() override { return ckHeader; }
  Integer GetAlignment() override { return 0; }
  Boolean IsFullWidth() override { return false; }
  Integer GetPartWidth() override;
  Boolean GetVisible() override;
  Integer CalculateHeight() override;
  void CalculateInvisible() override;
  void CalculateVisible() override;
  void Calculate(Integer leftBound, Integer topBound, Integer width = -1, Integer height = -1) override;
  using TcxGridColumnContainerViewInfo::Calculate;
  void GetViewParams(TcxViewParams& params) override;
  TClass GetHitTestClass() override { return TcxGridHeaderHitTest::StaticClass(); }
  TcxCustomGridCellPainterClass GetPainterClass() override;

  // ---- Non-virtual ----
  // The sum of the column headers' widths.
  Integer GetWidth();
  TcxGridHeaderViewInfoSpecific* Specific() const { return FSpecific; }
  // Set while the part is laid out, so that a header hidden by its option keeps its cells.
  Boolean ScrollsHorizontally() const { return true; }

 private:
  TcxGridHeaderViewInfoSpecific* FSpecific = nullptr;
};

class TcxGridFooterCellViewInfo;

class TcxGridFooterViewInfo : public TcxGridHeaderViewInfo {
  ORV_CLASS(TcxGridFooterViewInfo, TcxGridHeaderViewInfo)
 public:
  explicit TcxGridFooterViewInfo(TcxCustomGridTableViewInfo* gridViewInfo);
  void AfterConstruction() override;

  // ---- New virtual operations ----
  virtual void PrepareSummaryItems(std::vector<TcxDataSummaryItem*>& items) {}
  virtual void CalculateCell(Integer index);
  virtual Integer CalculateRowCount();
  virtual void GetBoundsBelowSeparator(TRect& rect);
  virtual Integer GetCellLeftForColumn(TcxGridColumn* column);
  virtual Integer GetCellRowIndex(Integer index);
  virtual Integer GetCellTopAt(Integer index);
  virtual void GetSeparatorAreaBounds(TRect& rect);
  virtual Integer GetFooterSeparatorHeight();
  virtual void GetSummaryItemsList(std::vector<TcxDataSummaryItem*>& items);
  virtual Boolean HasFooterSeparator() { return true; }
  virtual Boolean IsCellVisible(Integer index);
  virtual Boolean AllowsMultipleSummaries();
  virtual Integer GetBestFitWidth(TcxGridColumn* column);
  using TcxGridHeaderViewInfo::GetBestFitWidth;
  virtual Integer BorderSize(TcxBorder side);

  // ---- Overrides ----
  void CreateItems() override;
  TcxGridColumnHeaderViewInfo* CreateItem(Integer index) override;
  Integer GetItemCount() override { return Integer(FSummaryItems.size()); }
  TcxGridColumn* GetItemColumn(Integer index) override;
  TcxGridColumnHeaderViewInfoClass GetItemClass() override;
  Integer CalculateItemHeight() override;
  Boolean IsItemMultiLine() override;
  void GetItemsAreaBounds(TRect& rect) override;
  TcxCustomGridHitTest* GetItemHitTest(const TPoint& point) override;
  TcxGridItemContainerKind GetContainerKind() override { return TcxGridItemContainerKind(4); }
  void CalculateItems() override;
  Boolean IsColumnAutoWidth() override { return false; }
  Boolean CalculatesWhenInvisible() override { return false; }
  Boolean IsHeightAssigned() override { return false; }
  TBitmap* GetBackgroundBitmap() override;
  Integer GetAlignment() override { return 1; }
  Integer GetPartWidth() override;
  Boolean GetVisible() override;
  Integer CalculateHeight() override;
  void GetViewParams(TcxViewParams& params) override;
  TClass GetHitTestClass() override { return TcxGridFooterHitTest::StaticClass(); }
  TcxCustomGridCellPainterClass GetPainterClass() override;
  TcxBorders GetBorders() override;
  Integer GetBorderWidth(TcxBorder side) override;
  void Offset(Integer dx, Integer dy) override;

  Integer RowCount();
  Boolean IsMultiRow() { return RowCount() > 1; }
  TcxDataSummaryItem* SummaryItem(Integer index) const { return FSummaryItems[std::size_t(index)]; }

 private:
  Integer FRowCount = 0;
  std::vector<TcxDataSummaryItem*> FSummaryItems;
};

class TcxGridGroupByBoxViewInfo : public TcxGridColumnContainerViewInfo {
  ORV_CLASS(TcxGridGroupByBoxViewInfo, TcxGridColumnContainerViewInfo)
 public:
  using TcxGridColumnContainerViewInfo::TcxGridColumnContainerViewInfo;

  // ---- Overrides ----
  Integer GetItemCount() override;
  TcxGridColumn* GetItemColumn(Integer index) override;
  TcxGridColumnHeaderViewInfoClass GetItemClass() override;
  Integer CalculateItemHeight() override;
  TcxGridItemContainerKind GetContainerKind() override { return ckGroupByBox; }
  void GetItemClipBounds(TcxGridColumnHeaderViewInfo* item, TRect& rect) override { rect = TRect{}; }
  Integer GetAlignment() override { return 0; }
  Boolean IsFullWidth() override { return true; }
  Boolean GetVisible() override;
  Integer CalculateHeight() override;
  void Calculate(Integer leftBound, Integer topBound, Integer width = -1, Integer height = -1) override;
  using TcxGridColumnContainerViewInfo::Calculate;
  void GetText(AnsiString& text) override;
  void GetTextAreaBounds(TRect& rect) override;
  TcxAlignmentVert GetAlignmentVert() override { return vaCenter; }
  void GetViewParams(TcxViewParams& params) override;
  TBitmap* GetBackgroundBitmap() override;
  TClass GetHitTestClass() override { return TcxGridGroupByBoxHitTest::StaticClass(); }
  TcxCustomGridCellPainterClass GetPainterClass() override;
  // The box itself across the client: widened like the header's, it would take the header's
  // upper part from a column dragged down out of the box.
  void GetZonesAreaBounds(TRect& rect) override;

  // ---- Non-virtual ----
  Integer GetButtonStep() { return ItemHeight() / 2; }
  // Below button `index`: the vertical (true) or horizontal segment of the line to the next one.
  void GetLinkLineBounds(Integer index, Boolean vertical, TRect& rect);
  Boolean IsCalculatingColumnWidth() const { return FCalculatingColumnWidth; }

 private:
  Boolean FCalculatingColumnWidth = false;
};

// ==== Column header ==============================================================================

class TcxGridColumnHeaderAreaViewInfo;
using TcxGridColumnHeaderAreaViewInfoClass = orv::ClassOf<TcxGridColumnHeaderAreaViewInfo>;

// One caption of the header (and the base of footer cells and group-by box buttons).
class TcxGridColumnHeaderViewInfo : public TcxCustomGridViewCellViewInfo {
  ORV_CLASS(TcxGridColumnHeaderViewInfo, TcxCustomGridViewCellViewInfo)
 public:
  using TCreateSignature = void(TcxGridColumnContainerViewInfo* container, TcxGridColumn* column);
  TcxGridColumnHeaderViewInfo(TcxGridColumnContainerViewInfo* container, TcxGridColumn* column);
  void AfterConstruction() override;
  void BeforeDestruction() override;

  // ---- New virtual operations ----
  virtual Boolean HasAreaAtSide(TAlignment side);
  virtual void CalculateAreas();
  virtual void CalculateVisible(Integer left, Integer width);
  virtual Boolean HasFilterButton();
  virtual Boolean CanHorzSize();
  virtual Boolean CanPress() { return true; }
  virtual Boolean HasSortingMark();
  virtual void CheckWidth(Integer& width);
  virtual void EnumAreaClasses(std::vector<TcxGridColumnHeaderAreaViewInfoClass>& classes);
  virtual void GetCaption(AnsiString& text);
  virtual Integer GetDataCellLeft();
  virtual Boolean IsHeaderPressed();
  virtual Integer CalculateMaxWidth();
  virtual Integer CalculateMinWidth();
  virtual Boolean IsAutoHeightByContainer() { return false; }
  virtual Boolean HasHeaderGlyph();

  // ---- Overrides ----
  void Calculate(Integer leftBound, Integer topBound, Integer width = -1, Integer height = -1) override;
  using TcxCustomGridViewCellViewInfo::Calculate;
  Integer CalculateHeight() override;
  Integer CalculateWidth() override;
  void BeforeRecalculation() override;
  TAlignment GetAlignmentHorz() override;
  TcxAlignmentVert GetAlignmentVert() override;
  TcxBorders GetBorders() override;
  Integer GetBorderWidth(TcxBorder side) override;
  void GetText(AnsiString& text) override { GetCaption(text); }
  Boolean GetMultiLine() override;
  Boolean GetPaintsMultiLine() override;
  Boolean GetShowEndEllipsis() override;
  void GetTextAreaBounds(TRect& rect) override { rect = FTextAreaBounds; }
  void GetClipArea(TRect& rect) override;
  void GetViewParams(TcxViewParams& params) override;
  TBitmap* GetBackgroundBitmap() override;
  Integer GetBestFitWidth() override;
  Boolean GetVisible() override { return GetVisibleField(); }
  TClass GetHitTestClass() override { return TcxGridColumnHeaderHitTest::StaticClass(); }
  void InitHitTest(TcxCustomGridHitTest* hitTest) override;
  TcxCustomGridHitTest* GetHitTest(const TPoint& point) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  void Offset(Integer dx, Integer dy) override;
  Boolean HotTrackable() override;
  // Areas shown only while the header is hot take their room when it turns hot and give it back.
  void StateChanged(TcxGridCellState prevState) override;
  Boolean CaptureMouseOnPress() override { return CanPress(); }
  Boolean MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) override;
  void Click() override;
  Boolean HasCustomDraw() override;
  Boolean CustomDraw(TcxCanvas* canvas) override;

  // ---- Access ----
  static Integer GetBorderWidthByPainter(TcxCustomLookAndFeelPainterClass painter) {
    return painter->HeaderCellBorderWidth();
  }
  TcxGridColumn* GetColumn() const { return FColumn; }
  TcxGridColumnContainerViewInfo* GetContainer() const { return FContainer; }
  TcxNeighbors Neighbors() const { return FNeighbors; }
  Integer RealWidth();
  // The width the strip gives it (its column's width, or its automatic width).
  Integer WidthValue();
  void SetWidthValue(Integer value) {
    FWidth = value;
    FRealWidth = 0;
  }
  Integer AreaCount() const { return Integer(FAreaViewInfos.size()); }
  TcxGridColumnHeaderAreaViewInfo* Area(Integer index) const { return FAreaViewInfos[std::size_t(index)]; }
  Integer AdditionalWidthAtLeft() const { return FAdditionalWidthAtLeft; }
  Integer AdditionalHeightAtTop() const { return FAdditionalHeightAtTop; }
  const TRect& TextAreaBounds() const { return FTextAreaBounds; }
  TcxGridTableView* GridView() const;
  TcxGridTableViewInfo* GridViewInfo() const;
  Boolean IsLast();

 protected:
  TRect& TextAreaRef() { return FTextAreaBounds; }

 private:
  Integer FAdditionalHeightAtTop = 0;
  Integer FAdditionalWidthAtLeft = 0;
  std::vector<TcxGridColumnHeaderAreaViewInfo*> FAreaViewInfos;
  TcxGridColumn* FColumn;
  TcxGridColumnContainerViewInfo* FContainer;
  TcxNeighbors FNeighbors;
  Integer FRealWidth = 0;
  TRect FTextAreaBounds{};
  Integer FWidth = -1;
};

// A small area inside a column header.
class TcxGridColumnHeaderAreaViewInfo : public TcxCustomGridViewCellViewInfo {
  ORV_CLASS(TcxGridColumnHeaderAreaViewInfo, TcxCustomGridViewCellViewInfo)
 public:
  using TCreateSignature = void(TcxGridColumnHeaderViewInfo* columnHeaderViewInfo);
  explicit TcxGridColumnHeaderAreaViewInfo(TcxGridColumnHeaderViewInfo* columnHeaderViewInfo);

  virtual Boolean ShowsOnlyWhenHot() { return false; }
  virtual Boolean OccupiesTextArea() { return true; }
  virtual Boolean ResidesInTextArea() { return true; }
  // Places the area in `available`, taking its room from `textArea`.
  virtual void CalculateArea(const TRect& available, TRect& textArea);

  TcxAlignmentVert GetAlignmentVert() override { return vaCenter; }
  TcxCanvas* GetCanvas() override;
  TClass GetHitTestClass() override { return nullptr; }
  void InitHitTest(TcxCustomGridHitTest* hitTest) override;
  TcxGridColumnHeaderViewInfo* ColumnHeaderViewInfo() const { return FColumnHeaderViewInfo; }
  TcxGridColumn* GetColumn() const { return FColumnHeaderViewInfo->GetColumn(); }

 private:
  TcxGridColumnHeaderViewInfo* FColumnHeaderViewInfo;
};

class TcxGridColumnHeaderHorzSizingEdgeViewInfo : public TcxGridColumnHeaderAreaViewInfo {
  ORV_CLASS(TcxGridColumnHeaderHorzSizingEdgeViewInfo, TcxGridColumnHeaderAreaViewInfo)
 public:
  using TcxGridColumnHeaderAreaViewInfo::TcxGridColumnHeaderAreaViewInfo;
  Boolean OccupiesTextArea() override { return false; }
  Boolean ResidesInTextArea() override { return false; }
  void CalculateArea(const TRect& available, TRect& textArea) override;
  Integer CalculateWidth() override { return 8; }
  Integer CalculateHeight() override { return 0; }
  TAlignment GetAlignmentHorz() override { return taRightJustify; }
  TClass GetHitTestClass() override { return TcxGridColumnHeaderHorzSizingEdgeHitTest::StaticClass(); }
  TcxCustomGridCellPainterClass GetPainterClass() override { return TcxCustomGridCellPainterClass(); }
  Boolean MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) override;
};

class TcxGridColumnHeaderFilterButtonViewInfo : public TcxGridColumnHeaderAreaViewInfo, public IcxGridFilterPopupOwner {
  ORV_CLASS(TcxGridColumnHeaderFilterButtonViewInfo, TcxGridColumnHeaderAreaViewInfo)
 public:
  using TcxGridColumnHeaderAreaViewInfo::TcxGridColumnHeaderAreaViewInfo;
  // The view's filter drop-down for the column (cxGridFilterPopup.cpp).
  TcxCustomGridPopup* GetPopup() override;
  // Only a drop-down made already can be owned (asking for one makes it).
  Boolean UsesPopup() override;
  Boolean ClosePopupOnDestruction() override { return false; }
  Boolean IsPopupUnowned() override;
  void GetPopupOwnerBounds(TRect& bounds) override;
  TcxCustomGridTableItem* GetItem() override;
  virtual Boolean IsAlwaysShown();
  Boolean ShowsOnlyWhenHot() override { return !IsAlwaysShown(); }
  Boolean GetVisible() override;
  Boolean OccupiesTextArea() override { return GetVisible(); }
  Integer CalculateWidth() override;
  Integer CalculateHeight() override;
  TAlignment GetAlignmentHorz() override { return taRightJustify; }
  TClass GetHitTestClass() override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
};

class TcxGridColumnHeaderSortingMarkViewInfo : public TcxGridColumnHeaderAreaViewInfo {
  ORV_CLASS(TcxGridColumnHeaderSortingMarkViewInfo, TcxGridColumnHeaderAreaViewInfo)
 public:
  using TcxGridColumnHeaderAreaViewInfo::TcxGridColumnHeaderAreaViewInfo;
  Integer CalculateWidth() override;
  Integer CalculateHeight() override;
  TAlignment GetAlignmentHorz() override { return taRightJustify; }
  TcxCustomGridCellPainterClass GetPainterClass() override;
};

class TcxGridColumnHeaderGlyphViewInfo : public TcxGridColumnHeaderAreaViewInfo {
  ORV_CLASS(TcxGridColumnHeaderGlyphViewInfo, TcxGridColumnHeaderAreaViewInfo)
 public:
  using TcxGridColumnHeaderAreaViewInfo::TcxGridColumnHeaderAreaViewInfo;
  Integer CalculateWidth() override;
  Integer CalculateHeight() override;
  TAlignment GetAlignmentHorz() override;
  TcxAlignmentVert GetAlignmentVert() override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
};

class TcxGridFooterCellViewInfo : public TcxGridColumnHeaderViewInfo {
  ORV_CLASS(TcxGridFooterCellViewInfo, TcxGridColumnHeaderViewInfo)
 public:
  using TcxGridColumnHeaderViewInfo::TcxGridColumnHeaderViewInfo;
  void EnumAreaClasses(std::vector<TcxGridColumnHeaderAreaViewInfoClass>& classes) override {}
  Boolean CanPress() override { return false; }
  TAlignment GetAlignmentHorz() override;
  TcxAlignmentVert GetAlignmentVert() override { return vaCenter; }
  TcxBorders GetBorders() override { return cxBordersAll; }
  Integer GetBorderWidth(TcxBorder side) override;
  Integer CalculateHeight() override;
  void GetCaption(AnsiString& text) override;
  void GetViewParams(TcxViewParams& params) override;
  TBitmap* GetBackgroundBitmap() override;
  Boolean GetShowEndEllipsis() override { return false; }
  TClass GetHitTestClass() override { return TcxGridFooterCellHitTest::StaticClass(); }
  void InitHitTest(TcxCustomGridHitTest* hitTest) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  Boolean HotTrackable() override { return false; }
  Boolean HasCustomDraw() override;
  Boolean CustomDraw(TcxCanvas* canvas) override;
  TcxDataSummaryItem* GetSummaryItem() const { return FSummaryItem; }
  void SetSummaryItem(TcxDataSummaryItem* value) { FSummaryItem = value; }

 private:
  TcxDataSummaryItem* FSummaryItem = nullptr;
};

class TcxGridGroupByBoxColumnHeaderViewInfo : public TcxGridColumnHeaderViewInfo {
  ORV_CLASS(TcxGridGroupByBoxColumnHeaderViewInfo, TcxGridColumnHeaderViewInfo)
 public:
  using TcxGridColumnHeaderViewInfo::TcxGridColumnHeaderViewInfo;
  Integer CalculateHeight() override { return GetContainer()->ItemHeight(); }
  Integer CalculateWidth() override;
  void GetCaption(AnsiString& text) override;
  Boolean CanHorzSize() override { return false; }
  void CalculateVisible(Integer left, Integer width) override { SetVisible(true); }
};

// ==== Indicator ==================================================================================

class TcxCustomGridIndicatorItemViewInfo;
using TcxCustomGridIndicatorItemViewInfoClass = orv::ClassOf<TcxCustomGridIndicatorItemViewInfo>;

// The column of row states at the view's left edge.
class TcxGridIndicatorViewInfo : public TcxCustomGridViewCellViewInfo {
  ORV_CLASS(TcxGridIndicatorViewInfo, TcxCustomGridViewCellViewInfo)
 public:
  using TCreateSignature = void(TcxCustomGridViewInfo* gridViewInfo);
  explicit TcxGridIndicatorViewInfo(TcxCustomGridViewInfo* gridViewInfo) : TcxCustomGridViewCellViewInfo(gridViewInfo) {}
  void BeforeDestruction() override;

  virtual Boolean SupportsQuickCustomization();
  virtual TcxCustomGridIndicatorItemViewInfoClass GetRowItemClass(TcxCustomGridRowViewInfo* row);

  TcxCustomGridIndicatorItemViewInfo* AddItem(TcxCustomGridIndicatorItemViewInfoClass itemClass);
  TcxCustomGridIndicatorItemViewInfo* AddItemAt(Integer top, Integer height,
                                                TcxCustomGridIndicatorItemViewInfoClass itemClass);
  TcxCustomGridIndicatorItemViewInfo* AddRowItem(TcxCustomGridRowViewInfo* row);
  void CalculateRowItem(TcxCustomGridRowViewInfo* row, TcxCustomGridIndicatorItemViewInfo* item);
  TRect GetRowItemBounds(TcxCustomGridRecord* record);
  void RemoveItem(TcxCustomGridIndicatorItemViewInfo* item);
  Integer Count() const { return Integer(FItems.size()); }
  TcxCustomGridIndicatorItemViewInfo* Item(Integer index) const { return FItems[std::size_t(index)]; }

  Boolean GetVisible() override;
  Integer CalculateWidth() override;
  Integer CalculateHeight() override;
  void Calculate(Integer leftBound, Integer topBound, Integer width = -1, Integer height = -1) override;
  using TcxCustomGridViewCellViewInfo::Calculate;
  void GetViewParams(TcxViewParams& params) override;
  TClass GetHitTestClass() override { return TcxGridIndicatorHitTest::StaticClass(); }
  TcxCustomGridHitTest* GetHitTest(const TPoint& point) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  TcxGridTableViewInfo* GridViewInfo() const;

 private:
  std::vector<TcxCustomGridIndicatorItemViewInfo*> FItems;
};

class TcxCustomGridIndicatorItemViewInfo : public TcxCustomGridViewCellViewInfo {
  ORV_CLASS(TcxCustomGridIndicatorItemViewInfo, TcxCustomGridViewCellViewInfo)
 public:
  using TCreateSignature = void(TcxGridIndicatorViewInfo* container);
  explicit TcxCustomGridIndicatorItemViewInfo(TcxGridIndicatorViewInfo* container);
  void BeforeDestruction() override;

  Integer CalculateWidth() override { return FContainer->GetBounds().Width(); }
  void GetViewParams(TcxViewParams& params) override;
  TClass GetHitTestClass() override { return TcxGridIndicatorHitTest::StaticClass(); }
  TcxCustomGridCellPainterClass GetPainterClass() override;
  Boolean HasCustomDraw() override;
  Boolean CustomDraw(TcxCanvas* canvas) override;
  TcxGridIndicatorViewInfo* GetContainer() const { return FContainer; }
  TcxGridTableView* GridView() const;

 private:
  TcxGridIndicatorViewInfo* FContainer;
};

class TcxGridIndicatorHeaderItemViewInfo : public TcxCustomGridIndicatorItemViewInfo {
  ORV_CLASS(TcxGridIndicatorHeaderItemViewInfo, TcxCustomGridIndicatorItemViewInfo)
 public:
  using TcxCustomGridIndicatorItemViewInfo::TcxCustomGridIndicatorItemViewInfo;
  virtual Boolean SupportsQuickCustomization() { return GetContainer()->SupportsQuickCustomization(); }
  void GetViewParams(TcxViewParams& params) override;
  TBitmap* GetBackgroundBitmap() override;
  TClass GetHitTestClass() override { return TcxGridIndicatorHeaderHitTest::StaticClass(); }
  TcxCustomGridCellPainterClass GetPainterClass() override;
  Boolean HotTrackable() override { return SupportsQuickCustomization(); }
  Boolean CaptureMouseOnPress() override { return SupportsQuickCustomization(); }
  Boolean HasHint() override { return SupportsQuickCustomization(); }
  Boolean HintOnlyWhenTruncated() override { return false; }
  Boolean IsHintMultiLine() override { return false; }
  void GetHintText(AnsiString& text) override;
  void GetHintTextRect(const TPoint& mousePos, TRect& rect) override;
  void GetHintAreaBounds(TRect& rect) override { rect = GetBounds(); }
  // The quick customization popup (built with the grid's customization).
  TcxCustomGridPopup* GetPopup() override;
  Boolean UsesPopup() override { return SupportsQuickCustomization(); }
  Boolean ClosePopupOnDestruction() override { return false; }
};

class TcxGridIndicatorRowItemViewInfo : public TcxCustomGridIndicatorItemViewInfo {
  ORV_CLASS(TcxGridIndicatorRowItemViewInfo, TcxCustomGridIndicatorItemViewInfo)
 public:
  using TcxCustomGridIndicatorItemViewInfo::TcxCustomGridIndicatorItemViewInfo;
  void BeforeDestruction() override;
  // 0 none, 1 focused, 2 editing, 3 inserting or the new-item row, 4 selected, 5 focused and
  // selected, 6 the filter row.
  virtual Integer GetIndicatorKind();
  virtual void GetSizingEdgeBounds(TRect& rect);
  TBitmap* GetBackgroundBitmap() override;
  TClass GetHitTestClass() override { return TcxGridRowIndicatorHitTest::StaticClass(); }
  TcxCustomGridHitTest* GetHitTest(const TPoint& point) override;
  void InitHitTest(TcxCustomGridHitTest* hitTest) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  Boolean MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) override;
  TcxCustomGridRowViewInfo* GetRowViewInfo() const { return FRowViewInfo; }
  void SetRowViewInfo(TcxCustomGridRowViewInfo* value) { FRowViewInfo = value; }

 private:
  TcxCustomGridRowViewInfo* FRowViewInfo = nullptr;
};

class TcxGridIndicatorFooterItemViewInfo : public TcxCustomGridIndicatorItemViewInfo {
  ORV_CLASS(TcxGridIndicatorFooterItemViewInfo, TcxCustomGridIndicatorItemViewInfo)
 public:
  using TcxCustomGridIndicatorItemViewInfo::TcxCustomGridIndicatorItemViewInfo;
  virtual void GetFooterContentBounds(TRect& rect);
  virtual void GetFooterSeparatorBounds(TRect& rect);
  TcxBorders GetBorders() override;
  Integer GetBorderWidth(TcxBorder side) override;
  void GetViewParams(TcxViewParams& params) override;
  TBitmap* GetBackgroundBitmap() override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
};

// ==== Rows =======================================================================================

class TcxGridRowsViewInfo : public TcxCustomGridRecordsViewInfo {
  ORV_CLASS(TcxGridRowsViewInfo, TcxCustomGridRecordsViewInfo)
 public:
  explicit TcxGridRowsViewInfo(TcxCustomGridTableViewInfo* gridViewInfo);
  ~TcxGridRowsViewInfo() override;

  // ---- New virtual operations ----
  virtual void CalculateRowHeights();
  virtual Integer GetDataRowHeight() { return FDataRowHeight; }
  virtual Integer CalculateGroupRowHeight(Boolean single);
  virtual Integer GetGroupRowHeight() { return FGroupRowHeight; }
  virtual Integer GetRestHeight(Integer top);
  virtual Integer CalculateDataRowHeight();
  virtual Integer CalculateRowHeight();
  virtual Integer GetRowStep();
  virtual TcxCustomGridRecordViewInfoClass GetFilterRowViewInfoClass();
  virtual TBitmap* GetRowBackgroundBitmap() { return BackgroundBitmap(); }
  virtual Integer GetGroupRowSeparatorHeight();
  virtual Boolean IsScrollableHorizontally() { return true; }
  virtual TcxCustomGridRecordViewInfoClass GetNewItemRowViewInfoClass();
  virtual Integer GetDataWidth();
  virtual Integer GetRowSeparatorWidth();
  virtual Boolean NeedsClosingGridLine(TcxCustomGridRowViewInfo* row);
  virtual Boolean IsFilterRowVisible();
  virtual Boolean IsNewItemRowVisible();
  virtual Integer CalculateGroupRowHeightByParams(Boolean single, const TcxViewParams& params);
  virtual Boolean IsDataRowSizingAllowed();
  virtual Boolean IsDataRowHeightAssigned();
  virtual Integer GetAvailableHeight(Integer top);

  // ---- Overrides ----
  void GetBounds(TRect& rect) override;
  void GetContentBounds(TRect& rect) override;
  void CalculateVisibleCount() override;
  Integer GetRecordLeft(Integer index) override;
  Integer GetRecordTop(Integer index) override;
  Integer GetRecordsOffset(Integer count) override;
  void OffsetRecordViewInfo(Integer index, Integer offset) override;
  TcxCustomGridRecordsPainterClass GetPainterClass() override;
  TcxCustomGridHitTest* GetHitTest(const TPoint& point) override;
  TcxCustomGridRecordViewInfo* GetRecordViewInfo(TcxCustomGridRecord* record) override;
  Boolean ItemCellsMultiLine(TcxCustomGridTableItem* item) override;
  void Calculate() override;
  void OffsetRecords(Integer recordCount) override;
  void OffsetBy(Integer dx, Integer dy) override;

  // ---- Access ----
  Integer GetRowHeight() const { return FRowHeight; }
  Integer PartVisibleCount() const { return FPartVisibleCount; }
  Boolean FirstRowFullyVisible() const { return FFirstRowFullyVisible; }
  // Frees the filter and new-item rows (before the records they show, or items they show cells
  // of, go).
  void ClearSpecialRows();
  static void ClearSpecialRowsOf(TcxCustomGridView* view);
  TcxCustomGridRowViewInfo* FilterRowViewInfo() const { return FFilterRowViewInfo; }
  TcxCustomGridRowViewInfo* NewItemRowViewInfo() const { return FNewItemRowViewInfo; }
  TcxCustomGridRowViewInfo* Row(Integer index) const;
  TcxGridTableViewInfo* TableViewInfo() const;
  TcxGridTableView* TableView() const;
  // Whether a row's height follows its cells (auto height or a cell height handler).
  Boolean RowHeightsFollowContent();
  Boolean IsCalculatingRows() const { return FCalculating; }

 private:
  Integer FDataRowHeight = 0;
  TcxCustomGridRowViewInfo* FFilterRowViewInfo = nullptr;
  Integer FGroupRowHeight = 0;
  TcxCustomGridRowViewInfo* FNewItemRowViewInfo = nullptr;
  Integer FRestHeight = 0;
  Integer FRowHeight = 0;
  Boolean FFirstRowFullyVisible = true;
  Integer FPartVisibleCount = 0;
  Boolean FCalculating = false;
};

class TcxGridRowFootersViewInfo;

// What every kind of row shares: level indent, the bottom part (separator, group footers,
// closing grid line) and its indicator cell.
class TcxCustomGridRowViewInfo : public TcxCustomGridRecordViewInfo {
  ORV_CLASS(TcxCustomGridRowViewInfo, TcxCustomGridRecordViewInfo)
 public:
  TcxCustomGridRowViewInfo(TcxCustomGridRecordsViewInfo* recordsViewInfo, TcxCustomGridRecord* record);
  void AfterConstruction() override;
  void BeforeDestruction() override;

  // ---- New virtual operations ----
  virtual void CalculateCellMerging() {}
  virtual void ResetCellMerging() {}
  virtual Boolean CanSize() { return false; }
  virtual void CheckHeight(Integer& height);
  virtual Integer GetResizableHeight() { return GetDataHeight(); }
  virtual Integer GetBottomPartHeight();
  virtual Integer GetDataLeft();
  virtual Integer GetDataHeight() { return GetBounds().Height() - GetBottomPartHeight(); }
  virtual Integer GetCellsAreaLeft() { return GetDataLeft(); }
  virtual Integer GetCellsAreaWidth();
  virtual void GetClosingGridLineBounds(TRect& rect);
  virtual Integer GetFullHeight();
  virtual Integer GetNonResizableHeight() { return GetBounds().Height() - GetResizableHeight(); }
  virtual Integer GetHeightForSizing() { return GetBounds().Height(); }
  virtual void GetSeparatorBounds(TRect& rect);
  virtual TColor GetSeparatorColor();
  virtual Integer GetSeparatorWidth();
  virtual Boolean HasSeparator() { return true; }
  virtual Boolean HasGroupFooter(Integer level);
  virtual Boolean HasFooters() { return true; }
  virtual Boolean HasClosingGridLine();
  // A row not laid out yet counts by its full height alone.
  virtual Boolean IsFullyVisible() { return !GetCalculated() || GetBounds().Height() == GetFullHeight(); }
  virtual void SetHeightBySizing(Integer value) = 0;

  // ---- Overrides ----
  void CalculateAt(Integer left, Integer top) override;
  void Calculate(Integer leftBound, Integer topBound, Integer width = -1, Integer height = -1) override;
  using TcxCustomGridRecordViewInfo::Calculate;
  // The indicator cell shows the row's state: it repaints when the row is recalculated.
  void BeforeRecalculation() override;
  Integer CalculateWidth() override;
  // Also the row cut by the bottom edge shows.
  Boolean IsVisibleOnScreen() override;
  void Offset(Integer dx, Integer dy) override;
  void GetInvalidateBounds(TcxCustomGridTableItem* item, TRect& rect) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  TcxCustomGridHitTest* GetHitTest(const TPoint& point) override;

  // ---- Access ----
  Integer GetLevel();
  Integer GetVisualLevel();
  Integer LevelIndent();
  // One level's indent rectangle (-1: the whole indent area).
  void GetLevelIndentBounds(Integer level, TRect& rect);
  // How many enclosing groups end after this row (innermost first).
  Integer EndingGroupLevelCount();
  TcxCustomGridIndicatorItemViewInfo* IndicatorItem() const { return FIndicatorItem; }
  void ClearIndicatorItem() { FIndicatorItem = nullptr; }
  // The group footers below the row (nil when it shows none); made anew at each calculation.
  TcxGridRowFootersViewInfo* FootersViewInfo();
  Integer GetFootersHeight();
  TcxGridRowsViewInfo* RowsViewInfo() const;
  TcxGridTableViewInfo* TableViewInfo() const;
  TcxGridTableView* GridView() const;

 private:
  TcxCustomGridIndicatorItemViewInfo* FIndicatorItem = nullptr;
  Boolean FRecalculating = false;
  TcxGridRowFootersViewInfo* FFootersViewInfo = nullptr;
  Boolean FFootersChecked = false;
};

class TcxGridCellViewInfo : public TcxGridTableCellViewInfo {
  ORV_CLASS(TcxGridCellViewInfo, TcxGridTableCellViewInfo)
 public:
  using TCreateSignature = void(TcxCustomGridRecordViewInfo* recordViewInfo);
  using TcxGridTableCellViewInfo::TcxGridTableCellViewInfo;
  TColor GetBorderColor(TcxBorder side) override;
  Integer GetBorderWidth(TcxBorder side) override { return 1; }
  void GetViewParams(TcxViewParams& params) override;
};

// The cells area of a view without visible columns.
class TcxGridDataRowCellsAreaViewInfo : public TcxGridCellViewInfo {
  ORV_CLASS(TcxGridDataRowCellsAreaViewInfo, TcxGridCellViewInfo)
 public:
  using TcxGridCellViewInfo::TcxGridCellViewInfo;
  virtual Boolean IsVisibleAsArea();
  virtual Boolean HasBottomBorder();
  virtual Boolean HasRowBackgroundBitmap();
  Integer CalculateHeight() override { return 0; }
  Integer CalculateWidth() override { return 0; }
  TcxBorders GetBorders() override;
  Boolean GetVisible() override { return IsVisibleAsArea(); }
  TcxCustomGridCellPainterClass GetPainterClass() override;
};

using TcxGridDataRowCellsAreaViewInfoClass = orv::ClassOf<TcxGridDataRowCellsAreaViewInfo>;

class TcxGridDataCellViewInfo : public TcxGridTableDataCellViewInfo {
  ORV_CLASS(TcxGridDataCellViewInfo, TcxGridTableDataCellViewInfo)
 public:
  using TcxGridTableDataCellViewInfo::TcxGridTableDataCellViewInfo;
  void BeforeDestruction() override;

  // ---- Vertical merging of equal values ----
  // After the rows are laid: takes over the equal cells of the same column below it.
  virtual void CalculateMerging();
  virtual void ResetMerging();
  virtual Boolean CanBeMerged();
  virtual Boolean CanMerge();
  Boolean IsMerged() const { return FIsMerged; }
  Boolean IsMerging() const { return FIsMerging; }
  TcxGridDataCellViewInfo* MergingCell() const { return FMergingCell; }
  Integer MergedCellCount() const { return Integer(FMergedCells.size()); }
  TcxGridDataCellViewInfo* MergedCell(Integer index) const { return FMergedCells[std::size_t(index)]; }
  const TRect& UnmergedBounds() const { return FUnmergedBounds; }

  void Calculate(Integer leftBound, Integer topBound, Integer width = -1, Integer height = -1) override;
  using TcxGridTableDataCellViewInfo::Calculate;
  // A merged cell shows through its merging cell, but answers hit tests in its own place.
  Boolean GetVisible() override { return !FIsMerged && inherited::GetVisible(); }
  Boolean GetVisibleForHitTest() override { return inherited::GetVisible(); }
  Boolean HasHitTestPoint(const TPoint& point) override;
  void Offset(Integer dx, Integer dy) override;

  TcxBorders GetBorders() override;
  TColor GetBorderColor(TcxBorder side) override;
  Integer GetBorderWidth(TcxBorder side) override { return 1; }
  Integer CalculateWidth() override;
  Boolean GetMultiLine() override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  TcxGridDataRowViewInfo* RowViewInfo() const;

 private:
  // Back to the cell's own bounds, recalculated when they changed.
  void RestoreUnmergedBounds();

  Boolean FIsMerged = false;
  Boolean FIsMerging = false;
  Boolean FCalculatingMerged = false;
  std::vector<TcxGridDataCellViewInfo*> FMergedCells;
  TcxGridDataCellViewInfo* FMergingCell = nullptr;
  TRect FUnmergedBounds{};
};

class TcxGridPreviewCellViewInfo : public TcxGridDataCellViewInfo {
  ORV_CLASS(TcxGridPreviewCellViewInfo, TcxGridDataCellViewInfo)
 public:
  using TcxGridDataCellViewInfo::TcxGridDataCellViewInfo;
  TcxBorders GetBorders() override;
  Integer CalculateHeight() override;
  Integer CalculateWidth() override;
  Boolean GetMultiLine() override { return true; }
  Integer GetMaxLineCount() override;
  void GetTextAreaBounds(TRect& rect) override;
  void GetEditContentOffsets(TRect& rect) override;
  TBitmap* GetBackgroundBitmap() override;
  TClass GetHitTestClass() override { return TcxGridPreviewHitTest::StaticClass(); }
};

class TcxGridDataRowViewInfo : public TcxCustomGridRowViewInfo {
  ORV_CLASS(TcxGridDataRowViewInfo, TcxCustomGridRowViewInfo)
 public:
  TcxGridDataRowViewInfo(TcxCustomGridRecordsViewInfo* recordsViewInfo, TcxCustomGridRecord* record);
  void BeforeDestruction() override;

  // ---- New virtual operations ----
  virtual void CalculateCell(Integer index);
  virtual Integer GetCellHeightAt(Integer index);
  virtual Integer CalculateCellHeight();
  virtual Integer GetCellLeft(Integer index);
  virtual Integer GetCellTop(Integer index);
  virtual void CalculateCellsAreaBounds(TRect& rect);
  virtual TcxGridDataRowCellsAreaViewInfoClass GetCellsAreaViewInfoClass();
  virtual TcxGridTableDataCellViewInfoClass GetCellViewInfoClass(Integer index);
  virtual Integer GetCellWidth(Integer index);
  virtual TcxGridTableDataCellViewInfoClass GetPreviewViewInfoClass();
  virtual Boolean HasPreview();
  virtual Boolean IsCellVisible(Integer index);
  virtual void CellBeforeRecalculation(TcxGridDataCellViewInfo* cell) {}
  virtual TcxBorders GetCellBorders(Boolean isRightMost, Boolean isBottom);
  void CalculateCellMerging() override;
  void ResetCellMerging() override;

  // ---- Overrides ----
  Integer CalculateRecordHeight() override;
  void Calculate(Integer leftBound, Integer topBound, Integer width = -1, Integer height = -1) override;
  using TcxCustomGridRowViewInfo::Calculate;
  void Offset(Integer dx, Integer dy) override;
  Boolean HasAutoHeight() override;
  Boolean CanSize() override;
  void CheckHeight(Integer& height) override;
  Integer GetResizableHeight() override;
  void SetHeightBySizing(Integer value) override;
  void GetRecordContentBounds(TRect& rect) override;
  TcxGridTableDataCellViewInfo* GetCellViewInfoByItem(TcxCustomGridTableItem* item) override;
  void GetCellBoundsForItem(TcxCustomGridTableItem* item, TRect& rect) override;
  TcxCustomGridHitTest* GetHitTest(const TPoint& point) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;

  // ---- Access ----
  Integer CellCount() const { return Integer(FCells.size()); }
  // Made on first use.
  TcxGridDataCellViewInfo* Cell(Integer index);
  TcxGridDataCellViewInfo* ExistingCell(Integer index) const { return FCells[std::size_t(index)]; }
  TcxGridDataRowCellsAreaViewInfo* CellsAreaViewInfo() const { return FCellsAreaViewInfo; }
  TcxGridDataCellViewInfo* PreviewViewInfo() const { return FPreviewViewInfo; }
  const TRect& CellsAreaBounds() const { return FCellsAreaBounds; }
  Integer CellHeight() const { return FCellHeight; }
  Integer PreviewHeight();

 private:
  Integer FCellHeight = 0;
  TRect FCellsAreaBounds{};
  TcxGridDataRowCellsAreaViewInfo* FCellsAreaViewInfo = nullptr;
  std::vector<TcxGridDataCellViewInfo*> FCells;
  TcxGridDataCellViewInfo* FPreviewViewInfo = nullptr;
};

// The pinned row for entering a new record: an info text while it is not focused.
class TcxGridNewItemRowViewInfo : public TcxGridDataRowViewInfo {
  ORV_CLASS(TcxGridNewItemRowViewInfo, TcxGridDataRowViewInfo)
 public:
  using TcxGridDataRowViewInfo::TcxGridDataRowViewInfo;

  virtual void GetRowInfoText(AnsiString& text);
  virtual TcxCustomGridOptions* GetSpecialRowOptions();
  virtual Boolean ShowInfoText();
  virtual Integer GetInfoTextStyleIndex() { return 16; }

  // Pinned above the scrolling rows: always on screen.
  Boolean IsVisibleOnScreen() override { return GetCalculated(); }
  Integer CalculateRecordHeight() override;
  Integer CalculateHeight() override;
  Boolean HasFooters() override { return false; }
  Boolean HasClosingGridLine() override { return false; }
  Boolean HasAutoHeight() override { return false; }
  Boolean HasPreview() override { return false; }
  Boolean CanSize() override { return false; }
  Integer GetSeparatorWidth() override;
  TColor GetSeparatorColor() override;
  void GetInfoTextAreaBounds(TRect& rect);
  void GetInfoTextParams(TcxViewParams& params);
  TcxCustomGridCellPainterClass GetPainterClass() override;

 private:
  Integer FHeight = 0;
};

class TcxGridFilterRowViewInfo : public TcxGridNewItemRowViewInfo {
  ORV_CLASS(TcxGridFilterRowViewInfo, TcxGridNewItemRowViewInfo)
 public:
  using TcxGridNewItemRowViewInfo::TcxGridNewItemRowViewInfo;
  TcxCustomGridOptions* GetSpecialRowOptions() override;
  Boolean ShowInfoText() override;
  Integer GetInfoTextStyleIndex() override { return 8; }
};

// ==== The table view info ========================================================================

class TcxGridTableViewInfo : public TcxCustomGridTableViewInfo {
  ORV_CLASS(TcxGridTableViewInfo, TcxCustomGridTableViewInfo)
 public:
  explicit TcxGridTableViewInfo(TcxCustomGridView* gridView) : TcxCustomGridTableViewInfo(gridView) {}

  // ---- New virtual operations ----
  virtual Integer CalculateDataWidth();
  virtual void CalculateExpandButtonParams();
  virtual void CalculateParts();
  virtual Integer GetLevelIndentsWidth();
  virtual Integer GetGridLineWidth() { return 1; }
  virtual TColor GetGridLineColor();
  virtual Integer GetVisualLevelCount();
  virtual Boolean SupportsSizeOptions() { return true; }
  virtual Boolean SupportsGroupSummaryLayout() { return true; }
  virtual Boolean SupportsMultiSummaries() { return true; }
  virtual TcxCustomGridCellPainterClass GetFooterPainterClass();
  virtual orv::ClassOf<TcxGridFooterViewInfo> GetFooterViewInfoClass();
  virtual orv::ClassOf<TcxGridGroupByBoxViewInfo> GetGroupByBoxViewInfoClass();
  virtual orv::ClassOf<TcxGridHeaderViewInfo> GetHeaderViewInfoClass();
  virtual orv::ClassOf<TcxGridIndicatorViewInfo> GetIndicatorViewInfoClass();
  virtual TcxGridHeaderViewInfoSpecificClass GetHeaderViewInfoSpecificClass();
  virtual TcxBorders GetCellBorders(Boolean isRightMost);
  virtual Integer GetCellHeight(Integer cellHeight) { return cellHeight; }
  virtual Integer GetCellTopOffset() { return 0; }
  // The pixels that stay when the rows scroll by `delta` pixels, and the strip to repaint.
  virtual void CalculateVerticalScrollRects(Integer delta, TRect& scrollRect, TRect& updateRect);
  virtual void CalculateHorizontalScrollRects(Integer delta, TRect& scrollRect, TRect& updateRect);
  virtual Integer GetVisualLevel(Integer level);

  // ---- Overrides ----
  void CreateViewInfos() override;
  void DestroyViewInfos(Boolean full) override;
  void BeforeCalculating() override;
  void AfterCalculating() override;
  void Calculate() override;
  void GetClientBounds(TRect& rect) override;
  void GetPartBounds(TcxCustomGridPartViewInfo* part, TRect& rect) override;
  void CalculateWidth(const TPoint& maxSize, Integer& width) override;
  // A detail sizing to its rows: laid out off screen at the offered size, as high as its rows
  // and parts need.
  void CalculateHeight(const TPoint& maxSize, Integer& height, Boolean& fullyVisible) override;
  TcxCustomGridHitTest* GetContentHitTest(const TPoint& point) override;
  TcxCustomGridRecordsViewInfoClass RecordsViewInfoClass() override;
  Integer GetNonRecordsAreaHeight(Boolean withScrollBars) override;
  Integer HeightForRecordCount(Integer count) override;
  Integer AdjustHeightToRecords(Integer height, Boolean extraRecord) override;
  // The rows of one step (data row and separator) that fit below the view's strips; the pixels
  // left over go to `rest`.
  Integer EqualHeightPageRecordCount() override;
  Integer EqualHeightPageRecordCount(Integer& rest);
  // The rows of data row height a screen holds, and two more: a grid-mode buffer of this size
  // fills the view at any size it may take.
  Integer BufferRecordCount() override;
  void OffsetBy(Integer dx, Integer dy) override;

  // ---- Access ----
  Integer DataWidth();
  Integer ExpandButtonIndent() const { return FExpandButtonIndent; }
  Integer ExpandButtonSize() const { return FExpandButtonSize; }
  Integer LevelIndent() const { return FLevelIndent; }
  TcxGridFooterViewInfo* FooterViewInfo() const { return FFooterViewInfo; }
  TcxGridGroupByBoxViewInfo* GroupByBoxViewInfo() const { return FGroupByBoxViewInfo; }
  TcxGridHeaderViewInfo* HeaderViewInfo() const { return FHeaderViewInfo; }
  TcxGridIndicatorViewInfo* IndicatorViewInfo() const { return FIndicatorViewInfo; }
  TcxGridRowsViewInfo* RowsViewInfo() const;
  TcxGridTableView* GridView() const;
  // The view's client area less the indicator (and less the vertical scroll bar).
  Integer ClientWidthForAutoWidth();
  Integer IndicatorWidth();
  // The table controller's horizontal scroll position.
  Integer LeftPos();

 private:
  Integer FDataWidth = 0;
  Integer FExpandButtonIndent = 3;
  Integer FExpandButtonSize = 0;
  TcxGridFooterViewInfo* FFooterViewInfo = nullptr;
  TcxGridGroupByBoxViewInfo* FGroupByBoxViewInfo = nullptr;
  TcxGridHeaderViewInfo* FHeaderViewInfo = nullptr;
  TcxGridIndicatorViewInfo* FIndicatorViewInfo = nullptr;
  Integer FLevelIndent = 0;
  Integer FPrevDataRowHeight = 0;
  TRect FFrozenClientBounds{};
  Boolean FClientBoundsFrozen = false;
};

// ==== Painters ===================================================================================

// Paints the whole view; while the rows paint it collects their grid lines and draws them in
// one call at the end.
class TcxGridTablePainter : public TcxCustomGridTablePainter {
  ORV_CLASS(TcxGridTablePainter, TcxCustomGridTablePainter)
 public:
  explicit TcxGridTablePainter(TcxCustomGridView* gridView) : TcxCustomGridTablePainter(gridView) {}

  virtual void PaintFooter();
  virtual void PaintGroupByBox();
  virtual void PaintHeader();
  virtual void PaintIndicator();

  void PaintContent() override;
  void DrawRecords() override;
  Boolean CanScrollWindow(Integer recordsDistance, Integer dx, Integer dy) override;
  void ScrollRecords(Integer distance) override;
  void ScrollPixels(Integer dx, Integer dy) override;

  // While the rows paint: a border rectangle to draw with the others.
  void AddGridLine(const TRect& rect);
  Boolean IsCollectingGridLines() const { return FGridLines != nullptr; }
  TcxGridTableViewInfo* GridViewInfo() { return static_cast<TcxGridTableViewInfo*>(ViewInfo()); }
  // Draws the rectangles as one poly-polyline in the grid line colour.
  static void DrawGridLines(TcxCanvas* canvas, const std::vector<TRect>& lines, TColor color);

 private:
  std::vector<TRect>* FGridLines = nullptr;
};

class TcxGridColumnContainerPainter : public TcxCustomGridPartPainter {
  ORV_CLASS(TcxGridColumnContainerPainter, TcxCustomGridPartPainter)
 public:
  using TcxCustomGridPartPainter::TcxCustomGridPartPainter;
  virtual void DrawItems();
  virtual Boolean ItemsDrawnFirst() { return true; }
  void DrawContent() override;
  Boolean ExcludeFromClipRect() override { return true; }
  TcxGridColumnContainerViewInfo* ContainerViewInfo() const {
    return static_cast<TcxGridColumnContainerViewInfo*>(GetViewInfo());
  }
};

class TcxGridHeaderPainter : public TcxGridColumnContainerPainter {
  ORV_CLASS(TcxGridHeaderPainter, TcxGridColumnContainerPainter)
 public:
  using TcxGridColumnContainerPainter::TcxGridColumnContainerPainter;
  Boolean ItemsDrawnFirst() override;
};

class TcxGridGroupByBoxPainter : public TcxGridColumnContainerPainter {
  ORV_CLASS(TcxGridGroupByBoxPainter, TcxGridColumnContainerPainter)
 public:
  using TcxGridColumnContainerPainter::TcxGridColumnContainerPainter;
  Boolean ItemsDrawnFirst() override;
  void DrawBackground(const TRect& rect) override;
  using TcxGridColumnContainerPainter::DrawBackground;
  void Paint() override;
};

class TcxGridFooterPainter : public TcxGridColumnContainerPainter {
  ORV_CLASS(TcxGridFooterPainter, TcxGridColumnContainerPainter)
 public:
  using TcxGridColumnContainerPainter::TcxGridColumnContainerPainter;
  virtual void DrawSeparator();
  Boolean ItemsDrawnFirst() override;
  void DrawBackground(const TRect& rect) override;
  using TcxGridColumnContainerPainter::DrawBackground;
  void DrawBorders() override;
};

class TcxGridColumnHeaderPainter : public TcxCustomGridCellPainter {
  ORV_CLASS(TcxGridColumnHeaderPainter, TcxCustomGridCellPainter)
 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  virtual void DrawAreas();
  virtual void DrawPressed();
  void DrawContent() override;
  void DrawBorders() override {}
  void Paint() override;
  Boolean ExcludeFromClipRect() override { return true; }
  TcxGridColumnHeaderViewInfo* HeaderViewInfo() const {
    return static_cast<TcxGridColumnHeaderViewInfo*>(GetViewInfo());
  }
  Boolean DrawHeaderBackground(TcxCanvas* canvas, const TRect& bounds);
};

class TcxGridFooterCellPainter : public TcxGridColumnHeaderPainter {
  ORV_CLASS(TcxGridFooterCellPainter, TcxGridColumnHeaderPainter)
 public:
  using TcxGridColumnHeaderPainter::TcxGridColumnHeaderPainter;
  void DrawContent() override;
};

class TcxGridColumnHeaderAreaPainter : public TcxCustomGridCellPainter {
  ORV_CLASS(TcxGridColumnHeaderAreaPainter, TcxCustomGridCellPainter)
 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  Boolean ExcludeFromClipRect() override { return true; }
  TcxGridColumnHeaderAreaViewInfo* AreaViewInfo() const {
    return static_cast<TcxGridColumnHeaderAreaViewInfo*>(GetViewInfo());
  }
};

class TcxGridColumnHeaderSortingMarkPainter : public TcxGridColumnHeaderAreaPainter {
  ORV_CLASS(TcxGridColumnHeaderSortingMarkPainter, TcxGridColumnHeaderAreaPainter)
 public:
  using TcxGridColumnHeaderAreaPainter::TcxGridColumnHeaderAreaPainter;
  void Paint() override;
};

class TcxGridColumnHeaderFilterButtonPainter : public TcxGridColumnHeaderAreaPainter {
  ORV_CLASS(TcxGridColumnHeaderFilterButtonPainter, TcxGridColumnHeaderAreaPainter)
 public:
  using TcxGridColumnHeaderAreaPainter::TcxGridColumnHeaderAreaPainter;
  void Paint() override;
};

class TcxGridColumnHeaderGlyphPainter : public TcxGridColumnHeaderAreaPainter {
  ORV_CLASS(TcxGridColumnHeaderGlyphPainter, TcxGridColumnHeaderAreaPainter)
 public:
  using TcxGridColumnHeaderAreaPainter::TcxGridColumnHeaderAreaPainter;
  void Paint() override;
};

class TcxGridIndicatorPainter : public TcxCustomGridCellPainter {
  ORV_CLASS(TcxGridIndicatorPainter, TcxCustomGridCellPainter)
 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  virtual void DrawItems();
  virtual Boolean ItemsDrawnFirst();
  void DrawContent() override;
  Boolean ExcludeFromClipRect() override { return true; }
};

class TcxCustomGridIndicatorItemPainter : public TcxCustomGridCellPainter {
  ORV_CLASS(TcxCustomGridIndicatorItemPainter, TcxCustomGridCellPainter)
 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  Boolean ExcludeFromClipRect() override { return true; }
  TcxCustomGridIndicatorItemViewInfo* ItemViewInfo() const {
    return static_cast<TcxCustomGridIndicatorItemViewInfo*>(GetViewInfo());
  }
  Boolean DrawItemBackground(TcxCanvas* canvas, const TRect& bounds);
};

class TcxGridIndicatorHeaderItemPainter : public TcxCustomGridIndicatorItemPainter {
  ORV_CLASS(TcxGridIndicatorHeaderItemPainter, TcxCustomGridIndicatorItemPainter)
 public:
  using TcxCustomGridIndicatorItemPainter::TcxCustomGridIndicatorItemPainter;
  virtual void DrawQuickCustomizationMark();
  void DrawContent() override;
  void DrawBorders() override {}
};

class TcxGridIndicatorRowItemPainter : public TcxCustomGridIndicatorItemPainter {
  ORV_CLASS(TcxGridIndicatorRowItemPainter, TcxCustomGridIndicatorItemPainter)
 public:
  using TcxCustomGridIndicatorItemPainter::TcxCustomGridIndicatorItemPainter;
  void DrawContent() override;
  void DrawBorders() override {}
};

class TcxGridIndicatorFooterItemPainter : public TcxCustomGridIndicatorItemPainter {
  ORV_CLASS(TcxGridIndicatorFooterItemPainter, TcxCustomGridIndicatorItemPainter)
 public:
  using TcxCustomGridIndicatorItemPainter::TcxCustomGridIndicatorItemPainter;
  void DrawBorders() override;
};

// ---- Rows ----

class TcxGridRowsPainter : public TcxCustomGridRecordsPainter {
  ORV_CLASS(TcxGridRowsPainter, TcxCustomGridRecordsPainter)
 public:
  using TcxCustomGridRecordsPainter::TcxCustomGridRecordsPainter;
  static void DrawDataRowCells(TcxGridDataRowViewInfo* row);
  void Paint() override;
};

class TcxCustomGridRowPainter : public TcxCustomGridRecordPainter {
  ORV_CLASS(TcxCustomGridRowPainter, TcxCustomGridRecordPainter)
 public:
  using TcxCustomGridRecordPainter::TcxCustomGridRecordPainter;
  virtual void DrawFooters();
  virtual void DrawIndent();
  virtual void DrawIndentPart(Integer level, const TRect& rect);
  virtual void DrawClosingGridLine();
  virtual void DrawRowSeparator();
  void Paint() override;
  TcxCustomGridRowViewInfo* RowViewInfo() const { return static_cast<TcxCustomGridRowViewInfo*>(GetViewInfo()); }
};

class TcxGridDataRowPainter : public TcxCustomGridRowPainter {
  ORV_CLASS(TcxGridDataRowPainter, TcxCustomGridRowPainter)
 public:
  using TcxCustomGridRowPainter::TcxCustomGridRowPainter;
  virtual void DrawCells();
  virtual Boolean DrawsCells() { return true; }
  void Paint() override;
  TcxGridDataRowViewInfo* DataRowViewInfo() const { return static_cast<TcxGridDataRowViewInfo*>(GetViewInfo()); }
};

class TcxGridNewItemRowPainter : public TcxGridDataRowPainter {
  ORV_CLASS(TcxGridNewItemRowPainter, TcxGridDataRowPainter)
 public:
  using TcxGridDataRowPainter::TcxGridDataRowPainter;
  Boolean DrawsCells() override;
  void DrawBackground(const TRect& rect) override;
  using TcxGridDataRowPainter::DrawBackground;
  void DrawRowSeparator() override;
  void Paint() override;
};

class TcxGridDataCellPainter : public TcxGridTableDataCellPainter {
  ORV_CLASS(TcxGridDataCellPainter, TcxGridTableDataCellPainter)
 public:
  using TcxGridTableDataCellPainter::TcxGridTableDataCellPainter;
  void DrawBorders() override;
  Boolean ExcludeFromClipRect() override;
};

class TcxGridDataRowCellsAreaPainter : public TcxCustomGridCellPainter {
  ORV_CLASS(TcxGridDataRowCellsAreaPainter, TcxCustomGridCellPainter)
 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  Boolean ExcludeFromClipRect() override { return true; }
};
