// The editor framework's base unit. For now it holds the framework's exception classes, which
// the mask engines raise, and the letter test the mask languages share; the editor base control
// joins this unit when it is built.
#pragma once

#include "platform/runtime/Collation.h"
#include "platform/runtime/Exceptions.h"

// Misuse of an editor or of one of its engines (an unacceptable repository item, an expression
// used before it was compiled).
ORV_DECLARE_EXCEPTION(EcxEditError, EdxException);

namespace orv {

// Whether `c` is a letter of the locale's code page: one with a case partner in the locale's
// case mapping, Latin and Cyrillic alike.
inline bool IsAnsiLetter(char c) { return AnsiUpperChar(c) != AnsiLowerChar(c); }

}  // namespace orv
