#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "components/foundation/cxGraphics.h"
#include "components/foundation/dxOffice11.h"
#include "components/foundation/tests/PaintFixture.h"
#include "platform/drawing/Gdi.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"

namespace {

using BitmapPtr = std::unique_ptr<TcxBitmap, orv::FreeDeleter>;
using Bitmap32Ptr = std::unique_ptr<TcxBitmap32, orv::FreeDeleter>;
using AlphaPtr = std::unique_ptr<TcxAlphaBitmap, orv::FreeDeleter>;

struct ChangeCounter : TObject {
  int Count = 0;
  void Changed(TObject*) { ++Count; }
};

// Pixels of a bitmap as colour values (red low), top row first.
std::vector<COLORREF> Colours(TcxBitmap* b) {
  std::vector<COLORREF> out;
  for (Cardinal p : ReadBitmapColors(b, true)) out.push_back(orv::PixelToColor(p));
  return out;
}

AnsiString Data(TcxBitmap* b) {
  TStringStream s;
  b->WriteData(&s);
  return s.GetDataString();
}

TEST(TcxBitmap, SizeAndChangeNotifications) {
  BitmapPtr b(new TcxBitmap);
  EXPECT_TRUE(b->Empty());
  EXPECT_EQ(b->GetPixelFormat(), pf24bit);
  ChangeCounter counter;
  b->SetOnChange(TNotifyEvent(&counter, &ChangeCounter::Changed));
  b->SetSize(-5, 10);
  EXPECT_EQ(b->GetWidth(), 0);
  EXPECT_EQ(b->GetHeight(), 10);
  EXPECT_EQ(counter.Count, 1);
  b->SetSize(0, 10);
  EXPECT_EQ(counter.Count, 1);
  b->BeginUpdate();
  b->SetSize(3, 3);
  b->SetPixelFormat(pf8bit);
  EXPECT_EQ(counter.Count, 1);
  b->EndUpdate(false);
  EXPECT_EQ(counter.Count, 2);
  b->BeginUpdate();
  b->EndUpdate(false);  // nothing changed, not forced
  EXPECT_EQ(counter.Count, 2);
  b->BeginUpdate();
  b->EndUpdate(true);
  EXPECT_EQ(counter.Count, 3);
  EXPECT_EQ(b->GetBoundsRect(), (TRect{0, 0, 3, 3}));
}

TEST(TcxBitmap32, OnlyThirtyTwoBitsPerPixel) {
  Bitmap32Ptr b(new TcxBitmap32(2, 2, true));
  EXPECT_EQ(b->GetPixelFormat(), pf32bit);
  EXPECT_FALSE(b->HasAlphaChannel());
  b->SetOpaque();
  EXPECT_TRUE(b->HasAlphaChannel());
  EXPECT_EQ(b->GetPixels()[0], 0xFF000000u);
  EXPECT_THROW(b->SetPixelFormat(pf24bit), EdxException);
  try {
    Bitmap32Ptr c(new TcxBitmap32(1, 1));
    c->SetPixelFormat(pf8bit);
  } catch (const EdxException& e) {
    EXPECT_STREQ(e.what(), "Wrong PixelFormat");
  }
}

// ---- The compressed stream ----

// Decodes what EncodeXdbm wrote.
AnsiString RoundTrip(const AnsiString& data, Integer block) {
  TStringStream s(orv::EncodeXdbm(data, block));
  AnsiString out;
  EXPECT_TRUE(orv::DecodeXdbm(&s, out));
  EXPECT_EQ(s.GetPosition(), s.GetSize());
  return out;
}

// The run records of an encoded stream: (control byte) per record.
std::vector<int> Controls(const AnsiString& encoded) {
  const auto* p = reinterpret_cast<const Byte*>(encoded.data());
  const std::size_t b = p[10], r = p[11];
  std::vector<int> out;
  for (std::size_t pos = 12 + r; pos < encoded.size();) {
    const int c = p[pos++];
    out.push_back(c);
    pos += (c & 0x80) ? std::size_t(c & 0x7F) * b : b;
  }
  return out;
}

TEST(Xdbm, RunsSplitAt125BlocksAndLiteralsStopBeforeARepeat) {
  // B = 3, a 2-byte remainder, then 126 equal blocks: 125 + 1.
  AnsiString data = "xy" + AnsiString(126 * 3, 'a');
  for (std::size_t i = 2; i < data.size(); i += 3) data[i] = 'q';
  AnsiString encoded = orv::EncodeXdbm(data, 3);
  EXPECT_EQ(encoded.substr(4, 4), "XDBM");
  EXPECT_EQ(encoded[8], 2);
  EXPECT_EQ(encoded[10], 3);
  EXPECT_EQ(encoded[11], 2);
  EXPECT_EQ(encoded.substr(12, 2), "xy");
  EXPECT_EQ(Controls(encoded), (std::vector<int>{125, 0x80 | 1}));
  EXPECT_EQ(RoundTrip(data, 3), data);
  // A different block, then two equal ones: a literal of 1, then a repeat of 2.
  EXPECT_EQ(Controls(orv::EncodeXdbm("abb", 1)), (std::vector<int>{0x81, 2}));
  // All different: literals of at most 125.
  AnsiString distinct;
  for (int i = 0; i < 300; ++i) distinct.push_back(char(i % 2 ? 'a' + i % 7 : 'A' + i % 5));
  for (int c : Controls(orv::EncodeXdbm(distinct, 1))) EXPECT_LE(c & 0x7F, 125);
  EXPECT_EQ(RoundTrip(distinct, 1), distinct);
}

TEST(Xdbm, RoundTripsAtEveryRunBoundary) {
  std::mt19937 random(3);
  for (Integer block : {1, 2, 3, 4}) {
    for (int run : {1, 2, 124, 125, 126, 249, 250, 251}) {
      for (int remainder = 0; remainder < block; ++remainder) {
        AnsiString data(std::size_t(remainder), 'r');
        // A literal stretch, a run, a literal stretch of the same length, a run of other blocks.
        for (int i = 0; i < run; ++i)
          for (int k = 0; k < block; ++k) data.push_back(char(random()));
        for (int i = 0; i < run; ++i) data.append(std::size_t(block), 'z');
        for (int i = 0; i < run; ++i) data.append(std::size_t(block), char('a' + i % 2));
        for (int i = 0; i < run; ++i) data.append(std::size_t(block), char(i / 125));
        ASSERT_EQ(RoundTrip(data, block), data) << "block " << block << " run " << run;
      }
    }
  }
  EXPECT_EQ(RoundTrip("", 4), "");
}

TEST(Xdbm, BrokenStreamsAreRefusedWithoutReadingPastThem) {
  const AnsiString good = orv::EncodeXdbm(AnsiString(40, 'k') + "tail", 2);
  auto decode = [](const AnsiString& bytes) {
    TStringStream s(bytes);
    AnsiString out;
    return orv::DecodeXdbm(&s, out);
  };
  EXPECT_TRUE(decode(good));
  // Every truncation of the payload fails cleanly.
  for (std::size_t n = 10; n < good.size(); ++n) EXPECT_THROW(decode(good.substr(0, n)), EReadError) << n;
  // A payload size beyond the stream, a negative one, an unknown version.
  AnsiString big = good;
  big[3] = char(0x10);
  EXPECT_THROW(decode(big), EReadError);
  AnsiString negative = good;
  negative[3] = char(0x80);
  EXPECT_THROW(decode(negative), EReadError);
  AnsiString version = good;
  version[8] = 3;
  EXPECT_THROW(decode(version), EReadError);
  // A remainder larger than the payload, a zero block size.
  AnsiString remainder = good;
  remainder[11] = char(0xFF);
  EXPECT_THROW(decode(remainder), EReadError);
  AnsiString zero = good;
  zero[10] = 0;
  EXPECT_THROW(decode(zero), EReadError);
  // A literal that claims more blocks than follow.
  AnsiString literal("\x03\x00\x00\x00XDBM\x02\x00\x01\x00\x85", 13);
  EXPECT_THROW(decode(literal), EReadError);
  // Version 1: runs of single bytes over the whole payload.
  AnsiString v1("\x04\x00\x00\x00XDBM\x01\x00\x03q\x81r", 14);
  TStringStream s(v1);
  AnsiString out;
  EXPECT_TRUE(orv::DecodeXdbm(&s, out));
  EXPECT_EQ(out, "qqqr");
  // No signature: nothing read.
  TStringStream plain(AnsiString("\x00\x00\x00\x00BM\x00\x00\x00\x00", 10));
  EXPECT_FALSE(orv::DecodeXdbm(&plain, out));
  EXPECT_EQ(plain.GetPosition(), 0);
}

// A bitmap of `format` with runs of equal pixels and single different ones.
BitmapPtr Pattern(TPixelFormat format, int width, int height) {
  BitmapPtr b(new TcxBitmap(width, height, format));
  HDC dc = b->GetCanvas()->GetDCHandle();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      COLORREF c = (x / 7 + y) % 3 == 0 ? RGB(0, 0, 0) : (x % 5 == 0 ? RGB(255, 0, 0) : RGB(255, 255, 255));
      if (x == y) c = RGB(0, 0, 255);
      SetPixel(dc, x, y, c);
    }
  return b;
}

TEST(TcxBitmap, DataRoundTripsAtEveryDepthCompressedOrNot) {
  for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf15bit, pf24bit, pf32bit}) {
    for (int width : {1, 3, 31, 130, 300}) {
      BitmapPtr source = Pattern(format, width, 5);
      for (bool compress : {false, true}) {
        source->SetCompressData(compress);
        const AnsiString data = Data(source.get());
        EXPECT_EQ(data.substr(4, 4) == "XDBM", compress);
        BitmapPtr copy(new TcxBitmap);
        TStringStream in(data);
        copy->ReadData(&in);
        EXPECT_EQ(in.GetPosition(), in.GetSize());
        EXPECT_EQ(copy->GetWidth(), width);
        EXPECT_EQ(copy->GetHeight(), 5);
        EXPECT_EQ(PixelFormatBitsPerPixel(copy->GetPixelFormat()), PixelFormatBitsPerPixel(format));
        ASSERT_EQ(Colours(copy.get()), Colours(source.get()))
            << "format " << format << " width " << width << " compressed " << compress;
      }
    }
  }
}

TEST(TcxBitmap, CompressedDataOfOneColourIsSmall) {
  BitmapPtr b(new TcxBitmap(200, 40, pf24bit));
  b->SetCompressData(true);
  const AnsiString data = Data(b.get());
  EXPECT_LT(data.size(), 1000u);
  EXPECT_EQ(data[10], 3);  // block size of 24 bits
  BitmapPtr empty(new TcxBitmap);
  EXPECT_EQ(Data(empty.get()), AnsiString(4, '\0'));
  TStringStream in(AnsiString(4, '\0'));
  b->ReadData(&in);
  EXPECT_TRUE(b->Empty());
}

TEST(TcxBitmap, AFileThatPromisesMoreThanItHoldsIsRefused) {
  BitmapPtr b = Pattern(pf8bit, 20, 20);
  TStringStream file;
  b->SaveToStream(&file);
  const AnsiString bytes = file.GetDataString();
  for (std::size_t n : {std::size_t(0), std::size_t(20), std::size_t(60), bytes.size() - 1}) {
    BitmapPtr target(new TcxBitmap(2, 2));
    TStringStream cut(bytes.substr(0, n));
    EXPECT_THROW(target->LoadFromStream(&cut), EInvalidGraphic) << n;
    EXPECT_EQ(target->GetWidth(), 2);
  }
  // A header claiming a huge height.
  AnsiString huge = bytes;
  huge[22 + 3] = 0x7F;
  TStringStream s(huge);
  BitmapPtr target(new TcxBitmap);
  EXPECT_THROW(target->LoadFromStream(&s), EInvalidGraphic);
}

// ---- Pixel operations ----

TEST(TcxAlphaBitmap, TransparentColourAndPixelOperations) {
  AlphaPtr b(new TcxAlphaBitmap(3, 1));
  TRGBColors pixels = {orv::MakePixel(255, 0, 255, 200), orv::MakePixel(10, 20, 30, 0),
                       orv::MakePixel(100, 150, 200, 128)};
  b->SetPixels(pixels);
  b->SetTransparentColor(clFuchsia);
  const TRGBColors after = b->GetPixels();
  EXPECT_EQ(after[0], orv::MakePixel(255, 0, 255, 200));  // transparent whatever its alpha
  EXPECT_EQ(after[1], orv::MakePixel(10, 20, 30, 255));
  EXPECT_EQ(after[2], orv::MakePixel(100, 150, 200, 128));
  EXPECT_TRUE(b->IsTransparent(orv::MakePixel(255, 0, 255, 7)));
  b->ProcessPixels(ppoGrey);
  const Cardinal grey = b->GetPixels()[1];
  EXPECT_EQ(grey, orv::MakePixel(18, 18, 18, 255));  // 0.299 x 10 + 0.587 x 20 + 0.114 x 30
  EXPECT_EQ(b->GetPixels()[0], orv::MakePixel(255, 0, 255, 200));
  b->ProcessPixels(ppoLight);
  EXPECT_EQ(b->GetPixels()[1], orv::MakePixel(89, 89, 89, 255));  // 18 + 30% of 237
  b->ProcessPixels(ppoMask);
  EXPECT_EQ(b->GetPixels(), (TRGBColors{0xFFFFFFFFu, 0, 0}));
}

TEST(TcxAlphaBitmap, HatchAndSilhouette) {
  AlphaPtr b(new TcxAlphaBitmap(4, 2));
  b->SetHatch(clRed, clBlue, 255, 255, 1);
  const TRGBColors p = b->GetPixels();  // bottom row first; x + y odd takes colour 2
  EXPECT_EQ(p[0], orv::MakePixel(255, 0, 0, 255));
  EXPECT_EQ(p[1], orv::MakePixel(0, 0, 255, 255));
  EXPECT_EQ(p[4], orv::MakePixel(0, 0, 255, 255));
  // The silhouette of a 2 x 2 opaque square, one pixel right and down, where the image is not.
  Bitmap32Ptr mask(new TcxBitmap32(3, 3));
  mask->GetCanvas()->FillRectWithColor({0, 0, 3, 3}, clWhite);
  mask->GetCanvas()->FillRectWithColor({0, 0, 2, 2}, clBlack);
  AlphaPtr image(new TcxAlphaBitmap(3, 3));
  image->FillBlack();
  image->AddSilhouette(mask.get(), 1, clRed, true);
  EXPECT_EQ(image->GetWidth(), 4);
  const TRGBColors top = ReadBitmapColors(image.get(), true);
  auto at = [&](int x, int y) { return top[std::size_t(y * 4 + x)]; };
  EXPECT_EQ(at(0, 0), 0u);
  EXPECT_EQ(at(1, 1), 0u);  // under the image itself
  EXPECT_EQ(at(2, 1), orv::MakePixel(255, 0, 0, 255));
  EXPECT_EQ(at(2, 2), orv::MakePixel(255, 0, 0, 255));
  EXPECT_EQ(at(3, 3), 0u);
}

TEST(RotateBitmap, EveryRotationAndMirror) {
  // 3 x 2: pixels numbered 1..6 row by row.
  const struct {
    Integer Rotation;
    bool Flip;
    int Width;
    std::vector<Cardinal> Expected;
  } cases[] = {
      {0, false, 3, {1, 2, 3, 4, 5, 6}}, {0, true, 3, {4, 5, 6, 1, 2, 3}},
      {1, false, 2, {3, 6, 2, 5, 1, 4}}, {1, true, 2, {1, 4, 2, 5, 3, 6}},
      {2, false, 2, {4, 1, 5, 2, 6, 3}}, {2, true, 2, {6, 3, 5, 2, 4, 1}},
      {3, false, 3, {6, 5, 4, 3, 2, 1}}, {3, true, 3, {3, 2, 1, 6, 5, 4}},
  };
  for (const auto& c : cases) {
    Bitmap32Ptr b(new TcxBitmap32(3, 2));
    TRGBColors pixels{1, 2, 3, 4, 5, 6};
    StoreBitmapColors(b.get(), pixels, true);
    b->Rotate(c.Rotation, c.Flip);
    EXPECT_EQ(b->GetWidth(), c.Width);
    EXPECT_EQ(ReadBitmapColors(b.get(), true), c.Expected) << c.Rotation << " " << c.Flip;
  }
}

// ---- Blending and resampling ----

TEST(AlphaBlend, SoftwareBlendHonoursConstantAndPixelAlpha) {
  orv::SetMsimg32Available(false);
  Bitmap32Ptr dest(new TcxBitmap32(2, 1)), source(new TcxBitmap32(2, 1));
  TRGBColors d{orv::MakePixel(100, 100, 100, 255), orv::MakePixel(100, 100, 100, 255)};
  TRGBColors s{orv::MakePixel(200, 0, 0, 255), orv::MakePixel(64, 0, 0, 128)};
  dest->SetPixels(d);
  source->SetPixels(s);
  source->AlphaDrawTo(dest.get(), dest->GetBoundsRect(), false, 0);
  EXPECT_EQ(dest->GetPixels()[0], orv::MakePixel(100, 100, 100, 255));  // constant alpha 0
  source->AlphaDrawTo(dest.get(), dest->GetBoundsRect());
  const TRGBColors out = dest->GetPixels();
  EXPECT_EQ(out[0], orv::MakePixel(200, 0, 0, 255));
  EXPECT_EQ(out[1], orv::MakePixel(114, 50, 50, 255));  // premultiplied source over half
  orv::SetMsimg32Available(true);
}

TEST(ResampleBitmap, AOnePixelSourceFillsWithItsColour) {
  Bitmap32Ptr one(new TcxBitmap32(1, 1));
  TRGBColors p{orv::MakePixel(12, 200, 99, 255)};
  one->SetPixels(p);
  for (auto [w, h] : {std::pair{1, 1}, {7, 3}, {1, 9}, {20, 20}}) {
    Bitmap32Ptr dest(new TcxBitmap32(w, h));
    ResampleBitmap(one.get(), dest.get(), true);
    for (Cardinal pixel : dest->GetPixels()) ASSERT_EQ(pixel, orv::MakePixel(12, 200, 99, 255)) << w << "x" << h;
  }
}

TEST(ResampleBitmap, LanczosKeepsFlatAreasFlatAndNeverReadsOutside) {
  // Two pixels, each side: every filter window reaches past the edges.
  Bitmap32Ptr two(new TcxBitmap32(2, 2));
  TRGBColors p(4, orv::MakePixel(50, 60, 70, 255));
  two->SetPixels(p);
  Bitmap32Ptr big(new TcxBitmap32(9, 1));
  ResampleBitmap(two.get(), big.get(), true);
  for (Cardinal pixel : big->GetPixels()) EXPECT_EQ(pixel, orv::MakePixel(50, 60, 70, 255));
  // Shrinking a gradient to one pixel wide: a value within the source's range.
  Bitmap32Ptr ramp(new TcxBitmap32(16, 1));
  TRGBColors r;
  for (int x = 0; x < 16; ++x) r.push_back(orv::MakePixel(x * 16, 0, 0, 255));
  ramp->SetPixels(r);
  Bitmap32Ptr thin(new TcxBitmap32(1, 1));
  ResampleBitmap(ramp.get(), thin.get(), true);
  EXPECT_LE((thin->GetPixels()[0] >> 16) & 0xFF, 240u);
  // Without force: the platform's halftone stretch.
  Bitmap32Ptr half(new TcxBitmap32(8, 1));
  ResampleBitmap(ramp.get(), half.get());
  EXPECT_EQ((half->GetPixels()[0] >> 16) & 0xFF, 8u);
}

TEST(ProcessDCAreaAsAlphaBitmap, HatchesTheArea) {
  paint_test::TPaintDC dc(4, 2, 0);
  ProcessDCAreaAsAlphaBitmap(dc.Dc, {0, 0, 4, 2}, clWhite, clRed, 255, 0, 1);
  EXPECT_TRUE(dc.Art({0, 0, 4, 2}, R"(
      #w#w
      w#w#)", {{'w', 0xFFFFFF}, {'#', 0}}));
}

}  // namespace

// ---- Form descriptions ----

namespace {

// A component with a glyph, as buttons and styles keep them.
class TGlyphHolder : public TComponent {
  ORV_CLASS(TGlyphHolder, TComponent)
 public:
  explicit TGlyphHolder(TComponent* owner) : TComponent(owner), FGlyph(new TcxBitmap) {}
  ~TGlyphHolder() override { orv::Free(FGlyph); }
  TcxBitmap* GetGlyph() const { return FGlyph; }

 private:
  TcxBitmap* FGlyph;
};

ORV_PUBLISH(TGlyphHolder) { p.Property("Glyph", &TGlyphHolder::GetGlyph); }

}  // namespace

TEST(TcxBitmap, GlyphsTravelThroughFormDescriptionsCompressedOrNot) {
  for (Boolean compress : {false, true}) {
    std::unique_ptr<TGlyphHolder, orv::FreeDeleter> holder(new TGlyphHolder(nullptr));
    holder->SetName("Holder");
    TcxBitmap* glyph = holder->GetGlyph();
    glyph->SetPixelFormat(pf24bit);
    glyph->SetSize(40, 3);
    glyph->GetCanvas()->FillRectWithColor({0, 0, 40, 3}, clRed);
    glyph->GetCanvas()->FillRectWithColor({5, 1, 7, 2}, clBlue);
    glyph->SetCompressData(compress);
    const std::string text = orv::WriteComponentToText(holder.get());
    // The compressed form carries its signature "XDBM".
    EXPECT_EQ(text.find("5844424D") != std::string::npos, compress) << text;
    std::unique_ptr<TGlyphHolder, orv::FreeDeleter> copy(new TGlyphHolder(nullptr));
    orv::ReadComponentFromText(copy.get(), text);
    EXPECT_EQ(copy->GetGlyph()->GetWidth(), 40);
    EXPECT_EQ(ReadBitmapColors(copy->GetGlyph(), true), ReadBitmapColors(glyph, true));
  }
  // An empty glyph stores nothing.
  std::unique_ptr<TGlyphHolder, orv::FreeDeleter> empty(new TGlyphHolder(nullptr));
  empty->SetName("Holder");
  EXPECT_EQ(orv::WriteComponentToText(empty.get()).find("Glyph.Data"), std::string::npos);
}
