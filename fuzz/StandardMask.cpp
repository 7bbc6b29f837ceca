// links: components_editors
// The standard edit mask: the first part of the input (up to "\n--\n") is the mask, the rest a
// text fitted into it, stripped, checked and blanked.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "components/editors/cxStandardMask.h"
#include "fuzz/FuzzSupport.h"
#include "platform/runtime/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto [maskText, input] = fuzz::SplitInput(data, size);
  try {
    TcxStandardMask mask;
    mask.Compile(AnsiString(maskText));
    AnsiString text(input);
    mask.Format(text, true, false);
    // A formatted text has one character per position of the mask.
    if (Integer(text.size()) != mask.GetCount()) std::abort();
    AnsiString stripped = text;
    mask.Strip(stripped);
    AnsiString checked(input);
    mask.IsValid(checked);
    AnsiString kept(input);
    mask.Format(kept, false, true);
    AnsiString empty, blank;
    mask.GetEmptyText(empty);
    mask.GetBlankText(blank);
  } catch (const Exception&) {
    // Refused input is an answer, not a fault.
  }
  return 0;
}
