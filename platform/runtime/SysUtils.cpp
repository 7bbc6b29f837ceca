#include "platform/runtime/SysUtils.h"

#include <algorithm>

// Provisional byte-wise versions; the locale's real collation replaces them.
namespace {
unsigned char Upper1251(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xE0) return c - 32;
  if (c == 0xB8) return 0xA8;
  return c;
}
unsigned char Lower1251(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDF) return c + 32;
  if (c == 0xA8) return 0xB8;
  return c;
}
}  // namespace

int AnsiCompareStr(const AnsiString& a, const AnsiString& b) { return a.compare(b); }

int AnsiCompareText(const AnsiString& a, const AnsiString& b) {
  return AnsiUpperCase(a).compare(AnsiUpperCase(b));
}

AnsiString AnsiUpperCase(const AnsiString& s) {
  AnsiString r = s;
  std::transform(r.begin(), r.end(), r.begin(),
                 [](char c) { return static_cast<char>(Upper1251(static_cast<unsigned char>(c))); });
  return r;
}

AnsiString AnsiLowerCase(const AnsiString& s) {
  AnsiString r = s;
  std::transform(r.begin(), r.end(), r.begin(),
                 [](char c) { return static_cast<char>(Lower1251(static_cast<unsigned char>(c))); });
  return r;
}
