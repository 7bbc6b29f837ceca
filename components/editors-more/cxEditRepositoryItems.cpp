#include "components/editors-more/cxEditRepositoryItems.h"

#include "platform/forms/Published.h"

ORV_PUBLISH(TcxEditRepositoryTextItem) {
  using T = TcxEditRepositoryTextItem;
  p.Property("Properties", &T::GetItemProperties, &T::SetItemProperties);
}

ORV_PUBLISH(TcxEditRepositoryCheckBoxItem) {
  using T = TcxEditRepositoryCheckBoxItem;
  p.Property("Properties", &T::GetItemProperties, &T::SetItemProperties);
}

ORV_PUBLISH(TcxEditRepositorySpinItem) {
  using T = TcxEditRepositorySpinItem;
  p.Property("Properties", &T::GetItemProperties, &T::SetItemProperties);
}

ORV_PUBLISH(TcxEditRepositoryRadioGroupItem) {
  using T = TcxEditRepositoryRadioGroupItem;
  p.Property("Properties", &T::GetItemProperties, &T::SetItemProperties);
}

ORV_PUBLISH(TcxEditRepositoryMaskItem) {
  using T = TcxEditRepositoryMaskItem;
  p.Property("Properties", &T::GetItemProperties, &T::SetItemProperties);
}

ORV_PUBLISH(TcxEditRepositoryComboBoxItem) {
  using T = TcxEditRepositoryComboBoxItem;
  p.Property("Properties", &T::GetItemProperties, &T::SetItemProperties);
}

ORV_PUBLISH(TcxEditRepositoryPopupItem) {
  using T = TcxEditRepositoryPopupItem;
  p.Property("Properties", &T::GetItemProperties, &T::SetItemProperties);
}

ORV_PUBLISH(TcxEditRepositoryCalcItem) {
  using T = TcxEditRepositoryCalcItem;
  p.Property("Properties", &T::GetItemProperties, &T::SetItemProperties);
}

ORV_PUBLISH(TcxEditRepositoryButtonItem) {
  using T = TcxEditRepositoryButtonItem;
  p.Property("Properties", &T::GetItemProperties, &T::SetItemProperties);
}

ORV_PUBLISH(TcxEditRepositoryCurrencyItem) {
  using T = TcxEditRepositoryCurrencyItem;
  p.Property("Properties", &T::GetItemProperties, &T::SetItemProperties);
}

ORV_PUBLISH(TcxEditRepositoryHyperLinkItem) {
  using T = TcxEditRepositoryHyperLinkItem;
  p.Property("Properties", &T::GetItemProperties, &T::SetItemProperties);
}

ORV_PUBLISH(TcxEditRepositoryMRUItem) {
  using T = TcxEditRepositoryMRUItem;
  p.Property("Properties", &T::GetItemProperties, &T::SetItemProperties);
}

ORV_PUBLISH(TcxEditRepositoryTimeItem) {
  using T = TcxEditRepositoryTimeItem;
  p.Property("Properties", &T::GetItemProperties, &T::SetItemProperties);
}

ORV_PUBLISH(TcxEditRepositoryDateItem) {
  using T = TcxEditRepositoryDateItem;
  p.Property("Properties", &T::GetItemProperties, &T::SetItemProperties);
}

ORV_PUBLISH(TcxEditRepositoryMemoItem) {
  using T = TcxEditRepositoryMemoItem;
  p.Property("Properties", &T::GetItemProperties, &T::SetItemProperties);
}

ORV_PUBLISH(TcxEditRepositoryImageItem) {
  using T = TcxEditRepositoryImageItem;
  p.Property("Properties", &T::GetItemProperties, &T::SetItemProperties);
}

ORV_PUBLISH(TcxEditRepositoryBlobItem) {
  using T = TcxEditRepositoryBlobItem;
  p.Property("Properties", &T::GetItemProperties, &T::SetItemProperties);
}

ORV_PUBLISH(TcxEditRepositoryImageComboBoxItem) {
  using T = TcxEditRepositoryImageComboBoxItem;
  p.Property("Properties", &T::GetItemProperties, &T::SetItemProperties);
}

void TcxEditRepositoryImageComboBoxItem::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation != opRemove || GetComponentState().Contains(csDestroying)) return;
  TcxImageComboBoxProperties* p = GetItemProperties();
  if (p->GetImages() == component) p->SetImages(nullptr);
  if (p->GetLargeImages() == component) p->SetLargeImages(nullptr);
}
