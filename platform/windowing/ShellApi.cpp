#include "platform/windowing/ShellApi.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <utility>

#include "platform/runtime/AnsiString.h"

extern char** environ;

namespace {

// Starts `xdg-open file` without a shell (the file is one argument, never parsed), detached
// through a short-lived intermediate child so that no zombie is left behind.
bool DesktopOpen(const AnsiString& verb, const AnsiString& file, int showCommand) {
  const std::string target = orv::AnsiToUtf8(file);
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    const char* argv[] = {"xdg-open", target.c_str(), nullptr};
    pid_t grandchild = 0;
    const int rc = posix_spawnp(&grandchild, "xdg-open", nullptr, nullptr, const_cast<char**>(argv), environ);
    _exit(rc == 0 ? 0 : 1);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

orv::TShellOpener& Opener() {
  static orv::TShellOpener opener;
  return opener;
}

}  // namespace

HINSTANCE ShellExecute(HWND window, const char* verb, const char* file, const char* parameters,
                       const char* directory, int showCommand) {
  if (!file || !*file) return reinterpret_cast<HINSTANCE>(std::intptr_t(2));
  const AnsiString v = verb ? verb : "";
  const bool ok = Opener() ? Opener()(v, file, showCommand) : DesktopOpen(v, file, showCommand);
  return reinterpret_cast<HINSTANCE>(std::intptr_t(ok ? 42 : 2));
}

namespace orv {

TShellOpener SetShellOpener(TShellOpener opener) { return std::exchange(Opener(), std::move(opener)); }

}  // namespace orv
