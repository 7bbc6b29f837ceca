// The program's start and end. The entry point prepares the application object and the data
// module; only when the data is ready does it create the main window and the about box and run
// the message loop; otherwise the program ends at once, after the data module's one connection
// error box, without ever showing a window.
#pragma once

#include "app/UDM.h"

namespace orv {

using TDMClass = ClassOf<TDM>;

// Initializes the application, sets its title "Орване" and creates the data module into DM
// (which connects and opens the town table). Returns DM->DataReady.
bool StartProgramData(TDMClass moduleClass = TDM::StaticClass());

// Creates the main window (the application's main form, shown at once) and the hidden about
// box.
void CreateProgramWindows();

// The whole run: the data, then the windows and the message loop until the main window
// closes. 0 after a normal run, 1 when the data could not be opened.
int RunProgram(TDMClass moduleClass = TDM::StaticClass());

// Frees the windows and the data module (which disconnects), as the application's end does.
void ShutDownProgram();

}  // namespace orv
