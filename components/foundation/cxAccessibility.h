// The accessibility bridge: turns an object of the library (a bar, a bar item control, a dock
// control) into an accessible object for accessibility clients.
//
// TcxAccessibilityHelper implements the platform's accessible-object interface once: it checks
// child numbers and supported properties and converts between the clients' child identifiers
// and plain indexes; descendants answer simple questions (count, name, role, state, bounds, hit
// test, navigation, default action, value). The platform here has no accessibility library, so
// no client ever asks and a parent is never found through a window; the helpers still answer
// their own questions for the library's keyboard navigation.
#pragma once

#include "components/foundation/dxThemeManager.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Object.h"
#include "platform/runtime/Sets.h"
#include "platform/runtime/Types.h"
#include "platform/windowing/WinTypes.h"

// ---- The platform's accessibility interfaces, as the bridge serves them -------------------------
//
// (HRESULT, S_OK and S_FALSE are the theme unit's.)

inline constexpr HRESULT E_NOTIMPL = HRESULT(0x80004001u);
inline constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057u);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = HRESULT(0x80020003u);

inline constexpr LongInt CHILDID_SELF = 0;
inline constexpr LongInt NAVDIR_UP = 1;
inline constexpr LongInt NAVDIR_DOWN = 2;
inline constexpr LongInt NAVDIR_LEFT = 3;
inline constexpr LongInt NAVDIR_RIGHT = 4;
inline constexpr LongInt NAVDIR_NEXT = 5;
inline constexpr LongInt NAVDIR_PREVIOUS = 6;
inline constexpr LongInt NAVDIR_FIRSTCHILD = 7;
inline constexpr LongInt NAVDIR_LASTCHILD = 8;

enum : Word { VT_EMPTY = 0, VT_I4 = 3, VT_DISPATCH = 9 };

class IDispatch;

// The variant of child identifiers and results: empty, a 32-bit number or an object.
struct VARIANT {
  Word vt = VT_EMPTY;
  LongInt lVal = 0;
  IDispatch* pdispVal = nullptr;
};

inline VARIANT VariantOfInteger(LongInt value) {
  VARIANT v;
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

class IDispatch : public virtual IInterface {
 public:
  virtual HRESULT GetTypeInfoCount(UINT* count) = 0;
  virtual HRESULT GetTypeInfo(UINT index, DWORD locale, void** typeInfo) = 0;
  virtual HRESULT GetIDsOfNames(const void* iid, void* names, UINT count, DWORD locale,
                                LongInt* dispIds) = 0;
  virtual HRESULT Invoke(LongInt dispId, const void* iid, DWORD locale, Word flags, void* params,
                         VARIANT* result, void* exceptionInfo, UINT* argumentError) = 0;
};

class IAccessible : public virtual IDispatch {
 public:
  virtual HRESULT get_accParent(IDispatch** parent) = 0;
  virtual HRESULT get_accChildCount(LongInt* count) = 0;
  virtual HRESULT get_accChild(VARIANT child, IDispatch** result) = 0;
  virtual HRESULT get_accName(VARIANT child, WideString* name) = 0;
  virtual HRESULT get_accValue(VARIANT child, WideString* value) = 0;
  virtual HRESULT get_accDescription(VARIANT child, WideString* description) = 0;
  virtual HRESULT get_accRole(VARIANT child, VARIANT* role) = 0;
  virtual HRESULT get_accState(VARIANT child, VARIANT* state) = 0;
  virtual HRESULT get_accHelp(VARIANT child, WideString* help) = 0;
  virtual HRESULT get_accHelpTopic(WideString* helpFile, VARIANT child, LongInt* topic) = 0;
  virtual HRESULT get_accKeyboardShortcut(VARIANT child, WideString* shortcut) = 0;
  virtual HRESULT get_accFocus(VARIANT* child) = 0;
  virtual HRESULT get_accSelection(VARIANT* children) = 0;
  virtual HRESULT get_accDefaultAction(VARIANT child, WideString* action) = 0;
  virtual HRESULT accSelect(LongInt flags, VARIANT child) = 0;
  virtual HRESULT accLocation(LongInt* left, LongInt* top, LongInt* width, LongInt* height,
                              VARIANT child) = 0;
  virtual HRESULT accNavigate(LongInt direction, VARIANT start, VARIANT* end) = 0;
  virtual HRESULT accHitTest(LongInt x, LongInt y, VARIANT* child) = 0;
  virtual HRESULT accDoDefaultAction(VARIANT child) = 0;
  virtual HRESULT put_accName(VARIANT child, const WideString& name) = 0;
  virtual HRESULT put_accValue(VARIANT child, const WideString& value) = 0;
};

class IOleWindow : public virtual IInterface {
 public:
  virtual HRESULT GetWindow(HWND* window) = 0;
  virtual HRESULT ContextSensitiveHelp(BOOL enterMode) = 0;
};

// ---- The bridge ---------------------------------------------------------------------------------

// The properties a helper supports (bits 1, 2, 4 ...); location covers the location itself, hit
// tests and navigation.
enum AccessibleProperty {
  propDefaultAction, propDescription, propFocus, propLocation, propShortcut, propValue
};
using AccessiblePropertySet = orv::Set<AccessibleProperty>;

enum NavigationDirection { ndLeft, ndUp, ndRight, ndDown, ndPrevious, ndNext };
enum HitTestAnswer { hitNone, hitSelf, hitChild };

class TcxAccessibilityHelper;

class IcxAccessibilityHelper : public virtual IInterface {
 public:
  virtual TcxAccessibilityHelper* HelperObject() = 0;
  virtual void NotifyOwnerDestroyed() = 0;
};

// The accessible object of one owner. Index 0 of the questions is the object itself, index
// n + 1 its child n; a child that is not a simple element has a helper of its own, which is
// handed out instead of its number. The owner frees the helper; an owner that goes first
// calls DetachOwner, after which every call answers S_OK with empty results.
class TcxAccessibilityHelper : public TObject,
                               public IcxAccessibilityHelper,
                               public IAccessible,
                               public IOleWindow {
  ORV_CLASS(TcxAccessibilityHelper, TObject)
 public:
  using TCreateSignature = void(TObject* owner);
  explicit TcxAccessibilityHelper(TObject* owner);

  // ---- Questions for descendants (the base answers nothing, or raises where a descendant that
  // declares children or the property must answer) ----
  virtual void DetachOwner() { FOwnerLive = false; }
  // Whether child `index` is a simple element (without a helper of its own).
  virtual Boolean IsElementChild(Integer index);
  virtual void PerformDefaultAction(Integer index) {}
  // True when the focus is known: on a child (`isChild`, `index`) or on the object itself.
  virtual Boolean FindFocusedChild(Boolean& isChild, Integer& index) { return false; }
  virtual TcxAccessibilityHelper* ChildHelperAt(Integer index) { return nullptr; }
  virtual Integer ChildCount() { return 0; }
  virtual Integer IndexOfChild(TcxAccessibilityHelper* child);
  virtual AnsiString QueryDefaultAction(Integer index) { return AnsiString(); }
  virtual AnsiString QueryDescription(Integer index) { return AnsiString(); }
  virtual HitTestAnswer HitTestChild(Integer screenX, Integer screenY, Integer& index) {
    return hitNone;
  }
  virtual void QueryKeyboardAccess(Integer index, Word& shortCut, AnsiString& caption) {
    shortCut = 0;
    caption.clear();
  }
  virtual AnsiString QueryName(Integer index) { return AnsiString(); }
  virtual HWND OwnerWindow() { return nullptr; }
  virtual TcxAccessibilityHelper* GetParentHelper() { return nullptr; }
  // A ROLE_SYSTEM value.
  virtual Integer QueryRole(Integer index) { return 0; }
  virtual void QueryScreenRect(Integer index, TRect& rect) { rect = TRect{}; }
  virtual Boolean QuerySelectable() { return false; }
  // STATE_SYSTEM bits.
  virtual Integer QueryState(Integer index) { return 0; }
  virtual AccessiblePropertySet QuerySupportedProperties(Integer index) { return {}; }
  virtual AnsiString QueryValue(Integer index);
  virtual Integer NavigateFrom(Integer index, NavigationDirection direction);
  virtual void AssignValue(Integer index, const AnsiString& value) {}

  // The object itself lacks STATE_SYSTEM_INVISIBLE.
  Boolean IsVisible();
  // The last helper up the parent chain (this one without a parent).
  TcxAccessibilityHelper* RootHelper();
  Boolean GetOwnerLive() const { return FOwnerLive; }
  TObject* GetOwner() const { return FOwner; }

  // ---- IcxAccessibilityHelper ----
  TcxAccessibilityHelper* HelperObject() override { return this; }
  void NotifyOwnerDestroyed() override { DetachOwner(); }

  // ---- IDispatch: not implemented ----
  HRESULT GetTypeInfoCount(UINT* count) override { return E_NOTIMPL; }
  HRESULT GetTypeInfo(UINT index, DWORD locale, void** typeInfo) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(const void* iid, void* names, UINT count, DWORD locale,
                        LongInt* dispIds) override {
    return E_NOTIMPL;
  }
  HRESULT Invoke(LongInt dispId, const void* iid, DWORD locale, Word flags, void* params,
                 VARIANT* result, void* exceptionInfo, UINT* argumentError) override {
    return E_NOTIMPL;
  }

  // ---- IAccessible ----
  HRESULT get_accParent(IDispatch** parent) override;
  HRESULT get_accChildCount(LongInt* count) override;
  HRESULT get_accChild(VARIANT child, IDispatch** result) override;
  HRESULT get_accName(VARIANT child, WideString* name) override;
  HRESULT get_accValue(VARIANT child, WideString* value) override;
  HRESULT get_accDescription(VARIANT child, WideString* description) override;
  HRESULT get_accRole(VARIANT child, VARIANT* role) override;
  HRESULT get_accState(VARIANT child, VARIANT* state) override;
  HRESULT get_accHelp(VARIANT child, WideString* help) override;
  HRESULT get_accHelpTopic(WideString* helpFile, VARIANT child, LongInt* topic) override;
  HRESULT get_accKeyboardShortcut(VARIANT child, WideString* shortcut) override;
  HRESULT get_accFocus(VARIANT* child) override;
  HRESULT get_accSelection(VARIANT* children) override;
  HRESULT get_accDefaultAction(VARIANT child, WideString* action) override;
  HRESULT accSelect(LongInt flags, VARIANT child) override;
  HRESULT accLocation(LongInt* left, LongInt* top, LongInt* width, LongInt* height,
                      VARIANT child) override;
  HRESULT accNavigate(LongInt direction, VARIANT start, VARIANT* end) override;
  HRESULT accHitTest(LongInt x, LongInt y, VARIANT* child) override;
  HRESULT accDoDefaultAction(VARIANT child) override;
  HRESULT put_accName(VARIANT child, const WideString& name) override;
  HRESULT put_accValue(VARIANT child, const WideString& value) override;

  // ---- IOleWindow ----
  HRESULT GetWindow(HWND* window) override;
  HRESULT ContextSensitiveHelp(BOOL enterMode) override { return S_OK; }

  // ---- Names the bars use (descendants override the operations above) ----
  TcxAccessibilityHelper* GetChildHelper(Integer index) { return ChildHelperAt(index); }
  Integer GetChildHelperCount() { return ChildCount(); }
  Integer GetChildHelperIndex(TcxAccessibilityHelper* child) { return IndexOfChild(child); }
  HWND GetOwnerWindowHandle() { return OwnerWindow(); }
  void GetScreenRect(Integer index, TRect& rect) { QueryScreenRect(index, rect); }
  Boolean CanBeSelected() { return QuerySelectable(); }
  Integer GetStateFlags(Integer index) { return QueryState(index); }
  TObject* GetOwnerObject() const { return FOwner; }
  Boolean GetOwnerObjectLive() const { return FOwnerLive; }

 protected:
  // Child identifier to index: 0 the object itself, n (1 .. ChildCount, a simple element)
  // child n - 1; E_INVALIDARG otherwise.
  HRESULT ValidateChildId(const VARIANT& child, Integer& index);
  // A child number about to be returned that names a child with a helper of its own becomes
  // that helper.
  void ConvertChildResult(VARIANT& result);
  Boolean Supported(Integer index, AccessibleProperty property) {
    return QuerySupportedProperties(index).Contains(property);
  }

 private:
  HRESULT GetText(VARIANT child, WideString* text, AnsiString (TcxAccessibilityHelper::*query)(Integer),
                  Boolean needsProperty, AccessibleProperty property, Boolean emptyIsFalse);
  TObject* FOwner;
  Boolean FOwnerLive = true;
};

namespace orv {
// The accessibility library's entries, bound by name when first needed; nullptr when the
// library is missing (always here). Tests may put stand-ins in place.
using TAccessibleObjectFromWindow = HRESULT (*)(HWND window, DWORD objectId, const void* iid,
                                                void** object);
using TLresultFromObject = LRESULT (*)(const void* iid, WPARAM wParam, void* object);
struct TAccessibilityLibrary {
  TAccessibleObjectFromWindow AccessibleObjectFromWindow = nullptr;
  TLresultFromObject LresultFromObject = nullptr;
};
const TAccessibilityLibrary& GetAccessibilityLibrary();
void SetAccessibilityLibrary(const TAccessibilityLibrary& library);
}  // namespace orv
