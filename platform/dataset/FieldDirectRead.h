#pragma once
// Reading a field of many records without the field's and the dataset's layers: a dataset class
// may offer, per field, a reader that takes the value straight from one of its record buffers.
// A caller that reads the same fields of every record (a data controller filling its storage)
// resolves the reader once and calls it per record.

#include "platform/dataset/DataSet.h"

struct TFieldDirectRead {
  // The field's text in `record`, as the dataset's GetFieldText gives it (no trimming that the
  // field itself adds); False for a null value.
  bool (*Text)(const void* source, TRecordBuffer record, AnsiString& value) = nullptr;
  // The field's double in `record`, as the dataset's GetFieldData gives it to a float field;
  // False for a null value.
  bool (*Float)(const void* source, TRecordBuffer record, double& value) = nullptr;
  // What the dataset reads the field through.
  const void* Source = nullptr;
};

// Fills `read` (one of its readers, or neither) for a field of an open dataset of the class;
// False when the field has no direct reader.
using TFieldDirectReadFinder = bool (*)(TDataSet* dataSet, TField* field, TFieldDirectRead& read);

// Registered for a dataset class itself: a descendant may read its fields otherwise.
void RegisterFieldDirectRead(TClass dataSetClass, TFieldDirectReadFinder finder);
// False (and `read` empty) when the field's dataset offers no direct reader for it.
bool FindFieldDirectRead(TField* field, TFieldDirectRead& read);
