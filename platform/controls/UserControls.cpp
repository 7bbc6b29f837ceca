#include "platform/controls/UserControls.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

namespace {

constexpr const char* kStateProp = "StdControlState";

// ---- Shared helpers ---------------------------------------------------------------------------

template <class T>
T* StateOf(HWND window) {
  return static_cast<T*>(GetProp(window, kStateProp));
}

// The state of a standard window lives from WM_NCCREATE (made from the creation record) to
// WM_NCDESTROY. True when the message was one of those two (answered in `result`).
template <class T>
bool StateLifetime(HWND w, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (msg == WM_NCCREATE) {
    SetProp(w, kStateProp, new T(reinterpret_cast<const CREATESTRUCT*>(lParam)));
  } else if (msg == WM_NCDESTROY) {
    delete StateOf<T>(w);
    RemoveProp(w, kStateProp);
  } else {
    return false;
  }
  result = DefWindowProc(w, msg, wParam, lParam);
  return true;
}

DWORD StyleOf(HWND window) { return DWORD(GetWindowLongPtr(window, GWL_STYLE)); }

void Notify(HWND window, WORD code) {
  HWND parent = GetParent(window);
  if (!parent || !(StyleOf(window) & WS_CHILD)) return;
  SendMessage(parent, WM_COMMAND, MAKEWPARAM(int(GetWindowLongPtr(window, GWLP_ID)), code),
              reinterpret_cast<LPARAM>(window));
}

// The brush (and the DC's colours) the parent gives for the control.
HBRUSH ControlColor(HWND window, HDC dc, UINT msg) {
  HWND parent = GetParent(window);
  LRESULT r = 0;
  if (parent && (StyleOf(window) & WS_CHILD))
    r = SendMessage(parent, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window));
  if (!r) r = DefWindowProc(window, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window));
  return reinterpret_cast<HBRUSH>(r);
}

HFONT FontOr(HFONT font) { return font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT)); }

int TextHeight(HDC dc) {
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  return tm.tmHeight;
}

// Text in the disabled look: a highlight shadow under grey text.
void DrawDisabledText(HDC dc, const AnsiString& text, RECT r, UINT format) {
  const COLORREF old = SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
  RECT shadow{r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
  DrawText(dc, text.c_str(), int(text.size()), &shadow, format);
  SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  DrawText(dc, text.c_str(), int(text.size()), &r, format);
  SetTextColor(dc, old);
}

// WM_PAINT of a standard window: into the DC the message brings, or between BeginPaint and
// EndPaint.
LRESULT PaintMessage(HWND w, WPARAM wParam, void (*paint)(HWND, HDC)) {
  if (wParam) {
    paint(w, reinterpret_cast<HDC>(wParam));
    return 0;
  }
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(w, &ps);
  paint(w, dc);
  EndPaint(w, &ps);
  return 0;
}

AnsiString WindowText(HWND window) {
  const int n = GetWindowTextLength(window);
  std::string s(std::size_t(n) + 1, '\0');
  GetWindowText(window, s.data(), n + 1);
  s.resize(std::size_t(n));
  return s;
}

bool CopyToClipboard(HWND owner, const AnsiString& text) {
  if (!OpenClipboard(owner)) return false;
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (memory) {
    auto* p = static_cast<char*>(GlobalLock(memory));
    std::memcpy(p, text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
  }
  CloseClipboard();
  return memory != nullptr;
}

AnsiString ClipboardText(HWND owner) {
  AnsiString result;
  if (!OpenClipboard(owner)) return result;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(data))) {
      result = p;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return result;
}

// ---- BUTTON -----------------------------------------------------------------------------------

struct TButtonState {
  explicit TButtonState(const CREATESTRUCT*) {}
  HFONT Font = nullptr;
  WPARAM Check = BST_UNCHECKED;
  bool Pushed = false;
  bool Focused = false;
  bool Tracking = false;  // the mouse went down on the button and has not come up
  bool SpaceDown = false;
};

DWORD ButtonType(HWND w) { return StyleOf(w) & BS_TYPEMASK; }
bool IsPush(DWORD type) { return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_USERBUTTON; }
bool IsRadio(DWORD type) { return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON; }

void PaintButton(HWND w, HDC dc) {
  auto* s = StateOf<TButtonState>(w);
  const DWORD style = StyleOf(w), type = style & BS_TYPEMASK;
  const bool enabled = IsWindowEnabled(w);
  RECT client;
  GetClientRect(w, &client);
  if (type == BS_OWNERDRAW) {
    DRAWITEMSTRUCT di;
    di.CtlType = ODT_BUTTON;
    di.CtlID = UINT(GetWindowLongPtr(w, GWLP_ID));
    di.itemAction = ODA_DRAWENTIRE;
    di.itemState = (s->Pushed ? ODS_SELECTED : 0) | (s->Focused ? ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED);
    di.hwndItem = w;
    di.hDC = dc;
    di.rcItem = client;
    if (HWND parent = GetParent(w)) SendMessage(parent, WM_DRAWITEM, di.CtlID, reinterpret_cast<LPARAM>(&di));
    return;
  }
  HBRUSH brush = ControlColor(w, dc, IsPush(type) ? WM_CTLCOLORBTN : WM_CTLCOLORSTATIC);
  FillRect(dc, &client, brush);
  HGDIOBJ oldFont = SelectObject(dc, FontOr(s->Font));
  SetBkMode(dc, TRANSPARENT);
  const AnsiString text = WindowText(w);
  UINT format = (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
  if (type == BS_GROUPBOX) {
    const int th = TextHeight(dc);
    RECT frame{client.Left, client.Top + th / 2, client.Right, client.Bottom};
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (!text.empty()) {
      RECT t{client.Left + 8, client.Top, client.Right - 8, client.Top + th};
      RECT calc = t;
      DrawText(dc, text.c_str(), -1, &calc, DT_SINGLELINE | DT_CALCRECT);
      RECT back{calc.Left - 2, calc.Top, std::min<int>(calc.Right + 2, client.Right - 6), calc.Bottom};
      FillRect(dc, &back, brush);
      if (enabled)
        DrawText(dc, text.c_str(), -1, &t, DT_SINGLELINE);
      else
        DrawDisabledText(dc, text, t, DT_SINGLELINE);
    }
    SelectObject(dc, oldFont);
    return;
  }
  RECT textRect = client;
  if (IsPush(type)) {
    RECT r = client;
    const bool isDefault = type == BS_DEFPUSHBUTTON;
    if (isDefault) {
      FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    }
    if (s->Pushed && isDefault) {
      // A pressed default button is a flat shadow frame.
      FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
    } else {
      DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (s->Pushed ? DFCS_PUSHED : 0));
    }
    textRect = {r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2};
    if (s->Pushed) textRect = {textRect.Left + 1, textRect.Top + 1, textRect.Right + 1, textRect.Bottom + 1};
    format |= DT_CENTER | DT_VCENTER;
    if ((style & 0x0300) == BS_LEFT) format = (format & ~DT_CENTER);
    if ((style & 0x0300) == BS_RIGHT) format = (format & ~DT_CENTER) | DT_RIGHT;
    if (enabled)
      DrawText(dc, text.c_str(), -1, &textRect, format);
    else
      DrawDisabledText(dc, text, textRect, format);
    if (s->Focused) {
      RECT f{r.Left + 3, r.Top + 3, r.Right - 3, r.Bottom - 3};
      DrawFocusRect(dc, &f);
    }
    SelectObject(dc, oldFont);
    return;
  }
  // Check boxes and radio buttons: the mark on one side, the text beside it.
  constexpr int kMark = 13;
  const bool markRight = (style & BS_LEFTTEXT) != 0;
  const int markTop = client.Top + (client.Height() - kMark) / 2;
  RECT mark = markRight ? RECT{client.Right - kMark, markTop, client.Right, markTop + kMark}
                        : RECT{client.Left, markTop, client.Left + kMark, markTop + kMark};
  UINT state = IsRadio(type) ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
  if (s->Check == BST_CHECKED) state |= DFCS_CHECKED;
  if (s->Check == BST_INDETERMINATE) state |= DFCS_BUTTON3STATE | DFCS_CHECKED;
  if (s->Pushed) state |= DFCS_PUSHED;
  if (!enabled) state |= DFCS_INACTIVE;
  DrawFrameControl(dc, &mark, DFC_BUTTON, state);
  textRect = markRight ? RECT{client.Left, client.Top, client.Right - kMark - 4, client.Bottom}
                       : RECT{client.Left + kMark + 4, client.Top, client.Right, client.Bottom};
  format |= DT_VCENTER;
  if (enabled)
    DrawText(dc, text.c_str(), -1, &textRect, format);
  else
    DrawDisabledText(dc, text, textRect, format);
  if (s->Focused && !text.empty()) {
    RECT calc = textRect;
    DrawText(dc, text.c_str(), -1, &calc, format | DT_CALCRECT);
    const int h = calc.Height();
    RECT f{calc.Left - 1, textRect.Top + (textRect.Height() - h) / 2 - 1, calc.Right + 1,
           textRect.Top + (textRect.Height() - h) / 2 + h + 1};
    f.Right = std::min(f.Right, client.Right);
    DrawFocusRect(dc, &f);
  }
  SelectObject(dc, oldFont);
}

// The auto radio buttons of a group (between WS_GROUP marks) lose their check.
void UncheckGroupSiblings(HWND w) {
  HWND parent = GetParent(w);
  if (!parent) return;
  std::vector<HWND> siblings;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) siblings.push_back(c);
  const auto it = std::find(siblings.begin(), siblings.end(), w);
  if (it == siblings.end()) return;
  std::size_t first = std::size_t(it - siblings.begin());
  while (first > 0 && !(StyleOf(siblings[first]) & WS_GROUP)) --first;
  for (std::size_t i = first; i < siblings.size(); ++i) {
    if (i > first && (StyleOf(siblings[i]) & WS_GROUP)) break;
    HWND c = siblings[i];
    if (c != w && ButtonType(c) == BS_AUTORADIOBUTTON && StateOf<TButtonState>(c)) SendMessage(c, BM_SETCHECK, BST_UNCHECKED, 0);
  }
}

void ButtonClicked(HWND w) {
  const DWORD type = ButtonType(w);
  switch (type) {
    case BS_AUTOCHECKBOX:
      SendMessage(w, BM_SETCHECK, StateOf<TButtonState>(w)->Check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
      break;
    case BS_AUTO3STATE: {
      const WPARAM c = StateOf<TButtonState>(w)->Check;
      SendMessage(w, BM_SETCHECK, c == BST_UNCHECKED ? BST_CHECKED : c == BST_CHECKED ? BST_INDETERMINATE : BST_UNCHECKED, 0);
      break;
    }
    case BS_AUTORADIOBUTTON:
      SendMessage(w, BM_SETCHECK, BST_CHECKED, 0);
      UncheckGroupSiblings(w);
      break;
    default: break;
  }
  Notify(w, BN_CLICKED);
}

void SetPushed(HWND w, bool pushed) {
  auto* s = StateOf<TButtonState>(w);
  if (s->Pushed == pushed) return;
  s->Pushed = pushed;
  InvalidateRect(w, nullptr, FALSE);
}

LRESULT ButtonProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (StateLifetime<TButtonState>(w, msg, wParam, lParam, result)) return result;
  auto* s = StateOf<TButtonState>(w);
  if (!s) return DefWindowProc(w, msg, wParam, lParam);
  const DWORD type = ButtonType(w);
  switch (msg) {
    case WM_SETFONT:
      s->Font = reinterpret_cast<HFONT>(wParam);
      if (lParam) InvalidateRect(w, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s->Font);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: return PaintMessage(w, wParam, PaintButton);
    case WM_SETTEXT:
    case WM_ENABLE: {
      const LRESULT r = DefWindowProc(w, msg, wParam, lParam);
      InvalidateRect(w, nullptr, TRUE);
      return r;
    }
    case WM_GETDLGCODE:
      if (type == BS_GROUPBOX) return DLGC_STATIC;
      if (IsRadio(type)) return DLGC_BUTTON | DLGC_RADIOBUTTON;
      if (type == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
      if (IsPush(type) || type == BS_OWNERDRAW) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
      return DLGC_BUTTON;
    case WM_SETFOCUS:
      s->Focused = true;
      InvalidateRect(w, nullptr, FALSE);
      // Reaching a radio button with the keyboard checks it.
      if (IsRadio(type) && s->Check != BST_CHECKED && GetKeyState(VK_LBUTTON) >= 0) ButtonClicked(w);
      return 0;
    case WM_KILLFOCUS:
      s->Focused = false;
      s->SpaceDown = false;
      if (s->Pushed && !s->Tracking) SetPushed(w, false);
      InvalidateRect(w, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDBLCLK:
      if (IsRadio(type) || type == BS_OWNERDRAW) {
        Notify(w, BN_DOUBLECLICKED);
        return 0;
      }
      [[fallthrough]];
    case WM_LBUTTONDOWN:
      if (type == BS_GROUPBOX) return 0;
      if (GetFocus() != w) SetFocus(w);
      SetCapture(w);
      s->Tracking = true;
      SetPushed(w, true);
      return 0;
    case WM_MOUSEMOVE:
      if (s->Tracking) {
        RECT r;
        GetClientRect(w, &r);
        const POINT p = MAKEPOINT(lParam);
        SetPushed(w, p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom);
      }
      return 0;
    case WM_LBUTTONUP: {
      if (!s->Tracking) return 0;
      s->Tracking = false;
      const bool click = s->Pushed;
      SetPushed(w, false);
      ReleaseCapture();
      if (click) ButtonClicked(w);
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (s->Tracking && reinterpret_cast<HWND>(lParam) != w) {
        s->Tracking = false;
        SetPushed(w, false);
      }
      return 0;
    case WM_KEYDOWN:
      if (wParam == WPARAM(VK_SPACE) && type != BS_GROUPBOX && !s->SpaceDown) {
        s->SpaceDown = true;
        SetPushed(w, true);
      }
      return 0;
    case WM_KEYUP:
      if (wParam == WPARAM(VK_SPACE) && s->SpaceDown) {
        s->SpaceDown = false;
        SetPushed(w, false);
        ButtonClicked(w);
      }
      return 0;
    case WM_CHAR: return 0;
    case BM_GETCHECK: return LRESULT(s->Check);
    case BM_SETCHECK: {
      WPARAM value = wParam;
      if (value == BST_INDETERMINATE && type != BS_3STATE && type != BS_AUTO3STATE) value = BST_CHECKED;
      if (value != s->Check) {
        s->Check = value;
        InvalidateRect(w, nullptr, FALSE);
        // A checked auto radio button makes itself the group's tab stop.
        if (type == BS_AUTORADIOBUTTON) {
          LONG_PTR st = GetWindowLongPtr(w, GWL_STYLE);
          SetWindowLongPtr(w, GWL_STYLE, value == BST_CHECKED ? (st | WS_TABSTOP) : st);
        }
      }
      return 0;
    }
    case BM_GETSTATE:
      return LRESULT(s->Check | (s->Pushed ? BST_PUSHED : 0) | (s->Focused ? BST_FOCUS : 0));
    case BM_SETSTATE: SetPushed(w, wParam != 0); return 0;
    case BM_SETSTYLE: {
      const LONG_PTR st = GetWindowLongPtr(w, GWL_STYLE);
      SetWindowLongPtr(w, GWL_STYLE, (st & ~LONG_PTR(0xFFFF)) | LONG_PTR(wParam & 0xFFFF));
      if (lParam) InvalidateRect(w, nullptr, TRUE);
      return 0;
    }
    case BM_CLICK:
      if (IsWindowEnabled(w)) ButtonClicked(w);
      return 0;
    default: return DefWindowProc(w, msg, wParam, lParam);
  }
}

// ---- STATIC -----------------------------------------------------------------------------------

void PaintStatic(HWND w, HDC dc) {
  RECT client;
  GetClientRect(w, &client);
  FillRect(dc, &client, ControlColor(w, dc, WM_CTLCOLORSTATIC));
  HGDIOBJ old = SelectObject(dc, FontOr(static_cast<HFONT>(GetProp(w, "StaticFont"))));
  SetBkMode(dc, TRANSPARENT);
  const DWORD style = StyleOf(w);
  UINT format = DT_WORDBREAK | ((style & 3) == SS_CENTER ? DT_CENTER : (style & 3) == SS_RIGHT ? DT_RIGHT : DT_LEFT);
  if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
  const AnsiString text = WindowText(w);
  if (IsWindowEnabled(w))
    DrawText(dc, text.c_str(), -1, &client, format);
  else
    DrawDisabledText(dc, text, client, format);
  SelectObject(dc, old);
}

LRESULT StaticProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SETFONT:
      SetProp(w, "StaticFont", reinterpret_cast<HANDLE>(wParam));
      if (lParam) InvalidateRect(w, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(GetProp(w, "StaticFont"));
    case WM_NCDESTROY: RemoveProp(w, "StaticFont"); return DefWindowProc(w, msg, wParam, lParam);
    case WM_ERASEBKGND: return 1;
    case WM_SETTEXT:
    case WM_ENABLE: {
      const LRESULT r = DefWindowProc(w, msg, wParam, lParam);
      InvalidateRect(w, nullptr, TRUE);
      return r;
    }
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_PAINT: return PaintMessage(w, wParam, PaintStatic);
    default: return DefWindowProc(w, msg, wParam, lParam);
  }
}

// ---- EDIT -------------------------------------------------------------------------------------

struct TLine {
  int Start = 0;   // first character
  int Length = 0;  // characters shown (without the line break)
};

struct TEditState {
  explicit TEditState(const CREATESTRUCT* cs) {
    if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) Text = cs->lpszName;
    if (cs && (cs->style & ES_PASSWORD)) Password = '*';
  }
  AnsiString Text;
  int Anchor = 0;
  int Caret = 0;
  int LeftMargin = 1;
  int RightMargin = 1;
  int Limit = 0x7FFFFFFE;
  char Password = 0;
  bool Modified = false;
  bool CanUndo = false;
  AnsiString UndoText;
  int UndoAnchor = 0;
  int UndoCaret = 0;
  int ScrollX = 0;
  int FirstLine = 0;
  HFONT Font = nullptr;
  bool Focused = false;
  bool Selecting = false;
  bool HasRect = false;
  RECT FormatRect;
};

bool Multi(HWND w) { return (StyleOf(w) & ES_MULTILINE) != 0; }
int SelMin(const TEditState* s) { return std::min(s->Anchor, s->Caret); }
int SelMax(const TEditState* s) { return std::max(s->Anchor, s->Caret); }

// A DC with the edit's font selected, for measuring.
class TMeasureDC {
 public:
  TMeasureDC(HWND w, HFONT font) : FWindow(w), FDC(GetDC(w)), FOld(SelectObject(FDC, FontOr(font))) {}
  ~TMeasureDC() {
    SelectObject(FDC, FOld);
    ReleaseDC(FWindow, FDC);
  }
  TMeasureDC(const TMeasureDC&) = delete;
  TMeasureDC& operator=(const TMeasureDC&) = delete;
  operator HDC() const { return FDC; }

 private:
  HWND FWindow;
  HDC FDC;
  HGDIOBJ FOld;
};

AnsiString Shown(const TEditState* s, int start, int length) {
  if (s->Password) return AnsiString(std::size_t(std::max(0, length)), s->Password);
  return s->Text.substr(std::size_t(start), std::size_t(std::max(0, length)));
}

RECT FormatRect(HWND w, const TEditState* s) {
  if (s->HasRect) return s->FormatRect;
  RECT r;
  GetClientRect(w, &r);
  r.Left += s->LeftMargin;
  r.Right -= s->RightMargin;
  if (!Multi(w)) r.Top += 1;
  return r;
}

int TextWidth(HDC dc, const AnsiString& text) {
  if (text.empty()) return 0;
  SIZE size;
  GetTextExtentPoint32(dc, text.c_str(), int(text.size()), &size);
  return size.cx;
}

// The visual lines: hard breaks at CR LF (or a lone LF), soft breaks between words when the
// multi-line edit wraps (no ES_AUTOHSCROLL).
std::vector<TLine> Layout(HWND w, const TEditState* s, HDC dc) {
  std::vector<TLine> lines;
  const AnsiString& t = s->Text;
  if (!Multi(w)) {
    lines.push_back({0, int(t.size())});
    return lines;
  }
  const bool wrap = !(StyleOf(w) & ES_AUTOHSCROLL);
  const RECT fr = FormatRect(w, s);
  const int width = std::max<int>(1, fr.Width());
  int start = 0;
  const int n = int(t.size());
  while (true) {
    int end = start;
    while (end < n && t[std::size_t(end)] != '\r' && t[std::size_t(end)] != '\n') ++end;
    // One hard line [start, end), wrapped.
    int pos = start;
    do {
      int len = end - pos;
      if (wrap && len > 0 && TextWidth(dc, Shown(s, pos, len)) > width) {
        int fit = 0;
        SIZE size;
        const AnsiString shown = Shown(s, pos, len);
        GetTextExtentExPoint(dc, shown.c_str(), int(shown.size()), width, &fit, nullptr, &size);
        fit = std::max(fit, 1);
        // Break after the last blank that fits, else inside the word.
        int brk = fit;
        while (brk > 0 && t[std::size_t(pos + brk - 1)] != ' ') --brk;
        if (brk == 0) brk = fit;
        len = brk;
      }
      lines.push_back({pos, len});
      pos += len;
    } while (pos < end);
    if (end >= n) break;
    start = end + ((t[std::size_t(end)] == '\r' && end + 1 < n && t[std::size_t(end) + 1] == '\n') ? 2 : 1);
    if (start > n) break;
    if (start == n) {
      lines.push_back({n, 0});
      break;
    }
  }
  if (lines.empty()) lines.push_back({0, 0});
  return lines;
}

int LineOf(const std::vector<TLine>& lines, int index) {
  for (std::size_t i = lines.size(); i-- > 0;)
    if (index >= lines[i].Start) {
      // A position at the end of a soft-wrapped line belongs to the next line.
      if (index > lines[i].Start + lines[i].Length && i + 1 < lines.size()) return int(i + 1);
      return int(i);
    }
  return 0;
}

int LineHeight(HDC dc) { return std::max(1, TextHeight(dc)); }

// x of a character position within its line, in formatting-rectangle coordinates (before
// scrolling and alignment).
int XOf(const TEditState* s, HDC dc, const TLine& line, int index) {
  return TextWidth(dc, Shown(s, line.Start, std::clamp(index - line.Start, 0, line.Length)));
}

int AlignOffset(HWND w, const TEditState* s, HDC dc, const TLine& line) {
  const DWORD align = StyleOf(w) & 3;
  if (align == ES_LEFT) return 0;
  const int width = FormatRect(w, s).Width();
  const int tw = TextWidth(dc, Shown(s, line.Start, line.Length));
  if (tw >= width) return 0;
  return align == ES_CENTER ? (width - tw) / 2 : width - tw;
}

// The character position nearest to a client point.
int CharFromPoint(HWND w, TEditState* s, POINT p) {
  TMeasureDC dc(w, s->Font);
  const std::vector<TLine> lines = Layout(w, s, dc);
  const RECT fr = FormatRect(w, s);
  int li = 0;
  if (Multi(w)) li = std::clamp(s->FirstLine + (p.Y - fr.Top) / LineHeight(dc), 0, int(lines.size()) - 1);
  const TLine& line = lines[std::size_t(li)];
  const int x = p.X - fr.Left + s->ScrollX - AlignOffset(w, s, dc, line);
  int best = line.Start, bestDistance = 1 << 30;
  for (int i = 0; i <= line.Length; ++i) {
    const int d = std::abs(XOf(s, dc, line, line.Start + i) - x);
    if (d < bestDistance) {
      bestDistance = d;
      best = line.Start + i;
    }
  }
  return best;
}

// The width of the widest visual line: the horizontal extent of a multi-line edit's text.
int WidestLine(const TEditState* s, HDC dc, const std::vector<TLine>& lines) {
  int widest = 0;
  for (const TLine& line : lines) widest = std::max(widest, TextWidth(dc, Shown(s, line.Start, line.Length)));
  return widest;
}

// The furthest a multi-line edit scrolls to the right: its widest line ends at the right edge
// (one pixel left for the caret after it).
int MaxScrollX(HWND w, const TEditState* s, HDC dc, const std::vector<TLine>& lines) {
  return std::max(0, WidestLine(s, dc, lines) - std::max<int>(1, FormatRect(w, s).Width()) + 1);
}

void UpdateScrollBars(HWND w, TEditState* s, HDC dc, const std::vector<TLine>& lines, int visible) {
  const DWORD style = StyleOf(w);
  SCROLLINFO si;
  // As the system's multi-line edit: a bar the edit was made with stays, disabled while the
  // text fits, instead of vanishing for good.
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  si.nMin = 0;
  if (style & WS_VSCROLL) {
    si.nMax = int(lines.size()) - 1;
    si.nPage = UINT(std::max(1, visible));
    si.nPos = s->FirstLine;
    SetScrollInfo(w, SB_VERT, &si, TRUE);
  }
  if (style & WS_HSCROLL) {
    // In pixels: the range is the widest line, a page the formatting rectangle's width.
    si.nMax = WidestLine(s, dc, lines);
    si.nPage = UINT(std::max<int>(1, FormatRect(w, s).Width()));
    si.nPos = s->ScrollX;
    SetScrollInfo(w, SB_HORZ, &si, TRUE);
  }
}

// Scrolls a multi-line edit that does not wrap to a horizontal offset, within its text.
void ScrollHorizontally(HWND w, TEditState* s, int x) {
  TMeasureDC dc(w, s->Font);
  const std::vector<TLine> lines = Layout(w, s, dc);
  const int to = std::clamp(x, 0, MaxScrollX(w, s, dc, lines));
  if (to == s->ScrollX) return;
  s->ScrollX = to;
  UpdateScrollBars(w, s, dc, lines, std::max(1, FormatRect(w, s).Height() / LineHeight(dc)));
  InvalidateRect(w, nullptr, FALSE);
  Notify(w, EN_HSCROLL);
}

void ScrollToCaret(HWND w, TEditState* s) {
  TMeasureDC dc(w, s->Font);
  const std::vector<TLine> lines = Layout(w, s, dc);
  const RECT fr = FormatRect(w, s);
  const int li = LineOf(lines, s->Caret);
  const TLine& line = lines[std::size_t(li)];
  const int x = XOf(s, dc, line, s->Caret);
  const int width = std::max<int>(1, fr.Width());
  if (!Multi(w)) {
    const int textWidth = TextWidth(dc, Shown(s, line.Start, line.Length));
    if (x - s->ScrollX > width - 1) s->ScrollX = x - width + 1;
    if (x < s->ScrollX) s->ScrollX = std::max(0, x - width / 3);
    // Text that fits shows from its start.
    if (textWidth < width) s->ScrollX = 0;
    s->ScrollX = std::max(0, std::min(s->ScrollX, std::max(0, textWidth - width + 1)));
  } else if (StyleOf(w) & ES_AUTOHSCROLL) {
    // Lines that do not wrap: the caret comes into view, and the offset stays within the widest
    // line, so a short caret line does not take away a position scrolled to over longer ones.
    if (x - s->ScrollX > width - 1) s->ScrollX = x - width + 1;
    if (x < s->ScrollX) s->ScrollX = std::max(0, x - width / 3);
    s->ScrollX = std::clamp(s->ScrollX, 0, MaxScrollX(w, s, dc, lines));
  } else {
    s->ScrollX = 0;
  }
  if (Multi(w)) {
    const int visible = std::max(1, fr.Height() / LineHeight(dc));
    if (li < s->FirstLine) s->FirstLine = li;
    if (li >= s->FirstLine + visible) s->FirstLine = li - visible + 1;
    s->FirstLine = std::clamp(s->FirstLine, 0, std::max(0, int(lines.size()) - 1));
    UpdateScrollBars(w, s, dc, lines, visible);
  }
}

void PaintEdit(HWND w, HDC dc) {
  auto* s = StateOf<TEditState>(w);
  const DWORD style = StyleOf(w);
  const bool enabled = IsWindowEnabled(w);
  RECT client;
  GetClientRect(w, &client);
  HBRUSH brush = ControlColor(w, dc, (style & ES_READONLY) || !enabled ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT);
  FillRect(dc, &client, brush);
  HGDIOBJ oldFont = SelectObject(dc, FontOr(s->Font));
  const COLORREF textColor = enabled ? GetTextColor(dc) : GetSysColor(COLOR_GRAYTEXT);
  SetBkMode(dc, TRANSPARENT);
  const RECT fr = FormatRect(w, s);
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, fr.Left, fr.Top, fr.Right, fr.Bottom);
  const std::vector<TLine> lines = Layout(w, s, dc);
  const int lh = LineHeight(dc);
  const bool showSel = s->Focused || (style & ES_NOHIDESEL);
  const int selMin = SelMin(s), selMax = SelMax(s);
  int caretX = -1, caretY = 0;
  for (int li = Multi(w) ? s->FirstLine : 0; li < int(lines.size()); ++li) {
    const int y = fr.Top + (li - (Multi(w) ? s->FirstLine : 0)) * lh;
    if (y >= fr.Bottom) break;
    const TLine& line = lines[std::size_t(li)];
    const int x0 = fr.Left - s->ScrollX + AlignOffset(w, s, dc, line);
    const AnsiString shown = Shown(s, line.Start, line.Length);
    SetTextColor(dc, textColor);
    TextOut(dc, x0, y, shown.c_str(), int(shown.size()));
    const int a = std::max(selMin, line.Start), b = std::min(selMax, line.Start + line.Length);
    if (showSel && a < b) {
      const int xa = x0 + XOf(s, dc, line, a), xb = x0 + XOf(s, dc, line, b);
      RECT sel{xa, y, xb, y + lh};
      FillRect(dc, &sel, GetSysColorBrush(COLOR_HIGHLIGHT));
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
      const AnsiString part = Shown(s, a, b - a);
      TextOut(dc, xa, y, part.c_str(), int(part.size()));
    }
    if (s->Focused && LineOf(lines, s->Caret) == li) {
      caretX = x0 + XOf(s, dc, line, s->Caret);
      caretY = y;
    }
  }
  RestoreDC(dc, saved);
  // The window system's caret follows the insertion point; off the shown lines it leaves the
  // client area.
  if (s->Focused) {
    if (caretX >= 0)
      SetCaretPos(std::min<int>(std::max<int>(caretX, fr.Left), fr.Right - 1), caretY);
    else
      SetCaretPos(-lh, -lh);
  }
  SelectObject(dc, oldFont);
}

// The focused edit owns the window system's caret, a bar as tall as a line; painting places it.
void MakeCaret(HWND w, TEditState* s) {
  UINT width = 1;
  SystemParametersInfo(SPI_GETCARETWIDTH, 0, &width, 0);
  CreateCaret(w, nullptr, int(width), LineHeight(TMeasureDC(w, s->Font)));
  ShowCaret(w);
}

void EditChanged(HWND w, TEditState* s) {
  s->Modified = true;
  Notify(w, EN_UPDATE);
  ScrollToCaret(w, s);
  InvalidateRect(w, nullptr, FALSE);
  Notify(w, EN_CHANGE);
}

// Replaces the selection with `text` (typed, pasted or sent). False when nothing changed.
bool ReplaceSelection(HWND w, TEditState* s, AnsiString text, bool keepUndo) {
  const DWORD style = StyleOf(w);
  if (!Multi(w)) {
    const std::size_t brk = text.find_first_of("\r\n");
    if (brk != AnsiString::npos) text.resize(brk);
  }
  if (style & ES_UPPERCASE) text = AnsiUpperCase(text);
  if (style & ES_LOWERCASE) text = AnsiLowerCase(text);
  const int selMin = SelMin(s), selLen = SelMax(s) - selMin;
  const long long room = (long long)s->Limit - ((long long)s->Text.size() - selLen);
  if ((long long)text.size() > room) {
    text.resize(std::size_t(std::max<long long>(0, room)));
    Notify(w, EN_MAXTEXT);
    if (text.empty() && selLen == 0) return false;
  }
  if (text.empty() && selLen == 0) return false;
  if (keepUndo) {
    s->UndoText = s->Text;
    s->UndoAnchor = s->Anchor;
    s->UndoCaret = s->Caret;
    s->CanUndo = true;
  }
  s->Text.replace(std::size_t(selMin), std::size_t(selLen), text);
  s->Anchor = s->Caret = selMin + int(text.size());
  EditChanged(w, s);
  return true;
}

bool IsWordChar(char c) { return c != ' ' && c != '\t' && c != '\r' && c != '\n'; }

int WordLeft(const AnsiString& t, int pos) {
  while (pos > 0 && !IsWordChar(t[std::size_t(pos - 1)])) --pos;
  while (pos > 0 && IsWordChar(t[std::size_t(pos - 1)])) --pos;
  return pos;
}

int WordRight(const AnsiString& t, int pos) {
  const int n = int(t.size());
  while (pos < n && IsWordChar(t[std::size_t(pos)])) ++pos;
  while (pos < n && !IsWordChar(t[std::size_t(pos)])) ++pos;
  return pos;
}

// One step left or right, a CR LF pair being one step.
int StepLeft(const AnsiString& t, int pos) {
  if (pos <= 0) return 0;
  if (pos >= 2 && t[std::size_t(pos - 1)] == '\n' && t[std::size_t(pos - 2)] == '\r') return pos - 2;
  return pos - 1;
}

int StepRight(const AnsiString& t, int pos) {
  const int n = int(t.size());
  if (pos >= n) return n;
  if (t[std::size_t(pos)] == '\r' && pos + 1 < n && t[std::size_t(pos + 1)] == '\n') return pos + 2;
  return pos + 1;
}

void MoveCaret(HWND w, TEditState* s, int pos, bool extend) {
  s->Caret = std::clamp(pos, 0, int(s->Text.size()));
  if (!extend) s->Anchor = s->Caret;
  ScrollToCaret(w, s);
  InvalidateRect(w, nullptr, FALSE);
}

void EditKeyDown(HWND w, TEditState* s, WPARAM key) {
  const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
  const AnsiString& t = s->Text;
  TMeasureDC dc(w, s->Font);
  const std::vector<TLine> lines = Layout(w, s, dc);
  const int li = LineOf(lines, s->Caret);
  const TLine& line = lines[std::size_t(li)];
  auto vertical = [&](int delta) {
    if (!Multi(w)) return;
    const int target = std::clamp(li + delta, 0, int(lines.size()) - 1);
    const int x = XOf(s, dc, line, s->Caret);
    const TLine& to = lines[std::size_t(target)];
    int best = to.Start, bestDistance = 1 << 30;
    for (int i = 0; i <= to.Length; ++i) {
      const int d = std::abs(XOf(s, dc, to, to.Start + i) - x);
      if (d < bestDistance) {
        bestDistance = d;
        best = to.Start + i;
      }
    }
    MoveCaret(w, s, best, shift);
  };
  const RECT fr = FormatRect(w, s);
  const int page = std::max(1, fr.Height() / LineHeight(dc));
  switch (key) {
    case VK_LEFT:
      if (!shift && SelMin(s) != SelMax(s) && !ctrl)
        MoveCaret(w, s, SelMin(s), false);
      else
        MoveCaret(w, s, ctrl ? WordLeft(t, s->Caret) : StepLeft(t, s->Caret), shift);
      break;
    case VK_RIGHT:
      if (!shift && SelMin(s) != SelMax(s) && !ctrl)
        MoveCaret(w, s, SelMax(s), false);
      else
        MoveCaret(w, s, ctrl ? WordRight(t, s->Caret) : StepRight(t, s->Caret), shift);
      break;
    case VK_HOME: MoveCaret(w, s, ctrl ? 0 : line.Start, shift); break;
    case VK_END: MoveCaret(w, s, ctrl ? int(t.size()) : line.Start + line.Length, shift); break;
    case VK_UP: vertical(-1); break;
    case VK_DOWN: vertical(1); break;
    case VK_PRIOR: vertical(-page); break;
    case VK_NEXT: vertical(page); break;
    case VK_DELETE:
      if (StyleOf(w) & ES_READONLY) {
        MessageBeep(0);
      } else if (shift) {
        SendMessage(w, WM_CUT, 0, 0);
      } else {
        if (SelMin(s) == SelMax(s)) s->Caret = ctrl ? WordRight(t, s->Caret) : StepRight(t, s->Caret);
        ReplaceSelection(w, s, AnsiString(), true);
      }
      break;
    case VK_INSERT:
      if (ctrl)
        SendMessage(w, WM_COPY, 0, 0);
      else if (shift)
        SendMessage(w, WM_PASTE, 0, 0);
      break;
    default: break;
  }
}

void EditChar(HWND w, TEditState* s, char ch) {
  const DWORD style = StyleOf(w);
  switch (Byte(ch)) {
    case 0x03: SendMessage(w, WM_COPY, 0, 0); return;
    case 0x16: SendMessage(w, WM_PASTE, 0, 0); return;
    case 0x18: SendMessage(w, WM_CUT, 0, 0); return;
    case 0x1A: SendMessage(w, WM_UNDO, 0, 0); return;
    default: break;
  }
  if (style & ES_READONLY) {
    MessageBeep(0);
    return;
  }
  if (ch == '\b') {
    if (SelMin(s) == SelMax(s)) {
      if (s->Caret == 0) return;
      s->Caret = GetKeyState(VK_CONTROL) < 0 ? WordLeft(s->Text, s->Caret) : StepLeft(s->Text, s->Caret);
    }
    ReplaceSelection(w, s, AnsiString(), true);
    return;
  }
  if (ch == '\r') {
    if (Multi(w)) ReplaceSelection(w, s, "\r\n", true);
    return;
  }
  if (ch == '\t') {
    if (Multi(w)) ReplaceSelection(w, s, "\t", true);
    return;
  }
  if (Byte(ch) < 0x20) return;
  if ((style & ES_NUMBER) && !(ch >= '0' && ch <= '9')) {
    MessageBeep(0);
    return;
  }
  ReplaceSelection(w, s, AnsiString(1, ch), true);
}

LRESULT EditProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (StateLifetime<TEditState>(w, msg, wParam, lParam, result)) return result;
  auto* s = StateOf<TEditState>(w);
  if (!s) return DefWindowProc(w, msg, wParam, lParam);
  switch (msg) {
    case WM_SETFONT:
      s->Font = reinterpret_cast<HFONT>(wParam);
      if (s->Focused) MakeCaret(w, s);  // as tall as a line of the new font
      ScrollToCaret(w, s);
      if (lParam) InvalidateRect(w, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s->Font);
    case WM_SETTEXT: {
      s->Text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      if (!Multi(w)) {
        const std::size_t brk = s->Text.find_first_of("\r\n");
        if (brk != AnsiString::npos) s->Text.resize(brk);
      }
      s->Anchor = s->Caret = 0;
      s->ScrollX = 0;
      s->FirstLine = 0;
      s->Modified = false;
      s->CanUndo = false;
      ScrollToCaret(w, s);
      InvalidateRect(w, nullptr, TRUE);
      if (!Multi(w)) Notify(w, EN_CHANGE);
      return TRUE;
    }
    case WM_GETTEXT: {
      char* out = reinterpret_cast<char*>(lParam);
      const int max = int(wParam);
      if (!out || max <= 0) return 0;
      const int n = std::min<int>(int(s->Text.size()), max - 1);
      std::memcpy(out, s->Text.data(), std::size_t(n));
      out[n] = 0;
      return n;
    }
    case WM_GETTEXTLENGTH: return LRESULT(s->Text.size());
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: return PaintMessage(w, wParam, PaintEdit);
    case WM_SIZE:
      ScrollToCaret(w, s);
      InvalidateRect(w, nullptr, TRUE);
      return 0;
    case WM_ENABLE: InvalidateRect(w, nullptr, TRUE); return 0;
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
      if (Multi(w)) code |= DLGC_WANTALLKEYS;
      return code;
    }
    case WM_SETFOCUS:
      s->Focused = true;
      MakeCaret(w, s);
      InvalidateRect(w, nullptr, FALSE);
      Notify(w, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      s->Focused = false;
      s->Selecting = false;
      DestroyCaret();
      InvalidateRect(w, nullptr, FALSE);
      Notify(w, EN_KILLFOCUS);
      return 0;
    case WM_KEYDOWN: EditKeyDown(w, s, wParam); return 0;
    case WM_CHAR: EditChar(w, s, char(wParam)); return 0;
    case WM_LBUTTONDOWN: {
      if (GetFocus() != w) SetFocus(w);
      const int pos = CharFromPoint(w, s, MAKEPOINT(lParam));
      MoveCaret(w, s, pos, (wParam & MK_SHIFT) != 0);
      s->Selecting = true;
      SetCapture(w);
      return 0;
    }
    case WM_LBUTTONDBLCLK: {
      const int pos = CharFromPoint(w, s, MAKEPOINT(lParam));
      s->Anchor = WordLeft(s->Text, std::min<int>(int(s->Text.size()), pos + 1));
      if (s->Anchor > pos) s->Anchor = pos;
      int end = pos;
      while (end < int(s->Text.size()) && IsWordChar(s->Text[std::size_t(end)])) ++end;
      MoveCaret(w, s, end, true);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (s->Selecting) MoveCaret(w, s, CharFromPoint(w, s, MAKEPOINT(lParam)), true);
      return 0;
    case WM_LBUTTONUP:
      if (s->Selecting) {
        s->Selecting = false;
        ReleaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != w) s->Selecting = false;
      return 0;
    case WM_MOUSEWHEEL:
      if (Multi(w)) {
        UINT lines = 3;
        SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
        SendMessage(w, EM_LINESCROLL, 0, -GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * int(lines));
        return 0;
      }
      return DefWindowProc(w, msg, wParam, lParam);
    case WM_VSCROLL: {
      if (!Multi(w)) return 0;
      TMeasureDC dc(w, s->Font);
      const int page = std::max(1, FormatRect(w, s).Height() / LineHeight(dc));
      int delta = 0;
      switch (LOWORD(wParam)) {
        case SB_LINEUP: delta = -1; break;
        case SB_LINEDOWN: delta = 1; break;
        case SB_PAGEUP: delta = -page; break;
        case SB_PAGEDOWN: delta = page; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: delta = SHORT(HIWORD(wParam)) - s->FirstLine; break;
        case SB_TOP: delta = -s->FirstLine; break;
        case SB_BOTTOM: delta = 1 << 20; break;
        default: break;
      }
      SendMessage(w, EM_LINESCROLL, 0, delta);
      return 0;
    }
    case WM_HSCROLL: {
      if (!Multi(w) || !(StyleOf(w) & ES_AUTOHSCROLL)) return 0;
      TMeasureDC dc(w, s->Font);
      TEXTMETRIC tm;
      GetTextMetrics(dc, &tm);
      const int column = std::max<int>(1, tm.tmAveCharWidth);
      const int page = std::max<int>(column, FormatRect(w, s).Width());
      int x = s->ScrollX;
      switch (LOWORD(wParam)) {
        case SB_LINELEFT: x -= column; break;
        case SB_LINERIGHT: x += column; break;
        case SB_PAGELEFT: x -= page; break;
        case SB_PAGERIGHT: x += page; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: x = SHORT(HIWORD(wParam)); break;
        case SB_LEFT: x = 0; break;
        case SB_RIGHT: x = 1 << 20; break;
        default: break;
      }
      ScrollHorizontally(w, s, x);
      return 0;
    }
    case WM_CUT:
      if (SelMin(s) == SelMax(s) || s->Password) return 0;
      SendMessage(w, WM_COPY, 0, 0);
      SendMessage(w, WM_CLEAR, 0, 0);
      return 0;
    case WM_COPY:
      if (SelMin(s) == SelMax(s) || s->Password) return 0;
      CopyToClipboard(w, s->Text.substr(std::size_t(SelMin(s)), std::size_t(SelMax(s) - SelMin(s))));
      return 0;
    case WM_PASTE:
      if (StyleOf(w) & ES_READONLY) return 0;
      ReplaceSelection(w, s, ClipboardText(w), true);
      return 0;
    case WM_CLEAR:
      if ((StyleOf(w) & ES_READONLY) || SelMin(s) == SelMax(s)) return 0;
      ReplaceSelection(w, s, AnsiString(), true);
      return 0;
    case WM_UNDO:
    case EM_UNDO: {
      if (!s->CanUndo) return FALSE;
      // Undoing twice redoes: the text before the undo becomes the undo text.
      std::swap(s->Text, s->UndoText);
      std::swap(s->Anchor, s->UndoAnchor);
      std::swap(s->Caret, s->UndoCaret);
      EditChanged(w, s);
      return TRUE;
    }
    case EM_CANUNDO: return s->CanUndo;
    case EM_EMPTYUNDOBUFFER: s->CanUndo = false; return 0;
    case EM_GETSEL: {
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = DWORD(SelMin(s));
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = DWORD(SelMax(s));
      return LRESULT(MAKELONG(WORD(std::min(SelMin(s), 0xFFFF)), WORD(std::min(SelMax(s), 0xFFFF))));
    }
    case EM_SETSEL: {
      const int n = int(s->Text.size());
      int start = int(std::intptr_t(wParam)), end = int(lParam);
      if (start == -1) {
        s->Anchor = s->Caret;
      } else {
        if (end < 0 || end > n) end = n;
        if (start < 0 || start > n) start = n;
        s->Anchor = std::min(start, end);
        s->Caret = std::max(start, end);
      }
      ScrollToCaret(w, s);
      InvalidateRect(w, nullptr, FALSE);
      return 0;
    }
    case EM_REPLACESEL:
      ReplaceSelection(w, s, lParam ? reinterpret_cast<const char*>(lParam) : "", wParam != 0);
      return 0;
    case EM_LIMITTEXT: s->Limit = wParam ? int(std::min<WPARAM>(wParam, 0x7FFFFFFE)) : 0x7FFFFFFE; return 0;
    case EM_GETLIMITTEXT: return s->Limit;
    case EM_GETMODIFY: return s->Modified;
    case EM_SETMODIFY: s->Modified = wParam != 0; return 0;
    case EM_SETREADONLY: {
      const LONG_PTR st = GetWindowLongPtr(w, GWL_STYLE);
      SetWindowLongPtr(w, GWL_STYLE, wParam ? (st | ES_READONLY) : (st & ~LONG_PTR(ES_READONLY)));
      InvalidateRect(w, nullptr, TRUE);
      return TRUE;
    }
    case EM_SETPASSWORDCHAR:
      if (Multi(w)) return 0;
      s->Password = char(wParam);
      ScrollToCaret(w, s);
      InvalidateRect(w, nullptr, TRUE);
      return 0;
    case EM_GETPASSWORDCHAR: return Byte(s->Password);
    case EM_SETMARGINS:
      if (wParam & EC_LEFTMARGIN) s->LeftMargin = LOWORD(std::uintptr_t(lParam)) == EC_USEFONTINFO ? 1 : LOWORD(std::uintptr_t(lParam));
      if (wParam & EC_RIGHTMARGIN) s->RightMargin = HIWORD(std::uintptr_t(lParam)) == EC_USEFONTINFO ? 1 : HIWORD(std::uintptr_t(lParam));
      InvalidateRect(w, nullptr, TRUE);
      return 0;
    case EM_GETMARGINS: return MAKELONG(WORD(s->LeftMargin), WORD(s->RightMargin));
    case EM_GETRECT:
      if (lParam) *reinterpret_cast<RECT*>(lParam) = FormatRect(w, s);
      return 0;
    case EM_SETRECT:
    case EM_SETRECTNP:
      if (lParam) {
        s->FormatRect = *reinterpret_cast<const RECT*>(lParam);
        s->HasRect = true;
      } else {
        s->HasRect = false;
      }
      if (msg == EM_SETRECT) InvalidateRect(w, nullptr, TRUE);
      return 0;
    case EM_SETTABSTOPS:
    case EM_FMTLINES: return TRUE;
    default: break;
  }
  // Line and position queries.
  TMeasureDC dc(w, s->Font);
  const std::vector<TLine> lines = Layout(w, s, dc);
  switch (msg) {
    case EM_GETLINECOUNT: return LRESULT(lines.size());
    case EM_LINEINDEX: {
      const int li = int(std::intptr_t(wParam)) < 0 ? LineOf(lines, s->Caret) : int(wParam);
      return li < int(lines.size()) ? lines[std::size_t(li)].Start : -1;
    }
    case EM_LINELENGTH: {
      const int index = int(std::intptr_t(wParam));
      if (index < 0) {
        // The characters of the selected lines that are not selected.
        const TLine& a = lines[std::size_t(LineOf(lines, SelMin(s)))];
        const TLine& b = lines[std::size_t(LineOf(lines, SelMax(s)))];
        return (SelMin(s) - a.Start) + (b.Start + b.Length - SelMax(s));
      }
      return lines[std::size_t(LineOf(lines, std::min<int>(index, int(s->Text.size()))))].Length;
    }
    case EM_LINEFROMCHAR: {
      const int index = int(std::intptr_t(wParam));
      return LineOf(lines, index < 0 ? s->Caret : std::min<int>(index, int(s->Text.size())));
    }
    case EM_GETLINE: {
      const int li = int(wParam);
      char* out = reinterpret_cast<char*>(lParam);
      if (!out || li < 0 || li >= int(lines.size())) return 0;
      WORD size;
      std::memcpy(&size, out, sizeof size);
      const TLine& line = lines[std::size_t(li)];
      const int n = std::min<int>(line.Length, size);
      std::memcpy(out, s->Text.data() + line.Start, std::size_t(n));
      return n;  // not zero-terminated, as on the platform
    }
    case EM_GETFIRSTVISIBLELINE: return Multi(w) ? s->FirstLine : 0;
    case EM_LINESCROLL: {
      if (!Multi(w)) return FALSE;
      const int visible = std::max(1, FormatRect(w, s).Height() / LineHeight(dc));
      const int first = s->FirstLine;
      s->FirstLine = std::clamp(s->FirstLine + int(lParam), 0, std::max(0, int(lines.size()) - visible));
      UpdateScrollBars(w, s, dc, lines, visible);
      InvalidateRect(w, nullptr, FALSE);
      if (s->FirstLine != first) Notify(w, EN_VSCROLL);
      // Columns scroll a text that does not wrap by the font's average character width.
      if (wParam && (StyleOf(w) & ES_AUTOHSCROLL)) {
        TEXTMETRIC tm;
        GetTextMetrics(dc, &tm);
        ScrollHorizontally(w, s, s->ScrollX + int(std::intptr_t(wParam)) * std::max<int>(1, tm.tmAveCharWidth));
      }
      return TRUE;
    }
    case EM_SCROLLCARET:
      ScrollToCaret(w, s);
      InvalidateRect(w, nullptr, FALSE);
      return TRUE;
    case EM_SCROLL: {
      int delta = 0;
      switch (wParam) {
        case SB_LINEUP: delta = -1; break;
        case SB_LINEDOWN: delta = 1; break;
        case SB_PAGEUP: delta = -std::max(1, FormatRect(w, s).Height() / LineHeight(dc)); break;
        case SB_PAGEDOWN: delta = std::max(1, FormatRect(w, s).Height() / LineHeight(dc)); break;
        default: break;
      }
      SendMessage(w, EM_LINESCROLL, 0, delta);
      return MAKELRESULT(delta, TRUE);
    }
    case EM_CHARFROMPOS: {
      const int pos = CharFromPoint(w, s, MAKEPOINT(lParam));
      return MAKELRESULT(pos, LineOf(lines, pos));
    }
    case EM_POSFROMCHAR: {
      const int index = int(wParam);
      if (index < 0 || index > int(s->Text.size())) return -1;
      const RECT fr = FormatRect(w, s);
      const int li = LineOf(lines, index);
      const TLine& line = lines[std::size_t(li)];
      const int x = fr.Left - s->ScrollX + AlignOffset(w, s, dc, line) + XOf(s, dc, line, index);
      const int y = fr.Top + (li - (Multi(w) ? s->FirstLine : 0)) * LineHeight(dc);
      return MAKELRESULT(x, y);
    }
    default: return DefWindowProc(w, msg, wParam, lParam);
  }
}

// ---- LISTBOX ----------------------------------------------------------------------------------

struct TItem {
  AnsiString Text;
  ULONG_PTR Data = 0;
  int Height = 0;
  bool Selected = false;
};

struct TListState {
  explicit TListState(const CREATESTRUCT* cs) : WantsVScroll(cs && (DWORD(cs->style) & WS_VSCROLL)) {}
  // Created with a vertical scroll bar: the bar comes and goes with the items, while the style
  // bit only tells whether it shows now.
  bool WantsVScroll;
  std::vector<TItem> Items;
  int Cur = -1;     // the selected item of a single-selection list
  int Caret = 0;    // the focused item
  int Anchor = 0;   // where a shift range starts
  int Top = 0;
  int ItemHeight = 13;
  int HorizontalExtent = 0;
  int ColumnWidth = 0;  // multi-column lists
  int TabStop = 32;     // dialog units (a quarter of an average character)
  HFONT Font = nullptr;
  bool Focused = false;
  bool Tracking = false;
};

DWORD ListStyle(HWND w) { return StyleOf(w); }
bool OwnerDrawn(HWND w) { return (ListStyle(w) & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0; }
bool HasStrings(HWND w) { return !OwnerDrawn(w) || (ListStyle(w) & LBS_HASSTRINGS); }
bool MultiSel(HWND w) { return (ListStyle(w) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }
bool Variable(HWND w) { return (ListStyle(w) & LBS_OWNERDRAWVARIABLE) != 0; }

int ItemHeightOf(HWND w, const TListState* s, int index) {
  if (Variable(w) && index >= 0 && index < int(s->Items.size())) return std::max(1, s->Items[std::size_t(index)].Height);
  return std::max(1, s->ItemHeight);
}

bool MultiColumn(HWND w) { return (ListStyle(w) & LBS_MULTICOLUMN) && !Variable(w); }

// Items per column of a multi-column list, and the column width.
int RowsPerColumn(HWND w, const TListState* s) {
  RECT client;
  GetClientRect(w, &client);
  return std::max(1, client.Bottom / std::max(1, s->ItemHeight));
}

int ColumnWidthOf(HWND w, const TListState* s) {
  RECT client;
  GetClientRect(w, &client);
  return s->ColumnWidth > 0 ? s->ColumnWidth : std::max(1, client.Right);
}

RECT ItemRect(HWND w, const TListState* s, int index) {
  RECT client;
  GetClientRect(w, &client);
  if (MultiColumn(w)) {
    const int rows = RowsPerColumn(w, s), cw = ColumnWidthOf(w, s), h = std::max(1, s->ItemHeight);
    const int rel = index - s->Top;
    const int col = rel >= 0 ? rel / rows : -((-rel + rows - 1) / rows);
    const int row = rel - col * rows;
    return {col * cw, row * h, (col + 1) * cw, (row + 1) * h};
  }
  int y = 0;
  if (index >= s->Top) {
    for (int i = s->Top; i < index; ++i) y += ItemHeightOf(w, s, i);
  } else {
    for (int i = index; i < s->Top; ++i) y -= ItemHeightOf(w, s, i);
  }
  return {client.Left, y, client.Right, y + ItemHeightOf(w, s, index)};
}

int VisibleCount(HWND w, const TListState* s) {
  RECT client;
  GetClientRect(w, &client);
  if (MultiColumn(w)) return RowsPerColumn(w, s) * std::max(1, client.Right / ColumnWidthOf(w, s));
  int y = 0, n = 0;
  for (int i = s->Top; i < int(s->Items.size()); ++i) {
    y += ItemHeightOf(w, s, i);
    if (y > client.Bottom) break;
    ++n;
  }
  if (!Variable(w)) return std::max(1, client.Bottom / std::max(1, s->ItemHeight));
  return std::max(1, n);
}

void ListScrollBar(HWND w, TListState* s) {
  if (!s->WantsVScroll) return;
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | ((ListStyle(w) & LBS_DISABLENOSCROLL) ? SIF_DISABLENOSCROLL : 0);
  si.nMin = 0;
  si.nMax = std::max(0, int(s->Items.size()) - 1);
  si.nPage = UINT(VisibleCount(w, s));
  si.nPos = s->Top;
  SetScrollInfo(w, SB_VERT, &si, TRUE);
}

void SetTop(HWND w, TListState* s, int top) {
  const int maxTop = std::max(0, int(s->Items.size()) - VisibleCount(w, s));
  top = std::clamp(top, 0, maxTop);
  if (top == s->Top) return;
  s->Top = top;
  ListScrollBar(w, s);
  InvalidateRect(w, nullptr, TRUE);
}

void EnsureVisible(HWND w, TListState* s, int index) {
  if (index < 0) return;
  if (index < s->Top) {
    SetTop(w, s, index);
    return;
  }
  const int visible = VisibleCount(w, s);
  if (index >= s->Top + visible) SetTop(w, s, index - visible + 1);
}

void MeasureItem(HWND w, TListState* s, int index) {
  MEASUREITEMSTRUCT mi;
  mi.CtlType = ODT_LISTBOX;
  mi.CtlID = UINT(GetWindowLongPtr(w, GWLP_ID));
  mi.itemID = UINT(index);
  mi.itemHeight = UINT(s->ItemHeight);
  mi.itemData = index >= 0 && index < int(s->Items.size()) ? s->Items[std::size_t(index)].Data : 0;
  if (HWND parent = GetParent(w)) SendMessage(parent, WM_MEASUREITEM, mi.CtlID, reinterpret_cast<LPARAM>(&mi));
  if (index < 0)
    s->ItemHeight = int(mi.itemHeight);
  else
    s->Items[std::size_t(index)].Height = int(mi.itemHeight);
}

void PaintList(HWND w, HDC dc) {
  auto* s = StateOf<TListState>(w);
  RECT client;
  GetClientRect(w, &client);
  HBRUSH brush = ControlColor(w, dc, WM_CTLCOLORLISTBOX);
  const COLORREF textColor = GetTextColor(dc);
  FillRect(dc, &client, brush);
  HGDIOBJ oldFont = SelectObject(dc, FontOr(s->Font));
  SetBkMode(dc, TRANSPARENT);
  const bool enabled = IsWindowEnabled(w);
  for (int i = s->Top; i < int(s->Items.size()); ++i) {
    const RECT r = ItemRect(w, s, i);
    if (r.Top >= client.Bottom || r.Left >= client.Right) break;
    const TItem& item = s->Items[std::size_t(i)];
    const bool selected = MultiSel(w) ? item.Selected : i == s->Cur;
    const bool focus = s->Focused && i == s->Caret;
    if (OwnerDrawn(w)) {
      DRAWITEMSTRUCT di;
      di.CtlType = ODT_LISTBOX;
      di.CtlID = UINT(GetWindowLongPtr(w, GWLP_ID));
      di.itemID = UINT(i);
      di.itemAction = ODA_DRAWENTIRE;
      di.itemState = (selected ? ODS_SELECTED : 0) | (focus ? ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED);
      di.hwndItem = w;
      di.hDC = dc;
      di.rcItem = r;
      di.itemData = item.Data;
      if (HWND parent = GetParent(w)) SendMessage(parent, WM_DRAWITEM, di.CtlID, reinterpret_cast<LPARAM>(&di));
      continue;
    }
    if (selected) FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, !enabled ? GetSysColor(COLOR_GRAYTEXT) : selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : textColor);
    RECT t{r.Left + 2, r.Top, r.Right, r.Bottom};
    UINT format = DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER;
    if (ListStyle(w) & LBS_USETABSTOPS) format |= DT_EXPANDTABS | DT_TABSTOP | (UINT(std::clamp(s->TabStop / 4, 1, 255)) << 8);
    DrawText(dc, item.Text.c_str(), int(item.Text.size()), &t, format);
    if (focus) DrawFocusRect(dc, &r);
  }
  if (s->Items.empty() && s->Focused) {
    RECT r{client.Left, client.Top, client.Right, client.Top + s->ItemHeight};
    DrawFocusRect(dc, &r);
  }
  SelectObject(dc, oldFont);
}

void ListNotify(HWND w, WORD code) {
  if (ListStyle(w) & LBS_NOTIFY) Notify(w, code);
}

int ItemFromPoint(HWND w, TListState* s, POINT p, bool& outside) {
  RECT client;
  GetClientRect(w, &client);
  outside = p.X < client.Left || p.X >= client.Right || p.Y < client.Top || p.Y >= client.Bottom;
  if (s->Items.empty()) return 0;
  if (MultiColumn(w)) {
    const int rows = RowsPerColumn(w, s);
    const int row = std::clamp(p.Y / std::max(1, s->ItemHeight), 0, rows - 1);
    const int index = s->Top + std::max(0, p.X / ColumnWidthOf(w, s)) * rows + row;
    if (index >= int(s->Items.size())) {
      outside = true;
      return int(s->Items.size()) - 1;
    }
    return index;
  }
  int y = 0;
  for (int i = s->Top; i < int(s->Items.size()); ++i) {
    const int h = ItemHeightOf(w, s, i);
    if (p.Y >= y && p.Y < y + h) return i;
    y += h;
  }
  outside = true;
  return p.Y < 0 ? s->Top : int(s->Items.size()) - 1;
}

// Moves the focus (and the selection of a single or extended list) to `index`.
void SelectFrom(HWND w, TListState* s, int index, bool shift, bool ctrl, bool toggle) {
  if (s->Items.empty()) return;
  index = std::clamp(index, 0, int(s->Items.size()) - 1);
  const DWORD style = ListStyle(w);
  bool changed = false;
  if (style & LBS_NOSEL) {
    // Nothing is selected in a list that does not select.
  } else if (style & LBS_MULTIPLESEL) {
    if (toggle) {
      s->Items[std::size_t(index)].Selected = !s->Items[std::size_t(index)].Selected;
      changed = true;
    }
  } else if (style & LBS_EXTENDEDSEL) {
    if (shift) {
      const int a = std::min(s->Anchor, index), b = std::max(s->Anchor, index);
      if (!ctrl)
        for (auto& item : s->Items) item.Selected = false;
      for (int i = a; i <= b; ++i) s->Items[std::size_t(i)].Selected = true;
    } else if (ctrl) {
      if (toggle) s->Items[std::size_t(index)].Selected = !s->Items[std::size_t(index)].Selected;
      s->Anchor = index;
    } else {
      for (auto& item : s->Items) item.Selected = false;
      s->Items[std::size_t(index)].Selected = true;
      s->Anchor = index;
    }
    changed = true;
  } else {
    changed = s->Cur != index;
    s->Cur = index;
  }
  s->Caret = index;
  EnsureVisible(w, s, index);
  InvalidateRect(w, nullptr, TRUE);
  if (changed) ListNotify(w, LBN_SELCHANGE);
}

int InsertItem(HWND w, TListState* s, int index, const char* text, ULONG_PTR data) {
  TItem item;
  if (HasStrings(w))
    item.Text = text ? text : "";
  else
    item.Data = data;
  if (index < 0 || index > int(s->Items.size())) index = int(s->Items.size());
  s->Items.insert(s->Items.begin() + index, item);
  if (s->Cur >= index) ++s->Cur;
  if (s->Caret > index) ++s->Caret;
  if (Variable(w)) MeasureItem(w, s, index);
  ListScrollBar(w, s);
  InvalidateRect(w, nullptr, TRUE);
  return index;
}

bool PrefixMatch(const AnsiString& item, const AnsiString& text) {
  return item.size() >= text.size() && AnsiSameText(item.substr(0, text.size()), text);
}

LRESULT FindString(HWND w, TListState* s, WPARAM start, const char* text, bool exact) {
  const int n = int(s->Items.size());
  if (n == 0 || !text) return LB_ERR;
  const AnsiString want = text;
  int first = int(std::intptr_t(start));
  if (first < -1 || first >= n) first = -1;
  for (int k = 1; k <= n; ++k) {
    const int i = (first + k) % n;
    const AnsiString& t = s->Items[std::size_t(i)].Text;
    if (exact ? AnsiSameText(t, want) : PrefixMatch(t, want)) return i;
  }
  return LB_ERR;
}

LRESULT ListProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (StateLifetime<TListState>(w, msg, wParam, lParam, result)) return result;
  auto* s = StateOf<TListState>(w);
  if (!s) return DefWindowProc(w, msg, wParam, lParam);
  if (msg == WM_CREATE) {
    if (ListStyle(w) & LBS_OWNERDRAWFIXED) MeasureItem(w, s, -1);
    ListScrollBar(w, s);
    return 0;
  }
  const int count = int(s->Items.size());
  switch (msg) {
    case WM_SETFONT:
      s->Font = reinterpret_cast<HFONT>(wParam);
      if (!OwnerDrawn(w)) {
        HDC dc = GetDC(w);
        HGDIOBJ old = SelectObject(dc, FontOr(s->Font));
        s->ItemHeight = TextHeight(dc);
        SelectObject(dc, old);
        ReleaseDC(w, dc);
      }
      ListScrollBar(w, s);
      if (lParam) InvalidateRect(w, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s->Font);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: return PaintMessage(w, wParam, PaintList);
    case WM_SIZE:
      SetTop(w, s, s->Top);
      ListScrollBar(w, s);
      InvalidateRect(w, nullptr, TRUE);
      return 0;
    case WM_ENABLE: InvalidateRect(w, nullptr, TRUE); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
      s->Focused = true;
      InvalidateRect(w, nullptr, TRUE);
      ListNotify(w, LBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      s->Focused = false;
      InvalidateRect(w, nullptr, TRUE);
      ListNotify(w, LBN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (GetFocus() != w) SetFocus(w);
      bool outside = false;
      const int index = ItemFromPoint(w, s, MAKEPOINT(lParam), outside);
      if (outside || count == 0) return 0;
      SelectFrom(w, s, index, (wParam & MK_SHIFT) != 0, (wParam & MK_CONTROL) != 0, true);
      if (msg == WM_LBUTTONDBLCLK) {
        ListNotify(w, LBN_DBLCLK);
        return 0;
      }
      s->Tracking = true;
      SetCapture(w);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (s->Tracking && !(ListStyle(w) & LBS_MULTIPLESEL)) {
        bool outside = false;
        const int index = ItemFromPoint(w, s, MAKEPOINT(lParam), outside);
        if (index != s->Caret) SelectFrom(w, s, index, (ListStyle(w) & LBS_EXTENDEDSEL) != 0, false, false);
      }
      return 0;
    case WM_LBUTTONUP:
      if (s->Tracking) {
        s->Tracking = false;
        ReleaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != w) s->Tracking = false;
      return 0;
    case WM_MOUSEWHEEL: {
      UINT lines = 3;
      SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
      SetTop(w, s, s->Top - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * int(lines));
      return 0;
    }
    case WM_VSCROLL: {
      const int page = VisibleCount(w, s);
      switch (LOWORD(wParam)) {
        case SB_LINEUP: SetTop(w, s, s->Top - 1); break;
        case SB_LINEDOWN: SetTop(w, s, s->Top + 1); break;
        case SB_PAGEUP: SetTop(w, s, s->Top - page); break;
        case SB_PAGEDOWN: SetTop(w, s, s->Top + page); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: SetTop(w, s, SHORT(HIWORD(wParam))); break;
        case SB_TOP: SetTop(w, s, 0); break;
        case SB_BOTTOM: SetTop(w, s, count); break;
        default: break;
      }
      return 0;
    }
    case WM_KEYDOWN: {
      if (count == 0) return 0;
      const bool shift = GetKeyState(VK_SHIFT) < 0 && (ListStyle(w) & LBS_EXTENDEDSEL);
      const bool ctrl = GetKeyState(VK_CONTROL) < 0;
      const int page = VisibleCount(w, s);
      int target = s->Caret;
      switch (wParam) {
        case VK_UP: target = s->Caret - 1; break;
        case VK_DOWN: target = s->Caret + 1; break;
        case VK_LEFT: target = MultiColumn(w) ? s->Caret - RowsPerColumn(w, s) : s->Caret - 1; break;
        case VK_RIGHT: target = MultiColumn(w) ? s->Caret + RowsPerColumn(w, s) : s->Caret + 1; break;
        case VK_PRIOR: target = s->Caret - page + 1; break;
        case VK_NEXT: target = s->Caret + page - 1; break;
        case VK_HOME: target = 0; break;
        case VK_END: target = count - 1; break;
        case VK_SPACE:
          if (MultiSel(w)) SelectFrom(w, s, s->Caret, false, true, true);
          return 0;
        default: return 0;
      }
      // Multiple selection moves only the focus; the others move the selection too.
      if (ListStyle(w) & LBS_MULTIPLESEL) {
        s->Caret = std::clamp(target, 0, count - 1);
        EnsureVisible(w, s, s->Caret);
        InvalidateRect(w, nullptr, TRUE);
      } else {
        SelectFrom(w, s, target, shift, ctrl && (ListStyle(w) & LBS_EXTENDEDSEL), false);
      }
      return 0;
    }
    case WM_CHAR: {
      if (!HasStrings(w) || Byte(wParam) < 0x20) return 0;
      const LRESULT found = FindString(w, s, WPARAM(s->Caret), AnsiString(1, char(wParam)).c_str(), false);
      if (found != LB_ERR) SelectFrom(w, s, int(found), false, false, false);
      return 0;
    }
    case LB_ADDSTRING: {
      int index = count;
      if ((ListStyle(w) & LBS_SORT) && HasStrings(w) && lParam) {
        const AnsiString text = reinterpret_cast<const char*>(lParam);
        index = int(std::upper_bound(s->Items.begin(), s->Items.end(), text,
                                     [](const AnsiString& t, const TItem& item) { return AnsiCompareText(t, item.Text) < 0; }) -
                    s->Items.begin());
      }
      return InsertItem(w, s, index, reinterpret_cast<const char*>(lParam), ULONG_PTR(lParam));
    }
    case LB_INSERTSTRING: {
      const int index = int(std::intptr_t(wParam));
      if (index > count) return LB_ERR;
      return InsertItem(w, s, index, reinterpret_cast<const char*>(lParam), ULONG_PTR(lParam));
    }
    case LB_DELETESTRING: {
      const int index = int(wParam);
      if (index < 0 || index >= count) return LB_ERR;
      if (OwnerDrawn(w)) {
        DELETEITEMSTRUCT di;
        di.CtlType = ODT_LISTBOX;
        di.CtlID = UINT(GetWindowLongPtr(w, GWLP_ID));
        di.itemID = UINT(index);
        di.hwndItem = w;
        di.itemData = s->Items[std::size_t(index)].Data;
        if (HWND parent = GetParent(w)) SendMessage(parent, WM_DELETEITEM, di.CtlID, reinterpret_cast<LPARAM>(&di));
      }
      s->Items.erase(s->Items.begin() + index);
      if (s->Cur == index)
        s->Cur = -1;
      else if (s->Cur > index)
        --s->Cur;
      if (s->Caret >= int(s->Items.size())) s->Caret = std::max(0, int(s->Items.size()) - 1);
      SetTop(w, s, s->Top);
      ListScrollBar(w, s);
      InvalidateRect(w, nullptr, TRUE);
      return LRESULT(s->Items.size());
    }
    case LB_RESETCONTENT:
      s->Items.clear();
      s->Cur = -1;
      s->Caret = s->Anchor = s->Top = 0;
      ListScrollBar(w, s);
      InvalidateRect(w, nullptr, TRUE);
      return 0;
    case LB_GETCOUNT: return count;
    case LB_GETTEXT: {
      const int index = int(wParam);
      if (index < 0 || index >= count) return LB_ERR;
      const TItem& item = s->Items[std::size_t(index)];
      if (!HasStrings(w)) {
        if (lParam) std::memcpy(reinterpret_cast<void*>(lParam), &item.Data, sizeof item.Data);
        return sizeof item.Data;
      }
      if (lParam) std::memcpy(reinterpret_cast<char*>(lParam), item.Text.c_str(), item.Text.size() + 1);
      return LRESULT(item.Text.size());
    }
    case LB_GETTEXTLEN: {
      const int index = int(wParam);
      if (index < 0 || index >= count) return LB_ERR;
      return HasStrings(w) ? LRESULT(s->Items[std::size_t(index)].Text.size()) : LRESULT(sizeof(ULONG_PTR));
    }
    case LB_SETCURSEL: {
      if (MultiSel(w)) return LB_ERR;
      const int index = int(std::intptr_t(wParam));
      if (index < -1 || index >= count) {
        s->Cur = -1;
        InvalidateRect(w, nullptr, TRUE);
        return LB_ERR;
      }
      s->Cur = index;
      if (index >= 0) {
        s->Caret = index;
        EnsureVisible(w, s, index);
      }
      InvalidateRect(w, nullptr, TRUE);
      return index;
    }
    case LB_GETCURSEL: return MultiSel(w) ? (count ? s->Caret : LB_ERR) : s->Cur;
    case LB_SETSEL: {
      if (!MultiSel(w)) return LB_ERR;
      const int index = int(lParam);
      if (index == -1) {
        for (auto& item : s->Items) item.Selected = wParam != 0;
      } else {
        if (index < 0 || index >= count) return LB_ERR;
        s->Items[std::size_t(index)].Selected = wParam != 0;
      }
      InvalidateRect(w, nullptr, TRUE);
      return 0;
    }
    case LB_GETSEL: {
      const int index = int(wParam);
      if (index < 0 || index >= count) return LB_ERR;
      return MultiSel(w) ? LRESULT(s->Items[std::size_t(index)].Selected) : LRESULT(index == s->Cur);
    }
    case LB_GETSELCOUNT:
      if (!MultiSel(w)) return LB_ERR;
      return LRESULT(std::count_if(s->Items.begin(), s->Items.end(), [](const TItem& i) { return i.Selected; }));
    case LB_GETSELITEMS: {
      if (!MultiSel(w)) return LB_ERR;
      auto* out = reinterpret_cast<INT*>(lParam);
      int n = 0;
      for (int i = 0; i < count && n < int(wParam); ++i)
        if (s->Items[std::size_t(i)].Selected) out[n++] = i;
      return n;
    }
    case LB_SELITEMRANGE:
    case LB_SELITEMRANGEEX: {
      if (!MultiSel(w)) return LB_ERR;
      int a, b;
      bool select;
      if (msg == LB_SELITEMRANGE) {
        a = LOWORD(std::uintptr_t(lParam));
        b = HIWORD(std::uintptr_t(lParam));
        select = wParam != 0;
      } else {
        a = int(wParam);
        b = int(lParam);
        select = a <= b;
      }
      if (a > b) std::swap(a, b);
      for (int i = std::max(0, a); i <= std::min(b, count - 1); ++i) s->Items[std::size_t(i)].Selected = select;
      InvalidateRect(w, nullptr, TRUE);
      return 0;
    }
    case LB_GETTOPINDEX: return s->Top;
    case LB_SETTOPINDEX:
      if (int(wParam) >= count && count > 0) return LB_ERR;
      SetTop(w, s, int(wParam));
      return 0;
    case LB_GETITEMDATA: {
      const int index = int(wParam);
      if (index < 0 || index >= count) return LB_ERR;
      return LRESULT(s->Items[std::size_t(index)].Data);
    }
    case LB_SETITEMDATA: {
      const int index = int(std::intptr_t(wParam));
      if (index < -1 || index >= count) return LB_ERR;
      if (index == -1)
        for (auto& item : s->Items) item.Data = ULONG_PTR(lParam);
      else
        s->Items[std::size_t(index)].Data = ULONG_PTR(lParam);
      return 0;
    }
    case LB_GETITEMHEIGHT: return ItemHeightOf(w, s, Variable(w) ? int(wParam) : -1);
    case LB_SETITEMHEIGHT: {
      const int h = LOWORD(std::uintptr_t(lParam));
      if (h <= 0 || h > 255) return LB_ERR;
      if (Variable(w)) {
        const int index = int(wParam);
        if (index < 0 || index >= count) return LB_ERR;
        s->Items[std::size_t(index)].Height = h;
      } else {
        s->ItemHeight = h;
      }
      ListScrollBar(w, s);
      InvalidateRect(w, nullptr, TRUE);
      return 0;
    }
    case LB_GETITEMRECT: {
      const int index = int(wParam);
      if (index < 0 || index >= std::max(count, 1) || !lParam) return LB_ERR;
      *reinterpret_cast<RECT*>(lParam) = ItemRect(w, s, index);
      return 0;
    }
    case LB_ITEMFROMPOINT: {
      bool outside = false;
      const int index = ItemFromPoint(w, s, MAKEPOINT(lParam), outside);
      return MAKELRESULT(index, outside ? 1 : 0);
    }
    case LB_FINDSTRING: return FindString(w, s, wParam, reinterpret_cast<const char*>(lParam), false);
    case LB_FINDSTRINGEXACT: return FindString(w, s, wParam, reinterpret_cast<const char*>(lParam), true);
    case LB_SELECTSTRING: {
      const LRESULT found = FindString(w, s, wParam, reinterpret_cast<const char*>(lParam), false);
      if (found != LB_ERR && !MultiSel(w)) SendMessage(w, LB_SETCURSEL, WPARAM(found), 0);
      return found;
    }
    case LB_SETCARETINDEX:
      if (int(wParam) < 0 || int(wParam) >= count) return LB_ERR;
      s->Caret = int(wParam);
      EnsureVisible(w, s, s->Caret);
      InvalidateRect(w, nullptr, TRUE);
      return 0;
    case LB_GETCARETINDEX: return s->Caret;
    case LB_SETANCHORINDEX:
      if (int(wParam) < 0 || int(wParam) >= count) return LB_ERR;
      s->Anchor = int(wParam);
      return 0;
    case LB_GETANCHORINDEX: return s->Anchor;
    case LB_SETHORIZONTALEXTENT: s->HorizontalExtent = int(wParam); return 0;
    case LB_GETHORIZONTALEXTENT: return s->HorizontalExtent;
    case LB_SETCOUNT:
      if (!(ListStyle(w) & LBS_NODATA)) return LB_ERR;
      s->Items.resize(std::size_t(wParam));
      ListScrollBar(w, s);
      InvalidateRect(w, nullptr, TRUE);
      return 0;
    case LB_SETTABSTOPS:
      if (wParam == 0)
        s->TabStop = 32;
      else if (lParam)
        s->TabStop = std::max(1, *reinterpret_cast<const INT*>(lParam));
      InvalidateRect(w, nullptr, TRUE);
      return TRUE;
    case LB_SETCOLUMNWIDTH:
      s->ColumnWidth = int(wParam);
      InvalidateRect(w, nullptr, TRUE);
      return 0;
    default: return DefWindowProc(w, msg, wParam, lParam);
  }
}

// ---- SCROLLBAR --------------------------------------------------------------------------------

struct TBarState {
  explicit TBarState(const CREATESTRUCT*) { Info.nMax = 100; }
  SCROLLINFO Info;
  int Hit = 0;  // 1 line up, 2 page up, 3 thumb, 4 page down, 5 line down
  int TrackOffset = 0;
  bool Focused = false;
};

bool Vertical(HWND w) { return (StyleOf(w) & SBS_VERT) != 0; }

struct TBarParts {
  int Length = 0;
  int Arrow = 0;
  int ThumbStart = 0;
  int ThumbSize = 0;
};

TBarParts BarParts(HWND w, const TBarState* s) {
  RECT r;
  GetClientRect(w, &r);
  TBarParts p;
  p.Length = Vertical(w) ? r.Height() : r.Width();
  const int thickness = Vertical(w) ? r.Width() : r.Height();
  p.Arrow = std::min(thickness, p.Length / 2);
  const int track = p.Length - 2 * p.Arrow;
  const int range = s->Info.nMax - s->Info.nMin + 1;
  if (track <= 8 || range <= 0) return p;
  p.ThumbSize = s->Info.nPage ? std::max(8, int((long long)track * s->Info.nPage / range)) : std::min(thickness, track);
  const int span = range - std::max<int>(1, int(s->Info.nPage));
  p.ThumbStart = p.Arrow + (span > 0 ? int((long long)(track - p.ThumbSize) * (s->Info.nPos - s->Info.nMin) / span) : 0);
  return p;
}

void PaintBar(HWND w, HDC dc) {
  auto* s = StateOf<TBarState>(w);
  RECT r;
  GetClientRect(w, &r);
  const bool v = Vertical(w);
  const TBarParts p = BarParts(w, s);
  auto part = [&](int from, int to) {
    return v ? RECT{r.Left, r.Top + from, r.Right, r.Top + to} : RECT{r.Left + from, r.Top, r.Left + to, r.Bottom};
  };
  // The track: the classic checkerboard of face and highlight.
  HBRUSH brush = ControlColor(w, dc, WM_CTLCOLORSCROLLBAR);
  RECT track = part(p.Arrow, p.Length - p.Arrow);
  FillRect(dc, &track, brush);
  const bool enabled = IsWindowEnabled(w) && s->Info.nMax > s->Info.nMin;
  RECT a1 = part(0, p.Arrow), a2 = part(p.Length - p.Arrow, p.Length);
  DrawFrameControl(dc, &a1, DFC_SCROLL, (v ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | (s->Hit == 1 ? DFCS_PUSHED | DFCS_FLAT : 0) | (enabled ? 0 : DFCS_INACTIVE));
  DrawFrameControl(dc, &a2, DFC_SCROLL, (v ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | (s->Hit == 5 ? DFCS_PUSHED | DFCS_FLAT : 0) | (enabled ? 0 : DFCS_INACTIVE));
  if (enabled && p.ThumbSize > 0) {
    if (s->Hit == 2 || s->Hit == 4) {
      RECT page = s->Hit == 2 ? part(p.Arrow, p.ThumbStart) : part(p.ThumbStart + p.ThumbSize, p.Length - p.Arrow);
      FillRect(dc, &page, GetSysColorBrush(COLOR_3DDKSHADOW));
    }
    RECT thumb = part(p.ThumbStart, p.ThumbStart + p.ThumbSize);
    FillRect(dc, &thumb, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT);
  }
}

void BarNotify(HWND w, int code, int pos) {
  HWND parent = GetParent(w);
  if (!parent) return;
  SendMessage(parent, Vertical(w) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, pos), reinterpret_cast<LPARAM>(w));
}

int HitPart(HWND w, const TBarState* s, POINT pt) {
  const TBarParts p = BarParts(w, s);
  const int at = Vertical(w) ? pt.Y : pt.X;
  if (at < p.Arrow) return 1;
  if (at >= p.Length - p.Arrow) return 5;
  if (p.ThumbSize == 0) return 0;
  if (at < p.ThumbStart) return 2;
  if (at < p.ThumbStart + p.ThumbSize) return 3;
  return 4;
}

void BarStep(HWND w, TBarState* s) {
  static constexpr int kCodes[] = {0, SB_LINEUP, SB_PAGEUP, 0, SB_PAGEDOWN, SB_LINEDOWN};
  if (s->Hit > 0 && s->Hit != 3) BarNotify(w, kCodes[s->Hit], 0);
}

LRESULT BarProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (StateLifetime<TBarState>(w, msg, wParam, lParam, result)) return result;
  auto* s = StateOf<TBarState>(w);
  if (!s) return DefWindowProc(w, msg, wParam, lParam);
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: return PaintMessage(w, wParam, PaintBar);
    case WM_ENABLE: InvalidateRect(w, nullptr, TRUE); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_SETFOCUS: s->Focused = true; return 0;
    case WM_KILLFOCUS: s->Focused = false; return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (!IsWindowEnabled(w) || s->Info.nMax <= s->Info.nMin) return 0;
      const POINT pt = MAKEPOINT(lParam);
      s->Hit = HitPart(w, s, pt);
      if (s->Hit == 0) return 0;
      const TBarParts p = BarParts(w, s);
      s->TrackOffset = (Vertical(w) ? pt.Y : pt.X) - p.ThumbStart;
      SetCapture(w);
      BarStep(w, s);
      // Held down, a part repeats: first after 400 ms, then every 60 ms.
      SetTimer(w, 1, 400, nullptr);
      InvalidateRect(w, nullptr, FALSE);
      return 0;
    }
    case WM_TIMER:
      if (wParam == 1 && s->Hit) {
        SetTimer(w, 1, 60, nullptr);
        BarStep(w, s);
      }
      return 0;
    case WM_MOUSEMOVE:
      if (s->Hit == 3) {
        const TBarParts p = BarParts(w, s);
        const int track = p.Length - 2 * p.Arrow - p.ThumbSize;
        const int at = (Vertical(w) ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam)) - s->TrackOffset - p.Arrow;
        const int span = s->Info.nMax - s->Info.nMin + 1 - std::max<int>(1, int(s->Info.nPage));
        const int pos = s->Info.nMin + (track > 0 ? int((long long)std::clamp(at, 0, track) * span / track) : 0);
        s->Info.nTrackPos = pos;
        BarNotify(w, SB_THUMBTRACK, pos);
      }
      return 0;
    case WM_LBUTTONUP:
      if (s->Hit) {
        KillTimer(w, 1);
        if (s->Hit == 3) BarNotify(w, SB_THUMBPOSITION, s->Info.nTrackPos);
        s->Hit = 0;
        ReleaseCapture();
        BarNotify(w, SB_ENDSCROLL, 0);
        InvalidateRect(w, nullptr, FALSE);
      }
      return 0;
    case WM_KEYDOWN:
      switch (wParam) {
        case VK_UP:
        case VK_LEFT: BarNotify(w, SB_LINEUP, 0); break;
        case VK_DOWN:
        case VK_RIGHT: BarNotify(w, SB_LINEDOWN, 0); break;
        case VK_PRIOR: BarNotify(w, SB_PAGEUP, 0); break;
        case VK_NEXT: BarNotify(w, SB_PAGEDOWN, 0); break;
        case VK_HOME: BarNotify(w, SB_TOP, 0); break;
        case VK_END: BarNotify(w, SB_BOTTOM, 0); break;
        default: return 0;
      }
      BarNotify(w, SB_ENDSCROLL, 0);
      return 0;
    case SBM_SETSCROLLINFO: {
      const auto* info = reinterpret_cast<const SCROLLINFO*>(lParam);
      if (!info) return s->Info.nPos;
      if (info->fMask & SIF_RANGE) {
        s->Info.nMin = info->nMin;
        s->Info.nMax = info->nMax;
      }
      if (info->fMask & SIF_PAGE) s->Info.nPage = info->nPage;
      if (info->fMask & SIF_POS) s->Info.nPos = info->nPos;
      const int maxPos = s->Info.nMax - std::max<int>(0, int(s->Info.nPage) - 1);
      s->Info.nPos = std::clamp(s->Info.nPos, s->Info.nMin, std::max(s->Info.nMin, maxPos));
      if (wParam) InvalidateRect(w, nullptr, FALSE);
      return s->Info.nPos;
    }
    case SBM_GETSCROLLINFO: {
      auto* info = reinterpret_cast<SCROLLINFO*>(lParam);
      if (!info) return FALSE;
      if (info->fMask & SIF_RANGE) {
        info->nMin = s->Info.nMin;
        info->nMax = s->Info.nMax;
      }
      if (info->fMask & SIF_PAGE) info->nPage = s->Info.nPage;
      if (info->fMask & SIF_POS) info->nPos = s->Info.nPos;
      if (info->fMask & SIF_TRACKPOS) info->nTrackPos = s->Info.nTrackPos;
      return TRUE;
    }
    case SBM_SETPOS: {
      SCROLLINFO si;
      si.fMask = SIF_POS;
      si.nPos = int(wParam);
      const int old = s->Info.nPos;
      SendMessage(w, SBM_SETSCROLLINFO, lParam, reinterpret_cast<LPARAM>(&si));
      return old;
    }
    case SBM_GETPOS: return s->Info.nPos;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW: {
      SCROLLINFO si;
      si.fMask = SIF_RANGE;
      si.nMin = int(wParam);
      si.nMax = int(lParam);
      SendMessage(w, SBM_SETSCROLLINFO, msg == SBM_SETRANGEREDRAW, reinterpret_cast<LPARAM>(&si));
      return s->Info.nPos;
    }
    case SBM_GETRANGE:
      if (wParam) *reinterpret_cast<INT*>(wParam) = s->Info.nMin;
      if (lParam) *reinterpret_cast<INT*>(lParam) = s->Info.nMax;
      return 0;
    case SBM_ENABLE_ARROWS: return TRUE;
    default: return DefWindowProc(w, msg, wParam, lParam);
  }
}

void Register(const char* name, WNDPROC proc, UINT style, const char* cursor, int background) {
  WNDCLASS probe;
  if (GetClassInfo(nullptr, name, &probe)) return;
  WNDCLASS wc;
  wc.style = style | CS_GLOBALCLASS;
  wc.lpfnWndProc = proc;
  wc.hCursor = LoadCursor(nullptr, cursor);
  wc.hbrBackground = background ? reinterpret_cast<HBRUSH>(std::intptr_t(background)) : nullptr;
  wc.lpszClassName = name;
  RegisterClass(&wc);
}

}  // namespace

void orv::RegisterStandardControls() {
  Register("BUTTON", ButtonProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, IDC_ARROW, 0);
  Register("STATIC", StaticProc, CS_DBLCLKS, IDC_ARROW, 0);
  Register("EDIT", EditProc, CS_DBLCLKS, IDC_IBEAM, 0);
  Register("LISTBOX", ListProc, CS_DBLCLKS, IDC_ARROW, 0);
  Register("SCROLLBAR", BarProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, IDC_ARROW, 0);
}
