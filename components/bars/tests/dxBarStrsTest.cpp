#include <gtest/gtest.h>

#include "components/bars/dxBarStrs.h"
#include "components/foundation/cxClasses.h"

namespace {

TEST(dxBarStrs, OneGroupOfAllTheBarTexts) {
  TdxResourceStringsRepository* repository = GetResourceStringsRepository();
  const Integer index = repository->GetProductIndexByName(orv::kBarStringsProductName);
  ASSERT_GE(index, 0);
  TdxProductResourceStrings* product = repository->GetProduct(index);
  EXPECT_EQ(product->GetResourceStringCount(), 182);
  EXPECT_EQ(product->GetResourceStringRec(product->IndexOfResourceString("dxSBAR_CAPTION")),
            &dxSBAR_CAPTION);
  EXPECT_GE(product->IndexOfResourceString("SBlob"), 0);
  EXPECT_EQ(product->GetResourceStringRec(product->IndexOfResourceString("dxSBAR_COLOR_STR_15")),
            &dxSBAR_COLOR_STR_15);
  // Accelerator marks, trailing blanks and the two spaces before a bevel are kept exactly.
  EXPECT_EQ(LoadResString(&dxSBAR_TOOLBARS), "Toolb&ars:");
  EXPECT_EQ(LoadResString(&dxSBAR_TABSHEET1), " Toolbars ");
  EXPECT_EQ(LoadResString(&dxSBAR_DESCRIPTION), "Description  ");
  EXPECT_EQ(LoadResString(&dxSBAR_COLOR_STR_13), "Fuchsia");
}

TEST(dxBarStrs, AReplacementIsWhatReadersSee) {
  cxSetResourceString(&dxSBAR_CAPTION, "Настройка"_a);
  EXPECT_EQ(GetLocalizedResourceString(&dxSBAR_CAPTION), "Настройка"_a);
  EXPECT_EQ(GetLocalizedResourceString(&dxSBAR_CLOSE), "Close");
  cxSetResourceString(&dxSBAR_CAPTION, "Customize");
}

}  // namespace
