// Drawing and measuring routines every editor kind shares: filled arrows, one-pixel rectangle
// sides and polylines, transparent glyphs and image-list images, rectangle fills, the width of an
// edit button, border widths, button frame heights, the painter class of a kind, the two text flag
// sets, hot and ultra-flat colours, and the canvas font by its logical-font record. None keeps
// state; brushes come from the shared solid-brush cache.
#pragma once

#include "components/editors/cxEdit.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "platform/controls/Graphics.h"
#include "platform/controls/ImgList.h"

// Arrow directions of DrawEditArrow.
inline constexpr Integer cxEditArrowUp = 0;
inline constexpr Integer cxEditArrowDown = 1;
inline constexpr Integer cxEditArrowLeft = 2;
inline constexpr Integer cxEditArrowRight = 3;
// Side sets of DrawRectSidesAndShrink.
inline constexpr Integer cxEditSideLeft = 1;
inline constexpr Integer cxEditSideTop = 2;
inline constexpr Integer cxEditSideRight = 4;
inline constexpr Integer cxEditSideBottom = 8;
inline constexpr Integer cxEditSidesAll = 15;

// One arrow (two one after the other with `isDouble`) centred in `rect`, `size` one-pixel strips
// deep; `shifted` moves it one pixel right and down. Directions outside 0-3 draw nothing.
void DrawEditArrow(TcxCanvas* canvas, Integer size, const TRect& rect, Integer direction, Boolean isDouble,
                   Boolean shifted, TColor color);
// The arrow box for a button box: an odd width W and W div 2 + 1 deep.
TSize CalculateArrowSize(const TSize& size, Integer direction);
// Draws the chosen sides as one-pixel lines and moves each drawn side one pixel inwards.
void DrawRectSidesAndShrink(TcxCanvas* canvas, TRect& rect, Integer sides, TColor color);
// A polyline through points[0..lastIndex], the end point included; `fillMode` draws horizontal
// and vertical segments with the brush instead of the pen.
void DrawColoredPolyline(TcxCanvas* canvas, const TPoint* points, Integer lastIndex, Boolean fillMode,
                         TColor color);
// The glyph at (x, y), its transparent colour showing `backgroundColor` (clNone: what lies below),
// or drawn disabled.
void DrawTransparentGlyph(TcxCanvas* canvas, Integer x, Integer y, TBitmap* glyph, TColor backgroundColor,
                          Boolean enabled = true, TBitmap* workBitmap = nullptr);
// One image of the list at the rectangle's top-left corner through an off-screen bitmap.
void DrawImageListImage(TcxCanvas* canvas, TCustomImageList* images, Integer imageIndex, const TRect& rect,
                        TColor backgroundColor, Boolean enabled = true, TBitmap* workBitmap = nullptr);
Boolean IsGlyphAssigned(TBitmap* glyph);
Boolean IsImageListAssigned(TCustomImageList* images);
// Fills with the cached brush of the colour (no clNone test).
void FillRectWithColor(TcxCanvas* canvas, const TRect& rect, TColor color);
void FillRectWithBrush(HDC dc, const TRect& rect, HBRUSH brush);
// Fills `rect` outside `innerRect` (four strips).
void FillRectExcept(TcxCanvas* canvas, const TRect& rect, const TRect& innerRect, HBRUSH brush);
// The width a button takes; may switch the button's native flag off.
Integer GetEditButtonWidth(TcxCanvas* canvas, TcxEditButtonViewInfo* button);
// With a skin painter 2 for ebsThick and 1 otherwise; else the container border width.
Integer GetEditBorderWidth(TcxEditBorderStyle style, TcxCustomLookAndFeelPainterClass skinPainter = nullptr);
// The height a button frame takes above and below its content.
Integer GetButtonVerticalInsets(TcxCanvas* canvas, TcxEditButtonStyle style, Boolean native);
Integer GetInplaceNativeHeightCorrection(TcxCustomEditProperties* properties, Boolean inplace);
TcxCustomLookAndFeelPainterClass GetEditPainterClass(Boolean nativeStyle, TcxLookAndFeelKind kind);
// Canvas text flags to text engine flags and back (six flags; every other bit is dropped).
Integer TranslateTextFlags(Integer canvasFlags);
Integer TranslateTextFlagsToCanvas(Integer engineFlags);
Boolean IsDecimalDigit(char c);
Boolean IsWhiteSpaceChar(char c);
TcxLookAndFeelKind GetEditLookAndFeelKind(TcxCustomEdit* edit);
TColor GetHotBorderColor(Boolean office11);
TColor GetUltraFlatButtonColor(Boolean pressed, Boolean office11);
// The canvas font takes a font made from the record.
void SetCanvasFontFromLogFont(TcxCanvas* canvas, const LOGFONT& logFont);
Boolean GetCanvasLogFont(TcxCanvas* canvas, LOGFONT& logFont);
// Background, frame and buttons of an editor; `comboState` 0 plain, 1 editable combo, 2 list-only
// combo.
void DrawEditBackgroundAndButtons(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, Boolean eraseBackground,
                                  Integer comboState = 0);
