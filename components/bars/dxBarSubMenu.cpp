// The dxBar unit, continued: menus. The sub item control that opens a submenu, the submenu
// window (placement inside the work area, scrolling, rarely used items behind an expand button,
// the show animations), its shadow, the base painter's drawing of menus, and the keyboard entry
// into the main menu by Alt or F10.

#include <algorithm>
#include <cstdlib>
#include <map>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarDrawing.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/dxOffice11.h"
#include "platform/controls/Forms.h"
#include "platform/drawing/Gdi.h"
#include "platform/runtime/Math.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/User.h"

namespace {

Boolean MenuRectIsEmpty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }
Boolean MenuPointInRect(const TRect& r, const TPoint& p) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

Boolean gShowFullMenus = false;

constexpr UINT kHoverDelay = 400;
constexpr UINT kFadeTime = 150;
constexpr UINT_PTR kScrollTimerID = 1;
constexpr UINT kExpandDelay = 4000;

// ---- Hover timers: one pending open and one pending close for all button-like controls.

struct THoverSlot {
  TdxBarButtonLikeControl* Control = nullptr;
  UINT_PTR Timer = 0;
};
THoverSlot gOpenSlot, gCloseSlot;

void KillSlot(THoverSlot& slot) {
  if (slot.Timer) KillTimer(nullptr, slot.Timer);
  slot = THoverSlot();
}

void KillSlotsOf(TdxBarButtonLikeControl* control) {
  if (gOpenSlot.Control == control) KillSlot(gOpenSlot);
  if (gCloseSlot.Control == control) KillSlot(gCloseSlot);
}

void HoverTimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  if (id == gOpenSlot.Timer && gOpenSlot.Control) {
    TdxBarButtonLikeControl* control = gOpenSlot.Control;
    KillSlot(gOpenSlot);
    control->ControlActivate(true, true);
  } else if (id == gCloseSlot.Timer && gCloseSlot.Control) {
    TdxBarButtonLikeControl* control = gCloseSlot.Control;
    KillSlot(gCloseSlot);
    control->ControlInactivate(true);
  } else {
    KillTimer(nullptr, id);
  }
}

void ScheduleOpen(TdxBarButtonLikeControl* control) {
  if (gCloseSlot.Control == control) KillSlot(gCloseSlot);
  KillSlot(gOpenSlot);
  gOpenSlot.Control = control;
  gOpenSlot.Timer = SetTimer(nullptr, 0, kHoverDelay, HoverTimerProc);
}

void ScheduleClose(TdxBarButtonLikeControl* control) {
  if (gOpenSlot.Control == control) KillSlot(gOpenSlot);
  if (!control->IsDroppedDown()) return;
  KillSlot(gCloseSlot);
  gCloseSlot.Control = control;
  gCloseSlot.Timer = SetTimer(nullptr, 0, kHoverDelay, HoverTimerProc);
}

void CloseNowPending() {
  if (TdxBarButtonLikeControl* control = gCloseSlot.Control) {
    KillSlot(gCloseSlot);
    control->ControlInactivate(true);
  }
}

TdxBarManager* ManagerOfControl(TCustomdxBarControl* window) { return window ? window->GetOwnerBarManager() : nullptr; }

// The root of a chain of bar windows.
TCustomdxBarControl* RootOf(TCustomdxBarControl* window) {
  while (window && window->GetParentBarControl()) window = window->GetParentBarControl();
  return window;
}

// Per-pixel gradients need layered windows and more than 256 colours.
Boolean LayeredShadowsAvailable() {
  static const Boolean available = [] {
    HMODULE user = GetModuleHandle("user32");
    if (!user || !GetProcAddress(user, "UpdateLayeredWindow")) return false;
    HDC screen = GetDC(nullptr);
    const int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    return bits > 8;
  }();
  return available;
}

}  // namespace

// ==== Hover timers of button-like controls ====================================================

void TdxBarButtonLikeControl::ScheduleHoverOpen(TdxBarButtonLikeControl* control) { ScheduleOpen(control); }
void TdxBarButtonLikeControl::ScheduleHoverClose(TdxBarButtonLikeControl* control) { ScheduleClose(control); }
void TdxBarButtonLikeControl::CloseHoverPendingNow() { CloseNowPending(); }
void TdxBarButtonLikeControl::KillHoverTimersOf(TdxBarButtonLikeControl* control) { KillSlotsOf(control); }

// ==== Sub item control ========================================================================

void TdxBarSubItemControl::BeforeDestruction() {
  KillSlotsOf(this);
  if (TdxBarSubMenuControl* menu = GetSubMenuControl(); menu && menu->GetSubItemControl() == this) {
    menu->SetSubItemControl(nullptr);
    menu->HideControl();
  }
  inherited::BeforeDestruction();
}

TdxBarSubMenuControl* TdxBarSubItemControl::GetSubMenuControl() const {
  TdxBarItem* item = GetItem();
  TdxBarItemLinks* links = item ? item->GetItemLinks() : nullptr;
  return links ? dynamic_cast<TdxBarSubMenuControl*>(links->GetBarControl()) : nullptr;
}

Boolean TdxBarSubItemControl::IsDroppedDown() {
  TdxBarSubMenuControl* menu = GetSubMenuControl();
  return menu && IsActive() && menu->GetSubItemControl() == this;
}

Boolean TdxBarSubItemControl::IsExpandKey(Word key) {
  if (key == VK_RETURN) return true;
  TCustomdxBarControl* parent = GetParent();
  if (parent && parent->GetKind() == 2) return key == VK_RIGHT;
  if (parent && parent->IsVertical()) return key == VK_RIGHT;
  return key == VK_UP || key == VK_DOWN;
}

Boolean TdxBarSubItemControl::IsCaptionSelected() { return inherited::IsCaptionSelected(); }

Boolean TdxBarSubItemControl::CanDropDown() { return IsEnabled(); }

void TdxBarSubItemControl::CalcDrawParams(Boolean full) {
  inherited::CalcDrawParams(full);
  TdxBarButtonLikeControlDrawParams* p = GetButtonDrawParams();
  if (!p || !full) return;
  const Boolean open = IsDroppedDown();
  p->Sunken = open;
  p->MenuOpen = open;
  p->FlatMenuOpen = open && GetPainter() && GetPainter()->IsFlatStyle();
  p->InMainMenu = IsInMainMenu();
}

void TdxBarSubItemControl::ControlActivate(Boolean immediate, Boolean byMouse) {
  if (!AllowsActivation()) return;
  if (IsDroppedDown()) {
    KillSlotsOf(this);
    return;
  }
  inherited::ControlActivate(immediate, byMouse);
  if (!CanDropDown()) return;
  TCustomdxBarControl* parent = GetParent();
  const Boolean customizing = parent && parent->InCustomizingMode();
  Boolean now = immediate || customizing;
  if (parent && parent->GetKind() != 2) {
    // On a toolbar a menu opens at once, and only while the bar's menus are open.
    if (!parent->GetPressedDownMode() && !customizing) return;
    now = true;
  }
  if (now) {
    orv::TObjectLinkGuard self(this);
    CloseNowPending();
    if (self.Alive()) OpenDropDown(byMouse);
  } else {
    ScheduleOpen(this);
  }
}

void TdxBarSubItemControl::ControlInactivate(Boolean immediate) {
  if (!AllowsActivation()) return;
  TCustomdxBarControl* parent = GetParent();
  if (!parent || parent->GetKind() != 2 || immediate || parent->IsDestroying() || parent->InCustomizingMode() ||
      !IsDroppedDown()) {
    const Boolean hide = GetSubMenuControl() != nullptr;
    inherited::ControlInactivate(immediate);
    CloseDropDown(hide);
  } else {
    ScheduleClose(this);
  }
}

void TdxBarSubItemControl::ControlClick(Boolean byMouse) {
  TCustomdxBarControl* parent = GetParent();
  TdxBarManager* manager = GetBarManager();
  orv::TObjectLinkGuard self(this);
  if (IsDroppedDown()) {
    if ((parent && parent->InCustomizingMode()) || (manager && manager->GetStyle() == bmsStandard))
      ControlInactivate(true);
  } else {
    // A click on a toolbar puts its menus into the open state: hovering another sub item of
    // the bar opens that one at once.
    if (parent && parent->GetKind() != 2) parent->SetPressedDownMode(true);
    ControlActivate(true, byMouse);
  }
  if (!self.Alive() || byMouse) return;
  TdxBarSubMenuControl* menu = GetSubMenuControl();
  if (menu && menu->GetSubItemControl() == this && menu->SelectsFirstItem() && menu->HandleAllocated()) {
    for (Integer i = 0; i < menu->GetViewInfoCount(); ++i) {
      TdxBarItemControl* control = menu->GetViewInfoControl(i);
      if (control->AcceptsSelection() && control->IsEnabled()) {
        menu->SetSelectedItemControl(control);
        break;
      }
    }
  }
}

void TdxBarSubItemControl::DropDown(Boolean byMouse) {
  if (TCustomdxBarControl* parent = GetParent()) parent->SetPressedDownMode(true);
  orv::TObjectLinkGuard self(this);
  if (!IsDroppedDown()) ControlActivate(true, byMouse);
  if (self.Alive()) ControlClick(byMouse);
}

void TdxBarSubItemControl::KeyDown(Word& key, TShiftState shift) {
  if (IsExpandKey(key)) {
    DropDown(false);
    key = 0;
  }
}

void TdxBarSubItemControl::CreateSubMenu() {
  TdxBarItem* item = GetItem();
  TdxBarItemLinks* links = item ? item->GetItemLinks() : nullptr;
  if (!links || links->GetBarControl()) return;
  auto* menu = new TdxBarSubMenuControl(GetBarManager());
  menu->SetItemLinks(links);
}

// ==== Container item control ==================================================================

namespace {

// The menu of a container item: the item fills its links when it opens; closing removes the
// generated links and marks the item so that it builds its list afresh next time.
class TContainerItemSubMenuControl : public TdxBarSubMenuControl {
  ORV_CLASS(TContainerItemSubMenuControl, TdxBarSubMenuControl)
 public:
  TContainerItemSubMenuControl(TComponent* owner, TCustomdxBarContainerItem* item)
      : TdxBarSubMenuControl(owner), FItemLink(CreateObjectLink(item)) {}
  ~TContainerItemSubMenuControl() override {
    if (TCustomdxBarContainerItem* item = GetContainerItem()) item->MarkForClear();
    ReleaseObjectLink(FItemLink);
  }
  void BeforeDestruction() override {
    inherited::BeforeDestruction();
    TCustomdxBarContainerItem* item = GetContainerItem();
    if (item && item->GetItemLinks()) item->DeleteListItems(item->GetItemLinks(), 0);
  }
  TCustomdxBarContainerItem* GetContainerItem() const {
    return FItemLink && FItemLink->Ref ? static_cast<TCustomdxBarContainerItem*>(FItemLink->Ref) : nullptr;
  }

 private:
  TcxObjectLink* FItemLink;
};

}  // namespace

void TdxBarContainerItemControl::CreateSubMenu() {
  auto* item = dynamic_cast<TCustomdxBarContainerItem*>(GetItem());
  TdxBarManager* manager = GetBarManager();
  TdxBarItemLinks* links = item ? item->GetItemLinks() : nullptr;
  // While customizing the item behaves as an empty sub item.
  if (!links || links->GetBarControl() || !manager || manager->IsCustomizing()) return;
  auto* menu = new TContainerItemSubMenuControl(manager, item);
  menu->SetItemLinks(links);
  item->AddListItems(links, 0, GetItemLink(), true);
}

void TdxBarSubItemControl::ShowSubMenu() {
  CreateSubMenu();
  if (TdxBarSubMenuControl* menu = GetSubMenuControl()) menu->SetSubItemControl(this);
}

void TdxBarSubItemControl::GetSubMenuPosition(TPoint& point, Integer& ownerWidth, Integer& ownerHeight) {
  const TRect r = GetItemRect();
  TCustomdxBarControl* parent = GetParent();
  ownerWidth = ownerHeight = 0;
  if (parent && parent->GetKind() == 2) {
    point = TPoint{r.Right, r.Top - parent->GetBorderOffset()};
    ownerWidth = r.Width();
  } else if (parent && parent->IsVertical()) {
    point = TPoint{r.Right, r.Top};
    ownerWidth = r.Width();
  } else {
    point = TPoint{r.Left, r.Bottom};
    ownerHeight = r.Height();
  }
  if (parent && parent->HandleAllocated()) {
    POINT p{point.X, point.Y};
    ::ClientToScreen(parent->GetHandle(), &p);
    point = TPoint{p.X, p.Y};
  }
}

void TdxBarSubItemControl::OpenDropDown(Boolean byMouse) {
  auto* item = dynamic_cast<TCustomdxBarSubItem*>(GetItem());
  TCustomdxBarControl* parent = GetParent();
  if (!item || !parent || !parent->HandleAllocated()) return;
  orv::TObjectLinkGuard self(this);
  orv::TObjectLinkGuard parentAlive(parent);
  item->DoPopup();
  if (!self.Alive()) return;
  ShowSubMenu();
  TdxBarSubMenuControl* menu = GetSubMenuControl();
  if (!menu || menu->HandleAllocated()) return;
  TPoint point;
  Integer ownerWidth = 0, ownerHeight = 0;
  GetSubMenuPosition(point, ownerWidth, ownerHeight);
  menu->SetOwnerWidth(ownerWidth);
  menu->SetOwnerHeight(ownerHeight);
  // Only where the look joins a menu to its opener does the menu keep clear of the item and
  // share its frame and shadow with it; a menu opened from inside a menu never does.
  if (NeedDropDownExcludeRect()) menu->SetOwnerBounds(parent->GetItemControlScreenRect(this));
  menu->SetBounds(point.X, point.Y, menu->GetWidth(), menu->GetHeight());
  parent->SetChildBarControl(menu);
  if (parent->GetKind() != 2) Invalidate();
  menu->SetShowAnimation(GetShowAnimation() && byMouse);
  SetShowAnimation(false);
  orv::TObjectLinkGuard menuAlive(menu);
  try {
    menu->PopupSubMenuControl();
  } catch (...) {
    if (menuAlive.Alive()) menu->HideControl();
    throw;
  }
  if (self.Alive()) Invalidate();
}

void TdxBarSubItemControl::CloseDropDown(Boolean hide) {
  KillSlotsOf(this);
  TdxBarSubMenuControl* menu = GetSubMenuControl();
  orv::TObjectLinkGuard self(this);
  if (hide && menu && menu->GetSubItemControl() == this) {
    menu->SetSubItemControl(nullptr);
    menu->HideControl();
  }
  if (!self.Alive()) return;
  Invalidate();
  if (hide)
    if (auto* item = dynamic_cast<TCustomdxBarSubItem*>(GetItem())) item->DoCloseUp();
}

void TdxBarSubItemControl::Draw(const TRect& rect, Integer hostKind) { inherited::Draw(rect, hostKind); }

// ==== Submenu window ==========================================================================

TdxBarSubMenuControl::TdxBarSubMenuControl(TComponent* owner) : TCustomdxBarControl(owner) {
  FShadow = new TdxBarShadow(this);
}

TdxBarSubMenuControl::~TdxBarSubMenuControl() { orv::Free(FShadow); }

void TdxBarSubMenuControl::BeforeDestruction() {
  StopAnimation();
  StopScrolling();
  StopExpandTimer();
  if (FShadow) FShadow->SetShown(false);
  const Boolean wasShown = HandleAllocated();
  inherited::BeforeDestruction();
  if (wasShown && FOnCloseUp) FOnCloseUp(this);
}

Boolean TdxBarSubMenuControl::GetShowFullMenus() { return gShowFullMenus; }
void TdxBarSubMenuControl::SetShowFullMenus(Boolean value) { gShowFullMenus = value; }

void TdxBarSubMenuControl::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.Style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  params.ExStyle = WS_EX_TOPMOST;
  params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_SAVEBITS;
  if (FParentWindow) {
    params.WndParent = FParentWindow;
  } else {
    TdxBarManager* manager = GetOwnerBarManager();
    TWinControl* form = manager ? manager->GetOwnerControl() : nullptr;
    params.WndParent = form && form->HandleAllocated() ? form->GetHandle() : nullptr;
  }
}

Integer TdxBarSubMenuControl::ShownLinkCount() const { return FItemLinks ? FItemLinks->GetVisibleItemCount() : 0; }
TdxBarItemLink* TdxBarSubMenuControl::ShownLink(Integer index) const { return FItemLinks->GetVisibleItem(index); }
Integer TdxBarSubMenuControl::IndexOfShownLink(TdxBarItemLink* link) const {
  for (Integer i = 0; i < ShownLinkCount(); ++i)
    if (ShownLink(i) == link) return i;
  return -1;
}

void TdxBarSubMenuControl::CreateWnd() {
  // The light background of rarely used items: the face colour lightened by 20.
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  FLightBrush = CreateSolidBrush(RGB(std::min(255, GetRValue(face) + 20), std::min(255, GetGValue(face) + 20),
                                     std::min(255, GetBValue(face) + 20)));
  inherited::CreateWnd();
  FOnShowPos = TPoint{GetLeft(), GetTop()};
  SetActiveState(true);
  if (FItemLinks) {
    TdxBarManager* manager = GetOwnerBarManager();
    if (!manager || !manager->UseRecentItems() || gShowFullMenus)
      FItemLinks->SetRecentItemCount(-1);
    else
      FItemLinks->SetRecentItemCount(FItemLinks->CalcRecentItemCount());
    // The lists of shown links follow the count.
    RecreateItemControls();
  }
  FTopIndex = -1;
  SetTopIndex(0);
  Boolean flippedH = false, flippedV = false;
  CalcPosition(TSize{0, 0}, flippedH, flippedV);
  FFlippedHorizontally = flippedH;
  FFlippedVertically = flippedV;
  if (FShowAnimation && (FAnimation == maUnfold || FAnimation == maSlide)) {
    FAnimationThread = new TdxBarAnimationThread(this, FAnimation, flippedH, flippedV);
    FAnimationThread->Start();
  }
  PlayMenuSound(msPopup);
}

void TdxBarSubMenuControl::DestroyWnd() {
  StopAnimation();
  StopScrolling();
  StopExpandTimer();
  if (FChildBarControl && FChildBarControl->HandleAllocated()) FChildBarControl->HideControl();
  if (FActive && !FExpanding) SetActiveState(false);
  if (FShadow) FShadow->SetShown(false);
  inherited::DestroyWnd();
  if (FLightBrush) {
    DeleteObject(FLightBrush);
    FLightBrush = nullptr;
  }
}

TdxBarMenuAnimations TdxBarSubMenuControl::ChooseAnimation() {
  TCustomdxBarControl* root = RootOf(this);
  TdxBarManager* manager = root && root->GetKind() == 0 ? ManagerOfControl(root) : GetOwnerBarManager();
  TdxBarMenuAnimations kind = manager ? manager->GetMenuAnimations() : maNone;
  if (kind == maRandom) {
    const int r = std::rand() % 100;
    kind = r < 33 ? maUnfold : r < 66 ? maSlide : maFade;
  }
  return kind;
}

void TdxBarSubMenuControl::PopupSubMenuControl() {
  FClosedByEscape = false;
  orv::TObjectLinkGuard self(this);
  if (FOnPopup) FOnPopup(this);
  if (!self.Alive()) return;
  FAnimation = ChooseAnimation();
  TdxBarManager* manager = GetOwnerBarManager();
  FShowAnimation = FShowAnimation && FAnimation != maNone && FAnimation != maFade && FItemLinks &&
                   FItemLinks->GetCanVisibleItemCount() > 0 && !(manager && manager->IsCustomizing());
  ShowAnimated();
}

void TdxBarSubMenuControl::ShowAnimated() {
  orv::TObjectLinkGuard self(this);
  if (FAnimation == maFade) {
    HandleNeeded();
    if (!self.Alive()) return;
    FlushPaintMessages();
    if (self.Alive() && HandleAllocated()) AnimateWindow(GetHandle(), kFadeTime, AW_BLEND);
  } else {
    HandleNeeded();
    if (!self.Alive()) return;
    SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | (FShowAnimation ? 0 : SWP_SHOWWINDOW));
    FlushPaintMessages();
  }
  if (self.Alive()) UpdateShadow();
}

void TdxBarSubMenuControl::HideControl() {
  if (IsDestroying() || (FState & 0x100)) return;
  FState |= 0x100;
  if (HandleAllocated()) ShowWindow(GetHandle(), SW_HIDE);
  if (FShadow) FShadow->SetShown(false);
  Free();
}

void TdxBarSubMenuControl::DoClose() {
  if (FParentBarControl) {
    inherited::DoClose();
    return;
  }
  orv::TObjectLinkGuard self(this);
  SetActiveState(false);
  if (!self.Alive()) return;
  SetChildBarControl(nullptr);
  HideControl();
  FlushPaintMessages();
}

void TdxBarSubMenuControl::SetActive(Boolean value) {
  inherited::SetActive(value);
  TdxBarManager* manager = GetOwnerBarManager();
  // The shown links are counted only after activation: the expansion checks the button itself.
  if (value && manager && manager->UseRecentItems() && !gShowFullMenus && manager->GetShowFullMenusAfterDelay())
    StartExpandTimer(3, kExpandDelay);
  if (!value) {
    // The chain has ended: the next menus hide their rarely used items again.
    if (!FParentBarControl || !FParentBarControl->IsActive()) gShowFullMenus = false;
  }
}

void TdxBarSubMenuControl::RestoreFocus() {
  if (FFocusWindow && IsWindow(FFocusWindow))
    ::SetFocus(FFocusWindow);
  else
    inherited::RestoreFocus();
}

void TdxBarSubMenuControl::UpdateFont() {
  if (FParentBarControl) {
    GetFont()->Assign(FParentBarControl->GetFont());
    return;
  }
  TdxBarManager* manager = GetOwnerBarManager();
  TComponent* owner = FItemLinks ? FItemLinks->GetOwnerComponent() : nullptr;
  if (auto* popup = dynamic_cast<TdxBarCustomPopupMenu*>(owner); popup && popup->GetUseOwnFont())
    GetFont()->Assign(popup->GetFont());
  else if (manager)
    GetFont()->Assign(manager->GetFont());
}

Integer TdxBarSubMenuControl::GetTextHeight() {
  TdxBarPainter* painter = GetPainter();
  return painter ? painter->CalcMenuTextHeight(this, GetBarControlCanvas()) : 0;
}

void TdxBarSubMenuControl::CalcMetrics() {
  inherited::CalcMetrics();
  if (TdxBarPainter* painter = GetPainter())
    painter->CalcMenuMetrics(GetBarControlCanvas(), GetTextSize(), FMarkSize, FMenuArrowWidth);
}

Integer TdxBarSubMenuControl::GetBeginGroupSize() {
  TdxBarPainter* painter = GetPainter();
  return painter ? painter->GetMenuSeparatorSize() : 0;
}

Integer TdxBarSubMenuControl::GetBorderOffset() {
  TdxBarPainter* painter = GetPainter();
  return painter ? painter->GetMenuBorderOffset(this) : 0;
}

Integer TdxBarSubMenuControl::GetItemTextSize(TdxBarItemControl* control) {
  const Integer size = inherited::GetItemTextSize(control);
  if (!FItemLinks || FItemLinks->GetItemSize() != misLarge) return size;
  return FItemLinks->GetShowDescriptions() ? (size * 5 + 1) / 2 : 2 * size;
}

HBRUSH TdxBarSubMenuControl::GetBackgroundBrush() {
  TdxBarPainter* painter = GetPainter();
  return painter ? painter->GetMenuBrush(this) : GetSysColorBrush(COLOR_BTNFACE);
}

void TdxBarSubMenuControl::DrawBackground(HDC dc, const TRect& rect, HBRUSH brush, TColor color) {
  TdxBarPainter* painter = GetPainter();
  if (!painter) {
    inherited::DrawBackground(dc, rect, brush, color);
    return;
  }
  TcxCanvas canvas(dc);
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
  painter->DrawMenuBand(this, &canvas, color, brush, rect);
  RestoreDC(dc, saved);
}

Integer TdxBarSubMenuControl::GetBandSize() {
  TComponent* owner = FItemLinks ? FItemLinks->GetOwnerComponent() : nullptr;
  if (auto* subItem = dynamic_cast<TCustomdxBarSubItem*>(owner)) return subItem->GetBarSize();
  if (auto* popup = dynamic_cast<TdxBarCustomPopupMenu*>(owner)) return popup->GetBarSize();
  return 0;
}

Integer TdxBarSubMenuControl::GetIconAreaSize() {
  TdxBarPainter* painter = GetPainter();
  return painter ? painter->GetIconAreaSize(this) : GetTextSize();
}

void TdxBarSubMenuControl::GetBorderSizes(Boolean withCaption, TRect& rect) {
  TdxBarPainter* painter = GetPainter();
  const Integer width = painter ? painter->GetMenuBorderWidth() : 1;
  rect = TRect{width, width, width, width};
  if (withCaption && painter && IsDetachCaptionVisible()) rect.Top += painter->GetDetachCaptionHeight(this);
}

// ---- Detach caption

Boolean TdxBarSubMenuControl::IsDetachCaptionVisible() {
  if (!(GetBehaviorFlags() & 0x1) || !FSubItemControl) return false;
  auto* item = dynamic_cast<TCustomdxBarSubItem*>(FSubItemControl->GetItem());
  return item && item->GetDetachable();
}

TRect TdxBarSubMenuControl::GetDetachCaptionRect() {
  if (!HandleAllocated() || !IsDetachCaptionVisible()) return TRect();
  RECT window{};
  GetWindowRect(GetHandle(), &window);
  POINT origin{0, 0};
  ::ClientToScreen(GetHandle(), &origin);
  TRect r{window.Left - origin.X, window.Top - origin.Y, window.Right - origin.X, window.Bottom - origin.Y};
  if (TdxBarPainter* painter = GetPainter()) painter->DeflateDetachCaptionRect(this, r);
  // Half the height of "Qq", made odd.
  Integer height = GetBarControlCanvas()->TextHeight("Qq") / 2;
  if (height % 2 == 0) ++height;
  r.Bottom = r.Top + height;
  return r;
}

void TdxBarSubMenuControl::SetDetachCaptionSelected(Boolean value) {
  if (FDetachCaptionSelected == value || InCustomizingMode() || GetCapture()) return;
  FDetachCaptionSelected = value;
  if (!HandleAllocated()) return;
  HDC dc = GetWindowDC(GetHandle());
  DrawNonClient(dc);
  ReleaseDC(GetHandle(), dc);
  ::SetCursor(LoadCursor(nullptr, value ? IDC_SIZEALL : IDC_ARROW));
}

void TdxBarSubMenuControl::DetachLoop() {
  TdxBarSubItemControl* opener = FSubItemControl;
  auto* item = opener ? dynamic_cast<TCustomdxBarSubItem*>(opener->GetItem()) : nullptr;
  TCustomdxBarControl* parent = FParentBarControl;
  if (!item || !parent || !parent->HandleAllocated()) return;
  orv::TObjectLinkGuard itemAlive(item);
  item->DoDetaching();
  if (!itemAlive.Alive()) return;
  TdxBar* bar = item->GetDetachingBarObject();
  if (!bar || bar->GetControl() == parent) return;
  // The caption grown by 15 pixels on every side, on the screen: leaving it detaches.
  TRect zone = GetDetachCaptionRect();
  POINT corner{zone.Left, zone.Top};
  ::ClientToScreen(GetHandle(), &corner);
  zone = TRect{corner.X - 15, corner.Y - 15, corner.X + zone.Width() + 15, corner.Y + zone.Height() + 15};
  orv::TObjectLinkGuard barAlive(bar);
  orv::TObjectLinkGuard parentAlive(parent);
  orv::TObjectLinkGuard openerAlive(opener);
  const HWND capture = parent->GetHandle();
  SetCapture(capture);
  Boolean shown = false, released = false, reopen = false;
  TPoint last{-100000, -100000};
  auto captionHalf = [&] {
    TdxBarControl* window = dynamic_cast<TdxBarControl*>(bar->GetControl());
    if (!window || !window->HandleAllocated()) return 0;
    RECT w{};
    GetWindowRect(window->GetHandle(), &w);
    POINT o{0, 0};
    ::ClientToScreen(window->GetHandle(), &o);
    return Integer(o.Y - w.Top) / 2;
  };
  MSG msg{};
  while (GetCapture() == capture && barAlive.Alive()) {
    const BOOL got = GetMessage(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (!got) {
      PostQuitMessage(Integer(msg.wParam));
      break;
    }
    if (msg.message == WM_MOUSEMOVE) {
      POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
      if (msg.hwnd) ::ClientToScreen(msg.hwnd, &p);
      if (p.X == last.X && p.Y == last.Y) continue;
      last = TPoint{p.X, p.Y};
      const Boolean inside = p.X >= zone.Left && p.X < zone.Right && p.Y >= zone.Top && p.Y < zone.Bottom;
      if (!shown) {
        if (inside) continue;
        // Out of the caption: the menu goes and the bar floats at the pointer.
        shown = true;
        if (openerAlive.Alive()) opener->ControlInactivate(true);
        if (!barAlive.Alive()) break;
        if (bar->GetDockingStyle() != dsNone) {
          bar->SetVisible(false);
          bar->SetDockingStyle(dsNone);
        }
        if (!bar->GetVisible()) {
          bar->SetFloatLeft(p.X - 100);
          bar->SetFloatTop(p.Y);
          bar->SetVisible(true);
          bar->SetFloatTop(p.Y - captionHalf());
        }
        if (!parentAlive.Alive() || !parent->HandleAllocated()) break;
        if (GetCapture() != capture) SetCapture(capture);
        continue;
      }
      if (inside) {
        // Back over the caption: the bar hides and the menu opens again.
        bar->SetVisible(false);
        reopen = true;
        break;
      }
      if (TCustomdxBarControl* window = bar->GetControl(); window && window->HandleAllocated()) {
        RECT w{};
        GetWindowRect(window->GetHandle(), &w);
        SetWindowPos(window->GetHandle(), nullptr, p.X - (w.Right - w.Left) / 2, p.Y - captionHalf(), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      continue;
    }
    if (msg.message == WM_LBUTTONUP) {
      released = true;
      break;
    }
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
      if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
        reopen = true;
        break;
      }
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  if (GetCapture() == capture) ReleaseCapture();
  if (!barAlive.Alive()) return;
  if (shown && !released && !reopen) bar->SetVisible(false);
  if (released && shown) {
    if (auto* window = dynamic_cast<TdxBarControl*>(bar->GetControl())) window->StorePosition();
  }
  if (reopen && openerAlive.Alive() && !opener->IsDroppedDown()) opener->DropDown(false);
}

void TdxBarSubMenuControl::GetContentOffsets(TRect& rect) {
  rect = TRect();
  if (TdxBarPainter* painter = GetPainter()) painter->GetMenuContentOffsets(this, rect);
  rect.Left += GetBandSize();
}

Integer TdxBarSubMenuControl::GetScrollInterval() {
  TdxBarPainter* painter = GetPainter();
  return painter && painter->HasScrollButtonAreas() ? 200 : 80;
}

TRect TdxBarSubMenuControl::GetItemsRect() {
  TRect offsets;
  GetContentOffsets(offsets);
  const TRect client = GetClientRect();
  TRect r{client.Left + offsets.Left, client.Top + offsets.Top, client.Right - offsets.Right,
          client.Bottom - offsets.Bottom};
  if (IsMarkVisible()) r.Bottom -= FMarkSize;
  return r;
}

// ---- Size and placement

TSize TdxBarSubMenuControl::CalcNaturalSize() {
  Integer width = 0, height = 0;
  for (Integer i = std::max(FTopIndex, 0); i < ShownLinkCount(); ++i) {
    TdxBarItemLink* link = ShownLink(i);
    TdxBarItemControl* control = link->GetControl();
    if (!control) continue;
    if (i > std::max(FTopIndex, 0)) height += GetBeginGroupOffset(link);
    height += control->CalcHeight();
    width = std::max(width, control->CalcWidth());
  }
  if (width == 0) width = 100;
  if (height <= 2) height += GetTextSize();
  if (IsMarkVisible()) height += FMarkSize;
  TRect borders, offsets;
  GetBorderSizes(true, borders);
  GetContentOffsets(offsets);
  return TSize{width + borders.Left + borders.Right + offsets.Left + offsets.Right,
               height + borders.Top + borders.Bottom + offsets.Top + offsets.Bottom};
}

void TdxBarSubMenuControl::CalcPosition(TSize size, Boolean& flippedHorizontally, Boolean& flippedVertically) {
  // A window that opens its menus over a part of itself gives them that part.
  TRect pane;
  if (FParentBarControl && FParentBarControl->GetExtraPaneScreenRect(pane)) {
    flippedHorizontally = flippedVertically = false;
    FPlacing = true;
    SetBounds(pane.Left, pane.Top, pane.Width(), pane.Height());
    FPlacing = false;
    return;
  }
  if (size.cx == 0 && size.cy == 0) size = CalcNaturalSize();
  Integer w = size.cx, h = size.cy;
  Integer l = GetLeft(), t = GetTop();
  const Integer ow = FOwnerWidth, oh = FOwnerHeight;
  const TRect wa = GetWorkAreaAtPoint(TPoint{l, t});
  flippedHorizontally = flippedVertically = false;
  if (l + w > wa.Right) {
    if (ow == 0 && oh != 0) {
      l = wa.Right - w;
    } else if (ow == 0) {
      if (l - w >= wa.Left) {
        l -= w;
        flippedHorizontally = true;
      } else {
        l = wa.Right - w;
      }
    } else if (l - ow - wa.Left > wa.Right - l) {
      l = l - ow - w;
      flippedHorizontally = true;
    }
  }
  if (l < wa.Left && ow == 0) l = wa.Left;
  if (l + w > wa.Right) l = wa.Right - w;
  if (l < wa.Left) l = wa.Left;
  if (t + h > wa.Bottom) {
    if (oh == 0 && ow != 0) {
      t = wa.Bottom - h;
    } else if (oh == 0) {
      if (t - h >= wa.Top) {
        t -= h;
        flippedVertically = true;
      } else {
        t = wa.Bottom - h;
      }
    } else if (t - oh - wa.Top > wa.Bottom - t) {
      t = t - oh - h;
      flippedVertically = true;
    } else {
      h = wa.Bottom - t;
    }
  }
  if (t < wa.Top) {
    if (flippedVertically && oh != 0) {
      h -= wa.Top - t;
      t = wa.Top;
    } else {
      t = wa.Top;
      if (t + h > wa.Bottom) h = wa.Bottom - t;
    }
  }
  FPlacing = true;
  SetBounds(l, t, w, h);
  FPlacing = false;
}

// ---- Layout and scrolling

void TdxBarSubMenuControl::SetTopIndex(Integer value) {
  if (value < 0) value = 0;
  if (value == FTopIndex) return;
  FTopIndex = value;
  if (HandleAllocated()) {
    const TRect r = GetItemsRect();
    RECT rect{r.Left, r.Top, r.Right, r.Bottom};
    InvalidateRect(GetHandle(), &rect, FALSE);
  }
}

void TdxBarSubMenuControl::UpdateLayout() {
  CalcMetrics();
  ArrangeItemLinks();
}

void TdxBarSubMenuControl::ArrangeItemLinks() {
  if (!FItemLinks) return;
  for (Integer i = 0; i < FItemLinks->GetCount(); ++i) FItemLinks->GetItem(i)->SetItemRect(TRect());
  ArrangeFromTopIndex();
  RecalcViewInfo();
}

void TdxBarSubMenuControl::ArrangeFromTopIndex() {
  const Integer count = ShownLinkCount();
  if (FTopIndex >= count) FTopIndex = std::max(0, count - 1);
  const Integer top = std::max(FTopIndex, 0);
  const TRect items = GetItemsRect();
  Integer y = items.Top;
  FPlacedCount = 0;
  TRect last;
  for (Integer i = top; i < count && y < items.Bottom; ++i) {
    TdxBarItemLink* link = ShownLink(i);
    TdxBarItemControl* control = link->GetControl();
    if (!control) continue;
    if (i > top) y += GetBeginGroupOffset(link);
    const Integer h = control->CalcHeight();
    last = TRect{items.Left, y, items.Right, y + h};
    link->SetItemRect(last);
    ++FPlacedCount;
    y += h;
  }
  FUpArrowVisible = top > 0;
  FDownArrowVisible = FPlacedCount < count - top || (top < count - 1 && last.Bottom > items.Bottom);
  TdxBarPainter* painter = GetPainter();
  if (painter && painter->HasScrollButtonAreas()) {
    FFirstVisibleIndex = top;
    FLastVisibleIndex = top + FPlacedCount - 1;
  } else {
    FFirstVisibleIndex = top + (FUpArrowVisible ? 1 : 0);
    FLastVisibleIndex = top + FPlacedCount - (FDownArrowVisible ? 2 : 1);
  }
}

void TdxBarSubMenuControl::RecalcViewInfo() {
  FViewInfos.clear();
  if (!FItemLinks) return;
  const TRect items = GetItemsRect();
  for (Integer i = FFirstVisibleIndex; i <= FLastVisibleIndex && i < ShownLinkCount(); ++i) {
    if (i < 0) continue;
    TdxBarItemLink* link = ShownLink(i);
    if (!link->GetControl() || MenuRectIsEmpty(link->GetItemRect())) continue;
    if (link->GetItemRect().Top >= items.Bottom) continue;
    FViewInfos.push_back(link->GetControl());
  }
}

TdxBarItemControl* TdxBarSubMenuControl::GetItemControlAtPos(const TPoint& point) {
  TdxBarPainter* painter = GetPainter();
  if (painter) {
    TRect r;
    if (FUpArrowVisible) {
      painter->GetScrollButtonRect(this, false, r);
      if (MenuPointInRect(r, point)) return nullptr;
    }
    if (FDownArrowVisible) {
      painter->GetScrollButtonRect(this, true, r);
      if (MenuPointInRect(r, point)) return nullptr;
    }
  }
  if (IsMarkVisible() && MenuPointInRect(GetMarkRect(), point)) return nullptr;
  return inherited::GetItemControlAtPos(point);
}

void TdxBarSubMenuControl::MakeItemVisible(TdxBarItemControl* control) {
  if (!control || !HandleAllocated()) return;
  const Integer index = IndexOfShownLink(control->GetItemLink());
  if (index < 0) return;
  for (Integer guard = 0; guard < ShownLinkCount() + 1; ++guard) {
    UpdateLayout();
    if (FUpArrowVisible && index < FFirstVisibleIndex)
      SetTopIndex(FTopIndex - 1);
    else if (FDownArrowVisible && index > FLastVisibleIndex)
      SetTopIndex(FTopIndex + 1);
    else
      break;
  }
  UpdateLayout();
  Invalidate();
}

void TdxBarSubMenuControl::StopScrolling() {
  if (FScrollTimerID && HandleAllocated()) KillTimer(GetHandle(), kScrollTimerID);
  FScrollTimerID = 0;
  FLastScrollMousePos = TPoint{-1, -1};
}

void TdxBarSubMenuControl::ScrollTimer() {
  POINT cursor{};
  GetCursorPos(&cursor);
  ::ScreenToClient(GetHandle(), &cursor);
  const TPoint p{cursor.X, cursor.Y};
  TdxBarPainter* painter = GetPainter();
  TRect up, down;
  if (painter) {
    painter->GetScrollButtonRect(this, false, up);
    painter->GetScrollButtonRect(this, true, down);
  }
  if (FUpArrowVisible && MenuPointInRect(up, p)) {
    SetTopIndex(FTopIndex - 1);
  } else if (FDownArrowVisible && MenuPointInRect(down, p)) {
    SetTopIndex(FTopIndex + 1);
  } else {
    StopScrolling();
    PostMessage(GetHandle(), WM_MOUSEMOVE, 0, MAKELPARAM(cursor.X, cursor.Y));
    return;
  }
  UpdateLayout();
  Invalidate();
}

// ---- Recent items and expansion

Boolean TdxBarSubMenuControl::IsMarkVisible() {
  TdxBarManager* manager = GetOwnerBarManager();
  if (!FItemLinks || !manager || !manager->UseRecentItems() || InCustomizingMode()) return false;
  return FItemLinks->GetVisibleItemCount() < FItemLinks->GetCanVisibleItemCount();
}

TRect TdxBarSubMenuControl::GetMarkRect() {
  TdxBarPainter* painter = GetPainter();
  const Integer inner = painter ? painter->GetMenuInnerBorderWidth() : 1;
  const TRect client = GetClientRect();
  TRect r{client.Left + inner + GetBandSize(), client.Bottom - inner - FMarkSize, client.Right - inner,
          client.Bottom - inner};
  return r;
}

void TdxBarSubMenuControl::SetMarkState(Integer value) {
  TdxBarManager* manager = GetOwnerBarManager();
  if (InCustomizingMode() || !manager || !manager->UseRecentItems() || value == FMarkState) return;
  FMarkState = value;
  if (value == 2) {
    Expand();
    return;
  }
  if (HandleAllocated()) {
    const TRect r = GetMarkRect();
    RECT rect{r.Left, r.Top, r.Right, r.Bottom};
    InvalidateRect(GetHandle(), &rect, FALSE);
  }
  if (manager->GetShowFullMenusAfterDelay()) {
    StopExpandTimer();
    if (value == 1) StartExpandTimer(3, BarHintServices().GetShowPause ? BarHintServices().GetShowPause() : 1000);
  }
}

void TdxBarSubMenuControl::Expand() {
  if (!IsMarkVisible() || !HandleAllocated()) return;
  gShowFullMenus = true;
  FShowAnimation = true;
  FExpanding = true;
  orv::TObjectLinkGuard self(this);
  DestroyHandle();
  if (!self.Alive()) return;
  FExpanding = false;
  FMarkState = 0;
  SetBounds(FOnShowPos.X, FOnShowPos.Y, GetWidth(), GetHeight());
  PopupSubMenuControl();
}

Boolean TdxBarSubMenuControl::IsNonRecent(TdxBarItemControl* control) {
  TdxBarManager* manager = GetOwnerBarManager();
  if (!control || !FItemLinks || !manager || !manager->UseRecentItems() || !gShowFullMenus) return false;
  // An expanded menu shows every link (count -1): the count the links would hide by tells
  // which of them were hidden before expanding.
  Integer recent = FItemLinks->GetRecentItemCount();
  if (recent < 0) recent = FItemLinks->CalcRecentItemCount();
  if (recent < 0) return false;
  return FItemLinks->RecentIndexOf(control->GetItemLink()) >= recent;
}

Boolean TdxBarSubMenuControl::StartsRecentGroup(TdxBarItemControl* control) {
  const Integer index = control ? IndexOfShownLink(control->GetItemLink()) : -1;
  if (index <= 0) return false;
  TdxBarItemControl* previous = ShownLink(index - 1)->GetControl();
  return previous && IsNonRecent(previous) != IsNonRecent(control);
}

void TdxBarSubMenuControl::StopExpandTimer() {
  if (FExpandTimerID && HandleAllocated()) KillTimer(GetHandle(), FExpandTimerID);
  FExpandTimerID = 0;
}

void TdxBarSubMenuControl::StartExpandTimer(UINT_PTR id, UINT delay) {
  if (!HandleAllocated()) return;
  StopExpandTimer();
  FExpandTimerID = SetTimer(GetHandle(), id, delay, nullptr) ? id : 0;
}

void TdxBarSubMenuControl::ExpandTimer(UINT_PTR id) {
  StopExpandTimer();
  if (id == 3)
    SetMarkState(2);
  else if (!FChildBarControl)
    SetMarkState(1);
}

// ---- Shadow and animation

Boolean TdxBarSubMenuControl::IsShadowVisible() {
  TdxBarPainter* painter = GetPainter();
  return painter && painter->HasShadow(this) && HandleAllocated() && IsWindowVisible(GetHandle()) &&
         !FAnimationThread;
}

void TdxBarSubMenuControl::UpdateShadow() {
  if (!FShadow || IsDestroying()) return;
  if (!IsShadowVisible()) {
    FShadow->SetShown(false);
    return;
  }
  RECT window{};
  GetWindowRect(GetHandle(), &window);
  TdxBarPainter* painter = GetPainter();
  TRect owner;
  if (painter && painter->ShadowTouchesOwner(this) && !MenuRectIsEmpty(FOwnerBounds)) {
    const TRect w{window.Left, window.Top, window.Right, window.Bottom};
    const Boolean touches = FOwnerBounds.Bottom == w.Top || FOwnerBounds.Top == w.Bottom ||
                            FOwnerBounds.Right == w.Left || FOwnerBounds.Left == w.Right;
    if (touches) owner = FOwnerBounds;
  }
  FShadow->SetRects(owner, TRect{window.Left, window.Top, window.Right, window.Bottom});
  FShadow->SetShown(true);
}

void TdxBarSubMenuControl::StopAnimation() {
  if (FAnimationThread) FAnimationThread->Stop();
}

void TdxBarSubMenuControl::AnimationEnded() {
  FAnimationThread = nullptr;
  FShowAnimation = false;
  if (HandleAllocated()) {
    Invalidate();
    UpdateWindow(GetHandle());
  }
  UpdateShadow();
}

// ---- Painting

void TdxBarSubMenuControl::PaintTo(HDC dc, Boolean frame) {
  if (!HandleAllocated()) return;
  const int saved = SaveDC(dc);
  if (frame) {
    DrawNonClient(dc);
    TRect borders;
    GetBorderSizes(true, borders);
    SetViewportOrgEx(dc, borders.Left, borders.Top, nullptr);
  }
  TdxBarAnimationThread* animation = FAnimationThread;
  FAnimationThread = nullptr;
  try {
    PaintWindow(dc);
  } catch (...) {
    FAnimationThread = animation;
    RestoreDC(dc, saved);
    throw;
  }
  FAnimationThread = animation;
  RestoreDC(dc, saved);
}

void TdxBarSubMenuControl::Paint() {
  if (FAnimationThread || IsDestroying()) return;
  TdxBarPainter* painter = GetPainter();
  if (!painter) return;
  TcxCanvas* canvas = GetBarControlCanvas();
  HDC dc = canvas->GetHandle();
  const int saved = SaveDC(dc);
  SelectClipRgn(dc, nullptr);
  painter->DrawMenuClientFrame(this, dc, GetBackgroundBrush(), GetClientRect());
  PaintMenu();
  DrawBand();
  RestoreDC(dc, saved);
}

void TdxBarSubMenuControl::PaintMenu() {
  UpdateLayout();
  const TRect items = GetItemsRect();
  if ((FItemLinks && FItemLinks->GetCanVisibleItemCount() > 0) || !FViewInfos.empty()) {
    DrawArrowsAndMark();
    DrawItemControls();
  } else {
    DrawBackground(GetBarControlCanvas()->GetHandle(), items, GetBackgroundBrush(), clNone);
  }
}

void TdxBarSubMenuControl::DrawArrowsAndMark() {
  TdxBarPainter* painter = GetPainter();
  TcxCanvas* canvas = GetBarControlCanvas();
  HDC dc = canvas->GetHandle();
  if (FUpArrowVisible) painter->DrawScrollButton(this, canvas, false);
  if (FDownArrowVisible) painter->DrawScrollButton(this, canvas, true);
  if (IsMarkVisible()) painter->DrawExpandButton(this, GetMarkRect(), FMarkState == 1);
  // What the items leave free below the last of them.
  if (!FViewInfos.empty()) {
    const TRect items = GetItemsRect();
    TdxBarItemControl* last = FViewInfos.back();
    const Integer bottom = last->GetItemRect().Bottom;
    if (bottom < items.Bottom)
      DrawBackground(dc, TRect{items.Left, bottom, items.Right, items.Bottom}, painter->GetMenuBrush(this), clNone);
  }
}

void TdxBarSubMenuControl::DrawItemControls() {
  TdxBarPainter* painter = GetPainter();
  if (!painter) return;
  TcxCanvas* canvas = GetBarControlCanvas();
  HDC dc = canvas->GetHandle();
  const Integer top = std::max(FTopIndex, 0);
  for (TdxBarItemControl* control : FViewInfos) {
    const TRect r = control->GetItemRect();
    if (MenuRectIsEmpty(r)) continue;
    TdxBarItemLink* link = control->GetItemLink();
    const Integer index = IndexOfShownLink(link);
    const Boolean separator = link->GetBeginGroup() && index > top && !(FUpArrowVisible && index == top + 1);
    if (separator) {
      TRect gap;
      painter->CalcMenuGroupSeparatorRect(this, control, gap, r);
      FCurrentBackgroundBrush = GetBackgroundBrush();
      painter->DrawMenuGroupSeparator(this, control, gap, canvas);
    }
    painter->DrawMenuItemFrame(this, control, index, r, dc);
    DrawItemControl(control);
    ExcludeClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
  }
}

void TdxBarSubMenuControl::DrawBand() {
  const Integer band = GetBandSize();
  if (band <= 0) return;
  const TRect items = GetItemsRect();
  const TRect r{items.Left - band, items.Top, items.Left, items.Bottom};
  TComponent* owner = FItemLinks ? FItemLinks->GetOwnerComponent() : nullptr;
  if (auto* subItem = dynamic_cast<TCustomdxBarSubItem*>(owner))
    subItem->DoPaintBar(GetCanvas(), r);
  else if (auto* popup = dynamic_cast<TdxBarCustomPopupMenu*>(owner))
    popup->DoPaintBar(GetCanvas(), r);
}

void TdxBarSubMenuControl::DrawFrame(HDC dc, const TRect& rect) {
  if (TdxBarPainter* painter = GetPainter()) painter->DrawMenuFrame(this, dc, rect);
}

void TdxBarSubMenuControl::DrawNonClient(HDC dc) {
  RECT window{};
  GetWindowRect(GetHandle(), &window);
  const TRect r{0, 0, window.Right - window.Left, window.Bottom - window.Top};
  TRect borders;
  GetBorderSizes(true, borders);
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, borders.Left, borders.Top, r.Right - borders.Right, r.Bottom - borders.Bottom);
  DrawFrame(dc, r);
  RestoreDC(dc, saved);
}

// ---- Keys and mouse

void TdxBarSubMenuControl::DoKeyDown(Word key, TShiftState shift) {
  TCustomdxBarControl* parent = FParentBarControl;
  TdxBarItemControl* parentSelected = parent ? parent->GetSelectedItemControl() : nullptr;
  switch (key) {
    case VK_ESCAPE:
      FClosedByEscape = true;
      if (parentSelected) {
        parent->SetPressedDownMode(false);
        parentSelected->ControlInactivate(true);
      } else {
        SetActiveState(false);
        HideControl();
      }
      return;
    case VK_LEFT:
      if (parentSelected) {
        if (parent->GetKind() == 2) {
          parentSelected->ControlInactivate(true);
          return;
        }
      }
      [[fallthrough]];
    case VK_RIGHT: {
      TCustomdxBarControl* root = RootOf(this);
      if (!root || root == this || root->GetKind() != 0 || !root->HandleAllocated()) return;
      if (root->IsVertical() && key == VK_LEFT) {
        SendMessage(GetHandle(), WM_KEYDOWN, VK_ESCAPE, 0);
        return;
      }
      // The next or previous item of the main menu opens its menu at once, its first item
      // selected.
      orv::TObjectLinkGuard rootAlive(root);
      root->SetPressedDownMode(true);
      SendMessage(root->GetHandle(), WM_KEYDOWN, key, 0);
      if (!rootAlive.Alive()) return;
      if (auto* next = dynamic_cast<TdxBarSubItemControl*>(root->GetSelectedItemControl()))
        if (!next->IsDroppedDown()) next->DropDown(false);
      return;
    }
    default:
      break;
  }
  inherited::DoKeyDown(key, shift);
}

void TdxBarSubMenuControl::DoMouseMove(TShiftState shift, const TPoint& point, TdxBarItemControl* control) {
  orv::TObjectLinkGuard self(this);
  StopAnimation();
  if (!self.Alive()) return;
  // The opening item stays selected while the mouse is in its menu.
  if (FParentBarControl && FSubItemControl && FParentBarControl->HasItemControl(FSubItemControl))
    FParentBarControl->SelectItemControlByMouse(FSubItemControl);
  if (!self.Alive()) return;
  if (IsMarkVisible()) SetMarkState(MenuPointInRect(GetMarkRect(), point) ? 1 : 0);
  if (!self.Alive() || !HandleAllocated()) return;
  TdxBarPainter* painter = GetPainter();
  TRect up, down;
  if (painter) {
    painter->GetScrollButtonRect(this, false, up);
    painter->GetScrollButtonRect(this, true, down);
  }
  const Boolean overArrow =
      (FUpArrowVisible && MenuPointInRect(up, point)) || (FDownArrowVisible && MenuPointInRect(down, point));
  if (overArrow) {
    POINT cursor{};
    GetCursorPos(&cursor);
    if (!FScrollTimerID && (cursor.X != FLastScrollMousePos.X || cursor.Y != FLastScrollMousePos.Y)) {
      FLastScrollMousePos = TPoint{cursor.X, cursor.Y};
      SetSelectedItemControl(nullptr);
      FScrollTimerID = SetTimer(GetHandle(), kScrollTimerID, UINT(GetScrollInterval()), nullptr);
    }
    return;
  }
  if (FScrollTimerID) {
    StopScrolling();
    Invalidate();
  }
  inherited::DoMouseMove(shift, point, control);
  if (self.Alive() && IsDetachCaptionVisible()) SetDetachCaptionSelected(MenuPointInRect(GetDetachCaptionRect(), point));
}

void TdxBarSubMenuControl::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  orv::TObjectLinkGuard self(this);
  StopAnimation();
  if (!self.Alive() || FScrollTimerID) return;
  if (button == mbLeft && FDetachCaptionSelected && MenuPointInRect(GetDetachCaptionRect(), TPoint{x, y})) {
    DetachLoop();
    return;
  }
  if (button == mbLeft && IsMarkVisible() && MenuPointInRect(GetMarkRect(), TPoint{x, y})) {
    if (FMarkState == 0) SetSelectedItemControl(nullptr);
    SetMarkState(FMarkState == 0 ? 1 : 2);
    return;
  }
  inherited::MouseDown(button, shift, x, y);
}

void TdxBarSubMenuControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_GETDLGCODE:
      message.Result = 7;
      return;
    case WM_NCCALCSIZE: {
      auto* rect = reinterpret_cast<RECT*>(message.LParam);
      if (message.WParam) rect = &reinterpret_cast<NCCALCSIZE_PARAMS*>(message.LParam)->rgrc[0];
      TRect borders;
      GetBorderSizes(true, borders);
      rect->Left += borders.Left;
      rect->Top += borders.Top;
      rect->Right = std::max(rect->Left, rect->Right - borders.Right);
      rect->Bottom = std::max(rect->Top, rect->Bottom - borders.Bottom);
      message.Result = 0;
      return;
    }
    case WM_NCPAINT: {
      if (FAnimationThread) return;
      HDC dc = GetWindowDC(GetHandle());
      DrawNonClient(dc);
      ReleaseDC(GetHandle(), dc);
      message.Result = 0;
      return;
    }
    case WM_NCHITTEST:
      message.Result = HTCLIENT;
      return;
    case WM_PRINT:
    case WM_PRINTCLIENT:
      PaintTo(reinterpret_cast<HDC>(message.WParam), message.Msg == WM_PRINT);
      return;
    case WM_TIMER:
      if (message.WParam == kScrollTimerID) {
        ScrollTimer();
        return;
      }
      if (message.WParam == 2 || message.WParam == 3) {
        ExpandTimer(message.WParam);
        return;
      }
      break;
    case WM_KEYDOWN: {
      orv::TObjectLinkGuard self(this);
      StopAnimation();
      if (!self.Alive()) return;
      if (IsMarkVisible()) {
        // Keys reach a menu through the keyboard hook, which took Ctrl's own message before
        // the thread's key state saw it go down: the physical state counts too.
        const Boolean ctrl = GetKeyState(VK_CONTROL) < 0 || GetAsyncKeyState(VK_CONTROL) < 0;
        if (message.WParam == VK_DOWN && ctrl) {
          Expand();
          return;
        }
        TdxBarItemControl* selected = GetSelectedItemControl();
        const Integer count = ShownLinkCount();
        if ((message.WParam == VK_DOWN || message.WParam == VK_TAB) && !ctrl && count > 0 && selected &&
            selected->GetItemLink() == ShownLink(count - 1)) {
          const WPARAM key = message.WParam;
          Expand();
          if (self.Alive() && HandleAllocated()) SendMessage(GetHandle(), WM_KEYDOWN, key, 1);
          return;
        }
      }
      break;
    }
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      // A menu opened at a point takes the right button as the left one.
      if (FOwnerWidth == 0 && FOwnerHeight == 0 && !FSubItemControl) {
        SendMessage(GetHandle(), message.Msg == WM_RBUTTONDOWN ? WM_LBUTTONDOWN : WM_LBUTTONUP, message.WParam,
                    message.LParam);
        return;
      }
      break;
    case WM_WINDOWPOSCHANGED:
      inherited::WndProc(message);
      if (!FPlacing && !IsDestroying()) UpdateShadow();
      return;
    case WM_DESTROY:
      // The window may go with its owner form: its shadow goes with it.
      if (FShadow) FShadow->SetShown(false);
      break;
    default:
      break;
  }
  inherited::WndProc(message);
}

// ==== Shadow ==================================================================================

TdxBarShadow::TdxBarShadow(TCustomdxBarControl* owner) : FOwner(owner) {}

TdxBarShadow::~TdxBarShadow() { FreeParts(); }

Integer TdxBarShadow::GetStripWidth() { return UsesLayeredStrips() ? 4 : 2; }
Boolean TdxBarShadow::UsesLayeredStrips() { return LayeredShadowsAvailable(); }

Integer TdxBarShadow::GetPartCount() const {
  Integer count = 0;
  for (TdxBarShadowPart* part : FParts) count += part != nullptr;
  return count;
}

TdxBarShadowPart* TdxBarShadow::GetPart(Integer index) const {
  for (TdxBarShadowPart* part : FParts)
    if (part && index-- == 0) return part;
  return nullptr;
}

void TdxBarShadow::FreeParts() {
  for (TdxBarShadowPart*& part : FParts) {
    if (part) {
      // Hidden first: a shown layered strip destroyed while visible could outlive its object.
      part->HidePart();
      part->Free();
    }
    part = nullptr;
  }
}

void TdxBarShadow::AddPart(Byte corners, Byte kind, const TRect& rect) {
  if (MenuRectIsEmpty(rect)) return;
  for (TdxBarShadowPart*& slot : FParts) {
    if (slot) continue;
    slot = new TdxBarShadowPart(this, corners, kind);
    slot->SetPartBounds(rect);
    return;
  }
}

void TdxBarShadow::SetRects(const TRect& ownerRect, const TRect& windowRect) {
  FFirst = ownerRect;
  FSecond = windowRect;
  const Boolean emptyOwner = MenuRectIsEmpty(ownerRect);
  FHorizontal = emptyOwner || ownerRect.Bottom == windowRect.Top || ownerRect.Top == windowRect.Bottom;
  if (!emptyOwner &&
      ((FHorizontal && ownerRect.Top == windowRect.Bottom) || (!FHorizontal && ownerRect.Left == windowRect.Right)))
    std::swap(FFirst, FSecond);
  FreeParts();
  const TRect a = FFirst, b = FSecond;
  const Integer s = GetStripWidth();
  const Boolean aEmpty = MenuRectIsEmpty(a);
  if (FHorizontal) {
    if (!aEmpty) AddPart(0x4, 1, TRect{a.Right, a.Top + s, a.Right + s, a.Bottom});
    AddPart(0x3, 0, TRect{b.Left + s, b.Bottom, b.Right + s, b.Bottom + s});
    if (!aEmpty && a.Left + s < b.Left) AddPart(0x1, 0, TRect{a.Left + s, a.Bottom, b.Left, a.Bottom + s});
    if (!aEmpty && b.Right < a.Right) AddPart(0x2, 0, TRect{b.Right, a.Bottom, a.Right + s, a.Bottom + s});
    if (aEmpty || a.Right < b.Right)
      AddPart(0x4, 1, TRect{b.Right, b.Top + s, b.Right + s, b.Bottom});
    else
      AddPart(0, 1, TRect{b.Right, b.Top, b.Right + s, b.Bottom});
  } else {
    AddPart(0x4, 1, TRect{b.Right, b.Top + s, b.Right + s, b.Bottom});
    if (a.Top + s < b.Top) AddPart(0x4, 1, TRect{a.Right, a.Top + s, a.Right + s, b.Top});
    if (b.Bottom < a.Bottom) {
      AddPart(0x3, 0, TRect{a.Left + s, a.Bottom, a.Right + s, a.Bottom + s});
      AddPart(0, 1, TRect{a.Right, b.Bottom, a.Right + s, a.Bottom});
    } else {
      AddPart(0x1, 0, TRect{a.Left + s, a.Bottom, a.Right, a.Bottom + s});
    }
    if (a.Bottom < b.Bottom)
      AddPart(0x3, 0, TRect{b.Left + s, b.Bottom, b.Right + s, b.Bottom + s});
    else
      AddPart(0x2, 0, TRect{b.Left, b.Bottom, b.Right + s, b.Bottom + s});
  }
  if (FVisible)
    for (TdxBarShadowPart* part : FParts)
      if (part) part->ShowPart();
}

void TdxBarShadow::SetShown(Boolean value) {
  if (FVisible == value) return;
  FVisible = value;
  for (TdxBarShadowPart* part : FParts) {
    if (!part) continue;
    if (value)
      part->ShowPart();
    else
      part->HidePart();
  }
}

TdxBarShadowPart::TdxBarShadowPart(TdxBarShadow* shadow, Byte corners, Byte kind)
    : TCustomControl(nullptr), FShadow(shadow), FCorners(corners), FKind(kind) {
  SetVisible(false);
}

TdxBarShadowPart::~TdxBarShadowPart() = default;

Boolean TdxBarShadowPart::IsValid() const {
  const Integer s = TdxBarShadow::GetStripWidth();
  return FCorners == 0 || (FPartBounds.Width() >= s && FPartBounds.Height() >= s);
}

void TdxBarShadowPart::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.Style = WS_POPUP;
  params.ExStyle = TdxBarShadow::UsesLayeredStrips() ? WS_EX_LAYERED : 0;
  TCustomdxBarControl* owner = FShadow ? FShadow->GetOwnerWindow() : nullptr;
  // Not owned by the bar window: the strips live exactly as long as their objects, also when
  // the bar window goes with its form.
  if (owner && owner->HandleAllocated() && (GetWindowLong(owner->GetHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST))
    params.ExStyle |= WS_EX_TOPMOST;
  params.WndParent = nullptr;
  params.WindowClass.style = 0;
}

void TdxBarShadowPart::WndProc(TMessage& message) {
  if (message.Msg == WM_NCHITTEST) {
    message.Result = HTTRANSPARENT;
    return;
  }
  if (message.Msg == WM_MOUSEACTIVATE) {
    message.Result = MA_NOACTIVATE;
    return;
  }
  inherited::WndProc(message);
}

void TdxBarShadowPart::Paint() {
  const TRect r = GetClientRect();
  RECT rect{r.Left, r.Top, r.Right, r.Bottom};
  FillRect(GetCanvas()->GetHandle(), &rect, GetSysColorBrush(COLOR_BTNSHADOW));
}

void TdxBarShadowPart::BuildImage() {
  const Integer w = FPartBounds.Width(), h = FPartBounds.Height();
  FAlpha.assign(size_t(std::max(0, w) * std::max(0, h)), 0);
  if (!TdxBarShadow::UsesLayeredStrips() || !IsValid()) return;
  const Integer s = TdxBarShadow::GetStripWidth();
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x) FAlpha[size_t(y * w + x)] = Byte(FKind == 0 ? 15 * (h - y) : 15 * (w - x));
  auto fade = [&](Integer x, Integer y, Integer k) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    Byte& a = FAlpha[size_t(y * w + x)];
    a = Byte(MulDiv(a, k + 1, s + 1));
  };
  for (Integer k = 0; k < s; ++k)
    for (Integer m = 0; m < s; ++m) {
      if (FKind == 0 && (FCorners & 0x1)) fade(k, m, k);
      if (FKind == 0 && (FCorners & 0x2)) fade(w - 1 - k, m, k);
      if (FKind == 1 && (FCorners & 0x4)) fade(m, k, k);
    }
}

Byte TdxBarShadowPart::GetAlpha(Integer x, Integer y) const {
  const Integer w = FPartBounds.Width();
  if (x < 0 || y < 0 || x >= w || y >= FPartBounds.Height()) return 0;
  return FAlpha[size_t(y * w + x)];
}

void TdxBarShadowPart::SetPartBounds(const TRect& rect) {
  FPartBounds = rect;
  BuildImage();
  if (HandleAllocated())
    SetWindowPos(GetHandle(), nullptr, rect.Left, rect.Top, rect.Width(), rect.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  if (FShadow && FShadow->GetVisible()) ShowPart();
}

void TdxBarShadowPart::ShowPart() {
  if (!IsValid()) return;
  SetBounds(FPartBounds.Left, FPartBounds.Top, FPartBounds.Width(), FPartBounds.Height());
  HandleNeeded();
  const Integer w = FPartBounds.Width(), h = FPartBounds.Height();
  if (TdxBarShadow::UsesLayeredStrips()) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
      // Black with the strip's alpha: premultiplied colour stays 0.
      auto* pixels = static_cast<std::uint32_t*>(bits);
      for (Integer i = 0; i < w * h; ++i) pixels[i] = std::uint32_t(FAlpha[size_t(i)]) << 24;
      HGDIOBJ old = SelectObject(dc, bitmap);
      SIZE size{w, h};
      POINT source{0, 0};
      BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
      UpdateLayeredWindow(GetHandle(), nullptr, nullptr, &size, dc, &source, 0, &blend, ULW_ALPHA);
      SelectObject(dc, old);
      DeleteObject(bitmap);
    }
    DeleteDC(dc);
  }
  TCustomdxBarControl* owner = FShadow ? FShadow->GetOwnerWindow() : nullptr;
  SetWindowZOrder(GetHandle(), owner && owner->HandleAllocated() ? owner->GetHandle() : HWND_TOP, false,
                  SWP_SHOWWINDOW);
}

void TdxBarShadowPart::HidePart() {
  if (!HandleAllocated()) return;
  ShowWindow(GetHandle(), SW_HIDE);
  DestroyHandle();
}

// ==== Animation ===============================================================================

namespace {

std::map<UINT_PTR, TdxBarAnimationThread*>& AnimationTimers() {
  static std::map<UINT_PTR, TdxBarAnimationThread*> timers;
  return timers;
}

void AnimationTimerProc(HWND, UINT, UINT_PTR id, DWORD) { TdxBarAnimationThread::Tick(id); }

}  // namespace

TdxBarAnimationThread::TdxBarAnimationThread(TdxBarSubMenuControl* menu, TdxBarMenuAnimations kind, Boolean leftward,
                                             Boolean upward)
    : FMenu(menu), FKind(kind), FLeftward(leftward), FUpward(upward) {
  RECT window{};
  GetWindowRect(menu->GetHandle(), &window);
  FFinal = TRect{window.Left, window.Top, window.Right, window.Bottom};
  FClient = TSize{menu->GetClientWidth(), menu->GetClientHeight()};
  FBorder = TSize{FFinal.Width() - FClient.cx, FFinal.Height() - FClient.cy};
  if (kind == maUnfold) {
    FStartOffset = FClient.cy - FClient.cx;
    FTravel = std::min(FClient.cx, FClient.cy);
    FStep = 8;
  } else if (kind == maSlide) {
    FTravel = FClient.cy;
    FStep = 17;
  } else {
    FTravel = 128;
    FStep = 1;
  }
  FFrameCount = FTravel / FStep;
  // The picture of the finished menu.
  HDC screen = GetDC(nullptr);
  FMemoryDC = CreateCompatibleDC(screen);
  FBitmap = CreateCompatibleBitmap(screen, std::max(1, FClient.cx), std::max(1, FClient.cy));
  ReleaseDC(nullptr, screen);
  FPreviousBitmap = SelectObject(FMemoryDC, FBitmap);
  menu->PaintTo(FMemoryDC, false);
}

TdxBarAnimationThread::~TdxBarAnimationThread() {
  if (FTimerID) {
    KillTimer(nullptr, FTimerID);
    AnimationTimers().erase(FTimerID);
  }
  SelectObject(FMemoryDC, FPreviousBitmap);
  DeleteObject(FBitmap);
  DeleteDC(FMemoryDC);
}

TSize TdxBarAnimationThread::GetFrameSize(Integer frame) const {
  const Integer v = frame * FStep;
  TSize size;
  if (FStartOffset < 0) {
    size = TSize{v - FStartOffset, v};
  } else {
    size = TSize{v, v + FStartOffset};
    if (FKind == maSlide) size.cx = FClient.cx;
  }
  return size;
}

void TdxBarAnimationThread::Start() {
  if (FFrameCount <= 0) {
    Finish();
    return;
  }
  FTimerID = SetTimer(nullptr, 0, 10, AnimationTimerProc);
  AnimationTimers()[FTimerID] = this;
}

void TdxBarAnimationThread::Tick(UINT_PTR id) {
  auto it = AnimationTimers().find(id);
  if (it == AnimationTimers().end()) {
    KillTimer(nullptr, id);
    return;
  }
  TdxBarAnimationThread* animation = it->second;
  ++animation->FFrame;
  animation->DrawFrame(animation->FFrame);
  if (animation->FFrame >= animation->FFrameCount) animation->Finish();
}

void TdxBarAnimationThread::DrawFrame(Integer frame) {
  const TSize size = GetFrameSize(frame);
  const Integer left = FLeftward ? FFinal.Left + FClient.cx - size.cx : FFinal.Left;
  const Integer top = FUpward ? FFinal.Top + FClient.cy - size.cy : FFinal.Top;
  HWND window = FMenu->GetHandle();
  SetWindowPos(window, nullptr, left, top, FBorder.cx + size.cx, FBorder.cy + size.cy,
               SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER);
  // A downward menu slides its content out of its top edge, an upward one out of its bottom;
  // horizontally the content shows from the fixed edge.
  Integer sourceX = 0, sourceY = 0;
  if (!FUpward) {
    sourceY = FClient.cy - size.cy;
    if (FLeftward) sourceX = FClient.cx - size.cx;
  }
  HDC dc = GetDC(window);
  BitBlt(dc, 0, 0, size.cx, size.cy, FMemoryDC, sourceX, sourceY, SRCCOPY);
  ReleaseDC(window, dc);
}

void TdxBarAnimationThread::Finish() {
  TdxBarSubMenuControl* menu = FMenu;
  const TRect final = FFinal;
  delete this;
  if (!TCustomdxBarControl::IsAlive(menu) || menu->IsDestroying() || !menu->HandleAllocated()) return;
  menu->FShowAnimation = false;
  menu->FAnimationThread = nullptr;
  SetWindowPos(menu->GetHandle(), nullptr, final.Left, final.Top, final.Width(), final.Height(),
               SWP_SHOWWINDOW | SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOZORDER);
  menu->AnimationEnded();
}

void TdxBarAnimationThread::Stop() { Finish(); }

// ==== Keyboard navigation =====================================================================

namespace {

Boolean gNavigation = false;

TdxBarControl* MainMenuWindow(TdxBarManager* manager) {
  TdxBar* bar = manager ? manager->GetMainMenuBar() : nullptr;
  return bar ? dynamic_cast<TdxBarControl*>(bar->GetControl()) : nullptr;
}

}  // namespace

void StartBarNavigation(TdxBarManager* manager) {
  TdxBarControl* window = MainMenuWindow(manager);
  if (!window || !window->HandleAllocated() || !IsWindowVisible(window->GetHandle())) return;
  TdxBarItemControl* first = nullptr;
  for (Integer i = 0; i < window->GetViewInfoCount() && !first; ++i) {
    TdxBarItemControl* control = window->GetViewInfoControl(i);
    if (control->AcceptsSelection() && control->IsEnabled()) first = control;
  }
  if (!first) return;
  gNavigation = true;
  window->SetPressedDownMode(false);
  window->ActivateWithItem(first);
}

void EndBarNavigation() { gNavigation = false; }

Boolean IsBarNavigationActive() {
  if (!gNavigation) return false;
  TCustomdxBarControl* active = BarHookServices().GetActiveBarControl ? BarHookServices().GetActiveBarControl() : nullptr;
  if (!active) gNavigation = false;
  return gNavigation;
}

// ==== Painter: menus ==========================================================================

Integer TdxBarPainter::GetIconAreaSize(TCustomdxBarControl* barControl) {
  Integer size = barControl ? barControl->GetTextSize() : 0;
  TdxBarItemLinks* links = barControl ? barControl->GetItemLinks() : nullptr;
  if (links && links->GetItemSize() == misLarge) size = ScaleByScreenDPI(40);
  AdjustIconAreaSize(size);
  return size;
}

void TdxBarPainter::CalcMenuMetrics(TcxCanvas* canvas, Integer textHeight, Integer& markSize, Integer& arrowWidth) {
  arrowWidth = CalcMenuArrowWidth(textHeight);
  markSize = (canvas ? canvas->TextHeight("0") : 13) + 1;
  const Integer offset = CalcDetachGripOffset(markSize);
  if (offset % 2 != 0) markSize = 2 * offset + 4;
}

Integer TdxBarPainter::GetDetachCaptionHeight(TdxBarSubMenuControl* subMenu) {
  const Integer text = subMenu ? subMenu->GetBarControlCanvas()->TextHeight("Qq") / 2 : 6;
  return (text % 2 == 0 ? text + 1 : text) + 3;
}

Integer TdxBarPainter::GetMenuGlyphColumnWidth(TdxBarSubMenuControl* subMenu) {
  return subMenu ? subMenu->GetIconAreaSize() : 0;
}

Integer TdxBarPainter::CalcMenuIconColumnWidth(TdxBarSubMenuControl* subMenu) {
  Integer size = subMenu ? subMenu->GetBandSize() + subMenu->GetIconAreaSize() : 0;
  AdjustIconAreaSize(size);
  return size;
}

Integer TdxBarPainter::GetMenuTextIndent(TdxBarItemControlDrawParams* params) {
  auto* subMenu = params && params->Owner ? dynamic_cast<TdxBarSubMenuControl*>(params->Owner->GetParent()) : nullptr;
  return GetMenuGlyphColumnWidth(subMenu) + 3;
}

void TdxBarPainter::CalcMenuIconRect(const TRect& itemRect, Integer iconAreaSize, TRect& rect) {
  rect = itemRect;
  rect.Right = rect.Left + iconAreaSize;
}

void TdxBarPainter::CalcMenuTextRect(TdxBarItemControlDrawParams* params, const TRect& itemRect, TRect& rect) {
  rect = itemRect;
  rect.Left += GetMenuTextIndent(params);
}

Integer TdxBarPainter::GetMenuTextSpacing(TdxBarItemControl* control) {
  TCustomdxBarControl* parent = control ? control->GetParent() : nullptr;
  return parent && parent->GetKind() == 2 ? parent->GetTextSize() + 1 : 0;
}

Integer TdxBarPainter::GetScrollButtonHeight(TdxBarSubMenuControl* subMenu) {
  return subMenu ? subMenu->GetTextSize() : 0;
}

void TdxBarPainter::GetScrollButtonRect(TdxBarSubMenuControl* subMenu, Boolean bottom, TRect& rect) {
  rect = subMenu ? subMenu->GetItemsRect() : TRect();
  const Integer h = GetScrollButtonHeight(subMenu);
  if (bottom)
    rect.Top = rect.Bottom - h;
  else
    rect.Bottom = rect.Top + h;
}

Boolean TdxBarPainter::TryGetMenuBrush(TCustomdxBarControl* barControl, HBRUSH& brush) {
  if (!SupportsHotTracking()) return false;
  brush = GetMenuBrush(barControl);
  return true;
}

HBRUSH TdxBarPainter::GetMenuBrush(TCustomdxBarControl* barControl) { return GetSysColorBrush(COLOR_BTNFACE); }

void TdxBarPainter::DeflateDetachCaptionRect(TdxBarSubMenuControl* subMenu, TRect& rect) {
  rect = TRect{rect.Left + 3, rect.Top + 3, rect.Right - 3, rect.Bottom - 3};
}

void TdxBarPainter::CalcMenuGroupSeparatorRect(TdxBarSubMenuControl* subMenu, TdxBarItemControl* control, TRect& rect,
                                               const TRect& itemRect) {
  rect = itemRect;
  rect.Bottom = itemRect.Top;
  if (subMenu && subMenu->IsNonRecent(control) && subMenu->StartsRecentGroup(control)) --rect.Bottom;
  rect.Top = rect.Bottom - (subMenu ? subMenu->GetBeginGroupSize() : GetMenuSeparatorSize());
}

void TdxBarPainter::DrawMenuGroupSeparator(TdxBarSubMenuControl* subMenu, TdxBarItemControl* control,
                                           const TRect& rect, TcxCanvas* canvas) {
  HDC dc = canvas->GetHandle();
  const Boolean nonRecent = subMenu && subMenu->IsNonRecent(control) && !subMenu->StartsRecentGroup(control);
  HBRUSH brush = nonRecent && subMenu->GetLightBrush() ? subMenu->GetLightBrush()
                                                       : (subMenu ? subMenu->GetBackgroundBrush() : GetMenuBrush(nullptr));
  TRect fill = rect;
  if (nonRecent && subMenu && subMenu->GetBandSize() == 0) {
    fill.Left -= 1;
    fill.Right += 2;
  }
  FillItemBackground(control, dc, nonRecent, brush, fill);
  TRect line{rect.Left + GetMenuSeparatorIndent(), rect.Top + 4, rect.Right - GetMenuSeparatorIndent(), rect.Bottom - 4};
  DrawMenuSeparatorLine(canvas, line);
}

void TdxBarPainter::DrawMenuSeparatorLine(TcxCanvas* canvas, const TRect& rect) {
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  DrawEdge(canvas->GetHandle(), &r, EDGE_ETCHED, BF_TOP);
}

void TdxBarPainter::DrawMenuFrame(TdxBarSubMenuControl* subMenu, HDC dc, const TRect& rect) {
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  RECT left{rect.Left, rect.Top, rect.Left + 1, rect.Bottom - 1};
  FillRect(dc, &left, face);
  RECT top{rect.Left + 1, rect.Top, rect.Right - 1, rect.Top + 1};
  FillRect(dc, &top, face);
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  DrawEdge(dc, &r, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM);
  if (!subMenu || !subMenu->IsDetachCaptionVisible()) return;
  RECT inner{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
  DrawEdge(dc, &inner, BDR_RAISEDINNER, BF_LEFT | BF_TOP | BF_RIGHT);
  RECT caption{inner.Left + 1, inner.Top + 1, inner.Right - 1, 0};
  caption.Bottom = caption.Top + GetDetachCaptionHeight(subMenu) - 1;
  FrameRect(dc, &caption, face);
  FillMenuArea(subMenu, dc, TRect{caption.Left + 1, caption.Top + 1, caption.Right - 1, caption.Bottom - 1});
}

void TdxBarPainter::DrawMenuClientFrame(TdxBarSubMenuControl* subMenu, HDC dc, HBRUSH brush, const TRect& rect) {
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
  RECT inner{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
  if (inner.Right > inner.Left && inner.Bottom > inner.Top) FrameRect(dc, &inner, brush);
}

void TdxBarPainter::FillMenuArea(TdxBarSubMenuControl* subMenu, HDC dc, const TRect& rect) {
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  FillRect(dc, &r,
           GetSysColorBrush(subMenu && subMenu->IsDetachCaptionSelected() ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
}

void TdxBarPainter::DrawMenuBand(TdxBarSubMenuControl* subMenu, TcxCanvas* canvas, TColor color, HBRUSH brush,
                                 const TRect& rect) {
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  if (color != clNone && color != clDefault) {
    HBRUSH solid = CreateSolidBrush(ColorToRGB(color));
    FillRect(canvas->GetHandle(), &r, solid);
    DeleteObject(solid);
    return;
  }
  FillRect(canvas->GetHandle(), &r, brush ? brush : GetMenuBrush(subMenu));
}

void TdxBarPainter::DrawMenuItemBackground(TdxBarItemControlDrawParams* params, const TRect& itemRect) {
  // The background of the whole row: the selection, or the window's background.
  TdxBarItemControl* control = params->Owner;
  if (IsFlatStyle() || !control || !params->Canvas) return;
  HDC dc = params->Canvas->GetHandle();
  if (params->Selected && params->Enabled)
    FillItemBackground(control, dc, true, GetSelectionBrush(), itemRect);
  else
    FillItemBackground(control, dc, control->HasOwnBkBrush(), control->GetBkBrush(), itemRect);
}

void TdxBarPainter::DrawMenuItemContent(TdxBarItemControlDrawParams* params, const TRect& itemRect) {
  TdxBarItemControl* control = params->Owner;
  TcxCanvas* canvas = params->Canvas;
  HDC dc = canvas->GetHandle();
  auto* subMenu = dynamic_cast<TdxBarSubMenuControl*>(control->GetParent());
  DrawMenuItemBackground(params, itemRect);
  const Boolean selected = params->Selected && params->Enabled;
  TRect iconRect;
  CalcMenuIconRect(itemRect, subMenu ? subMenu->GetIconAreaSize() : itemRect.Height(), iconRect);
  if (params->Content & ceIcon) {
    TRect glyphRect;
    DrawItemGlyph(params, dc, iconRect, glyphRect);
  }
  TRect textRect;
  CalcMenuTextRect(params, itemRect, textRect);
  const Integer offset = GetMenuTextOffset();
  textRect.Top -= offset;
  textRect.Bottom += offset;
  const Integer arrowColumn = control->GetParent() ? control->GetParent()->GetTextSize() + 5 : 0;
  DrawItemText(control, dc, DT_SINGLELINE, IsFlatOnNonWhiteFace(), false, false, selected && !IsFlatStyle(),
               params->Enabled, 0, textRect, params->Caption);
  TdxBarItemLinks* links = control->GetItemLink() ? control->GetItemLink()->GetOwnerLinks() : nullptr;
  if ((!links || links->GetShowShortCuts()) && !params->ShortCutText.empty()) {
    TRect shortCut = textRect;
    shortCut.Right -= arrowColumn;
    DrawItemText(control, dc, DT_SINGLELINE, IsFlatOnNonWhiteFace(), false, false, selected && !IsFlatStyle(),
                 params->Enabled, 2, shortCut, params->ShortCutText);
  }
  auto* button = dynamic_cast<TdxBarButtonLikeControlDrawParams*>(params);
  if (params->HasDropDown && button && !button->IsButton) DrawSubItemArrow(params, itemRect);
}

void TdxBarPainter::DrawSubItemArrow(TdxBarItemControlDrawParams* params, const TRect& itemRect) {
  TdxBarItemControl* control = params->Owner;
  const Boolean menu = params->HostKind == hkMenu;
  const Integer column = control->GetParent() ? control->GetParent()->GetTextSize() : itemRect.Height();
  TRect r = itemRect;
  if (menu) r.Left = r.Right - column;
  const Boolean selected = params->Selected && params->Enabled && !IsFlatStyle();
  const TColor color = selected ? TColor(GetSysColor(COLOR_HIGHLIGHTTEXT)) : clDefault;
  DrawItemArrow(params->Canvas->GetHandle(), r, !menu, color, AllowsShadows(), params->Enabled, false,
                std::max(3, control->GetParent() ? control->GetParent()->GetMenuArrowHeight() : 4));
}

void TdxBarPainter::DrawScrollButton(TdxBarSubMenuControl* subMenu, TcxCanvas* canvas, Boolean bottom) {
  TRect r;
  GetScrollButtonRect(subMenu, bottom, r);
  subMenu->DrawBackground(canvas->GetHandle(), r, GetMenuBrush(subMenu), clNone);
  DrawScrollArrow(subMenu, canvas, bottom ? 3 : 1, TColor(GetSysColor(COLOR_BTNTEXT)), r);
  AfterScrollButtonDrawn(subMenu, canvas, bottom);
  ExcludeClipRect(canvas->GetHandle(), r.Left, r.Top, r.Right, r.Bottom);
}

void TdxBarPainter::DrawScrollArrow(TdxBarSubMenuControl* subMenu, TcxCanvas* canvas, Integer direction, TColor color,
                                    const TRect& rect) {
  // A triangle on whole pixels: size rows of decreasing width, centred in the rectangle.
  const Integer textHeight = subMenu ? subMenu->GetTextSize() : rect.Height();
  const Integer size = std::max(2, textHeight / 3 - 1);
  HDC dc = canvas->GetHandle();
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  const Integer cx = rect.Left + rect.Width() / 2;
  const Integer cy = rect.Top + (rect.Height() - size) / 2;
  for (Integer i = 0; i < size; ++i) {
    const Integer half = (direction == 1) ? i : size - 1 - i;
    RECT row{cx - half, cy + i, cx + half + 1, cy + i + 1};
    FillRect(dc, &row, brush);
  }
  DeleteObject(brush);
}

void TdxBarPainter::DrawDetachCaption(TdxBarSubMenuControl* subMenu, HDC dc, const TRect& rect) {
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
  RECT inner{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
  FillRect(dc, &inner, subMenu && subMenu->GetLightBrush() ? subMenu->GetLightBrush() : GetMenuBrush(subMenu));
}

void TdxBarPainter::DrawDetachCaptionGrip(TdxBarSubMenuControl* subMenu, HDC dc, Boolean hot, const TRect& rect) {
  const Integer markSize = subMenu ? subMenu->GetMarkSize() : rect.Height();
  const Integer n = CalcDetachGripOffset(markSize);
  if (n <= 0) return;
  const COLORREF color = GetSysColor(IsWhiteButtonFace() && IsFlatStyle() && hot ? COLOR_BTNFACE : COLOR_BTNTEXT);
  HPEN pen = CreatePen(PS_SOLID, 1, color);
  HGDIOBJ old = SelectObject(dc, pen);
  const Integer x0 = (rect.Left + rect.Right - n - 1) / 2;
  const Integer y0 = rect.Top + (markSize - 2 * n) / 2;
  for (Integer i = 0; i < n; ++i) {
    const Integer y = y0 + i + (i >= n / 2 ? n / 2 : 0);
    MoveToEx(dc, x0, y, nullptr);
    LineTo(dc, x0 + n / 2, y + n / 2);
    LineTo(dc, x0 + n + 1, y - 1);
  }
  SelectObject(dc, old);
  DeleteObject(pen);
}

void TdxBarPainter::DrawExpandButton(TdxBarSubMenuControl* subMenu, const TRect& rect, Boolean hot) {
  TcxCanvas* canvas = subMenu->GetBarControlCanvas();
  HDC dc = canvas->GetHandle();
  subMenu->DrawBackground(dc, rect, GetMenuBrush(subMenu), clNone);
  if (hot) DrawDetachCaption(subMenu, dc, rect);
  DrawDetachCaptionGrip(subMenu, dc, hot, rect);
  ExcludeClipRect(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
}

Boolean TdxBarPainter::HasShadow(TCustomdxBarControl* barControl) {
  if (!AllowsShadows() || !barControl) return false;
  if (barControl->GetKind() == 2) return true;
  auto* toolbar = dynamic_cast<TdxBarControl*>(barControl);
  return toolbar && toolbar->GetDockingStyle() == dsNone;
}

Boolean TdxBarPainter::ShadowTouchesOwner(TCustomdxBarControl* barControl) {
  if (!HasShadow(barControl)) return false;
  TCustomdxBarControl* parent = barControl->GetParentBarControl();
  auto* toolbar = dynamic_cast<TdxBarControl*>(parent);
  return !parent || (toolbar && toolbar->GetDockingStyle() != dsNone);
}
