// The repository item of the lookup combo box (kept apart: it brings the dataset lookup units).
#pragma once

#include "components/editors-more/cxDBLookupComboBox.h"
#include "components/editors-more/cxEditRepositoryItems.h"

class TcxEditRepositoryLookupComboBoxItem : public TcxEditRepositoryItem {
  ORV_CLASS(TcxEditRepositoryLookupComboBoxItem, TcxEditRepositoryItem)
 public:
  explicit TcxEditRepositoryLookupComboBoxItem(TComponent* owner) : TcxEditRepositoryItem(owner) {}
  TcxCustomEditPropertiesClass GetPropertiesClass() override { return TcxLookupComboBoxProperties::StaticClass(); }
  TcxLookupComboBoxProperties* GetItemProperties() {
    return static_cast<TcxLookupComboBoxProperties*>(GetProperties());
  }
  void SetItemProperties(TcxLookupComboBoxProperties* value) { GetProperties()->Assign(value); }
};
