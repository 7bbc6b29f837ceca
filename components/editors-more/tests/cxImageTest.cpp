#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "components/editors-more/cxImage.h"
#include "components/editors-more/tests/EditorsMoreFixture.h"
#include "platform/forms/Filer.h"
#include "components/foundation/dxGDIPlusClasses.h"
#include "memdata/RxMemDS.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Jpeg.h"
#include "platform/dataset/Fields.h"
#include "platform/runtime/Streams.h"

namespace {

using edmore_test::FormTest;
using orv::test::Owned;
namespace fs = std::filesystem;

// A folder of picture files made for one test and removed after it.
class TPictureFiles {
 public:
  TPictureFiles() {
    FDir = fs::temp_directory_path() / ("orv-image-" + std::to_string(::getpid()) + "-" + std::to_string(++Counter()));
    fs::create_directories(FDir);
  }
  ~TPictureFiles() {
    std::error_code ec;
    fs::remove_all(FDir, ec);
  }
  AnsiString Path(const std::string& name) const { return (FDir / name).string(); }
  // A picture with four coloured quarters, so that its size and orientation both show.
  static TBitmap* Quarters(Integer w, Integer h) {
    auto* b = new TBitmap;
    b->SetPixelFormat(pf24bit);
    b->SetSize(w, h);
    const TColor colors[4] = {clRed, clLime, clBlue, clYellow};
    for (Integer q = 0; q < 4; ++q) {
      b->GetCanvas()->GetBrush()->SetColor(colors[q]);
      const Integer x = (q % 2) * w / 2;
      const Integer y = (q / 2) * h / 2;
      b->GetCanvas()->FillRect(TRect{x, y, x + w / 2, y + h / 2});
    }
    return b;
  }
  AnsiString WritePng(const std::string& name, Integer w, Integer h) {
    Owned<TBitmap> b(Quarters(w, h));
    Owned<TdxPNGImage> png(new TdxPNGImage);
    png->Assign(b.get());
    png->SaveToFile(Path(name));
    return Path(name);
  }
  AnsiString WriteJpeg(const std::string& name, Integer w, Integer h) {
    Owned<TBitmap> b(Quarters(w, h));
    Owned<TJPEGImage> jpeg(new TJPEGImage);
    jpeg->Assign(b.get());
    jpeg->SaveToFile(Path(name));
    return Path(name);
  }
  AnsiString WriteBmp(const std::string& name, Integer w, Integer h) {
    Owned<TBitmap> b(Quarters(w, h));
    b->SaveToFile(Path(name));
    return Path(name);
  }
  static std::string ReadAll(const AnsiString& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  AnsiString WriteBytes(const std::string& name, const std::string& bytes) {
    std::ofstream out(Path(name), std::ios::binary);
    out << bytes;
    return Path(name);
  }

 private:
  static int& Counter() {
    static int n = 0;
    return n;
  }
  fs::path FDir;
};

// Answers the next file dialogs with one file name.
class TDialogAnswer {
 public:
  explicit TDialogAnswer(const AnsiString& fileName) {
    orv::SetFileDialogHandler([fileName](TOpenDialog*, bool, AnsiString& name) {
      name = fileName;
      return true;
    });
  }
  ~TDialogAnswer() { orv::SetFileDialogHandler(nullptr); }
};

AnsiString Bytes(std::initializer_list<int> values) {
  AnsiString s;
  for (int v : values) s += char(v);
  return s;
}

class ImageEditorTest : public FormTest {
 protected:
  TcxImage* NewImage() {
    auto* image = new TcxImage(Form.get());
    image->SetParent(Form.get());
    image->SetBounds(10, 10, 120, 90);
    return image;
  }
  static TColor PictureColorAt(TcxImage* image, Integer x, Integer y) {
    Owned<TBitmap> b(new TBitmap);
    b->Assign(image->GetPicture()->GetGraphic());
    return b->GetCanvas()->GetPixels(x, y);
  }
  static bool Near(TColor a, TColor b) {
    const auto d = [](int x, int y) { return std::abs(x - y); };
    return d(a & 0xFF, b & 0xFF) < 40 && d((a >> 8) & 0xFF, (b >> 8) & 0xFF) < 40 &&
           d((a >> 16) & 0xFF, (b >> 16) & 0xFF) < 40;
  }
};

}  // namespace

TEST(cxImageValues, FieldHeaderIsSkippedOnlyWhenItMatchesTheLength) {
  TPictureFiles files;
  const std::string bmp = TPictureFiles::ReadAll(files.WriteBmp("q.bmp", 8, 6));
  const auto header = [](std::size_t length, int delta) {
    const std::size_t n = length + std::size_t(delta);
    return Bytes({1, 0, 0, 1, int(n & 0xFF), int((n >> 8) & 0xFF), int((n >> 16) & 0xFF), int((n >> 24) & 0xFF)});
  };
  struct Case {
    const char* name;
    AnsiString value;
    Integer width;
  } cases[] = {
      {"plain bitmap bytes", bmp, 8},
      {"with a matching header", header(bmp.size(), 0) + bmp, 8},
      {"header length off by one", header(bmp.size(), 1) + bmp, 0},
      {"eight bytes or fewer", Bytes({1, 0, 0, 1, 0, 0, 0, 0}), 0},
      {"empty", AnsiString(), 0},
  };
  for (const Case& c : cases) {
    Owned<TPicture> picture(new TPicture);
    LoadPictureFromValue(picture.get(), TBitmap::StaticClass(), Variant(c.value));
    EXPECT_EQ(picture->GetWidth(), c.width) << c.name;
  }
  Owned<TPicture> picture(new TPicture);
  LoadPictureFromValue(picture.get(), TBitmap::StaticClass(), Variant(bmp));
  LoadPictureFromValue(picture.get(), TBitmap::StaticClass(), Null());
  EXPECT_EQ(picture->GetGraphic(), nullptr) << "a value that is no string clears the picture";
  AnsiString saved = "x";
  SavePictureToValue(picture.get(), saved);
  EXPECT_TRUE(saved.empty());
}

TEST(cxImageValues, ProportionalFitKeepsTheCornerAndTheRatio) {
  EXPECT_EQ(FitRectProportionally(TRect{10, 10, 110, 110}, 200, 50), (TRect{10, 10, 110, 35}));
  EXPECT_EQ(FitRectProportionally(TRect{0, 0, 100, 50}, 50, 100), (TRect{0, 0, 25, 50}));
  EXPECT_EQ(FitRectProportionally(TRect{5, 5, 5, 40}, 10, 10), (TRect{5, 5, 5, 40})) << "an empty rectangle stays";
}

TEST(cxImageProperties, GraphicClassNameTakesKnownNamesOnly) {
  Owned<TcxImageProperties> p(new TcxImageProperties(nullptr));
  EXPECT_EQ(p->GetGraphicClassName(), "TBitmap") << "the default class";
  p->SetGraphicClassName("tjpegimage");
  EXPECT_EQ(p->GetGraphicClass(), TGraphicClass(TJPEGImage::StaticClass()));
  p->SetGraphicClassName("TNoSuchPicture");
  EXPECT_EQ(p->GetGraphicClass(), TGraphicClass(TJPEGImage::StaticClass())) << "an unknown name changes nothing";
  p->SetGraphicClassName("");
  EXPECT_FALSE(p->GetGraphicClass());
  EXPECT_EQ(FindKnownGraphicClass("TdxPNGImage"), TGraphicClass(TdxPNGImage::StaticClass()));
}

TEST(cxImageProperties, InPlaceContentSizeFollowsTheWidthLimit) {
  TPictureFiles files;
  const std::string bmp = TPictureFiles::ReadAll(files.WriteBmp("wide.bmp", 200, 50));
  Owned<TcxImageProperties> p(new TcxImageProperties(nullptr));
  Owned<TcxEditStyle> style(new TcxEditStyle(nullptr, true));
  Owned<TcxCustomEditViewData> data(p->CreateViewData(style.get(), true));
  Owned<TcxScreenCanvas> canvas(new TcxScreenCanvas);
  TcxEditSizeProperties limits;
  limits.Width = 100;
  const TSize size = data->GetContentSize(canvas.get(), Variant(AnsiString(bmp)), limits);
  EXPECT_EQ(size.cx, 100);
  EXPECT_EQ(size.cy, 25);
  limits.Width = 400;
  EXPECT_EQ(data->GetContentSize(canvas.get(), Variant(AnsiString(bmp)), limits).cx, 200)
      << "a picture smaller than the limit keeps its size";
}

TEST_F(ImageEditorTest, PngAndJpegFilesRoundTripThroughABlobField) {
  TPictureFiles files;
  Owned<TRxMemoryData> table(new TRxMemoryData(nullptr));
  table->GetFieldDefs().Add("NAME", ftString, 20);
  table->GetFieldDefs().Add("PICTURE", ftGraphic);
  table->Open();
  TcxImage* image = NewImage();
  struct Case {
    const char* name;
    AnsiString file;
    TClass graphicClass;
  } cases[] = {
      {"png", files.WritePng("flag.png", 40, 20), TdxPNGImage::StaticClass()},
      {"jpeg", files.WriteJpeg("flag.jpg", 48, 32), TJPEGImage::StaticClass()},
  };
  for (const Case& c : cases) {
    {
      TDialogAnswer answer(c.file);
      image->LoadPictureFromFile();
    }
    ASSERT_NE(image->GetPicture()->GetGraphic(), nullptr) << c.name;
    EXPECT_EQ(image->GetPicture()->GetGraphic()->ClassType(), c.graphicClass) << c.name;
    const Variant value = image->GetEditValueProperty();
    ASSERT_TRUE(VarIsStr(value)) << c.name;
    table->Append();
    table->FieldByName("NAME")->SetAsString(c.name);
    table->FieldByName("PICTURE")->SetValue(value);
    table->Post();
  }
  table->First();
  for (const Case& c : cases) {
    ASSERT_EQ(table->FieldByName("NAME")->GetAsString(), c.name);
    TcxImage* reader = NewImage();
    reader->GetProperties()->SetGraphicClass(TGraphicClass());  // recognised by the stored bytes
    reader->SetEditValueProperty(table->FieldByName("PICTURE")->GetValue());
    Owned<TPicture> original(new TPicture);
    original->LoadFromFile(c.file);
    EXPECT_EQ(reader->GetPicture()->GetWidth(), original->GetWidth()) << c.name;
    EXPECT_EQ(reader->GetPicture()->GetHeight(), original->GetHeight()) << c.name;
    EXPECT_EQ(reader->GetPicture()->GetGraphic()->GetTransparent(), c.graphicClass != TJPEGImage::StaticClass())
        << c.name << ": read back as the same kind of picture";
    const Integer w = original->GetWidth();
    const Integer h = original->GetHeight();
    EXPECT_TRUE(Near(PictureColorAt(reader, w / 4, h / 4), clRed)) << c.name;
    EXPECT_TRUE(Near(PictureColorAt(reader, 3 * w / 4, 3 * h / 4), clYellow)) << c.name;
    EXPECT_FALSE(reader->GetModified()) << c.name;
    table->Next();
  }
}

TEST_F(ImageEditorTest, DamagedAndTruncatedFilesAreRefusedAndThePictureKept) {
  TPictureFiles files;
  const std::string png = TPictureFiles::ReadAll(files.WritePng("whole.png", 32, 32));
  const std::string jpeg = TPictureFiles::ReadAll(files.WriteJpeg("whole.jpg", 64, 64));
  const std::string bmp = TPictureFiles::ReadAll(files.WriteBmp("whole.bmp", 16, 16));
  std::string brokenJpeg = jpeg;
  for (std::size_t i = brokenJpeg.size() / 2; i < brokenJpeg.size() / 2 + 40; ++i) brokenJpeg[i] = char(0xFF);
  struct Case {
    const char* name;
    AnsiString file;
  } cases[] = {
      {"png cut in half", files.WriteBytes("half.png", png.substr(0, png.size() / 2))},
      {"png signature only", files.WriteBytes("sig.png", png.substr(0, 8))},
      {"jpeg cut in half", files.WriteBytes("half.jpg", jpeg.substr(0, jpeg.size() / 2))},
      {"jpeg with overwritten scan data", files.WriteBytes("broken.jpg", brokenJpeg)},
      {"jpeg header only", files.WriteBytes("head.jpg", jpeg.substr(0, 20))},
      {"bmp cut short", files.WriteBytes("short.bmp", bmp.substr(0, bmp.size() - 100))},
      {"text named png", files.WriteBytes("text.png", "not a picture at all")},
      {"empty jpeg", files.WriteBytes("empty.jpg", "")},
  };
  TcxImage* image = NewImage();
  {
    TDialogAnswer answer(files.Path("whole.bmp"));
    image->LoadPictureFromFile();
  }
  const Variant before = image->GetEditValueProperty();
  ASSERT_TRUE(VarIsStr(before));
  for (const Case& c : cases) {
    TDialogAnswer answer(c.file);
    EXPECT_THROW(image->LoadPictureFromFile(), EInvalidGraphic) << c.name;
    EXPECT_EQ(VarToStr(image->GetEditValueProperty()), VarToStr(before)) << c.name << ": the picture stays";
    EXPECT_FALSE(image->IsDialogOpen()) << c.name;
  }
  // A damaged value is no error for the value's reader: the picture is simply empty.
  image->SetEditValueProperty(Variant(AnsiString(png.substr(0, png.size() / 2))));
  EXPECT_TRUE(VarIsNull(image->GetEditValueProperty()));
}

TEST_F(ImageEditorTest, ContextMenuFollowsTheLayoutAndTheGraphicClass) {
  TcxImage* image = NewImage();
  TPictureFiles files;
  {
    TDialogAnswer answer(files.WriteBmp("q.bmp", 8, 8));
    image->LoadPictureFromFile();
  }
  image->PrepareContextMenu();
  TMenuItem* items = image->GetContextMenu()->GetItems();
  ASSERT_EQ(items->GetCount(), 9);
  EXPECT_EQ(items->GetItem(0)->GetCaption(), "Cu&t");
  EXPECT_TRUE(items->GetItem(0)->GetEnabled());
  EXPECT_TRUE(items->GetItem(1)->GetEnabled());
  EXPECT_FALSE(items->GetItem(8)->GetVisible()) << "no custom item by default";
  image->GetProperties()->SetGraphicClass(TIcon::StaticClass());
  image->PrepareContextMenu();
  EXPECT_FALSE(items->GetItem(0)->GetEnabled()) << "icons are not cut";
  EXPECT_FALSE(items->GetItem(1)->GetEnabled()) << "nor copied";
  EXPECT_FALSE(items->GetItem(2)->GetEnabled()) << "nor pasted";
  image->GetProperties()->GetPopupMenuLayout()->SetMenuItems({pmiCut, pmiCopy, pmiPaste, pmiDelete});
  image->PrepareContextMenu();
  EXPECT_FALSE(items->GetItem(4)->GetVisible()) << "no separator without Load and Save";
  EXPECT_FALSE(items->GetItem(5)->GetVisible());
}

TEST_F(ImageEditorTest, CopyAndPasteGoThroughTheClipboard) {
  TcxImage* source = NewImage();
  TcxImage* target = NewImage();
  TPictureFiles files;
  {
    TDialogAnswer answer(files.WriteBmp("q.bmp", 12, 10));
    source->LoadPictureFromFile();
  }
  source->CopyToClipboard();
  target->GetProperties()->SetGraphicClass(TJPEGImage::StaticClass());
  target->PasteFromClipboard();
  ASSERT_NE(target->GetPicture()->GetGraphic(), nullptr);
  EXPECT_EQ(target->GetPicture()->GetGraphic()->ClassType(), TJPEGImage::StaticClass())
      << "a bitmap pasted into a JPEG editor is stored as JPEG";
  const AnsiString bytes = VarToStr(target->GetEditValueProperty());
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(Byte(bytes[0]), 0xFF);
  EXPECT_EQ(Byte(bytes[1]), 0xD8);
  EXPECT_EQ(target->GetPicture()->GetWidth(), 12);
}

TEST_F(ImageEditorTest, PropertiesRoundTripThroughAFormDescription) {
  TcxImage* image = NewImage();
  image->SetName("Image1");
  const std::string plain = orv::WriteComponentToText(image);
  EXPECT_EQ(plain.find("Properties."), std::string::npos) << "defaults are not written:\n" << plain;
  TcxImageProperties* p = image->GetProperties();
  p->SetCenter(false);
  p->SetStretch(true);
  p->SetCaption("Нет снимка"_a);
  p->SetGraphicTransparency(gtTransparent);
  p->GetPopupMenuLayout()->SetMenuItems(TcxPopupMenuItems{pmiCopy, pmiSave});
  image->SetTransparentImage(true);
  const std::string text = orv::WriteComponentToText(image);
  auto* copy = static_cast<TcxImage*>(orv::CreateComponentFromText(text, nullptr));
  ASSERT_NE(copy, nullptr) << text;
  TcxImageProperties* q = copy->GetProperties();
  EXPECT_FALSE(q->GetCenter());
  EXPECT_TRUE(q->GetStretch());
  EXPECT_EQ(q->GetCaption(), "Нет снимка"_a);
  EXPECT_EQ(q->GetGraphicTransparency(), gtTransparent);
  EXPECT_EQ(q->GetPopupMenuLayout()->GetMenuItems(), (TcxPopupMenuItems{pmiCopy, pmiSave}));
  EXPECT_TRUE(copy->GetTransparentImage());
  orv::Free(copy);
}

TEST_F(ImageEditorTest, APictureLargerThanTheEditorScrollsUnlessCentredOrStretched) {
  TcxImage* image = NewImage();
  image->GetProperties()->SetCenter(false);
  image->GetProperties()->SetProportional(false);
  Show();
  Owned<TBitmap> big(new TBitmap);
  big->SetSize(300, 200);
  image->GetPicture()->Assign(big.get());
  Run();
  TcxControlScrollBar* h = image->GetHScrollBar();
  TcxControlScrollBar* v = image->GetVScrollBar();
  ASSERT_NE(h, nullptr);
  ASSERT_NE(v, nullptr);
  EXPECT_TRUE(h->GetVisible());
  EXPECT_TRUE(v->GetVisible());
  EXPECT_EQ(h->GetData().Max, 299);
  EXPECT_EQ(v->GetData().Max, 199);
  const Integer page = h->GetData().PageSize;
  EXPECT_GT(page, 0);
  EXPECT_LT(page, 300);
  // A line is 8 pixels; the position stops where the picture's edge meets the editor's.
  Integer position = 0;
  h->GetOnScroll()(h, scLineDown, position);
  EXPECT_EQ(image->GetScrollOffset().X, 8);
  position = 1000;
  h->GetOnScroll()(h, scTrack, position);
  EXPECT_EQ(image->GetScrollOffset().X, 300 - page);
  position = 24;
  v->GetOnScroll()(v, scTrack, position);
  EXPECT_EQ(image->GetScrollOffset(), (TPoint{300 - page, 24}));
  // A new picture shows from its corner; centring or stretching takes the bars away.
  image->GetPicture()->Assign(big.get());
  Run();
  EXPECT_EQ(image->GetScrollOffset(), (TPoint{0, 0}));
  image->GetProperties()->SetCenter(true);
  Run();
  EXPECT_FALSE(h->GetVisible());
  EXPECT_FALSE(v->GetVisible());
  EXPECT_EQ(image->GetScrollOffset(), (TPoint{0, 0}));
  image->GetProperties()->SetCenter(false);
  Run();
  EXPECT_TRUE(h->GetVisible());
  image->GetProperties()->SetStretch(true);
  Run();
  EXPECT_FALSE(h->GetVisible());
  // A picture that fits needs no bars.
  image->GetProperties()->SetStretch(false);
  Owned<TBitmap> small(new TBitmap);
  small->SetSize(20, 20);
  image->GetPicture()->Assign(small.get());
  Run();
  EXPECT_FALSE(h->GetVisible());
  EXPECT_FALSE(v->GetVisible());
}
