#include "components/editors/cxEditUtils.h"

#include "platform/runtime/Locale.h"

#include <string>

#include "platform/runtime/SysUtils.h"

namespace {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

void StreamToHexString(TStream* stream, AnsiString& text) {
  text.clear();
  if (!stream) return;
  const Int64 size = stream->GetSize();
  if (size <= 0) return;
  stream->SetPosition(0);
  std::string bytes(std::size_t(size), '\0');
  stream->ReadBuffer(bytes.data(), Integer(size));
  static constexpr char kDigits[] = "0123456789ABCDEF";
  text.reserve(4 + bytes.size() * 2);
  text = "Hex:";
  for (unsigned char b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
}

void HexStringToStream(const AnsiString& text, TStream* stream) {
  if (!stream || text.size() <= 5) return;
  const std::size_t count = (text.size() - 4) / 2;
  std::string bytes;
  bytes.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const int high = HexDigitValue(text[4 + 2 * i]);
    const int low = HexDigitValue(text[5 + 2 * i]);
    // Only the bytes before the first bad pair are defined; stop there.
    if (high < 0 || low < 0) break;
    bytes += char((high << 4) | low);
  }
  if (!bytes.empty()) stream->WriteBuffer(bytes.data(), Integer(bytes.size()));
}

Boolean StringToBoolean(const AnsiString& text) {
  const AnsiString upper = AnsiUpperCase(text);
  if (upper == "TRUE") return true;
  if (upper == "FALSE") return false;
  throw EPropertyConvertError(AnsiString());
}
