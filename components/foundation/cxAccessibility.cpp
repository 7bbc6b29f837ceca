#include "components/foundation/cxAccessibility.h"

#include "platform/controls/Menus.h"
#include "platform/runtime/CodePages.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

// ---- The library's entries --------------------------------------------------------------------

namespace {

struct TLibraryBinding {
  HMODULE Module = nullptr;
  orv::TAccessibilityLibrary Library;
  TLibraryBinding() {
    Module = LoadLibrary("oleacc.dll");
    if (!Module) return;
    Library.AccessibleObjectFromWindow = reinterpret_cast<orv::TAccessibleObjectFromWindow>(
        GetProcAddress(Module, "AccessibleObjectFromWindow"));
    Library.LresultFromObject =
        reinterpret_cast<orv::TLresultFromObject>(GetProcAddress(Module, "LresultFromObject"));
  }
  ~TLibraryBinding() {
    if (Module) FreeLibrary(Module);
  }
};

TLibraryBinding& Binding() {
  static TLibraryBinding binding;
  return binding;
}

}  // namespace

const orv::TAccessibilityLibrary& orv::GetAccessibilityLibrary() { return Binding().Library; }
void orv::SetAccessibilityLibrary(const TAccessibilityLibrary& library) {
  Binding().Library = library;
}

// ---- Questions --------------------------------------------------------------------------------------

TcxAccessibilityHelper::TcxAccessibilityHelper(TObject* owner) : FOwner(owner) {}

Boolean TcxAccessibilityHelper::IsElementChild(Integer index) { throw EdxException(""); }
Integer TcxAccessibilityHelper::IndexOfChild(TcxAccessibilityHelper* child) {
  throw EdxException("");
}
AnsiString TcxAccessibilityHelper::QueryValue(Integer index) { throw EdxException(""); }
Integer TcxAccessibilityHelper::NavigateFrom(Integer index, NavigationDirection direction) {
  throw EdxException("");
}

Boolean TcxAccessibilityHelper::IsVisible() {
  return (DWORD(QueryState(0)) & STATE_SYSTEM_INVISIBLE) == 0;
}

TcxAccessibilityHelper* TcxAccessibilityHelper::RootHelper() {
  TcxAccessibilityHelper* helper = this;
  while (TcxAccessibilityHelper* parent = helper->GetParentHelper()) helper = parent;
  return helper;
}

HRESULT TcxAccessibilityHelper::ValidateChildId(const VARIANT& child, Integer& index) {
  if (child.vt != VT_I4 || child.lVal < 0 || child.lVal > ChildCount()) return E_INVALIDARG;
  if (child.lVal == CHILDID_SELF) {
    index = 0;
    return S_OK;
  }
  if (!IsElementChild(Integer(child.lVal) - 1)) return E_INVALIDARG;
  index = Integer(child.lVal) - 1;
  return S_OK;
}

void TcxAccessibilityHelper::ConvertChildResult(VARIANT& result) {
  if (result.vt != VT_I4 || result.lVal == 0) return;
  const Integer index = Integer(result.lVal) - 1;
  if (IsElementChild(index)) return;
  result = VARIANT{};
  result.vt = VT_DISPATCH;
  result.pdispVal = ChildHelperAt(index);
}

// ---- IAccessible ----------------------------------------------------------------------------------

HRESULT TcxAccessibilityHelper::get_accParent(IDispatch** parent) {
  *parent = nullptr;
  if (!FOwnerLive) return S_OK;
  if (TcxAccessibilityHelper* helper = GetParentHelper()) {
    *parent = helper;
    return S_OK;
  }
  const auto fromWindow = orv::GetAccessibilityLibrary().AccessibleObjectFromWindow;
  if (HWND window = OwnerWindow(); window && fromWindow) {
    HWND target = (GetWindowLong(window, GWL_STYLE) & WS_CHILD) ? GetParent(window)
                                                                : GetDesktopWindow();
    void* object = nullptr;
    if (fromWindow(target, DWORD(OBJID_WINDOW), nullptr, &object) == S_OK)
      *parent = static_cast<IDispatch*>(object);
  }
  return *parent ? S_OK : S_FALSE;
}

HRESULT TcxAccessibilityHelper::get_accChildCount(LongInt* count) {
  *count = 0;
  if (!FOwnerLive) return S_OK;
  *count = ChildCount();
  return S_OK;
}

HRESULT TcxAccessibilityHelper::get_accChild(VARIANT child, IDispatch** result) {
  *result = nullptr;
  if (!FOwnerLive) return S_OK;
  if (child.vt != VT_I4 || child.lVal < 1 || child.lVal > ChildCount()) return E_INVALIDARG;
  if (IsElementChild(Integer(child.lVal) - 1)) return S_FALSE;
  *result = ChildHelperAt(Integer(child.lVal) - 1);
  return *result ? S_OK : S_FALSE;
}

HRESULT TcxAccessibilityHelper::GetText(VARIANT child, WideString* text,
                                        AnsiString (TcxAccessibilityHelper::*query)(Integer),
                                        Boolean needsProperty, AccessibleProperty property,
                                        Boolean emptyIsFalse) {
  text->clear();
  if (!FOwnerLive) return S_OK;
  Integer index = 0;
  if (const HRESULT r = ValidateChildId(child, index); r != S_OK) return r;
  if (needsProperty && !Supported(index, property)) return DISP_E_MEMBERNOTFOUND;
  *text = orv::AnsiToWide((this->*query)(index));
  return emptyIsFalse && text->empty() ? S_FALSE : S_OK;
}

HRESULT TcxAccessibilityHelper::get_accName(VARIANT child, WideString* name) {
  return GetText(child, name, &TcxAccessibilityHelper::QueryName, false, propValue, true);
}

HRESULT TcxAccessibilityHelper::get_accValue(VARIANT child, WideString* value) {
  return GetText(child, value, &TcxAccessibilityHelper::QueryValue, true, propValue, false);
}

HRESULT TcxAccessibilityHelper::get_accDescription(VARIANT child, WideString* description) {
  return GetText(child, description, &TcxAccessibilityHelper::QueryDescription, true,
                 propDescription, true);
}

HRESULT TcxAccessibilityHelper::get_accDefaultAction(VARIANT child, WideString* action) {
  return GetText(child, action, &TcxAccessibilityHelper::QueryDefaultAction, true,
                 propDefaultAction, false);
}

HRESULT TcxAccessibilityHelper::get_accRole(VARIANT child, VARIANT* role) {
  *role = VARIANT{};
  if (!FOwnerLive) return S_OK;
  Integer index = 0;
  if (const HRESULT r = ValidateChildId(child, index); r != S_OK) return r;
  *role = VariantOfInteger(QueryRole(index));
  return S_OK;
}

HRESULT TcxAccessibilityHelper::get_accState(VARIANT child, VARIANT* state) {
  *state = VARIANT{};
  if (!FOwnerLive) return S_OK;
  Integer index = 0;
  if (const HRESULT r = ValidateChildId(child, index); r != S_OK) return r;
  *state = VariantOfInteger(QueryState(index));
  return S_OK;
}

HRESULT TcxAccessibilityHelper::get_accHelp(VARIANT child, WideString* help) {
  help->clear();
  return FOwnerLive ? DISP_E_MEMBERNOTFOUND : S_OK;
}

HRESULT TcxAccessibilityHelper::get_accHelpTopic(WideString* helpFile, VARIANT child,
                                                 LongInt* topic) {
  helpFile->clear();
  *topic = 0;
  return FOwnerLive ? DISP_E_MEMBERNOTFOUND : S_OK;
}

HRESULT TcxAccessibilityHelper::get_accKeyboardShortcut(VARIANT child, WideString* shortcut) {
  shortcut->clear();
  if (!FOwnerLive) return S_OK;
  Integer index = 0;
  if (const HRESULT r = ValidateChildId(child, index); r != S_OK) return r;
  if (!Supported(index, propShortcut)) return DISP_E_MEMBERNOTFOUND;
  Word key = 0;
  AnsiString caption;
  QueryKeyboardAccess(index, key, caption);
  // The accelerator: the character after a single "&" ("&&" is a literal ampersand).
  AnsiString text;
  for (std::size_t i = 0; i + 1 < caption.size(); ++i)
    if (caption[i] == '&') {
      if (caption[i + 1] != '&') {
        text = AnsiUpperCase(caption.substr(i + 1, 1));
        break;
      }
      ++i;
    }
  if (text.empty() && key != 0) text = ShortCutToText(key);
  *shortcut = orv::AnsiToWide(text);
  return shortcut->empty() ? S_FALSE : S_OK;
}

HRESULT TcxAccessibilityHelper::get_accFocus(VARIANT* child) {
  *child = VARIANT{};
  if (!FOwnerLive) return S_OK;
  if (!Supported(0, propFocus)) return DISP_E_MEMBERNOTFOUND;
  Boolean isChild = false;
  Integer index = 0;
  if (!FindFocusedChild(isChild, index)) return S_FALSE;
  *child = VariantOfInteger(isChild ? index + 1 : 0);
  ConvertChildResult(*child);
  return S_OK;
}

HRESULT TcxAccessibilityHelper::get_accSelection(VARIANT* children) {
  *children = VARIANT{};
  return FOwnerLive ? DISP_E_MEMBERNOTFOUND : S_OK;
}

HRESULT TcxAccessibilityHelper::accSelect(LongInt flags, VARIANT child) {
  return FOwnerLive ? DISP_E_MEMBERNOTFOUND : S_OK;
}

HRESULT TcxAccessibilityHelper::accLocation(LongInt* left, LongInt* top, LongInt* width,
                                            LongInt* height, VARIANT child) {
  *left = *top = *width = *height = 0;
  if (!FOwnerLive) return S_OK;
  Integer index = 0;
  if (const HRESULT r = ValidateChildId(child, index); r != S_OK) return r;
  if (!Supported(0, propLocation)) return DISP_E_MEMBERNOTFOUND;
  TRect rect{};
  QueryScreenRect(index, rect);
  *left = rect.Left;
  *top = rect.Top;
  *width = rect.Width();
  *height = rect.Height();
  return S_OK;
}

HRESULT TcxAccessibilityHelper::accNavigate(LongInt direction, VARIANT start, VARIANT* end) {
  *end = VARIANT{};
  if (!FOwnerLive) return S_OK;
  const LongInt from = start.vt == VT_I4 ? start.lVal : -1;
  if (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD) {
    if (from != CHILDID_SELF) return E_INVALIDARG;
    if (!Supported(0, propLocation)) return DISP_E_MEMBERNOTFOUND;
    const Integer count = ChildCount();
    if (count <= 0) return S_FALSE;
    *end = VariantOfInteger(direction == NAVDIR_FIRSTCHILD ? 1 : count);
    ConvertChildResult(*end);
    return S_OK;
  }
  if (from == CHILDID_SELF) {
    // The object's neighbours are its parent's business; the parent's answer comes back as
    // the parent gave it (its numbers are the parent's, not this helper's).
    TcxAccessibilityHelper* parent = GetParentHelper();
    if (!parent || !parent->GetOwnerLive() || !parent->Supported(0, propLocation)) return S_FALSE;
    return parent->accNavigate(direction, VariantOfInteger(parent->IndexOfChild(this) + 1), end) ==
                   S_OK
               ? S_OK
               : S_FALSE;
  }
  if (from < 0 || from > ChildCount()) return E_INVALIDARG;
  if (!Supported(0, propLocation)) return DISP_E_MEMBERNOTFOUND;
  NavigationDirection navigation = ndUp;
  switch (direction) {
    case NAVDIR_DOWN: navigation = ndDown; break;
    case NAVDIR_LEFT: navigation = ndLeft; break;
    case NAVDIR_RIGHT: navigation = ndRight; break;
    case NAVDIR_NEXT: navigation = ndNext; break;
    case NAVDIR_PREVIOUS: navigation = ndPrevious; break;
    default: navigation = ndUp; break;
  }
  const Integer target = NavigateFrom(Integer(from) - 1, navigation);
  if (target == Integer(from) - 1) return S_FALSE;
  *end = VariantOfInteger(target + 1);
  ConvertChildResult(*end);
  return S_OK;
}

HRESULT TcxAccessibilityHelper::accHitTest(LongInt x, LongInt y, VARIANT* child) {
  *child = VARIANT{};
  if (!FOwnerLive) return S_OK;
  if (!Supported(0, propLocation)) return DISP_E_MEMBERNOTFOUND;
  TRect bounds{};
  QueryScreenRect(0, bounds);
  if (x >= bounds.Left && x < bounds.Right && y >= bounds.Top && y < bounds.Bottom) {
    Integer index = 0;
    switch (HitTestChild(Integer(x), Integer(y), index)) {
      case hitSelf: *child = VariantOfInteger(0); break;
      case hitChild:
        *child = VariantOfInteger(index + 1);
        ConvertChildResult(*child);
        break;
      default: break;
    }
  }
  return child->vt == VT_EMPTY ? S_FALSE : S_OK;
}

HRESULT TcxAccessibilityHelper::accDoDefaultAction(VARIANT child) {
  if (!FOwnerLive) return S_OK;
  Integer index = 0;
  if (const HRESULT r = ValidateChildId(child, index); r != S_OK) return r;
  if (!Supported(index, propDefaultAction)) return DISP_E_MEMBERNOTFOUND;
  PerformDefaultAction(index);
  return S_OK;
}

HRESULT TcxAccessibilityHelper::put_accName(VARIANT child, const WideString& name) {
  return FOwnerLive ? DISP_E_MEMBERNOTFOUND : S_OK;
}

HRESULT TcxAccessibilityHelper::put_accValue(VARIANT child, const WideString& value) {
  if (!FOwnerLive) return S_OK;
  Integer index = 0;
  if (const HRESULT r = ValidateChildId(child, index); r != S_OK) return r;
  if (!Supported(index, propValue)) return DISP_E_MEMBERNOTFOUND;
  AssignValue(index, orv::WideToAnsi(value));
  return S_OK;
}

// ---- IOleWindow -----------------------------------------------------------------------------------

HRESULT TcxAccessibilityHelper::GetWindow(HWND* window) {
  *window = nullptr;
  if (!FOwnerLive) return S_OK;
  *window = OwnerWindow();
  return S_OK;
}
