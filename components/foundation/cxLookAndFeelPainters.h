// The look-and-feel painters: every component draws its frames, buttons, check marks, headers,
// footers, scroll-bar parts and the like through one of them and asks it for the matching
// metrics and default colours.
//
// A painter holds no state. Each painter class has exactly one instance, made on first use and
// never freed, whose virtual const operations are the class's operations; components keep a
// class reference (TcxCustomLookAndFeelPainterClass) and call through it:
//
//   TcxCustomLookAndFeelPainterClass painter = lookAndFeel->CurrentPainter();
//   painter->DrawPushButton(canvas, bounds, caption, cxbsHot);
//   if (painter == TcxOffice11LookAndFeelPainter::StaticClass()) ...
//
// Operations reach each other through the same virtual table, so an override changes every
// composite drawing that uses it; where one painter draws with another painter's operation it
// calls that painter's class explicitly (TcxStandardLookAndFeelPainter::Class()->...).
//
// The unit also keeps the images the painters share: the row indicator glyphs, the two 8 x 8
// scroll-bar page brushes, the check-box glyph size and the radio-button images.
#pragma once

#include <vector>

#include "components/foundation/cxGraphics.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/drawing/GdiTypes.h"
#include "platform/runtime/DateTime.h"
#include "platform/runtime/Object.h"
#include "platform/runtime/Sets.h"
#include "platform/runtime/Types.h"

class TFont;
class TBitmap;
class TCustomImageList;
class TcxImageList;
class TcxCustomLookAndFeelPainter;
struct TcxViewParams;

// ---- Value types ----------------------------------------------------------------------------

enum TcxButtonState { cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled };
enum TcxCheckBoxState { cbsUnchecked, cbsChecked, cbsGrayed };
// The side of a group box's frame that carries its caption; cpNone centres it over the frame.
enum TcxCaptionPosition { cpTop, cpBottom, cpLeft, cpRight, cpNone };
// The sides of a header cell that touch another cell.
enum TcxNeighbor { nLeft, nTop, nRight, nBottom };
using TcxNeighbors = orv::Set<TcxNeighbor>;
enum TcxArrowDirection { adUp, adDown, adLeft, adRight };
enum TcxScrollBarPart {
  sbpNone, sbpLineUp, sbpLineDown, sbpThumbnail, sbpPageUp, sbpPageDown
};
enum TcxAlignmentVert { vaTop, vaBottom, vaCenter };
enum TcxLookAndFeelKind { lfFlat, lfStandard, lfUltraFlat, lfOffice11 };
// Row indicator glyphs; a kind may carry the flag 0x80, which the glyph drawing ignores.
enum TcxIndicatorKind { ikNone, ikArrow, ikEdit, ikInsert, ikMultiDot, ikMultiArrow, ikFilter };
// DrawPushButton: a push button or a tool-bar button (themed drawing only).
enum TcxButtonKind { cxbkPushButton, cxbkToolBarButton };

// Painter style ids (StyleId).
inline constexpr Integer cxPainterStyleFlat = 0;
inline constexpr Integer cxPainterStyleStandard = 1;
inline constexpr Integer cxPainterStyleUltraFlat = 2;
inline constexpr Integer cxPainterStyleThemed = 3;
inline constexpr Integer cxPainterStyleOffice11 = 4;

// A background painted by the component itself: true when the handler painted it.
using TcxDrawBackgroundEvent = orv::Event<Boolean(TcxCanvas* canvas, const TRect& bounds)>;

// Horizontal alignments are the platform's TAlignment values (taLeftJustify 0, taRightJustify
// 1, taCenter 2), passed as integers so that this header needs neither of the units that
// declare the enumeration.
using TcxAlignmentHorz = Integer;

// Style id 0 flat, 2 ultra-flat, 4 Office 11; every other id (standard, themed) is standard.
TcxLookAndFeelKind LookAndFeelStyleToKind(Integer styleId);

namespace orv {
// The one instance of a painter class.
template <class T>
const T& PainterInstance();
}  // namespace orv

// ---- Class reference ------------------------------------------------------------------------

// "class of TcxCustomLookAndFeelPainter": names a painter class and reaches its operations.
class TcxCustomLookAndFeelPainterClass {
 public:
  constexpr TcxCustomLookAndFeelPainterClass() = default;
  constexpr TcxCustomLookAndFeelPainterClass(std::nullptr_t) {}
  constexpr TcxCustomLookAndFeelPainterClass(const TcxCustomLookAndFeelPainter* painter)
      : FPainter(painter) {}
  // The painter of a registered painter class (nullptr gives none); EInvalidOperation for a
  // class that is no registered painter.
  TcxCustomLookAndFeelPainterClass(TClass painterClass);

  const TcxCustomLookAndFeelPainter* operator->() const { return FPainter; }
  const TcxCustomLookAndFeelPainter* Get() const { return FPainter; }
  explicit operator bool() const { return FPainter != nullptr; }
  TClass ClassType() const;
  operator TClass() const { return ClassType(); }
  bool InheritsFrom(TClass other) const;

  friend bool operator==(TcxCustomLookAndFeelPainterClass a, TcxCustomLookAndFeelPainterClass b) {
    return a.FPainter == b.FPainter;
  }
  friend bool operator==(TcxCustomLookAndFeelPainterClass a, TClass b) {
    return a.ClassType() == b;
  }

 private:
  const TcxCustomLookAndFeelPainter* FPainter = nullptr;
};

// Makes a painter class known to the class-reference lookup (the unit's own classes are known
// from the start).
void RegisterLookAndFeelPainter(const TcxCustomLookAndFeelPainter* painter);

// ---- The base painter -------------------------------------------------------------------------

class TcxCustomLookAndFeelPainter : public TObject {
  ORV_CLASS(TcxCustomLookAndFeelPainter, TObject)
 public:
  static TcxCustomLookAndFeelPainterClass Class();

  // ---- Shared helpers ----
  // Not transparent: the colour (the bitmap is ignored); transparent: the bitmap tiled, or
  // nothing without one.
  virtual void FillBackground(TcxCanvas* canvas, const TRect& rect, Boolean transparent,
                              TColor backgroundColor, TBitmap* bitmap) const;
  virtual void DrawDropDownArrowGlyph(TcxCanvas* canvas, const TRect& rect, TColor color) const;
  virtual void DrawContentAndText(TcxCanvas* canvas, const TRect& bounds, const TRect& textRect,
                                  TcxButtonState state, TcxAlignmentHorz alignmentHorz,
                                  TcxAlignmentVert alignmentVert, Boolean multiLine,
                                  Boolean showEndEllipsis, const AnsiString& text, TFont* font,
                                  TColor textColor, TColor backgroundColor,
                                  TcxDrawBackgroundEvent onDrawBackground, Boolean isFooter) const;
  virtual void DrawFooterSeparatorAndBorder(TcxCanvas* canvas, const TRect& rect,
                                            TcxBorders borders) const;
  virtual TRect FooterCellContentBounds(const TRect& rect) const;
  virtual TRect FooterCellTextAreaBounds(const TRect& rect) const;

  // ---- Identity ----
  virtual Integer StyleId() const { return cxPainterStyleStandard; }
  virtual Boolean UsesVisualStyles() const { return false; }

  // ---- Default colours ----
  virtual TColor DefaultContentColor() const { return clWindow; }
  virtual TColor DefaultContentEvenColor() const { return DefaultContentColor(); }
  virtual TColor DefaultContentOddColor() const { return DefaultContentColor(); }
  virtual TColor DefaultContentTextColor() const { return clWindowText; }
  // Colour states: 0 enabled, 1 disabled, 2 unfocused, 3 read-only.
  virtual TColor DefaultEditorBackgroundColor(Boolean isDisabled) const {
    return DefaultEditorBackgroundColorByState(isDisabled ? 1 : 0);
  }
  virtual TColor DefaultEditorBackgroundColorByState(Integer colorState) const { return clDefault; }
  virtual TColor DefaultEditorTextColor(Boolean isDisabled) const {
    return DefaultEditorTextColorByState(isDisabled ? 1 : 0);
  }
  virtual TColor DefaultEditorTextColorByState(Integer colorState) const { return clDefault; }
  virtual TColor DefaultFilterBoxColor() const { return clBtnShadow; }
  virtual TColor DefaultFilterBoxTextColor() const { return clBtnHighlight; }
  virtual TColor DefaultDetailFrameColor() const { return clBtnText; }
  virtual TColor DefaultFooterColor() const { return clBtnFace; }
  virtual TColor DefaultFooterTextColor() const { return clBtnText; }
  virtual TColor DefaultGridDetailsSiteColor() const { return clBtnFace; }
  virtual TColor DefaultGridLineColor() const { return clBtnShadow; }
  virtual TColor DefaultGroupByBoxColor() const { return clBtnShadow; }
  virtual TColor DefaultGroupByBoxTextColor() const { return clBtnFace; }
  virtual TColor DefaultGroupColor() const { return clBtnFace; }
  virtual TColor DefaultGroupTextColor() const { return clBtnText; }
  virtual TColor DefaultColor28() const { return clBtnShadow; }
  virtual TColor DefaultColor29() const { return clBtnFace; }
  virtual TColor DefaultHeaderColor() const { return clBtnFace; }
  virtual TColor DefaultHeaderTextColor() const { return clBtnText; }
  virtual TColor DefaultHyperlinkTextColor() const { return clBlue; }
  virtual TColor DefaultInactiveColor() const { return clBtnFace; }
  virtual TColor DefaultInactiveTextColor() const { return clBtnText; }
  virtual TColor DefaultPreviewTextColor() const { return clBlue; }
  virtual TColor DefaultRowSeparatorColor() const { return DefaultGridLineColor(); }
  virtual TColor DefaultSizeGripAreaColor() const { return clBtnFace; }
  virtual TColor DefaultColor38() const { return DefaultColor43(); }
  virtual TColor DefaultColor39() const { return DefaultHeaderColor(); }
  virtual TColor DefaultColor40() const { return clDefault; }
  virtual TColor DefaultColor41() const { return DefaultHeaderColor(); }
  virtual TColor DefaultColor42() const { return DefaultHeaderTextColor(); }
  virtual TColor DefaultColor43() const { return clBlack; }
  virtual TColor DefaultCalendarContentColor() const;
  virtual TColor DefaultCalendarHeaderColor() const { return clBtnFace; }
  virtual TColor DefaultCalendarHeaderTextColor(Boolean isHighlighted) const {
    return isHighlighted ? clHighlightText : DefaultHeaderTextColor();
  }
  virtual TColor DefaultColor47() const { return clRed; }
  virtual TColor DefaultCalendarInactiveTextColor() const { return clGrayText; }
  virtual TColor DefaultCalendarSelectionColor() const { return clHighlight; }
  virtual TColor DefaultCalendarSelectionTextColor() const { return clHighlightText; }
  virtual TColor DefaultCalendarSeparatorColor() const { return clBtnShadow; }
  virtual TColor DefaultCalendarWeekNumbersColor() const { return clWindow; }
  virtual TColor DefaultCalendarTextColor() const { return clWindowText; }
  virtual TColor DefaultCalendarTodayFrameColor() const { return clMaroon; }
  virtual TColor DefaultCalendarTodayTextColor() const { return clNavy; }
  virtual TColor DefaultColor56() const { return clWindow; }
  virtual TColor DefaultColor57() const { return clWindowText; }
  virtual TColor DefaultColor58() const { return TColor(0x9D9DA1); }
  virtual TColor DefaultColor59() const { return clBtnFace; }
  virtual TColor DefaultColor60() const { return clBtnFace; }
  virtual TColor DefaultColor61() const { return DefaultHeaderColor(); }
  virtual TColor DefaultColor62() const { return DefaultHeaderTextColor(); }
  virtual TColor DefaultColor63() const { return TColor(0xD5FFFF); }
  virtual TColor DefaultColor64() const { return DefaultSelectionTextColor(); }
  virtual TColor DefaultColor65() const { return clWindowText; }
  virtual TColor DefaultSelectionColor() const { return clHighlight; }
  virtual TColor DefaultSelectionTextColor() const { return clHighlightText; }
  virtual TColor DefaultColor68() const { return clBtnFace; }
  virtual TColor DefaultTabColor() const { return clBtnFace; }
  virtual TColor DefaultTabTextColor() const { return clBtnText; }
  virtual TColor DefaultColor71() const { return clBtnFace; }
  virtual TColor DefaultColor72() const { return clWhite; }
  virtual TColor DefaultColor73() const { return clBlack; }
  virtual TColor DefaultColor74() const { return clBtnFace; }
  virtual TColor DefaultColor75() const { return clBtnText; }
  virtual TColor DefaultColor76() const { return clWhite; }
  virtual TColor DefaultColor77() const { return clBlack; }
  virtual TColor DefaultColor78() const { return clBlack; }
  virtual TColor DefaultColor79() const { return clBlack; }
  virtual TColor DefaultColor80() const { return TColor(0xCFCFCF); }
  virtual TColor DefaultColor81() const { return clWhite; }
  virtual TColor DefaultColor82() const { return clBtnShadow; }
  virtual TColor DefaultColor83() const { return TColor(0xF0CAA6); }
  virtual TColor DefaultColor84() const { return clNavy; }
  virtual TColor DefaultColor85() const { return clBtnShadow; }
  virtual TColor DefaultColor86() const { return clBtnShadow; }

  // ---- Arrows ----
  // The three corners of an arrow: proportional arrows sit in the centred square of the rect;
  // size 0 takes a quarter of the extent across the arrow.
  static void ComputeArrowTriangle(const TRect& rect, TcxArrowDirection direction,
                                   Boolean proportional, Integer arrowSize, TPoint (&points)[3]);
  virtual void DrawDirectionArrow(TcxCanvas* canvas, const TRect& rect, TcxArrowDirection direction,
                                  TColor color) const;
  virtual void DrawArrowButton(TcxCanvas* canvas, const TRect& rect, TcxButtonState state,
                               TcxArrowDirection direction, Boolean drawBackground = true) const;
  virtual void DrawArrowButtonBackground(TcxCanvas* canvas, const TRect& rect,
                                         TcxButtonState state) const;
  virtual void DrawStateArrow(TcxCanvas* canvas, const TRect& rect, TcxButtonState state,
                              TcxArrowDirection direction) const;

  // ---- Control border ----
  virtual Integer ControlBorderWidth() const { return 0; }
  virtual void DrawControlBorder(TcxCanvas* canvas, const TRect& rect) const {}

  // ---- Buttons ----
  virtual TRect AdjustGroupButtonRect(const TRect& rect, Integer buttonCount,
                                      Integer buttonIndex) const {
    return rect;
  }
  virtual Integer ButtonBorderWidth(TcxButtonState state = cxbsNormal) const { return 0; }
  virtual TColor ButtonFaceColor(TcxButtonState state) const { return clBtnFace; }
  virtual TRect ButtonFocusBounds(TcxCanvas* canvas, const TRect& rect) const;
  // Widths of the left, top, right and bottom sides.
  virtual TRect GroupButtonBorderWidths(Integer buttonCount, Integer buttonIndex) const;
  virtual Integer ButtonTextIndent() const { return 0; }
  virtual Integer ButtonPressedTextShift() const { return 0; }
  virtual TColor ButtonGlyphColor(TcxButtonState state, TColor color = clDefault) const;
  virtual TcxButtonState ButtonGlyphState(TcxButtonState state) const { return state; }
  virtual void DrawPushButton(TcxCanvas* canvas, const TRect& rect, const AnsiString& caption,
                              TcxButtonState state, Boolean drawBorder = true,
                              TColor color = clDefault, TColor textColor = clDefault,
                              Boolean wordWrap = false,
                              TcxButtonKind buttonKind = cxbkPushButton) const;
  virtual void DrawGroupButton(TcxCanvas* canvas, const TRect& rect, TcxButtonState state,
                               Integer buttonCount, Integer buttonIndex, TColor frameColor) const;
  virtual void DrawButtonFrame(TcxCanvas* canvas, const TRect& rect, TcxButtonState state) const {}
  virtual void DrawGroupButtonFocusFrame(TcxCanvas* canvas, const TRect& rect, Boolean inplace,
                                         Boolean selected) const {}

  // ---- Expand buttons ----
  virtual void DrawExpandCollapseButton(TcxCanvas* canvas, const TRect& rect, Boolean expanded,
                                        TColor color = clDefault) const {}
  virtual Boolean ExpandButtonDrawnFirst() const { return true; }
  virtual void DrawGroupExpandChevronButton(TcxCanvas* canvas, const TRect& rect,
                                            Boolean pointingUp, TcxButtonState state) const;
  virtual void DrawSmallPlusMinusButton(TcxCanvas* canvas, const TRect& rect, Boolean expanded,
                                        TColor borderColor, TColor color = clDefault) const;
  virtual Integer ExpandCollapseButtonSize() const { return 0; }
  virtual Integer GroupExpandChevronButtonSize() const { return 15; }
  virtual Boolean SupportsButtonHotTrack() const { return false; }
  virtual Boolean IsPointInGroupExpandChevronButton(const TRect& rect, const TPoint& point) const;
  virtual Integer SmallPlusMinusButtonSize() const { return 9; }

  // ---- Check box and radio button ----
  virtual Integer CheckBoxBorderWidth() const { return 2; }
  virtual TColor CheckBoxColor(TcxButtonState state) const;
  virtual TSize CheckBoxSize() const;
  virtual void DrawCheckMark(TcxCanvas* canvas, const TRect& rect, TcxButtonState state,
                             Boolean checked, TColor markColor) const;
  virtual void DrawCheckBoxFrame(TcxCanvas* canvas, const TRect& rect, TcxButtonState state) const {}
  virtual void DrawCheckBox(TcxCanvas* canvas, const TRect& rect, TcxButtonState state,
                            Boolean checked) const;
  virtual void DrawCheckBoxWithState(TcxCanvas* canvas, const TRect& rect, TcxButtonState state,
                                     TcxCheckBoxState checkState) const;
  virtual void DrawRadioButton(TcxCanvas* canvas, Integer x, Integer y, TcxButtonState state,
                               Boolean checked, Boolean focused, TColor backgroundColor,
                               Boolean isDesigning = false) const;
  virtual TSize RadioButtonGlyphSize() const;

  // ---- Label line ----
  virtual void DrawLabelLine(TcxCanvas* canvas, const TRect& rect, TColor shadowColor,
                             TColor highlightColor, Boolean isVertical) const;
  virtual Integer LabelLineHeight() const { return 2; }

  // ---- Headers ----
  virtual void DrawHeaderCell(TcxCanvas* canvas, const TRect& bounds, const TRect& textRect,
                              TcxNeighbors neighbors, TcxBorders borders, TcxButtonState state,
                              TcxAlignmentHorz alignmentHorz, TcxAlignmentVert alignmentVert,
                              Boolean multiLine, Boolean showEndEllipsis, const AnsiString& text,
                              TFont* font, TColor textColor, TColor backgroundColor,
                              TcxDrawBackgroundEvent onDrawBackground = {},
                              Boolean isLast = false, Boolean isGroup = false) const;
  virtual void DrawHeaderCellEx(TcxCanvas* canvas, const TRect& bounds, const TRect& textRect,
                                TcxNeighbors neighbors, TcxBorders borders, TcxButtonState state,
                                TcxAlignmentHorz alignmentHorz, TcxAlignmentVert alignmentVert,
                                Boolean multiLine, Boolean showEndEllipsis, const AnsiString& text,
                                TFont* font, TColor textColor, TColor backgroundColor,
                                TcxDrawBackgroundEvent onDrawBackground = {}) const;
  virtual void DrawHeaderCellBorder(TcxCanvas* canvas, const TRect& rect, TcxNeighbors neighbors,
                                    TcxBorders borders) const {}
  virtual void DrawHeaderCellPressed(TcxCanvas* canvas, const TRect& rect) const;
  virtual void DrawHeaderSection(TcxCanvas* canvas, const TRect& bounds, const TRect& textRect,
                                 TcxNeighbors neighbors, TcxBorders borders, TcxButtonState state,
                                 TcxAlignmentHorz alignmentHorz, TcxAlignmentVert alignmentVert,
                                 Boolean multiLine, Boolean showEndEllipsis, const AnsiString& text,
                                 TFont* font, TColor textColor, TColor backgroundColor) const;
  virtual void DrawHeaderSectionBorder(TcxCanvas* canvas, const TRect& rect, TcxBorders borders,
                                       TcxButtonState state) const {}
  virtual void DrawHeaderSectionContent(TcxCanvas* canvas, const TRect& bounds,
                                        const TRect& textRect, TcxButtonState state,
                                        TcxAlignmentHorz alignmentHorz,
                                        TcxAlignmentVert alignmentVert, Boolean multiLine,
                                        Boolean showEndEllipsis, const AnsiString& text,
                                        TFont* font, TColor textColor,
                                        TColor backgroundColor) const;
  virtual void DrawHeaderSectionText(TcxCanvas* canvas, const TRect& textRect,
                                     TcxButtonState state, TcxAlignmentHorz alignmentHorz,
                                     TcxAlignmentVert alignmentVert, Boolean multiLine,
                                     Boolean showEndEllipsis, const AnsiString& text, TFont* font,
                                     TColor textColor) const;
  virtual void DrawHeaderSeparatorLine(TcxCanvas* canvas, const TRect& bounds, Integer indent,
                                       TColor color, const TcxViewParams& viewParams) const;
  virtual void DrawSortArrow(TcxCanvas* canvas, const TRect& rect, Boolean ascending) const {}
  virtual TcxBorders HeaderCellBorders(TcxNeighbors neighbors) const { return cxBordersAll; }
  virtual Integer HeaderCellBorderWidth() const { return 0; }
  virtual TRect HeaderCellExtendedBounds(const TRect& rect, TcxNeighbors neighbors,
                                         TcxBorders borders) const;
  virtual TRect HeaderCellContentBounds(const TRect& rect, TcxBorders borders) const;
  virtual Boolean GroupByBoxItemsDrawnFirst() const { return true; }
  virtual Integer HeaderCellHeight(Integer textHeight) const {
    return textHeight + 2 * HeaderCellBorderWidth() + 4;
  }
  virtual Integer HeaderSectionBorderWidth(TcxButtonState state) const { return 1; }
  virtual TRect HeaderSectionTextBounds(const TRect& rect, TcxButtonState state) const;
  virtual TRect HeaderSectionContentBounds(const TRect& rect, TcxButtonState state) const;
  virtual Integer HeaderCellTextWidth(TcxCanvas* canvas, TcxBorders borders, const AnsiString& text,
                                      TFont* font) const;
  virtual Boolean SupportsHeaderHotTrack() const { return false; }
  virtual TPoint SortArrowAreaSize() const { return {16, SortArrowSize().Y}; }
  virtual TPoint SortArrowSize() const { return {0, 0}; }
  virtual void DrawGroupByBoxBackground(TcxCanvas* canvas, const TRect& rect, Boolean transparent,
                                        TColor backgroundColor, TBitmap* bitmap) const {
    FillBackground(canvas, rect, transparent, backgroundColor, bitmap);
  }
  virtual Boolean HeaderItemsDrawnFirst() const { return true; }

  virtual TColor DefaultColor151() const { return DefaultColor28(); }
  virtual TColor DefaultColor152() const { return DefaultColor29(); }

  // ---- Footer ----
  virtual TcxBorders FooterBorders() const { return cxBordersAll; }
  virtual Integer FooterBorderWidth() const { return 0; }
  virtual Integer FooterCellBorderWidth() const { return 0; }
  virtual Integer FooterCellIndent() const { return 0; }
  virtual Boolean FooterCellsDrawnFirst() const { return true; }
  virtual TColor DefaultFooterSeparatorColor() const { return clBtnShadow; }
  virtual Integer FooterSeparatorSize() const { return 1; }
  virtual void DrawFooterCell(TcxCanvas* canvas, const TRect& bounds, TcxAlignmentHorz alignmentHorz,
                              TcxAlignmentVert alignmentVert, Boolean multiLine,
                              const AnsiString& text, TFont* font, TColor textColor,
                              TColor backgroundColor,
                              TcxDrawBackgroundEvent onDrawBackground = {}) const;
  virtual void DrawFooterCellContent(TcxCanvas* canvas, const TRect& bounds,
                                     TcxAlignmentHorz alignmentHorz, TcxAlignmentVert alignmentVert,
                                     Boolean multiLine, const AnsiString& text, TFont* font,
                                     TColor textColor, TColor backgroundColor,
                                     TcxDrawBackgroundEvent onDrawBackground = {}) const;
  virtual void DrawFooterFrame(TcxCanvas* canvas, const TRect& rect) const {}
  virtual void DrawFooterCellFrame(TcxCanvas* canvas, const TRect& rect) const {}
  virtual void DrawFooterArea(TcxCanvas* canvas, const TRect& rect,
                              const TcxViewParams& viewParams) const;
  virtual void DrawFooterSeparator(TcxCanvas* canvas, const TRect& rect) const;

  // ---- Filter box and popups ----
  virtual void DrawFilterActivateButton(TcxCanvas* canvas, const TRect& rect, TcxButtonState state,
                                        Boolean checked) const {
    DrawCheckBox(canvas, rect, state, checked);
  }
  virtual void DrawFilterBoxCloseButton(TcxCanvas* canvas, const TRect& rect,
                                        TcxButtonState state) const;
  virtual void DrawFilterDropDownArrowButton(TcxCanvas* canvas, const TRect& rect,
                                             TcxButtonState state, Boolean isFilterActive) const {}
  virtual void DrawFilterBoxBackground(TcxCanvas* canvas, const TRect& rect, Boolean transparent,
                                       TColor backgroundColor, TBitmap* bitmap) const {
    FillBackground(canvas, rect, transparent, backgroundColor, bitmap);
  }
  virtual TPoint FilterCheckBoxSize() const { return {13, 13}; }
  virtual TPoint FilterBoxCloseButtonSize() const { return {16, 14}; }
  // A height of 0: as high as the space offered.
  virtual TPoint FilterDropDownArrowButtonSize() const { return {15, 0}; }
  virtual void FillWindowBackground(TcxCanvas* canvas, const TRect& rect) const {
    canvas->FillRectWithColor(rect, clBtnFace);
  }
  virtual Integer PopupFrameStyle() const { return 1; }

  // ---- Tabs (no component of this system draws tabs through the painters) ----
  virtual void DrawTabItem(TcxCanvas* canvas, const TRect& rect, TcxBorders borders,
                           const AnsiString& text, TcxButtonState state, Boolean isVertical,
                           TFont* font, TColor textColor, TColor backgroundColor,
                           Boolean showPrefix = false) const {}
  virtual void DrawTabItemFrame(TcxCanvas* canvas, const TRect& rect, Integer selectedSide,
                                TcxBorders borders, Boolean isVertical) const {}
  virtual void DrawTabsPane(TcxCanvas* canvas, const TRect& rect, TcxBorders borders,
                            Boolean isVertical) const {}
  virtual Boolean IsTabDrawingSupported(Boolean isVertical) const { return false; }
  virtual Boolean SupportsTabHotTrack(Boolean isVertical) const { return false; }
  virtual Integer TabItemBorderWidth(Boolean isVertical) const { return 0; }

  // ---- Indicator ----
  virtual void DrawIndicatorCustomizationGlyph(TcxCanvas* canvas, const TRect& rect,
                                               TColor color) const;
  virtual void DrawIndicatorGlyph(TcxCanvas* canvas, const TRect& rect, Integer kind) const;
  virtual void DrawIndicatorCell(TcxCanvas* canvas, const TRect& rect, Integer kind,
                                 TColor backgroundColor,
                                 TcxDrawBackgroundEvent onDrawBackground = {}) const;
  virtual void DrawIndicatorCellEx(TcxCanvas* canvas, const TRect& rect, Integer kind,
                                   TColor backgroundColor,
                                   TcxDrawBackgroundEvent onDrawBackground = {}) const;
  virtual Boolean IndicatorItemsDrawnFirst() const { return true; }

  // ---- Scroll bar and size grip ----
  virtual Integer ScrollBarMinThumbSize(Boolean isVertical) const { return 8; }
  virtual void DrawScrollBarBackground(TcxCanvas* canvas, const TRect& rect,
                                       Boolean isHorizontal) const {
    DrawScrollBarElement(canvas, isHorizontal, rect, sbpPageUp, cxbsNormal);
  }
  virtual void DrawScrollBarElement(TcxCanvas* canvas, Boolean isHorizontal, const TRect& rect,
                                    TcxScrollBarPart part, TcxButtonState state) const {}
  virtual TSize SizeGripExtent() const;
  virtual void DrawSizeGripArea(TcxCanvas* canvas, const TRect& rect, TColor backgroundColor) const;

  // ---- Calendar, clock and navigator ----
  // Draws the panel and moves the rect's sides in past the frame it drew.
  virtual void DrawCalendarDateTimePanel(TcxCanvas* canvas, TRect& rect) const;
  virtual void DrawBorder193(TcxCanvas* canvas, const TRect& rect) const {
    DrawControlBorder(canvas, rect);
  }
  // A month's caption: a header cell with the text centred and arrows (1 left, 2 right, 3
  // both) pointing out of its inner ends. `sideBorders` says which of the left and right sides
  // get a frame of their own (painters that frame the header).
  virtual void DrawCalendarMonthHeader(TcxCanvas* canvas, const TRect& rect, const AnsiString& text,
                                       TcxNeighbors neighbors, const TcxViewParams& viewParams,
                                       Integer arrows, TcxBorders sideBorders,
                                       TcxDrawBackgroundEvent onCustomDraw = {}) const;
  // The time editor's dial: twelve hour marks on the ellipse of the rect, the face filled with
  // the background colour, the hour, minute and second hands for the time.
  virtual void DrawClockFace(TcxCanvas* canvas, const TRect& rect, TDateTime time,
                             TColor backgroundColor) const;
  // The image of the list at the point (nothing without a list); `buttonIndex` and
  // `customImage` are for skin painters.
  virtual void DrawNavigatorButtonGlyph(TcxCanvas* canvas, TCustomImageList* imageList,
                                        Integer imageIndex, Integer buttonIndex,
                                        const TPoint& topLeft, Boolean enabled,
                                        Boolean customImage) const;
  virtual TSize NavigatorButtonGlyphSize() const { return {0, 0}; }

  // ---- Navigation buttons, event progress and splitters (no component here uses them) ----
  virtual void DrawNavigationButtonWithArrow(TcxCanvas* canvas, const TRect& rect,
                                             Boolean isNextButton, TcxButtonState state) const;
  virtual void CalculateNavigationButtonLayout(const TRect& rect, Boolean isNextButton,
                                               TRect& arrowRect, TRect& textRect) const;
  virtual void DrawEventProgress(TcxCanvas* canvas, const TRect& rect, const TRect& progressRect,
                                 const TcxViewParams& viewParams, Boolean transparent) const;
  // The text turned a quarter (clockwise, or counter-clockwise) inside the rect.
  virtual void DrawRotatedText(TcxCanvas* canvas, const TRect& rect, const AnsiString& text,
                               TFont* font, Boolean clockwise) const;
  virtual void DrawNavigationButtonArrow(TcxCanvas* canvas, const TRect& rect, Boolean isNextButton,
                                         TColor color) const;
  virtual void DrawNavigationBarButton(TcxCanvas* canvas, const TRect& rect,
                                       TcxButtonState state) const {
    DrawPushButton(canvas, rect, "", state);
  }
  virtual void DrawSplitterBorder(TcxCanvas* canvas, const TRect& rect,
                                  const TcxViewParams& viewParams, Boolean isHorizontal) const {}
  virtual TRect EventProgressMargins() const { return {2, 2, 2, 2}; }
  virtual TColor NavigationButtonTextColor() const { return ButtonGlyphColor(cxbsNormal); }
  // The border widths around the arrow and text (left, top, right, bottom), whether the button
  // shows text, and the arrow's size.
  virtual void NavigationButtonSizes(Boolean isNextButton, TRect& borders, Boolean& hasText,
                                     TSize& arrowSize) const;
  virtual Integer BorderWidth202() const { return 1; }

  // ---- Editor buttons and borders (drawn by the editors themselves here) ----
  virtual void DrawEditButton(TcxCanvas* canvas, const TRect& rect, Integer buttonKind,
                              TcxButtonState state) const {}
  virtual Integer EditButtonTextIndent() const { return 0; }
  virtual TSize EditButtonExtent() const { return {0, 0}; }
  virtual TColor EditButtonCaptionColor() const { return clDefault; }
  virtual TColor DefaultEditorBorderColor(Boolean isHighlighted) const { return clDefault; }

  // ---- Progress bar (the bar draws itself; these are the hooks) ----
  virtual void DrawProgressBarBorder(TcxCanvas* canvas, const TRect& rect, Boolean isVertical) const {}
  virtual void DrawProgressBarFill(TcxCanvas* canvas, const TRect& rect, Boolean isVertical) const {}
  virtual TRect ProgressBarBorderWidths(Boolean isVertical) const { return {}; }
  virtual TColor ProgressBarTextColor() const { return ProgressBarTextColorByPart(false); }
  virtual TColor ProgressBarTextColorByPart(Boolean isOverFilled) const {
    return isOverFilled ? clDefault : clWindowText;
  }
  // The bar's text: solid in one colour, or, over the filled part, inverted (or in the
  // over-fill colour where a painter names one). A vertical bar's text is turned by 270 degrees.
  virtual void DrawProgressBarText(TcxCanvas* canvas, Boolean isVertical, Boolean solidText,
                                   const AnsiString& text, const TRect& textRect,
                                   const TRect& barRect, const TRect& filledRect,
                                   TColor textColor) const;

  // ---- Group box and panel ----
  virtual void DrawGroupBoxContent(TcxCanvas* canvas, const TRect& rect, const TRect& rect2) const {}
  virtual void DrawGroupBoxCaption(TcxCanvas* canvas, const TRect& rect, TcxCaptionPosition captionPosition) const {}
  virtual void DrawGroupBoxBorder(TcxCanvas* canvas, const TRect& rect, TcxCaptionPosition captionPosition,
                                  TcxBorders borders) const {}
  virtual void DrawGroupBoxOutline(TcxCanvas* canvas, const TRect& rect, Boolean enabled,
                                   TcxCaptionPosition captionPosition, TcxBorders borders) const {}
  virtual TRect GroupBoxBorderWidths(Boolean hasCaption, TcxCaptionPosition captionPosition) const { return {}; }
  virtual TColor GroupBoxCaptionTextColor(Boolean enabled) const {
    return enabled ? clWindowText : clBtnShadow;
  }
  virtual Boolean IsGroupBoxPartTransparent(Integer part, TcxCaptionPosition captionPosition) const {
    return false;
  }
  // The control is the group box; these painters do not look at it.
  virtual void DrawGroupBoxBackground(TcxCanvas* canvas, TObject* control, const TRect& rect,
                                      TColor color1, TColor color2) const {
    DrawGroupBoxContent(canvas, rect, rect);
  }
  virtual void DrawPanelBackground(TcxCanvas* canvas, const TRect& rect, Boolean flag = false) const {
    canvas->FillRectWithColor(rect, clBtnFace);
  }
  virtual TRect GroupBoxCaptionOffsets(TcxCaptionPosition captionPosition) const { return {}; }

  // ---- Reserved elements (for skin painters; no component here draws them) ----
  virtual void DrawElement226(TcxCanvas* canvas, const TRect& rect) const {}
  virtual void DrawElement227(TcxCanvas* canvas, const TRect& rect, TcxCaptionPosition captionPosition) const {
    DrawGroupBoxCaption(canvas, rect, captionPosition);
  }
  virtual TColor DefaultColor230() const { return clDefault; }
  virtual void DrawElement231(TcxCanvas* canvas, const TRect& rect) const {}
  virtual void DrawElement232(TcxCanvas* canvas, const TRect& rect) const {}
  virtual TSize ElementSize233() const { return {0, 0}; }
  virtual TColor DefaultColor234() const { return clDefault; }
  virtual Integer Metric235() const { return 0; }
  virtual void DrawElement236(TcxCanvas* canvas, const TRect& rect) const {}
  virtual TSize ElementSize237() const { return {0, 0}; }
  virtual TColor DefaultColor238() const { return clBtnFace; }
  virtual void DrawElement239(TcxCanvas* canvas, const TRect& rect) const {
    canvas->FillRectWithColor(rect, DefaultColor238());
  }
  virtual TRect Margins240() const { return {2, 2, 4, 4}; }
  virtual void DrawElement241(TcxCanvas* canvas, const TRect& rect) const {
    canvas->FillRectWithColor(rect, clBtnShadow);
  }
  // A frame in clWindowText (colour index 0) or clHighlight (1) with a clWindowText shadow two
  // pixels down and right, the inside filled with clWindow when asked.
  virtual void DrawElement242(TcxCanvas* canvas, const TRect& rect, Integer colorIndex,
                              Boolean fillInside) const;

  // ---- Calculator ----
  // The caption colour of a calculator button by the calculator's button kind (0 to 27).
  virtual TColor CalculatorButtonTextColor(Integer buttonKind) const;

  // ---- Names other subsystems use ----
  // The editors' clock: the face colour before the time.
  void DrawClockFace(TcxCanvas* canvas, const TRect& rect, TColor faceColor, TDateTime time) const {
    DrawClockFace(canvas, rect, time, faceColor);
  }
  // The editors' navigator: the glyph's rectangle instead of its top-left point.
  void DrawNavigatorButtonGlyph(TcxCanvas* canvas, TCustomImageList* imageList, Integer imageIndex,
                                Integer buttonIndex, const TRect& glyphRect, Boolean enabled,
                                Boolean customImage) const {
    DrawNavigatorButtonGlyph(canvas, imageList, imageIndex, buttonIndex, glyphRect.TopLeft(),
                             enabled, customImage);
  }
  // The editors' progress bar: colour, filled part, bar and text rects, text, solid flag.
  void DrawProgressBarText(TcxCanvas* canvas, Boolean isVertical, TColor textColor,
                           const TRect& filledRect, const TRect& barRect, const TRect& textRect,
                           const AnsiString& text, Boolean solidText) const {
    DrawProgressBarText(canvas, isVertical, solidText, text, textRect, barRect, filledRect,
                        textColor);
  }
  // The editors' group box: the caption position comes along.
  TColor GroupBoxCaptionTextColor(Boolean enabled, TcxCaptionPosition captionPosition) const {
    return GroupBoxCaptionTextColor(enabled);
  }
  // The editors: the arrow with direction before state.
  void DrawStateArrow(TcxCanvas* canvas, const TRect& rect, TcxArrowDirection direction,
                      TcxButtonState state) const {
    DrawStateArrow(canvas, rect, state, direction);
  }
  // The editors: focus bounds of a rect without a canvas.
  TRect ButtonFocusBounds(const TRect& rect) const { return ButtonFocusBounds(nullptr, rect); }
  // The bars: the triangle with the size before the direction.
  static void ComputeArrowTriangle(const TRect& rect, TPoint (&points)[3], Integer arrowSize,
                                   TcxArrowDirection direction) {
    ComputeArrowTriangle(rect, direction, false, arrowSize, points);
  }
  // The grid: background fills that tile the bitmap when one is given, else fill.
  void DrawFilterBoxBackground(TcxCanvas* canvas, const TRect& rect, TBitmap* bitmap,
                               TColor backgroundColor) const {
    DrawFilterBoxBackground(canvas, rect, bitmap != nullptr, backgroundColor, bitmap);
  }

 protected:
  // Only the unit makes painters.
  TcxCustomLookAndFeelPainter() = default;
  // Draws the text of a cell in the font and colour (nothing for an empty text).
  void DrawCellText(TcxCanvas* canvas, const TRect& textRect, TcxAlignmentHorz alignmentHorz,
                    TcxAlignmentVert alignmentVert, Boolean multiLine, Boolean showEndEllipsis,
                    const AnsiString& text, TFont* font, TColor textColor,
                    Boolean enabled = true) const;
  // The sort triangle outlined with two pen colours.
  void DrawSortTriangle(TcxCanvas* canvas, const TRect& rect, Boolean ascending, TColor color1,
                        TColor color2) const;
  // The plus or minus of the expand buttons.
  static void DrawPlusMinusCross(TcxCanvas* canvas, const TRect& rect, Boolean expanded,
                                 TColor color);
  // A page area of a scroll bar: the light brush bitmap, the dark one when pressed.
  static void DrawScrollBarPageArea(TcxCanvas* canvas, const TRect& rect, TcxButtonState state);
  static TcxArrowDirection ScrollBarArrowDirection(Boolean isHorizontal, TcxScrollBarPart part);

  template <class T>
  friend const T& orv::PainterInstance();
};

// ---- Standard and flat ----------------------------------------------------------------------

class TcxStandardLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
  ORV_CLASS(TcxStandardLookAndFeelPainter, TcxCustomLookAndFeelPainter)
 public:
  static TcxCustomLookAndFeelPainterClass Class();

  Integer StyleId() const override { return cxPainterStyleStandard; }
  TColor DefaultColor63() const override { return clWindow; }
  Integer ControlBorderWidth() const override { return 2; }
  void DrawControlBorder(TcxCanvas* canvas, const TRect& rect) const override;
  Integer ButtonBorderWidth(TcxButtonState state = cxbsNormal) const override {
    return state == cxbsDefault ? 3 : 2;
  }
  Integer ButtonTextIndent() const override { return 1; }
  Integer ButtonPressedTextShift() const override { return 1; }
  void DrawButtonFrame(TcxCanvas* canvas, const TRect& rect, TcxButtonState state) const override;
  void DrawExpandCollapseButton(TcxCanvas* canvas, const TRect& rect, Boolean expanded,
                                TColor color = clDefault) const override;
  void DrawGroupExpandChevronButton(TcxCanvas* canvas, const TRect& rect, Boolean pointingUp,
                                    TcxButtonState state) const override;
  Integer ExpandCollapseButtonSize() const override { return 12; }
  Boolean SupportsButtonHotTrack() const override { return false; }
  void DrawCheckBoxFrame(TcxCanvas* canvas, const TRect& rect, TcxButtonState state) const override;
  void DrawHeaderCellBorder(TcxCanvas* canvas, const TRect& rect, TcxNeighbors neighbors,
                            TcxBorders borders) const override;
  void DrawHeaderSectionBorder(TcxCanvas* canvas, const TRect& rect, TcxBorders borders,
                               TcxButtonState state) const override;
  void DrawSortArrow(TcxCanvas* canvas, const TRect& rect, Boolean ascending) const override;
  Integer HeaderCellBorderWidth() const override { return 1; }
  Integer HeaderSectionBorderWidth(TcxButtonState state) const override {
    return state == cxbsPressed ? 1 : 2;
  }
  TPoint SortArrowSize() const override { return {8, 7}; }
  Integer FooterBorderWidth() const override { return 1; }
  Integer FooterCellBorderWidth() const override { return 1; }
  Integer FooterCellIndent() const override { return 1; }
  void DrawFooterFrame(TcxCanvas* canvas, const TRect& rect) const override;
  void DrawFooterCellFrame(TcxCanvas* canvas, const TRect& rect) const override;
  void DrawFilterDropDownArrowButton(TcxCanvas* canvas, const TRect& rect, TcxButtonState state,
                                     Boolean isFilterActive) const override;
  void DrawTabsPane(TcxCanvas* canvas, const TRect& rect, TcxBorders borders,
                    Boolean isVertical) const override;
  Integer TabItemBorderWidth(Boolean isVertical) const override { return 1; }
  void DrawScrollBarElement(TcxCanvas* canvas, Boolean isHorizontal, const TRect& rect,
                            TcxScrollBarPart part, TcxButtonState state) const override;
  void DrawGroupBoxOutline(TcxCanvas* canvas, const TRect& rect, Boolean enabled,
                           TcxCaptionPosition captionPosition, TcxBorders borders) const override;
  void DrawCalendarMonthHeader(TcxCanvas* canvas, const TRect& rect, const AnsiString& text,
                               TcxNeighbors neighbors, const TcxViewParams& viewParams,
                               Integer arrows, TcxBorders sideBorders,
                               TcxDrawBackgroundEvent onCustomDraw = {}) const override;
  void DrawSplitterBorder(TcxCanvas* canvas, const TRect& rect, const TcxViewParams& viewParams,
                          Boolean isHorizontal) const override;

 protected:
  TcxStandardLookAndFeelPainter() = default;
  template <class T>
  friend const T& orv::PainterInstance();
};

class TcxFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
  ORV_CLASS(TcxFlatLookAndFeelPainter, TcxCustomLookAndFeelPainter)
 public:
  static TcxCustomLookAndFeelPainterClass Class();

  Integer StyleId() const override { return cxPainterStyleFlat; }
  Integer ControlBorderWidth() const override { return 1; }
  void DrawControlBorder(TcxCanvas* canvas, const TRect& rect) const override;
  Integer ButtonBorderWidth(TcxButtonState state = cxbsNormal) const override {
    return state == cxbsDefault ? 2 : 1;
  }
  Integer ButtonTextIndent() const override { return 1; }
  Integer ButtonPressedTextShift() const override { return 1; }
  void DrawButtonFrame(TcxCanvas* canvas, const TRect& rect, TcxButtonState state) const override;
  void DrawExpandCollapseButton(TcxCanvas* canvas, const TRect& rect, Boolean expanded,
                                TColor color = clDefault) const override;
  Integer ExpandCollapseButtonSize() const override { return 11; }
  Boolean SupportsButtonHotTrack() const override { return false; }
  void DrawCheckBoxFrame(TcxCanvas* canvas, const TRect& rect, TcxButtonState state) const override;
  void DrawHeaderCellBorder(TcxCanvas* canvas, const TRect& rect, TcxNeighbors neighbors,
                            TcxBorders borders) const override;
  void DrawHeaderSectionBorder(TcxCanvas* canvas, const TRect& rect, TcxBorders borders,
                               TcxButtonState state) const override;
  void DrawSortArrow(TcxCanvas* canvas, const TRect& rect, Boolean ascending) const override;
  Integer HeaderCellBorderWidth() const override { return 1; }
  TPoint SortArrowSize() const override { return {8, 7}; }
  Integer FooterBorderWidth() const override { return 1; }
  Integer FooterCellBorderWidth() const override { return 1; }
  Integer FooterCellIndent() const override { return 1; }
  void DrawFooterFrame(TcxCanvas* canvas, const TRect& rect) const override;
  void DrawFooterCellFrame(TcxCanvas* canvas, const TRect& rect) const override;
  void DrawFilterDropDownArrowButton(TcxCanvas* canvas, const TRect& rect, TcxButtonState state,
                                     Boolean isFilterActive) const override;
  void DrawTabsPane(TcxCanvas* canvas, const TRect& rect, TcxBorders borders,
                    Boolean isVertical) const override;
  Integer TabItemBorderWidth(Boolean isVertical) const override { return 1; }
  void DrawScrollBarElement(TcxCanvas* canvas, Boolean isHorizontal, const TRect& rect,
                            TcxScrollBarPart part, TcxButtonState state) const override;
  void DrawCalendarDateTimePanel(TcxCanvas* canvas, TRect& rect) const override;
  void DrawGroupBoxOutline(TcxCanvas* canvas, const TRect& rect, Boolean enabled,
                           TcxCaptionPosition captionPosition, TcxBorders borders) const override;
  void DrawSplitterBorder(TcxCanvas* canvas, const TRect& rect, const TcxViewParams& viewParams,
                          Boolean isHorizontal) const override;

 protected:
  TcxFlatLookAndFeelPainter() = default;
  template <class T>
  friend const T& orv::PainterInstance();
};

// ---- Ultra-flat -----------------------------------------------------------------------------

class TcxUltraFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
  ORV_CLASS(TcxUltraFlatLookAndFeelPainter, TcxCustomLookAndFeelPainter)
 public:
  static TcxCustomLookAndFeelPainterClass Class();

  // New operations.
  virtual TColor ButtonBorderColor(TcxButtonState state) const {
    return state == cxbsNormal ? clBtnShadow : clHighlight;
  }
  virtual TColor TabsFrameColor() const { return clBtnShadow; }
  virtual TColor DefaultColor246() const { return clBtnText; }
  virtual TColor SelectedButtonFrameColor() const { return clHighlight; }

  void DrawFooterSeparatorAndBorder(TcxCanvas* canvas, const TRect& rect,
                                    TcxBorders borders) const override;
  Integer StyleId() const override { return cxPainterStyleUltraFlat; }
  TColor DefaultColor58() const override { return clBtnShadow; }
  Integer ControlBorderWidth() const override { return 1; }
  void DrawControlBorder(TcxCanvas* canvas, const TRect& rect) const override;
  Integer ButtonBorderWidth(TcxButtonState state = cxbsNormal) const override {
    return state == cxbsDefault ? 2 : 1;
  }
  TColor ButtonFaceColor(TcxButtonState state) const override;
  TRect ButtonFocusBounds(TcxCanvas* canvas, const TRect& rect) const override;
  TRect GroupButtonBorderWidths(Integer buttonCount, Integer buttonIndex) const override;
  Integer ButtonTextIndent() const override { return 2; }
  Integer ButtonPressedTextShift() const override { return 0; }
  TColor ButtonGlyphColor(TcxButtonState state, TColor color = clDefault) const override;
  TcxButtonState ButtonGlyphState(TcxButtonState state) const override { return cxbsNormal; }
  void DrawGroupButton(TcxCanvas* canvas, const TRect& rect, TcxButtonState state,
                       Integer buttonCount, Integer buttonIndex, TColor frameColor) const override;
  void DrawButtonFrame(TcxCanvas* canvas, const TRect& rect, TcxButtonState state) const override;
  void DrawGroupButtonFocusFrame(TcxCanvas* canvas, const TRect& rect, Boolean inplace,
                                 Boolean selected) const override;
  void DrawExpandCollapseButton(TcxCanvas* canvas, const TRect& rect, Boolean expanded,
                                TColor color = clDefault) const override;
  Integer ExpandCollapseButtonSize() const override { return 11; }
  Boolean SupportsButtonHotTrack() const override { return true; }
  void DrawCheckBoxFrame(TcxCanvas* canvas, const TRect& rect, TcxButtonState state) const override;
  void DrawHeaderCellEx(TcxCanvas* canvas, const TRect& bounds, const TRect& textRect,
                        TcxNeighbors neighbors, TcxBorders borders, TcxButtonState state,
                        TcxAlignmentHorz alignmentHorz, TcxAlignmentVert alignmentVert,
                        Boolean multiLine, Boolean showEndEllipsis, const AnsiString& text,
                        TFont* font, TColor textColor, TColor backgroundColor,
                        TcxDrawBackgroundEvent onDrawBackground = {}) const override;
  void DrawHeaderCellBorder(TcxCanvas* canvas, const TRect& rect, TcxNeighbors neighbors,
                            TcxBorders borders) const override;
  void DrawHeaderSectionBorder(TcxCanvas* canvas, const TRect& rect, TcxBorders borders,
                               TcxButtonState state) const override;
  void DrawHeaderSectionContent(TcxCanvas* canvas, const TRect& bounds, const TRect& textRect,
                                TcxButtonState state, TcxAlignmentHorz alignmentHorz,
                                TcxAlignmentVert alignmentVert, Boolean multiLine,
                                Boolean showEndEllipsis, const AnsiString& text, TFont* font,
                                TColor textColor, TColor backgroundColor) const override;
  void DrawSortArrow(TcxCanvas* canvas, const TRect& rect, Boolean ascending) const override;
  TcxBorders HeaderCellBorders(TcxNeighbors neighbors) const override;
  Integer HeaderCellBorderWidth() const override { return 1; }
  TPoint SortArrowSize() const override { return {7, 8}; }
  TcxBorders FooterBorders() const override { return {bRight, bBottom}; }
  Integer FooterBorderWidth() const override { return 1; }
  Integer FooterCellBorderWidth() const override { return 1; }
  Integer FooterCellIndent() const override { return 2; }
  void DrawFooterFrame(TcxCanvas* canvas, const TRect& rect) const override;
  void DrawFooterCellFrame(TcxCanvas* canvas, const TRect& rect) const override;
  void DrawFilterDropDownArrowButton(TcxCanvas* canvas, const TRect& rect, TcxButtonState state,
                                     Boolean isFilterActive) const override;
  TPoint FilterBoxCloseButtonSize() const override { return {16, 15}; }
  void DrawTabsPane(TcxCanvas* canvas, const TRect& rect, TcxBorders borders,
                    Boolean isVertical) const override;
  Integer TabItemBorderWidth(Boolean isVertical) const override { return 1; }
  void DrawScrollBarElement(TcxCanvas* canvas, Boolean isHorizontal, const TRect& rect,
                            TcxScrollBarPart part, TcxButtonState state) const override;
  void DrawGroupBoxOutline(TcxCanvas* canvas, const TRect& rect, Boolean enabled,
                           TcxCaptionPosition captionPosition, TcxBorders borders) const override;
  void DrawNavigationButtonWithArrow(TcxCanvas* canvas, const TRect& rect, Boolean isNextButton,
                                     TcxButtonState state) const override;
  void DrawNavigationBarButton(TcxCanvas* canvas, const TRect& rect,
                               TcxButtonState state) const override;
  void DrawSplitterBorder(TcxCanvas* canvas, const TRect& rect, const TcxViewParams& viewParams,
                          Boolean isHorizontal) const override;
  void DrawElement241(TcxCanvas* canvas, const TRect& rect) const override;

 protected:
  TcxUltraFlatLookAndFeelPainter() = default;
  template <class T>
  friend const T& orv::PainterInstance();
};

// ---- Office 11 ------------------------------------------------------------------------------

// Reads the Office 11 palette (dxOffice11) at every call; the palette is computed while some
// look and feel exists (its system-palette listener holds the Office 11 resources).
class TcxOffice11LookAndFeelPainter : public TcxUltraFlatLookAndFeelPainter {
  ORV_CLASS(TcxOffice11LookAndFeelPainter, TcxUltraFlatLookAndFeelPainter)
 public:
  static TcxCustomLookAndFeelPainterClass Class();

  // New operations.
  virtual TColor Office11HeaderBottomColor() const;
  virtual TColor Office11BorderLineColor() const;
  virtual TColor Office11Color250() const;
  virtual TColor Office11HeaderBackgroundColor() const;

  TColor ButtonBorderColor(TcxButtonState state) const override;
  TColor TabsFrameColor() const override { return Office11BorderLineColor(); }
  TColor DefaultColor246() const override { return clBtnText; }
  TColor SelectedButtonFrameColor() const override;

  void DrawContentAndText(TcxCanvas* canvas, const TRect& bounds, const TRect& textRect,
                          TcxButtonState state, TcxAlignmentHorz alignmentHorz,
                          TcxAlignmentVert alignmentVert, Boolean multiLine,
                          Boolean showEndEllipsis, const AnsiString& text, TFont* font,
                          TColor textColor, TColor backgroundColor,
                          TcxDrawBackgroundEvent onDrawBackground, Boolean isFooter) const override;
  Integer StyleId() const override { return cxPainterStyleOffice11; }
  Boolean UsesVisualStyles() const override { return true; }

  TColor DefaultFilterBoxColor() const override;
  TColor DefaultFilterBoxTextColor() const override;
  TColor DefaultFooterColor() const override;
  TColor DefaultFooterTextColor() const override { return DefaultHeaderTextColor(); }
  TColor DefaultGroupByBoxColor() const override;
  TColor DefaultGroupByBoxTextColor() const override;
  TColor DefaultGroupColor() const override;
  TColor DefaultColor28() const override { return DefaultGroupByBoxColor(); }
  TColor DefaultHeaderColor() const override { return Office11HeaderBackgroundColor(); }
  TColor DefaultCalendarHeaderColor() const override;
  TColor DefaultCalendarSelectionColor() const override;
  TColor DefaultCalendarSelectionTextColor() const override { return clWindowText; }
  TColor DefaultColor58() const override;
  TColor DefaultColor59() const override;
  TColor DefaultTabColor() const override;
  TColor DefaultColor71() const override { return DefaultTabColor(); }
  TColor DefaultColor74() const override;
  TColor DefaultColor76() const override { return DefaultColor59(); }
  TColor DefaultFooterSeparatorColor() const override { return Office11BorderLineColor(); }

  void DrawControlBorder(TcxCanvas* canvas, const TRect& rect) const override;
  TColor ButtonFaceColor(TcxButtonState state) const override;
  TColor ButtonGlyphColor(TcxButtonState state, TColor color = clDefault) const override;
  void DrawButtonFrame(TcxCanvas* canvas, const TRect& rect, TcxButtonState state) const override;
  void DrawExpandCollapseButton(TcxCanvas* canvas, const TRect& rect, Boolean expanded,
                                TColor color = clDefault) const override;
  Boolean ExpandButtonDrawnFirst() const override { return false; }
  void DrawSmallPlusMinusButton(TcxCanvas* canvas, const TRect& rect, Boolean expanded,
                                TColor borderColor, TColor color = clDefault) const override;
  Integer ExpandCollapseButtonSize() const override { return 11; }
  Integer SmallPlusMinusButtonSize() const override { return ExpandCollapseButtonSize(); }
  TColor CheckBoxColor(TcxButtonState state) const override;
  void DrawHeaderCell(TcxCanvas* canvas, const TRect& bounds, const TRect& textRect,
                      TcxNeighbors neighbors, TcxBorders borders, TcxButtonState state,
                      TcxAlignmentHorz alignmentHorz, TcxAlignmentVert alignmentVert,
                      Boolean multiLine, Boolean showEndEllipsis, const AnsiString& text,
                      TFont* font, TColor textColor, TColor backgroundColor,
                      TcxDrawBackgroundEvent onDrawBackground = {}, Boolean isLast = false,
                      Boolean isGroup = false) const override;
  void DrawHeaderCellBorder(TcxCanvas* canvas, const TRect& rect, TcxNeighbors neighbors,
                            TcxBorders borders) const override;
  void DrawHeaderSection(TcxCanvas* canvas, const TRect& bounds, const TRect& textRect,
                         TcxNeighbors neighbors, TcxBorders borders, TcxButtonState state,
                         TcxAlignmentHorz alignmentHorz, TcxAlignmentVert alignmentVert,
                         Boolean multiLine, Boolean showEndEllipsis, const AnsiString& text,
                         TFont* font, TColor textColor, TColor backgroundColor) const override;
  void DrawSortArrow(TcxCanvas* canvas, const TRect& rect, Boolean ascending) const override;
  TcxBorders HeaderCellBorders(TcxNeighbors neighbors) const override { return cxBordersAll; }
  Integer HeaderCellBorderWidth() const override { return 1; }
  Boolean SupportsHeaderHotTrack() const override { return true; }
  void DrawScrollBarElement(TcxCanvas* canvas, Boolean isHorizontal, const TRect& rect,
                            TcxScrollBarPart part, TcxButtonState state) const override;
  void DrawSizeGripArea(TcxCanvas* canvas, const TRect& rect, TColor backgroundColor) const override;
  void DrawCalendarDateTimePanel(TcxCanvas* canvas, TRect& rect) const override;
  void DrawBorder193(TcxCanvas* canvas, const TRect& rect) const override;
  void DrawGroupBoxOutline(TcxCanvas* canvas, const TRect& rect, Boolean enabled,
                           TcxCaptionPosition captionPosition, TcxBorders borders) const override;
  TColor GroupBoxCaptionTextColor(Boolean enabled) const override;
  void DrawGroupBoxBackground(TcxCanvas* canvas, TObject* control, const TRect& rect, TColor color1,
                              TColor color2) const override;
  void DrawCalendarMonthHeader(TcxCanvas* canvas, const TRect& rect, const AnsiString& text,
                               TcxNeighbors neighbors, const TcxViewParams& viewParams,
                               Integer arrows, TcxBorders sideBorders,
                               TcxDrawBackgroundEvent onCustomDraw = {}) const override;
  void DrawNavigationButtonWithArrow(TcxCanvas* canvas, const TRect& rect, Boolean isNextButton,
                                     TcxButtonState state) const override;
  void DrawNavigationBarButton(TcxCanvas* canvas, const TRect& rect,
                               TcxButtonState state) const override;
  void DrawElement239(TcxCanvas* canvas, const TRect& rect) const override;

 protected:
  TcxOffice11LookAndFeelPainter() = default;
  template <class T>
  friend const T& orv::PainterInstance();
};

// ---- Themed ---------------------------------------------------------------------------------

// The visual-style painter: draws with the parts of the platform's themes, opened through the
// theme manager; every operation whose theme cannot be opened (visual styles off, as always on
// this platform) falls back to the standard painter's drawing or to the value named for the
// missing theme.
class TcxWinXPLookAndFeelPainter : public TcxStandardLookAndFeelPainter {
  ORV_CLASS(TcxWinXPLookAndFeelPainter, TcxStandardLookAndFeelPainter)
 public:
  static TcxCustomLookAndFeelPainterClass Class();

  // New operation: the text as theme text of the part and state, aligned and cut as asked.
  virtual void DrawThemedText(TcxCanvas* canvas, TdxTheme theme, Integer part, Integer state,
                              const TRect& textRect, TcxAlignmentHorz alignmentHorz,
                              TcxAlignmentVert alignmentVert, Boolean multiLine,
                              Boolean showEndEllipsis, Boolean showPrefix, const AnsiString& text,
                              TFont* font, TColor textColor) const;

  void DrawNavigationButtonWithArrow(TcxCanvas* canvas, const TRect& rect, Boolean isNextButton,
                                     TcxButtonState state) const override;
  Integer StyleId() const override { return cxPainterStyleThemed; }
  Boolean UsesVisualStyles() const override;
  TColor DefaultColor58() const override;
  TColor DefaultColor63() const override { return TColor(0xD5FFFF); }
  void DrawArrowButton(TcxCanvas* canvas, const TRect& rect, TcxButtonState state,
                       TcxArrowDirection direction, Boolean drawBackground = true) const override;
  void DrawArrowButtonBackground(TcxCanvas* canvas, const TRect& rect,
                                 TcxButtonState state) const override;
  Integer ControlBorderWidth() const override;
  void DrawControlBorder(TcxCanvas* canvas, const TRect& rect) const override;
  TRect AdjustGroupButtonRect(const TRect& rect, Integer buttonCount,
                              Integer buttonIndex) const override;
  Integer ButtonBorderWidth(TcxButtonState state = cxbsNormal) const override;
  TColor ButtonFaceColor(TcxButtonState state) const override;
  TRect ButtonFocusBounds(TcxCanvas* canvas, const TRect& rect) const override;
  TRect GroupButtonBorderWidths(Integer buttonCount, Integer buttonIndex) const override;
  Integer ButtonTextIndent() const override { return 2; }
  Integer ButtonPressedTextShift() const override { return 0; }
  TColor ButtonGlyphColor(TcxButtonState state, TColor color = clDefault) const override;
  void DrawPushButton(TcxCanvas* canvas, const TRect& rect, const AnsiString& caption,
                      TcxButtonState state, Boolean drawBorder = true, TColor color = clDefault,
                      TColor textColor = clDefault, Boolean wordWrap = false,
                      TcxButtonKind buttonKind = cxbkPushButton) const override;
  void DrawExpandCollapseButton(TcxCanvas* canvas, const TRect& rect, Boolean expanded,
                                TColor color = clDefault) const override;
  Boolean ExpandButtonDrawnFirst() const override { return false; }
  void DrawGroupExpandChevronButton(TcxCanvas* canvas, const TRect& rect, Boolean pointingUp,
                                    TcxButtonState state) const override;
  void DrawSmallPlusMinusButton(TcxCanvas* canvas, const TRect& rect, Boolean expanded,
                                TColor borderColor, TColor color = clDefault) const override;
  Integer ExpandCollapseButtonSize() const override;
  Integer GroupExpandChevronButtonSize() const override;
  Boolean SupportsButtonHotTrack() const override { return true; }
  Boolean IsPointInGroupExpandChevronButton(const TRect& rect, const TPoint& point) const override;
  Integer SmallPlusMinusButtonSize() const override;
  Integer CheckBoxBorderWidth() const override;
  TSize CheckBoxSize() const override;
  void DrawCheckMark(TcxCanvas* canvas, const TRect& rect, TcxButtonState state, Boolean checked,
                     TColor markColor) const override;
  void DrawCheckBoxFrame(TcxCanvas* canvas, const TRect& rect, TcxButtonState state) const override;
  void DrawRadioButton(TcxCanvas* canvas, Integer x, Integer y, TcxButtonState state,
                       Boolean checked, Boolean focused, TColor backgroundColor,
                       Boolean isDesigning = false) const override;
  TSize RadioButtonGlyphSize() const override;
  void DrawHeaderCell(TcxCanvas* canvas, const TRect& bounds, const TRect& textRect,
                      TcxNeighbors neighbors, TcxBorders borders, TcxButtonState state,
                      TcxAlignmentHorz alignmentHorz, TcxAlignmentVert alignmentVert,
                      Boolean multiLine, Boolean showEndEllipsis, const AnsiString& text,
                      TFont* font, TColor textColor, TColor backgroundColor,
                      TcxDrawBackgroundEvent onDrawBackground = {}, Boolean isLast = false,
                      Boolean isGroup = false) const override;
  void DrawHeaderCellPressed(TcxCanvas* canvas, const TRect& rect) const override {}
  void DrawHeaderSection(TcxCanvas* canvas, const TRect& bounds, const TRect& textRect,
                         TcxNeighbors neighbors, TcxBorders borders, TcxButtonState state,
                         TcxAlignmentHorz alignmentHorz, TcxAlignmentVert alignmentVert,
                         Boolean multiLine, Boolean showEndEllipsis, const AnsiString& text,
                         TFont* font, TColor textColor, TColor backgroundColor) const override;
  void DrawSortArrow(TcxCanvas* canvas, const TRect& rect, Boolean ascending) const override;
  Integer HeaderCellBorderWidth() const override;
  Integer HeaderSectionBorderWidth(TcxButtonState state) const override {
    return HeaderCellBorderWidth();
  }
  TRect HeaderSectionContentBounds(const TRect& rect, TcxButtonState state) const override;
  Boolean SupportsHeaderHotTrack() const override { return true; }
  TPoint SortArrowSize() const override;
  Integer FooterBorderWidth() const override { return 1; }
  Integer FooterCellBorderWidth() const override;
  Integer FooterCellIndent() const override { return 1; }
  Boolean FooterCellsDrawnFirst() const override { return false; }
  void DrawFooterCell(TcxCanvas* canvas, const TRect& bounds, TcxAlignmentHorz alignmentHorz,
                      TcxAlignmentVert alignmentVert, Boolean multiLine, const AnsiString& text,
                      TFont* font, TColor textColor, TColor backgroundColor,
                      TcxDrawBackgroundEvent onDrawBackground = {}) const override;
  void DrawFooterFrame(TcxCanvas* canvas, const TRect& rect) const override;
  void DrawFilterBoxCloseButton(TcxCanvas* canvas, const TRect& rect,
                                TcxButtonState state) const override;
  void DrawFilterDropDownArrowButton(TcxCanvas* canvas, const TRect& rect, TcxButtonState state,
                                     Boolean isFilterActive) const override;
  TPoint FilterCheckBoxSize() const override;
  TPoint FilterBoxCloseButtonSize() const override;
  void DrawTabItem(TcxCanvas* canvas, const TRect& rect, TcxBorders borders, const AnsiString& text,
                   TcxButtonState state, Boolean isVertical, TFont* font, TColor textColor,
                   TColor backgroundColor, Boolean showPrefix = false) const override;
  void DrawTabItemFrame(TcxCanvas* canvas, const TRect& rect, Integer selectedSide,
                        TcxBorders borders, Boolean isVertical) const override;
  void DrawTabsPane(TcxCanvas* canvas, const TRect& rect, TcxBorders borders,
                    Boolean isVertical) const override;
  Boolean IsTabDrawingSupported(Boolean isVertical) const override;
  Boolean SupportsTabHotTrack(Boolean isVertical) const override;
  Integer TabItemBorderWidth(Boolean isVertical) const override { return 1; }
  void DrawIndicatorCell(TcxCanvas* canvas, const TRect& rect, Integer kind, TColor backgroundColor,
                         TcxDrawBackgroundEvent onDrawBackground = {}) const override;
  Integer ScrollBarMinThumbSize(Boolean isVertical) const override;
  void DrawScrollBarElement(TcxCanvas* canvas, Boolean isHorizontal, const TRect& rect,
                            TcxScrollBarPart part, TcxButtonState state) const override;
  void DrawSizeGripArea(TcxCanvas* canvas, const TRect& rect, TColor backgroundColor) const override;
  void DrawCalendarMonthHeader(TcxCanvas* canvas, const TRect& rect, const AnsiString& text,
                               TcxNeighbors neighbors, const TcxViewParams& viewParams,
                               Integer arrows, TcxBorders sideBorders,
                               TcxDrawBackgroundEvent onCustomDraw = {}) const override;
  void DrawEventProgress(TcxCanvas* canvas, const TRect& rect, const TRect& progressRect,
                         const TcxViewParams& viewParams, Boolean transparent) const override;
  void DrawNavigationBarButton(TcxCanvas* canvas, const TRect& rect,
                               TcxButtonState state) const override;
  void DrawSplitterBorder(TcxCanvas* canvas, const TRect& rect, const TcxViewParams& viewParams,
                          Boolean isHorizontal) const override;
  TRect EventProgressMargins() const override;
  void DrawCalendarDateTimePanel(TcxCanvas* canvas, TRect& rect) const override;
  void DrawGroupBoxOutline(TcxCanvas* canvas, const TRect& rect, Boolean enabled,
                           TcxCaptionPosition captionPosition, TcxBorders borders) const override;
  TColor GroupBoxCaptionTextColor(Boolean enabled) const override;
  void DrawGroupBoxBackground(TcxCanvas* canvas, TObject* control, const TRect& rect, TColor color1,
                              TColor color2) const override;

 protected:
  TcxWinXPLookAndFeelPainter() = default;
  template <class T>
  friend const T& orv::PainterInstance();
};

// ---- Extended-style (skin) painter registry ---------------------------------------------------

// Told by the registry that the skins changed (a look and feel answers with a change of all
// three of its values).
class IcxLookAndFeelSkinListener : public virtual IInterface {
 public:
  virtual void SkinsChanged() = 0;
};

// A painter registered under a name.
class TcxExtendedStylePainterInfo : public TObject {
  ORV_CLASS(TcxExtendedStylePainterInfo, TObject)
 public:
  TcxExtendedStylePainterInfo(const AnsiString& name, TcxCustomLookAndFeelPainterClass painter)
      : FName(name), FPainter(painter) {}
  const AnsiString& GetName() const { return FName; }
  TcxCustomLookAndFeelPainterClass GetPainter() const { return FPainter; }

 private:
  AnsiString FName;
  TcxCustomLookAndFeelPainterClass FPainter;
};

// The skin painters known by name; empty unless a skin library registers painters (none does
// in this system), and the look and feels that use a skin painter, told when skins change.
class TcxExtendedStylePainters : public TObject {
  ORV_CLASS(TcxExtendedStylePainters, TObject)
 public:
  TcxExtendedStylePainters() = default;
  ~TcxExtendedStylePainters() override;

  // Adds a painter under a name (replacing one of the same name) and tells the listeners.
  void Register(const AnsiString& name, TcxCustomLookAndFeelPainterClass painter);
  void Unregister(const AnsiString& name);

  Integer GetCount() const { return Integer(FItems.size()); }
  TcxExtendedStylePainterInfo* GetItem(Integer index) const { return FItems[std::size_t(index)]; }
  // Index of the first item of that name (ASCII case ignored), or -1.
  Integer FindInfoByName(const AnsiString& name) const;
  // False leaves `painter` alone.
  Boolean GetPainterByName(const AnsiString& name, TcxCustomLookAndFeelPainterClass& painter) const;

  void AddListener(IcxLookAndFeelSkinListener* listener);
  void RemoveListener(IcxLookAndFeelSkinListener* listener);
  Integer GetListenerCount() const { return Integer(FListeners.size()); }

 private:
  void NotifyListeners();
  std::vector<TcxExtendedStylePainterInfo*> FItems;
  std::vector<IcxLookAndFeelSkinListener*> FListeners;
};

// The registry, created at the unit's start (on first use here) and freed at exit.
TcxExtendedStylePainters* GetExtendedStylePainters();

// ---- Shared images --------------------------------------------------------------------------

// The row indicator glyphs: six 8 x 9 images, white transparent (kind k draws image k - 1).
void CreateIndicatorImages();
void DestroyIndicatorImages();
TcxImageList* GetIndicatorImages();

// The 8 x 8 page brushes of scroll bars: the light one (button face and highlight) and the
// dark one of pressed page areas (black and dark shadow), checkerboards aligned to the canvas.
void CreateScrollBarBitmaps();
// Makes them when missing and fills both again from the current system colours.
void UpdateScrollBarBitmaps();
TcxBitmap* GetScrollBarBitmap(Boolean pressed);

// The check-box glyph size, computed once at the unit's start (13 x 13, the classic glyph).
void CalculateCheckBoxSize();

// Radio buttons of the four non-themed looks, rendered from one pixel pattern of the
// platform's radio glyph and cached as 128 images (state x kind x checked x designing x
// focused).
class TcxRadioButtonImageList : public TObject {
  ORV_CLASS(TcxRadioButtonImageList, TObject)
 public:
  TcxRadioButtonImageList();
  ~TcxRadioButtonImageList() override;

  // The state must be normal, hot, pressed or disabled (default is drawn as normal).
  void Draw(TcxCanvas* canvas, Integer x, Integer y, TColor backgroundColor,
            TcxLookAndFeelKind kind, TcxButtonState state, Boolean checked, Boolean focused,
            Boolean isDesigning);
  TSize GetSize() const { return {FSize.cx, FSize.cy}; }
  Integer GetImageIndex(TcxLookAndFeelKind kind, TcxButtonState state, Boolean checked,
                        Boolean focused, Boolean isDesigning);
  // Renders the images when the list is empty.
  void Prepare();
  // Drops the images and renders them again (the system colours changed).
  void Reset();
  TcxImageList* GetImageList() const { return FImageList; }
  // Pattern index of a pixel (0 outside the glyph .. 6 check dot).
  Integer GetPatternIndex(Integer x, Integer y) const {
    return FPattern[std::size_t(y) * std::size_t(FSize.cx) + std::size_t(x)];
  }
  const TRect& GetRadioRect() const { return FRadioRect; }
  const TRect& GetCheckRect() const { return FCheckRect; }

 private:
  void CalculateGeometry();
  void BuildPattern();
  TSize FSize{};
  TRect FRadioRect{};
  TRect FCheckRect{};
  std::vector<Byte> FPattern;
  TcxImageList* FImageList = nullptr;
  TcxBitmap* FMask = nullptr;
};

// The shared list, made and prepared on first use.
TcxRadioButtonImageList* GetRadioButtonImageList();
// The colour of one pattern index (0-6) in a radio-button look.
TColor RadioButtonPatternColor(Integer index, TcxLookAndFeelKind kind, TcxButtonState state,
                               Boolean checked, Boolean focused, Boolean isDesigning);

// The system colours changed: the radio-button images are rendered again on next use and the
// scroll-bar brushes refilled.
void LookAndFeelPaintersSystemColorsChanged();
