#include "components/editors-more/cxLookupDBGrid.h"

#include <algorithm>

#include "components/editors-more/cxEditDBRegisteredRepositoryItems.h"
#include "components/foundation/cxGraphics.h"
#include "platform/dataset/DataSet.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Fields.h"
#include "platform/runtime/SysUtils.h"

namespace {

TcxCustomLookupDBGrid* DBGridOf(TcxLookupGridColumn* column) {
  return dynamic_cast<TcxCustomLookupDBGrid*>(column->GetGrid());
}

}  // namespace

// ==== Columns ==================================================================================

Boolean TcxLookupDBGridDefaultValuesProvider::HasDefaultDisplayFormat(Boolean formatsItself) {
  auto* column = dynamic_cast<TcxLookupGridColumn*>(GetOwner());
  TcxCustomLookupGrid* grid = column ? column->GetGrid() : nullptr;
  if (!grid || column->GetIndex() >= grid->GetDataController()->GetItemCount()) return false;
  return grid->GetDataController()->GetItemTextStored(column->GetIndex());
}

void TcxLookupDBGridColumn::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxLookupDBGridColumn*>(source)) SetFieldName(s->GetFieldName());
  inherited::Assign(source);
}

AnsiString TcxLookupDBGridColumn::GetFieldName() {
  TcxCustomLookupDBGrid* grid = DBGridOf(this);
  return grid ? grid->GetDBDataController()->GetItemFieldName(GetIndex()) : AnsiString();
}

void TcxLookupDBGridColumn::SetFieldName(const AnsiString& value) {
  if (TcxCustomLookupDBGrid* grid = DBGridOf(this)) grid->GetDBDataController()->ChangeItemFieldName(GetIndex(), value);
}

TField* TcxLookupDBGridColumn::GetField() {
  TcxCustomLookupDBGrid* grid = DBGridOf(this);
  return grid ? grid->GetDBDataController()->GetItemField(GetIndex()) : nullptr;
}

AnsiString TcxLookupDBGridColumn::GetDefaultCaption() {
  if (TField* field = GetField()) return field->GetDisplayName();
  return GetFieldName();
}

TcxEditRepositoryItem* TcxLookupDBGridColumn::GetDefaultRepositoryItem() {
  return FieldTypeEditorRegistry()->ItemForField(GetField());
}

Integer TcxLookupDBGridColumn::DefaultColumnWidth() {
  TField* field = GetField();
  TcxCustomLookupGrid* grid = GetGrid();
  if (!field || !grid) return 64;
  TcxCanvas* canvas = grid->GetCanvasOrScreenCanvas();
  canvas->SetFont(GetColumnFont());
  Integer width = canvas->TextWidthOf("0") * field->GetDisplayWidth() + 4;
  if (grid->GetOptions()->GetShowHeader()) {
    const TcxCustomLookAndFeelPainterClass lf = grid->GetGridPainter()->LFPainter;
    width = std::max(width, lf->HeaderCellTextWidth(canvas, cxBordersAll, GetCaption(), grid->GetFont()));
  }
  CheckWidth(width);
  return width;
}

TcxLookupDBGridColumn* TcxLookupDBGridColumns::GetColumnByFieldName(const AnsiString& fieldName) {
  for (Integer i = 0; i < GetCount(); ++i)
    if (SameText(GetColumn(i)->GetFieldName(), fieldName)) return GetColumn(i);
  return nullptr;
}

// ==== Options and data controller ==============================================================

void TcxLookupDBGridOptions::Assign(TPersistent* source) {
  GetGrid()->BeginUpdate();
  try {
    inherited::Assign(source);
    if (auto* s = dynamic_cast<TcxLookupDBGridOptions*>(source)) SetSyncMode(s->GetSyncMode());
  } catch (...) {
    GetGrid()->EndUpdate();
    throw;
  }
  GetGrid()->EndUpdate();
}

Boolean TcxLookupDBGridOptions::GetSyncMode() {
  return static_cast<TcxCustomLookupDBGrid*>(GetGrid())->GetDBDataController()->GetDataModeController()->GetSyncMode();
}

void TcxLookupDBGridOptions::SetSyncMode(Boolean value) {
  static_cast<TcxCustomLookupDBGrid*>(GetGrid())->GetDBDataController()->GetDataModeController()->SetSyncMode(value);
}

TcxLookupGridDBDataController::TcxLookupGridDBDataController(TComponent* owner) : TcxDBDataController(owner) {
  GetDataModeController()->SetSyncMode(false);
  GetDataModeController()->SetInsertTracking(false);
}

TObject* TcxLookupGridDBDataController::GetItem(Integer index) {
  auto* grid = dynamic_cast<TcxCustomLookupGrid*>(GetOwnerComponent());
  return grid ? grid->GetColumns()->GetColumn(index) : nullptr;
}

// ==== The grid =================================================================================

TcxLookupGridColumns* TcxCustomLookupDBGrid::CreateColumns() {
  return new TcxLookupDBGridColumns(this, GetColumnClass());
}

void TcxCustomLookupDBGrid::AddColumnsForFields(const AnsiString& fieldNames) {
  BeginUpdate();
  try {
    std::size_t start = 0;
    while (start <= fieldNames.size()) {
      std::size_t end = fieldNames.find(';', start);
      if (end == AnsiString::npos) end = fieldNames.size();
      const AnsiString name = Trim(fieldNames.substr(start, end - start));
      if (!name.empty()) static_cast<TcxLookupDBGridColumn*>(GetColumns()->Add())->SetFieldName(name);
      start = end + 1;
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxCustomLookupDBGrid::CreateColumnsForFields(const AnsiString& fieldNames) {
  BeginUpdate();
  try {
    GetColumns()->Clear();
    AddColumnsForFields(fieldNames);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxCustomLookupDBGrid::DataChanged() {
  for (Integer i = 0; i < GetColumns()->GetCount(); ++i) {
    auto* column = GetDBColumns()->GetColumn(i);
    if (auto* p = dynamic_cast<TcxCustomDBEditDefaultValuesProvider*>(column->GetDefaultValuesProvider()))
      p->SetField(column->GetField());
  }
  inherited::DataChanged();
}

Boolean TcxCustomLookupDBGrid::UsesDataSetScrolling() {
  TcxLookupGridDBDataController* dc = GetDBDataController();
  return dc->IsGridMode() && dc->IsDataSetSequenced();
}

void TcxCustomLookupDBGrid::InitScrollBarsParameters() {
  if (!UsesDataSetScrolling()) {
    inherited::InitScrollBarsParameters();
    return;
  }
  TcxLookupGridDBDataController* dc = GetDBDataController();
  const Integer visible = GetViewInfo()->VisibleRowCount;
  SetScrollBarParams(sbVertical, 0, dc->GetDataSetRecordCount() + visible - 2, 1, visible,
                     dc->GetDataSetRecNo() - 1, true, true);
}

void TcxCustomLookupDBGrid::Scroll(TScrollBarKind kind, TScrollCode code, Integer& position) {
  if (kind != sbVertical || !UsesDataSetScrolling()) {
    inherited::Scroll(kind, code, position);
    return;
  }
  TcxLookupGridDBDataController* dc = GetDBDataController();
  switch (code) {
    case scLineUp: MoveFocusedRow(false); break;
    case scLineDown: MoveFocusedRow(true); break;
    case scPageUp: {
      Word key = VK_PRIOR;
      KeyDown(key, {});
      break;
    }
    case scPageDown: {
      Word key = VK_NEXT;
      KeyDown(key, {});
      break;
    }
    case scPosition:
    case scTrack: dc->SetDataSetRecNo(position + 1); break;
    default: break;
  }
  position = dc->GetDataSetRecNo() - 1;
}
