#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "components/foundation/cxImageList.h"
#include "components/foundation/tests/PaintFixture.h"
#include "platform/controls/Graphics.h"
#include "platform/drawing/Gdi.h"
#include "platform/forms/Filer.h"
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

struct ImageListChangeCounter : TObject {
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
  ImageListChangeCounter counter;
  list->SetOnChange(TNotifyEvent(&counter, &ImageListChangeCounter::Changed));
  list->BeginReadImageInfo();
  auto* item = static_cast<TcxImageInfoItem*>(list->GetImages()->Add());
  data.SetPosition(0);
  item->GetImage()->ReadData(&data);
  list->EndReadImageInfo();
  EXPECT_EQ(counter.Count, 1);
  EXPECT_EQ(list->GetCount(), 1);
  EXPECT_EQ(FirstPixel(list.get(), 0), RGB(1, 0, 0));
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

TEST(DrawGlyphOrImage, APlatformListDrawsLikeAComponentList) {
  // The same masked image in a plain platform list and in a component list.
  BitmapPtr image(new TcxBitmap(8, 8, pf24bit));
  image->GetCanvas()->FillRectWithColor({0, 0, 8, 8}, clFuchsia);
  image->GetCanvas()->FillRectWithColor({2, 1, 6, 7}, RGB(30, 60, 200));
  std::unique_ptr<TImageList, orv::FreeDeleter> plain(new TImageList(nullptr));
  plain->SetWidth(8);
  plain->SetHeight(8);
  plain->AddMasked(image.get(), clFuchsia);
  ListPtr list(new TcxImageList(nullptr, 8, 8));
  list->AddMaskedImage(image.get(), clFuchsia);
  EXPECT_TRUE(IsImageIndexValid(plain.get(), 0));
  for (int mode = 0; mode < 6; ++mode) {
    TPaintDC a(12, 12, RGB(0, 200, 0)), b(12, 12, RGB(0, 200, 0));
    DrawGlyphOrImage(a.Dc, {2, 2, 10, 10}, {0, 0, 12, 12}, nullptr, plain.get(), 0, TcxImageDrawMode(mode));
    DrawGlyphOrImage(b.Dc, {2, 2, 10, 10}, {0, 0, 12, 12}, nullptr, list.get(), 0, TcxImageDrawMode(mode));
    EXPECT_EQ(orv::ToAsciiArt(a.Surface(), {0, 0, 12, 12}, {{'.', RGB(0, 200, 0)}}),
              orv::ToAsciiArt(b.Surface(), {0, 0, 12, 12}, {{'.', RGB(0, 200, 0)}}))
        << "mode " << mode;
  }
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

// ---- The platform list beside the entries ----

namespace {

using PlatformListPtr = std::unique_ptr<TImageList, orv::FreeDeleter>;
using InfoPtr = std::unique_ptr<TcxImageInfo, orv::FreeDeleter>;

// A bitmap of w x h with a different colour in every 4 x 4 cell (row r, column c: RGB(r, c, 9)).
BitmapPtr Grid(int w, int h, TPixelFormat format = pf24bit) {
  BitmapPtr b(new TcxBitmap(w, h, format));
  for (int r = 0; r * 4 < h; ++r)
    for (int c = 0; c * 4 < w; ++c) b->GetCanvas()->FillRectWithColor(MakeRectBounds(4 * c, 4 * r, 4, 4), RGB(r, c, 9));
  return b;
}

// The top-left pixel of platform image `index` and of entry `index`.
COLORREF PlatformPixel(TcxImageList* list, int index) {
  BitmapPtr image(new TcxBitmap);
  EXPECT_TRUE(TcxImageList::GetPlatformImageInfo(list->GetHandle(), index, nullptr, image.get()));
  return orv::PixelToColor(orv::GetBitmapSurface(image->GetHandle())->Pixel(0, 0)) & 0xFFFFFF;
}
COLORREF EntryPixel(TcxImageList* list, int index) {
  TcxBitmap* image = list->GetImages()->GetItem(index)->GetImage();
  return orv::PixelToColor(orv::GetBitmapSurface(image->GetHandle())->Pixel(0, 0)) & 0xFFFFFF;
}

// Platform images and entries agree in number and order.
::testing::AssertionResult InStep(TcxImageList* list, std::initializer_list<COLORREF> expected) {
  const int platform = ImageList_GetImageCount(list->GetHandle());
  if (platform != int(expected.size()) || list->GetImages()->GetCount() != platform)
    return ::testing::AssertionFailure() << "platform " << platform << ", entries "
                                         << list->GetImages()->GetCount() << ", expected " << expected.size();
  int i = 0;
  for (COLORREF c : expected) {
    if (PlatformPixel(list, i) != c || EntryPixel(list, i) != c)
      return ::testing::AssertionFailure() << "image " << i << ": platform " << std::hex << PlatformPixel(list, i)
                                           << ", entry " << EntryPixel(list, i) << ", expected " << c;
    ++i;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace

TEST(TcxImageList, BitmapsAddAsManyPlatformImagesAsEntries) {
  struct Case {
    int w, h, images;
  };
  // Whole multiples are cut row by row; any other size is one image.
  for (const Case c : {Case{48, 16, 3}, Case{32, 32, 4}, Case{16, 16, 1}, Case{40, 16, 1}, Case{8, 8, 1},
                       Case{36, 12, 1}}) {
    ListPtr list(new TcxImageList(nullptr, 16, 16));
    BitmapPtr image = Grid(c.w, c.h);
    EXPECT_EQ(list->AddImage(image.get(), nullptr), 0);
    EXPECT_EQ(ImageList_GetImageCount(list->GetHandle()), c.images) << c.w << " x " << c.h;
    EXPECT_EQ(list->GetImages()->GetCount(), c.images) << c.w << " x " << c.h;
    EXPECT_EQ(GetImageCount(image.get(), 16, 16), c.images);
  }
  // A 32 x 32 bitmap: cells row by row in both.
  ListPtr list(new TcxImageList(nullptr, 16, 16));
  list->AddImage(Grid(32, 32).get(), nullptr);
  EXPECT_TRUE(InStep(list.get(), {RGB(0, 0, 9), RGB(0, 4, 9), RGB(4, 0, 9), RGB(4, 4, 9)}));
  // The list is 32-bit colour with masks.
  EXPECT_EQ(ImageList_GetFlags(list->GetHandle()), 0x21u);
  EXPECT_EQ(TcxImageList::GetPlatformPixelFormat(list->GetHandle()), 32);
  ListPtr empty(new TcxImageList(nullptr));
  EXPECT_EQ(TcxImageList::GetPlatformPixelFormat(empty->GetHandle()), 0);
  EXPECT_EQ(empty->GetWidth(), 16);
}

TEST(TcxImageList, MovesInsertsAndDeletesKeepBothInStep) {
  ListPtr list(new TcxImageList(nullptr, 4, 4));
  list->AddImage(Strip(3).get(), nullptr);
  list->MoveImage(0, 2);
  EXPECT_TRUE(InStep(list.get(), {RGB(2, 0, 0), RGB(3, 0, 0), RGB(1, 0, 0)}));
  list->MoveImage(2, 0);
  EXPECT_TRUE(InStep(list.get(), {RGB(1, 0, 0), RGB(2, 0, 0), RGB(3, 0, 0)}));
  list->MoveImage(0, 3);  // out of range: nothing
  list->InsertImage(4, Strip(1).get(), nullptr);
  EXPECT_TRUE(InStep(list.get(), {RGB(1, 0, 0), RGB(2, 0, 0), RGB(3, 0, 0)}));
  BitmapPtr two = Strip(2);
  list->InsertImage(3, two.get(), nullptr);  // at count: appended
  EXPECT_TRUE(InStep(list.get(), {RGB(1, 0, 0), RGB(2, 0, 0), RGB(3, 0, 0), RGB(1, 0, 0), RGB(2, 0, 0)}));
  list->DeleteImage(1);
  list->DeleteImage(7);  // out of range: nothing
  EXPECT_TRUE(InStep(list.get(), {RGB(1, 0, 0), RGB(3, 0, 0), RGB(1, 0, 0), RGB(2, 0, 0)}));
  BitmapPtr nine(new TcxBitmap(4, 4, pf24bit));
  nine->GetCanvas()->FillRectWithColor({0, 0, 4, 4}, RGB(9, 0, 0));
  list->ReplaceImage(1, nine.get(), nullptr);
  // An image that cannot be added leaves the old one.
  BitmapPtr badMask(new TcxBitmap(2, 2, pf1bit));
  list->ReplaceImage(2, nine.get(), badMask.get());
  EXPECT_TRUE(InStep(list.get(), {RGB(1, 0, 0), RGB(9, 0, 0), RGB(1, 0, 0), RGB(2, 0, 0)}));
  // A size change empties both.
  list->SetWidth(8);
  EXPECT_TRUE(InStep(list.get(), {}));
  EXPECT_EQ(list->GetWidth(), 8);
}

TEST(TcxImageList, ChangesAreToldOnceAndLinksFollowTheField) {
  ListPtr list(new TcxImageList(nullptr, 4, 4));
  ImageListChangeCounter counter;
  TChangeLink* link = new TChangeLink;
  std::unique_ptr<TChangeLink, orv::FreeDeleter> linkHolder(link);
  link->SetOnChange(TNotifyEvent(&counter, &ImageListChangeCounter::Changed));
  TCustomImageList* field = nullptr;
  std::unique_ptr<TComponent, orv::FreeDeleter> owner(new TComponent(nullptr));
  AssignImageListField(list.get(), field, link, owner.get());
  EXPECT_EQ(field, list.get());
  EXPECT_EQ(link->GetSender(), list.get());
  EXPECT_EQ(counter.Count, 1);  // the link fires once the field is set
  AssignImageListField(list.get(), field, link, owner.get());
  EXPECT_EQ(counter.Count, 1);  // the same list: nothing
  list->InsertImage(0, Strip(3).get(), nullptr);
  EXPECT_EQ(counter.Count, 2);  // one change for an insert of three images
  list->BeginUpdate();
  list->AddImage(Strip(1).get(), nullptr);
  list->MoveImage(0, 3);
  EXPECT_EQ(counter.Count, 2);
  list->EndUpdate(false);
  EXPECT_EQ(counter.Count, 2);
  // Leaving the list: it forgets the link; the link fires for the new value.
  AssignImageListField(nullptr, field, link, owner.get());
  EXPECT_EQ(field, nullptr);
  EXPECT_EQ(link->GetSender(), nullptr);
  EXPECT_EQ(counter.Count, 3);
  list->ClearImages();
  EXPECT_EQ(counter.Count, 3);
}

namespace {

// A component of another owner that shows a list, as controls keep their Images.
class TImagesHolder : public TComponent {
  ORV_CLASS(TImagesHolder, TComponent)
 public:
  explicit TImagesHolder(TComponent* owner) : TComponent(owner), Link(new TChangeLink) {}
  ~TImagesHolder() override { orv::Free(Link); }
  void SetImages(TCustomImageList* value) { AssignImageListField(value, Images, Link, this); }
  void Notification(TComponent* component, TOperation operation) override {
    inherited::Notification(component, operation);
    if (operation == opRemove && component == Images) SetImages(nullptr);
  }
  TCustomImageList* Images = nullptr;
  TChangeLink* Link;
};

}  // namespace

TEST(TcxImageList, AFreedListLeavesTheFieldOfItsUser) {
  std::unique_ptr<TImagesHolder, orv::FreeDeleter> holder(new TImagesHolder(nullptr));
  ListPtr first(new TcxImageList(nullptr)), second(new TcxImageList(nullptr));
  holder->SetImages(first.get());
  holder->SetImages(second.get());
  first.reset();  // no longer watched: nothing to hear
  EXPECT_EQ(holder->Images, second.get());
  second.reset();
  EXPECT_EQ(holder->Images, nullptr);
  EXPECT_EQ(holder->Link->GetSender(), nullptr);
}

TEST(TcxImageList, AssignedFromAnyPlatformList) {
  PlatformListPtr source(new TImageList(nullptr, 4, 4));
  std::unique_ptr<TBitmap, orv::FreeDeleter> strip(new TBitmap);
  strip->SetSize(8, 4);
  strip->GetCanvas()->GetBrush()->SetColor(clRed);
  strip->GetCanvas()->FillRect(Rect(0, 0, 4, 4));
  strip->GetCanvas()->GetBrush()->SetColor(clLime);
  strip->GetCanvas()->FillRect(Rect(4, 0, 8, 4));
  source->AddMasked(strip.get(), clLime);
  ListPtr list(new TcxImageList(nullptr, 16, 16));
  list->Assign(source.get());
  EXPECT_EQ(list->GetWidth(), 4);
  EXPECT_EQ(ImageList_GetFlags(list->GetHandle()), 0x21u);
  EXPECT_TRUE(InStep(list.get(), {RGB(255, 0, 0), RGB(0, 0, 0)}));  // masked pixels are cleared
  EXPECT_TRUE(IsImageListsEqual(list.get(), source.get()));
  // The mask came along: the second image is transparent.
  TPaintDC dc(4, 4, RGB(0, 0, 255));
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  list->Draw(canvas.get(), 0, 0, 1);
  EXPECT_EQ(dc.At(1, 1), RGB(0, 0, 255));
  list->Draw(canvas.get(), 0, 0, 0);
  EXPECT_EQ(dc.At(1, 1), RGB(255, 0, 0));
  // From a list of ours: its entries, with their masks or mask colours.
  ListPtr own(new TcxImageList(nullptr, 4, 4));
  own->AddMaskedImage(Strip(2).get(), RGB(2, 0, 0));
  own->SetCompressData(true);
  ListPtr copy(new TcxImageList(nullptr));
  copy->Assign(own.get());
  EXPECT_TRUE(copy->GetCompressData());
  InfoPtr info(new TcxImageInfo);
  copy->GetImageInfo(1, info.get());
  EXPECT_EQ(info->GetMaskColor(), RGB(2, 0, 0));
  EXPECT_TRUE(IsImageListsEqual(copy.get(), own.get()));
  copy->Assign(list.get());
  copy->GetImageInfo(1, info.get());
  EXPECT_EQ(info->GetMaskColor(), clNone);
  EXPECT_TRUE(IsImageListsEqual(copy.get(), list.get()));
  copy->Assign(nullptr);
  EXPECT_TRUE(InStep(copy.get(), {}));
}

TEST(TcxImageList, ThirtyTwoBitImagesKeepTheirAlpha) {
  ListPtr list(new TcxImageList(nullptr, 2, 1));
  std::unique_ptr<TcxBitmap32, orv::FreeDeleter> image(new TcxBitmap32(2, 1));
  TRGBColors pixels{orv::MakePixel(0, 0, 0x80, 0x80), orv::MakePixel(0, 0, 0, 0)};
  image->SetPixels(pixels);
  list->AddImage(image.get(), nullptr);
  BitmapPtr out(new TcxBitmap), mask(new TcxBitmap);
  list->GetImage(0, out.get(), mask.get());
  EXPECT_EQ(out->GetPixelFormat(), pf32bit);
  EXPECT_EQ(ReadBitmapColors(out.get(), true), ReadBitmapColors(image.get(), true));
  EXPECT_EQ(mask->GetPixelFormat(), pf1bit);
  EXPECT_EQ(mask->GetWidth(), 2);
  // Drawn half blue over white.
  TPaintDC dc(2, 1);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  list->Draw(canvas.get(), 0, 0, 0);
  EXPECT_EQ(dc.At(0, 0), RGB(0x7F, 0x7F, 0xFF));
  EXPECT_EQ(dc.At(1, 0), RGB(255, 255, 255));
  // Through the platform's drawing entry: the same.
  TPaintDC viaPlatform(2, 1);
  std::unique_ptr<TCanvas, orv::FreeDeleter> platformCanvas(new TCanvas);
  platformCanvas->SetHandle(viaPlatform.Dc);
  static_cast<TCustomImageList*>(list.get())->Draw(platformCanvas.get(), 0, 0, 0);
  EXPECT_EQ(viaPlatform.At(0, 0), dc.At(0, 0));
}

TEST(TcxImageList, DrawnDisabledThroughThePlatformEntryLooksAsDrawModeOne) {
  ListPtr list(new TcxImageList(nullptr, 8, 8));
  BitmapPtr plain(new TcxBitmap(8, 8, pf24bit));
  plain->GetCanvas()->FillRectWithColor({0, 0, 8, 8}, clFuchsia);
  plain->GetCanvas()->FillRectWithColor({1, 1, 6, 6}, RGB(200, 40, 40));
  list->AddMaskedImage(plain.get(), clFuchsia);
  TPaintDC viaPlatform(8, 8, RGB(212, 208, 200)), mode1(8, 8, RGB(212, 208, 200));
  std::unique_ptr<TCanvas, orv::FreeDeleter> canvas(new TCanvas);
  canvas->SetHandle(viaPlatform.Dc);
  static_cast<TCustomImageList*>(list.get())->Draw(canvas.get(), 0, 0, 0, false);
  DrawGlyphOrImage(mode1.Dc, {0, 0, 8, 8}, {0, 0, 8, 8}, nullptr, list.get(), 0, idmDisabled);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(viaPlatform.At(x, y), mode1.At(x, y)) << x << "," << y;
  EXPECT_NE(mode1.At(2, 2), RGB(200, 40, 40));
  // Without alpha blending the platform draws it (here enabled, over the background).
  list->SetAlphaBlending(false);
  TPaintDC plainDraw(8, 8, RGB(0, 0, 255));
  CanvasPtr cxCanvas(new TcxCanvas(plainDraw.Dc));
  list->Draw(cxCanvas.get(), {0, 0, 8, 8}, 0);
  EXPECT_EQ(plainDraw.At(0, 0), RGB(0, 0, 255));
  EXPECT_EQ(plainDraw.At(2, 2), RGB(200, 40, 40));
  // ... and stretched as a glyph that keeps the transparent area.
  TPaintDC stretched(16, 16, RGB(0, 0, 255));
  CanvasPtr stretchedCanvas(new TcxCanvas(stretched.Dc));
  list->Draw(stretchedCanvas.get(), {0, 0, 16, 16}, 0, true);
  EXPECT_EQ(stretched.At(0, 0), RGB(0, 0, 255));
  EXPECT_EQ(stretched.At(6, 6), RGB(200, 40, 40));
}

TEST(ImageListUtilities, CopiesAndComparisons) {
  BitmapPtr source = Grid(8, 4);
  std::unique_ptr<TBitmap, orv::FreeDeleter> clone(CloneBitmap(source.get()));
  EXPECT_EQ(clone->GetWidth(), 8);
  EXPECT_EQ(clone->GetPixelFormat(), pf24bit);
  HBITMAP copy = CopyImageHandle(source->GetHandle());
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, source->GetHandle());
  const orv::TSurface& a = *orv::GetBitmapSurface(copy);
  const orv::TSurface& b = *orv::GetBitmapSurface(source->GetHandle());
  ASSERT_EQ(a.Width(), 8);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(a.Pixel(x, y), b.Pixel(x, y));
  DeleteObject(copy);
  EXPECT_EQ(CopyImageHandle(nullptr), nullptr);
  BitmapPtr big(new TcxBitmap(16, 8, pf24bit));
  CopyBitmapInto(big.get(), source.get());
  EXPECT_EQ(GetPixel(big->GetCanvas()->GetDCHandle(), 15, 7), RGB(0, 1, 9));
  // Lists are equal when their images and masks are.
  ListPtr one(new TcxImageList(nullptr, 4, 4)), two(new TcxImageList(nullptr, 4, 4));
  EXPECT_TRUE(IsImageListsEqual(one.get(), two.get()));
  one->AddImage(Strip(2).get(), nullptr);
  two->AddImage(Strip(2).get(), nullptr);
  EXPECT_TRUE(IsImageListsEqual(one.get(), two.get()));
  two->MoveImage(0, 1);
  EXPECT_FALSE(IsImageListsEqual(one.get(), two.get()));
  EXPECT_FALSE(IsImageListsEqual(one.get(), nullptr));
  // The platform's whole strips.
  BitmapPtr strip(new TcxBitmap), mask(new TcxBitmap);
  EXPECT_TRUE(TcxImageList::GetPlatformImageInfo(one->GetHandle(), -1, mask.get(), strip.get()));
  EXPECT_EQ(strip->GetWidth(), 16);  // four images to a row
  EXPECT_EQ(mask->GetPixelFormat(), pf1bit);
  EXPECT_FALSE(TcxImageList::GetPlatformImageInfo(one->GetHandle(), 2, mask.get(), strip.get()));
}

// ---- Form descriptions ----

namespace {

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned char c : bytes) {
    text += kDigits[c >> 4];
    text += kDigits[c & 15];
  }
  return text;
}

// A list of a masked 24-bit image, a 32-bit image with alpha, an image with its own mask and a
// two-cell strip.
ListPtr SampleList() {
  ListPtr list(new TcxImageList(nullptr, 8, 8));
  list->SetName("Images");
  list->SetDesignInfo(0x00300040);
  BitmapPtr plain(new TcxBitmap(8, 8, pf24bit));
  plain->GetCanvas()->FillRectWithColor({0, 0, 8, 8}, clFuchsia);
  plain->GetCanvas()->FillRectWithColor({1, 1, 6, 6}, RGB(200, 40, 40));
  list->AddMaskedImage(plain.get(), clFuchsia);
  std::unique_ptr<TcxBitmap32, orv::FreeDeleter> alpha(new TcxBitmap32(8, 8, true));
  TRGBColors pixels(64, 0);
  for (int i = 0; i < 64; ++i) pixels[std::size_t(i)] = orv::MakePixel(0, i * 3, 0, i * 4);
  alpha->SetPixels(pixels);
  list->AddImage(alpha.get(), nullptr);
  BitmapPtr masked = Grid(8, 8);
  BitmapPtr mask(new TcxBitmap(8, 8, pf1bit));
  mask->GetCanvas()->FillRectWithColor({0, 0, 8, 8}, clBlack);
  mask->GetCanvas()->FillRectWithColor({0, 0, 3, 8}, clWhite);
  list->AddImage(masked.get(), mask.get());
  list->AddImage(Grid(16, 8).get(), nullptr);
  return list;
}

void ExpectSameImages(TcxImageList* read, TcxImageList* written) {
  ASSERT_EQ(read->GetImages()->GetCount(), written->GetImages()->GetCount());
  EXPECT_EQ(ImageList_GetImageCount(read->GetHandle()), read->GetImages()->GetCount());
  EXPECT_TRUE(IsImageListsEqual(read, written));
  for (Integer i = 0; i < written->GetImages()->GetCount(); ++i) {
    TcxImageInfoItem* a = read->GetImages()->GetItem(i);
    TcxImageInfoItem* b = written->GetImages()->GetItem(i);
    EXPECT_EQ(a->GetImage()->GetPixelFormat(), b->GetImage()->GetPixelFormat()) << i;
    EXPECT_EQ(ReadBitmapColors(a->GetImage(), true), ReadBitmapColors(b->GetImage(), true)) << i;
    EXPECT_EQ(ReadBitmapColors(a->GetMask(), true), ReadBitmapColors(b->GetMask(), true)) << i;
    EXPECT_EQ(a->GetMaskColor(), b->GetMaskColor()) << i;
  }
}

}  // namespace

TEST(TcxImageListStreaming, AnEmptyListWritesNoImageInfo) {
  ListPtr list(new TcxImageList(nullptr, 8, 8));
  list->SetName("Images");
  const std::string text = orv::WriteComponentToText(list.get());
  EXPECT_NE(text.find("FormatVersion = 1"), std::string::npos) << text;
  EXPECT_NE(text.find("DesignInfo = 0"), std::string::npos) << text;
  EXPECT_EQ(text.find("ImageInfo"), std::string::npos) << text;
  EXPECT_EQ(text.find("Bitmap"), std::string::npos) << text;
  EXPECT_NE(text.find("Width = 8"), std::string::npos) << text;
}

TEST(TcxImageListStreaming, RoundTripsInTextAndTreeFormCompressedOrNot) {
  for (Boolean compress : {false, true}) {
    ListPtr list = SampleList();
    list->SetCompressData(compress);
    const std::string text = orv::WriteComponentToText(list.get());
    EXPECT_NE(text.find("ImageInfo = <"), std::string::npos);
    EXPECT_NE(text.find("Image.Data = {"), std::string::npos);
    EXPECT_EQ(text.find("5844424D") != std::string::npos, bool(compress));  // "XDBM"
    EXPECT_EQ(text.find("Bitmap ="), std::string::npos);  // the platform strip is never written
    std::unique_ptr<TComponent, orv::FreeDeleter> fromText(orv::CreateComponentFromText(text));
    auto* read = dynamic_cast<TcxImageList*>(fromText.get());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetFormatVersion(), 1);
    EXPECT_EQ(read->GetDesignInfo(), 0x00300040);
    EXPECT_EQ(read->GetWidth(), 8);
    EXPECT_EQ(read->GetCompressData(), compress);
    ExpectSameImages(read, list.get());
    EXPECT_EQ(orv::WriteComponentToText(read), text);
    // The description tree, without printing and parsing.
    TWriter writer;
    const orv::FormObject tree = writer.WriteRootComponent(list.get());
    TReader reader(tree);
    std::unique_ptr<TComponent, orv::FreeDeleter> fromTree(reader.ReadRootComponent(nullptr));
    ExpectSameImages(dynamic_cast<TcxImageList*>(fromTree.get()), list.get());
    // Drawn the same.
    TPaintDC a(32, 8), b(32, 8);
    CanvasPtr ca(new TcxCanvas(a.Dc)), cb(new TcxCanvas(b.Dc));
    for (int i = 0; i < 4; ++i) {
      list->Draw(ca.get(), 8 * i, 0, i);
      read->Draw(cb.get(), 8 * i, 0, i);
    }
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 32; ++x) ASSERT_EQ(a.At(x, y), b.At(x, y)) << x << "," << y;
  }
}

TEST(TcxImageListStreaming, ThePlatformsOwnStripRebuildsTheEntries) {
  PlatformListPtr old(new TImageList(nullptr, 4, 4));
  BitmapPtr strip = Grid(12, 4);
  old->AddMasked(strip.get(), RGB(0, 1, 9));
  TStringStream data;
  old->WriteData(&data);
  const std::string text = "object Images: TcxImageList\n  Height = 4\n  Width = 4\n  Bitmap = {" +
                           Hex(data.GetDataString()) + "}\nend\n";
  std::unique_ptr<TComponent, orv::FreeDeleter> component(orv::CreateComponentFromText(text));
  auto* list = static_cast<TcxImageList*>(component.get());
  // One entry per image, the second one's pixels masked away.
  EXPECT_TRUE(InStep(list, {RGB(0, 0, 9), RGB(0, 0, 0), RGB(0, 2, 9)}));
  EXPECT_EQ(ImageList_GetFlags(list->GetHandle()), 0x21u);
  InfoPtr info(new TcxImageInfo);
  list->GetImageInfo(1, info.get());
  EXPECT_EQ(info->GetImage()->GetPixelFormat(), pf32bit);
  EXPECT_EQ(info->GetMask()->GetPixelFormat(), pf1bit);
  EXPECT_EQ(info->GetMaskColor(), clNone);
  EXPECT_EQ(GetPixel(info->GetMask()->GetCanvas()->GetDCHandle(), 1, 1), RGB(255, 255, 255));
  EXPECT_TRUE(IsImageListsEqual(list, old.get()));
  // Written again: the entries, not the strip.
  const std::string again = orv::WriteComponentToText(list);
  EXPECT_EQ(again.find("Bitmap"), std::string::npos);
  EXPECT_NE(again.find("ImageInfo"), std::string::npos);
}

TEST(TcxImageListStreaming, HostileStreamsAreRefused) {
  PlatformListPtr old(new TImageList(nullptr, 4, 4));
  old->Add(Grid(8, 4).get(), nullptr);
  TStringStream data;
  old->WriteData(&data);
  const std::string good = data.GetDataString();
  auto withBitmap = [](const std::string& bytes) {
    return "object Images: TcxImageList\n  Bitmap = {" + Hex(bytes) + "}\nend\n";
  };
  auto patchWord = [&](int offset, int value) {
    std::string bytes = good;
    bytes[std::size_t(offset)] = char(value & 0xFF);
    bytes[std::size_t(offset) + 1] = char((value >> 8) & 0xFF);
    return bytes;
  };
  const std::vector<std::string> hostile = {
      good.substr(0, 20),                // the header cut short
      good.substr(0, good.size() - 7),   // the strip cut short
      patchWord(4, 1000),                // more images than the strip holds
      patchWord(10, 30000),              // images wider than the strip
      patchWord(12, 30000),              // images taller than the strip
      "XX",
  };
  for (const std::string& bytes : hostile) {
    std::unique_ptr<TcxImageList, orv::FreeDeleter> list(new TcxImageList(nullptr));
    EXPECT_THROW(orv::ReadComponentFromText(list.get(), withBitmap(bytes)), Exception) << Hex(bytes);
    EXPECT_EQ(ImageList_GetImageCount(list->GetHandle()), list->GetImages()->GetCount());
  }
  // Entries whose bitmap data breaks its own counts.
  ListPtr sample = SampleList();
  sample->SetCompressData(true);
  std::string text = orv::WriteComponentToText(sample.get());
  const std::size_t data0 = text.find("Image.Data = {") + 14;
  for (const std::string& broken : {std::string("FFFF0000"),                 // a length beyond the data
                                    std::string("10000000") + Hex("XDBM") + "0200"}) {  // a payload beyond it
    std::string bad = text;
    bad.replace(data0, bad.find('}', data0) - data0, broken);
    std::unique_ptr<TcxImageList, orv::FreeDeleter> list(new TcxImageList(nullptr));
    EXPECT_THROW(orv::ReadComponentFromText(list.get(), bad), Exception);
    // What was read stays consistent: as many platform images as entries.
    EXPECT_EQ(ImageList_GetImageCount(list->GetHandle()), list->GetImages()->GetCount());
  }
  // An entry without pixels holds no image.
  std::unique_ptr<TComponent, orv::FreeDeleter> empty(orv::CreateComponentFromText(
      "object Images: TcxImageList\n  ImageInfo = <\n    item\n      MaskColor = 0\n    end>\nend\n"));
  auto* list = static_cast<TcxImageList*>(empty.get());
  EXPECT_EQ(list->GetImages()->GetCount(), 0);
  EXPECT_EQ(list->GetCount(), 0);
}
