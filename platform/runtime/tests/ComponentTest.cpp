#include "platform/runtime/Component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/runtime/Exceptions.h"

namespace {

std::vector<std::string> gComponentLog;

// Logs every notice it receives as "<receiver> <insert|remove> <component class>:<name>".
class TProbe : public TComponent {
  ORV_CLASS(TProbe, TComponent)
 public:
  explicit TProbe(TComponent* owner, const char* name = "") : TComponent(owner) {
    if (*name) SetName(name);
  }
  void Notification(TComponent* component, TOperation operation) override {
    inherited::Notification(component, operation);
    // The component is whole: its class is the most derived one.
    gComponentLog.push_back(GetName() + (operation == opInsert ? " insert " : " remove ") +
                   component->ClassName() + ":" + component->GetName());
    if (operation == opRemove && component == Watched) Watched = nullptr;
  }
  void BeforeDestruction() override {
    Destroying();  // marks it (and its components) first, as teardown code expects
    gComponentLog.push_back("free " + GetName() + (GetComponentState().Contains(csDestroying) ? " destroying" : ""));
    inherited::BeforeDestruction();
  }
  TComponent* Watched = nullptr;
};

class TSpecialProbe : public TProbe {
  ORV_CLASS(TSpecialProbe, TProbe)
 public:
  explicit TSpecialProbe(TComponent* owner) : TProbe(owner) {}
};

std::vector<std::string> Names(TComponent* owner) {
  std::vector<std::string> names;
  for (Integer i = 0; i < owner->GetComponentCount(); ++i) names.push_back(owner->GetComponent(i)->GetName());
  return names;
}

TEST(Component, OwnerKeepsComponentsInOrderAndFreesThemLastCreatedFirst) {
  gComponentLog.clear();
  auto* form = new TProbe(nullptr, "Form");
  auto* a = new TProbe(form, "A");
  new TProbe(form, "B");
  auto* c = new TProbe(form, "C");
  new TProbe(a, "A1");
  EXPECT_EQ(Names(form), (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(a->GetOwner(), form);
  EXPECT_EQ(c->GetComponentIndex(), 2);
  EXPECT_EQ(form->GetComponentIndex(), -1);
  EXPECT_THROW(form->GetComponent(3), EListError);

  c->SetComponentIndex(0);
  EXPECT_EQ(Names(form), (std::vector<std::string>{"C", "A", "B"}));
  c->SetComponentIndex(99);  // clamped to the last place
  EXPECT_EQ(Names(form), (std::vector<std::string>{"A", "B", "C"}));

  gComponentLog.clear();
  form->Free();
  // Every component is already marked destroying when its own teardown starts; nobody asked for
  // free notification, so the siblings are not told of each removal.
  EXPECT_EQ(gComponentLog, (std::vector<std::string>{"free Form destroying", "free C destroying", "free B destroying",
                                            "free A destroying", "free A1 destroying"}));
}

TEST(Component, FreeingAnOwnedComponentTellsTheOwnerAndItsComponents) {
  gComponentLog.clear();
  auto* form = new TProbe(nullptr, "Form");
  auto* a = new TProbe(form, "A");
  auto* b = new TSpecialProbe(form);
  b->SetName("B");
  // The insert notice comes from the base constructor: the new component is a TComponent
  // without a name yet, and its own overrides are not active.
  EXPECT_EQ(gComponentLog, (std::vector<std::string>{"Form insert TComponent:", "A insert TComponent:",
                                            "Form insert TComponent:"}));
  gComponentLog.clear();
  b->Free();
  EXPECT_EQ(gComponentLog, (std::vector<std::string>{"free B destroying", "B remove TSpecialProbe:B",
                                            "A remove TSpecialProbe:B", "Form remove TSpecialProbe:B"}));
  EXPECT_EQ(form->GetComponentCount(), 1);

  // Moving a component to another owner removes it from the first.
  auto* other = new TComponent(nullptr);
  other->InsertComponent(a);
  EXPECT_EQ(form->GetComponentCount(), 0);
  EXPECT_EQ(a->GetOwner(), other);
  other->RemoveComponent(a);
  EXPECT_EQ(a->GetOwner(), nullptr);
  a->Free();
  other->Free();
  form->Free();
}

TEST(Component, NamesMustBeIdentifiersAndUniqueWithinTheOwner) {
  auto* form = new TComponent(nullptr);
  auto* a = new TComponent(form);
  auto* b = new TComponent(form);
  a->SetName("Button1");
  EXPECT_EQ(form->FindComponent("BUTTON1"), a);
  EXPECT_EQ(form->FindComponent(""), nullptr);

  struct Case {
    const char* Name;
    bool Valid;
  } const cases[] = {{"_x9", true}, {"cxGrid1DBTableView1", true}, {"", true}, {"9a", false},
                     {"a b", false}, {"a-b", false}, {"\xCC\xEE", false}};
  for (const auto& c : cases) {
    if (c.Valid) {
      EXPECT_NO_THROW(b->SetName(c.Name)) << c.Name;
      EXPECT_EQ(b->GetName(), c.Name);
    } else {
      EXPECT_THROW(b->SetName(c.Name), EComponentError) << c.Name;
    }
  }
  try {
    b->SetName("button1");
    FAIL();
  } catch (const EComponentError& e) {
    EXPECT_EQ(e.GetMessage(), "A component named button1 already exists");
  }
  a->SetName("BUTTON1");  // only the case changes
  EXPECT_EQ(a->GetName(), "BUTTON1");

  // Inserting a component whose name is taken is refused too.
  auto* stray = new TComponent(nullptr);
  stray->SetName("Button1");
  EXPECT_THROW(form->InsertComponent(stray), EComponentError);
  EXPECT_EQ(stray->GetOwner(), nullptr);
  stray->Free();

  // Components without an owner may share a name.
  auto* x = new TComponent(nullptr);
  auto* y = new TComponent(nullptr);
  x->SetName("Same");
  y->SetName("Same");
  x->Free();
  y->Free();
  form->Free();
}

TEST(Component, ManyComponentsAreFoundByNameThroughRenamesAndRemovals) {
  auto* owner = new TComponent(nullptr);
  std::vector<TComponent*> all;
  for (int i = 0; i < 200; ++i) {
    all.push_back(new TComponent(owner));
    all.back()->SetName("Item" + std::to_string(i));
  }
  EXPECT_EQ(owner->FindComponent("item150"), all[150]);
  all[150]->SetName("Renamed");
  EXPECT_EQ(owner->FindComponent("Item150"), nullptr);
  EXPECT_EQ(owner->FindComponent("RENAMED"), all[150]);
  EXPECT_THROW(all[3]->SetName("Item4"), EComponentError);
  all[4]->Free();
  all[3]->SetName("Item4");
  EXPECT_EQ(owner->FindComponent("Item4"), all[3]);
  for (int i = 199; i >= 40; --i)
    if (i != 150) all[i]->Free();
  all[150]->Free();
  EXPECT_EQ(owner->FindComponent("Item39"), all[39]);
  EXPECT_EQ(owner->FindComponent("Item100"), nullptr);
  owner->Free();
}

TEST(Component, FreeNotificationLinksComponentsOfDifferentOwners) {
  gComponentLog.clear();
  auto* dm = new TProbe(nullptr, "DM");
  auto* table = new TSpecialProbe(dm);
  table->SetName("Table");
  auto* form = new TProbe(nullptr, "Form");
  auto* grid = new TProbe(form, "Grid");
  grid->Watched = table;
  table->FreeNotification(grid);
  table->FreeNotification(grid);  // once only
  EXPECT_TRUE(table->GetComponentState().Contains(csFreeNotification));

  gComponentLog.clear();
  dm->Free();
  EXPECT_EQ(grid->Watched, nullptr);
  EXPECT_EQ(std::count(gComponentLog.begin(), gComponentLog.end(), "Grid remove TSpecialProbe:Table"), 1);

  // A removed free notification is not delivered; the link works both ways.
  auto* a = new TProbe(nullptr, "A");
  auto* b = new TProbe(nullptr, "B");
  a->FreeNotification(b);
  a->RemoveFreeNotification(b);
  gComponentLog.clear();
  a->Free();
  EXPECT_EQ(gComponentLog, std::vector<std::string>{"free A destroying"});
  auto* c = new TProbe(nullptr, "C");
  c->FreeNotification(b);
  gComponentLog.clear();
  b->Free();  // c watched b implicitly as well
  EXPECT_EQ(gComponentLog, (std::vector<std::string>{"free B destroying", "C remove TProbe:B"}));
  c->Free();
  form->Free();
}

TEST(Component, StateFlagsForLoadingUpdatingAndDesigning) {
  auto* form = new TComponent(nullptr);
  auto* child = new TComponent(form);
  IncludeComponentState(child, {csLoading, csReading});
  EXPECT_TRUE(child->GetComponentState().ContainsAll({csLoading, csReading}));
  ExcludeComponentState(child, {csReading});
  child->Loaded();
  EXPECT_TRUE(child->GetComponentState().Empty());
  child->Updating();
  EXPECT_TRUE(child->GetComponentState().Contains(csUpdating));
  child->Updated();
  EXPECT_FALSE(child->GetComponentState().Contains(csUpdating));
  EXPECT_FALSE(child->HasParent());
  EXPECT_EQ(child->GetParentComponent(), nullptr);
  EXPECT_EQ(form->GetChildParent(), form);
  EXPECT_THROW(child->ReadState(nullptr), EInvalidOperation);  // no form streaming linked here
  form->Free();
}

// A component that streams its items as children, as a grid streams its levels.
class TContainer : public TComponent {
  ORV_CLASS(TContainer, TComponent)
 public:
  explicit TContainer(TComponent* owner) : TComponent(owner) {}
  void GetChildren(TGetChildProc proc, TComponent* root) override {
    for (TComponent* item : Items)
      if (item->GetOwner() == root) proc(item);
  }
  void SetChildOrder(TComponent* child, Integer order) override {
    std::erase(Items, child);
    Items.insert(Items.begin() + order, child);
  }
  std::vector<TComponent*> Items;
};

TEST(Component, ChildrenProtocolEnumeratesAndReordersChildren) {
  auto* form = new TComponent(nullptr);
  auto* container = new TContainer(form);
  auto* x = new TComponent(form);
  auto* y = new TComponent(form);
  auto* foreign = new TComponent(nullptr);
  container->Items = {x, y, foreign};
  std::vector<TComponent*> seen;
  auto collect = [&](TComponent* c) { seen.push_back(c); };
  container->GetChildren(TGetChildProc::Callable(collect), form);
  EXPECT_EQ(seen, (std::vector<TComponent*>{x, y}));
  container->SetChildOrder(y, 0);
  EXPECT_EQ(container->Items.front(), y);
  foreign->Free();
  form->Free();
}

TEST(Component, VirtualConstructorThroughAComponentClass) {
  auto* owner = new TComponent(nullptr);
  TComponentClass cls = TSpecialProbe::StaticClass();
  TComponent* made = cls.Create(owner);
  EXPECT_EQ(made->ClassName(), "TSpecialProbe");
  EXPECT_EQ(made->GetOwner(), owner);
  owner->Free();
}

// A constructor that throws after the base inserted the component leaves no dangling pointer.
class TFailing : public TComponent {
  ORV_CLASS(TFailing, TComponent)
 public:
  explicit TFailing(TComponent* owner) : TComponent(owner) { throw EComponentError("no"); }
};

TEST(Component, AConstructorThatThrowsLeavesTheOwnerClean) {
  auto* owner = new TComponent(nullptr);
  EXPECT_THROW(new TFailing(owner), EComponentError);
  EXPECT_EQ(owner->GetComponentCount(), 0);
  owner->Free();
}

}  // namespace
