#include "components/editors-more/cxDBLookupComboBox.h"

#include "components/editors/cxEditConsts.h"
#include "components/editors/cxFilterControlUtils.h"
#include "platform/dataset/DBConsts.h"
#include "platform/dataset/DataSet.h"
#include "platform/dataset/DataSource.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

namespace {

const bool kLookupComboBoxRegistered = [] {
  GetEditPropertiesRegistry()->AddClass(TcxLookupComboBoxProperties::StaticClass(),
                                        GetLocalizedResourceString(&scxSEditRepositoryLookupComboBoxItem));
  FilterEditsController()->AddHelperClass(TcxLookupComboBoxProperties::StaticClass(),
                                          TcxFilterLookupComboBoxHelper::StaticClass());
  return true;
}();

}  // namespace

// ==== Properties ===============================================================================

TcxLookupComboBoxProperties::TcxLookupComboBoxProperties(TPersistent* owner) : TcxCustomDBLookupEditProperties(owner) {
  FGrid = GetLookupGridClass().Create(static_cast<TComponent*>(nullptr));
  FGrid->SetPopupMode(true);
  FGrid->GetOptions()->SetOnChanged(TNotifyEvent(this, &TcxLookupComboBoxProperties::ListOptionsChanged));
  AddDataChangedHandler();
}

void TcxLookupComboBoxProperties::BeforeDestruction() {
  RemoveDataChangedHandler();
  inherited::BeforeDestruction();
}

TcxLookupComboBoxProperties::~TcxLookupComboBoxProperties() { FGrid->Free(); }

void TcxLookupComboBoxProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxLookupComboBoxProperties*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    SetGridMode(s->GetGridMode());
    SetListOptions(s->GetListOptions());
    if (!HasLookupFieldDefinition()) {
      SetListSource(s->GetListSource());
      SetListColumns(s->GetListColumns());
    }
    FOnSortingChanged = s->FOnSortingChanged;
    inherited::Assign(source);
    if (HasLookupFieldDefinition()) SetListColumns(s->GetListColumns());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TcxCustomEditClass TcxLookupComboBoxProperties::GetEditClass() { return TcxLookupComboBox::StaticClass(); }

void TcxLookupComboBoxProperties::SetListColumns(TcxLookupDBGridColumns* value) {
  FGrid->BeginUpdate();
  try {
    FGrid->GetColumns()->Clear();
    for (Integer i = 0; i < value->GetCount(); ++i) {
      auto* column = static_cast<TcxLookupDBGridColumn*>(FGrid->GetColumns()->Add());
      column->Assign(value->GetColumn(i));
    }
    AddLookupResultColumn();
  } catch (...) {
    FGrid->EndUpdate();
    throw;
  }
  FGrid->EndUpdate();
  SetListFieldIndexValue(inherited::GetListFieldIndexValue());
  Changed();
}

AnsiString TcxLookupComboBoxProperties::GetListFieldNames() {
  AnsiString result;
  for (Integer i = 0; i < FGrid->GetColumns()->GetCount(); ++i) {
    if (i > 0) result += ";";
    result += FGrid->GetDBColumns()->GetColumn(i)->GetFieldName();
  }
  return result;
}

void TcxLookupComboBoxProperties::SetListFieldNames(const AnsiString& value) {
  const AnsiString old = GetListFieldNames();
  BeginListUpdate();
  try {
    CreateListColumns(value);
    AddLookupResultColumn();
  } catch (...) {
    EndListUpdate();
    throw;
  }
  EndListUpdate();
  // Keeps the stored index within the new columns.
  const Integer index = inherited::GetListFieldIndexValue();
  if (!HasLookupFieldDefinition()) TcxCustomLookupEditProperties::SetListFieldIndexValue(index);
  if (GetListFieldNames() != old) Changed();
}

TDataSource* TcxLookupComboBoxProperties::GetListSource() {
  return HasLookupFieldDefinition() ? nullptr : FGrid->GetDataSource();
}

void TcxLookupComboBoxProperties::SetListSource(TDataSource* value) {
  if (HasLookupFieldDefinition() && !IsSynchronizing()) DatabaseError(orv::db::SPropDefByLookup);
  CheckCircularLink(value);
  FGrid->SetDataSource(value);
  Changed();
}

Integer TcxLookupComboBoxProperties::GetListWidth() {
  Integer width = 0;
  for (Integer i = 0; i < FGrid->GetColumns()->GetCount(); ++i) width += FGrid->GetColumns()->GetColumn(i)->GetWidth();
  return width;
}

void TcxLookupComboBoxProperties::HookListEvents(const TNotifyEvent& confirm, const TNotifyEvent& focusedRow,
                                                 const orv::Event<void(TObject* sender, Boolean accept)>& closeUp) {
  FGrid->SetOnConfirm(confirm);
  FGrid->SetOnFocusedRowChanged(focusedRow);
  FGrid->SetOnCloseUp(closeUp);
}

void TcxLookupComboBoxProperties::ApplyListAppearance(TcxLookAndFeel* lookAndFeel, TColor color, TFont* font) {
  if (lookAndFeel) FGrid->GetLookAndFeel()->SetMaster(lookAndFeel);
  FGrid->SetColor(color);
  if (font) FGrid->GetFont()->Assign(font);
}

void TcxLookupComboBoxProperties::ListShowing() {
  TPoint p;
  GetCursorPos(&p);
  TcxCustomLookupGrid::SetLastCursorPos(p);
}

void TcxLookupComboBoxProperties::ListHiding() { FGrid->SetMouseCapture(false); }

void TcxLookupComboBoxProperties::AddListColumn(const AnsiString& fieldName) {
  if (IndexOfListFieldName(fieldName) != -1) return;
  auto* column = static_cast<TcxLookupDBGridColumn*>(FGrid->GetColumns()->Add());
  column->SetFieldName(fieldName);
  column->SetIndex(0);
}

TField* TcxLookupComboBoxProperties::GetListColumnField(Integer index) {
  if (index < 0 || index >= FGrid->GetColumns()->GetCount()) return nullptr;
  return FGrid->GetDBColumns()->GetColumn(index)->GetField();
}

AnsiString TcxLookupComboBoxProperties::GetListColumnFieldName(Integer index) {
  if (index < 0 || index >= FGrid->GetColumns()->GetCount()) return {};
  return FGrid->GetDBColumns()->GetColumn(index)->GetFieldName();
}

Integer TcxLookupComboBoxProperties::IndexOfListFieldName(const AnsiString& name) {
  for (Integer i = 0; i < FGrid->GetColumns()->GetCount(); ++i)
    if (SameText(FGrid->GetDBColumns()->GetColumn(i)->GetFieldName(), name)) return i;
  return -1;
}

TcxCustomEditPropertiesClass TcxCustomLookupComboBox::GetPropertiesClass() {
  return TcxLookupComboBoxProperties::StaticClass();
}

// ==== Filter helper ============================================================================

TcxCustomEditClass TcxFilterLookupComboBoxHelper::GetFilterEditorClass() const {
  return TcxLookupComboBox::StaticClass();
}

void TcxFilterLookupComboBoxHelper::GetEditValueAndText(TcxCustomEdit* edit, TcxCustomEditProperties* properties,
                                                        AnsiString& text, Variant& value) const {
  value = edit->GetEditValueProperty();
  auto* lookup = dynamic_cast<TcxCustomLookupEdit*>(edit);
  text = lookup && lookup->LookupEditData() ? lookup->LookupEditData()->GetKeyDisplayText(value) : VarToStr(value);
}

void TcxFilterLookupComboBoxHelper::GetSupportedOperators(TcxCustomEditProperties* properties,
                                                          TcxValueTypeClass valueTypeClass,
                                                          TcxFilterControlOperators& operators, Boolean extended) const {
  operators = TcxFilterControlOperators{1, 2, 9, 10};
}

void TcxFilterLookupComboBoxHelper::InitFilterProperties(TcxCustomEditProperties* properties,
                                                         TcxCustomEditProperties* sourceProperties,
                                                         Boolean keepButtons) const {
  inherited::InitFilterProperties(properties, sourceProperties, keepButtons);
  auto* p = static_cast<TcxLookupComboBoxProperties*>(properties);
  p->SetDropDownAutoSize(true);
  p->SetDropDownListStyle(lsFixedList);
  p->SetDropDownSizeable(true);
  p->SetIncrementalFiltering(true);
}

Boolean TcxFilterLookupComboBoxHelper::KeepsDefaultValuesProvider(TcxCustomEditProperties* sourceProperties) const {
  auto* p = dynamic_cast<TcxCustomDBLookupEditProperties*>(sourceProperties);
  return p && p->HasLookupFieldDefinition();
}
