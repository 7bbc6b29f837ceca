// Visual styles: the binding of the platform's visual-styles library, the cache of open theme
// handles per themed object kind, theme-change notificators, and desktop composition.
//
// This platform has no visual-styles library and no desktop composition: nothing is bound at
// start-up, so every query answers "not usable", GetThemeHandle gives 0, notificators register
// nowhere and the painters take their own, non-native drawing. The binding is still a table of
// entry points, so that a backend with visual styles (or a test) can supply one through
// orv::BindThemeLibrary and the cache, the stock-theme check and the change notifications then
// run as designed.
#pragma once

#include <exception>

#include "platform/drawing/GdiTypes.h"
#include "platform/runtime/Object.h"
#include "platform/runtime/Sets.h"
#include "platform/runtime/Types.h"
#include "platform/windowing/WinTypes.h"

struct TMessage;

// ---- Themed object kinds ------------------------------------------------------------------

enum TdxThemedObjectKind {
  totButton, totClock, totComboBox, totEdit, totExplorerBar, totHeader, totListBox, totListView,
  totMenu, totPage, totProgress, totRebar, totScrollBar, totSpin, totStartPanel, totStatus,
  totTab, totTaskBand, totTaskBar, totToolBar, totToolTip, totTrackBar, totTrayNotify,
  totTreeView, totWindow
};
inline constexpr Integer dxThemedObjectKindCount = 25;
using TdxThemedObjectKinds = orv::Set<TdxThemedObjectKind>;

// An open theme; 0 means none.
using TdxTheme = NativeUInt;
using HTHEME = TdxTheme;
using HRESULT = LongInt;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_FAIL = HRESULT(0x80004005u);
// WM_THEMECHANGED, the message the theme-change receiver listens for.
inline constexpr UINT dxWM_THEMECHANGED = 0x031A;

// The default class list opened for a kind ("Button", "Clock", ...).
const char* GetThemedObjectClassList(TdxThemedObjectKind kind);

namespace orv {

// The entry points of the visual-styles library that the system calls; a null entry is one the
// library lacks. Windows are passed as plain handles.
struct TThemeLibrary {
  HTHEME (*OpenThemeData)(HANDLE window, const char16_t* classList) = nullptr;
  HRESULT (*CloseThemeData)(HTHEME theme) = nullptr;
  BOOL (*IsThemeActive)() = nullptr;
  HRESULT (*DrawThemeBackground)(HTHEME, HDC, int part, int state, const RECT* rect,
                                 const RECT* clip) = nullptr;
  HRESULT (*DrawThemeText)(HTHEME, HDC, int part, int state, const char16_t* text, int count,
                           DWORD flags, DWORD flags2, const RECT* rect) = nullptr;
  HRESULT (*DrawThemeEdge)(HTHEME, HDC, int part, int state, const RECT* rect, UINT edge,
                           UINT flags, RECT* content) = nullptr;
  HRESULT (*DrawThemeParentBackground)(HANDLE window, HDC, const RECT* rect) = nullptr;
  HRESULT (*GetThemeBackgroundContentRect)(HTHEME, HDC, int part, int state, const RECT* bounds,
                                           RECT* content) = nullptr;
  HRESULT (*GetThemeBackgroundRegion)(HTHEME, HDC, int part, int state, const RECT* rect,
                                      HRGN* region) = nullptr;
  HRESULT (*GetThemePartSize)(HTHEME, HDC, int part, int state, const RECT* rect, int sizeKind,
                              SIZE* size) = nullptr;
  BOOL (*IsThemeBackgroundPartiallyTransparent)(HTHEME, int part, int state) = nullptr;
  HRESULT (*GetThemeColor)(HTHEME, int part, int state, int property, COLORREF* color) = nullptr;
  HRESULT (*GetCurrentThemeName)(char16_t* fileName, int fileNameSize, char16_t* colorName,
                                 int colorNameSize, char16_t* sizeName, int sizeNameSize) = nullptr;
  HANDLE (*BeginBufferedPaint)(HDC target, const RECT* rect, int format, const void* params,
                               HDC* paintDC) = nullptr;
  HRESULT (*EndBufferedPaint)(HANDLE paint, BOOL updateTarget) = nullptr;
  HRESULT (*BufferedPaintSetAlpha)(HANDLE paint, const RECT* rect, BYTE alpha) = nullptr;
};

// Binds a library (nullptr unbinds it), as the unit's start-up would after loading it: the
// active flag is read, and the change receiver and the notificator list exist exactly while a
// library is bound. Unbinding closes every cached theme first. The library must outlive the
// binding.
void BindThemeLibrary(const TThemeLibrary* library);

// The composition library's one query this system makes; binding it needs a platform of major
// version 6 or later.
struct TCompositionLibrary {
  HRESULT (*DwmIsCompositionEnabled)(BOOL* enabled) = nullptr;
};
// Binds the composition library (nullptr unbinds); ignored on a platform of version 5 or lower,
// which is what this platform reports.
void BindCompositionLibrary(const TCompositionLibrary* library, Integer platformMajorVersion);

}  // namespace orv

// ---- Wrappers -----------------------------------------------------------------------------
//
// Same arguments and results as the library's functions. Callers test IsVisualStyleActive
// first; without the entry point a wrapper fails with E_FAIL (FALSE, 0) and draws nothing.

Boolean IsThemeLibraryLoaded();
BOOL IsThemeActive();
HTHEME OpenThemeData(HANDLE window, const char16_t* classList);
HRESULT CloseThemeData(HTHEME theme);
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT& rect,
                            const RECT* clip);
HRESULT DrawThemeBackgroundRect(HTHEME theme, HDC dc, int part, int state, const RECT& rect);
HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, const WideString& text,
                      DWORD flags, DWORD flags2, const RECT& rect);
// The 8-bit text widened from the system code page first.
HRESULT DrawThemeTextAnsi(HTHEME theme, HDC dc, int part, int state, const AnsiString& text,
                          DWORD flags, DWORD flags2, const RECT& rect);
HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT& rect, UINT edge,
                      UINT flags, RECT* content);
// The DC's selected font is selected again after the call.
HRESULT DrawThemeParentBackground(HANDLE window, HDC dc, const RECT* rect);
HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state,
                                      const RECT& bounds, RECT& content);
HRESULT GetThemeBackgroundRegion(HTHEME theme, HDC dc, int part, int state, const RECT& rect,
                                 HRGN& region);
HRESULT GetThemePartSize(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                         int sizeKind, SIZE& size);
HRESULT GetThemePartSizeWithoutRect(HTHEME theme, HDC dc, int part, int state, int sizeKind,
                                    SIZE& size);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state);
HRESULT GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF& color);
HRESULT GetCurrentThemeName(char16_t* fileName, int fileNameSize, char16_t* colorName,
                            int colorNameSize, char16_t* sizeName, int sizeNameSize);
HANDLE BeginBufferedPaint(HDC target, const RECT& rect, int format, const void* params,
                          HDC& paintDC);
HRESULT EndBufferedPaint(HANDLE paint, BOOL updateTarget);
HRESULT BufferedPaintSetAlpha(HANDLE paint, const RECT* rect, BYTE alpha);

// ---- Theme manager ------------------------------------------------------------------------

// The kind's cached theme, opened on first use with `classList` (nullptr: the stored class list,
// else the kind's default); a different class list closes and reopens it. 0 when visual styles
// are not usable or the class does not open (failures are not cached).
TdxTheme GetThemeHandle(TdxThemedObjectKind kind, const char16_t* classList = nullptr);
// Visual styles are active and the library loaded; for a non-empty set every kind must open.
Boolean IsVisualStyleActive(TdxThemedObjectKinds kinds = {});
Boolean IsVisualStyleActiveFor(TdxThemedObjectKind kind);
// The native style is asked for and the kind's theme opens.
inline Boolean IsNativeStyleUsable(Boolean nativeStyle, TdxThemedObjectKind kind) {
  return nativeStyle && IsVisualStyleActiveFor(kind);
}
// 1 when visual styles are not usable, 0 when the kind has no open theme, else the close result.
HRESULT CloseTheme(TdxThemedObjectKind kind);
void CloseAllThemes();
// The current theme file is one of the platform's stock themes.
Boolean IsStockTheme();

// A subscriber told after every theme change, in subscription order with the others. It joins
// the list only while a theme library is bound.
class TdxThemeChangedNotificator : public TObject {
  ORV_CLASS(TdxThemeChangedNotificator, TObject)
 public:
  TdxThemeChangedNotificator();
  ~TdxThemeChangedNotificator() override;

  const TNotifyEvent& GetOnThemeChanged() const { return FOnThemeChanged; }
  void SetOnThemeChanged(const TNotifyEvent& value) { FOnThemeChanged = value; }

 private:
  friend class TdxThemeChangedEventReceiver;
  void DoThemeChanged();
  TNotifyEvent FOnThemeChanged;
};

// The receiver of the system's theme-change message. It keeps a hidden utility window, which
// hears the desktop's broadcasts, and hands its messages to WndProc; a message other than
// WM_THEMECHANGED is left to the default handling (`handled` false).
class TdxThemeChangedEventReceiver : public TObject {
  ORV_CLASS(TdxThemeChangedEventReceiver, TObject)
 public:
  TdxThemeChangedEventReceiver();
  ~TdxThemeChangedEventReceiver() override;
  NativeInt WndProc(UINT message, Boolean& handled);
  HWND GetWindow() const { return FWindow; }

 private:
  void MainWndProc(TMessage& message);
  HWND FWindow = nullptr;
};

// The receiver while a theme library is bound, else nullptr.
TdxThemeChangedEventReceiver* GetThemeChangedEventReceiver();

namespace orv {
// An exception raised by a theme-change handler ends the notification round and goes here
// (the application's exception handler, once the forms layer installs one); by default it is
// swallowed.
using TThemeChangeErrorHandler = void (*)(const std::exception& error);
void SetThemeChangeErrorHandler(TThemeChangeErrorHandler handler);
}  // namespace orv

// ---- Desktop composition ------------------------------------------------------------------

// False when the composition library is not bound (always, on this platform).
Boolean IsDesktopCompositionEnabled();
