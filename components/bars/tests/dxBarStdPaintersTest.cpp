// The painters' own drawing: golden images of the program's main menu with an open menu in every
// painter; the standard and enhanced looks' check marks, shadows, marks, combo buttons and
// drop-down list borders; the painting of edit and combo items, labels and separators; the
// frame of resizable drop-down windows; and the XP painter's choice of theme parts and states
// (against a recording theme library, the platform having no visual styles).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarCommon.h"
#include "components/bars/tests/BarManagerFixture.h"
#include "components/bars/tests/MainMenuFixture.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/dxOffice11.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/controls/Forms.h"
#include "platform/controls/UserControls.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Gdi.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/drawing/Surface.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

std::uint32_t SpSys(int index) { return std::uint32_t(GetSysColor(index)) & 0xFFFFFF; }

// A 32-bit memory DC of a size, filled white, for drawing painter operations into.
class TSpSurface {
 public:
  TSpSurface(Integer width, Integer height) : FDC(CreateCompatibleDC(nullptr)) {
    HDC screen = GetDC(nullptr);
    FBitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    FOld = SelectObject(FDC, FBitmap);
    RECT all{0, 0, width, height};
    FillRect(FDC, &all, GetSysColorBrush(COLOR_WINDOW));
  }
  ~TSpSurface() {
    SelectObject(FDC, FOld);
    DeleteObject(FBitmap);
    DeleteDC(FDC);
  }
  TSpSurface(const TSpSurface&) = delete;
  TSpSurface& operator=(const TSpSurface&) = delete;
  HDC DC() const { return FDC; }
  std::uint32_t At(Integer x, Integer y) const { return std::uint32_t(GetPixel(FDC, x, y)) & 0xFFFFFF; }

 private:
  HDC FDC;
  HBITMAP FBitmap;
  HGDIOBJ FOld;
};

// ==== Golden images of every painter =================================================================

class PainterLooksTest : public MainMenuFormTest {
 protected:
  void SetUp() override {
    MainMenuFormTest::SetUp();
    if (HasFatalFailure()) return;
    Manager->SetMenuAnimations(maNone);
    Form->Show();
    Run();
  }
  // The main menu with "Программа" and "Результат поиска" open, as the screen shows them.
  orv::TSurface OpenMenusImage(TdxBarManagerStyle style) {
    Manager->SetStyle(style);
    Run();
    const TPoint p = CentreOf(ItemScreenRect(MenuBar(), "Программа"_a));
    orv::headless::Click(p.X, p.Y);
    Run();
    TdxBarSubMenuControl* menu = MenuOf("dxBarSubItem1");
    if (!menu) return orv::TSurface(1, 1);
    const TPoint q = CentreOf(ItemScreenRect(menu, "Результат поиска"_a));
    orv::headless::MouseMove(q.X, q.Y);
    Run();
    orv::headless::AdvanceTime(400);
    Run();
    TdxBarSubMenuControl* nested = MenuOf("dxBarSubItem3");
    if (!nested) return orv::TSurface(1, 1);
    const TRect bar = WindowRect(MenuBar());
    const TRect last = WindowRect(nested);
    const Integer bottom = std::max(WindowRect(menu).Bottom, last.Bottom);
    const orv::TSurface screen = orv::headless::CaptureScreen();
    orv::TSurface area(last.Right + 8 - bar.Left, bottom + 8 - bar.Top);
    for (Integer y = 0; y < area.Height(); ++y)
      for (Integer x = 0; x < area.Width(); ++x) area.SetPixel(x, y, screen.Pixel(bar.Left + x, bar.Top + y));
    orv::headless::Click(bar.Right - 5, bottom + 100);
    Run();
    return area;
  }
};

TEST_F(PainterLooksTest, GoldenImagesOfTheMainMenuWithAnOpenMenuInEveryPainter) {
  struct TCase {
    TdxBarManagerStyle style;
    TClass painter;
    const char* golden;
  } cases[] = {{bmsStandard, TdxBarStandardPainter::StaticClass(), "painter-standard.png"},
               {bmsEnhanced, TdxBarEnhancedPainter::StaticClass(), "painter-enhanced.png"},
               {bmsFlat, TdxBarFlatPainter::StaticClass(), "painter-flat.png"},
               {bmsOffice11, TdxBarOffice11Painter::StaticClass(), "painter-office11.png"},
               // Without visual styles the XP style paints with the enhanced painter.
               {bmsXP, TdxBarEnhancedPainter::StaticClass(), "painter-xp.png"}};
  std::vector<std::uint32_t> enhanced;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.golden);
    const orv::TSurface image = OpenMenusImage(c.style);
    ASSERT_GT(image.Width(), 1);
    ASSERT_NE(Manager->GetPainter(), nullptr);
    EXPECT_EQ(Manager->GetPainter()->ClassType(), c.painter);
    const orv::TImageCheck check =
        orv::MatchGoldenImage(image, std::string(ORV_SOURCE_DIR) + "/components/bars/tests/golden/" + c.golden);
    EXPECT_TRUE(check) << check.Message;
    std::vector<std::uint32_t> pixels;
    for (Integer y = 0; y < image.Height(); ++y)
      for (Integer x = 0; x < image.Width(); ++x) pixels.push_back(image.Pixel(x, y));
    if (c.style == bmsEnhanced) enhanced = pixels;
    if (c.style == bmsXP) {
      EXPECT_TRUE(pixels == enhanced);
    }
    ASSERT_EQ(MenuOf("dxBarSubItem1"), nullptr);
  }
}

// ==== Standard and enhanced operations =============================================================

class ClassicPainterTest : public ::testing::Test {
 protected:
  TdxBarStandardPainter Standard{TcxCustomLookAndFeelPainterClass()};
  TdxBarEnhancedPainter Enhanced{TcxCustomLookAndFeelPainterClass()};
};

// The tick of a checked menu item: a silver stroke, two black ones and a white one, each one
// row lower, with white verticals at the left end and below the right end.
TEST_F(ClassicPainterTest, TheCheckMarkIsBuiltOfStrokesInFourColours) {
  TSpSurface s(14, 12);
  RECT all{0, 0, 14, 12};
  FillRect(s.DC(), &all, GetSysColorBrush(COLOR_BTNFACE));
  Standard.DrawCheckGlyph(nullptr, s.DC(), 1, 2, 2);
  std::string art;
  for (Integer y = 0; y < 12; ++y) {
    for (Integer x = 0; x < 14; ++x) {
      const std::uint32_t c = s.At(x, y);
      art += c == 0 ? '#' : c == 0xFFFFFF ? 'w' : c == 0xC0C0C0 ? 's' : '.';
    }
    art += '\n';
  }
  EXPECT_EQ(art,
            "..............\n"
            "..............\n"
            ".........s....\n"
            "........s#w...\n"
            "...s...s##w...\n"
            "..w#s.s##w....\n"
            "..w##s##w.....\n"
            "...w###w......\n"
            "....w#w.......\n"
            ".....w........\n"
            "..............\n"
            "..............\n");
}

TEST_F(ClassicPainterTest, ShadowsOfDisabledDotsHaveAHighlightBelowRight) {
  TSpSurface s(8, 8);
  Standard.FillShadowRect(s.DC(), TRect{2, 2, 4, 4});
  EXPECT_EQ(s.At(2, 2), SpSys(COLOR_BTNSHADOW));
  EXPECT_EQ(s.At(3, 3), SpSys(COLOR_BTNSHADOW));
  EXPECT_EQ(s.At(4, 4), SpSys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(s.At(4, 2), SpSys(COLOR_WINDOW));
  // The plain look has no highlight.
  TSpSurface p(8, 8);
  static_cast<TdxBarPainter&>(Enhanced).TdxBarPainter::FillShadowRect(p.DC(), TRect{2, 2, 4, 4});
  EXPECT_EQ(p.At(4, 4), SpSys(COLOR_WINDOW));
}

TEST_F(ClassicPainterTest, TheDropDownListBorderIsARaisedEdgeAndAnOpenComboButtonIsSunken) {
  TSpSurface s(20, 20);
  Standard.DrawDropDownListBorder(s.DC(), clWindow, TRect{0, 0, 20, 20});
  EXPECT_EQ(s.At(0, 5), SpSys(COLOR_BTNFACE));  // the raised outer edge's light side
  EXPECT_EQ(s.At(1, 5), SpSys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(s.At(19, 5), SpSys(COLOR_3DDKSHADOW));
  EXPECT_EQ(s.At(18, 5), SpSys(COLOR_BTNSHADOW));
}

// ==== Edits, combos, labels and separators in a toolbar ==============================================

// Test items whose controls paint through the painter's entry points: an edit (a combo with
// `Combo`), and a label (`Kind` 1, with a border style) or separator (`Kind` 2).
class TIpEditItem : public TdxBarItem {
  ORV_CLASS(TIpEditItem, TdxBarItem)
 public:
  explicit TIpEditItem(TComponent* owner) : TdxBarItem(owner) {}
  Boolean ReadOnly = false;
  Boolean Combo = false;
  Boolean Selected = false;
};
class TIpStaticItem : public TdxBarItem {
  ORV_CLASS(TIpStaticItem, TdxBarItem)
 public:
  explicit TIpStaticItem(TComponent* owner) : TdxBarItem(owner) {}
  Integer Kind = 1;
  Integer BorderStyle = 0;
};

class TIpEditControl : public TdxBarItemControl {
  ORV_CLASS(TIpEditControl, TdxBarItemControl)
 public:
  using TdxBarItemControl::TdxBarItemControl;
  TIpEditItem* GetEditItem() const { return static_cast<TIpEditItem*>(GetItem()); }
  void CalcDrawParams(Boolean full = true) override {
    TdxBarItemControl::CalcDrawParams(full);
    auto* p = static_cast<TdxBarEditLikeControlDrawParams*>(GetDrawParams());
    p->ReadOnlyDisplay = GetEditItem()->ReadOnly;
    if (GetEditItem()->Selected) p->Selected = true;
  }
  void CalculateParts() override {
    const TRect item = GetItemRect();
    std::vector<TRect> parts(3);
    parts[1] = TRect{item.Left, item.Top, item.Left, item.Bottom};
    parts[2] = parts[1];
    parts[0] = item;
    if (TdxBarPainter* painter = GetPainter()) {
      painter->CalcEditParts(GetDrawParams(), parts);
      if (GetEditItem()->Combo) painter->CalcComboParts(GetDrawParams(), parts, item, 3);
    }
    SetParts(parts);
  }

 protected:
  TdxBarItemControlDrawParamsClass GetDrawParamsClass() override {
    return TdxBarEditLikeControlDrawParams::StaticClass();
  }
  Integer GetWidth() override { return 80; }
  Integer GetHeight() override { return 22; }
  void Draw(const TRect& rect, Integer hostKind) override {
    TdxBarPainter* painter = GetPainter();
    painter->DrawEdit(GetDrawParams(), rect);
    // The value, as an edit control writes it inside the frame.
    TcxCanvas* canvas = GetDrawParams()->Canvas;
    TColor text, color;
    painter->GetEditColors(GetDrawParams(), text, color);
    canvas->SetBrushColor(color);
    SetTextColor(canvas->GetHandle(), ColorToRGB(text));
    painter->DrawEditText(canvas, GetPartRect(0), GetItem()->GetCaption());
  }
};

class TIpStaticControl : public TdxBarItemControl {
  ORV_CLASS(TIpStaticControl, TdxBarItemControl)
 public:
  using TdxBarItemControl::TdxBarItemControl;
  TIpStaticItem* GetStaticItem() const { return static_cast<TIpStaticItem*>(GetItem()); }
  void CalcDrawParams(Boolean full = true) override {
    TdxBarItemControl::CalcDrawParams(full);
    auto* p = static_cast<TdxBarSeparatorControlDrawParams*>(GetDrawParams());
    p->BorderStyle = GetStaticItem()->BorderStyle;
    p->Content = GetStaticItem()->Kind == 1 ? ceText : 0;
  }

 protected:
  TdxBarItemControlDrawParamsClass GetDrawParamsClass() override {
    return TdxBarSeparatorControlDrawParams::StaticClass();
  }
  Integer GetWidth() override { return GetStaticItem()->Kind == 1 ? 60 : 6; }
  Integer GetHeight() override { return 22; }
  void Draw(const TRect& rect, Integer hostKind) override {
    if (GetStaticItem()->Kind == 1)
      GetPainter()->DrawStatic(GetDrawParams(), rect);
    else
      GetPainter()->DrawSeparatorItem(GetDrawParams(), rect);
  }
};

class ItemPaintingTest : public orv::test::HeadlessFormTest {
 protected:
  ItemPaintingTest() : HeadlessFormTest({100, 100, 420, 200}) {}
  void SetUp() override {
    HeadlessFormTest::SetUp();
    ResetBarServices();
    RegisterBarItem(TIpEditItem::StaticClass(), TIpEditControl::StaticClass(), false);
    RegisterBarItem(TIpStaticItem::StaticClass(), TIpStaticControl::StaticClass(), false);
    Manager = NewTestBarManager(Form.get());
    Manager->SetStyle(bmsStandard);
  }
  void TearDown() override {
    Form.reset();
    TdxBarItemList* list = GetBarItemClassList();
    list->DeleteRecord(list->GetCount() - 1);
    list->DeleteRecord(list->GetCount() - 1);
    ResetBarServices();
    HeadlessFormTest::TearDown();
  }
  TIpEditItem* AddEdit(TdxBar* bar, const AnsiString& text, Boolean enabled) {
    auto* item = new TIpEditItem(Form.get());
    item->SetParentComponent(Manager);
    item->SetCaption(text);
    item->SetEnabled(enabled);
    bar->GetLinks()->AddItem(item);
    return item;
  }
  TIpStaticItem* AddStatic(TdxBar* bar, Integer kind, const AnsiString& caption, Integer borderStyle) {
    auto* item = new TIpStaticItem(Form.get());
    item->SetParentComponent(Manager);
    item->SetCaption(caption);
    item->Kind = kind;
    item->BorderStyle = borderStyle;
    bar->GetLinks()->AddItem(item);
    return item;
  }
  // A toolbar docked at the top with one edit item; its control.
  TIpEditControl* ShowEdit(Boolean enabled, Boolean readOnly = false, Boolean combo = false) {
    Manager->BeginUpdate();
    TdxBar* bar = Manager->AddToolbar(false);
    TIpEditItem* item = AddEdit(bar, AnsiString(), enabled);
    item->ReadOnly = readOnly;
    item->Combo = combo;
    bar->SetDockingStyle(dsTop);
    Manager->EndUpdate();
    Form->Show();
    Run();
    Toolbar = dynamic_cast<TdxBarControl*>(bar->GetControl());
    if (!Toolbar || Toolbar->GetViewInfoCount() == 0) return nullptr;
    return dynamic_cast<TIpEditControl*>(Toolbar->GetViewInfoControl(0));
  }
  std::uint32_t ClientPixel(Integer x, Integer y) {
    const orv::TSurface client = orv::headless::CaptureClient(Toolbar->GetHandle());
    return orv::PixelToColor(client.Pixel(x, y)) & 0xFFFFFF;
  }

  TdxBarManager* Manager = nullptr;
  TdxBarControl* Toolbar = nullptr;
};

// The inner ring of the edit frame: the bar's background while enabled or only showing its value,
// the button highlight while disabled.
TEST_F(ItemPaintingTest, ADisabledToolbarEditHasAHighlightInnerRingUnlessItOnlyShowsItsValue) {
  struct TCase {
    Boolean enabled, readOnly;
    int inner;
  } cases[] = {{true, false, COLOR_BTNFACE}, {false, false, COLOR_BTNHIGHLIGHT}, {false, true, COLOR_BTNFACE}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.enabled << c.readOnly);
    TIpEditControl* control = ShowEdit(c.enabled, c.readOnly);
    ASSERT_NE(control, nullptr);
    const TRect edit = control->GetPartRect(0);
    TRect offsets;
    Manager->GetPainter()->GetEditButtonOffsets(hkToolbar, offsets);
    const Integer y = (edit.Top + edit.Bottom) / 2;
    EXPECT_EQ(ClientPixel(edit.Left - offsets.Left + 1, y), SpSys(c.inner));
  }
}

// The outer ring of a disabled edit's frame in the one-pixel looks: the shadow colour in the flat
// look, the palette's disabled text colour in the Office 2003 look.
TEST_F(ItemPaintingTest, DisabledEditFramesInTheFlatLooks) {
  struct TCase {
    TdxBarManagerStyle style;
    std::uint32_t frame;
  } cases[] = {{bmsFlat, SpSys(COLOR_BTNSHADOW)},
               {bmsOffice11, std::uint32_t(ColorToRGB(Office11DisabledTextColor)) & 0xFFFFFF}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.style);
    Manager->SetStyle(c.style);
    TIpEditControl* control = ShowEdit(false);
    ASSERT_NE(control, nullptr);
    const TRect edit = control->GetPartRect(0);
    TRect offsets;
    Manager->GetPainter()->GetEditButtonOffsets(hkToolbar, offsets);
    EXPECT_EQ(ClientPixel(edit.Left - offsets.Left, (edit.Top + edit.Bottom) / 2), c.frame);
    EXPECT_EQ(ClientPixel(edit.Left - offsets.Left + 4, edit.Top - offsets.Top), c.frame);
  }
}

TEST_F(ItemPaintingTest, AComboButtonIsTheComboArrowWidthAndTheEditEndsOnePixelBeforeIt) {
  TIpEditControl* control = ShowEdit(true, false, true);
  ASSERT_NE(control, nullptr);
  ASSERT_EQ(control->GetPartCount(), 4);
  const TRect edit = control->GetPartRect(0), button = control->GetPartRect(3);
  SIZE zero{};
  GetTextExtentPoint32(control->GetCanvas()->GetHandle(), "0", 1, &zero);
  EXPECT_EQ(button.Width(), Manager->GetPainter()->CalcComboArrowWidth(Toolbar, zero.cx));
  EXPECT_EQ(edit.Right, button.Left - 1);
  // The button: button face with the arrow in button text at its middle.
  const Integer cx = (button.Left + button.Right) / 2, cy = (button.Top + button.Bottom) / 2;
  Boolean arrow = false;
  for (Integer dy = -2; dy <= 2; ++dy) arrow = arrow || ClientPixel(cx, cy + dy) == SpSys(COLOR_BTNTEXT);
  EXPECT_TRUE(arrow);
}

// A toolbar of an edit, a hot combo, a disabled edit, a separator and a framed label in each
// look.
TEST_F(ItemPaintingTest, GoldenImagesOfEditsCombosLabelsAndSeparatorsInEveryPainter) {
  Manager->BeginUpdate();
  TdxBar* bar = Manager->AddToolbar(false);
  AddEdit(bar, "Москва"_a, true);
  TIpEditItem* combo = AddEdit(bar, "Тверь"_a, true);
  combo->Combo = true;
  combo->Selected = true;
  AddEdit(bar, "Псков"_a, false);
  AddStatic(bar, 2, AnsiString(), 0);
  AddStatic(bar, 1, "Город"_a, 3);
  bar->SetDockingStyle(dsTop);
  Manager->EndUpdate();
  Form->Show();
  Run();
  struct TCase {
    TdxBarManagerStyle style;
    const char* golden;
  } cases[] = {{bmsStandard, "items-standard.png"},
               {bmsEnhanced, "items-enhanced.png"},
               {bmsFlat, "items-flat.png"},
               {bmsOffice11, "items-office11.png"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.golden);
    Manager->SetStyle(c.style);
    Run();
    auto* toolbar = dynamic_cast<TdxBarControl*>(bar->GetControl());
    ASSERT_NE(toolbar, nullptr);
    ASSERT_EQ(toolbar->GetViewInfoCount(), 5);
    const orv::TSurface image = orv::headless::CaptureWindow(toolbar->GetHandle());
    const orv::TImageCheck check =
        orv::MatchGoldenImage(image, std::string(ORV_SOURCE_DIR) + "/components/bars/tests/golden/" + c.golden);
    EXPECT_TRUE(check) << check.Message;
  }
}

// ==== Labels and separators =====================================================================

TEST(StaticPaintingTest, BorderStylesTakeTheirWidthFromTheRectangle) {
  TdxBarStandardPainter painter{TcxCustomLookAndFeelPainterClass()};
  struct TCase {
    Integer style, width;
  } cases[] = {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.style);
    TRect offsets;
    painter.GetStaticBorderOffsets(c.style, offsets);
    EXPECT_EQ(offsets, (TRect{c.width, c.width, c.width, c.width}));
    TSpSurface s(30, 20);
    TcxCanvas canvas(s.DC());
    TdxBarStaticLikeControlDrawParams params(nullptr);
    params.Canvas = &canvas;
    params.BorderStyle = c.style;
    TRect r{0, 0, 30, 20};
    painter.DrawStaticBorder(&params, r);
    EXPECT_EQ(r, (TRect{c.width, c.width, 30 - c.width, 20 - c.width}));
  }
  // Style 4: a raised ring around a sunken one.
  TSpSurface s(30, 20);
  TcxCanvas canvas(s.DC());
  TdxBarStaticLikeControlDrawParams params(nullptr);
  params.Canvas = &canvas;
  params.BorderStyle = 4;
  params.Enabled = true;
  painter.DrawStatic(&params, TRect{0, 0, 30, 20});
  EXPECT_EQ(s.At(0, 10), SpSys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(s.At(1, 10), SpSys(COLOR_BTNSHADOW));
  EXPECT_EQ(s.At(29, 10), SpSys(COLOR_BTNSHADOW));
  EXPECT_EQ(s.At(28, 10), SpSys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(s.At(5, 10), SpSys(COLOR_BTNFACE));
}

// A captioned separator in a menu: its caption as a label between two etched lines; the first
// shown separator has no line above.
TEST(StaticPaintingTest, ACaptionedSeparatorDrawsItsCaptionBetweenTwoLines) {
  TdxBarStandardPainter painter{TcxCustomLookAndFeelPainterClass()};
  for (const Boolean first : {false, true}) {
    SCOPED_TRACE(first);
    TSpSurface s(60, 20);
    TcxCanvas canvas(s.DC());
    TdxBarSeparatorControlDrawParams params(nullptr);
    params.Canvas = &canvas;
    params.HostKind = hkMenu;
    params.Content = ceText;
    params.Caption = "Group";
    params.Enabled = true;
    params.FirstShown = first;
    painter.DrawSeparatorItem(&params, TRect{0, 0, 60, 20});
    EXPECT_EQ(s.At(30, 0), first ? SpSys(COLOR_BTNFACE) : SpSys(COLOR_BTNSHADOW));
    EXPECT_EQ(s.At(30, 18), SpSys(COLOR_BTNSHADOW));
    EXPECT_EQ(s.At(30, 19), SpSys(COLOR_BTNHIGHLIGHT));
    // Some caption text between the lines.
    Boolean text = false;
    for (Integer x = 0; x < 60 && !text; ++x)
      for (Integer y = 4; y < 16 && !text; ++y) text = s.At(x, y) == SpSys(COLOR_BTNTEXT);
    EXPECT_TRUE(text);
  }
}

// ==== Drop-down windows ===========================================================================

TEST(DropDownFrameTest, PanelHeightCornersAndCloseButtonSquares) {
  const Integer size = GetSystemMetrics(SM_CYSIZE), scroll = GetSystemMetrics(SM_CYHSCROLL);
  EXPECT_EQ(CalcDropDownPanelHeight(), scroll + 2 < size ? size + 1 : scroll + 3);
  const TRect owner{100, 100, 200, 120};
  EXPECT_EQ(GetDropDownCorner(owner, TRect{100, 120, 300, 300}), 3);  // below, reaching right
  EXPECT_EQ(GetDropDownCorner(owner, TRect{100, 0, 300, 100}), 1);    // above
  EXPECT_EQ(GetDropDownCorner(owner, TRect{0, 120, 90, 300}), 2);     // below, left of the owner
  EXPECT_EQ(GetDropDownCorner(owner, TRect{0, 0, 90, 100}), 0);
  // A low panel gets a smaller close button, always of odd size, at the end away from the grip.
  for (Integer height : {8, 9, 10, 40}) {
    SCOPED_TRACE(height);
    TRect r{0, 0, 200, height};
    CalcCloseButtonRect(r, 3);
    const Integer q = r.Width();
    EXPECT_EQ(q % 2, 1);
    EXPECT_EQ(r.Height(), q);
    EXPECT_LE(q, std::min(Integer(GetSystemMetrics(SM_CXSIZE)), height - 4));
    EXPECT_LT(r.Right, 20);  // grip at the right: the button at the left
    TRect l{0, 0, 200, height};
    CalcCloseButtonRect(l, 0);
    EXPECT_GT(l.Left, 180);
  }
}

// The grip of a drop-down opened upward sits in the top-right corner, its bands along the top
// and right edges.
TEST(DropDownFrameTest, TheGripOfAnUpwardDropDownIsAtTheTopRight) {
  TSpSurface s(60, 30);
  TRect r{0, 0, 60, 30};
  PaintDropDownSizeGrip(s.DC(), r, 1);
  const Integer w = GetSystemMetrics(SM_CXVSCROLL), h = GetSystemMetrics(SM_CYHSCROLL);
  EXPECT_EQ(r, (TRect{60 - w, 0, 60, h}));
  EXPECT_EQ(s.At(59, h - 1), SpSys(COLOR_BTNFACE));
  EXPECT_EQ(s.At(60 - w, 0), SpSys(COLOR_BTNFACE));
  EXPECT_EQ(s.At(60 - w - 1, 0), SpSys(COLOR_WINDOW));
  // The grip's lines run towards the top right: some line pixel lies in the upper part and none
  // in the lowest row of the inner square, which is the platform's grip turned upside down.
  Boolean lines = false;
  for (Integer x = 60 - w; x < 58; ++x)
    if (s.At(x, 2) != SpSys(COLOR_BTNFACE)) lines = true;
  EXPECT_TRUE(lines);
}

// A drop-down window whose client area fills it inside its border gets only the border (in the
// flat look's shadow colour), and no grip or close button to hit.
TEST(DropDownFrameTest, AWindowWithoutPanelGetsOnlyItsBorder) {
  orv::headless::Reset();
  orv::RegisterStandardControls();
  HWND window = CreateWindowEx(0, "STATIC", "", WS_POPUP | WS_BORDER | WS_VISIBLE, 50, 50, 80, 40, nullptr, nullptr,
                               nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  RECT client{};
  GetClientRect(window, &client);
  ASSERT_EQ(client.Right, 78);
  TRect close{1, 1, 2, 2}, grip{1, 1, 2, 2};
  PaintDropDownFrame(window, false, true, false, false, close, grip, 3);
  EXPECT_EQ(close, TRect());
  EXPECT_EQ(grip, TRect());
  const orv::TSurface image = orv::headless::CaptureWindow(window);
  EXPECT_EQ(orv::PixelToColor(image.Pixel(0, 20)) & 0xFFFFFF, SpSys(COLOR_BTNSHADOW));
  EXPECT_EQ(orv::PixelToColor(image.Pixel(40, 39)) & 0xFFFFFF, SpSys(COLOR_BTNSHADOW));
  DestroyWindow(window);
  orv::headless::Reset();
}

// ==== The XP painter against a recording theme library ==============================================

struct TXpCall {
  int part, state;
  HTHEME theme = 0;
};
std::vector<TXpCall>& XpCalls() {
  static std::vector<TXpCall> calls;
  return calls;
}
// Each theme class opens as a handle of its own: 100 + the first letter's code.
HTHEME XpOpen(HANDLE, const char16_t* classList) { return classList && *classList ? 100 + HTHEME(*classList) : 7; }
HRESULT XpClose(HTHEME) { return S_OK; }
BOOL XpActive() { return TRUE; }
HRESULT XpDrawBackground(HTHEME theme, HDC, int part, int state, const RECT*, const RECT*) {
  XpCalls().push_back(TXpCall{part, state, theme});
  return S_OK;
}

class XPPainterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FLibrary.OpenThemeData = XpOpen;
    FLibrary.CloseThemeData = XpClose;
    FLibrary.IsThemeActive = XpActive;
    FLibrary.DrawThemeBackground = XpDrawBackground;
    orv::BindThemeLibrary(&FLibrary);
    XpCalls().clear();
  }
  void TearDown() override {
    orv::BindThemeLibrary(nullptr);
    TdxBarXPPainter::MeasureThemeMetrics();
  }
  orv::TThemeLibrary FLibrary;
};

// Toolbar buttons take the themed button in the first state that applies: disabled, pressed,
// down (checked), hot, normal; a split button's glyph takes the split part, and its open
// drop-down alone does not check it.
TEST_F(XPPainterTest, GlyphFramesChooseTheThemedButtonState) {
  TdxBarXPPainter painter{TcxCustomLookAndFeelPainterClass()};
  struct TCase {
    Boolean enabled, pressed, down, open, hot, split;
    int part, state;
  } cases[] = {
      {true, false, false, false, false, false, 1, 1}, {true, false, false, false, true, false, 1, 2},
      {true, false, true, false, true, false, 1, 5},   {true, true, true, false, true, false, 1, 3},
      {false, true, true, false, true, false, 1, 4},   {true, false, false, true, false, false, 1, 5},
      {true, false, false, true, false, true, 3, 1},   {true, true, false, true, true, true, 3, 3},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.enabled << c.pressed << c.down << c.open << c.hot << c.split);
    TSpSurface s(24, 24);
    TdxBarButtonLikeControlDrawParams params(nullptr);
    params.Enabled = c.enabled;
    params.Sunken = c.pressed;
    params.Down = c.down;
    params.MenuOpen = c.open;
    params.Selected = c.hot;
    params.IsButton = c.split;
    params.HasDropDown = c.split;
    XpCalls().clear();
    painter.DrawGlyphFrame(&params, s.DC(), TRect{0, 0, 24, 24});
    ASSERT_EQ(XpCalls().size(), 1u);
    EXPECT_EQ(XpCalls()[0].part, c.part);
    EXPECT_EQ(XpCalls()[0].state, c.state);
  }
}

// With a theme library bound the XP style gets its own painter; without one, the enhanced.
TEST_F(XPPainterTest, TheXPStyleUsesTheXPPainterOnlyWithVisualStyles) {
  auto* owner = new TForm(nullptr);
  auto* manager = new TdxBarManager(owner);
  manager->SetStyle(bmsXP);
  EXPECT_EQ(manager->GetPainterClass(), TdxBarXPPainter::StaticClass());
  orv::Free(owner);
  orv::BindThemeLibrary(nullptr);
  owner = new TForm(nullptr);
  manager = new TdxBarManager(owner);
  manager->SetStyle(bmsXP);
  EXPECT_EQ(manager->GetPainterClass(), TdxBarEnhancedPainter::StaticClass());
  orv::Free(owner);
}


// The XP drop-down panel below a window: the themed grip at the bottom right and the themed
// close button at the bottom left, both returned in screen coordinates.
TEST_F(XPPainterTest, TheDropDownPanelHasTheThemedGripAndCloseButton) {
  orv::headless::Reset();
  orv::RegisterStandardControls();
  TdxBarXPPainter painter{TcxCustomLookAndFeelPainterClass()};
  HWND window = CreateWindowEx(0, "STATIC", "", WS_POPUP | WS_BORDER | WS_VISIBLE, 50, 50, 120, 80, nullptr, nullptr,
                               nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  TRect grip, close;
  XpCalls().clear();
  painter.DrawDropDownPanel(window, true, 3, grip, close, true, false);
  Boolean gripDrawn = false, closeDrawn = false;
  for (const TXpCall& call : XpCalls()) {
    gripDrawn = gripDrawn || (call.part == 3 && call.state == 0);
    closeDrawn = closeDrawn || (call.part == 19 && call.state == 2);
  }
  EXPECT_TRUE(gripDrawn);
  EXPECT_TRUE(closeDrawn);
  EXPECT_EQ(grip.Right, 50 + 120 - 1 + 2);
  EXPECT_EQ(grip.Bottom, 50 + 80 - 1);
  EXPECT_LT(close.Left, 50 + 20);
  EXPECT_GT(close.Top, 50 + 80 - painter.GetDropDownPanelHeight() - 1);
  DestroyWindow(window);
  orv::headless::Reset();
}

// A docked toolbar in the XP look: no border, only the themed grip, and that only while the bar
// can be moved.
class XPBarsTest : public orv::test::HeadlessFormTest {
 protected:
  XPBarsTest() : HeadlessFormTest({100, 100, 360, 200}) {}
  void SetUp() override {
    FLibrary.OpenThemeData = XpOpen;
    FLibrary.CloseThemeData = XpClose;
    FLibrary.IsThemeActive = XpActive;
    FLibrary.DrawThemeBackground = XpDrawBackground;
    orv::BindThemeLibrary(&FLibrary);
    HeadlessFormTest::SetUp();
    Manager = NewTestBarManager(Form.get());
    Manager->SetStyle(bmsXP);
  }
  void TearDown() override {
    Form.reset();
    ResetBarServices();
    HeadlessFormTest::TearDown();
    orv::BindThemeLibrary(nullptr);
    TdxBarXPPainter::MeasureThemeMetrics();
  }
  static Integer GripCalls() {
    Integer count = 0;
    for (const TXpCall& call : XpCalls())
      if (call.theme == HTHEME(100 + u'R') && call.part == 1 && call.state == 1) ++count;
    return count;
  }
  orv::TThemeLibrary FLibrary;
  TdxBarManager* Manager = nullptr;
};

TEST_F(XPBarsTest, ADockedToolbarShowsOnlyTheThemedGripAndOnlyWhileItCanMove) {
  ASSERT_EQ(Manager->GetPainterClass(), TdxBarXPPainter::StaticClass());
  Manager->BeginUpdate();
  TdxBar* bar = Manager->AddToolbar(false);
  auto* button = new TdxBarButton(Form.get());
  button->SetParentComponent(Manager);
  button->SetCaption("Find");
  bar->GetLinks()->AddItem(button);
  bar->SetDockingStyle(dsTop);
  Manager->EndUpdate();
  Form->Show();
  Run();
  auto* toolbar = dynamic_cast<TdxBarControl*>(bar->GetControl());
  ASSERT_NE(toolbar, nullptr);
  ASSERT_TRUE(dynamic_cast<TdxBarXPPainter*>(toolbar->GetPainter()));
  XpCalls().clear();
  RedrawWindow(toolbar->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ERASE);
  Run();
  EXPECT_EQ(GripCalls(), 1);
  bar->SetNotDocking(TdxBarDockingStyles{dsNone, dsLeft, dsTop, dsRight, dsBottom});
  Run();
  XpCalls().clear();
  RedrawWindow(toolbar->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ERASE);
  Run();
  EXPECT_EQ(GripCalls(), 0);
}

}  // namespace
