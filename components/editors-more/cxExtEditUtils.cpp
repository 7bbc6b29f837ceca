#include "components/editors-more/cxExtEditUtils.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "components/foundation/cxGraphics.h"
#include "platform/controls/Graphics.h"
#include "platform/drawing/Gdi.h"
#include "platform/runtime/Locale.h"
#include "platform/runtime/SysUtils.h"

void ExtendRectSides(TRect& rect, Integer dLeft, Integer dTop, Integer dRight, Integer dBottom) {
  rect.Left += dLeft;
  rect.Top += dTop;
  rect.Right += dRight;
  rect.Bottom += dBottom;
}

Integer GetClampedRectWidth(const TRect& rect) {
  const Int64 w = Int64(rect.Right) - rect.Left;
  return w < 0 ? 0 : Integer(std::min<Int64>(w, std::numeric_limits<Integer>::max()));
}

Integer GetClampedRectHeight(const TRect& rect) {
  const Int64 h = Int64(rect.Bottom) - rect.Top;
  return h < 0 ? 0 : Integer(std::min<Int64>(h, std::numeric_limits<Integer>::max()));
}

Integer MakeTextFlags(Integer baseFlags, TAlignment horzAlignment, TcxEditVertAlignment vertAlignment,
                      Boolean endEllipsis, Boolean wordWrap, Integer tabWidth, Boolean platformFlags,
                      Boolean showPrefix) {
  Integer flags = baseFlags;
  if (platformFlags) {
    switch (horzAlignment) {
      case taRightJustify: flags |= DT_RIGHT; break;
      case taCenter: flags |= DT_CENTER; break;
      default: break;
    }
    switch (vertAlignment) {
      case taBottomJustify: flags |= DT_BOTTOM; break;
      case taVCenter: flags |= DT_VCENTER; break;
      default: break;
    }
    if (endEllipsis) flags |= DT_END_ELLIPSIS;
    if (wordWrap) flags |= DT_WORDBREAK;
    if (tabWidth > 0) flags |= DT_EXPANDTABS | DT_TABSTOP;
    if (!showPrefix) flags |= DT_NOPREFIX;
  } else {
    switch (horzAlignment) {
      case taRightJustify: flags |= cxAlignRight; break;
      case taCenter: flags |= cxAlignHCenter; break;
      default: flags |= cxAlignLeft; break;
    }
    switch (vertAlignment) {
      case taBottomJustify: flags |= cxAlignBottom; break;
      case taVCenter: flags |= cxAlignVCenter; break;
      default: flags |= cxAlignTop; break;
    }
    if (endEllipsis) flags |= cxShowEndEllipsis;
    if (wordWrap) flags |= cxWordBreak;
    if (tabWidth > 0) flags |= cxExpandTabs;
    if (showPrefix) flags |= cxShowPrefix;
  }
  return flags;
}

Boolean IsVarNullOrEmpty(const Variant& value) { return VarIsNull(value) || VarIsEmpty(value); }

Boolean IsIntegerText(const AnsiString& text) {
  const AnsiString t = Trim(text);
  if (t.empty()) return false;
  std::size_t i = 0;
  Boolean negative = false;
  if (t[0] == '+' || t[0] == '-') {
    negative = t[0] == '-';
    ++i;
  }
  Integer base = 10;
  if (i < t.size() && (t[i] == '$' || t[i] == 'x' || t[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= t.size()) return false;
  Int64 value = 0;
  for (; i < t.size(); ++i) {
    const char c = t[i];
    Integer digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return false;
    value = value * base + digit;
    // Hexadecimal texts may spell a negative number through the sign bit (as $FFFFFFFF).
    const Int64 limit = base == 16 ? 0xFFFFFFFFLL : (negative ? 0x80000000LL : 0x7FFFFFFFLL);
    if (value > limit) return false;
  }
  return true;
}

Boolean IsFloatText(const AnsiString& text) {
  const AnsiString t = Trim(text);
  if (t.empty()) return false;
  const char separator = FormatSettings.DecimalSeparator;
  Boolean separatorSeen = false;
  Boolean digitSeen = false;
  for (std::size_t i = 0; i < t.size(); ++i) {
    const char c = t[i];
    if (c >= '0' && c <= '9') {
      digitSeen = true;
    } else if (c == separator && !separatorSeen) {
      separatorSeen = true;
    } else if (c == '-' && i == 0) {
    } else {
      return false;
    }
  }
  // A lone sign or separator is no number; a check answers no rather than raising.
  if (!digitSeen) return false;
  // The text holds only digits, a sign and one separator: the C conversion reads it exactly once
  // the separator is a full stop, also beyond the range of a double (infinity).
  AnsiString plain = t;
  for (char& c : plain)
    if (c == separator) c = '.';
  const double value = std::strtod(plain.c_str(), nullptr);
  return std::isfinite(value) && std::fabs(value) <= 1.7E308;
}

Boolean SetCanvasFontAngle(TcxCanvas* canvas, TFont* font, Integer angle) {
  canvas->SetFont(font);
  TEXTMETRIC metrics{};
  GetTextMetrics(canvas->GetDCHandle(), &metrics);
  const Boolean trueType = (metrics.tmPitchAndFamily & TMPF_TRUETYPE) != 0;
  if (trueType) {
    const Integer a = ((angle % 360) + 360) % 360;
    if (a != 0) {
      LOGFONT lf = canvas->GetFontInfo();
      lf.lfEscapement = a * 10;
      canvas->SetFont(lf);
    }
  }
  return trueType;
}

Integer GetEffectiveFontAngle(TcxCanvas* canvas, Integer angle) {
  TEXTMETRIC metrics{};
  GetTextMetrics(canvas->GetDCHandle(), &metrics);
  if ((metrics.tmPitchAndFamily & TMPF_TRUETYPE) == 0) return 0;
  return ((angle % 360) + 360) % 360;
}
