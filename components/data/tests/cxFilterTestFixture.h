// A small concrete criteria for the filter tests: named fields (the item links) over a table of
// records held in memory.
#pragma once

#include <memory>
#include <vector>

#include "components/data/cxFilter.h"

namespace orv::test {

class TTestFilterField : public TObject {
  ORV_CLASS(TTestFilterField, TObject)
 public:
  TTestFilterField(Integer id, AnsiString name, AnsiString caption, AnsiString fieldName, Integer column)
      : ID(id), Name(std::move(name)), Caption(std::move(caption)), FieldName(std::move(fieldName)), Column(column) {}
  Integer ID;
  AnsiString Name;
  AnsiString Caption;
  AnsiString FieldName;
  Integer Column;
};

class TTestFilterCriteria;

class TTestFilterCriteriaItem : public TcxFilterCriteriaItem {
  ORV_CLASS(TTestFilterCriteriaItem, TcxFilterCriteriaItem)
 public:
  TTestFilterCriteriaItem(TcxFilterCriteriaItemList* parent, TObject* itemLink, TcxFilterOperatorCode code,
                          const Variant& value, const AnsiString& displayValue)
      : TcxFilterCriteriaItem(parent, itemLink, code, value, displayValue) {}

  void GetDataValue(Integer recordIndex, Variant& value) override;
  AnsiString GetFieldCaption() override { return Field() ? Field()->Caption : AnsiString(); }
  AnsiString GetFieldName() override { return Field() ? Field()->FieldName : AnsiString(); }

 private:
  TTestFilterField* Field() { return static_cast<TTestFilterField*>(GetLinkedItem()); }
};

class TTestFilterCriteria : public TcxFilterCriteria {
  ORV_CLASS(TTestFilterCriteria, TcxFilterCriteria)
 public:
  TTestFilterCriteria() = default;

  // Adds a field; its column in the records is its position.
  TTestFilterField* AddField(const AnsiString& name, const AnsiString& caption, const AnsiString& fieldName,
                             Integer id = -1) {
    const Integer column = Integer(FFields.size());
    FFields.emplace_back(new TTestFilterField(id < 0 ? column + 1 : id, name, caption, fieldName, column));
    return FFields.back().get();
  }
  TTestFilterField* Field(Integer index) const { return FFields.at(std::size_t(index)).get(); }
  void RemoveField(TTestFilterField* field) {
    for (auto it = FFields.begin(); it != FFields.end(); ++it)
      if (it->get() == field) {
        FFields.erase(it);
        return;
      }
  }

  std::vector<std::vector<Variant>> Records;
  Integer ChangeCount = 0;
  Integer DataReads = 0;

  void CountChange(TObject*) { ++ChangeCount; }
  void WatchChanges() { SetOnChanged(TNotifyEvent(this, &TTestFilterCriteria::CountChange)); }

  Integer GetIDByItemLink(TObject* itemLink) override {
    for (auto& f : FFields)
      if (f.get() == itemLink) return f->ID;
    return -1;
  }
  AnsiString GetNameByItemLink(TObject* itemLink) override {
    for (auto& f : FFields)
      if (f.get() == itemLink) return f->Name;
    return AnsiString();
  }
  TObject* GetItemLinkByID(Integer id) override {
    for (auto& f : FFields)
      if (f->ID == id) return f.get();
    return nullptr;
  }
  TObject* GetItemLinkByName(const AnsiString& name) override {
    for (auto& f : FFields)
      if (!f->Name.empty() && f->Name == name) return f.get();
    return nullptr;
  }
  TcxFilterCriteriaItemClass GetItemClass() override { return TTestFilterCriteriaItem::StaticClass(); }

 private:
  std::vector<std::unique_ptr<TTestFilterField, orv::FreeDeleter>> FFields;
};

inline void TTestFilterCriteriaItem::GetDataValue(Integer recordIndex, Variant& value) {
  auto* criteria = static_cast<TTestFilterCriteria*>(OwnerCriteria());
  ++criteria->DataReads;
  value = criteria->Records.at(std::size_t(recordIndex)).at(std::size_t(Field()->Column));
}

// A criteria owned by a test.
using TestCriteriaPtr = std::unique_ptr<TTestFilterCriteria, orv::FreeDeleter>;
inline TestCriteriaPtr MakeTestCriteria() { return TestCriteriaPtr(new TTestFilterCriteria); }

}  // namespace orv::test
