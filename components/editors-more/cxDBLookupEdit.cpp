#include "components/editors-more/cxDBLookupEdit.h"

#include <algorithm>

#include "components/data/cxDBData.h"
#include "components/data/cxDataStorage.h"
#include "components/data/cxVariants.h"
#include "components/editors-more/cxDBEdit.h"
#include "components/foundation/cxClasses.h"
#include "platform/dataset/DBConsts.h"
#include "platform/dataset/DataSet.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Fields.h"
#include "platform/runtime/SysUtils.h"

namespace {

Integer KeyFieldNameCount(const AnsiString& names) {
  if (Trim(names).empty()) return 0;
  return Integer(std::count(names.begin(), names.end(), ';')) + 1;
}

// A variant of one Null per key field.
Variant NullKeyArray(Integer count) {
  Variant v = VarArrayCreate(0, count - 1, varVariant);
  for (Integer i = 0; i < count; ++i) v.PutElement(i, Null());
  return v;
}

// Whether the key fits the key fields: every field exists, the value count matches, and a Null
// part only for a field that is not auto-incrementing.
Boolean IsKeyValidForFields(TDataSet* dataSet, const AnsiString& names, const Variant& key) {
  std::vector<AnsiString> fields;
  std::size_t start = 0;
  while (start <= names.size()) {
    std::size_t end = names.find(';', start);
    if (end == AnsiString::npos) end = names.size();
    fields.push_back(Trim(names.substr(start, end - start)));
    start = end + 1;
  }
  const Boolean isArray = VarIsArray(key);
  if ((fields.size() > 1) != isArray) return false;
  if (isArray && VarArrayHighBound(key, 1) - VarArrayLowBound(key, 1) + 1 != Integer(fields.size())) return false;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    TField* f = dataSet->FindField(fields[i]);
    if (!f) return false;
    const Variant part = isArray ? key.GetElement(VarArrayLowBound(key, 1) + Integer(i)) : key;
    if (VarIsNull(part) && f->GetDataType() == ftAutoInc) return false;
  }
  return true;
}

}  // namespace

// ==== Properties ===============================================================================

void TcxCustomDBLookupEditProperties::BeforeDestruction() {
  FLookupField = nullptr;
  inherited::BeforeDestruction();
}

TcxCustomDBLookupEditProperties::~TcxCustomDBLookupEditProperties() {
  if (FLookupSourceFreeNotifier) FLookupSourceFreeNotifier->Free();
  if (FCachedLookupSource) FCachedLookupSource->Free();
  if (FLookupList) FLookupList->Free();
}

void TcxCustomDBLookupEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomDBLookupEditProperties*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    inherited::Assign(source);
    FCaseSensitiveSearch = s->FCaseSensitiveSearch;
    if (!HasLookupFieldDefinition()) SetKeyFieldNames(s->GetKeyFieldNames());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxCustomDBLookupEditProperties::SetGridMode(Boolean value) {
  if (GetGridMode() == value) return;
  if (value)
    FLookupList = new TcxLookupList;
  else
    FreeAndNil(FLookupList);
  Changed();
}

AnsiString TcxCustomDBLookupEditProperties::GetKeyFieldNames() {
  TcxDBDataController* dc = GetDBDataController();
  return dc ? dc->GetKeyFieldNames() : AnsiString();
}

void TcxCustomDBLookupEditProperties::SetKeyFieldNames(const AnsiString& value) {
  if (HasLookupFieldDefinition() && !FSynchronizing) DatabaseError(orv::db::SPropDefByLookup);
  TcxDBDataController* dc = GetDBDataController();
  if (!dc || dc->GetKeyFieldNames() == value) return;
  dc->SetKeyFieldNames(value);
  Changed();
}

Boolean TcxCustomDBLookupEditProperties::KeyIsListField() {
  const AnsiString names = GetKeyFieldNames();
  if (KeyFieldNameCount(names) != 1) return false;
  TcxDBDataController* dc = GetDBDataController();
  TDataSet* dataSet = dc ? dc->GetDataSet() : nullptr;
  if (!dataSet) return false;
  TField* field = dataSet->FindField(Trim(names));
  return field && field == GetListField() &&
         (GetDropDownListStyle() == lsEditList || dynamic_cast<TStringField*>(field) != nullptr);
}

TcxCustomEditClass TcxCustomDBLookupEditProperties::GetEditClass() { return TcxCustomDBLookupEdit::StaticClass(); }

TClass TcxCustomDBLookupEditProperties::GetLookupDataClass() {
  return TcxCustomDBLookupEditLookupData::StaticClass();
}

Integer TcxCustomDBLookupEditProperties::GetValueExchangeMode(Boolean focused) {
  if (GetBoundLookupField()) return focused ? 2 : 1;
  return inherited::GetValueExchangeMode(focused);
}

Boolean TcxCustomDBLookupEditProperties::IsLookupFieldBound() { return GetBoundLookupField() != nullptr; }

Boolean TcxCustomDBLookupEditProperties::EditsKeyAsText() {
  return GetDropDownListStyle() == lsEditList && KeyIsListField();
}

void TcxCustomDBLookupEditProperties::EditValueToDisplayValue(const Variant& value, Variant& displayValue,
                                                              Boolean focused) {
  if (KeyIsListField() && GetDropDownListStyle() != lsEditList && !focused) {
    displayValue = Variant(VarToStr(value));
    return;
  }
  inherited::EditValueToDisplayValue(value, displayValue, focused);
}

void TcxCustomDBLookupEditProperties::ClearDefaultValuesProvider() {
  inherited::ClearDefaultValuesProvider();
  BeginUpdate();
  Changed();
  EndUpdate();
}

void TcxCustomDBLookupEditProperties::NotifyChanged() {
  if (FLookupList) FLookupList->Clear();
  if (TcxDBDataController* dc = GetDBDataController()) dc->GetDataModeController()->SetGridMode(GetGridMode());
  UpdateLookupField();
  AddLookupResultColumn();
  inherited::NotifyChanged();
}

TAlignment TcxCustomDBLookupEditProperties::GetDefaultHorzAlignment() {
  if (TField* f = GetListField()) return f->GetAlignment();
  return inherited::GetDefaultHorzAlignment();
}

Integer TcxCustomDBLookupEditProperties::GetDefaultMaxLength() {
  if (TField* f = GetListField()) return f->GetSize();
  return inherited::GetDefaultMaxLength();
}

Boolean TcxCustomDBLookupEditProperties::GetIncrementalFiltering() {
  return GetGridMode() ? false : inherited::GetIncrementalFiltering();
}

Integer TcxCustomDBLookupEditProperties::GetListFieldIndexValue() {
  if (TField* f = GetBoundLookupField()) return IndexOfListFieldName(f->GetLookupResultField());
  return inherited::GetListFieldIndexValue();
}

void TcxCustomDBLookupEditProperties::SetListFieldIndexValue(Integer index) {
  if (HasLookupFieldDefinition() && !FSynchronizing) DatabaseError(orv::db::SPropDefByLookup);
  inherited::SetListFieldIndexValue(index);
}

void TcxCustomDBLookupEditProperties::LockListDataChanged() {
  inherited::LockListDataChanged();
  TcxDBDataController* dc = GetDBDataController();
  if (dc && dc->IsGridMode()) {
    ++FGridModeLockCount;
    dc->LockGridModeNotify();
  }
}

void TcxCustomDBLookupEditProperties::UnlockListDataChanged() {
  if (FGridModeLockCount != 0) {
    if (TcxDBDataController* dc = GetDBDataController()) dc->UnlockGridModeNotify();
    --FGridModeLockCount;
  }
  inherited::UnlockListDataChanged();
}

Integer TcxCustomDBLookupEditProperties::FindRecordIndexByText(Integer listFieldIndex, const AnsiString& text,
                                                               Boolean partial) {
  if (!GetGridMode()) return inherited::FindRecordIndexByText(listFieldIndex, text, partial);
  TcxDBDataController* dc = GetDBDataController();
  if (!dc) return -1;
  Integer result = -1;
  LockListDataChanged();
  try {
    TDataSet* dataSet = dc->GetDataSet();
    if (dataSet && dataSet->GetActive() && listFieldIndex != -1) {
      TField* field = GetListColumnField(listFieldIndex);
      const Variant value = text.empty() && !dynamic_cast<TStringField*>(field) ? Null() : Variant(text);
      TLocateOptions options;
      if (partial) options.Include(loPartialKey);
      if (!FCaseSensitiveSearch) options.Include(loCaseInsensitive);
      if (dataSet->Locate(GetListColumnFieldName(listFieldIndex), value, options))
        result = dc->GetEffectiveFocusedRecordIndex();
    }
  } catch (const EDatabaseError&) {
    result = -1;
  } catch (const EVariantError&) {
    result = -1;
  } catch (...) {
    UnlockListDataChanged();
    throw;
  }
  UnlockListDataChanged();
  return result;
}

AnsiString TcxCustomDBLookupEditProperties::GetKeyDisplayText(const Variant& key) {
  const Integer i = GetEffectiveListFieldIndex();
  TcxDBDataController* dc = GetDBDataController();
  if (i == -1 || !dc) return {};
  if (GetGridMode()) {
    Integer index = 0;
    if (FLookupList->Find(key, index)) return FLookupList->EntryAt(index)->DisplayText;
    AnsiString text;
    LockListDataChanged();
    try {
      TDataSet* dataSet = dc->GetDataSet();
      TField* listField = GetListField();
      const AnsiString names = GetKeyFieldNames();
      if (dataSet && dataSet->GetActive() && listField && IsKeyValidForFields(dataSet, names, key) &&
          dataSet->Locate(names, key, TLocateOptions()))
        text = listField->GetDisplayText();
    } catch (const EDatabaseError&) {
    } catch (const EVariantError&) {
    } catch (...) {
      UnlockListDataChanged();
      throw;
    }
    UnlockListDataChanged();
    FLookupList->Insert(index, key, text);
    return text;
  }
  Integer record = -1;
  try {
    record = dc->GetRecordIndexByKey(key);
  } catch (const EVariantError&) {
    record = -1;
  }
  return record == -1 ? AnsiString() : dc->GetDisplayText(record, i);
}

Variant TcxCustomDBLookupEditProperties::GetEmptyKey() {
  const Integer n = KeyFieldNameCount(GetKeyFieldNames());
  return n > 1 ? NullKeyArray(n) : Null();
}

TField* TcxCustomDBLookupEditProperties::GetBoundField() {
  IcxEditDefaultValuesProvider* provider = GetDefaultValuesProvider();
  auto* db = provider ? dynamic_cast<TcxCustomDBEditDefaultValuesProvider*>(provider->GetProviderObject()) : nullptr;
  return db ? db->GetField() : nullptr;
}

TField* TcxCustomDBLookupEditProperties::GetBoundLookupField() {
  TField* field = GetBoundField();
  return field && field->GetFieldKind() == fkLookup && !field->GetComponentState().Contains(csDestroying) ? field
                                                                                                            : nullptr;
}

TField* TcxCustomDBLookupEditProperties::GetListField() {
  const Integer i = GetEffectiveListFieldIndex();
  return i == -1 ? nullptr : GetListColumnField(i);
}

void TcxCustomDBLookupEditProperties::CheckCircularLink(TDataSource* source) {
  TField* field = GetBoundField();
  if (!field || !source || !source->GetDataSet()) return;
  // Datasets here have no master links, so the edited dataset itself is the only circle.
  if (source->GetDataSet() == field->GetDataSet()) DatabaseError(orv::db::SCircularDataLink);
}

void TcxCustomDBLookupEditProperties::UpdateLookupField() {
  SetLookupField(GetBoundLookupField());
  TcxDBDataController* dc = GetDBDataController();
  if (FLookupField && dc && dc->GetDataSource()) CheckCircularLink(dc->GetDataSource());
}

void TcxCustomDBLookupEditProperties::SetLookupField(TField* field) {
  if (field == FLookupField) return;
  TcxDBDataController* dc = GetDBDataController();
  if (!field) {
    FreeAndNil(FLookupSourceFreeNotifier);
    FLookupField = nullptr;
    if (dc && FCachedLookupSource && dc->GetDataSource() == FCachedLookupSource) dc->SetDataSource(nullptr);
    FLookupSource = nullptr;
    return;
  }
  if (!FCachedLookupSource) FCachedLookupSource = new TDataSource(nullptr);
  FLookupSource = FCachedLookupSource;
  FreeAndNil(FLookupSourceFreeNotifier);
  FLookupSourceFreeNotifier = new TcxFreeNotificator(nullptr);
  FLookupSourceFreeNotifier->SetOnFreeNotification(
      TcxFreeNotificationEvent(this, &TcxCustomDBLookupEditProperties::LookupFieldFreed));
  FLookupSourceFreeNotifier->AddSender(field);
  FLookupField = field;
  FLookupSource->SetDataSet(field->GetLookupDataSet());
  if (!dc) return;
  FSynchronizing = true;
  try {
    dc->SetDataSource(FLookupSource);
    if (IndexOfListFieldName(field->GetLookupResultField()) == -1) CreateListColumns(field->GetLookupResultField());
    dc->SetKeyFieldNames(field->GetLookupKeyFields());
    SetListFieldIndexValue(0);
  } catch (...) {
    FSynchronizing = false;
    throw;
  }
  FSynchronizing = false;
}

void TcxCustomDBLookupEditProperties::AddLookupResultColumn() {
  if (FLookupField && !FLookupField->GetLookupResultField().empty()) AddListColumn(FLookupField->GetLookupResultField());
}

// ==== Lookup data ==============================================================================

void TcxCustomDBLookupEditLookupData::SetKeyFromRecord(Integer recordIndex) {
  TcxCustomDataController* dc = DataController();
  SetCurrentKey(recordIndex == -1 || !dc ? Null() : dc->GetRecordID(recordIndex));
}

void TcxCustomDBLookupEditLookupData::FocusRecordOfKey() {
  auto* dc = dynamic_cast<TcxDBDataController*>(DataController());
  if (!dc) return;
  TcxCustomLookupEditProperties* p = LookupProperties();
  p->LockListDataChanged();
  try {
    dc->LocateByKey(GetKey());
  } catch (const EVariantError&) {
  } catch (const EDatabaseError&) {
  } catch (...) {
    p->UnlockListDataChanged();
    throw;
  }
  p->UnlockListDataChanged();
}

// ==== The editor ===============================================================================

TcxCustomEditPropertiesClass TcxCustomDBLookupEdit::GetPropertiesClass() {
  return TcxCustomDBLookupEditProperties::StaticClass();
}

void TcxCustomDBLookupEdit::GetClearValue(Variant& value) {
  TcxCustomDBLookupEditProperties* p = DBLookupProperties();
  const AnsiString names = p->GetKeyFieldNames();
  if (p->GetValueExchangeMode(Focused()) == 2 && names.find(';') != AnsiString::npos) {
    value = NullKeyArray(KeyFieldNameCount(names));
    return;
  }
  inherited::GetClearValue(value);
}

Boolean TcxCustomDBLookupEdit::IsValidChar(char c) {
  TField* field = nullptr;
  TcxCustomDBLookupEditProperties* p = DBLookupProperties();
  const Integer i = p->GetEffectiveListFieldIndex();
  if (i != -1) field = p->GetListColumnField(i);
  return !field || field->IsValidChar(c);
}

Variant TcxCustomDBLookupEdit::ItemIndexToLookupKey(Integer index) {
  TcxCustomDataController* dc = DBLookupProperties()->GetListDataController();
  return index == -1 || !dc ? Null() : dc->GetRecordID(index);
}

Integer TcxCustomDBLookupEdit::LookupKeyToItemIndex(const Variant& key) {
  TcxDBDataController* dc = DBLookupProperties()->GetDBDataController();
  if (!dc) return -1;
  try {
    return dc->GetRecordIndexByKey(key);
  } catch (const EVariantError&) {
    return -1;
  }
}

void TcxCustomDBLookupEdit::EditValueToDisplayValue(const Variant& value, Variant& displayValue, Boolean focused) {
  TcxCustomDBLookupEditProperties* p = DBLookupProperties();
  if (p->GetDropDownListStyle() == lsEditList || focused || !p->KeyIsListField()) {
    p->EditValueToDisplayValue(value, displayValue, focused);
    return;
  }
  displayValue = Variant(VarToStr(value));
}

void TcxCustomDBLookupEdit::PopupWindowClosed(TObject* sender) {
  inherited::PopupWindowClosed(sender);
  TcxDBDataController* dc = DBLookupProperties()->GetDBDataController();
  if (dc && dc->GetDataModeController()->GetSyncMode() && LookupEditData()) {
    Variant v;
    GetEditValue(v);
    LookupEditData()->SetKey(v);
  }
}
