// The currency editor: amounts shown in the Russian locale's currency format, typing limited to
// numbers with the allowed decimals, empty values and NullString, and the value bounds.
#include <gtest/gtest.h>

#include "components/data/cxFormats.h"
#include "components/editors-more/cxCurrencyEdit.h"
#include "components/data/cxDataStorage.h"
#include "components/editors-more/cxDateEdit.h"
#include "components/editors-more/cxEditDBRegisteredRepositoryItems.h"
#include "components/editors-more/cxEditDataRegisteredRepositoryItems.h"
#include "memdata/RxMemDS.h"
#include "platform/dataset/Fields.h"
#include "components/editors-more/tests/EditorsMoreFixture.h"
#include "platform/controls/StdCtrls.h"
#include "platform/runtime/Locale.h"
#include "platform/runtime/SysUtils.h"

using namespace edmore_test;

namespace {

class CurrencyEditTest : public FormTest {
 protected:
  TcxCurrencyEdit* AddEdit() {
    auto* e = new TcxCurrencyEdit(Form.get());
    e->SetParent(Form.get());
    e->SetBounds(10, 10, 120, 21);
    Other = new TEdit(Form.get());
    Other->SetParent(Form.get());
    Other->SetBounds(10, 50, 80, 21);
    return e;
  }
  static void Type(const char* text) {
    for (const char* c = text; *c; ++c) orv::headless::TypeText(std::string(1, *c));
    Run();
  }
  void Leave() {
    Other->SetFocus();
    Run();
  }
  TEdit* Other = nullptr;
};

}  // namespace

TEST_F(CurrencyEditTest, UnfocusedValueShowsTheRussianCurrencyFormat) {
  TcxCurrencyEdit* e = AddEdit();
  Show();
  Other->SetFocus();
  e->SetValue(1234.5);
  Run();
  // Grouped with the locale's no-break space, two decimals after a comma, the currency sign after.
  EXPECT_EQ(e->GetText(), "1\xA0" "234,50 " + FormatSettings.CurrencyString);
  EXPECT_EQ(e->GetText(), FormatFloat(GetFormatController()->GetCurrencyPattern(), 1234.5));
  e->SetFocus();
  Run();
  EXPECT_EQ(e->GetText(), "1234,5") << "a focused editor shows the plain number";
  EXPECT_DOUBLE_EQ(e->GetValue(), 1234.5);
}

TEST_F(CurrencyEditTest, TypingKeepsAValidNumberWithTheLocaleDecimals) {
  TcxCurrencyEdit* e = AddEdit();
  Show();
  ASSERT_EQ(FormatSettings.CurrencyDecimals, 2);
  e->SetFocus();
  Run();
  Type("-12.3456x");
  EXPECT_EQ(e->GetText(), "-12,34") << "the full stop becomes the decimal comma; a third decimal is refused";
  EXPECT_DOUBLE_EQ(e->GetValue(), -12.34) << "the typed value is read before it is validated";
  Leave();
  EXPECT_DOUBLE_EQ(e->GetValue(), -12.34);
  EXPECT_TRUE(VarIsNumeric(e->GetEditValueProperty()));

  e->GetProperties()->SetDecimalPlaces(0);
  e->SetFocus();
  Run();
  e->SetSelection(0, 100);
  Type("7,5");
  EXPECT_EQ(e->GetText(), "7,") << "no decimal digit is allowed";
}

TEST_F(CurrencyEditTest, EmptyTextIsNullShownAsNullStringOrZero) {
  TcxCurrencyEdit* e = AddEdit();
  e->GetProperties()->SetNullString("нет"_a);
  Show();
  e->SetValue(5);
  e->SetFocus();
  Run();
  e->SetSelection(0, 100);
  orv::headless::PressKey(VK_DELETE);
  Run();
  Leave();
  EXPECT_TRUE(VarIsNull(e->GetEditValueProperty()));
  EXPECT_EQ(e->GetText(), "нет"_a);
  EXPECT_EQ(e->GetValue(), 0);

  // The null text typed back is Null as well.
  e->SetFocus();
  Run();
  EXPECT_EQ(e->GetText(), "");
  e->SetValue(3);
  e->SetSelection(0, 100);
  EXPECT_TRUE(VarIsNull(e->GetProperties()->DisplayTextToValue("нет"_a)));

  e->GetProperties()->SetNullable(false);
  e->SetSelection(0, 100);
  orv::headless::PressKey(VK_DELETE);
  Run();
  Leave();
  EXPECT_TRUE(VarIsNumeric(e->GetEditValueProperty()));
  EXPECT_EQ(e->GetValue(), 0);
  EXPECT_EQ(e->GetText(), FormatFloat(GetFormatController()->GetCurrencyPattern(), 0));
}

TEST_F(CurrencyEditTest, ValueIsKeptWithinDefinedBounds) {
  TcxCurrencyEdit* e = AddEdit();
  Show();
  e->GetProperties()->SetMinValue(10);
  e->GetProperties()->SetMaxValue(100);
  e->SetValue(150);
  EXPECT_DOUBLE_EQ(e->GetValue(), 100);
  e->SetValue(-3);
  EXPECT_DOUBLE_EQ(e->GetValue(), 10);
  // A typed amount past the maximum is refused when it is validated: the earlier value stays.
  e->SetFocus();
  Run();
  e->SetSelection(0, 100);
  Type("250");
  EXPECT_DOUBLE_EQ(e->GetValue(), 250);
  Leave();
  EXPECT_DOUBLE_EQ(e->GetValue(), 10);
}

TEST_F(CurrencyEditTest, TextToAmountConversion) {
  struct Case {
    const char* text;
    bool ok;
    double value;
  };
  const Case cases[] = {
      {"12,5", true, 12.5}, {"1\xA0" "000", true, 1000}, {"\xA0", true, 0}, {"", true, 0},
      {"abc", false, 0},    {"1,2,3", false, 0},         {"-0,25", true, -0.25},
  };
  for (const Case& c : cases) {
    Double v = -1;
    EXPECT_EQ(TcxCustomCurrencyEditProperties::TextToCurrencyValue(c.text, v), c.ok) << c.text;
    EXPECT_DOUBLE_EQ(v, c.value) << c.text;
  }
}

TEST_F(CurrencyEditTest, CurrencyFieldsAndValuesTakeTheCurrencyEditor) {
  TcxEditDBRegisteredRepositoryItems* registry = FieldTypeEditorRegistry();
  TcxEditRepositoryItem* item = registry->CurrencyItem();
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->GetProperties()->InheritsFrom(TcxCurrencyEditProperties::StaticClass()));
  // The currency flag of a field decides, not its data type: a currency field has it, a BCD
  // field only when set.
  Owned<TComponent> root(new TComponent(nullptr));
  auto* data = new TRxMemoryData(root.get());
  data->GetFieldDefs().Add("PRICE", ftCurrency);
  data->GetFieldDefs().Add("AMOUNT", ftBCD, 2);
  data->Open();
  TcxEditRepositoryItem* fallback = registry->ItemForField(nullptr);
  EXPECT_EQ(registry->ItemForFieldType(ftCurrency), fallback);
  EXPECT_EQ(registry->ItemForFieldType(ftBCD), fallback);
  EXPECT_EQ(registry->ItemForFieldType(ftFMTBcd), fallback);
  EXPECT_EQ(registry->ItemForField(data->FieldByName("PRICE")), item);
  auto* amount = static_cast<orv::TRealField*>(data->FieldByName("AMOUNT"));
  EXPECT_EQ(registry->ItemForField(amount), fallback);
  amount->SetCurrency(true);
  EXPECT_EQ(registry->ItemForField(amount), item);
  // Values: currency and decimal values take the currency editor, time stamps the date editor.
  TcxEditDataRegisteredRepositoryItems* values = ValueTypeEditorRegistry();
  for (TcxValueTypeClass type : {TcxCurrencyValueType::StaticClass(), TcxFMTBcdValueType::StaticClass()}) {
    TcxEditRepositoryItem* valueItem = values->ItemForValueType(type);
    ASSERT_NE(valueItem, nullptr);
    EXPECT_TRUE(valueItem->GetProperties()->InheritsFrom(TcxCurrencyEditProperties::StaticClass()));
  }
  EXPECT_TRUE(values->ItemForValueType(TcxSQLTimeStampValueType::StaticClass())
                  ->GetProperties()
                  ->InheritsFrom(TcxDateEditProperties::StaticClass()));
}
