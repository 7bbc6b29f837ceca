// The engine's boundary between error codes and exceptions, and the abstract bases of its
// table header, field descriptors and table handle.
#pragma once

#include "dbf/DsConsts.h"
#include "platform/runtime/Types.h"

// The message of an error code: the table's text, or a generic message naming the code for
// a code the table does not hold.
AnsiString DsErrorMessage(Integer code);

// Raises EDatabaseError with the message of the code when its low byte is not 0; returns the
// code otherwise. Every handle result that the components check goes through it.
Integer DsCheck(Integer code);
