// Drawing routines the bar windows, their painters and the status bar share.
#pragma once

#include "platform/drawing/GdiTypes.h"
#include "platform/runtime/Types.h"

class TBitmap;

// The platform's size-grip frame control drawn over what the DC shows in the rectangle: the
// glyph is drawn into a memory bitmap and only its lines are copied, the button-face colour of
// the glyph's background being transparent.
void DrawTransparentSizeGrip(HDC dc, const TRect& rect);

// A polygon filled with one colour and outlined with another (solid one-pixel pen).
void FillPolygonWithColors(HDC dc, const TPoint* points, Integer count, TColor fill, TColor outline);

// The small arrow triangle of drop-down and submenu items, its bounding box centred in the
// rectangle: pointing down (vertical) it is 2·size − 1 wide and size high, pointing right the
// other way round. Returns the triangle's top-left corner point.
TPoint DrawSmallTriangle(HDC dc, TColor color, Integer size, Boolean vertical, const TRect& rect);
// The two highlight lines beside the lower right edge of a disabled arrow whose corner point is
// `corner`.
void DrawArrowEmboss(HDC dc, TPoint corner, Integer size, Boolean vertical);
// An item's arrow: clDefault takes the shadow colour when disabled, the button-text colour when
// enabled, and when selected the button face (on a white face) or the highlight-text colour; a
// disabled arrow is embossed unless `noEmboss`.
void DrawItemArrow(HDC dc, const TRect& rect, Boolean down, TColor color, Boolean noEmboss, Boolean enabled,
                   Boolean selected, Integer size);

// One-pixel frame in the system highlight colour.
void FrameHighlightRect(HDC dc, const TRect& rect);
// Two nested one-pixel frames in a system colour (COLOR_* index).
void DrawDoubleFrame(HDC dc, const TRect& rect, Integer sysColor);
// Two nested outlines of dots: every outline pixel whose x + y is even takes the button-text colour.
void DrawDottedFocusRect(HDC dc, const TRect& rect);

// Copies of the bitmap laid over the rectangle in a grid anchored at the origin rectangle's
// top-left, so a background painted in parts stays seamless. Nothing for an empty bitmap or an
// empty origin; the DC's clip region is left as it was.
void TileBitmap(HDC dc, const TRect& rect, const TRect& origin, TBitmap* bitmap);
// The tiled bitmap when there is a non-empty one; otherwise the brush, or a solid brush of the
// colour when no brush is given.
void FillRectOrTile(HDC dc, const TRect& rect, const TRect& origin, TBitmap* bitmap, TColor color, HBRUSH brush);

// The 8 x 8 checkered pattern brush of pressed check buttons: highlight pixels with button-face
// pixels where row and column parity agree. Built on first use and after RebuildCheckeredBrush
// (system colours changed).
HBRUSH CheckeredBrush();
void RebuildCheckeredBrush();

// Saving the clip region of a DC around drawing that narrows it.
void SaveClipRegion(HDC dc, HRGN& region, Boolean& hadRegion);
void RestoreClipRegion(HDC dc, HRGN& region, Boolean hadRegion);
void UnionClipWithRect(HDC dc, const TRect& rect);

inline void EnsureMinimum(Integer& value, Integer minimum) {
  if (value < minimum) value = minimum;
}
