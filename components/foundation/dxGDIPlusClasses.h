// Alpha images and the PNG picture.
//
// TdxGPImage is a 32-bit image with premultiplied alpha: made from a platform bitmap, from
// pixels or from a stream (PNG, or a bitmap file), cloned, blended with another image of its
// size, saved as PNG and drawn scaled and alpha-blended on a DC. TdxPNGImage is a platform
// graphic holding one such image, registered with the picture class for the extension "png".
//
// The design draws them with GDI+, which this platform lacks (dxGDIPlusApi answers "not
// available"); the images do the same work on the platform's own bitmaps, PNG coder and
// alpha blending, so the image class in use is TdxGPImage from the start.
#pragma once

#include <vector>

#include "components/foundation/dxGDIPlusApi.h"
#include "platform/controls/Graphics.h"
#include "platform/runtime/Object.h"
#include "platform/runtime/Types.h"

class TStream;
class TMemoryStream;

// 32-bit pixels, top row first: blue, green, red, alpha from the low byte.
using TdxRGBColors = std::vector<Cardinal>;

// The pixels of a platform bitmap as a top-down 32-bit array (width x height entries).
void GetBitmapColors(TBitmap* bitmap, TdxRGBColors& colors);

class TdxGPImage;
using TdxGPImageClass = orv::ClassOf<TdxGPImage>;

class TdxGPImage : public TdxGPBase {
  ORV_CLASS(TdxGPImage, TdxGPBase)
 public:
  // An empty image; the constructors of the design are the Create functions below, which make
  // the image through a class reference and fill it.
  TdxGPImage() = default;

  // Made as `imageClass` (the image class in use when omitted).
  static TdxGPImage* CreateFromBitmap(TBitmap* bitmap, TdxGPImageClass imageClass = nullptr);
  // Keeps the pixels as premultiplied colours; without alpha every alpha byte becomes 255.
  static TdxGPImage* CreateFromBits(Integer width, Integer height, const TdxRGBColors& bits,
                                    Boolean hasAlpha, TdxGPImageClass imageClass = nullptr);
  // A stream of more than 13 bytes beginning "BM" is read as a bitmap file, any other as an
  // image file; a shorter stream gives an empty image.
  static TdxGPImage* CreateFromStream(TStream* stream, TdxGPImageClass imageClass = nullptr);

  // The image of the rest of the stream; EAssertionFailed "Invalid operation in GDI+" for data
  // that is no image.
  virtual void LoadFromStream(TStream* stream);
  // The image fills from a bitmap, pixels or a stream (what the Create functions call).
  virtual void AssignBitmap(TBitmap* bitmap);
  virtual void AssignBits(Integer width, Integer height, const TdxRGBColors& bits, Boolean hasAlpha);
  virtual void AssignStream(TStream* stream);

  TdxGPImage* Clone() const;
  // Each byte of each pixel moved `alpha` / 255 of the way to the other image's byte (rounded
  // to nearest, halves to even). nullptr when this image was not made from pixels or the sizes
  // differ.
  TdxGPImage* MixWith(const TdxGPImage* other, Byte alpha) const;
  // PNG.
  void SaveToStream(TStream* stream) const;
  // The whole image scaled into `dest`, alpha-blended.
  void DrawOnDC(HDC dc, const TRect& dest) const;
  // `source` of the image scaled into `dest`; nothing when `dest` is not visible on the DC.
  void DrawOnDC(HDC dc, const TRect& dest, const TRect& source) const;

  Integer GetWidth() const { return FWidth; }
  Integer GetHeight() const { return FHeight; }
  Boolean IsEmpty() const { return FWidth <= 0 || FHeight <= 0; }
  // Made from pixels (the design's own pixel array).
  Boolean HasBits() const { return FHasBits; }
  // The premultiplied pixels, top row first.
  const TdxRGBColors& GetPixels() const { return FPixels; }

 protected:
  void SetPixels(Integer width, Integer height, TdxRGBColors pixels, Boolean hasBits);

 private:
  Integer FWidth = 0;
  Integer FHeight = 0;
  TdxRGBColors FPixels;
  Boolean FHasBits = false;
};

// The image class of a build without image support: every image stays empty.
class TdxGPNullImage : public TdxGPImage {
  ORV_CLASS(TdxGPNullImage, TdxGPImage)
 public:
  TdxGPNullImage() = default;
  void LoadFromStream(TStream* stream) override {}
  void AssignBitmap(TBitmap* bitmap) override {}
  void AssignBits(Integer width, Integer height, const TdxRGBColors& bits, Boolean hasAlpha) override {}
  void AssignStream(TStream* stream) override {}
};

// The image class every image of the pictures and of fading is made as.
TdxGPImageClass GetGPImageClass();
void SetGPImageClass(TdxGPImageClass value);

// ---- PNG picture ----------------------------------------------------------------------------------

class TdxPNGImage : public TGraphic {
  ORV_CLASS(TdxPNGImage, TGraphic)
 public:
  TdxPNGImage();
  ~TdxPNGImage() override;

  // A platform bitmap, or another PNG picture (its image cloned).
  void Assign(TPersistent* source) override;
  void Changed(TObject* sender) override;
  void Draw(TCanvas* canvas, const TRect& rect) override;
  bool GetEmpty() const override;
  Integer GetHeight() const override;
  Integer GetWidth() const override;
  bool GetTransparent() const override { return true; }
  // The size comes from the image.
  void SetHeight(Integer value) override {}
  void SetWidth(Integer value) override {}
  // An empty stream clears the picture.
  void LoadFromStream(TStream* stream) override;
  // PNG; nothing without an image.
  void SaveToStream(TStream* stream) override;
  void LoadFromClipboardFormat(Word format, HANDLE data, HPALETTE palette) override;
  void SaveToClipboardFormat(Word& format, HANDLE& data, HPALETTE& palette) override;

  // Same size, and either picture empty or every pixel equal.
  virtual Boolean HasSameContent(TdxPNGImage* other);
  // A new 32-bit bitmap with the image's (premultiplied) pixels; the caller frees it.
  virtual TBitmap* CreateBitmap();
  virtual void AssignFromPersistent(TPersistent* source);
  virtual void DrawWhole(HDC dc, const TRect& rect);
  virtual void DrawOnDC(HDC dc, const TRect& dest, const TRect& source);

  TdxGPImage* GetImage() const { return FImage; }
  // Takes the image (nullptr clears); the current one is freed.
  void SetImage(TdxGPImage* value);
  Boolean GetIsAlphaUsed() const { return FIsAlphaUsed; }
  void SetIsAlphaUsed(Boolean value) { FIsAlphaUsed = value; }

 protected:
  void AssignTo(TPersistent* dest) override;

 private:
  TdxGPImage* FImage = nullptr;
  Boolean FIsAlphaUsed = false;
};
