// PNG pictures through libpng: the picture is a 32-bit bitmap with straight (not premultiplied)
// alpha, drawn alpha-blended. Data that cannot be decoded raises EInvalidGraphic and leaves the
// picture as it was.
#pragma once

#include "platform/controls/Graphics.h"

class TPngImage : public TGraphic {
  ORV_CLASS(TPngImage, TGraphic)
 public:
  TPngImage();
  ~TPngImage() override;

  // From another PNG picture or from a bitmap (a 32-bit bitmap keeps its alpha; other bitmaps
  // become opaque).
  void Assign(TPersistent* source) override;

  bool GetEmpty() const override;
  Integer GetHeight() const override;
  Integer GetWidth() const override;
  void SetHeight(Integer value) override;
  void SetWidth(Integer value) override;
  bool GetTransparent() const override { return true; }
  void LoadFromStream(TStream* stream) override;
  // Writes RGBA, or RGB when every pixel is opaque.
  void SaveToStream(TStream* stream) override;
  void Draw(TCanvas* canvas, const TRect& rect) override;

  // The pixels: a pf32bit bitmap, alpha in the high byte.
  TBitmap* GetBitmap() const { return FBitmap; }

 protected:
  void AssignTo(TPersistent* dest) override;

 private:
  TBitmap* FBitmap;
};
