// The lookup grid: the small read-only grid a lookup editor shows in its drop-down window (a
// header row of captions, one row per record of its own data controller, a focused row, sorting
// by header clicks, keys, mouse, a vertical scroll bar and auto-scrolling), with the view info
// that lays it out and the painter that draws it.
#pragma once

#include <memory>
#include <vector>

#include "components/data/cxCustomData.h"
#include "components/editors/cxEdit.h"
#include "components/foundation/cxClasses.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "platform/runtime/Collection.h"

class TcxCustomLookupGrid;
class TcxLookupGridColumn;
class TcxTimer;

// Which lines the lookup grid draws (the same kinds as the grid table view's lines, scoped here
// because both kinds meet in the grid's sources).
enum class TcxLookupGridLines : Byte { glBoth, glNone, glVertical, glHorizontal };

using TcxLookupGridCloseUpEvent = orv::Event<void(TObject* sender, Boolean accept)>;

// ==== Columns ==================================================================================

class TcxLookupGridDefaultValuesProvider : public TcxCustomEditDefaultValuesProvider {
  ORV_CLASS(TcxLookupGridDefaultValuesProvider, TcxCustomEditDefaultValuesProvider)
 public:
  explicit TcxLookupGridDefaultValuesProvider(TPersistent* owner) : TcxCustomEditDefaultValuesProvider(owner) {}
  Boolean HasDefaultDisplayFormat(Boolean formatsItself) override;
};

class TcxLookupGridColumn : public TcxInterfacedCollectionItem, public IcxEditRepositoryItemListener {
  ORV_CLASS(TcxLookupGridColumn, TcxInterfacedCollectionItem)
 public:
  explicit TcxLookupGridColumn(TCollection* collection);
  void BeforeDestruction() override;
  ~TcxLookupGridColumn() override;
  void Assign(TPersistent* source) override;
  void SetIndex(Integer value) override;

  // ---- IcxEditRepositoryItemListener ----
  void ItemRemoved(TcxEditRepositoryItem* sender) override { SetRepositoryItem(nullptr); }
  void PropertiesChanged(TcxEditRepositoryItem* sender) override { Changed(false); }

  TcxCustomLookupGrid* GetGrid() const;
  TcxCustomEditDefaultValuesProvider* GetDefaultValuesProvider() const { return FDefaultValuesProvider; }

  // ---- Properties ----
  AnsiString GetCaption();
  void SetCaption(const AnsiString& value);
  Boolean GetFixed() const { return FFixed; }
  void SetFixed(Boolean value);
  TAlignment GetHeaderAlignment() const { return FHeaderAlignment; }
  void SetHeaderAlignment(TAlignment value);
  Integer GetMinWidth() const { return FMinWidth; }
  void SetMinWidth(Integer value);
  Boolean GetSorting() const { return FSorting; }
  void SetSorting(Boolean value);
  TcxDataSortOrder GetSortOrder();
  void SetSortOrder(TcxDataSortOrder value);
  TcxEditRepositoryItem* GetRepositoryItem() const { return FRepositoryItem; }
  void SetRepositoryItem(TcxEditRepositoryItem* value);
  Integer GetWidth();
  void SetWidth(Integer value);

  // ---- New virtual operations ----
  virtual void CheckWidth(Integer& width);
  virtual TcxCustomEditDefaultValuesProviderClass GetDefaultValuesProviderClass() {
    return TcxLookupGridDefaultValuesProvider::StaticClass();
  }
  virtual TcxValueTypeClass ReadItemValueType();
  virtual void AssignItemValueType(TcxValueTypeClass value);
  virtual AnsiString GetDefaultCaption() { return {}; }
  virtual TcxEditRepositoryItem* GetDefaultRepositoryItem();
  virtual Integer DefaultColumnWidth() { return 64; }
  virtual TFont* GetColumnFont();
  virtual TcxEditRepositoryItem* GetDefaultOrInternalRepositoryItem();
  virtual TcxEditRepositoryItem* GetEffectiveRepositoryItem();
  virtual Boolean IsFirstColumn() { return GetIndex() == 0; }
  virtual Boolean IsLastColumn();
  virtual void ResetColumnDefaults();

 private:
  AnsiString FCaption;
  TcxCustomEditDefaultValuesProvider* FDefaultValuesProvider = nullptr;
  TAlignment FHeaderAlignment = taLeftJustify;
  TcxEditRepositoryItem* FInternalDefaultRepositoryItem = nullptr;
  Boolean FIsCaptionAssigned = false;
  Boolean FIsWidthAssigned = false;
  Integer FMinWidth = 20;
  Boolean FFixed = false;
  Boolean FSorting = true;
  TcxEditRepositoryItem* FRepositoryItem = nullptr;
  Integer FWidth = 0;
};
using TcxLookupGridColumnClass = orv::ClassOf<TcxLookupGridColumn>;

class TcxLookupGridColumns : public TCollection {
  ORV_CLASS(TcxLookupGridColumns, TCollection)
 public:
  TcxLookupGridColumns(TcxCustomLookupGrid* grid, TCollectionItemClass itemClass)
      : TCollection(itemClass), FGrid(grid) {}
  TPersistent* GetOwner() override;
  void BeginUpdate() override;
  void EndUpdate() override;
  TcxLookupGridColumn* GetColumn(Integer index) const { return static_cast<TcxLookupGridColumn*>(GetItem(index)); }
  TcxCustomLookupGrid* GetGrid() const { return FGrid; }
  void RestoreDefaults();

 protected:
  void Update(TCollectionItem* item) override;

 private:
  TcxCustomLookupGrid* FGrid;
};

// ==== Options and data controller ==============================================================

class TcxLookupGridOptions : public TPersistent {
  ORV_CLASS(TcxLookupGridOptions, TPersistent)
 public:
  using TCreateSignature = void(TcxCustomLookupGrid* grid);
  explicit TcxLookupGridOptions(TcxCustomLookupGrid* grid) : FGrid(grid) {}
  void Assign(TPersistent* source) override;

  Boolean GetAnsiSort();
  void SetAnsiSort(Boolean value);
  Boolean GetCaseInsensitive();
  void SetCaseInsensitive(Boolean value);
  Boolean GetColumnSorting() const { return FColumnSorting; }
  void SetColumnSorting(Boolean value) { FColumnSorting = value; }
  Boolean GetFocusRowOnMouseMove() const { return FFocusRowOnMouseMove; }
  void SetFocusRowOnMouseMove(Boolean value) { FFocusRowOnMouseMove = value; }
  TcxLookupGridLines GetGridLines() const { return FGridLines; }
  void SetGridLines(TcxLookupGridLines value);
  Boolean GetRowSelect() const { return FRowSelect; }
  void SetRowSelect(Boolean value);
  Boolean GetShowHeader() const { return FShowHeader; }
  void SetShowHeader(Boolean value);
  const TNotifyEvent& GetOnChanged() const { return FOnChanged; }
  void SetOnChanged(const TNotifyEvent& value) { FOnChanged = value; }
  TcxCustomLookupGrid* GetGrid() const { return FGrid; }

 protected:
  virtual void Changed();

 private:
  TcxCustomLookupGrid* FGrid;
  Boolean FColumnSorting = true;
  Boolean FFocusRowOnMouseMove = true;
  TcxLookupGridLines FGridLines = TcxLookupGridLines::glBoth;
  Boolean FRowSelect = true;
  Boolean FShowHeader = true;
  TNotifyEvent FOnChanged;
};
using TcxLookupGridOptionsClass = orv::ClassOf<TcxLookupGridOptions>;

// Item i of the controller is column i of its grid.
class TcxLookupGridDataController : public TcxDataController {
  ORV_CLASS(TcxLookupGridDataController, TcxDataController)
 public:
  explicit TcxLookupGridDataController(TComponent* owner) : TcxDataController(owner) {}
  TObject* GetItem(Integer index) override;
};

// ==== View info and painter ====================================================================

struct TcxLookupGridColumnViewInfo {
  TRect Bounds{};
  TRect ContentBounds{};
  AnsiString Text;
  TAlignment Alignment = taLeftJustify;
  TcxNeighbors Neighbors;
  TcxBorders Borders;
  TcxDataSortOrder SortOrder = soNone;
  Integer Index = 0;
  // The look the column's cells are drawn with (of the column properties' style class), and,
  // while a calculation runs, the view data that lays the cells out.
  std::unique_ptr<TcxCustomEditStyle, orv::FreeDeleter> EditStyle;
  TcxCustomEditViewData* ViewData = nullptr;
};

struct TcxLookupGridCellViewInfo {
  Integer Index = 0;
  Boolean Focused = false;
  TRect Bounds{};
  TRect ContentBounds{};
  TcxBorders Borders;
  // The column editor's own drawing of the cell's value.
  std::unique_ptr<TcxCustomEditViewInfo, orv::FreeDeleter> EditViewInfo;
};

struct TcxLookupGridRowViewInfo {
  Integer Index = 0;
  Integer RecordIndex = -1;
  Boolean Focused = false;
  TRect Bounds{};
  TRect ContentBounds{};
  TcxBorders Borders;
  std::vector<TcxLookupGridCellViewInfo> Cells;
};

enum TcxLookupGridTopRowCalculation { tcmNone, tcmForward, tcmBackward };

class TcxLookupGridViewInfo : public TObject {
  ORV_CLASS(TcxLookupGridViewInfo, TObject)
 public:
  explicit TcxLookupGridViewInfo(TcxCustomLookupGrid* grid) : FGrid(grid) {}

  virtual Integer GetHeaderHeight();
  virtual void CalculateHeaderArea();
  virtual void CalculateEmptyAreas();
  virtual void CalculateHeaderCells();
  virtual void CalculateRows();
  virtual void Calculate();
  virtual Integer CorrectTopRowIndex(Integer index);
  virtual TColor GetBackgroundColor();
  virtual TFont* GetGridFont();
  virtual TColor GetGridTextColor();
  virtual TColor GetGridLineColor() { return clBtnFace; }
  virtual Integer GetGridLineWidth() { return 1; }
  virtual TColor GetHeaderColor();
  virtual TFont* GetHeaderFont();
  virtual TColor GetHeaderTextColor();
  virtual TColor GetSelectionColor();
  virtual TColor GetSelectionTextColor();
  virtual void InitColumnStyle(TcxLookupGridColumnViewInfo& columnViewInfo, TcxLookupGridColumn* column);
  virtual void CreateCellViewData(TcxLookupGridColumnViewInfo& columnViewInfo, TcxLookupGridColumn* column);
  virtual void ReleaseCellViewData(TcxLookupGridColumnViewInfo& columnViewInfo, TcxLookupGridColumn* column);

  // The height the rows are sized by: the minimum height, plus a horizontal line.
  Integer GetRowHeight();
  // Lays out one row's cells again (focus or selection changed).
  void RecalculateRow(TcxLookupGridRowViewInfo& row);

  std::vector<TcxLookupGridColumnViewInfo> Columns;
  std::vector<TcxLookupGridRowViewInfo> Rows;
  Integer BorderSize = 0;
  TRect HeaderArea{};
  TRect EmptyAreaBottom{};
  TRect EmptyAreaRight{};
  Integer PartVisibleRowCount = 0;
  Integer VisibleRowCount = 0;
  TRect RowsArea{};
  TRect VisibleRowsArea{};
  Integer RowMinHeight = 0;

 private:
  void CalculateRowMinHeight();
  void AddRow(Integer rowIndex, Integer y);
  void CalculateCells(TcxLookupGridRowViewInfo& row);
  void CalculateCell(TcxLookupGridRowViewInfo& row, TcxLookupGridCellViewInfo& cell, Boolean selected);
  TcxCustomLookupGrid* FGrid;
  Integer FInternalTopRowIndex = 0;
  TcxLookupGridTopRowCalculation FTopRowCalculation = tcmNone;
};

class TcxLookupGridPainter : public TObject {
  ORV_CLASS(TcxLookupGridPainter, TObject)
 public:
  explicit TcxLookupGridPainter(TcxCustomLookupGrid* grid) : FGrid(grid) {}
  virtual void PaintBorder();
  virtual void PaintCell(TcxLookupGridCellViewInfo& cell);
  virtual void PaintContent();
  virtual void PaintEmptyAreas();
  virtual void PaintHeaders();
  virtual void PaintRow(TcxLookupGridRowViewInfo& row);
  virtual void PaintRows();
  TcxCanvas* GetCanvas();
  TcxCustomLookAndFeelPainterClass LFPainter;

 private:
  TcxCustomLookupGrid* FGrid;
};

// ==== The grid =================================================================================

enum TcxLookupGridHitKind { lghtNone, lghtHeader, lghtRow };
struct TcxLookupGridHitTest {
  TcxLookupGridHitKind Kind = lghtNone;
  Integer RowIndex = -1;
  Integer ColumnIndex = -1;
};

class TcxCustomLookupGrid : public TcxControl {
  ORV_CLASS(TcxCustomLookupGrid, TcxControl)
 public:
  explicit TcxCustomLookupGrid(TComponent* owner);
  void BeforeDestruction() override;
  ~TcxCustomLookupGrid() override;
  // Makes the parts (the class operations are virtual, so this runs after construction).
  void EnsureCreated();

  void BeginUpdate();
  void EndUpdate();
  Boolean IsLocked() const { return FLockCount > 0; }

  // The parts are made on first use: their classes come from virtual operations.
  TcxLookupGridColumns* GetColumns();
  void SetColumns(TcxLookupGridColumns* value) { GetColumns()->Assign(value); }
  TcxCustomDataController* GetDataController();
  TcxLookupGridOptions* GetOptions();
  void SetOptions(TcxLookupGridOptions* value) { GetOptions()->Assign(value); }
  TcxLookupGridViewInfo* GetViewInfo();
  TcxLookupGridPainter* GetGridPainter();
  TcxLookupGridColumn* GetFocusedColumn() const { return FFocusedColumn; }
  void SetFocusedColumn(TcxLookupGridColumn* value);
  Integer GetFocusedRowIndex();
  void SetFocusedRowIndex(Integer value);
  Integer GetTopRowIndex() const { return FTopRowIndex; }
  void SetTopRowIndex(Integer value);
  Integer GetRowCount();
  Boolean GetPopupMode() const { return FPopupMode; }
  void SetPopupMode(Boolean value);
  const TcxLookupGridCloseUpEvent& GetOnCloseUp() const { return FOnCloseUp; }
  void SetOnCloseUp(const TcxLookupGridCloseUpEvent& value) { FOnCloseUp = value; }
  const TNotifyEvent& GetOnDataChanged() const { return FOnDataChanged; }
  void SetOnDataChanged(const TNotifyEvent& value) { FOnDataChanged = value; }
  // The lookup combo box's hooks.
  const TNotifyEvent& GetOnConfirm() const { return FOnConfirm; }
  void SetOnConfirm(const TNotifyEvent& value) { FOnConfirm = value; }
  const TNotifyEvent& GetOnFocusedRowChanged() const { return FOnFocusedRowChanged; }
  void SetOnFocusedRowChanged(const TNotifyEvent& value) { FOnFocusedRowChanged = value; }

  TcxLookupGridHitTest HitTest(const TPoint& point);
  Integer GetRowHeight();
  Integer GetHeaderHeight();
  Integer GetListHeightForRows(Integer rowCount);
  Integer SnapListHeight(Integer height);
  Boolean IsRowAtPoint(const TPoint& point) { return HitTest(point).Kind == lghtRow; }
  void MakeFocusedRowVisible();
  void MoveFocusedRow(Boolean forward);
  void ScrollPage(Boolean up);
  // The screen position the last mouse move saw (the lookup combo box sets it before showing
  // the list, so a list opening under a resting mouse does not move the focus).
  static void SetLastCursorPos(const TPoint& value);
  Integer GetScrollTimerDirection() const { return FScrollTimerDirection; }

  // ---- New virtual operations ----
  virtual void ColumnAdded(TcxLookupGridColumn* column);
  virtual void NotifyChanges(Byte flags);
  virtual void CreateSubClasses();
  virtual void CreateDataController();
  virtual void DestroySubClasses();
  virtual void DestroyDataController();
  virtual void CellMouseDown(Integer rowIndex, Integer columnIndex, TShiftState shift);
  virtual void HeaderMouseDown(Integer columnIndex, TShiftState shift);
  virtual TcxLookupGridColumnClass GetColumnClass() { return TcxLookupGridColumn::StaticClass(); }
  virtual orv::ClassOf<TcxCustomDataController> GetDataControllerClass() {
    return TcxLookupGridDataController::StaticClass();
  }
  virtual TcxLookupGridOptionsClass GetOptionsClass() { return TcxLookupGridOptions::StaticClass(); }
  virtual Integer GetScrollReserveAbove();
  virtual Integer GetScrollReserveBelow();
  virtual Boolean IsFocusRowOnMouseMove() { return FPopupMode && GetOptions()->GetFocusRowOnMouseMove(); }
  virtual void ColumnRemoved(TcxLookupGridColumn* column);
  virtual void SetScrollTimer(Integer direction);
  virtual void RefreshFocusedRow();
  virtual void InvalidateRow(Integer rowIndex, Boolean recalculate);
  virtual void RecalculateLayout();
  virtual void DataChanged();
  virtual void LayoutChangedNotify() { UpdateLayout(); }
  virtual void DoCloseUp(Boolean accept);
  virtual void FocusedRowChanged(Integer prevRowIndex, Integer newRowIndex);
  virtual void UpdateLayout();
  virtual void SelectionChanged(TcxSelectionChangedInfo* info);
  virtual void HandleControllerNotification(TcxUpdateControlInfo* info);
  virtual void SetFocusedRowSelected(Boolean selected);

  // ---- Overrides ----
  Integer GetBorderSize() override;

 protected:
  // The columns collection (of the grid's collection class).
  virtual TcxLookupGridColumns* CreateColumns();
  void Paint() override;
  void KeyDown(Word& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void InitScrollBarsParameters() override;
  void Scroll(TScrollBarKind kind, TScrollCode code, Integer& position) override;
  void LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) override;
  void BoundsChanged() override;
  void FontChanged() override;
  void ControlColorChanged() override { UpdateLayout(); }
  void FocusChanged() override;
  void CancelMouseOperation() override;
  Boolean AllowMouseDownWithoutFocus() override { return true; }
  void Loaded() override;

 private:
  void ScrollTimerTick(TObject* sender);
  void DoSetTopRowIndex(Integer value);
  Byte FChangeFlags = 0;
  TcxLookupGridColumns* FColumns = nullptr;
  TcxLookupGridColumn* FFocusedColumn = nullptr;
  Boolean FPopupMode = false;
  Integer FLockCount = 0;
  TcxLookupGridPainter* FPainter = nullptr;
  Boolean FMousePressed = false;
  Integer FScrollTimerDirection = 0;
  TcxTimer* FScrollTimer = nullptr;
  Integer FTopRowIndex = 0;
  TcxLookupGridViewInfo* FViewInfo = nullptr;
  TcxLookupGridCloseUpEvent FOnCloseUp;
  TNotifyEvent FOnDataChanged;
  TNotifyEvent FOnConfirm;
  TNotifyEvent FOnFocusedRowChanged;
  TcxCustomDataController* FDataController = nullptr;
  TcxLookupGridOptions* FOptions = nullptr;
  Boolean FCreated = false;
};

class TcxLookupGrid : public TcxCustomLookupGrid {
  ORV_CLASS(TcxLookupGrid, TcxCustomLookupGrid)
 public:
  using TcxCustomLookupGrid::TcxCustomLookupGrid;
};
