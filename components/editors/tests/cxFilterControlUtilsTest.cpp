// The filter edit helpers: the registry finds the helper of the most derived editor kind, and a
// helper prepares a plain copy of a column's properties for entering a filter value.
#include <gtest/gtest.h>

#include <memory>

#include "components/data/cxDataStorage.h"
#include "components/editors/cxFilterControlUtils.h"
#include "components/editors/cxMaskEdit.h"
#include "components/editors/cxTextEdit.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"

namespace {

using orv::test::Owned;

class TFilterLog : public TObject {
 public:
  void Change(TObject*) {}
};

TEST(cxFilterEditHelpers, TheMostDerivedEditorKindFindsItsHelper) {
  // Making properties registers their kind.
  Owned<TcxMaskEditProperties> mask(new TcxMaskEditProperties(nullptr));
  Owned<TcxTextEditProperties> text(new TcxTextEditProperties(nullptr));
  TcxFilterEditsController* controller = FilterEditsController();
  TcxCustomFilterEditHelperClass textHelper = controller->FindFilterEditHelper(TcxTextEditProperties::StaticClass());
  TcxCustomFilterEditHelperClass maskHelper = controller->FindFilterEditHelper(TcxMaskEditProperties::StaticClass());
  ASSERT_NE(textHelper, nullptr);
  ASSERT_NE(maskHelper, nullptr);
  EXPECT_EQ(textHelper->ClassType(), TcxFilterTextEditHelper::StaticClass());
  EXPECT_EQ(maskHelper->ClassType(), TcxFilterMaskEditHelper::StaticClass());
  EXPECT_EQ(textHelper->GetFilterEditorClass(), TcxTextEdit::StaticClass());
  EXPECT_EQ(controller->FindFilterEditHelper(TcxCustomEditProperties::StaticClass()), nullptr);
}

TEST(cxFilterEditHelpers, AFilterEditorGetsAPlainCopyOfTheColumnsProperties) {
  TFilterLog log;
  Owned<TcxMaskEditProperties> source(new TcxMaskEditProperties(nullptr));
  source->SetMaskKind(emkRegExpr);
  source->SetEditMask("\\d+");
  source->SetReadOnly(true);
  source->GetButtons()->Add();
  source->SetOnChange(TNotifyEvent(&log, &TFilterLog::Change));
  source->GetAlignment()->SetHorz(taRightJustify);
  Owned<TcxMaskEditProperties> target(new TcxMaskEditProperties(nullptr));
  const TcxCustomFilterEditHelper* helper = TcxCustomFilterEditHelper::Of(TcxFilterMaskEditHelper::StaticClass());
  helper->InitFilterProperties(target.get(), source.get(), helper->KeepsEditButtons());
  EXPECT_EQ(target->GetEditMask(), "\\d+");
  EXPECT_EQ(target->GetMaskKind(), emkRegExprEx);
  EXPECT_FALSE(target->GetReadOnly());
  EXPECT_EQ(target->GetButtons()->GetCount(), 0);
  EXPECT_FALSE(bool(target->GetOnChange()));
  EXPECT_EQ(target->GetAlignment()->GetHorz(), taLeftJustify);
  EXPECT_FALSE(target->GetAutoSelect());

  TcxFilterControlOperators operators;
  const TcxValueTypeClass strings(TcxStringValueType::StaticClass());
  helper->GetSupportedOperators(target.get(), strings, operators, false);
  EXPECT_FALSE(operators.Contains(7));
  target->SetEditMask("");
  helper->GetSupportedOperators(target.get(), strings, operators, true);
  EXPECT_TRUE(operators.Contains(7));
  EXPECT_TRUE(operators.Contains(14));
}

}  // namespace

#include "components/editors/cxEditUtils.h"
#include "platform/runtime/Locale.h"

namespace {

TEST(cxEditUtils, NumericCharactersByKind) {
  EXPECT_TRUE(IsNumericChar('7', 0));
  EXPECT_TRUE(IsNumericChar('-', 0));
  EXPECT_FALSE(IsNumericChar(',', 0));
  EXPECT_TRUE(IsNumericChar(FormatSettings.DecimalSeparator, 1));
  EXPECT_FALSE(IsNumericChar('e', 1));
  EXPECT_TRUE(IsNumericChar('E', 2));
  EXPECT_FALSE(IsNumericChar('x', 2));
}

}  // namespace
