#include "components/bars/tests/MainMenuFixture.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

ORV_PUBLISH(TMainMenuForm) {
  using T = TMainMenuForm;
  p.Method("dxBarButton4Click", &T::dxBarButton4Click);
  p.Method("dxBarButton1Click", &T::dxBarButton1Click);
  p.Method("aWriteToFileExecute", &T::aWriteToFileExecute);
  p.Method("aCopyToClipboardExecute", &T::aCopyToClipboardExecute);
}

AnsiString ReadMainMenuDescription() {
  std::ifstream in(std::string(ORV_SOURCE_DIR) + "/components/bars/tests/MainMenu.txt", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void MainMenuFormTest::SetUp() {
  orv::headless::Reset();
  Application->ResetTerminated();
  BarHookServices() = TdxBarHookServices();
  // The manager follows the system menu font and stores it.
  LOGFONT& menuFont = orv::SystemSettings().NonClient.lfMenuFont;
  menuFont.lfHeight = -12;
  menuFont.lfCharSet = DEFAULT_CHARSET;
  std::snprintf(menuFont.lfFaceName, sizeof(menuFont.lfFaceName), "%s", "Segoe UI");
  Text = ReadMainMenuDescription();
  ASSERT_FALSE(Text.empty());
  Form.reset(new TMainMenuForm(nullptr));
  orv::ReadComponentFromText(Form.get(), Text);
  Manager = GetBarManagerOwnedBy(Form.get());
  ASSERT_NE(Manager, nullptr);
}

void MainMenuFormTest::TearDown() {
  Form.reset();
  BarHookServices() = TdxBarHookServices();
  orv::headless::Reset();
}

void MainMenuFormTest::Run() { Application->ProcessMessages(); }

TdxBarControl* MainMenuFormTest::MenuBar() const {
  return dynamic_cast<TdxBarControl*>(Manager->GetMainMenuBar()->GetControl());
}

TdxBarSubMenuControl* MainMenuFormTest::MenuOf(const char* subItem) {
  auto* item = dynamic_cast<TdxBarSubItem*>(Form->FindComponent(subItem));
  auto* menu = item ? dynamic_cast<TdxBarSubMenuControl*>(item->GetLinks()->GetBarControl()) : nullptr;
  return menu && menu->HandleAllocated() && IsWindowVisible(menu->GetHandle()) ? menu : nullptr;
}

TdxBarItemLink* MainMenuFormTest::LinkIn(TCustomdxBarControl* window, const AnsiString& caption) {
  TdxBarItemLinks* links = window->GetItemLinks();
  for (Integer i = 0; i < links->GetCount(); ++i)
    if (links->GetItem(i)->GetCaption() == caption) return links->GetItem(i);
  return nullptr;
}

TRect MainMenuFormTest::ScreenRectOf(TCustomdxBarControl* window, const TRect& r) {
  POINT a{r.Left, r.Top}, b{r.Right, r.Bottom};
  ClientToScreen(window->GetHandle(), &a);
  ClientToScreen(window->GetHandle(), &b);
  return TRect{a.X, a.Y, b.X, b.Y};
}

TRect MainMenuFormTest::ItemScreenRect(TCustomdxBarControl* window, const AnsiString& caption) {
  return ScreenRectOf(window, LinkIn(window, caption)->GetItemRect());
}

TRect MainMenuFormTest::WindowRect(TCustomdxBarControl* window) {
  RECT r{};
  GetWindowRect(window->GetHandle(), &r);
  return TRect{r.Left, r.Top, r.Right, r.Bottom};
}
