#include "platform/runtime/Streams.h"

#include <algorithm>
#include <cstring>

#include "platform/runtime/Exceptions.h"

namespace {

// How many of `count` bytes lie between `position` and `size`.
Integer Available(Int64 position, Int64 size, Integer count) {
  if (position < 0 || count <= 0 || position >= size) return 0;
  return static_cast<Integer>(std::min<Int64>(count, size - position));
}

Int64 NewPosition(Int64 offset, TSeekOrigin origin, Int64 position, Int64 size) {
  switch (origin) {
    case soCurrent: return position + offset;
    case soEnd: return size + offset;
    default: return offset;
  }
}

}  // namespace

// ---- TStream ----

void TStream::ReadBuffer(void* buffer, Integer count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, Integer count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

Int64 TStream::GetSize() {
  const Int64 position = Seek(0, soCurrent);
  const Int64 size = Seek(0, soEnd);
  Seek(position, soBeginning);
  return size;
}

Int64 TStream::CopyFrom(TStream* source, Int64 count) {
  if (count == 0) {
    source->SetPosition(0);
    count = source->GetSize();
  }
  const Int64 total = count;
  std::vector<char> buffer(static_cast<std::size_t>(std::clamp<Int64>(count, 1, 64 * 1024)));
  while (count > 0) {
    const Integer n = static_cast<Integer>(std::min<Int64>(count, static_cast<Int64>(buffer.size())));
    source->ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    count -= n;
  }
  return total;
}

// ---- THandleStream, TFileStream ----

Integer THandleStream::Read(void* buffer, Integer count) {
  const Integer n = FileRead(FHandle, buffer, count);
  return n < 0 ? 0 : n;
}

Integer THandleStream::Write(const void* buffer, Integer count) {
  const Integer n = FileWrite(FHandle, buffer, count);
  return n < 0 ? 0 : n;
}

Int64 THandleStream::Seek(Int64 offset, TSeekOrigin origin) {
  return FileSeek(FHandle, offset, static_cast<Integer>(origin));
}

Int64 THandleStream::GetSize() { return orv::FileSize(FHandle); }

void THandleStream::SetSize(Int64 newSize) {
  const Int64 position = Seek(0, soCurrent);
  if (!orv::FileTruncate(FHandle, newSize)) throw EStreamError("Stream size error: " + orv::LastFileError());
  if (position > newSize) Seek(0, soEnd);
}

TFileStream::TFileStream(const AnsiString& fileName, Word mode) : THandleStream(-1), FFileName(fileName) {
  if ((mode & fmCreate) == fmCreate) {
    const Word share = mode & 0xF0;
    FHandle = FileCreate(fileName, share == fmShareCompat ? fmShareExclusive : share);
    if (FHandle < 0)
      throw EFCreateError("Cannot create file \"" + fileName + "\". " + orv::LastFileError());
  } else {
    FHandle = FileOpen(fileName, mode);
    if (FHandle < 0) throw EFOpenError("Cannot open file \"" + fileName + "\". " + orv::LastFileError());
  }
}

TFileStream::~TFileStream() { FileClose(FHandle); }

// ---- TCustomMemoryStream, TMemoryStream ----

void TCustomMemoryStream::SetPointer(void* memory, Int64 size) {
  FMemory = memory;
  FSize = size;
}

Integer TCustomMemoryStream::Read(void* buffer, Integer count) {
  const Integer n = Available(FPosition, FSize, count);
  if (n > 0) {
    std::memcpy(buffer, static_cast<const char*>(FMemory) + FPosition, n);
    FPosition += n;
  }
  return n;
}

Int64 TCustomMemoryStream::Seek(Int64 offset, TSeekOrigin origin) {
  FPosition = NewPosition(offset, origin, FPosition, FSize);
  return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream* stream) {
  if (FSize > 0) stream->WriteBuffer(FMemory, static_cast<Integer>(FSize));
}

void TCustomMemoryStream::SaveToFile(const AnsiString& fileName) {
  TFileStream stream(fileName, fmCreate);
  SaveToStream(&stream);
}

Integer TMemoryStream::Write(const void* buffer, Integer count) {
  if (FPosition < 0 || count <= 0) return 0;
  const Int64 end = FPosition + count;
  if (end > GetSize()) {
    if (end > INT32_MAX) return 0;  // memory streams hold at most 2 GB
    FData.resize(static_cast<std::size_t>(end));
    SetPointer(FData.data(), end);
  }
  std::memcpy(FData.data() + FPosition, buffer, count);
  FPosition = end;
  return count;
}

void TMemoryStream::SetSize(Int64 newSize) {
  if (newSize < 0 || newSize > INT32_MAX) throw EStreamError("Out of memory while expanding memory stream");
  FData.resize(static_cast<std::size_t>(newSize));
  SetPointer(FData.data(), newSize);
  if (FPosition > newSize) FPosition = newSize;
}

void TMemoryStream::Clear() {
  FData.clear();
  FData.shrink_to_fit();
  SetPointer(nullptr, 0);
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* stream) {
  stream->SetPosition(0);
  const Int64 size = stream->GetSize();
  SetSize(size);
  if (size > 0) stream->ReadBuffer(FData.data(), static_cast<Integer>(size));
  FPosition = 0;
}

void TMemoryStream::LoadFromFile(const AnsiString& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

// ---- TStringStream ----

Integer TStringStream::Read(void* buffer, Integer count) {
  const Integer n = Available(FPosition, GetSize(), count);
  if (n > 0) {
    std::memcpy(buffer, FDataString.data() + FPosition, n);
    FPosition += n;
  }
  return n;
}

Integer TStringStream::Write(const void* buffer, Integer count) {
  if (FPosition < 0 || count <= 0) return 0;
  const Int64 end = FPosition + count;
  if (end > INT32_MAX) return 0;
  if (end > GetSize()) FDataString.resize(static_cast<std::size_t>(end));
  std::memcpy(FDataString.data() + FPosition, buffer, count);
  FPosition = end;
  return count;
}

Int64 TStringStream::Seek(Int64 offset, TSeekOrigin origin) {
  // A string stream keeps its position inside the text.
  FPosition = std::clamp<Int64>(NewPosition(offset, origin, FPosition, GetSize()), 0, GetSize());
  return FPosition;
}

void TStringStream::SetSize(Int64 newSize) {
  if (newSize < 0 || newSize > INT32_MAX) throw EStreamError("Stream size error");
  FDataString.resize(static_cast<std::size_t>(newSize));
  if (FPosition > newSize) FPosition = newSize;
}

AnsiString TStringStream::ReadString(Integer count) {
  const Integer n = Available(FPosition, GetSize(), count);
  AnsiString r = FDataString.substr(static_cast<std::size_t>(FPosition < 0 ? 0 : FPosition), n);
  FPosition += n;
  return r;
}

void TStringStream::WriteString(const AnsiString& text) {
  Write(text.data(), static_cast<Integer>(text.size()));
}
