// The painter base: page frame and client rects, colours, placing and drawing a tab's image and
// caption (vertical captions through cached turned bitmaps), clip handling and the paint order.
#include <algorithm>
#include <memory>

#include "components/foundation/cxGeometry.h"
#include "components/foundation/dxThemeManager.h"
#include "components/pagecontrol/cxPC.h"
#include "platform/drawing/Gdi.h"

namespace {

using BitmapPtr = std::unique_ptr<TcxBitmap32, orv::FreeDeleter>;
using RegionPtr = std::unique_ptr<TcxRegion, orv::FreeDeleter>;

constexpr Integer kTabTextFlags = cxSingleLine | cxShowEndEllipsis | cxAlignLeft | cxAlignTop;

}  // namespace

TcxPCCustomPainter::TcxPCCustomPainter(TcxCustomTabControl* tabControl) : FTabControl(tabControl) {
  FParentInfo = new TcxPCPainterParentInfo(tabControl);
}

TcxPCCustomPainter::~TcxPCCustomPainter() { orv::Free(FParentInfo); }

TcxTab* TcxPCCustomPainter::GetTab(Integer visibleIndex) {
  return FTabControl->GetTabs()->GetVisibleTab(visibleIndex);
}

TcxCanvas* TcxPCCustomPainter::GetCanvas() { return FTabControl->GetPaintCanvas(); }

Boolean TcxPCCustomPainter::HasFrame() { return FTabControl->GetShowFrame(); }

// ---- Page rects ----

TcxPCMargins TcxPCCustomPainter::GetPageFrameRectOffset() {
  TcxPCMargins m;
  TcxCustomTabControl* c = FTabControl;
  if (c->GetHideTabs() || c->GetRowCount() == 0) return m;
  const Integer n = c->GetRowCount(), p = c->GetTopOrLeftPartRowCount();
  const TRect nearArea = c->GetNearTabsArea(), farArea = c->GetFarTabsArea();
  const Boolean noRoom = c->GetTabsPositionRecord().NormalRowWidth < 1;
  switch (c->GetTabPosition()) {
    case tpTop:
      m.Top = nearArea.Bottom;
      if (n - p > 0) m.Bottom = c->GetHeight() - farArea.Top;
      break;
    case tpLeft:
      m.Top = nearArea.Right;
      if (n - p > 0) m.Bottom = c->GetWidth() - farArea.Left;
      break;
    case tpBottom:
      m.Top = noRoom ? nearArea.Top : c->GetHeight() - farArea.Top;
      if (p > 0) m.Bottom = nearArea.Bottom;
      break;
    case tpRight:
      m.Top = noRoom ? nearArea.Left : c->GetWidth() - farArea.Left;
      if (p > 0) m.Bottom = nearArea.Right;
      break;
  }
  return m;
}

TcxPCMargins TcxPCCustomPainter::GetPageClientRectOffset() {
  TcxPCMargins m = GetPageFrameRectOffset();
  if (HasFrame()) {
    const Integer w = GetFrameWidth();
    m = {m.Left + w, m.Top + w, m.Right + w, m.Bottom + w};
  }
  return m;
}

TcxPCMargins TcxPCCustomPainter::RotateMargins(const TcxPCMargins& m, TcxTabPosition position) {
  switch (position) {
    case tpBottom: return {m.Right, m.Bottom, m.Left, m.Top};
    case tpLeft: return {m.Top, m.Left, m.Bottom, m.Right};
    case tpRight: return {m.Bottom, m.Right, m.Top, m.Left};
    default: return m;
  }
}

TRect TcxPCCustomPainter::ExtendRectByRotatedMargins(const TRect& rect, const TcxPCMargins& margins,
                                                     TcxTabPosition position) {
  const TcxPCMargins m = RotateMargins(margins, position);
  TRect r{rect.Left + m.Left, rect.Top + m.Top, rect.Right - m.Right, rect.Bottom - m.Bottom};
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  return r;
}

TRect TcxPCCustomPainter::GetPageFrameRect() {
  return ExtendRectByRotatedMargins({0, 0, FTabControl->GetWidth(), FTabControl->GetHeight()},
                                    GetPageFrameRectOffset(), FTabControl->GetTabPosition());
}

TRect TcxPCCustomPainter::GetPageClientRect() {
  return ExtendRectByRotatedMargins({0, 0, FTabControl->GetWidth(), FTabControl->GetHeight()},
                                    GetPageClientRectOffset(), FTabControl->GetTabPosition());
}

TcxPCMargins TcxPCCustomPainter::GetNativeContentOffset() { return TRect(); }

// ---- Colours ----

TColor TcxPCCustomPainter::GetDefaultClientColor() { return FTabControl->GetColor(); }

TColor TcxPCCustomPainter::GetClientColor() {
  auto* page = dynamic_cast<TControl*>(FTabControl->GetActivePageObject());
  if (!page || page->GetParentColor()) return GetDefaultClientColor();
  return page->GetColor();
}

TColor TcxPCCustomPainter::GetTabColor(Integer visibleIndex) { return FTabControl->GetTabColor(visibleIndex); }

TColor TcxPCCustomPainter::GetTabTextColor(Integer visibleIndex) {
  if (visibleIndex < 0) return clBtnText;
  TcxTab* tab = GetTab(visibleIndex);
  if (tab->GetHighlighted()) return clHighlightText;
  if (tab->IsHotTrack() && FTabControl->GetHotTrack()) return GetHotTrackColor();
  return clBtnText;
}

Integer TcxPCCustomPainter::GetTabThemeState(Integer visibleIndex) {
  TcxTab* tab = GetTab(visibleIndex);
  if (tab->IsMainTab()) return 3;
  if (tab->IsHotTrack()) return 2;
  return 1;
}

// ---- Images and captions ----

Boolean TcxPCCustomPainter::HasImages() {
  return FTabControl->GetImages() && FTabControl->GetTabImageList()->GetImageSize().cx > 0;
}

Boolean TcxPCCustomPainter::ShowsImage(Integer visibleIndex) {
  return HasImages() && FTabControl->GetTabImageIndex(GetTab(visibleIndex)->GetIndex()) >= 0;
}

TSize TcxPCCustomPainter::GetImageSize() { return FTabControl->GetTabImageList()->GetImageSize(); }

TSize TcxPCCustomPainter::GetDrawnImageSize() {
  TSize size = GetImageSize();
  if (GetCaptionOrientation() != 0) std::swap(size.cx, size.cy);
  return size;
}

Integer TcxPCCustomPainter::GetCaptionOrientation() { return FTabControl->GetCaptionOrientation(); }

Integer TcxPCCustomPainter::GetTabSideCode(Integer visibleIndex) {
  static const Integer codes[4][3] = {{1, 2, 3}, {10, 11, 12}, {6, 4, 5}, {9, 7, 8}};
  const Integer side = GetTab(visibleIndex)->GetSide();
  const Integer orientation = IsNativePainting() ? 0 : GetCaptionOrientation();
  return codes[side][orientation];
}

Integer TcxPCCustomPainter::GetMaxTabTextHeight() {
  Integer result = 0;
  TcxCanvas* canvas = FTabControl->GetCanvasOrScreenCanvas();
  TcxVisibleTabList* list = FTabControl->GetVisibleTabList();
  for (Integer i = 0; i < list->GetCount(); ++i) {
    FTabControl->PrepareTabFont(list->GetTab(i), canvas);
    result = std::max(result, canvas->TextHeightOf("Zg"));
  }
  if (list->GetCount() == 0) {
    canvas->SetFontHandle(FTabControl->GetFont()->GetHandle());
    result = canvas->TextHeightOf("Zg");
  }
  return result;
}

namespace {

// The width the caption takes drawn on one line in `width` pixels with an end ellipsis; 0 when
// it does not fit or only the ellipsis would remain.
Integer EllipsizedTextWidth(TcxCanvas* canvas, const AnsiString& text, Integer width) {
  if (width <= 0) return 0;
  const Integer full = canvas->TextWidthOf(text);
  if (full <= width) return full;
  for (std::size_t n = text.size(); n-- > 0;) {
    if (n == 0) return 0;
    const Integer w = canvas->TextWidthOf(text.substr(0, n) + "...");
    if (w <= width) return w;
  }
  return 0;
}

}  // namespace

void TcxPCCustomPainter::CalculateTabImageAndTextRects(TcxTab* tab, Integer visibleIndex, TRect& imageRect,
                                                       TRect& textRect) {
  imageRect = TRect();
  textRect = TRect();
  TcxCustomTabControl* c = FTabControl;
  TcxCanvas* canvas = GetCanvas();
  const Boolean native = IsNativePainting();
  const Integer orientation = native ? 0 : GetCaptionOrientation();
  TRect r = tab->GetFullRect();
  if (native) {
    r = MakeRectBounds(0, 0, r.Width(), r.Height());
    if (GetCaptionOrientation() != 0) r = MakeRectBounds(0, 0, r.Height(), r.Width());
  }
  const TSize imageSize = GetImageSize();
  const Integer w = imageSize.cx, h = imageSize.cy;
  // The image as drawn: turned with vertical captions.
  const Integer drawnW = orientation == 0 ? w : h;
  const Integer drawnH = orientation == 0 ? h : w;
  const Boolean showsImage = ShowsImage(visibleIndex);
  const Boolean hasCaption = !tab->GetCaption().empty();
  const Boolean isMain = IsMainTab(visibleIndex);
  const Integer sideCode = GetTabSideCode(visibleIndex);
  const Boolean buttonStyle = IsButtonStyle();
  const Boolean tabStyle = IsTabStyle();
  const Boolean rotate = c->GetRotate();

  auto adjustAcross = [&](Integer (&a)[4]) {
    if (buttonStyle) {
      if (orientation == 2 ? !isMain : isMain) {
        a[1] += 1;
        a[3] -= 1;
      }
    } else if (rotate) {
      a[1] = 0;
      a[3] = 0;
    }
    if (tabStyle && (sideCode == 5 || sideCode == 7 || sideCode == 10)) std::swap(a[1], a[3]);
  };
  // Places an extent `size` across the tab between the two offsets; answers (start, end).
  auto placeAcross = [&](const Integer (&a)[4], Integer size, Integer& start, Integer& end) {
    if (orientation == 0) {
      const Integer lo = r.Top + a[1], hi = r.Bottom - a[3];
      start = lo + (hi - lo - size) / 2;
    } else if (orientation == 1) {
      const Integer lo = r.Left + a[1], hi = r.Right - a[3];
      start = lo + (hi - lo - size) / 2;
    } else {
      const Integer lo = r.Left + a[3], hi = r.Right - a[1];
      start = hi - (hi - lo - size) / 2 - size;
    }
    end = start + size;
  };
  Integer imageAcross0 = 0, imageAcross1 = 0, textAcross0 = 0, textAcross1 = 0;
  if (showsImage) {
    Integer a[4];
    GetImageWithTextContentOffsets(visibleIndex, a);
    adjustAcross(a);
    placeAcross(a, orientation == 0 ? drawnH : drawnW, imageAcross0, imageAcross1);
  }
  if (hasCaption) {
    Integer t[4];
    GetTextContentOffsets(visibleIndex, t);
    adjustAcross(t);
    placeAcross(t, canvas->TextHeightOf("Zg"), textAcross0, textAcross1);
  }
  auto makeRect = [&](Integer along0, Integer along1, Integer across0, Integer across1) {
    if (orientation == 0) return TRect{along0, across0, along1, across1};
    return TRect{across0, along0, across1, along1};
  };
  if (showsImage && !hasCaption) {
    Integer p[2];
    GetImageOnlyContentOffsets(visibleIndex, p);
    if (native && (sideCode == 2 || sideCode == 9 || sideCode == 12)) std::swap(p[0], p[1]);
    if (buttonStyle && isMain) {
      if (orientation == 1) {
        p[0] -= 1;
        p[1] += 1;
      } else {
        p[0] += 1;
        p[1] -= 1;
      }
    }
    if (orientation == 0) {
      const Integer lo = r.Left + p[0], hi = r.Right - p[1];
      const Integer left = lo + (hi - lo - drawnW) / 2;
      imageRect = {left, imageAcross0, left + drawnW, imageAcross1};
    } else if (orientation == 1) {
      const Integer lo = r.Top + p[1], hi = r.Bottom - p[0];
      Integer top;
      if (buttonStyle)
        top = lo + (hi - lo - drawnH) / 2;
      else
        top = hi - (hi - lo - drawnH) / 2 - drawnH;
      imageRect = {imageAcross0, top, imageAcross1, top + drawnH};
    } else {
      const Integer lo = r.Top + p[0], hi = r.Bottom - p[1];
      const Integer top = lo + (hi - lo - drawnH) / 2;
      imageRect = {imageAcross0, top, imageAcross1, top + drawnH};
    }
    StoreTabImageAndTextRects(visibleIndex, imageRect, textRect);
    return;
  }
  if (!hasCaption) {
    StoreTabImageAndTextRects(visibleIndex, imageRect, textRect);
    return;
  }
  // Along the tab.
  const Integer fullLength = orientation != 0 ? r.Height() : r.Width();
  auto adjustAlong = [&](Integer& m0, Integer& m1) {
    if (buttonStyle && isMain) {
      if (orientation == 1) {
        m0 -= 1;
        m1 += 1;
      } else {
        m0 += 1;
        m1 -= 1;
      }
    }
    if (buttonStyle && HasImages() && orientation == 1) {
      m0 += 1;
      m1 -= 1;
    }
  };
  Integer m0, m1;
  GetTabTextWOffset(visibleIndex, m0, m1);
  adjustAlong(m0, m1);
  Integer l = fullLength - m0 - m1;
  const Boolean imagePart = showsImage || (HasImages() && rotate);
  const Integer imageTextDistance = GetImageTextDistance(visibleIndex);
  const Integer border = c->GetImageBorder();
  Integer i = imagePart ? imageTextDistance + 2 * border + w : 0;
  const Boolean cut = canvas->TextWidthOf(tab->GetCaption()) > l - i;
  if (cut) {
    GetTabCutTextWOffset(visibleIndex, m0, m1);
    adjustAlong(m0, m1);
    l = fullLength - m0 - m1;
  }
  const Integer textWidth = EllipsizedTextWidth(canvas, tab->GetCaption(), l - i);
  i += textWidth;
  if (i == 0) {
    StoreTabImageAndTextRects(visibleIndex, imageRect, textRect);
    return;
  }
  const Boolean alignable = c->GetRotate() && c->GetTabWidth() <= 0 && c->GetMaxRotatedTabWidth() <= 0;
  auto alignOffset = [&](Integer a, Integer size) {
    if (alignable) {
      const Integer widest = c->GetWidestRotatedCaptionWidth();
      if (c->GetTabCaptionAlignment() == taLeftJustify) return (a - widest) / 2;
      if (c->GetTabCaptionAlignment() == taRightJustify) return widest + (a - widest) / 2 - size;
    }
    return (a - size) / 2;
  };
  const Boolean rotatedWithImages = rotate && HasImages();
  // Along coordinates run from the tab's start (left, bottom for orientation 1, top for 2).
  Integer start = m0;
  if (!cut && !rotatedWithImages) start += alignOffset(l, i);
  Integer imageStart = -1;
  if (showsImage) imageStart = start + border;
  if (imagePart) start += imageTextDistance + 2 * border + w;
  if (rotatedWithImages && !cut) start += alignOffset(fullLength - start - m1, textWidth);
  const Integer textStart = start;
  auto toAlong = [&](Integer offset, Integer size, Integer& a0, Integer& a1) {
    if (orientation == 0) {
      a0 = r.Left + offset;
      a1 = a0 + size;
    } else if (orientation == 1) {
      a1 = r.Bottom - offset;
      a0 = a1 - size;
    } else {
      a0 = r.Top + offset;
      a1 = a0 + size;
    }
  };
  if (showsImage) {
    Integer a0, a1;
    toAlong(imageStart, w, a0, a1);
    imageRect = makeRect(a0, a1, imageAcross0, imageAcross1);
  }
  if (textWidth > 0) {
    Integer a0, a1;
    toAlong(textStart, textWidth, a0, a1);
    textRect = makeRect(a0, a1, textAcross0, textAcross1);
  }
  StoreTabImageAndTextRects(visibleIndex, imageRect, textRect);
}

void TcxPCCustomPainter::DrawTabText(TcxCanvas* canvas, const AnsiString& text, Integer visibleIndex,
                                     const TRect& rect) {
  canvas->DrawTextInRect(text, rect, kTabTextFlags);
}

void TcxPCCustomPainter::DrawTabCaptionIntoBitmap(TcxBitmap* bitmap, TcxTab* tab, Integer visibleIndex,
                                                  const TRect& textRect, const TRect& drawRect,
                                                  TColor bodyColor) {
  TcxCanvas* source = GetCanvas();
  TcxCanvas* canvas = bitmap->GetCanvas();
  canvas->SetFontHandle(source->GetFontHandle());
  canvas->SetFontColor(source->GetFontColor());
  canvas->SetPenColor(source->GetPenColor());
  canvas->FillRectWithColor(bitmap->GetBoundsRect(), bodyColor);
  FillTabBitmapBackground(bitmap, textRect, visibleIndex);
  canvas->SetBrushClear(true);
  if (!tab->IsEnabled()) {
    const TColor savedColor = canvas->GetFontColor();
    if (DrawsDisabledTextShadow()) {
      canvas->SetFontColor(GetDisabledTextHighlightColor());
      DrawTabText(canvas, tab->GetCaption(), visibleIndex, GetOffsetRect(drawRect, 1, 1));
      canvas->SetFontColor(GetDisabledTextShadowColor());
    } else {
      canvas->SetFontColor(GetDisabledTextHighlightColor());
    }
    DrawTabText(canvas, tab->GetCaption(), visibleIndex, drawRect);
    canvas->SetFontColor(savedColor);
  } else {
    DrawTabText(canvas, tab->GetCaption(), visibleIndex, drawRect);
  }
  canvas->SetBrushClear(false);
}

void TcxPCCustomPainter::DrawTabCaption(TcxTab* tab, Integer visibleIndex, const TRect& textRect,
                                        TColor bodyColor) {
  const Integer orientation = GetCaptionOrientation();
  TcxCanvas* canvas = GetCanvas();
  if (orientation != 0 && !IsNativePainting()) {
    if (!tab->FVerticalTextBitmap) {
      auto* bitmap = new TcxBitmap32(textRect.Height(), textRect.Width());
      tab->FVerticalTextBitmap = bitmap;
      DrawTabCaptionIntoBitmap(bitmap, tab, visibleIndex, textRect, bitmap->GetBoundsRect(), bodyColor);
      RotateBitmap(bitmap, orientation);
    }
    TcxBitmap* bitmap = tab->FVerticalTextBitmap;
    canvas->CopyRectFrom(MakeRectBounds(textRect.Left, textRect.Top, bitmap->GetWidth(), bitmap->GetHeight()),
                         bitmap->GetCanvas(), bitmap->GetBoundsRect());
    return;
  }
  BitmapPtr bitmap(new TcxBitmap32(textRect.Width(), textRect.Height()));
  DrawTabCaptionIntoBitmap(bitmap.get(), tab, visibleIndex, textRect, bitmap->GetBoundsRect(), bodyColor);
  canvas->CopyRectFrom(textRect, bitmap->GetCanvas(), bitmap->GetBoundsRect());
}

void TcxPCCustomPainter::DrawTabImageAndText(TcxTab* tab, Integer visibleIndex) {
  FTabImageAndTextData.TabVisibleIndex = visibleIndex;
  TcxCanvas* canvas = GetCanvas();
  FTabControl->PrepareTabFont(tab, canvas);
  TRect imageRect, textRect;
  CalculateTabImageAndTextRects(tab, visibleIndex, imageRect, textRect);
  const TColor body = GetTabBodyColor(visibleIndex);
  const Integer imageIndex = FTabControl->GetTabImageIndex(tab->GetIndex());
  if (imageIndex != -1 && !RectIsEmpty(imageRect))
    FTabControl->GetTabImageList()->Draw(canvas, imageRect.Left, imageRect.Top, imageIndex, tab->IsEnabled(), body);
  if (!tab->GetCaption().empty() && !RectIsEmpty(textRect)) DrawTabCaption(tab, visibleIndex, textRect, body);
  if (!IsNativePainting()) {
    RegionPtr area(new TcxRegion(textRect));
    area->CombineWith(new TcxRegion(imageRect), roAdd);
    area->CombineWith(GetTabClipRegion(visibleIndex), roIntersect);
    canvas->SetClipRegion(area.release(), roSubtract);
  }
}

// ---- Clip helpers ----

TcxRegion* TcxPCCustomPainter::GetTabClipRegion(Integer visibleIndex) {
  return new TcxRegion(GetTab(visibleIndex)->GetVisibleRect());
}

void TcxPCCustomPainter::SaveClip() { FSavedClips.emplace_back(GetCanvas()->CreateClipRegion()); }

void TcxPCCustomPainter::RestoreClip() {
  if (FSavedClips.empty()) return;
  GetCanvas()->SetClipRegion(FSavedClips.back().release(), roSet);
  FSavedClips.pop_back();
}

Boolean TcxPCCustomPainter::SetClipToRect(const TRect& rect, Boolean intersect) {
  if (RectIsEmpty(rect)) return false;
  TcxCanvas* canvas = GetCanvas();
  if (intersect && !canvas->IsRectVisible(rect)) return false;
  SaveClip();
  canvas->SetClipRegion(new TcxRegion(rect), intersect ? roIntersect : roSet);
  return true;
}

void TcxPCCustomPainter::InvalidateTabRect(Integer visibleIndex) {
  FTabControl->InvalidateArea(GetTab(visibleIndex)->GetVisibleRect(), false);
}

void TcxPCCustomPainter::InvalidateTabsArea(Integer visibleIndex) {
  TcxTab* tab = GetTab(visibleIndex);
  FTabControl->InvalidateArea(tab->GetVisibleRow() < FTabControl->GetTopOrLeftPartRowCount()
                                  ? FTabControl->GetNearTabsArea()
                                  : FTabControl->GetFarTabsArea(),
                              false);
}

void TcxPCCustomPainter::NotifyTabPainted(Integer visibleIndex) {
  FTabControl->NotifyTabDrawn(GetCanvas(), GetTab(visibleIndex), FTabImageAndTextData.ImageRect,
                              FTabImageAndTextData.TextRect);
}

Boolean TcxPCCustomPainter::IsOwnerDrawn() {
  return FTabControl->GetOwnerDraw() && bool(FTabControl->GetOnDrawTab());
}

Boolean TcxPCCustomPainter::DoOwnerDraw(Integer visibleIndex) {
  bool defaultDraw = true;
  FTabControl->GetOnDrawTab()(FTabControl, GetTab(visibleIndex), defaultDraw);
  return !defaultDraw;
}

// ---- Polylines ----

void TcxPCCustomPainter::DrawPolylineWithEnd(const TPoint* points, Integer count, TcxCanvas* canvas,
                                             TColor color) {
  if (count <= 0) return;
  canvas->SetPenColor(color);
  if (count > 1) canvas->DrawPolyline(points, count);
  const TPoint last = points[count - 1];
  canvas->MoveToPoint(last.X, last.Y);
  canvas->LineToPoint(last.X + 1, last.Y + 1);
}

void TcxPCCustomPainter::TransformPoints(const TRect& rect, TPoint* points, Integer count, Integer side) {
  for (Integer i = 0; i < count; ++i) {
    const TPoint p = points[i];
    switch (side) {
      case 1: points[i] = {p.X, rect.Top + rect.Bottom - p.Y - 1}; break;
      case 2: points[i] = {p.Y + rect.Right - rect.Bottom, rect.Bottom + rect.Left - p.X - 1}; break;
      case 3: points[i] = {rect.Bottom + rect.Left - p.Y - 1, rect.Bottom + rect.Left - p.X - 1}; break;
      default: break;
    }
  }
}

void TcxPCCustomPainter::DrawTransformedPolyline(const TRect& rect, std::vector<TPoint> points, TColor color,
                                                 Integer side, Integer lastIndex) {
  const Integer count = lastIndex < 0 ? Integer(points.size()) : lastIndex + 1;
  TransformPoints(rect, points.data(), count, side);
  DrawPolylineWithEnd(points.data(), count, GetCanvas(), color);
}

// ---- Paint order ----

void TcxPCCustomPainter::PaintPageClientArea() {
  GetCanvas()->FillRectWithColor(GetPageClientRect(), GetClientColor());
}

void TcxPCCustomPainter::PaintPageArea() {
  if (HasFrame()) PaintFrame();
  PaintPageClientArea();
  GetCanvas()->ExcludeFromClip(GetPageFrameRect());
}

void TcxPCCustomPainter::DoPaint() {
  TcxCanvas* canvas = GetCanvas();
  if (!FTabControl->GetHideTabs()) {
    PaintButtons();
    const TRect frame = GetPageFrameRect();
    const Integer w = FTabControl->GetWidth(), h = FTabControl->GetHeight();
    const TRect strips[4] = {{0, 0, frame.Left, h}, {0, 0, w, frame.Top}, {frame.Right, 0, w, h},
                             {0, frame.Bottom, w, h}};
    for (const TRect& strip : strips) {
      if (!RectIsEmpty(strip) && canvas->IsRectVisible(strip)) {
        PaintTabs();
        break;
      }
    }
  }
  PaintPageArea();
}
