#include "platform/dataset/FieldDefs.h"

#include "platform/dataset/DBConsts.h"
#include "platform/dataset/DataSet.h"
#include "platform/dataset/Fields.h"
#include "platform/runtime/SysUtils.h"

using namespace orv::db;

// ---------------------------------------------------------------------------------------------
// TFieldDef

TFieldDef::TFieldDef(TFieldDefs* owner, const AnsiString& name, TFieldType dataType, Integer size,
                     bool required, Integer fieldNo)
    : FOwner(owner), FName(name), FDataType(dataType), FSize(size), FFieldNo(fieldNo) {
  if (required) FAttributes |= faRequired;
}

Integer TFieldDef::GetIndex() const {
  for (Integer i = 0; i < FOwner->GetCount(); ++i)
    if (FOwner->GetItem(i) == this) return i;
  return -1;
}

void TFieldDef::Changed() { FOwner->Changed(); }

void TFieldDef::SetName(const AnsiString& value) {
  if (value == FName) return;
  FName = value;
  Changed();
}

void TFieldDef::SetDataType(TFieldType value) {
  if (value == FDataType) return;
  FDataType = value;
  Changed();
}

void TFieldDef::SetSize(Integer value) {
  if (value == FSize) return;
  FSize = value;
  Changed();
}

void TFieldDef::SetPrecision(Integer value) {
  if (value == FPrecision) return;
  FPrecision = value;
  Changed();
}

void TFieldDef::SetAttributes(TFieldAttributes value) {
  if (value == FAttributes) return;
  FAttributes = value;
  Changed();
}

void TFieldDef::SetRequired(bool value) {
  SetAttributes(value ? (FAttributes | faRequired) : (FAttributes & ~faRequired));
}

TFieldDefs& TFieldDef::GetChildDefs() {
  if (!FChildDefs) FChildDefs = std::make_unique<TFieldDefs>(FOwner->GetDataSet(), this);
  return *FChildDefs;
}

Integer TFieldDef::GetChildCount() const { return FChildDefs ? FChildDefs->GetCount() : 0; }

TField* TFieldDef::CreateField(TComponent* owner, const AnsiString& fieldName) {
  const TFieldClass fieldClass = DefaultFieldClass(FDataType);
  if (!fieldClass) DatabaseErrorFmt(SUnknownFieldType, {FName}, FOwner->GetDataSet());
  TField* field = fieldClass.Create(owner);
  try {
    field->SetFieldName(fieldName.empty() ? FName : fieldName);
    field->SetFieldType(FDataType);
    switch (FDataType) {
      case ftString:
      case ftFixedChar:
      case ftWideString:
      case ftGuid:
      case ftBCD:
      case ftBytes:
      case ftVarBytes:
        field->SetSize(FSize);
        break;
      default:
        if (field->IsBlob()) field->SetSize(FSize);
        break;
    }
    if (FDataType == ftFixedChar) static_cast<TStringField*>(field)->SetFixedChar(true);
    if (FDataType == ftBCD && FPrecision > 0) static_cast<TBCDField*>(field)->SetPrecision(FPrecision);
    if ((FDataType == ftFloat || FDataType == ftCurrency) && FPrecision > 0)
      static_cast<TFloatField*>(field)->SetPrecision(FPrecision);
    field->SetRequired(GetRequired());
    if (FAttributes & faReadonly) field->SetReadOnly(true);
    if (FAttributes & faHiddenCol) field->SetVisible(false);
    if (FInternalCalcField) field->SetFieldKind(fkInternalCalc);
    field->SetDataSet(FOwner->GetDataSet());
  } catch (...) {
    field->Free();
    throw;
  }
  return field;
}

void TFieldDef::Assign(const TFieldDef& source) {
  FName = source.FName;
  FDataType = source.FDataType;
  FSize = source.FSize;
  FPrecision = source.FPrecision;
  FAttributes = source.FAttributes;
  FInternalCalcField = source.FInternalCalcField;
  if (source.HasChildDefs())
    GetChildDefs().Assign(*source.FChildDefs);
  else if (FChildDefs)
    FChildDefs->Clear();
  Changed();
}

// ---------------------------------------------------------------------------------------------
// TFieldDefs

TFieldDefs::TFieldDefs(TDataSet* dataSet, TFieldDef* parentDef)
    : FDataSet(dataSet), FParentDef(parentDef) {}

TFieldDefs::~TFieldDefs() = default;

TFieldDef* TFieldDefs::GetItem(Integer index) const {
  if (index < 0 || index >= GetCount()) DatabaseError(SFieldIndexError, FDataSet);
  return FItems[static_cast<std::size_t>(index)].get();
}

TFieldDef* TFieldDefs::Add(const AnsiString& name, TFieldType dataType, Integer size,
                           bool required) {
  if (name.empty()) DatabaseError(SFieldNameMissing, FDataSet);
  if (IndexOf(name) >= 0) DatabaseErrorFmt(SDuplicateFieldName, {name}, FDataSet);
  FItems.push_back(std::make_unique<TFieldDef>(this, name, dataType, size, required, GetCount() + 1));
  Changed();
  return FItems.back().get();
}

TFieldDef* TFieldDefs::AddFieldDef() {
  FItems.push_back(std::make_unique<TFieldDef>(this, AnsiString(), ftUnknown, 0, false, GetCount() + 1));
  Changed();
  return FItems.back().get();
}

void TFieldDefs::Delete(Integer index) {
  GetItem(index);
  FItems.erase(FItems.begin() + index);
  Changed();
}

void TFieldDefs::Clear() {
  if (FItems.empty()) return;
  FItems.clear();
  Changed();
}

Integer TFieldDefs::IndexOf(const AnsiString& name) const {
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (AnsiCompareText(FItems[i]->GetName(), name) == 0) return static_cast<Integer>(i);
  return -1;
}

TFieldDef* TFieldDefs::FindDef(const AnsiString& name) const {
  const Integer index = IndexOf(name);
  return index < 0 ? nullptr : FItems[static_cast<std::size_t>(index)].get();
}

TFieldDef* TFieldDefs::Find(const AnsiString& name) const {
  TFieldDef* def = FindDef(name);
  if (!def) DatabaseErrorFmt(SFieldDefNotFound, {name}, FDataSet);
  return def;
}

void TFieldDefs::Update() {
  if (FUpdated || !FDataSet) return;
  FDataSet->InitFieldDefs();
  FUpdated = true;
}

void TFieldDefs::Assign(const TFieldDefs& source) {
  if (&source == this) return;
  FItems.clear();
  for (const auto& item : source.FItems) {
    auto def = std::make_unique<TFieldDef>(this, item->GetName(), item->GetDataType(),
                                           item->GetSize(), false, GetCount() + 1);
    def->Assign(*item);
    FItems.push_back(std::move(def));
  }
  Changed();
}

void TFieldDefs::Changed() {
  FUpdated = false;
  if (FParentDef) FParentDef->GetCollection()->Changed();
}
