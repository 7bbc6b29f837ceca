#include "TestWindows.h"

#include <algorithm>

namespace orv::test {

TWindowTest* TWindowTest::Current = nullptr;

void TWindowTest::SetUp() {
  headless::Reset();
  Current = this;
  WNDCLASS wc;
  if (!GetClassInfo(nullptr, "Rec", &wc)) {
    wc = WNDCLASS{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = Proc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_WINDOW + 1));
    wc.lpszClassName = "Rec";
    ASSERT_NE(RegisterClass(&wc), 0);
  }
}

void TWindowTest::TearDown() {
  // The handlers may hold references to the test's locals, which are gone by now.
  Handlers.clear();
  AnyHandler = nullptr;
  headless::Reset();
  Current = nullptr;
}

HWND TWindowTest::Make(DWORD style, int x, int y, int w, int h, HWND parent, DWORD exStyle,
                       const char* text) {
  return CreateWindowEx(exStyle, "Rec", text, style, x, y, w, h, parent, nullptr, nullptr, nullptr);
}

HWND TWindowTest::MakeChild(HWND parent, int x, int y, int w, int h, DWORD style) {
  return Make(WS_CHILD | style, x, y, w, h, parent);
}

std::vector<UINT> TWindowTest::Messages(HWND window, std::vector<UINT> only) const {
  std::vector<UINT> r;
  for (const TRecorded& m : Log)
    if ((!window || m.Window == window) &&
        (only.empty() || std::find(only.begin(), only.end(), m.Message) != only.end()))
      r.push_back(m.Message);
  return r;
}

std::vector<TRecorded> TWindowTest::Recorded(HWND window, UINT message) const {
  std::vector<TRecorded> r;
  for (const TRecorded& m : Log)
    if ((!window || m.Window == window) && m.Message == message) r.push_back(m);
  return r;
}

LRESULT TWindowTest::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TWindowTest* t = Current;
  if (!t) return DefWindowProc(window, message, wParam, lParam);
  t->Log.push_back({window, message, wParam, lParam});
  bool handled = false;
  auto it = t->Handlers.find(window);
  if (it != t->Handlers.end()) {
    THandler h = it->second;
    LRESULT r = h(window, message, wParam, lParam, handled);
    if (handled) return r;
  }
  if (t->AnyHandler) {
    THandler h = t->AnyHandler;
    LRESULT r = h(window, message, wParam, lParam, handled);
    if (handled) return r;
  }
  return DefWindowProc(window, message, wParam, lParam);
}

}  // namespace orv::test
