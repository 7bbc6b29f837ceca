// A window class for the window-system tests: it records the messages it receives and lets a
// test answer any message of any window with its own handler.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

#include "platform/windowing/Headless.h"

namespace orv::test {

struct TRecorded {
  HWND Window;
  UINT Message;
  WPARAM WParam;
  LPARAM LParam;
};

using THandler = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM, bool& handled)>;

class TWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A window of the recording class ("Rec", CS_DBLCLKS, white background).
  HWND Make(DWORD style, int x, int y, int w, int h, HWND parent = nullptr, DWORD exStyle = 0,
            const char* text = "");
  HWND MakeChild(HWND parent, int x, int y, int w, int h, DWORD style = WS_VISIBLE);

  // The recorded messages of a window (nullptr: of all windows), only the listed numbers when
  // given.
  std::vector<UINT> Messages(HWND window = nullptr, std::vector<UINT> only = {}) const;
  std::vector<TRecorded> Recorded(HWND window, UINT message) const;
  int Count(HWND window, UINT message) const { return int(Recorded(window, message).size()); }
  void Clear() { Log.clear(); }

  static LRESULT Proc(HWND, UINT, WPARAM, LPARAM);
  static TWindowTest* Current;

  std::vector<TRecorded> Log;
  std::map<HWND, THandler> Handlers;
  THandler AnyHandler;
};

}  // namespace orv::test
