// The country and town pick lists of the name search, built from a sorted in-memory copy of the
// town table.
#pragma once

#include "memdata/RxMemDS.h"
#include "platform/runtime/Strings.h"

namespace orv {

// Opens `source` (a town table with COUNTRY and CITY), copies it into `memory`, closes `source`
// again, and adds to the lists (after what they hold):
//   - `countries`: each country once per run of equal texts in the order of COUNTRY sorted
//     without regard to case (texts that differ in case only are both added; the empty country
//     is not);
//   - `cities`: every town, duplicates kept, in the order of CITY sorted without regard to case.
// Ties keep the table's order. `memory` is closed at the end: the copy is discarded.
void FillCountryCityLists(TDataSet* source, TRxMemoryData* memory, TStrings& countries,
                          TStrings& cities);

}  // namespace orv
