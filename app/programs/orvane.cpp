// The program: the town search on the desktop through the SDL2 backend (an X11 or Wayland
// display), with the town table DB/ORVANE.DBF beside the executable.
#include <cstdio>
#include <memory>
#include <string>

#include "app/Program.h"
#include "platform/backends/SdlBackend.h"

// When no desktop bus runs (as under a virtual X server), the bus library that SDL asks for one
// keeps the failed attempt's buffer until the process ends.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

int main() {
  std::string why;
  std::unique_ptr<orv::TSdlBackend> backend = orv::TSdlBackend::Create(&why);
  if (!backend) {
    std::fprintf(stderr, "orvane: no desktop to show the window on: %s\n", why.c_str());
    return 2;
  }
  orv::SetWindowBackend(backend.get());
  const int status = orv::RunProgram();
  orv::ShutDownProgram();
  return status;
}
