// Tab images: the image column in tab widths, effective image indexes, the image list going
// away, turned images for vertical captions; and the control read from a form description.
#include "components/foundation/cxGeometry.h"
#include "components/pagecontrol/tests/PCFixture.h"
#include "platform/controls/ImgList.h"
#include "platform/forms/Filer.h"

using namespace pc_test;

namespace {

// One 16 x 16 image: red with a blue top-left quarter.
TImageList* MakeImages(TComponent* owner) {
  auto* images = new TImageList(owner);
  images->SetSize(16, 16);
  Owned<TBitmap> bitmap(new TBitmap);
  bitmap->SetSize(16, 16);
  bitmap->GetCanvas()->GetBrush()->SetColor(clRed);
  bitmap->GetCanvas()->FillRect({0, 0, 16, 16});
  bitmap->GetCanvas()->GetBrush()->SetColor(clBlue);
  bitmap->GetCanvas()->FillRect({0, 0, 8, 8});
  images->Add(bitmap.get(), nullptr);
  return images;
}

class TImageIndexHandler : public TObject {
  ORV_CLASS(TImageIndexHandler, TObject)
 public:
  TImageIndexHandler() = default;
  void GetImageIndex(TObject* sender, Integer tabIndex, Integer& imageIndex) {
    if (tabIndex == 2) imageIndex = 0;
  }
};

}  // namespace

TEST_F(PCTest, ImagesWidenTheirTabs) {
  auto* c = Add(10, 10, 289, 100);
  c->SetStyle(1);
  AddTabs(c, {"abcde", "abcde", "abcde"});
  TImageList* images = MakeImages(Form.get());
  c->SetImages(images);
  c->SetImageBorder(2);
  // Tab 0 shows image 0 (its own index); tabs 1 and 2 name images the list lacks.
  EXPECT_EQ(c->GetTabImageIndex(0), 0);
  EXPECT_EQ(c->GetTabImageIndex(1), -1);
  EXPECT_EQ(c->GetTabs()->GetTab(0)->GetNormalWidth(), 30 + 16 + 4 + 18);
  EXPECT_EQ(c->GetTabs()->GetTab(1)->GetNormalWidth(), 42);
  TImageIndexHandler handler;
  c->SetOnGetImageIndex(TcxGetTabImageEvent(&handler, &TImageIndexHandler::GetImageIndex));
  c->RequestLayout();
  EXPECT_EQ(c->GetTabImageIndex(2), 0);
  EXPECT_EQ(c->GetTabs()->GetTab(2)->GetNormalWidth(), 68);
  // Assigning another tab's image to a tab copies the image shown.
  c->GetTabs()->GetTab(1)->Assign(c->GetTabs()->GetTab(2));
  EXPECT_EQ(c->GetTabs()->GetTab(1)->GetStoredImageIndex(), 0);
  Show();
  // The image is drawn in the tab, left of the caption.
  const TRect r = TabRect(c, 0);
  const orv::TSurface surface = orv::headless::CaptureWindow(c->GetHandle());
  Integer red = 0;
  for (Integer y = r.Top; y < r.Bottom; ++y)
    for (Integer x = r.Left; x < r.Left + 30; ++x)
      if (orv::PixelToColor(surface.Pixel(x, y)) == 0x0000FF) ++red;
  EXPECT_EQ(red, 16 * 16 - 8 * 8);
  // The list going away leaves the control without images.
  images->Free();
  EXPECT_EQ(c->GetImages(), nullptr);
  EXPECT_EQ(c->GetTabs()->GetTab(0)->GetNormalWidth(), 42);
}

TEST_F(PCTest, ImagesTurnWithVerticalCaptions) {
  auto* c = Add(10, 10, 120, 150);
  c->SetStyle(1);
  c->SetTabPosition(tpLeft);
  AddTabs(c, {"abc"});
  c->SetImages(MakeImages(Form.get()));
  EXPECT_EQ(c->GetTabImageList()->GetImageRotation(), 1);
  EXPECT_EQ(c->GetTabImageList()->GetRotatedImageCount(), 1);
  EXPECT_EQ(c->GetTabImageList()->GetRotatedImageSize(), (TSize{16, 16}));
  Show();
  // Turned a quarter counter-clockwise: the blue quarter lies at the bottom-left.
  const TRect r = TabRect(c, 0);
  const orv::TSurface surface = orv::headless::CaptureWindow(c->GetHandle());
  TRect blue{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN}, red = blue;
  for (Integer y = r.Top; y < r.Bottom; ++y)
    for (Integer x = r.Left; x < r.Right; ++x) {
      const COLORREF px = orv::PixelToColor(surface.Pixel(x, y));
      TRect& box = px == 0xFF0000 ? blue : red;
      if (px != 0xFF0000 && px != 0x0000FF) continue;
      box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1), std::max(box.Bottom, y + 1)};
    }
  EXPECT_EQ(blue.Width(), 8);
  EXPECT_EQ(red.Width(), 16);
  EXPECT_EQ(blue.Left, red.Left);
  EXPECT_EQ(blue.Bottom, red.Bottom);
  c->SetOptions(cxPCDefaultOptions + TcxPCOptions{pcoTopToBottomText});
  EXPECT_EQ(c->GetTabImageList()->GetImageRotation(), 2);
  EXPECT_THROW(c->GetTabImageList()->Draw(c->GetCanvas(), 0, 0, 1, true, clRed), EdxException);
}

TEST_F(PCTest, ReadFromAFormDescription) {
  auto* c = Add(10, 10, 289, 193);
  TEventLog log;
  c->SetOnChange(TNotifyEvent(&log, &TEventLog::Change));
  c->SetOnChanging(TcxTabChangingEvent(&log, &TEventLog::Changing));
  orv::ReadComponentFromText(c,
                             "object Tab: TcxTabControl\n"
                             "  Tabs.Strings = (\n"
                             "    'One'\n"
                             "    'Two'\n"
                             "    'Three')\n"
                             "  TabIndex = 2\n"
                             "  Style = 8\n"
                             "  TabPosition = tpBottom\n"
                             "  Options = [pcoGoDialog, pcoGradient]\n"
                             "  TabSlants.Kind = skCutCorner\n"
                             "  ClientRectBottom = 160\n"
                             "  ClientRectRight = 289\n"
                             "  ClientRectTop = 0\n"
                             "end\n");
  EXPECT_EQ(c->GetTabIndex(), 2);
  EXPECT_EQ(c->GetMainTabVisibleIndex(), 2);
  EXPECT_EQ(log.Changes, 0);
  EXPECT_EQ(log.Changings, 0);
  EXPECT_EQ(c->GetStyle(), 8);
  EXPECT_EQ(c->GetTabPosition(), tpBottom);
  EXPECT_EQ(c->GetOptions(), (TcxPCOptions{pcoGoDialog, pcoGradient}));
  EXPECT_EQ(c->GetTabSlants()->GetKind(), skCutCorner);
  EXPECT_EQ(c->GetTabs()->Get(1), "Two");
  // Written back: the stored client rect is the page client rect.
  const AnsiString text = orv::WriteComponentToText(c);
  EXPECT_NE(text.find("ClientRectRight = 289"), AnsiString::npos) << text;
  EXPECT_NE(text.find("TabIndex = 2"), AnsiString::npos) << text;
}

TEST_F(PCTest, GoldenAboutBoxPage) {
  // The about box: an Office 2003 page control with images and a frame, one sheet.
  auto* pc = Add<TcxPageControl>(10, 10, 220, 120);
  pc->GetLookAndFeel()->SetKind(lfOffice11);
  pc->SetShowFrame(true);
  pc->SetImages(MakeImages(Form.get()));
  auto* sheet = new TcxTabSheet(Form.get());
  sheet->SetCaption("Info");
  sheet->SetImageIndex(0);
  sheet->SetPageControl(pc);
  Show();
  EXPECT_EQ(pc->GetPainter()->GetStyleID(), 8);
  EXPECT_EQ(pc->GetActivePage(), sheet);
  EXPECT_EQ(pc->GetTabImageIndex(0), 0);
  EXPECT_TRUE(Golden(pc, "office11-page.png"));
}

TEST_F(PCTest, RotatedTabsStandAcrossTheRow) {
  auto* c = Add(10, 10, 289, 193);
  c->SetStyle(1);
  c->SetRotate(true);
  AddTabs(c, {"abc", "abcdefgh", "a"});
  // Rows are as thick as the widest tab; along the row each tab takes the common height.
  EXPECT_EQ(c->GetRowHeight(), 60);
  EXPECT_EQ(c->GetWidestRotatedCaptionWidth(), 48);
  const TRect r = c->GetTabs()->GetTab(2)->GetNormalRect();
  EXPECT_EQ(r.Width(), c->GetTabs()->GetTabNormalHeight());
  EXPECT_EQ(r.Height(), 60);
  EXPECT_EQ(c->GetCaptionOrientation(), 1);
  c->SetMaxRotatedTabWidth(50);
  EXPECT_EQ(c->GetRowHeight(), 50);
}
