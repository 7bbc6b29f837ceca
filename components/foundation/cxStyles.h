// Styles: named visual settings (background bitmap, background colour, font, text colour) that
// a form defines once in a style repository and attaches to many visual elements; styles
// objects map element indexes to styles, fall back to style sheets and merge a style with an
// element's default parameters.
//
// This header names the graphics classes only by declaration, so that painters can include it
// beside the component canvas; the few graphics services the painters need (a font's handle,
// tiling a bitmap) are the functions in namespace orv below.
#pragma once

#include "platform/drawing/GdiTypes.h"
#include "platform/runtime/Types.h"

class TFont;
class TBitmap;

// The parameters an element is drawn with; clDefault colours and nil objects mean "none".
struct TcxViewParams {
  TBitmap* Bitmap = nullptr;
  TColor Color = clDefault;
  TFont* Font = nullptr;
  TColor TextColor = clDefault;
};
using TcxStyleParams = TcxViewParams;

namespace orv {
// The font's handle (nullptr for no font).
HFONT FontHandle(TFont* font);
TColor FontColor(TFont* font);
Boolean IsBitmapEmpty(TBitmap* bitmap);
// Tiles the bitmap over the rectangle of the DC, the tiles aligned to the DC's origin.
void TileBitmap(HDC dc, const TRect& rect, TBitmap* bitmap);
}  // namespace orv
