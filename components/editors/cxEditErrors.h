// The editors' exception classes, apart from cxEdit.h so that the engines that raise them (the
// mask's regular expressions) do not pull in the whole editor model.
#pragma once

#include "platform/runtime/Exceptions.h"

// Misuse of an editor or of one of its engines (an unacceptable repository item, an expression
// used before it was compiled).
ORV_DECLARE_EXCEPTION(EcxEditError, EdxException);
// A value the editor's validation rejected; the message is the text shown to the user.
ORV_DECLARE_EXCEPTION(EcxEditValidationError, EcxEditError);
