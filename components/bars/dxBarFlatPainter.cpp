// The flat bar painter: one-pixel frames instead of raised and sunken edges, hot and pressed
// items filled with the manager's flat brushes, flat separators, grips and floating frames.
// Also the base painter's backgrounds under toolbars and dock sites, which every style builds on.

#include <algorithm>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarDrawing.h"
#include "components/bars/dxBarQuickControl.h"
#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/dxOffice11.h"
#include "platform/controls/Graphics.h"
#include "platform/controls/ImgList.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/User.h"

namespace {

void FillRectWithBrush(HDC dc, const TRect& rect, HBRUSH brush) {
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  FillRect(dc, &r, brush);
}

void FrameRectWithBrush(HDC dc, const TRect& rect, HBRUSH brush) {
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  FrameRect(dc, &r, brush);
}

TRect Inflated(const TRect& r, Integer dx, Integer dy) { return TRect{r.Left - dx, r.Top - dy, r.Right + dx, r.Bottom + dy}; }

HBRUSH FlatBrush(TdxBarPainter* painter, Integer index, Integer fallback) {
  TdxBarManager* manager = painter->GetBarManager();
  HBRUSH brush = manager ? manager->GetFlatBrush(index) : nullptr;
  return brush ? brush : GetSysColorBrush(fallback);
}

Boolean IsHighContrastBlack() { return IsBlackButtonFace() || IsBlackButtonFaceColoredText(); }

// The glyph of a toolbar item centred in its cell, without any frame (the face is drawn apart).
void DrawToolbarGlyph(TdxBarItemControlDrawParams* params, HDC dc, const TRect& area) {
  TdxBarItemControl* control = params->Owner;
  Integer index;
  TCustomImageList* images;
  TBitmap* glyph;
  if (!control->GetImageSource(params->SizeMode, index, images, glyph)) return;
  const TSize size = glyph ? TSize{glyph->GetWidth(), glyph->GetHeight()} : TSize{images->GetWidth(), images->GetHeight()};
  const TRect glyphRect{area.Left + (area.Width() - size.cx) / 2, area.Top + (area.Height() - size.cy) / 2,
                        area.Left + (area.Width() - size.cx) / 2 + size.cx, area.Top + (area.Height() - size.cy) / 2 + size.cy};
  if (TdxBarPainter* painter = control->GetPainter()) painter->DrawGlyphImage(params, dc, glyphRect, index, images, glyph);
}

}  // namespace

// ==== Base painter: checked brush, frames, caption buttons and backgrounds ====================

HBRUSH TdxBarPainter::GetCheckedBrush() { return CheckeredBrush(); }

void TdxBarPainter::FrameItemBackground(TdxBarItemControl* control, HDC dc, Boolean useBrush, HBRUSH brush,
                                        const TRect& rect) {
  if (useBrush && brush) {
    FrameRectWithBrush(dc, rect, brush);
    return;
  }
  HRGN saved = nullptr;
  Boolean had = false;
  SaveClipRegion(dc, saved, had);
  ExcludeClipRect(dc, rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1);
  FillItemBackground(control, dc, false, brush, rect);
  RestoreClipRegion(dc, saved, had);
}

TColor TdxBarPainter::GetCaptionButtonGlyphColor(TCustomdxBarControl* barControl, Integer state) {
  return TColor(GetSysColor(COLOR_CAPTIONTEXT));
}

void TdxBarPainter::DrawCaptionButtonBackground(TCustomdxBarControl* barControl, HDC dc, Integer state,
                                                const TRect& rect) {
  if (state == 0) {
    FillDCRectWithColor(dc, rect, GetFloatingCaptionColor(barControl, true));
    return;
  }
  DrawSelectionFrame(dc, rect);
  FillRectWithBrush(dc, Inflated(rect, -1, -1), state == 1 ? GetSelectionBrush() : GetFaceBrush());
}

void TdxBarPainter::DrawToolbarBackground(TdxBarControl* toolbar, HDC dc, TColor color, HBRUSH brush,
                                          const TRect& origin, const TRect& rect) {
  TdxBar* bar = toolbar->GetBar();
  TdxBarManager* manager = toolbar->GetOwnerBarManager();
  if (bar && !bar->GetBackgroundBitmap()->GetEmpty()) {
    FillRectOrTile(dc, rect, origin, bar->GetBackgroundBitmap(), color, brush);
    return;
  }
  if (bar && bar->CanHaveSizeGrip() && manager && !manager->GetBackgrounds()->GetBar()->GetEmpty()) {
    FillRectOrTile(dc, TRect{0, 0, toolbar->GetWidth(), toolbar->GetHeight()}, origin,
                   manager->GetBackgrounds()->GetBar(), color, brush);
    return;
  }
  if (bar && bar->GetColor() != clDefault) {
    FillDCRectWithColor(dc, rect, TColor(ColorToRGB(bar->GetColor())));
    return;
  }
  if (toolbar->GetDockControl())
    DrawDockBackgroundUnderBar(toolbar, dc, color, brush, origin, rect);
  else
    DrawBarBackgroundBitmap(toolbar, dc, color, brush, origin, rect);
}

void TdxBarPainter::DrawDockBackground(TdxDockControl* dockControl, HDC dc, TColor color, HBRUSH brush,
                                       const TRect& whole, const TRect& origin, const TRect& rect) {
  FillRectOrTile(dc, rect, origin, nullptr, color, brush);
}

void TdxBarPainter::DrawDockBackgroundUnderBar(TdxBarControl* toolbar, HDC dc, TColor color, HBRUSH brush,
                                               const TRect& origin, const TRect& rect) {
  TdxDockControl* dock = toolbar->GetDockControl();
  if (!dock) {
    DrawBarBackgroundBitmap(toolbar, dc, color, brush, origin, rect);
    return;
  }
  // The dock's client origin in this DC: the toolbar's client origin less the client's place
  // in the dock.
  POINT p{0, 0};
  if (toolbar->HandleAllocated() && dock->HandleAllocated()) MapWindowPoints(toolbar->GetHandle(), dock->GetHandle(), &p, 1);
  const TRect dockOrigin{origin.Left - p.X, origin.Top - p.Y, origin.Left - p.X + dock->GetClientWidth(),
                         origin.Top - p.Y + dock->GetClientHeight()};
  dock->DrawBackground(dc, rect, color, brush, dockOrigin);
}

void TdxBarPainter::DrawBarBackgroundBitmap(TCustomdxBarControl* barControl, HDC dc, TColor color, HBRUSH brush,
                                            const TRect& origin, const TRect& rect) {
  TdxBarManager* manager = barControl->GetOwnerBarManager();
  FillRectOrTile(dc, rect, origin, manager ? manager->GetBackgrounds()->GetBar() : nullptr, color, brush);
}

// ==== Flat painter ============================================================================

Integer TdxBarFlatPainter::GetButtonArrowWidth(TdxBarManager* manager) { return inherited::GetButtonArrowWidth(manager) - 1; }
Integer TdxBarFlatPainter::GetLargeButtonArrowWidth(TdxBarManager* manager) {
  return inherited::GetLargeButtonArrowWidth(manager) - 1;
}

Integer TdxBarFlatPainter::CalcDetachGripOffset(Integer size) {
  const Integer n = (size - 4) / 2;
  return n < 5 ? n : n / 2 * 2;
}

HBRUSH TdxBarFlatPainter::GetToolbarBrush() { return FlatBrush(this, 1, COLOR_BTNFACE); }
HBRUSH TdxBarFlatPainter::GetToolbarBrushForBar(TCustomdxBarControl* barControl) {
  auto* toolbar = dynamic_cast<TdxBarControl*>(barControl);
  if (barControl && (barControl->IsMainMenu() || (toolbar && toolbar->GetBar() && toolbar->GetBar()->CanHaveSizeGrip())))
    return GetSysColorBrush(COLOR_BTNFACE);
  return inherited::GetToolbarBrushForBar(barControl);
}
HBRUSH TdxBarFlatPainter::GetQuickControlBrush(TCustomdxBarControl* barControl) { return GetSysColorBrush(COLOR_WINDOW); }
HBRUSH TdxBarFlatPainter::GetCheckedBrush() { return FlatBrush(this, 2, COLOR_BTNFACE); }
HBRUSH TdxBarFlatPainter::GetFaceBrush() { return FlatBrush(this, 3, COLOR_BTNFACE); }
HBRUSH TdxBarFlatPainter::GetSelectionBrush() { return FlatBrush(this, 4, COLOR_HIGHLIGHT); }
HBRUSH TdxBarFlatPainter::GetFlatToolbarBrush(TdxBarItemControl* control) { return FlatBrush(this, 1, COLOR_BTNFACE); }
HBRUSH TdxBarFlatPainter::GetShadowBrush() { return GetSysColorBrush(COLOR_BTNSHADOW); }
TColor TdxBarFlatPainter::GetShadowColor() { return TColor(GetSysColor(COLOR_BTNSHADOW)); }

HBRUSH TdxBarFlatPainter::GetItemBackgroundBrush(TdxBarItemControlDrawParams* params) {
  if (!params->Selected) return inherited::GetItemBackgroundBrush(params);
  return params->MenuOpen || IsWhiteButtonFace() ? GetFaceBrush() : GetSelectionBrush();
}

TColor TdxBarFlatPainter::GetFloatingCaptionColor(TCustomdxBarControl* barControl, Boolean active) {
  return inherited::GetFloatingCaptionColor(barControl, false);
}

TColor TdxBarFlatPainter::GetCaptionButtonGlyphColor(TCustomdxBarControl* barControl, Integer state) {
  return state == 1 || state == 2 ? TColor(GetSysColor(COLOR_BTNTEXT))
                                  : inherited::GetCaptionButtonGlyphColor(barControl, state);
}

void TdxBarFlatPainter::DrawSelectionFrame(HDC dc, const TRect& rect) {
  if (IsHighContrastBlack())
    FrameDCRectWithColor(dc, rect, TColor(GetSysColor(COLOR_HIGHLIGHTTEXT)));
  else
    FrameHighlightRect(dc, rect);
}

void TdxBarFlatPainter::DrawLoweredEdge(HDC dc, TRect& rect) {
  FrameRectWithBrush(dc, rect, GetSysColorBrush(COLOR_BTNSHADOW));
  rect = Inflated(rect, -1, -1);
}

void TdxBarFlatPainter::DrawOwnerFrame(TCustomdxBarControl* barControl, HDC dc, const TRect& rect) {
  FrameRectWithBrush(dc, rect, FlatBrush(this, 0, COLOR_BTNSHADOW));
}

HBRUSH TdxBarFlatPainter::GetButtonFaceBrush(TdxBarButtonLikeControlDrawParams* params) {
  const Boolean hot = params->Selected && params->Enabled;
  if (params->MenuOpen) return params->Down ? GetFaceBrush() : FlatBrush(this, 1, COLOR_BTNFACE);
  if (!hot) return params->Down ? GetCheckedBrush() : params->Owner->GetBkBrush();
  return !params->Sunken && !params->Down ? GetSelectionBrush() : GetFaceBrush();
}

void TdxBarFlatPainter::DrawGlyphFrame(TdxBarButtonLikeControlDrawParams* params, HDC dc, const TRect& rect) {
  TdxBarItemControl* control = params->Owner;
  const Boolean hot = params->Selected && params->Enabled;
  const Boolean inMenu = params->HostKind == hkMenu;
  if (params->MenuOpen && !inMenu) {
    TCustomdxBarControl* parent = control->GetParent();
    DrawOwnerJointAndFrame(parent ? parent->GetChildBarControl() : nullptr, dc, parent, control, rect);
  } else if (params->Down || (hot && !inMenu)) {
    DrawSelectionFrame(dc, rect);
  } else {
    const Boolean useBrush = params->Sunken || control->HasOwnBkBrush();
    // In a menu an idle glyph sits on the icon column.
    HBRUSH brush = inMenu && !hot ? GetFlatToolbarBrush(control) : GetButtonFaceBrush(params);
    FrameItemBackground(control, dc, useBrush, brush, rect);
  }
}

void TdxBarFlatPainter::DrawButtonEdge(TdxBarItemControl* control, HDC dc, Boolean down, Boolean selected,
                                       Integer paintType, HBRUSH brush, const TRect& rect) {
  if (selected || down)
    DrawSelectionFrame(dc, rect);
  else
    FrameItemBackground(control, dc, true, brush, rect);
}

void TdxBarFlatPainter::DrawButtonFrame(TdxBarItemControlDrawParams* params, const TRect& rect, HBRUSH brush) {
  inherited::DrawButtonFrame(params, rect, brush);
  auto* button = dynamic_cast<TdxBarButtonLikeControlDrawParams*>(params);
  if (params->MenuOpen && params->HostKind != hkMenu) return;
  DrawButtonEdge(params->Owner, params->Canvas->GetHandle(), button && button->Down, params->Selected, params->HostKind,
                 brush, rect);
}

void TdxBarFlatPainter::DrawButtonContent(TdxBarItemControlDrawParams* params, const TRect& itemRect) {
  auto* button = dynamic_cast<TdxBarButtonLikeControlDrawParams*>(params);
  // Menu items take the menu path of the base.
  if (params->HostKind == hkMenu || !button || !params->Canvas) {
    inherited::DrawButtonContent(params, itemRect);
    return;
  }
  TdxBarItemControl* control = params->Owner;
  HDC dc = params->Canvas->GetHandle();
  TRect rect = itemRect;
  if (button->Lowered) DrawLoweredEdge(dc, rect);
  TRect content = rect;
  const Boolean dropDownButton = button->IsButton && params->HasDropDown;
  if (dropDownButton) content.Right -= button->ArrowSize.cx;
  const Boolean hot = params->Selected && params->Enabled;
  const Boolean highlighted = hot || button->Sunken || button->Down || params->MenuOpen || control->HasOwnBkBrush();
  // The face: a painter shading the bar draws its frame (with its fill) first; the flat look
  // fills first and frames last.
  if (UsesNativeBackground())
    DrawGlyphFrame(button, dc, content);
  else
    FillItemBackground(control, dc, highlighted, GetButtonFaceBrush(button), content);
  if (params->Content & ceIcon) {
    TRect area = content;
    if (params->Content & ceText) {
      if (params->HostKind == hkRotatedToolbar)
        area.Bottom = area.Top + params->GlyphCellSize.cy;
      else
        area.Right = area.Left + params->GlyphCellSize.cx;
    }
    DrawToolbarGlyph(params, dc, area);
  }
  if (params->Content & ceText) {
    TRect text = content;
    Integer alignment = 0;
    CalcGlyphAndTextLayout(params, text, alignment, TRect());
    DrawItemText(control, dc, DT_SINGLELINE, button->CaptionFlat, false, params->HostKind == hkRotatedToolbar,
                 button->CaptionSelected, params->Enabled, alignment, text, params->Caption);
  }
  if (!UsesNativeBackground()) DrawGlyphFrame(button, dc, content);
  if (dropDownButton && !button->InMainMenu) DrawButtonDropDownPart(params, rect);
}

void TdxBarFlatPainter::DrawToolbarSeparator(TCustomdxBarControl* barControl, HDC dc, Boolean horizontal, HBRUSH brush,
                                             const TRect& rect) {
  barControl->DrawBackground(dc, rect, brush, clNone);
  const Integer offset = GetSeparatorOffset();
  const TRect line = horizontal ? TRect{rect.Left, rect.Top + offset, rect.Right, rect.Top + offset + 1}
                                : TRect{rect.Left + offset, rect.Top, rect.Left + offset + 1, rect.Bottom};
  FillRectWithBrush(dc, line, GetSysColorBrush(COLOR_BTNSHADOW));
}

void TdxBarFlatPainter::DrawDockedBorder(TdxBarControl* toolbar, HDC dc, HBRUSH brush, TRect& rect) {
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  FrameRectWithBrush(dc, rect, face);
  rect = Inflated(rect, -1, -1);
  const COLORREF faceColor = GetSysColor(COLOR_BTNFACE);
  SetPixel(dc, rect.Left, rect.Top, faceColor);
  SetPixel(dc, rect.Right - 1, rect.Top, faceColor);
  SetPixel(dc, rect.Left, rect.Bottom - 1, faceColor);
  SetPixel(dc, rect.Right - 1, rect.Bottom - 1, faceColor);
  rect = Inflated(rect, -1, -1);
  if (!toolbar->CanMove()) return;
  const Boolean horizontal = !toolbar->IsVertical();
  const Integer start = (horizontal ? rect.Left : rect.Top) + GetGripIndent();
  HBRUSH shadow = GetSysColorBrush(COLOR_BTNSHADOW);
  for (Integer i = 0; i < GetGripWidth(); ++i) {
    const TRect line = horizontal ? TRect{start + i, rect.Top + 3, start + i + 1, rect.Bottom - 3}
                                  : TRect{rect.Left + 3, start + i, rect.Right - 3, start + i + 1};
    FillRectWithBrush(dc, line, i % 2 == 0 ? shadow : brush);
  }
}

void TdxBarFlatPainter::DrawFloatingBorder(TdxBarControl* toolbar, HDC dc, const TRect& rect) {
  FrameRectWithBrush(dc, rect, FlatBrush(this, 0, COLOR_BTNSHADOW));
  TRect r = Inflated(rect, -1, -1);
  FrameRectWithBrush(dc, r, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
  r = Inflated(r, -1, -1);
  TRect borders;
  toolbar->GetBorders(borders);
  HBRUSH brush = toolbar->GetBackgroundBrush();
  while (r.Left < borders.Left && r.Right > r.Left && r.Bottom > r.Top) {
    FrameRectWithBrush(dc, r, brush);
    r = Inflated(r, -1, -1);
  }
}

void TdxBarFlatPainter::DrawCloseButton(TdxBarControl* toolbar, HDC dc, const TRect& rect) {
  const Integer state = toolbar->GetCloseButtonState();
  DrawCaptionButtonBackground(toolbar, dc, state, rect);
  TRect r = TRect{rect.Left + 3, rect.Top + 4, rect.Right - 3, rect.Bottom - 4};
  const Integer size = std::min(r.Width(), r.Height());
  r = TRect{r.Left + (r.Width() - size) / 2, r.Top + (r.Height() - size) / 2, 0, 0};
  r.Right = r.Left + size;
  r.Bottom = r.Top + size;
  const COLORREF color = COLORREF(ColorToRGB(GetCaptionButtonGlyphColor(toolbar, state)));
  for (Integer i = 0; i < size; ++i) {
    for (Integer w = 0; w < 2 && i + w < size; ++w) {
      SetPixel(dc, r.Left + i + w, r.Top + i, color);
      SetPixel(dc, r.Right - 1 - i - w, r.Top + i, color);
    }
  }
}

// ==== Base painter: check marks and the joint of a popup with its owner ======================

// The line where a popup touches the element that opened it, one pixel thick, its ends one
// pixel inside both; with `offset` moved one pixel towards the owner. Screen coordinates.
// Empty while the popup is not shown next to its owner.
TRect OwnerJointScreenRect(TCustomdxBarControl* popup, Boolean offset) {
  TRect owner;
  if (auto* menu = dynamic_cast<TdxBarSubMenuControl*>(popup))
    owner = menu->GetOwnerBounds();
  else if (auto* quick = dynamic_cast<TdxBarQuickControl*>(popup))
    owner = quick->GetOwnerBounds();
  if (!popup || !popup->HandleAllocated() || RectIsEmpty(owner)) return TRect();
  RECT wr{};
  GetWindowRect(popup->GetHandle(), &wr);
  const TRect w{wr.Left, wr.Top, wr.Right, wr.Bottom};
  TRect joint;
  if ((owner.Bottom == w.Top || owner.Top == w.Bottom) && owner.Left < w.Right && w.Left < owner.Right) {
    const Boolean below = owner.Bottom == w.Top;
    Integer y = below ? w.Top : w.Bottom - 1;
    if (offset) y += below ? -1 : 1;
    joint = TRect{std::max(owner.Left + 1, w.Left + 1), y, std::min(owner.Right - 1, w.Right - 1), y + 1};
  } else if ((owner.Right == w.Left || owner.Left == w.Right) && owner.Top < w.Bottom && w.Top < owner.Bottom) {
    const Boolean beside = owner.Right == w.Left;
    Integer x = beside ? w.Left : w.Right - 1;
    if (offset) x += beside ? -1 : 1;
    joint = TRect{x, std::max(owner.Top + 1, w.Top + 1), x + 1, std::min(owner.Bottom - 1, w.Bottom - 1)};
  }
  return RectIsEmpty(joint) ? TRect() : joint;
}

// The same line relative to the popup's window (the coordinates its frame is drawn in).
TRect OwnerJointWindowRect(TCustomdxBarControl* popup) {
  TRect joint = OwnerJointScreenRect(popup, false);
  if (RectIsEmpty(joint)) return joint;
  RECT wr{};
  GetWindowRect(popup->GetHandle(), &wr);
  return TRect{joint.Left - wr.Left, joint.Top - wr.Top, joint.Right - wr.Left, joint.Bottom - wr.Top};
}

namespace {

TRect ScreenToClientRect(TCustomdxBarControl* window, const TRect& r) {
  POINT a{r.Left, r.Top}, b{r.Right, r.Bottom};
  ScreenToClient(window->GetHandle(), &a);
  ScreenToClient(window->GetHandle(), &b);
  return TRect{a.X, a.Y, b.X, b.Y};
}

// The icon column of a menu item, counted from the item's left edge: the icon area and the
// strip right of it.
Integer MenuIconColumnWidth(TdxBarItemControl* control) {
  auto* subMenu = control ? dynamic_cast<TdxBarSubMenuControl*>(control->GetParent()) : nullptr;
  return (subMenu ? subMenu->GetIconAreaSize() : 0) + 1;
}

}  // namespace

void TdxBarPainter::DrawCheckMarkCentered(TdxBarItemControl* control, HDC dc, Boolean checked, Integer paintType,
                                          const TRect& rect) {
  if (!checked || paintType != hkMenu) return;
  TCustomdxBarControl* parent = control ? control->GetParent() : nullptr;
  const Integer scale = parent && parent->GetFont() && parent->GetFont()->GetSize() >= 16 ? 2 : 1;
  const Integer width = 9 * scale, height = 7 * scale;
  DrawCheckGlyph(control, dc, scale, (rect.Top + rect.Bottom - height) / 2, (rect.Left + rect.Right - width) / 2);
}

HBRUSH TdxBarPainter::GetOwnerLinkBrush(TdxBarManager* manager) {
  HBRUSH brush = manager ? manager->GetFlatBrush(1) : nullptr;
  return brush ? brush : GetSysColorBrush(COLOR_BTNFACE);
}

void TdxBarPainter::FillOwnerLinkArea(TCustomdxBarControl* barControl, HDC dc) {
  const TRect joint = OwnerJointWindowRect(barControl);
  if (!RectIsEmpty(joint)) FillRectWithBrush(dc, joint, GetOwnerLinkBrush(barControl->GetOwnerBarManager()));
}

// ==== Flat painter: the joint with an open popup and menus =====================================

void TdxBarFlatPainter::DrawOwnerJoint(TCustomdxBarControl* popup, HDC dc, TdxBarItemControl* control,
                                       const TRect& joint, const TRect& popupRect) {
  FillRectWithBrush(dc, joint, GetOwnerLinkBrush(GetBarManager()));
}

void TdxBarFlatPainter::DrawOwnerJointAndFrame(TCustomdxBarControl* popup, HDC dc, TCustomdxBarControl* ownerWindow,
                                               TdxBarItemControl* control, const TRect& rect) {
  TRect joint = OwnerJointScreenRect(popup, true);
  if (RectIsEmpty(joint) || !ownerWindow || !ownerWindow->HandleAllocated()) {
    DrawOwnerFrame(ownerWindow, dc, rect);
    return;
  }
  RECT wr{};
  GetWindowRect(popup->GetHandle(), &wr);
  joint = ScreenToClientRect(ownerWindow, joint);
  const TRect popupRect = ScreenToClientRect(ownerWindow, TRect{wr.Left, wr.Top, wr.Right, wr.Bottom});
  HRGN saved = nullptr;
  Boolean had = false;
  SaveClipRegion(dc, saved, had);
  DrawOwnerJoint(popup, dc, control, joint, popupRect);
  ExcludeClipRect(dc, joint.Left, joint.Top, joint.Right, joint.Bottom);
  DrawOwnerFrame(ownerWindow, dc, rect);
  RestoreClipRegion(dc, saved, had);
}

void TdxBarFlatPainter::FillOwnerJoint(TCustomdxBarControl* popup, HDC dc, TCustomdxBarControl* ownerWindow,
                                       const TRect& rect) {
  DrawOwnerJointAndFrame(popup, dc, ownerWindow, nullptr, rect);
  FillRectWithBrush(dc, Inflated(rect, -1, -1), GetOwnerLinkBrush(GetBarManager()));
}

Integer TdxBarFlatPainter::GetMenuTextSpacing(TdxBarItemControl* control) {
  TCustomdxBarControl* parent = control ? control->GetParent() : nullptr;
  return parent && parent->IsVertical() && parent->GetKind() != 2 ? parent->GetTextSize() + 3 : 0;
}

void TdxBarFlatPainter::CalcMenuMetrics(TcxCanvas* canvas, Integer textHeight, Integer& markSize,
                                        Integer& arrowWidth) {
  inherited::CalcMenuMetrics(canvas, textHeight, markSize, arrowWidth);
  const Integer n = CalcDetachGripOffset(markSize - 2);
  if (n % 2 != 0) markSize = 2 * n + 4;
}

Integer TdxBarFlatPainter::GetDetachCaptionHeight(TdxBarSubMenuControl* subMenu) {
  // The base adds 3 to the caption size; the flat caption has one-pixel frames.
  return inherited::GetDetachCaptionHeight(subMenu) - 2;
}

void TdxBarFlatPainter::CalcMenuIconRect(const TRect& itemRect, Integer iconAreaSize, TRect& rect) {
  inherited::CalcMenuIconRect(Inflated(itemRect, -1, -1), iconAreaSize - 2, rect);
}

void TdxBarFlatPainter::CalcMenuTextRect(TdxBarItemControlDrawParams* params, const TRect& itemRect, TRect& rect) {
  inherited::CalcMenuTextRect(params, TRect{itemRect.Left, itemRect.Top + 1, itemRect.Right - 1, itemRect.Bottom - 1},
                              rect);
}

Integer TdxBarFlatPainter::GetMenuTextIndent(TdxBarItemControlDrawParams* params) {
  return inherited::GetMenuTextIndent(params) + 6;
}

HBRUSH TdxBarFlatPainter::GetMenuBrush(TCustomdxBarControl* barControl) { return GetSysColorBrush(COLOR_WINDOW); }

void TdxBarFlatPainter::DeflateDetachCaptionRect(TdxBarSubMenuControl* subMenu, TRect& rect) {
  rect = Inflated(rect, -2, -2);
}

void TdxBarFlatPainter::CalcMenuGroupSeparatorRect(TdxBarSubMenuControl* subMenu, TdxBarItemControl* control,
                                                   TRect& rect, const TRect& itemRect) {
  rect = TRect{itemRect.Left, itemRect.Top - GetMenuSeparatorSize(), itemRect.Right, itemRect.Top};
}

void TdxBarFlatPainter::DrawMenuItemBackground(TdxBarItemControlDrawParams* params, const TRect& rect) {
  TdxBarItemControl* control = params->Owner;
  TCustomdxBarControl* parent = control->GetParent();
  HDC dc = params->Canvas->GetHandle();
  const Integer iconArea = parent ? GetIconAreaSize(parent) : rect.Height();
  TRect iconRect;
  CalcMenuIconRect(rect, iconArea, iconRect);
  const Boolean selected = params->Selected && params->Enabled;
  HBRUSH column = GetFlatToolbarBrush(control);
  HBRUSH background = parent ? parent->GetBackgroundBrush() : GetMenuBrush(nullptr);
  const Integer split = std::min(rect.Left + iconArea + 1, rect.Right);
  if (selected) {
    DrawSelectionFrame(dc, rect);
  } else {
    // The ring: the icon column's colour over the column, the menu's right of it.
    FillItemBackground(control, dc, false, column, TRect{rect.Left, rect.Top, split, rect.Top + 1});
    FillItemBackground(control, dc, false, column, TRect{rect.Left, rect.Bottom - 1, split, rect.Bottom});
    FillItemBackground(control, dc, false, column, TRect{rect.Left, rect.Top, rect.Left + 1, rect.Bottom});
    FillItemBackground(control, dc, false, background, TRect{split, rect.Top, rect.Right, rect.Top + 1});
    FillItemBackground(control, dc, false, background, TRect{split, rect.Bottom - 1, rect.Right, rect.Bottom});
    FillItemBackground(control, dc, false, background, TRect{rect.Right - 1, rect.Top, rect.Right, rect.Bottom});
  }
  const TRect inner = Inflated(rect, -1, -1);
  HBRUSH fill = selected ? GetSelectionBrush() : column;
  // The icon, the strips above and below it and the two pixels right of it.
  const TRect columnRect{inner.Left, inner.Top, std::min(iconRect.Right + 2, inner.Right), inner.Bottom};
  FillItemBackground(control, dc, selected, fill, columnRect);
  const TRect rest{columnRect.Right, inner.Top, inner.Right, inner.Bottom};
  if (selected)
    FillItemBackground(control, dc, true, GetSelectionBrush(), rest);
  else
    FillItemBackground(control, dc, control->HasOwnBkBrush(), control->GetBkBrush(), rest);
  // A checked item without a glyph shows a framed check mark in the icon column.
  auto* button = dynamic_cast<TdxBarButtonLikeControlDrawParams*>(params);
  Integer index;
  TCustomImageList* images;
  TBitmap* glyph;
  if (button && button->Down && !control->GetImageSource(params->SizeMode, index, images, glyph)) {
    const Integer side = std::min(iconRect.Width(), iconRect.Height());
    const TRect frame{iconRect.Left + (iconRect.Width() - side) / 2, iconRect.Top + (iconRect.Height() - side) / 2,
                      iconRect.Left + (iconRect.Width() - side) / 2 + side,
                      iconRect.Top + (iconRect.Height() - side) / 2 + side};
    FillRectWithBrush(dc, Inflated(frame, -1, -1), selected ? GetFaceBrush() : GetCheckedBrush());
    DrawSelectionFrame(dc, frame);
    DrawCheckMarkCentered(control, dc, true, hkMenu, frame);
  }
}

void TdxBarFlatPainter::DrawMenuGroupSeparator(TdxBarSubMenuControl* subMenu, TdxBarItemControl* control,
                                               const TRect& rect, TcxCanvas* canvas) {
  HDC dc = canvas->GetHandle();
  const Boolean nonRecent = subMenu && subMenu->IsNonRecent(control);
  HBRUSH row = subMenu ? subMenu->GetBackgroundBrush() : GetMenuBrush(nullptr);
  const Boolean useBrush = nonRecent && !HandlesNonRecentItems();
  if (useBrush) row = GetMenuBrush(subMenu);
  const Integer split = std::min(rect.Left + MenuIconColumnWidth(control), rect.Right);
  FillItemBackground(control, dc, false, GetFlatToolbarBrush(control), TRect{rect.Left, rect.Top, split, rect.Bottom});
  FillItemBackground(control, dc, useBrush, row, TRect{split, rect.Top, rect.Right, rect.Bottom});
  const Integer y = rect.Top + rect.Height() / 2;
  DrawMenuSeparatorLine(canvas, TRect{split + GetMenuSeparatorIndent(), y, rect.Right, y + 1});
}

void TdxBarFlatPainter::DrawMenuSeparatorLine(TcxCanvas* canvas, const TRect& rect) {
  if (rect.Right > rect.Left) FillDCRectWithColor(canvas->GetHandle(), TRect{rect.Left, rect.Top, rect.Right, rect.Top + 1}, GetShadowColor());
}

void TdxBarFlatPainter::DrawMenuFrame(TdxBarSubMenuControl* subMenu, HDC dc, const TRect& rect) {
  FrameRectWithBrush(dc, rect, FlatBrush(this, 0, COLOR_BTNSHADOW));
  FillOwnerLinkArea(subMenu, dc);
  if (!subMenu || !subMenu->IsDetachCaptionVisible()) return;
  const Integer h = GetDetachCaptionHeight(subMenu);
  const TRect inner = Inflated(rect, -1, -1);
  HBRUSH window = GetSysColorBrush(COLOR_WINDOW);
  FillRectWithBrush(dc, TRect{inner.Left, inner.Top, inner.Right, inner.Top + 1}, window);
  FillRectWithBrush(dc, TRect{inner.Left, inner.Top, inner.Left + 1, inner.Top + h}, window);
  FillRectWithBrush(dc, TRect{inner.Right - 1, inner.Top, inner.Right, inner.Top + h}, window);
  FillMenuArea(subMenu, dc, TRect{inner.Left + 1, inner.Top + 1, inner.Right - 1, inner.Top + h});
}

void TdxBarFlatPainter::DrawMenuClientFrame(TdxBarSubMenuControl* subMenu, HDC dc, HBRUSH brush, const TRect& rect) {
  if (RectIsEmpty(rect)) return;
  FrameRectWithBrush(dc, rect, GetMenuBrush(subMenu));
  FillRectWithBrush(dc, TRect{rect.Left, rect.Top + 1, rect.Left + 1, rect.Bottom - 1}, brush);
}

void TdxBarFlatPainter::FillMenuArea(TdxBarSubMenuControl* subMenu, HDC dc, const TRect& rect) {
  const Boolean hot = subMenu && subMenu->IsDetachCaptionSelected();
  if (hot) {
    DrawSelectionFrame(dc, rect);
    FillRectWithBrush(dc, Inflated(rect, -1, -1), GetSelectionBrush());
  } else {
    FillRectWithBrush(dc, rect, FlatBrush(this, 1, COLOR_BTNFACE));
  }
  // The grip: 33 pixels of lines on every second row, centred.
  const Integer width = std::min(33, rect.Width());
  const Integer left = rect.Left + (rect.Width() - width) / 2;
  HBRUSH line = GetSysColorBrush(hot ? COLOR_BTNTEXT : COLOR_BTNSHADOW);
  for (Integer y = rect.Top + 1; y < rect.Bottom - 1; y += 2) FillRectWithBrush(dc, TRect{left, y, left + width, y + 1}, line);
}

void TdxBarFlatPainter::DrawDetachCaption(TdxBarSubMenuControl* subMenu, HDC dc, const TRect& rect) {
  DrawSelectionFrame(dc, rect);
  FillRectWithBrush(dc, Inflated(rect, -1, -1), GetSelectionBrush());
}

void TdxBarFlatPainter::DrawCheckGlyph(TdxBarItemControl* control, HDC dc, Integer scale, Integer top, Integer left) {
  const Boolean enabled = !control || control->IsEnabled();
  COLORREF color;
  if (!enabled)
    color = GetSysColor(COLOR_BTNSHADOW);
  else
    color = IsWhiteButtonFace() || IsBlackButtonFaceColoredText() ? RGB(255, 255, 255) : RGB(0, 0, 0);
  const Integer s = scale, o = enabled ? 0 : 1;
  HPEN pen = CreatePen(PS_SOLID, 1, color);
  HGDIOBJ old = SelectObject(dc, pen);
  for (Integer k = 0; k < 2 * s; ++k) {
    MoveToEx(dc, left + s, top + 2 * s + k + o, nullptr);
    LineTo(dc, left + 3 * s, top + 4 * s + k + o);
    LineTo(dc, left + 8 * s, top - s + k + o);
  }
  SelectObject(dc, old);
  DeleteObject(pen);
}

// ---- The "More Buttons" mark: framed and lit like a button

void TdxBarFlatPainter::DrawMarkBackground(TdxBarControl* toolbar, HDC dc, HBRUSH brush, Integer state,
                                           const TRect& rect) {
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  if (state == 2) {
    // Open: the mark joins its popup in the popup's owner colour.
    FillRect(dc, &r, GetOwnerLinkBrush(toolbar->GetOwnerBarManager()));
    return;
  }
  if (state == 1)
    DrawSelectionFrame(dc, rect);
  else
    FrameRect(dc, &r, brush);
  const TRect inner{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
  if (state == 1) {
    RECT i{inner.Left, inner.Top, inner.Right, inner.Bottom};
    FillRect(dc, &i, GetSelectionBrush());
  } else {
    toolbar->DrawBackground(dc, inner, toolbar->GetBackgroundBrush(), clNone);
  }
}

Integer TdxBarFlatPainter::GetMarkGlyphColor(TCustomdxBarControl* toolbar) {
  auto* bar = dynamic_cast<TdxBarControl*>(toolbar);
  if (bar && bar->GetMarkState() == 1 && ColorToRGB(clBtnFace) == ColorToRGB(clWhite)) return COLOR_BTNFACE;
  return TdxBarPainter::GetMarkGlyphColor(toolbar);
}
