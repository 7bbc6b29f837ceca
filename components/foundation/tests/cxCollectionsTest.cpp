#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "components/foundation/cxClasses.h"
#include "platform/runtime/Exceptions.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"

namespace {

using orv::test::Owned;

// ---- MRU lists ----

int gMRUFreed = 0;

class TTextMRUItem : public TcxMRUItem {
  ORV_CLASS(TTextMRUItem, TcxMRUItem)
 public:
  explicit TTextMRUItem(AnsiString text) : Text(std::move(text)) {}
  ~TTextMRUItem() override { ++gMRUFreed; }
  Boolean Equals(TcxMRUItem* item) override {
    return static_cast<TTextMRUItem*>(item)->Text == Text;
  }
  AnsiString Text;
};

std::vector<AnsiString> Texts(const TcxMRUItems& items) {
  std::vector<AnsiString> result;
  for (Integer i = 0; i < items.GetItemCount(); ++i)
    result.push_back(static_cast<TTextMRUItem*>(items.GetItemAt(i))->Text);
  return result;
}

TEST(TcxMRUItems, PushTrimAndMove) {
  gMRUFreed = 0;
  Owned<TcxMRUItems> items(new TcxMRUItems);
  EXPECT_EQ(items->GetMaxCount(), 0);
  items->SetMaxCount(2);
  items->PushItem(new TTextMRUItem("A"));
  items->PushItem(new TTextMRUItem("B"));
  items->PushItem(new TTextMRUItem("C"));
  EXPECT_EQ(Texts(*items), (std::vector<AnsiString>{"C", "B"}));
  EXPECT_EQ(gMRUFreed, 1);  // A was trimmed
  items->PushItem(new TTextMRUItem("B"));
  EXPECT_EQ(Texts(*items), (std::vector<AnsiString>{"B", "C"}));
  EXPECT_EQ(gMRUFreed, 2);  // the pushed duplicate was freed
  // Pushing an item the list already holds only moves it.
  items->PushItem(items->GetItemAt(1));
  EXPECT_EQ(Texts(*items), (std::vector<AnsiString>{"C", "B"}));
  EXPECT_EQ(gMRUFreed, 2);

  items->SetMaxCount(-1);
  EXPECT_EQ(items->GetMaxCount(), 0);
  items->PushItem(new TTextMRUItem("D"));
  items->PushItem(new TTextMRUItem("E"));
  EXPECT_EQ(Texts(*items), (std::vector<AnsiString>{"E", "D", "C", "B"}));
  items->SetMaxCount(3);
  EXPECT_EQ(Texts(*items), (std::vector<AnsiString>{"E", "D", "C"}));
  items->DeleteItem(1);
  EXPECT_EQ(Texts(*items), (std::vector<AnsiString>{"E", "C"}));
  EXPECT_EQ(items->IndexOfItem(items->GetItemAt(1)), 1);
  EXPECT_THROW(items->DeleteItem(2), EListError);
  const int before = gMRUFreed;
  items.reset();
  EXPECT_EQ(gMRUFreed, before + 2);
}

TEST(TcxOpenList, GrowsToTakeAnItemAtAnyIndex) {
  Owned<TcxOpenList> list(new TcxOpenList);
  int x = 0;
  list->SetItemAt(5, &x);
  ASSERT_EQ(list->GetCount(), 6);
  for (Integer i = 0; i < 5; ++i) EXPECT_EQ(list->GetItemAt(i), nullptr);
  EXPECT_EQ(list->GetItemAt(5), &x);
  list->SetItemAt(2, &x);
  EXPECT_EQ(list->GetCount(), 6);
  EXPECT_THROW(list->SetItemAt(-1, &x), EListError);
}

// ---- Component lists ----

struct ListLog : TObject {
  std::vector<std::pair<TComponent*, Integer>> Changes;
  void Changed(TcxComponentList*, TComponent* c, orv::TComponentCollectionAction action) {
    Changes.push_back({c, Integer(action)});
  }
};

TEST(TcxComponentList, ChangeNoticesAndFreedMembers) {
  ListLog log;
  Owned<TcxComponentList> list(new TcxComponentList);
  list->SetOnComponentListChanged(TcxComponentListChangeEvent(&log, &ListLog::Changed));
  auto* a = new TComponent(nullptr);
  auto* b = new TComponent(nullptr);
  list->Add(a);
  list->Add(b);
  // An object that is not a component does not stay.
  Owned<TObject> plain(new TPersistent);
  list->TObjectList::Add(plain.get());
  EXPECT_EQ(list->GetCount(), 2);
  // A member freed elsewhere leaves the list by itself.
  b->Free();
  ASSERT_EQ(list->GetCount(), 1);
  list->Extract(a);
  EXPECT_EQ(list->GetCount(), 0);
  const std::vector<std::pair<TComponent*, Integer>> expected = {
      {a, orv::ccaAdded}, {b, orv::ccaAdded}, {b, orv::ccaExtracted}, {a, orv::ccaExtracted}};
  EXPECT_EQ(log.Changes, expected);

  // Inside an update: one notice of the whole list at the end.
  log.Changes.clear();
  list->BeginUpdate();
  list->Add(a);
  list->BeginUpdate();
  list->Remove(a);
  list->EndUpdate();
  EXPECT_TRUE(log.Changes.empty());
  list->EndUpdate();
  EXPECT_EQ(log.Changes, (std::vector<std::pair<TComponent*, Integer>>{{nullptr, orv::ccaChanged}}));
  // CancelUpdate closes silently.
  log.Changes.clear();
  list->BeginUpdate();
  list->Add(a);
  list->CancelUpdate();
  EXPECT_TRUE(log.Changes.empty());
  list->Clear();
  EXPECT_EQ(log.Changes, (std::vector<std::pair<TComponent*, Integer>>{{nullptr, orv::ccaChanged}}));
  // The list does not own its members: a is still alive.
  EXPECT_EQ(a->GetComponentCount(), 0);
  a->Free();
}

// ---- Component collections ----

class TTestCollectionItem;

class TTestHost : public TComponent {
  ORV_CLASS(TTestHost, TComponent)
 public:
  explicit TTestHost(TComponent* owner);
  ~TTestHost() override;
  TcxComponentCollection* Items;
};

int gItemsFreed = 0;

class TTestCollectionItem : public TcxComponentCollectionItem {
  ORV_CLASS(TTestCollectionItem, TcxComponentCollectionItem)
 public:
  explicit TTestCollectionItem(TComponent* owner) : TcxComponentCollectionItem(owner) {}
  ~TTestCollectionItem() override { ++gItemsFreed; }
  Integer Value = 0;
  void Assign(TPersistent* source) override {
    if (auto* item = dynamic_cast<TTestCollectionItem*>(source))
      Value = item->Value;
    else
      inherited::Assign(source);
  }
  void Touch() { ReportChange(); }

 protected:
  TcxComponentCollection* GetParentCollection(TComponent* parent) override {
    return static_cast<TTestHost*>(parent)->Items;
  }
};

TTestHost::TTestHost(TComponent* owner)
    : TComponent(owner),
      Items(new TcxComponentCollection(this, TTestCollectionItem::StaticClass())) {}
TTestHost::~TTestHost() { Items->Free(); }

struct CollectionLog : TObject {
  std::vector<std::pair<TcxComponentCollectionItem*, Integer>> Changes;
  void Changed(TObject*, TcxComponentCollectionItem* item, orv::TComponentCollectionAction action) {
    Changes.push_back({item, Integer(action)});
  }
};

TEST(TcxComponentCollection, ItemsJoinLeaveAndReport) {
  CollectionLog log;  // outlives the form, whose teardown still reports to it
  Owned<TComponent> form(new TComponent(nullptr));
  auto* host = new TTestHost(form.get());
  TcxComponentCollection* items = host->Items;
  items->SetOnChange(TcxComponentCollectionChangeEvent(&log, &CollectionLog::Changed));

  auto* first = static_cast<TTestCollectionItem*>(items->AddItem());
  auto* second = static_cast<TTestCollectionItem*>(items->Add());
  EXPECT_EQ(first->GetOwner(), form.get());  // owned by the host's owner
  EXPECT_EQ(first->GetCollection(), items);
  EXPECT_TRUE(first->HasParent());
  EXPECT_EQ(first->GetParentComponent(), host);
  EXPECT_EQ(first->GetID(), 0);
  EXPECT_EQ(second->GetID(), 1);
  EXPECT_EQ(second->GetItemIndex(), 1);
  EXPECT_EQ(items->GetItem(0), first);

  second->SetIndex(0);
  EXPECT_EQ(items->GetItemAt(0), second);
  EXPECT_EQ(first->GetIndex(), 1);
  first->Touch();
  first->Free();  // leaves the collection
  EXPECT_EQ(items->GetItemCount(), 1);
  const std::vector<std::pair<TcxComponentCollectionItem*, Integer>> expected = {
      {first, orv::ccaAdded}, {second, orv::ccaAdded}, {nullptr, orv::ccaChanged},
      {first, orv::ccaChanged}, {first, orv::ccaExtracted}};
  EXPECT_EQ(log.Changes, expected);

  // Ids are never handed out twice.
  auto* third = items->AddItem();
  EXPECT_EQ(third->GetID(), 2);
  EXPECT_EQ(items->GetItemCount(), 2);
}

TEST(TcxComponentCollection, UpdatesHoldNoticesBack) {
  CollectionLog log;
  Owned<TTestHost> host(new TTestHost(nullptr));
  TcxComponentCollection* items = host->Items;
  items->SetOnChange(TcxComponentCollectionChangeEvent(&log, &CollectionLog::Changed));
  items->BeginUpdate();
  items->AddItem();
  items->AddItem();
  EXPECT_TRUE(log.Changes.empty());
  items->EndUpdate(true);
  EXPECT_EQ(log.Changes, (std::vector<std::pair<TcxComponentCollectionItem*, Integer>>{{nullptr, orv::ccaChanged}}));

  log.Changes.clear();
  items->Clear();  // frees every item, one notice
  EXPECT_EQ(items->GetItemCount(), 0);
  EXPECT_EQ(log.Changes, (std::vector<std::pair<TcxComponentCollectionItem*, Integer>>{{nullptr, orv::ccaChanged}}));
  items->BeginUpdate();
  items->EndUpdate(false);
  EXPECT_EQ(log.Changes.size(), 1u);
}

TEST(TcxComponentCollection, AssignCopiesItemsAndDestructionFreesThem) {
  Owned<TTestHost> source(new TTestHost(nullptr));
  Owned<TTestHost> target(new TTestHost(nullptr));
  for (Integer v : {7, 8, 9}) static_cast<TTestCollectionItem*>(source->Items->AddItem())->Value = v;
  target->Items->AddItem();
  target->Items->Assign(source->Items);
  ASSERT_EQ(target->Items->GetItemCount(), 3);
  EXPECT_EQ(static_cast<TTestCollectionItem*>(target->Items->GetItemAt(2))->Value, 9);
  Owned<TPersistent> other(new TPersistent);
  EXPECT_THROW(target->Items->Assign(other.get()), EConvertError);

  gItemsFreed = 0;
  target.reset();  // the collection frees its unowned items
  EXPECT_EQ(gItemsFreed, 3);
}

// ---- Naming ----

class TcxGridDBColumn : public TComponent {
  ORV_CLASS(TcxGridDBColumn, TComponent)
 public:
  explicit TcxGridDBColumn(TComponent* owner) : TComponent(owner) {}
};
class TdxBarScreenTip : public TComponent {
  ORV_CLASS(TdxBarScreenTip, TComponent)
 public:
  explicit TdxBarScreenTip(TComponent* owner) : TComponent(owner) {}
};

TEST(GenerateUniqueComponentName, Table) {
  Owned<TComponent> form(new TComponent(nullptr));
  auto* view = new TComponent(form.get());
  view->SetName("cxGrid1DBTableView1");
  auto* column = new TcxGridDBColumn(form.get());
  auto* tip = new TdxBarScreenTip(form.get());
  auto* taken = new TComponent(form.get());
  taken->SetName("cxGrid1DBTableView1COUNTRY");
  auto* taken1 = new TComponent(form.get());
  taken1->SetName("cxGrid1DBTableView1country1");

  struct Case {
    TComponent* namingParent;
    TComponent* component;
    AnsiString prefix, baseName, expected;
  } cases[] = {
      {view, column, "TcxGrid", "CITY", "cxGrid1DBTableView1CITY"},
      {view, column, "TcxGrid", "", "cxGrid1DBTableView1DBColumn1"},
      {view, column, "TcxGrid", "Town name-2", "cxGrid1DBTableView1Townname2"},
      {view, column, "TcxGrid", "2nd field", "cxGrid1DBTableView1DBColumn2ndfield"},
      // A base name with no identifier character left: the class name, and no number first.
      {view, column, "TcxGrid", "Город"_a, "cxGrid1DBTableView1DBColumn"},
      {view, column, "TdxBar", "", "cxGrid1DBTableView1cxGridDBColumn1"},
      {nullptr, tip, "TdxBar", "", "ScreenTip1"},
      {nullptr, tip, "tdxbar", "", "ScreenTip1"},  // the prefix is compared without case
      // Taken names (any letter case) count up: none first with a base name, then 1, 2...
      {view, column, "TcxGrid", "COUNTRY", "cxGrid1DBTableView1COUNTRY2"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(GenerateUniqueComponentName(form.get(), c.namingParent, c.component, c.prefix, c.baseName),
              c.expected)
        << c.baseName;

  // The component's own name does not count as taken.
  column->SetName("cxGrid1DBTableView1CITY");
  EXPECT_EQ(GenerateUniqueComponentName(form.get(), view, column, "TcxGrid", "CITY"), "cxGrid1DBTableView1CITY");
  // Without an owner every name is unique.
  EXPECT_EQ(GenerateUniqueComponentName(nullptr, nullptr, column, "TcxGrid", ""), "DBColumn1");
}

TComponent* GetChild(TComponent* caller, Integer index) {
  return caller->GetOwner()->GetComponent(index + 1);
}

TEST(RenameChildComponents, ReplacesTheOldPrefix) {
  Owned<TComponent> form(new TComponent(nullptr));
  auto* view = new TComponent(form.get());
  const char* names[] = {"View1Col1", "view1Col2", "View1", "Other", "View1Taken"};
  for (const char* name : names) (new TComponent(form.get()))->SetName(name);
  (new TComponent(form.get()))->SetName("ViewXTaken");
  view->SetName("ViewX");
  RenameChildComponents(view, form.get(), "ViewX", "View1", 5, GetChild);
  const char* expected[] = {"ViewXCol1", "ViewXCol2", "View1", "Other", "View1Taken"};
  for (Integer i = 0; i < 5; ++i) EXPECT_EQ(form->GetComponent(i + 1)->GetName(), expected[i]);
}

}  // namespace
