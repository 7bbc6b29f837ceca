#include "components/foundation/cxStyles.h"

#include "platform/controls/Graphics.h"
#include "platform/drawing/Gdi.h"

// ==== Graphics services for the painters ========================================================

namespace orv {

HFONT FontHandle(TFont* font) { return font ? font->GetHandle() : nullptr; }

TColor FontColor(TFont* font) { return font ? font->GetColor() : clDefault; }

Boolean IsBitmapEmpty(TBitmap* bitmap) { return !bitmap || bitmap->GetEmpty(); }

void TileBitmap(HDC dc, const TRect& rect, TBitmap* bitmap) {
  if (IsBitmapEmpty(bitmap) || rect.Left >= rect.Right || rect.Top >= rect.Bottom) return;
  const Integer w = bitmap->GetWidth(), h = bitmap->GetHeight();
  HDC source = bitmap->GetCanvas()->GetHandle();
  auto floorDiv = [](Integer a, Integer b) {
    const Integer q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
  };
  for (Integer row = floorDiv(rect.Top, h); row <= floorDiv(rect.Bottom - 1, h); ++row)
    for (Integer column = floorDiv(rect.Left, w); column <= floorDiv(rect.Right - 1, w); ++column) {
      const Integer left = std::max(rect.Left, column * w), top = std::max(rect.Top, row * h);
      const Integer right = std::min(rect.Right, column * w + w);
      const Integer bottom = std::min(rect.Bottom, row * h + h);
      BitBlt(dc, left, top, right - left, bottom - top, source, left - column * w, top - row * h,
             SRCCOPY);
    }
}

}  // namespace orv
