// Small free routines the label, the progress bar and the check list box share: rectangle side
// arithmetic, text-flag building from alignment settings, number-text checks and font rotation.
// They keep no state.
#pragma once

#include "components/editors/cxEdit.h"
#include "platform/runtime/Types.h"
#include "platform/runtime/Variants.h"

class TcxCanvas;
class TFont;

// Adds each delta to its side.
void ExtendRectSides(TRect& rect, Integer dLeft, Integer dTop, Integer dRight, Integer dBottom);
// Right - Left (Bottom - Top), never negative.
Integer GetClampedRectWidth(const TRect& rect);
Integer GetClampedRectHeight(const TRect& rect);

// `baseFlags` with the bits of the alignment and text settings added: the platform's DrawText
// flags when `platformFlags`, else the canvas text flags (cxAlign..., cxWordBreak ...).
Integer MakeTextFlags(Integer baseFlags, TAlignment horzAlignment, TcxEditVertAlignment vertAlignment,
                      Boolean endEllipsis, Boolean wordWrap, Integer tabWidth, Boolean platformFlags,
                      Boolean showPrefix);

Boolean IsVarNullOrEmpty(const Variant& value);
// A signed 32-bit integer, decimal or hexadecimal ("$", "x", "0x"), blanks around allowed.
Boolean IsIntegerText(const AnsiString& text);
// Digits, at most one locale decimal separator and a leading minus, whose value lies within
// +-1.7E308. A text of only a sign or a separator is no number (false, not an error).
Boolean IsFloatText(const AnsiString& text);

// The canvas takes the font, turned by `angle` degrees when it is a TrueType font; answers
// whether it is one. An angle that comes to 0 (mod 360) leaves the font as it is.
Boolean SetCanvasFontAngle(TcxCanvas* canvas, TFont* font, Integer angle);
// The normalised angle (0..359) a canvas font would be turned by: 0 for a non-TrueType font.
Integer GetEffectiveFontAngle(TcxCanvas* canvas, Integer angle);
