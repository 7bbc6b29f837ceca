#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "components/foundation/cxClasses.h"

namespace {

class TValueItem : public TcxInterfacedCollectionItem {
  ORV_CLASS(TValueItem, TcxInterfacedCollectionItem)
 public:
  explicit TValueItem(TCollection* collection) : TcxInterfacedCollectionItem(collection) {}
  Integer Value = 0;
  void SetValue(Integer value) {
    Value = value;
    Changed(true);  // a change that moves items re-sorts them
  }
};

struct Watcher : TObject {
  std::vector<TCollectionItem*> Changes;
  bool SawDestroying = false;
  void Changed(TObject* sender, TCollectionItem* item) {
    Changes.push_back(item);
    SawDestroying |= static_cast<TcxOwnedInterfacedCollection*>(sender)->IsDestroying();
  }
  Integer ByValue(TcxOwnedInterfacedCollection*, TCollectionItem* a, TCollectionItem* b) {
    return static_cast<TValueItem*>(a)->Value - static_cast<TValueItem*>(b)->Value;
  }
};

std::vector<Integer> Values(TCollection* c) {
  std::vector<Integer> values;
  for (Integer i = 0; i < c->GetCount(); ++i) values.push_back(static_cast<TValueItem*>(c->GetItem(i))->Value);
  return values;
}

TEST(TcxOwnedInterfacedCollection, SortedWithoutCompareKeepsIndexOrder) {
  Watcher watcher;
  std::unique_ptr<TcxOwnedInterfacedCollection, orv::FreeDeleter> c(
      new TcxOwnedInterfacedCollection(nullptr, TValueItem::StaticClass()));
  for (Integer v : {3, 1, 2}) static_cast<TValueItem*>(c->Add())->Value = v;
  c->SetOnChange(TcxCollectionChangeEvent(&watcher, &Watcher::Changed));
  c->SetSortedState(true);
  EXPECT_TRUE(c->GetSorted());
  EXPECT_EQ(Values(c.get()), (std::vector<Integer>{3, 1, 2}));
  EXPECT_NE(Supports<IInterface>(c->GetItem(0)), nullptr);
}

TEST(TcxOwnedInterfacedCollection, CompareEventSortsAndChangesAreReported) {
  Watcher watcher;
  auto* c = new TcxOwnedInterfacedCollection(nullptr, TValueItem::StaticClass());
  c->SetOnChange(TcxCollectionChangeEvent(&watcher, &Watcher::Changed));
  c->SetOnCompare(TcxCollectionCompareEvent(&watcher, &Watcher::ByValue));
  for (Integer v : {3, 1, 2}) static_cast<TValueItem*>(c->Add())->Value = v;
  EXPECT_EQ(Values(c), (std::vector<Integer>{3, 1, 2}));  // not sorted yet
  watcher.Changes.clear();
  c->SetSortedState(true);
  EXPECT_EQ(Values(c), (std::vector<Integer>{1, 2, 3}));
  EXPECT_EQ(watcher.Changes, (std::vector<TCollectionItem*>{nullptr}));  // one notice for the sort

  watcher.Changes.clear();
  static_cast<TValueItem*>(c->GetItem(0))->SetValue(5);
  EXPECT_EQ(Values(c), (std::vector<Integer>{2, 3, 5}));
  EXPECT_EQ(watcher.Changes, (std::vector<TCollectionItem*>{nullptr}));

  // Inside an update nothing is sorted or reported until the end.
  watcher.Changes.clear();
  c->BeginUpdate();
  static_cast<TValueItem*>(c->Add())->Value = 0;
  EXPECT_EQ(Values(c), (std::vector<Integer>{2, 3, 5, 0}));
  EXPECT_TRUE(watcher.Changes.empty());
  c->EndUpdate();
  EXPECT_EQ(Values(c), (std::vector<Integer>{0, 2, 3, 5}));
  EXPECT_EQ(watcher.Changes.size(), 1u);

  watcher.Changes.clear();
  c->Free();
  EXPECT_FALSE(watcher.SawDestroying);
  EXPECT_TRUE(watcher.Changes.empty());
}

}  // namespace
