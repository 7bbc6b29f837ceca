// The editor framework's base unit. For now it holds the framework's exception classes, which
// the mask engines raise; the editor base control joins this unit when it is built.
#pragma once

#include "platform/runtime/Exceptions.h"

// Misuse of an editor or of one of its engines (an unacceptable repository item, an expression
// used before it was compiled).
ORV_DECLARE_EXCEPTION(EcxEditError, EdxException);
