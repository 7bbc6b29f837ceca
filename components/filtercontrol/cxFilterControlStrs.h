// The filter control's and its dialogs' user-visible texts, registered with the string repository
// as one product group; filter control code reads them through GetLocalizedResourceString.
#pragma once

#include "components/foundation/dxCore.h"
#include "platform/runtime/AnsiString.h"

inline constexpr TResStringRec cxSFilterBoolOperatorAnd{"AND"_a};
inline constexpr TResStringRec cxSFilterBoolOperatorOr{"OR"_a};
inline constexpr TResStringRec cxSFilterBoolOperatorNotAnd{"NOT AND"_a};
inline constexpr TResStringRec cxSFilterBoolOperatorNotOr{"NOT OR"_a};
inline constexpr TResStringRec cxSFilterRootButtonCaption{"Filter"_a};
inline constexpr TResStringRec cxSFilterAddCondition{"Add &Condition"_a};
inline constexpr TResStringRec cxSFilterAddGroup{"Add &Group"_a};
inline constexpr TResStringRec cxSFilterRemoveRow{"&Remove Row"_a};
inline constexpr TResStringRec cxSFilterClearAll{"Clear &All"_a};
inline constexpr TResStringRec cxSFilterFooterAddCondition{"press the button to add a new condition"_a};
inline constexpr TResStringRec cxSFilterGroupCaption{"applies to the following conditions"_a};
inline constexpr TResStringRec cxSFilterRootGroupCaption{"<root>"_a};
inline constexpr TResStringRec cxSFilterControlNullString{"<empty>"_a};
inline constexpr TResStringRec cxSFilterErrorBuilding{"Can't build filter from source"_a};
inline constexpr TResStringRec cxSFilterDialogCaption{"Custom Filter"_a};
inline constexpr TResStringRec cxSFilterDialogInvalidValue{"Invalid value"_a};
inline constexpr TResStringRec cxSFilterDialogUse{"Use"_a};
inline constexpr TResStringRec cxSFilterDialogSingleCharacter{"to represent any single character"_a};
inline constexpr TResStringRec cxSFilterDialogCharactersSeries{"to represent any series of characters"_a};
inline constexpr TResStringRec cxSFilterDialogOperationAnd{"AND"_a};
inline constexpr TResStringRec cxSFilterDialogOperationOr{"OR"_a};
inline constexpr TResStringRec cxSFilterDialogRows{"Show rows where:"_a};
inline constexpr TResStringRec cxSFilterControlDialogCaption{"Filter builder"_a};
inline constexpr TResStringRec cxSFilterControlDialogNewFile{"untitled.flt"_a};
inline constexpr TResStringRec cxSFilterControlDialogOpenDialogCaption{"Open an existing filter"_a};
inline constexpr TResStringRec cxSFilterControlDialogSaveDialogCaption{"Save the active filter to file"_a};
inline constexpr TResStringRec cxSFilterControlDialogActionSaveCaption{"&Save As..."_a};
inline constexpr TResStringRec cxSFilterControlDialogActionOpenCaption{"&Open..."_a};
inline constexpr TResStringRec cxSFilterControlDialogActionApplyCaption{"&Apply"_a};
inline constexpr TResStringRec cxSFilterControlDialogActionOkCaption{"OK"_a};
inline constexpr TResStringRec cxSFilterControlDialogActionCancelCaption{"Cancel"_a};
inline constexpr TResStringRec cxSFilterControlDialogFileExt{"flt"_a};
inline constexpr TResStringRec cxSFilterControlDialogFileFilter{"Filters (*.flt)|*.flt"_a};

namespace orv {

inline constexpr const char* kFilterControlStringsProductName = "Filter Control";

// Registers the group once per run (unregistered at exit); every unit that includes this
// header starts it.
void StartFilterControlStringsUnit();
inline const bool kFilterControlStringsUnitStarted = (StartFilterControlStringsUnit(), true);

}  // namespace orv
