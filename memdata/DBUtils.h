// Record copy and locate routines that work on any dataset.
#pragma once

#include <vector>

#include "platform/dataset/DataSet.h"

// Copies the field values of `source`'s current record into `dest`'s record being edited.
// By name: each field of `source` goes to the field of `dest` with the same name, if any. By
// position: the i-th field definition of `source` goes to the i-th of `dest`, as far as the
// shorter list reaches and both have a field object. `dest` must be in edit, insert or set-key
// state ("Dataset not in edit or insert mode").
void CopyRecordFields(TDataSet* source, TDataSet* dest, bool byName);

// Finds the first record whose key fields (";"-separated) hold `keyValues` (one value, or a
// variant array with one element per field) by scanning the dataset from its first record. The
// current record is tested first and wins without moving. Text fields compare by the locale's
// collation, cut to the key's length with loPartialKey and ignoring case with
// loCaseInsensitive; other fields by variant equality. When nothing matches the dataset returns
// to the record it was on. The data controls see one change at most.
bool LocateInDataSet(TDataSet* dataSet, const AnsiString& keyFields, const Variant& keyValues,
                     TLocateOptions options);

namespace orv {

// The field pairs CopyRecordFields copies, resolved once, for copying many records between
// the same two datasets. The fields must outlive the copier.
class RecordFieldCopier {
 public:
  RecordFieldCopier(TDataSet* source, TDataSet* dest, bool byName);

  // Copies the current record of the source into the dest's record being edited.
  void Copy() const;

 private:
  struct Pair {
    TField* Source;
    TField* Dest;
    // The value goes over in its native form (same field kind and size); else as a variant.
    bool Native;
  };
  void Add(TField* source, TField* dest);
  TDataSet* FDest;
  std::vector<Pair> FPairs;
};

}  // namespace orv
