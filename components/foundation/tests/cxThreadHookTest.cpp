// The thread-hook pair of the base unit: one hook per variable, removed and cleared once.
#include <gtest/gtest.h>

#include "components/foundation/cxClasses.h"
#include "platform/runtime/Exceptions.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

int gCalls = 0;
HHOOK gHook = nullptr;

LRESULT CountingHook(int code, WPARAM wParam, LPARAM lParam) {
  ++gCalls;
  return CallNextHookEx(gHook, code, wParam, lParam);
}

LRESULT Procedure(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProc(w, message, wParam, lParam);
}

TEST(cxThreadHooks, InstallRefusesASecondHookAndRemoveClearsTheVariable) {
  orv::headless::Reset();
  WNDCLASS wc{};
  wc.lpfnWndProc = &Procedure;
  wc.lpszClassName = "cxThreadHookTest";
  RegisterClass(&wc);
  HWND w = CreateWindowEx(0, "cxThreadHookTest", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                          nullptr, nullptr);
  ASSERT_NE(w, nullptr);

  gCalls = 0;
  InstallThreadHook(gHook, WH_CALLWNDPROC, &CountingHook);
  ASSERT_NE(gHook, nullptr);
  const HHOOK installed = gHook;
  EXPECT_THROW(InstallThreadHook(gHook, WH_CALLWNDPROC, &CountingHook), EAssertionFailed);
  EXPECT_EQ(gHook, installed);

  SendMessage(w, WM_USER, 0, 0);
  EXPECT_EQ(gCalls, 1);  // one hook, called once

  RemoveThreadHook(gHook);
  EXPECT_EQ(gHook, nullptr);
  RemoveThreadHook(gHook);  // a cleared variable is left alone
  SendMessage(w, WM_USER, 0, 0);
  EXPECT_EQ(gCalls, 1);
  DestroyWindow(w);
  orv::headless::Reset();
}

}  // namespace
