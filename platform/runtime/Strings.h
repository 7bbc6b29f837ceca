// TStrings (the abstract list of strings with objects) and TStringList.
//
// A descendant of TStrings supplies Get, GetCount, Insert, Delete and Clear (and, to keep
// objects, GetObject and PutObject); everything else is built on them. Text is Windows-1251
// bytes throughout: Text joins the lines with CR LF after every line, SaveToFile writes exactly
// those bytes, and LoadFromFile splits at CR LF, LF or CR.
//
// TStringList keeps its strings in one array. Sorted lists find with a binary search; adding to
// a sorted list costs a search plus the shift of the tail (an append when the strings arrive in
// order); loading many strings at once (Text, AddStrings, Assign, LoadFrom...) into a sorted
// list appends them and sorts once.
#pragma once

#include <vector>

#include "platform/runtime/Persistent.h"

class TStream;
class TStringList;

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
  ORV_CLASS(TStrings, TPersistent)
 public:
  TStrings() = default;

  // ---- What a descendant supplies ----
  // Strings[index].
  virtual AnsiString Get(Integer index) const = 0;
  virtual Integer GetCount() const = 0;
  // Objects[index]; nullptr in a list that keeps none.
  virtual TObject* GetObject(Integer index) const { return nullptr; }
  virtual void Put(Integer index, const AnsiString& s);
  virtual void PutObject(Integer index, TObject* obj) {}
  virtual void Insert(Integer index, const AnsiString& s) = 0;
  virtual void Delete(Integer index) = 0;
  virtual void Clear() = 0;

  // ---- Built on them ----
  virtual Integer Add(const AnsiString& s);
  virtual Integer AddObject(const AnsiString& s, TObject* obj);
  void Append(const AnsiString& s) { Add(s); }
  virtual void InsertObject(Integer index, const AnsiString& s, TObject* obj);
  // Adds every string (with its object) of `strings`.
  virtual void AddStrings(TStrings* strings);
  virtual void Exchange(Integer index1, Integer index2);
  virtual void Move(Integer curIndex, Integer newIndex);
  // The first string equal to `s` by CompareStrings, or -1.
  virtual Integer IndexOf(const AnsiString& s) const;
  Integer IndexOfObject(TObject* obj) const;
  virtual Integer GetCapacity() const { return GetCount(); }
  virtual void SetCapacity(Integer value) {}

  // "name=value" lines: Names[index], Values[name] (setting "" deletes the line),
  // ValueFromIndex[index]; IndexOfName compares names by CompareStrings.
  AnsiString GetName(Integer index) const;
  AnsiString GetValue(const AnsiString& name) const;
  void SetValue(const AnsiString& name, const AnsiString& value);
  AnsiString GetValueFromIndex(Integer index) const;
  Integer IndexOfName(const AnsiString& name) const;

  // Every string followed by CR LF.
  virtual AnsiString GetText() const;
  // Replaces the strings with the lines of `text` (ended by CR LF, LF or CR).
  virtual void SetText(const AnsiString& text);

  // Bracket several changes; descendants report them once (SetUpdateState).
  void BeginUpdate();
  void EndUpdate();
  Integer GetUpdateCount() const { return FUpdateCount; }

  // From another TStrings: the same strings and objects.
  void Assign(TPersistent* source) override;
  // The same strings in the same order (objects are not compared).
  bool Equals(TStrings* other) const;

  virtual void LoadFromStream(TStream* stream);
  virtual void SaveToStream(TStream* stream) const;
  void LoadFromFile(const AnsiString& fileName);
  void SaveToFile(const AnsiString& fileName) const;

 protected:
  // Called with True when the first BeginUpdate starts and False when the last EndUpdate ends.
  virtual void SetUpdateState(bool updating) {}
  // How the list compares strings: the locale's comparison without case here.
  virtual int CompareStrings(const AnsiString& a, const AnsiString& b) const;
  // Raises EStringListError "<message> (<index>)".
  [[noreturn]] void Error(const char* message, Integer index) const;

 private:
  Integer FUpdateCount = 0;
};

using TStringListSortCompare = int (*)(TStringList* list, Integer index1, Integer index2);

class TStringList : public TStrings {
  ORV_CLASS(TStringList, TStrings)
 public:
  TStringList() = default;

  AnsiString Get(Integer index) const override;
  Integer GetCount() const override { return static_cast<Integer>(FList.size()); }
  TObject* GetObject(Integer index) const override;
  void Put(Integer index, const AnsiString& s) override;
  void PutObject(Integer index, TObject* obj) override;
  // EStringListError "Operation not allowed on sorted list" when Sorted.
  void Insert(Integer index, const AnsiString& s) override;
  void InsertObject(Integer index, const AnsiString& s, TObject* obj) override;
  void Delete(Integer index) override;
  void Clear() override;
  Integer Add(const AnsiString& s) override { return AddObject(s, nullptr); }
  // Sorted lists place the string by CompareStrings; an equal string already there is
  // ignored (dupIgnore, its index returned), refused (dupError: EStringListError
  // "String list does not allow duplicates") or added after the equal ones (dupAccept).
  Integer AddObject(const AnsiString& s, TObject* obj) override;
  void AddStrings(TStrings* strings) override;
  void SetText(const AnsiString& text) override;
  void Exchange(Integer index1, Integer index2) override;
  Integer IndexOf(const AnsiString& s) const override;
  Integer GetCapacity() const override { return static_cast<Integer>(FList.capacity()); }
  void SetCapacity(Integer value) override;

  // In a sorted list: True and the index when `s` is present, else False and the index where
  // it belongs. (In an unsorted list the answer is meaningless, as the platform's.)
  bool Find(const AnsiString& s, Integer& index) const;
  // Stable sorts: equal strings keep their order.
  virtual void Sort();
  virtual void CustomSort(TStringListSortCompare compare);

  bool GetSorted() const { return FSorted; }
  // Switching on sorts the list.
  void SetSorted(bool value);
  TDuplicates GetDuplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates value) { FDuplicates = value; }
  bool GetCaseSensitive() const { return FCaseSensitive; }
  // A sorted list sorts again by the new comparison.
  void SetCaseSensitive(bool value);

  // Fired after / before every change, except inside BeginUpdate..EndUpdate, whose end fires
  // OnChange once (and whose start OnChanging once).
  TNotifyEvent GetOnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent value) { FOnChange = value; }
  TNotifyEvent GetOnChanging() const { return FOnChanging; }
  void SetOnChanging(TNotifyEvent value) { FOnChanging = value; }

 protected:
  virtual void Changed();
  virtual void Changing();
  void SetUpdateState(bool updating) override;
  // AnsiCompareStr when CaseSensitive, else AnsiCompareText.
  int CompareStrings(const AnsiString& a, const AnsiString& b) const override;
  void InsertItem(Integer index, const AnsiString& s, TObject* obj);

 private:
  struct TStringItem {
    AnsiString FString;
    TObject* FObject;
  };
  void CheckIndex(Integer index) const;
  // Adds many items with one sort (sorted lists) and one change notice.
  void AddItems(std::vector<TStringItem>&& items);
  void SortItems();

  std::vector<TStringItem> FList;
  bool FSorted = false;
  bool FCaseSensitive = false;
  TDuplicates FDuplicates = dupIgnore;
  TNotifyEvent FOnChange;
  TNotifyEvent FOnChanging;
};
