// The dxBar unit, continued: the item controls that show links, the common bar window that
// holds them, and the toolbar window of a bar (docked along a side of its form or floating with
// a caption), with the painter's drawing of buttons, captions and toolbars. Kept apart from
// dxBar.cpp so that neither compile unit grows too large.

#include <algorithm>
#include <cmath>

#include "components/bars/dxBar.h"
#include "components/foundation/cxGeometry.h"
#include "components/bars/dxBarAccessibility.h"
#include "components/bars/dxBarDesignController.h"
#include "components/bars/dxBarDragInfo.h"
#include "components/bars/dxBarDrawing.h"
#include "components/bars/dxBarEdit.h"
#include "components/bars/dxBarFadingHelpers.h"
#include "components/bars/dxBarQuickControl.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/dxOffice11.h"
#include "platform/drawing/Gdi.h"
#include "platform/runtime/Exceptions.h"
#include "platform/windowing/Backend.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/User.h"

namespace {

constexpr UINT WM_DXBAR_REPAINT = 0x8065;

std::vector<TCustomdxBarControl*>& LiveBarControls() {
  static std::vector<TCustomdxBarControl*> list;
  return list;
}

TCustomdxBarControl* gActiveBarControl = nullptr;

Boolean PointInRect(const TRect& r, const TPoint& p) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

// ---- The shared hint window of the bars

TdxBarHintWindow* gHintWindow = nullptr;

Boolean ShowBarHintWindow(TdxBarManager* manager, const AnsiString& text, const AnsiString& shortCut) {
  if (!gHintWindow) gHintWindow = new TdxBarHintWindow(nullptr);
  return gHintWindow->ShowHint(manager, text, shortCut);
}
void HideBarHintWindow() {
  if (gHintWindow && gHintWindow->HandleAllocated()) ShowWindow(gHintWindow->GetHandle(), SW_HIDE);
}
Boolean IsBarHintWindowVisible() {
  return gHintWindow && gHintWindow->HandleAllocated() && IsWindowVisible(gHintWindow->GetHandle());
}
UINT BarHintShowPause() { return gHintWindow ? gHintWindow->GetShowPause() : 1000; }
UINT BarHintHidePause() { return gHintWindow ? gHintWindow->GetHidePause() : 10000; }

// ---- What the manager's hooks ask of the bar windows

TCustomdxBarControl* HookActiveBarControl() { return gActiveBarControl; }
TdxBarManager* HookBarControlManager(TCustomdxBarControl* control) {
  return control ? control->GetOwnerBarManager() : nullptr;
}
Boolean HookIsBarControlVisible(TCustomdxBarControl* control) {
  return control && control->HandleAllocated() && IsWindowVisible(control->GetHandle());
}
Boolean HookBarControlAllowsShortCuts(TCustomdxBarControl* control) { return HookIsBarControlVisible(control); }
// The selected control of a bar window when it is a windowed control whose in-place window is
// being typed into: its keys and wheel belong to that window.
TdxBarWinControl* EditingWinControl(TCustomdxBarControl* control) {
  auto* win = control ? dynamic_cast<TdxBarWinControl*>(control->GetSelectedItemControl()) : nullptr;
  return win && win->GetFocused() ? win : nullptr;
}
Boolean HookActiveBarControlTakesKeys() {
  TCustomdxBarControl* active = gActiveBarControl;
  return active && active->HandleAllocated() && IsWindowEnabled(active->GetHandle()) && !active->InCustomizingMode() &&
         !EditingWinControl(active);
}
Boolean HookSendKeyToActiveBarControl(UINT message, WPARAM key, LPARAM data) {
  TCustomdxBarControl* active = gActiveBarControl;
  if (!active || !active->HandleAllocated()) return false;
  SendMessage(active->GetHandle(), message, key, data);
  return TCustomdxBarControl::IsAlive(active) && active->IsActive();
}
Boolean HookHasFocusedBarControl(TdxBarManager* manager) {
  return gActiveBarControl && gActiveBarControl->GetOwnerBarManager() == manager;
}
void HookAcceleratorLinkPressed(TdxBarItemLink* link, Boolean unique) {
  TCustomdxBarControl* window = link ? link->GetBarControl() : nullptr;
  if (!window || !link->GetControl()) return;
  window->ActivateWithItem(link->GetControl());
  if (unique && TCustomdxBarControl::IsAlive(window)) window->SelectAndClick(link->GetControl(), false);
}
void HookCloseActiveBarControls() {
  if (gActiveBarControl) gActiveBarControl->Close();
}
Boolean HookIsInActiveBarChain(HWND window) {
  for (TCustomdxBarControl* c = gActiveBarControl; c; c = c->GetParentBarControl()) {
    if (c->HandleAllocated() && (c->GetHandle() == window || IsChild(c->GetHandle(), window))) return true;
    // A combo's open list is a window of its own but part of its bar window.
    if (auto* win = dynamic_cast<TdxBarWinControl*>(c->GetSelectedItemControl()); win && win->IsOwnWindow(window))
      return true;
  }
  return false;
}

// The services are installed with the first bar window, where nothing else has claimed them.
void InstallBarWindowServices() {
  TdxBarHookServices& hooks = BarHookServices();
  if (!hooks.GetActiveBarControl) hooks.GetActiveBarControl = HookActiveBarControl;
  if (!hooks.GetBarControlManager) hooks.GetBarControlManager = HookBarControlManager;
  if (!hooks.IsBarControlVisible) hooks.IsBarControlVisible = HookIsBarControlVisible;
  if (!hooks.BarControlAllowsShortCuts) hooks.BarControlAllowsShortCuts = HookBarControlAllowsShortCuts;
  if (!hooks.CloseActiveBarControls) hooks.CloseActiveBarControls = HookCloseActiveBarControls;
  if (!hooks.ActiveBarControlTakesKeys) hooks.ActiveBarControlTakesKeys = HookActiveBarControlTakesKeys;
  if (!hooks.SendKeyToActiveBarControl) hooks.SendKeyToActiveBarControl = HookSendKeyToActiveBarControl;
  if (!hooks.HasFocusedBarControl) hooks.HasFocusedBarControl = HookHasFocusedBarControl;
  if (!hooks.AcceleratorLinkPressed) hooks.AcceleratorLinkPressed = HookAcceleratorLinkPressed;
  if (!hooks.IsInActiveBarChain) hooks.IsInActiveBarChain = HookIsInActiveBarChain;
  if (!hooks.StartNavigation) hooks.StartNavigation = StartBarNavigation;
  if (!hooks.EndKeyboardNavigation) hooks.EndKeyboardNavigation = EndBarNavigation;
  InstallBarKeyTipServices();
  TdxBarHintServices& hints = BarHintServices();
  if (!hints.ShowHintWindow && !hints.HideHintWindow && !hints.IsHintWindowVisible)
    hints = TdxBarHintServices{ShowBarHintWindow, HideBarHintWindow, IsBarHintWindowVisible, BarHintShowPause,
                               BarHintHidePause};
}

}  // namespace

void FreeBarHintWindow() {
  orv::Free(gHintWindow);
  gHintWindow = nullptr;
}

// ==== Links and their controls ================================================================

TCustomdxBarControl* TdxBarItemLink::GetBarControl() const {
  TdxBarItemLinks* links = GetOwnerLinks();
  return links ? links->GetBarControl() : nullptr;
}

void TdxBarItemLink::CreateControl() {
  if (FControl || !GetItem() || !GetBarControl()) return;
  TClass controlClass = GetItem()->GetControlClass(GetBarControl()->IsTextRotated());
  // An item kind registered without a control class of the bars shows nothing.
  if (!controlClass || !controlClass->InheritsFrom(TdxBarItemControl::StaticClass())) return;
  FControl = TdxBarItemControlClass(controlClass).Create(this);
  FControl->Initialize();
}

void TdxBarItemLink::DestroyControl() {
  TdxBarItemControl* control = FControl;
  if (!control) return;
  FControl = nullptr;
  control->Free();
}

void TdxBarItemLink::SetItemRect(const TRect& value) {
  FItemRect = value;
  if (FControl) {
    if (FControl->GetViewInfo()) FControl->GetViewInfo()->SetBounds(value);
    FControl->CalculateParts();
  }
}

// ==== Item control ============================================================================

TdxBarItemControl::TdxBarItemControl(TdxBarItemLink* link) : FItemLink(link) {
  if (link && link->GetOwnerLinks()) FParent = link->GetOwnerLinks()->GetBarControl();
}

void TdxBarItemControl::Initialize() {
  if (FDrawParams) return;
  FDrawParams = GetDrawParamsClass().Create(this);
  FCachedImageOptions = new TdxCachedImageOptions;
  FViewInfo = new TdxBarItemControlViewInfo(this);
  CalcStyleParams();
  FHotPartIndex = -1;
  CalcDrawParams(true);
  FViewInfo->SetViewLevel(FParent ? FParent->GetLayoutKind(this) : ivlDefault);
}

void TdxBarItemControl::BeforeDestruction() {
  TdxBarManager* manager = GetBarManager();
  if (manager && manager->GetSelectedItem() == this) manager->StoreSelectedItem(nullptr);
  if (FItemLink) FItemLink->ForgetControl(this);
  if (FParent && TCustomdxBarControl::IsAlive(FParent) && !FParent->IsDestroying() &&
      FParent->GetSelectedItemControl() == this)
    FParent->ClearSelectedLink();
  inherited::BeforeDestruction();
}

TdxBarItemControl::~TdxBarItemControl() {
  InvalidateObjectLinks(this);
  if (FBkBrush) DeleteObject(FBkBrush);
  orv::Free(FViewInfo);
  delete FCachedImageOptions;
  orv::Free(FDrawParams);
}

TdxBarItem* TdxBarItemControl::GetItem() const { return FItemLink ? FItemLink->GetItem() : nullptr; }
TdxBarManager* TdxBarItemControl::GetBarManager() const { return FItemLink ? FItemLink->GetBarManager() : nullptr; }

TdxBarPainter* TdxBarItemControl::GetPainter() const {
  if (FParent) return FParent->GetPainter();
  TdxBarManager* manager = GetBarManager();
  return manager ? manager->GetPainter() : nullptr;
}

Boolean TdxBarItemControl::NeedDropDownExcludeRect() { return FParent && FParent->UsesFlatLook(); }

TcxCanvas* TdxBarItemControl::GetCanvas() const {
  return FActiveCanvas ? FActiveCanvas : FParent ? FParent->GetBarControlCanvas() : nullptr;
}

TRect TdxBarItemControl::GetItemRect() const { return FItemLink ? FItemLink->GetItemRect() : TRect(); }

HBRUSH TdxBarItemControl::GetBkBrush() const {
  if (FBkBrush) return FBkBrush;
  return FParent ? FParent->GetCurrentBackgroundBrush() : nullptr;
}

Boolean TdxBarItemControl::IsEnabled() {
  TdxBarItem* item = GetItem();
  return item && item->GetEnabled();
}

Boolean TdxBarItemControl::AcceptsSelection() {
  if (!FParent || !FParent->InCustomizingMode()) return true;
  return GetBarManager() == (GetItem() ? GetItem()->GetBarManager() : nullptr);
}

Boolean TdxBarItemControl::CanDoubleClick() {
  TdxBarManager* manager = GetBarManager();
  return (manager && manager->IsDesigning()) || WantsDoubleClick();
}

Boolean TdxBarItemControl::IsInSelection() {
  if (!FParent || FParent->GetSelectedItemControl() != this) return false;
  return IsEnabled() || !FSelectedByMouse;
}

Boolean TdxBarItemControl::IsTextRotated() { return FParent && FParent->IsTextRotated(); }

TdxBarItemAlign TdxBarItemControl::GetAlign() {
  TdxBarItem* item = GetItem();
  const TdxBarItemAlign align = item ? item->GetAlign() : iaLeft;
  if (align != iaLeft && FParent && FParent->UsesRestSpace(FItemLink)) return align;
  return iaLeft;
}

Integer TdxBarItemControl::GetTextSize() const {
  if (FTextSize) return FTextSize;
  return FParent ? FParent->GetTextSize() : 0;
}

void TdxBarItemControl::SetPressed(Boolean value) {
  if (FPressed == value) return;
  FPressed = value;
  if (!value) Invalidate();
}

void TdxBarItemControl::Invalidate() {
  if (FParent && FParent->HandleAllocated()) FParent->RepaintItemControl(this);
}

// ---- Notifications

void TdxBarItemControl::CaptionChanged() {
  if (FParent) FParent->Repaint();
}

void TdxBarItemControl::EnabledChanged() {
  if (!IsEnabled() && FParent && FParent->GetSelectedItemControl() == this) FParent->ClearSelectedLink();
  if (!IsEnabled()) FHotPartIndex = -1;
  Invalidate();
}

void TdxBarItemControl::GlyphChanged() {
  // The same list or bitmap may now hold another picture.
  ResetCachedValues();
  if (FParent) FParent->Repaint();
}

void TdxBarItemControl::LayoutChanged() {
  CalcDrawParams(false);
  CalculateParts();
  Invalidate();
}

void TdxBarItemControl::VisibleChanged() {
  if (FParent) FParent->Repaint();
}

// ---- Hint

void TdxBarItemControl::GetHintInfo(AnsiString& hint, AnsiString& shortCut, Boolean& enabled) {
  hint.clear();
  shortCut.clear();
  enabled = IsEnabled();
  if (!FParent || !TCustomdxBarControl::IsAlive(FParent) || !FParent->IsInactive() ||
      FParent->GetSelectedItemControl() != this)
    return;
  hint = GetHint();
  const size_t bar = hint.find('|');
  if (bar != AnsiString::npos) hint.resize(bar);
  shortCut = GetShortCutHintText(GetShortCut());
}

// ---- Sources of what is shown

AnsiString TdxBarItemControl::GetCaption() { return FItemLink ? FItemLink->GetCaption() : AnsiString(); }
AnsiString TdxBarItemControl::GetHint() { return GetItem() ? GetItem()->GetHint() : AnsiString(); }
TShortCut TdxBarItemControl::GetShortCut() { return GetItem() ? GetItem()->GetShortCut() : TShortCut(0); }
Integer TdxBarItemControl::GetImageIndex() { return GetItem() ? GetItem()->GetImageIndex() : -1; }
TBitmap* TdxBarItemControl::GetGlyph() { return FItemLink ? FItemLink->GetGlyph() : nullptr; }

TCustomImageList* TdxBarItemControl::GetImages() {
  TdxBarManager* manager = GetBarManager();
  if (!manager) return nullptr;
  if (!IsEnabled() && manager->GetDisabledImages()) return manager->GetDisabledImages();
  return manager->GetImages();
}

Boolean TdxBarItemControl::GetImageSource(Byte sizeMode, Integer& index, TCustomImageList*& images,
                                          TBitmap*& glyph) {
  images = GetImages();
  index = GetImageIndex();
  glyph = GetGlyph();
  if (glyph && glyph->GetEmpty()) glyph = nullptr;
  if (glyph) return true;
  return images && index >= 0 && index < images->GetCount();
}

Boolean TdxBarItemControl::HasImageForSize(Byte sizeMode) {
  Integer index;
  TCustomImageList* images;
  TBitmap* glyph;
  return GetImageSource(sizeMode, index, images, glyph);
}

TSize TdxBarItemControl::GetGlyphSize(Byte sizeMode) {
  Integer index;
  TCustomImageList* images;
  TBitmap* glyph;
  if (GetImageSource(sizeMode, index, images, glyph)) {
    if (glyph) return TSize{glyph->GetWidth(), glyph->GetHeight()};
    return TSize{images->GetWidth(), images->GetHeight()};
  }
  if (sizeMode == smLarge) return TSize{20, 20};
  TCustomImageList* list = GetBarManager() ? GetBarManager()->GetImages() : nullptr;
  const Integer size = list ? list->GetWidth() : 16;
  return TSize{size, size};
}

// ---- View levels and content

TdxBarItemViewLevels TdxBarItemControl::CalcPossibleViewLevels() {
  TdxBarItemViewLevels levels{ivlSmallIconWithText};
  if (HasImageForSize(smSmall)) levels.Include(ivlSmallIcon);
  return levels;
}

TdxBarItemViewLevels TdxBarItemControl::GetPossibleViewLevels() {
  const TdxBarItemViewLevels levels = CalcPossibleViewLevels();
  if (levels.Empty()) throw EdxException(ClassName() + ".GetPossibleViewLevels = []");
  return levels;
}

TdxBarItemViewLevels TdxBarItemControl::GetAllowedViewLevels() {
  const TdxBarItemViewLevels possible = GetPossibleViewLevels();
  const TdxBarItemViewLevels allowed = FItemLink ? possible * FItemLink->GetViewLevels() : possible;
  return allowed.Empty() ? possible : allowed;
}

Byte TdxBarItemControl::GetDefaultSizeMode() { return smSmall; }

Byte TdxBarItemControl::GetSizeMode() {
  switch (FViewInfo ? FViewInfo->GetViewLevel() : ivlDefault) {
    case ivlLargeIconWithText: return smLarge;
    case ivlSmallIconWithText:
    case ivlSmallIcon: return smSmall;
    default: return GetDefaultSizeMode();
  }
}

Byte TdxBarItemControl::GetContentKinds() {
  switch (FViewInfo ? FViewInfo->GetViewLevel() : ivlDefault) {
    case ivlLargeIconWithText:
    case ivlSmallIconWithText: return Byte(ceText | (HasImageForSize(GetSizeMode()) ? ceIcon : 0));
    case ivlSmallIcon: return HasImageForSize(GetSizeMode()) ? Byte(ceIcon) : Byte(0);
    case ivlControlOnly: return 0;
    default: return GetDefaultContentKinds();
  }
}

Byte TdxBarItemControl::GetHostKind() { return FParent ? Byte(FParent->GetItemPaintKind()) : Byte(hkToolbar); }

Boolean TdxBarItemControl::IsGlyphShown() {
  return HasImageForSize(GetSizeMode()) && (GetContentKinds() & ceIcon) != 0;
}

// ---- Sizes

Integer TdxBarItemControl::GetCaptionWidth() {
  TdxBarPainter* painter = GetPainter();
  if (!painter || !GetCanvas()) return 0;
  TRect r;
  painter->CalcCaptionRect(FDrawParams, r);
  return r.Right - r.Left;
}

Integer TdxBarItemControl::GetCaptionOffset() {
  if (!FParent) return 0;
  return FParent->GetFont()->GetSize() / 2;
}

Integer TdxBarItemControl::GetGlyphAreaWidth() {
  if (auto* menu = dynamic_cast<TdxBarSubMenuControl*>(FParent); menu && GetHostKind() == hkMenu)
    return menu->GetIconAreaSize();
  if (!(FDrawParams->Content & ceIcon)) return 0;
  return IsTextRotated() ? FDrawParams->GlyphCellSize.cy : FDrawParams->GlyphCellSize.cx;
}

Integer TdxBarItemControl::GetCaptionAreaWidth() {
  if (!(FDrawParams->Content & ceText)) return 0;
  const Integer caption = GetCaptionWidth();
  if (GetHostKind() == hkMenu && FParent) {
    // The text starts where the painter indents it; then the caption, the shortcut column
    // after a gap, the right margin and the arrow column (the parent's text height plus 5).
    Integer width = caption;
    if (TdxBarPainter* painter = GetPainter()) width += std::max(0, painter->GetMenuTextIndent(FDrawParams) - GetGlyphAreaWidth());
    TdxBarItemLinks* links = FItemLink ? FItemLink->GetOwnerLinks() : nullptr;
    const AnsiString shortCut = ShortCutToText(GetShortCut());
    if ((!links || links->GetShowShortCuts()) && !shortCut.empty() && GetCanvas())
      width += GetCanvas()->TextWidth(shortCut) + FParent->GetTextSize() - 6;
    return width + 3 + FParent->GetTextSize() + 5;
  }
  if (!(FDrawParams->Content & ceIcon)) return caption + 2 * GetCaptionOffset();
  TRect indent;
  if (TdxBarPainter* painter = GetPainter()) painter->GetTextIndentRect(indent);
  return caption + indent.Left;
}

Integer TdxBarItemControl::GetSmallWidth() { return GetGlyphAreaWidth() + GetCaptionAreaWidth(); }

Integer TdxBarItemControl::GetSmallHeight() {
  Integer result = (FDrawParams->Content & ceText) ? std::max(GetTextSize(), 0) : 0;
  if (FDrawParams->Content & ceIcon)
    result = std::max(result, IsTextRotated() ? FDrawParams->GlyphCellSize.cx : FDrawParams->GlyphCellSize.cy);
  return result;
}

Integer TdxBarItemControl::GetLargeWidth() {
  const TSize g = GetGlyphSize(smLarge);
  const Integer glyph = IsTextRotated() ? g.cy : g.cx;
  if (!(FDrawParams->Content & ceText)) return glyph + 10;
  TdxBarItem* item = GetItem();
  auto* large = dynamic_cast<TdxBarLargeButton*>(item);
  const TdxBarGlyphLayout layout = large ? large->GetGlyphLayout() : glTop;
  if (layout == glTop || layout == glBottom) return std::max(glyph, GetCaptionWidth() + 6) + 10;
  return glyph + GetCaptionWidth() + 16;
}

Integer TdxBarItemControl::GetLargeHeight() {
  const TSize g = GetGlyphSize(smLarge);
  const Integer glyph = IsTextRotated() ? g.cx : g.cy;
  if (!(FDrawParams->Content & ceText)) return glyph + 6;
  TdxBarItem* item = GetItem();
  auto* large = dynamic_cast<TdxBarLargeButton*>(item);
  const TdxBarGlyphLayout layout = large ? large->GetGlyphLayout() : glTop;
  const Integer text = GetCanvas() ? GetCanvas()->TextHeight("Qq") : 0;
  if (layout == glTop || layout == glBottom) return glyph + text + 7;
  return std::max(glyph, text) + 6;
}

Integer TdxBarItemControl::GetWidthForSizeMode() {
  return GetSizeMode() == smLarge ? GetLargeWidth() : GetSmallWidth();
}
Integer TdxBarItemControl::GetHeightForSizeMode() {
  return GetSizeMode() == smLarge ? GetLargeHeight() : GetSmallHeight();
}
Integer TdxBarItemControl::GetWidth() {
  if (GetHostKind() == hkMenu) {
    Integer width = GetSmallWidth();
    if (TdxBarPainter* painter = GetPainter()) painter->AdjustMenuItemWidth(width);
    return width;
  }
  return IsTextRotated() ? GetHeightForSizeMode() : GetWidthForSizeMode();
}
Integer TdxBarItemControl::GetHeight() {
  if (GetHostKind() == hkMenu && FParent) {
    Integer height = FParent->GetItemTextSize(this);
    if (TdxBarPainter* painter = GetPainter()) painter->AdjustIconAreaSize(height);
    return height;
  }
  return IsTextRotated() ? GetWidthForSizeMode() : GetHeightForSizeMode();
}

Integer TdxBarItemControl::CalcWidth() {
  if (!FDrawParams) return 0;
  CalcDrawParams(false);
  const Integer width = GetWidth();
  if (GetAlign() == iaClient && FParent && (FParent->GetBehaviorFlags() & 0x10) && !FParent->IsVertical())
    return GetMinWidth();
  return std::max(width, GetMinWidth());
}

Integer TdxBarItemControl::CalcHeight() {
  if (!FDrawParams) return 0;
  CalcDrawParams(false);
  if (GetAlign() == iaClient && FParent && FParent->IsVertical())
    return IsTextRotated() ? GetMinWidth() : GetMinHeight();
  return GetHeight();
}

// ---- Style

void TdxBarItemControl::CalcStyleParams() { DoCalcStyleParams(); }

void TdxBarItemControl::DoCalcStyleParams() {
  if (FBkBrush) {
    DeleteObject(FBkBrush);
    FBkBrush = nullptr;
  }
  TdxBarItem* item = GetItem();
  TcxStyle* style = item ? item->GetStyle() : nullptr;
  if (style && style->GetAssignedValues().Contains(svColor) && style->GetColor() != clDefault)
    FBkBrush = CreateSolidBrush(ColorToRGB(style->GetColor()));
  FTextSize = 0;
}

void TdxBarItemControl::ResetCachedValues() {
  if (FViewInfo) FViewInfo->ResetCachedValues();
  if (FCachedImageOptions) FCachedImageOptions->Invalidate();
}

// ---- Draw parameters, parts and painting

TdxBarItemControlDrawParamsClass TdxBarItemControl::GetDrawParamsClass() {
  return TdxBarItemControlDrawParams::StaticClass();
}

void TdxBarItemControl::CalcDrawParams(Boolean full) {
  if (!FDrawParams) return;
  TdxBarItemControlDrawParams* p = FDrawParams;
  if (full) {
    p->Caption = GetCaption();
    p->Description = GetItem() ? GetItem()->GetDescription() : AnsiString();
    p->ShortCutText.clear();
    p->HostKind = GetHostKind();
    p->Enabled = IsEnabled();
    p->Selectable = AcceptsSelection();
    p->Selected = IsInSelection();
    p->HasDropDown = HasDropDown();
    p->HotPart = FHotPartIndex;
    p->Customizing = FParent && FParent->InCustomizingMode();
    p->KeyboardSelected = p->Selected && !FSelectedByMouse;
  }
  p->Canvas = GetCanvas();
  const Byte sizeMode = GetSizeMode();
  p->SizeMode = sizeMode;
  p->Content = GetContentKinds();
  if (TdxBarPainter* painter = GetPainter()) {
    TCustomImageList* list = GetBarManager() ? GetBarManager()->GetImages() : nullptr;
    const Integer glyph = list ? list->GetWidth() : 16;
    painter->CalcExtendedSize(glyph, glyph, p->GlyphCellSize);
  }
}

void TdxBarItemControl::CalculateParts() {
  const TRect rect = GetItemRect();
  FParts.assign(1, rect);
}

Integer TdxBarItemControl::GetPartAtPos(const TPoint& point) const {
  if (!PointInRect(GetItemRect(), point)) return -1;
  for (size_t i = 0; i < FParts.size(); ++i)
    if (PointInRect(FParts[i], point)) return Integer(i);
  return 100;
}

void TdxBarItemControl::UpdateHotPart(const TPoint& point) {
  if (!IsEnabled()) {
    FHotPartIndex = -1;
    return;
  }
  const Integer index = GetPartAtPos(point);
  if (index == FHotPartIndex) return;
  FHotPartIndex = index;
  Invalidate();
}

void TdxBarItemControl::Paint(TcxCanvas* canvas, const TRect& rect, Integer hostKind) {
  if (RectIsEmpty(rect) || !FDrawParams) return;
  TcxCanvas* previous = FActiveCanvas;
  FActiveCanvas = canvas;
  try {
    CalcDrawParams(true);
    Draw(rect, hostKind);
  } catch (...) {
    FActiveCanvas = previous;
    CalcDrawParams(false);
    throw;
  }
  FActiveCanvas = previous;
  CalcDrawParams(false);
}

// ---- Click

void TdxBarItemControl::Click(Boolean byMouse) {
  if (!IsEnabled()) return;
  TCustomdxBarControl* parent = FParent;
  orv::TObjectLinkGuard self(this);
  ControlClick(byMouse);
  if (self.Alive() && parent && TCustomdxBarControl::IsAlive(parent) && parent->HasItemControl(this))
    ExecuteClick(byMouse);
}

void TdxBarItemControl::ExecuteClick(Boolean byMouse) {
  if (dynamic_cast<TdxBarButtonControl*>(this) && FParent && FParent->GetKind() == 2) PlayMenuSound(msCommand);
  TdxBarItemLink* link = FItemLink ? FItemLink->GetSourceLink() : nullptr;
  TdxBarItem* item = GetItem();
  const Boolean clickable = IsClickable();
  const Boolean closes = CanCloseMenusOnClick();
  if (closes && link) {
    try {
      link->MarkUsed(true);
    } catch (...) {
    }
  }
  orv::TObjectLinkGuard self(this);
  Boolean shownPressed = false;
  auto* button = dynamic_cast<TdxBarButton*>(item);
  if ((!button || button->GetUnclickAfterDoing()) && (!closes || !FParent || !FParent->IsPopup())) {
    SetPressed(true);
    shownPressed = true;
  }
  struct TUnpress {
    TdxBarItemControl* Control;
    const orv::TObjectLinkGuard& Self;
    Boolean Shown;
    ~TUnpress() {
      if (Shown && Self.Alive()) Control->SetPressed(false);
    }
  } unpress{this, self, shownPressed};
  if (closes && FParent) FParent->Close();
  if (clickable && item) {
    orv::TObjectLinkGuard itemAlive(item);
    item->SetClickItemLink(link);
    struct TClearClickLink {
      TdxBarItem* Item;
      const orv::TObjectLinkGuard& Alive;
      ~TClearClickLink() {
        if (Alive.Alive()) Item->SetClickItemLink(nullptr);
      }
    } clear{item, itemAlive};
    item->Click();
  }
}

// ==== Item control view info ==================================================================

TdxBarItemControlViewInfo::TdxBarItemControlViewInfo(TdxBarItemControl* control) : FControl(control) {
  FAllowedViewLevels = control->GetAllowedViewLevels();
}

Integer TdxBarItemControlViewInfo::GetWidth(TdxBarItemViewLevel level) {
  if (level > ivlControlOnly || !FAllowedViewLevels.Contains(level)) throw EdxException("Testing! The level is not allowed");
  if (FWidthValid[level]) return FWidths[level];
  const TdxBarItemViewLevel saved = FViewLevel;
  FViewLevel = level;
  Integer width = 0;
  try {
    width = FControl->CalcWidth();
  } catch (...) {
    FViewLevel = saved;
    throw;
  }
  FViewLevel = saved;
  FWidths[level] = width;
  FWidthValid[level] = true;
  return width;
}

void TdxBarItemControlViewInfo::ResetCachedValues() {
  for (Boolean& valid : FWidthValid) valid = false;
}

// ==== Button-like and button controls =========================================================

TdxBarItemControlDrawParamsClass TdxBarButtonLikeControl::GetDrawParamsClass() {
  return TdxBarButtonLikeControlDrawParams::StaticClass();
}

Integer TdxBarButtonLikeControl::GetArrowWidth() {
  TdxBarPainter* painter = GetPainter();
  return painter && GetBarManager() ? painter->GetButtonArrowWidth(GetBarManager()) : 11;
}

Boolean TdxBarButtonLikeControl::IsCaptionFlat() {
  TdxBarPainter* painter = GetPainter();
  return painter && painter->AllowsItemColors();
}

Boolean TdxBarButtonLikeControl::IsCaptionSelected() {
  TdxBarPainter* painter = GetPainter();
  return painter && painter->ShiftsPressedButton();
}

void TdxBarButtonLikeControl::CalcDrawParams(Boolean full) {
  inherited::CalcDrawParams(full);
  TdxBarButtonLikeControlDrawParams* p = GetButtonDrawParams();
  if (!p) return;
  p->ArrowSize = TSize{GetArrowWidth(), GetParent() ? GetParent()->GetMenuArrowHeight() : 4};
  if (full) {
    p->CaptionSelected = IsCaptionSelected();
    p->CaptionFlat = IsCaptionFlat();
    p->InMainMenu = IsInMainMenu();
  }
}

void TdxBarButtonLikeControl::Draw(const TRect& rect, Integer hostKind) {
  if (TdxBarPainter* painter = GetPainter()) painter->DrawButtonContent(GetDrawParams(), rect);
}

TdxBarButton* TdxBarButtonControl::GetButton() const { return dynamic_cast<TdxBarButton*>(GetItem()); }

Boolean TdxBarButtonControl::HasDropDown() {
  TdxBarButton* button = GetButton();
  return button && (Integer(button->GetButtonStyle()) & 2) != 0;
}

Boolean TdxBarButtonControl::IsInSelection() {
  if (GetParent() && GetParent()->GetSelectedItemControl() == this && !GetParent()->InCustomizingMode()) return true;
  return GetPressed();
}

Boolean TdxBarButtonControl::IsPressedLook() {
  TCustomdxBarControl* parent = GetParent();
  if (parent && parent->GetSelectedItemControl() == this && parent->IsActive() && IsLeftMouseButtonDown() &&
      GetHotPartIndex() == 0) {
    POINT cursor{};
    GetCursorPos(&cursor);
    ::ScreenToClient(parent->GetHandle(), &cursor);
    if (PointInRect(GetItemRect(), TPoint{cursor.X, cursor.Y})) return true;
  }
  TdxBarButton* button = GetButton();
  return GetPressed() && !(button && (Integer(button->GetButtonStyle()) & 1));
}

Boolean TdxBarButtonControl::IsCaptionSelected() {
  TdxBarPainter* painter = GetPainter();
  if (!painter || !painter->IsFlatStyle()) return false;
  TdxBarButton* button = GetButton();
  const Boolean down = button && button->GetDown();
  if ((IsPressedLook() || (down && IsInSelection())) && painter->ShowsPressedState()) return true;
  if (IsPressedLook() || down || IsInSelection())
    return (IsWhiteButtonFace() && !IsDroppedDown()) || inherited::IsCaptionSelected();
  return false;
}

Boolean TdxBarButtonControl::CanCloseMenusOnClick() {
  TdxBarButton* button = GetButton();
  return (GetParent() && GetParent()->GetKind() == 0) || (button && button->GetCloseSubMenuOnClick());
}

void TdxBarButtonControl::CalcDrawParams(Boolean full) {
  inherited::CalcDrawParams(full);
  TdxBarButtonLikeControlDrawParams* p = GetButtonDrawParams();
  if (!p || !full) return;
  TdxBarButton* button = GetButton();
  p->ShortCutText = ShortCutToText(GetShortCut());
  p->Pressed = IsPressedLook();
  p->Down = button && button->GetDown();
  p->Sunken = p->Pressed;
  p->MenuOpen = FDroppedDown;
  p->FlatMenuOpen = FDroppedDown && GetPainter() && GetPainter()->IsFlatStyle() && IsDroppedDown();
  p->IsButton = true;
  p->DropDownEnabled = button && button->GetDropDownEnabled();
  p->Lowered = button && button->GetLowered();
}

void TdxBarButtonControl::CalculateParts() {
  inherited::CalculateParts();
  if (!HasDropDown() || !GetDrawParams()) return;
  std::vector<TRect> parts(2, GetItemRect());
  if (TdxBarPainter* painter = GetPainter()) painter->CalcButtonParts(GetDrawParams(), parts, GetItemRect());
  SetParts(parts);
}

void TdxBarButtonControl::ControlClick(Boolean byMouse) {
  // A press on the arrow part opens the menu; the main part clicks on release.
  if (HasDropDown() && byMouse && GetHotPartIndex() == 1 && IsLeftMouseButtonDown()) {
    DropDown(true);
    return;
  }
  Invalidate();
}

void TdxBarButtonControl::BeforeDestruction() {
  KillHoverTimersOf(this);
  TdxBarButton* button = GetButton();
  TdxBarPopupMenu* menu = button ? button->GetDropDownMenu() : nullptr;
  if (menu && menu->GetDropDownControl() == this) {
    menu->SetDropDownControl(nullptr);
    if (TCustomdxBarControl* window = GetDropDownBarControl()) window->HideControl();
  }
  inherited::BeforeDestruction();
}

TCustomdxBarControl* TdxBarButtonControl::GetDropDownBarControl() {
  TdxBarButton* button = GetButton();
  return button && button->GetDropDownMenu() ? button->GetDropDownMenu()->GetSubMenuControl() : nullptr;
}

Boolean TdxBarButtonControl::IsDroppedDown() { return FDroppedDown && GetDropDownBarControl(); }

Boolean TdxBarButtonControl::IsExpandKey(Word key) {
  if (!HasDropDown()) return false;
  if (GetParent() && GetParent()->GetKind() == 2) return key == VK_RIGHT;
  return key == VK_UP || key == VK_DOWN;
}

void TdxBarButtonControl::KeyDown(Word& key, TShiftState shift) {
  if (!IsExpandKey(key)) return;
  key = 0;
  DropDown(false);
}

void TdxBarButtonControl::ControlActivate(Boolean immediate, Boolean byMouse) {
  if (IsDroppedDown()) {
    KillHoverTimersOf(this);
    return;
  }
  inherited::ControlActivate(immediate, byMouse);
  TdxBarManager* manager = GetBarManager();
  if (!HasDropDown() || !(IsEnabled() || (manager && manager->IsDesigning()))) return;
  TCustomdxBarControl* parent = GetParent();
  const Boolean customizing = parent && parent->InCustomizingMode();
  // On a toolbar a menu opens only while the bar's menus are open (a press put them there).
  if (parent && parent->GetKind() != 2 && !parent->GetPressedDownMode() && !customizing) return;
  // In a menu, hovering opens it after the hover delay.
  if (parent && parent->GetKind() == 2 && !immediate && !customizing) {
    ScheduleHoverOpen(this);
    return;
  }
  orv::TObjectLinkGuard self(this);
  CloseHoverPendingNow();
  if (self.Alive()) OpenDropDown(byMouse);
}

void TdxBarButtonControl::ControlInactivate(Boolean immediate) {
  // Leaving an open drop-down button in a menu closes its menu after the hover delay.
  TCustomdxBarControl* parent = GetParent();
  if (parent && parent->GetKind() == 2 && !immediate && !parent->IsDestroying() && !parent->InCustomizingMode() &&
      IsDroppedDown() && !FOpeningDropDown) {
    ScheduleHoverClose(this);
    return;
  }
  inherited::ControlInactivate(immediate);
  // Showing the menu cancels the modes of the form and the bar (which leaves this control);
  // that is no reason to close it.
  if (FDroppedDown && !FOpeningDropDown) CloseDropDown(GetDropDownBarControl() != nullptr);
}

void TdxBarButtonControl::DropDown(Boolean byMouse) {
  if (TCustomdxBarControl* parent = GetParent()) parent->SetPressedDownMode(true);
  ControlActivate(true, byMouse);
}

void TdxBarButtonControl::OpenDropDown(Boolean byMouse) {
  TdxBarButton* button = GetButton();
  TCustomdxBarControl* parent = GetParent();
  TdxBarPopupMenu* menu = button ? button->GetDropDownMenu() : nullptr;
  if (FDroppedDown || !IsEnabled() || !menu || !button->GetDropDownEnabled() || !parent || !parent->HandleAllocated())
    return;
  FDroppedDown = true;
  Invalidate();
  // Below the button on a horizontal toolbar, beside it in a menu or on a vertical toolbar.
  const TRect r = GetItemRect();
  POINT anchor{r.Left, r.Bottom};
  if (parent->GetKind() == 2)
    anchor = POINT{r.Right, r.Top - parent->GetBorderOffset()};
  else if (parent->IsVertical())
    anchor = POINT{r.Right, r.Top};
  ::ClientToScreen(parent->GetHandle(), &anchor);
  orv::TObjectLinkGuard self(this);
  orv::TObjectLinkGuard menuAlive(menu);
  menu->SetDropDownControl(this);
  FOpeningDropDown = true;
  try {
    button->DropDown(this, anchor.X, anchor.Y, byMouse);
  } catch (...) {
    if (menuAlive.Alive() && menu->GetDropDownControl() == this) menu->SetDropDownControl(nullptr);
    if (self.Alive()) FDroppedDown = FOpeningDropDown = false;
    throw;
  }
  if (!self.Alive()) return;
  FOpeningDropDown = false;
  SetShowAnimation(false);
  if (!menuAlive.Alive() || !menu->GetSubMenuControl()) {
    // The menu did not open (or closed at once).
    if (menuAlive.Alive() && menu->GetDropDownControl() == this) menu->SetDropDownControl(nullptr);
    FDroppedDown = false;
  }
  Invalidate();
}

void TdxBarButtonControl::CloseDropDown(Boolean hide) {
  TdxBarButton* button = GetButton();
  TdxBarPopupMenu* menu = button ? button->GetDropDownMenu() : nullptr;
  if (menu && menu->GetDropDownControl() == this) menu->SetDropDownControl(nullptr);
  FDroppedDown = false;
  KillHoverTimersOf(this);
  TCustomdxBarControl* window = GetDropDownBarControl();
  orv::TObjectLinkGuard self(this);
  if (hide && window) window->HideControl();
  if (self.Alive()) Invalidate();
}

void TdxBarButtonControl::ExecuteClick(Boolean byMouse) {
  if (byMouse && GetHotPartIndex() != 0) return;
  TdxBarButton* button = GetButton();
  if (button && (Integer(button->GetButtonStyle()) & 1)) button->SetDown(!button->GetDown());
  ControlInactivate(true);
  inherited::ExecuteClick(byMouse);
}

TdxBarPaintStyle TdxBarButtonControl::GetEffectivePaintStyle() {
  TdxBarPaintStyle style = GetItemLink() ? GetItemLink()->GetPaintStyle() : psStandard;
  if (GetHostKind() != hkMenu && style == psStandard && !HasImageForSize(GetSizeMode())) style = psCaption;
  return style;
}

Byte TdxBarButtonControl::GetDefaultContentKinds() {
  const Boolean menu = GetHostKind() == hkMenu;
  switch (GetEffectivePaintStyle()) {
    case psStandard:
      if (menu) return ceIcon | ceText;
      return HasImageForSize(GetSizeMode()) ? Byte(ceIcon) : Byte(ceText);
    case psCaption: return ceText;
    case psCaptionInMenu: return menu ? Byte(ceText) : Byte(ceIcon);
    case psCaptionGlyph: return ceIcon | ceText;
  }
  return ceText;
}

Byte TdxBarButtonControl::GetContentKinds() {
  if (GetViewInfo() && GetViewInfo()->GetViewLevel() == ivlSmallIcon) return ceIcon;
  return inherited::GetContentKinds();
}

Integer TdxBarButtonControl::GetWidth() {
  Integer width = inherited::GetWidth();
  if (TdxBarPainter* painter = GetPainter()) {
    painter->AdjustButtonWidth(GetDrawParams(), width);
    if (GetButton() && GetButton()->GetLowered()) width += 2 * painter->GetButtonExtraSpace();
  }
  return width;
}

Integer TdxBarButtonControl::GetHeight() {
  Integer height = inherited::GetHeight();
  if (TdxBarPainter* painter = GetPainter())
    if (GetButton() && GetButton()->GetLowered()) height += 2 * painter->GetButtonExtraSpace();
  return height;
}

Integer TdxBarButtonControl::GetSmallHeight() {
  Integer height = inherited::GetSmallHeight();
  if (GetDrawParams()->Content & ceText)
    height = std::max(height, IsTextRotated() ? GetDrawParams()->GlyphCellSize.cx : GetDrawParams()->GlyphCellSize.cy);
  return height;
}

// ---- Large buttons

Integer TdxBarLargeButtonControl::GetArrowWidth() {
  TdxBarPainter* painter = GetPainter();
  if (painter && GetBarManager() && dynamic_cast<TdxBarControl*>(GetParent()))
    return painter->GetLargeButtonArrowWidth(GetBarManager());
  return inherited::GetArrowWidth();
}

Byte TdxBarLargeButtonControl::GetDefaultSizeMode() {
  return GetHostKind() == hkMenu ? inherited::GetDefaultSizeMode() : Byte(smLarge);
}

Byte TdxBarLargeButtonControl::GetDefaultContentKinds() {
  if (GetHostKind() == hkMenu) return inherited::GetDefaultContentKinds();
  TdxBarItem* item = GetItem();
  return item && item->GetShowCaption() ? Byte(ceIcon | ceText) : Byte(ceIcon);
}

TdxBarItemViewLevels TdxBarLargeButtonControl::CalcPossibleViewLevels() {
  TdxBarItemViewLevels levels = inherited::CalcPossibleViewLevels();
  levels.Include(ivlLargeIconWithText);
  return levels;
}

Boolean TdxBarLargeButtonControl::GetImageSource(Byte sizeMode, Integer& index, TCustomImageList*& images,
                                                 TBitmap*& glyph) {
  if (sizeMode != smLarge) return inherited::GetImageSource(sizeMode, index, images, glyph);
  index = -1;
  images = nullptr;
  glyph = nullptr;
  auto* item = dynamic_cast<TdxBarLargeButton*>(GetItem());
  TdxBarManager* manager = GetBarManager();
  if (!item || !manager) return false;
  auto valid = [](TCustomImageList* list, Integer i) { return list && i >= 0 && i < list->GetCount(); };
  auto hot = [&] {
    if (item->GetHotGlyph() && !item->GetHotGlyph()->GetEmpty()) {
      glyph = item->GetHotGlyph();
      return true;
    }
    if (valid(manager->GetHotImages(), item->GetHotImageIndex())) {
      images = manager->GetHotImages();
      index = item->GetHotImageIndex();
      return true;
    }
    return false;
  };
  auto large = [&] {
    if (item->GetLargeGlyph() && !item->GetLargeGlyph()->GetEmpty()) {
      glyph = item->GetLargeGlyph();
      return true;
    }
    if (valid(manager->GetLargeImages(), item->GetLargeImageIndex())) {
      images = manager->GetLargeImages();
      index = item->GetLargeImageIndex();
      return true;
    }
    return false;
  };
  // The hot image while the button is selected, else the large one.
  const Boolean selected = GetParent() && GetParent()->GetSelectedItemControl() == this && IsEnabled();
  if (selected ? (hot() || large()) : (large() || hot())) return true;
  images = manager->GetLargeImages() ? manager->GetLargeImages() : manager->GetHotImages();
  return false;
}

void TdxBarLargeButtonControl::CalcDrawParams(Boolean full) {
  inherited::CalcDrawParams(full);
  TdxBarButtonLikeControlDrawParams* p = GetButtonDrawParams();
  auto* item = dynamic_cast<TdxBarLargeButton*>(GetItem());
  if (!p || !full || !item) return;
  p->GrayScaleGlyph = !p->Selected && p->Enabled && item->GetAutoGrayScale();
}

Integer TdxBarLargeButtonControl::GetWidthForSizeMode() {
  TdxBarItem* item = GetItem();
  if (GetSizeMode() == smLarge && item && item->GetWidth() != 0) return item->GetWidth();
  return inherited::GetWidthForSizeMode();
}

Integer TdxBarLargeButtonControl::GetHeightForSizeMode() {
  auto* item = dynamic_cast<TdxBarLargeButton*>(GetItem());
  if (GetSizeMode() == smLarge && item && item->GetHeight() != 0) return item->GetHeight();
  return inherited::GetHeightForSizeMode();
}

Boolean TdxBarSubItemControl::IsInMainMenu() { return GetParent() && GetParent()->IsMainMenu(); }

Byte TdxBarSubItemControl::GetDefaultContentKinds() {
  if (GetHostKind() == hkMenu) return ceIcon | ceText;
  return HasImageForSize(GetSizeMode()) ? Byte(ceIcon | ceText) : Byte(ceText);
}

// ==== Painter: colours, glyphs, text and buttons ==============================================

TColor TdxBarPainter::GetItemTextColor(TdxBarItemControl* control, Boolean selected, Boolean flat) {
  return TColor(GetSysColor(selected && !flat ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
}

void TdxBarPainter::GetDisabledTextColorPair(TdxBarItemControl* control, Boolean selected, TColor& text,
                                             TColor& shadow, Boolean flat) {
  if (selected || flat) {
    text = shadow = TColor(GetSysColor(COLOR_GRAYTEXT));
  } else {
    text = TColor(GetSysColor(COLOR_BTNSHADOW));
    shadow = TColor(GetSysColor(COLOR_BTNHIGHLIGHT));
  }
}

void TdxBarPainter::GetItemColors(TdxBarItemControl* control, Boolean enabled, TColor& text, TColor& shadow,
                                  Boolean flat, Boolean selected) {
  if (!enabled) {
    GetDisabledTextColorPair(control, selected, text, shadow, flat);
    return;
  }
  TdxBarItem* item = control ? control->GetItem() : nullptr;
  TcxStyle* style = item ? item->GetStyle() : nullptr;
  if (style && style->GetAssignedValues().Contains(svTextColor) && style->GetTextColor() != clDefault)
    text = TColor(ColorToRGB(style->GetTextColor()));
  else
    text = GetItemTextColor(control, selected, flat);
  shadow = text;
}

HBRUSH TdxBarPainter::GetToolbarBrush() { return GetSysColorBrush(COLOR_BTNFACE); }
HBRUSH TdxBarPainter::GetFaceBrush() { return GetSysColorBrush(COLOR_BTNFACE); }
HBRUSH TdxBarPainter::GetSelectionBrush() { return GetSysColorBrush(COLOR_HIGHLIGHT); }

HBRUSH TdxBarPainter::GetItemBackgroundBrush(TdxBarItemControlDrawParams* params) {
  return params && params->Owner ? params->Owner->GetBkBrush() : GetToolbarBrush();
}

Boolean TdxBarPainter::IsItemFramed(TdxBarItemControlDrawParams* params) {
  return IsFlatStyle() && (params->MenuOpen || params->Selected);
}

void TdxBarPainter::FillItemBackground(TdxBarItemControl* control, HDC dc, Boolean useBrush, HBRUSH brush,
                                       const TRect& rect) {
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  if (useBrush && brush) {
    FillRect(dc, &r, brush);
    return;
  }
  TCustomdxBarControl* parent = control ? control->GetParent() : nullptr;
  if (parent)
    parent->DrawBackground(dc, rect, brush, clNone);
  else
    FillRect(dc, &r, GetToolbarBrush());
}

void TdxBarPainter::DrawLoweredEdge(HDC dc, TRect& rect) {
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
  rect = TRect{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
}

namespace {

// Where a large image stands in its area: centred, or, beside a shown caption, at the side the
// glyph layout names (on a turned bar the sides turn with the caption).
TRect LargeImageRect(const TSize& size, const TRect& area, TdxBarGlyphLayout layout, Integer hostKind,
                     Boolean captionShown) {
  Integer left = area.Left + (area.Width() - size.cx) / 2;
  Integer top = area.Top + (area.Height() - size.cy) / 2;
  if (captionShown) {
    if (hostKind == hkRotatedToolbar) {
      switch (layout) {
        case glLeft: top = area.Top + 4; break;
        case glRight: top = area.Bottom - 4 - size.cy; break;
        case glTop: left = area.Right - 2 - size.cx; break;
        case glBottom: left = area.Left + 2; break;
      }
    } else {
      switch (layout) {
        case glLeft: left = area.Left + 4; break;
        case glRight: left = area.Right - 4 - size.cx; break;
        case glTop: top = area.Top + 2; break;
        case glBottom: top = area.Bottom - 2 - size.cy; break;
      }
    }
  }
  return TRect{left, top, left + size.cx, top + size.cy};
}

}  // namespace

void TdxBarPainter::DrawItemGlyph(TdxBarItemControlDrawParams* params, HDC dc, const TRect& area, TRect& glyphRect) {
  TdxBarItemControl* control = params->Owner;
  glyphRect = TRect();
  Integer index;
  TCustomImageList* images;
  TBitmap* glyph;
  if (!control->GetImageSource(params->SizeMode, index, images, glyph)) return;
  const TSize size = glyph ? TSize{glyph->GetWidth(), glyph->GetHeight()} : TSize{images->GetWidth(), images->GetHeight()};
  auto* button = dynamic_cast<TdxBarButtonLikeControlDrawParams*>(params);
  const Boolean down = button && button->Down;
  const Boolean pressed = button && button->Sunken;
  if (params->SizeMode == smLarge && params->HostKind != hkMenu) {
    // The large view: the glyph stands at the side of the button its layout names.
    TdxBarItem* item = control->GetItem();
    glyphRect = LargeImageRect(size, area, item ? item->GetGlyphLayout() : glTop, params->HostKind,
                               (params->Content & ceText) != 0);
    if (button) DrawGlyphFrame(button, dc, area);
    DrawGlyphImage(params, dc, glyphRect, index, images, glyph);
    return;
  }
  Integer shift = 0;
  if (down) shift += GetCheckedGlyphShift(control);
  if (pressed) shift += GetPressedGlyphShift(control, down);
  glyphRect.Left = area.Left + (area.Width() - size.cx) / 2 + shift;
  glyphRect.Top = area.Top + (area.Height() - size.cy) / 2 + shift;
  glyphRect.Right = glyphRect.Left + size.cx;
  glyphRect.Bottom = glyphRect.Top + size.cy;
  if (button) DrawGlyphFrame(button, dc, area);
  DrawGlyphImage(params, dc, glyphRect, index, images, glyph);
}

void TdxBarPainter::DrawGlyphImage(TdxBarItemControlDrawParams* params, HDC dc, const TRect& glyphRect, Integer index,
                                   TCustomImageList* images, TBitmap* glyph) {
  TdxBarItemControl* control = params->Owner;
  auto* button = dynamic_cast<TdxBarButtonLikeControlDrawParams*>(params);
  TdxBarManager* manager = control->GetBarManager();
  TdxBarImageOptions* options = manager ? manager->GetImageOptions() : nullptr;
  TdxBarGlyphLookFlags flags;
  flags.CanDrawStateImage = params->Enabled;
  flags.FadedDisabledImages = options && options->GetMakeDisabledImagesFaded();
  flags.GrayScale = button && button->GrayScaleGlyph;
  flags.UsesGlyphShadow = UsesGlyphShadow();
  flags.Selected = params->Selected;
  flags.Down = button && button->Down;
  flags.Sunken = button && button->Sunken;
  flags.ShadowsOffset = DrawsGlyphShadowOffset();
  TdxCachedImageOptions* cache = options && options->GetCacheGlyphs() ? control->GetCachedImageOptions() : nullptr;
  // The background is already painted: the glyph is laid over it.
  DrawItemGlyphImage(cache, dc, nullptr, !options || options->GetUseLeftBottomPixelAsTransparent(),
                     options && options->GetSmoothGlyphs(), flags, options ? options->GetImageListBkColor() : clNone,
                     index, images, glyph, glyphRect, glyphRect);
}

void TdxBarPainter::DrawItemText(TdxBarItemControl* control, HDC dc, UINT format, Boolean flat, Boolean clip,
                                 Boolean rotated, Boolean selected, Boolean enabled, Integer alignment,
                                 const TRect& rect, const AnsiString& text) {
  HGDIOBJ oldFont = nullptr;
  if (control && control->GetCanvas()) oldFont = SelectObject(dc, control->GetCanvas()->GetFontHandle());
  const int savedClip = rotated && clip ? SaveDC(dc) : 0;
  if (!clip) format |= DT_NOCLIP;
  TRect place = rect;
  AnsiString shown = text;
  Integer beforeMarker = 0, markedWidth = 0;
  Boolean marker = false;
  if (rotated) {
    // The platform cannot underline turned text: the accelerator marker comes out of the text
    // and its underline is drawn by hand beside the marked character.
    if (clip) {
      IntersectClipRect(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
      format |= DT_NOCLIP;
    }
    for (size_t i = 0; i + 1 < shown.size(); ++i) {
      if (shown[i] != '&') continue;
      shown.erase(i, 1);
      if (shown[i] == '&') continue;  // "&&" writes one ampersand
      SIZE before{}, marked{};
      GetTextExtentPoint32(dc, shown.c_str(), Integer(i), &before);
      GetTextExtentPoint32(dc, shown.c_str() + i, 1, &marked);
      beforeMarker = before.cx;
      markedWidth = marked.cx;
      marker = true;
      break;
    }
    SIZE extent{};
    GetTextExtentPoint32(dc, shown.c_str(), Integer(shown.size()), &extent);
    // The text's top faces right: its reference point is the top-right corner of the turned text.
    place.Left += (rect.Width() + extent.cy) / 2;
    place.Top += alignment == 1 ? (rect.Height() - extent.cx) / 2 : alignment == 2 ? rect.Height() - extent.cx : 0;
    place.Right = place.Left + extent.cy;
    place.Bottom = place.Top + extent.cx;
    format = (format | DT_SINGLELINE | DT_NOPREFIX) & ~UINT(DT_VCENTER | DT_CENTER | DT_RIGHT | DT_BOTTOM);
  } else {
    format |= alignment == 1 ? DT_CENTER : alignment == 2 ? DT_RIGHT : DT_LEFT;
    format |= DT_VCENTER;
  }
  TColor textColor, shadow;
  GetItemColors(control, enabled, textColor, shadow, flat && IsFlatStyle(), selected);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = GetTextColor(dc);
  TEXTMETRIC metrics{};
  if (marker) GetTextMetrics(dc, &metrics);
  auto underline = [&](Integer offset, TColor color) {
    if (!marker) return;
    const Integer x = (rect.Left + rect.Right - Integer(metrics.tmHeight)) / 2 + Integer(metrics.tmDescent) - 2 + offset;
    const Integer top = place.Top + beforeMarker + offset;
    HBRUSH brush = CreateSolidBrush(COLORREF(ColorToRGB(color)));
    RECT line{x, top, x + 1, top + markedWidth};
    FillRect(dc, &line, brush);
    DeleteObject(brush);
  };
  if (textColor != shadow) {
    RECT r{place.Left + 1, place.Top + 1, place.Right + 1, place.Bottom + 1};
    SetTextColor(dc, COLORREF(shadow));
    DrawText(dc, shown.c_str(), Integer(shown.size()), &r, format);
    underline(1, shadow);
  }
  RECT r{place.Left, place.Top, place.Right, place.Bottom};
  SetTextColor(dc, COLORREF(textColor));
  DrawText(dc, shown.c_str(), Integer(shown.size()), &r, format);
  underline(0, textColor);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
  if (savedClip) RestoreDC(dc, savedClip);
  if (oldFont) SelectObject(dc, oldFont);
}

void TdxBarPainter::CalcCaptionRect(TdxBarItemControlDrawParams* params, TRect& rect) {
  rect = TRect();
  TcxCanvas* canvas = params->Canvas ? params->Canvas : params->Owner->GetCanvas();
  if (!canvas) return;
  AnsiString caption = params->Caption;
  const size_t amp = caption.find('&');
  RECT r{0, 0, 0, 0};
  DrawText(canvas->GetHandle(), caption.c_str(), Integer(caption.size()), &r, DT_SINGLELINE | DT_CALCRECT);
  (void)amp;
  rect = TRect{r.Left, r.Top, r.Right, r.Bottom};
}

void TdxBarPainter::OffsetPressedContent(Boolean down, Boolean pressed, TRect& rect) {
  if (IsFlatStyle()) return;
  Integer shift = 0;
  if (down || pressed) shift = 1;
  if (down && pressed && !AllowsShadows()) shift = 2;
  rect = TRect{rect.Left + shift, rect.Top + shift, rect.Right + shift, rect.Bottom + shift};
}

void TdxBarPainter::CalcGlyphAndTextLayout(TdxBarItemControlDrawParams* params, TRect& textRect, Integer& alignment,
                                           const TRect& glyphRect) {
  alignment = 0;
  TdxBarItemControl* control = params->Owner;
  const Boolean vertical = params->HostKind == hkRotatedToolbar;
  if (params->SizeMode == smLarge && params->HostKind != hkMenu) {
    // The caption takes the room the glyph leaves, centred in it unless the glyph stands at
    // its start or end.
    TdxBarItem* item = control->GetItem();
    const TdxBarGlyphLayout layout = item ? item->GetGlyphLayout() : glTop;
    alignment = layout == glLeft ? 0 : layout == glRight ? 2 : 1;
    if (RectIsEmpty(glyphRect)) return;
    switch (layout) {
      case glLeft:
        if (vertical) textRect.Top = glyphRect.Bottom + 3; else textRect.Left = glyphRect.Right + 3;
        break;
      case glRight:
        if (vertical) textRect.Bottom = glyphRect.Top - 3; else textRect.Right = glyphRect.Left - 3;
        break;
      case glTop:
        if (vertical) textRect.Right = glyphRect.Left; else textRect.Top = glyphRect.Bottom;
        break;
      case glBottom:
        if (vertical) textRect.Left = glyphRect.Right; else textRect.Bottom = glyphRect.Top;
        break;
    }
    return;
  }
  if (params->Content & ceIcon) {
    if (vertical)
      textRect.Top += params->GlyphCellSize.cy;
    else
      textRect.Left += params->GlyphCellSize.cx;
  } else {
    if (vertical)
      textRect.Top += control->GetCaptionOffset();
    else
      textRect.Left += control->GetCaptionOffset();
  }
  if (!DrawsAsMenuBarItem(control)) {
    auto* button = dynamic_cast<TdxBarButtonLikeControlDrawParams*>(params);
    OffsetPressedContent(button && button->Down, button && button->Sunken, textRect);
  }
}

void TdxBarPainter::DrawButtonContent(TdxBarItemControlDrawParams* params, const TRect& itemRect) {
  TdxBarItemControl* control = params->Owner;
  TcxCanvas* canvas = params->Canvas;
  if (!canvas) return;
  if (params->HostKind == hkMenu) {
    DrawMenuItemContent(params, itemRect);
    return;
  }
  HDC dc = canvas->GetHandle();
  auto* button = dynamic_cast<TdxBarButtonLikeControlDrawParams*>(params);
  TRect rect = itemRect;
  if (button && button->Lowered) DrawLoweredEdge(dc, rect);
  TRect content = rect;
  const Boolean dropDownButton = button && button->IsButton && params->HasDropDown;
  if (dropDownButton) content.Right -= button->ArrowSize.cx;
  // Background first: the window's own background, or the item's brush when it has one.
  FillItemBackground(control, dc, control->HasOwnBkBrush(), control->GetBkBrush(), content);
  TRect glyphRect;
  if (params->SizeMode == smLarge) {
    // The large view: glyph and caption share the face inside a one-pixel margin, and move
    // together when the button is pressed.
    TRect face{content.Left + 1, content.Top + 1, content.Right - 1, content.Bottom - 1};
    OffsetPressedContent(button && button->Down, button && button->Sunken, face);
    if (params->Content & ceIcon) DrawItemGlyph(params, dc, face, glyphRect);
    if (button) DrawGlyphFrame(button, dc, content);
    if (params->Content & ceText) {
      TRect text = face;
      Integer alignment = 1;
      CalcGlyphAndTextLayout(params, text, alignment, glyphRect);
      DrawItemText(control, dc, DT_SINGLELINE, button && button->CaptionFlat, false, params->HostKind == hkRotatedToolbar,
                   button && button->CaptionSelected, params->Enabled, alignment, text, params->Caption);
    }
    if (params->HasDropDown && !(button && button->InMainMenu) && dropDownButton) DrawButtonDropDownPart(params, rect);
    return;
  }
  if (params->Content & ceIcon) {
    TRect area = content;
    const Boolean vertical = params->HostKind == hkRotatedToolbar;
    if (vertical)
      area.Bottom = area.Top + params->GlyphCellSize.cy;
    else
      area.Right = area.Left + params->GlyphCellSize.cx;
    if (!(params->Content & ceText)) area = content;
    DrawItemGlyph(params, dc, area, glyphRect);
  }
  // The frame around the content (the whole button face of a caption-only button).
  if (button) DrawGlyphFrame(button, dc, (params->Content & ceIcon) && (params->Content & ceText) ? content : content);
  if (params->Content & ceText) {
    TRect text = content;
    Integer alignment = 0;
    CalcGlyphAndTextLayout(params, text, alignment, glyphRect);
    DrawItemText(control, dc, DT_SINGLELINE, button && button->CaptionFlat, false, params->HostKind == hkRotatedToolbar,
                 button && button->CaptionSelected, params->Enabled, alignment, text, params->Caption);
  }
  if (params->HasDropDown && !(button && button->InMainMenu) && dropDownButton) DrawButtonDropDownPart(params, rect);
}

void TdxBarPainter::DrawButtonFrame(TdxBarItemControlDrawParams* params, const TRect& rect, HBRUSH brush) {
  FillItemBackground(params->Owner, params->Canvas->GetHandle(), IsItemFramed(params), brush, rect);
}

void TdxBarPainter::DrawButtonDropDownPart(TdxBarItemControlDrawParams* params, const TRect& itemRect) {
  auto* button = dynamic_cast<TdxBarButtonLikeControlDrawParams*>(params);
  if (!button) return;
  const TRect part{itemRect.Right - button->ArrowSize.cx, itemRect.Top, itemRect.Right, itemRect.Bottom};
  DrawButtonFrame(params, part, GetItemBackgroundBrush(params));
  TRect arrow = part;
  if (!AllowsShadows() && params->MenuOpen && part.Width() > 9) arrow = TRect{arrow.Left + 1, arrow.Top + 1, arrow.Right + 1, arrow.Bottom + 1};
  DrawItemArrow(params->Canvas->GetHandle(), arrow, true, clDefault, AllowsShadows(), params->Enabled && button->DropDownEnabled,
                false, std::max(3, button->ArrowSize.cy));
}

void TdxBarPainter::CalcButtonParts(TdxBarItemControlDrawParams* params, std::vector<TRect>& parts,
                                    const TRect& rect) {
  auto* button = dynamic_cast<TdxBarButtonLikeControlDrawParams*>(params);
  if (parts.size() < 2 || !button) return;
  parts[1] = rect;
  parts[0] = rect;
  parts[0].Right = parts[1].Left = parts[1].Right - button->ArrowSize.cx;
}

void TdxBarPainter::AdjustButtonWidth(TdxBarItemControlDrawParams* params, Integer& width) {
  auto* button = dynamic_cast<TdxBarButtonLikeControlDrawParams*>(params);
  if (!button) return;
  if (button->IsButton) {
    if (params->HostKind == hkMenu || !params->HasDropDown) return;
    TRect indent;
    GetTextIndentRect(indent);
    width += indent.Left + button->ArrowSize.cx;
  } else if (params->HasDropDown && !button->InMainMenu && params->Owner->GetParent()) {
    width += params->Owner->GetParent()->GetTextSize() / 2;
  }
}

// ---- Toolbars, captions and borders

void TdxBarPainter::DrawBarControlBackground(TCustomdxBarControl* barControl) {
  const TRect client = barControl->GetClientRect();
  barControl->DrawBackground(barControl->GetBarControlCanvas()->GetHandle(), client,
                             barControl->GetBackgroundBrush(), clNone);
}

void TdxBarPainter::DrawToolbarSeparator(TCustomdxBarControl* barControl, HDC dc, Boolean horizontal, HBRUSH brush,
                                         const TRect& rect) {
  const Integer offset = GetSeparatorOffset();
  barControl->DrawBackground(dc, rect, brush, clNone);
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  if (horizontal) {
    r.Left += offset;
    r.Right -= offset;
    r.Top = rect.Top + (rect.Height() - 2) / 2;
    DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP);
  } else {
    r.Top += offset;
    r.Bottom -= offset;
    r.Left = rect.Left + (rect.Width() - 2) / 2;
    DrawEdge(dc, &r, EDGE_ETCHED, BF_LEFT);
  }
}

void TdxBarPainter::CalcBarBorders(TdxBar* bar, TdxBarDockingStyle style, TRect& rect, Boolean withSizeGrip) {
  rect = TRect();
  if (style == dsNone) {
    rect = TRect{GetFloatingFrameWidth(), GetFloatingFrameHeight(), GetFloatingFrameWidth(), GetFloatingFrameHeight()};
    // A window without a floating caption (the mark's popup) has the frame alone.
    auto* toolbar = bar ? dynamic_cast<TdxBarControl*>(bar->GetControl()) : nullptr;
    if (toolbar && !toolbar->HasFloatingCaption()) return;
    rect.Left += GetFloatingSideBorder();
    rect.Right += GetFloatingSideBorder();
    rect.Top += GetFloatingCaptionHeight(bar ? bar->GetControl() : nullptr) + GetFloatingTopBorder();
    rect.Bottom += GetFloatingBottomBorder();
    return;
  }
  if (!bar || bar->GetBorderStyle() == bbsSingle) {
    GetDockedBorderSizes(bar, style, rect);
    auto* toolbar = bar ? dynamic_cast<TdxBarControl*>(bar->GetControl()) : nullptr;
    const Integer grip = (!bar || bar->CanMove()) ? GetGripAreaSize(toolbar) : GetNoGripSize();
    if (style == dsTop || style == dsBottom)
      rect.Left += grip;
    else
      rect.Top += grip;
  }
}

void TdxBarPainter::DrawDockedBorder(TdxBarControl* toolbar, HDC dc, HBRUSH brush, TRect& rect) {}

void TdxBarPainter::CalcFloatingCaptionRect(const TRect& windowRect, TRect& rect) {
  rect = TRect{windowRect.Left + GetFloatingFrameWidth(), windowRect.Top + GetFloatingFrameHeight(),
               windowRect.Right - GetFloatingFrameWidth(), 0};
  rect.Bottom = rect.Top + GetSmallCaptionHeight();
}

TColor TdxBarPainter::GetFloatingCaptionColor(TCustomdxBarControl* barControl, Boolean active) {
  return TColor(GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
}
TColor TdxBarPainter::GetFloatingCaptionTextColor() { return TColor(GetSysColor(COLOR_CAPTIONTEXT)); }

void TdxBarPainter::DrawFloatingCaption(TdxBarControl* toolbar, HDC dc, HBRUSH brush, const TRect& captionRect,
                                        TRect textRect) {
  RECT line{textRect.Left, textRect.Bottom, textRect.Right, textRect.Bottom + 1};
  FillRect(dc, &line, brush);
  if (toolbar->HasCloseButton()) {
    textRect.Right -= GetSmallCaptionHeight();
    DrawCloseButton(toolbar, dc, toolbar->GetCloseButtonRect());
  }
  textRect.Left += 2;
  if (textRect.Right <= textRect.Left) return;
  TdxBarManager* manager = toolbar->GetOwnerBarManager();
  HFONT font = CreateSmallCaptionFont(toolbar->GetFont(), manager && manager->GetUseSystemFont());
  HGDIOBJ old = SelectObject(dc, font);
  const TColor back = GetFloatingCaptionColor(toolbar, true);
  SetTextColor(dc, COLORREF(GetFloatingCaptionTextColor()));
  SetBkColor(dc, COLORREF(back));
  const AnsiString caption = toolbar->GetCaption();
  TEXTMETRIC metrics{};
  GetTextMetrics(dc, &metrics);
  const Integer y = textRect.Top + (textRect.Height() - Integer(metrics.tmHeight)) / 2;
  RECT clip{textRect.Left - 2, textRect.Top, textRect.Right, textRect.Bottom};
  ExtTextOut(dc, textRect.Left, y, ETO_OPAQUE | ETO_CLIPPED, &clip, caption.c_str(), UINT(caption.size()), nullptr);
  SelectObject(dc, old);
  DeleteObject(font);
}

// ==== Common bar window =======================================================================

TCustomdxBarControl::TCustomdxBarControl(TComponent* owner) : TCustomControl(owner) {
  InstallBarWindowServices();
  // The window captures the mouse itself, and a press and release is a click of an item, not
  // of the window.
  SetControlStyle(GetControlStyle() - TControlStyle{csCaptureMouse, csClickEvents});
  SetColor(clBtnFace);
  SetBounds(100, 100, 50, 30);
  SetVisible(false);
  LiveBarControls().push_back(this);
}

void TCustomdxBarControl::SetChildBarControl(TCustomdxBarControl* value) {
  if (FChildBarControl == value) return;
  TCustomdxBarControl* old = FChildBarControl;
  FChildBarControl = value;
  if (old && old->FParentBarControl == this) old->FParentBarControl = nullptr;
  if (value) {
    if (value->FParentBarControl && value->FParentBarControl != this)
      value->FParentBarControl->FChildBarControl = nullptr;
    value->FParentBarControl = this;
  }
}

void TCustomdxBarControl::SetParentBarControl(TCustomdxBarControl* value) {
  if (value)
    value->SetChildBarControl(this);
  else if (FParentBarControl)
    FParentBarControl->SetChildBarControl(nullptr);
}

void TCustomdxBarControl::BeforeDestruction() {
  FState |= 0x8;
  if (TCustomdxBarControl* child = FChildBarControl) {
    FChildBarControl = nullptr;
    child->FParentBarControl = nullptr;
    if (!child->IsDestroying()) child->Free();
  }
  if (FParentBarControl) SetParentBarControl(nullptr);
  if (FActive) SetActive(false);
  if (gActiveBarControl == this) gActiveBarControl = FPreviousActive;
  TdxBarManager* manager = GetOwnerBarManager();
  if (manager) {
    TdxBarItemControl* selected = manager->GetSelectedItem();
    if (selected && selected->GetParent() == this) manager->StoreSelectedItem(nullptr);
  }
  inherited::BeforeDestruction();
}

TCustomdxBarControl::~TCustomdxBarControl() {
  DestroyItemControls();
  if (FItemLinks && FItemLinks->GetBarControl() == this) FItemLinks->SetBarControl(nullptr);
  auto& live = LiveBarControls();
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
  for (TCustomdxBarControl* other : live)
    if (other->FPreviousActive == this) other->FPreviousActive = FPreviousActive;
  if (gActiveBarControl == this) gActiveBarControl = nullptr;
  InvalidateObjectLinks(this);
  orv::Free(FCanvas);
  FreeScreenCanvas();
  FState |= 0x10;
}

void TCustomdxBarControl::FreeScreenCanvas() {
  if (FScreenCanvas) FreeAndNil(FScreenCanvas);
  if (FScreenDC) {
    ReleaseDC(nullptr, FScreenDC);
    FScreenDC = nullptr;
  }
}

Boolean TCustomdxBarControl::IsAlive(TCustomdxBarControl* control) {
  const auto& live = LiveBarControls();
  return control && std::find(live.begin(), live.end(), control) != live.end();
}

TdxBarManager* TCustomdxBarControl::GetOwnerBarManager() const {
  return dynamic_cast<TdxBarManager*>(const_cast<TCustomdxBarControl*>(this)->GetOwner());
}

void TCustomdxBarControl::SetItemLinks(TdxBarItemLinks* value) {
  if (FItemLinks == value) return;
  DestroyItemControls();
  if (FItemLinks && FItemLinks->GetBarControl() == this) FItemLinks->SetBarControl(nullptr);
  FItemLinks = value;
  if (FItemLinks) FItemLinks->SetBarControl(this);
}

TcxCanvas* TCustomdxBarControl::GetBarControlCanvas() {
  if (HandleAllocated()) {
    if (!FCanvas) FCanvas = new TcxCanvas(GetCanvas());
    FreeScreenCanvas();
    GetCanvas()->SetFont(GetFont());
    // Captions on a bar that turns them run down the bar: the canvas writes a quarter turn
    // clockwise (extents stay those of upright text).
    if (IsTextRotated()) GetCanvas()->GetFont()->SetOrientation(-900);
    return FCanvas;
  }
  if (!FScreenCanvas) {
    FScreenDC = GetDC(nullptr);
    FScreenCanvas = new TcxCanvas(FScreenDC);
  }
  FScreenCanvas->SetFont(GetFont());
  if (IsTextRotated()) FScreenCanvas->GetFont()->SetOrientation(-900);
  return FScreenCanvas;
}

TdxBarPainter* TCustomdxBarControl::GetPainter() {
  if (FParentBarControl) return FParentBarControl->GetPainter();
  TdxBarManager* manager = GetOwnerBarManager();
  return manager ? manager->GetPainter() : nullptr;
}

Boolean TCustomdxBarControl::UsesFlatLook() {
  TdxBarPainter* painter = GetPainter();
  return painter && painter->HasFlatLook();
}

TRect TCustomdxBarControl::GetItemControlScreenRect(TdxBarItemControl* control) {
  if (!control) return TRect{};
  const TRect r = control->GetItemRect();
  if (!HandleAllocated()) return r;
  POINT corners[2] = {{r.Left, r.Top}, {r.Right, r.Bottom}};
  ::ClientToScreen(GetHandle(), &corners[0]);
  ::ClientToScreen(GetHandle(), &corners[1]);
  return TRect{corners[0].X, corners[0].Y, corners[1].X, corners[1].Y};
}

Boolean TCustomdxBarControl::InCustomizingMode() {
  TdxBarManager* manager = GetOwnerBarManager();
  return manager && manager->IsCustomizing();
}

Integer TCustomdxBarControl::GetBehaviorFlags() { return FParentBarControl ? FParentBarControl->GetBehaviorFlags() : 19; }

Integer TCustomdxBarControl::GetItemTextSize(TdxBarItemControl* control) {
  const Integer own = control ? control->GetTextSize() : 0;
  return own ? own : FTextSize;
}

Integer TCustomdxBarControl::GetBeginGroupOffset(TdxBarItemLink* link) {
  return link->GetBeginGroup() && link->GetVisibleIndex() > 0 ? GetBeginGroupSize() : 0;
}

Integer TCustomdxBarControl::GetTextHeight() {
  TdxBarPainter* painter = GetPainter();
  return painter ? painter->CalcTextHeight(GetBarControlCanvas()) : 0;
}

void TCustomdxBarControl::CalcMetrics() {
  FTextSize = GetTextHeight();
  FMenuArrowHeight = std::max(FTextSize / 5, 4);
}

HBRUSH TCustomdxBarControl::GetBackgroundBrush() {
  TdxBarPainter* painter = GetPainter();
  return painter ? painter->GetToolbarBrushForBar(this) : GetSysColorBrush(COLOR_BTNFACE);
}

void TCustomdxBarControl::DrawBackground(HDC dc, const TRect& rect, HBRUSH brush, TColor color) {
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  FillRect(dc, &r, brush ? brush : GetBackgroundBrush());
}

Boolean TCustomdxBarControl::IsUpdateLocked() {
  TdxBarManager* manager = GetOwnerBarManager();
  return manager && manager->IsUpdateLocked();
}

// ---- Item controls

void TCustomdxBarControl::ExpandContainerItems() {
  if (!FExpandedLinks.empty() || !FItemLinks || GetKind() != 2 || InCustomizingMode()) return;
  std::vector<TdxBarItem*> met;
  // Links without container items are left untouched: even an empty update reports a change.
  Boolean updating = false;
  try {
    for (Integer i = 0; i < FItemLinks->GetCount(); ++i) {
      TdxBarItemLink* link = FItemLinks->GetItem(i);
      auto* container = dynamic_cast<TCustomdxBarContainerItem*>(link->GetItem());
      if (!container || link->GetCanVisibleIndex() < 0) continue;
      if (!updating) FItemLinks->BeginUpdate();
      updating = true;
      const Boolean first = std::find(met.begin(), met.end(), container) == met.end();
      if (first) met.push_back(container);
      const Boolean hidden = container->HidesOwnLink();
      FExpandedLinks.push_back(TExpandedLink{link, CreateObjectLink(container), i, hidden});
      const Integer before = FItemLinks->GetCount();
      container->AddListItems(FItemLinks, i + 1, link, first);
      const Integer added = FItemLinks->GetCount() - before;
      if (hidden) {
        link->SetCollection(nullptr);
        i += added - 1;
      } else {
        i += added;
      }
    }
  } catch (...) {
    if (updating) FItemLinks->EndUpdate();
    throw;
  }
  if (updating) FItemLinks->EndUpdate();
}

void TCustomdxBarControl::CollapseContainerItems() {
  if (FExpandedLinks.empty()) return;
  std::vector<TExpandedLink> expanded;
  expanded.swap(FExpandedLinks);
  if (FItemLinks) FItemLinks->BeginUpdate();
  for (auto it = expanded.rbegin(); it != expanded.rend(); ++it) {
    auto* container = static_cast<TCustomdxBarContainerItem*>(it->Item->Ref);
    ReleaseObjectLink(it->Item);
    // An item freed meanwhile took its links with it.
    if (!container || !FItemLinks) continue;
    container->DeleteListItems(FItemLinks, it->Hidden ? it->Index : it->Index + 1);
    container->MarkForClear();
    if (it->Hidden) {
      it->Link->SetCollection(FItemLinks);
      it->Link->SetIndex(std::min(it->Index, FItemLinks->GetCount() - 1));
    }
  }
  if (FItemLinks) FItemLinks->EndUpdate();
}

void TCustomdxBarControl::CreateItemControls() {
  if (FState & 0x3 || !FItemLinks) return;
  FState |= 0x1;
  try {
    ExpandContainerItems();
    for (Integer i = 0; i < FItemLinks->GetCanVisibleItemCount(); ++i) FItemLinks->GetCanVisibleItem(i)->CreateControl();
  } catch (...) {
    FState &= ~0x1;
    throw;
  }
  FState &= ~0x1;
}

void TCustomdxBarControl::DestroyItemControls() {
  if (FState & 0x3 || !FItemLinks) return;
  FState |= 0x2;
  FViewInfos.clear();
  FTrackedLink = nullptr;
  for (Integer i = 0; i < FItemLinks->GetCount(); ++i) FItemLinks->GetItem(i)->DestroyControl();
  if (!FKeepExpanded) CollapseContainerItems();
  FState &= ~0x2;
}

void TCustomdxBarControl::RecreateItemControls() {
  orv::TFlagScope keep(FKeepExpanded, GetKind() == 2 && !InCustomizingMode());
  DestroyItemControls();
  CreateItemControls();
}

Boolean TCustomdxBarControl::HasItemControl(TdxBarItemControl* control) const {
  if (!FItemLinks || !control) return false;
  for (Integer i = 0; i < FItemLinks->GetCount(); ++i)
    if (FItemLinks->GetItem(i)->GetControl() == control) return true;
  return false;
}

TdxBarItemControl* TCustomdxBarControl::GetSelectedItemControl() const {
  return FSelectedLink ? FSelectedLink->GetControl() : nullptr;
}

void TCustomdxBarControl::Refresh(Boolean recreate) {
  if (IsDestroying() || !HandleAllocated() || (FState & 0x83) || IsUpdateLocked()) return;
  FState |= 0x80;
  try {
    if (recreate) {
      TdxBarItemLink* selected = FSelectedLink;
      FSelectedLink = nullptr;
      RecreateItemControls();
      if (selected && FItemLinks && FItemLinks->IndexOfLink(selected) >= 0) FSelectedLink = selected;
    }
    UpdateLayout();
  } catch (...) {
    FState &= ~0x80;
    throw;
  }
  FState &= ~0x80;
  Invalidate();
  // New controls learn which of them is under the mouse from a move at the cursor.
  if (recreate && !IsMouseOutside(false)) {
    POINT cursor{};
    GetCursorPos(&cursor);
    ::ScreenToClient(GetHandle(), &cursor);
    FLastMousePos = TPoint{-1, -1};
    PostMessage(GetHandle(), WM_MOUSEMOVE, 0, MAKELPARAM(cursor.X, cursor.Y));
  }
}

void TCustomdxBarControl::UpdateLayout() {
  CalcMetrics();
  ArrangeItemLinks();
}

void TCustomdxBarControl::ArrangeItemLinks() {
  if (!FItemLinks) return;
  for (Integer i = 0; i < FItemLinks->GetCount(); ++i) FItemLinks->GetItem(i)->SetItemRect(TRect());
  ArrangeItemRows();
  RecalcViewInfo();
}

void TCustomdxBarControl::RecalcViewInfo() {
  FViewInfos.clear();
  if (!FItemLinks) return;
  for (Integer i = 0; i < FItemLinks->GetVisibleItemCount(); ++i) {
    TdxBarItemLink* link = FItemLinks->GetVisibleItem(i);
    if (link->GetControl() && !RectIsEmpty(link->GetItemRect())) FViewInfos.push_back(link->GetControl());
  }
}

TdxBarItemControl* TCustomdxBarControl::GetItemControlAtPos(const TPoint& point) {
  if (InCustomizingMode()) return nullptr;
  for (TdxBarItemControl* control : FViewInfos)
    if (PointInRect(control->GetItemRect(), point)) return control;
  return nullptr;
}

void TCustomdxBarControl::GetItemControlRect(TdxBarItemControl* control, TRect& rect) {
  rect = control ? control->GetItemRect() : TRect();
}

void TCustomdxBarControl::RepaintItemControl(TdxBarItemControl* control) {
  if (!HandleAllocated() || !control) return;
  const TRect r = control->GetItemRect();
  RECT rect{r.Left, r.Top, r.Right, r.Bottom};
  InvalidateRect(GetHandle(), &rect, FALSE);
}

// ---- Painting

void TCustomdxBarControl::Paint() {
  if (IsDestroying()) return;
  TcxCanvas* canvas = GetBarControlCanvas();
  HDC dc = canvas->GetHandle();
  const int saved = SaveDC(dc);
  DrawItemControls();
  if (TdxBarPainter* painter = GetPainter()) painter->DrawBarControlBackground(this);
  RestoreDC(dc, saved);
}

void TCustomdxBarControl::DrawItemControls() {
  HDC dc = GetBarControlCanvas()->GetHandle();
  for (TdxBarItemControl* control : FViewInfos) {
    DrawItemControl(control);
    const TRect r = control->GetItemRect();
    ExcludeClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
  }
}

void TCustomdxBarControl::DrawItemControl(TdxBarItemControl* control) {
  if (IsUpdateLocked() || (FState & 0x40)) return;
  FState |= 0x40;
  FCurrentBackgroundBrush = GetBackgroundBrush();
  TcxCanvas* canvas = GetBarControlCanvas();
  HDC dc = canvas->GetHandle();
  const int saved = SaveDC(dc);
  const TRect r = control->GetItemRect();
  IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
  try {
    control->Paint(canvas, r, GetItemPaintKind());
  } catch (...) {
    RestoreDC(dc, saved);
    FState &= ~0x40;
    throw;
  }
  RestoreDC(dc, saved);
  FState &= ~0x40;
}

void TCustomdxBarControl::CreateWnd() {
  // The classic look knows no double clicks on its bars: there a second press is just a press.
  TdxBarManager* manager = GetOwnerBarManager();
  const Boolean doubleClicks = manager && (manager->GetEffectiveStyle() != bmsStandard || manager->InCustomizingMode());
  if (doubleClicks)
    SetControlStyle(GetControlStyle() + TControlStyle{csDoubleClicks});
  else
    SetControlStyle(GetControlStyle() - TControlStyle{csDoubleClicks});
  inherited::CreateWnd();
  UpdateFont();
  CalcMetrics();
  CreateItemControls();
}

void TCustomdxBarControl::DestroyWnd() {
  if (FItemLinks)
    for (Integer i = 0; i < FItemLinks->GetCount(); ++i)
      if (TdxBarItemControl* control = FItemLinks->GetItem(i)->GetControl()) control->ParentChanged();
  DestroyItemControls();
  inherited::DestroyWnd();
}

void TCustomdxBarControl::Resize() {
  inherited::Resize();
  if (!IsDestroying() && HandleAllocated() && !(FState & 0x83)) {
    ArrangeItemLinks();
    Invalidate();
  }
}

// ---- Selection

void TCustomdxBarControl::SetSelectedItemControl(TdxBarItemControl* control) {
  if (!HandleAllocated() || IsDestroying() || GetSelectedItemControl() == control) return;
  orv::TObjectLinkGuard self(this);
  TdxBarItemControl* old = GetSelectedItemControl();
  if (old && old->IsActive()) old->ControlInactivate(true);
  if (!self.Alive()) return;
  if (control) control->SetSelectedByMouse(false);
  ChangeSelection(control);
}

void TCustomdxBarControl::SelectItemControlByMouse(TdxBarItemControl* control) {
  if (!HandleAllocated() || IsDestroying() || GetSelectedItemControl() == control) return;
  orv::TObjectLinkGuard self(this);
  TdxBarItemControl* old = GetSelectedItemControl();
  if (old && old->IsActive()) old->ControlInactivate(false);
  if (!self.Alive()) return;
  if (control) control->SetSelectedByMouse(true);
  ChangeSelection(control);
  if (!self.Alive()) return;
  if (TdxBarItemControl* selected = GetSelectedItemControl()) {
    if (auto* buttonLike = dynamic_cast<TdxBarButtonLikeControl*>(selected)) buttonLike->SetShowAnimation(true);
    selected->ControlActivate(false, true);
  }
}

void TCustomdxBarControl::ChangeSelection(TdxBarItemControl* control) {
  TdxBarItemControl* old = GetSelectedItemControl();
  if (old == control) return;
  FSelectedLink = control ? control->GetItemLink() : nullptr;
  TdxBarManager* manager = GetOwnerBarManager();
  if (manager && !manager->IsCustomizing()) manager->StoreSelectedItem(control);
  // An open "More Buttons" popup looks a moment later whether the selection stayed elsewhere.
  if (TdxBarQuickControl* quick = TdxBarQuickControl::GetOpenQuickControl())
    if (control && quick != this && !quick->IsActive()) quick->StartHidingTimer();
  RepaintItemControl(old);
  RepaintItemControl(control);
  if (manager && (control || GetKind() == 2)) manager->ActivateHint(true, AnsiString(), control);
  AnsiString hint;
  if (control && (control->IsEnabled() || (manager && manager->GetShowHintForDisabledItems()))) {
    hint = control->GetHint();
    const size_t bar = hint.find('|');
    if (bar != AnsiString::npos) hint = hint.substr(bar + 1);
  }
  SetHint(hint);
}

void TCustomdxBarControl::ClickItemControl(TdxBarItemControl* control) {
  if (!control || !control->IsEnabled() || !control->CanPress()) return;
  SetSelectedItemControl(control);
  if (TdxBarManager* manager = GetOwnerBarManager()) manager->HideHint();
  orv::TObjectLinkGuard self(this);
  orv::TObjectLinkGuard item(control);
  control->ControlClick(true);
  if (self.Alive() && item.Alive()) control->Invalidate();
}

void TCustomdxBarControl::SelectNextLink(Boolean forward) {
  if (!FItemLinks || FViewInfos.empty()) return;
  const Integer count = Integer(FViewInfos.size());
  Integer index = -1;
  for (Integer i = 0; i < count; ++i)
    if (FViewInfos[size_t(i)] == GetSelectedItemControl()) index = i;
  // With nothing selected either direction starts at the first item.
  for (Integer step = 0; step < count; ++step) {
    index = index < 0 ? 0 : (index + (forward ? 1 : count - 1)) % count;
    TdxBarItemControl* control = FViewInfos[size_t(index)];
    if (control->AcceptsSelection() && control->IsEnabled()) {
      SetSelectedItemControl(control);
      return;
    }
  }
}

// ---- Activation and closing

Boolean TCustomdxBarControl::CanActivate() { return IsApplicationActive() || IsWindowEnabled(GetHandle()) || InCustomizingMode(); }

void TCustomdxBarControl::SetActiveState(Boolean value) {
  if (TdxBarManager* manager = GetOwnerBarManager()) manager->HideHint();
  if (value == FActive || (value && !CanActivate())) return;
  SetActive(value);
}

void TCustomdxBarControl::SetActive(Boolean value) {
  if (value) {
    FActive = true;
    FClosedByEscape = false;
    FPreviousActive = gActiveBarControl;
    gActiveBarControl = this;
    if (!InCustomizingMode() && FItemLinks) FItemLinks->UpdateActions();
    return;
  }
  FActive = false;
  FPressedDownMode = false;
  if (!IsDestroying()) SetSelectedItemControl(nullptr);
  if (gActiveBarControl == this) gActiveBarControl = FPreviousActive;
  if (gActiveBarControl && (!IsAlive(gActiveBarControl) || !gActiveBarControl->FActive)) gActiveBarControl = nullptr;
}

void TCustomdxBarControl::ActivateWithItem(TdxBarItemControl* control) {
  SetSelectedItemControl(control);
  SetActiveState(true);
}

void TCustomdxBarControl::Deactivate() {
  SetSelectedItemControl(nullptr);
  SetActiveState(false);
}

Boolean TCustomdxBarControl::IsInActiveChain() {
  if (!gActiveBarControl) return true;
  for (TCustomdxBarControl* c = gActiveBarControl; c; c = c->FParentBarControl)
    if (c == this) return true;
  return false;
}

void TCustomdxBarControl::Close() {
  if (FState & 0x20) return;
  FState |= 0x20;
  orv::TObjectLinkGuard self(this);
  DoClose();
  if (self.Alive()) FState &= ~0x20;
}

void TCustomdxBarControl::DoClose() {
  orv::TObjectLinkGuard self(this);
  SetActiveState(false);
  if (self.Alive() && FParentBarControl && !FClosedByEscape) FParentBarControl->Close();
}

void TCustomdxBarControl::CloseByEscape() {
  FClosedByEscape = true;
  Close();
}

// ---- Mouse and keys

Boolean TCustomdxBarControl::IsMouseOutside(Boolean checkLastPosition) {
  if (InCustomizingMode()) return true;
  POINT cursor{};
  GetCursorPos(&cursor);
  if (checkLastPosition && cursor.X == FLastMousePos.X && cursor.Y == FLastMousePos.Y) return true;
  if (!HandleAllocated()) return true;
  RECT window{};
  GetWindowRect(GetHandle(), &window);
  return !(cursor.X >= window.Left && cursor.X < window.Right && cursor.Y >= window.Top && cursor.Y < window.Bottom);
}

void TCustomdxBarControl::DoMouseEnter(const TPoint& point, TdxBarItemControl* control) {
  if (control) control->MouseEnter(point.X, point.Y);
  FTrackedLink = control ? control->GetItemLink() : nullptr;
}

void TCustomdxBarControl::DoMouseMove(TShiftState shift, const TPoint& point, TdxBarItemControl* control) {
  // Hot tracking of the item under the mouse.
  TdxBarItemLink* link = control ? control->GetItemLink() : nullptr;
  if (link != FTrackedLink) {
    if (FTrackedLink && FTrackedLink->GetControl()) FTrackedLink->GetControl()->MouseLeave();
    FTrackedLink = link;
    if (control) control->MouseEnter(point.X, point.Y);
  }
  if (control) control->MouseMove(point.X, point.Y);
  if (control && !control->CanSelectByMouse()) control = nullptr;
  if (FClickedItemControl) return;
  if (GetKind() == 0 && FActive && !control) return;
  SelectItemControlByMouse(control);
}

void TCustomdxBarControl::DoMouseLeave() {
  FLastMousePos = TPoint{-1, -1};
  if (FTrackedLink && FTrackedLink->GetControl()) FTrackedLink->GetControl()->MouseLeave();
  FTrackedLink = nullptr;
  if (FClickedItemControl || !FSelectedLink) return;
  TdxBarItemControl* selected = GetSelectedItemControl();
  if (selected && !selected->IsDroppedDown() && !InCustomizingMode() && !FActive) SelectItemControlByMouse(nullptr);
}

void TCustomdxBarControl::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  inherited::MouseDown(button, shift, x, y);
  const TPoint point{x, y};
  TdxBarItemControl* control = GetItemControlAtPos(point);
  if (shift.Contains(ssDouble)) {
    if (control && control == GetSelectedItemControl() && control->CanDoubleClick()) {
      DoubleClickItemControl(control);
      return;
    }
    // Any other double click is the second press it is.
    shift -= TShiftState{ssDouble};
  }
  if (InCustomizingMode()) {
    PressCustomizedItemControl(control, button, shift, point);
    return;
  }
  if (FLastMousePos.X == -1 && !InCustomizingMode()) DoMouseEnter(point, control);
  if (control) control->MouseDown(button, shift, x, y);
  if (button == mbLeft && control && control->IsEnabled() && control->CanPress()) {
    FClickedItemControl = control;
    SetCapture(GetHandle());
    // Toolbars and the mark's popup take the keyboard with the press.
    if (GetKind() != 2 && !FActive) SetActiveState(true);
    ClickItemControl(control);
  }
}

void TCustomdxBarControl::DoubleClickItemControl(TdxBarItemControl* control) {
  TdxBarManager* manager = GetOwnerBarManager();
  if (manager && manager->IsDesigning()) {
    if (TdxBarItem* item = control->GetItem()) item->ActivateInDesigner();
    return;
  }
  if (!control->WantsDoubleClick()) {
    control->DoubleClick();
    return;
  }
  // A sub item's menu that keeps its rarely used items back shows them all.
  TdxBarItem* item = control->GetItem();
  TdxBarItemLinks* links = item ? item->GetItemLinks() : nullptr;
  if (auto* menu = dynamic_cast<TdxBarSubMenuControl*>(links ? links->GetBarControl() : nullptr))
    if (menu->IsMarkVisible()) menu->SetMarkState(2);
}

// While the bars are customized a press selects the link under the mouse (Shift adds it to the
// selection or takes it out) and a left press may start dragging it.
void TCustomdxBarControl::PressCustomizedItemControl(TdxBarItemControl* control, TMouseButton button,
                                                     TShiftState shift, const TPoint& point) {
  // The hover lookup answers nothing while customizing: the link under the press counts here.
  for (Integer i = 0; !control && i < GetViewInfoCount(); ++i) {
    TdxBarItemControl* candidate = GetViewInfoControl(i);
    if (candidate->GetItemLink() && PointInRect(candidate->GetItemLink()->GetItemRect(), point)) control = candidate;
  }
  TdxBarItemLink* link = control ? control->GetItemLink() : nullptr;
  TdxBarManager* manager = GetOwnerBarManager();
  if (!link || !manager) return;
  orv::TObjectLinkGuard self(this);
  SetSelectedItemControl(control);
  if (!self.Alive()) return;
  TdxBarDesignController* controller = GetBarDesignController();
  if (!controller) return;
  Integer operation = 2;
  if (button == mbRight)
    operation = link->IsInSelection() && !controller->HasComplexSelection(manager) ? 0 : 2;
  else if (shift.Contains(ssShift) && !shift.Contains(ssCtrl))
    operation = link->IsInSelection() ? 1 : 0;
  controller->SelectSelectableItem(link, operation);
  if (self.Alive() && button == mbLeft && HandleAllocated()) BeginPendingItemDrag(this, link, point);
  // A right press opens the link's customizing menu.
  if (self.Alive() && button == mbRight) controller->ShowLinkMenu(this, link);
}

void TCustomdxBarControl::MouseMove(TShiftState shift, Integer x, Integer y) {
  inherited::MouseMove(shift, x, y);
  if (IsDestroying()) return;
  const TPoint point{x, y};
  // A press on a customized link turns into its drag once the mouse moves far enough.
  if (ContinuePendingItemDrag(this, point)) return;
  TdxBarItemControl* control = GetItemControlAtPos(point);
  if (FLastMousePos.X == -1 && !IsMouseOutside(true)) DoMouseEnter(point, control);
  orv::TObjectLinkGuard self(this);
  if (!IsMouseOutside(false)) DoMouseMove(shift, point, control);
  if (!self.Alive()) return;
  if (IsMouseOutside(false)) {
    if (!FClickedItemControl) DoMouseLeave();
  } else {
    POINT cursor{};
    GetCursorPos(&cursor);
    FLastMousePos = TPoint{cursor.X, cursor.Y};
  }
  if (FClickedItemControl) RepaintItemControl(FClickedItemControl);
}

void TCustomdxBarControl::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  inherited::MouseUp(button, shift, x, y);
  if (button != mbLeft) return;
  if (CancelPendingItemDrag(this)) return;
  TdxBarItemControl* clicked = FClickedItemControl;
  FClickedItemControl = nullptr;
  if (clicked && GetCapture() == GetHandle()) ReleaseCapture();
  if (!clicked) return;
  const TPoint point{x, y};
  const TRect client = GetClientRect();
  TdxBarItemControl* control = PointInRect(client, point) && FActive ? GetItemControlAtPos(point) : nullptr;
  orv::TObjectLinkGuard self(this);
  orv::TObjectLinkGuard clickedAlive(clicked);
  if (control && control == clicked && control->IsEnabled() && control == GetSelectedItemControl() &&
      !InCustomizingMode() && control->CanPress()) {
    control->ExecuteClick(true);
  }
  // A press that opened a menu leaves the chain open, and so does a click on an item that keeps
  // the menus open (a quick-customization entry, a button that does not close its submenu).
  const Boolean opened = clickedAlive.Alive() && (clicked->IsDroppedDown() || !clicked->CanCloseMenusOnClick());
  if (self.Alive() && !opened) Close();
  if (self.Alive()) {
    // The item under the mouse is hot again once the click is over.
    POINT cursor{};
    GetCursorPos(&cursor);
    ::ScreenToClient(GetHandle(), &cursor);
    FLastMousePos = TPoint{-1, -1};
    TdxBarItemControl* under = GetItemControlAtPos(TPoint{cursor.X, cursor.Y});
    if (!IsMouseOutside(false)) DoMouseMove(shift, TPoint{cursor.X, cursor.Y}, under);
  }
}

void TCustomdxBarControl::SelectEdgeLink(Boolean last) {
  for (Integer step = 0; step < Integer(FViewInfos.size()); ++step) {
    TdxBarItemControl* control = FViewInfos[size_t(last ? Integer(FViewInfos.size()) - 1 - step : step)];
    if (control->AcceptsSelection() && control->IsEnabled()) {
      SetSelectedItemControl(control);
      return;
    }
  }
}

TdxBarItemLink* TCustomdxBarControl::FindLinkByKey(Word key, Boolean& several, TdxBarItemLink* start) {
  several = false;
  if (!FItemLinks) return nullptr;
  TdxBarItemLink* link = FItemLinks->FindAcceleratorLink(key, start);
  if (!link || !link->GetItem() || !link->GetItem()->GetEnabled()) return nullptr;
  TdxBarItemLink* next = FItemLinks->FindAcceleratorLink(key, link);
  several = next && next != link;
  return link;
}

void TCustomdxBarControl::SelectAndClick(TdxBarItemControl* control, Boolean selectOnly) {
  SetSelectedItemControl(control);
  if (!selectOnly && HandleAllocated()) SendMessage(GetHandle(), WM_KEYDOWN, VK_RETURN, 0);
}

// Keys while the window is the focused bar window: the arrows, Tab, Home and End move the
// selection (along the column on vertical windows), Alt closes, a letter finds its item.
void TCustomdxBarControl::HandleKeyDown(TMessage& message) {
  orv::TObjectLinkGuard self(this);
  if (!gActiveBarControl) return;
  const Word received = Word(message.WParam);
  Word key = received;
  // The keys come through the keyboard hook, which may have taken the modifier's own message
  // before the thread's key state saw it: the physical state counts too.
  TShiftState shift = GetHookShiftState();
  if (GetAsyncKeyState(VK_SHIFT) < 0) shift += TShiftState{ssShift};
  if (GetAsyncKeyState(VK_CONTROL) < 0) shift += TShiftState{ssCtrl};
  // On toolbars the arrows and Tab move through the accessibility tree (so Down may reach the
  // toolbar below), once the selected item has not taken the key to open its menu.
  const Boolean navigationKey =
      (received >= VK_LEFT && received <= VK_DOWN) || (received == VK_TAB && !shift.Contains(ssCtrl));
  if (GetKind() != 2 && navigationKey) {
    TdxBarItemControl* selected = GetSelectedItemControl();
    Word offered = received;
    if (selected && selected->IsEnabled() && selected->IsExpandKey(offered)) {
      selected->KeyDown(offered, shift);
      return;
    }
    GetBarNavigationController()->NavigateByKey(received, shift, GetBarAccessibilityHelper(selected),
                                                GetBarAccessibilityHelper(this));
    return;
  }
  if (IsVertical()) {
    if (key == VK_LEFT) key = VK_UP;
    else if (key == VK_UP) key = VK_LEFT;
    else if (key == VK_RIGHT) key = VK_DOWN;
    else if (key == VK_DOWN) key = VK_RIGHT;
  }
  if (GetKind() == 2) {
    if (key == VK_LEFT || key == VK_RIGHT) key = 0;
    else if (key == VK_UP) key = VK_LEFT;
    else if (key == VK_DOWN) key = VK_RIGHT;
  }
  if (key == VK_TAB && !shift.Contains(ssCtrl)) key = shift.Contains(ssShift) ? VK_LEFT : VK_RIGHT;
  TdxBarManager* manager = GetOwnerBarManager();
  if (key == VK_F10 && manager && manager->GetUseF10ForMenu()) key = VK_MENU;
  switch (key) {
    case 0:
    case VK_TAB:
    case VK_F10: break;
    case VK_END: SelectEdgeLink(true); break;
    case VK_HOME: SelectEdgeLink(false); break;
    case VK_LEFT:
    case VK_RIGHT:
      // In a menu Up and Down go through the menu's accessibility helper.
      if (auto* helper = GetKind() == 2 ? dynamic_cast<TdxBarSubMenuControlAccessibilityHelper*>(
                                              GetBarAccessibilityHelper(this))
                                        : nullptr)
        helper->MoveVertically(key == VK_LEFT, received == VK_TAB);
      else
        SelectNextLink(key == VK_RIGHT);
      break;
    case VK_MENU:
      message.WParam = 0;
      Close();
      break;
    default:
      if (IsCharacterKey(key) && key != VK_SPACE) {
        Boolean several = false;
        if (TdxBarItemLink* link = FindLinkByKey(key, several, FSelectedLink)) {
          if (!link->GetControl()) break;
          SelectAndClick(link->GetControl(), several);
        }
      }
      break;
  }
  if (!self.Alive() || !gActiveBarControl || message.WParam == 0) return;
  TdxBarItemControl* control = GetSelectedItemControl();
  Word offered = received;
  if (control && control->IsEnabled() && control->IsExpandKey(offered))
    control->KeyDown(offered, shift);
  else
    DoKeyDown(received, shift);
}

void TCustomdxBarControl::RestoreFocus() {
  TdxBarManager* manager = GetOwnerBarManager();
  TWinControl* owner = manager ? manager->GetOwnerControl() : nullptr;
  if (owner && owner->HandleAllocated() && IsWindowVisible(owner->GetHandle()))
    ::SetFocus(owner->GetHandle());
  else if (HandleAllocated())
    ::SetFocus(GetWindow(GetHandle(), GW_HWNDNEXT));
}

void TCustomdxBarControl::DoKeyDown(Word key, TShiftState shift) {
  if (key == VK_RETURN) {
    if (TdxBarItemControl* control = GetSelectedItemControl()) control->Click(false);
  }
}

void TCustomdxBarControl::AdjustHintPosition(TPoint& point, Integer hintHeight) {
  point.Y += ScaleByScreenDPI(20);
  const TRect area = GetWorkAreaAtPoint(point);
  if (point.Y + hintHeight > area.Bottom && HandleAllocated()) {
    POINT origin{0, 0};
    ::ClientToScreen(GetHandle(), &origin);
    point.Y = origin.Y - hintHeight;
  }
}

void TCustomdxBarControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_ERASEBKGND:
      message.Result = 1;
      return;
    case WM_MOUSEACTIVATE:
      message.Result = MA_NOACTIVATE;
      return;
    case WM_DXBAR_REPAINT:
      Repaint();
      return;
    case WM_SETFOCUS:
      RestoreFocus();
      return;
    case WM_KILLFOCUS: {
      inherited::WndProc(message);
      if (message.WParam == 0 && FActive) Close();
      return;
    }
    case WM_PAINT:
      if (IsDestroying()) return;
      break;
    case WM_CAPTURECHANGED:
      inherited::WndProc(message);
      FClickedItemControl = nullptr;
      return;
    case WM_COMMAND:
      // An in-place edit's notifications go back to the edit, whose control reports them.
      if (message.LParam && IsChild(GetHandle(), HWND(message.LParam))) {
        message.Result = SendMessage(HWND(message.LParam), WM_COMMAND, message.WParam, message.LParam);
        return;
      }
      break;
    case WM_CTLCOLOREDIT:
      if (FItemLinks)
        for (Integer i = 0; i < FItemLinks->GetCount(); ++i) {
          auto* edit = dynamic_cast<TdxBarCustomEditControl*>(FItemLinks->GetItem(i)->GetControl());
          if (!edit || edit->GetWindowHandle() != HWND(message.LParam) || !GetPainter()) continue;
          TColor text = clWindowText, color = clWindow;
          edit->CalcDrawParams(true);
          GetPainter()->GetEditColors(edit->GetDrawParams(), text, color);
          SetTextColor(HDC(message.WParam), ColorToRGB(text));
          SetBkColor(HDC(message.WParam), ColorToRGB(color));
          message.Result = LRESULT(edit->PrepareEditBrush());
          return;
        }
      break;
    case WM_KEYDOWN:
      inherited::WndProc(message);
      HandleKeyDown(message);
      return;
    default:
      if (((message.Msg >= 0xA0 && message.Msg <= 0xA9) || (message.Msg >= 0x200 && message.Msg <= 0x20A)) &&
          !IsInActiveChain())
        return;
      break;
  }
  inherited::WndProc(message);
  if (message.Msg == WM_MOUSELEAVE || message.Msg == CM_MOUSELEAVE) {
    if (!FClickedItemControl) DoMouseLeave();
  }
}

// ==== Toolbar window ==========================================================================

TdxBarControl::TdxBarControl(TComponent* owner, TdxBar* bar) : TCustomdxBarControl(owner), FBar(bar) {
  FDockingStyle = bar ? bar->GetDockingStyle() : dsNone;
  if (bar) {
    bar->SetControl(this);
    SetItemLinks(bar->GetItemLinks());
  }
  FMarkFadingHelper = new TdxBarControlMarkFadingHelper(this);
  for (Integer kind = 0; kind < 3; ++kind) FMDIButtonFadingHelpers[kind] = new TdxBarControlMDIButtonFadingHelper(this, kind);
}

TdxBarControl::~TdxBarControl() {
  // A fade still running ends here; its last redraw finds the window going and paints nothing.
  FreeAndNil(FMarkFadingHelper);
  for (auto*& helper : FMDIButtonFadingHelpers) FreeAndNil(helper);
  if (TdxBarQuickControl* quick = FQuickControl) {
    FQuickControl = nullptr;
    quick->FParentToolbar = nullptr;
    if (!quick->IsDestroying()) quick->Free();
  }
  ForgetDockedBarControl(this);
  if (FBar && FBar->GetControl() == this) FBar->SetControl(nullptr);
}

Boolean TdxBarControl::IsMainMenu() { return FBar && FBar->GetIsMainMenu(); }
Boolean TdxBarControl::IsTextRotated() { return IsVertical() && FBar && FBar->GetRotateWhenVertical(); }
Boolean TdxBarControl::IsMultiLine() { return FDockingStyle == dsNone || (FBar && FBar->GetMultiLine()); }
Boolean TdxBarControl::CanMove() { return FBar && FBar->CanMove(); }
AnsiString TdxBarControl::GetCaption() { return FBar ? FBar->GetCaption() : AnsiString(); }
Boolean TdxBarControl::HasCloseButton() { return FDockingStyle == dsNone && FBar && FBar->CanClose(); }

Boolean TdxBarControl::UsesRestSpace(TdxBarItemLink* link) {
  if (!FBar || !FBar->GetUseRestSpace() || !FItemLinks || FItemLinks->GetAvailableItemCount() == 0) return false;
  return FItemLinks->GetAvailableItem(FItemLinks->GetAvailableItemCount() - 1) == link;
}

Integer TdxBarControl::GetBeginGroupSize() {
  TdxBarPainter* painter = GetPainter();
  return painter ? painter->GetToolbarSeparatorSize() : 6;
}

HBRUSH TdxBarControl::GetBackgroundBrush() {
  TdxBarPainter* painter = GetPainter();
  return painter ? painter->GetToolbarBrushForBar(this) : GetSysColorBrush(COLOR_BTNFACE);
}

Boolean TdxBarControl::IsUpdateLocked() {
  const Boolean locked = inherited::IsUpdateLocked();
  if (locked && FBar) FBar->MarkChanged();
  return locked;
}

void TdxBarControl::UpdateFont() {
  TdxBarManager* manager = GetOwnerBarManager();
  // Taking the font is not a change the window has to answer with a new layout.
  orv::TFlagScope updating(FUpdatingFont, true);
  if (FBar && FBar->GetUseOwnFont())
    GetFont()->Assign(FBar->GetFont());
  else if (manager)
    GetFont()->Assign(manager->GetFont());
}

// The captions change size or direction: new metrics, new controls (a turned bar shows other
// controls for some items), a new layout and a new size in the dock site or on the desktop.
void TdxBarControl::BarFontChanged() {
  if (FUpdatingFont || IsDestroying() || !HandleAllocated()) return;
  orv::TFlagScope updating(FUpdatingFont, true);
  CalcMetrics();
  SetSelectedItemControl(nullptr);
  Refresh(true);
  if (TdxDockControl* dock = GetDockControl()) {
    dock->Realign();
  } else if (FDockingStyle == dsNone) {
    TSize size;
    CalcBarControlSize(dsNone, size);
    SetBounds(GetLeft(), GetTop(), size.cx, size.cy);
  }
  RedrawWindow(GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// ---- Sizes

namespace {

TSize EmptyItemSize(TdxBarControl* toolbar) {
  TdxBarPainter* painter = toolbar->GetPainter();
  TdxBarManager* manager = toolbar->GetOwnerBarManager();
  const Integer glyph = manager && manager->GetImages() ? manager->GetImages()->GetWidth() : 16;
  return painter ? TSize{painter->AddExtraWidth(glyph), painter->AddExtraHeight(glyph)} : TSize{glyph, glyph};
}

}  // namespace

Integer TdxBarControl::GetMinWidth(TdxBarDockingStyle style) {
  Integer width = 0;
  const Boolean vertical = style == dsLeft || style == dsRight;
  if (!FItemLinks || FItemLinks->GetVisibleItemCount() == 0) {
    width = style == dsNone ? 0 : EmptyItemSize(this).cx;
  } else if (vertical || IsMultiLine()) {
    for (Integer i = 0; i < FItemLinks->GetVisibleItemCount(); ++i)
      if (TdxBarItemControl* c = FItemLinks->GetVisibleItem(i)->GetControl()) width = std::max(width, c->CalcWidth());
  } else if (TdxBarItemControl* c = FItemLinks->GetVisibleItem(0)->GetControl()) {
    width = c->CalcWidth();
  }
  if (style == dsNone) width = std::max(width, 51);
  if (style == dsTop || style == dsBottom) width += GetMarkAreaSize();
  return width;
}

Integer TdxBarControl::GetMinHeight(TdxBarDockingStyle style) {
  Integer height = 0;
  const Boolean vertical = style == dsLeft || style == dsRight;
  if (!FItemLinks || FItemLinks->GetVisibleItemCount() == 0) {
    height = EmptyItemSize(this).cy;
  } else if (!vertical || IsMultiLine()) {
    for (Integer i = 0; i < FItemLinks->GetVisibleItemCount(); ++i)
      if (TdxBarItemControl* c = FItemLinks->GetVisibleItem(i)->GetControl()) height = std::max(height, c->CalcHeight());
  } else if (TdxBarItemControl* c = FItemLinks->GetVisibleItem(0)->GetControl()) {
    // A single column needs room for its first link at least.
    height = c->CalcHeight();
  }
  if (vertical) height += GetMarkAreaSize();
  return height;
}

// The links in one line: its length (group gaps included) and the thickness of the thickest.
Integer TdxBarControl::MeasureLine(Integer& across, Boolean vertical) {
  Integer along = 0;
  across = 0;
  if (!FItemLinks) return 0;
  for (Integer i = 0; i < FItemLinks->GetVisibleItemCount(); ++i) {
    TdxBarItemLink* link = FItemLinks->GetVisibleItem(i);
    TdxBarItemControl* c = link->GetControl();
    if (!c) continue;
    along += (link->GetBeginGroup() && i > 0 ? GetBeginGroupSize() : 0) + (vertical ? c->CalcHeight() : c->CalcWidth());
    across = std::max(across, vertical ? c->CalcWidth() : c->CalcHeight());
  }
  return along;
}

Integer TdxBarControl::CalcWidthForStyle(TdxBarDockingStyle style) {
  Integer across;
  if (style == dsLeft || style == dsRight) {
    // A column is as wide as its widest link.
    MeasureLine(across, true);
    return std::max(across, GetMinWidth(style));
  }
  const Integer width = MeasureLine(across, false) + ((style == dsTop || style == dsBottom) ? GetMarkAreaSize() : 0);
  return std::max(width, GetMinWidth(style));
}

Integer TdxBarControl::CalcHeightForStyle(TdxBarDockingStyle style) {
  Integer across;
  if (style == dsLeft || style == dsRight) {
    // A column is as long as its links one below the other, and the mark at its end.
    const Integer height = MeasureLine(across, true) + GetMarkAreaSize();
    return std::max(height, GetMinHeight(style));
  }
  MeasureLine(across, false);
  return std::max(across, GetMinHeight(style));
}

// The height the links take in rows of the given length, wrapping whole groups where they can.
Integer TdxBarControl::CalcMultiLineAcross(Integer length) {
  if (!FItemLinks || FItemLinks->GetVisibleItemCount() == 0) return EmptyItemSize(this).cy;
  Integer position = 0, row = 0, sum = 0;
  for (Integer i = 0; i < FItemLinks->GetVisibleItemCount(); ++i) {
    TdxBarItemLink* link = FItemLinks->GetVisibleItem(i);
    TdxBarItemControl* c = link->GetControl();
    if (!c) continue;
    const Integer size = c->CalcWidth();
    const Integer gap = link->GetBeginGroup() && position > 0 ? GetBeginGroupSize() : 0;
    if (position > 0 && position + gap + size > length) {
      sum += row + gap;
      position = 0;
      row = 0;
      position = size;
    } else {
      position += gap + size;
    }
    row = std::max(row, c->CalcHeight());
  }
  return sum + row;
}

void TdxBarControl::CalcBarControlSize(TdxBarDockingStyle style, TSize& size) {
  TRect borders;
  if (TdxBarPainter* painter = GetPainter()) painter->CalcBarBorders(FBar, style, borders, false);
  const Integer horz = borders.Left + borders.Right;
  const Integer vert = borders.Top + borders.Bottom;
  if (style == dsNone) {
    Integer width = FBar && FBar->GetFloatClientWidth() > 0 ? FBar->GetFloatClientWidth() : CalcWidthForStyle(dsNone);
    width = std::max(width, GetMinWidth(dsNone));
    size = TSize{width + horz, CalcMultiLineAcross(width) + vert};
    return;
  }
  if (style == dsTop || style == dsBottom) {
    TWinControl* parent = GetParent();
    const Integer whole = parent ? parent->GetClientWidth() : CalcWidthForStyle(style) + horz;
    Integer height = CalcHeightForStyle(style);
    if (IsMultiLine()) height = std::max(CalcMultiLineAcross(whole - horz - GetMarkAreaSize()), GetMinHeight(style));
    size = TSize{whole, height + vert};
    return;
  }
  TWinControl* parent = GetParent();
  const Integer height = FBar && FBar->GetWholeRow() && parent ? parent->GetClientHeight() : CalcHeightForStyle(style) + vert;
  size = TSize{CalcWidthForStyle(style) + horz, height};
}

void TdxBarControl::GetBorders(TRect& borders) {
  borders = TRect();
  if (TdxBarPainter* painter = GetPainter()) painter->CalcBarBorders(FBar, FDockingStyle, borders, false);
}

// ---- Layout: the links in rows

void TdxBarControl::ArrangeItemRows() {
  FTruncated = false;
  if (!FItemLinks) return;
  const Integer markBefore = GetMarkAreaSize();
  ArrangeItemRowsOnce();
  // Links that did not fit bring the mark, which takes room from the row: lay out again.
  if (FTruncated && FDockingStyle != dsNone && GetMarkAreaSize() != markBefore) {
    for (Integer i = 0; i < FItemLinks->GetCount(); ++i) FItemLinks->GetItem(i)->SetItemRect(TRect());
    ArrangeItemRowsOnce();
    FTruncated = true;
  }
}

void TdxBarControl::ArrangeItemRowsOnce() {
  FTruncated = false;
  const TRect client = GetClientRect();
  const Boolean vertical = IsVertical();
  const Integer clientAlong = vertical ? client.Height() : client.Width();
  const Integer clientAcross = vertical ? client.Width() : client.Height();
  const Integer length = clientAlong - (FDockingStyle != dsNone ? GetMarkAreaSize() : 0);
  const Boolean multiLine = IsMultiLine();
  Integer thickness = multiLine ? 0 : clientAcross;
  Integer rowOffset = 0;
  Integer position = 0;
  Integer rowStart = 0;
  TdxBarItemLink* last = nullptr;
  std::vector<TdxBarItemLink*> placed;
  auto centreRow = [&](Integer from) {
    for (size_t k = size_t(from); k < placed.size(); ++k) {
      TdxBarItemLink* link = placed[k];
      TRect r = link->GetItemRect();
      link->SetRowThickness(thickness);
      const Integer shift = vertical ? -(r.Right - r.Left - thickness) / 2 : (thickness - (r.Bottom - r.Top)) / 2;
      if (vertical)
        r = TRect{r.Left + shift, r.Top, r.Right + shift, r.Bottom};
      else
        r = TRect{r.Left, r.Top + shift, r.Right, r.Bottom + shift};
      link->SetItemRect(r);
    }
  };
  for (Integer i = 0; i < FItemLinks->GetVisibleItemCount(); ++i) {
    TdxBarItemLink* link = FItemLinks->GetVisibleItem(i);
    if (!link->GetControl()) link->CreateControl();
    TdxBarItemControl* control = link->GetControl();
    if (!control) continue;
    // The controls measure themselves in window coordinates (a rotated caption already makes a
    // control taller than wide): along a vertical bar runs the height.
    Integer along = control->CalcWidth();
    Integer across = control->CalcHeight();
    if (vertical) std::swap(along, across);
    Integer gap = link->GetBeginGroup() && position > 0 ? GetBeginGroupSize() : 0;
    if (position > 0 && position + gap + along > length) {
      if (!multiLine) {
        FTruncated = true;
        break;
      }
      centreRow(rowStart);
      rowOffset += thickness + gap;
      rowStart = Integer(placed.size());
      position = 0;
      gap = 0;
      thickness = 0;
    }
    TRect r;
    if (vertical)
      r = multiLine ? TRect{client.Width() - rowOffset - across, position + gap, client.Width() - rowOffset, position + gap + along}
                    : TRect{(thickness - across) / 2, position + gap, (thickness - across) / 2 + across, position + gap + along};
    else
      r = multiLine ? TRect{position + gap, rowOffset, position + gap + along, rowOffset + across}
                    : TRect{position + gap, (thickness - across) / 2, position + gap + along, (thickness - across) / 2 + across};
    const TdxBarItemAlign align = control->GetAlign();
    Boolean takesRow = false;
    if (align != iaLeft) {
      const Integer farEdge = vertical ? r.Bottom : r.Right;
      Integer shift = 0;
      if (align == iaCenter) shift = (length - farEdge) / 2;
      if (align == iaRight) shift = length - farEdge;
      if (vertical) {
        r.Top += shift;
        r.Bottom = align == iaClient ? std::max(length, r.Top + control->GetMinWidth()) : r.Bottom + shift;
      } else {
        r.Left += shift;
        r.Right = align == iaClient ? std::max(length, r.Left + control->GetMinWidth()) : r.Right + shift;
      }
      takesRow = true;
      if (i + 1 < FItemLinks->GetVisibleItemCount()) FTruncated = true;
    }
    link->SetItemRect(r);
    link->SetRowThickness(thickness);
    placed.push_back(link);
    last = link;
    if (takesRow) {
      position = length;
      thickness = std::max(thickness, across);
      break;
    }
    position += gap + along;
    thickness = std::max(thickness, across);
  }
  if (multiLine) centreRow(rowStart);
  (void)last;
}

// ---- Window

void TdxBarControl::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.ExStyle = 0;
  params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  if (FDockingStyle == dsNone) {
    params.Style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    TdxBarManager* manager = GetOwnerBarManager();
    TWinControl* owner = manager ? manager->GetOwnerControl() : nullptr;
    params.WndParent = owner && owner->HandleAllocated() ? owner->GetHandle() : nullptr;
  } else {
    params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  }
}

void TdxBarControl::CreateWnd() {
  inherited::CreateWnd();
  SetWindowText(GetHandle(), orv::AnsiToUtf8(GetCaption()).c_str());
}

void TdxBarControl::SetDockingStyle(TdxBarDockingStyle value) {
  if (FDockingStyle == value) return;
  FTruncated = false;
  if (TdxDockControl* dock = GetDockControl()) dock->RemoveBarControl(this, true);
  const Boolean hadHandle = HandleAllocated();
  if (hadHandle) DestroyHandle();
  FDockingStyle = value;
  UpdatePlacement();
}

void TdxBarControl::UpdatePlacement() {
  TdxBarManager* manager = GetOwnerBarManager();
  TWinControl* form = manager ? manager->GetOwnerControl() : nullptr;
  if (FDockingStyle == dsNone) {
    if (GetParent()) SetParent(nullptr);
    SetAlign(alNone);
    HandleNeeded();
    TSize size;
    CalcBarControlSize(dsNone, size);
    SetBounds(FBar ? FBar->GetFloatLeft() : 0, FBar ? FBar->GetFloatTop() : 0, size.cx, size.cy);
    SetVisible(true);
    if (!IsWindowVisible(GetHandle())) ShowWindow(GetHandle(), SW_SHOWNOACTIVATE);
  } else if (TdxDockControl* dock = FBar ? FBar->GetRealDockControl() : GetFormDockControl(manager, FDockingStyle)) {
    // Docked toolbars stand in the rows of the dock site at their side of the form.
    if (GetParent() != dock) {
      if (TdxDockControl* old = GetDockControl()) old->RemoveBarControl(this, true);
      SetAlign(alNone);
      SetParent(dock);
    }
    HandleNeeded();
    SetVisible(true);
    if (!dock->FindCol(this) && FInsertAtPoint) {
      // Dragged here: the toolbar goes where the pointer brought it.
      dock->InsertBarControl(this, FInsertPoint, false);
    } else if (!dock->FindCol(this)) {
      FPlacingFromState = true;
      try {
        POINT stored{FBar ? FBar->GetDockedLeft() : 0, FBar ? FBar->GetDockedTop() : 0};
        if (dock->HandleAllocated()) ::ClientToScreen(dock->GetHandle(), &stored);
        dock->InsertBarControl(this, TPoint{stored.X, stored.Y}, false);
      } catch (...) {
        FPlacingFromState = false;
        throw;
      }
      FPlacingFromState = false;
    }
    dock->Realign();
  } else {
    if (GetParent() != form) SetParent(form);
    static const TAlign aligns[] = {alNone, alLeft, alTop, alRight, alBottom};
    SetAlign(aligns[FDockingStyle]);
    HandleNeeded();
    TSize size;
    CalcBarControlSize(FDockingStyle, size);
    if (FDockingStyle == dsTop || FDockingStyle == dsBottom)
      SetHeight(size.cy);
    else
      SetWidth(size.cx);
    SetVisible(true);
  }
  // The frame may have changed with the painter or the bar's border.
  SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Refresh(true);
  RedrawWindow(GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TdxBarControl::Paint() {
  if (IsDestroying()) return;
  TcxCanvas* canvas = GetBarControlCanvas();
  HDC dc = canvas->GetHandle();
  const int saved = SaveDC(dc);
  DrawItemControls();
  DrawSeparators();
  DrawMark(dc);
  if (TdxBarPainter* painter = GetPainter()) painter->DrawBarControlBackground(this);
  RestoreDC(dc, saved);
}

void TdxBarControl::DrawSeparators() {
  if (!FItemLinks) return;
  TdxBarPainter* painter = GetPainter();
  if (!painter) return;
  HDC dc = GetBarControlCanvas()->GetHandle();
  const Integer z = GetBeginGroupSize();
  const TRect client = GetClientRect();
  const Boolean vertical = IsVertical();
  for (Integer i = 1; i < FItemLinks->GetVisibleItemCount(); ++i) {
    TdxBarItemLink* link = FItemLinks->GetVisibleItem(i);
    const TRect r = link->GetItemRect();
    if (RectIsEmpty(r) || !link->GetBeginGroup()) continue;
    const Integer h = link->GetRowThickness();
    TRect sep;
    Boolean horizontalLine;
    if (!vertical && r.Left == 0 && r.Top > 0) {
      sep = TRect{0, r.Top - (h - r.Height()) / 2 - z, client.Width() - GetMarkAreaSize(), r.Top - (h - r.Height()) / 2};
      horizontalLine = true;
    } else if (vertical && r.Top > 0) {
      sep = TRect{r.Left - (h - r.Width()) / 2, r.Top - z, r.Left - (h - r.Width()) / 2 + h, r.Top};
      horizontalLine = true;
    } else if (vertical) {
      sep = TRect{r.Right + (h - r.Width()) / 2, 0, r.Right + (h - r.Width()) / 2 + z, client.Height() - GetMarkAreaSize()};
      horizontalLine = false;
    } else {
      sep = TRect{r.Left - z, r.Top - (h - r.Height()) / 2, r.Left, r.Top - (h - r.Height()) / 2 + h};
      horizontalLine = false;
    }
    painter->DrawToolbarSeparator(this, dc, horizontalLine, GetBackgroundBrush(), sep);
    ExcludeClipRect(dc, sep.Left, sep.Top, sep.Right, sep.Bottom);
  }
}

// ---- Frame, caption and close button

TRect TdxBarControl::GetCaptionRect() {
  TRect caption;
  if (TdxBarPainter* painter = GetPainter()) {
    TRect window{0, 0, GetWidth(), GetHeight()};
    painter->CalcFloatingCaptionRect(window, caption);
    caption.Left += painter->GetFloatingSideBorder();
    caption.Right -= painter->GetFloatingSideBorder();
    caption.Top += painter->GetFloatingTopBorder();
    caption.Bottom += painter->GetFloatingTopBorder();
  }
  return caption;
}

TRect TdxBarControl::GetCloseButtonRect() {
  const TRect caption = GetCaptionRect();
  const Integer size = caption.Height();
  return TRect{caption.Right - size, caption.Top, caption.Right, caption.Bottom};
}

void TdxBarControl::DrawNonClient(HDC dc) {
  TdxBarPainter* painter = GetPainter();
  if (!painter) return;
  TRect borders;
  GetBorders(borders);
  const TRect window{0, 0, GetWidth(), GetHeight()};
  const int saved = SaveDC(dc);
  const TRect client{borders.Left, borders.Top, window.Right - borders.Right, window.Bottom - borders.Bottom};
  // A painter that shades the window across its frame paints the frame over the client's edges
  // too; the client's own painting leaves them.
  if (!painter->UsesNativeBackground() || FDockingStyle == dsNone)
    ExcludeClipRect(dc, client.Left, client.Top, client.Right, client.Bottom);
  HBRUSH brush = GetBackgroundBrush();
  painter->DrawToolbarBackground(this, dc, clNone, brush, client, window);
  if (FDockingStyle == dsNone) {
    painter->DrawFloatingBorder(this, dc, window);
    if (!HasFloatingCaption()) {
      RestoreDC(dc, saved);
      return;
    }
    const TRect caption = GetCaptionRect();
    HBRUSH captionBrush = CreateSolidBrush(COLORREF(painter->GetFloatingCaptionColor(this, true)));
    RECT c{caption.Left, caption.Top, caption.Right, caption.Bottom};
    FillRect(dc, &c, captionBrush);
    DeleteObject(captionBrush);
    painter->DrawFloatingCaption(this, dc, brush, caption, caption);
  } else if (!FBar || FBar->GetBorderStyle() == bbsSingle) {
    TRect r = window;
    painter->DrawDockedBorder(this, dc, brush, r);
  }
  RestoreDC(dc, saved);
}

void TdxBarControl::SetActive(Boolean value) { inherited::SetActive(value); }

void TdxBarControl::Resize() {
  inherited::Resize();
  if (IsDestroying() || !HandleAllocated() || FDockingStyle == dsNone) return;
  // A new width of a docked multi-line bar may wrap its links into more or fewer rows.
  TSize size;
  CalcBarControlSize(FDockingStyle, size);
  if ((FDockingStyle == dsTop || FDockingStyle == dsBottom) && size.cy != GetHeight()) SetHeight(size.cy);
  if ((FDockingStyle == dsLeft || FDockingStyle == dsRight) && size.cx != GetWidth()) SetWidth(size.cx);
}

void TdxBarControl::DoKeyDown(Word key, TShiftState shift) {
  // Escape leaves the keyboard mode of a toolbar.
  if (key == VK_ESCAPE) {
    CloseByEscape();
    return;
  }
  inherited::DoKeyDown(key, shift);
}
void TdxBarControl::DoClose() { inherited::DoClose(); }

void TdxBarControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_NCCALCSIZE: {
      auto* rect = reinterpret_cast<RECT*>(message.LParam);
      if (message.WParam) rect = &reinterpret_cast<NCCALCSIZE_PARAMS*>(message.LParam)->rgrc[0];
      TRect borders;
      GetBorders(borders);
      rect->Left += borders.Left;
      rect->Top += borders.Top;
      rect->Right -= borders.Right;
      rect->Bottom -= borders.Bottom;
      if (rect->Right < rect->Left) rect->Right = rect->Left;
      if (rect->Bottom < rect->Top) rect->Bottom = rect->Top;
      message.Result = 0;
      return;
    }
    case WM_NCPAINT: {
      HDC dc = GetWindowDC(GetHandle());
      DrawNonClient(dc);
      ReleaseDC(GetHandle(), dc);
      message.Result = 0;
      return;
    }
    case WM_NCHITTEST:
      message.Result = HitTest(TPoint{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)}, HTNOWHERE);
      return;
    case WM_LBUTTONDBLCLK:
      // A double click on the grip or the caption docks a floating toolbar and floats a docked one.
      if (FLastHitCode == HTCAPTION && !InCustomizingMode()) {
        ToggleDocking();
        message.Result = 0;
        return;
      }
      break;
    case CM_FONTCHANGED:
      inherited::WndProc(message);
      BarFontChanged();
      return;
    case WM_GETMINMAXINFO: {
      inherited::WndProc(message);
      auto* info = reinterpret_cast<MINMAXINFO*>(message.LParam);
      info->ptMinTrackSize = POINT{10, 10};
      info->ptMaxTrackSize = info->ptMaxSize = info->ptMaxPosition = POINT{30000, 30000};
      return;
    }
    case WM_WINDOWPOSCHANGING: {
      auto* pos = reinterpret_cast<WINDOWPOS*>(message.LParam);
      if (FDockingStyle == dsNone && pos && (pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
        // A floating toolbar moved off every work area comes back into the one under the cursor.
        RECT now{};
        GetWindowRect(GetHandle(), &now);
        const Integer x = (pos->flags & SWP_NOMOVE) ? now.Left : pos->x;
        const Integer y = (pos->flags & SWP_NOMOVE) ? now.Top : pos->y;
        const Integer w = (pos->flags & SWP_NOSIZE) ? now.Right - now.Left : pos->cx;
        const Integer h = (pos->flags & SWP_NOSIZE) ? now.Bottom - now.Top : pos->cy;
        const TRect bounds{x, y, x + w, y + h};
        const TRect own = GetWorkAreaAtPoint(TPoint{x + w / 2, y + h / 2});
        const Boolean visible = bounds.Left < own.Right && own.Left < bounds.Right && bounds.Top < own.Bottom &&
                                own.Top < bounds.Bottom;
        if (!visible) {
          POINT cursor{};
          GetCursorPos(&cursor);
          const TRect area = GetWorkAreaAtPoint(TPoint{cursor.X, cursor.Y});
          Integer nx = x, ny = y;
          if (bounds.Right <= area.Left) nx = area.Left;
          else if (bounds.Left >= area.Right) nx = area.Right - w;
          if (bounds.Bottom <= area.Top) ny = area.Top;
          else if (bounds.Top >= area.Bottom) ny = area.Bottom - h;
          pos->x = nx;
          pos->y = ny;
          pos->flags &= ~UINT(SWP_NOMOVE);
        }
      }
      break;
    }
    case WM_WINDOWPOSCHANGED:
      inherited::WndProc(message);
      // A floating toolbar keeps its place and client size in its bar.
      if (!IsDestroying() && FDockingStyle == dsNone) StoreFloatingPosition();
      return;
    case WM_NCLBUTTONDOWN:
      if (message.WParam == HTLEFT || message.WParam == HTRIGHT || message.WParam == HTTOP ||
          message.WParam == HTBOTTOM) {
        SizeLoop(Integer(message.WParam));
        message.Result = 0;
        return;
      }
      if (message.WParam == HTCLOSE) {
        FCloseButtonState = 2;
        SendMessage(GetHandle(), WM_NCPAINT, 1, 0);
        message.Result = 0;
        return;
      }
      break;
    case WM_NCLBUTTONUP:
      if (FCloseButtonState == 2) {
        FCloseButtonState = 0;
        if (message.WParam == HTCLOSE && FBar) {
          // Hiding the bar frees this window.
          FBar->SetVisible(false);
          return;
        }
        SendMessage(GetHandle(), WM_NCPAINT, 1, 0);
        message.Result = 0;
        return;
      }
      break;
    case WM_NCMOUSEMOVE:
      if (FCloseButtonState == 2 && message.WParam != HTCLOSE) {
        FCloseButtonState = 0;
        SendMessage(GetHandle(), WM_NCPAINT, 1, 0);
      }
      break;
    case WM_MOUSELEAVE:
    case CM_MOUSELEAVE: {
      orv::TObjectLinkGuard self(this);
      inherited::WndProc(message);
      // A hot mark goes dark (and fades out) when the pointer leaves the toolbar.
      if (self.Alive() && !IsDestroying() && FMarkState == 1) SetMarkState(0);
      return;
    }
    default:
      break;
  }
  inherited::WndProc(message);
}

// ==== Bar windows of a manager ================================================================

void UpdateBarControls(TdxBarManager* manager) {
  if (!manager || manager->InDestruction() || manager->IsLoading() || manager->IsUpdateLocked()) return;
  TWinControl* form = manager->GetOwnerControl();
  for (Integer i = 0; i < manager->GetBarCount(); ++i) {
    TdxBar* bar = manager->GetBar(i);
    // The hidden bar of a popup toolbar belongs to its popup.
    if (bar->GetControl() && bar->GetControl()->IsPopup()) continue;
    const Boolean shown = form && !manager->IsDesigning() && bar->GetVisible() && !bar->GetHidden() &&
                          !bar->GetMergeTarget();
    auto* control = dynamic_cast<TdxBarControl*>(bar->GetControl());
    if (!shown) {
      if (control) control->Free();
      continue;
    }
    if (!control) {
      control = new TdxBarControl(manager, bar);
      control->UpdatePlacement();
      continue;
    }
    if (control->GetDockingStyle() != bar->GetDockingStyle())
      control->SetDockingStyle(bar->GetDockingStyle());
    else
      control->UpdatePlacement();
  }
}
