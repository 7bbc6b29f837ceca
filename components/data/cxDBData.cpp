#include "components/data/cxDBData.h"

#include <algorithm>
#include <functional>
#include <memory>

#include "components/data/cxDataConsts.h"
#include "components/data/cxVariants.h"
#include "components/foundation/cxClasses.h"
#include "platform/dataset/Params.h"
#include "platform/forms/Published.h"
#include "platform/runtime/SysUtils.h"

namespace {

[[noreturn]] void RaiseDBControllerError(const TResStringRec& rec) {
  throw EcxInvalidDataControllerOperation(GetLocalizedResourceString(&rec));
}

Boolean SameValueTypeClass(TcxValueTypeClass a, TcxValueTypeClass b) { return TClass(a) == TClass(b); }

Boolean IsIdentifier(const AnsiString& name) {
  auto letter = [](unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  if (name.empty() || !letter(static_cast<unsigned char>(name[0]))) return false;
  return std::all_of(name.begin() + 1, name.end(), [&](char c) {
    return letter(static_cast<unsigned char>(c)) || (c >= '0' && c <= '9');
  });
}

Boolean IsEditState(TDataSet* dataSet) {
  const TDataSetState state = dataSet->GetState();
  return state == dsEdit || state == dsInsert || state == dsSetKey;
}

TcxDBDataField* AsDBField(TcxCustomDataField* field) { return dynamic_cast<TcxDBDataField*>(field); }

// The dataset field a value definition belongs to, or nil.
TcxDBDataField* DBFieldOfDef(TcxValueDef* def) { return dynamic_cast<TcxDBDataField*>(def->GetLinkedObject()); }

// Every dataset provider of the program.
std::vector<TcxDBDataProvider*>* gProviders = nullptr;

}  // namespace

// ==== Field routines =========================================================================

Boolean orv::IsLargeObjectFieldType(TFieldType type) {
  return type == ftBytes || type == ftVarBytes || (type >= ftBlob && type <= ftCursor) || (type >= ftADT && type <= ftDataSet);
}

TcxValueTypeClass GetFieldValueTypeClass(TField* field) {
  if (!field) return TcxStringValueType::StaticClass();
  switch (field->GetDataType()) {
    case ftString:
      return TcxStringValueType::StaticClass();
    case ftSmallint:
      return TcxSmallintValueType::StaticClass();
    case ftInteger:
    case ftAutoInc:
      return TcxIntegerValueType::StaticClass();
    case ftWord:
      return TcxWordValueType::StaticClass();
    case ftBoolean:
      return TcxBooleanValueType::StaticClass();
    case ftFloat:
    case ftCurrency:
      return TcxFloatValueType::StaticClass();
    case ftBCD:
      return TcxCurrencyValueType::StaticClass();
    case ftDate:
    case ftTime:
    case ftDateTime:
      return TcxDateTimeValueType::StaticClass();
    case ftWideString:
      return TcxWideStringValueType::StaticClass();
    case ftLargeint:
      return TcxLargeIntValueType::StaticClass();
    case ftTimeStamp:
      return TcxSQLTimeStampValueType::StaticClass();
    case ftFMTBcd:
      return TcxFMTBcdValueType::StaticClass();
    default:
      return TcxVariantValueType::StaticClass();
  }
}

Boolean IsFieldDisplayTextStored(TField* field, Boolean flag) {
  if (!field) return false;
  if (field->GetOnGetText() || !field->GetEditMask().empty()) return true;
  const TFieldType type = field->GetDataType();
  if (orv::IsLargeObjectFieldType(type) || type == ftBoolean) return flag;
  if (auto* numeric = dynamic_cast<TNumericField*>(field)) {
    if (!numeric->GetDisplayFormat().empty() || !numeric->GetEditFormat().empty()) return true;
    auto* real = dynamic_cast<orv::TRealField*>(field);
    return real && real->GetCurrency();
  }
  if (auto* dateTime = dynamic_cast<TDateTimeField*>(field)) return !dateTime->GetDisplayFormat().empty();
  return false;
}

Boolean IsCurrencyField(TField* field) {
  auto* real = dynamic_cast<orv::TRealField*>(field);
  return real && real->GetCurrency() && real->GetDisplayFormat().empty() && !field->GetOnGetText();
}

Boolean CanModifyField(TField* field, Boolean anyType) {
  if (!field || !field->GetCanModify()) return false;
  return anyType || !orv::IsLargeObjectFieldType(field->GetDataType()) || bool(field->GetOnSetText());
}

Boolean CanModifyLookupField(TField* field) {
  TDataSet* dataSet = field ? field->GetDataSet() : nullptr;
  if (!dataSet) return false;
  const std::vector<AnsiString> names = orv::ExtractFieldNames(field->GetKeyFields());
  if (names.empty()) return false;
  for (const AnsiString& name : names) {
    TField* keyField = dataSet->FindField(name);
    if (!keyField || !keyField->GetCanModify()) return false;
  }
  return true;
}

void QuoteFieldName(AnsiString& name) {
  if (!IsIdentifier(name)) name = "[" + name + "]";
}

AnsiString GetFilterFieldName(TField* field, Boolean ignoreOrigin) {
  if (!field) return AnsiString();
  AnsiString name = ignoreOrigin ? AnsiString() : field->GetOrigin();
  if (name.empty()) {
    name = field->GetFieldName();
    QuoteFieldName(name);
  }
  return name;
}

Boolean SameFieldName(const AnsiString& name1, const AnsiString& name2) {
  return AnsiUpperCase(name1) == AnsiUpperCase(name2);
}

Integer GetFieldNameCount(const AnsiString& names) { return Integer(orv::ExtractFieldNames(names).size()); }

Boolean HasSeveralFieldNames(const AnsiString& names) { return GetFieldNameCount(names) > 1; }

Boolean IsKeyValueValid(TDataSet* dataSet, const AnsiString& keyFieldNames, const Variant& key) {
  if (!dataSet) return false;
  const std::vector<AnsiString> names = orv::ExtractFieldNames(keyFieldNames);
  if (names.empty()) return false;
  std::vector<Variant> parts;
  if (names.size() == 1) {
    parts.push_back(key);
  } else {
    if (!VarIsArray(key) || VarArrayDimCount(key) != 1) return false;
    const Integer low = VarArrayLowBound(key, 1);
    const Integer high = VarArrayHighBound(key, 1);
    if (Integer(high) - Integer(low) + 1 != Integer(names.size())) return false;
    for (Integer i = low; i <= high; ++i) parts.push_back(key.GetElement(i));
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    TField* field = dataSet->FindField(names[i]);
    if (!field) return false;
    if (VarIsNull(parts[i]) && field->GetDataType() == ftAutoInc) return false;
  }
  return true;
}

void SplitFieldNames(const AnsiString& names, TStrings* list) {
  list->Clear();
  for (const AnsiString& name : orv::ExtractFieldNames(names)) list->Add(name);
}

Variant ReadFieldValue(TField* field) {
  if (auto* wide = dynamic_cast<TWideStringField*>(field)) return wide->IsNull() ? Null() : Variant(wide->GetAsWideString());
  // Every field class answers Null for a null value.
  return field->GetAsVariant();
}

Variant ReadFieldValues(TDataSet* dataSet, const std::vector<TField*>& fields) {
  if (fields.empty()) return Null();
  if (fields.size() == 1) return ReadFieldValue(fields.front());
  Variant result = VarArrayCreate(0, Integer(fields.size()) - 1, varVariant);
  for (std::size_t i = 0; i < fields.size(); ++i) result.PutElement(Integer(i), ReadFieldValue(fields[i]));
  return result;
}

void WriteFieldValue(TField* field, const Variant& value) {
  const TVarType type = VarType(value);
  if (dynamic_cast<TDateTimeField*>(field) && (type == varDouble || type == varSingle || type == varCurrency))
    field->SetAsDateTime(value.AsDouble());
  else
    field->SetAsVariant(value);
}

void WriteFieldValues(TDataSet* dataSet, const std::vector<TField*>& fields, const Variant& value) {
  if (fields.size() == 1) {
    WriteFieldValue(fields.front(), value);
    return;
  }
  for (std::size_t i = 0; i < fields.size(); ++i) WriteFieldValue(fields[i], value.GetElement(Integer(i)));
}

Boolean CheckKeyValues(TDataSet* dataSet, const AnsiString& names, const Variant& value) {
  if (!dataSet) return false;
  const std::vector<AnsiString> list = orv::ExtractFieldNames(names);
  if (list.empty()) return false;
  std::vector<TField*> fields;
  for (const AnsiString& name : list) {
    TField* field = dataSet->FindField(name);
    if (!field) return false;
    fields.push_back(field);
  }
  auto fits = [](TField* field, const Variant& v) { return !v.IsNull() || field->GetDataType() != ftAutoInc; };
  if (value.IsArray()) {
    if (VarArrayDimCount(value) != 1 || value.HighBound() - value.LowBound() + 1 != Integer(fields.size())) return false;
    for (std::size_t i = 0; i < fields.size(); ++i)
      if (!fits(fields[i], value.GetElement(value.LowBound() + Integer(i)))) return false;
    return true;
  }
  return fields.size() == 1 && fits(fields.front(), value);
}

// ==== Dataset field ==========================================================================

TcxDBDataField::TcxDBDataField(TcxCustomDataFieldList* fieldList) : TcxCustomDataField(fieldList) {}

TcxDBDataController* TcxDBDataField::DataController() const {
  return static_cast<TcxDBDataController*>(OwnerController());
}

void TcxDBDataField::TakeOverValueDef(TcxCustomDataField* source) {
  inherited::TakeOverValueDef(source);
  auto* dbSource = AsDBField(source);
  if (!dbSource) return;
  FField = dbSource->FField;
  FIsCurrency = dbSource->FIsCurrency;
  dbSource->FField = nullptr;
  FFields = std::move(dbSource->FFields);
  dbSource->FFields.clear();
  for (TcxDBDataField* field : FFields) field->FParentField = this;
}

void TcxDBDataField::ComponentRemoved(TComponent* component) {
  if (GetReferenceField() || component != FField) return;
  TcxDBDataProvider* provider = DataController()->GetDBProvider();
  TDataSet* dataSet = provider->GetDataSet();
  if (provider->IsInFirst() && provider->GetDBDataLink()->GetActive() && dataSet && !dataSet->GetActive())
    provider->SetFieldsRecreated(true);
  FField = nullptr;
  if (provider->GetLockCount() == 0) provider->LayoutChanged(1);
}

Boolean TcxDBDataField::CanModify(Integer editValueSource) {
  if (IsUnbound()) return inherited::CanModify(editValueSource);
  TField* field = GetField();
  if (!inherited::CanModify(editValueSource) || !field) return false;
  if (IsLookup()) {
    if (editValueSource != 2) return false;
    for (Integer i = 0; i < GetFieldCount(); ++i)
      if (!GetFieldItem(i)->CanModify(0)) return false;
    return true;
  }
  return CanModifyField(field, editValueSource == 0);
}

Boolean TcxDBDataField::IsUnbound() {
  return !GetIsInternal() && FFieldName.empty() && !GetField() && GetValueDef() != nullptr;
}

Boolean TcxDBDataField::IsValueDefInternal() {
  TcxDBDataController* controller = DataController();
  if (GetField()) return controller->IsGridMode();
  return !controller->IsInUnboundCopy();
}

TField* TcxDBDataField::GetField() const {
  if (auto* reference = AsDBField(GetReferenceField())) return reference->FField;
  return FField;
}

void TcxDBDataField::SetField(TField* value) {
  if (value && value->GetComponentState().Contains(csDestroying)) value = nullptr;
  if (value == FField) return;
  FField = value;
  if (value && DataController()->FFieldNotifier) value->FreeNotification(DataController()->FFieldNotifier);
  ClearFields();
}

Integer TcxDBDataField::GetFieldCount() const {
  if (auto* reference = AsDBField(GetReferenceField())) return Integer(reference->FFields.size());
  return Integer(FFields.size());
}

TcxDBDataField* TcxDBDataField::GetFieldItem(Integer index) const {
  if (auto* reference = AsDBField(GetReferenceField())) return reference->FFields.at(std::size_t(index));
  return FFields.at(std::size_t(index));
}

Boolean TcxDBDataField::IsLookup() const {
  TField* field = GetField();
  return field && field->GetLookup();
}

void TcxDBDataField::AddField(TcxDBDataField* field) {
  if (field->FParentField) throw EcxInvalidDataControllerOperation("ADataField.FParentField <> nil");
  if (std::find(FFields.begin(), FFields.end(), field) != FFields.end()) return;
  FFields.push_back(field);
  field->FParentField = this;
}

void TcxDBDataField::RemoveField(TcxDBDataField* field) {
  const auto it = std::find(FFields.begin(), FFields.end(), field);
  if (it == FFields.end()) return;
  FFields.erase(it);
  field->FParentField = nullptr;
}

void TcxDBDataField::ClearFields() {
  while (!FFields.empty()) FFields.back()->Free();  // each leaves the list in its teardown
}

void TcxDBDataField::BeforeDestruction() {
  if (FParentField) FParentField->RemoveField(this);
  ClearFields();
  inherited::BeforeDestruction();
}

// ==== Reader =================================================================================

namespace {

// How a reader reads a definition's field.
enum : Byte {
  kReadNone,     // no dataset field
  kReadWide,     // Unicode text
  kReadText,     // plain text, GetValueText gives what GetAsVariant holds
  kReadFloat,    // a double, GetValueFloat gives what GetAsVariant holds
  kReadVariant,  // any other field
};

Byte ReadKindOf(TField* field) {
  if (!field) return kReadNone;
  const TClass c = field->ClassType();
  if (c == TStringField::StaticClass()) return kReadText;
  if (c == TFloatField::StaticClass() || c == TCurrencyField::StaticClass() || c == TBCDField::StaticClass())
    return kReadFloat;
  if (dynamic_cast<TWideStringField*>(field)) return kReadWide;
  return kReadVariant;
}

}  // namespace

const TcxValueDefDBReader::TFieldRead& TcxValueDefDBReader::Find(TcxValueDef* def) {
  for (std::size_t i = 0; i < FReads.size(); ++i)
    if (FReads[i].Def == def) {
      FNextRead = i + 1;
      return FReads[i];
    }
  TcxDBDataField* dataField = DBFieldOfDef(def);
  TField* field = dataField ? dataField->GetField() : nullptr;
  const Byte kind = ReadKindOf(field);
  TFieldDirectRead direct;
  if (kind == kReadText || kind == kReadFloat) FindFieldDirectRead(field, direct);
  FReads.push_back({def, dataField, field, kind, direct});
  FNextRead = FReads.size();
  return FReads.back();
}

AnsiString TcxValueDefDBReader::ProvideDisplayText(TcxValueDef* def) {
  if (TField* field = Resolve(def).Field) return field->GetDisplayText();
  return inherited::ProvideDisplayText(def);
}

Variant TcxValueDefDBReader::ProvideValue(TcxValueDef* def) {
  const TFieldRead& read = Resolve(def);
  switch (read.Kind) {
    case kReadNone:
      return inherited::ProvideValue(def);
    case kReadWide: {
      auto* wide = static_cast<TWideStringField*>(read.Field);
      return wide->IsNull() ? Null() : Variant(wide->GetAsWideString());
    }
    default:
      return read.Field->GetAsVariant();
  }
}

Boolean TcxValueDefDBReader::SkipsValueDef(TcxValueDef* def) {
  if (TcxDBDataField* field = Resolve(def).DataField) return field->IsValueDefInternal();
  return inherited::SkipsValueDef(def);
}

Boolean TcxValueDefDBReader::ProvidesTextValue(TcxValueDef* def) { return Resolve(def).Kind == kReadText; }

Boolean TcxValueDefDBReader::ProvidesFloatValue(TcxValueDef* def) { return Resolve(def).Kind == kReadFloat; }

namespace {

// The dataset's current record buffer as the field's own read takes it, or nil where that read
// would not reach the dataset's record (no buffers yet, no current record).
TRecordBuffer CurrentRecord(TDataSet* dataSet) {
  return dataSet && dataSet->ActiveBuffer() ? dataSet->GetActiveRecordBuffer() : nullptr;
}

}  // namespace

void TcxValueDefDBReader::StartRecord() {
  FRecordPerFill = true;
  FRecordDataSet = nullptr;
  FRecord = nullptr;
}

TRecordBuffer TcxValueDefDBReader::TakeRecord(TField* field) {
  TDataSet* dataSet = field->GetDataSet();
  const TRecordBuffer record = CurrentRecord(dataSet);
  if (FRecordPerFill) {
    FRecordDataSet = dataSet;
    FRecord = record;
  }
  return record;
}

Boolean TcxValueDefDBReader::ProvideTextValue(TcxValueDef* def, AnsiString& value) {
  const TFieldRead& read = Resolve(def);
  auto* field = static_cast<TStringField*>(read.Field);
  if (read.Direct.Text) {
    if (const TRecordBuffer record = DirectRecord(field)) {
      if (!read.Direct.Text(read.Direct.Source, record, value)) return false;
      // As the field's GetValueText trims.
      if (field->GetFixedChar() && field->GetTransliterate())
        while (!value.empty() && value.back() == ' ') value.pop_back();
      return true;
    }
  }
  return field->GetValueText(value);
}

Boolean TcxValueDefDBReader::ProvideFloatValue(TcxValueDef* def, double& value) {
  const TFieldRead& read = Resolve(def);
  if (read.Direct.Float)
    if (const TRecordBuffer record = DirectRecord(read.Field)) return read.Direct.Float(read.Direct.Source, record, value);
  return static_cast<orv::TRealField*>(read.Field)->GetValueFloat(value);
}

// ==== Data link ==============================================================================

TcxDBDataLink::TcxDBDataLink(TcxDBDataProvider* provider) : FProvider(provider) { SetVisualControl(true); }

void TcxDBDataLink::ActiveChanged() {
  if (!FProvider) return;
  FProvider->SetActiveChanging(true);
  try {
    FProvider->ActiveChanged(GetActive());
  } catch (...) {
    FProvider->SetActiveChanging(false);
    throw;
  }
  FProvider->SetActiveChanging(false);
  if (!GetActive()) FLayoutChanged = false;
}

void TcxDBDataLink::DataEvent(TDataEvent event, NativeInt info) {
  inherited::DataEvent(event, info);
  // The dataset closed while its controls were disabled: the change sent when they are enabled
  // again is a layout change.
  if (event == deDisabledStateChange && info == 0) FLayoutChanged = true;
}

void TcxDBDataLink::DataSetChanged() {
  if (FProvider) FProvider->DataSetChanged();
}

void TcxDBDataLink::DataSetScrolled(Integer distance) {
  if (FProvider) FProvider->DataScrolled(distance);
}

void TcxDBDataLink::EditingChanged() {
  if (!FProvider || !FProvider->IsSyncMode()) return;
  TDataSet* dataSet = GetDataSet();
  if (!(GetActive() && dataSet && IsEditState(dataSet))) {
    FProvider->KeepPostedNewItemRecord();
    FProvider->ResetEditing();
    return;
  }
  if (dataSet->GetState() != dsEdit) return;
  // The dataset went into edit state (through the controller or from outside): the focused
  // record becomes the editing record.
  TcxDBDataController* controller = FProvider->DataController();
  controller->BeginInternalRecordRead();
  try {
    FProvider->StartEditing();
  } catch (...) {
    controller->EndInternalRecordRead();
    throw;
  }
  controller->EndInternalRecordRead();
}

void TcxDBDataLink::UpdateData() {
  if (!FProvider) return;
  FProvider->UpdateData();
  FProvider->RecordChanged(nullptr);
  FProvider->ResetChanging();
}

void TcxDBDataLink::FocusControl(TField*& field) {
  if (!FProvider || !field) return;
  TcxDBDataController* controller = FProvider->DataController();
  for (Integer i = 0; i < controller->GetItemCount(); ++i) {
    auto* dataField = static_cast<TcxDBDataField*>(static_cast<TcxCustomDataController*>(controller)->GetItemField(i));
    if (dataField->GetField() != field) continue;
    Boolean done = false;
    controller->FocusControl(i, done);
    if (done) field = nullptr;
    return;
  }
}

void TcxDBDataLink::LayoutChanged() {
  if (!FProvider) return;
  TDataSet* dataSet = GetDataSet();
  if (dataSet && dataSet->GetState() == dsInsert) {
    FLayoutChanged = false;
    FProvider->DataSetChanged();
    return;
  }
  FProvider->LayoutChanged(3);
  FLayoutChanged = false;
}

void TcxDBDataLink::RecordChanged(TField* field) {
  if (FProvider) FProvider->RecordChanged(field);
}

// ==== Provider ===============================================================================

TcxDBDataProvider::TcxDBDataProvider(TcxCustomDataController* dataController) : TcxCustomDataProvider(dataController) {
  if (!gProviders) gProviders = new std::vector<TcxDBDataProvider*>;
  gProviders->push_back(this);
  FDataLink = new TcxDBDataLink(this);
}

void TcxDBDataProvider::BeforeDestruction() {
  if (gProviders)
    for (TcxDBDataProvider* provider : *gProviders) provider->RemoveListener(this);
  FListeners.clear();
  if (FDataLink) {
    FDataLink->FProvider = nullptr;
    FDataLink->Free();
    FDataLink = nullptr;
  }
  if (gProviders) {
    gProviders->erase(std::remove(gProviders->begin(), gProviders->end(), this), gProviders->end());
    if (gProviders->empty()) {
      delete gProviders;
      gProviders = nullptr;
    }
  }
  inherited::BeforeDestruction();
}

TcxDBDataController* TcxDBDataProvider::DataController() const {
  return static_cast<TcxDBDataController*>(GetDataController());
}

std::vector<TcxDBDataProvider*> TcxDBDataProvider::ProvidersOverDataSet(Boolean includeSelf) const {
  std::vector<TcxDBDataProvider*> result;
  TDataSet* dataSet = GetDataSet();
  if (!dataSet || !gProviders) return result;
  for (TcxDBDataProvider* provider : *gProviders)
    if ((includeSelf || provider != this) && provider->GetDataSet() == dataSet) result.push_back(provider);
  return result;
}

void TcxDBDataProvider::MarkPostLocate() {
  for (TcxDBDataProvider* provider : ProvidersOverDataSet(true))
    if (!provider->DataController()->IsDetailTemplate()) provider->FPostLocate = true;
}

void TcxDBDataProvider::AddListener(TcxDBDataProvider* provider) {
  if (std::find(FListeners.begin(), FListeners.end(), provider) == FListeners.end()) FListeners.push_back(provider);
}

void TcxDBDataProvider::RemoveListener(TcxDBDataProvider* provider) {
  FListeners.erase(std::remove(FListeners.begin(), FListeners.end(), provider), FListeners.end());
}

void TcxDBDataProvider::NotifyListeners() {
  if (FInNotify) return;
  const orv::TFlagScope notifying(FInNotify, true);
  while (!FListeners.empty()) {
    TcxDBDataProvider* provider = FListeners.front();
    FListeners.erase(FListeners.begin());
    provider->DataSetChanged();
  }
}

// ---- State ----

Boolean TcxDBDataProvider::HasOpenDataSet() {
  TDataSet* dataSet = GetDataSet();
  return dataSet && dataSet->GetState() != dsInactive;
}

Boolean TcxDBDataProvider::IsOtherInsert() {
  for (TcxDBDataProvider* provider : ProvidersOverDataSet(false))
    if (provider->FInInsert) return true;
  return false;
}

Boolean TcxDBDataProvider::IsSyncMode() {
  TDataSet* dataSet = GetDataSet();
  TcxDBDataController* controller = DataController();
  if (!dataSet || !dataSet->GetActive() || !controller->GetDataModeController()->GetSyncMode() ||
      dataSet->IsUnidirectional())
    return false;
  if (!controller->IsDetailMode()) return true;
  // Details share their dataset: a detail follows its cursor only when asked to, in a re-queried
  // dataset only while it stands for this detail, and only with keys to find its records by
  // (a position counted by scrolls means nothing once another detail moved the cursor).
  TcxDBDataModeController* mode = controller->GetDataModeController();
  if (!mode->GetDetailSyncMode()) return false;
  if (mode->GetDetailInSQLMode() && !IsDataSetCurrent()) return false;
  return controller->HasRecordKeys() || IsGridMode();
}

Boolean TcxDBDataProvider::IsActive() {
  TDataSet* dataSet = GetDataSet();
  return dataSet && dataSet->GetActive() && !dataSet->ControlsDisabled();
}

Boolean TcxDBDataProvider::AreFieldsAvailable() {
  TDataSet* dataSet = GetDataSet();
  return dataSet && dataSet->GetFieldCount() > 0 && (dataSet->GetActive() || !dataSet->GetDefaultFields());
}

Boolean TcxDBDataProvider::IsBOF() {
  TDataSet* dataSet = GetDataSet();
  return !dataSet || dataSet->GetBOF() || !FDataLink->GetActive();
}

Boolean TcxDBDataProvider::IsEditing() {
  if (EditsInStorage()) return inherited::IsEditing();
  TDataSet* dataSet = GetDataSet();
  return dataSet && IsEditState(dataSet);
}

Boolean TcxDBDataProvider::IsEOF() {
  TDataSet* dataSet = GetDataSet();
  if (!dataSet || dataSet->GetEOF() || !FDataLink->GetActive()) return true;
  if (!IsKeyLinkedDetail()) return false;
  TcxDBDataController* controller = DataController();
  const Variant& keyValues = controller->GetMasterDetailKeyValues();
  if (VarIsEmpty(keyValues)) return true;
  if (IsEditState(dataSet)) return false;
  // The dataset has left the master record's records.
  return CompareVariants(ReadFieldValues(dataSet, controller->GetMasterDetailKeyFields()), keyValues) != 0;
}

Boolean TcxDBDataProvider::IsKeyLinkedDetail() {
  TcxDBDataController* controller = DataController();
  return controller->IsDetailMode() && !controller->GetMasterDetailKeyFieldNames().empty() && !IsGridMode();
}

void TcxDBDataProvider::DetailFirst() {
  TcxDBDataController* controller = DataController();
  TDataSet* dataSet = GetDataSet();
  const Variant& keyValues = controller->GetMasterDetailKeyValues();
  if (!dataSet || !dataSet->GetActive() || VarIsEmpty(keyValues)) return;
  Boolean reopened = false;
  controller->GetDataModeController()->DetailFirst(controller->GetMasterDetailKeyFieldNames(), keyValues, reopened);
  // A re-queried dataset has lost the position kept before.
  if (reopened && FPositionSaved) {
    const Boolean loadRan = FLoadRan;
    SavePos();
    FLoadRan = loadRan;
  }
  if (reopened) controller->ForgetMasterDetailKeyFields();
  SetDataSetCurrent(true);
  // A dataset that makes its fields anew as it opens has freed the ones every detail of the
  // template was bound to (this one too): each binds its items again.
  if (reopened && GetFieldsRecreated()) {
    TcxCustomDataRelation* relation = controller->GetMasterRelation();
    if (TcxCustomDataController* master = relation ? relation->GetDataController() : nullptr) {
      master->ForEachDetail(
          relation,
          [](void*, TcxCustomDataController* detail) {
            if (auto* dbDetail = dynamic_cast<TcxDBDataController*>(detail)) {
              dbDetail->UpdateFields();
              dbDetail->Change(TcxCustomDataController::dccData);
            }
          },
          nullptr);
    }
  }
}

Boolean TcxDBDataProvider::IsDetailDataSetOfAnotherMaster() {
  TcxDBDataController* controller = DataController();
  TcxDBDataModeController* mode = controller->GetDataModeController();
  if (!controller->IsDetailMode() || !mode->GetDetailInSQLMode()) return false;
  if (!mode->GetDetailSyncMode()) return true;
  const Variant& keyValues = controller->GetMasterDetailKeyValues();
  if (IsDataSetCurrent() || VarIsEmpty(keyValues) || VarIsNull(keyValues)) return false;
  TDataSet* dataSet = GetDataSet();
  if (!dataSet || !dataSet->GetActive()) return false;
  return CompareVariants(ReadFieldValues(dataSet, controller->GetMasterDetailKeyFields()), keyValues) != 0;
}

void TcxDBDataProvider::MoveToFirst() {
  TDataSet* dataSet = GetDataSet();
  if (IsKeyLinkedDetail())
    DetailFirst();
  else if (dataSet && dataSet->GetActive())
    dataSet->First();
}

Boolean TcxDBDataProvider::IsDataSetCurrent() {
  TcxDBDataController* controller = DataController();
  if (!controller->IsDetailMode() || controller->GetDataModeController()->GetDetailInSQLMode() ||
      !controller->GetDataModeController()->GetDetailSyncMode())
    return FDataSetCurrent;
  if (FInInitEditing) return true;
  const Boolean newItemRowInserting =
      controller->GetUseNewItemRowForEditing() && controller->GetNewItemRowFocused() && IsInserting();
  if (!FInInsert && ((controller->GetFocusedRecordIndex() == -1 && !FDataSetCurrent) || IsOtherInsert()) &&
      !newItemRowInserting)
    return false;
  for (TcxDBDataProvider* provider : ProvidersOverDataSet(false))
    if (provider->FInInitEditing) return false;
  return true;
}

void TcxDBDataProvider::SetDataSetCurrent(Boolean value) {
  if (value == FDataSetCurrent) return;
  TcxDBDataController* controller = DataController();
  if (value && controller->GetDetailMode() == 2) {
    // The other details of the same template lose the dataset: it no longer stands on any of
    // their records.
    TcxCustomDataController* pattern = controller->GetPatternDataController();
    for (TcxDBDataProvider* provider : ProvidersOverDataSet(false)) {
      TcxDBDataController* other = provider->DataController();
      if (!other->IsDetailMode() || other->IsDetailTemplate() || other->GetPatternDataController() != pattern) continue;
      const orv::TFlagScope resetting(other->FInResetDataSetCurrent, true);
      if (provider->FDataSetCurrent) {
        provider->FDataSetCurrent = false;
        other->DataSetCurrentChanged(false);
      }
      other->ChangeFocusedRecordIndex(-1);
    }
  }
  FDataSetCurrent = value;
  controller->DataSetCurrentChanged(value);
}

Boolean TcxDBDataProvider::GetDetailHasChildren(Integer recordIndex, Integer relationIndex) {
  TcxDBDataController* controller = DataController();
  TcxCustomDataRelationList* relations = controller->FindRelationList();
  auto* relation = relations && relationIndex >= 0 && relationIndex < relations->Count()
                       ? dynamic_cast<TcxDBDataRelation*>(relations->GetItem(relationIndex))
                       : nullptr;
  TcxDBDataController* detail = relation ? relation->DetailTemplate() : nullptr;
  if (!detail) return inherited::GetDetailHasChildren(recordIndex, relationIndex);
  const Variant keyValues = relation->GetMasterKeyValues(recordIndex);
  if (detail->IsGridMode() || detail->GetDataModeController()->GetDetailInSQLMode()) return true;
  TDataSet* dataSet = detail->GetDataSet();
  if (!dataSet || !dataSet->GetActive()) return false;
  // Without a key link every master record has the whole dataset.
  if (!relation->HasKeyLink()) return !dataSet->IsEmpty();
  TcxDBDataProvider* detailProvider = detail->GetDBProvider();
  Boolean found = false;
  detailProvider->Freeze();
  try {
    detailProvider->SavePos();
    try {
      found = dataSet->Locate(detail->GetMasterDetailKeyFieldNames(), keyValues, TLocateOptions());
    } catch (...) {
      detailProvider->RestorePos();
      throw;
    }
    detailProvider->RestorePos();
  } catch (...) {
    detailProvider->Unfreeze();
    throw;
  }
  detailProvider->Unfreeze();
  detail->DataLoaded();
  return found;
}

Boolean TcxDBDataProvider::IsInserting() {
  TDataSet* dataSet = GetDataSet();
  return dataSet && dataSet->GetState() == dsInsert;
}

Boolean TcxDBDataProvider::IsModified() { return inherited::IsModified() || IsDataSetModified(); }

Boolean TcxDBDataProvider::CanModify() {
  TDataSet* dataSet = GetDataSet();
  return dataSet && dataSet->GetActive() && dataSet->GetCanModify() && IsSyncMode();
}

Integer TcxDBDataProvider::GetRecordIndex() {
  if (IsInserting() && GetEditingRecordIndex() != cxNullEditingRecordIndex) return GetEditingRecordIndex();
  return FCurrentRecordIndex;
}

TcxValueDefReader* TcxDBDataProvider::CreateValueDefReader() { return new TcxValueDefDBReader; }

Boolean TcxDBDataProvider::IsDataSetModified() {
  TDataSet* dataSet = GetDataSet();
  if (!dataSet || !dataSet->GetModified()) return false;
  if (FAssignedFields.empty()) return true;
  // Values the controller wrote itself into a new record (grouping values) are no user change.
  for (Integer i = 0; i < dataSet->GetFieldCount(); ++i) {
    TField* field = dataSet->GetFields().GetField(i);
    if (std::find(FAssignedFields.begin(), FAssignedFields.end(), field) != FAssignedFields.end()) continue;
    if (!field->GetIsNull()) return true;
  }
  return false;
}

Boolean TcxDBDataProvider::BookmarkValid(const TBookmarkStr& bookmark) {
  TDataSet* dataSet = GetDataSet();
  return dataSet && dataSet->BookmarkValid(bookmark);
}

Integer TcxDBDataProvider::CompareBookmarks(const TBookmarkStr& bookmark1, const TBookmarkStr& bookmark2) {
  if (!FDataLink->GetActive()) return -1;
  return GetDataSet()->CompareBookmarks(bookmark1, bookmark2);
}

void TcxDBDataProvider::CancelDataSet() {
  if (TDataSet* dataSet = GetDataSet()) dataSet->Cancel();
}

void TcxDBDataProvider::RecordChanged(TField* field) {
  if (IsEditing()) RereadEditingRecord();
  ResetChanging();
}

// ---- Navigation ----

void TcxDBDataProvider::First() {
  FInFirst = true;
  if (FPositionSaved) FLoadRan = true;
  try {
    inherited::First();
    MoveToFirst();
  } catch (...) {
    FInFirst = false;
    throw;
  }
  FInFirst = false;
}

void TcxDBDataProvider::Prior() {
  if (TDataSet* dataSet = GetDataSet()) dataSet->Prior();
}

void TcxDBDataProvider::Next() {
  if (TDataSet* dataSet = GetDataSet()) dataSet->Next();
}

void TcxDBDataProvider::Last() {
  TDataSet* dataSet = GetDataSet();
  if (dataSet && dataSet->GetActive()) dataSet->Last();
}

void TcxDBDataProvider::MoveBy(Integer distance) {
  if (TDataSet* dataSet = GetDataSet()) dataSet->MoveBy(distance);
}

void TcxDBDataProvider::SavePos() {
  TDataSet* dataSet = GetDataSet();
  const Boolean positioned = dataSet && dataSet->GetActive() && !dataSet->IsEmpty();
  FSavedBookmark = positioned ? dataSet->GetBookmarkStr() : TBookmarkStr();
  FSavedActiveRecord = FDataLink->GetActiveRecord();
  FSavedBOF = dataSet && dataSet->GetBOF();
  FSavedEOF = dataSet && dataSet->GetEOF();
  FPositionSaved = true;
  FLoadRan = false;
  FSavedRecordIndex = -1;
  FReadCount = 0;
}

void TcxDBDataProvider::RecordRead(Integer recordIndex) {
  FReadCount = recordIndex + 1;
  // Bookmarks are unique: once the saved record is found the rest need no comparison.
  if (FSavedRecordIndex != -1 || FSavedBookmark.empty() || DataController()->HasRecordKeys()) return;
  if (CompareBookmarks(GetDataSet()->GetBookmarkStr(), FSavedBookmark) == 0) {
    FSavedRecordIndex = recordIndex;
    FCurrentRecordIndex = recordIndex;
  }
}

void TcxDBDataProvider::RestorePos() {
  TDataSet* dataSet = GetDataSet();
  // Where the dataset stands relative to the saved record, while that is known.
  Boolean onSavedRecord = false;
  Integer moved = 0;
  try {
    if (dataSet && BookmarkValid(FSavedBookmark)) {
      dataSet->SetBookmarkStr(FSavedBookmark);
      onSavedRecord = true;
      // The record goes back to the same row of the link's buffer.
      const Integer active = FDataLink->GetActiveRecord();
      if (active > FSavedActiveRecord) {
        const Integer distance = FDataLink->GetBufferCount() - FSavedActiveRecord - 1;
        moved += dataSet->MoveBy(distance);
        moved += dataSet->MoveBy(-distance);
      } else if (active < FSavedActiveRecord) {
        moved += dataSet->MoveBy(-FSavedActiveRecord);
        moved += dataSet->MoveBy(FSavedActiveRecord);
      }
      if (FSavedBOF && !dataSet->GetBOF()) moved += dataSet->MoveBy(-1);
      if (FSavedEOF && !dataSet->GetEOF()) moved += dataSet->MoveBy(1);
    }
  } catch (const EDatabaseError&) {
    onSavedRecord = false;
  }
  // After a load the current record is derived from where the dataset really stands. When the
  // saved record is no longer among the loaded ones (the new filter dropped it, or the dataset
  // became empty), the dataset goes to its first record, so that the counted position and the
  // cursor cannot part. With record keys the focus check locates the current key instead.
  if (FLoadRan && !DataController()->HasRecordKeys()) {
    if (onSavedRecord && FSavedRecordIndex != -1) {
      FCurrentRecordIndex = FSavedRecordIndex + moved;
    } else {
      FCurrentRecordIndex = 0;
      if (dataSet && FReadCount > 0) {
        try {
          MoveToFirst();
        } catch (const EDatabaseError&) {
          // The load itself succeeded; a cursor that cannot move keeps the first row.
        }
      }
    }
  }
  FPositionSaved = false;
  FLoadRan = false;
}

// ---- Locks ----

void TcxDBDataProvider::LockLocate() {
  inherited::LockLocate();
  TDataSet* dataSet = GetDataSet();
  if (dataSet && IsEditState(dataSet)) MarkPostLocate();
}

void TcxDBDataProvider::Freeze() {
  inherited::Freeze();
  TDataSet* dataSet = GetDataSet();
  if (!dataSet) return;
  dataSet->DisableControls();
  if (dataSet->GetActive() && IsEditState(dataSet)) {
    MarkPostLocate();
    dataSet->Cancel();
  }
}

void TcxDBDataProvider::Unfreeze() {
  // Still frozen while the dataset replays what it held back: that echo of this provider's own
  // reading is a scroll, not a change.
  if (TDataSet* dataSet = GetDataSet()) {
    try {
      dataSet->EnableControls();
    } catch (...) {
      inherited::Unfreeze();
      throw;
    }
  }
  inherited::Unfreeze();
}

// ---- Notifications ----

void TcxDBDataProvider::ActiveChanged(Boolean active) {
  inherited::ActiveChanged(active);
  TDataSet* dataSet = GetDataSet();
  if (dataSet && !dataSet->GetActive() && dataSet->GetDefaultFields()) {
    // The dataset's own fields are about to go: every item lets go of its field first.
    TcxDBDataController* controller = DataController();
    controller->FResetDataSetFields = true;
    try {
      controller->UpdateFields();
    } catch (...) {
      controller->FResetDataSetFields = false;
      throw;
    }
    controller->FResetDataSetFields = false;
  }
}

void TcxDBDataProvider::LayoutChanged(Integer kind) {
  // A detail over the same dataset is reading it (re-queried for its master record, its fields
  // made anew): this controller only binds its items again; its records are not affected.
  for (TcxDBDataProvider* provider : ProvidersOverDataSet(false)) {
    if (provider->GetLockCount() > 0 && provider->DataController()->IsDetailMode()) {
      if (IsActive()) DataController()->UpdateFields();
      return;
    }
  }
  inherited::LayoutChanged(kind);
}

void TcxDBDataProvider::DataScrolled(Integer distance) {
  if (!IsGridMode()) {
    FCurrentRecordIndex += distance;
    inherited::DataScrolled(distance);
    return;
  }
  TcxDBDataController* controller = DataController();
  FCurrentRecordIndex = FDataLink->GetActiveRecord();
  controller->LockUpdate();
  try {
    // The buffer rows show other records now.
    if (distance != 0) controller->Change(TcxCustomDataController::dccLayout);
    inherited::DataScrolled(distance);
  } catch (...) {
    controller->UnlockUpdate();
    throw;
  }
  controller->UnlockUpdate();
  if (controller->IsDataSetSequenced()) controller->GridModePositionChanged();
}

Boolean TcxDBDataProvider::IsGridMode() {
  TcxDBDataController* controller = DataController();
  TDataSet* dataSet = GetDataSet();
  return controller->GetDataModeController()->GetGridMode() && dataSet && !dataSet->IsUnidirectional() &&
         !GetLoadAllNeeded() && !controller->IsDetailTemplate();
}

void TcxDBDataProvider::LoadDataBuffer() {
  if (!FDataLink->GetActive() || !IsGridMode()) return;
  TcxDBDataController* controller = DataController();
  FDataLink->SetBufferCount(controller->GetGridModeBufferCount());
  TcxDataStorage* storage = controller->GetDataStorage();
  storage->SetStoredRecordCount(0);
  storage->SetStoredRecordCount(FDataLink->GetRecordCount());
  FCurrentRecordIndex = FDataLink->GetActiveRecord();
}

template <class R>
R TcxDBDataProvider::ReadBufferRow(Integer recordIndex, R (*read)(TField*), TField* field, R none) {
  if (!field) return none;
  if (recordIndex >= 0 && recordIndex < FDataLink->GetRecordCount()) {
    const Integer active = FDataLink->GetActiveRecord();
    FDataLink->SetActiveRecord(recordIndex);
    try {
      R result = read(field);
      FDataLink->SetActiveRecord(active);
      return result;
    } catch (...) {
      FDataLink->SetActiveRecord(active);
      throw;
    }
  }
  // A record outside the buffer: the current record while inserting or searching.
  if (IsInserting() || DataController()->GetSearch()->GetLocked()) return read(field);
  return none;
}

Variant TcxDBDataProvider::GetExternalDataValue(Integer recordIndex, TcxCustomDataField* field) {
  auto* dbField = dynamic_cast<TcxDBDataField*>(field);
  return ReadBufferRow<Variant>(recordIndex, [](TField* f) { return ReadFieldValue(f); },
                                dbField ? dbField->GetField() : nullptr, Null());
}

AnsiString TcxDBDataProvider::GetExternalDataDisplayText(Integer recordIndex, TcxCustomDataField* field) {
  auto* dbField = dynamic_cast<TcxDBDataField*>(field);
  return ReadBufferRow<AnsiString>(recordIndex, [](TField* f) { return f->GetDisplayText(); },
                                   dbField ? dbField->GetField() : nullptr, AnsiString());
}

void TcxDBDataProvider::Scroll(Integer distance) {
  if (!IsGridMode() || distance == 0 || !IsActive()) return;
  // Past the rows the buffer shows already.
  const Integer active = FDataLink->GetActiveRecord();
  if (distance < 0)
    distance -= active;
  else
    distance += FDataLink->GetRecordCount() - active - 1;
  GetDataSet()->MoveBy(distance);
  DataController()->SetFocusedSelected(true);
}

void TcxDBDataProvider::RefillGridModeBuffer() {
  TcxDBDataController* controller = DataController();
  FDataLink->SetBufferCount(controller->GetGridModeBufferCount());
  FCurrentRecordIndex = FDataLink->GetActiveRecord();
  TDataSet* dataSet = GetDataSet();
  if (controller->GetRecordCount() != FDataLink->GetRecordCount() || (dataSet && dataSet->GetState() == dsInsert)) {
    DataChanged(dcTotal, -1, -1);
    return;
  }
  if (!IsEditing()) DataChanged(dcRecord, -1, -1);
  controller->CheckFocusedRow();
}

void TcxDBDataProvider::DataSetChanged() {
  if (FDataLink->FLayoutChanged) {
    FDataLink->LayoutChanged();
    return;
  }
  TDataSet* dataSet = GetDataSet();
  const Boolean keys = DataController()->HasRecordKeys();
  // Another provider is reading the dataset, or locating on keys: this change is its doing;
  // this provider handles it when that provider is done.
  for (TcxDBDataProvider* provider : ProvidersOverDataSet(false)) {
    if (provider->GetLockCount() > 0 || (keys && provider->GetLocateCount() > 0)) {
      provider->AddListener(this);
      return;
    }
  }
  // The dataset was queried again for another master record: nothing of this detail changed.
  if (IsDetailDataSetOfAnotherMaster()) return;
  // A provider (this one included) is reading, notifying or locating: the change only moved the
  // cursor, unless an edit was given up meanwhile.
  for (TcxDBDataProvider* provider : ProvidersOverDataSet(true)) {
    if (provider->GetLockCount() > 0 || provider->FInNotify || (keys && provider->GetLocateCount() > 0)) {
      if (!FPostLocate) {
        DataScrolled(0);
        return;
      }
      break;
    }
  }
  if (IsGridMode()) {
    RefillGridModeBuffer();
    return;
  }
  if (!dataSet || !IsEditState(dataSet)) {
    // Held while the controller defers refreshes, unless a record of the controller is being
    // edited: posting and cancelling rely on the reload they cause.
    if (DataController()->IsDataSetRefreshDeferred() && !IsEditing() && !IsInserting()) {
      FDataSetChangeHeld = true;
      return;
    }
    if (DataController()->IsSmartRefresh())
      RefreshUpdatedRecord();
    else
      DataChanged(dcTotal, -1, -1);
    DataScrolled(0);
    ForgetUpdatingRecord();
    return;
  }
  if (dataSet->GetState() == dsInsert && !GetInserting() && IsSyncMode() && !FInInsertNotification) MirrorInsert();
}

void TcxDBDataProvider::ForgetUpdatingRecord() {
  FUpdatingRecordIndex = kNoUpdatingRecord;
  FUpdatingRecordIsInserting = false;
  FUpdatingNewRecordIndex = -1;
}

void TcxDBDataProvider::KeepPostedNewItemRecord() {
  TcxDBDataController* controller = DataController();
  if (!controller->IsSmartRefresh() || !FUpdatingRecordIsInserting || FUpdatingRecordIndex == kNoUpdatingRecord) return;
  const Integer newItemRecordIndex = GetEditingRecordIndex();
  if (newItemRecordIndex >= 0 || newItemRecordIndex == cxNullEditingRecordIndex ||
      newItemRecordIndex != FUpdatingRecordIndex || newItemRecordIndex != controller->GetNewItemRecordIndex())
    return;
  controller->BeginInternalRecordRead();
  try {
    FUpdatingNewRecordIndex = controller->AppendRecord();
    controller->CopyRecordValues(newItemRecordIndex, FUpdatingNewRecordIndex);
  } catch (...) {
    controller->EndInternalRecordRead();
    throw;
  }
  controller->EndInternalRecordRead();
}

void TcxDBDataProvider::RefreshUpdatedRecord() {
  TcxDBDataController* controller = DataController();
  if (FUpdatingRecordIndex != kNoUpdatingRecord) {
    Integer recordIndex = controller->GetFocusedRecordIndex();
    // A posted new-item row: its record is the one appended for it as the dataset left insert.
    const Boolean newItemPosted = FUpdatingRecordIndex < 0 && FUpdatingNewRecordIndex != -1 &&
                                  (recordIndex < 0 || controller->GetNewItemRowFocused());
    if (newItemPosted) recordIndex = FUpdatingRecordIndex = FUpdatingNewRecordIndex;
    if (recordIndex == FUpdatingRecordIndex && recordIndex >= 0 && recordIndex < controller->GetRecordCount()) {
      std::vector<TcxCustomDataField*> keyFields;
      controller->GetKeyFieldList(keyFields);
      const Variant storedKey = controller->GetRecordKeyValues(recordIndex, keyFields);
      const Variant dataSetKey = controller->GetDataSetKeyValues();
      // A record appended to a dataset that numbers its records as they are posted has no key
      // until the post: the dataset's new number, held by no other record, is this record's.
      auto numberedByPost = [&] {
        if (!FUpdatingRecordIsInserting || keyFields.size() != 1 || !VarIsNull(storedKey)) return false;
        auto* keyField = dynamic_cast<TcxDBDataField*>(keyFields.front());
        TField* field = keyField ? keyField->GetField() : nullptr;
        return field && field->GetDataType() == ftAutoInc && !VarIsNull(dataSetKey) &&
               controller->FindRecordIndexByKey(dataSetKey) == -1;
      };
      if (VarEqualsExactly(storedKey, dataSetKey) || numberedByPost()) {
        // The same record: its values are read again.
        TcxValueDefDBReader reader;
        controller->GetDataStorage()->FillRecord(recordIndex, &reader);
        controller->AfterReadRecord(recordIndex);
      } else {
        const Integer found = controller->FindRecordIndexByKey(storedKey);
        if (found == -1 || found == recordIndex) {
          // The dataset no longer holds the stored key: the record goes from the storage.
          controller->DeleteRecordFromStorage(recordIndex);
          controller->CheckFocusedRow();
          recordIndex = std::min(recordIndex, controller->GetRecordCount() - 1);
        }
      }
    }
    if (recordIndex >= 0 && recordIndex < controller->GetRecordCount())
      controller->DataChanged(dcRecord, -1, recordIndex);
  }
  controller->FilterChanged();
  controller->SummaryChanged(false);
  FPostLocate = false;
}

void TcxDBDataProvider::MakeHeldDataSetChange() {
  if (!FDataSetChangeHeld) return;
  FDataSetChangeHeld = false;
  // A dataset closed meanwhile was handled as it closed.
  if (FDataLink->GetActive()) DataSetChanged();
}

void TcxDBDataProvider::MirrorInsert() {
  // The own Append, or a dataset that stands past its last record, adds at the end; anything
  // else inserts at the focused record.
  const Boolean append = (FInInsert && !FInsertOperation) || (!FInInsert && IsEOF());
  FInInsertNotification = true;
  try {
    StartInserting(append);
  } catch (...) {
    FInInsertNotification = false;
    throw;
  }
  FInInsertNotification = false;
}

// ---- Editing ----

void TcxDBDataProvider::AddAssignedField(TField* field) {
  if (field && std::find(FAssignedFields.begin(), FAssignedFields.end(), field) == FAssignedFields.end())
    FAssignedFields.push_back(field);
}

void TcxDBDataProvider::RereadEditingRecord() {
  const Integer recordIndex = GetEditingRecordIndex();
  if (recordIndex == cxNullEditingRecordIndex) return;
  TcxDBDataController* controller = DataController();
  if (recordIndex >= 0 && recordIndex >= controller->GetRecordCount()) return;
  FUpdatingRecordIndex = recordIndex;
  FUpdatingRecordIsInserting = IsInserting();
  TcxValueDefDBReader reader;
  controller->GetDataStorage()->FillRecord(recordIndex, &reader);
  controller->AfterReadRecord(recordIndex);
  if (!FInInitEditing) controller->Change(TcxCustomDataController::dccUpdateRecord);
  if (recordIndex >= 0) controller->DataChanged(dcRecord, -1, recordIndex);
}

Boolean TcxDBDataProvider::CanInitEditing(Integer recordIndex) {
  if (EditsInStorage()) return inherited::CanInitEditing(recordIndex);
  TcxDBDataController* controller = DataController();
  FInInitEditing = true;
  Boolean editing;
  try {
    if (controller->IsNewItemRowEditing() && !IsInserting()) {
      Insert();
      editing = true;
    } else {
      editing = FDataLink->Edit();
    }
  } catch (...) {
    FInInitEditing = false;
    throw;
  }
  FInInitEditing = false;
  if (!editing) return false;
  SetChanging();
  if (controller->GetNewItemRowFocused()) controller->Change(TcxCustomDataController::dccUpdateRecord);
  return true;
}

void TcxDBDataProvider::InsertThroughDataSet(Boolean append) {
  TDataSet* dataSet = GetDataSet();
  if (!dataSet) return;
  struct Flags {
    TcxDBDataProvider* Self;
    ~Flags() {
      Self->FInInsert = false;
      Self->FInsertOperation = false;
    }
  } reset{this};
  FInInsert = true;
  FInsertOperation = !append;
  if (IsEditState(dataSet)) {
    if (dataSet->GetState() == dsInsert) DataController()->CheckBrowseMode();
    if (IsEditState(dataSet)) FDataLink->UpdateRecord();
  }
  if (append)
    dataSet->Append();
  else
    dataSet->Insert();
}

void TcxDBDataProvider::Append() { InsertThroughDataSet(true); }

void TcxDBDataProvider::Insert() { InsertThroughDataSet(false); }

void TcxDBDataProvider::Cancel() {
  if (EditsInStorage()) {
    inherited::Cancel();
    return;
  }
  CancelDataSet();
}

void TcxDBDataProvider::Edit() {
  if (EditsInStorage()) {
    inherited::Edit();
    return;
  }
  if (TDataSet* dataSet = GetDataSet()) dataSet->Edit();
}

void TcxDBDataProvider::Post(Boolean force) {
  if (EditsInStorage()) {
    inherited::Post(force);
    return;
  }
  TDataSet* dataSet = GetDataSet();
  if (!dataSet) return;
  TcxDBDataController* controller = DataController();
  controller->BeginUpdate();
  try {
    if (force)
      dataSet->Post();
    else
      dataSet->CheckBrowseMode();
  } catch (...) {
    controller->EndUpdate();
    throw;
  }
  controller->EndUpdate();
}

void TcxDBDataProvider::PostEditingData() {
  if (FDataLink->GetActive()) FDataLink->UpdateRecord();
}

void TcxDBDataProvider::GetEditValue(Integer recordIndex, TcxCustomDataField* field, TcxDataEditValueSource kind,
                                     Variant& value) {
  value = Null();
  auto* dataField = static_cast<TcxDBDataField*>(field);
  TField* dataSetField = dataField->GetField();
  if (!dataSetField) {
    if (dataField->IsUnbound()) inherited::GetEditValue(recordIndex, field, kind, value);
    return;
  }
  if (kind == evsText) {
    if (!dataSetField->GetIsNull() || dataSetField->GetOnGetText()) value = Variant(dataSetField->GetEditText());
    return;
  }
  if (!dataSetField->GetIsNull()) value = dataSetField->GetAsVariant();
}

Boolean TcxDBDataProvider::SetEditValue(Integer recordIndex, TcxCustomDataField* field, const Variant& value,
                                        TcxDataEditValueSource kind) {
  auto* dataField = static_cast<TcxDBDataField*>(field);
  TField* dataSetField = dataField->GetField();
  if (!dataSetField) return dataField->IsUnbound() && inherited::SetEditValue(recordIndex, field, value, kind);
  if (kind == evsText || dataSetField->GetOnSetText()) {
    dataSetField->SetEditText(value.IsNull() ? AnsiString() : value.AsString());
  } else if (value.IsNull()) {
    dataSetField->Clear();
  } else if ((dataSetField->GetDataType() == ftDateTime || dataSetField->GetDataType() == ftDate ||
              dataSetField->GetDataType() == ftTime) &&
             (value.GetType() == varDouble || value.GetType() == varSingle || value.GetType() == varCurrency)) {
    dataSetField->SetAsDateTime(TDateTime(value.AsDouble()));
  } else {
    dataSetField->SetAsVariant(value);
  }
  return true;
}

void TcxDBDataProvider::AssignItemValue(Integer recordIndex, TcxCustomDataField* field, const Variant& value) {
  TField* dataSetField = static_cast<TcxDBDataField*>(field)->GetField();
  if (!dataSetField) {
    inherited::AssignItemValue(recordIndex, field, value);
    return;
  }
  dataSetField->SetAsVariant(value);
  AddAssignedField(dataSetField);
}

void TcxDBDataProvider::AssignItemValues(Integer recordIndex, const std::vector<Variant>& groupingValues) {
  if (IsInserting() || FInInitEditing || IsOtherInsert()) {
    FAssignedFields.clear();
    inherited::AssignItemValues(recordIndex, groupingValues);
    // A new detail record belongs to its master record: it takes the master's key.
    TcxDBDataController* controller = DataController();
    TDataSet* dataSet = GetDataSet();
    if (dataSet && controller->GetOptions().Contains(dcoAssignMasterDetailKeys) && IsKeyLinkedDetail() &&
        !VarIsEmpty(controller->GetMasterDetailKeyValues())) {
      const std::vector<TField*>& keyFields = controller->GetMasterDetailKeyFields();
      WriteFieldValues(dataSet, keyFields, controller->GetMasterDetailKeyValues());
      for (TField* field : keyFields) AddAssignedField(field);
    }
    controller->NewRecordValuesAssigned(recordIndex);
  }
  RereadEditingRecord();
}

void TcxDBDataProvider::Delete() {
  TDataSet* dataSet = GetDataSet();
  TcxDBDataController* controller = DataController();
  if (!dataSet || controller->GetFocusedRecordIndex() < 0) return;
  controller->DoBeforeDelete(controller->GetFocusedRecordIndex());
  // The dataset's change notice is held back until the delete is done; the reload it then
  // brings gives the controller its new records and the dataset cursor's record index, and
  // EndDeleting focuses the nearest record among them.
  struct PreventLayout {
    TcxDBDataLink* Link;
    ~PreventLayout() { Link->FPreventLayoutChanged = false; }
  } prevent{FDataLink};
  FDataLink->FPreventLayoutChanged = true;
  dataSet->DisableControls();
  try {
    dataSet->Delete();
  } catch (...) {
    dataSet->EnableControls();
    throw;
  }
  dataSet->EnableControls();
  controller->DoAfterDelete();
}

void TcxDBDataProvider::DeleteRecords(const std::vector<Integer>& recordIndexes) {
  TDataSet* dataSet = GetDataSet();
  TcxDBDataController* controller = DataController();
  if (!dataSet || recordIndexes.empty()) return;
  dataSet->DisableControls();
  try {
    if (controller->HasRecordKeys()) {
      std::vector<Variant> keys;
      for (Integer recordIndex : recordIndexes) keys.push_back(controller->GetRecordID(recordIndex));
      for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
        if (!dataSet->Locate(controller->GetKeyFieldNames(), *it, {})) continue;
        controller->DoBeforeDelete(recordIndexes[std::size_t(keys.rend() - it - 1)]);
        dataSet->Delete();
        controller->DoAfterDelete();
      }
    } else if (controller->CanFocusRecord(recordIndexes.back())) {
      // The cursor stands on the last listed record; each delete leaves it on the record after
      // the deleted one (on the one before when the last record went).
      Integer current = recordIndexes.back();
      Integer count = controller->GetRecordCount();
      for (auto it = recordIndexes.rbegin(); it != recordIndexes.rend(); ++it) {
        Integer distance = *it - current;
        if (distance != 0) dataSet->MoveBy(distance);
        controller->DoBeforeDelete(*it);
        const Boolean wasLast = *it == count - 1;
        dataSet->Delete();
        controller->DoAfterDelete();
        --count;
        current = wasLast ? *it - 1 : *it;
      }
    }
  } catch (...) {
    dataSet->EnableControls();
    throw;
  }
  dataSet->EnableControls();
  if (!controller->HasRecordKeys()) controller->ClearSelection();
}

void TcxDBDataProvider::EndDeleting() {
  TcxDBDataController* controller = DataController();
  const Integer nearest = controller->GetNearestRecordIndex();
  try {
    if (nearest >= 0 && nearest < controller->GetRecordCount()) controller->ChangeFocusedRecordIndex(nearest);
  } catch (...) {
    inherited::EndDeleting();
    throw;
  }
  inherited::EndDeleting();
}

void TcxDBDataProvider::SetDataSource(TDataSource* value) {
  if (value == GetDataSource()) return;
  const Boolean wasActive = FDataLink->GetActive();
  FDataLink->SetDataSource(value);
  if (wasActive == FDataLink->GetActive()) DataController()->UpdateFields();
}

// ==== Data mode settings =====================================================================

void TcxDBDataModeController::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TcxDBDataModeController*>(source)) {
    SetDetailInSQLMode(other->FDetailInSQLMode);
    SetDetailSyncMode(other->FDetailSyncMode);
    SetGridMode(other->FGridMode);
    SetGridModeBufferCount(other->FGridModeBufferCount);
    SetSmartRefresh(other->FSmartRefresh);
    SetInsertTracking(other->FInsertTracking);
    SetSyncMode(other->FSyncMode);
    FOnDetailFirst = other->FOnDetailFirst;
    FOnDetailIsCurrentQuery = other->FOnDetailIsCurrentQuery;
    return;
  }
  inherited::Assign(source);
}

Boolean TcxDBDataModeController::DetailIsCurrentQuery(const AnsiString& masterDetailKeyFieldNames,
                                                      const Variant& masterDetailKeyValues) {
  if (FOnDetailIsCurrentQuery)
    return FOnDetailIsCurrentQuery(this, FDataController->GetDataSet(), masterDetailKeyFieldNames,
                                   masterDetailKeyValues);
  return FDataController->GetDetailFilterAdapter()->IsCurrentQuery(FDataController->GetDataSet(),
                                                                    masterDetailKeyFieldNames, masterDetailKeyValues);
}

void TcxDBDataModeController::DetailFirst(const AnsiString& masterDetailKeyFieldNames, const Variant& masterDetailKeyValues,
                                          Boolean& reopened) {
  reopened = false;
  if (FOnDetailFirst) {
    FOnDetailFirst(this, FDataController->GetDataSet(), masterDetailKeyFieldNames, masterDetailKeyValues, reopened);
    return;
  }
  FDataController->GetDetailFilterAdapter()->SelectDetail(FDataController->GetDataSet(), masterDetailKeyFieldNames,
                                                          masterDetailKeyValues, FDetailInSQLMode, reopened);
}

// ==== Detail filter adapters =====================================================================

namespace {

// The dataset's published Params, or nil.
TParams* DetailDataSetParams(TDataSet* dataSet) {
  if (!dataSet) return nullptr;
  orv::BoundProperty bound;
  if (!orv::FindProperty(orv::Instance::Of(dataSet), "Params", bound)) return nullptr;
  return dynamic_cast<TParams*>(bound.Info->GetObject(bound.Self));
}

}  // namespace

Boolean TcxDBProviderDetailFilterAdapter::IsCurrentQuery(TDataSet* dataSet, const AnsiString& paramName,
                                                         const Variant& value) {
  TParams* params = DetailDataSetParams(dataSet);
  TParam* param = params ? params->FindParam(paramName) : nullptr;
  return param && VarEqualsExactly(param->GetValue(), value);
}

void TcxDBProviderDetailFilterAdapter::ReopenSQL(TDataSet* dataSet, const AnsiString& paramName, const Variant& value,
                                                 Boolean& reopened) {
  TParams* params = DetailDataSetParams(dataSet);
  TParam* param = params ? params->FindParam(paramName) : nullptr;
  // Without the parameter the query cannot be made for the key.
  if (!param) return;
  if (VarEqualsExactly(param->GetValue(), value)) {
    dataSet->First();
    return;
  }
  dataSet->DisableControls();
  try {
    dataSet->Close();
    param->SetValue(value);
    dataSet->Open();
  } catch (...) {
    dataSet->EnableControls();
    throw;
  }
  dataSet->EnableControls();
  reopened = true;
}

void TcxDBProviderDetailFilterAdapter::SelectDetail(TDataSet* dataSet, const AnsiString& names, const Variant& values,
                                                    Boolean sqlMode, Boolean& reopened) {
  if (sqlMode) {
    ReopenSQL(dataSet, names, values, reopened);
    return;
  }
  if (!dataSet || !dataSet->Locate(names, values, TLocateOptions())) return;
  // A locate may stop on any record of the key (a dataset whose current record holds it already
  // stays there): the detail starts at the first of them.
  std::vector<TField*> fields;
  dataSet->GetFieldList(fields, names);
  while (!dataSet->GetBOF()) {
    dataSet->Prior();
    if (dataSet->GetBOF()) break;
    if (CompareVariants(ReadFieldValues(dataSet, fields), values) != 0) {
      dataSet->Next();
      break;
    }
  }
}

TcxDBAdapterList* cxDetailFilterControllers() {
  static const std::unique_ptr<TcxDBAdapterList, orv::FreeDeleter> adapters = [] {
    std::unique_ptr<TcxDBAdapterList, orv::FreeDeleter> list(new TcxDBAdapterList);
    list->RegisterAdapter(TDataSet::StaticClass(), TcxDBProviderDetailFilterAdapter::StaticClass());
    return list;
  }();
  return adapters.get();
}

TcxDBProviderDetailFilterAdapter* TcxDBDataController::GetDetailFilterAdapter() {
  TDataSet* dataSet = GetDataSet();
  auto* adapter = dynamic_cast<TcxDBProviderDetailFilterAdapter*>(
      cxDetailFilterControllers()->FindAdapterFor(dataSet ? dataSet->ClassType() : TDataSet::StaticClass()));
  if (!adapter) RaiseDBControllerError(cxSDBDetailFilterControllerNotFound);
  return adapter;
}

void TcxDBDataModeController::SetGridMode(Boolean value) {
  if (value == FGridMode) return;
  const Boolean wasGridMode = FDataController->IsGridMode();
  FGridMode = value;
  if (FDataController->IsGridMode() != wasGridMode) FDataController->RebuildStructure();
}

void TcxDBDataModeController::SetGridModeBufferCount(Integer value) {
  value = std::max<Integer>(value, 0);
  if (value == FGridModeBufferCount) return;
  FGridModeBufferCount = value;
  if (FDataController->IsGridMode()) FDataController->UpdateGridModeBufferCount();
}

void TcxDBDataModeController::SetSmartRefresh(Boolean value) {
  if (value == FSmartRefresh) return;
  FSmartRefresh = value;
  if (!FDataController->IsGridMode()) FDataController->GetDBProvider()->DataScrolled(0);
}

void TcxDBDataModeController::SetSyncMode(Boolean value) {
  if (value == FSyncMode) return;
  FSyncMode = value;
  TcxDBDataProvider* provider = FDataController->GetDBProvider();
  if (provider->IsActive()) provider->DataScrolled(0);
}

ORV_PUBLISH(TcxDBDataModeController) {
  using T = TcxDBDataModeController;
  p.Property("DetailInSQLMode", &T::GetDetailInSQLMode, &T::SetDetailInSQLMode).Default(false);
  p.Property("GridMode", &T::GetGridMode, &T::SetGridMode).Default(false);
  p.Property("GridModeBufferCount", &T::GetGridModeBufferCount, &T::SetGridModeBufferCount).Default(0);
  p.Property("SmartRefresh", &T::GetSmartRefresh, &T::SetSmartRefresh).Default(false);
  p.Property("SyncMode", &T::GetSyncMode, &T::SetSyncMode).Default(true);
  p.Property("OnDetailFirst", &T::GetOnDetailFirst, &T::SetOnDetailFirst);
  p.Property("OnDetailIsCurrentQuery", &T::GetOnDetailIsCurrentQuery, &T::SetOnDetailIsCurrentQuery);
}

// ==== Controller =============================================================================

Boolean TcxDBDataController::IsSmartRefresh() {
  return FDataModeController->GetSmartRefresh() && !IsGridMode() && HasRecordKeys();
}

void TcxDBDataController::UpdateGridModeBufferCount() {
  auto* provider = GetDBProvider();
  if (!IsGridMode() || !provider->FDataLink->GetActive()) return;
  provider->RefillGridModeBuffer();
}

Integer TcxDBDataController::GetGridModeBufferCount() {
  const Integer count = FDataModeController->GetGridModeBufferCount();
  return count > 0 ? count : GetDefaultGridModeBufferCount();
}

TcxDBDataController::TcxDBDataController(TComponent* owner) : TcxCustomDataController(owner) {
  FDataModeController = new TcxDBDataModeController(this);
  FFieldNotifier = new TcxDataControllerNotifier(this);
}

void TcxDBDataController::BeforeDestruction() {
  InvalidateObjectLinks(this);
  FreeAndNil(FFieldNotifier);
  if (FKeyField) {
    TcxDBDataField* keyField = FKeyField;
    FKeyField = nullptr;
    keyField->Free();
  }
  FreeAndNil(FDataModeController);
  inherited::BeforeDestruction();
}

void TcxDBDataController::Assign(TPersistent* source) {
  inherited::Assign(source);
  if (auto* other = dynamic_cast<TcxDBDataController*>(source)) {
    FDataModeController->Assign(other->FDataModeController);
    SetDataSource(other->GetDataSource());
    SetKeyFieldNames(other->FKeyFieldNames);
    SetDetailKeyFieldNames(other->FDetailKeyFieldNames);
    SetMasterKeyFieldNames(other->FMasterKeyFieldNames);
  }
}

TDataSource* TcxDBDataController::GetDataSource() { return GetDBProvider()->GetDataSource(); }

void TcxDBDataController::SetDataSource(TDataSource* value) {
  TDataSource* old = GetDataSource();
  GetDBProvider()->SetDataSource(value);
  if (old != GetDataSource()) DataSourceChanged();
}

void TcxDBDataController::SetKeyFieldNames(const AnsiString& value) {
  if (value == FKeyFieldNames) return;
  FKeyFieldNames = value;
  if (value.empty()) {
    if (FKeyField) {
      TcxDBDataField* keyField = FKeyField;
      FKeyField = nullptr;
      keyField->Free();
    }
    Change(dccData);
    return;
  }
  if (!FKeyField) FKeyField = static_cast<TcxDBDataField*>(AddInternalField(nullptr, TcxValueTypeClass()));
  ChangeFieldName(FKeyField, value);
}

// ---- Master-detail ----

void TcxDBDataController::SetDetailKeyFieldNames(const AnsiString& value) {
  if (value == FDetailKeyFieldNames) return;
  FDetailKeyFieldNames = value;
  MasterDetailKeyFieldNamesChanged();
}

void TcxDBDataController::SetMasterKeyFieldNames(const AnsiString& value) {
  if (value == FMasterKeyFieldNames) return;
  FMasterKeyFieldNames = value;
  MasterDetailKeyFieldNamesChanged();
}

void TcxDBDataController::MasterDetailKeyFieldNamesChanged() {
  ForgetMasterDetailKeyFields();
  if (auto* relation = dynamic_cast<TcxDBDataRelation*>(GetMasterRelation())) relation->KeyFieldNamesChanged();
}

AnsiString TcxDBDataController::GetMasterDetailKeyFieldNames() {
  return FMasterKeyFieldNames.empty() ? AnsiString() : FDetailKeyFieldNames;
}

void TcxDBDataController::ForgetMasterDetailKeyFields() {
  FMasterDetailKeyFields.clear();
  FMasterDetailKeyFieldsFound = false;
}

const std::vector<TField*>& TcxDBDataController::GetMasterDetailKeyFields() {
  if (!FMasterDetailKeyFieldsFound) {
    FMasterDetailKeyFields.clear();
    TDataSet* dataSet = GetDataSet();
    const AnsiString names = GetMasterDetailKeyFieldNames();
    if (dataSet && !names.empty()) {
      dataSet->GetFieldList(FMasterDetailKeyFields, names);
      // A key field that goes takes the list with it.
      for (TField* field : FMasterDetailKeyFields) field->FreeNotification(FFieldNotifier);
    }
    FMasterDetailKeyFieldsFound = true;
  }
  return FMasterDetailKeyFields;
}

void TcxDBDataController::RemoveNotification(TComponent* component) {
  if (std::find(FMasterDetailKeyFields.begin(), FMasterDetailKeyFields.end(), component) != FMasterDetailKeyFields.end())
    ForgetMasterDetailKeyFields();
  inherited::RemoveNotification(component);
}

void TcxDBDataController::SetMasterRelation(TcxCustomDataRelation* relation, Integer masterRecordIndex) {
  LockUpdate();
  try {
    inherited::SetMasterRelation(relation, masterRecordIndex);
    // Another master record: the shared dataset stands for this detail once it is positioned.
    GetDBProvider()->FDataSetCurrent = false;
    auto* dbRelation = dynamic_cast<TcxDBDataRelation*>(relation);
    if (dbRelation && masterRecordIndex != -1) {
      FMasterDetailKeyValues = dbRelation->GetMasterKeyValues(masterRecordIndex);
      LayoutChanged(2);
    } else {
      FMasterDetailKeyValues = Variant();
    }
  } catch (...) {
    UnlockUpdate();
    throw;
  }
  UnlockUpdate();
}

void TcxDBDataController::RelationChanged(TcxCustomDataRelation* relation) {
  inherited::RelationChanged(relation);
  if (IsDestroying()) return;
  if (TcxCustomDataRelationList* relations = FindRelationList())
    for (Integer i = 0; i < relations->Count(); ++i)
      if (auto* dbRelation = dynamic_cast<TcxDBDataRelation*>(relations->GetItem(i))) dbRelation->UpdateMasterKeyField();
}

void TcxDBDataController::FocusedRecordChanged(Integer prevFocusedRecordIndex, Integer focusedRecordIndex) {
  inherited::FocusedRecordChanged(prevFocusedRecordIndex, focusedRecordIndex);
  if (focusedRecordIndex == -1 || FInResetDataSetCurrent || GetDetailMode() != 2) return;
  const orv::TFlagScope resetting(FInResetDataSetCurrent, true);
  GetDBProvider()->SetDataSetCurrent(true);
}

Boolean TcxDBDataController::CanChangeFocusedRow() {
  if (FInResetDataSetCurrent) return true;
  if (!dynamic_cast<TcxDBDataRelation*>(GetMasterRelation())) return true;
  TcxCustomDataController* master = GetMasterDataController();
  if (!master) return true;
  if (!master->CanChangeFocusedRow()) return false;
  // Posting runs the application's handlers, which may free either controller.
  const orv::TObjectLinkGuard masterAlive(master);
  const orv::TObjectLinkGuard selfAlive(this);
  master->CheckBrowseMode();
  if (!masterAlive.Alive() || !selfAlive.Alive()) return false;
  CheckBrowseMode();
  return masterAlive.Alive() && selfAlive.Alive();
}

Boolean TcxDBDataController::CanChangeDetailExpanding(Integer recordIndex, Boolean expanded) {
  if (expanded && IsGridMode()) {
    // The buffer's rows show other records as the dataset scrolls: details are opened for the
    // record the dataset stands on. Focusing may scroll the buffer once, so it is tried twice.
    for (Integer attempt = 0; attempt < 2 && GetFocusedRecordIndex() != recordIndex; ++attempt)
      ChangeFocusedRecordIndex(recordIndex);
    if (GetFocusedRecordIndex() != recordIndex) return false;
  }
  return inherited::CanChangeDetailExpanding(recordIndex, expanded);
}

void TcxDBDataController::CheckDetailDataSetCurrent() {
  if (GetDetailMode() != 2 || !FDataModeController->GetDetailSyncMode()) return;
  CheckCurrentQuery();
}

void TcxDBDataController::CheckCurrentQuery() {
  if (!FDataModeController->GetDetailInSQLMode() || FInCheckCurrentQuery) return;
  const AnsiString names = GetMasterDetailKeyFieldNames();
  if (names.empty() || VarIsEmpty(FMasterDetailKeyValues) || VarIsNull(FMasterDetailKeyValues)) return;
  TDataSet* dataSet = GetDataSet();
  if (!dataSet || !dataSet->GetActive()) return;
  if (FDataModeController->DetailIsCurrentQuery(names, FMasterDetailKeyValues)) return;
  TcxDBDataProvider* provider = GetDBProvider();
  const orv::TFlagScope checking(FInCheckCurrentQuery, true);
  provider->Freeze();
  try {
    provider->First();
    provider->SavePos();
    provider->RestorePos();
    provider->FCurrentRecordIndex = 0;
  } catch (...) {
    provider->Unfreeze();
    throw;
  }
  provider->Unfreeze();
}

namespace {

// The master's detail controller of the relation for the master's focused record, that record's
// details expanded; nil when nothing is focused or the record stays collapsed. A detail of the
// record's active relation whose dataset already stands on the key values answers instead.
TcxCustomDataController* DetailOfFocusedMasterRecord(TcxCustomDataController* master, Integer relationIndex,
                                                     const Variant& keyValues) {
  const Integer recordIndex = master->GetFocusedRecordIndex();
  if (recordIndex < 0) return nullptr;
  if (!master->ChangeDetailExpanding(recordIndex, true) || !master->GetDetailExpanding(recordIndex)) return nullptr;
  const Integer activeIndex = master->GetDetailActiveRelationIndex(recordIndex);
  if (activeIndex != relationIndex && activeIndex >= 0 && master->IsDetailDataControllerExist(recordIndex, activeIndex)) {
    if (auto* active = dynamic_cast<TcxDBDataController*>(master->GetDetailDataController(recordIndex, activeIndex))) {
      TDataSet* dataSet = active->GetDataSet();
      const std::vector<TField*>& fields = active->GetMasterDetailKeyFields();
      if (dataSet && dataSet->GetActive() && !fields.empty() &&
          CompareVariants(ReadFieldValues(dataSet, fields), keyValues) == 0)
        return active;
    }
  }
  master->ChangeDetailActiveRelationIndex(recordIndex, relationIndex);
  return master->GetDetailDataController(recordIndex, relationIndex);
}

// The controllers from the master up to the root follow their datasets by keys, edit nothing
// and make no detail at the moment.
Boolean MasterChainFollowsDataSets(TcxCustomDataController* master) {
  for (TcxCustomDataController* controller = master; controller; controller = controller->GetMasterDataController()) {
    auto* dbController = dynamic_cast<TcxDBDataController*>(controller);
    if (!dbController) return false;
    TcxDBDataProvider* provider = dbController->GetDBProvider();
    if (!provider->IsSyncMode() || !dbController->HasRecordKeys() || provider->IsEditing()) return false;
  }
  return true;
}

}  // namespace

TcxCustomDataController* TcxDBDataController::FindDetailForDataSetPosition() {
  TcxCustomDataRelation* masterRelation = GetMasterRelation();
  if (!masterRelation || GetMasterDetailKeyFieldNames().empty()) return this;
  auto* relation = dynamic_cast<TcxDBDataRelation*>(masterRelation);
  auto* master = dynamic_cast<TcxDBDataController*>(GetMasterDataController());
  if (!relation || !master || !GetDBProvider()->IsSyncMode() || !MasterChainFollowsDataSets(master) ||
      master->IsCreatingLinkObject())
    return nullptr;
  TDataSet* dataSet = GetDataSet();
  TDataSet* masterDataSet = master->GetDataSet();
  if (!dataSet || !masterDataSet || dataSet->IsEmpty()) return nullptr;
  TcxCustomDataController* result = nullptr;
  {
    const orv::TFlagScope positioning(master->FInUpdateDataSetPos, true);
    std::vector<TField*> detailFields;
    std::vector<TField*> masterFields;
    dataSet->GetFieldList(detailFields, FDetailKeyFieldNames);
    masterDataSet->GetFieldList(masterFields, FMasterKeyFieldNames);
    // Read before the master moves: with one dataset for both, the locate moves this one too.
    const Variant keyValues = ReadFieldValues(dataSet, detailFields);
    if (CompareVariants(keyValues, ReadFieldValues(masterDataSet, masterFields)) != 0) {
      TcxDBDataProvider* masterProvider = master->GetDBProvider();
      Boolean found = false;
      masterProvider->LockLocate();
      try {
        found = masterDataSet->Locate(FMasterKeyFieldNames, keyValues, TLocateOptions());
      } catch (...) {
        masterProvider->UnlockLocate();
        throw;
      }
      masterProvider->UnlockLocate();
      if (!found) return nullptr;
    }
    if (TcxCustomDataController* masterDetail = master->FindDetailForDataSetPosition())
      result = DetailOfFocusedMasterRecord(masterDetail, masterRelation->GetIndex(), keyValues);
  }
  DataLoaded();
  return result;
}

void TcxDBDataController::LocateDetailForDataSetPosition() {
  if (!IsDetailTemplate() || IsLoading() || FInUpdateDataSetPos || FInCheckBrowseMode) return;
  TcxDBDataProvider* provider = GetDBProvider();
  if (provider->GetActiveChanging() || !provider->IsSyncMode()) return;
  // A controller reading, notifying or locating over the dataset moved it itself.
  for (TcxDBDataProvider* other : provider->ProvidersOverDataSet(true))
    if (other->GetLockCount() > 0 || other->FInNotify || other->GetLocateCount() > 0) return;
  // Only a move of the cursor is followed: reloads and checks that leave it on its record (as
  // when the grid is opened) expand no master record of their own accord.
  TDataSet* dataSet = GetDataSet();
  const TBookmarkStr position = dataSet && !dataSet->IsEmpty() ? dataSet->GetBookmarkStr() : TBookmarkStr();
  const Boolean moved = !FFollowedPosition.empty() && !position.empty() && position != FFollowedPosition;
  FFollowedPosition = position;
  if (!moved) return;
  TcxCustomDataController* detail = FindDetailForDataSetPosition();
  if (detail && detail != this) detail->CheckFocusedRow();
}

// ==== Dataset relation ========================================================================

void TcxDBDataRelation::BeforeDestruction() {
  FreeMasterKeyField();
  inherited::BeforeDestruction();
}

void TcxDBDataRelation::FreeMasterKeyField() {
  if (!FMasterKeyField) return;
  TcxDBDataField* field = FMasterKeyField;
  FMasterKeyField = nullptr;
  field->Free();
}

void TcxDBDataRelation::ForgetField(TcxCustomDataField* field) {
  inherited::ForgetField(field);
  if (field == FMasterKeyField) FMasterKeyField = nullptr;
}

TcxDBDataController* TcxDBDataRelation::DetailTemplate() {
  TcxCustomDataController* master = GetDataController();
  if (!master) return nullptr;
  // A master clone's relations have no templates of their own: its template's relation has.
  TcxCustomDataController* pattern = master->GetPatternDataController();
  TcxCustomDataRelationList* relations = pattern ? pattern->FindRelationList() : nullptr;
  const Integer index = GetIndex();
  TcxCustomDataRelation* patternRelation =
      relations && index >= 0 && index < relations->Count() ? relations->GetItem(index) : this;
  TcxCustomDataController* detail = patternRelation->GetDetailDataController();
  if (!detail && patternRelation != this) detail = GetDetailDataController();
  return dynamic_cast<TcxDBDataController*>(detail);
}

AnsiString TcxDBDataRelation::GetDetailKeyFieldNames() {
  TcxDBDataController* detail = DetailTemplate();
  return detail ? detail->GetDetailKeyFieldNames() : AnsiString();
}

AnsiString TcxDBDataRelation::GetMasterKeyFieldNames() {
  TcxDBDataController* detail = DetailTemplate();
  return detail ? detail->GetMasterKeyFieldNames() : AnsiString();
}

Boolean TcxDBDataRelation::HasKeyLink() { return FMasterKeyField && !GetDetailKeyFieldNames().empty(); }

void TcxDBDataRelation::UpdateMasterKeyField() {
  auto* master = dynamic_cast<TcxDBDataController*>(GetDataController());
  const AnsiString names = GetMasterKeyFieldNames();
  if (!master || names.empty()) {
    if (FMasterKeyField) {
      FreeMasterKeyField();
      if (master) master->Change(TcxCustomDataController::dccData);
    }
    return;
  }
  if (!FMasterKeyField)
    FMasterKeyField = static_cast<TcxDBDataField*>(master->AddInternalField(nullptr, TcxValueTypeClass()));
  if (FMasterKeyField->GetFieldName() != names) master->ChangeFieldName(FMasterKeyField, names);
}

void TcxDBDataRelation::GetMasterKeyFieldList(std::vector<TcxCustomDataField*>& list) {
  if (!FMasterKeyField) return;
  if (FMasterKeyField->GetFieldCount() == 0) {
    list.push_back(FMasterKeyField);
    return;
  }
  for (Integer i = 0; i < FMasterKeyField->GetFieldCount(); ++i) list.push_back(FMasterKeyField->GetFieldItem(i));
}

Variant TcxDBDataRelation::GetMasterKeyValues(Integer recordIndex) {
  TcxCustomDataController* master = GetDataController();
  if (!master || recordIndex < 0 || recordIndex >= master->GetRecordCount())
    RaiseDBControllerError(cxSDataRecordIndexError);
  if (!HasKeyLink()) return Null();
  std::vector<TcxCustomDataField*> fields;
  GetMasterKeyFieldList(fields);
  return master->GetRecordKeyValues(recordIndex, fields);
}

void TcxDBDataRelation::KeyFieldNamesChanged() {
  TcxCustomDataController* master = GetDataController();
  if (master && master->GetDetailMode() != 2) Changed();
}

TDataSet* TcxDBDataController::GetDataSet() {
  TDataSource* source = GetDataSource();
  return source ? source->GetDataSet() : nullptr;
}

Integer TcxDBDataController::GetDataSetRecordCount() {
  TDataSet* dataSet = GetDataSet();
  return dataSet && dataSet->GetActive() ? dataSet->GetRecordCount() : 0;
}

Integer TcxDBDataController::GetDataSetRecNo() {
  TDataSet* dataSet = GetDataSet();
  return dataSet && dataSet->GetActive() ? dataSet->GetRecNo() : -1;
}

void TcxDBDataController::SetDataSetRecNo(Integer value) {
  if (TDataSet* dataSet = GetDataSet()) dataSet->SetRecNo(value);
}

Boolean TcxDBDataController::IsDataSetSequenced() {
  TDataSet* dataSet = GetDataSet();
  return dataSet && dataSet->IsSequenced();
}

// ---- Items and their dataset fields ----

TField* TcxDBDataController::GetItemField(Integer itemIndex) {
  return AsDBField(inherited::GetItemField(itemIndex))->GetField();
}

AnsiString TcxDBDataController::GetItemFieldName(Integer itemIndex) {
  return AsDBField(inherited::GetItemField(itemIndex))->GetFieldName();
}

TObject* TcxDBDataController::GetItemByFieldName(const AnsiString& fieldName) {
  for (Integer i = 0; i < GetItemCount(); ++i)
    if (SameFieldName(AsDBField(inherited::GetItemField(i))->GetFieldName(), fieldName)) return GetItem(i);
  return nullptr;
}

void TcxDBDataController::ChangeItemFieldName(Integer itemIndex, const AnsiString& fieldName) {
  TcxDBDataField* field = AsDBField(inherited::GetItemField(itemIndex));
  if (field->GetFieldName() != fieldName) ChangeFieldName(field, fieldName);
}

AnsiString TcxDBDataController::GetItemFilterFieldName(Integer itemIndex) {
  auto* criteria = dynamic_cast<TcxDBDataFilterCriteria*>(GetFilter());
  return GetItemFilterFieldName(itemIndex, criteria ? criteria->GetIgnoreOrigin() : true);
}

AnsiString TcxDBDataController::GetItemFilterFieldName(Integer itemIndex, Boolean ignoreOrigin) {
  TcxDBDataField* field = AsDBField(inherited::GetItemField(itemIndex));
  if (field->IsLookup()) {
    AnsiString names;
    for (Integer i = 0; i < field->GetFieldCount(); ++i) {
      if (i > 0) names += ";";
      names += field->GetFieldItem(i)->GetFieldName();
    }
    return names;
  }
  if (!field->GetField()) return field->GetFieldName();
  return GetFilterFieldName(field->GetField(), ignoreOrigin);
}

void TcxDBDataController::ChangeFieldName(TcxDBDataField* field, const AnsiString& fieldName) {
  const TcxValueTypeClass oldType = field->GetValueTypeClass();
  field->ClearFields();
  if (field->FFieldName != fieldName) {
    // The fields that shared this field's storage keep the old name: the first of them takes
    // the storage (and the bound TField) over, the others refer to it.
    TcxDBDataField* heir = nullptr;
    TcxCustomDataFieldList* fields = GetFields();
    for (Integer i = 0; i < fields->Count(); ++i) {
      TcxDBDataField* other = AsDBField(fields->GetField(i));
      if (!other || other == field || other->GetReferenceField() != field) continue;
      if (!heir) {
        heir = other;
        heir->TakeOverValueDef(field);
      } else {
        other->ShareStorageWith(heir);
      }
    }
    field->FField = nullptr;
    field->FFieldName = fieldName;
  }
  if (HasSeveralFieldNames(fieldName)) {
    // A multi-field key: no storage of its own, one internal sub-field per name.
    LockUpdate();
    try {
      field->ShareStorageWith(nullptr);
      field->ChangeValueType(TcxValueTypeClass());
      for (const AnsiString& name : orv::ExtractFieldNames(fieldName)) {
        auto* subField = static_cast<TcxDBDataField*>(AddInternalField(nullptr, TcxValueTypeClass()));
        field->AddField(subField);
        ChangeFieldName(subField, name);
      }
    } catch (...) {
      UnlockUpdate();
      throw;
    }
    UnlockUpdate();
  } else {
    TcxDBDataField* same = nullptr;
    if (!fieldName.empty()) {
      TcxCustomDataFieldList* fields = GetFields();
      for (Integer i = 0; i < fields->Count() && !same; ++i) {
        TcxDBDataField* other = AsDBField(fields->GetField(i));
        if (other && other != field && SameFieldName(other->FFieldName, fieldName)) same = other;
      }
    }
    if (same) {
      field->ShareStorageWith(same);
      Change(dccData);
    } else {
      field->ShareStorageWith(nullptr);
      LayoutChanged(1);
    }
  }
  if (!SameValueTypeClass(oldType, field->GetValueTypeClass()) && !field->GetIsInternal()) ItemValueTypeChanged(field->GetIndex());
}

void TcxDBDataController::SetupField(TcxDBDataField* field, Boolean force) {
  if (field->GetReferenceField()) return;
  TField* dataSetField = field->FField;
  const Boolean textStored = IsFieldDisplayTextStored(dataSetField, !field->GetIsInternal());
  const TcxValueTypeClass valueType = GetFieldValueTypeClass(dataSetField);
  const Boolean isCurrency = IsCurrencyField(dataSetField);
  const Boolean typeChanged = !SameValueTypeClass(valueType, field->GetValueTypeClass()) || isCurrency != field->FIsCurrency;
  if (typeChanged || textStored != field->GetTextStored()) {
    // One rebuild of the value definition for all three.
    field->BeginRecreate();
    try {
      field->ChangeValueType(valueType);
      field->ChangeTextStored(textStored);
      field->FIsCurrency = isCurrency;
    } catch (...) {
      field->EndRecreate();
      throw;
    }
    field->EndRecreate();
  }
  if (typeChanged || force) ItemValueTypeChangedWithSharers(field);
}

void TcxDBDataController::ItemValueTypeChangedWithSharers(TcxDBDataField* field) {
  TcxCustomDataFieldList* fields = GetFields();
  for (Integer i = 0; i < fields->Count(); ++i) {
    TcxCustomDataField* other = fields->GetField(i);
    if (other != field && other->GetReferenceField() != field) continue;
    GetDataControllerInfo()->FieldComparisonChanged(other);
    if (!other->GetIsInternal()) ItemValueTypeChanged(other->GetIndex());
  }
}

void TcxDBDataController::UpdateField(TcxCustomDataField* f) {
  TcxDBDataField* field = AsDBField(f);
  TDataSet* dataSet = GetDataSet();
  if (!field || field->GetReferenceField() || !dataSet) return;
  TField* dataSetField = nullptr;
  if (!FResetDataSetFields && !field->FFieldName.empty() && !HasSeveralFieldNames(field->FFieldName))
    dataSetField = dataSet->FindField(field->FFieldName);
  field->SetField(dataSetField);
  if (field->FField) {
    SetupField(field, false);
    TField* bound = field->FField;
    if (bound->GetLookup() && field->FFields.empty()) {
      for (const AnsiString& name : orv::ExtractFieldNames(bound->GetKeyFields())) {
        auto* subField = static_cast<TcxDBDataField*>(AddInternalField(nullptr, TcxValueTypeClass()));
        field->AddField(subField);
        subField->FFieldName = name;
      }
    }
  } else if (!field->GetIsInternal()) {
    ItemValueTypeChangedWithSharers(field);
  }
}

void TcxDBDataController::UpdateFields() {
  ForgetMasterDetailKeyFields();
  inherited::UpdateFields();
  // The key fields of lookups are bound after the lookups themselves.
  TcxCustomDataFieldList* fields = GetFields();
  for (Integer i = 0; i < fields->Count(); ++i) {
    TcxDBDataField* field = AsDBField(fields->GetField(i));
    if (field && field->GetParentField() && field->GetParentField()->IsLookup()) UpdateField(field);
  }
}

// ---- Keys ----

void TcxDBDataController::GetKeyFieldList(std::vector<TcxCustomDataField*>& list) {
  if (!FKeyField) return;
  if (FKeyField->GetFieldCount() == 0) {
    list.push_back(FKeyField);
    return;
  }
  for (Integer i = 0; i < FKeyField->GetFieldCount(); ++i) list.push_back(FKeyField->GetFieldItem(i));
}

Boolean TcxDBDataController::HasRecordKeys() { return FKeyField != nullptr && !IsGridMode(); }

Variant TcxDBDataController::GetRecordID(Integer recordIndex) {
  if (recordIndex < 0 || recordIndex >= GetRecordCount()) RaiseDBControllerError(cxSDataRecordIndexError);
  std::vector<TcxCustomDataField*> keyFields;
  GetKeyFieldList(keyFields);
  if (keyFields.empty()) return Null();
  return GetRecordKeyValues(recordIndex, keyFields);
}

Variant TcxDBDataController::GetDataSetKeyValues() {
  std::vector<TcxCustomDataField*> keyFields;
  GetKeyFieldList(keyFields);
  std::vector<TField*> fields;
  for (TcxCustomDataField* keyField : keyFields) {
    TField* field = AsDBField(keyField)->GetField();
    if (!field) RaiseDBControllerError(cxSDBKeyFieldNotFound);
    fields.push_back(field);
  }
  return ReadFieldValues(GetDataSet(), fields);
}

Integer TcxDBDataController::FindRecordIndexByKey(const Variant& keyValue) {
  std::vector<TcxCustomDataField*> keyFields;
  GetKeyFieldList(keyFields);
  if (keyFields.empty()) return -1;
  const std::size_t count = keyFields.size();
  TcxValueDefUnboundReader reader;
  if (count == 1 && !keyValue.IsArray()) {
    if (!keyFields.front()->GetValueDef()) return -1;
    reader.SetValue(keyFields.front()->GetValueDef(), keyValue);
  } else if (count > 1 && keyValue.IsArray() && VarArrayDimCount(keyValue) == 1 && keyValue.LowBound() <= 0 &&
             keyValue.HighBound() >= Integer(count) - 1) {
    for (std::size_t i = 0; i < count; ++i) {
      if (!keyFields[i]->GetValueDef()) return -1;
      reader.SetValue(keyFields[i]->GetValueDef(), keyValue.GetElement(Integer(i)));
    }
  } else {
    return -1;
  }
  std::unique_ptr<TcxDataControllerKeyLocateObject, orv::FreeDeleter> locate(new TcxDataControllerKeyLocateObject(this));
  locate->KeyFields() = keyFields;
  locate->ReadData(&reader);
  return locate->FindRecordIndex();
}

Boolean TcxDBDataController::LocateByKey(const Variant& keyValue) {
  const Integer recordIndex = FindRecordIndexByKey(keyValue);
  if (recordIndex == -1) {
    ChangeFocusedRowIndex(-1);
    return false;
  }
  const Integer rowIndex = GetRowIndexByRecordIndex(recordIndex, true);
  if (rowIndex == -1) return false;
  ChangeFocusedRowIndex(rowIndex);
  return GetFocusedRowIndex() == rowIndex;
}

Integer TcxDBDataController::LocateRecordByCurrentKey() {
  std::vector<TcxCustomDataField*> keyFields;
  GetKeyFieldList(keyFields);
  if (keyFields.empty() || !GetDBProvider()->HasOpenDataSet()) return -1;
  std::unique_ptr<TcxDataControllerKeyLocateObject, orv::FreeDeleter> locate(new TcxDataControllerKeyLocateObject(this));
  locate->KeyFields() = keyFields;
  std::unique_ptr<TcxValueDefReader, orv::FreeDeleter> reader(GetProvider()->CreateValueDefReader());
  locate->ReadData(reader.get());
  return locate->FindRecordIndex();
}

// ---- Loading and structure ----

Boolean TcxDBDataController::IsProviderField(TcxCustomDataField* field) {
  if (inherited::IsProviderField(field)) return true;
  TcxDBDataField* dbField = AsDBField(field);
  return dbField && dbField->GetField();
}

Boolean TcxDBDataController::IsDataStructureChanging() {
  if (inherited::IsDataStructureChanging()) return true;
  TDataSet* dataSet = GetDataSet();
  if (!dataSet || dataSet->GetActive() || !dataSet->GetDefaultFields()) return false;
  return (GetProvider()->GetActiveChanging() && FResetDataSetFields) || dataSet->ControlsDisabled();
}

void TcxDBDataController::LoadData() {
  // Expanded details and selected rows are found again by their keys after the reload.
  BeginSaveState();
  try {
    inherited::LoadData();
  } catch (...) {
    EndSaveState();
    throw;
  }
  EndSaveState();
  GetDBProvider()->FPostLocate = false;
}

void TcxDBDataController::NotifyDataLoaded() { GetDBProvider()->NotifyListeners(); }

void TcxDBDataController::DeferredDataSetRefresh() {
  if (TcxDBDataProvider* provider = GetDBProvider()) provider->MakeHeldDataSetChange();
}

void TcxDBDataController::RebuildStructure() {
  GetDBProvider()->GetDBDataLink()->SetBufferCount(1);
  inherited::RebuildStructure();
}

void TcxDBDataController::ActiveChanged(Boolean active) {
  if (!active) {
    inherited::ActiveChanged(active);
    return;
  }
  // The rebuild and the item update each ask for a reload: inside one lock it runs once, at the
  // unlock.
  LockUpdate();
  try {
    RebuildStructure();
    inherited::ActiveChanged(active);
  } catch (...) {
    UnlockUpdate();
    throw;
  }
  UnlockUpdate();
}

void TcxDBDataController::CheckFocusedRow() {
  if (IsDetailTemplate()) {
    // A template holds no records: the dataset's position picks the detail that has them.
    LocateDetailForDataSetPosition();
    return;
  }
  LockUpdate();
  try {
    inherited::CheckFocusedRow();
    TcxDBDataProvider* provider = GetDBProvider();
    if (HasRecordKeys() && provider->IsSyncMode()) {
      const Integer recordIndex = LocateRecordByCurrentKey();
      if (recordIndex != provider->FCurrentRecordIndex) {
        provider->FCurrentRecordIndex = recordIndex;
        inherited::CheckFocusedRow();
      }
    }
  } catch (...) {
    UnlockUpdate();
    throw;
  }
  UnlockUpdate();
}

Boolean TcxDBDataController::CanFocusRecord(Integer recordIndex) {
  // A re-queried detail first makes its dataset hold its own master's records again.
  if (recordIndex >= 0) CheckDetailDataSetCurrent();
  TcxDBDataProvider* provider = GetDBProvider();
  if (provider->IsInserting() && recordIndex == provider->GetEditingRecordIndex()) return true;
  if (GetUseNewItemRowForEditing() && recordIndex < -1) {
    if (!provider->IsInserting()) Post(false);
    return true;
  }
  Boolean result;
  provider->LockLocate();
  try {
    result = provider->IsSyncMode() ? MoveDataSetToRecord(recordIndex) : inherited::CanFocusRecord(recordIndex);
  } catch (...) {
    provider->UnlockLocate();
    throw;
  }
  provider->UnlockLocate();
  DataLoaded();
  return result;
}

Boolean TcxDBDataController::MoveDataSetToRecord(Integer recordIndex) {
  if (recordIndex < 0) return false;
  TcxDBDataProvider* provider = GetDBProvider();
  if (HasRecordKeys()) {
    const Variant recordKeys = GetRecordID(recordIndex);
    const Variant currentKeys = GetDataSetKeyValues();
    if (recordIndex == provider->FCurrentRecordIndex && CompareVariants(recordKeys, currentKeys) == 0) {
      CheckBrowseMode();
      return true;
    }
    CheckBrowseMode();
    if (!GetDataSet()->Locate(FKeyFieldNames, recordKeys, {})) return false;
    provider->FCurrentRecordIndex = recordIndex;
    return true;
  }
  CheckBrowseMode();
  provider->MoveBy(recordIndex - provider->FCurrentRecordIndex);
  return true;
}

void TcxDBDataController::CheckBrowseMode() {
  if (FInCheckBrowseMode) return;
  const orv::TFlagScope checking(FInCheckBrowseMode, true);
  TDataSet* dataSet = GetDataSet();
  if (dataSet && dataSet->GetState() != dsInactive) {
    dataSet->DataEvent(deCheckBrowseMode, 0);
    const TDataSetState state = dataSet->GetState();
    if (state == dsEdit || state == dsInsert) {
      dataSet->UpdateRecord();
      if (GetDBProvider()->IsDataSetModified()) {
        dataSet->DisableControls();
        try {
          dataSet->Post();
        } catch (...) {
          dataSet->EnableControls();
          throw;
        }
        dataSet->EnableControls();
      } else {
        Cancel();
      }
    }
  }
}

void TcxDBDataController::RefreshExternalData() {
  TDataSet* dataSet = GetDataSet();
  if (dataSet && dataSet->GetActive()) dataSet->Refresh();
}

void TcxDBDataController::Loaded() {
  if (!FLoaded && GetProvider()->AreFieldsAvailable()) LayoutChanged(1);
  inherited::Loaded();
  FLoaded = true;
}

void TcxDBDataController::SetItemValueTypeClass(Integer itemIndex, TcxValueTypeClass valueTypeClass) {
  // A bound item keeps the type of its dataset field.
  if (AsDBField(inherited::GetItemField(itemIndex))->GetField()) return;
  inherited::SetItemValueTypeClass(itemIndex, valueTypeClass);
}

Boolean TcxDBDataController::IsItemDisplayTextStored(Integer itemIndex, Boolean flag) {
  const Boolean stored = inherited::IsItemDisplayTextStored(itemIndex, flag);
  TField* field = AsDBField(inherited::GetItemField(itemIndex))->GetField();
  if (flag && field && IsCurrencyField(field)) return false;
  return stored;
}

Variant TcxDBDataController::GetGroupingValue(Integer recordIndex, TcxCustomDataField* field) {
  TcxDBDataField* dbField = AsDBField(field);
  if (!dbField || !dbField->IsLookup() || dbField->GetFieldCount() == 0) return inherited::GetGroupingValue(recordIndex, field);
  if (dbField->GetFieldCount() == 1) return GetFieldValue(recordIndex, dbField->GetFieldItem(0));
  Variant result = VarArrayCreate(0, dbField->GetFieldCount() - 1, varVariant);
  for (Integer i = 0; i < dbField->GetFieldCount(); ++i) result.PutElement(i, GetFieldValue(recordIndex, dbField->GetFieldItem(i)));
  return result;
}

// ==== Dataset filter criteria ================================================================

TcxDataFilterCriteriaClass TcxDBDataController::GetFilterCriteriaClass() {
  return TcxDBDataFilterCriteria::StaticClass();
}

// ---- adapters

void TcxDBAdapterList::BeforeDestruction() {
  while (!FItems.empty()) {
    TcxDBAdapterItem* item = FItems.back();
    FItems.pop_back();
    item->Free();
  }
  inherited::BeforeDestruction();
}

Boolean TcxDBAdapterList::FindAdapter(TClass dataSetClass, Integer& index) {
  index = -1;
  for (Integer i = GetCount() - 1; i >= 0; --i) {
    const TClass itemClass = FItems[std::size_t(i)]->GetDataSetClass();
    if (dataSetClass->InheritsFrom(itemClass)) {
      index = i;
      return true;
    }
    if (itemClass->InheritsFrom(dataSetClass)) index = i;
  }
  return false;
}

void TcxDBAdapterList::RegisterAdapter(TClass dataSetClass, TcxDBAdapterItemClass adapterClass) {
  Integer index;
  const Boolean found = FindAdapter(dataSetClass, index);
  TcxDBAdapterItem* item = adapterClass.Create(dataSetClass);
  if (found)
    FItems.insert(FItems.begin() + index + 1, item);
  else if (index >= 0)
    FItems.insert(FItems.begin() + index, item);
  else
    FItems.push_back(item);
}

void TcxDBAdapterList::UnregisterAdapter(TClass dataSetClass, TcxDBAdapterItemClass adapterClass) {
  for (Integer i = GetCount() - 1; i >= 0; --i) {
    TcxDBAdapterItem* item = FItems[std::size_t(i)];
    if (item->GetDataSetClass() == dataSetClass && item->ClassType() == TClass(adapterClass)) {
      FItems.erase(FItems.begin() + i);
      item->Free();
    }
  }
}

TcxDBAdapterItem* TcxDBAdapterList::FindAdapterFor(TClass dataSetClass) {
  Integer index;
  return dataSetClass && FindAdapter(dataSetClass, index) ? FItems[std::size_t(index)] : nullptr;
}

void TcxDBFilterOperatorAdapter::PrepareOperatorClass(TObject* item, TDataSet* dataSet,
                                                      TcxFilterOperatorClass& operatorClass) {
  if (!dataSet || UpperCase(dataSet->ClassName()).find("QUERY") == AnsiString::npos) return;
  const TClass c = operatorClass;
  if (c->InheritsFrom(TcxFilterNotNullOperator::StaticClass()))
    operatorClass = TcxFilterSQLNotNullOperator::StaticClass();
  else if (c->InheritsFrom(TcxFilterNullOperator::StaticClass()))
    operatorClass = TcxFilterSQLNullOperator::StaticClass();
}

TcxDBAdapterList* cxDBFilterOperatorAdapters() {
  static const std::unique_ptr<TcxDBAdapterList, orv::FreeDeleter> adapters = [] {
    std::unique_ptr<TcxDBAdapterList, orv::FreeDeleter> list(new TcxDBAdapterList);
    list->RegisterAdapter(TDataSet::StaticClass(), TcxDBFilterOperatorAdapter::StaticClass());
    return list;
  }();
  return adapters.get();
}

// ---- conditions

TcxFilterOperatorClass TcxDBDataFilterCriteriaItem::GetOperatorClass() {
  TcxFilterOperatorClass operatorClass = inherited::GetOperatorClass();
  auto* controller = dynamic_cast<TcxDBDataController*>(GetDataController());
  TDataSet* dataSet = controller ? controller->GetDataSet() : nullptr;
  if (!dataSet || !TClass(operatorClass)) return operatorClass;
  if (auto* adapter = dynamic_cast<TcxDBFilterOperatorAdapter*>(
          cxDBFilterOperatorAdapters()->FindAdapterFor(dataSet->ClassType())))
    adapter->PrepareOperatorClass(this, dataSet, operatorClass);
  return operatorClass;
}

// ---- criteria

TcxDBDataFilterCriteria::TcxDBDataFilterCriteria(TcxCustomDataController* dataController)
    : TcxDataFilterCriteria(dataController) {}

TcxDBDataController* TcxDBDataFilterCriteria::GetDBDataController() const {
  return static_cast<TcxDBDataController*>(GetDataController());
}

void TcxDBDataFilterCriteria::DoFormatFilterTextValue(TcxFilterCriteriaItem* item, const Variant& value,
                                                      AnsiString& text) {
  if (FOnFormatFilterTextValue) FOnFormatFilterTextValue(this, value, text);
}

TcxFilterCriteriaItemClass TcxDBDataFilterCriteria::GetItemClass() { return TcxDBDataFilterCriteriaItem::StaticClass(); }

Boolean TcxDBDataFilterCriteria::IsDataSetFilterInUse() {
  return FAutoDataSetFilter && !GetDataController()->IsSmartRefresh();
}

Boolean TcxDBDataFilterCriteria::IsFiltering() {
  return inherited::IsFiltering() && !FOnBeforeChange && !IsDataSetFilterInUse();
}

void TcxDBDataFilterCriteria::DoChanged() {
  if (IsExtraFilter()) return;
  TcxDBDataController* controller = GetDBDataController();
  const Boolean dying = IsDestroying() || controller->IsDestroying();
  if (!dying) {
    TDataSet* dataSet = controller->GetDataSet();
    if (dataSet && (dataSet->GetState() == dsEdit || dataSet->GetState() == dsInsert ||
                    dataSet->GetState() == dsSetKey)) {
      try {
        controller->CheckBrowseMode();
      } catch (...) {
        // Inactive without reporting the change again: the error goes to the caller.
        LockChanges();
        SetActive(false);
        UnlockChangesSilently();
        throw;
      }
    }
    if (FOnBeforeChange && !controller->IsLoading()) FOnBeforeChange(this, dataSet, GetFilterText());
    if (dataSet && IsDataSetFilterInUse()) {
      const AnsiString text = GetFilterText();
      TFilterOptions options;
      if (GetOptions().Contains(fcoCaseInsensitive)) options += TFilterOptions{foCaseInsensitive};
      const Boolean filtered = GetActive() && !text.empty();
      if (dataSet->GetFilter() != text || dataSet->GetFilterOptions() != options || dataSet->GetFiltered() != filtered) {
        dataSet->DisableControls();
        try {
          dataSet->SetFilter(text);
          dataSet->SetFilterOptions(options);
          dataSet->SetFiltered(filtered);
        } catch (...) {
          dataSet->EnableControls();
          throw;
        }
        dataSet->EnableControls();
      }
    }
  }
  inherited::DoChanged();
  if (dying) return;
  TcxDBDataProvider* provider = controller->GetDBProvider();
  if (provider->IsSyncMode() && controller->GetFocusedRowIndex() == -1 && !controller->GetNewItemRowFocused() &&
      controller->GetRowCount() > 0)
    controller->ChangeFocusedRowIndex(0);
}

void TcxDBDataFilterCriteria::AssignCriteria(TPersistent* source, Boolean withoutNames) {
  auto* other = dynamic_cast<TcxDBDataFilterCriteria*>(source);
  BeginUpdate();
  try {
    inherited::AssignCriteria(source, withoutNames);
    if (other) {
      SetAutoDataSetFilter(other->FAutoDataSetFilter);
      SetIgnoreOrigin(other->FIgnoreOrigin);
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxDBDataFilterCriteria::CopyEvents(TcxFilterCriteria* source) {
  inherited::CopyEvents(source);
  if (auto* other = dynamic_cast<TcxDBDataFilterCriteria*>(source)) {
    FOnBeforeChange = other->FOnBeforeChange;
    FOnFormatFilterTextValue = other->FOnFormatFilterTextValue;
  }
}

void TcxDBDataFilterCriteria::RestoreDefaults() {
  BeginUpdate();
  try {
    inherited::RestoreDefaults();
    SetAutoDataSetFilter(false);
    SetIgnoreOrigin(true);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxDBDataFilterCriteria::SetAutoDataSetFilter(Boolean value) {
  if (FAutoDataSetFilter == value) return;
  FAutoDataSetFilter = value;
  MarkChanged();
}

void TcxDBDataFilterCriteria::SetIgnoreOrigin(Boolean value) {
  if (FIgnoreOrigin == value) return;
  FIgnoreOrigin = value;
  MarkChanged();
}

ORV_PUBLISH(TcxDBDataFilterCriteria) {
  using T = TcxDBDataFilterCriteria;
  p.Property("AutoDataSetFilter", &T::GetAutoDataSetFilter, &T::SetAutoDataSetFilter).Default(false);
  p.Property("DateTimeFormat", &T::GetDateTimeFormat, &T::SetDateTimeFormat);
  p.Property("IgnoreOrigin", &T::GetIgnoreOrigin, &T::SetIgnoreOrigin).Default(true);
  p.Property("SupportedLike", &T::GetSupportedLike, &T::SetSupportedLike).Default(true);
  p.Property("TranslateBetween", &T::GetTranslateBetween, &T::SetTranslateBetween).Default(false);
  p.Property("TranslateIn", &T::GetTranslateIn, &T::SetTranslateIn).Default(false);
  p.Property("TranslateLike", &T::GetTranslateLike, &T::SetTranslateLike).Default(false);
  p.Property("OnBeforeChange", &T::GetOnBeforeChange, &T::SetOnBeforeChange);
  p.Property("OnFormatFilterTextValue", &T::GetOnFormatFilterTextValue, &T::SetOnFormatFilterTextValue);
}

// ==== Grid mode ==============================================================================

Integer TcxDBDataController::GetEffectiveFocusedRecordIndex() {
  if (!IsGridMode()) return inherited::GetEffectiveFocusedRecordIndex();
  return GetDBProvider()->GetDBDataLink()->GetActiveRecord();
}

Boolean TcxDBDataController::IsDataChangeLocked() {
  if (inherited::IsDataChangeLocked()) return true;
  TDataSet* dataSet = GetDataSet();
  return IsGridMode() && dataSet && dataSet->GetState() == dsInsert;
}

TBookmarkStr TcxDBDataController::GetRowBookmark(Integer rowIndex) {
  if (!IsGridMode()) return TBookmarkStr();
  TcxDBDataLink* link = GetDBProvider()->GetDBDataLink();
  const Integer active = link->GetActiveRecord();
  link->SetActiveRecord(GetRowInfo(rowIndex).RecordIndex);
  TBookmarkStr bookmark;
  try {
    bookmark = GetDataSet()->GetBookmarkStr();
  } catch (...) {
    link->SetActiveRecord(active);
    throw;
  }
  link->SetActiveRecord(active);
  return bookmark;
}

Variant TcxDBDataController::GetRowID(Integer rowIndex) {
  if (!IsGridMode() || rowIndex < 0) return inherited::GetRowID(rowIndex);
  return Variant(GetRowBookmark(rowIndex));
}

Boolean TcxDBDataController::SearchInGridMode(const AnsiString& text, Boolean forward, Boolean fromNext) {
  TDataSet* dataSet = GetDataSet();
  TcxDBDataProvider* provider = GetDBProvider();
  if (!dataSet || !dataSet->GetActive() || provider->IsEditing() || (dataSet->GetBOF() && dataSet->GetEOF())) return false;
  TcxDataControllerSearch* search = GetSearch();
  const Integer itemIndex = search->GetItemIndex();
  TField* field = itemIndex == -1 ? nullptr : GetItemField(itemIndex);
  if (!field) return false;
  auto matches = [&] { return TextMatchesSearch(field->GetDisplayText(), text, true); };
  search->Lock();
  Boolean found = false;
  try {
    found = SearchDataSet(dataSet, matches, forward, fromNext);
  } catch (...) {
    search->Unlock();
    throw;
  }
  search->Unlock();
  if (found) SelectFocusedRow();
  return found;
}

Boolean TcxDBDataController::SearchDataSet(TDataSet* dataSet, const std::function<Boolean()>& matches, Boolean forward,
                                           Boolean fromNext) {
  TcxDBDataProvider* provider = GetDBProvider();
  Boolean found = false;
  if (!fromNext && matches()) {
    found = true;
    CheckFocusedRow();
  } else {
    provider->Freeze();
    try {
      provider->SavePos();
      const TBookmarkStr start = dataSet->GetBookmarkStr();
      TBookmarkStr stop;
      Boolean stopSet = false, ended = false;
      // One step; at the end the search wraps (from the current record) or ends (from the next).
      auto step = [&] {
        if (forward)
          dataSet->Next();
        else
          dataSet->Prior();
        if (forward ? dataSet->GetEOF() : dataSet->GetBOF()) {
          if (fromNext) {
            ended = true;
          } else if (forward) {
            dataSet->First();
          } else {
            dataSet->Last();
          }
          if (!stopSet) {
            stop = start;
            stopSet = true;
          }
        }
      };
      if (fromNext) step();
      while (!ended) {
        if (stopSet && dataSet->CompareBookmarks(dataSet->GetBookmarkStr(), stop) == 0) break;
        if (matches()) {
          found = true;
          break;
        }
        step();
      }
      if (!found) provider->RestorePos();
    } catch (...) {
      provider->Unfreeze();
      throw;
    }
    provider->Unfreeze();
    if (found) Change(dccLayout);
    DataLoaded();
  }
  return found;
}

void TcxDBDataController::ForEachRow(Boolean selectedRowsOnly, const TcxDataControllerEachRowProc& proc, Pointer data) {
  TDataSet* dataSet = GetDataSet();
  if (!IsGridMode() || !dataSet) {
    inherited::ForEachRow(selectedRowsOnly, proc, data);
    return;
  }
  if (selectedRowsOnly) {
    if (IsSingleSelectMode()) {
      const Integer row = GetFocusedRowIndex();
      if (row >= 0 && row < GetRowCount() && GetSelectedCount() > 0) proc(data, row, GetRowInfo(row));
      return;
    }
    // Each selected bookmark becomes the dataset's record in turn.
    TcxBookmarkList* bookmarks = static_cast<TcxDBDataSelection*>(GetSelection())->GetBookmarks();
    for (Integer i = 0; i < bookmarks->GetCount(); ++i) {
      dataSet->SetBookmarkStr(bookmarks->Get(i));
      const Integer row = GetFocusedRowIndex();
      if (row >= 0 && row < GetRowCount()) proc(data, row, GetRowInfo(row));
    }
    return;
  }
  for (dataSet->First(); !dataSet->GetEOF(); dataSet->Next()) {
    const Integer row = GetFocusedRowIndex();
    if (row >= 0 && row < GetRowCount()) proc(data, row, GetRowInfo(row));
  }
}

Boolean TcxDBDataController::SetBookmark() {
  if (!IsGridMode()) return inherited::SetBookmark();
  TDataSet* dataSet = GetDataSet();
  if (!dataSet) return false;
  const TBookmarkStr bookmark = dataSet->GetBookmarkStr();
  if (FBookmark.empty() || dataSet->CompareBookmarks(bookmark, FBookmark) != 0) FBookmark = bookmark;
  return false;
}

void TcxDBDataController::ClearBookmark() {
  FBookmark.clear();
  inherited::ClearBookmark();
}

void TcxDBDataController::GotoBookmark() {
  if (!IsGridMode()) {
    inherited::GotoBookmark();
    return;
  }
  if (TDataSet* dataSet = GetDataSet(); dataSet && !FBookmark.empty()) dataSet->SetBookmarkStr(FBookmark);
}

Boolean TcxDBDataController::HasBookmark() {
  if (!IsGridMode()) return inherited::HasBookmark();
  return !FBookmark.empty();
}

Boolean TcxDBDataController::IsBookmarkRow(Integer rowIndex) {
  if (!IsGridMode()) return inherited::IsBookmarkRow(rowIndex);
  TDataSet* dataSet = GetDataSet();
  return !FBookmark.empty() && dataSet && dataSet->CompareBookmarks(GetRowBookmark(rowIndex), FBookmark) == 0;
}

Boolean TcxDBDataController::IsBookmarkAffected(Integer recordIndex) {
  if (!IsGridMode()) return inherited::IsBookmarkAffected(recordIndex);
  TDataSet* dataSet = GetDataSet();
  return !dataSet || !dataSet->BookmarkValid(FBookmark);
}

// ==== Bookmark selection =====================================================================

TcxDBDataSelection::TcxDBDataSelection(TcxCustomDataController* dataController)
    : TcxDataSelection(dataController), FBookmarks(new TcxBookmarkList) {}

void TcxDBDataSelection::BeforeDestruction() {
  FreeAndNil(FBookmarks);
  inherited::BeforeDestruction();
}

TcxDBDataController* TcxDBDataSelection::DBController() const {
  return static_cast<TcxDBDataController*>(GetDataController());
}

Boolean TcxDBDataSelection::InGridMode() const { return DBController()->IsGridMode(); }

void TcxDBDataSelection::ClearAnchor() {
  inherited::ClearAnchor();
  FAnchorBookmark.clear();
}

void TcxDBDataSelection::AddItem(Integer position, Integer rowIndex, Integer recordIndex, Integer level) {
  inherited::AddItem(position, rowIndex, recordIndex, level);
  if (!InGridMode() || FInSelectAll) return;
  const TBookmarkStr bookmark = DBController()->GetRowBookmark(rowIndex);
  if (position < 0 || position >= FBookmarks->GetCount())
    FBookmarks->Add(bookmark);
  else
    FBookmarks->Insert(position, bookmark);
}

void TcxDBDataSelection::ClearItems() {
  inherited::ClearItems();
  FBookmarks->Clear();
}

void TcxDBDataSelection::DeleteItem(Integer index) {
  inherited::DeleteItem(index);
  if (!InGridMode() || FInSelectAll || index >= FBookmarks->GetCount()) return;
  TDataSet* dataSet = DBController()->GetDataSet();
  if (!FAnchorBookmark.empty() && dataSet && dataSet->CompareBookmarks(FBookmarks->Get(index), FAnchorBookmark) == 0)
    FAnchorBookmark.clear();
  FBookmarks->Delete(index);
}

Boolean TcxDBDataSelection::FindBookmark(const TBookmarkStr& bookmark, Integer& index) const {
  TDataSet* dataSet = DBController()->GetDataSet();
  Integer low = 0, high = FBookmarks->GetCount() - 1;
  while (low <= high && dataSet) {
    const Integer middle = (low + high) / 2;
    const Integer c = dataSet->CompareBookmarks(FBookmarks->Get(middle), bookmark);
    if (c == 0) {
      index = middle;
      return true;
    }
    if (c < 0)
      low = middle + 1;
    else
      high = middle - 1;
  }
  index = low;
  return false;
}

Boolean TcxDBDataSelection::FindByRowIndex(Integer rowIndex, Integer& index) const {
  if (!InGridMode()) return inherited::FindByRowIndex(rowIndex, index);
  return FindBookmark(DBController()->GetRowBookmark(rowIndex), index);
}

void TcxDBDataSelection::SyncItemCount() {
  FInSelectAll = true;
  try {
    SetItemCount(FBookmarks->GetCount());
  } catch (...) {
    FInSelectAll = false;
    throw;
  }
  FInSelectAll = false;
}

void TcxDBDataSelection::AddCurrentBookmark() {
  if (!GetDataController()->CanSelectRow(-1)) return;
  const TBookmarkStr bookmark = DBController()->GetDataSet()->GetBookmarkStr();
  Integer index;
  if (!FindBookmark(bookmark, index)) FBookmarks->Insert(index, bookmark);
}

void TcxDBDataSelection::SelectAll() {
  TcxDBDataController* controller = DBController();
  TDataSet* dataSet = controller->GetDataSet();
  if (!dataSet) return;
  TcxDBDataProvider* provider = controller->GetDBProvider();
  provider->Freeze();
  try {
    provider->SavePos();
    inherited::ClearItems();
    FBookmarks->Clear();
    for (dataSet->First(); !dataSet->GetEOF(); dataSet->Next())
      if (controller->CanSelectRow(-1)) FBookmarks->Add(dataSet->GetBookmarkStr());
    SyncItemCount();
    provider->RestorePos();
  } catch (...) {
    FBookmarks->Clear();
    SyncItemCount();
    provider->Unfreeze();
    throw;
  }
  provider->Unfreeze();
  Changed();
  controller->DataLoaded();
}

void TcxDBDataSelection::SelectRange(const TBookmarkStr& bookmark1, const TBookmarkStr& bookmark2, Boolean keepSelection) {
  TcxDBDataController* controller = DBController();
  TDataSet* dataSet = controller->GetDataSet();
  if (!dataSet || (dataSet->GetState() == dsInsert && dataSet->GetEOF())) return;
  TcxDBDataProvider* provider = controller->GetDBProvider();
  provider->Freeze();
  try {
    provider->SavePos();
    const Boolean ordered = dataSet->CompareBookmarks(bookmark1, bookmark2) <= 0;
    const TBookmarkStr& first = ordered ? bookmark1 : bookmark2;
    const TBookmarkStr& last = ordered ? bookmark2 : bookmark1;
    if (!keepSelection) FBookmarks->Clear();
    dataSet->SetBookmarkStr(first);
    while (!dataSet->GetEOF()) {
      AddCurrentBookmark();
      if (dataSet->CompareBookmarks(dataSet->GetBookmarkStr(), last) == 0) break;
      dataSet->Next();
    }
    SyncItemCount();
    provider->RestorePos();
  } catch (...) {
    FBookmarks->Clear();
    SyncItemCount();
    provider->Unfreeze();
    throw;
  }
  provider->Unfreeze();
  Changed();
  controller->DataLoaded();
}

Integer TcxDBDataController::GetSelectedRowIndex(Integer index) {
  if (!IsGridMode() || IsSingleSelectMode()) return inherited::GetSelectedRowIndex(index);
  auto* selection = static_cast<TcxDBDataSelection*>(GetSelection());
  TDataSet* dataSet = GetDataSet();
  if (!dataSet || index < 0 || index >= selection->GetBookmarks()->GetCount() || GetRowCount() == 0) return -1;
  const TBookmarkStr bookmark = selection->GetBookmarks()->Get(index);
  // Only a bookmark within the buffer has a row.
  if (dataSet->CompareBookmarks(bookmark, GetRowBookmark(0)) < 0 ||
      dataSet->CompareBookmarks(bookmark, GetRowBookmark(GetRowCount() - 1)) > 0)
    return -1;
  for (Integer row = 0; row < GetRowCount(); ++row)
    if (dataSet->CompareBookmarks(GetRowBookmark(row), bookmark) == 0) return row;
  return -1;
}

Integer TcxDBDataController::GetSelectionAnchorRowIndex() {
  return IsGridMode() ? -1 : inherited::GetSelectionAnchorRowIndex();
}

Boolean TcxDBDataController::IsSelectionAnchorSet() {
  if (!IsGridMode()) return inherited::IsSelectionAnchorSet();
  return !static_cast<TcxDBDataSelection*>(GetSelection())->GetAnchorBookmark().empty();
}

void TcxDBDataController::SelectAll() {
  if (!IsGridMode()) {
    inherited::SelectAll();
    return;
  }
  if (IsSingleSelectMode()) return;
  LockUpdate();
  try {
    static_cast<TcxDBDataSelection*>(GetSelection())->SelectAll();
  } catch (...) {
    UnlockUpdate();
    throw;
  }
  UnlockUpdate();
}

void TcxDBDataController::SelectFromAnchor(Integer rowIndex, Boolean keepSelection) {
  if (!IsGridMode()) {
    inherited::SelectFromAnchor(rowIndex, keepSelection);
    return;
  }
  GetDataControllerInfo()->CheckRowIndex(rowIndex);
  auto* selection = static_cast<TcxDBDataSelection*>(GetSelection());
  if (selection->GetAnchorBookmark().empty() || IsSingleSelectMode()) return;
  LockUpdate();
  try {
    selection->SelectRange(selection->GetAnchorBookmark(), GetRowBookmark(rowIndex), keepSelection);
  } catch (...) {
    UnlockUpdate();
    throw;
  }
  UnlockUpdate();
}

void TcxDBDataController::SetSelectionAnchor(Integer rowIndex) {
  if (!IsGridMode()) {
    inherited::SetSelectionAnchor(rowIndex);
    return;
  }
  GetDataControllerInfo()->CheckRowIndex(rowIndex);
  static_cast<TcxDBDataSelection*>(GetSelection())->SetAnchorBookmark(GetRowBookmark(rowIndex));
}

TBookmarkStr TcxDBDataController::GetSelectedBookmark(Integer index) {
  if (!IsGridMode()) throw EcxInvalidDataControllerOperation(GetLocalizedResourceString(&cxSDBNotInGridMode));
  if (IsSingleSelectMode()) {
    const Integer row = GetFocusedRowIndex();
    return row == -1 ? TBookmarkStr() : GetRowBookmark(row);
  }
  return static_cast<TcxDBDataSelection*>(GetSelection())->GetBookmarks()->Get(index);
}

Boolean TcxDBDataController::FocusSelectedRow(Integer selectedIndex) {
  if (!IsGridMode()) return inherited::FocusSelectedRow(selectedIndex);
  TDataSet* dataSet = GetDataSet();
  if (!dataSet) return false;
  dataSet->SetBookmarkStr(GetSelectedBookmark(selectedIndex));
  return true;
}

// ==== Dataset summary item ===================================================================

TcxDataSummaryItemClass TcxDBDataController::GetSummaryItemClass() { return TcxDBDataSummaryItem::StaticClass(); }

void TcxDBDataSummaryItem::BeforeDestruction() {
  if (FDataField) {
    TcxDBDataField* field = FDataField;
    FDataField = nullptr;
    // The controller frees its fields itself when it goes.
    TcxCustomDataController* controller = GetDataController();
    if (controller && !controller->IsDestroying()) field->Free();
  }
  inherited::BeforeDestruction();
}

void TcxDBDataSummaryItem::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TcxDBDataSummaryItem*>(source)) {
    TCollection* collection = GetCollection();
    if (collection) collection->BeginUpdate();
    try {
      inherited::Assign(source);
      SetFieldName(other->FFieldName);
    } catch (...) {
      if (collection) collection->EndUpdate();
      throw;
    }
    if (collection) collection->EndUpdate();
    return;
  }
  inherited::Assign(source);
}

Boolean TcxDBDataSummaryItem::IsCurrency(TVarType varType) {
  if (auto* field = dynamic_cast<TcxDBDataField*>(GetDataField()); field && field->GetField()) return field->GetIsCurrency();
  return inherited::IsCurrency(varType);
}

TcxCustomDataField* TcxDBDataSummaryItem::GetDataField() {
  return FDataField ? FDataField : inherited::GetDataField();
}

void TcxDBDataSummaryItem::SetFieldName(const AnsiString& value) {
  if (FFieldName == value) return;
  FFieldName = value;
  auto* controller = dynamic_cast<TcxDBDataController*>(GetDataController());
  if (!controller) return;
  if (value.empty()) {
    if (FDataField) {
      TcxDBDataField* field = FDataField;
      FDataField = nullptr;
      field->Free();
    }
    controller->Change(TcxCustomDataController::dccData);
  } else {
    if (!FDataField) FDataField = static_cast<TcxDBDataField*>(controller->AddInternalField(nullptr, TcxValueTypeClass()));
    controller->ChangeFieldName(FDataField, value);
  }
  Changed(true);
}

ORV_PUBLISH(TcxDBDataSummaryItem) {
  using T = TcxDBDataSummaryItem;
  p.Property("FieldName", &T::GetFieldName, &T::SetFieldName);
  p.Property("Sorted", &T::GetSorted, &T::SetSorted).Default(false);
}
