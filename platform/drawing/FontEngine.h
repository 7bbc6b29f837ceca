// Realized fonts: metrics and glyph coverage for a logical font, from FreeType through
// fontconfig or from the built-in test font; and the text runs the text calls share.
// Not for use outside platform/drawing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/drawing/GdiInternal.h"

namespace orv::gdi {

struct TGlyph {
  int Advance = 0;
  int Left = 0;  // from the pen position to the coverage's left column
  int Top = 0;   // from the baseline up to the coverage's top row
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Coverage;  // Width x Height, 0..255
};

class TFontInstance {
 public:
  virtual ~TFontInstance() = default;
  const TGlyph& Glyph(char32_t c);
  int Advance(char32_t c) { return Glyph(c).Advance; }

  TEXTMETRICW Metrics{};
  std::string Face;       // the logical font's face name
  bool Symbol = false;    // bytes map through the symbol code page
  int UnderlinePos = 1;   // rows below the baseline
  int UnderlineSize = 1;
  int StrikePos = 3;      // rows above the baseline
  int StrikeSize = 1;

 protected:
  virtual void Render(char32_t c, TGlyph& g) = 0;

 private:
  std::vector<std::unique_ptr<TGlyph>> FLow = std::vector<std::unique_ptr<TGlyph>>(0x500);
  std::unordered_map<char32_t, std::unique_ptr<TGlyph>> FHigh;
};

// The realized font of a logical font (cached for the life of the process).
TFontInstance* GetFontInstance(const LOGFONT& font);

std::u32string DecodeText(const TFontInstance& font, const char* text, int count);
std::u32string DecodeText(const TFontInstance& font, const char16_t* text, int count);

// Text runs on a DC. Widths include the character extra and, when `justify`, the
// justification of the break characters.
struct TRunLayout {
  std::vector<int> Advances;
  int Width = 0;
};
TRunLayout LayoutRun(TDc& dc, TFontInstance& font, std::u32string_view text, const INT* dx,
                     bool justify);

// Draws a run with its top-left cell corner at the logical point (x, y) (or at the point the
// DC's text alignment makes of it, when `useAlign`), clipped to the DC and to `clip` (logical;
// nullptr = none). With `cellBackground`, paints the cell behind the text when the DC's
// background mode is opaque. Returns the run's width.
int DrawRun(TDc& dc, int x, int y, std::u32string_view text, const INT* dx, const TRect* clip,
            bool useAlign, bool justify, bool cellBackground);

// The next tab stop after `x` (relative to the tab origin): no stops = every eight average
// characters, one stop = its multiples, more = the listed positions, then the default ones.
int NextTabStop(int x, int tabCount, const INT* tabStops, int defaultWidth);

// Fills a logical rectangle with the background colour through the DC's clip.
void FillBackground(TDc& dc, const TRect& logical);

}  // namespace orv::gdi
