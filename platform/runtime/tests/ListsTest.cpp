#include "platform/runtime/Lists.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/runtime/Bits.h"
#include "platform/runtime/Component.h"
#include "platform/runtime/Exceptions.h"

namespace {

int gAlive = 0;

class TCounted : public TObject {
  ORV_CLASS(TCounted, TObject)
 public:
  explicit TCounted(int value = 0) : Value(value) { ++gAlive; }
  ~TCounted() override { --gAlive; }
  int Value;
};

class TDerivedCounted : public TCounted {
  ORV_CLASS(TDerivedCounted, TCounted)
 public:
  TDerivedCounted() = default;
};

// Records what TList tells its descendants.
class TLoggingList : public TList {
  ORV_CLASS(TLoggingList, TList)
 public:
  TLoggingList() = default;
  std::vector<std::pair<void*, TListNotification>> Log;

 protected:
  void Notify(void* ptr, TListNotification action) override { Log.emplace_back(ptr, action); }
};

std::vector<intptr_t> Items(const TList& list) {
  std::vector<intptr_t> r;
  for (Integer i = 0; i < list.GetCount(); ++i) r.push_back(reinterpret_cast<intptr_t>(list.Get(i)));
  return r;
}
void* P(intptr_t v) { return reinterpret_cast<void*>(v); }

TEST(List, EditsKeepOrderAndReportEveryNonNilItem) {
  auto* list = new TLoggingList;
  for (intptr_t v : {1, 2, 3, 4}) list->Add(P(v));
  list->Insert(0, P(9));
  list->Insert(5, nullptr);  // at the end; nil items are not reported
  EXPECT_EQ(Items(*list), (std::vector<intptr_t>{9, 1, 2, 3, 4, 0}));
  list->Move(0, 4);
  EXPECT_EQ(Items(*list), (std::vector<intptr_t>{1, 2, 3, 4, 9, 0}));
  list->Move(4, 1);
  EXPECT_EQ(Items(*list), (std::vector<intptr_t>{1, 9, 2, 3, 4, 0}));
  list->Exchange(0, 2);
  list->Pack();
  EXPECT_EQ(Items(*list), (std::vector<intptr_t>{2, 9, 1, 3, 4}));
  EXPECT_EQ(list->IndexOf(P(3)), 3);
  EXPECT_EQ(list->Remove(P(3)), 3);
  EXPECT_EQ(list->Remove(P(77)), -1);
  EXPECT_EQ(list->Extract(P(9)), P(9));
  EXPECT_EQ(list->Extract(P(9)), nullptr);
  list->Put(0, P(5));
  EXPECT_EQ(Items(*list), (std::vector<intptr_t>{5, 1, 4}));
  list->Log.clear();
  list->SetCount(1);
  EXPECT_EQ(list->Log, (std::vector<std::pair<void*, TListNotification>>{{P(4), lnDeleted}, {P(1), lnDeleted}}));
  list->SetCount(3);
  EXPECT_EQ(Items(*list), (std::vector<intptr_t>{5, 0, 0}));

  for (Integer bad : {-1, 3})
    EXPECT_THROW(list->Get(bad), EListError) << bad;
  EXPECT_THROW(list->Insert(4, nullptr), EListError);
  EXPECT_THROW(list->Delete(3), EListError);
  try {
    list->Get(7);
  } catch (const EListError& e) {
    EXPECT_EQ(e.GetMessage(), "List index out of bounds (7)");
  }
  list->Free();
}

TEST(List, SortIsStable) {
  TList list;
  // High bits are the key, the low digit the original position.
  for (intptr_t v : {30, 11, 32, 13, 04, 15, 36}) list.Add(P(v));
  list.Sort([](void* a, void* b) {
    return int(reinterpret_cast<intptr_t>(a) / 10 - reinterpret_cast<intptr_t>(b) / 10);
  });
  EXPECT_EQ(Items(list), (std::vector<intptr_t>{04, 11, 13, 15, 30, 32, 36}));
}

TEST(ObjectList, OwnsAndFreesItsObjectsUnlessExtracted) {
  gAlive = 0;
  auto* list = new TObjectList;
  auto* a = new TCounted(1);
  list->Add(a);
  list->Add(new TDerivedCounted);
  list->Add(new TCounted(3));
  EXPECT_EQ(list->FindInstanceOf(TCounted::StaticClass(), true, 1), 2);
  EXPECT_EQ(list->FindInstanceOf(TCounted::StaticClass(), false, 1), 1);
  EXPECT_EQ(list->Extract(a), a);
  EXPECT_EQ(gAlive, 3);
  list->Delete(0);  // frees the derived one
  EXPECT_EQ(gAlive, 2);
  list->Put(0, a);  // frees the replaced object
  EXPECT_EQ(gAlive, 1);
  list->Free();
  EXPECT_EQ(gAlive, 0);

  auto* borrowed = new TObjectList(false);
  TCounted kept;
  borrowed->Add(&kept);
  borrowed->Free();
  EXPECT_EQ(gAlive, 1);

  {
    TObjectList onStack;
    onStack.Add(new TCounted);
  }
  EXPECT_EQ(gAlive, 1);
}

TEST(ComponentList, DropsComponentsFreedElsewhere) {
  auto* owner = new TComponent(nullptr);
  auto* a = new TComponent(owner);
  auto* b = new TComponent(owner);
  auto* list = new TComponentList(false);
  list->Add(a);
  list->Add(b);
  a->Free();
  ASSERT_EQ(list->GetCount(), 1);
  EXPECT_EQ(list->First(), b);
  list->Remove(b);
  b->Free();  // no longer watched: nothing happens to the list
  EXPECT_EQ(list->GetCount(), 0);

  auto* owning = new TComponentList;
  owning->Add(new TComponent(nullptr));
  owning->Add(new TComponent(owner));
  owner->Free();  // the second one goes with its owner and leaves the list
  EXPECT_EQ(owning->GetCount(), 1);
  owning->Free();  // frees the first one
  list->Free();
}

class IListener : public virtual IInterface {
 public:
  virtual void Changed() = 0;
};
class TListener : public TObject, public IListener {
  ORV_CLASS(TListener, TObject)
 public:
  TListener() = default;
  void Changed() override { ++Calls; }
  int Calls = 0;
};

TEST(InterfaceList, HoldsInterfacesWithoutOwningThem) {
  TListener a, b;
  TInterfaceList list;
  list.Add(static_cast<IListener*>(&a));
  list.Add(static_cast<IListener*>(&b));
  list.Exchange(0, 1);
  EXPECT_EQ(list.IndexOf(static_cast<IListener*>(&a)), 1);
  for (Integer i = 0; i < list.GetCount(); ++i) Supports<IListener>(list.Get(i))->Changed();
  EXPECT_EQ(a.Calls + b.Calls, 2);
  EXPECT_EQ(list.Remove(static_cast<IListener*>(&b)), 0);
  EXPECT_EQ(list.Remove(static_cast<IListener*>(&b)), -1);
  EXPECT_THROW(list.Get(1), EListError);
}

TEST(Bits, GrowOnWriteAndFindTheFirstClearBit) {
  TBits bits;
  EXPECT_FALSE(bits.GetBit(1000));
  EXPECT_EQ(bits.OpenBit(), 0);
  for (Integer i = 0; i < 130; ++i) bits.SetBit(i, true);
  EXPECT_EQ(bits.GetSize(), 130);
  EXPECT_EQ(bits.OpenBit(), 130);
  bits.SetBit(64, false);
  EXPECT_EQ(bits.OpenBit(), 64);
  bits.SetSize(10);
  bits.SetSize(200);  // bits beyond the shrunken size come back clear
  EXPECT_FALSE(bits.GetBit(100));
  EXPECT_EQ(bits.OpenBit(), 10);
  bits.SetBit(300, false);
  EXPECT_EQ(bits.GetSize(), 301);
  EXPECT_THROW(bits.GetBit(-1), EBitsError);
  EXPECT_THROW(bits.SetSize(-1), EBitsError);
}

}  // namespace
