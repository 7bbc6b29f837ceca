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

#include "components/editors/cxEdit.h"
#include "components/grid/cxGridCustomView.h"

class TcxCustomGridTableView;
class TcxCustomGridTableItem;
class TcxCustomGridTableViewData;
class TcxCustomGridRecord;
class TcxGridItemDataBinding;
class TcxCustomGridTableController;
class TcxCustomGridTableItemOptions;
class TcxCustomGridTableItemStyles;
class TcxCustomGridTableOptionsCustomize;
class TcxCustomGridTableDateTimeHandling;

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
};

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
  TcxGridGetDisplayTextEvent FOnGetDisplayText;
  TcxGridGetFilterDisplayTextEvent FOnGetFilterDisplayText;
  TcxGridGetPropertiesEvent FOnGetProperties;
  TcxGridGetPropertiesEvent FOnGetPropertiesForEdit;
  TcxGridTableItemGetStoredPropertiesEvent FOnGetStoredProperties;
  TcxGridTableItemGetStoredPropertyValueEvent FOnGetStoredPropertyValue;
  TcxGridTableItemSetStoredPropertyValueEvent FOnSetStoredPropertyValue;
  TcxGridUserFilteringEvent FOnUserFiltering;
  TNotifyEvent FSubClassEvents;
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

  TcxCustomGridTableView* GetTableView() const;
  TcxCustomGridTableViewData* GetTableViewData() const;
  Integer GetFocusedRecordIndex();
  void SetFocusedRecordIndex(Integer value);
  TcxCustomGridRecord* GetFocusedRecord();
  void SetFocusedRecord(TcxCustomGridRecord* value) { FocusRecord(value); }
  virtual void FocusRecord(TcxCustomGridRecord* record);
  TcxCustomGridTableItem* GetFocusedItem() const { return FFocusedItem; }
  virtual void SetFocusedItem(TcxCustomGridTableItem* value);
  // The first item of the focused record that can take the focus.
  virtual Boolean FocusFirstAvailableItem();
  // From the item's visible index on, forward, wrapping around.
  virtual Boolean FocusNextItem(Integer fromVisibleIndex, Boolean goForward, Boolean goOnCycle);
  TcxCustomGridTableItem* GetEditingItem() const { return nullptr; }
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
  virtual Integer GetVisibleRecordCount() { return 0; }
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

  // ---- Record navigation ----
  // The next record from the row that can be focused; -1 when none.
  Integer FindNextRecord(Integer recordIndex, Boolean forward, Boolean goOnCycle, Boolean& cycled);
  virtual Boolean FocusNextRecord(Integer recordIndex, Boolean forward, Boolean goOnCycle);
  Boolean GoToFirst() { return FocusNextRecord(-1, true, false); }
  Boolean GoToLast() { return FocusNextRecord(-1, false, true); }
  Boolean GoToNext() { return FocusNextRecord(GetFocusedRecordIndex(), true, false); }
  Boolean GoToPrev() { return FocusNextRecord(GetFocusedRecordIndex(), false, false); }
  Boolean IsStart();
  Boolean IsFinish();

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
  // The data controller's focus moved.
  virtual void FocusedRecordChanged(Integer prevFocusedRecordIndex, Integer focusedRecordIndex,
                                    Boolean newItemRecordFocusingChanged);
  // The grid's focused view lost an item.
  void ItemRemoved(TcxCustomGridTableItem* item);

 private:
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

// The base of the table-like views: items over the controller's fields, records over its rows.
class TcxCustomGridTableView : public TcxCustomGridView {
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
  virtual Boolean RecordHeightsFixed() { return true; }
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
  virtual void DoTopRecordIndexChanged() { FireNotifyEvent(this, FOnTopRecordIndexChanged); }
  virtual TcxCustomGridTableDateTimeHandlingClass GetDateTimeHandlingClass() {
    return TcxCustomGridTableDateTimeHandling::StaticClass();
  }
  virtual TcxCustomGridTableOptionsCustomizeClass GetOptionsCustomizeClass() {
    return TcxCustomGridTableOptionsCustomize::StaticClass();
  }

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

  // The storage flags the view reads: bit 0 the filter, bit 1 the summaries.
  Byte GetStorageOptionsValue() const { return FTableStorageOptions; }
  void SetStorageOptionsValue(Byte value) { FTableStorageOptions = value; }

 private:
  void CopyRowProc(Pointer data, Integer rowIndex, const TcxRowInfo& rowInfo);

  Boolean FAfterAssigningItems = false;
  Boolean FAssigningItems = false;
  std::vector<TcxCustomGridTableItem*>* FCopyList = nullptr;
  AnsiString FCopyText;
  TcxCustomGridTableDateTimeHandling* FDateTimeHandling = nullptr;
  std::vector<TcxCustomGridTableItem*> FFilterableItems;
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
  TcxGridCustomTableViewEvent FOnSelectionChanged;
  TNotifyEvent FOnTopRecordIndexChanged;
};

using TcxCustomGridTableViewClass = orv::ClassOf<TcxCustomGridTableView>;
