#include "app/Program.h"

#include "platform/runtime/AnsiString.h"

namespace orv {

bool StartProgramData(TDMClass moduleClass) {
  Application->Initialize();
  Application->SetTitle("Орване"_a);
  Application->CreateForm(moduleClass, [](TComponent* module) { DM = static_cast<TDM*>(module); });
  return DM && DM->DataReady;
}

}  // namespace orv
