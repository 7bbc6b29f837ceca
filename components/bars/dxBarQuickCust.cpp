// The dxBar unit, continued: the quick-customization menu of a toolbar.

#include "components/bars/dxBarQuickCust.h"

#include "components/bars/dxBarStrs.h"
#include "components/foundation/cxClasses.h"
#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxGraphics.h"
#include "platform/drawing/Gdi.h"
#include "platform/forms/Published.h"

// ==== Items ===================================================================================

TdxBarQuickAccessItem::TdxBarQuickAccessItem(TComponent* owner) : TdxBarSubItem(owner) {
  SetOnPopup(TNotifyEvent(this, &TdxBarQuickAccessItem::Prepare));
}

void TdxBarQuickAccessItem::BeforeDestruction() {
  Destroying();
  if (GetLinks()) GetLinks()->Clear();
  orv::Free(FEntryItem);
  inherited::BeforeDestruction();
}

void TdxBarQuickAccessItem::SetToolbar(TdxBar* value) {
  if (FToolbar == value) return;
  if (FToolbar) FToolbar->RemoveFreeNotification(this);
  FToolbar = value;
  if (FToolbar) FToolbar->FreeNotification(this);
}

void TdxBarQuickAccessItem::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FEntryItem) FEntryItem = nullptr;
  if (component == FToolbar) FToolbar = nullptr;
}

void TdxBarQuickAccessItem::Prepare(TObject* sender) {
  TdxBarItemLinks* links = GetLinks();
  if (!links || links->GetBarControl()) return;
  links->Clear();
  FillQuickCustomizationMenu(links);
}

void TdxBarQuickAccessItem::FillQuickCustomizationMenu(TdxBarItemLinks* links) {
  if (!FToolbar || !links) return;
  if (!FEntryItem) {
    FEntryItem = new TdxBarQuickCustItem(GetOwner());
    FEntryItem->FreeNotification(this);
    FEntryItem->SetParentComponent(GetBarManager());
  }
  TdxBarItemLinks* barLinks = FToolbar->GetLinks();
  for (Integer i = 0; i < barLinks->GetCount(); ++i) {
    TdxBarItemLink* target = barLinks->GetItem(i);
    if (!target->GetItem()) continue;
    TdxBarItemLink* entry = links->AddItem(FEntryItem);
    entry->SetData(reinterpret_cast<NativeInt>(target));
  }
}

TdxBarItemLink* TdxBarQuickCustItem::TargetLink(TdxBarItemLink* entry) {
  return entry ? reinterpret_cast<TdxBarItemLink*>(entry->GetData()) : nullptr;
}

void TdxBarQuickCustItem::Click() {
  TdxBarItemLink* entry = GetClickItemLink();
  orv::TObjectLinkGuard self(this);
  inherited::Click();
  if (!self.Alive()) return;
  if (TdxBarItemLink* target = TargetLink(entry)) target->SetVisible(!target->GetVisible());
}

TdxBarQuickAccessItem* AddQuickCustomizationItem(TdxBar* toolbar, TdxBarItemLinks* links) {
  if (!toolbar || !links || !toolbar->GetAllowQuickCustomizing()) return nullptr;
  TdxBarManager* manager = toolbar->GetBarManager();
  auto* item = new TdxBarQuickAccessItem(manager ? manager->GetOwner() : nullptr);
  item->SetParentComponent(manager);
  item->SetToolbar(toolbar);
  item->SetCaption(LoadResString(&dxSBAR_ADDREMOVEBUTTONS));
  TdxBarItemLink* link = links->AddItem(item);
  link->SetBeginGroup(true);
  return item;
}

// ==== Controls ================================================================================

Integer TdxCustomQuickCustItemControl::GetWidth() { return inherited::GetWidth() + GetHeight(); }

void TdxCustomQuickCustItemControl::Draw(const TRect& rect, Integer hostKind) {
  TdxBarPainter* painter = GetPainter();
  TcxCanvas* canvas = GetCanvas();
  if (!painter || !canvas) return;
  // The square check area at the left, the entry drawn as a button beside it.
  const TRect check{rect.Left, rect.Top, rect.Left + rect.Height(), rect.Bottom};
  const TRect content{check.Right, rect.Top, rect.Right, rect.Bottom};
  HDC dc = canvas->GetHandle();
  FillRect(dc, &check, GetBkBrush() ? GetBkBrush() : GetSysColorBrush(COLOR_MENU));
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, content.Left, content.Top, content.Right, content.Bottom);
  painter->DrawButtonContent(GetDrawParams(), content);
  RestoreDC(dc, saved);
  if (IsChecked()) {
    TRect box{check.Left + 2, check.Top + 2, check.Right - 2, check.Bottom - 2};
    FrameRect(dc, &box, GetSysColorBrush(COLOR_BTNSHADOW));
    TRect mark{box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1};
    DrawFrameControl(dc, &mark, DFC_MENU, DFCS_MENUCHECK);
  }
}

TdxBarItemLink* TdxBarQuickCustItemControl::GetTargetLink() const {
  return TdxBarQuickCustItem::TargetLink(GetItemLink());
}

Boolean TdxBarQuickCustItemControl::IsChecked() {
  TdxBarItemLink* target = GetTargetLink();
  return target && target->GetVisible();
}

AnsiString TdxBarQuickCustItemControl::GetCaption() {
  TdxBarItemLink* target = GetTargetLink();
  return target ? target->GetCaption() : inherited::GetCaption();
}

TBitmap* TdxBarQuickCustItemControl::GetGlyph() {
  TdxBarItemLink* target = GetTargetLink();
  return target ? target->GetGlyph() : inherited::GetGlyph();
}

Integer TdxBarQuickCustItemControl::GetImageIndex() {
  TdxBarItemLink* target = GetTargetLink();
  return target && target->GetItem() ? target->GetItem()->GetImageIndex() : inherited::GetImageIndex();
}

AnsiString TdxBarQuickCustItemControl::GetHint() {
  TdxBarItemLink* target = GetTargetLink();
  return target && target->GetItem() ? target->GetItem()->GetHint() : inherited::GetHint();
}

TShortCut TdxBarQuickCustItemControl::GetShortCut() {
  TdxBarItemLink* target = GetTargetLink();
  return target && target->GetItem() ? target->GetItem()->GetShortCut() : inherited::GetShortCut();
}

void TdxBarQuickCustItemControl::ExecuteClick(Boolean byMouse) {
  orv::TObjectLinkGuard self(this);
  inherited::ExecuteClick(byMouse);
  if (self.Alive()) Invalidate();
}
