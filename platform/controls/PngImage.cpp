#include "platform/controls/PngImage.h"

#include <cstring>
#include <memory>
#include <vector>

#include <png.h>

#include "platform/drawing/Gdi.h"
#include "platform/drawing/Surface.h"
#include "platform/runtime/Streams.h"

TPngImage::TPngImage() : FBitmap(new TBitmap) { FBitmap->SetPixelFormat(pf32bit); }

TPngImage::~TPngImage() { FBitmap->Free(); }

bool TPngImage::GetEmpty() const { return FBitmap->GetEmpty(); }
Integer TPngImage::GetHeight() const { return FBitmap->GetHeight(); }
Integer TPngImage::GetWidth() const { return FBitmap->GetWidth(); }

void TPngImage::SetWidth(Integer value) {
  FBitmap->SetWidth(value);
  Changed(this);
}

void TPngImage::SetHeight(Integer value) {
  FBitmap->SetHeight(value);
  Changed(this);
}

void TPngImage::LoadFromStream(TStream* stream) {
  const Int64 rest = stream->GetSize() - stream->GetPosition();
  if (rest <= 0 || rest > Int64(1) << 30) throw EInvalidGraphic("PNG image is not valid");
  std::vector<Byte> data(static_cast<std::size_t>(rest));
  stream->ReadBuffer(data.data(), Integer(data.size()));
  // The simplified reader keeps libpng's errors to itself and answers 0.
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size()))
    throw EInvalidGraphic("PNG image is not valid");
  image.format = PNG_FORMAT_BGRA;
  if (image.width == 0 || image.height == 0 || image.width > 32767 || image.height > 32767) {
    png_image_free(&image);
    throw EInvalidGraphic("PNG image is not valid");
  }
  const Integer w = Integer(image.width), h = Integer(image.height);
  std::vector<orv::TPixel> pixels(std::size_t(w) * std::size_t(h));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
    png_image_free(&image);
    throw EInvalidGraphic("PNG image is not valid");
  }
  std::unique_ptr<TBitmap, orv::FreeDeleter> bitmap(new TBitmap);
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(w, h);
  for (Integer y = 0; y < h; ++y)
    std::memcpy(bitmap->ScanLine(y), pixels.data() + std::size_t(y) * std::size_t(w), std::size_t(w) * 4);
  FBitmap->Assign(bitmap.get());
  Changed(this);
}

void TPngImage::SaveToStream(TStream* stream) {
  if (GetEmpty()) return;
  const Integer w = GetWidth(), h = GetHeight();
  std::vector<orv::TPixel> pixels(std::size_t(w) * std::size_t(h));
  bool opaque = true;
  for (Integer y = 0; y < h; ++y) {
    const auto* row = static_cast<const orv::TPixel*>(FBitmap->ScanLine(y));
    std::memcpy(pixels.data() + std::size_t(y) * std::size_t(w), row, std::size_t(w) * 4);
    for (Integer x = 0; x < w && opaque; ++x) opaque = orv::PixelAlpha(row[x]) == 255;
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(w);
  image.height = png_uint_32(h);
  image.format = PNG_FORMAT_BGRA;
  std::vector<Byte> rgb;
  const void* buffer = pixels.data();
  if (opaque) {
    image.format = PNG_FORMAT_BGR;
    rgb.resize(pixels.size() * 3);
    for (std::size_t i = 0; i < pixels.size(); ++i) std::memcpy(&rgb[i * 3], &pixels[i], 3);
    buffer = rgb.data();
  }
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, buffer, 0, nullptr))
    throw EInvalidGraphic("PNG image cannot be written");
  std::vector<Byte> out(size);
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, buffer, 0, nullptr))
    throw EInvalidGraphic("PNG image cannot be written");
  stream->WriteBuffer(out.data(), Integer(size));
}

void TPngImage::Draw(TCanvas* canvas, const TRect& rect) {
  if (!GetEmpty()) orv::DrawStraightAlpha(canvas, rect, FBitmap);
}

void TPngImage::Assign(TPersistent* source) {
  if (auto* p = dynamic_cast<TPngImage*>(source)) {
    if (p == this) return;
    FBitmap->Assign(p->FBitmap);
    Changed(this);
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(source)) {
    const bool keepAlpha = b->GetPixelFormat() == pf32bit;
    FBitmap->Assign(b);
    FBitmap->SetPixelFormat(pf32bit);
    if (!keepAlpha)
      for (Integer y = 0; y < FBitmap->GetHeight(); ++y) {
        auto* row = static_cast<orv::TPixel*>(FBitmap->ScanLine(y));
        for (Integer x = 0; x < FBitmap->GetWidth(); ++x) row[x] |= 0xFF000000u;
      }
    Changed(this);
    return;
  }
  inherited::Assign(source);
}

void TPngImage::AssignTo(TPersistent* dest) {
  if (auto* b = dynamic_cast<TBitmap*>(dest)) {
    b->Assign(FBitmap);
    return;
  }
  inherited::AssignTo(dest);
}
