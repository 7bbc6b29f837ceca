// Windows-1251 text: compile-time literals and conversions at the edges.
//
// Literals are written in UTF-8 in the source and become Windows-1251 bytes at compile time:
//
//   AnsiString s = "Москва"_a;          // 6 bytes, one per letter
//   if (name == "Россия"_a) ...
//
// A character that Windows-1251 cannot hold makes the literal ill-formed (a compile error).
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/runtime/Types.h"

namespace orv {

// Unicode code points of the bytes 0x80..0xFF of Windows-1251. 0x98 has no character of its
// own; it maps to U+0098 so that every byte survives a round trip.
inline constexpr char16_t kCp1251High[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

// The code point of one Windows-1251 byte.
constexpr char32_t Cp1251ToUnicode(unsigned char b) {
  return b < 0x80 ? char32_t(b) : char32_t(kCp1251High[b - 0x80]);
}

// The Windows-1251 byte of a code point, or -1 when the code page has none.
constexpr int UnicodeToCp1251(char32_t c) {
  if (c < 0x80) return int(c);
  if (c >= 0x0410 && c <= 0x044F) return int(c - 0x0410 + 0xC0);
  for (int i = 0; i < 64; ++i)
    if (kCp1251High[i] == c) return 0x80 + i;
  return -1;
}

// Decodes one UTF-8 sequence at s[i], advancing i. Returns U+FFFD for a malformed sequence
// (and advances by one byte).
constexpr char32_t DecodeUtf8(std::string_view s, std::size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  auto cont = [&](std::size_t k) -> int {
    if (i + k >= s.size()) return -1;
    const auto b = static_cast<unsigned char>(s[i + k]);
    return (b & 0xC0) == 0x80 ? (b & 0x3F) : -1;
  };
  if (b0 < 0x80) { ++i; return b0; }
  if ((b0 & 0xE0) == 0xC0 && b0 >= 0xC2) {
    const int c1 = cont(1);
    if (c1 >= 0) { i += 2; return char32_t(((b0 & 0x1F) << 6) | c1); }
  } else if ((b0 & 0xF0) == 0xE0) {
    const int c1 = cont(1), c2 = c1 >= 0 ? cont(2) : -1;
    if (c2 >= 0) {
      const char32_t c = char32_t(((b0 & 0x0F) << 12) | (c1 << 6) | c2);
      if (c >= 0x800 && (c < 0xD800 || c > 0xDFFF)) { i += 3; return c; }
    }
  } else if ((b0 & 0xF8) == 0xF0) {
    const int c1 = cont(1), c2 = c1 >= 0 ? cont(2) : -1, c3 = c2 >= 0 ? cont(3) : -1;
    if (c3 >= 0) {
      const char32_t c = char32_t(((b0 & 0x07) << 18) | (c1 << 12) | (c2 << 6) | c3);
      if (c >= 0x10000 && c <= 0x10FFFF) { i += 4; return c; }
    }
  }
  ++i;
  return 0xFFFD;
}

// Appends the UTF-8 form of one code point.
void AppendUtf8(std::string& out, char32_t c);
// Windows-1251 bytes to UTF-8 (for the screen, the clipboard, file names).
std::string AnsiToUtf8(std::string_view ansi);
// UTF-8 to Windows-1251; a character the code page cannot hold becomes `replacement`.
AnsiString Utf8ToAnsi(std::string_view utf8, char replacement = '?');

namespace detail {

template <std::size_t N>
struct Utf8Literal {
  char Chars[N]{};
  consteval Utf8Literal(const char (&s)[N]) {
    for (std::size_t i = 0; i < N; ++i) Chars[i] = s[i];
  }
};

// Reached only at compile time, where calling it makes the literal ill-formed.
inline void CharacterOutsideWindows1251() {}

template <std::size_t N>
struct AnsiLiteralData {
  std::array<char, N> Bytes{};
  std::size_t Size = 0;
};

template <std::size_t N>
consteval AnsiLiteralData<N> ConvertLiteral(const Utf8Literal<N>& lit) {
  AnsiLiteralData<N> out;
  const std::string_view in(lit.Chars, N - 1);
  std::size_t i = 0;
  while (i < in.size()) {
    const int b = UnicodeToCp1251(DecodeUtf8(in, i));
    if (b < 0) CharacterOutsideWindows1251();
    out.Bytes[out.Size++] = static_cast<char>(b);
  }
  return out;
}

template <Utf8Literal S>
inline constexpr AnsiLiteralData<sizeof(S.Chars)> kAnsiLiteral = ConvertLiteral(S);

}  // namespace detail

// A Windows-1251 literal in static storage. Converts implicitly to AnsiString and to
// std::string_view, and compares with both.
struct AnsiLiteral {
  const char* Data;
  std::size_t Size;

  constexpr std::string_view View() const { return {Data, Size}; }
  constexpr operator std::string_view() const { return View(); }
  operator AnsiString() const { return AnsiString(Data, Size); }
  constexpr char operator[](std::size_t i) const { return Data[i]; }
  constexpr std::size_t size() const { return Size; }
  const char* c_str() const { return Data; }  // the stored bytes end with a zero

  friend constexpr bool operator==(AnsiLiteral a, AnsiLiteral b) { return a.View() == b.View(); }
  friend bool operator==(const AnsiString& a, AnsiLiteral b) { return std::string_view(a) == b.View(); }
  friend constexpr bool operator==(std::string_view a, AnsiLiteral b) { return a == b.View(); }
  friend AnsiString operator+(const AnsiString& a, AnsiLiteral b) { return a + std::string(b.View()); }
  friend AnsiString operator+(AnsiLiteral a, const AnsiString& b) { return std::string(a.View()) + b; }
  friend AnsiString operator+(AnsiLiteral a, AnsiLiteral b) {
    return std::string(a.View()) + std::string(b.View());
  }
};

}  // namespace orv

template <orv::detail::Utf8Literal S>
constexpr orv::AnsiLiteral operator""_a() {
  return {orv::detail::kAnsiLiteral<S>.Bytes.data(), orv::detail::kAnsiLiteral<S>.Size};
}
