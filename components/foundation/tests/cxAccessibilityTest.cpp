// The accessibility bridge: child identifiers, supported properties, conversions and the
// behaviour after the owner is gone.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "components/foundation/cxAccessibility.h"
#include "platform/runtime/Exceptions.h"

namespace {

template <class T>
using Ptr = std::unique_ptr<T, orv::FreeDeleter>;

// A bar-like object: simple children and, optionally, children with helpers of their own.
class TTestHelper : public TcxAccessibilityHelper {
 public:
  explicit TTestHelper(TObject* owner) : TcxAccessibilityHelper(owner) {}

  Boolean IsElementChild(Integer index) override { return Children[std::size_t(index)] == nullptr; }
  TcxAccessibilityHelper* ChildHelperAt(Integer index) override {
    return Children[std::size_t(index)];
  }
  Integer ChildCount() override { return Integer(Children.size()); }
  Integer IndexOfChild(TcxAccessibilityHelper* child) override {
    for (std::size_t i = 0; i < Children.size(); ++i)
      if (Children[i] == child) return Integer(i);
    return -1;
  }
  AnsiString QueryName(Integer index) override { return index < Integer(Names.size()) ? Names[std::size_t(index)] : ""; }
  AnsiString QueryValue(Integer index) override { return Value; }
  void AssignValue(Integer index, const AnsiString& value) override { Value = value; }
  Integer QueryRole(Integer index) override { return 40 + index; }
  Integer QueryState(Integer index) override { return State; }
  void QueryScreenRect(Integer index, TRect& rect) override {
    rect = index == 0 ? Bounds : TRect{Bounds.Left + 10 * index, Bounds.Top, Bounds.Left + 10 * index + 10, Bounds.Bottom};
  }
  HitTestAnswer HitTestChild(Integer x, Integer y, Integer& index) override {
    index = (x - Bounds.Left) / 10;
    return index < ChildCount() ? hitChild : hitSelf;
  }
  Integer NavigateFrom(Integer index, NavigationDirection direction) override {
    LastDirection = direction;
    if (direction == ndNext) return std::min(index + 1, ChildCount() - 1);
    if (direction == ndPrevious) return std::max(index - 1, 0);
    return index;
  }
  Boolean FindFocusedChild(Boolean& isChild, Integer& index) override {
    isChild = Focus >= 0;
    index = Focus;
    return Focus != -2;
  }
  void QueryKeyboardAccess(Integer index, Word& shortCut, AnsiString& caption) override {
    shortCut = ShortCut;
    caption = Caption;
  }
  void PerformDefaultAction(Integer index) override { Performed.push_back(index); }
  TcxAccessibilityHelper* GetParentHelper() override { return Parent; }
  AccessiblePropertySet QuerySupportedProperties(Integer index) override { return Properties; }

  std::vector<TcxAccessibilityHelper*> Children;
  std::vector<AnsiString> Names;
  AnsiString Value, Caption;
  Word ShortCut = 0;
  Integer State = 0, Focus = -2;
  TRect Bounds{100, 100, 200, 120};
  NavigationDirection LastDirection = ndUp;
  std::vector<Integer> Performed;
  TcxAccessibilityHelper* Parent = nullptr;
  AccessiblePropertySet Properties = {propDefaultAction, propDescription, propFocus,
                                      propLocation, propShortcut, propValue};
};

VARIANT Id(LongInt id) { return VariantOfInteger(id); }

class AccessibilityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Owner.reset(new TObject);
    Helper.reset(new TTestHelper(Owner.get()));
    Child.reset(new TTestHelper(nullptr));
    Helper->Children = {nullptr, Child.get()};
    Helper->Names = {"Bar", "Item"};
    Child->Parent = Helper.get();
  }
  Ptr<TObject> Owner;
  Ptr<TTestHelper> Helper, Child;
};

TEST_F(AccessibilityTest, ChildIdentifiers) {
  LongInt count = 0;
  EXPECT_EQ(Helper->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, 2);
  WideString name;
  EXPECT_EQ(Helper->get_accName(Id(CHILDID_SELF), &name), S_OK);
  EXPECT_EQ(name, u"Bar");
  // Identifier n asks the questions for index n - 1.
  Helper->Children = {nullptr, nullptr, Child.get()};
  EXPECT_EQ(Helper->get_accName(Id(2), &name), S_OK);
  EXPECT_EQ(name, u"Item");
  Helper->Children = {nullptr, Child.get()};
  // Beyond the children, negative, not a number, or a child with a helper of its own.
  EXPECT_EQ(Helper->get_accName(Id(3), &name), E_INVALIDARG);
  EXPECT_EQ(Helper->get_accName(Id(-1), &name), E_INVALIDARG);
  EXPECT_EQ(Helper->get_accName(VARIANT{}, &name), E_INVALIDARG);
  EXPECT_EQ(Helper->get_accName(Id(2), &name), E_INVALIDARG);
  // The child with a helper is handed out as that helper; a simple one is not.
  IDispatch* dispatch = nullptr;
  EXPECT_EQ(Helper->get_accChild(Id(2), &dispatch), S_OK);
  EXPECT_EQ(dispatch, static_cast<IDispatch*>(Child.get()));
  EXPECT_EQ(Helper->get_accChild(Id(1), &dispatch), S_FALSE);
  EXPECT_EQ(dispatch, nullptr);
  EXPECT_EQ(Helper->get_accChild(Id(0), &dispatch), E_INVALIDARG);
  EXPECT_EQ(Helper->get_accChild(Id(3), &dispatch), E_INVALIDARG);
  VARIANT role;
  EXPECT_EQ(Helper->get_accRole(Id(1), &role), S_OK);
  EXPECT_EQ(role.vt, VT_I4);
  EXPECT_EQ(role.lVal, 40);
}

TEST_F(AccessibilityTest, TextsAndValues) {
  Helper->Names = {""};
  Helper->Children = {};
  WideString text;
  EXPECT_EQ(Helper->get_accName(Id(0), &text), S_FALSE);
  EXPECT_EQ(Helper->get_accDescription(Id(0), &text), S_FALSE);
  EXPECT_EQ(Helper->get_accValue(Id(0), &text), S_OK);  // empty, still S_OK
  EXPECT_EQ(Helper->put_accValue(Id(0), u"Москва"), S_OK);
  EXPECT_EQ(Helper->Value, "Москва"_a);
  EXPECT_EQ(Helper->get_accValue(Id(0), &text), S_OK);
  EXPECT_EQ(text, u"Москва");
  EXPECT_EQ(Helper->get_accDefaultAction(Id(0), &text), S_OK);
  EXPECT_EQ(Helper->accDoDefaultAction(Id(0)), S_OK);
  EXPECT_EQ(Helper->Performed, (std::vector<Integer>{0}));
  EXPECT_EQ(Helper->get_accHelp(Id(0), &text), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Helper->put_accName(Id(0), u"x"), DISP_E_MEMBERNOTFOUND);
  // Keyboard shortcuts: the accelerator upper-cased, "&&" skipped, else the shortcut's text.
  struct Case {
    AnsiString Caption;
    Word ShortCut;
    WideString Expected;
    HRESULT Result;
  };
  const Case cases[] = {{"&Файл"_a, 0, u"Ф", S_OK},
                        {"A && B &c", 0, u"C", S_OK},
                        {"Plain", Word(0x4000 | 'S'), u"Ctrl+S", S_OK},
                        {"Plain", 0, u"", S_FALSE},
                        {"Trailing &", 0, u"", S_FALSE}};
  for (const Case& c : cases) {
    Helper->Caption = c.Caption;
    Helper->ShortCut = c.ShortCut;
    EXPECT_EQ(Helper->get_accKeyboardShortcut(Id(0), &text), c.Result) << c.Caption;
    EXPECT_EQ(text, c.Expected) << c.Caption;
  }
}

TEST_F(AccessibilityTest, UnsupportedProperties) {
  Helper->Properties = {};
  LongInt l, t, w, h;
  VARIANT result;
  WideString text;
  EXPECT_EQ(Helper->accLocation(&l, &t, &w, &h, Id(0)), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Helper->accHitTest(150, 110, &result), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Helper->accNavigate(NAVDIR_NEXT, Id(1), &result), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Helper->get_accFocus(&result), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Helper->get_accValue(Id(0), &text), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Helper->accDoDefaultAction(Id(0)), DISP_E_MEMBERNOTFOUND);
  EXPECT_TRUE(Helper->Performed.empty());
  Helper->Names = {""};
  EXPECT_EQ(Helper->get_accName(Id(0), &text), S_FALSE);
}

TEST_F(AccessibilityTest, LocationHitTestAndFocus) {
  // Identifier 2 is the child at index 1 (identifier 1 would be index 0, as the object itself).
  Helper->Children = {nullptr, nullptr};
  LongInt l, t, w, h;
  EXPECT_EQ(Helper->accLocation(&l, &t, &w, &h, Id(2)), S_OK);
  EXPECT_EQ((std::vector<LongInt>{l, t, w, h}), (std::vector<LongInt>{110, 100, 10, 20}));
  EXPECT_EQ(Helper->accLocation(&l, &t, &w, &h, Id(0)), S_OK);
  EXPECT_EQ((std::vector<LongInt>{l, t, w, h}), (std::vector<LongInt>{100, 100, 100, 20}));
  Helper->Children = {nullptr, Child.get()};
  VARIANT result;
  EXPECT_EQ(Helper->accHitTest(105, 110, &result), S_OK);
  EXPECT_EQ(result.vt, VT_I4);
  EXPECT_EQ(result.lVal, 1);
  // Inside the child that has a helper: the helper comes back.
  EXPECT_EQ(Helper->accHitTest(115, 110, &result), S_OK);
  EXPECT_EQ(result.vt, VT_DISPATCH);
  EXPECT_EQ(result.pdispVal, static_cast<IDispatch*>(Child.get()));
  EXPECT_EQ(Helper->accHitTest(150, 110, &result), S_OK);
  EXPECT_EQ(result.vt, VT_I4);
  EXPECT_EQ(result.lVal, 0);
  EXPECT_EQ(Helper->accHitTest(50, 110, &result), S_FALSE);
  EXPECT_EQ(result.vt, VT_EMPTY);
  // Focus: unknown, on the object, on a child with a helper.
  EXPECT_EQ(Helper->get_accFocus(&result), S_FALSE);
  Helper->Focus = -1;
  EXPECT_EQ(Helper->get_accFocus(&result), S_OK);
  EXPECT_EQ(result.lVal, 0);
  Helper->Focus = 1;
  EXPECT_EQ(Helper->get_accFocus(&result), S_OK);
  EXPECT_EQ(result.vt, VT_DISPATCH);
}

TEST_F(AccessibilityTest, Navigation) {
  Helper->Children.assign(5, nullptr);
  VARIANT result;
  EXPECT_EQ(Helper->accNavigate(NAVDIR_LASTCHILD, Id(0), &result), S_OK);
  EXPECT_EQ(result.lVal, 5);
  EXPECT_EQ(Helper->accNavigate(NAVDIR_FIRSTCHILD, Id(0), &result), S_OK);
  EXPECT_EQ(result.lVal, 1);
  EXPECT_EQ(Helper->accNavigate(NAVDIR_LASTCHILD, Id(2), &result), E_INVALIDARG);
  EXPECT_EQ(Helper->accNavigate(NAVDIR_NEXT, Id(2), &result), S_OK);
  EXPECT_EQ(result.lVal, 3);
  EXPECT_EQ(Helper->LastDirection, ndNext);
  // No move: S_FALSE.
  EXPECT_EQ(Helper->accNavigate(NAVDIR_NEXT, Id(5), &result), S_FALSE);
  EXPECT_EQ(Helper->accNavigate(NAVDIR_NEXT, Id(6), &result), E_INVALIDARG);
  EXPECT_EQ(Helper->accNavigate(99, Id(2), &result), S_FALSE);
  EXPECT_EQ(Helper->LastDirection, ndUp);
  // From the object itself the parent answers, with its own numbers.
  Helper->Children = {nullptr, Child.get(), nullptr};
  EXPECT_EQ(Child->accNavigate(NAVDIR_NEXT, Id(0), &result), S_OK);
  EXPECT_EQ(result.vt, VT_I4);
  EXPECT_EQ(result.lVal, 3);
  EXPECT_EQ(Helper->accNavigate(NAVDIR_NEXT, Id(0), &result), S_FALSE);  // no parent
  Helper->DetachOwner();
  EXPECT_EQ(Child->accNavigate(NAVDIR_NEXT, Id(0), &result), S_FALSE);  // the parent is gone
  Ptr<TTestHelper> childless(new TTestHelper(nullptr));
  EXPECT_EQ(childless->accNavigate(NAVDIR_FIRSTCHILD, Id(0), &result), S_FALSE);
}

TEST_F(AccessibilityTest, OwnerGone) {
  IcxAccessibilityHelper* intf = Helper.get();
  EXPECT_EQ(intf->HelperObject(), Helper.get());
  intf->NotifyOwnerDestroyed();
  EXPECT_FALSE(Helper->GetOwnerLive());
  WideString name = u"x";
  EXPECT_EQ(Helper->get_accName(Id(0), &name), S_OK);
  EXPECT_TRUE(name.empty());
  LongInt count = 5;
  EXPECT_EQ(Helper->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(Helper->get_accName(Id(9), &name), S_OK);
  HWND window = reinterpret_cast<HWND>(1);
  EXPECT_EQ(Helper->GetWindow(&window), S_OK);
  EXPECT_EQ(window, nullptr);
}

TEST_F(AccessibilityTest, VisibilityRootAndParent) {
  EXPECT_TRUE(Helper->IsVisible());
  Helper->State = 0x8000;
  EXPECT_FALSE(Helper->IsVisible());
  Helper->State = 0x8000 - 1;
  EXPECT_TRUE(Helper->IsVisible());
  EXPECT_EQ(Helper->RootHelper(), Helper.get());
  EXPECT_EQ(Child->RootHelper(), Helper.get());
  IDispatch* parent = nullptr;
  EXPECT_EQ(Child->get_accParent(&parent), S_OK);
  EXPECT_EQ(parent, static_cast<IDispatch*>(Helper.get()));
  // Without a parent helper and without the platform library: no parent.
  EXPECT_EQ(orv::GetAccessibilityLibrary().AccessibleObjectFromWindow, nullptr);
  EXPECT_EQ(Helper->get_accParent(&parent), S_FALSE);
  EXPECT_EQ(parent, nullptr);
  // The names the bars use.
  EXPECT_EQ(Helper->GetChildHelperCount(), 2);
  EXPECT_EQ(Helper->GetChildHelper(1), Child.get());
  EXPECT_EQ(Helper->GetChildHelperIndex(Child.get()), 1);
  EXPECT_EQ(Helper->GetOwnerObject(), Owner.get());
}

TEST(AccessibilityHelper, BaseAnswers) {
  Ptr<TcxAccessibilityHelper> helper(new TcxAccessibilityHelper(nullptr));
  EXPECT_EQ(helper->ChildCount(), 0);
  EXPECT_THROW(helper->IsElementChild(0), EdxException);
  EXPECT_THROW(helper->QueryValue(0), EdxException);
  EXPECT_THROW(helper->IndexOfChild(nullptr), EdxException);
  EXPECT_THROW(helper->NavigateFrom(0, ndNext), EdxException);
  TRect rect{1, 2, 3, 4};
  helper->QueryScreenRect(0, rect);
  EXPECT_EQ(rect, TRect{});
  UINT count = 1;
  EXPECT_EQ(helper->GetTypeInfoCount(&count), E_NOTIMPL);
  EXPECT_EQ(helper->ContextSensitiveHelp(TRUE), S_OK);
  // Without declared properties the IAccessible methods never reach the raising questions.
  WideString text;
  VARIANT result;
  EXPECT_EQ(helper->get_accValue(VariantOfInteger(0), &text), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(helper->accNavigate(NAVDIR_NEXT, VariantOfInteger(0), &result), S_FALSE);
  EXPECT_EQ(helper->get_accName(VariantOfInteger(0), &text), S_FALSE);
}

}  // namespace
