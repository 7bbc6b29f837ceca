#include "components/foundation/dxThemeManager.h"

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "components/foundation/dxCore.h"
#include "platform/drawing/Gdi.h"
#include "platform/runtime/AnsiString.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/User.h"
#include "platform/windowing/UtilWindow.h"

namespace {

constexpr std::array<const char*, dxThemedObjectKindCount> kClassLists = {
    "Button", "Clock",      "ComboBox", "Edit",     "ExplorerBar", "Header",  "ListBox",
    "ListView", "Menu",     "Page",     "Progress", "Rebar",       "ScrollBar", "Spin",
    "StartPanel", "Status", "Tab",      "TaskBand", "TaskBar",     "ToolBar", "ToolTip",
    "TrackBar", "TrayNotify", "TreeView", "Window"};

struct TdxThemeData {
  TdxTheme Theme = 0;
  WideString ClassList;
};

struct TThemeState {
  const orv::TThemeLibrary* Library = nullptr;
  Boolean VisualStylesActive = false;
  std::array<TdxThemeData, dxThemedObjectKindCount> Cache;
  // Exist exactly while a library is bound.
  std::unique_ptr<std::vector<TdxThemeChangedNotificator*>> Notificators;
  TdxThemeChangedEventReceiver* Receiver = nullptr;
  orv::TThemeChangeErrorHandler ErrorHandler = nullptr;
  const orv::TCompositionLibrary* Composition = nullptr;
};

TThemeState& State() {
  static TThemeState state;
  return state;
}

Boolean StylesUsable() { return State().VisualStylesActive && State().Library; }

WideString Upper(WideString s) {
  for (char16_t& c : s)
    if (c >= u'a' && c <= u'z') c = char16_t(c - u'a' + u'A');
  return s;
}

WideString Widen(const char* ascii) {
  WideString s;
  for (; *ascii; ++ascii) s.push_back(char16_t(static_cast<unsigned char>(*ascii)));
  return s;
}

// The file-name part of a path, upper-cased.
WideString FileNamePart(const char16_t* path) {
  WideString s(path);
  const auto slash = s.find_last_of(u"\\/:");
  if (slash != WideString::npos) s.erase(0, slash + 1);
  return Upper(s);
}

}  // namespace

const char* GetThemedObjectClassList(TdxThemedObjectKind kind) {
  return kClassLists[std::size_t(kind)];
}

namespace orv {

void BindThemeLibrary(const TThemeLibrary* library) {
  TThemeState& s = State();
  if (s.Library) {
    // Finalization of the previous binding: the receiver goes (which clears the active flag),
    // the cached themes are closed, the list is freed.
    orv::Free(s.Receiver);
    s.Receiver = nullptr;
    s.VisualStylesActive = false;
    for (TdxThemeData& d : s.Cache)
      if (d.Theme && s.Library->CloseThemeData) s.Library->CloseThemeData(d.Theme);
    for (TdxThemeData& d : s.Cache) d = TdxThemeData{};
    s.Notificators.reset();
  }
  s.Library = library;
  if (!library) return;
  s.VisualStylesActive = IsThemeActive() != 0;
  s.Receiver = new TdxThemeChangedEventReceiver;
  s.Notificators = std::make_unique<std::vector<TdxThemeChangedNotificator*>>();
}

void BindCompositionLibrary(const TCompositionLibrary* library, Integer platformMajorVersion) {
  State().Composition = platformMajorVersion > 5 ? library : nullptr;
}

void SetThemeChangeErrorHandler(TThemeChangeErrorHandler handler) { State().ErrorHandler = handler; }

}  // namespace orv

// ---- Wrappers -----------------------------------------------------------------------------

namespace {
const orv::TThemeLibrary* Lib() { return State().Library; }
}  // namespace

Boolean IsThemeLibraryLoaded() { return Lib() != nullptr; }

BOOL IsThemeActive() { return Lib() && Lib()->IsThemeActive ? Lib()->IsThemeActive() : 0; }

HTHEME OpenThemeData(HANDLE window, const char16_t* classList) {
  return Lib() && Lib()->OpenThemeData ? Lib()->OpenThemeData(window, classList) : 0;
}

HRESULT CloseThemeData(HTHEME theme) {
  return Lib() && Lib()->CloseThemeData ? Lib()->CloseThemeData(theme) : E_FAIL;
}

HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT& rect,
                            const RECT* clip) {
  return Lib() && Lib()->DrawThemeBackground
             ? Lib()->DrawThemeBackground(theme, dc, part, state, &rect, clip)
             : E_FAIL;
}

HRESULT DrawThemeBackgroundRect(HTHEME theme, HDC dc, int part, int state, const RECT& rect) {
  return DrawThemeBackground(theme, dc, part, state, rect, nullptr);
}

HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, const WideString& text,
                      DWORD flags, DWORD flags2, const RECT& rect) {
  return Lib() && Lib()->DrawThemeText
             ? Lib()->DrawThemeText(theme, dc, part, state, text.c_str(), int(text.size()),
                                    flags, flags2, &rect)
             : E_FAIL;
}

HRESULT DrawThemeTextAnsi(HTHEME theme, HDC dc, int part, int state, const AnsiString& text,
                          DWORD flags, DWORD flags2, const RECT& rect) {
  return DrawThemeText(theme, dc, part, state, AnsiToWide(text, 0), flags, flags2, rect);
}

HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT& rect, UINT edge,
                      UINT flags, RECT* content) {
  return Lib() && Lib()->DrawThemeEdge
             ? Lib()->DrawThemeEdge(theme, dc, part, state, &rect, edge, flags, content)
             : E_FAIL;
}

HRESULT DrawThemeParentBackground(HANDLE window, HDC dc, const RECT* rect) {
  if (!Lib() || !Lib()->DrawThemeParentBackground) return E_FAIL;
  // The parent's painting may select its own font; the caller's comes back afterwards.
  HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
  const HRESULT result = Lib()->DrawThemeParentBackground(window, dc, rect);
  if (font) SelectObject(dc, font);
  return result;
}

HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state,
                                      const RECT& bounds, RECT& content) {
  return Lib() && Lib()->GetThemeBackgroundContentRect
             ? Lib()->GetThemeBackgroundContentRect(theme, dc, part, state, &bounds, &content)
             : E_FAIL;
}

HRESULT GetThemeBackgroundRegion(HTHEME theme, HDC dc, int part, int state, const RECT& rect,
                                 HRGN& region) {
  return Lib() && Lib()->GetThemeBackgroundRegion
             ? Lib()->GetThemeBackgroundRegion(theme, dc, part, state, &rect, &region)
             : E_FAIL;
}

HRESULT GetThemePartSize(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                         int sizeKind, SIZE& size) {
  return Lib() && Lib()->GetThemePartSize
             ? Lib()->GetThemePartSize(theme, dc, part, state, rect, sizeKind, &size)
             : E_FAIL;
}

HRESULT GetThemePartSizeWithoutRect(HTHEME theme, HDC dc, int part, int state, int sizeKind,
                                    SIZE& size) {
  return GetThemePartSize(theme, dc, part, state, nullptr, sizeKind, size);
}

BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state) {
  return Lib() && Lib()->IsThemeBackgroundPartiallyTransparent
             ? Lib()->IsThemeBackgroundPartiallyTransparent(theme, part, state)
             : 0;
}

HRESULT GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF& color) {
  return Lib() && Lib()->GetThemeColor
             ? Lib()->GetThemeColor(theme, part, state, property, &color)
             : E_FAIL;
}

HRESULT GetCurrentThemeName(char16_t* fileName, int fileNameSize, char16_t* colorName,
                            int colorNameSize, char16_t* sizeName, int sizeNameSize) {
  return Lib() && Lib()->GetCurrentThemeName
             ? Lib()->GetCurrentThemeName(fileName, fileNameSize, colorName, colorNameSize,
                                          sizeName, sizeNameSize)
             : E_FAIL;
}

HANDLE BeginBufferedPaint(HDC target, const RECT& rect, int format, const void* params,
                          HDC& paintDC) {
  paintDC = nullptr;
  return Lib() && Lib()->BeginBufferedPaint
             ? Lib()->BeginBufferedPaint(target, &rect, format, params, &paintDC)
             : nullptr;
}

HRESULT EndBufferedPaint(HANDLE paint, BOOL updateTarget) {
  return Lib() && Lib()->EndBufferedPaint ? Lib()->EndBufferedPaint(paint, updateTarget) : E_FAIL;
}

HRESULT BufferedPaintSetAlpha(HANDLE paint, const RECT* rect, BYTE alpha) {
  return Lib() && Lib()->BufferedPaintSetAlpha ? Lib()->BufferedPaintSetAlpha(paint, rect, alpha)
                                               : E_FAIL;
}

// ---- Theme manager ------------------------------------------------------------------------

TdxTheme GetThemeHandle(TdxThemedObjectKind kind, const char16_t* classList) {
  if (!StylesUsable()) return 0;
  TdxThemeData& entry = State().Cache[std::size_t(kind)];
  if (entry.Theme) {
    if (!classList || Upper(classList) == Upper(entry.ClassList)) return entry.Theme;
    CloseTheme(kind);
  }
  WideString list;
  if (classList) list = classList;
  else if (!entry.ClassList.empty()) list = entry.ClassList;
  else list = Widen(GetThemedObjectClassList(kind));
  entry.Theme = OpenThemeData(nullptr, list.c_str());
  if (entry.Theme) entry.ClassList = list;
  else entry.ClassList.clear();
  return entry.Theme;
}

Boolean IsVisualStyleActive(TdxThemedObjectKinds kinds) {
  if (!StylesUsable()) return false;
  for (Integer k = 0; k < dxThemedObjectKindCount; ++k) {
    const auto kind = TdxThemedObjectKind(k);
    if (kinds.Contains(kind) && GetThemeHandle(kind) == 0) return false;
  }
  return true;
}

Boolean IsVisualStyleActiveFor(TdxThemedObjectKind kind) {
  return StylesUsable() && GetThemeHandle(kind) != 0;
}

HRESULT CloseTheme(TdxThemedObjectKind kind) {
  if (!StylesUsable()) return 1;
  TdxThemeData& entry = State().Cache[std::size_t(kind)];
  if (!entry.Theme) return 0;
  const HRESULT result = CloseThemeData(entry.Theme);
  entry.Theme = 0;
  entry.ClassList.clear();
  return result;
}

void CloseAllThemes() {
  for (TdxThemeData& entry : State().Cache)
    if (entry.Theme) {
      CloseThemeData(entry.Theme);
      entry.Theme = 0;
    }
}

Boolean IsStockTheme() {
  if (!StylesUsable()) return false;
  char16_t file[1024] = {}, color[1024] = {}, size[1024] = {};
  if (GetCurrentThemeName(file, 1024, color, 1024, size, 1024) != S_OK) return false;
  file[1023] = 0;
  const WideString name = FileNamePart(file);
  return name == u"LUNA.MSSTYLES" || name == u"ROYALE.MSSTYLES";
}

// ---- Notificators and the change receiver -------------------------------------------------

TdxThemeChangedNotificator::TdxThemeChangedNotificator() {
  if (State().Library && State().Notificators) State().Notificators->push_back(this);
}

TdxThemeChangedNotificator::~TdxThemeChangedNotificator() {
  if (State().Notificators) {
    auto& list = *State().Notificators;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
}

void TdxThemeChangedNotificator::DoThemeChanged() {
  if (FOnThemeChanged) FOnThemeChanged(this);
}

TdxThemeChangedEventReceiver::TdxThemeChangedEventReceiver() {
  FWindow = AllocateHWnd(TWndMethod(this, &TdxThemeChangedEventReceiver::MainWndProc));
}

TdxThemeChangedEventReceiver::~TdxThemeChangedEventReceiver() {
  if (FWindow) DeallocateHWnd(FWindow);
  State().VisualStylesActive = false;
}

void TdxThemeChangedEventReceiver::MainWndProc(TMessage& message) {
  Boolean handled = false;
  message.Result = WndProc(message.Msg, handled);
  if (!handled) message.Result = DefWindowProc(FWindow, message.Msg, message.WParam, message.LParam);
}

NativeInt TdxThemeChangedEventReceiver::WndProc(UINT message, Boolean& handled) {
  handled = message == dxWM_THEMECHANGED;
  if (!handled) return 0;
  CloseAllThemes();
  State().VisualStylesActive = IsThemeActive() != 0;
  if (!State().Notificators) return 0;
  // A copy: a handler may subscribe or unsubscribe others.
  const std::vector<TdxThemeChangedNotificator*> list = *State().Notificators;
  try {
    for (TdxThemeChangedNotificator* n : list) {
      const auto& live = *State().Notificators;
      if (std::find(live.begin(), live.end(), n) != live.end()) n->DoThemeChanged();
    }
  } catch (const std::exception& e) {
    if (State().ErrorHandler) State().ErrorHandler(e);
  }
  return 0;
}

TdxThemeChangedEventReceiver* GetThemeChangedEventReceiver() { return State().Receiver; }

// ---- Desktop composition ------------------------------------------------------------------

Boolean IsDesktopCompositionEnabled() {
  const orv::TCompositionLibrary* lib = State().Composition;
  if (!lib || !lib->DwmIsCompositionEnabled) return false;
  BOOL enabled = 0;
  return lib->DwmIsCompositionEnabled(&enabled) == S_OK && enabled != 0;
}
