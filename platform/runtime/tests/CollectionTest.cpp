#include "platform/runtime/Collection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/runtime/Exceptions.h"

namespace {

std::vector<std::string> gLog;

class TColumn : public TCollectionItem {
  ORV_CLASS(TColumn, TCollectionItem)
 public:
  explicit TColumn(TCollection* collection) : TCollectionItem(collection) {}
  AnsiString GetDisplayName() const override { return Caption.empty() ? inherited::GetDisplayName() : Caption; }
  void SetCaption(const AnsiString& value) {
    if (Caption == value) return;
    Caption = value;
    Changed(false);
  }
  void Assign(TPersistent* source) override {
    if (auto* c = dynamic_cast<TColumn*>(source)) {
      SetCaption(c->Caption);
      return;
    }
    inherited::Assign(source);
  }
  AnsiString Caption;
};

// Logs the notices a collection receives; every item it hears of is whole.
class TColumns : public TOwnedCollection {
  ORV_CLASS(TColumns, TOwnedCollection)
 public:
  explicit TColumns(TPersistent* owner) : TOwnedCollection(owner, TColumn::StaticClass()) {}
  void BeforeDestruction() override {
    gLog.push_back("destroying");
    inherited::BeforeDestruction();
  }

 protected:
  void Update(TCollectionItem* item) override {
    gLog.push_back("update " + (item ? item->GetDisplayName() : AnsiString("all")));
  }
  void Notify(TCollectionItem* item, TCollectionNotification action) override {
    static const char* names[] = {"added ", "extracting ", "deleting "};
    gLog.push_back(names[action] + item->ClassName());
  }
  void SetItemName(TCollectionItem* item) override {
    static_cast<TColumn*>(item)->Caption = "Column" + std::to_string(item->GetID());
  }
};

class TOwnerObject : public TPersistent {
  ORV_CLASS(TOwnerObject, TPersistent)
 public:
  TOwnerObject() = default;
  AnsiString GetNamePath() override { return "Grid1"; }
};

std::vector<AnsiString> Captions(TCollection* c) {
  std::vector<AnsiString> r;
  for (Integer i = 0; i < c->GetCount(); ++i) r.push_back(c->GetItem(i)->GetDisplayName());
  return r;
}

TEST(Collection, AddsNamesAndAnnouncesWholeItems) {
  gLog.clear();
  TOwnerObject owner;
  auto* columns = new TColumns(&owner);
  columns->Add();
  auto* second = static_cast<TColumn*>(columns->Add());
  EXPECT_EQ(gLog, (std::vector<std::string>{"added TColumn", "update all", "added TColumn", "update all"}));
  EXPECT_EQ(Captions(columns), (std::vector<AnsiString>{"Column0", "Column1"}));
  EXPECT_EQ(second->GetID(), 1);
  EXPECT_EQ(second->GetIndex(), 1);
  EXPECT_EQ(second->GetOwner(), columns);
  EXPECT_EQ(columns->GetOwner(), &owner);
  EXPECT_EQ(second->GetNamePath(), "Grid1[1]");

  gLog.clear();
  second->SetCaption("Город");
  EXPECT_EQ(gLog, std::vector<std::string>{"update Город"});

  gLog.clear();
  columns->Insert(0);
  EXPECT_EQ(Captions(columns), (std::vector<AnsiString>{"Column2", "Column0", "Город"}));
  EXPECT_EQ(gLog.back(), "update all");  // moving an item is a change of all items
  EXPECT_EQ(columns->FindItemID(1), second);
  EXPECT_EQ(columns->FindItemID(7), nullptr);
  EXPECT_THROW(columns->GetItem(3), EListError);
  columns->Free();
}

TEST(Collection, UpdatesAreHeldBackUntilTheLastEndUpdate) {
  auto* columns = new TColumns(nullptr);
  gLog.clear();
  columns->BeginUpdate();
  columns->BeginUpdate();
  columns->Add();
  static_cast<TColumn*>(columns->Add())->SetCaption("x");
  columns->Delete(0);
  columns->EndUpdate();
  EXPECT_EQ(std::count(gLog.begin(), gLog.end(), "update all"), 0);
  columns->EndUpdate();
  EXPECT_EQ(gLog, (std::vector<std::string>{"added TColumn", "added TColumn", "deleting TColumn",
                                            "extracting TColumn", "update all"}));
  columns->Free();
}

TEST(Collection, FreeingItemsAndTheCollection) {
  auto* columns = new TColumns(nullptr);
  TCollectionItem* a = columns->Add();
  columns->Add();
  columns->Add();
  gLog.clear();
  a->Free();
  EXPECT_EQ(gLog, (std::vector<std::string>{"extracting TColumn", "update all"}));
  EXPECT_EQ(Captions(columns), (std::vector<AnsiString>{"Column1", "Column2"}));

  // An item can move to another collection.
  auto* other = new TColumns(nullptr);
  columns->GetItem(0)->SetCollection(other);
  EXPECT_EQ(columns->GetCount(), 1);
  EXPECT_EQ(other->GetCount(), 1);
  EXPECT_EQ(other->GetItem(0)->GetID(), 0);  // ids are per collection

  gLog.clear();
  columns->Free();  // the remaining item goes without change notices
  EXPECT_EQ(gLog, (std::vector<std::string>{"destroying", "extracting TColumn"}));
  other->Free();
}

TEST(Collection, AssignCopiesItemByItem) {
  auto* a = new TColumns(nullptr);
  auto* b = new TColumns(nullptr);
  static_cast<TColumn*>(a->Add())->SetCaption("Страна");
  static_cast<TColumn*>(a->Add())->SetCaption("Город");
  b->Add();
  gLog.clear();
  b->Assign(a);
  EXPECT_EQ(Captions(b), (std::vector<AnsiString>{"Страна", "Город"}));
  EXPECT_EQ(std::count(gLog.begin(), gLog.end(), "update all"), 1);
  b->SetItem(1, a->GetItem(0));
  EXPECT_EQ(Captions(b), (std::vector<AnsiString>{"Страна", "Страна"}));
  TOwnerObject notACollection;
  EXPECT_THROW(b->Assign(&notACollection), EConvertError);
  a->Free();
  b->Free();
}

class TThrowingColumn : public TColumn {
  ORV_CLASS(TThrowingColumn, TColumn)
 public:
  explicit TThrowingColumn(TCollection* c) : TColumn(c) { throw EInvalidOperation("no"); }
};

TEST(Collection, AnItemWhoseConstructorThrowsLeavesNoTrace) {
  auto* c = new TOwnedCollection(nullptr, TThrowingColumn::StaticClass());
  EXPECT_THROW(c->Add(), EInvalidOperation);
  EXPECT_EQ(c->GetCount(), 0);
  c->Free();
}

}  // namespace
