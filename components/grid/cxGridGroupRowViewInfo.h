// Group rows of the grid table view (the expand button, the group text and the group's summaries)
// and the group footers shown below the last row of a group, with their painters.
#pragma once

#include <vector>

#include "components/grid/cxGridTableViewInfo.h"

class TcxGridGroupRow;
class TcxGridGroupRowViewInfo;
class TcxAutoWidthObject;
class TcxDataGroupSummaryItems;

// The cell right of the row's level indent that shows the group text.
class TcxGridGroupCellViewInfo : public TcxGridCellViewInfo {
  ORV_CLASS(TcxGridGroupCellViewInfo, TcxGridCellViewInfo)
 public:
  using TcxGridCellViewInfo::TcxGridCellViewInfo;
  Integer CalculateHeight() override;
  Integer CalculateWidth() override;
  void GetText(AnsiString& text) override;
  void GetTextAreaBounds(TRect& rect) override;
  TcxAlignmentVert GetAlignmentVert() override;
  TBitmap* GetBackgroundBitmap() override;
  void GetViewParams(TcxViewParams& params) override;
  Boolean ParticipatesInSelection() override { return true; }
  TcxBorders GetBorders() override;
  TColor GetBorderColor(TcxBorder side) override;
  Integer GetBorderWidth(TcxBorder side) override;
  void GetBorderBounds(TcxBorder side, TRect& rect) override;
  Boolean GetShowEndEllipsis() override { return true; }
  TcxCustomGridCellPainterClass GetPainterClass() override;
  // The part of the bottom border left of the border actually drawn.
  void GetBottomBorderRestBounds(TRect& rect);
  TcxGridGroupRowViewInfo* RowViewInfo() const;
};

// Literal text of a group row: the summary beginning and ending texts and the separators.
class TcxGridGroupRowSpacerViewInfo : public TcxCustomGridViewCellViewInfo {
  ORV_CLASS(TcxGridGroupRowSpacerViewInfo, TcxCustomGridViewCellViewInfo)
 public:
  TcxGridGroupRowSpacerViewInfo(TcxGridGroupRowViewInfo* rowViewInfo, const AnsiString& text);
  Integer CalculateWidth() override;
  Integer CalculateHeight() override;
  void GetText(AnsiString& text) override { text = FText; }
  void GetTextAreaBounds(TRect& rect) override;
  TcxAlignmentVert GetAlignmentVert() override;
  void GetViewParams(TcxViewParams& params) override;
  Boolean HasBackground() override { return false; }
  TClass GetHitTestClass() override;
  // Its text width, with its parameters made ready first.
  Integer SpacerWidth();
  void SetText(const AnsiString& value) { FText = value; }
  TcxGridGroupRowViewInfo* RowViewInfo() const { return FRowViewInfo; }

 private:
  TcxGridGroupRowViewInfo* FRowViewInfo;
  AnsiString FText;
};

// One group summary value of a group row, followed by its separator.
class TcxGridGroupSummaryCellViewInfo : public TcxCustomGridViewCellViewInfo {
  ORV_CLASS(TcxGridGroupSummaryCellViewInfo, TcxCustomGridViewCellViewInfo)
 public:
  TcxGridGroupSummaryCellViewInfo(TcxGridGroupRowViewInfo* rowViewInfo, const Variant& value, TcxDataSummaryItem* summaryItem);
  void BeforeDestruction() override;

  virtual void GetSeparatorBounds(TRect& rect);
  virtual void GetSeparatorText(AnsiString& text);

  Integer CalculateWidth() override;
  Integer CalculateHeight() override;
  void GetText(AnsiString& text) override;
  void GetTextAreaBounds(TRect& rect) override;
  TAlignment GetAlignmentHorz() override;
  TcxAlignmentVert GetAlignmentVert() override;
  void GetViewParams(TcxViewParams& params) override;
  Boolean GetShowEndEllipsis() override { return true; }
  Boolean HasBackground() override { return false; }
  void GetFocusRectBounds(TRect& rect) override;
  TClass GetHitTestClass() override;
  void InitHitTest(TcxCustomGridHitTest* hitTest) override;
  void BeforeRecalculation() override;
  void Offset(Integer dx, Integer dy) override;
  void Calculate(Integer leftBound, Integer topBound, Integer width = -1, Integer height = -1) override;
  using TcxCustomGridViewCellViewInfo::Calculate;
  TcxCustomGridCellPainterClass GetPainterClass() override;

  TcxGridColumn* Column() const;
  void SetIsLast(Boolean value);
  Boolean IsLast() const { return FIsLast; }
  TcxDataSummaryItem* SummaryItem() const { return FSummaryItem; }
  const Variant& Value() const { return FValue; }
  TcxGridGroupRowSpacerViewInfo* SeparatorViewInfo() const { return FSeparatorViewInfo; }
  TcxGridGroupRowViewInfo* RowViewInfo() const { return FRowViewInfo; }

 private:
  Boolean FIsLast = false;
  TcxGridGroupRowViewInfo* FRowViewInfo;
  TcxGridGroupRowSpacerViewInfo* FSeparatorViewInfo = nullptr;
  TcxDataSummaryItem* FSummaryItem;
  Variant FValue;
};

class TcxGridGroupRowViewInfo : public TcxCustomGridRowViewInfo {
  ORV_CLASS(TcxGridGroupRowViewInfo, TcxCustomGridRowViewInfo)
 public:
  TcxGridGroupRowViewInfo(TcxCustomGridRecordsViewInfo* recordsViewInfo, TcxCustomGridRecord* record);
  void AfterConstruction() override;
  void BeforeDestruction() override;

  // ---- New virtual operations ----
  virtual void GetSeparatorIndentPartBounds(TRect& rect);
  virtual void CreateSpacers();
  virtual void DestroySpacers();
  virtual void CreateSummaryCells();
  virtual void DestroySummaryCells();
  virtual void CalculateSummaryCells();
  virtual void LayoutSummaryCells(const std::vector<TcxGridGroupSummaryCellViewInfo*>& cells, const TRect& area,
                                  Boolean distribute, TAlignment alignment);
  virtual void GetColumnSummaryCellsAreaBounds(TcxGridColumnHeaderViewInfo* header, TRect& rect);
  virtual void GetSummaryBeginningSpacerBounds(TRect& rect);
  virtual void GetSummaryEndingSpacerBounds(TRect& rect);
  virtual void GetSummaryBeginningSpacerText(AnsiString& text);
  virtual void GetSummaryEndingSpacerText(AnsiString& text);
  virtual Boolean IsSummaryDistributed();
  virtual void GetSummaryCellsAreaBounds(Boolean forColumns, TRect& rect);
  virtual Boolean HasInlineRun();

  // ---- Overrides ----
  Integer CalculateRecordHeight() override;
  Boolean HasAutoHeight() override;
  Boolean CanSize() override;
  void CheckHeight(Integer& height) override;
  void SetHeightBySizing(Integer value) override;
  TBitmap* GetBackgroundBitmap() override;
  void GetExpandButtonAreaBounds(TRect& rect) override;
  void CalculateExpandButtonBounds(TRect& rect) override;
  void GetRecordContentBounds(TRect& rect) override;
  Boolean SelectsWholeRecord() override { return true; }
  void GetSeparatorBounds(TRect& rect) override;
  Boolean HasSeparator() override;
  Boolean HasGroupFooter(Integer level) override;
  void BeforeRecalculation() override;
  void Calculate(Integer leftBound, Integer topBound, Integer width = -1, Integer height = -1) override;
  using TcxCustomGridRowViewInfo::Calculate;
  void Offset(Integer dx, Integer dy) override;
  TcxCustomGridHitTest* GetHitTest(const TPoint& point) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;

  // ---- Access ----
  TcxGridGroupRow* GroupRow() const;
  TcxGridGroupRowStyle RowStyle() const;
  TcxGridGroupSummaryLayout SummaryLayout() const;
  TcxGridGroupCellViewInfo* CellViewInfo() const { return FCellViewInfo; }
  Integer SummaryCellCount() const { return Integer(FSummaryCells.size()); }
  TcxGridGroupSummaryCellViewInfo* SummaryCell(Integer index) const { return FSummaryCells[std::size_t(index)]; }
  TcxGridGroupRowSpacerViewInfo* BeginningSpacer() const { return FBeginningSpacer; }
  TcxGridGroupRowSpacerViewInfo* EndingSpacer() const { return FEndingSpacer; }
  // The summary items of the row's level (nil without any).
  TcxDataGroupSummaryItems* GroupSummaryItems() const;
  TcxGridGroupRowSpacerViewInfo* CreateSpacer(const AnsiString& text);
  // The summary cells of the column (nil: those without a column), in list order.
  void GetColumnSummaryCells(TcxGridColumn* column, std::vector<TcxGridGroupSummaryCellViewInfo*>& cells);
  const std::vector<TcxGridGroupSummaryCellViewInfo*>& InlineSummaryCells();

 private:
  void AddSummaryCell(TcxDataSummaryItem* item, const Variant& value);

  TcxGridGroupCellViewInfo* FCellViewInfo = nullptr;
  TcxGridGroupRowSpacerViewInfo* FBeginningSpacer = nullptr;
  std::vector<TcxGridGroupSummaryCellViewInfo*> FSummaryCellsWithoutColumns;
  std::vector<TcxGridGroupSummaryCellViewInfo*> FSummaryCells;
  TcxGridGroupRowSpacerViewInfo* FEndingSpacer = nullptr;
};

// ---- Group footers ----

class TcxGridRowFootersViewInfo;

class TcxGridRowFooterCellViewInfo : public TcxGridFooterCellViewInfo {
  ORV_CLASS(TcxGridRowFooterCellViewInfo, TcxGridFooterCellViewInfo)
 public:
  using TcxGridFooterCellViewInfo::TcxGridFooterCellViewInfo;
  void GetCaption(AnsiString& text) override;
  void GetViewParams(TcxViewParams& params) override;
  TClass GetHitTestClass() override;
};

// The footer of one group that ends after a row, `Level` levels above the row's own level.
class TcxGridRowFooterViewInfo : public TcxGridFooterViewInfo {
  ORV_CLASS(TcxGridRowFooterViewInfo, TcxGridFooterViewInfo)
 public:
  TcxGridRowFooterViewInfo(TcxGridRowFootersViewInfo* container, Integer level);
  void AfterConstruction() override;

  virtual Integer GetVisualGroupLevel();
  // The group level whose summaries the footer shows.
  Integer GroupLevel();
  Integer IndentWidth();

  void GetSummaryItemsList(std::vector<TcxDataSummaryItem*>& items) override;
  Boolean AllowsMultipleSummaries() override;
  Boolean HasFooterSeparator() override { return false; }
  Boolean GetVisible() override { return true; }
  Integer GetPartWidth() override;
  Integer CalculateWidth() override { return GetPartWidth(); }
  void CalculateCell(Integer index) override;
  void Calculate(Integer leftBound, Integer topBound, Integer width = -1, Integer height = -1) override;
  using TcxGridFooterViewInfo::Calculate;
  TcxGridColumnHeaderViewInfoClass GetItemClass() override;
  void GetViewParams(TcxViewParams& params) override;
  TClass GetHitTestClass() override;
  TcxCustomGridRow* Row() const;
  TcxGridRowFootersViewInfo* Container() const { return FContainer; }
  Integer Level() const { return FLevel; }

 private:
  TcxGridRowFootersViewInfo* FContainer;
  Integer FLevel;
};

// Every group footer below one row.
class TcxGridRowFootersViewInfo : public TObject {
  ORV_CLASS(TcxGridRowFootersViewInfo, TObject)
 public:
  using TCreateSignature = void(TcxCustomGridRowViewInfo* rowViewInfo);
  explicit TcxGridRowFootersViewInfo(TcxCustomGridRowViewInfo* rowViewInfo);
  void BeforeDestruction() override;

  virtual void BeforeRecalculation();
  virtual void Calculate(Integer left, Integer top);
  virtual Integer CalculateHeight();
  virtual TcxCustomGridHitTest* GetHitTest(const TPoint& point);
  virtual void Offset(Integer dx, Integer dy);

  Integer GetFootersHeight();
  Integer GetFootersBestFitWidth(TcxGridColumn* column);
  Boolean GetFooterTopForLevel(Integer level, Integer& top);
  void PaintFooters(TcxCanvas* canvas);
  Integer Count() const { return Integer(FItems.size()); }
  TcxGridRowFooterViewInfo* Item(Integer index) const { return FItems[std::size_t(index)]; }
  TcxCustomGridRowViewInfo* RowViewInfo() const { return FRowViewInfo; }

 private:
  Integer FHeight = -1;
  std::vector<TcxGridRowFooterViewInfo*> FItems;
  TcxCustomGridRowViewInfo* FRowViewInfo;
};

// ---- Painters ----

class TcxGridGroupRowPainter : public TcxCustomGridRowPainter {
  ORV_CLASS(TcxGridGroupRowPainter, TcxCustomGridRowPainter)
 public:
  using TcxCustomGridRowPainter::TcxCustomGridRowPainter;
  virtual void DrawSummaryCells();
  void DrawBackground(const TRect& rect) override {}
  using TcxCustomGridRowPainter::DrawBackground;
  void DrawRowSeparator() override;
  void Paint() override;
  TcxGridGroupRowViewInfo* GroupRowViewInfo() const { return static_cast<TcxGridGroupRowViewInfo*>(GetViewInfo()); }
};

class TcxGridGroupCellPainter : public TcxCustomGridCellPainter {
  ORV_CLASS(TcxGridGroupCellPainter, TcxCustomGridCellPainter)
 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void DrawBorder(TcxBorder side) override;
};

class TcxGridGroupSummaryCellPainter : public TcxCustomGridCellPainter {
  ORV_CLASS(TcxGridGroupSummaryCellPainter, TcxCustomGridCellPainter)
 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void Paint() override;
};
