#include "platform/dataset/Params.h"

#include "platform/dataset/DBConsts.h"
#include "platform/dataset/DataSet.h"
#include "platform/runtime/SysUtils.h"

using namespace orv::db;

// ---------------------------------------------------------------------------------------------
// TParam

TParam::TParam(TParams* owner) : FOwner(owner) {}

void TParam::SetValue(const Variant& value) {
  FValue = value;
  if (FDataType != ftUnknown) return;
  switch (VarType(value) & varTypeMask) {
    case varSmallint:
    case varShortInt:
    case varByte:
      FDataType = ftSmallint;
      break;
    case varWord:
      FDataType = ftWord;
      break;
    case varInteger:
    case varLongWord:
      FDataType = ftInteger;
      break;
    case varInt64:
      FDataType = ftLargeint;
      break;
    case varSingle:
    case varDouble:
      FDataType = ftFloat;
      break;
    case varCurrency:
      FDataType = ftCurrency;
      break;
    case varDate:
      FDataType = ftDateTime;
      break;
    case varBoolean:
      FDataType = ftBoolean;
      break;
    case varString:
    case varOleStr:
      FDataType = ftString;
      break;
    default:
      break;
  }
}

void TParam::SetAsString(const AnsiString& value) {
  FDataType = ftString;
  FValue = value;
}

void TParam::SetAsInteger(Integer value) {
  FDataType = ftInteger;
  FValue = value;
}

void TParam::SetAsFloat(double value) {
  FDataType = ftFloat;
  FValue = value;
}

void TParam::SetAsBoolean(bool value) {
  FDataType = ftBoolean;
  FValue = value;
}

void TParam::SetAsDateTime(TDateTime value) {
  FDataType = ftDateTime;
  FValue = VarFromDateTime(value);
}

void TParam::Assign(TPersistent* source) {
  if (auto* param = dynamic_cast<TParam*>(source)) {
    FName = param->FName;
    FDataType = param->FDataType;
    FParamType = param->FParamType;
    FValue = param->FValue;
    return;
  }
  inherited::Assign(source);
}

// ---------------------------------------------------------------------------------------------
// TParams

TParams::~TParams() = default;

TParam* TParams::GetItem(Integer index) const {
  if (index < 0 || index >= GetCount())
    throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return FItems[static_cast<std::size_t>(index)].get();
}

TParam* TParams::AddParam(const AnsiString& name) {
  FItems.emplace_back(new TParam(this));
  FItems.back()->SetName(name);
  return FItems.back().get();
}

TParam* TParams::CreateParam(TFieldType fieldType, const AnsiString& name, TParamType paramType) {
  TParam* param = AddParam(name);
  param->SetDataType(fieldType);
  param->SetParamType(paramType);
  return param;
}

void TParams::Delete(Integer index) {
  GetItem(index);
  FItems.erase(FItems.begin() + index);
}

void TParams::Clear() { FItems.clear(); }

TParam* TParams::FindParam(const AnsiString& name) const {
  for (const auto& item : FItems)
    if (AnsiCompareText(item->GetName(), name) == 0) return item.get();
  return nullptr;
}

TParam* TParams::ParamByName(const AnsiString& name) const {
  TParam* param = FindParam(name);
  if (!param) DatabaseErrorFmt(SParameterNotFound, {name}, dynamic_cast<TComponent*>(FOwner));
  return param;
}

Variant TParams::GetParamValues(const AnsiString& names) const {
  const std::vector<AnsiString> list = orv::ExtractFieldNames(names);
  if (list.size() == 1) return ParamByName(list[0])->GetValue();
  Variant result = VarArrayCreate(0, static_cast<Integer>(list.size()) - 1, varVariant);
  for (std::size_t i = 0; i < list.size(); ++i)
    result.PutElement(static_cast<Integer>(i), ParamByName(list[i])->GetValue());
  return result;
}

void TParams::SetParamValues(const AnsiString& names, const Variant& value) {
  const std::vector<AnsiString> list = orv::ExtractFieldNames(names);
  if (list.size() == 1 && !VarIsArray(value)) {
    ParamByName(list[0])->SetValue(value);
    return;
  }
  if (!VarIsArray(value)) return;
  const Integer low = VarArrayLowBound(value, 1);
  const Integer high = VarArrayHighBound(value, 1);
  for (std::size_t i = 0; i < list.size() && low + static_cast<Integer>(i) <= high; ++i)
    ParamByName(list[i])->SetValue(value.GetElement(low + static_cast<Integer>(i)));
}

void TParams::Assign(TPersistent* source) {
  if (auto* params = dynamic_cast<TParams*>(source)) {
    if (params == this) return;
    Clear();
    for (const auto& item : params->FItems) AddParam()->Assign(item.get());
    return;
  }
  inherited::Assign(source);
}
