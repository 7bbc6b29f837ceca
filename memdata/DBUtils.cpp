#include "memdata/DBUtils.h"

#include "memdata/MaxMin.h"
#include "platform/dataset/DBConsts.h"
#include "platform/runtime/SysUtils.h"

namespace orv {

namespace {

constexpr Integer kNativeLimit = 256;

// Whether copying the native value gives what assigning the value as a variant gives: both
// fields are the standard class of one type and size, so the variant would be made from these
// bytes and turned back into the same bytes. (Fixed-width text that drops its trailing blanks
// on reading is the exception.)
bool SameNativeValue(const TField* source, const TField* dest) {
  const TClass type = source->ClassType();
  if (type != dest->ClassType() || source->IsBlob()) return false;
  if (type != static_cast<TClass>(DefaultFieldClass(source->GetDataType()))) return false;
  if (source->GetDataType() != dest->GetDataType()) return false;
  const Integer size = source->GetDataSize();
  if (size <= 0 || size > kNativeLimit || size != dest->GetDataSize()) return false;
  if (auto* text = dynamic_cast<const TStringField*>(source))
    if (text->GetFixedChar() && text->GetTransliterate()) return false;
  return true;
}

}  // namespace

void RecordFieldCopier::Add(TField* source, TField* dest) {
  FPairs.push_back({source, dest, SameNativeValue(source, dest)});
}

RecordFieldCopier::RecordFieldCopier(TDataSet* source, TDataSet* dest, bool byName)
    : FDest(dest) {
  if (byName) {
    for (TField* field : source->GetFields())
      if (TField* target = dest->FindField(field->GetFieldName())) Add(field, target);
    return;
  }
  TFieldDefs& sourceDefs = source->GetFieldDefs();
  TFieldDefs& destDefs = dest->GetFieldDefs();
  const Integer count = LesserInt(sourceDefs.GetCount(), destDefs.GetCount());
  for (Integer i = 0; i < count; ++i) {
    TField* from = source->FindField(sourceDefs[i]->GetName());
    TField* to = dest->FindField(destDefs[i]->GetName());
    if (from && to) Add(from, to);
  }
}

void RecordFieldCopier::Copy() const {
  switch (FDest->GetState()) {
    case dsEdit:
    case dsInsert:
    case dsSetKey:
      break;
    default:
      DatabaseError(db::SNotEditing, FDest);
  }
  Byte value[kNativeLimit];
  for (const Pair& pair : FPairs) {
    if (pair.Native)
      pair.Dest->SetData(pair.Source->GetData(value) ? value : nullptr);
    else
      pair.Dest->SetAsVariant(pair.Source->GetAsVariant());
  }
}

}  // namespace orv

void CopyRecordFields(TDataSet* source, TDataSet* dest, bool byName) {
  orv::RecordFieldCopier(source, dest, byName).Copy();
}

namespace {

bool IsTextType(TFieldType type) {
  return type == ftString || type == ftFixedChar || type == ftWideString;
}

bool FieldMatches(const TField* field, const Variant& key, TLocateOptions options) {
  const bool keyIsNull = VarIsNull(key) || VarIsEmpty(key);
  if (IsTextType(field->GetDataType())) {
    // A null text reads as the empty text.
    AnsiString text = field->GetAsString();
    const AnsiString keyText = keyIsNull ? AnsiString() : VarToStr(key);
    if (options.Contains(loPartialKey) && text.size() > keyText.size()) text.resize(keyText.size());
    return options.Contains(loCaseInsensitive) ? AnsiCompareText(text, keyText) == 0
                                               : AnsiCompareStr(text, keyText) == 0;
  }
  if (field->GetIsNull() || keyIsNull) return field->GetIsNull() && keyIsNull;
  try {
    return VarCompareValue(field->GetAsVariant(), key) == vrEqual;
  } catch (const EVariantError&) {
    return false;  // a key that cannot be compared with the field's value matches nothing
  } catch (const EConvertError&) {
    return false;
  }
}

bool RecordMatches(const std::vector<TField*>& fields, const Variant& keyValues,
                   TLocateOptions options) {
  if (fields.size() == 1) return FieldMatches(fields[0], keyValues, options);
  if (!VarIsArray(keyValues)) return false;
  const Integer low = VarArrayLowBound(keyValues, 1);
  if (VarArrayHighBound(keyValues, 1) - low + 1 < static_cast<Integer>(fields.size())) return false;
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (!FieldMatches(fields[i], keyValues.GetElement(low + static_cast<Integer>(i)), options))
      return false;
  return true;
}

}  // namespace

bool LocateInDataSet(TDataSet* dataSet, const AnsiString& keyFields, const Variant& keyValues,
                     TLocateOptions options) {
  dataSet->CheckBrowseMode();
  if (dataSet->GetBOF() && dataSet->GetEOF()) return false;
  std::vector<TField*> fields;
  dataSet->GetFieldList(fields, keyFields);
  if (fields.empty()) return false;
  if (RecordMatches(fields, keyValues, options)) return true;

  bool found = false;
  dataSet->DisableControls();
  try {
    const TBookmarkStr bookmark = dataSet->GetBookmark();
    dataSet->First();
    while (!dataSet->GetEOF()) {
      if (RecordMatches(fields, keyValues, options)) {
        found = true;
        break;
      }
      dataSet->Next();
    }
    if (!found && dataSet->BookmarkValid(bookmark)) dataSet->GotoBookmark(bookmark);
  } catch (...) {
    dataSet->EnableControls();
    throw;
  }
  dataSet->EnableControls();
  return found;
}
