// links: components_foundation
// The image-list stream (the form-description "Bitmap" of a list): any bytes are read into an
// image list; the images of a list that was read are taken out and drawn, and the list is written
// and read back to the same count and size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxImageList.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TStringStream stream(AnsiString(reinterpret_cast<const char*>(data), size));
  TcxImageList list(nullptr);
  try {
    list.ReadData(&stream);
  } catch (const Exception&) {
    return 0;  // not an image list: an answer, not a fault
  }
  const Integer count = list.GetCount();
  TcxBitmap image, mask;
  TcxBitmap target(32, 32);
  for (Integer i = 0; i < count && i < 8; ++i) {
    list.GetImage(i, &image, &mask);
    list.Draw(target.GetcxCanvas(), TRect{0, 0, 32, 32}, i, true);
  }
  TStringStream written;
  list.WriteData(&written);
  written.SetPosition(0);
  TcxImageList copy(nullptr);
  copy.ReadData(&written);
  if (copy.GetCount() != count || copy.GetWidth() != list.GetWidth() || copy.GetHeight() != list.GetHeight())
    std::abort();
  return 0;
}
