// The program's main menu read from its window's description into a test form of its own, on
// the headless desktop with the menu font of the machine the window was designed on.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/bars/dxBar.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/runtime/AnsiString.h"

// The form the description names; its handlers note what ran.
class TMainMenuForm : public TForm {
  ORV_CLASS(TMainMenuForm, TForm)
 public:
  explicit TMainMenuForm(TComponent* owner) : TForm(owner) {}
  void dxBarButton4Click(TObject* sender) { Log.push_back("exit"); }
  void dxBarButton1Click(TObject* sender) { Log.push_back("about"); }
  void aWriteToFileExecute(TObject* sender) { Log.push_back("write"); }
  void aCopyToClipboardExecute(TObject* sender) { Log.push_back("copy"); }
  std::vector<std::string> Log;
};

// The description's text (tests/MainMenu.txt).
AnsiString ReadMainMenuDescription();

// A fresh desktop and bar hooks, the design machine's menu font, and the form read from the
// description with its bar manager; the form is not shown.
class MainMenuFormTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  static void Run();
  template <class T>
  T* Find(const char* name) {
    return dynamic_cast<T*>(Form->FindComponent(name));
  }

  TdxBarControl* MenuBar() const;
  // The open menu of a sub item (nil when closed).
  TdxBarSubMenuControl* MenuOf(const char* subItem);
  static TdxBarItemLink* LinkIn(TCustomdxBarControl* window, const AnsiString& caption);
  // A rectangle of a bar window's client area, and an item's, in screen coordinates.
  static TRect ScreenRectOf(TCustomdxBarControl* window, const TRect& r);
  static TRect ItemScreenRect(TCustomdxBarControl* window, const AnsiString& caption);
  static TRect WindowRect(TCustomdxBarControl* window);
  static TPoint CentreOf(const TRect& r) { return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

  AnsiString Text;
  orv::test::Owned<TMainMenuForm> Form;
  TdxBarManager* Manager = nullptr;
};
