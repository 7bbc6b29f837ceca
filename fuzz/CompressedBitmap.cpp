// links: components_foundation
// The compressed bitmap stream ("XDBM" runs over a bitmap's "Data"): any bytes are read as a
// bitmap's data; what decodes is encoded again with every block size and must decode to the same
// bytes, and a bitmap that was read is written compressed and read back to the same size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "components/foundation/cxGraphics.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const AnsiString input(reinterpret_cast<const char*>(data), size);
  try {
    TStringStream stream(input);
    AnsiString decoded;
    if (orv::DecodeXdbm(&stream, decoded)) {
      for (Integer blockSize : {1, 3, 4}) {
        TStringStream encoded(orv::EncodeXdbm(decoded, blockSize));
        AnsiString again;
        if (!orv::DecodeXdbm(&encoded, again) || again != decoded) std::abort();
      }
    }
  } catch (const Exception&) {
    // A stream that breaks its own counts is refused: an answer, not a fault.
  }
  try {
    TStringStream stream(input);
    TcxBitmap bitmap;
    bitmap.ReadData(&stream);
    TStringStream written;
    bitmap.SetCompressData(true);
    bitmap.WriteData(&written);
    written.SetPosition(0);
    TcxBitmap copy;
    copy.ReadData(&written);
    if (copy.GetWidth() != bitmap.GetWidth() || copy.GetHeight() != bitmap.GetHeight()) std::abort();
  } catch (const Exception&) {
  }
  return 0;
}
