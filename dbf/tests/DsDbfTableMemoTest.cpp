// Memo, binary and picture fields of the table dataset: the fixtures of an independent writer
// read through AsString, blob streams and GetBlobFieldData; the memo cache in the record buffer;
// refused writes; a table whose memo file is missing.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "dbf/DsDatabase.h"
#include "dbf/DsDbfTable.h"
#include "dbf/tests/DbfTestSupport.h"
#include "dbf/tests/MemoFixture.h"
#include "platform/runtime/AnsiString.h"

namespace {

using dbftest::MemoRows;

// A database on a temporary folder holding copies of a memo fixture under upper-case names (the
// engine asks for lower-case ones), and a table opened on it in cp866.
class DsDbfTableMemo : public ::testing::Test {
 protected:
  TDsDbfTable* Open(const dbftest::TMemoFixture& fixture, bool withMemoFile = true) {
    CopyUpper(fixture.Table);
    if (withMemoFile) MemoPath = CopyUpper(fixture.Memo);
    Database = new TDsDatabase(Owner.get());
    Database->SetDatabaseName(Temp.Dir);
    Table = new TDsDbfTable(Owner.get());
    Table->SetCodePage(dBASE_RUS_cp866);
    Table->SetDatabase(Database);
    Table->SetTableName(std::filesystem::path(fixture.Table).stem().string());
    Table->Open();
    return Table;
  }
  std::string CopyUpper(const std::string& name) {
    std::string upper = name;
    for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
    std::filesystem::copy_file(dbftest::FixturePath(name), Temp.Path(upper));
    return Temp.Path(upper);
  }
  TField* Note() const { return Table->FieldByName("NOTE"); }
  // The field's content read through a blob stream in pieces of `piece` bytes.
  AnsiString ReadInPieces(TField* field, Integer piece) {
    std::unique_ptr<TStream, orv::FreeDeleter> stream(Table->CreateBlobStream(field, bmRead));
    AnsiString text;
    std::vector<char> buffer(static_cast<std::size_t>(piece));
    for (Integer got; (got = stream->Read(buffer.data(), piece)) > 0;) text.append(buffer.data(), std::size_t(got));
    return text;
  }
  bool Cached(TField* field) {
    std::unique_ptr<TBlobStream, orv::FreeDeleter> stream(
        static_cast<TBlobStream*>(Table->CreateBlobStream(field, bmRead)));
    return stream->GetCached();
  }

  dbftest::TTempDir Temp;
  std::unique_ptr<TComponent, orv::FreeDeleter> Owner{new TComponent(nullptr)};
  TDsDatabase* Database = nullptr;
  TDsDbfTable* Table = nullptr;
  std::string MemoPath;
};

TEST_F(DsDbfTableMemo, MemosOfTheThreeFormatsReadBackExactly) {
  for (const dbftest::TMemoFixture& fixture : dbftest::MemoFixtures()) {
    SCOPED_TRACE(fixture.Table);
    TDsDbfTable* t = Open(fixture);
    ASSERT_EQ(Note()->GetDataType(), ftMemo);
    ASSERT_TRUE(Note()->InheritsFrom(TMemoField::StaticClass()));
    TField* picture = fixture.Level == dlFoxPro ? t->FieldByName("PIC") : nullptr;
    if (picture) {
      EXPECT_EQ(picture->GetDataType(), ftGraphic);
    }
    std::size_t n = 0;
    for (t->First(); !t->GetEOF(); t->Next(), ++n) {
      ASSERT_LT(n, MemoRows().size());
      const dbftest::TMemoRow& row = MemoRows()[n];
      SCOPED_TRACE(orv::AnsiToUtf8(row.Name));
      EXPECT_EQ(t->FieldByName("NAME")->GetAsString(), row.Name);
      EXPECT_EQ(ReadInPieces(Note(), 7), row.Note);
      EXPECT_EQ(Note()->GetAsString(), row.Note);
      EXPECT_EQ(Note()->GetIsNull(), row.Note.empty());
      std::vector<Byte> bytes;
      EXPECT_EQ(t->GetBlobFieldData(Note()->GetFieldNo(), bytes), Integer(row.Note.size()));
      EXPECT_EQ(AnsiString(bytes.begin(), bytes.begin() + std::ptrdiff_t(row.Note.size())), row.Note);
      if (picture) {
        EXPECT_EQ(picture->GetAsString(), n == 0 ? dbftest::MemoPicture() : "");
      }
    }
    EXPECT_EQ(n, MemoRows().size());
    Owner.reset(new TComponent(nullptr));
    std::filesystem::remove_all(Temp.Dir);
    std::filesystem::create_directory(Temp.Dir);
  }
}

TEST_F(DsDbfTableMemo, StreamsSeekAndReadPastTheEnd) {
  Open(dbftest::MemoFixtures()[1]);
  Table->MoveBy(2);
  const AnsiString& note = MemoRows()[2].Note;
  ASSERT_GT(note.size(), 1024u);  // several blocks
  std::unique_ptr<TStream, orv::FreeDeleter> stream(Table->CreateBlobStream(Note(), bmRead));
  EXPECT_EQ(stream->GetSize(), Int64(note.size()));
  EXPECT_EQ(stream->Seek(-10, soEnd), Int64(note.size()) - 10);
  char buffer[64];
  EXPECT_EQ(stream->Read(buffer, 64), 10);
  EXPECT_EQ(AnsiString(buffer, 10), note.substr(note.size() - 10));
  EXPECT_EQ(stream->Read(buffer, 64), 0);
  EXPECT_EQ(stream->Seek(600, soBeginning), 600);
  EXPECT_EQ(stream->Seek(-100, soCurrent), 500);
  EXPECT_EQ(stream->Read(buffer, 30), 30);  // across the first block's end
  EXPECT_EQ(AnsiString(buffer, 30), note.substr(500, 30));
  stream->SetPosition(Int64(note.size()) + 5);
  EXPECT_EQ(stream->Read(buffer, 64), 0);
}

TEST_F(DsDbfTableMemo, AMemoReadWholeStaysInTheRecordBufferUntilItTakesAnotherRecord) {
  Open(dbftest::MemoFixtures()[1]);
  EXPECT_FALSE(Cached(Note()));
  ASSERT_EQ(Note()->GetAsString(), MemoRows()[0].Note);
  EXPECT_TRUE(Cached(Note()));

  // With the memo file cut to its header, the cached memo is still served; a reread is not.
  std::filesystem::resize_file(MemoPath, 512);
  EXPECT_EQ(Note()->GetAsString(), MemoRows()[0].Note);
  Table->Next();
  EXPECT_TRUE(Cached(Note()));  // a blank memo needs no file
  EXPECT_EQ(Note()->GetAsString(), "");
  Table->Prior();
  EXPECT_FALSE(Cached(Note()));
  EXPECT_THROW(Note()->GetAsString(), EDatabaseError);
}

TEST_F(DsDbfTableMemo, OnlyAWholeReadInOrderFillsTheCache) {
  Open(dbftest::MemoFixtures()[2]);
  Table->MoveBy(2);
  {
    std::unique_ptr<TStream, orv::FreeDeleter> stream(Table->CreateBlobStream(Note(), bmRead));
    char buffer[100];
    stream->Seek(50, soBeginning);
    stream->Read(buffer, 100);  // not from the start
    stream->Seek(0, soBeginning);
    stream->Read(buffer, 100);
  }
  EXPECT_FALSE(Cached(Note()));
  EXPECT_EQ(ReadInPieces(Note(), 333), MemoRows()[2].Note);
  EXPECT_TRUE(Cached(Note()));
}

TEST_F(DsDbfTableMemo, WritesRaiseInsteadOfBeingReportedAsDone) {
  Open(dbftest::MemoFixtures()[1]);
  const std::vector<Byte> memoBefore = dbftest::ReadFileBytes(MemoPath);
  const auto expectError = [](const auto& action, const std::string& message) {
    try {
      action();
      ADD_FAILURE() << "no error; expected " << message;
    } catch (const EDatabaseError& e) {
      EXPECT_NE(std::string(e.GetMessage()).find(message), std::string::npos) << e.GetMessage();
    }
  };
  expectError([&] { Note()->SetAsString("новое"_a); }, "Dataset not in edit or insert mode");

  Table->Edit();
  expectError([&] { Note()->SetAsString("новое"_a); }, "Field is read only");
  expectError([&] { Note()->Clear(); }, "Field is read only");
  {
    std::unique_ptr<TStream, orv::FreeDeleter> stream(Table->CreateBlobStream(Note(), bmReadWrite));
    EXPECT_EQ(stream->Write("x", 0), 0);
    expectError([&] { stream->Write("x", 1); }, "Field is read only");
  }
  Note()->SetReadOnly(true);
  expectError([&] { Note()->SetAsString("новое"_a); }, "Field 'NOTE' cannot be modified");
  Note()->SetReadOnly(false);
  Table->Cancel();
  EXPECT_EQ(Note()->GetAsString(), MemoRows()[0].Note);

  // Clearing a blank memo changes nothing and succeeds.
  Table->Next();
  Table->Edit();
  Note()->Clear();
  Table->Post();
  EXPECT_EQ(Note()->GetAsString(), "");
  EXPECT_EQ(dbftest::ReadFileBytes(MemoPath), memoBefore);
}

TEST_F(DsDbfTableMemo, ATableWhoseMemoFileIsMissingOpensAndItsMemosNameTheFile) {
  const dbftest::TMemoFixture& fixture = dbftest::MemoFixtures()[1];
  Open(fixture, false);  // its second memo is blank (the others write an empty one)
  EXPECT_EQ(Table->FieldByName("NAME")->GetAsString(), MemoRows()[0].Name);
  const std::string memoName = std::filesystem::path(fixture.Memo).filename().string();
  for (const bool stream : {false, true}) {
    try {
      if (stream)
        ReadInPieces(Note(), 16);
      else
        Note()->GetAsString();
      ADD_FAILURE() << "no error";
    } catch (const EDatabaseError& e) {
      EXPECT_EQ(e.GetMessage().rfind("Memo file ", 0), 0u) << e.GetMessage();
      EXPECT_NE(e.GetMessage().find(memoName), std::string::npos) << e.GetMessage();
    }
  }
  Table->Next();
  EXPECT_TRUE(Note()->GetIsNull());
  EXPECT_EQ(Note()->GetAsString(), "");
}

}  // namespace
