// The library words: registry storage messages and the words of smart date input, registered
// with the string repository as one product group and read through GetLocalizedResourceString.
#pragma once

#include "components/foundation/dxCore.h"
#include "platform/runtime/AnsiString.h"

inline constexpr TResStringRec scxCantCreateRegistryKey{"Can't create the registry key: \\%s"_a};
inline constexpr TResStringRec scxCantOpenRegistryKey{"Can't open the registry key: \\%s"_a};
inline constexpr TResStringRec scxErrorStoreObject{"Error store %s object"_a};
inline constexpr TResStringRec scxConverterCantCreateStyleRepository{"Can't create the Style Repository"_a};
inline constexpr TResStringRec cxSDateToday{"today"_a};
inline constexpr TResStringRec cxSDateYesterday{"yesterday"_a};
inline constexpr TResStringRec cxSDateTomorrow{"tomorrow"_a};
inline constexpr TResStringRec cxSDateSunday{"Sunday"_a};
inline constexpr TResStringRec cxSDateMonday{"Monday"_a};
inline constexpr TResStringRec cxSDateTuesday{"Tuesday"_a};
inline constexpr TResStringRec cxSDateWednesday{"Wednesday"_a};
inline constexpr TResStringRec cxSDateThursday{"Thursday"_a};
inline constexpr TResStringRec cxSDateFriday{"Friday"_a};
inline constexpr TResStringRec cxSDateSaturday{"Saturday"_a};
inline constexpr TResStringRec cxSDateFirst{"first"_a};
inline constexpr TResStringRec cxSDateSecond{"second"_a};
inline constexpr TResStringRec cxSDateThird{"third"_a};
inline constexpr TResStringRec cxSDateFourth{"fourth"_a};
inline constexpr TResStringRec cxSDateFifth{"fifth"_a};
inline constexpr TResStringRec cxSDateSixth{"sixth"_a};
inline constexpr TResStringRec cxSDateSeventh{"seventh"_a};
inline constexpr TResStringRec cxSDateBOM{"bom"_a};
inline constexpr TResStringRec cxSDateEOM{"eom"_a};
inline constexpr TResStringRec cxSDateNow{"now"_a};

namespace orv {

inline constexpr const char* kLibraryConstsProductName = "Library";

// Registers the group once per run (unregistered at exit); every unit that includes this
// header starts it.
void StartLibraryConstsUnit();
inline const bool kLibraryConstsUnitStarted = (StartLibraryConstsUnit(), true);

}  // namespace orv
