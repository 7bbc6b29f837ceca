// links: platform_forms
// Form descriptions: any text is parsed; what parses is printed and parsed again, and must give
// the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/forms/FormText.h"
#include "platform/runtime/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  orv::FormObject object;
  try {
    object = orv::ParseFormText(text);
  } catch (const Exception&) {
    return 0;  // not well formed: an answer, not a fault
  }
  const std::string printed = orv::PrintFormText(object);
  const std::string again = orv::PrintFormText(orv::ParseFormText(printed));
  if (again != printed) std::abort();
  return 0;
}
