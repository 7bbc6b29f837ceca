#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "components/foundation/cxImageList.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/foundation/dxOffice11.h"
#include "components/foundation/tests/PaintFixture.h"
#include "platform/drawing/Gdi.h"
#include "platform/runtime/Exceptions.h"

namespace {

using paint_test::TPaintDC;
using CanvasPtr = std::unique_ptr<TcxCanvas, orv::FreeDeleter>;
using Painter = TcxCustomLookAndFeelPainterClass;

// Distinct system colours, so that every pixel of a drawing names the colour it was drawn in.
constexpr COLORREF kFace = RGB(200, 200, 200), kShadow = RGB(128, 128, 128),
                   kHighlight = RGB(255, 255, 255), kDkShadow = RGB(64, 64, 64),
                   kLight = RGB(224, 224, 224), kBtnText = RGB(16, 0, 0),
                   kWindow = RGB(250, 250, 250), kSelection = RGB(10, 36, 106),
                   kSelectionText = RGB(255, 255, 254), kWindowFrame = RGB(20, 20, 20),
                   kGrayText = RGB(128, 128, 120), kWindowText = RGB(1, 1, 1),
                   kBack = RGB(255, 0, 255);

class PainterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    orv::SetSysColor(COLOR_BTNFACE, kFace);
    orv::SetSysColor(COLOR_BTNSHADOW, kShadow);
    orv::SetSysColor(COLOR_BTNHIGHLIGHT, kHighlight);
    orv::SetSysColor(COLOR_3DDKSHADOW, kDkShadow);
    orv::SetSysColor(COLOR_3DLIGHT, kLight);
    orv::SetSysColor(COLOR_BTNTEXT, kBtnText);
    orv::SetSysColor(COLOR_WINDOW, kWindow);
    orv::SetSysColor(COLOR_HIGHLIGHT, kSelection);
    orv::SetSysColor(COLOR_HIGHLIGHTTEXT, kSelectionText);
    orv::SetSysColor(COLOR_WINDOWFRAME, kWindowFrame);
    orv::SetSysColor(COLOR_GRAYTEXT, kGrayText);
    orv::SetSysColor(COLOR_WINDOWTEXT, kWindowText);
    AcquireOffice11Resources();
    RefreshOffice11Colors();
    LookAndFeelPaintersSystemColorsChanged();
  }
  void TearDown() override {
    ReleaseOffice11Resources();
    orv::SetSysColorTable(nullptr);
    RefreshOffice11Colors();
    LookAndFeelPaintersSystemColorsChanged();
  }

  ::testing::AssertionResult Art(TPaintDC& dc, const TRect& area, std::string_view art) {
    const orv::TImageCheck c = orv::MatchAsciiArt(
        dc.Surface(), area, art,
        {{'.', kBack},      {'f', kFace},          {'s', kShadow},      {'h', kHighlight},
         {'d', kDkShadow},  {'l', kLight},         {'t', kBtnText},     {'w', kWindow},
         {'H', kSelection}, {'T', kSelectionText}, {'W', kWindowFrame}, {'g', kGrayText},
         {'x', kWindowText}, {'k', 0x000000},      {'b', 0xFF0000},     {'r', 0x0000FF}});
    if (c) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << c.Message;
  }
};

const Painter kStandard = TcxStandardLookAndFeelPainter::Class();
const Painter kFlat = TcxFlatLookAndFeelPainter::Class();
const Painter kUltraFlat = TcxUltraFlatLookAndFeelPainter::Class();
const Painter kOffice11 = TcxOffice11LookAndFeelPainter::Class();
const Painter kThemed = TcxWinXPLookAndFeelPainter::Class();
const Painter kBase = TcxCustomLookAndFeelPainter::Class();

// ---- Identity and class references ------------------------------------------------------------

TEST(LookAndFeelPainters, ClassReferencesNameTheirClassesAndCompareByIdentity) {
  EXPECT_EQ(kOffice11.ClassType(), TcxOffice11LookAndFeelPainter::StaticClass());
  EXPECT_TRUE(kOffice11 == TcxOffice11LookAndFeelPainter::StaticClass());
  EXPECT_TRUE(kOffice11.InheritsFrom(TcxUltraFlatLookAndFeelPainter::StaticClass()));
  EXPECT_FALSE(kUltraFlat.InheritsFrom(TcxOffice11LookAndFeelPainter::StaticClass()));
  EXPECT_TRUE(kThemed.InheritsFrom(TcxStandardLookAndFeelPainter::StaticClass()));
  const Painter fromClass = TcxFlatLookAndFeelPainter::StaticClass();
  EXPECT_TRUE(fromClass == kFlat);
  EXPECT_EQ(fromClass->ClassName(), "TcxFlatLookAndFeelPainter");
  EXPECT_FALSE(Painter(nullptr));
  EXPECT_THROW((void)Painter(TObject::StaticClass()), EInvalidOperation);
}

TEST(LookAndFeelPainters, StyleIdsAndKinds) {
  struct Case {
    Painter painter;
    Integer styleId;
    TcxLookAndFeelKind kind;
    Boolean visualStyles;
  } cases[] = {{kBase, 1, lfStandard, false},       {kStandard, 1, lfStandard, false},
               {kFlat, 0, lfFlat, false},           {kUltraFlat, 2, lfUltraFlat, false},
               {kOffice11, 4, lfOffice11, true},    {kThemed, 3, lfStandard, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.painter->ClassName());
    EXPECT_EQ(c.painter->StyleId(), c.styleId);
    EXPECT_EQ(LookAndFeelStyleToKind(c.painter->StyleId()), c.kind);
    EXPECT_EQ(c.painter->UsesVisualStyles(), c.visualStyles);
  }
  EXPECT_EQ(LookAndFeelStyleToKind(3), lfStandard);
  EXPECT_EQ(LookAndFeelStyleToKind(99), lfStandard);
}

// ---- Metrics ------------------------------------------------------------------------------------

TEST(LookAndFeelPainters, MetricsPerPainter) {
  // base, standard, flat, ultra-flat, Office 11, themed (no visual styles here).
  const Painter painters[] = {kBase, kStandard, kFlat, kUltraFlat, kOffice11, kThemed};
  struct Row {
    const char* name;
    Integer (*metric)(Painter);
    Integer values[6];
  } rows[] = {
      {"ControlBorderWidth", [](Painter p) { return p->ControlBorderWidth(); }, {0, 2, 1, 1, 1, 2}},
      {"ButtonBorderWidth(default)", [](Painter p) { return p->ButtonBorderWidth(cxbsDefault); },
       {0, 3, 2, 2, 2, 3}},
      {"ButtonBorderWidth(normal)", [](Painter p) { return p->ButtonBorderWidth(cxbsNormal); },
       {0, 2, 1, 1, 1, 2}},
      {"ButtonTextIndent", [](Painter p) { return p->ButtonTextIndent(); }, {0, 1, 1, 2, 2, 2}},
      {"ButtonPressedTextShift", [](Painter p) { return p->ButtonPressedTextShift(); },
       {0, 1, 1, 0, 0, 0}},
      {"ExpandCollapseButtonSize", [](Painter p) { return p->ExpandCollapseButtonSize(); },
       {0, 12, 11, 11, 11, 12}},
      {"SmallPlusMinusButtonSize", [](Painter p) { return p->SmallPlusMinusButtonSize(); },
       {9, 9, 9, 9, 11, 9}},
      {"GroupExpandChevronButtonSize", [](Painter p) { return p->GroupExpandChevronButtonSize(); },
       {15, 15, 15, 15, 15, 15}},
      {"ExpandButtonDrawnFirst", [](Painter p) { return Integer(p->ExpandButtonDrawnFirst()); },
       {1, 1, 1, 1, 0, 0}},
      {"SupportsButtonHotTrack", [](Painter p) { return Integer(p->SupportsButtonHotTrack()); },
       {0, 0, 0, 1, 1, 1}},
      {"CheckBoxBorderWidth", [](Painter p) { return p->CheckBoxBorderWidth(); }, {2, 2, 2, 2, 2, 2}},
      {"HeaderCellBorderWidth", [](Painter p) { return p->HeaderCellBorderWidth(); },
       {0, 1, 1, 1, 1, 1}},
      {"HeaderSectionBorderWidth(normal)",
       [](Painter p) { return p->HeaderSectionBorderWidth(cxbsNormal); }, {1, 2, 1, 1, 1, 1}},
      {"HeaderSectionBorderWidth(pressed)",
       [](Painter p) { return p->HeaderSectionBorderWidth(cxbsPressed); }, {1, 1, 1, 1, 1, 1}},
      {"SortArrowSize.x", [](Painter p) { return p->SortArrowSize().X; }, {0, 8, 8, 7, 7, 7}},
      {"SortArrowSize.y", [](Painter p) { return p->SortArrowSize().Y; }, {0, 7, 7, 8, 8, 8}},
      {"SortArrowAreaSize.x", [](Painter p) { return p->SortArrowAreaSize().X; },
       {16, 16, 16, 16, 16, 16}},
      {"SupportsHeaderHotTrack", [](Painter p) { return Integer(p->SupportsHeaderHotTrack()); },
       {0, 0, 0, 0, 1, 1}},
      {"FooterBorderWidth", [](Painter p) { return p->FooterBorderWidth(); }, {0, 1, 1, 1, 1, 1}},
      {"FooterCellBorderWidth", [](Painter p) { return p->FooterCellBorderWidth(); },
       {0, 1, 1, 1, 1, 1}},
      {"FooterCellIndent", [](Painter p) { return p->FooterCellIndent(); }, {0, 1, 1, 2, 2, 1}},
      {"FooterCellsDrawnFirst", [](Painter p) { return Integer(p->FooterCellsDrawnFirst()); },
       {1, 1, 1, 1, 1, 0}},
      {"FooterBorders", [](Painter p) { return Integer(p->FooterBorders().Bits()); },
       {15, 15, 15, 12, 12, 15}},
      {"FilterBoxCloseButtonSize.y", [](Painter p) { return p->FilterBoxCloseButtonSize().Y; },
       {14, 14, 14, 15, 15, 14}},
      {"FilterCheckBoxSize.x", [](Painter p) { return p->FilterCheckBoxSize().X; },
       {13, 13, 13, 13, 13, 13}},
      {"FilterDropDownArrowButtonSize.x",
       [](Painter p) { return p->FilterDropDownArrowButtonSize().X; }, {15, 15, 15, 15, 15, 15}},
      {"TabItemBorderWidth", [](Painter p) { return p->TabItemBorderWidth(false); },
       {0, 1, 1, 1, 1, 1}},
      {"ScrollBarMinThumbSize", [](Painter p) { return p->ScrollBarMinThumbSize(true); },
       {8, 8, 8, 8, 8, 8}},
      {"LabelLineHeight", [](Painter p) { return p->LabelLineHeight(); }, {2, 2, 2, 2, 2, 2}},
      {"PopupFrameStyle", [](Painter p) { return p->PopupFrameStyle(); }, {1, 1, 1, 1, 1, 1}},
  };
  for (const Row& row : rows)
    for (int i = 0; i < 6; ++i)
      EXPECT_EQ(row.metric(painters[i]), row.values[i]) << row.name << " of "
                                                         << painters[i]->ClassName();
}

TEST(LookAndFeelPainters, HeaderCellGeometry) {
  EXPECT_EQ(kBase->HeaderCellHeight(13), 17);
  EXPECT_EQ(kUltraFlat->HeaderCellHeight(13), 19);
  // An ultra-flat cell with a left neighbour leaves its left line to the neighbour.
  EXPECT_EQ(kUltraFlat->HeaderCellBorders({nLeft}), (TcxBorders{bTop, bRight, bBottom}));
  EXPECT_EQ(kUltraFlat->HeaderCellBorders({nLeft, nTop}), (TcxBorders{bRight, bBottom}));
  EXPECT_EQ(kOffice11->HeaderCellBorders({nLeft, nTop}), cxBordersAll);
  EXPECT_EQ(kUltraFlat->HeaderCellExtendedBounds({10, 10, 50, 30}, {nLeft}, cxBordersAll),
            (TRect{9, 10, 50, 30}));
  EXPECT_EQ(kStandard->HeaderCellExtendedBounds({10, 10, 50, 30}, {nLeft}, cxBordersAll),
            (TRect{10, 10, 50, 30}));
  EXPECT_EQ(kStandard->HeaderCellContentBounds({10, 10, 50, 30}, {bLeft, bBottom}),
            (TRect{11, 10, 50, 29}));
  EXPECT_EQ(kStandard->HeaderSectionContentBounds({0, 0, 20, 20}, cxbsNormal), (TRect{2, 2, 18, 18}));
  EXPECT_EQ(kStandard->HeaderSectionTextBounds({0, 0, 20, 20}, cxbsPressed), (TRect{1, 1, 21, 21}));
  EXPECT_EQ(kUltraFlat->FooterCellContentBounds({0, 0, 20, 20}), (TRect{1, 1, 19, 19}));
  EXPECT_EQ(kUltraFlat->FooterCellTextAreaBounds({0, 0, 20, 20}), (TRect{3, 3, 17, 17}));
}

TEST(LookAndFeelPainters, ButtonMetrics) {
  EXPECT_EQ(kBase->ButtonFocusBounds({0, 0, 20, 10}), (TRect{4, 4, 16, 6}));
  // Shrinking a 6 x 6 rect by 4 leaves nothing: the rect itself.
  EXPECT_EQ(kBase->ButtonFocusBounds({0, 0, 6, 6}), (TRect{0, 0, 6, 6}));
  EXPECT_EQ(kUltraFlat->ButtonFocusBounds({0, 0, 20, 10}), (TRect{3, 3, 17, 7}));
  EXPECT_EQ(kStandard->GroupButtonBorderWidths(3, 1), (TRect{2, 2, 2, 2}));
  EXPECT_EQ(kUltraFlat->GroupButtonBorderWidths(3, 0), (TRect{2, 2, 1, 2}));
  EXPECT_EQ(kUltraFlat->GroupButtonBorderWidths(3, 1), (TRect{1, 2, 1, 2}));
  EXPECT_EQ(kUltraFlat->GroupButtonBorderWidths(3, 2), (TRect{1, 2, 2, 2}));
  EXPECT_EQ(kUltraFlat->ButtonGlyphState(cxbsPressed), cxbsNormal);
  EXPECT_EQ(kStandard->ButtonGlyphState(cxbsPressed), cxbsPressed);
  EXPECT_EQ(kStandard->CheckBoxSize(), (TSize{13, 13}));
  EXPECT_EQ(kUltraFlat->RadioButtonGlyphSize(), (TSize{12, 12}));
}

// ---- Default colours ------------------------------------------------------------------------------

TEST_F(PainterTest, DefaultColoursPerPainter) {
  struct Row {
    const char* name;
    TColor (*color)(Painter);
    TColor base, office11;
  } rows[] = {
      {"Content", [](Painter p) { return p->DefaultContentColor(); }, clWindow, clWindow},
      {"ContentOdd", [](Painter p) { return p->DefaultContentOddColor(); }, clWindow, clWindow},
      {"ContentText", [](Painter p) { return p->DefaultContentTextColor(); }, clWindowText,
       clWindowText},
      {"EditorBackground", [](Painter p) { return p->DefaultEditorBackgroundColor(true); },
       clDefault, clDefault},
      {"EditorText", [](Painter p) { return p->DefaultEditorTextColor(false); }, clDefault,
       clDefault},
      {"FilterBox", [](Painter p) { return p->DefaultFilterBoxColor(); }, clBtnShadow,
       Office11Color17},
      {"FilterBoxText", [](Painter p) { return p->DefaultFilterBoxTextColor(); }, clBtnHighlight,
       Office11Color21},
      {"Footer", [](Painter p) { return p->DefaultFooterColor(); }, clBtnFace, Office11Color01},
      {"FooterText", [](Painter p) { return p->DefaultFooterTextColor(); }, clBtnText, clBtnText},
      {"GridLine", [](Painter p) { return p->DefaultGridLineColor(); }, clBtnShadow, clBtnShadow},
      {"RowSeparator", [](Painter p) { return p->DefaultRowSeparatorColor(); }, clBtnShadow,
       clBtnShadow},
      {"GroupByBox", [](Painter p) { return p->DefaultGroupByBoxColor(); }, clBtnShadow,
       Office11Color45},
      {"GroupByBoxText", [](Painter p) { return p->DefaultGroupByBoxTextColor(); }, clBtnFace,
       Office11Color03},
      {"Group", [](Painter p) { return p->DefaultGroupColor(); }, clBtnFace, Office11Color48},
      {"Color28", [](Painter p) { return p->DefaultColor28(); }, clBtnShadow, Office11Color45},
      {"Color151", [](Painter p) { return p->DefaultColor151(); }, clBtnShadow, Office11Color45},
      {"Header", [](Painter p) { return p->DefaultHeaderColor(); }, clBtnFace,
       BlendColors(Office11Color03, Office11Color04, 50)},
      {"Color39", [](Painter p) { return p->DefaultColor39(); }, clBtnFace,
       BlendColors(Office11Color03, Office11Color04, 50)},
      {"HeaderText", [](Painter p) { return p->DefaultHeaderTextColor(); }, clBtnText, clBtnText},
      {"Hyperlink", [](Painter p) { return p->DefaultHyperlinkTextColor(); }, clBlue, clBlue},
      {"Preview", [](Painter p) { return p->DefaultPreviewTextColor(); }, clBlue, clBlue},
      {"Color38", [](Painter p) { return p->DefaultColor38(); }, clBlack, clBlack},
      {"CalendarContent", [](Painter p) { return p->DefaultCalendarContentColor(); }, clWindow,
       clWindow},
      {"CalendarHeader", [](Painter p) { return p->DefaultCalendarHeaderColor(); }, clBtnFace,
       Office11Color01},
      {"CalendarHeaderText(hot)", [](Painter p) { return p->DefaultCalendarHeaderTextColor(true); },
       clHighlightText, clHighlightText},
      {"CalendarSelection", [](Painter p) { return p->DefaultCalendarSelectionColor(); },
       clHighlight, Office11Color49},
      {"CalendarSelectionText", [](Painter p) { return p->DefaultCalendarSelectionTextColor(); },
       clHighlightText, clWindowText},
      {"CalendarTodayFrame", [](Painter p) { return p->DefaultCalendarTodayFrameColor(); },
       TColor(0x000080), TColor(0x000080)},
      {"CalendarTodayText", [](Painter p) { return p->DefaultCalendarTodayTextColor(); },
       TColor(0x800000), TColor(0x800000)},
      {"Color58", [](Painter p) { return p->DefaultColor58(); }, TColor(0x9D9DA1), Office11Color50},
      {"Color59", [](Painter p) { return p->DefaultColor59(); }, clBtnFace, Office11Color51},
      {"Color63", [](Painter p) { return p->DefaultColor63(); }, TColor(0xD5FFFF), TColor(0xD5FFFF)},
      {"Selection", [](Painter p) { return p->DefaultSelectionColor(); }, clHighlight, clHighlight},
      {"SelectionText", [](Painter p) { return p->DefaultSelectionTextColor(); }, clHighlightText,
       clHighlightText},
      {"Tab", [](Painter p) { return p->DefaultTabColor(); }, clBtnFace, Office11Color02},
      {"Color71", [](Painter p) { return p->DefaultColor71(); }, clBtnFace, Office11Color02},
      {"Color74", [](Painter p) { return p->DefaultColor74(); }, clBtnFace, Office11Color01},
      {"Color76", [](Painter p) { return p->DefaultColor76(); }, clWhite, Office11Color51},
      {"Color80", [](Painter p) { return p->DefaultColor80(); }, TColor(0xCFCFCF), TColor(0xCFCFCF)},
      {"Color83", [](Painter p) { return p->DefaultColor83(); }, TColor(0xF0CAA6), TColor(0xF0CAA6)},
      {"FooterSeparator", [](Painter p) { return p->DefaultFooterSeparatorColor(); }, clBtnShadow,
       Office11Color13},
      {"EditorBorder", [](Painter p) { return p->DefaultEditorBorderColor(true); }, clDefault,
       clDefault},
      {"ProgressBarText", [](Painter p) { return p->ProgressBarTextColor(); }, clWindowText,
       clWindowText},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.color(kBase), row.base) << row.name;
    EXPECT_EQ(row.color(kFlat), row.base) << row.name;
    EXPECT_EQ(row.color(kOffice11), row.office11) << row.name;
  }
  // The few overrides of the other painters.
  EXPECT_EQ(kStandard->DefaultColor63(), clWindow);
  EXPECT_EQ(kUltraFlat->DefaultColor58(), clBtnShadow);
  EXPECT_EQ(kThemed->DefaultColor63(), TColor(0xD5FFFF));
  EXPECT_EQ(kThemed->DefaultColor58(), TColor(0x9D9DA1));  // no "ComboBox" theme here
}

TEST_F(PainterTest, ButtonAndCheckBoxColours) {
  const TColor hot = GetLightHighlightColor(), pressed = GetLightDownHighlightColor();
  EXPECT_EQ(kStandard->ButtonFaceColor(cxbsHot), clBtnFace);
  EXPECT_EQ(kUltraFlat->ButtonFaceColor(cxbsHot), hot);
  EXPECT_EQ(kUltraFlat->ButtonFaceColor(cxbsPressed), pressed);
  EXPECT_EQ(kUltraFlat->ButtonFaceColor(cxbsDisabled), clBtnFace);
  EXPECT_EQ(kOffice11->ButtonFaceColor(cxbsNormal), Office11Color01);
  EXPECT_EQ(kOffice11->ButtonFaceColor(cxbsHot), Office11Color34);
  EXPECT_EQ(kOffice11->ButtonFaceColor(cxbsPressed), Office11Color36);
  EXPECT_EQ(kOffice11->ButtonFaceColor(cxbsDisabled), clBtnFace);

  EXPECT_EQ(kStandard->ButtonGlyphColor(cxbsNormal), clBtnText);
  EXPECT_EQ(kStandard->ButtonGlyphColor(cxbsNormal, clRed), clRed);
  EXPECT_EQ(kStandard->ButtonGlyphColor(cxbsDisabled, clRed), clBtnShadow);
  EXPECT_EQ(kUltraFlat->ButtonGlyphColor(cxbsPressed, clRed), clHighlightText);
  EXPECT_EQ(kUltraFlat->ButtonGlyphColor(cxbsHot, clRed), clRed);
  // Office 11: the given colour is ignored; pressed glyphs without a scheme are highlight text.
  EXPECT_EQ(kOffice11->ButtonGlyphColor(cxbsNormal, clRed), Office11Color42);
  EXPECT_EQ(kOffice11->ButtonGlyphColor(cxbsPressed), clHighlightText);
  EXPECT_EQ(kOffice11->ButtonGlyphColor(cxbsDisabled), Office11Color43);

  EXPECT_EQ(kStandard->CheckBoxColor(cxbsHot), clWindow);
  EXPECT_EQ(kStandard->CheckBoxColor(cxbsPressed), clBtnFace);
  EXPECT_EQ(kOffice11->CheckBoxColor(cxbsNormal), clWindow);
  EXPECT_EQ(kOffice11->CheckBoxColor(cxbsHot), Office11Color34);

  const auto* ultraFlat = static_cast<const TcxUltraFlatLookAndFeelPainter*>(kUltraFlat.Get());
  const auto* office11 = static_cast<const TcxOffice11LookAndFeelPainter*>(kOffice11.Get());
  EXPECT_EQ(ultraFlat->ButtonBorderColor(cxbsNormal), clBtnShadow);
  EXPECT_EQ(ultraFlat->ButtonBorderColor(cxbsHot), clHighlight);
  EXPECT_EQ(office11->ButtonBorderColor(cxbsNormal), Office11Color13);
  EXPECT_EQ(office11->ButtonBorderColor(cxbsPressed), Office11Color33);
  EXPECT_EQ(office11->Office11HeaderBottomColor(), Office11Color04);
  EXPECT_EQ(office11->Office11Color250(), Office11Color14);

  EXPECT_EQ(kBase->CalculatorButtonTextColor(0), clMaroon);
  EXPECT_EQ(kBase->CalculatorButtonTextColor(7), clBlue);
  EXPECT_EQ(kBase->CalculatorButtonTextColor(23), clNavy);
  EXPECT_EQ(kBase->CalculatorButtonTextColor(26), clRed);
  EXPECT_EQ(kBase->GroupBoxCaptionTextColor(false), clBtnShadow);
}

// ---- Arrows -------------------------------------------------------------------------------------

TEST(LookAndFeelPainters, ArrowTriangles) {
  TPoint p[3];
  // 16 x 16, automatic size: s = 4, the up triangle is 7 wide and 4 high with its apex at x 7.
  TcxCustomLookAndFeelPainter::ComputeArrowTriangle({0, 0, 16, 16}, adUp, false, 0, p);
  EXPECT_EQ(p[0], (TPoint{4, 9}));
  EXPECT_EQ(p[1], (TPoint{7, 6}));
  EXPECT_EQ(p[2], (TPoint{10, 9}));
  TcxCustomLookAndFeelPainter::ComputeArrowTriangle({0, 0, 16, 16}, adDown, false, 0, p);
  EXPECT_EQ(p[0], (TPoint{10, 6}));
  EXPECT_EQ(p[1], (TPoint{7, 9}));
  EXPECT_EQ(p[2], (TPoint{4, 6}));
  TcxCustomLookAndFeelPainter::ComputeArrowTriangle({0, 0, 16, 16}, adLeft, false, 0, p);
  // The middle line rounds halves away from zero: (16 - 7) / 2 gives 5.
  EXPECT_EQ(p[0], (TPoint{9, 11}));
  EXPECT_EQ(p[1], (TPoint{6, 8}));
  EXPECT_EQ(p[2], (TPoint{9, 5}));
  TcxCustomLookAndFeelPainter::ComputeArrowTriangle({0, 0, 16, 16}, adRight, false, 0, p);
  EXPECT_EQ(p[0], (TPoint{6, 5}));
  EXPECT_EQ(p[1], (TPoint{9, 8}));
  EXPECT_EQ(p[2], (TPoint{6, 11}));
  // Proportional: a wide rect is narrowed to its centred square first.
  TcxCustomLookAndFeelPainter::ComputeArrowTriangle({0, 0, 40, 16}, adUp, true, 0, p);
  EXPECT_EQ(p[1], (TPoint{19, 6}));
  EXPECT_EQ(p[2].X - p[0].X, 6);
  // The bars' name: size before direction.
  TcxCustomLookAndFeelPainter::ComputeArrowTriangle({0, 0, 16, 16}, p, 2, adDown);
  EXPECT_EQ(p[1], (TPoint{7, 8}));
}

TEST_F(PainterTest, StateArrowEmbossedWhenDisabled) {
  TPaintDC dc(8, 8, kBack);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  kStandard->DrawStateArrow(canvas.get(), {0, 0, 8, 8}, cxbsDisabled, adDown);
  // A 3 x 2 triangle: highlight one pixel right and down, shadow over it.
  EXPECT_TRUE(Art(dc, {0, 0, 8, 8}, R"(
      ........
      ........
      ........
      ..sss...
      ...shh..
      ....h...
      ........
      ........)"));
}

// ---- Buttons ------------------------------------------------------------------------------------

TEST_F(PainterTest, ButtonFrames) {
  TPaintDC dc(36, 6, kBack);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  kStandard->DrawPushButton(canvas.get(), {0, 0, 6, 6}, "", cxbsNormal);
  kStandard->DrawPushButton(canvas.get(), {6, 0, 12, 6}, "", cxbsDefault);
  kStandard->DrawPushButton(canvas.get(), {12, 0, 18, 6}, "", cxbsPressed);
  kFlat->DrawPushButton(canvas.get(), {18, 0, 24, 6}, "", cxbsDefault);
  kUltraFlat->DrawPushButton(canvas.get(), {24, 0, 30, 6}, "", cxbsHot);
  kUltraFlat->DrawPushButton(canvas.get(), {30, 0, 36, 6}, "", cxbsDefault);
  const COLORREF hot = ColorToRGB(GetLightHighlightColor());
  // Standard normal, default and pressed; flat default; ultra-flat hot and default.
  const orv::TImageCheck c = orv::MatchAsciiArt(dc.Surface(), {0, 0, 36, 6}, R"(
      hhhhhdkkkkkkkkkkkkkkkkkkHHHHHHWWWWWW
      hlllsdkhhhdkksssskkhhhskHooooHWWWWWW
      hlffsdkhlsdkksffskkhffskHooooHWWffWW
      hlffsdkhssdkksffskkhffskHooooHWWffWW
      hssssdkddddkksssskksssskHooooHWWWWWW
      ddddddkkkkkkkkkkkkkkkkkkHHHHHHWWWWWW)",
                                                {{'h', kHighlight}, {'d', kDkShadow},
                                                 {'k', 0}, {'l', kLight}, {'s', kShadow},
                                                 {'f', kFace}, {'H', kSelection},
                                                 {'o', hot}, {'W', kWindowFrame}});
  EXPECT_TRUE(c) << c.Message;
}

TEST_F(PainterTest, UltraFlatGroupButtons) {
  // Three hot buttons: the middle one has highlight columns toward both neighbours, the outer
  // ones only toward theirs.
  TPaintDC dc(15, 5, kBack);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  for (int i = 0; i < 3; ++i)
    kUltraFlat->DrawGroupButton(canvas.get(), {5 * i, 0, 5 * i + 5, 5}, cxbsHot, 3, i, clBlue);
  const COLORREF hot = ColorToRGB(GetLightHighlightColor());
  const orv::TImageCheck c = orv::MatchAsciiArt(dc.Surface(), {0, 0, 15, 5}, R"(
      ...............
      .oooHHoooHHooo.
      .oooHHoooHHooo.
      .oooHHoooHHooo.
      ...............)",
                                                {{'.', kBack}, {'H', kSelection}, {'o', hot}});
  EXPECT_TRUE(c) << c.Message;
  // Normal buttons frame themselves in the given colour; the first one's left edge moves in.
  dc.Clear(kBack);
  kUltraFlat->DrawGroupButton(canvas.get(), {0, 0, 5, 5}, cxbsNormal, 3, 0, clBlue);
  EXPECT_TRUE(Art(dc, {0, 0, 5, 5}, R"(
      .....
      .bbbb
      .bffb
      .bbbb
      .....)"));
}

TEST_F(PainterTest, PushButtonCaption) {
  // The caption is centred, drawn in the glyph colour; a pressed ultra-flat button keeps its
  // glyph in place in highlight text on the pressed colour.
  TPaintDC dc(40, 16, kBack);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  LOGFONT lf{};
  lf.lfHeight = -8;
  std::strcpy(lf.lfFaceName, orv::kTestFontFace);
  canvas->SetFont(lf);
  kUltraFlat->DrawPushButton(canvas.get(), {0, 0, 40, 16}, "AB", cxbsPressed);
  const COLORREF pressed = ColorToRGB(GetLightDownHighlightColor());
  EXPECT_EQ(dc.At(0, 0), kSelection);
  EXPECT_EQ(dc.At(2, 2), pressed);
  // The text rect: inside the 1-pixel frame (1, 1, 39, 15); its even height of 14 is under 18,
  // so its top moves up one: (1, 0, 39, 15).
  TPaintDC reference(40, 16, pressed);
  CanvasPtr referenceCanvas(new TcxCanvas(reference.Dc));
  referenceCanvas->SetFont(lf);
  referenceCanvas->SetBrushClear(true);
  referenceCanvas->SetFontColor(clHighlightText);
  referenceCanvas->DrawTextInRect("AB", {1, 0, 39, 15},
                                  cxAlignHCenter | cxAlignVCenter | cxShowPrefix | cxSingleLine);
  for (int y = 1; y < 15; ++y)
    for (int x = 1; x < 39; ++x) ASSERT_EQ(dc.At(x, y), reference.At(x, y)) << x << "," << y;
  int ink = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 40; ++x) ink += reference.At(x, y) == kSelectionText;
  EXPECT_GT(ink, 10);
}

// ---- Expand buttons, check boxes, radio buttons ----------------------------------------------------

TEST_F(PainterTest, ExpandButtons) {
  TPaintDC dc(35, 12, kBack);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  kStandard->DrawExpandCollapseButton(canvas.get(), {0, 0, 12, 12}, false);
  canvas->SetClipRegion(new TcxRegion(0, 0, 35, 12), roSet);
  kUltraFlat->DrawExpandCollapseButton(canvas.get(), {12, 0, 23, 11}, true);
  canvas->SetClipRegion(new TcxRegion(0, 0, 35, 12), roSet);
  kBase->DrawSmallPlusMinusButton(canvas.get(), {24, 0, 33, 9}, false, clBlue, clDefault);
  // Standard plus: raised frame, 9 x 9 face with a 5-pixel cross; ultra-flat minus in a
  // shadow frame; the small button framed in the border colour with a bare interior.
  EXPECT_TRUE(Art(dc, {0, 0, 35, 12}, R"(
      hhhhhhhhhhhdsssssssssss.bbbbbbbbb..
      hfffffffffsdsfffffffffs.b.......b..
      hfffffffffsdsfffffffffs.b...t...b..
      hfffftffffsdsfffffffffs.b...t...b..
      hfffftffffsdsfffffffffs.b.ttttt.b..
      hfftttttffsdsfftttttffs.b...t...b..
      hfffftffffsdsfffffffffs.b...t...b..
      hfffftffffsdsfffffffffs.b.......b..
      hfffffffffsdsfffffffffs.bbbbbbbbb..
      hfffffffffsdsfffffffffs............
      hssssssssssdsssssssssss............
      dddddddddddd.......................)"));
}

TEST_F(PainterTest, HeaderCellsJoinWithoutDoubleLines) {
  TPaintDC dc(12, 5, kBack);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  kStandard->DrawHeaderCell(canvas.get(), {0, 0, 6, 5}, {0, 0, 6, 5}, {nRight}, cxBordersAll,
                            cxbsNormal, 0, vaTop, false, false, "", nullptr, clNone, clBtnFace);
  kStandard->DrawHeaderCell(canvas.get(), {6, 0, 12, 5}, {6, 0, 12, 5}, {nLeft}, cxBordersAll,
                            cxbsNormal, 0, vaTop, false, false, "", nullptr, clNone, clBtnFace);
  // The joint: the left cell's top-right pixel is lit and the ends of the divider take the
  // face colour; the divider itself stays (shadow | highlight).
  EXPECT_TRUE(Art(dc, {0, 0, 12, 5}, R"(
      hhhhhhhhhhhs
      hffffffffffs
      hffffshffffs
      hffffffffffs
      ssssssssssss)"));
  // Ultra-flat: a cell with a left neighbour leaves its left line to it; right and bottom
  // lines are always drawn.
  dc.Clear(kBack);
  kUltraFlat->DrawHeaderCell(canvas.get(), {0, 0, 6, 5}, {0, 0, 6, 5}, {nRight},
                             kUltraFlat->HeaderCellBorders({nRight}), cxbsNormal, 0, vaTop, false,
                             false, "", nullptr, clNone, clBtnFace);
  kUltraFlat->DrawHeaderCell(canvas.get(), {6, 0, 12, 5}, {6, 0, 12, 5}, {nLeft},
                             kUltraFlat->HeaderCellBorders({nLeft}), cxbsNormal, 0, vaTop, false,
                             false, "", nullptr, clNone, clBtnFace);
  EXPECT_TRUE(Art(dc, {0, 0, 12, 5}, R"(
      tttttttttttt
      tfffftffffft
      tfffftffffft
      tfffftffffft
      tttttttttttt)"));
}

TEST_F(PainterTest, SortArrows) {
  TPaintDC dc(20, 10, kBack);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  kStandard->DrawSortArrow(canvas.get(), {0, 0, 10, 10}, true);
  kUltraFlat->DrawSortArrow(canvas.get(), {10, 0, 20, 10}, false);
  // Standard ascending (8 x 7): a triangle pointing up, lit on the right, shadowed on the left
  // and bottom; ultra-flat descending (7 x 8), all in shadow.
  EXPECT_TRUE(Art(dc, {0, 0, 20, 10}, R"(
      ....................
      ....sh......sssssss.
      ....shh.....s.....s.
      ...s..h......s...ss.
      ...s..hh.....s...s..
      ..s....h......s.ss..
      ..s....hh.....s.s...
      .shhhhhhh......ss...
      ...............s....
      ....................)"));
}

TEST_F(PainterTest, IndicatorGlyphs) {
  TPaintDC dc(20, 11, kBack);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  kStandard->DrawIndicatorGlyph(canvas.get(), {0, 0, 10, 11}, ikNone);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(dc.At(x, y), kBack);
  // 0x81: the arrow, centred ((10 - 8) / 2, (11 - 9) / 2); white is transparent.
  kStandard->DrawIndicatorGlyph(canvas.get(), {0, 0, 10, 11}, 0x81);
  kStandard->DrawIndicatorGlyph(canvas.get(), {10, 0, 20, 11}, ikFilter);
  const orv::TImageCheck c = orv::MatchAsciiArt(dc.Surface(), {0, 0, 20, 11}, R"(
      ....................
      ...#................
      ...##......########.
      ...###.....#......#.
      ...####....#......#.
      ...#####....#....#..
      ...####......####...
      ...###.......#..#...
      ...##........#..#...
      ...#.........####...
      ....................)",
                                                {{'.', kBack}, {'#', 0}});
  EXPECT_TRUE(c) << c.Message;
  // Kinds beyond the six glyphs draw nothing.
  dc.Clear(kBack);
  kStandard->DrawIndicatorGlyph(canvas.get(), {0, 0, 10, 11}, 7);
  EXPECT_EQ(dc.At(3, 5), kBack);
  EXPECT_EQ(GetIndicatorImages()->GetCount(), 6);
}

TEST_F(PainterTest, ScrollBarElements) {
  TPaintDC dc(16, 8, kBack);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  // A disabled thumb draws nothing; an empty rect neither.
  kStandard->DrawScrollBarElement(canvas.get(), false, {0, 0, 8, 8}, sbpThumbnail, cxbsDisabled);
  kUltraFlat->DrawScrollBarElement(canvas.get(), false, {0, 0, 0, 8}, sbpLineUp, cxbsNormal);
  EXPECT_EQ(dc.At(3, 3), kBack);
  // Page areas: the light checkerboard, the dark one when pressed.
  kStandard->DrawScrollBarElement(canvas.get(), true, {0, 0, 4, 2}, sbpPageUp, cxbsNormal);
  kStandard->DrawScrollBarElement(canvas.get(), true, {4, 0, 8, 2}, sbpPageDown, cxbsPressed);
  EXPECT_TRUE(Art(dc, {0, 0, 8, 2}, R"(
      fhfhkdkd
      hfhfdkdk)"));
  // The standard thumb: raised frame and face.
  kStandard->DrawScrollBarElement(canvas.get(), false, {8, 0, 14, 6}, sbpThumbnail, cxbsHot);
  EXPECT_TRUE(Art(dc, {8, 0, 14, 6}, R"(
      fffffd
      fhhhsd
      fhffsd
      fhffsd
      fssssd
      dddddd)"));
}

TEST_F(PainterTest, FilterBoxCloseButtonShiftsOnlyWhereTheGlyphStateFollows) {
  TPaintDC a(16, 14, kBack), b(16, 14, kBack);
  CanvasPtr ca(new TcxCanvas(a.Dc)), cb(new TcxCanvas(b.Dc));
  kBase->DrawFilterBoxCloseButton(ca.get(), {0, 0, 16, 14}, cxbsNormal);
  kBase->DrawFilterBoxCloseButton(cb.get(), {0, 0, 16, 14}, cxbsPressed);
  // The base's pressed face is the same colour: the cross moved one pixel right and down.
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 15; ++x) ASSERT_EQ(a.At(x, y), b.At(x + 1, y + 1)) << x << "," << y;
  EXPECT_EQ(a.At(4, 3), kBtnText);  // c = 16 / 2 - 1 = 7, origin (4, 3)
  // Ultra-flat glyphs stay put when pressed.
  TPaintDC c(16, 15, kBack), d(16, 15, kBack);
  CanvasPtr cc(new TcxCanvas(c.Dc)), cd(new TcxCanvas(d.Dc));
  kUltraFlat->DrawFilterBoxCloseButton(cc.get(), {0, 0, 16, 15}, cxbsHot);
  kUltraFlat->DrawFilterBoxCloseButton(cd.get(), {0, 0, 16, 15}, cxbsPressed);
  for (int y = 0; y < 15; ++y)
    for (int x = 0; x < 16; ++x)
      ASSERT_EQ(c.At(x, y) == kBtnText, d.At(x, y) == kSelectionText) << x << "," << y;
}

TEST_F(PainterTest, CheckBoxes) {
  TPaintDC dc(39, 13, kBack);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  kStandard->DrawCheckBox(canvas.get(), {0, 0, 13, 13}, cxbsNormal, true);
  kFlat->DrawCheckBoxWithState(canvas.get(), {13, 0, 26, 13}, cxbsNormal, cbsGrayed);
  kUltraFlat->DrawCheckBox(canvas.get(), {26, 0, 39, 13}, cxbsDisabled, true);
  // Standard checked: sunken two-pixel frame, window face, the three-stroke mark.
  EXPECT_TRUE(Art(dc, {0, 0, 13, 13}, R"(
      ddddddddddddl
      dsssssssssshl
      dswwwwwwwwwhl
      dswwwwwwwtwhl
      dswwwwwwttwhl
      dswtwwwtttwhl
      dswttwtttwwhl
      dswtttttwwwhl
      dswwtttwwwwhl
      dswwwtwwwwwhl
      dswwwwwwwwwhl
      dhhhhhhhhhhhl
      lllllllllllll)"));
  // Flat grayed: frame and face, no mark.
  for (int y = 3; y < 10; ++y)
    for (int x = 16; x < 23; ++x) ASSERT_EQ(dc.At(x, y), kWindow) << x << "," << y;
  // Ultra-flat disabled: the mark in gray text on the button face.
  EXPECT_EQ(dc.At(26, 0), kBtnText);
  EXPECT_EQ(dc.At(27, 1), kFace);
  int gray = 0;
  for (int y = 2; y < 11; ++y)
    for (int x = 28; x < 37; ++x) gray += dc.At(x, y) == kGrayText;
  EXPECT_EQ(gray, 21);
  // A clear brush leaves the background and draws only the mark.
  dc.Clear(kBack);
  canvas->SetBrushClear(true);
  kStandard->DrawCheckMark(canvas.get(), {0, 0, 9, 9}, cxbsNormal, true, clRed);
  canvas->SetBrushClear(false);
  EXPECT_EQ(dc.At(0, 0), kBack);
  EXPECT_EQ(dc.At(4, 6), COLORREF(0x0000FF));
}

TEST_F(PainterTest, RadioButtonImages) {
  TcxRadioButtonImageList* list = GetRadioButtonImageList();
  EXPECT_EQ(list->GetImageList()->GetCount(), 128);
  EXPECT_EQ(list->GetSize(), (TSize{12, 12}));
  // Every combination has its own image.
  std::vector<Integer> seen;
  for (int kind = 0; kind < 4; ++kind)
    for (int state = cxbsNormal; state <= cxbsDisabled; ++state)
      for (int flags = 0; flags < 8; ++flags)
        seen.push_back(list->GetImageIndex(TcxLookAndFeelKind(kind), TcxButtonState(state),
                                           flags & 1, flags & 2, flags & 4));
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(std::unique(seen.begin(), seen.end()) - seen.begin(), 128);
  EXPECT_EQ(seen.front(), 0);
  EXPECT_EQ(seen.back(), 127);
  // The pattern: corners outside, the ring around a body, the dot in the middle.
  EXPECT_EQ(list->GetPatternIndex(0, 0), 0);
  EXPECT_EQ(list->GetPatternIndex(5, 0), 1);
  EXPECT_EQ(list->GetPatternIndex(6, 11), 2);
  EXPECT_EQ(list->GetPatternIndex(5, 5), 6);

  TPaintDC dc(24, 12, kBack);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  kStandard->DrawRadioButton(canvas.get(), 0, 0, cxbsNormal, true, false, clDefault);
  kStandard->DrawRadioButton(canvas.get(), 12, 0, cxbsNormal, false, false, clRed);
  EXPECT_EQ(dc.At(0, 0), kBack);                // transparent corner
  EXPECT_EQ(dc.At(12, 0), COLORREF(0x0000FF));   // the explicit background
  EXPECT_EQ(dc.At(5, 5), kWindowText);           // the dot
  EXPECT_EQ(dc.At(5, 0), kShadow);               // outer ring, upper-left half
  EXPECT_EQ(dc.At(12 + 5, 5), kWindow);          // unchecked: body
  // After a system colour change the next radio button shows the new colours.
  orv::SetSysColor(COLOR_WINDOW, RGB(240, 250, 200));
  LookAndFeelPaintersSystemColorsChanged();
  kStandard->DrawRadioButton(canvas.get(), 12, 0, cxbsNormal, false, false, clRed);
  EXPECT_EQ(dc.At(12 + 5, 5), COLORREF(RGB(240, 250, 200)));
}

TEST_F(PainterTest, Office11HotHeaderCell) {
  TPaintDC dc(12, 12, kBack);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  kOffice11->DrawHeaderCell(canvas.get(), {1, 1, 11, 10}, {1, 1, 11, 10}, {}, cxBordersAll,
                            cxbsHot, 0, vaTop, false, false, "", nullptr, clNone, clRed);
  // Filled flat in the hot colour (the background colour argument is not used), with a
  // 3-pixel gradient line from one pixel left of the content to one pixel below it.
  const COLORREF hotFill = ColorToRGB(Office11Color03);
  EXPECT_EQ(dc.At(5, 4), hotFill);
  EXPECT_EQ(dc.At(1, 1), COLORREF(ColorToRGB(BlendColors(Office11Color03, Office11Color04, 50))));
  EXPECT_EQ(dc.At(5, 8), COLORREF(ColorToRGB(Office11Color34)));
  EXPECT_EQ(dc.At(1, 8), COLORREF(ColorToRGB(Office11Color34)));  // content starts at 2
  EXPECT_EQ(dc.At(5, 9), COLORREF(ColorToRGB(Office11Color35)));
  EXPECT_EQ(dc.At(5, 10), kBack);
  EXPECT_EQ(dc.At(11, 8), kBack);
  // A footer cell is filled flat without the bottom band.
  dc.Clear(kBack);
  kOffice11->DrawFooterCell(canvas.get(), {0, 0, 12, 12}, 0, vaTop, false, "", nullptr, clNone,
                            clRed);
  const COLORREF top = ColorToRGB(BlendColors(Office11Color03, Office11Color04, 50));
  EXPECT_EQ(dc.At(5, 1), top);
  EXPECT_EQ(dc.At(5, 10), top);
  EXPECT_EQ(dc.At(0, 0), COLORREF(ColorToRGB(Office11Color13)));
}

}  // namespace
