// The data mode settings of the dataset-bound controller.
#include <gtest/gtest.h>

#include "components/data/tests/DBDataFixture.h"

namespace {

using namespace orv::test;

TEST(cxDBDataModeController, SettingsAndTheirDefaults) {
  TDBControllerPtr controller(new TTestDBDataController(nullptr));
  TcxDBDataModeController* mode = controller->GetDataModeController();
  EXPECT_TRUE(mode->GetSyncMode());
  EXPECT_FALSE(mode->GetGridMode());
  EXPECT_TRUE(mode->GetInsertTracking());
  EXPECT_TRUE(mode->GetDetailSyncMode());
  mode->SetGridModeBufferCount(-5);
  EXPECT_EQ(mode->GetGridModeBufferCount(), 0);
  EXPECT_EQ(controller->GetGridModeBufferCount(), 100);
  mode->SetGridModeBufferCount(30);
  EXPECT_EQ(controller->GetGridModeBufferCount(), 30);

  TDBControllerPtr other(new TTestDBDataController(nullptr));
  mode->SetSyncMode(false);
  mode->SetSmartRefresh(true);
  mode->SetDetailInSQLMode(true);
  struct Handler {
    Boolean IsCurrent(TcxDBDataModeController*, TDataSet*, const AnsiString& names, const Variant&) { return names == "ID"; }
  } handler;
  mode->SetOnDetailIsCurrentQuery(TcxDBDataModeControllerDetailIsCurrentQueryEvent(&handler, &Handler::IsCurrent));
  other->GetDataModeController()->Assign(mode);
  TcxDBDataModeController* copy = other->GetDataModeController();
  EXPECT_FALSE(copy->GetSyncMode());
  EXPECT_TRUE(copy->GetSmartRefresh());
  EXPECT_TRUE(copy->GetDetailInSQLMode());
  EXPECT_EQ(copy->GetGridModeBufferCount(), 30);
  EXPECT_TRUE(copy->DetailIsCurrentQuery("ID", Null()));
  EXPECT_FALSE(copy->DetailIsCurrentQuery("CITY", Null()));
  EXPECT_FALSE(controller->GetDataModeController()->GetGridMode());
}

}  // namespace
