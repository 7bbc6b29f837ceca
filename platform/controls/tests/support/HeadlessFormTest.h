// The shared test fixture of every module whose tests need a form: a freshly reset headless
// desktop and one constructed, unshown form per test, freed and the desktop reset again after it.
// Module fixtures derive from HeadlessFormTest and pass their form's bounds; a SetUp or TearDown
// of their own calls the base's first (SetUp) or last (TearDown).
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "platform/controls/Forms.h"
#include "platform/windowing/Headless.h"

namespace orv::test {

template <class T>
using Owned = std::unique_ptr<T, orv::FreeDeleter>;

// Where the form lies on the headless desktop, in screen pixels.
struct TFormBounds {
  Integer Left = 100;
  Integer Top = 100;
  Integer Width = 300;
  Integer Height = 200;
};

// Clears the headless desktop (windows, input, clock) and the application's terminated flag.
inline void ResetHeadlessDesktop() {
  orv::headless::Reset();
  Application->ResetTerminated();
}

// A constructed form at `bounds`, not yet shown; without border and caption unless `borderless`
// is false, so that its client area starts at its top-left corner.
inline Owned<TForm> MakeHeadlessForm(const TFormBounds& bounds, bool borderless = true) {
  Owned<TForm> form(new TForm(nullptr));
  if (borderless) form->SetBorderStyle(bsNone);
  form->SetBounds(bounds.Left, bounds.Top, bounds.Width, bounds.Height);
  form->AfterConstruction();
  return form;
}

class HeadlessFormTest : public ::testing::Test {
 protected:
  explicit HeadlessFormTest(TFormBounds bounds = {}, bool borderless = true)
      : FFormBounds(bounds), FBorderless(borderless) {}

  void SetUp() override {
    ResetHeadlessDesktop();
    Form = MakeHeadlessForm(FFormBounds, FBorderless);
  }
  void TearDown() override {
    Form.reset();
    orv::headless::Reset();
  }

  void Show() {
    Form->Show();
    Run();
  }
  // Handles every message waiting in the queue.
  static void Run() { Application->ProcessMessages(); }

  Owned<TForm> Form;

 private:
  TFormBounds FFormBounds;
  bool FBorderless;
};

}  // namespace orv::test
