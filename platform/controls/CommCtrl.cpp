#include "platform/controls/CommCtrl.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <unordered_set>
#include <vector>

#include "platform/controls/Graphics.h"
#include "platform/drawing/Gdi.h"
#include "platform/drawing/Surface.h"
#include "platform/runtime/Streams.h"

struct HIMAGELIST__ {
  int Cx = 16;
  int Cy = 16;
  UINT Flags = 0;
  int Count = 0;
  int Grow = 4;
  COLORREF Bk = CLR_NONE;
  HBITMAP Image = nullptr;  // 32-bit, kPerRow images across
  HBITMAP Mask = nullptr;   // 1-bit, same layout (ILC_MASK only)
  int Rows = 0;             // rows the strips hold
};

namespace {

using orv::TPixel;
using orv::TSurface;

constexpr int kPerRow = 4;
constexpr TPixel kWhite = 0x00FFFFFF;

std::unordered_set<HIMAGELIST>& Lists() {
  static std::unordered_set<HIMAGELIST> lists;
  return lists;
}

HIMAGELIST__* AsList(HIMAGELIST list) { return list && Lists().count(list) ? list : nullptr; }

bool HasMask(const HIMAGELIST__* l) { return (l->Flags & ILC_MASK) != 0; }
bool Is32(const HIMAGELIST__* l) { return (l->Flags & 0xFE) == ILC_COLOR32; }

TRect Cell(const HIMAGELIST__* l, int index) {
  const int x = (index % kPerRow) * l->Cx, y = (index / kPerRow) * l->Cy;
  return {x, y, x + l->Cx, y + l->Cy};
}

HBITMAP NewStrip(int width, int height, bool mono) {
  if (mono) return CreateBitmap(std::max(width, 1), std::max(height, 1), 1, 1, nullptr);
  BITMAPINFO info{};
  info.bmiHeader.biWidth = std::max(width, 1);
  info.bmiHeader.biHeight = std::max(height, 1);
  info.bmiHeader.biBitCount = 32;
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
}

// Makes the strips hold at least `count` images, keeping the images they hold.
void Reserve(HIMAGELIST__* l, int count) {
  const int rows = std::max(1, (count + kPerRow - 1) / kPerRow);
  if (rows <= l->Rows && l->Image) return;
  const int newRows = std::max(rows, l->Rows + std::max(1, l->Grow / kPerRow));
  const int w = l->Cx * kPerRow, h = l->Cy * newRows;
  auto grow = [&](HBITMAP old, bool mono) {
    HBITMAP strip = NewStrip(w, h, mono);
    if (old) {
      const TSurface* from = orv::GetBitmapSurface(old);
      TSurface* to = orv::GetBitmapSurface(strip);
      for (int y = 0; y < std::min(from->Height(), to->Height()); ++y)
        std::copy_n(from->Row(y), std::min(from->Width(), to->Width()), to->Row(y));
      DeleteObject(old);
    }
    return strip;
  };
  l->Image = grow(l->Image, false);
  if (HasMask(l)) l->Mask = grow(l->Mask, true);
  l->Rows = newRows;
}

void CopyCell(const TSurface& from, const TRect& src, TSurface& to, const TRect& dst) {
  for (int y = 0; y < dst.Height(); ++y) {
    const int sy = src.Top + y, dy = dst.Top + y;
    if (dy < 0 || dy >= to.Height()) continue;
    for (int x = 0; x < dst.Width(); ++x) {
      const int sx = src.Left + x, dx = dst.Left + x;
      if (dx < 0 || dx >= to.Width()) continue;
      const bool inside = sy >= 0 && sy < from.Height() && sx >= 0 && sx < from.Width() &&
                          sx < src.Right && sy < src.Bottom;
      to.SetPixel(dx, dy, inside ? from.Pixel(sx, sy) : 0);
    }
  }
}

// Puts one image (taken from `image` at `src`) into cell `index`; `mask` (optional) at the same
// place, or a mask made of `maskColor` when `useColor`.
void PutImage(HIMAGELIST__* l, int index, const TSurface& image, const TSurface* mask,
              const TRect& src, bool useColor, TPixel maskColor) {
  const TRect cell = Cell(l, index);
  TSurface& strip = *orv::GetBitmapSurface(l->Image);
  CopyCell(image, src, strip, cell);
  if (!HasMask(l)) return;
  TSurface& maskStrip = *orv::GetBitmapSurface(l->Mask);
  for (int y = 0; y < l->Cy; ++y)
    for (int x = 0; x < l->Cx; ++x) {
      const int sx = src.Left + x, sy = src.Top + y;
      bool clear = false;
      if (useColor) {
        clear = sx < image.Width() && sy < image.Height() &&
                (image.Pixel(sx, sy) & 0xFFFFFF) == (maskColor & 0xFFFFFF);
      } else if (mask && sx < mask->Width() && sy < mask->Height()) {
        clear = (mask->Pixel(sx, sy) & 0xFFFFFF) != 0;
      }
      maskStrip.SetPixel(cell.Left + x, cell.Top + y, clear ? kWhite : 0);
      if (clear) strip.SetPixel(cell.Left + x, cell.Top + y, 0);
    }
}

int AddImages(HIMAGELIST__* l, HBITMAP image, HBITMAP mask, bool useColor, COLORREF color) {
  const TSurface* img = orv::GetBitmapSurface(image);
  if (!img || img->IsEmpty()) return -1;
  const TSurface* msk = mask ? orv::GetBitmapSurface(mask) : nullptr;
  const int n = std::max(1, img->Width() / l->Cx);
  const int first = l->Count;
  Reserve(l, first + n);
  TPixel key = orv::ColorToPixel(color);
  if (useColor && color == CLR_DEFAULT) key = img->Pixel(0, 0);
  for (int i = 0; i < n; ++i)
    PutImage(l, first + i, *img, msk, Bounds(i * l->Cx, 0, l->Cx, l->Cy), useColor, key);
  l->Count += n;
  return first;
}

bool CellHasAlpha(const HIMAGELIST__* l, int index) {
  if (!Is32(l)) return false;
  const TSurface& s = *orv::GetBitmapSurface(l->Image);
  const TRect c = Cell(l, index);
  for (int y = c.Top; y < c.Bottom; ++y)
    for (int x = c.Left; x < c.Right; ++x)
      if (orv::PixelAlpha(s.Pixel(x, y))) return true;
  return false;
}

TPixel Mix(TPixel p, TPixel with, int percent) {
  auto ch = [&](int shift) {
    const int a = int((p >> shift) & 0xFF), b = int((with >> shift) & 0xFF);
    return TPixel((a * (100 - percent) + b * percent) / 100) << shift;
  };
  return (p & 0xFF000000u) | ch(16) | ch(8) | ch(0);
}

// A DC for a block with a bitmap selected.
class TSelected {
 public:
  explicit TSelected(HBITMAP bitmap) : FDC(CreateCompatibleDC(nullptr)), FOld(SelectObject(FDC, bitmap)) {}
  ~TSelected() {
    SelectObject(FDC, FOld);
    DeleteDC(FDC);
  }
  TSelected(const TSelected&) = delete;
  TSelected& operator=(const TSelected&) = delete;
  operator HDC() const { return FDC; }

 private:
  HDC FDC;
  HGDIOBJ FOld;
};

}  // namespace

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow) {
  if (cx <= 0 || cy <= 0) return nullptr;
  auto* l = new HIMAGELIST__;
  l->Cx = cx;
  l->Cy = cy;
  l->Flags = flags;
  l->Grow = std::max(grow, 1);
  Lists().insert(l);
  Reserve(l, std::max(initial, 1));
  return l;
}

BOOL ImageList_Destroy(HIMAGELIST list) {
  HIMAGELIST__* l = AsList(list);
  if (!l) return FALSE;
  Lists().erase(l);
  if (l->Image) DeleteObject(l->Image);
  if (l->Mask) DeleteObject(l->Mask);
  delete l;
  return TRUE;
}

HIMAGELIST ImageList_Duplicate(HIMAGELIST list) {
  HIMAGELIST__* l = AsList(list);
  if (!l) return nullptr;
  HIMAGELIST copy = ImageList_Create(l->Cx, l->Cy, l->Flags, l->Count, l->Grow);
  Reserve(copy, l->Count);
  auto clone = [](HBITMAP from, HBITMAP to) {
    const TSurface* a = orv::GetBitmapSurface(from);
    TSurface* b = orv::GetBitmapSurface(to);
    for (int y = 0; y < std::min(a->Height(), b->Height()); ++y)
      std::copy_n(a->Row(y), std::min(a->Width(), b->Width()), b->Row(y));
  };
  clone(l->Image, copy->Image);
  if (HasMask(l)) clone(l->Mask, copy->Mask);
  copy->Count = l->Count;
  copy->Bk = l->Bk;
  return copy;
}

int ImageList_GetImageCount(HIMAGELIST list) {
  HIMAGELIST__* l = AsList(list);
  return l ? l->Count : 0;
}

BOOL ImageList_SetImageCount(HIMAGELIST list, UINT count) {
  HIMAGELIST__* l = AsList(list);
  if (!l) return FALSE;
  Reserve(l, int(count));
  for (int i = l->Count; i < int(count); ++i) {
    const TRect c = Cell(l, i);
    orv::GetBitmapSurface(l->Image)->Fill(c, 0);
    if (HasMask(l)) orv::GetBitmapSurface(l->Mask)->Fill(c, 0);
  }
  l->Count = int(count);
  return TRUE;
}

BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy) {
  HIMAGELIST__* l = AsList(list);
  if (!l) return FALSE;
  if (cx) *cx = l->Cx;
  if (cy) *cy = l->Cy;
  return TRUE;
}

BOOL ImageList_SetIconSize(HIMAGELIST list, int cx, int cy) {
  HIMAGELIST__* l = AsList(list);
  if (!l || cx <= 0 || cy <= 0) return FALSE;
  if (l->Image) DeleteObject(l->Image);
  if (l->Mask) DeleteObject(l->Mask);
  l->Image = l->Mask = nullptr;
  l->Rows = 0;
  l->Cx = cx;
  l->Cy = cy;
  l->Count = 0;
  Reserve(l, 1);
  return TRUE;
}

UINT ImageList_GetFlags(HIMAGELIST list) {
  HIMAGELIST__* l = AsList(list);
  return l ? l->Flags : 0;
}

COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color) {
  HIMAGELIST__* l = AsList(list);
  if (!l) return CLR_NONE;
  const COLORREF old = l->Bk;
  l->Bk = color;
  return old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST list) {
  HIMAGELIST__* l = AsList(list);
  return l ? l->Bk : CLR_NONE;
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) {
  HIMAGELIST__* l = AsList(list);
  return l ? AddImages(l, image, mask, false, 0) : -1;
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColor) {
  HIMAGELIST__* l = AsList(list);
  if (!l) return -1;
  return AddImages(l, image, nullptr, HasMask(l), maskColor);
}

BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask) {
  HIMAGELIST__* l = AsList(list);
  const TSurface* img = orv::GetBitmapSurface(image);
  if (!l || index < 0 || index >= l->Count || !img) return FALSE;
  PutImage(l, index, *img, mask ? orv::GetBitmapSurface(mask) : nullptr, Bounds(0, 0, l->Cx, l->Cy),
           false, 0);
  return TRUE;
}

BOOL ImageList_Remove(HIMAGELIST list, int index) {
  HIMAGELIST__* l = AsList(list);
  if (!l || index < -1 || index >= l->Count) return FALSE;
  if (index == -1) {
    l->Count = 0;
    return TRUE;
  }
  TSurface& img = *orv::GetBitmapSurface(l->Image);
  TSurface* msk = HasMask(l) ? orv::GetBitmapSurface(l->Mask) : nullptr;
  for (int i = index; i + 1 < l->Count; ++i) {
    CopyCell(img, Cell(l, i + 1), img, Cell(l, i));
    if (msk) CopyCell(*msk, Cell(l, i + 1), *msk, Cell(l, i));
  }
  --l->Count;
  return TRUE;
}

BOOL ImageList_Copy(HIMAGELIST dest, int destIndex, HIMAGELIST source, int sourceIndex, UINT flags) {
  HIMAGELIST__* l = AsList(dest);
  if (!l || dest != source || destIndex < 0 || sourceIndex < 0 || destIndex >= l->Count ||
      sourceIndex >= l->Count)
    return FALSE;
  auto exchange = [&](HBITMAP strip) {
    TSurface& s = *orv::GetBitmapSurface(strip);
    const TRect a = Cell(l, destIndex), b = Cell(l, sourceIndex);
    for (int y = 0; y < l->Cy; ++y)
      for (int x = 0; x < l->Cx; ++x) {
        const TPixel pa = s.Pixel(a.Left + x, a.Top + y), pb = s.Pixel(b.Left + x, b.Top + y);
        s.SetPixel(a.Left + x, a.Top + y, pb);
        if (flags & ILCF_SWAP) s.SetPixel(b.Left + x, b.Top + y, pa);
      }
  };
  exchange(l->Image);
  if (HasMask(l)) exchange(l->Mask);
  return TRUE;
}

BOOL ImageList_GetImageInfo(HIMAGELIST list, int index, IMAGEINFO* info) {
  HIMAGELIST__* l = AsList(list);
  if (!l || !info || index < 0 || index >= l->Count) return FALSE;
  info->hbmImage = l->Image;
  info->hbmMask = l->Mask;
  info->rcImage = Cell(l, index);
  return TRUE;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
  return ImageList_DrawEx(list, index, dc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}

BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int width, int height,
                      COLORREF background, COLORREF foreground, UINT style) {
  HIMAGELIST__* l = AsList(list);
  if (!l || index < 0 || index >= l->Count || !dc) return FALSE;
  const int w = width > 0 ? std::min(width, l->Cx) : l->Cx;
  const int h = height > 0 ? std::min(height, l->Cy) : l->Cy;
  const TRect cell = Cell(l, index);
  if (background == CLR_DEFAULT) background = l->Bk;
  if (style & ILD_TRANSPARENT) background = CLR_NONE;

  if (style & ILD_MASK) {
    if (!HasMask(l)) return TRUE;
    TSelected mask(l->Mask);
    BitBlt(dc, x, y, w, h, mask, cell.Left, cell.Top, SRCCOPY);
    return TRUE;
  }

  // The image of the cell, blended with the foreground colour when asked.
  BITMAPINFO info{};
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biBitCount = 32;
  HBITMAP temp = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
  TSurface& t = *orv::GetBitmapSurface(temp);
  const TSurface& src = *orv::GetBitmapSurface(l->Image);
  const TSurface* msk = HasMask(l) ? orv::GetBitmapSurface(l->Mask) : nullptr;
  const int blend = (style & ILD_BLEND50) ? 50 : (style & ILD_BLEND25) ? 25 : 0;
  const TPixel fore = orv::ColorToPixel(foreground == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : foreground);
  const bool alpha = CellHasAlpha(l, index);
  for (int yy = 0; yy < h; ++yy)
    for (int xx = 0; xx < w; ++xx) {
      TPixel p = src.Pixel(cell.Left + xx, cell.Top + yy);
      const bool clear = msk && (msk->Pixel(cell.Left + xx, cell.Top + yy) & 0xFFFFFF) != 0;
      if (blend && foreground != CLR_NONE && !clear) p = Mix(p, fore, blend);
      if (alpha) {
        // Premultiplied for AlphaBlend.
        const unsigned a = clear ? 0 : p >> 24;
        auto mul = [a](unsigned c) { return (c * a + 127) / 255; };
        p = (a << 24) | (mul((p >> 16) & 0xFF) << 16) | (mul((p >> 8) & 0xFF) << 8) | mul(p & 0xFF);
      }
      t.SetPixel(xx, yy, p);
    }
  {
    TSelected image(temp);
    if (background != CLR_NONE && (alpha || msk)) {
      HBRUSH brush = CreateSolidBrush(background);
      RECT r = Bounds(x, y, w, h);
      FillRect(dc, &r, brush);
      DeleteObject(brush);
    }
    if (alpha) {
      BLENDFUNCTION bf;
      bf.AlphaFormat = AC_SRC_ALPHA;
      AlphaBlend(dc, x, y, w, h, image, 0, 0, w, h, bf);
    } else if (msk) {
      // Mask white (transparent) keeps the destination; the image is black there.
      TSelected mask(l->Mask);
      const COLORREF text = SetTextColor(dc, 0), back = SetBkColor(dc, 0xFFFFFF);
      BitBlt(dc, x, y, w, h, mask, cell.Left, cell.Top, SRCAND);
      SetTextColor(dc, text);
      SetBkColor(dc, back);
      BitBlt(dc, x, y, w, h, image, 0, 0, SRCPAINT);
    } else {
      BitBlt(dc, x, y, w, h, image, 0, 0, SRCCOPY);
    }
  }
  DeleteObject(temp);
  return TRUE;
}

namespace {

void PutWord(Byte* p, int v) {
  p[0] = Byte(v);
  p[1] = Byte(v >> 8);
}
int GetWord(const Byte* p) { return std::int16_t(p[0] | (p[1] << 8)); }

}  // namespace

BOOL ImageList_Write(HIMAGELIST list, TStream* stream) {
  HIMAGELIST__* l = AsList(list);
  if (!l || !stream) return FALSE;
  Byte head[28] = {'I', 'L'};
  PutWord(head + 2, 0x101);
  PutWord(head + 4, l->Count);
  PutWord(head + 6, l->Rows * kPerRow);
  PutWord(head + 8, l->Grow);
  PutWord(head + 10, l->Cx);
  PutWord(head + 12, l->Cy);
  for (int i = 0; i < 4; ++i) head[14 + i] = Byte(l->Bk >> (8 * i));
  PutWord(head + 18, int(l->Flags));
  for (int i = 0; i < 4; ++i) PutWord(head + 20 + 2 * i, -1);
  stream->WriteBuffer(head, sizeof head);
  const int rows = std::max(1, (l->Count + kPerRow - 1) / kPerRow);
  auto writeStrip = [&](HBITMAP strip, TPixelFormat format) {
    std::unique_ptr<TBitmap, orv::FreeDeleter> b(new TBitmap);
    b->SetPixelFormat(format);
    b->SetSize(l->Cx * kPerRow, l->Cy * rows);
    TSurface copy = orv::GetBitmapSurface(strip)->Clone();
    TSurface* to = orv::GetBitmapSurface(b->GetHandle());
    for (int y = 0; y < to->Height(); ++y) std::copy_n(copy.Row(y), to->Width(), to->Row(y));
    b->SaveToStream(stream);
  };
  writeStrip(l->Image, pf32bit);
  if (HasMask(l)) writeStrip(l->Mask, pf1bit);
  return TRUE;
}

HIMAGELIST ImageList_Read(TStream* stream) {
  Byte head[28];
  if (!stream || stream->Read(head, sizeof head) != sizeof head || head[0] != 'I' || head[1] != 'L')
    return nullptr;
  const int count = GetWord(head + 4), grow = GetWord(head + 8), cx = GetWord(head + 10),
            cy = GetWord(head + 12);
  const UINT flags = UINT(GetWord(head + 18)) & 0xFFFF;
  COLORREF bk = 0;
  for (int i = 0; i < 4; ++i) bk |= COLORREF(head[14 + i]) << (8 * i);
  if (count < 0 || cx <= 0 || cy <= 0) return nullptr;
  std::unique_ptr<TBitmap, orv::FreeDeleter> image(new TBitmap), mask(new TBitmap);
  try {
    image->LoadFromStream(stream);
    if (flags & ILC_MASK) mask->LoadFromStream(stream);
  } catch (const Exception&) {
    return nullptr;
  }
  // The strips must hold every image the header counts (four to a row): a header that claims
  // more images, or larger ones, than its data holds is refused instead of being allocated.
  const int rows = std::max(1, (count + kPerRow - 1) / kPerRow);
  auto covers = [&](TBitmap* strip) {
    return std::int64_t(strip->GetWidth()) >= std::int64_t(cx) * std::max(1, std::min(count, kPerRow)) &&
           std::int64_t(strip->GetHeight()) >= std::int64_t(cy) * rows;
  };
  if (!covers(image.get()) || ((flags & ILC_MASK) && !covers(mask.get()))) return nullptr;
  // The growth step is capped by the images read: a huge one would allocate on the next add.
  HIMAGELIST list = ImageList_Create(cx, cy, flags, count, std::clamp(grow, 1, std::max(kPerRow, count)));
  Reserve(list, count);
  const TSurface* img = orv::GetBitmapSurface(image->GetHandle());
  const TSurface* msk = (flags & ILC_MASK) ? orv::GetBitmapSurface(mask->GetHandle()) : nullptr;
  for (int i = 0; i < count; ++i) {
    const TRect c = Cell(list, i);
    if (img) CopyCell(*img, c, *orv::GetBitmapSurface(list->Image), c);
    if (msk) CopyCell(*msk, c, *orv::GetBitmapSurface(list->Mask), c);
  }
  list->Count = count;
  list->Bk = bk;
  return list;
}
