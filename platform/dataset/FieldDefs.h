// Field definitions: the physical structure of a dataset's records (name, type, size, numbers),
// from which default field objects are created.
#pragma once

#include <memory>
#include <vector>

#include "platform/dataset/FieldTypes.h"
#include "platform/runtime/Types.h"

class TDataSet;
class TField;
class TComponent;
class TFieldDefs;

// Attributes of a field definition (a set: combine with |).
enum TFieldAttribute : Word {
  faHiddenCol = 0x01,
  faReadonly = 0x02,
  faRequired = 0x04,
  faLink = 0x08,
  faUnNamed = 0x10,
  faFixed = 0x20,
};
using TFieldAttributes = Word;

class TFieldDef {
 public:
  TFieldDef(TFieldDefs* owner, const AnsiString& name, TFieldType dataType, Integer size,
            bool required, Integer fieldNo);
  TFieldDef(const TFieldDef&) = delete;
  TFieldDef& operator=(const TFieldDef&) = delete;

  TFieldDefs* GetCollection() const { return FOwner; }
  // Position in the owning list.
  Integer GetIndex() const;

  const AnsiString& GetName() const { return FName; }
  void SetName(const AnsiString& value);
  TFieldType GetDataType() const { return FDataType; }
  void SetDataType(TFieldType value);
  Integer GetSize() const { return FSize; }
  void SetSize(Integer value);
  Integer GetPrecision() const { return FPrecision; }
  void SetPrecision(Integer value);
  TFieldAttributes GetAttributes() const { return FAttributes; }
  void SetAttributes(TFieldAttributes value);
  bool GetRequired() const { return (FAttributes & faRequired) != 0; }
  void SetRequired(bool value);
  // Field number of the physical field, 1-based; 0 for none.
  Integer GetFieldNo() const { return FFieldNo; }
  void SetFieldNo(Integer value) { FFieldNo = value; }
  bool GetInternalCalcField() const { return FInternalCalcField; }
  void SetInternalCalcField(bool value) { FInternalCalcField = value; }

  // Definitions of an object field's parts (created on first use).
  bool HasChildDefs() const { return FChildDefs && GetChildCount() > 0; }
  TFieldDefs& GetChildDefs();
  Integer GetChildCount() const;

  // Creates the field object of the class that serves this type, owned by `owner`, bound to
  // the dataset of the definitions; the field name defaults to the definition's name.
  TField* CreateField(TComponent* owner, const AnsiString& fieldName = AnsiString());

  void Assign(const TFieldDef& source);

 private:
  void Changed();

  TFieldDefs* FOwner;
  AnsiString FName;
  TFieldType FDataType;
  Integer FSize;
  Integer FPrecision = 0;
  TFieldAttributes FAttributes = 0;
  Integer FFieldNo;
  bool FInternalCalcField = false;
  std::unique_ptr<TFieldDefs> FChildDefs;
};

class TFieldDefs {
 public:
  explicit TFieldDefs(TDataSet* dataSet, TFieldDef* parentDef = nullptr);
  TFieldDefs(const TFieldDefs&) = delete;
  TFieldDefs& operator=(const TFieldDefs&) = delete;
  ~TFieldDefs();

  TDataSet* GetDataSet() const { return FDataSet; }
  TFieldDef* GetParentDef() const { return FParentDef; }

  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TFieldDef* GetItem(Integer index) const;
  TFieldDef* operator[](Integer index) const { return GetItem(index); }

  // Appends a definition; its field number is its position (1-based).
  TFieldDef* Add(const AnsiString& name, TFieldType dataType, Integer size = 0,
                 bool required = false);
  TFieldDef* AddFieldDef();
  void Delete(Integer index);
  void Clear();
  // Case-insensitive; -1 when absent.
  Integer IndexOf(const AnsiString& name) const;
  // nullptr when absent.
  TFieldDef* FindDef(const AnsiString& name) const;
  // Raises a database error "Field definition '...' not found" when absent.
  TFieldDef* Find(const AnsiString& name) const;

  // Brings the definitions up to date from the dataset (its InitFieldDefs) unless they are.
  void Update();
  bool GetUpdated() const { return FUpdated; }
  void SetUpdated(bool value) { FUpdated = value; }

  // Replaces the definitions by copies of `source`'s.
  void Assign(const TFieldDefs& source);

  // A change of any definition marks the list out of date for the dataset.
  void Changed();

 private:
  TDataSet* FDataSet;
  TFieldDef* FParentDef;
  std::vector<std::unique_ptr<TFieldDef>> FItems;
  bool FUpdated = false;
};
