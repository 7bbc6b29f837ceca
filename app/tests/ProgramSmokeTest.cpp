// The real program on a real X display (a virtual one when none is set): started as a user
// starts it, its window found by the title "Орване", photographed, checked to be the painted main
// window, and closed by the desktop's close request. Skipped, saying why, where no X server can
// be started.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/backends/tests/support/XvfbDisplay.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/drawing/Surface.h"

namespace {

namespace fs = std::filesystem;

// The program beside this test executable (the build puts both in the same folder).
fs::path ProgramPath() { return fs::read_symlink("/proc/self/exe").parent_path() / "orvane"; }

// The program started as a user starts it; whatever way a test leaves, the program goes with it
// (a program left running keeps the test runner's output open and the run never ends).
class TRunningProgram {
 public:
  explicit TRunningProgram(const fs::path& program) {
    const std::string path = program.string();
    const char* argv[] = {path.c_str(), nullptr};
    if (posix_spawn(&FPid, path.c_str(), nullptr, nullptr, const_cast<char**>(argv), environ) != 0) FPid = 0;
  }
  TRunningProgram(const TRunningProgram&) = delete;
  TRunningProgram& operator=(const TRunningProgram&) = delete;
  ~TRunningProgram() { Kill(); }
  bool Started() const { return FPid != 0; }
  // Whether the program has ended (its status then in `status`), without waiting.
  bool Ended(int& status) {
    if (!FPid) return true;
    if (waitpid(FPid, &status, WNOHANG) != FPid) return false;
    FPid = 0;
    return true;
  }
  void Kill() {
    if (!FPid) return;
    kill(FPid, SIGKILL);
    waitpid(FPid, nullptr, 0);
    FPid = 0;
  }

 private:
  pid_t FPid = 0;
};

// The test's connection to the display. The program makes and destroys windows while the test
// walks the window tree (the splash window, menus), so a request about a window that has just
// gone fails; such failures are expected and must not end the test process (the default
// handler exits), which would leave the program and the server behind.
class TDisplayConnection {
 public:
  TDisplayConnection() : FDisplay(XOpenDisplay(nullptr)) {
    if (FDisplay) FPreviousHandler = XSetErrorHandler(&IgnoreError);
  }
  TDisplayConnection(const TDisplayConnection&) = delete;
  TDisplayConnection& operator=(const TDisplayConnection&) = delete;
  ~TDisplayConnection() {
    if (!FDisplay) return;
    XCloseDisplay(FDisplay);
    XSetErrorHandler(FPreviousHandler);
  }
  Display* Get() const { return FDisplay; }

 private:
  static int IgnoreError(Display*, XErrorEvent*) { return 0; }
  Display* FDisplay;
  XErrorHandler FPreviousHandler = nullptr;
};

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
  TDisplayConnection connection;
  Display* x = connection.Get();
  if (!x) GTEST_SKIP() << "no X display: the server does not answer";

  TRunningProgram running(program);
  ASSERT_TRUE(running.Started());

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
    if (running.Ended(status)) FAIL() << "the program ended at once with status " << status;
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
    ended = running.Ended(status);
  }
  ASSERT_TRUE(ended) << "the program did not end when its window was closed";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}


// The top-level windows of the display that are mapped.
std::vector<Window> MappedPopups(Display* x) {
  std::vector<Window> popups;
  Window parent = 0, root = 0, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count)) return popups;
  for (unsigned int i = 0; i < count; ++i) {
    XWindowAttributes a{};
    if (XGetWindowAttributes(x, children[i], &a) && a.map_state == IsViewable) popups.push_back(children[i]);
  }
  if (children) XFree(children);
  return popups;
}

// A click on "Программа" in the real program's menu bar opens the menu as a popup window of
// the desktop just below the bar item.
TEST(ProgramOnTheDesktop, TheMenuOpensAsAPopupWindowBelowItsBarItem) {
  orv::test::TXvfbDisplay display;
  if (!display.Ok()) GTEST_SKIP() << "no X display: " << display.Why();
  const fs::path program = ProgramPath();
  ASSERT_TRUE(fs::exists(program)) << program;
  TDisplayConnection connection;
  Display* x = connection.Get();
  if (!x) GTEST_SKIP() << "no X display: the server does not answer";
  TRunningProgram running(program);
  ASSERT_TRUE(running.Started());
  Window window = 0;
  for (int i = 0; i < 300; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (!window) window = FindWindowByTitle(x, DefaultRootWindow(x), "Орване");
    if (!window) continue;
    XWindowAttributes a{};
    XGetWindowAttributes(x, window, &a);
    if (a.map_state == IsViewable && a.width == 652) break;
  }
  ASSERT_NE(window, 0u) << "no window titled Орване";
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // the pick lists fill
  const std::vector<Window> before = MappedPopups(x);
  int rx = 0, ry = 0;
  Window child = 0;
  XTranslateCoordinates(x, window, DefaultRootWindow(x), 0, 0, &rx, &ry, &child);
  // The server's own input-faking extension moves the pointer over "Программа" (the first bar
  // item, at the window's top left) and clicks; it is looked up at run time, so a machine
  // without it skips.
  void* xtest = dlopen("libXtst.so.6", RTLD_NOW);
  if (!xtest) GTEST_SKIP() << "no input-faking extension library (libXtst)";
  using TFakeMotion = int (*)(Display*, int, int, int, unsigned long);
  using TFakeButton = int (*)(Display*, unsigned int, int, unsigned long);
  auto fakeMotion = reinterpret_cast<TFakeMotion>(dlsym(xtest, "XTestFakeMotionEvent"));
  auto fakeButton = reinterpret_cast<TFakeButton>(dlsym(xtest, "XTestFakeButtonEvent"));
  ASSERT_TRUE(fakeMotion && fakeButton);
  fakeMotion(x, DefaultScreen(x), rx + 40, ry + 12, 0);
  XFlush(x);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  fakeButton(x, 1, True, 0);
  XFlush(x);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  fakeButton(x, 1, False, 0);
  XFlush(x);
  Window menu = 0;
  int mx = 0, my = 0;
  for (int i = 0; i < 60 && !menu; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    for (Window w : MappedPopups(x)) {
      if (std::find(before.begin(), before.end(), w) != before.end()) continue;
      XWindowAttributes a{};
      XGetWindowAttributes(x, w, &a);
      if (a.width > 50 && a.height > 20) {
        menu = w;
        mx = a.x;
        my = a.y;
      }
    }
  }
  running.Kill();
  ASSERT_NE(menu, 0u) << "no menu window appeared";
  // Below the bar item: at its left edge (inside the bar's border and grip), under the bar.
  EXPECT_GE(mx, rx);
  EXPECT_LT(mx, rx + 30);
  EXPECT_GT(my, ry + 10);
  EXPECT_LT(my, ry + 40);
}

}  // namespace
