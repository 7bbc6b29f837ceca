#include "components/foundation/cxContainer.h"

#include <algorithm>

#include "components/foundation/cxGeometry.h"
#include "components/foundation/dxOffice11.h"
#include "platform/controls/Forms.h"
#include "platform/controls/UserControls.h"
#include "platform/drawing/Gdi.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Math.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

TcxStyleController* GlobalDefaultStyleController = nullptr;

namespace {

const char* const kValueNames[] = {"BorderColor", "BorderStyle", "Color",     "Edges",
                                   "Font",        "HotTrack",    "Shadow",    "TextColor",
                                   "TextStyle",   "TransparentBorder"};

// Controllers may follow controllers; a chain longer than this is a loop that slipped past the
// link check (it cannot be made through SetStyleController) and ends the search.
constexpr int kMaxControllerDepth = 64;

// The state styles' border style derived from the parent's: the focused and hot rows.
TcxContainerBorderStyle HotBorderStyle(TcxContainerBorderStyle parent) {
  switch (parent) {
    case cbsNone: return cbsFlat;
    case cbsSingle: return cbsThick;
    case cbsThick: return cbsThick;
    case cbsFlat: return cbs3D;
    case cbs3D: return cbs3D;
    case cbsUltraFlat: return cbsUltraFlat;
    case cbsOffice11: return cbsOffice11;
  }
  return parent;
}

const orv::EnumNames<TcxContainerBorderStyle> kBorderStyleNames(
    "TcxContainerBorderStyle",
    {"cbsNone", "cbsSingle", "cbsThick", "cbsFlat", "cbs3D", "cbsUltraFlat", "cbsOffice11"});
const orv::EnumNames<TcxContainerStyleValue> kStyleValueNames(
    "TcxContainerStyleValue",
    {"csvBorderColor", "csvBorderStyle", "csvColor", "csvEdges", "csvFont", "csvHotTrack",
     "csvShadow", "csvTextColor", "csvTextStyle", "csvTransparentBorder"});

}  // namespace

// ==== Container style =========================================================================

ORV_PUBLISH(TcxContainerStyle) {
  using T = TcxContainerStyle;
  auto stored = [](TcxContainerStyleValue v) {
    return [v](T* s) { return s->IsValueStored(v); };
  };
  p.Property("AssignedValues", &T::GetAssignedValues, &T::SetAssignedValues)
      .Stored([](T*) { return false; });
  p.Property("BorderColor", &T::GetBorderColor, &T::SetBorderColor).Stored(stored(csvBorderColor));
  p.Property("BorderStyle", &T::GetBorderStyle, &T::SetBorderStyle).Stored(stored(csvBorderStyle));
  p.Property("Color", &T::GetColor, &T::SetColor).Stored(stored(csvColor));
  p.Property("Edges", &T::GetEdges, &T::SetEdges).Stored(stored(csvEdges));
  p.Property("Font", &T::GetFont, &T::SetFont).Stored(stored(csvFont));
  p.Property("HotTrack", &T::GetHotTrack, &T::SetHotTrack).Stored(stored(csvHotTrack));
  p.Property("LookAndFeel", &T::GetLookAndFeel, &T::SetLookAndFeel);
  p.Property("Shadow", &T::GetShadow, &T::SetShadow).Stored(stored(csvShadow));
  p.Property("StyleController", &T::GetStyleController, &T::SetStyleController)
      .Stored([](T* s) { return s->IsStyleControllerStored(); });
  p.Property("TextColor", &T::GetTextColor, &T::SetTextColor).Stored(stored(csvTextColor));
  p.Property("TextStyle", &T::GetTextStyle, &T::SetTextStyle).Stored(stored(csvTextStyle));
  p.Property("TransparentBorder", &T::GetTransparentBorder, &T::SetTransparentBorder)
      .Stored(stored(csvTransparentBorder));
}

TcxContainerStyle::TcxContainerStyle(TPersistent* owner, Boolean directAccess,
                                     TcxContainerStyle* parentStyle, Integer state)
    : TcxInterfacedPersistent(owner),
      FOwner(owner),
      FContainer(dynamic_cast<TcxContainer*>(owner)),
      FState(state),
      FParentStyle(state != csNormalStyle ? parentStyle : nullptr),
      FDirectAccessMode(directAccess) {
  if (directAccess) FAssignedValues = {csvColor, csvFont, csvTextColor, csvTextStyle};
  if (IsRootStyle() && !directAccess) {
    FFont = new TFont;
    FOwnsFont = true;
    FFont->SetOnChange(TNotifyEvent(this, &TcxContainerStyle::HandleFontChange));
  }
  FVisibleFont = new TFont;
  if (IsRootStyle()) {
    FLookAndFeel = new TcxLookAndFeel(this);
    FLookAndFeel->SetOnChanged(TcxLookAndFeelChangedEvent(this, &TcxContainerStyle::LookAndFeelChanged));
    SetStyleController(nullptr);  // links the default controller
  }
}

void TcxContainerStyle::BeforeDestruction() {
  FDestroying = true;
  if (IsRootStyle() && FStyleController) FStyleController->RemoveStyleListener(this);
  FStyleController = nullptr;
  inherited::BeforeDestruction();
}

TcxContainerStyle::~TcxContainerStyle() {
  orv::Free(FLookAndFeel);
  orv::Free(FVisibleFont);
  if (FOwnsFont) orv::Free(FFont);
}

// ---- Resolution --------------------------------------------------------------------------------

TcxContainerStyle* TcxContainerStyle::ControllerStyle(Integer state) const {
  TcxStyleController* controller = GetEffectiveStyleController();
  if (!controller || controller->IsDestroying()) return nullptr;
  return controller->GetStyles()->GetStyleByState(state);
}

const TcxContainerStyle* TcxContainerStyle::FindValueSource(TcxContainerStyleValue value) const {
  const TcxContainerStyle* style = Holder(value);
  for (int depth = 0; style && depth < kMaxControllerDepth; ++depth) {
    if (style->FAssignedValues.Contains(value)) return style;
    style = style->ControllerStyle(style->FState);
  }
  return nullptr;
}

Boolean TcxContainerStyle::IsValueAssigned(Integer index) const {
  if (index < 0 || index >= 10) return false;
  return FindValueSource(TcxContainerStyleValue(index)) != nullptr;
}

TColor TcxContainerStyle::GetBorderColor() const {
  if (FDirectAccessMode) return clDefault;
  const TcxContainerStyle* s = FindValueSource(csvBorderColor);
  return s ? s->FBorderColor : GetDefaultBorderColor();
}

TcxContainerBorderStyle TcxContainerStyle::GetBorderStyle() const {
  if (FDirectAccessMode)
    return FAssignedValues.Contains(csvBorderStyle) ? FBorderStyle : GetDefaultBorderStyle();
  const TcxContainerStyle* s = FindValueSource(csvBorderStyle);
  return s ? s->FBorderStyle : GetDefaultBorderStyle();
}

TColor TcxContainerStyle::GetColor() const {
  if (FDirectAccessMode) return FColor;
  if (IsRootStyle() && FContainer && FContainer->GetParentColor() && FContainer->GetParent())
    return FContainer->GetParent()->GetColor();
  const TcxContainerStyle* s = FindValueSource(csvColor);
  return s ? s->FColor : GetDefaultColor();
}

TColor TcxContainerStyle::GetVisibleColor() const {
  if (FDirectAccessMode) return FColor;
  if (const TcxContainerStyle* s = FindValueSource(csvColor)) return s->FColor;
  if (IsRootStyle() && FContainer && !FContainer->IsInplace() && FContainer->GetParentColor() &&
      FContainer->GetParent())
    return FContainer->GetParent()->GetColor();
  return GetDefaultColor();
}

TcxBorders TcxContainerStyle::GetEdges() const {
  if (FDirectAccessMode) return {};
  const TcxContainerStyle* s = FindValueSource(csvEdges);
  return s ? s->FEdges : GetRootStyle()->GetDefaultEdges();
}

TFont* TcxContainerStyle::GetFont() const { return GetRootStyle()->FFont; }

Boolean TcxContainerStyle::GetHotTrack() const {
  const TcxContainerStyle* root = GetRootStyle();
  if (FDirectAccessMode)
    return root->FAssignedValues.Contains(csvHotTrack) ? root->FHotTrack : root->GetDefaultHotTrack();
  const TcxContainerStyle* s = FindValueSource(csvHotTrack);
  return s ? s->FHotTrack : root->GetDefaultHotTrack();
}

Boolean TcxContainerStyle::GetShadow() const {
  if (FDirectAccessMode) return false;
  const TcxContainerStyle* s = FindValueSource(csvShadow);
  return s ? s->FShadow : GetRootStyle()->GetDefaultShadow();
}

TColor TcxContainerStyle::GetTextColor() const {
  if (FDirectAccessMode) return FTextColor;
  const TcxContainerStyle* s = FindValueSource(csvTextColor);
  return s ? s->FTextColor : GetDefaultTextColor();
}

TFontStyles TcxContainerStyle::GetTextStyle() const {
  if (FDirectAccessMode) return FTextStyle;
  const TcxContainerStyle* s = FindValueSource(csvTextStyle);
  return s ? s->FTextStyle : GetDefaultTextStyle();
}

Boolean TcxContainerStyle::GetTransparentBorder() const {
  if (FDirectAccessMode) return true;
  const TcxContainerStyle* s = FindValueSource(csvTransparentBorder);
  return s ? s->FTransparentBorder : GetRootStyle()->GetDefaultTransparentBorder();
}

// ---- Defaults ----------------------------------------------------------------------------------

TColor TcxContainerStyle::GetDefaultBorderColor() const {
  if (FState == csDisabledStyle) return clBtnShadow;
  return IsRootStyle() ? clWindowFrame : FParentStyle->GetBorderColor();
}

TcxContainerBorderStyle TcxContainerStyle::GetDefaultBorderStyle() const {
  if (IsRootStyle()) {
    switch (GetLookAndFeel()->GetKind()) {
      case lfFlat: return cbsFlat;
      case lfStandard: return cbs3D;
      case lfUltraFlat: return cbsUltraFlat;
      case lfOffice11: return cbsOffice11;
    }
    return cbs3D;
  }
  const TcxContainerBorderStyle parent = FParentStyle->GetBorderStyle();
  // The disabled row keeps the parent's border; the focused and hot rows raise it.
  if (GetHotTrack() && (FState == csFocusedStyle || FState == csHotStyle)) return HotBorderStyle(parent);
  return parent;
}

TColor TcxContainerStyle::GetDefaultColor() const {
  const Boolean parentColorByDefault = FContainer && FContainer->UsesParentColorByDefault();
  if (IsRootStyle()) return !FContainer || parentColorByDefault ? clBtnFace : clWindow;
  if (FState == csDisabledStyle && FContainer && !parentColorByDefault) return clBtnFace;
  return FParentStyle->GetColor();
}

TColor TcxContainerStyle::GetDefaultTextColor() const {
  if (FState == csDisabledStyle) return clBtnShadow;
  if (IsRootStyle()) return FFont ? FFont->GetColor() : clWindowText;
  return FParentStyle->GetTextColor();
}

TFontStyles TcxContainerStyle::GetDefaultTextStyle() const {
  if (IsRootStyle()) return FFont ? FFont->GetStyle() : TFontStyles{};
  return FParentStyle->GetTextStyle();
}

TcxStyleController* TcxContainerStyle::GetDefaultController() const {
  TcxStyleController* controller = GlobalDefaultStyleController;
  return controller && !controller->IsDestroying() ? controller : nullptr;
}

// ---- Setters -----------------------------------------------------------------------------------

void TcxContainerStyle::MarkAssigned(TcxContainerStyleValue value) {
  FAssignedValues.Include(value);
  StyleChanged();
}

void TcxContainerStyle::SetBorderColor(TColor value) {
  if (FAssignedValues.Contains(csvBorderColor) && FBorderColor == value) return;
  FBorderColor = value;
  MarkAssigned(csvBorderColor);
}

void TcxContainerStyle::SetBorderStyle(TcxContainerBorderStyle value) {
  if (FAssignedValues.Contains(csvBorderStyle) && FBorderStyle == value) return;
  FBorderStyle = value;
  MarkAssigned(csvBorderStyle);
}

void TcxContainerStyle::SetColor(TColor value) {
  if (FAssignedValues.Contains(csvColor) && FColor == value) return;
  FColor = value;
  MarkAssigned(csvColor);
}

void TcxContainerStyle::SetEdges(TcxBorders value) {
  TcxContainerStyle* root = GetRootStyle();
  if (root->FAssignedValues.Contains(csvEdges) && root->FEdges == value) return;
  root->FEdges = value;
  root->MarkAssigned(csvEdges);
}

void TcxContainerStyle::SetHotTrack(Boolean value) {
  TcxContainerStyle* root = GetRootStyle();
  if (root->FAssignedValues.Contains(csvHotTrack) && root->FHotTrack == value) return;
  root->FHotTrack = value;
  root->MarkAssigned(csvHotTrack);
}

void TcxContainerStyle::SetShadow(Boolean value) {
  TcxContainerStyle* root = GetRootStyle();
  if (root->FAssignedValues.Contains(csvShadow) && root->FShadow == value) return;
  root->FShadow = value;
  root->MarkAssigned(csvShadow);
}

void TcxContainerStyle::SetTransparentBorder(Boolean value) {
  TcxContainerStyle* root = GetRootStyle();
  if (root->FAssignedValues.Contains(csvTransparentBorder) && root->FTransparentBorder == value) return;
  root->FTransparentBorder = value;
  root->MarkAssigned(csvTransparentBorder);
}

void TcxContainerStyle::SetTextColor(TColor value) {
  if (FAssignedValues.Contains(csvTextColor) && GetTextColor() == value) return;
  FTextColor = value;
  MarkAssigned(csvTextColor);
}

void TcxContainerStyle::SetTextStyle(TFontStyles value) {
  if (FAssignedValues.Contains(csvTextStyle) && GetTextStyle() == value) return;
  FTextStyle = value;
  MarkAssigned(csvTextStyle);
}

void TcxContainerStyle::SetFont(TFont* value) {
  TcxContainerStyle* root = GetRootStyle();
  if (root->FDirectAccessMode) {
    // The in-place painter lends its font; nothing is copied.
    root->FFont = value;
    root->MarkAssigned(csvFont);
    return;
  }
  if (!value || !root->FFont) return;
  // The copy reports itself through HandleFontChange, which marks Font assigned.
  root->LockUpdate();
  root->FFont->Assign(value);
  root->FAssignedValues.Include(csvFont);
  root->StyleChanged();
  root->UnlockUpdate();
}

void TcxContainerStyle::SetAssignedValues(TcxContainerStyleValues value) {
  if (FAssignedValues == value) return;
  LockUpdate();
  FAssignedValues = value;
  if (IsRootStyle()) RefreshFont();
  StyleChanged();
  UnlockUpdate();
}

TcxLookAndFeel* TcxContainerStyle::GetLookAndFeel() const { return GetRootStyle()->FLookAndFeel; }

void TcxContainerStyle::SetLookAndFeel(TcxLookAndFeel* value) {
  if (value) GetLookAndFeel()->Assign(value);
}

TFont* TcxContainerStyle::GetDisplayFont() {
  if (TFont* font = GetFont()) FVisibleFont->Assign(font);
  FVisibleFont->SetColor(GetTextColor());
  FVisibleFont->SetStyle(GetTextStyle());
  return FVisibleFont;
}

// ---- Change notification -----------------------------------------------------------------------

void TcxContainerStyle::LockUpdate() { ++FUpdateCount; }

void TcxContainerStyle::UnlockUpdate() {
  if (FUpdateCount == 0) return;
  --FUpdateCount;
  CheckChanges();
}

void TcxContainerStyle::CheckChanges() {
  if (!FModified || FUpdateCount != 0) return;
  FModified = false;
  if (!FDestroying && !FDirectAccessMode && FOnChanged) FOnChanged(this);
}

void TcxContainerStyle::StyleChanged() {
  FModified = true;
  CheckChanges();
}

void TcxContainerStyle::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) { StyleChanged(); }

void TcxContainerStyle::HandleFontChange(TObject*) {
  if (FFontAssignLock == 0) FAssignedValues.Include(csvFont);
  StyleChanged();
}

void TcxContainerStyle::RefreshFont() {
  TcxContainerStyle* root = GetRootStyle();
  if (root != this) {
    root->RefreshFont();
    return;
  }
  if (FDirectAccessMode || !FFont || FAssignedValues.Contains(csvFont)) return;
  ++FFontAssignLock;
  const TcxContainerStyle* source = nullptr;
  if (TcxContainerStyle* controllerStyle = ControllerStyle(csNormalStyle))
    source = controllerStyle->FindValueSource(csvFont);
  if (source && source->GetFont()) {
    FFont->Assign(source->GetFont());
  } else if (!FContainer || !FContainer->GetParentFont()) {
    TFont defaults;
    FFont->Assign(&defaults);
  }
  --FFontAssignLock;
}

// ---- Style controller link ---------------------------------------------------------------------

TcxStyleController* TcxContainerStyle::GetEffectiveStyleController() const {
  return GetRootStyle()->FStyleController;
}

TcxStyleController* TcxContainerStyle::GetStyleController() const {
  TcxStyleController* controller = GetEffectiveStyleController();
  return controller == GetDefaultController() ? nullptr : controller;
}

void TcxContainerStyle::SetStyleController(TcxStyleController* value) {
  TcxContainerStyle* root = GetRootStyle();
  if (root != this) {
    root->SetStyleController(value);
    return;
  }
  TcxStyleController* defaultController = GetDefaultController();
  // The default controller's own styles follow nobody.
  if (defaultController && FOwner == defaultController) return;
  if (!value) value = defaultController;
  if (value && value->IsDestroying()) return;
  // Refuse a controller whose chain of styles leads back here.
  TcxStyleController* c = value;
  for (int depth = 0; c && depth < kMaxControllerDepth; ++depth) {
    TcxContainerStyle* style = c->GetStyles()->GetNormalStyle();
    if (style == this) return;
    c = style->FStyleController;
  }
  LinkController(value);
}

void TcxContainerStyle::LinkController(TcxStyleController* value) {
  if (value == FStyleController) return;
  // Moving the look-and-feel master and refreshing the font are one change.
  LockUpdate();
  if (FStyleController) FStyleController->RemoveStyleListener(this);
  FStyleController = value;
  if (FStyleController) FStyleController->AddStyleListener(this);
  StyleControllerChanged();
  UnlockUpdate();
}

void TcxContainerStyle::StyleControllerChanged() {
  LockUpdate();
  RefreshFont();
  StyleChanged();
  UnlockUpdate();
}

void TcxContainerStyle::StyleControllerFreed(TcxStyleController* controller) {
  if (controller != GetEffectiveStyleController()) return;
  // The freed controller may be the default one: then nobody is left to follow.
  TcxStyleController* next = GetDefaultController();
  if (next == controller) next = nullptr;
  LinkController(next);
}

// ---- Names, assignment, reset, storage ---------------------------------------------------------

Boolean TcxContainerStyle::GetValueName(Integer index, AnsiString& name) const {
  if (index < 0 || index >= 10) {
    name.clear();
    return false;
  }
  name = kValueNames[index];
  return true;
}

Boolean TcxContainerStyle::FindValueIndex(const AnsiString& name, Integer& index) const {
  AnsiString valueName;
  for (Integer i = 0; i < GetValueCount(); ++i)
    if (GetValueName(i, valueName) && CompareStringsEqual(valueName, name, false)) {
      index = i;
      return true;
    }
  index = -1;
  return false;
}

Boolean TcxContainerStyle::IsBorderVisible() const {
  return IsRootStyle() ? true : FParentStyle->IsBorderVisible();
}

void TcxContainerStyle::Assign(TPersistent* source) {
  auto* style = dynamic_cast<TcxContainerStyle*>(source);
  if (!style) {
    inherited::Assign(source);
    return;
  }
  if (style == this) return;
  LockUpdate();
  if (IsRootStyle()) {
    SetStyleController(style->GetStyleController());
    FLookAndFeel->Assign(style->GetLookAndFeel());
  }
  FBorderColor = style->FBorderColor;
  FBorderStyle = style->FBorderStyle;
  FEdges = style->FEdges;
  FHotTrack = style->FHotTrack;
  FShadow = style->FShadow;
  FTransparentBorder = style->FTransparentBorder;
  FColor = style->FColor;
  if (FDirectAccessMode) {
    FFont = style->GetFont();
    FTextColor = style->GetTextColor();
  } else {
    ++FFontAssignLock;
    if (FFont && style->GetFont()) {
      FFont->Assign(style->GetFont());
      if (style->FDirectAccessMode) FFont->SetColor(style->GetTextColor());
    }
    --FFontAssignLock;
    FTextColor = style->GetTextColor();
    FTextStyle = style->GetTextStyle();
  }
  FAssignedValues = style->FAssignedValues;
  StyleChanged();
  UnlockUpdate();
}

void TcxContainerStyle::ResetToDefaults() {
  LockUpdate();
  SetAssignedValues({});
  if (IsRootStyle()) {
    FLookAndFeel->ResetAssignedValues();
    if (FContainer) {
      FContainer->SetParentColor(false);
      FContainer->SetParentFont(true);
    } else if (!FDirectAccessMode && FFont) {
      ++FFontAssignLock;
      TFont defaults;
      FFont->Assign(&defaults);
      --FFontAssignLock;
    }
    if (FContainer && FContainer->UsesParentColorByDefault()) {
      TcxContainerStyle* controllerStyle = ControllerStyle(csNormalStyle);
      if (!controllerStyle || !controllerStyle->IsValueAssigned(csvColor)) FContainer->SetParentColor(true);
    }
  }
  StyleChanged();
  UnlockUpdate();
}

Boolean TcxContainerStyle::IsValueStored(TcxContainerStyleValue value) const {
  // A state style never holds the root values itself, so it never stores them.
  if (!FAssignedValues.Contains(value)) return false;
  AnsiString name;
  return !FContainer ||
         (GetValueName(value, name) && FContainer->IsStylePropertyStored(name, FState != csNormalStyle));
}

void TcxContainerStyle::DefineProperties(TFiler* filer) {
  inherited::DefineProperties(filer);
  filer->DefineProperty("IsFontAssigned",
                        TReaderProc(this, &TcxContainerStyle::ReadIsFontAssigned),
                        TWriterProc(this, &TcxContainerStyle::WriteIsFontAssigned),
                        IsValueStored(csvFont));
}

void TcxContainerStyle::ReadIsFontAssigned(TReader* reader) {
  reader->ReadBoolean();  // whatever it says, a stored font is an assigned one
  GetRootStyle()->FAssignedValues.Include(csvFont);
}

void TcxContainerStyle::WriteIsFontAssigned(TWriter* writer) { writer->WriteBoolean(true); }

// ==== Style set ===============================================================================

TcxContainerStyles::TcxContainerStyles(TPersistent* owner, TcxContainerStyleClass styleClass) {
  FStyles[csNormalStyle] = styleClass.Create(owner, false, nullptr, csNormalStyle);
  for (Integer state = csFocusedStyle; state <= csHotStyle; ++state)
    FStyles[state] = styleClass.Create(owner, false, FStyles[csNormalStyle], state);
}

void TcxContainerStyles::BeforeDestruction() {
  for (Integer state = csHotStyle; state >= csNormalStyle; --state) orv::Free(FStyles[state]);
  FStyles.fill(nullptr);
  inherited::BeforeDestruction();
}

void TcxContainerStyles::SetOnChanged(const TcxContainerStyleChangedEvent& value) {
  for (TcxContainerStyle* style : FStyles) style->SetOnChanged(value);
}

// ==== Style controller ========================================================================

ORV_PUBLISH(TcxStyleController) {
  using T = TcxStyleController;
  p.Property("Style", &T::GetStyle, &T::SetStyle);
  p.Property("StyleDisabled", &T::GetStyleDisabled, &T::SetStyleDisabled);
  p.Property("StyleFocused", &T::GetStyleFocused, &T::SetStyleFocused);
  p.Property("StyleHot", &T::GetStyleHot, &T::SetStyleHot);
  p.Property("FakeStyleController", &T::GetFakeStyleController, &T::SetFakeStyleController)
      .Stored([](T*) { return false; });
  p.Property("OnStyleChanged", &T::GetOnStyleChanged, &T::SetOnStyleChanged);
}

TcxStyleController::TcxStyleController(TComponent* owner) : TComponent(owner) {}

TcxContainerStyles* TcxStyleController::GetStyles() {
  if (!FStyles) {
    // Made here rather than in the constructor, so that the classes a descendant names count.
    FStyles = GetStylesClass().Create(this, GetStyleClass());
    FStyles->SetOnChanged(TcxContainerStyleChangedEvent(this, &TcxStyleController::NotifyStyleChanged));
  }
  return FStyles;
}

void TcxStyleController::BeforeDestruction() {
  FIsDestruction = true;
  // Each listener unlinks itself (and may link the default controller) while it hears this.
  for (Integer i = Integer(FListeners.size()) - 1; i >= 0; --i) {
    if (i >= Integer(FListeners.size())) continue;
    FListeners[i]->StyleControllerFreed(this);
  }
  FListeners.clear();
  orv::Free(FStyles);
  FStyles = nullptr;
  if (GlobalDefaultStyleController == this) GlobalDefaultStyleController = nullptr;
  inherited::BeforeDestruction();
}

void TcxStyleController::Loaded() {
  inherited::Loaded();
  NotifyStyleChanged();
}

void TcxStyleController::NotifyStyleChanged(TObject*) {
  if (FOnStyleChanged) FOnStyleChanged(this);
  if (FIsDestruction) return;
  // A listener may unlink itself while it hears the change: walk a copy.
  const std::vector<TcxContainerStyle*> listeners = FListeners;
  for (TcxContainerStyle* style : listeners)
    if (std::find(FListeners.begin(), FListeners.end(), style) != FListeners.end())
      style->StyleControllerChanged();
}

void TcxStyleController::AddStyleListener(TcxContainerStyle* listener) {
  if (!listener || std::find(FListeners.begin(), FListeners.end(), listener) != FListeners.end()) return;
  FListeners.push_back(listener);
  listener->GetLookAndFeel()->SetMaster(GetStyles()->GetNormalStyle()->GetLookAndFeel());
}

void TcxStyleController::RemoveStyleListener(TcxContainerStyle* listener) {
  auto it = std::find(FListeners.begin(), FListeners.end(), listener);
  if (it == FListeners.end()) return;
  FListeners.erase(it);
  if (!listener->FDestroying) listener->GetLookAndFeel()->SetMaster(nullptr);
}

void TcxStyleController::ScaleFont(Integer multiplier, Integer divisor) {
  TcxContainerStyle* style = GetStyles()->GetNormalStyle();
  if (style->GetAssignedValues().Contains(csvFont)) {
    if (FFontScaled) return;
    FFontScaled = true;
    TFont* font = style->GetFont();
    font->SetSize(MulDiv(font->GetSize(), multiplier, divisor));
    return;
  }
  TcxStyleController* next = style->GetEffectiveStyleController();
  if (next && next != this) next->ScaleFont(multiplier, divisor);
}

// ==== Border routines =========================================================================

Integer GetContainerBorderWidth(TcxContainerBorderStyle borderStyle) {
  static constexpr Integer kWidths[] = {0, 1, 2, 2, 2, 1, 1};
  const int i = int(borderStyle);
  return i >= 0 && i < 7 ? kWidths[i] : 0;
}

Integer GetLookAndFeelBorderWidth(TcxLookAndFeelKind kind) {
  switch (kind) {
    case lfFlat:
    case lfStandard: return 2;
    case lfUltraFlat:
    case lfOffice11: return 1;
  }
  return 2;
}

void DrawDropShadow(TcxCanvas* canvas, const TRect& rect) {
  const TRect bottom{rect.Left + 3, rect.Bottom, rect.Right, rect.Bottom + 3};
  const TRect right{rect.Right, rect.Top + 3, rect.Right + 3, rect.Bottom + 3};
  canvas->FillRect(bottom, clBtnShadow);
  canvas->ExcludeFromClip(bottom);
  canvas->FillRect(right, clBtnShadow);
  canvas->ExcludeFromClip(right);
}

void GrowRectByEdges(TRect& rect, Integer width, TcxBorders edges) {
  if (edges.Contains(bLeft)) rect.Left -= width;
  if (edges.Contains(bTop)) rect.Top -= width;
  if (edges.Contains(bRight)) rect.Right += width;
  if (edges.Contains(bBottom)) rect.Bottom += width;
}

void ShrinkRectByMissingEdges(TRect& rect, Integer width, TcxBorders edges) {
  if (!edges.Contains(bLeft)) rect.Left += width;
  if (!edges.Contains(bTop)) rect.Top += width;
  if (!edges.Contains(bRight)) rect.Right -= width;
  if (!edges.Contains(bBottom)) rect.Bottom -= width;
}

namespace {
// The four bands of `outer` less `inner`: left and right full height, top and bottom between.
template <class F>
void ForEachFrameBand(const TRect& outer, const TRect& inner, F&& f) {
  f(TRect{outer.Left, outer.Top, inner.Left, outer.Bottom});
  f(TRect{inner.Left, outer.Top, inner.Right, inner.Top});
  f(TRect{inner.Right, outer.Top, outer.Right, outer.Bottom});
  f(TRect{inner.Left, inner.Bottom, inner.Right, outer.Bottom});
}
}  // namespace

void FillFrameBand(TcxCanvas* canvas, const TRect& outer, const TRect& inner, TColor color) {
  if (RectIsEmpty(outer) || outer == inner) return;
  if (RectIsEmpty(inner)) {
    canvas->FillRect(outer, color);
    return;
  }
  ForEachFrameBand(outer, inner, [&](const TRect& band) {
    if (!RectIsEmpty(band)) canvas->FillRect(band, color);
  });
}

TcxRegion* CreateContainerRegion(HWND window, const TRect& outerRect, const TRect& shadowInsets,
                                 Boolean themedFrame, Boolean shadow, const TRect& excludedRect) {
  if (themedFrame) return nullptr;
  if (window) {
    TRect client{};
    if (GetClientRect(window, &client) && client == outerRect) return nullptr;
  }
  auto* region = new TcxRegion(outerRect);
  if (shadow) {
    TRect r = outerRect;
    r.Left += 3 + shadowInsets.Left;
    r.Top += 3 + shadowInsets.Top;
    r.Right += 3 - shadowInsets.Right;
    r.Bottom += 3 - shadowInsets.Bottom;
    if (!RectIsEmpty(r)) region->CombineWith(new TcxRegion(r), roAdd);
  }
  if (!RectIsEmpty(excludedRect)) region->CombineWith(new TcxRegion(excludedRect), roSubtract);
  return region;
}

void ApplyWindowRegion(HWND window, const TRect& outerRect, const TRect& shadowInsets,
                       Boolean themedFrame, Boolean shadow, const TRect& excludedRect) {
  if (!window) return;
  TcxRegion* region = CreateContainerRegion(window, outerRect, shadowInsets, themedFrame, shadow, excludedRect);
  HRGN current = CreateRectRgn(0, 0, 0, 0);
  const Boolean hasCurrent = GetWindowRgn(window, current) != ERROR;
  Boolean differs;
  if (region) differs = !hasCurrent || !EqualRgn(region->GetHandle(), current);
  else differs = hasCurrent;
  DeleteObject(current);
  if (differs) {
    HRGN handle = nullptr;
    if (region) {
      // The window takes the handle over.
      handle = CreateRectRgn(0, 0, 0, 0);
      CombineRgn(handle, region->GetHandle(), nullptr, RGN_COPY);
    }
    SetWindowRgn(window, handle, TRUE);
  }
  orv::Free(region);
}

void SetChildWindowRegion(HWND child, const TcxContainerInnerControlClipState& clipState) {
  if (!child) return;
  if (clipState.IsWhollyVisible) SetWindowRgn(child, nullptr, TRUE);
  else SetWindowRgn(child, CreateRectRgnIndirect(&clipState.VisibleRect), TRUE);
}

void SetChildWindowRegion(TWinControl* child, const TcxContainerInnerControlClipState& clipState) {
  if (child && child->HandleAllocated()) SetChildWindowRegion(child->GetHandle(), clipState);
}

void InvalidateRectExcept(HWND window, const TRect& outer, const TRect& inner, Boolean erase) {
  if (RectIsEmpty(inner)) {
    InvalidateRect(window, &outer, erase);
    return;
  }
  ForEachFrameBand(outer, inner, [&](const TRect& band) {
    if (!RectIsEmpty(band)) InvalidateRect(window, &band, erase);
  });
}

// ==== View info ===============================================================================

void TcxContainerViewInfo::Assign(TObject* source) {
  if (auto* other = dynamic_cast<TcxContainerViewInfo*>(source)) ClientRect = other->ClientRect;
}

TcxRegion* TcxContainerViewInfo::CreateUpdateRegion(TcxContainerViewInfo*) { return new TcxRegion(); }

void TcxContainerViewInfo::OffsetRects(Integer dx, Integer dy) {
  for (TRect* r : {&BorderRect, &Bounds, &ClientRect}) {
    r->Left += dx;
    r->Right += dx;
    r->Top += dy;
    r->Bottom += dy;
  }
}

void TcxContainerViewInfo::DrawBorder(TcxCanvas* canvas, const TRect& rect) {
  const TcxContainerBorderStyle style = GetContainerBorderStyle();
  if (Painter || style == cbsSingle || style == cbsThick) {
    canvas->DrawBorderLines(rect, BorderColor, BorderWidth, cxBordersAll);
    return;
  }
  if (style != cbsFlat && style != cbs3D) return;
  canvas->Draw3DEdge(rect, true, true, Edges);
  TRect inner = rect;
  inner = GetInflatedRect(inner, -1, -1);
  if (style == cbsFlat) canvas->DrawBorderLines(inner, clBtnFace, 1, cxBordersAll);
  else canvas->Draw3DEdge(inner, true, false, Edges);
}

void TcxContainerViewInfo::DoPaint(TcxCanvas* canvas) {
  if (NativeStyle) {
    if (BorderStyle == cbsNone) {
      canvas->FillRect(Bounds, BackgroundColor);
      return;
    }
    // The theme's content rectangle takes the background, the band around it the theme's
    // border colour.
    TRect content = Bounds;
    if (TdxTheme theme = GetThemeHandle(TdxThemedObjectKind(ThemedObjectType)))
      GetThemeBackgroundContentRect(theme, canvas->GetHandle(), 1, NativeState, Bounds, content);
    canvas->FillRect(content, BackgroundColor);
    constexpr int TMT_BORDERCOLOR = 3801;
    const Boolean composition = IsDesktopCompositionEnabled();
    COLORREF border = ColorToRGB(clWindowFrame);
    if (TdxTheme theme = GetThemeHandle(composition ? totListBox : totComboBox))
      GetThemeColor(theme, composition ? 3 : 1, 1, TMT_BORDERCOLOR, border);
    FillFrameBand(canvas, Bounds, content, TColor(border));
    return;
  }
  const Integer width = BorderWidth;
  TRect r = BorderRect;
  r.Left -= width;
  r.Top -= width;
  if (Edges.Contains(bRight)) r.Right += width;
  if (Edges.Contains(bBottom)) r.Bottom += width;
  if (Shadow) DrawDropShadow(canvas, r);
  if (!Edges.Contains(bRight)) r.Right += width;
  if (!Edges.Contains(bBottom)) r.Bottom += width;
  DrawBorder(canvas, r);
  canvas->FillRect(BorderRect, BackgroundColor);
}

// ==== The container control ===================================================================

namespace {

// Handler steps run only while the object lives: a handler may free the control (a click that
// closes its form).
using TLinkGuard = orv::TObjectLinkGuard;

using orv::TFlagScope;

// Whether two fonts would draw the same: copying one onto the other then changes nothing, so the
// copy (which the control hears of as a font change) is left out.
Boolean SameFont(TFont* a, TFont* b) {
  return a->GetName() == b->GetName() && a->GetHeight() == b->GetHeight() &&
         a->GetStyle() == b->GetStyle() && a->GetColor() == b->GetColor() &&
         a->GetCharset() == b->GetCharset() && a->GetPitch() == b->GetPitch() &&
         a->GetOrientation() == b->GetOrientation() && a->GetPixelsPerInch() == b->GetPixelsPerInch();
}

}  // namespace

ORV_PUBLISH(TcxContainer) {
  using T = TcxContainer;
  p.Property("FakeStyleController", &T::GetFakeStyleController, &T::SetFakeStyleController)
      .Stored([](T*) { return false; });
  p.Property("TabStop", &T::GetTabStop, &T::SetTabStop).Default(true);
}

TcxContainer::TcxContainer(TComponent* owner) : TcxControl(owner) {
  FIsCreating = true;
  if (TcxSizeGrip* grip = GetSizeGrip()) grip->SetVisible(false);
  TControlStyle style = GetControlStyle();
  style.Include(csCaptureMouse);
  style.Include(csSetCaption);
  SetControlStyle(style);
  SetTabStop(true);
  InitInnerControlClipState();
  FIsCreating = false;
}

void TcxContainer::BeforeDestruction() {
  Destroying();
  StopMouseTracking(this);
  inherited::BeforeDestruction();
}

TcxContainer::~TcxContainer() {
  orv::Free(FViewInfo);
  if (FStyles) {
    FStyles->SetOnChanged({});
    orv::Free(FStyles);
  }
}

TcxContainerStyles* TcxContainer::GetContainerStyles() {
  if (!FStyles) {
    FStyles = GetStylesClass().Create(this, GetStyleClass());
    FActiveStyleState = TcxContainerState{csNormal};
    FActiveStyle = FStyles->GetNormalStyle();
    GetLookAndFeel()->SetMaster(FStyles->GetNormalStyle()->GetLookAndFeel());
    {
      // A descendant that takes its parent's colour by default does so unless the style gives
      // one; the others start in the window colour.
      TFlagScope applying(FIsStyleApplying, true);
      SetParentColor(UsesParentColorByDefault() && !IsInplace() &&
                     !FStyles->GetNormalStyle()->IsValueAssigned(csvColor));
      if (!GetParentColor()) SetColor(clWindow);
    }
    FStyles->SetOnChanged(TcxContainerStyleChangedEvent(this, &TcxContainer::ContainerStyleChanged));
  }
  return FStyles;
}

TcxContainerViewInfo* TcxContainer::GetViewInfo() {
  if (!FViewInfo) FViewInfo = GetViewInfoClass().Create();
  return FViewInfo;
}

TcxLookAndFeel* TcxContainer::GetLookAndFeelValue() {
  if (!FStyles && IsDestroying()) return inherited::GetLookAndFeelValue();
  return GetStyle()->GetLookAndFeel();
}

// ---- Inner control ----------------------------------------------------------------------------

void TcxContainer::SetInnerControl(TWinControl* value) {
  if (value == FInnerControl) return;
  if (FInnerControl) FInnerControl->RemoveFreeNotification(this);
  FInnerControl = value;
  if (FInnerControl) FInnerControl->FreeNotification(this);
}

void TcxContainer::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == FInnerControl) FInnerControl = nullptr;
}

void TcxContainer::LockInnerControlMove(Boolean lock) {
  if (lock)
    ++FInnerControlMoveLockCount;
  else if (FInnerControlMoveLockCount > 0)
    --FInnerControlMoveLockCount;
}

Boolean TcxContainer::TryHandleInnerControlMessage(TMessage& message) {
  return FInnerControl && !IsContainerDestroying() && HandleInnerControlMessage(message);
}

Boolean TcxContainer::HandleInnerControlMessage(TMessage& message) {
  if (message.Msg != WM_CONTEXTMENU) return false;
  message.Result = Perform(WM_CONTEXTMENU, message.WParam, message.LParam);
  return message.Result != 0;
}

void TcxContainer::AlignInnerControl() {
  if (!FInnerControl) return;
  const TRect r = GetViewInfo()->ClientRect;
  if (FInnerControl->GetBoundsRect() == r) return;
  ++FLayoutLockCount;
  try {
    FInnerControl->SetBounds(r.Left, r.Top, r.Width(), r.Height());
  } catch (...) {
    --FLayoutLockCount;
    throw;
  }
  --FLayoutLockCount;
}

void TcxContainer::ApplyColorsToInnerControl() {
  if (!FInnerControl) return;
  FInnerControl->SetColor(GetViewInfo()->BackgroundColor);
  // The inner control hears of every copy as a font change: copy only a different font.
  TFont* font = GetActiveFont();
  if (!SameFont(FInnerControl->GetFont(), font)) FInnerControl->SetFont(font);
}

void TcxContainer::FocusInnerControl() {
  if (FInnerControl && FInnerControl->CanFocus()) FInnerControl->SetFocus();
}

void TcxContainer::SetDragKind(TDragKind value) {
  TControl::SetDragKind(value);
  if (FInnerControl) FInnerControl->SetDragKind(value);
}

void TcxContainer::SetDragMode(TDragMode value) {
  inherited::SetDragMode(value);
  if (FInnerControl) FInnerControl->SetDragMode(value);
}

void TcxContainer::Invalidate() {
  inherited::Invalidate();
  if (FInnerControl) FInnerControl->Invalidate();
}

void TcxContainer::Update() {
  inherited::Update();
  if (FInnerControl) FInnerControl->Update();
}

void TcxContainer::InitInnerControlClipState() {
  FInnerControlClipState = TcxContainerInnerControlClipState{};
}

void TcxContainer::CallAssignedHandler(Integer a, Integer b) {
  if (FAssignedHandler) FAssignedHandler(a, b);
}

// ---- View state --------------------------------------------------------------------------------

Boolean TcxContainer::CanUpdateLayout() {
  return FLayoutLockCount == 0 && !FIsCreating && !IsContainerDestroying() &&
         !GetControlState().Contains(csDestroyingHandle) && HandleAllocated();
}

void TcxContainer::RefreshStateAtCursor(Boolean isMouseEvent) {
  TPoint p = QueryCursorPos();
  const HWND window = WindowFromPoint(p);
  if (HandleAllocated() && window && (window == GetHandle() || IsChild(GetHandle(), window)))
    p = ScreenToClient(p);
  else
    p = TPoint{-1, -1};
  ViewStateUpdate(p, 0, isMouseEvent, GetCurrentShiftState());
}

void TcxContainer::UpdateStateIfIdle() {
  if (!FIsViewStateValid) RefreshStateAtCursor(false);
}

void TcxContainer::ViewStateUpdate(const TPoint& point, Integer button, Boolean isMouseEvent,
                                   TShiftState shift) {
  if (!CanUpdateLayout()) {
    FIsViewStateValid = false;
    return;
  }
  ++FLayoutLockCount;
  Boolean valid = false;
  try {
    valid = RefreshViewState(point, button, isMouseEvent, shift);
  } catch (...) {
    --FLayoutLockCount;
    FIsViewStateValid = false;
    throw;
  }
  --FLayoutLockCount;
  FIsViewStateValid = valid;
}

Boolean TcxContainer::RefreshViewState(const TPoint& point, Integer button, Boolean isMouseEvent,
                                       TShiftState shift) {
  const Boolean hotTrackingAllowed = shift.Empty() && GetActiveStyle()->GetHotTrack();
  CalculateViewInfo(point, hotTrackingAllowed);
  AlignInnerControl();
  ApplyColorsToInnerControl();
  UpdateWindowRegion();
  TcxContainerViewInfo* viewInfo = GetViewInfo();
  const TRect local{0, 0, GetWidth(), GetHeight()};
  if (FInnerControl)
    InvalidateRectExcept(GetHandle(), local, viewInfo->BorderRect, false);
  else
    InvalidateArea(local, false);
  if (viewInfo->ContainerState.Contains(csHotTrack)) StartTracking();
  return true;
}

void TcxContainer::StartTracking() {
  if (HandleAllocated()) StartMouseTracking(this, GetBounds(), this);
}

Boolean TcxContainer::IsMouseTracked() { return IsMouseTrackingActive(this); }

void TcxContainer::HandleMouseLeave() {
  MouseLeave(static_cast<TControl*>(nullptr));
  StopMouseTracking(this);
}

TcxContainerStyle* TcxContainer::GetStyleForState(TcxContainerState state) {
  TcxContainerStyles* styles = GetContainerStyles();
  if (state.Contains(csDisabled)) return styles->GetDisabledStyle();
  if (state.Contains(csActive)) return styles->GetFocusedStyle();
  if (state.Contains(csHotTrack) && styles->GetNormalStyle()->GetHotTrack()) return styles->GetHotStyle();
  return styles->GetNormalStyle();
}

TcxContainerStyle* TcxContainer::GetActiveStyle() {
  GetContainerStyles();
  const TcxContainerState state = GetViewInfo()->ContainerState;
  if (state != FActiveStyleState || !FActiveStyle) {
    FActiveStyle = GetStyleForState(state);
    FActiveStyleState = state;
  }
  return FActiveStyle;
}

TcxContainerState TcxContainer::StateForPoint(const TPoint& point, Boolean hotTrackingAllowed) {
  if (!GetEnabled()) return TcxContainerState{csDisabled};
  TcxContainerState state{!IsDesigning() && Focused() ? csActive : csNormal};
  if (hotTrackingAllowed && IsPointInRect(GetHotTrackArea(), point)) state.Include(csHotTrack);
  return state;
}

void TcxContainer::SetBorderStyleOfState(TcxContainerStyle* activeStyle, TcxContainerState state) {
  TcxContainerViewInfo* viewInfo = GetViewInfo();
  viewInfo->HotState = !activeStyle->GetHotTrack()                                          ? 0
                       : state.Contains(csActive) || state.Contains(csHotTrack) ? 2
                                                                                          : 1;
  if (viewInfo->NativeStyle) {
    viewInfo->BorderStyle = GetStyle()->GetBorderStyle();
  } else {
    TcxContainerBorderStyle b = activeStyle->GetBorderStyle();
    if (b == cbsUltraFlat || b == cbsOffice11) b = cbsSingle;
    viewInfo->BorderStyle = b;
  }
}

void TcxContainer::CalculateViewInfo(const TPoint& point, Boolean hotTrackingAllowed) {
  TcxContainerViewInfo* viewInfo = GetViewInfo();
  const TcxCustomLookAndFeelPainterClass skinPainter = GetStyle()->GetLookAndFeel()->GetSkinPainter();
  viewInfo->NativeStyle = IsNativeStyleAvailable();
  viewInfo->Painter = skinPainter;
  const Integer previousWidth = GetContainerBorderWidth(viewInfo->BorderStyle);

  auto calculateState = [&] {
    const TcxContainerState state = StateForPoint(point, hotTrackingAllowed);
    viewInfo->ContainerState = state;
    SetBorderStyleOfState(GetActiveStyle(), state);
  };
  calculateState();
  const Integer width = GetContainerBorderWidth(viewInfo->BorderStyle);
  if (!viewInfo->NativeStyle && width < previousWidth) {
    // The hot-track area depends on the frame just chosen.
    viewInfo->BorderWidth = skinPainter ? 1 : width;
    viewInfo->Edges = GetActiveStyle()->GetEdges();
    viewInfo->Shadow = HasShadow();
    calculateState();
  }
  if (viewInfo->NativeStyle) {
    viewInfo->ThemedObjectType = Integer(GetThemeObjectKind());
    viewInfo->NativePart = GetThemePart();
    viewInfo->NativeState = GetThemeState();
  }
  TcxContainerStyle* active = GetActiveStyle();
  viewInfo->Bounds = TRect{0, 0, GetWidth(), GetHeight()};
  const TRect e = GetBorderExtent();
  viewInfo->BorderRect = TRect{e.Left, e.Top, GetWidth() - e.Right, GetHeight() - e.Bottom};
  viewInfo->ClientRect = viewInfo->BorderRect;
  viewInfo->BorderWidth = skinPainter ? 1 : GetContainerBorderWidth(viewInfo->BorderStyle);
  viewInfo->Edges = active->GetEdges();
  viewInfo->Shadow = HasShadow();
  viewInfo->BorderColor = GetBorderColor();
  viewInfo->AssignBackgroundColor(GetBackgroundColor());
}

Integer TcxContainer::GetThemePart() { return IsDesktopCompositionEnabled() ? 3 : 1; }

Integer TcxContainer::GetThemeState() {
  const TcxContainerState state = GetViewInfo()->ContainerState;
  if (state.Contains(csDisabled)) return 4;
  if (IsReadOnly()) return 6;
  if (state.Contains(csActive)) return 5;
  if (state.Contains(csHotTrack)) return 2;
  return 1;
}

Boolean TcxContainer::IsNativeStyleAvailable() {
  return IsNativeStyleUsable(GetStyle()->GetLookAndFeel()->GetNativeStyle(), GetThemeObjectKind());
}

Boolean TcxContainer::PaintsOwnFrame() {
  TcxContainerViewInfo* viewInfo = GetViewInfo();
  return !(viewInfo->NativeStyle && viewInfo->BorderStyle != cbsNone);
}

Boolean TcxContainer::HasShadow() { return GetActiveStyle()->GetShadow() && !IsInplace(); }

TRect TcxContainer::GetBorderExtent() {
  TcxContainerStyle* active = GetActiveStyle();
  TcxContainerViewInfo* viewInfo = GetViewInfo();
  TRect e{};
  if (active->GetTransparentBorder() && !GetStyle()->GetLookAndFeel()->GetSkinPainter()) {
    e = TRect{2, 2, 2, 2};
  } else if (!active->IsBorderVisible() || (viewInfo->NativeStyle && GetStyle()->GetBorderStyle() == cbsNone)) {
    e = TRect{};
  } else if (viewInfo->NativeStyle) {
    e = TRect{2, 2, 2, 2};
  } else {
    const Integer w = GetContainerBorderWidth(viewInfo->GetContainerBorderStyle());
    const TcxBorders edges = active->GetEdges();
    e = TRect{edges.Contains(bLeft) ? w : 0, edges.Contains(bTop) ? w : 0,
              edges.Contains(bRight) ? w : 0, edges.Contains(bBottom) ? w : 0};
  }
  if (HasShadow()) {
    e.Right += 3;
    e.Bottom += 3;
  }
  return e;
}

TColor TcxContainer::GetBorderColor() {
  TcxContainerStyle* active = GetActiveStyle();
  const TcxContainerState state = GetViewInfo()->ContainerState;
  const Boolean highlighted = state.Contains(csActive) ||
                              (state.Contains(csHotTrack) && active->GetHotTrack()) ||
                              (IsDesigning() && GetEnabled());
  if (TcxCustomLookAndFeelPainterClass painter = GetStyle()->GetLookAndFeel()->GetSkinPainter())
    return painter->DefaultEditorBorderColor(highlighted);
  const TcxContainerBorderStyle borderStyle = active->GetBorderStyle();
  if (borderStyle != cbsUltraFlat && borderStyle != cbsOffice11) return active->GetBorderColor();
  if (!highlighted) return clBtnShadow;
  return borderStyle == cbsOffice11 ? Office11HighlightColor : clHighlight;
}

Integer TcxContainer::GetColorState() {
  if (!GetEnabled()) return 1;
  return Focused() ? 0 : 2;
}

void TcxContainer::GetPainterColors(TColor& backgroundColor, TColor& textColor) {
  backgroundColor = clDefault;
  textColor = clDefault;
  TcxContainerStyle* style = GetStyle();
  const TcxCustomLookAndFeelPainterClass painter = style->GetLookAndFeel()->GetSkinPainter();
  if (!painter) return;
  TcxContainerStyle* active = GetActiveStyle();
  const Integer colorState = GetColorState();
  if (!style->IsValueAssigned(csvTextColor) && !active->IsValueAssigned(csvTextColor))
    textColor = painter->DefaultEditorTextColorByState(colorState);
  if (!GetParentColor() && !style->IsValueAssigned(csvColor) && !active->IsValueAssigned(csvColor))
    backgroundColor = painter->DefaultEditorBackgroundColorByState(colorState);
}

TColor TcxContainer::GetBackgroundColor() {
  TColor background, textColor;
  GetPainterColors(background, textColor);
  if (background != clDefault) return background;
  TcxContainerStyle* active = GetActiveStyle();
  TcxContainerViewInfo* viewInfo = GetViewInfo();
  if (viewInfo->NativeStyle && !GetEnabled() && !active->IsValueAssigned(csvColor)) {
    constexpr int TMT_FILLCOLOR = 3802;
    COLORREF fill = 0;
    if (TdxTheme theme = GetThemeHandle(TdxThemedObjectKind(viewInfo->ThemedObjectType));
        theme && GetThemeColor(theme, viewInfo->NativePart, viewInfo->NativeState, TMT_FILLCOLOR, fill) == S_OK)
      return TColor(fill);
  }
  return active->GetColor();
}

TRect TcxContainer::GetHotTrackArea() {
  TRect r{0, 0, GetWidth(), GetHeight()};
  if (IsInplace()) return r;
  TcxContainerViewInfo* viewInfo = GetViewInfo();
  if (viewInfo->Shadow) {
    r.Right -= 3;
    r.Bottom -= 3;
  }
  TcxContainerStyle* style = GetStyle();
  const Boolean transparent = style->GetTransparentBorder();
  if (style->IsBorderVisible()) {
    if (viewInfo->NativeStyle) {
      if (transparent && style->GetBorderStyle() == cbsNone) r = GetInflatedRect(r, -2, -2);
    } else if (transparent) {
      const Integer w = viewInfo->BorderWidth;
      r = GetInflatedRect(r, -(2 - w), -(2 - w));
      ShrinkRectByMissingEdges(r, w, viewInfo->Edges);
    }
  } else if (transparent) {
    r = GetInflatedRect(r, -2, -2);
  }
  if (r.Bottom < r.Top) r = TRect{r.Left, 0, r.Right, 0};
  // The same for a control narrower than its frame: an empty area, not an inverted one.
  if (r.Right < r.Left) r = TRect{0, r.Top, 0, r.Bottom};
  return r;
}

TRect TcxContainer::GetOuterRect() {
  const TRect e = GetBorderExtent();
  TRect r{e.Left, e.Top, GetWidth() - e.Right, GetHeight() - e.Bottom};
  const Integer w = GetContainerBorderWidth(GetViewInfo()->GetContainerBorderStyle());
  r = GetInflatedRect(r, w, w);
  ShrinkRectByMissingEdges(r, w, GetActiveStyle()->GetEdges());
  return r;
}

void TcxContainer::UpdateWindowRegion() {
  if (!HandleAllocated()) return;
  TcxContainerViewInfo* viewInfo = GetViewInfo();
  ApplyWindowRegion(GetHandle(), GetOuterRect(), GetShadowInsets(),
                    viewInfo->NativeStyle && viewInfo->BorderStyle != cbsNone, viewInfo->Shadow, TRect{});
}

void TcxContainer::ClipCanvasToShape(TcxCanvas* canvas) {
  TcxRegion* region = CreateContainerRegion(HandleAllocated() ? GetHandle() : nullptr, GetOuterRect(),
                                            GetShadowInsets(), !PaintsOwnFrame(), GetViewInfo()->Shadow, TRect{});
  if (region) canvas->SetClipRegion(region, roIntersect);
}

void TcxContainer::CalculateChildClipRect(const TRect& containerRect, TControl* child,
                                          TcxContainerInnerControlClipState& clipState) {
  clipState = TcxContainerInnerControlClipState{};
  if (!child) return;
  const TRect bounds = child->GetBoundsRect();
  const TRect whole{0, 0, bounds.Width(), bounds.Height()};
  TRect& v = clipState.VisibleRect;
  v = whole;
  if (bounds.Left < containerRect.Left) v.Left = containerRect.Left - bounds.Left;
  if (bounds.Top < containerRect.Top) v.Top = containerRect.Top - bounds.Top;
  if (bounds.Right > containerRect.Right) v.Right -= bounds.Right - containerRect.Right;
  if (bounds.Bottom > containerRect.Bottom) v.Bottom -= bounds.Bottom - containerRect.Bottom;
  clipState.IsWhollyVisible = v == whole;
}

TFont* TcxContainer::GetActiveFont() {
  TFont* font = GetActiveStyle()->GetDisplayFont();
  TColor background, textColor;
  GetPainterColors(background, textColor);
  if (textColor != clDefault) font->SetColor(textColor);
  return font;
}

// ---- Style changes and colours and fonts from outside ------------------------------------------

void TcxContainer::ContainerStyleChanged(TObject* sender) {
  if (FIsCreating || IsLoading()) return;
  TLinkGuard guard(this);
  RefreshStateAtCursor(false);
  if (!guard.Alive()) return;
  TcxContainerStyle* style = GetStyle();
  if (!GetParentColor() || style->GetAssignedValues().Contains(csvColor)) {
    TFlagScope applying(FIsStyleApplying, true);
    SetColor(style->GetVisibleColor());
  }
  if (TFont* font = style->GetFont(); font && !SameFont(GetFont(), font)) {
    TFlagScope applying(FIsStyleApplying, true);
    SetFont(font);
  }
  if (style->IsValueAssigned(csvFont)) SetParentFont(false);
}

void TcxContainer::Loaded() {
  inherited::Loaded();
  AlignInnerControl();
  ContainerStyleChanged(GetStyle());
}

void TcxContainer::ControlColorChanged() {
  if (FIsStyleApplying) {
    inherited::ControlColorChanged();
    RefreshStateAtCursor(false);
    return;
  }
  GetStyle()->SetColor(GetColor());
}

void TcxContainer::CMFontChanged(TMessage& message) {
  if (FIsStyleApplying) {
    inherited::Dispatch(message);
    AlignInnerControl();
    UpdateInnerScrollBars(false);
    RefreshStateAtCursor(false);
    return;
  }
  // A font set from outside (or coming from the parent) becomes the style's font without being
  // an assignment of it.
  TcxContainerStyle* style = GetStyle();
  const Boolean wasAssigned = style->FAssignedValues.Contains(csvFont);
  style->SetFont(GetFont());
  if (!wasAssigned) style->FAssignedValues.Exclude(csvFont);
  inherited::Dispatch(message);
}

void TcxContainer::CMParentColorChanged(TMessage& message) {
  TcxContainerStyle* style = GetStyle();
  const Boolean wasAssigned = style->FAssignedValues.Contains(csvColor);
  inherited::Dispatch(message);
  if (!wasAssigned || GetParentColor()) style->FAssignedValues.Exclude(csvColor);
  if (style->GetColor() != GetColor()) ContainerStyleChanged(style);
  if (HasTransparentBackground() && !GetParentColor()) Invalidate();
}

void TcxContainer::CMParentFontChanged(TMessage& message) {
  TcxContainerStyle* style = GetStyle();
  const Boolean wasAssigned = style->FAssignedValues.Contains(csvFont);
  inherited::Dispatch(message);
  // Off the parent's font, the style takes its controller's font again; a font the control was
  // given stays (refreshing without a controller font would reset it to the defaults).
  if (!GetParentFont() && style->IsValueAssigned(csvFont)) style->RefreshFont();
  if (!wasAssigned || GetParentFont()) style->FAssignedValues.Exclude(csvFont);
}

void TcxContainer::ChangeScale(Integer m, Integer d) {
  TcxContainerStyle* style = GetStyle();
  // Loading scales the fonts of the form description too; a control scaled afterwards scales
  // its font with its size.
  const Boolean scaleFont = m != d && style->IsValueAssigned(csvFont);
  {
    TFlagScope applying(FIsStyleApplying, !GetParentFont());
    inherited::ChangeScale(m, d);
  }
  if (!scaleFont) return;
  if (style->GetAssignedValues().Contains(csvFont)) {
    TFont* font = style->GetFont();
    font->SetSize(MulDiv(font->GetSize(), m, d));
  } else if (IsLoading()) {
    if (TcxStyleController* controller = style->GetEffectiveStyleController()) controller->ScaleFont(m, d);
  }
}

Boolean TcxContainer::IsStylePropertyStored(const AnsiString& propertyName, Boolean checkExtended) {
  TcxContainerStyle* style = GetStyle();
  Integer index = -1;
  const Boolean isValue = style->FindValueIndex(propertyName, index);
  if (checkExtended) {
    if (CompareStringsEqual(propertyName, "LookAndFeel", false) ||
        CompareStringsEqual(propertyName, "StyleController", false))
      return false;
    if (isValue && index < 64 &&
        style->GetUnpublishedExtendedValues().Contains(TcxContainerStyleValue(index)))
      return false;
  }
  return !(isValue && index < 64 && GetUnstoredStyleValues().Contains(TcxContainerStyleValue(index)));
}

// ---- Focus and keys ----------------------------------------------------------------------------

bool TcxContainer::Focused() {
  if (IsDesigning() || GetControlState().Contains(csDestroyingHandle)) return false;
  const HWND focus = GetFocus();
  if (!focus) return false;
  if (HandleAllocated() && focus == GetHandle()) return true;
  return FInnerControl && FInnerControl->HandleAllocated() && focus == FInnerControl->GetHandle();
}

void TcxContainer::SetFocus() {
  if (IsDesigning() || IsFocusWithin()) return;
  TLinkGuard guard(this);
  inherited::SetFocus();
  if (!guard.Alive()) return;
  if (FInnerControl && FInnerControl->HandleAllocated() && HandleAllocated() && GetFocus() == GetHandle()) {
    FocusInnerControl();
    if (!guard.Alive() || !FInnerControl) return;
    if (TCustomForm* form = GetParentForm(this)) form->FocusControl(FInnerControl);
  }
}

Boolean TcxContainer::CanFocusOnClick() {
  return inherited::CanFocusOnClick() &&
         !(FInnerControl && FInnerControl->HandleAllocated() && GetFocus() == FInnerControl->GetHandle()) &&
         !FInnerControlMouseDown;
}

Boolean TcxContainer::MayFocus() {
  return !(FInnerControl && FInnerControl->HandleAllocated() && GetFocus() == FInnerControl->GetHandle());
}

void TcxContainer::FocusChanged() {
  TLinkGuard guard(this);
  inherited::FocusChanged();
  if (guard.Alive()) RefreshStateAtCursor(false);
}

void TcxContainer::TranslationChanged() {
  inherited::TranslationChanged();
  RefreshStateAtCursor(false);
}

void TcxContainer::GetTabOrderList(TList* list) {
  if (HostsChildControls()) {
    inherited::GetTabOrderList(list);
    return;
  }
  // The children are not listed; the inner control takes the container's place when the form
  // has it as its active control.
  TCustomForm* form = GetParentForm(this);
  if (!form || !FInnerControl || form->GetActiveControl() != FInnerControl || !CanFocus() ||
      form->GetActiveControl() == this)
    return;
  const Integer index = list->IndexOf(this);
  if (index >= 0) list->Put(index, FInnerControl);
}

void TcxContainer::KeyDown(Word& key, TShiftState shift) {
  TLinkGuard guard(this);
  inherited::KeyDown(key, shift);
  if (!guard.Alive()) return;
  if (key != VK_TAB || shift.Contains(ssAlt) || shift.Contains(ssCtrl) || !Focused() || !MovesFocusOnTab())
    return;
  key = 0;
  if (TCustomForm* form = GetParentForm(this)) {
    form->SelectNext(form->GetActiveControl(), !shift.Contains(ssShift), true);
    if (!guard.Alive()) return;
  }
  if (HandleAllocated() && GetFocus() == GetHandle() && FInnerControl && FInnerControl->CanFocus())
    FInnerControl->SetFocus();
}

Boolean TcxContainer::PreprocessInnerKeyMessage(TMessage& message) {
  if (message.Msg != CN_KEYDOWN && message.Msg != CN_SYSKEYDOWN) return false;
  if (IsDesigning()) return false;
  for (TWinControl* c = this; c; c = c->GetParent()) {
    auto* control = dynamic_cast<TcxControl*>(c);
    if (control && control->GetPopupMenuValue() && IsPopupMenuShortCut(control->GetPopupMenuValue(), message)) {
      message.Result = 1;
      return true;
    }
  }
  return false;
}

void TcxContainer::WMSetFocus(TMessage& message) {
  if (!GetVisible()) return;
  if (IsContainerDestroying() || !HandleAllocated() || !FInnerControl || !FInnerControl->HandleAllocated()) {
    inherited::Dispatch(message);
    return;
  }
  if (reinterpret_cast<HWND>(message.WParam) == FInnerControl->GetHandle()) {
    // The focus came back from the inner control: it stays here, without bouncing back.
    message.Msg = 0;
    message.Result = 0;
    return;
  }
  TLinkGuard guard(this);
  inherited::Dispatch(message);
  if (guard.Alive() && FInnerControl && FInnerControl->CanFocus()) FInnerControl->SetFocus();
}

void TcxContainer::WMKillFocus(TMessage& message) {
  if (FInnerControl && FInnerControl->HandleAllocated() &&
      reinterpret_cast<HWND>(message.WParam) == FInnerControl->GetHandle()) {
    message.Result = 0;
    return;
  }
  inherited::Dispatch(message);
}

void TcxContainer::WMWindowPosChanging(TMessage& message) {
  if (IsContainerDestroying()) {
    message.Result = 0;
    return;
  }
  inherited::Dispatch(message);
  if (HandleAllocated() && GetFocus() == GetHandle() && FInnerControl && FInnerControl->HandleAllocated() &&
      FInnerControl->CanFocus() && !GetControlState().Contains(csFocusing))
    if (TCustomForm* form = GetParentForm(this)) form->FocusControl(FInnerControl);
}

void TcxContainer::WMSetCursor(TMessage& message) {
  if (HandleAllocated() && reinterpret_cast<HWND>(message.WParam) == GetHandle() &&
      LOWORD(message.LParam) == HTCLIENT && FInnerControl &&
      !IsPointInRect(GetViewInfo()->ClientRect, ScreenToClient(QueryCursorPos()))) {
    ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
    message.Result = 1;
    return;
  }
  inherited::Dispatch(message);
}

// ---- Mouse --------------------------------------------------------------------------------------

void TcxContainer::MouseEnter(TControl* control) {
  TLinkGuard guard(this);
  inherited::MouseEnter(control);
  if (!guard.Alive()) return;
  RefreshStateAtCursor(true);
  StartTracking();
}

void TcxContainer::MouseLeave(TControl* control) {
  TLinkGuard guard(this);
  inherited::MouseLeave(control);
  if (!guard.Alive()) return;
  RefreshStateAtCursor(true);
  StopMouseTracking(this);
}

void TcxContainer::MouseMove(TShiftState shift, Integer x, Integer y) {
  TLinkGuard guard(this);
  inherited::MouseMove(shift, x, y);
  if (!guard.Alive()) return;
  ViewStateUpdate(TPoint{x, y}, 0, true, shift);
  StartTracking();
}

void TcxContainer::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TLinkGuard guard(this);
  inherited::MouseDown(button, shift, x, y);
  if (guard.Alive() && IsMouseTracked()) ViewStateUpdate(TPoint{x, y}, TranslateMouseButton(button), true, shift);
}

void TcxContainer::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TLinkGuard guard(this);
  inherited::MouseUp(button, shift, x, y);
  if (guard.Alive()) ViewStateUpdate(TPoint{x, y}, TranslateMouseButton(button), true, shift);
}

void TcxContainer::DoContextPopup(TPoint mousePos, bool& handled) {
  if ((mousePos.X == -1 && mousePos.Y == -1) || AllowsContextPopupAt(mousePos))
    inherited::DoContextPopup(mousePos, handled);
  else
    handled = true;
}

void TcxContainer::CursorChanged() {
  inherited::CursorChanged();
  if (FInnerControl) FInnerControl->SetCursor(GetCursor());
}

// ---- Window, layout and painting ---------------------------------------------------------------

void TcxContainer::Resize() {
  TLinkGuard guard(this);
  inherited::Resize();
  if (guard.Alive()) RefreshStateAtCursor(false);
}

void TcxContainer::EnabledChanged() { RefreshStateAtCursor(false); }

void TcxContainer::EnabledChangedMessage(TMessage& message) {
  for (Integer i = 0; i < GetControlCount(); ++i)
    if (auto* bar = dynamic_cast<TcxScrollBar*>(GetControl(i))) bar->SetEnabled(GetEnabled());
  inherited::Dispatch(message);
  EnabledChanged();
}

void TcxContainer::CreateHandle() {
  inherited::CreateHandle();
  if (FInnerControl && CanAllocateHandle(FInnerControl)) FInnerControl->HandleNeeded();
  RefreshStateAtCursor(false);
}

void TcxContainer::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.WindowClass.style &= ~(CS_VREDRAW | CS_HREDRAW);
}

void TcxContainer::CreateWindowHandle(const TCreateParams& params) {
  // Window creation does not take captions this long: the text follows through WM_SETTEXT.
  constexpr std::size_t kMaxCreationCaption = 65535;
  if (params.Caption.size() <= kMaxCreationCaption) {
    inherited::CreateWindowHandle(params);
    return;
  }
  TCreateParams shortened = params;
  shortened.Caption.clear();
  inherited::CreateWindowHandle(shortened);
  if (HandleAllocated())
    CallWindowProc(GetDefWndProc(), GetHandle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(params.Caption.c_str()));
}

void TcxContainer::AdjustClientRect(TRect& rect) {
  if (IsContainerDestroying()) {
    inherited::AdjustClientRect(rect);
    return;
  }
  rect = GetViewInfo()->ClientRect;
}

TRect TcxContainer::GetClientBounds() {
  if (IsContainerDestroying()) return inherited::GetClientBounds();
  return GetViewInfo()->ClientRect;
}

void TcxContainer::AlignControls(TControl* control, TRect& rect) {
  if (HostsChildControls()) {
    inherited::AlignControls(control, rect);
    return;
  }
  if (FInnerControlMoveLockCount > 0 || (control && IsInternalControl(control))) return;
  if (!control) {
    inherited::AlignControls(control, rect);
    return;
  }
  auto* child = dynamic_cast<TWinControl*>(control);
  if (FIsCreating || !child || !child->HandleAllocated()) return;
  TcxContainerInnerControlClipState state;
  CalculateChildClipRect(rect, child, state);
  if (child == FInnerControl) {
    if (state.IsWhollyVisible == FInnerControlClipState.IsWhollyVisible &&
        (state.IsWhollyVisible || state.VisibleRect == FInnerControlClipState.VisibleRect))
      return;
    FInnerControlClipState = state;
  }
  SetChildWindowRegion(child, state);
}

void TcxContainer::Paint() {
  TcxCanvas* canvas = GetCanvas();
  TcxContainerViewInfo* viewInfo = GetViewInfo();
  if (!canvas->IsRectVisible(viewInfo->Bounds)) return;
  if (GetControlState().Contains(csPaintCopy)) ClipCanvasToShape(canvas);
  UpdateStateIfIdle();
  if (viewInfo->Painter && viewInfo->BorderStyle != cbsNone) {
    // A skin's frame may leave its corners open: what lies behind shows there.
    canvas->PushClipRegion();
    canvas->ExcludeFromClip(GetInflatedRect(viewInfo->BorderRect, 1, 1));
    DrawTransparentBackground(this, canvas, viewInfo->Bounds);
    canvas->PopClipRegion();
  }
  viewInfo->PaintOn(canvas);
}

void TcxContainer::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case CN_KEYDOWN:
    case CN_KEYUP:
    case CN_CHAR:
      if (FInnerControl && FInnerControl->HandleAllocated()) {
        message.Result = SendMessage(FInnerControl->GetHandle(), message.Msg, message.WParam, message.LParam);
        return;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (GetDragMode() == dmAutomatic && !IsDesigning()) {
        BeginDrag(Mouse->GetDragImmediate(), Mouse->GetDragThreshold());
        return;
      }
      break;
    case WM_NCCALCSIZE:
      if (FLayoutLockCount > 0) {
        message.Result = 0;
        return;
      }
      break;
    case WM_NCPAINT: message.Result = 0; return;
    default: break;
  }
  inherited::WndProc(message);
}

void TcxContainer::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_CTL3DCHANGED:
    case CM_SYSCOLORCHANGE: {
      TLinkGuard guard(this);
      inherited::Dispatch(message);
      if (guard.Alive()) RefreshStateAtCursor(false);
      return;
    }
    case DXM_CONTAINERREFRESHSTATE: RefreshStateAtCursor(false); return;
    case DXM_UPDATEINNERSCROLLBARS: UpdateInnerScrollBars(false); return;
    case CM_ENABLEDCHANGED: EnabledChangedMessage(message); return;
    case WM_WINDOWPOSCHANGED: {
      TLinkGuard guard(this);
      inherited::Dispatch(message);
      if (guard.Alive() && HasTransparentBackground()) RefreshStateAtCursor(false);
      return;
    }
    case CM_FONTCHANGED: CMFontChanged(message); return;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(message); return;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(message); return;
    case WM_SETFOCUS: WMSetFocus(message); return;
    case WM_KILLFOCUS: WMKillFocus(message); return;
    case WM_WINDOWPOSCHANGING: WMWindowPosChanging(message); return;
    case WM_SETCURSOR: WMSetCursor(message); return;
    default: inherited::Dispatch(message); return;
  }
}

// ---- Inner scroll bars -------------------------------------------------------------------------

void TcxContainer::UpdateScrollBars() {
  // The container's bars mirror the inner control's native ones instead of a model of its own.
  if (NeedsScrollBars()) UpdateInnerScrollBars(false);
}

Boolean TcxContainer::GetInnerScrollBarInfo(TScrollBarKind kind, SCROLLBARINFO& info) {
  if (IsContainerDestroying() || !GetParent() || !HandleAllocated() || !FInnerControl ||
      !FInnerControl->HandleAllocated())
    return false;
  return QueryScrollBarInfo(FInnerControl->GetHandle(), kind == sbHorizontal ? OBJID_HSCROLL : OBJID_VSCROLL,
                            info);
}

Boolean TcxContainer::IsNativeScrollBarShown(const SCROLLBARINFO& info) {
  return (info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)) == 0;
}

Boolean TcxContainer::IsInnerScrollBarEnabled(TcxScrollBar* scrollBar, const SCROLLBARINFO& info) {
  return scrollBar->GetParent() && scrollBar->GetParent()->GetEnabled() &&
         (info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0;
}

void TcxContainer::ScreenToClientRect(const TRect& screenRect, TRect& result) {
  const TPoint p = ScreenToClient(screenRect.TopLeft());
  result = TRect{p.X, p.Y, screenRect.Width(), screenRect.Height()};
  if (p.X < 0 || p.Y < 0 || result.Right > GetWidth() || result.Bottom > GetHeight()) result = TRect{};
}

void TcxContainer::SetScrollBarVisible(TcxScrollBar* scrollBar, Boolean visible) {
  scrollBar->SetVisible(visible);
  if (!visible) return;
  scrollBar->SetCtl3D(false);
  scrollBar->BringToFront();
}

void TcxContainer::PlaceInnerScrollBar(TcxScrollBar* scrollBar) {
  SCROLLBARINFO info;
  Boolean visible = false;
  if (GetInnerScrollBarInfo(scrollBar->GetKind(), info) && IsNativeScrollBarShown(info)) {
    scrollBar->SetEnabled(IsInnerScrollBarEnabled(scrollBar, info));
    TRect r;
    ScreenToClientRect(info.rcScrollBar, r);
    scrollBar->SetBounds(r.Left, r.Top, r.Right, r.Bottom);
    visible = r.Right > 0 && r.Bottom > 0;
  }
  SetScrollBarVisible(scrollBar, visible);
}

void TcxContainer::UpdateInnerScrollBars(Boolean skipPlacing) {
  if (!FInnerControl || !NeedsScrollBars() || IsContainerDestroying() || !UseOwnScrollBars() ||
      FUpdatingInnerScrollBars || !GetHScrollBar())
    return;
  TFlagScope updating(FUpdatingInnerScrollBars, true);
  TcxScrollBar* bars[] = {GetHScrollBar(), GetVScrollBar()};
  for (TcxScrollBar* bar : bars) {
    if (!skipPlacing) PlaceInnerScrollBar(bar);
    if (!bar->GetVisible() || !FInnerControl->HandleAllocated()) continue;
    SCROLLINFO si{};
    si.cbSize = 28;
    si.fMask = SIF_ALL;
    if (!GetScrollInfo(FInnerControl->GetHandle(), bar->GetKind() == sbHorizontal ? SB_HORZ : SB_VERT, &si))
      continue;
    const Integer max = std::max(si.nMin, si.nMax);
    // The bar refuses a page above its maximum.
    bar->SetScrollParameters(si.nMin, max, si.nPos, std::min<Integer>(Integer(si.nPage), max), true);
  }
  TcxScrollBar* h = GetHScrollBar();
  TcxScrollBar* v = GetVScrollBar();
  const Boolean gripVisible = h->GetVisible() && v->GetVisible() && FInnerControl->HandleAllocated() &&
                              Supports<IcxContainerInnerControl>(FInnerControl);
  TRect grip{};
  if (gripVisible) {
    const TPoint corner = ClientToScreen(TPoint{v->GetLeft(), h->GetTop()});
    TRect window{};
    GetWindowRect(FInnerControl->GetHandle(), &window);
    grip = TRect{corner.X - window.Left, corner.Y - window.Top, corner.X - window.Left + v->GetWidth(),
                 corner.Y - window.Top + h->GetHeight()};
    if (!FSizeGripVisible || grip != FSizeGripRect) {
      HRGN region = CreateRectRgnIndirect(&grip);
      SendMessage(FInnerControl->GetHandle(), WM_NCPAINT, reinterpret_cast<WPARAM>(region), 0);
      DeleteObject(region);
    }
  }
  FSizeGripVisible = gripVisible;
  FSizeGripRect = grip;
}

void TcxContainer::PostUpdateInnerScrollBars() {
  if (HandleAllocated()) PostMessage(GetHandle(), DXM_UPDATEINNERSCROLLBARS, 0, 0);
}

// ==== Container window routines ===============================================================

namespace {

Boolean SearchControl(TWinControl* control, HWND window);

Boolean IsPopupWindowOrInside(TcxCustomPopupWindow* popup, HWND window) {
  return (popup->HandleAllocated() && popup->GetHandle() == window) || SearchControl(popup, window);
}

// The open popups' part of the search: for a popup, the popups opened from controls on it; then
// the popups the control owns.
Boolean SearchOpenPopupsOf(TWinControl* control, HWND window) {
  if (auto* self = dynamic_cast<TcxCustomPopupWindow*>(control)) {
    for (Integer i = 0; i < GetOpenPopupCount(); ++i) {
      TcxCustomPopupWindow* popup = GetOpenPopup(i);
      if (popup == self || !popup->GetOwnerControl()) continue;
      if (GetParentForm(popup->GetOwnerControl()) == self && IsPopupWindowOrInside(popup, window)) return true;
    }
  }
  for (Integer i = 0; i < GetOpenPopupCount(); ++i) {
    TcxCustomPopupWindow* popup = GetOpenPopup(i);
    if (popup != control && popup->GetOwnerControl() == control && IsPopupWindowOrInside(popup, window))
      return true;
  }
  return false;
}

// The window of the first open popup's owner.
HWND FirstOpenPopupOwnerWindow() {
  if (GetOpenPopupCount() == 0) return nullptr;
  auto* owner = dynamic_cast<TWinControl*>(GetOpenPopup(0)->GetOwnerControl());
  return owner && owner->HandleAllocated() ? owner->GetHandle() : nullptr;
}

Boolean SearchChildren(TWinControl* control, HWND window) {
  for (Integer i = 0; i < control->GetControlCount(); ++i) {
    auto* child = dynamic_cast<TWinControl*>(control->GetControl(i));
    if (!child) continue;
    if (child->HandleAllocated() && child->GetHandle() == window) return true;
    if (SearchControl(child, window)) return true;
    if (child->HandleAllocated() && IsChild(child->GetHandle(), window)) return true;
  }
  return false;
}

Boolean SearchControl(TWinControl* control, HWND window) {
  if (SearchChildren(control, window)) return true;
  return SearchOpenPopupsOf(control, window);
}

}  // namespace

TcxContainer* FindOwningContainer(TControl* control) {
  if (!control) return nullptr;
  if (auto* container = dynamic_cast<TcxContainer*>(control)) return container;
  if (auto* inner = Supports<IcxContainerInnerControl>(control)) return inner->GetControlContainer();
  return nullptr;
}

Boolean IsContainerPopupOpen(TControl* control) {
  TcxContainer* container = FindOwningContainer(control);
  return container && container->HasOpenPopup();
}

Boolean IsWindowOfControl(TWinControl* control, HWND window, Boolean includeDescendants) {
  if (!control) return false;
  if (control->HandleAllocated() && control->GetHandle() == window) return true;
  return includeDescendants && IsWindowInsideControl(control, window);
}

Boolean IsWindowInsideControl(TWinControl* control, HWND window) {
  if (!control || !window) return false;
  if (control->HandleAllocated()) {
    if (control->GetHandle() == window) return false;
    if (IsChild(control->GetHandle(), window)) return true;
  }
  return SearchControl(control, window);
}

TRect GetControlLocalRect(TControl* control) { return TRect{0, 0, control->GetWidth(), control->GetHeight()}; }

Boolean IsControlHotTrackable(TWinControl* control) {
  if (!control || !Application || !Application->GetActive() || !control->HandleAllocated()) return false;
  const HWND window = control->GetHandle();
  if (!IsWindowVisible(window) || FindControl(WindowFromPoint(QueryCursorPos())) != control) return false;
  HWND top = window;
  while (GetWindowLongPtr(top, GWL_STYLE) & WS_CHILD) {
    const HWND parent = GetParent(top);
    if (!parent) break;
    top = parent;
    auto* form = dynamic_cast<TCustomForm*>(FindControl(top));
    if (form && form->GetFormStyle() == fsMDIChild) break;
  }
  auto* topForm = dynamic_cast<TCustomForm*>(FindControl(top));
  if (topForm && !topForm->GetActive() && topForm->GetFormStyle() != fsMDIForm) {
    const HWND ownerWindow = FirstOpenPopupOwnerWindow();
    return ownerWindow && IsChild(top, ownerWindow);
  }
  return true;
}

HWND FindTopLevelAncestorWindow(HWND window) {
  for (HWND w = window; w && IsWindow(w); w = GetParent(w))
    if (!(GetWindowLongPtr(w, GWL_STYLE) & WS_CHILD)) return w;
  return nullptr;
}

Boolean IsFormActive(TCustomForm* form) {
  if (!form || !form->HandleAllocated()) return false;
  const HWND active = GetActiveWindow();
  if (form->GetHandle() == active) return true;
  // There are no MDI frames here: an MDI child is never the main form's active child.
  if (IsMDIChildForm(form)) return false;
  return FindTopLevelAncestorWindow(form->GetHandle()) == active;
}

Boolean HasPendingMessage(HWND window, UINT message) {
  MSG msg;
  return PeekMessage(&msg, window, message, message, PM_NOREMOVE) && msg.hwnd == window;
}

Boolean DiscardPendingMessages(HWND window, UINT first, UINT last, Boolean all) {
  Boolean removed = false;
  MSG msg;
  while (PeekMessage(&msg, window, first, last, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // The loop that ends the program must still see it.
      PostQuitMessage(int(msg.wParam));
      break;
    }
    removed = true;
    if (!all) break;
  }
  return removed;
}

TPoint QueryCursorPos() { return SafeGetCursorPos(); }

TShiftState GetCurrentShiftState() { return KeyboardStateToShiftState(); }

Integer TranslateMouseButton(TMouseButton button) {
  switch (button) {
    case mbLeft: return 1;
    case mbRight: return 2;
    case mbMiddle: return 3;
  }
  return 0;
}

void InvalidateControlRect(TWinControl* control, const TRect& rect, Boolean erase) {
  if (control && control->HandleAllocated()) InvalidateRect(control->GetHandle(), &rect, erase);
}

Boolean IsControlWindowVisible(TWinControl* control) {
  return control && control->HandleAllocated() && IsWindowVisible(control->GetHandle());
}

void DisableWindowAndRemember(TcxWindowList* list, HWND window) {
  if (!list || !window || !IsWindowEnabled(window)) return;
  list->push_back(window);
  EnableWindow(window, FALSE);
}

void ReenableWindows(TcxWindowList* list) {
  if (!list) return;
  for (HWND window : *list)
    if (IsWindow(window)) EnableWindow(window, TRUE);
}

void RecreateControlWnd(TWinControl* control) {
  if (control) control->RecreateWnd();
}

void CopyFontAttributes(TFont* target, TFont* source) {
  if (target && source) target->Assign(source);
}

Boolean UseOwnScrollBars() {
  // Looked up once, as the platform binds optional entries by name.
  static const Boolean found = GetProcAddress(GetModuleHandle("User32"), "GetScrollBarInfo") != nullptr;
  return found;
}

Boolean QueryScrollBarInfo(HWND window, LONG objectId, SCROLLBARINFO& info) {
  info.cbSize = 60;
  return UseOwnScrollBars() && GetScrollBarInfo(window, objectId, &info);
}

void FillInnerSizeGripArea(TcxContainer* container, const TRect& rect) {
  TWinControl* inner = container ? container->GetInnerControl() : nullptr;
  if (!inner || !inner->HandleAllocated()) return;
  HDC dc = GetWindowDC(inner->GetHandle());
  if (!dc) return;
  {
    TcxCanvas canvas(dc);
    canvas.FillRect(rect, container->GetStyle()->GetLookAndFeel()->CurrentPainter()->DefaultSizeGripAreaColor());
  }
  ReleaseDC(inner->GetHandle(), dc);
}

void PaintBuffered(HDC dc, const TRect& rect, HWND window) {
  constexpr int kTopDownDib = 2;
  HDC paintDC = nullptr;
  HANDLE paint = BeginBufferedPaint(dc, rect, kTopDownDib, nullptr, paintDC);
  if (!paint) {
    // Without buffered painting the window paints straight into the DC.
    SendMessage(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dc));
    SendMessage(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    return;
  }
  SendMessage(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(paintDC), reinterpret_cast<LPARAM>(paintDC));
  SendMessage(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(paintDC), PRF_CLIENT);
  BufferedPaintSetAlpha(paint, &rect, 255);
  HideCaret(window);
  EndBufferedPaint(paint, TRUE);
  ShowCaret(window);
}

void PaintWindowBuffered(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  PaintBuffered(dc, ps.rcPaint, window);
  EndPaint(window, &ps);
}

void RepaintWindowBuffered(HWND window) {
  TRect r{};
  GetClientRect(window, &r);
  HDC dc = GetDC(window);
  PaintBuffered(dc, r, window);
  ReleaseDC(window, dc);
}

Boolean CompareStringsEqual(const AnsiString& a, const AnsiString& b, Boolean caseSensitive) {
  if (caseSensitive) return AnsiCompareStr(a, b) == 0;
  return AnsiUpperCase(a) == AnsiUpperCase(b);
}

// ==== Inner list box ==========================================================================

ORV_PUBLISH(TcxCustomInnerListBox) {
  using T = TcxCustomInnerListBox;
  p.Property("AutoCompleteDelay", &T::GetAutoCompleteDelay, &T::SetAutoCompleteDelay).Default(500u);
}

TcxCustomInnerListBox::TcxCustomInnerListBox(TComponent* owner) : TListBox(owner) {
  SetAutoCompleteDelay(500);
  FcxCanvas = new TcxCanvas(TCustomListBox::GetCanvas());
  auto makeBar = [this](TScrollBarKind kind, void (TcxCustomInnerListBox::*handler)(TObject*, TScrollCode, Integer&)) {
    auto* bar = new TcxScrollBar(this);
    bar->SetKind(kind);
    bar->SetVisible(false);
    bar->SetSmallChange(1);
    bar->SetOnScroll(TScrollEvent(this, handler));
    bar->FreeNotification(this);
    return bar;
  };
  FHScrollBar = makeBar(sbHorizontal, &TcxCustomInnerListBox::HScrollHandler);
  FVScrollBar = makeBar(sbVertical, &TcxCustomInnerListBox::VScrollHandler);
  FLookAndFeel = new TcxLookAndFeel(this);
  FLookAndFeel->SetOnChanged(TcxLookAndFeelChangedEvent(this, &TcxCustomInnerListBox::LookAndFeelChanged));
  FHScrollBar->GetLookAndFeel()->SetMaster(FLookAndFeel);
  FVScrollBar->GetLookAndFeel()->SetMaster(FLookAndFeel);
  SetBorderStyle(bsNone);
  TControlStyle style = GetControlStyle();
  style.Exclude(csOpaque);
  style.Include(csDoubleClicks);
  SetControlStyle(style);
  SetParentColor(false);
  SetParentFont(true);
}

void TcxCustomInnerListBox::BeforeDestruction() {
  Destroying();
  // The bars live on the container while they show; they go with the list box.
  for (TcxScrollBar* bar : {FHScrollBar, FVScrollBar})
    if (bar) bar->SetParent(nullptr);
  inherited::BeforeDestruction();
}

TcxCustomInnerListBox::~TcxCustomInnerListBox() {
  orv::Free(FLookAndFeel);
  orv::Free(FcxCanvas);
  // The message handlers guard their steps after a call into handlers with an object link; the
  // link reads empty only once it is invalidated here (the platform's list box knows nothing of
  // links).
  InvalidateObjectLinks(this);
}

void TcxCustomInnerListBox::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FHScrollBar) FHScrollBar = nullptr;
  if (component == FVScrollBar) FVScrollBar = nullptr;
}

void TcxCustomInnerListBox::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) { RefreshList(); }

void TcxCustomInnerListBox::RefreshList() {
  if (HandleAllocated()) InvalidateRect(GetHandle(), nullptr, TRUE);
}

void TcxCustomInnerListBox::DestroyWindowHandle() {
  FIsRedrawLocked = false;
  inherited::DestroyWindowHandle();
}

TPopupMenu* TcxCustomInnerListBox::GetPopupMenu() {
  return FContainer ? FContainer->GetPopupMenu() : inherited::GetPopupMenu();
}

// ---- Own scroll bars ----------------------------------------------------------------------------

Boolean TcxCustomInnerListBox::BothScrollBarsVisible() const {
  return FHScrollBar && FVScrollBar && FHScrollBar->GetVisible() && FVScrollBar->GetVisible();
}

void TcxCustomInnerListBox::SyncScrollBar(TcxScrollBar* bar) {
  if (!bar) return;
  const Boolean horizontal = bar->GetKind() == sbHorizontal;
  TWinControl* parent = GetParent();
  Boolean visible = false;
  SCROLLBARINFO info;
  if (parent && HandleAllocated() &&
      QueryScrollBarInfo(GetHandle(), horizontal ? OBJID_HSCROLL : OBJID_VSCROLL, info) &&
      (info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)) == 0) {
    visible = true;
    bar->SetEnabled((info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0 && parent->GetEnabled());
    const TPoint p = parent->ScreenToClient(info.rcScrollBar.TopLeft());
    const Integer w = info.rcScrollBar.Width();
    const Integer h = info.rcScrollBar.Height();
    if (p.X < 0 || p.Y < 0 || w > GetWidth() || h > GetHeight())
      visible = false;
    else
      bar->SetBounds(p.X, p.Y, w, h);
  }
  if (visible) {
    ++FScrollBarsLockCount;
    try {
      bar->SetParent(parent);
    } catch (...) {
      --FScrollBarsLockCount;
      throw;
    }
    --FScrollBarsLockCount;
    bar->SetCtl3D(false);
    bar->BringToFront();
  } else {
    bar->SetBounds(0, 0, 0, 0);
  }
  bar->SetVisible(visible);
  if (!visible) return;
  SCROLLINFO si{};
  si.cbSize = 28;
  si.fMask = SIF_ALL;
  if (!GetScrollInfo(GetHandle(), horizontal ? SB_HORZ : SB_VERT, &si)) return;
  const Integer max = std::max(si.nMin, si.nMax);
  // The bar refuses a page above its maximum.
  bar->SetScrollParameters(si.nMin, max, si.nPos, std::min<Integer>(Integer(si.nPage), max), true);
}

void TcxCustomInnerListBox::SyncScrollBars() {
  if (IsDestroyingListBox() || FScrollBarsLockCount > 0 || !UseOwnScrollBars() || FIsRedrawLocked) return;
  TFlagScope calculating(FScrollBarsCalculating, true);
  SyncScrollBar(FHScrollBar);
  SyncScrollBar(FVScrollBar);
}

void TcxCustomInnerListBox::HScrollHandler(TObject* sender, TScrollCode code, Integer& position) {
  if (!HandleAllocated()) return;
  CallWindowProc(GetDefWndProc(), GetHandle(), WM_HSCROLL, MAKEWPARAM(Word(code), Word(position)),
                 reinterpret_cast<LPARAM>(FHScrollBar && FHScrollBar->HandleAllocated() ? FHScrollBar->GetHandle() : nullptr));
  position = GetScrollPos(GetHandle(), SB_HORZ);
}

void TcxCustomInnerListBox::VScrollHandler(TObject* sender, TScrollCode code, Integer& position) {
  if (!HandleAllocated()) return;
  switch (code) {
    case scLineUp:
    case scLineDown: SetTopIndex(position); return;
    case scPosition:
    case scTrack:
      SetTopIndex(position);
      position = GetScrollPos(GetHandle(), SB_VERT);
      return;
    default:
      CallWindowProc(GetDefWndProc(), GetHandle(), WM_VSCROLL, MAKEWPARAM(Word(code), Word(position)),
                     reinterpret_cast<LPARAM>(FVScrollBar && FVScrollBar->HandleAllocated() ? FVScrollBar->GetHandle() : nullptr));
      position = GetScrollPos(GetHandle(), SB_VERT);
      return;
  }
}

void TcxCustomInnerListBox::GetSizeGripRect(TRect& rect) {
  rect = TRect{};
  TWinControl* parent = GetParent();
  if (!BothScrollBarsVisible() || !parent || !HandleAllocated()) return;
  const TPoint corner = parent->ClientToScreen(TPoint{FVScrollBar->GetLeft(), FHScrollBar->GetTop()});
  TRect window{};
  GetWindowRect(GetHandle(), &window);
  rect.Left = corner.X - window.Left;
  rect.Top = corner.Y - window.Top;
  rect.Right = rect.Left + FVScrollBar->GetWidth();
  rect.Bottom = rect.Top + FHScrollBar->GetHeight();
}

void TcxCustomInnerListBox::PaintSizeGripCorner() {
  TRect r;
  GetSizeGripRect(r);
  if (RectIsEmpty(r)) return;
  if (FContainer) {
    FillInnerSizeGripArea(FContainer, r);
    return;
  }
  HDC dc = GetWindowDC(GetHandle());
  if (!dc) return;
  {
    TcxCanvas canvas(dc);
    canvas.FillRect(r, FLookAndFeel->CurrentPainter()->DefaultSizeGripAreaColor());
  }
  ReleaseDC(GetHandle(), dc);
}

// ---- Messages -----------------------------------------------------------------------------------

void TcxCustomInnerListBox::WndProc(TMessage& message) {
  if (FContainer && FContainer->PreprocessInnerKeyMessage(message)) return;
  TLinkGuard guard(this);
  const UINT msg = message.Msg;
  switch (msg) {
    case WM_LBUTTONDOWN:
      if (GetDragMode() == dmAutomatic && !GetComponentState().Contains(csDesigning)) {
        LeftButtonDown(message);
        return;
      }
      break;
    case WM_PRINT:
      if (message.LParam & PRF_NONCLIENT) {
        // The corner between the own bars is printed here; the rest as usual.
        if (UseOwnScrollBars() && BothScrollBarsVisible()) PaintSizeGripCorner();
        message.LParam &= ~PRF_NONCLIENT;
      }
      break;
    default: break;
  }
  inherited::WndProc(message);
  if (!guard.Alive()) return;
  switch (msg) {
    case WM_SETREDRAW:
      FIsRedrawLocked = message.WParam == 0;
      if (!FIsRedrawLocked) SyncScrollBars();
      break;
    case WM_WINDOWPOSCHANGED:
      SyncScrollBars();
      if (UseOwnScrollBars() && BothScrollBarsVisible()) {
        TRect r;
        GetSizeGripRect(r);
        HRGN region = CreateRectRgnIndirect(&r);
        SendMessage(GetHandle(), WM_NCPAINT, reinterpret_cast<WPARAM>(region), 0);
        DeleteObject(region);
      }
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
    case LB_SETCURSEL:
    case LB_SETHORIZONTALEXTENT:
    case LB_SETTOPINDEX:
    case LB_SETCARETINDEX:
    case WM_MOUSEWHEEL:
    case CM_WININICHANGE:
    // The native bars become visible only when the list shows with its form.
    case CM_SHOWINGCHANGED: SyncScrollBars(); break;
    case WM_NCCALCSIZE:
      if (!FScrollBarsCalculating) SyncScrollBars();
      break;
    case WM_NCPAINT:
      if (UseOwnScrollBars() && BothScrollBarsVisible()) PaintSizeGripCorner();
      break;
    default: break;
  }
}

void TcxCustomInnerListBox::LeftButtonDown(TMessage& message) {
  // The container decides about automatic dragging: the list box only selects.
  TLinkGuard guard(this);
  SetDragMode(dmManual);
  const TShiftState shift = KeysToShiftState(message.WParam);
  const TPoint p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
  Boolean dragged = false;
  if (GetMultiSelect()) {
    const Integer item = ItemAtPos(p, true);
    if (item >= 0 && GetSelected(item) && shift != TShiftState{ssShift, ssLeft} && shift != TShiftState{ssShift}) {
      // A press on a selected item keeps the selection and starts dragging at once.
      if (FContainer) FContainer->BeginDrag(false);
      dragged = true;
    }
  }
  if (!dragged) {
    inherited::WndProc(message);
    if (!guard.Alive()) return;
    if (FContainer && !(GetMultiSelect() && (shift.Contains(ssCtrl) || shift.Contains(ssShift))))
      FContainer->BeginDrag(false);
  }
  if (guard.Alive()) SetDragMode(dmAutomatic);
}

void TcxCustomInnerListBox::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_GETDLGCODE:
      inherited::Dispatch(message);
      message.Result |= DLGC_WANTCHARS;
      if (GetKeyState(VK_CONTROL) >= 0) message.Result |= DLGC_WANTARROWS;
      return;
    case WM_SETFOCUS: {
      TLinkGuard guard(this);
      inherited::Dispatch(message);
      if (!guard.Alive() || !FContainer || FContainer->IsContainerDestroying() || IsDestroyingListBox()) return;
      if (!FContainer->HandleAllocated() || reinterpret_cast<HWND>(message.WParam) != FContainer->GetHandle())
        FContainer->FocusChanged();
      return;
    }
    case WM_KILLFOCUS: {
      TLinkGuard guard(this);
      inherited::Dispatch(message);
      if (guard.Alive() && FContainer && !FContainer->IsContainerDestroying()) FContainer->FocusChanged();
      return;
    }
    case CM_MOUSEENTER: return;
    case CM_MOUSELEAVE:
      if (FContainer) FContainer->RefreshStateAtCursor(true);
      return;
    case WM_PRINTCLIENT: DefaultHandler(message); return;
    case CN_DRAWITEM: {
      auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam);
      TCanvas* canvas = TCustomListBox::GetCanvas();
      const TOwnerDrawState state = [&] {
        TOwnerDrawState s;
        if (di->itemState & ODS_SELECTED) s.Include(odSelected);
        if (di->itemState & ODS_FOCUS) s.Include(odFocused);
        if (di->itemState & ODS_DISABLED) s.Include(odDisabled);
        return s;
      }();
      const int saved = SaveDC(di->hDC);
      canvas->SetHandle(di->hDC);
      canvas->SetFont(GetFont());
      canvas->SetBrush(GetBrush());
      if (di->itemState & ODS_SELECTED) {
        canvas->GetBrush()->SetColor(clHighlight);
        canvas->GetFont()->SetColor(clHighlightText);
      }
      if (int(di->itemID) < 0)
        canvas->FillRect(di->rcItem);
      else
        DrawItem(Integer(di->itemID), di->rcItem, state);
      if ((di->itemState & ODS_FOCUS) && DrawsItemsByDefault()) ::DrawFocusRect(di->hDC, &di->rcItem);
      canvas->SetHandle(nullptr);
      RestoreDC(di->hDC, saved);
      message.Result = 1;
      return;
    }
    default: break;
  }
  inherited::Dispatch(message);
}

void TcxCustomInnerListBox::DefaultHandler(TMessage& message) {
  if (FContainer && FContainer->TryHandleInnerControlMessage(message)) return;
  inherited::DefaultHandler(message);
}

// ---- Keys, mouse, drag --------------------------------------------------------------------------

void TcxCustomInnerListBox::KeyDown(Word& key, TShiftState shift) {
  TLinkGuard guard(this);
  if (FContainer) FContainer->KeyDown(key, shift);
  if (guard.Alive() && key != 0) inherited::KeyDown(key, shift);
}

void TcxCustomInnerListBox::KeyUp(Word& key, TShiftState shift) {
  if (key == VK_TAB) key = 0;
  TLinkGuard guard(this);
  if (FContainer) FContainer->KeyUp(key, shift);
  if (guard.Alive() && key != 0) inherited::KeyUp(key, shift);
}

void TcxCustomInnerListBox::KeyPress(char& key) {
  if (key == '\t') key = 0;
  TLinkGuard guard(this);
  if (FContainer) FContainer->KeyPress(key);
  if (!guard.Alive()) return;
  if (key == '\r') key = 0;
  if (key == 0) return;
  // OnKeyPress, without the platform list box's own search: the search below replaces it.
  TWinControl::KeyPress(key);
  if (guard.Alive() && key != 0) ProcessAutoCompleteKey(key);
}

void TcxCustomInnerListBox::ProcessAutoCompleteKey(char& key) {
  if (!GetAutoComplete() || !HandleAllocated()) return;
  const DWORD now = GetTickCount();
  if (now - FLastKeyTime >= GetAutoCompleteDelay()) FSearchText.clear();
  FLastKeyTime = now;
  // Windows-1251 has no double-byte characters: every key is one character.
  if (key == '\b') {
    if (!FSearchText.empty()) FSearchText.pop_back();
  } else {
    FSearchText += key;
  }
  TLinkGuard guard(this);
  if (FSearchText.empty()) {
    SetItemIndex(0);
    Click();
    return;
  }
  const Integer found = IsVirtual() ? DoFindData(FSearchText)
                                    : Integer(SendMessage(GetHandle(), LB_FINDSTRING, WPARAM(-1),
                                                          reinterpret_cast<LPARAM>(FSearchText.c_str())));
  if (found >= 0) {
    if (GetMultiSelect()) {
      ClearSelection();
      SendMessage(GetHandle(), LB_SELITEMRANGE, 1, MAKELPARAM(found, found));
    }
    SetItemIndex(found);
    Click();
  }
  if (guard.Alive() && key != '\b' && key != '\r' && key != '\x1b') key = 0;
}

void TcxCustomInnerListBox::Click() {
  TLinkGuard guard(this);
  inherited::Click();
  if (!guard.Alive()) return;
  if (FVScrollBar && FVScrollBar->GetVisible() && HandleAllocated()) FVScrollBar->SetPosition(GetTopIndex());
  if (FContainer) FContainer->Click();
}

void TcxCustomInnerListBox::DblClick() {
  TLinkGuard guard(this);
  inherited::DblClick();
  if (guard.Alive() && FContainer) FContainer->DblClick();
}

void TcxCustomInnerListBox::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TLinkGuard guard(this);
  inherited::MouseDown(button, shift, x, y);
  if (!guard.Alive() || !FContainer) return;
  TcxContainer* container = FContainer;
  TLinkGuard containerGuard(container);
  container->SetInnerControlMouseDown(true);
  try {
    container->MouseDown(button, shift, x + GetLeft(), y + GetTop());
  } catch (...) {
    if (containerGuard.Alive()) container->SetInnerControlMouseDown(false);
    throw;
  }
  if (containerGuard.Alive()) container->SetInnerControlMouseDown(false);
}

void TcxCustomInnerListBox::MouseMove(TShiftState shift, Integer x, Integer y) {
  TLinkGuard guard(this);
  inherited::MouseMove(shift, x, y);
  if (guard.Alive() && FContainer) FContainer->MouseMove(shift, x + GetLeft(), y + GetTop());
}

void TcxCustomInnerListBox::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TLinkGuard guard(this);
  inherited::MouseUp(button, shift, x, y);
  if (guard.Alive() && FContainer) FContainer->MouseUp(button, shift, x + GetLeft(), y + GetTop());
}

bool TcxCustomInnerListBox::DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) {
  if (FContainer && FContainer->DoMouseWheel(shift, wheelDelta, mousePos)) return true;
  return inherited::DoMouseWheel(shift, wheelDelta, mousePos);
}

void TcxCustomInnerListBox::DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept) {
  if (FContainer)
    FContainer->DragOver(source, x + GetLeft(), y + GetTop(), state, accept);
  else
    inherited::DragOver(source, x, y, state, accept);
}

void TcxCustomInnerListBox::DragDrop(TObject* source, Integer x, Integer y) {
  if (FContainer)
    FContainer->DragDrop(source, x + GetLeft(), y + GetTop());
  else
    inherited::DragDrop(source, x, y);
}
