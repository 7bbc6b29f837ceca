// Walking the detail controllers of a relation: every master record's existing details down the
// relation's chain from the root controller.
#include <vector>

#include "components/data/cxCustomData.h"

namespace {

void ForEachDetailAtDepth(TcxCustomDataController* controller, const std::vector<Integer>& chain, std::size_t depth,
                          TcxCustomDataController::TcxForEachDetailProc proc, void* data) {
  if (depth == chain.size()) {
    proc(data, controller);
    return;
  }
  const Integer relationIndex = chain[depth];
  // The details are gathered first: the callback may detach them.
  std::vector<TcxCustomDataController*> details;
  for (Integer r = 0; r < controller->GetRecordCount(); ++r)
    if (controller->IsDetailDataControllerExist(r, relationIndex))
      if (TcxCustomDataController* detail = controller->GetDetailDataController(r, relationIndex))
        details.push_back(detail);
  for (TcxCustomDataController* detail : details) ForEachDetailAtDepth(detail, chain, depth + 1, proc, data);
}

}  // namespace

void TcxCustomDataController::ForEachDetail(TcxCustomDataRelation* relation, TcxForEachDetailProc proc, void* data) {
  if (!relation || !proc) return;
  // The relation indexes from the root down to the relation.
  std::vector<Integer> chain{relation->GetIndex()};
  TcxCustomDataController* root = relation->GetDataController();
  while (root && root->GetMasterRelation()) {
    TcxCustomDataRelation* master = root->GetMasterRelation();
    chain.insert(chain.begin(), master->GetIndex());
    root = master->GetDataController();
  }
  if (root) ForEachDetailAtDepth(root, chain, 0, proc, data);
}

void TcxCustomDataController::ResetDetailMasterRelations(TcxCustomDataRelation* relation) {
  ForEachDetail(
      relation, [](void*, TcxCustomDataController* detail) { detail->SetMasterRelation(nullptr, -1); }, nullptr);
}

void TcxCustomDataController::SyncDetailsFocus(Integer recordIndex) {
  const Integer relationIndex = GetDetailActiveRelationIndex(recordIndex);
  if (relationIndex < 0 || !IsDetailDataControllerExist(recordIndex, relationIndex)) return;
  TcxCustomDataController* detail = GetDetailDataController(recordIndex, relationIndex);
  if (!detail || detail->GetFocusedRowIndex() != -1) return;
  if (detail->IsNewItemRowEditing()) return;
  if (detail->GetRowCount() > 0) detail->ChangeFocusedRowIndex(0);
}
