// The table engine's error codes and the texts of its messages.
//
// The lower layers of the engine (header, field codec, table handle) report failures as
// one-byte codes; only the components at the top turn a code into a database error with the
// code's text (DsCheck, DsDbApi.h). Codes 29 and 30 are navigation results, not failures.
#pragma once

#include "platform/runtime/Types.h"

// Error codes. The engine produces 2, 3, 4, 6, 15, 19, 20, 29, 30, 32, 40, 42, 45, 47 and 48;
// the others complete the table.
inline constexpr Byte dsErrNone = 0;
inline constexpr Byte dsErrAccessDenied = 1;
inline constexpr Byte dsErrCannotOpenFile = 2;
inline constexpr Byte dsErrCannotSeekFile = 3;
inline constexpr Byte dsErrCannotReadFile = 4;
inline constexpr Byte dsErrCannotCreateFile = 5;
inline constexpr Byte dsErrCannotWriteFile = 6;
inline constexpr Byte dsErrDuplicateTableName = 7;
inline constexpr Byte dsErrDuplicateUserName = 8;
inline constexpr Byte dsErrDuplicateFieldName = 9;
inline constexpr Byte dsErrDuplicateAutoIncField = 10;
inline constexpr Byte dsErrDuplicateIndexName = 11;
inline constexpr Byte dsErrObjectNotFound = 12;
inline constexpr Byte dsErrDatabaseFileNotFound = 13;
inline constexpr Byte dsErrTableNotFound = 14;
inline constexpr Byte dsErrRecordNotFound = 15;
inline constexpr Byte dsErrFieldNotFound = 16;
inline constexpr Byte dsErrBlockNotFound = 17;
inline constexpr Byte dsErrIndexNotFound = 18;
inline constexpr Byte dsErrRecordDeleted = 19;
inline constexpr Byte dsErrTableReadOnly = 20;
inline constexpr Byte dsErrFieldReadOnly = 21;
inline constexpr Byte dsErrNotSufficientRights = 22;
inline constexpr Byte dsErrInvalidKeyword = 23;
inline constexpr Byte dsErrTableBusy = 24;
inline constexpr Byte dsErrObjectLocked = 25;
inline constexpr Byte dsErrNotBlobField = 26;
inline constexpr Byte dsErrNotCurrentRecord = 27;
inline constexpr Byte dsErrIndexOpened = 28;
inline constexpr Byte dsErrBeginOfFile = 29;
inline constexpr Byte dsErrEndOfFile = 30;
inline constexpr Byte dsErrBeginOfBlob = 31;
inline constexpr Byte dsErrEndOfBlob = 32;
inline constexpr Byte dsErrTooManyTables = 33;
inline constexpr Byte dsErrTooManyUsers = 34;
inline constexpr Byte dsErrTooManyProcs = 35;
inline constexpr Byte dsErrTooManyChecks = 36;
inline constexpr Byte dsErrTooManyFields = 37;
inline constexpr Byte dsErrTooManyIndexes = 38;
inline constexpr Byte dsErrDatabaseClosed = 39;
inline constexpr Byte dsErrTableCrypted = 40;
inline constexpr Byte dsErrInvalidObject = 41;
inline constexpr Byte dsErrInvalidHandle = 42;
inline constexpr Byte dsErrInvalidDatabaseHandle = 43;
inline constexpr Byte dsErrInvalidFilterHandle = 44;
inline constexpr Byte dsErrInvalidParameter = 45;
inline constexpr Byte dsErrInvalidBookmark = 46;
inline constexpr Byte dsErrInvalidBlobOffset = 47;
inline constexpr Byte dsErrInvalidDatabaseFile = 48;
inline constexpr Byte dsErrInvalidDatabaseVersion = 49;
inline constexpr Byte dsErrInvalidChecksum = 50;
inline constexpr Byte dsErrInvalidDatabaseUser = 51;
inline constexpr Byte dsErrInvalidTableName = 52;
inline constexpr Byte dsErrInvalidUserName = 53;
inline constexpr Byte dsErrInvalidFieldType = 54;
inline constexpr Byte dsErrInvalidFieldName = 55;
inline constexpr Byte dsErrInvalidFieldSize = 56;
inline constexpr Byte dsErrInvalidBlock = 57;
inline constexpr Byte dsErrInvalidExpression = 58;
inline constexpr Byte dsErrInvalidEncryption = 59;
inline constexpr Byte dsErrUnknownIdentifier = 60;
inline constexpr Byte dsErrUnexpectedIdentifier = 61;

// Number of entries of the message table (codes 0 to 61); code 0 has an empty text.
inline constexpr Integer DsErrorCount = 62;

// The text of each code, index = code.
extern const char* const DsErrorTexts[DsErrorCount];

// Other messages of the engine, raised as database errors.
inline constexpr const char* SMissingDatabase = "Missing Database property";
inline constexpr const char* SMissingTableName = "Missing TableName property";
inline constexpr const char* SDatabaseNameMissing = "Database name missing";
inline constexpr const char* SErrorCreatingCursor = "Error creating cursor handle";
inline constexpr const char* SCannotAccessFieldInFilter = "Cannot access field '%s' in a filter";
inline constexpr const char* SFieldCannotBeModified = "Field '%s' cannot be modified";
inline constexpr const char* SNotEditing = "Dataset not in edit or insert mode";
// A memo read of a table whose memo file is missing; "%s" is the memo file's name.
inline constexpr const char* SMemoFileNotFound = "Memo file %s not found";
// Raised as a plain exception when a filter text is refused.
inline constexpr const char* SInvalidFilterExpression = "Invalid filter expression.";
// The text of a code that has no entry in the table.
inline constexpr const char* SUnknownErrorCode = "Unknown error code %d";
