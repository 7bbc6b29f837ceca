#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "components/foundation/dxThemeManager.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/User.h"

namespace {

// A stand-in for a visual-styles library: themes are numbered by the order they were opened.
struct FakeThemes {
  static inline std::vector<std::u16string> Opened;
  static inline std::vector<HTHEME> Closed;
  static inline BOOL Active = 1;
  static inline std::u16string File = u"C:\\Windows\\Resources\\Themes\\Luna\\Luna.msstyles";
  static inline bool FailEdit = false;

  static HTHEME Open(HANDLE, const char16_t* classList) {
    if (FailEdit && std::u16string(classList) == u"Edit") return 0;
    Opened.push_back(classList);
    return HTHEME(Opened.size());
  }
  static HRESULT Close(HTHEME theme) {
    Closed.push_back(theme);
    return S_OK;
  }
  static BOOL IsActive() { return Active; }
  static HRESULT Name(char16_t* file, int fileSize, char16_t* color, int, char16_t*, int) {
    std::u16string(File).copy(file, std::size_t(fileSize - 1));
    std::u16string(u"NormalColor").copy(color, 11);
    return S_OK;
  }
  static orv::TThemeLibrary Library() {
    orv::TThemeLibrary lib;
    lib.OpenThemeData = Open;
    lib.CloseThemeData = Close;
    lib.IsThemeActive = IsActive;
    lib.GetCurrentThemeName = Name;
    return lib;
  }
};

class ThemeManager : public ::testing::Test {
 protected:
  void SetUp() override {
    FakeThemes::Opened.clear();
    FakeThemes::Closed.clear();
    FakeThemes::Active = 1;
    FakeThemes::FailEdit = false;
    FakeThemes::File = u"C:\\Windows\\Resources\\Themes\\Luna\\Luna.msstyles";
    Library = FakeThemes::Library();
    orv::BindThemeLibrary(&Library);
  }
  void TearDown() override { orv::BindThemeLibrary(nullptr); }

  NativeInt ThemeChanged() {
    Boolean handled = false;
    const NativeInt result = GetThemeChangedEventReceiver()->WndProc(dxWM_THEMECHANGED, handled);
    EXPECT_TRUE(handled);
    return result;
  }

  orv::TThemeLibrary Library;
};

// Records the order of notifications.
struct ThemeListener : TObject {
  std::vector<int>* Log = nullptr;
  int Id = 0;
  bool Throw = false;
  void Changed(TObject*) {
    Log->push_back(Id);
    if (Throw) throw std::runtime_error("handler failed");
  }
};

using NotificatorPtr = std::unique_ptr<TdxThemeChangedNotificator, orv::FreeDeleter>;

TEST(ThemeManagerAbsent, EveryQueryAnswersNotUsable) {
  EXPECT_FALSE(IsThemeLibraryLoaded());
  EXPECT_EQ(IsThemeActive(), 0);
  EXPECT_FALSE(IsVisualStyleActive());
  EXPECT_FALSE(IsVisualStyleActive({totButton, totEdit}));
  EXPECT_FALSE(IsVisualStyleActiveFor(totHeader));
  EXPECT_FALSE(IsNativeStyleUsable(true, totHeader));
  EXPECT_EQ(GetThemeHandle(totButton), 0u);
  EXPECT_EQ(GetThemeHandle(totButton, u"Button"), 0u);
  EXPECT_EQ(CloseTheme(totButton), 1);
  EXPECT_FALSE(IsStockTheme());
  EXPECT_FALSE(IsDesktopCompositionEnabled());
  EXPECT_EQ(GetThemeChangedEventReceiver(), nullptr);
  EXPECT_EQ(DrawThemeBackgroundRect(0, nullptr, 1, 1, RECT{0, 0, 4, 4}), E_FAIL);
  SIZE size{};
  EXPECT_EQ(GetThemePartSizeWithoutRect(0, nullptr, 1, 1, 0, size), E_FAIL);
  COLORREF color = 0;
  EXPECT_EQ(GetThemeColor(0, 1, 1, 3803, color), E_FAIL);
  EXPECT_EQ(IsThemeBackgroundPartiallyTransparent(0, 1, 1), 0);
  // A notificator made without a library is never called, not even after one is bound.
  NotificatorPtr early(new TdxThemeChangedNotificator);
  std::vector<int> log;
  ThemeListener l;
  l.Log = &log;
  early->SetOnThemeChanged(TNotifyEvent(&l, &ThemeListener::Changed));
  orv::TThemeLibrary lib = FakeThemes::Library();
  orv::BindThemeLibrary(&lib);
  Boolean handled = false;
  GetThemeChangedEventReceiver()->WndProc(dxWM_THEMECHANGED, handled);
  orv::BindThemeLibrary(nullptr);
  EXPECT_TRUE(log.empty());
}

TEST(ThemeManagerAbsent, DefaultClassListsFollowTheKindOrder) {
  EXPECT_STREQ(GetThemedObjectClassList(totButton), "Button");
  EXPECT_STREQ(GetThemedObjectClassList(totScrollBar), "ScrollBar");
  EXPECT_STREQ(GetThemedObjectClassList(totStatus), "Status");
  EXPECT_STREQ(GetThemedObjectClassList(totWindow), "Window");
}

TEST_F(ThemeManager, AnEmptySetOpensNothing) {
  EXPECT_TRUE(IsThemeLibraryLoaded());
  EXPECT_TRUE(IsVisualStyleActive());
  EXPECT_TRUE(FakeThemes::Opened.empty());
  EXPECT_TRUE(IsVisualStyleActive({totButton, totHeader}));
  EXPECT_EQ(FakeThemes::Opened, (std::vector<std::u16string>{u"Button", u"Header"}));
  FakeThemes::FailEdit = true;
  EXPECT_FALSE(IsVisualStyleActive({totButton, totEdit}));
  EXPECT_FALSE(IsVisualStyleActiveFor(totEdit));
}

TEST_F(ThemeManager, ClassListsCompareWithoutCaseAndAnotherListReopens) {
  const TdxTheme button = GetThemeHandle(totButton, u"Button");
  ASSERT_NE(button, 0u);
  EXPECT_EQ(GetThemeHandle(totButton, u"button"), button);
  EXPECT_EQ(GetThemeHandle(totButton), button);
  EXPECT_EQ(FakeThemes::Opened.size(), 1u);
  const TdxTheme other = GetThemeHandle(totButton, u"Edit");
  EXPECT_NE(other, button);
  EXPECT_EQ(FakeThemes::Closed, std::vector<HTHEME>{button});
  EXPECT_EQ(FakeThemes::Opened.back(), u"Edit");
  EXPECT_EQ(CloseTheme(totButton), S_OK);
  EXPECT_EQ(CloseTheme(totButton), 0);
}

TEST_F(ThemeManager, FailuresAreNotCached) {
  FakeThemes::FailEdit = true;
  EXPECT_EQ(GetThemeHandle(totEdit), 0u);
  FakeThemes::FailEdit = false;
  EXPECT_NE(GetThemeHandle(totEdit), 0u);
}

TEST_F(ThemeManager, AThemeChangeClosesEveryHandleAndReopensWithTheStoredList) {
  GetThemeHandle(totButton, u"Custom");
  GetThemeHandle(totHeader);
  EXPECT_EQ(ThemeChanged(), 0);
  EXPECT_EQ(FakeThemes::Closed.size(), 2u);
  FakeThemes::Opened.clear();
  GetThemeHandle(totButton);
  EXPECT_EQ(FakeThemes::Opened, std::vector<std::u16string>{u"Custom"});
  // The change reads the active flag again.
  FakeThemes::Active = 0;
  ThemeChanged();
  EXPECT_FALSE(IsVisualStyleActive());
  EXPECT_EQ(GetThemeHandle(totButton), 0u);
  Boolean handled = true;
  EXPECT_EQ(GetThemeChangedEventReceiver()->WndProc(0x0010, handled), 0);
  EXPECT_FALSE(handled);
}

TEST_F(ThemeManager, TheDesktopsThemeChangeBroadcastReachesTheNotificators) {
  std::vector<int> log;
  ThemeListener listener;
  listener.Log = &log;
  listener.Id = 1;
  NotificatorPtr n(new TdxThemeChangedNotificator);
  n->SetOnThemeChanged(TNotifyEvent(&listener, &ThemeListener::Changed));
  const HWND window = GetThemeChangedEventReceiver()->GetWindow();
  ASSERT_TRUE(IsWindow(window));
  GetThemeHandle(totButton);
  FakeThemes::Active = 0;
  SendMessage(HWND_BROADCAST, WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(log, std::vector<int>{1});
  EXPECT_EQ(FakeThemes::Closed.size(), 1u);
  EXPECT_FALSE(IsVisualStyleActive());
  // Other messages get the default handling.
  SendMessage(HWND_BROADCAST, WM_TIMECHANGE, 0, 0);
  EXPECT_EQ(log.size(), 1u);
  // Unbinding the library takes the window away: a later broadcast tells nobody.
  orv::BindThemeLibrary(nullptr);
  EXPECT_FALSE(IsWindow(window));
  SendMessage(HWND_BROADCAST, WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(log.size(), 1u);
  orv::BindThemeLibrary(&Library);
}

TEST_F(ThemeManager, NotificatorsRunInOrderAndLeaveWhenFreed) {
  std::vector<int> log;
  ThemeListener l1, l2, l3;
  for (auto [l, id] : {std::pair{&l1, 1}, {&l2, 2}, {&l3, 3}}) {
    l->Log = &log;
    l->Id = id;
  }
  NotificatorPtr n1(new TdxThemeChangedNotificator), n2(new TdxThemeChangedNotificator),
      n3(new TdxThemeChangedNotificator), silent(new TdxThemeChangedNotificator);
  n1->SetOnThemeChanged(TNotifyEvent(&l1, &ThemeListener::Changed));
  n2->SetOnThemeChanged(TNotifyEvent(&l2, &ThemeListener::Changed));
  n3->SetOnThemeChanged(TNotifyEvent(&l3, &ThemeListener::Changed));
  ThemeChanged();
  EXPECT_EQ(log, (std::vector<int>{1, 2, 3}));
  n2.reset();
  log.clear();
  ThemeChanged();
  EXPECT_EQ(log, (std::vector<int>{1, 3}));
  // A failing handler ends the round; the error goes to the handler.
  static std::string reported;
  orv::SetThemeChangeErrorHandler([](const std::exception& e) { reported = e.what(); });
  l1.Throw = true;
  log.clear();
  ThemeChanged();
  orv::SetThemeChangeErrorHandler(nullptr);
  EXPECT_EQ(log, std::vector<int>{1});
  EXPECT_EQ(reported, "handler failed");
}

TEST_F(ThemeManager, StockThemesAreRecognisedByFileName) {
  EXPECT_TRUE(IsStockTheme());
  FakeThemes::File = u"C:\\Themes\\royale.msstyles";
  EXPECT_TRUE(IsStockTheme());
  FakeThemes::File = u"C:\\Themes\\Luna.msstyles.bak";
  EXPECT_FALSE(IsStockTheme());
}

TEST(DesktopComposition, NeedsVersionSixAndTheLibrary) {
  orv::TCompositionLibrary lib;
  lib.DwmIsCompositionEnabled = [](BOOL* enabled) -> HRESULT {
    *enabled = 1;
    return S_OK;
  };
  orv::BindCompositionLibrary(&lib, 5);
  EXPECT_FALSE(IsDesktopCompositionEnabled());
  orv::BindCompositionLibrary(&lib, 6);
  EXPECT_TRUE(IsDesktopCompositionEnabled());
  orv::BindCompositionLibrary(nullptr, 6);
  EXPECT_FALSE(IsDesktopCompositionEnabled());
}

}  // namespace
