// Bitmaps of 1, 4, 8, 16, 24 and 32 bits per pixel (kept as 32-bit surfaces), device-independent
// bitmap reading and writing (top-down and bottom-up), block transfers with raster operations,
// stretching, transparent and alpha-blended transfers and gradient fills.
//
// Device-independent layout: rows of ((width * bits + 31) / 32) * 4 bytes, bottom row first
// unless the header's height is negative; 1, 4 and 8 bits index the colour table that follows
// the header (biClrUsed entries, or 2^bits when 0); 16 bits are 5-5-5 (blue low); 24 bits are
// blue, green, red; 32 bits are blue, green, red and alpha, copied whole.
// Device-dependent bits (CreateBitmap, GetBitmapBits) use rows of ((width * bits + 15) / 16) * 2
// bytes, top row first.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/drawing/GdiInternal.h"

using namespace orv;
using namespace orv::gdi;

namespace {

constexpr COLORREF kVga[16] = {
    RGB(0, 0, 0),       RGB(128, 0, 0),   RGB(0, 128, 0),   RGB(128, 128, 0),
    RGB(0, 0, 128),     RGB(128, 0, 128), RGB(0, 128, 128), RGB(192, 192, 192),
    RGB(128, 128, 128), RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(255, 255, 0),
    RGB(0, 0, 255),     RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255)};

// The colour table of a depth when the bitmap has none: black and white, the 16 standard
// colours, or those followed by a 6 x 6 x 6 cube and a grey ramp.
std::vector<RGBQUAD> DefaultTable(int bpp) {
  std::vector<RGBQUAD> t;
  auto add = [&](COLORREF c) { t.push_back({GetBValue(c), GetGValue(c), GetRValue(c), 0}); };
  if (bpp == 1) {
    add(0);
    add(0xFFFFFF);
  } else if (bpp == 4) {
    for (COLORREF c : kVga) add(c);
  } else if (bpp == 8) {
    for (COLORREF c : kVga) add(c);
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b) add(RGB(BYTE(r * 51), BYTE(g * 51), BYTE(b * 51)));
    for (int i = 0; i < 24; ++i) add(RGB(BYTE(8 + i * 10), BYTE(8 + i * 10), BYTE(8 + i * 10)));
  }
  return t;
}

int NearestIndex(const std::vector<RGBQUAD>& table, TPixel p) {
  const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
  int best = 0, bestDist = INT32_MAX;
  for (std::size_t i = 0; i < table.size(); ++i) {
    const int dr = table[i].rgbRed - r, dg = table[i].rgbGreen - g, db = table[i].rgbBlue - b;
    const int dist = dr * dr + dg * dg + db * db;
    if (dist < bestDist) {
      bestDist = dist;
      best = int(i);
      if (dist == 0) break;
    }
  }
  return best;
}

TPixel MonoPixel(TPixel p) {
  const int sum = int((p >> 16) & 0xFF) + int((p >> 8) & 0xFF) + int(p & 0xFF);
  return sum >= 384 ? 0x00FFFFFF : 0;
}

TPixel QuadPixel(const RGBQUAD& q) { return MakePixel(q.rgbRed, q.rgbGreen, q.rgbBlue); }

TPixel ReadPacked(const BYTE* row, int x, int bpp, const std::vector<RGBQUAD>& table) {
  switch (bpp) {
    case 32: {
      TPixel p;
      std::memcpy(&p, row + x * 4, 4);
      return p;
    }
    case 24: return MakePixel(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
    case 16: {
      const int v = row[x * 2] | (row[x * 2 + 1] << 8);
      const int r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
      return MakePixel((r << 3) | (r >> 2), (g << 3) | (g >> 2), (b << 3) | (b >> 2));
    }
    default: {
      const int perByte = 8 / bpp;
      const int shift = 8 - bpp * (x % perByte + 1);
      const int index = (row[x / perByte] >> shift) & ((1 << bpp) - 1);
      return std::size_t(index) < table.size() ? QuadPixel(table[std::size_t(index)]) : 0;
    }
  }
}

void WritePacked(BYTE* row, int x, int bpp, TPixel p, const std::vector<RGBQUAD>& table) {
  switch (bpp) {
    case 32: std::memcpy(row + x * 4, &p, 4); return;
    case 24:
      row[x * 3] = BYTE(p);
      row[x * 3 + 1] = BYTE(p >> 8);
      row[x * 3 + 2] = BYTE(p >> 16);
      return;
    case 16: {
      const int v = (((p >> 19) & 31) << 10) | (((p >> 11) & 31) << 5) | ((p >> 3) & 31);
      row[x * 2] = BYTE(v);
      row[x * 2 + 1] = BYTE(v >> 8);
      return;
    }
    default: {
      const int perByte = 8 / bpp;
      const int shift = 8 - bpp * (x % perByte + 1);
      const int mask = ((1 << bpp) - 1) << shift;
      const int index = NearestIndex(table, p);
      row[x / perByte] = BYTE((row[x / perByte] & ~mask) | ((index << shift) & mask));
      return;
    }
  }
}

bool ValidDepth(int bpp) {
  return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
}

int DibStride(int width, int bpp) { return ((width * bpp + 31) / 32) * 4; }
int DdbStride(int width, int bpp) { return ((width * bpp + 15) / 16) * 2; }

std::vector<RGBQUAD> InfoTable(const BITMAPINFO* info) {
  const int bpp = info->bmiHeader.biBitCount;
  if (bpp > 8) return {};
  std::size_t n = info->bmiHeader.biClrUsed ? info->bmiHeader.biClrUsed : (1u << bpp);
  n = std::min<std::size_t>(n, std::size_t(1) << bpp);
  return {info->bmiColors, info->bmiColors + n};
}

HBITMAP NewBitmap(int width, int height, int bpp) {
  auto* b = new TBitmap;
  b->Bpp = bpp;
  b->Surface = TSurface(width, height);
  Register(b, b);
  return b;
}

// Conversions between monochrome and colour in a transfer: a colour source becomes white where
// it has the source DC's background colour and black elsewhere; a monochrome source takes the
// destination DC's text colour for black and background colour for white.
struct TConvert {
  bool ToMono = false;
  bool FromMono = false;
  TPixel SourceBk = 0;
  TPixel Fore = 0;
  TPixel Back = 0;
};

TConvert MakeConvert(const TDc& dest, const TDc* source) {
  TConvert c;
  if (!source) return c;
  const bool srcMono = source->IsMonoTarget(), dstMono = dest.IsMonoTarget();
  if (dstMono && !srcMono) {
    c.ToMono = true;
    c.SourceBk = ColorToPixel(source->S.BkColor) & 0x00FFFFFF;
  } else if (srcMono && !dstMono) {
    c.FromMono = true;
    c.Fore = ColorToPixel(dest.S.TextColor);
    c.Back = ColorToPixel(dest.S.BkColor);
  }
  return c;
}

bool UsesSource(std::uint8_t rop) { return ((rop >> 2) & 0x33) != (rop & 0x33); }
bool UsesPattern(std::uint8_t rop) { return ((rop >> 4) & 0x0F) != (rop & 0x0F); }

int Mod(int a, int m) {
  const int r = a % m;
  return r < 0 ? r + m : r;
}

TPixel PatternAt(const TPaint& p, int x, int y) {
  if (p.None) return 0;
  if (!p.Tile) return p.Color;
  const TPixel t = p.Tile->Pixel(Mod(x - p.OrgX, p.Tile->Width()), Mod(y - p.OrgY, p.Tile->Height()));
  if (p.MonoTile) return (t & 0x00FFFFFF) == 0 ? p.Fore : p.Back;
  return t & 0x00FFFFFF;
}

// Copies src (surface coordinates srcX, srcY at dest.Left, dest.Top) into the DC through its
// clip, with a raster operation and the monochrome conversions.
void Transfer(TDc& d, const TRect& dest, const TSurface& src, int srcX, int srcY,
              std::uint8_t rop, const TConvert& conv) {
  if (!d.Surface) return;
  const int offX = srcX - dest.Left, offY = srcY - dest.Top;
  // Only where the source has pixels.
  const TRect valid{std::max(dest.Left, -offX), std::max(dest.Top, -offY),
                    std::min(dest.Right, src.Width() - offX), std::min(dest.Bottom, src.Height() - offY)};
  if (valid.Left >= valid.Right || valid.Top >= valid.Bottom) return;
  const bool plainCopy = rop == 0xCC && !conv.ToMono && !conv.FromMono;
  const TPaint pattern = UsesPattern(rop) ? BrushPaint(d, d.S.Brush, rop) : TPaint{};
  const bool monoDest = d.IsMonoTarget();
  d.UpdateClip();
  for (const TRect& c : d.ClipRects) {
    const int l = std::max(valid.Left, c.Left), r = std::min(valid.Right, c.Right);
    const int t = std::max(valid.Top, c.Top), b = std::min(valid.Bottom, c.Bottom);
    if (l >= r || t >= b) continue;
    for (int y = t; y < b; ++y) {
      TPixel* out = d.Surface->Row(y);
      const TPixel* in = src.Row(y + offY) + offX;
      if (plainCopy) {
        std::memmove(out + l, in + l, std::size_t(r - l) * sizeof(TPixel));
        continue;
      }
      for (int x = l; x < r; ++x) {
        TPixel s = in[x];
        if (conv.ToMono) s = (s & 0x00FFFFFF) == conv.SourceBk ? 0x00FFFFFF : 0;
        else if (conv.FromMono) s = (s & 0x00FFFFFF) == 0 ? conv.Fore : conv.Back;
        const TPixel p = UsesPattern(rop) ? PatternAt(pattern, x, y) : 0;
        TPixel v = ApplyRop(rop, p, s, out[x]);
        if (monoDest) v = MonoPixel(v);
        out[x] = v;
      }
    }
  }
}

// The source area as its own surface when source and destination share pixels.
const TSurface* Detach(const TDc& d, const TSurface* src, int& srcX, int& srcY, int w, int h,
                       TSurface& holder) {
  if (src != d.Surface) return src;
  holder = TSurface(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int sx = srcX + x, sy = srcY + y;
      if (sx >= 0 && sy >= 0 && sx < src->Width() && sy < src->Height())
        holder.SetPixel(x, y, src->Pixel(sx, sy));
    }
  srcX = 0;
  srcY = 0;
  return &holder;
}

// Resamples the source rectangle (which may be mirrored by negative sizes) to w x h.
TSurface Stretch(const TSurface& src, int sx, int sy, int sw, int sh, int w, int h, bool flipX,
                 bool flipY, bool halftone) {
  TSurface out(w, h);
  if (src.IsEmpty()) return out;
  auto clampX = [&](int x) { return std::clamp(x, 0, src.Width() - 1); };
  auto clampY = [&](int y) { return std::clamp(y, 0, src.Height() - 1); };
  for (int j = 0; j < h; ++j) {
    const int jj = flipY ? h - 1 - j : j;
    const int y0 = int(std::int64_t(jj) * sh / h);
    const int y1 = halftone ? std::max(y0 + 1, int(std::int64_t(jj + 1) * sh / h))
                            : y0 + 1;
    const int yc = int((2 * std::int64_t(jj) + 1) * sh / (2 * std::int64_t(h)));
    for (int i = 0; i < w; ++i) {
      const int ii = flipX ? w - 1 - i : i;
      if (!halftone) {
        const int xc = int((2 * std::int64_t(ii) + 1) * sw / (2 * std::int64_t(w)));
        out.SetPixel(i, j, src.Pixel(clampX(sx + xc), clampY(sy + yc)));
        continue;
      }
      const int x0 = int(std::int64_t(ii) * sw / w);
      const int x1 = std::max(x0 + 1, int(std::int64_t(ii + 1) * sw / w));
      std::uint64_t sum[4] = {0, 0, 0, 0};
      int n = 0;
      for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
          const TPixel p = src.Pixel(clampX(sx + x), clampY(sy + y));
          for (int k = 0; k < 4; ++k) sum[k] += (p >> (8 * k)) & 0xFF;
          ++n;
        }
      TPixel p = 0;
      for (int k = 0; k < 4; ++k) p |= TPixel((sum[k] + std::uint64_t(n) / 2) / std::uint64_t(n)) << (8 * k);
      out.SetPixel(i, j, p);
    }
  }
  return out;
}

// Decodes `lines` rows of a device-independent bitmap starting at scan `start` into a surface
// of the whole bitmap (rows not given stay 0). Returns false for a layout we cannot read.
bool DecodeDib(const BITMAPINFO* info, const void* bits, int start, int lines, TSurface& out,
               int& decoded) {
  const BITMAPINFOHEADER& h = info->bmiHeader;
  const int bpp = h.biBitCount;
  if (!ValidDepth(bpp) || h.biWidth <= 0 || h.biHeight == 0) return false;
  if (h.biCompression != BI_RGB && !(h.biCompression == BI_BITFIELDS && bpp == 32)) return false;
  const int width = h.biWidth, height = std::abs(h.biHeight);
  const bool bottomUp = h.biHeight > 0;
  out = TSurface(width, height);
  const std::vector<RGBQUAD> table = InfoTable(info);
  const int stride = DibStride(width, bpp);
  decoded = 0;
  for (int k = 0; k < lines; ++k) {
    const int scan = start + k;
    if (scan < 0 || scan >= height) continue;
    const int y = bottomUp ? height - 1 - scan : scan;
    const BYTE* row = static_cast<const BYTE*>(bits) + std::size_t(k) * std::size_t(stride);
    TPixel* dst = out.Row(y);
    for (int x = 0; x < width; ++x) dst[x] = ReadPacked(row, x, bpp, table);
    ++decoded;
  }
  return true;
}

}  // namespace

// ---- Creation ---------------------------------------------------------------------------------

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (width < 0 || height < 0 || planes != 1) return nullptr;
  if (width == 0 || height == 0) return StockBitmap();
  const int bpp = int(bitsPerPixel);
  if (!ValidDepth(bpp)) return nullptr;
  HBITMAP h = NewBitmap(width, height, bpp);
  if (bits) SetBitmapBits(h, DWORD(DdbStride(width, bpp) * height), bits);
  return h;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
  TDc* d = AsDc(dc);
  if (!d || width < 0 || height < 0) return nullptr;
  if (width == 0 || height == 0) return StockBitmap();
  // A memory DC makes bitmaps like the one selected into it (a new DC holds a monochrome one).
  const int bpp = d->Memory && d->S.Bitmap ? d->S.Bitmap->Bpp : 32;
  return NewBitmap(width, height, bpp);
}

HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage) {
  if (!header || header->biWidth < 0) return nullptr;
  HBITMAP h = CreateCompatibleBitmap(dc, header->biWidth, std::abs(header->biHeight));
  if (!h) return nullptr;
  if ((init & CBM_INIT) && bits && info)
    SetDIBits(dc, h, 0, UINT(std::abs(info->bmiHeader.biHeight)), bits, info, usage);
  return h;
}

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset) {
  if (bits) *bits = nullptr;
  if (!info || usage != DIB_RGB_COLORS || section) return nullptr;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biBitCount != 32 || h.biWidth <= 0 || h.biHeight == 0) return nullptr;
  if (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS) return nullptr;
  auto* b = new TBitmap;
  b->Bpp = 32;
  b->DibSection = true;
  b->Surface = TSurface(h.biWidth, std::abs(h.biHeight), h.biHeight > 0);
  Register(b, b);
  if (bits) *bits = b->Surface.Bits();
  return b;
}

LONG GetBitmapBits(HBITMAP bitmap, LONG size, void* bits) {
  TBitmap* b = AsBitmap(bitmap);
  if (!b) return 0;
  const int w = b->Surface.Width(), h = b->Surface.Height(), stride = DdbStride(w, b->Bpp);
  const LONG total = LONG(stride) * h;
  if (!bits) return total;
  const std::vector<RGBQUAD> table = DefaultTable(b->Bpp);
  auto* out = static_cast<BYTE*>(bits);
  const int rows = std::min(h, int(size / std::max(stride, 1)));
  std::memset(out, 0, std::size_t(rows) * std::size_t(stride));
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < w; ++x)
      WritePacked(out + std::size_t(y) * std::size_t(stride), x, b->Bpp, b->Surface.Pixel(x, y), table);
  return LONG(rows) * stride;
}

LONG SetBitmapBits(HBITMAP bitmap, DWORD size, const void* bits) {
  TBitmap* b = AsBitmap(bitmap);
  if (!b || !bits || b->Stock) return 0;
  const int w = b->Surface.Width(), h = b->Surface.Height(), stride = DdbStride(w, b->Bpp);
  const std::vector<RGBQUAD> table = DefaultTable(b->Bpp);
  const int rows = std::min(h, int(size / DWORD(std::max(stride, 1))));
  const auto* in = static_cast<const BYTE*>(bits);
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < w; ++x)
      b->Surface.SetPixel(x, y, ReadPacked(in + std::size_t(y) * std::size_t(stride), x, b->Bpp, table));
  return LONG(rows) * stride;
}

// ---- Device-independent bits ------------------------------------------------------------------

int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info,
              UINT usage) {
  TBitmap* b = AsBitmap(bitmap);
  if (!AsDc(dc) || !b || !info || usage != DIB_RGB_COLORS) return 0;
  BITMAPINFOHEADER& h = info->bmiHeader;
  const int bw = b->Surface.Width(), bh = b->Surface.Height();
  if (h.biBitCount == 0) {
    // Describe the bitmap.
    h.biWidth = bw;
    h.biHeight = bh;
    h.biPlanes = 1;
    h.biBitCount = WORD(b->Bpp);
    h.biCompression = BI_RGB;
    h.biSizeImage = DWORD(DibStride(bw, b->Bpp) * bh);
    return bh > 0 ? 1 : 0;
  }
  const int bpp = h.biBitCount;
  if (!ValidDepth(bpp) || h.biWidth <= 0 || h.biHeight == 0) return 0;
  std::vector<RGBQUAD> table;
  if (bpp <= 8) {
    table = int(b->ColorTable.size()) == (1 << bpp) ? b->ColorTable : DefaultTable(bpp);
    std::copy(table.begin(), table.end(), info->bmiColors);
    h.biClrUsed = 0;
  }
  const int width = h.biWidth, height = std::abs(h.biHeight);
  const int stride = DibStride(width, bpp);
  h.biSizeImage = DWORD(stride * height);
  if (h.biCompression != BI_RGB && !(h.biCompression == BI_BITFIELDS && bpp == 32)) return 0;
  if (!bits) return int(std::min<UINT>(lines, UINT(height)));
  const bool bottomUp = h.biHeight > 0;
  int copied = 0;
  for (UINT k = 0; k < lines; ++k) {
    const int scan = int(start + k);
    if (scan >= height) break;
    BYTE* row = static_cast<BYTE*>(bits) + std::size_t(k) * std::size_t(stride);
    std::memset(row, 0, std::size_t(stride));
    const int y = bottomUp ? height - 1 - scan : scan;
    if (y < bh) {
      const int n = std::min(width, bw);
      for (int x = 0; x < n; ++x) WritePacked(row, x, bpp, b->Surface.Pixel(x, y), table);
    }
    ++copied;
  }
  return copied;
}

int SetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, const void* bits,
              const BITMAPINFO* info, UINT usage) {
  TBitmap* b = AsBitmap(bitmap);
  if (!b || b->Stock || !bits || !info || usage != DIB_RGB_COLORS) return 0;
  TSurface pixels;
  int decoded = 0;
  if (!DecodeDib(info, bits, int(start), int(lines), pixels, decoded)) return 0;
  // Rows outside the given scans keep the bitmap's pixels.
  const BITMAPINFOHEADER& h = info->bmiHeader;
  const int height = std::abs(h.biHeight);
  const bool bottomUp = h.biHeight > 0;
  for (UINT k = 0; k < lines; ++k) {
    const int scan = int(start + k);
    if (scan >= height) break;
    const int y = bottomUp ? height - 1 - scan : scan;
    if (y >= b->Surface.Height()) continue;
    const int n = std::min(b->Surface.Width(), pixels.Width());
    for (int x = 0; x < n; ++x) {
      TPixel p = pixels.Pixel(x, y);
      if (b->IsMono()) p = MonoPixel(p);
      b->Surface.SetPixel(x, y, p);
    }
  }
  if (h.biBitCount <= 8 && h.biBitCount == b->Bpp) b->ColorTable = InfoTable(info);
  return decoded;
}

namespace {

// The top row (in top-down terms) of a source rectangle given by its platform y coordinate,
// which counts from the bottom for a bottom-up bitmap.
int SourceTop(const BITMAPINFOHEADER& h, int srcY, int height) {
  return h.biHeight > 0 ? std::abs(h.biHeight) - (srcY + height) : srcY;
}

}  // namespace

int SetDIBitsToDevice(HDC dc, int x, int y, DWORD width, DWORD height, int srcX, int srcY,
                      UINT startScan, UINT lines, const void* bits, const BITMAPINFO* info,
                      UINT usage) {
  TDc* d = AsDc(dc);
  if (!d || !bits || !info || usage != DIB_RGB_COLORS) return 0;
  TSurface pixels;
  int decoded = 0;
  if (!DecodeDib(info, bits, int(startScan), int(lines), pixels, decoded)) return 0;
  const int top = SourceTop(info->bmiHeader, srcY, int(height));
  const TPoint p = d->ToSurface(TPoint{x, y});
  Transfer(*d, {p.X, p.Y, p.X + int(width), p.Y + int(height)}, pixels, srcX, top, 0xCC, {});
  return decoded;
}

int StretchDIBits(HDC dc, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage,
                  DWORD rop) {
  TDc* d = AsDc(dc);
  if (!d || !bits || !info || usage != DIB_RGB_COLORS || width == 0 || height == 0) return 0;
  TSurface pixels;
  int decoded = 0;
  const int rows = std::abs(info->bmiHeader.biHeight);
  if (!DecodeDib(info, bits, 0, rows, pixels, decoded)) return 0;
  const int sh = std::abs(srcHeight), sw = std::abs(srcWidth);
  const int top = SourceTop(info->bmiHeader, srcHeight < 0 ? srcY + srcHeight : srcY, sh);
  const int left = srcWidth < 0 ? srcX + srcWidth : srcX;
  const bool flipX = (width < 0) != (srcWidth < 0), flipY = (height < 0) != (srcHeight < 0);
  const int w = std::abs(width), h = std::abs(height);
  TSurface scaled = Stretch(pixels, left, top, std::max(sw, 1), std::max(sh, 1), w, h, flipX,
                            flipY, d->S.StretchMode == HALFTONE);
  const TPoint p = d->ToSurface(TPoint{std::min(x, x + width), std::min(y, y + height)});
  Transfer(*d, {p.X, p.Y, p.X + w, p.Y + h}, scaled, 0, 0, std::uint8_t(rop >> 16), {});
  return rows;
}

// ---- Transfers --------------------------------------------------------------------------------

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int srcX, int srcY,
            DWORD rop) {
  TDc* d = AsDc(dest);
  if (!d) return 0;
  const std::uint8_t code = std::uint8_t(rop >> 16);
  if (!UsesSource(code)) return PatBlt(dest, x, y, width, height, rop);
  TDc* s = AsDc(source);
  if (!s || !s->Surface) return 0;
  if (width <= 0 || height <= 0) return 1;
  const TPoint dp = d->ToSurface(TPoint{x, y});
  TPoint sp = s->ToSurface(TPoint{srcX, srcY});
  TSurface holder;
  const TSurface* src = Detach(*d, s->Surface, sp.X, sp.Y, width, height, holder);
  Transfer(*d, {dp.X, dp.Y, dp.X + width, dp.Y + height}, *src, sp.X, sp.Y, code,
           MakeConvert(*d, s));
  return 1;
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int srcX, int srcY,
                int srcWidth, int srcHeight, DWORD rop) {
  TDc* d = AsDc(dest);
  if (!d) return 0;
  const std::uint8_t code = std::uint8_t(rop >> 16);
  if (!UsesSource(code)) return PatBlt(dest, x, y, width, height, rop);
  if (width == srcWidth && height == srcHeight && width > 0 && height > 0)
    return BitBlt(dest, x, y, width, height, source, srcX, srcY, rop);
  TDc* s = AsDc(source);
  if (!s || !s->Surface || srcWidth == 0 || srcHeight == 0) return 0;
  if (width == 0 || height == 0) return 1;
  const bool flipX = (width < 0) != (srcWidth < 0), flipY = (height < 0) != (srcHeight < 0);
  const int w = std::abs(width), h = std::abs(height);
  const TPoint sp = s->ToSurface(TPoint{std::min(srcX, srcX + srcWidth), std::min(srcY, srcY + srcHeight)});
  TSurface scaled = Stretch(*s->Surface, sp.X, sp.Y, std::abs(srcWidth), std::abs(srcHeight), w, h,
                            flipX, flipY, d->S.StretchMode == HALFTONE);
  const TPoint dp = d->ToSurface(TPoint{std::min(x, x + width), std::min(y, y + height)});
  Transfer(*d, {dp.X, dp.Y, dp.X + w, dp.Y + h}, scaled, 0, 0, code, MakeConvert(*d, s));
  return 1;
}

BOOL TransparentBlt(HDC dest, int x, int y, int width, int height, HDC source, int srcX,
                    int srcY, int srcWidth, int srcHeight, UINT transparent) {
  TDc* d = AsDc(dest);
  TDc* s = AsDc(source);
  if (!d || !s || !s->Surface || width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0)
    return 0;
  const TPoint sp = s->ToSurface(TPoint{srcX, srcY});
  TSurface scaled = Stretch(*s->Surface, sp.X, sp.Y, srcWidth, srcHeight, width, height, false,
                            false, false);
  const TPixel key = ColorToPixel(transparent & 0xFFFFFF);
  const TPoint dp = d->ToSurface(TPoint{x, y});
  d->UpdateClip();
  for (const TRect& c : d->ClipRects) {
    const int l = std::max(dp.X, c.Left), r = std::min(dp.X + width, c.Right);
    const int t = std::max(dp.Y, c.Top), b = std::min(dp.Y + height, c.Bottom);
    for (int yy = t; yy < b; ++yy)
      for (int xx = l; xx < r; ++xx) {
        const TPixel p = scaled.Pixel(xx - dp.X, yy - dp.Y);
        if ((p & 0x00FFFFFF) != key) d->Surface->SetPixel(xx, yy, p);
      }
  }
  return 1;
}

BOOL AlphaBlend(HDC dest, int x, int y, int width, int height, HDC source, int srcX, int srcY,
                int srcWidth, int srcHeight, BLENDFUNCTION blend) {
  TDc* d = AsDc(dest);
  TDc* s = AsDc(source);
  if (!d || !s || !s->Surface || !d->Surface) return 0;
  if (width < 0 || height < 0 || srcWidth < 0 || srcHeight < 0 || blend.BlendOp != AC_SRC_OVER)
    return 0;
  if (width == 0 || height == 0 || srcWidth == 0 || srcHeight == 0) return 1;
  TPoint sp = s->ToSurface(TPoint{srcX, srcY});
  if (sp.X < 0 || sp.Y < 0 || sp.X + srcWidth > s->Surface->Width() ||
      sp.Y + srcHeight > s->Surface->Height())
    return 0;
  TSurface holder;
  const TSurface* src = s->Surface;
  if (srcWidth != width || srcHeight != height) {
    holder = Stretch(*s->Surface, sp.X, sp.Y, srcWidth, srcHeight, width, height, false, false, false);
    src = &holder;
    sp = {0, 0};
  } else {
    src = Detach(*d, s->Surface, sp.X, sp.Y, width, height, holder);
  }
  const double k = blend.SourceConstantAlpha / 255.0;
  const bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
  const TPoint dp = d->ToSurface(TPoint{x, y});
  auto channel = [](double v) { return TPixel(std::clamp<long>(std::lround(v), 0, 255)); };
  d->UpdateClip();
  for (const TRect& c : d->ClipRects) {
    const int l = std::max(dp.X, c.Left), r = std::min(dp.X + width, c.Right);
    const int t = std::max(dp.Y, c.Top), b = std::min(dp.Y + height, c.Bottom);
    for (int yy = t; yy < b; ++yy) {
      TPixel* out = d->Surface->Row(yy);
      const TPixel* in = src->Row(yy - dp.Y + sp.Y) + sp.X - dp.X;
      for (int xx = l; xx < r; ++xx) {
        const TPixel sv = in[xx], dv = out[xx];
        // Source-over with premultiplied source colours, scaled by the constant alpha.
        const double sa = perPixel ? k * double(sv >> 24) : k * 255.0;
        const double keep = 1.0 - sa / 255.0;
        TPixel v = 0;
        for (int ch = 0; ch < 3; ++ch) {
          const double sc = double((sv >> (8 * ch)) & 0xFF), dc = double((dv >> (8 * ch)) & 0xFF);
          v |= channel(k * sc + keep * dc) << (8 * ch);
        }
        const double da = double(dv >> 24);
        const double na = perPixel ? sa + keep * da : k * double(sv >> 24) + (1 - k) * da;
        v |= channel(na) << 24;
        out[xx] = v;
      }
    }
  }
  return 1;
}

BOOL GradientFill(HDC dc, const TRIVERTEX* vertices, ULONG vertexCount, const void* mesh,
                  ULONG meshCount, ULONG mode) {
  TDc* d = AsDc(dc);
  if (!d || !vertices || !mesh || !d->Surface) return 0;
  auto pixelOf = [](std::int64_t r, std::int64_t g, std::int64_t b, std::int64_t a) {
    return MakePixel(int(r >> 8), int(g >> 8), int(b >> 8), int(a >> 8));
  };
  if (mode == GRADIENT_FILL_RECT_H || mode == GRADIENT_FILL_RECT_V) {
    const auto* rects = static_cast<const GRADIENT_RECT*>(mesh);
    for (ULONG i = 0; i < meshCount; ++i) {
      if (rects[i].UpperLeft >= vertexCount || rects[i].LowerRight >= vertexCount) return 0;
      TRIVERTEX a = vertices[rects[i].UpperLeft], b = vertices[rects[i].LowerRight];
      const bool horizontal = mode == GRADIENT_FILL_RECT_H;
      if (horizontal ? a.x > b.x : a.y > b.y) std::swap(a, b);
      const TPoint p0 = d->ToSurface(TPoint{std::min(a.x, b.x), std::min(a.y, b.y)});
      const TPoint p1 = d->ToSurface(TPoint{std::max(a.x, b.x), std::max(a.y, b.y)});
      const int n = horizontal ? p1.X - p0.X : p1.Y - p0.Y;
      if (n <= 0 || p1.X <= p0.X || p1.Y <= p0.Y) continue;
      for (int k = 0; k < n; ++k) {
        auto lerp = [&](COLOR16 c0, COLOR16 c1) {
          return std::int64_t(c0) + (std::int64_t(c1) - c0) * k / n;
        };
        TPaint paint;
        paint.Color = pixelOf(lerp(a.Red, b.Red), lerp(a.Green, b.Green), lerp(a.Blue, b.Blue),
                              lerp(a.Alpha, b.Alpha));
        paint.MonoDest = d->IsMonoTarget();
        if (paint.MonoDest) paint.Color = MonoPixel(paint.Color);
        const TRect band = horizontal ? TRect{p0.X + k, p0.Y, p0.X + k + 1, p1.Y}
                                      : TRect{p0.X, p0.Y + k, p1.X, p0.Y + k + 1};
        PaintRect(*d, band, paint);
      }
    }
    return 1;
  }
  if (mode == GRADIENT_FILL_TRIANGLE) {
    const auto* tris = static_cast<const GRADIENT_TRIANGLE*>(mesh);
    for (ULONG i = 0; i < meshCount; ++i) {
      const ULONG idx[3] = {tris[i].Vertex1, tris[i].Vertex2, tris[i].Vertex3};
      if (idx[0] >= vertexCount || idx[1] >= vertexCount || idx[2] >= vertexCount) return 0;
      const TRIVERTEX& v0 = vertices[idx[0]];
      const TRIVERTEX& v1 = vertices[idx[1]];
      const TRIVERTEX& v2 = vertices[idx[2]];
      TPoint pts[3] = {d->ToSurface(TPoint{v0.x, v0.y}), d->ToSurface(TPoint{v1.x, v1.y}),
                       d->ToSurface(TPoint{v2.x, v2.y})};
      const double den = double(pts[1].Y - pts[2].Y) * (pts[0].X - pts[2].X) +
                         double(pts[2].X - pts[1].X) * (pts[0].Y - pts[2].Y);
      if (den == 0) continue;
      std::vector<TSpan> spans;
      const int three = 3;
      PolygonSpans(pts, &three, 1, ALTERNATE, spans);
      std::vector<TSpan> one(1);
      for (const TSpan& s : spans)
        for (int x = s.X0; x < s.X1; ++x) {
          const double w0 = (double(pts[1].Y - pts[2].Y) * (x - pts[2].X) +
                             double(pts[2].X - pts[1].X) * (s.Y - pts[2].Y)) / den;
          const double w1 = (double(pts[2].Y - pts[0].Y) * (x - pts[2].X) +
                             double(pts[0].X - pts[2].X) * (s.Y - pts[2].Y)) / den;
          const double w2 = 1 - w0 - w1;
          auto mix = [&](COLOR16 a, COLOR16 b, COLOR16 c) {
            return std::int64_t(std::clamp(w0 * a + w1 * b + w2 * c, 0.0, 65535.0));
          };
          TPaint paint;
          paint.Color = pixelOf(mix(v0.Red, v1.Red, v2.Red), mix(v0.Green, v1.Green, v2.Green),
                                mix(v0.Blue, v1.Blue, v2.Blue), mix(v0.Alpha, v1.Alpha, v2.Alpha));
          one[0] = {s.Y, x, x + 1};
          PaintSpans(*d, one, paint);
        }
    }
    return 1;
  }
  return 0;
}
