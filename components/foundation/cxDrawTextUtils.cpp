#include "components/foundation/cxDrawTextUtils.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/dxCore.h"
#include "platform/drawing/Gdi.h"

// StripAccelCharsW of the control unit. Its header brings in the controls layer's graphics,
// which clash with cxGraphics' pixel formats in one translation unit.
WideString StripAccelCharsW(const WideString& text, Boolean underscoreTrailing);

namespace {

constexpr char16_t kCR = 13;
constexpr char16_t kLF = 10;
constexpr char16_t kSpace = 32;
constexpr char16_t kTab = 9;
constexpr char16_t kEllipsis[] = u"...";

Boolean IsBlank(char16_t c) { return c == kSpace || c == kTab; }
Boolean IsLineEnd(char16_t c) { return c == kCR || c == kLF; }

// A character that takes a word of its own: ideographs, kana and hangul. Windows-1251, the only
// ANSI code page here, has no multi-byte characters, so no other character counts.
Boolean IsDoubleByteChar(char16_t c) {
  return c >= 128 && ((c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3040 && c <= 0x309F) ||
                      (c >= 0x30A0 && c <= 0x30FF) || (c >= 0xAC00 && c <= 0xD7A3));
}

// The two pattern brushes of the unit: a checkerboard for normal fonts, solid for bold ones.
struct TPatternBrushes {
  HBITMAP Bitmaps[2] = {nullptr, nullptr};
  HBRUSH Brushes[2] = {nullptr, nullptr};
  TPatternBrushes() {
    const WORD checker[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    const WORD solid[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    Bitmaps[0] = CreateBitmap(8, 8, 1, 1, checker);
    Bitmaps[1] = CreateBitmap(8, 8, 1, 1, solid);
    for (int i = 0; i < 2; ++i) Brushes[i] = CreatePatternBrush(Bitmaps[i]);
  }
  ~TPatternBrushes() {
    for (int i = 0; i < 2; ++i) {
      DeleteObject(Brushes[i]);
      DeleteObject(Bitmaps[i]);
    }
  }
};

HBRUSH PatternBrush(Boolean bold) {
  static TPatternBrushes brushes;
  return brushes.Brushes[bold ? 1 : 0];
}

TSize MeasureTextRun(HDC dc, const char16_t* text, Integer length, const TextLayoutParams& params) {
  SIZE size{0, 0};
  if (!params.ExpandTabs) {
    GetTextExtentPoint32W(dc, text, length, &size);
    return size;
  }
  if (length > 4095) {
    // The tabbed extent answers in 16 bits: long runs are measured by DrawText.
    RECT r{0, 0, 0, 0};
    const int height = DrawTextW(dc, text, length, &r, 0xC60);
    return {r.Right - r.Left, height};
  }
  const DWORD extent = GetTabbedTextExtentW(dc, text, length, 0, nullptr);
  return {Integer(extent & 0xFFFF), Integer((extent >> 16) & 0xFFFF)};
}

struct TextBreakSettings {
  Byte HorzAlign = 0;
  Boolean WordBreak = false;
  Boolean CharBreak = false;
  Boolean LinesOnly = false;
  Boolean EditControl = false;
  Boolean EndEllipsis = false;
  Boolean ExpandTabs = false;
  Boolean SkipLeadingBlanks = false;
  Boolean SingleLine = false;
  Boolean LastRowWithEllipsis = false;
};

TextBreakSettings MakeBreakSettings(const TextLayoutParams& p) {
  TextBreakSettings s;
  s.HorzAlign = p.HorzAlign;
  s.WordBreak = !p.SingleLine && (p.WordBreak || p.HorzAlign == 3 || p.HorzAlign == 4);
  s.CharBreak = s.WordBreak && (p.CharBreak || p.EditControl);
  s.LinesOnly = p.CalcRect;
  s.EditControl = p.EditControl;
  s.EndEllipsis = p.EndEllipsis;
  s.ExpandTabs = p.ExpandTabs;
  s.SkipLeadingBlanks = p.SkipLeadingBlanks;
  s.SingleLine = p.SingleLine;
  return s;
}

// The end of the word at `pos`: a blank alone, an empty word at a line end, an ideograph alone
// (with a following character that may not begin a line), else up to the next blank or line
// end or ideograph.
Integer FindWordEnd(const char16_t* text, Integer pos, Integer end) {
  const char16_t first = text[pos];
  if (IsBlank(first)) return pos + 1;
  if (IsLineEnd(first)) return pos;
  if (IsDoubleByteChar(first)) {
    Integer e = pos + 1;
    if (e < end && orv::IsLineStartForbiddenChar(text[e])) ++e;
    return e;
  }
  Integer e = pos + 1;
  while (e < end && !IsBlank(text[e]) && !IsLineEnd(text[e]) && !IsDoubleByteChar(text[e])) ++e;
  return e;
}

Integer FindLineEnd(const char16_t* text, Integer pos, Integer end) {
  while (pos < end && !IsLineEnd(text[pos])) ++pos;
  return pos;
}

// Skips a line end at `pos`: CR with an LF after it, or LF with a CR after it.
Integer SkipLineEnd(const char16_t* text, Integer pos, Integer end) {
  if (pos >= end) return pos;
  if (text[pos] == kCR) return pos + 1 < end && text[pos + 1] == kLF ? pos + 2 : pos + 1;
  if (text[pos] == kLF) return pos + 1 < end && text[pos + 1] == kCR ? pos + 2 : pos + 1;
  return pos;
}

// Builds the row that starts at `pos` and answers where the next row starts.
Integer BuildTextRow(HDC dc, const char16_t* text, Integer pos, Integer end, Integer width,
                     const TextBreakSettings& s, const TextLayoutParams& params, TextRow& row) {
  const Integer rowStart = pos;
  Integer rowEnd = pos;
  Boolean wrapped = false;
  Boolean firstUnit = true;
  while (pos < end) {
    const Integer unitEnd = s.LinesOnly || !s.WordBreak ? FindLineEnd(text, pos, end) : FindWordEnd(text, pos, end);
    const Integer measured = MeasureTextRun(dc, text + rowStart, unitEnd - rowStart, params).cx;
    if (s.WordBreak && measured > width) {
      if (!firstUnit && !s.LastRowWithEllipsis) {
        wrapped = true;  // the row ends before this unit
      } else if (s.CharBreak) {
        // The longest prefix of the unit that fits beside what the row holds (one character
        // at least).
        const Integer room = width - MeasureTextRun(dc, text + rowStart, pos - rowStart, params).cx;
        Integer lo = 1, hi = unitEnd - pos;
        while (lo < hi) {
          const Integer mid = (lo + hi + 1) / 2;
          if (MeasureTextRun(dc, text + pos, mid, params).cx <= room)
            lo = mid;
          else
            hi = mid - 1;
        }
        rowEnd = pos + lo;
        pos = rowEnd;
      } else {
        rowEnd = unitEnd;
        pos = unitEnd;
        wrapped = true;
        if (s.EndEllipsis && pos < end && IsLineEnd(text[pos])) {
          pos = SkipLineEnd(text, pos, end);
          wrapped = false;
        }
      }
      break;
    }
    rowEnd = unitEnd;
    pos = unitEnd;
    if (pos < end && IsLineEnd(text[pos])) {
      pos = SkipLineEnd(text, pos, end);
      break;
    }
    firstUnit = false;
  }
  Integer length = rowEnd - rowStart;
  if (wrapped) {
    switch (s.HorzAlign) {
      case 0:
        if (pos < end && IsBlank(text[pos])) ++pos;
        break;
      case 1:
        if (length > 0 && IsBlank(text[rowStart + length - 1])) --length;
        if (pos < end && IsBlank(text[pos])) ++pos;
        break;
      case 2:
        if (length > 0 && IsBlank(text[rowStart + length - 1])) --length;
        break;
      default:
        break;
    }
    if (s.SkipLeadingBlanks)
      while (pos < end && text[pos] == kSpace) ++pos;
  }
  row.BlankCount = 0;
  if (s.HorzAlign == 4 || (s.HorzAlign == 3 && wrapped)) {
    while (length > 0 && IsBlank(text[rowStart + length - 1])) --length;
    for (Integer i = 0; i < length; ++i)
      if (IsBlank(text[rowStart + i])) ++row.BlankCount;
  }
  row.Start = text + rowStart;
  row.Length = length;
  const TSize size = MeasureTextRun(dc, row.Start, length, params);
  row.Width = size.cx;
  row.Height = size.cy;
  return pos;
}

// The pixel size of a device rectangle in logical units.
TSize LogicalSizeOfDevice(HDC dc, Integer width, Integer height) {
  POINT p[2] = {{0, 0}, {width, height}};
  DPtoLP(dc, p, 2);
  return {std::abs(p[1].X - p[0].X), std::abs(p[1].Y - p[0].Y)};
}

Boolean IsMetafileDC(HDC dc) {
  // The platform's metafile DCs do not exist here.
  return false;
}

// Keeps the DC's clip region of the moment and puts it back.
class TClipSaver {
 public:
  explicit TClipSaver(HDC dc) : FDC(dc), FRegion(CreateRectRgn(0, 0, 0, 0)) {
    FHadClip = GetClipRgn(dc, FRegion) == 1;
  }
  ~TClipSaver() {
    SelectClipRgn(FDC, FHadClip ? FRegion : nullptr);
    DeleteObject(FRegion);
  }
  TClipSaver(const TClipSaver&) = delete;
  TClipSaver& operator=(const TClipSaver&) = delete;

 private:
  HDC FDC;
  HRGN FRegion;
  Boolean FHadClip;
};

void DrawRowText(HDC dc, const TextRow& row, Integer length, const TextLayoutParams& params) {
  if (params.ExpandTabs)
    TabbedTextOutW(dc, row.Left, row.Top, row.Start, length, 0, nullptr, row.Left);
  else
    TextOutW(dc, row.Left, row.Top, row.Start, length);
}

void DrawEllipsis(HDC dc, const TRect& textRect, const TRect& band, Integer rowWidth, Integer top,
                  const TextLayoutParams& params) {
  const Integer x = textRect.Left + rowWidth;
  if (x >= textRect.Right) return;
  const Boolean clipped = !params.NoClip && x + params.EllipsisWidth > textRect.Right;
  RECT clip = band;
  ExtTextOutW(dc, x, top, clipped ? ETO_CLIPPED : 0, clipped ? &clip : nullptr, kEllipsis, 3, nullptr);
}

}  // namespace

namespace orv {

Boolean IsLineStartForbiddenChar(char16_t c) {
  static constexpr char16_t kForbidden[] = {
      0x0021, 0x0025, 0x0029, 0x002C, 0x002E, 0x003A, 0x003B, 0x003E, 0x003F, 0x005D, 0x007D,
      0x00A8, 0x00B0, 0x00B7, 0x02C7, 0x02C9, 0x2013, 0x2014, 0x2015, 0x2016, 0x2018, 0x2019,
      0x201D, 0x2022, 0x2025, 0x2026, 0x2027, 0x2032, 0x2033, 0x2103, 0x2236, 0x2574, 0x3001,
      0x3002, 0x3003, 0x3005, 0x3009, 0x300B, 0x300D, 0x300F, 0x3011, 0x3015, 0x3017, 0x301E,
      0x309B, 0x309C, 0xFE30, 0xFE31, 0xFE33, 0xFE34, 0xFE36, 0xFE38, 0xFE3A, 0xFE3C, 0xFE3E,
      0xFE40, 0xFE42, 0xFE44, 0xFE4F, 0xFE50, 0xFE51, 0xFE52, 0xFE54, 0xFE55, 0xFE56, 0xFE57,
      0xFE5A, 0xFE5C, 0xFE5E, 0xFF01, 0xFF02, 0xFF05, 0xFF07, 0xFF09, 0xFF0C, 0xFF0D, 0xFF0E,
      0xFF1A, 0xFF1B, 0xFF1E, 0xFF1F, 0xFF3D, 0xFF5C, 0xFF5D, 0xFF5E, 0xFF61, 0xFF63, 0xFF64,
      0xFF9E, 0xFF9F};
  static_assert(sizeof(kForbidden) / sizeof(kForbidden[0]) == 90);
  if (c >= 0xFFE0) return true;
  return std::binary_search(std::begin(kForbidden), std::end(kForbidden), c);
}

}  // namespace orv

// ==== Rows ====================================================================================

TextRow& GetTextRow(TcxTextRows& rows, Integer index) {
  return index < 32 ? rows.Rows[index] : rows.DynamicRows[std::size_t(index - 32)];
}

void SetTextRowCount(TcxTextRows& rows, Integer count) {
  rows.Count = count;
  if (count > 32 && Integer(rows.DynamicRows.size()) < count - 32)
    rows.DynamicRows.resize(std::size_t(count - 28));
  if (count > 0) GetTextRow(rows, count - 1) = TextRow{};
}

void ClearTextRows(TcxTextRows& rows) {
  rows.Count = 0;
  rows.DynamicRows.clear();
}

Integer GetMaxTextRowWidth(TcxTextRows& rows, Integer count) {
  Integer result = 0;
  for (Integer i = 0; i < std::min(count, rows.Count); ++i) result = std::max(result, GetTextRow(rows, i).Width);
  return result;
}

// ==== Parameters ==============================================================================

void CalculateTextParams(HDC dc, Cardinal flags, TextLayoutParams& p, Double lineSpacing) {
  p = TextLayoutParams{};
  TEXTMETRICW tm{};
  if (!GetTextMetricsW(dc, &tm)) {
    TEXTMETRIC a{};
    GetTextMetrics(dc, &a);
    tm.tmHeight = a.tmHeight;
    tm.tmExternalLeading = a.tmExternalLeading;
    tm.tmWeight = a.tmWeight;
    tm.tmBreakChar = char16_t(Byte(a.tmBreakChar));
    tm.tmMaxCharWidth = a.tmMaxCharWidth;
    tm.tmCharSet = a.tmCharSet;
  }
  p.FontHeight = tm.tmHeight;
  p.ExternalLeading = flags & TextFlagExternalLeading ? Integer(tm.tmExternalLeading) : 0;
  p.RowHeight = Integer(std::nearbyint(Double(p.FontHeight + p.ExternalLeading) * lineSpacing));
  p.IsBold = tm.tmWeight >= 700;
  p.BreakChar = char16_t(tm.tmBreakChar);
  p.HorzAlign = Byte(flags & 7);
  p.VertAlign = Byte((flags & 0x30) >> 4);
  p.WordBreak = (flags & TextFlagWordBreak) != 0;
  p.SingleLine = (flags & TextFlagSingleLine) != 0;
  p.ExpandTabs = (flags & TextFlagExpandTabs) != 0;
  p.EndEllipsis = (flags & TextFlagEndEllipsis) != 0;
  p.UseExternalLeading = (flags & TextFlagExternalLeading) != 0;
  p.EditControl = (flags & TextFlagEditControl) != 0;
  p.SkipLeadingBlanks = (flags & TextFlagSkipLeadingBlanks) != 0;
  p.NoClip = (flags & TextFlagNoClip) != 0;
  p.AutoIndents = (flags & TextFlagAutoIndents) != 0;
  p.PatternFill = (flags & TextFlagPatternFill) != 0;
  p.ClampLeft = (flags & TextFlagClampLeft) != 0;
  p.ClampTop = (flags & TextFlagClampTop) != 0;
  // The system locale is never a Far-East one here.
  p.CharBreak = (flags & TextFlagCharBreak) != 0;
  p.ReturnRowCount = (flags & TextFlagReturnRowCount) != 0;
  p.CalcRect = (flags & TextFlagCalcRect) != 0;
  p.MaxCharWidth = tm.tmMaxCharWidth;
  p.CharSet = tm.tmCharSet;
  p.OnePixel = std::max(1, LogicalSizeOfDevice(dc, 1, 1).cx);
  if (p.PatternFill) p.PatternFill = p.FontHeight < LogicalSizeOfDevice(dc, 6, 6).cy;
  p.RemovePrefix = (flags & TextFlagRemovePrefix) != 0;
  if (p.EndEllipsis) p.EllipsisWidth = MeasureTextRun(dc, kEllipsis, 3, TextLayoutParams{}).cx;
}

void CalculateTextParamsForCanvas(TcxCanvas* canvas, Cardinal flags, TextLayoutParams& params, Double lineSpacing) {
  CalculateTextParams(canvas->GetDCHandle(), flags, params, lineSpacing);
}

TRect PrepareTextRect(const TRect& rect, const TextLayoutParams& params, Integer leftIndent, Integer rightIndent) {
  TRect r = rect;
  if (params.AutoIndents) {
    const Integer d = 2 * params.OnePixel;
    r = {r.Left + d, r.Top + d, r.Right - d, r.Bottom - d};
  }
  r.Left += leftIndent * params.OnePixel;
  r.Right -= rightIndent * params.OnePixel;
  return r;
}

TRect UnprepareTextRect(const TRect& rect, const TextLayoutParams& params, Integer leftIndent, Integer rightIndent) {
  TRect r = rect;
  r.Left -= leftIndent * params.OnePixel;
  r.Right += rightIndent * params.OnePixel;
  if (params.AutoIndents) {
    const Integer d = 2 * params.OnePixel;
    r = {r.Left - d, r.Top - d, r.Right + d, r.Bottom + d};
  }
  return r;
}

// ==== Layout ==================================================================================

Boolean MakeTextRowsWide(HDC dc, const char16_t* text, Integer length, const TRect& textRect,
                         const TextLayoutParams& params, TcxTextRows& rows, Integer& rowCount, Integer maxRows) {
  ClearTextRows(rows);
  rowCount = 0;
  if (!text || length <= 0) return true;
  if (params.CalcRect && params.SingleLine) {
    SetTextRowCount(rows, 1);
    TextRow& row = GetTextRow(rows, 0);
    row.Start = text;
    row.Length = length;
    const TSize size = MeasureTextRun(dc, text, length, params);
    row.Width = size.cx;
    row.Height = size.cy;
    rowCount = 1;
    return true;
  }
  const Int64 height = textRect.Height();
  const Integer width = textRect.Width();
  const Boolean measuring = params.CalcRect || params.ReturnRowCount;
  TextBreakSettings settings = MakeBreakSettings(params);
  Int64 pitch = 0;
  Integer pos = 0;
  for (;;) {
    const Integer n = rowCount + 1;
    SetTextRowCount(rows, n);
    pitch += params.RowHeight;
    Boolean last;
    if (params.SingleLine)
      last = true;
    else if (params.VertAlign == 0 && !measuring)
      last = height < pitch || (params.EditControl && !params.NoClip && height < pitch + params.RowHeight);
    else
      last = n == maxRows;
    settings.LastRowWithEllipsis = last && params.EndEllipsis && !params.NoClip && !measuring &&
                                   params.HorzAlign != 3 && params.HorzAlign != 4;
    TextRow& row = GetTextRow(rows, n - 1);
    const Integer start = pos;
    pos = BuildTextRow(dc, text, pos, length, width, settings, params, row);
    row.Offset = start;
    rowCount = n;
    if (last || pos >= length || (maxRows > 0 && rowCount >= maxRows)) break;
  }
  if (measuring) return true;
  if (params.SingleLine) return GetTextRow(rows, rowCount - 1).Width <= width;
  return pos >= length;
}

Boolean MakeTextRows(HDC dc, const AnsiString& text, Integer maxRows, const TRect& textRect,
                     const TextLayoutParams& params, TcxTextRows& rows, Integer& rowCount) {
  rows.Text = AnsiToWideWithCodePage(text, Cardinal(CharsetToCodePage(params.CharSet)));
  return MakeTextRowsWide(dc, rows.Text.data(), Integer(rows.Text.size()), textRect, params, rows, rowCount, maxRows);
}

Boolean MakeTextRowsOnCanvas(TcxCanvas* canvas, const AnsiString& text, Integer maxRows, const TRect& textRect,
                             const TextLayoutParams& params, TcxTextRows& rows, Integer& rowCount) {
  return MakeTextRows(canvas->GetDCHandle(), text, maxRows, textRect, params, rows, rowCount);
}

void ArrangeTextRows(HDC dc, const TRect& textRect, TextLayoutParams& params, TcxTextRows& rows, Integer rowCount) {
  if (rowCount <= 0) return;
  Integer extra = 0;
  const Integer height = textRect.Height();
  if (params.VertAlign == 3 && rowCount > 1) {
    const Integer gaps = rowCount - 1;
    const Integer g = height - params.FontHeight;
    if (Double(params.FontHeight) < Double(g) / gaps) {
      params.RowHeight = g / gaps;
      extra = g % gaps;
    }
  }
  Int64 top;
  const Int64 total = Int64(rowCount) * params.RowHeight;
  switch (params.VertAlign) {
    case 1: top = textRect.Top + (height - total) / 2; break;
    case 2: top = textRect.Bottom - total + params.ExternalLeading; break;
    default: top = textRect.Top; break;
  }
  if (params.ClampTop && top < textRect.Top) top = textRect.Top;
  for (Integer i = 0; i < rowCount; ++i) {
    TextRow& row = GetTextRow(rows, i);
    Integer left;
    switch (params.HorzAlign) {
      case 1: left = textRect.Left + (textRect.Width() - row.Width) / 2; break;
      case 2: left = textRect.Right - row.Width; break;
      default: left = textRect.Left; break;
    }
    if (params.ClampLeft && left < textRect.Left) left = textRect.Left;
    row.Left = left;
    row.Top = Integer(top);
    top += params.RowHeight;
    if (extra > 0) {
      ++top;
      --extra;
    }
  }
}

// ==== Drawing =================================================================================

void DrawTextRows(HDC dc, const TRect& textRect, const TextLayoutParams& params, TcxTextRows& rows,
                  Integer rowCount, Integer highlightStart, Integer highlightLength,
                  TColor highlightBackground, TColor highlightText, Boolean textDidNotFit) {
  const int oldBkMode = SetBkMode(dc, TRANSPARENT);
  const Boolean highlight = highlightLength > 0 && !IsMetafileDC(dc);
  HBRUSH highlightBrush = nullptr;
  if (highlightLength > 0 && highlightBackground != clNone && highlightBackground != clDefault)
    highlightBrush = CreateSolidBrush(ColorToRGB(highlightBackground));
  const Boolean useHighlightText = highlightText != clNone && highlightText != clDefault;
  const Integer rectWidth = textRect.Width();

  for (Integer i = 0; i < rowCount; ++i) {
    TextRow& row = GetTextRow(rows, i);
    const Boolean last = i == rowCount - 1;
    const TRect band{textRect.Left, row.Top, textRect.Right, row.Top + params.RowHeight};
    if (row.Length == 0) {
      // An empty last row of a text that did not fit still says so.
      if (last && textDidNotFit && params.EndEllipsis && !params.PatternFill)
        DrawEllipsis(dc, textRect, band, 0, row.Top, params);
      continue;
    }
    RECT bandRect = band;
    if (!IsMetafileDC(dc) && !RectVisible(dc, &bandRect)) continue;

    if (params.PatternFill) {
      const Integer one = params.OnePixel;
      RECT fill{row.Left, band.Top + one, std::min(row.Left + row.Width, textRect.Right), band.Bottom - one};
      if (fill.Bottom - fill.Top < one) fill.Bottom = fill.Top + one;
      const COLORREF oldBk = SetBkColor(dc, GetSysColor(COLOR_WINDOW));
      FillRect(dc, &fill, PatternBrush(params.IsBold));
      SetBkColor(dc, oldBk);
      continue;
    }

    const Boolean ellipsis = params.EndEllipsis && last && (textDidNotFit || row.Width > rectWidth);
    const Boolean justify = !ellipsis && (params.HorzAlign == 3 || params.HorzAlign == 4) &&
                            row.BlankCount > 0 && rectWidth > row.Width;
    if (justify) SetTextJustification(dc, rectWidth - row.Width, row.BlankCount);

    const Boolean clip = !params.NoClip && (row.Width > rectWidth || band.Top < textRect.Top || band.Bottom > textRect.Bottom);
    const Integer rowFrom = std::max(highlightStart, row.Offset);
    Integer length = row.Length;
    Integer width = row.Width;
    if (ellipsis) {
      const Integer available = std::max(0, rectWidth - params.EllipsisWidth);
      INT fit = 0;
      SIZE size{};
      if (!GetTextExtentExPointW(dc, row.Start, row.Length, available, &fit, nullptr, &size)) fit = 0;
      length = fit;
      if (length == 0 && params.HorzAlign == 0) length = 1;
      width = MeasureTextRun(dc, row.Start, length, params).cx;
    }
    const Integer rowTo = std::min(highlightStart + highlightLength, row.Offset + length);
    const Boolean rowHighlighted = highlight && rowFrom < rowTo;

    {
      std::unique_ptr<TClipSaver> saved;
      if (clip || rowHighlighted) saved = std::make_unique<TClipSaver>(dc);
      if (clip) {
        TRect cut;
        IntersectRects(cut, band, textRect);
        IntersectClipRect(dc, cut.Left, cut.Top, cut.Right, cut.Bottom);
      }
      Boolean ellipsisDrawn = false;
      if (rowHighlighted) {
        const Integer x1 = MeasureTextRun(dc, row.Start, rowFrom - row.Offset, params).cx;
        const Integer x2 = MeasureTextRun(dc, row.Start, rowTo - row.Offset, params).cx;
        TRect area{row.Left + x1, band.Top, row.Left + x2, band.Bottom};
        const AnsiString rowText = WideToAnsiWithCodePage(WideString(row.Start, std::size_t(length)),
                                                          Cardinal(CharsetToCodePage(params.CharSet)));
        if (IsChineseOrArabicCharset(params.CharSet, rowText)) {
          const Integer right = row.Left + row.Width;
          area = {right - x2, band.Top, right - x1, band.Bottom};
        }
        if (area.Left < area.Right) {
          {
            TClipSaver inner(dc);
            IntersectClipRect(dc, area.Left, area.Top, area.Right, area.Bottom);
            RECT fill = area;
            if (highlightBrush) FillRect(dc, &fill, highlightBrush);
            const COLORREF oldColor = GetTextColor(dc);
            if (useHighlightText) SetTextColor(dc, ColorToRGB(highlightText));
            DrawRowText(dc, row, length, params);
            if (ellipsis && rowTo == row.Offset + length) {
              DrawEllipsis(dc, textRect, band, width, row.Top, params);
              ellipsisDrawn = true;
            }
            SetTextColor(dc, oldColor);
          }
          ExcludeClipRect(dc, area.Left, area.Top, area.Right, area.Bottom);
        }
      }
      DrawRowText(dc, row, length, params);
      if (ellipsis && !ellipsisDrawn) DrawEllipsis(dc, textRect, band, width, row.Top, params);
    }
    if (justify) SetTextJustification(dc, 0, 0);
  }
  if (highlightBrush) DeleteObject(highlightBrush);
  SetBkMode(dc, oldBkMode);
}

// ==== One call ================================================================================

Integer DrawFormattedTextWide(HDC dc, const WideString& text, TRect& rect, Cardinal flags,
                              Integer highlightStart, Integer highlightLength, HFONT font,
                              TColor highlightBackground, TColor highlightText, Integer maxRows,
                              Integer leftIndent, Integer rightIndent, TColor textColor, Double lineSpacing) {
  if (text.empty()) return 0;
  const COLORREF oldColor = GetTextColor(dc);
  HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
  if (textColor != clDefault) SetTextColor(dc, ColorToRGB(textColor));

  Integer result = 0;
  TextLayoutParams params;
  CalculateTextParams(dc, flags, params, lineSpacing);
  TRect textRect = PrepareTextRect(rect, params, leftIndent, rightIndent);
  const Boolean room = textRect.Width() > 0 && (params.CalcRect || textRect.Height() > 0);
  const WideString stripped = room && params.RemovePrefix ? StripAccelCharsW(text, false) : WideString();
  const WideString& source = params.RemovePrefix ? stripped : text;
  if (room && !source.empty()) {
    TcxTextRows rows;
    Integer count = 0;
    const Boolean fits = MakeTextRowsWide(dc, source.data(), Integer(source.size()), textRect, params, rows, count, maxRows);
    if (count > 0) {
      if (params.CalcRect) {
        if (maxRows > 0 && count > maxRows) count = maxRows;
        textRect.Right = textRect.Left + GetMaxTextRowWidth(rows, count);
        if (!params.SingleLine) {
          MakeTextRowsWide(dc, source.data(), Integer(source.size()), textRect, params, rows, count, maxRows);
          if (maxRows > 0 && count > maxRows) count = maxRows;
        }
        ArrangeTextRows(dc, textRect, params, rows, count);
        textRect.Bottom = GetTextRow(rows, count - 1).Top + params.RowHeight;
        rect = UnprepareTextRect(textRect, params, leftIndent, rightIndent);
      } else {
        ArrangeTextRows(dc, textRect, params, rows, count);
        const Integer textLength = Integer(source.size());
        if (highlightStart < 0 || highlightStart >= textLength) highlightLength = 0;
        else if (highlightLength > textLength - highlightStart) highlightLength = textLength - highlightStart;
        DrawTextRows(dc, textRect, params, rows, count, highlightStart, highlightLength, highlightBackground,
                     highlightText, !fits);
      }
      if (params.ReturnRowCount)
        result = count;
      else {
        result = GetTextRow(rows, count - 1).Top + params.RowHeight - textRect.Top;
        if (result == 0) result = count;
      }
    }
  }
  if (oldFont) SelectObject(dc, oldFont);
  SetTextColor(dc, oldColor);
  return result;
}

Integer DrawFormattedTextDC(HDC dc, const AnsiString& text, TRect& rect, Cardinal flags, HFONT font,
                            Integer maxRows, Integer leftIndent, Integer rightIndent, TColor textColor,
                            Double lineSpacing) {
  Integer charset = GetTextCharset(dc);
  if (font) {
    LOGFONT lf{};
    if (GetObject(font, sizeof(lf), &lf)) charset = lf.lfCharSet;
  }
  const WideString wide = AnsiToWideWithCodePage(text, Cardinal(CharsetToCodePage(Byte(charset))));
  return DrawFormattedTextWide(dc, wide, rect, flags, 0, 0, font, clDefault, clDefault, maxRows, leftIndent,
                               rightIndent, textColor, lineSpacing);
}

Integer DrawFormattedText(TcxCanvas* canvas, const AnsiString& text, TRect& rect, Cardinal flags, HFONT font,
                          Integer maxRows, Integer leftIndent, Integer rightIndent, TColor textColor,
                          Double lineSpacing) {
  return DrawFormattedTextDC(canvas->GetDCHandle(), text, rect, flags, font, maxRows, leftIndent, rightIndent,
                             textColor, lineSpacing);
}
