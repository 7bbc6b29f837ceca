// The splash window: a small borderless box saying "Загрузка данных..." while the main window
// fills its pick lists at its first showing.
#pragma once

#include "platform/controls/Forms.h"

class TcxTabControl;
class TcxGroupBox;
class TcxLabel;

class TFStart : public TForm {
  ORV_CLASS(TFStart, TForm)
 public:
  // The components come from the form description "TFStart" (read in AfterConstruction).
  explicit TFStart(TComponent* owner) : TForm(owner) {}

  TcxTabControl* cxTabControl1 = nullptr;
  TcxGroupBox* cxGroupBox1 = nullptr;
  TcxLabel* cxLabel1 = nullptr;
};

// The splash window while it is shown, else nullptr.
extern TFStart* FStart;

// Closes a splash window that is shown, then makes a new one owned by the application, shows it
// and lets the waiting messages run so that it is painted before the work starts.
void ShowStartWindow();
// Closes and frees the splash window, if there is one.
void CloseStartWindow();
