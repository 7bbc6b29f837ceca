// Device contexts: memory, window and screen DCs, their state, numbered save and restore,
// coordinates, clipping and device capabilities.
#include <algorithm>

#include "platform/drawing/GdiInternal.h"

namespace orv::gdi {

TDc::~TDc() {
  if (S.Bitmap && S.Bitmap->SelectedInto == this) S.Bitmap->SelectedInto = nullptr;
  ReleaseDcState(S);
  for (TDcState& s : Saved) ReleaseDcState(s);
}

void TDc::UpdateClip() {
  if (!ClipDirty) return;
  ClipDirty = false;
  TRgn r(Surface ? Surface->Bounds() : TRect{});
  if (HasVisible) {
    TRgn v = Visible;
    v.Offset(Origin.X, Origin.Y);
    r.Intersect(v);
  }
  if (S.HasClip) {
    TRgn c = S.Clip;
    c.Offset(Origin.X, Origin.Y);
    r.Intersect(c);
  }
  ClipSurface = r;
  ClipRects = r.Rects();
  ClipBoxSurface = r.Box();
}

}  // namespace orv::gdi

using namespace orv;
using namespace orv::gdi;

namespace {

orv::TSurface* gScreen = nullptr;

orv::TSurface& Screen() {
  if (gScreen) return *gScreen;
  static orv::TSurface builtIn(1024, 768);
  return builtIn;
}

TDc* NewDc() {
  auto* d = new TDc;
  Register(d, d);
  InitDcState(d->S);
  AddRefDcState(d->S);
  return d;
}

// The device area of a DC: where device coordinates can draw, before any clipping.
TRect DeviceArea(const TDc& d) {
  if (!d.Surface) return {};
  TRect r = d.Surface->Bounds();
  return {r.Left - d.Origin.X, r.Top - d.Origin.Y, r.Right - d.Origin.X, r.Bottom - d.Origin.Y};
}

TRect NormalizedRect(int l, int t, int r, int b) {
  return {std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}

int ClipType(TDc& d) {
  d.UpdateClip();
  return d.ClipSurface.Type();
}

}  // namespace

HDC CreateCompatibleDC(HDC dc) {
  if (dc && !AsDc(dc)) return nullptr;
  TDc* d = NewDc();
  d->Memory = true;
  d->S.Bitmap = StockBitmap();
  AddRef(d->S.Bitmap);
  d->Surface = &d->S.Bitmap->Surface;
  return d;
}

BOOL DeleteDC(HDC dc) {
  TDc* d = AsDc(dc);
  if (!d) return 0;
  DestroyObject(d);
  return 1;
}

int SaveDC(HDC dc) {
  TDc* d = AsDc(dc);
  if (!d) return 0;
  d->Saved.push_back(d->S);
  AddRefDcState(d->Saved.back());
  return int(d->Saved.size());
}

BOOL RestoreDC(HDC dc, int savedDC) {
  TDc* d = AsDc(dc);
  if (!d || savedDC == 0) return 0;
  const int n = int(d->Saved.size());
  const int index = savedDC > 0 ? savedDC - 1 : n + savedDC;
  if (index < 0 || index >= n) return 0;
  TBitmap* oldBitmap = d->S.Bitmap;
  for (int i = n - 1; i > index; --i) ReleaseDcState(d->Saved[std::size_t(i)]);
  ReleaseDcState(d->S);
  d->S = std::move(d->Saved[std::size_t(index)]);
  d->Saved.resize(std::size_t(index));
  if (d->Memory && d->S.Bitmap != oldBitmap) {
    if (oldBitmap && oldBitmap->SelectedInto == d) oldBitmap->SelectedInto = nullptr;
    if (d->S.Bitmap && !d->S.Bitmap->Stock) d->S.Bitmap->SelectedInto = d;
  }
  if (d->Memory && d->S.Bitmap) d->Surface = &d->S.Bitmap->Surface;
  d->InvalidateClip();
  return 1;
}

int GetDeviceCaps(HDC dc, int index) {
  TDc* d = AsDc(dc);
  if (!d) return 0;
  const orv::TSurface& screen = Screen();
  switch (index) {
    case DRIVERVERSION: return 0x4000;
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZRES:
    case DESKTOPHORZRES: return screen.Width();
    case VERTRES:
    case DESKTOPVERTRES: return screen.Height();
    case HORZSIZE: return screen.Width() * 254 / 960;
    case VERTSIZE: return screen.Height() * 254 / 960;
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case NUMBRUSHES:
    case NUMPENS:
    case NUMCOLORS: return -1;
    case NUMFONTS: return 0;
    case RASTERCAPS:
      return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case SIZEPALETTE: return 0;
    case COLORRES: return 24;
    case VREFRESH: return 60;
    case SHADEBLENDCAPS: return SB_CONST_ALPHA | SB_PIXEL_ALPHA | SB_GRAD_RECT | SB_GRAD_TRI;
    default: return 0;
  }
}

// ---- Simple state ----------------------------------------------------------------------------

#define ORV_DC_SETTER(Name, Type, Field, Fail, Check)   \
  Type Set##Name(HDC dc, Type value) {                  \
    TDc* d = AsDc(dc);                                  \
    if (!d || !(Check)) return Fail;                    \
    const Type old = Type(d->S.Field);                  \
    d->S.Field = decltype(d->S.Field)(value);           \
    return old;                                         \
  }                                                     \
  Type Get##Name(HDC dc) {                              \
    TDc* d = AsDc(dc);                                  \
    return d ? Type(d->S.Field) : Fail;                 \
  }

ORV_DC_SETTER(TextColor, COLORREF, TextColor, CLR_INVALID, true)
ORV_DC_SETTER(BkColor, COLORREF, BkColor, CLR_INVALID, true)
ORV_DC_SETTER(BkMode, int, BkMode, 0, value == TRANSPARENT || value == OPAQUE)
ORV_DC_SETTER(ROP2, int, Rop2, 0, value >= R2_BLACK && value <= R2_WHITE)
ORV_DC_SETTER(PolyFillMode, int, PolyFillMode, 0, value == ALTERNATE || value == WINDING)
ORV_DC_SETTER(StretchBltMode, int, StretchMode, 0, value >= BLACKONWHITE && value <= HALFTONE)
ORV_DC_SETTER(TextAlign, UINT, TextAlign, 0xFFFFFFFF, true)
ORV_DC_SETTER(TextCharacterExtra, int, CharExtra, int(0x80000000), true)
ORV_DC_SETTER(MapMode, int, MapMode, 0, value == MM_TEXT)
#undef ORV_DC_SETTER

BOOL SetTextJustification(HDC dc, int breakExtra, int breakCount) {
  TDc* d = AsDc(dc);
  if (!d) return 0;
  d->S.BreakExtra = breakCount > 0 ? breakExtra : 0;
  d->S.BreakCount = breakCount > 0 ? breakCount : 0;
  return 1;
}

namespace {

BOOL SetPoint(HDC dc, TPoint orv::gdi::TDcState::*field, int x, int y, POINT* previous,
              bool offset) {
  TDc* d = AsDc(dc);
  if (!d) return 0;
  TPoint& p = d->S.*field;
  if (previous) *previous = p;
  p = offset ? TPoint{p.X + x, p.Y + y} : TPoint{x, y};
  return 1;
}

BOOL GetPoint(HDC dc, TPoint orv::gdi::TDcState::*field, POINT* out) {
  TDc* d = AsDc(dc);
  if (!d || !out) return 0;
  *out = d->S.*field;
  return 1;
}

}  // namespace

BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* previous) {
  return SetPoint(dc, &TDcState::BrushOrg, x, y, previous, false);
}
BOOL GetBrushOrgEx(HDC dc, POINT* origin) { return GetPoint(dc, &TDcState::BrushOrg, origin); }
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* previous) {
  return SetPoint(dc, &TDcState::WindowOrg, x, y, previous, false);
}
BOOL GetWindowOrgEx(HDC dc, POINT* origin) { return GetPoint(dc, &TDcState::WindowOrg, origin); }
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* previous) {
  return SetPoint(dc, &TDcState::WindowOrg, dx, dy, previous, true);
}
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* previous) {
  return SetPoint(dc, &TDcState::ViewportOrg, x, y, previous, false);
}
BOOL GetViewportOrgEx(HDC dc, POINT* origin) {
  return GetPoint(dc, &TDcState::ViewportOrg, origin);
}
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* previous) {
  return SetPoint(dc, &TDcState::ViewportOrg, dx, dy, previous, true);
}
BOOL GetCurrentPositionEx(HDC dc, POINT* position) {
  return GetPoint(dc, &TDcState::CurrentPos, position);
}

BOOL LPtoDP(HDC dc, POINT* points, int count) {
  TDc* d = AsDc(dc);
  if (!d || (!points && count > 0)) return 0;
  for (int i = 0; i < count; ++i) points[i] = d->ToDevice(points[i]);
  return 1;
}

BOOL DPtoLP(HDC dc, POINT* points, int count) {
  TDc* d = AsDc(dc);
  if (!d || (!points && count > 0)) return 0;
  for (int i = 0; i < count; ++i) points[i] = d->ToLogical(points[i]);
  return 1;
}

BOOL GetDCOrgEx(HDC dc, POINT* origin) {
  TDc* d = AsDc(dc);
  if (!d || !origin) return 0;
  *origin = d->Origin;
  return 1;
}

// ---- Clipping --------------------------------------------------------------------------------

int SelectClipRgn(HDC dc, HRGN region) { return ExtSelectClipRgn(dc, region, RGN_COPY); }

int ExtSelectClipRgn(HDC dc, HRGN region, int mode) {
  TDc* d = AsDc(dc);
  if (!d) return ERROR;
  TRegion* r = AsRegion(region);
  if (!r) {
    if (region || mode != RGN_COPY) return ERROR;
    d->S.HasClip = false;
    d->S.Clip = TRgn();
    d->InvalidateClip();
    return ClipType(*d);
  }
  TRgn base = d->S.HasClip ? d->S.Clip : TRgn(DeviceArea(*d));
  switch (mode) {
    case RGN_COPY: base = r->R; break;
    case RGN_AND: base.Intersect(r->R); break;
    case RGN_OR: base.Union(r->R); break;
    case RGN_XOR: base.Xor(r->R); break;
    case RGN_DIFF: base.Subtract(r->R); break;
    default: return ERROR;
  }
  d->S.HasClip = true;
  d->S.Clip = std::move(base);
  d->InvalidateClip();
  return ClipType(*d);
}

int GetClipRgn(HDC dc, HRGN region) {
  TDc* d = AsDc(dc);
  TRegion* r = AsRegion(region);
  if (!d || !r) return -1;
  if (!d->S.HasClip) return 0;
  r->R = d->S.Clip;
  return 1;
}

int GetClipBox(HDC dc, RECT* rect) {
  TDc* d = AsDc(dc);
  if (!d || !rect) return ERROR;
  d->UpdateClip();
  const TRect b = d->ClipBoxSurface;
  if (b.Width() <= 0 || b.Height() <= 0) {
    *rect = {};
    return NULLREGION;
  }
  const TPoint lt = d->ToLogical({b.Left - d->Origin.X, b.Top - d->Origin.Y});
  *rect = {lt.X, lt.Y, lt.X + b.Width(), lt.Y + b.Height()};
  return d->ClipSurface.Type();
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom) {
  TDc* d = AsDc(dc);
  if (!d) return ERROR;
  const TPoint a = d->ToDevice({left, top}), b = d->ToDevice({right, bottom});
  TRgn base = d->S.HasClip ? d->S.Clip : TRgn(DeviceArea(*d));
  base.Subtract(TRgn(NormalizedRect(a.X, a.Y, b.X, b.Y)));
  d->S.HasClip = true;
  d->S.Clip = std::move(base);
  d->InvalidateClip();
  return ClipType(*d);
}

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
  TDc* d = AsDc(dc);
  if (!d) return ERROR;
  const TPoint a = d->ToDevice({left, top}), b = d->ToDevice({right, bottom});
  TRgn base = d->S.HasClip ? d->S.Clip : TRgn(DeviceArea(*d));
  base.Intersect(NormalizedRect(a.X, a.Y, b.X, b.Y));
  d->S.HasClip = true;
  d->S.Clip = std::move(base);
  d->InvalidateClip();
  return ClipType(*d);
}

int OffsetClipRgn(HDC dc, int dx, int dy) {
  TDc* d = AsDc(dc);
  if (!d) return ERROR;
  if (d->S.HasClip) {
    d->S.Clip.Offset(dx, dy);
    d->InvalidateClip();
  }
  return ClipType(*d);
}

BOOL RectVisible(HDC dc, const RECT* rect) {
  TDc* d = AsDc(dc);
  if (!d || !rect) return 0;
  d->UpdateClip();
  const TRect s = d->ToSurface(*rect);
  return d->ClipSurface.Overlaps(NormalizedRect(s.Left, s.Top, s.Right, s.Bottom));
}

BOOL PtVisible(HDC dc, int x, int y) {
  TDc* d = AsDc(dc);
  if (!d) return 0;
  d->UpdateClip();
  return d->ClipSurface.Contains(d->SX(x), d->SY(y));
}

// ---- Hooks of the window system --------------------------------------------------------------

HDC orv::CreateSurfaceDC(TSurface* surface, TPoint origin, HRGN visible, bool screen,
                         void* owner) {
  if (!surface) return nullptr;
  TDc* d = NewDc();
  d->Surface = surface;
  d->Origin = origin;
  d->Screen = screen;
  d->Owner = owner;
  if (TRegion* v = AsRegion(visible)) {
    d->HasVisible = true;
    d->Visible = v->R;
  }
  return d;
}

void orv::SetDCVisibleRegion(HDC dc, HRGN visible) {
  TDc* d = AsDc(dc);
  if (!d) return;
  TRegion* v = AsRegion(visible);
  d->HasVisible = v != nullptr;
  d->Visible = v ? v->R : TRgn();
  d->InvalidateClip();
}

void* orv::GetDCOwner(HDC dc) {
  TDc* d = AsDc(dc);
  return d ? d->Owner : nullptr;
}

orv::TSurface* orv::GetDCSurface(HDC dc) {
  TDc* d = AsDc(dc);
  return d ? d->Surface : nullptr;
}

orv::TSurface* orv::GetBitmapSurface(HBITMAP bitmap) {
  TBitmap* b = AsBitmap(bitmap);
  return b ? &b->Surface : nullptr;
}

void orv::SetScreenSurface(TSurface* surface) { gScreen = surface; }

HDC orv::CreateScreenDC() { return CreateSurfaceDC(&Screen(), {0, 0}, nullptr, true, nullptr); }
