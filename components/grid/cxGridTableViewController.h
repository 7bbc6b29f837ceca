// The grid table view's controller: the horizontal scroll position, the filter and new-item rows'
// focus, cell multi-select by columns, sorting and grouping by a header click, the full keyboard
// map of rows and cells and the table's scroll bars; and the drag-and-drop objects of the view's
// parts: moving a column between the header, the group-by box and the customization form, sizing
// a column's width and a row's height.
#pragma once

#include <vector>

#include "components/grid/cxGridTableView.h"

class TcxGridColumnHeaderViewInfo;
class TcxGridTableViewInfo;
class TcxGridColumnContainerViewInfo;
class TcxCustomGridRowViewInfo;

class TcxGridTableController : public TcxCustomGridTableController {
  ORV_CLASS(TcxGridTableController, TcxCustomGridTableController)
 public:
  explicit TcxGridTableController(TcxCustomGridView* gridView) : TcxCustomGridTableController(gridView) {}

  TcxGridTableView* GridView() const;

  // ---- New virtual operations ----
  virtual Boolean IsColumnFixedDuringHorzSizing(TcxGridColumn* column);
  virtual void LeftPosChanged();
  virtual Boolean FocusNextFromSpecialRow();
  virtual Boolean FocusPrevToSpecialRow();
  virtual TcxDragAndDropObjectClass GetColumnHeaderMovingObjectClass();
  virtual Boolean NeedsCellSelectionUpdate(TcxGridColumn* prevFocusedColumn);
  virtual void UpdateCellSelection(TShiftState shift);
  virtual Boolean IsCellMultiSelect();
  virtual Boolean IsSpecialRowFocused();
  // The view is scrolled to its end and its last row is an expanded master row whose details are
  // cut off: one more scroll position lets them come into view.
  virtual Boolean NeedsExtraScrollForLastDetail(Boolean force);
  Integer GetMaxTopRecordIndex() override;
  Integer GetScrollBarRecordCount() override;

  // ---- Special rows ----
  // The filter row's Selected flag changes: focusing it leaves the data controller without a
  // focused row; leaving it hides its editor, keeping the typed value.
  virtual void SpecialRowFocusChanging(Boolean focusing);
  virtual void SpecialRowFocusChanged();
  // Set while the filter row writes a value into the filter: the rows it changes do not take
  // the focus away from the filter row.
  Boolean GetApplyingFilterRowValue() const { return FApplyingFilterRowValue; }
  void SetApplyingFilterRowValue(Boolean value) { FApplyingFilterRowValue = value; }
  // The focused filter row, else the base's focused record.
  TcxCustomGridRecord* GetFocusedRecord() override;
  void FocusRecord(TcxCustomGridRecord* record) override;
  void FocusedRecordChanged(Integer prevFocusedRecordIndex, Integer focusedRecordIndex,
                            Boolean newItemRecordFocusingChanged) override;
  void FocusLost() override;
  TcxGridEditingControllerClass GetEditingControllerClass() override;

  // ---- Horizontal position ----
  Integer GetLeftPos() const { return FLeftPos; }
  // Clamped to 0 .. data width - visible data width.
  void SetLeftPos(Integer value);
  // Brings a visible column's header into the data area horizontally.
  void MakeItemVisible(TcxCustomGridTableItem* item);

  // ---- Columns ----
  TcxGridColumn* GetFocusedColumn() const;
  TcxGridColumn* GetCellSelectionAnchor() const { return FCellSelectionAnchor; }
  void SetCellSelectionAnchor(TcxGridColumn* value) { FCellSelectionAnchor = value; }
  // The header the left button went down on, until it comes up.
  TcxGridColumn* GetPressedColumn() const { return FPressedColumn; }
  void SetPressedColumn(TcxGridColumn* value);
  Integer GetSelectedColumnCount() const { return Integer(FSelectedColumns.size()); }
  TcxGridColumn* GetSelectedColumn(Integer index) const { return FSelectedColumns[std::size_t(index)]; }
  // The columns from first to last in visible order (nil: the first, resp. the last column).
  void SelectColumnRange(TcxGridColumn* first, TcxGridColumn* last);
  void SelectAllColumns() { SelectColumnRange(nullptr, nullptr); }
  void ClearColumnSelection();
  // Keeps the list in step with a column's Selected flag.
  void ColumnSelectionChanged(TcxGridColumn* column, Boolean selected);
  void UngroupAll();
  // What a click on a column header does: sorting (Shift adds the column, Ctrl removes it) and,
  // with GroupBySorting, grouping by the first sorted column.
  void DoColumnHeaderClickAction(TcxGridColumn* column, TShiftState shift);

  // ---- Overrides ----
  void BeforeDestruction() override;
  void SetFocusedItem(TcxCustomGridTableItem* value) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void DoKeyDown(Word& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void CancelMouseOperation() override;
  void EndDragAndDrop(Boolean accepted) override;
  Boolean CanScrollData(TcxDirection direction) override;
  void ScrollData(TcxDirection direction) override;
  void CheckScrolling(const TPoint& point) override;
  // 15-pixel zones at the records' top and bottom edges, then at the data area's left and right.
  TcxDirection GetDragScrollDirection(Integer x, Integer y) override;
  void CheckCustomizationFormBounds(TRect& rect) override;
  TcxCustomGridPopupClass GetItemsCustomizationPopupClass() override;
  TClass GetCustomizationFormClass() override;
  TCustomForm* CreateCustomizationForm() override;
  void RefreshCustomizationForm() override;
  Boolean IsPixelScrollBar(TScrollBarKind kind) override { return kind == sbHorizontal; }
  void InitScrollBarsParameters() override;
  void Scroll(TScrollBarKind kind, TScrollCode code, Integer& position) override;
  void DoRangeSelection(Boolean replace) override;
  void DoSingleSelection() override;
  void MultiSelectKeyDown(Word& key, TShiftState shift) override;
  Boolean CanPostponeRecordSelection(TShiftState shift) override;
  void CheckTopRecordIndex(Integer& index) override;

 private:
  // The visible data area's width (the client less the indicator).
  Integer VisibleDataWidth();
  Integer DataWidth();
  TcxGridColumn* FCellSelectionAnchor = nullptr;
  Boolean FApplyingFilterRowValue = false;
  Integer FLeftPos = 0;
  TcxGridColumn* FPressedColumn = nullptr;
  std::vector<TcxGridColumn*> FSelectedColumns;
};

// The table's editing controller: in the filter row the editor edits the column's filter
// condition, not a record; with immediate applying every change filters at once.
class TcxGridTableEditingController : public TcxGridEditingController {
  ORV_CLASS(TcxGridTableEditingController, TcxGridEditingController)
 public:
  explicit TcxGridTableEditingController(TcxCustomGridTableController* controller)
      : TcxGridEditingController(controller) {}
  Boolean CanInitEditing() override;
  Boolean CanUpdateEditValue() override;
  void DoEditChanged() override;
  void DoEditKeyDown(Word& key, TShiftState shift) override;
  Boolean GetHideEditOnFocusedRecordChange() override;
  void InitEdit() override;
  void UpdateData() override;
  Boolean IsApplyingImmediateFiltering() const { return FApplyingImmediateFiltering; }

 private:
  Boolean IsFilterRowFocused();
  Boolean FApplyingImmediateFiltering = false;
};

// ==== Item containers and moving objects =========================================================

// A position in an item container: the index of the item before which a moved item would land
// (past the last item: the end of the container).
class TcxGridItemContainerZone : public TObject {
  ORV_CLASS(TcxGridItemContainerZone, TObject)
 public:
  explicit TcxGridItemContainerZone(Integer itemIndex) : FItemIndex(itemIndex) {}
  virtual Boolean IsEqual(TcxGridItemContainerZone* other) { return other && other->FItemIndex == FItemIndex; }
  Integer GetItemIndex() const { return FItemIndex; }

 private:
  Integer FItemIndex;
};

// A moving object that lets the view scroll while the pointer is near its edges.
class TcxCustomGridTableMovingObject : public TcxCustomGridMovingObject {
  ORV_CLASS(TcxCustomGridTableMovingObject, TcxCustomGridMovingObject)
 public:
  explicit TcxCustomGridTableMovingObject(TcxControl* control) : TcxCustomGridMovingObject(control) {}
  void DragAndDrop(const TPoint& point, Boolean& accepted) override;
  TcxCustomGridTableController* TableController() const;
};

// Moves one table item: which container and which position it would land in.
class TcxCustomGridTableItemMovingObject : public TcxCustomGridTableMovingObject {
  ORV_CLASS(TcxCustomGridTableItemMovingObject, TcxCustomGridTableMovingObject)
 public:
  explicit TcxCustomGridTableItemMovingObject(TcxControl* control) : TcxCustomGridTableMovingObject(control) {}
  ~TcxCustomGridTableItemMovingObject() override;

  virtual void FindDestination(TcxCustomGridHitTest* hitTest, TcxGridItemContainerKind& kind,
                               TcxGridItemContainerZone*& zone);
  virtual void CheckDestinationKind(TcxGridItemContainerKind& kind);

  TWinControl* GetSourceListBox() override;
  Boolean IsSourceCustomizationForm() override { return FSourceItemContainerKind == ckCustomizationForm; }
  void PaintSourceItemFromListBox(TcxCanvas* canvas, const TRect& rect, TObject* item) override;
  void GetSourceItemBounds(TRect& rect) override;
  void BeginDragAndDrop() override;
  void DragAndDrop(const TPoint& point, Boolean& accepted) override;
  void EndDragAndDrop(Boolean accepted) override;

  TcxCustomGridTableItem* SourceItem() const { return static_cast<TcxCustomGridTableItem*>(GetSourceItem()); }
  TcxGridItemContainerKind GetDestItemContainerKind() const { return FDestItemContainerKind; }
  TcxGridItemContainerZone* GetDestZone() const { return FDestZone; }
  TcxGridItemContainerKind GetSourceItemContainerKind() const { return FSourceItemContainerKind; }
  void SetSourceItemContainerKind(TcxGridItemContainerKind value) { FSourceItemContainerKind = value; }

 private:
  void ReplaceDestinationZone(TcxGridItemContainerZone* zone);
  TcxGridItemContainerKind FDestItemContainerKind = ckNone;
  TcxGridItemContainerZone* FDestZone = nullptr;
  TcxGridItemContainerKind FSourceItemContainerKind = ckNone;
};

// Moves a column within the header, into and out of the group-by box and to and from the
// customization form.
class TcxGridColumnHeaderMovingObject : public TcxCustomGridTableItemMovingObject {
  ORV_CLASS(TcxGridColumnHeaderMovingObject, TcxCustomGridTableItemMovingObject)
 public:
  explicit TcxGridColumnHeaderMovingObject(TcxControl* control) : TcxCustomGridTableItemMovingObject(control) {}

  void Init(const TPoint& p, TcxCustomGridHitTest* hitTest) override;
  void FindDestination(TcxCustomGridHitTest* hitTest, TcxGridItemContainerKind& kind,
                       TcxGridItemContainerZone*& zone) override;
  Boolean CanRemove() override;
  Boolean AreArrowsVisible() override;
  void GetArrowsClientRect(TcxArrowPlace place, TRect& rect) override;
  void GetArrowAreaBounds(TRect& rect) override;
  TcxCustomGridCellViewInfo* GetSourceItemViewInfo() override;
  void EndDragAndDrop(Boolean accepted) override;

  TcxGridColumn* Column() const { return static_cast<TcxGridColumn*>(GetSourceItem()); }
  TcxGridTableViewInfo* TableViewInfo() const;
  // Whether a drop at the current destination changes anything.
  Boolean IsDropChanging();
};

// ==== Sizing ===================================================================================

// Sizes a column or a row: a 1-pixel mark, inverted on the screen, follows the mouse.
class TcxCustomGridSizingObject : public TcxCustomGridDragAndDropObject {
  ORV_CLASS(TcxCustomGridSizingObject, TcxCustomGridDragAndDropObject)
 public:
  explicit TcxCustomGridSizingObject(TcxControl* control) : TcxCustomGridDragAndDropObject(control) {}

  virtual Integer GetCurrentSize() { return FStartSize + GetDeltaSize(); }
  virtual Integer GetDeltaSize();
  virtual void GetHorzSizingMarkBounds(TRect& rect);
  virtual Boolean IsHorizontalSizing() { return true; }
  virtual void GetSizingItemBounds(TRect& rect) = 0;
  void GetSizingMarkBounds(TRect& rect);
  virtual Integer GetSizingMarkWidth() = 0;
  virtual void GetVertSizingMarkBounds(TRect& rect);

  void Init(const TPoint& p, TcxCustomGridHitTest* hitTest) override;
  void BeginDragAndDrop() override;
  void DragAndDrop(const TPoint& point, Boolean& accepted) override;
  void EndDragAndDrop(Boolean accepted) override;
  void FeedbackStateChanged() override;
  void DrawFeedbackAfterPaint() override;
  void HideFeedbackBeforePaint() override;
  TCursor GetDragAndDropCursor(Boolean accepted) override;

  Integer GetStartSize() const { return FStartSize; }
  Integer GetDestPointX() const { return FDestPointX; }
  Integer GetDestPointY() const { return FDestPointY; }

 protected:
  void SetStartSize(Integer value) { FStartSize = value; }

 private:
  void InvertMark();
  Boolean FMarkDrawn = false;
  TRect FMarkBounds{};
  Integer FDestPointX = 0;
  Integer FDestPointY = 0;
  Integer FStartSize = 0;
};

class TcxCustomGridColumnSizingObject : public TcxCustomGridSizingObject {
  ORV_CLASS(TcxCustomGridColumnSizingObject, TcxCustomGridSizingObject)
 public:
  explicit TcxCustomGridColumnSizingObject(TcxControl* control) : TcxCustomGridSizingObject(control) {}
  void Init(const TPoint& p, TcxCustomGridHitTest* hitTest) override;
  void GetSizingItemBounds(TRect& rect) override;
  Integer GetSizingMarkWidth() override { return 1; }
  TcxGridColumn* Column() const { return FColumn; }
  TcxGridColumnHeaderViewInfo* HeaderCell() const;

 private:
  TcxGridColumn* FColumn = nullptr;
};

class TcxGridColumnHorzSizingObject : public TcxCustomGridColumnSizingObject {
  ORV_CLASS(TcxGridColumnHorzSizingObject, TcxCustomGridColumnSizingObject)
 public:
  explicit TcxGridColumnHorzSizingObject(TcxControl* control) : TcxCustomGridColumnSizingObject(control) {}
  void Init(const TPoint& p, TcxCustomGridHitTest* hitTest) override;
  Integer GetCurrentSize() override;
  void EndDragAndDrop(Boolean accepted) override;
};

class TcxGridRowSizingObject : public TcxCustomGridSizingObject {
  ORV_CLASS(TcxGridRowSizingObject, TcxCustomGridSizingObject)
 public:
  explicit TcxGridRowSizingObject(TcxControl* control) : TcxCustomGridSizingObject(control) {}
  void Init(const TPoint& p, TcxCustomGridHitTest* hitTest) override;
  Boolean IsHorizontalSizing() override { return false; }
  void GetSizingItemBounds(TRect& rect) override;
  Integer GetSizingMarkWidth() override { return 1; }
  Integer GetCurrentSize() override;
  void EndDragAndDrop(Boolean accepted) override;
  TcxCustomGridRecord* Row() const;

 private:
  TcxCustomGridRowViewInfo* RowViewInfo() const;
  // The row is found again by its index: row objects are remade with the data.
  Integer FRowIndex = -1;
};
