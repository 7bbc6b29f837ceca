#include "dbf/DsDbApi.h"

#include <string>

#include "platform/runtime/Exceptions.h"

AnsiString DsErrorMessage(Integer code) {
  if (code >= 0 && code < DsErrorCount) return DsErrorTexts[code];
  AnsiString text = SUnknownErrorCode;
  const std::size_t at = text.find("%d");
  return text.replace(at, 2, std::to_string(code));
}

Integer DsCheck(Integer code) {
  const Integer low = code & 0xFF;
  if (low != 0) throw EDatabaseError(DsErrorMessage(low));
  return code;
}
