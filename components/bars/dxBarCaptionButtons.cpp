// The dxBar unit, continued: caption buttons of bars.

#include "components/bars/dxBarCaptionButtons.h"

#include <algorithm>

#include "components/bars/dxBarScreenTip.h"
#include "platform/controls/Graphics.h"
#include "platform/forms/Published.h"
#include "platform/windowing/User.h"

// ==== Caption buttons =========================================================================

TdxBarCaptionButton::TdxBarCaptionButton(TCollection* collection) : TcxInterfacedCollectionItem(collection) {
  FGlyph = new TBitmap;
  FGlyph->SetOnChange(TNotifyEvent(this, &TdxBarCaptionButton::GlyphChanged));
  FWatcher = new TTipWatcher(this);
}

TdxBarCaptionButton::~TdxBarCaptionButton() {
  if (FScreenTip) FScreenTip->RemoveFreeNotification(FWatcher);
  orv::Free(FWatcher);
  orv::Free(FGlyph);
}

void TdxBarCaptionButton::TTipWatcher::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && FButton && component == FButton->FScreenTip) FButton->FScreenTip = nullptr;
}

TdxBarCaptionButtons* TdxBarCaptionButton::GetCaptionButtons() const {
  return dynamic_cast<TdxBarCaptionButtons*>(GetCollection());
}

void TdxBarCaptionButton::SetEnabled(Boolean value) {
  FEnabled = value;
  SetState(value ? bsNormal : bsDisabled);
}

void TdxBarCaptionButton::SetGlyph(TBitmap* value) { FGlyph->Assign(value); }

void TdxBarCaptionButton::SetScreenTip(TdxBarScreenTip* value) {
  if (value == FScreenTip) return;
  if (FScreenTip) FScreenTip->RemoveFreeNotification(FWatcher);
  FScreenTip = value;
  if (FScreenTip) FScreenTip->FreeNotification(FWatcher);
}

void TdxBarCaptionButton::SetOnClick(const TNotifyEvent& value) {
  FOnClick = value;
  Changed(true);
}

void TdxBarCaptionButton::SetState(Integer value) {
  if (value == FState) return;
  FState = value;
  TdxBarCaptionButtons* buttons = GetCaptionButtons();
  TdxBar* bar = buttons ? buttons->GetBar() : nullptr;
  if (bar && bar->GetControl())
    if (TdxBarManager* manager = bar->GetBarManager()) {
      // The bar window's hint follows the hot button.
      if (value == bsHot)
        manager->ActivateHint(true, FHint, nullptr);
      else
        manager->HideHint();
    }
  Changed(false);
}

void TdxBarCaptionButton::Click() {
  if (FOnClick) FOnClick(this);
}

void TdxBarCaptionButton::Assign(TPersistent* source) {
  if (auto* button = dynamic_cast<TdxBarCaptionButton*>(source)) {
    SetEnabled(button->GetEnabled());
    SetGlyph(button->GetGlyph());
    SetHint(button->GetHint());
    SetKeyTip(button->GetKeyTip());
    SetRect(button->GetRect());
    SetScreenTip(button->GetScreenTip());
    SetOnClick(button->GetOnClick());
    return;
  }
  inherited::Assign(source);
}

void TdxBarCaptionButton::GetHintInfo(AnsiString& hint, AnsiString& shortCut, Boolean& enabled) {
  hint = FState == bsHot ? FHint : AnsiString();
  shortCut.clear();
  enabled = FEnabled;
}

TdxBarCustomHintViewInfo* TdxBarCaptionButton::CreateHintViewInfo(const AnsiString& hint, const AnsiString& shortCut) {
  if (!FScreenTip) return nullptr;
  TdxBarCaptionButtons* buttons = GetCaptionButtons();
  TdxBar* bar = buttons ? buttons->GetBar() : nullptr;
  return new TdxBarScreenTipViewInfo(bar ? bar->GetBarManager() : nullptr, FScreenTip, hint, shortCut);
}

TdxBarCaptionButtons::TdxBarCaptionButtons(TdxBar* bar)
    : TcxOwnedInterfacedCollection(bar, TdxBarCaptionButton::StaticClass()), FBar(bar) {}

Integer TdxBarCaptionButtons::ButtonAtPoint(const TPoint& point) const {
  for (Integer i = 0; i < GetCount(); ++i) {
    const TdxBarCaptionButton* button = GetButton(i);
    const TRect& r = button->GetRect();
    if (button->GetEnabled() && point.X >= r.Left && point.X < r.Right && point.Y >= r.Top && point.Y < r.Bottom)
      return i;
  }
  return -1;
}

void TdxBarCaptionButtons::UpdateButtonStates(const TPoint& point, Boolean pressing) {
  for (Integer i = 0; i < GetCount(); ++i) {
    TdxBarCaptionButton* button = GetButton(i);
    if (!button->GetEnabled()) continue;
    const TRect& r = button->GetRect();
    const Boolean inside = point.X >= r.Left && point.X < r.Right && point.Y >= r.Top && point.Y < r.Bottom;
    if (!inside && !button->GetKeyboardSelected())
      button->SetState(TdxBarCaptionButton::bsNormal);
    else
      button->SetState(pressing ? TdxBarCaptionButton::bsPressed : TdxBarCaptionButton::bsHot);
  }
}

TRect TdxBarCaptionButtons::GetBounds() const {
  TRect bounds;
  Boolean any = false;
  for (Integer i = 0; i < GetCount(); ++i) {
    const TRect& r = GetButton(i)->GetRect();
    if (r.Left >= r.Right || r.Top >= r.Bottom) continue;
    if (!any) {
      bounds = r;
      any = true;
    } else {
      bounds = TRect{std::min(bounds.Left, r.Left), std::min(bounds.Top, r.Top), std::max(bounds.Right, r.Right),
                     std::max(bounds.Bottom, r.Bottom)};
    }
  }
  return bounds;
}

void TdxBarCaptionButtons::Update(TCollectionItem* item) {
  inherited::Update(item);
  // The bar's window redraws its caption.
  if (FBar && FBar->GetControl() && FBar->GetControl()->HandleAllocated())
    RedrawWindow(FBar->GetControl()->GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

// ==== The bar's collection ====================================================================

TdxBarCaptionButtons* TdxBar::GetCaptionButtons() {
  if (!FCaptionButtons) FCaptionButtons = new TdxBarCaptionButtons(this);
  return FCaptionButtons;
}

void TdxBar::SetCaptionButtons(TdxBarCaptionButtons* value) { GetCaptionButtons()->Assign(value); }

void TdxBar::FreeCaptionButtons() { orv::Free(FCaptionButtons); }

ORV_PUBLISH(TdxBarCaptionButton) {
  using T = TdxBarCaptionButton;
  p.Property("Enabled", &T::GetEnabled, &T::SetEnabled).Default(true);
  p.Property("Glyph", &T::GetGlyph, &T::SetGlyph);
  p.Property("Hint", &T::GetHint, &T::SetHint);
  p.Property("KeyTip", &T::GetKeyTip, &T::SetKeyTip);
  p.Property("ScreenTip", &T::GetScreenTip, &T::SetScreenTip);
  p.Property("OnClick", &T::GetOnClick, &T::SetOnClick);
}
