// Drawing objects: the handle registry, stock objects, brushes, pens, palettes, selection,
// deletion and object queries, and the system-colour table.
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/drawing/GdiInternal.h"

namespace orv::gdi {

namespace {

std::unordered_map<const HGDIOBJ__*, TObjectInfo*>& Registry() {
  static auto* registry = new std::unordered_map<const HGDIOBJ__*, TObjectInfo*>;
  return *registry;
}

// The classic look: the colours of the platform's standard scheme.
constexpr COLORREF kClassicColors[kSysColorCount] = {
    RGB(212, 208, 200),  // COLOR_SCROLLBAR
    RGB(58, 110, 165),   // COLOR_BACKGROUND
    RGB(10, 36, 106),    // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(212, 208, 200),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(212, 208, 200),  // COLOR_ACTIVEBORDER
    RGB(212, 208, 200),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(10, 36, 106),    // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(212, 208, 200),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(212, 208, 200),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),     // COLOR_3DDKSHADOW
    RGB(212, 208, 200),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(181, 181, 181),  // 25 (unused)
    RGB(0, 0, 128),      // COLOR_HOTLIGHT
    RGB(166, 202, 240),  // COLOR_GRADIENTACTIVECAPTION
    RGB(192, 192, 192),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(10, 36, 106),    // COLOR_MENUHILIGHT
    RGB(212, 208, 200),  // COLOR_MENUBAR
};

COLORREF gSysColors[kSysColorCount] = {};
bool gSysColorsSet = false;

void EnsureSysColors() {
  if (gSysColorsSet) return;
  std::copy(std::begin(kClassicColors), std::end(kClassicColors), gSysColors);
  gSysColorsSet = true;
}

template <class T>
T* MakeStock() {
  auto* o = new T;
  Register(o, o);
  o->Stock = true;
  return o;
}

TBrush* MakeStockBrush(UINT style, COLORREF color) {
  TBrush* b = MakeStock<TBrush>();
  b->Style = style;
  b->Color = color;
  return b;
}

TPen* MakeStockPen(int style, COLORREF color) {
  TPen* p = MakeStock<TPen>();
  p->Style = style;
  p->Color = color;
  return p;
}

TFont* MakeStockFont(const char* face, int height, int weight, BYTE pitch) {
  TFont* f = MakeStock<TFont>();
  f->Log.lfHeight = height;
  f->Log.lfWeight = weight;
  f->Log.lfCharSet = DEFAULT_CHARSET;
  f->Log.lfPitchAndFamily = pitch;
  std::strncpy(f->Log.lfFaceName, face, LF_FACESIZE - 1);
  return f;
}

struct TStock {
  TBrush* Brushes[6];
  TPen* Pens[3];
  TFont* Fonts[8];  // indexes 10..17, unused ones null
  TBrush* DCBrush;
  TPen* DCPen;
  TBitmap* MonoBitmap;
  TPalette* Palette;
  TBrush* SysBrushes[kSysColorCount];
};

TStock& Stock() {
  static TStock* stock = [] {
    auto* s = new TStock{};
    s->Brushes[WHITE_BRUSH] = MakeStockBrush(BS_SOLID, RGB(255, 255, 255));
    s->Brushes[LTGRAY_BRUSH] = MakeStockBrush(BS_SOLID, RGB(192, 192, 192));
    s->Brushes[GRAY_BRUSH] = MakeStockBrush(BS_SOLID, RGB(128, 128, 128));
    s->Brushes[DKGRAY_BRUSH] = MakeStockBrush(BS_SOLID, RGB(64, 64, 64));
    s->Brushes[BLACK_BRUSH] = MakeStockBrush(BS_SOLID, RGB(0, 0, 0));
    s->Brushes[NULL_BRUSH] = MakeStockBrush(BS_NULL, 0);
    s->Pens[0] = MakeStockPen(PS_SOLID, RGB(255, 255, 255));
    s->Pens[1] = MakeStockPen(PS_SOLID, RGB(0, 0, 0));
    s->Pens[2] = MakeStockPen(PS_NULL, 0);
    s->Fonts[OEM_FIXED_FONT - 10] = MakeStockFont("Terminal", 12, FW_NORMAL, FIXED_PITCH);
    s->Fonts[ANSI_FIXED_FONT - 10] = MakeStockFont("Courier", 13, FW_NORMAL, FIXED_PITCH);
    s->Fonts[ANSI_VAR_FONT - 10] = MakeStockFont("MS Sans Serif", 13, FW_NORMAL, VARIABLE_PITCH);
    s->Fonts[SYSTEM_FONT - 10] = MakeStockFont("System", 16, FW_BOLD, VARIABLE_PITCH);
    s->Fonts[DEVICE_DEFAULT_FONT - 10] = MakeStockFont("System", 16, FW_BOLD, VARIABLE_PITCH);
    s->Fonts[SYSTEM_FIXED_FONT - 10] = MakeStockFont("Fixedsys", 15, FW_NORMAL, FIXED_PITCH);
    s->Fonts[DEFAULT_GUI_FONT - 10] = MakeStockFont("MS Sans Serif", -11, FW_NORMAL, VARIABLE_PITCH);
    s->DCBrush = MakeStockBrush(BS_SOLID, RGB(255, 255, 255));
    s->DCBrush->DCBrush = true;
    s->DCPen = MakeStockPen(PS_SOLID, 0);
    s->DCPen->DCPen = true;
    s->MonoBitmap = MakeStock<TBitmap>();
    s->MonoBitmap->Bpp = 1;
    s->MonoBitmap->Surface = TSurface(1, 1);
    s->Palette = MakeStock<TPalette>();
    for (int i = 0; i < 20; ++i) s->Palette->Entries.push_back({0, 0, 0, 0});
    for (int i = 0; i < kSysColorCount; ++i) {
      s->SysBrushes[i] = MakeStockBrush(BS_SOLID, 0);
      s->SysBrushes[i]->SysColor = i;
    }
    return s;
  }();
  return *stock;
}

}  // namespace

void Register(HGDIOBJ__* handle, TObjectInfo* info) {
  info->Handle = handle;
  Registry()[handle] = info;
}

TObjectInfo* Lookup(const HGDIOBJ__* handle) {
  if (!handle) return nullptr;
  auto& reg = Registry();
  auto it = reg.find(handle);
  return it == reg.end() ? nullptr : it->second;
}

#define ORV_AS(Func, Type, KindValue, Base)                         \
  Type* Func(HGDIOBJ h) {                                          \
    TObjectInfo* info = Lookup(h);                                 \
    if (!info || info->Kind != TKind::KindValue) return nullptr;   \
    return static_cast<Type*>(static_cast<Base*>(h));              \
  }
ORV_AS(AsBrush, TBrush, Brush, HBRUSH__)
ORV_AS(AsPen, TPen, Pen, HPEN__)
ORV_AS(AsFont, TFont, Font, HFONT__)
ORV_AS(AsBitmap, TBitmap, Bitmap, HBITMAP__)
ORV_AS(AsRegion, TRegion, Region, HRGN__)
ORV_AS(AsPalette, TPalette, Palette, HPALETTE__)
#undef ORV_AS

TDc* AsDc(HDC dc) {
  TObjectInfo* info = Lookup(dc);
  if (!info || info->Kind != TKind::DC) return nullptr;
  return static_cast<TDc*>(dc);
}

void AddRef(TObjectInfo* info) {
  if (info) ++info->Refs;
}

void Release(TObjectInfo* info) {
  if (!info) return;
  if (info->Refs > 0) --info->Refs;
  if (info->Refs == 0 && info->DeletePending && !info->Stock) DestroyObject(info);
}

void DestroyObject(TObjectInfo* info) {
  Registry().erase(info->Handle);
  delete info;
}

TBrush* StockBrush(int index) { return Stock().Brushes[index]; }
TPen* StockPen(int index) { return Stock().Pens[index - WHITE_PEN]; }
TFont* StockFont(int index) { return Stock().Fonts[index - 10]; }
TBitmap* StockBitmap() { return Stock().MonoBitmap; }
TPalette* StockPalette() { return Stock().Palette; }

void InitDcState(TDcState& s) {
  s = TDcState{};
  s.Brush = StockBrush(WHITE_BRUSH);
  s.Pen = StockPen(BLACK_PEN);
  s.Font = StockFont(SYSTEM_FONT);
  s.Palette = StockPalette();
}

void AddRefDcState(TDcState& s) {
  AddRef(s.Brush);
  AddRef(s.Pen);
  AddRef(s.Font);
  AddRef(s.Bitmap);
  AddRef(s.Palette);
}

void ReleaseDcState(TDcState& s) {
  Release(s.Brush);
  Release(s.Pen);
  Release(s.Font);
  Release(s.Bitmap);
  Release(s.Palette);
  s.Brush = nullptr;
  s.Pen = nullptr;
  s.Font = nullptr;
  s.Bitmap = nullptr;
  s.Palette = nullptr;
}

COLORREF SysColor(int index) {
  EnsureSysColors();
  return index >= 0 && index < kSysColorCount ? gSysColors[index] : 0;
}

TPixel SolidPixel(const TDc& dc, COLORREF color) {
  if (dc.IsMonoTarget()) {
    const int sum = GetRValue(color) + GetGValue(color) + GetBValue(color);
    return sum >= 384 ? 0x00FFFFFF : 0;
  }
  return ColorToPixel(color);
}

}  // namespace orv::gdi

using namespace orv;
using namespace orv::gdi;

// ---- System colours ---------------------------------------------------------------------------

DWORD GetSysColor(int index) { return SysColor(index); }

HBRUSH GetSysColorBrush(int index) {
  if (index < 0 || index >= orv::kSysColorCount) return nullptr;
  return Stock().SysBrushes[index];
}

COLORREF ColorToRGB(TColor color) {
  if (color < 0) return SysColor(color & 0xFF);
  return COLORREF(color);
}

void orv::SetSysColorTable(const COLORREF* colors) {
  if (!colors) {
    gSysColorsSet = false;
    EnsureSysColors();
    return;
  }
  std::copy(colors, colors + kSysColorCount, gSysColors);
  gSysColorsSet = true;
}

void orv::SetSysColor(int index, COLORREF color) {
  EnsureSysColors();
  if (index >= 0 && index < kSysColorCount) gSysColors[index] = color;
}

// ---- Creation ---------------------------------------------------------------------------------

HGDIOBJ GetStockObject(int index) {
  TStock& s = Stock();
  if (index >= WHITE_BRUSH && index <= NULL_BRUSH) return s.Brushes[index];
  if (index >= WHITE_PEN && index <= NULL_PEN) return s.Pens[index - WHITE_PEN];
  if (index == DEFAULT_PALETTE) return s.Palette;
  if (index >= OEM_FIXED_FONT && index <= DEFAULT_GUI_FONT) return s.Fonts[index - 10];
  if (index == DC_BRUSH) return s.DCBrush;
  if (index == DC_PEN) return s.DCPen;
  return nullptr;
}

HBRUSH CreateSolidBrush(COLORREF color) {
  auto* b = new TBrush;
  b->Color = color & 0xFFFFFF;
  Register(b, b);
  return b;
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color) {
  if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return nullptr;
  auto* b = new TBrush;
  b->Style = BS_HATCHED;
  b->Hatch = hatch;
  b->Color = color & 0xFFFFFF;
  // The 8 x 8 hatch: 0 pixels are drawn in the brush colour, the others are background.
  b->Pattern = TSurface(8, 8);
  b->MonoPattern = true;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      bool on = false;
      switch (hatch) {
        case HS_HORIZONTAL: on = y == 7; break;
        case HS_VERTICAL: on = x == 7; break;
        case HS_FDIAGONAL: on = x == y; break;
        case HS_BDIAGONAL: on = x + y == 7; break;
        case HS_CROSS: on = x == 7 || y == 7; break;
        case HS_DIAGCROSS: on = x == y || x + y == 7; break;
      }
      b->Pattern.SetPixel(x, y, on ? 0 : 0x00FFFFFF);
    }
  Register(b, b);
  return b;
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
  TBitmap* bm = AsBitmap(bitmap);
  if (!bm || bm->Surface.IsEmpty()) return nullptr;
  auto* b = new TBrush;
  b->Style = BS_PATTERN;
  b->Pattern = bm->Surface.Clone();
  b->MonoPattern = bm->IsMono();
  Register(b, b);
  return b;
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush) {
  if (!brush) return nullptr;
  switch (brush->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(brush->lbColor);
    case BS_HATCHED: return CreateHatchBrush(int(brush->lbHatch), brush->lbColor);
    case BS_PATTERN: return CreatePatternBrush(reinterpret_cast<HBITMAP>(brush->lbHatch));
    case BS_NULL: {
      auto* b = new TBrush;
      b->Style = BS_NULL;
      Register(b, b);
      return b;
    }
    default: return nullptr;
  }
}

HPEN CreatePen(int style, int width, COLORREF color) {
  const int kind = style & PS_STYLE_MASK;
  if (kind > PS_INSIDEFRAME) return nullptr;
  auto* p = new TPen;
  p->Style = kind;
  p->Width = std::max(width, 1);
  p->Color = color & 0xFFFFFF;
  Register(p, p);
  return p;
}

HPEN CreatePenIndirect(const LOGPEN* pen) {
  return pen ? CreatePen(int(pen->lopnStyle), pen->lopnWidth.X, pen->lopnColor) : nullptr;
}

HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD styleCount,
                  const DWORD* styles) {
  if (!brush) return nullptr;
  const int kind = int(style) & PS_STYLE_MASK;
  const bool geometric = (int(style) & PS_TYPE_MASK) == PS_GEOMETRIC;
  if (!geometric && width != 1) return nullptr;
  if (kind == PS_ALTERNATE && geometric) return nullptr;
  if (kind == PS_USERSTYLE && (!styles || styleCount == 0 || styleCount > 16)) return nullptr;
  auto* p = new TPen;
  p->Style = int(style);
  p->Width = std::max<int>(int(width), 1);
  p->Color = brush->lbStyle == BS_NULL ? 0 : brush->lbColor & 0xFFFFFF;
  if (brush->lbStyle == BS_NULL) p->Style = (p->Style & ~PS_STYLE_MASK) | PS_NULL;
  p->Extended = true;
  if (kind == PS_USERSTYLE) p->UserStyle.assign(styles, styles + styleCount);
  Register(p, p);
  return p;
}

HPALETTE CreatePalette(const LOGPALETTE* palette) {
  if (!palette) return nullptr;
  auto* p = new TPalette;
  p->Entries.assign(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
  Register(p, p);
  return p;
}

HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground) {
  TDc* d = AsDc(dc);
  TPalette* p = AsPalette(palette);
  if (!d || !p) return nullptr;
  TPalette* old = d->S.Palette;
  AddRef(p);
  d->S.Palette = p;
  Release(old);
  return old;
}

// The surfaces hold true colour: there is nothing to realize.
UINT RealizePalette(HDC dc) { return 0; }

COLORREF GetNearestColor(HDC dc, COLORREF color) {
  TDc* d = AsDc(dc);
  if (!d) return CLR_INVALID;
  return PixelToColor(SolidPixel(*d, color & 0xFFFFFF));
}

COLORREF SetDCBrushColor(HDC dc, COLORREF color) {
  TDc* d = AsDc(dc);
  if (!d) return CLR_INVALID;
  const COLORREF old = d->S.DCBrushColor;
  d->S.DCBrushColor = color & 0xFFFFFF;
  return old;
}

COLORREF GetDCBrushColor(HDC dc) {
  TDc* d = AsDc(dc);
  return d ? d->S.DCBrushColor : CLR_INVALID;
}

COLORREF SetDCPenColor(HDC dc, COLORREF color) {
  TDc* d = AsDc(dc);
  if (!d) return CLR_INVALID;
  const COLORREF old = d->S.DCPenColor;
  d->S.DCPenColor = color & 0xFFFFFF;
  return old;
}

COLORREF GetDCPenColor(HDC dc) {
  TDc* d = AsDc(dc);
  return d ? d->S.DCPenColor : CLR_INVALID;
}

// ---- Selection, deletion, queries ---------------------------------------------------------------

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  TDc* d = AsDc(dc);
  TObjectInfo* info = Lookup(object);
  if (!d || !info) return nullptr;
  auto swap = [&](auto*& slot, auto* value) -> HGDIOBJ {
    auto* old = slot;
    AddRef(value);
    slot = value;
    Release(old);
    return old;
  };
  switch (info->Kind) {
    case TKind::Brush: return swap(d->S.Brush, AsBrush(object));
    case TKind::Pen: return swap(d->S.Pen, AsPen(object));
    case TKind::Font: return swap(d->S.Font, AsFont(object));
    case TKind::Bitmap: {
      TBitmap* bm = AsBitmap(object);
      if (!d->Memory) return nullptr;
      if (bm == d->S.Bitmap) return bm;
      if (bm->SelectedInto && bm->SelectedInto != d && !bm->Stock) return nullptr;
      TBitmap* old = d->S.Bitmap;
      if (old && old->SelectedInto == d) old->SelectedInto = nullptr;
      if (!bm->Stock) bm->SelectedInto = d;
      AddRef(bm);
      d->S.Bitmap = bm;
      d->Surface = &bm->Surface;
      d->InvalidateClip();
      Release(old);
      return old;
    }
    case TKind::Region: {
      const int type = SelectClipRgn(dc, static_cast<HRGN>(object));
      return reinterpret_cast<HGDIOBJ>(std::intptr_t(type));
    }
    default: return nullptr;
  }
}

BOOL DeleteObject(HGDIOBJ object) {
  TObjectInfo* info = Lookup(object);
  if (!info || info->Kind == TKind::DC) return 0;
  if (info->Stock) return 1;
  if (info->Refs > 0) {
    info->DeletePending = true;
    return 1;
  }
  DestroyObject(info);
  return 1;
}

BOOL UnrealizeObject(HGDIOBJ object) { return Lookup(object) != nullptr; }

DWORD GetObjectType(HGDIOBJ object) {
  TObjectInfo* info = Lookup(object);
  if (!info) return 0;
  switch (info->Kind) {
    case TKind::Brush: return OBJ_BRUSH;
    case TKind::Pen: return AsPen(object)->Extended ? OBJ_EXTPEN : OBJ_PEN;
    case TKind::Font: return OBJ_FONT;
    case TKind::Bitmap: return OBJ_BITMAP;
    case TKind::Region: return OBJ_REGION;
    case TKind::Palette: return OBJ_PAL;
    case TKind::DC: return static_cast<TDc*>(static_cast<HDC__*>(object))->Memory ? OBJ_MEMDC : OBJ_DC;
  }
  return 0;
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
  TDc* d = AsDc(dc);
  if (!d) return nullptr;
  switch (type) {
    case OBJ_BRUSH: return d->S.Brush;
    case OBJ_PEN:
    case OBJ_EXTPEN: return d->S.Pen;
    case OBJ_FONT: return d->S.Font;
    case OBJ_BITMAP: return d->S.Bitmap;
    case OBJ_PAL: return d->S.Palette;
    default: return nullptr;
  }
}

namespace {

template <class T>
int CopyOut(const T& value, int size, void* buffer) {
  if (!buffer) return int(sizeof(T));
  const int n = std::min(size, int(sizeof(T)));
  if (n <= 0) return 0;
  std::memcpy(buffer, &value, std::size_t(n));
  return n;
}

}  // namespace

int GetObject(HGDIOBJ object, int size, void* buffer) {
  TObjectInfo* info = Lookup(object);
  if (!info) return 0;
  switch (info->Kind) {
    case TKind::Brush: {
      const TBrush* b = AsBrush(object);
      LOGBRUSH lb;
      lb.lbStyle = b->Style;
      lb.lbColor = b->SysColor >= 0 ? SysColor(b->SysColor) : b->Color;
      lb.lbHatch = b->Style == BS_HATCHED ? ULONG_PTR(b->Hatch) : 0;
      return CopyOut(lb, size, buffer);
    }
    case TKind::Pen: {
      const TPen* p = AsPen(object);
      if (p->Extended && (!buffer || size >= int(sizeof(EXTLOGPEN)))) {
        EXTLOGPEN e{};
        e.elpPenStyle = DWORD(p->Style);
        e.elpWidth = DWORD(p->Width);
        e.elpBrushStyle = (p->Style & PS_STYLE_MASK) == PS_NULL ? BS_NULL : BS_SOLID;
        e.elpColor = p->Color;
        return CopyOut(e, size, buffer);
      }
      LOGPEN lp;
      lp.lopnStyle = UINT(p->Style & PS_STYLE_MASK);
      lp.lopnWidth = {p->Width, 0};
      lp.lopnColor = p->Color;
      return CopyOut(lp, size, buffer);
    }
    case TKind::Font: return CopyOut(AsFont(object)->Log, size, buffer);
    case TKind::Bitmap: {
      TBitmap* b = AsBitmap(object);
      BITMAP bm{};
      bm.bmWidth = b->Surface.Width();
      bm.bmHeight = b->Surface.Height();
      bm.bmPlanes = 1;
      bm.bmBitsPixel = WORD(b->Bpp);
      if (b->DibSection) {
        bm.bmWidthBytes = bm.bmWidth * 4;
        bm.bmBits = b->Surface.Bits();
      } else {
        bm.bmWidthBytes = ((bm.bmWidth * b->Bpp + 15) / 16) * 2;
      }
      return CopyOut(bm, size, buffer);
    }
    case TKind::Palette: {
      const WORD n = WORD(AsPalette(object)->Entries.size());
      return CopyOut(n, size, buffer);
    }
    default: return 0;
  }
}
