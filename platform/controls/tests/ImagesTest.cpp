// JPEG and PNG pictures, and image lists with their change links and drawing styles.
#include <gtest/gtest.h>

#include <memory>

#include "platform/controls/ImgList.h"
#include "platform/controls/Jpeg.h"
#include "platform/controls/PngImage.h"
#include "platform/drawing/Gdi.h"
#include "platform/drawing/Surface.h"
#include "platform/runtime/Streams.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"

namespace {

using orv::test::Owned;

COLORREF ImagePixel(TBitmap* b, int x, int y) { return COLORREF(b->GetCanvas()->GetPixels(x, y)); }

Owned<TBitmap> Filled(int w, int h, TColor color, TPixelFormat format = pf24bit) {
  Owned<TBitmap> b(new TBitmap);
  b->SetPixelFormat(format);
  b->SetSize(w, h);
  b->GetCanvas()->GetBrush()->SetColor(color);
  b->GetCanvas()->FillRect(Rect(0, 0, w, h));
  return b;
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
  for (int shift = 0; shift < 24; shift += 8)
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

TEST(JpegTest, CompressedAndDecodedAgain) {
  Owned<TBitmap> src = Filled(16, 8, clRed);
  src->GetCanvas()->GetBrush()->SetColor(clBlue);
  src->GetCanvas()->FillRect(Rect(8, 0, 16, 8));
  Owned<TJPEGImage> jpeg(new TJPEGImage);
  jpeg->Assign(src.get());
  jpeg->SetCompressionQuality(95);
  TMemoryStream s;
  jpeg->SaveToStream(&s);
  ASSERT_GT(s.GetSize(), 100);
  EXPECT_EQ(static_cast<const Byte*>(s.GetMemory())[0], 0xFF);

  s.SetPosition(0);
  Owned<TPicture> picture(new TPicture);
  picture->LoadFromStream(&s);
  auto* loaded = dynamic_cast<TJPEGImage*>(picture->GetGraphic());
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetWidth(), 16);
  EXPECT_EQ(loaded->GetHeight(), 8);
  Owned<TBitmap> out(new TBitmap);
  out->Assign(loaded);
  EXPECT_TRUE(Near(ImagePixel(out.get(), 3, 4), 0x0000FF, 24)) << std::hex << ImagePixel(out.get(), 3, 4);
  EXPECT_TRUE(Near(ImagePixel(out.get(), 12, 4), 0xFF0000, 24)) << std::hex << ImagePixel(out.get(), 12, 4);

  // Smaller scales shrink the decoded picture.
  loaded->SetScale(jsHalf);
  EXPECT_EQ(loaded->GetWidth(), 8);
  loaded->DIBNeeded();
  EXPECT_EQ(loaded->GetBitmap()->GetHeight(), 4);
}

TEST(JpegTest, CorruptDataGivesAnEmptyPicture) {
  const std::vector<std::string> cases = {
      std::string("\xFF\xD8\xFF\xE0garbage that is no JPEG at all", 33),
      std::string("not even a start marker"),
  };
  for (const std::string& data : cases) {
    TMemoryStream s;
    s.WriteBuffer(data.data(), Integer(data.size()));
    s.SetPosition(0);
    Owned<TJPEGImage> jpeg(new TJPEGImage);
    jpeg->LoadFromStream(&s);
    EXPECT_TRUE(jpeg->GetEmpty());
    EXPECT_EQ(jpeg->GetWidth(), 0);
    Owned<TBitmap> dest = Filled(4, 4, clWhite);
    dest->GetCanvas()->Draw(0, 0, jpeg.get());  // draws nothing
    EXPECT_EQ(ImagePixel(dest.get(), 0, 0), 0xFFFFFFu);
  }
  // A valid header whose scan data is damaged: decoding fails or yields a picture, never more.
  Owned<TJPEGImage> good(new TJPEGImage);
  Owned<TBitmap> src = Filled(32, 32, clGreen);
  good->Assign(src.get());
  TMemoryStream s;
  good->SaveToStream(&s);
  Byte* bytes = static_cast<Byte*>(s.GetMemory());
  for (Int64 i = s.GetSize() / 2; i < s.GetSize() - 2; ++i) bytes[i] = 0xFF;
  s.SetPosition(0);
  Owned<TJPEGImage> broken(new TJPEGImage);
  broken->LoadFromStream(&s);
  broken->DIBNeeded();
  EXPECT_TRUE(broken->GetEmpty() || broken->GetBitmap()->GetWidth() == 32);
}

TEST(PngTest, AlphaSurvivesARoundTripAndBlends) {
  Owned<TPngImage> png(new TPngImage);
  png->GetBitmap()->SetSize(2, 1);
  auto* row = static_cast<orv::TPixel*>(png->GetBitmap()->ScanLine(0));
  row[0] = 0xFF00FF00;  // opaque green
  row[1] = 0x00000000;  // transparent
  TMemoryStream s;
  png->SaveToStream(&s);
  s.SetPosition(0);
  Owned<TPicture> picture(new TPicture);
  picture->LoadFromStream(&s);
  auto* loaded = dynamic_cast<TPngImage*>(picture->GetGraphic());
  ASSERT_NE(loaded, nullptr);
  const auto* back = static_cast<const orv::TPixel*>(loaded->GetBitmap()->ScanLine(0));
  EXPECT_EQ(back[0], 0xFF00FF00u);
  EXPECT_EQ(orv::PixelAlpha(back[1]), 0);
  Owned<TBitmap> dest = Filled(2, 1, clWhite);
  dest->GetCanvas()->Draw(0, 0, loaded);
  EXPECT_EQ(ImagePixel(dest.get(), 0, 0), 0x00FF00u);
  EXPECT_EQ(ImagePixel(dest.get(), 1, 0), 0xFFFFFFu);

  // An opaque bitmap becomes an opaque picture.
  Owned<TBitmap> red = Filled(3, 3, clRed);
  png->Assign(red.get());
  EXPECT_EQ(static_cast<const orv::TPixel*>(png->GetBitmap()->ScanLine(2))[2], 0xFFFF0000u);

  TMemoryStream bad;
  bad.WriteBuffer("\x89PNG\r\n\x1A\nbroken", 14);
  bad.SetPosition(0);
  EXPECT_THROW(png->LoadFromStream(&bad), EInvalidGraphic);
  EXPECT_EQ(png->GetWidth(), 3);
}

class ImageListTest : public ::testing::Test {
 protected:
  // Three 4 x 4 images side by side: red, green, blue.
  Owned<TBitmap> Strip() {
    Owned<TBitmap> b = Filled(12, 4, clRed);
    b->GetCanvas()->GetBrush()->SetColor(clLime);
    b->GetCanvas()->FillRect(Rect(4, 0, 8, 4));
    b->GetCanvas()->GetBrush()->SetColor(clBlue);
    b->GetCanvas()->FillRect(Rect(8, 0, 12, 4));
    return b;
  }
  COLORREF Drawn(TCustomImageList* list, int index) {
    Owned<TBitmap> dest = Filled(4, 4, clWhite);
    list->Draw(dest->GetCanvas(), 0, 0, index);
    return ImagePixel(dest.get(), 1, 1);
  }
};

TEST_F(ImageListTest, AStripAddsOneImagePerWidth) {
  Owned<TImageList> list(new TImageList(nullptr, 4, 4));
  Owned<TBitmap> strip = Strip();
  EXPECT_EQ(list->Add(strip.get(), nullptr), 0);
  EXPECT_EQ(list->GetCount(), 3);
  EXPECT_EQ(Drawn(list.get(), 0), 0x0000FFu);
  EXPECT_EQ(Drawn(list.get(), 2), 0xFF0000u);
  list->Move(0, 2);
  EXPECT_EQ(Drawn(list.get(), 0), 0x00FF00u);
  EXPECT_EQ(Drawn(list.get(), 1), 0xFF0000u);
  EXPECT_EQ(Drawn(list.get(), 2), 0x0000FFu);
  list->Delete(1);
  EXPECT_EQ(list->GetCount(), 2);
  EXPECT_THROW(list->Delete(2), EInvalidOperation);
  Owned<TBitmap> small = Filled(2, 2, clRed);
  EXPECT_THROW(list->Add(small.get(), nullptr), EInvalidOperation);
  Owned<TBitmap> one = Filled(4, 4, clYellow);
  list->Insert(1, one.get(), nullptr);
  EXPECT_EQ(Drawn(list.get(), 1), 0x00FFFFu);
  EXPECT_EQ(list->GetCount(), 3);
}

TEST_F(ImageListTest, MaskedImagesLeaveTheBackground) {
  Owned<TImageList> list(new TImageList(nullptr, 4, 4));
  Owned<TBitmap> image = Filled(4, 4, clFuchsia);
  image->GetCanvas()->SetPixels(1, 1, clNavy);
  list->AddMasked(image.get(), clFuchsia);
  Owned<TBitmap> dest = Filled(4, 4, clYellow);
  list->Draw(dest->GetCanvas(), 0, 0, 0);
  EXPECT_EQ(ImagePixel(dest.get(), 0, 0), 0x00FFFFu);
  EXPECT_EQ(ImagePixel(dest.get(), 1, 1), 0x800000u);
  // A background colour fills the transparent pixels.
  list->SetBkColor(clGreen);
  list->Draw(dest->GetCanvas(), 0, 0, 0);
  EXPECT_EQ(ImagePixel(dest.get(), 0, 0), 0x008000u);
  // The mask alone, in the DC's text colour (black) where the image shows and its background
  // colour (the brush's yellow) elsewhere.
  list->SetBkColor(clNone);
  list->Draw(dest->GetCanvas(), 0, 0, 0, dsNormal, itMask);
  EXPECT_EQ(ImagePixel(dest.get(), 1, 1), 0x000000u);
  EXPECT_EQ(ImagePixel(dest.get(), 0, 0), 0x00FFFFu);
}

TEST_F(ImageListTest, DisabledImagesAreEmbossed) {
  Owned<TImageList> list(new TImageList(nullptr, 4, 4));
  Owned<TBitmap> image = Filled(4, 4, clWhite);
  image->GetCanvas()->SetPixels(1, 1, clRed);
  list->AddMasked(image.get(), clWhite);
  Owned<TBitmap> dest = Filled(6, 6, clSilver);
  list->Draw(dest->GetCanvas(), 0, 0, 0, false);
  EXPECT_EQ(ImagePixel(dest.get(), 1, 1), ColorToRGB(clBtnShadow));
  EXPECT_EQ(ImagePixel(dest.get(), 2, 2), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(ImagePixel(dest.get(), 0, 0), 0xC0C0C0u);
}

TEST_F(ImageListTest, AlphaImagesBlend) {
  Owned<TImageList> list(new TImageList(nullptr, 2, 1));
  list->SetColorDepth(cd32Bit);
  Owned<TBitmap> image(new TBitmap);
  image->SetPixelFormat(pf32bit);
  image->SetSize(2, 1);
  auto* row = static_cast<orv::TPixel*>(image->ScanLine(0));
  row[0] = 0xFF0000FF;
  row[1] = 0x00FF0000;
  list->Add(image.get(), nullptr);
  Owned<TBitmap> dest = Filled(2, 1, clWhite);
  list->Draw(dest->GetCanvas(), 0, 0, 0);
  EXPECT_EQ(ImagePixel(dest.get(), 0, 0), 0xFF0000u);
  EXPECT_EQ(ImagePixel(dest.get(), 1, 0), 0xFFFFFFu);
}

TEST_F(ImageListTest, ChangeLinksHearChangesOnceAfterAnUpdate) {
  Owned<TImageList> list(new TImageList(nullptr, 4, 4));
  int heard = 0;
  TCustomImageList* sender = nullptr;
  auto hear = [&](TObject* s) {
    ++heard;
    sender = static_cast<TCustomImageList*>(s);
  };
  Owned<TChangeLink> link(new TChangeLink);
  link->SetOnChange(TNotifyEvent::Callable(hear));
  list->RegisterChanges(link.get());
  EXPECT_EQ(link->GetSender(), list.get());
  Owned<TBitmap> strip = Strip();
  list->BeginUpdate();
  list->Add(strip.get(), nullptr);
  list->Delete(0);
  EXPECT_EQ(heard, 0);
  list->EndUpdate();
  EXPECT_EQ(heard, 1);
  EXPECT_EQ(sender, list.get());
  // A freed link leaves the list; a freed list lets go of its links.
  link.reset();
  list->Clear();
  Owned<TChangeLink> other(new TChangeLink);
  list->RegisterChanges(other.get());
  list.reset();
  EXPECT_EQ(other->GetSender(), nullptr);
}

TEST_F(ImageListTest, StreamsRebuildTheImages) {
  Owned<TImageList> list(new TImageList(nullptr, 4, 4));
  Owned<TBitmap> strip = Strip();
  list->AddMasked(strip.get(), clLime);
  TMemoryStream s;
  list->WriteData(&s);
  s.SetPosition(0);
  Owned<TImageList> copy(new TImageList(nullptr));
  copy->ReadData(&s);
  EXPECT_EQ(copy->GetWidth(), 4);
  EXPECT_EQ(copy->GetCount(), 3);
  EXPECT_TRUE(copy->Equal(list.get()));
  EXPECT_EQ(Drawn(copy.get(), 1), 0xFFFFFFu);  // the masked green image shows the background
  EXPECT_EQ(Drawn(copy.get(), 2), 0xFF0000u);
  Owned<TImageList> assigned(new TImageList(nullptr));
  assigned->Assign(list.get());
  EXPECT_EQ(assigned->GetCount(), 3);
  EXPECT_EQ(Drawn(assigned.get(), 0), 0x0000FFu);
  TMemoryStream junk;
  junk.WriteBuffer("XX", 2);
  junk.SetPosition(0);
  EXPECT_THROW(copy->ReadData(&junk), EReadError);
}

}  // namespace
