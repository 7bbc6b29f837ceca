// The Office 11 look's shared palette: colours, brushes and bitmaps that follow the visual-style
// colour scheme (blue, olive, silver) or, without one, derive from the system colours; and the
// drawing routines that go with it: gradients, grip dots, size grip, arrows, selection frames
// and colour arithmetic.
//
// The palette is computed on the first AcquireOffice11Resources and on every
// RefreshOffice11Colors; its colours are plain globals holding resolved colour values (red in
// the low byte) that stay readable after the last release, the brushes and bitmaps do not.
// Visual styles are absent on this platform, so the scheme is 0 and the no-scheme column
// applies, unless a theme library is bound (dxThemeManager).
#pragma once

#include <array>

#include "platform/drawing/GdiTypes.h"
#include "platform/runtime/Types.h"

// ---- Palette --------------------------------------------------------------------------------

namespace orv {
// Entries 1 to 54 (entry 0 is unused).
inline std::array<TColor, 55> Office11Palette{};
}  // namespace orv

inline TColor& Office11Color01 = orv::Office11Palette[1];
inline TColor& Office11Color02 = orv::Office11Palette[2];
inline TColor& Office11Color03 = orv::Office11Palette[3];
inline TColor& Office11Color04 = orv::Office11Palette[4];
inline TColor& Office11Color05 = orv::Office11Palette[5];
inline TColor& Office11Color06 = orv::Office11Palette[6];
inline TColor& Office11Color07 = orv::Office11Palette[7];
inline TColor& Office11Color08 = orv::Office11Palette[8];
inline TColor& Office11Color09 = orv::Office11Palette[9];
inline TColor& Office11Color10 = orv::Office11Palette[10];
inline TColor& Office11Color11 = orv::Office11Palette[11];
inline TColor& Office11Color12 = orv::Office11Palette[12];
inline TColor& Office11Color13 = orv::Office11Palette[13];
inline TColor& Office11Color14 = orv::Office11Palette[14];
inline TColor& Office11Color15 = orv::Office11Palette[15];
inline TColor& Office11Color16 = orv::Office11Palette[16];
inline TColor& Office11Color17 = orv::Office11Palette[17];
inline TColor& Office11Color18 = orv::Office11Palette[18];
inline TColor& Office11Color19 = orv::Office11Palette[19];
inline TColor& Office11Color20 = orv::Office11Palette[20];
inline TColor& Office11Color21 = orv::Office11Palette[21];
inline TColor& Office11Color22 = orv::Office11Palette[22];
inline TColor& Office11Color23 = orv::Office11Palette[23];
inline TColor& Office11Color24 = orv::Office11Palette[24];
inline TColor& Office11Color25 = orv::Office11Palette[25];
inline TColor& Office11Color26 = orv::Office11Palette[26];
inline TColor& Office11Color27 = orv::Office11Palette[27];
inline TColor& Office11Color28 = orv::Office11Palette[28];
inline TColor& Office11Color29 = orv::Office11Palette[29];
inline TColor& Office11Color30 = orv::Office11Palette[30];
inline TColor& Office11Color31 = orv::Office11Palette[31];
inline TColor& Office11Color32 = orv::Office11Palette[32];
inline TColor& Office11Color33 = orv::Office11Palette[33];
inline TColor& Office11Color34 = orv::Office11Palette[34];
inline TColor& Office11Color35 = orv::Office11Palette[35];
inline TColor& Office11Color36 = orv::Office11Palette[36];
inline TColor& Office11Color37 = orv::Office11Palette[37];
inline TColor& Office11Color38 = orv::Office11Palette[38];
inline TColor& Office11Color39 = orv::Office11Palette[39];
inline TColor& Office11Color40 = orv::Office11Palette[40];
inline TColor& Office11Color41 = orv::Office11Palette[41];
inline TColor& Office11Color42 = orv::Office11Palette[42];
inline TColor& Office11Color43 = orv::Office11Palette[43];
inline TColor& Office11Color44 = orv::Office11Palette[44];
inline TColor& Office11Color45 = orv::Office11Palette[45];
inline TColor& Office11Color46 = orv::Office11Palette[46];
inline TColor& Office11Color47 = orv::Office11Palette[47];
inline TColor& Office11Color48 = orv::Office11Palette[48];
inline TColor& Office11Color49 = orv::Office11Palette[49];
inline TColor& Office11Color50 = orv::Office11Palette[50];
inline TColor& Office11Color51 = orv::Office11Palette[51];
inline TColor& Office11Color52 = orv::Office11Palette[52];
inline TColor& Office11Color53 = orv::Office11Palette[53];
inline TColor& Office11Color54 = orv::Office11Palette[54];

// The percentage of the way to colour 2 at which FillTwoStageGradient's middle colour lies,
// times two (41 / 125 / 40 with a scheme, 75 without).
inline Integer Office11TwoStageGradientPercent = 75;
// The Office 11 painter's fixed expand-button colours.
inline constexpr TColor Office11ExpandButtonColor1 = 0xBFAE9E;
inline constexpr TColor Office11ExpandButtonColor2 = 0x5F462E;

// Brushes of palette colours, valid while the resources are acquired (nullptr otherwise). The
// names are those of the colours the bars read them by.
inline HBRUSH Office11GripDarkBrush = nullptr;          // Office11Color11, dark grip dots
inline HBRUSH Office11GripLightBrush = nullptr;         // Office11Color12, light grip dots
inline HBRUSH Office11SeparatorDarkBrush = nullptr;     // Office11Color13
inline HBRUSH Office11SeparatorLightBrush = nullptr;    // Office11Color14
inline HBRUSH Office11MenuBackgroundBrush = nullptr;    // Office11Color24
inline HBRUSH Office11HighlightBrush = nullptr;         // Office11Color33, selection frames
inline HBRUSH Office11SelectedBrush = nullptr;          // Office11Color32
inline HBRUSH Office11PopupOwnerBrush = nullptr;        // Office11Color38
inline HBRUSH Office11CheckedBrush = nullptr;           // Office11Color39
inline HBRUSH Office11PressedSelectedBrush = nullptr;   // Office11Color40
inline HBRUSH Office11BorderBrush = nullptr;            // Office11Color31
inline HBRUSH Office11MenuAreaBrush = nullptr;          // Office11Color41
inline HBRUSH Office11ArrowItemBrush = nullptr;         // Office11Color45

// 32-bit bitmaps, valid while the resources are acquired: the submenu expand arrow (recoloured
// to Office11Color03 .. Office11Color04) and the minus and plus expand buttons.
inline HBITMAP Office11SubMenuExpandBitmap = nullptr;
inline HBITMAP Office11ExpandButtonMinusBitmap = nullptr;
inline HBITMAP Office11ExpandButtonPlusBitmap = nullptr;

// ---- Life cycle ---------------------------------------------------------------------------

// The first acquire computes the palette and creates the brushes and bitmaps.
void AcquireOffice11Resources();
// The last release frees the brushes and bitmaps; the colours stay.
void ReleaseOffice11Resources();
// Recomputes the palette; while acquired, recreates the brushes and bitmaps.
void RefreshOffice11Colors();
Integer Office11ResourcesReferenceCount();

// ---- Queries and colour arithmetic ----------------------------------------------------------

// 0 none, 1 blue, 2 olive, 3 silver: as determined at the last computation of the palette.
Integer GetOffice11ColorScheme();
Boolean IsOffice11SchemeThemed();
Boolean IsWhiteButtonFace();
Boolean IsBlackButtonFace();
Boolean IsBlackButtonFaceColoredText();

// `percent` percent of colour 1 and the rest of colour 2, per channel, as the screen shows it.
TColor BlendColors(TColor color1, TColor color2, Integer percent);
// The percentages (each may be negative) of button face, highlight and window, per channel,
// clamped; the highlight colour itself when the button face is pure black or white.
TColor MixSystemColors(Integer facePercent, Integer highlightPercent, Integer windowPercent);
// Each channel truncated to percent x channel / 100.
TColor ScaleColorComponents(TColor color, Integer percent);
// Each channel truncated to 255 - percent / 100 x (255 - channel).
TColor FadeColorToWhite(TColor color, Integer percent);
// The nearest colour the screen can show.
TColor GetNearestScreenColor(TColor color);

// ---- Drawing ------------------------------------------------------------------------------

void FillDCRectWithColor(HDC dc, const TRect& rect, TColor color);
void FrameDCRectWithColor(HDC dc, const TRect& rect, TColor color);
// A two-colour gradient, left to right when `horizontal`, else top to bottom; solid when the
// colours are equal. Through the platform's gradient fill when it is available, otherwise in
// at most 256 bands, the last in exactly colour 2.
void DrawGradientRect(HDC dc, const TRect& rect, TColor color1, TColor color2, Boolean horizontal);
// The colour of the band of a software DrawGradientRect that holds `coordinate`.
TColor GetGradientColorAtPos(const TRect& rect, Integer coordinate, TColor color1, TColor color2,
                             Boolean horizontal);
// A gradient through the scheme's middle colour, one band per pixel.
void FillTwoStageGradient(HDC dc, const TRect& rect, TColor color1, TColor color2,
                          Boolean horizontal);
void DrawOffice11SelectionFrame(HDC dc, const TRect& rect);
// 2 x 2 dots every 4 pixels along the rectangle (down when `verticalRun`); nil brushes take the
// light and dark grip brushes.
void DrawOffice11GripDots(HDC dc, const TRect& rect, Boolean verticalRun, HBRUSH brush1 = nullptr,
                          HBRUSH brush2 = nullptr);
// Three rows of grip dots in the bottom-right 12 x 12 corner; clDefault takes the grip brushes.
void DrawDiagonalSizeGrip(HDC dc, const TRect& rect, TColor color1 = clDefault,
                          TColor color2 = clDefault);
// A filled triangle pointing down or right, `size` pixels deep.
void DrawOffice11Arrow(HDC dc, const TRect& rect, Boolean down, Integer size, Boolean selected,
                       Boolean enabled);
void DrawOffice11ArrowInRect(HDC dc, const TRect& rect, Boolean down, Boolean enabled,
                             Boolean selected);

// ---- Names other subsystems use for palette entries ---------------------------------------

// The editors.
inline TColor& dxOffice11BackgroundColor1 = Office11Color03;
inline TColor& dxOffice11BackgroundColor2 = Office11Color04;
// The page control and the grid.
inline TColor& Office11BackgroundColor1 = Office11Color03;
inline TColor& Office11BackgroundColor2 = Office11Color04;
inline TColor& Office11SelectedColor1 = Office11Color34;
inline TColor& Office11SelectedColor2 = Office11Color35;
inline TColor& Office11PressedColor1 = Office11Color36;
inline TColor& Office11PressedColor2 = Office11Color37;
inline TColor& Office11SeparatorColor1 = Office11Color13;
inline TColor& Office11SeparatorColor2 = Office11Color14;
inline TColor& Office11TextColor = Office11Color42;
// The page control's "border colour" is the highlight entry, Office11Color33 (the bars read
// another entry under the name Office11BorderColor, below).
// The bars and the status bar.
inline TColor& Office11DockGradientColor1 = Office11Color01;
inline TColor& Office11DockGradientColor2 = Office11Color02;
inline TColor& Office11ToolbarGradientColor1 = Office11Color03;
inline TColor& Office11ToolbarGradientColor2 = Office11Color04;
inline TColor& Office11ToolbarShadowLineColor = Office11Color07;
inline TColor& Office11ToolbarCornerColor = Office11Color08;
inline TColor& Office11SeparatorDarkColor = Office11Color13;
inline TColor& Office11SeparatorLightColor = Office11Color14;
inline TColor& Office11MarkGlyphColor = Office11Color15;
inline TColor& Office11MarkGlyphShadowColor = Office11Color16;
inline TColor& Office11FloatingBorderColor = Office11Color17;
inline TColor& Office11FloatingInnerBorderColor = Office11Color18;
inline TColor& Office11FloatingCaptionColor = Office11Color20;
inline TColor& Office11FloatingCaptionTextColor = Office11Color21;
inline TColor& Office11CaptionButtonHotGlyphColor = Office11Color22;
inline TColor& Office11CaptionButtonPressedGlyphColor = Office11Color23;
inline TColor& Office11MenuBackgroundColor = Office11Color24;
inline TColor& Office11OwnerJointColor1 = Office11Color25;
inline TColor& Office11OwnerJointColor2 = Office11Color26;
inline TColor& Office11MenuBandColor1 = Office11Color27;
inline TColor& Office11MenuBandColor2 = Office11Color28;
inline TColor& Office11NonRecentBandColor1 = Office11Color29;
inline TColor& Office11NonRecentBandColor2 = Office11Color30;
inline TColor& Office11BorderColor = Office11Color31;
inline TColor& Office11SelectedColor = Office11Color32;
inline TColor& Office11HighlightColor = Office11Color33;
inline TColor& Office11HotGradientColor1 = Office11Color34;
inline TColor& Office11HotGradientColor2 = Office11Color35;
inline TColor& Office11PressedGradientColor1 = Office11Color36;
inline TColor& Office11PressedGradientColor2 = Office11Color37;
inline TColor& Office11PopupOwnerColor = Office11Color38;
inline TColor& Office11CheckedColor = Office11Color39;
inline TColor& Office11PressedSelectedColor = Office11Color40;
inline TColor& Office11MenuAreaColor = Office11Color41;
inline TColor& Office11ItemTextColor = Office11Color42;
inline TColor& Office11DisabledTextColor = Office11Color43;
inline TColor& Office11CalendarHeaderColor = Office11Color44;
inline TColor& Office11ArrowItemColor = Office11Color45;
inline TColor& Office11SelectedTextColor = Office11Color46;
// The bars' toolbar mark, one colour per state (normal, hot, pressed): the normal entries are
// Office11Color05, Office11Color06, Office11Color09 and Office11Color10.
inline TColor Office11MarkGradientColors1[3] = {};
inline TColor Office11MarkGradientColors2[3] = {};
inline TColor Office11MarkLightColors[3] = {};
inline TColor Office11MarkMidColors[3] = {};

// ---- Test hooks -----------------------------------------------------------------------------

namespace orv {
// Whether the platform's GradientFill and AlphaBlend are used (true here: the drawing layer
// supplies both). Tests switch them off to run the software routes.
void SetMsimg32Available(Boolean available);
Boolean IsMsimg32Available();
}  // namespace orv
