// The look-and-feel button: clicks by mouse, Space and Enter fire OnClick once; default and
// cancel roles in a form; speed-button groups; the glyph strip, its images per state and the
// layout of glyph and caption.
#include <gtest/gtest.h>

#include <memory>

#include "components/editors/cxButtons.h"
#include "components/editors/cxTextEdit.h"
#include "platform/controls/ActnList.h"
#include "platform/controls/ImgList.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

using orv::test::Owned;

class TButtonLog : public TObject {
 public:
  void Click(TObject* sender) { Clicks.push_back(sender); }
  // Takes the drop-down menu's place: records the request and shows nothing.
  void MenuPopup(TObject* sender, TPopupMenu*&, Boolean& handled) {
    Menus.push_back(sender);
    handled = true;
  }
  std::vector<TObject*> Clicks;
  std::vector<TObject*> Menus;
};

class ButtonTest : public orv::test::HeadlessFormTest {
 protected:
  ButtonTest() : HeadlessFormTest({100, 100, 300, 200}) {}
  TcxButton* Add(Integer x, Integer y) {
    auto* b = new TcxButton(Form.get());
    b->SetParent(Form.get());
    b->SetBounds(x, y, 75, 25);
    b->SetCaption("OK");
    b->SetOnClick(TNotifyEvent(&Log, &TButtonLog::Click));
    return b;
  }
  // Clicks far enough apart in time not to make double clicks.
  static void ClickAt(TControl* c, Integer x = 10, Integer y = 10) {
    orv::headless::AdvanceTime(1000);
    const TPoint p = c->ClientToScreen(TPoint{x, y});
    orv::headless::Click(p.X, p.Y);
    Run();
  }

  TButtonLog Log;
};

TEST_F(ButtonTest, MouseSpaceAndEnterEachFireOneClick) {
  TcxButton* b = Add(10, 10);
  Form->Show();
  Run();
  ClickAt(b);
  EXPECT_EQ(Log.Clicks.size(), 1u);
  ASSERT_TRUE(b->Focused());
  orv::headless::PressKey(VK_SPACE);
  Run();
  EXPECT_EQ(Log.Clicks.size(), 2u);
  orv::headless::PressKey(VK_RETURN);
  Run();
  EXPECT_EQ(Log.Clicks.size(), 3u);
  // A press that leaves the button before the release is no click.
  const TPoint p = b->ClientToScreen(TPoint{10, 10});
  orv::headless::MouseMove(p.X, p.Y);
  orv::headless::MouseDown();
  orv::headless::MouseMove(p.X + 200, p.Y + 100);
  orv::headless::MouseUp();
  Run();
  EXPECT_EQ(Log.Clicks.size(), 3u);
}

TEST_F(ButtonTest, DefaultAndCancelButtonsAnswerEnterAndEscapeFromAnEditor) {
  TcxButton* ok = Add(10, 40);
  ok->SetDefault(true);
  ok->SetModalResult(mrOk);
  TcxButton* cancel = Add(100, 40);
  cancel->SetCancel(true);
  cancel->SetCaption("Cancel");
  auto* edit = new TcxTextEdit(Form.get());
  edit->SetParent(Form.get());
  edit->SetBounds(10, 10, 100, 21);
  Form->Show();
  Run();
  edit->SetFocus();
  Run();
  orv::headless::PressKey(VK_RETURN);
  Run();
  ASSERT_EQ(Log.Clicks.size(), 1u);
  EXPECT_EQ(Log.Clicks[0], ok);
  EXPECT_EQ(Form->GetModalResult(), mrOk);
  orv::headless::PressKey(VK_ESCAPE);
  Run();
  ASSERT_EQ(Log.Clicks.size(), 2u);
  EXPECT_EQ(Log.Clicks[1], cancel);
}

TEST_F(ButtonTest, SpeedButtonsOfAGroupGoDownOneAtATime) {
  TcxButton* a = Add(10, 10);
  TcxButton* b = Add(100, 10);
  for (TcxButton* x : {a, b}) {
    x->SetCanBeFocused(false);
    x->SetGroupIndex(1);
  }
  Form->Show();
  Run();
  ClickAt(a);
  EXPECT_TRUE(a->GetDown());
  ClickAt(b);
  EXPECT_TRUE(b->GetDown());
  EXPECT_FALSE(a->GetDown());
  ClickAt(b);
  EXPECT_TRUE(b->GetDown());
  EXPECT_FALSE(b->Focused());
  b->SetAllowAllUp(true);
  ClickAt(b);
  EXPECT_FALSE(b->GetDown());
  EXPECT_EQ(Log.Clicks.size(), 4u);
}

TEST_F(ButtonTest, TheActionsImageIsTheGlyphUntilTheActionGoes) {
  auto* images = new TImageList(Form.get());
  images->SetSize(16, 16);
  Owned<TBitmap> bitmap(new TBitmap);
  bitmap->SetSize(16, 16);
  for (TColor color : {clRed, clBlue}) {
    bitmap->GetCanvas()->GetBrush()->SetColor(color);
    bitmap->GetCanvas()->FillRect(TRect{0, 0, 16, 16});
    images->Add(bitmap.get(), nullptr);
  }
  auto* actions = new TActionList(Form.get());
  actions->SetImages(images);
  auto* action = new TAction(Form.get());
  action->SetActionList(actions);
  action->SetCaption("Go");
  action->SetImageIndex(1);
  TcxButton* b = Add(10, 10);
  b->SetAction(action);
  TcxButtonGlyph* glyph = b->GetGlyphObject();
  EXPECT_EQ(glyph->GetImages(), images);
  EXPECT_EQ(glyph->GetImageIndex(), 1);
  Form->Show();
  Run();
  // Surfaces hold red in the third byte, colours in the first.
  auto count = [&](TColor color) {
    const orv::TSurface shot = orv::headless::CaptureClient(b->GetHandle());
    const COLORREF c = ColorToRGB(color);
    const uint32_t pixel = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    int n = 0;
    for (int y = 0; y < shot.Height(); ++y)
      for (int x = 0; x < shot.Width(); ++x)
        if ((shot.Pixel(x, y) & 0xFFFFFF) == pixel) ++n;
    return n;
  };
  EXPECT_EQ(count(clBlue), 16 * 16);
  // The action's new image reaches the painted glyph.
  action->SetImageIndex(0);
  EXPECT_EQ(glyph->GetImageIndex(), 0);
  b->Repaint();
  Run();
  EXPECT_EQ(count(clRed), 16 * 16);
  EXPECT_EQ(count(clBlue), 0);
  // Without the action the button shows no image.
  b->SetAction(nullptr);
  EXPECT_EQ(glyph->GetImages(), nullptr);
  EXPECT_EQ(glyph->GetImageIndex(), -1);
  b->Repaint();
  Run();
  EXPECT_EQ(count(clRed), 0);
}

TEST_F(ButtonTest, DropDownKindsOpenTheMenuInsteadOfClicking) {
  TcxButton* whole = Add(10, 10);
  whole->SetKind(cxbkDropDown);
  TcxButton* split = Add(100, 10);
  split->SetKind(cxbkDropDownButton);
  for (TcxButton* b : {whole, split})
    b->SetOnDropDownMenuPopup(TcxButtonDropDownMenuPopupEvent(&Log, &TButtonLog::MenuPopup));
  Form->Show();
  Run();
  // The whole button is the drop-down part: a click opens the menu and is no click.
  ClickAt(whole);
  EXPECT_EQ(Log.Menus, (std::vector<TObject*>{whole}));
  EXPECT_TRUE(Log.Clicks.empty());
  orv::headless::PressKey(VK_SPACE);
  Run();
  EXPECT_EQ(Log.Menus.size(), 2u);
  EXPECT_TRUE(Log.Clicks.empty());
  // The split button clicks on its main part and opens the menu from its arrow part.
  Log.Menus.clear();
  ClickAt(split, 10, 10);
  EXPECT_EQ(Log.Clicks, (std::vector<TObject*>{split}));
  EXPECT_TRUE(Log.Menus.empty());
  ClickAt(split, split->GetWidth() - 5, 10);
  EXPECT_EQ(Log.Menus, (std::vector<TObject*>{split}));
  EXPECT_EQ(Log.Clicks.size(), 1u);
}

TEST(cxButtonColors, AStateWithoutItsOwnColourTakesTheNormalOneAndClearingUnassigns) {
  TcxButtonColors colors(nullptr);
  EXPECT_EQ(colors.GetBackgroundColor(cxbsHot), clDefault);
  colors.SetColor(cxbcNormal, clYellow);
  colors.SetColor(cxbcNormalText, clNavy);
  colors.SetColor(cxbcHot, clLime);
  struct Case {
    TcxButtonState state;
    TColor face;
    TColor text;
  };
  for (const Case& c : {Case{cxbsHot, clLime, clNavy}, Case{cxbsPressed, clYellow, clNavy},
                        Case{cxbsDisabled, clYellow, clNavy}, Case{cxbsNormal, clYellow, clNavy},
                        Case{cxbsDefault, clYellow, clNavy}}) {
    EXPECT_EQ(colors.GetBackgroundColor(c.state), c.face) << int(c.state);
    EXPECT_EQ(colors.GetTextColor(c.state), c.text) << int(c.state);
  }
  // The default state's own colour serves the normal state when that has none.
  colors.SetColor(cxbcNormal, clNone);
  EXPECT_FALSE(colors.IsColorStored(cxbcNormal));
  colors.SetColor(cxbcDefault, clAqua);
  EXPECT_EQ(colors.GetBackgroundColor(cxbsNormal), clAqua);
  EXPECT_EQ(colors.GetBackgroundColor(cxbsPressed), clDefault);
}

TEST_F(ButtonTest, MarginBelowMinusOneIsIgnored) {
  TcxButton* b = Add(10, 10);
  b->SetMargin(-2);
  EXPECT_EQ(b->GetMargin(), -1);
  b->SetMargin(3);
  EXPECT_EQ(b->GetMargin(), 3);
}

TEST(cxButtonGlyph, StripWidthGivesTheImageCountAndStatesPickTheirSlices) {
  Owned<TcxButtonGlyph> glyph(new TcxButtonGlyph);
  Owned<TBitmap> bitmap(new TBitmap);
  struct Case {
    Integer width;
    Integer height;
    Integer count;
  };
  for (const Case& c : {Case{64, 16, 4}, Case{80, 16, 1}, Case{50, 16, 1}, Case{0, 0, 1}, Case{32, 16, 2}}) {
    bitmap->SetSize(c.width, c.height);
    glyph->SetGlyph(bitmap.get());
    EXPECT_EQ(glyph->GetNumGlyphs(), c.count) << c.width << " x " << c.height;
  }
  glyph->SetNumGlyphs(0);
  EXPECT_EQ(glyph->GetNumGlyphs(), 1);
  glyph->SetNumGlyphs(7);
  EXPECT_EQ(glyph->GetNumGlyphs(), 4);

  // A 2-image strip: red normal image, blue disabled one; pressed shows the normal image.
  bitmap->SetSize(32, 16);
  TCanvas* canvas = bitmap->GetCanvas();
  canvas->GetBrush()->SetColor(clRed);
  canvas->FillRect(TRect{0, 0, 16, 16});
  canvas->GetBrush()->SetColor(clBlue);
  canvas->FillRect(TRect{16, 0, 32, 16});
  glyph->SetGlyph(bitmap.get());
  ASSERT_EQ(glyph->GetNumGlyphs(), 2);
  const Integer normal = glyph->StateImageIndex(cxbsNormal);
  EXPECT_EQ(glyph->StateImageIndex(cxbsPressed), normal);
  EXPECT_NE(glyph->StateImageIndex(cxbsDisabled), normal);
  EXPECT_EQ(glyph->GetGlyphList()->GetUsedCount(), 2);
}

TEST(cxButtonGlyph, GlyphsOfOneSizeShareAListThatGoesWithTheLastOfThem) {
  Owned<TBitmap> bitmap(new TBitmap);
  bitmap->SetSize(16, 16);
  bitmap->GetCanvas()->GetBrush()->SetColor(clRed);
  bitmap->GetCanvas()->FillRect(TRect{0, 0, 8, 8});
  {
    Owned<TcxButtonGlyph> a(new TcxButtonGlyph);
    Owned<TcxButtonGlyph> b(new TcxButtonGlyph);
    a->SetGlyph(bitmap.get());
    b->SetGlyph(bitmap.get());
    a->StateImageIndex(cxbsNormal);
    b->StateImageIndex(cxbsNormal);
    EXPECT_EQ(a->GetGlyphList(), b->GetGlyphList());
    ASSERT_NE(GetGlyphCache(), nullptr);
    EXPECT_EQ(GetGlyphCache()->GetListCount(), 1);
  }
  EXPECT_EQ(GetGlyphCache(), nullptr);
}

TEST(cxButtonGlyph, GlyphAndCaptionShareTheFreeSpaceEvenly) {
  Owned<TcxButtonGlyph> glyph(new TcxButtonGlyph);
  Owned<TBitmap> bitmap(new TBitmap);
  bitmap->SetSize(16, 16);
  glyph->SetGlyph(bitmap.get());
  TcxCanvas canvas(static_cast<HDC>(nullptr));
  HDC dc = CreateCompatibleDC(nullptr);
  canvas.SetDCHandle(dc);
  LOGFONT lf{};
  lf.lfHeight = -12;
  std::snprintf(lf.lfFaceName, sizeof(lf.lfFaceName), "%s", orv::kTestFontFace);
  canvas.SetFont(lf);
  // "OKOKO" in the test font: 5 characters of 7 pixels, 15 pixels high.
  TPoint glyphPos{};
  TRect textRect{};
  glyph->LayoutGlyph(&canvas, TRect{0, 0, 75, 23}, TPoint{0, 0}, "OKOKO", blGlyphLeft, -1, -1, 0, false, glyphPos,
                     textRect);
  const Integer captionWidth = textRect.Right - textRect.Left;
  const Integer free = (75 - 16 - captionWidth) / 3;
  EXPECT_EQ(glyphPos.X, free);
  EXPECT_EQ(textRect.Left, free + 16 + free);
  EXPECT_EQ(glyphPos.Y, 3);
  // Without a caption the glyph is centred.
  glyph->LayoutGlyph(&canvas, TRect{0, 0, 75, 23}, TPoint{0, 0}, "", blGlyphLeft, -1, 4, 0, false, glyphPos,
                     textRect);
  EXPECT_EQ(glyphPos.X, (75 - 16) / 2);
  // Right-to-left: the glyph goes to the right.
  glyph->LayoutGlyph(&canvas, TRect{0, 0, 75, 23}, TPoint{0, 0}, "OK", blGlyphLeft, 2, 4, DT_RIGHT, false, glyphPos,
                     textRect);
  EXPECT_EQ(glyphPos.X, 75 - 2 - 16);
  canvas.SetDCHandle(nullptr);
  DeleteDC(dc);
}

}  // namespace
