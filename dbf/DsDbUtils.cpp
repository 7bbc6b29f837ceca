#include "dbf/DsDbUtils.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "dbf/DsDbApi.h"

void DsMove(const void* source, void* destination, Integer count) {
  if (count > 0) std::memmove(destination, source, static_cast<std::size_t>(count));
}

Integer DsPosByte(std::string_view text, char value, Integer start) {
  if (start < 1 || static_cast<std::size_t>(start) > text.size()) return 0;
  const std::size_t at = text.find(value, static_cast<std::size_t>(start - 1));
  return at == std::string_view::npos ? 0 : static_cast<Integer>(at + 1);
}

bool DsMatchSingle(std::string_view value, std::string_view pattern, char wildcard) {
  if (value.empty() || value.size() != pattern.size()) return false;
  for (std::size_t i = 0; i < value.size(); ++i)
    if (pattern[i] != wildcard && pattern[i] != value[i]) return false;
  return true;
}

Integer DsCountByte(Byte value, const void* bytes, Integer count) {
  if (count <= 0) return 0;
  const Byte* p = static_cast<const Byte*>(bytes);
  return static_cast<Integer>(std::count(p, p + count, value));
}

Int64 DsSearchFile(orv::IDsFile* file, Int64 start, const void* bytes, Integer count) {
  if (!file || !bytes || count <= 0 || start < 0) return -1;
  constexpr Integer kChunk = 8192;
  const Int64 size = file->GetSize();
  Int64 chunk = std::max<Int64>(kChunk, Int64(count) * 2);
  // A small file needs no more than what is left of it.
  if (size >= 0) chunk = std::min<Int64>(chunk, std::max<Int64>(size - start, count));
  std::vector<Byte> buffer(static_cast<std::size_t>(chunk));
  const Byte* first = static_cast<const Byte*>(bytes);
  const Byte* last = first + count;
  for (Int64 at = start;;) {
    if (!file->Seek(at)) return -1;
    const Integer got = file->Read(buffer.data(), static_cast<Integer>(buffer.size()));
    if (got < count) return -1;
    const Byte* begin = buffer.data();
    const Byte* end = begin + got;
    const Byte* found = std::search(begin, end, first, last);
    if (found != end) return at + (found - begin);
    // The next chunk starts where a match cut off by this chunk's end could begin.
    at += got - (count - 1);
  }
}

AnsiString DsIncludeTrailingBackslash(const AnsiString& path) {
  if (path.empty() || path.back() == '\\') return path;
  if (path.size() == 1) {
    const char c = path[0];
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return path + ":\\";
  }
  return path + "\\";
}

AnsiString DsBoolToStr(bool value) { return value ? "True" : "False"; }
