// JPEG pictures through libjpeg: the compressed data is kept as loaded and decoded into a 24-bit
// bitmap when the picture is first drawn or converted; a bitmap assigned to the picture is
// compressed when the data is first asked for.
//
// Decoding never lets libjpeg end the process: its errors come back to the picture, and data
// that cannot be decoded gives an empty picture.
#pragma once

#include "platform/controls/Graphics.h"

class TMemoryStream;

ORV_DECLARE_EXCEPTION(EJPEG, EInvalidGraphic);

enum TJPEGPerformance { jpBestQuality, jpBestSpeed };
enum TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };
enum TJPEGPixelFormat { jf24Bit, jf8Bit };

class TJPEGImage : public TGraphic {
  ORV_CLASS(TJPEGImage, TGraphic)
 public:
  TJPEGImage();
  ~TJPEGImage() override;

  // From another JPEG picture (its data) or from a bitmap (compressed on demand).
  void Assign(TPersistent* source) override;

  bool GetEmpty() const override;
  Integer GetHeight() const override;
  Integer GetWidth() const override;
  // A JPEG picture keeps the size of its data.
  void SetHeight(Integer value) override;
  void SetWidth(Integer value) override;
  // Takes the rest of the stream as the picture's data.
  void LoadFromStream(TStream* stream) override;
  void SaveToStream(TStream* stream) override;
  void Draw(TCanvas* canvas, const TRect& rect) override;

  // Whether the whole data decodes without damage: libjpeg only warns about a stream that is cut
  // short or has broken segments (and fills the rest with grey), so a loader that must refuse
  // such files asks this. An empty picture is not intact; an assigned bitmap is.
  bool IsIntact() const;
  // Compresses the bitmap into new data (after changing the quality, say).
  void Compress();
  // Makes sure the decoded bitmap / the compressed data exist.
  void DIBNeeded();
  void JPEGNeeded();

  // 1 .. 100; used when compressing.
  Integer GetCompressionQuality() const { return FQuality; }
  void SetCompressionQuality(Integer value);
  bool GetGrayscale() const { return FGrayscale; }
  void SetGrayscale(bool value);
  bool GetProgressiveEncoding() const { return FProgressive; }
  void SetProgressiveEncoding(bool value) { FProgressive = value; }
  TJPEGPerformance GetPerformance() const { return FPerformance; }
  void SetPerformance(TJPEGPerformance value);
  TJPEGScale GetScale() const { return FScale; }
  void SetScale(TJPEGScale value);
  TJPEGPixelFormat GetPixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TJPEGPixelFormat value);
  bool GetSmoothing() const { return FSmoothing; }
  void SetSmoothing(bool value) { FSmoothing = value; }

  // The decoded picture (nullptr while nothing is decoded).
  TBitmap* GetBitmap() const { return FBitmap; }

 protected:
  void AssignTo(TPersistent* dest) override;

 private:
  void FreeBitmap();
  void ReadHeader();

  TMemoryStream* FData;
  TBitmap* FBitmap = nullptr;
  Integer FWidth = 0;   // of the data at full size
  Integer FHeight = 0;
  Integer FQuality = 90;
  bool FGrayscale = false;
  bool FProgressive = false;
  bool FSmoothing = true;
  TJPEGPerformance FPerformance = jpBestQuality;
  TJPEGScale FScale = jsFullSize;
  TJPEGPixelFormat FPixelFormat = jf24Bit;
};
