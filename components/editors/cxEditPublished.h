// Published-property groups shared by the editor controls, beside the platform's control groups
// (platform/controls/ControlProperties.h). Included only by the units that publish editors.
#pragma once

#include "platform/forms/Published.h"

namespace orv {

// The four style objects of an editor control: normal, disabled, focused and hot. Written in
// this order in form descriptions.
template <class T>
void PublishEditStyles(Published<T>& p) {
  p.Property("Style", [](T* x) { return x->GetEditStyle(); });
  p.Property("StyleDisabled", [](T* x) { return x->GetEditStyleDisabled(); });
  p.Property("StyleFocused", [](T* x) { return x->GetEditStyleFocused(); });
  p.Property("StyleHot", [](T* x) { return x->GetEditStyleHot(); });
}

}  // namespace orv
