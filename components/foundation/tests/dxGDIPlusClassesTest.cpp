// Alpha images and the PNG picture on the platform's bitmaps.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <cstring>
#include <memory>
#include <string>

#include "components/foundation/dxGDIPlusClasses.h"
#include "components/foundation/tests/PaintFixture.h"
#include "platform/controls/PngImage.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"
#include "platform/windowing/User.h"

namespace {

using paint_test::TPaintDC;
template <class T>
using Ptr = std::unique_ptr<T, orv::FreeDeleter>;

constexpr Cardinal kArgbRed = 0xFFFF0000u, kArgbBlue = 0xFF0000FFu, kClear = 0;

// A 32-bit (or 24-bit) bitmap of the pixels, top row first.
TBitmap* MakeBitmap(Integer w, Integer h, const TdxRGBColors& pixels, TPixelFormat format = pf32bit) {
  auto* bitmap = new TBitmap;
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(w, h);
  for (Integer y = 0; y < h; ++y)
    std::memcpy(bitmap->ScanLine(y), pixels.data() + y * w, std::size_t(w) * 4);
  bitmap->Changed(bitmap);
  if (format != pf32bit) bitmap->SetPixelFormat(format);
  return bitmap;
}

// The PNG file of straight-alpha pixels.
TMemoryStream* PngStream(Integer w, Integer h, const TdxRGBColors& pixels) {
  Ptr<TBitmap> bitmap(MakeBitmap(w, h, pixels));
  Ptr<TPngImage> png(new TPngImage);
  png->Assign(bitmap.get());
  auto* stream = new TMemoryStream;
  png->SaveToStream(stream);
  stream->SetPosition(0);
  return stream;
}

TEST(GPImage, FromBitmapsKeepOrAddAlpha) {
  const TdxRGBColors pixels{0x80402010u, kClear, kArgbRed, 0x00FFFFFFu};
  Ptr<TBitmap> with(MakeBitmap(2, 2, pixels)), without(MakeBitmap(2, 2, pixels, pf24bit));
  Ptr<TdxGPImage> a(TdxGPImage::CreateFromBitmap(with.get()));
  EXPECT_EQ(a->GetPixels(), pixels);
  EXPECT_TRUE(a->HasBits());
  Ptr<TdxGPImage> b(TdxGPImage::CreateFromBitmap(without.get()));
  EXPECT_EQ(b->GetPixels(), (TdxRGBColors{0xFF402010u, 0xFF000000u, kArgbRed, 0xFFFFFFFFu}));
  EXPECT_EQ(b->GetWidth(), 2);
  EXPECT_EQ(b->GetHeight(), 2);
  // Fewer pixels than the size needs are refused, never read past.
  EXPECT_THROW(Ptr<TdxGPImage>(TdxGPImage::CreateFromBits(2, 2, {kArgbRed}, true)), EAssertionFailed);
  EXPECT_EQ(GetGPImageClass(), TdxGPImage::StaticClass());
}

TEST(GPImage, FromStreams) {
  // PNG: straight alpha in the file, premultiplied in the image.
  Ptr<TMemoryStream> png(PngStream(2, 1, {0x80FF0000u, kArgbBlue}));
  Ptr<TdxGPImage> image(TdxGPImage::CreateFromStream(png.get()));
  EXPECT_EQ(image->GetPixels(), (TdxRGBColors{0x80800000u, kArgbBlue}));
  EXPECT_FALSE(image->HasBits());
  // A bitmap file.
  Ptr<TBitmap> bitmap(MakeBitmap(3, 2, TdxRGBColors(6, kArgbRed), pf24bit));
  Ptr<TMemoryStream> bmp(new TMemoryStream);
  bitmap->SaveToStream(bmp.get());
  bmp->SetPosition(0);
  Ptr<TdxGPImage> fromBmp(TdxGPImage::CreateFromStream(bmp.get()));
  EXPECT_EQ(fromBmp->GetPixels(), TdxRGBColors(6, kArgbRed));
  // 13 bytes or fewer: empty, no failure.
  Ptr<TMemoryStream> shortStream(new TMemoryStream);
  shortStream->WriteBuffer("\x89PNG\r\n\x1A\n12345", 13);
  shortStream->SetPosition(0);
  Ptr<TdxGPImage> empty(TdxGPImage::CreateFromStream(shortStream.get()));
  EXPECT_TRUE(empty->IsEmpty());
  // Anything else that is no image fails as an image operation.
  Ptr<TMemoryStream> junk(new TMemoryStream);
  junk->WriteBuffer("this is not an image at all", 27);
  junk->SetPosition(0);
  EXPECT_THROW(Ptr<TdxGPImage>(TdxGPImage::CreateFromStream(junk.get())), EAssertionFailed);
}

TEST(GPImage, MixAndClone) {
  Ptr<TdxGPImage> normal(TdxGPImage::CreateFromBits(2, 1, {0xFF000000u, 0x00000000u}, true));
  Ptr<TdxGPImage> hot(TdxGPImage::CreateFromBits(2, 1, {0xFFFFFFFFu, 0xFF804020u}, true));
  Ptr<TdxGPImage> start(normal->MixWith(hot.get(), 0)), end(normal->MixWith(hot.get(), 255));
  EXPECT_EQ(start->GetPixels(), normal->GetPixels());
  EXPECT_EQ(end->GetPixels(), hot->GetPixels());
  Ptr<TdxGPImage> mid(normal->MixWith(hot.get(), 64));
  // 64/255 of the way: 255 -> 64, 0x80 -> 32, 0x40 -> 16, 0x20 -> 8.
  EXPECT_EQ(mid->GetPixels(), (TdxRGBColors{0xFF404040u, 0x40201008u}));
  // Only images made from pixels mix; sizes must agree.
  Ptr<TMemoryStream> png(PngStream(2, 1, {kArgbRed, kArgbBlue}));
  Ptr<TdxGPImage> decoded(TdxGPImage::CreateFromStream(png.get()));
  EXPECT_EQ(decoded->MixWith(hot.get(), 10), nullptr);
  Ptr<TdxGPImage> other(TdxGPImage::CreateFromBits(1, 1, {kArgbRed}, true));
  EXPECT_EQ(normal->MixWith(other.get(), 10), nullptr);
  Ptr<TdxGPImage> copy(hot->Clone()), decodedCopy(decoded->Clone());
  EXPECT_EQ(copy->GetPixels(), hot->GetPixels());
  EXPECT_TRUE(copy->HasBits());
  EXPECT_EQ(decodedCopy->GetPixels(), decoded->GetPixels());
}

TEST(GPImage, SavesPng) {
  const TdxRGBColors pixels{kArgbRed, kClear, kArgbBlue, 0xFF123456u};
  Ptr<TdxGPImage> image(TdxGPImage::CreateFromBits(2, 2, pixels, true));
  Ptr<TMemoryStream> stream(new TMemoryStream);
  image->SaveToStream(stream.get());
  stream->SetPosition(0);
  Ptr<TPngImage> png(new TPngImage);
  png->LoadFromStream(stream.get());
  ASSERT_EQ(png->GetWidth(), 2);
  TdxRGBColors back;
  GetBitmapColors(png->GetBitmap(), back);
  EXPECT_EQ(back, pixels);
}

TEST(GPImage, DrawsBlendedAndScaled) {
  TPaintDC dc(30, 30);
  // Half-covering red over white.
  Ptr<TdxGPImage> half(TdxGPImage::CreateFromBits(1, 1, {0x80800000u}, true));
  half->DrawOnDC(dc.Dc, {0, 0, 2, 2});
  EXPECT_EQ(dc.At(0, 0), RGB(255, 127, 127));
  EXPECT_EQ(dc.At(1, 1), RGB(255, 127, 127));
  EXPECT_EQ(dc.At(2, 2), RGB(255, 255, 255));
  // Scaling 10 x 10 up to 20 x 20 reads a 9 x 9 source: the last column and row stay out.
  TdxRGBColors pixels(100, kArgbRed);
  for (int i = 0; i < 10; ++i) pixels[std::size_t(i * 10 + 9)] = pixels[std::size_t(90 + i)] = kArgbBlue;
  Ptr<TdxGPImage> image(TdxGPImage::CreateFromBits(10, 10, pixels, true));
  dc.Clear(0xFFFFFF);
  image->DrawOnDC(dc.Dc, {5, 5, 25, 25});
  int red = 0, blue = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      red += dc.At(x, y) == RGB(255, 0, 0);
      blue += dc.At(x, y) == RGB(0, 0, 255);
    }
  EXPECT_EQ(red, 400);
  EXPECT_EQ(blue, 0);
  // A rect outside the clip draws nothing.
  dc.Clear(0xFFFFFF);
  IntersectClipRect(dc.Dc, 0, 0, 4, 4);
  image->DrawOnDC(dc.Dc, {10, 10, 20, 20});
  EXPECT_EQ(dc.At(15, 15), RGB(255, 255, 255));
}

TEST(PNGPicture, StreamsDrawsAndCompares) {
  Ptr<TMemoryStream> stream(PngStream(2, 2, {kArgbRed, kClear, kArgbBlue, kArgbRed}));
  Ptr<TdxPNGImage> picture(new TdxPNGImage);
  picture->LoadFromStream(stream.get());
  EXPECT_EQ(picture->GetWidth(), 2);
  EXPECT_EQ(picture->GetHeight(), 2);
  EXPECT_TRUE(picture->GetTransparent());
  picture->SetWidth(10);
  EXPECT_EQ(picture->GetWidth(), 2);
  // Save and load again: same content.
  Ptr<TMemoryStream> saved(new TMemoryStream);
  saved->WriteBuffer("xx", 2);  // the picture writes after what is there
  picture->SaveToStream(saved.get());
  saved->SetPosition(2);
  Ptr<TdxPNGImage> again(new TdxPNGImage);
  again->LoadFromStream(saved.get());
  EXPECT_TRUE(picture->HasSameContent(again.get()));
  // Copies through a bitmap and back.
  Ptr<TBitmap> bitmap(new TBitmap);
  bitmap->Assign(picture.get());
  EXPECT_EQ(bitmap->GetPixelFormat(), pf32bit);
  Ptr<TdxPNGImage> fromBitmap(new TdxPNGImage);
  fromBitmap->Assign(bitmap.get());
  EXPECT_TRUE(fromBitmap->HasSameContent(picture.get()));
  Ptr<TdxPNGImage> copy(new TdxPNGImage);
  copy->Assign(picture.get());
  EXPECT_TRUE(copy->HasSameContent(picture.get()));
  EXPECT_NE(copy->GetImage(), picture->GetImage());
  // Drawn with alpha: the transparent pixel keeps the background.
  TPaintDC dc(4, 4, 0x00FF00);
  Ptr<TCanvas> canvas(new TCanvas);
  canvas->SetHandle(dc.Dc);
  canvas->Draw(1, 1, picture.get());
  canvas->SetHandle(nullptr);
  EXPECT_EQ(dc.At(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(dc.At(2, 1), 0x00FF00u);
  EXPECT_EQ(dc.At(1, 2), RGB(0, 0, 255));
  // Different content, different size, and empty pictures.
  Ptr<TdxPNGImage> other(new TdxPNGImage);
  Ptr<TMemoryStream> otherStream(PngStream(2, 2, {kArgbRed, kClear, kArgbRed, kArgbRed}));
  other->LoadFromStream(otherStream.get());
  EXPECT_FALSE(other->HasSameContent(picture.get()));
  Ptr<TdxPNGImage> empty1(new TdxPNGImage), empty2(new TdxPNGImage);
  EXPECT_TRUE(empty1->HasSameContent(empty2.get()));
  EXPECT_FALSE(empty1->HasSameContent(picture.get()));
  EXPECT_TRUE(empty1->GetEmpty());
  // An empty stream clears; saving nothing writes nothing.
  Ptr<TMemoryStream> nothing(new TMemoryStream);
  picture->LoadFromStream(nothing.get());
  EXPECT_TRUE(picture->GetEmpty());
  picture->SaveToStream(nothing.get());
  EXPECT_EQ(nothing->GetSize(), 0);
}

TEST(PNGPicture, ChangesClearTheAlphaFlagAndNotify) {
  Ptr<TdxPNGImage> picture(new TdxPNGImage);
  int changes = 0;
  struct TCounter : TObject {
    int* Count;
    void Changed(TObject*) { ++*Count; }
  };
  Ptr<TCounter> counter(new TCounter);
  counter->Count = &changes;
  picture->SetOnChange(TNotifyEvent(counter.get(), &TCounter::Changed));
  picture->SetIsAlphaUsed(true);
  Ptr<TBitmap> bitmap(MakeBitmap(1, 1, {kArgbRed}));
  picture->Assign(bitmap.get());
  EXPECT_FALSE(picture->GetIsAlphaUsed());
  EXPECT_EQ(changes, 1);
}

TEST(PNGPicture, RegisteredForPngFilesAndByName) {
  EXPECT_EQ(GetClass("TdxPNGImage"), TdxPNGImage::StaticClass());
  EXPECT_EQ(GraphicClassForExtension(".PNG"), TdxPNGImage::StaticClass());
  const AnsiString path =
      (std::filesystem::temp_directory_path() / ("orv_png_" + std::to_string(::getpid()) + ".png"))
          .string();
  Ptr<TMemoryStream> stream(PngStream(3, 1, {kArgbRed, kArgbBlue, kClear}));
  stream->SaveToFile(path);
  Ptr<TPicture> picture(new TPicture);
  picture->LoadFromFile(path);
  std::remove(path.c_str());
  ASSERT_NE(picture->GetGraphic(), nullptr);
  EXPECT_EQ(picture->GetGraphic()->ClassType(), TdxPNGImage::StaticClass());
  EXPECT_EQ(picture->GetWidth(), 3);
}

TEST(PNGPicture, ClipboardRoundTrip) {
  Ptr<TMemoryStream> stream(PngStream(2, 1, {kArgbRed, kClear}));
  Ptr<TdxPNGImage> picture(new TdxPNGImage);
  picture->LoadFromStream(stream.get());
  Word format = 0;
  HANDLE data = nullptr;
  HPALETTE palette = nullptr;
  picture->SaveToClipboardFormat(format, data, palette);
  Ptr<TdxPNGImage> pasted(new TdxPNGImage);
  pasted->LoadFromClipboardFormat(format, data, palette);
  GlobalFree(data);
  ASSERT_EQ(pasted->GetWidth(), 2);
  // The clipboard has no alpha: the transparent pixel comes back white.
  const TdxRGBColors& pixels = pasted->GetImage()->GetPixels();
  EXPECT_EQ(pixels[0] & 0xFFFFFFu, 0xFF0000u);
  EXPECT_EQ(pixels[1] & 0xFFFFFFu, 0xFFFFFFu);
}

}  // namespace
