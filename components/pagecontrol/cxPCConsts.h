// The page control's texts: the error messages of the tab control, its tabs, painters, image
// list and pages, registered with the string repository as one product group.
#pragma once

#include "components/foundation/dxCore.h"

inline constexpr TResStringRec scxPCImageListIndexError{"Index (%d) must be between 0 and %d"_a};
inline constexpr TResStringRec scxPCNoBaseImages{"BaseImages is not assigned"_a};
inline constexpr TResStringRec scxPCNoRegisteredStyles{"There are no styles registered"_a};
inline constexpr TResStringRec scxPCPageIndexError{
    "%d is an invalid PageIndex value.  PageIndex must be between 0 and %d"_a};
inline constexpr TResStringRec scxPCPainterClassError{"PCPainterClass is nil"_a};
inline constexpr TResStringRec scxPCStandardStyleError{"%s is an unsupported standard style"_a};
inline constexpr TResStringRec scxPCStyleNameError{"%s is an unregistered style name"_a};
inline constexpr TResStringRec scxPCTabCountEqualsZero{"Tabs.Count = 0"_a};
inline constexpr TResStringRec scxPCTabIndexError{"Tab's index (%d) out of bounds"_a};
inline constexpr TResStringRec scxPCTabVisibleIndexOutsOfBounds{
    "TabVisibleIndex (%d) must be between 0 and %d"_a};
inline constexpr TResStringRec scxPCVisibleTabListEmpty{"There are no visible tabs"_a};
inline constexpr TResStringRec scxPCAllowRotateError{"%s style does not support rotation of tabs"_a};

// The group name under which the texts are registered.
inline constexpr const char* kPCConstsProductName = "ExpressPageControl";

namespace orv {
// Registers the texts once (the page-control classes call it before their first use); they are
// unregistered when the program ends.
void StartPCConstsUnit();
}  // namespace orv
