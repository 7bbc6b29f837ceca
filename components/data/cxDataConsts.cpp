#include "components/data/cxDataConsts.h"

namespace {

void AddDataResourceStrings(TdxProductResourceStrings* product) {
  product->AddResourceString("cxSDataReadError", &cxSDataReadError);
  product->AddResourceString("cxSDataWriteError", &cxSDataWriteError);
  product->AddResourceString("cxSDataItemExistError", &cxSDataItemExistError);
  product->AddResourceString("cxSDataRecordIndexError", &cxSDataRecordIndexError);
  product->AddResourceString("cxSDataItemIndexError", &cxSDataItemIndexError);
  product->AddResourceString("cxSDataProviderModeError", &cxSDataProviderModeError);
  product->AddResourceString("cxSDataInvalidStreamFormat", &cxSDataInvalidStreamFormat);
  product->AddResourceString("cxSDataRowIndexError", &cxSDataRowIndexError);
  product->AddResourceString("cxSDataCustomDataSourceInvalidCompare", &cxSDataCustomDataSourceInvalidCompare);
  product->AddResourceString("cxSDBDetailFilterControllerNotFound", &cxSDBDetailFilterControllerNotFound);
  product->AddResourceString("cxSDBNotInGridMode", &cxSDBNotInGridMode);
  product->AddResourceString("cxSDBKeyFieldNotFound", &cxSDBKeyFieldNotFound);
}

}  // namespace

void orv::StartDataConstsUnit() {
  static TResourceStringsUnit unit(kDataConstsProductName, &AddDataResourceStrings);
}
