// The library's own multi-line text engine, used by the editors in place of the platform's
// DrawText: it breaks a UTF-16 text into rows (word break, character break inside long words,
// East-Asian line-start rules, line ends), places the rows in a rectangle (alignment,
// justification, vertical distribution, line spacing) and draws them (end ellipsis, clipping,
// tabs, a highlighted range, a grey pattern for text too small to read).
//
// Use it in one call (DrawFormattedText, DrawFormattedTextDC, DrawFormattedTextWide) or in
// steps, keeping the rows between paints:
//
//   TextLayoutParams params;
//   CalculateTextParams(dc, flags, params);
//   TRect r = PrepareTextRect(bounds, params, 0, 0);
//   TcxTextRows rows;
//   Integer count;
//   Boolean fits = MakeTextRows(dc, text, 0, r, params, rows, count);
//   ArrangeTextRows(dc, r, params, rows, count);
//   DrawTextRows(dc, r, params, rows, count, 0, 0, clDefault, clDefault, !fits);
//
// Positions are logical units of the DC; "one pixel" is params.OnePixel.
#pragma once

#include <vector>

#include "platform/drawing/GdiTypes.h"
#include "platform/runtime/Types.h"

class TcxCanvas;

// ==== Draw flags ==============================================================================
// The values are fixed: callers in other subsystems compose them.

constexpr Cardinal TextFlagLeft = 0x0;
constexpr Cardinal TextFlagCenterHorz = 0x1;
constexpr Cardinal TextFlagRight = 0x2;
constexpr Cardinal TextFlagJustify = 0x3;     // spreads the blanks of every wrapped row
constexpr Cardinal TextFlagDistribute = 0x4;  // spreads the blanks of every row
constexpr Cardinal TextFlagTop = 0x00;
constexpr Cardinal TextFlagCenterVert = 0x10;
constexpr Cardinal TextFlagBottom = 0x20;
constexpr Cardinal TextFlagDistributeVert = 0x30;
constexpr Cardinal TextFlagWordBreak = 0x100;
constexpr Cardinal TextFlagSingleLine = 0x200;
constexpr Cardinal TextFlagExpandTabs = 0x400;
constexpr Cardinal TextFlagEndEllipsis = 0x800;
constexpr Cardinal TextFlagPatternFill = 0x1000;  // bars instead of text under 6 device pixels
constexpr Cardinal TextFlagExternalLeading = 0x2000;
constexpr Cardinal TextFlagEditControl = 0x4000;  // no partly visible last row; breaks long words
constexpr Cardinal TextFlagNoClip = 0x8000;
constexpr Cardinal TextFlagAutoIndents = 0x10000;  // two pixels off every side
constexpr Cardinal TextFlagCharBreak = 0x20000;
constexpr Cardinal TextFlagClampLeft = 0x40000;
constexpr Cardinal TextFlagClampTop = 0x80000;
constexpr Cardinal TextFlagCalcRect = 0x100000;
constexpr Cardinal TextFlagReturnRowCount = 0x200000;
constexpr Cardinal TextFlagRemovePrefix = 0x1000000;
constexpr Cardinal TextFlagSkipLeadingBlanks = 0x2000000;

// ==== Rows and parameters =====================================================================

// One laid-out row.
struct TextRow {
  const char16_t* Start = nullptr;  // first character, inside the laid-out text
  Integer Length = 0;
  Integer Width = 0;
  Integer Height = 0;
  Integer BlankCount = 0;  // blanks inside a justified row; 0 when not justified
  Integer Left = 0;        // x of the text origin
  Integer Top = 0;
  Integer Offset = 0;  // index of the first character in the whole text
};

using TcxDynamicTextRows = std::vector<TextRow>;

// The rows of one layout. The first 32 rows need no allocation. The rows point into Text (or
// into the caller's text for MakeTextRowsWide), so the record cannot be copied.
struct TcxTextRows {
  TcxTextRows() = default;
  TcxTextRows(const TcxTextRows&) = delete;
  TcxTextRows& operator=(const TcxTextRows&) = delete;

  Integer Count = 0;
  WideString Text;  // the converted text of MakeTextRows
  TextRow Rows[32];
  TcxDynamicTextRows DynamicRows;  // row 33 onward
};

// Row i (from 0); i must be below the row count.
TextRow& GetTextRow(TcxTextRows& rows, Integer index);
// Sets Count, grows the dynamic part with four spare rows, zero-fills row n - 1.
void SetTextRowCount(TcxTextRows& rows, Integer count);
// Count 0, the dynamic part emptied; Text stays.
void ClearTextRows(TcxTextRows& rows);
inline Integer GetTextRowCount(const TcxTextRows& rows) { return rows.Count; }
// The widest of the first min(count, Count) rows; 0 for none.
Integer GetMaxTextRowWidth(TcxTextRows& rows, Integer count);

struct TextLayoutParams {
  Integer FontHeight = 0;
  Integer ExternalLeading = 0;  // with TextFlagExternalLeading
  Integer RowHeight = 0;        // the row pitch
  Integer EllipsisWidth = 0;    // of "..." with TextFlagEndEllipsis
  Boolean IsBold = false;
  char16_t BreakChar = 0;
  Byte HorzAlign = 0;  // 0 left, 1 centre, 2 right, 3 justify, 4 distribute
  Byte VertAlign = 0;  // 0 top, 1 centre, 2 bottom, 3 distribute
  Boolean WordBreak = false;
  Boolean SingleLine = false;
  Boolean ExpandTabs = false;
  Boolean EndEllipsis = false;
  Boolean UseExternalLeading = false;
  Boolean EditControl = false;
  Boolean SkipLeadingBlanks = false;
  Boolean NoClip = false;
  Boolean AutoIndents = false;
  Boolean PatternFill = false;
  Boolean ClampLeft = false;
  Boolean ClampTop = false;
  Boolean CharBreak = false;
  Boolean ReturnRowCount = false;
  Boolean CalcRect = false;
  Integer MaxCharWidth = 0;
  Byte CharSet = 0;
  Integer OnePixel = 1;  // one device pixel in logical units
  Boolean RemovePrefix = false;
};

// Fills the parameters from the DC's font and the flags; `lineSpacing` scales the row pitch.
void CalculateTextParams(HDC dc, Cardinal flags, TextLayoutParams& params, Double lineSpacing = 1.0);
void CalculateTextParamsForCanvas(TcxCanvas* canvas, Cardinal flags, TextLayoutParams& params,
                                  Double lineSpacing = 1.0);
// The rectangle the text goes in: two pixels off every side with AutoIndents, then the indents
// (in pixels) off the left and right. UnprepareTextRect is the inverse.
TRect PrepareTextRect(const TRect& rect, const TextLayoutParams& params, Integer leftIndent, Integer rightIndent);
TRect UnprepareTextRect(const TRect& rect, const TextLayoutParams& params, Integer leftIndent, Integer rightIndent);

// ==== Layout and drawing in steps =============================================================

// Breaks the text into rows for the rectangle; true when it fits. maxRows <= 0: no limit.
Boolean MakeTextRowsWide(HDC dc, const char16_t* text, Integer length, const TRect& textRect,
                         const TextLayoutParams& params, TcxTextRows& rows, Integer& rowCount,
                         Integer maxRows = 0);
// The 8-bit text is converted with the code page of params.CharSet into rows.Text first.
Boolean MakeTextRows(HDC dc, const AnsiString& text, Integer maxRows, const TRect& textRect,
                     const TextLayoutParams& params, TcxTextRows& rows, Integer& rowCount);
Boolean MakeTextRowsOnCanvas(TcxCanvas* canvas, const AnsiString& text, Integer maxRows,
                             const TRect& textRect, const TextLayoutParams& params, TcxTextRows& rows,
                             Integer& rowCount);
// Sets every row's Left and Top; vertical distribution may raise params.RowHeight.
void ArrangeTextRows(HDC dc, const TRect& textRect, TextLayoutParams& params, TcxTextRows& rows, Integer rowCount);
// Draws the rows; the characters [highlightStart, highlightStart + highlightLength) of the text
// are drawn on the highlight background in the highlight text colour (clNone or clDefault:
// unchanged). `textDidNotFit` ends the last row with "..." under TextFlagEndEllipsis.
void DrawTextRows(HDC dc, const TRect& textRect, const TextLayoutParams& params, TcxTextRows& rows,
                  Integer rowCount, Integer highlightStart, Integer highlightLength,
                  TColor highlightBackground, TColor highlightText, Boolean textDidNotFit);

// ==== One call ================================================================================

// Lays out and draws (or, with TextFlagCalcRect, measures into `rect`) the text. `font`
// (nullptr: the DC's) is selected for the call; a text colour other than clDefault is set for
// it. The answer: the row count with TextFlagReturnRowCount, else the height of the rows (the
// row count when that is 0); 0 for an empty text or a rectangle without room. Every font,
// colour, mode, justification and clip region is restored.
Integer DrawFormattedTextWide(HDC dc, const WideString& text, TRect& rect, Cardinal flags,
                              Integer highlightStart, Integer highlightLength, HFONT font,
                              TColor highlightBackground, TColor highlightText, Integer maxRows = 0,
                              Integer leftIndent = 0, Integer rightIndent = 0,
                              TColor textColor = clDefault, Double lineSpacing = 1.0);
// The 8-bit text converted with the code page of the font's character set (of the DC's when no
// font is given); no highlight.
Integer DrawFormattedTextDC(HDC dc, const AnsiString& text, TRect& rect, Cardinal flags,
                            HFONT font = nullptr, Integer maxRows = 0, Integer leftIndent = 0,
                            Integer rightIndent = 0, TColor textColor = clDefault, Double lineSpacing = 1.0);
Integer DrawFormattedText(TcxCanvas* canvas, const AnsiString& text, TRect& rect, Cardinal flags,
                          HFONT font = nullptr, Integer maxRows = 0, Integer leftIndent = 0,
                          Integer rightIndent = 0, TColor textColor = clDefault, Double lineSpacing = 1.0);

namespace orv {
// The characters that may not begin a line (closing marks and the like).
Boolean IsLineStartForbiddenChar(char16_t ch);
}  // namespace orv
