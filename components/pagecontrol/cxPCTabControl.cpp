// The tab control: construction, properties, the painter choice, selection, input and messages.
#include <algorithm>
#include <memory>

#include "components/foundation/cxGeometry.h"
#include "components/pagecontrol/cxPC.h"
#include "components/pagecontrol/cxPCConsts.h"
#include "platform/controls/ControlProperties.h"
#include "platform/controls/Forms.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Math.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

namespace {

constexpr UINT kScrollFirstDelay = 300;
constexpr UINT kScrollRepeatDelay = 150;

}  // namespace

TcxCustomTabControl::TcxCustomTabControl(TComponent* owner) : TcxControl(owner) {
  orv::StartPCConstsUnit();
  SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csOpaque,
                                csDoubleClicks, csParentBackground});
  FVisibleTabList = new TcxVisibleTabList(this);
  SetBounds(GetLeft(), GetTop(), 289, 193);
  FTabSlants = new TcxTabSlants(this);
  FTabSlants->SetOnChange(TNotifyEvent(this, &TcxCustomTabControl::TabSlantsChanged));
  SetTabStop(true);
  FTabFont = new TFont;
  FImages = new TcxPCImageList(this);
  FImages->SetOnImagesChanged(TcxPCImageListChangedEvent(this, &TcxCustomTabControl::ImageListChanged));
  FImages->SetOnFillBitmapBackground(
      TcxPCImageListFillBackgroundEvent(this, &TcxCustomTabControl::FillTabBitmapBackgroundHandler));
  FTabs = new TcxTabs(this);
  SelectDefaultStyle();
  if (!IsDesigning()) {
    FGoDialog = new TcxPCGoDialog(this);
    FGoDialog->SetOnTabClick(TcxPCGoDialogTabClickEvent(this, &TcxCustomTabControl::GoDialogClick));
  }
}

void TcxCustomTabControl::BeforeDestruction() {
  Destroying();
  StopScrollTimer();
  FreeAndNil(FGoDialog);
  inherited::BeforeDestruction();
}

TcxCustomTabControl::~TcxCustomTabControl() {
  orv::Free(FTabSlants);
  orv::Free(FTimer);
  orv::Free(FImages);
  orv::Free(FTabs);
  orv::Free(FPainter);
  orv::Free(FVisibleTabList);
  orv::Free(FTabFont);
}

// ---- Painter choice ----

void TcxCustomTabControl::SetStyle(TcxPCStyleID value) {
  if (value == cxPCDefaultStyle) {
    FStyle = cxPCDefaultStyle;
    SelectDefaultStyle();
    return;
  }
  if (value == FStyle) return;
  TcxPCPaintersFactory* factory = PaintersFactory();
  if (!factory || !factory->FindPainterClassByStyleID(value)) return;
  FStyle = value;
  ApplyStyle(value);
}

void TcxCustomTabControl::SelectDefaultStyle() {
  if (FStyle != cxPCDefaultStyle) return;
  TcxPCPaintersFactory* factory = PaintersFactory();
  if (!factory) return;
  TcxPCStyleID id = factory->GetStyleIDByLookAndFeel(GetLookAndFeel());
  if (id == -1) id = factory->GetDefaultStyleID(GetLookAndFeel());
  ApplyStyle(id);
  FStyle = cxPCDefaultStyle;
}

void TcxCustomTabControl::ApplyStyle(TcxPCStyleID value) {
  TcxPCPaintersFactory* factory = PaintersFactory();
  const TcxPCPainterClass painterClass = factory->FindPainterClassByStyleID(value);
  if (!painterClass) return;
  if (FPainter && FPainter->ClassType() == painterClass.Get()) return;
  factory->FreePainter(FPainter);
  FPainter = nullptr;
  FPainter = factory->GetPainterInstance(painterClass, this);
  if (FRotate && !FPainter->AllowRotate()) SetRotate(false);
  SetDoubleBuffered(FPainter->IsDoubleBuffered());
  FTabs->FreeVerticalTextBitmaps();
  RequestLayout();
  InvalidateControlAndChildren(this);
}

void TcxCustomTabControl::LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) {
  inherited::LookAndFeelChanged(sender, changedValues);
  if (FStyle == cxPCDefaultStyle) SelectDefaultStyle();
  RequestLayout();
  if (changedValues.Contains(lfvNativeStyle)) InvalidateControlAndChildren(this);
}

// ---- Properties ----

bool TcxCustomTabControl::CanFocus() { return inherited::CanFocus() && FFocusable; }

void TcxCustomTabControl::GetTabOrderList(TList* list) {
  inherited::GetTabOrderList(list);
  if (!FFocusable) list->Remove(this);
}

void TcxCustomTabControl::SetHideTabs(Boolean value) {
  if (FHideTabs == value) return;
  FHideTabs = value;
  Invalidate();
  Realign();
}

void TcxCustomTabControl::SetHotTrack(Boolean value) {
  if (FHotTrack == value) return;
  FHotTrack = value;
  UpdateHotTrack(KeyboardStateToShiftState());
}

void TcxCustomTabControl::SetImageBorder(Integer value) {
  if (value < 0 || FImageBorder == value) return;
  FImageBorder = value;
  if (FVisibleTabList->GetCount() > 0) RequestLayout();
}

TCustomImageList* TcxCustomTabControl::GetImages() const { return FImages->GetBaseImages(); }
void TcxCustomTabControl::SetImages(TCustomImageList* value) { FImages->SetBaseImages(value); }

Integer TcxCustomTabControl::GetMaxRotatedTabWidth() {
  if (FMaxRotatedTabWidth > 0 && FPainter) {
    const Integer minimum = FPainter->GetMinTabNormalWidth(-1);
    if (FMaxRotatedTabWidth < minimum) FMaxRotatedTabWidth = minimum;
  }
  return FMaxRotatedTabWidth;
}

void TcxCustomTabControl::SetMaxRotatedTabWidth(Integer value) {
  if (value < 0) value = 0;
  if (value > 0 && FPainter) value = std::max(value, FPainter->GetMinTabNormalWidth(-1));
  if (FMaxRotatedTabWidth == value) return;
  FMaxRotatedTabWidth = value;
  if (FRotate && FVisibleTabList->GetCount() > 0) RequestLayout();
}

void TcxCustomTabControl::SetMultiLine(Boolean value) {
  if (FMultiLine == value) return;
  FMultiLine = value;
  RequestLayout();
}

void TcxCustomTabControl::SetNavigatorPosition(TcxPCNavigatorPosition value) {
  if (FNavigatorPosition == value) return;
  FNavigatorPosition = value;
  RequestLayout();
}

void TcxCustomTabControl::SetOptions(TcxPCOptions value) {
  if (FOptions == value) return;
  const TcxPCOptions changed = (FOptions - value) + (value - FOptions);
  FOptions = value;
  const TcxPCOptions layout{pcoAlwaysShowGoDialogButton, pcoCloseButton, pcoFixedTabWidthWhenRotated,
                            pcoGoDialog, pcoGradient, pcoGradientClientArea, pcoNoArrows,
                            pcoTopToBottomText};
  const TcxPCOptions repaint{pcoGradient, pcoGradientClientArea, pcoUsePageColorForTab};
  if (!(changed * layout).Empty())
    RequestLayout();
  else if (!(changed * repaint).Empty())
    Invalidate();
}

void TcxCustomTabControl::SetOwnerDraw(Boolean value) {
  if (FOwnerDraw == value) return;
  FOwnerDraw = value;
  Invalidate();
}

void TcxCustomTabControl::SetRaggedRight(Boolean value) {
  if (FRaggedRight == value) return;
  FRaggedRight = value;
  if (FMultiLine) RequestLayout();
}

void TcxCustomTabControl::SetRotate(Boolean value) {
  if (FRotate == value) return;
  if (value && FPainter && !FPainter->AllowRotate())
    throw EdxException(Format(GetLocalizedResourceString(&scxPCAllowRotateError), {FPainter->GetStyleName()}));
  FRotate = value;
  RequestLayout();
}

void TcxCustomTabControl::SetScrollOpposite(Boolean value) {
  if (FScrollOpposite == value) return;
  FScrollOpposite = value;
  if (!FMultiLine) return;
  if (FMainTabVisibleIndex == -1) {
    Realign();
    return;
  }
  UpdateRowOrder();
  Realign();
  Invalidate();
}

void TcxCustomTabControl::SetShowFrame(Boolean value) {
  if (FShowFrame == value) return;
  FShowFrame = value;
  RequestLayout();
}

void TcxCustomTabControl::SetTabHeight(SmallInt value) {
  if (FTabHeight == value) return;
  FTabHeight = value;
  RequestLayout();
}

void TcxCustomTabControl::SetTabPosition(TcxTabPosition value) {
  if (FTabPosition == value) return;
  FTabPosition = value;
  RequestLayout();
}

void TcxCustomTabControl::SetTabWidth(SmallInt value) {
  if (FTabWidth == value) return;
  FTabWidth = value;
  RequestLayout();
}

void TcxCustomTabControl::SetTabCaptionAlignment(TAlignment value) {
  if (FTabCaptionAlignment == value) return;
  FTabCaptionAlignment = value;
  RequestLayout();
}

void TcxCustomTabControl::SetIsTabsContainer(Boolean value) {
  if (FIsTabsContainer == value) return;
  FIsTabsContainer = value;
  RequestLayout();
}

// ---- Selection ----

void TcxCustomTabControl::SetTabIndex(Integer value) {
  if (IsLoading()) {
    FTabIndex = value;
    return;
  }
  if (value < -1 || value >= FTabs->GetCount()) return;
  if (HasPages() && value != -1 && !FTabs->GetTab(value)->GetVisible()) value = -1;
  if (value == FTabIndex || !CanChange(value)) return;
  for (Integer i = 0; i < FTabs->GetCount(); ++i) FTabs->GetTab(i)->FSelected = false;
  const Integer oldMain = FMainTabVisibleIndex;
  FTabIndex = -1;
  FMainTabVisibleIndex = -1;
  FTabs->SetTrackingTab(-1);
  FTabIndex = value;
  FTabs->UpdateMainTab();
  if (oldMain != FMainTabVisibleIndex) {
    if (oldMain != -1 && oldMain < FVisibleTabList->GetCount()) FTabs->Changed(oldMain, tpcIsMainTab);
    if (FMainTabVisibleIndex != -1) FTabs->Changed(FMainTabVisibleIndex, tpcIsMainTab);
  }
  UpdateNavigatorButtonStates();
  if (!FMultiLine) {
    if (FMainTabVisibleIndex != -1) MakeTabVisible(FMainTabVisibleIndex);
    RequestLayout();
  } else {
    UpdateRowOrder();
    Realign();
    Invalidate();
  }
  UpdateNavigatorButtonStates();
  UpdateHotTrack(KeyboardStateToShiftState());
  Change();
}

Boolean TcxCustomTabControl::CanChange(Integer newTabIndex) {
  bool allow = true;
  if (!AreChangeEventsLocked() && !IsLoading() && FOnChanging) FOnChanging(this, allow);
  return allow;
}

void TcxCustomTabControl::Change() {
  if (!AreChangeEventsLocked() && !IsLoading() && FOnChange) FOnChange(this);
}

void TcxCustomTabControl::LockChangeEvents(Boolean lock) {
  if (lock)
    ++FChangeEventLockCount;
  else if (FChangeEventLockCount > 0)
    --FChangeEventLockCount;
}

void TcxCustomTabControl::SelectTabByClick(Integer visibleIndex, Boolean ctrl) {
  TcxTab* tab = FTabs->GetVisibleTab(visibleIndex);
  if (FMultiSelect && FPainter->AllowMultiSelectTabs() && ctrl) {
    if (visibleIndex == FMainTabVisibleIndex)
      SetTabIndex(-1);
    else
      tab->SetSelected(!tab->GetSelected());
    return;
  }
  SetTabIndex(tab->GetIndex());
}

Boolean TcxCustomTabControl::CanSelectTab(Integer index) {
  TcxTab* tab = FTabs->GetTab(index);
  return tab->GetVisible() && tab->IsEnabled();
}

Boolean TcxCustomTabControl::CanClose() {
  bool canClose = true;
  if (FOnCanClose) FOnCanClose(this, canClose);
  return canClose;
}

void TcxCustomTabControl::CloseCurrent() {
  if (FTabIndex < 0 || FTabIndex >= FTabs->GetCount()) return;
  FTabs->Delete(FTabIndex);
  Change();
}

Boolean TcxCustomTabControl::ProcessAccelerator(char key) {
  for (Integer i = 0; i < FTabs->GetCount(); ++i) {
    if (IsAccel(Word(static_cast<unsigned char>(key)), FTabs->GetTab(i)->GetCaption()) && CanSelectTab(i) &&
        CanFocus()) {
      SetTabIndex(i);
      return true;
    }
  }
  return false;
}

Integer TcxCustomTabControl::GetTabImageIndex(Integer index) {
  Integer result = FTabs->GetTab(index)->FImageIndex;
  if (FOnGetImageIndex) FOnGetImageIndex(this, index, result);
  if (result < 0) result = -1;
  TCustomImageList* images = GetImages();
  if (!images || images->GetWidth() <= 0 || images->GetHeight() <= 0 || result >= images->GetCount())
    return -1;
  return result;
}

void TcxCustomTabControl::PrepareTabFont(TcxTab* tab, TcxCanvas* canvas) {
  FTabFont->Assign(GetFont());
  FTabFont->SetColor(FPainter ? FPainter->GetTabTextColor(tab->GetVisibleIndex()) : GetFont()->GetColor());
  if (FOnDrawTabEx) FOnDrawTabEx(this, tab, FTabFont);
  canvas->SetFontHandle(FTabFont->GetHandle());
  canvas->SetFontColor(FTabFont->GetColor());
}

TColor TcxCustomTabControl::GetTabColor(Integer visibleIndex) {
  TcxTab* tab = FTabs->GetVisibleTab(visibleIndex);
  TColor result = tab->GetColor();
  if (result != clDefault) return result;
  auto* page = dynamic_cast<TControl*>(GetPageObject(tab->GetIndex()));
  if (page && (FOptions.Contains(pcoUsePageColorForTab) || (FPainter && FPainter->UsesPageColorForTab())) &&
      !page->GetParentColor())
    result = page->GetColor();
  return result;
}

// ---- Go dialog ----

void TcxCustomTabControl::ShowGoDialog() {
  if (!FGoDialog) return;
  FGoDialog->PopupDialog(FOptions.Contains(pcoSort));
  GoDialogClosed(-1);
}

void TcxCustomTabControl::GoDialogClosed(Integer index) {
  if (HandleAllocated()) {
    MSG msg;
    if (PeekMessage(&msg, GetHandle(), WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_NOREMOVE) ||
        PeekMessage(&msg, GetHandle(), WM_LBUTTONDBLCLK, WM_LBUTTONDBLCLK, PM_NOREMOVE))
      FGoDialogJustClosed = true;
  }
  if (!FGoDialogShowing && index == -1 && FPressedNavigatorButton.Empty()) return;
  FGoDialogShowing = false;
  FPressedNavigatorButton = {};
  if (FNavigatorButtonStates[nbGoDialog] == nbsPressed) {
    FNavigatorButtonStates[nbGoDialog] = nbsNormal;
    if (FPainter) FPainter->RepaintButton(nbGoDialog, nbsPressed);
  }
  if (index != -1) SetTabIndex(index);
  UpdateHotTrack(KeyboardStateToShiftState());
}

// ---- Navigator buttons ----

void TcxCustomTabControl::SetNavigatorButtonState(TcxPCNavigatorButton button, TcxPCNavigatorButtonState state) {
  const TcxPCNavigatorButtonState old = FNavigatorButtonStates[button];
  if (old == state) return;
  FNavigatorButtonStates[button] = state;
  if (FPainter) FPainter->RepaintButton(button, old);
}

void TcxCustomTabControl::UpdateNavigatorButtonStates() {
  if (!FPainter) return;
  const Integer count = FVisibleTabList->GetCount();
  const Boolean backward = IsBackwardStrip();
  Boolean changed = false;
  for (TcxPCNavigatorButton button : {nbTopLeft, nbBottomRight, nbClose}) {
    if (!FNavigatorButtons.Contains(button)) continue;
    Boolean enabled;
    if (button == nbClose) {
      enabled = FMainTabVisibleIndex != -1;
    } else {
      const Boolean forward = (button == nbBottomRight) != backward;
      if (forward)
        enabled = !(FLastVisibleTab == count - 1 && (FIsLastTabFullyVisible || FLastVisibleTab == FFirstVisibleTab));
      else
        enabled = FFirstVisibleTab > 0;
    }
    const TcxPCNavigatorButtonState old = FNavigatorButtonStates[button];
    TcxPCNavigatorButtonState state = old;
    if (!enabled)
      state = nbsDisabled;
    else if (old == nbsDisabled)
      state = nbsNormal;
    if (state == old) continue;
    if (state == nbsDisabled) {
      FHotNavigatorButton = {};
      FPressedNavigatorButton = {};
      if (button != nbClose) StopScrollTimer();
    }
    FNavigatorButtonStates[button] = state;
    FPainter->RepaintButton(button, old);
    changed = true;
  }
  if (changed) UpdateHotTrack(KeyboardStateToShiftState());
}

void TcxCustomTabControl::SetHotNavigatorButton(TcxPCNavigatorButtons value) {
  if (FHotNavigatorButton == value) return;
  for (TcxPCNavigatorButton b : {nbTopLeft, nbBottomRight, nbGoDialog, nbClose})
    if (FHotNavigatorButton.Contains(b) && FNavigatorButtonStates[b] == nbsHotTrack)
      SetNavigatorButtonState(b, nbsNormal);
  FHotNavigatorButton = value;
  for (TcxPCNavigatorButton b : {nbTopLeft, nbBottomRight, nbGoDialog, nbClose})
    if (value.Contains(b) && FNavigatorButtonStates[b] == nbsNormal) SetNavigatorButtonState(b, nbsHotTrack);
}

void TcxCustomTabControl::PressNavigatorButton(TcxPCNavigatorButton button) {
  const TcxPCNavigatorButtonState state = FNavigatorButtonStates[button];
  if (state == nbsPressed || state == nbsDisabled) return;
  FNavigatorButtonStates[button] = nbsPressed;
  FPressedNavigatorButton = {button};
  FHotNavigatorButton = {};
  if (FPainter) FPainter->RepaintButton(button, state);
  if (button == nbTopLeft || button == nbBottomRight) {
    ScrollOneTab(button);
    if (FPressedNavigatorButton.Contains(button)) {
      if (!FTimer) {
        FTimer = new TcxTimer(nullptr);
        FTimer->SetEnabled(false);
        FTimer->SetOnTimer(TNotifyEvent(this, &TcxCustomTabControl::ScrollTimerHandler));
      }
      FTimer->SetEnabled(false);
      FTimer->SetInterval(kScrollFirstDelay);
      FTimer->SetEnabled(true);
    }
  }
}

void TcxCustomTabControl::StopScrollTimer() {
  if (FTimer) FTimer->SetEnabled(false);
}

void TcxCustomTabControl::ScrollTimerHandler(TObject* sender) {
  FTimer->SetInterval(kScrollRepeatDelay);
  for (TcxPCNavigatorButton button : {nbTopLeft, nbBottomRight}) {
    if (FPressedNavigatorButton.Contains(button)) {
      ScrollOneTab(button);
      if (FPressedNavigatorButton.Contains(button)) return;
    }
  }
  StopScrollTimer();
}

void TcxCustomTabControl::ScrollOneTab(TcxPCNavigatorButton button) {
  if (FNavigatorButtonStates[button] == nbsDisabled) return;
  const Boolean forward = (button == nbBottomRight) != IsBackwardStrip();
  FFirstVisibleTab += forward ? 1 : -1;
  RequestLayout();
}

void TcxCustomTabControl::ScrollTabs(Integer count) {
  if (FMultiLine) return;
  const TcxPCNavigatorButton button = (count >= 0) != IsBackwardStrip() ? nbBottomRight : nbTopLeft;
  for (Integer i = 0; i < std::abs(count); ++i) ScrollOneTab(button);
}

// ---- Hot track ----

void TcxCustomTabControl::UpdateHotTrack(TShiftState shift) {
  if (IsLoading() || IsDestroying() || IsDesigning() || !HandleAllocated() || FGoDialogShowing || !FPainter)
    return;
  TcxPCNavigatorButtons hotButton;
  Integer hotTab = -1;
  if ((FHotTrack || FPainter->NeedsHotTrack()) && GetEnabled()) {
    TPoint p;
    GetCursorPos(&p);
    p = ScreenToClient(p);
    const Boolean inside = IsPointInRect(TRect{0, 0, GetWidth(), GetHeight()}, p) &&
                           WindowFromPoint(ClientToScreen(p)) == GetHandle();
    TcxPCNavigatorButton button;
    if (inside && !shift.Contains(ssLeft) && FPainter->GetButtonAt(p.X, p.Y, button) &&
        FNavigatorButtonStates[button] != nbsPressed && FNavigatorButtonStates[button] != nbsDisabled) {
      hotButton = {button};
    } else if (inside && !(shift.Contains(ssLeft) && FPainter->IsButtonStyle())) {
      const Integer v = GetTabVisibleIndexAt(p.X, p.Y);
      if (v != -1 && FTabs->GetVisibleTab(v)->IsEnabled()) hotTab = v;
    }
  }
  SetHotNavigatorButton(hotButton);
  FTabs->SetHotTab(hotTab);
}

// ---- Input ----

void TcxCustomTabControl::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  const Boolean justClosed = FGoDialogJustClosed;
  FGoDialogJustClosed = false;
  TcxObjectLink* link = CreateObjectLink(this);
  inherited::MouseDown(button, shift, x, y);
  const Boolean alive = link->Ref != nullptr;
  ReleaseObjectLink(link);
  if (!alive) return;
  if (FHideTabs || button != mbLeft || !FPainter) return;
  UpdateHotTrack(shift);
  TcxPCNavigatorButton navigatorButton;
  if (FPainter->GetButtonAt(x, y, navigatorButton)) {
    if (!(navigatorButton == nbGoDialog && justClosed)) PressNavigatorButton(navigatorButton);
    return;
  }
  const Integer v = GetTabVisibleIndexAt(x, y);
  if (v == -1) return;
  if (!IsDesigning() && !FTabs->GetVisibleTab(v)->IsEnabled()) return;
  if (FPainter->IsButtonStyle()) {
    const Integer old = FPressedTabVisibleIndex;
    FPressedTabVisibleIndex = v;
    if (old != -1 && old != v) FTabs->Changed(old, tpcPressed);
    FTabs->Changed(v, tpcPressed);
  } else {
    SelectTabByClick(v, shift.Contains(ssCtrl));
  }
}

void TcxCustomTabControl::MouseMove(TShiftState shift, Integer x, Integer y) {
  inherited::MouseMove(shift, x, y);
  if (FHideTabs || FGoDialogShowing || !FPainter) return;
  for (TcxPCNavigatorButton b : {nbTopLeft, nbBottomRight, nbGoDialog, nbClose}) {
    if (!FPressedNavigatorButton.Contains(b)) continue;
    TcxPCNavigatorButton over;
    if (!FPainter->GetButtonAt(x, y, over) || over != b) {
      StopScrollTimer();
      FPressedNavigatorButton = {};
      SetNavigatorButtonState(b, nbsNormal);
    }
  }
  if (FPressedTabVisibleIndex != -1 && GetTabVisibleIndexAt(x, y) != FPressedTabVisibleIndex) {
    const Integer old = FPressedTabVisibleIndex;
    FPressedTabVisibleIndex = -1;
    FTabs->Changed(old, tpcPressed);
  }
  UpdateHotTrack(shift);
}

void TcxCustomTabControl::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TcxObjectLink* link = CreateObjectLink(this);
  inherited::MouseUp(button, shift, x, y);
  const Boolean alive = link->Ref != nullptr;
  ReleaseObjectLink(link);
  if (!alive) return;
  if (FHideTabs || button != mbLeft || FGoDialogShowing || !FPainter) return;
  TcxPCNavigatorButton navigatorButton;
  if (FPainter->GetButtonAt(x, y, navigatorButton)) {
    StopScrollTimer();
    if (FNavigatorButtonStates[navigatorButton] == nbsDisabled) return;
    const Boolean wasPressed = FPressedNavigatorButton.Contains(navigatorButton);
    if (!IsDesigning() && navigatorButton == nbGoDialog && wasPressed) {
      FGoDialogShowing = true;
      ShowGoDialog();
      return;
    }
    if (wasPressed) {
      FPressedNavigatorButton = {};
      SetNavigatorButtonState(navigatorButton, nbsNormal);
      UpdateHotTrack(shift);
      if (navigatorButton == nbClose && !IsDesigning() && CanClose()) CloseCurrent();
    }
    return;
  }
  const Integer v = GetTabVisibleIndexAt(x, y);
  if (v != -1 && !IsDesigning() && !FTabs->GetVisibleTab(v)->IsEnabled()) return;
  if (FPainter->IsButtonStyle()) {
    const Integer pressed = FPressedTabVisibleIndex;
    FPressedTabVisibleIndex = -1;
    if (pressed != -1) FTabs->Changed(pressed, tpcPressed);
    if (v != -1 && v == pressed) SelectTabByClick(v, shift.Contains(ssCtrl));
  }
  UpdateHotTrack(shift);
}

void TcxCustomTabControl::MouseLeave(TControl* control) {
  inherited::MouseLeave(control);
  if (!FGoDialogShowing) UpdateHotTrack({});
}

Boolean TcxCustomTabControl::HandleWheel(TPoint mousePos, TcxPCNavigatorButton button) {
  if (FMultiLine || FFirstVisibleTab == -1 || FVisibleTabList->GetCount() == 0) return false;
  const TPoint p = ScreenToClient(mousePos);
  const TRect r = FTabs->GetVisibleTab(FFirstVisibleTab)->GetFullRect();
  const Boolean over = IsHorizontalStrip() ? p.Y >= r.Top && p.Y < r.Bottom : p.X >= r.Left && p.X < r.Right;
  if (!over) return false;
  ScrollOneTab(button);
  return true;
}

bool TcxCustomTabControl::DoMouseWheelDown(TShiftState shift, TPoint mousePos) {
  if (inherited::DoMouseWheelDown(shift, mousePos)) return true;
  return HandleWheel(mousePos, IsBackwardStrip() ? nbTopLeft : nbBottomRight);
}

bool TcxCustomTabControl::DoMouseWheelUp(TShiftState shift, TPoint mousePos) {
  if (inherited::DoMouseWheelUp(shift, mousePos)) return true;
  return HandleWheel(mousePos, IsBackwardStrip() ? nbBottomRight : nbTopLeft);
}

void TcxCustomTabControl::KeyDown(Word& key, TShiftState shift) {
  inherited::KeyDown(key, shift);
  if (key != 0) HandleNavigationKey(key, shift);
}

Integer TcxCustomTabControl::FindEnabledTab(Integer start, Integer step, Boolean wrap) {
  const Integer count = FVisibleTabList->GetCount();
  Integer v = start;
  for (Integer tried = 0; tried < count; ++tried) {
    if (v < 0 || v >= count) {
      if (!wrap) return -1;
      v = v < 0 ? count - 1 : 0;
    }
    if (FTabs->GetVisibleTab(v)->IsEnabled()) return v;
    v += step;
  }
  return -1;
}

Boolean TcxCustomTabControl::HandleNavigationKey(Word& key, TShiftState shift) {
  const Integer count = FVisibleTabList->GetCount();
  if (FHideTabs || count == 0 || !FPainter) return false;
  if (shift.Contains(ssAlt)) return false;
  Integer step = 0;
  Boolean wrap = false;
  Boolean home = false, end = false;
  switch (key) {
    case VK_TAB:
      if (!shift.Contains(ssCtrl)) return false;
      step = shift.Contains(ssShift) ? -1 : 1;
      wrap = true;
      break;
    case VK_LEFT:
    case VK_UP:
      step = -1;
      break;
    case VK_RIGHT:
    case VK_DOWN:
      step = 1;
      break;
    case VK_HOME:
      home = true;
      break;
    case VK_END:
      end = true;
      break;
    case VK_RETURN:
    case VK_SPACE:
      if (FTrackingTabVisibleIndex == -1) return false;
      SetTabIndex(FTabs->GetVisibleTab(FTrackingTabVisibleIndex)->GetIndex());
      return true;
    default:
      return false;
  }
  if (IsBackwardStrip() && key != VK_TAB) step = -step;
  Integer found;
  if (home || end) {
    const Boolean fromStart = home != IsBackwardStrip();
    found = FindEnabledTab(fromStart ? 0 : count - 1, fromStart ? 1 : -1, false);
  } else {
    Integer start;
    if (FTrackingTabVisibleIndex != -1)
      start = FTrackingTabVisibleIndex + step;
    else if (FMainTabVisibleIndex != -1)
      start = FMainTabVisibleIndex + step;
    else
      start = step > 0 ? 0 : count - 1;
    if ((start < 0 || start >= count) && !wrap) return true;
    found = FindEnabledTab(start, step, wrap);
  }
  if (found == -1) return true;
  if (FPainter->IsButtonStyle() && key != VK_TAB)
    FTabs->SetTrackingTab(found);
  else if (found != FMainTabVisibleIndex)
    SetTabIndex(FTabs->GetVisibleTab(found)->GetIndex());
  return true;
}

void TcxCustomTabControl::FocusChanged() {
  inherited::FocusChanged();
  if (!IsDestroying() && FMainTabVisibleIndex != -1 && IsTabShown(FMainTabVisibleIndex))
    FTabs->Changed(FMainTabVisibleIndex, tpcFocused);
}

void TcxCustomTabControl::FontChanged() {
  inherited::FontChanged();
  RequestLayout();
}

Boolean TcxCustomTabControl::NeedsRedrawOnResize() {
  return FOptions.Contains(pcoRedrawOnResize) && FPainter && FPainter->NeedsRedrawOnResize();
}

// ---- Window and painting ----

void TcxCustomTabControl::CreateHandle() {
  inherited::CreateHandle();
  RequestLayout();
  Realign();
}

void TcxCustomTabControl::Resize() {
  RequestLayout();
  Realign();
  inherited::Resize();
}

void TcxCustomTabControl::Paint() {
  inherited::Paint();
  if (IsDestroying() || !FPainter) return;
  TcxCanvas* canvas = GetCanvas();
  canvas->PushClipRegion();
  try {
    FPainter->Paint();
  } catch (...) {
    canvas->PopClipRegion();
    throw;
  }
  canvas->PopClipRegion();
}

void TcxCustomTabControl::PaintToDC(HDC dc) {
  if (!FPainter || FPaintCanvas) return;
  // A canvas of its own on the foreign DC: the control's canvas keeps its window's DC.
  std::unique_ptr<TcxCanvas, orv::FreeDeleter> canvas(new TcxCanvas(dc));
  canvas->SetFontHandle(GetFont()->GetHandle());
  FPaintCanvas = canvas.get();
  try {
    FPainter->PaintClientAreaBackground();
  } catch (...) {
    FPaintCanvas = nullptr;
    throw;
  }
  FPaintCanvas = nullptr;
}

void TcxCustomTabControl::FillTabBitmapBackgroundHandler(TcxBitmap* bitmap) {
  if (!FPainter) return;
  const TcxPCTabImageAndTextData& data = FPainter->GetTabImageAndTextData();
  FPainter->FillTabBitmapBackground(bitmap, data.ImageRect, data.TabVisibleIndex);
}

void TcxCustomTabControl::AdjustClientRect(TRect& rect) {
  if (IsLoading()) {
    rect = FIsClientRectLoaded ? FClientRect : TRect{0, 0, GetWidth(), GetHeight()};
    return;
  }
  rect = GetPageClientRect();
}

TRect TcxCustomTabControl::GetPageClientRect() {
  if (!FPainter) return {0, 0, GetWidth(), GetHeight()};
  TRect r = FPainter->GetPageClientRect();
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  return r;
}

void TcxCustomTabControl::ChangeScale(Integer m, Integer d) {
  FClientRect = TRect{MulDiv(FClientRect.Left, m, d), MulDiv(FClientRect.Top, m, d), MulDiv(FClientRect.Right, m, d),
                 MulDiv(FClientRect.Bottom, m, d)};
  inherited::ChangeScale(m, d);
}

void TcxCustomTabControl::Loaded() {
  inherited::Loaded();
  RequestLayout();
  const Integer stored = FTabIndex;
  if (stored != -1) {
    FTabIndex = -1;
    LockChangeEvents(true);
    try {
      SetTabIndex(stored);
    } catch (...) {
      LockChangeEvents(false);
      throw;
    }
    LockChangeEvents(false);
  }
}

void TcxCustomTabControl::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_ERASEBKGND:
      if (message.WParam != 0 && message.WParam == WPARAM(message.LParam)) {
        PaintToDC(reinterpret_cast<HDC>(message.WParam));
        message.Result = 1;
        return;
      }
      break;
    case WM_GETDLGCODE:
      inherited::Dispatch(message);
      message.Result |= DLGC_WANTARROWS;
      return;
    case CM_DIALOGCHAR:
      if (ProcessAccelerator(char(message.WParam))) {
        message.Result = 1;
        return;
      }
      break;
    case CM_DIALOGKEY: {
      const HWND focus = GetFocus();
      if (HandleAllocated() && focus && (focus == GetHandle() || IsChild(GetHandle(), focus))) {
        Word key = Word(message.WParam);
        if (HandleNavigationKey(key, KeyboardStateToShiftState())) {
          message.Result = 1;
          return;
        }
      }
      break;
    }
    case CM_DESIGNHITTEST: {
      inherited::Dispatch(message);
      const Integer x = GET_X_LPARAM(message.LParam), y = GET_Y_LPARAM(message.LParam);
      TcxPCNavigatorButton button;
      if (FPainter && FPainter->GetButtonAt(x, y, button) && (button == nbTopLeft || button == nbBottomRight))
        message.Result = 1;
      const Integer v = GetTabVisibleIndexAt(x, y);
      if (v != -1 && v != FMainTabVisibleIndex) message.Result = 1;
      return;
    }
    case CM_ENABLEDCHANGED:
    case CM_PARENTCOLORCHANGED:
      inherited::Dispatch(message);
      Invalidate();
      return;
    default:
      break;
  }
  inherited::Dispatch(message);
}

// ---- Stored client rect ----

void TcxCustomTabControl::DefineProperties(TFiler* filer) {
  inherited::DefineProperties(filer);
  const TRect r = GetPageClientRect();
  filer->DefineProperty("ClientRectBottom", TReaderProc(this, &TcxCustomTabControl::ReadClientRectBottom),
                        TWriterProc(this, &TcxCustomTabControl::WriteClientRectBottom), r.Bottom != 0);
  filer->DefineProperty("ClientRectLeft", TReaderProc(this, &TcxCustomTabControl::ReadClientRectLeft),
                        TWriterProc(this, &TcxCustomTabControl::WriteClientRectLeft), r.Left != 0);
  filer->DefineProperty("ClientRectRight", TReaderProc(this, &TcxCustomTabControl::ReadClientRectRight),
                        TWriterProc(this, &TcxCustomTabControl::WriteClientRectRight), true);
  filer->DefineProperty("ClientRectTop", TReaderProc(this, &TcxCustomTabControl::ReadClientRectTop),
                        TWriterProc(this, &TcxCustomTabControl::WriteClientRectTop), true);
}

void TcxCustomTabControl::ReadClientRectBottom(TReader* reader) { FClientRect.Bottom = reader->ReadInteger(); }
void TcxCustomTabControl::ReadClientRectLeft(TReader* reader) { FClientRect.Left = reader->ReadInteger(); }
void TcxCustomTabControl::ReadClientRectRight(TReader* reader) { FClientRect.Right = reader->ReadInteger(); }
void TcxCustomTabControl::ReadClientRectTop(TReader* reader) {
  FClientRect.Top = reader->ReadInteger();
  FIsClientRectLoaded = true;
}
void TcxCustomTabControl::WriteClientRectBottom(TWriter* writer) { writer->WriteInteger(GetPageClientRect().Bottom); }
void TcxCustomTabControl::WriteClientRectLeft(TWriter* writer) { writer->WriteInteger(GetPageClientRect().Left); }
void TcxCustomTabControl::WriteClientRectRight(TWriter* writer) { writer->WriteInteger(GetPageClientRect().Right); }
void TcxCustomTabControl::WriteClientRectTop(TWriter* writer) { writer->WriteInteger(GetPageClientRect().Top); }

// ---- Published properties ----

namespace {

const orv::EnumNames<TcxTabPosition> kTabPositionNames("TcxTabPosition", {"tpTop", "tpBottom", "tpLeft", "tpRight"});
const orv::EnumNames<TcxPCNavigatorPosition> kNavigatorPositionNames(
    "TcxPCNavigatorPosition", {"npLeftTop", "npLeftBottom", "npRightTop", "npRightBottom"});
const orv::EnumNames<TcxPCOption> kOptionNames(
    "TcxPCOption", {"pcoAlwaysShowGoDialogButton", "pcoCloseButton", "pcoFixedTabWidthWhenRotated",
                    "pcoGoDialog", "pcoGradient", "pcoGradientClientArea", "pcoNoArrows",
                    "pcoRedrawOnResize", "pcoSort", "pcoTopToBottomText", "pcoUsePageColorForTab"});
const orv::EnumNames<TcxTabSlantKind> kSlantKindNames("TcxTabSlantKind", {"skCutCorner", "skSlant"});
const orv::EnumNames<TcxTabSlantPosition> kSlantPositionNames("TcxTabSlantPosition", {"spLeft", "spRight"});

}  // namespace

ORV_PUBLISH(TcxTabSlants) {
  using T = TcxTabSlants;
  p.Property("Kind", &T::GetKind, &T::SetKind).Default(skSlant);
  p.Property("Positions", &T::GetPositions, &T::SetPositions).Default(TcxTabSlantPositions{spLeft});
}

// What the tab control and the page control publish alike.
ORV_PUBLISH(TcxCustomTabControl) {
  using T = TcxCustomTabControl;
  p.Property("Focusable", &T::GetFocusable, &T::SetFocusable).Default(true);
  p.Property("HideTabs", &T::GetHideTabs, &T::SetHideTabs).Default(false);
  p.Property("HotTrack", &T::GetHotTrack, &T::SetHotTrack).Default(false);
  p.Property("ImageBorder", &T::GetImageBorder, &T::SetImageBorder).Default(0);
  p.Property("Images", &T::GetImages, &T::SetImages);
  p.Property("LookAndFeel", &T::GetLookAndFeel);
  p.Property("MaxRotatedTabWidth", &T::GetMaxRotatedTabWidth, &T::SetMaxRotatedTabWidth).Default(0);
  p.Property("MultiLine", &T::GetMultiLine, &T::SetMultiLine).Default(false);
  p.Property("NavigatorPosition", &T::GetNavigatorPosition, &T::SetNavigatorPosition).Default(npRightTop);
  p.Property("Options", &T::GetOptions, &T::SetOptions).Default(cxPCDefaultOptions);
  p.Property("OwnerDraw", &T::GetOwnerDraw, &T::SetOwnerDraw).Default(false);
  p.Property("RaggedRight", &T::GetRaggedRight, &T::SetRaggedRight).Default(false);
  p.Property("Rotate", &T::GetRotate, &T::SetRotate).Default(false);
  p.Property("ScrollOpposite", &T::GetScrollOpposite, &T::SetScrollOpposite).Default(false);
  p.Property("ShowFrame", &T::GetShowFrame, &T::SetShowFrame).Default(false);
  p.Property("Style", &T::GetStyle, &T::SetStyle).Default(0);
  p.Property("TabHeight", &T::GetTabHeight, &T::SetTabHeight).Default(SmallInt(0));
  p.Property("TabPosition", &T::GetTabPosition, &T::SetTabPosition).Default(tpTop);
  p.Property("TabSlants", &T::GetTabSlants, &T::SetTabSlants);
  p.Property("TabWidth", &T::GetTabWidth, &T::SetTabWidth).Default(SmallInt(0));
  p.Property("OnCanClose", &T::GetOnCanClose, &T::SetOnCanClose);
  p.Property("OnChange", &T::GetOnChange, &T::SetOnChange);
  p.Property("OnDrawTab", &T::GetOnDrawTab, &T::SetOnDrawTab);
  p.Property("OnDrawTabEx", &T::GetOnDrawTabEx, &T::SetOnDrawTabEx);
  p.Property("OnGetImageIndex", &T::GetOnGetImageIndex, &T::SetOnGetImageIndex);
  // The platform's control properties and events.
  orv::PublishLayout(p);
  orv::PublishState(p);
  orv::PublishColor(p, clBtnFace);
  orv::PublishFont(p);
  orv::PublishDrag(p);
  orv::PublishTabs(p, true);
  p.Property("ParentBackground", &T::GetParentBackground, &T::SetParentBackground).Default(true);
  orv::PublishClickEvents(p);
  orv::PublishMouseEvents(p);
  orv::PublishDockEvents(p);
  p.Property("OnEnter", &TWinControl::GetOnEnter, &TWinControl::SetOnEnter);
  p.Property("OnExit", &TWinControl::GetOnExit, &TWinControl::SetOnExit);
  p.Property("OnResize", &TControl::GetOnResize, &TControl::SetOnResize);
}

ORV_PUBLISH(TcxTabControl) {
  using T = TcxTabControl;
  p.Property("MultiSelect", &T::GetMultiSelect, &T::SetMultiSelect).Default(false);
  p.Property("TabIndex", &T::GetTabIndex, &T::SetTabIndex).Default(-1);
  p.Property("Tabs", &T::GetTabs, &T::SetTabs);
  p.Property("OnChanging", &T::GetOnChanging, &T::SetOnChanging);
}

void TcxCustomTabControl::SetFirstShownTabDirect(Integer value) {
  if (value == FFirstVisibleTab) return;
  FFirstVisibleTab = value;
  RequestLayout();
}
