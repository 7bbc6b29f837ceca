#include "platform/runtime/Streams.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Exceptions.h"

namespace {

namespace fs = std::filesystem;

// A fresh folder for one test, removed afterwards.
class TempDir {
 public:
  TempDir() {
    Path = fs::temp_directory_path() / ("orv_streams_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Path);
    fs::create_directories(Path);
  }
  ~TempDir() { fs::remove_all(Path); }
  // The folder as the system writes names: Windows-1251, "\" separators.
  AnsiString Ansi(const std::string& utf8Tail = "") const {
    AnsiString s = orv::Utf8ToAnsi(Path.string() + "/" + utf8Tail);
    for (char& c : s)
      if (c == '/') c = '\\';
    return s;
  }
  std::string Read(const std::string& utf8Name) const {
    std::ifstream in(Path / utf8Name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  fs::path Path;
};

TEST(MemoryStream, GrowsOnWriteReadsBackAndClampsReads) {
  TMemoryStream m;
  m.WriteBuffer("abcdef", 6);
  EXPECT_EQ(m.GetSize(), 6);
  EXPECT_EQ(m.GetPosition(), 6);
  m.SetPosition(10);
  m.WriteBuffer("Z", 1);  // past the end: the gap is zero-filled
  EXPECT_EQ(m.GetSize(), 11);
  EXPECT_EQ(std::string(static_cast<const char*>(m.GetMemory()), 11), std::string("abcdef\0\0\0\0Z", 11));

  char buf[16] = {};
  m.Seek(-3, soEnd);
  EXPECT_EQ(m.Read(buf, 8), 3);
  EXPECT_EQ(m.Read(buf, 8), 0);
  m.SetPosition(0);
  EXPECT_THROW(m.ReadBuffer(buf, 12), EReadError);
  EXPECT_THROW(m.SetSize(-1), EStreamError);

  m.SetPosition(9);
  m.SetSize(4);  // the position follows a shrinking end
  EXPECT_EQ(m.GetPosition(), 4);
  m.Seek(-100, soCurrent);
  EXPECT_EQ(m.Read(buf, 1), 0);  // before the start nothing is read
  EXPECT_EQ(m.Write("x", 1), 0);

  TMemoryStream copy;
  EXPECT_EQ(copy.CopyFrom(&m, 0), 4);
  EXPECT_EQ(std::string(static_cast<const char*>(copy.GetMemory()), 4), "abcd");
  m.SetPosition(1);
  TMemoryStream part;
  part.CopyFrom(&m, 2);
  EXPECT_EQ(std::string(static_cast<const char*>(part.GetMemory()), 2), "bc");
  EXPECT_THROW(part.CopyFrom(&m, 5), EReadError);
  m.Clear();
  EXPECT_EQ(m.GetSize(), 0);
}

TEST(StringStream, ReadsAndWritesItsText) {
  TStringStream s("Москва"_a);
  EXPECT_EQ(s.ReadString(3), "Мос"_a);
  s.WriteString("ва!!"_a);
  EXPECT_EQ(s.GetDataString(), "Мосва!!"_a);
  s.Seek(-2, soEnd);
  EXPECT_EQ(s.ReadString(10), "!!");
  s.SetSize(2);
  EXPECT_EQ(s.GetDataString(), "Мо"_a);
  EXPECT_EQ(s.GetPosition(), 2);
}

TEST(FileStream, CreatesWritesAndReopensWithModes) {
  TempDir dir;
  const AnsiString name = dir.Ansi("Орване.txt");
  {
    TFileStream f(name, fmCreate);
    f.WriteBuffer("hello world", 11);
    EXPECT_EQ(f.GetSize(), 11);
    f.SetSize(5);
    EXPECT_EQ(f.GetPosition(), 5);
    // A file created (exclusively) cannot be opened again until closed.
    EXPECT_THROW(TFileStream(name, fmOpenRead | fmShareDenyNone), EFOpenError);
  }
  EXPECT_EQ(dir.Read("Орване.txt"), "hello");

  TFileStream a(name, fmOpenReadWrite | fmShareDenyNone);
  TFileStream b(dir.Ansi("ОРВАНЕ.TXT"), fmOpenRead | fmShareDenyNone);  // another letter case
  char buf[5];
  b.ReadBuffer(buf, 5);
  EXPECT_EQ(std::string(buf, 5), "hello");
  EXPECT_THROW(TFileStream(name, fmOpenRead | fmShareExclusive), EFOpenError);
  try {
    TFileStream(name, fmCreate);
    FAIL();
  } catch (const EFCreateError& e) {
    EXPECT_NE(e.GetMessage().find("Cannot create file"), std::string::npos);
  }
  EXPECT_EQ(dir.Read("Орване.txt"), "hello");  // refusing to create did not empty the file

  EXPECT_THROW(TFileStream(dir.Ansi("missing.bin"), fmOpenRead), EFOpenError);
  EXPECT_THROW(TFileStream(dir.Ansi("no\\such\\folder\\x.bin"), fmCreate), EFCreateError);
  // Opening for reading, a write moves nothing and WriteBuffer says so.
  EXPECT_THROW(b.WriteBuffer("x", 1), EWriteError);
}

TEST(FileStream, ErrorClassesFormTheirFamilies) {
  EXPECT_TRUE((std::is_base_of_v<EFileStreamError, EFOpenError>));
  EXPECT_TRUE((std::is_base_of_v<EFileStreamError, EFCreateError>));
  EXPECT_TRUE((std::is_base_of_v<EStreamError, EFileStreamError>));
  EXPECT_FALSE((std::is_base_of_v<EFileStreamError, EReadError>));
  EXPECT_FALSE((std::is_base_of_v<EFileStreamError, EWriteError>));
}

TEST(FileLayer, FindsNamesInAnyLetterCaseAcceptsBackslashesAndTruncates) {
  TempDir dir;
  fs::create_directories(dir.Path / "DB");
  std::ofstream(dir.Path / "DB" / "ORVANE.DBF") << "0123456789";

  for (const char* asked : {"DB\\ORVANE.DBF", "db\\Orvane.dbf", "Db/orvane.DBF"}) {
    const AnsiString name = dir.Ansi(asked);
    EXPECT_TRUE(FileExists(name)) << asked;
    const Integer h = FileOpen(name, fmOpenReadWrite | fmShareDenyNone);
    ASSERT_GE(h, 0) << asked;
    EXPECT_EQ(orv::FileSize(h), 10);
    FileClose(h);
  }
  EXPECT_TRUE(DirectoryExists(dir.Ansi("db")));
  EXPECT_FALSE(FileExists(dir.Ansi("db")));
  EXPECT_FALSE(FileExists(dir.Ansi("db\\other.dbf")));

  const Integer h = FileOpen(dir.Ansi("db\\orvane.dbf"), fmOpenReadWrite | fmShareExclusive);
  ASSERT_GE(h, 0);
  EXPECT_EQ(FileOpen(dir.Ansi("DB\\ORVANE.DBF"), fmOpenRead | fmShareDenyNone), -1);
  EXPECT_EQ(FileSeek(h, 4, FILE_BEGIN), 4);
  char buf[3];
  EXPECT_EQ(FileRead(h, buf, 3), 3);
  EXPECT_EQ(std::string(buf, 3), "456");
  EXPECT_EQ(FileSeek(h, -2, FILE_END), 8);
  EXPECT_EQ(FileWrite(h, "AB", 2), 2);
  EXPECT_TRUE(orv::FileTruncate(h, 9));
  EXPECT_EQ(FileSeek(h, 0, FILE_CURRENT), 10);
  EXPECT_EQ(FileRead(h, buf, 3), 0);  // past the end
  FileClose(h);
  EXPECT_EQ(dir.Read("DB/ORVANE.DBF"), "01234567A");

  EXPECT_TRUE(RenameFile(dir.Ansi("db\\orvane.dbf"), dir.Ansi("db\\Копия.dbf")));
  EXPECT_TRUE(FileExists(dir.Ansi("DB\\КОПИЯ.DBF")));  // Cyrillic letters match in any case too
  EXPECT_TRUE(DeleteFile(dir.Ansi("db\\копия.dbf")));
  EXPECT_FALSE(DeleteFile(dir.Ansi("db\\копия.dbf")));
}

TEST(FileLayer, KnowsTheRunningProgram) {
  const AnsiString exe = orv::ExecutableFileName();
  EXPECT_NE(exe.find("tests"), std::string::npos) << exe;
  EXPECT_TRUE(FileExists(exe));
}

}  // namespace
