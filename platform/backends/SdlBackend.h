// The SDL2 backend: every visible top-level window of the window system becomes a real desktop
// window, desktop input becomes platform input, and the clipboard and message boxes are the
// desktop's.
//
// Windows with a caption (WS_CAPTION) become decorated desktop windows that show their client
// area; the desktop draws their frame and moves and sizes them, and the window system follows.
// Every other top-level window (popups, menus, hints, drop-down lists) becomes a borderless
// desktop window that shows all of it; popups that must not take the activation (topmost, tool
// or non-activating windows) become the desktop's popup-menu windows, which stay on top and never
// take the keyboard focus. Layered opacity becomes the desktop window's opacity where the desktop
// offers it.
//
//   std::string why;
//   auto backend = orv::TSdlBackend::Create(&why);   // nullptr: no display (why says so)
//   if (backend) orv::SetWindowBackend(backend.get());
#pragma once

#include <memory>
#include <string>

#include "platform/windowing/Backend.h"

namespace orv {

class TSdlBackend : public TWindowBackend {
 public:
  // Opens the desktop; nullptr, with the reason in `error`, when there is no display.
  static std::unique_ptr<TSdlBackend> Create(std::string* error = nullptr);
  ~TSdlBackend() override;
  TSdlBackend(const TSdlBackend&) = delete;
  TSdlBackend& operator=(const TSdlBackend&) = delete;

  TRect ScreenBounds() override;
  TRect WorkArea() override;
  void WindowChanged(HWND window, unsigned what) override;
  void WindowDestroyed(HWND window) override;
  void Present(HWND window, const TSurface& surface, const TRect& dirty) override;
  void Poll() override;
  bool Wait(int timeoutMs) override;
  void CursorChanged(HCURSOR cursor) override;
  void CursorMoved(POINT point) override;
  bool SetClipboardText(const std::string& utf8) override;
  bool GetClipboardText(std::string& utf8) override;
  int ShowMessageBox(HWND owner, const AnsiString& text, const AnsiString& caption,
                     UINT type) override;

  // Whether a window has a desktop window now, and that desktop window's placement on the
  // screen (the client area for decorated windows).
  bool HasDesktopWindow(HWND window) const;
  TRect DesktopWindowRect(HWND window) const;
  // The desktop's id of that window (0 without one), for events addressed to it.
  std::uint32_t DesktopWindowId(HWND window) const;

 private:
  TSdlBackend();
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};

}  // namespace orv
