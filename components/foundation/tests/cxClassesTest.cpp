#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "components/foundation/cxClasses.h"
#include "platform/runtime/Exceptions.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"

namespace {

using orv::test::Owned;

// A small hierarchy for the registries: A <- B <- C, and A <- D.
class TA : public TObject {
  ORV_CLASS(TA, TObject)
 public:
  TA() = default;
};
class TB : public TA {
  ORV_CLASS(TB, TA)
 public:
  TB() = default;
};
class TC : public TB {
  ORV_CLASS(TC, TB)
 public:
  TC() = default;
};
class TD : public TA {
  ORV_CLASS(TD, TA)
 public:
  TD() = default;
};
// Registered classes: stand-ins for the painters or editors a registry hands out.
class TForA : public TObject {
  ORV_CLASS(TForA, TObject)
 public:
  TForA() = default;
};
class TForB : public TObject {
  ORV_CLASS(TForB, TObject)
 public:
  TForB() = default;
};
class TForD : public TObject {
  ORV_CLASS(TForD, TObject)
 public:
  TForD() = default;
};

TEST(TcxRegisteredClassList, ResolvesTheMostDerivedRegistrationInAnyOrder) {
  const TClass a = TA::StaticClass(), b = TB::StaticClass(), c = TC::StaticClass(),
               d = TD::StaticClass();
  const std::vector<std::vector<std::pair<TClass, TClass>>> orders = {
      {{a, TForA::StaticClass()}, {b, TForB::StaticClass()}, {d, TForD::StaticClass()}},
      {{b, TForB::StaticClass()}, {a, TForA::StaticClass()}, {d, TForD::StaticClass()}},
      {{d, TForD::StaticClass()}, {b, TForB::StaticClass()}, {a, TForA::StaticClass()}},
  };
  struct Lookup {
    TClass query, expected;
  } lookups[] = {
      {a, TForA::StaticClass()},
      {b, TForB::StaticClass()},
      {c, TForB::StaticClass()},  // derived from the derived class: the derived registration
      {d, TForD::StaticClass()},
      {TObject::StaticClass(), nullptr},
      {TForA::StaticClass(), nullptr},
  };
  for (std::size_t o = 0; o < orders.size(); ++o) {
    Owned<TcxRegisteredClassList> list(new TcxRegisteredClassList);
    for (auto [item, registered] : orders[o]) list->AddRegistration(item, registered);
    EXPECT_EQ(list->GetRegistrationCount(), 3);
    for (const auto& l : lookups)
      EXPECT_EQ(list->FindRegisteredClass(l.query), l.expected)
          << "order " << o << ", " << l.query->ClassName();
  }
}

TEST(TcxRegisteredClassList, LocateAndRemove) {
  Owned<TcxRegisteredClassList> list(new TcxRegisteredClassList);
  Integer index = 99;
  EXPECT_FALSE(list->LocateItemClass(TA::StaticClass(), index));
  EXPECT_EQ(index, -1);
  list->AddRegistration(TC::StaticClass(), TForB::StaticClass());
  // Only a more derived registration: not found, its index reported.
  EXPECT_FALSE(list->LocateItemClass(TA::StaticClass(), index));
  EXPECT_EQ(index, 0);
  list->AddRegistration(TA::StaticClass(), TForA::StaticClass());
  list->AddRegistration(TA::StaticClass(), TForD::StaticClass());
  EXPECT_TRUE(list->LocateItemClass(TB::StaticClass(), index));
  EXPECT_EQ(index, 1);  // the later registration of A, placed before C's
  EXPECT_EQ(list->FindRegisteredClass(TB::StaticClass()), TForD::StaticClass());
  list->RemoveRegistration(TA::StaticClass(), TForD::StaticClass());
  EXPECT_EQ(list->FindRegisteredClass(TB::StaticClass()), TForA::StaticClass());
  EXPECT_EQ(list->FindRegisteredClass(TC::StaticClass()), TForB::StaticClass());
  list->RemoveRegistration(TA::StaticClass(), TForB::StaticClass());  // not a registered pair
  EXPECT_EQ(list->GetRegistrationCount(), 2);
  list->Clear();
  EXPECT_EQ(list->FindRegisteredClass(TC::StaticClass()), nullptr);
}

class TRegisteredForStreaming : public TObject {
  ORV_CLASS(TRegisteredForStreaming, TObject)
 public:
  TRegisteredForStreaming() = default;
};

TEST(TcxRegisteredClasses, DescriptionsSortingAndLookup) {
  Owned<TcxRegisteredClasses> classes(new TcxRegisteredClasses(false));
  classes->AddClass(TB::StaticClass(), "banana|a yellow fruit");
  classes->AddClass(TA::StaticClass(), "Apple");
  classes->AddClass(TB::StaticClass(), "changed");  // already present: nothing changes
  classes->AddClass(TD::StaticClass(), "Яблоко|по-русски"_a);
  ASSERT_EQ(classes->GetCount(), 3);
  EXPECT_EQ(classes->GetItemDescription(0), "banana");
  EXPECT_EQ(classes->GetItemDescription(1), "Apple");
  EXPECT_EQ(classes->GetItemDescription(2), "Яблоко"_a);

  classes->SetSortedState(true);
  EXPECT_EQ(classes->GetItem(0), TA::StaticClass());
  EXPECT_EQ(classes->GetItem(1), TB::StaticClass());
  EXPECT_EQ(classes->GetItem(2), TD::StaticClass());
  classes->AddClass(TC::StaticClass(), "avocado");
  EXPECT_EQ(classes->GetItem(1), TC::StaticClass());  // re-sorted: Apple, avocado, banana

  EXPECT_EQ(classes->FindByClassName("TC"), TC::StaticClass());
  EXPECT_EQ(classes->FindByClassName("tc"), nullptr);  // exact comparison
  classes->RemoveClass(TC::StaticClass());
  EXPECT_EQ(classes->FindByClassName("TC"), nullptr);
  EXPECT_THROW(classes->GetItemDescription(3), EListError);

  // Registered for streaming: form descriptions find the class by name.
  Owned<TcxRegisteredClasses> streamed(new TcxRegisteredClasses(true));
  EXPECT_EQ(GetClass("TRegisteredForStreaming"), nullptr);
  streamed->AddClass(TRegisteredForStreaming::StaticClass(), "x");
  EXPECT_EQ(GetClass("TRegisteredForStreaming"), TRegisteredForStreaming::StaticClass());
  UnRegisterClass(TRegisteredForStreaming::StaticClass());
}

TEST(cxClassesUtilities, Arithmetic) {
  const std::pair<std::pair<Integer, Integer>, Integer> middles[] = {
      {{-3, 0}, -2}, {{0, 3}, 1}, {{-4, 0}, -2}, {{2, 2}, 2}, {{INT32_MAX, INT32_MAX}, INT32_MAX},
      {{INT32_MIN, INT32_MIN}, INT32_MIN}, {{-1, 0}, -1},
  };
  for (auto [args, expected] : middles)
    EXPECT_EQ(GetRangeMiddle(args.first, args.second), expected) << args.first << "," << args.second;
  const std::pair<std::pair<Integer, Integer>, Integer> divisions[] = {
      {{7, 2}, 4}, {{8, 2}, 4}, {{0, 5}, 0}, {{1, 5}, 1}, {{-7, 2}, -2}, {{7, -1}, -7},
  };
  for (auto [args, expected] : divisions)
    EXPECT_EQ(DivideRoundUp(args.first, args.second), expected) << args.first << "/" << args.second;
  EXPECT_THROW(DivideRoundUp(1, 0), EDivByZero);
  EXPECT_THROW(DivideRoundUp(INT32_MIN, -1), EIntOverflow);
  EXPECT_EQ(FloatSign(0.0), 1);
  EXPECT_EQ(FloatSign(-0.5), -1);
  EXPECT_EQ(MakeSize(3, 4), (TSize{3, 4}));
  EXPECT_EQ(GetCharByteLength("abc", 1), 1);
  EXPECT_EQ(GetCharByteLength("abc", 4), 0);
}

struct Receiver : TObject {
  int Calls = 0;
  TObject* LastSender = nullptr;
  void Handle(TObject* sender) {
    ++Calls;
    LastSender = sender;
  }
};

TEST(cxClassesUtilities, EventsListsAndStreams) {
  Receiver r;
  FireNotifyEvent(&r, TNotifyEvent());  // unassigned: nothing
  FireNotifyEvent(&r, TNotifyEvent(&r, &Receiver::Handle));
  EXPECT_EQ(r.Calls, 1);
  EXPECT_EQ(r.LastSender, &r);
  EXPECT_TRUE(SameMethod(TNotifyEvent(&r, &Receiver::Handle), TNotifyEvent(&r, &Receiver::Handle)));
  EXPECT_FALSE(SameMethod(TNotifyEvent(&r, &Receiver::Handle), TNotifyEvent()));

  Owned<TList> source(new TList), destination(new TList);
  int x = 0, y = 0, z = 0;
  source->Add(&x);
  source->Add(&y);
  destination->Add(&z);
  destination->Add(&z);
  destination->Add(&z);
  CopyListItems(source.get(), destination.get());
  ASSERT_EQ(destination->GetCount(), 2);
  EXPECT_EQ(destination->Get(1), &y);

  Owned<TMemoryStream> a(new TMemoryStream), b(new TMemoryStream);
  EXPECT_TRUE(MemoryStreamsEqual(a.get(), b.get()));
  a->WriteBuffer("abc", 3);
  b->WriteBuffer("abd", 3);
  EXPECT_FALSE(MemoryStreamsEqual(a.get(), b.get()));
  b->SetPosition(2);
  b->WriteBuffer("c", 1);
  EXPECT_TRUE(MemoryStreamsEqual(a.get(), b.get()));
  b->WriteBuffer("d", 1);
  EXPECT_FALSE(MemoryStreamsEqual(a.get(), b.get()));
}

TEST(TcxEventHandlerCollection, CallsHandlersInOrderOfAddition) {
  struct Log : TObject {
    std::vector<int> Calls;
    const void* Args = nullptr;
    void First(TObject*, const void* args) { Calls.push_back(1); Args = args; }
    void Second(TObject*, const void*) { Calls.push_back(2); }
  } log;
  Owned<TcxEventHandlerCollection> handlers(new TcxEventHandlerCollection);
  handlers->InvokeAll(nullptr, nullptr);  // empty: nothing
  handlers->Add(TcxEventHandler(&log, &Log::Second));
  handlers->Add(TcxEventHandler(&log, &Log::First));
  handlers->Add(TcxEventHandler(&log, &Log::Second));  // once only
  const int args = 42;
  handlers->InvokeAll(nullptr, &args);
  EXPECT_EQ(log.Calls, (std::vector<int>{2, 1}));
  EXPECT_EQ(log.Args, &args);
  handlers->Remove(TcxEventHandler(&log, &Log::Second));
  handlers->InvokeAll(nullptr, nullptr);
  EXPECT_EQ(log.Calls, (std::vector<int>{2, 1, 1}));
}

int gFreed = 0;
struct TCounted : TObject {
  ~TCounted() override { ++gFreed; }
};

TEST(TcxObjectList, FreesItsObjectsWhenOwning) {
  gFreed = 0;
  Owned<TcxObjectList> owning(new TcxObjectList(true));
  owning->Add(new TCounted);
  owning->Add(new TCounted);
  EXPECT_EQ(owning->GetItemAt(1)->ClassName(), "TObject");
  owning->Clear();
  EXPECT_EQ(gFreed, 2);
  owning->Add(new TCounted);
  owning.reset();
  EXPECT_EQ(gFreed, 3);

  TCounted kept;
  Owned<TcxObjectList> borrowing(new TcxObjectList(false));
  borrowing->Add(&kept);
  borrowing->Clear();
  EXPECT_EQ(gFreed, 3);
}

class TPersistentWithOwner : public TcxInterfacedPersistent {
  ORV_CLASS(TPersistentWithOwner, TcxInterfacedPersistent)
 public:
  using TcxInterfacedPersistent::TcxInterfacedPersistent;
};

TEST(TcxInterfacedPersistent, VirtualConstructorKeepsTheOwner) {
  Owned<TPersistent> owner(new TPersistent);
  TcxInterfacedPersistentClass cls = TPersistentWithOwner::StaticClass();
  Owned<TcxInterfacedPersistent> p(cls.Create(owner.get()));
  EXPECT_EQ(p->ClassType(), TPersistentWithOwner::StaticClass());
  EXPECT_EQ(p->GetOwner(), owner.get());
  EXPECT_NE(Supports<IInterface>(p.get()), nullptr);
}

TEST(TcxComponent, LinksReadEmptyAfterTheComponentIsFreed) {
  auto* owner = new TcxComponent(nullptr);
  auto* child = new TcxComponent(owner);
  TcxObjectLink* ownerLink = CreateObjectLink(owner);
  TcxObjectLink* childLink = CreateObjectLink(child);
  TcxObjectLink* childLink2 = CreateObjectLink(child);
  EXPECT_FALSE(owner->IsDesignTime());
  owner->Free();  // frees the child too
  EXPECT_EQ(ownerLink->Ref, nullptr);
  EXPECT_EQ(childLink->Ref, nullptr);
  EXPECT_EQ(childLink2->Ref, nullptr);
  ReleaseObjectLink(ownerLink);
  ReleaseObjectLink(childLink);
  ReleaseObjectLink(childLink2);
  EXPECT_EQ(orv::ObjectLinkReferenceCount(), 0);
}

TEST(TcxFreeNotificator, ForwardsTheRemovalOfWatchedComponents) {
  struct Log : TObject {
    std::vector<TComponent*> Freed;
    void OnFree(TComponent* c) { Freed.push_back(c); }
  } log;
  Owned<TcxFreeNotificator> notificator(new TcxFreeNotificator(nullptr));
  notificator->SetOnFreeNotification(TcxFreeNotificationEvent(&log, &Log::OnFree));
  auto* watched = new TComponent(nullptr);
  auto* unwatched = new TComponent(nullptr);
  auto* dropped = new TComponent(nullptr);
  notificator->AddSender(watched);
  notificator->AddSender(dropped);
  notificator->AddSender(nullptr);
  notificator->RemoveSender(dropped);
  notificator->RemoveSender(nullptr);
  watched->Free();
  unwatched->Free();
  dropped->Free();
  ASSERT_EQ(log.Freed.size(), 1u);
  EXPECT_EQ(log.Freed[0], watched);
}

}  // namespace
