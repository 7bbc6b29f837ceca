// The real program on a real X display (a virtual one when none is set): started as a user
// starts it, its window found by the title "Орване", photographed, checked to be the painted main
// window, and closed by the desktop's close request. Skipped, saying why, where no X server can
// be started.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/backends/tests/support/XvfbDisplay.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/drawing/Surface.h"

namespace {

namespace fs = std::filesystem;

// The program beside this test executable (the build puts both in the same folder).
fs::path ProgramPath() { return fs::read_symlink("/proc/self/exe").parent_path() / "orvane"; }

// The text of a window's _NET_WM_NAME (UTF-8), else of its WM_NAME.
std::string WindowTitle(Display* x, Window w) {
  const Atom netName = XInternAtom(x, "_NET_WM_NAME", False), utf8 = XInternAtom(x, "UTF8_STRING", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(x, w, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) == Success &&
      data) {
    title.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
  }
  if (title.empty()) {
    char* name = nullptr;
    if (XFetchName(x, w, &name) && name) {
      title = name;
      XFree(name);
    }
  }
  return title;
}

// The first window below `root` (depth first) with the title, else 0.
Window FindWindowByTitle(Display* x, Window root, const std::string& title) {
  Window parent = 0, rootReturn = 0, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(x, root, &rootReturn, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned int i = 0; i < count && !found; ++i) {
    if (WindowTitle(x, children[i]) == title) found = children[i];
    if (!found) found = FindWindowByTitle(x, children[i], title);
  }
  if (children) XFree(children);
  return found;
}

// What the X server shows of a window, as a surface.
orv::TSurface Photograph(Display* x, Window w) {
  XWindowAttributes a{};
  XGetWindowAttributes(x, w, &a);
  int rx = 0, ry = 0;
  Window child = 0;
  XTranslateCoordinates(x, w, DefaultRootWindow(x), 0, 0, &rx, &ry, &child);
  orv::TSurface shot(a.width, a.height);
  XImage* image = XGetImage(x, DefaultRootWindow(x), rx, ry, unsigned(a.width), unsigned(a.height), AllPlanes, ZPixmap);
  if (!image) return orv::TSurface();
  for (int y = 0; y < a.height; ++y)
    for (int px = 0; px < a.width; ++px) shot.Row(y)[px] = orv::TPixel(XGetPixel(image, px, y) & 0xFFFFFF);
  XDestroyImage(image);
  return shot;
}

// The share of pixels in which two surfaces of one size agree (red, green and blue).
double Agreement(const orv::TSurface& a, const orv::TSurface& b, int bx, int by) {
  long same = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if ((a.Row(y)[x] & 0xFFFFFF) == (b.Row(y + by)[x + bx] & 0xFFFFFF)) ++same;
  return double(same) / (double(a.Width()) * a.Height());
}

TEST(ProgramOnTheDesktop, ShowsThePaintedMainWindowAndClosesOnTheDesktopsRequest) {
  orv::test::TXvfbDisplay display;
  if (!display.Ok()) GTEST_SKIP() << "no X display: " << display.Why();
  const fs::path program = ProgramPath();
  ASSERT_TRUE(fs::exists(program)) << program;
  Display* x = XOpenDisplay(nullptr);
  if (!x) GTEST_SKIP() << "no X display: the server does not answer";

  pid_t pid = 0;
  const std::string path = program.string();
  const char* argv[] = {path.c_str(), nullptr};
  ASSERT_EQ(posix_spawn(&pid, path.c_str(), nullptr, nullptr, const_cast<char**>(argv), environ), 0);

  // The window, once the program has opened its table and filled its pick lists.
  Window window = 0;
  orv::TSurface shot;
  const orv::TSurface* expected = nullptr;
  orv::TSurface golden;
  ASSERT_TRUE(orv::ReadPng(std::string(ORV_SOURCE_DIR) + "/app/tests/golden/main.png", golden));
  double agreement = 0;
  for (int i = 0; i < 300 && agreement < 0.9; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) FAIL() << "the program ended at once with status " << status;
    if (!window) window = FindWindowByTitle(x, DefaultRootWindow(x), "Орване");
    if (!window) continue;
    XWindowAttributes a{};
    XGetWindowAttributes(x, window, &a);
    if (a.map_state != IsViewable) continue;
    shot = Photograph(x, window);
    // The desktop shows the client area the headless desktop draws inside its classic frame.
    if (shot.Width() == 652 && shot.Height() == 445) {
      expected = &golden;
      agreement = Agreement(shot, golden, 4, 23);
    }
  }
  ASSERT_NE(window, 0u) << "no window titled Орване";
  ASSERT_EQ(shot.Width(), 652);
  ASSERT_EQ(shot.Height(), 445);
  ASSERT_NE(expected, nullptr);
  // Painted, and as the golden image of the main window shows it (focus and hot states aside).
  EXPECT_GE(agreement, 0.9);
  if (const char* out = std::getenv("ORV_SCREENSHOT_DIR")) orv::WritePng(shot, std::string(out) + "/main-window.png", false);

  // The desktop's close box.
  XEvent close{};
  close.xclient.type = ClientMessage;
  close.xclient.window = window;
  close.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
  close.xclient.format = 32;
  close.xclient.data.l[0] = long(XInternAtom(x, "WM_DELETE_WINDOW", False));
  close.xclient.data.l[1] = CurrentTime;
  XSendEvent(x, window, False, NoEventMask, &close);
  XFlush(x);
  int status = -1;
  bool ended = false;
  for (int i = 0; i < 200 && !ended; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ended = waitpid(pid, &status, WNOHANG) == pid;
  }
  if (!ended) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  EXPECT_TRUE(ended) << "the program did not end when its window was closed";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  XCloseDisplay(x);
}

}  // namespace
