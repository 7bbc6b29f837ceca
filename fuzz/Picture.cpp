// links: platform_controls
// The picture readers (bitmap, icon, JPEG and PNG files, recognised by their first bytes, and a
// picture's form-description data with its class name): the first byte chooses the reader, the
// rest is the data. A picture that was read is drawn and saved.
#include <cstddef>
#include <cstdint>

#include "platform/controls/Graphics.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  TStringStream stream(AnsiString(reinterpret_cast<const char*>(data) + 1, size - 1));
  TPicture picture;
  try {
    if (data[0] & 1) picture.ReadData(&stream);
    else picture.LoadFromStream(&stream);
  } catch (const Exception&) {
    return 0;  // not a picture: an answer, not a fault
  }
  TBitmap target;
  target.SetSize(16, 16);
  if (TGraphic* graphic = picture.GetGraphic()) target.GetCanvas()->StretchDraw(TRect{0, 0, 16, 16}, graphic);
  TStringStream saved;
  picture.SaveToStream(&saved);
  return 0;
}
