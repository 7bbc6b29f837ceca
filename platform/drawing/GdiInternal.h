// The objects behind the drawing handles and the rasterizer shared by the drawing sources.
// Not for use outside platform/drawing.
#pragma once

#include <pixman.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/drawing/Gdi.h"
#include "platform/drawing/Surface.h"

namespace orv::gdi {

// ---- Regions ----------------------------------------------------------------------------------

// A pixman region with value semantics.
class TRgn {
 public:
  TRgn() { pixman_region32_init(&FR); }
  explicit TRgn(const TRect& r);
  TRgn(const TRgn& other);
  TRgn& operator=(const TRgn& other);
  ~TRgn() { pixman_region32_fini(&FR); }

  pixman_region32_t* Get() { return &FR; }
  const pixman_region32_t* Get() const { return &FR; }
  bool IsEmpty() const;
  TRect Box() const;
  int Type() const;  // NULLREGION, SIMPLEREGION or COMPLEXREGION
  std::vector<TRect> Rects() const;
  void SetRect(const TRect& r);
  void Offset(int dx, int dy);
  void Intersect(const TRgn& other);
  void Intersect(const TRect& r);
  void Union(const TRgn& other);
  void Subtract(const TRgn& other);
  void Xor(const TRgn& other);
  bool Contains(int x, int y) const;
  bool Overlaps(const TRect& r) const;
  bool Equals(const TRgn& other) const;

 private:
  pixman_region32_t FR;
};

// A run of pixels on one row: x0 <= x < x1.
struct TSpan {
  int Y;
  int X0;
  int X1;
};

// Builds a region from spans that may overlap.
TRgn RegionFromSpans(const std::vector<TSpan>& spans);

// Shapes as rows of pixels (integer pixel coordinates, the platform's bounding boxes).
// A filled ellipse inside the box [l, r) x [t, b): one span per row.
void EllipseSpans(const TRect& box, std::vector<TSpan>& out);
// A filled round rectangle with corner ellipses of w x h.
void RoundRectSpans(const TRect& box, int w, int h, std::vector<TSpan>& out);
// A filled polygon set (ALTERNATE or WINDING); spans are disjoint.
void PolygonSpans(const TPoint* points, const int* counts, int polygons, int fillMode,
                  std::vector<TSpan>& out);
// Splits a convex shape of one span per row into its one-pixel boundary and its interior.
void SplitConvexOutline(const std::vector<TSpan>& shape, std::vector<TSpan>& outline,
                        std::vector<TSpan>& interior);

// ---- Objects ----------------------------------------------------------------------------------

enum class TKind : std::uint8_t { Brush, Pen, Font, Bitmap, Region, Palette, DC };

struct TObjectInfo {
  explicit TObjectInfo(TKind kind) : Kind(kind) {}
  virtual ~TObjectInfo() = default;
  TKind Kind;
  const HGDIOBJ__* Handle = nullptr;
  bool Stock = false;
  bool DeletePending = false;
  int Refs = 0;  // selections in DCs and their saved states
};

struct TBrush : HBRUSH__, TObjectInfo {
  TBrush() : TObjectInfo(TKind::Brush) {}
  UINT Style = BS_SOLID;
  COLORREF Color = 0;
  int Hatch = 0;
  int SysColor = -1;    // a system-colour brush follows the table
  bool DCBrush = false;  // the DC brush takes the DC's brush colour
  TSurface Pattern;      // BS_PATTERN: the tile
  bool MonoPattern = false;
};

struct TPen : HPEN__, TObjectInfo {
  TPen() : TObjectInfo(TKind::Pen) {}
  int Style = PS_SOLID;  // with end cap, join and type bits
  int Width = 1;
  COLORREF Color = 0;
  bool Extended = false;
  bool DCPen = false;
  std::vector<DWORD> UserStyle;
};

class TFontInstance;

struct TFont : HFONT__, TObjectInfo {
  TFont() : TObjectInfo(TKind::Font) {}
  LOGFONT Log;
  TFontInstance* Instance = nullptr;  // realized on first use; owned by the font cache
};

struct TDc;

struct TBitmap : HBITMAP__, TObjectInfo {
  TBitmap() : TObjectInfo(TKind::Bitmap) {}
  TSurface Surface;
  int Bpp = 32;  // the depth the bitmap was made with; pixels are always kept as 32 bits
  bool DibSection = false;
  std::vector<RGBQUAD> ColorTable;  // of a device-independent bitmap of 8 bits or fewer
  TDc* SelectedInto = nullptr;
  bool IsMono() const { return Bpp == 1; }
};

struct TRegion : HRGN__, TObjectInfo {
  TRegion() : TObjectInfo(TKind::Region) {}
  TRgn R;
};

struct TPalette : HPALETTE__, TObjectInfo {
  TPalette() : TObjectInfo(TKind::Palette) {}
  std::vector<PALETTEENTRY> Entries;
};

// The state that SaveDC keeps.
struct TDcState {
  TBrush* Brush = nullptr;
  TPen* Pen = nullptr;
  TFont* Font = nullptr;
  TBitmap* Bitmap = nullptr;
  TPalette* Palette = nullptr;
  COLORREF TextColor = 0;
  COLORREF BkColor = 0xFFFFFF;
  COLORREF DCBrushColor = 0xFFFFFF;
  COLORREF DCPenColor = 0;
  int BkMode = OPAQUE;
  int Rop2 = R2_COPYPEN;
  int PolyFillMode = ALTERNATE;
  int StretchMode = BLACKONWHITE;
  int MapMode = MM_TEXT;
  UINT TextAlign = TA_LEFT | TA_TOP;
  int CharExtra = 0;
  int BreakExtra = 0;
  int BreakCount = 0;
  TPoint BrushOrg;
  TPoint WindowOrg;
  TPoint ViewportOrg;
  TPoint CurrentPos;
  bool HasClip = false;
  TRgn Clip;  // device coordinates
};

struct TPathFigure {
  std::vector<TPoint> Points;  // device coordinates
  bool Closed = false;
};

struct TDc : HDC__, TObjectInfo {
  TDc() : TObjectInfo(TKind::DC) {}
  ~TDc() override;
  TDcState S;
  std::vector<TDcState> Saved;
  TSurface* Surface = nullptr;
  TPoint Origin;  // device (0, 0) in surface coordinates
  bool Memory = false;
  bool Screen = false;
  bool HasVisible = false;
  TRgn Visible;  // device coordinates
  void* Owner = nullptr;

  // Paths.
  bool InPath = false;
  bool PathDone = false;
  std::vector<TPathFigure> Path;

  // The clip in surface coordinates, recomputed when something it depends on changes.
  bool ClipDirty = true;
  TRgn ClipSurface;
  std::vector<TRect> ClipRects;
  TRect ClipBoxSurface;

  void InvalidateClip() { ClipDirty = true; }
  void UpdateClip();
  bool IsMonoTarget() const { return S.Bitmap && S.Bitmap->IsMono(); }
  // Logical to surface coordinates.
  int SX(int x) const { return x - S.WindowOrg.X + S.ViewportOrg.X + Origin.X; }
  int SY(int y) const { return y - S.WindowOrg.Y + S.ViewportOrg.Y + Origin.Y; }
  TPoint ToSurface(TPoint p) const { return {SX(p.X), SY(p.Y)}; }
  TRect ToSurface(const TRect& r) const { return {SX(r.Left), SY(r.Top), SX(r.Right), SY(r.Bottom)}; }
  // Logical to device coordinates (device (0, 0) = the DC's origin).
  TPoint ToDevice(TPoint p) const {
    return {p.X - S.WindowOrg.X + S.ViewportOrg.X, p.Y - S.WindowOrg.Y + S.ViewportOrg.Y};
  }
  TPoint ToLogical(TPoint d) const {
    return {d.X + S.WindowOrg.X - S.ViewportOrg.X, d.Y + S.WindowOrg.Y - S.ViewportOrg.Y};
  }
};

// Handle lookup: nullptr when the handle is not a live object of that kind.
TObjectInfo* Lookup(const HGDIOBJ__* handle);
TDc* AsDc(HDC dc);
TBrush* AsBrush(HGDIOBJ h);
TPen* AsPen(HGDIOBJ h);
TFont* AsFont(HGDIOBJ h);
TBitmap* AsBitmap(HGDIOBJ h);
TRegion* AsRegion(HGDIOBJ h);
TPalette* AsPalette(HGDIOBJ h);

void Register(HGDIOBJ__* handle, TObjectInfo* info);
void AddRef(TObjectInfo* info);
void Release(TObjectInfo* info);
void DestroyObject(TObjectInfo* info);  // frees it now, whatever the references

TBrush* StockBrush(int index);
TPen* StockPen(int index);
TFont* StockFont(int index);
TBitmap* StockBitmap();  // the 1 x 1 monochrome bitmap of a new memory DC
TPalette* StockPalette();
void InitDcState(TDcState& s);
void ReleaseDcState(TDcState& s);
void AddRefDcState(TDcState& s);

COLORREF SysColor(int index);
// A COLORREF as the pixel a primitive writes (monochrome targets: black or white).
TPixel SolidPixel(const TDc& dc, COLORREF color);

// ---- Rasterizer -------------------------------------------------------------------------------

// What a primitive paints with: a colour or a brush tile, combined with the destination by a
// ternary raster operation over pattern and destination.
struct TPaint {
  bool None = false;          // hollow: paints nothing
  TPixel Color = 0;           // solid
  const TSurface* Tile = nullptr;  // brush tile (hatch or pattern)
  bool MonoTile = false;      // tile pixels 0 take Fore, others Back
  bool SkipBack = false;      // transparent hatch background
  TPixel Fore = 0;
  TPixel Back = 0;
  int OrgX = 0;  // tile origin in surface coordinates
  int OrgY = 0;
  std::uint8_t Rop = 0xF0;  // ternary code (PATCOPY)
  bool MonoDest = false;
};

// The ternary code of a pen mix (R2_*).
std::uint8_t Rop2ToRop3(int rop2);
// One raster operation on whole 32-bit pixels.
TPixel ApplyRop(std::uint8_t rop, TPixel p, TPixel s, TPixel d);

// A paint from the DC's selected brush (or `brush`), pen colour, or a plain colour.
TPaint BrushPaint(const TDc& dc, const TBrush* brush, std::uint8_t rop);
TPaint ColorPaint(const TDc& dc, COLORREF color, std::uint8_t rop);

// Paints in surface coordinates through the DC's clip.
void PaintRect(TDc& dc, const TRect& rect, const TPaint& paint);
void PaintSpans(TDc& dc, const std::vector<TSpan>& spans, const TPaint& paint);
void PaintRegion(TDc& dc, const TRgn& region, const TPaint& paint);
// Without clipping.
void PaintSpanRaw(TSurface& s, int y, int x0, int x1, const TPaint& paint);

// Strokes a polyline (surface coordinates) with the DC's pen; `closed` joins the last point to
// the first.
void StrokePolyline(TDc& dc, const TPoint* points, int count, bool closed);

// ---- Text -------------------------------------------------------------------------------------

TFontInstance* FontOf(TDc& dc);

}  // namespace orv::gdi
