#include "platform/dataset/FieldDirectRead.h"

#include <utility>
#include <vector>

#include "platform/dataset/Fields.h"

namespace {

std::vector<std::pair<TClass, TFieldDirectReadFinder>>& Finders() {
  static std::vector<std::pair<TClass, TFieldDirectReadFinder>> finders;
  return finders;
}

}  // namespace

void RegisterFieldDirectRead(TClass dataSetClass, TFieldDirectReadFinder finder) {
  for (auto& entry : Finders())
    if (entry.first == dataSetClass) {
      entry.second = finder;
      return;
    }
  Finders().emplace_back(dataSetClass, finder);
}

bool FindFieldDirectRead(TField* field, TFieldDirectRead& read) {
  read = TFieldDirectRead{};
  TDataSet* dataSet = field ? field->GetDataSet() : nullptr;
  if (!dataSet || !dataSet->GetActive()) return false;
  const TClass c = dataSet->ClassType();
  for (const auto& entry : Finders())
    if (entry.first == c) {
      if (entry.second(dataSet, field, read) && (read.Text || read.Float)) return true;
      read = TFieldDirectRead{};
      return false;
    }
  return false;
}
