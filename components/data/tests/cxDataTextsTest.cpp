#include <gtest/gtest.h>

#include "components/data/cxDataConsts.h"
#include "components/data/cxFilterConsts.h"
#include "components/data/cxLibraryConsts.h"
#include "components/foundation/cxClasses.h"

namespace {

TdxProductResourceStrings* Product(const char* name) {
  TdxResourceStringsRepository* repository = GetResourceStringsRepository();
  const Integer index = repository->GetProductIndexByName(name);
  return index < 0 ? nullptr : repository->GetProduct(index);
}

TEST(cxDataTexts, EachUnitRegistersItsGroupOnce) {
  const struct {
    const char* name;
    Integer count;
    const char* identifier;
    PResStringRec rec;
  } groups[] = {
      {orv::kDataConstsProductName, 12, "cxSDataReadError", &cxSDataReadError},
      {orv::kFilterConstsProductName, 50, "cxSFilterBoxNonBlanksCaption", &cxSFilterBoxNonBlanksCaption},
      {orv::kLibraryConstsProductName, 24, "cxSDateEOM", &cxSDateEOM},
  };
  TdxResourceStringsRepository* repository = GetResourceStringsRepository();
  for (const auto& g : groups) {
    TdxProductResourceStrings* product = Product(g.name);
    ASSERT_NE(product, nullptr) << g.name;
    EXPECT_EQ(product->GetResourceStringCount(), g.count) << g.name;
    const Integer at = product->IndexOfResourceString(g.identifier);
    ASSERT_GE(at, 0) << g.identifier;
    EXPECT_EQ(product->GetResourceStringRec(at), g.rec);
    Integer registrations = 0;
    for (Integer i = 0; i < repository->GetProductCount(); ++i)
      if (repository->GetProduct(i)->GetName() == g.name) ++registrations;
    EXPECT_EQ(registrations, 1) << g.name;
  }
  orv::StartFilterConstsUnit();
  EXPECT_EQ(Product(orv::kFilterConstsProductName)->GetResourceStringCount(), 50);
  EXPECT_EQ(LoadResString(&cxSDataRecordIndexError), "RecordIndex out of range");
  EXPECT_EQ(LoadResString(&scxCantOpenRegistryKey), "Can't open the registry key: \\%s");
  EXPECT_EQ(LoadResString(&cxSFilterOperatorLessEqual), "is less than or equal to");
}

AnsiString Bracketed(PResStringRec rec) { return "[" + GetLocalizedResourceString(rec) + "]"; }

TEST(cxDataTexts, FilterCaptionsHonourReplacementsThroughTheHook) {
  EXPECT_EQ(FilterCaptionText(&cxSFilterOperatorEqual), "equals");
  const orv::TFilterCaptionTextHook previous = orv::SetFilterCaptionTextHook(&GetLocalizedResourceString);
  cxSetResourceString(&cxSFilterOperatorEqual, "равно"_a);
  const AnsiString builtBefore = "x " + FilterCaptionText(&cxSFilterOperatorNotEqual);
  EXPECT_EQ(FilterCaptionText(&cxSFilterOperatorEqual), "равно"_a);
  EXPECT_EQ(builtBefore, "x does not equal");
  orv::SetFilterCaptionTextHook(&Bracketed);
  EXPECT_EQ(FilterCaptionText(&cxSFilterOperatorEqual), "[равно]"_a);
  orv::SetFilterCaptionTextHook(nullptr);
  EXPECT_EQ(FilterCaptionText(&cxSFilterOperatorEqual), "equals") << "without the hook: the compiled text";
  cxSetResourceString(&cxSFilterOperatorEqual, "equals");
  orv::SetFilterCaptionTextHook(previous);
}

}  // namespace
