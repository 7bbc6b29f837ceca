// Look and feel: how a component is drawn (Kind, NativeStyle, SkinName). A value a look and
// feel does not assign itself comes from its master, and in the end from the one global root
// (ultra-flat, no native style, no skin). From its effective values each look and feel picks a
// painter class and tells its listeners which values changed.
//
// The unit also keeps the system-palette listener: a hidden window that hears of system colour
// changes, refreshes the Office 11 palette and tells the palette notifiers (primary ones first).
#pragma once

#include <vector>

#include "components/foundation/cxClasses.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/runtime/Component.h"
#include "platform/runtime/Sets.h"
#include "platform/windowing/Messages.h"

class TcxLookAndFeel;

// The mark of classes that take part in look-and-feel skinning. A class carrying it registers
// itself, so that the mark can be asked of the class without an instance.
class IdxSkinSupport : public virtual IInterface {};
void RegisterSkinnableClass(TClass componentClass);
// Whether the class or one of its ancestors carries the mark.
Boolean IsSkinnableClass(TClass componentClass);

enum TcxLookAndFeelValue { lfvKind, lfvNativeStyle, lfvSkinName };
using TcxLookAndFeelValues = orv::Set<TcxLookAndFeelValue>;
inline constexpr TcxLookAndFeelValues cxLookAndFeelValuesAll{lfvKind, lfvNativeStyle, lfvSkinName};

inline constexpr TcxLookAndFeelKind cxDefaultLookAndFeelKind = lfUltraFlat;
inline constexpr Boolean cxDefaultLookAndFeelNativeStyle = false;

// Told when a master look and feel changes or goes away.
class IcxLookAndFeelChangeListener : public virtual IInterface {
 public:
  virtual TObject* GetObject() = 0;
  virtual void MasterChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) = 0;
  virtual void MasterDestroying(TcxLookAndFeel* sender) = 0;
};

using TcxLookAndFeelChangedEvent =
    orv::Event<void(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues)>;

// ---- System palette -------------------------------------------------------------------------

using TcxSystemPaletteChangedEvent = orv::Event<void()>;

// Hears of system colour changes through the shared listener (made with the first notifier,
// freed with the last).
class TcxSystemPaletteChangedNotifier : public TObject {
  ORV_CLASS(TcxSystemPaletteChangedNotifier, TObject)
 public:
  using TCreateSignature = void(Boolean isPrimary);
  explicit TcxSystemPaletteChangedNotifier(Boolean isPrimary = false);
  ~TcxSystemPaletteChangedNotifier() override;

  Boolean IsPrimary() const { return FIsPrimary; }
  const TcxSystemPaletteChangedEvent& GetOnSystemPaletteChanged() const {
    return FOnSystemPaletteChanged;
  }
  void SetOnSystemPaletteChanged(const TcxSystemPaletteChangedEvent& value) {
    FOnSystemPaletteChanged = value;
  }
  // Fires the event; descendants do their own refresh.
  virtual void NotifyPaletteChanged();

 private:
  Boolean FIsPrimary;
  TcxSystemPaletteChangedEvent FOnSystemPaletteChanged;
};

// The hidden window behind the notifiers; it holds the Office 11 resources while it lives.
class TcxSystemPaletteChangedListener : public TObject {
  ORV_CLASS(TcxSystemPaletteChangedListener, TObject)
 public:
  TcxSystemPaletteChangedListener();
  ~TcxSystemPaletteChangedListener() override;

  void AddNotifier(TcxSystemPaletteChangedNotifier* notifier);
  void RemoveNotifier(TcxSystemPaletteChangedNotifier* notifier);
  // What WM_SYSCOLORCHANGE does: the Office 11 palette is computed again, then the primary
  // notifiers are told, then the others, each list from its last notifier to its first.
  void SystemColorsChanged();
  HWND GetWindowHandle() const { return FWindow; }

 private:
  void WndProc(TMessage& message);
  HWND FWindow = nullptr;
  std::vector<TcxSystemPaletteChangedNotifier*> FPrimaryNotifiers;
  std::vector<TcxSystemPaletteChangedNotifier*> FNotifiers;
};

// The shared listener while some notifier exists, else nullptr.
TcxSystemPaletteChangedListener* GetSystemPaletteChangedListener();

// ---- Look and feel --------------------------------------------------------------------------

class TcxLookAndFeel : public TcxInterfacedPersistent,
                       public IcxLookAndFeelChangeListener,
                       public IcxLookAndFeelSkinListener {
  ORV_CLASS(TcxLookAndFeel, TcxInterfacedPersistent)
 public:
  explicit TcxLookAndFeel(TPersistent* owner);
  void BeforeDestruction() override;
  ~TcxLookAndFeel() override;

  void Assign(TPersistent* source) override;

  // Effective values.
  TcxLookAndFeelKind GetKind() const { return FCurrentState.Kind; }
  Boolean GetNativeStyle() const { return FCurrentState.NativeStyle; }
  const AnsiString& GetSkinName() const { return FCurrentState.SkinName; }
  // Each setter assigns its value; listeners hear of it only when the effective value changed.
  void SetKind(TcxLookAndFeelKind value);
  void SetNativeStyle(Boolean value);
  void SetSkinName(const AnsiString& value);
  TcxLookAndFeelValues GetAssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TcxLookAndFeelValues value);
  // Every value inherited again.
  void ResetAssignedValues() { SetAssignedValues({}); }

  TcxLookAndFeel* GetMaster() const { return FMaster; }
  // nil returns to the root; the root, the object itself and the current effective master are
  // ignored.
  void SetMaster(TcxLookAndFeel* value);
  // nil for the root, else the master, else the root.
  TcxLookAndFeel* GetEffectiveMaster() const;
  Boolean IsRoot() const { return FIsRoot; }

  // The explicit painter when one is set, else the painter of the current state.
  TcxCustomLookAndFeelPainterClass CurrentPainter() const {
    return FPainter ? FPainter : FCurrentState.Painter;
  }
  TcxCustomLookAndFeelPainterClass GetPainter() const { return FPainter; }
  void SetPainter(TcxCustomLookAndFeelPainterClass value);
  TcxCustomLookAndFeelPainterClass GetSkinPainter() const { return FSkinPainter; }
  // The painter for callers that draw particular themed elements.
  TcxCustomLookAndFeelPainterClass GetPainterForThemeTypes(TdxThemedObjectKinds kinds) const;
  TcxCustomLookAndFeelPainterClass GetPainterForThemeType(TdxThemedObjectKind kind) const {
    return GetPainterForThemeTypes(TdxThemedObjectKinds{kind});
  }
  // Style id 3 turns native style on; any other turns it off and sets the kind of the id.
  void AssignStyleId(Integer styleId);

  // Only objects that implement IcxLookAndFeelChangeListener are taken, each once; controllers
  // only by the root.
  void AddChangeListener(TObject* listener);
  void RemoveChangeListener(TObject* listener);
  Integer GetChangeListenerCount() const { return Integer(FChangeListeners.size()); }

  // Refreshes the state and the painter and tells the listeners and OnChanged.
  void Changed(TcxLookAndFeelValues changedValues);

  const TcxLookAndFeelChangedEvent& GetOnChanged() const { return FOnChanged; }
  void SetOnChanged(const TcxLookAndFeelChangedEvent& value) { FOnChanged = value; }

  // IcxLookAndFeelChangeListener.
  TObject* GetObject() override { return this; }
  void MasterChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) override {
    HandleMasterChanged(sender, changedValues);
  }
  void MasterDestroying(TcxLookAndFeel* sender) override { SetMaster(nullptr); }
  // IcxLookAndFeelSkinListener.
  void SkinsChanged() override { Changed(cxLookAndFeelValuesAll); }

  // Form streaming: each value is stored only when assigned; "SkinName" as a defined property
  // only when it is assigned and empty.
  Boolean IsKindStored() const { return FAssignedValues.Contains(lfvKind); }
  Boolean IsNativeStyleStored() const { return FAssignedValues.Contains(lfvNativeStyle); }
  Boolean IsSkinNameStored() const { return FAssignedValues.Contains(lfvSkinName); }
  Boolean IsEmptySkinNameStored() const { return IsSkinNameStored() && FAssignedData.SkinName.empty(); }

 protected:
  virtual void RefreshCurrentState();
  virtual TcxLookAndFeelKind GetEffectiveKind() const;
  virtual Boolean GetEffectiveNativeStyle() const;
  virtual AnsiString GetEffectiveSkinName() const;
  virtual TcxCustomLookAndFeelPainterClass GetEffectiveSkinPainter() const;
  virtual Boolean FindSkinPainter(const AnsiString& name,
                                  TcxCustomLookAndFeelPainterClass& painter) const;
  virtual void HandleSystemPaletteChange();
  virtual void HandleMasterChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues);

 private:
  friend TcxLookAndFeel* GetRootLookAndFeel();
  struct TState {
    TcxLookAndFeelKind Kind = cxDefaultLookAndFeelKind;
    Boolean NativeStyle = cxDefaultLookAndFeelNativeStyle;
    AnsiString SkinName;
    TcxCustomLookAndFeelPainterClass Painter;
    Boolean SkinsEnabled = true;
  };
  void SaveState();
  void CheckChanges();

  TcxLookAndFeelValues FAssignedValues;
  std::vector<IcxLookAndFeelChangeListener*> FChangeListeners;
  TState FCurrentState;
  TState FAssignedData;
  Boolean FDestroying = false;
  Boolean FIsRoot = false;
  TcxLookAndFeel* FMaster = nullptr;
  TcxCustomLookAndFeelPainterClass FPainter;
  TcxCustomLookAndFeelPainterClass FSkinPainter;
  TState FPreviousState;
  TcxSystemPaletteChangedNotifier* FSystemPaletteChangedNotifier = nullptr;
  TcxLookAndFeelChangedEvent FOnChanged;
};

// The root look and feel, made on first use and freed at exit.
TcxLookAndFeel* GetRootLookAndFeel();

// Edits the root look and feel from a form: its values are the root's.
class TcxLookAndFeelController : public TComponent, public IcxLookAndFeelChangeListener {
  ORV_CLASS(TcxLookAndFeelController, TComponent)
 public:
  explicit TcxLookAndFeelController(TComponent* owner);
  void BeforeDestruction() override;

  TcxLookAndFeelKind GetKind() const;
  void SetKind(TcxLookAndFeelKind value);
  Boolean GetNativeStyle() const;
  void SetNativeStyle(Boolean value);
  AnsiString GetSkinName() const;
  void SetSkinName(const AnsiString& value);
  Boolean IsSkinNameStored() const { return !GetSkinName().empty(); }

  TObject* GetObject() override { return this; }
  void MasterChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) override {
    HandleMasterChanged(sender, changedValues);
  }
  void MasterDestroying(TcxLookAndFeel* sender) override { HandleMasterDestroying(sender); }

 protected:
  // Design time only (nothing in a running program).
  virtual void HandleMasterChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) {}
  virtual void HandleMasterDestroying(TcxLookAndFeel* sender) {}
};

// The number of controllers attached to the root.
Integer GetLookAndFeelControllerCount();
