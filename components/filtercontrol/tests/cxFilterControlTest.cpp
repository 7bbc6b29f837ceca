#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "components/data/cxFilterConsts.h"
#include "components/editors-more/cxImageComboBox.h"
#include "components/editors/cxTextEdit.h"
#include "components/filtercontrol/cxFilterControl.h"
#include "components/filtercontrol/cxFilterControlStrs.h"
#include "components/filtercontrol/tests/FilterControlFixture.h"
#include "platform/controls/Menus.h"
#include "platform/runtime/Streams.h"

using namespace fc_test;

namespace {

struct TOperatorCase {
  TcxFilterControlOperator Op;
  TcxFilterOperatorCode Kind;
  bool Null;
  const char* Text;
};

const TOperatorCase kOperatorCases[] = {
    {fcopEqual, focEqual, false, "equals"},
    {fcopNotLike, focNotLike, false, "not like"},
    {fcopBlanks, focEqual, true, "is blank"},
    {fcopNonBlanks, focNotEqual, true, "is not blank"},
    {fcopBetween, focBetween, false, "between"},
    {fcopNotInList, focNotInList, false, "not in"},
    {fcopYesterday, focYesterday, false, "is yesterday"},
    {fcopInFuture, focInFuture, false, "is future"},
};

}  // namespace

TEST(cxFilterControlOperators, MapToCriteriaKindsAndBackWithTheirTexts) {
  for (const TOperatorCase& c : kOperatorCases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(FilterControlOperatorToOperatorKind(c.Op), c.Kind);
    EXPECT_EQ(OperatorKindToFilterControlOperator(c.Kind, c.Null), c.Op);
    EXPECT_EQ(GetFilterControlOperatorText(c.Op), AnsiString(c.Text));
  }
  EXPECT_EQ(GetFilterControlOperatorText(fcopNone), "");
  EXPECT_EQ(GetFilterControlOperatorText(37), "");
  // A null value matters only to equal and not equal.
  EXPECT_EQ(OperatorKindToFilterControlOperator(focLess, true), fcopLess);
}

TEST(cxFilterControlOperators, TypedValuesAreCheckedAgainstTheItemsType) {
  TcxValueTypeClass number = TcxFloatValueType::StaticClass();
  TcxValueTypeClass text = TcxStringValueType::StaticClass();
  Variant v = Variant(AnsiString(""));
  ValidateFilterValue(nullptr, v, fcopEqual, number, nullptr);
  EXPECT_TRUE(VarIsNull(v));
  v = Variant(AnsiString("60"));
  ValidateFilterValue(nullptr, v, fcopGreater, number, nullptr);
  EXPECT_FALSE(VarIsStr(v));
  EXPECT_DOUBLE_EQ(v.AsDouble(), 60.0);
  v = Variant(AnsiString("abc"));
  EXPECT_THROW(ValidateFilterValue(nullptr, v, fcopEqual, number, nullptr), EcxFilterControlError);
  v = Variant(AnsiString("a%"));
  EXPECT_NO_THROW(ValidateFilterValue(nullptr, v, fcopLike, number, nullptr));
  EXPECT_EQ(VarToStr(v), "a%");
  v = Variant(AnsiString(""));
  ValidateFilterValue(nullptr, v, fcopEqual, text, nullptr);
  EXPECT_TRUE(VarIsStr(v));
}

TEST_F(FilterControlTest, ANewControlShowsTheRootOnlyAndAppliesAnEmptyFilter) {
  Show();
  EXPECT_EQ(Control->GetRowCount(), 1);
  EXPECT_EQ(Control->GetFocusedRow(), Control->GetRoot());
  EXPECT_EQ(Control->GetFocusedPart(), fhtBoolOperator);
  Link->Criteria->AddItem(nullptr, Item(0), focEqual, Variant(AnsiString("x")), "x");
  Control->Clear();
  Control->ApplyFilter();
  EXPECT_TRUE(Link->Criteria->IsEmptyCriteria());
}

// COUNTRY = Россия and (CITY like 'Мос%' or LAT > 60), made with the keys and the mouse only.
TEST_F(FilterControlTest, BuildsACriteriaTreeByKeyboardAndMouse) {
  Show();
  Control->SetFocus();
  Run();
  // A condition under the root: COUNTRY, like at first (a text item), then equals "Россия".
  Key(VK_INSERT);
  ASSERT_EQ(Control->GetRowCount(), 2);
  EXPECT_EQ(Control->GetFocusedPart(), fhtItem);
  EXPECT_EQ(Condition(1)->GetItemText(), "COUNTRY");
  EXPECT_EQ(Condition(1)->GetOperator(), fcopLike);
  Key(VK_RIGHT);
  Key(VK_RETURN);
  PickInChooser("equals");
  EXPECT_EQ(Condition(1)->GetOperator(), fcopEqual);
  ASSERT_EQ(Control->GetFocusedPart(), fhtValue);
  Type("Россия"_a);
  ASSERT_NE(Control->GetValueEditor(), nullptr);
  Key(VK_RETURN);
  EXPECT_EQ(Control->GetValueEditor(), nullptr);
  EXPECT_EQ(VarToStr(Condition(1)->GetValues()->GetValue(0)->Value), "Россия"_a);

  // A group through the root's button menu: "Add Group".
  bool menuSeen = false;
  orv::headless::SetIdleHandler([&] {
    if (menuSeen) return false;
    menuSeen = true;
    orv::headless::PressKey(VK_DOWN);
    orv::headless::PressKey(VK_DOWN);
    orv::headless::PressKey(VK_RETURN);
    return true;
  });
  ClickAt(Control->GetRoot()->GetButtonRect());
  orv::headless::SetIdleHandler(nullptr);
  ASSERT_TRUE(menuSeen);
  ASSERT_EQ(Control->GetRowCount(), 4);
  auto* group = dynamic_cast<TcxGroupViewInfo*>(Row(2));
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(Control->GetFocusedRow(), Row(3));
  EXPECT_EQ(Control->GetFocusedPart(), fhtItem);

  // Its condition: CITY like "Мос%".
  Key(VK_RETURN);
  PickInChooser("CITY");
  EXPECT_EQ(Condition(3)->GetItemText(), "CITY");
  EXPECT_EQ(Condition(3)->GetOperator(), fcopLike);
  EXPECT_EQ(Control->GetFocusedPart(), fhtOperator);
  Key(VK_RIGHT);
  Type("Мос%"_a);
  Key(VK_RETURN);

  // The group's operator by mouse: OR.
  ClickAt(group->GetBoolOperatorRect());
  PickInChooser("OR");
  EXPECT_EQ(group->GetBoolOperator(), fbcOr);

  // A second condition in the group (Insert on a row of the group), item and operator by mouse.
  Control->SetFocusedPart(fhtItem, Row(3));
  Key(VK_INSERT);
  ASSERT_EQ(Control->GetRowCount(), 5);
  EXPECT_EQ(Row(4)->GetParent(), group);
  ClickAt(Condition(4)->GetItemRect());
  PickInChooser("LAT");
  EXPECT_EQ(Condition(4)->GetOperator(), fcopEqual) << "like is no operator of a number";
  ClickAt(Condition(4)->GetOperatorRect());
  PickInChooser("is greater than");
  EXPECT_EQ(Control->GetFocusedPart(), fhtValue);
  Type("60");
  Key(VK_RETURN);

  Control->ApplyFilter();
  EXPECT_EQ(Describe(Link->Criteria->GetRoot()),
            orv::AnsiToUtf8("AND(COUNTRY 0 Россия, OR(CITY 6 Мос%, LAT 4 60))"_a));
  EXPECT_TRUE(Golden(Control, "tree.png"));
}

TEST_F(FilterControlTest, BetweenValuesAreStoredAscendingAndListsKeepTheirOrder) {
  TcxFilterCriteriaItemList* root = Link->Criteria->GetRoot();
  root->AddItem(Item(2), focBetween, VarArrayOf({Variant(10), Variant(5)}), "10;5");
  Variant list = VarArrayOf({Variant(AnsiString("a")), Variant(AnsiString("b")), Variant(AnsiString("c"))});
  root->AddItem(Item(1), focInList, list, "a;b;c");
  Control->LinkChanged();
  ASSERT_EQ(Control->GetRowCount(), 3);
  EXPECT_EQ(Condition(1)->GetValues()->GetCount(), 2);
  EXPECT_EQ(Condition(2)->GetValues()->GetCount(), 3);
  EXPECT_EQ(Condition(2)->GetValues()->GetValue(2)->ValueText, "c");
  Control->ApplyFilter();
  auto* between = static_cast<TcxFilterCriteriaItem*>(root->GetItem(0));
  EXPECT_EQ(between->GetValue().GetElement(0).AsInteger(), 5);
  EXPECT_EQ(between->GetValue().GetElement(1).AsInteger(), 10);
  EXPECT_EQ(between->GetDisplayValue(), "5;10");
  auto* inList = static_cast<TcxFilterCriteriaItem*>(root->GetItem(1));
  EXPECT_EQ(inList->GetDisplayValue(), "a;b;c");
  EXPECT_EQ(VarToStr(inList->GetValue().GetElement(2)), "c");
}

TEST_F(FilterControlTest, ChoosingBetweenGivesASecondEmptyValue) {
  Show();
  Control->AddCondition();
  Condition(1)->SetItem(2);
  Condition(1)->SetOperator(fcopBetween);
  ASSERT_EQ(Condition(1)->GetValues()->GetCount(), 2);
  EXPECT_TRUE(VarIsNull(Condition(1)->GetValues()->GetValue(1)->Value));
}

TEST_F(FilterControlTest, RemovingClimbsOutOfGroupsLeftEmptyButNeverRemovesTheRoot) {
  Show();
  Control->SetFocus();
  Control->AddCondition();
  Control->SetFocusedPart(fhtButton, Row(1));
  Control->AddGroup();                                  // root: condition, group(condition)
  Control->SetFocusedPart(fhtButton, Row(2));
  Control->AddGroup();                                  // group(condition, group(condition))
  ASSERT_EQ(Control->GetRowCount(), 6);
  Control->SetFocusedPart(fhtItem, Row(5));
  Key(VK_DELETE, false, true);
  // The deepest condition was its group's only row, and that group the only... no: its parent
  // group keeps a condition, so only the inner group goes.
  EXPECT_EQ(Control->GetRowCount(), 4);
  Control->SetFocusedPart(fhtItem, Row(3));
  Key(VK_DELETE, false, true);
  EXPECT_EQ(Control->GetRowCount(), 2) << "the root's child group goes with its only condition";
  Control->SetFocusedPart(fhtBoolOperator, Control->GetRoot());
  Key(VK_DELETE, false, true);
  EXPECT_EQ(Control->GetRowCount(), 2);
}

TEST_F(FilterControlTest, CtrlDeleteOnAListValueRemovesOnlyThatValue) {
  Show();
  Control->SetFocus();
  Control->AddCondition();
  Condition(1)->SetOperator(fcopInList);
  Condition(1)->GetValues()->AddValue();
  Condition(1)->GetValues()->AddValue();
  Control->SetFocusedPart(fhtValue, Row(1), 1);
  Key(VK_DELETE, false, true);
  EXPECT_EQ(Condition(1)->GetValues()->GetCount(), 2);
  EXPECT_EQ(Control->GetFocusedValueIndex(), 0);
}

TEST_F(FilterControlTest, TabWalksThePartsOnlyWithWantTabs) {
  auto* next = new TcxFilterControl(Form.get());
  next->SetParent(Form.get());
  next->SetBounds(0, 200, 50, 20);
  Control->AddCondition();
  Show();
  Control->SetFocus();
  Control->SetFocusedPart(fhtButton, Control->GetRoot());
  Key(VK_TAB);
  EXPECT_FALSE(Control->Focused()) << "without WantTabs Tab leaves the control";
  EXPECT_TRUE(next->Focused());

  Control->SetWantTabs(true);
  Control->SetFocus();
  Control->SetFocusedPart(fhtButton, Control->GetRoot());
  Run();
  struct TStep {
    TcxFilterControlHitTest Part;
    Integer Row;
  };
  const TStep walk[] = {{fhtBoolOperator, 0}, {fhtButton, 1}, {fhtItem, 1}, {fhtOperator, 1},
                        {fhtValue, 1},        {fhtAddCondition, -1}};
  for (const TStep& step : walk) {
    Key(VK_TAB);
    EXPECT_EQ(Control->GetFocusedPart(), step.Part);
    if (step.Row >= 0) {
      EXPECT_EQ(Control->GetFocusedRow(), Row(step.Row));
    }
  }
  Key(VK_TAB, true);
  EXPECT_EQ(Control->GetFocusedPart(), fhtValue);
  Key(VK_TAB, true);
  EXPECT_EQ(Control->GetFocusedPart(), fhtOperator);
}

TEST_F(FilterControlTest, TypingOnAValueOpensTheEditorWithTheLetterAndRejectsABadNumber) {
  Show();
  Control->SetFocus();
  Control->AddCondition();
  Condition(1)->SetItem(2);
  Control->SetFocusedPart(fhtValue, Row(1), 0);
  Type("x");
  ASSERT_NE(Control->GetValueEditor(), nullptr);
  Variant typed;
  Control->GetValueEditor()->GetEditingValue(typed);
  EXPECT_EQ(VarToStr(typed), "x");
  EXPECT_THROW(Control->CloseValueEditor(true), EcxFilterControlError);
  EXPECT_NE(Control->GetValueEditor(), nullptr) << "a rejected value keeps the editor open";
  Control->CloseValueEditor(false);
  EXPECT_EQ(Control->GetValueEditor(), nullptr);
}

TEST_F(FilterControlTest, AnOpenValueEditorTakesTheValueCellsStyle) {
  Control->GetLookAndFeel()->SetKind(lfOffice11);
  Control->GetLookAndFeel()->SetNativeStyle(false);
  Control->GetFontValue()->SetSize(14);
  Control->GetFontValue()->SetColor(clMaroon);
  Control->GetFontValue()->SetStyle(TFontStyles{fsBold, fsItalic});
  Show();
  Control->SetFocus();
  Control->AddCondition();
  Control->SetFocusedPart(fhtValue, Row(1), 0);
  Run();
  Type("x");
  TcxCustomEdit* edit = Control->GetValueEditor();
  ASSERT_NE(edit, nullptr);
  auto* style = static_cast<TcxCustomEditStyle*>(edit->GetStyle());
  EXPECT_EQ(style->GetColor(), clWindow);
  EXPECT_EQ(style->GetFont()->GetName(), Control->GetFontValue()->GetName());
  EXPECT_EQ(style->GetFont()->GetSize(), 14);
  EXPECT_EQ(style->GetFont()->GetStyle(), (TFontStyles{fsBold, fsItalic}));
  EXPECT_EQ(style->GetTextColor(), clMaroon);
  EXPECT_EQ(style->GetLookAndFeel()->GetKind(), lfOffice11);
  EXPECT_EQ(style->GetButtonTransparency(), Control->GetEditStyle()->GetButtonTransparency());
  // The look follows the control's later changes too, as the cells do.
  Control->GetLookAndFeel()->SetKind(lfFlat);
  EXPECT_EQ(style->GetLookAndFeel()->GetKind(), lfFlat);
  Control->CloseValueEditor(false);
}

TEST_F(FilterControlTest, ALinkWithoutTheInterfaceCountsAsNone) {
  Owned<TComponent> plain(new TComponent(nullptr));
  Control->AddCondition();
  Control->SetLinkComponent(plain.get());
  EXPECT_EQ(Control->GetLinkComponent(), nullptr);
  EXPECT_EQ(Control->GetRowCount(), 1);
  EXPECT_FALSE(Control->HasItems());
  Owned<TMemoryStream> stream(new TMemoryStream);
  EXPECT_THROW(Control->LoadFromStream(stream.get()), EcxFilterControlError);
}

TEST_F(FilterControlTest, ConditionsOnItemsTheLinkLacksCannotBeBuilt) {
  // Copied criteria drop such conditions; criteria of the control's own can still hold one.
  Owned<TTestFilterItem> stranger(new TTestFilterItem("X", "X", 99, TcxStringValueType::StaticClass()));
  TcxFilterCriteriaItemList* root = Control->GetCriteria()->GetRoot();
  root->AddItem(Item(0), focEqual, Variant(AnsiString("a")), "a");
  root->AddItem(stranger.get(), focEqual, Variant(AnsiString("b")), "b");
  EXPECT_THROW(Control->BuildFromCriteria(), EcxFilterControlError);
  EXPECT_EQ(Control->GetRowCount(), 1);
  Control->GetCriteria()->RemoveAllItems();
}

namespace {

// A filter with every kind of row: NOT AND and NOT OR groups, blank and list conditions.
void AddAllKinds(TTestFilterLink* link) {
  TcxFilterCriteriaItemList* root = link->Criteria->GetRoot();
  root->SetBoolOperator(fbcOr);
  root->AddItem(link->Items[0], focEqual, Variant(AnsiString("Россия"_a)), "Россия"_a);
  TcxFilterCriteriaItemList* notAnd = root->AddGroup(fbcNotAnd);
  notAnd->AddItem(link->Items[1], focEqual, Null(), "blank");
  notAnd->AddItem(link->Items[2], focBetween, VarArrayOf({Variant(1.5), Variant(7)}), "1.5;7");
  TcxFilterCriteriaItemList* notOr = notAnd->AddGroup(fbcNotOr);
  notOr->AddItem(link->Items[1], focNotEqual, Null(), "blank");
  notOr->AddItem(link->Items[1], focInList, VarArrayOf({Variant(AnsiString("a")), Variant(AnsiString("b"))}), "a;b");
}

std::string StreamBytes(TcxFilterCriteria* criteria) {
  TMemoryStream stream;
  criteria->WriteToStream(&stream);
  return std::string(static_cast<const char*>(stream.GetMemory()), std::size_t(stream.GetSize()));
}

}  // namespace

TEST_F(FilterControlTest, AFilterSavedToAFileLoadsBackUnchanged) {
  AddAllKinds(Link);
  const std::string expected = Describe(Link->Criteria->GetRoot());
  const std::string expectedBytes = StreamBytes(Link->Criteria);
  Control->LinkChanged();
  ASSERT_EQ(Control->GetRowCount(), 8);
  const std::string path = ::testing::TempDir() + "filtercontrol-roundtrip.flt";
  Control->SaveToFile(path);
  Control->Clear();
  EXPECT_EQ(Control->GetRowCount(), 1);
  Control->LoadFromFile(path);
  EXPECT_EQ(Control->GetRowCount(), 8);
  Control->ApplyFilter();
  EXPECT_EQ(Describe(Link->Criteria->GetRoot()), expected);
  EXPECT_EQ(StreamBytes(Link->Criteria), expectedBytes);
  // The file is the criteria stream itself.
  Owned<TFileStream> file(new TFileStream(path, fmOpenRead));
  std::string bytes(std::size_t(file->GetSize()), '\0');
  file->ReadBuffer(bytes.data(), Integer(bytes.size()));
  EXPECT_EQ(bytes, expectedBytes);
  file.reset();
  std::remove(path.c_str());
}

TEST_F(FilterControlTest, ADamagedOrTruncatedFilterStreamFailsCleanly) {
  AddAllKinds(Link);
  const std::string good = StreamBytes(Link->Criteria);
  Link->Criteria->RemoveAllItems();
  Link->Criteria->GetRoot()->AddItem(Item(0), focEqual, Variant(AnsiString("kept")), "kept");
  const std::string before = Describe(Link->Criteria->GetRoot());
  auto load = [&](const std::string& bytes) {
    Control->LinkChanged();
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), Integer(bytes.size()));
    stream.SetPosition(0);
    try {
      Control->LoadFromStream(&stream);
    } catch (const Exception&) {
      return false;
    }
    return true;
  };
  for (std::size_t length = 0; length < good.size(); ++length) {
    SCOPED_TRACE(length);
    if (load(good.substr(0, length))) continue;  // a cut after a whole child may read as shorter
    EXPECT_EQ(Control->GetRowCount(), 1) << "no part of the filter stays";
    EXPECT_TRUE(Control->GetCriteria()->IsEmptyCriteria());
    Control->ApplyFilter();
    EXPECT_TRUE(Link->Criteria->IsEmptyCriteria());
    Link->Criteria->GetRoot()->AddItem(Item(0), focEqual, Variant(AnsiString("kept")), "kept");
  }
  // Damage inside: an operator code out of range, a huge count, a bad variant type.
  const std::size_t firstCondition = good.find("DXAFMT");
  ASSERT_NE(firstCondition, std::string::npos);
  std::string badOperator = good;
  badOperator[firstCondition + 6] = char(200);
  std::string hugeCount = good;
  hugeCount[5] = char(0xFF);
  hugeCount[6] = char(0xFF);
  hugeCount[7] = char(0xFF);
  hugeCount[8] = char(0x7F);
  // The first condition's value type: after the signature, the operator, "Россия", the ID and
  // the name "COUNTRY".
  std::string badVariant = good;
  badVariant[firstCondition + 6 + 1 + (4 + 6) + 4 + (4 + 7)] = char(0xEE);
  for (const std::string& damaged : {badOperator, hugeCount, badVariant}) {
    EXPECT_FALSE(load(damaged));
    EXPECT_EQ(Control->GetRowCount(), 1);
    EXPECT_TRUE(Control->GetCriteria()->IsEmptyCriteria());
  }
  EXPECT_EQ(Describe(Link->Criteria->GetRoot()), before) << "the link's filter is untouched until applied";
  EXPECT_TRUE(load(good));
  EXPECT_EQ(Control->GetRowCount(), 8);
}

namespace {

class TApplyLog : public TObject {
  ORV_CLASS(TApplyLog, TObject)
 public:
  explicit TApplyLog(TTestFilterLink* link) : Link(link) {}
  void Applied(TObject*) { LockSeen = Link->Criteria->GetLockCount(); }
  TTestFilterLink* Link;
  Integer LockSeen = -1;
};
}  // namespace

TEST_F(FilterControlTest, ApplyingFiresOnApplyFilterInsideTheTargetsLock) {
  Owned<TApplyLog> log(new TApplyLog(Link));
  Control->SetOnApplyFilter(TNotifyEvent(log.get(), &TApplyLog::Applied));
  Control->AddCondition();
  Control->ApplyFilter();
  EXPECT_EQ(log->LockSeen, 1);
  EXPECT_EQ(Link->Criteria->GetRoot()->GetCount(), 1);
}

// A value cell is drawn by its item's editor: an image combo box item shows the description of
// its value (with the drop-down button while the cell is active), a missing value the null text
// in a plain text editor, and a disabled control greys the values.
TEST_F(FilterControlTest, ValueCellsAreDrawnByTheirItemsEditors) {
  Owned<TcxImageComboBoxProperties> codes(new TcxImageComboBoxProperties(nullptr));
  const std::pair<const char*, const char*> kCodes[] = {{"ru", "RU"}, {"fr", "FR"}};
  for (const auto& [value, code] : kCodes) {
    TcxImageComboBoxItem* item = codes->GetItems()->Add();
    item->SetValue(Variant(AnsiString(value)));
    item->SetDescription(code);
  }
  const auto release = UseItemProperties(0, codes.get());
  TcxFilterCriteriaItemList* root = Link->Criteria->GetRoot();
  root->AddItem(Item(0), focEqual, Variant(AnsiString("ru")), "ru");
  root->AddItem(Item(2), focBetween, VarArrayOf({Variant(5), Variant(10)}), "5;10");
  Control->LinkChanged();
  Control->AddCondition();
  ASSERT_EQ(Control->GetRowCount(), 4);
  ASSERT_EQ(Condition(3)->GetItemIndex(), 0);
  Show();
  Control->SetFocus();
  Control->SetFocusedPart(fhtValue, Row(1), 0);
  Run();

  TcxValueInfo* code = Condition(1)->GetValues()->GetValue(0);
  auto* codeView = dynamic_cast<TcxImageComboBoxViewInfo*>(code->ViewInfo);
  ASSERT_TRUE(codeView) << "the item's editor draws the value";
  EXPECT_EQ(codeView->ShownText, "RU");
  EXPECT_EQ(codeView->GetButtonCount(), 1) << "the active cell shows the combo box's button";
  EXPECT_EQ(codeView->BackgroundColor, clWindow);
  for (Integer i = 0; i < 2; ++i) {
    auto* bound = dynamic_cast<TcxCustomTextEditViewInfo*>(Condition(2)->GetValues()->GetValue(i)->ViewInfo);
    ASSERT_TRUE(bound);
    EXPECT_EQ(bound->ShownText, i == 0 ? "5" : "10");
    EXPECT_EQ(bound->GetButtonCount(), 0);
    EXPECT_EQ(bound->BackgroundColor, Control->GetColor()) << "inactive cells lie on the background";
  }
  TcxValueInfo* blank = Condition(3)->GetValues()->GetValue(0);
  auto* blankView = dynamic_cast<TcxCustomTextEditViewInfo*>(blank->ViewInfo);
  ASSERT_TRUE(blankView);
  EXPECT_EQ(blankView->ShownText, Control->GetNullString());
  EXPECT_EQ(blankView->Properties, Control->GetDefaultProperties()) << "a missing value is plain text";
  EXPECT_EQ(blankView->DefaultTextColor, Control->GetFontValue()->GetColor());
  EXPECT_TRUE(Golden(Control, "values.png"));

  Control->SetEnabled(false);
  Run();
  EXPECT_EQ(static_cast<TcxCustomTextEditViewInfo*>(Condition(3)->GetValues()->GetValue(0)->ViewInfo)->DefaultTextColor,
            clBtnShadow);
}

// An integer filter value on an image combo box item goes through the criteria stream whenever
// the control copies its link's filter or a filter file is saved and loaded, and comes back as the
// narrowest integer that holds it: its row still shows the item's description, and the filter
// still accepts the same records.
TEST_F(FilterControlTest, AnIntegerValueOnAnImageComboBoxItemKeepsItsDescriptionThroughAFile) {
  Owned<TcxImageComboBoxProperties> codes(new TcxImageComboBoxProperties(nullptr));
  const std::pair<Integer, const char*> kCodes[] = {{7, "seven"}, {300, "three hundred"}};
  for (const auto& [value, text] : kCodes) {
    TcxImageComboBoxItem* item = codes->GetItems()->Add();
    item->SetValue(Variant(value));
    item->SetDescription(text);
  }
  const auto release = UseItemProperties(2, codes.get());
  Item(2)->Values = {Variant(7), Variant(300), Variant(Int64(7)), Null(), Variant(8)};
  TcxFilterCriteriaItemList* root = Link->Criteria->GetRoot();
  root->SetBoolOperator(fbcOr);
  root->AddItem(Item(2), focEqual, Variant(7), "7");
  root->AddItem(Item(2), focEqual, Variant(300), "300");
  auto accepted = [&] {
    std::string s;
    for (Integer r = 0; r < Integer(Item(2)->Values.size()); ++r) s += Link->Criteria->EvaluateRecord(r) ? '1' : '0';
    return s;
  };
  const std::string expected = accepted();
  ASSERT_EQ(expected, "11100");
  auto shown = [&](Integer row) {
    auto* view = dynamic_cast<TcxImageComboBoxViewInfo*>(Condition(row)->GetValues()->GetValue(0)->ViewInfo);
    return view ? view->ShownText : AnsiString("<no image combo box>");
  };

  Control->LinkChanged();
  Show();
  Run();
  ASSERT_EQ(Control->GetRowCount(), 3);
  EXPECT_EQ(shown(1), "seven") << "a value copied from the link";
  EXPECT_EQ(shown(2), "three hundred");

  const std::string path = ::testing::TempDir() + "filtercontrol-imagecombo.flt";
  Control->SaveToFile(path);
  Control->Clear();
  Control->LoadFromFile(path);
  std::remove(path.c_str());
  Run();
  ASSERT_EQ(Control->GetRowCount(), 3);
  EXPECT_EQ(shown(1), "seven") << "a value loaded from a file";
  EXPECT_EQ(shown(2), "three hundred");
  auto* loaded = static_cast<TcxFilterCriteriaItem*>(Control->GetCriteria()->GetRoot()->GetItem(0));
  EXPECT_EQ(VarType(loaded->GetValue()), varShortInt) << "filter files keep their narrow integers";
  Control->ApplyFilter();
  EXPECT_EQ(accepted(), expected);
}
