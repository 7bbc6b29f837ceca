// An X display for tests that need a real desktop: the one in DISPLAY, or a virtual one (Xvfb)
// started for the test and stopped after it. Without either, Ok() is false and Why() says why,
// for the test to skip with.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

extern char** environ;

namespace orv::test {

class TXvfbDisplay {
 public:
  TXvfbDisplay() {
    const char* env = std::getenv("DISPLAY");
    if (env && *env) {
      FOk = true;
      return;
    }
    const char* candidates[] = {"/usr/bin/Xvfb", "/usr/local/bin/Xvfb"};
    std::string xvfb;
    for (const char* c : candidates)
      if (std::filesystem::exists(c)) xvfb = c;
    if (xvfb.empty()) {
      FWhy = "no DISPLAY and no Xvfb to start one (scripts/setup installs xvfb)";
      return;
    }
    int n = 90 + int(getpid() % 100);
    while (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(n)) ||
           std::filesystem::exists("/tmp/.X" + std::to_string(n) + "-lock"))
      ++n;
    const std::string display = ":" + std::to_string(n);
    const char* argv[] = {xvfb.c_str(), display.c_str(), "-nolisten", "tcp", "-screen", "0",
                          "1024x768x24", nullptr};
    if (posix_spawn(&FPid, xvfb.c_str(), nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
      FWhy = "Xvfb could not be started";
      FPid = 0;
      return;
    }
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
    for (int i = 0; i < 200 && !std::filesystem::exists(socket); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
    if (!std::filesystem::exists(socket)) {
      FWhy = "Xvfb did not come up";
      return;
    }
    setenv("DISPLAY", display.c_str(), 1);
    FOk = true;
  }
  ~TXvfbDisplay() {
    if (FPid > 0) {
      kill(FPid, SIGTERM);
      int status = 0;
      waitpid(FPid, &status, 0);
      unsetenv("DISPLAY");
    }
  }
  TXvfbDisplay(const TXvfbDisplay&) = delete;
  TXvfbDisplay& operator=(const TXvfbDisplay&) = delete;

  bool Ok() const { return FOk; }
  const std::string& Why() const { return FWhy; }

 private:
  pid_t FPid = 0;
  bool FOk = false;
  std::string FWhy;
};

}  // namespace orv::test
