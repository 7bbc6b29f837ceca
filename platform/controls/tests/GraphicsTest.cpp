// Fonts, pens, brushes and the canvas; bitmaps in every pixel format, their files and scan lines;
// icons and pictures with their registered formats.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <unistd.h>
#include <string>

#include "platform/controls/Graphics.h"
#include "platform/drawing/Gdi.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/drawing/Surface.h"
#include "platform/runtime/Streams.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"

namespace {

using orv::test::Owned;

COLORREF Pixel(TBitmap* b, int x, int y) { return COLORREF(b->GetCanvas()->GetPixels(x, y)); }

Owned<TBitmap> MakeBitmap(int w, int h, TPixelFormat format = pf24bit) {
  Owned<TBitmap> b(new TBitmap);
  b->SetPixelFormat(format);
  b->SetSize(w, h);
  return b;
}

std::string TempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("orv-controls-" + std::to_string(::getpid()) + "-" + name)).string();
}

TEST(FontTest, DefaultsAndPointSize) {
  Owned<TFont> f(new TFont);
  EXPECT_EQ(f->GetName(), "MS Sans Serif");
  EXPECT_EQ(f->GetHeight(), -11);
  EXPECT_EQ(f->GetSize(), 8);
  EXPECT_EQ(f->GetColor(), clWindowText);
  f->SetSize(12);
  EXPECT_EQ(f->GetHeight(), -16);
  LOGFONT lf = f->GetLogFont();
  EXPECT_EQ(lf.lfHeight, -16);
  f->SetStyle({fsBold, fsUnderline});
  lf = f->GetLogFont();
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_EQ(lf.lfUnderline, 1);
}

TEST(FontTest, ChangesAreReportedOnceAndRebuildTheHandle) {
  Owned<TFont> f(new TFont);
  int changes = 0;
  auto count = [&](TObject*) { ++changes; };
  f->SetOnChange(TNotifyEvent::Callable(count));
  f->GetHandle();
  f->SetHeight(-11);  // unchanged
  EXPECT_EQ(changes, 0);
  f->SetName(orv::kTestFontFace);
  EXPECT_EQ(changes, 1);
  HFONT second = f->GetHandle();
  LOGFONT lf;
  ASSERT_EQ(GetObject(second, sizeof lf, &lf), int(sizeof lf));
  EXPECT_STREQ(lf.lfFaceName, orv::kTestFontFace);
  f->SetColor(clRed);  // the colour is not part of the handle
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(f->GetHandle(), second);
  Owned<TFont> copy(new TFont);
  copy->Assign(f.get());
  EXPECT_EQ(copy->GetName(), orv::kTestFontFace);
  EXPECT_EQ(copy->GetColor(), clRed);
}

TEST(CanvasTest, ObjectsAreSelectedWhenADrawingNeedsThem) {
  Owned<TBitmap> b = MakeBitmap(20, 10);
  TCanvas* c = b->GetCanvas();
  c->GetBrush()->SetColor(clRed);
  c->FillRect(Rect(0, 0, 10, 10));
  EXPECT_EQ(Pixel(b.get(), 5, 5), 0x0000FFu);
  // A brush changed after it was selected is selected again for the next drawing.
  c->GetBrush()->SetColor(clBlue);
  c->FillRect(Rect(10, 0, 20, 10));
  EXPECT_EQ(Pixel(b.get(), 15, 5), 0xFF0000u);
  c->GetPen()->SetColor(clLime);
  c->MoveTo(0, 9);
  c->LineTo(20, 9);
  EXPECT_EQ(Pixel(b.get(), 3, 9), 0x00FF00u);
  EXPECT_EQ(c->GetPenPos(), Point(20, 9));
  c->SetPixels(1, 1, clBlack);
  EXPECT_EQ(c->GetPixels(1, 1), 0);
  EXPECT_EQ(c->GetClipRect(), Rect(0, 0, 20, 10));
}

TEST(CanvasTest, TextUsesTheFontAndTheBrush) {
  Owned<TBitmap> b = MakeBitmap(40, 20);
  TCanvas* c = b->GetCanvas();
  c->GetFont()->SetName(orv::kTestFontFace);
  c->GetFont()->SetHeight(-8);
  c->GetFont()->SetColor(clBlack);
  EXPECT_EQ(c->TextExtent("ab"), (TSize{10, 10}));
  c->GetBrush()->SetColor(clYellow);
  c->TextOut(0, 0, "ab");
  // The text cell is opaque with the brush colour around the glyph boxes.
  EXPECT_EQ(Pixel(b.get(), 9, 9), 0x00FFFFu);
  EXPECT_EQ(c->GetPenPos(), Point(10, 0));
  c->GetBrush()->SetStyle(bsClear);
  c->TextRect(Rect(20, 0, 24, 10), 20, 0, "W");
  EXPECT_EQ(Pixel(b.get(), 26, 5), 0xFFFFFFu);  // clipped to the rectangle
}

TEST(CanvasTest, CanvasWithoutADeviceRefusesToDraw) {
  Owned<TCanvas> c(new TCanvas);
  EXPECT_THROW(c->FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
}

TEST(BitmapTest, ResizingKeepsThePictureAndFillsWithWhite) {
  Owned<TBitmap> b = MakeBitmap(4, 4);
  b->GetCanvas()->GetBrush()->SetColor(clRed);
  b->GetCanvas()->FillRect(Rect(0, 0, 4, 4));
  int changes = 0;
  auto count = [&](TObject*) { ++changes; };
  b->SetOnChange(TNotifyEvent::Callable(count));
  b->SetSize(6, 5);
  EXPECT_EQ(changes, 1);
  b->SetSize(6, 5);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(Pixel(b.get(), 3, 3), 0x0000FFu);
  // The new area takes the canvas brush.
  EXPECT_EQ(Pixel(b.get(), 5, 4), 0x0000FFu);
  Owned<TBitmap> fresh = MakeBitmap(3, 3);
  EXPECT_EQ(Pixel(fresh.get(), 2, 2), 0xFFFFFFu);
  b->SetSize(-1, 3);
  EXPECT_TRUE(b->GetEmpty());
  EXPECT_EQ(b->GetHandle(), nullptr);
}

TEST(BitmapTest, ScanLinesInEveryFormatWriteBack) {
  struct Case {
    TPixelFormat Format;
    int Bytes;  // per pixel of the first row we write
  };
  // 24-bit: blue, green, red bytes.
  {
    Owned<TBitmap> b = MakeBitmap(3, 2, pf24bit);
    auto* row = static_cast<Byte*>(b->ScanLine(1));
    row[3] = 0x10;
    row[4] = 0x20;
    row[5] = 0x30;
    EXPECT_EQ(Pixel(b.get(), 1, 1), 0x102030u);
  }
  // 32-bit rows are the pixels themselves, alpha included.
  {
    Owned<TBitmap> b = MakeBitmap(2, 2, pf32bit);
    EXPECT_EQ(b->GetHandleType(), bmDIB);
    auto* row = static_cast<orv::TPixel*>(b->ScanLine(0));
    row[1] = 0x80112233;
    const orv::TPixel* again = static_cast<orv::TPixel*>(b->ScanLine(0));
    EXPECT_EQ(again[1], 0x80112233u);
    EXPECT_EQ(Pixel(b.get(), 1, 0), 0x332211u);
  }
  // 1-bit: most significant bit first, 1 = white.
  {
    Owned<TBitmap> b = MakeBitmap(8, 1, pf1bit);
    EXPECT_TRUE(b->GetMonochrome());
    *static_cast<Byte*>(b->ScanLine(0)) = 0x7F;
    EXPECT_EQ(Pixel(b.get(), 0, 0), 0x000000u);
    EXPECT_EQ(Pixel(b.get(), 1, 0), 0xFFFFFFu);
  }
  Owned<TBitmap> b = MakeBitmap(2, 2, pf8bit);
  EXPECT_THROW(b->ScanLine(2), EInvalidGraphicOperation);
  EXPECT_THROW(b->ScanLine(-1), EInvalidGraphicOperation);
}

TEST(BitmapTest, PixelFormatConversionKeepsColours) {
  Owned<TBitmap> b = MakeBitmap(2, 1, pf32bit);
  b->GetCanvas()->SetPixels(0, 0, clRed);
  b->GetCanvas()->SetPixels(1, 0, clBlack);
  b->SetPixelFormat(pf24bit);
  EXPECT_EQ(Pixel(b.get(), 0, 0), 0x0000FFu);
  b->SetPixelFormat(pf1bit);
  EXPECT_EQ(Pixel(b.get(), 1, 0), 0x000000u);
  EXPECT_EQ(b->GetPixelFormat(), pf1bit);
}

TEST(BitmapTest, FilesRoundTripInEveryDepth) {
  for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf16bit, pf24bit, pf32bit}) {
    Owned<TBitmap> b = MakeBitmap(5, 3, format);
    b->GetCanvas()->SetPixels(0, 0, clBlack);
    b->GetCanvas()->SetPixels(4, 2, clBlack);
    TMemoryStream s;
    b->SaveToStream(&s);
    const Byte* data = static_cast<const Byte*>(s.GetMemory());
    ASSERT_EQ(data[0], 'B');
    EXPECT_EQ(data[28], PixelFormatBits(format));
    s.SetPosition(0);
    Owned<TBitmap> c(new TBitmap);
    c->LoadFromStream(&s);
    EXPECT_EQ(c->GetWidth(), 5);
    EXPECT_EQ(c->GetHeight(), 3);
    EXPECT_EQ(c->GetPixelFormat(), format);
    EXPECT_EQ(Pixel(c.get(), 0, 0), 0x000000u) << format;
    EXPECT_EQ(Pixel(c.get(), 4, 2), 0x000000u) << format;
    EXPECT_EQ(Pixel(c.get(), 2, 1), 0xFFFFFFu) << format;
  }
}

TEST(BitmapTest, StreamedDataCarriesItsLength) {
  Owned<TBitmap> b = MakeBitmap(2, 2);
  TMemoryStream s;
  b->WriteData(&s);
  const Int64 size = s.GetSize();
  s.WriteBuffer("tail", 4);
  s.SetPosition(0);
  Owned<TBitmap> c(new TBitmap);
  c->ReadData(&s);
  EXPECT_EQ(s.GetPosition(), size);
  EXPECT_EQ(c->GetWidth(), 2);
  EXPECT_TRUE(b->Equals(c.get()));
}

TEST(BitmapTest, DamagedFilesAreRejected) {
  const std::vector<std::string> cases = {
      "",                                               // nothing
      "BM",                                             // header cut short
      std::string("XX") + std::string(60, '\0'),        // wrong signature
  };
  for (const std::string& data : cases) {
    TMemoryStream s;
    if (!data.empty()) s.WriteBuffer(data.data(), Integer(data.size()));
    s.SetPosition(0);
    Owned<TBitmap> b(new TBitmap);
    EXPECT_THROW(b->LoadFromStream(&s), EInvalidGraphic);
  }
  // A header claiming a huge picture with no bits behind it.
  Owned<TBitmap> b = MakeBitmap(2, 2);
  TMemoryStream s;
  b->SaveToStream(&s);
  Byte* data = static_cast<Byte*>(s.GetMemory());
  data[18] = 0xFF;
  data[19] = 0x7F;
  s.SetPosition(0);
  EXPECT_THROW(b->LoadFromStream(&s), EInvalidGraphic);
}

TEST(BitmapTest, TransparentDrawingSkipsTheBottomLeftColour) {
  Owned<TBitmap> sprite = MakeBitmap(2, 2);
  sprite->GetCanvas()->GetBrush()->SetColor(clLime);
  sprite->GetCanvas()->FillRect(Rect(0, 0, 2, 2));
  sprite->GetCanvas()->SetPixels(1, 0, clRed);
  EXPECT_EQ(sprite->GetTransparentColor(), TColor(0x0200FF00));
  sprite->SetTransparent(true);
  Owned<TBitmap> dest = MakeBitmap(4, 4);
  dest->GetCanvas()->Draw(1, 1, sprite.get());
  EXPECT_EQ(Pixel(dest.get(), 1, 1), 0xFFFFFFu);
  EXPECT_EQ(Pixel(dest.get(), 2, 1), 0x0000FFu);
  sprite->SetTransparentColor(clRed);
  EXPECT_EQ(sprite->GetTransparentMode(), tmFixed);
  dest->GetCanvas()->Draw(1, 1, sprite.get());
  EXPECT_EQ(Pixel(dest.get(), 1, 1), 0x00FF00u);
  // A stretched copy without transparency.
  sprite->SetTransparent(false);
  dest->GetCanvas()->StretchDraw(Rect(0, 0, 4, 4), sprite.get());
  EXPECT_EQ(Pixel(dest.get(), 3, 0), 0x0000FFu);
  EXPECT_EQ(Pixel(dest.get(), 0, 3), 0x00FF00u);
}

TEST(BitmapTest, MaskIsWhereTheTransparentColourIs) {
  Owned<TBitmap> b = MakeBitmap(2, 1);
  b->GetCanvas()->SetPixels(0, 0, clRed);
  b->SetTransparentColor(clRed);
  HBITMAP mask = b->GetMaskHandle();
  ASSERT_NE(mask, nullptr);
  const orv::TSurface* m = orv::GetBitmapSurface(mask);
  EXPECT_EQ(m->Pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(m->Pixel(1, 0) & 0xFFFFFF, 0u);
}

TEST(IconTest, RoundTripKeepsAlphaAndDrawsBlended) {
  Owned<TBitmap> src = MakeBitmap(2, 2, pf32bit);
  auto* r0 = static_cast<orv::TPixel*>(src->ScanLine(0));
  r0[0] = 0xFF0000FF;  // opaque blue
  r0[1] = 0x00000000;  // transparent
  auto* r1 = static_cast<orv::TPixel*>(src->ScanLine(1));
  r1[0] = 0x80FF0000;  // half red
  r1[1] = 0xFF000000;  // opaque black
  Owned<TIcon> icon(new TIcon);
  icon->GetImage()->Assign(src.get());
  TMemoryStream s;
  icon->SaveToStream(&s);
  s.SetPosition(0);
  Owned<TIcon> back(new TIcon);
  back->LoadFromStream(&s);
  ASSERT_EQ(back->GetWidth(), 2);
  EXPECT_EQ(static_cast<orv::TPixel*>(back->GetImage()->ScanLine(1))[0], 0x80FF0000u);
  Owned<TBitmap> dest = MakeBitmap(2, 2);
  dest->GetCanvas()->Draw(0, 0, back.get());
  EXPECT_EQ(Pixel(dest.get(), 0, 0), 0xFF0000u);
  EXPECT_EQ(Pixel(dest.get(), 1, 0), 0xFFFFFFu);
  EXPECT_EQ(Pixel(dest.get(), 1, 1), 0x000000u);
  const COLORREF half = Pixel(dest.get(), 0, 1);
  EXPECT_NEAR(int(half & 0xFF), 255, 1);
  EXPECT_NEAR(int((half >> 8) & 0xFF), 127, 2);
}

TEST(PictureTest, FilesAreLoadedByExtensionAndStreamsBySignature) {
  Owned<TBitmap> b = MakeBitmap(3, 2);
  const std::string path = TempPath("picture.BMP");
  b->SaveToFile(path);
  Owned<TPicture> p(new TPicture);
  int changes = 0;
  auto count = [&](TObject*) { ++changes; };
  p->SetOnChange(TNotifyEvent::Callable(count));
  p->LoadFromFile(path);
  EXPECT_GE(changes, 1);
  ASSERT_NE(dynamic_cast<TBitmap*>(p->GetGraphic()), nullptr);
  EXPECT_EQ(p->GetWidth(), 3);
  EXPECT_THROW(p->LoadFromFile(TempPath("picture.xyz")), EInvalidGraphic);
  std::filesystem::remove(path);

  TMemoryStream s;
  b->SaveToStream(&s);
  s.SetPosition(0);
  Owned<TPicture> q(new TPicture);
  q->LoadFromStream(&s);
  EXPECT_EQ(q->GetHeight(), 2);
  // A change of the graphic reaches the picture's listener.
  changes = 0;
  p->SetOnChange(TNotifyEvent::Callable(count));
  p->GetBitmap()->SetSize(5, 5);
  EXPECT_EQ(changes, 1);
}

TEST(PictureTest, StreamedDataNamesTheGraphicClass) {
  Owned<TPicture> p(new TPicture);
  p->GetBitmap()->SetSize(2, 3);
  TMemoryStream s;
  p->WriteData(&s);
  const Byte* d = static_cast<const Byte*>(s.GetMemory());
  EXPECT_EQ(d[0], 7);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(d + 1), 7), "TBitmap");
  s.SetPosition(0);
  Owned<TPicture> q(new TPicture);
  q->ReadData(&s);
  EXPECT_EQ(q->GetHeight(), 3);
  EXPECT_EQ(GraphicExtension(TBitmap::StaticClass()), "bmp");
  EXPECT_EQ(GraphicClassForExtension(".JPG"), GraphicClassForExtension("jpeg"));
  const AnsiString filter = GraphicFilter(TGraphic::StaticClass());
  EXPECT_EQ(filter.rfind("All (*.bmp;*.ico;*.jpg;*.jpeg;*.png)|", 0), 0u) << filter;
  // Assigning a graphic copies it.
  q->SetGraphic(p->GetGraphic());
  EXPECT_NE(q->GetGraphic(), p->GetGraphic());
  EXPECT_EQ(q->GetWidth(), 2);
}

TEST(ColorNameTest, IdentsAndNumbers) {
  Integer c = 0;
  EXPECT_TRUE(IdentToColor("clbtnface", c));
  EXPECT_EQ(c, clBtnFace);
  EXPECT_EQ(ColorToString(clWindowText), "clWindowText");
  EXPECT_EQ(ColorToString(0x123456), "$00123456");
  EXPECT_EQ(StringToColor("$00FF0000"), clBlue);
  EXPECT_EQ(StringToColor("clNone"), clNone);
}

}  // namespace
