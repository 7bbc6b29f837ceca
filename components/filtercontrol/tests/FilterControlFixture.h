// A filterable component of three items (COUNTRY and CITY texts, LAT a number) with criteria of
// its own, and a headless form holding a filter control linked to it, in the test font.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/data/cxFilter.h"
#include "components/editors/cxDropDownEdit.h"
#include "components/editors/cxTextEdit.h"
#include "components/filtercontrol/cxFilterControl.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Gdi.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace fc_test {

using orv::test::Owned;

class TTestFilterItem : public TObject {
  ORV_CLASS(TTestFilterItem, TObject)
 public:
  TTestFilterItem(AnsiString caption, AnsiString name, Integer id, TcxValueTypeClass valueType)
      : Caption(std::move(caption)), Name(std::move(name)), ID(id), ValueType(valueType) {}
  AnsiString Caption;
  AnsiString Name;
  Integer ID;
  TcxValueTypeClass ValueType;
  // The item's value in each record a criteria is evaluated on; none by default.
  std::vector<Variant> Values;
};

class TTestFilterLink;

class TTestLinkCondition : public TcxFilterCriteriaItem {
  ORV_CLASS(TTestLinkCondition, TcxFilterCriteriaItem)
 public:
  using TcxFilterCriteriaItem::TcxFilterCriteriaItem;
  void GetDataValue(Integer recordIndex, Variant& value) override {
    auto* item = dynamic_cast<TTestFilterItem*>(GetLinkedItem());
    if (item && recordIndex >= 0 && std::size_t(recordIndex) < item->Values.size())
      value = item->Values[std::size_t(recordIndex)];
    else
      value = Null();
  }
  AnsiString GetFieldCaption() override {
    auto* item = dynamic_cast<TTestFilterItem*>(GetLinkedItem());
    return item ? item->Caption : AnsiString();
  }
  AnsiString GetFieldName() override {
    auto* item = dynamic_cast<TTestFilterItem*>(GetLinkedItem());
    return item ? item->Name : AnsiString();
  }
};

class TTestLinkCriteria : public TcxFilterCriteria {
  ORV_CLASS(TTestLinkCriteria, TcxFilterCriteria)
 public:
  explicit TTestLinkCriteria(std::vector<TTestFilterItem*>* items) : FItems(items) {
    SetStreamVersion(kDefaultFilterStreamVersion);
  }
  Integer GetIDByItemLink(TObject* link) override {
    auto* item = dynamic_cast<TTestFilterItem*>(link);
    return item ? item->ID : -1;
  }
  AnsiString GetNameByItemLink(TObject* link) override {
    auto* item = dynamic_cast<TTestFilterItem*>(link);
    return item ? item->Name : AnsiString();
  }
  TObject* GetItemLinkByID(Integer id) override {
    for (TTestFilterItem* item : *FItems)
      if (item->ID == id) return item;
    return nullptr;
  }
  TObject* GetItemLinkByName(const AnsiString& name) override {
    for (TTestFilterItem* item : *FItems)
      if (SameText(item->Name, name)) return item;
    return nullptr;
  }
  TcxFilterCriteriaItemClass GetItemClass() override { return TTestLinkCondition::StaticClass(); }

 private:
  std::vector<TTestFilterItem*>* FItems;
};

class TTestFilterLink : public TComponent, public IcxFilterControl {
  ORV_CLASS(TTestFilterLink, TComponent)
 public:
  explicit TTestFilterLink(TComponent* owner) : TComponent(owner) {
    Items.push_back(new TTestFilterItem("COUNTRY", "COUNTRY", 1, TcxStringValueType::StaticClass()));
    Items.push_back(new TTestFilterItem("CITY", "CITY", 2, TcxStringValueType::StaticClass()));
    Items.push_back(new TTestFilterItem("LAT", "LAT", 3, TcxFloatValueType::StaticClass()));
    Properties = new TcxTextEditProperties(nullptr);
    Criteria = new TTestLinkCriteria(&Items);
  }
  ~TTestFilterLink() override {
    orv::Free(Criteria);
    orv::Free(Properties);
    for (TTestFilterItem* item : Items) orv::Free(item);
  }
  AnsiString GetCaption(Integer index) override { return Items[std::size_t(index)]->Caption; }
  Integer GetCount() override { return Integer(Items.size()); }
  TcxFilterCriteria* GetCriteria() override { return Criteria; }
  TObject* GetItemLink(Integer index) override { return Items[std::size_t(index)]; }
  Integer GetItemLinkID(Integer index) override { return Items[std::size_t(index)]->ID; }
  AnsiString GetItemLinkName(Integer index) override { return Items[std::size_t(index)]->Name; }
  AnsiString GetFieldName(Integer index) override { return Items[std::size_t(index)]->Name; }
  TcxCustomEditProperties* GetProperties(Integer index) override {
    TcxCustomEditProperties* own = ItemProperties[std::size_t(index)];
    return own ? own : Properties;
  }
  TcxValueTypeClass GetValueType(Integer index) override { return Items[std::size_t(index)]->ValueType; }

  std::vector<TTestFilterItem*> Items;
  TcxTextEditProperties* Properties;
  // An item's own editor properties (not owned), else Properties.
  TcxCustomEditProperties* ItemProperties[3] = {};
  TTestLinkCriteria* Criteria;
};

class FilterControlTest : public orv::test::HeadlessFormTest {
 protected:
  FilterControlTest() : HeadlessFormTest({100, 100, 420, 220}) {}

  void SetUp() override {
    HeadlessFormTest::SetUp();
    Link = new TTestFilterLink(Form.get());
    Control = new TcxFilterControl(Form.get());
    Control->SetParent(Form.get());
    Control->SetBounds(0, 0, 420, 220);
    Control->GetFont()->SetName(orv::kTestFontFace);
    Control->GetFont()->SetHeight(-11);
    Control->SetLinkComponent(Link);
  }

  TTestFilterItem* Item(Integer index) const { return Link->Items[std::size_t(index)]; }
  TcxCustomRowViewInfo* Row(Integer index) const { return Control->GetRow(index); }
  TcxConditionViewInfo* Condition(Integer index) const {
    return dynamic_cast<TcxConditionViewInfo*>(Control->GetRow(index));
  }
  static void Key(int vk, bool shift = false, bool ctrl = false) {
    orv::headless::PressKey(vk, shift, ctrl);
    Run();
  }
  static void Type(const AnsiString& text) {
    orv::headless::TypeText(text);
    Run();
  }
  void ClickAt(const TRect& r) {
    const TPoint p = Control->ClientToScreen(TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    orv::headless::AdvanceTime(1000);
    orv::headless::Click(p.X, p.Y);
    Run();
  }
  // The chooser's list is open: picks the entry with the text by keyboard (Down moves through
  // the list from the current entry, Enter accepts).
  void PickInChooser(const AnsiString& text) {
    ASSERT_TRUE(Control->GetChooser()->HasOpenPopup());
    TStrings* items = Control->GetChooser()->GetProperties()->GetItems();
    const Integer target = items->IndexOf(text);
    ASSERT_GE(target, 0) << text;
    const Integer current = Control->GetChooser()->GetItemIndexProperty();
    for (Integer i = current; i < target; ++i) Key(VK_DOWN);
    for (Integer i = current; i > target; --i) Key(VK_UP);
    Key(VK_RETURN);
  }
  // A text of the criteria that names items, operators, values and groups.
  static std::string Describe(TcxFilterCriteriaItemList* group) {
    static const char* const ops[] = {"AND", "OR", "NOT AND", "NOT OR"};
    std::string s = std::string(ops[group->GetBoolOperator()]) + "(";
    for (Integer i = 0; i < group->GetCount(); ++i) {
      if (i) s += ", ";
      TcxCustomFilterCriteriaItem* item = group->GetItem(i);
      if (item->IsGroup()) {
        s += Describe(static_cast<TcxFilterCriteriaItemList*>(item));
      } else {
        auto* c = static_cast<TcxFilterCriteriaItem*>(item);
        auto* link = dynamic_cast<TTestFilterItem*>(c->GetLinkedItem());
        s += orv::AnsiToUtf8(link ? link->Name : AnsiString("?")) + " " + std::to_string(c->GetOperatorCode()) + " " +
             orv::AnsiToUtf8(VarIsNull(c->GetValue()) ? AnsiString("null") : c->GetDisplayValue());
      }
    }
    return s + ")";
  }
  static ::testing::AssertionResult Golden(TWinControl* c, const std::string& name) {
    const orv::TImageCheck check =
        orv::MatchGoldenImage(orv::headless::CaptureWindow(c->GetHandle()),
                              std::string(ORV_SOURCE_DIR) + "/components/filtercontrol/tests/golden/" + name);
    if (check) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << check.Message;
  }

  // Gives item `index` editor properties owned by the test; the control goes before them, and the
  // item lets go of them, when the returned guard ends.
  struct TItemPropertiesGuard {
    TcxFilterControl*& Control;
    TTestFilterLink* Link;
    Integer Index;
    ~TItemPropertiesGuard() {
      orv::Free(Control);
      Control = nullptr;
      Link->ItemProperties[std::size_t(Index)] = nullptr;
    }
  };
  [[nodiscard]] TItemPropertiesGuard UseItemProperties(Integer index, TcxCustomEditProperties* properties) {
    Link->ItemProperties[std::size_t(index)] = properties;
    return TItemPropertiesGuard{Control, Link, index};
  }

  TTestFilterLink* Link = nullptr;
  TcxFilterControl* Control = nullptr;
};

}  // namespace fc_test
