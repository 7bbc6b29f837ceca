// Logical fonts realized through fontconfig and FreeType (grayscale antialiasing), the
// built-in test font, the symbol code page, and font creation and metric queries.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>

#include "platform/drawing/FontEngine.h"
#include "platform/runtime/AnsiString.h"

namespace orv::gdi {

// ---- Glyph cache ------------------------------------------------------------------------------

const TGlyph& TFontInstance::Glyph(char32_t c) {
  std::unique_ptr<TGlyph>* slot;
  if (c < FLow.size()) {
    slot = &FLow[c];
  } else {
    slot = &FHigh[c];
  }
  if (!*slot) {
    *slot = std::make_unique<TGlyph>();
    if (c >= 0x20) Render(c, **slot);
  }
  return **slot;
}

// ---- The symbol code page ---------------------------------------------------------------------

namespace {

// Bytes 0x20..0xFF of the symbol code page; 0 where it has no character.
constexpr char16_t kSymbol[224] = {
    // 0x20
    0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220B,
    0x0028, 0x0029, 0x2217, 0x002B, 0x002C, 0x2212, 0x002E, 0x002F,
    // 0x30
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037,
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F,
    // 0x40
    0x2245, 0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393,
    0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F,
    // 0x50
    0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9,
    0x039E, 0x03A8, 0x0396, 0x005B, 0x2234, 0x005D, 0x22A5, 0x005F,
    // 0x60
    0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3,
    0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF,
    // 0x70
    0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9,
    0x03BE, 0x03C8, 0x03B6, 0x007B, 0x007C, 0x007D, 0x223C, 0,
    // 0x80
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    // 0x90
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    // 0xA0
    0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663,
    0x2666, 0x2665, 0x2660, 0x2194, 0x2190, 0x2191, 0x2192, 0x2193,
    // 0xB0
    0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022,
    0x00F7, 0x2260, 0x2261, 0x2248, 0x2026, 0x23D0, 0x23AF, 0x21B5,
    // 0xC0
    0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229,
    0x222A, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209,
    // 0xD0
    0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5,
    0x00AC, 0x2227, 0x2228, 0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3,
    // 0xE0
    0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211, 0x239B, 0x239C,
    0x239D, 0x23A1, 0x23A2, 0x23A3, 0x23A7, 0x23A8, 0x23A9, 0x23AA,
    // 0xF0
    0, 0x232A, 0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F,
    0x23A0, 0x23A4, 0x23A5, 0x23A6, 0x23AB, 0x23AC, 0x23AD, 0,
};

}  // namespace

}  // namespace orv::gdi

char32_t orv::SymbolToUnicode(unsigned char b) {
  if (b < 0x20) return b;
  const char16_t c = orv::gdi::kSymbol[b - 0x20];
  return c ? char32_t(c) : char32_t(0xFFFD);
}

namespace orv::gdi {

std::u32string DecodeText(const TFontInstance& font, const char* text, int count) {
  std::u32string out;
  if (!text || count <= 0) return out;
  out.reserve(std::size_t(count));
  for (int i = 0; i < count; ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    out.push_back(font.Symbol ? SymbolToUnicode(b) : Cp1251ToUnicode(b));
  }
  return out;
}

std::u32string DecodeText(const TFontInstance& font, const char16_t* text, int count) {
  std::u32string out;
  if (!text || count <= 0) return out;
  out.reserve(std::size_t(count));
  for (int i = 0; i < count; ++i) {
    char32_t c = text[i];
    // A symbol font's characters also live at U+F020..U+F0FF.
    if (font.Symbol && ((c >= 0xF020 && c <= 0xF0FF) || (c >= 0x20 && c <= 0xFF)))
      c = SymbolToUnicode(static_cast<unsigned char>(c & 0xFF));
    out.push_back(c);
  }
  return out;
}

// ---- Common metric set-up ------------------------------------------------------------------------

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

void FillCommonMetrics(TFontInstance& f, const LOGFONT& lf) {
  TEXTMETRICW& m = f.Metrics;
  m.tmWeight = lf.lfWeight ? lf.lfWeight : FW_NORMAL;
  m.tmItalic = lf.lfItalic ? 1 : 0;
  m.tmUnderlined = lf.lfUnderline ? 1 : 0;
  m.tmStruckOut = lf.lfStrikeOut ? 1 : 0;
  m.tmFirstChar = 0x20;
  m.tmLastChar = 0xFFFC;
  m.tmDefaultChar = 0x1F;
  m.tmBreakChar = 0x20;
  m.tmOverhang = 0;
  m.tmDigitizedAspectX = 96;
  m.tmDigitizedAspectY = 96;
  // The text of this system is Windows-1251: the default charset is the Cyrillic one.
  m.tmCharSet = f.Symbol ? SYMBOL_CHARSET
                         : (lf.lfCharSet == DEFAULT_CHARSET ? RUSSIAN_CHARSET : lf.lfCharSet);
}

// ---- The built-in test font -------------------------------------------------------------------

// Fixed metrics and box glyphs: every character advances by half the cell height; capitals,
// digits and signs are boxes of the cap height, small letters of two thirds of it (ascenders
// and descenders longer); regular glyphs are outlined, bold ones filled.
class TTestFont final : public TFontInstance {
 public:
  explicit TTestFont(const LOGFONT& lf) {
    const int h = lf.lfHeight;
    const int cell = h > 0 ? h : h < 0 ? -h + (-h) / 4 : 16;
    const int em = h < 0 ? -h : cell - cell / 5;
    FBold = lf.lfWeight >= FW_SEMIBOLD;
    TEXTMETRICW& m = Metrics;
    m.tmHeight = cell;
    m.tmAscent = (cell * 4 + 2) / 5;
    m.tmDescent = cell - m.tmAscent;
    m.tmInternalLeading = cell - em;
    m.tmExternalLeading = 0;
    m.tmAveCharWidth = std::max(1, cell / 2);
    m.tmMaxCharWidth = m.tmAveCharWidth;
    m.tmPitchAndFamily = TMPF_TRUETYPE | TMPF_VECTOR | FF_MODERN;  // fixed pitch
    FillCommonMetrics(*this, lf);
    UnderlinePos = std::min(1, m.tmDescent);
    StrikePos = std::max(1, (m.tmAscent - m.tmInternalLeading) / 3);
  }

 protected:
  void Render(char32_t c, TGlyph& g) override {
    const TEXTMETRICW& m = Metrics;
    g.Advance = m.tmAveCharWidth;
    if (c == 0x20 || c == 0xA0 || c == 0x09) return;
    const int cap = std::max(1, m.tmAscent - m.tmInternalLeading);
    const int xh = std::max(1, cap * 2 / 3);
    int top = cap, bottom = 0;  // rows above the baseline (top) down to (bottom, negative = below)
    const bool lower = (c >= U'a' && c <= U'z') || (c >= 0x430 && c <= 0x44F) || c == 0x451;
    if (lower) {
      top = std::u32string_view(U"bdfhklt\u0431\u0439").find(c) != std::u32string_view::npos ? cap : xh;
      if (std::u32string_view(U"gjpqy\u0440\u0443\u0434\u0444\u0446\u0449").find(c) !=
          std::u32string_view::npos)
        bottom = -std::max(1, m.tmDescent - 1);
    } else if (c == U'.' || c == U',') {
      top = std::max(1, cap / 5);
    } else if (c == U'-') {
      top = xh / 2 + 1;
      bottom = xh / 2;
    } else if (c == U'_') {
      top = 0;
      bottom = -1;
    }
    g.Left = 0;
    g.Width = std::max(1, g.Advance - 1);
    g.Top = top;
    g.Height = std::max(1, top - bottom);
    g.Coverage.assign(std::size_t(g.Width * g.Height), 0);
    for (int y = 0; y < g.Height; ++y)
      for (int x = 0; x < g.Width; ++x) {
        const bool edge = x == 0 || y == 0 || x == g.Width - 1 || y == g.Height - 1;
        if (FBold || edge) g.Coverage[std::size_t(y * g.Width + x)] = 255;
      }
  }

 private:
  bool FBold = false;
};

// ---- FreeType fonts ---------------------------------------------------------------------------

FT_Library Library() {
  static FT_Library lib = [] {
    FT_Library l = nullptr;
    FT_Init_FreeType(&l);
    return l;
  }();
  return lib;
}

// The installed metric-compatible (or closest) family for the platform's face names.
std::string MapFamily(const std::string& face, bool& symbol) {
  static const std::map<std::string, std::string> kAliases = {
      {"", "Liberation Sans"},
      {"ms sans serif", "Liberation Sans"},
      {"microsoft sans serif", "Liberation Sans"},
      {"ms shell dlg", "Liberation Sans"},
      {"ms shell dlg 2", "Liberation Sans"},
      {"arial", "Liberation Sans"},
      {"helvetica", "Liberation Sans"},
      {"segoe ui", "Liberation Sans"},
      {"tahoma", "Liberation Sans"},
      {"verdana", "DejaVu Sans"},
      {"system", "Liberation Sans"},
      {"times new roman", "Liberation Serif"},
      {"times", "Liberation Serif"},
      {"ms serif", "Liberation Serif"},
      {"courier", "Liberation Mono"},
      {"courier new", "Liberation Mono"},
      {"fixedsys", "Liberation Mono"},
      {"terminal", "Liberation Mono"},
      {"lucida console", "Liberation Mono"},
      {"symbol", "DejaVu Sans"},
  };
  const std::string key = Lower(face);
  if (key == "symbol") symbol = true;
  auto it = kAliases.find(key);
  return it != kAliases.end() ? it->second : face;
}

struct TMatch {
  std::string File;
  int Index = 0;
  bool Embolden = false;
  bool Oblique = false;
};

TMatch MatchFont(const std::string& family, int weight, bool italic) {
  // fontconfig's configuration is released at exit so that leak checkers see a clean process.
  static const bool initialized = [] {
    const bool ok = FcInit();
    std::atexit(FcFini);
    return ok;
  }();
  (void)initialized;
  TMatch out;
  FcPattern* pat = FcPatternCreate();
  FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>("Liberation Sans"));
  FcPatternAddInteger(pat, FC_WEIGHT, FcWeightFromOpenType(weight));
  FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pat, &result);
  if (match) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
      out.File = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(match, FC_INDEX, 0, &out.Index);
    FcBool embolden = FcFalse;
    if (FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden) == FcResultMatch)
      out.Embolden = embolden;
    int slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(match, FC_SLANT, 0, &slant);
    out.Oblique = italic && slant == FC_SLANT_ROMAN;
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pat);
  return out;
}

class TFreeTypeFont final : public TFontInstance {
 public:
  TFreeTypeFont(const LOGFONT& lf, FT_Face face, const TMatch& match)
      : FFace(face), FEmbolden(match.Embolden), FOblique(match.Oblique) {
    FMono = lf.lfQuality == NONANTIALIASED_QUALITY;
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const double upem = face->units_per_EM ? face->units_per_EM : 2048;
    const double winAscent = os2 ? os2->usWinAscent : face->ascender;
    const double winDescent = os2 ? os2->usWinDescent : -face->descender;
    int em;
    if (lf.lfHeight < 0) em = -lf.lfHeight;
    else if (lf.lfHeight > 0) em = std::max(1, int(std::lround(lf.lfHeight * upem / (winAscent + winDescent))));
    else em = 12;
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(em));
    const double scale = em / upem;
    TEXTMETRICW& m = Metrics;
    m.tmAscent = int(std::lround(winAscent * scale));
    m.tmDescent = int(std::lround(winDescent * scale));
    if (lf.lfHeight > 0) m.tmDescent = std::max(0, lf.lfHeight - m.tmAscent);
    m.tmHeight = m.tmAscent + m.tmDescent;
    m.tmInternalLeading = std::max(0, m.tmHeight - em);
    // FreeType's height is the recommended line spacing.
    m.tmExternalLeading =
        std::max(0, int(std::lround((face->height - winAscent - winDescent) * scale)));
    const double avg = os2 && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth : upem / 2;
    m.tmAveCharWidth = std::max(1, int(std::lround(avg * scale)));
    m.tmMaxCharWidth = std::max(1, int(std::lround((face->bbox.xMax - face->bbox.xMin) * scale)));
    const bool fixed = FT_IS_FIXED_WIDTH(face);
    m.tmPitchAndFamily = BYTE(TMPF_TRUETYPE | TMPF_VECTOR | (fixed ? 0 : TMPF_FIXED_PITCH) |
                              (lf.lfPitchAndFamily & 0xF0));
    FillCommonMetrics(*this, lf);
    UnderlinePos = std::max(1, int(std::lround(-face->underline_position * scale)));
    UnderlineSize = std::max(1, int(std::lround(face->underline_thickness * scale)));
    StrikePos = os2 ? std::max(1, int(std::lround(os2->yStrikeoutPosition * scale)))
                    : std::max(1, m.tmAscent / 3);
    StrikeSize = os2 ? std::max(1, int(std::lround(os2->yStrikeoutSize * scale))) : UnderlineSize;
  }
  ~TFreeTypeFont() override { FT_Done_Face(FFace); }

 protected:
  void Render(char32_t c, TGlyph& g) override {
    FT_UInt index = FT_Get_Char_Index(FFace, c);
    if (FT_Load_Glyph(FFace, index, FT_LOAD_DEFAULT | (FMono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL)) != 0)
      return;
    FT_GlyphSlot slot = FFace->glyph;
    if (FEmbolden) FT_GlyphSlot_Embolden(slot);
    if (FOblique) FT_GlyphSlot_Oblique(slot);
    g.Advance = int((slot->advance.x + 32) >> 6);
    if (FT_Render_Glyph(slot, FMono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return;
    const FT_Bitmap& bm = slot->bitmap;
    g.Left = slot->bitmap_left;
    g.Top = slot->bitmap_top;
    g.Width = int(bm.width);
    g.Height = int(bm.rows);
    g.Coverage.assign(std::size_t(g.Width) * std::size_t(g.Height), 0);
    for (int y = 0; y < g.Height; ++y) {
      const unsigned char* row = bm.buffer + std::ptrdiff_t(y) * bm.pitch;
      for (int x = 0; x < g.Width; ++x) {
        std::uint8_t v;
        if (bm.pixel_mode == FT_PIXEL_MODE_MONO) v = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        else v = row[x];
        g.Coverage[std::size_t(y * g.Width + x)] = v;
      }
    }
  }

 private:
  FT_Face FFace;
  bool FEmbolden;
  bool FOblique;
  bool FMono = false;
};

std::unique_ptr<TFontInstance> Realize(const LOGFONT& lf) {
  const std::string face(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
  std::unique_ptr<TFontInstance> f;
  if (face == kTestFontFace) {
    f = std::make_unique<TTestFont>(lf);
  } else {
    bool symbol = lf.lfCharSet == SYMBOL_CHARSET;
    const std::string family = MapFamily(face, symbol);
    const int weight = lf.lfWeight ? lf.lfWeight : FW_NORMAL;
    const TMatch match = MatchFont(family, weight, lf.lfItalic != 0);
    FT_Face ftFace = nullptr;
    if (!match.File.empty() && FT_New_Face(Library(), match.File.c_str(), match.Index, &ftFace) == 0) {
      LOGFONT copy = lf;
      if (symbol) copy.lfCharSet = SYMBOL_CHARSET;
      f = std::make_unique<TFreeTypeFont>(copy, ftFace, match);
      f->Symbol = symbol;
      f->Metrics.tmCharSet = symbol ? SYMBOL_CHARSET : f->Metrics.tmCharSet;
    } else {
      // No font file at all: fall back to the test font so that text still has metrics.
      f = std::make_unique<TTestFont>(lf);
    }
  }
  f->Face = face;
  return f;
}

}  // namespace

TFontInstance* GetFontInstance(const LOGFONT& lf) {
  static auto* cache = new std::map<std::string, std::unique_ptr<TFontInstance>>;
  std::string key(reinterpret_cast<const char*>(&lf), offsetof(LOGFONT, lfFaceName));
  key += Lower(std::string(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE)));
  auto& slot = (*cache)[key];
  if (!slot) slot = Realize(lf);
  return slot.get();
}

TFontInstance* FontOf(TDc& dc) {
  TFont* f = dc.S.Font ? dc.S.Font : StockFont(SYSTEM_FONT);
  if (!f->Instance) f->Instance = GetFontInstance(f->Log);
  return f->Instance;
}

}  // namespace orv::gdi

using namespace orv;
using namespace orv::gdi;

// ---- The platform's font calls --------------------------------------------------------------

HFONT CreateFontIndirect(const LOGFONT* font) {
  if (!font) return nullptr;
  auto* f = new TFont;
  f->Log = *font;
  f->Log.lfFaceName[LF_FACESIZE - 1] = 0;
  Register(f, f);
  return f;
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight,
                 DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                 DWORD outPrecision, DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily,
                 const char* faceName) {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = BYTE(italic);
  lf.lfUnderline = BYTE(underline);
  lf.lfStrikeOut = BYTE(strikeOut);
  lf.lfCharSet = BYTE(charSet);
  lf.lfOutPrecision = BYTE(outPrecision);
  lf.lfClipPrecision = BYTE(clipPrecision);
  lf.lfQuality = BYTE(quality);
  lf.lfPitchAndFamily = BYTE(pitchAndFamily);
  if (faceName) std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
  return CreateFontIndirect(&lf);
}

BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics) {
  TDc* d = AsDc(dc);
  if (!d || !metrics) return 0;
  *metrics = FontOf(*d)->Metrics;
  return 1;
}

BOOL GetTextMetrics(HDC dc, TEXTMETRIC* metrics) {
  TEXTMETRICW w;
  if (!metrics || !GetTextMetricsW(dc, &w)) return 0;
  metrics->tmHeight = w.tmHeight;
  metrics->tmAscent = w.tmAscent;
  metrics->tmDescent = w.tmDescent;
  metrics->tmInternalLeading = w.tmInternalLeading;
  metrics->tmExternalLeading = w.tmExternalLeading;
  metrics->tmAveCharWidth = w.tmAveCharWidth;
  metrics->tmMaxCharWidth = w.tmMaxCharWidth;
  metrics->tmWeight = w.tmWeight;
  metrics->tmOverhang = w.tmOverhang;
  metrics->tmDigitizedAspectX = w.tmDigitizedAspectX;
  metrics->tmDigitizedAspectY = w.tmDigitizedAspectY;
  metrics->tmFirstChar = 0x20;
  metrics->tmLastChar = 0xFF;
  metrics->tmDefaultChar = 0x1F;
  metrics->tmBreakChar = 0x20;
  metrics->tmItalic = w.tmItalic;
  metrics->tmUnderlined = w.tmUnderlined;
  metrics->tmStruckOut = w.tmStruckOut;
  metrics->tmPitchAndFamily = w.tmPitchAndFamily;
  metrics->tmCharSet = w.tmCharSet;
  return 1;
}

int GetTextFace(HDC dc, int size, char* faceName) {
  TDc* d = AsDc(dc);
  if (!d) return 0;
  const std::string& face = FontOf(*d)->Face;
  if (!faceName) return int(face.size()) + 1;
  if (size <= 0) return 0;
  const int n = std::min(int(face.size()), size - 1);
  std::memcpy(faceName, face.data(), std::size_t(n));
  faceName[n] = 0;
  return n;
}

int GetTextCharset(HDC dc) {
  TDc* d = AsDc(dc);
  return d ? FontOf(*d)->Metrics.tmCharSet : DEFAULT_CHARSET;
}
