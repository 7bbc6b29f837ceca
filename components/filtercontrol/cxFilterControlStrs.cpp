#include "components/filtercontrol/cxFilterControlStrs.h"

namespace {

void AddFilterControlResourceStrings(TdxProductResourceStrings* product) {
  product->AddResourceString("cxSFilterBoolOperatorAnd", &cxSFilterBoolOperatorAnd);
  product->AddResourceString("cxSFilterBoolOperatorOr", &cxSFilterBoolOperatorOr);
  product->AddResourceString("cxSFilterBoolOperatorNotAnd", &cxSFilterBoolOperatorNotAnd);
  product->AddResourceString("cxSFilterBoolOperatorNotOr", &cxSFilterBoolOperatorNotOr);
  product->AddResourceString("cxSFilterRootButtonCaption", &cxSFilterRootButtonCaption);
  product->AddResourceString("cxSFilterAddCondition", &cxSFilterAddCondition);
  product->AddResourceString("cxSFilterAddGroup", &cxSFilterAddGroup);
  product->AddResourceString("cxSFilterRemoveRow", &cxSFilterRemoveRow);
  product->AddResourceString("cxSFilterClearAll", &cxSFilterClearAll);
  product->AddResourceString("cxSFilterFooterAddCondition", &cxSFilterFooterAddCondition);
  product->AddResourceString("cxSFilterGroupCaption", &cxSFilterGroupCaption);
  product->AddResourceString("cxSFilterRootGroupCaption", &cxSFilterRootGroupCaption);
  product->AddResourceString("cxSFilterControlNullString", &cxSFilterControlNullString);
  product->AddResourceString("cxSFilterErrorBuilding", &cxSFilterErrorBuilding);
  product->AddResourceString("cxSFilterDialogCaption", &cxSFilterDialogCaption);
  product->AddResourceString("cxSFilterDialogInvalidValue", &cxSFilterDialogInvalidValue);
  product->AddResourceString("cxSFilterDialogUse", &cxSFilterDialogUse);
  product->AddResourceString("cxSFilterDialogSingleCharacter", &cxSFilterDialogSingleCharacter);
  product->AddResourceString("cxSFilterDialogCharactersSeries", &cxSFilterDialogCharactersSeries);
  product->AddResourceString("cxSFilterDialogOperationAnd", &cxSFilterDialogOperationAnd);
  product->AddResourceString("cxSFilterDialogOperationOr", &cxSFilterDialogOperationOr);
  product->AddResourceString("cxSFilterDialogRows", &cxSFilterDialogRows);
  product->AddResourceString("cxSFilterControlDialogCaption", &cxSFilterControlDialogCaption);
  product->AddResourceString("cxSFilterControlDialogNewFile", &cxSFilterControlDialogNewFile);
  product->AddResourceString("cxSFilterControlDialogOpenDialogCaption", &cxSFilterControlDialogOpenDialogCaption);
  product->AddResourceString("cxSFilterControlDialogSaveDialogCaption", &cxSFilterControlDialogSaveDialogCaption);
  product->AddResourceString("cxSFilterControlDialogActionSaveCaption", &cxSFilterControlDialogActionSaveCaption);
  product->AddResourceString("cxSFilterControlDialogActionOpenCaption", &cxSFilterControlDialogActionOpenCaption);
  product->AddResourceString("cxSFilterControlDialogActionApplyCaption", &cxSFilterControlDialogActionApplyCaption);
  product->AddResourceString("cxSFilterControlDialogActionOkCaption", &cxSFilterControlDialogActionOkCaption);
  product->AddResourceString("cxSFilterControlDialogActionCancelCaption", &cxSFilterControlDialogActionCancelCaption);
  product->AddResourceString("cxSFilterControlDialogFileExt", &cxSFilterControlDialogFileExt);
  product->AddResourceString("cxSFilterControlDialogFileFilter", &cxSFilterControlDialogFileFilter);
}

}  // namespace

void orv::StartFilterControlStringsUnit() {
  static TResourceStringsUnit unit(kFilterControlStringsProductName, &AddFilterControlResourceStrings);
}
