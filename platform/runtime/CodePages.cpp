#include "platform/runtime/CodePages.h"

#include <array>

#include "platform/runtime/AnsiString.h"

namespace orv {

const char16_t kCp866High[128] = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C,
    0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429,
    0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436,
    0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514,
    0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C,
    0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, 0x0401, 0x0451, 0x0404, 0x0454, 0x0407,
    0x0457, 0x040E, 0x045E, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,
};

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
