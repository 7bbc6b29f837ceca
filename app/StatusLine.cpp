#include "app/StatusLine.h"

#include "platform/runtime/AnsiString.h"
#include "platform/runtime/SysUtils.h"

namespace orv {

AnsiString FoundCountText(Integer count) { return "Всего найдено записей: "_a + IntToStr(count); }

AnsiString ExportingText(const AnsiString& fileName) { return "Идет запись в файл "_a + fileName + " ..."; }

}  // namespace orv
