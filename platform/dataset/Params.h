// Query parameters: named values that a parameterised dataset substitutes into its query.
#pragma once

#include <memory>
#include <vector>

#include "platform/dataset/FieldTypes.h"
#include "platform/runtime/Persistent.h"
#include "platform/runtime/Variants.h"

enum TParamType { ptUnknown, ptInput, ptOutput, ptInputOutput, ptResult };

class TParams;

class TParam : public TPersistent {
  ORV_CLASS(TParam, TPersistent)
 public:
  explicit TParam(TParams* owner = nullptr);

  TParams* GetCollection() const { return FOwner; }
  const AnsiString& GetName() const { return FName; }
  void SetName(const AnsiString& value) { FName = value; }
  TFieldType GetDataType() const { return FDataType; }
  void SetDataType(TFieldType value) { FDataType = value; }
  TParamType GetParamType() const { return FParamType; }
  void SetParamType(TParamType value) { FParamType = value; }

  const Variant& GetValue() const { return FValue; }
  // Takes the value; an unknown data type is taken from the value's kind.
  void SetValue(const Variant& value);
  bool GetIsNull() const { return VarIsNull(FValue) || VarIsEmpty(FValue); }
  void Clear() { FValue = Null(); }

  AnsiString GetAsString() const { return VarToStr(FValue); }
  void SetAsString(const AnsiString& value);
  Integer GetAsInteger() const { return GetIsNull() ? 0 : FValue.AsInteger(); }
  void SetAsInteger(Integer value);
  double GetAsFloat() const { return GetIsNull() ? 0 : FValue.AsDouble(); }
  void SetAsFloat(double value);
  bool GetAsBoolean() const { return !GetIsNull() && FValue.AsBoolean(); }
  void SetAsBoolean(bool value);
  TDateTime GetAsDateTime() const { return GetIsNull() ? 0 : VarToDateTime(FValue); }
  void SetAsDateTime(TDateTime value);

  void Assign(TPersistent* source) override;

 private:
  friend class TParams;
  TParams* FOwner;
  AnsiString FName;
  TFieldType FDataType = ftUnknown;
  TParamType FParamType = ptUnknown;
  Variant FValue;
};

class TParams : public TPersistent {
  ORV_CLASS(TParams, TPersistent)
 public:
  explicit TParams(TPersistent* owner = nullptr) : FOwner(owner) {}
  ~TParams() override;

  TPersistent* GetOwner() override { return FOwner; }
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TParam* GetItem(Integer index) const;
  TParam* operator[](Integer index) const { return GetItem(index); }

  TParam* AddParam(const AnsiString& name = AnsiString());
  TParam* CreateParam(TFieldType fieldType, const AnsiString& name, TParamType paramType);
  void Delete(Integer index);
  void Clear();
  // Case-insensitive; nullptr when absent.
  TParam* FindParam(const AnsiString& name) const;
  // Raises "Parameter '...' not found".
  TParam* ParamByName(const AnsiString& name) const;
  // The value of a ";"-separated list of parameters: one gives its value, several an array.
  Variant GetParamValues(const AnsiString& names) const;
  void SetParamValues(const AnsiString& names, const Variant& value);

  void Assign(TPersistent* source) override;

 private:
  struct FreeParam {
    void operator()(TParam* p) const { orv::Free(p); }
  };
  TPersistent* FOwner;
  std::vector<std::unique_ptr<TParam, FreeParam>> FItems;
};
