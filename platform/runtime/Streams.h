// Streams: TStream and its handle, file, memory and string forms.
//
// Read and Write move at most `count` bytes and return how many they moved; ReadBuffer and
// WriteBuffer insist on all of them and raise EReadError / EWriteError ("Stream read error",
// "Stream write error"). Opening a TFileStream raises EFCreateError / EFOpenError.
#pragma once

#include <vector>

#include "platform/runtime/FileSystem.h"
#include "platform/runtime/Object.h"

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
  ORV_CLASS(TStream, TObject)
 public:
  TStream() = default;

  virtual Integer Read(void* buffer, Integer count) = 0;
  virtual Integer Write(const void* buffer, Integer count) = 0;
  // The new position.
  virtual Int64 Seek(Int64 offset, TSeekOrigin origin) = 0;

  void ReadBuffer(void* buffer, Integer count);
  void WriteBuffer(const void* buffer, Integer count);
  // Copies `count` bytes from `source`'s position; 0 copies the whole source from its start.
  // The number of bytes copied; EReadError / EWriteError when short.
  Int64 CopyFrom(TStream* source, Int64 count);

  Int64 GetPosition() { return Seek(0, soCurrent); }
  void SetPosition(Int64 value) { Seek(value, soBeginning); }
  virtual Int64 GetSize();
  virtual void SetSize(Int64 newSize) {}
};

// A stream over an open file handle (which it does not close).
class THandleStream : public TStream {
  ORV_CLASS(THandleStream, TStream)
 public:
  using TCreateSignature = void(Integer handle);
  explicit THandleStream(Integer handle) : FHandle(handle) {}

  Integer GetHandle() const { return FHandle; }
  Integer Read(void* buffer, Integer count) override;
  Integer Write(const void* buffer, Integer count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;
  Int64 GetSize() override;
  // Cuts or extends the file; EStreamError when the system refuses.
  void SetSize(Int64 newSize) override;

 protected:
  Integer FHandle;
};

// A stream over a named file. `mode` is fmCreate, or an open mode or'ed with a share mode
// (FileSystem.h); fmCreate may be or'ed with a share mode too (exclusive by default).
class TFileStream : public THandleStream {
  ORV_CLASS(TFileStream, THandleStream)
 public:
  using TCreateSignature = void(const AnsiString& fileName, Word mode);
  TFileStream(const AnsiString& fileName, Word mode);
  ~TFileStream() override;

  const AnsiString& GetFileName() const { return FFileName; }

 private:
  AnsiString FFileName;
};

// A stream over a block of memory it does not own (SetPointer); the base of TMemoryStream.
class TCustomMemoryStream : public TStream {
  ORV_CLASS(TCustomMemoryStream, TStream)
 public:
  TCustomMemoryStream() = default;

  // The bytes of the stream (GetSize() of them).
  void* GetMemory() const { return FMemory; }
  Integer Read(void* buffer, Integer count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;
  Int64 GetSize() override { return FSize; }
  void SaveToStream(TStream* stream);
  void SaveToFile(const AnsiString& fileName);

 protected:
  void SetPointer(void* memory, Int64 size);
  Int64 FPosition = 0;

 private:
  void* FMemory = nullptr;
  Int64 FSize = 0;
};

// A stream in memory that grows as it is written (geometrically: n bytes written in small
// pieces cost O(n)).
class TMemoryStream : public TCustomMemoryStream {
  ORV_CLASS(TMemoryStream, TCustomMemoryStream)
 public:
  TMemoryStream() = default;

  Integer Write(const void* buffer, Integer count) override;
  // Shrinking moves a position past the new end to the end; growing adds zero bytes.
  void SetSize(Int64 newSize) override;
  void Clear();
  // Replaces the contents with the whole of `stream` / of the file; the position becomes 0.
  void LoadFromStream(TStream* stream);
  void LoadFromFile(const AnsiString& fileName);

 private:
  std::vector<Byte> FData;
};

// A stream over a text held in the stream (DataString).
class TStringStream : public TStream {
  ORV_CLASS(TStringStream, TStream)
 public:
  using TCreateSignature = void(const AnsiString& text);
  explicit TStringStream(const AnsiString& text = AnsiString()) : FDataString(text) {}

  const AnsiString& GetDataString() const { return FDataString; }
  Integer Read(void* buffer, Integer count) override;
  Integer Write(const void* buffer, Integer count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;
  Int64 GetSize() override { return static_cast<Int64>(FDataString.size()); }
  void SetSize(Int64 newSize) override;
  // Up to `count` bytes from the position.
  AnsiString ReadString(Integer count);
  void WriteString(const AnsiString& text);

 private:
  AnsiString FDataString;
  Int64 FPosition = 0;
};
