#include "dbf/DsDbUtils.h"

#include <algorithm>
#include <cstring>

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

AnsiString DsIncludeTrailingBackslash(const AnsiString& path) {
  if (path.empty() || path.back() == '\\') return path;
  if (path.size() == 1) {
    const char c = path[0];
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return path + ":\\";
  }
  return path + "\\";
}

AnsiString DsBoolToStr(bool value) { return value ? "True" : "False"; }
