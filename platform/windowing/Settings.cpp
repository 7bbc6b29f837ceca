// The system settings table (metrics, parameters, non-client fonts), system colours and their
// broadcast, monitors, the module loader and the queries of the absent desktop services.
#include <cstring>

#include "platform/windowing/WindowInternal.h"

namespace orv::win {

namespace {

LOGFONT ClassicFont(bool bold) {
  LOGFONT f;
  f.lfHeight = -11;
  f.lfWeight = bold ? 700 : 400;
  f.lfCharSet = 204;  // RUSSIAN_CHARSET
  std::strcpy(f.lfFaceName, "MS Sans Serif");
  return f;
}

}  // namespace

void InitSettings(TSystemSettings& s) {
  s = TSystemSettings{};
  int* m = s.Metrics;
  m[SM_CXVSCROLL] = 16;
  m[SM_CYHSCROLL] = 16;
  m[SM_CYCAPTION] = 19;
  m[SM_CXBORDER] = 1;
  m[SM_CYBORDER] = 1;
  m[SM_CXDLGFRAME] = 3;
  m[SM_CYDLGFRAME] = 3;
  m[SM_CYVTHUMB] = 16;
  m[SM_CXHTHUMB] = 16;
  m[SM_CXICON] = 32;
  m[SM_CYICON] = 32;
  m[SM_CXCURSOR] = 32;
  m[SM_CYCURSOR] = 32;
  m[SM_CYMENU] = 19;
  m[SM_MOUSEPRESENT] = 1;
  m[SM_CYVSCROLL] = 16;
  m[SM_CXHSCROLL] = 16;
  m[SM_CXMIN] = 112;
  m[SM_CYMIN] = 27;
  m[SM_CXSIZE] = 18;
  m[SM_CYSIZE] = 18;
  m[SM_CXFRAME] = 4;
  m[SM_CYFRAME] = 4;
  m[SM_CXMINTRACK] = 112;
  m[SM_CYMINTRACK] = 27;
  m[SM_CXDOUBLECLK] = 4;
  m[SM_CYDOUBLECLK] = 4;
  m[SM_CXICONSPACING] = 75;
  m[SM_CYICONSPACING] = 75;
  m[SM_CMOUSEBUTTONS] = 3;
  m[SM_CXEDGE] = 2;
  m[SM_CYEDGE] = 2;
  m[SM_CXSMICON] = 16;
  m[SM_CYSMICON] = 16;
  m[SM_CYSMCAPTION] = 15;
  m[SM_CXSMSIZE] = 12;
  m[SM_CYSMSIZE] = 14;
  m[SM_CXMENUSIZE] = 18;
  m[SM_CYMENUSIZE] = 18;
  m[SM_CXDRAG] = 4;
  m[SM_CYDRAG] = 4;
  m[SM_CXMENUCHECK] = 13;
  m[SM_CYMENUCHECK] = 13;
  m[SM_MOUSEWHEELPRESENT] = 1;
  m[SM_CMONITORS] = 1;
  m[SM_SAMEDISPLAYFORMAT] = 1;
  m[SM_CXFOCUSBORDER] = 1;
  m[SM_CYFOCUSBORDER] = 1;
  NONCLIENTMETRICS& n = s.NonClient;
  n.iBorderWidth = 1;
  n.iScrollWidth = 16;
  n.iScrollHeight = 16;
  n.iCaptionWidth = 18;
  n.iCaptionHeight = 18;
  n.lfCaptionFont = ClassicFont(true);
  n.iSmCaptionWidth = 12;
  n.iSmCaptionHeight = 14;
  n.lfSmCaptionFont = ClassicFont(true);
  n.iMenuWidth = 18;
  n.iMenuHeight = 18;
  n.lfMenuFont = ClassicFont(false);
  n.lfStatusFont = ClassicFont(false);
  n.lfMessageFont = ClassicFont(false);
  s.IconTitleFont = ClassicFont(false);
}

}  // namespace orv::win

using namespace orv;
using namespace orv::win;

namespace orv {

TSystemSettings& SystemSettings() {
  static TSystemSettings settings;
  static bool init = false;
  if (!init) {
    init = true;
    InitSettings(settings);
  }
  return settings;
}

void ResetSystemSettings() {
  InitSettings(SystemSettings());
  orv::SetSysColorTable(nullptr);
}

void SendSettingChange(UINT action) {
  SendMessage(HWND_BROADCAST, WM_SETTINGCHANGE, action, 0);
}

void SendLocaleChange() {
  static const char kSection[] = "intl";
  SendMessage(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(kSection));
}

}  // namespace orv

namespace {

TRect WorkAreaNow() {
  TRect w = SystemSettings().WorkArea;
  if (w.Right > w.Left && w.Bottom > w.Top) return w;
  return Backend().WorkArea();
}

template <class T>
bool Put(void* out, const T& value) {
  if (!out) return false;
  std::memcpy(out, &value, sizeof value);
  return true;
}

}  // namespace

int GetSystemMetrics(int index) {
  EnsureInit();
  TRect screen = Backend().ScreenBounds();
  TRect work = WorkAreaNow();
  const TSystemSettings& s = SystemSettings();
  switch (index) {
    case SM_CXSCREEN:
    case SM_CXVIRTUALSCREEN: return screen.Width();
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN: return screen.Height();
    case SM_XVIRTUALSCREEN: return screen.Left;
    case SM_YVIRTUALSCREEN: return screen.Top;
    case SM_CXFULLSCREEN: return work.Width();
    case SM_CYFULLSCREEN: return work.Height() - s.Metrics[SM_CYCAPTION];
    case SM_CXMAXIMIZED: return work.Width() + 2 * s.Metrics[SM_CXFRAME];
    case SM_CYMAXIMIZED: return work.Height() + 2 * s.Metrics[SM_CYFRAME];
    case SM_CXMAXTRACK: return screen.Width() + 2 * s.Metrics[SM_CXFRAME];
    case SM_CYMAXTRACK: return screen.Height() + 2 * s.Metrics[SM_CYFRAME];
    default:
      if (index >= 0 && index < int(sizeof s.Metrics / sizeof s.Metrics[0])) return s.Metrics[index];
      return 0;
  }
}

BOOL SystemParametersInfo(UINT action, UINT uiParam, void* pvParam, UINT winIni) {
  EnsureInit();
  TSystemSettings& s = SystemSettings();
  bool ok = true;
  bool changed = false;
  switch (action) {
    case SPI_GETWORKAREA: ok = Put(pvParam, WorkAreaNow()); break;
    case SPI_SETWORKAREA:
      if (pvParam) s.WorkArea = *static_cast<const RECT*>(pvParam);
      changed = true;
      break;
    case SPI_GETNONCLIENTMETRICS: {
      auto* out = static_cast<NONCLIENTMETRICS*>(pvParam);
      if (!out || out->cbSize < sizeof(NONCLIENTMETRICS)) return FALSE;
      *out = s.NonClient;
      break;
    }
    case SPI_SETNONCLIENTMETRICS: {
      auto* in = static_cast<const NONCLIENTMETRICS*>(pvParam);
      if (!in || in->cbSize < sizeof(NONCLIENTMETRICS)) return FALSE;
      s.NonClient = *in;
      s.Metrics[SM_CXVSCROLL] = s.Metrics[SM_CYVSCROLL] = in->iScrollWidth;
      s.Metrics[SM_CYHSCROLL] = s.Metrics[SM_CXHSCROLL] = in->iScrollHeight;
      s.Metrics[SM_CXSIZE] = in->iCaptionWidth;
      s.Metrics[SM_CYSIZE] = in->iCaptionHeight;
      s.Metrics[SM_CYCAPTION] = in->iCaptionHeight + 1;
      changed = true;
      break;
    }
    case SPI_GETICONTITLELOGFONT: ok = Put(pvParam, s.IconTitleFont); break;
    case SPI_GETICONMETRICS: {
      auto* out = static_cast<ICONMETRICS*>(pvParam);
      if (!out) return FALSE;
      out->iHorzSpacing = s.Metrics[SM_CXICONSPACING];
      out->iVertSpacing = s.Metrics[SM_CYICONSPACING];
      out->iTitleWrap = 1;
      out->lfFont = s.IconTitleFont;
      break;
    }
    case SPI_GETWHEELSCROLLLINES: ok = Put(pvParam, s.WheelScrollLines); break;
    case SPI_SETWHEELSCROLLLINES: s.WheelScrollLines = uiParam; changed = true; break;
    case SPI_GETWHEELSCROLLCHARS: ok = Put(pvParam, s.WheelScrollChars); break;
    case SPI_SETDOUBLECLICKTIME: s.DoubleClickTime = uiParam ? uiParam : 500; changed = true; break;
    case SPI_GETMENUSHOWDELAY: ok = Put(pvParam, s.MenuShowDelay); break;
    case SPI_GETMOUSEHOVERTIME: ok = Put(pvParam, s.HoverTime); break;
    case SPI_GETMOUSEHOVERWIDTH: ok = Put(pvParam, UINT(s.Metrics[SM_CXDOUBLECLK])); break;
    case SPI_GETMOUSEHOVERHEIGHT: ok = Put(pvParam, UINT(s.Metrics[SM_CYDOUBLECLK])); break;
    case SPI_GETMENUANIMATION: ok = Put(pvParam, s.MenuAnimation); break;
    case SPI_SETMENUANIMATION: s.MenuAnimation = BOOL(reinterpret_cast<std::uintptr_t>(pvParam) != 0); changed = true; break;
    case SPI_GETMENUFADE: ok = Put(pvParam, s.MenuFade); break;
    case SPI_SETMENUFADE: s.MenuFade = BOOL(reinterpret_cast<std::uintptr_t>(pvParam) != 0); changed = true; break;
    case SPI_GETTOOLTIPANIMATION: ok = Put(pvParam, s.TooltipAnimation); break;
    case SPI_SETTOOLTIPANIMATION: s.TooltipAnimation = BOOL(reinterpret_cast<std::uintptr_t>(pvParam) != 0); changed = true; break;
    case SPI_GETTOOLTIPFADE: ok = Put(pvParam, s.TooltipFade); break;
    case SPI_SETTOOLTIPFADE: s.TooltipFade = BOOL(reinterpret_cast<std::uintptr_t>(pvParam) != 0); changed = true; break;
    case SPI_GETCOMBOBOXANIMATION: ok = Put(pvParam, s.ComboBoxAnimation); break;
    case SPI_GETLISTBOXSMOOTHSCROLLING: ok = Put(pvParam, s.ListBoxSmoothScrolling); break;
    case SPI_GETGRADIENTCAPTIONS: ok = Put(pvParam, s.GradientCaptions); break;
    case SPI_GETKEYBOARDCUES: ok = Put(pvParam, s.KeyboardCues); break;
    case SPI_GETHOTTRACKING: ok = Put(pvParam, s.HotTracking); break;
    case SPI_GETSELECTIONFADE: ok = Put(pvParam, s.SelectionFade); break;
    case SPI_GETDROPSHADOW: ok = Put(pvParam, s.DropShadow); break;
    case SPI_GETFLATMENU: ok = Put(pvParam, s.FlatMenu); break;
    case SPI_GETUIEFFECTS: ok = Put(pvParam, s.UIEffects); break;
    case SPI_GETDRAGFULLWINDOWS: ok = Put(pvParam, s.DragFullWindows); break;
    case SPI_GETFONTSMOOTHING: ok = Put(pvParam, s.FontSmoothing); break;
    case SPI_GETFONTSMOOTHINGTYPE: ok = Put(pvParam, UINT(1)); break;
    case SPI_GETCARETWIDTH: ok = Put(pvParam, s.CaretWidth); break;
    case SPI_GETKEYBOARDDELAY: ok = Put(pvParam, s.KeyboardDelay); break;
    case SPI_GETKEYBOARDSPEED: ok = Put(pvParam, s.KeyboardSpeed); break;
    case SPI_GETBEEP: ok = Put(pvParam, BOOL(TRUE)); break;
    case SPI_GETBORDER: ok = Put(pvParam, int(s.NonClient.iBorderWidth)); break;
    case SPI_GETMENUDROPALIGNMENT: ok = Put(pvParam, BOOL(FALSE)); break;
    case SPI_GETSHOWSOUNDS:
    case SPI_GETSCREENREADER:
    case SPI_GETKEYBOARDPREF:
    case SPI_GETSCREENSAVERRUNNING:
    case SPI_GETACTIVEWINDOWTRACKING:
    case SPI_GETCURSORSHADOW: ok = Put(pvParam, BOOL(FALSE)); break;
    case SPI_GETFOCUSBORDERWIDTH:
    case SPI_GETFOCUSBORDERHEIGHT: ok = Put(pvParam, UINT(1)); break;
    case SPI_GETFOREGROUNDLOCKTIMEOUT: ok = Put(pvParam, DWORD(0)); break;
    case SPI_GETMOUSESPEED: ok = Put(pvParam, int(10)); break;
    case SPI_GETHIGHCONTRAST: {
      auto* out = static_cast<HIGHCONTRAST*>(pvParam);
      if (!out) return FALSE;
      out->dwFlags = 0;
      out->lpszDefaultScheme = nullptr;
      break;
    }
    default: return FALSE;
  }
  if (changed && (winIni & SPIF_SENDCHANGE)) SendSettingChange(action);
  return ok ? TRUE : FALSE;
}

BOOL SetSysColors(int count, const INT* elements, const COLORREF* colors) {
  EnsureInit();
  if (count < 0 || (count && (!elements || !colors))) return FALSE;
  for (int i = 0; i < count; ++i)
    if (elements[i] >= 0 && elements[i] < kSysColorCount) orv::SetSysColor(elements[i], colors[i]);
  SendMessage(HWND_BROADCAST, WM_SYSCOLORCHANGE, 0, 0);
  RedrawWindow(nullptr, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  return TRUE;
}

// ---- Monitors: one screen ---------------------------------------------------------------------

namespace {
HMONITOR ThePrimary() { return reinterpret_cast<HMONITOR>(std::uintptr_t(0x10001)); }
}  // namespace

HMONITOR MonitorFromPoint(POINT point, DWORD flags) {
  EnsureInit();
  if (PointIn(Backend().ScreenBounds(), point) || flags != MONITOR_DEFAULTTONULL) return ThePrimary();
  return nullptr;
}

HMONITOR MonitorFromRect(const RECT* rect, DWORD flags) {
  EnsureInit();
  if (rect && !RectEmpty(IntersectRects(*rect, Backend().ScreenBounds()))) return ThePrimary();
  return flags != MONITOR_DEFAULTTONULL ? ThePrimary() : nullptr;
}

HMONITOR MonitorFromWindow(HWND window, DWORD flags) {
  RECT r;
  if (!GetWindowRect(window, &r)) return flags != MONITOR_DEFAULTTONULL ? ThePrimary() : nullptr;
  return MonitorFromRect(&r, flags);
}

BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFO* info) {
  if (monitor != ThePrimary() || !info || info->cbSize < 40) return FALSE;
  info->rcMonitor = Backend().ScreenBounds();
  info->rcWork = WorkAreaNow();
  info->dwFlags = MONITORINFOF_PRIMARY;
  return TRUE;
}

// ---- Modules ----------------------------------------------------------------------------------

namespace {

enum TModule : std::uintptr_t { kProgram = 0x400000, kUser32 = 0x10, kMsimg32 = 0x20, kKernel32 = 0x30, kGdi32 = 0x40 };

std::uintptr_t ModuleByName(const char* name) {
  std::string n;
  for (const char* p = name; p && *p; ++p) n += (*p >= 'A' && *p <= 'Z') ? char(*p - 'A' + 'a') : *p;
  if (n.size() > 4 && n.compare(n.size() - 4, 4, ".dll") == 0) n.resize(n.size() - 4);
  if (n == "user32") return kUser32;
  if (n == "msimg32") return kMsimg32;
  if (n == "kernel32") return kKernel32;
  if (n == "gdi32") return kGdi32;
  return 0;  // uxtheme, dwmapi, gdiplus, oleacc and every other library are absent
}

template <class F>
FARPROC Entry(F f) {
  return reinterpret_cast<FARPROC>(f);
}

}  // namespace

HMODULE LoadLibrary(const char* name) {
  return reinterpret_cast<HMODULE>(ModuleByName(name));
}

HMODULE GetModuleHandle(const char* name) {
  if (!name) return reinterpret_cast<HMODULE>(std::uintptr_t(kProgram));
  return reinterpret_cast<HMODULE>(ModuleByName(name));
}

BOOL FreeLibrary(HMODULE module) { return module ? TRUE : FALSE; }

FARPROC GetProcAddress(HMODULE module, const char* name) {
  if (!name || IS_INTRESOURCE(name)) return nullptr;
  std::string n = name;
  switch (reinterpret_cast<std::uintptr_t>(module)) {
    case kUser32:
      if (n == "AnimateWindow") return Entry(&AnimateWindow);
      if (n == "UpdateLayeredWindow") return Entry(&UpdateLayeredWindow);
      if (n == "SetLayeredWindowAttributes") return Entry(&SetLayeredWindowAttributes);
      if (n == "GetLayeredWindowAttributes") return Entry(&GetLayeredWindowAttributes);
      if (n == "GetScrollBarInfo") return Entry(&GetScrollBarInfo);
      if (n == "MonitorFromPoint") return Entry(&MonitorFromPoint);
      if (n == "MonitorFromRect") return Entry(&MonitorFromRect);
      if (n == "MonitorFromWindow") return Entry(&MonitorFromWindow);
      if (n == "GetMonitorInfoA" || n == "GetMonitorInfo") return Entry(&GetMonitorInfo);
      if (n == "TrackMouseEvent") return Entry(&TrackMouseEvent);
      if (n == "PrintWindow") return Entry(&PrintWindow);
      return nullptr;
    case kMsimg32:
      if (n == "GradientFill") return Entry(&GradientFill);
      if (n == "AlphaBlend") return Entry(&AlphaBlend);
      if (n == "TransparentBlt") return Entry(&TransparentBlt);
      return nullptr;
    default: return nullptr;
  }
}
