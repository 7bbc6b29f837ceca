#include "components/grid/cxGridTableView.h"

#include <algorithm>

#include "components/foundation/dxOffice11.h"
#include "components/grid/cxGrid.h"
#include "components/grid/cxGridLevel.h"
#include "components/grid/cxGridSortingBySummary.h"
#include "components/grid/cxGridStrs.h"
#include "components/grid/cxGridTableViewController.h"
#include "components/grid/cxGridTableViewInfo.h"
#include "platform/controls/Graphics.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"

TcxDragAndDropObjectClass cxGridColumnHorzSizingObjectClass = TcxGridColumnHorzSizingObject::StaticClass();
TcxDragAndDropObjectClass cxGridRowSizingObjectClass = TcxGridRowSizingObject::StaticClass();
TcxDragAndDropObjectClass cxGridColumnMovingObjectClass = TcxGridColumnHeaderMovingObject::StaticClass();

TcxDragAndDropObjectClass TcxGridColumnHeaderHitTest::DragAndDropObjectClass() {
  if (!GetColumn() || !GetColumn()->CanMove()) return TcxDragAndDropObjectClass();
  auto* controller = GetGridView() ? dynamic_cast<TcxGridTableController*>(GetGridView()->GetController()) : nullptr;
  return controller ? controller->GetColumnHeaderMovingObjectClass() : cxGridColumnMovingObjectClass;
}

namespace {

TcxGridTableView* TableViewOf(TcxCustomGridView* view) { return dynamic_cast<TcxGridTableView*>(view); }

}  // namespace

// ==== Column options ============================================================================

TcxGridColumnOptions::TcxGridColumnOptions(TcxCustomGridTableItem* item) : TcxCustomGridTableItemOptions(item) {}

void TcxGridColumnOptions::Assign(TPersistent* source) {
  if (auto* options = dynamic_cast<TcxGridColumnOptions*>(source)) {
    SetCellMerging(options->GetCellMerging());
    SetGroupFooters(options->GetGroupFooters());
    SetHorzSizing(options->GetHorzSizing());
  }
  inherited::Assign(source);
}

void TcxGridColumnOptions::SetCellMerging(Boolean value) {
  if (FCellMerging == value) return;
  FCellMerging = value;
  Changed(vcLayout);
}

void TcxGridColumnOptions::SetGroupFooters(Boolean value) {
  if (FGroupFooters == value) return;
  FGroupFooters = value;
  Changed(vcSize);
}

void TcxGridColumnOptions::SetHorzSizing(Boolean value) {
  if (FHorzSizing == value) return;
  FHorzSizing = value;
  Changed(vcLayout);
}

// ==== Column styles =============================================================================

TcxGridColumn* TcxGridColumnStyles::GetGridColumn() const { return static_cast<TcxGridColumn*>(GetItem()); }

TcxGridTableView* TcxGridColumnStyles::GetGridTableView() const { return TableViewOf(GetGridView()); }

void TcxGridColumnStyles::Assign(TPersistent* source) {
  inherited::Assign(source);
  if (auto* styles = dynamic_cast<TcxGridColumnStyles*>(source)) {
    SetFooter(styles->GetFooter());
    SetGroupSummary(styles->GetGroupSummary());
    SetHeader(styles->GetHeader());
    SetOnGetFooterStyle(styles->GetOnGetFooterStyle());
    SetOnGetFooterStyleEx(styles->GetOnGetFooterStyleEx());
    SetOnGetFooterSummaryStyle(styles->GetOnGetFooterSummaryStyle());
    SetOnGetGroupSummaryStyle(styles->GetOnGetGroupSummaryStyle());
    SetOnGetHeaderStyle(styles->GetOnGetHeaderStyle());
  }
}

#define ORV_COLUMN_STYLES_EVENT(Type, Name)                                 \
  void TcxGridColumnStyles::SetOn##Name(const Type& value) {                \
    if (FOn##Name == value) return;                                         \
    FOn##Name = value;                                                      \
    if (TcxCustomGridTableItem* item = GetItem()) item->Changed(vcProperty); \
  }
ORV_COLUMN_STYLES_EVENT(TcxGridGetCellStyleEvent, GetFooterStyle)
ORV_COLUMN_STYLES_EVENT(TcxGridGetFooterStyleExEvent, GetFooterStyleEx)
ORV_COLUMN_STYLES_EVENT(TcxGridGetFooterSummaryStyleEvent, GetFooterSummaryStyle)
ORV_COLUMN_STYLES_EVENT(TcxGridGetGroupSummaryStyleEvent, GetGroupSummaryStyle)
ORV_COLUMN_STYLES_EVENT(TcxGridGetHeaderStyleEvent, GetHeaderStyle)
#undef ORV_COLUMN_STYLES_EVENT

void TcxGridColumnStyles::GetFooterParams(TcxCustomGridRow* row, Integer footerGroupLevel,
                                          TcxDataSummaryItem* summaryItem, TcxViewParams& params) {
  TcxStyle* style = nullptr;
  TcxGridTableView* view = GetGridTableView();
  TcxGridColumn* column = GetGridColumn();
  if (FOnGetFooterStyle) FOnGetFooterStyle(view, row, column, style);
  if (FOnGetFooterStyleEx) FOnGetFooterStyleEx(view, row, column, footerGroupLevel, style);
  if (summaryItem && FOnGetFooterSummaryStyle)
    FOnGetFooterSummaryStyle(view, row, column, footerGroupLevel, summaryItem, style);
  TcxGridRowFooterCellPos pos(row, column, footerGroupLevel, summaryItem);
  ResolveStyleParams(isFooter, &pos, style, params);
}

void TcxGridColumnStyles::GetGroupSummaryParams(TcxGridGroupRow* row, TcxDataSummaryItem* summaryItem,
                                                TcxViewParams& params) {
  TcxStyle* style = nullptr;
  if (row && FOnGetGroupSummaryStyle) FOnGetGroupSummaryStyle(GetGridTableView(), row, GetGridColumn(), summaryItem, style);
  TcxGridGroupSummaryInfo info(row, summaryItem);
  ResolveStyleParams(isGroupSummary, &info, style, params);
}

void TcxGridColumnStyles::GetHeaderParams(TcxViewParams& params) {
  TcxStyle* style = nullptr;
  if (FOnGetHeaderStyle) FOnGetHeaderStyle(GetGridTableView(), GetGridColumn(), style);
  ResolveStyleParams(isHeader, nullptr, style, params);
}

void TcxGridColumnStyles::GetDefaultStyleParams(Integer index, TObject* data, TcxViewParams& params) {
  TcxGridTableView* view = GetGridTableView();
  if (!view || index < isFooter || index > isHeader) {
    inherited::GetDefaultStyleParams(index, data, params);
    return;
  }
  TcxGridTableViewStyles* styles = view->GetStyles();
  switch (index) {
    case isFooter: {
      auto* pos = dynamic_cast<TcxGridRowFooterCellPos*>(data);
      if (pos)
        styles->GetFooterParams(pos->Row, GetGridColumn(), pos->FooterGroupLevel, pos->SummaryItem, params);
      else
        styles->GetFooterParams(nullptr, GetGridColumn(), -1, nullptr, params);
      break;
    }
    case isGroupSummary: {
      auto* info = dynamic_cast<TcxGridGroupSummaryInfo*>(data);
      styles->GetGroupSummaryParams(info ? info->Row : nullptr, info ? info->SummaryItem : nullptr, params);
      break;
    }
    default:
      styles->GetHeaderParams(GetGridColumn(), params);
      break;
  }
}

// ==== Column summary ============================================================================

namespace {

TcxDataSummaryItems* SummaryItemsOf(TcxCustomGridTableItem* item, Integer index) {
  TcxCustomDataController* controller = item->GetDataController();
  if (!controller) return nullptr;
  TcxDataSummary* summary = controller->GetSummary();
  if (index == 0) return summary->GetFooterSummaryItems();
  return summary->GetDefaultGroupSummaryItems();
}

TcxSummaryPosition SummaryPositionOf(Integer index) { return index == 2 ? spGroup : spFooter; }

}  // namespace

TcxSummaryKind TcxGridColumnSummary::GetKind(Integer index) {
  TcxDataSummaryItems* items = SummaryItemsOf(GetItem(), index);
  return items ? items->GetItemKind(GetItem()->GetIndex(), SummaryPositionOf(index)) : skNone;
}

void TcxGridColumnSummary::SetKind(Integer index, TcxSummaryKind value) {
  if (TcxDataSummaryItems* items = SummaryItemsOf(GetItem(), index))
    items->SetItemKind(GetItem()->GetIndex(), SummaryPositionOf(index), value);
}

AnsiString TcxGridColumnSummary::GetFormat(Integer index) {
  TcxDataSummaryItems* items = SummaryItemsOf(GetItem(), index);
  return items ? items->GetItemFormat(GetItem()->GetIndex(), SummaryPositionOf(index)) : AnsiString();
}

void TcxGridColumnSummary::SetFormat(Integer index, const AnsiString& value) {
  if (TcxDataSummaryItems* items = SummaryItemsOf(GetItem(), index))
    items->SetItemFormat(GetItem()->GetIndex(), SummaryPositionOf(index), value);
}

Boolean TcxGridColumnSummary::GetSortByGroupFooterSummary() {
  TcxDataSummaryItems* items = SummaryItemsOf(GetItem(), 1);
  return items && items->GetItemSorted(GetItem()->GetIndex(), spFooter);
}

void TcxGridColumnSummary::SetSortByGroupFooterSummary(Boolean value) {
  if (TcxDataSummaryItems* items = SummaryItemsOf(GetItem(), 1)) items->SetItemSorted(GetItem()->GetIndex(), spFooter, value);
}

Boolean TcxGridColumnSummary::GetSortByGroupSummary() {
  TcxDataSummaryItems* items = SummaryItemsOf(GetItem(), 2);
  return items && items->GetItemSorted(GetItem()->GetIndex(), spGroup);
}

void TcxGridColumnSummary::SetSortByGroupSummary(Boolean value) {
  if (TcxDataSummaryItems* items = SummaryItemsOf(GetItem(), 2)) items->SetItemSorted(GetItem()->GetIndex(), spGroup, value);
}

void TcxGridColumnSummary::Assign(TPersistent* source) {
  auto* summary = dynamic_cast<TcxGridColumnSummary*>(source);
  if (!summary) {
    inherited::Assign(source);
    return;
  }
  for (Integer i = 0; i < 3; ++i) {
    SetFormat(i, summary->GetFormat(i));
    SetKind(i, summary->GetKind(i));
  }
  SetSortByGroupFooterSummary(summary->GetSortByGroupFooterSummary());
  SetSortByGroupSummary(summary->GetSortByGroupSummary());
}

// ==== Column ====================================================================================

TcxGridColumn::TcxGridColumn(TComponent* owner) : TcxCustomGridTableItem(owner) {}

TcxGridColumn::~TcxGridColumn() = default;

void TcxGridColumn::BeforeDestruction() {
  FSelected = false;
  if (TcxGridTableView* view = GetGridView())
    if (view->GetPreview()) view->GetPreview()->ColumnRemoved(this);
  inherited::BeforeDestruction();
}

TcxGridTableView* TcxGridColumn::GetGridView() const { return TableViewOf(inherited::GetGridView()); }

void TcxGridColumn::CreateSubClasses() {
  inherited::CreateSubClasses();
  FHeaderGlyph = new TBitmap;
  FHeaderGlyph->SetOnChange(TNotifyEvent(this, &TcxGridColumn::HeaderGlyphChanged));
  FSummary = GetSummaryClass().Create(this);
}

void TcxGridColumn::DestroySubClasses() {
  FreeAndNil(FSummary);
  FreeAndNil(FHeaderGlyph);
  inherited::DestroySubClasses();
}

void TcxGridColumn::HeaderGlyphChanged(TObject* sender) { Changed(vcLayout); }

void TcxGridColumn::Assign(TPersistent* source) {
  if (auto* column = dynamic_cast<TcxGridColumn*>(source)) {
    if (column->FIsFooterAlignmentHorzAssigned) SetFooterAlignmentHorz(column->GetFooterAlignmentHorz());
    if (column->FIsGroupSummaryAlignmentAssigned) SetGroupSummaryAlignment(column->GetGroupSummaryAlignment());
    SetHeaderGlyph(column->GetHeaderGlyph());
    SetHeaderGlyphAlignmentHorz(column->GetHeaderGlyphAlignmentHorz());
    SetHeaderGlyphAlignmentVert(column->GetHeaderGlyphAlignmentVert());
    SetSummary(column->GetSummary());
    SetOnCompareRowValuesForCellMerging(column->GetOnCompareRowValuesForCellMerging());
    SetOnCompareValuesForCellMerging(column->GetOnCompareValuesForCellMerging());
    SetOnCustomDrawFooterCell(column->GetOnCustomDrawFooterCell());
    SetOnCustomDrawGroupSummaryCell(column->GetOnCustomDrawGroupSummaryCell());
    SetOnCustomDrawHeader(column->GetOnCustomDrawHeader());
    SetOnHeaderClick(column->GetOnHeaderClick());
  }
  inherited::Assign(source);
}

namespace {

TAlignment EditorAlignmentOf(TcxCustomGridTableItem* item) {
  TcxCustomEditProperties* properties = item->GetPropertiesValue();
  return properties ? properties->GetAlignment()->GetHorz() : taLeftJustify;
}

}  // namespace

TAlignment TcxGridColumn::GetFooterAlignmentHorz() {
  return FIsFooterAlignmentHorzAssigned ? FFooterAlignmentHorz : EditorAlignmentOf(this);
}

void TcxGridColumn::SetFooterAlignmentHorz(TAlignment value) {
  if (value == GetFooterAlignmentHorz() && !IsLoading(this)) return;
  FFooterAlignmentHorz = value;
  FIsFooterAlignmentHorzAssigned = true;
  Changed(vcLayout);
}

Boolean TcxGridColumn::IsFooterAlignmentHorzStored() {
  return FIsFooterAlignmentHorzAssigned && FFooterAlignmentHorz != EditorAlignmentOf(this);
}

TAlignment TcxGridColumn::GetGroupSummaryAlignment() {
  return FIsGroupSummaryAlignmentAssigned ? FGroupSummaryAlignment : EditorAlignmentOf(this);
}

void TcxGridColumn::SetGroupSummaryAlignment(TAlignment value) {
  if (value == GetGroupSummaryAlignment() && !IsLoading(this)) return;
  FGroupSummaryAlignment = value;
  FIsGroupSummaryAlignmentAssigned = true;
  Changed(vcLayout);
}

Boolean TcxGridColumn::IsGroupSummaryAlignmentStored() {
  return FIsGroupSummaryAlignmentAssigned && FGroupSummaryAlignment != EditorAlignmentOf(this);
}

void TcxGridColumn::SetHeaderGlyph(TBitmap* value) { FHeaderGlyph->Assign(value); }

void TcxGridColumn::SetHeaderGlyphAlignmentHorz(TAlignment value) {
  if (FHeaderGlyphAlignmentHorz == value) return;
  FHeaderGlyphAlignmentHorz = value;
  Changed(vcLayout);
}

void TcxGridColumn::SetHeaderGlyphAlignmentVert(TcxAlignmentVert value) {
  if (FHeaderGlyphAlignmentVert == value) return;
  FHeaderGlyphAlignmentVert = value;
  Changed(vcLayout);
}

void TcxGridColumn::SetSelected(Boolean value) {
  if (FSelected == value) return;
  FSelected = value;
  if (auto* controller = dynamic_cast<TcxGridTableController*>(GetController()))
    controller->ColumnSelectionChanged(this, value);
  if (TcxGridTableView* view = GetGridView()) view->Changed(vcProperty);
}

#define ORV_COLUMN_EVENT(Type, Name)                    \
  void TcxGridColumn::SetOn##Name(const Type& value) {  \
    if (FOn##Name == value) return;                     \
    FOn##Name = value;                                  \
    Changed(vcProperty);                                \
  }
ORV_COLUMN_EVENT(TcxGridColumnCompareRowValuesEvent, CompareRowValuesForCellMerging)
ORV_COLUMN_EVENT(TcxGridColumnCompareValuesEvent, CompareValuesForCellMerging)
ORV_COLUMN_EVENT(TcxGridColumnCustomDrawHeaderEvent, CustomDrawFooterCell)
ORV_COLUMN_EVENT(TcxGridGroupSummaryCellCustomDrawEvent, CustomDrawGroupSummaryCell)
ORV_COLUMN_EVENT(TcxGridColumnCustomDrawHeaderEvent, CustomDrawHeader)
ORV_COLUMN_EVENT(TNotifyEvent, HeaderClick)
#undef ORV_COLUMN_EVENT

void TcxGridColumn::AutoWidthChanged() {
  // The header widths come from the layout, which reports them through the column's width
  // when it divides the view's width among the columns.
}

Boolean TcxGridColumn::CanCellMerging() {
  TcxGridTableView* view = GetGridView();
  return GetOptions()->GetCellMerging() && view && view->CanCellMerging();
}

Boolean TcxGridColumn::HideOnGrouping() {
  TcxGridTableView* view = GetGridView();
  return view && view->GetOptionsCustomize()->GetColumnHidingOnGrouping();
}

void TcxGridColumn::DoCustomDrawFooterCell(TcxCanvas* canvas, TcxGridColumnHeaderViewInfo* viewInfo, Boolean& done) {
  if (FOnCustomDrawFooterCell) FOnCustomDrawFooterCell(GetGridView(), canvas, viewInfo, done);
}

void TcxGridColumn::DoCustomDrawGroupSummaryCell(TcxCanvas* canvas, TcxCustomGridViewCellViewInfo* viewInfo,
                                                 Boolean& done) {
  // The layout hands the group row and the summary item through the view's own event.
  if (FOnCustomDrawGroupSummaryCell) FOnCustomDrawGroupSummaryCell(this, canvas, nullptr, this, nullptr, viewInfo, done);
}

void TcxGridColumn::DoCustomDrawHeader(TcxCanvas* canvas, TcxGridColumnHeaderViewInfo* viewInfo, Boolean& done) {
  if (FOnCustomDrawHeader) FOnCustomDrawHeader(GetGridView(), canvas, viewInfo, done);
}

void TcxGridColumn::DoHeaderClick() {
  if (FOnHeaderClick) FOnHeaderClick(this);
  if (TcxGridTableView* view = GetGridView()) view->DoColumnHeaderClick(this);
}

Boolean TcxGridColumn::IsPreview() {
  TcxGridTableView* view = GetGridView();
  return view && view->GetPreview() && view->GetPreview()->GetColumn() == this;
}

Boolean TcxGridColumn::CompareValuesForCellMerging(TcxGridDataRow* row1, TcxCustomEditProperties* properties1,
                                                   const Variant& value1, TcxGridDataRow* row2,
                                                   TcxCustomEditProperties* properties2, const Variant& value2) {
  Boolean equal = properties1 == properties2 && properties1 &&
                  properties1->AreDisplayValuesEqual(value1, value2);
  if (FOnCompareValuesForCellMerging)
    FOnCompareValuesForCellMerging(this, properties1, value1, properties2, value2, equal);
  if (FOnCompareRowValuesForCellMerging)
    FOnCompareRowValuesForCellMerging(this, row1, properties1, value1, row2, properties2, value2, equal);
  return equal;
}

Boolean TcxGridColumn::ChangeGroupIndex(Integer value, Boolean restoreVisibility) {
  if (!CanGroup()) return false;
  const Boolean wasVisible = GetWasVisibleBeforeGrouping();
  SetGroupIndex(value);
  if (value == -1) {
    if (restoreVisibility && ShowOnUngrouping() && wasVisible) SetVisible(true);
  } else if (HideOnGrouping() && CanHide()) {
    SetVisible(false);
  }
  return true;
}

void TcxGridColumn::FocusWithSelection() {
  TcxGridTableView* view = GetGridView();
  if (view && !GetFocused() && view->GetOptionsSelection()->GetCellMultiSelect()) {
    view->BeginUpdate();
    try {
      for (Integer i = 0; i < view->GetColumnCount(); ++i) view->GetColumn(i)->SetSelected(false);
      SetSelected(true);
    } catch (...) {
      view->EndUpdate();
      throw;
    }
    view->EndUpdate();
  }
  inherited::FocusWithSelection();
}

Boolean TcxGridColumn::GetStoredProperties(TStrings* properties) {
  properties->Add("GroupIndex");
  properties->Add("Width");
  return inherited::GetStoredProperties(properties);
}

void TcxGridColumn::GetStoredPropertyValue(const AnsiString& name, Variant& value) {
  if (name == "GroupIndex")
    value = GetGroupIndex();
  else if (name == "Width")
    value = GetWidth();
  else
    inherited::GetStoredPropertyValue(name, value);
}

void TcxGridColumn::SetStoredPropertyValue(const AnsiString& name, const Variant& value) {
  if (name == "GroupIndex")
    SetGroupIndex(value.AsInteger());
  else if (name == "Width")
    SetWidth(value.AsInteger());
  else
    inherited::SetStoredPropertyValue(name, value);
}

void TcxGridColumn::BestFitApplied(Boolean fireEvents) {
  inherited::BestFitApplied(fireEvents);
  if (fireEvents)
    if (TcxGridTableView* view = GetGridView()) view->DoColumnSizeChanged(this);
}

Integer TcxGridColumn::CalculateBestFitWidth() {
  Integer width = inherited::CalculateBestFitWidth();
  TcxGridTableView* view = GetGridView();
  if (!view) return width;
  // The grid lines the column's cells draw on their left and right.
  const TcxGridLines lines = view->GetOptionsView()->GetGridLines();
  if (lines == glBoth || lines == glVertical) width += 1;
  if (!GetVisible()) return width;
  TcxCustomGridViewInfo* viewInfo = view->GetViewInfo();
  if (view->GetOptionsView()->GetHeader() && viewInfo && viewInfo->Canvas()) {
    // The caption as its header shows it, with the header's text margins and borders.
    TcxViewParams params;
    GetStyles()->GetHeaderParams(params);
    TcxCanvas* canvas = viewInfo->Canvas();
    if (params.Font) canvas->SetFont(params.Font);
    const Integer headerWidth = canvas->TextWidth(GetCaption()) + 2 * 4 + 2;
    width = std::max(width, headerWidth);
  }
  return width;
}

Boolean TcxGridColumn::CanEdit() {
  // The filter row edits conditions even where the records are read-only.
  TcxCustomGridTableController* controller = GetController();
  if (TcxCustomGridRecord* focused = controller ? controller->GetFocusedRecord() : nullptr)
    if (dynamic_cast<TcxGridFilterRow*>(focused)) return CanFocus(focused) && GetFocusedCellViewInfo() != nullptr;
  if (CanCellMerging()) return false;
  return inherited::CanEdit();
}

Boolean TcxGridColumn::CanFocus(TcxCustomGridRecord* record) {
  if (dynamic_cast<TcxGridFilterRow*>(record)) return GetActuallyVisible() && CanFilter(false);
  return inherited::CanFocus(record);
}

Boolean TcxGridColumn::CanHorzSize() {
  TcxGridTableView* view = GetGridView();
  return inherited::CanHorzSize() && (!view || view->GetOptionsCustomize()->GetColumnHorzSizing());
}

void TcxGridColumn::ForceWidth(Integer value) {
  AutoWidthChanged();
  inherited::ForceWidth(value);
  AutoWidthChanged();
  Changed(vcSize);
}

Boolean TcxGridColumn::GetFixed() {
  if (inherited::GetFixed()) return true;
  TcxCustomGridTableController* controller = GetController();
  auto* forced = controller ? dynamic_cast<TcxGridColumn*>(controller->GetForcingWidthItem()) : nullptr;
  if (!forced || forced->IsLast()) return false;
  return GetVisibleIndex() >= 0 && GetVisibleIndex() < forced->GetVisibleIndex();
}

Boolean TcxGridColumn::ReadVisible() { return inherited::ReadVisible() && !IsPreview(); }

Boolean TcxGridColumn::ReadVisibleForCustomization() { return inherited::ReadVisibleForCustomization() && !IsPreview(); }

Boolean TcxGridColumn::ShouldStoreVisible() { return inherited::ShouldStoreVisible() && !IsPreview(); }

Boolean TcxGridColumn::ShouldStoreVisibleForCustomization() {
  return inherited::ShouldStoreVisibleForCustomization() && !IsPreview();
}

namespace {

TcxGridFilterRow* FocusedFilterRow(TcxCustomGridTableItem* item) {
  TcxCustomGridTableController* controller = item->GetController();
  return controller ? dynamic_cast<TcxGridFilterRow*>(controller->GetFocusedRecord()) : nullptr;
}

// Whether the filter row edits the column's text with a trailing percent wildcard.
Boolean UsesImmediateLike(TcxGridColumn* column) {
  TcxGridTableView* view = column->GetGridView();
  return view && view->GetFilterRow()->GetApplyChanges() == fracImmediately &&
         column->GetDataController()->GetFilter()->GetSupportedLike();
}

}  // namespace

void TcxGridColumn::GetEditValue(Variant& value) {
  TcxGridFilterRow* filterRow = FocusedFilterRow(this);
  if (!filterRow) {
    inherited::GetEditValue(value);
    return;
  }
  filterRow->GetValue(GetIndex(), value);
  if (UsesImmediateLike(this) && VarIsStr(value)) {
    AnsiString text = value.AsString();
    const char wildcard = GetDataController()->GetFilter()->GetPercentWildcard();
    if (!text.empty() && text.back() == wildcard) {
      text.pop_back();
      value = text;
    }
  }
}

void TcxGridColumn::SetEditValue(const Variant& value) {
  TcxGridFilterRow* filterRow = FocusedFilterRow(this);
  if (!filterRow) {
    inherited::SetEditValue(value);
    return;
  }
  Variant filterValue = value;
  if (UsesImmediateLike(this) && VarIsStr(value)) {
    AnsiString text = value.AsString();
    const char wildcard = GetDataController()->GetFilter()->GetPercentWildcard();
    if (!text.empty() && text.back() != wildcard) filterValue = text + wildcard;
  }
  filterRow->SetValue(GetIndex(), filterValue);
  if (TcxGridTableView* view = GetGridView())
    if (!IsEditing()) view->GetFiltering()->AddFilterToMRUItems();
}

// ==== Summary items =============================================================================

namespace {

TcxCustomGridTableView* ViewOfController(TcxCustomDataController* controller) {
  return controller ? dynamic_cast<TcxCustomGridTableView*>(controller->GetOwner()) : nullptr;
}

}  // namespace

TcxGridTableSummaryItem::TcxGridTableSummaryItem(TCollection* collection) : TcxDataSummaryItem(collection) {}

TcxCustomGridTableView* TcxGridTableSummaryItem::GetGridView() const {
  return ViewOfController(const_cast<TcxGridTableSummaryItem*>(this)->GetDataController());
}

TcxGridColumn* TcxGridTableSummaryItem::GetColumn() const {
  return dynamic_cast<TcxGridColumn*>(const_cast<TcxGridTableSummaryItem*>(this)->GetItemLink());
}

void TcxGridTableSummaryItem::SetColumn(TcxGridColumn* value) { SetItemLink(value); }

void TcxGridTableSummaryItem::SetDisplayText(const AnsiString& value) {
  if (FDisplayText == value) return;
  FDisplayText = value;
  if (TcxCustomGridTableView* view = GetGridView()) view->Changed(vcProperty);
}

void TcxGridTableSummaryItem::SetVisibleForCustomization(Boolean value) {
  if (FVisibleForCustomization == value) return;
  FVisibleForCustomization = value;
  if (TcxCustomGridTableView* view = GetGridView()) view->Changed(vcProperty);
}

void TcxGridTableSummaryItem::Assign(TPersistent* source) {
  inherited::Assign(source);
  if (auto* item = dynamic_cast<TcxGridTableSummaryItem*>(source)) {
    SetDisplayText(item->GetDisplayText());
    SetVisibleForCustomization(item->GetVisibleForCustomization());
  }
}

AnsiString TcxGridTableSummaryItem::GetStoredColumnName() const {
  AnsiString name;
  if (TcxGridColumn* column = GetColumn()) column->GetStoredObjectName(name);
  return name;
}

void TcxGridTableSummaryItem::SetStoredColumnName(const AnsiString& value) {
  TcxCustomGridTableView* view = GetGridView();
  SetColumn(view ? dynamic_cast<TcxGridColumn*>(view->FindItemByStoredName(value)) : nullptr);
}

TcxCustomGridTableView* TcxGridTableSummaryGroupItemLink::GetGridView() const {
  return ViewOfController(const_cast<TcxGridTableSummaryGroupItemLink*>(this)->GetDataController());
}

TcxGridColumn* TcxGridTableSummaryGroupItemLink::GetColumn() const {
  return dynamic_cast<TcxGridColumn*>(const_cast<TcxGridTableSummaryGroupItemLink*>(this)->GetItemLink());
}

void TcxGridTableSummaryGroupItemLink::SetColumn(TcxGridColumn* value) { SetItemLink(value); }

// ==== Rows ======================================================================================

TcxGridTableView* TcxCustomGridRow::GetGridView() const { return TableViewOf(inherited::GetGridView()); }

TcxGridViewData* TcxCustomGridRow::GetViewData() const { return static_cast<TcxGridViewData*>(inherited::GetViewData()); }

void TcxCustomGridRow::KeyDown(Word& key, TShiftState shift) {
  inherited::KeyDown(key, shift);
  switch (key) {
    case VK_LEFT:
      if (GetExpandable() && GetExpanded()) {
        DoCollapse(false);
        key = 0;
      }
      break;
    case VK_RIGHT:
      if (GetExpandable() && !GetExpanded()) {
        DoExpand(false);
        key = 0;
      }
      break;
    case VK_MULTIPLY:
      if (GetExpandable()) {
        DoExpand(true);
        key = 0;
      }
      break;
    default:
      break;
  }
}

// ---- Filter row ----

namespace {

TcxRowInfo FilterRowInfo() {
  TcxRowInfo info;
  info.Expanded = false;
  info.Level = 0;
  info.RecordIndex = -1;
  return info;
}

}  // namespace

TcxGridFilterRow::TcxGridFilterRow(TcxCustomGridTableViewData* viewData, Integer index, const TcxRowInfo& recordInfo)
    : TcxGridNewItemRow(viewData, index, FilterRowInfo()) {}

void TcxGridFilterRow::RefreshRecordInfo() {
  // Fixed: the filter row stands for no record of the controller.
}

void TcxGridFilterRow::SetSelected(Boolean value) {
  if (FSelected == value) return;
  auto* controller = dynamic_cast<TcxGridTableController*>(GetController());
  if (controller) controller->SpecialRowFocusChanging(value);
  FSelected = value;
  Invalidate();
  if (controller) controller->SpecialRowFocusChanged();
}

TcxFilterCriteriaItem* TcxGridFilterRow::GetFilterCriteriaItem(Integer itemIndex) {
  TcxCustomGridTableView* view = GetGridView();
  if (!view || itemIndex < 0 || itemIndex >= view->GetItemCount()) return nullptr;
  return GetDataController()->GetFilter()->FindItemForLink(view->GetItem(itemIndex));
}

Boolean TcxGridFilterRow::IsEmpty() {
  TcxCustomGridTableView* view = GetGridView();
  for (Integer i = 0; view && i < view->GetItemCount(); ++i)
    if (GetFilterCriteriaItem(i)) return false;
  return true;
}

void TcxGridFilterRow::GetValue(Integer itemIndex, Variant& value) {
  TcxFilterCriteriaItem* item = GetFilterCriteriaItem(itemIndex);
  if (item && IsValueOperatorSupported(item->GetOperatorCode(), item->GetValue()))
    value = item->GetValue();
  else
    value = Variant::NullValue();
}

void TcxGridFilterRow::GetDisplayText(Integer itemIndex, AnsiString& text) {
  TcxFilterCriteriaItem* item = GetFilterCriteriaItem(itemIndex);
  if (item && IsValueOperatorSupported(item->GetOperatorCode(), item->GetValue()))
    text = item->GetDisplayValue();
  else
    text.clear();
}

void TcxGridFilterRow::SetDisplayText(Integer itemIndex, const AnsiString& text) {
  if (TcxFilterCriteriaItem* item = GetFilterCriteriaItem(itemIndex)) item->SetDisplayValue(text);
}

void TcxGridFilterRow::SetValue(Integer itemIndex, const Variant& value) {
  TcxCustomGridTableView* view = GetGridView();
  if (!view || itemIndex < 0 || itemIndex >= view->GetItemCount()) return;
  TcxCustomGridTableItem* column = view->GetItem(itemIndex);
  TcxDataFilterCriteria* filter = GetDataController()->GetFilter();
  const Boolean empty = value.IsNull() || value.IsEmpty() || (VarIsStr(value) && value.AsString().empty());
  auto* controller = dynamic_cast<TcxGridTableController*>(GetController());
  const Boolean wasApplying = controller && controller->GetApplyingFilterRowValue();
  if (controller) controller->SetApplyingFilterRowValue(true);
  struct TRestoreApplying {
    TcxGridTableController* Controller;
    Boolean Value;
    ~TRestoreApplying() {
      if (Controller) Controller->SetApplyingFilterRowValue(Value);
    }
  } restoreApplying{controller, wasApplying};
  filter->BeginUpdate();
  try {
    filter->RemoveItemsByLink(column);
    if (!empty) {
      filter->SetActive(true);
      const AnsiString displayText = GetDisplayTextForValue(itemIndex, value);
      filter->AddItem(filter->GetRoot(), column, GetOperatorForValue(value, true), value, displayText);
    }
  } catch (...) {
    filter->EndUpdate();
    throw;
  }
  filter->EndUpdate();
}

AnsiString TcxGridFilterRow::GetDisplayTextForValue(Integer index, const Variant& value) {
  TcxCustomGridTableView* view = GetGridView();
  TcxCustomGridTableItem* item = view->GetItem(index);
  AnsiString text;
  if (TcxCustomEditProperties* properties = item->GetPropertiesForRecord(this))
    properties->EditValueToDisplayText(value, text);
  else
    text = value.AsString();
  return text;
}

TcxFilterOperatorCode TcxGridFilterRow::GetOperatorForValue(const Variant& value, Boolean checkWildcards) {
  if (!VarIsStr(value)) return focEqual;
  if (!checkWildcards) return focLike;
  TcxDataFilterCriteria* filter = GetDataController()->GetFilter();
  const AnsiString text = value.AsString();
  return text.find(filter->GetPercentWildcard()) != AnsiString::npos ||
                 text.find(filter->GetUnderscoreWildcard()) != AnsiString::npos
             ? focLike
             : focEqual;
}

Boolean TcxGridFilterRow::IsValueOperatorSupported(TcxFilterOperatorCode operatorKind, const Variant& value) {
  return operatorKind == focEqual || operatorKind == GetOperatorForValue(value, false);
}

void TcxGridFilterRow::KeyDown(Word& key, TShiftState shift) {
  inherited::KeyDown(key, shift);
  if (key == VK_ESCAPE) {
    SetSelected(false);
    key = 0;
  }
}

// ---- Master rows ----

namespace {

TcxGridLevel* LevelOf(TcxCustomGridView* view) { return view ? dynamic_cast<TcxGridLevel*>(view->GetLevel()) : nullptr; }

}  // namespace

Boolean TcxGridMasterDataRow::HasDetailData() {
  TcxGridLevel* level = LevelOf(GetGridView());
  if (!level) return false;
  for (Integer i = 0; i < level->GetCount(); ++i)
    if (GetDataController()->HasDetailData(GetRecordIndex(), i)) return true;
  return false;
}

Boolean TcxGridMasterDataRow::GetExpanded() { return GetDataController()->GetDetailExpanding(GetRecordIndex()); }

Boolean TcxGridMasterDataRow::GetExpandable() {
  TcxGridTableView* view = GetGridView();
  return (view && view->GetOptionsView()->GetExpandButtonsForEmptyDetails()) || HasDetailData() || GetExpanded();
}

Boolean TcxGridMasterDataRow::ExpandOnDblClick() {
  TcxGridTableView* view = GetGridView();
  return GetExpandable() && view && view->GetOptionsBehavior()->GetExpandMasterRowOnDblClick();
}

void TcxGridMasterDataRow::DoCollapse(Boolean recursive) {
  if (recursive && GetExpanded()) {
    TcxGridLevel* level = LevelOf(GetGridView());
    for (Integer i = 0; level && i < level->GetCount(); ++i) {
      if (!GetDataController()->IsDetailDataControllerExist(GetRecordIndex(), i)) continue;
      TcxCustomDataController* detail = GetDataController()->GetDetailDataController(GetRecordIndex(), i);
      if (auto* view = detail ? dynamic_cast<TcxCustomGridTableView*>(detail->GetOwner()) : nullptr)
        view->GetTableViewData()->CollapseAll(true);
    }
  }
  GetDataController()->ChangeDetailExpanding(GetRecordIndex(), false);
}

void TcxGridMasterDataRow::DoExpand(Boolean recursive) {
  const Integer recordIndex = GetRecordIndex();
  TcxCustomDataController* controller = GetDataController();
  TcxCustomGridTableViewData* viewData = inherited::GetViewData();
  if (!controller->ChangeDetailExpanding(recordIndex, true)) return;
  TcxCustomGridRecord* row = viewData->RecordOfDataRecord(recordIndex);
  if (row == this) {
    if (!recursive || !GetExpanded()) return;
    TcxGridLevel* level = LevelOf(GetGridView());
    for (Integer i = 0; level && i < level->GetCount(); ++i) {
      if (!controller->IsDetailDataControllerExist(recordIndex, i)) continue;
      TcxCustomDataController* detail = controller->GetDetailDataController(recordIndex, i);
      if (auto* view = detail ? dynamic_cast<TcxCustomGridTableView*>(detail->GetOwner()) : nullptr)
        view->GetTableViewData()->ExpandAll(true);
    }
  } else if (auto* other = dynamic_cast<TcxGridMasterDataRow*>(row)) {
    other->DoExpand(recursive);
  }
}

void TcxGridMasterDataRow::ToggleExpanded() { inherited::ToggleExpanded(); }

Integer TcxGridMasterDataRow::GetActiveDetailIndex() {
  return GetDataController()->GetDetailActiveRelationIndex(GetRecordIndex());
}

void TcxGridMasterDataRow::SetActiveDetailIndex(Integer value) {
  GetDataController()->ChangeDetailActiveRelationIndex(GetRecordIndex(), value);
}

TcxCustomGridView* TcxGridMasterDataRow::GetActiveDetailGridView() {
  // The detail is made on first demand (the grid's data controllers clone the level's view).
  const Integer index = GetActiveDetailIndex();
  if (index < 0) return nullptr;
  TcxCustomDataController* detail = GetDataController()->GetDetailDataController(GetRecordIndex(), index);
  return detail ? dynamic_cast<TcxCustomGridView*>(detail->GetOwner()) : nullptr;
}

TcxCustomGridRecord* TcxGridMasterDataRow::GetFirstChildToFocus() {
  if (!GetExpanded()) return nullptr;
  auto* view = dynamic_cast<TcxGridTableView*>(GetActiveDetailGridView());
  if (!view) return nullptr;
  TcxGridViewData* viewData = view->GetViewData();
  if (viewData->GetFilterRow()) return viewData->GetFilterRow();
  if (viewData->GetNewItemRecord()) return viewData->GetNewItemRecord();
  for (Integer i = 0; i < viewData->GetRecordCount(); ++i)
    if (viewData->RecordAt(i)->CanFocus()) return viewData->RecordAt(i);
  return nullptr;
}

TcxCustomGridRecord* TcxGridMasterDataRow::GetLastChildToFocus(Boolean recursive) {
  if (!GetExpanded()) return nullptr;
  auto* view = dynamic_cast<TcxGridTableView*>(GetActiveDetailGridView());
  if (!view) return nullptr;
  TcxGridViewData* viewData = view->GetViewData();
  for (Integer i = viewData->GetRecordCount() - 1; i >= 0; --i) {
    TcxCustomGridRecord* record = viewData->RecordAt(i);
    if (!record->CanFocus()) continue;
    if (recursive)
      if (TcxCustomGridRecord* child = record->GetLastChildToFocus(true)) return child;
    return record;
  }
  if (viewData->GetNewItemRecord()) return viewData->GetNewItemRecord();
  return viewData->GetFilterRow();
}

// ---- Group rows ----

Boolean TcxGridGroupRow::GetExpandable() {
  return !GetDataController()->GetOptions().Contains(dcoGroupsAlwaysExpanded);
}

Boolean TcxGridGroupRow::GetIsParent() {
  return GetLevel() < GetDataController()->GetGroups()->GetGroupingLevelCount();
}

void TcxGridGroupRow::DoCollapse(Boolean recursive) {
  if (recursive || GetExpanded()) GetDataController()->GetGroups()->ChangeExpanding(GetIndex(), false, recursive);
}

void TcxGridGroupRow::DoExpand(Boolean recursive) {
  if (recursive || !GetExpanded()) GetDataController()->GetGroups()->ChangeExpanding(GetIndex(), true, recursive);
}

TcxGridColumn* TcxGridGroupRow::GetGroupedColumn() {
  TcxGridTableView* view = GetGridView();
  if (!view || GetLevel() >= view->GetGroupedColumnCount()) return nullptr;
  return view->GetGroupedColumn(GetLevel());
}

void TcxGridGroupRow::GetDisplayText(Integer itemIndex, AnsiString& text) {
  // Dates grouped by ranges show the range's text (a month, "Today").
  TcxCustomGridTableView* view = GetGridView();
  TcxCustomGridTableViewData* data = view ? view->GetTableViewData() : nullptr;
  if (data && itemIndex >= 0 && itemIndex < view->GetItemCount() && data->UsesDateHandling(view->GetItem(itemIndex), 1)) {
    data->GroupValueDisplayText(GetRecordIndex(), itemIndex, text, 1);
    return;
  }
  inherited::GetDisplayText(itemIndex, text);
}

Variant TcxGridGroupRow::GetGroupValue() {
  TcxGridColumn* column = GetGroupedColumn();
  return column ? GetValues(column->GetIndex()) : Variant::NullValue();
}

AnsiString TcxGridGroupRow::GetCaption() {
  TcxGridColumn* column = GetGroupedColumn();
  if (!column) return AnsiString();
  AnsiString caption = column->GetAlternateCaptionInEffect();
  if (!caption.empty()) caption += " : ";
  return caption + GetDisplayTexts(column->GetIndex());
}

TcxDataSummaryItems* TcxGridGroupRow::GetGroupSummaryItems() {
  return GetDataController()->GetSummary()->GetGroupSummaryItems(GetLevel());
}

AnsiString TcxGridGroupRow::GetGroupSummaryText() {
  return GetDataController()->GetSummary()->GetGroupSummaryText(GetIndex());
}

AnsiString TcxGridGroupRow::GetDisplayTextWithSummary() {
  AnsiString text = GetCaption();
  const AnsiString summary = GetGroupSummaryText();
  if (!summary.empty()) text += " " + summary;
  return text;
}

// ==== View data =================================================================================

void TcxGridViewData::BeforeDestruction() {
  FreeAndNil(FFilterRow);
  inherited::BeforeDestruction();
}

TcxGridTableView* TcxGridViewData::GetGridView() const { return TableViewOf(inherited::GetGridView()); }

TcxCustomGridRecordClass TcxGridViewData::RecordClassForRow(const TcxRowInfo& recordInfo) {
  if (recordInfo.Level < GetDataController()->GetGroups()->GetGroupingLevelCount())
    return TcxGridGroupRow::StaticClass();
  TcxGridTableView* view = GetGridView();
  if (view && view->IsMaster()) return TcxGridMasterDataRow::StaticClass();
  return TcxGridDataRow::StaticClass();
}

Boolean TcxGridViewData::HasNewItemRecord() {
  TcxGridTableView* view = GetGridView();
  return view && view->GetNewItemRow() && view->GetNewItemRow()->GetVisible();
}

Boolean TcxGridViewData::HasFilterRow() {
  TcxGridTableView* view = GetGridView();
  return view && view->GetFilterRow() && view->GetFilterRow()->GetVisible();
}

TcxCustomGridRecord* TcxGridViewData::RecordOfKind(Integer kind, Integer index) {
  if (kind == 2) return HasFilterRow() ? FFilterRow : nullptr;
  return inherited::RecordOfKind(kind, index);
}

Integer TcxGridViewData::KindOfRecord(TcxCustomGridRecord* record) {
  if (record && record == FFilterRow && HasFilterRow()) return 2;
  return inherited::KindOfRecord(record);
}

void TcxGridViewData::CheckFilterRow() {
  if (HasFilterRow()) {
    if (FFilterRow) return;
    FFilterRow = static_cast<TcxGridFilterRow*>(FilterRowClass().Create(this, -1, TcxRowInfo()));
    FFilterRow->RefreshRecordInfo();
  } else {
    FreeAndNil(FFilterRow);
  }
}

void TcxGridViewData::CollapseAll(Boolean recursive) {
  if (!recursive) {
    inherited::CollapseAll(recursive);
    return;
  }
  TcxCustomGridView* view = inherited::GetGridView();
  view->BeginUpdate();
  try {
    GetDataController()->GetGroups()->FullCollapse();
    GetDataController()->CollapseDetails();
  } catch (...) {
    view->EndUpdate();
    throw;
  }
  view->EndUpdate();
}

void TcxGridViewData::ExpandAll(Boolean recursive) {
  GetDataController()->GetGroups()->FullExpand();
  inherited::ExpandAll(recursive);
}

TClass TcxGridViewData::GetSortingBySummaryEngineClass() { return TcxGridSortingBySummaryEngine::StaticClass(); }

TcxGridMasterDataRow* TcxGridViewData::GetFirstVisibleExpandedMasterRow() {
  TcxGridTableView* view = GetGridView();
  if (!view || GetRecordCount() == 0 || !view->IsMaster()) return nullptr;
  TcxCustomGridTableController* controller = view->GetTableController();
  const Integer top = std::max<Integer>(controller->GetTopRecordIndex(), 0);
  const Integer last = std::min<Integer>(GetRecordCount() - 1, top + std::max<Integer>(controller->GetVisibleRecordCount(), 1) - 1);
  for (Integer i = top; i <= last; ++i)
    if (auto* row = dynamic_cast<TcxGridMasterDataRow*>(RecordAt(i)))
      if (row->GetExpanded()) return row;
  for (Integer i = top; i < GetRecordCount(); ++i) {
    TcxCustomGridRecord* record = RecordAt(i);
    if (auto* row = dynamic_cast<TcxGridMasterDataRow*>(record)) {
      row->DoExpand(false);
      return dynamic_cast<TcxGridMasterDataRow*>(RecordAt(i));
    }
    if (dynamic_cast<TcxGridGroupRow*>(record) && !record->GetExpanded()) record->DoExpand(true);
  }
  return nullptr;
}

TcxCustomGridView* TcxGridViewData::MakeDetailVisible(TComponent* detailLevel) {
  TcxGridMasterDataRow* row = GetFirstVisibleExpandedMasterRow();
  if (!row) return nullptr;
  auto* level = dynamic_cast<TcxGridLevel*>(detailLevel);
  TcxGridLevel* viewLevel = LevelOf(GetGridView());
  if (level && viewLevel && level->GetParent() == viewLevel) row->SetActiveDetailIndex(level->GetIndex());
  TcxCustomGridView* result = nullptr;
  if (level && row->GetActiveDetailIndex() == level->GetIndex()) result = row->GetActiveDetailGridView();
  row->MakeVisible();
  return result;
}

// ==== Options ===================================================================================

void TcxGridTableOptionsBehavior::Assign(TPersistent* source) {
  if (auto* options = dynamic_cast<TcxGridTableOptionsBehavior*>(source)) {
    SetColumnHeaderHints(options->GetColumnHeaderHints());
    SetCopyPreviewToClipboard(options->GetCopyPreviewToClipboard());
    SetExpandMasterRowOnDblClick(options->GetExpandMasterRowOnDblClick());
  }
  inherited::Assign(source);
}

#define ORV_OPTION_SETTER(Class, Type, Name, Kind) \
  void Class::Set##Name(Type value) {              \
    if (F##Name == value) return;                  \
    F##Name = value;                               \
    Changed(Kind);                                 \
  }
ORV_OPTION_SETTER(TcxGridTableOptionsBehavior, Boolean, ColumnHeaderHints, vcProperty)
ORV_OPTION_SETTER(TcxGridTableOptionsBehavior, Boolean, CopyPreviewToClipboard, vcProperty)
ORV_OPTION_SETTER(TcxGridTableOptionsBehavior, Boolean, ExpandMasterRowOnDblClick, vcProperty)

// ---- Filtering ----

void TcxGridTableFiltering::DefineProperties(TFiler* filer) {
  inherited::DefineProperties(filer);
  filer->DefineProperty("ColumnPopupDropDownWidth",
                        TReaderProc(this, &TcxGridTableFiltering::ReadColumnPopupDropDownWidth), TWriterProc(), false);
  filer->DefineProperty("ColumnPopupMaxDropDownItemCount",
                        TReaderProc(this, &TcxGridTableFiltering::ReadColumnPopupMaxDropDownItemCount), TWriterProc(),
                        false);
}

void TcxGridTableFiltering::ReadColumnPopupDropDownWidth(TReader* reader) {
  GetColumnPopup()->SetDropDownWidth(reader->ReadInteger());
}

void TcxGridTableFiltering::ReadColumnPopupMaxDropDownItemCount(TReader* reader) {
  GetColumnPopup()->SetMaxDropDownItemCount(reader->ReadInteger());
}

// ---- Customize ----

void TcxGridTableOptionsCustomize::Assign(TPersistent* source) {
  if (auto* options = dynamic_cast<TcxGridTableOptionsCustomize*>(source)) {
    SetColumnHidingOnGrouping(options->GetColumnHidingOnGrouping());
    SetColumnHorzSizing(options->GetColumnHorzSizing());
    SetDataRowSizing(options->GetDataRowSizing());
    SetGroupBySorting(options->GetGroupBySorting());
    SetGroupRowSizing(options->GetGroupRowSizing());
  }
  inherited::Assign(source);
}

ORV_OPTION_SETTER(TcxGridTableOptionsCustomize, Boolean, ColumnHidingOnGrouping, vcProperty)
ORV_OPTION_SETTER(TcxGridTableOptionsCustomize, Boolean, ColumnHorzSizing, vcLayout)
ORV_OPTION_SETTER(TcxGridTableOptionsCustomize, Boolean, DataRowSizing, vcProperty)
ORV_OPTION_SETTER(TcxGridTableOptionsCustomize, Boolean, GroupRowSizing, vcProperty)

void TcxGridTableOptionsCustomize::SetGroupBySorting(Boolean value) {
  if (FGroupBySorting == value) return;
  auto* view = TableViewOf(GetGridView());
  if (!view) {
    FGroupBySorting = value;
    return;
  }
  view->BeginUpdate();
  try {
    // The grouped columns come back and the grouping goes, then the sorting that grouping needs.
    for (Integer i = view->GetGroupedColumnCount() - 1; i >= 0; --i) {
      TcxGridColumn* column = view->GetGroupedColumn(i);
      column->SetVisible(true);
      column->SetGroupIndex(-1);
    }
    FGroupBySorting = value;
    view->GetDataController()->ClearSorting(false);
    Changed(vcProperty);
  } catch (...) {
    view->EndUpdate();
    throw;
  }
  view->EndUpdate();
}

// ---- Selection ----

void TcxGridTableOptionsSelection::Assign(TPersistent* source) {
  if (auto* options = dynamic_cast<TcxGridTableOptionsSelection*>(source)) SetCellMultiSelect(options->GetCellMultiSelect());
  inherited::Assign(source);
}

void TcxGridTableOptionsSelection::SetCellMultiSelect(Boolean value) {
  if (FCellMultiSelect == value) return;
  FCellMultiSelect = value;
  inherited::SetCellSelect(true);
  inherited::SetInvertSelect(!value);
  inherited::SetMultiSelect(value);
  Changed(vcProperty);
}

void TcxGridTableOptionsSelection::SetCellSelect(Boolean value) {
  if (FCellMultiSelect && !value) return;
  inherited::SetCellSelect(value);
}

void TcxGridTableOptionsSelection::SetInvertSelect(Boolean value) {
  if (FCellMultiSelect && value) return;
  inherited::SetInvertSelect(value);
}

void TcxGridTableOptionsSelection::SetMultiSelect(Boolean value) {
  if (FCellMultiSelect && !value) return;
  inherited::SetMultiSelect(value);
}

// ---- Special rows ----

TcxGridSpecialRowOptions::TcxGridSpecialRowOptions(TcxCustomGridView* gridView) : TcxCustomGridOptions(gridView) {}

TcxGridTableView* TcxGridSpecialRowOptions::GetGridTableView() const { return TableViewOf(inherited::GetGridView()); }

void TcxGridSpecialRowOptions::Assign(TPersistent* source) {
  if (auto* options = dynamic_cast<TcxGridSpecialRowOptions*>(source)) {
    SetInfoText(options->GetInfoText());
    SetSeparatorColor(options->GetSeparatorColor());
    SetSeparatorWidth(options->GetSeparatorWidth());
    SetVisible(options->GetVisible());
  }
  inherited::Assign(source);
}

AnsiString TcxGridSpecialRowOptions::GetInfoText() const { return FIsInfoTextAssigned ? FInfoText : DefaultInfoText(); }

void TcxGridSpecialRowOptions::SetInfoText(const AnsiString& value) {
  if (value == GetInfoText()) return;
  FInfoText = value;
  FIsInfoTextAssigned = value != DefaultInfoText();
  Changed(vcLayout);
}

ORV_OPTION_SETTER(TcxGridSpecialRowOptions, TColor, SeparatorColor, vcLayout)

void TcxGridSpecialRowOptions::SetSeparatorWidth(Integer value) {
  value = std::max<Integer>(value, 2);
  if (FSeparatorWidth == value) return;
  FSeparatorWidth = value;
  Changed(vcSize);
}

void TcxGridSpecialRowOptions::SetVisible(Boolean value) {
  if (FVisible == value) return;
  FVisible = value;
  VisibleChanged();
}

TColor TcxGridSpecialRowOptions::GetSeparatorColorInEffect() const {
  if (FSeparatorColor != clDefault) return FSeparatorColor;
  TcxCustomLookAndFeelPainterClass painter = LookAndFeelPainter();
  return painter ? painter->DefaultHeaderColor() : clBtnFace;
}

TcxGridFilterRowOptions::TcxGridFilterRowOptions(TcxCustomGridView* gridView) : TcxGridSpecialRowOptions(gridView) {}

AnsiString TcxGridFilterRowOptions::DefaultInfoText() const { return GetLocalizedResourceString(&scxGridFilterRowInfoText); }

void TcxGridFilterRowOptions::Assign(TPersistent* source) {
  inherited::Assign(source);
  if (auto* options = dynamic_cast<TcxGridFilterRowOptions*>(source)) SetApplyChanges(options->GetApplyChanges());
}

ORV_OPTION_SETTER(TcxGridFilterRowOptions, TcxGridFilterRowApplyChangesMode, ApplyChanges, vcProperty)

void TcxGridFilterRowOptions::VisibleChanged() {
  if (TcxGridTableView* view = GetGridTableView()) {
    // The laid-out pinned rows show the record about to go.
    TcxGridRowsViewInfo::ClearSpecialRowsOf(view);
    if (view->GetViewData()) view->GetViewData()->CheckFilterRow();
  }
  Changed(vcSize);
}

TcxGridNewItemRowOptions::TcxGridNewItemRowOptions(TcxCustomGridView* gridView) : TcxGridSpecialRowOptions(gridView) {}

AnsiString TcxGridNewItemRowOptions::DefaultInfoText() const {
  return GetLocalizedResourceString(&scxGridNewItemRowInfoText);
}

void TcxGridNewItemRowOptions::VisibleChanged() {
  TcxGridTableView* view = GetGridTableView();
  if (view && view->GetDataController()) {
    TcxGridRowsViewInfo::ClearSpecialRowsOf(view);
    view->GetDataController()->SetUseNewItemRowForEditing(GetVisible());
    if (view->GetViewData()) view->GetViewData()->SyncNewItemRecord();
  }
  Changed(vcSize);
}

// ---- View ----

namespace {

// A colour written as its identifier or as a number.
TColor ReadColor(TReader* reader) {
  if (reader->NextValue() == vaIdent) {
    const AnsiString ident = reader->ReadIdent();
    Integer color = 0;
    if (!IdentToColor(ident, color)) throw EReadError("Invalid property value " + ident);
    return TColor(color);
  }
  return TColor(reader->ReadInteger());
}

}  // namespace

TcxGridTableOptionsView::TcxGridTableOptionsView(TcxCustomGridView* gridView) : TcxCustomGridTableOptionsView(gridView) {}

TcxGridTableView* TcxGridTableOptionsView::GetGridTableView() const { return TableViewOf(inherited::GetGridView()); }

void TcxGridTableOptionsView::Assign(TPersistent* source) {
  if (auto* options = dynamic_cast<TcxGridTableOptionsView*>(source)) {
    SetColumnAutoWidth(options->GetColumnAutoWidth());
    SetDataRowHeight(options->GetDataRowHeight());
    SetExpandButtonsForEmptyDetails(options->GetExpandButtonsForEmptyDetails());
    SetFooter(options->GetFooter());
    SetFooterAutoHeight(options->GetFooterAutoHeight());
    SetFooterMultiSummaries(options->GetFooterMultiSummaries());
    SetGridLineColor(options->GetGridLineColor());
    SetGridLines(options->GetGridLines());
    SetGroupByBox(options->GetGroupByBox());
    SetGroupFooterMultiSummaries(options->GetGroupFooterMultiSummaries());
    SetGroupFooters(options->GetGroupFooters());
    SetGroupRowHeight(options->GetGroupRowHeight());
    SetGroupRowStyle(options->GetGroupRowStyle());
    SetGroupSummaryLayout(options->GetGroupSummaryLayout());
    SetHeader(options->GetHeader());
    SetHeaderHeight(options->GetHeaderHeight());
    SetIndicator(options->GetIndicator());
    SetIndicatorWidth(options->GetIndicatorWidth());
    FPrevGroupFooters = options->GetPrevGroupFooters();
    SetRowSeparatorColor(options->GetRowSeparatorColor());
    SetRowSeparatorWidth(options->GetRowSeparatorWidth());
  }
  inherited::Assign(source);
}

ORV_OPTION_SETTER(TcxGridTableOptionsView, Boolean, ColumnAutoWidth, vcSize)
ORV_OPTION_SETTER(TcxGridTableOptionsView, Boolean, ExpandButtonsForEmptyDetails, vcLayout)
ORV_OPTION_SETTER(TcxGridTableOptionsView, Boolean, Footer, vcSize)
ORV_OPTION_SETTER(TcxGridTableOptionsView, Boolean, FooterAutoHeight, vcSize)
ORV_OPTION_SETTER(TcxGridTableOptionsView, Boolean, FooterMultiSummaries, vcSize)
ORV_OPTION_SETTER(TcxGridTableOptionsView, TColor, GridLineColor, vcLayout)
ORV_OPTION_SETTER(TcxGridTableOptionsView, TcxGridLines, GridLines, vcSize)
ORV_OPTION_SETTER(TcxGridTableOptionsView, Boolean, GroupByBox, vcSize)
ORV_OPTION_SETTER(TcxGridTableOptionsView, Boolean, GroupFooterMultiSummaries, vcSize)
ORV_OPTION_SETTER(TcxGridTableOptionsView, TcxGridGroupRowStyle, GroupRowStyle, vcSize)
ORV_OPTION_SETTER(TcxGridTableOptionsView, TcxGridGroupSummaryLayout, GroupSummaryLayout, vcSize)
ORV_OPTION_SETTER(TcxGridTableOptionsView, Boolean, Header, vcSize)
ORV_OPTION_SETTER(TcxGridTableOptionsView, Boolean, Indicator, vcSize)
ORV_OPTION_SETTER(TcxGridTableOptionsView, TColor, RowSeparatorColor, vcLayout)

Boolean TcxGridTableOptionsView::GetExpandButtonsForEmptyDetails() const {
  TcxGridLevel* level = LevelOf(inherited::GetGridView());
  if (level && !level->GetOptions()->GetTabsForEmptyDetails()) return false;
  return FExpandButtonsForEmptyDetails;
}

void TcxGridTableOptionsView::SetGroupFooters(TcxGridGroupFootersMode value) {
  if (FGroupFooters == value) return;
  FPrevGroupFooters = FGroupFooters;
  FGroupFooters = value;
  Changed(vcSize);
}

Integer TcxGridTableOptionsView::CheckRowHeight(Integer value, Boolean group) const {
  value = std::max<Integer>(value, 0);
  if (value == 0) return 0;
  TcxGridTableView* view = GetGridTableView();
  const Integer minimum = view ? view->GetMinRowHeight(group) : 0;
  return std::max(value, minimum);
}

void TcxGridTableOptionsView::SetDataRowHeight(Integer value) {
  value = CheckRowHeight(value, false);
  if (FDataRowHeight == value) return;
  FDataRowHeight = value;
  Changed(vcSize);
}

void TcxGridTableOptionsView::SetGroupRowHeight(Integer value) {
  value = CheckRowHeight(value, true);
  if (FGroupRowHeight == value) return;
  FGroupRowHeight = value;
  Changed(vcSize);
}

#define ORV_CLAMPED_OPTION_SETTER(Class, Name, Kind) \
  void Class::Set##Name(Integer value) {             \
    value = std::max<Integer>(value, 0);             \
    if (F##Name == value) return;                    \
    F##Name = value;                                 \
    Changed(Kind);                                   \
  }
ORV_CLAMPED_OPTION_SETTER(TcxGridTableOptionsView, HeaderHeight, vcSize)
ORV_CLAMPED_OPTION_SETTER(TcxGridTableOptionsView, IndicatorWidth, vcSize)
ORV_CLAMPED_OPTION_SETTER(TcxGridTableOptionsView, RowSeparatorWidth, vcSize)

TColor TcxGridTableOptionsView::GetGridLineColorInEffect() const {
  if (FGridLineColor != clDefault) return FGridLineColor;
  TcxCustomLookAndFeelPainterClass painter = LookAndFeelPainter();
  return painter ? painter->DefaultGridLineColor() : clBtnShadow;
}

TColor TcxGridTableOptionsView::GetRowSeparatorColorInEffect() const {
  if (FRowSeparatorColor != clDefault) return FRowSeparatorColor;
  TcxCustomLookAndFeelPainterClass painter = LookAndFeelPainter();
  return painter ? painter->DefaultRowSeparatorColor() : clBtnShadow;
}

Boolean TcxGridTableOptionsView::GetFooterMultiSummariesInEffect() const {
  TcxGridTableView* view = GetGridTableView();
  return FFooterMultiSummaries && view && view->CanShowMultiSummaries(false);
}

Boolean TcxGridTableOptionsView::GetGroupFooterMultiSummariesInEffect() const {
  TcxGridTableView* view = GetGridTableView();
  return FGroupFooterMultiSummaries && view && view->CanShowMultiSummaries(true);
}

TcxGridGroupSummaryLayout TcxGridTableOptionsView::GetGroupSummaryLayoutInEffect() const {
  TcxGridTableView* view = GetGridTableView();
  return view && view->CanAlignGroupSummariesWithColumns() ? FGroupSummaryLayout : gslStandard;
}

void TcxGridTableOptionsView::DefineProperties(TFiler* filer) {
  inherited::DefineProperties(filer);
  filer->DefineProperty("NewItemRow", TReaderProc(this, &TcxGridTableOptionsView::ReadNewItemRow), TWriterProc(), false);
  filer->DefineProperty("NewItemRowInfoText", TReaderProc(this, &TcxGridTableOptionsView::ReadNewItemRowInfoText),
                        TWriterProc(), false);
  filer->DefineProperty("NewItemRowSeparatorColor",
                        TReaderProc(this, &TcxGridTableOptionsView::ReadNewItemRowSeparatorColor), TWriterProc(), false);
  filer->DefineProperty("NewItemRowSeparatorWidth",
                        TReaderProc(this, &TcxGridTableOptionsView::ReadNewItemRowSeparatorWidth), TWriterProc(), false);
}

void TcxGridTableOptionsView::ReadNewItemRow(TReader* reader) {
  const Boolean value = reader->ReadBoolean();
  if (TcxGridTableView* view = GetGridTableView()) view->GetNewItemRow()->SetVisible(value);
}

void TcxGridTableOptionsView::ReadNewItemRowInfoText(TReader* reader) {
  const AnsiString value = reader->ReadString();
  if (TcxGridTableView* view = GetGridTableView()) view->GetNewItemRow()->SetInfoText(value);
}

void TcxGridTableOptionsView::ReadNewItemRowSeparatorColor(TReader* reader) {
  const TColor value = ReadColor(reader);
  if (TcxGridTableView* view = GetGridTableView()) view->GetNewItemRow()->SetSeparatorColor(value);
}

void TcxGridTableOptionsView::ReadNewItemRowSeparatorWidth(TReader* reader) {
  const Integer value = reader->ReadInteger();
  if (TcxGridTableView* view = GetGridTableView()) view->GetNewItemRow()->SetSeparatorWidth(value);
}

// ---- Preview ----

TcxGridTableView* TcxGridPreview::GetGridTableView() const { return TableViewOf(inherited::GetGridView()); }

void TcxGridPreview::Assign(TPersistent* source) {
  if (auto* preview = dynamic_cast<TcxGridPreview*>(source)) {
    SetAutoHeight(preview->GetAutoHeight());
    TcxGridTableView* view = GetGridTableView();
    if (view && !view->IsAssigningPattern()) {
      TcxGridColumn* column = preview->GetColumn();
      SetColumn(column ? dynamic_cast<TcxGridColumn*>(view->FindItemByID(column->GetID())) : nullptr);
    }
    SetLeftIndent(preview->GetLeftIndent());
    SetMaxLineCount(preview->GetMaxLineCount());
    SetPlace(preview->GetPlace());
    SetRightIndent(preview->GetRightIndent());
    SetVisible(preview->GetVisible());
  }
  inherited::Assign(source);
}

void TcxGridPreview::PropertyChanged() { Changed(FVisible ? vcSize : vcProperty); }

void TcxGridPreview::SetAutoHeight(Boolean value) {
  if (FAutoHeight == value) return;
  FAutoHeight = value;
  PropertyChanged();
}

void TcxGridPreview::SetColumn(TcxGridColumn* value) {
  TcxGridTableView* view = GetGridTableView();
  if (value && value->GetGridView() != view) value = nullptr;
  if (FColumn == value) return;
  TcxGridColumn* old = FColumn;
  if (!view) {
    FColumn = value;
    return;
  }
  view->BeginUpdate();
  try {
    FColumn = value;
    if (old) view->ItemVisibilityChanged(old, old->GetVisible());
    if (value) view->ItemVisibilityChanged(value, value->GetVisible());
    Changed(vcSize);
  } catch (...) {
    view->EndUpdate();
    throw;
  }
  view->EndUpdate();
}

void TcxGridPreview::ColumnRemoved(TcxGridColumn* column) {
  if (FColumn == column) FColumn = nullptr;
}

#define ORV_PREVIEW_SETTER(Name)                 \
  void TcxGridPreview::Set##Name(Integer value) { \
    value = std::max<Integer>(value, 0);          \
    if (F##Name == value) return;                 \
    F##Name = value;                              \
    PropertyChanged();                            \
  }
ORV_PREVIEW_SETTER(LeftIndent)
ORV_PREVIEW_SETTER(MaxLineCount)
ORV_PREVIEW_SETTER(RightIndent)
#undef ORV_PREVIEW_SETTER

void TcxGridPreview::SetPlace(TcxGridPreviewPlace value) {
  if (FPlace == value) return;
  FPlace = value;
  PropertyChanged();
}

void TcxGridPreview::SetVisible(Boolean value) {
  if (FVisible == value) return;
  FVisible = value;
  Changed(vcSize);
}

// ---- Background bitmaps ----

void TcxGridTableBackgroundBitmaps::Assign(TPersistent* source) {
  if (auto* bitmaps = dynamic_cast<TcxGridTableBackgroundBitmaps*>(source))
    for (Integer i = bbFooter; i <= bbPreview; ++i) SetValue(i, bitmaps->GetValue(i));
  inherited::Assign(source);
}

Integer TcxGridTableBackgroundBitmaps::GetBitmapStyleIndex(Integer index) {
  switch (index) {
    case bbFooter: return vsFooter;
    case bbHeader: return vsHeader;
    case bbGroup: return vsGroup;
    case bbGroupByBox: return vsGroupByBox;
    case bbIndicator: return vsIndicator;
    case bbPreview: return vsPreview;
    default: return inherited::GetBitmapStyleIndex(index);
  }
}

// ==== Styles ====================================================================================

TcxGridTableView* TcxGridTableViewStyles::GetGridTableView() const { return TableViewOf(inherited::GetGridView()); }

void TcxGridTableViewStyles::Assign(TPersistent* source) {
  inherited::Assign(source);
  if (auto* styles = dynamic_cast<TcxGridTableViewStyles*>(source)) {
    for (Integer i = vsFilterRowInfoText; i <= vsHeader; ++i) SetStyleValue(i, styles->GetStyleValue(i));
    SetStyleValue(vsIndicator, styles->GetStyleValue(vsIndicator));
    SetStyleValue(vsNewItemRowInfoText, styles->GetStyleValue(vsNewItemRowInfoText));
    SetStyleValue(vsPreview, styles->GetStyleValue(vsPreview));
    SetOnGetFooterStyle(styles->GetOnGetFooterStyle());
    SetOnGetFooterStyleEx(styles->GetOnGetFooterStyleEx());
    SetOnGetFooterSummaryStyle(styles->GetOnGetFooterSummaryStyle());
    SetOnGetGroupStyle(styles->GetOnGetGroupStyle());
    SetOnGetGroupSummaryStyle(styles->GetOnGetGroupSummaryStyle());
    SetOnGetHeaderStyle(styles->GetOnGetHeaderStyle());
    SetOnGetPreviewStyle(styles->GetOnGetPreviewStyle());
  }
}

#define ORV_VIEW_STYLES_EVENT(Type, Name)                                   \
  void TcxGridTableViewStyles::SetOn##Name(const Type& value) {             \
    if (FOn##Name == value) return;                                         \
    FOn##Name = value;                                                      \
    if (TcxCustomGridView* view = inherited::GetGridView()) view->Changed(vcProperty); \
  }
ORV_VIEW_STYLES_EVENT(TcxGridGetCellStyleEvent, GetFooterStyle)
ORV_VIEW_STYLES_EVENT(TcxGridGetFooterStyleExEvent, GetFooterStyleEx)
ORV_VIEW_STYLES_EVENT(TcxGridGetFooterSummaryStyleEvent, GetFooterSummaryStyle)
ORV_VIEW_STYLES_EVENT(TcxGridGetGroupStyleEvent, GetGroupStyle)
ORV_VIEW_STYLES_EVENT(TcxGridGetGroupSummaryStyleEvent, GetGroupSummaryStyle)
ORV_VIEW_STYLES_EVENT(TcxGridGetHeaderStyleEvent, GetHeaderStyle)
ORV_VIEW_STYLES_EVENT(TcxGridGetCellStyleEvent, GetPreviewStyle)
#undef ORV_VIEW_STYLES_EVENT

void TcxGridTableViewStyles::GetFooterParams(TcxCustomGridRow* row, TcxGridColumn* column, Integer footerGroupLevel,
                                             TcxDataSummaryItem* summaryItem, TcxViewParams& params) {
  TcxStyle* style = nullptr;
  TcxGridTableView* view = GetGridTableView();
  if (FOnGetFooterStyle) FOnGetFooterStyle(view, row, column, style);
  if (FOnGetFooterStyleEx) FOnGetFooterStyleEx(view, row, column, footerGroupLevel, style);
  if (summaryItem && FOnGetFooterSummaryStyle)
    FOnGetFooterSummaryStyle(view, row, column, footerGroupLevel, summaryItem, style);
  ResolveStyleParams(vsFooter, nullptr, style, params);
  if (view) params.Bitmap = view->GetBackgroundBitmaps()->GetBitmap(bbFooter);
}

void TcxGridTableViewStyles::GetFooterCellParams(TcxCustomGridRow* row, TcxGridColumn* column,
                                                 Integer footerGroupLevel, TcxDataSummaryItem* summaryItem,
                                                 TcxViewParams& params) {
  if (footerGroupLevel != -1 && summaryItem && summaryItem->GetSorted()) {
    TcxGridRowFooterCellPos pos(row, column, footerGroupLevel, summaryItem);
    ResolveStyleParams(vsGroupFooterSortedSummary, &pos, nullptr, params);
  } else if (column) {
    column->GetStyles()->GetFooterParams(row, footerGroupLevel, summaryItem, params);
  } else {
    GetFooterParams(row, nullptr, footerGroupLevel, summaryItem, params);
  }
}

void TcxGridTableViewStyles::GetGroupParams(TcxCustomGridRecord* record, Integer level, TcxViewParams& params) {
  TcxStyle* style = nullptr;
  if (record && FOnGetGroupStyle) FOnGetGroupStyle(GetGridTableView(), record, level, style);
  ResolveStyleParams(vsGroup, record, style, params);
}

void TcxGridTableViewStyles::GetGroupSummaryCellContentParams(TcxGridGroupRow* row, TcxDataSummaryItem* summaryItem,
                                                              TcxViewParams& params) {
  TcxDataSummaryItem* sorted = nullptr;
  if (row && summaryItem)
    if (TcxDataGroupSummaryItems* items = row->GetDataController()->GetSummary()->GetGroupSummaryItems(row->GetLevel()))
      sorted = items->GetSortedItem();
  if (summaryItem && summaryItem == sorted && !FInSortedGroupSummaryLookup) {
    FInSortedGroupSummaryLookup = true;
    try {
      TcxGridGroupSummaryInfo info(row, summaryItem);
      ResolveStyleParams(vsGroupSortedSummary, &info, nullptr, params);
    } catch (...) {
      FInSortedGroupSummaryLookup = false;
      throw;
    }
    FInSortedGroupSummaryLookup = false;
    return;
  }
  auto* column = summaryItem ? dynamic_cast<TcxGridColumn*>(summaryItem->GetItemLink()) : nullptr;
  if (column)
    column->GetStyles()->GetGroupSummaryParams(row, summaryItem, params);
  else
    GetGroupSummaryParams(row, summaryItem, params);
}

void TcxGridTableViewStyles::GetGroupSummaryParams(TcxCustomGridRecord* record, TcxDataSummaryItem* summaryItem,
                                                   TcxViewParams& params) {
  TcxStyle* style = nullptr;
  if (record && FOnGetGroupSummaryStyle) {
    auto* column = summaryItem ? dynamic_cast<TcxGridColumn*>(summaryItem->GetItemLink()) : nullptr;
    FOnGetGroupSummaryStyle(GetGridTableView(), dynamic_cast<TcxGridGroupRow*>(record), column, summaryItem, style);
  }
  ResolveStyleParams(vsGroupSummary, record, style, params);
}

void TcxGridTableViewStyles::GetHeaderParams(TcxGridColumn* column, TcxViewParams& params) {
  TcxStyle* style = nullptr;
  if (FOnGetHeaderStyle) FOnGetHeaderStyle(GetGridTableView(), column, style);
  ResolveStyleParams(vsHeader, nullptr, style, params);
}

void TcxGridTableViewStyles::GetPreviewParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                                              TcxViewParams& params) {
  TcxStyle* style = nullptr;
  if (record && FOnGetPreviewStyle) FOnGetPreviewStyle(GetGridTableView(), record, item, style);
  ResolveStyleParams(vsPreview, record, style, params);
}

void TcxGridTableViewStyles::GetContentParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                                              TcxViewParams& params) {
  auto* column = dynamic_cast<TcxGridColumn*>(item);
  if (column && column->IsPreview())
    GetPreviewParams(record, item, params);
  else
    inherited::GetContentParams(record, item, params);
}

void TcxGridTableViewStyles::GetCellContentParams(TcxCustomGridRecord* record, TObject* item, TcxViewParams& params) {
  if (auto* summaryItem = dynamic_cast<TcxDataSummaryItem*>(item)) {
    GetGroupSummaryCellContentParams(dynamic_cast<TcxGridGroupRow*>(record), summaryItem, params);
  } else if (dynamic_cast<TcxDataSummaryItems*>(item)) {
    GetGroupSummaryCellContentParams(dynamic_cast<TcxGridGroupRow*>(record), nullptr, params);
  } else {
    inherited::GetCellContentParams(record, item, params);
  }
}

void TcxGridTableViewStyles::GetDefaultStyleParams(Integer index, TObject* data, TcxViewParams& params) {
  inherited::GetDefaultStyleParams(index, data, params);
  TcxCustomLookAndFeelPainterClass painter = LookAndFeelPainter();
  TcxGridTableView* view = GetGridTableView();
  switch (index) {
    case vsFilterRowInfoText:
    case vsNewItemRowInfoText:
      GetRecordContentParams(dynamic_cast<TcxCustomGridRecord*>(data), nullptr, params);
      params.TextColor = clGrayText;
      break;
    case vsFooter:
      params.Color = painter->DefaultFooterColor();
      params.TextColor = painter->DefaultFooterTextColor();
      break;
    case vsGroup: {
      auto* record = dynamic_cast<TcxCustomGridRecord*>(data);
      GetRecordContentParams(record, nullptr, params);
      if (!view || view->GetOptionsView()->GetGroupRowStyle() == grsStandard) {
        params.Color = painter->DefaultGroupColor();
        params.TextColor = painter->DefaultGroupTextColor();
      } else if (record) {
        params.Color = clWindow;
        params.TextColor = Office11Color54;
      } else {
        params.Color = Office11Color48;
      }
      break;
    }
    case vsGroupByBox:
      params.Color = painter->DefaultGroupByBoxColor();
      params.TextColor = painter->DefaultGroupByBoxTextColor();
      break;
    case vsGroupFooterSortedSummary:
      if (auto* pos = dynamic_cast<TcxGridRowFooterCellPos*>(data)) {
        if (pos->Column)
          pos->Column->GetStyles()->GetFooterParams(pos->Row, pos->FooterGroupLevel, pos->SummaryItem, params);
        else
          GetFooterParams(pos->Row, nullptr, pos->FooterGroupLevel, pos->SummaryItem, params);
      } else {
        GetFooterParams(nullptr, nullptr, -1, nullptr, params);
      }
      break;
    case vsGroupSortedSummary:
      if (auto* info = dynamic_cast<TcxGridGroupSummaryInfo*>(data))
        GetGroupSummaryCellContentParams(info->Row, info->SummaryItem, params);
      else
        GetGroupSummaryCellContentParams(nullptr, nullptr, params);
      break;
    case vsGroupSummary:
      GetGroupParams(dynamic_cast<TcxCustomGridRecord*>(data), -1, params);
      break;
    case vsHeader:
    case vsIndicator:
      params.Color = painter->DefaultHeaderColor();
      params.TextColor = painter->DefaultHeaderTextColor();
      break;
    case vsPreview:
      inherited::GetContentParams(dynamic_cast<TcxCustomGridRecord*>(data),
                                  view && view->GetPreview() ? view->GetPreview()->GetColumn() : nullptr, params);
      params.TextColor = painter->DefaultPreviewTextColor();
      break;
    default:
      break;
  }
}

// ==== Style sheet ===============================================================================

TcxGridTableViewStyleSheet::TcxGridTableViewStyleSheet(TComponent* owner) : TcxCustomStyleSheet(owner) {}

TcxGridTableViewStyles* TcxGridTableViewStyleSheet::GetStylesValue() const {
  return static_cast<TcxGridTableViewStyles*>(inherited::GetStylesValue());
}

void TcxGridTableViewStyleSheet::SetStylesValue(TcxGridTableViewStyles* value) { inherited::SetStylesValue(value); }

// ==== The view ==================================================================================

TcxGridTableView::TcxGridTableView(TComponent* owner) : TcxCustomGridTableView(owner) {}

TcxGridDataController* TcxGridTableView::GetDataController() const {
  return static_cast<TcxGridDataController*>(inherited::GetDataController());
}

void TcxGridTableView::SetDataController(TcxGridDataController* value) { inherited::GetDataController()->Assign(value); }

TcxGridViewData* TcxGridTableView::GetViewData() const { return static_cast<TcxGridViewData*>(inherited::GetViewData()); }

#define ORV_VIEW_OPTIONS(Type, Name, BaseGetter)                                               \
  Type* TcxGridTableView::Get##Name() const { return static_cast<Type*>(inherited::BaseGetter()); } \
  void TcxGridTableView::Set##Name(Type* value) { inherited::BaseGetter()->Assign(value); }
ORV_VIEW_OPTIONS(TcxGridTableOptionsBehavior, OptionsBehavior, GetOptionsBehavior)
ORV_VIEW_OPTIONS(TcxGridTableOptionsCustomize, OptionsCustomize, GetOptionsCustomize)
ORV_VIEW_OPTIONS(TcxGridTableOptionsData, OptionsData, GetOptionsData)
ORV_VIEW_OPTIONS(TcxGridTableOptionsSelection, OptionsSelection, GetOptionsSelection)
ORV_VIEW_OPTIONS(TcxGridTableOptionsView, OptionsView, GetOptionsView)
ORV_VIEW_OPTIONS(TcxGridTableViewStyles, Styles, GetStyles)
ORV_VIEW_OPTIONS(TcxGridTableBackgroundBitmaps, BackgroundBitmaps, GetBackgroundBitmaps)
ORV_VIEW_OPTIONS(TcxGridTableDateTimeHandling, DateTimeHandling, GetDateTimeHandling)
ORV_VIEW_OPTIONS(TcxGridTableFiltering, Filtering, GetFiltering)
#undef ORV_VIEW_OPTIONS

TcxGridColumn* TcxGridTableView::GetColumn(Integer index) const { return static_cast<TcxGridColumn*>(GetItem(index)); }

TcxGridColumn* TcxGridTableView::GetVisibleColumn(Integer index) const {
  return static_cast<TcxGridColumn*>(GetVisibleItem(index));
}

TcxGridColumn* TcxGridTableView::GetGroupedColumn(Integer index) {
  return static_cast<TcxGridColumn*>(GetGroupedItem(index));
}

TcxGridColumn* TcxGridTableView::CreateColumn() { return static_cast<TcxGridColumn*>(CreateItem()); }

Boolean TcxGridTableView::IsMaster() {
  TcxGridLevel* level = LevelOf(this);
  return level && level->GetCount() > 0;
}

Boolean TcxGridTableView::IsCellMergingActive() {
  for (Integer i = 0; i < GetVisibleColumnCount(); ++i)
    if (GetVisibleColumn(i)->CanCellMerging()) return true;
  return false;
}

Boolean TcxGridTableView::CanCellMerging() {
  return FAllowCellMerging && !(FPreview && FPreview->GetActive()) && GetOptionsView()->GetRowSeparatorWidth() == 0;
}

Boolean TcxGridTableView::CanOffsetHorz() {
  auto* grid = dynamic_cast<TcxCustomGrid*>(GetControl());
  if (grid && grid->IsUpdateLocked()) return false;
  return !(IsMaster() && GetGroupedColumnCount() > 0);
}

Boolean TcxGridTableView::ExpandButtonsDependOnDetailData() {
  return !GetOptionsView()->GetExpandButtonsForEmptyDetails();
}

void TcxGridTableView::DoColumnHeaderClick(TcxGridColumn* column) {
  if (FOnColumnHeaderClick) FOnColumnHeaderClick(this, column);
}

void TcxGridTableView::DoColumnPosChanged(TcxGridColumn* column) {
  if (FOnColumnPosChanged) FOnColumnPosChanged(this, column);
}

void TcxGridTableView::DoColumnSizeChanged(TcxGridColumn* column) {
  if (FOnColumnSizeChanged) FOnColumnSizeChanged(this, column);
}

void TcxGridTableView::DoCustomDrawColumnHeader(TcxCanvas* canvas, TcxGridColumnHeaderViewInfo* viewInfo,
                                                Boolean& done) {
  if (FOnCustomDrawColumnHeader) FOnCustomDrawColumnHeader(this, canvas, viewInfo, done);
}

void TcxGridTableView::DoCustomDrawFooterCell(TcxCanvas* canvas, TcxGridColumnHeaderViewInfo* viewInfo,
                                              Boolean& done) {
  if (FOnCustomDrawFooterCell) FOnCustomDrawFooterCell(this, canvas, viewInfo, done);
}

void TcxGridTableView::DoCustomDrawGroupCell(TcxCanvas* canvas, TcxGridTableCellViewInfo* viewInfo, Boolean& done) {
  if (FOnCustomDrawGroupCell) FOnCustomDrawGroupCell(this, canvas, viewInfo, done);
}

void TcxGridTableView::DoCustomDrawGroupSummaryCell(TcxCanvas* canvas, TcxCustomGridViewCellViewInfo* viewInfo,
                                                    Boolean& done) {
  // The layout's group summary cells call the event with their row, column and summary item.
  if (FOnCustomDrawGroupSummaryCell) FOnCustomDrawGroupSummaryCell(this, canvas, nullptr, nullptr, nullptr, viewInfo, done);
}

void TcxGridTableView::DoCustomDrawIndicatorCell(TcxCanvas* canvas, TcxCustomGridIndicatorItemViewInfo* viewInfo,
                                                 Boolean& done) {
  if (FOnCustomDrawIndicatorCell) FOnCustomDrawIndicatorCell(this, canvas, viewInfo, done);
}

void TcxGridTableView::DoLeftPosChanged() { FireNotifyEvent(this, FOnLeftPosChanged); }

void TcxGridTableView::CreateOptions() {
  inherited::CreateOptions();
  FFilterRow = GetFilterRowOptionsClass().Create(this);
  FNewItemRow = GetNewItemRowOptionsClass().Create(this);
  FPreview = GetPreviewClass().Create(this);
}

void TcxGridTableView::DestroyOptions() {
  FreeAndNil(FPreview);
  FreeAndNil(FNewItemRow);
  FreeAndNil(FFilterRow);
  inherited::DestroyOptions();
}

void TcxGridTableView::DoAssign(TcxCustomGridView* source) {
  auto* view = dynamic_cast<TcxGridTableView*>(source);
  if (view) {
    SetOnColumnHeaderClick(view->GetOnColumnHeaderClick());
    SetOnColumnPosChanged(view->GetOnColumnPosChanged());
    SetOnColumnSizeChanged(view->GetOnColumnSizeChanged());
    SetOnCustomDrawColumnHeader(view->GetOnCustomDrawColumnHeader());
    SetOnCustomDrawFooterCell(view->GetOnCustomDrawFooterCell());
    SetOnCustomDrawGroupCell(view->GetOnCustomDrawGroupCell());
    SetOnCustomDrawGroupSummaryCell(view->GetOnCustomDrawGroupSummaryCell());
    SetOnCustomDrawIndicatorCell(view->GetOnCustomDrawIndicatorCell());
    SetOnLeftPosChanged(view->GetOnLeftPosChanged());
  }
  inherited::DoAssign(source);
  if (view) {
    FFilterRow->Assign(view->GetFilterRow());
    FNewItemRow->Assign(view->GetNewItemRow());
    FPreview->Assign(view->GetPreview());
  }
}

Boolean TcxGridTableView::GetStoredProperties(TStrings* properties) {
  properties->Add("Footer");
  properties->Add("GroupByBox");
  properties->Add("GroupFooters");
  properties->Add("NewItemRow");
  return inherited::GetStoredProperties(properties);
}

void TcxGridTableView::GetStoredPropertyValue(const AnsiString& name, Variant& value) {
  if (name == "Footer")
    value = bool(GetOptionsView()->GetFooter());
  else if (name == "GroupByBox")
    value = bool(GetOptionsView()->GetGroupByBox());
  else if (name == "GroupFooters")
    value = Integer(GetOptionsView()->GetGroupFooters());
  else if (name == "NewItemRow")
    value = bool(FNewItemRow->GetVisible());
  else
    inherited::GetStoredPropertyValue(name, value);
}

void TcxGridTableView::SetStoredPropertyValue(const AnsiString& name, const Variant& value) {
  if (name == "Footer") {
    GetOptionsView()->SetFooter(value.AsBoolean());
  } else if (name == "GroupByBox") {
    GetOptionsView()->SetGroupByBox(value.AsBoolean());
  } else if (name == "GroupFooters") {
    // Older layouts stored a Boolean as text.
    if (VarIsStr(value))
      GetOptionsView()->SetGroupFooters(value.AsBoolean() ? gfVisibleWhenExpanded : gfInvisible);
    else
      GetOptionsView()->SetGroupFooters(TcxGridGroupFootersMode(std::clamp<Integer>(value.AsInteger(), 0, 2)));
  } else if (name == "NewItemRow") {
    FNewItemRow->SetVisible(value.AsBoolean());
  } else {
    inherited::SetStoredPropertyValue(name, value);
  }
}

void TcxGridTableView::AssignLayout(TcxCustomGridView* layoutView) {
  inherited::AssignLayout(layoutView);
  auto* view = dynamic_cast<TcxGridTableView*>(layoutView);
  if (!view) return;
  TcxGridTableOptionsView* options = GetOptionsView();
  TcxGridTableOptionsView* pattern = view->GetOptionsView();
  options->SetDataRowHeight(pattern->GetDataRowHeight());
  options->SetFooter(pattern->GetFooter());
  options->SetGroupByBox(pattern->GetGroupByBox());
  options->SetGroupFooters(pattern->GetGroupFooters());
  options->SetGroupRowHeight(pattern->GetGroupRowHeight());
}

void TcxGridTableView::PrepareLayoutView(TcxCustomGridView* layoutView) {
  inherited::PrepareLayoutView(layoutView);
  if (auto* view = dynamic_cast<TcxGridTableView*>(layoutView)) view->SetAllowCellMerging(false);
}

AnsiString TcxGridTableView::GetLayoutCustomizationCaption() { return "Columns customization"; }

Boolean TcxGridTableView::SizeDependsOnWidth() {
  return GetOptionsView()->GetColumnAutoWidth() || (FPreview && FPreview->GetActive()) || IsMaster();
}

void TcxGridTableView::DetailDataChanged(TcxCustomGridView* detail) {
  inherited::DetailDataChanged(detail);
  if (ExpandButtonsDependOnDetailData()) SizeChanged();
}

void TcxGridTableView::GetItemsForCopy(std::vector<TcxCustomGridTableItem*>& list, Boolean copyAll) {
  list.clear();
  const Boolean allColumns = copyAll || !GetOptionsSelection()->GetCellMultiSelect();
  for (Integer i = 0; i < GetVisibleColumnCount(); ++i) {
    TcxGridColumn* column = GetVisibleColumn(i);
    if (allColumns || column->GetSelected()) list.push_back(column);
  }
  if (GetOptionsBehavior()->GetCopyPreviewToClipboard() && FPreview->GetActive()) list.push_back(FPreview->GetColumn());
}

Boolean TcxGridTableView::IsRecordCellDrawnSelected(TcxCustomGridRecord* record, TcxCustomGridTableItem* item) {
  auto* row = dynamic_cast<TcxCustomGridRow*>(record);
  if (!GetOptionsSelection()->GetCellMultiSelect() || !row || !row->TakesPartInCellSelection())
    return inherited::IsRecordCellDrawnSelected(record, item);
  auto* column = dynamic_cast<TcxGridColumn*>(item);
  if (!column || !column->GetSelected()) return false;
  // The focused cell is drawn as focused, not as selected.
  return !(record->GetFocused() && column->GetFocused());
}

Boolean TcxGridTableView::RecordHeightsFixed() {
  TcxGridTableOptionsView* options = GetOptionsView();
  const Boolean verticalLinesOnly = options->GetGridLines() == glVertical && options->GetRowSeparatorWidth() == 0;
  return inherited::RecordHeightsFixed() && !verticalLinesOnly && !FPreview->GetActive() &&
         GetGroupedColumnCount() == 0 && !IsMaster();
}

Boolean TcxGridTableView::RecordHeightsVary() {
  return inherited::RecordHeightsVary() || (FPreview->GetActive() && FPreview->GetAutoHeight());
}

void TcxGridTableView::ItemVisibilityChanged(TcxCustomGridTableItem* item, Boolean value) {
  inherited::ItemVisibilityChanged(item, value);
}

void TcxGridTableView::RemoveItem(TcxCustomGridTableItem* item) {
  if (FPreview) FPreview->ColumnRemoved(dynamic_cast<TcxGridColumn*>(item));
  // The pinned filter and new-item rows have cells of the item too; they go with the other rows.
  TcxGridRowsViewInfo::ClearSpecialRowsOf(this);
  inherited::RemoveItem(item);
}

TcxCustomGridControllerClass TcxGridTableView::GetControllerClass() { return TcxGridTableController::StaticClass(); }

TcxCustomDataControllerClass TcxGridTableView::GetDataControllerClass() {
  return TcxGridDataController::StaticClass();
}

TcxCustomGridBackgroundBitmapsClass TcxGridTableView::GetBackgroundBitmapsClass() {
  return TcxGridTableBackgroundBitmaps::StaticClass();
}

TcxCustomGridTableDateTimeHandlingClass TcxGridTableView::GetDateTimeHandlingClass() {
  return TcxGridTableDateTimeHandling::StaticClass();
}

TcxCustomGridTableFilteringClass TcxGridTableView::GetFilteringClass() { return TcxGridTableFiltering::StaticClass(); }

TcxCustomGridOptionsBehaviorClass TcxGridTableView::GetOptionsBehaviorClass() {
  return TcxGridTableOptionsBehavior::StaticClass();
}

TcxCustomGridTableOptionsCustomizeClass TcxGridTableView::GetOptionsCustomizeClass() {
  return TcxGridTableOptionsCustomize::StaticClass();
}

TcxCustomGridOptionsDataClass TcxGridTableView::GetOptionsDataClass() { return TcxGridTableOptionsData::StaticClass(); }

TcxCustomGridOptionsSelectionClass TcxGridTableView::GetOptionsSelectionClass() {
  return TcxGridTableOptionsSelection::StaticClass();
}

TcxCustomGridOptionsViewClass TcxGridTableView::GetOptionsViewClass() { return TcxGridTableOptionsView::StaticClass(); }

TcxCustomGridViewStylesClass TcxGridTableView::GetStylesClass() { return TcxGridTableViewStyles::StaticClass(); }

// ---- Layout classes ----
//
// The table view's layout: its view info and painter, and the data rows'
// view info and cache item.

TcxCustomGridPainterClass TcxGridTableView::GetPainterClass() { return TcxGridTablePainter::StaticClass(); }

TcxCustomGridViewInfoClass TcxGridTableView::GetViewInfoClass() { return TcxGridTableViewInfo::StaticClass(); }

Integer TcxGridTableView::GetMinRowHeight(Boolean group) {
  auto* viewInfo = dynamic_cast<TcxGridTableViewInfo*>(GetViewInfo());
  TcxGridRowsViewInfo* rows = viewInfo ? viewInfo->RowsViewInfo() : nullptr;
  if (!rows) return 0;
  return group ? rows->CalculateGroupRowHeight(true) : rows->CalculateDataRowHeight();
}

Boolean TcxGridTableView::CanShowMultiSummaries(Boolean groupFooter) {
  auto* viewInfo = dynamic_cast<TcxGridTableViewInfo*>(GetViewInfo());
  return viewInfo && viewInfo->SupportsMultiSummaries();
}

Boolean TcxGridTableView::CanAlignGroupSummariesWithColumns() {
  auto* viewInfo = dynamic_cast<TcxGridTableViewInfo*>(GetViewInfo());
  return viewInfo && viewInfo->SupportsGroupSummaryLayout();
}

orv::ClassOf<TcxCustomGridRecordViewInfo> TcxGridDataRow::GetViewInfoClass() {
  return TcxGridDataRowViewInfo::StaticClass();
}

TcxCustomGridViewInfoCacheItemClass TcxGridDataRow::GetViewInfoCacheItemClass() {
  return TcxGridTableViewInfoCacheItem::StaticClass();
}

// TcxGridMasterDataRow's and TcxGridGroupRow's view info classes live with their view infos.

TcxCustomGridViewInfoCacheItemClass TcxGridGroupRow::GetViewInfoCacheItemClass() {
  return inherited::GetViewInfoCacheItemClass();
}

// ==== Registration and published properties =====================================================

namespace {

const orv::EnumNames<TcxGridLines> kGridLinesNames("TcxGridLines", {"glBoth", "glNone", "glVertical", "glHorizontal"});
const orv::EnumNames<TcxGridGroupFootersMode> kGroupFootersModeNames(
    "TcxGridGroupFootersMode", {"gfInvisible", "gfVisibleWhenExpanded", "gfAlwaysVisible"});
const orv::EnumNames<TcxGridGroupRowStyle> kGroupRowStyleNames("TcxGridGroupRowStyle", {"grsStandard", "grsOffice11"});
const orv::EnumNames<TcxGridGroupSummaryLayout> kGroupSummaryLayoutNames(
    "TcxGridGroupSummaryLayout", {"gslStandard", "gslAlignWithColumns", "gslAlignWithColumnsAndDistribute"});
const orv::EnumNames<TcxGridPreviewPlace> kPreviewPlaceNames("TcxGridPreviewPlace", {"ppBottom", "ppTop"});
const orv::EnumNames<TcxGridFilterRowApplyChangesMode> kFilterRowApplyChangesNames(
    "TcxGridFilterRowApplyChangesMode", {"fracOnCellExit", "fracImmediately"});
const orv::EnumNames<TcxAlignmentVert> kAlignmentVertNames("TcxAlignmentVert", {"vaTop", "vaBottom", "vaCenter"});

// The view kind joins the grid's registry once, for as long as the program runs.
struct TTableViewRegistration {
  TTableViewRegistration() { cxGridRegisteredViews()->AddClass(TcxGridTableView::StaticClass(), "Table"); }
};
const TTableViewRegistration kTableViewRegistration;

}  // namespace

ORV_PUBLISH(TcxGridColumnOptions) {
  using T = TcxGridColumnOptions;
  p.Property("CellMerging", &T::GetCellMerging, &T::SetCellMerging).Default(false);
  p.Property("GroupFooters", &T::GetGroupFooters, &T::SetGroupFooters).Default(true);
  p.Property("Grouping", &T::GetGrouping, &T::SetGrouping).Default(true);
  p.Property("HorzSizing", &T::GetHorzSizing, &T::SetHorzSizing).Default(true);
  p.Property("Moving", &T::GetMoving, &T::SetMoving).Default(true);
  p.Property("ShowCaption", &T::GetShowCaption, &T::SetShowCaption).Default(true);
  p.Property("SortByDisplayText", &T::GetSortByDisplayText, &T::SetSortByDisplayText).Default(isbtDefault);
  p.Property("Sorting", &T::GetSorting, &T::SetSorting).Default(true);
}

ORV_PUBLISH(TcxGridColumnStyles) {
  using T = TcxGridColumnStyles;
  p.Property("Footer", &T::GetFooter, &T::SetFooter);
  p.Property("GroupSummary", &T::GetGroupSummary, &T::SetGroupSummary);
  p.Property("Header", &T::GetHeader, &T::SetHeader);
  p.Property("OnGetFooterStyle", &T::GetOnGetFooterStyle, &T::SetOnGetFooterStyle);
  p.Property("OnGetFooterStyleEx", &T::GetOnGetFooterStyleEx, &T::SetOnGetFooterStyleEx);
  p.Property("OnGetFooterSummaryStyle", &T::GetOnGetFooterSummaryStyle, &T::SetOnGetFooterSummaryStyle);
  p.Property("OnGetGroupSummaryStyle", &T::GetOnGetGroupSummaryStyle, &T::SetOnGetGroupSummaryStyle);
  p.Property("OnGetHeaderStyle", &T::GetOnGetHeaderStyle, &T::SetOnGetHeaderStyle);
}

// The summary items themselves are stored with the data controller.
ORV_PUBLISH(TcxGridColumnSummary) {
  using T = TcxGridColumnSummary;
  auto never = [](T*) { return false; };
  p.Property("FooterKind", &T::GetFooterKind, &T::SetFooterKind).Stored(never);
  p.Property("FooterFormat", &T::GetFooterFormat, &T::SetFooterFormat).Stored(never);
  p.Property("GroupFooterKind", &T::GetGroupFooterKind, &T::SetGroupFooterKind).Stored(never);
  p.Property("GroupFooterFormat", &T::GetGroupFooterFormat, &T::SetGroupFooterFormat).Stored(never);
  p.Property("GroupKind", &T::GetGroupKind, &T::SetGroupKind).Stored(never);
  p.Property("GroupFormat", &T::GetGroupFormat, &T::SetGroupFormat).Stored(never);
  p.Property("SortByGroupFooterSummary", &T::GetSortByGroupFooterSummary, &T::SetSortByGroupFooterSummary).Stored(never);
  p.Property("SortByGroupSummary", &T::GetSortByGroupSummary, &T::SetSortByGroupSummary).Stored(never);
}

ORV_PUBLISH(TcxGridColumn) {
  using T = TcxGridColumn;
  p.Property("BestFitMaxWidth", &T::GetBestFitMaxWidth, &T::SetBestFitMaxWidth).Default(0);
  p.Property("DateTimeGrouping", &T::GetDateTimeGrouping, &T::SetDateTimeGrouping).Default(dtgDefault);
  p.Property("FooterAlignmentHorz", &T::GetFooterAlignmentHorz, &T::SetFooterAlignmentHorz)
      .Stored([](T* c) { return c->IsFooterAlignmentHorzStored(); });
  p.Property("GroupIndex", &T::GetGroupIndex, &T::SetGroupIndex).Default(-1);
  p.Property("GroupSummaryAlignment", &T::GetGroupSummaryAlignment, &T::SetGroupSummaryAlignment)
      .Stored([](T* c) { return c->IsGroupSummaryAlignmentStored(); });
  p.Property("HeaderAlignmentHorz", &T::GetHeaderAlignmentHorz, &T::SetHeaderAlignmentHorz)
      .Stored([](T* c) { return c->IsHeaderAlignmentHorzStored(); });
  p.Property("HeaderAlignmentVert", &T::GetHeaderAlignmentVert, &T::SetHeaderAlignmentVert)
      .Stored([](T* c) { return c->IsHeaderAlignmentVertStored(); });
  p.Property("HeaderGlyph", &T::GetHeaderGlyph, &T::SetHeaderGlyph);
  p.Property("HeaderGlyphAlignmentHorz", &T::GetHeaderGlyphAlignmentHorz, &T::SetHeaderGlyphAlignmentHorz)
      .Default(taLeftJustify);
  p.Property("HeaderGlyphAlignmentVert", &T::GetHeaderGlyphAlignmentVert, &T::SetHeaderGlyphAlignmentVert)
      .Default(vaCenter);
  p.Property("MinWidth", &T::GetMinWidth, &T::SetMinWidth).Default(20);
  p.Property("Options", &T::GetOptions, &T::SetOptions);
  p.Property("SortIndex", &T::GetSortIndex, &T::SetSortIndex).Default(-1);
  p.Property("SortOrder", &T::GetSortOrder, &T::SetSortOrder).Stored([](T* c) { return c->IsSortOrderStored(); });
  p.Property("Styles", &T::GetStyles, &T::SetStyles);
  p.Property("Summary", &T::GetSummary, &T::SetSummary);
  p.Property("VisibleForCustomization", &T::GetVisibleForCustomization, &T::SetVisibleForCustomization)
      .Stored([](T* c) { return c->ShouldStoreVisibleForCustomization(); });
  p.Property("Width", &T::GetWidth, &T::SetWidth).Stored([](T* c) { return c->IsWidthStored(); });
  p.Property("OnCompareRowValuesForCellMerging", &T::GetOnCompareRowValuesForCellMerging,
             &T::SetOnCompareRowValuesForCellMerging);
  p.Property("OnCompareValuesForCellMerging", &T::GetOnCompareValuesForCellMerging,
             &T::SetOnCompareValuesForCellMerging);
  p.Property("OnCustomDrawFooterCell", &T::GetOnCustomDrawFooterCell, &T::SetOnCustomDrawFooterCell);
  p.Property("OnCustomDrawGroupSummaryCell", &T::GetOnCustomDrawGroupSummaryCell, &T::SetOnCustomDrawGroupSummaryCell);
  p.Property("OnCustomDrawHeader", &T::GetOnCustomDrawHeader, &T::SetOnCustomDrawHeader);
  p.Property("OnHeaderClick", &T::GetOnHeaderClick, &T::SetOnHeaderClick);
  p.Property("OnInitGroupingDateRanges", &T::GetOnInitGroupingDateRanges, &T::SetOnInitGroupingDateRanges);
}

ORV_PUBLISH(TcxGridTableSummaryItem) {
  using T = TcxGridTableSummaryItem;
  p.Property("Column", &T::GetColumn, &T::SetColumn);
  p.Property("DisplayText", &T::GetDisplayText, &T::SetDisplayText);
  p.Property("VisibleForCustomization", &T::GetVisibleForCustomization, &T::SetVisibleForCustomization).Default(true);
}

ORV_PUBLISH(TcxGridTableSummaryGroupItemLink) {
  using T = TcxGridTableSummaryGroupItemLink;
  p.Property("Column", &T::GetColumn, &T::SetColumn);
}

ORV_PUBLISH(TcxGridTableOptionsBehavior) {
  using T = TcxGridTableOptionsBehavior;
  p.Property("ColumnHeaderHints", &T::GetColumnHeaderHints, &T::SetColumnHeaderHints).Default(true);
  p.Property("CopyPreviewToClipboard", &T::GetCopyPreviewToClipboard, &T::SetCopyPreviewToClipboard).Default(true);
  p.Property("ExpandMasterRowOnDblClick", &T::GetExpandMasterRowOnDblClick, &T::SetExpandMasterRowOnDblClick)
      .Default(true);
}

ORV_PUBLISH(TcxGridTableFiltering) {
  using T = TcxGridTableFiltering;
  p.Property("ColumnFilteredItemsList", &T::GetColumnFilteredItemsList, &T::SetColumnFilteredItemsList).Default(false);
  p.Property("ColumnMRUItemsList", &T::GetColumnMRUItemsList, &T::SetColumnMRUItemsList).Default(true);
  p.Property("ColumnMRUItemsListCount", &T::GetColumnMRUItemsListCount, &T::SetColumnMRUItemsListCount).Default(5);
  p.Property("ColumnPopup", &T::GetColumnPopup, &T::SetColumnPopup);
}

ORV_PUBLISH(TcxGridTableOptionsCustomize) {
  using T = TcxGridTableOptionsCustomize;
  p.Property("ColumnFiltering", &T::GetColumnFiltering, &T::SetColumnFiltering).Default(true);
  p.Property("ColumnGrouping", &T::GetColumnGrouping, &T::SetColumnGrouping).Default(true);
  p.Property("ColumnHiding", &T::GetColumnHiding, &T::SetColumnHiding).Default(false);
  p.Property("ColumnHidingOnGrouping", &T::GetColumnHidingOnGrouping, &T::SetColumnHidingOnGrouping).Default(true);
  p.Property("ColumnHorzSizing", &T::GetColumnHorzSizing, &T::SetColumnHorzSizing).Default(true);
  p.Property("ColumnMoving", &T::GetColumnMoving, &T::SetColumnMoving).Default(true);
  p.Property("ColumnSorting", &T::GetColumnSorting, &T::SetColumnSorting).Default(true);
  p.Property("ColumnsQuickCustomization", &T::GetColumnsQuickCustomization, &T::SetColumnsQuickCustomization)
      .Default(false);
  p.Property("ColumnsQuickCustomizationMaxDropDownCount", &T::GetColumnsQuickCustomizationMaxDropDownCount,
             &T::SetColumnsQuickCustomizationMaxDropDownCount)
      .Default(0);
  p.Property("ColumnsQuickCustomizationReordering", &T::GetColumnsQuickCustomizationReordering,
             &T::SetColumnsQuickCustomizationReordering)
      .Default(qcrDefault);
  p.Property("DataRowSizing", &T::GetDataRowSizing, &T::SetDataRowSizing).Default(false);
  p.Property("GroupBySorting", &T::GetGroupBySorting, &T::SetGroupBySorting).Default(false);
  p.Property("GroupRowSizing", &T::GetGroupRowSizing, &T::SetGroupRowSizing).Default(false);
}

ORV_PUBLISH(TcxGridTableOptionsData) {}

ORV_PUBLISH(TcxGridTableOptionsSelection) {
  using T = TcxGridTableOptionsSelection;
  p.Property("CellMultiSelect", &T::GetCellMultiSelect, &T::SetCellMultiSelect).Default(false);
  p.Property("CellSelect", &T::GetCellSelect, &T::SetCellSelect).Stored([](T* o) { return o->IsCellSelectStored(); });
}

ORV_PUBLISH(TcxGridSpecialRowOptions) {
  using T = TcxGridSpecialRowOptions;
  p.Property("InfoText", &T::GetInfoText, &T::SetInfoText).Stored([](T* o) { return o->IsInfoTextStored(); });
  p.Property("SeparatorColor", &T::GetSeparatorColor, &T::SetSeparatorColor).Kind("TColor").Default(clDefault);
  p.Property("SeparatorWidth", &T::GetSeparatorWidth, &T::SetSeparatorWidth).Default(6);
  p.Property("Visible", &T::GetVisible, &T::SetVisible).Default(false);
}

ORV_PUBLISH(TcxGridFilterRowOptions) {
  using T = TcxGridFilterRowOptions;
  p.Property("ApplyChanges", &T::GetApplyChanges, &T::SetApplyChanges).Default(fracOnCellExit);
}

ORV_PUBLISH(TcxGridNewItemRowOptions) {}

ORV_PUBLISH(TcxGridTableOptionsView) {
  using T = TcxGridTableOptionsView;
  p.Property("CellAutoHeight", &T::GetCellAutoHeight, &T::SetCellAutoHeight).Default(false);
  p.Property("CellTextMaxLineCount", &T::GetCellTextMaxLineCount, &T::SetCellTextMaxLineCount).Default(0);
  p.Property("ColumnAutoWidth", &T::GetColumnAutoWidth, &T::SetColumnAutoWidth).Default(false);
  p.Property("DataRowHeight", &T::GetDataRowHeight, &T::SetDataRowHeight).Default(0);
  p.Property("ExpandButtonsForEmptyDetails", &T::GetExpandButtonsForEmptyDetails, &T::SetExpandButtonsForEmptyDetails)
      .Default(true);
  p.Property("Footer", &T::GetFooter, &T::SetFooter).Default(false);
  p.Property("FooterAutoHeight", &T::GetFooterAutoHeight, &T::SetFooterAutoHeight).Default(false);
  p.Property("FooterMultiSummaries", &T::GetFooterMultiSummaries, &T::SetFooterMultiSummaries).Default(false);
  p.Property("GridLineColor", &T::GetGridLineColor, &T::SetGridLineColor).Kind("TColor").Default(clDefault);
  p.Property("GridLines", &T::GetGridLines, &T::SetGridLines).Default(glBoth);
  p.Property("GroupByBox", &T::GetGroupByBox, &T::SetGroupByBox).Default(true);
  p.Property("GroupFooterMultiSummaries", &T::GetGroupFooterMultiSummaries, &T::SetGroupFooterMultiSummaries)
      .Default(false);
  p.Property("GroupFooters", &T::GetGroupFooters, &T::SetGroupFooters).Default(gfInvisible);
  p.Property("GroupRowHeight", &T::GetGroupRowHeight, &T::SetGroupRowHeight).Default(0);
  p.Property("GroupRowStyle", &T::GetGroupRowStyle, &T::SetGroupRowStyle).Default(grsStandard);
  p.Property("GroupSummaryLayout", &T::GetGroupSummaryLayout, &T::SetGroupSummaryLayout).Default(gslStandard);
  p.Property("Header", &T::GetHeader, &T::SetHeader).Default(true);
  p.Property("HeaderAutoHeight", &T::GetHeaderAutoHeight, &T::SetHeaderAutoHeight).Default(false);
  p.Property("HeaderEndEllipsis", &T::GetHeaderEndEllipsis, &T::SetHeaderEndEllipsis).Default(false);
  p.Property("HeaderHeight", &T::GetHeaderHeight, &T::SetHeaderHeight).Default(0);
  p.Property("Indicator", &T::GetIndicator, &T::SetIndicator).Default(false);
  p.Property("IndicatorWidth", &T::GetIndicatorWidth, &T::SetIndicatorWidth).Default(12);
  p.Property("RowSeparatorColor", &T::GetRowSeparatorColor, &T::SetRowSeparatorColor).Kind("TColor").Default(clDefault);
  p.Property("RowSeparatorWidth", &T::GetRowSeparatorWidth, &T::SetRowSeparatorWidth).Default(0);
  p.Property("ShowColumnFilterButtons", &T::GetShowColumnFilterButtons, &T::SetShowColumnFilterButtons)
      .Default(sfbWhenSelected);
}

ORV_PUBLISH(TcxGridPreview) {
  using T = TcxGridPreview;
  p.Property("AutoHeight", &T::GetAutoHeight, &T::SetAutoHeight).Default(true);
  p.Property("Column", &T::GetColumn, &T::SetColumn);
  p.Property("LeftIndent", &T::GetLeftIndent, &T::SetLeftIndent).Default(20);
  p.Property("MaxLineCount", &T::GetMaxLineCount, &T::SetMaxLineCount).Default(3);
  p.Property("Place", &T::GetPlace, &T::SetPlace).Default(ppBottom);
  p.Property("RightIndent", &T::GetRightIndent, &T::SetRightIndent).Default(5);
  p.Property("Visible", &T::GetVisible, &T::SetVisible).Default(false);
}

ORV_PUBLISH(TcxGridTableBackgroundBitmaps) {
  using T = TcxGridTableBackgroundBitmaps;
  p.Property("Footer", &T::GetFooter, &T::SetFooter);
  p.Property("Header", &T::GetHeader, &T::SetHeader);
  p.Property("Group", &T::GetGroup, &T::SetGroup);
  p.Property("GroupByBox", &T::GetGroupByBox, &T::SetGroupByBox);
  p.Property("Indicator", &T::GetIndicator, &T::SetIndicator);
  p.Property("Preview", &T::GetPreview, &T::SetPreview);
}

ORV_PUBLISH(TcxGridTableDateTimeHandling) {}

ORV_PUBLISH(TcxGridTableViewStyles) {
  using T = TcxGridTableViewStyles;
  p.Property("FilterRowInfoText", &T::GetFilterRowInfoText, &T::SetFilterRowInfoText);
  p.Property("Footer", &T::GetFooter, &T::SetFooter);
  p.Property("Group", &T::GetGroup, &T::SetGroup);
  p.Property("GroupByBox", &T::GetGroupByBox, &T::SetGroupByBox);
  p.Property("GroupFooterSortedSummary", &T::GetGroupFooterSortedSummary, &T::SetGroupFooterSortedSummary);
  p.Property("GroupSortedSummary", &T::GetGroupSortedSummary, &T::SetGroupSortedSummary);
  p.Property("GroupSummary", &T::GetGroupSummary, &T::SetGroupSummary);
  p.Property("Header", &T::GetHeader, &T::SetHeader);
  p.Property("Indicator", &T::GetIndicator, &T::SetIndicator);
  p.Property("NewItemRowInfoText", &T::GetNewItemRowInfoText, &T::SetNewItemRowInfoText);
  p.Property("Preview", &T::GetPreview, &T::SetPreview);
  p.Property("StyleSheet", &T::GetStyleSheet, &T::SetStyleSheet);
  p.Property("OnGetFooterStyle", &T::GetOnGetFooterStyle, &T::SetOnGetFooterStyle);
  p.Property("OnGetFooterStyleEx", &T::GetOnGetFooterStyleEx, &T::SetOnGetFooterStyleEx);
  p.Property("OnGetFooterSummaryStyle", &T::GetOnGetFooterSummaryStyle, &T::SetOnGetFooterSummaryStyle);
  p.Property("OnGetGroupStyle", &T::GetOnGetGroupStyle, &T::SetOnGetGroupStyle);
  p.Property("OnGetGroupSummaryStyle", &T::GetOnGetGroupSummaryStyle, &T::SetOnGetGroupSummaryStyle);
  p.Property("OnGetHeaderStyle", &T::GetOnGetHeaderStyle, &T::SetOnGetHeaderStyle);
  p.Property("OnGetPreviewStyle", &T::GetOnGetPreviewStyle, &T::SetOnGetPreviewStyle);
}

ORV_PUBLISH(TcxGridTableViewStyleSheet) {
  using T = TcxGridTableViewStyleSheet;
  p.Property("Styles", &T::GetStylesValue, &T::SetStylesValue);
}

ORV_PUBLISH(TcxGridTableView) {
  using T = TcxGridTableView;
  p.Property("BackgroundBitmaps", &T::GetBackgroundBitmaps, &T::SetBackgroundBitmaps);
  p.Property("DataController", &T::GetDataController, &T::SetDataController);
  p.Property("DateTimeHandling", &T::GetDateTimeHandling, &T::SetDateTimeHandling);
  p.Property("Filtering", &T::GetFiltering, &T::SetFiltering);
  p.Property("FilterRow", &T::GetFilterRow, &T::SetFilterRow);
  p.Property("NewItemRow", &T::GetNewItemRow, &T::SetNewItemRow);
  p.Property("OptionsBehavior", &T::GetOptionsBehavior, &T::SetOptionsBehavior);
  p.Property("OptionsCustomize", &T::GetOptionsCustomize, &T::SetOptionsCustomize);
  p.Property("OptionsData", &T::GetOptionsData, &T::SetOptionsData);
  p.Property("OptionsSelection", &T::GetOptionsSelection, &T::SetOptionsSelection);
  p.Property("OptionsView", &T::GetOptionsView, &T::SetOptionsView);
  p.Property("Preview", &T::GetPreview, &T::SetPreview);
  p.Property("Styles", &T::GetStyles, &T::SetStyles);
  p.Property("OnColumnHeaderClick", &T::GetOnColumnHeaderClick, &T::SetOnColumnHeaderClick);
  p.Property("OnInitGroupingDateRanges", &T::GetOnInitGroupingDateRanges, &T::SetOnInitGroupingDateRanges);
  p.Property("OnColumnPosChanged", &T::GetOnColumnPosChanged, &T::SetOnColumnPosChanged);
  p.Property("OnColumnSizeChanged", &T::GetOnColumnSizeChanged, &T::SetOnColumnSizeChanged);
  p.Property("OnCustomDrawColumnHeader", &T::GetOnCustomDrawColumnHeader, &T::SetOnCustomDrawColumnHeader);
  p.Property("OnCustomDrawFooterCell", &T::GetOnCustomDrawFooterCell, &T::SetOnCustomDrawFooterCell);
  p.Property("OnCustomDrawGroupCell", &T::GetOnCustomDrawGroupCell, &T::SetOnCustomDrawGroupCell);
  p.Property("OnCustomDrawGroupSummaryCell", &T::GetOnCustomDrawGroupSummaryCell, &T::SetOnCustomDrawGroupSummaryCell);
  p.Property("OnCustomDrawIndicatorCell", &T::GetOnCustomDrawIndicatorCell, &T::SetOnCustomDrawIndicatorCell);
  p.Property("OnCustomization", &T::GetOnCustomization, &T::SetOnCustomization);
  p.Property("OnLeftPosChanged", &T::GetOnLeftPosChanged, &T::SetOnLeftPosChanged);
}
