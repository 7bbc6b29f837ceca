// The dataset's navigation, buffer ring, editing, bookmarks, searching and events, against the
// array-backed test dataset.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/dataset/DataSource.h"
#include "platform/dataset/tests/ArrayDataSet.h"
#include "platform/dataset/tests/TestLinks.h"
#include "platform/runtime/AnsiString.h"

using orvtest::FreeLink;
using orvtest::Owner;
using orvtest::TArrayDataSet;
using orvtest::TLogLink;

namespace {

// A table of towns: ID, NAME, SIZE; record n (1-based) has ID n.
TArrayDataSet* MakeTowns(TComponent* owner, int count) {
  auto* ds = new TArrayDataSet(owner);
  ds->SetName("Towns");
  ds->GetFieldDefs().Add("ID", ftInteger);
  ds->GetFieldDefs().Add("NAME", ftString, 20);
  ds->GetFieldDefs().Add("SIZE", ftFloat);
  for (int i = 1; i <= count; ++i) ds->AddRow({i, "Town" + std::to_string(i), i * 1.5});
  return ds;
}

Integer CurrentId(TDataSet* ds) { return ds->FieldByName("ID")->GetAsInteger(); }

}  // namespace

TEST(DataSet, OpensWithDefaultFieldsAndClosesAgain) {
  Owner o;
  TArrayDataSet* ds = MakeTowns(o.Root, 3);
  ds->Open();
  EXPECT_TRUE(ds->GetActive());
  EXPECT_EQ(ds->GetState(), dsBrowse);
  ASSERT_EQ(ds->GetFieldCount(), 3);
  EXPECT_TRUE(ds->GetDefaultFields());
  EXPECT_EQ(ds->FieldByName("name")->ClassName(), "TStringField");
  EXPECT_EQ(ds->FieldByName("SIZE")->GetFieldNo(), 3);
  EXPECT_EQ(CurrentId(ds), 1);
  EXPECT_TRUE(ds->GetBOF());
  EXPECT_FALSE(ds->GetEOF());
  ds->Close();
  EXPECT_EQ(ds->GetState(), dsInactive);
  EXPECT_EQ(ds->GetFieldCount(), 0);  // default fields go with the cursor
}

TEST(DataSet, FailingOpenClosesTheCursorAgain) {
  Owner o;
  TArrayDataSet* ds = MakeTowns(o.Root, 3);
  ds->FailOpen = true;
  EXPECT_THROW(ds->Open(), EDatabaseError);
  EXPECT_EQ(ds->GetState(), dsInactive);
  EXPECT_EQ(ds->CloseCursorCalls, 1);
  EXPECT_EQ(ds->InternalCloseCalls, 1);
  ds->FailOpen = false;
  ds->Open();
  EXPECT_EQ(CurrentId(ds), 1);
}

TEST(DataSet, FieldByNameIsCaseInsensitiveAndNamesTheDataSetWhenMissing) {
  Owner o;
  TArrayDataSet* ds = MakeTowns(o.Root, 1);
  ds->Open();
  EXPECT_EQ(ds->FindField("Id"), ds->FieldByName("ID"));
  EXPECT_EQ(ds->FindField("NOPE"), nullptr);
  try {
    ds->FieldByName("NOPE");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.GetMessage(), "Towns: Field 'NOPE' not found");
  }
}

TEST(DataSet, EmptyDataSetIsAtBothEnds) {
  Owner o;
  TArrayDataSet* ds = MakeTowns(o.Root, 0);
  ds->Open();
  EXPECT_TRUE(ds->IsEmpty());
  EXPECT_TRUE(ds->GetBOF());
  EXPECT_TRUE(ds->GetEOF());
  EXPECT_EQ(ds->MoveBy(5), 0);
  EXPECT_TRUE(ds->FieldByName("ID")->GetIsNull());
  EXPECT_THROW(ds->Delete(), EDatabaseError);
}

// Random walks over datasets of several sizes with rings of several sizes: the current record,
// BOF/EOF and the distance MoveBy reports must match a plain position counter.
TEST(DataSet, NavigationMatchesAModelForEveryRingSize) {
  for (int bufferCount : {1, 2, 3, 7}) {
    for (int count : {1, 2, 5, 20}) {
      Owner o;
      TArrayDataSet* ds = MakeTowns(o.Root, count);
      auto* source = new TDataSource(o.Root);
      source->SetDataSet(ds);
      auto* link = new TLogLink(nullptr, "l");
      link->SetBufferCount(bufferCount);
      link->SetDataSource(source);
      ds->Open();
      std::mt19937 rng(bufferCount * 100 + count);
      int pos = 1;
      for (int step = 0; step < 300; ++step) {
        const int op = static_cast<int>(rng() % 6);
        if (op == 0) {
          ds->First();
          pos = 1;
          EXPECT_TRUE(ds->GetBOF());
        } else if (op == 1) {
          ds->Last();
          pos = count;
          EXPECT_TRUE(ds->GetEOF());
        } else {
          const int distance = static_cast<int>(rng() % 9) - 4;
          const int target = std::clamp(pos + distance, 1, count);
          const int moved = ds->MoveBy(distance);
          if (distance != 0) {
            EXPECT_EQ(moved, target - pos) << "ring " << bufferCount << " count " << count;
            if (pos + distance > count) {
              EXPECT_TRUE(ds->GetEOF());
            }
            if (pos + distance < 1) {
              EXPECT_TRUE(ds->GetBOF());
            }
          }
          pos = target;
        }
        ASSERT_EQ(CurrentId(ds), pos) << "ring " << bufferCount << " count " << count << " step " << step;
        ASSERT_EQ(ds->GetRecNo(), pos);
        ASSERT_LE(link->GetActiveRecord(), bufferCount - 1);
      }
      FreeLink(link);
    }
  }
}

TEST(DataSet, NextAndPriorStopAtTheEnds) {
  Owner o;
  TArrayDataSet* ds = MakeTowns(o.Root, 3);
  ds->Open();
  int visited = 0;
  while (!ds->GetEOF()) {
    ++visited;
    ds->Next();
  }
  EXPECT_EQ(visited, 3);
  EXPECT_EQ(CurrentId(ds), 3);
  ds->Prior();
  ds->Prior();
  ds->Prior();
  EXPECT_TRUE(ds->GetBOF());
  EXPECT_EQ(CurrentId(ds), 1);
  EXPECT_EQ(ds->GetRecordCount(), 3);
}

TEST(DataSet, EditPostCancelAndModified) {
  Owner o;
  TArrayDataSet* ds = MakeTowns(o.Root, 3);
  ds->Open();
  ds->Next();
  ds->Edit();
  EXPECT_EQ(ds->GetState(), dsEdit);
  EXPECT_FALSE(ds->GetModified());
  ds->FieldByName("NAME")->SetAsString("Renamed");
  EXPECT_TRUE(ds->GetModified());
  ds->Post();
  EXPECT_EQ(ds->GetState(), dsBrowse);
  EXPECT_EQ(ds->FieldByName("NAME")->GetAsString(), "Renamed");
  EXPECT_EQ(CurrentId(ds), 2);

  ds->Edit();
  ds->FieldByName("NAME")->SetAsString("Lost");
  ds->Cancel();
  EXPECT_EQ(ds->FieldByName("NAME")->GetAsString(), "Renamed");

  // Writing outside edit state, and posting in browse state, are refused.
  EXPECT_THROW(ds->FieldByName("NAME")->SetAsString("x"), EDatabaseError);
  EXPECT_THROW(ds->Post(), EDatabaseError);
}

TEST(DataSet, CheckBrowseModePostsModifiedAndCancelsUntouchedRecords) {
  Owner o;
  TArrayDataSet* ds = MakeTowns(o.Root, 2);
  ds->Open();
  ds->Edit();
  ds->FieldByName("SIZE")->SetAsFloat(99);
  ds->CheckBrowseMode();
  EXPECT_EQ(ds->GetState(), dsBrowse);
  EXPECT_EQ(ds->FieldByName("SIZE")->GetAsFloat(), 99);

  ds->Append();
  ds->CheckBrowseMode();  // nothing was set: the new record goes away
  EXPECT_EQ(ds->GetRecordCount(), 2);
  // Moving also leaves edit mode through CheckBrowseMode.
  ds->First();
  ds->Edit();
  ds->FieldByName("SIZE")->SetAsFloat(7);
  ds->Next();
  ds->Prior();
  EXPECT_EQ(ds->FieldByName("SIZE")->GetAsFloat(), 7);
}

TEST(DataSet, InsertGoesBeforeTheCurrentRecordAndAppendAtTheEnd) {
  for (int bufferCount : {1, 4}) {
    Owner o;
    TArrayDataSet* ds = MakeTowns(o.Root, 4);
    auto* source = new TDataSource(o.Root);
    source->SetDataSet(ds);
    auto* link = new TLogLink(nullptr, "l");
    link->SetBufferCount(bufferCount);
    link->SetDataSource(source);
    ds->Open();
    ds->MoveBy(2);  // ID 3
    ds->Insert();
    EXPECT_EQ(ds->GetState(), dsInsert);
    EXPECT_TRUE(ds->FieldByName("ID")->GetIsNull());
    ds->FieldByName("ID")->SetAsInteger(100);
    ds->Post();
    EXPECT_EQ(CurrentId(ds), 100);
    ds->Next();
    EXPECT_EQ(CurrentId(ds), 3);
    ds->Prior();
    ds->Prior();
    EXPECT_EQ(CurrentId(ds), 2);

    ds->Append();
    ds->FieldByName("ID")->SetAsInteger(200);
    ds->Post();
    EXPECT_EQ(CurrentId(ds), 200);
    ds->Next();
    EXPECT_TRUE(ds->GetEOF());
    ds->First();
    std::vector<int> ids;
    while (!ds->GetEOF()) {
      ids.push_back(CurrentId(ds));
      ds->Next();
    }
    EXPECT_EQ(ids, (std::vector<int>{1, 2, 100, 3, 4, 200})) << "ring " << bufferCount;
    FreeLink(link);
  }
}

TEST(DataSet, CancelledInsertRestoresTheRing) {
  Owner o;
  TArrayDataSet* ds = MakeTowns(o.Root, 3);
  ds->Open();
  ds->Next();
  ds->Insert();
  ds->Cancel();
  EXPECT_EQ(CurrentId(ds), 2);
  EXPECT_EQ(ds->GetRecordCount(), 3);
  ds->Last();
  ds->Append();
  ds->Cancel();
  EXPECT_EQ(CurrentId(ds), 3);
}

TEST(DataSet, EditOnAnEmptyDataSetInserts) {
  Owner o;
  TArrayDataSet* ds = MakeTowns(o.Root, 0);
  ds->Open();
  ds->Edit();
  EXPECT_EQ(ds->GetState(), dsInsert);
  ds->FieldByName("ID")->SetAsInteger(5);
  ds->Post();
  EXPECT_EQ(ds->GetRecordCount(), 1);
  EXPECT_FALSE(ds->IsEmpty());
  EXPECT_EQ(CurrentId(ds), 5);
}

TEST(DataSet, DeleteMovesToTheNextRecordOrTheLast) {
  Owner o;
  TArrayDataSet* ds = MakeTowns(o.Root, 3);
  ds->Open();
  ds->Next();
  ds->Delete();
  EXPECT_EQ(CurrentId(ds), 3);
  ds->Delete();
  EXPECT_EQ(CurrentId(ds), 1);
  ds->Delete();
  EXPECT_TRUE(ds->IsEmpty());
}

TEST(DataSet, ReadOnlyDataSetRefusesChanges) {
  Owner o;
  TArrayDataSet* ds = MakeTowns(o.Root, 2);
  ds->ReadOnly = true;
  ds->Open();
  EXPECT_FALSE(ds->GetCanModify());
  EXPECT_FALSE(ds->FieldByName("ID")->GetCanModify());
  EXPECT_THROW(ds->Edit(), EDatabaseError);
  EXPECT_THROW(ds->Append(), EDatabaseError);
  EXPECT_THROW(ds->Delete(), EDatabaseError);
  EXPECT_EQ(ds->GetState(), dsBrowse);
}

TEST(DataSet, RequiredFieldMustHaveAValue) {
  Owner o;
  TArrayDataSet* ds = MakeTowns(o.Root, 1);
  ds->GetFieldDefs()[1]->SetRequired(true);
  ds->Open();
  ds->Append();
  ds->FieldByName("ID")->SetAsInteger(9);
  try {
    ds->Post();
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.GetMessage(), "Towns: Field 'NAME' must have a value");
  }
  EXPECT_EQ(ds->GetState(), dsInsert);
  ds->Cancel();
}

TEST(DataSet, BookmarksReturnToTheirRecord) {
  Owner o;
  TArrayDataSet* ds = MakeTowns(o.Root, 10);
  ds->Open();
  ds->MoveBy(6);
  const TBookmarkStr mark = ds->GetBookmark();
  EXPECT_EQ(mark.size(), 4u);
  ds->First();
  ds->GotoBookmark(mark);
  EXPECT_EQ(CurrentId(ds), 7);
  EXPECT_TRUE(ds->BookmarkValid(mark));
  ds->Delete();
  EXPECT_FALSE(ds->BookmarkValid(mark));
  try {
    ds->GotoBookmark(mark);
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.GetMessage(), "Towns: Record not found");
  }
}

TEST(DataSet, AbsentBookmarksAreComparedBeforeTheDescendantIsAsked) {
  Owner o;
  TArrayDataSet* ds = MakeTowns(o.Root, 3);
  ds->Open();
  const TBookmarkStr a = ds->GetBookmark();
  ds->Next();
  const TBookmarkStr b = ds->GetBookmark();
  struct Case {
    TBookmarkStr x, y;
    int expected;
  };
  const Case absent[] = {{"", "", 0}, {"", b, -1}, {a, "", 1}};
  for (const Case& c : absent) EXPECT_EQ(ds->CompareBookmarks(c.x, c.y), c.expected);
  EXPECT_EQ(ds->CompareCalls, 0);
  EXPECT_EQ(ds->CompareBookmarks(a, b), -1);
  EXPECT_EQ(ds->CompareBookmarks(b, a), 1);
  EXPECT_EQ(ds->CompareBookmarks(b, b), 0);
  EXPECT_EQ(ds->CompareCalls, 3);
  EXPECT_FALSE(ds->BookmarkValid(""));
  ds->Close();
  EXPECT_FALSE(ds->BookmarkValid(a));
}

TEST(DataSet, SetRecNoAndResyncFollowTheStorage) {
  Owner o;
  TArrayDataSet* ds = MakeTowns(o.Root, 10);
  ds->Open();
  ds->SetRecNo(8);
  EXPECT_EQ(CurrentId(ds), 8);
  // The storage changed behind the dataset's back: Resync reads it again.
  ds->Records[7].Data[1] = 80;
  ds->Resync({});
  EXPECT_EQ(CurrentId(ds), 80);
}

TEST(DataSet, LocateByOneOrSeveralFieldsWithOptions) {
  Owner o;
  TArrayDataSet* ds = MakeTowns(o.Root, 5);
  ds->AddRow({6, "Москва"_a, 3.0});
  ds->Open();
  EXPECT_TRUE(ds->Locate("ID", 4, {}));
  EXPECT_EQ(CurrentId(ds), 4);
  EXPECT_TRUE(ds->Locate("name;ID", VarArrayOf({"Town2", 2}), {}));
  EXPECT_EQ(CurrentId(ds), 2);
  EXPECT_FALSE(ds->Locate("NAME;ID", VarArrayOf({"Town2", 3}), {}));
  EXPECT_EQ(CurrentId(ds), 2);  // not found: stays

  struct Case {
    const char* key;
    TLocateOptions options;
    bool found;
  };
  const Case cases[] = {
      {"МОСКВА", {}, false},
      {"МОСКВА", {loCaseInsensitive}, true},
      {"Мос", {}, false},
      {"Мос", {loPartialKey}, true},
      {"мос", {loPartialKey, loCaseInsensitive}, true},
  };
  for (const Case& c : cases) {
    ds->First();
    EXPECT_EQ(ds->Locate("NAME", orv::Utf8ToAnsi(c.key), c.options), c.found) << c.key;
    EXPECT_EQ(CurrentId(ds), c.found ? 6 : 1) << c.key;
  }
  EXPECT_THROW(ds->Locate("NOPE", 1, {}), EDatabaseError);
}

TEST(DataSet, LookupReturnsValuesWithoutMoving) {
  Owner o;
  TArrayDataSet* ds = MakeTowns(o.Root, 5);
  ds->Open();
  ds->Next();
  EXPECT_EQ(VarToStr(ds->Lookup("ID", 4, "NAME")), "Town4");
  const Variant both = ds->Lookup("ID", 3, "NAME;SIZE");
  ASSERT_TRUE(VarIsArray(both));
  EXPECT_EQ(VarToStr(both.GetElement(0)), "Town3");
  EXPECT_EQ(both.GetElement(1).AsDouble(), 4.5);
  EXPECT_TRUE(VarIsNull(ds->Lookup("ID", 42, "NAME")));
  EXPECT_EQ(CurrentId(ds), 2);
}

TEST(DataSet, FilterPropertiesAreStoredAndFindRecordUsesTheFilter) {
  Owner o;
  TArrayDataSet* ds = MakeTowns(o.Root, 6);
  ds->SetFilter("ID > 2");
  ds->SetFilterOptions({foCaseInsensitive});
  EXPECT_EQ(ds->GetFilter(), "ID > 2");
  EXPECT_TRUE(ds->GetFilterOptions().Contains(foCaseInsensitive));
  struct Even {
    void Accept(TDataSet* d, bool& accept) {
      EXPECT_EQ(d->GetState(), dsFilter);
      accept = d->FieldByName("ID")->GetAsInteger() % 2 == 0;
    }
  } even;
  ds->SetOnFilterRecord(TFilterRecordEvent(&even, &Even::Accept));
  ds->Open();
  EXPECT_EQ(CurrentId(ds), 1);  // not filtered yet
  EXPECT_TRUE(ds->FindFirst());
  EXPECT_EQ(CurrentId(ds), 2);
  EXPECT_TRUE(ds->FindNext());
  EXPECT_EQ(CurrentId(ds), 4);
  EXPECT_TRUE(ds->FindLast());
  EXPECT_EQ(CurrentId(ds), 6);
  EXPECT_FALSE(ds->FindNext());
  EXPECT_FALSE(ds->GetFound());
  ds->Close();
  ds->SetFiltered(true);
  ds->Open();
  std::vector<int> ids;
  while (!ds->GetEOF()) {
    ids.push_back(CurrentId(ds));
    ds->Next();
  }
  EXPECT_EQ(ids, (std::vector<int>{2, 4, 6}));
}

TEST(DataSet, CalculatedFieldsAreComputedInTheirTemporaryState) {
  Owner o;
  TArrayDataSet* ds = MakeTowns(o.Root, 3);
  ds->Open();
  ds->Close();
  // Persistent fields: one per definition plus a calculated one.
  for (int i = 0; i < ds->GetFieldDefs().GetCount(); ++i) ds->GetFieldDefs()[i]->CreateField(o.Root);
  auto* twice = new TIntegerField(o.Root);
  twice->SetFieldName("TWICE");
  twice->SetFieldKind(fkCalculated);
  twice->SetDataSet(ds);
  struct Calc {
    std::vector<TDataSetState> states;
    void OnCalc(TDataSet* d) {
      states.push_back(d->GetState());
      d->FieldByName("TWICE")->SetAsInteger(d->FieldByName("ID")->GetAsInteger() * 2);
    }
  } calc;
  ds->SetOnCalcFields(TDataSetNotifyEvent(&calc, &Calc::OnCalc));
  std::vector<std::string> log;
  auto* source = new TDataSource(o.Root);
  source->SetDataSet(ds);
  auto* link = new TLogLink(&log, "l");
  link->SetDataSource(source);
  ds->Open();
  EXPECT_FALSE(ds->GetDefaultFields());
  EXPECT_EQ(twice->GetAsInteger(), 2);
  ds->Next();
  EXPECT_EQ(twice->GetAsInteger(), 4);
  ASSERT_FALSE(calc.states.empty());
  for (TDataSetState s : calc.states) EXPECT_EQ(s, dsCalcFields);
  // Editing a data field recalculates; the temporary state never reaches the links.
  ds->Edit();
  ds->FieldByName("ID")->SetAsInteger(10);
  EXPECT_EQ(twice->GetAsInteger(), 20);
  ds->Cancel();
  EXPECT_EQ(twice->GetAsInteger(), 4);
  for (const std::string& line : log) EXPECT_EQ(line.find("calc"), std::string::npos);
  FreeLink(link);
  ds->Close();
  EXPECT_EQ(ds->GetFieldCount(), 4);  // persistent fields stay
}

TEST(DataSet, LookupFieldsReadTheirValueFromAnotherDataSet) {
  Owner o;
  TArrayDataSet* towns = MakeTowns(o.Root, 3);
  auto* sizes = new TArrayDataSet(o.Root);
  sizes->GetFieldDefs().Add("CODE", ftInteger);
  sizes->GetFieldDefs().Add("LABEL", ftString, 10);
  sizes->AddRow({2, "two"});
  sizes->AddRow({3, "three"});
  sizes->Open();
  for (int i = 0; i < towns->GetFieldDefs().GetCount(); ++i) towns->GetFieldDefs()[i]->CreateField(o.Root);
  auto* label = new TStringField(o.Root);
  label->SetFieldName("LABEL");
  label->SetFieldKind(fkLookup);
  label->SetLookupDataSet(sizes);
  label->SetKeyFields("ID");
  label->SetLookupKeyFields("CODE");
  label->SetLookupResultField("LABEL");
  label->SetSize(10);
  label->SetDataSet(towns);
  towns->Open();
  EXPECT_TRUE(label->GetIsNull());
  towns->Next();
  EXPECT_EQ(label->GetAsString(), "two");
  towns->Next();
  EXPECT_EQ(label->GetAsString(), "three");
  EXPECT_FALSE(label->GetCanModify());
}

TEST(DataSet, EventsComeInTheirOrder) {
  Owner o;
  TArrayDataSet* ds = MakeTowns(o.Root, 2);
  struct {
    std::vector<std::string> lines;
  } log;
  struct Recorder {
    std::vector<std::string>* lines;
    std::string name;
    void Fire(TDataSet*) { lines->push_back(name); }
  };
  std::vector<Recorder> recorders;
  const char* names[] = {"BeforeOpen", "AfterOpen",   "BeforeClose", "AfterClose",  "BeforeInsert",
                         "AfterInsert", "BeforeEdit", "AfterEdit",   "BeforePost",  "AfterPost",
                         "BeforeCancel", "AfterCancel", "BeforeDelete", "AfterDelete", "BeforeScroll",
                         "AfterScroll", "OnNewRecord"};
  recorders.reserve(std::size(names));
  for (const char* n : names) recorders.push_back({&log.lines, n});
  auto ev = [&](int i) { return TDataSetNotifyEvent(&recorders[static_cast<std::size_t>(i)], &Recorder::Fire); };
  ds->SetBeforeOpen(ev(0));
  ds->SetAfterOpen(ev(1));
  ds->SetBeforeClose(ev(2));
  ds->SetAfterClose(ev(3));
  ds->SetBeforeInsert(ev(4));
  ds->SetAfterInsert(ev(5));
  ds->SetBeforeEdit(ev(6));
  ds->SetAfterEdit(ev(7));
  ds->SetBeforePost(ev(8));
  ds->SetAfterPost(ev(9));
  ds->SetBeforeCancel(ev(10));
  ds->SetAfterCancel(ev(11));
  ds->SetBeforeDelete(ev(12));
  ds->SetAfterDelete(ev(13));
  ds->SetBeforeScroll(ev(14));
  ds->SetAfterScroll(ev(15));
  ds->SetOnNewRecord(ev(16));

  ds->Open();
  ds->Next();
  ds->Edit();
  ds->FieldByName("ID")->SetAsInteger(5);
  ds->Post();
  ds->Append();
  ds->Cancel();
  ds->Delete();
  ds->Close();
  const std::vector<std::string> expected = {
      "BeforeOpen",  "AfterOpen",   "AfterScroll",  "BeforeScroll", "AfterScroll", "BeforeEdit",
      "AfterEdit",   "BeforePost",  "AfterPost",    "BeforeInsert", "BeforeScroll", "OnNewRecord",
      "AfterInsert", "AfterScroll", "BeforeCancel", "BeforeScroll", "AfterCancel", "AfterScroll",
      "BeforeDelete", "BeforeScroll", "AfterDelete", "AfterScroll", "BeforeClose", "AfterClose"};
  EXPECT_EQ(log.lines, expected);
}

TEST(DataSet, BlobFieldsReadAndWriteThroughStreams) {
  Owner o;
  auto* ds = new TArrayDataSet(o.Root);
  ds->GetFieldDefs().Add("ID", ftInteger);
  ds->GetFieldDefs().Add("NOTE", ftMemo);
  ds->AddRow({1, "first note"});
  ds->AddRow({2, Null()});
  ds->Open();
  TField* note = ds->FieldByName("NOTE");
  EXPECT_TRUE(note->IsBlob());
  EXPECT_EQ(note->GetAsString(), "first note");
  EXPECT_EQ(note->GetDisplayText(), "(MEMO)");
  EXPECT_EQ(note->GetEditText(), "first note");
  std::vector<Byte> bytes;
  EXPECT_EQ(ds->GetBlobFieldData(2, bytes), 10);
  ds->Next();
  EXPECT_TRUE(note->GetIsNull());
  EXPECT_EQ(note->GetDisplayText(), "(memo)");
  ds->Edit();
  note->SetAsString("second");
  EXPECT_TRUE(ds->GetModified());
  ds->Post();
  ds->First();
  ds->Next();
  EXPECT_EQ(note->GetAsString(), "second");
}
