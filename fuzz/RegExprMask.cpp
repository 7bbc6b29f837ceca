// links: components_editors
// The regular-expression edit mask: the first part of the input (up to "\n--\n") is compiled,
// with case ignored when it starts with "(?i)"; the rest is offered character by character,
// stepping back now and then.
#include <cstddef>
#include <cstdint>

#include "components/editors/cxRegExpr.h"
#include "fuzz/FuzzSupport.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto [maskText, input] = fuzz::SplitInput(data, size);
  const bool caseInsensitive = maskText.starts_with("(?i)");
  if (caseInsensitive) maskText.remove_prefix(4);
  try {
    TcxRegExpr expr;
    expr.SetCaseInsensitive(caseInsensitive);
    TStringStream stream{AnsiString(maskText)};
    expr.Compile(&stream);
    for (std::size_t i = 0; i < input.size(); ++i) {
      char ch = input[i];
      if (ch == '\b') {
        expr.StepBack();
        continue;
      }
      expr.Step(ch);
    }
    expr.IsAccepting();
    AnsiString accepted;
    expr.Restart();
    expr.StepText(AnsiString(input), accepted);
  } catch (const Exception&) {
    // A mask that does not compile is an answer, not a fault.
  }
  return 0;
}
