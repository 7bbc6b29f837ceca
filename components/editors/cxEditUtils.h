// Stored-property conversions of the editors: a stream as "Hex:" text and a Boolean from
// "TRUE" or "FALSE" (a grid view keeps its filter among its stored properties this way).
#pragma once

#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"

// A stored text that names no value of the property.
ORV_DECLARE_EXCEPTION(EPropertyConvertError, Exception);

// "Hex:" and two upper-case hexadecimal digits per byte; empty for no stream or an empty one.
// The stream is read from its start and left at its end.
void StreamToHexString(TStream* stream, AnsiString& text);
// Writes the bytes of a stored text at the stream's position (nothing for no stream or a text
// of five characters or fewer; a last unpaired digit is ignored).
void HexStringToStream(const AnsiString& text, TStream* stream);
// "TRUE" / "FALSE" in any letter case; EPropertyConvertError (no message) otherwise.
Boolean StringToBoolean(const AnsiString& text);

// Whether a character belongs to a number (components/foundation/cxControls.h).
Boolean CharIsValidInNumber(char ch, Integer kind);
// The number editors' name for CharIsValidInNumber: "+", "-" and the digits; kind 1 adds the
// locale's decimal separator, kind 2 the separator, "e" and "E".
inline Boolean IsNumericChar(char c, Integer kind) { return CharIsValidInNumber(c, kind); }
