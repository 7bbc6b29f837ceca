// The tab painters: the standard painter every style builds on (tab sizes from caption and
// image, content offsets, the tabs position with room for the navigator buttons, the buttons,
// the page frame, one tab painted with its clip) and the styles registered by id: Tabs (1),
// Buttons (2), FlatButtons (3), ExtraFlat (5), UltraFlat (6), Flat (7), Office11 (8), Slanted (9)
// and OneNote (10); with the drawing routines they share (figure points and regions, side lines,
// colours in the hue/saturation/value model).
#pragma once

#include <vector>

#include "components/foundation/cxLookAndFeels.h"
#include "components/pagecontrol/cxPC.h"

// ==== Drawing utilities ========================================================================

// Where a segment of a tab figure lies, in the coordinates of a tab on top.
enum TLinePosition : Byte { lpL, lpLT, lpT, lpRT, lpR, lpRB, lpB, lpLB };
using TLinePositions = std::vector<TLinePosition>;
using TPoints = std::vector<TPoint>;

// clBtnFace lightened by 20 per channel (a channel above 235 becomes 255), computed once.
TColor PCLightColor();

void AddFigurePoints(TPoints& points, std::initializer_list<TPoint> newPoints, TLinePositions& linePositions,
                     std::initializer_list<TLinePosition> newLinePositions);
// One-pixel lines along the rect's sides (0 left, 1 top, 2 right, 3 bottom) in order, each
// moving that side inwards; with `excludeFromClip` the band drawn leaves the clip region.
void DrawRectLines(TcxCanvas* canvas, TRect& rect, std::initializer_list<Byte> sides,
                   std::initializer_list<TColor> colors, Boolean excludeFromClip);
void GetControlBoundsRect(TcxCustomTabControl* tabControl, TRect& rect);
// The polygon region of a figure whose drawn outline is taken into account (owned by the caller).
TcxRegion* CreateFigureRegion(const TPoints& points, const TLinePositions& linePositions, Boolean leftGroup);
void GetOrientedRectSize(const TRect& rect, Boolean horizontal, Integer& width, Integer& height);
// Hue 0..360, saturation and value 0..100.
void ColorToHSV(TColor color, double& h, double& s, double& v);
TColor HSVToColor(double h, double s, double v);
// The value raised by `percent` percent, at most 100.
TColor BrightenColor(TColor color, Byte percent);
inline void ExchangePair(TPoint& pair) { std::swap(pair.X, pair.Y); }
inline void MakePair(Integer a, Integer b, TPoint& pair) { pair = {a, b}; }

// The OneNote scheme colours (columns 1 to 6 of the current Office scheme).
TColor OneNoteSchemeColor(Integer column);
void LoadOneNoteSchemeColors();

// Keeps the OneNote scheme colours up to date.
class TcxPaletteChangedNotifier : public TcxSystemPaletteChangedNotifier {
  ORV_CLASS(TcxPaletteChangedNotifier, TcxSystemPaletteChangedNotifier)
 public:
  explicit TcxPaletteChangedNotifier(Boolean isPrimary = false) : TcxSystemPaletteChangedNotifier(isPrimary) {}
  void NotifyPaletteChanged() override;
};

// ==== Standard painter =========================================================================

struct TcxPCNavigatorButtonPosition {
  TcxPCNavigatorButton Button;
  TRect Rect;
};
using TcxPCNavigatorButtonPositions = std::vector<TcxPCNavigatorButtonPosition>;

struct TcxPCButtonGlyphInfo {
  TColor FillColor = clBtnText;
  TColor PenColor = clBtnText;
  Boolean Enabled = true;
  Boolean AlternativeCloseGlyph = false;
};

class TcxPCStandardPainter : public TcxPCCustomPainter {
  ORV_CLASS(TcxPCStandardPainter, TcxPCCustomPainter)
 public:
  explicit TcxPCStandardPainter(TcxCustomTabControl* tabControl) : TcxPCCustomPainter(tabControl) {}

  Boolean IsTabStyle() const override { return GetStandardStyle() == 0; }
  Boolean AllowMultiSelectTabs() const override { return GetStandardStyle() != 0; }
  Boolean IsButtonStyle() const override { return GetStandardStyle() != 0; }
  Boolean IsStandardStyle() const override { return true; }

  Integer CalculateTabNormalWidth(TcxTab* tab) override;
  Integer CalculateTabNormalHeight() override;
  Integer GetMinTabNormalWidth(Integer visibleIndex) override;
  Integer GetImageTextDistance(Integer visibleIndex) override { return 6; }
  Integer GetFrameWidth() override { return 2; }
  void GetTabOffsets(Integer& offset1, Integer& offset2) override {
    offset1 = 4;
    offset2 = 4;
  }
  void GetImageWithTextContentOffsets(Integer visibleIndex, Integer (&offsets)[4]) override;
  void GetImageOnlyContentOffsets(Integer visibleIndex, Integer (&offsets)[2]) override {
    offsets[0] = 0;
    offsets[1] = 0;
  }
  void GetTextContentOffsets(Integer visibleIndex, Integer (&offsets)[4]) override;
  void GetTabTextWOffset(Integer visibleIndex, Integer& offset1, Integer& offset2) override;
  void GetTabCutTextWOffset(Integer visibleIndex, Integer& offset1, Integer& offset2) override;
  void GetTabsNormalDistance(Integer& along, Integer& across) override;
  Boolean IsMainTab(Integer visibleIndex) override;
  void StoreTabImageAndTextRects(Integer visibleIndex, const TRect& imageRect, const TRect& textRect) override;
  TcxPCTabsPosition GetTabsPosition(TcxPCNavigatorButtons buttons) override;
  Boolean GetButtonAt(Integer x, Integer y, TcxPCNavigatorButton& button) override;
  TRect GetGoDialogButtonBounds() override;
  void GetGoDialogPosition(Integer width, Integer height, Integer& x, Integer& y) override;
  void PaintButtons() override;
  void PaintFrame() override;
  void PaintTabs() override;
  void RepaintButton(TcxPCNavigatorButton button, TcxPCNavigatorButtonState oldState) override;
  void RepaintButtonsRegion() override;
  void RepaintTab(Integer visibleIndex, TcxPCTabPropertyChanged changedProperty) override;
  void Paint() override;
  TColor GetTabBodyColor(Integer visibleIndex) override { return GetTabColor(visibleIndex); }

  // ---- New operations ----
  virtual void PaintTab(Integer visibleIndex);
  virtual TcxPCButtonGlyphInfo GetButtonGlyphInfo(TcxPCNavigatorButton button);
  virtual void CalculateButtonsRegion(TcxPCNavigatorButtons buttons);
  virtual void CalculateButtonsPositions(TcxPCNavigatorButtons buttons);
  virtual Integer GetButtonsRegionWidth(TcxPCNavigatorButtons buttons);
  virtual TColor GetButtonColor(TcxPCNavigatorButtonState state) { return clBtnFace; }
  virtual TColor GetButtonGlyphColor(TcxPCNavigatorButtonState state);
  virtual TPoint GetButtonGlyphOffset(TcxPCNavigatorButton button);
  virtual Integer GetButtonHeight() { return 20; }
  virtual Integer GetButtonWidth(TcxPCNavigatorButton button);
  virtual Integer GetMinTabNormalHeight();
  virtual Integer GetTabsRowOverlap();
  virtual Integer GetMinTabNormalWidthLimit() { return 42; }
  virtual TColor GetControlBackgroundColor();
  virtual Integer GetMinFrameRectSize() { return 2 * GetFrameWidth(); }
  virtual Integer GetTabImageSpacing(Integer visibleIndex) { return 2; }
  virtual Integer GetTabExtraWidth(Integer visibleIndex);
  virtual TcxPCMargins GetTabsAreaExtension() { return TRect(); }
  virtual Integer GetTabContentHeight();
  virtual void DrawFocusRect(Integer visibleIndex, const TRect& rect);
  virtual void DrawButton(TcxPCNavigatorButton button, const TRect& rect);
  virtual void DrawButtonBackground(const TRect& rect, TcxPCNavigatorButtonState state);
  virtual void DrawButtonFrame(TRect& rect, TcxPCNavigatorButtonState state);
  virtual void DrawFrame(const TRect& rect);
  virtual void DrawTab(TcxTab* tab, Integer visibleIndex) = 0;
  virtual void DrawNativeTab(TcxTab* tab, Integer visibleIndex) {}
  virtual TcxPCNavigatorButtonPositions GetButtonsQueue(TcxPCNavigatorButtons buttons);

  const TcxPCNavigatorButtonPositions& GetButtonPositions() const { return FButtonPositions; }
  const TRect& GetButtonsRegion() const { return FButtonsRegion; }

 protected:
  // The rect of a queued button, empty when the button is not shown.
  TRect GetButtonRect(TcxPCNavigatorButton button) const;
  // Whether the arrows and the strip run vertically.
  Boolean IsVerticalStrip() { return !GetTabControl()->IsHorizontalStrip(); }
  // The glyph's direction (TcxArrowDirection) of a navigator button.
  Integer GetButtonArrowDirection(TcxPCNavigatorButton button);
  void DrawButtonGlyph(TcxPCNavigatorButton button, const TPoint& origin, TColor fillColor, TColor penColor,
                       Boolean alternativeClose);
  // The four L-shaped lines of a 3-D button frame; `flat` draws only the outer two.
  void Draw3DButtonFrame(const TRect& rect, Boolean pressed, Boolean flat);
  // The tab's side: 0 top, 1 bottom, 2 left, 3 right.
  Integer TabSide(Integer visibleIndex) { return GetTab(visibleIndex)->GetSide(); }
  // The rect extended by `delta` on the tab's page side.
  TRect ExtendTowardsPage(const TRect& rect, Integer visibleIndex, Integer delta);
  void FillRect(const TRect& rect, TColor color) { GetCanvas()->FillRectWithColor(rect, color); }

 private:
  TcxPCNavigatorButtonPositions FButtonPositions;
  TRect FButtonsRegion;
};

// ==== Tabs, Buttons, FlatButtons ===============================================================

class TcxPCTabsPainter : public TcxPCStandardPainter {
  ORV_CLASS(TcxPCTabsPainter, TcxPCStandardPainter)
 public:
  explicit TcxPCTabsPainter(TcxCustomTabControl* tabControl) : TcxPCStandardPainter(tabControl) {}

  Integer GetStandardStyle() const override { return 0; }
  TcxPCStyleID GetStyleID() const override { return 1; }
  AnsiString GetStyleName() const override { return "Tabs"; }
  Boolean HasLookAndFeel(TcxLookAndFeel* lookAndFeel) const override;
  Boolean IsDefault(TcxLookAndFeel* lookAndFeel) const override;

  Boolean IsNativePainting() override;
  Boolean HasFrame() override { return true; }
  TRect GetTabCorrection(Integer visibleIndex) override;
  Integer GetButtonsRegionHOffset() override;
  Integer GetButtonsRegionWOffset() override;
  TcxPCMargins GetPageFrameRectOffset() override;
  TcxPCMargins GetPageClientRectOffset() override;
  void GetImageWithTextContentOffsets(Integer visibleIndex, Integer (&offsets)[4]) override;
  void GetTextContentOffsets(Integer visibleIndex, Integer (&offsets)[4]) override;
  void GetImageOnlyContentOffsets(Integer visibleIndex, Integer (&offsets)[2]) override;
  void GetTabTextWOffset(Integer visibleIndex, Integer& offset1, Integer& offset2) override;
  void GetTabCutTextWOffset(Integer visibleIndex, Integer& offset1, Integer& offset2) override;
  TColor GetTabBodyColor(Integer visibleIndex) override;
  TcxRegion* GetTabClipRegion(Integer visibleIndex) override;
  TcxRegionOperation GetTabClipRgnOperation(Integer visibleIndex) override;
  TcxPCMargins GetTabsContainerOffsets() override { return {2, 2, 2, 0}; }
  TcxPCTabsPosition GetTabsPosition(TcxPCNavigatorButtons buttons) override;
  Integer GetTabContentHeight() override;
  Integer GetMinFrameRectSize() override;
  Integer GetButtonHeight() override { return IsNativePainting() ? 17 : 20; }
  Integer GetButtonWidth(TcxPCNavigatorButton button) override;
  TPoint GetButtonGlyphOffset(TcxPCNavigatorButton button) override;
  void PaintTabs() override;
  void PaintFrame() override;
  void InvalidateTabRect(Integer visibleIndex) override;
  void RepaintTab(Integer visibleIndex, TcxPCTabPropertyChanged changedProperty) override;
  void DrawTab(TcxTab* tab, Integer visibleIndex) override;

  // ---- New operations ----
  virtual TRect GetFocusRectForTab(const TRect& tabBounds) { return GetInflatedRectTabs(tabBounds, -2); }
  virtual void GetTabCornerColors(Integer visibleIndex, TColor& firstColor, TColor& lastColor);
  virtual void DrawTabCorners(Integer visibleIndex);
  virtual void DrawTabOutline(Integer visibleIndex);

 protected:
  static TRect GetInflatedRectTabs(const TRect& r, Integer d) {
    return {r.Left - d, r.Top - d, r.Right + d, r.Bottom + d};
  }
};

class TcxPCButtonedPainter : public TcxPCStandardPainter {
  ORV_CLASS(TcxPCButtonedPainter, TcxPCStandardPainter)
 public:
  explicit TcxPCButtonedPainter(TcxCustomTabControl* tabControl) : TcxPCStandardPainter(tabControl) {}

  Integer GetButtonsRegionHOffset() override;
  Integer GetButtonsRegionWOffset() override;
  TcxPCMargins GetPageFrameRectOffset() override;
  TColor GetTabBodyColor(Integer visibleIndex) override;
  void GetTabTextWOffset(Integer visibleIndex, Integer& offset1, Integer& offset2) override;
  void GetTabCutTextWOffset(Integer visibleIndex, Integer& offset1, Integer& offset2) override;
  TcxPCMargins GetTabsContainerOffsets() override { return {2, 2, 2, 0}; }
  TPoint GetButtonGlyphOffset(TcxPCNavigatorButton button) override;
  Boolean IsMainTab(Integer visibleIndex) override;
};

class TcxPCButtonsPainter : public TcxPCButtonedPainter {
  ORV_CLASS(TcxPCButtonsPainter, TcxPCButtonedPainter)
 public:
  explicit TcxPCButtonsPainter(TcxCustomTabControl* tabControl) : TcxPCButtonedPainter(tabControl) {}
  Integer GetStandardStyle() const override { return 1; }
  TcxPCStyleID GetStyleID() const override { return 2; }
  AnsiString GetStyleName() const override { return "Buttons"; }
  Boolean IsMainTab(Integer visibleIndex) override;
  void DrawTab(TcxTab* tab, Integer visibleIndex) override;
};

class TcxPCFlatButtonsPainter : public TcxPCButtonedPainter {
  ORV_CLASS(TcxPCFlatButtonsPainter, TcxPCButtonedPainter)
 public:
  explicit TcxPCFlatButtonsPainter(TcxCustomTabControl* tabControl) : TcxPCButtonedPainter(tabControl) {}
  Integer GetStandardStyle() const override { return 2; }
  TcxPCStyleID GetStyleID() const override { return 3; }
  AnsiString GetStyleName() const override { return "FlatButtons"; }
  void DrawTab(TcxTab* tab, Integer visibleIndex) override;
  void PaintTab(Integer visibleIndex) override;
};

// ==== ExtraFlat, UltraFlat, Office11 ===========================================================

class TcxPCExtraFlatPainter : public TcxPCStandardPainter {
  ORV_CLASS(TcxPCExtraFlatPainter, TcxPCStandardPainter)
 public:
  explicit TcxPCExtraFlatPainter(TcxCustomTabControl* tabControl) : TcxPCStandardPainter(tabControl) {}

  TcxPCStyleID GetStyleID() const override { return 5; }
  AnsiString GetStyleName() const override { return "ExtraFlat"; }
  Boolean IsTabStyle() const override { return true; }
  Boolean AllowMultiSelectTabs() const override { return false; }
  Boolean IsButtonStyle() const override { return false; }

  Integer CalculateTabNormalWidth(TcxTab* tab) override;
  Integer CalculateTabNormalHeight() override;
  TRect GetTabCorrection(Integer visibleIndex) override;
  Integer GetMinTabNormalHeight() override { return 17; }
  Integer GetTabsRowOverlap() override { return 2; }
  Integer GetTabContentHeight() override { return TcxPCStandardPainter::GetTabContentHeight() - 3; }
  Integer GetTabExtraWidth(Integer visibleIndex) override;
  Integer GetMinTabNormalWidth(Integer visibleIndex) override { return GetTabExtraWidth(visibleIndex); }
  void GetImageWithTextContentOffsets(Integer visibleIndex, Integer (&offsets)[4]) override;
  void GetTextContentOffsets(Integer visibleIndex, Integer (&offsets)[4]) override;
  void GetTabTextWOffset(Integer visibleIndex, Integer& offset1, Integer& offset2) override;
  void GetTabCutTextWOffset(Integer visibleIndex, Integer& offset1, Integer& offset2) override {
    GetTabTextWOffset(visibleIndex, offset1, offset2);
  }
  Integer GetTabImageSpacing(Integer visibleIndex) override { return IsMainTab(visibleIndex) ? 1 : 0; }
  void GetTabsNormalDistance(Integer& along, Integer& across) override;
  Integer GetFrameWidth() override { return 1; }
  TcxPCMargins GetPageClientRectOffset() override;
  TcxPCMargins GetPageFrameRectOffset() override;
  TcxPCTabsPosition GetTabsPosition(TcxPCNavigatorButtons buttons) override;
  TColor GetDefaultClientColor() override;
  TColor GetControlBackgroundColor() override { return clBtnFace; }
  TColor GetTabBodyColor(Integer visibleIndex) override;
  Integer GetButtonsDistance(TcxPCNavigatorButton button, TcxPCNavigatorButton nextButton) override;
  Integer GetButtonsRegionHOffset() override { return 6; }
  Integer GetButtonsRegionWOffset() override { return HasRowFrame() ? GetFrameWidth() + 1 : 1; }
  Integer GetButtonHeight() override { return 13; }
  Integer GetButtonWidth(TcxPCNavigatorButton button) override { return 13; }
  TPoint GetButtonGlyphOffset(TcxPCNavigatorButton button) override;
  TColor GetButtonColor(TcxPCNavigatorButtonState state) override;
  TColor GetButtonGlyphColor(TcxPCNavigatorButtonState state) override;
  TcxPCButtonGlyphInfo GetButtonGlyphInfo(TcxPCNavigatorButton button) override;
  void DrawButtonFrame(TRect& rect, TcxPCNavigatorButtonState state) override;
  void PaintFrame() override;
  void PaintPageArea() override;
  void DoPaint() override;
  void PaintTabs() override;
  void DrawTab(TcxTab* tab, Integer visibleIndex) override;

  // ---- New operations ----
  virtual Integer GetRowIndent() { return 3; }
  virtual TRect GetMainTabFrameRect();
  virtual void GetTabSeparatorOffsets(Integer& offset1, Integer& offset2);
  virtual void DrawTabBody(TcxCanvas* canvas, const TRect& rect, Integer visibleIndex, Boolean reversed = false);
  virtual void CorrectPageClientRectOffset(TcxPCMargins& margins);
  virtual TColor GetJointBandColor();
  virtual TRect GetJointBandRect();
  virtual TRect GetTabBodyRect(Integer visibleIndex, Boolean row);
  virtual Integer GetTabSeparatorWidth() { return 1; }
  virtual TColor GetTabsAreaColor();
  virtual Boolean HasRowFrame() { return false; }
  virtual void DrawMainTabFrame(const TRect& rect);
  virtual void DrawTabSeparator(const TRect& rect);
  virtual void DrawRowLines(const TRect& rect, Integer row);

 protected:
  void DrawMainTabOutline(const TRect& rect, TColor light, TColor dark);
  void DrawPageFrameLines(TColor light, TColor dark);
  // The row's rect across the whole control (visible row `row`).
  TRect GetRowRect(Integer row);
  // The part of a row rect next to the page, `count` pixels deep.
  TRect GetRowPageSideRect(const TRect& rowRect, Integer row, Integer count);
  // The index-th one-pixel line of a row rect from its page side.
  TRect GetRowLine(const TRect& rowRect, Integer row, Integer index);
  Boolean IsRowNextToPage(Integer row);
};

class TcxPCUltraFlatPainter : public TcxPCExtraFlatPainter {
  ORV_CLASS(TcxPCUltraFlatPainter, TcxPCExtraFlatPainter)
 public:
  explicit TcxPCUltraFlatPainter(TcxCustomTabControl* tabControl) : TcxPCExtraFlatPainter(tabControl) {}
  TcxPCStyleID GetStyleID() const override { return 6; }
  AnsiString GetStyleName() const override { return "UltraFlat"; }
  Boolean HasLookAndFeel(TcxLookAndFeel* lookAndFeel) const override;

  Integer GetButtonsDistance(TcxPCNavigatorButton button, TcxPCNavigatorButton nextButton) override;
  Integer GetButtonsRegionHOffset() override { return 3; }
  Integer GetButtonHeight() override { return 15; }
  Integer GetButtonWidth(TcxPCNavigatorButton button) override;
  TPoint GetButtonGlyphOffset(TcxPCNavigatorButton button) override {
    return TcxPCStandardPainter::GetButtonGlyphOffset(button);
  }
  TColor GetButtonColor(TcxPCNavigatorButtonState state) override;
  TcxPCButtonGlyphInfo GetButtonGlyphInfo(TcxPCNavigatorButton button) override;
  void DrawButtonFrame(TRect& rect, TcxPCNavigatorButtonState state) override;
  void PaintFrame() override;
  TRect GetMainTabFrameRect() override;
  void DrawMainTabFrame(const TRect& rect) override;
  void DrawRowLines(const TRect& rect, Integer row) override;
};

class TcxPCOffice11Painter : public TcxPCUltraFlatPainter {
  ORV_CLASS(TcxPCOffice11Painter, TcxPCUltraFlatPainter)
 public:
  explicit TcxPCOffice11Painter(TcxCustomTabControl* tabControl);
  ~TcxPCOffice11Painter() override;
  TcxPCStyleID GetStyleID() const override { return 8; }
  AnsiString GetStyleName() const override { return "Office11"; }
  Boolean HasLookAndFeel(TcxLookAndFeel* lookAndFeel) const override;

  Integer GetRowIndent() override { return 1; }
  void GetTabSeparatorOffsets(Integer& offset1, Integer& offset2) override;
  void DrawTabBody(TcxCanvas* canvas, const TRect& rect, Integer visibleIndex, Boolean reversed = false) override;
  void CorrectPageClientRectOffset(TcxPCMargins& margins) override {}
  TColor GetJointBandColor() override;
  TRect GetJointBandRect() override;
  Integer GetTabSeparatorWidth() override { return 2; }
  Boolean HasRowFrame() override { return HasFrame(); }
  void DrawMainTabFrame(const TRect& rect) override;
  void DrawTabSeparator(const TRect& rect) override;
  void DrawRowLines(const TRect& rect, Integer row) override;
  virtual TColor GetBorderColor();

  TcxPCMargins GetPageClientRectOffset() override;
  TColor GetControlBackgroundColor() override { return GetBorderColor(); }
  TColor GetTabBodyColor(Integer visibleIndex) override;
  Boolean IsTabBodyTransparent(Integer visibleIndex) override;
  Boolean NeedsRedrawOnResize() override;
  TColor GetButtonGlyphColor(TcxPCNavigatorButtonState state) override;
  void DrawButtonFrame(TRect& rect, TcxPCNavigatorButtonState state) override;
  void DrawButtonBackground(const TRect& rect, TcxPCNavigatorButtonState state) override;
  void PaintFrame() override;
  void PaintPageArea() override;
  void PaintPageClientArea() override;
  void FillTabBitmapBackground(TcxBitmap* bitmap, const TRect& rect, Integer visibleIndex) override;

 private:
  // The two gradient colours (their 50% mix twice without pcoGradient).
  void GradientColors(TColor color1, TColor color2, TColor& first, TColor& second);
  void FillGradient(TcxCanvas* canvas, const TRect& rect, TColor color1, TColor color2, Boolean horizontal);
  Boolean GradientHorizontal();
};

// ==== Flat =====================================================================================

class TcxPCFlatPainter : public TcxPCTabsPainter {
  ORV_CLASS(TcxPCFlatPainter, TcxPCTabsPainter)
 public:
  explicit TcxPCFlatPainter(TcxCustomTabControl* tabControl) : TcxPCTabsPainter(tabControl) {}
  TcxPCStyleID GetStyleID() const override { return 7; }
  AnsiString GetStyleName() const override { return "Flat"; }
  Boolean HasLookAndFeel(TcxLookAndFeel* lookAndFeel) const override;

  Boolean IsNativePainting() override { return false; }
  Boolean HasFrame() override { return true; }
  Integer GetFrameWidth() override { return 1; }
  Integer GetButtonHeight() override { return TcxPCTabsPainter::GetButtonHeight() - 2; }
  Integer GetButtonWidth(TcxPCNavigatorButton button) override {
    return TcxPCTabsPainter::GetButtonWidth(button) - 2;
  }
  TPoint GetButtonGlyphOffset(TcxPCNavigatorButton button) override;
  TcxRegion* GetTabClipRegion(Integer visibleIndex) override;
  TcxRegionOperation GetTabClipRgnOperation(Integer visibleIndex) override { return roIntersect; }
  void DrawButtonFrame(TRect& rect, TcxPCNavigatorButtonState state) override;
  void DrawFrame(const TRect& rect) override;
  void DrawTabOutline(Integer visibleIndex) override;
};

// ==== Slanted, OneNote =========================================================================

class TcxPCSlantedPainter : public TcxPCStandardPainter {
  ORV_CLASS(TcxPCSlantedPainter, TcxPCStandardPainter)
 public:
  explicit TcxPCSlantedPainter(TcxCustomTabControl* tabControl) : TcxPCStandardPainter(tabControl) {}
  TcxPCStyleID GetStyleID() const override { return 9; }
  AnsiString GetStyleName() const override { return "Slanted"; }

  Boolean UsesPageColorForTab() override { return true; }
  Boolean IsMainTab(Integer visibleIndex) override { return false; }
  Integer CalculateTabNormalWidth(TcxTab* tab) override;
  Integer GetMinTabNormalHeight() override { return 0; }
  Integer GetTabContentHeight() override;
  Integer GetImageTextDistance(Integer visibleIndex) override { return 3; }
  Integer GetMinTabNormalWidth(Integer visibleIndex) override { return GetTabExtraWidth(visibleIndex); }
  Integer GetTabExtraWidth(Integer visibleIndex) override;
  void GetImageWithTextContentOffsets(Integer visibleIndex, Integer (&offsets)[4]) override;
  void GetTextContentOffsets(Integer visibleIndex, Integer (&offsets)[4]) override;
  void GetTabTextWOffset(Integer visibleIndex, Integer& offset1, Integer& offset2) override;
  void GetTabCutTextWOffset(Integer visibleIndex, Integer& offset1, Integer& offset2) override {
    GetTabTextWOffset(visibleIndex, offset1, offset2);
  }
  void GetTabsNormalDistance(Integer& along, Integer& across) override;
  TcxPCMargins GetTabsAreaExtension() override;
  TcxPCMargins GetTabsContainerOffsets() override;
  Integer GetFrameWidth() override { return 1; }
  TColor GetClientColor() override;
  TcxPCMargins GetPageClientRectOffset() override;
  TColor GetTabBodyColor(Integer visibleIndex) override;
  TcxRegion* GetTabClipRegion(Integer visibleIndex) override;
  Boolean IsPointOverTab(Integer visibleIndex, Integer x, Integer y) override;
  void PrepareLayout() override;
  Integer GetButtonsDistance(TcxPCNavigatorButton button, TcxPCNavigatorButton nextButton) override;
  Integer GetButtonsRegionFromTabsOffset() override { return 1; }
  Integer GetButtonsRegionHOffset() override;
  Integer GetButtonsRegionWOffset() override;
  Integer GetButtonHeight() override { return 17; }
  Integer GetButtonWidth(TcxPCNavigatorButton button) override;
  TColor GetButtonColor(TcxPCNavigatorButtonState state) override;
  TColor GetButtonGlyphColor(TcxPCNavigatorButtonState state) override;
  TcxPCButtonGlyphInfo GetButtonGlyphInfo(TcxPCNavigatorButton button) override;
  void DrawButtonFrame(TRect& rect, TcxPCNavigatorButtonState state) override;
  void PaintPageClientArea() override;
  void PaintFrame() override;
  void PaintTabs() override;
  void DrawTab(TcxTab* tab, Integer visibleIndex) override;
  void FillTabBitmapBackground(TcxBitmap* bitmap, const TRect& rect, Integer visibleIndex) override;

  // ---- New operations ----
  virtual Boolean GradientForHotMainTab() { return false; }
  virtual void DrawTabBackground(TcxCanvas* canvas, const TRect& rect, Boolean reversed, Boolean horizontal,
                                 Integer visibleIndex);
  virtual void DrawTabPageJoint(Integer visibleIndex);
  virtual void GetTabGradientColors(Integer visibleIndex, TColor& first, TColor& second);
  virtual Integer GetMinTabExtraWidth();
  virtual TColor GetBorderColor() { return clBtnShadow; }
  virtual TcxTabSlantPositions GetSlantPositions();
  virtual void GetImageWithBorderSize(Integer& width, Integer& height);
  virtual Integer CalculateCutValue();
  // A new region of the tab's outline (owned by the caller).
  virtual TcxRegion* GetTabRegion(Integer visibleIndex, Boolean drawing);
  virtual void DrawTabShapeOutline(Integer visibleIndex, const TRect& rect);
  virtual void DrawTabHighlightBand(Integer visibleIndex);

  Integer GetCutValue() const { return FCutValue; }

 protected:
  // The outline polygon of a tab (transformed to its side).
  TPoints GetTabOutlinePoints(Integer visibleIndex, const TRect& rect);
  // The main tab's strip one pixel towards the page.
  TRect GetPageJointRect(Integer visibleIndex);

  Integer FCutValue = 0;
};

class TcxPCOneNotePainter : public TcxPCSlantedPainter {
  ORV_CLASS(TcxPCOneNotePainter, TcxPCSlantedPainter)
 public:
  explicit TcxPCOneNotePainter(TcxCustomTabControl* tabControl) : TcxPCSlantedPainter(tabControl) {}
  TcxPCStyleID GetStyleID() const override { return 10; }
  AnsiString GetStyleName() const override { return "OneNote"; }
  Boolean AllowRotate() const override { return false; }

  Boolean GradientForHotMainTab() override { return true; }
  void DrawTabPageJoint(Integer visibleIndex) override;
  Integer GetMinTabExtraWidth() override { return FCutValue + 4; }
  TColor GetBorderColor() override { return OneNoteSchemeColor(1); }
  TcxTabSlantPositions GetSlantPositions() override { return {spLeft}; }
  Integer CalculateCutValue() override { return CalculateTabNormalHeight() + 2; }
  TcxRegion* GetTabRegion(Integer visibleIndex, Boolean drawing) override;
  void DrawTabShapeOutline(Integer visibleIndex, const TRect& rect) override;
  void DrawTabHighlightBand(Integer visibleIndex) override {}
  void GetImageWithTextContentOffsets(Integer visibleIndex, Integer (&offsets)[4]) override;
  void GetTextContentOffsets(Integer visibleIndex, Integer (&offsets)[4]) override;
  void GetTabTextWOffset(Integer visibleIndex, Integer& offset1, Integer& offset2) override;
  void GetTabsNormalDistance(Integer& along, Integer& across) override;
  TcxPCMargins GetTabsAreaExtension() override;
  TcxPCMargins GetTabsContainerOffsets() override;
  Integer GetButtonsRegionHOffset() override;

 private:
  TColor OutsideColor(Integer x, Integer y);
};
