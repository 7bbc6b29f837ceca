#include <gtest/gtest.h>

#include "components/foundation/cxClasses.h"
#include "components/grid/cxGridStrs.h"

namespace {

TdxProductResourceStrings* GridStrings() {
  TdxResourceStringsRepository* repository = GetResourceStringsRepository();
  const Integer index = repository->GetProductIndexByName(orv::kGridStringsProductName);
  return index < 0 ? nullptr : repository->GetProduct(index);
}

TEST(cxGridStrs, OneGroupOfNinetyStrings) {
  TdxProductResourceStrings* product = GridStrings();
  ASSERT_NE(product, nullptr);
  EXPECT_EQ(product->GetResourceStringCount(), 90);
  orv::StartGridStringsUnit();  // a second start registers nothing more
  EXPECT_EQ(GridStrings()->GetResourceStringCount(), 90);
  const struct {
    const char* Identifier;
    PResStringRec Rec;
  } cases[] = {
      {"scxGridRecursiveLevels", &scxGridRecursiveLevels},
      {"scxGridNoDataInfoText", &scxGridNoDataInfoText},
      {"scxGridColumnsQuickCustomizationHint", &scxGridColumnsQuickCustomizationHint},
      {"scxGridMonthFormat", &scxGridMonthFormat},
      {"scxGridChartValueHints", &scxGridChartValueHints},
  };
  for (const auto& c : cases) {
    const Integer at = product->IndexOfResourceString(c.Identifier);
    ASSERT_GE(at, 0) << c.Identifier;
    EXPECT_EQ(product->GetResourceStringRec(at), c.Rec) << c.Identifier;
  }
  EXPECT_EQ(LoadResString(&scxGridConverterIntermediaryMissing),
            "Missing an intermediary component!\r\nPlease add a %s component to the form.");
  EXPECT_EQ(LoadResString(&scxGridMonthFormat), "mmmm yyyy");
}

TEST(cxGridStrs, TheMainWindowsReplacementsShowAndTheRestStays) {
  cxSetResourceString(&scxGridNoDataInfoText, "Нет данных"_a);
  EXPECT_EQ(GetLocalizedResourceString(&scxGridNoDataInfoText), "Нет данных"_a);
  EXPECT_EQ(GetLocalizedResourceString(&scxGridFilterIsEmpty), "<Filter is Empty>");
  EXPECT_EQ(LoadResString(&scxGridNoDataInfoText), "<No data to display>");
  cxSetResourceString(&scxGridNoDataInfoText, "<No data to display>");
}

}  // namespace
