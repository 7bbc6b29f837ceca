#include <gtest/gtest.h>

#include <memory>

#include "components/foundation/dxCore.h"

namespace {

std::unique_ptr<TMemoryStream, orv::FreeDeleter> StreamOf(const AnsiString& bytes) {
  std::unique_ptr<TMemoryStream, orv::FreeDeleter> stream(new TMemoryStream);
  WriteStringToStream(stream.get(), bytes);
  stream->SetPosition(0);
  return stream;
}

TEST(dxStream, SignaturesAtTheStart) {
  struct Case {
    const char* name;
    AnsiString bytes;
    Int64 startAt;
    bool unicode;
    Int64 positionAfter;
  } cases[] = {
      {"unicode signature with content", "DXUFMTdata", 0, true, 6},
      {"ansi signature with content", "DXAFMTdata", 0, false, 6},
      {"old stream without signature", "ABCDEFGHIJ", 0, false, 0},
      {"signature and nothing after it", "DXUFMT", 0, false, 0},
      {"exactly six bytes left", "xxDXUFMT", 2, false, 2},
      {"signature further in", "xxDXUFMTz", 2, true, 8},
      {"short stream", "DX", 0, false, 0},
      {"empty stream", "", 0, false, 0},
      {"signature letters in another case", "dxufmtdata", 0, false, 0},
  };
  for (const auto& c : cases) {
    auto stream = StreamOf(c.bytes);
    stream->SetPosition(c.startAt);
    std::unique_ptr<TdxStream, orv::FreeDeleter> wrapper(new TdxStream(stream.get()));
    EXPECT_EQ(wrapper->GetIsUnicode(), c.unicode) << c.name;
    EXPECT_EQ(stream->GetPosition(), c.positionAfter) << c.name;
  }
}

TEST(dxStream, WrapperForwardsToTheStream) {
  auto stream = StreamOf("DXAFMThello");
  std::unique_ptr<TdxStream, orv::FreeDeleter> wrapper(new TdxStream(stream.get()));
  EXPECT_EQ(wrapper->GetSize(), 11);
  EXPECT_EQ(wrapper->GetPosition(), 6);
  char buf[5];
  wrapper->ReadBuffer(buf, 5);
  EXPECT_EQ(AnsiString(buf, 5), "hello");
  wrapper->WriteBuffer("!", 1);
  EXPECT_EQ(stream->GetSize(), 12);
  wrapper->SetPosition(0);
  EXPECT_EQ(stream->GetPosition(), 0);
  // Created through a class reference, as readers pick their wrapper class.
  TdxStreamClass cls = TdxStream::StaticClass();
  std::unique_ptr<TdxStream, orv::FreeDeleter> created(cls.Create(stream.get()));
  EXPECT_FALSE(created->GetIsUnicode());
  EXPECT_EQ(stream->GetPosition(), 6);
}

TEST(dxStream, WritersPutTheAnsiSignatureFirst) {
  std::unique_ptr<TMemoryStream, orv::FreeDeleter> stream(new TMemoryStream);
  WriteAnsiFormatSignature(stream.get());
  WriteStringToStream(stream.get(), "Орел"_a);
  stream->SetPosition(0);
  EXPECT_EQ(ReadStringFromStream(stream.get()), "DXAFMTОрел"_a);
  stream->SetPosition(6);
  EXPECT_EQ(ReadStringFromStream(stream.get()), "Орел"_a);
  EXPECT_EQ(ReadStringFromStream(stream.get()), "");
}

}  // namespace
