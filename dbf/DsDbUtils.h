// Small byte and text routines shared by the table engine.
#pragma once

#include <string_view>

#include "platform/runtime/Types.h"

namespace orv {
class IDsFile;
}

// Copies `count` bytes; the ranges may overlap. A count of 0 or less copies nothing.
void DsMove(const void* source, void* destination, Integer count);

// Position (from 1) of the first `value` in `text` at or after position `start` (from 1);
// 0 when there is none or `start` lies outside the text.
Integer DsPosByte(std::string_view text, char value, Integer start);

// True when `value` and `pattern` have the same, non-zero length and every byte of the
// pattern equals the value's byte or is `wildcard`.
bool DsMatchSingle(std::string_view value, std::string_view pattern, char wildcard);

// Occurrences of `value` in the first `count` bytes of `bytes`.
Integer DsCountByte(Byte value, const void* bytes, Integer count);

// Reverse the byte order.
constexpr LongWord DsSwap32(LongWord value) {
  return (value >> 24) | ((value >> 8) & 0x0000FF00u) | ((value << 8) & 0x00FF0000u) |
         (value << 24);
}
constexpr UInt64 DsSwap64(UInt64 value) {
  return (UInt64(DsSwap32(LongWord(value))) << 32) | DsSwap32(LongWord(value >> 32));
}

// Big-endian numbers inside records and little-endian numbers of file headers, read and
// written byte by byte (no alignment needed).
constexpr LongWord DsGetBigEndian32(const Byte* p) {
  return (LongWord(p[0]) << 24) | (LongWord(p[1]) << 16) | (LongWord(p[2]) << 8) | p[3];
}
constexpr void DsPutBigEndian32(Byte* p, LongWord value) {
  p[0] = Byte(value >> 24);
  p[1] = Byte(value >> 16);
  p[2] = Byte(value >> 8);
  p[3] = Byte(value);
}
constexpr UInt64 DsGetBigEndian64(const Byte* p) {
  return (UInt64(DsGetBigEndian32(p)) << 32) | DsGetBigEndian32(p + 4);
}
constexpr void DsPutBigEndian64(Byte* p, UInt64 value) {
  DsPutBigEndian32(p, LongWord(value >> 32));
  DsPutBigEndian32(p + 4, LongWord(value));
}
constexpr LongWord DsGetLittleEndian32(const Byte* p) {
  return (LongWord(p[3]) << 24) | (LongWord(p[2]) << 16) | (LongWord(p[1]) << 8) | p[0];
}
constexpr void DsPutLittleEndian32(Byte* p, LongWord value) {
  p[0] = Byte(value);
  p[1] = Byte(value >> 8);
  p[2] = Byte(value >> 16);
  p[3] = Byte(value >> 24);
}
constexpr Word DsGetLittleEndian16(const Byte* p) { return Word(p[0] | (p[1] << 8)); }
constexpr void DsPutLittleEndian16(Byte* p, Word value) {
  p[0] = Byte(value);
  p[1] = Byte(value >> 8);
}

// Absolute offset of the first occurrence of `count` bytes at or after offset `start` of
// `file`, or -1 when there is none (or nothing to search for). The file is read forward in
// chunks of 8 KB (larger for a longer sequence); a match cut by a chunk's end is found in the
// next chunk, which overlaps the previous one by count - 1 bytes.
Int64 DsSearchFile(orv::IDsFile* file, Int64 start, const void* bytes, Integer count);

// A folder name ready for a file name to be appended: empty stays empty, a name ending with
// "\" stays, a single drive letter A-Z (either case) gets ":\", anything else gets "\".
AnsiString DsIncludeTrailingBackslash(const AnsiString& path);

// "True" or "False".
AnsiString DsBoolToStr(bool value);
