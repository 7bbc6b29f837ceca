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
