#include "platform/runtime/CodePages.h"

#include <array>

#include "platform/runtime/AnsiString.h"

namespace orv {

namespace {

// Byte-to-byte tables between the two 8-bit code pages, built once; 0 marks a character the
// target cannot hold (no high byte maps to 0).
struct CrossTables {
  std::array<unsigned char, 128> OemToAnsi{};
  std::array<unsigned char, 128> AnsiToOem{};
  CrossTables() {
    for (int o = 0; o < 128; ++o) {
      const int a = UnicodeToCp1251(kCp866High[o]);
      if (a >= 0x80) {
        OemToAnsi[o] = static_cast<unsigned char>(a);
        AnsiToOem[a - 0x80] = static_cast<unsigned char>(0x80 + o);
      }
    }
  }
};

const CrossTables& Tables() {
  static const CrossTables tables;
  return tables;
}

std::string Translate(std::string_view in, const std::array<unsigned char, 128>& table, char replacement) {
  std::string out(in);
  for (char& ch : out) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x80) continue;
    const unsigned char mapped = table[b - 0x80];
    ch = mapped ? static_cast<char>(mapped) : replacement;
  }
  return out;
}

// Decodes one UTF-16 character at w[i], advancing i; an unpaired surrogate gives U+FFFD.
char32_t DecodeUtf16(std::u16string_view w, std::size_t& i) {
  const char16_t u = w[i++];
  if (u < 0xD800 || u > 0xDFFF) return u;
  if (u <= 0xDBFF && i < w.size() && w[i] >= 0xDC00 && w[i] <= 0xDFFF) {
    const char16_t low = w[i++];
    return 0x10000 + ((char32_t(u) - 0xD800) << 10) + (low - 0xDC00);
  }
  return 0xFFFD;
}

}  // namespace

AnsiString Cp866ToAnsi(std::string_view oem, char replacement) {
  return Translate(oem, Tables().OemToAnsi, replacement);
}

std::string AnsiToCp866(std::string_view ansi, char replacement) {
  return Translate(ansi, Tables().AnsiToOem, replacement);
}

WideString AnsiToWide(std::string_view ansi) {
  WideString out;
  out.reserve(ansi.size());
  for (const char ch : ansi) out.push_back(static_cast<char16_t>(Cp1251ToUnicode(static_cast<unsigned char>(ch))));
  return out;
}

AnsiString WideToAnsi(std::u16string_view wide, char replacement) {
  AnsiString out;
  out.reserve(wide.size());
  std::size_t i = 0;
  while (i < wide.size()) {
    const int b = UnicodeToCp1251(DecodeUtf16(wide, i));
    out.push_back(b >= 0 ? static_cast<char>(b) : replacement);
  }
  return out;
}

WideString Utf8ToWide(std::string_view utf8) {
  WideString out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const char32_t c = DecodeUtf8(utf8, i);
    if (c >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

std::string WideToUtf8(std::u16string_view wide) {
  std::string out;
  out.reserve(wide.size() * 2);
  std::size_t i = 0;
  while (i < wide.size()) AppendUtf8(out, DecodeUtf16(wide, i));
  return out;
}

}  // namespace orv
