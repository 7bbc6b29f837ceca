// Drawing routines the bar windows, their painters and the status bar share.
#pragma once

#include "platform/drawing/GdiTypes.h"
#include "platform/runtime/Types.h"

class TBitmap;
class TCustomdxBarControl;

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

// ---- Glyph looks

// The flags a painter's glyph drawing passes to choose the look of an item's glyph.
struct TdxBarGlyphLookFlags {
  Boolean CanDrawStateImage = true;  // enabled, or a disabled image exists
  Boolean FadedDisabledImages = false;
  Boolean GrayScale = false;
  Boolean UsesGlyphShadow = false;
  Boolean Selected = false;
  Boolean Down = false;
  Boolean Sunken = false;
  Boolean ShadowsOffset = false;
};
// The foundation's image draw mode (TcxImageDrawMode) for those flags: disabled or faded when
// the state image cannot be drawn, gray scale, then for painters with glyph shadows the light
// look of inactive glyphs (only on screens of more than 256 colours) or the shadowed look of a
// selected raised glyph; else normal. The colour depth is the screen's unless given.
Integer BarGlyphDrawMode(const TdxBarGlyphLookFlags& flags, Integer colorDepth = -1);

// The last glyph an item control drew, kept with the look (draw mode) it was drawn in and the
// image list or bitmap it came from, so that repaints in the same look copy it instead of
// building the look again. Transparent where the glyph is.
class TcxAlphaBitmap;
class TCustomImageList;
class TdxCachedImageOptions {
 public:
  TdxCachedImageOptions();
  ~TdxCachedImageOptions();
  TdxCachedImageOptions(const TdxCachedImageOptions&) = delete;
  TdxCachedImageOptions& operator=(const TdxCachedImageOptions&) = delete;
  // Marked cached, the same look and source (the bitmap when one is given, else the list), and
  // a picture that is not empty.
  Boolean IsValid(Integer drawMode, TCustomImageList* images, TBitmap* glyph) const;
  // Draws the image at the size of the glyph rectangle in the look and remembers the request.
  void Fill(const TRect& glyphRect, Integer drawMode, TCustomImageList* images, Integer imageIndex, TBitmap* glyph,
            TColor transparentColor, Boolean useGlyphTransparentColor, Boolean smooth);
  void Invalidate() { FCached = false; }
  Boolean IsCached() const { return FCached; }
  TcxAlphaBitmap* GetImage() const { return FImage; }

 private:
  Boolean FCached = false;
  TcxAlphaBitmap* FImage;
  Integer FDrawMode = 0;
  TCustomImageList* FImages = nullptr;
  TBitmap* FGlyph = nullptr;
};

// An item's glyph (the bitmap, or the list's image) in the look the flags choose, drawn into the
// glyph rectangle over the area (filled with the brush, or keeping what the DC shows without
// one). With a cache, every look but the shadowed one is drawn from it, filled when it does not
// hold this look of this source; the foundation's glyph hook is not asked while the cached
// picture is copied. A bitmap glyph ignores the list's transparent colour.
void DrawItemGlyphImage(TdxCachedImageOptions* cache, HDC dc, HBRUSH brush, Boolean useLeftBottomPixelAsTransparent,
                        Boolean smooth, const TdxBarGlyphLookFlags& flags, TColor transparentColor, Integer imageIndex,
                        TCustomImageList* images, TBitmap* glyph, const TRect& area, const TRect& glyphRect);

// ---- System state

// The screen's bits per pixel, read at start-up and again by ReadScreenColorDepth (display
// settings changed).
Integer ScreenColorDepth();
void ReadScreenColorDepth();
TColor NearestScreenColor(TColor color);
// value x the screen's pixels per inch / base DPI, rounded.
Integer ScaleByScreenDPI(Integer value, Integer baseDPI = 96);
// The asynchronous state of a mouse button; the swapped one when the system swaps them.
Boolean IsMouseButtonDown(Integer button, Integer swappedButton);
Boolean IsLeftMouseButtonDown();
Boolean IsRightMouseButtonDown();
// Dispatch every queued mouse (paint) message; a quit message met on the way is posted again
// and ends the loop.
void FlushMouseMessages();
void FlushPaintMessages();

// Menu sounds, played asynchronously by their system alias; the stop entry stops any sound.
enum TdxBarMenuSound { msPopup, msCommand, msNone };
void PlayMenuSound(TdxBarMenuSound sound);
void StopMenuSound();

// ---- Fonts

class TFont;
// Without system height a copy of the source font; with it the source font at the height of the
// system's icon-title font, but at least 11 pixels high.
void AssignBarFont(TFont* source, TFont* target, Boolean systemHeight);
// A new font from the system's small-caption font; unless the system font is asked, at least 11
// pixels high and with the given font's face name.
HFONT CreateSmallCaptionFont(TFont* font, Boolean useSystem);
HFONT CopyFontHandle(HFONT font);

// The one-pixel line where a menu touches the bar element that opened it, its ends one pixel
// inside both, in screen coordinates; with `offset`, moved one pixel towards the owner. Empty
// while the menu is not shown touching its owner (or `popup` is no menu).
TRect OwnerJointScreenRect(TCustomdxBarControl* popup, Boolean offset);
// The same line relative to the menu's window (the coordinates its frame is drawn in).
TRect OwnerJointWindowRect(TCustomdxBarControl* popup);
