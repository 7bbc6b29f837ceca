// links: components_data
// The data controller's streams: the first byte chooses the record-values stream (read into a
// controller of a string, an integer, a float and a date item) or the filter criteria's stream
// (read into the filter of a controller with towns, then applied); the rest is the stream.
#include <cstddef>
#include <cstdint>

#include "components/data/cxCustomData.h"
#include "components/data/cxDataStorage.h"
#include "components/data/tests/DataControllerFixture.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"

using namespace orv::test;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  TStringStream stream(AnsiString(reinterpret_cast<const char*>(data) + 1, size - 1));
  if (data[0] & 1) {
    TControllerPtr controller = MakeTownController();
    TcxDataFilterCriteria* filter = controller->GetFilter();
    try {
      filter->ReadBinaryData(&stream);
      filter->SetActive(true);
      (void)controller->GetRowCount();
      TStringStream written;
      filter->WriteBinaryData(&written);
    } catch (const Exception&) {
      // A stream the criteria refuse is an answer, not a fault.
    }
    return 0;
  }
  TControllerPtr controller(new TTestDataController(nullptr));
  controller->AddTestItem(TcxStringValueType::StaticClass());
  controller->AddTestItem(TcxIntegerValueType::StaticClass());
  controller->AddTestItem(TcxFloatValueType::StaticClass());
  controller->AddTestItem(TcxDateTimeValueType::StaticClass());
  try {
    controller->LoadDataFromStream(&stream);
  } catch (const Exception&) {
    return 0;
  }
  for (Integer r = 0; r < controller->GetRecordCount() && r < 64; ++r)
    for (Integer i = 0; i < 4; ++i) {
      try {
        (void)VarToStr(controller->GetValue(r, i));
      } catch (const Exception&) {
        // A date the stream holds may lie outside the calendar: its text is refused.
      }
    }
  TStringStream written;
  controller->SaveDataToStream(&written);
  return 0;
}
