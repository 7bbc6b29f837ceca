#include "components/foundation/dxGDIPlusClasses.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "platform/controls/PngImage.h"
#include "platform/drawing/Gdi.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"

namespace {

using TBitmapPtr = std::unique_ptr<TBitmap, orv::FreeDeleter>;
using TImagePtr = std::unique_ptr<TdxGPImage, orv::FreeDeleter>;

TdxGPImageClass& ImageClass() {
  static TdxGPImageClass imageClass = TdxGPImage::StaticClass();
  return imageClass;
}

TdxGPImage* NewImage(TdxGPImageClass imageClass) {
  return (imageClass ? imageClass : ImageClass()).Create();
}

Cardinal Premultiply(Cardinal p) {
  const Cardinal a = p >> 24;
  if (a == 255) return p;
  auto mul = [a](Cardinal c) { return (c * a + 127) / 255; };
  return (a << 24) | (mul((p >> 16) & 0xFF) << 16) | (mul((p >> 8) & 0xFF) << 8) | mul(p & 0xFF);
}

Cardinal Unpremultiply(Cardinal p) {
  const Cardinal a = p >> 24;
  if (a == 255) return p;
  if (a == 0) return 0;
  auto div = [a](Cardinal c) { return std::min<Cardinal>(255, (c * 255 + a / 2) / a); };
  return (a << 24) | (div((p >> 16) & 0xFF) << 16) | (div((p >> 8) & 0xFF) << 8) | div(p & 0xFF);
}

// A 32-bit bitmap with the pixels, top row first.
TBitmap* BitmapOfPixels(Integer width, Integer height, const TdxRGBColors& pixels) {
  TBitmapPtr bitmap(new TBitmap);
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(width, height);
  for (Integer y = 0; y < height; ++y)
    std::memcpy(bitmap->ScanLine(y), pixels.data() + std::size_t(y) * std::size_t(width),
                std::size_t(width) * 4);
  bitmap->Changed(bitmap.get());
  return bitmap.release();
}

// The header of a top-down 32-bit device-independent bitmap.
BITMAPINFO TopDown32BitInfo(Integer width, Integer height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

Boolean IsPngSignature(const Byte* data, std::size_t size) {
  return size >= 8 && std::memcmp(data, "\x89PNG\r\n\x1A\n", 8) == 0;
}

}  // namespace

TdxGPImageClass GetGPImageClass() { return ImageClass(); }
void SetGPImageClass(TdxGPImageClass value) {
  ImageClass() = value ? value : TdxGPImageClass(TdxGPImage::StaticClass());
}

void GetBitmapColors(TBitmap* bitmap, TdxRGBColors& colors) {
  const Integer w = bitmap->GetWidth(), h = bitmap->GetHeight();
  colors.assign(std::size_t(w) * std::size_t(h), 0);
  if (w <= 0 || h <= 0) return;
  BITMAPINFO info = TopDown32BitInfo(w, h);
  HDC screen = orv::CreateScreenDC();
  const int lines = GetDIBits(screen, bitmap->GetHandle(), 0, UINT(h), colors.data(), &info,
                              DIB_RGB_COLORS);
  DeleteDC(screen);
  if (lines == h || bitmap->GetPixelFormat() != pf32bit) return;
  for (Integer y = 0; y < h; ++y)
    std::memcpy(colors.data() + std::size_t(y) * std::size_t(w), bitmap->ScanLine(y),
                std::size_t(w) * 4);
}

// ---- TdxGPImage -----------------------------------------------------------------------------------

TdxGPImage* TdxGPImage::CreateFromBitmap(TBitmap* bitmap, TdxGPImageClass imageClass) {
  TImagePtr image(NewImage(imageClass));
  image->AssignBitmap(bitmap);
  return image.release();
}

TdxGPImage* TdxGPImage::CreateFromBits(Integer width, Integer height, const TdxRGBColors& bits,
                                       Boolean hasAlpha, TdxGPImageClass imageClass) {
  TImagePtr image(NewImage(imageClass));
  image->AssignBits(width, height, bits, hasAlpha);
  return image.release();
}

TdxGPImage* TdxGPImage::CreateFromStream(TStream* stream, TdxGPImageClass imageClass) {
  TImagePtr image(NewImage(imageClass));
  image->AssignStream(stream);
  return image.release();
}

void TdxGPImage::SetPixels(Integer width, Integer height, TdxRGBColors pixels, Boolean hasBits) {
  FWidth = width;
  FHeight = height;
  FPixels = std::move(pixels);
  FHasBits = hasBits;
}

void TdxGPImage::AssignBitmap(TBitmap* bitmap) {
  EnsurePngEncoderClsid();
  TdxRGBColors colors;
  GetBitmapColors(bitmap, colors);
  AssignBits(bitmap->GetWidth(), bitmap->GetHeight(), colors,
             bitmap->GetPixelFormat() == pf32bit);
}

void TdxGPImage::AssignBits(Integer width, Integer height, const TdxRGBColors& bits,
                            Boolean hasAlpha) {
  if (width < 0 || height < 0 || bits.size() < std::size_t(width) * std::size_t(height))
    CheckGdiPlusStatus(2);  // an invalid parameter
  TdxRGBColors pixels(bits.begin(), bits.begin() + std::ptrdiff_t(width) * height);
  if (!hasAlpha)
    for (Cardinal& p : pixels) p |= 0xFF000000u;
  SetPixels(width, height, std::move(pixels), true);
}

void TdxGPImage::AssignStream(TStream* stream) {
  const Int64 remaining = stream->GetSize() - stream->GetPosition();
  if (remaining <= 13) return;
  Byte head[14];
  stream->ReadBuffer(head, 14);
  stream->Seek(-14, soCurrent);
  if (head[0] == 'B' && head[1] == 'M') {
    TBitmapPtr bitmap(new TBitmap);
    bitmap->LoadFromStream(stream);
    AssignBitmap(bitmap.get());
  } else {
    LoadFromStream(stream);
  }
}

void TdxGPImage::LoadFromStream(TStream* stream) {
  // The rest of the stream, decoded by the platform's graphics; data no decoder takes is a
  // failed image operation.
  const Int64 remaining = stream->GetSize() - stream->GetPosition();
  std::unique_ptr<TMemoryStream, orv::FreeDeleter> data(new TMemoryStream);
  if (remaining > 0) data->CopyFrom(stream, remaining);
  data->SetPosition(0);
  const auto* bytes = static_cast<const Byte*>(data->GetMemory());
  try {
    if (IsPngSignature(bytes, std::size_t(data->GetSize()))) {
      std::unique_ptr<TPngImage, orv::FreeDeleter> png(new TPngImage);
      png->LoadFromStream(data.get());
      TBitmap* straight = png->GetBitmap();
      TdxRGBColors pixels;
      GetBitmapColors(straight, pixels);
      for (Cardinal& p : pixels) p = Premultiply(p);
      SetPixels(straight->GetWidth(), straight->GetHeight(), std::move(pixels), false);
      return;
    }
    std::unique_ptr<TPicture, orv::FreeDeleter> picture(new TPicture);
    picture->LoadFromStream(data.get());
    TGraphic* graphic = picture->GetGraphic();
    if (!graphic || graphic->GetEmpty()) CheckGdiPlusStatus(2);
    TBitmapPtr bitmap(new TBitmap);
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(graphic->GetWidth(), graphic->GetHeight());
    bitmap->GetCanvas()->Draw(0, 0, graphic);
    TdxRGBColors pixels;
    GetBitmapColors(bitmap.get(), pixels);
    for (Cardinal& p : pixels) p |= 0xFF000000u;
    SetPixels(bitmap->GetWidth(), bitmap->GetHeight(), std::move(pixels), false);
  } catch (const EInvalidGraphic&) {
    CheckGdiPlusStatus(2);
  } catch (const EReadError&) {
    CheckGdiPlusStatus(2);
  }
}

TdxGPImage* TdxGPImage::Clone() const {
  if (FHasBits) return CreateFromBits(FWidth, FHeight, FPixels, true);
  TImagePtr image(NewImage(nullptr));
  image->SetPixels(FWidth, FHeight, FPixels, false);
  return image.release();
}

TdxGPImage* TdxGPImage::MixWith(const TdxGPImage* other, Byte alpha) const {
  if (!FHasBits || !other || other->FWidth != FWidth || other->FHeight != FHeight) return nullptr;
  const double a = alpha / 255.0;
  TdxRGBColors result(FPixels.size());
  for (std::size_t i = 0; i < FPixels.size(); ++i) {
    Cardinal mixed = 0;
    for (Integer shift = 0; shift < 32; shift += 8) {
      const double b = (FPixels[i] >> shift) & 0xFF, b2 = (other->FPixels[i] >> shift) & 0xFF;
      mixed |= Cardinal(std::nearbyint((1 - a) * b + a * b2)) << shift;
    }
    result[i] = mixed;
  }
  return CreateFromBits(FWidth, FHeight, result, true);
}

void TdxGPImage::SaveToStream(TStream* stream) const {
  if (IsEmpty()) CheckGdiPlusStatus(2);
  TdxRGBColors straight(FPixels.size());
  for (std::size_t i = 0; i < FPixels.size(); ++i) straight[i] = Unpremultiply(FPixels[i]);
  TBitmapPtr bitmap(BitmapOfPixels(FWidth, FHeight, straight));
  std::unique_ptr<TPngImage, orv::FreeDeleter> png(new TPngImage);
  png->Assign(bitmap.get());
  png->SaveToStream(stream);
}

void TdxGPImage::DrawOnDC(HDC dc, const TRect& dest) const {
  DrawOnDC(dc, dest, {0, 0, FWidth, FHeight});
}

void TdxGPImage::DrawOnDC(HDC dc, const TRect& dest, const TRect& source) const {
  if (IsEmpty() || !dc || !RectVisible(dc, &dest)) return;
  TRect src = source;
  // Scaling up reads one pixel less in each direction that grows, so that the last row and
  // column are not blended with what lies beyond the image.
  if (dest.Width() > src.Width() && src.Width() > 1) --src.Right;
  if (dest.Height() > src.Height() && src.Height() > 1) --src.Bottom;
  BITMAPINFO info = TopDown32BitInfo(FWidth, FHeight);
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!section) return;
  std::memcpy(bits, FPixels.data(), FPixels.size() * 4);
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, section);
  BLENDFUNCTION blend{};
  blend.BlendOp = AC_SRC_OVER;
  blend.SourceConstantAlpha = 255;
  blend.AlphaFormat = AC_SRC_ALPHA;
  AlphaBlend(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), memory, src.Left, src.Top,
             src.Width(), src.Height(), blend);
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(section);
}

// ---- TdxPNGImage ----------------------------------------------------------------------------------

TdxPNGImage::TdxPNGImage() = default;

TdxPNGImage::~TdxPNGImage() { orv::Free(FImage); }

void TdxPNGImage::SetImage(TdxGPImage* value) {
  if (value == FImage) return;
  orv::Free(FImage);
  FImage = value;
}

void TdxPNGImage::Assign(TPersistent* source) {
  if (auto* bitmap = dynamic_cast<TBitmap*>(source)) {
    IsGdiPlusAvailable();
    SetImage(TdxGPImage::CreateFromBitmap(bitmap));
    Changed(this);
  } else if (auto* png = dynamic_cast<TdxPNGImage*>(source)) {
    if (png == this) return;
    SetImage(png->FImage ? png->FImage->Clone() : nullptr);
    Changed(this);
  } else {
    inherited::Assign(source);
  }
}

void TdxPNGImage::AssignTo(TPersistent* dest) {
  if (auto* png = dynamic_cast<TdxPNGImage*>(dest)) {
    png->Assign(this);
  } else if (auto* bitmap = dynamic_cast<TBitmap*>(dest)) {
    TBitmapPtr temporary(CreateBitmap());
    bitmap->Assign(temporary.get());
  } else {
    inherited::AssignTo(dest);
  }
}

void TdxPNGImage::Changed(TObject* sender) {
  FIsAlphaUsed = false;
  inherited::Changed(sender);
}

void TdxPNGImage::Draw(TCanvas* canvas, const TRect& rect) {
  DrawOnDC(canvas->GetHandle(), rect, {0, 0, GetWidth(), GetHeight()});
}

bool TdxPNGImage::GetEmpty() const { return GetWidth() < 1 || GetHeight() < 1; }
Integer TdxPNGImage::GetHeight() const { return FImage ? FImage->GetHeight() : 0; }
Integer TdxPNGImage::GetWidth() const { return FImage ? FImage->GetWidth() : 0; }

void TdxPNGImage::LoadFromStream(TStream* stream) {
  if (stream->GetSize() - stream->GetPosition() <= 0)
    SetImage(nullptr);
  else
    SetImage(TdxGPImage::CreateFromStream(stream));
  Changed(this);
}

void TdxPNGImage::SaveToStream(TStream* stream) {
  if (!FImage) return;
  std::unique_ptr<TMemoryStream, orv::FreeDeleter> memory(new TMemoryStream);
  FImage->SaveToStream(memory.get());
  memory->SetPosition(0);
  stream->CopyFrom(memory.get(), memory->GetSize());
}

void TdxPNGImage::LoadFromClipboardFormat(Word format, HANDLE data, HPALETTE palette) {
  TBitmapPtr bitmap(new TBitmap);
  bitmap->SetPixelFormat(pf32bit);
  bitmap->LoadFromClipboardFormat(format, data, palette);
  AssignFromPersistent(bitmap.get());
}

void TdxPNGImage::SaveToClipboardFormat(Word& format, HANDLE& data, HPALETTE& palette) {
  TBitmapPtr bitmap(new TBitmap);
  bitmap->SetSize(GetWidth(), GetHeight());
  bitmap->GetCanvas()->GetBrush()->SetColor(clWhite);
  bitmap->GetCanvas()->FillRect({0, 0, GetWidth(), GetHeight()});
  Draw(bitmap->GetCanvas(), {0, 0, GetWidth(), GetHeight()});
  bitmap->SaveToClipboardFormat(format, data, palette);
}

Boolean TdxPNGImage::HasSameContent(TdxPNGImage* other) {
  if (!other || GetWidth() != other->GetWidth() || GetHeight() != other->GetHeight()) return false;
  if (GetEmpty() || other->GetEmpty()) return true;
  TBitmapPtr mine(CreateBitmap()), theirs(other->CreateBitmap());
  TdxRGBColors a, b;
  GetBitmapColors(mine.get(), a);
  GetBitmapColors(theirs.get(), b);
  return a == b;
}

TBitmap* TdxPNGImage::CreateBitmap() {
  if (!FImage) {
    TBitmapPtr bitmap(new TBitmap);
    bitmap->SetPixelFormat(pf32bit);
    return bitmap.release();
  }
  return BitmapOfPixels(FImage->GetWidth(), FImage->GetHeight(), FImage->GetPixels());
}

void TdxPNGImage::AssignFromPersistent(TPersistent* source) {
  auto* bitmap = dynamic_cast<TBitmap*>(source);
  if (!bitmap) {
    // Anything else goes through a bitmap of its own.
    TBitmapPtr temporary(new TBitmap);
    temporary->Assign(source);
    SetImage(TdxGPImage::CreateFromBitmap(temporary.get()));
  } else {
    SetImage(TdxGPImage::CreateFromBitmap(bitmap));
  }
  Changed(this);
}

void TdxPNGImage::DrawWhole(HDC dc, const TRect& rect) {
  DrawOnDC(dc, rect, {0, 0, GetWidth(), GetHeight()});
}

void TdxPNGImage::DrawOnDC(HDC dc, const TRect& dest, const TRect& source) {
  if (FImage) FImage->DrawOnDC(dc, dest, source);
}

// ---- Unit start and end ---------------------------------------------------------------------------

namespace {

void InitializeImages() {
  // The platform's images need no library: the working image class is in use from the start.
  SetGPImageClass(TdxGPImage::StaticClass());
  EnsurePngEncoderClsid();
  RegisterClass(TdxPNGImage::StaticClass());
  TPicture::RegisterFileFormat("png", "Portable Network Graphics", TdxPNGImage::StaticClass());
}

void FinalizeImages() {
  TPicture::UnregisterGraphicClass(TdxPNGImage::StaticClass());
  UnRegisterClass(TdxPNGImage::StaticClass());
}

struct TImagesUnit {
  TImagesUnit() {
    // The registries this unit writes to at its end must outlive it: made before the loader.
    GraphicClassForExtension("png");
    GetClass("TdxPNGImage");
    GetUnitsLoader()->AddUnit(InitializeImages, FinalizeImages);
  }
  ~TImagesUnit() {
    if (TdxUnitsLoader* loader = GetUnitsLoader()) loader->RemoveUnit(FinalizeImages);
  }
};

TImagesUnit gImagesUnit;

}  // namespace
