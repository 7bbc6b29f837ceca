// Field data types of the dataset framework, with their fixed ordinals: stored values and
// tables of the engines index by them.
#pragma once

enum TFieldType : int {
  ftUnknown,      // 0
  ftString,       // 1  zero-terminated 8-bit text
  ftSmallint,     // 2  int16
  ftInteger,      // 3  int32
  ftWord,         // 4  uint16
  ftBoolean,      // 5  16-bit boolean (0 false, any other true)
  ftFloat,        // 6  double
  ftCurrency,     // 7  double
  ftBCD,          // 8
  ftDate,         // 9  int32 day number of the time stamp (days since 0001-01-01, plus one)
  ftTime,         // 10 int32 milliseconds since midnight
  ftDateTime,     // 11 double: milliseconds of the time stamp
  ftBytes,        // 12
  ftVarBytes,     // 13
  ftAutoInc,      // 14 int32
  ftBlob,         // 15
  ftMemo,         // 16
  ftGraphic,      // 17
  ftFmtMemo,      // 18
  ftParadoxOle,   // 19
  ftDBaseOle,     // 20
  ftTypedBinary,  // 21
  ftCursor,       // 22
  ftFixedChar,    // 23
  ftWideString,   // 24
  ftLargeint,     // 25 int64
  ftADT,          // 26
  ftArray,        // 27
  ftReference,    // 28
  ftDataSet,      // 29
  ftOraBlob,      // 30
  ftOraClob,      // 31
  ftVariant,      // 32
  ftInterface,    // 33
  ftIDispatch,    // 34
  ftGuid,         // 35
  ftTimeStamp,    // 36
  ftFMTBcd,       // 37
};
