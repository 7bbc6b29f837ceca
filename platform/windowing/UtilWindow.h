// Hidden utility windows whose window procedure is a method: timers, settings listeners and
// other message sinks of the class library. They are hidden top-level windows, so broadcasts
// (WM_SETTINGCHANGE, WM_SYSCOLORCHANGE, WM_THEMECHANGED, WM_TIMECHANGE) reach them.
#pragma once

#include "platform/runtime/Object.h"
#include "platform/windowing/Messages.h"

using TWndMethod = orv::Event<void(TMessage& message)>;

// A hidden window of the class "TPUtilWindow" whose messages go to `method`; a message the
// method leaves alone keeps Result 0 (the method calls DefWindowProc itself when it wants the
// default handling).
HWND AllocateHWnd(TWndMethod method);
void DeallocateHWnd(HWND window);
