// The grid table view: the hit tests of its parts (header, footers, indicator, group-by box,
// rows), which the layout of the view produces.
#pragma once

#include "components/grid/cxGridCustomTableView.h"

// Where a column header stands.
enum TcxGridItemContainerKind : Byte { ckNone, ckCustomizationForm, ckHeader, ckGroupByBox };

// The drag objects that sizing edges start; the table view's sizing installs them.
extern TcxDragAndDropObjectClass cxGridColumnHorzSizingObjectClass;
extern TcxDragAndDropObjectClass cxGridRowSizingObjectClass;
// The column moving object of the table controller, for movable columns.
extern TcxDragAndDropObjectClass cxGridColumnMovingObjectClass;

class TcxGridGroupByBoxHitTest : public TcxCustomGridViewHitTest {
  ORV_CLASS(TcxGridGroupByBoxHitTest, TcxCustomGridViewHitTest)
 public:
  TcxGridGroupByBoxHitTest() = default;
  Integer GetHitTestCode() const override { return htGroupByBox; }
};

class TcxCustomGridColumnHitTest : public TcxCustomGridViewHitTest {
  ORV_CLASS(TcxCustomGridColumnHitTest, TcxCustomGridViewHitTest)
 public:
  TcxCustomGridColumnHitTest() = default;
  TcxCustomGridTableItem* GetColumn() const { return FColumn; }
  void SetColumn(TcxCustomGridTableItem* value) { FColumn = value; }
  TcxGridItemContainerKind GetHitContainerKind() const { return FHitContainerKind; }
  void SetHitContainerKind(TcxGridItemContainerKind value) { FHitContainerKind = value; }

 private:
  TcxCustomGridTableItem* FColumn = nullptr;
  TcxGridItemContainerKind FHitContainerKind = ckNone;
};

class TcxGridColumnHeaderHitTest : public TcxCustomGridColumnHitTest {
  ORV_CLASS(TcxGridColumnHeaderHitTest, TcxCustomGridColumnHitTest)
 public:
  TcxGridColumnHeaderHitTest() = default;
  Integer GetHitTestCode() const override { return htColumnHeader; }
  // The column moving object when the column can be moved.
  TcxDragAndDropObjectClass DragAndDropObjectClass() override;
};

class TcxGridColumnHeaderHorzSizingEdgeHitTest : public TcxCustomGridColumnHitTest {
  ORV_CLASS(TcxGridColumnHeaderHorzSizingEdgeHitTest, TcxCustomGridColumnHitTest)
 public:
  TcxGridColumnHeaderHorzSizingEdgeHitTest() = default;
  Integer GetHitTestCode() const override { return htColumnHeaderHorzSizingEdge; }
  TCursor Cursor() override { return crcxGridHorzSize; }
  TcxDragAndDropObjectClass DragAndDropObjectClass() override { return cxGridColumnHorzSizingObjectClass; }
};

class TcxGridColumnHeaderFilterButtonHitTest : public TcxCustomGridColumnHitTest {
  ORV_CLASS(TcxGridColumnHeaderFilterButtonHitTest, TcxCustomGridColumnHitTest)
 public:
  TcxGridColumnHeaderFilterButtonHitTest() = default;
  Integer GetHitTestCode() const override { return htColumnHeaderFilterButton; }
};

class TcxGridFooterHitTest : public TcxCustomGridViewHitTest {
  ORV_CLASS(TcxGridFooterHitTest, TcxCustomGridViewHitTest)
 public:
  TcxGridFooterHitTest() = default;
  Integer GetHitTestCode() const override { return htFooter; }
};

class TcxGridFooterCellHitTest : public TcxCustomGridColumnHitTest {
  ORV_CLASS(TcxGridFooterCellHitTest, TcxCustomGridColumnHitTest)
 public:
  TcxGridFooterCellHitTest() = default;
  Integer GetHitTestCode() const override { return htFooterCell; }
  // The summary item of the cell (a TcxDataSummaryItem).
  TObject* GetSummaryItem() const { return FSummaryItem; }
  void SetSummaryItem(TObject* value) { FSummaryItem = value; }

 private:
  TObject* FSummaryItem = nullptr;
};

class TcxGridGroupFooterHitTest : public TcxGridFooterHitTest {
  ORV_CLASS(TcxGridGroupFooterHitTest, TcxGridFooterHitTest)
 public:
  TcxGridGroupFooterHitTest() = default;
  Integer GetHitTestCode() const override { return htGroupFooter; }
};

class TcxGridGroupFooterCellHitTest : public TcxGridFooterCellHitTest {
  ORV_CLASS(TcxGridGroupFooterCellHitTest, TcxGridFooterCellHitTest)
 public:
  TcxGridGroupFooterCellHitTest() = default;
  Integer GetHitTestCode() const override { return htGroupFooterCell; }
};

class TcxGridRowIndicatorHitTest : public TcxGridRecordHitTest {
  ORV_CLASS(TcxGridRowIndicatorHitTest, TcxGridRecordHitTest)
 public:
  TcxGridRowIndicatorHitTest() = default;
  Integer GetHitTestCode() const override { return htRowIndicator; }
  TCursor Cursor() override { return FMultiSelect ? crcxGridSelectRow : crDefault; }
  Boolean GetMultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(Boolean value) { FMultiSelect = value; }

 private:
  Boolean FMultiSelect = false;
};

class TcxGridRowSizingEdgeHitTest : public TcxGridRecordHitTest {
  ORV_CLASS(TcxGridRowSizingEdgeHitTest, TcxGridRecordHitTest)
 public:
  TcxGridRowSizingEdgeHitTest() = default;
  Integer GetHitTestCode() const override { return htRowSizingEdge; }
  TCursor Cursor() override { return crcxGridVertSize; }
  TcxDragAndDropObjectClass DragAndDropObjectClass() override { return cxGridRowSizingObjectClass; }
};

class TcxGridIndicatorHitTest : public TcxCustomGridViewHitTest {
  ORV_CLASS(TcxGridIndicatorHitTest, TcxCustomGridViewHitTest)
 public:
  TcxGridIndicatorHitTest() = default;
  Integer GetHitTestCode() const override { return htIndicator; }
};

class TcxGridIndicatorHeaderHitTest : public TcxGridIndicatorHitTest {
  ORV_CLASS(TcxGridIndicatorHeaderHitTest, TcxGridIndicatorHitTest)
 public:
  TcxGridIndicatorHeaderHitTest() = default;
  Integer GetHitTestCode() const override { return htIndicatorHeader; }
};

class TcxGridRowLevelIndentHitTest : public TcxGridRecordHitTest {
  ORV_CLASS(TcxGridRowLevelIndentHitTest, TcxGridRecordHitTest)
 public:
  TcxGridRowLevelIndentHitTest() = default;
  Integer GetHitTestCode() const override { return htRowLevelIndent; }
  Boolean IsRecordArea() const override { return false; }
};

class TcxGridHeaderHitTest : public TcxCustomGridViewHitTest {
  ORV_CLASS(TcxGridHeaderHitTest, TcxCustomGridViewHitTest)
 public:
  TcxGridHeaderHitTest() = default;
  Integer GetHitTestCode() const override { return htHeader; }
};

class TcxGridGroupSummaryHitTest : public TcxGridRecordHitTest {
  ORV_CLASS(TcxGridGroupSummaryHitTest, TcxGridRecordHitTest)
 public:
  TcxGridGroupSummaryHitTest() = default;
  Integer GetHitTestCode() const override { return htGroupSummary; }
  TObject* GetSummaryItem() const { return FSummaryItem; }
  void SetSummaryItem(TObject* value) { FSummaryItem = value; }

 private:
  TObject* FSummaryItem = nullptr;
};

class TcxGridPreviewHitTest : public TcxGridRecordCellHitTest {
  ORV_CLASS(TcxGridPreviewHitTest, TcxGridRecordCellHitTest)
 public:
  TcxGridPreviewHitTest() = default;
  Integer GetHitTestCode() const override { return htPreview; }
};

// ==== The grid table view: view, columns, rows, options and styles ============================
//
// Records shown as rows under a row of column headers. The view's layout classes (table view
// info, row, header, footer and indicator view infos, painters) live in their own sources; the
// view and the rows reach them through the class factories declared here.

class TcxGridTableView;
class TcxGridColumn;
class TcxCustomGridRow;
class TcxGridGroupRow;
class TcxGridDataRow;
class TcxGridFilterRow;
class TcxGridViewData;
class TcxGridTableViewStyles;
class TcxGridTableOptionsView;
class TcxGridFilterRowOptions;
class TcxGridNewItemRowOptions;
class TcxGridPreview;
class TcxGridColumnHeaderViewInfo;
class TcxCustomGridIndicatorItemViewInfo;
class TcxDataSummaryItem;
class TcxCustomStyleSheet;

enum TcxGridLines : Byte { glBoth, glNone, glVertical, glHorizontal };
enum TcxGridGroupFootersMode : Byte { gfInvisible, gfVisibleWhenExpanded, gfAlwaysVisible };
enum TcxGridGroupRowStyle : Byte { grsStandard, grsOffice11 };
enum TcxGridGroupSummaryLayout : Byte { gslStandard, gslAlignWithColumns, gslAlignWithColumnsAndDistribute };
enum TcxGridPreviewPlace : Byte { ppBottom, ppTop };
enum TcxGridFilterRowApplyChangesMode : Byte { fracOnCellExit, fracImmediately };

// Style indexes of the grid table view (after the custom table view's 0 .. 7).
inline constexpr Integer vsFilterRowInfoText = 8;
inline constexpr Integer vsFooter = 9;
inline constexpr Integer vsGroup = 10;
inline constexpr Integer vsGroupByBox = 11;
inline constexpr Integer vsGroupFooterSortedSummary = 12;
inline constexpr Integer vsGroupSortedSummary = 13;
inline constexpr Integer vsGroupSummary = 14;
inline constexpr Integer vsHeader = 15;
inline constexpr Integer vsNewItemRowInfoText = 16;
inline constexpr Integer vsIndicator = 17;
inline constexpr Integer vsPreview = 18;
// Style indexes of a column (0 is the item's content).
inline constexpr Integer isFooter = 1;
inline constexpr Integer isGroupSummary = 2;
inline constexpr Integer isHeader = 3;
// Background bitmap indexes of the grid table view (0 .. 2 as in the custom table view).
inline constexpr Integer bbFooter = 3;
inline constexpr Integer bbHeader = 4;
inline constexpr Integer bbGroup = 5;
inline constexpr Integer bbGroupByBox = 6;
inline constexpr Integer bbIndicator = 7;
inline constexpr Integer bbPreview = 8;

using TcxGridColumnEvent = orv::Event<void(TcxGridTableView* sender, TcxGridColumn* column)>;
using TcxGridColumnCustomDrawHeaderEvent =
    orv::Event<void(TcxGridTableView* sender, TcxCanvas* canvas, TcxGridColumnHeaderViewInfo* viewInfo, Boolean& done)>;
using TcxGridTableCellCustomDrawEvent =
    orv::Event<void(TcxCustomGridTableView* sender, TcxCanvas* canvas, TcxGridTableCellViewInfo* viewInfo, Boolean& done)>;
using TcxGridGroupSummaryCellCustomDrawEvent =
    orv::Event<void(TObject* sender, TcxCanvas* canvas, TcxGridGroupRow* row, TcxGridColumn* column,
                    TcxDataSummaryItem* summaryItem, TcxCustomGridViewCellViewInfo* viewInfo, Boolean& done)>;
using TcxGridIndicatorCellCustomDrawEvent = orv::Event<void(
    TcxGridTableView* sender, TcxCanvas* canvas, TcxCustomGridIndicatorItemViewInfo* viewInfo, Boolean& done)>;
using TcxGridColumnCompareRowValuesEvent =
    orv::Event<void(TcxGridColumn* sender, TcxGridDataRow* row1, TcxCustomEditProperties* properties1,
                    const Variant& value1, TcxGridDataRow* row2, TcxCustomEditProperties* properties2,
                    const Variant& value2, Boolean& areEqual)>;
using TcxGridColumnCompareValuesEvent =
    orv::Event<void(TcxGridColumn* sender, TcxCustomEditProperties* properties1, const Variant& value1,
                    TcxCustomEditProperties* properties2, const Variant& value2, Boolean& areEqual)>;
using TcxGridGetFooterStyleExEvent = orv::Event<void(TcxGridTableView* sender, TcxCustomGridRow* row,
                                                     TcxGridColumn* column, Integer footerGroupLevel, TcxStyle*& style)>;
using TcxGridGetFooterSummaryStyleEvent =
    orv::Event<void(TcxGridTableView* view, TcxCustomGridRow* row, TcxGridColumn* column, Integer footerGroupLevel,
                    TcxDataSummaryItem* summaryItem, TcxStyle*& style)>;
using TcxGridGetGroupSummaryStyleEvent = orv::Event<void(TcxGridTableView* sender, TcxGridGroupRow* row,
                                                         TcxGridColumn* column, TcxDataSummaryItem* summaryItem,
                                                         TcxStyle*& style)>;
using TcxGridGetHeaderStyleEvent = orv::Event<void(TcxGridTableView* sender, TcxGridColumn* column, TcxStyle*& style)>;
using TcxGridGetGroupStyleEvent =
    orv::Event<void(TcxGridTableView* sender, TcxCustomGridRecord* record, Integer level, TcxStyle*& style)>;

// ==== Columns =================================================================================

class TcxGridColumnOptions : public TcxCustomGridTableItemOptions {
  ORV_CLASS(TcxGridColumnOptions, TcxCustomGridTableItemOptions)
 public:
  explicit TcxGridColumnOptions(TcxCustomGridTableItem* item);
  void Assign(TPersistent* source) override;

  Boolean GetCellMerging() const { return FCellMerging; }
  void SetCellMerging(Boolean value);
  Boolean GetGroupFooters() const { return FGroupFooters; }
  void SetGroupFooters(Boolean value);
  Boolean GetHorzSizing() const { return FHorzSizing; }
  void SetHorzSizing(Boolean value);

 private:
  Boolean FCellMerging = false;
  Boolean FGroupFooters = true;
  Boolean FHorzSizing = true;
};

class TcxGridColumnStyles : public TcxCustomGridTableItemStyles {
  ORV_CLASS(TcxGridColumnStyles, TcxCustomGridTableItemStyles)
 public:
  explicit TcxGridColumnStyles(TPersistent* owner) : TcxCustomGridTableItemStyles(owner) {}
  void Assign(TPersistent* source) override;
  TcxGridColumn* GetGridColumn() const;
  TcxGridTableView* GetGridTableView() const;

  // Parameter lookups: the events' style over the stored style over the view's defaults.
  virtual void GetFooterParams(TcxCustomGridRow* row, Integer footerGroupLevel, TcxDataSummaryItem* summaryItem,
                               TcxViewParams& params);
  virtual void GetGroupSummaryParams(TcxGridGroupRow* row, TcxDataSummaryItem* summaryItem, TcxViewParams& params);
  virtual void GetHeaderParams(TcxViewParams& params);

  TcxStyle* GetFooter() const { return GetStyleValue(isFooter); }
  void SetFooter(TcxStyle* value) { SetStyleValue(isFooter, value); }
  TcxStyle* GetGroupSummary() const { return GetStyleValue(isGroupSummary); }
  void SetGroupSummary(TcxStyle* value) { SetStyleValue(isGroupSummary, value); }
  TcxStyle* GetHeader() const { return GetStyleValue(isHeader); }
  void SetHeader(TcxStyle* value) { SetStyleValue(isHeader, value); }
  const TcxGridGetCellStyleEvent& GetOnGetFooterStyle() const { return FOnGetFooterStyle; }
  void SetOnGetFooterStyle(const TcxGridGetCellStyleEvent& value);
  const TcxGridGetFooterStyleExEvent& GetOnGetFooterStyleEx() const { return FOnGetFooterStyleEx; }
  void SetOnGetFooterStyleEx(const TcxGridGetFooterStyleExEvent& value);
  const TcxGridGetFooterSummaryStyleEvent& GetOnGetFooterSummaryStyle() const { return FOnGetFooterSummaryStyle; }
  void SetOnGetFooterSummaryStyle(const TcxGridGetFooterSummaryStyleEvent& value);
  const TcxGridGetGroupSummaryStyleEvent& GetOnGetGroupSummaryStyle() const { return FOnGetGroupSummaryStyle; }
  void SetOnGetGroupSummaryStyle(const TcxGridGetGroupSummaryStyleEvent& value);
  const TcxGridGetHeaderStyleEvent& GetOnGetHeaderStyle() const { return FOnGetHeaderStyle; }
  void SetOnGetHeaderStyle(const TcxGridGetHeaderStyleEvent& value);

 protected:
  void GetDefaultStyleParams(Integer index, TObject* data, TcxViewParams& params) override;

 private:
  TcxGridGetCellStyleEvent FOnGetFooterStyle;
  TcxGridGetFooterStyleExEvent FOnGetFooterStyleEx;
  TcxGridGetFooterSummaryStyleEvent FOnGetFooterSummaryStyle;
  TcxGridGetGroupSummaryStyleEvent FOnGetGroupSummaryStyle;
  TcxGridGetHeaderStyleEvent FOnGetHeaderStyle;
};

// Where a footer cell stands, for one style query.
class TcxGridRowFooterCellPos : public TObject {
  ORV_CLASS(TcxGridRowFooterCellPos, TObject)
 public:
  TcxGridRowFooterCellPos(TcxCustomGridRow* row, TcxGridColumn* column, Integer footerGroupLevel,
                          TcxDataSummaryItem* summaryItem)
      : Row(row), Column(column), FooterGroupLevel(footerGroupLevel), SummaryItem(summaryItem) {}
  TcxCustomGridRow* Row;
  TcxGridColumn* Column;
  Integer FooterGroupLevel;
  TcxDataSummaryItem* SummaryItem;
};

// A group row's summary, for one style query.
class TcxGridGroupSummaryInfo : public TObject {
  ORV_CLASS(TcxGridGroupSummaryInfo, TObject)
 public:
  TcxGridGroupSummaryInfo(TcxGridGroupRow* row, TcxDataSummaryItem* summaryItem) : Row(row), SummaryItem(summaryItem) {}
  TcxGridGroupRow* Row;
  TcxDataSummaryItem* SummaryItem;
};

// The column's view of the controller's summary items linked to it (nothing stored of its own).
class TcxGridColumnSummary : public TcxCustomGridTableItemCustomOptions {
  ORV_CLASS(TcxGridColumnSummary, TcxCustomGridTableItemCustomOptions)
 public:
  explicit TcxGridColumnSummary(TcxCustomGridTableItem* item) : TcxCustomGridTableItemCustomOptions(item) {}
  void Assign(TPersistent* source) override;

  // Index 0 the footer, 1 the group footers, 2 the group rows.
  TcxSummaryKind GetKind(Integer index);
  void SetKind(Integer index, TcxSummaryKind value);
  AnsiString GetFormat(Integer index);
  void SetFormat(Integer index, const AnsiString& value);
  TcxSummaryKind GetFooterKind() { return GetKind(0); }
  void SetFooterKind(TcxSummaryKind value) { SetKind(0, value); }
  AnsiString GetFooterFormat() { return GetFormat(0); }
  void SetFooterFormat(const AnsiString& value) { SetFormat(0, value); }
  TcxSummaryKind GetGroupFooterKind() { return GetKind(1); }
  void SetGroupFooterKind(TcxSummaryKind value) { SetKind(1, value); }
  AnsiString GetGroupFooterFormat() { return GetFormat(1); }
  void SetGroupFooterFormat(const AnsiString& value) { SetFormat(1, value); }
  TcxSummaryKind GetGroupKind() { return GetKind(2); }
  void SetGroupKind(TcxSummaryKind value) { SetKind(2, value); }
  AnsiString GetGroupFormat() { return GetFormat(2); }
  void SetGroupFormat(const AnsiString& value) { SetFormat(2, value); }
  Boolean GetSortByGroupFooterSummary();
  void SetSortByGroupFooterSummary(Boolean value);
  Boolean GetSortByGroupSummary();
  void SetSortByGroupSummary(Boolean value);
};

using TcxGridColumnSummaryClass = orv::ClassOf<TcxGridColumnSummary>;

class TcxGridColumn : public TcxCustomGridTableItem {
  ORV_CLASS(TcxGridColumn, TcxCustomGridTableItem)
 public:
  explicit TcxGridColumn(TComponent* owner);
  void BeforeDestruction() override;
  ~TcxGridColumn() override;
  void Assign(TPersistent* source) override;

  TcxGridTableView* GetGridView() const;
  TcxGridColumnOptions* GetOptions() const { return static_cast<TcxGridColumnOptions*>(inherited::GetOptions()); }
  void SetOptions(TcxGridColumnOptions* value) { inherited::SetOptions(value); }
  TcxGridColumnStyles* GetStyles() const { return static_cast<TcxGridColumnStyles*>(inherited::GetStyles()); }
  void SetStyles(TcxGridColumnStyles* value) { inherited::SetStyles(value); }
  TcxGridColumnSummary* GetSummary() const { return FSummary; }
  void SetSummary(TcxGridColumnSummary* value) { FSummary->Assign(value); }

  TAlignment GetFooterAlignmentHorz();
  void SetFooterAlignmentHorz(TAlignment value);
  Boolean IsFooterAlignmentHorzStored();
  TAlignment GetGroupSummaryAlignment();
  void SetGroupSummaryAlignment(TAlignment value);
  Boolean IsGroupSummaryAlignmentStored();
  TBitmap* GetHeaderGlyph() const { return FHeaderGlyph; }
  void SetHeaderGlyph(TBitmap* value);
  TAlignment GetHeaderGlyphAlignmentHorz() const { return FHeaderGlyphAlignmentHorz; }
  void SetHeaderGlyphAlignmentHorz(TAlignment value);
  TcxAlignmentVert GetHeaderGlyphAlignmentVert() const { return FHeaderGlyphAlignmentVert; }
  void SetHeaderGlyphAlignmentVert(TcxAlignmentVert value);
  Boolean GetSelected() const { return FSelected; }
  // Joins or leaves the controller's selected columns.
  void SetSelected(Boolean value);
  // Kept by the controller's column selection.
  void SetSelectedValue(Boolean value) { FSelected = value; }

  // ---- Events ----
  const TcxGridColumnCompareRowValuesEvent& GetOnCompareRowValuesForCellMerging() const {
    return FOnCompareRowValuesForCellMerging;
  }
  void SetOnCompareRowValuesForCellMerging(const TcxGridColumnCompareRowValuesEvent& value);
  const TcxGridColumnCompareValuesEvent& GetOnCompareValuesForCellMerging() const {
    return FOnCompareValuesForCellMerging;
  }
  void SetOnCompareValuesForCellMerging(const TcxGridColumnCompareValuesEvent& value);
  const TcxGridColumnCustomDrawHeaderEvent& GetOnCustomDrawFooterCell() const { return FOnCustomDrawFooterCell; }
  void SetOnCustomDrawFooterCell(const TcxGridColumnCustomDrawHeaderEvent& value);
  const TcxGridGroupSummaryCellCustomDrawEvent& GetOnCustomDrawGroupSummaryCell() const {
    return FOnCustomDrawGroupSummaryCell;
  }
  void SetOnCustomDrawGroupSummaryCell(const TcxGridGroupSummaryCellCustomDrawEvent& value);
  const TcxGridColumnCustomDrawHeaderEvent& GetOnCustomDrawHeader() const { return FOnCustomDrawHeader; }
  void SetOnCustomDrawHeader(const TcxGridColumnCustomDrawHeaderEvent& value);
  const TNotifyEvent& GetOnHeaderClick() const { return FOnHeaderClick; }
  void SetOnHeaderClick(const TNotifyEvent& value);

  // ---- New virtual operations ----
  virtual TcxGridColumnSummaryClass GetSummaryClass() { return TcxGridColumnSummary::StaticClass(); }
  // Under ColumnAutoWidth: every column takes the width its header has now.
  virtual void AutoWidthChanged();
  virtual Boolean CanCellMerging();
  virtual Boolean HasGroupFooters() { return GetOptions()->GetGroupFooters(); }
  virtual Boolean IsMostBottom() { return true; }
  virtual Boolean IsMostLeft() { return IsFirst(); }
  virtual Boolean IsRecordMostBottom() { return IsMostBottom(); }
  virtual Boolean IsRecordMostLeft() { return IsMostLeft(); }
  virtual Boolean IsRecordMostRight() { return IsMostRight(); }
  virtual Boolean IsMostRight() { return IsLast(); }
  virtual Boolean IsMostTop() { return true; }
  virtual Boolean HideOnGrouping();
  virtual void DoCustomDrawFooterCell(TcxCanvas* canvas, TcxGridColumnHeaderViewInfo* viewInfo, Boolean& done);
  virtual void DoCustomDrawGroupSummaryCell(TcxCanvas* canvas, TcxCustomGridViewCellViewInfo* viewInfo,
                                            Boolean& done);
  virtual void DoCustomDrawHeader(TcxCanvas* canvas, TcxGridColumnHeaderViewInfo* viewInfo, Boolean& done);
  virtual void DoHeaderClick();
  Boolean HasCustomDrawFooterCell() const { return bool(FOnCustomDrawFooterCell); }
  Boolean HasCustomDrawGroupSummaryCell() const { return bool(FOnCustomDrawGroupSummaryCell); }
  Boolean HasCustomDrawHeader() const { return bool(FOnCustomDrawHeader); }

  // ---- Other operations ----
  Boolean IsPreview();
  Boolean CompareValuesForCellMerging(TcxGridDataRow* row1, TcxCustomEditProperties* properties1,
                                      const Variant& value1, TcxGridDataRow* row2,
                                      TcxCustomEditProperties* properties2, const Variant& value2);
  // Groups or ungroups as a drag to or from the group-by box does; whether grouping is allowed.
  Boolean ChangeGroupIndex(Integer value, Boolean restoreVisibility = true);
  // The group row's summary cell, the header and the footer cells of the layout (set by it).
  void FocusWithSelection();

  // ---- Item overrides ----
  Boolean GetStoredProperties(TStrings* properties) override;
  void GetStoredPropertyValue(const AnsiString& name, Variant& value) override;
  void SetStoredPropertyValue(const AnsiString& name, const Variant& value) override;
  void CreateSubClasses() override;
  void DestroySubClasses() override;
  TcxCustomGridTableItemOptionsClass GetOptionsClass() override { return TcxGridColumnOptions::StaticClass(); }
  TcxCustomGridTableItemStylesClass GetStylesClass() override { return TcxGridColumnStyles::StaticClass(); }
  void BestFitApplied(Boolean fireEvents) override;
  Integer CalculateBestFitWidth() override;
  Boolean CanEdit() override;
  Boolean CanFocus(TcxCustomGridRecord* record) override;
  Boolean CanHorzSize() override;
  void ForceWidth(Integer value) override;
  Boolean GetFixed() override;
  Boolean HasFixedWidth() override { return !GetOptions()->GetHorzSizing(); }
  Boolean ReadVisible() override;
  Boolean ReadVisibleForCustomization() override;
  Boolean ShouldStoreVisible() override;
  Boolean ShouldStoreVisibleForCustomization() override;
  void GetEditValue(Variant& value) override;
  void SetEditValue(const Variant& value) override;

 private:
  void HeaderGlyphChanged(TObject* sender);

  TAlignment FFooterAlignmentHorz = taLeftJustify;
  Boolean FIsFooterAlignmentHorzAssigned = false;
  TAlignment FGroupSummaryAlignment = taLeftJustify;
  Boolean FIsGroupSummaryAlignmentAssigned = false;
  TBitmap* FHeaderGlyph = nullptr;
  TAlignment FHeaderGlyphAlignmentHorz = taLeftJustify;
  TcxAlignmentVert FHeaderGlyphAlignmentVert = vaCenter;
  Boolean FSelected = false;
  TcxGridColumnSummary* FSummary = nullptr;
  TcxGridColumnCompareRowValuesEvent FOnCompareRowValuesForCellMerging;
  TcxGridColumnCompareValuesEvent FOnCompareValuesForCellMerging;
  TcxGridColumnCustomDrawHeaderEvent FOnCustomDrawFooterCell;
  TcxGridGroupSummaryCellCustomDrawEvent FOnCustomDrawGroupSummaryCell;
  TcxGridColumnCustomDrawHeaderEvent FOnCustomDrawHeader;
  TNotifyEvent FOnHeaderClick;
};

using TcxGridColumnClass = orv::ClassOf<TcxGridColumn>;

// ==== Summary items of the view ===============================================================

class TcxGridTableSummaryItem : public TcxDataSummaryItem {
  ORV_CLASS(TcxGridTableSummaryItem, TcxDataSummaryItem)
 public:
  explicit TcxGridTableSummaryItem(TCollection* collection);
  void Assign(TPersistent* source) override;

  TcxCustomGridTableView* GetGridView() const;
  TcxGridColumn* GetColumn() const;
  void SetColumn(TcxGridColumn* value);
  const AnsiString& GetDisplayText() const { return FDisplayText; }
  void SetDisplayText(const AnsiString& value);
  Boolean GetVisibleForCustomization() const { return FVisibleForCustomization; }
  void SetVisibleForCustomization(Boolean value);
  // Stored objects name the column by its stored name.
  AnsiString GetStoredColumnName() const;
  void SetStoredColumnName(const AnsiString& value);

 private:
  AnsiString FDisplayText;
  Boolean FVisibleForCustomization = true;
};

class TcxGridTableSummaryGroupItemLink : public TcxDataSummaryGroupItemLink {
  ORV_CLASS(TcxGridTableSummaryGroupItemLink, TcxDataSummaryGroupItemLink)
 public:
  explicit TcxGridTableSummaryGroupItemLink(TCollection* collection) : TcxDataSummaryGroupItemLink(collection) {}
  TcxCustomGridTableView* GetGridView() const;
  TcxGridColumn* GetColumn() const;
  void SetColumn(TcxGridColumn* value);
};

// ==== Rows ====================================================================================

class TcxCustomGridRow : public TcxCustomGridRecord {
  ORV_CLASS(TcxCustomGridRow, TcxCustomGridRecord)
 public:
  using TcxCustomGridRecord::TcxCustomGridRecord;
  TcxGridTableView* GetGridView() const;
  TcxGridViewData* GetViewData() const;

  void KeyDown(Word& key, TShiftState shift) override;

  // ---- New virtual operations ----
  virtual Boolean ExpandOnDblClick() { return GetExpandable(); }
  virtual Boolean TakesPartInCellSelection() { return false; }
};

class TcxGridDataRow : public TcxCustomGridRow {
  ORV_CLASS(TcxGridDataRow, TcxCustomGridRow)
 public:
  using TcxCustomGridRow::TcxCustomGridRow;
  Boolean GetHasCells() override { return true; }
  Boolean TakesPartInCellSelection() override { return true; }
  // Defined with the rows' layout.
  orv::ClassOf<TcxCustomGridRecordViewInfo> GetViewInfoClass() override;
  TcxCustomGridViewInfoCacheItemClass GetViewInfoCacheItemClass() override;
};

class TcxGridNewItemRow : public TcxGridDataRow {
  ORV_CLASS(TcxGridNewItemRow, TcxGridDataRow)
 public:
  using TcxGridDataRow::TcxGridDataRow;
  Boolean TakesPartInCellSelection() override { return false; }
};

// The row where the user types filter conditions, one per column.
class TcxGridFilterRow : public TcxGridNewItemRow {
  ORV_CLASS(TcxGridFilterRow, TcxGridNewItemRow)
 public:
  TcxGridFilterRow(TcxCustomGridTableViewData* viewData, Integer index, const TcxRowInfo& recordInfo);

  void RefreshRecordInfo() override;
  Boolean GetSelected() override { return FSelected; }
  void SetSelected(Boolean value) override;
  Boolean CanFocus() override { return true; }
  Boolean GetIsData() override { return false; }
  void GetDisplayText(Integer itemIndex, AnsiString& text) override;
  void GetValue(Integer itemIndex, Variant& value) override;
  void SetDisplayText(Integer itemIndex, const AnsiString& text) override;
  void SetValue(Integer itemIndex, const Variant& value) override;
  void KeyDown(Word& key, TShiftState shift) override;

  // ---- New operations ----
  virtual AnsiString GetDisplayTextForValue(Integer index, const Variant& value);
  virtual TcxFilterOperatorCode GetOperatorForValue(const Variant& value, Boolean checkWildcards = true);
  virtual Boolean IsValueOperatorSupported(TcxFilterOperatorCode operatorKind, const Variant& value);
  // The filter condition of the column (nil when it has none).
  TcxFilterCriteriaItem* GetFilterCriteriaItem(Integer itemIndex);
  Boolean IsEmpty();

 private:
  Boolean FSelected = false;
};

class TcxGridMasterDataRow : public TcxGridDataRow {
  ORV_CLASS(TcxGridMasterDataRow, TcxGridDataRow)
 public:
  using TcxGridDataRow::TcxGridDataRow;
  Boolean GetExpandable() override;
  Boolean GetExpanded() override;
  void DoCollapse(Boolean recursive) override;
  void DoExpand(Boolean recursive) override;
  void ToggleExpanded() override;
  Boolean ExpandOnDblClick() override;
  TcxCustomGridRecord* GetFirstChildToFocus() override;
  TcxCustomGridRecord* GetLastChildToFocus(Boolean recursive) override;
  orv::ClassOf<TcxCustomGridRecordViewInfo> GetViewInfoClass() override;
  TcxCustomGridViewInfoCacheItemClass GetViewInfoCacheItemClass() override;

  Boolean HasDetailData();
  Integer GetActiveDetailIndex();
  void SetActiveDetailIndex(Integer value);
  TcxCustomGridView* GetActiveDetailGridView();
};

class TcxGridGroupRow : public TcxCustomGridRow {
  ORV_CLASS(TcxGridGroupRow, TcxCustomGridRow)
 public:
  using TcxCustomGridRow::TcxCustomGridRow;
  Boolean GetExpandable() override;
  Boolean GetExpanded() override { return GetRecordInfo().Expanded; }
  Boolean GetIsData() override { return false; }
  Boolean GetIsParent() override;
  void DoCollapse(Boolean recursive) override;
  void DoExpand(Boolean recursive) override;
  void GetDisplayText(Integer itemIndex, AnsiString& text) override;
  void SetDisplayText(Integer itemIndex, const AnsiString& text) override {}
  void SetValue(Integer itemIndex, const Variant& value) override {}
  orv::ClassOf<TcxCustomGridRecordViewInfo> GetViewInfoClass() override;
  TcxCustomGridViewInfoCacheItemClass GetViewInfoCacheItemClass() override;

  // ---- New operations ----
  // The grouped column's caption, " : " and the group value's text.
  virtual AnsiString GetCaption();
  virtual AnsiString GetDisplayTextWithSummary();
  virtual Variant GetGroupValue();
  TcxGridColumn* GetGroupedColumn();
  // The group summary items of the row's level and the row's text of them.
  TcxDataSummaryItems* GetGroupSummaryItems();
  AnsiString GetGroupSummaryText();
};

// ==== View data ===============================================================================

class TcxGridViewData : public TcxCustomGridTableViewData {
  ORV_CLASS(TcxGridViewData, TcxCustomGridTableViewData)
 public:
  explicit TcxGridViewData(TcxCustomGridView* gridView) : TcxCustomGridTableViewData(gridView) {}
  void BeforeDestruction() override;

  TcxGridTableView* GetGridView() const;
  TcxCustomGridRow* GetRow(Integer index) { return static_cast<TcxCustomGridRow*>(RecordAt(index)); }
  Integer GetRowCount() const { return GetRecordCount(); }
  TcxGridFilterRow* GetFilterRow() const { return FFilterRow; }
  TcxGridNewItemRow* GetNewItemRow() const { return static_cast<TcxGridNewItemRow*>(GetNewItemRecord()); }

  TcxCustomGridRecordClass RecordClassForRow(const TcxRowInfo& recordInfo) override;
  TcxCustomGridRecordClass NewItemRecordClass() override { return TcxGridNewItemRow::StaticClass(); }
  Boolean HasNewItemRecord() override;
  TcxCustomGridRecord* RecordOfKind(Integer kind, Integer index) override;
  Integer KindOfRecord(TcxCustomGridRecord* record) override;
  void CollapseAll(Boolean recursive) override;
  void ExpandAll(Boolean recursive) override;
  TClass GetSortingBySummaryEngineClass() override;

  // ---- New operations ----
  virtual TcxCustomGridRecordClass FilterRowClass() { return TcxGridFilterRow::StaticClass(); }
  virtual Boolean HasFilterRow();
  // Makes the filter row while the options show it and frees it otherwise.
  void CheckFilterRow();
  TcxGridMasterDataRow* GetFirstVisibleExpandedMasterRow();
  TcxCustomGridView* MakeDetailVisible(TComponent* detailLevel);

 private:
  TcxGridFilterRow* FFilterRow = nullptr;
};

// ==== Options =================================================================================

class TcxGridTableOptionsBehavior : public TcxCustomGridTableOptionsBehavior {
  ORV_CLASS(TcxGridTableOptionsBehavior, TcxCustomGridTableOptionsBehavior)
 public:
  explicit TcxGridTableOptionsBehavior(TcxCustomGridView* gridView) : TcxCustomGridTableOptionsBehavior(gridView) {}
  void Assign(TPersistent* source) override;

  Boolean GetColumnHeaderHints() const { return FColumnHeaderHints; }
  void SetColumnHeaderHints(Boolean value);
  Boolean GetCopyPreviewToClipboard() const { return FCopyPreviewToClipboard; }
  void SetCopyPreviewToClipboard(Boolean value);
  Boolean GetExpandMasterRowOnDblClick() const { return FExpandMasterRowOnDblClick; }
  void SetExpandMasterRowOnDblClick(Boolean value);

 private:
  Boolean FColumnHeaderHints = true;
  Boolean FCopyPreviewToClipboard = true;
  Boolean FExpandMasterRowOnDblClick = true;
};

class TcxGridTableFiltering : public TcxCustomGridTableFiltering {
  ORV_CLASS(TcxGridTableFiltering, TcxCustomGridTableFiltering)
 public:
  explicit TcxGridTableFiltering(TcxCustomGridView* gridView) : TcxCustomGridTableFiltering(gridView) {}
  // The item settings under column names.
  Boolean GetColumnFilteredItemsList() const { return GetItemFilteredItemsList(); }
  void SetColumnFilteredItemsList(Boolean value) { SetItemFilteredItemsList(value); }
  Boolean GetColumnMRUItemsList() const { return GetItemMRUItemsList(); }
  void SetColumnMRUItemsList(Boolean value) { SetItemMRUItemsList(value); }
  Integer GetColumnMRUItemsListCount() const { return GetItemMRUItemsListCount(); }
  void SetColumnMRUItemsListCount(Integer value) { SetItemMRUItemsListCount(value); }
  TcxGridItemFilterPopupOptions* GetColumnPopup() const { return GetItemPopup(); }
  void SetColumnPopup(TcxGridItemFilterPopupOptions* value) { SetItemPopup(value); }

 protected:
  void DefineProperties(TFiler* filer) override;

 private:
  void ReadColumnPopupDropDownWidth(TReader* reader);
  void ReadColumnPopupMaxDropDownItemCount(TReader* reader);
};

class TcxGridTableOptionsCustomize : public TcxCustomGridTableOptionsCustomize {
  ORV_CLASS(TcxGridTableOptionsCustomize, TcxCustomGridTableOptionsCustomize)
 public:
  explicit TcxGridTableOptionsCustomize(TcxCustomGridView* gridView) : TcxCustomGridTableOptionsCustomize(gridView) {}
  void Assign(TPersistent* source) override;

  Boolean GetColumnFiltering() const { return GetItemFiltering(); }
  void SetColumnFiltering(Boolean value) { SetItemFiltering(value); }
  Boolean GetColumnGrouping() const { return GetItemGrouping(); }
  void SetColumnGrouping(Boolean value) { SetItemGrouping(value); }
  Boolean GetColumnHiding() const { return GetItemHiding(); }
  void SetColumnHiding(Boolean value) { SetItemHiding(value); }
  Boolean GetColumnHidingOnGrouping() const { return FColumnHidingOnGrouping; }
  void SetColumnHidingOnGrouping(Boolean value);
  Boolean GetColumnHorzSizing() const { return FColumnHorzSizing; }
  void SetColumnHorzSizing(Boolean value);
  Boolean GetColumnMoving() const { return GetItemMoving(); }
  void SetColumnMoving(Boolean value) { SetItemMoving(value); }
  Boolean GetColumnSorting() const { return GetItemSorting(); }
  void SetColumnSorting(Boolean value) { SetItemSorting(value); }
  Boolean GetColumnsQuickCustomization() const { return GetItemsQuickCustomization(); }
  void SetColumnsQuickCustomization(Boolean value) { SetItemsQuickCustomization(value); }
  Integer GetColumnsQuickCustomizationMaxDropDownCount() const { return GetItemsQuickCustomizationMaxDropDownCount(); }
  void SetColumnsQuickCustomizationMaxDropDownCount(Integer value) { SetItemsQuickCustomizationMaxDropDownCount(value); }
  TcxGridQuickCustomizationReordering GetColumnsQuickCustomizationReordering() const {
    return GetItemsQuickCustomizationReordering();
  }
  void SetColumnsQuickCustomizationReordering(TcxGridQuickCustomizationReordering value) {
    SetItemsQuickCustomizationReordering(value);
  }
  Boolean GetDataRowSizing() const { return FDataRowSizing; }
  void SetDataRowSizing(Boolean value);
  Boolean GetGroupBySorting() const { return FGroupBySorting; }
  void SetGroupBySorting(Boolean value);
  Boolean GetGroupRowSizing() const { return FGroupRowSizing; }
  void SetGroupRowSizing(Boolean value);

 private:
  Boolean FColumnHidingOnGrouping = true;
  Boolean FColumnHorzSizing = true;
  Boolean FDataRowSizing = false;
  Boolean FGroupBySorting = false;
  Boolean FGroupRowSizing = false;
};

class TcxGridTableOptionsData : public TcxCustomGridTableOptionsData {
  ORV_CLASS(TcxGridTableOptionsData, TcxCustomGridTableOptionsData)
 public:
  explicit TcxGridTableOptionsData(TcxCustomGridView* gridView) : TcxCustomGridTableOptionsData(gridView) {}
};

class TcxGridTableOptionsSelection : public TcxCustomGridTableOptionsSelection {
  ORV_CLASS(TcxGridTableOptionsSelection, TcxCustomGridTableOptionsSelection)
 public:
  explicit TcxGridTableOptionsSelection(TcxCustomGridView* gridView) : TcxCustomGridTableOptionsSelection(gridView) {}
  void Assign(TPersistent* source) override;

  Boolean GetCellMultiSelect() const { return FCellMultiSelect; }
  void SetCellMultiSelect(Boolean value);
  // While CellMultiSelect is on, cell select, no invert select and multi select are held.
  void SetCellSelect(Boolean value) override;
  void SetInvertSelect(Boolean value) override;
  void SetMultiSelect(Boolean value) override;
  Boolean IsCellSelectStored() const { return !FCellMultiSelect && !GetCellSelect(); }
  Boolean IsInvertSelectStored() override { return !FCellMultiSelect && inherited::IsInvertSelectStored(); }
  Boolean IsMultiSelectStored() override { return !FCellMultiSelect && inherited::IsMultiSelectStored(); }

 private:
  Boolean FCellMultiSelect = false;
};

// The options of a row above the data rows (the filter row, the new item row).
class TcxGridSpecialRowOptions : public TcxCustomGridOptions {
  ORV_CLASS(TcxGridSpecialRowOptions, TcxCustomGridOptions)
 public:
  explicit TcxGridSpecialRowOptions(TcxCustomGridView* gridView);
  void Assign(TPersistent* source) override;
  TcxGridTableView* GetGridTableView() const;

  AnsiString GetInfoText() const;
  void SetInfoText(const AnsiString& value);
  Boolean IsInfoTextStored() const { return FIsInfoTextAssigned; }
  TColor GetSeparatorColor() const { return FSeparatorColor; }
  void SetSeparatorColor(TColor value);
  Integer GetSeparatorWidth() const { return FSeparatorWidth; }
  void SetSeparatorWidth(Integer value);
  Boolean GetVisible() const { return FVisible; }
  void SetVisible(Boolean value);
  // SeparatorColor, or the look and feel's header colour for clDefault.
  TColor GetSeparatorColorInEffect() const;

  virtual AnsiString DefaultInfoText() const = 0;

 protected:
  virtual void VisibleChanged() = 0;

 private:
  AnsiString FInfoText;
  Boolean FIsInfoTextAssigned = false;
  TColor FSeparatorColor = clDefault;
  Integer FSeparatorWidth = 6;
  Boolean FVisible = false;
};

class TcxGridFilterRowOptions : public TcxGridSpecialRowOptions {
  ORV_CLASS(TcxGridFilterRowOptions, TcxGridSpecialRowOptions)
 public:
  explicit TcxGridFilterRowOptions(TcxCustomGridView* gridView);
  void Assign(TPersistent* source) override;
  AnsiString DefaultInfoText() const override;

  TcxGridFilterRowApplyChangesMode GetApplyChanges() const { return FApplyChanges; }
  void SetApplyChanges(TcxGridFilterRowApplyChangesMode value);

 protected:
  void VisibleChanged() override;

 private:
  TcxGridFilterRowApplyChangesMode FApplyChanges = fracOnCellExit;
};

class TcxGridNewItemRowOptions : public TcxGridSpecialRowOptions {
  ORV_CLASS(TcxGridNewItemRowOptions, TcxGridSpecialRowOptions)
 public:
  explicit TcxGridNewItemRowOptions(TcxCustomGridView* gridView);
  AnsiString DefaultInfoText() const override;

 protected:
  void VisibleChanged() override;
};

using TcxGridFilterRowOptionsClass = orv::ClassOf<TcxGridFilterRowOptions>;
using TcxGridNewItemRowOptionsClass = orv::ClassOf<TcxGridNewItemRowOptions>;

class TcxGridTableOptionsView : public TcxCustomGridTableOptionsView {
  ORV_CLASS(TcxGridTableOptionsView, TcxCustomGridTableOptionsView)
 public:
  explicit TcxGridTableOptionsView(TcxCustomGridView* gridView);
  void Assign(TPersistent* source) override;
  TcxGridTableView* GetGridTableView() const;

  Boolean GetColumnAutoWidth() const { return FColumnAutoWidth; }
  void SetColumnAutoWidth(Boolean value);
  Integer GetDataRowHeight() const { return FDataRowHeight; }
  void SetDataRowHeight(Integer value);
  // False when the view's level hides tabs of empty details.
  Boolean GetExpandButtonsForEmptyDetails() const;
  void SetExpandButtonsForEmptyDetails(Boolean value);
  Boolean GetFooter() const { return FFooter; }
  void SetFooter(Boolean value);
  Boolean GetFooterAutoHeight() const { return FFooterAutoHeight; }
  void SetFooterAutoHeight(Boolean value);
  Boolean GetFooterMultiSummaries() const { return FFooterMultiSummaries; }
  void SetFooterMultiSummaries(Boolean value);
  TColor GetGridLineColor() const { return FGridLineColor; }
  void SetGridLineColor(TColor value);
  TcxGridLines GetGridLines() const { return FGridLines; }
  void SetGridLines(TcxGridLines value);
  Boolean GetGroupByBox() const { return FGroupByBox; }
  void SetGroupByBox(Boolean value);
  Boolean GetGroupFooterMultiSummaries() const { return FGroupFooterMultiSummaries; }
  void SetGroupFooterMultiSummaries(Boolean value);
  TcxGridGroupFootersMode GetGroupFooters() const { return FGroupFooters; }
  void SetGroupFooters(TcxGridGroupFootersMode value);
  TcxGridGroupFootersMode GetPrevGroupFooters() const { return FPrevGroupFooters; }
  Integer GetGroupRowHeight() const { return FGroupRowHeight; }
  void SetGroupRowHeight(Integer value);
  TcxGridGroupRowStyle GetGroupRowStyle() const { return FGroupRowStyle; }
  void SetGroupRowStyle(TcxGridGroupRowStyle value);
  TcxGridGroupSummaryLayout GetGroupSummaryLayout() const { return FGroupSummaryLayout; }
  void SetGroupSummaryLayout(TcxGridGroupSummaryLayout value);
  Boolean GetHeader() const { return FHeader; }
  void SetHeader(Boolean value);
  Boolean GetHeaderAutoHeight() const { return GetItemCaptionAutoHeight(); }
  void SetHeaderAutoHeight(Boolean value) { SetItemCaptionAutoHeight(value); }
  Boolean GetHeaderEndEllipsis() const { return GetItemCaptionEndEllipsis(); }
  void SetHeaderEndEllipsis(Boolean value) { SetItemCaptionEndEllipsis(value); }
  Integer GetHeaderHeight() const { return FHeaderHeight; }
  void SetHeaderHeight(Integer value);
  Boolean GetIndicator() const { return FIndicator; }
  void SetIndicator(Boolean value);
  Integer GetIndicatorWidth() const { return FIndicatorWidth; }
  void SetIndicatorWidth(Integer value);
  TColor GetRowSeparatorColor() const { return FRowSeparatorColor; }
  void SetRowSeparatorColor(TColor value);
  Integer GetRowSeparatorWidth() const { return FRowSeparatorWidth; }
  void SetRowSeparatorWidth(Integer value);
  TcxGridShowItemFilterButtons GetShowColumnFilterButtons() const { return GetShowItemFilterButtons(); }
  void SetShowColumnFilterButtons(TcxGridShowItemFilterButtons value) { SetShowItemFilterButtons(value); }

  // ---- Values in effect ----
  TColor GetGridLineColorInEffect() const;
  TColor GetRowSeparatorColorInEffect() const;
  Boolean GetFooterMultiSummariesInEffect() const;
  Boolean GetGroupFooterMultiSummariesInEffect() const;
  TcxGridGroupSummaryLayout GetGroupSummaryLayoutInEffect() const;

 protected:
  void DefineProperties(TFiler* filer) override;

 private:
  // Raises a positive row height to the least the rows' layout allows.
  Integer CheckRowHeight(Integer value, Boolean group) const;
  void ReadNewItemRow(TReader* reader);
  void ReadNewItemRowInfoText(TReader* reader);
  void ReadNewItemRowSeparatorColor(TReader* reader);
  void ReadNewItemRowSeparatorWidth(TReader* reader);

  Boolean FColumnAutoWidth = false;
  Integer FDataRowHeight = 0;
  Boolean FExpandButtonsForEmptyDetails = true;
  Boolean FFooter = false;
  Boolean FFooterAutoHeight = false;
  Boolean FFooterMultiSummaries = false;
  TColor FGridLineColor = clDefault;
  TcxGridLines FGridLines = glBoth;
  Boolean FGroupByBox = true;
  Boolean FGroupFooterMultiSummaries = false;
  TcxGridGroupFootersMode FGroupFooters = gfInvisible;
  TcxGridGroupFootersMode FPrevGroupFooters = gfVisibleWhenExpanded;
  Integer FGroupRowHeight = 0;
  TcxGridGroupRowStyle FGroupRowStyle = grsStandard;
  TcxGridGroupSummaryLayout FGroupSummaryLayout = gslStandard;
  Boolean FHeader = true;
  Integer FHeaderHeight = 0;
  Boolean FIndicator = false;
  Integer FIndicatorWidth = 12;
  TColor FRowSeparatorColor = clDefault;
  Integer FRowSeparatorWidth = 0;
};

// A line under (or over) each data row showing the value of one column.
class TcxGridPreview : public TcxCustomGridOptions {
  ORV_CLASS(TcxGridPreview, TcxCustomGridOptions)
 public:
  explicit TcxGridPreview(TcxCustomGridView* gridView) : TcxCustomGridOptions(gridView) {}
  void Assign(TPersistent* source) override;
  TcxGridTableView* GetGridTableView() const;

  Boolean GetAutoHeight() const { return FAutoHeight; }
  void SetAutoHeight(Boolean value);
  TcxGridColumn* GetColumn() const { return FColumn; }
  // A column of another view is taken as nil.
  void SetColumn(TcxGridColumn* value);
  Integer GetLeftIndent() const { return FLeftIndent; }
  void SetLeftIndent(Integer value);
  Integer GetMaxLineCount() const { return FMaxLineCount; }
  void SetMaxLineCount(Integer value);
  TcxGridPreviewPlace GetPlace() const { return FPlace; }
  void SetPlace(TcxGridPreviewPlace value);
  Integer GetRightIndent() const { return FRightIndent; }
  void SetRightIndent(Integer value);
  Boolean GetVisible() const { return FVisible; }
  void SetVisible(Boolean value);
  // Shown: visible with a column.
  Boolean GetActive() const { return FVisible && FColumn != nullptr; }
  // The view tells it that the column goes.
  void ColumnRemoved(TcxGridColumn* column);

 private:
  void PropertyChanged();

  Boolean FAutoHeight = true;
  TcxGridColumn* FColumn = nullptr;
  Integer FLeftIndent = 20;
  Integer FMaxLineCount = 3;
  TcxGridPreviewPlace FPlace = ppBottom;
  Integer FRightIndent = 5;
  Boolean FVisible = false;
};

using TcxGridPreviewClass = orv::ClassOf<TcxGridPreview>;

class TcxGridTableBackgroundBitmaps : public TcxCustomGridTableBackgroundBitmaps {
  ORV_CLASS(TcxGridTableBackgroundBitmaps, TcxCustomGridTableBackgroundBitmaps)
 public:
  explicit TcxGridTableBackgroundBitmaps(TcxCustomGridView* gridView) : TcxCustomGridTableBackgroundBitmaps(gridView) {}
  void Assign(TPersistent* source) override;
  Integer GetBitmapStyleIndex(Integer index) override;

  TBitmap* GetFooter() { return GetValue(bbFooter); }
  void SetFooter(TBitmap* value) { SetValue(bbFooter, value); }
  TBitmap* GetHeader() { return GetValue(bbHeader); }
  void SetHeader(TBitmap* value) { SetValue(bbHeader, value); }
  TBitmap* GetGroup() { return GetValue(bbGroup); }
  void SetGroup(TBitmap* value) { SetValue(bbGroup, value); }
  TBitmap* GetGroupByBox() { return GetValue(bbGroupByBox); }
  void SetGroupByBox(TBitmap* value) { SetValue(bbGroupByBox, value); }
  TBitmap* GetIndicator() { return GetValue(bbIndicator); }
  void SetIndicator(TBitmap* value) { SetValue(bbIndicator, value); }
  TBitmap* GetPreview() { return GetValue(bbPreview); }
  void SetPreview(TBitmap* value) { SetValue(bbPreview, value); }
};

class TcxGridTableDateTimeHandling : public TcxCustomGridTableDateTimeHandling {
  ORV_CLASS(TcxGridTableDateTimeHandling, TcxCustomGridTableDateTimeHandling)
 public:
  explicit TcxGridTableDateTimeHandling(TcxCustomGridView* gridView) : TcxCustomGridTableDateTimeHandling(gridView) {}
};

// ==== Styles ==================================================================================

class TcxGridTableViewStyles : public TcxCustomGridTableViewStyles {
  ORV_CLASS(TcxGridTableViewStyles, TcxCustomGridTableViewStyles)
 public:
  explicit TcxGridTableViewStyles(TPersistent* owner) : TcxCustomGridTableViewStyles(owner) {}
  void Assign(TPersistent* source) override;
  TcxGridTableView* GetGridTableView() const;

  // ---- Parameter lookups ----
  virtual void GetFooterParams(TcxCustomGridRow* row, TcxGridColumn* column, Integer footerGroupLevel,
                               TcxDataSummaryItem* summaryItem, TcxViewParams& params);
  virtual void GetFooterCellParams(TcxCustomGridRow* row, TcxGridColumn* column, Integer footerGroupLevel,
                                   TcxDataSummaryItem* summaryItem, TcxViewParams& params);
  virtual void GetGroupParams(TcxCustomGridRecord* record, Integer level, TcxViewParams& params);
  virtual void GetGroupSummaryCellContentParams(TcxGridGroupRow* row, TcxDataSummaryItem* summaryItem,
                                                TcxViewParams& params);
  virtual void GetGroupSummaryParams(TcxCustomGridRecord* record, TcxDataSummaryItem* summaryItem,
                                     TcxViewParams& params);
  virtual void GetHeaderParams(TcxGridColumn* column, TcxViewParams& params);
  virtual void GetPreviewParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item, TcxViewParams& params);
  void GetContentParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item, TcxViewParams& params) override;
  void GetCellContentParams(TcxCustomGridRecord* record, TObject* item, TcxViewParams& params) override;

  TcxStyle* GetFilterRowInfoText() const { return GetStyleValue(vsFilterRowInfoText); }
  void SetFilterRowInfoText(TcxStyle* value) { SetStyleValue(vsFilterRowInfoText, value); }
  TcxStyle* GetFooter() const { return GetStyleValue(vsFooter); }
  void SetFooter(TcxStyle* value) { SetStyleValue(vsFooter, value); }
  TcxStyle* GetGroup() const { return GetStyleValue(vsGroup); }
  void SetGroup(TcxStyle* value) { SetStyleValue(vsGroup, value); }
  TcxStyle* GetGroupByBox() const { return GetStyleValue(vsGroupByBox); }
  void SetGroupByBox(TcxStyle* value) { SetStyleValue(vsGroupByBox, value); }
  TcxStyle* GetGroupFooterSortedSummary() const { return GetStyleValue(vsGroupFooterSortedSummary); }
  void SetGroupFooterSortedSummary(TcxStyle* value) { SetStyleValue(vsGroupFooterSortedSummary, value); }
  TcxStyle* GetGroupSortedSummary() const { return GetStyleValue(vsGroupSortedSummary); }
  void SetGroupSortedSummary(TcxStyle* value) { SetStyleValue(vsGroupSortedSummary, value); }
  TcxStyle* GetGroupSummary() const { return GetStyleValue(vsGroupSummary); }
  void SetGroupSummary(TcxStyle* value) { SetStyleValue(vsGroupSummary, value); }
  TcxStyle* GetHeader() const { return GetStyleValue(vsHeader); }
  void SetHeader(TcxStyle* value) { SetStyleValue(vsHeader, value); }
  TcxStyle* GetNewItemRowInfoText() const { return GetStyleValue(vsNewItemRowInfoText); }
  void SetNewItemRowInfoText(TcxStyle* value) { SetStyleValue(vsNewItemRowInfoText, value); }
  TcxStyle* GetIndicator() const { return GetStyleValue(vsIndicator); }
  void SetIndicator(TcxStyle* value) { SetStyleValue(vsIndicator, value); }
  TcxStyle* GetPreview() const { return GetStyleValue(vsPreview); }
  void SetPreview(TcxStyle* value) { SetStyleValue(vsPreview, value); }

  const TcxGridGetCellStyleEvent& GetOnGetFooterStyle() const { return FOnGetFooterStyle; }
  void SetOnGetFooterStyle(const TcxGridGetCellStyleEvent& value);
  const TcxGridGetFooterStyleExEvent& GetOnGetFooterStyleEx() const { return FOnGetFooterStyleEx; }
  void SetOnGetFooterStyleEx(const TcxGridGetFooterStyleExEvent& value);
  const TcxGridGetFooterSummaryStyleEvent& GetOnGetFooterSummaryStyle() const { return FOnGetFooterSummaryStyle; }
  void SetOnGetFooterSummaryStyle(const TcxGridGetFooterSummaryStyleEvent& value);
  const TcxGridGetGroupStyleEvent& GetOnGetGroupStyle() const { return FOnGetGroupStyle; }
  void SetOnGetGroupStyle(const TcxGridGetGroupStyleEvent& value);
  const TcxGridGetGroupSummaryStyleEvent& GetOnGetGroupSummaryStyle() const { return FOnGetGroupSummaryStyle; }
  void SetOnGetGroupSummaryStyle(const TcxGridGetGroupSummaryStyleEvent& value);
  const TcxGridGetHeaderStyleEvent& GetOnGetHeaderStyle() const { return FOnGetHeaderStyle; }
  void SetOnGetHeaderStyle(const TcxGridGetHeaderStyleEvent& value);
  const TcxGridGetCellStyleEvent& GetOnGetPreviewStyle() const { return FOnGetPreviewStyle; }
  void SetOnGetPreviewStyle(const TcxGridGetCellStyleEvent& value);

 protected:
  void GetDefaultStyleParams(Integer index, TObject* data, TcxViewParams& params) override;

 private:
  TcxGridGetCellStyleEvent FOnGetFooterStyle;
  TcxGridGetFooterStyleExEvent FOnGetFooterStyleEx;
  TcxGridGetFooterSummaryStyleEvent FOnGetFooterSummaryStyle;
  TcxGridGetGroupStyleEvent FOnGetGroupStyle;
  TcxGridGetGroupSummaryStyleEvent FOnGetGroupSummaryStyle;
  TcxGridGetHeaderStyleEvent FOnGetHeaderStyle;
  TcxGridGetCellStyleEvent FOnGetPreviewStyle;
  // Guards the sorted group summary lookup against running into itself.
  Boolean FInSortedGroupSummaryLookup = false;
};

// A named set of table view styles kept in a style repository.
class TcxGridTableViewStyleSheet : public TcxCustomStyleSheet {
  ORV_CLASS(TcxGridTableViewStyleSheet, TcxCustomStyleSheet)
 public:
  explicit TcxGridTableViewStyleSheet(TComponent* owner);
  TcxGridTableViewStyles* GetStylesValue() const;
  void SetStylesValue(TcxGridTableViewStyles* value);
  TcxCustomStylesClass StylesClass() const override { return TcxGridTableViewStyles::StaticClass(); }
};

// ==== The view ================================================================================

class TcxGridTableView : public TcxCustomGridTableView {
  ORV_CLASS(TcxGridTableView, TcxCustomGridTableView)
 public:
  explicit TcxGridTableView(TComponent* owner);

  // ---- Handlers and options ----
  TcxGridDataController* GetDataController() const;
  void SetDataController(TcxGridDataController* value);
  TcxGridViewData* GetViewData() const;
  TcxGridTableOptionsBehavior* GetOptionsBehavior() const;
  void SetOptionsBehavior(TcxGridTableOptionsBehavior* value);
  TcxGridTableOptionsCustomize* GetOptionsCustomize() const;
  void SetOptionsCustomize(TcxGridTableOptionsCustomize* value);
  TcxGridTableOptionsData* GetOptionsData() const;
  void SetOptionsData(TcxGridTableOptionsData* value);
  TcxGridTableOptionsSelection* GetOptionsSelection() const;
  void SetOptionsSelection(TcxGridTableOptionsSelection* value);
  TcxGridTableOptionsView* GetOptionsView() const;
  void SetOptionsView(TcxGridTableOptionsView* value);
  TcxGridTableViewStyles* GetStyles() const;
  void SetStyles(TcxGridTableViewStyles* value);
  TcxGridTableBackgroundBitmaps* GetBackgroundBitmaps() const;
  void SetBackgroundBitmaps(TcxGridTableBackgroundBitmaps* value);
  TcxGridTableDateTimeHandling* GetDateTimeHandling() const;
  void SetDateTimeHandling(TcxGridTableDateTimeHandling* value);
  TcxGridTableFiltering* GetFiltering() const;
  void SetFiltering(TcxGridTableFiltering* value);
  TcxGridFilterRowOptions* GetFilterRow() const { return FFilterRow; }
  void SetFilterRow(TcxGridFilterRowOptions* value) { FFilterRow->Assign(value); }
  TcxGridNewItemRowOptions* GetNewItemRow() const { return FNewItemRow; }
  void SetNewItemRow(TcxGridNewItemRowOptions* value) { FNewItemRow->Assign(value); }
  TcxGridPreview* GetPreview() const { return FPreview; }
  void SetPreview(TcxGridPreview* value) { FPreview->Assign(value); }
  Boolean GetAllowCellMerging() const { return FAllowCellMerging; }
  void SetAllowCellMerging(Boolean value) { FAllowCellMerging = value; }

  // ---- Columns ----
  Integer GetColumnCount() const { return GetItemCount(); }
  TcxGridColumn* GetColumn(Integer index) const;
  Integer GetVisibleColumnCount() const { return GetVisibleItemCount(); }
  TcxGridColumn* GetVisibleColumn(Integer index) const;
  Integer GetGroupedColumnCount() { return GetGroupedItemCount(); }
  TcxGridColumn* GetGroupedColumn(Integer index);
  TcxGridColumn* CreateColumn();
  // Whether any visible column merges its cells now.
  Boolean IsCellMergingActive();
  // The master view's level has child levels.
  Boolean IsMaster();

  // ---- Events ----
#define ORV_GRID_TABLE_VIEW_EVENT(Type, Name)                  \
  const Type& GetOn##Name() const { return FOn##Name; }        \
  void SetOn##Name(const Type& value) {                        \
    if (FOn##Name == value) return;                            \
    FOn##Name = value;                                         \
    Changed(vcProperty);                                       \
  }
  ORV_GRID_TABLE_VIEW_EVENT(TcxGridColumnEvent, ColumnHeaderClick)
  ORV_GRID_TABLE_VIEW_EVENT(TcxGridColumnEvent, ColumnPosChanged)
  ORV_GRID_TABLE_VIEW_EVENT(TcxGridColumnEvent, ColumnSizeChanged)
  ORV_GRID_TABLE_VIEW_EVENT(TcxGridColumnCustomDrawHeaderEvent, CustomDrawColumnHeader)
  ORV_GRID_TABLE_VIEW_EVENT(TcxGridColumnCustomDrawHeaderEvent, CustomDrawFooterCell)
  ORV_GRID_TABLE_VIEW_EVENT(TcxGridTableCellCustomDrawEvent, CustomDrawGroupCell)
  ORV_GRID_TABLE_VIEW_EVENT(TcxGridGroupSummaryCellCustomDrawEvent, CustomDrawGroupSummaryCell)
  ORV_GRID_TABLE_VIEW_EVENT(TcxGridIndicatorCellCustomDrawEvent, CustomDrawIndicatorCell)
  ORV_GRID_TABLE_VIEW_EVENT(TNotifyEvent, LeftPosChanged)
#undef ORV_GRID_TABLE_VIEW_EVENT

  // ---- Questions the layout answers ----
  // The least height of a data row (a group row) for the current fonts; 0 without a layout.
  virtual Integer GetMinRowHeight(Boolean group);
  // Whether a footer (a group footer) can show several summaries per column.
  virtual Boolean CanShowMultiSummaries(Boolean groupFooter);
  virtual Boolean CanAlignGroupSummariesWithColumns();

  // ---- New virtual operations ----
  virtual Boolean CanCellMerging();
  virtual Boolean CanOffsetHorz();
  virtual Boolean ExpandButtonsDependOnDetailData();
  virtual TcxGridFilterRowOptionsClass GetFilterRowOptionsClass() { return TcxGridFilterRowOptions::StaticClass(); }
  virtual TcxGridNewItemRowOptionsClass GetNewItemRowOptionsClass() {
    return TcxGridNewItemRowOptions::StaticClass();
  }
  virtual TcxGridPreviewClass GetPreviewClass() { return TcxGridPreview::StaticClass(); }
  virtual void DoColumnHeaderClick(TcxGridColumn* column);
  virtual void DoColumnPosChanged(TcxGridColumn* column);
  virtual void DoColumnSizeChanged(TcxGridColumn* column);
  virtual void DoCustomDrawColumnHeader(TcxCanvas* canvas, TcxGridColumnHeaderViewInfo* viewInfo, Boolean& done);
  virtual void DoCustomDrawFooterCell(TcxCanvas* canvas, TcxGridColumnHeaderViewInfo* viewInfo, Boolean& done);
  virtual void DoCustomDrawGroupCell(TcxCanvas* canvas, TcxGridTableCellViewInfo* viewInfo, Boolean& done);
  virtual void DoCustomDrawGroupSummaryCell(TcxCanvas* canvas, TcxCustomGridViewCellViewInfo* viewInfo,
                                            Boolean& done);
  virtual void DoCustomDrawIndicatorCell(TcxCanvas* canvas, TcxCustomGridIndicatorItemViewInfo* viewInfo,
                                         Boolean& done);
  virtual void DoLeftPosChanged();
  Boolean HasCustomDrawColumnHeader() const { return bool(FOnCustomDrawColumnHeader); }
  Boolean HasCustomDrawFooterCell() const { return bool(FOnCustomDrawFooterCell); }
  Boolean HasCustomDrawGroupCell() const { return bool(FOnCustomDrawGroupCell); }
  Boolean HasCustomDrawGroupSummaryCell() const { return bool(FOnCustomDrawGroupSummaryCell); }
  Boolean HasCustomDrawIndicatorCell() const { return bool(FOnCustomDrawIndicatorCell); }

  // ---- Overrides ----
  void CreateOptions() override;
  void DestroyOptions() override;
  void DoAssign(TcxCustomGridView* source) override;
  Boolean GetStoredProperties(TStrings* properties) override;
  void GetStoredPropertyValue(const AnsiString& name, Variant& value) override;
  void SetStoredPropertyValue(const AnsiString& name, const Variant& value) override;
  void AssignLayout(TcxCustomGridView* layoutView) override;
  void PrepareLayoutView(TcxCustomGridView* layoutView) override;
  AnsiString GetLayoutCustomizationCaption() override;
  Boolean SizeDependsOnWidth() override;
  void DetailDataChanged(TcxCustomGridView* detail) override;
  void GetItemsForCopy(std::vector<TcxCustomGridTableItem*>& list, Boolean copyAll) override;
  Boolean IsRecordCellDrawnSelected(TcxCustomGridRecord* record, TcxCustomGridTableItem* item) override;
  Boolean RecordHeightsFixed() override;
  Boolean RecordHeightsVary() override;
  void ItemVisibilityChanged(TcxCustomGridTableItem* item, Boolean value) override;
  void RemoveItem(TcxCustomGridTableItem* item) override;

  TcxCustomGridTableItemClass GetItemClass() override { return TcxGridColumn::StaticClass(); }
  TcxCustomGridControllerClass GetControllerClass() override;
  TcxCustomDataControllerClass GetDataControllerClass() override;
  TcxCustomGridViewDataClass GetViewDataClass() override { return TcxGridViewData::StaticClass(); }
  // The layout classes (view info and painter) come with the table view's layout.
  TcxCustomGridPainterClass GetPainterClass() override;
  TcxCustomGridViewInfoClass GetViewInfoClass() override;
  TcxCustomGridBackgroundBitmapsClass GetBackgroundBitmapsClass() override;
  TcxCustomGridTableDateTimeHandlingClass GetDateTimeHandlingClass() override;
  TcxCustomGridTableFilteringClass GetFilteringClass() override;
  TcxCustomGridOptionsBehaviorClass GetOptionsBehaviorClass() override;
  TcxCustomGridTableOptionsCustomizeClass GetOptionsCustomizeClass() override;
  TcxCustomGridOptionsDataClass GetOptionsDataClass() override;
  TcxCustomGridOptionsSelectionClass GetOptionsSelectionClass() override;
  TcxCustomGridOptionsViewClass GetOptionsViewClass() override;
  TcxCustomGridViewStylesClass GetStylesClass() override;
  TcxDataSummaryItemClass GetSummaryItemClass() override { return TcxGridTableSummaryItem::StaticClass(); }
  TcxDataSummaryGroupItemLinkClass GetSummaryGroupItemLinkClass() override {
    return TcxGridTableSummaryGroupItemLink::StaticClass();
  }

 private:
  Boolean FAllowCellMerging = true;
  TcxGridFilterRowOptions* FFilterRow = nullptr;
  TcxGridNewItemRowOptions* FNewItemRow = nullptr;
  TcxGridPreview* FPreview = nullptr;
  TcxGridColumnEvent FOnColumnHeaderClick;
  TcxGridColumnEvent FOnColumnPosChanged;
  TcxGridColumnEvent FOnColumnSizeChanged;
  TcxGridColumnCustomDrawHeaderEvent FOnCustomDrawColumnHeader;
  TcxGridColumnCustomDrawHeaderEvent FOnCustomDrawFooterCell;
  TcxGridTableCellCustomDrawEvent FOnCustomDrawGroupCell;
  TcxGridGroupSummaryCellCustomDrawEvent FOnCustomDrawGroupSummaryCell;
  TcxGridIndicatorCellCustomDrawEvent FOnCustomDrawIndicatorCell;
  TNotifyEvent FOnLeftPosChanged;
};

using TcxGridTableViewClass = orv::ClassOf<TcxGridTableView>;
