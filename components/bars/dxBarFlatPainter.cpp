// The flat bar painter: one-pixel frames instead of raised and sunken edges, hot and pressed
// items filled with the manager's flat brushes, flat separators, grips and floating frames.
// Also the base painter's backgrounds under toolbars and dock sites, which every style builds on.

#include <algorithm>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarDrawing.h"
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
  TcxCanvas canvas(dc);
  if (glyph)
    canvas.GetCanvas()->StretchDraw(glyphRect, glyph);
  else
    images->Draw(canvas.GetCanvas(), glyphRect.Left, glyphRect.Top, index, params->Enabled);
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
    DrawOwnerFrame(control->GetParent(), dc, rect);
  } else if (params->Down || (hot && !inMenu)) {
    DrawSelectionFrame(dc, rect);
  } else {
    const Boolean useBrush = params->Sunken || control->HasOwnBkBrush();
    FrameItemBackground(control, dc, useBrush, GetButtonFaceBrush(params), rect);
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
