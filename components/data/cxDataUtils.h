// Locale functions shared by summaries, date filters, incremental search and date grouping; the
// base of the data bindings through which data-aware controls talk to their data; and a
// collection whose assignment keeps its items.
#pragma once

#include "platform/runtime/Collection.h"
#include "platform/runtime/Component.h"
#include "platform/runtime/DateTime.h"
#include "platform/runtime/Variants.h"

// Defined by the action framework; bindings only pass actions on.
class TBasicAction;

// The first day of the week: 10 takes it from the locale (the default), else 0 Sunday .. 6
// Saturday.
extern Integer FirstWeekdayOverride;

// A number-format pattern for currency values from the locale: ",0." and one "0" per currency
// decimal (",0" without decimals), the currency symbol (its ',' and '.' quoted) before or after
// the digits as the locale's currency position says (with a blank for positions 2 and 3).
AnsiString CurrencyDisplayFormat();
// The date-time truncated toward zero, and its fractional part.
TDateTime WholeDays(TDateTime dateTime);
TDateTime DayFraction(TDateTime dateTime);
// 0 Sunday .. 6 Saturday: the override when set, else the locale's (Monday when it has none).
Integer FirstWeekday();
// The latest day on or before the date that falls on FirstWeekday.
TDateTime GetWeekStartDate(TDateTime date);
// Compares with the locale's upper-casing: equality, or with `partial` and a non-empty search
// text, whether the text starts with it.
Boolean TextMatchesSearch(const AnsiString& text, const AnsiString& searchText, Boolean partial);

// What a binding is asked for.
enum TcxDataEditValueSource : Byte { evsValue, evsText };

// The link between a data-aware control (its owner) and the component that supplies the data.
// The owner wires three callbacks; descendants supply the data access.
class TcxCustomDataBinding : public TPersistent {
  ORV_CLASS(TcxCustomDataBinding, TPersistent)
 public:
  using TCreateSignature = void(TComponent* owner, TComponent* dataComponent);
  using TCallback = orv::Event<void()>;
  TcxCustomDataBinding(TComponent* owner, TComponent* dataComponent)
      : FOwner(owner), FDataComponent(dataComponent) {}

  TPersistent* GetOwner() override { return FOwner; }
  TComponent* GetDataComponent() const { return FDataComponent; }
  TComponent* GetInnerControl() const { return FInnerControl; }
  // Stores the control and calls InnerControlChanged when it differs.
  void AttachInnerControl(TComponent* control);

  const TCallback& GetOnDataChanged() const { return FOnDataChanged; }
  void SetOnDataChanged(const TCallback& value) { FOnDataChanged = value; }
  const TCallback& GetOnReadOnlyChanged() const { return FOnReadOnlyChanged; }
  void SetOnReadOnlyChanged(const TCallback& value) { FOnReadOnlyChanged = value; }
  const TCallback& GetOnStoreValue() const { return FOnStoreValue; }
  void SetOnStoreValue(const TCallback& value) { FOnStoreValue = value; }

  virtual void DataChanged();
  virtual void ReadOnlyChanged();
  virtual Boolean ReservedQuery() { return false; }
  virtual Boolean GetReadOnly() { return FReadOnly; }
  // Sets the flag; ReadOnlyChanged when it changes.
  virtual void ChangeReadOnly(Boolean value);
  // Asks the owner to store its control's value.
  virtual void StoreControlValue();
  virtual void InnerControlChanged() {}
  virtual Boolean CanModify() { return !GetReadOnly(); }
  virtual Boolean ExecuteAction(TBasicAction* action) { return false; }
  virtual Variant GetStoredValue(TcxDataEditValueSource valueSource, Boolean focused) { return Null(); }
  virtual Boolean IsControlReadOnly() { return GetReadOnly(); }
  virtual Boolean IsDataAvailable() { return true; }
  virtual Boolean ReservedPublicQuery() { return false; }
  virtual void Reset() {}
  virtual Boolean StartModify() { return CanModify(); }
  virtual void SetStoredValue(TcxDataEditValueSource valueSource, const Variant& value) {}
  virtual Boolean UpdateAction(TBasicAction* action) { return false; }
  virtual void UpdateDataOnExit() {}

  // The editors' name for SetStoredValue.
  void StoreValue(TcxDataEditValueSource valueSource, const Variant& value) { SetStoredValue(valueSource, value); }

 private:
  TComponent* FOwner;
  TComponent* FDataComponent;
  Boolean FReadOnly = false;
  TComponent* FInnerControl = nullptr;
  TCallback FOnDataChanged;
  TCallback FOnReadOnlyChanged;
  TCallback FOnStoreValue;
};

using TcxCustomDataBindingClass = orv::ClassOf<TcxCustomDataBinding>;

// A collection whose assignment from another collection reuses its items (their identity and
// other state survive): item i takes the source's item i, new items are added at the end and
// surplus ones deleted from the end.
class TcxCollection : public TCollection {
  ORV_CLASS(TcxCollection, TCollection)
 public:
  explicit TcxCollection(TCollectionItemClass itemClass) : TCollection(itemClass) {}

  void Assign(TPersistent* source) override;
};
