#include <gtest/gtest.h>

#include <memory>

#include "components/foundation/cxImageList.h"
#include "components/foundation/tests/PaintFixture.h"
#include "platform/drawing/Gdi.h"
#include "platform/runtime/Streams.h"

namespace {

using paint_test::TPaintDC;
using ListPtr = std::unique_ptr<TcxImageList, orv::FreeDeleter>;
using BitmapPtr = std::unique_ptr<TcxBitmap, orv::FreeDeleter>;
using CanvasPtr = std::unique_ptr<TcxCanvas, orv::FreeDeleter>;

// A bitmap of `cells` 4 x 4 cells side by side, cell k filled with colour k + 1 (as red).
BitmapPtr Strip(int cells, TPixelFormat format = pf24bit) {
  BitmapPtr b(new TcxBitmap(4 * cells, 4, format));
  for (int k = 0; k < cells; ++k)
    b->GetCanvas()->FillRectWithColor(MakeRectBounds(4 * k, 0, 4, 4), RGB(k + 1, 0, 0));
  return b;
}

COLORREF FirstPixel(TcxImageList* list, int index) {
  BitmapPtr image(new TcxBitmap);
  list->GetImage(index, image.get(), nullptr);
  return GetPixel(image->GetCanvas()->GetDCHandle(), 0, 0);
}

struct ChangeCounter : TObject {
  int Count = 0;
  void Changed(TObject*) { ++Count; }
};

TEST(TcxImageList, AStripBecomesOneEntryPerCell) {
  ListPtr list(new TcxImageList(nullptr, 4, 4));
  BitmapPtr strip = Strip(3);
  EXPECT_EQ(list->AddImage(strip.get(), nullptr), 0);
  ASSERT_EQ(list->GetCount(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(FirstPixel(list.get(), i), RGB(i + 1, 0, 0));
  EXPECT_EQ(GetImageCount(strip.get(), 4, 4), 3);
  EXPECT_EQ(GetImageCount(strip.get(), 5, 4), 1);
  // Two by two cells, row by row.
  BitmapPtr square(new TcxBitmap(8, 8, pf24bit));
  square->GetCanvas()->FillRectWithColor({4, 4, 8, 8}, RGB(9, 0, 0));
  list->AddImage(square.get(), nullptr);
  EXPECT_EQ(list->GetCount(), 7);
  EXPECT_EQ(FirstPixel(list.get(), 6), RGB(9, 0, 0));
}

TEST(TcxImageList, MovingInsertingAndReplacing) {
  ListPtr list(new TcxImageList(nullptr, 4, 4));
  list->AddImage(Strip(3).get(), nullptr);
  list->MoveImage(0, 2);
  EXPECT_EQ(FirstPixel(list.get(), 0), RGB(2, 0, 0));
  EXPECT_EQ(FirstPixel(list.get(), 1), RGB(3, 0, 0));
  EXPECT_EQ(FirstPixel(list.get(), 2), RGB(1, 0, 0));
  BitmapPtr two = Strip(2);
  two->GetCanvas()->FillRectWithColor({0, 0, 8, 4}, RGB(7, 0, 0));
  list->InsertImage(4, two.get(), nullptr);  // count + 1: nothing
  EXPECT_EQ(list->GetCount(), 3);
  list->InsertImage(1, two.get(), nullptr);
  EXPECT_EQ(list->GetCount(), 5);
  EXPECT_EQ(FirstPixel(list.get(), 1), RGB(7, 0, 0));
  EXPECT_EQ(FirstPixel(list.get(), 3), RGB(3, 0, 0));
  list->InsertImage(5, Strip(1).get(), nullptr);  // at count: appends
  EXPECT_EQ(FirstPixel(list.get(), 5), RGB(1, 0, 0));
  list->ReplaceImage(0, Strip(1).get(), nullptr);
  EXPECT_EQ(FirstPixel(list.get(), 0), RGB(1, 0, 0));
  EXPECT_EQ(list->GetCount(), 6);
  list->DeleteImage(0);
  EXPECT_EQ(list->GetCount(), 5);
  list->ClearImages();
  EXPECT_EQ(list->GetCount(), 0);
}

TEST(TcxImageList, AMaskOfAnotherSizeIsRefused) {
  ListPtr list(new TcxImageList(nullptr, 4, 4));
  BitmapPtr mask(new TcxBitmap(3, 4, pf1bit));
  EXPECT_EQ(list->AddImage(Strip(1).get(), mask.get()), -1);
  EXPECT_EQ(list->GetCount(), 0);
  BitmapPtr good(new TcxBitmap(4, 4, pf1bit));
  EXPECT_EQ(list->AddImage(Strip(1).get(), good.get()), 0);
  // Applying a mask of another size to a bitmap changes nothing.
  BitmapPtr image = Strip(1);
  ApplyInvertedMask(image.get(), mask.get());
  EXPECT_EQ(GetPixel(image->GetCanvas()->GetDCHandle(), 0, 0), RGB(1, 0, 0));
}

TEST(TcxImageList, MasksComeFromTheMaskColourWhenNoneIsStored) {
  ListPtr list(new TcxImageList(nullptr, 4, 4));
  BitmapPtr image = Strip(1);
  image->GetCanvas()->FillRectWithColor({0, 0, 2, 4}, clFuchsia);
  list->AddMaskedImage(image.get(), clFuchsia);
  BitmapPtr out(new TcxBitmap), mask(new TcxBitmap);
  list->GetImage(0, out.get(), mask.get());
  EXPECT_EQ(mask->GetPixelFormat(), pf1bit);
  EXPECT_EQ(GetPixel(mask->GetCanvas()->GetDCHandle(), 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(mask->GetCanvas()->GetDCHandle(), 3, 0), RGB(0, 0, 0));
  std::unique_ptr<TcxImageInfo, orv::FreeDeleter> info(new TcxImageInfo);
  list->GetImageInfo(0, info.get());
  EXPECT_EQ(info->GetMaskColor(), clFuchsia);
  list->GetImageInfo(5, info.get());
  EXPECT_TRUE(info->GetImage()->Empty());
  EXPECT_EQ(info->GetMaskColor(), clNone);
}

TEST(TcxImageList, StreamedProperties) {
  ListPtr list(new TcxImageList(nullptr, 4, 4)), ancestor(new TcxImageList(nullptr, 4, 4));
  // An empty list writes "FormatVersion" and "DesignInfo" but no "ImageInfo".
  EXPECT_EQ(TcxImageList::WrittenFormatVersion, 1);
  EXPECT_TRUE(list->IsDesignInfoStored(nullptr));
  EXPECT_FALSE(list->IsImageInfoStored(nullptr));
  list->AddImage(Strip(2).get(), nullptr);
  EXPECT_TRUE(list->IsImageInfoStored(nullptr));
  // Against an ancestor: only what differs.
  EXPECT_FALSE(list->IsDesignInfoStored(ancestor.get()));
  list->SetDesignInfo(0x00100020);
  EXPECT_TRUE(list->IsDesignInfoStored(ancestor.get()));
  EXPECT_TRUE(list->IsImageInfoStored(ancestor.get()));
  ancestor->Assign(list.get());
  EXPECT_FALSE(list->IsImageInfoStored(ancestor.get()));
  // The entries stream their bitmaps compressed when asked; a new entry takes the flag.
  list->SetCompressData(true);
  list->AddImage(Strip(1).get(), nullptr);
  for (Integer i = 0; i < list->GetCount(); ++i) EXPECT_TRUE(list->GetImages()->GetItem(i)->GetCompressData());
  TStringStream data;
  list->GetImages()->GetItem(2)->GetImage()->WriteData(&data);
  EXPECT_EQ(data.GetDataString().substr(4, 4), "XDBM");
  // Reading: the entries are cleared and read, then the list is rebuilt with one change.
  ChangeCounter counter;
  list->SetOnChange(TNotifyEvent(&counter, &ChangeCounter::Changed));
  list->BeginReadImageInfo();
  auto* item = static_cast<TcxImageInfoItem*>(list->GetImages()->Add());
  data.SetPosition(0);
  item->GetImage()->ReadData(&data);
  list->EndReadImageInfo();
  EXPECT_EQ(counter.Count, 1);
  EXPECT_EQ(list->GetCount(), 1);
  EXPECT_EQ(FirstPixel(list.get(), 0), RGB(1, 0, 0));
  list->ReadFormatVersion(1);
  EXPECT_EQ(list->GetFormatVersion(), 1);
}

TEST(DrawGlyphOrImage, NothingWithoutAGlyphOrAValidImage) {
  TPaintDC dc(8, 8);
  ListPtr list(new TcxImageList(nullptr, 4, 4));
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  DrawGlyphOrImage(dc.Dc, {0, 0, 4, 4}, {0, 0, 8, 8}, nullptr, list.get(), 0, idmNormal, false, red);
  DrawGlyphOrImage(dc.Dc, {0, 0, 4, 4}, {0, 0, 8, 8}, nullptr, nullptr, 0, idmNormal, false, red);
  DeleteObject(red);
  EXPECT_EQ(dc.At(0, 0), RGB(255, 255, 255));
  EXPECT_FALSE(IsImageIndexValid(list.get(), 0));
  EXPECT_FALSE(IsImageIndexValid(nullptr, 0));
}

TEST(DrawGlyphOrImage, TheGlyphsOwnTransparentColourShowsTheBackground) {
  BitmapPtr glyph(new TcxBitmap(4, 4, pf24bit));
  glyph->GetCanvas()->FillRectWithColor({0, 0, 4, 4}, clFuchsia);
  glyph->GetCanvas()->FillRectWithColor({1, 0, 3, 3}, clBlue);
  TPaintDC dc(6, 6, RGB(0, 255, 0));
  DrawGlyphOrImage(dc.Dc, {1, 1, 5, 5}, {0, 0, 6, 6}, glyph.get(), nullptr, -1, idmNormal);
  EXPECT_TRUE(dc.Art({0, 0, 6, 6}, R"(
      gggggg
      gg##gg
      gg##gg
      gg##gg
      gggggg
      gggggg)", {{'g', RGB(0, 255, 0)}, {'#', RGB(0, 0, 255)}}));
  // Without the flag the magenta pixels are drawn.
  DrawGlyphOrImage(dc.Dc, {1, 1, 5, 5}, {0, 0, 6, 6}, glyph.get(), nullptr, -1, idmNormal, false,
                   nullptr, clNone, false);
  EXPECT_EQ(dc.At(1, 1), RGB(255, 0, 255));
}

TEST(DrawGlyphOrImage, ListImagesAndEveryLookGolden) {
  // A 32-bit image with alpha and a 24-bit one with a mask colour, each in six looks.
  ListPtr list(new TcxImageList(nullptr, 8, 8));
  BitmapPtr plain(new TcxBitmap(8, 8, pf24bit));
  plain->GetCanvas()->FillRectWithColor({0, 0, 8, 8}, clFuchsia);
  plain->GetCanvas()->FillRectWithColor({1, 1, 6, 6}, RGB(200, 40, 40));
  plain->GetCanvas()->FillRectWithColor({3, 3, 7, 7}, RGB(40, 40, 200));
  list->AddMaskedImage(plain.get(), clFuchsia);
  std::unique_ptr<TcxBitmap32, orv::FreeDeleter> alpha(new TcxBitmap32(8, 8, true));
  TRGBColors pixels(64, 0);
  for (int y = 1; y < 7; ++y)
    for (int x = 1; x < 7; ++x) {
      const int a = 64 + x * 30;  // premultiplied green, fading in to the right
      pixels[std::size_t(y * 8 + x)] = orv::MakePixel(0, a * 200 / 255, 0, a);
    }
  alpha->SetPixels(pixels);
  list->AddImage(alpha.get(), nullptr);
  TPaintDC dc(6 * 12, 2 * 12, RGB(212, 208, 200));
  for (int mode = 0; mode < 6; ++mode)
    for (int index = 0; index < 2; ++index) {
      const TRect cell = MakeRectBounds(mode * 12, index * 12, 12, 12);
      DrawGlyphOrImage(dc.Dc, GetCenteredRect(cell, 8, 8), cell, nullptr, list.get(), index,
                       TcxImageDrawMode(mode));
    }
  // Transparent areas keep the background.
  EXPECT_EQ(dc.At(2, 2), RGB(212, 208, 200));
  EXPECT_EQ(dc.At(3, 3), RGB(200, 40, 40));
  EXPECT_EQ(dc.At(5, 5), RGB(40, 40, 200));
  // The list's own drawing: disabled is draw mode 1.
  TPaintDC disabled(12, 12, RGB(212, 208, 200)), mode1(12, 12, RGB(212, 208, 200));
  CanvasPtr canvas(new TcxCanvas(disabled.Dc));
  list->Draw(canvas.get(), {0, 0, 12, 12}, 0, false, false, false);
  DrawGlyphOrImage(mode1.Dc, {2, 2, 10, 10}, {0, 0, 12, 12}, nullptr, list.get(), 0, idmDisabled);
  EXPECT_EQ(orv::ToAsciiArt(disabled.Surface(), {0, 0, 12, 12}, {{'.', RGB(212, 208, 200)}}),
            orv::ToAsciiArt(mode1.Surface(), {0, 0, 12, 12}, {{'.', RGB(212, 208, 200)}}));
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) ASSERT_EQ(disabled.At(x, y), mode1.At(x, y));
  EXPECT_TRUE(dc.Golden("glyph-looks.png"));
}

TEST(DrawGlyphOrImage, StretchedSmoothlyFromTheList) {
  ListPtr list(new TcxImageList(nullptr, 4, 4));
  BitmapPtr one = Strip(1);
  one->GetCanvas()->FillRectWithColor({0, 0, 4, 4}, RGB(90, 20, 10));
  list->AddImage(one.get(), nullptr);
  TPaintDC dc(16, 16);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  list->Draw(canvas.get(), {0, 0, 16, 16}, 0, true, true);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(dc.At(x, y), RGB(90, 20, 10)) << x << "," << y;
}

}  // namespace
