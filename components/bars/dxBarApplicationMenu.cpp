// The dxBar unit, continued: the button row of application menus.

#include "components/bars/dxBarApplicationMenu.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "components/bars/dxBarDrawing.h"
#include "components/foundation/cxClasses.h"
#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxGraphics.h"
#include "platform/controls/Graphics.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Math.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/User.h"

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

// ==== Painter operations of the application menu ==============================================

void TdxBarPainter::DrawApplicationMenuFrame(TdxBarSubMenuControl* menu, HDC dc, const TRect& rect) {
  DrawMenuFrame(menu, dc, rect);
}

void TdxBarPainter::DrawApplicationMenuBackground(TdxBarSubMenuControl* menu, TcxCanvas* canvas, const TRect& excluded,
                                                  const TRect& rect) {
  HDC dc = canvas->GetHandle();
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, excluded.Left, excluded.Top, excluded.Right, excluded.Bottom);
  DrawMenuBand(menu, canvas, clNone, GetCheckedBrush(), rect);
  RestoreDC(dc, saved);
}

void TdxBarPainter::DrawExtraPaneBackground(TdxBarControl* pane, HDC dc, TColor color, HBRUSH brush, const TRect& rect) {
  TdxBar* bar = pane ? pane->GetBar() : nullptr;
  const TRect client{0, 0, pane ? pane->GetClientWidth() : 0, pane ? pane->GetClientHeight() : 0};
  FillRectOrTile(dc, rect, client, bar ? bar->GetBackgroundBitmap() : nullptr, color, brush);
}

void TdxBarPainter::DrawExtraPaneSeparator(TdxBarControl* pane, HDC dc, Boolean horizontal, HBRUSH brush,
                                           const TRect& rect) {
  DrawToolbarSeparator(pane, dc, horizontal, brush, rect);
}

// ==== Extra pane ==============================================================================

TdxBarExtraPaneControl::TdxBarExtraPaneControl(TdxBarApplicationMenuControl* menu, TdxBar* bar)
    : TdxBarControl(menu ? menu->GetOwnerBarManager() : nullptr, bar), FApplicationMenu(menu) {
  // The window shows the bar's links but is no window of the bar: the manager's bookkeeping of
  // bar windows (which frees windows of hidden bars) never sees it, and the menu frees both.
  if (bar && bar->GetControl() == this) bar->SetControl(nullptr);
  ForgetBar();
}

TdxBarExtraPaneControl::~TdxBarExtraPaneControl() = default;

void TdxBarExtraPaneControl::BeforeDestruction() {
  CollapseContainerItems();
  inherited::BeforeDestruction();
}

TdxBarPainter* TdxBarExtraPaneControl::GetPainter() {
  return FApplicationMenu ? FApplicationMenu->GetPainter() : inherited::GetPainter();
}

Integer TdxBarExtraPaneControl::GetBehaviorFlags() {
  return FApplicationMenu ? FApplicationMenu->GetBehaviorFlags() : inherited::GetBehaviorFlags();
}

Boolean TdxBarExtraPaneControl::IsInActiveChain() {
  return inherited::IsInActiveChain() || (FApplicationMenu && FApplicationMenu->IsInActiveChain());
}

TdxBarItemLink* TdxBarExtraPaneControl::FindLinkByKey(Word key, Boolean& several, TdxBarItemLink* start) {
  if (FApplicationMenu) return FApplicationMenu->FindLinkByKey(key, several, start);
  return inherited::FindLinkByKey(key, several, start);
}

void TdxBarExtraPaneControl::SelectAndClick(TdxBarItemControl* control, Boolean selectOnly) {
  if (FApplicationMenu)
    FApplicationMenu->SelectAndClick(control, selectOnly);
  else
    inherited::SelectAndClick(control, selectOnly);
}

Boolean TdxBarExtraPaneControl::IsExpandedLink(TdxBarItemLink* link) {
  auto* container = link ? dynamic_cast<TCustomdxBarContainerItem*>(link->GetItem()) : nullptr;
  return container && container->HidesOwnLink();
}

void TdxBarExtraPaneControl::ExpandContainerItems() {
  if (FExpanded || !FItemLinks || InCustomizingMode()) return;
  FExpanded = true;
  // From the last link back, so that the entries put in do not move the links still to come.
  for (Integer i = FItemLinks->GetCount() - 1; i >= 0; --i) {
    TdxBarItemLink* link = FItemLinks->GetItem(i);
    if (auto* container = dynamic_cast<TCustomdxBarContainerItem*>(link->GetItem()))
      container->AddListItems(FItemLinks, i + 1, link, true);
  }
}

void TdxBarExtraPaneControl::CollapseContainerItems() {
  if (!FExpanded) return;
  FExpanded = false;
  if (!FItemLinks) return;
  DestroyItemControls();
  for (Integer i = 0; i < FItemLinks->GetCount(); ++i) {
    auto* container = dynamic_cast<TCustomdxBarContainerItem*>(FItemLinks->GetItem(i)->GetItem());
    if (!container) continue;
    container->DeleteListItems(FItemLinks, i + 1);
    // The entries are made afresh from the item's list the next time.
    container->MarkForClear();
  }
}

void TdxBarExtraPaneControl::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  params.ExStyle = 0;
  TWinControl* parent = GetParent();
  params.WndParent = parent && parent->HandleAllocated() ? parent->GetHandle() : nullptr;
}

TRect TdxBarExtraPaneControl::GetItemsRect() {
  TRect r = GetClientRect();
  r.Left += 2;
  return r;
}

void TdxBarExtraPaneControl::UpdateLayout() {
  if (FItemLinks && FViewInfos.empty()) CreateItemControls();
  CalcMetrics();
  ArrangeItemLinks();
}

// One column like a menu: each shown link as wide as the pane, group gaps above the links that
// begin a group.
void TdxBarExtraPaneControl::ArrangeItemRows() {
  if (!FItemLinks) return;
  const TRect items = GetItemsRect();
  Integer y = items.Top;
  Boolean first = true;
  for (Integer i = 0; i < FItemLinks->GetVisibleItemCount(); ++i) {
    TdxBarItemLink* link = FItemLinks->GetVisibleItem(i);
    TdxBarItemControl* control = link->GetControl();
    if (!control || IsExpandedLink(link)) continue;
    if (!first && link->GetBeginGroup()) y += GetBeginGroupSize();
    const Integer h = control->CalcHeight();
    link->SetItemRect(TRect{items.Left, y, items.Right, y + h});
    y += h;
    first = false;
  }
}

void TdxBarExtraPaneControl::DrawBackground(HDC dc, const TRect& rect, HBRUSH brush, TColor color) {
  TdxBarPainter* painter = GetPainter();
  if (!painter) {
    TCustomdxBarControl::DrawBackground(dc, rect, brush, color);
    return;
  }
  painter->DrawExtraPaneBackground(this, dc, color, brush ? brush : GetBackgroundBrush(), rect);
}

void TdxBarExtraPaneControl::Paint() {
  if (IsDestroying()) return;
  TdxBarPainter* painter = GetPainter();
  TcxCanvas* canvas = GetBarControlCanvas();
  HDC dc = canvas->GetHandle();
  const int saved = SaveDC(dc);
  DrawItemControls();
  if (painter && FItemLinks) {
    const Integer gap = GetBeginGroupSize();
    Boolean first = true;
    for (Integer i = 0; i < FItemLinks->GetVisibleItemCount(); ++i) {
      TdxBarItemLink* link = FItemLinks->GetVisibleItem(i);
      const TRect r = link->GetItemRect();
      if (RectIsEmpty(r) || IsExpandedLink(link)) continue;
      if (!first && link->GetBeginGroup()) {
        const TRect separator{r.Left, r.Top - gap, r.Right, r.Top};
        painter->DrawExtraPaneSeparator(this, dc, true, GetBackgroundBrush(), separator);
        ExcludeClipRect(dc, separator.Left, separator.Top, separator.Right, separator.Bottom);
      }
      first = false;
    }
  }
  DrawBackground(dc, GetClientRect(), GetBackgroundBrush(), clNone);
  RestoreDC(dc, saved);
}

void TdxBarExtraPaneControl::DoClose() {
  orv::TObjectLinkGuard self(this);
  inherited::DoClose();
  if (!self.Alive()) return;
  if (TdxBarApplicationMenuControl* menu = FApplicationMenu) menu->Close();
}

void TdxBarExtraPaneControl::DoKeyDown(Word key, TShiftState shift) {
  if (key == VK_ESCAPE && FApplicationMenu) {
    FApplicationMenu->CloseByEscape();
    return;
  }
  inherited::DoKeyDown(key, shift);
}

void TdxBarExtraPaneControl::DoMouseMove(TShiftState shift, const TPoint& point, TdxBarItemControl* control) {
  orv::TObjectLinkGuard self(this);
  inherited::DoMouseMove(shift, point, control);
  // One selection in the menu and its pane.
  if (self.Alive() && GetSelectedItemControl() && FApplicationMenu) FApplicationMenu->SetSelectedItemControl(nullptr);
}

void TdxBarExtraPaneControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_NCCALCSIZE:
      // No frame: the client area is the whole window.
      message.Result = 0;
      return;
    case WM_NCPAINT:
      message.Result = 0;
      return;
    case WM_NCHITTEST:
      // Never moved or sized: every point is an item or the pane's room.
      message.Result = HTCLIENT;
      return;
    case 0x8065:
      // The pane is repainted with its menu, never on its own request.
      return;
    default:
      break;
  }
  inherited::WndProc(message);
}

// ==== Application menu ========================================================================

TdxBarApplicationMenuControl::TdxBarApplicationMenuControl(TComponent* owner) : TdxBarSubMenuControl(owner) {
  TdxBarManager* manager = GetOwnerBarManager();
  if (manager && !manager->IsCustomizing() && manager->GetBars()) {
    // The pane's links stand on a hidden bar of the manager that never docks or floats.
    TdxBars* bars = manager->GetBars();
    bars->BeginUpdate();
    try {
      FExtraPaneBar = bars->Add();
      FExtraPaneBar->SetAllowQuickCustomizing(false);
      FExtraPaneBar->SetAllowCustomizing(false);
      FExtraPaneBar->SetNotDocking(TdxBarDockingStyles{dsNone});
      FExtraPaneBar->SetHidden(true);
      FExtraPaneBar->GetFont()->Assign(GetFont());
      FExtraPaneBar->SetUseOwnFont(false);
      FExtraPaneBar->GetItemLinks()->SetInternal(true);
    } catch (...) {
      bars->EndUpdate();
      throw;
    }
    bars->EndUpdate();
    FExtraPaneBarLink = CreateObjectLink(FExtraPaneBar);
    FExtraPane = new TdxBarExtraPaneControl(this, FExtraPaneBar);
  }
  FButtonLinks = new TdxBarApplicationMenuButtonItemLinks(manager, this);
  FButtonLinks->SetBarControl(this);
}

void TdxBarApplicationMenuControl::BeforeDestruction() {
  if (TdxBarExtraPaneControl* pane = FExtraPane) {
    FExtraPane = nullptr;
    pane->FApplicationMenu = nullptr;
    pane->Free();
  }
  inherited::BeforeDestruction();
}

TdxBarApplicationMenuControl::~TdxBarApplicationMenuControl() {
  if (TdxBarApplicationMenuButtonItemLinks* links = FButtonLinks) {
    FButtonLinks = nullptr;
    for (Integer i = 0; i < links->GetCount(); ++i) links->GetItem(i)->DestroyControl();
    // The row's links are not the menu's: their going must not take the menu's links along.
    links->SetBarControl(nullptr);
    links->Free();
  }
  if (TdxBar* bar = GetExtraPaneBar()) bar->Free();
  ReleaseObjectLink(FExtraPaneBarLink);
}

IdxBarApplicationMenuOwner* TdxBarApplicationMenuControl::GetApplicationMenuOwner() const {
  return FItemLinks ? dynamic_cast<IdxBarApplicationMenuOwner*>(FItemLinks->GetOwnerComponent()) : nullptr;
}

TdxBar* TdxBarApplicationMenuControl::GetExtraPaneBar() const {
  return FExtraPaneBarLink && FExtraPaneBarLink->Ref ? FExtraPaneBar : nullptr;
}

Boolean TdxBarApplicationMenuControl::IsCustomizing() const {
  TdxBarManager* manager = GetOwnerBarManager();
  return (manager && manager->IsCustomizing()) || !FExtraPane;
}

double TdxBarApplicationMenuControl::GetSizeRatio() {
  TdxBarPainter* painter = GetPainter();
  const Integer base = painter ? painter->GetDefaultItemHeight() : 0;
  return base > 0 && GetTextSize() > 0 ? double(GetTextSize()) / base : 1.0;
}

// ---- Layout

void TdxBarApplicationMenuControl::GetContentOffsets(TRect& rect) {
  inherited::GetContentOffsets(rect);
  TdxBarPainter* painter = GetPainter();
  if (!painter) return;
  TRect extra;
  painter->GetExtraPaneOffsets(extra);
  const double ratio = GetSizeRatio();
  rect.Left += Integer(std::lround(extra.Left * ratio));
  rect.Top += Integer(std::lround(extra.Top * ratio));
  rect.Right += Integer(std::lround(extra.Right * ratio));
  rect.Bottom += Integer(std::lround(extra.Bottom * ratio));
}

TRect TdxBarApplicationMenuControl::GetItemsRect() {
  TRect r = inherited::GetItemsRect();
  TRect content = GetClientRect();
  if (TdxBarPainter* painter = GetPainter()) {
    TRect offsets;
    painter->GetMenuContentOffsets(this, offsets);
    content = TRect{content.Left + offsets.Left, content.Top + offsets.Top, content.Right - offsets.Right,
                    content.Bottom - offsets.Bottom};
  }
  FButtonsRect = TRect{r.Left, r.Bottom + 4, r.Right + 1, content.Bottom - 1};
  if (IsCustomizing()) {
    FExtraPaneRect = TRect();
    return r;
  }
  FExtraPaneRect = TRect{r.Right - FExtraPaneWidth, r.Top, r.Right, r.Bottom};
  r.Right -= FExtraPaneWidth;
  return r;
}

TSize TdxBarApplicationMenuControl::CalcNaturalSize() {
  TSize size = inherited::CalcNaturalSize();
  if (IsCustomizing()) {
    FExtraPaneWidth = 0;
    return size;
  }
  TRect borders, offsets;
  GetBorderSizes(true, borders);
  GetContentOffsets(offsets);
  const Integer itemsWidth = size.cx - borders.Left - borders.Right - offsets.Left - offsets.Right;
  IdxBarApplicationMenuOwner* owner = GetApplicationMenuOwner();
  TdxBarPainter* painter = GetPainter();
  FExtraPaneWidth =
      owner ? std::max(0, CalcApplicationMenuExtraPaneWidth(owner->GetApplicationMenuExtraPaneWidth(),
                                                            owner->GetApplicationMenuExtraPaneWidthRatio(), itemsWidth,
                                                            GetTextSize(), painter ? painter->GetDefaultItemHeight() : 0))
            : 0;
  size.cx += FExtraPaneWidth;
  return size;
}

void TdxBarApplicationMenuControl::ArrangeItemLinks() {
  const TRect items = GetItemsRect();
  (void)items;
  if (FButtonLinks) FButtonLinks->CalcLayout(FButtonsRect);
  inherited::ArrangeItemLinks();
}

Boolean TdxBarApplicationMenuControl::GetExtraPaneScreenRect(TRect& rect) {
  // A pane without room gives a menu opened from here no place of its own.
  if (IsCustomizing() || !HandleAllocated() || FExtraPaneRect.Width() <= 0 || FExtraPaneRect.Height() <= 0)
    return false;
  POINT topLeft{FExtraPaneRect.Left, FExtraPaneRect.Top};
  ::ClientToScreen(GetHandle(), &topLeft);
  rect = TRect{topLeft.X, topLeft.Y, topLeft.X + FExtraPaneRect.Width(), topLeft.Y + FExtraPaneRect.Height()};
  return true;
}

// ---- Item controls of the row

Boolean TdxBarApplicationMenuControl::HasItemControl(TdxBarItemControl* control) const {
  if (inherited::HasItemControl(control)) return true;
  if (!FButtonLinks || !control) return false;
  for (Integer i = 0; i < FButtonLinks->GetCount(); ++i)
    if (FButtonLinks->GetItem(i)->GetControl() == control) return true;
  return false;
}

TdxBarItemControl* TdxBarApplicationMenuControl::GetItemControlAtPos(const TPoint& point) {
  if (FButtonLinks && !InCustomizingMode())
    for (Integer i = 0; i < FButtonLinks->GetCount(); ++i) {
      TdxBarItemLink* link = FButtonLinks->GetItem(i);
      const TRect r = link->GetItemRect();
      if (link->GetControl() && !RectIsEmpty(r) && IsPointInRect(r, point)) return link->GetControl();
    }
  return inherited::GetItemControlAtPos(point);
}

// ---- Keys

namespace {

// The next link after `after` (from the first when nil or not listed), going round, whose
// caption's accelerator is the key; links without a control (not shown now) are passed over.
TdxBarItemLink* FindAcceleratorIn(const std::vector<TdxBarItemLink*>& links, Word key, TdxBarItemLink* after) {
  const size_t count = links.size();
  if (count == 0) return nullptr;
  const UINT mapped = MapVirtualKey(key, 2);
  if (mapped == 0 || mapped > 255) return nullptr;
  const AnsiString keyText = AnsiUpperCase(AnsiString(1, char(mapped)));
  size_t start = 0;
  for (size_t i = 0; i < count; ++i)
    if (links[i] == after) start = i + 1;
  for (size_t n = 0; n < count; ++n) {
    TdxBarItemLink* link = links[(start + n) % count];
    if (!link->GetItem() || !link->GetControl() || TdxBarExtraPaneControl::IsExpandedLink(link)) continue;
    AnsiString caption = link->GetCaption();
    const Integer position = GetAcceleratorPosition(caption, false);
    if (position > 0 && AnsiUpperCase(caption.substr(size_t(position - 1), 1)) == keyText) return link;
  }
  return nullptr;
}

void AppendLinks(std::vector<TdxBarItemLink*>& all, TdxBarItemLinks* links) {
  if (!links) return;
  for (Integer i = 0; i < links->GetCount(); ++i) all.push_back(links->GetItem(i));
}

}  // namespace

TdxBarItemLink* TdxBarApplicationMenuControl::FindLinkByKey(Word key, Boolean& several, TdxBarItemLink* start) {
  several = false;
  std::vector<TdxBarItemLink*> all;
  AppendLinks(all, FItemLinks);
  if (!IsCustomizing()) AppendLinks(all, FExtraPane->GetItemLinks());
  AppendLinks(all, FButtonLinks);
  TdxBarItemLink* link = FindAcceleratorIn(all, key, start);
  if (!link || !link->GetItem()->GetEnabled()) return nullptr;
  TdxBarItemLink* next = FindAcceleratorIn(all, key, link);
  several = next && next != link;
  return link;
}

void TdxBarApplicationMenuControl::SelectAndClick(TdxBarItemControl* control, Boolean selectOnly) {
  if (!control) return;
  TdxBarExtraPaneControl* pane = FExtraPane;
  if (pane && control->GetParent() == pane) {
    SetSelectedItemControl(nullptr);
    pane->SetSelectedItemControl(control);
    if (!selectOnly && pane->HandleAllocated()) SendMessage(pane->GetHandle(), WM_KEYDOWN, VK_RETURN, 0);
    return;
  }
  if (pane) pane->SetSelectedItemControl(nullptr);
  inherited::SelectAndClick(control, selectOnly);
}

void TdxBarApplicationMenuControl::WndProc(TMessage& message) {
  if (message.Msg == WM_KEYDOWN && IsActive()) {
    const Word key = Word(message.WParam);
    // The keys come through the keyboard hook: the modifiers' physical state counts too.
    const Boolean ctrl = GetKeyState(VK_CONTROL) < 0 || GetAsyncKeyState(VK_CONTROL) < 0;
    const Boolean shift = GetKeyState(VK_SHIFT) < 0 || GetAsyncKeyState(VK_SHIFT) < 0;
    if (!ctrl && (key == VK_UP || key == VK_DOWN || key == VK_TAB)) {
      SelectNextInGroups(key == VK_DOWN || (key == VK_TAB && !shift));
      return;
    }
  }
  inherited::WndProc(message);
}

void TdxBarApplicationMenuControl::SelectNextInGroups(Boolean forward) {
  std::vector<TdxBarItemControl*> order(FViewInfos.begin(), FViewInfos.end());
  TdxBarExtraPaneControl* pane = FExtraPane;
  if (pane && pane->HandleAllocated() && pane->GetItemLinks() && pane->GetViewInfoCount() >= 2)
    for (Integer i = 0; i < pane->GetViewInfoCount(); ++i) order.push_back(pane->GetViewInfoControl(i));
  if (FButtonLinks)
    for (Integer i = 0; i < FButtonLinks->GetCount(); ++i) {
      TdxBarItemLink* link = FButtonLinks->GetItem(i);
      if (link->GetControl() && !RectIsEmpty(link->GetItemRect())) order.push_back(link->GetControl());
    }
  if (order.empty()) return;
  TdxBarItemControl* current = GetSelectedItemControl();
  if (!current && pane) current = pane->GetSelectedItemControl();
  const Integer count = Integer(order.size());
  Integer index = -1;
  for (Integer i = 0; i < count; ++i)
    if (order[size_t(i)] == current) index = i;
  // With nothing selected either direction starts at the first item.
  for (Integer step = 0; step < count; ++step) {
    index = index < 0 ? 0 : (index + (forward ? 1 : count - 1)) % count;
    TdxBarItemControl* control = order[size_t(index)];
    if (control->AcceptsSelection() && control->IsEnabled()) {
      SelectAndClick(control, true);
      if (control->GetParent() == this) MakeItemVisible(control);
      return;
    }
  }
}

void TdxBarApplicationMenuControl::DoKeyDown(Word key, TShiftState shift) {
  // Enter on an entry of the pane runs it there.
  TdxBarExtraPaneControl* pane = FExtraPane;
  if (key == VK_RETURN && !GetSelectedItemControl() && pane && pane->GetSelectedItemControl() &&
      pane->HandleAllocated()) {
    SendMessage(pane->GetHandle(), WM_KEYDOWN, VK_RETURN, 0);
    return;
  }
  inherited::DoKeyDown(key, shift);
}

void TdxBarApplicationMenuControl::DoMouseMove(TShiftState shift, const TPoint& point, TdxBarItemControl* control) {
  orv::TObjectLinkGuard self(this);
  inherited::DoMouseMove(shift, point, control);
  if (self.Alive() && GetSelectedItemControl() && FExtraPane) FExtraPane->SetSelectedItemControl(nullptr);
}

// ---- Showing

void TdxBarApplicationMenuControl::FillButtonLinks() {
  if (!FButtonLinks) return;
  for (Integer i = FButtonLinks->GetCount() - 1; i >= 0; --i) FButtonLinks->GetItem(i)->Free();
  IdxBarApplicationMenuOwner* owner = GetApplicationMenuOwner();
  if (TdxBarApplicationMenuButtons* buttons = owner ? owner->GetApplicationMenuButtons() : nullptr)
    buttons->PopulateLinks(FButtonLinks);
}

void TdxBarApplicationMenuControl::FillExtraPane() {
  TdxBarExtraPaneControl* pane = FExtraPane;
  TdxBarItemLinks* links = pane ? pane->GetItemLinks() : nullptr;
  if (!links) return;
  pane->CollapseContainerItems();
  for (Integer i = links->GetCount() - 1; i >= 0; --i) links->GetItem(i)->Free();
  IdxBarApplicationMenuOwner* owner = GetApplicationMenuOwner();
  TdxBarExtraPaneListItem* item = owner ? owner->GetExtraPaneListItem() : nullptr;
  if (!item) return;
  // The list is rebuilt for this pane alone: as a change of the item it would make every bar
  // window rebuild its controls, the application button's among them, which closes this menu.
  auto* strings = static_cast<TStringList*>(item->GetItems());
  const TNotifyEvent onChange = strings->GetOnChange();
  strings->SetOnChange(TNotifyEvent());
  try {
    strings->Clear();
    for (Integer i = 0; i < owner->GetExtraPaneItemCount(); ++i) {
      orv::TBarExtraPaneEntry* entry = owner->GetExtraPaneItem(i);
      strings->AddObject(entry ? entry->DisplayName : AnsiString(), entry);
    }
  } catch (...) {
    strings->SetOnChange(onChange);
    throw;
  }
  strings->SetOnChange(onChange);
  // The entries are made from the new list.
  item->MarkForClear();
  links->AddItem(item);
  pane->ExpandContainerItems();
}

void TdxBarApplicationMenuControl::ShowExtraPane() {
  TdxBarExtraPaneControl* pane = FExtraPane;
  if (!pane || !HandleAllocated()) return;
  if (pane->GetParent() != this) pane->SetParent(this);
  pane->GetFont()->Assign(GetFont());
  pane->SetBounds(FExtraPaneRect.Left, FExtraPaneRect.Top, FExtraPaneRect.Width(), FExtraPaneRect.Height());
  pane->HandleNeeded();
  SetWindowPos(pane->GetHandle(), nullptr, FExtraPaneRect.Left, FExtraPaneRect.Top, FExtraPaneRect.Width(),
               FExtraPaneRect.Height(), SWP_NOACTIVATE | SWP_NOZORDER | SWP_SHOWWINDOW);
  pane->SetVisible(true);
  pane->Refresh(true);
}

void TdxBarApplicationMenuControl::ShowAnimated() {
  orv::TObjectLinkGuard self(this);
  if (!IsCustomizing()) {
    FillButtonLinks();
    FillExtraPane();
  }
  HandleNeeded();
  if (!self.Alive()) return;
  UpdateLayout();
  if (!IsCustomizing()) ShowExtraPane();
  if (!self.Alive()) return;
  inherited::ShowAnimated();
}

// ---- Painting

void TdxBarApplicationMenuControl::DrawFrame(HDC dc, const TRect& rect) {
  if (TdxBarPainter* painter = GetPainter()) painter->DrawApplicationMenuFrame(this, dc, rect);
}

void TdxBarApplicationMenuControl::PaintMenu() {
  inherited::PaintMenu();
  if (!FButtonLinks) return;
  HDC dc = GetBarControlCanvas()->GetHandle();
  for (Integer i = 0; i < FButtonLinks->GetCount(); ++i) {
    TdxBarItemLink* link = FButtonLinks->GetItem(i);
    const TRect r = link->GetItemRect();
    if (!link->GetControl() || RectIsEmpty(r)) continue;
    DrawItemControl(link->GetControl());
    ExcludeClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
  }
}

void TdxBarApplicationMenuControl::Paint() {
  inherited::Paint();
  TdxBarPainter* painter = GetPainter();
  if (!painter || IsAnimating() || IsDestroying()) return;
  // What the items, the extra pane and the band leave free of the content.
  TRect offsets;
  painter->GetMenuContentOffsets(this, offsets);
  const TRect client = GetClientRect();
  const TRect content{client.Left + offsets.Left, client.Top + offsets.Top, client.Right - offsets.Right,
                      client.Bottom - offsets.Bottom};
  TRect used = GetItemsRect();
  if (!RectIsEmpty(FExtraPaneRect)) used.Right = std::max(used.Right, FExtraPaneRect.Right);
  // The expand button below the items is theirs too.
  if (IsMarkVisible()) used.Bottom = std::max(used.Bottom, GetMarkRect().Bottom);
  used.Left -= GetBandSize();
  TcxCanvas* canvas = GetBarControlCanvas();
  HDC dc = canvas->GetHandle();
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, content.Left, content.Top, content.Right, content.Bottom);
  // The buttons paint themselves.
  if (FButtonLinks)
    for (Integer i = 0; i < FButtonLinks->GetCount(); ++i) {
      const TRect r = FButtonLinks->GetItem(i)->GetItemRect();
      if (FButtonLinks->GetItem(i)->GetControl() && !RectIsEmpty(r)) ExcludeClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
    }
  painter->DrawApplicationMenuBackground(this, canvas, used, content);
  RestoreDC(dc, saved);
}
