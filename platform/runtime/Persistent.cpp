#include "platform/runtime/Persistent.h"

#include "platform/runtime/Exceptions.h"

void TPersistent::Assign(TPersistent* source) {
  if (source)
    source->AssignTo(this);
  else
    AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* dest) { dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* source) {
  const AnsiString from = source ? source->ClassName() : AnsiString("nil");
  throw EConvertError("Cannot assign a " + from + " to a " + ClassName());
}

AnsiString TPersistent::GetNamePath() { return ClassName(); }
