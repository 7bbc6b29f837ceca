// The texts of the main window's status line.
#pragma once

#include "platform/runtime/Types.h"

namespace orv {

// "Всего найдено записей: " and the number of towns the last search found.
AnsiString FoundCountText(Integer count);
// "Идет запись в файл " and the file name, while an export writes it.
AnsiString ExportingText(const AnsiString& fileName);

}  // namespace orv
