// System settings and their broadcasts, absent desktop services, monitors, the clipboard,
// message boxes and sounds.
#include <cstring>

#include "TestWindows.h"
#include "platform/runtime/AnsiString.h"
#include "platform/windowing/UtilWindow.h"

namespace orv::test {
namespace {

using Services = TWindowTest;

struct TListener {
  std::vector<std::pair<UINT, WPARAM>> Seen;
  void WndProc(TMessage& m) {
    if (m.Msg == WM_SETTINGCHANGE || m.Msg == WM_SYSCOLORCHANGE) Seen.push_back({m.Msg, m.WParam});
  }
};

TEST_F(Services, SettingsComeFromOneTableAndChangesReachHiddenWindows) {
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 16);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CXDRAG), 4);
  RECT work;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_EQ(work, (RECT{0, 0, 1024, 768}));
  BOOL anim = TRUE;
  SystemParametersInfo(SPI_GETTOOLTIPANIMATION, 0, &anim, 0);
  EXPECT_FALSE(anim);
  NONCLIENTMETRICS ncm;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0));
  EXPECT_STREQ(ncm.lfMenuFont.lfFaceName, "MS Sans Serif");
  EXPECT_EQ(ncm.lfCaptionFont.lfWeight, 700);

  TListener listener;
  HWND hidden = AllocateHWnd(TWndMethod(&listener, &TListener::WndProc));
  ncm.iScrollWidth = 20;
  ASSERT_TRUE(SystemParametersInfo(SPI_SETNONCLIENTMETRICS, sizeof ncm, &ncm, SPIF_SENDCHANGE));
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 20);
  INT index = COLOR_BTNFACE;
  COLORREF color = RGB(1, 2, 3);
  ::SetSysColors(1, &index, &color);
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(1, 2, 3));
  std::vector<std::pair<UINT, WPARAM>> expected = {{WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS},
                                                   {WM_SYSCOLORCHANGE, 0}};
  EXPECT_EQ(listener.Seen, expected);
  // Tests may set the table directly; Reset brings the classic values back.
  SystemSettings().WorkArea = {0, 0, 1024, 740};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(work.Bottom, 740);
  MONITORINFO mi;
  ASSERT_TRUE(GetMonitorInfo(MonitorFromPoint({5000, 5000}, MONITOR_DEFAULTTONEAREST), &mi));
  EXPECT_EQ(mi.rcWork.Bottom, 740);
  EXPECT_EQ(MonitorFromPoint({5000, 5000}, MONITOR_DEFAULTTONULL), nullptr);
  DeallocateHWnd(hidden);
  headless::Reset();
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 16);
  EXPECT_NE(GetSysColor(COLOR_BTNFACE), RGB(1, 2, 3));
}

TEST_F(Services, LocaleChangeNamesTheRegionalSection) {
  struct TSectionListener {
    std::vector<std::string> Sections;
    void WndProc(TMessage& m) {
      if (m.Msg == WM_SETTINGCHANGE && m.WParam == 0 && m.LParam != 0)
        Sections.emplace_back(reinterpret_cast<const char*>(m.LParam));
    }
  } listener;
  HWND hidden = AllocateHWnd(TWndMethod(&listener, &TSectionListener::WndProc));
  SendLocaleChange();
  SendSettingChange(SPI_SETNONCLIENTMETRICS);
  EXPECT_EQ(listener.Sections, (std::vector<std::string>{"intl"}));
  DeallocateHWnd(hidden);
}

TEST_F(Services, AbsentDesktopServicesAnswerNotAvailable) {
  for (const char* name : {"uxtheme.dll", "dwmapi.dll", "gdiplus.dll", "oleacc.dll"})
    EXPECT_EQ(LoadLibrary(name), nullptr) << name;
  HMODULE user32 = GetModuleHandle("USER32");
  ASSERT_NE(user32, nullptr);
  EXPECT_EQ(GetProcAddress(user32, "AnimateWindow"), reinterpret_cast<FARPROC>(&AnimateWindow));
  EXPECT_NE(GetProcAddress(user32, "GetScrollBarInfo"), nullptr);
  EXPECT_NE(GetProcAddress(user32, "GetMonitorInfoA"), nullptr);
  EXPECT_EQ(GetProcAddress(user32, "NoSuchFunction"), nullptr);
  EXPECT_NE(GetProcAddress(LoadLibrary("msimg32.dll"), "GradientFill"), nullptr);
}

std::string ClipText(UINT format) {
  std::string r;
  if (!OpenClipboard(nullptr)) return "<closed>";
  HANDLE h = GetClipboardData(format);
  if (h) {
    if (format == CF_UNICODETEXT) {
      const auto* w = static_cast<const char16_t*>(GlobalLock(h));
      r = std::to_string(std::char_traits<char16_t>::length(w)) + ":" + std::to_string(int(w[0]));
    } else {
      r = static_cast<const char*>(GlobalLock(h));
    }
    GlobalUnlock(h);
  }
  CloseClipboard();
  return r;
}

TEST_F(Services, ClipboardKeepsWindows1251InsideAndHandsUtf8ToTheDesktop) {
  HWND w = Make(WS_POPUP, 0, 0, 10, 10);
  AnsiString text = "Москва\t55"_a;
  ASSERT_TRUE(OpenClipboard(w));
  EXPECT_FALSE(OpenClipboard(w));  // one opening at a time
  EmptyClipboard();
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  std::memcpy(GlobalLock(h), text.c_str(), text.size() + 1);
  GlobalUnlock(h);
  SetClipboardData(CF_TEXT, h);
  CloseClipboard();
  EXPECT_EQ(headless::DesktopClipboard(), "Москва\t55");
  EXPECT_EQ(GetClipboardOwner(), w);
  EXPECT_EQ(ClipText(CF_TEXT), text);
  EXPECT_EQ(ClipText(CF_UNICODETEXT), "9:" + std::to_string(0x41C));  // "М"
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  // Text that another program put on the desktop's clipboard.
  headless::SetDesktopClipboard("Ёлки");
  EXPECT_EQ(ClipText(CF_TEXT), "Ёлки"_a);
  EXPECT_EQ(GetClipboardOwner(), nullptr);
  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  headless::SetDesktopClipboard("");
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
}

TEST_F(Services, MessageBoxesAndSoundsGoToTheirHooks) {
  HWND owner = Make(WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 100);
  // Without a handler the default button answers.
  EXPECT_EQ(MessageBox(owner, "?", "Q", MB_YESNO | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(MessageBox(owner, "!", "E", MB_OK | MB_ICONERROR), IDOK);
  AnsiString seenText, seenCaption;
  bool ownerEnabled = true;
  SetMessageBoxHandler([&](HWND, const AnsiString& t, const AnsiString& c, UINT) {
    seenText = t;
    seenCaption = c;
    ownerEnabled = IsWindowEnabled(owner);
    return IDCANCEL;
  });
  EXPECT_EQ(MessageBox(owner, "Ошибка при работе программы"_a.c_str(), "Ошибка"_a.c_str(), MB_OK | MB_ICONERROR), IDCANCEL);
  EXPECT_EQ(seenText, "Ошибка при работе программы"_a);
  EXPECT_EQ(seenCaption, "Ошибка"_a);
  std::vector<TSoundEvent> sounds;
  SetSoundSink([&](const TSoundEvent& e) { sounds.push_back(e); });
  PlaySound("MenuPopup", nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT | SND_NOWAIT);
  MessageBeep(MB_ICONERROR);
  ASSERT_EQ(sounds.size(), 2u);
  EXPECT_EQ(sounds[0].Name, "MenuPopup");
  EXPECT_EQ(sounds[0].Flags, SND_ALIAS | SND_ASYNC | SND_NODEFAULT | SND_NOWAIT);
  EXPECT_TRUE(sounds[1].Beep);
}

TEST_F(Services, ScrollBarsOfAWindowKeepTheirStateAndShapeTheClientArea) {
  HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  si.nMin = 0;
  si.nMax = 99;
  si.nPage = 40;
  si.nPos = 80;  // beyond max - page + 1: clamped
  SetScrollInfo(w, SB_VERT, &si, TRUE);
  EXPECT_EQ(GetScrollPos(w, SB_VERT), 60);
  EXPECT_TRUE(GetWindowLong(w, GWL_STYLE) & WS_VSCROLL);
  RECT c;
  GetClientRect(w, &c);
  EXPECT_EQ(c.Right, 84);
  SCROLLBARINFO info;
  ASSERT_TRUE(GetScrollBarInfo(w, OBJID_VSCROLL, &info));
  EXPECT_EQ(info.rcScrollBar, (RECT{84, 0, 100, 100}));
  EXPECT_EQ(info.rgstate[0], 0u);
  ASSERT_TRUE(GetScrollBarInfo(w, OBJID_HSCROLL, &info));
  EXPECT_EQ(info.rgstate[0], STATE_SYSTEM_INVISIBLE);
  EXPECT_EQ(SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(90, 50)), HTVSCROLL);
  // A page that covers the range hides the bar again.
  si.fMask = SIF_PAGE;
  si.nPage = 100;
  SetScrollInfo(w, SB_VERT, &si, TRUE);
  EXPECT_FALSE(GetWindowLong(w, GWL_STYLE) & WS_VSCROLL);
  GetClientRect(w, &c);
  EXPECT_EQ(c.Right, 100);
  // A click on the arrow scrolls by a line.
  si.fMask = SIF_PAGE;
  si.nPage = 10;
  SetScrollInfo(w, SB_VERT, &si, TRUE);
  Clear();
  headless::Click(92, 95);
  headless::ProcessMessages();
  auto v = Recorded(w, WM_VSCROLL);
  ASSERT_GE(v.size(), 2u);
  EXPECT_EQ(LOWORD(v[0].WParam), SB_LINEDOWN);
  EXPECT_EQ(LOWORD(v.back().WParam), SB_ENDSCROLL);
}

}  // namespace
}  // namespace orv::test
