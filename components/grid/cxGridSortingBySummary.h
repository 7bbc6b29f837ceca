// The engine that orders a grouped view's groups by a group summary value: the flat, level-ordered
// group list becomes a tree, each node's children are sorted by the summary of their level, and
// the tree is written back depth first with each group's child range fixed.
#pragma once

#include <vector>

#include "components/data/cxCustomData.h"

// One group of the tree the engine builds.
class TcxDataGroupNode;

class TcxGridSortingBySummaryEngine : public TcxSortingBySummaryEngine {
  ORV_CLASS(TcxGridSortingBySummaryEngine, TcxSortingBySummaryEngine)
 public:
  explicit TcxGridSortingBySummaryEngine(TcxCustomDataControllerInfo* dataControllerInfo);
  ~TcxGridSortingBySummaryEngine() override;
  void Sort() override;

 private:
  std::vector<TcxSortingBySummaryInfo*> FInfos;
  TcxDataGroupNode* FRoot = nullptr;
};
