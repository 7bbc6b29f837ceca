// The data controller's error messages, registered with the string repository as one product
// group. The code that raises them reads the compiled text (LoadResString).
#pragma once

#include "components/foundation/dxCore.h"
#include "platform/runtime/AnsiString.h"

inline constexpr TResStringRec cxSDataReadError{"Stream read error"_a};
inline constexpr TResStringRec cxSDataWriteError{"Stream write error"_a};
inline constexpr TResStringRec cxSDataItemExistError{"Item already exists"_a};
inline constexpr TResStringRec cxSDataRecordIndexError{"RecordIndex out of range"_a};
inline constexpr TResStringRec cxSDataItemIndexError{"ItemIndex out of range"_a};
inline constexpr TResStringRec cxSDataProviderModeError{"This operation is not supported in provider mode"_a};
inline constexpr TResStringRec cxSDataInvalidStreamFormat{"Invalid stream format"_a};
inline constexpr TResStringRec cxSDataRowIndexError{"RowIndex out of range"_a};
inline constexpr TResStringRec cxSDataCustomDataSourceInvalidCompare{"GetInfoForCompare not implemented"_a};
inline constexpr TResStringRec cxSDBDetailFilterControllerNotFound{"DetailFilterController not found"_a};
inline constexpr TResStringRec cxSDBNotInGridMode{"DataController not in GridMode"_a};
inline constexpr TResStringRec cxSDBKeyFieldNotFound{"Key Field not found"_a};

namespace orv {

// The name of the group in the string repository.
inline constexpr const char* kDataConstsProductName = "Data Controller";

// Registers the group once per run (unregistered at exit); every unit that includes this
// header starts it.
void StartDataConstsUnit();
inline const bool kDataConstsUnitStarted = (StartDataConstsUnit(), true);

}  // namespace orv
