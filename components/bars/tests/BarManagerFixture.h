// What every headless bar test starts and ends with: bar hooks and hints that know no window of
// an earlier test, and a bar manager in the tests' font.
#pragma once

#include "components/bars/dxBar.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"

inline void ResetBarServices() {
  BarHookServices() = TdxBarHookServices();
  BarHintServices() = TdxBarHintServices();
}

// Fresh bar services, then a manager owned by the form, in the tests' font at 11 pixels.
inline TdxBarManager* NewTestBarManager(TComponent* form) {
  ResetBarServices();
  auto* manager = new TdxBarManager(form);
  manager->GetFont()->SetName(orv::kTestFontFace);
  manager->GetFont()->SetHeight(-11);
  return manager;
}
