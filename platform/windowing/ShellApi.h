// Opening a document or a link with the desktop's own handler.
//
// ShellExecute hands the file (a path or a URL, Windows-1251) to the desktop's opener,
// `xdg-open`, in a detached process; the verb and show command are accepted for the callers'
// sake and otherwise ignored. Tests replace the opener with SetShellOpener and observe the calls
// instead of launching anything.
#pragma once

#include <functional>

#include "platform/runtime/AnsiString.h"
#include "platform/windowing/WinTypes.h"

// Answers a value above 32 on success, as callers of the platform expect; 2 when nothing opened.
HINSTANCE ShellExecute(HWND window, const char* verb, const char* file, const char* parameters,
                       const char* directory, int showCommand);

namespace orv {

// The opener: verb, file (Windows-1251) and show command; answers whether it started.
using TShellOpener = std::function<bool(const AnsiString& verb, const AnsiString& file, int showCommand)>;
// Replaces the opener (an empty function restores the desktop's); answers the previous one.
TShellOpener SetShellOpener(TShellOpener opener);

}  // namespace orv
