// The model half of the table-like grid views: the view's items (columns) bound to the data
// controller's fields, the record objects over the controller's rows (made lazily, dropped when
// the rows change), the view data that owns them, the data, record and focused-record changes,
// the record and filter-box hit tests, the table view itself with its item lists, notices,
// layout storage and clipboard copy, and its options and styles.
//
// A record never stores data: it keeps its row index and the row info the controller reported
// and forwards every question to the controller. Focus and selection live in the controller too,
// so recreated record objects keep them.
#pragma once

#include <memory>
#include <vector>

#include "components/editors-more/cxNavigator.h"
#include "components/editors/cxEdit.h"
#include "components/filtercontrol/cxFilterControlIntf.h"
#include "components/grid/cxGridCustomView.h"

class TcxCustomGridTableView;
class TcxCustomGridTableItem;
class TcxCustomGridTableViewData;
class TcxCustomGridRecord;
class TMemoryStream;
class TStream;
class TcxGridItemDataBinding;
class TcxDataFilterValueList;
class TcxCustomGridTableController;
class TcxCustomGridDragOpenInfo;
class TcxCustomGridTableItemOptions;
class TcxCustomGridTableItemStyles;
class TcxCustomGridTableOptionsCustomize;
class TcxCustomGridTableDateTimeHandling;
class TcxCustomGridRecordViewInfo;
class TcxGridEditingController;
using TcxGridEditingControllerClass = orv::ClassOf<TcxGridEditingController>;

class TcxCustomGridPartViewInfo;
class TcxGridTableDataCellViewInfo;
class TcxCustomGridTableViewInfo;
class TcxGridFilterBox;
class TcxNavigatorSiteViewInfo;
class TcxCustomGridTableFiltering;
using TcxCustomGridTableFilteringClass = orv::ClassOf<TcxCustomGridTableFiltering>;
// Customizing a view's filter opens the custom filter dialog or the filter builder; a proc set
// here opens something else instead (nullptr: the dialogs again).
using TcxGridFilterCustomizeProc = void (*)(TcxCustomGridTableFiltering* filtering, TcxCustomGridTableItem* item);
void SetGridFilterCustomizeProc(TcxGridFilterCustomizeProc proc);
using TcxGridCellClickEvent = orv::Event<void(TcxCustomGridTableView* sender, TcxGridTableDataCellViewInfo* cellViewInfo,
                                              TMouseButton button, TShiftState shift, Boolean& handled)>;
using TcxGridTableDataCellCustomDrawEvent = orv::Event<void(TcxCustomGridTableView* sender, TcxCanvas* canvas,
                                                            TcxGridTableDataCellViewInfo* viewInfo, Boolean& done)>;
using TcxGridPartCustomDrawBackgroundEvent =
    orv::Event<void(TcxCustomGridTableView* sender, TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo, Boolean& done)>;
using TcxGridEditingEvent = orv::Event<void(TcxCustomGridTableView* sender, TcxCustomGridTableItem* item, Boolean& allow)>;
using TcxGridCustomTableItemEvent = orv::Event<void(TcxCustomGridTableView* sender, TcxCustomGridTableItem* item)>;
using TcxGridEditKeyEvent = orv::Event<void(TcxCustomGridTableView* sender, TcxCustomGridTableItem* item,
                                            TcxCustomEdit* edit, Word& key, TShiftState shift)>;
using TcxGridEditKeyPressEvent =
    orv::Event<void(TcxCustomGridTableView* sender, TcxCustomGridTableItem* item, TcxCustomEdit* edit, char& key)>;
using TcxGridGetCellHeightEvent =
    orv::Event<void(TcxCustomGridTableView* sender, TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                    TcxGridTableDataCellViewInfo* cellViewInfo, Integer& height)>;
using TcxGridGetDragDropTextEvent = orv::Event<void(TcxCustomGridTableView* sender, TcxCustomGridRecord* record,
                                                    TcxCustomGridTableItem* item, AnsiString& text)>;
using TcxGridInitEditEvent =
    orv::Event<void(TcxCustomGridTableView* sender, TcxCustomGridTableItem* item, TcxCustomEdit* edit)>;
using TcxGridInitEditValueEvent = orv::Event<void(TcxCustomGridTableView* sender, TcxCustomGridTableItem* item,
                                                  TcxCustomEdit* edit, Variant& value)>;
using TcxGridFilterBoxClass = orv::ClassOf<TcxGridFilterBox>;

// ==== Changes =================================================================================

// The view's data changed: never queued, it rebuilds the records at once.
class TcxGridDataChange : public TcxCustomGridViewChange {
  ORV_CLASS(TcxGridDataChange, TcxCustomGridViewChange)
 public:
  explicit TcxGridDataChange(TcxCustomGridView* gridView) : TcxCustomGridViewChange(gridView) {}
  Boolean CanBeQueued() override { return false; }
  void Run() override;
};

// Repaints one record, or one cell of it.
class TcxGridRecordChange : public TcxCustomGridViewChange {
  ORV_CLASS(TcxGridRecordChange, TcxCustomGridViewChange)
 public:
  TcxGridRecordChange(TcxCustomGridView* gridView, TcxCustomGridTableItem* item, Integer recordIndex,
                      TcxCustomGridRecord* record)
      : TcxCustomGridViewChange(gridView), FItem(item), FRecord(record), FRecordIndex(recordIndex) {}
  void Run() override;
  // A layout, size or data change of the same view.
  Boolean IsCoveredBy(TcxCustomGridChange* other) override;
  // Also the same record, row index and item.
  Boolean IsSameAs(TcxCustomGridChange* other) override;

  TcxCustomGridTableItem* GetItem() const { return FItem; }
  TcxCustomGridRecord* GetRecord() const { return FRecord; }
  Integer GetRecordIndex() const { return FRecordIndex; }

 private:
  TcxCustomGridTableItem* FItem;
  TcxCustomGridRecord* FRecord;
  Integer FRecordIndex;
};

// The focused record moved; runs outside the queue's batch lock.
class TcxGridFocusedRecordChange : public TcxCustomGridViewChange {
  ORV_CLASS(TcxGridFocusedRecordChange, TcxCustomGridViewChange)
 public:
  TcxGridFocusedRecordChange(TcxCustomGridView* gridView, Boolean newItemRecordFocusingChanged,
                             Integer focusedRecordIndex, Integer prevFocusedRecordIndex)
      : TcxCustomGridViewChange(gridView),
        FFocusedRecordIndex(focusedRecordIndex),
        FNewItemRecordFocusingChanged(newItemRecordFocusingChanged),
        FPrevFocusedRecordIndex(prevFocusedRecordIndex) {}
  Boolean RunsInsideLock() override { return false; }
  void Run() override;

  Integer GetFocusedRecordIndex() const { return FFocusedRecordIndex; }
  Boolean GetNewItemRecordFocusingChanged() const { return FNewItemRecordFocusingChanged; }
  Integer GetPrevFocusedRecordIndex() const { return FPrevFocusedRecordIndex; }

 private:
  Integer FFocusedRecordIndex;
  Boolean FNewItemRecordFocusingChanged;
  Integer FPrevFocusedRecordIndex;
};

// ==== Hit tests ===============================================================================

// The filter box and its buttons.
class TcxGridFilterHitTest : public TcxCustomGridViewHitTest {
  ORV_CLASS(TcxGridFilterHitTest, TcxCustomGridViewHitTest)
 public:
  TcxGridFilterHitTest() = default;
  Integer GetHitTestCode() const override { return htFilter; }
};
class TcxGridFilterActivateButtonHitTest : public TcxCustomGridViewHitTest {
  ORV_CLASS(TcxGridFilterActivateButtonHitTest, TcxCustomGridViewHitTest)
 public:
  TcxGridFilterActivateButtonHitTest() = default;
  Integer GetHitTestCode() const override { return htFilterActivateButton; }
};
class TcxGridFilterCloseButtonHitTest : public TcxCustomGridViewHitTest {
  ORV_CLASS(TcxGridFilterCloseButtonHitTest, TcxCustomGridViewHitTest)
 public:
  TcxGridFilterCloseButtonHitTest() = default;
  Integer GetHitTestCode() const override { return htFilterCloseButton; }
};
class TcxGridFilterDropDownButtonHitTest : public TcxCustomGridViewHitTest {
  ORV_CLASS(TcxGridFilterDropDownButtonHitTest, TcxCustomGridViewHitTest)
 public:
  TcxGridFilterDropDownButtonHitTest() = default;
  Integer GetHitTestCode() const override { return htFilterDropDownButton; }
};
class TcxGridFilterCustomizeButtonHitTest : public TcxCustomGridViewHitTest {
  ORV_CLASS(TcxGridFilterCustomizeButtonHitTest, TcxCustomGridViewHitTest)
 public:
  TcxGridFilterCustomizeButtonHitTest() = default;
  Integer GetHitTestCode() const override { return htFilterCustomizeButton; }
};

// A record. It names the record by view data, row index and kind rather than by the object, so
// that it stays valid when the record objects are made again.
class TcxGridRecordHitTest : public TcxCustomGridViewHitTest {
  ORV_CLASS(TcxGridRecordHitTest, TcxCustomGridViewHitTest)
 public:
  TcxGridRecordHitTest() = default;
  Integer GetHitTestCode() const override { return htRecord; }
  // Whether a press here counts as a press on the record.
  virtual Boolean IsRecordArea() const { return true; }
  virtual Boolean CountsAsRecordClick() const { return true; }

  // nil without a stored view data.
  TcxCustomGridRecord* HitRecord() const;
  // nil stores (nil, -1, -1).
  void SetHitRecord(TcxCustomGridRecord* record);
  TcxCustomGridTableViewData* GetViewData() const { return FViewData; }
  Integer GetGridRecordIndex() const { return FGridRecordIndex; }
  Integer GetGridRecordKind() const { return FGridRecordKind; }

 private:
  TcxCustomGridTableViewData* FViewData = nullptr;
  Integer FGridRecordIndex = -1;
  Integer FGridRecordKind = -1;
};

class TcxGridRecordCellHitTest : public TcxGridRecordHitTest {
  ORV_CLASS(TcxGridRecordCellHitTest, TcxGridRecordHitTest)
 public:
  TcxGridRecordCellHitTest() = default;
  Integer GetHitTestCode() const override { return htCell; }
  TcxCustomGridTableItem* GetItem() const { return FItem; }
  void SetItem(TcxCustomGridTableItem* value) { FItem = value; }

 private:
  TcxCustomGridTableItem* FItem = nullptr;
};

class TcxGridExpandButtonHitTest : public TcxGridRecordHitTest {
  ORV_CLASS(TcxGridExpandButtonHitTest, TcxGridRecordHitTest)
 public:
  TcxGridExpandButtonHitTest() = default;
  Integer GetHitTestCode() const override { return htExpandButton; }
  Boolean IsRecordArea() const override { return false; }
  Boolean CountsAsRecordClick() const override { return false; }
};

// ==== Records =================================================================================

using TcxCustomGridRecordClass = orv::ClassOf<TcxCustomGridRecord>;

// One row of the controller: a data, group, master, new-item or filter row.
class TcxCustomGridRecord : public TObject {
  ORV_CLASS(TcxCustomGridRecord, TObject)
 public:
  using TCreateSignature = void(TcxCustomGridTableViewData* viewData, Integer index, const TcxRowInfo& recordInfo);
  TcxCustomGridRecord(TcxCustomGridTableViewData* viewData, Integer index, const TcxRowInfo& recordInfo)
      : FIndex(index), FViewData(viewData), FRecordInfo(recordInfo) {}
  // Clears its view info's record reference.
  void BeforeDestruction() override;

  // ---- New virtual operations ----
  virtual void RefreshRecordInfo();
  virtual void DoCollapse(Boolean recursive) {}
  virtual void DoExpand(Boolean recursive) {}
  virtual Boolean GetExpandable() { return false; }
  virtual Boolean GetExpanded() { return false; }
  virtual void ToggleExpanded() { SetExpanded(!GetExpanded()); }
  virtual Boolean GetHasCells() { return false; }
  virtual Boolean GetIsData() { return true; }
  virtual Boolean IsFirst() { return FIndex == 0; }
  virtual Boolean IsLast();
  virtual Boolean GetIsParent() { return false; }
  virtual TcxCustomGridRecord* GetParentRecord();
  virtual Boolean GetSelected();
  virtual Boolean ReadVisible();
  virtual void SetSelected(Boolean value);
  virtual void GetDisplayText(Integer itemIndex, AnsiString& text);
  virtual Integer GetValueCount();
  virtual void GetValue(Integer itemIndex, Variant& value);
  virtual void SetDisplayText(Integer itemIndex, const AnsiString& text);
  virtual void SetValue(Integer itemIndex, const Variant& value);
  virtual void KeyDown(Word& key, TShiftState shift);
  virtual Boolean CanFocus();
  virtual Boolean CanFocusCells();
  virtual TcxCustomGridRecord* GetFirstChildToFocus() { return nullptr; }
  virtual TcxCustomGridRecord* GetLastChildToFocus(Boolean recursive) { return nullptr; }
  virtual void Invalidate(TcxCustomGridTableItem* item = nullptr);
  // The layout objects of the record's kind (none in the base: such a record is not laid out).
  virtual orv::ClassOf<TcxCustomGridRecordViewInfo> GetViewInfoClass();
  virtual TcxCustomGridViewInfoCacheItemClass GetViewInfoCacheItemClass();

  // ---- Access ----
  Integer GetIndex() const { return FIndex; }
  Integer GetLevel() const { return FRecordInfo.Level; }
  Integer GetRecordIndex() const { return FRecordInfo.RecordIndex; }
  const TcxRowInfo& GetRecordInfo() const { return FRecordInfo; }
  TcxCustomGridTableViewData* GetViewData() const { return FViewData; }
  TcxCustomGridTableView* GetGridView() const;
  TcxCustomDataController* GetDataController() const;
  TcxCustomGridTableController* GetController() const;
  // The layout object that shows the record now (set and cleared by it).
  TcxCustomGridCellViewInfo* GetViewInfo() const { return FViewInfo; }
  void SetViewInfo(TcxCustomGridCellViewInfo* value) { FViewInfo = value; }
  Boolean HasViewInfo() const { return FViewInfo != nullptr; }

  Boolean GetFocused();
  void SetFocused(Boolean value);
  // ExpandedState.
  void SetExpanded(Boolean value);
  void ExpandIfPossible(Boolean recursive) {
    if (GetExpandable()) DoExpand(recursive);
  }
  void CollapseIfPossible(Boolean recursive) {
    if (GetExpandable()) DoCollapse(recursive);
  }
  Boolean IsEditing();
  Boolean IsNewItemRecord();
  Boolean IsValid();
  Boolean IsParentRecordLast(Integer depth);
  Integer LastParentRecordCount();
  Boolean DragHighlighted();
  void MakeVisible();
  AnsiString GetDisplayTexts(Integer itemIndex) {
    AnsiString text;
    GetDisplayText(itemIndex, text);
    return text;
  }
  Variant GetValues(Integer itemIndex) {
    Variant value;
    GetValue(itemIndex, value);
    return value;
  }

 private:
  friend class TcxCustomGridTableViewData;
  Integer FIndex;
  TcxCustomGridTableViewData* FViewData;
  TcxCustomGridCellViewInfo* FViewInfo = nullptr;
  TcxRowInfo FRecordInfo;
};

// ==== View data ===============================================================================

// One record object per controller row, each made on first access and dropped on every reset.
class TcxCustomGridTableViewData : public TcxCustomGridViewData {
  ORV_CLASS(TcxCustomGridTableViewData, TcxCustomGridViewData)
 public:
  explicit TcxCustomGridTableViewData(TcxCustomGridView* gridView) : TcxCustomGridViewData(gridView) {}
  ~TcxCustomGridTableViewData() override;

  TcxCustomGridTableView* GetGridView() const;

  // ---- New virtual operations ----
  virtual TcxCustomGridRecord* RecordOfKind(Integer kind, Integer index);
  virtual TcxCustomGridRecordClass RecordClassForRow(const TcxRowInfo& recordInfo) = 0;
  virtual Integer KindOfRecord(TcxCustomGridRecord* record) { return record && record == FNewItemRecord ? 1 : 0; }
  virtual TcxCustomGridRecordClass NewItemRecordClass() { return nullptr; }
  virtual void CollapseAll(Boolean recursive);
  virtual void ExpandAll(Boolean recursive);
  virtual void ResetRecords(Integer rowCount);
  virtual Boolean HasNewItemRecord() { return false; }
  // The item's text through its editor properties; false leaves the text to the controller.
  virtual Boolean ItemDisplayText(Integer recordIndex, Integer itemIndex, Integer mode, Boolean converted,
                                  AnsiString& text);
  // Date handling for the controller's operations (mode 0 sorting, 1 grouping, 2 filtering).
  // Grouping by date ranges comes with the items' date ranges; until an item has any, its values
  // group and sort as they are and filter by their date when time is ignored.
  virtual Boolean UsesDateHandling(TcxCustomGridTableItem* item, Integer mode);
  virtual Boolean ComparesConvertedValues(Integer itemIndex, Integer mode);
  virtual void ConvertDateValue(TcxCustomGridTableItem* item, const Variant& value, Variant& result, Integer mode);
  // -1, 0 or 1.
  virtual Integer CompareItemValues(Integer itemIndex, const Variant& value1, const Variant& value2, Integer mode);
  virtual void GroupValueDisplayText(Integer recordIndex, Integer itemIndex, AnsiString& text, Integer mode);

  // ---- Records ----
  Integer GetRecordCount() const { return FRecordCount; }
  // Made on first access; the index must be in range.
  TcxCustomGridRecord* RecordAt(Integer index);
  TcxCustomGridRecord* CheckedRecordAt(Integer index);
  // The record object made so far, or nil (no record is made).
  TcxCustomGridRecord* ExistingRecordAt(Integer index) const;
  Boolean IsRowIndexInRange(Integer index) const { return index >= 0 && index < GetRecordCount(); }
  TcxCustomGridRecord* RecordOfDataRecord(Integer recordIndex);
  void UpdateEditingRecord();
  void RefreshRecordInfos();
  void SyncNewItemRecord();
  TcxCustomGridRecord* GetEditingRecord() const { return FEditingRecord; }
  TcxCustomGridRecord* GetNewItemRecord() const { return FNewItemRecord; }
  Boolean IsEmpty() override { return GetRecordCount() == 0; }
  // How many record objects exist (the lazy creation is checked with it).
  Integer CreatedRecordCount() const;

 private:
  void CreateNewItemRecord();
  void DestroyNewItemRecord();
  void DestroyRecords();

  TcxCustomGridRecord* FEditingRecord = nullptr;
  TcxCustomGridRecord* FNewItemRecord = nullptr;
  // The slot of a row (nil until its record is made); pages of slots are made on first use,
  // so that a reset costs nothing per row that is never asked for.
  TcxCustomGridRecord** Slot(Integer index);
  TcxCustomGridRecord* SlotValue(Integer index) const;

  static constexpr Integer kPageShift = 8;
  static constexpr Integer kPageSize = 1 << kPageShift;
  std::vector<std::unique_ptr<TcxCustomGridRecord*[]>> FPages;
  Integer FRecordCount = 0;
  Integer FCreatedCount = 0;
};

using TcxCustomGridTableViewDataClass = orv::ClassOf<TcxCustomGridTableViewData>;

// ==== Item data binding =======================================================================

// The item's link to the controller's field: value type, default caption, width and editor.
class TcxGridItemDataBinding : public TPersistent {
  ORV_CLASS(TcxGridItemDataBinding, TPersistent)
 public:
  using TCreateSignature = void(TcxCustomGridTableItem* item);
  explicit TcxGridItemDataBinding(TcxCustomGridTableItem* item);
  ~TcxGridItemDataBinding() override;
  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() override;

  TcxCustomGridTableItem* GetItem() const { return FItem; }
  TcxCustomGridTableView* GetGridView() const;
  TcxCustomDataController* GetDataController() const;
  TcxDataFilterCriteria* GetFilterCriteria() const;
  TcxFilterCriteriaItem* GetFilterCriteriaItem() const;
  TcxValueTypeClass GetValueTypeClass() const;
  void SetValueTypeClass(TcxValueTypeClass value);
  AnsiString GetValueType() const;
  void SetValueType(const AnsiString& value);
  Boolean IsValueTypeStored() { return IsValueTypeClassStored(); }
  TObject* GetData() const { return FData; }
  void SetData(TObject* value);
  Boolean GetFiltered() const;
  void SetFiltered(Boolean value);
  TcxCustomEditDefaultValuesProvider* GetDefaultValuesProvider() const { return FDefaultValuesProvider; }

  // ---- New virtual operations ----
  virtual TcxValueTypeClass GetDefaultValueTypeClass();
  virtual AnsiString GetFilterFieldName() { return AnsiString(); }
  virtual void Init() {}
  virtual Boolean IsValueTypeClassStored();
  virtual AnsiString GetDefaultCaption() { return AnsiString(); }
  virtual TcxEditRepositoryItem* GetDefaultRepositoryItem();
  virtual Integer GetDefaultWidth(Boolean considerHeader) { return 64; }

 private:
  TObject* FData = nullptr;
  TcxCustomEditDefaultValuesProvider* FDefaultValuesProvider = nullptr;
  TcxCustomGridTableItem* FItem;
};

using TcxGridItemDataBindingClass = orv::ClassOf<TcxGridItemDataBinding>;

// The default editor of a value type when an item has no properties of its own. The editor
// collection installs its lookup; until then every value type is shown and edited as text.
using TcxGridDefaultRepositoryItemLookup = TcxEditRepositoryItem* (*)(TcxValueTypeClass valueTypeClass);
void SetGridDefaultRepositoryItemLookup(TcxGridDefaultRepositoryItemLookup lookup);

// ==== Grid data controller ====================================================================

// The unbound data controller of a table-like view: values in its own storage; items, texts,
// selection permission and update locking come from its view (its owner).
class TcxGridDataController : public TcxDataController {
  ORV_CLASS(TcxGridDataController, TcxDataController)
 public:
  explicit TcxGridDataController(TComponent* owner) : TcxDataController(owner) {}
  ~TcxGridDataController() override;
  // The records travel with the form as the binary property "Data"; they are loaded once the
  // form is read.
  void DefineProperties(TFiler* filer) override;
  void Loaded() override;
  TMemoryStream* GetLoadedData() const { return FLoadedData; }

 private:
  void ReadData(TStream* stream);
  void WriteData(TStream* stream);
  TMemoryStream* FLoadedData = nullptr;

 public:

  TcxCustomGridTableView* GetGridView() const;
  TObject* GetItem(Integer index) override;
  Integer GetItemID(TObject* item) override;
  Boolean CanSelectRow(Integer rowIndex) override;
  void ItemValueTypeChanged(Integer itemIndex) override;
  // The view's editor properties may form the text; the item's OnGetDataText may change it.
  AnsiString GetDisplayText(Integer recordIndex, Integer itemIndex) override;
  AnsiString GetItemFilterCaption(Integer itemIndex) override;
  Boolean GetItemSortByDisplayText(Integer itemIndex, Boolean defaultValue) override;
  // The view is locked with the controller, so that the controller's updates lock the grid.
  void BeginUpdate() override;
  void EndUpdate() override;
  // The view's summary item classes when it names them.
  TcxDataSummaryItemClass GetSummaryItemClass() override;
  TcxDataSummaryGroupItemLinkClass GetSummaryGroupItemLinkClass() override;
  // The view's recently used filters follow the filter.
  void FilterChanged() override;
  // The view data's engine.
  TcxSortingBySummaryEngineClass GetSortingBySummaryEngineClass() override;
  // Dates that group by ranges sort and group by the ranges' values.
  Integer CompareRecordsByField(Integer recordIndex1, Integer recordIndex2, TcxCustomDataField* field,
                                TcxDataControllerComparisonMode mode) override;
  Boolean NeedsValueConversion(TcxCustomDataField* field) override;
  // The items whose grouping ranges have a handler set them up again first.
  void Refresh() override;
  // A master record's detail is a clone of the detail level's view, made by the level.
  TObject* CreateDetailLinkObject(TcxCustomDataRelation* relation, Integer recordIndex) override;
  TcxCustomDataController* GetDetailDataController(TObject* linkObject) override;
  using TcxDataController::GetDetailDataController;
};

// What both grid data controllers ask of their view (the dataset-bound one shares them).
namespace orv::grid {
// The clone of the relation's detail level view for the master record (nil for none).
TObject* CreateDetailView(TcxCustomDataRelation* relation, Integer recordIndex);
// The data controller of a detail view clone.
TcxCustomDataController* DetailViewDataController(TObject* linkObject);
// The default values providers' answer: the controller keeps the item's display texts, or the
// item forms them in its OnGetDataText handler.
Boolean ItemHasDefaultDisplayFormat(TcxGridItemDataBinding* binding, Boolean editing);
TObject* ViewItem(TcxCustomGridTableView* view, Integer index);
Integer ViewItemID(TObject* item);
// The view data's text (false leaves it to the controller).
Boolean ViewDisplayText(TcxCustomGridTableView* view, Integer recordIndex, Integer itemIndex, AnsiString& text);
void ItemDataText(TcxCustomGridTableView* view, Integer recordIndex, Integer itemIndex, AnsiString& text);
AnsiString ItemFilterCaption(TcxCustomGridTableView* view, Integer itemIndex);
Boolean ItemSortByDisplayText(TcxCustomGridTableView* view, Integer itemIndex, Boolean defaultValue);
void ItemValueTypeChanged(TcxCustomGridTableView* view, Integer itemIndex);
void ViewFilterChanged(TcxCustomGridTableView* view);
TcxSortingBySummaryEngineClass ViewSortingBySummaryEngineClass(TcxCustomGridTableView* view);
// Whether a field's values are compared by the view data's date ranges in this comparison mode,
// and their comparison (the values are the controller's sorting values).
Boolean ViewComparesDates(TcxCustomGridTableView* view, TcxCustomDataField* field, Integer mode);
Integer ViewCompareDates(TcxCustomGridTableView* view, TcxCustomDataField* field, const Variant& value1,
                         const Variant& value2, Integer mode);
// Every item of the view refreshes its grouping date ranges (before the controller refreshes).
void ViewRefreshGroupingDateRanges(TcxCustomGridTableView* view);

// The published properties both grid data controllers share: the filter, the options, the
// summary and the controller's events.
template <class T, class P>
void PublishGridDataController(P& p) {
  p.Property("Filter", &T::GetFilter, &T::SetFilter);
  p.Property("Options", &T::GetOptions, &T::SetOptions);
  p.Property("Summary", &T::GetSummary, &T::SetSummary);
  p.Property("OnAfterCancel", &T::GetOnAfterCancel, &T::SetOnAfterCancel);
  p.Property("OnAfterDelete", &T::GetOnAfterDelete, &T::SetOnAfterDelete);
  p.Property("OnAfterInsert", &T::GetOnAfterInsert, &T::SetOnAfterInsert);
  p.Property("OnAfterPost", &T::GetOnAfterPost, &T::SetOnAfterPost);
  p.Property("OnBeforeCancel", &T::GetOnBeforeCancel, &T::SetOnBeforeCancel);
  p.Property("OnBeforeDelete", &T::GetOnBeforeDelete, &T::SetOnBeforeDelete);
  p.Property("OnBeforeInsert", &T::GetOnBeforeInsert, &T::SetOnBeforeInsert);
  p.Property("OnBeforePost", &T::GetOnBeforePost, &T::SetOnBeforePost);
  p.Property("OnNewRecord", &T::GetOnNewRecord, &T::SetOnNewRecord);
  p.Property("OnCompare", &T::GetOnCompare, &T::SetOnCompare);
  p.Property("OnDataChanged", &T::GetOnDataChanged, &T::SetOnDataChanged);
  p.Property("OnDetailCollapsing", &T::GetOnDetailCollapsing, &T::SetOnDetailCollapsing);
  p.Property("OnDetailCollapsed", &T::GetOnDetailCollapsed, &T::SetOnDetailCollapsed);
  p.Property("OnDetailExpanding", &T::GetOnDetailExpanding, &T::SetOnDetailExpanding);
  p.Property("OnDetailExpanded", &T::GetOnDetailExpanded, &T::SetOnDetailExpanded);
  p.Property("OnFilterRecord", &T::GetOnFilterRecord, &T::SetOnFilterRecord);
  p.Property("OnGroupingChanged", &T::GetOnGroupingChanged, &T::SetOnGroupingChanged);
  p.Property("OnRecordChanged", &T::GetOnRecordChanged, &T::SetOnRecordChanged);
  p.Property("OnSortingChanged", &T::GetOnSortingChanged, &T::SetOnSortingChanged);
}
}  // namespace orv::grid

// ==== Item options and styles =================================================================

enum TcxGridItemShowEditButtons : Byte { isebDefault, isebNever, isebAlways };
enum TcxGridItemSortByDisplayText : Byte { isbtDefault, isbtOn, isbtOff };

class TcxCustomGridTableItemCustomOptions : public TPersistent {
  ORV_CLASS(TcxCustomGridTableItemCustomOptions, TPersistent)
 public:
  using TCreateSignature = void(TcxCustomGridTableItem* item);
  explicit TcxCustomGridTableItemCustomOptions(TcxCustomGridTableItem* item) : FItem(item) {}
  TPersistent* GetOwner() override;
  virtual void Changed(TcxGridViewChangeKind kind);
  TcxCustomGridTableItem* GetItem() const { return FItem; }

 private:
  TcxCustomGridTableItem* FItem;
};

class TcxCustomGridTableItemOptions : public TcxCustomGridTableItemCustomOptions {
  ORV_CLASS(TcxCustomGridTableItemOptions, TcxCustomGridTableItemCustomOptions)
 public:
  explicit TcxCustomGridTableItemOptions(TcxCustomGridTableItem* item) : TcxCustomGridTableItemCustomOptions(item) {}
  void Assign(TPersistent* source) override;
  virtual void BeforeShowCaptionChange() {}

  Boolean GetEditing() const { return FEditing; }
  void SetEditing(Boolean value);
  Boolean GetFiltering() const { return FFiltering; }
  void SetFiltering(Boolean value);
  Boolean GetFilteringFilteredItemsList() const { return FFilteringFilteredItemsList; }
  void SetFilteringFilteredItemsList(Boolean value);
  Boolean GetFilteringMRUItemsList() const { return FFilteringMRUItemsList; }
  void SetFilteringMRUItemsList(Boolean value);
  Boolean GetFilteringPopup() const { return FFilteringPopup; }
  void SetFilteringPopup(Boolean value);
  Boolean GetFilteringPopupMultiSelect() const { return FFilteringPopupMultiSelect; }
  void SetFilteringPopupMultiSelect(Boolean value);
  Boolean GetFocusing() const { return FFocusing; }
  void SetFocusing(Boolean value);
  Boolean GetGrouping() const { return FGrouping; }
  void SetGrouping(Boolean value);
  Boolean GetIgnoreTimeForFiltering() const { return FIgnoreTimeForFiltering; }
  void SetIgnoreTimeForFiltering(Boolean value);
  Boolean GetIncSearch() const { return FIncSearch; }
  void SetIncSearch(Boolean value);
  Boolean GetMoving() const { return FMoving; }
  void SetMoving(Boolean value);
  Boolean GetShowCaption() const { return FShowCaption; }
  void SetShowCaption(Boolean value);
  TcxGridItemShowEditButtons GetShowEditButtons() const { return FShowEditButtons; }
  void SetShowEditButtons(TcxGridItemShowEditButtons value);
  TcxGridItemSortByDisplayText GetSortByDisplayText() const { return FSortByDisplayText; }
  void SetSortByDisplayText(TcxGridItemSortByDisplayText value);
  Boolean GetSorting() const { return FSorting; }
  void SetSorting(Boolean value);

 private:
  Boolean FEditing = true;
  Boolean FFiltering = true;
  Boolean FFilteringFilteredItemsList = true;
  Boolean FFilteringMRUItemsList = true;
  Boolean FFilteringPopup = true;
  Boolean FFilteringPopupMultiSelect = true;
  Boolean FFocusing = true;
  Boolean FGrouping = true;
  Boolean FIgnoreTimeForFiltering = true;
  Boolean FIncSearch = true;
  Boolean FMoving = true;
  Boolean FShowCaption = true;
  TcxGridItemShowEditButtons FShowEditButtons = isebDefault;
  TcxGridItemSortByDisplayText FSortByDisplayText = isbtDefault;
  Boolean FSorting = true;
};

using TcxCustomGridTableItemOptionsClass = orv::ClassOf<TcxCustomGridTableItemOptions>;

using TcxGridGetCellStyleEvent = orv::Event<void(TcxCustomGridTableView* sender, TcxCustomGridRecord* record,
                                                 TcxCustomGridTableItem* item, TcxStyle*& style)>;

// Style indexes of an item.
inline constexpr Integer isContent = 0;

class TcxCustomGridTableItemStyles : public TcxCustomGridStyles {
  ORV_CLASS(TcxCustomGridTableItemStyles, TcxCustomGridStyles)
 public:
  explicit TcxCustomGridTableItemStyles(TPersistent* owner) : TcxCustomGridStyles(owner) {}
  void Assign(TPersistent* source) override;
  TcxCustomGridView* GetGridView() const override;
  TcxCustomGridTableItem* GetItem() const;
  virtual void GetContentParams(TcxCustomGridRecord* record, TcxViewParams& params);

  TcxStyle* GetContent() const { return GetStyleValue(isContent); }
  void SetContent(TcxStyle* value) { SetStyleValue(isContent, value); }
  const TcxGridGetCellStyleEvent& GetOnGetContentStyle() const { return FOnGetContentStyle; }
  void SetOnGetContentStyle(const TcxGridGetCellStyleEvent& value);

 protected:
  void GetDefaultStyleParams(Integer index, TObject* data, TcxViewParams& params) override;

 private:
  TcxGridGetCellStyleEvent FOnGetContentStyle;
};

using TcxCustomGridTableItemStylesClass = orv::ClassOf<TcxCustomGridTableItemStyles>;

// ==== Items ===================================================================================

using TcxGridGetCellHintEvent =
    orv::Event<void(TcxCustomGridTableItem* sender, TcxCustomGridRecord* record, TcxGridTableDataCellViewInfo* cellViewInfo,
                    const TPoint& mousePos, AnsiString& hintText, Boolean& isHintMultiLine, TRect& hintTextRect)>;
using TcxGridGetDisplayTextEvent =
    orv::Event<void(TcxCustomGridTableItem* sender, TcxCustomGridRecord* record, AnsiString& text)>;
using TcxGridGetDataTextEvent =
    orv::Event<void(TcxCustomGridTableItem* sender, Integer recordIndex, AnsiString& text)>;
using TcxGridGetPropertiesEvent = orv::Event<void(TcxCustomGridTableItem* sender, TcxCustomGridRecord* record,
                                                  TcxCustomEditProperties*& properties)>;
using TcxGridGetFilterDisplayTextEvent =
    orv::Event<void(TcxCustomGridTableItem* sender, const Variant& value, AnsiString& displayText)>;
using TcxGridUserFilteringEvent =
    orv::Event<void(TcxCustomGridTableItem* sender, const Variant& value, const AnsiString& displayText)>;
class TcxGridDateRanges;
class TcxGridGroupingDateRanges;
enum TcxGridDateTimeGrouping : Byte;
using TcxGridInitDateRangesEvent = orv::Event<void(TcxCustomGridTableItem* sender, TcxGridDateRanges* dateRanges)>;
using TcxGridGetFilterValuesEvent = orv::Event<void(TcxCustomGridTableItem* sender, TcxDataFilterValueList* valueList)>;
using TcxGridTableItemGetStoredPropertiesEvent = orv::Event<void(TcxCustomGridTableItem* sender, TStrings* properties)>;
using TcxGridTableItemGetStoredPropertyValueEvent =
    orv::Event<void(TcxCustomGridTableItem* sender, const AnsiString& name, Variant& value)>;
using TcxGridTableItemSetStoredPropertyValueEvent =
    orv::Event<void(TcxCustomGridTableItem* sender, const AnsiString& name, const Variant& value)>;

// The base of every item (column) of a table-like view: one field of the view's data
// controller, addressed by Index; sorting, grouping and filtering live in the controller.
class TcxCustomGridTableItem : public TcxComponent,
                               public IcxStoredObject,
                               public IcxEditRepositoryItemListener {
  ORV_CLASS(TcxCustomGridTableItem, TcxComponent)
 public:
  explicit TcxCustomGridTableItem(TComponent* owner);
  void BeforeDestruction() override;
  ~TcxCustomGridTableItem() override;

  void Assign(TPersistent* source) override;
  // While it is read, the reader hands it the view it is written in.
  bool HasParent() const override {
    return FGridView != nullptr || GetComponentState().Contains(csReading) || GetComponentState().Contains(csLoading);
  }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;

  // ---- Interfaces ----
  AnsiString GetObjectName() override;
  Boolean GetProperties(TStrings* properties) override { return GetStoredProperties(properties); }
  void GetPropertyValue(const AnsiString& name, Variant& value) override { GetStoredPropertyValue(name, value); }
  void SetPropertyValue(const AnsiString& name, const Variant& value) override { SetStoredPropertyValue(name, value); }
  void ItemRemoved(TcxEditRepositoryItem* sender) override;
  void PropertiesChanged(TcxEditRepositoryItem* sender) override;

  // ---- Properties ----
  TcxCustomGridTableView* GetGridView() const { return FGridView; }
  TcxCustomDataController* GetDataController() const;
  TcxCustomGridTableController* GetController() const;
  TcxCustomGridTableViewData* GetViewData() const;
  TcxGridItemDataBinding* GetDataBinding() const { return FDataBinding; }
  void SetDataBinding(TcxGridItemDataBinding* value) {
    if (FDataBinding) FDataBinding->Assign(value);
  }
  const AnsiString& GetAlternateCaption() const { return FAlternateCaption; }
  void SetAlternateCaption(const AnsiString& value);
  // AlternateCaption when not empty, else GetAlternateCaptionDefault.
  AnsiString GetAlternateCaptionInEffect();
  AnsiString GetCaption();
  void SetCaption(const AnsiString& value);
  Boolean IsCaptionStored();
  Boolean GetIsCaptionAssigned() const { return FIsCaptionAssigned; }
  Integer GetBestFitMaxWidth() const { return FBestFitMaxWidth; }
  void SetBestFitMaxWidth(Integer value);
  TAlignment GetHeaderAlignmentHorz() const { return FIsHeaderAlignmentHorzAssigned ? FHeaderAlignmentHorz : taLeftJustify; }
  void SetHeaderAlignmentHorz(TAlignment value);
  Boolean IsHeaderAlignmentHorzStored() const { return FIsHeaderAlignmentHorzAssigned && FHeaderAlignmentHorz != taLeftJustify; }
  TcxAlignmentVert GetHeaderAlignmentVert() const { return FIsHeaderAlignmentVertAssigned ? FHeaderAlignmentVert : vaTop; }
  void SetHeaderAlignmentVert(TcxAlignmentVert value);
  Boolean IsHeaderAlignmentVertStored() const { return FIsHeaderAlignmentVertAssigned && FHeaderAlignmentVert != vaTop; }
  Integer GetID() const { return FID; }
  Integer GetIndex() const { return FIndex; }
  void SetIndex(Integer value);
  Integer GetMinWidth();
  void SetMinWidth(Integer value);
  TcxCustomGridTableItemOptions* GetOptions() const {
    CheckSubClasses();
    return FOptions;
  }
  void SetOptions(TcxCustomGridTableItemOptions* value) { GetOptions()->Assign(value); }
  TcxCustomEditProperties* GetPropertiesObject() const { return FProperties; }
  void SetPropertiesObject(TcxCustomEditProperties* value);
  TcxCustomEditPropertiesClass GetPropertiesClass() const { return FPropertiesClass; }
  void SetPropertiesClass(TcxCustomEditPropertiesClass value);
  AnsiString GetPropertiesClassName() const;
  void SetPropertiesClassName(const AnsiString& value);
  // The properties in effect (own, repository or default).
  TcxCustomEditProperties* GetPropertiesValue() const { return FPropertiesValue; }
  TcxEditRepositoryItem* GetRepositoryItem() const { return FRepositoryItem; }
  void SetRepositoryItem(TcxEditRepositoryItem* value);
  TcxCustomGridTableItemStyles* GetStyles() const {
    CheckSubClasses();
    return FStyles;
  }
  void SetStyles(TcxCustomGridTableItemStyles* value) { GetStyles()->Assign(value); }
  Boolean GetVisible() { return ReadVisible(); }
  void SetVisible(Boolean value);
  Boolean GetVisibleForCustomization() { return ReadVisibleForCustomization(); }
  void SetVisibleForCustomization(Boolean value);
  Integer GetVisibleIndex() const { return FVisibleIndex; }
  Integer GetWidth();
  void SetWidth(Integer value);
  Boolean IsWidthStored() const { return FIsWidthAssigned; }
  Boolean GetWasVisibleBeforeGrouping() const { return FWasVisibleBeforeGrouping; }
  TcxDataSortOrder GetSortOrder();
  void SetSortOrder(TcxDataSortOrder value);
  Boolean IsSortOrderStored();
  Integer GetSortIndex();
  void SetSortIndex(Integer value);
  Integer GetGroupIndex();
  void SetGroupIndex(Integer value);
  Boolean GetFocused();
  void SetFocused(Boolean value);
  Boolean IsFirst() { return FVisibleIndex == 0; }
  Boolean IsLast();
  Boolean GetFiltered() { return FDataBinding && FDataBinding->GetFiltered(); }
  void SetFiltered(Boolean value) {
    if (FDataBinding) FDataBinding->SetFiltered(value);
  }
  // Read while the column's Hidden value of older descriptions is read.
  void SetHidden(Boolean value) { SetVisibleForCustomization(!value); }

  // Events.
  const TcxGridGetDataTextEvent& GetOnGetDataText() const { return FOnGetDataText; }
  void SetOnGetDataText(const TcxGridGetDataTextEvent& value);
  const TcxGridGetCellHintEvent& GetOnGetCellHint() const { return FOnGetCellHint; }
  void SetOnGetCellHint(const TcxGridGetCellHintEvent& value);
  void DoGetCellHint(TcxCustomGridRecord* record, TcxGridTableDataCellViewInfo* cellViewInfo, const TPoint& mousePos,
                     AnsiString& hintText, Boolean& isHintMultiLine, TRect& hintTextRect);
  const TcxGridGetDisplayTextEvent& GetOnGetDisplayText() const { return FOnGetDisplayText; }
  void SetOnGetDisplayText(const TcxGridGetDisplayTextEvent& value);
  const TcxGridGetFilterDisplayTextEvent& GetOnGetFilterDisplayText() const { return FOnGetFilterDisplayText; }
  void SetOnGetFilterDisplayText(const TcxGridGetFilterDisplayTextEvent& value);
  const TcxGridGetPropertiesEvent& GetOnGetProperties() const { return FOnGetProperties; }
  void SetOnGetProperties(const TcxGridGetPropertiesEvent& value);
  const TcxGridGetPropertiesEvent& GetOnGetPropertiesForEdit() const { return FOnGetPropertiesForEdit; }
  void SetOnGetPropertiesForEdit(const TcxGridGetPropertiesEvent& value);
  const TcxGridTableItemGetStoredPropertiesEvent& GetOnGetStoredProperties() const { return FOnGetStoredProperties; }
  void SetOnGetStoredProperties(const TcxGridTableItemGetStoredPropertiesEvent& value);
  const TcxGridTableItemGetStoredPropertyValueEvent& GetOnGetStoredPropertyValue() const {
    return FOnGetStoredPropertyValue;
  }
  void SetOnGetStoredPropertyValue(const TcxGridTableItemGetStoredPropertyValueEvent& value);
  const TcxGridTableItemSetStoredPropertyValueEvent& GetOnSetStoredPropertyValue() const {
    return FOnSetStoredPropertyValue;
  }
  void SetOnSetStoredPropertyValue(const TcxGridTableItemSetStoredPropertyValueEvent& value);
  const TcxGridUserFilteringEvent& GetOnUserFiltering() const { return FOnUserFiltering; }
  void SetOnUserFiltering(const TcxGridUserFilteringEvent& value);
  const TcxGridGetFilterValuesEvent& GetOnGetFilterValues() const { return FOnGetFilterValues; }
  void SetOnGetFilterValues(const TcxGridGetFilterValuesEvent& value) { FOnGetFilterValues = value; }
  const TcxGridInitDateRangesEvent& GetOnInitFilteringDateRanges() const { return FOnInitFilteringDateRanges; }
  void SetOnInitFilteringDateRanges(const TcxGridInitDateRangesEvent& value) { FOnInitFilteringDateRanges = value; }
  const TcxGridInitDateRangesEvent& GetOnInitGroupingDateRanges() const { return FOnInitGroupingDateRanges; }
  // The handler adds to the ranges whenever they are set up (the data controller's refresh does so).
  void SetOnInitGroupingDateRanges(const TcxGridInitDateRangesEvent& value);
  // How the item's dates group: dtgDefault follows the view's date-time handling.
  TcxGridDateTimeGrouping GetDateTimeGrouping() const { return FDateTimeGrouping; }
  void SetDateTimeGrouping(TcxGridDateTimeGrouping value);
  TcxGridDateTimeGrouping GetDateTimeGroupingInEffect();
  // The ranges that the item's dates group by (none without a view); empty when they group by
  // their exact values.
  TcxGridGroupingDateRanges* GetGroupingDateRanges() const { return FGroupingDateRanges; }
  const TNotifyEvent& GetPropertiesEvents() const { return FSubClassEvents; }
  void SetPropertiesEvents(const TNotifyEvent& value) { FSubClassEvents = value; }
  const TNotifyEvent& GetStylesEvents() const { return FSubClassEvents; }
  void SetStylesEvents(const TNotifyEvent& value) { FSubClassEvents = value; }

  // ---- Operations of the other handlers ----
  TcxCustomEditProperties* GetPropertiesForRecord(TcxCustomGridRecord* record);
  TcxCustomEditProperties* GetPropertiesForRecordIndex(Integer recordIndex);
  void RestoreDefaults();
  void ApplyBestFit(Boolean checkCanSize = false, Boolean fireEvents = false);
  void FocusWithSelection() { SetFocused(true); }
  // ---- Cell view data and the shared cell style ----
  // The shared style, made on first use and freed with its last user.
  TcxCustomEditStyle* AcquireCellStyle();
  void ReleaseCellStyle();
  TcxCustomEditStyle* GetCellStyle() const { return FCellStyle; }
  Integer GetCellStyleUseCount() const { return FCellStyleUseCount; }
  // A view data of the properties for the cells (nil for nil properties); the caller frees it
  // with DestroyEditViewData.
  TcxCustomEditViewData* CreateEditViewData(TcxCustomEditProperties* properties);
  void DestroyEditViewData(TcxCustomEditViewData*& viewData);
  // The view data shared by the cells of the properties in effect (the records' layout makes
  // and frees it).
  void CreateSharedEditViewData();
  void DestroySharedEditViewData();
  TcxCustomEditViewData* GetSharedEditViewData() const { return FEditViewData; }
  // A new view data (mustFree) when the properties come per record or none is shared.
  TcxCustomEditViewData* GetCellViewData(TcxCustomEditProperties* properties, Boolean& mustFree);
  // The height of a one-line in-place editor in the font, plus 2 (0 when it measures 0).
  Integer CalculateDefaultCellHeight(TcxCanvas* canvas, TFont* font);
  // ---- The cells that show the item and its in-place editing ----
  void AddCell(TcxGridTableDataCellViewInfo* cell) { FCells.push_back(cell); }
  void RemoveCell(TcxGridTableDataCellViewInfo* cell);
  Integer GetCellCount() const { return Integer(FCells.size()); }
  // The cell of the focused record that shows this item, nil when it is not laid out.
  virtual TcxGridTableDataCellViewInfo* GetFocusedCellViewInfo();
  // Whether the focused cell reaches outside the view's client area.
  virtual Boolean IsFocusedCellViewInfoPartVisible();
  virtual void GetEditValue(Variant& value);
  virtual void SetEditValue(const Variant& value);
  // Starts editing the item in the controller's editing record.
  virtual Boolean CanInitEditing();
  Boolean IsEditing();
  void SetItemEditing(Boolean value);
  // The open editor's properties while editing, else those for editing.
  TcxCustomEditProperties* GetEditingProperties();
  const TcxGridTableDataCellCustomDrawEvent& GetOnCustomDrawCell() const { return FOnCustomDrawCell; }
  void SetOnCustomDrawCell(const TcxGridTableDataCellCustomDrawEvent& value) { FOnCustomDrawCell = value; }
  virtual TcxCustomEditStyle* CreateEditStyle();
  virtual void InitStyle(TcxCustomEditStyle* style, const TcxViewParams& params, Boolean focused);
  virtual Boolean ShowsEditButtons(Boolean focused);

  // The visibility bracket of the view.
  void SaveActuallyVisible() { FSavedVisible = GetActuallyVisible(); }
  Boolean GetSavedVisible() const { return FSavedVisible; }
  Boolean SortByDisplayText(Boolean considerEditor);

  // ---- New virtual operations ----
  virtual void GetStoredObjectName(AnsiString& name);
  virtual Boolean GetStoredProperties(TStrings* properties);
  virtual void GetStoredPropertyValue(const AnsiString& name, Variant& value);
  virtual void SetStoredPropertyValue(const AnsiString& name, const Variant& value);
  virtual void CreateDataBinding();
  virtual void DestroyDataBinding();
  virtual void CreateSubClasses();
  virtual void DestroySubClasses();
  virtual TcxCustomGridTableItemOptionsClass GetOptionsClass();
  virtual TcxCustomGridTableItemStylesClass GetStylesClass();
  virtual void BestFitApplied(Boolean fireEvents) {}
  virtual Integer CalculateBestFitWidth();
  virtual Boolean CanAutoHeight();
  virtual Boolean CanEdit();
  virtual Boolean CanFilter(Boolean visually);
  virtual Boolean CanFocus(TcxCustomGridRecord* record);
  virtual Boolean CanGroup();
  virtual Boolean CanHide();
  virtual Boolean CanHorzSize() { return !HasFixedWidth(); }
  virtual Boolean CanIncSearch();
  virtual Boolean CanMove();
  virtual Boolean CanScroll() { return true; }
  virtual Boolean CanSort();
  virtual void CaptionChanged();
  virtual void Changed(TcxGridViewChangeKind kind);
  virtual void DataChanged() {
    if (FDataBinding) FDataBinding->Init();
  }
  virtual void ForceWidth(Integer value);
  virtual Boolean GetActuallyVisible() { return ReadVisible(); }
  virtual Integer GetBestFitWidth();
  virtual Boolean GetEditable();
  virtual Boolean GetFilterable() { return CanFilter(false); }
  virtual void GetFilterDisplayText(const Variant& value, AnsiString& text);
  virtual Boolean GetFixed();
  virtual TcxCustomEditProperties* GetPropertiesForEdit();
  virtual Boolean ReadVisible() { return FVisible; }
  virtual AnsiString GetVisibleCaption() { return GetCaption(); }
  virtual Boolean ReadVisibleForCustomization() { return FVisibleForCustomization; }
  virtual Boolean HasFixedWidth() { return false; }
  virtual void InitProperties(TcxCustomEditProperties* properties);
  virtual Boolean ShouldStoreVisible() { return true; }
  virtual Boolean ShouldStoreVisibleForCustomization() { return !FVisibleForCustomization; }
  virtual void SetGridView(TcxCustomGridTableView* value);
  virtual Boolean ShowOnUngrouping() { return true; }
  virtual void ValueTypeClassChanged();
  virtual void VisibleChanged() {}
  virtual void VisibleForCustomizationChanged();
  virtual AnsiString GetAlternateCaptionDefault() { return GetCaption(); }
  virtual AnsiString GetDefaultCaption();
  virtual Integer GetDefaultWidth();
  virtual void DoGetDataText(Integer recordIndex, AnsiString& text);
  virtual void DoGetDisplayText(TcxCustomGridRecord* record, AnsiString& text);
  virtual TcxCustomEditProperties* GetProperties(TcxCustomGridRecord* record);
  virtual void DoGetPropertiesForEdit(TcxCustomGridRecord* record, TcxCustomEditProperties*& properties);
  virtual void DoUserFiltering(const Variant& value, const AnsiString& displayText);
  // The application may add, change or remove entries of a filter value list being filled.
  virtual void DoGetFilterValues(TcxDataFilterValueList* valueList);
  // The application may add ranges to the filtering ranges just set up from the view's settings.
  virtual void DoInitFilteringDateRanges(TcxGridDateRanges* dateRanges);
  // The grouping ranges from the view's settings and the grouping in effect, then the view's and
  // the item's handlers; the rows are grouped again when the grouping changes.
  virtual void InitGroupingDateRanges();
  virtual void DoInitGroupingDateRanges(TcxGridDateRanges* dateRanges);
  virtual void DateTimeGroupingChanged();
  // Whether the item's dates group by ranges: by event, whether a grouping handler (the view's or
  // the item's) is assigned; else whether the ranges are not empty.
  virtual Boolean UseGroupingDateRanges(Boolean byEvent);
  // The data controller refreshes: with a grouping handler the ranges are set up again, so that
  // relative ranges follow today and the handler adds its own.
  virtual void RefreshGroupingDateRanges();
  // Whether the filter drop-down offers check boxes, lists the item's recently used values, and
  // lists only the values of the records that pass the filter: the view's setting and the item's.
  virtual Boolean CanFilterUsingChecks();
  virtual Boolean CanFilterMRUValueItems();
  virtual Boolean UseFilteredValuesForFilterList();

  // The view hands out indexes, IDs and visible indexes.
  void SetIndexValue(Integer value) { FIndex = value; }
  void SetIDValue(Integer value) { FID = value; }
  void SetVisibleIndexValue(Integer value) { FVisibleIndex = value; }

 protected:
  void DefineProperties(TFiler* filer) override;
  void PropertiesChangedHandler(TObject* sender);
  void RecomputePropertiesValue();
  void RunPropertiesChanged();
  // The options and styles, made on first use.
  void CheckSubClasses() const;

 private:
  void ReadHidden(TReader* reader);
  void ReadIsCaptionAssigned(TReader* reader);
  void WriteIsCaptionAssigned(TWriter* writer);

  void EditViewDataGetDisplayText(TObject* sender, AnsiString& text);

  AnsiString FAlternateCaption;
  Integer FBestFitMaxWidth = 0;
  TcxCustomEditStyle* FCellStyle = nullptr;
  Integer FCellStyleUseCount = 0;
  TcxCustomEditViewData* FEditViewData = nullptr;
  AnsiString FCaption;
  TcxGridItemDataBinding* FDataBinding = nullptr;
  TcxCustomGridTableView* FGridView = nullptr;
  TAlignment FHeaderAlignmentHorz = taLeftJustify;
  TcxAlignmentVert FHeaderAlignmentVert = vaTop;
  Integer FID = 0;
  Integer FIndex = -1;
  Boolean FIsCaptionAssigned = false;
  Boolean FIsHeaderAlignmentHorzAssigned = false;
  Boolean FIsHeaderAlignmentVertAssigned = false;
  Boolean FIsWidthAssigned = false;
  TcxEditRepositoryItem* FLastUsedDefaultRepositoryItem = nullptr;
  Integer FMinWidth = 20;
  TcxCustomGridTableItemOptions* FOptions = nullptr;
  TcxCustomEditProperties* FProperties = nullptr;
  TcxCustomEditPropertiesClass FPropertiesClass;
  TcxCustomEditProperties* FPropertiesValue = nullptr;
  TcxEditRepositoryItem* FRepositoryItem = nullptr;
  Boolean FSavedVisible = false;
  TcxCustomGridTableItemStyles* FStyles = nullptr;
  Boolean FVisible = false;
  Boolean FVisibleForCustomization = true;
  Integer FVisibleIndex = -1;
  Boolean FWasVisibleBeforeGrouping = false;
  Integer FWidth = 0;
  TcxGridGetDataTextEvent FOnGetDataText;
  TcxGridGetCellHintEvent FOnGetCellHint;
  TcxGridGetDisplayTextEvent FOnGetDisplayText;
  TcxGridGetFilterDisplayTextEvent FOnGetFilterDisplayText;
  TcxGridGetPropertiesEvent FOnGetProperties;
  TcxGridGetPropertiesEvent FOnGetPropertiesForEdit;
  TcxGridTableItemGetStoredPropertiesEvent FOnGetStoredProperties;
  TcxGridTableItemGetStoredPropertyValueEvent FOnGetStoredPropertyValue;
  TcxGridTableItemSetStoredPropertyValueEvent FOnSetStoredPropertyValue;
  TcxGridUserFilteringEvent FOnUserFiltering;
  TcxGridGetFilterValuesEvent FOnGetFilterValues;
  TcxGridInitDateRangesEvent FOnInitFilteringDateRanges;
  TcxGridInitDateRangesEvent FOnInitGroupingDateRanges;
  TcxGridDateTimeGrouping FDateTimeGrouping{};
  TcxGridGroupingDateRanges* FGroupingDateRanges = nullptr;
  TNotifyEvent FSubClassEvents;
  std::vector<TcxGridTableDataCellViewInfo*> FCells;
  TcxGridTableDataCellCustomDrawEvent FOnCustomDrawCell;
};

using TcxCustomGridTableItemClass = orv::ClassOf<TcxCustomGridTableItem>;

// ==== Table controller (focus) ================================================================

// The table view's input handler. The keyboard walk, scrolling and incremental search come with
// the table view's layout; what records and items need of it is here: the focused record and
// item, both kept by the data controller and the view.
class TcxCustomGridTableController : public TcxCustomGridController {
  ORV_CLASS(TcxCustomGridTableController, TcxCustomGridController)
 public:
  explicit TcxCustomGridTableController(TcxCustomGridView* gridView) : TcxCustomGridController(gridView) {}
  void BeforeDestruction() override;

  TcxCustomGridTableView* GetTableView() const;
  TcxCustomGridTableViewData* GetTableViewData() const;
  Integer GetFocusedRecordIndex();
  void SetFocusedRecordIndex(Integer value);
  virtual TcxCustomGridRecord* GetFocusedRecord();
  void SetFocusedRecord(TcxCustomGridRecord* value) { FocusRecord(value); }
  virtual void FocusRecord(TcxCustomGridRecord* record);
  TcxCustomGridTableItem* GetFocusedItem() const { return FFocusedItem; }
  virtual void SetFocusedItem(TcxCustomGridTableItem* value);
  // The first item of the focused record that can take the focus.
  virtual Boolean FocusFirstAvailableItem();
  // From the item's visible index on, forward, wrapping around.
  virtual Boolean FocusNextItem(Integer fromVisibleIndex, Boolean goForward, Boolean goOnCycle);
  // Tab's and Enter's move: the next cell of the record; past its last cell the next record's
  // first (backward: the previous record's last) only with nextRecordOnCycle and the behaviour
  // option FocusCellOnCycle. A record without cells moves to the next record unless asked to stop.
  virtual Boolean FocusNextCell(Boolean goForward, Boolean stopAtRecordEnd, Boolean nextRecordOnCycle);
  TcxCustomGridTableItem* GetEditingItem() const;
  // Made on first use, from GetEditingControllerClass.
  TcxGridEditingController* GetEditingController();
  TcxGridEditingController* FindEditingController() const { return FEditingController; }
  virtual TcxGridEditingControllerClass GetEditingControllerClass();
  Boolean IsEditing() const;
  // The data cell the mouse went down on last.
  TcxGridTableDataCellViewInfo* GetPressedCell() const { return FPressedCell; }
  void SetPressedCell(TcxGridTableDataCellViewInfo* value) { FPressedCell = value; }
  // Whether the layout is known after a press (a focus action may wait for it).
  Boolean GetIsLayoutKnown() const { return FIsLayoutKnown; }
  void SetIsLayoutKnown(Boolean value) { FIsLayoutKnown = value; }
  virtual Boolean IsKeyForController(Word key, TShiftState shift);
  // The data option CancelOnExit with a fresh, untouched insertion.
  virtual Boolean IsCancelOnExitNeeded();
  virtual void ShowEditorIfNeeded();
  void RequestEditorCheck() {
    if (FEditorCheckAllowed) FEditorCheckRequested = true;
  }
  void SetKeyFromEditor(Boolean value) { FKeyFromEditor = value; }
  Boolean IsKeyFromEditor() const { return FKeyFromEditor; }
  void AfterPaint() override;
  void BeforePaint() override;
  void BeforeKillFocus() override;
  // A layout checks the top record again: the last page stays full.
  void CheckCoordinates() override;
  virtual void BeforeScrolling();
  virtual void AfterScrolling();
  TcxCustomGridTableItem* GetIncSearchingItem() const;
  // ---- Top record and pages ----
  // The first record shown.
  Integer GetTopRecordIndex() const { return FTopRecordIndex; }
  // Checked first (CheckTopRecordIndex), then stored.
  void SetTopRecordIndex(Integer value);
  // Stores without checking; a change relays the view out and fires OnTopRecordIndexChanged.
  void SetTopRecordIndexValue(Integer value);
  virtual void CheckTopRecordIndex(Integer& index);
  // The records the view's layout shows whole from the top record (the records view info
  // answers it; none without a layout).
  virtual Integer GetVisibleRecordCount();
  // The records a page shows from the record in the direction, never more than are left.
  virtual Integer GetPageRecordCount(Integer recordIndex, Boolean forward);
  virtual Integer GetMaxTopRecordIndex();
  virtual void ScrollPageDown() { SetTopRecordIndex(FTopRecordIndex + GetVisibleRecordCount()); }
  virtual void ScrollPageUp() { SetTopRecordIndex(FTopRecordIndex - GetVisibleRecordCount()); }
  virtual void ScrollRecords(Boolean forward, Integer count) {
    SetTopRecordIndex(FTopRecordIndex + (forward ? count : -count));
  }
  virtual void ShowNextPage(Boolean syncSelection);
  virtual void ShowPrevPage(Boolean syncSelection);

  // ---- Scroll bars ----
  // The vertical bar runs over the records, one step a record and a page the records shown
  // whole; in grid mode one more step at each end that has records not loaded. The horizontal
  // bar shows only while the navigator shares its row.
  void InitScrollBarsParameters() override;
  void Scroll(TScrollBarKind kind, TScrollCode code, Integer& position) override;
  TcxMouseWheelScrollingKind GetMouseWheelScrollingKind() override { return mwskVertical; }
  virtual Integer GetScrollBarOffsetBegin();
  virtual Integer GetScrollBarOffsetEnd();
  virtual Integer GetScrollBarPos();
  virtual Integer GetScrollBarRecordCount();
  virtual void SetScrollBarPos(Integer value);

  // ---- Record navigation ----
  // The next record from the row that can be focused; -1 when none.
  Integer FindNextRecord(Integer recordIndex, Boolean forward, Boolean goOnCycle, Boolean& cycled);
  virtual Boolean FocusNextRecord(Integer recordIndex, Boolean forward, Boolean goOnCycle);
  // With syncSelection a move under multi-selection leaves the newly focused record the only
  // selected one (the navigator's buttons); the keys keep their own selection rules.
  Boolean GoToFirst(Boolean syncSelection = true) { return NavigateRecord(-1, true, false, syncSelection); }
  Boolean GoToLast(Boolean syncSelection = true) { return NavigateRecord(-1, false, true, syncSelection); }
  Boolean GoToNext(Boolean syncSelection = true) {
    return NavigateRecord(GetFocusedRecordIndex(), true, false, syncSelection);
  }
  Boolean GoToPrev(Boolean syncSelection = true) {
    return NavigateRecord(GetFocusedRecordIndex(), false, false, syncSelection);
  }
  // In grid mode the ends of the dataset, not of the loaded buffer.
  Boolean IsStart();
  Boolean IsFinish();
  // Grid mode: once until it runs, a 1 ms timer that refills the record buffer to the count the
  // laid-out view shows.
  void PostCheckTopRecordIndex();
  Boolean IsCheckTopRecordIndexPosted() const { return FCheckTopRecordTimer != nullptr; }

  // ---- Keyboard and incremental search ----
  void KeyDown(Word& key, TShiftState shift) override;
  void DoKeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  virtual TcxCustomGridTableItem* GetItemForIncSearching();
  virtual void IncSearchKeyDown(Word& key, TShiftState shift);
  Boolean IsIncSearching();
  AnsiString GetIncSearchingText();
  void SetIncSearchingText(const AnsiString& value);
  void CancelIncSearching();
  void SetSwallowNextChar() { FSwallowNextChar = true; }
  TcxCustomGridRecord* GetDragHighlightedRecord() const { return FDragHighlightedRecord; }
  void SetDragHighlightedRecord(TcxCustomGridRecord* value) { FDragHighlightedRecord = value; }
  TcxCustomGridTableItem* GetForcingWidthItem() const { return FForcingWidthItem; }
  void SetForcingWidthItem(TcxCustomGridTableItem* value) { FForcingWidthItem = value; }
  virtual void MakeRecordVisible(TcxCustomGridRecord* record);
  virtual void MakeFocusedRecordVisible();

  // ---- Data operations ----
  // What the data controller allows (and, when asked, the view's data options).
  virtual Boolean CanAppend(Boolean checkOptions);
  virtual Boolean CanDelete(Boolean checkOptions);
  virtual Boolean CanEdit();
  virtual Boolean CanInsert(Boolean checkOptions);
  // The horizontal scroll bar stays while the navigator shares its row.
  virtual Boolean CanHScrollBarHide();
  // A new record appended at the end or inserted at the focused one.
  virtual void CreateNewRecord(Boolean append);
  // The selected records, or the focused one, after the confirmation the data options ask for.
  virtual void DeleteSelection();
  // Asks whether to delete; OK goes on. Tests replace the question.
  static Boolean (*DeleteConfirmationQuestion)(const AnsiString& caption, const AnsiString& text);
  Boolean GetAllowAppend() const { return FAllowAppend; }
  void SetAllowAppend(Boolean value) { FAllowAppend = value; }
  // The data controller's focus moved.
  virtual void FocusedRecordChanged(Integer prevFocusedRecordIndex, Integer focusedRecordIndex,
                                    Boolean newItemRecordFocusingChanged);
  // The grid's focused view lost an item.
  void ItemRemoved(TcxCustomGridTableItem* item);

  // ---- Multi-selection, mouse, pull focusing, data scrolling (cxGridCustomTableViewSelection.cpp) ----
  virtual Boolean CanPostponeRecordSelection(TShiftState shift);
  // The selection option MultiSelect; with checkFocus also the grid's focused view.
  virtual Boolean IsMultiSelectActive(Boolean checkFocus = false);
  virtual Boolean CanProcessMultiSelect(TcxCustomGridHitTest* hitTest, TShiftState shift);
  virtual Boolean IsKeyForMultiSelect(Word key, TShiftState shift, Boolean focusedRecordChanged);
  virtual void DoNormalSelection() { DoSingleSelection(); }
  virtual void DoRangeSelection(Boolean replace) { SelectFocusedRecordFromAnchor(replace); }
  // The focused record becomes the only selected one.
  virtual void DoSingleSelection();
  virtual void ResetUnselecting();
  virtual void InvalidateFocusedRecord();
  virtual void InvalidateSelection();
  virtual Boolean IsKeyForMultiSelectCore(Word key, TShiftState shift, Boolean focusedRecordChanged);
  virtual void MultiSelectKeyDown(Word& key, TShiftState shift);
  virtual void MultiSelectMouseDown(TcxCustomGridHitTest* hitTest, TShiftState shift);
  virtual void MultiSelectMouseUp(TcxCustomGridHitTest* hitTest, TShiftState shift);
  virtual Boolean CanRangeSelectAdd() { return true; }
  virtual Boolean CanToggleSelection() { return true; }
  virtual void PullFocusingSelect(TcxCustomGridHitTest* hitTest);
  virtual void ScrollPullFocusing(TcxDirection direction);
  virtual Boolean GetPullFocusingScrollingDirection(Integer x, Integer y, TcxDirection& direction);
  virtual void StartPullFocusing(Boolean rangeReplace);
  virtual Boolean SupportsPullFocusing();
  virtual Boolean CanScrollData(TcxDirection direction) { return false; }
  virtual void ScrollData(TcxDirection direction) {}
  virtual Integer GetScrollDataTimeInterval(TcxDirection direction) { return 35; }
  // Moving objects call it with the mouse position; a view may start data scrolling near its edges.
  virtual void CheckScrolling(const TPoint& point) {}
  virtual TcxCustomGridPopupClass GetItemsCustomizationPopupClass();
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void CancelMouseOperation() override;
  void EndDragAndDrop(Boolean accepted) override;
  void ToggleFocusedRecordSelection();
  void SelectFocusedRecordFromAnchor(Boolean replace);
  void SetAnchorToFocusedRecord(Boolean single);
  void UnselectRecordOnExit(TcxCustomGridRecord* record);
  // Leaving the view unselects its focused record when that is the only selected one and the
  // selection option UnselectFocusedRecordOnExit says so.
  void FocusLost() override;
  // The data scroll timer's direction (dirNone stops it).
  void SetScrollDirection(TcxDirection direction);
  TcxDirection GetScrollDirection() const { return FScrollDirection; }
  Boolean IsPullFocusing() const { return FPullFocusing; }
  // The item an item moving object drags; cells draw it as being moved.
  TcxCustomGridTableItem* GetMovingItem() const { return FMovingItem; }
  void SetMovingItem(TcxCustomGridTableItem* value);
  // Made with the view on first access.
  TcxCustomGridPopup* GetItemsCustomizationPopup();
  TcxCustomGridPopup* FindItemsCustomizationPopup() const { return FItemsCustomizationPopup; }
  // The filter drop-downs (cxGridFilterPopup.cpp), made with the view on first access.
  virtual TcxCustomGridPopupClass GetFilterMRUItemsPopupClass();
  virtual TcxCustomGridPopupClass GetFilterPopupClass();
  TcxCustomGridPopup* GetFilterMRUItemsPopup();
  TcxCustomGridPopup* GetFilterPopup();
  TcxCustomGridPopup* FindFilterPopup() const { return FFilterPopup; }

  // ---- Records dragged by the platform's drag and drop (cxGridCustomTableViewSelection.cpp) ----
  // The view as a drag source or target: the drag cursor and image, scrolling at the edges, the
  // drag-highlighted record, focusing and opening what the drag rests on.
  virtual TcxDirection GetDragScrollDirection(Integer x, Integer y);
  virtual Integer GetDragScrollInterval() { return 20; }
  virtual Boolean IsFirstPageRecord(TcxCustomGridRecord* record);
  virtual Boolean IsLastPageRecord(TcxCustomGridRecord* record);
  // What a drag resting on the hit test opens (owned by the caller), nil for nothing.
  virtual TcxCustomGridDragOpenInfo* GetDragOpenInfo(TcxCustomGridHitTest* hitTest);
  virtual AnsiString GetDragDropText();
  virtual void GetDragDropTextViewParams(TcxViewParams& params);
  Boolean AllowAutoDrag(Integer x, Integer y) override;
  void BeginDragAndDrop() override;
  void BeforeStartDrag() override;
  void DragDrop(TObject* source, Integer x, Integer y) override;
  void DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept) override;
  void DrawDragImage(TcxCanvas* canvas, const TRect& rect) override;
  void EndDrag(TObject* target, Integer x, Integer y) override;
  void GetDragImagesSize(TSize& size) override;
  Boolean HasDragImages() override { return true; }
  void StartDrag(TDragObject*& dragObject) override;
  // A record under the point takes the focus; a point over another view focuses that view.
  void FocusRecordAtPoint(Integer x, Integer y);
  // The drag scroll timer's direction (dirNone while it is stopped).
  TcxDirection GetDragScrollDirectionValue() const { return FDragScrollDirection; }
  AnsiString GetDragDropTextValue() const { return FDragDropText; }

 private:
  void SetDragScrollDirection(TcxDirection direction);
  void DragScrollTimerHandler(TObject* sender);
  void ChangeDragHighlightedRecord(TcxCustomGridRecord* record);
  AnsiString FDragDropText;
  TcxDirection FDragScrollDirection = dirNone;
  TcxTimer* FDragScrollTimer = nullptr;

  // Frees the popup and the timers of this part (from BeforeDestruction).
  void FreeSelectionState();
  void FreeFilterPopups();
  TcxCustomGridPopup* FFilterMRUItemsPopup = nullptr;
  TcxCustomGridPopup* FFilterPopup = nullptr;
  void ScrollTimerHandler(TObject* sender);
  void PullFocusingTimerHandler(TObject* sender);
  void CheckTopRecordTimerHandler(TObject* sender);
  void StopPullFocusing();
  Boolean NavigateRecord(Integer recordIndex, Boolean forward, Boolean goOnCycle, Boolean syncSelection);
  TcxTimer* FCheckTopRecordTimer = nullptr;
  TcxCustomGridTableItem* FMovingItem = nullptr;
  TcxCustomGridPopup* FItemsCustomizationPopup = nullptr;
  Boolean FPullFocusing = false;
  Boolean FPullFocusingReplace = true;
  TPoint FPullFocusingMousePos{-1, -1};
  Variant FPullFocusingRecordId;
  TcxCustomGridTableItem* FPullFocusingItem = nullptr;
  TcxDirection FPullFocusingScrollingDirection = dirNone;
  TcxTimer* FPullFocusingScrollingTimer = nullptr;
  Boolean FPendingUnselect = false;
  Integer FUnselectingRecordIndex = -1;
  TcxDirection FScrollDirection = dirNone;
  TcxTimer* FScrollTimer = nullptr;

  Boolean FAllowAppend = true;
  TcxGridEditingController* FEditingController = nullptr;
  Boolean FEditorCheckAllowed = true;
  Boolean FEditorCheckRequested = false;
  Boolean FIsLayoutKnown = true;
  Boolean FKeyFromEditor = false;
  TcxGridTableDataCellViewInfo* FPressedCell = nullptr;
  TcxCustomGridRecord* FDragHighlightedRecord = nullptr;
  TcxCustomGridTableItem* FFocusedItem = nullptr;
  TcxCustomGridTableItem* FForcingWidthItem = nullptr;
  Boolean FCheckingTopRecordIndex = false;
  Boolean FSwallowNextChar = false;
  Integer FTopRecordIndex = 0;
};

// ==== Options =================================================================================

enum TcxGridDragFocusing : Byte { dfNone, dfDragOver, dfDragDrop };
enum TcxGridQuickCustomizationReordering : Byte { qcrDefault, qcrEnabled, qcrDisabled };
enum TcxGridShowEditButtons : Byte { gsebNever, gsebForFocusedRecord, gsebAlways };
enum TcxGridShowItemFilterButtons : Byte { sfbAlways, sfbWhenSelected };
enum TcxGridDateTimeGrouping : Byte {
  dtgDefault,
  dtgByDateAndTime,
  dtgRelativeToToday,
  dtgByHour,
  dtgByDate,
  dtgByMonth,
  dtgByYear
};
enum TcxGridDateTimeFilter : Byte {
  dtfRelativeDays,
  dtfRelativeDayPeriods,
  dtfRelativeWeeks,
  dtfRelativeMonths,
  dtfRelativeYears,
  dtfPastFuture,
  dtfMonths,
  dtfYears
};
using TcxGridDateTimeFilters = orv::Set<TcxGridDateTimeFilter>;

class TcxCustomGridTableOptionsBehavior : public TcxCustomGridOptionsBehavior {
  ORV_CLASS(TcxCustomGridTableOptionsBehavior, TcxCustomGridOptionsBehavior)
 public:
  explicit TcxCustomGridTableOptionsBehavior(TcxCustomGridView* gridView) : TcxCustomGridOptionsBehavior(gridView) {}
  void Assign(TPersistent* source) override;

  Boolean GetAlwaysShowEditor() const { return FAlwaysShowEditor; }
  void SetAlwaysShowEditor(Boolean value);
  Integer GetBestFitMaxRecordCount() const { return FBestFitMaxRecordCount; }
  void SetBestFitMaxRecordCount(Integer value);
  Boolean GetCellHints() const { return FCellHints; }
  void SetCellHints(Boolean value);
  Boolean GetCopyCaptionsToClipboard() const { return FCopyCaptionsToClipboard; }
  void SetCopyCaptionsToClipboard(Boolean value);
  Boolean GetDragDropText() const { return FDragDropText; }
  void SetDragDropText(Boolean value);
  TcxGridDragFocusing GetDragFocusing() const { return FDragFocusing; }
  void SetDragFocusing(TcxGridDragFocusing value);
  Boolean GetDragHighlighting() const { return FDragHighlighting; }
  void SetDragHighlighting(Boolean value);
  Boolean GetDragOpening() const { return FDragOpening; }
  void SetDragOpening(Boolean value);
  Boolean GetDragScrolling() const { return FDragScrolling; }
  void SetDragScrolling(Boolean value);
  Boolean GetFocusCellOnCycle() const { return FFocusCellOnCycle; }
  void SetFocusCellOnCycle(Boolean value);
  Boolean GetFocusCellOnTab() const { return FFocusCellOnTab; }
  void SetFocusCellOnTab(Boolean value);
  Boolean GetFocusFirstCellOnNewRecord() const { return FFocusFirstCellOnNewRecord; }
  void SetFocusFirstCellOnNewRecord(Boolean value);
  Boolean GetGoToNextCellOnEnter() const { return FGoToNextCellOnEnter; }
  void SetGoToNextCellOnEnter(Boolean value);
  Boolean GetImmediateEditor() const { return FImmediateEditor; }
  void SetImmediateEditor(Boolean value);
  Boolean GetIncSearch() const { return FIncSearch; }
  void SetIncSearch(Boolean value);
  TcxCustomGridTableItem* GetIncSearchItem() const { return FIncSearchItem; }
  void SetIncSearchItem(TcxCustomGridTableItem* value);
  Boolean GetNavigatorHints() const { return FNavigatorHints; }
  void SetNavigatorHints(Boolean value);
  Boolean GetPullFocusing() const { return FPullFocusing; }
  void SetPullFocusing(Boolean value);

 private:
  Boolean FAlwaysShowEditor = false;
  Integer FBestFitMaxRecordCount = 0;
  Boolean FCellHints = false;
  Boolean FCopyCaptionsToClipboard = true;
  Boolean FDragDropText = false;
  TcxGridDragFocusing FDragFocusing = dfNone;
  Boolean FDragHighlighting = true;
  Boolean FDragOpening = true;
  Boolean FDragScrolling = true;
  Boolean FFocusCellOnCycle = false;
  Boolean FFocusCellOnTab = false;
  Boolean FFocusFirstCellOnNewRecord = false;
  Boolean FGoToNextCellOnEnter = false;
  Boolean FImmediateEditor = true;
  Boolean FIncSearch = false;
  TcxCustomGridTableItem* FIncSearchItem = nullptr;
  Boolean FNavigatorHints = false;
  Boolean FPullFocusing = false;
};

class TcxCustomGridTableOptionsCustomize : public TcxCustomGridOptions {
  ORV_CLASS(TcxCustomGridTableOptionsCustomize, TcxCustomGridOptions)
 public:
  explicit TcxCustomGridTableOptionsCustomize(TcxCustomGridView* gridView) : TcxCustomGridOptions(gridView) {}
  void Assign(TPersistent* source) override;
  virtual Boolean SupportsItemsQuickCustomizationReordering();

  Boolean GetItemFiltering() const { return FItemFiltering; }
  void SetItemFiltering(Boolean value);
  Boolean GetItemGrouping() const { return FItemGrouping; }
  void SetItemGrouping(Boolean value);
  Boolean GetItemHiding() const { return FItemHiding; }
  void SetItemHiding(Boolean value);
  Boolean GetItemMoving() const { return FItemMoving; }
  void SetItemMoving(Boolean value);
  Boolean GetItemSorting() const { return FItemSorting; }
  void SetItemSorting(Boolean value);
  Boolean GetItemsQuickCustomization() const { return FItemsQuickCustomization; }
  void SetItemsQuickCustomization(Boolean value);
  Integer GetItemsQuickCustomizationMaxDropDownCount() const { return FItemsQuickCustomizationMaxDropDownCount; }
  void SetItemsQuickCustomizationMaxDropDownCount(Integer value);
  TcxGridQuickCustomizationReordering GetItemsQuickCustomizationReordering() const {
    return FItemsQuickCustomizationReordering;
  }
  void SetItemsQuickCustomizationReordering(TcxGridQuickCustomizationReordering value);

 private:
  Boolean FItemFiltering = true;
  Boolean FItemGrouping = true;
  Boolean FItemHiding = false;
  Boolean FItemMoving = true;
  Boolean FItemSorting = true;
  Boolean FItemsQuickCustomization = false;
  Integer FItemsQuickCustomizationMaxDropDownCount = 0;
  TcxGridQuickCustomizationReordering FItemsQuickCustomizationReordering = qcrDefault;
};

using TcxCustomGridTableOptionsCustomizeClass = orv::ClassOf<TcxCustomGridTableOptionsCustomize>;

class TcxCustomGridTableOptionsData : public TcxCustomGridOptionsData {
  ORV_CLASS(TcxCustomGridTableOptionsData, TcxCustomGridOptionsData)
 public:
  explicit TcxCustomGridTableOptionsData(TcxCustomGridView* gridView) : TcxCustomGridOptionsData(gridView) {}
  void Assign(TPersistent* source) override;
  // What the navigator's buttons may do follows the options.
  void Changed(TcxGridViewChangeKind changeKind) override;

  Boolean GetAppending() const { return FAppending; }
  void SetAppending(Boolean value);
  Boolean GetCancelOnExit() const { return FCancelOnExit; }
  void SetCancelOnExit(Boolean value);
  Boolean GetDeleting() const { return FDeleting; }
  void SetDeleting(Boolean value);
  Boolean GetDeletingConfirmation() const { return FDeletingConfirmation; }
  void SetDeletingConfirmation(Boolean value);
  Boolean GetEditing() const { return FEditing; }
  void SetEditing(Boolean value);
  Boolean GetInserting() const { return FInserting; }
  void SetInserting(Boolean value);

 private:
  Boolean FAppending = false;
  Boolean FCancelOnExit = true;
  Boolean FDeleting = true;
  Boolean FDeletingConfirmation = true;
  Boolean FEditing = true;
  Boolean FInserting = true;
};

class TcxCustomGridTableOptionsSelection : public TcxCustomGridOptionsSelection {
  ORV_CLASS(TcxCustomGridTableOptionsSelection, TcxCustomGridOptionsSelection)
 public:
  explicit TcxCustomGridTableOptionsSelection(TcxCustomGridView* gridView) : TcxCustomGridOptionsSelection(gridView) {}
  void Assign(TPersistent* source) override;

  virtual Boolean IsInvertSelectStored() { return !FInvertSelect; }
  virtual Boolean IsMultiSelectStored() { return GetMultiSelect(); }
  Boolean GetCellSelect() const { return FCellSelect; }
  virtual void SetCellSelect(Boolean value);
  Boolean GetHideFocusRectOnExit() const { return FHideFocusRectOnExit; }
  void SetHideFocusRectOnExit(Boolean value);
  // The same field as HideFocusRectOnExit.
  Boolean GetHideFocusRect() const { return FHideFocusRectOnExit; }
  void SetHideFocusRect(Boolean value) { SetHideFocusRectOnExit(value); }
  Boolean GetHideSelection() const { return FHideSelection; }
  void SetHideSelection(Boolean value);
  Boolean GetInvertSelect() const { return FInvertSelect; }
  virtual void SetInvertSelect(Boolean value);
  // Kept by the data controller.
  Boolean GetMultiSelect() const;
  virtual void SetMultiSelect(Boolean value);
  Boolean GetUnselectFocusedRecordOnExit() const { return FUnselectFocusedRecordOnExit; }
  void SetUnselectFocusedRecordOnExit(Boolean value);

 private:
  Boolean FCellSelect = true;
  Boolean FHideFocusRectOnExit = true;
  Boolean FHideSelection = false;
  Boolean FInvertSelect = true;
  Boolean FUnselectFocusedRecordOnExit = true;
};

class TcxCustomGridTableOptionsView : public TcxCustomGridOptionsView {
  ORV_CLASS(TcxCustomGridTableOptionsView, TcxCustomGridOptionsView)
 public:
  explicit TcxCustomGridTableOptionsView(TcxCustomGridView* gridView);
  void Assign(TPersistent* source) override;

  Boolean GetCellAutoHeight() const { return FCellAutoHeight; }
  void SetCellAutoHeight(Boolean value);
  Boolean GetCellEndEllipsis() const { return FCellEndEllipsis; }
  void SetCellEndEllipsis(Boolean value);
  Integer GetCellTextMaxLineCount() const { return FCellTextMaxLineCount; }
  void SetCellTextMaxLineCount(Integer value);
  Boolean GetFocusRect() const { return FFocusRect; }
  void SetFocusRect(Boolean value);
  Boolean GetItemCaptionAutoHeight() const { return FItemCaptionAutoHeight; }
  void SetItemCaptionAutoHeight(Boolean value);
  Boolean GetItemCaptionEndEllipsis() const { return FItemCaptionEndEllipsis; }
  void SetItemCaptionEndEllipsis(Boolean value);
  Boolean GetNavigator() const { return FNavigator; }
  void SetNavigator(Boolean value);
  Integer GetNavigatorOffset() const { return FNavigatorOffset; }
  void SetNavigatorOffset(Integer value);
  const AnsiString& GetNoDataToDisplayInfoTextValue() const { return FNoDataToDisplayInfoText; }
  void SetNoDataToDisplayInfoText(const AnsiString& value);
  Boolean IsNoDataToDisplayInfoTextStored() const;
  // The text in effect: the set value, or the current localized text while it is the default.
  AnsiString GetNoDataToDisplayInfoText() const;
  TcxGridShowEditButtons GetShowEditButtons() const { return FShowEditButtons; }
  void SetShowEditButtons(TcxGridShowEditButtons value);
  TcxGridShowItemFilterButtons GetShowItemFilterButtons() const { return FShowItemFilterButtons; }
  void SetShowItemFilterButtons(TcxGridShowItemFilterButtons value);

 private:
  Boolean FCellAutoHeight = false;
  Boolean FCellEndEllipsis = false;
  Integer FCellTextMaxLineCount = 0;
  Boolean FFocusRect = true;
  Boolean FItemCaptionAutoHeight = false;
  Boolean FItemCaptionEndEllipsis = false;
  Boolean FNavigator = false;
  Integer FNavigatorOffset = 50;
  AnsiString FNoDataToDisplayInfoText;
  TcxGridShowEditButtons FShowEditButtons = gsebNever;
  TcxGridShowItemFilterButtons FShowItemFilterButtons = sfbWhenSelected;
};

class TcxCustomGridTableDateTimeHandling : public TcxCustomGridOptions {
  ORV_CLASS(TcxCustomGridTableDateTimeHandling, TcxCustomGridOptions)
 public:
  explicit TcxCustomGridTableDateTimeHandling(TcxCustomGridView* gridView) : TcxCustomGridOptions(gridView) {}
  void Assign(TPersistent* source) override;

  const AnsiString& GetDateFormat() const { return FDateFormat; }
  void SetDateFormat(const AnsiString& value);
  TcxGridDateTimeFilters GetFilters() const { return FFilters; }
  void SetFilters(TcxGridDateTimeFilters value);
  TcxGridDateTimeGrouping GetGrouping() const { return FGrouping; }
  // dtgDefault is stored as dtgByDateAndTime.
  void SetGrouping(TcxGridDateTimeGrouping value);
  const AnsiString& GetHourFormat() const { return FHourFormat; }
  void SetHourFormat(const AnsiString& value);
  Boolean GetIgnoreTimeForFiltering() const { return FIgnoreTimeForFiltering; }
  void SetIgnoreTimeForFiltering(Boolean value);
  const AnsiString& GetMonthFormat() const { return FMonthFormat; }
  void SetMonthFormat(const AnsiString& value);
  Boolean GetUseLongDateFormat() const { return FUseLongDateFormat; }
  void SetUseLongDateFormat(Boolean value);
  Boolean GetUseShortTimeFormat() const { return FUseShortTimeFormat; }
  void SetUseShortTimeFormat(Boolean value);
  const AnsiString& GetYearFormat() const { return FYearFormat; }
  void SetYearFormat(const AnsiString& value);
  // The formats in effect.
  AnsiString GetDateFormatInEffect() const;
  AnsiString GetHourFormatInEffect() const;
  AnsiString GetMonthFormatInEffect() const;
  AnsiString GetYearFormatInEffect() const;

 private:
  AnsiString FDateFormat;
  TcxGridDateTimeFilters FFilters;
  TcxGridDateTimeGrouping FGrouping = dtgByDateAndTime;
  AnsiString FHourFormat;
  Boolean FIgnoreTimeForFiltering = false;
  AnsiString FMonthFormat;
  Boolean FUseLongDateFormat = true;
  Boolean FUseShortTimeFormat = true;
  AnsiString FYearFormat;
};

using TcxCustomGridTableDateTimeHandlingClass = orv::ClassOf<TcxCustomGridTableDateTimeHandling>;

// ==== Styles ==================================================================================

// Style indexes of a table view (the grid table view goes on from 8).
inline constexpr Integer vsContent = 1;
inline constexpr Integer vsContentEven = 2;
inline constexpr Integer vsContentOdd = 3;
inline constexpr Integer vsFilterBox = 4;
inline constexpr Integer vsInactive = 5;
inline constexpr Integer vsIncSearch = 6;
inline constexpr Integer vsSelection = 7;

// A cell's position for style resolution: a record and an item.
class TcxGridDataCellPos : public TObject {
  ORV_CLASS(TcxGridDataCellPos, TObject)
 public:
  TcxGridDataCellPos(TcxCustomGridRecord* record, TcxCustomGridTableItem* item) : GridRecord(record), Item(item) {}
  TcxCustomGridRecord* GridRecord;
  TcxCustomGridTableItem* Item;
};
// The same carried to the selection styles.
class TcxGridCellPos : public TObject {
  ORV_CLASS(TcxGridCellPos, TObject)
 public:
  TcxGridCellPos(TcxCustomGridRecord* record, TObject* item) : GridRecord(record), Item(item) {}
  TcxCustomGridRecord* GridRecord;
  TObject* Item;
};

class TcxCustomGridTableViewStyles : public TcxCustomGridViewStyles {
  ORV_CLASS(TcxCustomGridTableViewStyles, TcxCustomGridViewStyles)
 public:
  explicit TcxCustomGridTableViewStyles(TPersistent* owner) : TcxCustomGridViewStyles(owner) {}
  void Assign(TPersistent* source) override;
  TcxCustomGridTableView* GetTableView() const;

  virtual void GetSelectionParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item, TcxViewParams& params);
  virtual void GetCellContentParams(TcxCustomGridRecord* record, TObject* item, TcxViewParams& params);
  virtual void GetContentParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item, TcxViewParams& params);
  virtual void GetItemContentParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item, TcxViewParams& params);
  virtual void GetDataCellParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item, Boolean ignoreSelection,
                                 TcxCustomGridCellViewInfo* cellViewInfo, Boolean fromViewInfo,
                                 TcxViewParams& params);
  virtual void GetRecordContentParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                                      TcxViewParams& params) {
    GetContentParams(record, item, params);
  }

  TcxStyle* GetContent() const { return GetStyleValue(vsContent); }
  void SetContent(TcxStyle* value) { SetStyleValue(vsContent, value); }
  TcxStyle* GetContentEven() const { return GetStyleValue(vsContentEven); }
  void SetContentEven(TcxStyle* value) { SetStyleValue(vsContentEven, value); }
  TcxStyle* GetContentOdd() const { return GetStyleValue(vsContentOdd); }
  void SetContentOdd(TcxStyle* value) { SetStyleValue(vsContentOdd, value); }
  TcxStyle* GetFilterBox() const { return GetStyleValue(vsFilterBox); }
  void SetFilterBox(TcxStyle* value) { SetStyleValue(vsFilterBox, value); }
  TcxStyle* GetInactive() const { return GetStyleValue(vsInactive); }
  void SetInactive(TcxStyle* value) { SetStyleValue(vsInactive, value); }
  TcxStyle* GetIncSearch() const { return GetStyleValue(vsIncSearch); }
  void SetIncSearch(TcxStyle* value) { SetStyleValue(vsIncSearch, value); }
  TcxStyle* GetSelection() const { return GetStyleValue(vsSelection); }
  void SetSelection(TcxStyle* value) { SetStyleValue(vsSelection, value); }
  const TcxGridGetCellStyleEvent& GetOnGetContentStyle() const { return FOnGetContentStyle; }
  void SetOnGetContentStyle(const TcxGridGetCellStyleEvent& value);

 protected:
  void GetDefaultStyleParams(Integer index, TObject* data, TcxViewParams& params) override;

 private:
  TcxGridGetCellStyleEvent FOnGetContentStyle;
};

// ==== The view ================================================================================

using TcxGridAllowRecordOperationEvent =
    orv::Event<void(TcxCustomGridTableView* sender, TcxCustomGridRecord* record, Boolean& allow)>;
using TcxGridFocusedRecordChangedEvent =
    orv::Event<void(TcxCustomGridTableView* sender, TcxCustomGridRecord* prevFocusedRecord,
                    TcxCustomGridRecord* focusedRecord, Boolean newItemRecordFocusingChanged)>;
using TcxGridFocusedItemChangedEvent =
    orv::Event<void(TcxCustomGridTableView* sender, TcxCustomGridTableItem* prevFocusedItem,
                    TcxCustomGridTableItem* focusedItem)>;
using TcxGridCustomTableViewEvent = orv::Event<void(TcxCustomGridTableView* sender)>;
using TcxGridFilterCustomizationEvent = orv::Event<void(TcxCustomGridTableView* sender, Boolean& done)>;
using TcxGridFilterDialogShowEvent =
    orv::Event<void(TcxCustomGridTableView* sender, TcxCustomGridTableItem* item, Boolean& done)>;

// The base of the table-like views: items over the controller's fields, records over its rows.
class TcxCustomGridTableView : public TcxCustomGridView, public IcxNavigator, public IcxFilterControl {
  ORV_CLASS(TcxCustomGridTableView, TcxCustomGridView)
 public:
  explicit TcxCustomGridTableView(TComponent* owner) : TcxCustomGridView(owner) {}

  void GetChildren(TGetChildProc proc, TComponent* root) override;
  using TcxCustomGridView::GetChildren;
  void SetChildOrder(TComponent* child, Integer order) override;
  void ReadState(TReader* reader) override;
  void SetName(const AnsiString& newName) override;

  // ---- Handlers and options ----
  TcxCustomGridTableController* GetTableController() const;
  TcxCustomGridTableViewData* GetTableViewData() const;
  TcxCustomGridTableOptionsBehavior* GetTableOptionsBehavior() const;
  TcxCustomGridTableOptionsData* GetTableOptionsData() const;
  TcxCustomGridTableOptionsSelection* GetTableOptionsSelection() const;
  TcxCustomGridTableOptionsView* GetTableOptionsView() const;
  TcxCustomGridTableViewStyles* GetTableStyles() const;
  TcxCustomGridTableOptionsCustomize* GetOptionsCustomize() const { return FOptionsCustomize; }
  void SetOptionsCustomize(TcxCustomGridTableOptionsCustomize* value) { FOptionsCustomize->Assign(value); }
  TcxCustomGridTableDateTimeHandling* GetDateTimeHandling() const { return FDateTimeHandling; }
  void SetDateTimeHandling(TcxCustomGridTableDateTimeHandling* value) { FDateTimeHandling->Assign(value); }

  // ---- Items ----
  Integer GetItemCount() const { return Integer(FItems.size()); }
  TcxCustomGridTableItem* GetItem(Integer index) const { return FItems[std::size_t(index)]; }
  Integer GetVisibleItemCount() const { return Integer(FVisibleItems.size()); }
  TcxCustomGridTableItem* GetVisibleItem(Integer index) const { return FVisibleItems[std::size_t(index)]; }
  Integer GetFilterableItemCount() const { return Integer(FFilterableItems.size()); }
  TcxCustomGridTableItem* GetFilterableItem(Integer index) const { return FFilterableItems[std::size_t(index)]; }
  Integer GetSortedItemCount();
  TcxCustomGridTableItem* GetSortedItem(Integer index);
  Integer GetGroupedItemCount();
  TcxCustomGridTableItem* GetGroupedItem(Integer index);
  Integer IndexOfItem(TcxCustomGridTableItem* item) const;
  TcxCustomGridTableItem* FindItemByName(const AnsiString& name) const;
  TcxCustomGridTableItem* FindItemByID(Integer id) const;
  TcxCustomGridTableItem* CreateItem();
  void ClearItems();
  Integer GetNextID() const { return FNextID; }
  Boolean IsAssigningItems() const { return FAssigningItems; }
  Boolean IsAfterAssigningItems() const { return FAfterAssigningItems; }
  Boolean IsRestoringItems() const { return FRestoringItems; }
  // While reading: pending grouped, sorted and restored-index items.
  void AddPendingGroupedItem(TcxCustomGridTableItem* item, Integer groupIndex);
  void AddPendingSortedItem(TcxCustomGridTableItem* item, Integer sortIndex);
  void AddPendingIndexItem(TcxCustomGridTableItem* item, Integer index);

  // ---- Operations ----
  void CopyToClipboard(Boolean copyAll);
  // The copied text without touching the clipboard.
  AnsiString GetCopyText(Boolean copyAll);
  void ApplyBestFit(TcxCustomGridTableItem* item = nullptr, Boolean checkCanSize = false, Boolean fireEvents = false);
  // Before and after a visibility change of items.
  void SaveItemsVisibilities();
  void CheckItemVisibilities();

  // ---- New virtual operations ----
  virtual void BeginAssigningItems();
  virtual void EndAssigningItems();
  virtual Boolean DoCanSelectRecord(Integer recordIndex);
  virtual TcxCustomGridTableItem* FindItemByStoredName(const AnsiString& name);
  virtual void GetItemsForCopy(std::vector<TcxCustomGridTableItem*>& list, Boolean copyAll);
  virtual void GetVisibleItemsList(std::vector<TcxCustomGridTableItem*>& list) { list = FVisibleItems; }
  // Whether every record is as tall as the others (the records view info's heights do not vary).
  virtual Boolean RecordHeightsFixed();
  virtual Boolean RecordHeightsVary() { return false; }
  virtual Boolean RecordHeightsVaryWithFocus() { return false; }
  virtual void AddItem(TcxCustomGridTableItem* item);
  virtual void RemoveItem(TcxCustomGridTableItem* item);
  virtual void ChangeItemIndex(TcxCustomGridTableItem* item, Integer index);
  virtual void RefreshItemIndexes();
  virtual void ItemVisibilityChanged(TcxCustomGridTableItem* item, Boolean value);
  virtual void RefreshVisibleItemsList();
  virtual void RefreshFilterableItemsList();
  virtual TcxCustomGridTableItemClass GetItemClass() = 0;
  virtual TcxGridItemDataBindingClass GetItemDataBindingClass() { return TcxGridItemDataBinding::StaticClass(); }
  virtual void DataChanged();
  virtual void DataLayoutChanged();
  virtual void DoFocusedItemChanged(TcxCustomGridTableItem* prevFocusedItem, TcxCustomGridTableItem* focusedItem);
  virtual void FocusedRecordChanged(Integer prevFocusedRecordIndex, Integer focusedRecordIndex,
                                    Boolean newItemRecordFocusingChanged);
  virtual void ItemCaptionChanged(TcxCustomGridTableItem* item);
  virtual void RecordChanged(Integer recordIndex);
  // The body of a data change.
  virtual void RecordsViewDataChanged();
  virtual void SelectionChanged(TcxSelectionChangedInfo* info);
  virtual Boolean IsCellDrawnInSelection(TcxCustomGridRecord* record, TcxCustomGridTableItem* item);
  virtual Boolean IsRecordCellDrawnSelected(TcxCustomGridRecord* record, TcxCustomGridTableItem* item);
  virtual Boolean IsSelectionActive(TcxCustomGridRecord* record);
  virtual Boolean IsRecordFocusedInView(TcxCustomGridRecord* record);
  virtual Boolean IsRecordDrawnSelected(TcxCustomGridRecord* record);
  virtual Boolean IsSelectionVisible();
  virtual Boolean DoCanFocusRecord(TcxCustomGridRecord* record);
  virtual void DoFocusedRecordChanged(Integer prevFocusedRecordIndex, Integer focusedRecordIndex,
                                      Boolean newItemRecordFocusingChanged);
  virtual void DoSelectionChanged();
  virtual void DoInitFilteringDateRanges(TcxCustomGridTableItem* item, TcxGridDateRanges* dateRanges);
  virtual void DoInitGroupingDateRanges(TcxCustomGridTableItem* item, TcxGridDateRanges* dateRanges);
  virtual void DoTopRecordIndexChanged() { FireNotifyEvent(this, FOnTopRecordIndexChanged); }
  // Whether the view info shows the part now (never while the grid is locked or the view hidden).
  virtual Boolean IsRecordPartVisible(TcxCustomGridPartViewInfo* part);
  // The item starts editing; answers whether it is the editing item now.
  virtual Boolean ShowItemEditor(Integer index);
  virtual Integer GetDefaultActiveDetailIndex();
  virtual void ScrollRecords(Boolean byRows, Integer dx, Integer dy);
  virtual void PostEditingValue();
  virtual void GroupingChanging();
  virtual void ItemValueTypeClassChanged(Integer index);
  virtual void SearchChanged();
  virtual Boolean DoCellClick(TcxGridTableDataCellViewInfo* cell, TMouseButton button, TShiftState shift);
  virtual Boolean DoCellDblClick(TcxGridTableDataCellViewInfo* cell, TMouseButton button, TShiftState shift);
  virtual Boolean DoEditing(TcxCustomGridTableItem* item);
  virtual void DoCustomDrawCell(TcxCanvas* canvas, TcxGridTableDataCellViewInfo* viewInfo, Boolean& done);
  virtual void DoCustomDrawPartBackground(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo, Boolean& done);
  virtual void DoEditChanged(TcxCustomGridTableItem* item);
  virtual void DoEditKeyDown(TcxCustomGridTableItem* item, TcxCustomEdit* edit, Word& key, TShiftState shift);
  virtual void DoEditKeyPress(TcxCustomGridTableItem* item, TcxCustomEdit* edit, char& key);
  virtual void DoEditKeyUp(TcxCustomGridTableItem* item, TcxCustomEdit* edit, Word& key, TShiftState shift);
  virtual void DoEditValueChanged(TcxCustomGridTableItem* item);
  virtual void DoGetCellHeight(TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                               TcxGridTableDataCellViewInfo* cellViewInfo, Integer& height);
  virtual void DoGetDragDropText(TcxCustomGridRecord* record, TcxCustomGridTableItem* item, AnsiString& text);
  virtual void DoInitEdit(TcxCustomGridTableItem* item, TcxCustomEdit* edit);
  virtual void DoInitEditValue(TcxCustomGridTableItem* item, TcxCustomEdit* edit, Variant& value);
  // The filter dialog hooks: true when a handler took over the dialog.
  virtual Boolean DoFilterCustomization();
  virtual Boolean DoFilterDialogShow(TcxCustomGridTableItem* item);
  Boolean HasCustomDrawCell() const { return bool(FOnCustomDrawCell); }
  Boolean HasCustomDrawPartBackground() const { return bool(FOnCustomDrawPartBackground); }
  Boolean HasGetCellHeight() const { return bool(FOnGetCellHeight); }
  // The layout, when the view has one of the table views' kind.
  TcxCustomGridTableViewInfo* GetTableViewInfo() const;
  // Drops the laid-out records (before the records or items they show go away).
  void ClearRecordViewInfos();
  TcxGridFilterBox* GetFilterBox() const { return FFilterBox; }
  void SetFilterBox(TcxGridFilterBox* value);

  // ---- The record navigator ----
  TcxNavigatorControlButtons* GetNavigatorButtons() const { return FNavigatorButtons; }
  void SetNavigatorButtons(TcxNavigatorControlButtons* value) { FNavigatorButtons->Assign(value); }
  // The navigators that show this view.
  TcxNavigatorControlNotifier* GetNavigatorNotifier() const { return FNavigatorNotifier; }
  virtual orv::ClassOf<TcxNavigatorControlButtons> GetNavigatorButtonsClass() {
    return TcxNavigatorControlButtons::StaticClass();
  }
  // A placeholder of the design environment; nothing fires it.
  const TNotifyEvent& GetNavigatorButtonsEvents() const { return FNavigatorButtonsEvents; }
  void SetNavigatorButtonsEvents(const TNotifyEvent& value) { FNavigatorButtonsEvents = value; }
  // The view's own navigator, its notifier and the grid's after a data-controller notice.
  void RefreshNavigators();
  // IcxFilterControl: the filter builder edits the data controller's filter over the items.
  using TcxCustomGridView::GetProperties;
  AnsiString GetCaption(Integer index) override;
  Integer GetCount() override { return GetItemCount(); }
  TcxFilterCriteria* GetCriteria() override;
  TObject* GetItemLink(Integer index) override;
  Integer GetItemLinkID(Integer index) override;
  AnsiString GetItemLinkName(Integer index) override;
  AnsiString GetFieldName(Integer index) override;
  TcxCustomEditProperties* GetProperties(Integer index) override;
  TcxValueTypeClass GetValueType(Integer index) override;
  // IcxNavigator: the buttons act on the focused record of the data controller.
  Boolean CanAppend() override;
  Boolean CanDelete() override;
  Boolean CanEdit() override;
  Boolean CanInsert() override;
  Boolean IsActive() override;
  Boolean IsBof() override;
  Boolean IsBookmarkAvailable() override;
  Boolean IsEditing() override;
  Boolean IsEof() override;
  void ClearBookmark() override;
  void DoAction(Integer buttonIndex) override;
  virtual TcxGridFilterBoxClass GetFilterBoxClass();
  TcxCustomGridPainterClass GetPainterClass() override;
  TcxCustomGridViewInfoCacheClass GetViewInfoCacheClass() override;
  // Set while a cell hands a press to the editing controller: the master record stays put.
  Boolean GetDontMakeMasterRecordVisible() const { return FDontMakeMasterRecordVisible; }
  void SetDontMakeMasterRecordVisible(Boolean value) { FDontMakeMasterRecordVisible = value; }
  // A detail view scrolls its master view to the master row that shows it (not while the flag
  // above is set, nor for a detail without a master row).
  void CheckMasterRecordVisible();
  // Whether the detail's master row is laid out and shows that detail.
  Boolean IsDetailVisible(TcxCustomGridView* detail) override;
  virtual TcxCustomGridTableDateTimeHandlingClass GetDateTimeHandlingClass() {
    return TcxCustomGridTableDateTimeHandling::StaticClass();
  }
  virtual TcxCustomGridTableOptionsCustomizeClass GetOptionsCustomizeClass() {
    return TcxCustomGridTableOptionsCustomize::StaticClass();
  }
  TcxCustomGridTableFiltering* GetFiltering() const { return FFiltering; }
  void SetFiltering(TcxCustomGridTableFiltering* value);
  virtual TcxCustomGridTableFilteringClass GetFilteringClass();
  // Opens the filter dialog for the item (nil: the whole filter) through the installed opener.
  virtual void DoFilterCustomize(TcxCustomGridTableItem* item);
  // The summary item classes the view's data controller makes (nil: the controller's own).
  virtual TcxDataSummaryItemClass GetSummaryItemClass() { return {}; }
  virtual TcxDataSummaryGroupItemLinkClass GetSummaryGroupItemLinkClass() { return {}; }
  TcxCustomGridBackgroundBitmapsClass GetBackgroundBitmapsClass() override;

  // ---- View base overrides ----
  void UpdateControl(TcxUpdateControlInfo* info) override;
  void CreateHandlers() override;
  void DestroyHandlers() override;
  void CreateOptions() override;
  void DestroyOptions() override;
  Boolean GetStoredProperties(TStrings* properties) override;
  void GetStoredPropertyValue(const AnsiString& name, Variant& value) override;
  void SetStoredPropertyValue(const AnsiString& name, const Variant& value) override;
  TObject* CreateStoredObject(const AnsiString& objectName, const AnsiString& className) override;
  void GetStoredChildren(TStringList* children) override;
  void BeforeRestoring() override;
  void AfterRestoring() override;
  void BeforeLoaded() override;
  void AfterAssignOrLoad() override;
  // Every item back to its designed caption, header alignment and width, as one change.
  void ResetItemsFromStorage() override;
  // A resized view in grid mode checks its record buffer against the records it now shows, once
  // the new layout stands.
  void BoundsChanged(Boolean viewOnly, Boolean partialReset) override;
  // Not a tab stop while an in-place editor is open; focused also when the editor is.
  Boolean CanBeTabStop() override;
  Boolean HasFocusedControls() override;
  // Layout editing through a copy: the copy may do everything and shows the navigator; its items
  // go back into the items they were made from (same ID), keeping their Tag.
  void PrepareLayoutView(TcxCustomGridView* layoutView) override;
  void AssignLayout(TcxCustomGridView* layoutView) override;
  Boolean HasLayoutCustomization() override { return true; }
  void DoAssign(TcxCustomGridView* source) override;
  TcxCustomGridControllerClass GetControllerClass() override {
    return TcxCustomGridTableController::StaticClass();
  }
  TcxCustomGridOptionsBehaviorClass GetOptionsBehaviorClass() override {
    return TcxCustomGridTableOptionsBehavior::StaticClass();
  }
  TcxCustomGridOptionsDataClass GetOptionsDataClass() override { return TcxCustomGridTableOptionsData::StaticClass(); }
  TcxCustomGridOptionsSelectionClass GetOptionsSelectionClass() override {
    return TcxCustomGridTableOptionsSelection::StaticClass();
  }
  TcxCustomGridOptionsViewClass GetOptionsViewClass() override { return TcxCustomGridTableOptionsView::StaticClass(); }
  TcxCustomGridViewStylesClass GetStylesClass() override { return TcxCustomGridTableViewStyles::StaticClass(); }

  // ---- Events ----
  // An item's filtering or grouping ranges were just set up: the handler may add its own (before
  // the item's handler). Grouping ranges are set up again when the item's grouping changes and, with
  // a handler, when the data controller refreshes.
  const TcxGridInitDateRangesEvent& GetOnInitFilteringDateRanges() const { return FOnInitFilteringDateRanges; }
  void SetOnInitFilteringDateRanges(const TcxGridInitDateRangesEvent& value);
  const TcxGridInitDateRangesEvent& GetOnInitGroupingDateRanges() const { return FOnInitGroupingDateRanges; }
  void SetOnInitGroupingDateRanges(const TcxGridInitDateRangesEvent& value);
  const TcxGridAllowRecordOperationEvent& GetOnCanFocusRecord() const { return FOnCanFocusRecord; }
  void SetOnCanFocusRecord(const TcxGridAllowRecordOperationEvent& value);
  const TcxGridAllowRecordOperationEvent& GetOnCanSelectRecord() const { return FOnCanSelectRecord; }
  void SetOnCanSelectRecord(const TcxGridAllowRecordOperationEvent& value);
  const TcxGridFocusedItemChangedEvent& GetOnFocusedItemChanged() const { return FOnFocusedItemChanged; }
  void SetOnFocusedItemChanged(const TcxGridFocusedItemChangedEvent& value);
  const TcxGridFocusedRecordChangedEvent& GetOnFocusedRecordChanged() const { return FOnFocusedRecordChanged; }
  void SetOnFocusedRecordChanged(const TcxGridFocusedRecordChangedEvent& value);
  const TcxGridCustomTableViewEvent& GetOnSelectionChanged() const { return FOnSelectionChanged; }
  void SetOnSelectionChanged(const TcxGridCustomTableViewEvent& value);
  const TNotifyEvent& GetOnTopRecordIndexChanged() const { return FOnTopRecordIndexChanged; }
  void SetOnTopRecordIndexChanged(const TNotifyEvent& value);
#define ORV_GRID_TABLE_EVENT(Type, Name)                        \
  const Type& GetOn##Name() const { return FOn##Name; }        \
  void SetOn##Name(const Type& value) {                        \
    if (FOn##Name == value) return;                            \
    FOn##Name = value;                                         \
    Changed(vcProperty);                                       \
  }
  ORV_GRID_TABLE_EVENT(TcxGridCellClickEvent, CellClick)
  ORV_GRID_TABLE_EVENT(TcxGridCellClickEvent, CellDblClick)
  ORV_GRID_TABLE_EVENT(TcxGridTableDataCellCustomDrawEvent, CustomDrawCell)
  ORV_GRID_TABLE_EVENT(TcxGridPartCustomDrawBackgroundEvent, CustomDrawPartBackground)
  ORV_GRID_TABLE_EVENT(TcxGridEditingEvent, Editing)
  ORV_GRID_TABLE_EVENT(TcxGridCustomTableItemEvent, EditChanged)
  ORV_GRID_TABLE_EVENT(TcxGridEditKeyEvent, EditKeyDown)
  ORV_GRID_TABLE_EVENT(TcxGridEditKeyPressEvent, EditKeyPress)
  ORV_GRID_TABLE_EVENT(TcxGridEditKeyEvent, EditKeyUp)
  ORV_GRID_TABLE_EVENT(TcxGridCustomTableItemEvent, EditValueChanged)
  ORV_GRID_TABLE_EVENT(TcxGridGetCellHeightEvent, GetCellHeight)
  ORV_GRID_TABLE_EVENT(TcxGridGetDragDropTextEvent, GetDragDropText)
  ORV_GRID_TABLE_EVENT(TcxGridInitEditEvent, InitEdit)
  ORV_GRID_TABLE_EVENT(TcxGridInitEditValueEvent, InitEditValue)
  ORV_GRID_TABLE_EVENT(TNotifyEvent, FilterControlDialogShow)
  ORV_GRID_TABLE_EVENT(TcxGridFilterCustomizationEvent, FilterCustomization)
  ORV_GRID_TABLE_EVENT(TcxGridFilterDialogShowEvent, FilterDialogShow)
#undef ORV_GRID_TABLE_EVENT

  // The storage flags the view reads: bit 0 the filter, bit 1 the summaries.
  Byte GetStorageOptionsValue() const { return FTableStorageOptions; }
  void SetStorageOptionsValue(Byte value) { FTableStorageOptions = value; }

 private:
  void CopyRowProc(Pointer data, Integer rowIndex, const TcxRowInfo& rowInfo);
  IcxNavigator* NavigatorGetControl(TObject* sender) { return this; }

  Boolean FAfterAssigningItems = false;
  Boolean FAssigningItems = false;
  std::vector<TcxCustomGridTableItem*>* FCopyList = nullptr;
  AnsiString FCopyText;
  TcxCustomGridTableDateTimeHandling* FDateTimeHandling = nullptr;
  std::vector<TcxCustomGridTableItem*> FFilterableItems;
  TcxCustomGridTableFiltering* FFiltering = nullptr;
  std::vector<TcxCustomGridTableItem*> FItems;
  Integer FNextID = 0;
  TcxCustomGridTableOptionsCustomize* FOptionsCustomize = nullptr;
  std::vector<TcxCustomGridTableItem*> FPendingGroupedItems;
  std::vector<TcxCustomGridTableItem*> FPendingIndexItems;
  std::vector<TcxCustomGridTableItem*> FPendingSortedItems;
  Boolean FRestoringItems = false;
  Byte FTableStorageOptions = 0;
  std::vector<TcxCustomGridTableItem*> FVisibleItems;
  TcxGridAllowRecordOperationEvent FOnCanFocusRecord;
  TcxGridAllowRecordOperationEvent FOnCanSelectRecord;
  TcxGridFocusedItemChangedEvent FOnFocusedItemChanged;
  TcxGridFocusedRecordChangedEvent FOnFocusedRecordChanged;
  TcxGridInitDateRangesEvent FOnInitFilteringDateRanges;
  TcxGridInitDateRangesEvent FOnInitGroupingDateRanges;
  TcxGridCustomTableViewEvent FOnSelectionChanged;
  TNotifyEvent FOnTopRecordIndexChanged;
  Boolean FDontMakeMasterRecordVisible = false;
  TcxGridFilterBox* FFilterBox = nullptr;
  TcxGridCellClickEvent FOnCellClick;
  TcxGridCellClickEvent FOnCellDblClick;
  TcxGridTableDataCellCustomDrawEvent FOnCustomDrawCell;
  TcxGridPartCustomDrawBackgroundEvent FOnCustomDrawPartBackground;
  TcxGridEditingEvent FOnEditing;
  TcxGridCustomTableItemEvent FOnEditChanged;
  TcxGridEditKeyEvent FOnEditKeyDown;
  TcxGridEditKeyPressEvent FOnEditKeyPress;
  TcxGridEditKeyEvent FOnEditKeyUp;
  TcxGridCustomTableItemEvent FOnEditValueChanged;
  TcxGridGetCellHeightEvent FOnGetCellHeight;
  TcxGridGetDragDropTextEvent FOnGetDragDropText;
  TcxGridInitEditEvent FOnInitEdit;
  TcxGridInitEditValueEvent FOnInitEditValue;
  TNotifyEvent FOnFilterControlDialogShow;
  TcxGridFilterCustomizationEvent FOnFilterCustomization;
  TcxGridFilterDialogShowEvent FOnFilterDialogShow;
  TcxNavigatorControlButtons* FNavigatorButtons = nullptr;
  TNotifyEvent FNavigatorButtonsEvents;
  TcxNavigatorControlNotifier* FNavigatorNotifier = nullptr;
};

using TcxCustomGridTableViewClass = orv::ClassOf<TcxCustomGridTableView>;

// ==== Layout: table view info, records, cells =================================================
//
// The table view info lays out the docked parts (the filter box), the records area between them
// and, in it, one record view info per record on screen, each with its data cells. The cells
// show their values through the editor's view info, so a cell looks exactly as the in-place
// editor would without one being made. Painters read these objects and draw them.

class TcxCustomGridTableViewInfo;
class TcxCustomGridRecordsViewInfo;
class TcxCustomGridRecordViewInfo;
class TcxGridTableDataCellViewInfo;
class TcxCustomGridPartViewInfo;
class TcxGridFilterViewInfo;
class TcxGridFilterButtonsViewInfo;

// What a view info keeps of one record across recalculations: its height.
class TcxCustomGridTableViewInfoCacheItem : public TcxCustomGridViewInfoCacheItem {
  ORV_CLASS(TcxCustomGridTableViewInfoCacheItem, TcxCustomGridViewInfoCacheItem)
 public:
  using TcxCustomGridViewInfoCacheItem::TcxCustomGridViewInfoCacheItem;
  void UnassignValues(Boolean keepMaster) override { IsRecordHeightAssigned = false; }
  Integer RecordHeight = 0;
  Boolean IsRecordHeightAssigned = false;
};

class TcxCustomGridTableViewInfoCache : public TcxCustomGridViewInfoCache {
  ORV_CLASS(TcxCustomGridTableViewInfoCache, TcxCustomGridViewInfoCache)
 public:
  explicit TcxCustomGridTableViewInfoCache(TcxCustomGridView* gridView) : TcxCustomGridViewInfoCache(gridView) {}
  TcxCustomGridTableViewInfoCacheItem* GetTableItem(Integer index) {
    return static_cast<TcxCustomGridTableViewInfoCacheItem*>(GetItem(index));
  }

 protected:
  TcxCustomGridViewInfoCacheItemClass GetItemClass(Integer index) override;
};

// ---- Records view info ----

using TcxCustomGridRecordsViewInfoClass = orv::ClassOf<TcxCustomGridRecordsViewInfo>;
class TcxCustomGridRecordsPainter;
using TcxCustomGridRecordsPainterClass = orv::ClassOf<TcxCustomGridRecordsPainter>;

// The records on screen, from the view's first record down (or up, for a paging view info).
class TcxCustomGridRecordsViewInfo : public TObject {
  ORV_CLASS(TcxCustomGridRecordsViewInfo, TObject)
 public:
  using TCreateSignature = void(TcxCustomGridTableViewInfo* gridViewInfo);
  explicit TcxCustomGridRecordsViewInfo(TcxCustomGridTableViewInfo* gridViewInfo) : FGridViewInfo(gridViewInfo) {}
  ~TcxCustomGridRecordsViewInfo() override;

  // ---- New virtual operations ----
  virtual void FinishCalculation();
  virtual void PrepareCalculation();
  virtual void BeforeRecordRecalculation();
  virtual void AfterOffset() {}
  virtual void BeforeOffset() { FIncSearchingCellViewInfoCalculated = false; }
  virtual void CalculateBounds();
  virtual void GetBounds(TRect& rect);
  virtual void GetContentBounds(TRect& rect) { rect = FBounds; }
  virtual TcxGridTableDataCellViewInfo* FindIncSearchingCellViewInfo();
  virtual void CalculateVisibleCount() { FVisibleCount = 0; }
  virtual void GetRecordBackgroundArea(Integer index, TRect& rect);
  virtual Boolean RecordHeightsVary() { return CellHeightsVary(); }
  virtual Boolean FocusMayChangeRecordHeights() { return CellHeightsVary(); }
  virtual Boolean CellHeightsVary();
  virtual TBitmap* GetBackgroundBitmap();
  virtual Integer GetRecordLeft(Integer index) = 0;
  // The pixel extent of `count` records (negative: above the first item).
  virtual Integer GetRecordsOffset(Integer count) = 0;
  virtual Integer GetRecordTop(Integer index) = 0;
  virtual Boolean IsEmpty() { return FItems.empty(); }
  virtual void OffsetRecordViewInfo(Integer index, Integer offset) = 0;
  virtual void ControlFocusChanged();
  virtual void VisibilityChanged(Boolean visible);
  virtual TcxCustomGridRecordsPainterClass GetPainterClass();
  virtual Boolean CanOffsetRecords(Integer recordCount);
  virtual Integer RecordsOffsetToPixels(Integer recordCount) { return recordCount; }
  virtual TcxCustomGridHitTest* GetHitTest(const TPoint& point);
  virtual TcxCustomGridRecordViewInfo* GetRecordViewInfo(TcxCustomGridRecord* record);
  virtual Boolean ItemCellsMultiLine(TcxCustomGridTableItem* item) { return false; }
  virtual void Calculate();
  virtual void OffsetRecords(Integer recordCount);
  virtual void OffsetBy(Integer dx, Integer dy);

  // ---- Non-virtual ----
  Integer Count() const { return Integer(FItems.size()); }
  // Existing items as they are; past the end a new record view info for the mapped row.
  TcxCustomGridRecordViewInfo* ItemAt(Integer index);
  TcxCustomGridRecordViewInfo* ExistingItem(Integer index) const { return FItems[std::size_t(index)]; }
  Integer MaxCount();
  Integer GetVisibleCount() const { return FVisibleCount; }
  void SetVisibleCount(Integer value) { FVisibleCount = value; }
  Integer GetItemsOffset() const { return FItemsOffset; }
  // Row of an item index and back (-1 for rows outside the items).
  Integer RowOfItem(Integer index);
  Integer ItemOfRow(Integer rowIndex);
  void Paint(TcxCanvas* canvas);
  TcxCustomGridTableViewInfo* GetGridViewInfo() const { return FGridViewInfo; }
  TcxCustomGridTableView* GetGridView() const;
  const TRect& Bounds() const { return FBounds; }
  const TRect& ContentBounds() const { return FContentBounds; }
  TcxGridTableDataCellViewInfo* GetIncSearchingCellViewInfo();
  TBitmap* BackgroundBitmap() const { return FBackgroundBitmap; }

  // Frees every record view info (before the records they show go away).
  void ClearItems();

 protected:
  TcxCustomGridRecordViewInfo* CreateRecordViewInfo(Integer index);

 private:
  TBitmap* FBackgroundBitmap = nullptr;
  TRect FBounds{};
  TRect FContentBounds{};
  TcxCustomGridTableViewInfo* FGridViewInfo;
  TcxGridTableDataCellViewInfo* FIncSearchingCellViewInfo = nullptr;
  Boolean FIncSearchingCellViewInfoCalculated = false;
  std::vector<TcxCustomGridRecordViewInfo*> FItems;
  Integer FItemsOffset = 0;
  Integer FVisibleCount = 0;
};

// ---- Record view info ----

class TcxCustomGridRecordViewInfo : public TcxCustomGridViewCellViewInfo {
  ORV_CLASS(TcxCustomGridRecordViewInfo, TcxCustomGridViewCellViewInfo)
 public:
  using TCreateSignature = void(TcxCustomGridRecordsViewInfo* recordsViewInfo, TcxCustomGridRecord* record);
  TcxCustomGridRecordViewInfo(TcxCustomGridRecordsViewInfo* recordsViewInfo, TcxCustomGridRecord* record);
  void BeforeDestruction() override;

  // ---- New virtual operations ----
  virtual void CalculateExpandButtonBounds(TRect& rect) { rect = TRect{}; }
  virtual Boolean CalculateSelected();
  virtual Boolean ExpandButtonHitEnabled() { return true; }
  virtual void ControlFocusChanged() {}
  virtual Boolean HasAutoHeight() { return false; }
  virtual void GetBackgroundArea(TRect& rect) { rect = GetBounds(); }
  virtual void GetExpandButtonAreaBounds(TRect& rect) { rect = TRect{}; }
  virtual void GetRecordContentBounds(TRect& rect) { rect = GetBounds(); }
  virtual Boolean IsVisibleOnScreen();
  virtual Boolean HideFocusRectOnExit();
  virtual Boolean SelectsWholeRecord();
  virtual Boolean CountsAsRecordClick(TcxCustomGridHitTest* hitTest);
  virtual Boolean IsDetailVisible(TcxCustomGridView* detail) { return false; }
  virtual void VisibilityChanged(Boolean visible) {}
  virtual Boolean ProcessRecordMouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift);
  virtual void GetInvalidateBounds(TcxCustomGridTableItem* item, TRect& rect);
  virtual void GetCellBoundsForItem(TcxCustomGridTableItem* item, TRect& rect) { rect = TRect{}; }
  virtual TcxGridTableDataCellViewInfo* GetCellViewInfoByItem(TcxCustomGridTableItem* item) { return nullptr; }
  virtual void CalculateAt(Integer left, Integer top);
  virtual Boolean ProcessDialogChar(char c) { return false; }
  // The cell's own height, stored in the view info cache by the height query.
  virtual Integer CalculateRecordHeight() { return 0; }

  // ---- Cell overrides ----
  TcxCanvas* GetCanvas() override;
  TBitmap* GetBackgroundBitmap() override;
  Boolean HasBackground() override { return GetBackgroundBitmap() != nullptr; }
  Integer CalculateHeight() override;
  Integer CalculateWidth() override;
  TClass GetHitTestClass() override { return TcxGridRecordHitTest::StaticClass(); }
  Boolean GetVisible() override { return IsVisibleOnScreen(); }
  void InitHitTest(TcxCustomGridHitTest* hitTest) override;
  void Offset(Integer dx, Integer dy) override;
  void BeforeRecalculation() override;
  TcxCustomGridHitTest* GetHitTest(const TPoint& point) override;
  Boolean MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  void GetViewParams(TcxViewParams& params) override;

  // ---- Access ----
  TcxCustomGridRecord* GetGridRecord() const { return FRecord; }
  TcxCustomGridRecordsViewInfo* GetRecordsViewInfo() const { return FRecordsViewInfo; }
  TcxCustomGridTableView* GetTableView() const;
  Integer GetIndex();
  Boolean Selected();
  Boolean Expanded();
  Boolean Focused();
  Boolean HasExpandButton();
  const TRect& ExpandButtonBounds() const { return FExpandButtonBounds; }
  Boolean IsCreatedWhileRecordHadViewInfo() const { return FForeignRecordViewInfo; }

 private:
  TRect FExpandButtonBounds{};
  Boolean FExpanded = false;
  Boolean FExpandedRead = false;
  Boolean FForeignRecordViewInfo = false;
  TcxCustomGridRecordsViewInfo* FRecordsViewInfo;
  Boolean FSelected = false;
  Boolean FSelectedCalculated = false;
  TcxCustomGridRecord* FRecord;
};

using TcxCustomGridRecordViewInfoClass = orv::ClassOf<TcxCustomGridRecordViewInfo>;

// ---- Cells ----

// A cell inside a record.
class TcxGridTableCellViewInfo : public TcxCustomGridViewCellViewInfo {
  ORV_CLASS(TcxGridTableCellViewInfo, TcxCustomGridViewCellViewInfo)
 public:
  explicit TcxGridTableCellViewInfo(TcxCustomGridRecordViewInfo* recordViewInfo);

  virtual Boolean CalculateSelected();
  virtual Boolean ParticipatesInSelection() { return false; }

  void Calculate(Integer leftBound, Integer topBound, Integer width = -1, Integer height = -1) override;
  using TcxCustomGridViewCellViewInfo::Calculate;
  TcxCanvas* GetCanvas() override;
  TClass GetHitTestClass() override { return TcxGridRecordHitTest::StaticClass(); }
  void InitHitTest(TcxCustomGridHitTest* hitTest) override;
  Boolean HasBackgroundBitmap() override;
  Boolean MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) override;

  TcxCustomGridRecordViewInfo* GetRecordViewInfo() const { return FRecordViewInfo; }
  TcxCustomGridRecord* GetGridRecord() const { return FRecordViewInfo->GetGridRecord(); }
  TcxCustomGridTableView* GetTableView() const { return FRecordViewInfo->GetTableView(); }
  Boolean Selected();

 private:
  TcxCustomGridRecordViewInfo* FRecordViewInfo;
  Boolean FSelected = false;
  Boolean FSelectedCalculated = false;
};

// One item's value in one record, shown through the editor's view info.
class TcxGridTableDataCellViewInfo : public TcxGridTableCellViewInfo {
  ORV_CLASS(TcxGridTableDataCellViewInfo, TcxGridTableCellViewInfo)
 public:
  using TCreateSignature = void(TcxCustomGridRecordViewInfo* recordViewInfo, TcxCustomGridTableItem* item);
  TcxGridTableDataCellViewInfo(TcxCustomGridRecordViewInfo* recordViewInfo, TcxCustomGridTableItem* item);
  void BeforeDestruction() override;
  ~TcxGridTableDataCellViewInfo() override;

  // ---- New virtual operations ----
  virtual void CalculateEditViewInfo(TcxCustomEditViewInfo* editViewInfo, const TPoint& mousePos);
  virtual Boolean ShowsEditorOnMouseDown(TMouseButton button);
  virtual Boolean CanShowEditor() { return true; }
  virtual Boolean AllowsMultiLineText() { return false; }
  virtual void GetDisplayValue(Variant& value);
  virtual void GetEditorBounds(TRect& rect);
  virtual void GetEditBounds(TRect& rect) { GetContentBounds(rect); }
  virtual void GetEditContentOffsets(TRect& rect) { rect = TRect{1, 1, 1, 1}; }
  virtual Boolean IsFocusedCell();
  virtual Integer GetMaxLineCount();
  virtual void GetValue(Variant& value);
  virtual Boolean DrawsFocusRect();
  virtual void PrepareIncSearchHighlight(TcxCustomEditViewData* viewData);
  virtual Boolean IsIncSearchCell();
  virtual Boolean KeepsZeroHeight() { return false; }
  virtual Boolean CellHints();
  virtual Boolean HasItemHint();
  virtual Boolean UsesBaseHint() { return false; }
  virtual void InitStyle();
  virtual void InvalidateCell(Boolean recalculate);

  // ---- Cell overrides ----
  void Calculate(Integer leftBound, Integer topBound, Integer width = -1, Integer height = -1) override;
  using TcxGridTableCellViewInfo::Calculate;
  Integer CalculateHeight() override;
  Boolean ParticipatesInSelection() override { return true; }
  TClass GetHitTestClass() override { return TcxGridRecordCellHitTest::StaticClass(); }
  void InitHitTest(TcxCustomGridHitTest* hitTest) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  Boolean GetMultiLine() override;
  Boolean GetShowEndEllipsis() override;
  void GetViewParams(TcxViewParams& params) override;
  void Offset(Integer dx, Integer dy) override;
  Boolean HasCustomDraw() override;
  Boolean CustomDraw(TcxCanvas* canvas) override;
  Boolean MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) override;
  Boolean MouseUp(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) override;
  Boolean MouseMove(TcxCustomGridHitTest* hitTest, TShiftState shift) override;
  // Hot tracking repaints what the editor's look changed, not the whole cell.
  Boolean HotTrackable() override;
  Boolean InvalidateOnStateChange() override { return false; }
  void StateChanged(TcxGridCellState prevState) override;
  Boolean HasHint() override;
  void GetHintText(AnsiString& text) override;
  void GetHintTextRect(const TPoint& mousePos, TRect& rect) override { GetContentBounds(rect); }
  Boolean NeedsHint(const TPoint& mousePos, AnsiString& hintText, TRect& hintTextRect,
                    Boolean& isHintMultiLine) override;

  // ---- Access ----
  TcxCustomGridTableItem* GetItem() const { return FItem; }
  TcxCustomEditViewInfo* GetEditViewInfo() const { return FEditViewInfo; }
  TcxCustomEditProperties* GetProperties() const { return FProperties; }
  Boolean IsEditing();
  Boolean ShowsEditButtons();

 private:
  TcxCustomEditViewInfo* FEditViewInfo = nullptr;
  TcxCustomGridTableItem* FItem;
  TcxCustomEditProperties* FProperties = nullptr;
  Boolean FWasFocusedBeforeClick = false;

  // Builds the editor's look for the mouse at `point` and repaints what differs from the shown one.
  void UpdateHotTrack(const TPoint& point);
};

using TcxGridTableDataCellViewInfoClass = orv::ClassOf<TcxGridTableDataCellViewInfo>;

// ---- Parts and the filter box ----

enum TcxGridFilterPosition : Byte { fpTop, fpBottom };
enum TcxGridFilterVisible : Byte { fvNever, fvNonEmpty, fvAlways };

// Where the filter box lies, when it shows and whether it offers the filter builder.
class TcxGridFilterBox : public TcxCustomGridOptions {
  ORV_CLASS(TcxGridFilterBox, TcxCustomGridOptions)
 public:
  explicit TcxGridFilterBox(TcxCustomGridView* gridView) : TcxCustomGridOptions(gridView) {}
  void Assign(TPersistent* source) override;
  Boolean GetCustomizeDialog() const { return FCustomizeDialog; }
  void SetCustomizeDialog(Boolean value);
  TcxGridFilterPosition GetPosition() const { return FPosition; }
  void SetPosition(TcxGridFilterPosition value);
  TcxGridFilterVisible GetVisible() const { return FVisible; }
  void SetVisible(TcxGridFilterVisible value);
  // The most rows the recently-used drop-down shows at once (0: no limit).
  Integer GetMRUItemsListDropDownCount() const { return FMRUItemsListDropDownCount; }
  void SetMRUItemsListDropDownCount(Integer value);

 private:
  Boolean FCustomizeDialog = true;
  Integer FMRUItemsListDropDownCount = 0;
  TcxGridFilterPosition FPosition = fpBottom;
  TcxGridFilterVisible FVisible = fvNonEmpty;
};

// ---- Filtering options and the recently used filters ----

enum TcxGridItemFilterPopupApplyChangesMode : Byte { fpacImmediately, fpacOnButtonClick };

// The settings of the items' filter drop-downs.
class TcxGridItemFilterPopupOptions : public TcxCustomGridOptions {
  ORV_CLASS(TcxGridItemFilterPopupOptions, TcxCustomGridOptions)
 public:
  explicit TcxGridItemFilterPopupOptions(TcxCustomGridView* gridView) : TcxCustomGridOptions(gridView) {}
  void Assign(TPersistent* source) override;

  TcxGridItemFilterPopupApplyChangesMode GetApplyMultiSelectChanges() const { return FApplyMultiSelectChanges; }
  void SetApplyMultiSelectChanges(TcxGridItemFilterPopupApplyChangesMode value);
  Integer GetDropDownWidth() const { return FDropDownWidth; }
  void SetDropDownWidth(Integer value);
  Integer GetMaxDropDownItemCount() const { return FMaxDropDownItemCount; }
  void SetMaxDropDownItemCount(Integer value);
  Boolean GetMultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(Boolean value);

 private:
  TcxGridItemFilterPopupApplyChangesMode FApplyMultiSelectChanges = fpacImmediately;
  Integer FDropDownWidth = 0;
  Integer FMaxDropDownItemCount = 15;
  Boolean FMultiSelect = true;
};

using TcxGridItemFilterPopupOptionsClass = orv::ClassOf<TcxGridItemFilterPopupOptions>;

// A recently used filter: a private copy of a criteria of the view's data controller.
class TcxGridFilterMRUItem : public TcxMRUItem {
  ORV_CLASS(TcxGridFilterMRUItem, TcxMRUItem)
 public:
  explicit TcxGridFilterMRUItem(TcxFilterCriteria* filter);
  ~TcxGridFilterMRUItem() override;

  Boolean Equals(TcxMRUItem* item) override;
  Boolean IsSameFilter(TcxFilterCriteria* filter);
  // A new stream holding the copy's binary form (the caller frees it).
  TMemoryStream* GetFilterStream();
  AnsiString GetCaption();
  // Replaces the criteria's conditions by the copy's (its Active flag stays).
  void ApplyTo(TcxFilterCriteria* filter);
  TcxFilterCriteria* GetFilter() const { return FFilter; }

 private:
  TcxFilterCriteria* FFilter = nullptr;
};

// The view's recently used filters, most recent first; the visible ones leave out the filter in
// force.
class TcxGridFilterMRUItems : public TcxMRUItems {
  ORV_CLASS(TcxGridFilterMRUItems, TcxMRUItems)
 public:
  using TCreateSignature = void(TcxCustomGridTableFiltering* filtering);
  explicit TcxGridFilterMRUItems(TcxCustomGridTableFiltering* filtering) : FFiltering(filtering) {}

  TcxCustomGridTableFiltering* GetFiltering() const { return FFiltering; }
  TcxGridFilterMRUItem* GetItem(Integer index) const { return static_cast<TcxGridFilterMRUItem*>(GetItemAt(index)); }
  Integer GetVisibleItemCount() const { return Integer(FVisibleItems.size()); }
  TcxGridFilterMRUItem* GetVisibleItemAt(Integer index) const { return FVisibleItems[std::size_t(index)]; }
  void RefreshVisibleItems();
  void AddFilter(TcxFilterCriteria* filter);
  // Frees every entry, visible or not, without telling anyone.
  void Clear() {
    FVisibleItems.clear();
    ClearItems();
  }
  void DeleteEmptyItems();

 private:
  TcxCustomGridTableFiltering* FFiltering;
  std::vector<TcxGridFilterMRUItem*> FVisibleItems;
};

using TcxGridFilterMRUItemsClass = orv::ClassOf<TcxGridFilterMRUItems>;

// The settings of the items' filter drop-downs, the recently used filters and the filter dialogs.
class TcxCustomGridTableFiltering : public TcxCustomGridOptions {
  ORV_CLASS(TcxCustomGridTableFiltering, TcxCustomGridOptions)
 public:
  explicit TcxCustomGridTableFiltering(TcxCustomGridView* gridView);
  ~TcxCustomGridTableFiltering() override;
  void Assign(TPersistent* source) override;
  TcxCustomGridTableView* GetTableView() const;

  Boolean GetItemFilteredItemsList() const { return FItemFilteredItemsList; }
  void SetItemFilteredItemsList(Boolean value);
  Boolean GetItemMRUItemsList() const { return FItemMRUItemsList; }
  void SetItemMRUItemsList(Boolean value);
  Integer GetItemMRUItemsListCount() const { return FItemMRUItemsListCount; }
  void SetItemMRUItemsListCount(Integer value);
  TcxGridItemFilterPopupOptions* GetItemPopup() const { return FItemPopup; }
  void SetItemPopup(TcxGridItemFilterPopupOptions* value) { FItemPopup->Assign(value); }
  TcxGridFilterMRUItems* GetMRUItems() const { return FMRUItems; }
  Boolean GetMRUItemsList() const { return FMRUItemsList; }
  void SetMRUItemsList(Boolean value);
  Integer GetMRUItemsListCount() const { return FMRUItemsListCount; }
  void SetMRUItemsListCount(Integer value);

  // ---- New virtual operations ----
  virtual void ViewFilterChanged();
  virtual TcxGridItemFilterPopupOptionsClass ItemFilterPopupOptionsClass() {
    return TcxGridItemFilterPopupOptions::StaticClass();
  }
  virtual TcxGridFilterMRUItemsClass FilterMRUItemsClass() { return TcxGridFilterMRUItems::StaticClass(); }
  virtual Boolean IsMRUItemsListAvailable();
  virtual void MRUItemsVisibleCountChanged(Integer oldCount, Integer newCount);

  // Opens the filter dialog that suits the item (nil: the whole filter).
  void Customize(TcxCustomGridTableItem* item);
  // nil adds the view's filter.
  void AddFilterToMRUItems(TcxFilterCriteria* filter = nullptr);
  void FilterControlDialogApply(TObject* sender);

 protected:
  void DefineProperties(TFiler* filer) override;

 private:
  void ReadCustomizeDialog(TReader* reader);
  void ReadDropDownWidth(TReader* reader);
  void ReadMaxDropDownCount(TReader* reader);
  void ReadMRUItemsListDropDownCount(TReader* reader);
  void ReadPosition(TReader* reader);
  void ReadVisible(TReader* reader);

  Boolean FItemFilteredItemsList = false;
  Boolean FItemMRUItemsList = true;
  Integer FItemMRUItemsListCount = 5;
  TcxGridItemFilterPopupOptions* FItemPopup = nullptr;
  TcxGridFilterMRUItems* FMRUItems = nullptr;
  Boolean FMRUItemsList = true;
  Integer FMRUItemsListCount = 10;
};

// The table views' background bitmaps: content and filter box besides the background.
class TcxCustomGridTableBackgroundBitmaps : public TcxCustomGridBackgroundBitmaps {
  ORV_CLASS(TcxCustomGridTableBackgroundBitmaps, TcxCustomGridBackgroundBitmaps)
 public:
  explicit TcxCustomGridTableBackgroundBitmaps(TcxCustomGridView* gridView)
      : TcxCustomGridBackgroundBitmaps(gridView) {}
  void Assign(TPersistent* source) override;
  Integer GetBitmapStyleIndex(Integer index) override;
  TBitmap* GetContent() { return GetValue(1); }
  void SetContent(TBitmap* value) { SetValue(1, value); }
  TBitmap* GetFilterBox() { return GetValue(2); }
  void SetFilterBox(TBitmap* value) { SetValue(2, value); }
};

// A strip docked to the top (alignment 0) or bottom (1) of the table view info.
class TcxCustomGridPartViewInfo : public TcxCustomGridViewCellViewInfo {
  ORV_CLASS(TcxCustomGridPartViewInfo, TcxCustomGridViewCellViewInfo)
 public:
  explicit TcxCustomGridPartViewInfo(TcxCustomGridTableViewInfo* gridViewInfo);
  void BeforeDestruction() override;

  virtual void GetPartBounds(TRect& rect);
  virtual void CalculateInvisible();
  virtual void CalculateVisible();
  virtual Integer GetAlignment() = 0;
  virtual Boolean IsFullWidth() = 0;
  virtual Boolean IsPart() { return true; }
  // Its own width when it is not full width.
  virtual Integer GetPartWidth() { return 0; }

  void CalculatePart();
  Integer GetPartHeight() const { return FHeight; }
  Integer GetPartIndex();
  void SetPartIndex(Integer value);
  TcxCustomGridTableViewInfo* GetTableViewInfo() const;

  TcxCustomGridCellPainterClass GetPainterClass() override;
  Boolean HasCustomDrawBackground() override;
  Boolean CustomDrawBackground(TcxCanvas* canvas) override;

 private:
  Integer FHeight = 0;
};

// One button of the filter box.
class TcxCustomGridFilterButtonViewInfo : public TcxCustomGridViewCellViewInfo {
  ORV_CLASS(TcxCustomGridFilterButtonViewInfo, TcxCustomGridViewCellViewInfo)
 public:
  using TCreateSignature = void(TcxGridFilterButtonsViewInfo* container);
  explicit TcxCustomGridFilterButtonViewInfo(TcxGridFilterButtonsViewInfo* container);
  virtual Boolean IsRightAligned() { return false; }
  virtual Boolean IsButtonVisible() { return true; }
  TcxGridFilterButtonsViewInfo* GetContainer() const { return FContainer; }
  TcxFilterCriteria* GetCriteria();
  Boolean HotTrackable() override { return true; }
  Boolean CaptureMouseOnPress() override { return true; }
  Boolean GetVisible() override { return IsButtonVisible(); }

 private:
  TcxGridFilterButtonsViewInfo* FContainer;
};

using TcxCustomGridFilterButtonViewInfoClass = orv::ClassOf<TcxCustomGridFilterButtonViewInfo>;

class TcxGridFilterCloseButtonViewInfo : public TcxCustomGridFilterButtonViewInfo {
  ORV_CLASS(TcxGridFilterCloseButtonViewInfo, TcxCustomGridFilterButtonViewInfo)
 public:
  using TcxCustomGridFilterButtonViewInfo::TcxCustomGridFilterButtonViewInfo;
  Boolean IsButtonVisible() override;
  Integer CalculateWidth() override;
  Integer CalculateHeight() override;
  TClass GetHitTestClass() override { return TcxGridFilterCloseButtonHitTest::StaticClass(); }
  TcxCustomGridCellPainterClass GetPainterClass() override;
  void Click() override;
};

class TcxGridFilterActivateButtonViewInfo : public TcxCustomGridFilterButtonViewInfo {
  ORV_CLASS(TcxGridFilterActivateButtonViewInfo, TcxCustomGridFilterButtonViewInfo)
 public:
  using TcxCustomGridFilterButtonViewInfo::TcxCustomGridFilterButtonViewInfo;
  Boolean IsButtonVisible() override;
  Integer CalculateWidth() override;
  Integer CalculateHeight() override;
  TClass GetHitTestClass() override { return TcxGridFilterActivateButtonHitTest::StaticClass(); }
  TcxCustomGridCellPainterClass GetPainterClass() override;
  void Click() override;
  Boolean Checked();
};

class TcxGridFilterCustomizeButtonViewInfo : public TcxCustomGridFilterButtonViewInfo {
  ORV_CLASS(TcxGridFilterCustomizeButtonViewInfo, TcxCustomGridFilterButtonViewInfo)
 public:
  using TcxCustomGridFilterButtonViewInfo::TcxCustomGridFilterButtonViewInfo;
  Boolean IsRightAligned() override { return true; }
  Boolean IsButtonVisible() override;
  Integer CalculateWidth() override;
  Integer CalculateHeight() override;
  void GetText(AnsiString& text) override;
  void GetViewParams(TcxViewParams& params) override;
  TClass GetHitTestClass() override { return TcxGridFilterCustomizeButtonHitTest::StaticClass(); }
  TcxCustomGridCellPainterClass GetPainterClass() override;
  void Click() override;
};

class TcxGridFilterDropDownButtonViewInfo : public TcxCustomGridFilterButtonViewInfo {
  ORV_CLASS(TcxGridFilterDropDownButtonViewInfo, TcxCustomGridFilterButtonViewInfo)
 public:
  using TcxCustomGridFilterButtonViewInfo::TcxCustomGridFilterButtonViewInfo;
  Boolean IsRightAligned() override { return true; }
  Boolean IsButtonVisible() override;
  Boolean CaptureMouseOnPress() override { return false; }
  Integer CalculateWidth() override;
  Integer CalculateHeight() override;
  TClass GetHitTestClass() override { return TcxGridFilterDropDownButtonHitTest::StaticClass(); }
  TcxCustomGridCellPainterClass GetPainterClass() override;
  // The recently used filters drop-down (cxGridFilterPopup.cpp).
  TcxCustomGridPopup* GetPopup() override;
};

class TcxGridFilterButtonsViewInfo : public TObject {
  ORV_CLASS(TcxGridFilterButtonsViewInfo, TObject)
 public:
  using TCreateSignature = void(TcxGridFilterViewInfo* filterViewInfo);
  explicit TcxGridFilterButtonsViewInfo(TcxGridFilterViewInfo* filterViewInfo);
  ~TcxGridFilterButtonsViewInfo() override;
  virtual void CreateItems();
  virtual void DestroyItems();
  virtual void Calculate(const TRect& bounds);
  virtual TcxCustomGridHitTest* GetHitTest(const TPoint& point);

  TcxGridFilterViewInfo* GetFilterViewInfo() const { return FFilterViewInfo; }
  Integer Count() const { return Integer(FItems.size()); }
  TcxCustomGridFilterButtonViewInfo* Item(Integer index) const { return FItems[std::size_t(index)]; }
  TcxGridFilterDropDownButtonViewInfo* DropDownButton() const { return FDropDownButton; }
  // The width the buttons of one side take, with the gaps: 0 without a visible button.
  Integer SideWidth(Boolean right);
  // The greatest height of the visible buttons plus 8, 0 without one.
  Integer ButtonsHeight();
  void Paint(TcxCanvas* canvas);

 private:
  TcxGridFilterViewInfo* FFilterViewInfo;
  std::vector<TcxCustomGridFilterButtonViewInfo*> FItems;
  TcxGridFilterDropDownButtonViewInfo* FDropDownButton = nullptr;
};

using TcxGridFilterButtonsViewInfoClass = orv::ClassOf<TcxGridFilterButtonsViewInfo>;

// The filter box: the filter's text and its buttons. Always made; visible as the options say.
class TcxGridFilterViewInfo : public TcxCustomGridPartViewInfo {
  ORV_CLASS(TcxGridFilterViewInfo, TcxCustomGridPartViewInfo)
 public:
  using TCreateSignature = void(TcxCustomGridTableViewInfo* gridViewInfo);
  explicit TcxGridFilterViewInfo(TcxCustomGridTableViewInfo* gridViewInfo);
  void BeforeDestruction() override;

  virtual void GetButtonsAreaBounds(TRect& rect) { rect = GetBounds(); }
  virtual TcxGridFilterButtonsViewInfoClass ButtonsViewInfoClass() {
    return TcxGridFilterButtonsViewInfo::StaticClass();
  }

  Integer GetAlignment() override;
  Boolean IsFullWidth() override { return true; }
  Boolean GetVisible() override;
  Integer CalculateHeight() override;
  void Calculate(Integer leftBound, Integer topBound, Integer width = -1, Integer height = -1) override;
  using TcxCustomGridPartViewInfo::Calculate;
  void GetText(AnsiString& text) override;
  void GetTextAreaBounds(TRect& rect) override;
  TcxAlignmentVert GetAlignmentVert() override { return vaCenter; }
  void GetViewParams(TcxViewParams& params) override;
  TBitmap* GetBackgroundBitmap() override;
  TClass GetHitTestClass() override { return TcxGridFilterHitTest::StaticClass(); }
  TcxCustomGridHitTest* GetHitTest(const TPoint& point) override;
  Boolean HasPoint(const TPoint& point) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  void Offset(Integer dx, Integer dy) override;

  TcxGridFilterButtonsViewInfo* GetButtonsViewInfo() const { return FButtonsViewInfo; }
  TcxFilterCriteria* GetCriteria();
  // The rectangle of the text as drawn.
  TRect TextRect();

 private:
  TcxGridFilterButtonsViewInfo* FButtonsViewInfo = nullptr;
};

using TcxGridFilterViewInfoClass = orv::ClassOf<TcxGridFilterViewInfo>;

// ---- The table view info ----

// The cell that hosts the record navigator: in the horizontal scroll bar's row, or in a strip of
// its height under the records.
class TcxNavigatorSiteViewInfo : public TcxCustomGridViewCellViewInfo {
  ORV_CLASS(TcxNavigatorSiteViewInfo, TcxCustomGridViewCellViewInfo)
 public:
  using TcxCustomGridViewCellViewInfo::TcxCustomGridViewCellViewInfo;
  TcxCustomGridTableViewInfo* GetTableViewInfo() const;
  TcxNavigatorViewInfo* GetNavigatorViewInfo() const;

  Integer CalculateHeight() override;
  Integer CalculateWidth() override;
  TClass GetHitTestClass() override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  void GetViewParams(TcxViewParams& params) override;
  Boolean HotTrackable() override { return true; }
  Boolean CaptureMouseOnPress() override { return true; }
  Boolean InvalidateOnStateChange() override { return false; }
  void StateChanged(TcxGridCellState prevState) override;
  Boolean MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) override;
  Boolean MouseMove(TcxCustomGridHitTest* hitTest, TShiftState shift) override;
  Boolean MouseUp(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) override;
};

using TcxNavigatorSiteViewInfoClass = orv::ClassOf<TcxNavigatorSiteViewInfo>;

class TcxCustomGridTableViewInfo : public TcxCustomGridViewInfo, public IcxNavigatorOwner {
  ORV_CLASS(TcxCustomGridTableViewInfo, TcxCustomGridViewInfo)
 public:
  explicit TcxCustomGridTableViewInfo(TcxCustomGridView* gridView) : TcxCustomGridViewInfo(gridView) {}
  ~TcxCustomGridTableViewInfo() override;

  // ---- New virtual operations ----
  virtual void AfterOffset();
  virtual void BeforeOffset();
  virtual void GetPartBounds(TcxCustomGridPartViewInfo* part, TRect& rect);
  virtual Integer EqualHeightPageRecordCount() { return -1; }
  virtual Integer BufferRecordCount() { return 0; }
  virtual TcxGridFilterViewInfoClass FilterViewInfoClass() { return TcxGridFilterViewInfo::StaticClass(); }
  virtual void GetNoDataInfoText(AnsiString& text);
  virtual void GetNoDataInfoTextAreaBounds(TRect& rect);
  virtual void GetNoDataInfoTextParams(TcxViewParams& params);
  virtual Boolean ShowsNoDataInfoText();
  virtual Integer GetNonRecordsAreaHeight(Boolean withScrollBars);
  virtual TcxCustomGridRecordsViewInfoClass RecordsViewInfoClass() = 0;
  virtual void GetRecordsAreaBounds(TRect& rect) { GetClientBounds(rect); }
  virtual void OffsetRecords(Integer recordCount);
  virtual void OffsetBy(Integer dx, Integer dy);
  virtual Boolean CanOffset(Integer recordCount, Integer dx, Integer dy) { return true; }
  virtual Boolean CanOffsetRecords(Integer recordCount);
  virtual void Offset(Integer recordCount, Integer dx, Integer dy);
  virtual Integer HeightForRecordCount(Integer count) { return 0; }
  // An offered height cut to whole records (at most the view's records, one more with
  // `extraRecord`): unchanged here.
  virtual Integer AdjustHeightToRecords(Integer height, Boolean extraRecord) { return height; }
  // The navigator: its gap to the scroll bar, the site's place, the classes of its cells.
  virtual Integer NavigatorOffset();
  virtual void GetNavigatorSiteBounds(TRect& rect);
  virtual TcxNavigatorSiteViewInfoClass NavigatorSiteViewInfoClass() { return TcxNavigatorSiteViewInfo::StaticClass(); }
  virtual orv::ClassOf<TcxNavigatorViewInfo> NavigatorViewInfoClass() { return TcxNavigatorViewInfo::StaticClass(); }

  // ---- The navigator's host (IcxNavigatorOwner) ----
  void NavigatorChanged(Integer changeType) override;
  // The navigator site cut to the navigator's width.
  TRect GetNavigatorBounds() override;
  TcxCustomNavigatorButtons* GetNavigatorButtons() override;
  TCanvas* GetNavigatorCanvas() override;
  TWinControl* GetNavigatorControl() override;
  Boolean GetNavigatorFocused() override { return false; }
  TcxLookAndFeel* GetNavigatorLookAndFeel() override;
  TComponent* GetNavigatorOwner() override;
  Boolean GetNavigatorShowHint() override;
  Boolean GetNavigatorTabStop() override { return false; }
  void RefreshNavigator() override;
  void NavigatorStateChanged() override;

  // ---- View info overrides ----
  void CreateViewInfos() override;
  void DestroyViewInfos(Boolean full) override;
  void Calculate() override;
  void GetClientBounds(TRect& rect) override;
  TcxCustomGridHitTest* GetContentHitTest(const TPoint& point) override;
  void VisibilityChanged(Boolean visible) override;
  void ControlFocusChanged() override;
  void AfterCalculating() override;
  void AdjustClientBounds(TRect& rect) override;
  void AdjustHScrollBarBounds(TRect& rect) override;
  void CalculateHeight(const TPoint& maxSize, Integer& height, Boolean& fullyVisible) override;

  // ---- Non-virtual ----
  // The explicit first record of a paging view info, else the controller's top record.
  Integer FirstRecordIndex();
  void SetFirstRecordIndex(Integer value) { FFirstRecordIndex = value; }
  Boolean CalculateDown() const { return FCalculateDown; }
  void SetCalculateDown(Boolean value) { FCalculateDown = value; }
  Integer VisibleRecordCount();
  Integer PartCount() const { return Integer(FParts.size()); }
  TcxCustomGridPartViewInfo* PartAt(Integer index) const { return FParts[std::size_t(index)]; }
  void AddPart(TcxCustomGridPartViewInfo* part) { FParts.push_back(part); }
  void RemovePart(TcxCustomGridPartViewInfo* part);
  void MovePart(TcxCustomGridPartViewInfo* part, Integer index);
  // The client area before the parts were taken off.
  TRect UnreducedClientBounds() { return TcxCustomGridViewInfo::GetBounds(); }
  TcxCustomGridRecordsViewInfo* GetRecordsViewInfo() const { return FRecordsViewInfo; }
  TcxGridFilterViewInfo* GetFilterViewInfo() const { return FFilterViewInfo; }
  TcxCustomGridTableView* GetTableView() const;
  // Whether the view shows a navigator (its view option).
  Boolean IsNavigatorVisible();
  // As tall as the horizontal scroll bar.
  Integer NavigatorSiteHeight();
  Integer NavigatorSiteWidth() { return NavigatorOffset() + FNavigatorSize.cx; }
  TcxNavigatorSiteViewInfo* GetNavigatorSiteViewInfo() const { return FNavigatorSiteViewInfo; }
  TcxNavigatorViewInfo* GetNavigatorViewInfo() const { return FNavigatorViewInfo; }
  const TSize& GetNavigatorSize() const { return FNavigatorSize; }
  // The canvas the painter paints on, for the navigator's painting.
  void SetNavigatorPaintCanvas(TcxCanvas* value) { FNavigatorPaintCanvas = value; }

 private:
  void CalculateNavigator();
  Boolean FCalculateDown = true;
  TcxGridFilterViewInfo* FFilterViewInfo = nullptr;
  Integer FFirstRecordIndex = -1;
  TcxCanvas* FNavigatorPaintCanvas = nullptr;
  TSize FNavigatorSize{};
  TcxNavigatorSiteViewInfo* FNavigatorSiteViewInfo = nullptr;
  TcxNavigatorViewInfo* FNavigatorViewInfo = nullptr;
  std::vector<TcxCustomGridPartViewInfo*> FParts;
  TcxCustomGridRecordsViewInfo* FRecordsViewInfo = nullptr;
};

using TcxCustomGridTableViewInfoClass = orv::ClassOf<TcxCustomGridTableViewInfo>;

// ---- Painters ----

class TcxCustomGridTablePainter : public TcxCustomGridPainter {
  ORV_CLASS(TcxCustomGridTablePainter, TcxCustomGridPainter)
 public:
  explicit TcxCustomGridTablePainter(TcxCustomGridView* gridView) : TcxCustomGridPainter(gridView) {}

  virtual Boolean CanScrollWindow(Integer recordsDistance, Integer dx, Integer dy);
  virtual void DrawFilterBox();
  virtual void DrawNoDataInfo();
  virtual void DrawNavigator();
  virtual void DrawRecords();
  virtual void ScrollRecords(Integer distance) { Invalidate(); }
  virtual void ScrollPixels(Integer dx, Integer dy) { Invalidate(); }
  // The view scrolled by records (distance in pixels) or by pixels.
  void Scroll(Integer recordsDistance, Integer dx, Integer dy);

  void PaintContent() override;
  void DrawBackground() override;
  TcxCustomGridTableViewInfo* TableViewInfo() { return static_cast<TcxCustomGridTableViewInfo*>(ViewInfo()); }
};

// The navigator site: its background, then the navigator's buttons.
class TcxNavigatorSitePainter : public TcxCustomGridCellPainter {
  ORV_CLASS(TcxNavigatorSitePainter, TcxCustomGridCellPainter)
 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void DrawContent() override;
};

class TcxCustomGridRecordsPainter : public TObject {
  ORV_CLASS(TcxCustomGridRecordsPainter, TObject)
 public:
  using TCreateSignature = void(TcxCanvas* canvas, TcxCustomGridRecordsViewInfo* viewInfo);
  TcxCustomGridRecordsPainter(TcxCanvas* canvas, TcxCustomGridRecordsViewInfo* viewInfo)
      : FCanvas(canvas), FViewInfo(viewInfo) {}
  virtual void Paint();
  TcxCanvas* GetCanvas() const { return FCanvas; }
  TcxCustomGridRecordsViewInfo* GetViewInfo() const { return FViewInfo; }

 private:
  TcxCanvas* FCanvas;
  TcxCustomGridRecordsViewInfo* FViewInfo;
};

class TcxCustomGridRecordPainter : public TcxCustomGridCellPainter {
  ORV_CLASS(TcxCustomGridRecordPainter, TcxCustomGridCellPainter)
 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  virtual void DrawExpandButton();
  virtual Boolean DrawExpandButtonFirst() { return false; }
  virtual void DrawFocusRect();
  void BeforePaint() override;
  void Paint() override {}
  void AfterPaint() override;
  TcxCustomGridRecordViewInfo* RecordViewInfo() const {
    return static_cast<TcxCustomGridRecordViewInfo*>(GetViewInfo());
  }
};

class TcxGridTableDataCellPainter : public TcxCustomGridCellPainter {
  ORV_CLASS(TcxGridTableDataCellPainter, TcxCustomGridCellPainter)
 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  virtual void DrawFocusRect();
  void DrawContent() override;
  void Paint() override;
  Boolean ExcludeFromClipRect() override { return true; }
  TcxGridTableDataCellViewInfo* CellViewInfo() const {
    return static_cast<TcxGridTableDataCellViewInfo*>(GetViewInfo());
  }
};

class TcxCustomGridPartPainter : public TcxCustomGridCellPainter {
  ORV_CLASS(TcxCustomGridPartPainter, TcxCustomGridCellPainter)
 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
};

class TcxGridFilterPainter : public TcxCustomGridPartPainter {
  ORV_CLASS(TcxGridFilterPainter, TcxCustomGridPartPainter)
 public:
  using TcxCustomGridPartPainter::TcxCustomGridPartPainter;
  void DrawBackground(const TRect& rect) override;
  using TcxCustomGridPartPainter::DrawBackground;
  void PrepareCanvasForDrawText() override;
  void UnprepareCanvasForDrawText() override;
  void Paint() override;
  Boolean ExcludeFromClipRect() override { return true; }

 private:
  Boolean FUnderlineAdded = false;
};

class TcxGridFilterButtonPainter : public TcxCustomGridCellPainter {
  ORV_CLASS(TcxGridFilterButtonPainter, TcxCustomGridCellPainter)
 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  Boolean ExcludeFromClipRect() override { return true; }
};

class TcxGridFilterCloseButtonPainter : public TcxGridFilterButtonPainter {
  ORV_CLASS(TcxGridFilterCloseButtonPainter, TcxGridFilterButtonPainter)
 public:
  using TcxGridFilterButtonPainter::TcxGridFilterButtonPainter;
  void Paint() override;
};

class TcxGridFilterActivateButtonPainter : public TcxGridFilterButtonPainter {
  ORV_CLASS(TcxGridFilterActivateButtonPainter, TcxGridFilterButtonPainter)
 public:
  using TcxGridFilterButtonPainter::TcxGridFilterButtonPainter;
  void Paint() override;
};

class TcxGridFilterCustomizeButtonPainter : public TcxGridFilterButtonPainter {
  ORV_CLASS(TcxGridFilterCustomizeButtonPainter, TcxGridFilterButtonPainter)
 public:
  using TcxGridFilterButtonPainter::TcxGridFilterButtonPainter;
  void Paint() override;
};

class TcxGridFilterDropDownButtonPainter : public TcxGridFilterButtonPainter {
  ORV_CLASS(TcxGridFilterDropDownButtonPainter, TcxGridFilterButtonPainter)
 public:
  using TcxGridFilterButtonPainter::TcxGridFilterButtonPainter;
  void Paint() override;
};

// ==== Editing controller ======================================================================

// The one in-place editor of a table view, shown over the focused cell.
class TcxGridEditingController : public TObject {
  ORV_CLASS(TcxGridEditingController, TObject)
 public:
  using TCreateSignature = void(TcxCustomGridTableController* controller);
  explicit TcxGridEditingController(TcxCustomGridTableController* controller);
  ~TcxGridEditingController() override;

  // ---- New virtual operations ----
  virtual void HideEditOutOfView();
  virtual void ResetEditPlacement() { FEditPlaced = false; }
  virtual Boolean CanInitEditing();
  virtual Boolean CanRemoveEditFocus();
  virtual Boolean CanUpdateEditValue();
  virtual void DoEditChanged() {}
  virtual void DoEditKeyDown(Word& key, TShiftState shift);
  virtual Boolean GetHideEditOnExit() { return true; }
  virtual Boolean GetHideEditOnFocusedRecordChange();
  virtual void InitEdit();
  virtual void UninitEdit() { UnassignEditEvents(); }
  virtual void UpdateData();
  virtual Boolean PrepareEdit(TcxCustomGridTableItem* item, Boolean byMouse);
  virtual void AssignEditEvents();
  virtual void UnassignEditEvents();
  virtual void HideEdit(Boolean accept);
  virtual void EditPropertiesRemoved(TcxCustomEditProperties* properties);

  // ---- Non-virtual ----
  TcxCustomGridTableItem* GetEditingItem() const { return FEditingItem; }
  void SetEditingItem(TcxCustomGridTableItem* value);
  Boolean IsEditing() const { return FEditingItem != nullptr; }
  TcxCustomEdit* GetEdit() const { return FEdit; }
  TcxInplaceEditList* GetEditList() const { return FEditList; }
  TcxCustomGridTableController* GetController() const { return FController; }
  TcxCustomGridTableView* GetGridView() const;
  TcxCustomEditProperties* EditingProperties();
  void ShowEdit(TcxCustomGridTableItem* item = nullptr);
  void ShowEditByKey(TcxCustomGridTableItem* item, char key);
  void ShowEditByMouse(TcxCustomGridTableItem* item, TShiftState shift, const TPoint& point);
  void ShowEditDelayed(TcxCustomGridTableItem* item);
  void StopEditShowingTimer();
  void EditShowingByController();
  void UpdateEditIfNeeded() {
    if (FEditUpdateNeeded) UpdateEdit();
  }
  void UpdateEdit();
  void RequestEditUpdate() { FEditUpdateNeeded = true; }
  void UpdateEditPosition();
  void UpdateEditValue();
  void WriteEditValue();
  Boolean IsEditPreparing() const { return FEditPreparing; }
  Boolean IsEditHiding() const { return FEditHiding; }
  Boolean IsEditPlaced() const { return FEditPlaced; }
  Boolean IsEditUpdateNeeded() const { return FEditUpdateNeeded; }
  Boolean IsErrorOnEditExit() const { return FErrorOnEditExit; }
  Boolean IsEditShowingTimerActive() const { return FEditShowingTimer != nullptr; }
  // A press marked the editor to be shown when the button comes up.
  Boolean IsEditShowPending() const { return FEditShowPending; }
  void SetEditShowPending(Boolean value) { FEditShowPending = value; }
  TcxCustomGridTableItem* GetEditShowingTimerItem() const { return FEditShowingTimerItem; }
  // Runs what the showing timer runs when it fires.
  void EditShowingTimerHandler(TObject* sender);

  // The editor's hooks.
  void EditOwnerKey(TObject* sender, Word& key, TShiftState shift);
  void EditChanged(TObject* sender);
  void EditEditing(TObject* sender, Boolean& canEdit);
  void EditExit(TObject* sender);
  void EditKeyDown(TObject* sender, Word& key, TShiftState shift);
  void EditKeyPress(TObject* sender, char& key);
  void EditKeyUp(TObject* sender, Word& key, TShiftState shift);
  void EditPostEditValue(TObject* sender);
  void EditValueChanged(TObject* sender);

 private:
  TcxGridTableDataCellViewInfo* FocusedCellViewInfo();

  TcxCustomGridTableController* FController;
  TcxCustomEdit* FEdit = nullptr;
  Boolean FEditHiding = false;
  TcxCustomGridTableItem* FEditingItem = nullptr;
  Boolean FEditingItemSetting = false;
  TcxInplaceEditList* FEditList = nullptr;
  Boolean FEditPreparing = false;
  TcxTimer* FEditShowingTimer = nullptr;
  TcxCustomGridTableItem* FEditShowingTimerItem = nullptr;
  Boolean FEditShowPending = false;
  Boolean FEditUpdateNeeded = false;
  Boolean FInitiatingEditing = false;
  Boolean FEditPlaced = false;
  Boolean FErrorOnEditExit = false;
  TNotifyEvent FPrevEditOnChange;
  TNotifyEvent FPrevEditOnEditValueChanged;
};

using TcxGridEditingControllerClass = orv::ClassOf<TcxGridEditingController>;
