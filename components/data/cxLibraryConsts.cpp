#include "components/data/cxLibraryConsts.h"

namespace {

void AddLibraryResourceStrings(TdxProductResourceStrings* product) {
  product->AddResourceString("scxCantCreateRegistryKey", &scxCantCreateRegistryKey);
  product->AddResourceString("scxCantOpenRegistryKey", &scxCantOpenRegistryKey);
  product->AddResourceString("scxErrorStoreObject", &scxErrorStoreObject);
  product->AddResourceString("scxConverterCantCreateStyleRepository", &scxConverterCantCreateStyleRepository);
  product->AddResourceString("cxSDateToday", &cxSDateToday);
  product->AddResourceString("cxSDateYesterday", &cxSDateYesterday);
  product->AddResourceString("cxSDateTomorrow", &cxSDateTomorrow);
  product->AddResourceString("cxSDateSunday", &cxSDateSunday);
  product->AddResourceString("cxSDateMonday", &cxSDateMonday);
  product->AddResourceString("cxSDateTuesday", &cxSDateTuesday);
  product->AddResourceString("cxSDateWednesday", &cxSDateWednesday);
  product->AddResourceString("cxSDateThursday", &cxSDateThursday);
  product->AddResourceString("cxSDateFriday", &cxSDateFriday);
  product->AddResourceString("cxSDateSaturday", &cxSDateSaturday);
  product->AddResourceString("cxSDateFirst", &cxSDateFirst);
  product->AddResourceString("cxSDateSecond", &cxSDateSecond);
  product->AddResourceString("cxSDateThird", &cxSDateThird);
  product->AddResourceString("cxSDateFourth", &cxSDateFourth);
  product->AddResourceString("cxSDateFifth", &cxSDateFifth);
  product->AddResourceString("cxSDateSixth", &cxSDateSixth);
  product->AddResourceString("cxSDateSeventh", &cxSDateSeventh);
  product->AddResourceString("cxSDateBOM", &cxSDateBOM);
  product->AddResourceString("cxSDateEOM", &cxSDateEOM);
  product->AddResourceString("cxSDateNow", &cxSDateNow);
}

}  // namespace

void orv::StartLibraryConstsUnit() {
  static TResourceStringsUnit unit(kLibraryConstsProductName, &AddLibraryResourceStrings);
}
