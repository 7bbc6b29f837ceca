#include "components/editors-more/cxDBEditRepository.h"

#include "platform/forms/Published.h"

ORV_PUBLISH(TcxEditRepositoryLookupComboBoxItem) {
  using T = TcxEditRepositoryLookupComboBoxItem;
  p.Property("Properties", &T::GetItemProperties, &T::SetItemProperties);
}
