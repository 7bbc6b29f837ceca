#include "platform/runtime/AnsiString.h"

namespace orv {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string AnsiToUtf8(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size() * 2);
  for (const char ch : ansi) AppendUtf8(out, Cp1251ToUnicode(static_cast<unsigned char>(ch)));
  return out;
}

namespace {

// Reverse table for the code points 0x0080..0x2122 that Windows-1251 holds outside ASCII,
// built once: the edge conversions run on every window title and clipboard transfer.
struct ReverseTable {
  std::array<unsigned char, 0x2200> Bytes{};
  constexpr ReverseTable() {
    for (int b = 0x80; b < 0x100; ++b) Bytes[kCp1251High[b - 0x80]] = static_cast<unsigned char>(b);
  }
};
constexpr ReverseTable kReverse;

}  // namespace

AnsiString Utf8ToAnsi(std::string_view utf8, char replacement) {
  AnsiString out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      out.push_back(static_cast<char>(b));
      ++i;
      continue;
    }
    const char32_t c = DecodeUtf8(utf8, i);
    const unsigned char mapped = c < kReverse.Bytes.size() ? kReverse.Bytes[c] : 0;
    out.push_back(mapped ? static_cast<char>(mapped) : replacement);
  }
  return out;
}

}  // namespace orv
