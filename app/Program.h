// The program's start as far as it comes before any window: the application object, its title
// and the data module. The entry point creates the main window and the about box and runs the
// message loop only when the data is ready; otherwise the program ends at once, after the data
// module's one connection error box.
#pragma once

#include "app/UDM.h"

namespace orv {

using TDMClass = ClassOf<TDM>;

// Initializes the application, sets its title "Орване" and creates the data module into DM
// (which connects and opens the town table). Returns DM->DataReady.
bool StartProgramData(TDMClass moduleClass = TDM::StaticClass());

}  // namespace orv
