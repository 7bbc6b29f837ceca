#include "components/grid/cxGridDetailsSite.h"

#include <algorithm>

#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxLookAndFeels.h"
#include "components/grid/cxGrid.h"
#include "components/grid/cxGridCustomView.h"
#include "components/grid/cxGridLevel.h"

namespace {

// The grid whose level tabs settings apply (nil while the level has none).
TcxCustomGrid* GridOfLevel(TcxGridLevel* level) { return level ? level->GetControl() : nullptr; }

// The level tabs hand their mouse to their parent, whose handlers are its own protected ones.
struct TLevelTabsParentMouse : TControl {
  static void Down(TControl* c, TMouseButton b, TShiftState s, Integer x, Integer y) {
    (c->*(&TLevelTabsParentMouse::MouseDown))(b, s, x, y);
  }
  static void Move(TControl* c, TShiftState s, Integer x, Integer y) { (c->*(&TLevelTabsParentMouse::MouseMove))(s, x, y); }
  static void Up(TControl* c, TMouseButton b, TShiftState s, Integer x, Integer y) {
    (c->*(&TLevelTabsParentMouse::MouseUp))(b, s, x, y);
  }
  static void DoubleClick(TControl* c) { (c->*(&TLevelTabsParentMouse::DblClick))(); }
  static bool Wheel(TControl* c, TShiftState s, Integer delta, TPoint p) {
    return (c->*(&TLevelTabsParentMouse::DoMouseWheel))(s, delta, p);
  }
};

}  // namespace

// ==== Level tab control =========================================================================

TcxGridLevelTabControl::TcxGridLevelTabControl(TcxCustomGridDetailsSiteViewInfo* siteViewInfo)
    : TcxTabControl(nullptr), FSiteViewInfo(siteViewInfo) {
  SetFocusable(false);
  SetIsTabsContainer(true);
  TcxPCOptions options = GetOptions();
  options.Include(pcoFixedTabWidthWhenRotated);
  SetOptions(options);
  SetParentBackground(false);
}

void TcxGridLevelTabControl::GetTabCaption(TcxGridLevel* level, AnsiString& caption) {
  caption = level->GetCaption();
  if (FShowAccelerators) return;
  // Without accelerators every ampersand left after the markers go shows as itself.
  const AnsiString stripped = StripAccelChars(caption);
  AnsiString result;
  for (char c : stripped) {
    result += c;
    if (c == '&') result += '&';
  }
  caption = result;
}

TClass TcxGridLevelTabControl::GetHitTestClass() { return TcxGridDetailsSiteTabHitTest::StaticClass(); }

TcxCustomGridHitTest* TcxGridLevelTabControl::GetHitTest(const TPoint& p) {
  const Integer visibleIndex = GetTabVisibleIndexAt(p.X, p.Y);
  if (visibleIndex < 0) return nullptr;
  auto* hitTest = static_cast<TcxGridDetailsSiteTabHitTest*>(TcxCustomGridHitTest::Instance(GetHitTestClass(), p));
  hitTest->SetViewInfo(nullptr);
  hitTest->SetLevel(GetTabLevel(GetTabs()->GetVisibleTab(visibleIndex)->GetIndex()));
  hitTest->SetOwner(nullptr);
  if (FSiteViewInfo) FSiteViewInfo->InitTabHitTest(hitTest);
  return hitTest;
}

TcxGridLevel* TcxGridLevelTabControl::SelectedLevel() {
  return GetTabIndex() < 0 ? nullptr : GetTabLevel(GetTabIndex());
}

TcxGridLevel* TcxGridLevelTabControl::GetTabLevel(Integer index) {
  return static_cast<TcxGridLevel*>(GetTabs()->GetObject(index));
}

void TcxGridLevelTabControl::SelectLevel(TcxGridLevel* level) {
  const Integer index = GetTabs()->IndexOfObject(level);
  SetTabIndex(index < 0 ? 0 : index);
}

void TcxGridLevelTabControl::AddTab(TcxGridLevel* level) {
  AnsiString caption;
  GetTabCaption(level, caption);
  const Integer index = GetTabs()->AddObject(caption, level);
  GetTabs()->GetTab(index)->SetImageIndex(level->GetImageIndex());
  level->FreeNotification(this);
}

void TcxGridLevelTabControl::SetShowAccelerators(Boolean value) {
  if (FShowAccelerators == value) return;
  FShowAccelerators = value;
  for (Integer i = 0; i < GetTabs()->GetCount(); ++i) {
    AnsiString caption;
    GetTabCaption(GetTabLevel(i), caption);
    GetTabs()->GetTab(i)->SetCaption(caption);
  }
}

void TcxGridLevelTabControl::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation != opRemove || !dynamic_cast<TcxGridLevel*>(component)) return;
  const Integer index = GetTabs()->IndexOfObject(component);
  if (index >= 0) GetTabs()->Delete(index);
}

Boolean TcxGridLevelTabControl::ProcessAccelerator(char key) {
  if (!FSiteViewInfo) return false;
  FAcceleratorWhileViewFocused =
      FSiteViewInfo->ActiveGridViewExists() && FSiteViewInfo->GetActiveGridView()->GetIsFocused();
  // The level tabs never take the focus themselves, yet their accelerators select them (the
  // tab control's own accelerator check asks for a control that can be focused).
  // Selecting makes the site's owner rebuild its tabs, freeing this control: it handles the key
  // as one of its own messages, so that it goes only when the handling returns.
  Boolean result = false;
  EnterDispatch();
  try {
    for (Integer i = 0; i < GetTabs()->GetCount() && !result; ++i)
      if (IsAccel(Word(static_cast<unsigned char>(key)), GetTabs()->GetTab(i)->GetCaption()) && CanSelectTab(i)) {
        SetTabIndex(i);
        result = true;
      }
  } catch (...) {
    FAcceleratorWhileViewFocused = false;
    LeaveDispatch();
    throw;
  }
  FAcceleratorWhileViewFocused = false;
  LeaveDispatch();
  return result;
}

void TcxGridLevelTabControl::Change() {
  inherited::Change();
  // The site may make its owner recalculate, which frees this control's site (and this
  // control, once the message in hand returns); nothing of the site is touched afterwards.
  if (FSiteViewInfo) FSiteViewInfo->ActiveLevelChanged(SelectedLevel(), FAcceleratorWhileViewFocused);
}

void TcxGridLevelTabControl::PrepareTabFont(TcxTab* tab, TcxCanvas* canvas) {
  inherited::PrepareTabFont(tab, canvas);
  auto* level = dynamic_cast<TcxGridLevel*>(tab->GetObject());
  if (!level || !FSiteViewInfo) return;
  TcxViewParams params;
  FSiteViewInfo->GetTabParams(level, params);
  if (params.Font) canvas->SetFont(params.Font);
  if (params.TextColor != clDefault) canvas->SetFontColor(params.TextColor);
}

void TcxGridLevelTabControl::NotifyTabDrawn(TcxCanvas* canvas, TcxTab* tab, const TRect& imageRect,
                                            const TRect& textRect) {
  inherited::NotifyTabDrawn(canvas, tab, imageRect, textRect);
  if (!FSiteViewInfo) return;
  TcxControl* container = FSiteViewInfo->GetContainer();
  TcxCustomGridDesignController* designer = FSiteViewInfo->GetDesignController();
  if (!container || !container->IsDesigning() || !designer || !designer->IsObjectSelected(tab->GetObject())) return;
  const Boolean vertical = (GetTabPosition() == tpLeft || GetTabPosition() == tpRight) != GetRotate();
  const TRect r = GetInflatedRect(textRect, vertical ? 2 : 3, vertical ? 3 : 2);
  canvas->DrawFocusFrames(r, 2);
}

void TcxGridLevelTabControl::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  if (FSiteViewInfo && FSiteViewInfo->GetContainer() && FSiteViewInfo->GetContainer()->IsDesigning() &&
      button == mbLeft && !shift.Contains(ssDouble)) {
    const Integer visibleIndex = GetTabVisibleIndexAt(x, y);
    if (visibleIndex >= 0 && FSiteViewInfo->GetDesignController())
      FSiteViewInfo->GetDesignController()->SelectObject(
          GetTabLevel(GetTabs()->GetVisibleTab(visibleIndex)->GetIndex()), !shift.Contains(ssShift));
  }
  // A click on a tab makes the container rebuild its tabs, which takes this control off it: the
  // parent is the one the click was over.
  TWinControl* parent = GetParent();
  const TPoint p = parent ? ClientToParent(TPoint{x, y}, parent) : TPoint{x, y};
  inherited::MouseDown(button, shift, x, y);
  if (parent) TLevelTabsParentMouse::Down(parent, button, shift, p.X, p.Y);
}

void TcxGridLevelTabControl::MouseMove(TShiftState shift, Integer x, Integer y) {
  TWinControl* parent = GetParent();
  const TPoint p = parent ? ClientToParent(TPoint{x, y}, parent) : TPoint{x, y};
  inherited::MouseMove(shift, x, y);
  if (parent) TLevelTabsParentMouse::Move(parent, shift, p.X, p.Y);
}

void TcxGridLevelTabControl::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWinControl* parent = GetParent();
  const TPoint p = parent ? ClientToParent(TPoint{x, y}, parent) : TPoint{x, y};
  inherited::MouseUp(button, shift, x, y);
  if (parent) TLevelTabsParentMouse::Up(parent, button, shift, p.X, p.Y);
}

void TcxGridLevelTabControl::DblClick() {
  TWinControl* parent = GetParent();
  inherited::DblClick();
  if (parent) TLevelTabsParentMouse::DoubleClick(parent);
}

bool TcxGridLevelTabControl::DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) {
  TWinControl* parent = GetParent();
  if (inherited::DoMouseWheel(shift, wheelDelta, mousePos)) return true;
  return parent && TLevelTabsParentMouse::Wheel(parent, shift, wheelDelta, mousePos);
}

void TcxGridLevelTabControl::Dispatch(TMessage& message) {
  // Accelerators reach the level tabs only through their site.
  if (message.Msg == CM_DIALOGCHAR) return;
  inherited::Dispatch(message);
}

// ==== Painters ==================================================================================

void TcxGridDetailsSiteTabsPainter::Paint() {
  TcxGridLevelTabControl* tabs = FViewInfo->GetTabControl();
  if (tabs && tabs->HandleAllocated()) tabs->Update();
}

void TcxGridDetailsSiteTabsPainter::MainPaint() {
  FCanvas->PushClipRegion();
  try {
    FCanvas->IntersectClip(FViewInfo->GetBounds());
    Paint();
  } catch (...) {
    FCanvas->PopClipRegion();
    throw;
  }
  FCanvas->PopClipRegion();
}

void TcxGridDetailsSitePainter::DrawBackground() {
  FCanvas->FillRect(FViewInfo->GetClientBoundsValue(), FViewInfo->GetBkColor());
}

void TcxGridDetailsSitePainter::DrawFrame() {
  FCanvas->DrawBorderLines(FViewInfo->GetFrameBounds(), FViewInfo->GetFrameColor(), FViewInfo->GetFrameWidth(),
                           cxBordersAll);
}

void TcxGridDetailsSitePainter::DrawTabs() {
  TcxCustomGridDetailsSiteTabsViewInfo* tabs = FViewInfo->GetTabsViewInfo();
  TcxGridDetailsSiteTabsPainter* painter = tabs->GetPainterClass().Create(FCanvas, tabs);
  try {
    painter->MainPaint();
  } catch (...) {
    painter->Free();
    throw;
  }
  painter->Free();
}

void TcxGridDetailsSitePainter::Paint() {
  if (FViewInfo->GetFrameWidth() != 0) DrawFrame();
  if (FViewInfo->HasTabs()) DrawTabs();
  DrawBackground();
}

// ==== Tabs view info ============================================================================

TcxCustomGridDetailsSiteTabsViewInfo::TcxCustomGridDetailsSiteTabsViewInfo(
    TcxCustomGridDetailsSiteViewInfo* siteViewInfo)
    : FSiteViewInfo(siteViewInfo) {}

void TcxCustomGridDetailsSiteTabsViewInfo::CreateTabControl() {
  FTabControl = GetTabControlClass().Create(FSiteViewInfo);
  Initialize();
}

void TcxCustomGridDetailsSiteTabsViewInfo::BeforeDestruction() {
  if (FTabControl) {
    FTabControl->DetachSite();
    FTabControl->SetParent(nullptr);
    FreeAndNil(FTabControl);
  }
  inherited::BeforeDestruction();
}

TcxGridLevel* TcxCustomGridDetailsSiteTabsViewInfo::GetLevel() const { return FSiteViewInfo->GetLevel(); }

TcxGridLevel* TcxCustomGridDetailsSiteTabsViewInfo::GetActiveLevel() const { return FSiteViewInfo->GetActiveLevel(); }

Integer TcxCustomGridDetailsSiteTabsViewInfo::CalculateHeight() {
  if (IsVertical()) return FTabControl->CalcTabsFullLength();
  return FTabControl->GetPageClientRect().Top;
}

Integer TcxCustomGridDetailsSiteTabsViewInfo::CalculateWidth() {
  if (!IsVertical()) return FTabControl->CalcTabsFullLength();
  return FTabControl->GetPageClientRect().Left;
}

Integer TcxCustomGridDetailsSiteTabsViewInfo::GetHeight() {
  if (FHeight == 0) FHeight = CalculateHeight();
  return FHeight;
}

Integer TcxCustomGridDetailsSiteTabsViewInfo::GetWidth() {
  if (FWidth == 0) FWidth = CalculateWidth();
  return FWidth;
}

TColor TcxCustomGridDetailsSiteTabsViewInfo::GetTabsBkColor() {
  TcxViewParams params;
  GetLevel()->GetStyles()->GetTabsBackgroundParams(params);
  return params.Color;
}

Integer TcxCustomGridDetailsSiteTabsViewInfo::GetFirstShownTab() { return FTabControl->GetFirstShownTab(); }

void TcxCustomGridDetailsSiteTabsViewInfo::SetFirstShownTab(Integer value) { FTabControl->SetFirstShownTabDirect(value); }

TcxGridDetailsSiteTabsPainterClass TcxCustomGridDetailsSiteTabsViewInfo::GetPainterClass() {
  return TcxGridDetailsSiteTabsPainter::StaticClass();
}

TcxGridLevelTabControlClass TcxCustomGridDetailsSiteTabsViewInfo::GetTabControlClass() {
  return TcxGridLevelTabControl::StaticClass();
}

void TcxCustomGridDetailsSiteTabsViewInfo::Initialize() {
  InitAccelerators();
  InitTabs();
  InitOrientation();
  InitAppearance();
}

void TcxCustomGridDetailsSiteTabsViewInfo::InitTabs() {
  TcxGridLevel* activeLevel = GetActiveLevel();
  TcxGridLevel* level = GetLevel();
  for (Integer i = 0; i < level->GetVisibleCount(); ++i) {
    TcxGridLevel* child = level->GetVisibleItem(i);
    if (child == activeLevel || FSiteViewInfo->IsTabVisible(child)) FTabControl->AddTab(child);
  }
  FTabControl->LockChangeEvents(true);
  try {
    FTabControl->SelectLevel(activeLevel);
  } catch (...) {
    FTabControl->LockChangeEvents(false);
    throw;
  }
  FTabControl->LockChangeEvents(false);
}

void TcxCustomGridDetailsSiteTabsViewInfo::InitAccelerators() {
  FTabControl->SetShowAccelerators(FSiteViewInfo->SupportsTabAccelerators());
}

void TcxCustomGridDetailsSiteTabsViewInfo::InitOrientation() {
  FTabControl->SetRotate(GetRotate());
  FTabControl->SetTabPosition(GetTabPosition());
}

void TcxCustomGridDetailsSiteTabsViewInfo::InitAppearance() {
  const TColor color = GetTabsBkColor();
  if (color != clDefault) FTabControl->SetColor(color);
  if (TcxCustomGrid* grid = GridOfLevel(GetLevel())) {
    TcxGridLevelTabs* tabs = grid->GetLevelTabs();
    FTabControl->SetImageBorder(tabs->GetImageBorder());
    FTabControl->SetImages(tabs->GetImages());
    FTabControl->SetTabCaptionAlignment(tabs->GetCaptionAlignment());
    FTabControl->SetStyle(tabs->GetStyle());
    FTabControl->SetTabSlants(tabs->GetSlants());
    FTabControl->GetLookAndFeel()->SetMaster(grid->GetLookAndFeel());
  }
  InitTabColors();
}

void TcxCustomGridDetailsSiteTabsViewInfo::InitTabColors() {
  TcxViewParams defaults;
  FSiteViewInfo->GetDefaultTabParams(defaults);
  for (Integer i = 0; i < FTabControl->GetTabs()->GetCount(); ++i) {
    TcxViewParams params;
    FSiteViewInfo->GetTabParams(FTabControl->GetTabLevel(i), params);
    if (params.Color != defaults.Color) FTabControl->GetTabs()->GetTab(i)->SetColor(params.Color);
  }
}

void TcxCustomGridDetailsSiteTabsViewInfo::Calculate(const TRect& rect) {
  FBounds = rect;
  AdjustBounds();
  TRect r;
  GetTabControlBounds(r);
  FTabControl->SetBounds(r.Left, r.Top, r.Width(), r.Height());
  FTabControl->SetParent(FSiteViewInfo->GetContainer());
}

TcxCustomGridHitTest* TcxCustomGridDetailsSiteTabsViewInfo::GetHitTest(const TPoint& p) {
  TcxControl* container = FSiteViewInfo->GetContainer();
  if (!container || FTabControl->GetParent() != container) return nullptr;
  return FTabControl->GetHitTest(TPoint{p.X - FTabControl->GetLeft(), p.Y - FTabControl->GetTop()});
}

Boolean TcxCustomGridDetailsSiteTabsViewInfo::ProcessDialogChar(char key) { return FTabControl->ProcessAccelerator(key); }

void TcxGridDetailsSiteLeftTabsViewInfo::AdjustBounds() { FBounds.Right = std::min(FBounds.Left + GetWidth(), FBounds.Right); }

void TcxGridDetailsSiteLeftTabsViewInfo::AdjustSiteHeight(Integer& height) { height = std::max(height, GetHeight()); }

void TcxGridDetailsSiteLeftTabsViewInfo::AdjustClientBounds(TRect& rect) { rect.Left += GetWidth(); }

void TcxGridDetailsSiteTopTabsViewInfo::AdjustBounds() { FBounds.Bottom = std::min(FBounds.Top + GetHeight(), FBounds.Bottom); }

void TcxGridDetailsSiteTopTabsViewInfo::AdjustSiteWidth(Integer& width) { width = std::max(width, GetWidth()); }

void TcxGridDetailsSiteTopTabsViewInfo::AdjustClientBounds(TRect& rect) { rect.Top += GetHeight(); }

// ==== Site view info ============================================================================

TcxCustomGridDetailsSiteViewInfo::TcxCustomGridDetailsSiteViewInfo(TcxGridLevel* level)
    : TcxComponent(nullptr), FLevel(level) {}

void TcxCustomGridDetailsSiteViewInfo::CreateTabs() {
  if (FTabsViewInfo) return;
  TcxCustomGridDetailsSiteTabsViewInfoClass tabsClass = GetTabsViewInfoClass();
  if (!tabsClass) return;
  FTabsViewInfo = tabsClass.Create(this);
  FTabsViewInfo->CreateTabControl();
}

void TcxCustomGridDetailsSiteViewInfo::BeforeDestruction() {
  Destroying();
  VisibilityChanged(false);
  FreeAndNil(FTabsViewInfo);
  if (FActiveGridView) {
    FActiveGridView->RemoveFreeNotification(this);
    FActiveGridView = nullptr;
  }
  inherited::BeforeDestruction();
}

void TcxCustomGridDetailsSiteViewInfo::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == FActiveGridView) FActiveGridView = nullptr;
}

Integer TcxCustomGridDetailsSiteViewInfo::GetNonClientHeight() {
  Integer result = 2 * GetFrameWidth();
  if (FTabsViewInfo && !FTabsViewInfo->IsVertical()) result += FTabsViewInfo->GetHeight();
  return result;
}

Integer TcxCustomGridDetailsSiteViewInfo::GetNonClientWidth() {
  Integer result = 2 * GetFrameWidth();
  if (FTabsViewInfo && FTabsViewInfo->IsVertical()) result += FTabsViewInfo->GetWidth();
  return result;
}

TRect TcxCustomGridDetailsSiteViewInfo::GetFrameBounds() {
  return GetInflatedRect(GetClientBoundsValue(), GetFrameWidth(), GetFrameWidth());
}

Integer TcxCustomGridDetailsSiteViewInfo::CalculateHeight() {
  Integer height = 0;
  if (TcxCustomGridView* view = GetActiveGridView()) {
    FFullyVisible = false;
    view->GetViewInfo()->GetHeight(TPoint{GetMaxWidth() - GetNonClientWidth(), GetMaxHeight() - GetNonClientHeight()},
                                   height, FFullyVisible);
  } else {
    FFullyVisible = true;
    height = GetEmptyClientHeight();
  }
  height += GetNonClientHeight();
  if (FTabsViewInfo) FTabsViewInfo->AdjustSiteHeight(height);
  FNormalHeight = std::min(height, GetMaxNormalHeight());
  if (GetFullyVisible()) {
    height = std::max(0, std::min(height, GetMaxHeight()));
  } else {
    height = GetMaxHeight();
  }
  FNormalHeight = std::max(FNormalHeight, height);
  return height;
}

Integer TcxCustomGridDetailsSiteViewInfo::CalculateWidth() {
  Integer width = 0;
  if (TcxCustomGridView* view = GetActiveGridView())
    view->GetViewInfo()->GetWidth(TPoint{GetMaxWidth() - GetNonClientWidth(), GetMaxHeight() - GetNonClientHeight()},
                                  width);
  else
    width = GetEmptyClientWidth();
  width += GetNonClientWidth();
  if (FTabsViewInfo) FTabsViewInfo->AdjustSiteWidth(width);
  width = std::max(width, GetMinWidth());
  return std::min(width, GetMaxWidth());
}

TColor TcxCustomGridDetailsSiteViewInfo::GetBkColor() {
  TcxCustomGrid* grid = GridOfLevel(FLevel);
  return grid ? grid->GetPainter()->DefaultGridDetailsSiteColor() : clBtnFace;
}

void TcxCustomGridDetailsSiteViewInfo::GetClientBounds(TRect& rect) {
  rect = FBounds;
  if (FTabsViewInfo) FTabsViewInfo->AdjustClientBounds(rect);
  rect = GetInflatedRect(rect, -GetFrameWidth(), -GetFrameWidth());
}

TColor TcxCustomGridDetailsSiteViewInfo::GetFrameColor() { return FLevel->GetOptions()->GetDetailFrameColorValue(); }

Integer TcxCustomGridDetailsSiteViewInfo::GetFrameWidth() { return FLevel->GetOptions()->GetDetailFrameWidth(); }

TcxGridDetailsSitePainterClass TcxCustomGridDetailsSiteViewInfo::GetPainterClass() {
  return TcxGridDetailsSitePainter::StaticClass();
}

TcxCustomGridDetailsSiteTabsViewInfoClass TcxCustomGridDetailsSiteViewInfo::GetTabsViewInfoClass() {
  switch (FLevel->GetOptions()->GetDetailTabsPosition()) {
    case dtpLeft: return TcxGridDetailsSiteLeftTabsViewInfo::StaticClass();
    case dtpTop: return TcxGridDetailsSiteTopTabsViewInfo::StaticClass();
    default: return nullptr;
  }
}

Boolean TcxCustomGridDetailsSiteViewInfo::ActiveGridViewExists() {
  return FActiveGridView && !FActiveGridView->IsDestroying();
}

TcxCustomGridView* TcxCustomGridDetailsSiteViewInfo::GetActiveGridView() {
  if (!FActiveGridView) {
    FActiveGridView = FindActiveGridView();
    if (FActiveGridView) FActiveGridView->FreeNotification(this);
  }
  return FActiveGridView && FActiveGridView->IsDestroying() ? nullptr : FActiveGridView;
}

void TcxCustomGridDetailsSiteViewInfo::GetDefaultTabParams(TcxViewParams& params) {
  FLevel->GetStyles()->GetDefaultTabParams(params);
}

void TcxCustomGridDetailsSiteViewInfo::GetTabParams(TcxGridLevel* tabLevel, TcxViewParams& params) {
  FLevel->GetStyles()->GetTabParams(GetMasterRecord(), tabLevel, params);
}

void TcxCustomGridDetailsSiteViewInfo::GetCachedInfo(TcxCustomGridDetailsSiteViewInfoCachedInfo*& info) {
  info = GetCachedInfoClass().Create();
  if (FTabsViewInfo) info->FirstShownTab = FTabsViewInfo->GetFirstShownTab();
}

TcxCustomGridDetailsSiteViewInfoCachedInfoClass TcxCustomGridDetailsSiteViewInfo::GetCachedInfoClass() {
  return TcxCustomGridDetailsSiteViewInfoCachedInfo::StaticClass();
}

void TcxCustomGridDetailsSiteViewInfo::SetCachedInfo(TcxCustomGridDetailsSiteViewInfoCachedInfo*& info) {
  if (!info) return;
  if (FTabsViewInfo) FTabsViewInfo->SetFirstShownTab(info->FirstShownTab);
  FreeAndNil(info);
}

void TcxCustomGridDetailsSiteViewInfo::UpdateTabAccelerators() {
  if (FTabsViewInfo) FTabsViewInfo->UpdateAccelerators();
}

void TcxCustomGridDetailsSiteViewInfo::Calculate(Integer left, Integer top) {
  const Integer width = GetWidth();
  const Integer height = GetHeight();
  FBounds = TRect{left, top, left + width, top + height};
  if (FTabsViewInfo) FTabsViewInfo->Calculate(FBounds);
  if (TcxCustomGridView* view = GetActiveGridView()) view->GetViewInfo()->Calculate(GetClientBoundsValue());
}

TcxCustomGridHitTest* TcxCustomGridDetailsSiteViewInfo::GetHitTest(const TPoint& p) {
  if (FTabsViewInfo)
    if (TcxCustomGridHitTest* hitTest = FTabsViewInfo->GetHitTest(p)) return hitTest;
  if (TcxCustomGridView* view = GetActiveGridView()) {
    if (TcxGridSite* site = view->GetViewInfo()->GetSiteValue())
      return view->GetViewInfo()->GetHitTest(TPoint{p.X - site->GetLeft(), p.Y - site->GetTop()});
  }
  return nullptr;
}

Boolean TcxCustomGridDetailsSiteViewInfo::IsTabVisible(TcxGridLevel* level) {
  return FLevel->GetOptions()->GetTabsForEmptyDetails() || HasData(level);
}

void TcxCustomGridDetailsSiteViewInfo::VisibilityChanged(Boolean visible) {
  if (ActiveGridViewExists()) FActiveGridView->GetViewInfo()->VisibilityChanged(visible);
}

void TcxCustomGridDetailsSiteViewInfo::Paint(TcxCanvas* canvas) {
  TcxGridDetailsSitePainter* painter = GetPainterClass().Create(canvas, this);
  try {
    painter->Paint();
  } catch (...) {
    painter->Free();
    throw;
  }
  painter->Free();
}

Boolean TcxCustomGridDetailsSiteViewInfo::ProcessDialogChar(char key) {
  return FTabsViewInfo && FTabsViewInfo->ProcessDialogChar(key);
}
