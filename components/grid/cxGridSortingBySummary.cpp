#include "components/grid/cxGridSortingBySummary.h"

#include <algorithm>

#include "components/data/cxVariants.h"

// One group of the tree the engine sorts: its group row and its child groups.
class TcxDataGroupNode : public TObject {
  ORV_CLASS(TcxDataGroupNode, TObject)
 public:
  TcxDataGroupNode(TcxDataGroupNode* parent, const TcxDataGroupInfo* group) : FParent(parent) {
    if (group) FGroup = *group;
  }
  ~TcxDataGroupNode() override {
    for (TcxDataGroupNode* child : FChildren) child->Free();
  }
  TcxDataGroupNode* AddChild(const TcxDataGroupInfo& group) {
    FChildren.push_back(new TcxDataGroupNode(this, &group));
    return FChildren.back();
  }
  Integer Count() const { return Integer(FChildren.size()); }
  TcxDataGroupNode* Items(Integer index) const { return FChildren[std::size_t(index)]; }
  std::vector<TcxDataGroupNode*>& Children() { return FChildren; }
  TcxDataGroupInfo& Group() { return FGroup; }
  TcxDataGroupNode* Parent() const { return FParent; }

 private:
  std::vector<TcxDataGroupNode*> FChildren;
  TcxDataGroupInfo FGroup;
  TcxDataGroupNode* FParent;
};

TcxGridSortingBySummaryEngine::TcxGridSortingBySummaryEngine(TcxCustomDataControllerInfo* dataControllerInfo)
    : TcxSortingBySummaryEngine(dataControllerInfo), FRoot(new TcxDataGroupNode(nullptr, nullptr)) {}

TcxGridSortingBySummaryEngine::~TcxGridSortingBySummaryEngine() {
  orv::Free(FRoot);
  for (TcxSortingBySummaryInfo* info : FInfos) info->Free();
}

namespace {

// The first record of a group: down the first children to the deepest level.
Integer FirstRecordOf(TcxDataGroupNode* node, TcxCustomDataControllerInfo* info) {
  while (node->Count() > 0) node = node->Items(0);
  return info->GetFilteredRecordIndex(node->Group().First);
}

Variant SummaryValueOf(TcxDataGroupNode* node, Integer index) {
  const Variant& values = node->Group().SummaryValues;
  if (!values.IsArray() || index < values.LowBound() || index > values.HighBound()) return Variant();
  return values.GetElement(index);
}

}  // namespace

void TcxGridSortingBySummaryEngine::Sort() {
  TcxCustomDataControllerInfo* info = GetDataControllerInfo();
  TcxDataGroups* groups = info->GetDataGroups();
  if (groups->GetCount() == 0) return;
  const Integer levelCount = groups->GetLevelCount();
  TcxCustomDataController* controller = info->GetDataController();

  // The flat, level-ordered list as a tree.
  Integer index = 0;
  auto buildLevel = [&](auto& self, TcxDataGroupNode* node, Integer depth) -> void {
    while (index < groups->GetCount() && groups->GetItemRef(index).Level == depth) {
      TcxDataGroupNode* child = node->AddChild(groups->GetItemRef(index));
      ++index;
      if (depth < levelCount - 1) self(self, child, depth + 1);
    }
  };
  buildLevel(buildLevel, FRoot, 0);

  // Each level's sorted group summary item and its direction.
  for (TcxSortingBySummaryInfo* levelInfo : FInfos) levelInfo->Free();
  FInfos.clear();
  TcxDataSummary* summary = controller->GetSummary();
  for (Integer level = 0; level < levelCount; ++level) {
    auto* levelInfo = new TcxSortingBySummaryInfo;
    FInfos.push_back(levelInfo);
    TcxDataGroupSummaryItems* items = summary->GetGroupSummaryItems(level);
    TcxDataSummaryItem* sorted = items ? items->GetSortedItem() : nullptr;
    if (!sorted) continue;
    levelInfo->SummaryIndex = sorted->GetIndex();
    const Integer bySummaryItem = controller->GetSortingBySummaryItemIndex();
    levelInfo->SortOrder = bySummaryItem >= 0
                               ? controller->GetItemSortOrder(bySummaryItem)
                               : controller->GetItemSortOrder(controller->GetGroups()->GetLevelItemIndex(level));
  }

  // Siblings by their level's summary; a tie goes to the records' own order, never reversed.
  auto sortLevel = [&](auto& self, TcxDataGroupNode* node, Integer depth) -> void {
    TcxSortingBySummaryInfo* levelInfo = FInfos[std::size_t(depth)];
    if (levelInfo->SummaryIndex >= 0) {
      std::stable_sort(node->Children().begin(), node->Children().end(),
                       [&](TcxDataGroupNode* a, TcxDataGroupNode* b) {
                         Integer result = CompareVariants(SummaryValueOf(a, levelInfo->SummaryIndex),
                                                          SummaryValueOf(b, levelInfo->SummaryIndex));
                         if (result != 0) return (levelInfo->SortOrder == soDescending ? -result : result) < 0;
                         return info->CompareRecordsForGrouping(FirstRecordOf(a, info), FirstRecordOf(b, info), depth) < 0;
                       });
    }
    if (depth + 1 < levelCount)
      for (TcxDataGroupNode* child : node->Children()) self(self, child, depth + 1);
  };
  sortLevel(sortLevel, FRoot, 0);

  // Back into the list depth first, each upper group's children range fixed.
  Integer position = 0;
  auto writeNode = [&](auto& self, TcxDataGroupNode* node) -> void {
    const Integer at = position++;
    TcxDataGroupInfo group = node->Group();
    if (group.Level < levelCount - 1) {
      group.First = position;
      groups->SetItem(at, group);
      for (TcxDataGroupNode* child : node->Children()) self(self, child);
      group.Last = position - 1;
    }
    groups->SetItem(at, group);
  };
  for (TcxDataGroupNode* child : FRoot->Children()) writeNode(writeNode, child);
  groups->UpdateIndexes();
}
