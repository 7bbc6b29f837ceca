// String, number and file-name routines of the run-time library.
#pragma once

#include "platform/runtime/Types.h"

// Windows-1251 case mapping and the locale's comparison. Negative, zero or positive.
int AnsiCompareStr(const AnsiString& a, const AnsiString& b);
int AnsiCompareText(const AnsiString& a, const AnsiString& b);
AnsiString AnsiUpperCase(const AnsiString& s);
AnsiString AnsiLowerCase(const AnsiString& s);
