// Messages of the dataset framework. Those with "%s" take the field's display name (or the
// value first, then the field, where two are named).
#pragma once

namespace orv::db {

inline constexpr const char* SFieldNotFound = "Field '%s' not found";
inline constexpr const char* SNotEditing = "Dataset not in edit or insert mode";
inline constexpr const char* SFieldReadOnly = "Field '%s' cannot be modified";
inline constexpr const char* SFieldRequired = "Field '%s' must have a value";
inline constexpr const char* SDataSetClosed = "Cannot perform this operation on a closed dataset";
inline constexpr const char* SDataSetOpen = "Cannot perform this operation on an open dataset";
inline constexpr const char* SDataSetReadOnly = "Cannot modify a read-only dataset";
inline constexpr const char* SDataSetEmpty = "Cannot perform this operation on an empty dataset";
inline constexpr const char* SRecordNotFound = "Record not found";
inline constexpr const char* SNotBrowsing = "Dataset not in browse mode";
inline constexpr const char* SBookmarkNotFound = "Bookmark not found";
inline constexpr const char* SFieldIndexError = "Field index out of range";
inline constexpr const char* SDuplicateFieldName = "Duplicate field name '%s'";
inline constexpr const char* SFieldNameMissing = "Field name missing";
inline constexpr const char* SFieldTypeMismatch = "Type mismatch for field '%s'";
inline constexpr const char* SFieldAccessError = "Cannot access field '%s' as type %s";
inline constexpr const char* SFieldValueError = "Invalid value for field '%s'";
inline constexpr const char* SNotAnInteger = "'%s' is not a valid integer value for field '%s'";
inline constexpr const char* SNotAFloat = "'%s' is not a valid floating point value for field '%s'";
inline constexpr const char* SNotADate = "'%s' is not a valid date and time for field '%s'";
inline constexpr const char* SNotABoolean = "'%s' is not a valid boolean value for field '%s'";
inline constexpr const char* SFieldRangeError = "%s is not a valid value for field '%s'. The allowed range is %s to %s";
inline constexpr const char* SInvalidFieldSize = "Invalid field size";
inline constexpr const char* SUnknownFieldType = "Field '%s' is of an unknown type";
inline constexpr const char* SFieldUndefinedType = "Field '%s' is of an unsupported type";
inline constexpr const char* SNoDataSet = "Missing data set";
inline constexpr const char* SCircularDataLink = "Circular datalinks are not allowed";
inline constexpr const char* SPropDefByLookup = "Property already defined by lookup field";
inline constexpr const char* SLookupInfoError = "Lookup information for field '%s' is incomplete";
inline constexpr const char* SNotConnected = "Connection is not active";
inline constexpr const char* SParameterNotFound = "Parameter '%s' not found";
inline constexpr const char* SNoFieldAccess = "Cannot access field '%s' in a filter";
inline constexpr const char* SFieldDefNotFound = "Field definition '%s' not found";
inline constexpr const char* SDataSourceChange = "DataSource cannot be changed";
inline constexpr const char* SInvalidCalcType = "Field '%s' cannot be a calculated or lookup field";

}  // namespace orv::db
