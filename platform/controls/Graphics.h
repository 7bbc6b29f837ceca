// The graphics classes of the class library: fonts, pens and brushes that own their drawing
// objects, the canvas that selects them into a DC on demand, and the graphics (bitmaps, icons,
// pictures with registered file formats).
//
// A canvas selects its font, pen and brush lazily: every drawing call asks for the state it
// needs (RequiredState), and a change of the font, pen or brush only marks that part stale.
// Drawing objects belong to their TFont / TPen / TBrush; a handle that is still selected into a
// DC when its owner changes is freed by the drawing layer once the DC lets go of it.
//
// Bitmaps keep their pixels in the drawing layer (HBITMAP). A 32-bit bitmap is a DIB section:
// its scan lines are the pixels themselves. For other pixel formats ScanLine hands out rows of a
// packed copy in that format, which is written back before the bitmap is next drawn on, drawn,
// saved or asked for its handle.
#pragma once

#include <vector>

#include "platform/drawing/GdiTypes.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Persistent.h"
#include "platform/runtime/Sets.h"

class TStream;
class TCanvas;
class TBitmap;
class TGraphic;

ORV_DECLARE_EXCEPTION(EInvalidGraphic, Exception);
ORV_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception);

// ---- Fonts, pens, brushes ---------------------------------------------------------------------

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = orv::Set<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontName = AnsiString;
using TFontCharset = Byte;

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
  pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
enum TBrushStyle {
  bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross
};

// The base of TFont, TPen and TBrush: a persistent object that reports its changes.
class TGraphicsObject : public TPersistent {
  ORV_CLASS(TGraphicsObject, TPersistent)
 public:
  TGraphicsObject() = default;

  TNotifyEvent GetOnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent value) { FOnChange = value; }

 protected:
  virtual void Changed();

 private:
  TNotifyEvent FOnChange;
};

class TFont : public TGraphicsObject {
  ORV_CLASS(TFont, TGraphicsObject)
 public:
  // "MS Sans Serif", 8 points (height -11 at 96 pixels per inch), clWindowText.
  TFont();
  ~TFont() override;

  void Assign(TPersistent* source) override;

  // The font handle, created on first use; stays owned by the font.
  HFONT GetHandle();
  // Adopts the description of `value` (the handle itself stays the caller's).
  void SetHandle(HFONT value);
  bool HandleAllocated() const { return FHandle != nullptr; }

  TColor GetColor() const { return FColor; }
  void SetColor(TColor value);
  Integer GetHeight() const { return FHeight; }
  void SetHeight(Integer value);
  // Points: -Height * 72 / PixelsPerInch, rounded.
  Integer GetSize() const;
  void SetSize(Integer value);
  const TFontName& GetName() const { return FName; }
  void SetName(const TFontName& value);
  TFontStyles GetStyle() const { return FStyle; }
  void SetStyle(TFontStyles value);
  TFontPitch GetPitch() const { return FPitch; }
  void SetPitch(TFontPitch value);
  TFontCharset GetCharset() const { return FCharset; }
  void SetCharset(TFontCharset value);
  // Tenths of a degree, counter-clockwise (vertical text).
  Integer GetOrientation() const { return FOrientation; }
  void SetOrientation(Integer value);
  Integer GetPixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(Integer value) { FPixelsPerInch = value; }

  // The description the handle is made from.
  LOGFONT GetLogFont() const;

 protected:
  void Changed() override;

 private:
  void FreeHandle();

  HFONT FHandle = nullptr;
  TColor FColor;
  Integer FHeight = -11;
  TFontName FName;
  TFontStyles FStyle;
  TFontPitch FPitch = fpDefault;
  TFontCharset FCharset;
  Integer FOrientation = 0;
  Integer FPixelsPerInch = 96;
};

class TPen : public TGraphicsObject {
  ORV_CLASS(TPen, TGraphicsObject)
 public:
  TPen() = default;
  ~TPen() override;

  void Assign(TPersistent* source) override;
  HPEN GetHandle();
  void SetHandle(HPEN value);

  TColor GetColor() const { return FColor; }
  void SetColor(TColor value);
  Integer GetWidth() const { return FWidth; }
  void SetWidth(Integer value);
  TPenStyle GetStyle() const { return FStyle; }
  void SetStyle(TPenStyle value);
  TPenMode GetMode() const { return FMode; }
  void SetMode(TPenMode value);

 private:
  void FreeHandle();

  HPEN FHandle = nullptr;
  bool FOwnsHandle = true;
  TColor FColor = clBlack;
  Integer FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
};

class TBrush : public TGraphicsObject {
  ORV_CLASS(TBrush, TGraphicsObject)
 public:
  TBrush() = default;
  ~TBrush() override;

  void Assign(TPersistent* source) override;
  HBRUSH GetHandle();
  void SetHandle(HBRUSH value);

  TColor GetColor() const { return FColor; }
  // Setting a colour makes a clear brush solid.
  void SetColor(TColor value);
  TBrushStyle GetStyle() const { return FStyle; }
  void SetStyle(TBrushStyle value);
  // A pattern bitmap (not owned; the brush copies it into its handle).
  TBitmap* GetBitmap() const { return FBitmap; }
  void SetBitmap(TBitmap* value);

 private:
  void FreeHandle();

  HBRUSH FHandle = nullptr;
  bool FOwnsHandle = true;
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
  TBitmap* FBitmap = nullptr;
};

// ---- Canvas -----------------------------------------------------------------------------------

enum TCanvasStateItem { csHandleValid, csFontValid, csPenValid, csBrushValid };
using TCanvasState = orv::Set<TCanvasStateItem>;
using TCopyMode = LongInt;
enum TFillStyle { fsSurface, fsBorder };

constexpr TCopyMode cmBlackness = 0x00000042;
constexpr TCopyMode cmDstInvert = 0x00550009;
constexpr TCopyMode cmMergeCopy = 0x00C000CA;
constexpr TCopyMode cmMergePaint = 0x00BB0226;
constexpr TCopyMode cmNotSrcCopy = 0x00330008;
constexpr TCopyMode cmNotSrcErase = 0x001100A6;
constexpr TCopyMode cmPatCopy = 0x00F00021;
constexpr TCopyMode cmPatInvert = 0x005A0049;
constexpr TCopyMode cmPatPaint = 0x00FB0A09;
constexpr TCopyMode cmSrcAnd = 0x008800C6;
constexpr TCopyMode cmSrcCopy = 0x00CC0020;
constexpr TCopyMode cmSrcErase = 0x00440328;
constexpr TCopyMode cmSrcInvert = 0x00660046;
constexpr TCopyMode cmSrcPaint = 0x00EE0086;
constexpr TCopyMode cmWhiteness = 0x00FF0062;

class TCanvas : public TPersistent {
  ORV_CLASS(TCanvas, TPersistent)
 public:
  TCanvas();
  ~TCanvas() override;

  // ---- Drawing (each asks for the handle and the objects it uses) ----
  void BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& source, TColor color);
  void CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source);
  void Draw(Integer x, Integer y, TGraphic* graphic);
  void DrawFocusRect(const TRect& rect);
  void Ellipse(Integer x1, Integer y1, Integer x2, Integer y2);
  void Ellipse(const TRect& rect) { Ellipse(rect.Left, rect.Top, rect.Right, rect.Bottom); }
  void FillRect(const TRect& rect);
  void FrameRect(const TRect& rect);
  void LineTo(Integer x, Integer y);
  void MoveTo(Integer x, Integer y);
  void Polygon(const std::vector<TPoint>& points);
  void Polyline(const std::vector<TPoint>& points);
  void Rectangle(Integer x1, Integer y1, Integer x2, Integer y2);
  void Rectangle(const TRect& rect) { Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom); }
  void RoundRect(Integer x1, Integer y1, Integer x2, Integer y2, Integer x3, Integer y3);
  void StretchDraw(const TRect& rect, TGraphic* graphic);
  TSize TextExtent(const AnsiString& text);
  Integer TextHeight(const AnsiString& text) { return TextExtent(text).cy; }
  Integer TextWidth(const AnsiString& text) { return TextExtent(text).cx; }
  void TextOut(Integer x, Integer y, const AnsiString& text);
  // Text clipped to `rect` (opaque with the brush unless the brush is clear).
  void TextRect(const TRect& rect, Integer x, Integer y, const AnsiString& text);
  void Refresh();

  // ---- Lock (one thread here: a counter) ----
  void Lock() { ++FLockCount; }
  void Unlock() { if (FLockCount > 0) --FLockCount; }
  bool TryLock() { Lock(); return true; }
  Integer GetLockCount() const { return FLockCount; }

  // ---- Properties ----
  // The DC; asking for it creates it when the canvas can (CreateHandle), with every object
  // selected.
  HDC GetHandle();
  // Takes a DC made elsewhere (nullptr deselects the objects and forgets it).
  void SetHandle(HDC value);
  bool HandleAllocated() const { return FHandle != nullptr; }
  TRect GetClipRect();
  TPoint GetPenPos();
  void SetPenPos(TPoint value) { MoveTo(value.X, value.Y); }
  TColor GetPixels(Integer x, Integer y);
  void SetPixels(Integer x, Integer y, TColor value);
  TCopyMode GetCopyMode() const { return FCopyMode; }
  void SetCopyMode(TCopyMode value);
  // ETO_ flags added to TextOut / TextRect.
  Integer GetTextFlags() const { return FTextFlags; }
  void SetTextFlags(Integer value) { FTextFlags = value; }
  TFont* GetFont() const { return FFont; }
  void SetFont(TFont* value) { FFont->Assign(value); }
  TPen* GetPen() const { return FPen; }
  void SetPen(TPen* value) { FPen->Assign(value); }
  TBrush* GetBrush() const { return FBrush; }
  void SetBrush(TBrush* value) { FBrush->Assign(value); }
  TNotifyEvent GetOnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent value) { FOnChange = value; }
  TNotifyEvent GetOnChanging() const { return FOnChanging; }
  void SetOnChanging(TNotifyEvent value) { FOnChanging = value; }

  // Asks for parts of the state (handle, font, pen, brush) before drawing through the handle.
  void RequiredState(TCanvasState state);

 protected:
  virtual void Changed();
  virtual void Changing();
  // Makes the DC when a drawing call needs one; the base has none to make.
  virtual void CreateHandle() {}
  TCanvasState GetState() const { return FState; }

 private:
  void CreateFont();
  void CreatePen();
  void CreateBrush();
  void DeselectHandles();
  void FontChanged(TObject* sender);
  void PenChanged(TObject* sender);
  void BrushChanged(TObject* sender);

  HDC FHandle = nullptr;
  TCanvasState FState;
  TFont* FFont;
  TPen* FPen;
  TBrush* FBrush;
  TPoint FPenPos;
  TCopyMode FCopyMode = cmSrcCopy;
  Integer FTextFlags = 0;
  Integer FLockCount = 0;
  TNotifyEvent FOnChange;
  TNotifyEvent FOnChanging;
};

// ---- Graphics ---------------------------------------------------------------------------------

class TGraphic : public TPersistent {
  ORV_CLASS(TGraphic, TPersistent)
 public:
  TGraphic() = default;

  virtual bool GetEmpty() const = 0;
  virtual Integer GetHeight() const = 0;
  virtual Integer GetWidth() const = 0;
  virtual void SetHeight(Integer value) = 0;
  virtual void SetWidth(Integer value) = 0;
  virtual void LoadFromStream(TStream* stream) = 0;
  virtual void SaveToStream(TStream* stream) = 0;
  virtual bool GetTransparent() const { return FTransparent; }
  virtual void SetTransparent(bool value);
  virtual HPALETTE GetPalette() { return nullptr; }
  virtual void SetPalette(HPALETTE value) {}
  virtual void SetSize(Integer width, Integer height) {
    SetWidth(width);
    SetHeight(height);
  }

  void LoadFromFile(const AnsiString& fileName);
  void SaveToFile(const AnsiString& fileName);
  // Same class and same saved bytes.
  virtual bool Equals(TGraphic* graphic);

  bool GetModified() const { return FModified; }
  void SetModified(bool value);
  TNotifyEvent GetOnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent value) { FOnChange = value; }

  // The form-description "Data" of a graphic: the graphic's own file format (a bitmap puts its
  // byte count first). The form reader and writer call these.
  virtual void ReadData(TStream* stream);
  virtual void WriteData(TStream* stream);
  // Stores the graphic in a form description as the binary "Data" (nothing for an empty one).
  void DefineProperties(TFiler* filer) override;

  // The clipboard form of a graphic: a packed device-independent bitmap (CF_DIB) in global
  // memory; every kind of graphic offers itself as a bitmap. Loading takes CF_DIB; EInvalidGraphic
  // for another format.
  virtual void SaveToClipboardFormat(Word& format, HANDLE& data, HPALETTE& palette);
  virtual void LoadFromClipboardFormat(Word format, HANDLE data, HPALETTE palette);

  // Draws the graphic into `rect` of the canvas (stretched to it); TCanvas::Draw and StretchDraw
  // call it.
  virtual void Draw(TCanvas* canvas, const TRect& rect) = 0;

  virtual void Changed(TObject* sender);

 private:
  bool FTransparent = false;
  bool FModified = false;
  TNotifyEvent FOnChange;
};

using TGraphicClass = orv::ClassOf<TGraphic>;

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };
enum TBitmapHandleType { bmDIB, bmDDB };

// Bits per pixel of a pixel format (pfDevice: the screen's 32; pfCustom: 0).
Integer PixelFormatBits(TPixelFormat format);

class TBitmapCanvas;

class TBitmap : public TGraphic {
  ORV_CLASS(TBitmap, TGraphic)
 public:
  TBitmap();
  ~TBitmap() override;

  void Assign(TPersistent* source) override;

  bool GetEmpty() const override { return FWidth == 0 || FHeight == 0; }
  Integer GetHeight() const override { return FHeight; }
  Integer GetWidth() const override { return FWidth; }
  void SetHeight(Integer value) override { SetSize(FWidth, value); }
  void SetWidth(Integer value) override { SetSize(value, FHeight); }
  // Keeps the picture in the top-left corner; new area takes the canvas brush (white).
  void SetSize(Integer width, Integer height) override;

  // A Windows bitmap file (BITMAPFILEHEADER, header, colour table, bits). EInvalidGraphic for
  // data that is not one.
  void LoadFromStream(TStream* stream) override;
  void SaveToStream(TStream* stream) override;
  // Byte count (32 bits) then the bitmap file.
  void ReadData(TStream* stream) override;
  void WriteData(TStream* stream) override;

  void Draw(TCanvas* canvas, const TRect& rect) override;

  TCanvas* GetCanvas();
  // The bitmap handle (made when the bitmap has a size); stays owned by the bitmap.
  HBITMAP GetHandle();
  // Takes ownership of `value` (nullptr empties the bitmap).
  void SetHandle(HBITMAP value);
  bool HandleAllocated() const { return FHandle != nullptr; }
  // Gives up the handle: the caller owns it and the bitmap becomes empty.
  HBITMAP ReleaseHandle();
  // A monochrome mask: white where the transparent colour is, black elsewhere (owned).
  HBITMAP GetMaskHandle();
  HBITMAP ReleaseMaskHandle();
  TBitmapHandleType GetHandleType() const { return FHandleType; }
  void SetHandleType(TBitmapHandleType value);
  void Dormant() {}
  void FreeImage() {}
  void Mask(TColor transparentColor);

  TPixelFormat GetPixelFormat() const { return FPixelFormat; }
  // Converts the picture to the new format.
  void SetPixelFormat(TPixelFormat value);
  bool GetMonochrome() const { return FPixelFormat == pf1bit; }
  void SetMonochrome(bool value);
  bool GetIgnorePalette() const { return FIgnorePalette; }
  void SetIgnorePalette(bool value) { FIgnorePalette = value; }

  // Row `row` (0 = the top row) in the bitmap's pixel format; rows are 4-byte aligned.
  // EInvalidGraphicOperation for a row outside the bitmap.
  void* ScanLine(Integer row);

  // tmAuto: the colour of the bottom-left pixel (with bit 0x02000000); tmFixed: the value set.
  TColor GetTransparentColor();
  void SetTransparentColor(TColor value);
  TTransparentMode GetTransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode value);

  void Changed(TObject* sender) override;

 protected:
  void AssignTo(TPersistent* dest) override;

 private:
  friend class TBitmapCanvas;
  HBITMAP NewHandle(Integer width, Integer height, TPixelFormat format);
  void ReplaceHandle(HBITMAP handle, Integer width, Integer height, TPixelFormat format);
  void FlushScanLines();
  void FreeMask();
  void Changing(TObject* sender) { FlushScanLines(); FreeMask(); }

  HBITMAP FHandle = nullptr;
  HBITMAP FMaskHandle = nullptr;
  Integer FWidth = 0;
  Integer FHeight = 0;
  TPixelFormat FPixelFormat = pfDevice;
  TBitmapHandleType FHandleType = bmDDB;
  TBitmapCanvas* FCanvas = nullptr;
  TColor FTransparentColor = clDefault;
  TTransparentMode FTransparentMode = tmAuto;
  bool FIgnorePalette = false;
  std::vector<Byte> FScanLines;  // packed rows of a format other than 32 bits
  bool FScanLinesValid = false;
};

// The canvas of a bitmap: a memory DC with the bitmap selected, made on first use.
class TBitmapCanvas : public TCanvas {
  ORV_CLASS(TBitmapCanvas, TCanvas)
 public:
  explicit TBitmapCanvas(TBitmap* bitmap) : FBitmap(bitmap) {}
  ~TBitmapCanvas() override;
  // Releases the DC (and with it the bitmap's selection).
  void FreeContext();

 protected:
  void CreateHandle() override;
  void Changing() override;

 private:
  TBitmap* FBitmap;
  HDC FDC = nullptr;
  HGDIOBJ FOldBitmap = nullptr;
};

// An icon: a picture with a mask or per-pixel alpha, read from and written to .ico files (the
// first image of the file is used).
class TIcon : public TGraphic {
  ORV_CLASS(TIcon, TGraphic)
 public:
  TIcon();
  ~TIcon() override;

  void Assign(TPersistent* source) override;
  bool GetEmpty() const override;
  Integer GetHeight() const override;
  Integer GetWidth() const override;
  void SetHeight(Integer value) override;
  void SetWidth(Integer value) override;
  void LoadFromStream(TStream* stream) override;
  void SaveToStream(TStream* stream) override;
  void Draw(TCanvas* canvas, const TRect& rect) override;
  bool GetTransparent() const override { return true; }

  // The picture as a 32-bit bitmap with alpha (straight, not premultiplied).
  TBitmap* GetImage() const { return FImage; }

 protected:
  void AssignTo(TPersistent* dest) override;

 private:
  TBitmap* FImage;
};

// ---- Picture ----------------------------------------------------------------------------------

// Holds one graphic of any registered kind; loads files by their extension.
class TPicture : public TPersistent {
  ORV_CLASS(TPicture, TPersistent)
 public:
  TPicture() = default;
  ~TPicture() override;

  void Assign(TPersistent* source) override;

  TGraphic* GetGraphic() const { return FGraphic; }
  // Copies `value` into a new graphic of its class (nullptr clears).
  void SetGraphic(TGraphic* value);
  // The graphic as a bitmap; replaces another kind of graphic with an empty bitmap.
  TBitmap* GetBitmap();
  void SetBitmap(TBitmap* value) { SetGraphic(value); }
  TIcon* GetIcon();
  void SetIcon(TIcon* value) { SetGraphic(value); }
  Integer GetWidth() const;
  Integer GetHeight() const;

  // By the file's extension among the registered formats; EInvalidGraphic for an unknown one.
  void LoadFromFile(const AnsiString& fileName);
  void SaveToFile(const AnsiString& fileName);
  // Recognizes the format by the data's first bytes (bitmap, icon, JPEG, PNG ...).
  void LoadFromStream(TStream* stream);
  void SaveToStream(TStream* stream);

  // The form-description "Data" of a picture: the graphic's class name (length byte, then the
  // name) followed by the graphic's own data.
  void ReadData(TStream* stream);
  void WriteData(TStream* stream);
  // Stores the picture in a form description as the binary "Data" (nothing without a graphic).
  void DefineProperties(TFiler* filer) override;

  static void RegisterFileFormat(const AnsiString& extension, const AnsiString& description,
                                 TGraphicClass graphicClass);
  static void UnregisterGraphicClass(TGraphicClass graphicClass);
  // Asked by LoadFromStream: answers whether the first bytes belong to the format.
  using TSignatureTest = bool (*)(const Byte* data, Integer size);
  static void RegisterSignature(TGraphicClass graphicClass, TSignatureTest test);
  // Bitmaps (CF_DIB, and CF_BITMAP made from it) can be pasted into a picture.
  static bool SupportsClipboardFormat(Word format);
  void LoadFromClipboardFormat(Word format, HANDLE data, HPALETTE palette);

  TNotifyEvent GetOnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent value) { FOnChange = value; }

 protected:
  void AssignTo(TPersistent* dest) override;
  virtual void Changed(TObject* sender);

 private:
  void ForceType(TGraphicClass graphicClass);
  void Adopt(TGraphic* graphic);

  TGraphic* FGraphic = nullptr;
  TNotifyEvent FOnChange;
};

// "All (*.bmp;*.jpg)|*.bmp;*.jpg|Bitmaps (*.bmp)|*.bmp|..." for the graphics of `graphicClass`.
AnsiString GraphicFilter(TGraphicClass graphicClass);
// The default extension (without the dot) of a graphic class ("bmp").
AnsiString GraphicExtension(TGraphicClass graphicClass);
// The graphic class registered for an extension ("jpg", ".JPG"), or nullptr.
TGraphicClass GraphicClassForExtension(const AnsiString& extension);

namespace orv {

// The raster operation (R2_ code) a pen mode draws with.
int PenModeRop(TPenMode mode);

// Draws a 32-bit bitmap of straight (not premultiplied) alpha blended into `rect` of the canvas
// (icons and PNG pictures keep their pixels so).
void DrawStraightAlpha(TCanvas* canvas, const TRect& rect, TBitmap* bitmap);

}  // namespace orv

// The colour names of form descriptions and their values.
TColor StringToColor(const AnsiString& text);
AnsiString ColorToString(TColor color);
bool IdentToColor(const AnsiString& ident, Integer& color);
bool ColorToIdent(Integer color, AnsiString& ident);
