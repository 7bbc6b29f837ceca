#include "platform/runtime/Object.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Persistent.h"

namespace {

std::vector<std::string> gObjectLog;

class TShape : public TPersistent {
  ORV_CLASS(TShape, TPersistent)
 public:
  TShape() = default;
  ~TShape() override { gObjectLog.push_back("~TShape"); }
  virtual int Corners() const = 0;
  void BeforeDestruction() override {
    // Teardown that asks a virtual function reaches the most derived class.
    gObjectLog.push_back("before " + ClassName() + " " + std::to_string(Corners()));
    inherited::BeforeDestruction();
  }
};

class TSquare : public TShape {
  ORV_CLASS(TSquare, TShape)
 public:
  TSquare() = default;
  ~TSquare() override { gObjectLog.push_back("~TSquare"); }
  int Corners() const override { return 4; }
  int Side = 1;

 protected:
  void AssignTo(TPersistent* dest) override {
    if (auto* s = dynamic_cast<TSquare*>(dest)) {
      s->Side = Side;
      return;
    }
    inherited::AssignTo(dest);
  }
};

class TTriangle : public TShape {
  ORV_CLASS(TTriangle, TShape)
 public:
  TTriangle() = default;
  int Corners() const override { return 3; }
};

// A family whose virtual constructor takes an argument.
class TCell : public TObject {
  ORV_CLASS(TCell, TObject)
 public:
  using TCreateSignature = void(int value);
  explicit TCell(int value) : Value(value) {}
  virtual int Kind() const { return 0; }
  int Value;
};

class TMarkedCell : public TCell {
  ORV_CLASS(TMarkedCell, TCell)
 public:
  explicit TMarkedCell(int value) : TCell(value * 10) {}
  int Kind() const override { return 1; }
};

TEST(ObjectModel, ClassMetadataNamesParentsAndInheritance) {
  EXPECT_EQ(TSquare::StaticClass()->ClassName(), "TSquare");
  EXPECT_EQ(TSquare::StaticClass()->ClassParent(), TShape::StaticClass());
  EXPECT_EQ(TObject::StaticClass()->ClassParent(), nullptr);
  EXPECT_TRUE(TSquare::StaticClass()->InheritsFrom(TPersistent::StaticClass()));
  EXPECT_TRUE(TSquare::StaticClass()->InheritsFrom(TSquare::StaticClass()));
  EXPECT_FALSE(TShape::StaticClass()->InheritsFrom(TSquare::StaticClass()));
  EXPECT_FALSE(TSquare::StaticClass()->InheritsFrom(TTriangle::StaticClass()));
  EXPECT_TRUE(TShape::StaticClass()->IsAbstract());
  EXPECT_FALSE(TSquare::StaticClass()->IsAbstract());
  EXPECT_TRUE(TSquare::StaticClass()->ClassNameIs("tsquare"));

  TShape* s = new TSquare;
  EXPECT_EQ(s->ClassName(), "TSquare");
  EXPECT_EQ(s->ClassType(), TSquare::StaticClass());
  EXPECT_TRUE(s->InheritsFrom(TShape::StaticClass()));
  s->Free();
}

TEST(ObjectModel, ClassReferencesCreateTheMostDerivedClass) {
  orv::ClassOf<TShape> ref = TTriangle::StaticClass();
  TShape* shape = ref.Create();
  EXPECT_EQ(shape->Corners(), 3);
  EXPECT_EQ(shape->ClassType(), TTriangle::StaticClass());
  shape->Free();

  orv::ClassOf<TCell> cellClass = TMarkedCell::StaticClass();
  TCell* cell = cellClass.Create(4);
  EXPECT_EQ(cell->Kind(), 1);
  EXPECT_EQ(cell->Value, 40);
  cell->Free();

  // An abstract class cannot be created; a class reference refuses an unrelated class.
  EXPECT_THROW(orv::ClassOf<TShape>(TShape::StaticClass()).Create(), EInvalidOperation);
  EXPECT_THROW((void)orv::ClassOf<TShape>(TCell::StaticClass()), EInvalidOperation);
}

TEST(ObjectModel, FreeRunsBeforeDestructionWhileWholeThenTheDestructors) {
  gObjectLog.clear();
  TShape* s = new TSquare;
  s->Free();
  EXPECT_EQ(gObjectLog, (std::vector<std::string>{"before TSquare 4", "~TSquare", "~TShape"}));

  gObjectLog.clear();
  TSquare* p = new TSquare;
  FreeAndNil(p);
  EXPECT_EQ(p, nullptr);
  FreeAndNil(p);  // nothing for nullptr
  orv::Free(nullptr);
  EXPECT_EQ(gObjectLog.size(), 3u);
}

TEST(ObjectModel, RegisteredClassesAreFoundByName) {
  RegisterClass(TSquare::StaticClass());
  RegisterClasses({TSquare::StaticClass(), TTriangle::StaticClass()});  // again: no effect
  EXPECT_EQ(FindClass("TSQUARE"), TSquare::StaticClass());
  EXPECT_EQ(GetClass("TTriangle"), TTriangle::StaticClass());
  EXPECT_EQ(GetClass("TCircle"), nullptr);
  EXPECT_THROW(FindClass("TCircle"), EClassNotFound);
  UnRegisterClass(TTriangle::StaticClass());
  EXPECT_EQ(GetClass("TTriangle"), nullptr);
  UnRegisterClass(TSquare::StaticClass());
}

TEST(Persistent, AssignCopiesOrRaisesTheCannotAssignError) {
  TSquare a, b;
  a.Side = 7;
  b.Assign(&a);
  EXPECT_EQ(b.Side, 7);

  TTriangle t;
  try {
    t.Assign(&a);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.GetMessage(), "Cannot assign a TSquare to a TTriangle");
  }
  try {
    t.Assign(nullptr);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.GetMessage(), "Cannot assign a nil to a TTriangle");
  }
  EXPECT_EQ(a.GetOwner(), nullptr);
}

class THandler : public TObject {
  ORV_CLASS(THandler, TObject)
 public:
  THandler() = default;
  void Click(TObject* sender) { Clicks.push_back(sender); }
  void Other(TObject* sender) {}
  void Ask(TObject* sender, bool& allow) const { allow = Allow; }
  std::vector<TObject*> Clicks;
  bool Allow = false;
};

TEST(Events, AreComparableByObjectAndMethodAndCallTheHandler) {
  THandler h1, h2;
  TNotifyEvent a(&h1, &THandler::Click), b(&h1, &THandler::Click);
  TNotifyEvent c(&h2, &THandler::Click), d(&h1, &THandler::Other), none;
  EXPECT_TRUE(a == b);
  EXPECT_FALSE(a == c);
  EXPECT_FALSE(a == d);
  EXPECT_FALSE(a == none);
  EXPECT_TRUE(none == TNotifyEvent(nullptr));
  EXPECT_FALSE(none.Assigned());
  EXPECT_EQ(a.GetData(), &h1);

  a(&h2);
  EXPECT_EQ(h1.Clicks, std::vector<TObject*>{&h2});

  orv::Event<void(TObject*, bool&)> ask(&h1, &THandler::Ask);
  bool allow = true;
  ask(nullptr, allow);
  EXPECT_FALSE(allow);

  int calls = 0;
  auto count = [&](TObject*) { ++calls; };
  auto byLambda = TNotifyEvent::Callable(count);
  byLambda(nullptr);
  byLambda(nullptr);
  EXPECT_EQ(calls, 2);
  EXPECT_TRUE(byLambda == TNotifyEvent::Callable(count));
}

class IShapeInfo : public virtual IInterface {
 public:
  virtual int Area() const = 0;
};
class IPrintable : public virtual IInterface {
 public:
  virtual std::string Print() const = 0;
};

class TPlate : public TInterfacedPersistent, public IShapeInfo, public IPrintable {
  ORV_CLASS(TPlate, TInterfacedPersistent)
 public:
  TPlate() = default;
  int Area() const override { return 6; }
  std::string Print() const override { return "plate"; }
};

TEST(Interfaces, AreAskedForBeforeUse) {
  TPlate plate;
  TSquare square;
  TObject* obj = &plate;
  IShapeInfo* info = nullptr;
  ASSERT_TRUE(Supports(obj, info));
  EXPECT_EQ(info->Area(), 6);
  EXPECT_EQ(Supports<IPrintable>(info)->Print(), "plate");  // from one interface to another
  EXPECT_EQ(Supports<IShapeInfo>(static_cast<TObject*>(&square)), nullptr);
  EXPECT_EQ(Supports<IShapeInfo>(static_cast<TObject*>(nullptr)), nullptr);
  // One IInterface per object, whichever interface reached it.
  EXPECT_EQ(static_cast<IInterface*>(info), static_cast<IInterface*>(Supports<IPrintable>(obj)));
}

}  // namespace

namespace {

class TListenerObj : public TObject {
  ORV_CLASS(TListenerObj, TObject)
 public:
  TListenerObj() = default;
  void Heard(TObject* sender) {
    ++Calls;
    if (List && Unsubscribe) List->Remove(*Unsubscribe);
  }
  int Calls = 0;
  orv::EventList<void(TObject*)>* List = nullptr;
  TNotifyEvent* Unsubscribe = nullptr;
};

TEST(Events, ListenerListsAddOnceAndRemoveByObjectAndMethod) {
  TListenerObj a, b, c;
  orv::EventList<void(TObject*)> list;
  TNotifyEvent ea(&a, &TListenerObj::Heard), eb(&b, &TListenerObj::Heard), ec(&c, &TListenerObj::Heard);
  list.Add(ea);
  list.Add(TNotifyEvent(&a, &TListenerObj::Heard));  // the same handler again: ignored
  list.Add(eb);
  list.Add(ec);
  list.Add(TNotifyEvent());
  EXPECT_EQ(list.Count(), 3);
  // a's handler removes b while the list is being called: b is not called.
  a.List = &list;
  a.Unsubscribe = &eb;
  list(nullptr);
  EXPECT_EQ(a.Calls + b.Calls + c.Calls, 2);
  EXPECT_EQ(b.Calls, 0);
  a.Unsubscribe = &ea;  // a removes itself: the others still run
  list(nullptr);
  EXPECT_EQ(c.Calls, 2);
  EXPECT_EQ(list.IndexOf(ea), -1);
  EXPECT_EQ(list.Count(), 1);
}

}  // namespace
