// The platform's formatted text drawing: alignment, single line, word break (whole words, or
// characters inside a long word with the edit-control rules), "&" prefixes, end, path and word
// ellipses, tab expansion, clipping and rectangle calculation.
#include <algorithm>
#include <string>

#include "platform/drawing/FontEngine.h"

using namespace orv;
using namespace orv::gdi;

namespace {

struct TLine {
  std::u32string Text;
  int Underline = -1;  // index of the prefixed character, -1 for none
  int Width = 0;
};

class TFormatter {
 public:
  TFormatter(TDc& dc, UINT format, int tabWidth)
      : FDc(dc), FFont(*FontOf(dc)), FFormat(format), FTab(std::max(tabWidth, 1)) {}

  // Width of a piece of a line that starts at pen 0 (tabs expand from the line's start).
  int Width(std::u32string_view s) const {
    int pen = 0;
    for (char32_t c : s) pen = Step(pen, c);
    return pen;
  }

  int Step(int pen, char32_t c) const {
    if (c == U'\t' && (FFormat & DT_EXPANDTABS)) return (pen / FTab + 1) * FTab;
    return pen + FFont.Advance(c) + FDc.S.CharExtra;
  }

  TFontInstance& Font() { return FFont; }
  UINT Format() const { return FFormat; }
  int Tab() const { return FTab; }

 private:
  TDc& FDc;
  TFontInstance& FFont;
  UINT FFormat;
  int FTab;
};

bool IsBlank(char32_t c) { return c == U' ' || c == U'\t'; }

// Breaks one paragraph into lines no wider than `width`.
void WrapParagraph(const TFormatter& f, std::u32string_view text, int underline, int width,
                   bool charBreak, std::vector<TLine>& out) {
  std::size_t pos = 0;
  do {
    const std::size_t start = pos;
    int pen = 0;
    std::size_t breakAt = std::u32string_view::npos;  // end of the last word that fits
    std::size_t end = text.size(), next = text.size();
    for (std::size_t i = start; i < text.size(); ++i) {
      const char32_t c = text[i];
      if (IsBlank(c)) {
        if (i > start && !IsBlank(text[i - 1])) breakAt = i;
        pen = f.Step(pen, c);
        continue;
      }
      const int after = f.Step(pen, c);
      if (after > width && i > start) {
        if (breakAt != std::u32string_view::npos) {
          end = breakAt;
          next = breakAt;
        } else if (charBreak) {
          end = next = i;
        } else {
          std::size_t wordEnd = i;
          while (wordEnd < text.size() && !IsBlank(text[wordEnd])) ++wordEnd;
          end = next = wordEnd;
        }
        while (next < text.size() && IsBlank(text[next])) ++next;
        break;
      }
      pen = after;
    }
    TLine line;
    line.Text.assign(text.substr(start, end - start));
    if (end < text.size())  // a wrapped line drops its trailing blanks
      while (!line.Text.empty() && IsBlank(line.Text.back())) line.Text.pop_back();
    if (underline >= int(start) && underline < int(start + line.Text.size()))
      line.Underline = underline - int(start);
    line.Width = f.Width(line.Text);
    out.push_back(std::move(line));
    pos = next;
  } while (pos < text.size());
}

// Shortens a line to fit `width` with "..." at its end (`force`: even when it already fits).
void EndEllipsis(const TFormatter& f, TLine& line, int width, bool wordOnly, bool force) {
  if (!force && line.Width <= width) return;
  const int dots = f.Width(U"...");
  std::size_t keep = 0;
  int pen = 0;
  for (std::size_t i = 0; i < line.Text.size(); ++i) {
    const int after = f.Step(pen, line.Text[i]);
    if (after + dots > width) break;
    pen = after;
    keep = i + 1;
  }
  if (wordOnly) {
    std::size_t k = keep;
    while (k > 0 && k < line.Text.size() && !IsBlank(line.Text[k])) --k;
    if (k > 0 || keep == line.Text.size()) keep = k;
  }
  line.Text.resize(keep);
  line.Text += U"...";
  if (line.Underline >= int(keep)) line.Underline = -1;
  line.Width = f.Width(line.Text);
}

// Keeps the last part of a path and as much of its beginning as fits around "...".
void PathEllipsis(const TFormatter& f, TLine& line, int width) {
  if (line.Width <= width) return;
  const std::size_t slash = line.Text.find_last_of(U"\\/");
  if (slash == std::u32string::npos || slash == 0) {
    EndEllipsis(f, line, width, false, false);
    return;
  }
  const std::u32string tail = line.Text.substr(slash);
  const int fixed = f.Width(U"...") + f.Width(tail);
  std::size_t keep = 0;
  int pen = 0;
  for (std::size_t i = 0; i < slash; ++i) {
    const int after = f.Step(pen, line.Text[i]);
    if (after + fixed > width) break;
    pen = after;
    keep = i + 1;
  }
  line.Text = line.Text.substr(0, keep) + U"..." + tail;
  line.Underline = line.Underline < int(keep) ? line.Underline : -1;
  line.Width = f.Width(line.Text);
  if (line.Width > width) EndEllipsis(f, line, width, false, false);
}

template <class Char>
int Length(const Char* text) {
  int n = 0;
  while (text[n]) ++n;
  return n;
}

template <class Char>
int DrawTextT(HDC dc, const Char* text, int count, RECT* rect, UINT format,
              DRAWTEXTPARAMS* params) {
  TDc* d = AsDc(dc);
  if (!d || !rect || !text) return 0;
  if (count < 0) count = Length(text);
  TFontInstance& font = *FontOf(*d);
  int tabChars = 8;
  if (format & DT_TABSTOP) {
    tabChars = int((format >> 8) & 0xFF);
    format &= ~UINT(0xFF00);
  } else if (params && params->iTabLength > 0) {
    tabChars = params->iTabLength;
  }
  const TEXTMETRICW& tm = font.Metrics;
  TFormatter f(*d, format, tabChars * tm.tmAveCharWidth);
  const int lineHeight = tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
  const int leftMargin = params ? params->iLeftMargin : 0;
  const int rightMargin = params ? params->iRightMargin : 0;
  if (params) params->uiLengthDrawn = UINT(count);
  const bool single = format & DT_SINGLELINE;
  const bool calc = format & DT_CALCRECT;

  if (count == 0) {
    if (calc) {
      rect->Right = rect->Left;
      rect->Bottom = rect->Top + (single ? lineHeight : 0);
    }
    return lineHeight;
  }

  // "&x" underlines x, "&&" is one "&".
  std::u32string s = DecodeText(font, text, count);
  int underline = -1;
  if (!(format & DT_NOPREFIX)) {
    std::u32string stripped;
    stripped.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
      if (s[i] == U'&') {
        if (i + 1 >= s.size()) break;
        ++i;
        if (s[i] != U'&' && underline < 0) underline = int(stripped.size());
      }
      stripped.push_back(s[i]);
    }
    s = std::move(stripped);
    if (format & DT_HIDEPREFIX) underline = -1;
  }

  const int width = rect->Right - rect->Left - leftMargin - rightMargin;
  std::vector<TLine> lines;
  if (single) {
    TLine line;
    line.Text = s;
    line.Underline = underline;
    line.Width = f.Width(s);
    lines.push_back(std::move(line));
  } else {
    const bool wrap = format & DT_WORDBREAK;
    const bool charBreak = format & DT_EDITCONTROL;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= s.size(); ++i) {
      if (i < s.size() && s[i] != U'\r' && s[i] != U'\n') continue;
      const std::u32string_view para(s.data() + start, i - start);
      const int u = underline >= int(start) && underline < int(i) ? underline - int(start) : -1;
      if (wrap) {
        WrapParagraph(f, para, u, width, charBreak, lines);
      } else {
        TLine line;
        line.Text.assign(para);
        line.Underline = u;
        line.Width = f.Width(line.Text);
        lines.push_back(std::move(line));
      }
      if (i < s.size() && s[i] == U'\r' && i + 1 < s.size() && s[i + 1] == U'\n') ++i;
      start = i + 1;
      if (i >= s.size()) break;
    }
  }

  // The edit-control rules: no partly visible last line; with an end ellipsis the last whole
  // line says that more text follows.
  const int rectHeight = rect->Bottom - rect->Top;
  bool truncated = false;
  if ((format & DT_EDITCONTROL) && !single && !calc) {
    const std::size_t fit = std::size_t(std::max(1, rectHeight / std::max(lineHeight, 1)));
    if (lines.size() > fit) {
      lines.resize(fit);
      truncated = true;
    }
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    TLine& line = lines[i];
    if (format & DT_PATH_ELLIPSIS) PathEllipsis(f, line, width);
    else if (format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS))
      EndEllipsis(f, line, width, (format & DT_WORD_ELLIPSIS) && !(format & DT_END_ELLIPSIS),
                  truncated && i + 1 == lines.size());
  }

  const int total = lineHeight * int(lines.size());
  if (calc) {
    int widest = 0;
    for (const TLine& l : lines) widest = std::max(widest, l.Width);
    rect->Right = rect->Left + leftMargin + widest + rightMargin;
    rect->Bottom = rect->Top + total;
    return total;
  }

  int y = rect->Top;
  if (single && (format & DT_VCENTER)) y = rect->Top + (rectHeight - lineHeight) / 2;
  else if (single && (format & DT_BOTTOM)) y = rect->Bottom - lineHeight;
  const int top = y;
  const TRect clip = *rect;
  const TRect* clipPtr = (format & DT_NOCLIP) ? nullptr : &clip;
  const int left = rect->Left + leftMargin, right = rect->Right - rightMargin;
  for (const TLine& line : lines) {
    int x = left;
    if (format & DT_CENTER) x = left + (right - left - line.Width) / 2;
    else if (format & DT_RIGHT) x = right - line.Width;
    if (!(format & DT_PREFIXONLY)) {
      if ((format & DT_EXPANDTABS) && line.Text.find(U'\t') != std::u32string::npos) {
        std::size_t from = 0;
        int pen = 0;
        for (std::size_t i = 0; i <= line.Text.size(); ++i) {
          if (i < line.Text.size() && line.Text[i] != U'\t') continue;
          const std::u32string_view piece(line.Text.data() + from, i - from);
          DrawRun(*d, x + pen, y, piece, nullptr, clipPtr, false, false, true);
          pen += f.Width(piece);
          if (i < line.Text.size()) pen = f.Step(pen, U'\t');
          from = i + 1;
        }
      } else {
        DrawRun(*d, x, y, line.Text, nullptr, clipPtr, false, false, true);
      }
    }
    if (line.Underline >= 0 && !(format & DT_HIDEPREFIX)) {
      const int ux = x + f.Width(std::u32string_view(line.Text).substr(0, std::size_t(line.Underline)));
      const int uw = font.Advance(line.Text[std::size_t(line.Underline)]);
      const int uy = y + tm.tmAscent + font.UnderlinePos - 1;
      TRect u = d->ToSurface(TRect{ux, uy, ux + uw, uy + 1});
      if (clipPtr) {
        const TRect c = d->ToSurface(clip);
        u = {std::max(u.Left, c.Left), std::max(u.Top, c.Top), std::min(u.Right, c.Right),
             std::min(u.Bottom, c.Bottom)};
      }
      PaintRect(*d, u, ColorPaint(*d, d->S.TextColor, 0xF0));
    }
    y += lineHeight;
  }
  if (single && (format & (DT_VCENTER | DT_BOTTOM))) return top - rect->Top + total;
  return total;
}

}  // namespace

int DrawText(HDC dc, const char* text, int count, RECT* rect, UINT format) {
  return DrawTextT(dc, text, count, rect, format, nullptr);
}
int DrawTextW(HDC dc, const char16_t* text, int count, RECT* rect, UINT format) {
  return DrawTextT(dc, text, count, rect, format, nullptr);
}
int DrawTextEx(HDC dc, const char* text, int count, RECT* rect, UINT format,
               DRAWTEXTPARAMS* params) {
  return DrawTextT(dc, text, count, rect, format, params);
}
int DrawTextExW(HDC dc, const char16_t* text, int count, RECT* rect, UINT format,
                DRAWTEXTPARAMS* params) {
  return DrawTextT(dc, text, count, rect, format, params);
}
