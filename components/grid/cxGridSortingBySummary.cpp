#include "components/grid/cxGridSortingBySummary.h"

TcxGridSortingBySummaryEngine::TcxGridSortingBySummaryEngine(TcxCustomDataControllerInfo* dataControllerInfo)
    : TcxSortingBySummaryEngine(dataControllerInfo) {}

TcxGridSortingBySummaryEngine::~TcxGridSortingBySummaryEngine() {
  for (TcxSortingBySummaryInfo* info : FInfos) info->Free();
}

void TcxGridSortingBySummaryEngine::Sort() {}
