// The repository items of the editor kinds: named, shared properties objects that editors and
// grid columns use (one item class per editor kind; each publishes its Properties).
#pragma once

#include "components/editors-more/cxBlobEdit.h"
#include "components/editors-more/cxButtonEdit.h"
#include "components/editors-more/cxCalc.h"
#include "components/editors-more/cxCheckBox.h"
#include "components/editors-more/cxCurrencyEdit.h"
#include "components/editors-more/cxDateEdit.h"
#include "components/editors-more/cxHyperLinkEdit.h"
#include "components/editors-more/cxImage.h"
#include "components/editors-more/cxImageComboBox.h"
#include "components/editors-more/cxLabel.h"
#include "components/editors-more/cxMRUEdit.h"
#include "components/editors-more/cxMemo.h"
#include "components/editors-more/cxProgressBar.h"
#include "components/editors-more/cxRadioGroup.h"
#include "components/editors-more/cxSpinEdit.h"
#include "components/editors-more/cxTimeEdit.h"
#include "components/editors/cxDropDownEdit.h"
#include "components/editors/cxEdit.h"
#include "components/editors/cxMaskEdit.h"
#include "components/editors/cxTextEdit.h"

// One repository item class per editor kind: the properties class it names is its only answer.
#define ORV_DECLARE_REPOSITORY_ITEM(ItemClass, PropertiesClass)                                     \
  class ItemClass : public TcxEditRepositoryItem {                                                 \
    ORV_CLASS(ItemClass, TcxEditRepositoryItem)                                                    \
   public:                                                                                         \
    explicit ItemClass(TComponent* owner) : TcxEditRepositoryItem(owner) {}                        \
    TcxCustomEditPropertiesClass GetPropertiesClass() override { return PropertiesClass::StaticClass(); } \
    PropertiesClass* GetItemProperties() { return static_cast<PropertiesClass*>(GetProperties()); } \
    void SetItemProperties(PropertiesClass* value) { GetProperties()->Assign(value); }             \
  }

ORV_DECLARE_REPOSITORY_ITEM(TcxEditRepositoryTextItem, TcxTextEditProperties);
ORV_DECLARE_REPOSITORY_ITEM(TcxEditRepositoryMaskItem, TcxMaskEditProperties);
ORV_DECLARE_REPOSITORY_ITEM(TcxEditRepositoryComboBoxItem, TcxComboBoxProperties);
ORV_DECLARE_REPOSITORY_ITEM(TcxEditRepositoryPopupItem, TcxPopupEditProperties);
ORV_DECLARE_REPOSITORY_ITEM(TcxEditRepositoryCalcItem, TcxCalcEditProperties);
ORV_DECLARE_REPOSITORY_ITEM(TcxEditRepositoryCheckBoxItem, TcxCheckBoxProperties);
ORV_DECLARE_REPOSITORY_ITEM(TcxEditRepositorySpinItem, TcxSpinEditProperties);
ORV_DECLARE_REPOSITORY_ITEM(TcxEditRepositoryRadioGroupItem, TcxRadioGroupProperties);
ORV_DECLARE_REPOSITORY_ITEM(TcxEditRepositoryButtonItem, TcxButtonEditProperties);
ORV_DECLARE_REPOSITORY_ITEM(TcxEditRepositoryCurrencyItem, TcxCurrencyEditProperties);
ORV_DECLARE_REPOSITORY_ITEM(TcxEditRepositoryHyperLinkItem, TcxHyperLinkEditProperties);
ORV_DECLARE_REPOSITORY_ITEM(TcxEditRepositoryMRUItem, TcxMRUEditProperties);
ORV_DECLARE_REPOSITORY_ITEM(TcxEditRepositoryTimeItem, TcxTimeEditProperties);
ORV_DECLARE_REPOSITORY_ITEM(TcxEditRepositoryDateItem, TcxDateEditProperties);
ORV_DECLARE_REPOSITORY_ITEM(TcxEditRepositoryMemoItem, TcxMemoProperties);
ORV_DECLARE_REPOSITORY_ITEM(TcxEditRepositoryImageItem, TcxImageProperties);
ORV_DECLARE_REPOSITORY_ITEM(TcxEditRepositoryBlobItem, TcxBlobEditProperties);

// The image combo box item also forgets its image lists when they are freed.
class TcxEditRepositoryImageComboBoxItem : public TcxEditRepositoryItem {
  ORV_CLASS(TcxEditRepositoryImageComboBoxItem, TcxEditRepositoryItem)
 public:
  explicit TcxEditRepositoryImageComboBoxItem(TComponent* owner) : TcxEditRepositoryItem(owner) {}
  TcxCustomEditPropertiesClass GetPropertiesClass() override { return TcxImageComboBoxProperties::StaticClass(); }
  TcxImageComboBoxProperties* GetItemProperties() {
    return static_cast<TcxImageComboBoxProperties*>(GetProperties());
  }
  void SetItemProperties(TcxImageComboBoxProperties* value) { GetProperties()->Assign(value); }
  void Notification(TComponent* component, TOperation operation) override;
};

#undef ORV_DECLARE_REPOSITORY_ITEM
