#include "components/pagecontrol/cxPCConsts.h"

namespace {

void RegisterPCResourceStrings(TdxProductResourceStrings* product) {
  product->AddResourceString("scxPCImageListIndexError", &scxPCImageListIndexError);
  product->AddResourceString("scxPCNoBaseImages", &scxPCNoBaseImages);
  product->AddResourceString("scxPCNoRegisteredStyles", &scxPCNoRegisteredStyles);
  product->AddResourceString("scxPCPageIndexError", &scxPCPageIndexError);
  product->AddResourceString("scxPCPainterClassError", &scxPCPainterClassError);
  product->AddResourceString("scxPCStandardStyleError", &scxPCStandardStyleError);
  product->AddResourceString("scxPCStyleNameError", &scxPCStyleNameError);
  product->AddResourceString("scxPCTabCountEqualsZero", &scxPCTabCountEqualsZero);
  product->AddResourceString("scxPCTabIndexError", &scxPCTabIndexError);
  product->AddResourceString("scxPCTabVisibleIndexOutsOfBounds", &scxPCTabVisibleIndexOutsOfBounds);
  product->AddResourceString("scxPCVisibleTabListEmpty", &scxPCVisibleTabListEmpty);
  product->AddResourceString("scxPCAllowRotateError", &scxPCAllowRotateError);
}

}  // namespace

void orv::StartPCConstsUnit() {
  static TResourceStringsUnit unit(kPCConstsProductName, &RegisterPCResourceStrings);
}
