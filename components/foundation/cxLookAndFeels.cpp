#include "components/foundation/cxLookAndFeels.h"

#include <algorithm>
#include <memory>

#include "components/foundation/dxOffice11.h"
#include "platform/forms/Published.h"
#include "platform/windowing/User.h"
#include "platform/windowing/UtilWindow.h"

// ==== System palette ============================================================================

namespace {

TcxSystemPaletteChangedListener* gPaletteListener = nullptr;
Integer gPaletteListenerReferences = 0;

// Calls every notifier of the list that is still in it, from the last to the first.
void NotifyFromLast(const std::vector<TcxSystemPaletteChangedNotifier*>& live) {
  const std::vector<TcxSystemPaletteChangedNotifier*> notifiers = live;
  for (auto it = notifiers.rbegin(); it != notifiers.rend(); ++it)
    if (std::find(live.begin(), live.end(), *it) != live.end()) (*it)->NotifyPaletteChanged();
}

}  // namespace

TcxSystemPaletteChangedNotifier::TcxSystemPaletteChangedNotifier(Boolean isPrimary)
    : FIsPrimary(isPrimary) {
  if (gPaletteListenerReferences++ == 0) gPaletteListener = new TcxSystemPaletteChangedListener;
  gPaletteListener->AddNotifier(this);
}

TcxSystemPaletteChangedNotifier::~TcxSystemPaletteChangedNotifier() {
  if (!gPaletteListener) return;
  gPaletteListener->RemoveNotifier(this);
  if (--gPaletteListenerReferences == 0) FreeAndNil(gPaletteListener);
}

void TcxSystemPaletteChangedNotifier::NotifyPaletteChanged() {
  if (FOnSystemPaletteChanged) FOnSystemPaletteChanged();
}

TcxSystemPaletteChangedListener::TcxSystemPaletteChangedListener() {
  AcquireOffice11Resources();
  FWindow = AllocateHWnd(TWndMethod(this, &TcxSystemPaletteChangedListener::WndProc));
}

TcxSystemPaletteChangedListener::~TcxSystemPaletteChangedListener() {
  if (FWindow) DeallocateHWnd(FWindow);
  ReleaseOffice11Resources();
}

void TcxSystemPaletteChangedListener::AddNotifier(TcxSystemPaletteChangedNotifier* notifier) {
  auto& list = notifier->IsPrimary() ? FPrimaryNotifiers : FNotifiers;
  if (std::find(list.begin(), list.end(), notifier) == list.end()) list.push_back(notifier);
}

void TcxSystemPaletteChangedListener::RemoveNotifier(TcxSystemPaletteChangedNotifier* notifier) {
  for (auto* list : {&FPrimaryNotifiers, &FNotifiers})
    list->erase(std::remove(list->begin(), list->end(), notifier), list->end());
}

void TcxSystemPaletteChangedListener::SystemColorsChanged() {
  RefreshOffice11Colors();
  NotifyFromLast(FPrimaryNotifiers);
  NotifyFromLast(FNotifiers);
}

void TcxSystemPaletteChangedListener::WndProc(TMessage& message) {
  if (message.Msg == WM_SYSCOLORCHANGE) SystemColorsChanged();
  message.Result = DefWindowProc(FWindow, message.Msg, message.WParam, message.LParam);
}

TcxSystemPaletteChangedListener* GetSystemPaletteChangedListener() { return gPaletteListener; }

// ==== Root ======================================================================================

namespace {

// Skins are always enabled in this system.
constexpr Boolean kSkinsEnabled = true;

TcxLookAndFeel* gRootLookAndFeel = nullptr;
Boolean gCreatingRoot = false;
Boolean gRootFinalized = false;
Integer gControllerCount = 0;

// Frees the root at exit; made right after the root, so that it goes before the window system
// and drawing layer the root's palette listener stands on.
struct TRootHolder {
  ~TRootHolder() {
    gRootFinalized = true;
    if (gRootLookAndFeel) gRootLookAndFeel->Free();
  }
};

Boolean IsController(IcxLookAndFeelChangeListener* listener) {
  TObject* object = listener->GetObject();
  return object && object->InheritsFrom(TcxLookAndFeelController::StaticClass());
}

}  // namespace

TcxLookAndFeel* GetRootLookAndFeel() {
  if (!gRootLookAndFeel && !gCreatingRoot && !gRootFinalized) {
    GetExtendedStylePainters();  // made first, so that it outlives the root at exit
    gCreatingRoot = true;
    TcxLookAndFeel* root = new TcxLookAndFeel(nullptr);
    root->FIsRoot = true;
    gRootLookAndFeel = root;
    gCreatingRoot = false;
    static TRootHolder holder;
  }
  return gRootLookAndFeel;
}

Integer GetLookAndFeelControllerCount() { return gControllerCount; }

// ==== Look and feel =============================================================================

namespace {
const orv::EnumNames<TcxLookAndFeelKind> kKindNames("TcxLookAndFeelKind",
                                                    {"lfFlat", "lfStandard", "lfUltraFlat",
                                                     "lfOffice11"});
const orv::EnumNames<TcxLookAndFeelValue> kLookAndFeelValueNames("TcxLookAndFeelValue",
                                                      {"lfvKind", "lfvNativeStyle", "lfvSkinName"});
}  // namespace

// Each value is stored only when assigned. (The defined property "SkinName" that keeps an
// explicitly empty skin name is the form writer's: IsEmptySkinNameStored.)
ORV_PUBLISH(TcxLookAndFeel) {
  using T = TcxLookAndFeel;
  p.Property("AssignedValues", &T::GetAssignedValues, &T::SetAssignedValues)
      .Default(TcxLookAndFeelValues{});
  p.Property("Kind", &T::GetKind, &T::SetKind).Stored([](T* lf) { return lf->IsKindStored(); });
  p.Property("NativeStyle", &T::GetNativeStyle, &T::SetNativeStyle)
      .Stored([](T* lf) { return lf->IsNativeStyleStored(); });
  p.Property("SkinName", &T::GetSkinName, &T::SetSkinName)
      .Stored([](T* lf) { return lf->IsSkinNameStored() && !lf->GetSkinName().empty(); });
}

ORV_PUBLISH(TcxLookAndFeelController) {
  using T = TcxLookAndFeelController;
  p.Property("Kind", &T::GetKind, &T::SetKind).Default(lfUltraFlat);
  p.Property("NativeStyle", &T::GetNativeStyle, &T::SetNativeStyle).Default(false);
  p.Property("SkinName", &T::GetSkinName, &T::SetSkinName)
      .Stored([](T* c) { return c->IsSkinNameStored(); });
}

TcxLookAndFeel::TcxLookAndFeel(TPersistent* owner) : TcxInterfacedPersistent(owner) {
  FCurrentState = FAssignedData;
  FSystemPaletteChangedNotifier = new TcxSystemPaletteChangedNotifier(false);
  FSystemPaletteChangedNotifier->SetOnSystemPaletteChanged(
      TcxSystemPaletteChangedEvent(this, &TcxLookAndFeel::HandleSystemPaletteChange));
  if (!gCreatingRoot) {
    if (TcxLookAndFeel* root = GetRootLookAndFeel()) {
      root->AddChangeListener(this);
      RefreshCurrentState();
    }
  }
  FCurrentState.Painter = GetPainterForThemeType(totButton);
}

void TcxLookAndFeel::BeforeDestruction() {
  if (TcxExtendedStylePainters* painters = GetExtendedStylePainters()) painters->RemoveListener(this);
  FreeAndNil(FSystemPaletteChangedNotifier);
  // The listeners fall back to their next master (the root) while this object is still whole;
  // they stay in the list meanwhile.
  FDestroying = true;
  const std::vector<IcxLookAndFeelChangeListener*> listeners = FChangeListeners;
  for (IcxLookAndFeelChangeListener* listener : listeners) listener->MasterDestroying(this);
  FDestroying = false;
  FChangeListeners.clear();
  if (TcxLookAndFeel* master = GetEffectiveMaster()) master->RemoveChangeListener(this);
  if (FIsRoot && gRootLookAndFeel == this) gRootLookAndFeel = nullptr;
  inherited::BeforeDestruction();
}

TcxLookAndFeel::~TcxLookAndFeel() {
  // Freed without the two-step path (never done here): at least leave no dangling notifier.
  orv::Free(FSystemPaletteChangedNotifier);
}

TcxLookAndFeel* TcxLookAndFeel::GetEffectiveMaster() const {
  if (FIsRoot) return nullptr;
  return FMaster ? FMaster : gRootLookAndFeel;
}

TcxLookAndFeelKind TcxLookAndFeel::GetEffectiveKind() const {
  if (FAssignedValues.Contains(lfvKind)) return FAssignedData.Kind;
  const TcxLookAndFeel* master = GetEffectiveMaster();
  return master ? master->GetKind() : cxDefaultLookAndFeelKind;
}

Boolean TcxLookAndFeel::GetEffectiveNativeStyle() const {
  if (FAssignedValues.Contains(lfvNativeStyle)) return FAssignedData.NativeStyle;
  const TcxLookAndFeel* master = GetEffectiveMaster();
  return master ? master->GetNativeStyle() : cxDefaultLookAndFeelNativeStyle;
}

AnsiString TcxLookAndFeel::GetEffectiveSkinName() const {
  if (FAssignedValues.Contains(lfvSkinName)) return FAssignedData.SkinName;
  const TcxLookAndFeel* master = GetEffectiveMaster();
  return master ? master->GetSkinName() : AnsiString();
}

Boolean TcxLookAndFeel::FindSkinPainter(const AnsiString& name,
                                        TcxCustomLookAndFeelPainterClass& painter) const {
  TcxCustomLookAndFeelPainterClass found;
  TcxExtendedStylePainters* painters = GetExtendedStylePainters();
  const Boolean result = !name.empty() && painters && painters->GetPainterByName(name, found);
  painter = result && kSkinsEnabled ? found : TcxCustomLookAndFeelPainterClass();
  return result;
}

TcxCustomLookAndFeelPainterClass TcxLookAndFeel::GetEffectiveSkinPainter() const {
  TcxCustomLookAndFeelPainterClass painter;
  if (FAssignedValues.Contains(lfvSkinName)) {
    FindSkinPainter(FAssignedData.SkinName, painter);
  } else if (const TcxLookAndFeel* master = GetEffectiveMaster()) {
    master->FindSkinPainter(master->GetSkinName(), painter);
  }
  return painter;
}

void TcxLookAndFeel::RefreshCurrentState() {
  FCurrentState.Kind = GetEffectiveKind();
  FCurrentState.NativeStyle = GetEffectiveNativeStyle();
  FCurrentState.SkinName = GetEffectiveSkinName();
  FCurrentState.SkinsEnabled = kSkinsEnabled;
  FSkinPainter = FCurrentState.NativeStyle ? TcxCustomLookAndFeelPainterClass()
                                           : GetEffectiveSkinPainter();
}

TcxCustomLookAndFeelPainterClass TcxLookAndFeel::GetPainterForThemeTypes(
    TdxThemedObjectKinds kinds) const {
  if (FCurrentState.NativeStyle && IsVisualStyleActive(kinds))
    return TcxWinXPLookAndFeelPainter::Class();
  if (FSkinPainter) return FSkinPainter;
  switch (FCurrentState.Kind) {
    case lfFlat: return TcxFlatLookAndFeelPainter::Class();
    case lfStandard: return TcxStandardLookAndFeelPainter::Class();
    case lfOffice11: return TcxOffice11LookAndFeelPainter::Class();
    default: return TcxUltraFlatLookAndFeelPainter::Class();
  }
}

void TcxLookAndFeel::SetPainter(TcxCustomLookAndFeelPainterClass value) {
  if (FPainter == value) return;
  FPainter = value;
}

void TcxLookAndFeel::Changed(TcxLookAndFeelValues changedValues) {
  if (FDestroying) return;
  if (changedValues.Empty() && FCurrentState.SkinsEnabled == kSkinsEnabled) return;
  RefreshCurrentState();
  FCurrentState.Painter = GetPainterForThemeType(totButton);
  if (TcxExtendedStylePainters* painters = GetExtendedStylePainters()) {
    if (FSkinPainter)
      painters->AddListener(this);
    else
      painters->RemoveListener(this);
  }
  // A listener that leaves the list during its notice does not make the next one skipped.
  std::size_t i = 0;
  while (i < FChangeListeners.size()) {
    const std::size_t count = FChangeListeners.size();
    FChangeListeners[i]->MasterChanged(this, changedValues);
    if (FChangeListeners.size() == count) ++i;
  }
  if (FOnChanged) FOnChanged(this, changedValues);
}

void TcxLookAndFeel::HandleMasterChanged(TcxLookAndFeel* sender,
                                         TcxLookAndFeelValues changedValues) {
  Changed(changedValues - FAssignedValues);
}

void TcxLookAndFeel::HandleSystemPaletteChange() { Changed({lfvNativeStyle}); }

void TcxLookAndFeel::SetKind(TcxLookAndFeelKind value) {
  const TcxLookAndFeelKind previous = FCurrentState.Kind;
  FAssignedValues += TcxLookAndFeelValues{lfvKind};
  FAssignedData.Kind = value;
  if (GetEffectiveKind() != previous) Changed({lfvKind});
}

void TcxLookAndFeel::SetNativeStyle(Boolean value) {
  const Boolean previous = FCurrentState.NativeStyle;
  FAssignedValues += TcxLookAndFeelValues{lfvNativeStyle};
  FAssignedData.NativeStyle = value;
  if (GetEffectiveNativeStyle() != previous) Changed({lfvNativeStyle});
}

void TcxLookAndFeel::SetSkinName(const AnsiString& value) {
  const AnsiString previous = FCurrentState.SkinName;
  FAssignedValues += TcxLookAndFeelValues{lfvSkinName};
  FAssignedData.SkinName = value;
  if (GetEffectiveSkinName() != previous) Changed({lfvSkinName});
}

void TcxLookAndFeel::SaveState() { FPreviousState = FCurrentState; }

void TcxLookAndFeel::CheckChanges() {
  TcxLookAndFeelValues changed;
  if (GetEffectiveKind() != FPreviousState.Kind) changed += TcxLookAndFeelValues{lfvKind};
  if (GetEffectiveNativeStyle() != FPreviousState.NativeStyle)
    changed += TcxLookAndFeelValues{lfvNativeStyle};
  if (GetEffectiveSkinName() != FPreviousState.SkinName) changed += TcxLookAndFeelValues{lfvSkinName};
  Changed(changed);
}

void TcxLookAndFeel::SetAssignedValues(TcxLookAndFeelValues value) {
  if (value == FAssignedValues) return;
  SaveState();
  FAssignedValues = value;
  CheckChanges();
}

void TcxLookAndFeel::SetMaster(TcxLookAndFeel* value) {
  if (FIsRoot || value == this || value == GetEffectiveMaster()) return;
  // A master whose chain of masters leads back here would pass every change round forever.
  for (const TcxLookAndFeel* m = value; m; m = m->FMaster)
    if (m == this) return;
  SaveState();
  if (TcxLookAndFeel* master = GetEffectiveMaster()) master->RemoveChangeListener(this);
  FMaster = value;
  if (TcxLookAndFeel* master = GetEffectiveMaster()) master->AddChangeListener(this);
  CheckChanges();
}

void TcxLookAndFeel::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TcxLookAndFeel*>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  SaveState();
  FAssignedData.Kind = other->FAssignedData.Kind;
  FAssignedData.NativeStyle = other->FAssignedData.NativeStyle;
  FAssignedData.SkinName = other->FAssignedData.SkinName;
  FAssignedValues = other->FAssignedValues;
  TcxLookAndFeel* master = other->GetEffectiveMaster();
  Boolean masterAcceptable = !FIsRoot && master != this && master != GetEffectiveMaster();
  for (const TcxLookAndFeel* m = master; m && masterAcceptable; m = m->FMaster)
    if (m == this) masterAcceptable = false;
  if (masterAcceptable) {
    if (TcxLookAndFeel* old = GetEffectiveMaster()) old->RemoveChangeListener(this);
    FMaster = master;
    if (TcxLookAndFeel* now = GetEffectiveMaster()) now->AddChangeListener(this);
  }
  CheckChanges();
}

void TcxLookAndFeel::AssignStyleId(Integer styleId) {
  SetNativeStyle(styleId == cxPainterStyleThemed);
  if (!GetNativeStyle()) SetKind(LookAndFeelStyleToKind(styleId));
}

void TcxLookAndFeel::AddChangeListener(TObject* listener) {
  auto* intf = Supports<IcxLookAndFeelChangeListener>(listener);
  if (!intf) return;
  const Boolean controller = IsController(intf);
  if (controller && !FIsRoot) return;
  if (std::find(FChangeListeners.begin(), FChangeListeners.end(), intf) != FChangeListeners.end())
    return;
  FChangeListeners.push_back(intf);
  if (controller) ++gControllerCount;
}

void TcxLookAndFeel::RemoveChangeListener(TObject* listener) {
  if (FDestroying) return;
  auto* intf = Supports<IcxLookAndFeelChangeListener>(listener);
  const auto found = std::find(FChangeListeners.begin(), FChangeListeners.end(), intf);
  if (!intf || found == FChangeListeners.end()) return;
  FChangeListeners.erase(found);
  if (FIsRoot && IsController(intf) && --gControllerCount == 0) ResetAssignedValues();
}

// ==== Controller ================================================================================

TcxLookAndFeelController::TcxLookAndFeelController(TComponent* owner) : TComponent(owner) {
  if (TcxLookAndFeel* root = GetRootLookAndFeel()) root->AddChangeListener(this);
}

void TcxLookAndFeelController::BeforeDestruction() {
  if (TcxLookAndFeel* root = GetRootLookAndFeel()) root->RemoveChangeListener(this);
  inherited::BeforeDestruction();
}

TcxLookAndFeelKind TcxLookAndFeelController::GetKind() const {
  const TcxLookAndFeel* root = GetRootLookAndFeel();
  return root ? root->GetKind() : cxDefaultLookAndFeelKind;
}

void TcxLookAndFeelController::SetKind(TcxLookAndFeelKind value) {
  if (TcxLookAndFeel* root = GetRootLookAndFeel()) root->SetKind(value);
}

Boolean TcxLookAndFeelController::GetNativeStyle() const {
  const TcxLookAndFeel* root = GetRootLookAndFeel();
  return root ? root->GetNativeStyle() : cxDefaultLookAndFeelNativeStyle;
}

void TcxLookAndFeelController::SetNativeStyle(Boolean value) {
  if (TcxLookAndFeel* root = GetRootLookAndFeel()) root->SetNativeStyle(value);
}

AnsiString TcxLookAndFeelController::GetSkinName() const {
  const TcxLookAndFeel* root = GetRootLookAndFeel();
  return root ? root->GetSkinName() : AnsiString();
}

void TcxLookAndFeelController::SetSkinName(const AnsiString& value) {
  if (TcxLookAndFeel* root = GetRootLookAndFeel()) root->SetSkinName(value);
}

// ==== Skinnable classes =======================================================================

namespace {
std::vector<TClass>& SkinnableClasses() {
  static std::vector<TClass> classes;
  return classes;
}
}  // namespace

void RegisterSkinnableClass(TClass componentClass) {
  auto& classes = SkinnableClasses();
  if (componentClass && std::find(classes.begin(), classes.end(), componentClass) == classes.end())
    classes.push_back(componentClass);
}

Boolean IsSkinnableClass(TClass componentClass) {
  const auto& classes = SkinnableClasses();
  for (TClass c = componentClass; c; c = c->ClassParent())
    if (std::find(classes.begin(), classes.end(), c) != classes.end()) return true;
  return false;
}
