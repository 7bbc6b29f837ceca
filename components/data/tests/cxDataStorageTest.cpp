#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "components/data/cxDataStorage.h"
#include "components/foundation/dxCore.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Locale.h"

namespace {

using TStoragePtr = std::unique_ptr<TcxDataStorage, orv::FreeDeleter>;
using TStreamPtr = std::unique_ptr<TMemoryStream, orv::FreeDeleter>;

const TcxValueTypeClass kInteger = TcxIntegerValueType::StaticClass();
const TcxValueTypeClass kString = TcxStringValueType::StaticClass();
const TcxValueTypeClass kFloat = TcxFloatValueType::StaticClass();

std::vector<Byte> BytesOf(TMemoryStream* stream) {
  const auto* p = static_cast<const Byte*>(stream->GetMemory());
  return std::vector<Byte>(p, p + stream->GetSize());
}

TStreamPtr StreamOf(const std::vector<Byte>& bytes) {
  TStreamPtr stream(new TMemoryStream);
  if (!bytes.empty()) stream->WriteBuffer(bytes.data(), Integer(bytes.size()));
  stream->SetPosition(0);
  return stream;
}

std::vector<Byte> Concat(std::initializer_list<std::vector<Byte>> parts) {
  std::vector<Byte> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// ---- Records and IDs --------------------------------------------------------------------------

TEST(cxDataStorage, RecordIDs) {
  TStoragePtr storage(new TcxDataStorage);
  storage->SetKeepRecordIDs(true);
  for (int i = 0; i < 3; ++i) storage->AddRecord();
  EXPECT_EQ(storage->RecordIDOf(0), 1);
  EXPECT_EQ(storage->RecordIDOf(2), 3);
  for (int i = 0; i < 3; ++i) storage->RemoveRecord(0);
  storage->AddRecord();
  EXPECT_EQ(storage->RecordIDOf(0), 1) << "the counter restarts once no records remain";
  storage->AddRecord();
  storage->AddRecord();
  storage->RemoveRecord(1);
  storage->AddRecord();
  EXPECT_EQ(storage->RecordIDOf(2), 4) << "removing the middle record keeps counting";
  storage->InsertRecordAt(0);
  EXPECT_EQ(storage->RecordIDOf(0), 5);

  TStoragePtr later(new TcxDataStorage);
  for (int i = 0; i < 3; ++i) later->AddRecord();
  later->SetKeepRecordIDs(true);
  EXPECT_EQ(later->RecordIDOf(0), 0);
  EXPECT_EQ(later->RecordIDOf(2), 0);
  later->AddRecord();
  EXPECT_EQ(later->RecordIDOf(3), 1);
  later->AssignRecordID(0, 77);
  EXPECT_EQ(later->RecordIDOf(0), 77);
  // Clearing while keeping the entries gives every record without an ID one, in index order.
  later->DropRecords(false);
  EXPECT_EQ(later->GetStoredRecordCount(), 4);
  EXPECT_EQ(later->RecordIDOf(0), 2);
  EXPECT_EQ(later->RecordIDOf(3), 5);
  later->DropRecords(true);
  later->AddRecord();
  EXPECT_EQ(later->RecordIDOf(0), 1);

  // Without kept IDs there is no ID area: assigning one cannot touch the first value.
  TStoragePtr plain(new TcxDataStorage);
  TcxValueDef* def = plain->GetValueDefs()->AddValueDef(kInteger, true, false, nullptr);
  plain->AddRecord();
  plain->StoreValue(0, def, 12345);
  plain->AssignRecordID(0, -1);
  EXPECT_EQ(plain->RecordIDOf(0), 0);
  EXPECT_EQ(plain->FetchValue(0, def).AsInteger(), 12345);
}

TEST(cxDataStorage, RecordCountAndIndexes) {
  TStoragePtr storage(new TcxDataStorage);
  TcxValueDef* def = storage->GetValueDefs()->AddValueDef(kInteger, true, false, nullptr);
  storage->SetStoredRecordCount(5);
  EXPECT_EQ(storage->GetStoredRecordCount(), 5);
  EXPECT_FALSE(storage->HasBuffer(4));
  EXPECT_TRUE(storage->FetchValue(4, def).IsNull());
  EXPECT_EQ(storage->FetchDisplayText(4, def), "");
  storage->StoreValue(4, def, 9);
  storage->SetStoredRecordCount(-3);
  EXPECT_EQ(storage->GetStoredRecordCount(), 0);
  EXPECT_THROW(storage->FetchValue(0, def), EListError);
  EXPECT_THROW(storage->StoreValue(-1, def, 1), EListError);
  EXPECT_THROW(storage->InsertRecordAt(1), EListError);
  storage->InsertRecordAt(0);
  EXPECT_EQ(storage->AddRecord(), 1);
}

TEST(cxDataStorage, InternalRecords) {
  TStoragePtr storage(new TcxDataStorage);
  TcxValueDef* number = storage->GetValueDefs()->AddValueDef(kInteger, true, false, nullptr);
  TcxValueDef* text = storage->GetValueDefs()->AddValueDef(kString, true, true, nullptr);
  ASSERT_EQ(storage->GetInternalValueDefs()->GetCount(), 2);
  EXPECT_EQ(storage->GetInternalValueDefs()->FindByLink(text), storage->GetInternalValueDefs()->GetItem(1));
  storage->AddRecord();
  EXPECT_EQ(storage->AppendInternalRecord(), -1);
  EXPECT_EQ(storage->AppendInternalRecord(), -2);
  storage->StoreValue(-1, number, 5);
  storage->StoreValue(-1, text, "scratch");
  storage->StoreDisplayText(-1, text, "SCRATCH");
  EXPECT_EQ(storage->FetchValue(-1, number).AsInteger(), 5);
  EXPECT_EQ(storage->FetchDisplayText(-1, text), "SCRATCH");
  EXPECT_TRUE(storage->FetchValue(0, number).IsNull());
  // The mirror given for a normal record reaches the normal definition.
  storage->StoreValue(0, storage->GetInternalValueDefs()->GetItem(0), 8);
  EXPECT_EQ(storage->FetchValue(0, number).AsInteger(), 8);
  storage->RemoveRecord(-1);
  EXPECT_TRUE(storage->FetchValue(-1, number).IsNull());
  EXPECT_EQ(storage->AppendInternalRecord(), -1);
  EXPECT_TRUE(storage->FetchValue(-1, number).IsNull()) << "a reused internal record starts empty";
  EXPECT_EQ(storage->FetchValue(-2, number).IsNull(), true);
  EXPECT_EQ(storage->AppendInternalRecord(), -3);

  int cleared = 0;
  struct TCounter : TObject {
    int* Count = nullptr;
    void Cleared(TObject*) { ++*Count; }
  };
  std::unique_ptr<TCounter, orv::FreeDeleter> counter(new TCounter);
  counter->Count = &cleared;
  storage->SetOnClearInternalRecords(TNotifyEvent(counter.get(), &TCounter::Cleared));
  storage->ClearAll(true);
  EXPECT_EQ(cleared, 0);
  EXPECT_EQ(storage->GetInternalRecordCount(), 3);
  storage->ClearAll(false);
  EXPECT_EQ(cleared, 1);
  EXPECT_EQ(storage->GetInternalRecordCount(), 0);
  EXPECT_EQ(storage->GetStoredRecordCount(), 0);
}

// ---- Definitions changing under records ------------------------------------------------------

TEST(cxDataStorage, DefinitionsComeAndGoWhileRecordsKeepTheirValues) {
  TStoragePtr storage(new TcxDataStorage);
  TcxValueDefs* defs = storage->GetValueDefs();
  TcxValueDef* number = defs->AddValueDef(kInteger, true, false, nullptr);
  for (int i = 0; i < 3; ++i) storage->StoreValue(storage->AddRecord(), number, i * 10);
  storage->AddRecord();  // a bufferless one

  TcxValueDef* name = defs->AddValueDef(kString, true, true, nullptr);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(storage->FetchValue(i, number).AsInteger(), i * 10);
    EXPECT_TRUE(storage->FetchValue(i, name).IsNull());
    EXPECT_EQ(storage->FetchDisplayText(i, name), "");
  }
  storage->StoreValue(1, name, "one");
  storage->StoreDisplayText(1, name, "ONE");
  TcxValueDef* ratio = defs->AddValueDef(kFloat, true, false, nullptr);
  storage->StoreValue(2, ratio, 0.5);

  // The text slot of a middle definition comes and goes with every value kept.
  name->SetKeepsText(false);
  EXPECT_FALSE(name->GetEffectiveKeepsText());
  EXPECT_EQ(storage->FetchDisplayText(1, name), "one");
  EXPECT_EQ(storage->FetchValue(2, ratio).AsDouble(), 0.5);
  name->SetKeepsText(true);
  EXPECT_EQ(storage->FetchDisplayText(1, name), "");
  storage->StoreDisplayText(1, name, "ONE");
  EXPECT_EQ(storage->FetchDisplayText(1, name), "ONE");
  EXPECT_TRUE(storage->GetInternalValueDefs()->FindByLink(name)->GetEffectiveKeepsText());

  number->Free();
  EXPECT_EQ(defs->GetCount(), 2);
  EXPECT_EQ(storage->GetInternalValueDefs()->GetCount(), 2);
  EXPECT_EQ(storage->FetchValue(1, name).AsString(), "one");
  EXPECT_EQ(storage->FetchDisplayText(1, name), "ONE");
  EXPECT_EQ(storage->FetchValue(2, ratio).AsDouble(), 0.5);
  EXPECT_EQ(defs->GetRecordSize(), 1 + (1 + Integer(sizeof(void*)) * 2) + (1 + 8));

  ratio->Free();
  EXPECT_TRUE(storage->HasBuffer(1));
  name->Free();
  EXPECT_EQ(storage->GetStoredRecordCount(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(storage->HasBuffer(i)) << "the last definition leaves records bufferless";
  EXPECT_EQ(storage->GetInternalValueDefs()->GetCount(), 0);
}

TEST(cxDataStorage, RemovingTheLastDefinitionKeepsIDsAndInternalRecords) {
  TStoragePtr storage(new TcxDataStorage);
  storage->SetKeepRecordIDs(true);
  TcxValueDef* def = storage->GetValueDefs()->AddValueDef(kString, true, false, nullptr);
  storage->AddRecord();
  storage->StoreValue(0, def, "x");
  const Integer internal = storage->AppendInternalRecord();
  def->Free();
  EXPECT_EQ(storage->RecordIDOf(0), 1);
  EXPECT_EQ(storage->AppendInternalRecord(), internal - 1) << "the internal record stays in use";
}

TEST(cxDataStorage, DefinitionsWithoutBytesCannotTouchTheirNeighbours) {
  TStoragePtr storage(new TcxDataStorage);
  storage->SetKeepOnlyStoredValues(true);
  TcxValueDefs* defs = storage->GetValueDefs();
  TcxValueDef* ghost = defs->AddValueDef(kString, false, true, nullptr);
  TcxValueDef* real = defs->AddValueDef(kInteger, true, false, nullptr);
  EXPECT_FALSE(ghost->OccupiesBuffer());
  EXPECT_EQ(ghost->GetBufferSize(), 0);
  EXPECT_EQ(ghost->GetOffset(), real->GetOffset());
  EXPECT_FALSE(ghost->GetEffectiveKeepsText());
  EXPECT_EQ(defs->BufferedCount(), 1);
  storage->AddRecord();
  storage->AddRecord();
  storage->StoreValue(0, real, 1);
  storage->StoreValue(1, real, 2);
  storage->StoreValue(0, ghost, "would overwrite the neighbour");
  storage->StoreDisplayText(0, ghost, "and its text slot");
  EXPECT_TRUE(storage->FetchValue(0, ghost).IsNull());
  EXPECT_EQ(storage->FetchDisplayText(0, ghost), "");
  EXPECT_EQ(storage->FetchValue(0, real).AsInteger(), 1);
  EXPECT_EQ(storage->CompareRecordValues(0, 1, ghost), 0);
  const void* data = nullptr;
  EXPECT_TRUE(storage->PrepareCompare(0, ghost, data));
  // Internal records keep every value, the ghost's too.
  const Integer scratch = storage->AppendInternalRecord();
  storage->StoreValue(scratch, ghost, "kept here");
  EXPECT_EQ(storage->FetchValue(scratch, ghost).AsString(), "kept here");

  // Streamed anyway: written as null, read past when a value arrives for it.
  ghost->SetStreamed(true);
  TStreamPtr stream(new TMemoryStream);
  storage->SaveRecord(0, stream.get());
  EXPECT_EQ(BytesOf(stream.get()), (std::vector<Byte>{0, 1, 0, 1, 0, 0, 0}));
  auto incoming = StreamOf({0, 0, 3, 0, 0, 0, 'a', 'b', 'c', 0, 9, 0, 0, 0});
  storage->LoadRecord(1, incoming.get());
  EXPECT_EQ(storage->FetchValue(1, real).AsInteger(), 9);
  EXPECT_EQ(incoming->GetPosition(), incoming->GetSize());

  // Switching the ghost into the buffer gives it a slot without disturbing the neighbour.
  ghost->SetInBuffer(true);
  EXPECT_EQ(defs->BufferedCount(), 2);
  EXPECT_EQ(storage->FetchValue(0, real).AsInteger(), 1);
  storage->StoreValue(0, ghost, "now stored");
  storage->StoreDisplayText(0, ghost, "NOW");
  EXPECT_EQ(storage->FetchValue(0, ghost).AsString(), "now stored");
  EXPECT_EQ(storage->FetchDisplayText(0, ghost), "NOW");
  EXPECT_EQ(storage->FetchValue(0, real).AsInteger(), 1);
  ghost->SetInBuffer(false);
  EXPECT_TRUE(storage->FetchValue(0, ghost).IsNull());
  EXPECT_EQ(storage->FetchValue(0, real).AsInteger(), 1);
}

TEST(cxDataStorage, NullValuesKeepTheirDisplayTexts) {
  orv::TLocaleScope locale(orv::TLocaleProfile::EnglishUS);
  TStoragePtr storage(new TcxDataStorage);
  TcxValueDef* withText = storage->GetValueDefs()->AddValueDef(kFloat, true, true, nullptr);
  TcxValueDef* computed = storage->GetValueDefs()->AddValueDef(kFloat, true, false, nullptr);
  storage->AddRecord();
  storage->StoreValue(0, withText, 1.5);
  storage->StoreDisplayText(0, withText, "one and a half");
  storage->StoreValue(0, computed, 2.25);
  storage->StoreDisplayText(0, computed, "ignored");
  EXPECT_EQ(storage->FetchDisplayText(0, withText), "one and a half");
  EXPECT_EQ(storage->FetchDisplayText(0, computed), "2.25");
  storage->StoreValue(0, withText, Null());
  storage->StoreValue(0, computed, Null());
  EXPECT_TRUE(storage->FetchValue(0, withText).IsNull());
  EXPECT_EQ(storage->FetchDisplayText(0, withText), "one and a half");
  EXPECT_EQ(storage->FetchDisplayText(0, computed), "");
  // A value the type refuses leaves the record as it was.
  storage->StoreValue(0, computed, 4.0);
  EXPECT_THROW(storage->StoreValue(0, computed, "four"), EVariantError);
  EXPECT_EQ(storage->FetchValue(0, computed).AsDouble(), 4.0);
  EXPECT_THROW(storage->StoreValue(0, withText, "x"), EVariantError);
  EXPECT_TRUE(storage->FetchValue(0, withText).IsNull());
}

TEST(cxDataStorage, KeepOnlyStoredValues) {
  TStoragePtr storage(new TcxDataStorage);
  TcxValueDef* stored = storage->GetValueDefs()->AddValueDef(kInteger, true, false, nullptr);
  TcxValueDef* provided = storage->GetValueDefs()->AddValueDef(kInteger, false, true, nullptr);
  EXPECT_TRUE(provided->OccupiesBuffer()) << "every definition takes bytes until only stored values are kept";
  storage->SetKeepRecordIDs(true);
  storage->AddRecord();
  storage->StoreValue(0, provided, 3);
  storage->SetKeepOnlyStoredValues(true);
  EXPECT_FALSE(provided->OccupiesBuffer());
  EXPECT_EQ(storage->GetValueDefs()->GetRecordSize(), 1 + 4 + 1 + 4);
  EXPECT_TRUE(storage->FetchValue(0, provided).IsNull());
  EXPECT_EQ(storage->RecordIDOf(0), 2) << "records get a fresh buffer and ID";
  storage->StoreValue(0, stored, 4);
  EXPECT_EQ(storage->FetchValue(0, stored).AsInteger(), 4);
}

TEST(cxDataStorage, ReadersAndComparison) {
  TStoragePtr storage(new TcxDataStorage);
  TcxValueDef* number = storage->GetValueDefs()->AddValueDef(kInteger, true, false, nullptr);
  TcxValueDef* name = storage->GetValueDefs()->AddValueDef(kString, true, true, nullptr);
  struct TReader : TcxValueDefReader {
    TcxValueDef* Skipped = nullptr;
    Integer Next = 0;
    Variant ProvideValue(TcxValueDef* def) override {
      return def->GetValueTypeClass() == TcxStringValueType::StaticClass() ? Variant("n" + IntToStr(Next)) : Variant(Next);
    }
    AnsiString ProvideDisplayText(TcxValueDef* def) override { return "text " + IntToStr(Next); }
    Boolean SkipsValueDef(TcxValueDef* def) override { return def == Skipped; }
  };
  std::unique_ptr<TReader, orv::FreeDeleter> reader(new TReader);
  for (Integer i = 0; i < 3; ++i) {
    reader->Next = 2 - i;
    storage->FillRecord(storage->AddRecord(), reader.get());
  }
  reader->Skipped = number;
  reader->Next = 7;
  storage->FillRecord(0, reader.get());
  EXPECT_EQ(storage->FetchValue(0, number).AsInteger(), 2);
  EXPECT_EQ(storage->FetchValue(0, name).AsString(), "n7");
  EXPECT_EQ(storage->FetchDisplayText(0, name), "text 7");

  storage->AddRecord();  // record 3: bufferless, reads null
  EXPECT_LT(storage->CompareRecordValues(2, 1, number), 0);
  EXPECT_GT(storage->CompareRecordValues(0, 2, number), 0);
  EXPECT_LT(storage->CompareRecordValues(3, 2, number), 0);
  EXPECT_EQ(storage->CompareRecordValues(3, 3, number), 0);
  const void* data1 = nullptr;
  const void* data2 = nullptr;
  EXPECT_FALSE(storage->PrepareCompare(1, name, data1));
  EXPECT_FALSE(storage->PrepareCompare(2, name, data2));
  EXPECT_LT(TcxValueTypeClass(kString)->CompareData(data2, data1), 0);
  EXPECT_TRUE(storage->PrepareCompare(3, name, data1));
  // Records of both kinds compare through the mirror.
  const Integer scratch = storage->AppendInternalRecord();
  storage->StoreValue(scratch, number, 1);
  EXPECT_EQ(storage->CompareRecordValues(scratch, 1, number), 0);

  std::vector<TcxValueDef*> visited;
  struct TVisitor : TObject {
    std::vector<TcxValueDef*>* Seen = nullptr;
    void Visit(TcxValueDef* def, Integer record, Pointer argument, TcxValueDefReader*) { Seen->push_back(def); }
  };
  std::unique_ptr<TVisitor, orv::FreeDeleter> visitor(new TVisitor);
  visitor->Seen = &visited;
  storage->ForEachValueDef(0, nullptr, reader.get(), TcxValueDefProc(visitor.get(), &TVisitor::Visit));
  EXPECT_EQ(visited, (std::vector<TcxValueDef*>{number, name}));
}

// A loading fill takes the direct reads for text and float slots and ProvideValue for the rest;
// what it stores must read, change, move and go like values stored one by one.
TEST(cxDataStorage, RecordsFilledWhileLoadingBehaveLikeStoredOnes) {
  TStoragePtr storage(new TcxDataStorage);
  TcxValueDefs* defs = storage->GetValueDefs();
  TcxValueDef* name = defs->AddValueDef(kString, true, false, nullptr);
  TcxValueDef* ratio = defs->AddValueDef(kFloat, true, false, nullptr);
  TcxValueDef* number = defs->AddValueDef(kInteger, true, false, nullptr);
  TcxValueDef* labelled = defs->AddValueDef(kString, true, true, nullptr);  // keeps its text: no direct read
  struct TReader : TcxValueDefReader {
    TcxValueDef* Name = nullptr;
    TcxValueDef* Ratio = nullptr;
    Integer Next = 0;
    Integer VariantReads = 0;
    // Every third record has null text and float values; every fifth an empty name.
    Boolean ProvidesTextValue(TcxValueDef* def) override { return true; }
    Boolean ProvidesFloatValue(TcxValueDef* def) override { return def == Ratio; }
    Boolean ProvideTextValue(TcxValueDef* def, AnsiString& value) override {
      value = Next % 5 == 0 ? AnsiString() : "name " + IntToStr(Next);
      return Next % 3 != 0;
    }
    Boolean ProvideFloatValue(TcxValueDef* def, double& value) override {
      value = Next + 0.25;
      return Next % 3 != 0;
    }
    // The same values as the direct reads give.
    Variant ProvideValue(TcxValueDef* def) override {
      ++VariantReads;
      AnsiString text;
      double value;
      if (def == Name) return ProvideTextValue(def, text) ? Variant(text) : Null();
      if (def == Ratio) return ProvideFloatValue(def, value) ? Variant(value) : Null();
      if (def->GetValueTypeClass() == TcxStringValueType::StaticClass()) return Variant("l" + IntToStr(Next));
      return Variant(Next * 2);
    }
    AnsiString ProvideDisplayText(TcxValueDef* def) override { return "text " + IntToStr(Next); }
  };
  std::unique_ptr<TReader, orv::FreeDeleter> reader(new TReader);
  reader->Name = name;
  reader->Ratio = ratio;
  constexpr Integer kCount = 40000;  // more than one block of memory
  auto load = [&] {
    storage->ClearAll(false);
    reader->VariantReads = 0;
    storage->StartLoading();
    for (Integer i = 0; i < kCount; ++i) {
      reader->Next = i;
      storage->FillRecord(storage->AddRecord(), reader.get());
    }
    storage->FinishLoading();
  };
  auto expectRecord = [&](Integer r, Integer i) {
    SCOPED_TRACE(r);
    if (i % 3 == 0) {
      EXPECT_TRUE(storage->FetchValue(r, name).IsNull());
      EXPECT_TRUE(storage->FetchValue(r, ratio).IsNull());
    } else {
      EXPECT_EQ(storage->FetchValue(r, name).AsString(), i % 5 == 0 ? AnsiString() : "name " + IntToStr(i));
      EXPECT_EQ(storage->FetchValue(r, ratio).AsDouble(), i + 0.25);
    }
    EXPECT_EQ(storage->FetchValue(r, number).AsInteger(), i * 2);
    EXPECT_EQ(storage->FetchValue(r, labelled).AsString(), "l" + IntToStr(i));
    EXPECT_EQ(storage->FetchDisplayText(r, labelled), "text " + IntToStr(i));
  };
  load();
  EXPECT_EQ(reader->VariantReads, 2 * kCount) << "the number and the labelled text, nothing else";
  for (Integer i : {1, 2, 3, 5, 10, kCount - 1}) expectRecord(i, i);
  EXPECT_LT(storage->CompareRecordValues(1, 2, name), 0);
  EXPECT_LT(storage->CompareRecordValues(3, 1, name), 0) << "null first";

  // Values replaced and cleared, records removed, a definition added and one removed: the
  // loaded texts and buffers are given up without being freed one by one.
  storage->StoreValue(1, name, "changed");
  storage->StoreValue(2, name, Null());
  storage->RemoveRecord(4);
  TcxValueDef* added = defs->AddValueDef(kString, true, false, nullptr);
  storage->StoreValue(0, added, "new");
  EXPECT_EQ(storage->FetchValue(1, name).AsString(), "changed");
  EXPECT_TRUE(storage->FetchValue(2, name).IsNull());
  expectRecord(4, 5);
  number->Free();
  EXPECT_EQ(storage->FetchValue(1, name).AsString(), "changed");
  EXPECT_EQ(storage->FetchValue(0, added).AsString(), "new");
  EXPECT_EQ(storage->FetchValue(7, ratio).AsDouble(), 8.25);
  EXPECT_EQ(storage->FetchValue(7, labelled).AsString(), "l8");
  added->Free();

  // A reload after the definitions changed fills the new layout.
  number = defs->AddValueDef(kInteger, true, false, nullptr);
  load();
  EXPECT_EQ(storage->GetStoredRecordCount(), kCount);
  for (Integer i : {1, 4, 7, kCount - 1}) expectRecord(i, i);
  // Outside a load, the fill reads through ProvideValue and stores the same.
  reader->Next = 11;
  reader->VariantReads = 0;
  storage->FillRecord(2, reader.get());
  EXPECT_EQ(reader->VariantReads, 4);
  expectRecord(2, 11);
  storage->ClearAll(false);
  EXPECT_EQ(storage->GetStoredRecordCount(), 0);
}

// A load shares the memory of equal texts of a column: every record still reads its own text,
// and a record given a new text leaves the records that shared the old one alone.
TEST(cxDataStorage, EqualTextsOfALoadStayTheRecordsOwn) {
  TStoragePtr storage(new TcxDataStorage);
  TcxValueDefs* defs = storage->GetValueDefs();
  TcxValueDef* country = defs->AddValueDef(kString, true, false, nullptr);  // few values, repeating
  TcxValueDef* region = defs->AddValueDef(kString, true, false, nullptr);   // thousands, repeating
  TcxValueDef* town = defs->AddValueDef(kString, true, false, nullptr);     // never repeating
  struct TReader : TcxValueDefReader {
    TcxValueDef* Country = nullptr;
    TcxValueDef* Region = nullptr;
    Integer Next = 0;
    Boolean ProvidesTextValue(TcxValueDef* def) override { return true; }
    Boolean ProvideTextValue(TcxValueDef* def, AnsiString& value) override {
      value = Text(def == Country ? 0 : def == Region ? 1 : 2, Next);
      return true;
    }
    static AnsiString Text(int column, Integer i) {
      switch (column) {
        case 0: return i % 7 == 0 ? AnsiString() : "страна "_a + IntToStr(i % 7);
        case 1: return "r" + IntToStr((i * 7919) % 3001);
        default: return "town " + IntToStr(i);
      }
    }
  };
  std::unique_ptr<TReader, orv::FreeDeleter> reader(new TReader);
  reader->Country = country;
  reader->Region = region;
  constexpr Integer kCount = 30000;
  storage->StartLoading();
  for (Integer i = 0; i < kCount; ++i) {
    reader->Next = i;
    storage->FillRecord(storage->AddRecord(), reader.get());
  }
  storage->FinishLoading();
  TcxValueDef* const columns[] = {country, region, town};
  auto expectLoaded = [&](Integer r) {
    for (int c = 0; c < 3; ++c)
      EXPECT_EQ(storage->FetchValue(r, columns[c]).AsString(), TReader::Text(c, r)) << "record " << r << ", column " << c;
  };
  for (Integer r = 0; r < kCount; r += 37) expectLoaded(r);
  expectLoaded(kCount - 1);

  storage->StoreValue(8, country, "другая"_a);
  storage->StoreValue(9, region, Null());
  storage->StoreValue(8 + 3001, region, "changed");
  EXPECT_EQ(storage->FetchValue(8, country).AsString(), "другая"_a);
  EXPECT_TRUE(storage->FetchValue(9, region).IsNull());
  for (Integer r : {1, 15, 22, 10, 9 + 3001, 8, 8 + 2 * 3001}) {
    if (r != 8) {
      EXPECT_EQ(storage->FetchValue(r, country).AsString(), TReader::Text(0, r)) << r;
    }
    if (r != 9 && r != 8 + 3001) {
      EXPECT_EQ(storage->FetchValue(r, region).AsString(), TReader::Text(1, r)) << r;
    }
  }
  storage->RemoveRecord(1);
  EXPECT_EQ(storage->FetchValue(7, country).AsString(), "другая"_a);
  EXPECT_EQ(storage->FetchValue(14, country).AsString(), TReader::Text(0, 15));
  storage->ClearAll(false);
}

// Texts of up to seven bytes live inside the value's slot, longer ones in a cell of their own.
// Texts on both sides of that boundary, with zero bytes and bytes above 0x7F, must read back,
// compare, move, stream and be replaced the same whichever road stored them.
TEST(cxDataStorage, TextsAroundTheSlotSize) {
  const std::string texts[] = {
      std::string(),                  // inline, empty: not the same as no text
      "a",
      "1234567",                      // the longest inline text
      "12345678",                     // the shortest text with a cell
      std::string("\0", 1),           // zero bytes are text, not an end
      std::string("abc\0def", 7),
      std::string("abc\0defg", 8),
      std::string(7, '\0'),
      std::string(8, '\0'),
      std::string(7, '\xFF'),         // above 0x7F: compares above every ASCII byte
      std::string(8, '\xFF'),
      "Москва"_a,                     // six bytes in the code page
      "Абакан-7"_a,                   // eight
      std::string(300, 'x'),
  };
  constexpr Integer kTexts = Integer(std::size(texts));
  TStoragePtr storage(new TcxDataStorage);
  TcxValueDefs* defs = storage->GetValueDefs();
  TcxValueDef* leading = defs->AddValueDef(kInteger, true, false, nullptr);
  TcxValueDef* stored = defs->AddValueDef(kString, true, false, nullptr);
  TcxValueDef* loaded = defs->AddValueDef(kString, true, false, nullptr);
  TcxValueDef* labelled = defs->AddValueDef(kInteger, true, true, nullptr);  // a display text slot
  struct TReader : TcxValueDefReader {
    TcxValueDef* Loaded = nullptr;
    const std::string* Text = nullptr;
    Boolean ProvidesTextValue(TcxValueDef* def) override { return def == Loaded; }
    Boolean ProvideTextValue(TcxValueDef* def, AnsiString& value) override {
      value = *Text;
      return true;
    }
    Variant ProvideValue(TcxValueDef* def) override { return def == Loaded ? Variant(*Text) : Null(); }
  };
  std::unique_ptr<TReader, orv::FreeDeleter> reader(new TReader);
  reader->Loaded = loaded;
  // Records 0 .. kTexts-1 hold text i; the loaded column takes the loading road. Enough records
  // that the load's sharing of equal long texts is tried.
  constexpr Integer kRounds = 40;
  storage->StartLoading();
  for (Integer r = 0; r < kTexts * kRounds; ++r) {
    reader->Text = &texts[r % kTexts];
    storage->FillRecord(storage->AddRecord(), reader.get());
  }
  storage->FinishLoading();
  for (Integer r = 0; r < kTexts * kRounds; ++r) {
    storage->StoreValue(r, stored, Variant(texts[r % kTexts]));
    storage->StoreDisplayText(r, labelled, texts[r % kTexts]);
  }
  auto expectTexts = [&](TcxDataStorage* s, TcxValueDef* const (&columns)[3], const char* road) {
    for (Integer r = 0; r < kTexts; ++r) {
      SCOPED_TRACE(testing::Message() << road << ", text " << r);
      const Variant a = s->FetchValue(r, columns[0]);
      const Variant b = s->FetchValue(r, columns[1]);
      ASSERT_TRUE(VarIsStr(a) && VarIsStr(b));
      EXPECT_EQ(a.AsString(), texts[r]);
      EXPECT_EQ(b.AsString(), texts[r]);
      EXPECT_EQ(s->FetchDisplayText(r, columns[2]), texts[r]);
    }
  };
  TcxValueDef* const columns[3] = {stored, loaded, labelled};
  expectTexts(storage.get(), columns, "stored");

  // Every pair compares as its bytes do (unsigned), on each road and across the two columns'
  // records: a record's own slot against another's, inline against cell.
  for (Integer i = 0; i < kTexts; ++i)
    for (Integer j = 0; j < kTexts; ++j) {
      SCOPED_TRACE(testing::Message() << i << " vs " << j);
      const int c = texts[i].compare(texts[j]);
      const Integer expected = c < 0 ? -1 : c > 0 ? 1 : 0;
      EXPECT_EQ(storage->CompareRecordValues(i, j, stored), expected);
      EXPECT_EQ(storage->CompareRecordValues(i, j + kTexts, loaded), expected);
      const void* data1 = nullptr;
      const void* data2 = nullptr;
      ASSERT_FALSE(storage->PrepareCompare(i, stored, data1));
      ASSERT_FALSE(storage->PrepareCompare(j, loaded, data2));
      EXPECT_EQ(TcxValueTypeClass(kString)->CompareData(data1, data2), expected);
      EXPECT_EQ(TcxValueTypeClass(kString)->ResolvedToVariant(data1).AsString(), texts[i]);
    }
  // An empty text is a value: it sorts after no value and reads as a text.
  storage->StoreValue(kTexts, stored, Null());
  EXPECT_EQ(storage->CompareRecordValues(kTexts, 0, stored), -1);
  EXPECT_TRUE(storage->FetchValue(kTexts, stored).IsNull());

  // Slots move when a definition before them goes.
  leading->Free();
  expectTexts(storage.get(), columns, "moved");

  // Streamed out and back in.
  TStreamPtr stream(new TMemoryStream);
  for (Integer r = 0; r < kTexts; ++r) storage->SaveRecord(r, stream.get());
  TStoragePtr copy(new TcxDataStorage);
  TcxValueDef* copyColumns[3];
  for (Integer d = 0; d < defs->GetCount(); ++d) {
    TcxValueDef* def = defs->GetItem(d);
    TcxValueDef* copyDef = copy->GetValueDefs()->AddValueDef(def->GetValueTypeClass(), true, def->GetKeepsText(), nullptr);
    for (int c = 0; c < 3; ++c)
      if (def == columns[c]) copyColumns[c] = copyDef;
  }
  copy->SetStoredRecordCount(kTexts);
  stream->SetPosition(0);
  for (Integer r = 0; r < kTexts; ++r) copy->LoadRecord(r, stream.get());
  expectTexts(copy.get(), copyColumns, "streamed");

  // Short replaced by long and long by short, on both columns (the sanitizer build sees a cell
  // freed twice, leaked or read after it went).
  for (Integer r = 0; r < kTexts; ++r)
    for (TcxValueDef* def : {stored, loaded}) {
      const std::string& other = texts[kTexts - 1 - r];
      storage->StoreValue(r, def, Variant(other));
      storage->StoreDisplayText(r, labelled, other);
      EXPECT_EQ(storage->FetchValue(r, def).AsString(), other);
      EXPECT_EQ(storage->FetchDisplayText(r, labelled), other);
    }
  storage->ClearAll(false);
}

// ---- Record stream ----------------------------------------------------------------------------

TEST(cxDataStorage, GoldenRecordBytes) {
  TStoragePtr storage(new TcxDataStorage);
  TcxValueDef* number = storage->GetValueDefs()->AddValueDef(kInteger, true, false, nullptr);
  TcxValueDef* name = storage->GetValueDefs()->AddValueDef(kString, true, true, nullptr);
  TcxValueDef* ratio = storage->GetValueDefs()->AddValueDef(kFloat, true, false, nullptr);
  storage->SetStoredRecordCount(3);
  storage->StoreValue(0, number, 7);
  storage->StoreValue(0, name, "ab");
  storage->StoreDisplayText(0, name, "AB");
  storage->StoreValue(0, ratio, 1.0);
  storage->StoreDisplayText(1, name, "x");

  TStreamPtr stream(new TMemoryStream);
  for (Integer i = 0; i < 3; ++i) storage->SaveRecord(i, stream.get());
  const std::vector<Byte> record0 = {0, 0, 7, 0, 0, 0, 0, 2, 0, 0, 0, 'a', 'b', 2, 0, 0, 0, 'A', 'B',
                                     0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F};
  const std::vector<Byte> record1 = {0, 1, 1, 1, 0, 0, 0, 'x', 1};
  const std::vector<Byte> record2 = {1};
  EXPECT_EQ(BytesOf(stream.get()), Concat({record0, record1, record2, {'X', 'A', 'F', 'M', 'T'}}));

  // Read back into a storage of the same layout.
  TStoragePtr copy(new TcxDataStorage);
  TcxValueDef* copyNumber = copy->GetValueDefs()->AddValueDef(kInteger, true, false, nullptr);
  TcxValueDef* copyName = copy->GetValueDefs()->AddValueDef(kString, true, true, nullptr);
  TcxValueDef* copyRatio = copy->GetValueDefs()->AddValueDef(kFloat, true, false, nullptr);
  copy->SetStoredRecordCount(3);
  copy->StoreValue(2, copyNumber, 99);  // a bufferless record in the stream frees this
  stream->SetPosition(0);
  for (Integer i = 0; i < 3; ++i) copy->LoadRecord(i, stream.get());
  EXPECT_EQ(copy->FetchValue(0, copyNumber).AsInteger(), 7);
  EXPECT_EQ(copy->FetchValue(0, copyName).AsString(), "ab");
  EXPECT_EQ(copy->FetchDisplayText(0, copyName), "AB");
  EXPECT_EQ(copy->FetchValue(0, copyRatio).AsDouble(), 1.0);
  EXPECT_TRUE(copy->FetchValue(1, copyName).IsNull());
  EXPECT_EQ(copy->FetchDisplayText(1, copyName), "x");
  EXPECT_FALSE(copy->HasBuffer(2));

  // With record IDs, and in item order chosen for streaming (here: reversed).
  storage->SetKeepRecordIDs(true);
  storage->AssignRecordID(0, 300);
  storage->StoreValue(0, number, -1);
  storage->StartStreaming([](void* a, void* b) {
    return static_cast<TcxValueDef*>(b)->GetValueDefs()->IndexOf(static_cast<TcxValueDef*>(b)) -
           static_cast<TcxValueDef*>(a)->GetValueDefs()->IndexOf(static_cast<TcxValueDef*>(a));
  });
  ratio->SetStreamed(false);
  EXPECT_EQ(storage->GetValueDefs()->GetItem(0), ratio);
  TStreamPtr withIDs(new TMemoryStream);
  storage->SaveRecord(0, withIDs.get());
  storage->FinishStreaming();
  EXPECT_EQ(storage->GetValueDefs()->GetItem(0), number);
  EXPECT_EQ(BytesOf(withIDs.get()), (std::vector<Byte>{0, 0x2C, 0x01, 0, 0, 1, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));

  // Bufferless records in a row: each overwrites the signature the previous one left.
  TStreamPtr bufferless(new TMemoryStream);
  storage->RemoveRecord(0);
  storage->SetKeepRecordIDs(false);
  storage->SaveRecord(0, bufferless.get());
  storage->SaveRecord(1, bufferless.get());
  EXPECT_EQ(BytesOf(bufferless.get()), (std::vector<Byte>{1, 1, 'X', 'A', 'F', 'M', 'T'}));
  bufferless->SetPosition(0);
  copy->LoadRecord(0, bufferless.get());
  copy->LoadRecord(1, bufferless.get());
  EXPECT_FALSE(copy->HasBuffer(0));
  EXPECT_FALSE(copy->HasBuffer(1));
}

TEST(cxDataStorage, RecordsRoundTripEveryKindOfValue) {
  TStoragePtr storage(new TcxDataStorage);
  storage->SetKeepRecordIDs(true);
  std::vector<TcxValueDef*> defs;
  for (Integer i = 0; i < ValueTypeRegistry()->GetCount(); ++i) {
    const TcxValueTypeClass type = ValueTypeRegistry()->GetItem(i);
    if (type != TcxObjectValueType::StaticClass()) defs.push_back(storage->GetValueDefs()->AddValueDef(type, true, i % 2, nullptr));
  }
  const Variant values[] = {"Москва"_a, Variant(u"Ω and Я"), 1234, 123456, 65000, true, 0.1, Variant(Currency{-5}),
                            Variant::FromDate(45000.75), Variant(static_cast<long long>(-1) << 50), "-3.25",
                            Variant::FromDate(45000.5), VarArrayOf({1, "two", Null()})};
  ASSERT_EQ(defs.size(), std::size(values));
  storage->AddRecord();
  storage->AddRecord();
  for (std::size_t d = 0; d < defs.size(); ++d) {
    storage->StoreValue(0, defs[d], values[d]);
    storage->StoreDisplayText(0, defs[d], "text " + IntToStr(Integer(d)));
    storage->StoreDisplayText(1, defs[d], AnsiString(70000, 'L'));
  }
  TStreamPtr stream(new TMemoryStream);
  storage->SaveRecord(0, stream.get());
  storage->SaveRecord(1, stream.get());
  TStoragePtr copy(new TcxDataStorage);
  for (TcxValueDef* def : defs) copy->GetValueDefs()->AddValueDef(def->GetValueTypeClass(), true, def->GetKeepsText(), nullptr);
  copy->SetStoredRecordCount(2);
  copy->SetKeepRecordIDs(true);
  stream->SetPosition(0);
  copy->LoadRecord(0, stream.get());
  copy->LoadRecord(1, stream.get());
  EXPECT_EQ(stream->GetPosition(), stream->GetSize());
  for (std::size_t d = 0; d < defs.size(); ++d) {
    TcxValueDef* copyDef = copy->GetValueDefs()->GetItem(Integer(d));
    SCOPED_TRACE(defs[d]->GetValueTypeClass()->TypeCaption());
    EXPECT_EQ(CompareVariants(copy->FetchValue(0, copyDef), storage->FetchValue(0, defs[d])), 0);
    EXPECT_EQ(copy->FetchDisplayText(0, copyDef), storage->FetchDisplayText(0, defs[d]));
    EXPECT_EQ(copy->FetchDisplayText(1, copyDef), storage->FetchDisplayText(1, defs[d]));
  }
  EXPECT_EQ(copy->RecordIDOf(1), 2);
  EXPECT_EQ(copy->AddRecord(), 2);
  EXPECT_EQ(copy->RecordIDOf(2), 3) << "loading advances the ID counter";
  // The largest ID a stream can carry does not overflow the counter.
  std::vector<Byte> largestBytes = {0, 0xFF, 0xFF, 0xFF, 0x7F};
  for (TcxValueDef* def : defs) {
    largestBytes.push_back(1);
    if (def->GetKeepsText()) largestBytes.insert(largestBytes.end(), {0, 0, 0, 0});
  }
  auto largest = StreamOf(largestBytes);
  copy->LoadRecord(0, largest.get());
  EXPECT_EQ(copy->RecordIDOf(0), std::numeric_limits<Integer>::max());
  copy->AddRecord();
  EXPECT_EQ(copy->RecordIDOf(3), std::numeric_limits<Integer>::max());
}

TEST(cxDataStorage, ObjectValuesAreNotStreamed) {
  TStoragePtr storage(new TcxDataStorage);
  TcxValueDef* def = storage->GetValueDefs()->AddValueDef(TcxObjectValueType::StaticClass(), true, false, nullptr);
  storage->AddRecord();
  storage->StoreValue(0, def, Variant(static_cast<long long>(reinterpret_cast<NativeInt>(new TStringStream("owned")))));
  TStreamPtr stream(new TMemoryStream);
  storage->SaveRecord(0, stream.get());
  EXPECT_EQ(BytesOf(stream.get()), (std::vector<Byte>{0, 0, 'A', 'F', 'M', 'T'}));
  stream->SetPosition(0);
  storage->AddRecord();
  storage->LoadRecord(1, stream.get());
  EXPECT_EQ(storage->FetchValue(1, def).AsInt64(), 0) << "present, but no reference";
}

TEST(cxDataStorage, UnicodeRecordsAndDamagedStreams) {
  TStoragePtr storage(new TcxDataStorage);
  TcxValueDef* name = storage->GetValueDefs()->AddValueDef(kString, true, true, nullptr);
  TcxValueDef* number = storage->GetValueDefs()->AddValueDef(kInteger, true, false, nullptr);
  storage->SetStoredRecordCount(1);
  // A record written by a UTF-16 writer: the signature, then texts as UTF-16.
  auto unicode = StreamOf({'D', 'X', 'U', 'F', 'M', 'T', 0, 0, 2, 0, 0, 0, 0x2E, 0x04, 0x33, 0x04, 1, 0, 0, 0, 'S',
                           0, 0, 5, 0, 0, 0});
  storage->LoadRecord(0, unicode.get());
  EXPECT_EQ(storage->FetchValue(0, name).AsString(), "Юг"_a);
  EXPECT_EQ(storage->FetchDisplayText(0, name), "S");
  EXPECT_EQ(storage->FetchValue(0, number).AsInteger(), 5);

  const std::vector<std::vector<Byte>> damaged = {
      {},
      {0},
      {0, 0, 0xFF, 0xFF, 0xFF, 0x7F, 'a'},
      {0, 0, 0xFF, 0xFF, 0xFF, 0xFF},
      {0, 0, 1, 0, 0, 0, 'a', 0xF0, 0xFF, 0xFF, 0x0F},
      {0, 1, 0, 0, 0, 0, 0, 0, 1, 2},
  };
  for (const auto& bytes : damaged) {
    auto stream = StreamOf(bytes);
    EXPECT_THROW(storage->LoadRecord(0, stream.get()), EReadError) << bytes.size();
    // Whatever was read stays consistent: the record can be read, written and freed.
    storage->FetchValue(0, name);
    storage->FetchDisplayText(0, name);
    TStreamPtr out(new TMemoryStream);
    storage->SaveRecord(0, out.get());
  }
}

// ---- Many operations against a model -----------------------------------------------------------

TEST(cxDataStorage, RandomOperationsAgreeWithAModel) {
  struct TDefModel {
    TcxValueDef* Def;
    bool IsText;
  };
  struct TRecordModel {
    std::map<TcxValueDef*, Variant> Values;
    std::map<TcxValueDef*, AnsiString> Texts;
  };
  TStoragePtr storage(new TcxDataStorage);
  std::vector<TDefModel> defs;
  std::vector<TRecordModel> records;
  std::uint64_t state = 42;
  auto next = [&](std::uint64_t n) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return Integer((state >> 33) % n);
  };
  auto check = [&](int step) {
    ASSERT_EQ(storage->GetStoredRecordCount(), Integer(records.size()));
    for (std::size_t r = 0; r < records.size(); ++r) {
      for (const TDefModel& d : defs) {
        auto value = records[r].Values.find(d.Def);
        const Variant expected = value == records[r].Values.end() ? Null() : value->second;
        ASSERT_EQ(CompareVariants(storage->FetchValue(Integer(r), d.Def), expected), 0) << "step " << step;
        AnsiString text;
        if (d.Def->GetKeepsText()) {
          auto t = records[r].Texts.find(d.Def);
          text = t == records[r].Texts.end() ? AnsiString() : t->second;
        } else {
          text = VarToStr(expected);
        }
        ASSERT_EQ(storage->FetchDisplayText(Integer(r), d.Def), text) << "step " << step;
      }
    }
  };
  for (int step = 0; step < 2000; ++step) {
    const Integer op = next(100);
    if (op < 8 || defs.empty()) {
      const bool isText = next(2) == 0;
      TcxValueDef* def = storage->GetValueDefs()->AddValueDef(isText ? kString : kInteger, true, next(2) == 0, nullptr);
      defs.push_back({def, isText});
    } else if (op < 12 && defs.size() > 1) {
      const Integer i = next(defs.size());
      TcxValueDef* def = defs[std::size_t(i)].Def;
      for (auto& r : records) {
        r.Values.erase(def);
        r.Texts.erase(def);
      }
      defs.erase(defs.begin() + i);
      def->Free();
    } else if (op < 16) {
      TcxValueDef* def = defs[std::size_t(next(defs.size()))].Def;
      for (auto& r : records) r.Texts.erase(def);
      def->SetKeepsText(!def->GetKeepsText());
    } else if (op < 30) {
      records.emplace_back();
      storage->AddRecord();
    } else if (op < 36) {
      const Integer at = next(records.size() + 1);
      records.insert(records.begin() + at, TRecordModel());
      storage->InsertRecordAt(at);
    } else if (op < 44 && !records.empty()) {
      const Integer at = next(records.size());
      records.erase(records.begin() + at);
      storage->RemoveRecord(at);
    } else if (op < 85 && !records.empty()) {
      const Integer r = next(records.size());
      const TDefModel& d = defs[std::size_t(next(defs.size()))];
      if (next(6) == 0) {
        storage->StoreValue(r, d.Def, Null());
        records[std::size_t(r)].Values.erase(d.Def);
      } else {
        const Variant v = d.IsText ? Variant(AnsiString(std::size_t(next(40)), char('a' + next(26)))) : Variant(next(1000) - 500);
        storage->StoreValue(r, d.Def, v);
        records[std::size_t(r)].Values[d.Def] = v;
      }
    } else if (op < 95 && !records.empty()) {
      const Integer r = next(records.size());
      TcxValueDef* def = defs[std::size_t(next(defs.size()))].Def;
      const AnsiString text = "t" + IntToStr(next(100000));
      storage->StoreDisplayText(r, def, text);
      if (def->GetKeepsText()) records[std::size_t(r)].Texts[def] = text;
    } else if (!records.empty()) {
      // Through the stream and back over the same records.
      TStreamPtr stream(new TMemoryStream);
      for (Integer r = 0; r < Integer(records.size()); ++r) storage->SaveRecord(r, stream.get());
      stream->SetPosition(0);
      for (Integer r = 0; r < Integer(records.size()); ++r) storage->LoadRecord(r, stream.get());
    }
    if (step % 100 == 0) check(step);
  }
  check(-1);
}

// ---- Lookup list ------------------------------------------------------------------------------

TEST(cxLookupList, SortedByValue) {
  std::unique_ptr<TcxLookupList, orv::FreeDeleter> list(new TcxLookupList);
  Integer index = -1;
  EXPECT_FALSE(list->Locate(5, index));
  EXPECT_EQ(index, 0);
  for (const int key : {30, 10, 20, 40, 0}) {
    ASSERT_FALSE(list->Find(key, index));
    list->Insert(index, key, "v" + IntToStr(key));
  }
  ASSERT_EQ(list->GetCount(), 5);
  for (Integer i = 0; i < 5; ++i) EXPECT_EQ(list->EntryAt(i)->Value.AsInteger(), i * 10);
  EXPECT_TRUE(list->Locate(20, index));
  EXPECT_EQ(index, 2);
  EXPECT_EQ(list->EntryAt(index)->DisplayText, "v20");
  EXPECT_FALSE(list->Locate(25, index));
  EXPECT_EQ(index, 3);
  EXPECT_FALSE(list->Locate(Null(), index));
  EXPECT_EQ(index, 0);
  EXPECT_THROW(list->InsertAt(7, 1, ""), EListError);
  EXPECT_THROW(list->EntryAt(5), EListError);
  list->Clear();
  EXPECT_EQ(list->GetCount(), 0);
}

}  // namespace
