#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "PaintFixture.h"
#include "components/foundation/cxContainer.h"
#include "components/foundation/dxOffice11.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"

namespace {

using orv::test::Owned;

std::string Str(const TRect& r) {
  return "(" + std::to_string(r.Left) + ", " + std::to_string(r.Top) + ", " + std::to_string(r.Right) +
         ", " + std::to_string(r.Bottom) + ")";
}

// A container whose focus and in-place use the test decides.
class TModelContainer : public TcxContainer {
  ORV_CLASS(TModelContainer, TcxContainer)
 public:
  explicit TModelContainer(TComponent* owner) : TcxContainer(owner) {}
  bool Focused() override { return IsFocused; }
  Boolean IsInplace() override { return InPlace; }
  // Styles of a control that takes its parent's colour default to the button face.
  Boolean UsesParentColorByDefault() override { return true; }
  Boolean IsFocused = false;
  Boolean InPlace = false;
};

// A container of the given size, its four styles and its view info, without a window.
struct TContainerModel {
  explicit TContainerModel(Integer width, Integer height)
      : Container(new TModelContainer(nullptr)), Styles(Container->GetContainerStyles()),
        ViewInfo(*Container->GetViewInfo()) {
    Container->SetBounds(0, 0, width, height);
  }
  TcxContainerStyle* Style() { return Styles->GetNormalStyle(); }
  TcxContainerStyle* Calculate(TPoint point = {-1, -1}, Boolean hotTracking = true) {
    Container->CalculateViewInfo(point, hotTracking);
    return Container->GetActiveStyle();
  }
  void Paint(HDC dc) {
    Owned<TcxCanvas> canvas(new TcxCanvas(dc));
    ViewInfo.PaintOn(canvas.get());
  }
  TRect OuterRect() { return Container->GetOuterRect(); }
  TRect HotTrackArea() { return Container->GetHotTrackArea(); }

  Owned<TModelContainer> Container;
  TcxContainerStyles* Styles;
  TcxContainerViewInfo& ViewInfo;
};

TEST(ContainerBorders, Widths) {
  const Integer widths[] = {0, 1, 2, 2, 2, 1, 1};
  for (int s = cbsNone; s <= cbsOffice11; ++s)
    EXPECT_EQ(GetContainerBorderWidth(TcxContainerBorderStyle(s)), widths[s]) << s;
  EXPECT_EQ(GetLookAndFeelBorderWidth(lfFlat), 2);
  EXPECT_EQ(GetLookAndFeelBorderWidth(lfStandard), 2);
  EXPECT_EQ(GetLookAndFeelBorderWidth(lfUltraFlat), 1);
  EXPECT_EQ(GetLookAndFeelBorderWidth(lfOffice11), 1);
}

TEST(ContainerBorders, RectsByEdges) {
  TRect r{10, 10, 20, 20};
  GrowRectByEdges(r, 2, {bLeft, bBottom});
  EXPECT_EQ(r, (TRect{8, 10, 20, 22}));
  ShrinkRectByMissingEdges(r, 3, {bLeft, bBottom});
  EXPECT_EQ(r, (TRect{8, 13, 17, 22}));
}

// ---- Geometry for every border style and look-and-feel kind ------------------------------------

struct TGeometryCase {
  const char* Name;
  TcxLookAndFeelKind Kind;
  int BorderStyle;  // -1: the look and feel's
  bool TransparentBorder;
  bool Shadow;
  TcxBorders Edges;
  TcxContainerBorderStyle ViewBorderStyle;
  Integer BorderWidth;
  TRect BorderRect;
  TRect OuterRect;
  TRect HotTrackArea;
};

class ContainerGeometry : public ::testing::TestWithParam<TGeometryCase> {};

TEST_P(ContainerGeometry, ExtentOuterRectAndHotArea) {
  const TGeometryCase& c = GetParam();
  TContainerModel m(20, 12);
  TcxContainerStyle* s = m.Style();
  s->GetLookAndFeel()->SetKind(c.Kind);
  if (c.BorderStyle >= 0) s->SetBorderStyle(TcxContainerBorderStyle(c.BorderStyle));
  s->SetTransparentBorder(c.TransparentBorder);
  s->SetShadow(c.Shadow);
  s->SetEdges(c.Edges);
  m.Calculate();
  EXPECT_EQ(m.ViewInfo.BorderStyle, c.ViewBorderStyle) << c.Name;
  EXPECT_EQ(m.ViewInfo.BorderWidth, c.BorderWidth) << c.Name;
  EXPECT_EQ(m.ViewInfo.Bounds, (TRect{0, 0, 20, 12})) << c.Name;
  EXPECT_EQ(Str(m.ViewInfo.BorderRect), Str(c.BorderRect)) << c.Name;
  EXPECT_EQ(m.ViewInfo.ClientRect, m.ViewInfo.BorderRect) << c.Name;
  EXPECT_EQ(m.ViewInfo.Shadow, c.Shadow) << c.Name;
  EXPECT_EQ(Str(m.OuterRect()), Str(c.OuterRect)) << c.Name;
  EXPECT_EQ(Str(m.HotTrackArea()), Str(c.HotTrackArea)) << c.Name;
}

const TcxBorders kAllBorders = cxBordersAll;

const TGeometryCase kGeometryCases[] = {
    {"ultra-flat, transparent border", lfUltraFlat, -1, true, false, kAllBorders, cbsSingle, 1,
     {2, 2, 18, 10}, {1, 1, 19, 11}, {1, 1, 19, 11}},
    {"ultra-flat, transparent border, shadow", lfUltraFlat, -1, true, true, kAllBorders, cbsSingle, 1,
     {2, 2, 15, 7}, {1, 1, 16, 8}, {1, 1, 16, 8}},
    {"ultra-flat, transparent border, left and top", lfUltraFlat, -1, true, false, {bLeft, bTop},
     cbsSingle, 1, {2, 2, 18, 10}, {1, 1, 18, 10}, {1, 1, 18, 10}},
    {"Office 11, transparent border", lfOffice11, -1, true, false, kAllBorders, cbsSingle, 1,
     {2, 2, 18, 10}, {1, 1, 19, 11}, {1, 1, 19, 11}},
    {"flat, transparent border", lfFlat, -1, true, false, kAllBorders, cbsFlat, 2, {2, 2, 18, 10},
     {0, 0, 20, 12}, {0, 0, 20, 12}},
    {"flat", lfFlat, -1, false, false, kAllBorders, cbsFlat, 2, {2, 2, 18, 10}, {0, 0, 20, 12},
     {0, 0, 20, 12}},
    {"standard", lfStandard, -1, false, false, kAllBorders, cbs3D, 2, {2, 2, 18, 10}, {0, 0, 20, 12},
     {0, 0, 20, 12}},
    {"standard, shadow", lfStandard, -1, false, true, kAllBorders, cbs3D, 2, {2, 2, 15, 7}, {0, 0, 17, 9},
     {0, 0, 17, 9}},
    {"ultra-flat", lfUltraFlat, -1, false, false, kAllBorders, cbsSingle, 1, {1, 1, 19, 11},
     {0, 0, 20, 12}, {0, 0, 20, 12}},
    {"none", lfUltraFlat, cbsNone, false, false, kAllBorders, cbsNone, 0, {0, 0, 20, 12}, {0, 0, 20, 12},
     {0, 0, 20, 12}},
    {"single, shadow", lfUltraFlat, cbsSingle, false, true, kAllBorders, cbsSingle, 1, {1, 1, 16, 8},
     {0, 0, 17, 9}, {0, 0, 17, 9}},
    {"thick, top and bottom", lfUltraFlat, cbsThick, false, false, {bTop, bBottom}, cbsThick, 2,
     {0, 2, 20, 10}, {0, 0, 20, 12}, {0, 0, 20, 12}},
    {"3D, no right edge", lfFlat, cbs3D, false, false, {bLeft, bTop, bBottom}, cbs3D, 2,
     {2, 2, 20, 10}, {0, 0, 20, 12}, {0, 0, 20, 12}},
    {"Office 11 border, no edges", lfOffice11, cbsOffice11, false, false, {}, cbsSingle, 1,
     {0, 0, 20, 12}, {0, 0, 20, 12}, {0, 0, 20, 12}},
};

INSTANTIATE_TEST_SUITE_P(Table, ContainerGeometry, ::testing::ValuesIn(kGeometryCases),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(ContainerViewInfo, StatesPickStylesAndColours) {
  TContainerModel m(20, 12);
  m.Calculate({5, 5});
  EXPECT_EQ(m.ViewInfo.ContainerState, (TcxContainerState{csNormal, csHotTrack}));
  EXPECT_EQ(m.ViewInfo.BorderColor, clHighlight);
  EXPECT_EQ(m.ViewInfo.HotState, 2);
  m.Calculate({0, 0});  // the transparent band is not hot
  EXPECT_EQ(m.ViewInfo.ContainerState, TcxContainerState{csNormal});
  EXPECT_EQ(m.ViewInfo.BorderColor, clBtnShadow);
  EXPECT_EQ(m.ViewInfo.HotState, 1);
  m.Calculate({5, 5}, false);  // a key or button held
  EXPECT_EQ(m.ViewInfo.ContainerState, TcxContainerState{csNormal});

  m.Container->IsFocused = true;
  m.Calculate();
  EXPECT_EQ(m.ViewInfo.ContainerState, TcxContainerState{csActive});
  EXPECT_EQ(m.ViewInfo.BorderColor, clHighlight);
  m.Style()->GetLookAndFeel()->SetKind(lfOffice11);
  m.Calculate();
  EXPECT_EQ(m.ViewInfo.BorderColor, Office11HighlightColor);

  m.Container->SetEnabled(false);  // disabled wins over focus and the cursor
  m.Styles->GetDisabledStyle()->SetColor(clSilver);
  EXPECT_EQ(m.Calculate({5, 5}), m.Styles->GetDisabledStyle());
  EXPECT_EQ(m.ViewInfo.ContainerState, TcxContainerState{csDisabled});
  EXPECT_EQ(m.ViewInfo.BorderColor, clBtnShadow);
  EXPECT_EQ(m.ViewInfo.BackgroundColor, clSilver);
  EXPECT_EQ(m.Container->GetColorState(), 1);

  m.Container->SetEnabled(true);
  m.Container->IsFocused = false;
  IncludeComponentState(m.Container.get(), TComponentState{csDesigning});  // highlighted, never hot
  m.Calculate({5, 5}, false);
  EXPECT_EQ(m.ViewInfo.BorderColor, Office11HighlightColor);
  EXPECT_EQ(m.Container->GetColorState(), 2);
}

TEST(ContainerViewInfo, SingleBorderUsesTheStyleColourAndHotStyle) {
  TContainerModel m(20, 12);
  m.Style()->SetBorderStyle(cbsSingle);
  m.Style()->SetTransparentBorder(false);
  m.Style()->SetBorderColor(clRed);
  m.Styles->GetHotStyle()->SetColor(clYellow);
  m.Calculate();
  EXPECT_EQ(m.ViewInfo.BorderColor, clRed);
  EXPECT_EQ(m.ViewInfo.BorderStyle, cbsSingle);
  EXPECT_EQ(m.ViewInfo.BackgroundColor, clBtnFace);
  EXPECT_EQ(m.Calculate({1, 1}), m.Styles->GetHotStyle());
  EXPECT_EQ(m.ViewInfo.BorderStyle, cbsThick);  // the hot row of single
  EXPECT_EQ(m.ViewInfo.BorderRect, (TRect{2, 2, 18, 10}));
  EXPECT_EQ(m.ViewInfo.BackgroundColor, clYellow);
  // Back to normal: the thinner frame is chosen again.
  m.Calculate({-1, -1});
  EXPECT_EQ(m.ViewInfo.BorderStyle, cbsSingle);
  EXPECT_EQ(m.ViewInfo.BorderRect, (TRect{1, 1, 19, 11}));
}

TEST(ContainerViewInfo, InPlaceHasNoShadowAndWholeHotArea) {
  TContainerModel m(20, 12);
  m.Container->InPlace = true;
  m.Style()->SetShadow(true);
  m.Calculate();
  EXPECT_FALSE(m.ViewInfo.Shadow);
  EXPECT_EQ(m.HotTrackArea(), (TRect{0, 0, 20, 12}));
}

TEST(ContainerViewInfo, ShallowControlWithShadowHasAnEmptyHotArea) {
  TContainerModel m(20, 2);
  m.Style()->SetShadow(true);
  m.Calculate();
  EXPECT_EQ(Str(m.HotTrackArea()), Str(TRect{1, 0, 16, 0}));
  TContainerModel narrow(2, 20);
  narrow.Style()->SetShadow(true);
  narrow.Calculate();
  const TRect area = narrow.HotTrackArea();
  EXPECT_LE(area.Left, area.Right);
  EXPECT_LE(area.Top, area.Bottom);
  narrow.Calculate({0, 5});
  EXPECT_FALSE(narrow.ViewInfo.ContainerState.Contains(csHotTrack));
}

TEST(ContainerViewInfo, OffsetAssignAndUpdateRegion) {
  TContainerModel m(20, 12);
  m.Calculate();
  m.ViewInfo.OffsetRects(5, -1);
  EXPECT_EQ(m.ViewInfo.Bounds, (TRect{5, -1, 25, 11}));
  EXPECT_EQ(m.ViewInfo.BorderRect, (TRect{7, 1, 23, 9}));
  EXPECT_EQ(m.ViewInfo.ClientRect, (TRect{7, 1, 23, 9}));
  TcxContainerViewInfo other;
  other.Assign(&m.ViewInfo);
  EXPECT_EQ(other.ClientRect, m.ViewInfo.ClientRect);
  EXPECT_EQ(other.Bounds, TRect{});
  Owned<TcxRegion> update(other.CreateUpdateRegion(&m.ViewInfo));
  EXPECT_TRUE(update->IsEmpty());
}

// ---- Painting ----------------------------------------------------------------------------------

COLORREF Sys(int index) { return GetSysColor(index); }

// Gives a system colour a value of its own for the test (the classic scheme shares some).
struct TSysColorOverride {
  TSysColorOverride(int index, COLORREF color) : Index(index), Old(GetSysColor(index)) {
    orv::SetSysColor(index, color);
  }
  ~TSysColorOverride() { orv::SetSysColor(Index, Old); }
  int Index;
  COLORREF Old;
};

TEST(ContainerViewInfoPainting, UltraFlatDefaultLeavesTheTransparentBand) {
  paint_test::TPaintDC dc(8, 6, 0x00FF00);
  TContainerModel m(8, 6);
  m.Calculate();
  m.Paint(dc.Dc);
  EXPECT_TRUE(dc.Art({0, 0, 8, 6}, R"(
gggggggg
gSSSSSSg
gSFFFFSg
gSFFFFSg
gSSSSSSg
gggggggg)",
                     {{'g', 0x00FF00}, {'S', Sys(COLOR_BTNSHADOW)}, {'F', Sys(COLOR_BTNFACE)}}));
}

TEST(ContainerViewInfoPainting, SingleFrameWithShadow) {
  paint_test::TPaintDC dc(10, 8, 0x00FF00);
  TContainerModel m(10, 8);
  m.Style()->SetBorderStyle(cbsSingle);
  m.Style()->SetTransparentBorder(false);
  m.Style()->SetShadow(true);
  m.Style()->SetColor(clWhite);
  m.Calculate();
  m.Paint(dc.Dc);
  EXPECT_TRUE(dc.Art({0, 0, 10, 8}, R"(
KKKKKKKggg
KWWWWWKggg
KWWWWWKggg
KWWWWWKSSS
KKKKKKKSSS
gggSSSSSSS
gggSSSSSSS
gggSSSSSSS)",
                     {{'g', 0x00FF00}, {'S', Sys(COLOR_BTNSHADOW)}, {'K', Sys(COLOR_WINDOWFRAME)},
                      {'W', 0xFFFFFF}}));
}

TEST(ContainerViewInfoPainting, FlatAndThreeDimensionalEdges) {
  const TSysColorOverride light(COLOR_3DLIGHT, 0xE0E0E0);
  const TSysColorOverride dark(COLOR_3DDKSHADOW, 0x303030);
  paint_test::TPaintDC dc(17, 6, 0x00FF00);
  Owned<TcxCanvas> canvas(new TcxCanvas(dc.Dc));
  TContainerModel flat(8, 6);
  flat.Style()->GetLookAndFeel()->SetKind(lfFlat);
  flat.Style()->SetTransparentBorder(false);
  flat.Calculate();
  flat.ViewInfo.PaintOn(canvas.get());
  TContainerModel raised(8, 6);
  raised.Style()->GetLookAndFeel()->SetKind(lfStandard);
  raised.Style()->SetTransparentBorder(false);
  raised.Style()->SetEdges({bLeft, bTop, bBottom});  // the right side lies outside the window
  raised.Calculate();
  raised.ViewInfo.OffsetRects(9, 0);
  raised.ViewInfo.PaintOn(canvas.get());
  EXPECT_TRUE(dc.Art({0, 0, 17, 6}, R"(
SSSSSSSHgSSSSSSSS
SFFFFFFHgSDDDDDDD
SFFFFFFHgSDFFFFFF
SFFFFFFHgSDFFFFFF
SFFFFFFHgSLLLLLLL
HHHHHHHHgHHHHHHHH)",
                     {{'g', 0x00FF00}, {'S', Sys(COLOR_BTNSHADOW)}, {'H', Sys(COLOR_BTNHIGHLIGHT)},
                      {'F', Sys(COLOR_BTNFACE)}, {'D', Sys(COLOR_3DDKSHADOW)},
                      {'L', Sys(COLOR_3DLIGHT)}}));
}

// Every border style in every state, with and without a shadow, on one sheet.
TEST(ContainerViewInfoPainting, GoldenSheet) {
  const int cellW = 26, cellH = 18;
  const TcxContainerBorderStyle styles[] = {cbsNone, cbsSingle, cbsThick, cbsFlat,
                                            cbs3D,   cbsUltraFlat, cbsOffice11};
  // Columns: normal, hot, focused, disabled; then the same with a shadow and a transparent
  // border.
  paint_test::TPaintDC dc(8 * cellW, 7 * cellH, 0xF0E0FF);
  Owned<TcxCanvas> canvas(new TcxCanvas(dc.Dc));
  for (int row = 0; row < 7; ++row) {
    for (int col = 0; col < 8; ++col) {
      TContainerModel m(cellW - 2, cellH - 2);
      TcxContainerStyle* s = m.Style();
      s->GetLookAndFeel()->SetKind(styles[row] == cbsOffice11 ? lfOffice11 : lfUltraFlat);
      s->SetBorderStyle(styles[row]);
      s->SetTransparentBorder(col >= 4);
      s->SetShadow(col >= 4);
      s->SetColor(clWindow);
      const int state = col % 4;
      m.Container->SetEnabled(state != 3);
      m.Container->IsFocused = state == 2;
      m.Calculate(state == 1 ? TPoint{8, 8} : TPoint{-1, -1});
      m.ViewInfo.OffsetRects(col * cellW + 1, row * cellH + 1);
      const int saved = SaveDC(dc.Dc);
      m.ViewInfo.PaintOn(canvas.get());
      RestoreDC(dc.Dc, saved);
    }
  }
  EXPECT_TRUE(dc.Golden("container-borders.png"));
}

// ---- Bands ---------------------------------------------------------------------------------

TEST(ContainerBorders, FillFrameBandAndDropShadow) {
  // The editors draw the same shadow under their own name.
  for (auto* drawShadow : {&DrawDropShadow, &DrawContainerShadow}) {
    paint_test::TPaintDC dc(12, 8, 0xFFFFFF);
    Owned<TcxCanvas> canvas(new TcxCanvas(dc.Dc));
    drawShadow(canvas.get(), {2, 1, 8, 4});
    canvas->FillRect({0, 0, 12, 8}, clRed);  // the shadow strips stay excluded from the clip
    EXPECT_TRUE(dc.Art({0, 0, 12, 8}, R"(
RRRRRRRRRRRR
RRRRRRRRRRRR
RRRRRRRRRRRR
RRRRRRRRRRRR
RRRRRSSSSSSR
RRRRRSSSSSSR
RRRRRSSSSSSR
RRRRRRRRRRRR)",
                       {{'R', 0x0000FF}, {'S', Sys(COLOR_BTNSHADOW)}}));
  }
  paint_test::TPaintDC band(12, 5, 0xFFFFFF);
  Owned<TcxCanvas> c2(new TcxCanvas(band.Dc));
  FillFrameBand(c2.get(), {0, 0, 6, 5}, {1, 2, 4, 4}, clBlack);
  FillFrameBand(c2.get(), {7, 0, 9, 2}, {}, clBlack);                 // no inner: all of it
  FillFrameBand(c2.get(), {10, 0, 12, 2}, {10, 0, 12, 2}, clBlack);   // nothing to fill
  EXPECT_TRUE(band.Art({0, 0, 12, 5}, R"(
######.##...
######.##...
#...##......
#...##......
######......)",
                       {{'#', 0x000000}, {'.', 0xFFFFFF}}));
}

// ---- Window shape ------------------------------------------------------------------------------

struct TRegionCase {
  TRect Outer;
  TRect Insets;
  bool Shadow;
  TRect Excluded;
};

bool In(const TRect& r, int x, int y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }

TEST(ContainerRegion, MatchesBruteForceMask) {
  const TRegionCase cases[] = {
      {{1, 1, 19, 11}, {}, false, {}},
      {{1, 1, 16, 8}, {}, true, {}},
      {{0, 0, 17, 9}, {2, 1, 0, 3}, true, {}},
      {{0, 0, 17, 9}, {}, true, {4, 2, 10, 12}},
      {{2, 3, 5, 5}, {1, 1, 1, 1}, true, {}},
  };
  for (const TRegionCase& c : cases) {
    Owned<TcxRegion> region(CreateContainerRegion(nullptr, c.Outer, c.Insets, false, c.Shadow, c.Excluded));
    ASSERT_TRUE(region);
    TRect shadow{c.Outer.Left + 3 + c.Insets.Left, c.Outer.Top + 3 + c.Insets.Top,
                 c.Outer.Right + 3 - c.Insets.Right, c.Outer.Bottom + 3 - c.Insets.Bottom};
    int mismatches = 0;
    for (int y = -2; y < 16; ++y)
      for (int x = -2; x < 24; ++x) {
        const bool expected =
            (In(c.Outer, x, y) || (c.Shadow && In(shadow, x, y))) && !In(c.Excluded, x, y);
        if (region->PtInRegion(x, y) != expected) ++mismatches;
      }
    EXPECT_EQ(mismatches, 0) << Str(c.Outer) << " insets " << Str(c.Insets);
  }
  EXPECT_EQ(CreateContainerRegion(nullptr, {0, 0, 5, 5}, {}, true, true, {}), nullptr);  // themed
}

LRESULT PlainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProc(w, m, wp, lp); }

class ContainerWindowRegion : public ::testing::Test {
 protected:
  void SetUp() override {
    orv::headless::Reset();
    WNDCLASS wc{};
    wc.lpfnWndProc = PlainProc;
    wc.lpszClassName = "ContainerShapeTest";
    RegisterClass(&wc);
    Window = CreateWindowEx(0, "ContainerShapeTest", "", WS_POPUP | WS_VISIBLE, 0, 0, 20, 12, nullptr,
                            nullptr, nullptr, nullptr);
    ASSERT_NE(Window, nullptr);
  }
  void TearDown() override {
    DestroyWindow(Window);
    orv::headless::Reset();
  }
  bool HasRegion() {
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    const bool has = GetWindowRgn(Window, r) != ERROR;
    DeleteObject(r);
    return has;
  }
  HWND Window = nullptr;
};

TEST_F(ContainerWindowRegion, SetOnlyWhenItCutsSomethingAway) {
  ApplyWindowRegion(Window, {0, 0, 20, 12}, {}, false, false, {});  // the whole client area
  EXPECT_FALSE(HasRegion());
  ApplyWindowRegion(Window, {1, 1, 19, 11}, {}, false, false, {});
  ASSERT_TRUE(HasRegion());
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  GetWindowRgn(Window, r);
  HRGN expected = CreateRectRgn(1, 1, 19, 11);
  EXPECT_TRUE(EqualRgn(r, expected));
  DeleteObject(expected);
  DeleteObject(r);
  ApplyWindowRegion(Window, {1, 1, 19, 11}, {}, true, false, {});  // a themed frame: none
  EXPECT_FALSE(HasRegion());
  // The editors' order of the arguments reaches the same shape.
  ApplyWindowRegion(Window, TRect{1, 1, 16, 8}, TRect{}, TRect{}, true, false);
  ASSERT_TRUE(HasRegion());
  r = CreateRectRgn(0, 0, 0, 0);
  GetWindowRgn(Window, r);
  EXPECT_TRUE(PtInRegion(r, 17, 9));
  EXPECT_FALSE(PtInRegion(r, 0, 0));
  DeleteObject(r);
}

TEST_F(ContainerWindowRegion, ChildClipping) {
  TContainerModel m(20, 12);
  Owned<TWinControl> inner(new TWinControl(nullptr));
  inner->SetBounds(2, 2, 16, 8);
  TcxContainerInnerControlClipState whole;
  m.Container->CalculateChildClipRect({2, 2, 18, 10}, inner.get(), whole);
  EXPECT_TRUE(whole.IsWhollyVisible);
  inner->SetBounds(0, 4, 20, 8);
  TcxContainerInnerControlClipState cut;
  m.Container->CalculateChildClipRect({2, 2, 18, 10}, inner.get(), cut);
  EXPECT_FALSE(cut.IsWhollyVisible);
  EXPECT_EQ(cut.VisibleRect, (TRect{2, 0, 18, 6}));
  TcxContainerInnerControlClipState none;
  m.Container->CalculateChildClipRect({2, 2, 18, 10}, nullptr, none);
  EXPECT_TRUE(none.IsWhollyVisible);
  HWND child = CreateWindowEx(0, "ContainerShapeTest", "", WS_CHILD | WS_VISIBLE, 0, 4, 20, 8, Window,
                              nullptr, nullptr, nullptr);
  SetChildWindowRegion(child, cut);
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(child, r), ERROR);
  HRGN expected = CreateRectRgn(2, 0, 18, 6);
  EXPECT_TRUE(EqualRgn(r, expected));
  DeleteObject(expected);
  SetChildWindowRegion(child, whole);
  EXPECT_EQ(GetWindowRgn(child, r), ERROR);
  DeleteObject(r);
}

}  // namespace
