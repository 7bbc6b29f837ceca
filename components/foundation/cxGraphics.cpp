#include "components/foundation/cxGraphics.h"

#include <algorithm>
#include <limits>
#include <memory>

#include <cmath>
#include <cstring>

#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxImageList.h"
#include "components/foundation/cxLookAndFeels.h"
#include "components/foundation/cxStyles.h"
#include "platform/controls/Controls.h"
#include "platform/windowing/User.h"
#include "components/foundation/dxOffice11.h"
#include "platform/drawing/Gdi.h"
#include "platform/drawing/Surface.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Math.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"

// ==== Solid brush cache ======================================================================

namespace {

constexpr Cardinal kFirstSystemColor = 0xFF000000u;
constexpr Cardinal kLastSystemColor = 0xFF00001Eu;  // system colours 0 to 30

}  // namespace

TcxSolidBrushCache::TcxSolidBrushCache(Integer capacity) : FCapacity(std::max(capacity, 1)) {
  FColors.reserve(std::size_t(FCapacity));
  FBrushes.reserve(std::size_t(FCapacity));
  FUseCounts.reserve(std::size_t(FCapacity));
  FNotifier = new TcxSystemPaletteChangedNotifier;
  FNotifier->SetOnSystemPaletteChanged(
      TcxSystemPaletteChangedEvent(this, &TcxSolidBrushCache::SystemPaletteChanged));
}

TcxSolidBrushCache::~TcxSolidBrushCache() {
  FreeAndNil(FNotifier);
  Clear();
}

HBRUSH TcxSolidBrushCache::GetBrush(TColor color) {
  const auto key = Cardinal(color);
  if (key >= kFirstSystemColor && key <= kLastSystemColor)
    return GetSysColorBrush(int(key - kFirstSystemColor));

  auto pos = std::size_t(std::lower_bound(FColors.begin(), FColors.end(), key) - FColors.begin());
  if (pos < FColors.size() && FColors[pos] == key) {
    if (FUseCounts[pos] < std::numeric_limits<Cardinal>::max()) ++FUseCounts[pos];
    return FBrushes[pos];
  }
  if (GetCount() >= FCapacity) {
    // The least-used entry goes (the lowest colour among equals); a new entry starts at 0, so it
    // is the first candidate until it has been hit once.
    const auto victim = std::size_t(std::min_element(FUseCounts.begin(), FUseCounts.end()) - FUseCounts.begin());
    DeleteObject(FBrushes[victim]);
    FColors.erase(FColors.begin() + std::ptrdiff_t(victim));
    FBrushes.erase(FBrushes.begin() + std::ptrdiff_t(victim));
    FUseCounts.erase(FUseCounts.begin() + std::ptrdiff_t(victim));
    if (victim < pos) --pos;
  }
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  FColors.insert(FColors.begin() + std::ptrdiff_t(pos), key);
  FBrushes.insert(FBrushes.begin() + std::ptrdiff_t(pos), brush);
  FUseCounts.insert(FUseCounts.begin() + std::ptrdiff_t(pos), 0);
  return brush;
}

void TcxSolidBrushCache::Clear() {
  for (HBRUSH brush : FBrushes) DeleteObject(brush);
  FColors.clear();
  FBrushes.clear();
  FUseCounts.clear();
}

TcxSolidBrushCache* GetSolidBrushCache() {
  // Freed through the one Free path at exit.
  static const std::unique_ptr<TcxSolidBrushCache, orv::FreeDeleter> cache(new TcxSolidBrushCache(128));
  return cache.get();
}

HBRUSH GetCachedSolidBrush(TColor color) { return GetSolidBrushCache()->GetBrush(color); }

// ==== Regions ================================================================================

TcxRegion::TcxRegion() : FHandle(CreateRectRgn(0, 0, 0, 0)) {}
TcxRegion::TcxRegion(HRGN handle) : FHandle(handle) {}
TcxRegion::TcxRegion(const TRect& rect) : FHandle(CreateRectRgnIndirect(&rect)) {}
TcxRegion::TcxRegion(Integer left, Integer top, Integer right, Integer bottom)
    : FHandle(CreateRectRgn(left, top, right, bottom)) {}
TcxRegion::~TcxRegion() { DestroyHandle(); }

TcxRegion* TcxRegion::CreateRound(Integer left, Integer top, Integer right, Integer bottom,
                                  Integer ellipseWidth, Integer ellipseHeight) {
  return new TcxRegion(CreateRoundRectRgn(left + 1, top + 1, right, bottom, ellipseWidth, ellipseHeight));
}

TcxRegion* TcxRegion::CreateRoundFromRect(const TRect& rect, Integer ellipseWidth,
                                          Integer ellipseHeight) {
  return CreateRound(rect.Left, rect.Top, rect.Right, rect.Bottom, ellipseWidth, ellipseHeight);
}

void TcxRegion::DestroyHandle() {
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
}

Boolean TcxRegion::IsEmpty() const {
  RECT box{};
  return GetRgnBox(FHandle, &box) == NULLREGION;
}

void TcxRegion::CombineWith(TcxRegion* region, TcxRegionOperation operation, Boolean freeRegion) {
  static constexpr int kModes[] = {RGN_COPY, RGN_OR, RGN_DIFF, RGN_AND};
  if (region) {
    if (!FHandle) FHandle = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(FHandle, operation == roSet ? region->FHandle : FHandle, region->FHandle,
               kModes[operation]);
  }
  if (freeRegion) orv::Free(region);
}

Boolean TcxRegion::IsEqual(TcxRegion* region) const {
  return region && IsEqualHandle(region->FHandle);
}

Boolean TcxRegion::IsEqualHandle(HRGN region) const {
  if (!region) return false;
  RECT box{};
  if (IsEmpty() && GetRgnBox(region, &box) == NULLREGION) return true;
  return EqualRgn(FHandle, region) != 0;
}

void TcxRegion::OffsetBy(Integer dx, Integer dy) { OffsetRgn(FHandle, dx, dy); }

Boolean TcxRegion::PtInRegion(Integer x, Integer y) const { return ::PtInRegion(FHandle, x, y) != 0; }

// ==== Canvas =================================================================================

UINT cxFlagsToDTFlags(Integer flags) {
  UINT result = DT_NOPREFIX;
  if (flags & cxAlignRight) result |= DT_RIGHT;
  if (flags & cxAlignHCenter) result |= DT_CENTER;
  if (flags & cxAlignBottom) result |= DT_BOTTOM;
  if (flags & cxAlignVCenter) result |= DT_VCENTER;
  if (flags & cxSingleLine) result |= DT_SINGLELINE;
  if (flags & cxDontClip) result |= DT_NOCLIP;
  if (flags & cxExpandTabs) result |= DT_EXPANDTABS;
  if (flags & cxShowPrefix) result &= ~DT_NOPREFIX;
  if (flags & cxWordBreak) {
    result |= DT_WORDBREAK;
    if (!(flags & cxDontBreakChars)) result |= DT_EDITCONTROL;
    else if (flags & cxNoFullWidthCharBreak) result |= DT_NOFULLWIDTHCHARBREAK;
  }
  if (flags & cxShowEndEllipsis) result |= DT_END_ELLIPSIS;
  if (flags & cxDontPrint) result |= DT_CALCRECT;
  if (flags & cxShowPathEllipsis) result |= DT_PATH_ELLIPSIS;
  return result;
}

TcxCanvas::TcxCanvas(TCanvas* canvas) : FCanvas(canvas) {}

TcxCanvas::TcxCanvas(HDC dc) {
  AdoptCanvas(new TCanvas);
  if (!dc) return;
  // The canvas goes on drawing with what the DC holds: its font, brush, pen and text colour.
  SynchronizeObjects(dc);
  FCanvas->SetHandle(dc);
}

TcxCanvas::~TcxCanvas() {
  for (TSavedState& state : FSavedStates) {
    orv::Free(state.Font);
    orv::Free(state.Brush);
    orv::Free(state.Pen);
  }
  FSavedClipRegions.clear();
  FCanvas = nullptr;
}

void TcxCanvas::AdoptCanvas(TCanvas* canvas) {
  FOwnCanvas.reset(canvas);
  FCanvas = canvas;
}

void TcxCanvas::SetCanvas(TCanvas* value) { FCanvas = value; }

HDC TcxCanvas::GetDCHandle() { return FCanvas->GetHandle(); }
void TcxCanvas::SetDCHandle(HDC dc) { FCanvas->SetHandle(dc); }
Boolean TcxCanvas::HandleAllocated() const { return FCanvas->HandleAllocated(); }

TBrush* TcxCanvas::GetBrush() const { return FCanvas->GetBrush(); }
TFont* TcxCanvas::GetFont() const { return FCanvas->GetFont(); }
TPen* TcxCanvas::GetPen() const { return FCanvas->GetPen(); }
void TcxCanvas::SetFont(TFont* value) { FCanvas->SetFont(value); }

TColor TcxCanvas::GetBrushColor() const { return GetBrush()->GetColor(); }

void TcxCanvas::SetBrushColor(TColor color) {
  if (GetBrush()->GetColor() != color) GetBrush()->SetColor(color);
}

Boolean TcxCanvas::IsBrushClear() const { return GetBrush()->GetStyle() == bsClear; }

void TcxCanvas::SetBrushClear(Boolean clear) { GetBrush()->SetStyle(clear ? bsClear : bsSolid); }

HBRUSH TcxCanvas::GetBrushHandle() { return GetBrush()->GetHandle(); }

TColor TcxCanvas::GetPenColor() const { return GetPen()->GetColor(); }
void TcxCanvas::SetPenColor(TColor color) { GetPen()->SetColor(color); }

HFONT TcxCanvas::GetFontHandle() { return GetFont()->GetHandle(); }

void TcxCanvas::SetFontHandle(HFONT font) {
  if (font && font != GetFont()->GetHandle()) GetFont()->SetHandle(font);
}

void TcxCanvas::SetFont(const LOGFONT& font) {
  HFONT created = CreateFontIndirect(&font);
  if (!created) return;
  GetFont()->SetHandle(created);
  DeleteObject(created);
}

LOGFONT TcxCanvas::GetFontInfo() const { return GetFont()->GetLogFont(); }

TColor TcxCanvas::GetFontColor() const { return GetFont()->GetColor(); }
void TcxCanvas::SetFontColor(TColor color) { GetFont()->SetColor(color); }

DWORD TcxCanvas::GetCopyMode() const { return DWORD(FCanvas->GetCopyMode()); }
void TcxCanvas::SetCopyMode(DWORD value) { FCanvas->SetCopyMode(TCopyMode(value)); }

void TcxCanvas::SetPixelColor(Integer x, Integer y, TColor color) { FCanvas->SetPixels(x, y, color); }

TPoint TcxCanvas::GetWindowOrigin() {
  POINT p{};
  GetWindowOrgEx(GetDCHandle(), &p);
  return p;
}

void TcxCanvas::SetWindowOrigin(const TPoint& value) {
  SetWindowOrgEx(GetDCHandle(), value.X, value.Y, nullptr);
}

TPoint TcxCanvas::GetViewportOrigin() {
  POINT p{};
  GetViewportOrgEx(GetDCHandle(), &p);
  return p;
}

void TcxCanvas::SetViewportOrigin(const TPoint& value) {
  SetViewportOrgEx(GetDCHandle(), value.X, value.Y, nullptr);
}

TPoint TcxCanvas::GetDCOrigin() {
  const TPoint viewport = GetViewportOrigin(), window = GetWindowOrigin();
  return {viewport.X - window.X, viewport.Y - window.Y};
}

TcxViewParams TcxCanvas::GetStyleParams() const {
  TcxViewParams params;
  params.Color = GetBrushColor();
  params.Font = GetFont();
  params.TextColor = GetFontColor();
  return params;
}

void TcxCanvas::ApplyStyleParams(const TcxViewParams& params) {
  SetBrushColor(params.Color);
  if (params.Font) SetFont(params.Font);
  SetFontColor(params.TextColor);
}

void TcxCanvas::CopyRectFrom(const TRect& destRect, TcxCanvas* source, const TRect& sourceRect) {
  FCanvas->CopyRect(destRect, source->GetCanvas(), sourceRect);
}

void TcxCanvas::DrawGraphic(Integer x, Integer y, TGraphic* graphic) { FCanvas->Draw(x, y, graphic); }

void TcxCanvas::MoveToPoint(Integer x, Integer y) { FCanvas->MoveTo(x, y); }
void TcxCanvas::LineToPoint(Integer x, Integer y) { FCanvas->LineTo(x, y); }

void TcxCanvas::DrawPolygon(const TPoint* points, Integer count) {
  FCanvas->Polygon(std::vector<TPoint>(points, points + std::max(count, 0)));
}

void TcxCanvas::DrawPolyline(const TPoint* points, Integer count) {
  FCanvas->Polyline(std::vector<TPoint>(points, points + std::max(count, 0)));
}

void TcxCanvas::BeginPath() { ::BeginPath(GetDCHandle()); }
void TcxCanvas::EndPath() { ::EndPath(GetDCHandle()); }

void TcxCanvas::ExcludeFromClip(const TRect& rect) {
  ExcludeClipRect(GetDCHandle(), rect.Left, rect.Top, rect.Right, rect.Bottom);
}

void TcxCanvas::IntersectClip(const TRect& rect) {
  IntersectClipRect(GetDCHandle(), rect.Left, rect.Top, rect.Right, rect.Bottom);
}

Boolean TcxCanvas::IsRectVisible(const TRect& rect) { return RectVisible(GetDCHandle(), &rect) != 0; }

void TcxCanvas::FillRectWithColor(const TRect& rect, TColor color) {
  if (color == clNone) return;
  if (color != clDefault) SetBrushColor(color);
  FCanvas->FillRect(rect);
}

namespace {

// Floor division: tiles of negative coordinates belong to the column or row left of or above
// zero, so the grid stays aligned across the origin.
Integer FloorDiv(Integer a, Integer b) {
  const Integer q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

void TcxCanvas::FillRectOrTile(const TRect& rect, TBitmap* bitmap, Boolean exclude) {
  if (RectIsEmpty(rect)) return;
  if (bitmap && !bitmap->GetEmpty()) {
    const Integer w = bitmap->GetWidth(), h = bitmap->GetHeight();
    HDC dc = GetDCHandle();
    HDC source = bitmap->GetCanvas()->GetHandle();
    const DWORD rop = GetCopyMode();
    const Integer firstColumn = FloorDiv(rect.Left, w), lastColumn = FloorDiv(rect.Right - 1, w);
    const Integer firstRow = FloorDiv(rect.Top, h), lastRow = FloorDiv(rect.Bottom - 1, h);
    for (Integer row = firstRow; row <= lastRow; ++row)
      for (Integer column = firstColumn; column <= lastColumn; ++column) {
        const TRect tile = MakeRectBounds(column * w, row * h, w, h);
        TRect part;
        if (!IntersectRects(part, tile, rect)) continue;
        BitBlt(dc, part.Left, part.Top, part.Width(), part.Height(), source,
               part.Left - tile.Left, part.Top - tile.Top, rop);
      }
  } else {
    FCanvas->FillRect(rect);
  }
  if (exclude) SetClipRegion(new TcxRegion(rect), roSubtract, true, true);
}

void TcxCanvas::FillRectWithBorders(const TRect& rect, TColor color, TBitmap* bitmap,
                                    TcxBorders borders, TColor borderColor, Integer borderWidth,
                                    Boolean exclude) {
  DrawBorderLines(rect, borderColor, borderWidth, borders, exclude);
  TRect inner = rect;
  if (borders.Contains(bLeft)) inner.Left += borderWidth;
  if (borders.Contains(bTop)) inner.Top += borderWidth;
  if (borders.Contains(bRight)) inner.Right -= borderWidth;
  if (borders.Contains(bBottom)) inner.Bottom -= borderWidth;
  SetBrushColor(color);
  FillRectOrTile(inner, bitmap, exclude);
}

void TcxCanvas::FillRectWithBorders(const TRect& rect, const TcxViewParams& params,
                                    TcxBorders borders, TColor borderColor, Integer borderWidth,
                                    Boolean exclude) {
  FillRectWithBorders(rect, params.Color, params.Bitmap, borders, borderColor, borderWidth, exclude);
}

void TcxCanvas::DrawBorderLines(const TRect& rect, TColor color, Integer width, TcxBorders borders,
                                Boolean exclude) {
  if (RectIsEmpty(rect)) return;
  if (color != clDefault) SetBrushColor(color);
  const TRect& r = rect;
  if (borders.Contains(bLeft))
    FillRectOrTile({r.Left, r.Top, std::min(r.Left + width, r.Right), r.Bottom}, nullptr, exclude);
  if (borders.Contains(bRight))
    FillRectOrTile({std::max(r.Right - width, r.Left), r.Top, r.Right, r.Bottom}, nullptr, exclude);
  if (borders.Contains(bTop))
    FillRectOrTile({r.Left, r.Top, r.Right, std::min(r.Top + width, r.Bottom)}, nullptr, exclude);
  if (borders.Contains(bBottom))
    FillRectOrTile({r.Left, std::max(r.Bottom - width, r.Top), r.Right, r.Bottom}, nullptr, exclude);
}

void TcxCanvas::DrawTwoColorFrame(const TRect& rect, TColor leftTopColor, TColor rightBottomColor,
                                  TcxBorders borders, Integer width) {
  const TRect& r = rect;
  auto fill = [&](TColor color, const TRect& strip) {
    SetBrushColor(color);
    FCanvas->FillRect(strip);
  };
  if (borders.Contains(bLeft)) fill(leftTopColor, {r.Left, r.Top, r.Left + width, r.Bottom});
  if (borders.Contains(bTop)) fill(leftTopColor, {r.Left, r.Top, r.Right, r.Top + width});
  if (borders.Contains(bRight)) fill(rightBottomColor, {r.Right - width, r.Top, r.Right, r.Bottom});
  if (borders.Contains(bBottom)) fill(rightBottomColor, {r.Left, r.Bottom - width, r.Right, r.Bottom});
}

void TcxCanvas::Draw3DEdge(const TRect& rect, Boolean sunken, Boolean outer, TcxBorders borders) {
  if (sunken) {
    if (outer) DrawTwoColorFrame(rect, clBtnShadow, clBtnHighlight, borders, 1);
    else DrawTwoColorFrame(rect, cl3DDkShadow, cl3DLight, borders, 1);
  } else {
    if (outer) DrawTwoColorFrame(rect, cl3DLight, cl3DDkShadow, borders, 1);
    else DrawTwoColorFrame(rect, clBtnHighlight, clBtnShadow, borders, 1);
  }
}

void TcxCanvas::DrawFocusFrame(const TRect& rect) {
  SetBrushColor(clWhite);
  SetFontColor(clBlack);
  FCanvas->DrawFocusRect(rect);
}

void TcxCanvas::DrawFocusFrames(const TRect& rect, Integer count) {
  TRect r = rect;
  for (Integer i = 0; i < count; ++i) {
    DrawFocusFrame(r);
    r = GetInflatedRect(r, -1, -1);
  }
}

void TcxCanvas::InvertArea(const TRect& rect) {
  SetCopyMode(cmDstInvert);
  FCanvas->CopyRect(rect, FCanvas, rect);
  SetCopyMode(cmSrcCopy);
}

void TcxCanvas::FillRegionWithColor(HRGN region, TColor color) {
  SetBrushColor(color);
  FillRgn(GetDCHandle(), region, GetBrushHandle());
}

void TcxCanvas::FrameRegionWithColor(HRGN region, TColor color, Integer frameWidth,
                                     Integer frameHeight) {
  SetBrushColor(color);
  FrameRgn(GetDCHandle(), region, GetBrushHandle(), frameWidth, frameHeight);
}

void TcxCanvas::FillAndFrameRegion(HRGN region, TColor fillColor, TColor frameColor,
                                   Integer frameWidth, Integer frameHeight) {
  FillRegionWithColor(region, fillColor);
  FrameRegionWithColor(region, frameColor, frameWidth, frameHeight);
}

TSize TcxCanvas::GetTextSize(const AnsiString& text) {
  FCanvas->RequiredState({csHandleValid, csFontValid});
  SIZE size{};
  GetTextExtentPoint32(FCanvas->GetHandle(), text.data(), int(text.size()), &size);
  return size;
}

Integer TcxCanvas::FontHeight(TFont* font) {
  SetFont(font);
  return TextHeightOf("Qq");
}

Integer TcxCanvas::FontHeight(HFONT font) {
  SetFontHandle(font);
  return TextHeightOf("Qq");
}

void TcxCanvas::MeasureTextRect(const AnsiString& text, TRect& rect, Integer flags) {
  const Integer w0 = rect.Width(), h0 = rect.Height();
  const UINT original = cxFlagsToDTFlags(flags);
  if (w0 <= 0 && !text.empty()) rect.Right = rect.Left + 1;
  const UINT format = (original & ~DT_VCENTER) | DT_CALCRECT;
  if (DrawText(GetDCHandle(), text.data(), int(text.size()), &rect, format) == 0)
    rect = {rect.Left, rect.Top, rect.Left, rect.Top};
  const Integer w = rect.Width(), h = rect.Height();
  Integer dx = 0, dy = 0;
  if (format & DT_CENTER) dx = (w0 - w) / 2;
  else if (format & DT_RIGHT) dx = w0 - w;
  if (original & DT_VCENTER) dy = (h0 - h) / 2;
  else if (original & DT_BOTTOM) dy = h0 - h;
  rect = GetOffsetRect(rect, dx, dy);
}

void TcxCanvas::AlignMultiLineTextVertically(TRect& rect, const AnsiString& text, Integer position,
                                             Boolean wordBreak, Boolean showPrefix, Boolean enabled,
                                             Boolean dontBreakChars, Boolean endEllipsis) {
  const Integer e = enabled ? 0 : 1;
  TRect measured{0, 0, rect.Width() - e, 0};
  Integer flags = cxAlignTop | cxAlignLeft;
  if (wordBreak) flags |= cxWordBreak;
  if (showPrefix) flags |= cxShowPrefix;
  if (dontBreakChars) flags |= cxDontBreakChars;
  Integer height;
  if (endEllipsis && wordBreak) {
    const Integer lineHeight = TextHeightOf("Wg");
    height = lineHeight > 0 ? std::max(lineHeight, lineHeight * ((rect.Height() - e) / lineHeight))
                            : 0;
  } else {
    MeasureTextRect(text, measured, flags);
    height = measured.Height();
  }
  if (position == 1) rect.Top = rect.Bottom - height - e;
  else rect.Top = (rect.Top + rect.Bottom - height) / 2;
}

void TcxCanvas::DrawTextInRect(const AnsiString& text, const TRect& rect, Integer flags,
                               Boolean enabled) {
  if (text.empty()) return;
  const Boolean useDrawText = !(flags & cxSingleLine) ||
                              (flags & (cxShowPrefix | cxShowEndEllipsis | cxShowPathEllipsis)) != 0;
  TRect r = rect;
  const TSize size = GetTextSize(text);
  if (size.cx <= r.Width() && size.cy <= r.Height()) flags |= cxDontClip;
  const Integer e = enabled ? 0 : 1;
  if (useDrawText) {
    if (!(flags & cxSingleLine) && (flags & (cxAlignBottom | cxAlignVCenter)))
      AlignMultiLineTextVertically(r, text, (flags & cxAlignBottom) ? 1 : 2,
                                   (flags & cxWordBreak) != 0, (flags & cxShowPrefix) != 0, enabled,
                                   (flags & cxDontBreakChars) != 0, (flags & cxShowEndEllipsis) != 0);
  } else {
    if (size.cx < r.Width()) {
      if ((flags & 7) == cxAlignRight) r.Left = r.Right - size.cx - e;
      else if ((flags & 7) == cxAlignHCenter) r.Left = (r.Left + r.Right - size.cx) / 2;
    }
    if (size.cy < r.Height()) {
      if ((flags & 0x38) == cxAlignBottom) r.Top = r.Bottom - size.cy - e;
      else if ((flags & 0x38) == cxAlignVCenter) r.Top = (r.Top + r.Bottom - size.cy) / 2;
    }
  }
  const UINT format = cxFlagsToDTFlags(flags);
  const UINT options = (flags & cxDontClip) ? 0 : ETO_CLIPPED;
  // The DC is asked for at each output: a change of brush or font colour reselects them.
  auto output = [&](const TRect& where) {
    HDC dc = GetDCHandle();
    if (useDrawText) {
      TRect box = where;
      DrawText(dc, text.data(), int(text.size()), &box, format);
    } else {
      ExtTextOut(dc, where.Left, where.Top, options, &where, text.data(), UINT(text.size()), nullptr);
    }
  };
  const TBrushStyle brushStyle = GetBrush()->GetStyle();
  const TColor fontColor = GetFontColor();
  if (!enabled) {
    SetBrushClear(true);
    r.Left += 1;
    r.Top += 1;
    SetFontColor(clBtnHighlight);
    output(r);
    r = GetOffsetRect(r, -1, -1);
    SetFontColor(clBtnShadow);
  }
  output(r);
  if (GetBrush()->GetStyle() != brushStyle) GetBrush()->SetStyle(brushStyle);
  SetFontColor(fontColor);
}

void TcxCanvas::SetFontAngle(Integer degrees) {
  LOGFONT lf = GetFontInfo();
  lf.lfEscapement = degrees * 10;
  if (degrees != 0) lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  SetFont(lf);
}

TcxRegion* TcxCanvas::CreateClipRegion(Boolean relativeToOrigin) {
  auto* region = new TcxRegion(0, 0, 0, 0);
  if (GetClipRgn(GetDCHandle(), region->GetHandle()) != 1) {
    orv::Free(region);
    region = new TcxRegion(0, 0, 30000, 30000);
  }
  if (relativeToOrigin) {
    const TPoint origin = GetDCOrigin();
    region->OffsetBy(-origin.X, -origin.Y);
  }
  return region;
}

void TcxCanvas::SetClipRegion(TcxRegion* region, TcxRegionOperation operation, Boolean freeRegion,
                              Boolean relativeToOrigin) {
  if (operation != roSet) {
    TcxRegion* clip = CreateClipRegion(relativeToOrigin);
    clip->CombineWith(region, operation, freeRegion);
    SetClipRegion(clip, roSet, true, relativeToOrigin);
    return;
  }
  const TPoint origin = relativeToOrigin ? GetDCOrigin() : TPoint{};
  region->OffsetBy(origin.X, origin.Y);
  SelectClipRgn(GetDCHandle(), region->GetHandle());
  if (freeRegion) orv::Free(region);
  else region->OffsetBy(-origin.X, -origin.Y);
}

void TcxCanvas::PushClipRegion() { FSavedClipRegions.emplace_back(CreateClipRegion(true)); }

void TcxCanvas::PopClipRegion() {
  if (FSavedClipRegions.empty()) return;
  TcxRegion* region = FSavedClipRegions.back().release();
  FSavedClipRegions.pop_back();
  SetClipRegion(region, roSet, true, true);
}

void TcxCanvas::SaveDC() {
  FCanvas->Lock();
  HDC dc = GetDCHandle();
  FSavedDCs.push_back({dc, ::SaveDC(dc)});
}

void TcxCanvas::RestoreDC() {
  if (FSavedDCs.empty()) return;
  const TSavedDC saved = FSavedDCs.back();
  FSavedDCs.pop_back();
  FCanvas->SetHandle(saved.Handle);
  ::RestoreDC(saved.Handle, saved.Number);
  // The restored DC holds the objects of the moment it was saved, which need not be the
  // canvas's objects now: the canvas selects its own again before it next draws.
  FCanvas->Refresh();
  FCanvas->Unlock();
}

namespace {

TBrushStyle BrushStyleOf(const LOGBRUSH& brush) {
  if (brush.lbStyle == BS_NULL) return bsClear;
  if (brush.lbStyle != BS_HATCHED) return bsSolid;
  switch (brush.lbHatch) {
    case HS_HORIZONTAL: return bsHorizontal;
    case HS_VERTICAL: return bsVertical;
    case HS_FDIAGONAL: return bsFDiagonal;
    case HS_BDIAGONAL: return bsBDiagonal;
    case HS_CROSS: return bsCross;
    case HS_DIAGCROSS: return bsDiagCross;
    default: return bsSolid;
  }
}

TPenMode PenModeOf(int rop) {
  for (int mode = pmBlack; mode <= pmNotXor; ++mode)
    if (orv::PenModeRop(TPenMode(mode)) == rop) return TPenMode(mode);
  return pmCopy;
}

// Equal descriptions: restoring a state then changes nothing, so no object is made anew.
bool SameCanvasFont(TFont* a, TFont* b) {
  const LOGFONT x = a->GetLogFont(), y = b->GetLogFont();
  return a->GetColor() == b->GetColor() && std::memcmp(&x, &y, sizeof x) == 0;
}

bool SameBrush(TBrush* a, TBrush* b) {
  return a->GetColor() == b->GetColor() && a->GetStyle() == b->GetStyle() &&
         a->GetBitmap() == b->GetBitmap();
}

bool SamePen(TPen* a, TPen* b) {
  return a->GetColor() == b->GetColor() && a->GetWidth() == b->GetWidth() &&
         a->GetStyle() == b->GetStyle() && a->GetMode() == b->GetMode();
}

}  // namespace

void TcxCanvas::SynchronizeObjects(HDC dc) {
  if (!dc) return;
  HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
  if (font && font != GetFont()->GetHandle()) SetFontHandle(static_cast<HFONT>(font));
  const TColor textColor = TColor(GetTextColor(dc));
  if (ColorToRGB(GetFontColor()) != COLORREF(textColor)) SetFontColor(textColor);

  HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
  LOGBRUSH lb{};
  if (brush && brush != GetBrush()->GetHandle() && GetObject(brush, sizeof lb, &lb) == sizeof lb) {
    const TBrushStyle style = BrushStyleOf(lb);
    if (style != bsClear) SetBrushColor(TColor(lb.lbColor));
    GetBrush()->SetStyle(style);
  }

  HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
  LOGPEN lp{};
  if (pen && pen != GetPen()->GetHandle() && GetObject(pen, sizeof lp, &lp) == sizeof lp) {
    GetPen()->SetColor(TColor(lp.lopnColor));
    GetPen()->SetStyle(lp.lopnStyle <= UINT(psInsideFrame) ? TPenStyle(lp.lopnStyle) : psSolid);
    GetPen()->SetWidth(lp.lopnWidth.X);
  }
  const TPenMode mode = PenModeOf(GetROP2(dc));
  if (GetPen()->GetMode() != mode) GetPen()->SetMode(mode);
}

void TcxCanvas::PushState() {
  SynchronizeObjects(GetDCHandle());
  SaveDC();
  TSavedState state{new TFont, new TBrush, new TPen};
  state.Font->Assign(GetFont());
  state.Brush->Assign(GetBrush());
  state.Pen->Assign(GetPen());
  FSavedStates.push_back(state);
}

void TcxCanvas::PopState() {
  if (FSavedStates.empty()) return;
  const TSavedState state = FSavedStates.back();
  FSavedStates.pop_back();
  if (!SameCanvasFont(GetFont(), state.Font)) GetFont()->Assign(state.Font);
  if (!SameBrush(GetBrush(), state.Brush)) GetBrush()->Assign(state.Brush);
  if (!SamePen(GetPen(), state.Pen)) GetPen()->Assign(state.Pen);
  orv::Free(state.Font);
  orv::Free(state.Brush);
  orv::Free(state.Pen);
  RestoreDC();
}

// ==== Screen canvas and paint canvas ==========================================================

void TScreenCanvas::CreateHandle() {
  if (!FDC) FDC = orv::CreateScreenDC();
  SetHandle(FDC);
}

void TScreenCanvas::FreeHandle() {
  if (!FDC) return;
  SetHandle(nullptr);
  DeleteDC(FDC);
  FDC = nullptr;
}

TcxScreenCanvas::TcxScreenCanvas() : TcxCanvas(static_cast<TCanvas*>(nullptr)) {
  AdoptCanvas(new TScreenCanvas);
}

void TcxScreenCanvas::FreeScreenHandle() { static_cast<TScreenCanvas*>(GetCanvas())->FreeHandle(); }

namespace {

// The shared canvases; once the program has begun to end they are not made again.
struct TSharedCanvases {
  Boolean Finalizing = false;
  TcxScreenCanvas* Screen = nullptr;
  TcxPaintCanvas* Paint = nullptr;
  ~TSharedCanvases() {
    Finalizing = true;
    orv::Free(Screen);
    orv::Free(Paint);
    Screen = nullptr;
    Paint = nullptr;
  }
};

TSharedCanvases& SharedCanvases() {
  static TSharedCanvases shared;
  return shared;
}

}  // namespace

TcxScreenCanvas* GetScreenCanvas() {
  TSharedCanvases& s = SharedCanvases();
  if (!s.Screen && !s.Finalizing) s.Screen = new TcxScreenCanvas;
  return s.Screen;
}

TcxPaintCanvas* GetPaintCanvas() {
  TSharedCanvases& s = SharedCanvases();
  if (!s.Paint && !s.Finalizing) s.Paint = new TcxPaintCanvas;
  return s.Paint;
}

TcxPaintCanvas::TcxPaintCanvas() : TcxCanvas(static_cast<TCanvas*>(nullptr)) { AdoptCanvas(new TCanvas); }

void TcxPaintCanvas::BeginPaintOnDC(HDC dc) {
  TState state{false, nullptr, nullptr, dc, 0};
  if (HandleAllocated()) {
    PushState();
    state.PreviousHandle = GetCanvas()->GetHandle();
  }
  state.SavedDC = ::SaveDC(dc);
  SynchronizeObjects(dc);
  SetDCHandle(dc);
  FStates.push_back(state);
}

void TcxPaintCanvas::BeginPaintOnCanvas(TcxCanvas* canvas) {
  FStates.push_back({true, GetCanvas(), nullptr, nullptr, 0});
  SetCanvas(canvas->GetCanvas());
  PushState();
}

void TcxPaintCanvas::EndPaintOnDC() {
  if (FStates.empty()) return;
  const TState state = FStates.back();
  FStates.pop_back();
  if (state.OnCanvas) {
    PopState();
    SetCanvas(state.PreviousCanvas);
    return;
  }
  SetDCHandle(state.PreviousHandle);
  ::RestoreDC(state.DC, state.SavedDC);
  if (state.PreviousHandle) PopState();
}

// ==== Bitmaps ================================================================================

namespace {

HDC NewMemoryDC() {
  HDC screen = orv::CreateScreenDC();
  HDC dc = CreateCompatibleDC(screen);
  DeleteDC(screen);
  return dc;
}

// A memory DC with a bitmap selected for the length of a block.
class TSelectedBitmap {
 public:
  explicit TSelectedBitmap(HBITMAP bitmap) : FDC(NewMemoryDC()), FOld(SelectObject(FDC, bitmap)) {}
  ~TSelectedBitmap() {
    SelectObject(FDC, FOld);
    DeleteDC(FDC);
  }
  TSelectedBitmap(const TSelectedBitmap&) = delete;
  TSelectedBitmap& operator=(const TSelectedBitmap&) = delete;
  HDC DC() const { return FDC; }

 private:
  HDC FDC;
  HGDIOBJ FOld;
};

// The 40-byte header and a colour table of up to 256 entries.
struct TBitmapInfo256 {
  BITMAPINFOHEADER Header;
  RGBQUAD Colors[256];
  BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(this); }
};

void PutLE(AnsiString& out, Cardinal value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(char((value >> (8 * i)) & 0xFF));
}

Cardinal GetLE(const Byte* p, int bytes) {
  Cardinal v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

Int64 Remaining(TStream* stream) { return stream->GetSize() - stream->GetPosition(); }


}  // namespace

Integer PixelFormatBitsPerPixel(TPixelFormat pixelFormat) {
  switch (pixelFormat) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    case pf32bit: return 32;
    default: {
      HDC screen = orv::CreateScreenDC();
      const Integer bits = GetDeviceCaps(screen, BITSPIXEL);
      DeleteDC(screen);
      return bits;
    }
  }
}

Integer GetBitmapBitsPerPixel(TcxBitmap* bitmap) { return PixelFormatBitsPerPixel(bitmap->GetPixelFormat()); }

TcxBitmap::TcxBitmap() { Initialize(0, 0, pf24bit); }
TcxBitmap::TcxBitmap(Integer width, Integer height) { Initialize(width, height, pf24bit); }
TcxBitmap::TcxBitmap(Integer width, Integer height, TPixelFormat pixelFormat) {
  Initialize(width, height, pixelFormat);
}

TcxBitmap::~TcxBitmap() { orv::Free(FcxCanvas); }

void TcxBitmap::Initialize(Integer width, Integer height, TPixelFormat pixelFormat) {
  FcxCanvas = new TcxCanvas(TBitmap::GetCanvas());
  BeginUpdate();
  SetPixelFormat(pixelFormat);
  SetSize(width, height);
  EndUpdate(true);
}

void TcxBitmap::SetSize(Integer width, Integer height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == GetWidth() && height == GetHeight()) return;
  BeginUpdate();
  try {
    inherited::SetSize(width, height);
  } catch (...) {
    EndUpdate(false);
    throw;
  }
  EndUpdate(false);
}

void TcxBitmap::EndUpdate(Boolean forceUpdate) {
  if (FLockCount > 0) --FLockCount;
  if (FLockCount == 0 && (forceUpdate || FModified)) Changed(this);
}

void TcxBitmap::Changed(TObject* sender) {
  if (FLockCount > 0) {
    FModified = true;
    return;
  }
  inherited::Changed(sender);
  ValidatePixelFormat();
  FModified = false;
}

void TcxBitmap::CopyBitmap(TcxBitmap* source, DWORD rop) {
  CopyBitmapRect(source, GetBoundsRect(), {0, 0}, rop);
}

void TcxBitmap::CopyBitmapRect(TcxBitmap* source, const TRect& destRect, const TPoint& sourcePoint,
                               DWORD rop) {
  BitBltRect(GetCanvas()->GetDCHandle(), source->GetCanvas()->GetDCHandle(), destRect, sourcePoint, rop);
}

void TcxBitmap::Rotate(Integer rotation, Boolean flipVertically) { RotateBitmap(this, rotation, flipVertically); }

void TcxBitmap::WriteData(TStream* stream) {
  if (!FCompressData) {
    inherited::WriteData(stream);
    return;
  }
  TMemoryStream plain;
  inherited::WriteData(&plain);
  const AnsiString data(static_cast<const char*>(plain.GetMemory()), std::size_t(plain.GetSize()));
  const AnsiString packed = orv::EncodeXdbm(data, std::max(GetBitmapBitsPerPixel(this) / 8, 1));
  stream->WriteBuffer(packed.data(), Integer(packed.size()));
}

void TcxBitmap::ReadData(TStream* stream) {
  AnsiString data;
  if (!orv::DecodeXdbm(stream, data)) {
    inherited::ReadData(stream);
    return;
  }
  TStringStream decoded(data);
  inherited::ReadData(&decoded);
}

// ---- TcxBitmap32 ----

namespace {

// Transparent black from row `top` and column `left` on (rows above `top` keep their first
// `left` pixels).
void ClearPixels(TBitmap* bitmap, Integer left, Integer top) {
  if (bitmap->GetPixelFormat() != pf32bit || bitmap->GetEmpty()) return;
  const Integer width = bitmap->GetWidth();
  for (Integer y = 0; y < bitmap->GetHeight(); ++y) {
    auto* row = static_cast<Cardinal*>(bitmap->ScanLine(y));
    std::fill(row + (y < top ? std::min(left, width) : 0), row + width, 0u);
  }
}

}  // namespace

TcxBitmap32::TcxBitmap32(Integer width, Integer height, Boolean clear) : TcxBitmap(width, height, pf32bit) {
  // A new 32-bit picture is transparent black, whatever the platform fills new bitmaps with.
  ClearPixels(this, 0, 0);
  if (clear) FillBlack();
}

void TcxBitmap32::SetSize(Integer width, Integer height) {
  const Integer oldWidth = GetWidth(), oldHeight = GetHeight();
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == oldWidth && height == oldHeight) return;
  BeginUpdate();
  try {
    inherited::SetSize(width, height);
    ClearPixels(this, oldWidth, oldHeight);
  } catch (...) {
    EndUpdate(false);
    throw;
  }
  EndUpdate(false);
}

void TcxBitmap32::FillBlack() {
  if (Empty()) return;
  const TRect r = GetBoundsRect();
  ::FillRect(GetCanvas()->GetDCHandle(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

TRGBColors TcxBitmap32::GetPixels() { return ReadBitmapColors(this, false); }
void TcxBitmap32::SetPixels(TRGBColors& colors) { StoreBitmapColors(this, colors, false); }

void TcxBitmap32::SetAlpha(Byte value) {
  TRGBColors pixels = GetPixels();
  for (Cardinal& p : pixels) p = (p & 0x00FFFFFFu) | (Cardinal(value) << 24);
  SetPixels(pixels);
}

Boolean TcxBitmap32::HasAlphaChannel() {
  for (Cardinal p : GetPixels())
    if (p >> 24) return true;
  return false;
}

void TcxBitmap32::AlphaDrawTo(TcxBitmap* dest, const TRect& rect, Boolean stretch, Byte constantAlpha) {
  AlphaBlendBitmap(dest, this, rect, GetBoundsRect(), stretch, constantAlpha);
}

void TcxBitmap32::LoadFromStream(TStream* stream) {
  BeginUpdate();
  try {
    inherited::LoadFromStream(stream);
    SetPixelFormat(pf32bit);
  } catch (...) {
    EndUpdate(false);
    throw;
  }
  EndUpdate(false);
}

void TcxBitmap32::ValidatePixelFormat() {
  if (GetPixelFormat() != pf32bit) throw EdxException("Wrong PixelFormat");
}

void ApplyInvertedMask(TcxBitmap* bitmap, TcxBitmap* mask) {
  // A mask of another size does not describe this bitmap: mixing the two is refused.
  if (mask->GetWidth() != bitmap->GetWidth() || mask->GetHeight() != bitmap->GetHeight()) return;
  BitBltRect(bitmap->GetCanvas()->GetDCHandle(), mask->GetCanvas()->GetDCHandle(),
             bitmap->GetBoundsRect(), {0, 0}, 0x00220326);
}

// ---- TcxAlphaBitmap ----

void AddTransparentColor(TcxColorList& list, TColor color) {
  list.push_back(orv::ColorToPixel(ColorToRGB(color)) & 0xFFFFFF);
}

TcxAlphaBitmap::TcxAlphaBitmap(Integer width, Integer height, Cardinal background)
    : TcxBitmap32(width, height), FTransparentBkColor(background) {}

void TcxAlphaBitmap::FillBlack() {
  if (FTransparentBkColor >> 24) ProcessPixels(ppoFillBackground);
  else TcxBitmap32::FillBlack();
}

Boolean TcxAlphaBitmap::IsTransparent(Cardinal pixel) const {
  if (pixel == FTransparentBkColor) return true;
  const Cardinal rgb = pixel & 0xFFFFFF;
  return std::find(FTransparentColors.begin(), FTransparentColors.end(), rgb) != FTransparentColors.end();
}

void TcxAlphaBitmap::SetTransparentColor(TColor color) {
  FTransparentColors.clear();
  AddTransparentColor(FTransparentColors, color);
  FTransparentBkColor = FTransparentColors.back();
  ProcessPixels(ppoOpaqueZeroAlpha);
}

void TcxAlphaBitmap::SetHatch(TColor color1, TColor color2, Byte alpha1, Byte alpha2, Byte step) {
  FHatchColor1 = orv::ColorToPixel(ColorToRGB(color1)) | 0xFF000000u;
  FHatchColor2 = orv::ColorToPixel(ColorToRGB(color2)) | 0xFF000000u;
  FHatchAlpha1 = alpha1;
  FHatchAlpha2 = alpha2;
  FHatchStep = std::max<Byte>(step, 1);
  ProcessPixels(ppoHatch);
}

namespace {

Byte RoundByte(float v) { return Byte(std::clamp(std::nearbyint(v), 0.0f, 255.0f)); }

// The software source-over blend: s premultiplied, constant alpha a.
Cardinal BlendPixel(Cardinal s, Cardinal d, Byte constantAlpha) {
  const float k = float(constantAlpha) / 255.0f;
  const float sa = k * float(s >> 24);
  const float keep = 1.0f - sa / 255.0f;
  Cardinal out = 0;
  for (int shift = 0; shift < 24; shift += 8)
    out |= Cardinal(RoundByte(k * float((s >> shift) & 0xFF) + keep * float((d >> shift) & 0xFF))) << shift;
  out |= Cardinal(RoundByte(sa + keep * float(d >> 24))) << 24;
  return out;
}

Cardinal GreyPixel(Cardinal p, float wr, float wg, float wb) {
  const Byte g = RoundByte(wr * float((p >> 16) & 0xFF) + wg * float((p >> 8) & 0xFF) + wb * float(p & 0xFF));
  return (p & 0xFF000000u) | (Cardinal(g) << 16) | (Cardinal(g) << 8) | g;
}

}  // namespace

void TcxAlphaBitmap::ProcessPixels(TcxPixelOperation operation) {
  const Integer w = GetWidth(), h = GetHeight();
  TRGBColors pixels = GetPixels();  // bottom row first
  const Cardinal shadow = orv::ColorToPixel(ColorToRGB(clBtnShadow)) | 0xC0000000u;
  for (Integer x = 0; x < w; ++x)
    for (Integer y = 0; y < h; ++y) {
      FCurrentPixel = {x, y};
      Cardinal& p = pixels[std::size_t(y) * std::size_t(w) + std::size_t(x)];
      const Boolean opaque = !IsTransparent(p);
      switch (operation) {
        case ppoLight:
          if (!opaque) break;
          if ((p >> 24) == 255) {
            Cardinal out = 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8) {
              const Integer c = Integer((p >> shift) & 0xFF);
              out |= Cardinal(c + MulDiv(255 - c, 3, 10)) << shift;
            }
            p = out;
          } else {
            Cardinal out = 0;
            for (int shift = 0; shift < 32; shift += 8)
              out |= Cardinal(MulDiv(Integer((p >> shift) & 0xFF), 200, 255)) << shift;
            p = out;
          }
          break;
        case ppoDisabledGrey:
          if (opaque) p = BlendPixel(shadow, GreyPixel(p, 0.299f, 0.587f, 0.114f), 238);
          break;
        case ppoAverageGrey:
          if (opaque) {
            const Cardinal g = (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3;
            p = (p & 0xFF000000u) | (g << 16) | (g << 8) | g;
          }
          break;
        case ppoOpaque: p |= 0xFF000000u; break;
        case ppoMask: p = opaque ? 0 : 0xFFFFFFFFu; break;
        case ppoGrey:
          if (opaque) p = GreyPixel(p, 0.299f, 0.587f, 0.114f);
          break;
        case ppoGreyLuminance:
          if (opaque) p = GreyPixel(p, 0.0729f, 0.7146f, 0.2125f);
          break;
        case ppoOpaqueZeroAlpha:
          if (opaque && (p >> 24) == 0) p |= 0xFF000000u;
          break;
        case ppoHatch: {
          const bool odd = ((x / FHatchStep) + (y / FHatchStep)) % 2 != 0;
          p = BlendPixel(odd ? FHatchColor2 : FHatchColor1, p, odd ? FHatchAlpha2 : FHatchAlpha1);
          break;
        }
        case ppoFillBackground: p = FTransparentBkColor; break;
        case ppoClearAlpha: p &= 0x00FFFFFFu; break;
      }
    }
  SetPixels(pixels);
  Changed();
}

void TcxAlphaBitmap::AddSilhouette(TcxBitmap32* mask, Integer offset, TColor color, Boolean grow) {
  const Integer mw = mask->GetWidth(), mh = mask->GetHeight();
  if (grow) SetSize(GetWidth() + offset, GetHeight() + offset);
  const Integer w = GetWidth(), h = GetHeight();
  const TRGBColors maskPixels = ReadBitmapColors(mask, true);
  TRGBColors pixels = ReadBitmapColors(this, true);
  const Cardinal silhouette = orv::ColorToPixel(ColorToRGB(color)) | 0xFF000000u;
  auto opaqueAt = [&](Integer x, Integer y) {
    return x < mw && y < mh && (maskPixels[std::size_t(y) * std::size_t(mw) + std::size_t(x)] & 0xFFFFFF) == 0;
  };
  for (Integer y = 0; y < mh; ++y)
    for (Integer x = 0; x < mw; ++x) {
      if (!opaqueAt(x, y)) continue;
      const Integer tx = x + offset, ty = y + offset;
      if (tx >= w || ty >= h || opaqueAt(tx, ty)) continue;
      pixels[std::size_t(ty) * std::size_t(w) + std::size_t(tx)] |= silhouette;
    }
  StoreBitmapColors(this, pixels, true);
  Changed();
}

// ---- Rotation ----

void RotateBitmap(TcxBitmap* bitmap, Integer rotation, Boolean flipVertically) {
  if (rotation == 0 && !flipVertically) return;
  const Integer w = bitmap->GetWidth(), h = bitmap->GetHeight();
  const TRGBColors source = ReadBitmapColors(bitmap, true);
  const Boolean swap = rotation == 1 || rotation == 2;
  const Integer nw = swap ? h : w, nh = swap ? w : h;
  TRGBColors out(source.size());
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x) {
      Integer tx = x, ty = y;
      switch (rotation) {
        case 0: ty = h - 1 - y; break;
        case 1:
          tx = y;
          ty = flipVertically ? x : w - 1 - x;
          break;
        case 2:
          tx = h - 1 - y;
          ty = flipVertically ? w - 1 - x : x;
          break;
        default:
          tx = w - 1 - x;
          ty = flipVertically ? y : h - 1 - y;
          break;
      }
      out[std::size_t(ty) * std::size_t(nw) + std::size_t(tx)] = source[std::size_t(y) * std::size_t(w) + std::size_t(x)];
    }
  bitmap->BeginUpdate();
  bitmap->SetSize(nw, nh);
  StoreBitmapColors(bitmap, out, true);
  bitmap->Changed();
  bitmap->EndUpdate(false);
}

// ---- The compressed bitmap stream ----
//
//   offset  size  content
//   0       4     payload size P (signed), the bytes after this 10-byte header
//   4       4     "XDBM"
//   8       2     version (2 when written)
//   10      P     payload
//
// Version 2 payload: block size B (1 byte: bits per pixel div 8, at least 1), remainder R =
// U mod B (1 byte, U = the length of the data), the first R bytes of the data raw, then run
// records over the rest (whole blocks). A run record is a control byte c: with bit 7 set,
// (c and 0x7F) blocks follow raw; without it, one block follows, repeated (c and 0x7F) times.
// Counts are 1 to 125. Version 1 payloads are run records only, with B = 1.

namespace orv {

AnsiString EncodeXdbm(const AnsiString& data, Integer blockSize) {
  const std::size_t b = std::size_t(std::clamp(blockSize, 1, 255));
  const std::size_t n = data.size();
  const std::size_t r = n % b;
  AnsiString payload;
  payload.push_back(char(b));
  payload.push_back(char(r));
  payload.append(data, 0, r);
  auto block = [&](std::size_t at) { return std::string_view(data).substr(at, b); };
  std::size_t p = r;
  while (p + b <= n) {
    bool literal = true;
    std::size_t count = 1;
    if (p + 2 * b <= n) {
      literal = block(p + b) != block(p);
      std::string_view previous = block(p);
      for (std::size_t q = p + b; count < 125 && q + b <= n; q += b) {
        const std::string_view z = block(q);
        if (!literal) {
          if (z != previous) break;
          ++count;
        } else {
          if (z == previous) {
            --count;  // the last counted block begins a repeat run
            break;
          }
          ++count;
          previous = z;
        }
      }
    }
    payload.push_back(char(count | (literal ? 0x80 : 0)));
    payload.append(data, p, literal ? count * b : b);
    p += count * b;
  }
  AnsiString out;
  PutLE(out, Cardinal(payload.size()), 4);
  out += "XDBM";
  PutLE(out, 2, 2);
  return out + payload;
}

Boolean DecodeXdbm(TStream* stream, AnsiString& data) {
  const Int64 start = stream->GetPosition();
  if (Remaining(stream) < 10) return false;
  Byte header[10];
  stream->ReadBuffer(header, 10);
  if (std::memcmp(header + 4, "XDBM", 4) != 0) {
    stream->SetPosition(start);
    return false;
  }
  const Integer size = Integer(GetLE(header, 4));
  const Integer version = Integer(SmallInt(GetLE(header + 8, 2)));
  auto broken = [] { throw EReadError("Compressed bitmap data is not valid"); };
  // Every count is checked against what the stream holds before anything is read or allocated.
  if (size < 0 || size > Remaining(stream)) broken();
  if (version != 1 && version != 2) broken();
  AnsiString payload(std::size_t(size), '\0');
  stream->ReadBuffer(payload.data(), size);
  const auto* p = reinterpret_cast<const Byte*>(payload.data());
  std::size_t pos = 0, b = 1;
  data.clear();
  if (version == 2) {
    if (size < 2) broken();
    b = p[0];
    const std::size_t r = p[1];
    if (b == 0 || r > std::size_t(size) - 2) broken();
    data.append(payload, 2, r);
    pos = 2 + r;
  }
  const std::size_t end = std::size_t(size);
  while (pos < end) {
    const Byte control = p[pos++];
    const std::size_t count = control & 0x7F;
    if (control & 0x80) {
      if (count * b > end - pos) broken();
      data.append(payload, pos, count * b);
      pos += count * b;
    } else {
      if (b > end - pos) broken();
      for (std::size_t i = 0; i < count; ++i) data.append(payload, pos, b);
      pos += b;
    }
  }
  return true;
}

}  // namespace orv

// ==== Bitmap, alpha and glyph routines =======================================================

TcxDrawGlyphHook cxDrawGlyphHook = nullptr;

TcxBitmap* CreateBitmapOfSize(Integer width, Integer height, TPixelFormat pixelFormat) {
  return new TcxBitmap(width, height, pixelFormat);
}

namespace {

BITMAPINFOHEADER Header32(Integer width, Integer height, Boolean topDown) {
  BITMAPINFOHEADER h{};
  h.biWidth = width;
  h.biHeight = topDown ? -height : height;
  h.biBitCount = 32;
  h.biCompression = BI_RGB;
  return h;
}

}  // namespace

TRGBColors ReadBitmapColors(TcxBitmap* bitmap, Boolean topDown) {
  const Integer w = bitmap->GetWidth(), h = bitmap->GetHeight();
  TRGBColors colors(std::size_t(w) * std::size_t(h));
  if (colors.empty() || !bitmap->GetHandle()) return colors;
  TBitmapInfo256 info{};
  info.Header = Header32(w, h, topDown);
  HDC dc = NewMemoryDC();
  GetDIBits(dc, bitmap->GetHandle(), 0, UINT(h), colors.data(), info.Info(), DIB_RGB_COLORS);
  DeleteDC(dc);
  return colors;
}

void StoreBitmapColors(TcxBitmap* bitmap, TRGBColors& colors, Boolean topDown) {
  const Integer w = bitmap->GetWidth(), h = bitmap->GetHeight();
  if (w > 0 && h > 0 && bitmap->GetHandle() && colors.size() >= std::size_t(w) * std::size_t(h)) {
    TBitmapInfo256 info{};
    info.Header = Header32(w, h, topDown);
    HDC dc = NewMemoryDC();
    SetDIBits(dc, bitmap->GetHandle(), 0, UINT(h), colors.data(), info.Info(), DIB_RGB_COLORS);
    DeleteDC(dc);
  }
  TRGBColors().swap(colors);
}

TColor GetLightHighlightColor() { return GetNearestScreenColor(MixSystemColors(-2, 30, 72)); }
TColor GetLightDownHighlightColor() { return GetNearestScreenColor(MixSystemColors(14, 44, 40)); }

void BitBltRect(HDC dest, HDC source, const TRect& destRect, const TPoint& sourcePoint, DWORD rop) {
  BitBlt(dest, destRect.Left, destRect.Top, destRect.Width(), destRect.Height(), source,
         sourcePoint.X, sourcePoint.Y, rop);
}

void DrawBitmapToDC(HDC dc, TcxBitmap* bitmap, const TRect& destRect, const TPoint& sourcePoint,
                    DWORD rop) {
  // Bitmaps carry no palette here and every DC has 32 bits per pixel: a direct transfer.
  BitBltRect(dc, bitmap->GetCanvas()->GetDCHandle(), destRect, sourcePoint, rop);
}

void AlphaBlendDC(HDC dest, HDC source, const TRect& destRect, const TRect& sourceRect,
                  Boolean stretch, Byte constantAlpha) {
  const Boolean stretching = stretch && (destRect.Width() != sourceRect.Width() ||
                                         destRect.Height() != sourceRect.Height());
  if (destRect.Width() <= 0 || destRect.Height() <= 0 || sourceRect.Width() <= 0 ||
      sourceRect.Height() <= 0)
    return;
  if (orv::IsMsimg32Available() && !stretching) {
    BLENDFUNCTION blend{AC_SRC_OVER, 0, constantAlpha, AC_SRC_ALPHA};
    AlphaBlend(dest, destRect.Left, destRect.Top, destRect.Width(), destRect.Height(), source,
               sourceRect.Left, sourceRect.Top, sourceRect.Width(), sourceRect.Height(), blend);
    return;
  }
  TcxBitmap32 s(sourceRect.Width(), sourceRect.Height(), true);
  BitBltRect(s.GetCanvas()->GetDCHandle(), source, s.GetBoundsRect(), sourceRect.TopLeft());
  TcxBitmap32 d(destRect.Width(), destRect.Height());
  BitBltRect(d.GetCanvas()->GetDCHandle(), dest, d.GetBoundsRect(), destRect.TopLeft());
  TcxBitmap32 t(destRect.Width(), destRect.Height(), true);
  if (stretching) ResampleBitmap(&s, &t, true);
  else t.CopyBitmap(&s);
  const TRGBColors top = ReadBitmapColors(&t, true);
  TRGBColors bottom = ReadBitmapColors(&d, true);
  for (std::size_t i = 0; i < bottom.size(); ++i) bottom[i] = BlendPixel(top[i], bottom[i], constantAlpha);
  StoreBitmapColors(&d, bottom, true);
  BitBltRect(dest, d.GetCanvas()->GetDCHandle(), destRect, {0, 0});
}

void AlphaBlendBitmap(TcxBitmap* dest, TcxBitmap* source, const TRect& destRect,
                      const TRect& sourceRect, Boolean stretch, Byte constantAlpha) {
  AlphaBlendDC(dest->GetCanvas()->GetDCHandle(), source->GetCanvas()->GetDCHandle(), destRect,
               sourceRect, stretch, constantAlpha);
}

namespace {

float Sinc(float x) {
  if (x == 0.0f) return 1.0f;
  const float px = 3.14159265358979f * x;
  return std::sin(px) / px;
}

float Lanczos3(float x) { return std::fabs(x) < 3.0f ? Sinc(x) * Sinc(x / 3.0f) : 0.0f; }

struct TContributor {
  Integer Index;
  Integer Weight;
};

// The source pixels and weights of each destination index. A source index outside the source
// is reflected at the edge and then clamped, so that a small source (one pixel, or fewer than
// the filter reaches) never reads outside itself.
std::vector<std::vector<TContributor>> Contributors(Integer destCount, Integer sourceCount) {
  const float scale = (destCount == 1 || sourceCount == 1)
                          ? float(destCount) / float(sourceCount)
                          : float(destCount - 1) / float(sourceCount - 1);
  const float width = scale >= 1.0f ? 1.0f : 1.0f / scale;
  const float support = 3.0f * width;
  const auto limit = std::size_t(2.0f * support + 1.0f);
  std::vector<std::vector<TContributor>> result(static_cast<std::size_t>(destCount));
  for (Integer i = 0; i < destCount; ++i) {
    const float centre = float(i) / scale;
    auto& list = result[std::size_t(i)];
    for (Integer j = Integer(std::floor(centre - support)); j <= Integer(std::ceil(centre + support)); ++j) {
      if (list.size() >= limit) break;
      const Integer weight = Integer(std::lround(Lanczos3((centre - float(j)) / width) / width * 256.0f));
      if (weight == 0) continue;
      Integer index = j < 0 ? -j : j >= sourceCount ? 2 * sourceCount - 1 - j : j;
      index = std::clamp(index, 0, sourceCount - 1);
      list.push_back({index, weight});
    }
  }
  return result;
}

// One channel from weighted pixels, divided by the sum of the weights so that the weights of a
// truncated or reflected window still add up to one.
Cardinal Resample(const std::vector<TContributor>& list, const Cardinal* pixels, std::ptrdiff_t step) {
  Int64 total = 0;
  for (const TContributor& c : list) total += c.Weight;
  Cardinal out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    Int64 sum = 0;
    for (const TContributor& c : list) sum += Int64(c.Weight) * ((pixels[c.Index * step] >> shift) & 0xFF);
    Int64 v = 0;
    if (total > 0) v = sum >= 0 ? (sum + total / 2) / total : 0;
    out |= Cardinal(std::clamp<Int64>(v, 0, 255)) << shift;
  }
  return out;
}

}  // namespace

void ResampleBitmap(TcxBitmap* source, TcxBitmap* dest, Boolean force) {
  const Integer sw = source->GetWidth(), sh = source->GetHeight();
  const Integer dw = dest->GetWidth(), dh = dest->GetHeight();
  if (sw == 0 || sh == 0 || dw == 0 || dh == 0) return;
  if (!force) {
    HDC dc = dest->GetCanvas()->GetDCHandle();
    const int oldMode = SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, 0, 0, dw, dh, source->GetCanvas()->GetDCHandle(), 0, 0, sw, sh, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
    return;
  }
  const TRGBColors src = ReadBitmapColors(source, true);
  const auto horizontal = Contributors(dw, sw);
  const auto vertical = Contributors(dh, sh);
  TRGBColors middle(std::size_t(dw) * std::size_t(sh));
  for (Integer y = 0; y < sh; ++y)
    for (Integer x = 0; x < dw; ++x)
      middle[std::size_t(y) * std::size_t(dw) + std::size_t(x)] =
          Resample(horizontal[std::size_t(x)], &src[std::size_t(y) * std::size_t(sw)], 1);
  TRGBColors out(std::size_t(dw) * std::size_t(dh));
  for (Integer y = 0; y < dh; ++y)
    for (Integer x = 0; x < dw; ++x)
      out[std::size_t(y) * std::size_t(dw) + std::size_t(x)] =
          Resample(vertical[std::size_t(y)], &middle[std::size_t(x)], dw);
  StoreBitmapColors(dest, out, true);
}

void ProcessDCAreaAsAlphaBitmap(HDC dc, const TRect& rect, TColor color1, TColor color2,
                                Byte alpha1, Byte alpha2, Byte step) {
  if (RectIsEmpty(rect)) return;
  TcxAlphaBitmap bitmap(rect.Width(), rect.Height());
  BitBltRect(bitmap.GetCanvas()->GetDCHandle(), dc, bitmap.GetBoundsRect(), rect.TopLeft());
  bitmap.SetHatch(color1, color2, alpha1, alpha2, step);
  BitBltRect(dc, bitmap.GetCanvas()->GetDCHandle(), rect, {0, 0});
}

void CopyAlphaBitmapToBitmap(TcxAlphaBitmap* source, TcxBitmap* dest) {
  TcxAlphaBitmap mask(source->GetWidth(), source->GetHeight());
  mask.CopyBitmap(source);
  mask.GetTransparentColors() = source->GetTransparentColors();
  if (!source->HasAlphaChannel()) mask.SetTransparentColor(TColor(orv::PixelToColor(source->GetTransparentBkColor())));
  mask.ProcessPixels(ppoMask);
  dest->SetSize(mask.GetWidth(), mask.GetHeight());
  dest->CopyBitmap(&mask);
}

namespace {

struct TScratchBitmaps {
  std::unique_ptr<TcxAlphaBitmap, orv::FreeDeleter> Bitmaps[3];
  TcxAlphaBitmap* Get(int i, Integer width, Integer height) {
    if (!Bitmaps[i]) Bitmaps[i].reset(new TcxAlphaBitmap);
    ResizeAlphaBitmap(Bitmaps[i].get(), width, height);
    return Bitmaps[i].get();
  }
};

TScratchBitmaps& Scratch() {
  static TScratchBitmaps scratch;
  return scratch;
}

}  // namespace

TcxAlphaBitmap* GetScratchBitmap(Integer width, Integer height) { return Scratch().Get(0, width, height); }
TcxAlphaBitmap* GetScratchAlphaBitmap(Integer width, Integer height) { return Scratch().Get(1, width, height); }
TcxAlphaBitmap* GetScratchMaskBitmap(Integer width, Integer height) { return Scratch().Get(2, width, height); }

void ResizeAlphaBitmap(TcxAlphaBitmap* bitmap, Integer width, Integer height) {
  bitmap->SetSize(width, height);
  bitmap->GetTransparentColors().clear();
  bitmap->FillBlack();
}

// ==== Text measuring and object queries ======================================================

Boolean GetStringExtent(HDC dc, const AnsiString& text, TSize& size, Integer length) {
  const int count = length < 0 ? int(text.size()) : std::min(int(length), int(text.size()));
  SIZE s{};
  const Boolean ok = GetTextExtentPoint32(dc, text.data(), count, &s) != 0;
  size = s;
  return ok;
}

Integer DrawTextString(HDC dc, const AnsiString& text, TRect& rect, UINT format) {
  return DrawText(dc, text.data(), int(text.size()), &rect, format);
}

Boolean ExtTextOutString(HDC dc, const AnsiString& text, const TPoint& point, const TRect* clipRect,
                         UINT options, Integer length) {
  const UINT count = length < 0 ? UINT(text.size()) : UINT(std::min<std::size_t>(std::size_t(length), text.size()));
  return ExtTextOut(dc, point.X, point.Y, options, clipRect, text.data(), count, nullptr) != 0;
}

TRect CalculateTextRect(HDC dc, const AnsiString& text, Integer lineCount, Boolean limitHeight) {
  TRect result{};
  auto measure = [&](Integer width, UINT flags) {
    TRect r{0, 0, width, 0};
    DrawText(dc, text.data(), int(text.size()), &r, DT_CALCRECT | flags);
    return r;
  };
  if (lineCount == 1) {
    DrawText(dc, text.data(), int(text.size()), &result, DT_CALCRECT | DT_SINGLELINE);
    return result;
  }
  SIZE wg{};
  GetTextExtentPoint32(dc, "Wg", 2, &wg);
  const Integer limit = lineCount > 0 ? lineCount * wg.cy : 32000;
  const UINT wrap = DT_WORDBREAK | DT_NOFULLWIDTHCHARBREAK;
  Integer lo = measure(1, wrap).Width();
  Integer hi = measure(0, DT_SINGLELINE).Width();
  while (hi - lo > 1) {
    const Integer middle = (lo + hi) / 2;
    if (measure(middle, wrap).Height() > limit) lo = middle;
    else hi = middle;
  }
  result = measure(lo, wrap);
  if (result.Height() > limit) result = measure(hi, wrap);
  if (limitHeight) result.Bottom = limit;
  return result;
}

TSize MeasureTextOnDC(HDC dc, const AnsiString& text) {
  const TRect r = CalculateTextRect(dc, text, 1);
  return {r.Right, r.Bottom};
}

TSize FontTextExtent(const LOGFONT& font, const AnsiString& text, Integer pointSize) {
  TcxScreenCanvas* screen = GetScreenCanvas();
  if (!screen) return {};
  LOGFONT lf = font;
  if (pointSize != 0) lf.lfHeight = -MulDiv(pointSize, GetDeviceCaps(screen->GetDCHandle(), LOGPIXELSY), 72);
  screen->PushState();
  screen->SetFont(lf);
  const TSize size = screen->GetTextSize(text);
  screen->PopState();
  screen->FreeScreenHandle();
  return size;
}

void WrapTextToLines(const AnsiString& text, TcxCanvas* canvas, const TRect& rect, TStrings* lines) {
  // Positions are 0-based; a word is [start, end). Words are runs of non-blanks, and each blank
  // after the first of a run of blanks.
  const std::size_t n = text.size();
  auto isBreak = [&](std::size_t i) { return text[i] == '\r' || text[i] == '\n'; };
  auto isBlank = [&](std::size_t i) { return text[i] == ' ' || text[i] == '\t' || isBreak(i); };
  auto skipBreaks = [&](std::size_t i) {
    while (i < n && isBreak(i)) ++i;
    return i;
  };
  std::size_t lineStart = 0, previousEnd = 0, pos = 0;
  while (true) {
    std::size_t start = pos;
    while (start < n && isBlank(start) && !(start > 0 && isBlank(start - 1))) ++start;
    if (start >= n) break;
    std::size_t end = start + 1;
    if (!isBlank(start))
      while (end < n && !isBlank(end)) ++end;
    std::size_t hard = lineStart;
    while (hard < end && !isBreak(hard)) ++hard;
    if (hard < end) {
      // A hard break: the line ends there, and empty lines between breaks are dropped.
      lines->Add(text.substr(lineStart, hard - lineStart));
      lineStart = skipBreaks(hard);
    } else if (canvas->TextWidthOf(text.substr(lineStart, end - lineStart)) > rect.Width() &&
               previousEnd > lineStart) {
      // Too wide: the line ends with the previous word. A word wider than the rectangle that
      // starts a line stays whole on it (no empty line before it).
      lines->Add(text.substr(lineStart, previousEnd - lineStart));
      lineStart = skipBreaks(start);
    }
    previousEnd = pos = std::max(end, lineStart);
  }
  // Line breaks among the trailing blanks end lines too; the last line is empty when the text
  // ends with a break.
  for (std::size_t i = lineStart; i < n; ++i)
    if (isBreak(i)) {
      lines->Add(text.substr(lineStart, i - lineStart));
      i = lineStart = skipBreaks(i);
    }
  lines->Add(text.substr(std::min(lineStart, n)));
}

Boolean IsChineseOrArabicCharset(Byte charset, const AnsiString& text) {
  if (charset == DEFAULT_CHARSET) charset = RUSSIAN_CHARSET;  // the system's default font charset
  if (!text.empty() && static_cast<unsigned char>(text[0]) < 0x80) return false;
  return charset == GB2312_CHARSET || charset == CHINESEBIG5_CHARSET || charset == ARABIC_CHARSET;
}

Integer GetScreenLogPixels(Boolean vertical) {
  TcxScreenCanvas* screen = GetScreenCanvas();
  if (!screen) return 96;
  const Integer result = GetDeviceCaps(screen->GetDCHandle(), vertical ? LOGPIXELSY : LOGPIXELSX);
  screen->FreeScreenHandle();
  return result;
}

Boolean GetBitmapData(HBITMAP bitmap, BITMAP& data) { return GetObject(bitmap, sizeof data, &data) != 0; }
Boolean GetBrushInfo(HBRUSH brush, LOGBRUSH& info) { return GetObject(brush, sizeof info, &info) != 0; }
Boolean GetFontInfo(HFONT font, LOGFONT& info) { return GetObject(font, sizeof info, &info) != 0; }
Boolean GetPenData(HPEN pen, LOGPEN& data) { return GetObject(pen, sizeof data, &data) != 0; }

TSize GetCurrentCursorSize() {
  // The platform gives no access to a cursor's image, so its mask cannot narrow the size.
  return {GetSystemMetrics(SM_CXCURSOR), GetSystemMetrics(SM_CYCURSOR)};
}

void InvalidateWindowRect(HWND window, const TRect& rect, Boolean erase) {
  InvalidateRect(window, &rect, erase);
}

void InvalidateWindow(HWND window, Boolean erase) { InvalidateRect(window, nullptr, erase); }

namespace {

// Paints `window` (and its windowed children) into the canvas, whose coordinates are those of
// `origin`'s client area. `rect` is in `window`'s client coordinates; children from `stop` on
// lie above the control whose background is drawn and are left out.
void PaintWindowCopy(TWinControl* window, TWinControl* origin, TcxCanvas* canvas,
                     const TPoint& baseOrigin, TRect rect, TControl* stop, Boolean withEdge) {
  if (window->GetComponentState().Contains(csDestroying) || !window->HandleAllocated()) return;
  canvas->PushState();
  // The window's client point p lands on the canvas where it lies in `origin`'s client area.
  const TPoint windowOrigin = window->GetClientOrigin(), canvasOrigin = origin->GetClientOrigin();
  const TPoint org{baseOrigin.X + canvasOrigin.X - windowOrigin.X,
                   baseOrigin.Y + canvasOrigin.Y - windowOrigin.Y};
  // The edge lies outside the client area, in the window's own coordinates.
  if (withEdge) {
    const LONG style = GetWindowLong(window->GetHandle(), GWL_STYLE);
    const LONG exStyle = GetWindowLong(window->GetHandle(), GWL_EXSTYLE);
    IcxTransparentBackgroundEdge* edgeQuery = nullptr;
    const Boolean drawEdge = !Supports<IcxTransparentBackgroundEdge>(window, edgeQuery) ||
                             edgeQuery->NeedsNonClientEdge();
    RECT windowRect{}, clientRect{};
    GetWindowRect(window->GetHandle(), &windowRect);
    GetClientRect(window->GetHandle(), &clientRect);
    POINT clientTopLeft{0, 0};
    ClientToScreen(window->GetHandle(), &clientTopLeft);
    const TPoint inset{clientTopLeft.X - windowRect.Left, clientTopLeft.Y - windowRect.Top};
    if (drawEdge && (exStyle & WS_EX_CLIENTEDGE || style & WS_BORDER)) {
      canvas->SetWindowOrigin({org.X + inset.X, org.Y + inset.Y});
      TRect edge{0, 0, windowRect.Right - windowRect.Left, windowRect.Bottom - windowRect.Top};
      if (exStyle & WS_EX_CLIENTEDGE) DrawEdge(canvas->GetDCHandle(), &edge, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
      else DrawEdge(canvas->GetDCHandle(), &edge, BDR_OUTER, BF_RECT | BF_ADJUST | BF_MONO);
    }
    canvas->SetWindowOrigin(org);
    canvas->IntersectClip({0, 0, clientRect.Right, clientRect.Bottom});
  } else {
    canvas->SetWindowOrigin(org);
  }
  if (canvas->IsRectVisible(rect)) {
    TControlState state = window->GetControlState();
    const Boolean wasCopy = state.Contains(csPaintCopy);
    state.Include(csPaintCopy);
    window->SetControlState(state);
    canvas->GetCanvas()->Lock();
    HRGN windowRegion = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(window->GetHandle(), windowRegion) != ERROR) {
      // The window region is in window coordinates; the canvas draws in client coordinates.
      RECT windowRect{};
      GetWindowRect(window->GetHandle(), &windowRect);
      POINT clientTopLeft{0, 0};
      ClientToScreen(window->GetHandle(), &clientTopLeft);
      OffsetRgn(windowRegion, windowRect.Left - clientTopLeft.X, windowRect.Top - clientTopLeft.Y);
      canvas->SetClipRegion(new TcxRegion(windowRegion), roIntersect, true, true);
      windowRegion = nullptr;
    }
    if (windowRegion) DeleteObject(windowRegion);
    canvas->IntersectClip(rect);
    canvas->PushState();
    HDC dc = canvas->GetDCHandle();
    window->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dc));
    window->Perform(WM_PAINT, reinterpret_cast<WPARAM>(canvas->GetDCHandle()), 0);
    canvas->PopState();
    for (Integer i = 0; i < window->GetControlCount(); ++i) {
      TControl* child = window->GetControl(i);
      if (child == stop) break;
      auto* windowed = dynamic_cast<TWinControl*>(child);
      if (!windowed || !windowed->GetVisible() || !windowed->HandleAllocated()) continue;
      const TPoint childOrigin = windowed->GetClientOrigin();
      const TRect childRect =
          GetOffsetRect(rect, windowOrigin.X - childOrigin.X, windowOrigin.Y - childOrigin.Y);
      PaintWindowCopy(windowed, origin, canvas, baseOrigin, childRect, nullptr, true);
    }
    canvas->GetCanvas()->Unlock();
    if (!wasCopy) {
      state = window->GetControlState();
      state.Exclude(csPaintCopy);
      window->SetControlState(state);
    }
  }
  canvas->PopState();
}

}  // namespace

void DrawTransparentBackground(TWinControl* control, TcxCanvas* canvas, const TRect& rect) {
  TWinControl* parent = control ? control->GetParent() : nullptr;
  if (!parent) return;
  const TPoint parentOrigin = parent->GetClientOrigin(), controlOrigin = control->GetClientOrigin();
  const TRect inParent =
      GetOffsetRect(rect, controlOrigin.X - parentOrigin.X, controlOrigin.Y - parentOrigin.Y);
  PaintWindowCopy(parent, control, canvas, canvas->GetWindowOrigin(), inParent, control, false);
}

void DrawParentBackground(TWinControl* control, TcxCanvas* canvas, const TRect& rect) {
  // The themed parent background needs visual styles, which this platform does not have.
  DrawTransparentBackground(control, canvas, rect);
}

void DrawTransparentBackgroundOnCanvas(TWinControl* control, TCanvas* canvas, const TRect& rect) {
  TcxCanvas wrapper(canvas);
  DrawTransparentBackground(control, &wrapper, rect);
}

void DrawParentBackgroundOnCanvas(TWinControl* control, TCanvas* canvas, const TRect& rect) {
  TcxCanvas wrapper(canvas);
  DrawParentBackground(control, &wrapper, rect);
}

// ==== Glyph drawing ==========================================================================

Boolean IsImageIndexValid(TCustomImageList* imageList, Integer index) {
  return imageList && index >= 0 && index < imageList->GetCount();
}

void DrawGlyphOrImage(HDC dc, const TRect& imageRect, const TRect& composedRect, TcxBitmap* glyph,
                      TCustomImageList* imageList, Integer imageIndex, TcxImageDrawMode drawMode,
                      Boolean stretch, HBRUSH backgroundBrush, TColor transparentColor,
                      Boolean useGlyphTransparentColor) {
  const Boolean useGlyph = HasGlyph(glyph);
  if (!useGlyph && !IsImageIndexValid(imageList, imageIndex)) return;
  if (RectIsEmpty(composedRect)) return;
  TcxAlphaBitmap* b = GetScratchBitmap(composedRect.Width(), composedRect.Height());
  HDC bdc = b->GetCanvas()->GetDCHandle();
  if (backgroundBrush) {
    const TRect all = b->GetBoundsRect();
    ::FillRect(bdc, &all, backgroundBrush);
  } else {
    BitBltRect(bdc, dc, b->GetBoundsRect(), composedRect.TopLeft());
  }
  TRect target = GetOffsetRect(imageRect, composedRect.Left, composedRect.Top, false);
  if (cxDrawGlyphHook &&
      cxDrawGlyphHook(b->GetCanvas(), imageList, imageIndex, drawMode, target, glyph)) {
    BitBltRect(dc, bdc, composedRect, {0, 0});
    return;
  }
  // The image, and (for a list's image without alpha) the list's mask of it.
  using Ptr = std::unique_ptr<TcxBitmap, orv::FreeDeleter>;
  Ptr listImage, listMask;
  TcxBitmap* source = glyph;
  if (!useGlyph) {
    listImage.reset(new TcxBitmap);
    listMask.reset(new TcxBitmap(0, 0, pf1bit));
    // The component list keeps its 32-bit images; any other list gives its platform image and mask.
    if (auto* cxList = dynamic_cast<TcxImageList*>(imageList))
      cxList->GetImage(imageIndex, listImage.get(), listMask.get());
    else
      TcxImageList::GetPlatformImageInfo(imageList->GetHandle(), imageIndex, listMask.get(), listImage.get());
    source = listImage.get();
  }
  const Integer w = source->GetWidth(), h = source->GetHeight();
  TcxAlphaBitmap* a = GetScratchAlphaBitmap(w, h);
  a->CopyBitmap(source);
  const Boolean hasAlpha = source->GetPixelFormat() == pf32bit && a->HasAlphaChannel();
  if (!hasAlpha) a->SetOpaque();
  TcxAlphaBitmap* m = GetScratchMaskBitmap(w, h);
  m->CopyBitmap(a);
  if (!hasAlpha) {
    if (!useGlyph && HasGlyph(listMask.get()) && listMask->GetWidth() == w && listMask->GetHeight() == h) {
      TcxAlphaBitmap listAlphaMask(w, h);
      // The mask's own colours (black and white), not those a transfer into a DC would map
      // its bits to.
      TRGBColors pixels = ReadBitmapColors(listMask.get(), false);
      for (Cardinal& p : pixels)
        if (p & 0xFFFFFF) p = 0xFFFFFFFFu;
      listAlphaMask.SetPixels(pixels);
      ApplyInvertedMask(m, &listAlphaMask);
    }
    if (transparentColor != clNone) AddTransparentColor(m->GetTransparentColors(), transparentColor);
    if (useGlyph && useGlyphTransparentColor)
      AddTransparentColor(m->GetTransparentColors(), glyph->GetTransparentColor());
  }
  m->ProcessPixels(ppoMask);
  ApplyInvertedMask(a, m);
  Byte constantAlpha = 255;
  switch (drawMode) {
    case idmNormal: break;
    case idmDisabled:
      if (hasAlpha) {
        a->ProcessPixels(ppoGreyLuminance);
        constantAlpha = 151;
      } else {
        a->ProcessPixels(ppoDisabledGrey);
        a->AddSilhouette(m, 1, clBtnHighlight, false);
      }
      break;
    case idmFaded:
      a->ProcessPixels(ppoGrey);
      constantAlpha = 64;
      break;
    case idmGrayScale: a->ProcessPixels(ppoAverageGrey); break;
    case idmLight: a->ProcessPixels(ppoLight); break;
    case idmShadowed:
      a->AddSilhouette(m, 2, clBtnShadow, true);
      target = GetOffsetRect(GetInflatedRectBySides(target, 0, 0, 2, 2), -1, -1);
      break;
  }
  AlphaBlendBitmap(b, a, target, a->GetBoundsRect(), stretch, constantAlpha);
  DrawBitmapToDC(dc, b, composedRect, {0, 0});
}
