#include "components/foundation/cxContainer.h"

#include <algorithm>

#include "components/foundation/cxGeometry.h"
#include "components/foundation/dxOffice11.h"
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
      FHost(owner ? dynamic_cast<orv::IContainerStyleHost*>(owner) : nullptr),
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

TcxContainer* TcxContainerStyle::GetOwnerContainer() const {
  return FHost ? FHost->GetContainer() : nullptr;
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
  if (IsRootStyle() && FHost && FHost->GetParentColor() && FHost->HasParentControl())
    return FHost->GetParentControlColor();
  const TcxContainerStyle* s = FindValueSource(csvColor);
  return s ? s->FColor : GetDefaultColor();
}

TColor TcxContainerStyle::GetVisibleColor() const {
  if (FDirectAccessMode) return FColor;
  if (const TcxContainerStyle* s = FindValueSource(csvColor)) return s->FColor;
  if (IsRootStyle() && FHost && !FHost->IsInplace() && FHost->GetParentColor() &&
      FHost->HasParentControl())
    return FHost->GetParentControlColor();
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
  const Boolean parentColorByDefault = FHost && FHost->UsesParentColorByDefault();
  if (IsRootStyle()) return !FHost || parentColorByDefault ? clBtnFace : clWindow;
  if (FState == csDisabledStyle && FHost && !parentColorByDefault) return clBtnFace;
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
  } else if (!FHost || !FHost->GetParentFont()) {
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
    if (GetValueName(i, valueName) && AnsiSameText(valueName, name)) {
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
    if (FHost) {
      FHost->SetParentColor(false);
      FHost->SetParentFont(true);
    } else if (!FDirectAccessMode && FFont) {
      ++FFontAssignLock;
      TFont defaults;
      FFont->Assign(&defaults);
      --FFontAssignLock;
    }
    if (FHost && FHost->UsesParentColorByDefault()) {
      TcxContainerStyle* controllerStyle = ControllerStyle(csNormalStyle);
      if (!controllerStyle || !controllerStyle->IsValueAssigned(csvColor)) FHost->SetParentColor(true);
    }
  }
  StyleChanged();
  UnlockUpdate();
}

Boolean TcxContainerStyle::IsValueStored(TcxContainerStyleValue value) const {
  // A state style never holds the root values itself, so it never stores them.
  if (!FAssignedValues.Contains(value)) return false;
  AnsiString name;
  return !FHost || (GetValueName(value, name) && FHost->IsStylePropertyStored(name, FState != csNormalStyle));
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

TcxContainerInnerControlClipState CalculateChildClipState(const TRect& containerRect,
                                                          const TRect& childBounds) {
  TcxContainerInnerControlClipState state;
  TRect& v = state.VisibleRect;
  v = TRect{0, 0, childBounds.Right - childBounds.Left, childBounds.Bottom - childBounds.Top};
  if (childBounds.Left < containerRect.Left) v.Left = containerRect.Left - childBounds.Left;
  if (childBounds.Top < containerRect.Top) v.Top = containerRect.Top - childBounds.Top;
  if (childBounds.Right > containerRect.Right) v.Right -= childBounds.Right - containerRect.Right;
  if (childBounds.Bottom > containerRect.Bottom) v.Bottom -= childBounds.Bottom - containerRect.Bottom;
  state.IsWhollyVisible = v == TRect{0, 0, childBounds.Right - childBounds.Left,
                                     childBounds.Bottom - childBounds.Top};
  return state;
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
    // Without visual styles the themed frame cannot be drawn; the background is.
    canvas->FillRect(Bounds, BackgroundColor);
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

// ==== Container geometry ======================================================================

namespace orv {

namespace {
TcxCustomLookAndFeelPainterClass SkinPainterOf(const TContainerViewContext& c) {
  return c.Styles->GetNormalStyle()->GetLookAndFeel()->GetSkinPainter();
}
}  // namespace

TcxContainerStyle* ContainerStyleForState(const TContainerViewContext& c, TcxContainerState state) {
  if (state.Contains(csDisabled)) return c.Styles->GetDisabledStyle();
  if (state.Contains(csActive)) return c.Styles->GetFocusedStyle();
  if (state.Contains(csHotTrack) && c.Styles->GetNormalStyle()->GetHotTrack()) return c.Styles->GetHotStyle();
  return c.Styles->GetNormalStyle();
}

TcxContainerState ContainerStateAt(const TContainerViewContext& c, Boolean hotTrackingAllowed,
                                   Boolean inHotTrackArea) {
  if (!c.Enabled) return {csDisabled};
  TcxContainerState state{!c.DesignTime && c.Focused ? csActive : csNormal};
  if (hotTrackingAllowed && inHotTrackArea) state.Include(csHotTrack);
  return state;
}

Boolean ContainerHasShadow(const TContainerViewContext& c, TcxContainerStyle* activeStyle) {
  return activeStyle->GetShadow() && !c.InPlace;
}

TRect ContainerBorderExtent(const TContainerViewContext& c, TcxContainerStyle* activeStyle,
                            const TcxContainerViewInfo* viewInfo) {
  TcxContainerStyle* style = c.Styles->GetNormalStyle();
  TRect e{};
  if (activeStyle->GetTransparentBorder() && !SkinPainterOf(c)) {
    e = TRect{2, 2, 2, 2};
  } else if (!activeStyle->IsBorderVisible() || (c.NativeStyle && style->GetBorderStyle() == cbsNone)) {
    e = TRect{};
  } else if (c.NativeStyle) {
    e = TRect{2, 2, 2, 2};
  } else {
    const Integer w = GetContainerBorderWidth(viewInfo->GetContainerBorderStyle());
    const TcxBorders edges = activeStyle->GetEdges();
    e = TRect{edges.Contains(bLeft) ? w : 0, edges.Contains(bTop) ? w : 0,
              edges.Contains(bRight) ? w : 0, edges.Contains(bBottom) ? w : 0};
  }
  if (ContainerHasShadow(c, activeStyle)) {
    e.Right += 3;
    e.Bottom += 3;
  }
  return e;
}

TColor ContainerBorderColor(const TContainerViewContext& c, TcxContainerStyle* activeStyle,
                            TcxContainerState state, TcxCustomLookAndFeelPainterClass skinPainter) {
  const Boolean highlighted = state.Contains(csActive) ||
                              (state.Contains(csHotTrack) && activeStyle->GetHotTrack()) ||
                              (c.DesignTime && c.Enabled);
  if (skinPainter) return skinPainter->DefaultEditorBorderColor(highlighted);
  const TcxContainerBorderStyle borderStyle = activeStyle->GetBorderStyle();
  if (borderStyle != cbsUltraFlat && borderStyle != cbsOffice11) return activeStyle->GetBorderColor();
  if (!highlighted) return clBtnShadow;
  return borderStyle == cbsOffice11 ? Office11HighlightColor : clHighlight;
}

Integer ContainerColorState(const TContainerViewContext& c) {
  if (!c.Enabled) return 1;
  return c.Focused ? 0 : 2;
}

void ContainerPainterColors(const TContainerViewContext& c, TcxContainerStyle* activeStyle,
                            TcxCustomLookAndFeelPainterClass skinPainter, TColor& background,
                            TColor& textColor) {
  background = clDefault;
  textColor = clDefault;
  if (!skinPainter) return;
  TcxContainerStyle* style = c.Styles->GetNormalStyle();
  const Integer colorState = ContainerColorState(c);
  if (!style->IsValueAssigned(csvTextColor) && !activeStyle->IsValueAssigned(csvTextColor))
    textColor = skinPainter->DefaultEditorTextColorByState(colorState);
  if (!c.ParentColor && !style->IsValueAssigned(csvColor) && !activeStyle->IsValueAssigned(csvColor))
    background = skinPainter->DefaultEditorBackgroundColorByState(colorState);
}

TColor ContainerBackgroundColor(const TContainerViewContext& c, TcxContainerStyle* activeStyle,
                                TcxCustomLookAndFeelPainterClass skinPainter) {
  TColor background, textColor;
  ContainerPainterColors(c, activeStyle, skinPainter, background, textColor);
  if (background != clDefault) return background;
  // The themed fill colour of a disabled native frame needs visual styles, absent here.
  return activeStyle->GetColor();
}

TRect ContainerHotTrackArea(const TContainerViewContext& c, const TcxContainerViewInfo* viewInfo) {
  TRect r{0, 0, c.Width, c.Height};
  if (c.InPlace) return r;
  if (viewInfo->Shadow) {
    r.Right -= 3;
    r.Bottom -= 3;
  }
  TcxContainerStyle* style = c.Styles->GetNormalStyle();
  const Boolean transparent = style->GetTransparentBorder();
  if (style->IsBorderVisible()) {
    if (c.NativeStyle) {
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

TRect ContainerOuterRect(const TContainerViewContext& c, TcxContainerStyle* activeStyle,
                         const TcxContainerViewInfo* viewInfo) {
  const TRect e = ContainerBorderExtent(c, activeStyle, viewInfo);
  TRect r{e.Left, e.Top, c.Width - e.Right, c.Height - e.Bottom};
  const Integer w = GetContainerBorderWidth(viewInfo->GetContainerBorderStyle());
  r = GetInflatedRect(r, w, w);
  ShrinkRectByMissingEdges(r, w, activeStyle->GetEdges());
  return r;
}

TcxContainerStyle* CalculateContainerViewInfo(const TContainerViewContext& c, TcxContainerViewInfo* viewInfo,
                                              const TPoint& point, Boolean hotTrackingAllowed) {
  TcxContainerStyle* style = c.Styles->GetNormalStyle();
  const TcxCustomLookAndFeelPainterClass skinPainter = SkinPainterOf(c);
  viewInfo->NativeStyle = c.NativeStyle;
  viewInfo->Painter = skinPainter;
  const Integer previousWidth = GetContainerBorderWidth(viewInfo->BorderStyle);

  TcxContainerStyle* active = style;
  TcxContainerState state;
  auto calculateState = [&] {
    const TRect hotArea = ContainerHotTrackArea(c, viewInfo);
    const Boolean inHotArea = point.X >= hotArea.Left && point.X < hotArea.Right &&
                               point.Y >= hotArea.Top && point.Y < hotArea.Bottom;
    state = ContainerStateAt(c, hotTrackingAllowed, inHotArea);
    active = ContainerStyleForState(c, state);
    viewInfo->ContainerState = state;
    viewInfo->HotState = !active->GetHotTrack() ? 0
                         : state.Contains(csActive) || state.Contains(csHotTrack) ? 2 : 1;
    if (c.NativeStyle) {
      viewInfo->BorderStyle = style->GetBorderStyle();
    } else {
      TcxContainerBorderStyle b = active->GetBorderStyle();
      if (b == cbsUltraFlat || b == cbsOffice11) b = cbsSingle;
      viewInfo->BorderStyle = b;
    }
  };
  calculateState();
  const Integer width = GetContainerBorderWidth(viewInfo->BorderStyle);
  if (!c.NativeStyle && width < previousWidth) {
    // The hot-track area depends on the frame just chosen.
    viewInfo->BorderWidth = skinPainter ? 1 : width;
    viewInfo->Edges = active->GetEdges();
    viewInfo->Shadow = ContainerHasShadow(c, active);
    calculateState();
  }
  if (c.NativeStyle) {
    viewInfo->ThemedObjectType = 3;  // Edit
    viewInfo->NativePart = IsDesktopCompositionEnabled() ? 3 : 1;
    viewInfo->NativeState = state.Contains(csDisabled) ? 4
                            : state.Contains(csActive)   ? 5
                            : state.Contains(csHotTrack) ? 2
                                                         : 1;
  }
  viewInfo->Bounds = TRect{0, 0, c.Width, c.Height};
  const TRect e = ContainerBorderExtent(c, active, viewInfo);
  viewInfo->BorderRect = TRect{e.Left, e.Top, c.Width - e.Right, c.Height - e.Bottom};
  viewInfo->ClientRect = viewInfo->BorderRect;
  viewInfo->BorderWidth = skinPainter ? 1 : GetContainerBorderWidth(viewInfo->BorderStyle);
  viewInfo->Edges = active->GetEdges();
  viewInfo->Shadow = ContainerHasShadow(c, active);
  viewInfo->BorderColor = ContainerBorderColor(c, active, state, skinPainter);
  viewInfo->AssignBackgroundColor(ContainerBackgroundColor(c, active, skinPainter));
  return active;
}

}  // namespace orv
