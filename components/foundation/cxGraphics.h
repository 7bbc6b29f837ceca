// The component library's graphics unit: drawing helpers over the platform's device contexts,
// brushes and bitmaps. Each service lives in its own section.
#pragma once

#include <memory>
#include <vector>

#include "platform/drawing/GdiTypes.h"
#include "platform/windowing/WinTypes.h"
#include "platform/runtime/Object.h"
#include "platform/runtime/Persistent.h"
#include "platform/runtime/Sets.h"
#include "platform/runtime/Types.h"
#include "platform/controls/Graphics.h"

class TCanvas;
class TcxCanvas;
class TcxBitmap;

// ==== Solid brush cache ======================================================================
//
// Editors fill many small areas with the same few colours on every paint: the cache keeps up to
// 128 solid brushes keyed by colour, and hands out the platform's own brushes for system
// colours. A caller uses the handle at once and never deletes it; an evicted brush is deleted.

class TcxSystemPaletteChangedNotifier;

class TcxSolidBrushCache : public TObject {
  ORV_CLASS(TcxSolidBrushCache, TObject)
 public:
  explicit TcxSolidBrushCache(Integer capacity = 128);
  ~TcxSolidBrushCache() override;

  // The brush of a colour: a system colour's brush from the platform, else a cached brush
  // (created on a miss, evicting the least-used entry when the cache is full).
  HBRUSH GetBrush(TColor color);
  // Deletes every cached brush.
  void Clear();
  // The system colours changed: cached brushes of resolved colours are stale.
  virtual void SystemPaletteChanged() { Clear(); }

  Integer GetCapacity() const { return FCapacity; }
  Integer GetCount() const { return Integer(FColors.size()); }
  // Cached entries in ascending order of colour (as unsigned numbers), with their hit counts.
  TColor GetColor(Integer index) const { return TColor(FColors[std::size_t(index)]); }
  Cardinal GetUseCount(Integer index) const { return FUseCounts[std::size_t(index)]; }

 private:
  Integer FCapacity;
  // Tells the cache of every system palette change, for as long as the cache lives.
  TcxSystemPaletteChangedNotifier* FNotifier = nullptr;
  std::vector<Cardinal> FColors;
  std::vector<HBRUSH> FBrushes;
  std::vector<Cardinal> FUseCounts;
};

// The process's cache, created on first use and freed at exit.
TcxSolidBrushCache* GetSolidBrushCache();
HBRUSH GetCachedSolidBrush(TColor color);
// The same; the canvas is not used.
inline HBRUSH GetCachedSolidBrushForCanvas(TCanvas* canvas, TColor color) { return GetCachedSolidBrush(color); }
inline HBRUSH GetCachedSolidBrushForCxCanvas(TcxCanvas* canvas, TColor color) { return GetCachedSolidBrush(color); }

// ==== Regions ================================================================================

// Operations of TcxRegion::CombineWith and TcxCanvas::SetClipRegion.
enum TcxRegionOperation { roSet, roAdd, roSubtract, roIntersect };

// Owns a region handle and gives it set arithmetic, comparison and hit testing.
class TcxRegion : public TObject {
  ORV_CLASS(TcxRegion, TObject)
 public:
  // The empty rectangle (0, 0, 0, 0).
  TcxRegion();
  // Takes ownership of the handle.
  explicit TcxRegion(HRGN handle);
  explicit TcxRegion(const TRect& rect);
  TcxRegion(Integer left, Integer top, Integer right, Integer bottom);
  ~TcxRegion() override;

  static TcxRegion* CreateFromHandle(HRGN handle) { return new TcxRegion(handle); }
  static TcxRegion* CreateFromRect(const TRect& rect) { return new TcxRegion(rect); }
  static TcxRegion* CreateFromBounds(Integer left, Integer top, Integer right, Integer bottom) {
    return new TcxRegion(left, top, right, bottom);
  }
  static TcxRegion* CreateEmpty() { return new TcxRegion(); }
  // The platform's round-rectangle region from (left + 1, top + 1) to (right, bottom).
  static TcxRegion* CreateRound(Integer left, Integer top, Integer right, Integer bottom,
                                Integer ellipseWidth, Integer ellipseHeight);
  static TcxRegion* CreateRoundFromRect(const TRect& rect, Integer ellipseWidth,
                                        Integer ellipseHeight);

  HRGN GetHandle() const { return FHandle; }
  // Deletes the handle; the region has none afterwards.
  void DestroyHandle();
  Boolean IsEmpty() const;
  // roSet copies `region`; the others unite, subtract or intersect. `region` is freed when
  // `freeRegion` is set.
  void CombineWith(TcxRegion* region, TcxRegionOperation operation, Boolean freeRegion = true);
  // False for nil; true when both are empty or cover the same pixels.
  Boolean IsEqual(TcxRegion* region) const;
  Boolean IsEqualHandle(HRGN region) const;
  void OffsetBy(Integer dx, Integer dy);
  void Offset(const TPoint& p) { OffsetBy(p.X, p.Y); }
  Boolean PtInRegion(Integer x, Integer y) const;
  Boolean PtInRegion(const TPoint& p) const { return PtInRegion(p.X, p.Y); }

 private:
  HRGN FHandle = nullptr;
};

// ==== Canvas =================================================================================

// The sides of a rectangle.
enum TcxBorder { bLeft, bTop, bRight, bBottom };
using TcxBorders = orv::Set<TcxBorder>;
inline constexpr TcxBorders cxBordersAll{bLeft, bTop, bRight, bBottom};

// The library's text flags, translated to the platform's DrawText flags by cxFlagsToDTFlags.
// Without a horizontal flag text is left-aligned, without a vertical one top-aligned.
inline constexpr Integer cxAlignLeft = 0x0001;
inline constexpr Integer cxAlignRight = 0x0002;
inline constexpr Integer cxAlignHCenter = 0x0004;
inline constexpr Integer cxAlignTop = 0x0008;
inline constexpr Integer cxAlignBottom = 0x0010;
inline constexpr Integer cxAlignVCenter = 0x0020;
inline constexpr Integer cxSingleLine = 0x0040;
inline constexpr Integer cxDontClip = 0x0080;
inline constexpr Integer cxExpandTabs = 0x0100;
inline constexpr Integer cxShowPrefix = 0x0200;
inline constexpr Integer cxWordBreak = 0x0400;
inline constexpr Integer cxShowEndEllipsis = 0x0800;
inline constexpr Integer cxDontPrint = 0x1000;
inline constexpr Integer cxShowPathEllipsis = 0x2000;
inline constexpr Integer cxDontBreakChars = 0x4000;
inline constexpr Integer cxNoFullWidthCharBreak = 0x8000;

UINT cxFlagsToDTFlags(Integer flags);

struct TcxViewParams;
class TGraphic;

// The drawing surface of every component: a thin object around a platform canvas (which it
// does not own) with the operations painters need: fills that honour clNone and clDefault, tiled
// bitmap backgrounds, frames on chosen borders, 3-D edges, aligned and embossed text, clip-region
// arithmetic with a save stack, and state save and restore.
//
// Brush, pen and font are the wrapped canvas's objects, which the canvas selects into its DC
// whenever the DC is asked for; code that draws on the DC directly gets them selected.
class TcxCanvas : public TObject {
  ORV_CLASS(TcxCanvas, TObject)
 public:
  using TCreateSignature = void(TCanvas* canvas);
  // Wraps `canvas` (not owned).
  explicit TcxCanvas(TCanvas* canvas);
  // A canvas of its own on `dc`, for painting code that has only a DC (nullptr: none yet); it
  // takes up the font, brush, pen and text colour the DC holds.
  explicit TcxCanvas(HDC dc);
  explicit TcxCanvas(std::nullptr_t) : TcxCanvas(static_cast<HDC>(nullptr)) {}
  ~TcxCanvas() override;

  // ---- The wrapped canvas, its handle and objects ----
  TCanvas* GetCanvas() const { return FCanvas; }
  // Wraps another canvas (not owned).
  void SetCanvas(TCanvas* value);
  // The DC with the canvas's font, brush and pen selected (a canvas that makes its DC on demand,
  // like the screen canvas, makes it now).
  HDC GetDCHandle();
  HDC GetHandle() { return GetDCHandle(); }
  // Points the wrapped canvas at another DC (nullptr: none).
  void SetDCHandle(HDC dc);
  Boolean HandleAllocated() const;

  TBrush* GetBrush() const;
  TFont* GetFont() const;
  TPen* GetPen() const;
  // Assigns the font.
  void SetFont(TFont* value);
  void SetCanvasFont(TFont* value) { SetFont(value); }
  TBrush* GetCanvasBrush() const { return GetBrush(); }
  TFont* GetCanvasFont() const { return GetFont(); }
  TPen* GetCanvasPen() const { return GetPen(); }

  TColor GetBrushColor() const;
  // Assigns only a different colour, so that no change notification fires for an equal one.
  void SetBrushColor(TColor color);
  Boolean IsBrushClear() const;
  // A clear brush fills nothing and leaves text transparent; clearing it off makes it solid.
  void SetBrushClear(Boolean clear);
  HBRUSH GetBrushHandle();
  TColor GetPenColor() const;
  void SetPenColor(TColor color);
  HFONT GetFontHandle();
  // The font takes the description of `font` (the handle stays the caller's).
  void SetFontHandle(HFONT font);
  void SetFont(const LOGFONT& font);
  LOGFONT GetFontInfo() const;
  TColor GetFontColor() const;
  void SetFontColor(TColor color);
  // The raster operation of CopyRectFrom, tiling and bitmap drawing (SRCCOPY at first).
  DWORD GetCopyMode() const;
  void SetCopyMode(DWORD value);
  void SetPixelColor(Integer x, Integer y, TColor color);
  TPoint GetWindowOrigin();
  void SetWindowOrigin(const TPoint& value);
  TPoint GetViewportOrigin();
  void SetViewportOrigin(const TPoint& value);
  // Viewport origin minus window origin.
  TPoint GetDCOrigin();
  // The brush colour, the font and the font colour as style parameters, and back.
  TcxViewParams GetStyleParams() const;
  void ApplyStyleParams(const TcxViewParams& params);

  // ---- Forwarders ----
  void CopyRectFrom(const TRect& destRect, TcxCanvas* source, const TRect& sourceRect);
  void DrawGraphic(Integer x, Integer y, TGraphic* graphic);
  void MoveToPoint(Integer x, Integer y);
  void LineToPoint(Integer x, Integer y);
  void DrawPolygon(const TPoint* points, Integer count);
  void DrawPolyline(const TPoint* points, Integer count);
  void BeginPath();
  void EndPath();
  void ExcludeFromClip(const TRect& rect);
  void IntersectClip(const TRect& rect);
  Boolean IsRectVisible(const TRect& rect);

  // ---- Fills and frames ----
  // clNone: nothing; clDefault: the current brush; otherwise that colour.
  void FillRectWithColor(const TRect& rect, TColor color);
  // Tiles the bitmap (when it has pixels) or fills with the current brush; with `exclude` the
  // rectangle then leaves the clip region.
  void FillRectOrTile(const TRect& rect, TBitmap* bitmap, Boolean exclude = false);
  // Strips of `width` on the chosen sides (colour clDefault: the current brush), then the rest
  // in the style's colour or bitmap.
  void FillRectWithBorders(const TRect& rect, TColor color, TBitmap* bitmap, TcxBorders borders,
                           TColor borderColor, Integer borderWidth, Boolean exclude = false);
  void FillRectWithBorders(const TRect& rect, const TcxViewParams& params, TcxBorders borders,
                           TColor borderColor, Integer borderWidth, Boolean exclude = false);
  void DrawBorderLines(const TRect& rect, TColor color, Integer width, TcxBorders borders,
                       Boolean exclude = false);
  void DrawTwoColorFrame(const TRect& rect, TColor leftTopColor, TColor rightBottomColor,
                         TcxBorders borders = cxBordersAll, Integer width = 1);
  void Draw3DEdge(const TRect& rect, Boolean sunken, Boolean outer, TcxBorders borders = cxBordersAll);
  void DrawFocusFrame(const TRect& rect);
  void DrawFocusFrames(const TRect& rect, Integer count);
  void InvertArea(const TRect& rect);
  void FillRegionWithColor(HRGN region, TColor color);
  void FrameRegionWithColor(HRGN region, TColor color, Integer frameWidth, Integer frameHeight);
  void FillAndFrameRegion(HRGN region, TColor fillColor, TColor frameColor, Integer frameWidth = 1,
                          Integer frameHeight = 1);
  void FillAndFrameRegion(TcxRegion* region, TColor fillColor, TColor frameColor,
                          Integer frameWidth = 1, Integer frameHeight = 1) {
    FillAndFrameRegion(region->GetHandle(), fillColor, frameColor, frameWidth, frameHeight);
  }

  // ---- Text ----
  TSize GetTextSize(const AnsiString& text);
  Integer TextWidthOf(const AnsiString& text) { return GetTextSize(text).cx; }
  Integer TextHeightOf(const AnsiString& text) { return GetTextSize(text).cy; }
  // Assigns the font, then the height of "Qq".
  Integer FontHeight(TFont* font);
  Integer FontHeight(HFONT font);
  // The rectangle the text needs, aligned inside the rectangle's former size.
  void MeasureTextRect(const AnsiString& text, TRect& rect, Integer flags);
  // Moves rect.Top so that the text's lines sit at the bottom (position 1) or in the middle (2).
  void AlignMultiLineTextVertically(TRect& rect, const AnsiString& text, Integer position,
                                    Boolean wordBreak, Boolean showPrefix, Boolean enabled = true,
                                    Boolean dontBreakChars = false, Boolean endEllipsis = false);
  // Disabled text is embossed: clBtnHighlight one pixel right and down, then clBtnShadow.
  void DrawTextInRect(const AnsiString& text, const TRect& rect, Integer flags, Boolean enabled = true);
  // The current font again with escapement degrees x 10 (TrueType only when not 0).
  void SetFontAngle(Integer degrees);

  // ---- Clip regions and state ----
  // The DC's clip region (or (0, 0, 30000, 30000) without one), moved by minus the DC origin
  // when asked; owned by the caller.
  TcxRegion* CreateClipRegion(Boolean relativeToOrigin = true);
  void SetClipRegion(TcxRegion* region, TcxRegionOperation operation, Boolean freeRegion = true,
                     Boolean relativeToOrigin = true);
  void PushClipRegion();
  void PopClipRegion();
  // Saves the DC's state and locks the wrapped canvas until the matching RestoreDC.
  void SaveDC();
  void RestoreDC();
  // Makes the canvas's font, brush and pen describe the objects selected into `dc`.
  void SynchronizeObjects(HDC dc);
  // SaveDC and copies of the font, brush and pen; PopState puts all of them back.
  void PushState();
  void PopState();
  Integer GetClipRegionStackDepth() const { return Integer(FSavedClipRegions.size()); }
  Integer GetStateStackDepth() const { return Integer(FSavedStates.size()); }

  // ---- Names other subsystems use ----
  // The editors.
  void FillRect(const TRect& rect, TColor color) { FillRectWithColor(rect, color); }
  // The bars and the status bar.
  Integer TextHeight(const AnsiString& text) { return TextHeightOf(text); }
  Integer TextWidth(const AnsiString& text) { return TextWidthOf(text); }
  void CopyRect(const TRect& destRect, TcxCanvas* source, const TRect& sourceRect) {
    CopyRectFrom(destRect, source, sourceRect);
  }
  void SetWindowOrg(const TPoint& value) { SetWindowOrigin(value); }

 protected:
  // Takes ownership of `canvas` (the screen and paint canvases make their own).
  void AdoptCanvas(TCanvas* canvas);

 private:
  struct TSavedDC {
    HDC Handle;
    Integer Number;
  };
  struct TSavedState {
    TFont* Font;
    TBrush* Brush;
    TPen* Pen;
  };
  TCanvas* FCanvas = nullptr;
  std::unique_ptr<TCanvas, orv::FreeDeleter> FOwnCanvas;
  std::vector<TSavedDC> FSavedDCs;
  std::vector<std::unique_ptr<TcxRegion, orv::FreeDeleter>> FSavedClipRegions;
  std::vector<TSavedState> FSavedStates;
};

using TcxCanvasClass = orv::ClassOf<TcxCanvas>;

// ==== Screen canvas and paint canvas ==========================================================

// A canvas over the screen's DC, made on demand.
class TScreenCanvas : public TCanvas {
  ORV_CLASS(TScreenCanvas, TCanvas)
 public:
  TScreenCanvas() = default;
  ~TScreenCanvas() override { FreeHandle(); }
  // Lets the DC go.
  void FreeHandle();

 protected:
  void CreateHandle() override;

 private:
  HDC FDC = nullptr;
};

// A component canvas on the screen; FreeScreenHandle lets the DC go again so that no screen DC
// stays held between uses.
class TcxScreenCanvas : public TcxCanvas {
  ORV_CLASS(TcxScreenCanvas, TcxCanvas)
 public:
  using TCreateSignature = void();
  TcxScreenCanvas();
  ~TcxScreenCanvas() override { FreeScreenHandle(); }
  static TcxScreenCanvas* CreateForScreen() { return new TcxScreenCanvas; }
  void FreeScreenHandle();
};

// The shared screen canvas, created on first use; nil once the program has begun to end.
TcxScreenCanvas* GetScreenCanvas();

// One reusable canvas that painting code points at a DC or at another canvas for a while;
// the switches nest.
class TcxPaintCanvas : public TcxCanvas {
  ORV_CLASS(TcxPaintCanvas, TcxCanvas)
 public:
  using TCreateSignature = void();
  TcxPaintCanvas();

  void BeginPaintOnDC(HDC dc);
  void BeginPaintOnCanvas(TcxCanvas* canvas);
  // Ends the last begin of either kind; nothing when none is open.
  void EndPaintOnDC();
  Integer GetPaintDepth() const { return Integer(FStates.size()); }

 private:
  struct TState {
    Boolean OnCanvas;
    TCanvas* PreviousCanvas;  // a canvas entry: the canvas wrapped before
    HDC PreviousHandle;       // a DC entry: the handle the canvas had (nullptr: none)
    HDC DC;
    Integer SavedDC;
  };
  std::vector<TState> FStates;
};

// The shared paint canvas, created on first use; nil once the program has begun to end.
TcxPaintCanvas* GetPaintCanvas();
// ==== Bitmaps ================================================================================

class TStream;
class TcxImageList;

// 32-bit pixels of one bitmap, row by row: blue in bits 0-7, green 8-15, red 16-23, alpha 24-31.
using TRGBColors = std::vector<Cardinal>;

// A platform bitmap with a component canvas, change batching and an optional compressed
// streaming format ("XDBM" runs over the platform's own "Data").
class TcxBitmap : public TBitmap {
  ORV_CLASS(TcxBitmap, TBitmap)
 public:
  using TCreateSignature = void();
  // Empty, 24 bits per pixel.
  TcxBitmap();
  // A 24-bit bitmap of that size (the virtual CreateSize of the design: descendants pick their
  // own pixel format through ClassOf).
  TcxBitmap(Integer width, Integer height);
  TcxBitmap(Integer width, Integer height, TPixelFormat pixelFormat);
  ~TcxBitmap() override;

  static TcxBitmap* CreateSize(Integer width, Integer height) { return new TcxBitmap(width, height); }
  static TcxBitmap* CreateOfRectSize(const TRect& rect) {
    return new TcxBitmap(rect.Width(), rect.Height());
  }
  static TcxBitmap* CreateFromRect(const TRect& rect, TPixelFormat pixelFormat) {
    return new TcxBitmap(rect.Width(), rect.Height(), pixelFormat);
  }
  static TcxBitmap* CreateWithSize(Integer width, Integer height, TPixelFormat pixelFormat) {
    return new TcxBitmap(width, height, pixelFormat);
  }

  // The component canvas over the bitmap's own canvas (the platform canvas stays reachable
  // through TBitmap::GetCanvas or the component canvas's GetCanvas).
  TcxCanvas* GetCanvas() { return FcxCanvas; }
  TcxCanvas* GetcxCanvas() { return FcxCanvas; }
  // Negative values count as 0; nothing when the size does not change.
  void SetSize(Integer width, Integer height) override;
  Boolean Empty() const { return GetEmpty(); }
  TRect GetBoundsRect() const { return {0, 0, GetWidth(), GetHeight()}; }
  Boolean GetCompressData() const { return FCompressData; }
  void SetCompressData(Boolean value) { FCompressData = value; }

  void BeginUpdate() { ++FLockCount; }
  // Fires the change notification at the last end when forced or when a change came in between.
  void EndUpdate(Boolean forceUpdate = true);
  // While locked a change is only noted; otherwise it is announced and the pixel format checked.
  void Changed(TObject* sender) override;
  void Changed() { Changed(this); }

  void CopyBitmap(TcxBitmap* source, DWORD rop = 0x00CC0020);
  void CopyBitmapRect(TcxBitmap* source, const TRect& destRect, const TPoint& sourcePoint,
                      DWORD rop = 0x00CC0020);
  // See RotateBitmap.
  void Rotate(Integer rotation, Boolean flipVertically = false);

  // The "Data" property: the platform format (a 32-bit length and the bitmap file), or, with
  // CompressData, the "XDBM" stream of it.
  void WriteData(TStream* stream) override;
  void ReadData(TStream* stream) override;

 protected:
  // Sets the pixel format and then the size inside one update.
  virtual void Initialize(Integer width, Integer height, TPixelFormat pixelFormat);
  // A change may not leave the bitmap in a format it cannot hold; nothing here.
  virtual void ValidatePixelFormat() {}

 private:
  TcxCanvas* FcxCanvas = nullptr;
  Boolean FCompressData = false;
  Integer FLockCount = 0;
  Boolean FModified = false;
};

using TcxBitmapClass = orv::ClassOf<TcxBitmap>;

// A 32-bit bitmap with pixel arrays and alpha operations.
class TcxBitmap32 : public TcxBitmap {
  ORV_CLASS(TcxBitmap32, TcxBitmap)
 public:
  TcxBitmap32() : TcxBitmap(0, 0, pf32bit) {}
  TcxBitmap32(Integer width, Integer height, Boolean clear = false);
  explicit TcxBitmap32(const TRect& rect, Boolean clear = false)
      : TcxBitmap32(rect.Width(), rect.Height(), clear) {}
  static TcxBitmap32* CreateSize(Integer width, Integer height) { return new TcxBitmap32(width, height); }
  static TcxBitmap32* CreateSizeCleared(Integer width, Integer height, Boolean clear) {
    return new TcxBitmap32(width, height, clear);
  }

  // Fills the bounds with black (alpha 0).
  virtual void FillBlack();
  // Pixels a size change adds are transparent black, so that growing an image with alpha adds
  // nothing to what it is drawn over.
  void SetSize(Integer width, Integer height) override;
  // Bottom row first.
  TRGBColors GetPixels();
  void SetPixels(TRGBColors& colors);
  void SetAlpha(Byte value);
  void SetOpaque() { SetAlpha(255); }
  // Some pixel has a non-zero alpha.
  Boolean HasAlphaChannel();
  void AlphaDrawTo(TcxBitmap* dest, const TRect& rect, Boolean stretch = false, Byte constantAlpha = 255);
  void LoadFromStream(TStream* stream) override;

 protected:
  // Raises EdxException "Wrong PixelFormat" unless 32 bits per pixel.
  void ValidatePixelFormat() override;
};

// bitmap := bitmap AND NOT mask; nothing when their sizes differ.
void ApplyInvertedMask(TcxBitmap* bitmap, TcxBitmap* mask);

// 24-bit colour values whose pixels count as transparent.
using TcxColorList = std::vector<Cardinal>;
void AddTransparentColor(TcxColorList& list, TColor color);

// Operations of TcxAlphaBitmap::ProcessPixels.
enum TcxPixelOperation {
  ppoLight, ppoDisabledGrey, ppoAverageGrey, ppoOpaque, ppoMask, ppoGrey, ppoGreyLuminance,
  ppoOpaqueZeroAlpha, ppoHatch, ppoFillBackground, ppoClearAlpha
};

// A 32-bit bitmap with transparent colours and per-pixel operations.
class TcxAlphaBitmap : public TcxBitmap32 {
  ORV_CLASS(TcxAlphaBitmap, TcxBitmap32)
 public:
  TcxAlphaBitmap() = default;
  TcxAlphaBitmap(Integer width, Integer height) : TcxBitmap32(width, height) {}
  // Pixels equal to `background` in all 32 bits are transparent; filling black fills with it
  // when its alpha is not 0.
  TcxAlphaBitmap(Integer width, Integer height, Cardinal background);
  static TcxAlphaBitmap* CreateSize(Integer width, Integer height) { return new TcxAlphaBitmap(width, height); }
  static TcxAlphaBitmap* CreateWithBackground(Integer width, Integer height, Cardinal background) {
    return new TcxAlphaBitmap(width, height, background);
  }

  void FillBlack() override;
  Cardinal GetTransparentBkColor() const { return FTransparentBkColor; }
  TcxColorList& GetTransparentColors() { return FTransparentColors; }
  Boolean IsTransparent(Cardinal pixel) const;
  // Only this colour is transparent (whatever its alpha); every other pixel of alpha 0 becomes
  // opaque.
  void SetTransparentColor(TColor color);
  void SetHatch(TColor color1, TColor color2, Byte alpha1, Byte alpha2, Byte step);
  // ORs the silhouette of the mask's black area in `color`, `offset` pixels right and down,
  // into the bitmap where the image itself is transparent; with `grow` the bitmap first grows
  // by `offset` in both directions.
  void AddSilhouette(TcxBitmap32* mask, Integer offset, TColor color, Boolean grow);
  void ProcessPixels(TcxPixelOperation operation);
  TPoint GetCurrentPixel() const { return FCurrentPixel; }

 private:
  Cardinal FTransparentBkColor = 0;
  TcxColorList FTransparentColors;
  TPoint FCurrentPixel;
  Cardinal FHatchColor1 = 0, FHatchColor2 = 0;
  Byte FHatchAlpha1 = 0, FHatchAlpha2 = 0, FHatchStep = 1;
};

// Turns or mirrors the pixels: 0 nothing (a vertical mirror with `flip`), 1 a quarter turn
// counter-clockwise (a transpose), 2 a quarter turn clockwise, 3 half a turn (a horizontal
// mirror); 1 and 2 exchange width and height. The canvas is not used.
void RotateBitmap(TcxBitmap* bitmap, Integer rotation, Boolean flipVertically = false);
inline void RotateBitmap(TcxCanvas* canvas, TcxBitmap* bitmap, Integer rotation, Boolean flip = false) {
  RotateBitmap(bitmap, rotation, flip);
}
inline void ResizeBitmapToRect(TcxBitmap* bitmap, const TRect& rect) {
  bitmap->SetSize(rect.Width(), rect.Height());
}

namespace orv {
// The "XDBM" stream of `data` (signature, version 2, block size, remainder and runs).
AnsiString EncodeXdbm(const AnsiString& data, Integer blockSize);
// Reads one "XDBM" stream at the stream's position into `data`: false, with the position
// unchanged, when the signature is missing; EReadError for a stream that breaks its own counts.
Boolean DecodeXdbm(TStream* stream, AnsiString& data);
}  // namespace orv

// ==== Bitmap, alpha and glyph routines =======================================================

TcxBitmap* CreateBitmapOfSize(Integer width, Integer height, TPixelFormat pixelFormat);
inline TcxBitmap* CreateBitmapForSize(const TSize& size, TPixelFormat pixelFormat) {
  return CreateBitmapOfSize(size.cx, size.cy, pixelFormat);
}
inline TcxBitmap* CreateBitmapForRect(const TRect& rect, TPixelFormat pixelFormat) {
  return CreateBitmapOfSize(rect.Width(), rect.Height(), pixelFormat);
}
Integer GetBitmapBitsPerPixel(TcxBitmap* bitmap);
Integer PixelFormatBitsPerPixel(TPixelFormat pixelFormat);
// Width x height pixels, top row first when `topDown`.
TRGBColors ReadBitmapColors(TcxBitmap* bitmap, Boolean topDown);
// Writes the pixels back and frees the array.
void StoreBitmapColors(TcxBitmap* bitmap, TRGBColors& colors, Boolean topDown);
inline Boolean HasGlyph(TcxBitmap* bitmap) { return bitmap && !bitmap->Empty(); }
class TCustomImageList;
// The list is assigned and 0 <= index < its count.
Boolean IsImageIndexValid(TCustomImageList* imageList, Integer index);
inline void ShrinkRectByMargins(TRect& rect, const TRect& margins) {
  rect = {rect.Left + margins.Left, rect.Top + margins.Top, rect.Right - margins.Right,
          rect.Bottom - margins.Bottom};
}
TColor GetLightHighlightColor();
TColor GetLightDownHighlightColor();

void BitBltRect(HDC dest, HDC source, const TRect& destRect, const TPoint& sourcePoint,
                DWORD rop = 0x00CC0020);
void DrawBitmapToDC(HDC dc, TcxBitmap* bitmap, const TRect& destRect, const TPoint& sourcePoint,
                    DWORD rop = 0x00CC0020);
// Source-over blending with per-pixel (premultiplied) and constant alpha; the rectangles'
// sizes differ only when stretching.
void AlphaBlendDC(HDC dest, HDC source, const TRect& destRect, const TRect& sourceRect,
                  Boolean stretch = false, Byte constantAlpha = 255);
void AlphaBlendBitmap(TcxBitmap* dest, TcxBitmap* source, const TRect& destRect,
                      const TRect& sourceRect, Boolean stretch = false, Byte constantAlpha = 255);
// Resamples the source's pixels into the destination's size: the platform's halftone stretch,
// or with `force` a Lanczos-3 filter.
void ResampleBitmap(TcxBitmap* source, TcxBitmap* dest, Boolean force = false);
// The area of the DC with a checkerboard of `step`-pixel cells, alternately colour 1 at alpha 1
// and colour 2 at alpha 2, blended over it.
void ProcessDCAreaAsAlphaBitmap(HDC dc, const TRect& rect, TColor color1, TColor color2,
                                Byte alpha1, Byte alpha2, Byte step);
// The transparency mask of a 32-bit bitmap (transparent white, the rest black) into `dest`.
void CopyAlphaBitmapToBitmap(TcxAlphaBitmap* source, TcxBitmap* dest);

// The looks of DrawGlyphOrImage.
enum TcxImageDrawMode { idmNormal, idmDisabled, idmFaded, idmGrayScale, idmLight, idmShadowed };

// Draws a glyph, or an image of the list, at the image rectangle inside the composed rectangle
// (which is filled with the brush, or keeps what the DC shows there) in one of six looks.
// Nothing without a glyph and without a valid image.
void DrawGlyphOrImage(HDC dc, const TRect& imageRect, const TRect& composedRect, TcxBitmap* glyph,
                      TCustomImageList* imageList, Integer imageIndex, TcxImageDrawMode drawMode,
                      Boolean stretch = false, HBRUSH backgroundBrush = nullptr,
                      TColor transparentColor = clNone, Boolean useGlyphTransparentColor = true);

// A replacement for DrawGlyphOrImage's own drawing: true ends the drawing. Nothing here sets it.
using TcxDrawGlyphHook = Boolean (*)(TcxCanvas* canvas, TCustomImageList* imageList, Integer imageIndex,
                                     TcxImageDrawMode drawMode, const TRect& imageRect, TcxBitmap* glyph);
extern TcxDrawGlyphHook cxDrawGlyphHook;

// The shared scratch bitmaps of the glyph drawing, resized on demand and freed at exit.
TcxAlphaBitmap* GetScratchBitmap(Integer width, Integer height);
TcxAlphaBitmap* GetScratchAlphaBitmap(Integer width, Integer height);
TcxAlphaBitmap* GetScratchMaskBitmap(Integer width, Integer height);
// Sets the size, empties the transparent colours and clears the pixels.
void ResizeAlphaBitmap(TcxAlphaBitmap* bitmap, Integer width, Integer height);

// ==== Text measuring and object queries ======================================================

class TStrings;

// The platform's text extent; `length` -1 takes the whole text.
Boolean GetStringExtent(HDC dc, const AnsiString& text, TSize& size, Integer length = -1);
// The platform's DrawText of the whole text; the text height.
Integer DrawTextString(HDC dc, const AnsiString& text, TRect& rect, UINT format);
Boolean ExtTextOutString(HDC dc, const AnsiString& text, const TPoint& point, const TRect* clipRect,
                         UINT options, Integer length = -1);
// The narrowest rectangle that holds the text in at most `lineCount` lines of "Wg" height (one
// line: its single-line size; 0 or less: no limit); with `limitHeight` its bottom is the limit.
TRect CalculateTextRect(HDC dc, const AnsiString& text, Integer lineCount = 1, Boolean limitHeight = false);
// The single-line size.
TSize MeasureTextOnDC(HDC dc, const AnsiString& text);
// Measured on the shared screen canvas with the font (and, when not 0, that point size).
TSize FontTextExtent(const LOGFONT& font, const AnsiString& text, Integer pointSize = 0);
inline Integer FontTextWidth(const LOGFONT& font, const AnsiString& text, Integer pointSize = 0) {
  return FontTextExtent(font, text, pointSize).cx;
}
inline Integer FontTextHeight(const LOGFONT& font, const AnsiString& text, Integer pointSize = 0) {
  return FontTextExtent(font, text, pointSize).cy;
}
// Breaks the text into lines no wider than the rectangle: at blanks, and at every CR or LF
// (runs of line breaks make one); a word is never broken.
void WrapTextToLines(const AnsiString& text, TcxCanvas* canvas, const TRect& rect, TStrings* lines);
// A text of a Chinese (134, 136) or Arabic (178) character set that does not start with an
// ASCII character.
Boolean IsChineseOrArabicCharset(Byte charset, const AnsiString& text);
// The screen's logical pixels per inch, vertical or horizontal.
Integer GetScreenLogPixels(Boolean vertical = true);

// The mouse cursor's size below its hot spot: the system cursor size, narrowed to the rows its
// mask actually uses when the cursor's image can be read. The hints of the editors and the
// navigator place themselves below it.
TSize GetCurrentCursorSize();

void InvalidateWindowRect(HWND window, const TRect& rect, Boolean erase = true);
void InvalidateWindow(HWND window, Boolean erase = true);

class TControl;
class TWinControl;

// Asked before a child's non-client edge is drawn into a transparent background: false leaves
// the edge out (a child that draws its own frame).
class IcxTransparentBackgroundEdge : public virtual IInterface {
 public:
  virtual Boolean NeedsNonClientEdge() = 0;
};

// Paints what lies behind `control` into `rect` (control client coordinates) of the canvas, so
// that the control can look transparent: the parent paints itself there, then its windowed
// children below the control. Nothing without a parent.
void DrawTransparentBackground(TWinControl* control, TcxCanvas* canvas, const TRect& rect);
// The same; without visual styles (always here) it is DrawTransparentBackground.
void DrawParentBackground(TWinControl* control, TcxCanvas* canvas, const TRect& rect);
// The same on a platform canvas.
void DrawTransparentBackgroundOnCanvas(TWinControl* control, TCanvas* canvas, const TRect& rect);
void DrawParentBackgroundOnCanvas(TWinControl* control, TCanvas* canvas, const TRect& rect);

Boolean GetBitmapData(HBITMAP bitmap, BITMAP& data);
Boolean GetBrushInfo(HBRUSH brush, LOGBRUSH& info);
Boolean GetFontInfo(HFONT font, LOGFONT& info);
Boolean GetPenData(HPEN pen, LOGPEN& data);
