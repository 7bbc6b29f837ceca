// The dxBar unit, continued: the button row of application menus.

#include "components/bars/dxBarApplicationMenu.h"

#include <cmath>

#include "components/foundation/cxClasses.h"
#include "components/foundation/cxGeometry.h"
#include "platform/controls/Graphics.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Math.h"

// ==== Items and controls ======================================================================

TClass TdxBarApplicationMenuButtonItem::GetControlClass(Boolean textRotated) {
  return TdxBarApplicationMenuButtonControl::StaticClass();
}

Integer TdxBarApplicationMenuButtonControl::GetWidth() {
  TdxBarItem* item = GetItem();
  return item && item->GetWidth() > 0 ? item->GetWidth() : inherited::GetWidth();
}

// ==== Row entries =============================================================================

TdxBarApplicationMenuButton::TdxBarApplicationMenuButton(TCollection* collection) : TCollectionItem(collection) {
  auto* buttons = dynamic_cast<TdxBarApplicationMenuButtons*>(collection);
  TdxBarManager* manager = buttons ? buttons->GetBarManager() : nullptr;
  FInternalItem = new TdxBarApplicationMenuButtonItem(manager);
  FInternalItemLink = CreateObjectLink(FInternalItem);
  FInternalItem->SetVisible(ivNever);
  FInternalItem->SetOnClick(TNotifyEvent(this, &TdxBarApplicationMenuButton::MirrorClick));
  FNotifyList = new TdxBarComponentList;
  FNotifyList->SetOnComponentListChanged(
      TcxComponentListChangeEvent(this, &TdxBarApplicationMenuButton::ListChanged));
  FNotifyList->SetOnNotify(TcxComponentListNotifyEvent(this, &TdxBarApplicationMenuButton::ListNotify));
}

void TdxBarApplicationMenuButton::BeforeDestruction() {
  if (FNotifyList) {
    FNotifyList->SetOnComponentListChanged(TcxComponentListChangeEvent());
    FNotifyList->SetOnNotify(TcxComponentListNotifyEvent());
  }
  inherited::BeforeDestruction();
}

TdxBarApplicationMenuButton::~TdxBarApplicationMenuButton() {
  orv::Free(FNotifyList);
  if (FInternalItemLink && FInternalItemLink->Ref) orv::Free(FInternalItem);
  ReleaseObjectLink(FInternalItemLink);
}

void TdxBarApplicationMenuButton::SetItem(TdxBarButton* value) {
  if (value == FItem) return;
  FNotifyList->BeginUpdate();
  if (FItem) FNotifyList->Remove(FItem);
  if (value) FNotifyList->Add(value);
  FItem = value;
  // Closing the update reports a change of the whole list, which brings the internal item in step.
  FNotifyList->EndUpdate();
}

void TdxBarApplicationMenuButton::ListChanged(TcxComponentList* sender, TComponent* component,
                                              orv::TComponentCollectionAction action) {
  SyncInternalItem();
}

void TdxBarApplicationMenuButton::ListNotify(TcxComponentList* sender, TComponent* component, TListNotification action) {
  // The mirrored button was freed.
  if (action == lnExtracted && component == FItem) {
    FItem = nullptr;
    SyncInternalItem();
  }
}

void TdxBarApplicationMenuButton::SyncInternalItem() {
  TdxBarApplicationMenuButtonItem* item = FInternalItemLink && FInternalItemLink->Ref ? FInternalItem : nullptr;
  if (!item) return;
  if (FItem) {
    item->SetCaption(FItem->GetCaption());
    item->SetEnabled(FItem->GetEnabled());
    item->SetGlyph(FItem->GetGlyph());
    item->SetHintField(FItem->GetHint());
    item->SetImageIndex(FItem->GetImageIndex());
    item->SetScreenTip(FItem->GetScreenTip());
    item->SetVisible(FItem->GetVisible());
  } else {
    item->SetCaption(AnsiString());
    item->SetEnabled(true);
    item->GetGlyph()->Assign(nullptr);
    item->SetHintField(AnsiString());
    item->SetImageIndex(-1);
    item->SetScreenTip(nullptr);
    item->SetVisible(ivNever);
  }
}

void TdxBarApplicationMenuButton::MirrorClick(TObject* sender) {
  if (FItem && FItem->GetOnClick()) FItem->GetOnClick()(FItem);
}

Integer TdxBarApplicationMenuButton::GetWidth() const { return FInternalItem ? FInternalItem->GetWidth() : 0; }

void TdxBarApplicationMenuButton::SetWidth(Integer value) {
  if (FInternalItem && value >= 0) FInternalItem->SetWidth(value);
}

void TdxBarApplicationMenuButton::Assign(TPersistent* source) {
  if (auto* button = dynamic_cast<TdxBarApplicationMenuButton*>(source)) {
    SetWidth(button->GetWidth());
    SetItem(button->GetItem());
    return;
  }
  inherited::Assign(source);
}

TdxBarApplicationMenuButtons::TdxBarApplicationMenuButtons(TPersistent* owner, TdxBarManager* manager)
    : TOwnedCollection(owner, TdxBarApplicationMenuButton::StaticClass()), FBarManager(manager) {}

void TdxBarApplicationMenuButtons::PopulateLinks(TdxBarItemLinks* links) {
  if (!links) return;
  for (Integer i = 0; i < GetCount(); ++i) {
    // The entries take their buttons' current values each time the row is made.
    GetButton(i)->SyncInternalItem();
    links->AddItem(GetButton(i)->GetInternalItem());
  }
}

// ==== Layout ==================================================================================

std::vector<TRect> CalcApplicationMenuButtonsLayout(const std::vector<Integer>& widths, const TRect& rect) {
  std::vector<TRect> rects(widths.size());
  Integer left = rect.Left;
  size_t shown = 0;
  for (size_t i = 0; i < widths.size(); ++i) {
    if (left + widths[i] > rect.Right) break;
    rects[i] = TRect{left, rect.Top, left + widths[i], rect.Bottom};
    left = rects[i].Right + 6;
    shown = i + 1;
  }
  if (shown > 0) {
    // Right-aligned: the last shown entry ends at the row's right edge.
    const Integer shift = rect.Right - rects[shown - 1].Right;
    for (size_t i = 0; i < shown; ++i) {
      rects[i].Left += shift;
      rects[i].Right += shift;
    }
  }
  return rects;
}

void CalcApplicationMenuButtonLinksLayout(TdxBarItemLinks* links, const TRect& rect) {
  if (!links) return;
  std::vector<TdxBarItemLink*> shown;
  std::vector<Integer> widths;
  for (Integer i = 0; i < links->GetCount(); ++i) links->GetItem(i)->SetItemRect(TRect());
  for (Integer i = 0; i < links->GetVisibleItemCount(); ++i) {
    TdxBarItemLink* link = links->GetVisibleItem(i);
    link->CreateControl();
    if (!link->GetControl()) continue;
    shown.push_back(link);
    widths.push_back(link->GetControl()->CalcWidth());
  }
  const std::vector<TRect> rects = CalcApplicationMenuButtonsLayout(widths, rect);
  for (size_t i = 0; i < shown.size(); ++i) shown[i]->SetItemRect(rects[i]);
}

Integer CalcApplicationMenuExtraPaneWidth(Integer fixedWidth, double ratio, Integer menuWidth, Integer textSize,
                                          Integer baseItemHeight) {
  if (fixedWidth > 0) return baseItemHeight > 0 ? MulDiv(fixedWidth, textSize, baseItemHeight) : fixedWidth;
  return Integer(std::lround(ratio * menuWidth));
}

ORV_PUBLISH(TdxBarApplicationMenuButton) {
  using T = TdxBarApplicationMenuButton;
  p.Property("Item", &T::GetItem, &T::SetItem);
  p.Property("Width", &T::GetWidth, &T::SetWidth).Default(0);
}
