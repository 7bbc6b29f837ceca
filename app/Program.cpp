#include "app/Program.h"

#include "app/UMain.h"
#include "app/fMsgF1DE.h"
#include "platform/runtime/AnsiString.h"

namespace orv {

bool StartProgramData(TDMClass moduleClass) {
  Application->Initialize();
  Application->SetTitle("Орване"_a);
  Application->CreateForm(moduleClass, [](TComponent* module) { DM = static_cast<TDM*>(module); });
  return DM && DM->DataReady;
}

void CreateProgramWindows() {
  Application->CreateForm(FMain);
  Application->CreateForm(frmMsgF1DE);
}

int RunProgram(TDMClass moduleClass) {
  if (!StartProgramData(moduleClass)) return 1;
  CreateProgramWindows();
  Application->Run();
  return 0;
}

void ShutDownProgram() {
  // The about box and the main window first, then the data module: the windows' data links
  // let go of the table before the connection closes.
  if (frmMsgF1DE) {
    frmMsgF1DE->Free();
    frmMsgF1DE = nullptr;
  }
  if (FMain) {
    FMain->Free();
    FMain = nullptr;
  }
  if (DM) {
    DM->Free();
    DM = nullptr;
  }
}

}  // namespace orv
